#pragma once

#include "treenode.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIcon>
#include <QPersistentModelIndex>
#include <QTreeView>

#include <memory>
#include <optional>
#include <vector>

class CategoryTreeModel;

// The category tree: category nodes at the root, script nodes under them. Nodes are addressed by
// their position in the pre-order walk of every node, expanded or not. Nodes keep the order they
// were added in. A right click opens the pop-up menu without moving the selection. Selecting or
// removing a node from code changes the current node at once, as a click does.
class CategoryTree : public QTreeView
{
    Q_OBJECT
public:
    explicit CategoryTree(QWidget* parent);
    ~CategoryTree() override;

    int topLevelItemCount() const;
    TreeNode* topLevelItem(int index) const;
    int nodeCount() const;
    // Throws FeylumeError("Invalid index") outside 0..nodeCount()-1.
    TreeNode* nodeAt(int position) const;
    static bool isScriptNode(const TreeNode* node) { return node && node->parent(); }

    TreeNode* selectedNode() const;
    void setCurrentNode(TreeNode* node);
    bool isExpanded(const TreeNode* node) const;
    void expandNode(const TreeNode* node);

    TreeNode* addCategoryNode(const StoredName& name);
    TreeNode* addScriptNode(TreeNode* category, const StoredName& name);
    void setNodeText(TreeNode* node, const StoredName& name);
    // Removes the node and its children; the tree picks another current node by its own rule.
    void removeNode(TreeNode* node);

    // Every node of a kind shows the same glyph; a selected node shows the category glyph.
    void setNodeIcons(const QIcon& category, const QIcon& script);

    // Stops redrawing while it lives; loads hold one around adding many nodes. The tree draws
    // again however the load ends, a failure included.
    class UpdateBlock
    {
    public:
        explicit UpdateBlock(CategoryTree* tree)
            : m_tree(tree)
        {
            m_tree->beginUpdate();
        }
        ~UpdateBlock() { m_tree->endUpdate(); }
        UpdateBlock(const UpdateBlock&) = delete;
        UpdateBlock& operator=(const UpdateBlock&) = delete;

    private:
        CategoryTree* m_tree;
    };

    // Fills the category nodes with their scripts in bulk: nodes added while it lives are shown
    // when it ends, however the load ends. Only for a tree nobody has expanded or selected in
    // yet, since the view reads the whole tree again.
    class BulkLoad
    {
    public:
        explicit BulkLoad(CategoryTree* tree);
        ~BulkLoad();
        BulkLoad(const BulkLoad&) = delete;
        BulkLoad& operator=(const BulkLoad&) = delete;
        // The next script of the category, straight from the stored bytes.
        void addScript(TreeNode* category, QByteArrayView storedName);

    private:
        CategoryTree* m_tree;
    };

signals:
    void currentNodeChanged();
    void popupRequested(const QPoint& globalPos);
    // An in-place label edit (F2, or a click on the selected node) ended with a text, not with
    // Escape. It is reported once the editor has closed; the node then takes the value *text
    // has when the receivers return, if it still exists.
    void nodeEdited(TreeNode* node, QString* text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void beginUpdate();
    void endUpdate();

    void reportLabelEdit(const QPersistentModelIndex& index, QString text);

    CategoryTreeModel* m_model;
    int m_updateDepth = 0;
    QPersistentModelIndex m_labelEdit;
    std::optional<QString> m_editedLabel;
};
