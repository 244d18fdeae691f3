#include "datasource.h"

DataSource::DataSource(const QString& name, QObject* parent)
    : QObject(parent)
{
    setObjectName(name);
}

void DataSource::setDataSet(DataSet* dataSet)
{
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    if (m_dataSet)
        connect(m_dataSet, &DataSet::dataEvent, this, &DataSource::onDataEvent);
}

void DataSource::onDataEvent(DataEvent event, const QString& fieldName)
{
    switch (event) {
    case DataEvent::FieldChange:
        emit dataChange(fieldName);
        break;
    case DataEvent::DataSetChange:
        emit activeChange(true);
        emit dataChange(QString());
        break;
    case DataEvent::RecordChange:
    case DataEvent::Scroll:
    case DataEvent::LayoutChange:
        emit dataChange(QString());
        break;
    case DataEvent::UpdateState:
        emit stateChange();
        break;
    case DataEvent::UpdateRecord:
        emit updateData();
        break;
    case DataEvent::Closed:
        emit activeChange(false);
        break;
    }
}
