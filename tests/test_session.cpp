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

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QSplitter>
#include <QtTest>

namespace {
QSplitter* pageSplitter(const TForm1& form)
{
    return form.findChild<QSplitter*>(QStringLiteral("Panel1Splitter"));
}

bool expanded(const TForm1& form, const QString& category)
{
    return form.Treeclass->isExpanded(form.Treeclass->nodeAt(form.FindNodeIndex(category, false)));
}
} // namespace

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
            form->ClientSplitter->setSizes({200, 250, 170});
            pageSplitter(*form)->setSizes({120, 300});
            form->Treeclass->expandNode(
                form->Treeclass->nodeAt(form->FindNodeIndex(QStringLiteral("时间日期"), false)));
            selectNode(*form, QStringLiteral("时钟"), true);
            form->rb3->setChecked(true);
            form->ComboBox1->setCurrentIndex(form->ComboBox1->findText(QStringLiteral("文字特效")));
            form->Edit1->setText(QStringLiteral("雪%"));
            form->FileOpen1Dialog->restore(folder.path(), QStringLiteral("脚本文件 (*.js *.vbs)"));
            form->FileSaveAs1Dialog->restore(folder.path(), QStringLiteral("文本文件 (*.txt)"));
            panes = form->ClientSplitter->sizes();
            header = pageSplitter(*form)->sizes();
            form->FindDialog1->setRequest({QStringLiteral("找"), {}, {false, true, false}});
            form->ReplaceDialog1->setRequest(
                {QStringLiteral("旧"), QStringLiteral("新"), {true, false, true}});
            QVERIFY(form->close());
        }
        auto form = start();
        QVERIFY(!form->isMaximized());
        QCOMPARE(form->geometry(), frame);
        QCOMPARE(form->ClientSplitter->sizes(), panes);
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
        QCOMPARE(form->FileOpen1Dialog->folder(), QDir(folder.path()).absolutePath());
        QCOMPARE(form->FileOpen1Dialog->filterName(), QStringLiteral("脚本文件 (*.js *.vbs)"));
        QCOMPARE(form->FileSaveAs1Dialog->filterName(), QStringLiteral("文本文件 (*.txt)"));
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

    void hostileSettingsStartWithTheDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("binary garbage")
            << QByteArray("\x00\xff[\x01window]\ngeometry=\xfe\xfe\n", 24).repeated(50);
        QTest::newRow("wrong kinds") << QByteArray(
            "[window]\ngeometry=abc\nmaximized=7\npanes=a,b,c\nheader=@Rect(1 2 3 4)\n"
            "[search]\ncolumn=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x1)\nkeyword=a, b\n"
            "[tree]\nexpanded=@ByteArray(x)\nopenScript=1, 2\n"
            "[find]\ndown=yes\ntext=@Invalid()\n");
        QTest::newRow("huge values") << QByteArray(
            "[window]\ngeometry=\"0,0,2147483647,2147483647\"\nmaximized=false\n"
            "panes=\"999999999999,1,1\"\n[search]\ncolumn=4294967296\n"
            "keyword="
            + QByteArray(100000, 'x') + "\n");
        QTest::newRow("window off every screen")
            << QByteArray("[window]\ngeometry=\"50000,50000,600,400\"\nmaximized=false\n");
        QTest::newRow("window above the screen")
            << QByteArray("[window]\ngeometry=\"10,-500,600,400\"\nmaximized=false\n");
        QTest::newRow("too large a file") << "[search]\nkeyword=big\n" + QByteArray(400 * 1024, '\n');
        QTest::newRow("a folder") << QByteArray();
    }

    void hostileSettingsStartWithTheDefaults()
    {
        QFETCH(QByteArray, content);
        const QString path = places().settingsPath;
        QDir().mkpath(QFileInfo(path).path());
        if (content.isNull())
            QVERIFY(QDir().mkpath(path));
        else
            putFile(path, content);

        auto form = start();
        QVERIFY(form->isVisible());
        QVERIFY(form->isMaximized());
        QVERIFY(form->rb1->isChecked());
        QCOMPARE(form->Edit1->text(), QString());
        QCOMPARE(form->ComboBox1->currentText(), QStringLiteral("所有分类"));
        QVERIFY(form->CurrentScriptName.isEmpty());
        QVERIFY(form->FindDialog1->request().options.down);
        QCOMPARE(form->FindDialog1->findText(), QString());
        for (int size : form->ClientSplitter->sizes())
            QVERIFY(size > 0 && size < 10000);
        // What this run leaves is a file the next run reads.
        QVERIFY(form->close());
        if (!content.isNull())
            QVERIFY(fileContents(path).size() < 4096);
    }
};

QTEST_MAIN(TestSession)
#include "test_session.moc"
