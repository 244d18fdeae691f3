#pragma once

#include "mainwindowcontrols.h"
#include "statuspanels.h"
#include "store/appplaces.h"
#include "store/storedname.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <memory>

class CommandFocus;
class CurrentScript;
class KeyDispatcher;
class LibraryBackups;
class NamingCommands;
class PreviewPane;
class RecordSession;
class ScriptCounts;
class ScriptFiles;
class SearchPane;
class SessionMemory;
class SideWindows;
class StartupLoad;
class TreeSelection;
class UnsavedWork;

// The main window: the library, the category tree, the editors of the current script, the
// search pane and the preview. It makes its controls (mainwindowlayout), its features and its
// commands, and wires them; each feature is handed the controls and services it works on. Its
// components keep the names the window is described with (mainwindowcontrols.h).
class TForm1 : public QMainWindow, public MainWindowControls
{
    Q_OBJECT

    // Made first: the public fields below refer into it.
    CurrentScript* m_current;

public:
    // appDir is the directory the window derives its files from, with a trailing separator;
    // everything is kept beside it and nothing is remembered.
    explicit TForm1(const QString& appDir, QWidget* parent = nullptr);
    explicit TForm1(const AppPlaces& places, QWidget* parent = nullptr);
    ~TForm1() override;

    // Shows the window as the user left it: maximized, or where it stood.
    void showAsRemembered();
    // The program is ended with nobody to answer (a signal, the end of the desktop session): no
    // box is shown; unsaved changes go to the recovery journal and the user's places to the
    // settings.
    void keepWorkUnattended();

    // "保存脚本" (F7): stores the current record.
    void DataSetPost1Execute();
    // The tree position of the first category (or script) node with this name; -1 if none. A
    // name given as text is the name as typed or shown.
    int FindNodeIndex(const StoredName& name, bool scriptLevel) const;
    int FindNodeIndex(const QString& name, bool scriptLevel) const;

    // Status panels
    enum Panel {
        ModePanel = StatusPanel::Mode,
        TotalPanel = StatusPanel::Total,
        CountPanel = StatusPanel::Count,
        ProgressPanel = StatusPanel::Progress,
        ScriptPanel = StatusPanel::Script,
    };
    // The text of a status panel.
    QString panelText(int panel) const;

    // The open script's name and category, as the current script holds them.
    const QString& CurrentScriptName;
    const QString& CurrentScriptCategory;
    // The library's scripts, as the status bar counts them.
    int TotalScripts = 0;

protected:
    // Closing with a changed script asks first: the user saves, drops the changes or stays.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The first restore from maximised gives the window its restored outer size.
    void changeEvent(QEvent* event) override;

private:
    // Opens the library and the current-script query as the window is made.
    void FormCreate();
    // Opens the library file, making it from the sample at a first start.
    void OpenLibrary();
    // The deferred load: fills the tree, then gives back the places the user left.
    void Timer1Timer();
    // Status panel 0 shows the record's mode.
    void DataSource1DataChange();

    void createFeatures();
    void createCommands();
    void createLook();
    void createDialogs();
    void startDeferredLoad();
    void hostProgressBar();
    void offerUnsavedWork();
    // A passing notice over the text panels (a first start, a backup that failed); shown once
    // the window is up.
    void tellInStatusBar(const QString& text);
    // Panel 4 names no script while a new one is being added, and the shown one again after.
    void followNewRecordInScriptPanel();

    AppPlaces m_places;
    MainWindowFrame m_frame;
    KeyDispatcher* m_keys = nullptr;
    // The features the window wires; each owns its state and works on the controls it is given.
    std::unique_ptr<ScriptCounts> m_counts;
    CommandFocus* m_commandFocus = nullptr;
    StartupLoad* m_startupLoad = nullptr;
    RecordSession* m_recordSession = nullptr;
    ScriptFiles* m_scriptFiles = nullptr;
    NamingCommands* m_namingCommands = nullptr;
    SearchPane* m_searchPane = nullptr;
    PreviewPane* m_previewPane = nullptr;
    SideWindows* m_sideWindows = nullptr;
    std::unique_ptr<TreeSelection> m_treeSelection;
    LibraryBackups* m_backups = nullptr;
    UnsavedWork* m_unsavedWork = nullptr;
    // Where the user was, read when the window is made and after the load, written at close.
    std::unique_ptr<SessionMemory> m_session;
    // Set once the restored size is known: remembered, or given at the first restore.
    bool m_restoredSizeSet = false;
    // Whether panel 4 last followed a new record that is not stored yet.
    bool m_showedNewRecord = false;
    // Notices told before the window showed, to be shown with it.
    QStringList m_pendingNotices;
};
