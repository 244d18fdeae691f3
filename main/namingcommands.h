#pragma once

#include <QObject>

class CategoryTree;
class CurrentScript;
class ScriptCounts;
class StoredName;
class TDBComboBox;
class TDBEdit;
class TreeNode;
class QComboBox;

// Adding, deleting and renaming categories, and renaming scripts from the tree. Each command
// checks the library, changes it with one statement, then patches the tree and both category
// lists in place; nothing is reloaded.
class NamingCommands : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        CategoryTree* tree;
        // The editors' category box and the search pane's category filter.
        TDBComboBox* categoryBox;
        QComboBox* filterBox;
        // The editors' script name, where a script is renamed from the menu.
        TDBEdit* nameEdit;
    };

    NamingCommands(const Parts& parts, CurrentScript& current, ScriptCounts& counts, QObject* parent);

    // Asks for a name and adds the category.
    void askAndAddCategory();
    // The selected category and all its scripts, after the user confirms.
    void deleteSelectedCategory();
    // Asks for the selected category's new name and renames it.
    void renameSelectedCategory();
    // Opens the selected script and lets its name be edited in the name box.
    void editSelectedScriptName();
    // A name edited in the tree: the library is renamed first, then the node keeps the text.
    void renameEditedNode(TreeNode* node, QString& text);

    // Renames a script or category in the library; false when the name was refused.
    bool rename(const StoredName& oldStored, const QString& newName, bool isScript);
    // Adds a category with this name unless it is taken.
    void addCategory(const QString& name);
    // Deletes the category's row, and with it its scripts.
    void deleteCategoryRow(const StoredName& stored);

private:
    // Whether renaming or deleting the named script or category touches the script the
    // editors show.
    bool concernsCurrentScript(const QString& name, bool isScript) const;
    bool settleCurrentScriptFor(const QString& name, bool isScript);
    void reopenCurrentScript(const StoredName& name);
    void keepPendingCategoryChoice();

    Parts m_parts;
    CurrentScript& m_current;
    ScriptCounts& m_counts;
};
