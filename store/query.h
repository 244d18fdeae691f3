#pragma once

#include "dataset.h"

struct BoundStatement;

#include <QList>
#include <QPair>

#include <memory>

// A data set over a statement text with named parameters (":name"). A prepared query keeps its
// compiled statement from one opening to the next; replacing the text drops it.
class Query : public DataSet
{
    Q_OBJECT
public:
    using DataSet::DataSet;
    ~Query() override;

    void setSql(const QString& text);
    // The text and every parameter value it names.
    void setStatement(const BoundStatement& statement);
    const QString& sql() const { return m_sql; }
    void setParameter(const QString& name, const QVariant& value);
    QVariant parameter(const QString& name) const;
    void setPrepared(bool prepared);

    // Runs the text for its effect; the query stays closed.
    void execSql();

protected:
    Statement& openStatement() override;

private:
    Statement& compiled();

    QString m_sql;
    QList<QPair<QString, QVariant>> m_parameters;
    bool m_prepared = false;
    std::unique_ptr<Statement> m_statement;
};
