// The preview: the code editor's current text written to the preview file and shown in the
// "预览" page or handed to the desktop's default browser.

#include "previewpane.h"

#include "base/feylumeerror.h"
#include "dbctrls/datasource.h"
#include "dbctrls/dbmemo.h"
#include "form1.h"
#include "pageview.h"
#include "text/previewfile.h"
#include "widgets/errorguard.h"
#include "widgets/shellopen.h"

#include <QDir>
#include <QFile>
#include <QTabWidget>

namespace {
constexpr int kCodePage = 0;
constexpr int kPreviewPage = 1;
} // namespace

PreviewPane::PreviewPane(TForm1& form)
    : QObject(&form)
    , m_form(form)
{
    connect(m_form.PageControl1, &QTabWidget::currentChanged, this, guard([this] { PageControl1Change(); }));
    connect(m_form.web1, &PageView::navigationFailed, this,
        [](const QString& message) { showDefaultErrorBox(message); });
    connect(m_form.DataSource1, &DataSource::activeChange, this, guard([this] { currentScriptChanged(); }));
    connect(m_form.DataSource1, &DataSource::dataChange, this, guard([this](const QString& fieldName) {
        if (fieldName.isEmpty())
            currentScriptChanged();
    }));
}

PreviewPane::ShownScript PreviewPane::currentScript() const
{
    const QString name = m_form.openScriptName();
    return {name.isEmpty() ? QByteArray() : m_form.CurrentScriptStoredName.bytes(), name};
}

void PreviewPane::showPage()
{
    WritePreviewFile();
    m_shown = currentScript();
    m_form.web1->navigate(QUrl::fromLocalFile(m_form.PreviewFileName), m_shown.name);
}

void PreviewPane::currentScriptChanged()
{
    leaveAnotherScriptsPage();
}

void PreviewPane::leaveAnotherScriptsPage()
{
    // The page shown is run code: another script's page is never shown under this one's name and
    // fields, nor is this one run unasked (it may show boxes, or take the keys).
    if (m_form.PageControl1->currentIndex() == kPreviewPage && !m_form.web1->address().isEmpty()
        && m_form.web1->address().scheme() == QLatin1String("file") && currentScript() != m_shown)
        m_form.PageControl1->setCurrentIndex(kCodePage);
}

void PreviewPane::WritePreviewFile()
{
    m_form.PreviewFileName = m_form.Places.previewDir + QStringLiteral("temp.htm");
    m_form.Places.providePreviewDir();
    const QByteArray bytes = PreviewFile::encode(m_form.DBMemo2->text());
    QFile file(m_form.PreviewFileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()
        || !file.flush())
        throw FeylumeError(
            QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(m_form.PreviewFileName)));
}

void PreviewPane::PageControl1Change()
{
    if (m_form.PageControl1->currentIndex() == kCodePage) {
        m_form.setPanelText(TForm1::ScriptPanel, QStringLiteral("代码:") + m_form.openScriptName());
        m_form.web1->navigate(QUrl(QStringLiteral("about:blank")));
        return;
    }
    showPage();
    m_form.setPanelText(TForm1::ScriptPanel, QStringLiteral("预览:") + m_form.openScriptName());
}

void PreviewPane::N14Click()
{
    showPage();
    const bool focusInCode = m_form.DBMemo2->hasFocus();
    {
        // Turned by the program, not by the user: the page-change handler does not run.
        const QSignalBlocker quiet(m_form.PageControl1);
        m_form.PageControl1->setCurrentIndex(kPreviewPage);
    }
    if (focusInCode)
        m_form.web1->setFocus(Qt::OtherFocusReason);
}

void PreviewPane::ActIEExecute()
{
    WritePreviewFile();
    ShellOpen::open(QUrl::fromLocalFile(m_form.PreviewFileName));
}
