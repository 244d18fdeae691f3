#pragma once

#include "store/appplaces.h"
#include "store/connection.h"
#include "store/storedname.h"
#include "widgets/imagelist.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

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
class LibraryBackups;
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
class SessionMemory;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolBar;
class TreeNode;
class TreeSelection;
class UnsavedWork;

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

    // Start-up (startupload.h)
    // Opens the library and the current-script query as the window is made.
    void FormCreate();
    // The deferred load: fills the tree, then gives back the places the user left.
    void Timer1Timer();
    // Shows the window as the user left it: maximized, or where it stood (sessionmemory.h).
    void showAsRemembered();
    // The program is ended with nobody to answer (a signal, the end of the desktop session): no
    // box is shown; unsaved changes go to the recovery journal (unsavedwork.h) and the user's
    // places to the settings.
    void keepWorkUnattended();

    // Library store
    // Opens the library file, making it from the sample at a first start.
    void OpenLibrary();
    // Runs a statement on ADOQuery1: opened to read rows, or executed.
    void RunStatement(const QString& text, bool open);
    void RunStatement(const BoundStatement& statement, bool open);
    // Opens the script stored under exactly this name's bytes.
    void OpenScript(const StoredName& name);

    // Category tree (treeselection.h)
    // Fills the tree and both category lists with the categories.
    void LoadCategories();
    // Puts each category's scripts under its node.
    void LoadScripts();
    // The tree's selection moved: opens the chosen script or counts the category.
    void TreeclassChange();
    // The tree position of the first category (or script) node with this name; -1 if none.
    int FindNodeIndex(const StoredName& name, bool scriptLevel) const;
    // Status panel 2: the script count of the node's category.
    void showCountOf(const TreeNode* node);
    // Status panel 1: counts the library's scripts again after scripts were added or removed.
    void recountScripts();

    // Script commands (recordsession.h)
    // Stores a changed current record through the save command before anything replaces it;
    // false when the store was refused, the record then keeping its mode and typed values.
    // An untouched edit or new record is simply dropped.
    bool storePendingChanges();
    // "添加脚本" (F5): a new record in the editors.
    void DataSetInsert1Execute();
    // "删除脚本" (F6): the selected script, after the user confirms.
    void DataSetDelete1Execute();
    // "保存脚本" (F7): stores the current record.
    void DataSetPost1Execute();
    // "放弃修改" (F8): drops the current record's changes.
    void DataSetCancel1Execute();
    // Status panel 0 shows the record's mode.
    void DataSource1DataChange();

    // Category and script naming (namingcommands.h)
    // Renames a script or category in the library; false when the name was refused.
    bool RenameEntry(const StoredName& oldName, const QString& newName, bool isScript);
    // Adds a category with this name unless it is taken.
    void AddCategory(const QString& name);
    // Deletes the category's row, and with it its scripts.
    bool DeleteCategoryRow(const StoredName& name);
    // "添加类别": asks for a name and adds the category.
    void ToolButton1Click();
    // "删除类别": the selected category and its scripts, after the user confirms.
    void ToolButton2Click();
    // "类别更名": renames the selected category.
    void ToolButton3Click();
    // "脚本改名(&E)": edits the selected script's name.
    void N22Click();
    // A name edited in the tree: renamed in the library first, then in the tree.
    void TreeclassEdited(TreeNode* node, QString& text);

    // Script files (scriptfiles.h)
    // Import: prepares the open dialog; false when it must not be shown.
    bool FileOpen1BeforeExecute();
    // Import: reads the chosen file into a new record.
    void FileOpen1Accept();
    // Export: prepares the save dialog.
    void FileSaveAs1BeforeExecute();
    // Export: writes the code to the chosen file.
    void FileSaveAs1Accept();
    // Search pane (searchpane.h)
    // "查找": fills the results list with the matching scripts.
    void BitBtn1Click();
    // Opens the chosen result and selects its node.
    void ListBox1Click();
    // "移去": takes the selected entry off the results list; the script stays.
    void N35Click();
    // "清空": empties the results list.
    void N40Click();

    // Restoring a backup ("恢复备份…"); the run's backup and the quick check are in
    // librarybackups.h.
    void RestoreBackup1Click();
    // Replaces the library by the backup after saving it as a backup itself, and reloads the
    // tree; false when a pending change was refused or the backup is damaged.
    bool restoreBackup(const QString& path);

    // Preview (previewpane.h)
    // Writes the code into the preview file.
    void WritePreviewFile();
    // Turning to the preview page shows the code as a page.
    void PageControl1Change();
    // "快速预览" (F11): shows the page and turns to it.
    void N14Click();
    // "IE预览" (F12): opens the page in the desktop's browser.
    void ActIEExecute();

    // About box, help page, network import settings
    // The about box.
    void ActaboutExecute();
    // The help page in the default browser.
    void N15Click();
    // The network import settings window.
    void ActIFnetExecute();

    // Status panels
    enum Panel { ModePanel = 0, TotalPanel = 1, CountPanel = 2, ProgressPanel = 3, ScriptPanel = 4 };
    // The text of a status panel.
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
    void createLook();
    void createDialogs();
    void hostProgressBar();
    void offerUnsavedWork();

    KeyDispatcher* m_keys = nullptr;
    // The features the window wires; each owns its state and works on the window's controls.
    StartupLoad* m_startupLoad = nullptr;
    RecordSession* m_recordSession = nullptr;
    ScriptFiles* m_scriptFiles = nullptr;
    NamingCommands* m_namingCommands = nullptr;
    SearchPane* m_searchPane = nullptr;
    PreviewPane* m_previewPane = nullptr;
    std::unique_ptr<TreeSelection> m_treeSelection;
    LibraryBackups* m_backups = nullptr;
    UnsavedWork* m_unsavedWork = nullptr;
    // Where the user was, read when the window is made and after the load, written at close.
    std::unique_ptr<SessionMemory> m_session;
    // The text box the edit commands serve.
    CommandFocus* m_commandFocus = nullptr;
    // Set once the restored size is known: remembered, or given at the first restore.
    bool m_restoredSizeSet = false;
    // Whether panel 4 last followed a new record that is not stored yet.
    bool m_showedNewRecord = false;
    // Panel 4 names no script while a new one is being added, and the shown one again after.
    void followNewRecordInScriptPanel();
    // Notices told before the window showed, to be shown with it.
    QStringList m_pendingNotices;
};
