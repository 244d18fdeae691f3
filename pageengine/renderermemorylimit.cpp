#include "renderermemorylimit.h"

#include <QFile>
#include <QTimer>
#include <QWebEnginePage>

#include <signal.h>
#include <unistd.h>

namespace {
// Often enough that a page filling memory as fast as it can gets little past the limit.
constexpr int kCheckIntervalMs = 100;

// What the process holds in memory, resident or swapped out, in KB; -1 when it cannot be read.
qint64 heldKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    qint64 total = 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:") || line.startsWith("VmSwap:"))
            total += line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return total;
}
} // namespace

RendererMemoryLimit::RendererMemoryLimit(QWebEnginePage* page, int limitMb)
    : QObject(page)
    , m_page(page)
    , m_limitKb(qint64(limitMb) * 1024)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(kCheckIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &RendererMemoryLimit::check);
    m_timer->start();
    restart();
}

void RendererMemoryLimit::restart()
{
    m_programBaseKb = heldKb(::getpid());
}

void RendererMemoryLimit::check()
{
    const qint64 pid = m_page->renderProcessPid();
    // A page run inside the program's own process is never ended from here: that would end the
    // program and the user's work with it.
    if (pid <= 0 || pid == m_endedPid || pid == ::getpid())
        return;
    const qint64 programGrowthKb = heldKb(::getpid()) - m_programBaseKb;
    if (heldKb(pid) > m_limitKb || programGrowthKb > m_limitKb) {
        m_endedPid = pid;
        // The engine reports the end through the page, as for any other end of its process.
        ::kill(pid_t(pid), SIGKILL);
    }
}
