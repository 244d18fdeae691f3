// The run's backup as the window makes it, a backup that fails, restoring a backup from the
// management menu, and a damaged library found at start.

#include "main/categorytree.h"
#include "main/form1.h"
#include "main/namingcommands.h"
#include "store/librarybackup.h"
#include "store/libraryguard.h"
#include "support/damagedlibrary.h"
#include "support/filecontents.h"
#include "support/libraryfixture.h"
#include "support/mainwindowfixture.h"
#include "support/modalanswerer.h"
#include "support/windowparts.h"
#include "widgets/statusbar.h"

#include <QAction>
#include <QListWidget>
#include <QtTest>

namespace {
QStringList categoryNames(const TForm1& form)
{
    QStringList names;
    for (int i = 0; i < form.Treeclass->topLevelItemCount(); ++i)
        names << form.Treeclass->topLevelItem(i)->text(0);
    return names;
}

QStringList categoriesIn(const QString& path)
{
    Database db;
    db.open(path, Database::OpenMode::ExistingOnly);
    Statement names(db, QStringLiteral("SELECT ctype_name FROM ttype ORDER BY rowid"));
    QStringList list;
    while (names.step())
        list << names.value(0).toString();
    return list;
}

void addCategoryIn(const QString& path, const QString& name)
{
    Database db;
    db.open(path, Database::OpenMode::CreateIfMissing);
    Statement add(db, QStringLiteral("INSERT INTO ttype VALUES (:name)"));
    add.bind(QStringLiteral(":name"), name);
    add.run();
}

const QStringList kSmallCategories
    = {QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("空类别")};
} // namespace

class TestRestore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<LibraryFixture> m_library;

    QString backupDir() const { return m_library->appDir() + QStringLiteral("data/backups/"); }
    QList<LibraryBackup::Entry> backups() const { return LibraryBackup::list(backupDir()); }

    std::unique_ptr<TForm1> startAndLetTheGuardFinish()
    {
        auto form = startMainWindow(m_library->appDir());
        if (!QTest::qWaitFor([&] { return !(&windowPart<LibraryGuard>(*form))->isBusy(); }, 10000))
            qWarning("the library guard did not finish");
        // Its results arrive through the event loop.
        letProgramGoIdle();
        return form;
    }

private slots:
    void init()
    {
        m_library = std::make_unique<LibraryFixture>();
        m_library->createSmall();
    }

    void cleanup() { m_library.reset(); }

    void aRunKeepsItsBackupOnlyWhenItChangesTheLibrary()
    {
        {
            auto form = startAndLetTheGuardFinish();
            // Nothing is copied, not even for a while, by a run that only reads.
            QCOMPARE(QDir(backupDir()).entryList(QDir::Files), QStringList());
        }
        QCOMPARE(QDir(backupDir()).entryList(QDir::Files), QStringList());

        auto form = startAndLetTheGuardFinish();
        windowPart<NamingCommands>(*form).addCategory(QStringLiteral("新类别"));
        letProgramGoIdle();
        windowPart<NamingCommands>(*form).addCategory(QStringLiteral("第二个"));
        letProgramGoIdle();
        QTRY_VERIFY(!(&windowPart<LibraryGuard>(*form))->isBusy());
        QCOMPARE(backups().size(), 1);
        form.reset();
        QCOMPARE(backups().size(), 1);
        // The backup holds the library as it was before the run's first change.
        QCOMPARE(categoriesIn(backups().first().path), kSmallCategories);
        QVERIFY(categoriesIn(m_library->libraryPath()).contains(QStringLiteral("第二个")));
    }

    void failedBackupIsToldOnceAndNeverStopsTheChange()
    {
        putFile(backupDir().chopped(1), "in the way");
        auto form = startAndLetTheGuardFinish();
        QCOMPARE(form->Stb->notice(), QString());
        windowPart<NamingCommands>(*form).addCategory(QStringLiteral("新类别"));
        letProgramGoIdle();
        QTRY_VERIFY2(form->Stb->notice().startsWith(QStringLiteral("脚本库备份失败")),
            qPrintable(form->Stb->notice()));
        form->Stb->showNotice(QString());
        windowPart<NamingCommands>(*form).addCategory(QStringLiteral("又一个"));
        letProgramGoIdle();
        QTRY_VERIFY(!(&windowPart<LibraryGuard>(*form))->isBusy());
        letProgramGoIdle();
        QCOMPARE(form->Stb->notice(), QString());
        QVERIFY(categoriesIn(m_library->libraryPath()).contains(QStringLiteral("新类别")));
        QVERIFY(categoriesIn(m_library->libraryPath()).contains(QStringLiteral("又一个")));
    }

    void restoringABackupBringsTheLibraryBack()
    {
        auto form = startAndLetTheGuardFinish();
        windowPart<NamingCommands>(*form).addCategory(QStringLiteral("新类别"));
        letProgramGoIdle();
        QVERIFY(categoryNames(*form).contains(QStringLiteral("新类别")));

        auto* item = form->findChild<QAction*>(QStringLiteral("RestoreBackup1"));
        QVERIFY(item && item->isEnabled());
        QStringList listed;
        ModalAnswerer answerer({{QStringLiteral("恢复"), {}, 0,
                                    [&](QWidget* dialog) {
                                        auto* list
                                            = dialog->findChild<QListWidget*>(QStringLiteral("BackupList"));
                                        for (int i = 0; i < list->count(); ++i)
                                            listed << list->item(i)->text();
                                        list->setCurrentRow(0);
                                    }},
            {QStringLiteral("&Yes")}});
        item->trigger();
        QTRY_VERIFY(answerer.done());
        QCOMPARE(listed.size(), 1);
        QVERIFY2(listed.first().endsWith(QStringLiteral("4 个脚本")), qPrintable(listed.first()));

        QCOMPARE(categoryNames(*form), kSmallCategories);
        QCOMPARE(form->panelText(TForm1::TotalPanel), QStringLiteral("总脚本数:4"));
        QCOMPARE(LibraryBackup::integrityProblem(m_library->libraryPath()), QString());
        QCOMPARE(categoriesIn(m_library->libraryPath()), kSmallCategories);
        // The library as it was before the restore is the newest backup.
        QCOMPARE(backups().size(), 2);
        QVERIFY(categoriesIn(backups().first().path).contains(QStringLiteral("新类别")));
        // The window works on the restored library.
        selectNode(*form, QStringLiteral("时钟"), true);
        QCOMPARE(form->CurrentScriptName, QStringLiteral("时钟"));
        windowPart<NamingCommands>(*form).addCategory(QStringLiteral("再加"));
        QVERIFY(categoriesIn(m_library->libraryPath()).contains(QStringLiteral("再加")));
    }

    void damagedLibraryOffersTheNewestGoodBackup()
    {
        LibraryBackup::copy(m_library->libraryPath(), backupDir(), QDateTime::currentDateTime().addDays(-1));
        damageNameIndex(m_library->libraryPath());
        const QByteArray damaged = fileContents(m_library->libraryPath());

        // Opening the current-script query reads the damaged index and fails as any such read
        // does; the check then finds the damage and offers the backup.
        ModalAnswerer answerer({{QStringLiteral("OK")}, {QStringLiteral("&Yes")}});
        auto form = startMainWindow(m_library->appDir());
        QTRY_VERIFY_WITH_TIMEOUT(answerer.done(), 10000);
        QCOMPARE(answerer.seen().at(0).text, QStringLiteral("database disk image is malformed."));
        const SeenBox& offer = answerer.seen().at(1);
        QCOMPARE(offer.title, QStringLiteral("Confirm"));
        QVERIFY2(offer.text.startsWith(QStringLiteral("脚本库文件已损坏")), qPrintable(offer.text));

        QCOMPARE(LibraryBackup::integrityProblem(m_library->libraryPath()), QString());
        QCOMPARE(categoryNames(*form), kSmallCategories);
        // The damaged library is kept among the backups, damage and all.
        QCOMPARE(backups().size(), 2);
        QCOMPARE(fileContents(backups().first().path).size(), damaged.size());
        QVERIFY(!LibraryBackup::integrityProblem(backups().first().path).isEmpty());
    }

    void everyDamageIsOfferedTheNewestSoundBackup_data()
    {
        QTest::addColumn<int>("damage");
        QTest::addColumn<QStringList>("boxesBefore");
        QTest::addColumn<QString>("found");
        QTest::newRow("a page of the script table") << 0 << QStringList {QStringLiteral("OK")} << "脚本表";
        QTest::newRow("a page of the category table") << 1 << QStringList {QStringLiteral("OK")} << "类别表";
        QTest::newRow("a file cut short")
            << 2 << QStringList {QStringLiteral("OK"), QStringLiteral("OK")} << "文件不完整";
        QTest::newRow("an overwritten header")
            << 3 << QStringList {QStringLiteral("OK"), QStringLiteral("OK")} << "文件开头已被改写";
    }

    void everyDamageIsOfferedTheNewestSoundBackup()
    {
        QFETCH(int, damage);
        QFETCH(QStringList, boxesBefore);
        QFETCH(QString, found);
        // An older sound backup, a newer one, and a still newer one found damaged before.
        LibraryBackup::copy(m_library->libraryPath(), backupDir(), QDateTime::currentDateTime().addDays(-2));
        const QString newestSound = LibraryBackup::copy(
            m_library->libraryPath(), backupDir(), QDateTime::currentDateTime().addDays(-1));
        LibraryBackup::markDamaged(
            LibraryBackup::copyFile(m_library->libraryPath(), backupDir(), QDateTime::currentDateTime()));
        switch (damage) {
        case 0:
            damagePageOf(m_library->libraryPath(), QStringLiteral("tjs"));
            break;
        case 1:
            damagePageOf(m_library->libraryPath(), QStringLiteral("ttype"));
            break;
        case 2:
            cutShort(m_library->libraryPath(), 3);
            break;
        default:
            overwriteHeader(m_library->libraryPath());
        }

        QList<Answer> answers;
        for (const QString& button : boxesBefore)
            answers.append({button});
        answers.append({QStringLiteral("&Yes")});
        ModalAnswerer answerer(answers);
        auto form = startMainWindow(m_library->appDir());
        QTRY_VERIFY_WITH_TIMEOUT(answerer.done(), 15000);
        const SeenBox& offer = answerer.seen().last();
        QCOMPARE(offer.title, QStringLiteral("Confirm"));
        QVERIFY2(offer.text.startsWith(QStringLiteral("脚本库文件已损坏：")), qPrintable(offer.text));
        QVERIFY2(offer.text.contains(found), qPrintable(offer.text));
        // The newest sound backup is offered, told in words, without SQLite's own.
        QVERIFY2(offer.text.contains(
                     QDateTime::currentDateTime().addDays(-1).toString(QStringLiteral("yyyy-MM-dd"))),
            qPrintable(offer.text));
        for (const QChar c : offer.text)
            QVERIFY2(c.unicode() < 'a' || c.unicode() > 'z', qPrintable(offer.text));

        QCOMPARE(LibraryBackup::integrityProblem(m_library->libraryPath()), QString());
        QVERIFY(LibraryBackup::sameLibrary(m_library->libraryPath(), newestSound));
        QCOMPARE(categoryNames(*form), kSmallCategories);
        QCOMPARE(form->panelText(TForm1::TotalPanel), QStringLiteral("总脚本数:4"));
    }

    void decliningTheOfferCostsNoSoundBackup()
    {
        for (int i = LibraryBackup::kKept; i > 0; --i)
            LibraryBackup::copy(
                m_library->libraryPath(), backupDir(), QDateTime::currentDateTime().addDays(-i));
        const QString newestSound = backups().first().path;
        damageNameIndex(m_library->libraryPath());
        for (int run = 0; run < 3; ++run) {
            ModalAnswerer answerer({{QStringLiteral("OK")}, {QStringLiteral("&No")}});
            auto form = startMainWindow(m_library->appDir());
            QTRY_VERIFY_WITH_TIMEOUT(answerer.done(), 15000);
            windowPart<NamingCommands>(*form).addCategory(QStringLiteral("第%1次").arg(run));
            letProgramGoIdle();
            QTRY_VERIFY(!(&windowPart<LibraryGuard>(*form))->isBusy());
            letProgramGoIdle();
            form.reset();
            int sound = 0;
            for (const LibraryBackup::Entry& backup : backups())
                sound += backup.damaged ? 0 : 1;
            QCOMPARE(sound, LibraryBackup::kKept);
            QVERIFY(QFile::exists(newestSound));
            // The run's backup is the damaged library before its change, kept aside as damaged.
            QCOMPARE(backups().first().damaged, true);
            QCOMPARE(backups().size(), LibraryBackup::kKept + std::min(run + 1, LibraryBackup::kKeptDamaged));
        }
    }

    void restoringSpendsOneSlotAndKeepsWhatItPutBack()
    {
        // The oldest of ten sound backups holds the library as made; the newer ones each hold
        // one more category; a damaged one is listed but cannot be chosen.
        const QDateTime start = QDateTime::currentDateTime().addDays(-20);
        const QString oldest = LibraryBackup::copy(m_library->libraryPath(), backupDir(), start);
        for (int i = 1; i < LibraryBackup::kKept; ++i) {
            addCategoryIn(m_library->libraryPath(), QStringLiteral("加%1").arg(i));
            LibraryBackup::copy(m_library->libraryPath(), backupDir(), start.addDays(i));
        }
        LibraryBackup::markDamaged(
            LibraryBackup::copyFile(m_library->libraryPath(), backupDir(), start.addDays(11)));
        QStringList listed;
        auto restore = [&listed](TForm1& form, const QString& path) {
            listed.clear();
            ModalAnswerer answerer({{QStringLiteral("恢复"), {}, 0,
                                        [&](QWidget* dialog) {
                                            auto* list = dialog->findChild<QListWidget*>(
                                                QStringLiteral("BackupList"));
                                            for (int i = 0; i < list->count(); ++i) {
                                                QListWidgetItem* item = list->item(i);
                                                listed << item->text();
                                                if (item->data(Qt::UserRole).toString() == path)
                                                    list->setCurrentItem(item);
                                                if (item->text().endsWith(QStringLiteral("已损坏")))
                                                    QVERIFY(!(item->flags() & Qt::ItemIsEnabled));
                                            }
                                        }},
                {QStringLiteral("&Yes")}});
            form.findChild<QAction*>(QStringLiteral("RestoreBackup1"))->trigger();
            QTRY_VERIFY(answerer.done());
        };

        auto form = startAndLetTheGuardFinish();
        restore(*form, oldest);
        QCOMPARE(listed.size(), LibraryBackup::kKept + 1);
        QVERIFY2(listed.first().endsWith(QStringLiteral("已损坏")), qPrintable(listed.first()));
        QCOMPARE(categoryNames(*form), kSmallCategories);
        // The backup just put back stays; the replaced library took the oldest other's slot.
        QVERIFY(QFile::exists(oldest));
        int sound = 0;
        for (const LibraryBackup::Entry& backup : backups())
            sound += backup.damaged ? 0 : 1;
        QCOMPARE(sound, LibraryBackup::kKept);
        QVERIFY(categoriesIn(backups().first().path).contains(QStringLiteral("加9")));

        // Undoing the restore, then restoring once more: the same library is never kept twice.
        restore(*form, backups().first().path);
        QVERIFY(categoryNames(*form).contains(QStringLiteral("加9")));
        restore(*form, backups().first().path);
        QCOMPARE(categoryNames(*form), kSmallCategories);
        int copiesOfTheFirst = 0;
        int copiesOfTheLast = 0;
        for (const LibraryBackup::Entry& backup : backups()) {
            copiesOfTheFirst += LibraryBackup::sameLibrary(backup.path, m_library->libraryPath()) ? 1 : 0;
            copiesOfTheLast
                += !backup.damaged && categoriesIn(backup.path).contains(QStringLiteral("加9")) ? 1 : 0;
        }
        QCOMPARE(copiesOfTheFirst, 1);
        QCOMPARE(copiesOfTheLast, 1);
    }
};

QTEST_MAIN(TestRestore)
#include "test_restore.moc"
