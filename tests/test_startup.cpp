// Start-up, the deferred load, the tree's selection handling and the window's use of the store,
// on real widgets.

#include "app/form2.h"
#include "base/feylumeerror.h"
#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "main/categorytree.h"
#include "main/currentscript.h"
#include "main/form1.h"
#include "store/database.h"
#include "store/query.h"
#include "store/statements.h"
#include "support/damagedlibrary.h"
#include "support/libraryfixture.h"
#include "support/mainwindowfixture.h"
#include "support/modalanswerer.h"
#include "support/windowparts.h"
#include "widgets/errorguard.h"
#include "widgets/progressbar.h"
#include "widgets/statusbar.h"

#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QToolTip>
#include <QtTest>

namespace {
QStringList topLevelNames(const TForm1& form)
{
    QStringList names;
    for (int i = 0; i < form.Treeclass->topLevelItemCount(); ++i)
        names << form.Treeclass->topLevelItem(i)->text(0);
    return names;
}

QStringList childNames(const TForm1& form, int category)
{
    QStringList names;
    const TreeNode* node = form.Treeclass->topLevelItem(category);
    for (int i = 0; i < node->childCount(); ++i)
        names << node->child(i)->text(0);
    return names;
}

QStringList entries(const QComboBox* box)
{
    QStringList names;
    for (int i = 0; i < box->count(); ++i)
        names << box->itemText(i);
    return names;
}
// The clock script open, its author changed and not yet saved.
std::unique_ptr<TForm1> startWithUnsavedAuthor(LibraryFixture& library)
{
    library.createSmall();
    auto form = startMainWindow(library.appDir());
    selectNode(*form, QStringLiteral("时钟"), true);
    form->ADOQuery2->edit();
    form->ADOQuery2->setFieldValue(QStringLiteral("cjs_zzm"), QStringLiteral("未保存"));
    return form;
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void creatingTheWindowOpensTheLibraryAndHostsTheProgressBar()
    {
        LibraryFixture library;
        library.createSmall();
        TForm1 form(library.appDir());
        QVERIFY(windowPart<CurrentScript>(form).library().connected());
        QVERIFY(form.ADOQuery2->isActive());
        QVERIFY(form.ADOQuery2->isEmpty());
        // Opening the current-script query wrote the mode over the loading text.
        QCOMPARE(form.panelText(TForm1::ModePanel), QStringLiteral("[浏览模式]"));
        QCOMPARE(form.pgb->parentWidget(), form.Stb);
        QCOMPARE(form.pgb->geometry(), QRect(490, 2, 150, 17));
        QVERIFY(form.Timer1 && form.Timer1->isActive());
        QVERIFY(!form.isVisible());
    }

    void defaultErrorBoxAddsAFullStop_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Invalid index"
                                << "Invalid index.";
        QTest::newRow("Chinese") << QStringLiteral("出错") << QStringLiteral("出错.");
        QTest::newRow("full stop") << "Done."
                                   << "Done.";
        QTest::newRow("sorts before the full stop") << "see (file)"
                                                    << "see (file)";
        QTest::newRow("empty") << ""
                               << "";
    }

    void defaultErrorBoxAddsAFullStop()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(defaultErrorText(message), shown);
    }

    void deferredLoadFillsTreeAndLists()
    {
        LibraryFixture library;
        library.createSmall();
        auto form = startMainWindow(library.appDir());
        QCOMPARE(form->panelText(TForm1::ModePanel), QStringLiteral("载入正常完成"));
        QCOMPARE(form->panelText(TForm1::TotalPanel), QStringLiteral("总脚本数:4"));
        const QStringList categories(
            {QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("空类别")});
        QCOMPARE(topLevelNames(*form), categories);
        QCOMPARE(childNames(*form, 0), QStringList({QStringLiteral("打字机"), QStringLiteral("彩虹'文字")}));
        QCOMPARE(childNames(*form, 1), QStringList({QStringLiteral("时钟"), QStringLiteral("倒计时")}));
        QCOMPARE(childNames(*form, 2), QStringList());
        QCOMPARE(entries(form->CBX1), categories);
        QCOMPARE(entries(form->ComboBox1), QStringList(QStringLiteral("所有分类")) + categories);
        QCOMPARE(form->ComboBox1->currentText(), QStringLiteral("所有分类"));
        QCOMPARE(form->pgb->maximum(), 0);
        QCOMPARE(form->CBX1->currentIndex(), -1);
        QVERIFY(form->DBEdit2->text().isEmpty());
        QVERIFY(form->CurrentScriptName.isEmpty());
        QVERIFY(!form->Treeclass->isExpanded(form->Treeclass->topLevelItem(0)));
    }

    void nothingIsSelectedAtStart()
    {
        LibraryFixture library;
        library.createSmall();
        // As the splash does it: the load runs first, then the window shows and takes the focus.
        auto form = std::make_unique<TForm1>(library.appDir());
        QTRY_VERIFY(form->Timer1 == nullptr);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCOMPARE(QApplication::focusWidget(), form->Treeclass);
        QCOMPARE(form->Treeclass->selectedNode(), nullptr);
        QCOMPARE(form->panelText(TForm1::CountPanel), QString());
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        QTest::keyClick(form->Treeclass, Qt::Key_D, Qt::ShiftModifier);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).text, QStringLiteral("未正确选择要删除的类别"));
        QCOMPARE(topLevelNames(*form).size(), 3);
    }

    void quotedAndLongNamesLoad()
    {
        LibraryFixture library;
        const QString tricky = QStringLiteral("x' or '1'='1");
        const QString longName(50, QChar(0x957f));
        library.create({tricky, longName},
            {{QStringLiteral("在引号类里"), tricky}, {QStringLiteral("在长名类里"), longName}});
        auto form = startMainWindow(library.appDir());
        QCOMPARE(topLevelNames(*form), QStringList({tricky, longName}));
        QCOMPARE(childNames(*form, 0), QStringList(QStringLiteral("在引号类里")));
        QCOMPARE(childNames(*form, 1), QStringList(QStringLiteral("在长名类里")));
        QCOMPARE(form->panelText(TForm1::TotalPanel), QStringLiteral("总脚本数:2"));
    }

    void cutNamesShowWholeAsTooltip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("scriptLevel");
        QTest::addColumn<bool>("tooltip");
        QTest::newRow("long category") << QString(20, QChar(u'长')) << false << true;
        QTest::newRow("long script") << QStringLiteral("一个名字很长很长的脚本效果") << true << true;
        QTest::newRow("short category") << QStringLiteral("短") << false << false;
    }

    void cutNamesShowWholeAsTooltip()
    {
        QFETCH(QString, name);
        QFETCH(bool, scriptLevel);
        QFETCH(bool, tooltip);
        LibraryFixture library;
        const QString category = scriptLevel ? QStringLiteral("类") : name;
        library.create({category, QStringLiteral("另一类")},
            {{scriptLevel ? name : QStringLiteral("脚本"), category},
                {QStringLiteral("别的"), QStringLiteral("另一类")}});
        auto form = startMainWindow(library.appDir());
        CategoryTree* tree = form->Treeclass;
        QCOMPARE(tree->width(), 145);
        selectNode(*form, name, scriptLevel);
        const QRect rect = tree->visualRect(tree->currentIndex());
        QHelpEvent help(QEvent::ToolTip, rect.center(), tree->viewport()->mapToGlobal(rect.center()));
        QApplication::sendEvent(tree->viewport(), &help);
        // The tip is shown, or not, while the event is handled.
        QCOMPARE(QToolTip::isVisible(), tooltip);
        if (tooltip)
            QCOMPARE(QToolTip::text(), name);
        QToolTip::hideText();
    }

    void libraryThatCannotBeOpened_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("schema");
        QTest::addColumn<QString>("providerMessage");
        QTest::newRow("missing") << QByteArray() << QString() << "unable to open database file";
        QTest::newRow("text file") << QByteArray("hello, not a library\n").repeated(100) << QString()
                                   << "file is not a database";
        QTest::newRow("no tables") << QByteArray("sqlite") << QString() << "no such table";
        QTest::newRow("no code column")
            << QByteArray("sqlite") << kTablesWithoutCodeColumn << "no such column: tjs.cjs_text";
    }

    void libraryThatCannotBeOpened()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, schema);
        QFETCH(QString, providerMessage);
        LibraryFixture library;
        if (content == "sqlite") {
            Database db;
            db.open(library.libraryPath(), Database::OpenMode::CreateIfMissing);
            if (!schema.isEmpty())
                db.exec(schema);
        } else if (!content.isEmpty()) {
            library.writeRaw(content);
        }
        ModalAnswerer answerer({{QStringLiteral("OK"), {}, 400}, {QStringLiteral("OK")}});
        auto form = std::make_unique<TForm1>(library.appDir());
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().size(), 2);
        const SeenBox& plain = answerer.seen().at(0);
        QCOMPARE(plain.title, QStringLiteral("错误"));
        QCOMPARE(plain.text, QStringLiteral("无法打开数据库"));
        QCOMPARE(plain.detail, library.libraryPath());
        QVERIFY(!plain.hasIcon);
        QCOMPARE(plain.buttons, QStringList(QStringLiteral("OK")));
        const SeenBox& error = answerer.seen().at(1);
        QCOMPARE(error.title, QStringLiteral("FeylumeV2.5"));
        QCOMPARE(error.iconKind, int(QMessageBox::Critical));
        QVERIFY2(error.text.contains(providerMessage), qPrintable(error.text));
        QVERIFY(error.text.contains(library.libraryPath()));

        QCOMPARE(form->panelText(TForm1::ModePanel), QStringLiteral("数据载入中---"));
        QCOMPARE(form->panelText(TForm1::TotalPanel), QStringLiteral("总脚本数:0"));
        QCOMPARE(form->Treeclass->nodeCount(), 0);
        QCOMPARE(form->ComboBox1->count(), 1);
        QVERIFY(form->Timer1 == nullptr);
        // Nothing was created where the library belongs.
        QCOMPARE(QFile::exists(library.libraryPath()), !content.isEmpty());
    }

    void loadWhileTheOpenBoxIsUp()
    {
        LibraryFixture library;
        QString modeWhileBoxUp;
        QString totalWhileBoxUp;
        ModalAnswerer answerer({{QStringLiteral("OK"), {}, 400,
                                    [&](QWidget*) {
                                        const auto windows = QApplication::topLevelWidgets();
                                        for (QWidget* window : windows) {
                                            if (auto* main = qobject_cast<TForm1*>(window)) {
                                                modeWhileBoxUp = main->panelText(TForm1::ModePanel);
                                                totalWhileBoxUp = main->panelText(TForm1::TotalPanel);
                                            }
                                        }
                                    }},
            {QStringLiteral("OK")}});
        TForm1 created(library.appDir());
        QTRY_VERIFY(answerer.done());
        QCOMPARE(modeWhileBoxUp, QStringLiteral("载入正常完成"));
        QCOMPARE(totalWhileBoxUp, QStringLiteral("总脚本数:0"));
    }

    void failingScriptStatementEndsTheLoad()
    {
        LibraryFixture library;
        library.createSmall();
        {
            // The category column compares by a rule only the maker's connection knows, so the
            // program's per-category statement is refused.
            Database db;
            db.open(library.libraryPath(), Database::OpenMode::ExistingOnly);
            db.defineEverythingEqualCollationForTests("maker_only");
            db.exec(QStringLiteral(
                "DROP TABLE tjs; CREATE TABLE tjs (cjs_id INTEGER PRIMARY KEY, cjs_name TEXT, "
                "cjs_type TEXT COLLATE maker_only, cjs_zzm TEXT, cjs_zzjj TEXT, cjs_date TEXT, "
                "cjs_text TEXT)"));
        }
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        TForm1 form(library.appDir());
        QTRY_VERIFY(answerer.done());
        QVERIFY2(
            answerer.seen().at(0).text.contains(QStringLiteral("no such collation sequence: maker_only")),
            qPrintable(answerer.seen().at(0).text));
        // The remaining steps of the load were skipped and the timer never fires again.
        QCOMPARE(form.panelText(TForm1::ModePanel), QStringLiteral("[浏览模式]"));
        QCOMPARE(form.panelText(TForm1::TotalPanel), QString());
        QVERIFY(form.Timer1 && !form.Timer1->isActive());
        QCOMPARE(topLevelNames(form).size(), 3);
        QVERIFY(form.Treeclass->updatesEnabled());
    }

    void selectingNodes()
    {
        LibraryFixture library;
        library.createSmall();
        auto form = startMainWindow(library.appDir());
        selectNode(*form, QStringLiteral("打字机"), true);
        QCOMPARE(form->panelText(TForm1::CountPanel), QStringLiteral("文字特效脚本数:2"));
        QCOMPARE(form->panelText(TForm1::ScriptPanel), QStringLiteral("打字机"));
        QCOMPARE(form->CurrentScriptName, QStringLiteral("打字机"));
        QCOMPARE(form->CurrentScriptCategory, QStringLiteral("文字特效"));
        QCOMPARE(form->CBX1->text(), QStringLiteral("文字特效"));
        QCOMPARE(form->DBEdit2->text(), QStringLiteral("打字机"));
        QCOMPARE(form->DBEdit3->text(), QStringLiteral("林一"));
        QCOMPARE(form->DBMemo1->text(), QStringLiteral("第一行\r\n第二行"));
        QCOMPARE(form->DBMemo2->text(), QStringLiteral("<b>typewriter</b>\r\nline 2"));
        QCOMPARE(form->DBEdit1->text(),
            QLocale().language() == QLocale::C
                ? QStringLiteral("2024-05-06 07:08:09")
                : QLocale().toString(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)), QLocale::ShortFormat));

        // A category node shows its count; the script stays open.
        selectNode(*form, QStringLiteral("空类别"), false);
        QCOMPARE(form->panelText(TForm1::CountPanel), QStringLiteral("空类别脚本数:0"));
        QCOMPARE(form->panelText(TForm1::ScriptPanel), QStringLiteral("打字机"));
        QCOMPARE(form->DBEdit2->text(), QStringLiteral("打字机"));
    }

    void selectingAScriptDropsUnsavedChanges()
    {
        LibraryFixture library;
        auto form = startWithUnsavedAuthor(library);
        QCOMPARE(form->panelText(TForm1::ModePanel), QStringLiteral("[编辑模式]"));
        windowPart<CurrentScript>(*form).open(StoredName(QStringLiteral("时钟")));
        QCOMPARE(form->DBEdit3->text(), QStringLiteral("王二"));
        QCOMPARE(form->panelText(TForm1::ModePanel), QStringLiteral("[浏览模式]"));
        QCOMPARE(library.value(QStringLiteral("select cjs_zzm from tjs where cjs_name = '时钟'")),
            QStringLiteral("王二"));
    }

    void openScriptWithUnknownNameShowsNothing()
    {
        LibraryFixture library;
        library.createSmall();
        auto form = startMainWindow(library.appDir());
        selectNode(*form, QStringLiteral("时钟"), true);
        windowPart<CurrentScript>(*form).open(StoredName(QStringLiteral("没有这个")));
        QVERIFY(form->ADOQuery2->isEmpty());
        QVERIFY(form->DBEdit2->text().isEmpty());
        QCOMPARE(form->CBX1->currentIndex(), -1);
        QCOMPARE(form->panelText(TForm1::ScriptPanel), QString());
        QCOMPARE(form->CurrentScriptName, QStringLiteral("没有这个"));
    }

    void failedOpenKeepsTheLastName()
    {
        LibraryFixture library;
        library.createSmall();
        auto form = startMainWindow(library.appDir());
        selectNode(*form, QStringLiteral("时钟"), true);
        windowPart<CurrentScript>(*form).library().close();
        QFile::remove(library.libraryPath());
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        selectNode(*form, QStringLiteral("倒计时"), true);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).title, QStringLiteral("FeylumeV2.5"));
        QCOMPARE(form->panelText(TForm1::CountPanel), QStringLiteral("时间日期脚本数:2"));
        QCOMPARE(form->panelText(TForm1::ScriptPanel), QStringLiteral("时钟"));
        QCOMPARE(form->CurrentScriptName, QStringLiteral("时钟"));
        QCOMPARE(form->CurrentScriptCategory, QStringLiteral("时间日期"));
        QVERIFY(form->DBEdit2->text().isEmpty());
    }

    void findNodeIndex_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("scriptLevel");
        QTest::addColumn<int>("expected");
        QTest::newRow("first category") << QStringLiteral("文字特效") << false << 0;
        QTest::newRow("category after scripts") << QStringLiteral("时间日期") << false << 3;
        QTest::newRow("script") << QStringLiteral("倒计时") << true << 5;
        QTest::newRow("script with quote") << QStringLiteral("彩虹'文字") << true << 2;
        QTest::newRow("script asked as category") << QStringLiteral("时钟") << false << -1;
        QTest::newRow("category asked as script") << QStringLiteral("空类别") << true << -1;
        QTest::newRow("script named like a category") << QStringLiteral("Same") << true << 8;
        QTest::newRow("category named like a script") << QStringLiteral("Same") << false << 6;
        QTest::newRow("other letter case") << QStringLiteral("same") << false << -1;
        QTest::newRow("trailing blank") << QStringLiteral("Same ") << false << -1;
    }

    void findNodeIndex()
    {
        QFETCH(QString, name);
        QFETCH(bool, scriptLevel);
        QFETCH(int, expected);
        LibraryFixture library;
        library.create({QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("Same"),
                           QStringLiteral("空类别")},
            {{QStringLiteral("打字机"), QStringLiteral("文字特效")},
                {QStringLiteral("时钟"), QStringLiteral("时间日期")},
                {QStringLiteral("彩虹'文字"), QStringLiteral("文字特效")},
                {QStringLiteral("倒计时"), QStringLiteral("时间日期")},
                {QStringLiteral("Other"), QStringLiteral("Same")},
                {QStringLiteral("Same"), QStringLiteral("Same")}});
        auto form = startMainWindow(library.appDir());
        QCOMPARE(form->FindNodeIndex(name, scriptLevel), expected);
        if (expected >= 0)
            QCOMPARE(form->Treeclass->nodeAt(expected)->text(0), name);
    }

    void positionsOutsideTheTreeAreInvalid()
    {
        LibraryFixture library;
        library.create({}, {});
        auto form = startMainWindow(library.appDir());
        QCOMPARE(form->FindNodeIndex(QStringLiteral("x"), false), -1);
        QCOMPARE(form->panelText(TForm1::TotalPanel), QStringLiteral("总脚本数:0"));
        for (int position : {-1, 0}) {
            QString error;
            try {
                form->Treeclass->nodeAt(position);
            } catch (const FeylumeError& e) {
                error = e.message();
            }
            QCOMPARE(error, QStringLiteral("Invalid index"));
        }
    }

    void statementRunnerTicksTheProgressBar()
    {
        LibraryFixture library;
        library.createSmall();
        auto form = startMainWindow(library.appDir());
        CurrentScript& current = windowPart<CurrentScript>(*form);
        const BoundStatement select {
            QStringLiteral("select * from tjs where cjs_type='文字特效'order by cjs_id"), {}};
        for (int run = 1; run <= 7; ++run) {
            current.run(select, true);
            QCOMPARE(form->pgb->maximum(), 7);
            QCOMPARE(form->pgb->position(), run);
        }
        QCOMPARE(windowPart<Query>(*form, QStringLiteral("ADOQuery1")).recordCount(), 2);
        current.run(select, true);
        QCOMPARE(form->pgb->position(), 0); // stepped past the maximum: starts over

        current.run({QStringLiteral("update tjs set cjs_zzm='x' where cjs_name='无'"), {}}, false);
        QCOMPARE(form->pgb->maximum(), 0);
        QCOMPARE(form->pgb->position(), 0);
        QVERIFY(!windowPart<Query>(*form, QStringLiteral("ADOQuery1")).isActive());

        bool failed = false;
        try {
            current.run({QStringLiteral("select * from nowhere"), {}}, true);
        } catch (const FeylumeError&) {
            failed = true;
        }
        QVERIFY(failed);
        QCOMPARE(form->pgb->maximum(), 0);
    }

    void closingTheWindowAndDroppingTheChangesSavesNothing()
    {
        LibraryFixture library;
        auto form = startWithUnsavedAuthor(library);
        ModalAnswerer dropChanges({{QStringLiteral("不保存")}});
        form->close();
        QTRY_VERIFY(dropChanges.done());
        QVERIFY(!form->isVisible());
        form.reset();
        QCOMPARE(library.value(QStringLiteral("select cjs_zzm from tjs where cjs_name = '时钟'")),
            QStringLiteral("王二"));
    }

    void splashRunsTheLoadAndShowsTheWindowMaximized()
    {
        LibraryFixture library;
        library.createSmall();
        TForm1 form(library.appDir());
        QPointer<TForm2> splash = new TForm2(&form);
        QCOMPARE(splash->size(), QSize(400, 294));
        QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash->Timer1->interval(), 2000);
        QString modeSeenDuringSplash;
        QTimer::singleShot(1000, [&] { modeSeenDuringSplash = form.panelText(TForm1::ModePanel); });
        splash->exec();
        QCOMPARE(modeSeenDuringSplash, QStringLiteral("载入正常完成"));
        QVERIFY(form.isVisible());
        QVERIFY(form.windowState() & Qt::WindowMaximized);
        QTRY_VERIFY(splash.isNull()); // closed means destroyed
    }

    void boxOverTheSplashOutlastsItsTime()
    {
        // As the program starts: the splash is up before the window, and the window's failed
        // read of a damaged library shows its box while the splash is up. The splash's time runs
        // out while the box waits for its answer; the splash owns no box, and stays until the
        // box is answered.
        LibraryFixture library;
        library.createSmall();
        damageNameIndex(library.libraryPath());
        QPointer<TForm2> splash = new TForm2(nullptr);
        splash->Timer1->start(10);
        splash->showAtOnce();
        bool boxOverSplash = false;
        ModalAnswerer answerer(
            {{QStringLiteral("OK"), {}, 400,
                 [&](QWidget* box) { boxOverSplash = splash && box->parentWidget() != splash; }},
                {QStringLiteral("&No")}});
        TForm1 form(library.appDir());
        if (splash && splash->Timer1) {
            splash->setMainWindow(&form);
            splash->exec();
        }
        QTRY_VERIFY_WITH_TIMEOUT(answerer.done(), 15000);
        QVERIFY(boxOverSplash);
        QVERIFY2(answerer.seen().last().text.startsWith(QStringLiteral("脚本库文件已损坏")),
            qPrintable(answerer.seen().last().text));
        QTRY_VERIFY(splash.isNull());
        QVERIFY(form.isVisible());
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
