#pragma once

#include "treenode.h"

#include <QIcon>

#include <QAbstractItemModel>

// The nodes behind the category tree. A category's index carries no pointer and a script's
// index carries its category, so an index stays meaningful while scripts move within their
// block; both find their node by row at once however many scripts a category holds.
class CategoryTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit CategoryTreeModel(QObject* parent);

    int categoryCount() const { return int(m_categories.size()); }
    CategoryNode* category(int row) const { return m_categories.at(size_t(row)).get(); }
    QModelIndex indexOf(const TreeNode* node) const;
    static TreeNode* nodeOf(const QModelIndex& index);

    TreeNode* appendCategory(QByteArrayView name);
    TreeNode* appendScript(TreeNode* category, QByteArrayView name);
    void setText(TreeNode* node, QByteArrayView name);
    void remove(TreeNode* node);
    void setIcons(const QIcon& category, const QIcon& script);

    // Between these, scripts are added without a signal per node; the views read everything
    // again at the end.
    void beginBulkLoad();
    void endBulkLoad();
    void addScriptInBulk(TreeNode* category, QByteArrayView name);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    static int rowOf(const TreeNode* node);

    std::vector<std::unique_ptr<CategoryNode>> m_categories;
    int m_bulkDepth = 0;
    QIcon m_categoryIcon;
    QIcon m_scriptIcon;
};
