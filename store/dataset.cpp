#include "dataset.h"

#include "connection.h"
#include "database.h"
#include "feylumeerror.h"

#include <QRegularExpression>
#include <sqlite3.h>

namespace {
QString quotedIdentifier(const QString& name)
{
    QString copy = name;
    return QLatin1Char('"') + copy.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

int declaredTextSize(const char* declaredType)
{
    static const QRegularExpression sizePattern(QStringLiteral(R"(^\s*(?:VAR)?CHAR\s*\(\s*(\d+)\s*\)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = sizePattern.match(QString::fromUtf8(declaredType ? declaredType : ""));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}
} // namespace

DataSet::DataSet(Connection& connection, const QString& componentName, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_name(componentName)
{
    setObjectName(componentName);
}

DataSet::~DataSet() = default;

void DataSet::fail(const QString& message) const
{
    throw FeylumeError::fromComponent(m_name, message);
}

void DataSet::checkActive() const
{
    if (!isActive())
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void DataSet::notify(DataEvent event, const QString& field)
{
    emit dataEvent(event, field);
}

void DataSet::setState(DataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    notify(DataEvent::UpdateState);
}

void DataSet::open()
{
    if (isActive())
        return;
    m_connection.ensureOpen();
    Statement& statement = openStatement();
    fetchAll(statement);
    afterFetch();
    m_state = DataSetState::Browse;
    notify(DataEvent::UpdateState);
    notify(DataEvent::DataSetChange);
}

void DataSet::close()
{
    if (!isActive())
        return;
    m_state = DataSetState::Inactive;
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_columns.clear();
    m_buffer.clear();
    m_changed.clear();
    m_table.clear();
    m_keyColumn = -1;
    m_recNo = 0;
    m_bof = m_eof = true;
    notify(DataEvent::UpdateState);
    notify(DataEvent::Closed);
}

void DataSet::describeColumns(const Statement& statement)
{
    m_columns.clear();
    m_table.clear();
    m_keyColumn = -1;
    sqlite3* db = m_connection.database().handle();
    const int count = statement.columnCount();
    bool oneTable = count > 0;
    for (int i = 0; i < count; ++i) {
        Column column;
        column.name = statement.columnName(i);
        const char* table = sqlite3_column_table_name(statement.handle(), i);
        const char* origin = sqlite3_column_origin_name(statement.handle(), i);
        if (table && origin) {
            column.table = QString::fromUtf8(table);
            column.origin = QString::fromUtf8(origin);
            const char* declaredType = nullptr;
            int primaryKey = 0;
            if (sqlite3_table_column_metadata(db, sqlite3_column_database_name(statement.handle(), i), table,
                    origin, &declaredType, nullptr, nullptr, &primaryKey, nullptr)
                == SQLITE_OK) {
                column.size = declaredTextSize(declaredType);
                // Only an INTEGER PRIMARY KEY is the row's own number and never changes.
                column.rowKey = primaryKey
                    && QString::fromUtf8(declaredType).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive)
                        == 0;
            }
        }
        if (column.table.isEmpty() || (!m_columns.empty() && column.table != m_columns.front().table))
            oneTable = false;
        if (column.rowKey && m_keyColumn < 0)
            m_keyColumn = i;
        m_columns.push_back(column);
    }
    if (oneTable)
        m_table = m_columns.front().table;
}

void DataSet::fetchAll(Statement& statement)
{
    describeColumns(statement);
    m_rows.clear();
    const int count = int(m_columns.size());
    while (statement.step()) {
        Row row;
        row.reserve(count);
        for (int i = 0; i < count; ++i) {
            // Text stays in its stored bytes until someone reads it: a load reads few columns.
            if (sqlite3_column_type(statement.handle(), i) == SQLITE_TEXT)
                row.emplace_back(statement.textBytes(i));
            else
                row.emplace_back(statement.value(i));
        }
        m_rows.push_back(std::move(row));
    }
    // Ends the statement's read so that nothing holds the library between uses.
    sqlite3_reset(statement.handle());
    m_recNo = 0;
    m_bof = true;
    m_eof = m_rows.empty();
}

int DataSet::recordCount() const
{
    return isActive() ? int(m_rows.size()) : 0;
}

void DataSet::first()
{
    checkActive();
    checkBrowseMode();
    m_recNo = 0;
    m_bof = true;
    m_eof = m_rows.empty();
    notify(DataEvent::Scroll);
}

void DataSet::next()
{
    checkActive();
    checkBrowseMode();
    if (m_recNo + 1 < int(m_rows.size())) {
        ++m_recNo;
        m_bof = false;
        notify(DataEvent::Scroll);
    } else {
        m_eof = true;
    }
}

int DataSet::fieldCount() const
{
    return isActive() ? int(m_columns.size()) : 0;
}

QStringList DataSet::fieldNames() const
{
    QStringList names;
    for (const Column& column : m_columns)
        names << column.name;
    return names;
}

int DataSet::fieldIndex(const QString& name) const
{
    for (int i = 0; i < int(m_columns.size()); ++i) {
        if (m_columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int DataSet::requireField(const QString& name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        fail(QStringLiteral("Field '%1' not found").arg(name));
    return index;
}

int DataSet::fieldSize(const QString& name) const
{
    const int index = fieldIndex(name);
    return index < 0 ? 0 : m_columns[index].size;
}

QVariant DataSet::cellValue(const QVariant& stored) const
{
    if (stored.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(stored.toByteArray());
    return stored;
}

QVariant DataSet::fieldValue(const QString& name) const
{
    if (!isActive())
        return {};
    const int index = requireField(name);
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return m_buffer[index];
    if (m_rows.empty())
        return {};
    return cellValue(m_rows[m_recNo][index]);
}

void DataSet::setFieldValue(const QString& name, const QVariant& value)
{
    checkActive();
    const int index = requireField(name);
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    m_buffer[index] = value;
    m_changed[index] = true;
    notify(DataEvent::FieldChange, m_columns[index].name);
}

bool DataSet::isModified() const
{
    return std::find(m_changed.begin(), m_changed.end(), true) != m_changed.end();
}

bool DataSet::canModify() const
{
    return isActive() && !m_table.isEmpty() && !m_connection.database().isReadOnly();
}

void DataSet::edit()
{
    checkActive();
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return;
    // With no row there is nothing to change: the change becomes a new row.
    if (m_rows.empty()) {
        insert();
        return;
    }
    if (!canModify())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    m_buffer.clear();
    for (const QVariant& stored : m_rows[m_recNo])
        m_buffer.push_back(cellValue(stored));
    m_changed.assign(m_columns.size(), false);
    setState(DataSetState::Edit);
    notify(DataEvent::RecordChange);
}

void DataSet::insert()
{
    checkActive();
    checkBrowseMode();
    if (!canModify())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    m_buffer.assign(m_columns.size(), QVariant());
    m_changed.assign(m_columns.size(), false);
    setState(DataSetState::Insert);
    notify(DataEvent::RecordChange);
}

void DataSet::checkBrowseMode()
{
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    writePendingEdits();
    if (isModified())
        post();
    else
        cancel();
}

void DataSet::addRecordWriter(const void* owner, std::function<void()> writer)
{
    m_recordWriters.emplace_back(owner, std::move(writer));
}

void DataSet::removeRecordWriter(const void* owner)
{
    std::erase_if(m_recordWriters, [owner](const auto& entry) { return entry.first == owner; });
}

void DataSet::writePendingEdits()
{
    // A writer may add or remove writers (a control going away); walk a copy.
    const auto writers = m_recordWriters;
    for (const auto& entry : writers)
        entry.second();
}

void DataSet::checkSizes() const
{
    for (int i = 0; i < int(m_columns.size()); ++i) {
        const int size = m_columns[i].size;
        if (m_changed[i] && size > 0 && m_buffer[i].toString().size() > size)
            fail(QStringLiteral("字段 %1 最多容纳 %2 个字符，输入的内容有 %3 个字符")
                     .arg(m_columns[i].name)
                     .arg(size)
                     .arg(m_buffer[i].toString().size()));
    }
}

QString DataSet::rowLocatorSql() const
{
    if (m_keyColumn >= 0)
        return quotedIdentifier(m_columns[m_keyColumn].origin) + QStringLiteral(" = ?");
    // Without an integer key the row is the first one that still holds the values read.
    QStringList conditions;
    for (const Column& column : m_columns)
        conditions << quotedIdentifier(column.origin) + QStringLiteral(" IS ?");
    return QStringLiteral("rowid = (SELECT rowid FROM %1 WHERE %2 LIMIT 1)")
        .arg(quotedIdentifier(m_table), conditions.join(QStringLiteral(" AND ")));
}

void DataSet::bindRowLocator(Statement& statement, int firstPosition, const Row& row) const
{
    if (m_keyColumn >= 0) {
        statement.bind(firstPosition, cellValue(row[m_keyColumn]));
        return;
    }
    for (int i = 0; i < int(m_columns.size()); ++i)
        statement.bind(firstPosition + i, cellValue(row[i]));
}

DataSet::Row DataSet::readBack(qint64 rowId)
{
    QStringList columns;
    for (const Column& column : m_columns)
        columns << quotedIdentifier(column.origin);
    Statement select(m_connection.database(),
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
            .arg(columns.join(QStringLiteral(", ")), quotedIdentifier(m_table)));
    select.bind(1, rowId);
    Row row;
    if (select.step()) {
        for (int i = 0; i < int(m_columns.size()); ++i)
            row.push_back(select.value(i));
    } else {
        row = m_buffer;
    }
    return row;
}

void DataSet::storeEdit()
{
    QStringList assignments;
    std::vector<int> changedColumns;
    for (int i = 0; i < int(m_columns.size()); ++i) {
        if (m_changed[i]) {
            assignments << quotedIdentifier(m_columns[i].origin) + QStringLiteral(" = ?");
            changedColumns.push_back(i);
        }
    }
    Row& row = m_rows[m_recNo];
    if (!changedColumns.empty()) {
        Statement update(m_connection.database(),
            QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                .arg(quotedIdentifier(m_table), assignments.join(QStringLiteral(", ")), rowLocatorSql()));
        int position = 1;
        for (int column : changedColumns)
            update.bind(position++, m_buffer[column]);
        bindRowLocator(update, position, row);
        update.run();
        if (m_connection.database().changes() == 0)
            fail(QStringLiteral("Row cannot be located for updating. Some values may have been changed since "
                                "it was last read"));
    }
    for (int column : changedColumns)
        row[column] = m_buffer[column];
}

void DataSet::storeInsert()
{
    QStringList names;
    QStringList placeholders;
    std::vector<int> changedColumns;
    for (int i = 0; i < int(m_columns.size()); ++i) {
        if (m_changed[i]) {
            names << quotedIdentifier(m_columns[i].origin);
            placeholders << QStringLiteral("?");
            changedColumns.push_back(i);
        }
    }
    const QString sql = changedColumns.empty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quotedIdentifier(m_table))
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
              .arg(quotedIdentifier(m_table), names.join(QStringLiteral(", ")),
                  placeholders.join(QStringLiteral(", ")));
    Statement insert(m_connection.database(), sql);
    int position = 1;
    for (int column : changedColumns)
        insert.bind(position++, m_buffer[column]);
    insert.run();
    // The library fills the row number and the entry date: show the row as stored.
    m_rows.push_back(readBack(m_connection.database().lastInsertRowId()));
    m_recNo = int(m_rows.size()) - 1;
    m_bof = m_eof = false;
}

void DataSet::post()
{
    checkActive();
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    writePendingEdits();
    checkSizes();
    if (m_state == DataSetState::Edit)
        storeEdit();
    else
        storeInsert();
    m_buffer.clear();
    m_changed.clear();
    setState(DataSetState::Browse);
    notify(DataEvent::RecordChange);
}

void DataSet::cancel()
{
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    m_buffer.clear();
    m_changed.clear();
    setState(DataSetState::Browse);
    notify(DataEvent::RecordChange);
}

void DataSet::deleteRecord()
{
    checkActive();
    if (m_state == DataSetState::Insert) {
        cancel();
        return;
    }
    if (m_rows.empty())
        fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (!canModify())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    Statement remove(m_connection.database(),
        QStringLiteral("DELETE FROM %1 WHERE %2").arg(quotedIdentifier(m_table), rowLocatorSql()));
    bindRowLocator(remove, 1, m_rows[m_recNo]);
    remove.run();
    if (m_connection.database().changes() == 0)
        fail(QStringLiteral(
            "Row cannot be located for deleting. Some values may have been changed since it was last read"));
    m_rows.erase(m_rows.begin() + m_recNo);
    if (m_recNo >= int(m_rows.size()))
        m_recNo = std::max(0, int(m_rows.size()) - 1);
    m_eof = m_rows.empty();
    m_bof = m_rows.empty();
    m_buffer.clear();
    m_changed.clear();
    setState(DataSetState::Browse);
    notify(DataEvent::RecordChange);
}
