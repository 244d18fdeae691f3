#include "query.h"

#include "connection.h"
#include "database.h"
#include "statements.h"

Query::~Query() = default;

void Query::setSql(const QString& text)
{
    close();
    m_sql = text;
    m_statement.reset();
}

void Query::setStatement(const BoundStatement& statement)
{
    setSql(statement.text);
    for (const auto& [name, value] : statement.parameters)
        setParameter(name, value);
}

void Query::setParameter(const QString& name, const QVariant& value)
{
    for (auto& parameter : m_parameters) {
        if (parameter.first == name) {
            parameter.second = value;
            return;
        }
    }
    m_parameters.append({name, value});
}

QVariant Query::parameter(const QString& name) const
{
    for (const auto& parameter : m_parameters) {
        if (parameter.first == name)
            return parameter.second;
    }
    return {};
}

void Query::setPrepared(bool prepared)
{
    m_prepared = prepared;
    if (!prepared)
        m_statement.reset();
}

Statement& Query::compiled()
{
    // A statement compiled on an earlier connection must not be reused.
    if (!m_statement || !m_prepared || m_statement->isStale())
        m_statement = std::make_unique<Statement>(connection().database(), m_sql);
    else
        m_statement->reset();
    for (int position = 1; position <= m_statement->parameterCount(); ++position) {
        const QString name = m_statement->parameterName(position);
        m_statement->bind(position, parameter(name.mid(1)));
    }
    return *m_statement;
}

Statement& Query::openStatement()
{
    return compiled();
}

void Query::execSql()
{
    close();
    connection().ensureOpen();
    Statement& statement = compiled();
    statement.run();
    statement.reset();
}
