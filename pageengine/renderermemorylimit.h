#pragma once

#include <QObject>

class QTimer;
class QWebEnginePage;

// Ends the process a page runs in once it holds more memory than a preview may use. The engine's
// own heap limit covers ordinary script objects only; typed arrays, images and the like live
// outside it, so the process as a whole is watched from here. What a page keeps on the browser
// side (blobs, storage) grows the program's own process instead: that growth since the page
// started counts too, and ending the page's process lets it go. The program's own process is
// never ended, whatever the engine reports as the page's.
class RendererMemoryLimit : public QObject
{
public:
    // Watches the page's process for as long as the page lives; the page owns the limit.
    RendererMemoryLimit(QWebEnginePage* page, int limitMb);

    // A new address starts: the program's growth is counted from here.
    void restart();
    // Whether the page's process was ended by this limit.
    bool endedTheProcess() const { return m_endedPid != 0; }

private:
    void check();

    QWebEnginePage* m_page;
    qint64 m_limitKb;
    QTimer* m_timer;
    qint64 m_endedPid = 0;
    qint64 m_programBaseKb = 0;
};
