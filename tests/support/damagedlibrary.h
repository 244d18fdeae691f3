#pragma once

#include "store/database.h"

#include <QFile>
#include <QString>
#include <QtTest>

// Ways a library file gets damaged: a bad sector in one page, a copy cut short, a header
// overwritten by another program.

// The first page of the named table or index gets a page type no page has.
inline void damagePageOf(const QString& libraryPath, const QString& object)
{
    qint64 page = 0;
    qint64 pageSize = 0;
    {
        Database db;
        db.open(libraryPath, Database::OpenMode::ExistingOnly);
        Statement root(
            db, QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = '%1'").arg(object));
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

// The page of the index on script names: the tables stay readable, so the library still opens
// and loads, as a library with a bad sector in an index would.
inline void damageNameIndex(const QString& libraryPath)
{
    damagePageOf(libraryPath, QStringLiteral("sqlite_autoindex_tjs_1"));
}

// Keeps only the first `pages` pages of the file.
inline void cutShort(const QString& libraryPath, qint64 pages)
{
    QFile file(libraryPath);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(pages * 4096));
}

inline void overwriteHeader(const QString& libraryPath)
{
    QFile file(libraryPath);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QCOMPARE(file.write(QByteArray(64, 'x')), 64);
}
