#pragma once

#include "store/database.h"

#include <QFile>
#include <QString>
#include <QtTest>

// Damages one page of the library: the page of the index on script names gets a page type no
// page has. The tables stay readable, so the library still opens and loads, as a library with a
// bad sector in an index would.
inline void damageNameIndex(const QString& libraryPath)
{
    qint64 page = 0;
    qint64 pageSize = 0;
    {
        Database db;
        db.open(libraryPath, Database::OpenMode::ExistingOnly);
        Statement root(
            db, QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'sqlite_autoindex_tjs_1'"));
        QVERIFY(root.step());
        page = root.value(0).toLongLong();
        Statement size(db, QStringLiteral("PRAGMA page_size"));
        QVERIFY(size.step());
        pageSize = size.value(0).toLongLong();
    }
    QVERIFY(page > 1);
    QFile file(libraryPath);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek((page - 1) * pageSize));
    QCOMPARE(file.write("\xff", 1), 1);
}
