// Unsaved work survives the end of the program, seen from outside: the real program is started
// as a child on the test's display with home folders of its own, typed into through the X server
// (xdotool; the texts are pasted from this process's clipboard), killed or sent a signal, and
// started again.

#include "dbctrls/dbedit.h"
#include "dbctrls/dbmemo.h"
#include "main/form1.h"
#include "main/sessionsettings.h"
#include "main/unsavedwork.h"
#include "store/database.h"
#include "store/recoveryjournal.h"
#include "support/filecontents.h"
#include "support/libraryfixture.h"
#include "support/ordinaryuser.h"

#include <QClipboard>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <optional>
#include <unistd.h>

namespace {
const QString kScript = QStringLiteral("打字机");
const QString kMainWindowName = QStringLiteral("^Feylume2\\.5$");
const QString kConfirmName = QStringLiteral("^Confirm$");
const QString kMessageName = QStringLiteral("^FeylumeV2\\.5$");
const QString kAnyName = QStringLiteral(".");
// The window's size as the tests remember it, as xdotool shows a geometry.
const QRect kWindowFrame(0, 0, 1000, 700);
const QString kWindowSize = QStringLiteral("1000x700");
// The code of the script the tests edit: a lone CR among ordinary line ends, kept as stored.
const QString kStoredCode = QStringLiteral("<p>第一行</p>\r<p>第二行</p>\r\n<p>😀</p>\n");
constexpr int kWaitMs = 30000;
// Longer than the program waits after the last key before it writes the journal.
constexpr int kRepeatAfterMs = 4000;

// Runs xdotool on the display the environment names.
QString xdotool(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("xdotool"), arguments);
    process.waitForFinished(kWaitMs);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

QString text2MB()
{
    QString text;
    const QString line = QStringLiteral("<div>雪花飘落 ❄ 第%1行 😀</div>\r\n");
    for (int i = 0; text.size() < 1024 * 1024; ++i)
        text += line.arg(i);
    // About 2 MB as UTF-8.
    return text;
}

QString scriptValue(const QString& library, const QString& column)
{
    Database db;
    db.open(library, Database::OpenMode::ExistingOnly);
    Statement query(db, QStringLiteral("SELECT %1 FROM tjs WHERE cjs_name = ?").arg(column));
    query.bind(1, kScript);
    return query.step() ? query.value(0).toString() : QStringLiteral("<no row>");
}

// An installed program's tree and a user's home, inside a folder of the build (so that the
// program can be linked there rather than copied).
class Home
{
public:
    Home()
        : m_root(QStringLiteral(FEYLUME_BUILD_DIR "/recovery-test-XXXXXX"))
    {
        QDir().mkpath(binDir());
        const QString program = binDir() + QStringLiteral("feylume");
        if (::link(FEYLUME_PROGRAM, QFile::encodeName(program).constData()) != 0)
            QFile::copy(QStringLiteral(FEYLUME_PROGRAM), program);
        QDir().mkpath(dataDir());
        QDir().mkpath(configDir());
    }

    QString binDir() const { return m_root.path() + QStringLiteral("/usr/bin/"); }
    QString dataDir() const { return m_root.path() + QStringLiteral("/home/.local/share/feylume/"); }
    QString configDir() const { return m_root.path() + QStringLiteral("/home/.config/feylume/"); }
    QString library() const { return dataDir() + QStringLiteral("qvlb.db"); }
    QString journal() const { return dataDir() + QStringLiteral("qvlb.recovery"); }
    QString settingsJournal() const { return configDir() + QStringLiteral("qvlb.recovery"); }
    QString settings() const { return configDir() + QStringLiteral("feylume.conf"); }
    QStringList putAside() const
    {
        return QDir(dataDir() + QStringLiteral("backups"))
            .entryList({QStringLiteral("*.recovery")}, QDir::Files);
    }
    UserFolders user() const
    {
        return {m_root.path() + QStringLiteral("/home/.local/share"),
            m_root.path() + QStringLiteral("/home/.config")};
    }
    AppPlaces places() const { return AppPlaces::forProgram(binDir(), user()); }

    // A small library whose script holds kStoredCode, and the window where the tests expect it,
    // that script open.
    void prepare(const LibraryFixture& source)
    {
        QVERIFY(QFile::copy(source.libraryPath(), library()));
        SessionSettings remembered(settings());
        remembered.setRect(QStringLiteral("window/geometry"), kWindowFrame);
        remembered.setFlag(QStringLiteral("window/maximized"), false);
        remembered.setText(QStringLiteral("tree/openScript"), kScript);
        remembered.save();
    }

    // Root writes to any folder whatever its mode: the program of a case about permissions runs
    // under an ordinary user's id, owning the home (and its own copy of the program and of the
    // display's key). False when that cannot be done here.
    bool handToOrdinaryUser()
    {
        m_runAs = ordinaryUserCommand();
        if (m_runAs.isEmpty())
            return false;
        const QString program = binDir() + QStringLiteral("feylume");
        QFile::remove(program);
        if (!QFile::copy(QStringLiteral(FEYLUME_PROGRAM), program))
            return false;
        if (const QString key = qEnvironmentVariable("XAUTHORITY"); !key.isEmpty()) {
            m_displayKey = m_root.path() + QStringLiteral("/Xauthority");
            QFile::copy(key, m_displayKey);
        }
        QFile::setPermissions(m_root.path(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        QDirIterator it(m_root.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
            QDirIterator::Subdirectories);
        bool owned
            = ::chown(QFile::encodeName(m_root.path()).constData(), kOrdinaryUserId, kOrdinaryUserId) == 0;
        while (it.hasNext())
            owned = ::chown(QFile::encodeName(it.next()).constData(), kOrdinaryUserId, kOrdinaryUserId) == 0
                && owned;
        return owned;
    }
    // The command the program is started with: itself, or under the ordinary user's id.
    QStringList command() const { return m_runAs + QStringList {binDir() + QStringLiteral("feylume")}; }

    // The program runs on this display (":1", say) rather than on the test's.
    void useDisplay(const QString& display) { m_display = display; }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!m_display.isEmpty()) {
            env.insert(QStringLiteral("DISPLAY"), m_display);
            env.remove(QStringLiteral("XAUTHORITY"));
        } else if (!m_displayKey.isEmpty()) {
            env.insert(QStringLiteral("XAUTHORITY"), m_displayKey);
        }
        env.insert(QStringLiteral("HOME"), m_root.path() + QStringLiteral("/home"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), user().dataHome);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), user().configHome);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return env;
    }

private:
    QTemporaryDir m_root;
    QStringList m_runAs;
    QString m_displayKey;
    QString m_display;
};

// Whether the journal at path holds this field value.
bool journalHolds(const QString& path, const QString& column, const QString& value)
{
    const RecoveryJournal::ReadResult read = RecoveryJournal::read(path);
    return read.status == RecoveryJournal::ReadResult::Status::Sound
        && read.record.field(column).toString() == value;
}

// Does what a user does until its effect shows, serving the clipboard meanwhile. A window that
// has just appeared may not take input yet (the splash's loop can still be running), and from
// outside only the effect tells; each action is one the user could repeat harmlessly.
bool repeatUntil(const std::function<void()>& action, const std::function<bool()>& done)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kWaitMs) {
        action();
        if (QTest::qWaitFor(done, kRepeatAfterMs))
            return true;
    }
    return false;
}
// One run of the program.
class Run
{
public:
    explicit Run(const Home& home)
        : m_environment(home.environment())
    {
        m_process.setProcessEnvironment(m_environment);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        QStringList command = home.command();
        m_process.start(command.takeFirst(), command);
    }
    ~Run()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kWaitMs);
        }
    }

    qint64 pid() const { return m_process.processId(); }

    // The visible windows of the program with a name matching the pattern.
    QStringList windowsOf(const QString& name) const
    {
        return xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                           QStringLiteral("--pid"), QString::number(pid()), QStringLiteral("--name"), name},
            m_environment)
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Waits for the main window and gives it the keyboard. The splash bears the same caption;
    // the main window is the one at the size the settings give it.
    bool waitForMainWindow()
    {
        if (!QTest::qWaitFor(
                [&] {
                    m_window.clear();
                    for (const QString& window : windowsOf(kMainWindowName)) {
                        if (xdotool({QStringLiteral("getwindowgeometry"), window}, m_environment)
                                .contains(kWindowSize))
                            m_window = window;
                    }
                    return (!m_window.isEmpty() && windowsOf(kAnyName).size() == 1)
                        || m_process.state() == QProcess::NotRunning;
                },
                kWaitMs)
            || m_window.isEmpty()) {
            qWarning("no main window on %s; the program %s",
                qPrintable(m_environment.value(QStringLiteral("DISPLAY"))),
                m_process.state() == QProcess::NotRunning ? "ended" : "runs");
            return false;
        }
        focus(m_window);
        return true;
    }

    // Waits for a box whose caption matches, gives it the keyboard and returns its window. Boxes
    // come up in front of the main window; the splash, which bears the boxes' caption, has gone
    // by then.
    QString waitForBox(const QString& caption) const
    {
        QString box;
        const bool found = QTest::qWaitFor(
            [&] {
                if (windowsOf(kMainWindowName).isEmpty())
                    return false;
                const QStringList windows = windowsOf(caption);
                if (!windows.isEmpty())
                    box = windows.first();
                return !box.isEmpty();
            },
            kWaitMs);
        if (found)
            focus(box);
        return box;
    }

    // Waits for a box whose caption matches and presses Enter in it until no such box is left:
    // the key goes to the box each time, never to the window behind it.
    bool answerBox(const QString& caption) const
    {
        return !waitForBox(caption).isEmpty()
            && repeatUntil(
                [&] {
                    for (const QString& box : windowsOf(caption)) {
                        focus(box);
                        keys(QStringLiteral("Return"));
                    }
                },
                [&] { return windowsOf(caption).isEmpty(); });
    }

    void focus(const QString& window) const
    {
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}, m_environment);
    }
    void focusMainWindow() const { focus(m_window); }
    void pressInMainWindow(const QString& key) const
    {
        focusMainWindow();
        keys(key);
    }

    // Clicks at a point of the main window given in its own coordinates.
    void click(const QPoint& at) const
    {
        xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), m_window, QString::number(at.x()),
                    QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")},
            m_environment);
    }

    void keys(const QString& keys) const
    {
        xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys}, m_environment);
    }

    // Replaces the focused box's text with this text, through the clipboard (of the test's
    // display).
    void paste(const QString& text) const
    {
        QGuiApplication::clipboard()->setText(text);
        keys(QStringLiteral("ctrl+a"));
        keys(QStringLiteral("ctrl+v"));
    }

    // Clicks into a box of the main window and pastes the text there, until done() says it
    // arrived.
    bool typeInto(const QPoint& at, const QString& text, const std::function<bool()>& done) const
    {
        return repeatUntil(
            [&] {
                focusMainWindow();
                click(at);
                paste(text);
            },
            done);
    }

    // Clicks into a box of the main window and types the text there, key by key, without waiting
    // for it to arrive.
    void typeAt(const QPoint& at, const QString& text) const
    {
        focusMainWindow();
        click(at);
        xdotool({QStringLiteral("type"), text}, m_environment);
    }

    // Sends the signal, as a crash or the system would.
    void sendSignal(int signal) { ::kill(pid_t(pid()), signal); }
    // Waits for the program to end; whether it crashed, or nothing when it did not end.
    std::optional<bool> waitForEndCrashed()
    {
        if (!m_process.waitForFinished(kWaitMs))
            return std::nullopt;
        return m_process.exitStatus() == QProcess::CrashExit;
    }

    void killHard()
    {
        m_process.kill();
        m_process.waitForFinished(kWaitMs);
    }

    // SIGTERM; the exit status, or -1 when the program did not end by itself.
    int terminate()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(kWaitMs) || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_process.exitCode();
    }

private:
    QProcessEnvironment m_environment;
    QProcess m_process;
    QString m_window;
};

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private:
    LibraryFixture m_source;
    // Where the code editor and the author box lie in the main window, as placed by the window
    // itself at the size the tests give it.
    QPoint m_codeAt;
    QPoint m_authorAt;

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is needed to type into the program");
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("The program is typed into through an X server");
        m_source.create({QStringLiteral("文字特效")},
            {{kScript, QStringLiteral("文字特效"), QStringLiteral("林一"), QStringLiteral("简介"),
                kStoredCode}});
        Home home;
        home.prepare(m_source);
        TForm1 window(home.places());
        window.setGeometry(kWindowFrame);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        m_codeAt = window.DBMemo2->mapTo(&window, window.DBMemo2->rect().center());
        m_authorAt = window.DBEdit3->mapTo(&window, window.DBEdit3->rect().center());
    }

    void killedRunsWorkComesBack_data()
    {
        QTest::addColumn<bool>("intoCode");
        QTest::addColumn<QString>("typed");
        QTest::newRow("Chinese") << true << QStringLiteral("<p>飘落的雪花</p>\r\n<p>第二行</p>");
        QTest::newRow("emoji") << true << QStringLiteral("😀 笑脸 👍");
        QTest::newRow("2 MB") << true << text2MB();
        // The code keeps its lone CR untouched while another field is edited.
        QTest::newRow("lone CR in the stored code") << false << QStringLiteral("作者😀");
    }

    void killedRunsWorkComesBack()
    {
        QFETCH(bool, intoCode);
        QFETCH(QString, typed);
        Home home;
        home.prepare(m_source);
        const QString column = intoCode ? QStringLiteral("cjs_text") : QStringLiteral("cjs_zzm");
        {
            Run run(home);
            QVERIFY(run.waitForMainWindow());
            QVERIFY2(run.typeInto(intoCode ? m_codeAt : m_authorAt, typed,
                         [&] { return journalHolds(home.journal(), column, typed); }),
                "the typed text never reached the journal");
            run.killHard();
        }
        const QByteArray library = fileContents(home.library());
        const QByteArray journal = fileContents(home.journal());

        Run run(home);
        QVERIFY(run.answerBox(kConfirmName));
        // The restored record is journalled again once it has settled; by then it has been put
        // back, and the library was not written.
        QVERIFY(QTest::qWaitFor([&] { return fileContents(home.journal()) != journal; }, kWaitMs));
        QCOMPARE(fileContents(home.library()), library);

        QVERIFY(run.waitForMainWindow());
        QVERIFY(repeatUntil([&] { run.pressInMainWindow(QStringLiteral("F7")); },
            [&] { return !QFile::exists(home.journal()); }));
        QCOMPARE(run.terminate(), 0);
        QVERIFY(scriptValue(home.library(), column) == typed);
        QVERIFY(scriptValue(home.library(), QStringLiteral("cjs_text")) == (intoCode ? typed : kStoredCode));
    }

    void terminatedWhileEditing()
    {
        Home home;
        home.prepare(m_source);
        Run run(home);
        QVERIFY(run.waitForMainWindow());
        QVERIFY(run.typeInto(m_codeAt, QStringLiteral("<p>未保存</p>"), [&] {
            return journalHolds(home.journal(), QStringLiteral("cjs_text"), QStringLiteral("<p>未保存</p>"));
        }));
        // A changed record: closing the window would ask. A signal asks nobody.
        QCOMPARE(run.terminate(), 0);
        QVERIFY(QFile::exists(home.journal()));
        QVERIFY(QFile::exists(home.settings()));
        // Written at the end of this run: the search options are remembered only then.
        QCOMPARE(SessionSettings(home.settings()).number(QStringLiteral("search/column"), 0, 2), 0);
        QCOMPARE(SessionSettings(home.settings()).text(QStringLiteral("tree/openScript")), kScript);
        // The library was closed cleanly: no hot journal of SQLite's own is left.
        QVERIFY(!QFile::exists(home.library() + QStringLiteral("-journal")));
        QCOMPARE(scriptValue(home.library(), QStringLiteral("cjs_text")), kStoredCode);
    }

    void anUnaskedEndKeepsWhatWasJustTyped_data()
    {
        QTest::addColumn<int>("signal");
        // A logout that ends the display before the program is asked to end: Qt ends the program
        // through exit() at once.
        QTest::newRow("the display ends") << 0;
        QTest::newRow("a crash") << int(SIGSEGV);
        QTest::newRow("an abort") << int(SIGABRT);
    }

    // What was typed just before, not yet in the journal, is kept all the same. The program runs
    // on a display of its own, which this test can end.
    void anUnaskedEndKeepsWhatWasJustTyped()
    {
        QFETCH(int, signal);
        QProcess display;
        display.start(QStringLiteral("Xvfb"),
            {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                QStringLiteral("tcp")});
        if (!display.waitForStarted(kWaitMs))
            QSKIP("Xvfb is needed for a display that can end under the program");
        while (!display.canReadLine())
            QVERIFY(display.waitForReadyRead(kWaitMs));
        Home home;
        home.prepare(m_source);
        home.useDisplay(QLatin1Char(':') + QString::fromLatin1(display.readLine()).trimmed());
        Run run(home);
        QVERIFY(run.waitForMainWindow());
        const auto journalHas = [&](const QString& text) {
            return RecoveryJournal::read(home.journal())
                .record.field(QStringLiteral("cjs_text"))
                .toString()
                .contains(text);
        };
        // Typed until the journal shows that the editor takes the keys; then typed again, and the
        // program ended once it has had the keys, well before it would write them itself.
        QVERIFY(repeatUntil([&] { run.typeAt(m_codeAt, QStringLiteral("first")); },
            [&] { return journalHas(QStringLiteral("first")); }));
        run.typeAt(m_codeAt, QStringLiteral("justbefore"));
        QTest::qWait(UnsavedWork::kQuietDelayMs / 2);
        if (signal == 0) {
            display.kill();
            display.waitForFinished(kWaitMs);
        } else {
            run.sendSignal(signal);
        }
        const std::optional<bool> crashed = run.waitForEndCrashed();
        QVERIFY(crashed);
        QCOMPARE(*crashed, signal != 0);
        QVERIFY(journalHas(QStringLiteral("justbefore")));
        QCOMPARE(scriptValue(home.library(), QStringLiteral("cjs_text")), kStoredCode);
    }

    void journalThatCannotBeApplied_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("script deleted") << "delete";
        QTest::newRow("journal damaged") << "damage";
    }

    void journalThatCannotBeApplied()
    {
        QFETCH(QString, damage);
        Home home;
        home.prepare(m_source);
        {
            Run run(home);
            QVERIFY(run.waitForMainWindow());
            QVERIFY(run.typeInto(m_codeAt, QStringLiteral("雪"), [&] {
                return journalHolds(home.journal(), QStringLiteral("cjs_text"), QStringLiteral("雪"));
            }));
            run.killHard();
        }
        if (damage == QLatin1String("delete")) {
            Database db;
            db.open(home.library(), Database::OpenMode::ExistingOnly);
            db.exec(QStringLiteral("DELETE FROM tjs"));
        } else {
            QByteArray bytes = fileContents(home.journal());
            bytes.chop(7);
            QFile file(home.journal());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        const QByteArray library = fileContents(home.library());

        Run run(home);
        // Told, not asked: the journal is never applied blindly.
        if (damage == QLatin1String("delete")) {
            QVERIFY(run.answerBox(kConfirmName));
        }
        QVERIFY(run.answerBox(kMessageName));
        QVERIFY(run.waitForMainWindow());
        QCOMPARE(run.terminate(), 0);
        QVERIFY(!QFile::exists(home.journal()));
        QCOMPARE(home.putAside().size(), 1);
        QCOMPARE(fileContents(home.library()), library);
    }

    void readOnlyLibraryFolder()
    {
        Home home;
        home.prepare(m_source);
        const QString typed = QStringLiteral("<p>只读文件夹里的修改 😀</p>");
        if (geteuid() == 0 && !home.handToOrdinaryUser())
            QSKIP("running as root, and the program cannot be run as an ordinary user here");
        QVERIFY(QFile::setPermissions(home.dataDir(), QFile::ReadOwner | QFile::ExeOwner));
        {
            Run run(home);
            QVERIFY(run.waitForMainWindow());
            QVERIFY(run.typeInto(m_codeAt, typed,
                [&] { return journalHolds(home.settingsJournal(), QStringLiteral("cjs_text"), typed); }));
            // The library refuses the change; the typed work stays, and so does its journal.
            run.keys(QStringLiteral("F7"));
            QVERIFY(run.answerBox(kMessageName));
            QVERIFY(run.waitForMainWindow());
            QVERIFY(journalHolds(home.settingsJournal(), QStringLiteral("cjs_text"), typed));
            run.killHard();
        }
        QFile::setPermissions(home.dataDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        Run run(home);
        QVERIFY(run.answerBox(kConfirmName));
        QVERIFY(run.waitForMainWindow());
        QVERIFY(repeatUntil([&] { run.pressInMainWindow(QStringLiteral("F7")); },
            [&] { return !QFile::exists(home.settingsJournal()); }));
        QCOMPARE(run.terminate(), 0);
        QCOMPARE(scriptValue(home.library(), QStringLiteral("cjs_text")), typed);
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
