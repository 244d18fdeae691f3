#pragma once

#include <QSize>

class QWidget;
class TForm1;

// Makes the main window's controls under their component names: the tool bar's band, the
// category tree, the header with the record's fields, the code and preview pages, the search
// pane and the status bar, each bound to its column.
class MainWindowLayout
{
public:
    // The restored window's size with its frame, whatever frame the desktop draws around it.
    static constexpr QSize kRestoredOuterSize {808, 552};

    explicit MainWindowLayout(TForm1& form);
    void createFrame();

private:
    QWidget* createPages();
    QWidget* createHeaderPanel();
    QWidget* createSearchPanel();
    void createStatusBar();

    TForm1& m_form;
};
