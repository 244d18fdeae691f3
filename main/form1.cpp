#include "form1.h"

#include "action.h"
#include "base/feylumeerror.h"
#include "categorytree.h"
#include "commandfocus.h"
#include "commandhandlers.h"
#include "commandrules.h"
#include "currentscript.h"
#include "dbctrls/datasource.h"
#include "dialogs/finddialog.h"
#include "dialogs/replacedialog.h"
#include "keydispatch.h"
#include "librarybackups.h"
#include "mainwindowlayout.h"
#include "namingcommands.h"
#include "previewpane.h"
#include "recordsession.h"
#include "scriptcounts.h"
#include "scriptfiles.h"
#include "searchpane.h"
#include "sessionmemory.h"
#include "sidewindows.h"
#include "startupload.h"
#include "store/query.h"
#include "treeselection.h"
#include "unsavedwork.h"
#include "widgets/errorguard.h"
#include "widgets/messageboxes.h"
#include "widgets/ownerwindow.h"
#include "widgets/progressbar.h"
#include "widgets/statusbar.h"
#include "windowcommands.h"
#include "xplook/xplook.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QTimer>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include <utility>

static void initResources()
{
    Q_INIT_RESOURCE(main);
}

namespace {
constexpr int kDeferredLoadDelayMs = 100;
} // namespace

TForm1::TForm1(const QString& appDir, QWidget* parent)
    : TForm1(AppPlaces::beside(appDir), parent)
{ }

TForm1::TForm1(const AppPlaces& places, QWidget* parent)
    : QMainWindow(parent)
    , m_current(new CurrentScript(this))
    , CurrentScriptName(m_current->name())
    , CurrentScriptCategory(m_current->category())
    , m_places(places)
{
    initResources();
    setObjectName(QStringLiteral("Form1"));
    setMainOwnerWindow(this);
    ADOQuery2 = m_current->record();
    connect(m_current->source(), &DataSource::dataChange, this, [this] {
        DataSource1DataChange();
        followNewRecordInScriptPanel();
    });
    connect(m_current->source(), &DataSource::stateChange, this, [this] { followNewRecordInScriptPanel(); });
    connect(m_current, &CurrentScript::shownNameChanged, this,
        [this] { Stb->setPanelText(ScriptPanel, m_current->shownName()); });
    MainWindowLayout(*this, *this, m_frame, m_current->source()).createFrame();
    m_current->setTree(Treeclass);
    m_current->setProgressBar(pgb);

    createFeatures();
    createCommands();

    SessionMemory::Parts remembered {this, m_frame.ClientSplitter, m_frame.Panel1Splitter, Treeclass, rb1,
        rb2, rb3, Edit1, ComboBox1, m_scriptFiles->openDialog(), m_scriptFiles->saveDialog(), FindDialog1,
        ReplaceDialog1};
    m_session = std::make_unique<SessionMemory>(remembered, *m_current, m_places);
    // A restore from maximised brings back the remembered size, not the first start's.
    m_restoredSizeSet = m_session->restore();

    startDeferredLoad();
    guarded([this] { FormCreate(); });
}

TForm1::~TForm1()
{
    delete m_keys;
    m_backups->dropUnneededBackup();
}

void TForm1::createFeatures()
{
    m_counts = std::make_unique<ScriptCounts>(*m_current, Stb, TotalScripts);
    m_commandFocus = new CommandFocus(this);
    m_startupLoad = new StartupLoad({Treeclass, CBX1, ComboBox1, Stb}, *m_current, *m_counts, this);
    m_recordSession
        = new RecordSession({Treeclass, CBX1, DBEdit2, DBMemo1, DBMemo2}, *m_current, *m_counts, this);
    m_namingCommands = new NamingCommands({Treeclass, CBX1, ComboBox1, DBEdit2}, *m_current, *m_counts, this);
    m_searchPane
        = new SearchPane({Edit1, ComboBox1, rb1, rb2, BitBtn1, ListBox1, Treeclass, Stb}, *m_current, this);
    m_scriptFiles = new ScriptFiles(
        {DBMemo2, Treeclass,
            [this] { return ActionList1->find(QStringLiteral("DataSetInsert1"))->execute(); }},
        *m_current, this);
    m_previewPane = new PreviewPane({PageControl1, web1, DBMemo2, Stb, &m_places}, *m_current, this);
    m_sideWindows = new SideWindows(this);
    m_treeSelection
        = std::make_unique<TreeSelection>(TreeSelection::Parts {Treeclass, CBX1}, *m_current, *m_counts);
    connect(Treeclass, &CategoryTree::currentNodeChanged, this,
        guard([this] { m_treeSelection->followSelection(); }));
    const auto tell = [this](const QString& text) { tellInStatusBar(text); };
    m_backups = new LibraryBackups(
        {this, &m_places, Treeclass, CBX1, ComboBox1, ListBox1, tell}, *m_current, *m_counts, *m_startupLoad);
    m_unsavedWork = new UnsavedWork({this, &m_places, Treeclass, [this] { m_recordSession->addScript(); },
                                        [this] { return !Timer1 && isVisible(); }, tell},
        *m_current);
}

void TForm1::createCommands()
{
    WindowCommands commands(*this, *this,
        CommandHandlers::table({*m_namingCommands, *m_recordSession, *m_scriptFiles, *m_previewPane,
            *m_searchPane, *m_backups, *m_sideWindows, *m_commandFocus, [this] { return FindDialog1; },
            [this] { return ReplaceDialog1; }, this}));
    commands.createActions();
    commands.createToolButtons();
    // After the controls and the tool bar with its buttons, before the menus: the menus keep the
    // platform's look.
    createLook();
    // The dialogs and the rules come after the look component: its walk takes the dialogs for
    // windows of their own.
    createDialogs();
    CommandRules::apply(*ActionList1, *ADOQuery2, *FindDialog1, *m_commandFocus);
    commands.createMenus();
    m_keys = new KeyDispatcher(this, MainMenu1, ActionList1);
}

void TForm1::startDeferredLoad()
{
    // The deferred load runs from the first event loop that dispatches timers: normally the
    // splash's, or an error box that FormCreate shows before it.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kDeferredLoadDelayMs);
    connect(Timer1, &QTimer::timeout, this, guard([this] { Timer1Timer(); }));
    Timer1->start();
}

void TForm1::createDialogs()
{
    m_scriptFiles->makeDialogs(this);
    FindDialog1 = new FindDialog(this);
    ReplaceDialog1 = new ReplaceDialog(this);
}

void TForm1::createLook()
{
    // Owned by the window, which it paints; found by its objectName "XPLook1".
    auto* look = new TXPLook(this);
    applyStoredLookSettings(*look);
}

void TForm1::FormCreate()
{
    hostProgressBar();
    OpenLibrary();
    Stb->setPanelText(ModePanel, QStringLiteral("数据载入中---"));
    ADOQuery2->open();
}

void TForm1::OpenLibrary()
{
    Connection& library = m_current->library();
    library.setDatabasePath(m_places.libraryPath);
    try {
        if (m_places.provideLibrary())
            tellInStatusBar(QStringLiteral("首次启动：已从示例库建立脚本库 %1")
                                .arg(QDir::toNativeSeparators(m_places.libraryPath)));
        library.open();
    } catch (const FeylumeError&) {
        MessageBoxes::plain(QStringLiteral("错误"), QStringLiteral("无法打开数据库"),
            QDir::toNativeSeparators(m_places.libraryPath));
        return;
    }
    // Without write permission every change would be refused later, one command at a time;
    // say so once, up front. The editing commands stay greyed.
    if (library.database().isReadOnly())
        MessageBoxes::information(QStringLiteral("数据库文件是只读的，只能浏览脚本，不能保存修改"));
}

void TForm1::Timer1Timer()
{
    Timer1->stop();
    m_startupLoad->loadTree();
    Timer1->deleteLater();
    Timer1 = nullptr;
    if (isVisible())
        m_startupLoad->reportScriptsOutsideTheTree();
    m_session->restoreLoadedPlaces();
    m_backups->guardLibrary();
    if (isVisible())
        offerUnsavedWork();
}

void TForm1::offerUnsavedWork()
{
    // Once the window is drawn, so that the question stands in front of it.
    QTimer::singleShot(0, this, guard([this] { m_unsavedWork->offerRestore(); }));
}

void TForm1::showAsRemembered()
{
    m_session->showAsRemembered();
}

void TForm1::keepWorkUnattended()
{
    m_unsavedWork->keepNow();
    m_session->save();
}

void TForm1::DataSetPost1Execute()
{
    m_recordSession->saveScript();
}

int TForm1::FindNodeIndex(const StoredName& name, bool scriptLevel) const
{
    return m_current->findNode(name, scriptLevel);
}

int TForm1::FindNodeIndex(const QString& name, bool scriptLevel) const
{
    return m_current->findNode(StoredName(name), scriptLevel);
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    for (const QString& notice : std::exchange(m_pendingNotices, {}))
        Stb->showNotice(notice);
    m_startupLoad->reportScriptsOutsideTheTree();
    offerUnsavedWork();
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || m_restoredSizeSet)
        return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    const bool restored = (change->oldState() & Qt::WindowMaximized)
        && !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    if (!restored || !windowHandle())
        return;
    // By now the window has been shown with its frame, so the frame's size is known. Only the
    // first restore is sized: later ones bring back whatever size the user gave the window.
    m_restoredSizeSet = true;
    resize(MainWindowLayout::kRestoredOuterSize.shrunkBy(windowHandle()->frameMargins()));
}

QString TForm1::panelText(int panel) const
{
    return Stb->panelText(panel);
}

void TForm1::tellInStatusBar(const QString& text)
{
    if (isVisible())
        Stb->showNotice(text);
    else
        m_pendingNotices << text;
}

void TForm1::hostProgressBar()
{
    pgb->setParent(Stb);
    pgb->move(Stb->panelWidth(ModePanel) + Stb->panelWidth(TotalPanel) + Stb->panelWidth(CountPanel), 2);
    pgb->resize(Stb->panelWidth(ProgressPanel), Stb->height() - 2);
    pgb->show();
}

void TForm1::DataSource1DataChange()
{
    QString label;
    switch (m_current->source()->state()) {
    case DataSetState::Browse:
        label = QStringLiteral("[浏览模式]");
        break;
    case DataSetState::Edit:
        label = QStringLiteral("[编辑模式]");
        break;
    case DataSetState::Insert:
        label = QStringLiteral("[插入模式]");
        break;
    default:
        label = QStringLiteral("[其他模式]");
    }
    Stb->setPanelText(ModePanel, label);
}

void TForm1::followNewRecordInScriptPanel()
{
    // Adding a script, and leaving that, changes which script the editors show.
    const bool inserting = m_current->source()->state() == DataSetState::Insert;
    if (inserting != std::exchange(m_showedNewRecord, inserting))
        Stb->setPanelText(ScriptPanel, m_current->shownName());
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // An error on the way keeps the window open: nothing typed goes without the user's word.
    bool mayClose = false;
    guarded([&] {
        if (ADOQuery2->isChanging())
            ADOQuery2->writePendingEdits();
        mayClose = !ADOQuery2->isChanging() || !ADOQuery2->isModified();
        if (mayClose)
            return;
        switch (MessageBoxes::askToSave(QStringLiteral("当前脚本的修改还没有保存，要保存吗?"))) {
        case MessageBoxes::Choice::Save:
            mayClose = m_recordSession->saveCurrentScript();
            break;
        case MessageBoxes::Choice::Discard:
            ADOQuery2->cancel();
            mayClose = true;
            break;
        case MessageBoxes::Choice::Cancel:
            mayClose = false;
        }
    });
    if (mayClose) {
        m_unsavedWork->forget();
        m_session->save();
        event->accept();
    } else {
        event->ignore();
    }
}
