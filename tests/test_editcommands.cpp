// The code editor commands on the real window: the clipboard commands, delete and undo on the
// data-bound boxes, and the find and replace dialogs driven through their buttons.

#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "dialogs/finddialog.h"
#include "dialogs/replacedialog.h"
#include "main/action.h"
#include "main/form1.h"
#include "support/mainwindowfixture.h"
#include "support/mainwindowtest.h"
#include "support/modalanswerer.h"
#include "support/pendingevents.h"
#include "support/userinput.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace UserInput;

namespace {
const QString kCode = QStringLiteral("one two one two one");

void click(QWidget* dialog, const char* button)
{
    auto* widget = dialog->findChild<QPushButton*>(QString::fromLatin1(button));
    QVERIFY(widget);
    QVERIFY(widget->isEnabled());
    QTest::mouseClick(widget, Qt::LeftButton);
}

void setSelection(QWidget* box, int start, int length)
{
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->setSelection(start, length);
        return;
    }
    auto* memo = qobject_cast<QPlainTextEdit*>(box);
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
}

QPair<int, int> selectionOf(QWidget* box)
{
    if (auto* line = qobject_cast<QLineEdit*>(box))
        return {line->hasSelectedText() ? line->selectionStart() : line->cursorPosition(),
            line->selectionLength()};
    const QTextCursor cursor = qobject_cast<QPlainTextEdit*>(box)->textCursor();
    return {cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
}

QString textOf(QWidget* box)
{
    if (auto* line = qobject_cast<QLineEdit*>(box))
        return line->text();
    return qobject_cast<QPlainTextEdit*>(box)->toPlainText();
}

// Closes a dialog with its cancel button and lets the window system settle which window is
// active before the test works in the main one again.
void closeAndSettle(QWidget* dialog)
{
    click(dialog, "CancelButton");
    QTRY_VERIFY(!dialog->isVisible());
    letPendingEventsRun();
}

// Types into a dialog's field over what it holds; a null text leaves the field as it is.
void setFindText(QWidget* dialog, const char* field, const QString& text)
{
    if (text.isNull())
        return;
    auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(field));
    edit->selectAll();
    QTest::keyClicks(edit, text);
}
} // namespace

class TestEditCommands : public MainWindowTest
{
    Q_OBJECT

    // Opens the find dialog on a box with its key, as a user does, and types the text to find.
    bool openFind(QWidget* box, const QString& what)
    {
        focus(box);
        press(QKeyCombination(Qt::CTRL | Qt::Key_F));
        if (!QTest::qWaitForWindowActive(m_form->FindDialog1))
            return false;
        setFindText(m_form->FindDialog1, "FindText", what);
        return true;
    }

    // Opens the replace dialog on a box with its key.
    bool openReplace(QWidget* box, const QString& what, const QString& with)
    {
        focus(box);
        press(QKeyCombination(Qt::CTRL | Qt::Key_H));
        // With the find dialog open too, which of the two ends up active is the window
        // system's call; the replace dialog must be up.
        if (!QTest::qWaitFor([this] { return m_form->ReplaceDialog1->isVisible(); }))
            return false;
        setFindText(m_form->ReplaceDialog1, "FindText", what);
        setFindText(m_form->ReplaceDialog1, "ReplaceText", with);
        return true;
    }

private slots:
    void init()
    {
        FixtureScript script {QStringLiteral("脚本"), QStringLiteral("类别")};
        script.code = kCode;
        newLibrary().create({QStringLiteral("类别")}, {script});
        start();
        selectNode(*m_form, QStringLiteral("脚本"), true);
        QGuiApplication::clipboard()->setText(QStringLiteral("贴"));
    }

    void changingCommandsEnterEditModeFirst_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("paste in the code editor")
            << "DBMemo2" << QKeyCombination(Qt::CTRL | Qt::Key_V) << QStringLiteral("贴");
        QTest::newRow("cut in the code editor") << "DBMemo2" << QKeyCombination(Qt::CTRL | Qt::Key_X) << "";
        QTest::newRow("delete in the code editor") << "DBMemo2" << QKeyCombination(Qt::Key_Delete) << "";
        QTest::newRow("paste in the name box")
            << "DBEdit2" << QKeyCombination(Qt::CTRL | Qt::Key_V) << QStringLiteral("贴");
        QTest::newRow("cut in the author box") << "DBEdit3" << QKeyCombination(Qt::CTRL | Qt::Key_X) << "";
        QTest::newRow("paste in the introduction")
            << "DBMemo1" << QKeyCombination(Qt::CTRL | Qt::Key_V) << QStringLiteral("贴");
    }

    void changingCommandsEnterEditModeFirst()
    {
        QFETCH(QString, box);
        QFETCH(QKeyCombination, key);
        QFETCH(QString, text);
        auto* editor = m_form->findChild<QWidget*>(box);
        focus(editor);
        QMetaObject::invokeMethod(editor, "selectAll");
        press(key);
        QCOMPARE(textOf(editor), text);
        QCOMPARE(m_form->panelText(TForm1::ModePanel), QStringLiteral("[编辑模式]"));
        // What the command did is the record's change: abandoning brings the stored text back.
        press(Qt::Key_F8);
        QVERIFY(!textOf(editor).isEmpty() && textOf(editor) != text);
    }

    void editMenuOpenedFromTheKeyboardServesTheFocusedBox_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<Qt::Key>("entry");
        QTest::newRow("copy from the code editor") << "DBMemo2" << Qt::Key_C;
        QTest::newRow("replace in the code editor") << "DBMemo2" << Qt::Key_R;
        QTest::newRow("copy from the name box") << "DBEdit2" << Qt::Key_C;
    }

    void editMenuOpenedFromTheKeyboardServesTheFocusedBox()
    {
        QFETCH(QString, box);
        QFETCH(Qt::Key, entry);
        auto* editor = m_form->findChild<QWidget*>(box);
        focus(editor);
        const bool nameBox = box == QStringLiteral("DBEdit2");
        setSelection(editor, nameBox ? 0 : 4, nameBox ? 1 : 3);
        const QString selected = nameBox ? QStringLiteral("脚") : QStringLiteral("two");
        press(QKeyCombination(Qt::ALT | Qt::Key_E));
        auto* menu = m_form->findChild<QMenu*>(QStringLiteral("C1Menu"));
        QTRY_VERIFY(menu->isVisible());
        letProgramGoIdle();
        QStringList enabled;
        for (const char* name : {"N24", "N25", "N33", "N31", "N32"}) {
            if (m_form->findChild<QAction*>(QString::fromLatin1(name))->isEnabled())
                enabled << QString::fromLatin1(name);
        }
        QCOMPARE(enabled, QStringList({"N24", "N25", "N33", "N31", "N32"}));
        QTest::keyClick(menu, entry);
        QTRY_VERIFY(!menu->isVisible());
        if (entry == Qt::Key_C) {
            QCOMPARE(QGuiApplication::clipboard()->text(), selected);
            QTRY_VERIFY(editor->hasFocus());
        } else {
            QTRY_VERIFY(m_form->ReplaceDialog1->isVisible());
            QCOMPARE(m_form->ReplaceDialog1->boundBox(), editor);
            closeAndSettle(m_form->ReplaceDialog1);
        }
    }

    // "&Delete" removes a selection; without one, Del is the box's own key.
    void deleteRemovesTheSelectionOrTheNextCharacter()
    {
        focus(m_form->DBMemo2);
        setSelection(m_form->DBMemo2, 3, 4);
        press(Qt::Key_Delete);
        QCOMPARE(m_form->DBMemo2->toPlainText(), QStringLiteral("one one two one"));
        QCOMPARE(m_form->panelText(TForm1::ModePanel), QStringLiteral("[编辑模式]"));
        setSelection(m_form->DBMemo2, 4, 0);
        press(Qt::Key_Delete);
        QCOMPARE(m_form->DBMemo2->toPlainText(), QStringLiteral("one ne two one"));
    }

    void undoAfterSavingEditsTheRecordAgain()
    {
        focus(m_form->DBMemo2);
        setSelection(m_form->DBMemo2, 0, 0);
        QTest::keyClick(m_form->DBMemo2, 'X', Qt::ShiftModifier);
        QCOMPARE(m_form->DBMemo2->toPlainText(), QStringLiteral("X") + kCode);
        press(Qt::Key_F7);
        QCOMPARE(m_form->panelText(TForm1::ModePanel), QStringLiteral("[浏览模式]"));
        focus(m_form->DBMemo2);
        letProgramGoIdle();
        QVERIFY(m_form->ActionList1->find(QStringLiteral("EditUndo1"))->isEnabled());
        press(QKeyCombination(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(m_form->DBMemo2->toPlainText(), kCode);
        QCOMPARE(m_form->panelText(TForm1::ModePanel), QStringLiteral("[编辑模式]"));

        // Redo is the editor's own key, and it too changes the record only in edit mode.
        press(Qt::Key_F7);
        QCOMPARE(m_form->panelText(TForm1::ModePanel), QStringLiteral("[浏览模式]"));
        focus(m_form->DBMemo2);
        press(QKeyCombination(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        QCOMPARE(m_form->DBMemo2->toPlainText(), QStringLiteral("X") + kCode);
        QCOMPARE(m_form->panelText(TForm1::ModePanel), QStringLiteral("[编辑模式]"));
    }

    void findSearchesOnFromTheSelectionAtEveryPress()
    {
        setSelection(m_form->DBMemo2, 2, 0);
        QVERIFY(openFind(m_form->DBMemo2, QStringLiteral("one")));
        FindDialog* dialog = m_form->FindDialog1;
        click(dialog, "FindNextButton");
        QCOMPARE(selectionOf(m_form->DBMemo2), qMakePair(8, 3));
        click(dialog, "FindNextButton");
        QCOMPARE(selectionOf(m_form->DBMemo2), qMakePair(16, 3));

        // Nothing further down: the message, and the selection stays.
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        click(dialog, "FindNextButton");
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.seen().at(0).text, QStringLiteral("Text not found: \"one\""));
        QCOMPARE(selectionOf(m_form->DBMemo2), qMakePair(16, 3));

        // Up from the end: the last occurrence before the selection.
        dialog->findChild<QRadioButton*>(QStringLiteral("DirectionUp"))->setChecked(true);
        click(dialog, "FindNextButton");
        QCOMPARE(selectionOf(m_form->DBMemo2), qMakePair(8, 3));
    }

    void findMovesToTheBoxOfTheLastCommand()
    {
        QVERIFY(openFind(m_form->DBMemo2, QStringLiteral("TWO")));
        FindDialog* dialog = m_form->FindDialog1;
        click(dialog, "FindNextButton");
        QCOMPARE(selectionOf(m_form->DBMemo2), qMakePair(4, 3));

        focus(m_form->Edit1);
        QTest::keyClicks(m_form->Edit1, QStringLiteral("two and two"));
        setSelection(m_form->Edit1, 0, 0);
        press(QKeyCombination(Qt::CTRL | Qt::Key_F));
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QCOMPARE(dialog->findText(), QStringLiteral("TWO"));
        click(dialog, "FindNextButton");
        click(dialog, "FindNextButton");
        QCOMPARE(selectionOf(m_form->Edit1), qMakePair(8, 3));
        QCOMPARE(selectionOf(m_form->DBMemo2), qMakePair(4, 3));
    }

    void dialogKeepsItsTextsOptionsAndPlace()
    {
        QVERIFY(openFind(m_form->DBMemo2, QStringLiteral("two")));
        FindDialog* dialog = m_form->FindDialog1;
        dialog->findChild<QCheckBox*>(QStringLiteral("WholeWord"))->setChecked(true);
        dialog->move(dialog->pos() + QPoint(40, 30));
        const QPoint place = dialog->pos();
        click(dialog, "CancelButton");
        QTRY_VERIFY(!dialog->isVisible());

        QVERIFY(openFind(m_form->DBMemo2, QString()));
        QCOMPARE(dialog->findText(), QStringLiteral("two"));
        QVERIFY(dialog->findChild<QCheckBox*>(QStringLiteral("WholeWord"))->isChecked());
        QCOMPARE(dialog->pos(), place);
    }

    void findTextHoldsAtMost255Bytes()
    {
        QVERIFY(openFind(m_form->DBMemo2, QString()));
        auto* edit = m_form->FindDialog1->findChild<QLineEdit*>(QStringLiteral("FindText"));
        QGuiApplication::clipboard()->setText(QString(100, QChar(0x4E2D)));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QString(85, QChar(0x4E2D)));
        QTest::keyClick(edit, 'a');
        QCOMPARE(edit->text().size(), 85);
    }

    void findNextRepeatsTheLastFindOnTheFocusedBox()
    {
        QVERIFY(openFind(m_form->DBMemo2, QStringLiteral("two")));
        closeAndSettle(m_form->FindDialog1);

        focus(m_form->DBMemo2);
        setSelection(m_form->DBMemo2, 0, 0);
        // F3 still belongs to the first menu's title and does nothing.
        press(Qt::Key_F3);
        QCOMPARE(selectionOf(m_form->DBMemo2), qMakePair(0, 0));
        letProgramGoIdle();
        auto* entry = m_form->findChild<QAction*>(QStringLiteral("FindNext1"));
        QVERIFY(entry->isEnabled());
        entry->trigger();
        QCOMPARE(selectionOf(m_form->DBMemo2), qMakePair(4, 3));
        entry->trigger();
        QCOMPARE(selectionOf(m_form->DBMemo2), qMakePair(12, 3));
    }

    void replaceHonoursMatchCase()
    {
        focus(m_form->DBEdit3);
        m_form->DBEdit3->selectAll();
        QTest::keyClicks(m_form->DBEdit3, QStringLiteral("One one"));
        setSelection(m_form->DBEdit3, 0, 3);
        QVERIFY(openReplace(m_form->DBEdit3, QStringLiteral("one"), QStringLiteral("two")));
        ReplaceDialog* dialog = m_form->ReplaceDialog1;
        dialog->findChild<QCheckBox*>(QStringLiteral("MatchCase"))->setChecked(true);

        click(dialog, "ReplaceButton");
        QCOMPARE(m_form->DBEdit3->text(), QStringLiteral("One one"));
        QCOMPARE(selectionOf(m_form->DBEdit3), qMakePair(4, 3));
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        click(dialog, "ReplaceButton");
        QTRY_VERIFY(answerer.done());
        QCOMPARE(m_form->DBEdit3->text(), QStringLiteral("One two"));
        QCOMPARE(answerer.seen().at(0).text, QStringLiteral("Text not found: \"one\""));
    }

    void searchesRunAcrossLines()
    {
        focus(m_form->DBMemo2);
        m_form->DBMemo2->moveCursor(QTextCursor::End);
        press(Qt::Key_Return);
        QTest::keyClicks(m_form->DBMemo2, QStringLiteral("one"));
        setSelection(m_form->DBMemo2, 16, 3);
        QVERIFY(openFind(m_form->DBMemo2, QStringLiteral("ONE")));
        m_form->FindDialog1->findChild<QCheckBox*>(QStringLiteral("WholeWord"))->setChecked(true);
        click(m_form->FindDialog1, "FindNextButton");
        QCOMPARE(selectionOf(m_form->DBMemo2), qMakePair(20, 3));
        closeAndSettle(m_form->FindDialog1);

        setSelection(m_form->DBMemo2, 0, 0);
        QVERIFY(openReplace(m_form->DBMemo2, QStringLiteral("one"), QStringLiteral("1")));
        click(m_form->ReplaceDialog1, "ReplaceAllButton");
        QCOMPARE(m_form->DBMemo2->toPlainText(), QStringLiteral("1 two 1 two 1\n1"));
        QCOMPARE(m_form->DBMemo2->blockCount(), 2);
    }

    // Typed as a user types: the find text, Tab, the replacement, then Replace All.
    void tabGoesFromTheFindTextToTheReplacement()
    {
        focus(m_form->DBMemo2);
        setSelection(m_form->DBMemo2, 0, 0);
        press(QKeyCombination(Qt::CTRL | Qt::Key_H));
        QVERIFY(QTest::qWaitForWindowActive(m_form->ReplaceDialog1));
        auto* findText = m_form->ReplaceDialog1->findChild<QLineEdit*>(QStringLiteral("FindText"));
        QTRY_COMPARE(QApplication::focusWidget(), findText);
        QTest::keyClicks(findText, QStringLiteral("one"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("ReplaceText"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1"));
        click(m_form->ReplaceDialog1, "ReplaceAllButton");
        QCOMPARE(textOf(m_form->DBMemo2), QStringLiteral("1 two 1 two 1"));
        // Then on through the options and the buttons, in the order they are read.
        QStringList chain;
        auto* replaceText = m_form->ReplaceDialog1->findChild<QLineEdit*>(QStringLiteral("ReplaceText"));
        for (QWidget* next = replaceText->nextInFocusChain(); next != findText && next != replaceText;
             next = next->nextInFocusChain()) {
            if (next->focusPolicy() & Qt::TabFocus && next->isVisible())
                chain << next->objectName();
        }
        QCOMPARE(chain,
            QStringList({"WholeWord", "MatchCase", "FindNextButton", "ReplaceButton", "ReplaceAllButton",
                "CancelButton"}));
    }

    void replaceAllIsOneChange_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("mode");
        QTest::newRow("code editor") << "DBMemo2" << QStringLiteral("[编辑模式]");
        QTest::newRow("search box") << "Edit1" << QStringLiteral("[浏览模式]");
    }

    void replaceAllIsOneChange()
    {
        QFETCH(QString, box);
        QFETCH(QString, mode);
        auto* editor = m_form->findChild<QWidget*>(box);
        focus(editor);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            QTest::keyClicks(line, kCode);
        const QString before = textOf(editor);
        setSelection(editor, 3, 0);
        QVERIFY(openReplace(editor, QStringLiteral("one"), QStringLiteral("1")));
        // Only after the caret, and no message at the end.
        click(m_form->ReplaceDialog1, "ReplaceAllButton");
        QCOMPARE(textOf(editor), QStringLiteral("one two 1 two 1"));
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(m_form->panelText(TForm1::ModePanel), mode);

        focus(editor);
        press(QKeyCombination(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(textOf(editor), before);
    }

private:
};

QTEST_MAIN(TestEditCommands)
#include "test_editcommands.moc"
