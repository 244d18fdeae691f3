// Which command a key press reaches: the order of pop-up menus, main menu and action list, on a
// small window of its own, and the main window's keys on the real window.

#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "main/action.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "main/keydispatch.h"
#include "support/libraryfixture.h"
#include "support/mainwindowfixture.h"
#include "support/modalanswerer.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <QtTest>

namespace {
// A window whose every command writes its name into a log.
class DispatchWindow : public QMainWindow
{
public:
    DispatchWindow()
    {
        auto* bar = new QMenuBar(this);
        setMenuBar(bar);
        QMenu* first = bar->addMenu(QStringLiteral("First"));
        KeyDispatcher::setCommandShortcut(first->menuAction(), QKeySequence(Qt::Key_F3));
        // Registered with Qt's shortcut map as usual: the dispatcher must keep it from firing twice.
        command(first, "menuA", QKeySequence(Qt::SHIFT | Qt::Key_A))
            ->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_A));
        command(first, "disabled", QKeySequence(Qt::CTRL | Qt::Key_K))->setEnabled(false);
        QMenu* sub = first->addMenu(QStringLiteral("Sub"));
        command(sub, "subF9", QKeySequence(Qt::Key_F9));
        QMenu* second = bar->addMenu(QStringLiteral("Second"));
        command(second, "secondF9", QKeySequence(Qt::Key_F9));

        actions = new ActionList(this);
        action("actionF5", Qt::Key_F5, true);
        action("actionF9", Qt::Key_F9, true);
        action("actionShiftB", Qt::SHIFT | Qt::Key_B, false);
        action("actionShiftC", Qt::SHIFT | Qt::Key_C, true);

        auto* panel = new QWidget(this);
        auto* layout = new QVBoxLayout(panel);
        withPopup = new QLineEdit(panel);
        plain = new QLineEdit(panel);
        layout->addWidget(withPopup);
        layout->addWidget(plain);
        setCentralWidget(panel);
        auto* panelPopup = new QMenu(this);
        command(panelPopup, "panelPopupF5", QKeySequence(Qt::Key_F5));
        KeyDispatcher::setPopupMenu(panel, panelPopup);
        auto* editPopup = new QMenu(this);
        command(editPopup, "editPopupA", QKeySequence(Qt::SHIFT | Qt::Key_A));
        KeyDispatcher::setPopupMenu(withPopup, editPopup);

        dispatcher = new KeyDispatcher(this, bar, actions);
    }
    ~DispatchWindow() override { delete dispatcher; }

    QAction* command(QMenu* menu, const char* name, const QKeySequence& key)
    {
        QAction* item = menu->addAction(QString::fromLatin1(name));
        KeyDispatcher::setCommandShortcut(item, key);
        connect(item, &QAction::triggered, this, [this, name] { log << QString::fromLatin1(name); });
        return item;
    }

    void action(const char* name, QKeyCombination key, bool enabled)
    {
        Action* action
            = actions->add(QString::fromLatin1(name), QString::fromLatin1(name), QKeySequence(key));
        action->setHandler([this, name] { log << QString::fromLatin1(name); });
        action->setUpdateRule([enabled] { return enabled; });
    }

    QStringList log;
    QLineEdit* withPopup = nullptr;
    QLineEdit* plain = nullptr;
    ActionList* actions = nullptr;
    KeyDispatcher* dispatcher = nullptr;
};
} // namespace

class TestKeyDispatch : public QObject
{
    Q_OBJECT

private slots:
    void keyFindsItsCommandInOrder_data()
    {
        QTest::addColumn<bool>("focusWithPopup");
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<QStringList>("ran");
        QTest::addColumn<QString>("typed");
        QTest::newRow("focused control's pop-up first")
            << true << QKeyCombination(Qt::SHIFT | Qt::Key_A) << QStringList("editPopupA") << QString();
        QTest::newRow("then the main menu")
            << false << QKeyCombination(Qt::SHIFT | Qt::Key_A) << QStringList("menuA") << QString();
        QTest::newRow("a parent's pop-up before the action list")
            << false << QKeyCombination(Qt::Key_F5) << QStringList("panelPopupF5") << QString();
        QTest::newRow("menu items before the next top-level menu and the actions")
            << false << QKeyCombination(Qt::Key_F9) << QStringList("subF9") << QString();
        QTest::newRow("a disabled item still takes its key")
            << false << QKeyCombination(Qt::CTRL | Qt::Key_K) << QStringList() << QString();
        QTest::newRow("a menu title takes its key and runs nothing")
            << false << QKeyCombination(Qt::Key_F3) << QStringList() << QString();
        QTest::newRow("an enabled action runs")
            << false << QKeyCombination(Qt::SHIFT | Qt::Key_C) << QStringList("actionShiftC") << QString();
        QTest::newRow("a disabled action leaves the key to the control")
            << false << QKeyCombination(Qt::SHIFT | Qt::Key_B) << QStringList() << QStringLiteral("b");
        QTest::newRow("other keys reach the control")
            << false << QKeyCombination(Qt::Key_X) << QStringList() << QStringLiteral("x");
    }

    void keyFindsItsCommandInOrder()
    {
        QFETCH(bool, focusWithPopup);
        QFETCH(QKeyCombination, key);
        QFETCH(QStringList, ran);
        QFETCH(QString, typed);
        DispatchWindow window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QLineEdit* target = focusWithPopup ? window.withPopup : window.plain;
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        QTest::keyClick(target, key.key(), key.keyboardModifiers());
        QCOMPARE(window.log, ran);
        // The test driver types letters in lower case whatever the modifiers.
        QCOMPARE(target->text(), typed);
    }

    void mainWindowKeysTypeNothingInTextBoxes_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QKeyCombination>("key");
        QTest::newRow("Shift+A in the name box") << "DBEdit2" << QKeyCombination(Qt::SHIFT | Qt::Key_A);
        QTest::newRow("Shift+D in the code editor") << "DBMemo2" << QKeyCombination(Qt::SHIFT | Qt::Key_D);
        QTest::newRow("Shift+M in the search box") << "Edit1" << QKeyCombination(Qt::SHIFT | Qt::Key_M);
        QTest::newRow("Shift+I in the author box") << "DBEdit3" << QKeyCombination(Qt::SHIFT | Qt::Key_I);
        QTest::newRow("F3 in the code editor") << "DBMemo2" << QKeyCombination(Qt::Key_F3);
        QTest::newRow("Del without a selection") << "DBMemo2" << QKeyCombination(Qt::Key_Delete);
    }

    void mainWindowKeysTypeNothingInTextBoxes()
    {
        QFETCH(QString, editor);
        QFETCH(QKeyCombination, key);
        LibraryFixture library;
        library.createSmall();
        auto form = startMainWindow(library.appDir());
        selectNode(*form, QStringLiteral("打字机"), true);
        auto* box = form->findChild<QWidget*>(editor);
        QVERIFY(box);
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        const QString before = box->property(qobject_cast<QLineEdit*>(box) ? "text" : "plainText").toString();
        // A naming command the key runs shows its prompt or message; it is closed unanswered.
        ModalAnswerer closer({{QStringLiteral("Cancel")}});
        QTest::keyClick(box, key.key(), key.keyboardModifiers());
        QCOMPARE(box->property(qobject_cast<QLineEdit*>(box) ? "text" : "plainText").toString(), before);
        QCOMPARE(form->panelText(TForm1::ModePanel), QStringLiteral("[浏览模式]"));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void editingCommandsFollowTheFocusedTextBox_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("selectAll");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QStringList>("enabled");
        const QStringList always = {"EditSelectAll1", "SearchFind1", "SearchReplace1"};
        QTest::newRow("code editor, caret only") << "DBMemo2" << false << "" << always;
        QTest::newRow("code editor, selection, text to paste")
            << "DBMemo2" << true << "x"
            << QStringList({"EditCut1", "EditCopy1", "EditPaste1", "EditSelectAll1", "EditDelete1",
                   "SearchFind1", "SearchReplace1"});
        QTest::newRow("empty search box") << "Edit1" << false << "x" << QStringList({"EditPaste1"});
        QTest::newRow("tree") << "Treeclass" << false << "x" << QStringList();
        QTest::newRow("editable filter box") << "ComboBox1" << true << "x" << QStringList();
    }

    void editingCommandsFollowTheFocusedTextBox()
    {
        QFETCH(QString, focus);
        QFETCH(bool, selectAll);
        QFETCH(QString, clipboard);
        QFETCH(QStringList, enabled);
        LibraryFixture library;
        library.createSmall();
        auto form = startMainWindow(library.appDir());
        selectNode(*form, QStringLiteral("打字机"), true);
        if (clipboard.isEmpty())
            QGuiApplication::clipboard()->clear();
        else
            QGuiApplication::clipboard()->setText(clipboard);
        auto* target = form->findChild<QWidget*>(focus);
        if (auto* box = qobject_cast<QComboBox*>(target))
            target = box->lineEdit();
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        if (selectAll)
            QMetaObject::invokeMethod(target, "selectAll");
        // Their handlers come with the editing commands; a stand-in shows what the rules allow.
        const QStringList commands = {"EditUndo1", "EditCut1", "EditCopy1", "EditPaste1", "EditSelectAll1",
            "EditDelete1", "SearchFind1", "SearchFindNext1", "SearchReplace1"};
        QStringList allowed;
        for (const QString& name : commands) {
            Action* action = form->ActionList1->find(name);
            action->setHandler([] {});
            action->update();
            if (action->isEnabled())
                allowed << name;
        }
        QCOMPARE(allowed, enabled);
    }

    void menusShowShortcutsButNoGlyphs()
    {
        LibraryFixture library;
        library.createSmall();
        auto form = startMainWindow(library.appDir());
        auto* save = form->findChild<QAction*>(QStringLiteral("N23"));
        QVERIFY(save);
        QCOMPARE(save->text(), QStringLiteral("保存脚本"));
        QCOMPARE(save->shortcut(), QKeySequence(Qt::Key_F7));
        QCOMPARE(KeyDispatcher::commandShortcut(form->findChild<QAction*>(QStringLiteral("N1"))),
            QKeySequence(Qt::Key_F3));
        const auto items = form->findChildren<QAction*>();
        for (const QAction* item : items)
            QVERIFY2(item->icon().isNull(), qPrintable(item->objectName()));
        // The save command is off in browse mode, and so are its menu item and tool button.
        QVERIFY(!save->isEnabled());
        QVERIFY(!form->findChild<QWidget*>(QStringLiteral("ToolButton8"))->isEnabled());
    }
};

QTEST_MAIN(TestKeyDispatch)
#include "test_keydispatch.moc"
