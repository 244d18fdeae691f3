// The preview on the real window with the real web view: the preview file's bytes, page turns
// and panel 4, unwritable files, the default-browser seam, and a snippet treated as untrusted
// code (its script runs, an endless loop freezes nothing, local files and the network stay out
// of reach, script errors are shown, its boxes cannot hold the window, a page that eats memory
// is ended).

#include "dbctrls/dbmemo.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "main/pageengineloader.h"
#include "main/pageview.h"
#include "main/previewpane.h"
#include "support/mainwindowfixture.h"
#include "support/mainwindowtest.h"
#include "support/modalanswerer.h"
#include "support/pendingevents.h"
#include "support/userinput.h"
#include "support/windowparts.h"
#include "widgets/shellopen.h"

#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

using namespace UserInput;

#include <algorithm>
#include <cstdio>
#include <memory>

#include <unistd.h>

namespace {
const QString kGbPage = QStringLiteral(
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"></head>\r\n"
    "<body style=\"font-size:28px\"><p id=\"t\">中文预览：飘落的雪花</p>\r\n"
    "<script>document.getElementById('t').textContent += '（脚本已运行）';</script></body></html>");
const QString kUtf8Page
    = QStringLiteral("<p id=\"t\" style=\"font-size:28px\">没有声明字符集的页面</p>\r\n"
                     "<script>document.getElementById('t').textContent += '（脚本已运行）';</script>");

const QString kLongName = QStringLiteral("一个名字很长的脚本：鼠标跟随的彩色星星与飘落的雪花eventloop");

// A page that keeps 8 MB chunks, touched, up to 2 GB: far past any limit, yet bounded.
QString eaterPage(const QString& chunk)
{
    return QStringLiteral("<p>eater</p><script>\r\nvar kept = [], n = 0;\r\n"
                          "function eat() {\r\n"
                          "  for (var i = 0; i < 8 && n < 256; ++i, ++n) kept.push(%1);\r\n"
                          "  if (n < 256) setTimeout(eat, 0); else document.title = 'survived';\r\n"
                          "}\r\nsetTimeout(eat, 0);\r\n</script>")
        .arg(chunk);
}

const char* const kInProcessProbe = "--preview-a-page-that-eats-memory";

// The probe's side: shows a page that eats memory, as the first preview of a run, and says what
// the line under it told. Ending this process would show as a crash.
int previewAPageThatEatsMemory(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    QFile page(folder.filePath(QStringLiteral("eater.htm")));
    if (!page.open(QIODevice::WriteOnly)
        || page.write(eaterPage(QStringLiteral("new Float64Array(1 << 20).fill(n + 0.5)")).toUtf8()) < 0)
        return 2;
    page.close();
    PageView view(nullptr);
    view.resize(400, 300);
    view.show();
    view.navigate(QUrl::fromLocalFile(page.fileName()), QStringLiteral("probe"));
    if (!QTest::qWaitFor([&] { return view.noticeText().contains(QStringLiteral("预览页面已终止")); }, 60000))
        std::fputs("the page was not ended\n", stdout);
    std::fputs(view.noticeText().toUtf8().constData(), stdout);
    return 0;
}

QByteArray gb18030(const QString& text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Whether the engine has put the widget that draws the page's frames into the view: the step
// that needs the window to compose through OpenGL.
bool composesThePage(const PageView* view)
{
    const QList<QWidget*> inside = view->findChildren<QWidget*>();
    return std::any_of(inside.begin(), inside.end(),
        [](const QWidget* widget) { return widget->inherits("QQuickWidget") && widget->isVisible(); });
}

// Openbox on the test display for as long as this lives, when it is installed and no other
// window manager runs there: what a user's desktop does to a window (placing it, keeping it
// maximized, showing a native window made again as a new one) only shows under one.
class WindowManager
{
public:
    WindowManager()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (program.isEmpty() || !m_home.isValid())
            return;
        const QString ready = m_home.filePath(QStringLiteral("ready"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Its settings and logs stay out of the user's folders.
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
            environment.insert(QLatin1String(name), m_home.path());
        m_process.setProcessEnvironment(environment);
        m_process.start(program,
            {QStringLiteral("--sm-disable"), QStringLiteral("--startup"), QStringLiteral("touch ") + ready});
        // It ends at once where another window manager runs, which serves as well.
        const bool settled = QTest::qWaitFor(
            [&] { return QFile::exists(ready) || m_process.state() == QProcess::NotRunning; }, 10000);
        Q_UNUSED(settled);
    }
    ~WindowManager()
    {
        m_process.terminate();
        m_process.waitForFinished();
    }
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

private:
    QTemporaryDir m_home;
    QProcess m_process;
};

// What a script of the shown page evaluates to, once the page answers. The answer may come
// after the wait gave up, so it lands in state of its own.
QVariant evaluate(PageView* view, const QString& script)
{
    struct Answer
    {
        QVariant value;
        bool given = false;
    };
    const auto answer = std::make_shared<Answer>();
    view->evaluate(script, [answer](const QVariant& value) {
        answer->value = value;
        answer->given = true;
    });
    if (!QTest::qWaitFor([&] { return answer->given; }, 10000))
        return QStringLiteral("<no answer>");
    return answer->value;
}
} // namespace

class TestPreview : public MainWindowTest
{
    Q_OBJECT

private:
    QList<QUrl> m_opened;

    QString previewPath() const { return m_library->appDir() + QStringLiteral("temp.htm"); }
    QString scriptPanel() { return form().panelText(TForm1::ScriptPanel); }

    void turnTo(int page)
    {
        QTabBar* tabs = form().PageControl1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
        QCOMPARE(form().PageControl1->currentIndex(), page);
    }

    // F11 on a given text, waiting for the page's load event.
    bool quickPreview(const QString& code)
    {
        form().DBMemo2->setPlainText(code);
        focus(form().Treeclass);
        QSignalSpy loaded(form().web1, &PageView::loadFinished);
        QTest::keyClick(form().Treeclass, Qt::Key_F11);
        return loaded.wait(20000) && loaded.first().first().toBool();
    }

private slots:
    void initTestCase()
    {
        ShellOpen::setHandler([this](const QUrl& url) { m_opened << url; });
    }

    void init()
    {
        m_opened.clear();
        newLibrary().create({QStringLiteral("文字特效")},
            {{QStringLiteral("国标页"), QStringLiteral("文字特效"), QStringLiteral("作者"),
                 QStringLiteral("简介"), kGbPage},
                {QStringLiteral("无声明页"), QStringLiteral("文字特效"), QStringLiteral("作者"),
                    QStringLiteral("简介"), kUtf8Page},
                {QStringLiteral("多行"), QStringLiteral("文字特效"), QStringLiteral("作者"),
                    QStringLiteral("简介"), QStringLiteral("第一行\r\n第二行\r\n")},
                {kLongName, QStringLiteral("文字特效"), QStringLiteral("作者"), QStringLiteral("简介"),
                    QStringLiteral("<p>长名字</p>")}});
        start();
    }

    // First: once the engine has loaded, it stays loaded for the rest of the process.
    void aMissingEngineIsReportedAndNothingIsLost()
    {
        openScript(QStringLiteral("多行"));
        form().DBMemo2->setPlainText(QStringLiteral("改过的代码"));
        PageEngineLoader::setProgramFolder(m_library->appDir() + QStringLiteral("nothing-here"));
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        QTest::keyClick(form().Treeclass, Qt::Key_F11);
        PageEngineLoader::setProgramFolder(QString());
        QTRY_VERIFY(answerer.done());
        const QString reason = answerer.seen().first().text;
        QVERIFY(reason.startsWith(QStringLiteral("无法启动网页预览组件：找不到 ")));
        // The file looked for is the one the build and the install make.
        QVERIFY2(reason.contains(QStringLiteral("/feylume_pageengine.so")), qPrintable(reason));
        QVERIFY(!reason.contains(QStringLiteral("libfeylume")));
        QVERIFY(!form().web1->hasEngine());
        QCOMPARE(form().DBMemo2->toPlainText(), QStringLiteral("改过的代码"));
        // The next preview tries again, and the engine is there this time.
        QVERIFY(quickPreview(kUtf8Page));
        QVERIFY(form().web1->hasEngine());
    }

    void theViewStartsOnlyWhenAPageNeedsIt()
    {
        QVERIFY(!form().web1->hasEngine());
        QCOMPARE(form().PageControl1->currentIndex(), 0);
        turnTo(1);
        QVERIFY(form().web1->hasEngine());
        QCOMPARE(form().web1->address(), QUrl::fromLocalFile(previewPath()));
    }

    // Once a script's code is shown and the user leaves the window alone, the engine is readied
    // ahead; a user at work holds it off, and the preview that follows shows the page.
    void theEngineIsReadiedAheadOnlyWhileTheUserIsIdle()
    {
        openScript(QStringLiteral("多行"));
        focus(form().DBMemo2);
        // Keys come far more often than the quiet while the readying waits for.
        for (int key = 0; key < 15; ++key) {
            QTest::keyClick(form().DBMemo2, Qt::Key_A);
            QTest::qWait(100);
            QVERIFY(!form().web1->engineReadiedAhead());
        }
        QTRY_VERIFY_WITH_TIMEOUT(form().web1->engineReadiedAhead(), 20000);
        QVERIFY(!form().web1->hasEngine());
        QVERIFY(quickPreview(kUtf8Page));
        QCOMPARE(evaluate(form().web1, QStringLiteral("document.getElementById('t').textContent")).toString(),
            QStringLiteral("没有声明字符集的页面（脚本已运行）"));
        QVERIFY(form().web1->noticeText().isEmpty());
    }

    void previewFileBytes_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("no charset: UTF-8") << QStringLiteral("无声明页") << kUtf8Page.toUtf8();
        QTest::newRow("gb2312 declared: GB18030") << QStringLiteral("国标页") << gb18030(kGbPage);
        QTest::newRow("CR LF line ends")
            << QStringLiteral("多行") << QStringLiteral("第一行\r\n第二行\r\n").toUtf8();
        QTest::newRow("no script open: empty file") << QString() << QByteArray();
    }

    void previewFileBytes()
    {
        QFETCH(QString, script);
        QFETCH(QByteArray, bytes);
        if (!script.isEmpty())
            openScript(script);
        focus(form().Treeclass);
        press(Qt::Key_F11);
        QCOMPARE(windowPart<PreviewPane>(form()).previewFile(), previewPath());
        QCOMPARE(fileBytes(previewPath()), bytes);
        if (script.isEmpty()) {
            turnTo(0);
            turnTo(1);
            QCOMPARE(scriptPanel(), QStringLiteral("预览:"));
        }
    }

    void theEditedTextIsPreviewedNotTheStoredOne()
    {
        openScript(QStringLiteral("多行"));
        focus(form().DBMemo2);
        QTest::keyClicks(form().DBMemo2, QStringLiteral("x"));
        press(Qt::Key_F11);
        QVERIFY(fileBytes(previewPath()).contains("x"));
        QCOMPARE(m_library->value(QStringLiteral("select cjs_text from tjs where cjs_name = '多行'")),
            QStringLiteral("第一行\r\n第二行\r\n"));
        // The focus left the code editor for the preview page.
        QVERIFY(!form().DBMemo2->hasFocus());
        QCOMPARE(form().PageControl1->currentIndex(), 1);
    }

    void pageTurnsAndPanel4()
    {
        openScript(QStringLiteral("多行"));
        press(Qt::Key_F11);
        QCOMPARE(form().PageControl1->currentIndex(), 1);
        QCOMPARE(scriptPanel(), QStringLiteral("多行")); // quick preview does not run the page change
        turnTo(0);
        QCOMPARE(scriptPanel(), QStringLiteral("代码:多行"));
        QCOMPARE(form().web1->address(), QUrl(QStringLiteral("about:blank")));
        focus(form().Treeclass);
        press(Qt::Key_F11);
        QCOMPARE(scriptPanel(), QStringLiteral("代码:多行"));
        QCOMPARE(form().web1->address(), QUrl::fromLocalFile(previewPath()));
        turnTo(0);
        turnTo(1);
        QCOMPARE(scriptPanel(), QStringLiteral("预览:多行"));
        QCOMPARE(form().web1->address(), QUrl::fromLocalFile(previewPath()));
    }

    void ctrlTabTurnsThePageLikeAClick()
    {
        openScript(QStringLiteral("多行"));
        focus(form().DBMemo2);
        press(QKeyCombination(Qt::ControlModifier, Qt::Key_Tab));
        QCOMPARE(form().PageControl1->currentIndex(), 1);
        QCOMPARE(scriptPanel(), QStringLiteral("预览:多行"));
        QCOMPARE(fileBytes(previewPath()), QStringLiteral("第一行\r\n第二行\r\n").toUtf8());
    }

    void ctrlTabTurnsBackFromAPageThatTakesEveryKey_data()
    {
        QTest::addColumn<QKeyCombination>("key");
        QTest::newRow("Ctrl+Tab") << QKeyCombination(Qt::ControlModifier, Qt::Key_Tab);
        QTest::newRow("Ctrl+Shift+Tab")
            << QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Backtab);
    }

    void ctrlTabTurnsBackFromAPageThatTakesEveryKey()
    {
        QFETCH(QKeyCombination, key);
        openScript(QStringLiteral("多行"));
        QVERIFY(quickPreview(QStringLiteral("<p>键</p><script>document.onkeydown = function (e) { "
                                            "e.preventDefault(); return false; };</script>")));
        // The preview has the focus, as it has right after F11 from the code editor.
        focus(form().web1);
        press(key);
        QTRY_COMPARE(form().PageControl1->currentIndex(), 0);
        QCOMPARE(scriptPanel(), QStringLiteral("代码:多行"));
        QVERIFY(form().DBMemo2->hasFocus());
    }

    void anUnwritablePreviewFileStopsEverything_data()
    {
        QTest::addColumn<bool>("folderInItsPlace");
        QTest::newRow("read-only temp.htm") << false;
        QTest::newRow("a folder named temp.htm") << true;
    }

    void anUnwritablePreviewFileStopsEverything()
    {
        QFETCH(bool, folderInItsPlace);
        if (folderInItsPlace) {
            QVERIFY(QDir().mkpath(previewPath()));
        } else {
            if (geteuid() == 0)
                QSKIP("the superuser writes read-only files");
            QFile file(previewPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
            QVERIFY(file.setPermissions(QFileDevice::ReadOwner));
        }
        openScript(QStringLiteral("多行"));
        const QString message = QStringLiteral("Cannot create file %1.").arg(previewPath());

        ModalAnswerer quick({{QStringLiteral("OK")}});
        press(Qt::Key_F11);
        QTRY_VERIFY(quick.done());
        QCOMPARE(quick.seen().first().text, message);
        QCOMPARE(form().PageControl1->currentIndex(), 0);
        QVERIFY(form().web1->address().isEmpty());

        ModalAnswerer browser({{QStringLiteral("OK")}});
        focus(form().Treeclass);
        press(Qt::Key_F12);
        QTRY_VERIFY(browser.done());
        QCOMPARE(browser.seen().first().text, message);
        QVERIFY(m_opened.isEmpty());

        ModalAnswerer turn({{QStringLiteral("OK")}});
        turnTo(1);
        QTRY_VERIFY(turn.done());
        QCOMPARE(turn.seen().first().text, message);
        QCOMPARE(form().PageControl1->currentIndex(), 1);
        QCOMPARE(scriptPanel(), QStringLiteral("多行"));
        QVERIFY(form().web1->address().isEmpty());
    }

    void theDefaultBrowserGetsTheSameFile()
    {
        openScript(QStringLiteral("国标页"));
        press(Qt::Key_F12);
        QCOMPARE(m_opened, QList<QUrl>({QUrl::fromLocalFile(previewPath())}));
        QCOMPARE(fileBytes(previewPath()), gb18030(kGbPage));
        QCOMPARE(form().PageControl1->currentIndex(), 0);
        QCOMPARE(scriptPanel(), QStringLiteral("国标页"));
        QVERIFY(!form().web1->hasEngine());
    }

    void chineseShowsAndTheScriptRuns_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("shot");
        QTest::newRow("gb2312 declared") << kGbPage << QStringLiteral("preview-gb2312.png");
        QTest::newRow("no declaration") << kUtf8Page << QStringLiteral("preview-utf8.png");
    }

    void chineseShowsAndTheScriptRuns()
    {
        QFETCH(QString, code);
        QFETCH(QString, shot);
        form().showMaximized();
        QVERIFY(quickPreview(code));
        const QString expected = code == kGbPage ? QStringLiteral("中文预览：飘落的雪花（脚本已运行）")
                                                 : QStringLiteral("没有声明字符集的页面（脚本已运行）");
        QCOMPARE(evaluate(form().web1, QStringLiteral("document.getElementById('t').textContent")).toString(),
            expected);
        // A picture to look at, when asked for: the page as drawn, in the folder named.
        const QString shots = qEnvironmentVariable("FEYLUME_TEST_SHOTS");
        if (!shots.isEmpty()) {
            QTest::qWait(300); // the engine's frame reaches the window after the script ran
            QVERIFY(form().grab().save(QDir(shots).absoluteFilePath(shot)));
        }
    }

    void anEndlessLoopFreezesNothing()
    {
        QVERIFY(quickPreview(QStringLiteral("<p>ok</p>")));
        form().DBMemo2->setPlainText(QStringLiteral("<script>for (;;) {}</script>"));
        focus(form().Treeclass);
        press(Qt::Key_F11);
        // The window keeps answering: timers run and a page turn is handled at once.
        QElapsedTimer responsive;
        responsive.start();
        bool ticked = false;
        QTimer::singleShot(50, [&] { ticked = true; });
        QTRY_VERIFY_WITH_TIMEOUT(ticked, 1000);
        QVERIFY(responsive.elapsed() < 1000);
        QTest::qWait(300);
        turnTo(0);
        QCOMPARE(scriptPanel(), QStringLiteral("代码:"));

        // The next preview gets a page that runs.
        QVERIFY(quickPreview(kUtf8Page));
        QCOMPARE(evaluate(form().web1, QStringLiteral("document.getElementById('t').textContent")).toString(),
            QStringLiteral("没有声明字符集的页面（脚本已运行）"));
    }

    void localFilesNetworkAndWindowsStayOutOfReach()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const QString origin = QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort());
        const QString code = QStringLiteral(
            "<img src=\"%1/picture.png\"><script>\r\n"
            "var result = [];\r\n"
            "try { var x = new XMLHttpRequest(); x.open('GET', 'file:///etc/hostname', false); x.send();\r\n"
            "  result.push('read:' + x.responseText); } catch (e) { result.push('refused'); }\r\n"
            "result.push(window.open('about:blank') === null ? 'no window' : 'window');\r\n"
            "fetch('%1/data').then(function () { result.push('network'); }, function () { "
            "result.push('offline'); });\r\n"
            "fetch('file:///etc/hostname').then(function (r) { return r.text(); })\r\n"
            "  .then(function (t) { result.push('fetched:' + t); }, function () { result.push('no fetch'); "
            "});\r\n"
            "</script>")
                                 .arg(origin);
        QVERIFY(quickPreview(code));
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(form().web1, QStringLiteral("result.length")).toInt(), 4, 10000);
        const QStringList result = evaluate(form().web1, QStringLiteral("result")).toStringList();
        QCOMPARE(result.at(0), QStringLiteral("refused"));
        QCOMPARE(result.at(1), QStringLiteral("no window"));
        QVERIFY(result.contains(QStringLiteral("offline")));
        QVERIFY(result.contains(QStringLiteral("no fetch")));
        QVERIFY(!server.waitForNewConnection(300));
    }

    void theViewsOwnRefusalIsReported()
    {
        // The preview file vanishing between writing and loading is as close as a user gets.
        QVERIFY(quickPreview(QStringLiteral("<p>first</p>")));
        ModalAnswerer answerer({{QStringLiteral("OK")}});
        form().web1->navigate(QUrl::fromLocalFile(m_library->appDir() + QStringLiteral("gone.htm")));
        QTRY_VERIFY_WITH_TIMEOUT(answerer.done(), 10000);
        QCOMPARE(answerer.seen().first().title, QStringLiteral("FeylumeV2.5"));
        QVERIFY(answerer.seen().first().text.contains(QStringLiteral("ERR_FILE_NOT_FOUND")));
    }

    void theFirstScriptErrorIsShownUnderThePage()
    {
        QVERIFY(quickPreview(
            QStringLiteral("<p>page</p>\r\n<script>\r\nnoSuchFunction();\r\notherMissing();\r\n</script>")));
        QTRY_VERIFY(!form().web1->noticeText().isEmpty());
        QVERIFY(form().web1->noticeText().contains(QStringLiteral("noSuchFunction")));
        QVERIFY(form().web1->noticeText().contains(QStringLiteral("第 3 行")));
        QVERIFY(quickPreview(QStringLiteral("<p>fine</p>")));
        QCOMPARE(form().web1->noticeText(), QString());
    }

    void peerConnectionsSendNothing()
    {
        QUdpSocket udp;
        QVERIFY(udp.bind(QHostAddress::LocalHost));
        QTcpServer tcp;
        QVERIFY(tcp.listen(QHostAddress::LocalHost));
        // Every kind of server a peer connection contacts: STUN and TURN over UDP, TURN over TCP,
        // by address and by name.
        const QString code = QStringLiteral(
            "<script>\r\n"
            "var state = 'started';\r\n"
            "var pc = new RTCPeerConnection({iceServers: [{urls: 'stun:127.0.0.1:%1'},\r\n"
            "  {urls: 'stun:localhost:%1'}, {urls: 'turn:127.0.0.1:%1', username: 'u', credential: 'p'},\r\n"
            "  {urls: 'turn:127.0.0.1:%2?transport=tcp', username: 'u', credential: 'p'},\r\n"
            "  {urls: 'turn:localhost:%2?transport=tcp', username: 'u', credential: 'p'}]});\r\n"
            "pc.createDataChannel('effect');\r\n"
            "pc.onicegatheringstatechange = function () {\r\n"
            "  if (pc.iceGatheringState === 'complete') state = 'gathered'; };\r\n"
            "pc.createOffer().then(function (offer) { return pc.setLocalDescription(offer); });\r\n"
            "</script>")
                                 .arg(udp.localPort())
                                 .arg(tcp.serverPort());
        QVERIFY(quickPreview(code));
        // Until the connection has tried every server, or something reached one.
        const auto settled = [&] {
            return udp.hasPendingDatagrams() || tcp.hasPendingConnections()
                || evaluate(form().web1, QStringLiteral("state")).toString() == QLatin1String("gathered");
        };
        QTRY_VERIFY_WITH_TIMEOUT(settled(), 15000);
        QVERIFY(!udp.hasPendingDatagrams() && !udp.waitForReadyRead(300));
        QVERIFY(!tcp.hasPendingConnections() && !tcp.waitForNewConnection(300));
        QCOMPARE(evaluate(form().web1, QStringLiteral("state")).toString(), QStringLiteral("gathered"));
    }

    void aPageShowsThreeBoxesAndTheRestAreAnsweredUnseen_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("answers");
        QTest::newRow("alert") << QStringLiteral("alert('第' + i + '个')") << QString()
                               << QStringLiteral("undefined,undefined,undefined,undefined,undefined");
        QTest::newRow("confirm") << QStringLiteral("confirm('第' + i + '个')") << QString()
                                 << QStringLiteral("true,true,true,false,false");
        QTest::newRow("prompt") << QStringLiteral("prompt('第' + i + '个', '默认')") << QStringLiteral("输入")
                                << QStringLiteral("输入,输入,输入,null,null");
    }

    void aPageShowsThreeBoxesAndTheRestAreAnsweredUnseen()
    {
        QFETCH(QString, call);
        QFETCH(QString, typed);
        QFETCH(QString, answers);
        openScript(QStringLiteral("多行"));
        const QString code
            = QStringLiteral("<script>\r\nvar answers = [];\r\n"
                             "for (var i = 1; i <= 5; ++i) answers.push(String(%1));\r\n</script>")
                  .arg(call);
        // Every preview gives the page its boxes anew.
        for (int round = 0; round < 2; ++round) {
            const Answer ok {QStringLiteral("确定"), typed};
            ModalAnswerer answerer({ok, ok, ok});
            QVERIFY(quickPreview(code));
            QVERIFY(answerer.done());
            QCOMPARE(evaluate(form().web1, QStringLiteral("answers.join()")).toString(), answers);
            QCOMPARE(answerer.seen().first().text, QStringLiteral("第1个"));
            for (const SeenBox& box : answerer.seen())
                QCOMPARE(box.title, QStringLiteral("网页消息 - 多行"));
            QCOMPARE(form().web1->noticeText(),
                QStringLiteral("页面已弹出 3 个对话框，此后它的对话框不再显示，直到下次预览。"));
            QVERIFY(!QApplication::activeModalWidget());
        }
    }

    void anEndlessRowOfBoxesLeavesTheWindowClosable()
    {
        openScript(QStringLiteral("多行"));
        const QString code = QStringLiteral("<script>for (;;) alert(1)</script>");
        focus(form().DBMemo2);
        press(QKeyCombination(Qt::ControlModifier, Qt::Key_A));
        type(form().DBMemo2, code);
        const Answer ok {QStringLiteral("确定")};
        ModalAnswerer boxes({ok, ok, ok});
        press(Qt::Key_F11);
        QTRY_VERIFY_WITH_TIMEOUT(boxes.done(), 20000);
        QTRY_VERIFY(!form().web1->noticeText().isEmpty());
        QVERIFY(!QApplication::activeModalWidget());

        // Closed as the window system closes it, which a shown box would refuse; the typed code
        // is asked about and kept.
        ModalAnswerer save({{QStringLiteral("保存")}});
        form().windowHandle()->close();
        QTRY_VERIFY(save.done());
        QCOMPARE(save.seen().first().text, QStringLiteral("当前脚本的修改还没有保存，要保存吗?"));
        QTRY_VERIFY(!form().isVisible());
        QCOMPARE(m_library->value(QStringLiteral("select cjs_text from tjs where cjs_name = '多行'")), code);
    }

    void aPageThatEatsMemoryIsEnded_data()
    {
        QTest::addColumn<QString>("chunk");
        QTest::addColumn<QString>("notice");
        // 8 MB a chunk, touched, up to 2 GB: far past any limit, yet bounded.
        QTest::newRow("ordinary arrays")
            << QStringLiteral("new Array(1 << 20).fill(n + 0.5)") << QStringLiteral("预览页面已终止：");
        // Outside the script heap: only the watch on the whole process stops them.
        QTest::newRow("typed arrays") << QStringLiteral("new Float64Array(1 << 20).fill(n + 0.5)")
                                      << QStringLiteral("预览页面已终止：页面占用的内存超过了 512 MB");
        // Kept on the program's side of the engine: its growth ends the page that made it.
        QTest::newRow("blobs") << QStringLiteral("new Blob([new Float64Array(1 << 20).fill(n + 0.5)])")
                               << QStringLiteral("预览页面已终止：页面占用的内存超过了 512 MB");
    }

    void aPageThatEatsMemoryIsEnded()
    {
        QFETCH(QString, chunk);
        QFETCH(QString, notice);
        openScript(QStringLiteral("多行"));
        QVERIFY(quickPreview(eaterPage(chunk)));
        const QString typed = form().DBMemo2->text();
        QTRY_VERIFY_WITH_TIMEOUT(form().web1->noticeText().startsWith(notice), 30000);
        QCOMPARE(form().DBMemo2->text(), typed);
        QCOMPARE(form().PageControl1->currentIndex(), 1);

        // The next preview starts a fresh page that runs.
        QVERIFY(quickPreview(kUtf8Page));
        QCOMPARE(evaluate(form().web1, QStringLiteral("document.getElementById('t').textContent")).toString(),
            QStringLiteral("没有声明字符集的页面（脚本已运行）"));
        QCOMPARE(form().web1->noticeText(), QString());
    }

    void aSwitchThatRunsPagesInTheProgramIsRefused()
    {
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
            environment.value(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"))
                + QStringLiteral(" --single-process"));
        probe.setProcessEnvironment(environment);
        probe.start(QCoreApplication::applicationFilePath(), {QLatin1String(kInProcessProbe)});
        QVERIFY(probe.waitForFinished(120000));
        const QString said = QString::fromUtf8(probe.readAllStandardOutput());
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 0);
        QVERIFY2(said.contains(QStringLiteral("已忽略启动参数 --single-process")), qPrintable(said));
        QVERIFY2(
            said.contains(QStringLiteral("预览页面已终止：页面占用的内存超过了 512 MB")), qPrintable(said));
    }

    void aBoxOfAPageLeftBehindLosesNothing_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("whileAsked");
        // The page is busy when F11 comes, and shows its box while it is asked whether it still
        // answers: it is replaced by a fresh page.
        QTest::newRow("alert while asked") << QStringLiteral("alert('旧页面')") << true;
        QTest::newRow("confirm while asked") << QStringLiteral("confirm('旧页面')") << true;
        QTest::newRow("prompt while asked") << QStringLiteral("prompt('旧页面', '')") << true;
        // The box is up when F11 comes.
        QTest::newRow("alert already up") << QStringLiteral("alert('旧页面')") << false;
    }

    void aBoxOfAPageLeftBehindLosesNothing()
    {
        QFETCH(QString, call);
        QFETCH(bool, whileAsked);
        openScript(QStringLiteral("多行"));
        // Busy until it shows the box, so that it cannot answer the question asked before the next
        // page loads; or showing its box at once, before the next F11.
        const QString busy = QStringLiteral(
            "<p>busy</p><script>onkeyup = function () { var t = Date.now(); while (Date.now() - t < 300); "
            "%1; };</script>");
        const QString shown = QStringLiteral("<script>setTimeout(function () { %1; }, 0);</script>");
        const QString typed = QStringLiteral("<p id=\"t\">新页面</p>");
        if (whileAsked)
            QVERIFY(quickPreview(busy.arg(call)));
        else
            form().DBMemo2->setPlainText(shown.arg(call));

        QPointer<QWidget> oldBox;
        bool boxShown = false;
        bool closedByItself = false;
        // The page's box may open before a wait of the test's returns: the watch runs inside it.
        QElapsedTimer open;
        QTimer watch;
        watch.setInterval(10);
        connect(&watch, &QTimer::timeout, this, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!boxShown && box && box->isVisible()) {
                boxShown = true;
                oldBox = box;
                open.start();
                if (!whileAsked) {
                    // What the user typed in the code before the next F11.
                    form().DBMemo2->setPlainText(typed);
                    windowPart<QAction>(form(), QStringLiteral("N14")).trigger();
                }
            } else if (boxShown && (!oldBox || !oldBox->isVisible())) {
                closedByItself = true;
                watch.stop();
            } else if (boxShown && open.elapsed() > 5000) {
                // Left open: answered as the user would.
                watch.stop();
                QTest::keyClick(oldBox, Qt::Key_Return);
            }
        });
        watch.start();
        if (whileAsked) {
            form().DBMemo2->setPlainText(typed);
            // F11 in the page: the key goes to the window's command, its release to the page.
            focus(form().web1);
            QWidget* page = QApplication::focusWidget();
            QTest::keyPress(page, Qt::Key_F11);
            QTest::keyRelease(page, Qt::Key_F11);
        } else {
            focus(form().Treeclass);
            press(Qt::Key_F11);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!watch.isActive(), 20000);
        // Closed with its page, as a rule; a box the old page shows after the next address has
        // started loading stays until it is answered, which is then harmless.
        if (!closedByItself)
            qInfo("the old page's box was answered by hand");
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(form().DBMemo2->text(), typed);
        QTRY_COMPARE(
            evaluate(form().web1, QStringLiteral("document.getElementById('t').textContent")).toString(),
            QStringLiteral("新页面"));
    }

    void keysTypedInAPageAreThePages()
    {
        openScript(QStringLiteral("多行"));
        QVERIFY(quickPreview(QStringLiteral("<input id=\"f\">")));
        focus(form().web1);
        QCOMPARE(evaluate(form().web1, QStringLiteral("document.getElementById('f').focus(); 1")).toInt(), 1);
        QWidget* page = QApplication::focusWidget();
        QVERIFY(form().web1->isAncestorOf(page));
        const auto field = [this] {
            return evaluate(form().web1, QStringLiteral("document.getElementById('f').value")).toString();
        };
        // Whatever box a command would have shown is closed unanswered, and remembered.
        ModalAnswerer commands(
            {{QStringLiteral("取消")}, {QStringLiteral("取消")}, {QStringLiteral("取消")}});
        const QString categories = Shown::categoryNames(form()).join(QLatin1Char(','));
        for (const char key : {'D', 'A', 'M', 'I'})
            QTest::keyClick(page, key, Qt::ShiftModifier);
        QTRY_COMPARE(field(), QStringLiteral("DAMI"));
        QTest::keyClick(page, Qt::Key_Left);
        QTest::keyClick(page, Qt::Key_Delete);
        QTRY_COMPARE(field(), QStringLiteral("DAM"));
        QTest::keyClick(page, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(page, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(page, Qt::Key_End);
        QTest::keyClick(page, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(field(), QStringLiteral("DAMDAM"));
        QTest::keyClick(page, Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE(field(), QStringLiteral("DAM"));
        QVERIFY(commands.seen().isEmpty());
        QCOMPARE(Shown::categoryNames(form()).join(QLatin1Char(',')), categories);
        // A key that cannot be typed is still the window's.
        QTest::keyClick(page, Qt::Key_Tab, Qt::ControlModifier);
        QTRY_COMPARE(form().PageControl1->currentIndex(), 0);
    }

    void aPageOpensNoFileChooser_data()
    {
        QTest::addColumn<QString>("choose");
        QTest::newRow("file field") << QStringLiteral(
            "var f = document.createElement('input'); f.type = 'file'; "
            "f.click(); f.click(); outcome = 'asked';");
        QTest::newRow("folder field")
            << QStringLiteral("var f = document.createElement('input'); f.type = 'file'; "
                              "f.webkitdirectory = true; f.click(); outcome = 'asked';");
        QTest::newRow("save picker") << QStringLiteral(
            "if (!window.showSaveFilePicker) outcome = 'no picker'; else "
            "showSaveFilePicker().then(function () { outcome = 'picked'; }, "
            "function () { outcome = 'refused'; });");
        QTest::newRow("folder picker")
            << QStringLiteral("if (!window.showDirectoryPicker) outcome = 'no picker'; else "
                              "showDirectoryPicker().then(function () { outcome = 'picked'; }, "
                              "function () { outcome = 'refused'; });");
    }

    void aPageOpensNoFileChooser()
    {
        QFETCH(QString, choose);
        openScript(QStringLiteral("多行"));
        // Choosers need the user's hand on the page: a key pressed in it.
        QVERIFY(quickPreview(
            QStringLiteral("<script>var outcome = '';\r\ndocument.onkeydown = function () { %1 };</script>")
                .arg(choose)));
        focus(form().web1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
        QTRY_VERIFY(!evaluate(form().web1, QStringLiteral("outcome")).toString().isEmpty());
        QVERIFY(evaluate(form().web1, QStringLiteral("outcome")).toString() != QLatin1String("picked"));
        // Once the page answers again, a chooser would have been asked for.
        QCOMPARE(evaluate(form().web1, QStringLiteral("1")).toInt(), 1);
        QVERIFY(!QApplication::activeModalWidget());
        const auto windows = QApplication::topLevelWidgets();
        for (const QWidget* window : windows)
            QVERIFY2(window == &form() || !window->isVisible(), qPrintable(window->windowTitle()));
    }

    void storageWithoutBoundIsOutOfReach()
    {
        // Every frame, the page's own and the ones it makes.
        QVERIFY(quickPreview(QStringLiteral("<iframe id=\"f\" srcdoc=\"<p>frame</p>\"></iframe>")));
        const QString probe = QStringLiteral(
            "[w.indexedDB, w.caches, w.openDatabase, w.showSaveFilePicker, w.navigator.storage]"
            ".map(function (v) { return typeof v; }).join()");
        const QString absent = QStringLiteral("undefined,undefined,undefined,undefined,undefined");
        QCOMPARE(evaluate(form().web1, QStringLiteral("var w = window; ") + probe).toString(), absent);
        QTRY_COMPARE(evaluate(form().web1,
                         QStringLiteral("var w = document.getElementById('f').contentWindow; ") + probe)
                         .toString(),
            absent);
    }

    void workersReachNoStorage_data()
    {
        QTest::addColumn<QString>("start");
        QTest::newRow("dedicated, from a blob")
            << QStringLiteral("new Worker(URL.createObjectURL(new Blob([probe]))).onmessage = function (e) { "
                              "seen = e.data; };");
        QTest::newRow("dedicated, from a data address")
            << QStringLiteral("new Worker('data:text/javascript,' + encodeURIComponent(probe)).onmessage = "
                              "function (e) { seen = e.data; };");
        QTest::newRow("shared") << QStringLiteral(
            "var w = new SharedWorker(URL.createObjectURL(new Blob(['onconnect = function (c) "
            "{ var port = c.ports[0]; ' + probe.replace('postMessage', 'port.postMessage') + "
            "' };']))); w.port.onmessage = function (e) { seen = e.data; };");
        QTest::newRow("service") << QStringLiteral(
            "navigator.serviceWorker.register('sw.js').then(function () { seen = 'registered'; });");
    }

    // Storage a page could fill without end is gone from workers too: either a worker cannot start
    // at all, or it finds no such storage.
    void workersReachNoStorage()
    {
        QFETCH(QString, start);
        QVERIFY(quickPreview(
            QStringLiteral("<script>var seen = 'not started';\r\n"
                           "var probe = \"postMessage([typeof indexedDB, typeof caches].join())\";\r\n"
                           "try { %1 } catch (e) { seen = 'refused'; }\r\n</script>")
                .arg(start)));
        // A worker that starts answers within this; one that cannot start says nothing.
        QString seen;
        const bool answered = QTest::qWaitFor(
            [&] {
                seen = evaluate(form().web1, QStringLiteral("seen")).toString();
                return seen != QLatin1String("not started");
            },
            3000);
        Q_UNUSED(answered);
        QVERIFY2(seen == QLatin1String("refused") || seen == QLatin1String("not started")
                || seen == QLatin1String("undefined,undefined"),
            qPrintable(seen));
    }

    void aPageMayLoadItsOwnFileAgain_data()
    {
        QTest::addColumn<QString>("again");
        QTest::addColumn<QString>("query");
        QTest::newRow("location.reload()") << QStringLiteral("location.reload();") << QString();
        QTest::newRow("history.go(0)") << QStringLiteral("history.go(0);") << QString();
        QTest::newRow("refresh") << QStringLiteral(
            "var m = document.createElement('meta'); m.httpEquiv = "
            "'refresh'; m.content = '0'; document.head.appendChild(m);")
                                 << QString();
        QTest::newRow("link to itself") << QStringLiteral("var a = document.createElement('a'); a.href = ''; "
                                                          "document.body.appendChild(a); a.click();")
                                        << QString();
        QTest::newRow("form sent to itself")
            << QStringLiteral("var f = document.createElement('form'); f.innerHTML = '<input name=q "
                              "value=1>'; document.body.appendChild(f); f.submit();")
            << QStringLiteral("?q=1");
    }

    void aPageMayLoadItsOwnFileAgain()
    {
        QFETCH(QString, again);
        QFETCH(QString, query);
        openScript(QStringLiteral("多行"));
        QSignalSpy failed(form().web1, &PageView::navigationFailed);
        ModalAnswerer errors({{QStringLiteral("OK")}});
        // The page's own move is refused, and made by the program: the load it cut short fails.
        quickPreview(QStringLiteral("<body><script>var n = Number(sessionStorage.n || 0) + 1;\r\n"
                                    "sessionStorage.n = n;\r\n"
                                    "onload = function () { if (n < 2) { %1 } };</script></body>")
                         .arg(again));
        QTRY_COMPARE(evaluate(form().web1, QStringLiteral("n")).toInt(), 2);
        QCOMPARE(evaluate(form().web1, QStringLiteral("location.search")).toString(), query);
        QCOMPARE(
            evaluate(form().web1, QStringLiteral("location.protocol")).toString(), QStringLiteral("file:"));
        QVERIFY(failed.isEmpty());
        QVERIFY(errors.seen().isEmpty());
    }

    void anotherAddressStaysRefused()
    {
        quickPreview(QStringLiteral("<p>x</p><script>var a = document.createElement('a'); "
                                    "a.href = 'other.htm'; document.body.appendChild(a); "
                                    "var clicked = false; onload = function () { a.click(); "
                                    "clicked = true; };</script>"));
        QTRY_VERIFY(evaluate(form().web1, QStringLiteral("clicked")).toBool());
        QCOMPARE(evaluate(form().web1, QStringLiteral("location.pathname.split('/').pop()")).toString(),
            QStringLiteral("temp.htm"));
    }

    void theWindowKeepsItsNativeWindowStateAndPlaceAtTheFirstPreview_data()
    {
        QTest::addColumn<bool>("maximized");
        QTest::newRow("maximized") << true;
        QTest::newRow("normal") << false;
    }

    // The engine's view composes through OpenGL; a window not made for that would be made again
    // under the user's eyes, and a window manager would show it anew, un-maximized.
    void theWindowKeepsItsNativeWindowStateAndPlaceAtTheFirstPreview()
    {
        QFETCH(bool, maximized);
        const WindowManager manager;
        restartWith({QStringLiteral("文字特效")}, {});
        const QRect normal(40, 50, 700, 500);
        form().setGeometry(normal);
        if (maximized)
            form().showMaximized();
        QTRY_COMPARE(form().isMaximized(), maximized);
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        // A window manager places a maximized window a while after it was shown; without one,
        // the window stays where it was.
        const bool placed = QTest::qWaitFor([&] { return form().geometry() != normal; }, 2000);
        Q_UNUSED(placed);
        const QRect shown = form().geometry();
        const WId native = form().winId();
        const QPointer<QWindow> handle = form().windowHandle();
        QVERIFY(quickPreview(QStringLiteral("<p>first frame</p>")));
        QTRY_VERIFY(composesThePage(form().web1));
        letPendingEventsRun();
        QVERIFY(handle);
        QCOMPARE(form().windowHandle(), handle.data());
        QCOMPARE(form().winId(), native);
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        QCOMPARE(form().isMaximized(), maximized);
        QCOMPARE(form().geometry(), shown);
    }

    void theLeaveQuestionIsChineseAndNamesThePageLeft_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("leaves");
        QTest::newRow("leave") << QStringLiteral("确定") << true;
        QTest::newRow("stay") << QStringLiteral("取消") << false;
    }

    void theLeaveQuestionIsChineseAndNamesThePageLeft()
    {
        QFETCH(QString, button);
        QFETCH(bool, leaves);
        openScript(QStringLiteral("国标页"));
        QVERIFY(quickPreview(QStringLiteral("<p id=\"t\">旧页面</p><script>onbeforeunload = function (e) "
                                            "{ e.preventDefault(); e.returnValue = ''; };</script>")));
        // A page is asked before it is left only once the user has done something in it.
        focus(form().web1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
        QTRY_VERIFY(evaluate(form().web1, QStringLiteral("navigator.userActivation.hasBeenActive")).toBool());
        ModalAnswerer answerer({{button}});
        // Another script's page is not run unasked: the page shown is left for an empty one.
        openScript(QStringLiteral("无声明页"));
        QTRY_VERIFY(answerer.done());
        const SeenBox& box = answerer.seen().first();
        QCOMPARE(box.title, QStringLiteral("网页消息 - 国标页"));
        QCOMPARE(box.text, QStringLiteral("确实要离开此页面吗？页面上所做的更改可能不会保留。"));
        QCOMPARE(box.buttons, QStringList({QStringLiteral("确定"), QStringLiteral("取消")}));
        QCOMPARE(box.escapeButton, QStringLiteral("取消"));
        if (leaves) {
            QTRY_COMPARE(evaluate(form().web1, QStringLiteral("location.href")).toString(),
                QStringLiteral("about:blank"));
        } else {
            letPendingEventsRun();
            QCOMPARE(
                evaluate(form().web1, QStringLiteral("document.getElementById('t').textContent")).toString(),
                QStringLiteral("旧页面"));
        }
    }

    // Its own reload, or the user's next script: neither waits on a question that cannot be shown.
    void aPageWithNoBoxesLeftIsLeftUnasked_data()
    {
        QTest::addColumn<bool>("leftByThePage");
        QTest::newRow("the page reloads itself") << true;
        QTest::newRow("the user opens another script") << false;
    }

    void aPageWithNoBoxesLeftIsLeftUnasked()
    {
        QFETCH(bool, leftByThePage);
        openScript(QStringLiteral("国标页"));
        const Answer ok {QStringLiteral("确定")};
        ModalAnswerer boxes({ok, ok, ok});
        QVERIFY(quickPreview(QStringLiteral(
            "<p id=\"t\">旧页面</p><script>if (!location.search) { for (var i = 0; i < 4; ++i) alert(i); "
            "onbeforeunload = function (e) { e.preventDefault(); e.returnValue = ''; }; "
            "onkeyup = function () { location.search = '?again'; }; }</script>")));
        QVERIFY(boxes.done());
        focus(form().web1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
        if (leftByThePage) {
            QTRY_COMPARE(evaluate(form().web1, QStringLiteral("location.search")).toString(),
                QStringLiteral("?again"));
        } else {
            QTRY_VERIFY(
                evaluate(form().web1, QStringLiteral("navigator.userActivation.hasBeenActive")).toBool());
            openScript(QStringLiteral("无声明页"));
            QTRY_COMPARE(evaluate(form().web1, QStringLiteral("location.href")).toString(),
                QStringLiteral("about:blank"));
        }
        QCOMPARE(boxes.seen().size(), 3);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void anotherScriptIsNeverShownUnderThisOnesName()
    {
        openScript(QStringLiteral("国标页"));
        turnTo(1);
        QCOMPARE(scriptPanel(), QStringLiteral("预览:国标页"));
        openScript(QStringLiteral("多行"));
        // The new script's page is not run unasked: the code is shown.
        QCOMPARE(form().PageControl1->currentIndex(), 0);
        QCOMPARE(scriptPanel(), QStringLiteral("多行"));
        QCOMPARE(form().web1->address(), QUrl(QStringLiteral("about:blank")));
        // Saving the script shown, or choosing it again, leaves its page in view.
        turnTo(1);
        openScript(QStringLiteral("多行"));
        QCOMPARE(form().PageControl1->currentIndex(), 1);
    }

    void programsStartedLaterGetTheUsersEnvironment()
    {
        const QProcessEnvironment before = QProcessEnvironment::systemEnvironment();
        QVERIFY(quickPreview(kUtf8Page));
        const QProcessEnvironment after = QProcessEnvironment::systemEnvironment();
        for (const QString& name :
            {QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX")}) {
            QCOMPARE(after.contains(name), before.contains(name));
            QCOMPARE(after.value(name), before.value(name));
        }
    }

    void boxesFitTheScreenAndShowTheName_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("message");
        QTest::newRow("long name") << kLongName << QStringLiteral("'hi'");
        QTest::newRow("200,000 lines")
            << QStringLiteral("多行") << QStringLiteral("new Array(200000).join('行\\n')");
        QTest::newRow("one long line")
            << QStringLiteral("多行") << QStringLiteral("new Array(100000).join('字')");
    }

    void boxesFitTheScreenAndShowTheName()
    {
        QFETCH(QString, script);
        QFETCH(QString, message);
        openScript(script);
        form().showMaximized();
        QRect box;
        QRect okButton;
        int titleWidth = 0;
        const QString caption = QStringLiteral("网页消息 - %1").arg(script);
        ModalAnswerer answerer({{QStringLiteral("确定"), {}, 0, [&](QWidget* shown) {
                                     box = shown->frameGeometry();
                                     for (auto* button : shown->findChildren<QPushButton*>())
                                         okButton = QRect(button->mapToGlobal(QPoint(0, 0)), button->size());
                                     QFont bold = shown->font();
                                     bold.setBold(true);
                                     titleWidth = QFontMetrics(bold).horizontalAdvance(caption);
                                 }}});
        QVERIFY(quickPreview(QStringLiteral("<script>alert(%1)</script>").arg(message)));
        QTRY_VERIFY(answerer.done());
        const QRect screen = form().screen()->availableGeometry();
        QVERIFY2(
            screen.contains(box), qPrintable(QStringLiteral("%1 %2").arg(box.height()).arg(box.width())));
        QVERIFY(screen.contains(okButton));
        QVERIFY(box.width() > titleWidth);
    }
};

int main(int argc, char** argv)
{
    if (argc == 2 && qstrcmp(argv[1], kInProcessProbe) == 0)
        return previewAPageThatEatsMemory(argc, argv);
    // The display has no GPU.
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    QApplication app(argc, argv);
    TestPreview test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_preview.moc"
