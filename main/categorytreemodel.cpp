#include "categorytreemodel.h"

CategoryTreeModel::CategoryTreeModel(QObject* parent)
    : QAbstractItemModel(parent)
{ }

QModelIndex CategoryTreeModel::indexOf(const TreeNode* node) const
{
    return node ? createIndex(node->m_row, 0, const_cast<TreeNode*>(node)) : QModelIndex();
}

TreeNode* CategoryTreeModel::nodeOf(const QModelIndex& index)
{
    return index.isValid() ? static_cast<TreeNode*>(index.internalPointer()) : nullptr;
}

std::vector<std::unique_ptr<TreeNode>>& CategoryTreeModel::siblingsOf(TreeNode* node)
{
    return node->m_parent ? node->m_parent->m_children : m_categories;
}

TreeNode* CategoryTreeModel::appendCategory(const QString& name)
{
    const int row = categoryCount();
    beginInsertRows(QModelIndex(), row, row);
    auto node = std::make_unique<TreeNode>();
    node->m_text = name;
    node->m_row = row;
    m_categories.push_back(std::move(node));
    endInsertRows();
    return m_categories.back().get();
}

void CategoryTreeModel::appendScripts(TreeNode* category, const QStringList& names)
{
    if (names.isEmpty())
        return;
    const int first = category->childCount();
    beginInsertRows(indexOf(category), first, first + int(names.size()) - 1);
    category->m_children.reserve(category->m_children.size() + size_t(names.size()));
    for (const QString& name : names) {
        auto node = std::make_unique<TreeNode>();
        node->m_text = name;
        node->m_parent = category;
        node->m_row = category->childCount();
        category->m_children.push_back(std::move(node));
    }
    endInsertRows();
}

void CategoryTreeModel::setText(TreeNode* node, const QString& text)
{
    node->m_text = text;
    const QModelIndex index = indexOf(node);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
}

void CategoryTreeModel::remove(TreeNode* node)
{
    auto& siblings = siblingsOf(node);
    const int row = node->m_row;
    beginRemoveRows(indexOf(node->m_parent), row, row);
    siblings.erase(siblings.begin() + row);
    for (size_t i = size_t(row); i < siblings.size(); ++i)
        siblings[i]->m_row = int(i);
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
        return row < categoryCount() ? createIndex(row, 0, category(row)) : QModelIndex();
    return row < owner->childCount() ? createIndex(row, 0, owner->child(row)) : QModelIndex();
}

QModelIndex CategoryTreeModel::parent(const QModelIndex& child) const
{
    const TreeNode* node = nodeOf(child);
    return node ? indexOf(node->parent()) : QModelIndex();
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
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return node->text();
    if (role == Qt::DecorationRole)
        return node->parent() ? m_scriptIcon : m_categoryIcon;
    return {};
}

Qt::ItemFlags CategoryTreeModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    if (const TreeNode* node = nodeOf(index); node && node->parent())
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}
