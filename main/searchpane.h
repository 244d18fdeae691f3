#pragma once

#include <QObject>
#include <QPersistentModelIndex>

class CategoryTree;
class CurrentScript;
class StatusBar;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// The search pane: finds scripts by name, code or author, over every category or inside one,
// lists them in the results list and opens the one chosen there.
class SearchPane : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        QLineEdit* keywordEdit;
        QComboBox* filterBox;
        // By name, by code, by author.
        QRadioButton* byName;
        QRadioButton* byCode;
        QPushButton* findButton;
        QListWidget* results;
        CategoryTree* tree;
        StatusBar* statusBar;
    };

    SearchPane(const Parts& parts, CurrentScript& current, QObject* parent);

    // Fills the results with the scripts that match the keyword.
    void find();
    // A results entry chosen: stores the pending script first, then opens the chosen one.
    void openChosenResult();
    // Takes the selected entry off the list; the script stays.
    void removeChosenResult();
    // Empties the list.
    void clearResults();

private:
    Parts m_parts;
    CurrentScript& m_current;
    // The results entry whose script was last opened, kept while a refused store keeps the record.
    QPersistentModelIndex m_openedResult;
};
