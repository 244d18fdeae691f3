#include "namingcommands.h"

#include "base/feylumeerror.h"
#include "categoryentries.h"
#include "categorytree.h"
#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "form1.h"
#include "store/query.h"
#include "store/recordrules.h"
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

NamingCommands::NamingCommands(TForm1& form)
    : QObject(&form)
    , m_form(form)
{
    connect(m_form.Treeclass, &CategoryTree::nodeEdited, this,
        guard([this](TreeNode* node, QString* text) { TreeclassEdited(node, *text); }));
}

bool NamingCommands::concernsCurrentScript(const QString& name, bool isScript) const
{
    if (!m_form.ADOQuery2->isActive() || (m_form.ADOQuery2->isEmpty() && !m_form.ADOQuery2->isChanging()))
        return false;
    if (isScript)
        return name == m_form.CurrentScriptName;
    return name == m_form.CurrentScriptCategory || name == m_form.CBX1->text();
}

bool NamingCommands::settleCurrentScriptFor(const QString& name, bool isScript)
{
    // The current script is reopened after the change, so what is pending there is stored
    // first; when that is refused the change does not happen.
    return !concernsCurrentScript(name, isScript) || m_form.storePendingChanges();
}

void NamingCommands::reopenCurrentScript(const StoredName& name)
{
    m_form.OpenScript(name);
    m_form.CurrentScriptCategory = m_form.CBX1->text();
}

void NamingCommands::keepPendingCategoryChoice()
{
    // Changing the lists makes the category box show its record's value again; a choice not
    // yet written into the record would be lost.
    if (m_form.ADOQuery2->isChanging())
        m_form.ADOQuery2->writePendingEdits();
}

bool NamingCommands::RenameEntry(const StoredName& oldStored, const QString& newName, bool isScript)
{
    const QString oldName = oldStored.text();
    m_form.RunStatement(
        isScript ? Statements::scriptNameTaken(newName) : Statements::categoryNameTaken(newName), true);
    const QString column = isScript ? QStringLiteral("cjs_name") : QStringLiteral("ctype_name");
    if (RecordRules::nameTaken(*m_form.ADOQuery1, column, newName)) {
        MessageBoxes::information(
            (isScript ? QStringLiteral("脚本") : QStringLiteral("分类")) + newName + kTakenSuffix);
        return false;
    }
    const bool concerned = concernsCurrentScript(oldName, isScript);
    if (!isScript)
        keepPendingCategoryChoice();
    m_form.RunStatement(isScript ? Statements::renameScript(newName, oldStored)
                                 : Statements::renameCategory(newName, oldStored),
        false);
    m_form.ADOQuery1->close();
    // Renaming a row that is no longer there would leave the tree disagreeing with the library.
    if (m_form.ADOConnection1.database().changes() == 0)
        throw FeylumeError(RecordRules::rowNotFound(QStringLiteral("updating")));
    if (!isScript) {
        // Only now that the library holds the new name do the lists show it.
        if (const int entry = CategoryEntries::find(m_form.ComboBox1, oldStored, kFirstFilterCategory);
            entry >= 0)
            CategoryEntries::rename(m_form.ComboBox1, entry, newName);
        if (const int entry = CategoryEntries::find(m_form.CBX1, oldStored, 0); entry >= 0)
            CategoryEntries::rename(m_form.CBX1, entry, newName);
    }
    if (concerned)
        reopenCurrentScript(isScript ? StoredName(newName) : m_form.CurrentScriptStoredName);
    return true;
}

void NamingCommands::AddCategory(const QString& name)
{
    m_form.RunStatement(Statements::findCategory(name), true);
    if (RecordRules::nameTaken(*m_form.ADOQuery1, QStringLiteral("ctype_name"), name)) {
        MessageBoxes::information(QStringLiteral("类别") + name + kTakenSuffix);
        return;
    }
    m_form.RunStatement(Statements::addCategory(name), false);
    TreeNode* node = m_form.Treeclass->addCategoryNode(name);
    keepPendingCategoryChoice();
    m_form.CBX1->addItem(name);
    m_form.ComboBox1->addItem(name);
    m_form.Treeclass->setCurrentNode(node);
}

bool NamingCommands::DeleteCategoryRow(const StoredName& stored)
{
    m_form.RunStatement(Statements::findCategory(stored), true);
    m_form.ADOQuery1->first();
    // The library deletes the category's scripts with its row.
    m_form.ADOQuery1->deleteRecord();
    m_form.ADOQuery1->close();
    m_form.pgb->setMaximum(0);
    return true;
}

void NamingCommands::ToolButton1Click()
{
    QString name;
    if (!MessageBoxes::prompt(QStringLiteral("输入新类名"), QStringLiteral("请输入新类别名"), name))
        return;
    AddCategory(name);
}

void NamingCommands::ToolButton2Click()
{
    TreeNode* node = selectedCategory(m_form.Treeclass, QStringLiteral("未正确选择要删除的类别"));
    if (!node)
        return;
    const QString name = node->text(0);
    const StoredName stored = node->name();
    if (!MessageBoxes::confirm(
            QStringLiteral("确认删除分类[ ") + name + QStringLiteral(" ]和该类下所有脚本吗")))
        return;
    const bool concerned = concernsCurrentScript(name, false);
    if (concerned && !m_form.storePendingChanges())
        return;
    keepPendingCategoryChoice();
    DeleteCategoryRow(stored);
    m_form.recountScripts();
    // Removing the node may select a script elsewhere, which then becomes the current one.
    const QString shownBefore = m_form.CurrentScriptName;
    m_form.Treeclass->removeNode(m_form.Treeclass->nodeAt(m_form.FindNodeIndex(stored, false)));
    if (const int entry = CategoryEntries::find(m_form.CBX1, stored, 0); entry >= 0)
        m_form.CBX1->removeItem(entry);
    if (const int entry = CategoryEntries::find(m_form.ComboBox1, stored, kFirstFilterCategory); entry >= 0)
        m_form.ComboBox1->removeItem(entry);
    // The editors must not go on showing a script the library no longer has.
    if (concerned && m_form.CurrentScriptName == shownBefore)
        reopenCurrentScript(m_form.CurrentScriptStoredName);
}

void NamingCommands::ToolButton3Click()
{
    TreeNode* node = selectedCategory(m_form.Treeclass, QStringLiteral("未正确选择要改名的类别"));
    if (!node)
        return;
    const QString oldName = node->text(0);
    const StoredName oldStored = node->name();
    QString newName = oldName;
    if (!MessageBoxes::prompt(QStringLiteral("类别更名"), QStringLiteral("请输入新类别名"), newName))
        return;
    if (!settleCurrentScriptFor(oldName, false))
        return;
    if (RenameEntry(oldStored, newName, false))
        m_form.Treeclass->setNodeText(
            m_form.Treeclass->nodeAt(m_form.FindNodeIndex(oldStored, false)), newName);
}

void NamingCommands::TreeclassEdited(TreeNode* node, QString& text)
{
    const bool isScript = CategoryTree::isScriptNode(node);
    const QString wanted = text;
    QString oldName = node->text(0);
    StoredName oldStored = node->name();
    // Whatever stops the rename below, the node keeps its name.
    text = oldName;
    const bool storesEditedScript
        = isScript && m_form.ADOQuery2->state() == DataSetState::Edit && concernsCurrentScript(oldName, true);
    if (!settleCurrentScriptFor(oldName, isScript))
        return;
    // Storing may have renamed the script's node or moved it to another category; from here on
    // the node is found by its name.
    if (storesEditedScript) {
        oldName = m_form.CurrentScriptName;
        oldStored = m_form.CurrentScriptStoredName;
    }
    text = oldName;
    if (!RenameEntry(oldStored, wanted, isScript))
        return;
    m_form.Treeclass->setNodeText(
        m_form.Treeclass->nodeAt(m_form.FindNodeIndex(oldStored, isScript)), wanted);
    text = wanted;
}

void NamingCommands::N22Click()
{
    TreeNode* node = m_form.Treeclass->selectedNode();
    if (!CategoryTree::isScriptNode(node))
        return;
    const StoredName stored = node->name();
    // The command renames the selected script: a new record being filled in, or another script
    // shown in the editors, is settled first and the selected script opened.
    if (m_form.ADOQuery2->state() == DataSetState::Insert || m_form.CurrentScriptStoredName != stored) {
        if (!m_form.storePendingChanges())
            return;
        TreeNode* selected = m_form.Treeclass->nodeAt(m_form.FindNodeIndex(stored, true));
        if (m_form.Treeclass->selectedNode() != selected)
            m_form.Treeclass->setCurrentNode(selected);
        else
            reopenCurrentScript(stored);
    }
    m_form.ADOQuery2->edit();
    m_form.DBEdit2->setFocus(Qt::OtherFocusReason);
    m_form.DBEdit2->selectAll();
}
