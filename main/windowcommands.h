#pragma once

#include "commandhandlers.h"
#include "commandtable.h"

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class TForm1;

// Builds the window's commands from the tables in commandtable.cpp: the action list, the tool
// buttons, the main menu and the pop-up menus, each entry running its action or the code the
// handler table gives it. Lives while the window is being made.
class WindowCommands
{
public:
    WindowCommands(TForm1& form, const CommandHandlers::Table& handlers);

    void createActions();
    void createToolButtons();
    // The main menu and the pop-up menus of the tree and the search results.
    void createMenus();

private:
    QMenu* buildPopupMenu(const QString& name, const std::vector<CommandTable::Entry>& entries);
    void addCommandEntry(QMenu* menu, const CommandTable::Entry& entry);
    void bindCommand(QAction* entry, const QString& actionName, const QString& entryName);

    TForm1& m_form;
    QHash<QString, std::function<void()>> m_handlers;
};
