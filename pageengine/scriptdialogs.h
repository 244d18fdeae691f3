#pragma once

#include <QPointer>
#include <QString>

class QDialog;
class QWidget;

// The boxes a previewed page's alert, confirm and prompt show: captioned with the script's
// name and wide enough to show it, the page's text shown as plain text and cut to what fits on a
// screen, Chinese buttons. While a box is up, *shown points to it, so that its page can close it.
namespace ScriptDialogs {
QString caption(const QString& scriptName);
// The page's text as a box shows it: long texts lose their lines past a screenful and the end of
// very long lines, and say so.
QString shownText(const QString& message);
// The question a page that wants to be asked before it is left gets, in place of the engine's.
QString leaveQuestion();

void alert(QWidget* parent, const QString& caption, const QString& message, QPointer<QDialog>* shown);
// True for "确定".
bool confirm(QWidget* parent, const QString& caption, const QString& message, QPointer<QDialog>* shown);
// False for "取消"; otherwise the text typed is in *result.
bool prompt(QWidget* parent, const QString& caption, const QString& message, const QString& defaultValue,
    QString* result, QPointer<QDialog>* shown);
} // namespace ScriptDialogs
