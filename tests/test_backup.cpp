// Backups of the library: their names and rotation, a copy that is whole while the library is
// written, copies that fail, and the checks that find a damaged library.

#include "base/feylumeerror.h"
#include "store/database.h"
#include "store/librarybackup.h"
#include "support/damagedlibrary.h"
#include "support/filecontents.h"
#include "support/libraryfixture.h"

#include <QDir>
#include <QtTest>

#include <thread>

namespace {
QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

int rows(const QString& path, const QString& table)
{
    Database db;
    db.open(path, Database::OpenMode::ExistingOnly);
    Statement count(db, QStringLiteral("SELECT count(*) FROM ") + table);
    count.step();
    return count.value(0).toInt();
}
} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void rotationKeepsTheNewestTen()
    {
        LibraryFixture library;
        library.createSmall();
        QTemporaryDir folder;
        const QDateTime first(QDate(2024, 1, 31), QTime(23, 59, 50));
        for (int i = 0; i < 12; ++i)
            LibraryBackup::copy(library.libraryPath(), folder.path(), first.addSecs(i));
        // A second backup within the same second is newer than the first.
        const QString sameSecond
            = LibraryBackup::copy(library.libraryPath(), folder.path(), first.addSecs(11));
        QCOMPARE(QFileInfo(sameSecond).fileName(), QStringLiteral("qvlb-20240201-000001-2.db"));
        putFile(folder.filePath(QStringLiteral("notes.txt")), "mine");
        putFile(folder.filePath(QStringLiteral("qvlb-old.db")), "mine");

        LibraryBackup::prune(folder.path());
        QStringList expected {QStringLiteral("notes.txt"), QStringLiteral("qvlb-old.db")};
        for (int i = 3; i < 12; ++i)
            expected << LibraryBackup::fileNameFor(first.addSecs(i));
        expected << QStringLiteral("qvlb-20240201-000001-2.db");
        expected.sort();
        QCOMPARE(namesIn(folder.path()), expected);
        const QList<LibraryBackup::Entry> newest = LibraryBackup::list(folder.path());
        QCOMPARE(newest.size(), 10);
        QCOMPARE(newest.first().path, sameSecond);
        QCOMPARE(LibraryBackup::countScripts(sameSecond), 4);
        QCOMPARE(LibraryBackup::integrityProblem(sameSecond), QString());
    }

    void copyHoldsWholeChangesWhileTheLibraryIsWritten()
    {
        LibraryFixture library;
        library.create({QStringLiteral("类别")}, {});
        {
            Database db;
            db.open(library.libraryPath(), Database::OpenMode::ExistingOnly);
            db.exec(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                "INSERT INTO tjs(cjs_name, cjs_type, cjs_text) "
                "SELECT 'base' || i, '类别', hex(randomblob(1000)) FROM n"));
        }
        QTemporaryDir folder;
        std::atomic_bool writing = true;
        // Another connection adds ten scripts in each of its changes while the copy runs.
        std::thread writer([&] {
            Database db;
            db.open(library.libraryPath(), Database::OpenMode::ExistingOnly);
            for (int change = 0; writing && change < 200; ++change) {
                db.exec(QStringLiteral("BEGIN IMMEDIATE"));
                for (int i = 0; i < 10; ++i)
                    db.exec(QStringLiteral("INSERT INTO tjs(cjs_name, cjs_type) VALUES ('w%1-%2', '类别')")
                                .arg(change)
                                .arg(i));
                db.exec(QStringLiteral("COMMIT"));
            }
        });
        QString copy;
        try {
            copy = LibraryBackup::copy(library.libraryPath(), folder.path(), QDateTime::currentDateTime());
        } catch (const FeylumeError& error) {
            writing = false;
            writer.join();
            QFAIL(qPrintable(error.message()));
        }
        writing = false;
        writer.join();
        QCOMPARE(LibraryBackup::integrityProblem(copy), QString());
        QCOMPARE(rows(copy, QStringLiteral("tjs")) % 10, 0);
        QVERIFY(rows(copy, QStringLiteral("tjs")) >= 3000);
    }

    void failedCopyLeavesNothing_data()
    {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::newRow("folder cannot be made") << true;
        QTest::newRow("disk full") << false;
    }

    void failedCopyLeavesNothing()
    {
        QFETCH(bool, folderIsAFile);
        LibraryFixture library;
        library.createSmall();
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("backups"));
        if (folderIsAFile)
            putFile(folder, "in the way");
        else
            QDir().mkpath(folder);
        {
            std::optional<FileSizeLimit> full;
            if (!folderIsAFile)
                full.emplace(2048);
            QVERIFY_THROWS_EXCEPTION(FeylumeError,
                LibraryBackup::copy(library.libraryPath(), folder, QDateTime::currentDateTime()));
        }
        if (!folderIsAFile)
            QCOMPARE(namesIn(folder), QStringList());
        QCOMPARE(LibraryBackup::list(folder).size(), 0);
    }

    void damagedLibraryIsFound()
    {
        LibraryFixture library;
        library.createSmall();
        bool completed = false;
        QCOMPARE(LibraryBackup::quickProblem(library.libraryPath(), 5000, &completed), QString());
        QVERIFY(completed);
        damageNameIndex(library.libraryPath());
        QVERIFY(!LibraryBackup::quickProblem(library.libraryPath(), 5000, &completed).isEmpty());
        QVERIFY(completed);
        QVERIFY(!LibraryBackup::integrityProblem(library.libraryPath()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "test_backup.moc"
