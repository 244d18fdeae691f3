#pragma once

#include <QTreeWidget>

// The category tree: category nodes at the root, script nodes under them. Nodes are addressed by
// their position in the pre-order walk of every node, expanded or not. A right click opens the
// pop-up menu without moving the selection.
class CategoryTree : public QTreeWidget
{
    Q_OBJECT
public:
    explicit CategoryTree(QWidget* parent);

    int nodeCount() const;
    // Throws FeylumeError("Invalid index") outside 0..nodeCount()-1.
    QTreeWidgetItem* nodeAt(int position) const;
    QTreeWidgetItem* selectedNode() const { return currentItem(); }
    static bool isScriptNode(const QTreeWidgetItem* node) { return node && node->parent(); }

    // Stops redrawing until the matching end; loads use it around adding many nodes.
    void beginUpdate();
    void endUpdate();

signals:
    void popupRequested(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int m_updateDepth = 0;
};
