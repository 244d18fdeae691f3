#include "previewwarmup.h"

#include "pageview.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace {
// How long the user leaves the program alone before the engine starts: long enough that typing
// and clicking never wait for it.
constexpr int kQuietMs = 1000;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}
} // namespace

PreviewWarmUp::PreviewWarmUp(PageView* view, std::function<bool()> startupDone, QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_startupDone(std::move(startupDone))
    , m_quiet(new QTimer(this))
{
    m_quiet->setSingleShot(true);
    m_quiet->setInterval(kQuietMs);
    connect(m_quiet, &QTimer::timeout, this, &PreviewWarmUp::warmUp);
}

void PreviewWarmUp::request()
{
    // Where nothing is shown on a screen (the offscreen platform), no user waits for a page.
    if (m_view->hasEngine() || m_quiet->isActive()
        || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    qApp->installEventFilter(this);
    m_quiet->start();
}

bool PreviewWarmUp::eventFilter(QObject* watched, QEvent* event)
{
    if (isUserInput(event->type()))
        m_quiet->start();
    return QObject::eventFilter(watched, event);
}

void PreviewWarmUp::warmUp()
{
    if (!m_startupDone() || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        m_quiet->start();
        return;
    }
    qApp->removeEventFilter(this);
    m_view->prepare();
}
