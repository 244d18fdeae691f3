#include "schema.h"

#include "base/feylumeerror.h"
#include "database.h"
#include "statements.h"

#include <QStringList>

#include <utility>
#include <vector>

namespace {
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
    db.exec(Statements::kCreateLibrary);
}

void Schema::verify(const Database& db)
{
    // Reading the catalogue is also what makes SQLite notice a file that is no database.
    Statement tables(db, Statements::kTableNames);
    QStringList present;
    while (tables.step())
        present << tables.value(0).toString();
    for (const auto& [table, columns] : kRequiredColumns) {
        if (!present.contains(table))
            throw FeylumeError(QStringLiteral("no such table: %1").arg(table));
    }
    for (const auto& [table, columns] : kRequiredColumns) {
        // A table without one of its columns would open and then show and store blank fields.
        Statement info(db, Statements::kColumnsOfTable);
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
