#pragma once

#include <QHash>
#include <QString>

#include <vector>

class Database;
class Statement;

// What the columns of a result are: their names, the table column each comes from, its declared
// size, and whether the result can be written back: every column from one table, and the row
// found by that table's integer key when the result holds it.
class ResultColumns
{
public:
    struct Column
    {
        QString name;
        QString table; // empty for a computed column
        QString origin; // the table's own name for the column
        int size = 0; // declared size of a text column in characters; 0 when unlimited
        bool rowKey = false;
    };

    void describe(const Statement& statement, const Database& db);
    // Forgets the columns; what was learnt about the tables' declarations stays.
    void clear();

    int count() const { return int(m_columns.size()); }
    const Column& at(int index) const { return m_columns[size_t(index)]; }
    const std::vector<Column>& all() const { return m_columns; }
    // By exact name first, then ignoring case; -1 when absent.
    int indexOf(const QString& name) const;
    // The one table every column comes from; empty when the result cannot be written back.
    const QString& table() const { return m_table; }
    // The column holding the table's integer key, or -1.
    int keyColumn() const { return m_keyColumn; }

private:
    struct Declaration
    {
        int size = 0;
        bool rowKey = false;
    };

    std::vector<Column> m_columns;
    // A column's declaration does not change while the program runs; a load opens a thousand
    // results over the same columns.
    QHash<QString, Declaration> m_declarations;
    QString m_table;
    int m_keyColumn = -1;
};
