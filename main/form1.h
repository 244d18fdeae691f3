#pragma once

#include "commandtable.h"
#include "imagelist.h"
#include "store/appplaces.h"
#include "store/connection.h"
#include "store/storedname.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <utility>

struct BoundStatement;
class Action;
class ActionList;
class CategoryTree;
class CommandFocus;
class DataSource;
class FindDialog;
class KeyDispatcher;
class LibraryGuard;
class NamingCommands;
class PageView;
class PreviewPane;
class Query;
class RecordSession;
class ReplaceDialog;
class StartupLoad;
class StatusBar;
class TDBComboBox;
class TDBEdit;
class TDBMemo;
class TFmabout;
class TFmImport;
class TXPLook;
class Table;
class QComboBox;
class QGroupBox;
class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class ProgressBar;
class QPushButton;
class QRadioButton;
class ScriptFileDialog;
class ScriptFiles;
class SearchPane;
class SessionSettings;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolBar;
class TreeNode;

// The main window: the library, the category tree, the editors of the current script, the
// search pane and the preview. Its component members keep the names the window is described
// with; every widget's objectName is that name too.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    // appDir is the directory the window derives its files from, with a trailing separator;
    // everything is kept beside it and nothing is remembered.
    explicit TForm1(const QString& appDir, QWidget* parent = nullptr);
    explicit TForm1(const AppPlaces& places, QWidget* parent = nullptr);
    ~TForm1() override;

    // Start-up
    void FormCreate();
    void Timer1Timer();
    // Shows the window as the user left it: maximized, or where it stood.
    void showAsRemembered();

    // Library store
    void OpenLibrary();
    void RunStatement(const QString& text, bool open);
    void RunStatement(const BoundStatement& statement, bool open);
    // Opens the script stored under exactly this name's bytes.
    void OpenScript(const StoredName& name);

    // Category tree
    void LoadCategories();
    void LoadScripts();
    void TreeclassChange();
    // The tree position of the first category (or script) node with this name; -1 if none.
    int FindNodeIndex(const StoredName& name, bool scriptLevel) const;
    // Status panel 2: the script count of the node's category.
    void showCountOf(const TreeNode* node);

    // Script commands (recordsession.h)
    // Stores a changed current record through the save command before anything replaces it;
    // false when the store was refused, the record then keeping its mode and typed values.
    // An untouched edit or new record is simply dropped.
    bool storePendingChanges();
    void DataSetInsert1Execute();
    void DataSetDelete1Execute();
    void DataSetPost1Execute();
    void DataSetCancel1Execute();
    void DataSource1DataChange();

    // Category and script naming (namingcommands.h)
    bool RenameEntry(const StoredName& oldName, const QString& newName, bool isScript);
    void AddCategory(const QString& name);
    bool DeleteCategoryRow(const StoredName& name);
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void N22Click();
    void TreeclassEdited(TreeNode* node, QString& text);

    // Script files (scriptfiles.h). The "before" handler of the import returns false when the dialog must not
    // be shown.
    bool FileOpen1BeforeExecute();
    void FileOpen1Accept();
    void FileSaveAs1BeforeExecute();
    void FileSaveAs1Accept();
    // Search pane (searchpane.h)
    void BitBtn1Click();
    void ListBox1Click();
    void N35Click();
    void N40Click();

    // Backups: the run's backup and the quick check, and restoring a backup ("恢复备份…").
    void RestoreBackup1Click();
    // Replaces the library by the backup after saving it as a backup itself, and reloads the
    // tree; false when a pending change was refused or the backup is damaged.
    bool restoreBackup(const QString& path);

    // Preview (previewpane.h)
    void WritePreviewFile();
    void PageControl1Change();
    void N14Click();
    void ActIEExecute();

    // About box, help page, network import settings
    void ActaboutExecute();
    void N15Click();
    void ActIFnetExecute();

    // Status panels
    enum Panel { ModePanel = 0, TotalPanel = 1, CountPanel = 2, ProgressPanel = 3, ScriptPanel = 4 };
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);
    // The name status panel 4 shows: the current script's, or nothing when no row is open.
    QString openScriptName() const;
    // A passing notice over the text panels (a first start, a backup that failed); shown once
    // the window is up.
    void tellInStatusBar(const QString& text);

    QString AppDir;
    AppPlaces Places;
    QString CurrentScriptName;
    // The bytes CurrentScriptName was opened with, as stored in the library.
    StoredName CurrentScriptStoredName;
    QString CurrentScriptCategory;
    QString PreviewFileName;
    int TotalScripts = 0;

    // Data components
    Connection ADOConnection1;
    Query* ADOQuery1 = nullptr;
    Query* ADOQuery2 = nullptr;
    Table* ADOTable2 = nullptr;
    DataSource* DataSource1 = nullptr;
    QTimer* Timer1 = nullptr;
    LibraryGuard* LibraryGuard1 = nullptr;
    TXPLook* XPLook1 = nullptr;
    // The most recently made about box and settings window, while they exist.
    QPointer<TFmabout> Fmabout;
    QPointer<TFmImport> FmImport;

    // Commands
    ActionList* ActionList1 = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* PopupTree = nullptr;
    QMenu* PopupMenu1 = nullptr;
    ImageList ImageList1;
    ScriptFileDialog* FileOpen1Dialog = nullptr;
    ScriptFileDialog* FileSaveAs1Dialog = nullptr;

    // Frame
    QWidget* CoolBar1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    StatusBar* Stb = nullptr;
    ProgressBar* pgb = nullptr;
    CategoryTree* Treeclass = nullptr;
    QSplitter* ClientSplitter = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    QWidget* Panel3 = nullptr;
    QLabel* Image1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    PageView* web1 = nullptr;

    // Editors of the current script
    TDBComboBox* CBX1 = nullptr;
    TDBEdit* DBEdit2 = nullptr;
    TDBMemo* DBMemo1 = nullptr;
    TDBEdit* DBEdit3 = nullptr;
    TDBEdit* DBEdit1 = nullptr;
    TDBMemo* DBMemo2 = nullptr;

    // Search pane
    QGroupBox* GroupBox1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QRadioButton* rb1 = nullptr;
    QRadioButton* rb2 = nullptr;
    QRadioButton* rb3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QListWidget* ListBox1 = nullptr;

    // Find and replace dialogs of the editor commands
    FindDialog* FindDialog1 = nullptr;
    ReplaceDialog* ReplaceDialog1 = nullptr;

protected:
    // Closing with a changed script asks first: the user saves, drops the changes or stays.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The first restore from maximised gives the window its restored outer size.
    void changeEvent(QEvent* event) override;

private:
    void createDataComponents();
    void createFrame();
    QWidget* createHeaderPanel();
    QWidget* createSearchPanel();
    QWidget* createPages();
    void createStatusBar();
    void hostProgressBar();
    void createActions();
    void createToolButtons();
    void createCommands();
    // Gives each command its handler, from the one table in commandhandlers.cpp.
    void wireCommandHandlers();
    void configureActions();
    void createLook();
    void configureEditCommands();
    QMenu* buildPopupMenu(const QString& name, const std::vector<CommandTable::Entry>& entries);
    void addCommandEntry(QMenu* menu, const CommandTable::Entry& entry);
    void bindCommand(QAction* entry, const QString& actionName, const QString& entryName);

    // Puts the selection back on the current script after a refused store, without reopening it.
    void reselectCurrentScript();
    bool m_restoringSelection = false;
    bool m_restoredSizeSet = false;
    void createFileDialogs();

    // Where the user was, read when the window is made and after the load, written at close.
    void restoreSession();
    void restoreLoadedPlaces();
    void saveSession();
    std::unique_ptr<SessionSettings> m_session;

    void setUpBackups();
    // Starts the quick check and the run's backup once the library is loaded.
    void guardLibrary();
    void firstChangeMade();
    void keepRunBackup();
    void dropUnneededBackup();
    void reportDamagedLibrary(const QString& problem);
    void reloadLibrary();
    // The backup made in this run, kept once the library changes.
    QString m_runBackup;
    bool m_runBackupKept = false;
    bool m_libraryChanged = false;
    bool m_backupFailureTold = false;
    bool m_showMaximized = true;

    KeyDispatcher* m_keys = nullptr;
    // The features the window wires; each owns its state and works on the window's controls.
    StartupLoad* m_startupLoad = nullptr;
    RecordSession* m_recordSession = nullptr;
    ScriptFiles* m_scriptFiles = nullptr;
    NamingCommands* m_namingCommands = nullptr;
    SearchPane* m_searchPane = nullptr;
    PreviewPane* m_previewPane = nullptr;
    // The text box the edit commands serve.
    CommandFocus* m_commandFocus = nullptr;
    // Notices told before the window showed, to be shown with it.
    QStringList m_pendingNotices;
    // Handlers of menu items and tool buttons that are not tied to an action, by entry name.
    QHash<QString, std::function<void()>> m_commandHandlers;
};
