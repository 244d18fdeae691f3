#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

#include "datasource.h"

// What a data-aware control knows about its field: the data source, the column, and when the
// control must show the column again.
class FieldLink : public QObject
{
    Q_OBJECT
public:
    // reload is called whenever the control has to show the field again (also when it closes).
    FieldLink(QObject* control, std::function<void()> reload);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_source; }
    void setDataField(const QString& field);
    const QString& dataField() const { return m_field; }

    DataSet* dataSet() const;
    // True while the data set is open and has the column.
    bool isActive() const;
    bool isEditing() const;
    QString fieldText() const;
    int fieldSize() const;

private:
    void onDataChange(const QString& field);

    QPointer<DataSource> m_source;
    QString m_field;
    std::function<void()> m_reload;
};
