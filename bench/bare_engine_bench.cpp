// The bare programs of the first preview benchmark: the same file in the same engine with nothing
// else, in a window whose engine view is made on the key ("bare-lazy") or was made, hidden, at
// start ("bare-at-start"). The engine's libraries are linked in, as a program that shows pages
// from the start would have them. Started by feylume-bench-firstpreview, one round a process.

#include "firstpreviewround.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMainWindow>
#include <QStackedWidget>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineView>

using namespace FirstPreviewRound;

int main(int argc, char** argv)
{
    if (argc != 3)
        die(QStringLiteral("usage: feylume-bench-bareengine bare-lazy|bare-at-start FOLDER"));
    QApplication app(argc, argv);
    const bool viewAtStart = qstrcmp(argv[1], "bare-at-start") == 0;
    const QString path = QString::fromUtf8(argv[2]) + QStringLiteral("temp.htm");

    QMainWindow window;
    auto* pages = new QStackedWidget(&window);
    pages->addWidget(new QWidget(pages));
    window.setCentralWidget(pages);
    QWebEngineView* view = nullptr;
    const auto makeView = [&] {
        // Off the record, as the preview's.
        auto* profile = new QWebEngineProfile(&window);
        view = new QWebEngineView(profile, pages);
        pages->addWidget(view);
    };
    if (viewAtStart)
        makeView();
    window.showMaximized();
    const qint64 startPeak = memoryKiB("VmHWM:");
    const qint64 stall = idle(kUserWaitMs);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(snippet().toUtf8()) < 0)
        die(QStringLiteral("cannot write %1").arg(path));
    file.close();
    const qint64 beforeKey = memoryKiB("VmRSS:");

    QEventLoop loop;
    bool ok = false;
    QElapsedTimer timer;
    timer.start();
    if (!view)
        makeView();
    QObject::connect(view, &QWebEngineView::loadFinished, &loop, [&](bool done) {
        ok = done;
        loop.quit();
    });
    QTimer::singleShot(kLoadTimeoutMs, &loop, &QEventLoop::quit);
    view->load(QUrl::fromLocalFile(path));
    pages->setCurrentWidget(view);
    loop.exec();
    const qint64 elapsed = timer.nsecsElapsed();
    if (!ok)
        die(QStringLiteral("the bare page did not load"));
    report(elapsed, untilTheTextShows(view, timer), startPeak, beforeKey, stall);
    return 0;
}
