#include "scriptsearch.h"

QString ScriptSearch::columnName(Column column)
{
    switch (column) {
    case Column::Name:
        return QStringLiteral("cjs_name");
    case Column::Code:
        return QStringLiteral("cjs_text");
    case Column::Author:
        return QStringLiteral("cjs_zzm");
    }
    Q_UNREACHABLE();
}

QString ScriptSearch::statement(Column column, bool oneCategory)
{
    const QString match = columnName(column) + QStringLiteral(" like:") + kKeywordParameter;
    if (!oneCategory)
        return QStringLiteral("select cjs_name from tjs where ") + match;
    return QStringLiteral("select cjs_name from tjs where cjs_type =:") + kCategoryParameter
        + QStringLiteral(" and ") + match;
}
