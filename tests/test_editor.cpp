// The script editor on the real window, driven by keys: record modes, add, save, abandon and
// delete, and how the tree follows.

#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "main/action.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "store/query.h"
#include "support/mainwindowfixture.h"
#include "support/mainwindowtest.h"
#include "support/modalanswerer.h"
#include "support/userinput.h"

#include <QAbstractItemView>
#include <QInputMethodEvent>
#include <QtTest>

using namespace UserInput;
using Shown::childNames;
using Shown::mode;

class TestEditor : public MainWindowTest
{
    Q_OBJECT

private:
    QString stored(const QString& sql) const { return m_library->value(sql); }

private slots:
    void init()
    {
        newLibrary().createSmall();
        start();
    }

    void typingFromAnEmptyStartAddsAScript()
    {
        QCOMPARE(mode(form()), QStringLiteral("载入正常完成"));
        type(form().DBEdit2, QStringLiteral("飘雪"));
        QCOMPARE(mode(form()), QStringLiteral("[插入模式]"));
        QCOMPARE(form().DBEdit2->text(), QStringLiteral("飘雪"));
        chooseCategory(form().CBX1, QStringLiteral("空类别"));
        type(form().DBEdit3, QStringLiteral("赵六"));
        press(Qt::Key_F7);
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(childNames(form(), QStringLiteral("空类别")), QStringList(QStringLiteral("飘雪")));
        QCOMPARE(form().Treeclass->selectedNode()->text(0), QStringLiteral("飘雪"));
        QVERIFY(form().Treeclass->hasFocus());
        QCOMPARE(form().panelText(TForm1::ScriptPanel), QStringLiteral("飘雪"));
        QCOMPARE(form().CurrentScriptCategory, QStringLiteral("空类别"));
        QCOMPARE(stored(QStringLiteral("select cjs_type || '/' || cjs_zzm from tjs where cjs_name = '飘雪'")),
            QStringLiteral("空类别/赵六"));
        QVERIFY(!form().DBEdit1->text().isEmpty()); // the library filled the date
        QCOMPARE(form().panelText(TForm1::TotalPanel), QStringLiteral("总脚本数:5"));
    }

    // Panel 4 names the script the editors show: none while a new one is being added.
    void addingNamesNoScriptUntilSavedOrAbandoned()
    {
        openScript(QStringLiteral("时钟"));
        press(Qt::Key_F5);
        QCOMPARE(mode(form()), QStringLiteral("[插入模式]"));
        QCOMPARE(form().panelText(TForm1::ScriptPanel), QString());
        type(form().DBEdit2, QStringLiteral("新脚本"));
        QCOMPARE(form().panelText(TForm1::ScriptPanel), QString());
        press(Qt::Key_F8);
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(form().panelText(TForm1::ScriptPanel), QStringLiteral("时钟"));
    }

    void renameKeepsTheNodeInPlace()
    {
        openScript(QStringLiteral("打字机"));
        retype(form().DBEdit2, QStringLiteral("打字机'二"));
        QCOMPARE(mode(form()), QStringLiteral("[编辑模式]"));
        press(Qt::Key_F7);
        QCOMPARE(childNames(form(), QStringLiteral("文字特效")),
            QStringList({QStringLiteral("打字机'二"), QStringLiteral("彩虹'文字")}));
        QCOMPARE(form().panelText(TForm1::ScriptPanel), QStringLiteral("打字机'二"));
        QCOMPARE(form().CurrentScriptName, QStringLiteral("打字机'二"));
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs where cjs_name = '打字机''二'")),
            QStringLiteral("1"));
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
    }

    void changedCategoryMovesTheNodeToTheEnd()
    {
        openScript(QStringLiteral("打字机"));
        chooseCategory(form().CBX1, QStringLiteral("时间日期"));
        QCOMPARE(mode(form()), QStringLiteral("[编辑模式]"));
        press(Qt::Key_F7);
        QCOMPARE(childNames(form(), QStringLiteral("文字特效")), QStringList(QStringLiteral("彩虹'文字")));
        QCOMPARE(childNames(form(), QStringLiteral("时间日期")),
            QStringList({QStringLiteral("时钟"), QStringLiteral("倒计时"), QStringLiteral("打字机")}));
        QCOMPARE(form().Treeclass->selectedNode()->text(0), QStringLiteral("打字机"));
        QVERIFY(form().Treeclass->hasFocus());
        QCOMPARE(form().CurrentScriptCategory, QStringLiteral("时间日期"));
        QCOMPARE(form().DBEdit2->text(), QStringLiteral("打字机"));
        QCOMPARE(stored(QStringLiteral("select cjs_type from tjs where cjs_name = '打字机'")),
            QStringLiteral("时间日期"));
    }

    void savingWithNothingChangedLeavesTheTree()
    {
        openScript(QStringLiteral("时钟"));
        retype(form().DBEdit3, QStringLiteral("新作者"));
        press(Qt::Key_F7);
        QCOMPARE(childNames(form(), QStringLiteral("时间日期")),
            QStringList({QStringLiteral("时钟"), QStringLiteral("倒计时")}));
        QCOMPARE(stored(QStringLiteral("select cjs_zzm from tjs where cjs_name = '时钟'")),
            QStringLiteral("新作者"));
    }

    void refusedSaves_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("modeAfter");
        QTest::addColumn<QString>("nameShownAfter");
        QTest::newRow("empty name") << "emptyName" << QStringLiteral("脚本名不能为空")
                                    << QStringLiteral("[编辑模式]") << "";
        QTest::newRow("name of another script")
            << "duplicateEdit"
            << QStringLiteral("修改脚本时发生错误，操作失败\n原因：这个名字已被使用，名字不能重复")
            << QStringLiteral("[编辑模式]") << QStringLiteral("时钟");
        QTest::newRow("new script without category")
            << "noCategory" << QStringLiteral("脚本类别和脚本名都不能为空") << QStringLiteral("[插入模式]")
            << QStringLiteral("新的");
        QTest::newRow("new script with a taken name")
            << "duplicateInsert"
            << QStringLiteral("添加脚本失败，请检查是否输入了重名脚本\n原因：这个名字已被使用，名字不能重复")
            << QStringLiteral("[插入模式]") << QStringLiteral("时钟");
    }

    void refusedSaves()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, message);
        QFETCH(QString, modeAfter);
        QFETCH(QString, nameShownAfter);
        openScript(QStringLiteral("打字机"));
        if (scenario == QLatin1String("emptyName")) {
            retype(form().DBEdit2, QString());
        } else if (scenario == QLatin1String("duplicateEdit")) {
            retype(form().DBEdit2, QStringLiteral("时钟"));
        } else {
            press(Qt::Key_F5);
            QCOMPARE(mode(form()), QStringLiteral("[插入模式]"));
            if (scenario == QLatin1String("duplicateInsert"))
                chooseCategory(form().CBX1, QStringLiteral("空类别"));
            type(form().DBEdit2,
                scenario == QLatin1String("duplicateInsert") ? QStringLiteral("时钟")
                                                             : QStringLiteral("新的"));
        }
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        press(Qt::Key_F7);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).text, message);
        QCOMPARE(answerer.seen().at(0).title, QStringLiteral("FeylumeV2.5"));
        QVERIFY(!answerer.seen().at(0).hasIcon);
        QCOMPARE(mode(form()), modeAfter);
        QCOMPARE(form().DBEdit2->text(), nameShownAfter);
        // Library and tree still agree.
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs")), QStringLiteral("4"));
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs where cjs_name = '打字机'")),
            QStringLiteral("1"));
        QCOMPARE(childNames(form(), QStringLiteral("文字特效")),
            QStringList({QStringLiteral("打字机"), QStringLiteral("彩虹'文字")}));
    }

    void addWithPendingChangesSavesThemLikeTheSaveCommand()
    {
        openScript(QStringLiteral("打字机"));
        retype(form().DBEdit2, QStringLiteral("改名了"));
        chooseCategory(form().CBX1, QStringLiteral("空类别"));
        press(Qt::Key_F5);
        QCOMPARE(mode(form()), QStringLiteral("[插入模式]"));
        QVERIFY(form().DBEdit2->text().isEmpty());
        QCOMPARE(childNames(form(), QStringLiteral("空类别")), QStringList(QStringLiteral("改名了")));
        QCOMPARE(childNames(form(), QStringLiteral("文字特效")), QStringList(QStringLiteral("彩虹'文字")));
        QCOMPARE(stored(QStringLiteral("select cjs_type from tjs where cjs_name = '改名了'")),
            QStringLiteral("空类别"));
    }

    void addTwiceChecksTheFirstNewScript()
    {
        openScript(QStringLiteral("时钟"));
        press(Qt::Key_F5);
        press(Qt::Key_F5); // untouched: simply started again
        QCOMPARE(mode(form()), QStringLiteral("[插入模式]"));
        type(form().DBEdit2, QStringLiteral("无类别的"));
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        press(Qt::Key_F5);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).text, QStringLiteral("脚本类别和脚本名都不能为空"));
        // Nothing stored without checks, and the typed record is still there.
        QCOMPARE(mode(form()), QStringLiteral("[插入模式]"));
        QCOMPARE(form().DBEdit2->text(), QStringLiteral("无类别的"));
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs")), QStringLiteral("4"));
    }

    void abandon()
    {
        openScript(QStringLiteral("时钟"));
        retype(form().DBEdit3, QStringLiteral("改过"));
        press(Qt::Key_F8);
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(form().DBEdit3->text(), QStringLiteral("王二"));

        press(Qt::Key_F5);
        type(form().DBEdit2, QStringLiteral("丢掉"));
        press(Qt::Key_F8);
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(form().DBEdit2->text(), QStringLiteral("时钟"));
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs")), QStringLiteral("4"));
    }

    // Abandoned edits are gone for good: the code editor offers neither undo nor redo of them.
    void abandoningClearsTheCodeEditorsHistory_data()
    {
        QTest::addColumn<bool>("undoneFirst");
        QTest::newRow("typed, then abandoned") << false;
        QTest::newRow("typed, undone, then abandoned") << true;
    }

    void abandoningClearsTheCodeEditorsHistory()
    {
        QFETCH(bool, undoneFirst);
        openScript(QStringLiteral("时钟"));
        type(form().DBMemo2, QStringLiteral("abc"));
        QVERIFY(form().DBMemo2->document()->isUndoAvailable());
        if (undoneFirst) {
            form().DBMemo2->undo();
            QVERIFY(form().DBMemo2->document()->isRedoAvailable());
        }
        press(Qt::Key_F8);
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        QVERIFY(!form().DBMemo2->document()->isUndoAvailable());
        QVERIFY(!form().DBMemo2->document()->isRedoAvailable());
    }

    void escapeReloadsOneEditor()
    {
        openScript(QStringLiteral("时钟"));
        retype(form().DBEdit3, QStringLiteral("改过"));
        QTest::keyClick(form().DBEdit3, Qt::Key_Escape);
        QCOMPARE(form().DBEdit3->text(), QStringLiteral("王二"));
        QCOMPARE(form().DBEdit3->selectedText(), QStringLiteral("王二"));
        QCOMPARE(mode(form()), QStringLiteral("[编辑模式]"));
    }

    void deleteScripts()
    {
        openScript(QStringLiteral("时钟"));
        ModalAnswerer no({{QStringLiteral("&No")}});
        press(Qt::Key_F6);
        QTRY_VERIFY(no.done());
        QCOMPARE(no.seen().at(0).title, QStringLiteral("Confirm"));
        QCOMPARE(no.seen().at(0).text, QStringLiteral("确认删除脚本[ 时钟 ]吗"));
        QCOMPARE(no.seen().at(0).defaultButton, QStringLiteral("&Yes"));
        QCOMPARE(no.seen().at(0).escapeButton, QStringLiteral("&No"));
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs")), QStringLiteral("4"));

        for (const QString& name : {QStringLiteral("时钟"), QStringLiteral("倒计时")}) {
            openScript(name);
            ModalAnswerer yes({{QStringLiteral("&Yes")}});
            press(Qt::Key_F6);
            QTRY_VERIFY(yes.done());
        }
        // The last script of its category is gone: the category stays, childless.
        QCOMPARE(childNames(form(), QStringLiteral("时间日期")), QStringList());
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs where cjs_type = '时间日期'")),
            QStringLiteral("0"));
        QVERIFY(form().DBEdit2->text().isEmpty());
        // Nothing is open, and panel 4 does not name the deleted script.
        QCOMPARE(form().panelText(TForm1::ScriptPanel), QString());
        auto* remove = form().ActionList1->find(QStringLiteral("DataSetDelete1"));
        remove->update();
        QVERIFY(!remove->isEnabled());
    }

    void deleteNeedsAScriptNode()
    {
        selectNode(form(), QStringLiteral("文字特效"), false);
        focus(form().Treeclass);
        openScript(QStringLiteral("时钟"));
        selectNode(form(), QStringLiteral("文字特效"), false);
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        press(Qt::Key_F6);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).text, QStringLiteral("未正确选择要删除的脚本"));
        QCOMPARE(stored(QStringLiteral("select count(*) from tjs")), QStringLiteral("4"));
    }

    // The editors show the new record, not the script selected in the tree: asking to delete
    // that one would offer the wrong script, with Yes as the default.
    void deleteWhileAddingIsRefusedBeforeAsking_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("nothing typed yet") << QString();
        QTest::newRow("a name typed") << QStringLiteral("半成品");
    }

    void deleteWhileAddingIsRefusedBeforeAsking()
    {
        QFETCH(QString, typed);
        openScript(QStringLiteral("时钟"));
        press(Qt::Key_F5);
        if (!typed.isEmpty())
            type(form().DBEdit2, typed);
        focus(form().Treeclass);
        ModalAnswerer answers({{QStringLiteral("OK")}});
        press(Qt::Key_F6);
        QTRY_VERIFY(answers.done());
        QCOMPARE(answers.seen().size(), 1);
        QCOMPARE(answers.seen().at(0).objectName, QStringLiteral("InformationBox"));
        QCOMPARE(
            answers.seen().at(0).text, QStringLiteral("正在添加的脚本还没有保存，请先保存(F7)或放弃(F8)"));
        QCOMPARE(
            stored(QStringLiteral("select count(*) from tjs where cjs_name = '时钟'")), QStringLiteral("1"));
        QCOMPARE(mode(form()), QStringLiteral("[插入模式]"));
        QCOMPARE(form().DBEdit2->text(), typed);
    }

    void writingOutsideEditModeIsRefused()
    {
        openScript(QStringLiteral("时钟"));
        focus(form().DBEdit3);
        form().DBEdit3->setText(QStringLiteral("程序写入")); // text put in by code while browsing
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        form().DBEdit2->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(
            answerer.seen().at(0).text, QStringLiteral("ADOQuery2: Dataset not in edit or insert mode."));
        QTRY_COMPARE(form().focusWidget(), form().DBEdit3);
        QTest::keyClick(form().DBEdit3, Qt::Key_Escape);
        QCOMPARE(form().DBEdit3->text(), QStringLiteral("王二"));
        focus(form().DBEdit2);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void namesStopAtTheDeclaredSize()
    {
        openScript(QStringLiteral("时钟"));
        retype(form().DBEdit2, QString(60, QLatin1Char('n')));
        QCOMPARE(form().DBEdit2->text().size(), 50);
        press(Qt::Key_F7);
        QCOMPARE(stored(QStringLiteral("select length(cjs_name) from tjs where cjs_id = 2")),
            QStringLiteral("50"));
        QCOMPARE(form().FindNodeIndex(QString(50, QLatin1Char('n')), true), 4);
    }

    void longCodeIsStoredWhole()
    {
        openScript(QStringLiteral("时钟"));
        type(form().DBMemo2, QStringLiteral("x"));
        QString code;
        for (int line = 0; code.size() < 3'000'000; ++line)
            code += QStringLiteral("<div>第%1行 snow falls</div>\r\n").arg(line);
        form().DBMemo2->setPlainText(QString(code).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        press(Qt::Key_F7);
        QCOMPARE(mode(form()), QStringLiteral("[浏览模式]"));
        QCOMPARE(stored(QStringLiteral("select length(cjs_text) from tjs where cjs_name = '时钟'")),
            QString::number(code.size()));
    }

    void choosingFromTheOpenListStartsEditing()
    {
        openScript(QStringLiteral("时钟"));
        focus(form().CBX1);
        form().CBX1->showPopup();
        QAbstractItemView* list = form().CBX1->view();
        QTRY_VERIFY(list->isVisible());
        list->setCurrentIndex(list->model()->index(2, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(mode(form()), QStringLiteral("[编辑模式]"));
        QCOMPARE(form().CBX1->text(), QStringLiteral("空类别"));
        press(Qt::Key_F7);
        QCOMPARE(childNames(form(), QStringLiteral("空类别")), QStringList(QStringLiteral("时钟")));
    }

    void categoryKeysInBrowseModeStartEditing()
    {
        openScript(QStringLiteral("时钟"));
        focus(form().CBX1);
        QTest::keyClick(form().CBX1, Qt::Key_Up);
        QCOMPARE(mode(form()), QStringLiteral("[编辑模式]"));
        QCOMPARE(form().CBX1->text(), QStringLiteral("文字特效"));
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
