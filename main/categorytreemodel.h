#pragma once

#include "categorytree.h"

#include <QAbstractItemModel>

// The nodes behind the category tree. Each node keeps its row, so that the view's frequent
// parent and index look-ups cost nothing however many scripts a category holds.
class CategoryTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit CategoryTreeModel(QObject* parent);

    int categoryCount() const { return int(m_categories.size()); }
    TreeNode* category(int row) const { return m_categories.at(size_t(row)).get(); }
    QModelIndex indexOf(const TreeNode* node) const;
    static TreeNode* nodeOf(const QModelIndex& index);

    TreeNode* appendCategory(const QString& name);
    void appendScripts(TreeNode* category, const QStringList& names);
    void setText(TreeNode* node, const QString& text);
    void remove(TreeNode* node);
    void setIcons(const QIcon& category, const QIcon& script);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<std::unique_ptr<TreeNode>>& siblingsOf(TreeNode* node);

    std::vector<std::unique_ptr<TreeNode>> m_categories;
    QIcon m_categoryIcon;
    QIcon m_scriptIcon;
};
