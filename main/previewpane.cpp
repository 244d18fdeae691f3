// The preview: the code editor's current text written to the preview file and shown in the
// "预览" page or handed to the desktop's default browser.

#include "previewpane.h"

#include "base/feylumeerror.h"
#include "currentscript.h"
#include "dbctrls/datasource.h"
#include "dbctrls/dbmemo.h"
#include "pageview.h"
#include "statuspanels.h"
#include "store/appplaces.h"
#include "text/previewfile.h"
#include "widgets/errorguard.h"
#include "widgets/shellopen.h"
#include "widgets/statusbar.h"

#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTextDocument>

namespace {
constexpr int kCodePage = 0;
constexpr int kPreviewPage = 1;
} // namespace

PreviewPane::PreviewPane(const Parts& parts, CurrentScript& current, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
    , m_current(current)
{
    // A script's code is shown: the user has chosen one to look at, or is writing one.
    m_parts.pageView->setPreviewLikely([code = m_parts.codeMemo] { return !code->document()->isEmpty(); });
    connect(m_parts.pages, &QTabWidget::currentChanged, this, guard([this] { followTurnedPage(); }));
    connect(m_parts.pageView, &PageView::navigationFailed, this,
        [](const QString& message) { showDefaultErrorBox(message); });
    connect(
        m_current.source(), &DataSource::activeChange, this, guard([this] { leaveAnotherScriptsPage(); }));
    connect(m_current.source(), &DataSource::dataChange, this, guard([this](const QString& fieldName) {
        if (fieldName.isEmpty())
            leaveAnotherScriptsPage();
    }));
}

PreviewPane::ShownScript PreviewPane::currentScript() const
{
    const QString name = m_current.shownName();
    return {name.isEmpty() ? QByteArray() : m_current.storedName().bytes(), name};
}

void PreviewPane::showPage()
{
    writePreviewFile();
    m_shown = currentScript();
    m_parts.pageView->navigate(QUrl::fromLocalFile(m_previewFile), m_shown.name);
}

void PreviewPane::leaveAnotherScriptsPage()
{
    // The page shown is run code: another script's page is never shown under this one's name and
    // fields, nor is this one run unasked (it may show boxes, or take the keys).
    if (m_parts.pages->currentIndex() == kPreviewPage && !m_parts.pageView->address().isEmpty()
        && m_parts.pageView->address().scheme() == QLatin1String("file") && currentScript() != m_shown)
        m_parts.pages->setCurrentIndex(kCodePage);
}

void PreviewPane::writePreviewFile()
{
    m_previewFile = m_parts.places->previewDir + QStringLiteral("temp.htm");
    m_parts.places->providePreviewDir();
    const QByteArray bytes = PreviewFile::encode(m_parts.codeMemo->text());
    QFile file(m_previewFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()
        || !file.flush())
        throw FeylumeError(
            QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(m_previewFile)));
}

void PreviewPane::followTurnedPage()
{
    if (m_parts.pages->currentIndex() == kCodePage) {
        m_parts.statusBar->setPanelText(StatusPanel::Script, QStringLiteral("代码:") + m_current.shownName());
        m_parts.pageView->navigate(QUrl(QStringLiteral("about:blank")));
        return;
    }
    showPage();
    m_parts.statusBar->setPanelText(StatusPanel::Script, QStringLiteral("预览:") + m_current.shownName());
}

void PreviewPane::showQuickPreview()
{
    showPage();
    const bool focusInCode = m_parts.codeMemo->hasFocus();
    {
        // Turned by the program, not by the user: the page-change handler does not run.
        const QSignalBlocker quiet(m_parts.pages);
        m_parts.pages->setCurrentIndex(kPreviewPage);
    }
    if (focusInCode)
        m_parts.pageView->setFocus(Qt::OtherFocusReason);
}

void PreviewPane::openInBrowser()
{
    writePreviewFile();
    ShellOpen::open(QUrl::fromLocalFile(m_previewFile));
}
