#pragma once

#include "store/storedname.h"

#include <QByteArray>
#include <QList>

class QComboBox;
class QString;

// The category lists (the record's category box and the search filter) hold one entry per
// category. An entry is the category's stored name; one whose bytes its shown text cannot give
// back (a library made elsewhere, in another encoding) carries those bytes with it, so that it
// is found, renamed, removed and searched as exactly that row.
namespace CategoryEntries {
void append(QComboBox* list, const QList<QByteArray>& stored);
StoredName storedName(const QComboBox* list, int index);
// The first entry from `first` on with these stored bytes, or -1.
int find(const QComboBox* list, const StoredName& stored, int first);
void rename(QComboBox* list, int index, const QString& newName);
} // namespace CategoryEntries
