#pragma once

#include <QUrl>
#include <QWebEnginePage>

class QWebEngineProfile;

// One previewed snippet, run as untrusted code: its own markup, styles and scripts run, but it
// stays on the address it was given (links elsewhere, other local files and the network are
// refused), opens no windows, and its first script error is reported instead of going to a
// console nobody sees.
class PreviewPage : public QWebEnginePage
{
    Q_OBJECT
public:
    PreviewPage(QWebEngineProfile* profile, QObject* parent);

    // Loads the address; the page may move within it (anchors, reloads) and to about:blank only.
    void show(const QUrl& url);

    // The profile every preview page of the program shares, made on first use and kept until
    // the application object goes (the engine does not take profiles coming and going): nothing
    // kept on disk, no file access from the page beyond its own file, no network, no pop-ups,
    // UTF-8 for a page that declares no charset.
    static QWebEngineProfile* sharedProfile();

signals:
    void scriptError(const QString& message, int line);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
        const QString& sourceID) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    static QWebEngineProfile* makeProfile();

    QUrl m_shown;
};
