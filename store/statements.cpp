#include "statements.h"

#include "database.h"
#include "namingstatements.h"

void Statements::bind(Statement& statement, const BoundStatement& bound)
{
    for (const auto& [name, value] : bound.parameters)
        statement.bind(QLatin1Char(':') + name, value);
}

BoundStatement Statements::scriptsOfCategory(const QByteArray& category)
{
    return {QStringLiteral("select * from tjs where cjs_type=:category order by cjs_id"),
        {{QStringLiteral("category"), category}}};
}

BoundStatement Statements::scriptNameTaken(const QByteArray& name)
{
    return {NamingStatements::kScriptNameTaken, {{QStringLiteral("name"), name}}};
}

BoundStatement Statements::categoryNameTaken(const QByteArray& name)
{
    return {NamingStatements::kCategoryNameTaken, {{QStringLiteral("name"), name}}};
}

BoundStatement Statements::renameScript(const QByteArray& newName, const QByteArray& oldName)
{
    return {NamingStatements::kRenameScript,
        {{QStringLiteral("newName"), newName}, {QStringLiteral("oldName"), oldName}}};
}

BoundStatement Statements::renameCategory(const QByteArray& newName, const QByteArray& oldName)
{
    return {NamingStatements::kRenameCategory,
        {{QStringLiteral("newName"), newName}, {QStringLiteral("oldName"), oldName}}};
}

BoundStatement Statements::findCategory(const QByteArray& name)
{
    return {NamingStatements::kFindCategory, {{QStringLiteral("name"), name}}};
}

BoundStatement Statements::addCategory(const QByteArray& name)
{
    return {NamingStatements::kAddCategory, {{QStringLiteral("name"), name}}};
}
