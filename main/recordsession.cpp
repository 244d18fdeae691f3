// The script commands on the current record: add, save, abandon and delete, and how saving
// brings the tree in line with the stored script.

#include "recordsession.h"

#include "base/feylumeerror.h"
#include "categorytree.h"
#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "form1.h"
#include "store/query.h"
#include "store/refusalcause.h"
#include "widgets/messageboxes.h"

RecordSession::RecordSession(TForm1& form)
    : QObject(&form)
    , m_form(form)
{ }

void RecordSession::DataSetInsert1Execute()
{
    if (!storePendingChanges())
        return;
    m_form.ADOQuery2->insert();
}

bool RecordSession::storePendingChanges()
{
    if (!m_form.ADOQuery2->isChanging())
        return true;
    m_form.ADOQuery2->writePendingEdits();
    if (!m_form.ADOQuery2->isModified()) {
        // Nothing was typed: there is nothing to keep.
        m_form.ADOQuery2->cancel();
        return true;
    }
    // Stored the way the save command stores it, checks and tree included, so that the tree
    // and the library never disagree.
    return saveCurrentScript();
}

void RecordSession::DataSetCancel1Execute()
{
    m_form.ADOQuery2->cancel();
    // What was abandoned is gone: neither undo nor redo brings it back into the record. A memo
    // that shows the same text again keeps its document, and with it the history.
    for (TDBMemo* memo : {m_form.DBMemo1, m_form.DBMemo2})
        memo->document()->clearUndoRedoStacks();
}

void RecordSession::DataSetPost1Execute()
{
    saveCurrentScript();
}

bool RecordSession::saveCurrentScript()
{
    switch (m_form.ADOQuery2->state()) {
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
    if (m_form.DBEdit2->text().isEmpty()) {
        MessageBoxes::information(QStringLiteral("脚本名不能为空"));
        return false;
    }
    try {
        m_form.ADOQuery2->post();
    } catch (const FeylumeError& error) {
        // The record keeps its mode and every typed value, so the user can put the cause right
        // and save again, or abandon the changes.
        MessageBoxes::information(QStringLiteral("修改脚本时发生错误，操作失败\n") + refusalCause(error));
        return false;
    }
    // The script's node is found by the bytes it was opened with: its shown text may not be
    // what the library holds.
    if (m_form.DBEdit2->text() != m_form.CurrentScriptName) {
        TreeNode* node = m_form.Treeclass->nodeAt(m_form.FindNodeIndex(m_form.CurrentScriptStoredName, true));
        m_form.Treeclass->setNodeText(node, m_form.DBEdit2->text());
        m_form.CurrentScriptStoredName = node->name();
        m_form.CurrentScriptName = node->text(0);
        m_form.setPanelText(TForm1::ScriptPanel, m_form.CurrentScriptName);
    }
    if (m_form.CBX1->text() != m_form.CurrentScriptCategory) {
        // Taken before the old node goes: removing it may select and open another script.
        const StoredName name = m_form.CurrentScriptStoredName;
        const QString category = m_form.CBX1->text();
        // A script whose category was missing had no node: choosing one gives it its node.
        if (const int old = m_form.FindNodeIndex(name, true); old >= 0)
            m_form.Treeclass->removeNode(m_form.Treeclass->nodeAt(old));
        TreeNode* moved = m_form.Treeclass->addScriptNode(
            m_form.Treeclass->nodeAt(m_form.FindNodeIndex(category, false)), name);
        m_form.Treeclass->setCurrentNode(moved);
        m_form.Treeclass->setFocus();
        m_form.CurrentScriptCategory = category;
    }
    return true;
}

bool RecordSession::saveNewScript()
{
    if (m_form.CBX1->currentIndex() < 0 || m_form.DBEdit2->text().isEmpty()) {
        MessageBoxes::information(QStringLiteral("脚本类别和脚本名都不能为空"));
        return false;
    }
    const QString name = m_form.DBEdit2->text();
    const int position = m_form.FindNodeIndex(m_form.CBX1->text(), false);
    try {
        // The category's node is found before storing, so that a script is never stored
        // without a node to show it.
        TreeNode* category = m_form.Treeclass->nodeAt(position);
        m_form.ADOQuery2->post();
        m_form.Treeclass->setCurrentNode(m_form.Treeclass->addScriptNode(category, name));
        m_form.Treeclass->setFocus();
        m_form.recountScripts();
    } catch (const FeylumeError& error) {
        // As for a changed script: the new record stays, typed values and all.
        MessageBoxes::information(
            QStringLiteral("添加脚本失败，请检查是否输入了重名脚本\n") + refusalCause(error));
        return false;
    }
    return true;
}

void RecordSession::DataSetDelete1Execute()
{
    TreeNode* node = m_form.Treeclass->selectedNode();
    if (!CategoryTree::isScriptNode(node)) {
        MessageBoxes::information(QStringLiteral("未正确选择要删除的脚本"));
        return;
    }
    const StoredName name = node->name();
    // While a script is being added the editors show the new record, not the script selected in
    // the tree: a deletion asked for then would name a script the user is not looking at. The
    // user saves or abandons the new one first, typed or not.
    if (m_form.ADOQuery2->state() == DataSetState::Insert) {
        MessageBoxes::information(QStringLiteral("正在添加的脚本还没有保存，请先保存(F7)或放弃(F8)"));
        return;
    }
    if (!MessageBoxes::confirm(QStringLiteral("确认删除脚本[ ") + node->text(0) + QStringLiteral(" ]吗")))
        return;
    if (m_form.CurrentScriptStoredName != name) {
        if (!storePendingChanges())
            return;
        m_form.OpenScript(name);
    }
    m_form.ADOQuery2->deleteRecord();
    m_form.recountScripts();
    m_form.setPanelText(TForm1::ScriptPanel, m_form.openScriptName());
    // The confirmation box may have let the tree change; remove the node that carries the name.
    const int position = m_form.FindNodeIndex(name, true);
    if (position >= 0) {
        m_form.Treeclass->removeNode(m_form.Treeclass->nodeAt(position));
        // The tree moved its selection before the node left it: count as the tree now stands.
        m_form.showCountOf(m_form.Treeclass->selectedNode());
    }
}
