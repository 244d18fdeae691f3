#include "scriptsearch.h"

#include "statements.h"

QString ScriptSearch::columnName(Column column)
{
    switch (column) {
    case Column::Name:
        return Statements::kSearchNameColumn;
    case Column::Code:
        return Statements::kSearchCodeColumn;
    case Column::Author:
        return Statements::kSearchAuthorColumn;
    }
    Q_UNREACHABLE();
}

QString ScriptSearch::statement(Column column, bool oneCategory)
{
    const QString match = columnName(column) + Statements::kSearchLike + kKeywordParameter;
    if (!oneCategory)
        return Statements::kSearchAll + match;
    return Statements::kSearchInCategory + kCategoryParameter + Statements::kSearchAnd + match;
}
