#include "commandfocus.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

namespace {
bool isMenu(const QWidget* widget)
{
    return qobject_cast<const QMenuBar*>(widget) || qobject_cast<const QMenu*>(widget);
}
} // namespace

CommandFocus::CommandFocus(QObject* parent)
    : QObject(parent)
{
    connect(qApp, &QApplication::focusChanged, this, &CommandFocus::focusMoved);
    qApp->installEventFilter(this);
}

CommandFocus::~CommandFocus()
{
    qApp->removeEventFilter(this);
}

bool CommandFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::FocusOut
        || static_cast<QFocusEvent*>(event)->reason() != Qt::MenuBarFocusReason)
        return false;
    // Seen before the box handles its focus loss and drops the selection.
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && box->hasSelectedText()) {
        m_selectionOwner = box;
        m_selectionStart = box->selectionStart();
        m_selectionLength = box->selectionLength();
    }
    return false;
}

void CommandFocus::focusMoved(QWidget* from, QWidget* to)
{
    if (isMenu(to) && !isMenu(from)) {
        m_beforeMenus = from;
        if (m_selectionOwner && m_selectionOwner == from)
            m_selectionOwner->setSelection(m_selectionStart, m_selectionLength);
    }
    m_selectionOwner = nullptr;
}

QWidget* CommandFocus::widget() const
{
    QWidget* focused = QApplication::focusWidget();
    return isMenu(focused) ? m_beforeMenus.data() : focused;
}
