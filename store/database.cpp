#include "database.h"

#include "base/feylumeerror.h"
#include "statements.h"

#include <sqlite3.h>

ValueKind valueKind(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return ValueKind::Null;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return ValueKind::Integer;
    case QMetaType::Double:
        return ValueKind::Real;
    default:
        return ValueKind::Text;
    }
}

QByteArray storedBytes(const QVariant& value)
{
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : value.toString().toUtf8();
}

Database::~Database()
{
    close();
}

void Database::open(const QString& path, OpenMode mode)
{
    close();
    // One user-interface thread does every call: the connection needs no lock of its own.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == OpenMode::CreateIfMissing)
        flags |= SQLITE_OPEN_CREATE;
    sqlite3* db = nullptr;
    const QByteArray encoded = path.toUtf8();
    const int rc = sqlite3_open_v2(encoded.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message
            = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw FeylumeError(message);
    }
    m_db = db;
    m_path = path;
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(m_db, 1);
    try {
        // The cascading link between the tables belongs to the library; SQLite enforces it
        // only on connections that ask for it.
        exec(Statements::kEnforceForeignKeys);
    } catch (...) {
        close();
        throw;
    }
}

void Database::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool Database::isReadOnly() const
{
    return m_db && sqlite3_db_readonly(m_db, "main") == 1;
}

void Database::exec(const QString& sql)
{
    if (!m_db)
        throw FeylumeError(QStringLiteral("library is not open"));
    char* error = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString message = error ? QString::fromUtf8(error) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(error);
        throw FeylumeError(message, sqlite3_extended_errcode(m_db));
    }
}

qint64 Database::lastInsertRowId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

int Database::changes() const
{
    return m_db ? sqlite3_changes(m_db) : 0;
}

QString Database::errorMessage() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
}

int Database::errorCode() const
{
    return m_db ? sqlite3_extended_errcode(m_db) : 0;
}

Statement::Statement(const Database& db, const QString& sql)
    : m_db(db)
{
    if (!db.isOpen())
        throw FeylumeError(QStringLiteral("library is not open"));
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db.handle(), text.constData(), int(text.size()), &m_stmt, &tail) != SQLITE_OK)
        fail();
    if (!m_stmt)
        throw FeylumeError(QStringLiteral("empty statement"));
    // One statement per text: a second one would run unseen.
    for (; tail && *tail; ++tail) {
        if (!QChar::isSpace(uchar(*tail)) && *tail != ';') {
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
            throw FeylumeError(QStringLiteral("only one statement may be run at a time"));
        }
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::fail() const
{
    throw FeylumeError(m_db.errorMessage(), m_db.errorCode());
}

void Statement::bind(int position, const QVariant& value)
{
    int rc = SQLITE_OK;
    switch (valueKind(value)) {
    case ValueKind::Null:
        rc = sqlite3_bind_null(m_stmt, position);
        break;
    case ValueKind::Integer:
        rc = sqlite3_bind_int64(m_stmt, position, value.toLongLong());
        break;
    case ValueKind::Real:
        rc = sqlite3_bind_double(m_stmt, position, value.toDouble());
        break;
    case ValueKind::Text: {
        const QByteArray text = storedBytes(value);
        rc = sqlite3_bind_text(m_stmt, position, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
    if (rc != SQLITE_OK)
        fail();
}

void Statement::bind(const QString& name, const QVariant& value)
{
    const int position = sqlite3_bind_parameter_index(m_stmt, name.toUtf8().constData());
    if (position == 0)
        throw FeylumeError(QStringLiteral("Parameter '%1' not found").arg(name.mid(1)));
    bind(position, value);
}

int Statement::parameterCount() const
{
    return sqlite3_bind_parameter_count(m_stmt);
}

QString Statement::parameterName(int position) const
{
    return QString::fromUtf8(sqlite3_bind_parameter_name(m_stmt, position));
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString message = m_db.errorMessage();
    const int code = m_db.errorCode();
    sqlite3_reset(m_stmt);
    throw FeylumeError(message, code);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

void Statement::run()
{
    while (step()) { }
}

bool Statement::isStale() const
{
    return sqlite3_db_handle(m_stmt) != m_db.handle();
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QByteArray Statement::textBytes(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QByteArray(text, sqlite3_column_bytes(m_stmt, column));
}

QByteArrayView Statement::textView(int column) const
{
    // As bytes: asking SQLite for text would copy a value that holds a NUL to end it with a zero.
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
    return QByteArrayView(bytes, sqlite3_column_bytes(m_stmt, column));
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    default:
        return QVariant(QString::fromUtf8(textBytes(column)));
    }
}
