#include "connection.h"

#include "base/feylumeerror.h"
#include "schema.h"

#include <QDeadlineTimer>
#include <QDir>

#include <sqlite3.h>

namespace {
constexpr int kLockPollMs = 10;

int waitUntilDeadline(void* deadline, int)
{
    if (static_cast<QDeadlineTimer*>(deadline)->hasExpired())
        return 0;
    sqlite3_sleep(kLockPollMs);
    return 1;
}

void rowChanged(void* connection, int, const char*, const char*, sqlite3_int64)
{
    static_cast<Connection*>(connection)->notifyChange();
}

bool isLocked(const Database& db)
{
    const int code = sqlite3_extended_errcode(db.handle()) & 0xff;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}
} // namespace

void Connection::open()
{
    if (m_db.isOpen())
        return;
    try {
        if (m_path.isEmpty())
            throw FeylumeError(QStringLiteral("no library file given"));
        m_db.open(m_path, Database::OpenMode::ExistingOnly);
        verifyWithinWait();
        sqlite3_update_hook(m_db.handle(), rowChanged, this);
    } catch (const FeylumeError& error) {
        m_db.close();
        throw FeylumeError(QStringLiteral("%1 (%2)").arg(error.message(), QDir::toNativeSeparators(m_path)));
    }
}

void Connection::verifyWithinWait()
{
    // Reading the catalogue is the first read, so it is where a lock held elsewhere shows.
    QDeadlineTimer deadline(m_openWaitLeftMs);
    sqlite3_busy_handler(m_db.handle(), waitUntilDeadline, &deadline);
    try {
        Schema::verify(m_db);
    } catch (const FeylumeError& error) {
        if (!isLocked(m_db))
            throw;
        m_openWaitLeftMs = int(std::max<qint64>(0, deadline.remainingTime()));
        throw FeylumeError(QStringLiteral("数据库文件被其他程序锁定 (%1)").arg(error.message()));
    }
    m_openWaitLeftMs = kOpenWaitMs;
    sqlite3_busy_timeout(m_db.handle(), Database::kBusyTimeoutMs);
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
