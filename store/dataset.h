#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "base/ownedcallbacks.h"
#include "recordstate.h"
#include "resultcolumns.h"
#include "textarena.h"

#include <functional>
#include <memory>
#include <vector>

class Connection;
class Statement;

// What a data set tells the data sources that watch it.
enum class DataEvent {
    FieldChange, // one field took a new value
    RecordChange, // the current record was re-read, stored, abandoned, deleted or started
    DataSetChange, // the data set was opened
    Scroll, // another record became current
    UpdateState, // the state changed
    Closed
};

// A client-side result: every row of a statement is fetched when it opens, so the record count
// is exact. The current record can be edited, a new one inserted, and either stored (only the
// changed columns, found by the table's integer key) or abandoned; the current row can be deleted.
// Writing needs every column to come from one table of the library.
class DataSet : public QObject
{
    Q_OBJECT
public:
    DataSet(Connection& connection, const QString& componentName, QObject* parent = nullptr);
    ~DataSet() override;

    const QString& componentName() const { return m_name; }
    Connection& connection() const { return m_connection; }

    void open();
    void close();
    // Long texts are decoded as they are fetched rather than when they are read: for a data
    // set whose texts are shown as soon as it opens.
    void setDecodesTextsOnFetch(bool decode) { m_decodesTexts = decode; }
    bool isActive() const { return m_record.isActive(); }
    DataSetState state() const { return m_record.state(); }
    // A record being edited or added: what the editors show is not stored yet.
    bool isChanging() const { return m_record.isChanging(); }

    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    bool eof() const { return m_eof; }
    void first();
    void next();

    int fieldCount() const;
    int fieldIndex(const QString& name) const; // -1 when absent
    QString fieldName(int index) const;
    // Declared size of a text column in characters; 0 when unlimited.
    int fieldSize(const QString& name) const;
    QVariant fieldValue(const QString& name) const;
    QVariant fieldValue(int index) const;
    QString fieldText(const QString& name) const { return fieldValue(name).toString(); }
    // The value as text; for a stored text it is read straight from the fetched bytes.
    QString fieldText(int index) const;
    // The value as stored: a text's own bytes, which need not be valid UTF-8.
    QByteArray fieldBytes(int index) const;
    void setFieldValue(const QString& name, const QVariant& value);
    bool isModified() const;

    bool canModify() const;
    void edit();
    void insert();
    void post();
    void cancel();
    void deleteRecord();
    // Stores a pending change, or drops an untouched edit or insertion.
    void checkBrowseMode();
    // Bound controls write their pending text into the record through these before a store.
    // They are plain calls, not signals, because a refused write must reach the caller.
    void addRecordWriter(const void* owner, std::function<void()> writer);
    void removeRecordWriter(const void* owner);
    void writePendingEdits();

signals:
    void dataEvent(DataEvent event, const QString& fieldName);

protected:
    // Prepares (or re-uses) the statement whose rows the data set shows.
    virtual Statement& openStatement() = 0;
    virtual void afterFetch() { }
    void fetchAll(Statement& statement);
    [[noreturn]] void fail(const QString& message) const;
    void checkActive() const;

private:
    Cell* rowAt(int row) { return m_cells.data() + qsizetype(row) * qsizetype(m_columns.count()); }
    const Cell* rowAt(int row) const
    {
        return m_cells.data() + qsizetype(row) * qsizetype(m_columns.count());
    }
    int requireField(const QString& name) const;
    // The current row's text cell at `index`, read as fetched; none while a record is changing.
    const Cell* browsedTextCell(int index) const;
    void notify(DataEvent event, const QString& field = {});
    void checkSizes() const;
    void storeEdit();
    void storeInsert();

    Connection& m_connection;
    QString m_name;
    RecordState m_record;
    ResultColumns m_columns;
    // Every fetched row's cells, row after row; their texts are kept in m_texts.
    std::vector<Cell> m_cells;
    TextArena m_texts;
    int m_rowCount = 0;
    int m_recNo = 0;
    bool m_eof = true;
    bool m_decodesTexts = false;
    OwnedCallbacks m_recordWriters;
};
