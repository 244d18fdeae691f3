#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class PageSnapshot;
class QThread;

// Looks after the library in a run, off the user-interface thread and on connections of its own.
// At start it checks the library's pages, giving way at once when the program is about to write,
// and holds a snapshot of the library ready (nothing is copied yet). When the run first changes
// the library, the snapshot keeps the pages the change overwrites and the rest is copied in the
// background: the backup is the library before the change, and a run that changes nothing leaves
// none. The backup is then checked, a damaged one marked as such, an older copy of the same
// library dropped and the oldest pruned. What it finds arrives as signals on the thread that
// started it.
class LibraryGuard : public QObject
{
    Q_OBJECT
public:
    explicit LibraryGuard(QObject* parent = nullptr);
    // Stops the work at its next step and waits for it; a copy cut short leaves nothing.
    ~LibraryGuard() override;

    // checkLimitMs 0 skips the check of the library and of its backup.
    void watch(const QString& libraryPath, const QString& backupFolder, int checkLimitMs);
    // The program is about to write: the check lets go of the library at once. Safe to call from
    // inside a statement.
    void giveWayToChange();
    // The run changed the library: completes its backup in the background, once.
    void backUpBeforeChange();
    bool isBusy() const;
    // Waits for a backup begun to be complete; a check is stopped.
    void finishBackup();
    // Stops the work at its next step and waits for it; a copy cut short leaves nothing, and
    // nothing more is backed up until watch() is called again.
    void stop();

signals:
    void damaged(const QString& problem);
    void backedUp(const QString& path);
    void backupFailed(const QString& message);
    // After the signals of one piece of work.
    void finished();

private:
    void run(std::function<void()> work);
    void waitForWork();
    void report(const std::function<void()>& emitter);

    QThread* m_thread = nullptr;
    std::atomic_bool m_stop = false;
    std::shared_ptr<PageSnapshot> m_snapshot;
    QString m_libraryPath;
    QString m_backupFolder;
    QString m_folderProblem;
    int m_checkLimitMs = 0;
    bool m_backupBegun = false;
};
