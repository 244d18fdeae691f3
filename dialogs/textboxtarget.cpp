#include "textboxtarget.h"

#include "dbctrls/fieldlink.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

TextBoxTarget TextBoxTarget::of(QWidget* box)
{
    TextBoxTarget target;
    if (!box)
        return target;
    for (QWidget* up = box->parentWidget(); up; up = up->parentWidget()) {
        if (qobject_cast<QComboBox*>(up) || qobject_cast<QAbstractItemView*>(up))
            return target;
    }
    if (qobject_cast<QLineEdit*>(box) || qobject_cast<QPlainTextEdit*>(box))
        target.m_box = box;
    return target;
}

QString TextBoxTarget::text() const
{
    if (auto* line = qobject_cast<QLineEdit*>(m_box))
        return line->text();
    // The raw text keeps every character as it is (the plain form turns no-break spaces into
    // blanks); its lines end in paragraph separators, which the search reads as line breaks.
    if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box))
        return memo->document()->toRawText();
    return QString();
}

bool TextBoxTarget::isEmpty() const
{
    if (auto* line = qobject_cast<QLineEdit*>(m_box))
        return line->text().isEmpty();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box))
        return memo->document()->isEmpty();
    return true;
}

bool TextBoxTarget::hasSelection() const
{
    if (auto* line = qobject_cast<QLineEdit*>(m_box))
        return line->hasSelectedText();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box))
        return memo->textCursor().hasSelection();
    return false;
}

bool TextBoxTarget::canUndo() const
{
    if (auto* line = qobject_cast<QLineEdit*>(m_box))
        return line->isUndoAvailable();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box))
        return memo->document()->isUndoAvailable();
    return false;
}

int TextBoxTarget::selectionStart() const
{
    if (auto* line = qobject_cast<QLineEdit*>(m_box))
        return line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box))
        return memo->textCursor().selectionStart();
    return 0;
}

int TextBoxTarget::selectionLength() const
{
    if (auto* line = qobject_cast<QLineEdit*>(m_box))
        return line->selectionLength();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box)) {
        const QTextCursor cursor = memo->textCursor();
        return cursor.selectionEnd() - cursor.selectionStart();
    }
    return 0;
}

void TextBoxTarget::select(int start, int length)
{
    if (auto* line = qobject_cast<QLineEdit*>(m_box)) {
        line->setSelection(start, length);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box)) {
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(start + length, QTextCursor::KeepAnchor);
        memo->setTextCursor(cursor);
        memo->ensureCursorVisible();
    }
}

void TextBoxTarget::copy()
{
    if (auto* line = qobject_cast<QLineEdit*>(m_box))
        line->copy();
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box))
        memo->copy();
}

void TextBoxTarget::selectAll()
{
    if (auto* line = qobject_cast<QLineEdit*>(m_box))
        line->selectAll();
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box))
        memo->selectAll();
}

bool TextBoxTarget::isReadOnly() const
{
    if (auto* line = qobject_cast<QLineEdit*>(m_box))
        return line->isReadOnly();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box))
        return memo->isReadOnly();
    return true;
}

bool TextBoxTarget::beginChange() const
{
    if (isReadOnly())
        return false;
    auto* link = m_box->findChild<FieldLink*>(QString(), Qt::FindDirectChildrenOnly);
    return !link || link->edit();
}

void TextBoxTarget::undo()
{
    if (!beginChange())
        return;
    if (auto* line = qobject_cast<QLineEdit*>(m_box))
        line->undo();
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box))
        memo->undo();
}

void TextBoxTarget::cut()
{
    if (!hasSelection() || !beginChange())
        return;
    if (auto* line = qobject_cast<QLineEdit*>(m_box))
        line->cut();
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box))
        memo->cut();
}

void TextBoxTarget::paste()
{
    if (!beginChange())
        return;
    if (auto* line = qobject_cast<QLineEdit*>(m_box))
        line->paste();
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box))
        memo->paste();
}

void TextBoxTarget::deleteSelection()
{
    if (!hasSelection() || !beginChange())
        return;
    if (auto* line = qobject_cast<QLineEdit*>(m_box)) {
        line->del();
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box)) {
        QTextCursor cursor = memo->textCursor();
        cursor.removeSelectedText();
        memo->setTextCursor(cursor);
    }
}

bool TextBoxTarget::replaceRange(int start, int end, const QString& with)
{
    if (!beginChange())
        return false;
    if (auto* line = qobject_cast<QLineEdit*>(m_box)) {
        line->setSelection(start, end - start);
        line->insert(with);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box)) {
        QTextCursor cursor(memo->document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.insertText(with);
        memo->setTextCursor(cursor);
        memo->ensureCursorVisible();
    }
    return true;
}
