#pragma once

#include "store/storedname.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

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
