// Backups of the library: their names and rotation, a copy that is whole while the library is
// written, copies that fail, and the checks that find a damaged library.

#include "base/feylumeerror.h"
#include "store/database.h"
#include "store/librarybackup.h"
#include "store/pagesnapshot.h"
#include "support/damagedlibrary.h"
#include "support/filecontents.h"
#include "support/libraryfixture.h"

#include <QDir>
#include <QtTest>

#include <optional>
#include <thread>

namespace {
QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

void fillWithScripts(const QString& path, int count)
{
    Database db;
    db.open(path, Database::OpenMode::CreateIfMissing);
    db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "INSERT INTO tjs(cjs_name, cjs_type, cjs_text) "
                           "SELECT 'base' || i, '类别', hex(randomblob(1000)) FROM n")
                .arg(count));
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
        QCOMPARE(QFileInfo(sameSecond).fileName(), QStringLiteral("qvlb-20240201-000001-13.db"));
        putFile(folder.filePath(QStringLiteral("notes.txt")), "mine");
        putFile(folder.filePath(QStringLiteral("qvlb-old.db")), "mine");

        LibraryBackup::prune(folder.path());
        QStringList expected {QStringLiteral("notes.txt"), QStringLiteral("qvlb-old.db")};
        for (int i = 3; i < 12; ++i)
            expected << QStringLiteral("qvlb-%1-%2.db")
                            .arg(first.addSecs(i).toString(QStringLiteral("yyyyMMdd-HHmmss")))
                            .arg(i + 1);
        expected << QStringLiteral("qvlb-20240201-000001-13.db");
        expected.sort();
        QCOMPARE(namesIn(folder.path()), expected);
        const QList<LibraryBackup::Entry> newest = LibraryBackup::list(folder.path());
        QCOMPARE(newest.size(), 10);
        QCOMPARE(newest.first().path, sameSecond);
        QCOMPARE(LibraryBackup::countScripts(sameSecond), 4);
        QCOMPARE(LibraryBackup::integrityProblem(sameSecond), QString());
    }

    void newestIsTheLastMadeWhateverTheClockSays_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<int>("damagedAmongThem");
        QTest::newRow("clock put back a year") << QStringList {QStringLiteral("20990101-000000")} << 0;
        QTest::newRow("names of an older version") << QStringList {QStringLiteral("20990101-000000"),
            QStringLiteral("20990101-000000"), QStringLiteral("20990101-000000-2")}
                                                   << 0;
        QTest::newRow("damaged backups") << QStringList {QStringLiteral("20990101-000000")} << 5;
    }

    void newestIsTheLastMadeWhateverTheClockSays()
    {
        // Ten sound backups (and maybe some damaged ones) dated later than now: the backup made
        // now is the newest, survives the pruning, and only the oldest sound one goes.
        QFETCH(QStringList, existing);
        QFETCH(int, damagedAmongThem);
        LibraryFixture library;
        library.createSmall();
        QTemporaryDir folder;
        const QString future = existing.takeFirst();
        for (const QString& stamp : existing)
            putFile(folder.filePath(QStringLiteral("qvlb-%1.db").arg(stamp)),
                fileContents(library.libraryPath()));
        while (LibraryBackup::list(folder.path()).size() < 10)
            LibraryBackup::copy(library.libraryPath(), folder.path(),
                QDateTime::fromString(future, QStringLiteral("yyyyMMdd-HHmmss")));
        for (int i = 0; i < damagedAmongThem; ++i)
            LibraryBackup::markDamaged(LibraryBackup::copy(library.libraryPath(), folder.path(),
                QDateTime::fromString(future, QStringLiteral("yyyyMMdd-HHmmss"))));
        const QString oldest = LibraryBackup::list(folder.path()).last().path;
        const QString made
            = LibraryBackup::copy(library.libraryPath(), folder.path(), QDateTime::currentDateTime());
        LibraryBackup::prune(folder.path());

        const QList<LibraryBackup::Entry> entries = LibraryBackup::list(folder.path());
        QCOMPARE(entries.first().path, made);
        QVERIFY(!QFile::exists(oldest));
        int sound = 0;
        for (const LibraryBackup::Entry& entry : entries)
            sound += entry.damaged ? 0 : 1;
        QCOMPARE(sound, LibraryBackup::kKept);
        QCOMPARE(entries.size() - sound, std::min(damagedAmongThem, LibraryBackup::kKeptDamaged));
    }

    void copyHoldsWholeChangesWhileTheLibraryIsWritten()
    {
        LibraryFixture library;
        library.create({QStringLiteral("类别")}, {});
        fillWithScripts(library.libraryPath(), 3000);
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

    void snapshotHoldsTheLibraryBeforeTheFirstWrite_data()
    {
        QTest::addColumn<bool>("copyWhileWriting");
        QTest::newRow("copied after the writes") << false;
        QTest::newRow("copied while the program writes") << true;
    }

    void snapshotHoldsTheLibraryBeforeTheFirstWrite()
    {
        // The program's connection changes every page of the library, grows it and shrinks it
        // again, while or before the copy is made: the copy is the library before, byte for byte.
        QFETCH(bool, copyWhileWriting);
        LibraryFixture library;
        library.create({QStringLiteral("类别")}, {});
        fillWithScripts(library.libraryPath(), 2000);
        const QByteArray before = fileContents(library.libraryPath());
        QTemporaryDir folder;
        const QString copyPath = folder.filePath(QStringLiteral("copy.part"));
        PageSnapshot snapshot(library.libraryPath(), copyPath);
        QVERIFY(!snapshot.begun());

        Database program;
        program.open(library.libraryPath(), Database::OpenMode::ExistingOnly);
        std::optional<std::thread> copier;
        std::atomic_bool copied = false;
        QString copyFailure;
        auto copy = [&] {
            try {
                snapshot.fillIn();
            } catch (const FeylumeError& error) {
                copyFailure = error.message();
            }
            copied = true;
        };
        program.exec(QStringLiteral("UPDATE tjs SET cjs_zzm = 'first'"));
        QVERIFY(snapshot.begun());
        if (copyWhileWriting)
            copier.emplace(copy);
        for (int round = 0; round < 20 && !(copyWhileWriting && copied); ++round) {
            program.exec(
                QStringLiteral("UPDATE tjs SET cjs_text = hex(randomblob(900)) WHERE cjs_id % 3 = %1")
                    .arg(round % 3));
            program.exec(
                QStringLiteral("INSERT INTO tjs(cjs_name, cjs_type, cjs_text) "
                               "SELECT 'grown' || cjs_id, '类别', cjs_text FROM tjs WHERE cjs_id < 300"));
            program.exec(QStringLiteral("DELETE FROM tjs WHERE cjs_name LIKE 'grown%'"));
            program.exec(QStringLiteral("VACUUM"));
        }
        if (copier)
            copier->join();
        else
            copy();
        QCOMPARE(copyFailure, QString());
        snapshot.finish();
        QCOMPARE(fileContents(copyPath), before);
        QVERIFY(fileContents(library.libraryPath()) != before);
    }

    void snapshotLeavesNothingUnlessTheLibraryIsWritten()
    {
        LibraryFixture library;
        library.createSmall();
        QTemporaryDir folder;
        const QString copyPath = folder.filePath(QStringLiteral("copy.part"));
        {
            PageSnapshot snapshot(library.libraryPath(), copyPath);
            Database program;
            program.open(library.libraryPath(), Database::OpenMode::ExistingOnly);
            Statement read(program, QStringLiteral("SELECT count(*) FROM tjs"));
            QVERIFY(read.step());
            QVERIFY(!snapshot.begun());
        }
        QVERIFY(!QFile::exists(copyPath));
        {
            // A copy begun and never finished goes with the snapshot.
            PageSnapshot snapshot(library.libraryPath(), copyPath);
            Database program;
            program.open(library.libraryPath(), Database::OpenMode::ExistingOnly);
            program.exec(QStringLiteral("DELETE FROM tjs"));
            QVERIFY(QFile::exists(copyPath));
        }
        QVERIFY(!QFile::exists(copyPath));
    }

    void snapshotRefusesALibraryWrittenByAnotherProgram()
    {
        LibraryFixture library;
        library.createSmall();
        QTemporaryDir folder;
        PageSnapshot snapshot(library.libraryPath(), folder.filePath(QStringLiteral("copy.part")));
        Database program;
        program.open(library.libraryPath(), Database::OpenMode::ExistingOnly);
        program.exec(QStringLiteral("DELETE FROM tjs WHERE cjs_id = 1"));
        {
            // Another program's writes bypass the snapshot: the copy would mix two libraries.
            Database other;
            other.open(library.libraryPath(), Database::OpenMode::CreateIfMissing);
            other.exec(QStringLiteral("DELETE FROM tjs"));
        }
        snapshot.fillIn();
        QVERIFY_THROWS_EXCEPTION(FeylumeError, snapshot.finish());
    }

    void identicalLibrariesAreFound()
    {
        LibraryFixture library;
        library.createSmall();
        QTemporaryDir folder;
        // The same library copied page by page and as a plain file.
        const QString first
            = LibraryBackup::copy(library.libraryPath(), folder.path(), QDateTime::currentDateTime());
        const QString second
            = LibraryBackup::copyFile(library.libraryPath(), folder.path(), QDateTime::currentDateTime());
        QVERIFY(LibraryBackup::sameLibrary(first, second));
        {
            Database db;
            db.open(library.libraryPath(), Database::OpenMode::ExistingOnly);
            db.exec(QStringLiteral("UPDATE tjs SET cjs_zzm = 'y' WHERE cjs_id = 1"));
        }
        const QString third
            = LibraryBackup::copy(library.libraryPath(), folder.path(), QDateTime::currentDateTime());
        QVERIFY(!LibraryBackup::sameLibrary(second, third));
        QCOMPARE(LibraryBackup::dropOlderCopiesOf(third), 0);
        QCOMPARE(LibraryBackup::dropOlderCopiesOf(second), 1);
        QVERIFY(!QFile::exists(first));
        QCOMPARE(LibraryBackup::list(folder.path()).size(), 2);
    }

    void leftoversOfCutCopiesAreRemoved()
    {
        QTemporaryDir folder;
        const QDateTime now = QDateTime::currentDateTime();
        const QList<std::pair<QString, QDateTime>> files {
            {QStringLiteral("qvlb-20240101-000000-3.db.part"), now.addSecs(-3600)},
            {QStringLiteral("qvlb-20240101-000000-3.db.part-journal"), now.addSecs(-3600)},
            {QStringLiteral("qvlb-run-42.part"), now.addDays(400)},
            {QStringLiteral("qvlb-run-43.part"), now},
            {QStringLiteral("qvlb-20240101-000000-2.db"), now.addSecs(-3600)},
            {QStringLiteral("mine.part"), now.addSecs(-3600)},
        };
        for (const auto& [name, time] : files) {
            putFile(folder.filePath(name), "piece");
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
        }
        LibraryBackup::removeLeftovers(folder.path());
        QCOMPARE(namesIn(folder.path()),
            QStringList({QStringLiteral("mine.part"), QStringLiteral("qvlb-20240101-000000-2.db"),
                QStringLiteral("qvlb-run-43.part")}));
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
