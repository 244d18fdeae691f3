#include "categoryentries.h"

#include "dbctrls/dbcombobox.h"

#include <QComboBox>

namespace {
constexpr int kStoredRole = TDBComboBox::kStoredNameRole;
} // namespace

void CategoryEntries::append(QComboBox* list, const QList<QByteArray>& stored)
{
    QStringList names;
    names.reserve(stored.size());
    QList<qsizetype> unshowable;
    for (const QByteArray& bytes : stored) {
        names.append(QString::fromUtf8(bytes));
        if (!StoredName::isShowable(bytes, names.last()))
            unshowable.append(names.size() - 1);
    }
    const int first = list->count();
    list->addItems(names);
    for (const qsizetype i : unshowable)
        list->setItemData(first + int(i), stored.at(i), kStoredRole);
}

StoredName CategoryEntries::storedName(const QComboBox* list, int index)
{
    const QVariant stored = list->itemData(index, kStoredRole);
    return stored.typeId() == QMetaType::QByteArray ? StoredName::fromBytes(stored.toByteArray())
                                                    : StoredName(list->itemText(index));
}

int CategoryEntries::find(const QComboBox* list, const StoredName& stored, int first)
{
    for (int i = first; i < list->count(); ++i) {
        if (storedName(list, i) == stored)
            return i;
    }
    return -1;
}

void CategoryEntries::rename(QComboBox* list, int index, const QString& newName)
{
    list->setItemText(index, newName);
    // A typed name is stored as its own text.
    list->setItemData(index, QVariant(), kStoredRole);
}
