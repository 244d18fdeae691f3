#pragma once

#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>

class QDialog;
class QWebEngineProfile;

// One previewed snippet, run as untrusted code: its own markup, styles and scripts run, but it
// stays on the address it was given (it may load that file again, with or without a query;
// links elsewhere, other local files and the network are refused), opens no windows and no file
// or folder choosers, keeps nothing in the storage a page could fill without end, and its first
// script error is reported instead of going to a console nobody sees. Its alert, confirm and
// prompt boxes carry the script's name, and only the first few of them are shown: a page that
// asks without end cannot hold the program.
class PreviewPage : public QWebEnginePage
{
    Q_OBJECT
public:
    PreviewPage(QWebEngineProfile* profile, QObject* parent);

    // Loads the address; the page may move within it (anchors, reloads) and to about:blank only.
    // The script's name captions the page's boxes.
    void show(const QUrl& url, const QString& scriptName);

    // The page is no longer shown: its open box closes, it shows no other, and it goes once the
    // box's own event loop, which runs inside the page, has returned.
    void retire();

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
    QStringList chooseFiles(
        FileSelectionMode mode, const QStringList& oldFiles, const QStringList& acceptedMimeTypes) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message, const QString& defaultValue,
        QString* result) override;

private:
    static QWebEngineProfile* makeProfile();
    bool isOwnFile(const QUrl& url) const;
    // Counts a box the page asks for; false once it has had its share, or once it is retired.
    bool mayShowDialog();
    // The same for the question asked before the page is left, which a page left for the next
    // preview asks out of its own share, not out of the next page's.
    bool mayAskBeforeLeaving();
    QWidget* dialogParent();
    // Runs a box, keeping the page alive until it returns.
    template<class Box> auto withBox(Box box);
    // Frees what pages shown earlier left in the storage the page cannot reach itself.
    void dropLeftStorage();

    QUrl m_shown;
    QString m_scriptName;
    // The name of the page the engine shows until the next address starts loading: a page
    // being left asks under its own name.
    QString m_leftName;
    int m_dialogsShown = 0;
    // The boxes the page being left for the next preview has shown, until that preview starts
    // loading.
    int m_leftDialogsShown = 0;
    bool m_leaving = false;
    int m_boxesOpen = 0;
    QPointer<QDialog> m_openBox;
    bool m_retired = false;
};
