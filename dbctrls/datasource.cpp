#include "datasource.h"

DataSource::DataSource(const QString& name, QObject* parent)
    : QObject(parent)
{
    setObjectName(name);
}

DataSource::~DataSource()
{
    if (m_dataSet)
        m_dataSet->removeRecordWriter(this);
}

void DataSource::setDataSet(DataSet* dataSet)
{
    if (m_dataSet) {
        disconnect(m_dataSet, nullptr, this, nullptr);
        m_dataSet->removeRecordWriter(this);
    }
    m_dataSet = dataSet;
    if (m_dataSet) {
        connect(m_dataSet, &DataSet::dataEvent, this, &DataSource::onDataEvent);
        m_dataSet->addRecordWriter(this, [this] { writePendingEdits(); });
    }
}

void DataSource::addRecordWriter(const void* owner, std::function<void()> writer)
{
    m_writers.add(owner, std::move(writer));
}

void DataSource::removeRecordWriter(const void* owner)
{
    m_writers.remove(owner);
}

void DataSource::writePendingEdits()
{
    m_writers.runAll();
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
        emit dataChange(QString());
        break;
    case DataEvent::UpdateState:
        emit stateChange();
        break;
    case DataEvent::Closed:
        emit activeChange(false);
        break;
    }
}
