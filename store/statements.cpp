#include "statements.h"

#include "database.h"

void Statements::bind(Statement& statement, const BoundStatement& bound)
{
    for (const auto& [name, value] : bound.parameters)
        statement.bind(QLatin1Char(':') + name, value);
}

BoundStatement Statements::scriptsOfCategory(const QByteArray& category)
{
    return {kScriptsOfCategory, {{QStringLiteral("category"), category}}};
}

BoundStatement Statements::scriptNameTaken(const QByteArray& name)
{
    return {kScriptNameTaken, {{QStringLiteral("name"), name}}};
}

BoundStatement Statements::categoryNameTaken(const QByteArray& name)
{
    return {kCategoryNameTaken, {{QStringLiteral("name"), name}}};
}

BoundStatement Statements::renameScript(const QByteArray& newName, const QByteArray& oldName)
{
    return {kRenameScript, {{QStringLiteral("newName"), newName}, {QStringLiteral("oldName"), oldName}}};
}

BoundStatement Statements::renameCategory(const QByteArray& newName, const QByteArray& oldName)
{
    return {kRenameCategory, {{QStringLiteral("newName"), newName}, {QStringLiteral("oldName"), oldName}}};
}

BoundStatement Statements::findCategory(const QByteArray& name)
{
    return {kFindCategory, {{QStringLiteral("name"), name}}};
}

BoundStatement Statements::addCategory(const QByteArray& name)
{
    return {kAddCategory, {{QStringLiteral("name"), name}}};
}
