#include "dbcombobox.h"

#include "editinput.h"
#include "fieldlink.h"

#include <QKeyEvent>
#include <QStyledItemDelegate>

namespace {
class FixedHeightDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        // Never lower than the font: Chinese captions would be cut.
        size.setHeight(std::max(TDBComboBox::kItemHeight, option.fontMetrics.height()));
        return size;
    }
};
} // namespace

TDBComboBox::TDBComboBox(QWidget* parent)
    : QComboBox(parent)
    , m_link(new FieldLink(
          this, [this](const QString& value) { showField(value); }, [this] { return storedValue(); }))
{
    setEditable(false);
    setItemDelegate(new FixedHeightDelegate(this));
    connect(this, &QComboBox::currentIndexChanged, m_link, &FieldLink::contentChanged);
    connect(this, &QComboBox::activated, this, &TDBComboBox::chosen);
    // A plain combo box picks its first entry when entries arrive; this one keeps showing the
    // record's value.
    connect(model(), &QAbstractItemModel::rowsInserted, m_link, &FieldLink::reload);
    connect(model(), &QAbstractItemModel::rowsRemoved, m_link, &FieldLink::reload);
}

void TDBComboBox::setDataSource(DataSource* source)
{
    m_link->setDataSource(source);
}

void TDBComboBox::setDataField(const QString& field)
{
    m_link->setDataField(field);
}

QVariant TDBComboBox::storedValue() const
{
    // An entry whose stored name is not valid UTF-8 carries those bytes: writing its shown
    // text instead would point the script at a category that does not exist.
    const QVariant stored = currentData(kStoredNameRole);
    return stored.typeId() == QMetaType::QByteArray ? stored : QVariant(text());
}

void TDBComboBox::showField(const QString& value)
{
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

void TDBComboBox::chosen(int index)
{
    if (m_link->isEditing())
        return;
    // Chosen from the list while browsing: entering edit mode shows the stored value again,
    // then the choice takes effect. When edit mode cannot be entered the choice is ignored.
    if (m_link->edit()) {
        setCurrentIndex(index);
    } else {
        m_link->reload();
    }
}

void TDBComboBox::keyPressEvent(QKeyEvent* event)
{
    // As in the other editors, Escape puts back what the record holds.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_link->reload();
        event->accept();
        return;
    }
    if (EditInput::changesChoice(event) && !m_link->edit()) {
        if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
            event->accept();
            return;
        }
    }
    QComboBox::keyPressEvent(event);
    // Keys the list handles itself may have changed the entry without entering edit mode.
    if (!m_link->isEditing() && m_link->isModified())
        m_link->reload();
}

void TDBComboBox::wheelEvent(QWheelEvent* event)
{
    if (!m_link->edit()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

void TDBComboBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    m_link->focusLeft(event);
}
