#pragma once

#include <QString>

class QWidget;

// The boxes a previewed page's alert, confirm and prompt show: captioned with the script's
// name, the page's text shown as plain text, Chinese buttons.
namespace ScriptDialogs {
QString caption(const QString& scriptName);
void alert(QWidget* parent, const QString& caption, const QString& message);
// True for "确定".
bool confirm(QWidget* parent, const QString& caption, const QString& message);
// False for "取消"; otherwise the text typed is in *result.
bool prompt(QWidget* parent, const QString& caption, const QString& message, const QString& defaultValue,
    QString* result);
} // namespace ScriptDialogs
