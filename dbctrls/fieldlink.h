#pragma once

#include "datasource.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>

class QFocusEvent;
class QWidget;

// What a data-aware control shares with the others: its field of the current record, when to
// show the field again, entering edit mode on the first changing input, and writing its text
// back when it loses the focus or the record is stored.
class FieldLink : public QObject
{
    Q_OBJECT
public:
    // show fills the control from the field; value reads what the control holds for the field,
    // as text or, for a name that must keep its stored bytes, as those bytes.
    FieldLink(QWidget* control, std::function<void(const QString&)> show, std::function<QVariant()> value);
    ~FieldLink() override;

    void setDataSource(DataSource* source);
    void setDataField(const QString& field);

    DataSet* dataSet() const;
    // True while the data set is open and has the column.
    bool isActive() const;
    bool isEditing() const;
    QString fieldText() const;
    int fieldSize() const;

    // Puts the record into edit mode (insert mode when it holds no row) unless it is already
    // being changed; false when that is not possible, and the input must then be ignored.
    bool edit();
    // Shows the field again, dropping what the control holds.
    void reload();
    bool isModified() const { return m_modified; }
    const QString& field() const { return m_field; }
    // What writeBack would write into the field, read without writing it.
    QVariant pendingValue() const { return m_value(); }
    // The control's content changed; changes made while it is being filled do not count.
    void contentChanged();
    // Writes a changed control's text into the record; throws when the record is not being changed.
    void writeBack();
    // Called when the control loses the focus to another control of its window: a changed text
    // is written, and when that is refused the error is shown and the focus returns.
    void focusLeft(const QFocusEvent* event);

signals:
    // The user changed the control's content.
    void edited();

private:
    void onDataChange(const QString& field);

    QWidget* m_control;
    QPointer<DataSource> m_source;
    QString m_field;
    std::function<void(const QString&)> m_show;
    std::function<QVariant()> m_value;
    bool m_loading = false;
    bool m_modified = false;
};
