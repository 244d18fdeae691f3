// The category tree: the deferred load at start-up, the selection handler and name look-up.

#include "categorytree.h"
#include "dbctrls/dbcombobox.h"
#include "form1.h"
#include "progressbar.h"
#include "store/query.h"
#include "store/statements.h"
#include "store/table.h"

#include <QComboBox>
#include <QScopedValueRollback>
#include <QTimer>

namespace {
const QString kCountSuffix = QStringLiteral("脚本数:");
}

void TForm1::Timer1Timer()
{
    Timer1->stop();
    LoadCategories();
    LoadScripts();
    setPanelText(ModePanel, QStringLiteral("载入正常完成"));
    pgb->setMaximum(0);
    setPanelText(TotalPanel, QStringLiteral("总脚本数:") + QString::number(TotalScripts));
    Timer1->deleteLater();
    Timer1 = nullptr;
}

void TForm1::LoadCategories()
{
    try {
        ADOTable2->open();
        pgb->setMaximum(ADOTable2->fieldCount());
        pgb->setMinimum(0);
        pgb->setStep(1);
        pgb->stepIt();
        const CategoryTree::UpdateBlock batch(Treeclass);
        for (ADOTable2->first(); !ADOTable2->eof(); ADOTable2->next()) {
            const QString name = ADOTable2->fieldText(QStringLiteral("ctype_name"));
            Treeclass->addCategoryNode(name);
            CBX1->addItem(name);
            ComboBox1->addItem(name);
        }
        ADOTable2->close();
    } catch (const std::exception&) {
        // An unreadable category table leaves the tree as far as it got, without a message.
        ADOTable2->close();
    }
}

void TForm1::LoadScripts()
{
    const int categories = Treeclass->nodeCount();
    const CategoryTree::UpdateBlock batch(Treeclass);
    // Only category nodes exist yet; walking from the last keeps every position still to be
    // visited in place while script nodes are added.
    for (int position = categories - 1; position >= 0; --position) {
        TreeNode* category = Treeclass->nodeAt(position);
        RunStatement(Statements::scriptsOfCategory(category->text(0)), true);
        ADOQuery1->first();
        TotalScripts += ADOQuery1->recordCount();
        const int nameColumn = ADOQuery1->fieldIndex(QStringLiteral("cjs_name"));
        QStringList scripts;
        scripts.reserve(ADOQuery1->recordCount());
        for (; !ADOQuery1->eof(); ADOQuery1->next())
            scripts.append(ADOQuery1->fieldText(nameColumn));
        Treeclass->addScriptNodes(category, scripts);
        ADOQuery1->close();
    }
}

void TForm1::TreeclassChange()
{
    // Putting the selection back after a refused store must not start another store.
    if (m_restoringSelection)
        return;
    TreeNode* node = Treeclass->selectedNode();
    if (!node)
        return;
    if (!CategoryTree::isScriptNode(node)) {
        showCountOf(node);
        return;
    }
    const QString name = node->text(0);
    const bool sameRecord = ADOQuery2->state() == DataSetState::Edit && name == CurrentScriptName;
    if (ADOQuery2->state() == DataSetState::Edit || ADOQuery2->state() == DataSetState::Insert) {
        if (sameRecord) {
            showCountOf(node);
            return;
        }
        if (!storePendingChanges()) {
            reselectCurrentScript();
            return;
        }
        // Storing may have renamed, moved or added nodes and moved the selection: find the
        // chosen script again, and let its own selection open it.
        const int position = FindNodeIndex(name, true);
        if (position < 0)
            return;
        node = Treeclass->nodeAt(position);
        if (Treeclass->selectedNode() != node) {
            Treeclass->setCurrentNode(node);
            return;
        }
    }
    showCountOf(node);
    OpenScript(name);
    CurrentScriptCategory = CBX1->text();
}

void TForm1::showCountOf(const TreeNode* node)
{
    if (!node)
        return;
    const TreeNode* category = node->parent() ? node->parent() : node;
    setPanelText(CountPanel, category->text(0) + kCountSuffix + QString::number(category->childCount()));
}

void TForm1::reselectCurrentScript()
{
    const QScopedValueRollback<bool> restoring(m_restoringSelection, true);
    const int position = FindNodeIndex(CurrentScriptName, true);
    Treeclass->setCurrentNode(position >= 0 ? Treeclass->nodeAt(position) : nullptr);
}

int TForm1::FindNodeIndex(const QString& name, bool scriptLevel) const
{
    int position = 0;
    for (int i = 0; i < Treeclass->topLevelItemCount(); ++i) {
        const TreeNode* category = Treeclass->topLevelItem(i);
        if (!scriptLevel && category->text(0) == name)
            return position;
        ++position;
        if (!scriptLevel) {
            position += category->childCount();
            continue;
        }
        for (int j = 0; j < category->childCount(); ++j, ++position) {
            if (category->child(j)->text(0) == name)
                return position;
        }
    }
    return -1;
}
