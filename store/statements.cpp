#include "statements.h"

#include "database.h"

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
    return {
        QStringLiteral("select cjs_name from tjs where cjs_name=:name"), {{QStringLiteral("name"), name}}};
}

BoundStatement Statements::categoryNameTaken(const QByteArray& name)
{
    return {QStringLiteral("select ctype_name from ttype where ctype_name=:name"),
        {{QStringLiteral("name"), name}}};
}

BoundStatement Statements::renameScript(const QByteArray& newName, const QByteArray& oldName)
{
    return {QStringLiteral("update tjs set cjs_name=:newName where cjs_name=:oldName"),
        {{QStringLiteral("newName"), newName}, {QStringLiteral("oldName"), oldName}}};
}

BoundStatement Statements::renameCategory(const QByteArray& newName, const QByteArray& oldName)
{
    return {QStringLiteral("update ttype set ctype_name=:newName where ctype_name=:oldName"),
        {{QStringLiteral("newName"), newName}, {QStringLiteral("oldName"), oldName}}};
}

BoundStatement Statements::findCategory(const QByteArray& name)
{
    return {QStringLiteral("select * from ttype where ctype_name=:name"), {{QStringLiteral("name"), name}}};
}

BoundStatement Statements::addCategory(const QByteArray& name)
{
    return {QStringLiteral("insert into ttype(ctype_name) values(:name)"), {{QStringLiteral("name"), name}}};
}
