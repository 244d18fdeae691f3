#pragma once

#include <vector>

// The window's commands as data: menus, tool bar and action list are built from these tables,
// and the key dispatch walks the objects built from them.
namespace CommandTable {

struct Entry
{
    const char* name; // object name; nullptr for a separator
    const char* caption;
    const char* shortcut; // portable key text, or nullptr
    const char* action; // the action the entry runs, or nullptr when it has a handler of its own
    int depth; // 0 for a top-level entry, 1 for an entry under the last top-level one
    const char* hint;
};

struct ActionEntry
{
    const char* name;
    const char* caption;
    const char* shortcut;
};

extern const std::vector<Entry> kMainMenu;
extern const std::vector<Entry> kToolBar;
extern const std::vector<Entry> kPopupTree;
extern const std::vector<Entry> kPopupResults;
extern const std::vector<ActionEntry> kActions;

} // namespace CommandTable
