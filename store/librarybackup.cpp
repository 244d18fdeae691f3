#include "librarybackup.h"

#include "base/feylumeerror.h"
#include "statements.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <sqlite3.h>

#include <memory>

namespace {
const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss");
// 256 pages of the usual 4 KB: a millisecond or two of reading per step.
constexpr int kPagesPerStep = 256;
constexpr int kBusyPauseMs = 5;

struct ConnectionCloser
{
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Handle = std::unique_ptr<sqlite3, ConnectionCloser>;

Handle openFile(const QString& path, int flags)
{
    sqlite3* db = nullptr;
    const int rc
        = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    Handle handle(db);
    if (rc != SQLITE_OK)
        throw FeylumeError(
            db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc)));
    sqlite3_busy_timeout(db, 2000);
    return handle;
}

QString firstRow(sqlite3* db, const char* sql, int* rc)
{
    sqlite3_stmt* stmt = nullptr;
    *rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    QString value;
    if (*rc == SQLITE_OK) {
        *rc = sqlite3_step(stmt);
        if (*rc == SQLITE_ROW)
            value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    return value;
}

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
    const QString target = freeName(folder, made);
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    try {
        Handle source = openFile(libraryPath, SQLITE_OPEN_READONLY);
        {
            Handle copy = openFile(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            sqlite3_backup* backup = sqlite3_backup_init(copy.get(), "main", source.get(), "main");
            if (!backup)
                throw FeylumeError(QString::fromUtf8(sqlite3_errmsg(copy.get())));
            int rc = SQLITE_OK;
            while (rc != SQLITE_DONE) {
                if (cancel && cancel->load()) {
                    sqlite3_backup_finish(backup);
                    throw FeylumeError(QStringLiteral("备份已取消"));
                }
                rc = sqlite3_backup_step(backup, kPagesPerStep);
                if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                    sqlite3_sleep(kBusyPauseMs);
                else if (rc != SQLITE_OK && rc != SQLITE_DONE)
                    break;
            }
            sqlite3_backup_finish(backup);
            if (rc != SQLITE_DONE)
                throw FeylumeError(QString::fromUtf8(sqlite3_errstr(rc)));
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
    const QString target = freeName(folder, made);
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
        Handle db = openFile(path, SQLITE_OPEN_READONLY);
        int rc = SQLITE_OK;
        const QString count = firstRow(db.get(), Statements::kBackupScriptCount.toUtf8().constData(), &rc);
        return rc == SQLITE_ROW ? count.toInt() : -1;
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

int stopAtLimit(void* limit)
{
    const auto* given = static_cast<const Limit*>(limit);
    return given->deadline.hasExpired() || (given->cancel && given->cancel->load()) ? 1 : 0;
}

QString check(const QString& path, const char* sql, Limit* limit, bool* completed)
{
    Handle db = openFile(path, SQLITE_OPEN_READONLY);
    if (limit)
        sqlite3_progress_handler(db.get(), 1000, stopAtLimit, limit);
    int rc = SQLITE_OK;
    const QString verdict = firstRow(db.get(), sql, &rc);
    if (completed)
        *completed = rc != SQLITE_INTERRUPT;
    if (rc == SQLITE_INTERRUPT)
        return {};
    if (rc != SQLITE_ROW)
        return QString::fromUtf8(sqlite3_errmsg(db.get()));
    return verdict == QLatin1String("ok") ? QString() : verdict;
}
} // namespace

QString LibraryBackup::integrityProblem(const QString& path)
{
    return check(path, Statements::kIntegrityCheck.toUtf8().constData(), nullptr, nullptr);
}

QString LibraryBackup::quickProblem(
    const QString& path, int limitMs, bool* completed, const std::atomic_bool* cancel)
{
    Limit limit {QDeadlineTimer(limitMs), cancel};
    return check(path, Statements::kQuickCheck.toUtf8().constData(), &limit, completed);
}
