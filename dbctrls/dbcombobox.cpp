#include "dbcombobox.h"

#include "fieldlink.h"

#include <QStyledItemDelegate>

namespace {
class FixedHeightDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(TDBComboBox::kItemHeight, option.fontMetrics.height()));
        return size;
    }
};
} // namespace

TDBComboBox::TDBComboBox(QWidget* parent)
    : QComboBox(parent)
    , m_link(new FieldLink(this, [this] { reload(); }))
{
    setEditable(false);
    setItemDelegate(new FixedHeightDelegate(this));
    // A plain combo box picks its first entry when entries arrive; this one keeps showing the
    // record's value.
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this] { reload(); });
    connect(model(), &QAbstractItemModel::rowsRemoved, this, [this] { reload(); });
}

void TDBComboBox::setDataSource(DataSource* source)
{
    m_link->setDataSource(source);
}

void TDBComboBox::setDataField(const QString& field)
{
    m_link->setDataField(field);
}

void TDBComboBox::reload()
{
    const QString value = m_link->fieldText();
    // Names compare exactly, as in the tree.
    int shown = -1;
    for (int i = 0; i < count() && !value.isEmpty(); ++i) {
        if (itemText(i) == value) {
            shown = i;
            break;
        }
    }
    setCurrentIndex(shown);
}
