#pragma once

#include <QString>

#include <functional>
#include <map>

class FieldLink;
class QDropEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMenu;

// Which inputs change a text editor's content and so must first put the record into edit mode.
// Navigation keys do not.
namespace EditInput {
bool changesText(const QKeyEvent* event, bool multiLine);
// The category box: every key from Space upwards (arrows, paging, Home, End, letters, digits,
// function keys) and Backspace; not Tab, Enter, Escape or a lone modifier.
bool changesChoice(const QKeyEvent* event);

// Lets a changing input through only once the record is being changed; an input that cannot
// be let through is accepted (swallowed) and false is returned.
bool admitKey(FieldLink* link, QKeyEvent* event, bool multiLine);
bool admitInputMethod(FieldLink* link, QInputMethodEvent* event);
bool admitDrop(FieldLink* link, QDropEvent* event);
// Makes the changing entries of an editor's standard context menu (undo, redo, cut, paste,
// delete) put the record into edit mode first. operations maps the entries' object names
// ("edit-undo", ...) to what the editor does for them.
void guardContextMenu(
    QMenu* menu, FieldLink* link, const std::map<QString, std::function<void()>>& operations);
} // namespace EditInput
