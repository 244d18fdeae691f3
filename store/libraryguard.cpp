#include "libraryguard.h"

#include "base/feylumeerror.h"
#include "librarybackup.h"

#include <QFile>
#include <QThread>

LibraryGuard::LibraryGuard(QObject* parent)
    : QObject(parent)
{ }

LibraryGuard::~LibraryGuard()
{
    stop();
}

bool LibraryGuard::isBusy() const
{
    return m_thread && !m_thread->isFinished();
}

void LibraryGuard::stop()
{
    if (!m_thread)
        return;
    m_stop = true;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_stop = false;
}

void LibraryGuard::start(const QString& libraryPath, const QString& backupFolder, int checkLimitMs)
{
    if (isBusy())
        return;
    stop();
    // Results are handed to this object's thread; emitted from there, they reach receivers as
    // any signal of the user-interface thread does.
    auto report = [this](auto emitter) { QMetaObject::invokeMethod(this, emitter, Qt::QueuedConnection); };
    auto damage = [this, report](const QString& problem) {
        report([this, problem] {
            emit damaged(problem);
            emit finished();
        });
    };
    m_thread = QThread::create([this, libraryPath, backupFolder, checkLimitMs, report, damage] {
        // The check reads the copy, not the library: checking holds its file for the whole
        // read, and on the library that would keep every save waiting. The copy holds the
        // library's pages as they are, damage and all.
        QString path;
        try {
            path = LibraryBackup::copy(libraryPath, backupFolder, QDateTime::currentDateTime(), &m_stop);
        } catch (const FeylumeError& error) {
            if (m_stop)
                return;
            // A library too damaged to copy is told as damage, not as a failed backup.
            bool completed = false;
            QString problem;
            try {
                problem = LibraryBackup::quickProblem(libraryPath, checkLimitMs, &completed, &m_stop);
            } catch (const FeylumeError&) { }
            if (!problem.isEmpty() && checkLimitMs > 0)
                return damage(problem);
            const QString& message = error.message();
            report([this, message] {
                emit backupFailed(message);
                emit finished();
            });
            return;
        }
        if (checkLimitMs > 0) {
            bool completed = false;
            QString problem;
            try {
                problem = LibraryBackup::quickProblem(path, checkLimitMs, &completed, &m_stop);
            } catch (const FeylumeError& error) {
                problem = error.message();
            }
            if (m_stop)
                return;
            if (!problem.isEmpty()) {
                // A damaged copy is no way back, and must not push a sound one out.
                QFile::remove(path);
                return damage(problem);
            }
        }
        report([this, path] {
            emit backedUp(path);
            emit finished();
        });
    });
    m_thread->setObjectName(QStringLiteral("LibraryGuard"));
    m_thread->start(QThread::LowPriority);
}
