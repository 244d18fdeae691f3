#include "userinput.h"

#include "dbctrls/dbcombobox.h"
#include "main/categorytree.h"
#include "main/form1.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QtTest>

void UserInput::press(QKeyCombination key)
{
    QWidget* target = QApplication::focusWidget();
    QVERIFY(target);
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
}

void UserInput::focus(QWidget* widget)
{
    if (!widget->window()->isActiveWindow()) {
        widget->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(widget->window()));
    }
    widget->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(widget->hasFocus());
}

void UserInput::type(QWidget* widget, const QString& text)
{
    focus(widget);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(widget, &commit);
}

void UserInput::editInPlace(CategoryTree* tree, const QString& text, Qt::Key end)
{
    focus(tree);
    press(Qt::Key_F2);
    auto* editor = tree->findChild<QLineEdit*>();
    QTRY_VERIFY(editor && editor->hasFocus());
    editor->selectAll();
    type(editor, text);
    QTest::keyClick(editor, end);
}

void UserInput::retype(QLineEdit* edit, const QString& text)
{
    focus(edit);
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        type(edit, text);
}

void UserInput::chooseCategory(TDBComboBox* box, const QString& name)
{
    focus(box);
    for (int guard = 0; guard < box->count() + 1 && box->currentText() != name; ++guard)
        QTest::keyClick(box, box->currentIndex() < box->findText(name) ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(box->text(), name);
}

QStringList Shown::childNames(const TForm1& form, const QString& category)
{
    QStringList names;
    const TreeNode* node = form.Treeclass->nodeAt(form.FindNodeIndex(category, false));
    for (int i = 0; i < node->childCount(); ++i)
        names << node->child(i)->text(0);
    return names;
}

QStringList Shown::categoryNames(const TForm1& form)
{
    QStringList names;
    for (int i = 0; i < form.Treeclass->topLevelItemCount(); ++i)
        names << form.Treeclass->topLevelItem(i)->text(0);
    return names;
}

QString Shown::mode(const TForm1& form)
{
    return form.panelText(TForm1::ModePanel);
}
