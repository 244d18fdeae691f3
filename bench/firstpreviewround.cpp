#include "firstpreviewround.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTimer>
#include <QWidget>

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

namespace {
// The snippet's dark text on the page's white: a frame shows it once enough of both are there. A
// view not drawn yet is all white, or all black.
bool showsText(const QImage& image)
{
    qint64 white = 0;
    qint64 dark = 0;
    for (int y = 0; y < image.height(); y += 2) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); x += 2) {
            const int gray = qGray(line[x]);
            white += gray > 240;
            dark += gray < 96;
        }
    }
    const qint64 looked = qint64(image.width() / 2) * (image.height() / 2);
    return dark > 20 && white * 2 > looked;
}
} // namespace

qint64 FirstPreviewRound::untilTheTextShows(QWidget* view, const QElapsedTimer& sinceKey)
{
    QEventLoop loop;
    qint64 shownAt = -1;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (showsText(view->grab().toImage().convertToFormat(QImage::Format_RGB32))) {
            shownAt = sinceKey.nsecsElapsed();
            loop.quit();
        }
    });
    look.start(2);
    QTimer::singleShot(kLoadTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    if (shownAt < 0)
        die(QStringLiteral("the page's text never showed"));
    return shownAt;
}

void FirstPreviewRound::report(qint64 loadNs, qint64 frameNs, qint64 startPeakKiB, qint64 beforeKeyKiB,
    qint64 longestStallNs, qint64 longestWarmUpPartNs)
{
    std::printf("first_ns=%lld frame_ns=%lld start_peak_kib=%lld before_key_kib=%lld stall_ns=%lld "
                "warm_part_ns=%lld\n",
        static_cast<long long>(loadNs), static_cast<long long>(frameNs), static_cast<long long>(startPeakKiB),
        static_cast<long long>(beforeKeyKiB), static_cast<long long>(longestStallNs),
        static_cast<long long>(longestWarmUpPartNs));
}
