#pragma once

#include "database.h"

#include <QString>

#include <functional>

// The one connection to the library file. It never creates a file: a missing file, a file that
// is no SQLite database and a database without the two tables all fail to open.
//
// A library that another program holds locked is waited for at most kOpenWaitMs, and that wait
// is shared by every attempt to open until one succeeds: at start-up the window, the current-
// script query and the load each try, and together they must not freeze the program.
class Connection
{
public:
    static constexpr int kOpenWaitMs = 2000;

    void setDatabasePath(const QString& path) { m_path = path; }
    const QString& databasePath() const { return m_path; }

    void open();
    void close() { m_db.close(); }
    bool connected() const { return m_db.isOpen(); }
    // Data components opened on a closed connection try to open it again first.
    void ensureOpen();

    // Called whenever a row of the library is inserted, changed or deleted through this
    // connection, from inside the statement: it must not use the connection.
    void setChangeObserver(std::function<void()> observer);
    void notifyChange() const;

    Database& database() { return m_db; }
    const Database& database() const { return m_db; }

private:
    void verifyWithinWait();

    QString m_path;
    Database m_db;
    std::function<void()> m_changeObserver;
    int m_openWaitLeftMs = kOpenWaitMs;
};
