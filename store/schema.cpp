#include "schema.h"

#include "base/feylumeerror.h"
#include "database.h"

#include <QStringList>

#include <utility>
#include <vector>

namespace {
const char* const kCreateStatements = R"SQL(
CREATE TABLE ttype (ctype_name VARCHAR(50) NOT NULL UNIQUE);
CREATE TABLE tjs (
  cjs_id   INTEGER PRIMARY KEY AUTOINCREMENT,
  cjs_name VARCHAR(50) NOT NULL UNIQUE,
  cjs_type VARCHAR(50) REFERENCES ttype(ctype_name) ON UPDATE CASCADE ON DELETE CASCADE,
  cjs_zzm  VARCHAR(50),
  cjs_zzjj TEXT,
  cjs_date TEXT NOT NULL DEFAULT (datetime('now','localtime')),
  cjs_text TEXT);
CREATE INDEX tjs_by_type ON tjs(cjs_type, cjs_id);
)SQL";

// What the program reads and writes; a library made elsewhere may carry more.
const std::vector<std::pair<QString, QStringList>> kRequiredColumns = {
    {QStringLiteral("tjs"),
        {QStringLiteral("cjs_id"), QStringLiteral("cjs_name"), QStringLiteral("cjs_type"),
            QStringLiteral("cjs_zzm"), QStringLiteral("cjs_zzjj"), QStringLiteral("cjs_date"),
            QStringLiteral("cjs_text")}},
    {QStringLiteral("ttype"), {QStringLiteral("ctype_name")}},
};
} // namespace

void Schema::create(Database& db)
{
    db.exec(QString::fromUtf8(kCreateStatements));
}

void Schema::verify(const Database& db)
{
    // Reading the catalogue is also what makes SQLite notice a file that is no database.
    Statement tables(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    QStringList present;
    while (tables.step())
        present << tables.value(0).toString();
    for (const auto& [table, columns] : kRequiredColumns) {
        if (!present.contains(table))
            throw FeylumeError(QStringLiteral("no such table: %1").arg(table));
    }
    for (const auto& [table, columns] : kRequiredColumns) {
        // A table without one of its columns would open and then show and store blank fields.
        Statement info(db, QStringLiteral("SELECT name FROM pragma_table_xinfo(?)"));
        info.bind(1, table);
        QStringList found;
        while (info.step())
            found << info.value(0).toString().toLower();
        for (const QString& column : columns) {
            if (!found.contains(column))
                throw FeylumeError(QStringLiteral("no such column: %1.%2").arg(table, column));
        }
    }
}
