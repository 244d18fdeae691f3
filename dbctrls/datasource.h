#pragma once

#include "base/ownedcallbacks.h"
#include "store/dataset.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

// Links data-aware controls to one data set and tells them, and the window, what happened to it.
class DataSource : public QObject
{
    Q_OBJECT
public:
    explicit DataSource(const QString& name, QObject* parent = nullptr);
    ~DataSource() override;

    void setDataSet(DataSet* dataSet);
    DataSet* dataSet() const { return m_dataSet; }
    DataSetState state() const { return m_dataSet ? m_dataSet->state() : DataSetState::Inactive; }

    // A bound control's way to write its pending text when the record is stored.
    void addRecordWriter(const void* owner, std::function<void()> writer);
    void removeRecordWriter(const void* owner);

signals:
    // The record or one of its fields changed; the field name is empty for the whole record.
    // Not sent when the data set closes.
    void dataChange(const QString& fieldName);
    void stateChange();
    // The data set was opened (a dataChange for its record follows) or closed.
    void activeChange(bool active);

private:
    void onDataEvent(DataEvent event, const QString& fieldName);
    void writePendingEdits();

    QPointer<DataSet> m_dataSet;
    OwnedCallbacks m_writers;
};
