#pragma once

#include "../store/dataset.h"

#include <QObject>
#include <QPointer>

// Links data-aware controls to one data set and tells them, and the window, what happened to it.
class DataSource : public QObject
{
    Q_OBJECT
public:
    explicit DataSource(const QString& name, QObject* parent = nullptr);

    void setDataSet(DataSet* dataSet);
    DataSet* dataSet() const { return m_dataSet; }
    DataSetState state() const { return m_dataSet ? m_dataSet->state() : DataSetState::Inactive; }

signals:
    // The record or one of its fields changed; the field name is empty for the whole record.
    // Not sent when the data set closes.
    void dataChange(const QString& fieldName);
    void stateChange();
    // Bound controls write their pending text into the record now.
    void updateData();
    // The data set was opened or closed.
    void activeChange(bool active);

private:
    void onDataEvent(DataEvent event, const QString& fieldName);

    QPointer<DataSet> m_dataSet;
};
