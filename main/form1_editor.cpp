// The script commands on the current record: add, save, abandon and delete, and how saving
// brings the tree in line with the stored script.

#include "categorytree.h"
#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "form1.h"
#include "messageboxes.h"
#include "store/feylumeerror.h"
#include "store/query.h"

namespace {
bool isChanging(const Query* query)
{
    return query->state() == DataSetState::Edit || query->state() == DataSetState::Insert;
}
} // namespace

void TForm1::DataSetInsert1Execute()
{
    if (isChanging(ADOQuery2)) {
        ADOQuery2->writePendingEdits();
        // A changed script is stored the way the save command stores it, checks and tree
        // included, so that the tree and the library never disagree; if that fails, no new
        // record is started.
        if (ADOQuery2->isModified() && !saveCurrentScript())
            return;
    }
    ADOQuery2->insert();
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
    } catch (const FeylumeError&) {
        MessageBoxes::information(QStringLiteral("修改脚本时发生错误，操作失败"));
        ADOQuery2->cancel();
        return false;
    }
    if (DBEdit2->text() != CurrentScriptName) {
        TreeNode* node = Treeclass->nodeAt(FindNodeIndex(CurrentScriptName, true));
        Treeclass->setNodeText(node, DBEdit2->text());
        CurrentScriptName = node->text(0);
        setPanelText(ScriptPanel, CurrentScriptName);
    }
    if (CBX1->text() != CurrentScriptCategory) {
        // Taken before the old node goes: removing it may select and open another script.
        const QString name = CurrentScriptName;
        const QString category = CBX1->text();
        Treeclass->removeNode(Treeclass->nodeAt(FindNodeIndex(name, true)));
        TreeNode* moved = Treeclass->addScriptNode(Treeclass->nodeAt(FindNodeIndex(category, false)), name);
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
    } catch (const FeylumeError&) {
        MessageBoxes::information(QStringLiteral("添加脚本失败，请检查是否输入了重名脚本"));
        if (ADOQuery2->state() == DataSetState::Insert)
            ADOQuery2->cancel();
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
    const QString name = node->text(0);
    if (!MessageBoxes::confirm(QStringLiteral("确认删除脚本[ ") + name + QStringLiteral(" ]吗")))
        return;
    // What is deleted is what the confirmation named: a new record being filled in is dropped,
    // and a current record other than the selected script is replaced by it first.
    if (ADOQuery2->state() == DataSetState::Insert || CurrentScriptName != name)
        OpenScript(name);
    ADOQuery2->deleteRecord();
    // The confirmation box may have let the tree change; remove the node that carries the name.
    const int position = FindNodeIndex(name, true);
    if (position >= 0)
        Treeclass->removeNode(Treeclass->nodeAt(position));
}
