#include "dataset.h"

#include "base/feylumeerror.h"
#include "connection.h"
#include "database.h"
#include "fieldsize.h"
#include "recordrules.h"
#include "recordwriteback.h"

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

void DataSet::open()
{
    if (isActive())
        return;
    m_connection.ensureOpen();
    Statement& statement = openStatement();
    fetchAll(statement);
    afterFetch();
    m_record.open();
    notify(DataEvent::UpdateState);
    notify(DataEvent::DataSetChange);
}

void DataSet::close()
{
    if (!isActive())
        return;
    m_record.close();
    // The cells' room is kept for the next opening, as the first text block is.
    m_cells.clear();
    m_rowCount = 0;
    m_texts.release();
    m_columns.clear();
    m_recNo = 0;
    m_eof = true;
    notify(DataEvent::UpdateState);
    notify(DataEvent::Closed);
}

void DataSet::fetchAll(Statement& statement)
{
    m_columns.describe(statement, m_connection.database());
    m_cells.clear();
    m_rowCount = 0;
    m_texts.release();
    const int count = m_columns.count();
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
                m_cells.push_back(m_decodesTexts ? m_texts.keepDecodedText(text)
                                                 : m_texts.keepText(text.data(), text.size()));
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
    return isActive() ? m_columns.count() : 0;
}

int DataSet::fieldIndex(const QString& name) const
{
    return m_columns.indexOf(name);
}

int DataSet::requireField(const QString& name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        fail(QStringLiteral("Field '%1' not found").arg(name));
    return index;
}

QString DataSet::fieldName(int index) const
{
    return index >= 0 && index < m_columns.count() ? m_columns.at(index).name : QString();
}

int DataSet::fieldSize(const QString& name) const
{
    const int index = fieldIndex(name);
    return index < 0 ? 0 : m_columns.at(index).size;
}

QVariant DataSet::fieldValue(const QString& name) const
{
    if (!isActive())
        return {};
    return fieldValue(requireField(name));
}

QVariant DataSet::fieldValue(int index) const
{
    if (!isActive() || index < 0 || index >= m_columns.count())
        fail(QStringLiteral("List index out of bounds (%1)").arg(index));
    if (isChanging())
        return m_record.value(index);
    if (m_rowCount == 0)
        return {};
    return rowAt(m_recNo)[index].value();
}

const Cell* DataSet::browsedTextCell(int index) const
{
    if (!isActive() || index < 0 || index >= m_columns.count() || state() != DataSetState::Browse
        || m_rowCount == 0)
        return nullptr;
    const Cell* cell = rowAt(m_recNo) + index;
    return cell->kind == Cell::Text ? cell : nullptr;
}

QString DataSet::fieldText(int index) const
{
    if (const Cell* cell = browsedTextCell(index))
        return cell->textValue();
    return fieldValue(index).toString();
}

QByteArray DataSet::fieldBytes(int index) const
{
    if (const Cell* cell = browsedTextCell(index))
        return cell->bytes();
    return storedBytes(fieldValue(index));
}

void DataSet::setFieldValue(const QString& name, const QVariant& value)
{
    checkActive();
    const int index = requireField(name);
    if (!isChanging())
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    m_record.setValue(index, value);
    notify(DataEvent::FieldChange, m_columns.at(index).name);
}

bool DataSet::isModified() const
{
    return m_record.isModified();
}

bool DataSet::canModify() const
{
    return isActive() && !m_columns.table().isEmpty() && !m_connection.database().isReadOnly();
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
    std::vector<QVariant> values;
    values.reserve(size_t(m_columns.count()));
    const Cell* row = rowAt(m_recNo);
    for (int i = 0; i < m_columns.count(); ++i)
        values.push_back(row[i].value());
    if (m_record.beginEdit(std::move(values)))
        notify(DataEvent::UpdateState);
    notify(DataEvent::RecordChange);
}

void DataSet::insert()
{
    checkActive();
    checkBrowseMode();
    if (!canModify())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    if (m_record.beginInsert(m_columns.count()))
        notify(DataEvent::UpdateState);
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
    for (int column : m_record.changedColumns())
        FieldSize::check(
            m_columns.at(column).origin, m_columns.at(column).size, m_record.value(column).toString());
}

void DataSet::storeEdit()
{
    const std::vector<int> changedColumns = m_record.changedColumns();
    if (!changedColumns.empty()
        && !RecordWriteBack::update(
            m_connection.database(), m_columns, rowAt(m_recNo), m_record.values(), changedColumns))
        fail(RecordRules::rowNotFound(QStringLiteral("updating")));
    for (int column : changedColumns)
        rowAt(m_recNo)[column] = m_texts.cellFrom(m_record.value(column));
}

void DataSet::storeInsert()
{
    const auto readBack = RecordWriteBack::insert(
        m_connection.database(), m_columns, m_record.values(), m_record.changedColumns());
    // The library fills the row number and the entry date: show the row as stored.
    const std::vector<QVariant>& stored = readBack ? *readBack : m_record.values();
    for (const QVariant& value : stored)
        m_cells.push_back(m_texts.cellFrom(value));
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
    if (state() == DataSetState::Edit)
        storeEdit();
    else
        storeInsert();
    if (m_record.endChange())
        notify(DataEvent::UpdateState);
    notify(DataEvent::RecordChange);
}

void DataSet::cancel()
{
    if (!isChanging())
        return;
    if (m_record.endChange())
        notify(DataEvent::UpdateState);
    notify(DataEvent::RecordChange);
}

void DataSet::deleteRecord()
{
    checkActive();
    if (state() == DataSetState::Insert) {
        cancel();
        return;
    }
    if (m_rowCount == 0)
        fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (!canModify())
        fail(QStringLiteral("Cannot modify a read-only dataset"));
    if (!RecordWriteBack::remove(m_connection.database(), m_columns, rowAt(m_recNo)))
        fail(RecordRules::rowNotFound(QStringLiteral("deleting")));
    const auto first = m_cells.begin() + qsizetype(m_recNo) * qsizetype(m_columns.count());
    m_cells.erase(first, first + qsizetype(m_columns.count()));
    --m_rowCount;
    if (m_recNo >= m_rowCount)
        m_recNo = std::max(0, m_rowCount - 1);
    m_eof = m_rowCount == 0;
    if (m_record.endChange())
        notify(DataEvent::UpdateState);
    notify(DataEvent::RecordChange);
}
