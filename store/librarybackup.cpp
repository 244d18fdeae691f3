#include "librarybackup.h"

#include "base/feylumeerror.h"
#include "database.h"
#include "statements.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QThread>

namespace {
const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss");
// 256 pages of the usual 4 KB: a millisecond or two of reading per step.
constexpr int kPagesPerStep = 256;
constexpr int kBusyPauseMs = 5;

QString withSeparator(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// A second backup within the same second gets a number after the time.
QString freeName(const QString& folder, const QDateTime& made)
{
    QString path = withSeparator(folder) + LibraryBackup::fileNameFor(made);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path
            = withSeparator(folder) + QStringLiteral("qvlb-%1-%2.db").arg(made.toString(kStampFormat)).arg(n);
    return path;
}
} // namespace

QString LibraryBackup::fileNameFor(const QDateTime& made)
{
    return QStringLiteral("qvlb-%1.db").arg(made.toString(kStampFormat));
}

QList<LibraryBackup::Entry> LibraryBackup::list(const QString& folder)
{
    static const QRegularExpression name(QStringLiteral("^qvlb-(\\d{8}-\\d{6})(?:-(\\d+))?\\.db$"));
    struct Found
    {
        Entry entry;
        int number;
    };
    QList<Found> found;
    const QDir dir(folder);
    for (const QString& file : dir.entryList({QStringLiteral("qvlb-*.db")}, QDir::Files)) {
        const QRegularExpressionMatch match = name.match(file);
        if (!match.hasMatch())
            continue;
        const QDateTime made = QDateTime::fromString(match.captured(1), kStampFormat);
        if (made.isValid())
            found.append({{dir.filePath(file), made}, match.captured(2).toInt()});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.entry.made != b.entry.made ? a.entry.made > b.entry.made : a.number > b.number;
    });
    QList<Entry> entries;
    for (const Found& each : found)
        entries.append(each.entry);
    return entries;
}

void LibraryBackup::prune(const QString& folder, int keep)
{
    const QList<Entry> entries = list(folder);
    for (qsizetype i = keep; i < entries.size(); ++i)
        QFile::remove(entries[i].path);
}

QString LibraryBackup::copy(
    const QString& libraryPath, const QString& folder, const QDateTime& made, const std::atomic_bool* cancel)
{
    if (!QDir().mkpath(folder))
        throw FeylumeError(QStringLiteral("无法建立备份文件夹 %1").arg(QDir::toNativeSeparators(folder)));
    QString target = freeName(folder, made);
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    try {
        Database source;
        source.open(libraryPath, Database::OpenMode::ReadOnly);
        {
            Database copy;
            copy.open(partial, Database::OpenMode::CreateIfMissing);
            OnlineBackup backup(copy, source);
            for (;;) {
                if (cancel && cancel->load())
                    throw FeylumeError(QStringLiteral("备份已取消"));
                const OnlineBackup::Progress progress = backup.step(kPagesPerStep);
                if (progress == OnlineBackup::Progress::Done)
                    break;
                if (progress == OnlineBackup::Progress::SourceBusy)
                    QThread::msleep(kBusyPauseMs);
            }
        }
        if (!QFile::rename(partial, target))
            throw FeylumeError(QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(target)));
    } catch (...) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
        throw;
    }
    return target;
}

namespace {
void copyBytes(const QString& from, const QString& to)
{
    QFile source(from);
    QSaveFile target(to);
    if (!source.open(QIODevice::ReadOnly))
        throw FeylumeError(QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(from)));
    if (!target.open(QIODevice::WriteOnly))
        throw FeylumeError(QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(to)));
    constexpr qint64 kChunk = 1 << 20;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(kChunk);
        if (chunk.isEmpty() || target.write(chunk) != chunk.size())
            throw FeylumeError(QStringLiteral("Cannot write file %1").arg(QDir::toNativeSeparators(to)));
    }
    if (!target.commit())
        throw FeylumeError(QStringLiteral("Cannot write file %1").arg(QDir::toNativeSeparators(to)));
}
} // namespace

QString LibraryBackup::copyFile(const QString& libraryPath, const QString& folder, const QDateTime& made)
{
    if (!QDir().mkpath(folder))
        throw FeylumeError(QStringLiteral("无法建立备份文件夹 %1").arg(QDir::toNativeSeparators(folder)));
    QString target = freeName(folder, made);
    copyBytes(libraryPath, target);
    return target;
}

void LibraryBackup::putInPlace(const QString& backupPath, const QString& libraryPath)
{
    copyBytes(backupPath, libraryPath);
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(libraryPath + QLatin1String(suffix));
}

int LibraryBackup::countScripts(const QString& path)
{
    try {
        Database db;
        db.open(path, Database::OpenMode::ReadOnly);
        Statement count(db, Statements::kScriptCount);
        return count.step() ? count.value(0).toInt() : -1;
    } catch (const FeylumeError&) {
        return -1;
    }
}

namespace {
struct Limit
{
    QDeadlineTimer deadline;
    const std::atomic_bool* cancel;
};

bool stopAtLimit(const Limit& limit)
{
    return limit.deadline.hasExpired() || (limit.cancel && limit.cancel->load());
}

QString check(const QString& path, const QString& sql, Limit* limit, bool* completed)
{
    Database db;
    db.open(path, Database::OpenMode::ReadOnly);
    if (limit)
        db.setInterruptCheck([limit] { return stopAtLimit(*limit); });
    if (completed)
        *completed = true;
    try {
        Statement check(db, sql);
        if (!check.step())
            return db.errorMessage();
        const QString verdict = check.value(0).toString();
        return verdict == QLatin1String("ok") ? QString() : verdict;
    } catch (const FeylumeError& error) {
        if (failureKind(error.code()) != FailureKind::Interrupted)
            return error.message();
        if (completed)
            *completed = false;
        return {};
    }
}
} // namespace

QString LibraryBackup::integrityProblem(const QString& path)
{
    return check(path, Statements::kIntegrityCheck, nullptr, nullptr);
}

QString LibraryBackup::quickProblem(
    const QString& path, int limitMs, bool* completed, const std::atomic_bool* cancel)
{
    Limit limit {QDeadlineTimer(limitMs), cancel};
    return check(path, Statements::kQuickCheck, &limit, completed);
}
