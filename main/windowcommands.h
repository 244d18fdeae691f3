#pragma once

#include "commandhandlers.h"
#include "commandtable.h"
#include "mainwindowcontrols.h"

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;

// Builds the window's commands from the tables in commandtable.cpp: the action list, the tool
// buttons, the main menu and the pop-up menus, each entry running its action or the code the
// handler table gives it. Lives while the window is being made.
class WindowCommands
{
public:
    // Makes the window's action list, menus and pop-up menus into `controls`.
    WindowCommands(QMainWindow& window, MainWindowControls& controls, const CommandHandlers::Table& handlers);

    void createActions();
    void createToolButtons();
    // The main menu and the pop-up menus of the tree and the search results.
    void createMenus();

private:
    QMenu* buildPopupMenu(const QString& name, const std::vector<CommandTable::Entry>& entries);
    void addCommandEntry(QMenu* menu, const CommandTable::Entry& entry);
    void bindCommand(QAction* entry, const QString& actionName, const QString& entryName);

    QMainWindow& m_window;
    MainWindowControls& m_controls;
    QHash<QString, std::function<void()>> m_handlers;
};
