#include "fieldlink.h"

#include "datasource.h"

FieldLink::FieldLink(QObject* control, std::function<void()> reload)
    : QObject(control)
    , m_reload(std::move(reload))
{ }

void FieldLink::setDataSource(DataSource* source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (m_source) {
        connect(m_source, &DataSource::dataChange, this, &FieldLink::onDataChange);
        connect(m_source, &DataSource::activeChange, this, [this] { m_reload(); });
    }
    m_reload();
}

void FieldLink::setDataField(const QString& field)
{
    m_field = field;
    m_reload();
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
    return set && (set->state() == DataSetState::Edit || set->state() == DataSetState::Insert);
}

QString FieldLink::fieldText() const
{
    return isActive() ? dataSet()->fieldText(m_field) : QString();
}

int FieldLink::fieldSize() const
{
    return isActive() ? dataSet()->fieldSize(m_field) : 0;
}

void FieldLink::onDataChange(const QString& field)
{
    if (field.isEmpty() || field.compare(m_field, Qt::CaseInsensitive) == 0)
        m_reload();
}
