#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <atomic>

// Backups of the library: copies made with SQLite's online backup into a folder beside it, named
// by the time they were made (qvlb-YYYYMMDD-HHMMSS.db), the newest kKept of them kept.
namespace LibraryBackup {

inline constexpr int kKept = 10;

struct Entry
{
    QString path;
    QDateTime made;
};

QString fileNameFor(const QDateTime& made);
// The backups in the folder, newest first; other files are not backups.
QList<Entry> list(const QString& folder);
// Removes all but the newest `keep` backups.
void prune(const QString& folder, int keep = kKept);

// Copies the library page by page on connections of its own, so that the program's connection
// is kept waiting at most one step at a time; a change written meanwhile by another connection
// makes the copy start again, so that a finished copy holds the library either before or after
// every change. The copy is written under a temporary name and given its backup name when it is
// complete. Returns the backup's path; throws FeylumeError when it fails or is cancelled, leaving
// nothing behind.
QString copy(const QString& libraryPath, const QString& folder, const QDateTime& made,
    const std::atomic_bool* cancel = nullptr);

// A plain copy of the file under a backup name, for a library too damaged for SQLite to read.
QString copyFile(const QString& libraryPath, const QString& folder, const QDateTime& made);
// Puts the backup's bytes in place of the library file in one step, so that the library is
// never half replaced; the library must not be open. A journal left beside the old file
// belongs to it and goes with it.
void putInPlace(const QString& backupPath, const QString& libraryPath);

// The number of scripts in a backup, or -1 when it cannot be read.
int countScripts(const QString& path);

// The result of a check: empty when the library is sound, else SQLite's first complaint.
// Throws FeylumeError when the file cannot be read at all.
QString integrityProblem(const QString& path);
// The same check limited to the page structure, given up (empty result, `completed` false) after
// `limitMs`: a large library must not keep anyone waiting.
QString quickProblem(
    const QString& path, int limitMs, bool* completed, const std::atomic_bool* cancel = nullptr);

} // namespace LibraryBackup
