#include "categorytree.h"

#include "base/feylumeerror.h"
#include "categorytreemodel.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolTip>

CategoryTree::CategoryTree(QWidget* parent)
    : QTreeView(parent)
    , m_model(new CategoryTreeModel(this))
{
    setModel(m_model);
    header()->hide();
    setRootIsDecorated(false);
    setIndentation(19);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &CategoryTree::currentNodeChanged);
}

CategoryTree::~CategoryTree() = default;

int CategoryTree::topLevelItemCount() const
{
    return m_model->categoryCount();
}

TreeNode* CategoryTree::topLevelItem(int index) const
{
    return m_model->category(index);
}

int CategoryTree::nodeCount() const
{
    int count = topLevelItemCount();
    for (int i = 0; i < topLevelItemCount(); ++i)
        count += topLevelItem(i)->childCount();
    return count;
}

TreeNode* CategoryTree::nodeAt(int position) const
{
    if (position >= 0) {
        int remaining = position;
        for (int i = 0; i < topLevelItemCount(); ++i) {
            TreeNode* category = topLevelItem(i);
            if (remaining == 0)
                return category;
            --remaining;
            if (remaining < category->childCount())
                return category->child(remaining);
            remaining -= category->childCount();
        }
    }
    throw FeylumeError(QStringLiteral("Invalid index"));
}

TreeNode* CategoryTree::selectedNode() const
{
    return CategoryTreeModel::nodeOf(currentIndex());
}

void CategoryTree::setCurrentNode(TreeNode* node)
{
    setCurrentIndex(m_model->indexOf(node));
}

void CategoryTree::expandNode(const TreeNode* node)
{
    expand(m_model->indexOf(node));
}

bool CategoryTree::isExpanded(const TreeNode* node) const
{
    return QTreeView::isExpanded(m_model->indexOf(node));
}

TreeNode* CategoryTree::addCategoryNode(const StoredName& name)
{
    return m_model->appendCategory(name.bytes());
}

TreeNode* CategoryTree::addScriptNode(TreeNode* category, const StoredName& name)
{
    return m_model->appendScript(category, name.bytes());
}

void CategoryTree::setNodeText(TreeNode* node, const StoredName& name)
{
    m_model->setText(node, name.bytes());
}

CategoryTree::BulkLoad::BulkLoad(CategoryTree* tree)
    : m_tree(tree)
{
    m_tree->m_model->beginBulkLoad();
}

CategoryTree::BulkLoad::~BulkLoad()
{
    m_tree->m_model->endBulkLoad();
}

void CategoryTree::BulkLoad::addScript(TreeNode* category, QByteArrayView storedName)
{
    m_tree->m_model->addScriptInBulk(category, storedName);
}

void CategoryTree::removeNode(TreeNode* node)
{
    m_model->remove(node);
}

void CategoryTree::setNodeIcons(const QIcon& category, const QIcon& script)
{
    m_model->setIcons(category, script);
}

void CategoryTree::beginUpdate()
{
    if (m_updateDepth++ == 0)
        setUpdatesEnabled(false);
}

void CategoryTree::endUpdate()
{
    if (m_updateDepth > 0 && --m_updateDepth == 0)
        setUpdatesEnabled(true);
}

void CategoryTree::mousePressEvent(QMouseEvent* event)
{
    // A right click only opens the pop-up menu; the commands act on the selected node.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void CategoryTree::contextMenuEvent(QContextMenuEvent* event)
{
    emit popupRequested(event->globalPos());
    event->accept();
}

void CategoryTree::focusInEvent(QFocusEvent* event)
{
    // The view would make its first node current on taking the focus, and the commands would
    // then act on a category the user never chose. Setting "no node" counts as a choice to it.
    if (!currentIndex().isValid())
        setCurrentIndex(QModelIndex());
    QTreeView::focusInEvent(event);
}

bool CategoryTree::viewportEvent(QEvent* event)
{
    // A name cut short with "…" is shown whole as the node's tooltip; one shown whole needs none.
    if (event->type() == QEvent::ToolTip) {
        const QModelIndex index = indexAt(static_cast<QHelpEvent*>(event)->pos());
        if (index.isValid()) {
            QStyleOptionViewItem option;
            initViewItemOption(&option);
            const QRect shown = visualRect(index);
            option.rect = shown;
            if (itemDelegateForIndex(index)->sizeHint(option, index).width() <= shown.width()) {
                QToolTip::hideText();
                event->ignore();
                return true;
            }
        }
    }
    return QTreeView::viewportEvent(event);
}

// In-place label editing. The edited text never goes into the model directly: the receivers of
// nodeEdited decide what the node is called.
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
    // Storing the current script may have removed the node meanwhile. A node that keeps its
    // name keeps its stored bytes too: those of a name that is no valid UTF-8 would not come
    // back from its shown text.
    TreeNode* still = CategoryTreeModel::nodeOf(index);
    if (still && text != still->text())
        setNodeText(still, StoredName(text));
}
