#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// RAII over one SQLite connection. The Database owns the sqlite3 handle; every Statement
// borrows it and must not outlive it. All failures throw FeylumeError with SQLite's own text.
// How a value is stored: SQLite's storage classes, as the program uses them.
enum class ValueKind { Null, Integer, Real, Text };
ValueKind valueKind(const QVariant& value);
// The bytes a text value is stored with: a QByteArray is a name exactly as stored, which need
// not be valid UTF-8, and goes in untouched; anything else as UTF-8.
QByteArray storedBytes(const QVariant& value);

class Database
{
public:
    enum class OpenMode {
        ExistingOnly, // the program itself: never creates a library
        CreateIfMissing // the library maker and tests
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
    sqlite3* handle() const { return m_db; }
    const QString& path() const { return m_path; }

    // Runs one or more statements that return no rows.
    void exec(const QString& sql);
    qint64 lastInsertRowId() const;
    int changes() const;
    QString errorMessage() const;
    int errorCode() const;

private:
    sqlite3* m_db = nullptr;
    QString m_path;
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
    void reset();
    // Steps to the end and throws on failure.
    void run();

    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const;
    QByteArray textBytes(int column) const;
    // The stored bytes of a text without a copy; valid until the next step or reset.
    QByteArrayView textView(int column) const;
    sqlite3_stmt* handle() const { return m_stmt; }
    // True when the connection it was compiled on has been closed or replaced since.
    bool isStale() const;

private:
    [[noreturn]] void fail() const;

    const Database& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};
