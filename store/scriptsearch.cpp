#include "scriptsearch.h"

#include "statements.h"

QString ScriptSearch::statement(Column column, bool oneCategory)
{
    switch (column) {
    case Column::Name:
        return oneCategory ? Statements::kSearchNameInCategory : Statements::kSearchNameAll;
    case Column::Code:
        return oneCategory ? Statements::kSearchCodeInCategory : Statements::kSearchCodeAll;
    case Column::Author:
        return oneCategory ? Statements::kSearchAuthorInCategory : Statements::kSearchAuthorAll;
    }
    Q_UNREACHABLE();
}

BoundStatement ScriptSearch::statement(
    Column column, const QString& keyword, const std::optional<StoredName>& category)
{
    BoundStatement bound {statement(column, category.has_value()), {{kKeywordParameter, keyword}}};
    if (category)
        bound.parameters.append({kCategoryParameter, category->bytes()});
    return bound;
}
