// The run's backup as the window makes it, a backup that fails, restoring a backup from the
// management menu, and a damaged library found at start.

#include "main/categorytree.h"
#include "main/form1.h"
#include "store/librarybackup.h"
#include "store/libraryguard.h"
#include "support/damagedlibrary.h"
#include "support/filecontents.h"
#include "support/libraryfixture.h"
#include "support/mainwindowfixture.h"
#include "support/modalanswerer.h"
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
        if (!QTest::qWaitFor([&] { return !form->LibraryGuard1->isBusy(); }, 10000))
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
            QCOMPARE(backups().size(), 1);
        }
        QCOMPARE(backups().size(), 0);

        auto form = startAndLetTheGuardFinish();
        form->AddCategory(QStringLiteral("新类别"));
        letProgramGoIdle();
        form.reset();
        QCOMPARE(backups().size(), 1);
        // The backup holds the library as it was before the change.
        QCOMPARE(categoriesIn(backups().first().path), kSmallCategories);
        QVERIFY(categoriesIn(m_library->libraryPath()).contains(QStringLiteral("新类别")));
    }

    void failedBackupIsToldOnceAndNeverStopsTheChange()
    {
        putFile(backupDir().chopped(1), "in the way");
        auto form = startAndLetTheGuardFinish();
        QVERIFY2(form->Stb->notice().startsWith(QStringLiteral("脚本库备份失败")),
            qPrintable(form->Stb->notice()));
        form->Stb->showNotice(QString());
        form->AddCategory(QStringLiteral("新类别"));
        letProgramGoIdle();
        QTRY_VERIFY(!form->LibraryGuard1->isBusy());
        letProgramGoIdle();
        QCOMPARE(form->Stb->notice(), QString());
        QVERIFY(categoriesIn(m_library->libraryPath()).contains(QStringLiteral("新类别")));
    }

    void restoringABackupBringsTheLibraryBack()
    {
        auto form = startAndLetTheGuardFinish();
        form->AddCategory(QStringLiteral("新类别"));
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
        form->AddCategory(QStringLiteral("再加"));
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
};

QTEST_MAIN(TestRestore)
#include "test_restore.moc"
