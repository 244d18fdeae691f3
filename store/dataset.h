#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

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
    LayoutChange,
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

    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    int recNo() const { return m_recNo; }
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    void first();
    void next();

    int fieldCount() const;
    QStringList fieldNames() const;
    int fieldIndex(const QString& name) const; // -1 when absent
    // Declared size of a text column in characters; 0 when unlimited.
    int fieldSize(const QString& name) const;
    QVariant fieldValue(const QString& name) const;
    QString fieldText(const QString& name) const { return fieldValue(name).toString(); }
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
    using Row = std::vector<QVariant>;

    void describeColumns(const Statement& statement);
    int requireField(const QString& name) const;
    QVariant cellValue(const QVariant& stored) const;
    void setState(DataSetState state);
    void notify(DataEvent event, const QString& field = {});
    void checkSizes() const;
    void storeEdit();
    void storeInsert();
    void bindRowLocator(Statement& statement, int firstPosition, const Row& row) const;
    QString rowLocatorSql() const;
    Row readBack(qint64 rowId);

    Connection& m_connection;
    QString m_name;
    DataSetState m_state = DataSetState::Inactive;
    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    int m_recNo = 0;
    bool m_bof = true;
    bool m_eof = true;
    QString m_table; // empty when the result cannot be written back
    int m_keyColumn = -1;
    Row m_buffer;
    std::vector<bool> m_changed;
    std::vector<std::pair<const void*, std::function<void()>>> m_recordWriters;
};
