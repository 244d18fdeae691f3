// Start-up load benchmark. Builds libraries of two shapes (about 2 KB and about 300 B of code per
// snippet), then times what a user waits for: every timed load runs in a fresh process, as a
// real start does, against a bare SQLite loop over the same statements, also in a fresh process.
// The figure kept is the median of the rounds. Peak resident memory is that of the loading
// process, and of a start on the sample library. It reports; only a real error makes it fail.

#include "base/feylumeerror.h"
#include "dbctrls/dbcombobox.h"
#include "dbctrls/dbedit.h"
#include "deferredload.h"
#include "main/categorytree.h"
#include "main/currentscript.h"
#include "main/form1.h"
#include "store/database.h"
#include "store/query.h"
#include "store/schema.h"
#include "store/statements.h"
#include "tools/librarymaker.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

[[noreturn]] void die(const QString& message)
{
    std::fprintf(stderr, "feylume-bench-startup: %s\n", qPrintable(message));
    std::exit(2);
}

struct Shape
{
    QString label;
    int scripts = 0;
    int categories = 0;
    bool longCode = false; // about 2 KB of code per snippet, else about 300 B
};

struct Options
{
    // Fewer leave the median at the mercy of a shared machine's moods.
    int rounds = 9;
    bool million = false;
};

Options parseOptions(const QStringList& args)
{
    Options options;
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--million")) {
            options.million = true;
        } else if (arg == QLatin1String("--rounds") && i + 1 < args.size()) {
            bool ok = false;
            options.rounds = args[++i].toInt(&ok);
            if (!ok || options.rounds < 1)
                die(QStringLiteral("--rounds needs a number >= 1"));
        } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            std::printf(
                "usage: %s [--rounds N] [--million]\n"
                "  --rounds N             timed rounds per library, each a fresh process (default 9)\n"
                "  --million              also run 1,000,000 snippets x 300 B in 5,000 categories\n",
                qPrintable(args[0]));
            std::exit(0);
        } else {
            die(QStringLiteral("unknown argument %1").arg(arg));
        }
    }
    return options;
}

QString categoryName(int index)
{
    return QStringLiteral("类别%1").arg(index + 1, 4, 10, QLatin1Char('0'));
}

QString scriptName(int index)
{
    return QStringLiteral("脚本%1").arg(index + 1, 7, 10, QLatin1Char('0'));
}

// About 300 B: a small effect such as a hover colour or a status-bar text.
QString shortCode(int index)
{
    static const QString body
        = QStringLiteral("<a href=\"#\" id=\"fx%1\" onmouseover=\"this.style.color='#ff6600'\"\r\n"
                         "   onmouseout=\"this.style.color='#336699'\">特效 %1</a>\r\n"
                         "<script type=\"text/javascript\">\r\n"
                         "window.status = '第 %1 号特效';\r\n"
                         "document.getElementById('fx%1').title = new Date().toLocaleString();\r\n"
                         "</script>\r\n");
    return body.arg(index);
}

// About 2 KB with CR LF line ends, like an effect snippet stored by the editor; the number keeps
// every text distinct so that nothing compresses into shared pages.
QString longCode(int index)
{
    static const QString body = QStringLiteral(
        "<script type=\"text/javascript\">\r\n"
        "// effect %1: moving highlight over a list of links\r\n"
        "var fxTimer%1 = null;\r\n"
        "var fxStep%1 = 0;\r\n"
        "function fxStart%1(id) {\r\n"
        "  var host = document.getElementById(id);\r\n"
        "  if (!host) return;\r\n"
        "  var links = host.getElementsByTagName('a');\r\n"
        "  for (var i = 0; i < links.length; i++) {\r\n"
        "    links[i].style.color = '#336699';\r\n"
        "    links[i].style.textDecoration = 'none';\r\n"
        "    links[i].onmouseover = function () { this.style.color = '#ff6600'; };\r\n"
        "    links[i].onmouseout = function () { this.style.color = '#336699'; };\r\n"
        "  }\r\n"
        "  fxTimer%1 = window.setInterval(function () { fxTick%1(links); }, 120);\r\n"
        "}\r\n"
        "function fxTick%1(links) {\r\n"
        "  if (!links.length) return;\r\n"
        "  var previous = links[fxStep%1 % links.length];\r\n"
        "  previous.style.backgroundColor = '';\r\n"
        "  fxStep%1 = (fxStep%1 + 1) % links.length;\r\n"
        "  var current = links[fxStep%1];\r\n"
        "  current.style.backgroundColor = '#ffffcc';\r\n"
        "  current.style.borderBottom = '1px dotted #999999';\r\n"
        "}\r\n"
        "function fxStop%1() {\r\n"
        "  if (fxTimer%1) window.clearInterval(fxTimer%1);\r\n"
        "  fxTimer%1 = null;\r\n"
        "}\r\n"
        "function fxFade%1(element, from, to, steps) {\r\n"
        "  var delta = (to - from) / steps;\r\n"
        "  var level = from;\r\n"
        "  var count = 0;\r\n"
        "  var handle = window.setInterval(function () {\r\n"
        "    level += delta;\r\n"
        "    element.style.opacity = level / 100;\r\n"
        "    element.style.filter = 'alpha(opacity=' + level + ')';\r\n"
        "    if (++count >= steps) window.clearInterval(handle);\r\n"
        "  }, 40);\r\n"
        "}\r\n"
        "window.onload = function () {\r\n"
        "  fxStart%1('menu%1');\r\n"
        "  var banner = document.getElementById('banner%1');\r\n"
        "  if (banner) fxFade%1(banner, 0, 100, 25);\r\n"
        "};\r\n"
        "window.onunload = function () { fxStop%1(); };\r\n"
        "</script>\r\n"
        "<div id=\"banner%1\" style=\"font: bold 14px sans-serif; color: #003366\">特效 %1</div>\r\n"
        "<div id=\"menu%1\">\r\n"
        "  <a href=\"#one\">第一项</a> | <a href=\"#two\">第二项</a> | <a href=\"#three\">第三项</a>\r\n"
        "</div>\r\n");
    return body.arg(index);
}

double seconds(qint64 nanoseconds)
{
    return double(nanoseconds) / 1e9;
}

void buildLibrary(const QString& path, const Shape& shape)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    Database db;
    db.open(path, Database::OpenMode::CreateIfMissing);
    Schema::create(db);
    db.exec(QStringLiteral("BEGIN"));
    {
        Statement category(db, QStringLiteral("INSERT INTO ttype(ctype_name) VALUES (?)"));
        for (int c = 0; c < shape.categories; ++c) {
            category.reset();
            category.bind(1, categoryName(c));
            category.run();
        }
        Statement script(db,
            QStringLiteral("INSERT INTO tjs(cjs_name, cjs_type, cjs_zzm, cjs_zzjj, cjs_date, cjs_text) "
                           "VALUES (?, ?, ?, ?, ?, ?)"));
        for (int s = 0; s < shape.scripts; ++s) {
            script.reset();
            script.bind(1, scriptName(s));
            // Round-robin, so a category's scripts lie far apart in the file as in a grown library.
            script.bind(2, categoryName(s % shape.categories));
            script.bind(3, QStringLiteral("作者%1").arg(s % 97));
            script.bind(4, QStringLiteral("第 %1 号特效的简介：鼠标经过时变色。").arg(s + 1));
            script.bind(5, QStringLiteral("2024-01-01 12:00:00"));
            script.bind(6, shape.longCode ? longCode(s + 1) : shortCode(s + 1));
            script.run();
        }
    }
    db.exec(QStringLiteral("COMMIT"));
    db.close();
}

// What one child process reports, as "key=value" words on one line.
using Report = std::map<QString, qint64>;

void printReport(const Report& report)
{
    QStringList words;
    for (const auto& [key, value] : report)
        words << QStringLiteral("%1=%2").arg(key).arg(value);
    std::printf("%s\n", qPrintable(words.join(QLatin1Char(' '))));
}

long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    // A /proc file reports no size, so it is read whole rather than line by line to an end.
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// The least work for the same result: the program's statement texts, the per-category one
// compiled once and bound to each category's stored name, every row stepped and the one column
// the tree shows read. Opened like the program opens the library, so the difference is the
// program's own layers.
Report bareSqliteLoop(const QString& path)
{
    sqlite3* db = nullptr;
    const QByteArray encoded = path.toUtf8();
    if (sqlite3_open_v2(encoded.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK)
        die(QStringLiteral("cannot open %1").arg(path));
    auto check = [db](int rc, const char* what) {
        if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
            die(QStringLiteral("%1: %2").arg(
                QString::fromLatin1(what), QString::fromUtf8(sqlite3_errmsg(db))));
    };
    sqlite3_stmt* categories = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT * FROM ttype ORDER BY rowid", -1, &categories, nullptr),
        "prepare categories");
    const QByteArray scriptsSql = Statements::scriptsOfCategory({}).text.toUtf8();
    sqlite3_stmt* scripts = nullptr;
    check(sqlite3_prepare_v2(db, scriptsSql.constData(), int(scriptsSql.size()), &scripts, nullptr),
        "prepare scripts");
    int nameColumn = -1;
    for (int i = 0; i < sqlite3_column_count(scripts); ++i) {
        if (qstrcmp(sqlite3_column_name(scripts, i), "cjs_name") == 0)
            nameColumn = i;
    }

    Report report;
    std::size_t sink = 0;
    QElapsedTimer timer;
    timer.start();
    std::vector<std::string> names;
    int rc;
    while ((rc = sqlite3_step(categories)) == SQLITE_ROW) {
        names.emplace_back(static_cast<const char*>(sqlite3_column_blob(categories, 0)),
            size_t(sqlite3_column_bytes(categories, 0)));
    }
    check(rc, "step categories");
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        sqlite3_reset(scripts);
        check(sqlite3_bind_text(scripts, 1, name->data(), int(name->size()), SQLITE_STATIC), "bind");
        while ((rc = sqlite3_step(scripts)) == SQLITE_ROW) {
            const auto* text = static_cast<const char*>(sqlite3_column_blob(scripts, nameColumn));
            sink += sqlite3_column_bytes(scripts, nameColumn) > 0 ? size_t(text[0]) : 0;
            ++report[QStringLiteral("rows")];
        }
        check(rc, "step scripts");
    }
    report[QStringLiteral("ns")] = timer.nsecsElapsed();
    report[QStringLiteral("categories")] = qint64(names.size());
    sqlite3_finalize(scripts);
    sqlite3_finalize(categories);
    sqlite3_close_v2(db);
    // Keeps the column reads from being optimised away.
    if (sink == std::numeric_limits<std::size_t>::max())
        std::printf("%zu\n", sink);
    return report;
}

// Opening a script by selecting its node, and a save that renames and moves it to another
// category, on the loaded window.
void timeEditing(TForm1& form, Report& report)
{
    const int categories = form.Treeclass->topLevelItemCount();
    TreeNode* category = form.Treeclass->topLevelItem(categories / 2);
    if (category->childCount() == 0 || categories < 2)
        return;
    TreeNode* script = category->child(category->childCount() / 2);
    const QString name = script->text();
    QElapsedTimer timer;
    timer.start();
    form.Treeclass->setCurrentNode(script);
    report[QStringLiteral("open_ns")] = timer.nsecsElapsed();
    if (form.CurrentScriptName != name || form.DBEdit2->text() != name)
        die(QStringLiteral("selecting %1 did not open it").arg(name));

    const QString newName = name + QStringLiteral("改");
    const int target = (form.CBX1->currentIndex() + 1) % form.CBX1->count();
    const QString targetCategory = form.CBX1->itemText(target);
    form.ADOQuery2->edit();
    form.DBEdit2->setText(newName);
    form.CBX1->setCurrentIndex(target);
    timer.restart();
    form.DataSetPost1Execute();
    report[QStringLiteral("save_ns")] = timer.nsecsElapsed();
    const int moved = form.FindNodeIndex(newName, true);
    if (moved < 0 || form.Treeclass->nodeAt(moved)->parent()->text() != targetCategory)
        die(QStringLiteral("saving %1 did not rename and move its node").arg(name));
}

// A start as the program makes it, minus the splash's two seconds: the main window is created
// (opening the library), the deferred load runs, the window is shown maximized and drawn.
Report realStart(const QString& appDir, bool editing)
{
    Report report;
    QElapsedTimer timer;
    timer.start();
    TForm1 form(appDir);
    report[QStringLiteral("create_ns")] = timer.nsecsElapsed();
    if (!form.findChild<CurrentScript*>()->library().connected())
        die(QStringLiteral("the window could not open the library"));
    if (!form.Timer1)
        die(QStringLiteral("the window has no pending deferred load"));
    report[QStringLiteral("ns")] = runDeferredLoad(form);
    report[QStringLiteral("rows")] = form.TotalScripts;
    report[QStringLiteral("categories")] = form.Treeclass->topLevelItemCount();
    report[QStringLiteral("nodes")] = form.Treeclass->nodeCount();

    form.showMaximized();
    QElapsedTimer limit;
    limit.start();
    while ((!form.windowHandle() || !form.windowHandle()->isExposed()) && limit.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    form.repaint();
    QCoreApplication::processEvents();
    report[QStringLiteral("peak_kib")] = peakResidentKiB();
    if (editing)
        timeEditing(form, report);
    return report;
}

int runChild(int argc, char** argv)
{
    const QString kind = QString::fromLocal8Bit(argv[2]);
    const QString path = QString::fromLocal8Bit(argv[3]);
    if (kind == QLatin1String("bare")) {
        printReport(bareSqliteLoop(path));
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        printReport(realStart(path, kind == QLatin1String("edit")));
    } catch (const FeylumeError& error) {
        die(error.message());
    }
    return 0;
}

Report runInFreshProcess(const QStringList& arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList(QStringLiteral("--child")) + arguments);
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        die(QStringLiteral("a timed round failed: %1").arg(arguments.join(QLatin1Char(' '))));
    Report report;
    const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
    for (const QByteArray& word : lines.last().split(' ')) {
        const int equals = word.indexOf('=');
        if (equals > 0)
            report[QString::fromUtf8(word.left(equals))] = word.mid(equals + 1).toLongLong();
    }
    return report;
}

qint64 median(std::vector<qint64> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Row
{
    qint64 bareNs = 0;
    qint64 loadNs = 0;
    qint64 createNs = 0;
    qint64 peakKiB = 0;
    qint64 openNs = 0;
    qint64 saveNs = 0;
};

Row measure(const QString& appDir, const Shape& shape, int rounds)
{
    const QString library = appDir + QStringLiteral("data/qvlb.db");
    // The first pass of each only fills the page cache, as earlier use of the machine would.
    runInFreshProcess({QStringLiteral("bare"), library});
    runInFreshProcess({QStringLiteral("load"), appDir});
    std::map<QString, std::vector<qint64>> bare;
    std::map<QString, std::vector<qint64>> load;
    // In turns, so that whatever else the machine does weighs on both alike.
    for (int round = 0; round < rounds; ++round) {
        const Report b = runInFreshProcess({QStringLiteral("bare"), library});
        const Report l = runInFreshProcess({QStringLiteral("edit"), appDir});
        if (b.at(QStringLiteral("rows")) != shape.scripts || l.at(QStringLiteral("rows")) != shape.scripts
            || l.at(QStringLiteral("nodes")) != shape.scripts + shape.categories)
            die(QStringLiteral("%1: a round saw the wrong number of scripts").arg(shape.label));
        for (const auto& [key, value] : b)
            bare[key].push_back(value);
        for (const auto& [key, value] : l)
            load[key].push_back(value);
    }
    Row row;
    row.bareNs = median(bare[QStringLiteral("ns")]);
    row.loadNs = median(load[QStringLiteral("ns")]);
    row.createNs = median(load[QStringLiteral("create_ns")]);
    row.peakKiB = median(load[QStringLiteral("peak_kib")]);
    row.openNs = median(load[QStringLiteral("open_ns")]);
    row.saveNs = median(load[QStringLiteral("save_ns")]);
    return row;
}

const char* verdict(bool ok)
{
    return ok ? "ok" : "MISSED";
}

void printRow(const Shape& shape, const Row& row, double ratioTarget, double peakTargetMiB)
{
    const double ratio = row.bareNs > 0 ? double(row.loadNs) / double(row.bareNs) : 0.0;
    const double peakMiB = double(row.peakKiB) / 1024.0;
    std::printf("| %s | %.3f s | %.3f s | %.2f (<= %.1f %s) | %.0f MB%s |\n", qPrintable(shape.label),
        seconds(row.bareNs), seconds(row.loadNs), ratio, ratioTarget, verdict(ratio <= ratioTarget), peakMiB,
        peakTargetMiB > 0 ? (peakMiB <= peakTargetMiB ? " (ok)" : " (MISSED)") : "");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);

    QCoreApplication app(argc, argv);
    const Options options = parseOptions(QCoreApplication::arguments());
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    std::vector<Shape> shapes = {
        {QStringLiteral("100k snippets × 2 KB, 1,000 categories"), 100'000, 1'000, true},
        {QStringLiteral("100k × 300 B, 500 categories"), 100'000, 500, false},
    };
    if (options.million)
        shapes.push_back({QStringLiteral("1M × 300 B, 5,000 categories"), 1'000'000, 5'000, false});

    QTemporaryDir tmp;
    if (!tmp.isValid())
        die(QStringLiteral("cannot make a temporary directory: %1").arg(tmp.errorString()));

    std::vector<Row> rows;
    try {
        for (size_t i = 0; i < shapes.size(); ++i) {
            const QString appDir = tmp.filePath(QStringLiteral("shape%1/").arg(i));
            QElapsedTimer build;
            build.start();
            buildLibrary(appDir + QStringLiteral("data/qvlb.db"), shapes[i]);
            std::fprintf(stderr, "built %s in %.1f s (%.0f MiB)\n", qPrintable(shapes[i].label),
                seconds(build.nsecsElapsed()),
                double(QFileInfo(appDir + QStringLiteral("data/qvlb.db")).size()) / (1024.0 * 1024.0));
            rows.push_back(measure(appDir, shapes[i], options.rounds));
        }
        const QString sampleDir = tmp.filePath(QStringLiteral("sample/"));
        QDir().mkpath(sampleDir + QStringLiteral("data"));
        LibraryMaker::makeFromManifest(
            QStringLiteral(FEYLUME_SAMPLE_MANIFEST), sampleDir + QStringLiteral("data/qvlb.db"));
        std::vector<qint64> samplePeaks;
        for (int round = 0; round < options.rounds; ++round)
            samplePeaks.push_back(
                runInFreshProcess({QStringLiteral("load"), sampleDir}).at(QStringLiteral("peak_kib")));

        std::printf("median of %d rounds, each a fresh process; platform %s\n\n", options.rounds,
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? "offscreen"
                                                           : qgetenv("QT_QPA_PLATFORM").constData());
        std::printf("| library | bare loop | real load | ratio | peak RSS |\n|---|---|---|---|---|\n");
        for (size_t i = 0; i < shapes.size(); ++i) {
            const bool million = shapes[i].scripts >= 1'000'000;
            printRow(shapes[i], rows[i], million ? 1.5 : 1.3, million ? 160 : 0);
        }
        const double samplePeak = double(median(samplePeaks)) / 1024.0;
        std::printf("| the sample library | — | — | — | %.0f MB (<= 70 %s) |\n\n", samplePeak,
            verdict(samplePeak <= 70));
        for (size_t i = 0; i < shapes.size(); ++i) {
            const double beforeSplashCloses = seconds(rows[i].createNs + rows[i].loadNs);
            std::printf(
                "%s: window creation + load %.3f s (splash closes at 2 s: %s); open a script %.2f ms, "
                "save that renames and moves it %.2f ms\n",
                qPrintable(shapes[i].label), beforeSplashCloses, verdict(beforeSplashCloses < 2.0),
                rows[i].openNs / 1e6, rows[i].saveNs / 1e6);
        }
    } catch (const FeylumeError& error) {
        die(error.message());
    }
    return 0;
}
