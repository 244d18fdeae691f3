#include "libraryguard.h"

#include "feylumeerror.h"
#include "librarybackup.h"

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
    m_thread = QThread::create([this, libraryPath, backupFolder, checkLimitMs, report] {
        try {
            if (checkLimitMs > 0) {
                bool completed = false;
                const QString problem
                    = LibraryBackup::quickProblem(libraryPath, checkLimitMs, &completed, &m_stop);
                if (m_stop)
                    return;
                if (!problem.isEmpty()) {
                    report([this, problem] {
                        emit damaged(problem);
                        emit finished();
                    });
                    return;
                }
            }
            const QString path
                = LibraryBackup::copy(libraryPath, backupFolder, QDateTime::currentDateTime(), &m_stop);
            report([this, path] {
                emit backedUp(path);
                emit finished();
            });
        } catch (const FeylumeError& error) {
            if (m_stop)
                return;
            const QString message = error.message();
            report([this, message] {
                emit backupFailed(message);
                emit finished();
            });
        }
    });
    m_thread->setObjectName(QStringLiteral("LibraryGuard"));
    m_thread->start(QThread::LowPriority);
}
