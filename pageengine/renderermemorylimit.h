#pragma once

#include <QObject>

class QTimer;
class QWebEnginePage;

// Ends the process a page runs in once it holds more memory than a preview may use. The engine's
// own heap limit covers ordinary script objects only; typed arrays, images and the like live
// outside it, so the process as a whole is watched from here.
class RendererMemoryLimit : public QObject
{
public:
    // Watches the page's process for as long as the page lives; the page owns the limit.
    RendererMemoryLimit(QWebEnginePage* page, int limitMb);

    // Whether the page's process was ended by this limit.
    bool endedTheProcess() const { return m_endedPid != 0; }

private:
    void check();

    QWebEnginePage* m_page;
    qint64 m_limitKb;
    QTimer* m_timer;
    qint64 m_endedPid = 0;
};
