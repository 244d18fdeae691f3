#pragma once

class QKeyEvent;
class QWidget;

// Keys pressed while a previewed page has the keyboard focus: those that type or edit text are
// the page's (a form field in it may take them), whatever command of the window carries the same
// key. Keys that cannot be typed or edit (F-keys, Ctrl+Tab, Ctrl+O, Ctrl+F, ...) stay the
// window's.
namespace PageKeys {
bool belongsToPage(const QWidget* focused, const QKeyEvent* event);
} // namespace PageKeys
