#pragma once

#include "dataset.h"

#include <memory>

// A whole table in the order its rows were stored.
class Table : public DataSet
{
    Q_OBJECT
public:
    using DataSet::DataSet;
    ~Table() override;

    void setTableName(const QString& name);

protected:
    Statement& openStatement() override;

private:
    QString m_tableName;
    std::unique_ptr<Statement> m_statement;
};
