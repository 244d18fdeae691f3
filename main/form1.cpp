#include "form1.h"

#include "action.h"
#include "base/feylumeerror.h"
#include "categorytree.h"
#include "commandfocus.h"
#include "commandhandlers.h"
#include "commandrules.h"
#include "dbctrls/datasource.h"
#include "dialogs/aboutbox.h"
#include "dialogs/finddialog.h"
#include "dialogs/importsettings.h"
#include "dialogs/replacedialog.h"
#include "dialogs/scriptfiledialog.h"
#include "dialogs/webaddresses.h"
#include "keydispatch.h"
#include "librarybackups.h"
#include "mainwindowlayout.h"
#include "namingcommands.h"
#include "previewpane.h"
#include "recordsession.h"
#include "scriptfiles.h"
#include "searchpane.h"
#include "sessionmemory.h"
#include "startupload.h"
#include "store/query.h"
#include "store/statements.h"
#include "store/table.h"
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
// Opening the current-script query at start-up with this name shows no record: no name typed
// into the program can hold a control character.
const QString kNoScriptPlaceholder = QStringLiteral("\u0001");
constexpr int kDeferredLoadDelayMs = 100;
} // namespace

TForm1::TForm1(const QString& appDir, QWidget* parent)
    : TForm1(AppPlaces::beside(appDir), parent)
{ }

TForm1::TForm1(const AppPlaces& places, QWidget* parent)
    : QMainWindow(parent)
    , AppDir(places.programDir)
    , Places(places)
{
    initResources();
    setObjectName(QStringLiteral("Form1"));
    setMainOwnerWindow(this);
    createDataComponents();
    MainWindowLayout(*this).createFrame();

    // The features, each owning its state and working on the controls made above.
    m_commandFocus = new CommandFocus(this);
    m_startupLoad = new StartupLoad(*this);
    m_recordSession = new RecordSession(*this);
    m_scriptFiles = new ScriptFiles(*this);
    m_namingCommands = new NamingCommands(*this);
    m_searchPane = new SearchPane(*this);
    m_previewPane = new PreviewPane(*this);
    m_treeSelection = std::make_unique<TreeSelection>(*this);
    m_backups = new LibraryBackups(*this, *m_startupLoad);
    m_unsavedWork = new UnsavedWork(*this);

    WindowCommands commands(*this,
        CommandHandlers::table(*this,
            {*m_namingCommands, *m_recordSession, *m_scriptFiles, *m_previewPane, *m_searchPane, *m_backups,
                *m_commandFocus}));
    commands.createActions();
    commands.createToolButtons();
    // After the controls and the tool bar with its buttons, before the menus: the menus keep the
    // platform's look.
    createLook();
    // The dialogs and the rules come after the look component: its walk takes the dialogs for
    // windows of their own.
    createDialogs();
    CommandRules::apply(*this, *m_commandFocus);
    commands.createMenus();
    m_keys = new KeyDispatcher(this, MainMenu1, ActionList1);
    connect(Treeclass, &CategoryTree::currentNodeChanged, this, guard([this] { TreeclassChange(); }));

    m_session = std::make_unique<SessionMemory>(*this);
    // A restore from maximised brings back the remembered size, not the first start's.
    m_restoredSizeSet = m_session->restore();

    // The deferred load runs from the first event loop that dispatches timers: normally the
    // splash's, or an error box that FormCreate shows before it.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kDeferredLoadDelayMs);
    connect(Timer1, &QTimer::timeout, this, guard([this] { Timer1Timer(); }));
    Timer1->start();

    guarded([this] { FormCreate(); });
}

TForm1::~TForm1()
{
    delete m_keys;
    m_backups->dropUnneededBackup();
    // Closing never saves: drop any pending edit before the data components go.
    if (ADOQuery2)
        ADOQuery2->close();
}

void TForm1::createDataComponents()
{
    ADOQuery1 = new Query(ADOConnection1, QStringLiteral("ADOQuery1"), this);
    ADOQuery2 = new Query(ADOConnection1, QStringLiteral("ADOQuery2"), this);
    ADOQuery2->setSql(Statements::kCurrentScript);
    ADOQuery2->setDecodesTextsOnFetch(true);
    ADOQuery2->setParameter(QStringLiteral("JsName"), kNoScriptPlaceholder);
    ADOQuery2->setPrepared(true);
    ADOTable2 = new Table(ADOConnection1, QStringLiteral("ADOTable2"), this);
    ADOTable2->setTableName(Statements::kCategoryTable);
    DataSource1 = new DataSource(QStringLiteral("DataSource1"), this);
    DataSource1->setDataSet(ADOQuery2);
    connect(DataSource1, &DataSource::dataChange, this, [this] {
        DataSource1DataChange();
        followNewRecordInScriptPanel();
    });
    connect(DataSource1, &DataSource::stateChange, this, [this] { followNewRecordInScriptPanel(); });
}

void TForm1::createDialogs()
{
    FileOpen1Dialog
        = new ScriptFileDialog(ScriptFileDialog::Purpose::Open, QStringLiteral("FileOpen1Dialog"), this);
    FileSaveAs1Dialog
        = new ScriptFileDialog(ScriptFileDialog::Purpose::Save, QStringLiteral("FileSaveAs1Dialog"), this);
    FindDialog1 = new FindDialog(this);
    ReplaceDialog1 = new ReplaceDialog(this);
}

void TForm1::createLook()
{
    XPLook1 = new TXPLook(this);
    applyStoredLookSettings(*XPLook1);
}

void TForm1::FormCreate()
{
    hostProgressBar();
    OpenLibrary();
    setPanelText(ModePanel, QStringLiteral("数据载入中---"));
    ADOQuery2->open();
}

void TForm1::OpenLibrary()
{
    ADOConnection1.setDatabasePath(Places.libraryPath);
    try {
        if (Places.provideLibrary())
            tellInStatusBar(QStringLiteral("首次启动：已从示例库建立脚本库 %1")
                                .arg(QDir::toNativeSeparators(Places.libraryPath)));
        ADOConnection1.open();
    } catch (const FeylumeError&) {
        MessageBoxes::plain(QStringLiteral("错误"), QStringLiteral("无法打开数据库"),
            QDir::toNativeSeparators(Places.libraryPath));
        return;
    }
    // Without write permission every change would be refused later, one command at a time;
    // say so once, up front. The editing commands stay greyed.
    if (ADOConnection1.database().isReadOnly())
        MessageBoxes::information(QStringLiteral("数据库文件是只读的，只能浏览脚本，不能保存修改"));
}

void TForm1::RunStatement(const QString& text, bool open)
{
    RunStatement(BoundStatement {text, {}}, open);
}

void TForm1::RunStatement(const BoundStatement& statement, bool open)
{
    ADOQuery1->close();
    ADOQuery1->setStatement(statement);
    if (open)
        ADOQuery1->open();
    else
        ADOQuery1->execSql();
    pgb->tickAlong(ADOQuery1->fieldCount());
}

void TForm1::OpenScript(const StoredName& name)
{
    ADOQuery2->close();
    ADOQuery2->setParameter(QStringLiteral("JsName"), name.bytes());
    ADOQuery2->open();
    CurrentScriptStoredName = name;
    CurrentScriptName = name.text();
    setPanelText(ScriptPanel, openScriptName());
}

QString TForm1::openScriptName() const
{
    // A name that found no row, or whose row was deleted, names nothing the editors show; nor
    // does it while the editors show a new record that is not in the library yet.
    const bool shown
        = ADOQuery2->isActive() && !ADOQuery2->isEmpty() && ADOQuery2->state() != DataSetState::Insert;
    return shown ? CurrentScriptName : QString();
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

void TForm1::keepWorkUnattended()
{
    m_unsavedWork->keepNow();
    m_session->save();
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

void TForm1::setPanelText(int panel, const QString& text)
{
    Stb->setPanelText(panel, text);
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
    switch (DataSource1->state()) {
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
    setPanelText(ModePanel, label);
}

void TForm1::followNewRecordInScriptPanel()
{
    // Adding a script, and leaving that, changes which script the editors show.
    const bool inserting = DataSource1->state() == DataSetState::Insert;
    if (inserting != std::exchange(m_showedNewRecord, inserting))
        setPanelText(ScriptPanel, openScriptName());
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

// The handlers of the features, under the names the window's commands and controls know.
void TForm1::BitBtn1Click()
{
    m_searchPane->BitBtn1Click();
}

void TForm1::ListBox1Click()
{
    m_searchPane->ListBox1Click();
}

void TForm1::N35Click()
{
    m_searchPane->N35Click();
}

void TForm1::N40Click()
{
    m_searchPane->N40Click();
}

void TForm1::WritePreviewFile()
{
    m_previewPane->WritePreviewFile();
}

void TForm1::PageControl1Change()
{
    m_previewPane->PageControl1Change();
}

void TForm1::N14Click()
{
    m_previewPane->N14Click();
}

void TForm1::ActIEExecute()
{
    m_previewPane->ActIEExecute();
}

void TForm1::recountScripts()
{
    m_startupLoad->recountScripts();
}

bool TForm1::storePendingChanges()
{
    return m_recordSession->storePendingChanges();
}

void TForm1::DataSetInsert1Execute()
{
    m_recordSession->DataSetInsert1Execute();
}

void TForm1::DataSetDelete1Execute()
{
    m_recordSession->DataSetDelete1Execute();
}

void TForm1::DataSetPost1Execute()
{
    m_recordSession->DataSetPost1Execute();
}

void TForm1::DataSetCancel1Execute()
{
    m_recordSession->DataSetCancel1Execute();
}

bool TForm1::RenameEntry(const StoredName& oldName, const QString& newName, bool isScript)
{
    return m_namingCommands->RenameEntry(oldName, newName, isScript);
}

void TForm1::AddCategory(const QString& name)
{
    m_namingCommands->AddCategory(name);
}

bool TForm1::DeleteCategoryRow(const StoredName& name)
{
    return m_namingCommands->DeleteCategoryRow(name);
}

void TForm1::ToolButton1Click()
{
    m_namingCommands->ToolButton1Click();
}

void TForm1::ToolButton2Click()
{
    m_namingCommands->ToolButton2Click();
}

void TForm1::ToolButton3Click()
{
    m_namingCommands->ToolButton3Click();
}

void TForm1::N22Click()
{
    m_namingCommands->N22Click();
}

void TForm1::TreeclassEdited(TreeNode* node, QString& text)
{
    m_namingCommands->TreeclassEdited(node, text);
}

void TForm1::LoadCategories()
{
    m_startupLoad->LoadCategories();
}

void TForm1::LoadScripts()
{
    m_startupLoad->LoadScripts();
}

bool TForm1::FileOpen1BeforeExecute()
{
    return m_scriptFiles->FileOpen1BeforeExecute();
}

void TForm1::FileOpen1Accept()
{
    m_scriptFiles->FileOpen1Accept();
}

void TForm1::FileSaveAs1BeforeExecute()
{
    m_scriptFiles->FileSaveAs1BeforeExecute();
}

void TForm1::FileSaveAs1Accept()
{
    m_scriptFiles->FileSaveAs1Accept();
}

void TForm1::TreeclassChange()
{
    m_treeSelection->TreeclassChange();
}

int TForm1::FindNodeIndex(const StoredName& name, bool scriptLevel) const
{
    return m_treeSelection->FindNodeIndex(name, scriptLevel);
}

void TForm1::showCountOf(const TreeNode* node)
{
    m_treeSelection->showCountOf(node);
}

void TForm1::RestoreBackup1Click()
{
    m_backups->RestoreBackup1Click();
}

bool TForm1::restoreBackup(const QString& path)
{
    return m_backups->restoreBackup(path);
}

void TForm1::showAsRemembered()
{
    m_session->showAsRemembered();
}

void TForm1::ActaboutExecute()
{
    Fmabout = new TFmabout(this);
    // Destroyed as it closes; its result is of no use here.
    Fmabout->exec();
}

void TForm1::N15Click()
{
    WebAddresses::open(WebAddresses::kHelpPage);
}

void TForm1::ActIFnetExecute()
{
    FmImport = new TFmImport(this);
    KeyDispatcher::shareCommandKeys(FmImport);
    FmImport->show();
}
