#include "recordwriteback.h"

#include "database.h"
#include "resultcolumns.h"
#include "statements.h"
#include "textarena.h"

#include <QStringList>

namespace {
QString quotedIdentifier(const QString& name)
{
    QString copy = name;
    return QLatin1Char('"') + copy.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString rowLocatorSql(const ResultColumns& columns)
{
    if (columns.keyColumn() >= 0)
        return quotedIdentifier(columns.at(columns.keyColumn()).origin) + QStringLiteral(" = ?");
    // Without an integer key the row is the first one that still holds the values read.
    QStringList conditions;
    for (const ResultColumns::Column& column : columns.all())
        conditions << quotedIdentifier(column.origin) + QStringLiteral(" IS ?");
    return Statements::kRowLocator.arg(
        quotedIdentifier(columns.table()), conditions.join(QStringLiteral(" AND ")));
}

void bindRowLocator(Statement& statement, int firstPosition, const ResultColumns& columns, const Cell* row)
{
    if (columns.keyColumn() >= 0) {
        statement.bind(firstPosition, row[columns.keyColumn()].storedValue());
        return;
    }
    for (int i = 0; i < columns.count(); ++i)
        statement.bind(firstPosition + i, row[i].storedValue());
}

std::optional<std::vector<QVariant>> readBack(const Database& db, const ResultColumns& columns, qint64 rowId)
{
    QStringList names;
    for (const ResultColumns::Column& column : columns.all())
        names << quotedIdentifier(column.origin);
    Statement select(
        db, Statements::kReadRow.arg(names.join(QStringLiteral(", ")), quotedIdentifier(columns.table())));
    select.bind(1, rowId);
    if (!select.step())
        return std::nullopt;
    std::vector<QVariant> values;
    values.reserve(size_t(columns.count()));
    for (int i = 0; i < columns.count(); ++i)
        values.push_back(select.value(i));
    return values;
}
} // namespace

bool RecordWriteBack::update(Database& db, const ResultColumns& columns, const Cell* row,
    const std::vector<QVariant>& values, const std::vector<int>& changedColumns)
{
    QStringList assignments;
    for (int column : changedColumns)
        assignments << quotedIdentifier(columns.at(column).origin) + QStringLiteral(" = ?");
    Statement update(db,
        Statements::kUpdateRow.arg(quotedIdentifier(columns.table()), assignments.join(QStringLiteral(", ")),
            rowLocatorSql(columns)));
    int position = 1;
    for (int column : changedColumns)
        update.bind(position++, values[size_t(column)]);
    bindRowLocator(update, position, columns, row);
    update.run();
    return db.changes() != 0;
}

std::optional<std::vector<QVariant>> RecordWriteBack::insert(Database& db, const ResultColumns& columns,
    const std::vector<QVariant>& values, const std::vector<int>& changedColumns)
{
    QStringList names;
    QStringList placeholders;
    for (int column : changedColumns) {
        names << quotedIdentifier(columns.at(column).origin);
        placeholders << QStringLiteral("?");
    }
    const QString sql = changedColumns.empty()
        ? Statements::kInsertDefaultRow.arg(quotedIdentifier(columns.table()))
        : Statements::kInsertRow.arg(quotedIdentifier(columns.table()), names.join(QStringLiteral(", ")),
            placeholders.join(QStringLiteral(", ")));
    Statement insert(db, sql);
    int position = 1;
    for (int column : changedColumns)
        insert.bind(position++, values[size_t(column)]);
    insert.run();
    return readBack(db, columns, db.lastInsertRowId());
}

bool RecordWriteBack::remove(Database& db, const ResultColumns& columns, const Cell* row)
{
    Statement remove(
        db, Statements::kDeleteRow.arg(quotedIdentifier(columns.table()), rowLocatorSql(columns)));
    bindRowLocator(remove, 1, columns, row);
    remove.run();
    return db.changes() != 0;
}
