#include "fieldlink.h"

#include "base/feylumeerror.h"
#include "widgets/errorguard.h"

#include <QFocusEvent>
#include <QTimer>
#include <QWidget>

FieldLink::FieldLink(
    QWidget* control, std::function<void(const QString&)> show, std::function<QVariant()> value)
    : QObject(control)
    , m_control(control)
    , m_show(std::move(show))
    , m_value(std::move(value))
{ }

FieldLink::~FieldLink()
{
    if (m_source)
        m_source->removeRecordWriter(this);
}

void FieldLink::setDataSource(DataSource* source)
{
    if (m_source) {
        disconnect(m_source, nullptr, this, nullptr);
        m_source->removeRecordWriter(this);
    }
    m_source = source;
    if (m_source) {
        connect(m_source, &DataSource::dataChange, this, &FieldLink::onDataChange);
        // An opened data set announces its record right after; showing it twice would read and
        // convert a megabyte text twice.
        connect(m_source, &DataSource::activeChange, this, [this](bool active) {
            if (!active)
                reload();
        });
        m_source->addRecordWriter(this, [this] { writeBack(); });
    }
    reload();
}

void FieldLink::setDataField(const QString& field)
{
    m_field = field;
    reload();
}

DataSet* FieldLink::dataSet() const
{
    return m_source ? m_source->dataSet() : nullptr;
}

bool FieldLink::isActive() const
{
    const DataSet* set = dataSet();
    return set && set->isActive() && set->fieldIndex(m_field) >= 0;
}

bool FieldLink::isEditing() const
{
    const DataSet* set = dataSet();
    return set && set->isChanging();
}

QString FieldLink::fieldText() const
{
    return isActive() ? dataSet()->fieldText(m_field) : QString();
}

int FieldLink::fieldSize() const
{
    return isActive() ? dataSet()->fieldSize(m_field) : 0;
}

bool FieldLink::edit()
{
    if (isEditing())
        return true;
    DataSet* set = dataSet();
    if (!isActive() || !set->canModify())
        return false;
    guarded([set] { set->edit(); });
    return isEditing();
}

void FieldLink::reload()
{
    m_loading = true;
    m_show(fieldText());
    m_loading = false;
    m_modified = false;
}

void FieldLink::contentChanged()
{
    if (m_loading)
        return;
    m_modified = true;
    emit edited();
}

void FieldLink::writeBack()
{
    if (!m_modified || !isActive())
        return;
    dataSet()->setFieldValue(m_field, m_value());
    m_modified = false;
}

void FieldLink::focusLeft(const QFocusEvent* event)
{
    // Only a move to another control of the window counts as leaving; a box or menu coming up
    // does not.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    try {
        writeBack();
    } catch (const FeylumeError& error) {
        QPointer<QWidget> control = m_control;
        QTimer::singleShot(0, m_control, [control] {
            if (control)
                control->setFocus(Qt::OtherFocusReason);
        });
        showDefaultErrorBox(error.message());
    }
}

void FieldLink::onDataChange(const QString& field)
{
    if (field.isEmpty() || field.compare(m_field, Qt::CaseInsensitive) == 0)
        reload();
}
