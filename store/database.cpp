#include "database.h"

#include "base/feylumeerror.h"
#include "pagesnapshot.h"
#include "statements.h"

#include <sqlite3.h>

namespace {
constexpr int kLockPollMs = 10;
// Often enough that an interrupt check answers within a few milliseconds.
constexpr int kStepsPerInterruptCheck = 1000;
} // namespace

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

FailureKind failureKind(int code)
{
    switch (code) {
    case SQLITE_OK:
        return FailureKind::None;
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return FailureKind::DuplicateKey;
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        return FailureKind::MissingReference;
    default:
        break;
    }
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return FailureKind::Locked;
    case SQLITE_FULL:
        return FailureKind::DiskFull;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return FailureKind::NotWritable;
    case SQLITE_INTERRUPT:
        return FailureKind::Interrupted;
    default:
        return FailureKind::Other;
    }
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
    if (mode == OpenMode::ReadOnly)
        flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX;
    sqlite3* db = nullptr;
    const QByteArray encoded = path.toUtf8();
    // The program's own connection writes through the layer that keeps the run's backup whole.
    const char* fileLayer = mode == OpenMode::ExistingOnly ? PageSnapshot::fileLayerName() : nullptr;
    const int rc = sqlite3_open_v2(encoded.constData(), &db, flags, fileLayer);
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

std::optional<ColumnDeclaration> Database::declaration(const ColumnOrigin& origin) const
{
    const char* declaredType = nullptr;
    int primaryKey = 0;
    if (!m_db
        || sqlite3_table_column_metadata(m_db, origin.database.toUtf8().constData(),
               origin.table.toUtf8().constData(), origin.column.toUtf8().constData(), &declaredType, nullptr,
               nullptr, &primaryKey, nullptr)
            != SQLITE_OK)
        return std::nullopt;
    return ColumnDeclaration {QString::fromUtf8(declaredType ? declaredType : ""), primaryKey != 0};
}

void Database::setRowChangeHook(std::function<void()> hook)
{
    m_rowChangeHook = std::move(hook);
    if (!m_db)
        return;
    sqlite3_update_hook(
        m_db,
        [](void* database, int, const char*, const char*, sqlite3_int64) {
            const auto* self = static_cast<const Database*>(database);
            if (self->m_rowChangeHook)
                self->m_rowChangeHook();
        },
        this);
}

void Database::waitForLocksUntil(const QDeadlineTimer& deadline)
{
    m_lockDeadline = deadline;
    sqlite3_busy_handler(
        m_db,
        [](void* database, int) {
            if (static_cast<const Database*>(database)->m_lockDeadline.hasExpired())
                return 0;
            sqlite3_sleep(kLockPollMs);
            return 1;
        },
        this);
}

void Database::waitForLocksAsUsual()
{
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
}

void Database::setInterruptCheck(std::function<bool()> stop)
{
    m_interruptCheck = std::move(stop);
    sqlite3_progress_handler(
        m_db, kStepsPerInterruptCheck,
        [](void* database) {
            const auto* self = static_cast<const Database*>(database);
            return self->m_interruptCheck && self->m_interruptCheck() ? 1 : 0;
        },
        this);
}

void Database::defineEverythingEqualCollationForTests(const QByteArray& name)
{
    if (sqlite3_create_collation(m_db, name.constData(), SQLITE_UTF8, nullptr,
            [](void*, int, const void*, int, const void*) { return 0; })
        != SQLITE_OK)
        throw FeylumeError(errorMessage(), errorCode());
}

Statement::Statement(const Database& db, const QString& sql)
    : m_db(db)
{
    if (!db.isOpen())
        throw FeylumeError(QStringLiteral("library is not open"));
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db.m_db, text.constData(), int(text.size()), &m_stmt, &tail) != SQLITE_OK)
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

void Statement::rewind()
{
    sqlite3_reset(m_stmt);
}

void Statement::run()
{
    while (step()) { }
}

bool Statement::isStale() const
{
    return sqlite3_db_handle(m_stmt) != m_db.m_db;
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

ColumnOrigin Statement::columnOrigin(int column) const
{
    const char* table = sqlite3_column_table_name(m_stmt, column);
    const char* origin = sqlite3_column_origin_name(m_stmt, column);
    if (!table || !origin)
        return {};
    return {QString::fromUtf8(sqlite3_column_database_name(m_stmt, column)), QString::fromUtf8(table),
        QString::fromUtf8(origin)};
}

ValueKind Statement::kind(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL:
        return ValueKind::Null;
    case SQLITE_INTEGER:
        return ValueKind::Integer;
    case SQLITE_FLOAT:
        return ValueKind::Real;
    default:
        return ValueKind::Text;
    }
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double Statement::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
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

OnlineBackup::OnlineBackup(Database& target, const Database& source)
    : m_backup(sqlite3_backup_init(target.m_db, "main", source.m_db, "main"))
{
    if (!m_backup)
        throw FeylumeError(target.errorMessage(), target.errorCode());
}

OnlineBackup::~OnlineBackup()
{
    sqlite3_backup_finish(m_backup);
}

OnlineBackup::Progress OnlineBackup::step(int pages)
{
    const int rc = sqlite3_backup_step(m_backup, pages);
    switch (rc) {
    case SQLITE_OK:
        return Progress::More;
    case SQLITE_DONE:
        return Progress::Done;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Progress::SourceBusy;
    default:
        throw FeylumeError(QString::fromUtf8(sqlite3_errstr(rc)), rc);
    }
}
