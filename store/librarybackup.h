#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <atomic>

// Backups of the library: copies in a folder beside it, named by the time they were made and a
// sequence number (qvlb-YYYYMMDD-HHMMSS-N.db) that orders them as they were made in fact, even
// after the clock was put back. A backup found damaged keeps "-damaged" in its name: it is kept
// for whatever can still be read from it, but never counts among the kKept sound ones.
namespace LibraryBackup {

inline constexpr int kKept = 10;
inline constexpr int kKeptDamaged = 3;

struct Entry
{
    QString path;
    QDateTime made;
    // 0 for a backup named without one.
    qint64 sequence = 0;
    bool damaged = false;
};

// The name for the next backup in the folder.
QString fileNameFor(const QString& folder, const QDateTime& made);
// The backups in the folder, newest first; other files are not backups.
QList<Entry> list(const QString& folder);
// Removes all but the newest `keep` sound backups and the newest kKeptDamaged damaged ones;
// `spare` is never removed.
void prune(const QString& folder, int keep = kKept, const QString& spare = {});
// Gives the backup its damaged name; returns the new path.
QString markDamaged(const QString& path);
// Removes the older backups that hold the same library as `path`, whose timestamps in the
// header aside are the same bytes. Returns how many it removed.
int dropOlderCopiesOf(const QString& path, const std::atomic_bool* cancel = nullptr);
// Removes the pieces of copies that a run ended before it finished them; a piece written in the
// last minute may belong to a copy going on in another window, and stays.
void removeLeftovers(const QString& folder);
// True when the two files hold the same library: the same bytes but for the header's counters.
bool sameLibrary(const QString& a, const QString& b, const std::atomic_bool* cancel = nullptr);

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
