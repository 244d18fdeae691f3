// The search pane on the real window: searching by name, code or author, in all categories or
// one, and opening, removing and clearing results.

#include "dbctrls/dbedit.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "store/query.h"
#include "support/mainwindowfixture.h"
#include "support/mainwindowtest.h"
#include "support/modalanswerer.h"
#include "support/userinput.h"
#include "support/windowparts.h"
#include "widgets/progressbar.h"

#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace UserInput;

namespace {
QStringList entries(const QListWidget* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

void clickEntry(QListWidget* list, const QString& name)
{
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}
} // namespace

class TestSearch : public MainWindowTest
{
    Q_OBJECT

    // The first control of the search pane that does not lie whole inside the pane, or nothing.
    QString controlCutByThePane()
    {
        const QRect pane = (&windowPart<QWidget>(form(), QStringLiteral("Panel2")))->rect();
        const auto controls
            = (&windowPart<QWidget>(form(), QStringLiteral("Panel2")))->findChildren<QWidget*>();
        for (const QWidget* control : controls) {
            if (!control->isVisibleTo((&windowPart<QWidget>(form(), QStringLiteral("Panel2"))))
                || control->isWindow())
                continue;
            const QRect placed(
                control->mapTo((&windowPart<QWidget>(form(), QStringLiteral("Panel2"))), QPoint(0, 0)),
                control->size());
            if (!pane.contains(placed)) {
                return control->objectName()
                    + QStringLiteral(" at %1,%2 %3x%4 in a pane %5 high")
                          .arg(placed.x())
                          .arg(placed.y())
                          .arg(placed.width())
                          .arg(placed.height())
                          .arg(pane.height());
            }
        }
        return {};
    }

private:
    // Sets the pane up as a user would and presses "查找".
    void search(const QString& keyword, QRadioButton* column = nullptr, const QString& category = {})
    {
        (column ? column : form().rb1)->click();
        if (!category.isEmpty()) {
            form().ComboBox1->setCurrentIndex(form().ComboBox1->findText(category));
            QCOMPARE(form().ComboBox1->currentText(), category);
        }
        retype(form().Edit1, keyword);
        QTest::mouseClick(form().BitBtn1, Qt::LeftButton);
    }

    QString countPanel() { return form().panelText(TForm1::CountPanel); }

private slots:
    void searchPaneFitsTheRestoredWindow_data()
    {
        // The restored window is 808 x 552 outside: what is left inside depends on the frame.
        QTest::addColumn<QMargins>("frame");
        QTest::newRow("no frame") << QMargins();
        QTest::newRow("thin frame") << QMargins(1, 24, 1, 1);
        QTest::newRow("thick frame") << QMargins(5, 32, 5, 5);
    }

    void searchPaneFitsTheRestoredWindow()
    {
        QFETCH(QMargins, frame);
        form().resize(QSize(808, 552).shrunkBy(frame));
        QTRY_COMPARE(form().size(), QSize(808, 552).shrunkBy(frame));
        QTRY_COMPARE(controlCutByThePane(), QString());
        QCOMPARE((&windowPart<QGroupBox>(form(), QStringLiteral("GroupBox1")))->geometry(),
            QRect(8, 16, 129, 249));
        QCOMPARE((&windowPart<QGroupBox>(form(), QStringLiteral("GroupBox2")))->geometry().topLeft(),
            QPoint(8, 280));
        // Still a list to work with: several results show at once.
        QVERIFY(form().ListBox1->height() >= 6 * form().ListBox1->fontMetrics().height());

        // On a larger window the results box has its full size.
        form().resize(1024, 768);
        QTRY_COMPARE((&windowPart<QGroupBox>(form(), QStringLiteral("GroupBox2")))->geometry(),
            QRect(8, 280, 129, 233));
        QCOMPARE(controlCutByThePane(), QString());
    }

    void init()
    {
        newLibrary().create(
            {QStringLiteral("文字特效"), QStringLiteral("时间日期"), QStringLiteral("张's 收藏")},
            {{QStringLiteral("打字机"), QStringLiteral("文字特效"), QStringLiteral("林一"),
                 QStringLiteral("简介"), QStringLiteral("<b>typewriter</b>")},
                {QStringLiteral("时钟"), QStringLiteral("时间日期"), QStringLiteral("王二"),
                    QStringLiteral("简介"), QStringLiteral("<script>clock()</script>")},
                {QStringLiteral("彩虹'文字"), QStringLiteral("文字特效"), QStringLiteral("张三")},
                {QStringLiteral("倒计时"), QStringLiteral("时间日期"), QStringLiteral("李四"),
                    QStringLiteral("简介"), QStringLiteral("<script>countdown(clock)</script>")},
                {QStringLiteral("收藏一"), QStringLiteral("张's 收藏"), QStringLiteral("张三")},
                // Filed under a category the library does not have: found, but not in the tree.
                {QStringLiteral("孤儿"), QStringLiteral("已删类别"), QStringLiteral("无名")}});
        // The script outside every category is reported once the window shows.
        ModalAnswerer notice({{QStringLiteral("OK")}});
        start();
        QTRY_VERIFY(notice.done());
    }

    void searches_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("column"); // 1 name, 2 code, 3 author
        QTest::addColumn<QString>("category");
        QTest::addColumn<QStringList>("found");
        const QStringList all
            = {QStringLiteral("打字机"), QStringLiteral("时钟"), QStringLiteral("彩虹'文字"),
                QStringLiteral("倒计时"), QStringLiteral("收藏一"), QStringLiteral("孤儿")};

        QTest::newRow("% lists every script") << "%" << 1 << "" << all;
        QTest::newRow("no wildcard: the whole name only")
            << QStringLiteral("打字") << 1 << "" << QStringList();
        QTest::newRow("no wildcard: equal name")
            << QStringLiteral("打字机") << 1 << "" << QStringList(QStringLiteral("打字机"));
        QTest::newRow("quote in the keyword is literal")
            << QStringLiteral("%'文%") << 1 << "" << QStringList(QStringLiteral("彩虹'文字"));
        QTest::newRow("blanks are searched for") << " " << 1 << "" << QStringList();
        QTest::newRow("code keyword")
            << "%clock%" << 2 << "" << QStringList({QStringLiteral("时钟"), QStringLiteral("倒计时")});
        QTest::newRow("author") << QStringLiteral("张三") << 3 << ""
                                << QStringList({QStringLiteral("彩虹'文字"), QStringLiteral("收藏一")});
        QTest::newRow("inside one category")
            << "%" << 1 << QStringLiteral("时间日期")
            << QStringList({QStringLiteral("时钟"), QStringLiteral("倒计时")});
        QTest::newRow("category with a quote") << QStringLiteral("张三") << 3 << QStringLiteral("张's 收藏")
                                               << QStringList(QStringLiteral("收藏一"));
        QTest::newRow("code inside a category")
            << "%clock%" << 2 << QStringLiteral("文字特效") << QStringList();
    }

    void searches()
    {
        QFETCH(QString, keyword);
        QFETCH(int, column);
        QFETCH(QString, category);
        QFETCH(QStringList, found);
        QRadioButton* option = QList<QRadioButton*>({form().rb1, form().rb2, form().rb3}).at(column - 1);
        search(keyword, option, category);
        QCOMPARE(sorted(entries(form().ListBox1)), sorted(found));
        QCOMPARE(countPanel(), QStringLiteral("找到%1条记录").arg(found.size()));
        QVERIFY(!(&windowPart<Query>(form(), QStringLiteral("ADOQuery1")))->isActive());
    }

    void theListKeepsTheOrderRowsCome()
    {
        search(QStringLiteral("%"));
        QCOMPARE(entries(form().ListBox1),
            m_library->column(QStringLiteral("select cjs_name from tjs where cjs_name like '%'")));
    }

    void aTypedFilterCountsWhenItNamesACategory()
    {
        form().ComboBox1->setCurrentIndex(0);
        form().ComboBox1->lineEdit()->setText(QStringLiteral("时间日期"));
        search(QStringLiteral("%"));
        QCOMPARE(
            sorted(entries(form().ListBox1)), sorted({QStringLiteral("时钟"), QStringLiteral("倒计时")}));
        form().ComboBox1->lineEdit()->setText(QStringLiteral("没有这个类别"));
        QTest::keyClick(form().ComboBox1->lineEdit(), Qt::Key_Return);
        QCOMPARE(form().ComboBox1->count(), 4); // Enter adds nothing to the list
        search(QStringLiteral("%"));
        QCOMPARE(form().ListBox1->count(), 6);
    }

    void anEmptyKeywordAsksForOne()
    {
        search(QStringLiteral("%"));
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        search(QString());
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().first().text, QStringLiteral("请输入查询关键字"));
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
        QTRY_VERIFY(form().Edit1->hasFocus());
        QCOMPARE(form().ListBox1->count(), 6);
        QCOMPARE(countPanel(), QStringLiteral("找到6条记录"));
    }

    void enterInTheKeywordBoxDoesNotSearch()
    {
        retype(form().Edit1, QStringLiteral("%"));
        QTest::keyClick(form().Edit1, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(form().ListBox1->count(), 0);
        QVERIFY(!countPanel().startsWith(QStringLiteral("找到")));
    }

    void aFailedSearchLeavesCountAndList()
    {
        search(QStringLiteral("%"), form().rb1, QStringLiteral("时间日期"));
        m_library->column(QStringLiteral("alter table tjs rename to tjs_gone"));
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        search(QStringLiteral("%"));
        QTRY_VERIFY(answerer.done());
        QVERIFY(answerer.seen().first().text.contains(QStringLiteral("tjs")));
        QCOMPARE(answerer.seen().first().title, QStringLiteral("FeylumeV2.5"));
        QCOMPARE(
            sorted(entries(form().ListBox1)), sorted({QStringLiteral("时钟"), QStringLiteral("倒计时")}));
        QCOMPARE(countPanel(), QStringLiteral("找到2条记录"));
    }

    void searchingLeavesTheRecordTreeAndProgressBar()
    {
        selectNode(form(), QStringLiteral("时钟"), true);
        retype(form().DBEdit3, QStringLiteral("新作者"));
        QCOMPARE(form().panelText(TForm1::ModePanel), QStringLiteral("[编辑模式]"));
        const int position = form().pgb->position();
        const int maximum = form().pgb->maximum();
        search(QStringLiteral("%"));
        QCOMPARE(form().ListBox1->count(), 6);
        QCOMPARE(form().panelText(TForm1::ModePanel), QStringLiteral("[编辑模式]"));
        QCOMPARE(form().DBEdit3->text(), QStringLiteral("新作者"));
        QCOMPARE(form().CurrentScriptName, QStringLiteral("时钟"));
        QCOMPARE(form().Treeclass->selectedNode()->text(0), QStringLiteral("时钟"));
        QCOMPARE(form().pgb->position(), position);
        QCOMPARE(form().pgb->maximum(), maximum);
    }

    void clickingAResultOpensItAndSelectsItsNode()
    {
        search(QStringLiteral("%"));
        clickEntry(form().ListBox1, QStringLiteral("倒计时"));
        QCOMPARE(form().CurrentScriptName, QStringLiteral("倒计时"));
        QCOMPARE(form().DBEdit2->text(), QStringLiteral("倒计时"));
        QCOMPARE(form().Treeclass->selectedNode()->text(0), QStringLiteral("倒计时"));
        QTRY_VERIFY(form().Treeclass->hasFocus());
        QCOMPARE(countPanel(), QStringLiteral("时间日期脚本数:2"));
        QCOMPARE(form().panelText(TForm1::ScriptPanel), QStringLiteral("倒计时"));

        // The node is already selected: the script is opened, the search count stays.
        search(QStringLiteral("%"));
        clickEntry(form().ListBox1, QStringLiteral("倒计时"));
        QCOMPARE(form().CurrentScriptName, QStringLiteral("倒计时"));
        QCOMPARE(countPanel(), QStringLiteral("找到6条记录"));
    }

    void aStaleEntryShowsInvalidIndex_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("deleted since the search") << QStringLiteral("打字机");
        QTest::newRow("category not in the tree") << QStringLiteral("孤儿");
    }

    void aStaleEntryShowsInvalidIndex()
    {
        QFETCH(QString, name);
        search(QStringLiteral("%"));
        if (name == QStringLiteral("打字机")) {
            selectNode(form(), name, true);
            focus(form().Treeclass);
            ModalAnswerer confirm({{QStringLiteral("&Yes")}});
            QTest::keyClick(form().Treeclass, Qt::Key_F6);
            QTRY_VERIFY(confirm.done());
            QCOMPARE(form().FindNodeIndex(name, true), -1);
        }
        selectNode(form(), QStringLiteral("时钟"), true);
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        clickEntry(form().ListBox1, name);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().first().text, QStringLiteral("Invalid index."));
        QCOMPARE(form().Treeclass->selectedNode()->text(0), QStringLiteral("时钟"));
        // The script was opened by name before the node was looked for.
        QCOMPARE(form().CurrentScriptName, name);
    }

    void arrowKeysOpenTheEntryTheySelect()
    {
        search(QStringLiteral("%"), form().rb1, QStringLiteral("时间日期"));
        const QStringList found = entries(form().ListBox1);
        clickEntry(form().ListBox1, found.at(0));
        QCOMPARE(form().CurrentScriptName, found.at(0));
        focus(form().ListBox1);
        QTest::keyClick(form().ListBox1, Qt::Key_Down);
        QCOMPARE(form().ListBox1->currentRow(), 1);
        QCOMPARE(form().CurrentScriptName, found.at(1));
        QTRY_VERIFY(form().Treeclass->hasFocus());
        // The focus is in the tree now: the next arrow key moves the tree's selection.
        const TreeNode* before = form().Treeclass->selectedNode();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(form().ListBox1->currentRow(), 1);
        QVERIFY(form().Treeclass->selectedNode() != before);
    }

    void aChangedScriptIsStoredBeforeAResultOpens()
    {
        search(QStringLiteral("%"));
        clickEntry(form().ListBox1, QStringLiteral("打字机"));
        retype(form().DBEdit3, QStringLiteral("改过的作者"));
        clickEntry(form().ListBox1, QStringLiteral("时钟"));
        QCOMPARE(form().CurrentScriptName, QStringLiteral("时钟"));
        QCOMPARE(m_library->value(QStringLiteral("select cjs_zzm from tjs where cjs_name = '打字机'")),
            QStringLiteral("改过的作者"));
    }

    void aRefusedStoreKeepsRecordAndSelection()
    {
        search(QStringLiteral("%"));
        clickEntry(form().ListBox1, QStringLiteral("打字机"));
        const int opened = form().ListBox1->currentRow();
        retype(form().DBEdit2, QString());
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        clickEntry(form().ListBox1, QStringLiteral("时钟"));
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().first().text, QStringLiteral("脚本名不能为空"));
        QCOMPARE(form().panelText(TForm1::ModePanel), QStringLiteral("[编辑模式]"));
        QCOMPARE(form().CurrentScriptName, QStringLiteral("打字机"));
        QCOMPARE(form().DBEdit2->text(), QString());
        QCOMPARE(form().ListBox1->currentRow(), opened);
        QCOMPARE(form().ListBox1->currentItem()->text(), QStringLiteral("打字机"));
        QCOMPARE(form().Treeclass->selectedNode()->text(0), QStringLiteral("打字机"));
    }

    void removeAndClearEditOnlyTheList()
    {
        QAction* remove = form().PopupMenu1->findChild<QAction*>(QStringLiteral("N35"));
        QAction* clear = form().PopupMenu1->findChild<QAction*>(QStringLiteral("N40"));
        QVERIFY(remove && clear);
        QCOMPARE(remove->statusTip(), QStringLiteral("不会删除脚本"));
        clear->trigger(); // on an empty list
        search(QStringLiteral("%"));
        remove->trigger(); // nothing selected
        QCOMPARE(form().ListBox1->count(), 6);

        clickEntry(form().ListBox1, QStringLiteral("彩虹'文字"));
        const QString opened = form().CurrentScriptName;
        remove->trigger();
        QCOMPARE(entries(form().ListBox1).contains(QStringLiteral("彩虹'文字")), false);
        QCOMPARE(form().ListBox1->count(), 5);
        QVERIFY(form().ListBox1->selectedItems().isEmpty());
        QCOMPARE(form().CurrentScriptName, opened); // removing opens nothing
        QCOMPARE(m_library->value(QStringLiteral("select count(*) from tjs")), QStringLiteral("6"));

        const QString count = countPanel();
        clear->trigger();
        QCOMPARE(form().ListBox1->count(), 0);
        QCOMPARE(countPanel(), count);
    }
};

QTEST_MAIN(TestSearch)
#include "test_search.moc"
