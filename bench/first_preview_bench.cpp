// First preview benchmark: the time from F11 to the previewed page's load event, and to its text
// on screen, in the first preview of a run, in the program and in two bare programs that show the
// same file in the same engine: one that creates its engine view on the key, one that created it
// at start. Each round of each runs in a fresh process, in turns; the user waits the same few
// seconds after the start before the key in all three. It also reports the program's memory when its start-up
// load is done, and when the key comes. It reports; only a real error makes it fail. Run it on a display:
// xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/feylume-bench-firstpreview
// [--rounds N]

#include "base/feylumeerror.h"
#include "dbctrls/dbmemo.h"
#include "firstpreviewround.h"
#include "main/categorytree.h"
#include "main/form1.h"
#include "main/pageview.h"
#include "tools/librarymaker.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

using namespace FirstPreviewRound;

namespace {
constexpr int kDefaultRounds = 9;

struct Waits
{
    qint64 toLoad;
    qint64 toFrame;
};

// F11, the wait for the load event it leads to and then for the page's text on screen; the
// times in nanoseconds.
Waits quickPreview(TForm1& form)
{
    QEventLoop loop;
    bool ok = false;
    const auto connection = QObject::connect(form.web1, &PageView::loadFinished, &loop, [&](bool done) {
        ok = done;
        loop.quit();
    });
    QTimer::singleShot(kLoadTimeoutMs, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    form.findChild<QAction*>(QStringLiteral("N14"))->trigger();
    if (!ok)
        loop.exec();
    const qint64 elapsed = timer.nsecsElapsed();
    QObject::disconnect(connection);
    if (!ok)
        die(QStringLiteral("the page did not load"));
    return {elapsed, untilTheTextShows(form.web1, timer)};
}

// The program as a user starts it: the window, its start-up load, a script chosen, a wait, F11.
int programRound(const QString& appDir)
{
    TForm1 form(appDir);
    form.showMaximized();
    while (form.Timer1)
        idle(10);
    const qint64 startPeak = memoryKiB("VmHWM:");
    for (int position = 0; position < form.Treeclass->nodeCount(); ++position) {
        TreeNode* node = form.Treeclass->nodeAt(position);
        if (CategoryTree::isScriptNode(node)) {
            form.Treeclass->setCurrentNode(node);
            break;
        }
    }
    const qint64 stall = idle(kUserWaitMs);
    if (!form.web1->engineReadiedAhead())
        std::fprintf(stderr, "feylume-bench-firstpreview: the engine was not readied ahead\n");
    const qint64 warmPart = form.web1->longestPreparationStepNs();
    form.DBMemo2->setPlainText(snippet());
    const qint64 beforeKey = memoryKiB("VmRSS:");
    const Waits waits = quickPreview(form);
    report(waits.toLoad, waits.toFrame, startPeak, beforeKey, stall, warmPart);
    return 0;
}

using Report = std::map<QString, qint64>;

Report runInFreshProcess(const QStringList& arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The bare programs are a program of their own: the engine's libraries are linked into them, and
    // must not be into the program's rounds.
    if (arguments.first() == QLatin1String("program"))
        child.start(
            QCoreApplication::applicationFilePath(), QStringList(QStringLiteral("--child")) + arguments);
    else
        child.start(
            QCoreApplication::applicationDirPath() + QStringLiteral("/feylume-bench-bareengine"), arguments);
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        die(QStringLiteral("a timed round failed: %1").arg(arguments.join(QLatin1Char(' '))));
    Report values;
    const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
    for (const QByteArray& word : lines.last().split(' ')) {
        const qsizetype equals = word.indexOf('=');
        if (equals > 0)
            values[QString::fromUtf8(word.left(equals))] = word.mid(equals + 1).toLongLong();
    }
    return values;
}

struct Spread
{
    double median;
    double low;
    double high;
};

Spread spreadOf(std::vector<qint64> values, double unit)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    const double median = values.size() % 2 ? double(values[middle])
                                            : (double(values[middle - 1]) + double(values[middle])) / 2;
    return {median / unit, double(values.front()) / unit, double(values.back()) / unit};
}

int rounds(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--rounds"));
    const int asked = at >= 0 ? arguments.value(at + 1).toInt() : kDefaultRounds;
    return std::max(asked, 7);
}
} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc >= 4 && qstrcmp(argv[1], "--child") == 0) {
        // Whatever the user's own settings hold does not weigh on a round.
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        QApplication app(argc, argv);
        const QString appDir = QString::fromUtf8(argv[3]);
        try {
            return programRound(appDir);
        } catch (const FeylumeError& error) {
            die(error.message());
        }
    }
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    if (!tmp.isValid())
        die(QStringLiteral("cannot make a temporary directory"));
    const QString appDir = tmp.path() + QLatin1Char('/');
    QDir().mkpath(appDir + QStringLiteral("data"));
    try {
        LibraryMaker::makeFromManifest(
            QStringLiteral(FEYLUME_SAMPLE_MANIFEST), appDir + QStringLiteral("data/qvlb.db"));
    } catch (const FeylumeError& error) {
        die(error.message());
    }
    const QStringList kinds
        = {QStringLiteral("program"), QStringLiteral("bare-lazy"), QStringLiteral("bare-at-start")};
    const int count = rounds(app.arguments());
    std::map<QString, std::map<QString, std::vector<qint64>>> seen;
    // One of each first, unmeasured, so that no kind pays alone for a cold disk cache.
    for (const QString& kind : kinds)
        runInFreshProcess({kind, appDir});
    // In turns, so that whatever else the machine does weighs on all alike.
    for (int round = 0; round < count; ++round) {
        for (const QString& kind : kinds) {
            for (const auto& [key, value] : runInFreshProcess({kind, appDir}))
                seen[kind][key].push_back(value);
        }
    }
    std::printf("first preview of a run, from F11 to the page's load event and to its text on screen; "
                "median of %d fresh processes each [lowest - highest]; platform %s\n\n",
        count,
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? "xcb" : qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("| program | F11 to load | F11 to the text shown | start peak RSS | RSS at the key "
                "| longest wait a key had before F11 | longest part readied ahead |\n"
                "|---|---|---|---|---|---|---|\n");
    for (const QString& kind : kinds) {
        const Spread load = spreadOf(seen[kind][QStringLiteral("first_ns")], 1e6);
        const Spread frame = spreadOf(seen[kind][QStringLiteral("frame_ns")], 1e6);
        const Spread start = spreadOf(seen[kind][QStringLiteral("start_peak_kib")], 1024.0);
        const Spread key = spreadOf(seen[kind][QStringLiteral("before_key_kib")], 1024.0);
        const Spread stall = spreadOf(seen[kind][QStringLiteral("stall_ns")], 1e6);
        const Spread part = spreadOf(seen[kind][QStringLiteral("warm_part_ns")], 1e6);
        std::printf("| %s | %.0f ms [%.0f - %.0f] | %.0f ms [%.0f - %.0f] | %.1f MiB [%.1f - %.1f] "
                    "| %.1f MiB [%.1f - %.1f] | %.0f ms [%.0f - %.0f] | %.0f ms [%.0f - %.0f] |\n",
            qPrintable(kind), load.median, load.low, load.high, frame.median, frame.low, frame.high,
            start.median, start.low, start.high, key.median, key.low, key.high, stall.median, stall.low,
            stall.high, part.median, part.low, part.high);
    }
    // What the user waits for is the text on screen; the load event is told beside it.
    struct Measure
    {
        const char* field;
        const char* shownAs;
    };
    for (const Measure measure : {Measure {"frame_ns", "text shown"}, Measure {"first_ns", "load event"}}) {
        const QString field = QString::fromLatin1(measure.field);
        const double program = spreadOf(seen[QStringLiteral("program")][field], 1.0).median;
        const double lazy = spreadOf(seen[QStringLiteral("bare-lazy")][field], 1.0).median;
        const double ratio = program / lazy;
        std::printf("\nprogram / bare lazy engine, to the %s: %.2f (target <= 0.80): %s", measure.shownAs,
            ratio, ratio <= 0.8 ? "ok" : "MISSED");
    }
    std::printf("\n");
    return 0;
}
