#include "previewpage.h"

#include "scriptdialogs.h"

#include <QCoreApplication>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

namespace {
// Boxes a page may show in one showing; enough for a snippet that greets, asks or warns.
constexpr int kDialogsShown = 3;

bool isBlank(const QUrl& url)
{
    return url.scheme() == QLatin1String("about");
}

// Schemes whose content comes from the page itself or the local disk, never from the network.
bool isLocalScheme(const QString& scheme)
{
    static const QStringList local = {QStringLiteral("file"), QStringLiteral("data"), QStringLiteral("blob"),
        QStringLiteral("about"), QStringLiteral("qrc")};
    return local.contains(scheme);
}

// Refuses every request that would leave the machine, whatever the page asks for: subresources,
// scripts' own requests and sockets alike.
class LocalOnlyInterceptor : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (!isLocalScheme(info.requestUrl().scheme()))
            info.block(true);
    }
};

QUrl withoutFragment(const QUrl& url)
{
    return url.adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery);
}
} // namespace

PreviewPage::PreviewPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{ }

void PreviewPage::show(const QUrl& url, const QString& scriptName)
{
    m_shown = url;
    m_scriptName = scriptName;
    m_dialogsShown = 0;
    load(url);
}

QWebEngineProfile* PreviewPage::sharedProfile()
{
    static QWebEngineProfile* const shared = makeProfile();
    return shared;
}

QWebEngineProfile* PreviewPage::makeProfile()
{
    // A profile without a storage name is off the record.
    auto* profile = new QWebEngineProfile(QCoreApplication::instance());
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setUrlRequestInterceptor(new LocalOnlyInterceptor(profile));
    profile->setSpellCheckEnabled(false);
    QWebEngineSettings* settings = profile->settings();
    settings->setDefaultTextEncoding(QStringLiteral("UTF-8"));
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    settings->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
    settings->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    settings->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    settings->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    return profile;
}

bool PreviewPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    if (isBlank(url) || withoutFragment(url) == withoutFragment(m_shown))
        return true;
    // Frames inside the snippet may hold its own inline content, never another address.
    if (!isMainFrame)
        return url.scheme() == QLatin1String("data") || url.scheme() == QLatin1String("blob");
    return false;
}

void PreviewPage::javaScriptConsoleMessage(
    JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber, const QString& sourceID)
{
    Q_UNUSED(sourceID);
    if (level == ErrorMessageLevel)
        emit scriptError(message, lineNumber);
}

QWebEnginePage* PreviewPage::createWindow(WebWindowType type)
{
    Q_UNUSED(type);
    return nullptr;
}

bool PreviewPage::mayShowDialog()
{
    if (m_dialogsShown < kDialogsShown) {
        ++m_dialogsShown;
        return true;
    }
    if (m_dialogsShown == kDialogsShown) {
        ++m_dialogsShown;
        emit dialogsSilenced(kDialogsShown);
    }
    return false;
}

QWidget* PreviewPage::dialogParent()
{
    return QWebEngineView::forPage(this);
}

void PreviewPage::javaScriptAlert(const QUrl& securityOrigin, const QString& message)
{
    Q_UNUSED(securityOrigin);
    if (mayShowDialog())
        ScriptDialogs::alert(dialogParent(), ScriptDialogs::caption(m_scriptName), message);
}

bool PreviewPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& message)
{
    Q_UNUSED(securityOrigin);
    return mayShowDialog()
        && ScriptDialogs::confirm(dialogParent(), ScriptDialogs::caption(m_scriptName), message);
}

bool PreviewPage::javaScriptPrompt(
    const QUrl& securityOrigin, const QString& message, const QString& defaultValue, QString* result)
{
    Q_UNUSED(securityOrigin);
    return mayShowDialog()
        && ScriptDialogs::prompt(
            dialogParent(), ScriptDialogs::caption(m_scriptName), message, defaultValue, result);
}
