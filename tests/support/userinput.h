#pragma once

#include <QKeyCombination>
#include <QString>
#include <QStringList>

class CategoryTree;
class QLineEdit;
class QWidget;
class TDBComboBox;
class TForm1;

// What a user does to the main window, done through the real widgets and key dispatch.
namespace UserInput {
// Keys go where a user's keys go: to the control that has the focus.
void press(QKeyCombination key);
// Focuses the widget, re-activating its window when an answered box left it inactive.
void focus(QWidget* widget);
// Typed text arrives as an input method would commit it, which also carries Chinese.
void type(QWidget* widget, const QString& text);
// Replaces a line editor's text the way a user does: select everything, then type.
void retype(QLineEdit* edit, const QString& text);
// Edits the selected node's name in place: F2, the text typed over the old name, then `end`.
void editInPlace(CategoryTree* tree, const QString& text, Qt::Key end = Qt::Key_Return);
// Picks a category in the box with the arrow keys.
void chooseCategory(TDBComboBox* box, const QString& name);
} // namespace UserInput

// What the main window shows.
namespace Shown {
QStringList childNames(const TForm1& form, const QString& category);
// The category nodes' names, in tree order.
QStringList categoryNames(const TForm1& form);
QString mode(const TForm1& form);
} // namespace Shown
