#pragma once

#include <QObject>

class TForm1;

// The load that follows the window's creation: the categories into the tree and both category
// lists, the scripts under their categories, the totals on the status bar, and a word about
// scripts the tree cannot show. A restored library is loaded the same way.
class StartupLoad : public QObject
{
public:
    explicit StartupLoad(TForm1& form);

    // Loads categories and scripts and shows the totals.
    void loadTree();
    // The same into emptied lists, for a library swapped in later; returns how many scripts
    // no node shows.
    int loadCategoriesAndScripts();
    void LoadCategories();
    void LoadScripts();
    // Scripts whose category is missing or empty, which no node shows.
    int countScriptsOutsideTheTree();
    // Tells the user, once the window is up, about the scripts the last load could not show.
    void reportScriptsOutsideTheTree();
    // Counts the library's scripts again after a change that adds or removes some, and shows the
    // total.
    void recountScripts();

private:
    void showScriptTotal();

    TForm1& m_form;
    int m_scriptsOutsideTheTree = 0;
};
