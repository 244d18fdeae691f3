#include "webpageengine.h"

#include "previewpage.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>

// Qt's own modules set the context that every other context shares with through this; it is not
// in the public headers. A program that links the engine has it made at start-up; loaded later,
// the engine finds none and must be given one before its first view.
void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace {
// Chromium's code for a load that was cut short by the next one: not a failure to report.
constexpr int kLoadAborted = -3;

QOpenGLContext* sharedContext = nullptr;

void dropSharedContext()
{
    qt_gl_set_global_share_context(nullptr);
    delete sharedContext;
    sharedContext = nullptr;
}

void shareOpenGlContext()
{
    if (QOpenGLContext::globalShareContext())
        return;
    sharedContext = new QOpenGLContext;
    sharedContext->setFormat(QSurfaceFormat::defaultFormat());
    sharedContext->create();
    qt_gl_set_global_share_context(sharedContext);
    qAddPostRoutine(dropSharedContext);
}
} // namespace

WebPageEngine::WebPageEngine(QWidget* parent, const Events& events)
    : m_parent(parent)
    , m_events(events)
    , m_view(new QWebEngineView(parent))
{
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    usePage(new PreviewPage(PreviewPage::sharedProfile(), parent));
}

WebPageEngine::~WebPageEngine()
{
    // The view goes before the page it shows.
    delete m_view;
    delete m_page;
}

QWidget* WebPageEngine::widget()
{
    return m_view;
}

void WebPageEngine::load(const QUrl& url)
{
    m_page->show(url);
}

void WebPageEngine::evaluate(const QString& script, std::function<void(const QVariant&)> answer)
{
    m_page->runJavaScript(script, answer);
}

void WebPageEngine::replacePage()
{
    // Dropping the stuck page ends the renderer it ran in; the new page starts another.
    PreviewPage* stuck = m_page;
    usePage(new PreviewPage(PreviewPage::sharedProfile(), m_parent));
    stuck->disconnect(&m_callbacks);
    stuck->deleteLater();
}

void WebPageEngine::usePage(PreviewPage* page)
{
    m_page = page;
    QObject::connect(page, &PreviewPage::scriptError, &m_callbacks, [this](const QString& message, int line) {
        if (m_events.scriptError)
            m_events.scriptError(message, line);
    });
    QObject::connect(page, &QWebEnginePage::loadFinished, &m_callbacks, [this](bool ok) {
        if (m_events.loadFinished)
            m_events.loadFinished(ok);
    });
    QObject::connect(page, &QWebEnginePage::loadingChanged, &m_callbacks, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus && info.errorCode() != kLoadAborted
            && m_events.loadFailed)
            m_events.loadFailed(info.url(), info.errorString());
    });
    m_view->setPage(page);
}

extern "C" Q_DECL_EXPORT PageEngine* feylumeCreatePageEngine(QWidget* parent, const PageEngine::Events& events)
{
    shareOpenGlContext();
    return new WebPageEngine(parent, events);
}
