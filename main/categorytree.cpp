#include "categorytree.h"

#include "store/feylumeerror.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>

CategoryTree::CategoryTree(QWidget* parent)
    : QTreeWidget(parent)
{
    setColumnCount(1);
    header()->hide();
    setRootIsDecorated(false);
    setIndentation(19);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

int CategoryTree::nodeCount() const
{
    int count = topLevelItemCount();
    for (int i = 0; i < topLevelItemCount(); ++i)
        count += topLevelItem(i)->childCount();
    return count;
}

QTreeWidgetItem* CategoryTree::nodeAt(int position) const
{
    if (position >= 0) {
        int remaining = position;
        for (int i = 0; i < topLevelItemCount(); ++i) {
            QTreeWidgetItem* category = topLevelItem(i);
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
    QTreeWidget::mousePressEvent(event);
}

void CategoryTree::contextMenuEvent(QContextMenuEvent* event)
{
    emit popupRequested(event->globalPos());
    event->accept();
}
