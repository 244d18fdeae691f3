#include "categorytreemodel.h"

#include <cstring>

void CategoryNode::setName(TreeNode& node, QByteArrayView name)
{
    // Earlier names stay behind unused: renames are rare and a category's names are few bytes.
    const qsizetype at = m_names.size();
    node.m_nameOffset = quint32(at);
    node.m_nameSize = quint32(name.size());
    // Copied by hand: the general append costs more than the copy for a name this short.
    if (name.isEmpty())
        return;
    m_names.resize(at + name.size());
    std::memcpy(m_names.data() + at, name.data(), size_t(name.size()));
}

CategoryTreeModel::CategoryTreeModel(QObject* parent)
    : QAbstractItemModel(parent)
{ }

int CategoryTreeModel::rowOf(const TreeNode* node)
{
    if (const CategoryNode* owner = node->m_parent)
        return int(node - owner->m_children.data());
    return static_cast<const CategoryNode*>(node)->m_row;
}

QModelIndex CategoryTreeModel::indexOf(const TreeNode* node) const
{
    return node ? createIndex(rowOf(node), 0, node->m_parent) : QModelIndex();
}

TreeNode* CategoryTreeModel::nodeOf(const QModelIndex& index)
{
    if (!index.isValid())
        return nullptr;
    if (auto* owner = static_cast<CategoryNode*>(index.internalPointer()))
        return owner->child(index.row());
    return static_cast<const CategoryTreeModel*>(index.model())->category(index.row());
}

TreeNode* CategoryTreeModel::appendCategory(QByteArrayView name)
{
    const int row = categoryCount();
    beginInsertRows(QModelIndex(), row, row);
    auto node = std::make_unique<CategoryNode>();
    node->m_row = row;
    node->setName(*node, name);
    m_categories.push_back(std::move(node));
    endInsertRows();
    return m_categories.back().get();
}

TreeNode* CategoryTreeModel::appendScript(TreeNode* category, QByteArrayView name)
{
    const int row = category->childCount();
    if (m_bulkDepth == 0)
        beginInsertRows(indexOf(category), row, row);
    auto* owner = static_cast<CategoryNode*>(category);
    TreeNode node;
    node.m_parent = owner;
    owner->setName(node, name);
    owner->m_children.push_back(node);
    if (m_bulkDepth == 0)
        endInsertRows();
    return &owner->m_children.back();
}

void CategoryTreeModel::addScriptInBulk(TreeNode* category, QByteArrayView name)
{
    Q_ASSERT(m_bulkDepth > 0);
    appendScript(category, name);
}

void CategoryTreeModel::beginBulkLoad()
{
    if (m_bulkDepth++ == 0)
        beginResetModel();
}

void CategoryTreeModel::endBulkLoad()
{
    if (m_bulkDepth > 0 && --m_bulkDepth == 0)
        endResetModel();
}

void CategoryTreeModel::setText(TreeNode* node, QByteArrayView name)
{
    CategoryNode* owner = node->m_parent ? node->m_parent : static_cast<CategoryNode*>(node);
    owner->setName(*node, name);
    const QModelIndex index = indexOf(node);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
}

void CategoryTreeModel::remove(TreeNode* node)
{
    const int row = rowOf(node);
    if (CategoryNode* owner = node->m_parent) {
        beginRemoveRows(indexOf(owner), row, row);
        owner->m_children.erase(owner->m_children.begin() + row);
        endRemoveRows();
        return;
    }
    beginRemoveRows(QModelIndex(), row, row);
    m_categories.erase(m_categories.begin() + row);
    for (size_t i = size_t(row); i < m_categories.size(); ++i)
        m_categories[i]->m_row = int(i);
    endRemoveRows();
}

void CategoryTreeModel::setIcons(const QIcon& category, const QIcon& script)
{
    m_categoryIcon = category;
    m_scriptIcon = script;
}

QModelIndex CategoryTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    const TreeNode* owner = nodeOf(parent);
    if (!owner)
        return row < categoryCount() ? createIndex(row, 0, nullptr) : QModelIndex();
    if (owner->parent() || row >= owner->childCount())
        return {};
    return createIndex(row, 0, const_cast<CategoryNode*>(static_cast<const CategoryNode*>(owner)));
}

QModelIndex CategoryTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    const auto* owner = static_cast<const CategoryNode*>(child.internalPointer());
    return owner ? createIndex(owner->m_row, 0, nullptr) : QModelIndex();
}

int CategoryTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return categoryCount();
    return parent.column() == 0 ? nodeOf(parent)->childCount() : 0;
}

int CategoryTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant CategoryTreeModel::data(const QModelIndex& index, int role) const
{
    const TreeNode* node = nodeOf(index);
    if (!node)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole)
        return node->text();
    if (role == Qt::DecorationRole)
        return node->parent() ? m_scriptIcon : m_categoryIcon;
    return {};
}

Qt::ItemFlags CategoryTreeModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    if (index.isValid() && index.internalPointer())
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}
