#pragma once

#include "sessionsettings.h"

class TForm1;

// Where the user was: the window, its panes, the tree, the open script, the search options and
// the dialogs, remembered at close and given back at the next start.
class SessionMemory
{
public:
    explicit SessionMemory(TForm1& form);

    // What can be given back before the library is loaded; true when the window's frame was
    // put back where it stood.
    bool restore();
    // The expanded categories, the search category and the open script, once they are loaded.
    void restoreLoadedPlaces();
    void save();
    // Shows the window maximized, or where it stood, as the user left it.
    void showAsRemembered();

private:
    TForm1& m_form;
    SessionSettings m_settings;
    bool m_showMaximized = true;
};
