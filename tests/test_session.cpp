// Where the user was, remembered from one run to the next: a round trip through the settings
// file, and settings files that must not keep the program from starting with its defaults.

#include "dialogs/finddialog.h"
#include "dialogs/replacedialog.h"
#include "dialogs/scriptfiledialog.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "store/query.h"
#include "support/filecontents.h"
#include "support/libraryfixture.h"
#include "support/mainwindowfixture.h"
#include "support/windowparts.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QtTest>

#include <sys/stat.h>

namespace {
// What stands where the settings file belongs.
enum class Place { File, Folder, Fifo, EndlessDevice };

// The kind of what stands at the path, and where it leads when it is a link.
QByteArray describe(const QString& path)
{
    struct stat status
    {
    };
    if (lstat(QFile::encodeName(path).constData(), &status) != 0)
        return "missing";
    return QByteArray::number(status.st_mode & S_IFMT) + ' ' + QFile::encodeName(QFile::symLinkTarget(path));
}

QString rectText(const QRect& rect)
{
    return QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

QSplitter* pageSplitter(const TForm1& form)
{
    return form.findChild<QSplitter*>(QStringLiteral("Panel1Splitter"));
}

bool expanded(const TForm1& form, const QString& category)
{
    return form.Treeclass->isExpanded(form.Treeclass->nodeAt(form.FindNodeIndex(category, false)));
}
} // namespace

Q_DECLARE_METATYPE(Place)

class TestSession : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<LibraryFixture> m_library;
    std::unique_ptr<QTemporaryDir> m_config;

    AppPlaces places() const { return placesRemembering(m_library->appDir(), m_config->path()); }

    // Starts the window as the program does, shown the way the user left it.
    std::unique_ptr<TForm1> start()
    {
        auto form = std::make_unique<TForm1>(places());
        form->showAsRemembered();
        if (!QTest::qWaitFor([&] { return form->Timer1 == nullptr; }, 5000))
            qWarning("deferred load did not finish");
        return form;
    }

private slots:
    void init()
    {
        m_library = std::make_unique<LibraryFixture>();
        m_library->createSmall();
        m_config = std::make_unique<QTemporaryDir>();
    }

    void cleanup()
    {
        m_library.reset();
        m_config.reset();
    }

    void placesComeBackAtTheNextStart()
    {
        QTemporaryDir folder;
        const QRect frame(40, 30, 620, 500);
        QList<int> panes;
        QList<int> header;
        {
            auto form = start();
            QVERIFY(form->isMaximized());
            form->showNormal();
            form->setGeometry(frame);
            (&windowPart<QSplitter>(*form, QStringLiteral("ClientArea")))->setSizes({200, 250, 170});
            pageSplitter(*form)->setSizes({120, 300});
            form->Treeclass->expandNode(
                form->Treeclass->nodeAt(form->FindNodeIndex(QStringLiteral("时间日期"), false)));
            selectNode(*form, QStringLiteral("时钟"), true);
            form->rb3->setChecked(true);
            form->ComboBox1->setCurrentIndex(form->ComboBox1->findText(QStringLiteral("文字特效")));
            form->Edit1->setText(QStringLiteral("雪%"));
            (&windowPart<ScriptFileDialog>(*form, QStringLiteral("FileOpen1Dialog")))
                ->restore(folder.path(), QStringLiteral("脚本文件 (*.js *.vbs)"));
            (&windowPart<ScriptFileDialog>(*form, QStringLiteral("FileSaveAs1Dialog")))
                ->restore(folder.path(), QStringLiteral("文本文件 (*.txt)"));
            panes = (&windowPart<QSplitter>(*form, QStringLiteral("ClientArea")))->sizes();
            header = pageSplitter(*form)->sizes();
            form->FindDialog1->setRequest({QStringLiteral("找"), {}, {false, true, false}});
            form->ReplaceDialog1->setRequest(
                {QStringLiteral("旧"), QStringLiteral("新"), {true, false, true}});
            QVERIFY(form->close());
        }
        auto form = start();
        QVERIFY(!form->isMaximized());
        QCOMPARE(form->geometry(), frame);
        QCOMPARE((&windowPart<QSplitter>(*form, QStringLiteral("ClientArea")))->sizes(), panes);
        QCOMPARE(pageSplitter(*form)->sizes(), header);
        QCOMPARE(panes.first(), 200);
        QVERIFY(expanded(*form, QStringLiteral("时间日期")));
        QVERIFY(!expanded(*form, QStringLiteral("文字特效")));
        QCOMPARE(form->CurrentScriptName, QStringLiteral("时钟"));
        QCOMPARE(form->ADOQuery2->fieldValue(QStringLiteral("cjs_zzm")).toString(), QStringLiteral("王二"));
        QCOMPARE(form->Treeclass->selectedNode()->text(), QStringLiteral("时钟"));
        QVERIFY(form->rb3->isChecked());
        QCOMPARE(form->ComboBox1->currentText(), QStringLiteral("文字特效"));
        QCOMPARE(form->Edit1->text(), QStringLiteral("雪%"));
        QCOMPARE((&windowPart<ScriptFileDialog>(*form, QStringLiteral("FileOpen1Dialog")))->folder(),
            QDir(folder.path()).absolutePath());
        QCOMPARE((&windowPart<ScriptFileDialog>(*form, QStringLiteral("FileOpen1Dialog")))->filterName(),
            QStringLiteral("脚本文件 (*.js *.vbs)"));
        QCOMPARE((&windowPart<ScriptFileDialog>(*form, QStringLiteral("FileSaveAs1Dialog")))->filterName(),
            QStringLiteral("文本文件 (*.txt)"));
        const TextBoxSearch::Request find = form->FindDialog1->request();
        QCOMPARE(find.what, QStringLiteral("找"));
        QCOMPARE(find.options.down, false);
        QCOMPARE(find.options.matchCase, true);
        QCOMPARE(find.options.wholeWord, false);
        const TextBoxSearch::Request replace = form->ReplaceDialog1->request();
        QCOMPARE(replace.what, QStringLiteral("旧"));
        QCOMPARE(replace.with, QStringLiteral("新"));
        QCOMPARE(replace.options.matchCase, false);
        QCOMPARE(replace.options.wholeWord, true);
    }

    void aMaximisedWindowRestoresToTheRememberedSize()
    {
        const QRect frame(60, 40, 700, 520);
        {
            auto form = start();
            form->showNormal();
            form->setGeometry(frame);
            form->showMaximized();
            QVERIFY(form->close());
        }
        auto form = start();
        QVERIFY(form->isMaximized());
        form->showNormal();
        QTRY_COMPARE(form->geometry(), frame);
    }

    void aScriptThatIsGoneIsNotReopened()
    {
        {
            auto form = start();
            selectNode(*form, QStringLiteral("时钟"), true);
            QVERIFY(form->close());
        }
        m_library->create(
            {QStringLiteral("时间日期")}, {{QStringLiteral("倒计时"), QStringLiteral("时间日期")}});
        auto form = start();
        QVERIFY(form->ADOQuery2->isEmpty());
        QVERIFY(form->CurrentScriptName.isEmpty());
    }

    void aRememberedSizeLargerThanTheScreenIsFitted_data()
    {
        QTest::addColumn<QRect>("remembered");
        QTest::newRow("far too large") << QRect(0, 0, 99999, 99999);
        QTest::newRow("far too large, away from the corner") << QRect(300, 200, 99999, 99999);
        QTest::newRow("only too wide") << QRect(100, 50, 5000, 500);
    }

    void aRememberedSizeLargerThanTheScreenIsFitted()
    {
        QFETCH(QRect, remembered);
        const QString path = places().settingsPath;
        QDir().mkpath(QFileInfo(path).path());
        putFile(path,
            QStringLiteral("[window]\ngeometry=\"%1,%2,%3,%4\"\nmaximized=false\n")
                .arg(remembered.x())
                .arg(remembered.y())
                .arg(remembered.width())
                .arg(remembered.height())
                .toUtf8());

        auto form = start();
        QVERIFY(!form->isMaximized());
        // The whole window, frame and title bar included, lies on the screen and fills it in the
        // direction it was too large; a direction that fitted well keeps its size.
        const QRect room = form->screen()->availableGeometry();
        QVERIFY2(room.contains(form->frameGeometry()),
            qPrintable(QStringLiteral("%1 outside %2").arg(rectText(form->frameGeometry()), rectText(room))));
        const QSize size = form->geometry().size();
        if (remembered.width() <= room.width() * 3 / 4)
            QCOMPARE(size.width(), remembered.width());
        else
            QVERIFY(size.width() > room.width() * 9 / 10);
        if (remembered.height() <= room.height() * 3 / 4)
            QCOMPARE(size.height(), remembered.height());
        else
            QVERIFY(size.height() > room.height() * 9 / 10);
    }

    void hostileSettingsStartWithTheDefaults_data()
    {
        QTest::addColumn<Place>("place");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("binary garbage")
            << Place::File << QByteArray("\x00\xff[\x01window]\ngeometry=\xfe\xfe\n", 24).repeated(50);
        QTest::newRow("wrong kinds") << Place::File
                                     << QByteArray("[window]\ngeometry=abc\nmaximized=7\npanes=a,b,c\n"
                                                   "header=@Rect(1 2 3 4)\n"
                                                   "[search]\ncolumn=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x1)\n"
                                                   "keyword=a, b\n"
                                                   "[tree]\nexpanded=@ByteArray(x)\nopenScript=1, 2\n"
                                                   "[find]\ndown=yes\ntext=@Invalid()\n");
        QTest::newRow("huge values") << Place::File
                                     << QByteArray("[window]\ngeometry=\"0,0,2147483647,2147483647\"\n"
                                                   "maximized=false\npanes=\"999999999999,1,1\"\n"
                                                   "[search]\ncolumn=4294967296\nkeyword="
                                            + QByteArray(100000, 'x') + "\n");
        QTest::newRow("window off every screen")
            << Place::File << QByteArray("[window]\ngeometry=\"50000,50000,600,400\"\nmaximized=false\n");
        QTest::newRow("window above the screen")
            << Place::File << QByteArray("[window]\ngeometry=\"10,-500,600,400\"\nmaximized=false\n");
        QTest::newRow("too large a file")
            << Place::File << "[search]\nkeyword=big\n" + QByteArray(400 * 1024, '\n');
        QTest::newRow("a folder") << Place::Folder << QByteArray();
        // Opening a FIFO waits for a writer that never comes.
        QTest::newRow("a FIFO") << Place::Fifo << QByteArray();
        // Reading it never ends.
        QTest::newRow("a link to an endless device") << Place::EndlessDevice << QByteArray();
    }

    void hostileSettingsStartWithTheDefaults()
    {
        QFETCH(Place, place);
        QFETCH(QByteArray, content);
        const QString path = places().settingsPath;
        QDir().mkpath(QFileInfo(path).path());
        switch (place) {
        case Place::File:
            putFile(path, content);
            break;
        case Place::Folder:
            QVERIFY(QDir().mkpath(path));
            break;
        case Place::Fifo:
            QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
            break;
        case Place::EndlessDevice:
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
            break;
        }
        const QByteArray before = describe(path);

        auto form = start();
        QVERIFY(form->isVisible());
        QVERIFY(form->isMaximized());
        QVERIFY(form->rb1->isChecked());
        QCOMPARE(form->Edit1->text(), QString());
        QCOMPARE(form->ComboBox1->currentText(), QStringLiteral("所有分类"));
        QVERIFY(form->CurrentScriptName.isEmpty());
        QVERIFY(form->FindDialog1->request().options.down);
        QCOMPARE(form->FindDialog1->findText(), QString());
        for (int size : (&windowPart<QSplitter>(*form, QStringLiteral("ClientArea")))->sizes())
            QVERIFY(size > 0 && size < 10000);
        QVERIFY(form->close());
        // What this run leaves is a file the next run reads; what is no file of ours stays as it was.
        if (place == Place::File)
            QVERIFY(fileContents(path).size() < 4096);
        else
            QCOMPARE(describe(path), before);
    }
};

QTEST_MAIN(TestSession)
#include "test_session.moc"
