#include "table.h"

#include "connection.h"
#include "database.h"
#include "statements.h"

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
    m_statement = std::make_unique<Statement>(connection().database(), Statements::kWholeTable.arg(quoted));
    return *m_statement;
}
