#pragma once

class CurrentScript;
class StatusBar;
class TreeNode;

// The counts the status bar shows: the library's scripts (panel 1) and the chosen category's
// (panel 2).
class ScriptCounts
{
public:
    // `total` is the window's running count of the library's scripts.
    ScriptCounts(CurrentScript& current, StatusBar* statusBar, int& total);

    int total() const { return m_total; }
    // Adds the scripts a load put into the tree, or found outside it.
    void add(int scripts) { m_total += scripts; }
    void reset() { m_total = 0; }
    // Shows the total.
    void showTotal();
    // Counts the library's scripts again after a change that adds or removes some, and shows the
    // total.
    void recount();
    // The script count of the node's category.
    void showCountOf(const TreeNode* node);
    // No category is chosen (a library was swapped in).
    void clearCount();

private:
    CurrentScript& m_current;
    StatusBar* m_statusBar;
    int& m_total;
};
