#pragma once

#include <QObject>

#include <functional>

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
    // Called once the event loop runs again after a load that could not read the library.
    void setLoadFailureHandler(std::function<void()> handler) { m_loadFailed = std::move(handler); }

private:
    void showScriptTotal();
    void tellLoadFailed();

    TForm1& m_form;
    int m_scriptsOutsideTheTree = 0;
    std::function<void()> m_loadFailed;
};
