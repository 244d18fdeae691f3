#include "pageview.h"

#include "previewpage.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {
// A page busy for longer than this in its own scripts is taken to be stuck.
constexpr int kAnswerWaitMs = 500;
// Chromium's code for a load that was cut short by the next one: not a failure to report.
constexpr int kLoadAborted = -3;
} // namespace

PageView::PageView(QWidget* parent)
    : QWidget(parent)
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
    m_scriptError = new QLabel(this);
    m_scriptError->setObjectName(QStringLiteral("web1ScriptError"));
    m_scriptError->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_scriptError->setWordWrap(true);
    m_scriptError->setContentsMargins(4, 2, 4, 2);
    m_scriptError->setStyleSheet(
        QStringLiteral("background: #fff4d6; color: #9c1c00; border-top: 1px solid #d9b44a;"));
    m_scriptError->hide();
    column->addWidget(m_scriptError);

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
    // The view goes before the page it shows.
    delete m_view;
    delete m_page;
}

QString PageView::scriptErrorText() const
{
    return m_scriptError->text();
}

void PageView::navigate(const QUrl& url)
{
    m_address = url;
    ++m_navigation;
    m_scriptError->clear();
    m_scriptError->hide();
    if (!m_view) {
        if (url.scheme() == QLatin1String("about"))
            return;
        startEngine();
    }
    if (!m_pageHasContent) {
        loadAddress();
        return;
    }
    // A page stuck in an endless script cannot unload; ask it first, and replace it when it
    // does not answer in time.
    const quint64 navigation = m_navigation;
    const QPointer<PageView> self(this);
    PreviewPage* asked = m_page;
    m_answerWait->start();
    m_page->runJavaScript(QStringLiteral("0"), [self, asked, navigation](const QVariant&) {
        if (!self || self->m_page != asked || self->m_navigation != navigation
            || !self->m_answerWait->isActive())
            return;
        self->m_answerWait->stop();
        self->loadAddress();
    });
}

void PageView::startEngine()
{
    m_view = new QWebEngineView(this);
    m_view->setObjectName(QStringLiteral("web1Engine"));
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    auto* column = static_cast<QVBoxLayout*>(layout());
    // In place of the stretch that kept the error line at the bottom.
    delete column->takeAt(0);
    column->insertWidget(0, m_view, 1);
    setFocusProxy(m_view);
    usePage(new PreviewPage(PreviewPage::sharedProfile(), this));
}

void PageView::usePage(PreviewPage* page)
{
    m_page = page;
    m_pageHasContent = false;
    connect(page, &PreviewPage::scriptError, this, &PageView::showScriptError);
    connect(page, &QWebEnginePage::loadFinished, this, &PageView::loadFinished);
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus && info.url() == m_address
            && info.errorCode() != kLoadAborted)
            emit navigationFailed(info.errorString());
    });
    m_view->setPage(page);
}

void PageView::replacePage()
{
    // Dropping the stuck page ends the renderer it ran in; the new page starts another.
    PreviewPage* stuck = m_page;
    usePage(new PreviewPage(PreviewPage::sharedProfile(), this));
    stuck->disconnect(this);
    stuck->deleteLater();
}

void PageView::loadAddress()
{
    m_pageHasContent = true;
    m_page->show(m_address);
}

void PageView::showScriptError(const QString& message, int line)
{
    if (!m_scriptError->text().isEmpty())
        return;
    m_scriptError->setText(QStringLiteral("脚本错误（第 %1 行）：%2").arg(line).arg(message));
    m_scriptError->show();
}
