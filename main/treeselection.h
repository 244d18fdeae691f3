#pragma once

class StoredName;
class TForm1;
class TreeNode;

// The category tree's selection: choosing a script opens it, after what is pending in the
// editors is stored; choosing a category shows its script count. Also finds nodes by name.
class TreeSelection
{
public:
    explicit TreeSelection(TForm1& form);

    // The selection moved: opens the chosen script, or counts the chosen category's scripts.
    void TreeclassChange();
    // Status panel 2: the script count of the node's category.
    void showCountOf(const TreeNode* node);
    // The tree position of the first category (or script) node with this name; -1 if none.
    int FindNodeIndex(const StoredName& name, bool scriptLevel) const;

private:
    // Puts the selection back on the current script after a refused store, without reopening it.
    void reselectCurrentScript();

    TForm1& m_form;
    bool m_restoringSelection = false;
};
