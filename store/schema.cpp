#include "schema.h"

#include "database.h"
#include "feylumeerror.h"

#include <QStringList>

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
}

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
    for (const QString& required : {QStringLiteral("tjs"), QStringLiteral("ttype")}) {
        if (!present.contains(required))
            throw FeylumeError(QStringLiteral("no such table: %1").arg(required));
    }
}
