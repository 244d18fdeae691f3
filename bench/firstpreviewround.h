#pragma once

#include <QString>

class QElapsedTimer;
class QWidget;

// What the program's rounds and the bare programs' rounds of the first preview benchmark share:
// the snippet shown, the user's wait before the key, and how a round reports.
namespace FirstPreviewRound {
// What a user takes at least between the window showing and the first F11.
inline constexpr int kUserWaitMs = 3000;
inline constexpr int kLoadTimeoutMs = 30000;

[[noreturn]] void die(const QString& message);
// A small effect, as snippets are: markup, a style and a timer-driven script.
QString snippet();
// A field of /proc/self/status in KiB, such as "VmHWM:" or "VmRSS:".
qint64 memoryKiB(const char* field);
// Lets the program run, as it does while the user reads the window, and returns the longest time
// its event loop did not answer meanwhile: how long a key pressed then would have waited.
qint64 idle(int ms);
// Waits, once the page has loaded, for the view to show the snippet's text, and returns the time
// since the key then: what the user waits for. The view is grabbed as the screen would show it.
qint64 untilTheTextShows(QWidget* view, const QElapsedTimer& sinceKey);
// The round's one line of figures for the benchmark that started it; a bare program readies
// nothing ahead, and its longest part is 0.
void report(qint64 loadNs, qint64 frameNs, qint64 startPeakKiB, qint64 beforeKeyKiB,
    qint64 longestStallNs, qint64 longestWarmUpPartNs = 0);
} // namespace FirstPreviewRound
