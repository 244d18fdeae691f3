// In-place label editing of the category tree. The edited text never goes into the model
// directly: the receivers of nodeEdited decide what the node is called.

#include "categorytree.h"
#include "categorytreemodel.h"

#include <QLineEdit>

bool CategoryTree::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool started = QTreeView::edit(index, trigger, event);
    if (started) {
        m_labelEdit = index;
        m_editedLabel.reset();
    }
    return started;
}

void CategoryTree::commitData(QWidget* editor)
{
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        m_editedLabel = line->text();
}

void CategoryTree::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTreeView::closeEditor(editor, hint);
    if (!m_editedLabel)
        return;
    const QString text = *m_editedLabel;
    m_editedLabel.reset();
    // The edit often ends inside the editor's focus change; the receivers show boxes and change
    // the tree, which they do best once that has run its course.
    QMetaObject::invokeMethod(
        this, [this, index = m_labelEdit, text] { reportLabelEdit(index, text); }, Qt::QueuedConnection);
}

void CategoryTree::reportLabelEdit(const QPersistentModelIndex& index, QString text)
{
    TreeNode* node = CategoryTreeModel::nodeOf(index);
    if (!node)
        return;
    emit nodeEdited(node, &text);
    // Storing the current script may have removed the node meanwhile.
    if (TreeNode* still = CategoryTreeModel::nodeOf(index))
        setNodeText(still, text);
}
