#pragma once

#include <QVariant>

#include <optional>
#include <vector>

class Database;
class ResultColumns;
struct Cell;

// The statements that store a record back into the one table its result comes from. They are
// built for whatever columns the result holds: only the changed columns are written, and the row
// is found by the table's integer key, or without one by the first row that still holds every
// value read.
namespace RecordWriteBack {
// Writes values[c] for each changed column c into the row that was read as row. False when no
// row was found: it was changed or deleted since.
bool update(Database& db, const ResultColumns& columns, const Cell* row, const std::vector<QVariant>& values,
    const std::vector<int>& changedColumns);
// Adds a row with values[c] for each changed column c and returns it as stored, with what the
// library filled in; nothing when it cannot be read back.
std::optional<std::vector<QVariant>> insert(Database& db, const ResultColumns& columns,
    const std::vector<QVariant>& values, const std::vector<int>& changedColumns);
// Deletes the row that was read as row. False when no row was found.
bool remove(Database& db, const ResultColumns& columns, const Cell* row);
} // namespace RecordWriteBack
