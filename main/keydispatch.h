#pragma once

#include <QKeySequence>
#include <QObject>

class ActionList;
class QAction;
class QKeyEvent;
class QMenu;
class QMenuBar;
class QWidget;

// Offers every key pressed in the main window to its commands before the focused control sees
// it: first the pop-up menus of the focused control and of its parents (innermost first), then
// the main menu (each item before the items under it), then the action list. A disabled command
// does not take its key: the key goes on as if the command did not exist, to the focused control
// at the last. A key that types a character into the focused text box is the box's (Shift+A types
// "A" there). Qt's own shortcut map never fires these
// commands: the dispatcher claims the key at the shortcut-override stage. Ctrl+Tab and
// Ctrl+Shift+Tab turn the pages of the tab control the focus is in.
class KeyDispatcher : public QObject
{
    Q_OBJECT
public:
    KeyDispatcher(QWidget* mainWindow, QMenuBar* mainMenu, ActionList* actions);
    ~KeyDispatcher() override;

    // The key a command entry answers to (menu titles cannot show one, so it is kept here).
    static void setCommandShortcut(QAction* entry, const QKeySequence& key);
    static QKeySequence commandShortcut(const QAction* entry);
    // The pop-up menu a control offers its keys to.
    static void setPopupMenu(QWidget* control, QMenu* menu);
    // A window of the program that is not modal offers the keys it does not take itself to the
    // main window's commands, while the main window is enabled.
    static void shareCommandKeys(QWidget* window);

    // Finds and runs the command for a key as pressed in the main window with focus on
    // `focused`; true when the key is taken.
    bool dispatch(QWidget* focused, const QKeyCombination& key, bool run);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Match { None, Taken };
    Match offerToMenu(const QList<QAction*>& entries, const QKeyCombination& key, bool run);
    bool acceptsKeysFor(QObject* watched) const;
    // Closes what a closed window left behind to take the keys of the window the desktop has
    // made active.
    void reclaimKeys() const;

    QWidget* m_mainWindow;
    QMenuBar* m_mainMenu;
    ActionList* m_actions;
};
