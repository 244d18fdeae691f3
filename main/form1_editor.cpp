// The script commands on the current record: add, save, abandon and delete, and how saving
// brings the tree in line with the stored script.

#include "base/feylumeerror.h"
#include "categorytree.h"
#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "form1.h"
#include "store/query.h"
#include "store/refusalcause.h"
#include "widgets/errorguard.h"
#include "widgets/messageboxes.h"

#include <QCloseEvent>

void TForm1::DataSetInsert1Execute()
{
    if (!storePendingChanges())
        return;
    ADOQuery2->insert();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // An error on the way keeps the window open: nothing typed goes without the user's word.
    bool mayClose = false;
    guarded([&] {
        if (ADOQuery2->isChanging())
            ADOQuery2->writePendingEdits();
        mayClose = !ADOQuery2->isChanging() || !ADOQuery2->isModified();
        if (mayClose)
            return;
        switch (MessageBoxes::askToSave(QStringLiteral("当前脚本的修改还没有保存，要保存吗?"))) {
        case MessageBoxes::Choice::Save:
            mayClose = saveCurrentScript();
            break;
        case MessageBoxes::Choice::Discard:
            ADOQuery2->cancel();
            mayClose = true;
            break;
        case MessageBoxes::Choice::Cancel:
            mayClose = false;
        }
    });
    if (mayClose) {
        saveSession();
        event->accept();
    } else {
        event->ignore();
    }
}

bool TForm1::storePendingChanges()
{
    if (!ADOQuery2->isChanging())
        return true;
    ADOQuery2->writePendingEdits();
    if (!ADOQuery2->isModified()) {
        // Nothing was typed: there is nothing to keep.
        ADOQuery2->cancel();
        return true;
    }
    // Stored the way the save command stores it, checks and tree included, so that the tree
    // and the library never disagree.
    return saveCurrentScript();
}

void TForm1::DataSetCancel1Execute()
{
    ADOQuery2->cancel();
}

void TForm1::DataSetPost1Execute()
{
    saveCurrentScript();
}

bool TForm1::saveCurrentScript()
{
    switch (ADOQuery2->state()) {
    case DataSetState::Edit:
        return saveEditedScript();
    case DataSetState::Insert:
        return saveNewScript();
    default:
        return true;
    }
}

bool TForm1::saveEditedScript()
{
    if (DBEdit2->text().isEmpty()) {
        MessageBoxes::information(QStringLiteral("脚本名不能为空"));
        return false;
    }
    try {
        ADOQuery2->post();
    } catch (const FeylumeError& error) {
        // The record keeps its mode and every typed value, so the user can put the cause right
        // and save again, or abandon the changes.
        MessageBoxes::information(QStringLiteral("修改脚本时发生错误，操作失败\n") + refusalCause(error));
        return false;
    }
    // The script's node is found by the bytes it was opened with: its shown text may not be
    // what the library holds.
    if (DBEdit2->text() != CurrentScriptName) {
        TreeNode* node = Treeclass->nodeAt(FindStoredNodeIndex(CurrentScriptStoredName, true));
        Treeclass->setNodeText(node, DBEdit2->text());
        CurrentScriptStoredName = node->storedName().toByteArray();
        CurrentScriptName = node->text(0);
        setPanelText(ScriptPanel, CurrentScriptName);
    }
    if (CBX1->text() != CurrentScriptCategory) {
        // Taken before the old node goes: removing it may select and open another script.
        const QByteArray name = CurrentScriptStoredName;
        const QString category = CBX1->text();
        // A script whose category was missing had no node: choosing one gives it its node.
        if (const int old = FindStoredNodeIndex(name, true); old >= 0)
            Treeclass->removeNode(Treeclass->nodeAt(old));
        TreeNode* moved = Treeclass->addScriptNode(
            Treeclass->nodeAt(FindNodeIndex(category, false)), QByteArrayView(name));
        Treeclass->setCurrentNode(moved);
        Treeclass->setFocus();
        CurrentScriptCategory = category;
    }
    return true;
}

bool TForm1::saveNewScript()
{
    if (CBX1->currentIndex() < 0 || DBEdit2->text().isEmpty()) {
        MessageBoxes::information(QStringLiteral("脚本类别和脚本名都不能为空"));
        return false;
    }
    const QString name = DBEdit2->text();
    const int position = FindNodeIndex(CBX1->text(), false);
    try {
        // The category's node is found before storing, so that a script is never stored
        // without a node to show it.
        TreeNode* category = Treeclass->nodeAt(position);
        ADOQuery2->post();
        Treeclass->setCurrentNode(Treeclass->addScriptNode(category, name));
        Treeclass->setFocus();
    } catch (const FeylumeError& error) {
        // As for a changed script: the new record stays, typed values and all.
        MessageBoxes::information(
            QStringLiteral("添加脚本失败，请检查是否输入了重名脚本\n") + refusalCause(error));
        return false;
    }
    return true;
}

void TForm1::DataSetDelete1Execute()
{
    TreeNode* node = Treeclass->selectedNode();
    if (!CategoryTree::isScriptNode(node)) {
        MessageBoxes::information(QStringLiteral("未正确选择要删除的脚本"));
        return;
    }
    const QByteArray name = node->storedName().toByteArray();
    // A new record with typed values is not dropped on the way: the user saves or abandons it
    // first, and is told so before being asked anything.
    const bool inserting = ADOQuery2->state() == DataSetState::Insert;
    if (inserting) {
        ADOQuery2->writePendingEdits();
        if (ADOQuery2->isModified()) {
            MessageBoxes::information(QStringLiteral("正在添加的脚本还没有保存，请先保存(F7)或放弃(F8)"));
            return;
        }
    }
    if (!MessageBoxes::confirm(QStringLiteral("确认删除脚本[ ") + node->text(0) + QStringLiteral(" ]吗")))
        return;
    // What is deleted is what the confirmation named.
    if (inserting)
        ADOQuery2->cancel();
    if (CurrentScriptStoredName != name) {
        if (!storePendingChanges())
            return;
        OpenStoredScript(name);
    }
    ADOQuery2->deleteRecord();
    setPanelText(ScriptPanel, openScriptName());
    // The confirmation box may have let the tree change; remove the node that carries the name.
    const int position = FindStoredNodeIndex(name, true);
    if (position >= 0) {
        Treeclass->removeNode(Treeclass->nodeAt(position));
        // The tree moved its selection before the node left it: count as the tree now stands.
        showCountOf(Treeclass->selectedNode());
    }
}
