#pragma once

#include <QUrl>
#include <QWidget>

class PreviewPage;
class QLabel;
class QTimer;
class QWebEngineView;

// The preview page's place in the "预览" tab. The HTML engine behind it is started by the first
// address that needs it, not with the window, so that a start that never previews does not pay
// for it in time or memory; until then the place shows an empty white page, which is what
// about:blank shows too. The first script error of the page shown appears on a line under it.
class PageView : public QWidget
{
    Q_OBJECT
public:
    explicit PageView(QWidget* parent);
    ~PageView() override;

    // Shows about:blank or a local file. Returns at once; the page loads by itself. A page whose
    // scripts no longer answer is replaced by a fresh one rather than waited for.
    void navigate(const QUrl& url);
    const QUrl& address() const { return m_address; }

    bool hasEngine() const { return m_view != nullptr; }
    QWebEngineView* engineView() const { return m_view; }
    // The line under the view: the first script error of the page shown, empty when none.
    QString scriptErrorText() const;

signals:
    void loadFinished(bool ok);
    // The engine refused or failed to show an address the program gave it.
    void navigationFailed(const QString& message);

private:
    void startEngine();
    void usePage(PreviewPage* page);
    void replacePage();
    void loadAddress();
    void showScriptError(const QString& message, int line);

    QWebEngineView* m_view = nullptr;
    PreviewPage* m_page = nullptr;
    QLabel* m_scriptError;
    // Runs while the page is asked whether its scripts still answer.
    QTimer* m_answerWait;
    QUrl m_address;
    quint64 m_navigation = 0;
    bool m_pageHasContent = false;
};
