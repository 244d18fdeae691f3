#include "table.h"

#include "connection.h"
#include "database.h"

Table::~Table() = default;

void Table::setTableName(const QString& name)
{
    close();
    m_tableName = name;
}

Statement& Table::openStatement()
{
    QString quoted = m_tableName;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    // Without the ordering SQLite may walk a unique index instead of the stored order.
    m_statement = std::make_unique<Statement>(
        connection().database(), QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(quoted));
    return *m_statement;
}
