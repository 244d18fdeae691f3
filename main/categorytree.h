#pragma once

#include "store/storedname.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIcon>
#include <QPersistentModelIndex>
#include <QTreeView>

#include <memory>
#include <optional>
#include <vector>

class CategoryNode;
class CategoryTreeModel;

// One node of the category tree: a category at the root, or a script under its category.
// A node keeps its name as the bytes stored in the library, which identify its row even when
// they are no valid UTF-8; the text shown is made from them when it is asked for. A script
// node lives in its category's contiguous block of children: a pointer to it holds only until
// that category gains or loses a script.
class TreeNode
{
public:
    QString text(int column = 0) const
    {
        Q_UNUSED(column);
        return QString::fromUtf8(storedName());
    }
    QByteArrayView storedName() const;
    StoredName name() const { return StoredName::fromBytes(storedName()); }
    // The category of a script node; nullptr for a category node.
    TreeNode* parent() const;
    int childCount() const;
    TreeNode* child(int index) const;

private:
    friend class CategoryNode;
    friend class CategoryTreeModel;
    const CategoryNode* category() const;

    CategoryNode* m_parent = nullptr;
    // Where the name lies in the name bytes of the category that holds it (or is it).
    quint32 m_nameOffset = 0;
    quint32 m_nameSize = 0;
};

// A category node with its scripts and the bytes of every name they hold.
class CategoryNode : public TreeNode
{
private:
    friend class TreeNode;
    friend class CategoryTreeModel;
    void setName(TreeNode& node, QByteArrayView name);

    int m_row = 0;
    std::vector<TreeNode> m_children;
    QByteArray m_names;
};

inline const CategoryNode* TreeNode::category() const
{
    return m_parent ? m_parent : static_cast<const CategoryNode*>(this);
}

inline QByteArrayView TreeNode::storedName() const
{
    return QByteArrayView(category()->m_names.constData() + m_nameOffset, qsizetype(m_nameSize));
}

inline TreeNode* TreeNode::parent() const
{
    return m_parent;
}

inline int TreeNode::childCount() const
{
    return m_parent ? 0 : int(static_cast<const CategoryNode*>(this)->m_children.size());
}

inline TreeNode* TreeNode::child(int index) const
{
    Q_ASSERT(!m_parent);
    auto& children = const_cast<CategoryNode*>(static_cast<const CategoryNode*>(this))->m_children;
    return &children.at(size_t(index));
}

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
