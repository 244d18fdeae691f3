#pragma once

#include "storedname.h"

#include <QString>

#include <optional>

struct BoundStatement;

// The search of the script table: one column matched with "like" against the keyword, over every
// category or inside one. The keyword and the category are bound values, never part of the text,
// so no quote in either can change what the statement does.
namespace ScriptSearch {
enum class Column { Name, Code, Author };

inline const QString kKeywordParameter = QStringLiteral("strp");
inline const QString kCategoryParameter = QStringLiteral("strc");

// The statement's text, with its parameters unbound.
QString statement(Column column, bool oneCategory);
// The statement with the keyword and, when one is given, the category bound.
BoundStatement statement(Column column, const QString& keyword, const std::optional<StoredName>& category);
} // namespace ScriptSearch
