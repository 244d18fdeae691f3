#include "firstpreviewround.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

void FirstPreviewRound::die(const QString& message)
{
    std::fprintf(stderr, "feylume-bench-firstpreview: %s\n", qPrintable(message));
    std::exit(2);
}

QString FirstPreviewRound::snippet()
{
    return QStringLiteral("<html><head><meta charset=\"utf-8\"><style>#s{font-size:40px}</style></head>\r\n"
                          "<body><p id=\"s\">飘落的雪花</p><script>\r\n"
                          "var t = 0; setInterval(function () { t++; document.getElementById('s')"
                          ".style.marginLeft = (t % 50) + 'px'; }, 40);\r\n</script></body></html>\r\n");
}

qint64 FirstPreviewRound::memoryKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

qint64 FirstPreviewRound::idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(
        &tick, &QTimer::timeout, &loop, [&] { longest = std::max(longest, sinceTick.restart()); });
    tick.start(2);
    loop.exec();
    return longest * 1000000;
}

void FirstPreviewRound::report(qint64 firstNs, qint64 startPeakKiB, qint64 beforeKeyKiB,
    qint64 longestStallNs, qint64 longestWarmUpPartNs)
{
    std::printf("first_ns=%lld start_peak_kib=%lld before_key_kib=%lld stall_ns=%lld warm_part_ns=%lld\n",
        static_cast<long long>(firstNs), static_cast<long long>(startPeakKiB),
        static_cast<long long>(beforeKeyKiB), static_cast<long long>(longestStallNs),
        static_cast<long long>(longestWarmUpPartNs));
}
