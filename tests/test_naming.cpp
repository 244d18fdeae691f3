// Adding, deleting and renaming categories and renaming scripts on the real window: prompts,
// confirmations and messages, the tree and both category lists, and what the library holds.

#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "support/mainwindowfixture.h"
#include "support/mainwindowtest.h"
#include "support/modalanswerer.h"
#include "support/pendingevents.h"
#include "support/userinput.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using namespace UserInput;
using namespace Shown;

namespace {
QStringList entries(const QComboBox* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->itemText(i);
    return names;
}

Answer typed(const QString& text)
{
    return {QStringLiteral("OK"), text};
}
} // namespace

class TestNaming : public MainWindowTest
{
    Q_OBJECT

private:
    QStringList stored(const QString& sql) const { return m_library->column(sql); }
    QStringList storedCategories() const
    {
        return stored(QStringLiteral("select ctype_name from ttype order by rowid"));
    }

    void select(const QString& name, bool scriptLevel)
    {
        selectNode(form(), name, scriptLevel);
        focus(form().Treeclass);
    }

    // The tree, both lists and the library hold the same categories in the same order.
    void verifyCategories(const QStringList& names)
    {
        QCOMPARE(categoryNames(form()), names);
        QCOMPARE(entries(form().CBX1), names);
        QCOMPARE(entries(form().ComboBox1), QStringList(QStringLiteral("所有分类")) + names);
        QCOMPARE(storedCategories(), names);
    }

    void clickTool(const char* name)
    {
        auto* button = form().ToolBar1->findChild<QToolButton*>(QString::fromLatin1(name));
        QVERIFY(button && button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }

private slots:
    void init()
    {
        newLibrary().createSmall();
        start();
    }

    void addCategoryWithShiftAFromTheTree_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("chinese") << QStringLiteral("新类别");
        QTest::newRow("quote") << QStringLiteral("它'的");
        QTest::newRow("quotes and percent") << QStringLiteral("100% \"真\" '_' ; --");
        QTest::newRow("list's own first entry") << QStringLiteral("所有分类");
    }

    void addCategoryWithShiftAFromTheTree()
    {
        QFETCH(QString, name);
        select(QStringLiteral("时钟"), true);
        ModalAnswerer answerer({typed(name)});
        press(Qt::SHIFT | Qt::Key_A);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).title, QStringLiteral("输入新类名"));
        QCOMPARE(answerer.seen().at(0).text, QStringLiteral("请输入新类别名"));
        verifyCategories(
            {QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("空类别"), name});
        QCOMPARE(form().Treeclass->selectedNode()->text(0), name);
        QCOMPARE(form().panelText(TForm1::CountPanel), name + QStringLiteral("脚本数:0"));
        // The script shown before stays current.
        QCOMPARE(form().DBEdit2->text(), QStringLiteral("时钟"));

        // A category added since start-up is renamed and deleted like any other.
        ModalAnswerer rename({typed(name + QStringLiteral("2"))});
        clickTool("ToolButton3");
        QTRY_VERIFY(rename.done());
        verifyCategories({QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("空类别"),
            name + QStringLiteral("2")});
        ModalAnswerer remove({{QStringLiteral("&Yes")}});
        clickTool("ToolButton2");
        QTRY_VERIFY(remove.done());
        verifyCategories({QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("空类别")});
    }

    void addingATakenOrCancelledNameChangesNothing()
    {
        ModalAnswerer answerer(
            {typed(QStringLiteral("时间日期")), {QStringLiteral("OK")}, {QStringLiteral("Cancel")}});
        clickTool("ToolButton1");
        QTRY_COMPARE(answerer.seen().size(), 2);
        QCOMPARE(answerer.seen().at(1).text, QStringLiteral("类别时间日期已经存在"));
        clickTool("ToolButton1");
        QTRY_VERIFY(answerer.done());
        verifyCategories({QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("空类别")});
    }

    void firstCategoryOfAnEmptyLibrary()
    {
        restartWith(QStringList(), {});
        ModalAnswerer answerer({typed(QStringLiteral("第一个"))});
        clickTool("ToolButton1");
        QTRY_VERIFY(answerer.done());
        verifyCategories({QStringLiteral("第一个")});
        QCOMPARE(form().Treeclass->nodeCount(), 1);
    }

    void namesAreMeasuredInCharacters_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        const QString fifty = QString(49, QChar(u'长')) + QString::fromUcs4(U"\U0001F600");
        const QString tooLong = QString(51, QChar(u'长'));
        const QString refusal = QStringLiteral("类别名最多容纳 50 个字符，输入的内容有 51 个字符.");
        QTest::newRow("add: 50 characters, one outside the basic plane")
            << QStringLiteral("ToolButton1") << fifty << QString();
        QTest::newRow("rename: 50 characters, one outside the basic plane")
            << QStringLiteral("ToolButton3") << fifty << QString();
        QTest::newRow("add: 51 characters") << QStringLiteral("ToolButton1") << tooLong << refusal;
        QTest::newRow("rename: 51 characters") << QStringLiteral("ToolButton3") << tooLong << refusal;
    }

    void namesAreMeasuredInCharacters()
    {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QString, error);
        select(QStringLiteral("空类别"), false);
        ModalAnswerer answerer({typed(name), {QStringLiteral("OK")}});
        clickTool(button.toLatin1().constData());
        QTRY_VERIFY(!answerer.seen().isEmpty());
        QStringList expected
            = {QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("空类别")};
        if (error.isEmpty()) {
            QCOMPARE(answerer.seen().size(), 1);
            if (button == QStringLiteral("ToolButton1"))
                expected << name;
            else
                expected.last() = name;
        } else {
            QTRY_VERIFY(answerer.done());
            QCOMPARE(answerer.seen().at(1).objectName, QStringLiteral("DefaultErrorBox"));
            QCOMPARE(answerer.seen().at(1).text, error);
        }
        verifyCategories(expected);
    }

    void deleteCategoryWithItsScripts()
    {
        select(QStringLiteral("时钟"), true);
        select(QStringLiteral("时间日期"), false);
        ModalAnswerer no({{QStringLiteral("&No")}});
        press(Qt::SHIFT | Qt::Key_D);
        QTRY_VERIFY(no.done());
        QCOMPARE(no.seen().at(0).text, QStringLiteral("确认删除分类[ 时间日期 ]和该类下所有脚本吗"));
        QCOMPARE(no.seen().at(0).title, QStringLiteral("Confirm"));
        QCOMPARE(childNames(form(), QStringLiteral("时间日期")).size(), 2);

        ModalAnswerer yes({{QStringLiteral("&Yes")}});
        focus(form().Treeclass);
        press(Qt::SHIFT | Qt::Key_D);
        QTRY_VERIFY(yes.done());
        verifyCategories({QStringLiteral("文字特效"), QStringLiteral("空类别")});
        QCOMPARE(form().Treeclass->nodeCount(), 4);
        QCOMPARE(stored(QStringLiteral("select cjs_name from tjs order by cjs_id")),
            QStringList({QStringLiteral("打字机"), QStringLiteral("彩虹'文字")}));
        QCOMPARE(form().panelText(TForm1::TotalPanel), QStringLiteral("总脚本数:2"));
        // The deleted script the editors showed is not shown any more, nor named in panel 4.
        if (form().CurrentScriptName == QStringLiteral("时钟")) {
            QVERIFY(form().DBEdit2->text().isEmpty());
            QCOMPARE(form().panelText(TForm1::ScriptPanel), QString());
        }
    }

    void commandsNeedACategoryNode_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        QTest::newRow("delete") << QStringLiteral("ToolButton2") << QStringLiteral("未正确选择要删除的类别");
        QTest::newRow("rename") << QStringLiteral("ToolButton3") << QStringLiteral("未正确选择要改名的类别");
    }

    void commandsNeedACategoryNode()
    {
        QFETCH(QString, button);
        QFETCH(QString, message);
        // Nothing selected yet, then a script node.
        ModalAnswerer answerer({{QStringLiteral("OK")}, {QStringLiteral("OK")}});
        clickTool(button.toLatin1().constData());
        select(QStringLiteral("时钟"), true);
        clickTool(button.toLatin1().constData());
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).text, message);
        QCOMPARE(answerer.seen().at(1).text, message);
        verifyCategories({QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("空类别")});
    }

    void renameCategoryCarriesItsScripts()
    {
        select(QStringLiteral("时钟"), true);
        select(QStringLiteral("时间日期"), false);
        ModalAnswerer answerer({typed(QStringLiteral("日期'%时间"))});
        press(Qt::SHIFT | Qt::Key_M);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).title, QStringLiteral("类别更名"));
        QCOMPARE(answerer.seen().at(0).text, QStringLiteral("请输入新类别名"));
        verifyCategories(
            {QStringLiteral("文字特效"), QStringLiteral("日期'%时间"), QStringLiteral("空类别")});
        QCOMPARE(childNames(form(), QStringLiteral("日期'%时间")),
            QStringList({QStringLiteral("时钟"), QStringLiteral("倒计时")}));
        QCOMPARE(stored(QStringLiteral("select cjs_type from tjs where cjs_name = '时钟'")),
            QStringList(QStringLiteral("日期'%时间")));
        // The current script belongs to it: its editors show the new name, and saving it
        // leaves its node where it is.
        QCOMPARE(form().CBX1->text(), QStringLiteral("日期'%时间"));
        type(form().DBEdit3, QStringLiteral("新"));
        press(Qt::Key_F7);
        QCOMPARE(childNames(form(), QStringLiteral("日期'%时间")),
            QStringList({QStringLiteral("时钟"), QStringLiteral("倒计时")}));
    }

    void renameCategoryToATakenName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("its own") << QStringLiteral("时间日期");
        QTest::newRow("another's") << QStringLiteral("空类别");
    }

    void renameCategoryToATakenName()
    {
        QFETCH(QString, name);
        select(QStringLiteral("时间日期"), false);
        ModalAnswerer answerer({typed(name), {QStringLiteral("OK")}});
        clickTool("ToolButton3");
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).objectName, QStringLiteral("PromptBox"));
        QCOMPARE(answerer.seen().at(1).text, QStringLiteral("分类") + name + QStringLiteral("已经存在"));
        verifyCategories({QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("空类别")});
    }

    void refusedRenameLeavesTheListsAlone()
    {
        m_library->column(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON ttype BEGIN SELECT "
                                         "RAISE(ABORT, 'renaming refused'); END"));
        select(QStringLiteral("时间日期"), false);
        ModalAnswerer answerer({typed(QStringLiteral("新名")), {QStringLiteral("OK")}});
        clickTool("ToolButton3");
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(1).objectName, QStringLiteral("DefaultErrorBox"));
        QCOMPARE(answerer.seen().at(1).text, QStringLiteral("renaming refused."));
        verifyCategories({QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("空类别")});
    }

    void renameScriptInPlace()
    {
        select(QStringLiteral("时钟"), true);
        editInPlace(form().Treeclass, QStringLiteral("100%时钟'"), Qt::Key_Return);
        QTRY_COMPARE(childNames(form(), QStringLiteral("时间日期")),
            QStringList({QStringLiteral("100%时钟'"), QStringLiteral("倒计时")}));
        QCOMPARE(
            stored(QStringLiteral("select cjs_name from tjs where cjs_type = '时间日期' order by cjs_id")),
            QStringList({QStringLiteral("100%时钟'"), QStringLiteral("倒计时")}));
        // It was the current script: the editors and panel 4 follow.
        QCOMPARE(form().DBEdit2->text(), QStringLiteral("100%时钟'"));
        QCOMPARE(form().panelText(TForm1::ScriptPanel), QStringLiteral("100%时钟'"));
        QCOMPARE(form().panelText(TForm1::ModePanel), QStringLiteral("[浏览模式]"));
    }

    void inPlaceEditsThatChangeNothing_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<bool>("scriptLevel");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("endKey");
        QTest::addColumn<QString>("message");
        QTest::newRow("script unchanged") << QStringLiteral("时钟") << true << QStringLiteral("时钟")
                                          << int(Qt::Key_Return) << QStringLiteral("脚本时钟已经存在");
        QTest::newRow("category unchanged") << QStringLiteral("空类别") << false << QStringLiteral("空类别")
                                            << int(Qt::Key_Return) << QStringLiteral("分类空类别已经存在");
        QTest::newRow("another script's name") << QStringLiteral("时钟") << true << QStringLiteral("打字机")
                                               << int(Qt::Key_Return) << QStringLiteral("脚本打字机已经存在");
        QTest::newRow("escape") << QStringLiteral("时钟") << true << QStringLiteral("别的")
                                << int(Qt::Key_Escape) << QString();
    }

    void inPlaceEditsThatChangeNothing()
    {
        QFETCH(QString, node);
        QFETCH(bool, scriptLevel);
        QFETCH(QString, text);
        QFETCH(int, endKey);
        QFETCH(QString, message);
        select(node, scriptLevel);
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        editInPlace(form().Treeclass, text, Qt::Key(endKey));
        if (message.isEmpty()) {
            letPendingEventsRun();
            QVERIFY(answerer.seen().isEmpty());
        } else {
            QTRY_VERIFY(answerer.done());
            QCOMPARE(answerer.seen().at(0).text, message);
        }
        QCOMPARE(form().Treeclass->selectedNode()->text(0), node);
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs where cjs_name = '时钟'")),
            QStringList(QStringLiteral("1")));
        verifyCategories({QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("空类别")});
    }

    void scriptAndCategoryMayShareAName()
    {
        select(QStringLiteral("时钟"), true);
        editInPlace(form().Treeclass, QStringLiteral("空类别"), Qt::Key_Return);
        QTRY_COMPARE(childNames(form(), QStringLiteral("时间日期")).first(), QStringLiteral("空类别"));
        select(QStringLiteral("时间日期"), false);
        editInPlace(form().Treeclass, QStringLiteral("倒计时"), Qt::Key_Return);
        QTRY_COMPARE(categoryNames(form()).at(1), QStringLiteral("倒计时"));
        QCOMPARE(stored(QStringLiteral("select cjs_name from tjs where cjs_type = '倒计时' order by cjs_id")),
            QStringList({QStringLiteral("空类别"), QStringLiteral("倒计时")}));
    }

    void inPlaceRenameStoresThePendingEditFirst()
    {
        select(QStringLiteral("时钟"), true);
        type(form().DBMemo2, QStringLiteral("新的代码"));
        QCOMPARE(form().panelText(TForm1::ModePanel), QStringLiteral("[编辑模式]"));
        select(QStringLiteral("时钟"), true);
        editInPlace(form().Treeclass, QStringLiteral("新时钟"), Qt::Key_Return);
        QTRY_COMPARE(childNames(form(), QStringLiteral("时间日期")).first(), QStringLiteral("新时钟"));
        QCOMPARE(stored(QStringLiteral("select cjs_text from tjs where cjs_name = '新时钟'")),
            QStringList(QStringLiteral("新的代码<p>code</p>")));
        QCOMPARE(form().DBEdit2->text(), QStringLiteral("新时钟"));
        QCOMPARE(form().panelText(TForm1::ModePanel), QStringLiteral("[浏览模式]"));
    }

    void renameScriptFromThePopup()
    {
        select(QStringLiteral("倒计时"), true);
        auto* item = form().PopupTree->findChild<QAction*>(QStringLiteral("N22"));
        QVERIFY(item);
        item->trigger();
        QCOMPARE(form().panelText(TForm1::ModePanel), QStringLiteral("[编辑模式]"));
        QTRY_VERIFY(form().DBEdit2->hasFocus());
        QCOMPARE(form().DBEdit2->selectedText(), QStringLiteral("倒计时"));
        type(form().DBEdit2, QStringLiteral("秒表"));
        press(Qt::Key_F7);
        QCOMPARE(childNames(form(), QStringLiteral("时间日期")),
            QStringList({QStringLiteral("时钟"), QStringLiteral("秒表")}));
        // On a category node it does nothing.
        select(QStringLiteral("空类别"), false);
        item->trigger();
        QCOMPARE(form().panelText(TForm1::ModePanel), QStringLiteral("[浏览模式]"));
    }
};

QTEST_MAIN(TestNaming)
#include "test_naming.moc"
