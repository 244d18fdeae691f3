#include "libraryguard.h"

#include "base/feylumeerror.h"
#include "librarybackup.h"
#include "librarydiagnosis.h"
#include "pagesnapshot.h"

#include <QCoreApplication>
#include <QDir>
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

void LibraryGuard::waitForWork()
{
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_stop = false;
}

void LibraryGuard::stop()
{
    m_stop = true;
    waitForWork();
    m_snapshot.reset();
    m_stop = false;
}

void LibraryGuard::report(const std::function<void()>& emitter)
{
    // Results are handed to this object's thread; emitted from there, they reach receivers as
    // any signal of the user-interface thread does.
    QMetaObject::invokeMethod(
        this,
        [this, emitter] {
            emitter();
            emit finished();
        },
        Qt::QueuedConnection);
}

void LibraryGuard::run(std::function<void()> work)
{
    m_thread = QThread::create(std::move(work));
    m_thread->setObjectName(QStringLiteral("LibraryGuard"));
    m_thread->start(QThread::LowPriority);
}

void LibraryGuard::watch(const QString& libraryPath, const QString& backupFolder, int checkLimitMs)
{
    stop();
    m_libraryPath = libraryPath;
    m_backupFolder = backupFolder;
    m_checkLimitMs = checkLimitMs;
    m_backupBegun = false;
    m_folderProblem.clear();
    if (QDir().mkpath(backupFolder)) {
        LibraryBackup::removeLeftovers(backupFolder);
        const QString piece
            = QDir(backupFolder)
                  .filePath(QStringLiteral("qvlb-run-%1.part").arg(QCoreApplication::applicationPid()));
        m_snapshot = std::make_shared<PageSnapshot>(libraryPath, piece);
    } else {
        m_folderProblem = QStringLiteral("无法建立备份文件夹 %1").arg(QDir::toNativeSeparators(backupFolder));
    }
    if (checkLimitMs <= 0)
        return;
    run([this, libraryPath, checkLimitMs] {
        // Reading holds the library for the whole check, and a save would wait for it: the
        // check lets go as soon as a change is on its way, and is not made again.
        const QString problem = LibraryDiagnosis::problemOf(libraryPath, checkLimitMs, &m_stop);
        if (!problem.isEmpty() && !m_stop)
            report([this, problem] { emit damaged(problem); });
    });
}

void LibraryGuard::giveWayToChange()
{
    if (!m_backupBegun)
        m_stop = true;
}

void LibraryGuard::backUpBeforeChange()
{
    if (std::exchange(m_backupBegun, true))
        return;
    m_stop = true;
    waitForWork();
    if (!m_folderProblem.isEmpty()) {
        report([this, message = m_folderProblem] { emit backupFailed(message); });
        return;
    }
    if (!m_snapshot)
        return;
    const QDateTime made = QDateTime::currentDateTime();
    run([this, snapshot = m_snapshot, made] {
        QString path;
        try {
            snapshot->fillIn(&m_stop);
            snapshot->finish();
            path = QDir(m_backupFolder).filePath(LibraryBackup::fileNameFor(m_backupFolder, made));
            if (!QFile::rename(snapshot->copyPath(), path))
                throw FeylumeError(QStringLiteral("无法建立文件 %1").arg(QDir::toNativeSeparators(path)));
        } catch (const FeylumeError& error) {
            if (!m_stop)
                report([this, message = error.message()] { emit backupFailed(message); });
            return;
        }
        QString problem;
        if (m_checkLimitMs > 0) {
            bool completed = false;
            try {
                problem = LibraryBackup::quickProblem(path, m_checkLimitMs, &completed, &m_stop);
            } catch (const FeylumeError& error) {
                problem = error.message();
            }
        }
        if (!problem.isEmpty()) {
            // The copy holds the library's pages as they were, damage and all: kept for what can
            // still be read from it, never counted as a way back.
            problem = LibraryDiagnosis::describeCheck(path, problem);
            path = LibraryBackup::markDamaged(path);
        }
        LibraryBackup::dropOlderCopiesOf(path, &m_stop);
        LibraryBackup::prune(m_backupFolder);
        report([this, path, problem] {
            emit backedUp(path);
            if (!problem.isEmpty())
                emit damaged(problem);
        });
    });
}

void LibraryGuard::finishBackup()
{
    if (!m_backupBegun) {
        // A run that changed nothing leaves nothing; one whose first write got ahead of the
        // word about it still gets its backup.
        if (m_snapshot && m_snapshot->begun())
            backUpBeforeChange();
        else
            m_stop = true;
    }
    waitForWork();
    m_snapshot.reset();
}
