#include "resultcolumns.h"

#include "database.h"

#include <QRegularExpression>

namespace {
int declaredTextSize(const QString& declaredType)
{
    static const QRegularExpression sizePattern(QStringLiteral(R"(^\s*(?:VAR)?CHAR\s*\(\s*(\d+)\s*\)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = sizePattern.match(declaredType);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}
} // namespace

void ResultColumns::clear()
{
    m_columns.clear();
    m_table.clear();
    m_keyColumn = -1;
}

void ResultColumns::describe(const Statement& statement, const Database& db)
{
    clear();
    const int count = statement.columnCount();
    bool oneTable = count > 0;
    for (int i = 0; i < count; ++i) {
        Column column;
        column.name = statement.columnName(i);
        const ColumnOrigin origin = statement.columnOrigin(i);
        if (!origin.table.isEmpty()) {
            column.table = origin.table;
            column.origin = origin.column;
            const QString key = column.table + QLatin1Char('.') + column.origin;
            auto known = m_declarations.constFind(key);
            if (known == m_declarations.constEnd()) {
                Declaration declaration;
                if (const auto declared = db.declaration(origin)) {
                    declaration.size = declaredTextSize(declared->type);
                    // Only an INTEGER PRIMARY KEY is the row's own number and never changes.
                    declaration.rowKey = declared->primaryKey
                        && declared->type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
                }
                known = m_declarations.insert(key, declaration);
            }
            column.size = known->size;
            column.rowKey = known->rowKey;
        }
        if (column.table.isEmpty() || (!m_columns.empty() && column.table != m_columns.front().table))
            oneTable = false;
        if (column.rowKey && m_keyColumn < 0)
            m_keyColumn = i;
        m_columns.push_back(column);
    }
    if (oneTable)
        m_table = m_columns.front().table;
}

int ResultColumns::indexOf(const QString& name) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_columns[size_t(i)].name == name)
            return i;
    }
    for (int i = 0; i < count(); ++i) {
        if (m_columns[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
