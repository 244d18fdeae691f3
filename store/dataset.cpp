#include "dataset.h"

#include "base/feylumeerror.h"
#include "connection.h"
#include "database.h"
#include "fieldsize.h"

#include <QRegularExpression>

#include <cstring>

namespace {
QString quotedIdentifier(const QString& name)
{
    QString copy = name;
    return QLatin1Char('"') + copy.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

int declaredTextSize(const QString& declaredType)
{
    static const QRegularExpression sizePattern(QStringLiteral(R"(^\s*(?:VAR)?CHAR\s*\(\s*(\d+)\s*\)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = sizePattern.match(declaredType);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}
} // namespace

namespace {
constexpr qsizetype kTextBlockSize = 1 << 20;
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
    // The cells' room is kept for the next opening, as the first text block is.
    m_cells.clear();
    m_rowCount = 0;
    releaseTexts();
    m_columns.clear();
    m_buffer.clear();
    m_changed.clear();
    m_table.clear();
    m_keyColumn = -1;
    m_recNo = 0;
    m_eof = true;
    notify(DataEvent::UpdateState);
    notify(DataEvent::Closed);
}

void DataSet::describeColumns(const Statement& statement)
{
    m_columns.clear();
    m_table.clear();
    m_keyColumn = -1;
    const int count = statement.columnCount();
    bool oneTable = count > 0;
    for (int i = 0; i < count; ++i) {
        Column column;
        column.name = statement.columnName(i);
        const ColumnOrigin origin = statement.columnOrigin(i);
        if (!origin.table.isEmpty()) {
            column.table = origin.table;
            column.origin = origin.column;
            // A column's declaration does not change while the program runs; a load opens a
            // thousand results over the same columns.
            const QString key = column.table + QLatin1Char('.') + column.origin;
            auto known = m_declarations.constFind(key);
            if (known == m_declarations.constEnd()) {
                Declaration declaration;
                if (const auto declared = m_connection.database().declaration(origin)) {
                    declaration.size = declaredTextSize(declared->type);
                    // Only an INTEGER PRIMARY KEY is the row's own number and never changes.
                    declaration.rowKey = declared->primaryKey
                        && declared->type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
                }
                known = m_declarations.insert(key, declaration);
            }
            column.size = known->size;
            column.rowKey = known->rowKey;
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

DataSet::Cell DataSet::keepText(const char* data, qsizetype size)
{
    if (size == 0)
        return Cell {Cell::Text, 0, 0, "", 0};
    if (size > m_textLeft) {
        const qsizetype blockSize = std::max(kTextBlockSize, size);
        m_textBlocks.push_back(std::make_unique_for_overwrite<char[]>(blockSize));
        m_textFree = m_textBlocks.back().get();
        m_textLeft = blockSize;
    }
    std::memcpy(m_textFree, data, size_t(size));
    const Cell cell {Cell::Text, 0, 0, m_textFree, size};
    m_textFree += size;
    m_textLeft -= size;
    return cell;
}

DataSet::Cell DataSet::cellFrom(const QVariant& value)
{
    switch (valueKind(value)) {
    case ValueKind::Null:
        return Cell {};
    case ValueKind::Integer:
        return Cell {Cell::Integer, value.toLongLong(), 0, nullptr, 0};
    case ValueKind::Real:
        return Cell {Cell::Real, 0, value.toDouble(), nullptr, 0};
    case ValueKind::Text:
        break;
    }
    const QByteArray text = storedBytes(value);
    return keepText(text.constData(), text.size());
}

void DataSet::releaseTexts()
{
    // The first block is kept for the next opening: loads open many small results in a row.
    if (m_textBlocks.size() > 1)
        m_textBlocks.resize(1);
    m_textFree = m_textBlocks.empty() ? nullptr : m_textBlocks.front().get();
    m_textLeft = m_textBlocks.empty() ? 0 : kTextBlockSize;
}

void DataSet::fetchAll(Statement& statement)
{
    describeColumns(statement);
    m_cells.clear();
    m_rowCount = 0;
    releaseTexts();
    const int count = int(m_columns.size());
    while (statement.step()) {
        for (int i = 0; i < count; ++i) {
            switch (statement.kind(i)) {
            case ValueKind::Integer:
                m_cells.push_back(Cell {Cell::Integer, statement.integer(i), 0, nullptr, 0});
                break;
            case ValueKind::Real:
                m_cells.push_back(Cell {Cell::Real, 0, statement.real(i), nullptr, 0});
                break;
            case ValueKind::Null:
                m_cells.push_back(Cell {});
                break;
            case ValueKind::Text: {
                const QByteArrayView text = statement.textView(i);
                m_cells.push_back(keepText(text.data(), text.size()));
            }
            }
        }
        ++m_rowCount;
    }
    // Ends the statement's read so that nothing holds the library between uses.
    statement.rewind();
    m_recNo = 0;
    m_eof = m_rowCount == 0;
}

int DataSet::recordCount() const
{
    return isActive() ? m_rowCount : 0;
}

void DataSet::first()
{
    checkActive();
    checkBrowseMode();
    m_recNo = 0;
    m_eof = m_rowCount == 0;
    notify(DataEvent::Scroll);
}

void DataSet::next()
{
    checkActive();
    checkBrowseMode();
    if (m_recNo + 1 < m_rowCount) {
        ++m_recNo;
        notify(DataEvent::Scroll);
    } else {
        m_eof = true;
    }
}

int DataSet::fieldCount() const
{
    return isActive() ? int(m_columns.size()) : 0;
}

int DataSet::fieldIndex(const QString& name) const
{
    for (int i = 0; i < int(m_columns.size()); ++i) {
        if (m_columns[i].name == name)
            return i;
    }
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

QVariant DataSet::cellValue(const Cell& cell)
{
    switch (cell.kind) {
    case Cell::Integer:
        return QVariant(cell.integer);
    case Cell::Real:
        return QVariant(cell.real);
    case Cell::Text:
        return QVariant(QString::fromUtf8(cell.text, cell.size));
    default:
        return {};
    }
}

QVariant DataSet::fieldValue(const QString& name) const
{
    if (!isActive())
        return {};
    return fieldValue(requireField(name));
}

QVariant DataSet::fieldValue(int index) const
{
    if (!isActive() || index < 0 || index >= int(m_columns.size()))
        fail(QStringLiteral("List index out of bounds (%1)").arg(index));
    if (isChanging())
        return m_buffer[index];
    if (m_rowCount == 0)
        return {};
    return cellValue(rowAt(m_recNo)[index]);
}

QString DataSet::fieldText(int index) const
{
    if (isActive() && index >= 0 && index < int(m_columns.size()) && m_state == DataSetState::Browse
        && m_rowCount > 0) {
        const Cell& cell = rowAt(m_recNo)[index];
        if (cell.kind == Cell::Text)
            return QString::fromUtf8(cell.text, cell.size);
    }
    return fieldValue(index).toString();
}

QByteArray DataSet::fieldBytes(int index) const
{
    if (isActive() && index >= 0 && index < int(m_columns.size()) && m_state == DataSetState::Browse
        && m_rowCount > 0) {
        const Cell& cell = rowAt(m_recNo)[index];
        if (cell.kind == Cell::Text)
            return QByteArray(cell.text, cell.size);
    }
    return storedBytes(fieldValue(index));
}

void DataSet::setFieldValue(const QString& name, const QVariant& value)
{
    checkActive();
    const int index = requireField(name);
    if (!isChanging())
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
    if (isChanging())
        return;
    // With no row there is nothing to change: the change becomes a new row.
    if (m_rowCount == 0) {
        insert();
        return;
    }
    if (!canModify())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    m_buffer.clear();
    const Cell* row = rowAt(m_recNo);
    for (size_t i = 0; i < m_columns.size(); ++i)
        m_buffer.push_back(cellValue(row[i]));
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
    if (!isChanging())
        return;
    writePendingEdits();
    if (isModified())
        post();
    else
        cancel();
}

void DataSet::addRecordWriter(const void* owner, std::function<void()> writer)
{
    m_recordWriters.add(owner, std::move(writer));
}

void DataSet::removeRecordWriter(const void* owner)
{
    m_recordWriters.remove(owner);
}

void DataSet::writePendingEdits()
{
    m_recordWriters.runAll();
}

void DataSet::checkSizes() const
{
    for (int i = 0; i < int(m_columns.size()); ++i) {
        if (m_changed[i])
            FieldSize::check(m_columns[i].origin, m_columns[i].size, m_buffer[i].toString());
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

QVariant DataSet::storedValue(const Cell& cell)
{
    // A text goes back as the bytes it was read with: decoding bytes that are not UTF-8 would
    // give a value the row no longer matches.
    if (cell.kind == Cell::Text)
        return QVariant(QByteArray(cell.text, cell.size));
    return cellValue(cell);
}

void DataSet::bindRowLocator(Statement& statement, int firstPosition, const Cell* row) const
{
    if (m_keyColumn >= 0) {
        statement.bind(firstPosition, storedValue(row[m_keyColumn]));
        return;
    }
    for (int i = 0; i < int(m_columns.size()); ++i)
        statement.bind(firstPosition + i, storedValue(row[i]));
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
            row.push_back(cellFrom(select.value(i)));
    } else {
        for (const QVariant& value : m_buffer)
            row.push_back(cellFrom(value));
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
    Cell* row = rowAt(m_recNo);
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
        rowAt(m_recNo)[column] = cellFrom(m_buffer[column]);
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
    const Row stored = readBack(m_connection.database().lastInsertRowId());
    m_cells.insert(m_cells.end(), stored.begin(), stored.end());
    m_recNo = m_rowCount++;
    m_eof = false;
}

void DataSet::post()
{
    checkActive();
    if (!isChanging())
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
    if (!isChanging())
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
    if (m_rowCount == 0)
        fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (!canModify())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    Statement remove(m_connection.database(),
        QStringLiteral("DELETE FROM %1 WHERE %2").arg(quotedIdentifier(m_table), rowLocatorSql()));
    bindRowLocator(remove, 1, rowAt(m_recNo));
    remove.run();
    if (m_connection.database().changes() == 0)
        fail(QStringLiteral(
            "Row cannot be located for deleting. Some values may have been changed since it was last read"));
    const auto first = m_cells.begin() + qsizetype(m_recNo) * qsizetype(m_columns.size());
    m_cells.erase(first, first + qsizetype(m_columns.size()));
    --m_rowCount;
    if (m_recNo >= m_rowCount)
        m_recNo = std::max(0, m_rowCount - 1);
    m_eof = m_rowCount == 0;
    m_buffer.clear();
    m_changed.clear();
    setState(DataSetState::Browse);
    notify(DataEvent::RecordChange);
}
