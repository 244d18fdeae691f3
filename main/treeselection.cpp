#include "treeselection.h"

#include "categorytree.h"
#include "dbctrls/dbcombobox.h"
#include "form1.h"
#include "store/query.h"
#include "widgets/statusbar.h"

#include <QScopedValueRollback>

namespace {
const QString kCountSuffix = QStringLiteral("脚本数:");

// The pre-order position of the first node of the level that matches, or -1.
template<typename Matches> int findPosition(const CategoryTree* tree, bool scriptLevel, Matches matches)
{
    int position = 0;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const TreeNode* category = tree->topLevelItem(i);
        if (!scriptLevel && matches(category))
            return position;
        ++position;
        if (!scriptLevel) {
            position += category->childCount();
            continue;
        }
        for (int j = 0; j < category->childCount(); ++j, ++position) {
            if (matches(category->child(j)))
                return position;
        }
    }
    return -1;
}
} // namespace

TreeSelection::TreeSelection(TForm1& form)
    : m_form(form)
{ }

void TreeSelection::TreeclassChange()
{
    // Putting the selection back after a refused store must not start another store.
    if (m_restoringSelection)
        return;
    TreeNode* node = m_form.Treeclass->selectedNode();
    if (!node)
        return;
    if (!CategoryTree::isScriptNode(node)) {
        showCountOf(node);
        return;
    }
    // The node's stored bytes, not its shown text, identify the script.
    const StoredName name = node->name();
    const bool sameRecord
        = m_form.ADOQuery2->state() == DataSetState::Edit && name == m_form.CurrentScriptStoredName;
    if (m_form.ADOQuery2->isChanging()) {
        if (sameRecord) {
            showCountOf(node);
            return;
        }
        if (!m_form.storePendingChanges()) {
            reselectCurrentScript();
            return;
        }
        // Storing may have renamed, moved or added nodes and moved the selection: find the
        // chosen script again, and let its own selection open it.
        const int position = FindNodeIndex(name, true);
        if (position < 0)
            return;
        node = m_form.Treeclass->nodeAt(position);
        if (m_form.Treeclass->selectedNode() != node) {
            m_form.Treeclass->setCurrentNode(node);
            return;
        }
    }
    showCountOf(node);
    m_form.OpenScript(name);
    m_form.CurrentScriptCategory = m_form.CBX1->text();
}

void TreeSelection::showCountOf(const TreeNode* node)
{
    if (!node)
        return;
    const TreeNode* category = node->parent() ? node->parent() : node;
    m_form.setPanelText(
        TForm1::CountPanel, category->text(0) + kCountSuffix + QString::number(category->childCount()));
}

void TreeSelection::reselectCurrentScript()
{
    const QScopedValueRollback<bool> restoring(m_restoringSelection, true);
    const int position = FindNodeIndex(m_form.CurrentScriptStoredName, true);
    m_form.Treeclass->setCurrentNode(position >= 0 ? m_form.Treeclass->nodeAt(position) : nullptr);
}

int TreeSelection::FindNodeIndex(const StoredName& name, bool scriptLevel) const
{
    const int position = findPosition(
        m_form.Treeclass, scriptLevel, [&name](const TreeNode* node) { return name == node->storedName(); });
    if (position >= 0 || !name.isShowable())
        return position;
    // A name given as shown text with replacement marks may stand for stored bytes that are no
    // valid UTF-8: only the text shown for them finds those.
    const QString text = name.text();
    if (!text.contains(QChar::ReplacementCharacter))
        return position;
    return findPosition(
        m_form.Treeclass, scriptLevel, [&text](const TreeNode* node) { return node->text() == text; });
}
