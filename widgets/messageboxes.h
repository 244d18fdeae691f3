#pragma once

#include <QString>

class QMessageBox;

// The program's own modal boxes, built the same way everywhere they are used.
namespace MessageBoxes {
inline const QString kApplicationTitle = QStringLiteral("FeylumeV2.5");

// The message, no icon, one "OK" button, the application title. Every box here is modal over
// the window it is shown for (ownerWindow) and centred on it.
void information(const QString& message);
// "Confirm", question icon, "&Yes" (default) and "&No" (Escape); true only for Yes.
bool confirm(const QString& message);
// Caption and prompt from the caller, one box preset with value and fully selected, at most
// 255 characters. Returns false on Cancel.
bool prompt(const QString& caption, const QString& promptText, QString& value);
// The application title, question icon, "保存" (default), "不保存" and "取消" (Escape).
enum class Choice { Save, Discard, Cancel };
Choice askToSave(const QString& message);
// A plain platform box with an OK button and no icon; the detail, when
// given, stands under the message.
void plain(const QString& caption, const QString& message, const QString& detail = {});
// Widens a box, right before it is shown, so that a window manager's title bar has room for the
// whole caption beside its frame buttons.
void makeRoomForCaption(QMessageBox& box);

inline constexpr int kPromptMaxLength = 255;
} // namespace MessageBoxes
