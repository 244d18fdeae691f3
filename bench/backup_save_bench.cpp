// Saving while the run's backup is copied. Builds a large library (about 420 MB by default), then
// in each round, a fresh process: the program's connection saves one script, which begins the
// backup, and saves again and again while the rest of the library is copied in the background.
// The bare round makes the same saves on the same connection with no backup going on. It prints
// the median and spread of the rounds' median and slowest save, the copy's time, and the ratio of
// the saves to the bare ones; and it checks that every copy holds the library before its first
// save. It reports; only a real error makes it fail.

#include "base/feylumeerror.h"
#include "store/database.h"
#include "store/pagesnapshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>
#include <vector>

namespace {

[[noreturn]] void die(const QString& message)
{
    std::fprintf(stderr, "feylume-bench-backup: %s\n", qPrintable(message));
    std::exit(2);
}

struct Options
{
    int rounds = 7;
    int megabytes = 420;
};

Options parseOptions(const QStringList& args)
{
    Options options;
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        bool ok = true;
        if (arg == QLatin1String("--rounds") && i + 1 < args.size())
            options.rounds = args[++i].toInt(&ok);
        else if (arg == QLatin1String("--megabytes") && i + 1 < args.size())
            options.megabytes = args[++i].toInt(&ok);
        else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            std::printf("usage: %s [--rounds N] [--megabytes M]\n"
                        "  --rounds N      timed rounds of each kind, each a fresh process (default 7)\n"
                        "  --megabytes M   size of the library (default 420)\n",
                qPrintable(args[0]));
            std::exit(0);
        } else
            ok = false;
        if (!ok || options.rounds < 1 || options.megabytes < 1)
            die(QStringLiteral("bad argument %1").arg(arg));
    }
    return options;
}

// 2 KB of code per script, as a library of long snippets holds.
void makeLibrary(const QString& path, int megabytes)
{
    Database db;
    db.open(path, Database::OpenMode::CreateIfMissing);
    db.exec(QStringLiteral(
        "CREATE TABLE ttype (ctype_name VARCHAR(50) NOT NULL UNIQUE);"
        "CREATE TABLE tjs (cjs_id INTEGER PRIMARY KEY AUTOINCREMENT, cjs_name VARCHAR(50) NOT "
        "NULL UNIQUE, cjs_type VARCHAR(50), cjs_zzm TEXT, cjs_zzjj TEXT, cjs_date TEXT, cjs_text "
        "TEXT);"
        "INSERT INTO ttype VALUES ('类别');"));
    const int scripts = megabytes * 1024 / 2;
    db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "INSERT INTO tjs(cjs_name, cjs_type, cjs_zzm, cjs_text) "
                           "SELECT 'script' || i, '类别', 'before', hex(randomblob(1000)) FROM n")
                .arg(scripts));
}

// One save: the current script's code written back, as F7 does.
double timedSave(Database& db, int script)
{
    QElapsedTimer timer;
    timer.start();
    Statement save(db,
        QStringLiteral("UPDATE tjs SET cjs_text = hex(randomblob(1000)), cjs_zzm = 'after' "
                       "WHERE cjs_name = 'script' || :n"));
    save.bind(QStringLiteral(":n"), script);
    save.run();
    return double(timer.nsecsElapsed()) / 1e6;
}

// A child round: prints "median slowest copy saves".
int runRound(const QString& library, bool withBackup)
{
    Database db;
    db.open(library, Database::OpenMode::ExistingOnly);
    const QString copyPath = library + QStringLiteral(".copy");
    std::vector<double> saves;
    double copyMs = 0;
    {
        std::optional<PageSnapshot> snapshot;
        if (withBackup)
            snapshot.emplace(library, copyPath);
        // The first save begins the backup; the copy of the rest starts as the program starts it.
        timedSave(db, 1);
        std::atomic_bool copied = !withBackup;
        QString failure;
        QElapsedTimer copyTimer;
        copyTimer.start();
        std::thread copier;
        if (withBackup) {
            copier = std::thread([&] {
                try {
                    snapshot->fillIn();
                } catch (const FeylumeError& error) {
                    failure = error.message();
                }
                copied = true;
            });
        }
        // Saves one after another, as fast as a user never could, while the copy runs; the bare
        // round makes as many.
        constexpr int kBareSaves = 40;
        for (int n = 2; withBackup ? !copied : n < 2 + kBareSaves; ++n)
            saves.push_back(timedSave(db, n * 97 % 1000 + 2));
        if (copier.joinable())
            copier.join();
        if (withBackup) {
            copyMs = double(copyTimer.nsecsElapsed()) / 1e6;
            if (!failure.isEmpty())
                die(failure);
            snapshot->finish();
        }
    }
    if (withBackup) {
        Database copy;
        copy.open(copyPath, Database::OpenMode::ReadOnly);
        Statement changed(copy, QStringLiteral("SELECT count(*) FROM tjs WHERE cjs_zzm = 'after'"));
        if (!changed.step() || changed.value(0).toInt() != 0)
            die(QStringLiteral("the backup holds a save made after it began"));
        copy.close();
        QFile::remove(copyPath);
    }
    db.exec(QStringLiteral("UPDATE tjs SET cjs_zzm = 'before' WHERE cjs_zzm = 'after'"));
    if (saves.empty())
        die(QStringLiteral("no save was made while the copy ran"));
    std::sort(saves.begin(), saves.end());
    std::printf("%.3f %.3f %.1f %zu\n", saves[saves.size() / 2], saves.back(), copyMs, saves.size());
    return 0;
}

struct Figures
{
    std::vector<double> median;
    std::vector<double> slowest;
    std::vector<double> copy;
    std::vector<double> count;
};

double medianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString spreadOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return QStringLiteral("%1..%2").arg(values.front(), 0, 'f', 2).arg(values.back(), 0, 'f', 2);
}

Figures runRounds(const QString& self, const QString& library, bool withBackup, int rounds)
{
    Figures figures;
    for (int round = 0; round < rounds; ++round) {
        QProcess child;
        child.start(self,
            {QStringLiteral("--round"), library,
                withBackup ? QStringLiteral("backup") : QStringLiteral("bare")});
        if (!child.waitForFinished(600000) || child.exitCode() != 0)
            die(QStringLiteral("a round failed: %1").arg(QString::fromUtf8(child.readAllStandardError())));
        const QStringList values = QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char(' '));
        if (values.size() != 4)
            die(QStringLiteral("a round printed nothing useful"));
        figures.median.push_back(values[0].toDouble());
        figures.slowest.push_back(values[1].toDouble());
        figures.copy.push_back(values[2].toDouble());
        figures.count.push_back(values[3].toDouble());
    }
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--round"))
        return runRound(args[2], args[3] == QLatin1String("backup"));
    const Options options = parseOptions(args);

    QTemporaryDir folder;
    const QString library = folder.filePath(QStringLiteral("qvlb.db"));
    QElapsedTimer made;
    made.start();
    makeLibrary(library, options.megabytes);
    std::printf("library: %.0f MB, made in %.1f s; %d rounds of each kind, each a fresh process\n",
        double(QFile(library).size()) / (1 << 20), double(made.elapsed()) / 1000, options.rounds);

    const QString self = QCoreApplication::applicationFilePath();
    // Taken in turns, so that the machine's moods fall on both alike.
    Figures bare;
    Figures backup;
    for (int round = 0; round < options.rounds; ++round) {
        const Figures b = runRounds(self, library, false, 1);
        const Figures w = runRounds(self, library, true, 1);
        for (auto [to, from] : {std::pair {&bare, &b}, std::pair {&backup, &w}}) {
            to->median.push_back(from->median[0]);
            to->slowest.push_back(from->slowest[0]);
            to->copy.push_back(from->copy[0]);
            to->count.push_back(from->count[0]);
        }
    }
    std::printf(
        "copy of the library while saving: median %.0f ms (spread %s ms), %.0f saves made meanwhile\n",
        medianOf(backup.copy), qPrintable(spreadOf(backup.copy)), medianOf(backup.count));
    std::printf("save, bare:               median %.2f ms (spread %s), slowest %.2f ms (spread %s)\n",
        medianOf(bare.median), qPrintable(spreadOf(bare.median)), medianOf(bare.slowest),
        qPrintable(spreadOf(bare.slowest)));
    std::printf("save, backup being made:  median %.2f ms (spread %s), slowest %.2f ms (spread %s)\n",
        medianOf(backup.median), qPrintable(spreadOf(backup.median)), medianOf(backup.slowest),
        qPrintable(spreadOf(backup.slowest)));
    std::printf("ratio to bare: median save %.2f, slowest save %.2f\n",
        medianOf(backup.median) / medianOf(bare.median), medianOf(backup.slowest) / medianOf(bare.slowest));
    return 0;
}
