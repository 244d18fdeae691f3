#include "recordrules.h"

#include "dataset.h"
#include "fieldsize.h"

bool RecordRules::nameTaken(DataSet& found, const QString& column, const QString& name)
{
    const bool taken = found.recordCount() > 0;
    const int size = found.fieldSize(column);
    found.close();
    if (!taken)
        FieldSize::check(column, size, name);
    return taken;
}

QString RecordRules::rowNotFound(const QString& doing)
{
    return QStringLiteral(
        "Row cannot be located for %1. Some values may have been changed since it was last read")
        .arg(doing);
}
