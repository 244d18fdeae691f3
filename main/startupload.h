#pragma once

#include <QObject>

#include <functional>

class CategoryTree;
class CurrentScript;
class ScriptCounts;
class StatusBar;
class TDBComboBox;
class Table;
class QComboBox;

// The load that follows the window's creation: the categories into the tree and both category
// lists, the scripts under their categories, the totals on the status bar, and a word about
// scripts the tree cannot show. A restored library is loaded the same way.
class StartupLoad : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        CategoryTree* tree;
        // The editors' category box and the search pane's category filter.
        TDBComboBox* categoryBox;
        QComboBox* filterBox;
        StatusBar* statusBar;
    };

    StartupLoad(const Parts& parts, CurrentScript& current, ScriptCounts& counts, QObject* parent);

    // Loads categories and scripts and shows the totals.
    void loadTree();
    // The same into emptied lists, for a library swapped in later; returns how many scripts
    // no node shows.
    int loadCategoriesAndScripts();
    // Tells the user, once the window is up, about the scripts the last load could not show.
    void reportScriptsOutsideTheTree();
    // Called once the event loop runs again after a load that could not read the library.
    void setLoadFailureHandler(std::function<void()> handler) { m_loadFailed = std::move(handler); }

private:
    void loadCategories();
    void loadScripts();
    // Scripts whose category is missing or empty, which no node shows.
    int countScriptsOutsideTheTree();
    void tellLoadFailed();

    Parts m_parts;
    CurrentScript& m_current;
    ScriptCounts& m_counts;
    // The category table, read once per load.
    Table* m_categories;
    int m_scriptsOutsideTheTree = 0;
    std::function<void()> m_loadFailed;
};
