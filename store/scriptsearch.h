#pragma once

#include <QString>

// The search of the script table: one column matched with "like" against the keyword, over every
// category or inside one. The keyword and the category are bound values, never part of the text,
// so no quote in either can change what the statement does.
namespace ScriptSearch {
enum class Column { Name, Code, Author };

inline const QString kKeywordParameter = QStringLiteral("strp");
inline const QString kCategoryParameter = QStringLiteral("strc");

QString columnName(Column column);
QString statement(Column column, bool oneCategory);
} // namespace ScriptSearch
