#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDeadlineTimer>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_backup;

// RAII over one SQLite connection. The Database owns the sqlite3 handle; every Statement
// borrows it and must not outlive it. All failures throw FeylumeError with SQLite's own text.
// How a value is stored: SQLite's storage classes, as the program uses them.
enum class ValueKind { Null, Integer, Real, Text };
ValueKind valueKind(const QVariant& value);
// The bytes a text value is stored with: a QByteArray is a name exactly as stored, which need
// not be valid UTF-8, and goes in untouched; anything else as UTF-8.
QByteArray storedBytes(const QVariant& value);

// What a failure's code (FeylumeError::code()) says happened, as far as the program tells apart.
enum class FailureKind {
    None,
    DuplicateKey, // a unique name or key already used
    MissingReference, // a link to a row that is not there
    Locked, // another connection holds the library
    DiskFull,
    NotWritable, // read-only file or folder, or no permission
    Interrupted, // stopped by the connection's own interrupt check
    Other
};
FailureKind failureKind(int code);

// Where a result column comes from; empty for a column computed by the statement.
struct ColumnOrigin
{
    QString database;
    QString table;
    QString column;
};

// How a table column is declared.
struct ColumnDeclaration
{
    QString type; // as written in the table's definition, e.g. "VARCHAR(50)"
    bool primaryKey = false;
};

class Database
{
public:
    enum class OpenMode {
        ExistingOnly, // the program itself: never creates a library
        CreateIfMissing, // the library maker, backups and tests
        ReadOnly // reading a library or a backup without any chance of changing it
    };

    // A library locked by another program is waited for this long before the change is refused:
    // long enough for a short write of someone else, short enough not to look like a hang.
    static constexpr int kBusyTimeoutMs = 2000;

    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void open(const QString& path, OpenMode mode);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    bool isReadOnly() const;
    const QString& path() const { return m_path; }

    // Runs one or more statements that return no rows.
    void exec(const QString& sql);
    qint64 lastInsertRowId() const;
    int changes() const;
    QString errorMessage() const;
    int errorCode() const;

    // How a column of a table is declared; nothing when the table or column is unknown.
    std::optional<ColumnDeclaration> declaration(const ColumnOrigin& origin) const;

    // Called whenever a row is inserted, changed or deleted through this connection, from
    // inside the statement: it must not use the connection. Holds until the connection closes.
    void setRowChangeHook(std::function<void()> hook);
    // A lock held elsewhere is waited for until the deadline, instead of kBusyTimeoutMs each time.
    void waitForLocksUntil(const QDeadlineTimer& deadline);
    void waitForLocksAsUsual();
    // Asked every thousand steps of a running statement; true stops it with FailureKind::Interrupted.
    void setInterruptCheck(std::function<bool()> stop);

    // Test seam: defines a collation under this name that finds every two texts equal, for tests
    // that make a table only a connection with that collation can read.
    void defineEverythingEqualCollationForTests(const QByteArray& name);

private:
    friend class Statement;
    friend class OnlineBackup;

    sqlite3* m_db = nullptr;
    QString m_path;
    std::function<void()> m_rowChangeHook;
    QDeadlineTimer m_lockDeadline;
    std::function<bool()> m_interruptCheck;
};

class Statement
{
public:
    Statement(const Database& db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds by 1-based position or by name (":name"); a name the text does not use is an error.
    // A QByteArray is bound as text with exactly those bytes.
    void bind(int position, const QVariant& value);
    void bind(const QString& name, const QVariant& value);
    int parameterCount() const;
    QString parameterName(int position) const;

    // True while a row is available; false when done.
    bool step();
    // Starts over, forgetting the bound values.
    void reset();
    // Ends the current read so that nothing holds the library between uses; the bound values stay.
    void rewind();
    // Steps to the end and throws on failure.
    void run();

    int columnCount() const;
    QString columnName(int column) const;
    // Where a column's values come from; empty names for a computed column.
    ColumnOrigin columnOrigin(int column) const;
    QVariant value(int column) const;
    // The current row's value without building a QVariant: its kind, then the one that applies.
    ValueKind kind(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    QByteArray textBytes(int column) const;
    // The stored bytes of a text without a copy; valid until the next step or reset.
    QByteArrayView textView(int column) const;
    // True when the connection it was compiled on has been closed or replaced since.
    bool isStale() const;

private:
    [[noreturn]] void fail() const;

    const Database& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// Copies one database into another a few pages at a time, while the source stays usable.
class OnlineBackup
{
public:
    OnlineBackup(Database& target, const Database& source);
    ~OnlineBackup();
    OnlineBackup(const OnlineBackup&) = delete;
    OnlineBackup& operator=(const OnlineBackup&) = delete;

    enum class Progress { More, SourceBusy, Done };
    // Copies up to pages pages; throws when the copy failed.
    Progress step(int pages);

private:
    sqlite3_backup* m_backup = nullptr;
};
