#include "pageview.h"

#include "enginewarmup.h"
#include "pageengine/pageengine.h"
#include "pageengineloader.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// A page busy for longer than this in its own scripts is taken to be stuck.
constexpr int kAnswerWaitMs = 500;
} // namespace

PageView::PageView(QWidget* parent)
    : QWidget(parent)
    , m_warmUp(new EngineWarmUp(this, [this] { return previewLikely(); }))
{
    setAutoFillBackground(true);
    QPalette blank = palette();
    blank.setColor(QPalette::Window, Qt::white);
    setPalette(blank);
    setFocusPolicy(Qt::StrongFocus);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addStretch(1);
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("web1ScriptError"));
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_notice->setWordWrap(true);
    m_notice->setContentsMargins(4, 2, 4, 2);
    m_notice->setStyleSheet(
        QStringLiteral("background: #fff4d6; color: #9c1c00; border-top: 1px solid #d9b44a;"));
    m_notice->hide();
    column->addWidget(m_notice);

    m_answerWait = new QTimer(this);
    m_answerWait->setSingleShot(true);
    m_answerWait->setInterval(kAnswerWaitMs);
    connect(m_answerWait, &QTimer::timeout, this, [this] {
        replacePage();
        loadAddress();
    });
}

PageView::~PageView()
{
    // A page answers its pending questions as it goes; no answer may load anything then.
    m_answerWait->stop();
    m_engine.reset();
}

QString PageView::noticeText() const
{
    return m_notice->text();
}

bool PageView::engineReadiedAhead() const
{
    return m_warmUp->completed() && !m_engine;
}

qint64 PageView::longestPreparationStepNs() const
{
    return m_warmUp->longestPartNs();
}

bool PageView::previewLikely() const
{
    const QWidget* shown = window();
    // Nobody looks at a window drawn off any screen, or at one put away.
    if (!m_previewLikely || QGuiApplication::platformName() == QLatin1String("offscreen")
        || !shown->isVisible() || shown->isMinimized())
        return false;
    return m_previewLikely();
}

void PageView::navigate(const QUrl& url, const QString& scriptName)
{
    m_address = url;
    m_scriptName = scriptName;
    ++m_navigation;
    clearNotices();
    if (!m_engine) {
        if (url.scheme() == QLatin1String("about") || !startEngine(true))
            return;
    }
    if (m_pageEnded) {
        m_answerWait->stop();
        replacePage();
    }
    if (!m_pageHasContent) {
        loadAddress();
        return;
    }
    // A page stuck in an endless script cannot unload; ask it first, and replace it when it
    // does not answer in time.
    const quint64 navigation = m_navigation;
    const QPointer<PageView> self(this);
    const quint64 asked = m_pageNumber;
    m_answerWait->start();
    m_engine->evaluate(QStringLiteral("0"), [self, asked, navigation](const QVariant&) {
        if (!self || self->m_pageNumber != asked || self->m_navigation != navigation
            || !self->m_answerWait->isActive())
            return;
        self->m_answerWait->stop();
        self->loadAddress();
    });
}

void PageView::evaluate(const QString& script, std::function<void(const QVariant&)> answer)
{
    if (m_engine)
        m_engine->evaluate(script, std::move(answer));
}

bool PageView::startEngine(bool reportFailure)
{
    // Whatever is not ready yet is readied now.
    m_warmUp->stop();
    QString reason;
    const CreatePageEngine create = PageEngineLoader::factory(&reason);
    if (!create) {
        if (reportFailure)
            emit navigationFailed(reason);
        return false;
    }
    const QPointer<PageView> self(this);
    PageEngine::Events events;
    events.loadFinished = [self](bool ok) {
        if (self)
            emit self->loadFinished(ok);
    };
    events.loadFailed = [self](const QUrl& url, const QString& message) {
        if (self && url == self->m_address)
            emit self->navigationFailed(message);
    };
    events.scriptError = [self](const QString& message, int line) {
        if (self)
            self->showScriptError(message, line);
    };
    events.dialogsSilenced = [self](int shown) {
        if (self)
            self->showNotice(
                QStringLiteral("页面已弹出 %1 个对话框，此后它的对话框不再显示，直到下次预览。").arg(shown));
    };
    events.pageEnded = [self](const QString& reason) {
        if (!self)
            return;
        self->m_pageEnded = true;
        self->showNotice(QStringLiteral("预览页面已终止：") + reason);
    };
    events.engineNotice = [self](const QString& message) {
        if (self)
            self->showNotice(message);
    };
    m_engine.reset(create(this, events));
    QWidget* view = m_engine->widget();
    view->setObjectName(QStringLiteral("web1Engine"));
    auto* column = static_cast<QVBoxLayout*>(layout());
    // In place of the stretch that kept the error line at the bottom.
    delete column->takeAt(0);
    column->insertWidget(0, view, 1);
    setFocusProxy(view);
    m_pageNumber = 0;
    m_pageHasContent = false;
    m_pageEnded = false;
    return true;
}

void PageView::replacePage()
{
    m_engine->replacePage();
    ++m_pageNumber;
    m_pageHasContent = false;
    m_pageEnded = false;
}

void PageView::loadAddress()
{
    m_pageHasContent = true;
    m_engine->load(m_address, m_scriptName);
}

void PageView::showScriptError(const QString& message, int line)
{
    if (m_scriptErrorShown)
        return;
    m_scriptErrorShown = true;
    showNotice(QStringLiteral("脚本错误（第 %1 行）：%2").arg(line).arg(message));
}

void PageView::showNotice(const QString& text)
{
    const QString shown = m_notice->text();
    m_notice->setText(shown.isEmpty() ? text : shown + QLatin1Char('\n') + text);
    m_notice->show();
}

void PageView::clearNotices()
{
    m_scriptErrorShown = false;
    m_notice->clear();
    m_notice->hide();
}
