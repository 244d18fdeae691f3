#pragma once

#include <QSize>

#include "mainwindowcontrols.h"

class DataSource;
class QMainWindow;
class QWidget;

// Makes the main window's controls under their component names: the tool bar's band, the
// category tree, the header with the record's fields, the code and preview pages, the search
// pane and the status bar, each bound to its column.
class MainWindowLayout
{
public:
    // The restored window's size with its frame, whatever frame the desktop draws around it.
    static constexpr QSize kRestoredOuterSize {808, 552};

    MainWindowLayout(
        QMainWindow& window, MainWindowControls& controls, MainWindowFrame& frame, DataSource* source);
    void createFrame();

private:
    QWidget* createPages();
    QWidget* createHeaderPanel();
    QWidget* createSearchPanel();
    void createStatusBar();

    QMainWindow& m_window;
    MainWindowControls& m_controls;
    MainWindowFrame& m_frame;
    DataSource* m_source;
};
