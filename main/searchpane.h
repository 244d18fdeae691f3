#pragma once

#include <QObject>
#include <QPersistentModelIndex>

class TForm1;

// The search pane: finds scripts by name, code or author, over every category or inside one,
// lists them in ListBox1 and opens the one chosen there. It works on the pane's controls, which
// the window makes and names.
class SearchPane : public QObject
{
public:
    explicit SearchPane(TForm1& form);

    // "查找": fills the results with the scripts that match the keyword.
    void BitBtn1Click();
    // A results entry chosen: stores the pending script first, then opens the chosen one.
    void ListBox1Click();
    // "移去": takes the selected entry off the list; the script stays.
    void N35Click();
    // "清空": empties the list.
    void N40Click();

private:
    TForm1& m_form;
    // The results entry whose script was last opened, kept while a refused store keeps the record.
    QPersistentModelIndex m_openedResult;
};
