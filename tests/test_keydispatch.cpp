// Which command a key press reaches: the order of pop-up menus, main menu and action list, on a
// small window of its own, and the main window's keys on the real window.

#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "dialogs/finddialog.h"
#include "main/action.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "main/keydispatch.h"
#include "support/libraryfixture.h"
#include "support/mainwindowfixture.h"
#include "support/modalanswerer.h"
#include "support/userinput.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
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
        command(first, "disabledK", QKeySequence(Qt::CTRL | Qt::Key_K))->setEnabled(false);
        command(first, "disabledBackspace", QKeySequence(Qt::Key_Backspace))->setEnabled(false);
        QMenu* sub = first->addMenu(QStringLiteral("Sub"));
        command(sub, "subF9", QKeySequence(Qt::Key_F9));
        QMenu* second = bar->addMenu(QStringLiteral("Second"));
        command(second, "secondF9", QKeySequence(Qt::Key_F9));

        actions = new ActionList(this);
        action("actionF5", Qt::Key_F5, true);
        action("actionF9", Qt::Key_F9, true);
        action("actionBackspace", Qt::Key_Backspace, false);
        action("actionShiftC", Qt::SHIFT | Qt::Key_C, true);
        action("actionCtrlK", Qt::CTRL | Qt::Key_K, true);

        auto* panel = new QWidget(this);
        auto* layout = new QVBoxLayout(panel);
        withPopup = new QListWidget(panel);
        button = new QPushButton(QStringLiteral("button"), panel);
        edit = new QLineEdit(QStringLiteral("ab"), panel);
        layout->addWidget(withPopup);
        layout->addWidget(button);
        layout->addWidget(edit);
        setCentralWidget(panel);
        auto* panelPopup = new QMenu(this);
        command(panelPopup, "panelPopupF5", QKeySequence(Qt::Key_F5));
        KeyDispatcher::setPopupMenu(panel, panelPopup);
        auto* listPopup = new QMenu(this);
        command(listPopup, "listPopupA", QKeySequence(Qt::SHIFT | Qt::Key_A));
        KeyDispatcher::setPopupMenu(withPopup, listPopup);

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
    QListWidget* withPopup = nullptr;
    QPushButton* button = nullptr;
    QLineEdit* edit = nullptr;
    ActionList* actions = nullptr;
    KeyDispatcher* dispatcher = nullptr;
};
// Opens a script and gives the keyboard to the named box (an editable combo box's text box).
QWidget* focusBoxOfAnOpenScript(TForm1& form, const QString& name)
{
    selectNode(form, QStringLiteral("打字机"), true);
    auto* box = form.findChild<QWidget*>(name);
    if (!box)
        return nullptr;
    if (auto* combo = qobject_cast<QComboBox*>(box))
        box = combo->lineEdit();
    box->setFocus();
    return QTest::qWaitFor([box] { return box->hasFocus(); }) ? box : nullptr;
}

QString textOf(const QWidget* box)
{
    if (auto* line = qobject_cast<const QLineEdit*>(box))
        return line->text();
    return qobject_cast<const QPlainTextEdit*>(box)->toPlainText();
}

int caretOf(const QWidget* box)
{
    if (auto* line = qobject_cast<const QLineEdit*>(box))
        return line->cursorPosition();
    return qobject_cast<const QPlainTextEdit*>(box)->textCursor().position();
}

// Presses a key as a keyboard sends it: a letter carries its character, in capitals with Shift.
void pressAsTyped(QWidget* target, QKeyCombination key)
{
    const Qt::Key code = key.key();
    if (code >= Qt::Key_A && code <= Qt::Key_Z) {
        const char letter
            = char((key.keyboardModifiers() & Qt::ShiftModifier ? 'A' : 'a') + (code - Qt::Key_A));
        QTest::keyClick(target, letter, key.keyboardModifiers());
    } else {
        QTest::keyClick(target, code, key.keyboardModifiers());
    }
}

// Gives the keyboard back to a window as a window manager does once a dialog over it has gone.
void activateAsTheDesktopDoes(QWidget* window)
{
    window->activateWindow();
    QTRY_COMPARE(QGuiApplication::focusWindow(), window->windowHandle());
}

// A real key press, delivered by the application to whatever it routes the window's keys to.
void pressInWindow(QWidget* window, QKeyCombination key)
{
    QTest::keyClick(window->windowHandle(), key.key(), key.keyboardModifiers());
}
} // namespace

class TestKeyDispatch : public QObject
{
    Q_OBJECT

private slots:
    void keyFindsItsCommandInOrder_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<QStringList>("ran");
        QTest::addColumn<QString>("editText");
        const QString untouched = QStringLiteral("ab");
        QTest::newRow("focused control's pop-up first")
            << "list" << QKeyCombination(Qt::SHIFT | Qt::Key_A) << QStringList("listPopupA") << untouched;
        QTest::newRow("then the main menu")
            << "button" << QKeyCombination(Qt::SHIFT | Qt::Key_A) << QStringList("menuA") << untouched;
        QTest::newRow("a parent's pop-up before the action list")
            << "edit" << QKeyCombination(Qt::Key_F5) << QStringList("panelPopupF5") << untouched;
        QTest::newRow("menu items before the next top-level menu and the actions")
            << "edit" << QKeyCombination(Qt::Key_F9) << QStringList("subF9") << untouched;
        QTest::newRow("a disabled item leaves its key to the next command")
            << "edit" << QKeyCombination(Qt::CTRL | Qt::Key_K) << QStringList("actionCtrlK") << untouched;
        QTest::newRow("a disabled item and action leave the key to the control")
            << "edit" << QKeyCombination(Qt::Key_Backspace) << QStringList() << QStringLiteral("a");
        QTest::newRow("a menu title takes its key and runs nothing")
            << "edit" << QKeyCombination(Qt::Key_F3) << QStringList() << untouched;
        QTest::newRow("an enabled action runs")
            << "button" << QKeyCombination(Qt::SHIFT | Qt::Key_C) << QStringList("actionShiftC") << untouched;
        QTest::newRow("other keys reach the control")
            << "edit" << QKeyCombination(Qt::Key_X) << QStringList() << QStringLiteral("abx");
        QTest::newRow("a capital letter is typed into a text box, not run")
            << "edit" << QKeyCombination(Qt::SHIFT | Qt::Key_A) << QStringList() << QStringLiteral("abA");
    }

    void keyFindsItsCommandInOrder()
    {
        QFETCH(QString, focus);
        QFETCH(QKeyCombination, key);
        QFETCH(QStringList, ran);
        QFETCH(QString, editText);
        DispatchWindow window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QWidget* target = focus == "list" ? static_cast<QWidget*>(window.withPopup)
            : focus == "button"           ? static_cast<QWidget*>(window.button)
                                          : window.edit;
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        pressAsTyped(target, key);
        QCOMPARE(window.log, ran);
        QCOMPARE(window.edit->text(), editText);
    }

    void keysComeBackFromACompletionListLeftBehind_data()
    {
        QTest::addColumn<bool>("ownerCloses");
        QTest::addColumn<QStringList>("ran");
        QTest::newRow("its window closed") << true << QStringList("subF9");
        QTest::newRow("its window still open") << false << QStringList();
    }

    void keysComeBackFromACompletionListLeftBehind()
    {
        QFETCH(bool, ownerCloses);
        QFETCH(QStringList, ran);
        DispatchWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QWidget other;
        auto* edit = new QLineEdit(&other);
        auto* completer = new QCompleter(QStringList({"alpha", "alpine"}), edit);
        edit->setCompleter(completer);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        edit->setFocus();
        QTest::keyClicks(edit, "al");
        QTRY_VERIFY(completer->popup()->isVisible());
        if (ownerCloses)
            other.hide();
        activateAsTheDesktopDoes(&window);
        pressInWindow(&window, QKeyCombination(Qt::Key_F9));
        QCOMPARE(window.log, ran);
        QCOMPARE(completer->popup()->isVisible(), !ownerCloses);
    }

    void commandKeysWorkAfterPickingFromTheOpenDialogsCompletion()
    {
        LibraryFixture library;
        library.createSmall();
        QTemporaryDir files;
        for (const char* name : {"clockface.htm", "clouds.htm"}) {
            QFile file(files.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("<b>imported</b>");
        }
        auto form = startMainWindow(library.appDir());
        selectNode(*form, QStringLiteral("时钟"), true);
        UserInput::focus(form->DBMemo2);
        QPointer<QWidget> completion;
        // The name box completes "clo" to both files; Down picks the first, Enter opens it.
        const auto pickFromCompletion = [&](QWidget* box) {
            auto* dialog = qobject_cast<QFileDialog*>(box);
            dialog->setDirectory(files.path());
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            auto* list = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
            QTRY_VERIFY(name->hasFocus() && list->model()->rowCount(list->rootIndex()) == 2);
            QTest::keyClicks(name, "clo");
            QTRY_VERIFY(name->completer()->popup()->isVisible());
            completion = name->completer()->popup();
            pressInWindow(dialog, QKeyCombination(Qt::Key_Down));
            pressInWindow(dialog, QKeyCombination(Qt::Key_Return));
            QTRY_VERIFY(!dialog->isVisible());
        };
        ModalAnswerer answerer({{QStringLiteral("&No")}, {QString(), {}, 0, pickFromCompletion}});
        UserInput::press(Qt::CTRL | Qt::Key_O);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(form->DBMemo2->text(), QStringLiteral("<b>imported</b>"));
        QCOMPARE(form->panelText(TForm1::ModePanel), QStringLiteral("[编辑模式]"));
        QVERIFY(completion);
        QVERIFY(!completion->isVisible());

        activateAsTheDesktopDoes(form.get());
        pressInWindow(form.get(), QKeyCombination(Qt::Key_F7));
        QCOMPARE(form->panelText(TForm1::ModePanel), QStringLiteral("[浏览模式]"));
        QCOMPARE(library.value(QStringLiteral("select cjs_text from tjs where cjs_name = '时钟'")),
            QStringLiteral("<b>imported</b>"));
    }

    void mainWindowKeysInTextBoxes_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("mode");
        const QString browsing = QStringLiteral("[浏览模式]");
        const QString editing = QStringLiteral("[编辑模式]");
        QTest::newRow("Shift+A in the name box")
            << "DBEdit2" << QKeyCombination(Qt::SHIFT | Qt::Key_A) << "A" << editing;
        QTest::newRow("Shift+D in the code editor")
            << "DBMemo2" << QKeyCombination(Qt::SHIFT | Qt::Key_D) << "D" << editing;
        QTest::newRow("Shift+M in the search box")
            << "Edit1" << QKeyCombination(Qt::SHIFT | Qt::Key_M) << "M" << browsing;
        QTest::newRow("Shift+I in the author box")
            << "DBEdit3" << QKeyCombination(Qt::SHIFT | Qt::Key_I) << "I" << editing;
        QTest::newRow("Shift+A in the editable filter box")
            << "ComboBox1" << QKeyCombination(Qt::SHIFT | Qt::Key_A) << "A" << browsing;
        QTest::newRow("F3 in the code editor") << "DBMemo2" << QKeyCombination(Qt::Key_F3) << "" << browsing;
    }

    void mainWindowKeysInTextBoxes()
    {
        QFETCH(QString, editor);
        QFETCH(QKeyCombination, key);
        QFETCH(QString, typed);
        QFETCH(QString, mode);
        LibraryFixture library;
        library.createSmall();
        auto form = startMainWindow(library.appDir());
        QWidget* box = focusBoxOfAnOpenScript(*form, editor);
        QVERIFY(box);
        const QString before = textOf(box);
        const int caret = caretOf(box);
        pressAsTyped(box, key);
        QCOMPARE(textOf(box), QString(before).insert(caret, typed));
        QCOMPARE(form->panelText(TForm1::ModePanel), mode);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // "&Delete" removes a selection only; without one it is disabled and Del is the box's own key.
    void deleteWithoutASelectionDeletesTheNextCharacter_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QList<Qt::Key>>("moves");
        QTest::addColumn<QString>("mode");
        const QString editing = QStringLiteral("[编辑模式]");
        QTest::newRow("at the start of a code line")
            << "DBMemo2" << QList<Qt::Key> {Qt::Key_Down, Qt::Key_Home} << editing;
        QTest::newRow("End then Del joins the lines") << "DBMemo2" << QList<Qt::Key> {Qt::Key_End} << editing;
        QTest::newRow("in the name box") << "DBEdit2" << QList<Qt::Key> {Qt::Key_Home} << editing;
        QTest::newRow("in the search box")
            << "Edit1" << QList<Qt::Key> {Qt::Key_Home} << QStringLiteral("[浏览模式]");
    }

    void deleteWithoutASelectionDeletesTheNextCharacter()
    {
        QFETCH(QString, editor);
        QFETCH(QList<Qt::Key>, moves);
        QFETCH(QString, mode);
        LibraryFixture library;
        library.createSmall();
        auto form = startMainWindow(library.appDir());
        if (editor == QStringLiteral("Edit1"))
            form->Edit1->setText(QStringLiteral("关键字"));
        QWidget* box = focusBoxOfAnOpenScript(*form, editor);
        QVERIFY(box);
        for (Qt::Key move : moves)
            QTest::keyClick(box, move);
        const QString before = textOf(box);
        const int caret = caretOf(box);
        QVERIFY(caret < before.size());
        QTest::keyClick(box, Qt::Key_Delete);
        QCOMPARE(textOf(box), QString(before).remove(caret, 1));
        QCOMPARE(form->panelText(TForm1::ModePanel), mode);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void shiftLettersStillRunCommandsOutsideTextBoxes()
    {
        LibraryFixture library;
        library.createSmall();
        auto form = startMainWindow(library.appDir());
        // The entry's own handler is not under test here: count what reaches the entry.
        auto* addCategory = form->findChild<QAction*>(QStringLiteral("N2"));
        QVERIFY(addCategory);
        QObject::disconnect(addCategory, &QAction::triggered, nullptr, nullptr);
        addCategory->setEnabled(true);
        int reached = 0;
        connect(addCategory, &QAction::triggered, this, [&reached] { ++reached; });
        form->Treeclass->setFocus();
        QTRY_VERIFY(form->Treeclass->hasFocus());
        pressAsTyped(form->Treeclass, QKeyCombination(Qt::SHIFT | Qt::Key_A));
        QCOMPARE(reached, 1);
    }

    void editingCommandsFollowTheFocusedTextBox_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("selectAll");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("lastFind");
        QTest::addColumn<QStringList>("enabled");
        const QStringList always = {"EditSelectAll1", "SearchFind1", "SearchReplace1"};
        QTest::newRow("code editor, caret only") << "DBMemo2" << false << ""
                                                 << "" << always;
        QTest::newRow("code editor, selection, text to paste")
            << "DBMemo2" << true << "x"
            << ""
            << QStringList({"EditCut1", "EditCopy1", "EditPaste1", "EditSelectAll1", "EditDelete1",
                   "SearchFind1", "SearchReplace1"});
        QTest::newRow("code editor after a find")
            << "DBMemo2" << false << ""
            << "line" << QStringList({"EditSelectAll1", "SearchFind1", "SearchFindNext1", "SearchReplace1"});
        QTest::newRow("empty search box") << "Edit1" << false << "x"
                                          << "line" << QStringList({"EditPaste1"});
        QTest::newRow("tree") << "Treeclass" << false << "x"
                              << "line" << QStringList();
        QTest::newRow("editable filter box") << "ComboBox1" << true << "x"
                                             << "line" << QStringList();
    }

    void editingCommandsFollowTheFocusedTextBox()
    {
        QFETCH(QString, focus);
        QFETCH(bool, selectAll);
        QFETCH(QString, clipboard);
        QFETCH(QString, lastFind);
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
        form->FindDialog1->setFindText(lastFind);
        letProgramGoIdle();
        const QStringList commands = {"EditUndo1", "EditCut1", "EditCopy1", "EditPaste1", "EditSelectAll1",
            "EditDelete1", "SearchFind1", "SearchFindNext1", "SearchReplace1"};
        QStringList allowed;
        for (const QString& name : commands) {
            if (form->ActionList1->find(name)->isEnabled())
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
