#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "base/ownedcallbacks.h"

#include <functional>
#include <memory>
#include <vector>

class Connection;
class Statement;

enum class DataSetState { Inactive, Browse, Edit, Insert };

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
    bool isActive() const { return m_state != DataSetState::Inactive; }
    DataSetState state() const { return m_state; }
    // A record being edited or added: what the editors show is not stored yet.
    bool isChanging() const { return m_state == DataSetState::Edit || m_state == DataSetState::Insert; }

    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    bool eof() const { return m_eof; }
    void first();
    void next();

    int fieldCount() const;
    int fieldIndex(const QString& name) const; // -1 when absent
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
    struct Column
    {
        QString name;
        QString table;
        QString origin;
        int size = 0;
        bool rowKey = false;
    };
    // A fetched value, kept without any allocation of its own: text stays in its stored UTF-8
    // bytes, in blocks owned by the data set, until someone asks for it. A load reads few of the
    // columns it fetches.
    struct Cell
    {
        enum Kind : quint8 { Null, Integer, Real, Text };
        Kind kind = Null;
        qint64 integer = 0;
        double real = 0;
        const char* text = nullptr;
        qsizetype size = 0;
    };
    using Row = std::vector<Cell>;
    Cell keepText(const char* data, qsizetype size);
    Cell cellFrom(const QVariant& value);
    void releaseTexts();
    int rowCount() const { return m_rowCount; }
    Cell* rowAt(int row) { return m_cells.data() + qsizetype(row) * qsizetype(m_columns.size()); }
    const Cell* rowAt(int row) const { return m_cells.data() + qsizetype(row) * qsizetype(m_columns.size()); }
    void describeColumns(const Statement& statement);
    int requireField(const QString& name) const;
    static QVariant cellValue(const Cell& cell);
    static QVariant storedValue(const Cell& cell);
    void setState(DataSetState state);
    void notify(DataEvent event, const QString& field = {});
    void checkSizes() const;
    void storeEdit();
    void storeInsert();
    void bindRowLocator(Statement& statement, int firstPosition, const Cell* row) const;
    QString rowLocatorSql() const;
    Row readBack(qint64 rowId);

    Connection& m_connection;
    QString m_name;
    DataSetState m_state = DataSetState::Inactive;
    std::vector<Column> m_columns;
    // Every fetched row's cells, row after row.
    std::vector<Cell> m_cells;
    struct Declaration
    {
        int size = 0;
        bool rowKey = false;
    };
    QHash<QString, Declaration> m_declarations;
    int m_rowCount = 0;
    int m_recNo = 0;
    bool m_eof = true;
    QString m_table; // empty when the result cannot be written back
    int m_keyColumn = -1;
    std::vector<QVariant> m_buffer;
    std::vector<bool> m_changed;
    OwnedCallbacks m_recordWriters;
    std::vector<std::unique_ptr<char[]>> m_textBlocks;
    char* m_textFree = nullptr;
    qsizetype m_textLeft = 0;
};
