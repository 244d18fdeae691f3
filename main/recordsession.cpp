// The script commands on the current record: add, save, abandon and delete, and how saving
// brings the tree in line with the stored script.

#include "recordsession.h"

#include "base/feylumeerror.h"
#include "categorytree.h"
#include "currentscript.h"
#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "scriptcounts.h"
#include "store/query.h"
#include "store/refusalcause.h"
#include "widgets/messageboxes.h"

RecordSession::RecordSession(
    const Parts& parts, CurrentScript& current, ScriptCounts& counts, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
    , m_current(current)
    , m_counts(counts)
{
    m_current.setStoreRule([this] { return storePendingChanges(); });
}

void RecordSession::addScript()
{
    if (!storePendingChanges())
        return;
    m_current.record()->insert();
}

bool RecordSession::storePendingChanges()
{
    if (!m_current.record()->isChanging())
        return true;
    m_current.record()->writePendingEdits();
    if (!m_current.record()->isModified()) {
        // Nothing was typed: there is nothing to keep.
        m_current.record()->cancel();
        return true;
    }
    // Stored the way the save command stores it, checks and tree included, so that the tree
    // and the library never disagree.
    return saveCurrentScript();
}

void RecordSession::abandonChanges()
{
    m_current.record()->cancel();
    // What was abandoned is gone: neither undo nor redo brings it back into the record. A memo
    // that shows the same text again keeps its document, and with it the history.
    for (TDBMemo* memo : {m_parts.introMemo, m_parts.codeMemo})
        memo->document()->clearUndoRedoStacks();
}

void RecordSession::saveScript()
{
    saveCurrentScript();
}

bool RecordSession::saveCurrentScript()
{
    switch (m_current.record()->state()) {
    case DataSetState::Edit:
        return saveEditedScript();
    case DataSetState::Insert:
        return saveNewScript();
    default:
        return true;
    }
}

bool RecordSession::saveEditedScript()
{
    if (m_parts.nameEdit->text().isEmpty()) {
        MessageBoxes::information(QStringLiteral("脚本名不能为空"));
        return false;
    }
    try {
        m_current.record()->post();
    } catch (const FeylumeError& error) {
        // The record keeps its mode and every typed value, so the user can put the cause right
        // and save again, or abandon the changes.
        MessageBoxes::information(QStringLiteral("修改脚本时发生错误，操作失败\n") + refusalCause(error));
        return false;
    }
    // The script's node is found by the bytes it was opened with: its shown text may not be
    // what the library holds.
    if (m_parts.nameEdit->text() != m_current.name()) {
        TreeNode* node = m_current.node(m_current.storedName(), true);
        m_parts.tree->setNodeText(node, StoredName(m_parts.nameEdit->text()));
        m_current.renamedTo(node->name());
    }
    if (m_parts.categoryBox->text() != m_current.category()) {
        // Taken before the old node goes: removing it may select and open another script.
        const StoredName name = m_current.storedName();
        const QString category = m_parts.categoryBox->text();
        // A script whose category was missing had no node: choosing one gives it its node.
        if (TreeNode* old = m_current.nodeIfAny(name, true))
            m_parts.tree->removeNode(old);
        TreeNode* moved = m_parts.tree->addScriptNode(m_current.node(StoredName(category), false), name);
        m_parts.tree->setCurrentNode(moved);
        m_parts.tree->setFocus();
        m_current.setCategory(category);
    }
    return true;
}

bool RecordSession::saveNewScript()
{
    if (m_parts.categoryBox->currentIndex() < 0 || m_parts.nameEdit->text().isEmpty()) {
        MessageBoxes::information(QStringLiteral("脚本类别和脚本名都不能为空"));
        return false;
    }
    const QString name = m_parts.nameEdit->text();
    try {
        // The category's node is found before storing, so that a script is never stored
        // without a node to show it.
        TreeNode* category = m_current.node(StoredName(m_parts.categoryBox->text()), false);
        m_current.record()->post();
        m_parts.tree->setCurrentNode(m_parts.tree->addScriptNode(category, StoredName(name)));
        m_parts.tree->setFocus();
        m_counts.recount();
    } catch (const FeylumeError& error) {
        // As for a changed script: the new record stays, typed values and all.
        MessageBoxes::information(
            QStringLiteral("添加脚本失败，请检查是否输入了重名脚本\n") + refusalCause(error));
        return false;
    }
    return true;
}

void RecordSession::deleteSelectedScript()
{
    TreeNode* node = m_parts.tree->selectedNode();
    if (!CategoryTree::isScriptNode(node)) {
        MessageBoxes::information(QStringLiteral("未正确选择要删除的脚本"));
        return;
    }
    const StoredName name = node->name();
    // While a script is being added the editors show the new record, not the script selected in
    // the tree: a deletion asked for then would name a script the user is not looking at. The
    // user saves or abandons the new one first, typed or not.
    if (m_current.record()->state() == DataSetState::Insert) {
        MessageBoxes::information(QStringLiteral("正在添加的脚本还没有保存，请先保存(F7)或放弃(F8)"));
        return;
    }
    if (!MessageBoxes::confirm(QStringLiteral("确认删除脚本[ ") + node->text(0) + QStringLiteral(" ]吗")))
        return;
    if (m_current.storedName() != name) {
        if (!storePendingChanges())
            return;
        m_current.open(name);
    }
    m_current.record()->deleteRecord();
    m_counts.recount();
    m_current.refreshShownName();
    // The confirmation box may have let the tree change; remove the node that carries the name.
    if (TreeNode* deleted = m_current.nodeIfAny(name, true)) {
        m_parts.tree->removeNode(deleted);
        // The tree moved its selection before the node left it: count as the tree now stands.
        m_counts.showCountOf(m_parts.tree->selectedNode());
    }
}
