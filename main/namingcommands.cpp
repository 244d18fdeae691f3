#include "namingcommands.h"

#include "base/feylumeerror.h"
#include "categoryentries.h"
#include "categorytree.h"
#include "currentscript.h"
#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "scriptcounts.h"
#include "store/connection.h"
#include "store/query.h"
#include "store/recordrules.h"
#include "store/statements.h"
#include "widgets/errorguard.h"
#include "widgets/messageboxes.h"

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

NamingCommands::NamingCommands(
    const Parts& parts, CurrentScript& current, ScriptCounts& counts, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
    , m_current(current)
    , m_counts(counts)
{
    connect(m_parts.tree, &CategoryTree::nodeEdited, this,
        guard([this](TreeNode* node, QString* text) { renameEditedNode(node, *text); }));
}

bool NamingCommands::concernsCurrentScript(const QString& name, bool isScript) const
{
    if (!m_current.record()->isActive()
        || (m_current.record()->isEmpty() && !m_current.record()->isChanging()))
        return false;
    if (isScript)
        return name == m_current.name();
    return name == m_current.category() || name == m_parts.categoryBox->text();
}

bool NamingCommands::settleCurrentScriptFor(const QString& name, bool isScript)
{
    // The current script is reopened after the change, so what is pending there is stored
    // first; when that is refused the change does not happen.
    return !concernsCurrentScript(name, isScript) || m_current.storePendingChanges();
}

void NamingCommands::reopenCurrentScript(const StoredName& name)
{
    m_current.open(name);
    m_current.setCategory(m_parts.categoryBox->text());
}

void NamingCommands::keepPendingCategoryChoice()
{
    // Changing the lists makes the category box show its record's value again; a choice not
    // yet written into the record would be lost.
    if (m_current.record()->isChanging())
        m_current.record()->writePendingEdits();
}

bool NamingCommands::rename(const StoredName& oldStored, const QString& newName, bool isScript)
{
    const QString oldName = oldStored.text();
    const StoredName wanted(newName);
    Query& taken = m_current.run(
        isScript ? Statements::scriptNameTaken(wanted) : Statements::categoryNameTaken(wanted), true);
    const QString column = isScript ? QStringLiteral("cjs_name") : QStringLiteral("ctype_name");
    if (RecordRules::nameTaken(taken, column, newName)) {
        MessageBoxes::information(
            (isScript ? QStringLiteral("脚本") : QStringLiteral("分类")) + newName + kTakenSuffix);
        return false;
    }
    const bool concerned = concernsCurrentScript(oldName, isScript);
    if (!isScript)
        keepPendingCategoryChoice();
    m_current.run(isScript ? Statements::renameScript(wanted, oldStored)
                           : Statements::renameCategory(wanted, oldStored),
        false);
    m_current.closeStatement();
    // Renaming a row that is no longer there would leave the tree disagreeing with the library.
    if (m_current.library().database().changes() == 0)
        throw FeylumeError(RecordRules::rowNotFound(QStringLiteral("updating")));
    if (!isScript) {
        // Only now that the library holds the new name do the lists show it.
        if (const int entry = CategoryEntries::find(m_parts.filterBox, oldStored, kFirstFilterCategory);
            entry >= 0)
            CategoryEntries::rename(m_parts.filterBox, entry, newName);
        if (const int entry = CategoryEntries::find(m_parts.categoryBox, oldStored, 0); entry >= 0)
            CategoryEntries::rename(m_parts.categoryBox, entry, newName);
    }
    if (concerned)
        reopenCurrentScript(isScript ? wanted : m_current.storedName());
    return true;
}

void NamingCommands::addCategory(const QString& name)
{
    const StoredName stored(name);
    Query& found = m_current.run(Statements::findCategory(stored), true);
    if (RecordRules::nameTaken(found, QStringLiteral("ctype_name"), name)) {
        MessageBoxes::information(QStringLiteral("类别") + name + kTakenSuffix);
        return;
    }
    m_current.run(Statements::addCategory(stored), false);
    TreeNode* node = m_parts.tree->addCategoryNode(stored);
    keepPendingCategoryChoice();
    m_parts.categoryBox->addItem(name);
    m_parts.filterBox->addItem(name);
    m_parts.tree->setCurrentNode(node);
}

void NamingCommands::deleteCategoryRow(const StoredName& stored)
{
    Query& found = m_current.run(Statements::findCategory(stored), true);
    found.first();
    // The library deletes the category's scripts with its row.
    found.deleteRecord();
    m_current.closeStatement();
    m_current.restProgress();
}

void NamingCommands::askAndAddCategory()
{
    QString name;
    if (!MessageBoxes::prompt(QStringLiteral("输入新类名"), QStringLiteral("请输入新类别名"), name))
        return;
    addCategory(name);
}

void NamingCommands::deleteSelectedCategory()
{
    TreeNode* node = selectedCategory(m_parts.tree, QStringLiteral("未正确选择要删除的类别"));
    if (!node)
        return;
    const QString name = node->text(0);
    const StoredName stored = node->name();
    if (!MessageBoxes::confirm(
            QStringLiteral("确认删除分类[ ") + name + QStringLiteral(" ]和该类下所有脚本吗")))
        return;
    const bool concerned = concernsCurrentScript(name, false);
    if (concerned && !m_current.storePendingChanges())
        return;
    keepPendingCategoryChoice();
    deleteCategoryRow(stored);
    m_counts.recount();
    // Removing the node may select a script elsewhere, which then becomes the current one.
    const QString shownBefore = m_current.name();
    m_parts.tree->removeNode(m_current.node(stored, false));
    if (const int entry = CategoryEntries::find(m_parts.categoryBox, stored, 0); entry >= 0)
        m_parts.categoryBox->removeItem(entry);
    if (const int entry = CategoryEntries::find(m_parts.filterBox, stored, kFirstFilterCategory); entry >= 0)
        m_parts.filterBox->removeItem(entry);
    // The editors must not go on showing a script the library no longer has.
    if (concerned && m_current.name() == shownBefore)
        reopenCurrentScript(m_current.storedName());
}

void NamingCommands::renameSelectedCategory()
{
    TreeNode* node = selectedCategory(m_parts.tree, QStringLiteral("未正确选择要改名的类别"));
    if (!node)
        return;
    const QString oldName = node->text(0);
    const StoredName oldStored = node->name();
    QString newName = oldName;
    if (!MessageBoxes::prompt(QStringLiteral("类别更名"), QStringLiteral("请输入新类别名"), newName))
        return;
    if (!settleCurrentScriptFor(oldName, false))
        return;
    if (rename(oldStored, newName, false))
        m_parts.tree->setNodeText(m_current.node(oldStored, false), StoredName(newName));
}

void NamingCommands::renameEditedNode(TreeNode* node, QString& text)
{
    const bool isScript = CategoryTree::isScriptNode(node);
    const QString wanted = text;
    QString oldName = node->text(0);
    StoredName oldStored = node->name();
    // Whatever stops the rename below, the node keeps its name.
    text = oldName;
    const bool storesEditedScript = isScript && m_current.record()->state() == DataSetState::Edit
        && concernsCurrentScript(oldName, true);
    if (!settleCurrentScriptFor(oldName, isScript))
        return;
    // Storing may have renamed the script's node or moved it to another category; from here on
    // the node is found by its name.
    if (storesEditedScript) {
        oldName = m_current.name();
        oldStored = m_current.storedName();
    }
    text = oldName;
    if (!rename(oldStored, wanted, isScript))
        return;
    m_parts.tree->setNodeText(m_current.node(oldStored, isScript), StoredName(wanted));
    text = wanted;
}

void NamingCommands::editSelectedScriptName()
{
    TreeNode* node = m_parts.tree->selectedNode();
    if (!CategoryTree::isScriptNode(node))
        return;
    const StoredName stored = node->name();
    // The command renames the selected script: a new record being filled in, or another script
    // shown in the editors, is settled first and the selected script opened.
    if (m_current.record()->state() == DataSetState::Insert || m_current.storedName() != stored) {
        if (!m_current.storePendingChanges())
            return;
        TreeNode* selected = m_current.node(stored, true);
        if (m_parts.tree->selectedNode() != selected)
            m_parts.tree->setCurrentNode(selected);
        else
            reopenCurrentScript(stored);
    }
    m_current.record()->edit();
    m_parts.nameEdit->setFocus(Qt::OtherFocusReason);
    m_parts.nameEdit->selectAll();
}
