#include "webpageengine.h"

#include "enginepreparation.h"
#include "engineswitches.h"
#include "previewpage.h"
#include "renderermemorylimit.h"
#include "windowcomposition.h"

#include <QWebEngineLoadingInfo>
#include <QWebEngineView>

namespace {
// Chromium's code for a load that was cut short by the next one: not a failure to report.
constexpr int kLoadAborted = -3;

QString memoryLimitReason()
{
    return QStringLiteral("页面占用的内存超过了 %1 MB").arg(EngineSwitches::kPageProcessLimitMb);
}

QString endReason(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode)
{
    switch (status) {
    case QWebEnginePage::CrashedTerminationStatus:
        // Running out of the script heap ends the process this way too.
        return QStringLiteral("页面进程崩溃（代码 %1），可能是脚本用尽了允许的内存").arg(exitCode);
    case QWebEnginePage::KilledTerminationStatus:
        return QStringLiteral("页面进程被结束（代码 %1）").arg(exitCode);
    default:
        return QStringLiteral("页面进程异常退出（代码 %1）").arg(exitCode);
    }
}

} // namespace

WebPageEngine::WebPageEngine(QWidget* parent, const Events& events)
    : m_parent(parent)
    , m_events(events)
    , m_view(new QWebEngineView(parent))
{
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    PreviewPage* ready = EnginePreparation::takeReadyPage(parent);
    usePage(ready ? ready : new PreviewPage(PreviewPage::sharedProfile(), parent));
}

WebPageEngine::~WebPageEngine()
{
    // The view goes before the page it shows; a page with a box open goes once the box is gone.
    delete m_view;
    m_page->retire();
}

QWidget* WebPageEngine::widget()
{
    return m_view;
}

void WebPageEngine::load(const QUrl& url, const QString& scriptName)
{
    m_memoryLimit->restart();
    m_page->show(url, scriptName);
}

void WebPageEngine::evaluate(const QString& script, std::function<void(const QVariant&)> answer)
{
    m_page->runJavaScript(script, answer);
}

void WebPageEngine::replacePage()
{
    // Dropping the stuck page ends the renderer it ran in; the new page starts another. A box the
    // stuck page shows runs its event loop inside the page, which must outlive it.
    PreviewPage* stuck = m_page;
    usePage(new PreviewPage(PreviewPage::sharedProfile(), m_parent));
    stuck->disconnect(&m_callbacks);
    stuck->retire();
}

void WebPageEngine::usePage(PreviewPage* page)
{
    m_page = page;
    auto* memoryLimit = new RendererMemoryLimit(page, EngineSwitches::kPageProcessLimitMb);
    m_memoryLimit = memoryLimit;
    QObject::connect(page, &PreviewPage::scriptError, &m_callbacks, [this](const QString& message, int line) {
        if (m_events.scriptError)
            m_events.scriptError(message, line);
    });
    QObject::connect(page, &QWebEnginePage::loadFinished, &m_callbacks, [this](bool ok) {
        if (m_events.loadFinished)
            m_events.loadFinished(ok);
    });
    QObject::connect(
        page, &QWebEnginePage::loadingChanged, &m_callbacks, [this](const QWebEngineLoadingInfo& info) {
            if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus && info.errorCode() != kLoadAborted
                && m_events.loadFailed)
                m_events.loadFailed(info.url(), info.errorString());
        });
    QObject::connect(page, &PreviewPage::dialogsSilenced, &m_callbacks, [this](int shown) {
        if (m_events.dialogsSilenced)
            m_events.dialogsSilenced(shown);
    });
    QObject::connect(page, &QWebEnginePage::renderProcessTerminated, &m_callbacks,
        [this, memoryLimit](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
            if (status == QWebEnginePage::NormalTerminationStatus || !m_events.pageEnded)
                return;
            m_events.pageEnded(
                memoryLimit->endedTheProcess() ? memoryLimitReason() : endReason(status, exitCode));
        });
    m_view->setPage(page);
}

extern "C" Q_DECL_EXPORT PageEngine* feylumeCreatePageEngine(
    QWidget* parent, const PageEngine::Events& events)
{
    EnginePreparation::prepareAll();
    const QStringList refused = EnginePreparation::takeRefusedSwitches();
    WindowComposition::prepare(parent->window());
    auto* engine = new WebPageEngine(parent, events);
    if (!refused.isEmpty() && events.engineNotice)
        events.engineNotice(QStringLiteral("已忽略启动参数 %1：预览页面必须在单独的进程中运行，"
                                           "以免页面用尽内存或崩溃时连同程序和未保存的修改一起结束。")
                                .arg(refused.join(QLatin1Char(' '))));
    return engine;
}

extern "C" Q_DECL_EXPORT bool feylumePreparePageEngine()
{
    return EnginePreparation::prepareNextPart();
}

extern "C" Q_DECL_EXPORT void feylumePreparePageEngineAside()
{
    EnginePreparation::prepareAside();
}
