// Category and script naming: adding, deleting and renaming categories, renaming scripts from
// the tree. Each command checks the library, changes it with one statement and then patches the
// tree and both category lists in place; nothing is reloaded.

#include "base/feylumeerror.h"
#include "categoryentries.h"
#include "categorytree.h"
#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "form1.h"
#include "store/fieldsize.h"
#include "store/query.h"
#include "store/statements.h"
#include "widgets/errorguard.h"
#include "widgets/messageboxes.h"
#include "widgets/progressbar.h"

#include <QComboBox>

#include <utility>

namespace {
const QString kTakenSuffix = QStringLiteral("已经存在");
// ComboBox1 starts with "所有分类", which is no category, even when a category carries that name.
constexpr int kFirstFilterCategory = 1;

// The selected category's node; with none, or a script selected, the user is told `refusal`.
TreeNode* selectedCategory(const CategoryTree* tree, const QString& refusal)
{
    TreeNode* node = tree->selectedNode();
    if (!node || CategoryTree::isScriptNode(node)) {
        MessageBoxes::information(refusal);
        return nullptr;
    }
    return node;
}
} // namespace

void TForm1::connectTreeEditing()
{
    connect(Treeclass, &CategoryTree::nodeEdited, this,
        guard([this](TreeNode* node, QString* text) { TreeclassEdited(node, *text); }));
}

bool TForm1::concernsCurrentScript(const QString& name, bool isScript) const
{
    if (!ADOQuery2->isActive() || (ADOQuery2->isEmpty() && !ADOQuery2->isChanging()))
        return false;
    if (isScript)
        return name == CurrentScriptName;
    return name == CurrentScriptCategory || name == CBX1->text();
}

bool TForm1::settleCurrentScriptFor(const QString& name, bool isScript)
{
    // The current script is reopened after the change, so what is pending there is stored
    // first; when that is refused the change does not happen.
    return !concernsCurrentScript(name, isScript) || storePendingChanges();
}

void TForm1::reopenCurrentScript(const QByteArray& storedName)
{
    OpenStoredScript(storedName);
    CurrentScriptCategory = CBX1->text();
}

void TForm1::keepPendingCategoryChoice()
{
    // Changing the lists makes the category box show its record's value again; a choice not
    // yet written into the record would be lost.
    if (ADOQuery2->isChanging())
        ADOQuery2->writePendingEdits();
}

bool TForm1::RenameEntry(const QByteArray& oldStored, const QString& newName, bool isScript)
{
    const QString oldName = QString::fromUtf8(oldStored);
    RunStatement(isScript ? Statements::scriptNameTaken(newName.toUtf8())
                          : Statements::categoryNameTaken(newName.toUtf8()),
        true);
    const bool taken = ADOQuery1->recordCount() > 0;
    const QString column = isScript ? QStringLiteral("cjs_name") : QStringLiteral("ctype_name");
    if (!taken)
        FieldSize::check(column, ADOQuery1->fieldSize(column), newName);
    ADOQuery1->close();
    if (taken) {
        MessageBoxes::information(
            (isScript ? QStringLiteral("脚本") : QStringLiteral("分类")) + newName + kTakenSuffix);
        return false;
    }
    const bool concerned = concernsCurrentScript(oldName, isScript);
    if (!isScript)
        keepPendingCategoryChoice();
    RunStatement(isScript ? Statements::renameScript(newName.toUtf8(), oldStored)
                          : Statements::renameCategory(newName.toUtf8(), oldStored),
        false);
    ADOQuery1->close();
    // Renaming a row that is no longer there would leave the tree disagreeing with the library.
    if (ADOConnection1.database().changes() == 0)
        throw FeylumeError(QStringLiteral("Row cannot be located for updating. Some values may have been "
                                          "changed since it was last read"));
    if (!isScript) {
        // Only now that the library holds the new name do the lists show it.
        if (const int entry = CategoryEntries::find(ComboBox1, oldStored, kFirstFilterCategory); entry >= 0)
            CategoryEntries::rename(ComboBox1, entry, newName);
        if (const int entry = CategoryEntries::find(CBX1, oldStored, 0); entry >= 0)
            CategoryEntries::rename(CBX1, entry, newName);
    }
    if (concerned)
        reopenCurrentScript(isScript ? newName.toUtf8() : CurrentScriptStoredName);
    return true;
}

void TForm1::AddCategory(const QString& name)
{
    RunStatement(Statements::findCategory(name.toUtf8()), true);
    const bool taken = ADOQuery1->recordCount() > 0;
    if (!taken)
        FieldSize::check(
            QStringLiteral("ctype_name"), ADOQuery1->fieldSize(QStringLiteral("ctype_name")), name);
    ADOQuery1->close();
    if (taken) {
        MessageBoxes::information(QStringLiteral("类别") + name + kTakenSuffix);
        return;
    }
    RunStatement(Statements::addCategory(name.toUtf8()), false);
    TreeNode* node = Treeclass->addCategoryNode(name);
    keepPendingCategoryChoice();
    CBX1->addItem(name);
    ComboBox1->addItem(name);
    Treeclass->setCurrentNode(node);
}

bool TForm1::DeleteCategoryRow(const QByteArray& stored)
{
    RunStatement(Statements::findCategory(stored), true);
    ADOQuery1->first();
    // The library deletes the category's scripts with its row.
    ADOQuery1->deleteRecord();
    ADOQuery1->close();
    pgb->setMaximum(0);
    return true;
}

void TForm1::ToolButton1Click()
{
    QString name;
    if (!MessageBoxes::prompt(QStringLiteral("输入新类名"), QStringLiteral("请输入新类别名"), name))
        return;
    AddCategory(name);
}

void TForm1::ToolButton2Click()
{
    TreeNode* node = selectedCategory(Treeclass, QStringLiteral("未正确选择要删除的类别"));
    if (!node)
        return;
    const QString name = node->text(0);
    const QByteArray stored = node->storedName().toByteArray();
    if (!MessageBoxes::confirm(
            QStringLiteral("确认删除分类[ ") + name + QStringLiteral(" ]和该类下所有脚本吗")))
        return;
    const bool concerned = concernsCurrentScript(name, false);
    if (concerned && !storePendingChanges())
        return;
    keepPendingCategoryChoice();
    DeleteCategoryRow(stored);
    // Removing the node may select a script elsewhere, which then becomes the current one.
    const QString shownBefore = CurrentScriptName;
    Treeclass->removeNode(Treeclass->nodeAt(FindStoredNodeIndex(stored, false)));
    if (const int entry = CategoryEntries::find(CBX1, stored, 0); entry >= 0)
        CBX1->removeItem(entry);
    if (const int entry = CategoryEntries::find(ComboBox1, stored, kFirstFilterCategory); entry >= 0)
        ComboBox1->removeItem(entry);
    // The editors must not go on showing a script the library no longer has.
    if (concerned && CurrentScriptName == shownBefore)
        reopenCurrentScript(CurrentScriptStoredName);
}

void TForm1::ToolButton3Click()
{
    TreeNode* node = selectedCategory(Treeclass, QStringLiteral("未正确选择要改名的类别"));
    if (!node)
        return;
    const QString oldName = node->text(0);
    const QByteArray oldStored = node->storedName().toByteArray();
    QString newName = oldName;
    if (!MessageBoxes::prompt(QStringLiteral("类别更名"), QStringLiteral("请输入新类别名"), newName))
        return;
    if (!settleCurrentScriptFor(oldName, false))
        return;
    if (RenameEntry(oldStored, newName, false))
        Treeclass->setNodeText(Treeclass->nodeAt(FindStoredNodeIndex(oldStored, false)), newName);
}

void TForm1::TreeclassEdited(TreeNode* node, QString& text)
{
    const bool isScript = CategoryTree::isScriptNode(node);
    const QString wanted = text;
    QString oldName = node->text(0);
    QByteArray oldStored = node->storedName().toByteArray();
    // Whatever stops the rename below, the node keeps its name.
    text = oldName;
    const bool storesEditedScript
        = isScript && ADOQuery2->state() == DataSetState::Edit && concernsCurrentScript(oldName, true);
    if (!settleCurrentScriptFor(oldName, isScript))
        return;
    // Storing may have renamed the script's node or moved it to another category; from here on
    // the node is found by its name.
    if (storesEditedScript) {
        oldName = CurrentScriptName;
        oldStored = CurrentScriptStoredName;
    }
    text = oldName;
    if (!RenameEntry(oldStored, wanted, isScript))
        return;
    Treeclass->setNodeText(Treeclass->nodeAt(FindStoredNodeIndex(oldStored, isScript)), wanted);
    text = wanted;
}

void TForm1::N22Click()
{
    TreeNode* node = Treeclass->selectedNode();
    if (!CategoryTree::isScriptNode(node))
        return;
    const QByteArray stored = node->storedName().toByteArray();
    // The command renames the selected script: a new record being filled in, or another script
    // shown in the editors, is settled first and the selected script opened.
    if (ADOQuery2->state() == DataSetState::Insert || CurrentScriptStoredName != stored) {
        if (!storePendingChanges())
            return;
        TreeNode* selected = Treeclass->nodeAt(FindStoredNodeIndex(stored, true));
        if (Treeclass->selectedNode() != selected)
            Treeclass->setCurrentNode(selected);
        else
            reopenCurrentScript(stored);
    }
    ADOQuery2->edit();
    DBEdit2->setFocus(Qt::OtherFocusReason);
    DBEdit2->selectAll();
}
