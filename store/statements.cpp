#include "statements.h"

#include "database.h"

void Statements::bind(Statement& statement, const BoundStatement& bound)
{
    for (const auto& [name, value] : bound.parameters)
        statement.bind(QLatin1Char(':') + name, value);
}

BoundStatement Statements::scriptsOfCategory(const StoredName& category)
{
    return {kScriptsOfCategory, {{QStringLiteral("category"), category.bytes()}}};
}

BoundStatement Statements::scriptNameTaken(const StoredName& name)
{
    return {kScriptNameTaken, {{QStringLiteral("name"), name.bytes()}}};
}

BoundStatement Statements::categoryNameTaken(const StoredName& name)
{
    return {kCategoryNameTaken, {{QStringLiteral("name"), name.bytes()}}};
}

BoundStatement Statements::renameScript(const StoredName& newName, const StoredName& oldName)
{
    return {kRenameScript,
        {{QStringLiteral("newName"), newName.bytes()}, {QStringLiteral("oldName"), oldName.bytes()}}};
}

BoundStatement Statements::renameCategory(const StoredName& newName, const StoredName& oldName)
{
    return {kRenameCategory,
        {{QStringLiteral("newName"), newName.bytes()}, {QStringLiteral("oldName"), oldName.bytes()}}};
}

BoundStatement Statements::findCategory(const StoredName& name)
{
    return {kFindCategory, {{QStringLiteral("name"), name.bytes()}}};
}

BoundStatement Statements::addCategory(const StoredName& name)
{
    return {kAddCategory, {{QStringLiteral("name"), name.bytes()}}};
}
