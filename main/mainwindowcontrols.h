#pragma once

#include "widgets/imagelist.h"

class ActionList;
class CategoryTree;
class FindDialog;
class PageView;
class ProgressBar;
class Query;
class ReplaceDialog;
class StatusBar;
class TDBComboBox;
class TDBEdit;
class TDBMemo;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolBar;
class QWidget;

// The main window's components under the names the window is described with; every widget's
// objectName is that name too. The window shows them to the program and its tests; its
// features are handed the few each works on.
struct MainWindowControls
{
    // Editors of the current script
    TDBComboBox* CBX1 = nullptr;
    TDBEdit* DBEdit2 = nullptr;
    TDBMemo* DBMemo1 = nullptr;
    TDBEdit* DBEdit3 = nullptr;
    TDBEdit* DBEdit1 = nullptr;
    TDBMemo* DBMemo2 = nullptr;
    // The current-script query the editors show.
    Query* ADOQuery2 = nullptr;

    // Frame
    QToolBar* ToolBar1 = nullptr;
    StatusBar* Stb = nullptr;
    ProgressBar* pgb = nullptr;
    CategoryTree* Treeclass = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    PageView* web1 = nullptr;
    // The deferred load's timer; null once the load has run.
    QTimer* Timer1 = nullptr;

    // Search pane
    QComboBox* ComboBox1 = nullptr;
    QRadioButton* rb1 = nullptr;
    QRadioButton* rb2 = nullptr;
    QRadioButton* rb3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QListWidget* ListBox1 = nullptr;

    // Commands
    ActionList* ActionList1 = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* PopupTree = nullptr;
    QMenu* PopupMenu1 = nullptr;
    // Find and replace dialogs of the editor commands
    FindDialog* FindDialog1 = nullptr;
    ReplaceDialog* ReplaceDialog1 = nullptr;
};

// The window's own containers and pictures, which no feature works on.
struct MainWindowFrame
{
    QWidget* CoolBar1 = nullptr;
    QSplitter* ClientSplitter = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    QWidget* Panel3 = nullptr;
    QSplitter* Panel1Splitter = nullptr;
    QLabel* Image1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    ImageList ImageList1;
};
