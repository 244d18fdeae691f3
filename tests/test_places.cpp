// Where the program finds its library, sample and preview file, and the first start of an
// installed program.

#include "dbctrls/dbmemo.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "main/previewpane.h"
#include "store/appplaces.h"
#include "store/database.h"
#include "support/filecontents.h"
#include "support/libraryfixture.h"
#include "support/mainwindowfixture.h"
#include "support/modalanswerer.h"
#include "support/userinput.h"
#include "support/windowparts.h"
#include "text/previewfile.h"
#include "widgets/shellopen.h"
#include "widgets/statusbar.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {
// An installed program's tree and a user's home folders, all inside one temporary folder.
class InstalledLayout
{
public:
    QString programDir() const { return m_root.path() + QStringLiteral("/usr/bin/"); }
    QString samplePath() const { return m_root.path() + QStringLiteral("/usr/share/feylume/qvlb.db"); }
    QString portablePath() const { return programDir() + QStringLiteral("data/qvlb.db"); }
    UserFolders user() const
    {
        return {m_root.path() + QStringLiteral("/home/.local/share"),
            m_root.path() + QStringLiteral("/home/.config")};
    }
    QString userLibrary() const { return user().dataHome + QStringLiteral("/feylume/qvlb.db"); }
    AppPlaces places() const { return AppPlaces::forProgram(programDir(), user()); }

    // Puts a copy of the library file at path, making its folders.
    static void place(const QString& library, const QString& path)
    {
        QDir().mkpath(QFileInfo(path).path());
        QVERIFY(QFile::copy(library, path));
    }

    LibraryFixture sample;

    InstalledLayout()
    {
        QDir().mkpath(programDir());
        sample.createSmall();
    }

private:
    QTemporaryDir m_root;
};

QStringList categoryNames(const TForm1& form)
{
    QStringList names;
    for (int i = 0; i < form.Treeclass->topLevelItemCount(); ++i)
        names << form.Treeclass->topLevelItem(i)->text(0);
    return names;
}
} // namespace

class TestPlaces : public QObject
{
    Q_OBJECT

private slots:
    void searchOrder_data()
    {
        QTest::addColumn<bool>("portable");
        QTest::addColumn<bool>("userLibrary");
        QTest::addColumn<bool>("sample");
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("copiedFrom");
        QTest::addColumn<QString>("preview");
        // Places are named by where they are: "program", "user", "sample" or empty.
        QTest::newRow("portable copy") << true << true << true << "program"
                                       << ""
                                       << "program";
        QTest::newRow("installed, library made") << false << true << true << "user"
                                                 << "sample"
                                                 << "user";
        QTest::newRow("installed, first start") << false << false << true << "user"
                                                << "sample"
                                                << "user";
        QTest::newRow("nothing anywhere") << false << false << false << "user"
                                          << ""
                                          << "user";
    }

    void searchOrder()
    {
        QFETCH(bool, portable);
        QFETCH(bool, userLibrary);
        QFETCH(bool, sample);
        QFETCH(QString, library);
        QFETCH(QString, copiedFrom);
        QFETCH(QString, preview);
        InstalledLayout layout;
        if (portable)
            InstalledLayout::place(layout.sample.libraryPath(), layout.portablePath());
        if (userLibrary)
            InstalledLayout::place(layout.sample.libraryPath(), layout.userLibrary());
        if (sample)
            InstalledLayout::place(layout.sample.libraryPath(), layout.samplePath());
        const QString userDir = layout.user().dataHome + QStringLiteral("/feylume/");
        const QHash<QString, QString> where {{QStringLiteral("program"), layout.portablePath()},
            {QStringLiteral("user"), layout.userLibrary()}, {QStringLiteral("sample"), layout.samplePath()},
            {QString(), QString()}};

        const AppPlaces places = layout.places();
        QCOMPARE(places.libraryPath, where[library]);
        QCOMPARE(QDir::cleanPath(places.sampleLibraryPath), QDir::cleanPath(where[copiedFrom]));
        QCOMPARE(places.previewDir, preview == QStringLiteral("program") ? layout.programDir() : userDir);
        QCOMPARE(places.backupDir, places.libraryDir() + QStringLiteral("backups/"));
        QCOMPARE(places.settingsPath, layout.user().configHome + QStringLiteral("/feylume/feylume.conf"));
        QCOMPARE(places.programDir, layout.programDir());
    }

    void firstStartCopiesTheSampleOnce()
    {
        InstalledLayout layout;
        InstalledLayout::place(layout.sample.libraryPath(), layout.samplePath());
        {
            auto form = std::make_unique<TForm1>(layout.places());
            form->show();
            QTRY_VERIFY(form->Timer1 == nullptr);
            QCOMPARE(
                categoryNames(*form), layout.sample.column(QStringLiteral("SELECT ctype_name FROM ttype")));
            QVERIFY2(form->Stb->notice().contains(QDir::toNativeSeparators(layout.userLibrary())),
                qPrintable(form->Stb->notice()));
        }
        QCOMPARE(fileContents(layout.userLibrary()), fileContents(layout.samplePath()));
        QVERIFY(QFileInfo(layout.userLibrary()).isWritable());
        {
            Database db;
            db.open(layout.userLibrary(), Database::OpenMode::ExistingOnly);
            db.exec(QStringLiteral("INSERT INTO ttype(ctype_name) VALUES ('我的类别')"));
        }
        // The second start keeps the user's library and says nothing about it.
        auto form = std::make_unique<TForm1>(layout.places());
        form->show();
        QTRY_VERIFY(form->Timer1 == nullptr);
        QVERIFY(categoryNames(*form).contains(QStringLiteral("我的类别")));
        QCOMPARE(form->Stb->notice(), QString());
    }

    void withoutAnyLibraryTheBoxNamesThePathLookedFor()
    {
        InstalledLayout layout;
        ModalAnswerer answerer({{QStringLiteral("OK")}, {QStringLiteral("OK")}});
        auto form = std::make_unique<TForm1>(layout.places());
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).text, QStringLiteral("无法打开数据库"));
        QCOMPARE(answerer.seen().at(0).detail, QDir::toNativeSeparators(layout.userLibrary()));
        QVERIFY(!QFile::exists(layout.userLibrary()));
    }

    void installedProgramPreviewsBesideItsLibrary()
    {
        InstalledLayout layout;
        InstalledLayout::place(layout.sample.libraryPath(), layout.userLibrary());
        auto form = std::make_unique<TForm1>(layout.places());
        PreviewPane& preview = windowPart<PreviewPane>(*form);
        preview.writePreviewFile();
        QCOMPARE(preview.previewFile(), layout.user().dataHome + QStringLiteral("/feylume/temp.htm"));
        QVERIFY(QFile::exists(preview.previewFile()));
        QVERIFY(!QFile::exists(layout.programDir() + QStringLiteral("temp.htm")));
    }

    // A portable copy that can write neither beside itself nor in data/ previews in the user's
    // data folder, which a user who never ran an installed copy does not have yet.
    void aPreviewFolderNotThereYetIsMade_data()
    {
        QTest::addColumn<bool>("fileInTheWay");
        QTest::newRow("folder missing") << false;
        QTest::newRow("a file where a folder belongs") << true;
    }

    void aPreviewFolderNotThereYetIsMade()
    {
        QFETCH(bool, fileInTheWay);
        InstalledLayout layout;
        InstalledLayout::place(layout.sample.libraryPath(), layout.portablePath());
        AppPlaces places = layout.places();
        // The superuser writes in any folder, so the places of a read-only copy are set, not found.
        places.previewDir = layout.user().dataHome + QStringLiteral("/feylume/");
        if (fileInTheWay) {
            QVERIFY(QDir().mkpath(QFileInfo(layout.user().dataHome).path()));
            putFile(layout.user().dataHome, "not a folder");
        }
        QList<QUrl> opened;
        const ShellOpen::Handler desktop = ShellOpen::setHandler([&](const QUrl& url) { opened << url; });
        const auto giveBack = qScopeGuard([&] { ShellOpen::setHandler(desktop); });
        auto form = std::make_unique<TForm1>(places);
        form->show();
        QTRY_VERIFY(form->Timer1 == nullptr);
        selectNode(*form, QStringLiteral("打字机"), true);
        letProgramGoIdle();
        UserInput::focus(form->Treeclass);

        // Answers an error box, which only the blocked folder may show.
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        UserInput::press(Qt::Key_F12);
        const QString previewFile = places.previewDir + QStringLiteral("temp.htm");
        if (!fileInTheWay) {
            QVERIFY2(answerer.seen().isEmpty(), qPrintable(answerer.seen().value(0).text));
            QCOMPARE(opened, QList<QUrl>({QUrl::fromLocalFile(previewFile)}));
            QCOMPARE(fileContents(previewFile), PreviewFile::encode(form->DBMemo2->text()));
            return;
        }
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).text,
            QStringLiteral("Cannot create folder %1.")
                .arg(layout.user().dataHome + QStringLiteral("/feylume")));
        QVERIFY(opened.isEmpty());
    }
};

QTEST_MAIN(TestPlaces)
#include "test_places.moc"
