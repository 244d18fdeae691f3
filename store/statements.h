#pragma once

#include "storedname.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

class Statement;

// A statement text and the values of its named parameters. Names never become part of a text:
// a name holding a quote, a NUL or bytes that are not UTF-8 cannot change what a statement does.
struct BoundStatement
{
    QString text;
    QList<QPair<QString, QVariant>> parameters; // parameter name without the colon, value
};

// Every statement text the program sends, in one place. The write-back a data set makes for any
// table is built by recordwriteback.cpp from the templates here and the columns its result holds.
//
// Names are given as the bytes stored in the library (a node's stored name) or as typed text
// turned into UTF-8; they are bound as text with exactly those bytes, so a name read from the
// library finds its own row again. Names are bound as parameters, never pasted into the text, so
// quotes, percent signs or any other character in a name are stored and found exactly.
namespace Statements {
// The script being shown, by name (parameter ":JsName").
inline const QString kCurrentScript = QStringLiteral("select * from tjs where cjs_name = :JsName");
inline const QString kCategoryTable = QStringLiteral("ttype");
// Every row of one table in stored order; %1 is the table's name with its quotes doubled.
// Without the ordering SQLite may walk a unique index instead of the stored order.
inline const QString kWholeTable = QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid");
inline const QString kScriptsOfCategory
    = QStringLiteral("select * from tjs where cjs_type=:category order by cjs_id");
inline const QString kScriptCount = QStringLiteral("select count(*) from tjs");

// The naming commands.
inline const QString kScriptNameTaken = QStringLiteral("select cjs_name from tjs where cjs_name=:name");
inline const QString kCategoryNameTaken
    = QStringLiteral("select ctype_name from ttype where ctype_name=:name");
inline const QString kRenameScript
    = QStringLiteral("update tjs set cjs_name=:newName where cjs_name=:oldName");
inline const QString kRenameCategory
    = QStringLiteral("update ttype set ctype_name=:newName where ctype_name=:oldName");
inline const QString kFindCategory = QStringLiteral("select * from ttype where ctype_name=:name");
inline const QString kAddCategory = QStringLiteral("insert into ttype(ctype_name) values(:name)");

// The script search: the names of the scripts whose column is "like" the keyword (:strp), all
// of them or those of one category (:strc).
inline const QString kSearchNameAll = QStringLiteral("select cjs_name from tjs where cjs_name like:strp");
inline const QString kSearchCodeAll = QStringLiteral("select cjs_name from tjs where cjs_text like:strp");
inline const QString kSearchAuthorAll = QStringLiteral("select cjs_name from tjs where cjs_zzm like:strp");
inline const QString kSearchNameInCategory
    = QStringLiteral("select cjs_name from tjs where cjs_type =:strc and cjs_name like:strp");
inline const QString kSearchCodeInCategory
    = QStringLiteral("select cjs_name from tjs where cjs_type =:strc and cjs_text like:strp");
inline const QString kSearchAuthorInCategory
    = QStringLiteral("select cjs_name from tjs where cjs_type =:strc and cjs_zzm like:strp");

// The look at a library's own catalogue that verifies it (parameter 1: a table's name).
inline const QString kTableNames = QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'");
inline const QString kColumnsOfTable = QStringLiteral("SELECT name FROM pragma_table_xinfo(?)");

// The write-back of a data set's record. %1 is a quoted table name; the others are lists of
// quoted column names with their placeholders, and the row locator.
inline const QString kRowLocator = QStringLiteral("rowid = (SELECT rowid FROM %1 WHERE %2 LIMIT 1)");
inline const QString kReadRow = QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?");
inline const QString kUpdateRow = QStringLiteral("UPDATE %1 SET %2 WHERE %3");
inline const QString kInsertDefaultRow = QStringLiteral("INSERT INTO %1 DEFAULT VALUES");
inline const QString kInsertRow = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)");
inline const QString kDeleteRow = QStringLiteral("DELETE FROM %1 WHERE %2");

// Every connection asks SQLite to keep the cascading link between the tables.
inline const QString kEnforceForeignKeys = QStringLiteral("PRAGMA foreign_keys = ON");

// The backups and the damage checks.
inline const QString kIntegrityCheck = QStringLiteral("PRAGMA integrity_check");
inline const QString kQuickCheck = QStringLiteral("PRAGMA quick_check");
inline const QString kObjectAtRootPage
    = QStringLiteral("SELECT type, tbl_name FROM sqlite_master WHERE rootpage = :page");

// Making a library: its tables, then its content.
inline const QString kCreateLibrary = QStringLiteral(R"SQL(
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
)SQL");
inline const QString kBegin = QStringLiteral("BEGIN");
inline const QString kCommit = QStringLiteral("COMMIT");
inline const QString kMakerCategory = QStringLiteral("INSERT INTO ttype(ctype_name) VALUES (?)");
inline const QString kMakerScript
    = QStringLiteral("INSERT INTO tjs(cjs_name, cjs_type, cjs_zzm, cjs_zzjj, cjs_date, cjs_text) "
                     "VALUES (?, ?, ?, ?, ?, ?)");

// Binds every parameter value of bound onto a statement compiled from bound's text.
void bind(Statement& statement, const BoundStatement& bound);

BoundStatement scriptsOfCategory(const StoredName& category);
// The naming commands' statements with their names bound.
BoundStatement scriptNameTaken(const StoredName& name);
BoundStatement categoryNameTaken(const StoredName& name);
BoundStatement renameScript(const StoredName& newName, const StoredName& oldName);
BoundStatement renameCategory(const StoredName& newName, const StoredName& oldName);
BoundStatement findCategory(const StoredName& name);
BoundStatement addCategory(const StoredName& name);
} // namespace Statements
