#pragma once

#include <QObject>
#include <QString>

#include <atomic>

class QThread;

// Looks after the library once in a run, off the user-interface thread and on connections of its
// own: a backup first, made in steps, then a quick check of the backup's pages, given up after a
// time limit. A damaged backup is removed and the damage told. What it finds arrives as signals
// on the thread that started it.
class LibraryGuard : public QObject
{
    Q_OBJECT
public:
    explicit LibraryGuard(QObject* parent = nullptr);
    // Stops the work at its next step and waits for it.
    ~LibraryGuard() override;

    // checkLimitMs 0 skips the check. Does nothing while earlier work is still going; a stopped
    // run leaves nothing behind and tells nothing.
    void start(const QString& libraryPath, const QString& backupFolder, int checkLimitMs);
    bool isBusy() const;
    // Stops the work at its next step and waits for it; a copy cut short leaves nothing.
    void stop();

signals:
    void damaged(const QString& problem);
    void backedUp(const QString& path);
    void backupFailed(const QString& message);
    // After the signals of one start.
    void finished();

private:
    QThread* m_thread = nullptr;
    std::atomic_bool m_stop = false;
};
