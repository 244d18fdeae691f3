#pragma once

#include "database.h"

#include <QString>

// The one connection to the library file. It never creates a file: a missing file, a file that
// is no SQLite database and a database without the two tables all fail to open.
class Connection
{
public:
    void setDatabasePath(const QString& path) { m_path = path; }
    const QString& databasePath() const { return m_path; }

    void open();
    void close() { m_db.close(); }
    bool connected() const { return m_db.isOpen(); }
    // Data components opened on a closed connection try to open it again first.
    void ensureOpen();

    Database& database() { return m_db; }
    const Database& database() const { return m_db; }

private:
    QString m_path;
    Database m_db;
};
