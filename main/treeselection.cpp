#include "treeselection.h"

#include "categorytree.h"
#include "currentscript.h"
#include "dbctrls/dbcombobox.h"
#include "scriptcounts.h"
#include "store/query.h"

#include <QScopedValueRollback>

TreeSelection::TreeSelection(const Parts& parts, CurrentScript& current, ScriptCounts& counts)
    : m_parts(parts)
    , m_current(current)
    , m_counts(counts)
{ }

void TreeSelection::followSelection()
{
    // Putting the selection back after a refused store must not start another store.
    if (m_restoringSelection)
        return;
    CategoryTree* tree = m_parts.tree;
    TreeNode* node = tree->selectedNode();
    if (!node)
        return;
    if (!CategoryTree::isScriptNode(node)) {
        m_counts.showCountOf(node);
        return;
    }
    // The node's stored bytes, not its shown text, identify the script.
    const StoredName name = node->name();
    const Query* record = m_current.record();
    const bool sameRecord = record->state() == DataSetState::Edit && name == m_current.storedName();
    if (record->isChanging()) {
        if (sameRecord) {
            m_counts.showCountOf(node);
            return;
        }
        if (!m_current.storePendingChanges()) {
            reselectCurrentScript();
            return;
        }
        // Storing may have renamed, moved or added nodes and moved the selection: find the
        // chosen script again, and let its own selection open it.
        node = m_current.nodeIfAny(name, true);
        if (!node)
            return;
        if (tree->selectedNode() != node) {
            tree->setCurrentNode(node);
            return;
        }
    }
    m_counts.showCountOf(node);
    m_current.open(name);
    m_current.setCategory(m_parts.categoryBox->text());
}

void TreeSelection::reselectCurrentScript()
{
    const QScopedValueRollback<bool> restoring(m_restoringSelection, true);
    m_parts.tree->setCurrentNode(m_current.nodeIfAny(m_current.storedName(), true));
}
