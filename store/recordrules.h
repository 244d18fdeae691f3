#pragma once

#include <QString>

class DataSet;

// The rules a name or a record must meet before a change reaches the library, shared by the data
// set's write-back and the naming commands.
namespace RecordRules {
// Whether `name` is taken, from `found`: a data set just opened on a name-taken statement for
// `column`. A free name must also fit the column in characters; FieldSize::check throws when it
// does not. Leaves `found` closed.
bool nameTaken(DataSet& found, const QString& column, const QString& name);
// The error text when a write-back changed no row: the row it was read from is gone or changed.
// `doing` is "updating" or "deleting".
QString rowNotFound(const QString& doing);
} // namespace RecordRules
