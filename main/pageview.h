#pragma once

#include <QUrl>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <memory>

class EngineWarmUp;
class PageEngine;
class QLabel;
class QTimer;

// The preview page's place in the "预览" tab. The HTML engine behind it is started by the first
// address that needs it, not with the window, so that a start that never previews does not pay
// for it in time or memory; until then the place shows an empty white page, which is what
// about:blank shows too. Once the window shows a script's code and the user leaves it idle, a
// preview is likely, and the engine is readied ahead in parts (EngineWarmUp). A line under it tells what the
// page shown did that the user would not see otherwise: its first script error, boxes it was refused, an
// early end of its process.
class PageView : public QWidget
{
    Q_OBJECT
public:
    explicit PageView(QWidget* parent);
    ~PageView() override;

    // Shows about:blank or a local file, the latter as the named script. Returns at once; the page
    // loads by itself. A page whose scripts no longer answer, or whose process ended, is replaced
    // by a fresh one rather than waited for.
    void navigate(const QUrl& url, const QString& scriptName = QString());
    const QUrl& address() const { return m_address; }

    bool hasEngine() const { return m_engine != nullptr; }
    // Runs a script in the page shown; the answer comes once the page's scripts let it, and
    // never when no page has been shown yet.
    void evaluate(const QString& script, std::function<void(const QVariant&)> answer);
    // The line under the view, empty when the page shown had nothing to tell.
    QString noticeText() const;

    // What makes a preview likely in a window someone looks at (a script's code shown, say): the
    // engine is readied ahead only while it holds and the user leaves the program idle. Until it
    // is given, nothing is readied ahead.
    void setPreviewLikely(std::function<bool()> likely) { m_previewLikely = std::move(likely); }
    // Whether the engine has been readied ahead, and the longest time that held the window, in
    // nanoseconds.
    bool engineReadiedAhead() const;
    qint64 longestPreparationStepNs() const;

signals:
    void loadFinished(bool ok);
    // The engine refused or failed to show an address the program gave it.
    void navigationFailed(const QString& message);

private:
    bool previewLikely() const;
    bool startEngine(bool reportFailure);
    void replacePage();
    void loadAddress();
    void showScriptError(const QString& message, int line);
    void showNotice(const QString& text);
    void clearNotices();

    std::unique_ptr<PageEngine> m_engine;
    EngineWarmUp* m_warmUp;
    std::function<bool()> m_previewLikely;
    // Counts the pages the engine has shown, so that an answer from a replaced page is known.
    quint64 m_pageNumber = 0;
    QLabel* m_notice;
    bool m_scriptErrorShown = false;
    // Runs while the page is asked whether its scripts still answer.
    QTimer* m_answerWait;
    QUrl m_address;
    QString m_scriptName;
    quint64 m_navigation = 0;
    bool m_pageHasContent = false;
    // The page's process is gone; the page can show nothing more.
    bool m_pageEnded = false;
};
