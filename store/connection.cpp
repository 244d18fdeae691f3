#include "connection.h"

#include "base/feylumeerror.h"
#include "schema.h"

#include <QDeadlineTimer>
#include <QDir>

void Connection::open()
{
    if (m_db.isOpen())
        return;
    try {
        if (m_path.isEmpty())
            throw FeylumeError(QStringLiteral("no library file given"));
        m_db.open(m_path, Database::OpenMode::ExistingOnly);
        verifyWithinWait();
        m_db.setRowChangeHook([this] { notifyChange(); });
    } catch (const FeylumeError& error) {
        m_db.close();
        throw FeylumeError(QStringLiteral("%1 (%2)").arg(error.message(), QDir::toNativeSeparators(m_path)));
    }
}

void Connection::verifyWithinWait()
{
    // Reading the catalogue is the first read, so it is where a lock held elsewhere shows.
    QDeadlineTimer deadline(m_openWaitLeftMs);
    m_db.waitForLocksUntil(deadline);
    try {
        Schema::verify(m_db);
    } catch (const FeylumeError& error) {
        if (failureKind(m_db.errorCode()) != FailureKind::Locked)
            throw;
        m_openWaitLeftMs = int(std::max<qint64>(0, deadline.remainingTime()));
        throw FeylumeError(QStringLiteral("数据库文件被其他程序锁定 (%1)").arg(error.message()));
    }
    m_openWaitLeftMs = kOpenWaitMs;
    m_db.waitForLocksAsUsual();
}

void Connection::setChangeObserver(std::function<void()> observer)
{
    m_changeObserver = std::move(observer);
}

void Connection::notifyChange() const
{
    if (m_changeObserver)
        m_changeObserver();
}

void Connection::ensureOpen()
{
    if (!m_db.isOpen())
        open();
}
