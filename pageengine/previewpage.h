#pragma once

#include <QUrl>
#include <QWebEnginePage>

class QWebEngineProfile;

// One previewed snippet, run as untrusted code: its own markup, styles and scripts run, but it
// stays on the address it was given (links elsewhere, other local files and the network are
// refused), opens no windows, and its first script error is reported instead of going to a
// console nobody sees. Its alert, confirm and prompt boxes carry the script's name, and only the
// first few of them are shown: a page that asks without end cannot hold the program.
class PreviewPage : public QWebEnginePage
{
    Q_OBJECT
public:
    PreviewPage(QWebEngineProfile* profile, QObject* parent);

    // Loads the address; the page may move within it (anchors, reloads) and to about:blank only.
    // The script's name captions the page's boxes.
    void show(const QUrl& url, const QString& scriptName);

    // The profile every preview page of the program shares, made on first use and kept until
    // the application object goes (the engine does not take profiles coming and going): nothing
    // kept on disk, no file access from the page beyond its own file, no network, no pop-ups,
    // UTF-8 for a page that declares no charset.
    static QWebEngineProfile* sharedProfile();

signals:
    void scriptError(const QString& message, int line);
    // The page asked for more boxes than are shown; the rest are answered unseen until the next
    // address is shown.
    void dialogsSilenced(int shown);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
        const QString& sourceID) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message, const QString& defaultValue,
        QString* result) override;

private:
    static QWebEngineProfile* makeProfile();
    // Counts a box the page asks for; false once it has had its share.
    bool mayShowDialog();
    QWidget* dialogParent();

    QUrl m_shown;
    QString m_scriptName;
    int m_dialogsShown = 0;
};
