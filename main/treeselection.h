#pragma once

class CategoryTree;
class CurrentScript;
class ScriptCounts;
class TDBComboBox;

// The category tree's selection: choosing a script opens it, after what is pending in the
// editors is stored; choosing a category shows its script count.
class TreeSelection
{
public:
    struct Parts
    {
        CategoryTree* tree;
        // The editors' category box: it names the category of the script just opened.
        TDBComboBox* categoryBox;
    };

    TreeSelection(const Parts& parts, CurrentScript& current, ScriptCounts& counts);

    // The selection moved: opens the chosen script, or counts the chosen category's scripts.
    void followSelection();

private:
    // Puts the selection back on the current script after a refused store, without reopening it.
    void reselectCurrentScript();

    Parts m_parts;
    CurrentScript& m_current;
    ScriptCounts& m_counts;
    bool m_restoringSelection = false;
};
