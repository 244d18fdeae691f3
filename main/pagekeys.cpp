#include "pagekeys.h"

#include "pageview.h"

#include <QKeyEvent>

namespace {
bool isInPage(const QWidget* focused)
{
    for (const QWidget* up = focused; up && !up->isWindow(); up = up->parentWidget()) {
        if (qobject_cast<const PageView*>(up))
            return true;
    }
    return false;
}

bool typesText(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

// Moving in, selecting and deleting text, with any modifier (Shift+Left selects, Ctrl+Backspace
// deletes a word).
bool movesOrDeletes(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Insert:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return !(event->modifiers() & (Qt::AltModifier | Qt::MetaModifier));
    default:
        return false;
    }
}

bool isEditCommand(const QKeyEvent* event)
{
    static const QKeySequence::StandardKey edits[]
        = {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::Undo, QKeySequence::Redo,
            QKeySequence::SelectAll, QKeySequence::Deselect};
    for (const QKeySequence::StandardKey edit : edits) {
        if (event->matches(edit))
            return true;
    }
    return false;
}
} // namespace

bool PageKeys::belongsToPage(const QWidget* focused, const QKeyEvent* event)
{
    return isInPage(focused) && (typesText(event) || movesOrDeletes(event) || isEditCommand(event));
}
