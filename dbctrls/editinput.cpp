#include "editinput.h"

#include "fieldlink.h"

#include <QAction>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>

bool EditInput::changesText(const QKeyEvent* event, bool multiLine)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods
        = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete)
        return true;
    // Undo has its command; redo is the editor's own key and changes the text as much.
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
        return true;
    if (mods == Qt::ControlModifier && (key == Qt::Key_V || key == Qt::Key_X))
        return true;
    if (mods == Qt::ShiftModifier && key == Qt::Key_Insert)
        return true;
    if (multiLine && (key == Qt::Key_Return || key == Qt::Key_Enter))
        return true;
    if (mods & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

bool EditInput::changesChoice(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_Pause:
        return false;
    default:
        return true;
    }
}

bool EditInput::admitKey(FieldLink* link, QKeyEvent* event, bool multiLine)
{
    if (!changesText(event, multiLine) || link->edit())
        return true;
    event->accept();
    return false;
}

bool EditInput::admitInputMethod(FieldLink* link, QInputMethodEvent* event)
{
    if ((event->commitString().isEmpty() && event->preeditString().isEmpty()) || link->edit())
        return true;
    event->accept();
    return false;
}

bool EditInput::admitDrop(FieldLink* link, QDropEvent* event)
{
    if (link->edit())
        return true;
    event->ignore();
    return false;
}

void EditInput::guardContextMenu(
    QMenu* menu, FieldLink* link, const std::map<QString, std::function<void()>>& operations)
{
    for (QAction* entry : menu->actions()) {
        const auto operation = operations.find(entry->objectName());
        if (operation == operations.end())
            continue;
        QObject::disconnect(entry, &QAction::triggered, nullptr, nullptr);
        QObject::connect(entry, &QAction::triggered, menu, [link, run = operation->second] {
            if (link->edit())
                run();
        });
    }
}
