#pragma once

#include <QObject>

class StoredName;
class TForm1;
class TreeNode;

// Adding, deleting and renaming categories, and renaming scripts from the tree. Each command
// checks the library, changes it with one statement, then patches the tree and both category
// lists in place; nothing is reloaded.
class NamingCommands : public QObject
{
public:
    explicit NamingCommands(TForm1& form);

    // "添加类别": asks for a name and adds the category.
    void ToolButton1Click();
    // "删除类别": the selected category and all its scripts, after the user confirms.
    void ToolButton2Click();
    // "类别更名": edits the selected category's name in place.
    void ToolButton3Click();
    // "脚本改名": edits the selected script's name in place.
    void N22Click();
    // A name edited in the tree: the library is renamed first, then the node keeps the text.
    void TreeclassEdited(TreeNode* node, QString& text);

    // Renames a script or category in the library; false when the name was refused.
    bool RenameEntry(const StoredName& oldStored, const QString& newName, bool isScript);
    void AddCategory(const QString& name);
    bool DeleteCategoryRow(const StoredName& stored);

private:
    // Whether renaming or deleting the named script or category touches the script the
    // editors show.
    bool concernsCurrentScript(const QString& name, bool isScript) const;
    bool settleCurrentScriptFor(const QString& name, bool isScript);
    void reopenCurrentScript(const StoredName& name);
    void keepPendingCategoryChoice();

    TForm1& m_form;
};
