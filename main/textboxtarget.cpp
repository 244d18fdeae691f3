#include "textboxtarget.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

TextBoxTarget TextBoxTarget::focused()
{
    TextBoxTarget target;
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return target;
    for (QWidget* up = focus->parentWidget(); up; up = up->parentWidget()) {
        if (qobject_cast<QComboBox*>(up) || qobject_cast<QAbstractItemView*>(up))
            return target;
    }
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QPlainTextEdit*>(focus))
        target.m_box = focus;
    return target;
}

QString TextBoxTarget::text() const
{
    if (auto* line = qobject_cast<QLineEdit*>(m_box))
        return line->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(m_box))
        return memo->toPlainText();
    return QString();
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
