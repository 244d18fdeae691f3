#pragma once

#include "sessionsettings.h"

struct AppPlaces;
class CategoryTree;
class CurrentScript;
class FindDialog;
class ReplaceDialog;
class ScriptFileDialog;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QSplitter;
class QWidget;

// Where the user was: the window, its panes, the tree, the open script, the search options and
// the dialogs, remembered at close and given back at the next start.
class SessionMemory
{
public:
    struct Parts
    {
        QWidget* window;
        // The three panes side by side, and the header above the pages.
        QSplitter* panes;
        QSplitter* header;
        CategoryTree* tree;
        // The search options: the column (by name, code, author), the keyword and the category.
        QRadioButton* byName;
        QRadioButton* byCode;
        QRadioButton* byAuthor;
        QLineEdit* keywordEdit;
        QComboBox* filterBox;
        ScriptFileDialog* openDialog;
        ScriptFileDialog* saveDialog;
        FindDialog* findDialog;
        ReplaceDialog* replaceDialog;
    };

    SessionMemory(const Parts& parts, CurrentScript& current, const AppPlaces& places);

    // What can be given back before the library is loaded; true when the window's frame was
    // put back where it stood.
    bool restore();
    // The expanded categories, the search category and the open script, once they are loaded.
    void restoreLoadedPlaces();
    void save();
    // Shows the window maximized, or where it stood, as the user left it.
    void showAsRemembered();

private:
    Parts m_parts;
    CurrentScript& m_current;
    SessionSettings m_settings;
    bool m_showMaximized = true;
};
