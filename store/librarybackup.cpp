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
const QString kDamagedMark = QStringLiteral("-damaged");
// 256 pages of the usual 4 KB: a millisecond or two of reading per step.
constexpr int kPagesPerStep = 256;
constexpr int kBusyPauseMs = 5;
// The header's counters, which a write or a page-by-page copy raises: the change counter, the
// schema cookie and the number the page count was valid for.
constexpr qint64 kChangeCounter = 24;
constexpr qint64 kSchemaCookie = 40;
constexpr qint64 kValidFor = 92;
constexpr qint64 kCounterSize = 4;
constexpr qint64 kCompareChunk = 1 << 20;
// A piece of a copy left alone this long belongs to no copy still going on.
constexpr qint64 kLeftoverAgeSecs = 60;

QString withSeparator(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString freeName(const QString& folder, const QDateTime& made)
{
    return withSeparator(folder) + LibraryBackup::fileNameFor(folder, made);
}

bool sameBytes(QFile& a, QFile& b, const std::atomic_bool* cancel)
{
    for (qint64 at = 0; at < a.size(); at += kCompareChunk) {
        if (cancel && cancel->load())
            return false;
        QByteArray left = a.read(kCompareChunk);
        QByteArray right = b.read(kCompareChunk);
        if (left.size() != right.size())
            return false;
        if (at == 0) {
            for (qint64 counter : {kChangeCounter, kSchemaCookie, kValidFor}) {
                if (left.size() < counter + kCounterSize)
                    break;
                left.replace(counter, kCounterSize, QByteArray(kCounterSize, '\0'));
                right.replace(counter, kCounterSize, QByteArray(kCounterSize, '\0'));
            }
        }
        if (left != right)
            return false;
    }
    return true;
}
} // namespace

QString LibraryBackup::fileNameFor(const QString& folder, const QDateTime& made)
{
    qint64 last = 0;
    for (const Entry& entry : list(folder))
        last = std::max(last, entry.sequence);
    return QStringLiteral("qvlb-%1-%2.db").arg(made.toString(kStampFormat)).arg(last + 1);
}

QList<LibraryBackup::Entry> LibraryBackup::list(const QString& folder)
{
    static const QRegularExpression name(
        QStringLiteral("^qvlb-(\\d{8}-\\d{6})(?:-(\\d+))?(%1)?\\.db$").arg(kDamagedMark));
    QList<Entry> entries;
    const QDir dir(folder);
    for (const QString& file : dir.entryList({QStringLiteral("qvlb-*.db")}, QDir::Files)) {
        const QRegularExpressionMatch match = name.match(file);
        if (!match.hasMatch())
            continue;
        const QDateTime made = QDateTime::fromString(match.captured(1), kStampFormat);
        if (made.isValid())
            entries.append({dir.filePath(file), made, match.captured(2).toLongLong(), match.hasCaptured(3)});
    }
    // The sequence says which was made later; the clock only among backups without one.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.sequence != b.sequence ? a.sequence > b.sequence : a.made > b.made;
    });
    return entries;
}

void LibraryBackup::prune(const QString& folder, int keep, const QString& spare)
{
    int sound = 0;
    int damaged = 0;
    for (const Entry& entry : list(folder)) {
        const bool kept = entry.damaged ? damaged++ < kKeptDamaged : sound++ < keep;
        if (!kept && QFileInfo(entry.path) != QFileInfo(spare))
            QFile::remove(entry.path);
    }
}

QString LibraryBackup::markDamaged(const QString& path)
{
    if (path.endsWith(kDamagedMark + QStringLiteral(".db")))
        return path;
    QString marked = path;
    marked.insert(marked.size() - 3, kDamagedMark);
    return QFile::rename(path, marked) ? marked : path;
}

bool LibraryBackup::sameLibrary(const QString& a, const QString& b, const std::atomic_bool* cancel)
{
    QFile left(a);
    QFile right(b);
    if (!left.open(QIODevice::ReadOnly) || !right.open(QIODevice::ReadOnly) || left.size() != right.size())
        return false;
    return sameBytes(left, right, cancel);
}

int LibraryBackup::dropOlderCopiesOf(const QString& path, const std::atomic_bool* cancel)
{
    const QList<Entry> entries = list(QFileInfo(path).absolutePath());
    const auto self = std::find_if(entries.begin(), entries.end(),
        [&path](const Entry& e) { return QFileInfo(e.path) == QFileInfo(path); });
    if (self == entries.end())
        return 0;
    int dropped = 0;
    for (auto older = self + 1; older != entries.end(); ++older) {
        if (older->damaged == self->damaged && sameLibrary(path, older->path, cancel)
            && QFile::remove(older->path))
            ++dropped;
    }
    return dropped;
}

void LibraryBackup::removeLeftovers(const QString& folder)
{
    const QDir dir(folder);
    const QDateTime now = QDateTime::currentDateTime();
    const QFileInfoList pieces = dir.entryInfoList(
        {QStringLiteral("qvlb-*.part"), QStringLiteral("qvlb-*.part-journal")}, QDir::Files);
    for (const QFileInfo& piece : pieces) {
        // A time in the future is a clock that was put back, not a copy going on.
        const qint64 age = piece.lastModified().secsTo(now);
        if (age > kLeftoverAgeSecs || age < 0)
            QFile::remove(piece.absoluteFilePath());
    }
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
    if (limit) {
        db.setInterruptCheck([limit] { return stopAtLimit(*limit); });
        // A library another program holds locked is not waited for, nor judged.
        db.waitForLocksUntil(QDeadlineTimer(0));
    }
    if (completed)
        *completed = true;
    try {
        Statement check(db, sql);
        if (!check.step())
            return db.errorMessage();
        const QString verdict = check.value(0).toString();
        return verdict == QLatin1String("ok") ? QString() : verdict;
    } catch (const FeylumeError& error) {
        const FailureKind kind = failureKind(error.code());
        if (kind != FailureKind::Interrupted && !(limit && kind == FailureKind::Locked))
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
