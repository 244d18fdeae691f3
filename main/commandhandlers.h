#pragma once

#include <QString>

#include <functional>
#include <utility>
#include <vector>

class CommandFocus;
class FindDialog;
class LibraryBackups;
class NamingCommands;
class PreviewPane;
class RecordSession;
class ScriptFiles;
class ReplaceDialog;
class SearchPane;
class SideWindows;
class QWidget;

// The features whose code the window's commands run.
struct CommandFeatures
{
    NamingCommands& naming;
    RecordSession& record;
    ScriptFiles& files;
    PreviewPane& preview;
    SearchPane& search;
    LibraryBackups& backups;
    SideWindows& sideWindows;
    // The text box the edit commands serve, and the dialogs that search it (made after the
    // commands, once the look is on).
    const CommandFocus& focus;
    std::function<FindDialog*()> findDialog;
    std::function<ReplaceDialog*()> replaceDialog;
    // The main window, which "退出系统" closes.
    QWidget* window;
};

namespace CommandHandlers {
// A command's name and the code it runs.
using Table = std::vector<std::pair<QString, std::function<void()>>>;

// Which code each command runs, in one table: a row per action (by the action's name) and per
// menu entry or tool button that runs no action (by its own name). Entries that run an action
// are listed with it in commandtable.cpp; when a command may run is decided in commandrules.cpp.
Table table(const CommandFeatures& features);
} // namespace CommandHandlers
