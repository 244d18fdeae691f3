#include "keydispatch.h"

#include "action.h"
#include "pagekeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QWindow>

namespace {
const char* const kShortcutProperty = "commandShortcut";
const char* const kPopupProperty = "popupMenu";
const char* const kSharesKeysProperty = "sharesCommandKeys";

QKeyCombination combinationOf(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers held
        = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return QKeyCombination(held, Qt::Key(event->key()));
}

// A key that types a character (a letter with Shift, say) belongs to a text box that takes
// typing, wherever it is, even when a command carries the same key.
bool typesIntoTextBox(const QWidget* focused, const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return false;
    if (auto* line = qobject_cast<const QLineEdit*>(focused))
        return !line->isReadOnly();
    if (auto* memo = qobject_cast<const QPlainTextEdit*>(focused))
        return !memo->isReadOnly();
    if (auto* rich = qobject_cast<const QTextEdit*>(focused))
        return !rich->isReadOnly();
    return false;
}

// A pop-up whose owner has gone with its window: a completion list that a dialog left up when it
// closed. Qt would go on sending every key of the program to it.
bool isLeftBehind(const QWidget* popup)
{
    const QWidget* owner = popup->focusProxy() ? popup->focusProxy() : popup->parentWidget();
    return owner && !owner->window()->isVisible();
}

QWidget* topLevelOf(const QWindow* window)
{
    if (!window)
        return nullptr;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* candidate : windows) {
        if (candidate->windowHandle() == window)
            return candidate;
    }
    return nullptr;
}

// Ctrl+Tab and Ctrl+Shift+Tab turn the pages of a tab control from anywhere inside them,
// before the page shown (a previewed snippet may take every key) sees them.
QTabWidget* pagesTurnedBy(QWidget* focused, const QKeyEvent* event)
{
    const Qt::KeyboardModifiers held
        = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool turns = (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        && (held == Qt::ControlModifier || held == (Qt::ControlModifier | Qt::ShiftModifier));
    if (!turns)
        return nullptr;
    for (QWidget* up = focused ? focused->parentWidget() : nullptr; up; up = up->parentWidget()) {
        if (auto* pages = qobject_cast<QTabWidget*>(up)) {
            const QWidget* page = pages->currentWidget();
            return page && page->isAncestorOf(focused) ? pages : nullptr;
        }
        if (up->isWindow())
            break;
    }
    return nullptr;
}

// A disabled command does not take its key: the key goes on as if the command did not exist,
// so that Del still deletes the next character in a text box when "&Delete" has no selection to
// remove. A menu title takes its key and runs nothing.
bool canRun(QAction* entry)
{
    if (entry->menu())
        return true;
    // The item follows its action, whose state is worked out again right before it runs.
    if (Action* linked = Action::attachedTo(entry))
        linked->update();
    return entry->isEnabled();
}

bool isModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta
        || key == Qt::Key_unknown || key == 0;
}
} // namespace

KeyDispatcher::KeyDispatcher(QWidget* mainWindow, QMenuBar* mainMenu, ActionList* actions)
    : m_mainWindow(mainWindow)
    , m_mainMenu(mainMenu)
    , m_actions(actions)
{
    qApp->installEventFilter(this);
}

KeyDispatcher::~KeyDispatcher()
{
    qApp->removeEventFilter(this);
}

void KeyDispatcher::setCommandShortcut(QAction* entry, const QKeySequence& key)
{
    entry->setProperty(kShortcutProperty, QVariant::fromValue(key));
}

QKeySequence KeyDispatcher::commandShortcut(const QAction* entry)
{
    return entry->property(kShortcutProperty).value<QKeySequence>();
}

void KeyDispatcher::setPopupMenu(QWidget* control, QMenu* menu)
{
    control->setProperty(kPopupProperty, QVariant::fromValue(static_cast<QObject*>(menu)));
}

void KeyDispatcher::shareCommandKeys(QWidget* window)
{
    window->setProperty(kSharesKeysProperty, true);
}

KeyDispatcher::Match KeyDispatcher::offerToMenu(
    const QList<QAction*>& entries, const QKeyCombination& key, bool run)
{
    for (QAction* entry : entries) {
        if (entry->isSeparator())
            continue;
        const QKeySequence shortcut = commandShortcut(entry);
        if (!shortcut.isEmpty() && shortcut[0] == key && canRun(entry)) {
            if (run && !entry->menu())
                entry->trigger();
            return Match::Taken;
        }
        if (entry->menu() && offerToMenu(entry->menu()->actions(), key, run) == Match::Taken)
            return Match::Taken;
    }
    return Match::None;
}

bool KeyDispatcher::dispatch(QWidget* focused, const QKeyCombination& key, bool run)
{
    for (QWidget* control = focused; control; control = control->parentWidget()) {
        if (auto* popup = qobject_cast<QMenu*>(control->property(kPopupProperty).value<QObject*>())) {
            if (offerToMenu(popup->actions(), key, run) == Match::Taken)
                return true;
        }
        if (control->isWindow())
            break;
    }
    if (offerToMenu(m_mainMenu->actions(), key, run) == Match::Taken)
        return true;
    for (Action* action : m_actions->actions()) {
        const QKeySequence shortcut = action->commandShortcut();
        if (shortcut.isEmpty() || shortcut[0] != key)
            continue;
        action->update();
        if (action->isEnabled())
            return !run || action->execute();
    }
    return false;
}

void KeyDispatcher::reclaimKeys() const
{
    QWidget* window = topLevelOf(QGuiApplication::focusWindow());
    if (!window || (window != m_mainWindow && !window->property(kSharesKeysProperty).toBool()))
        return;
    while (QWidget* popup = QApplication::activePopupWidget()) {
        if (!isLeftBehind(popup))
            return;
        popup->close();
    }
    // While the pop-up was up, Qt set aside the desktop's activation of this window.
    if (QApplication::activeWindow() != window && !QApplication::activeModalWidget())
        QApplication::setActiveWindow(window);
}

bool KeyDispatcher::acceptsKeysFor(QObject* watched) const
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    QWidget* window = widget->window();
    if (window != m_mainWindow && !window->property(kSharesKeysProperty).toBool())
        return false;
    // While a menu is open or a modal box is up, the keys are theirs.
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget())
        return false;
    if (!m_mainWindow->isEnabled() || !window->isActiveWindow())
        return false;
    // Key events travel up the parents when ignored; decide only once, at the focused control.
    QWidget* focus = QApplication::focusWidget();
    return focus ? widget == focus : widget == window;
}

bool KeyDispatcher::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    if (isModifierKey(keyEvent->key()))
        return false;
    reclaimKeys();
    if (!acceptsKeysFor(watched) || typesIntoTextBox(qobject_cast<QWidget*>(watched), keyEvent)
        || PageKeys::belongsToPage(qobject_cast<QWidget*>(watched), keyEvent))
        return false;
    auto* focused = qobject_cast<QWidget*>(watched);
    if (QTabWidget* pages = pagesTurnedBy(focused, keyEvent)) {
        if (type == QEvent::KeyPress) {
            QKeyEvent turn(QEvent::KeyPress, keyEvent->key(), keyEvent->modifiers(), keyEvent->text());
            QCoreApplication::sendEvent(pages, &turn);
        }
        event->accept();
        return true;
    }
    const QKeyCombination key = combinationOf(keyEvent);
    if (type == QEvent::ShortcutOverride) {
        // Claiming the key here keeps Qt's shortcut map from firing it a second time; the key
        // press that follows is dispatched below.
        if (!dispatch(focused, key, false))
            return false;
        event->accept();
        return true;
    }
    return dispatch(focused, key, true);
}
