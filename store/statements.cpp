#include "statements.h"

QString Statements::quoted(const QString& name)
{
    QString doubled = name;
    doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString Statements::scriptsOfCategory(const QString& category)
{
    return QStringLiteral("select * from tjs where cjs_type=") + quoted(category)
        + QStringLiteral("order by cjs_id");
}

QString Statements::scriptNameTaken(const QString& name)
{
    return QStringLiteral("select cjs_name from tjs where cjs_name=") + quoted(name);
}

QString Statements::categoryNameTaken(const QString& name)
{
    return QStringLiteral("select ctype_name from ttype where ctype_name=") + quoted(name);
}

QString Statements::renameScript(const QString& newName, const QString& oldName)
{
    return QStringLiteral("update tjs set cjs_name=") + quoted(newName) + QStringLiteral(" where cjs_name=")
        + quoted(oldName);
}

QString Statements::renameCategory(const QString& newName, const QString& oldName)
{
    return QStringLiteral("update ttype set ctype_name=") + quoted(newName)
        + QStringLiteral(" where ctype_name=") + quoted(oldName);
}

QString Statements::findCategory(const QString& name)
{
    return QStringLiteral("select * from ttype where ctype_name=") + quoted(name);
}

QString Statements::addCategory(const QString& name)
{
    return QStringLiteral("insert into ttype(ctype_name) values(") + quoted(name) + QLatin1Char(')');
}

QString Statements::search(const QString& column, const QString& category)
{
    if (category.isEmpty())
        return QStringLiteral("select cjs_name from tjs where ") + column + QStringLiteral(" like:strp");
    return QStringLiteral("select cjs_name from tjs where cjs_type =") + quoted(category)
        + QStringLiteral(" and ") + column + QStringLiteral(" like:strp");
}
