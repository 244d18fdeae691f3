// The preview: the code editor's current text written to the preview file and shown in the
// "预览" page or handed to the desktop's default browser.

#include "base/feylumeerror.h"
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

void TForm1::setUpPreview()
{
    connect(PageControl1, &QTabWidget::currentChanged, this, guard([this] { PageControl1Change(); }));
    connect(web1, &PageView::navigationFailed, this,
        [](const QString& message) { showDefaultErrorBox(message); });
}

void TForm1::WritePreviewFile()
{
    PreviewFileName = Places.previewDir + QStringLiteral("temp.htm");
    const QByteArray bytes = PreviewFile::encode(DBMemo2->text());
    QFile file(PreviewFileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()
        || !file.flush())
        throw FeylumeError(
            QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(PreviewFileName)));
}

void TForm1::PageControl1Change()
{
    if (PageControl1->currentIndex() == kCodePage) {
        setPanelText(ScriptPanel, QStringLiteral("代码:") + openScriptName());
        web1->navigate(QUrl(QStringLiteral("about:blank")));
        return;
    }
    WritePreviewFile();
    web1->navigate(QUrl::fromLocalFile(PreviewFileName), openScriptName());
    setPanelText(ScriptPanel, QStringLiteral("预览:") + openScriptName());
}

void TForm1::N14Click()
{
    WritePreviewFile();
    web1->navigate(QUrl::fromLocalFile(PreviewFileName), CurrentScriptName);
    const bool focusInCode = DBMemo2->hasFocus();
    {
        // Turned by the program, not by the user: the page-change handler does not run.
        const QSignalBlocker quiet(PageControl1);
        PageControl1->setCurrentIndex(kPreviewPage);
    }
    if (focusInCode)
        web1->setFocus(Qt::OtherFocusReason);
}

void TForm1::ActIEExecute()
{
    WritePreviewFile();
    ShellOpen::open(QUrl::fromLocalFile(PreviewFileName));
}
