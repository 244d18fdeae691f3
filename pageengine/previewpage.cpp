#include "previewpage.h"

#include "scriptdialogs.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTimer>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <utility>

namespace {
// Boxes a page may show in one showing; enough for a snippet that greets, asks or warns.
constexpr int kDialogsShown = 3;

// The engine's own text for the question a page that wants to be asked before it is left gets.
const char* const kEngineLeaveQuestion
    = "Are you sure you want to leave this page? Changes that you made may not be saved.";

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
// scripts' own requests and sockets alike; and the scripts of workers.
class LocalOnlyInterceptor : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (!isLocalScheme(info.requestUrl().scheme()) || startsWorker(info.resourceType()))
            info.block(true);
    }

private:
    // A worker that would start by another way than its page's constructors finds no script.
    static bool startsWorker(QWebEngineUrlRequestInfo::ResourceType type)
    {
        return type == QWebEngineUrlRequestInfo::ResourceTypeWorker
            || type == QWebEngineUrlRequestInfo::ResourceTypeSharedWorker
            || type == QWebEngineUrlRequestInfo::ResourceTypeServiceWorker;
    }
};

QUrl fileOnly(const QUrl& url)
{
    return url.adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery);
}

// Storage the browser side keeps for a page without a bound that holds (off the record it is all
// in the program's own memory), the workers that would reach it from scopes of their own, and the
// file pickers: an effect needs none of them. Removed before the page's first script, in every
// frame.
QWebEngineScript withoutUnboundedStorage()
{
    QWebEngineScript script;
    script.setName(QStringLiteral("feylume-no-storage"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(QStringLiteral(
        "(function () {\n"
        "  var gone = ['indexedDB', 'caches', 'openDatabase', 'webkitRequestFileSystem',\n"
        "    'webkitResolveLocalFileSystemURL', 'showOpenFilePicker', 'showSaveFilePicker',\n"
        "    'showDirectoryPicker', 'Worker', 'SharedWorker'];\n"
        "  gone.forEach(function (name) {\n"
        "    try { Object.defineProperty(window, name, {value: undefined, configurable: false}); }\n"
        "    catch (e) {}\n"
        "  });\n"
        "  ['storage', 'serviceWorker'].forEach(function (name) {\n"
        "    try { Object.defineProperty(Navigator.prototype, name, {value: undefined}); } catch (e) {}\n"
        "  });\n"
        "})();"));
    return script;
}

// Run where the page's own scripts cannot reach: the page's origin is every preview's origin.
const char* const kDropStorageScript
    = "(function () {\n"
      "  if (self.indexedDB && indexedDB.databases)\n"
      "    indexedDB.databases().then(function (all) {\n"
      "      all.forEach(function (db) { indexedDB.deleteDatabase(db.name); }); });\n"
      "  if (self.caches)\n"
      "    caches.keys().then(function (all) { all.forEach(function (name) { caches.delete(name); }); });\n"
      "})();";
} // namespace

PreviewPage::PreviewPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{
    connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
        [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::loadStarted, this, [this] {
        m_leftName = m_scriptName;
        m_leaving = false;
    });
    connect(this, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (ok)
            dropLeftStorage();
    });
}

void PreviewPage::show(const QUrl& url, const QString& scriptName)
{
    // A box belongs to the page it came from, which the new address replaces.
    if (m_openBox)
        m_openBox->reject();
    m_shown = url;
    m_scriptName = scriptName;
    m_leftDialogsShown = std::exchange(m_dialogsShown, 0);
    m_leaving = true;
    load(url);
}

void PreviewPage::retire()
{
    m_retired = true;
    if (m_boxesOpen == 0) {
        deleteLater();
        return;
    }
    // Its view or the view's owner may go first; the page goes by itself.
    setParent(nullptr);
    if (m_openBox)
        m_openBox->reject();
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
    profile->scripts()->insert(withoutUnboundedStorage());
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

bool PreviewPage::isOwnFile(const QUrl& url) const
{
    return fileOnly(url) == fileOnly(m_shown);
}

bool PreviewPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (isBlank(url))
        return true;
    // Frames inside the snippet may hold its own inline content, never another address.
    if (!isMainFrame)
        return url.scheme() == QLatin1String("data") || url.scheme() == QLatin1String("blob");
    if (!isOwnFile(url))
        return false;
    // The program's own loads, and moves to an anchor of the page shown.
    if (type == NavigationTypeTyped
        || (url.hasFragment()
            && url.adjusted(QUrl::RemoveFragment) == this->url().adjusted(QUrl::RemoveFragment)))
        return true;
    // The engine refuses a page's own move to a local file; the page's file is the one it may
    // load again (a reload, a refresh, a form sent to itself), so the program loads it instead.
    QTimer::singleShot(0, this, [this, url] {
        if (!m_retired && isOwnFile(url))
            load(url);
    });
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

QStringList PreviewPage::chooseFiles(
    FileSelectionMode mode, const QStringList& oldFiles, const QStringList& acceptedMimeTypes)
{
    Q_UNUSED(mode);
    Q_UNUSED(oldFiles);
    Q_UNUSED(acceptedMimeTypes);
    // As if the user had cancelled at once: a page picks no file and names none to write.
    return {};
}

bool PreviewPage::mayShowDialog()
{
    if (m_retired)
        return false;
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

bool PreviewPage::mayAskBeforeLeaving()
{
    if (!m_leaving)
        return mayShowDialog();
    if (m_retired || m_leftDialogsShown >= kDialogsShown)
        return false;
    ++m_leftDialogsShown;
    return true;
}

QWidget* PreviewPage::dialogParent()
{
    return QWebEngineView::forPage(this);
}

template<class Box> auto PreviewPage::withBox(Box box)
{
    ++m_boxesOpen;
    const auto answer = box();
    --m_boxesOpen;
    if (m_retired && m_boxesOpen == 0)
        deleteLater();
    return answer;
}

void PreviewPage::dropLeftStorage()
{
    runJavaScript(QLatin1String(kDropStorageScript), QWebEngineScript::ApplicationWorld);
}

void PreviewPage::javaScriptAlert(const QUrl& securityOrigin, const QString& message)
{
    Q_UNUSED(securityOrigin);
    if (!mayShowDialog())
        return;
    withBox([&] {
        ScriptDialogs::alert(dialogParent(), ScriptDialogs::caption(m_scriptName), message, &m_openBox);
        return true;
    });
}

bool PreviewPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& message)
{
    Q_UNUSED(securityOrigin);
    if (message == QLatin1String(kEngineLeaveQuestion)) {
        // A page that may show no more boxes cannot hold itself in place with a question nobody
        // sees: it is left, as it asked to be or as the user did.
        if (!mayAskBeforeLeaving())
            return true;
        return withBox([&] {
            return ScriptDialogs::confirm(dialogParent(), ScriptDialogs::caption(m_leftName),
                ScriptDialogs::leaveQuestion(), &m_openBox);
        });
    }
    return mayShowDialog() && withBox([&] {
        return ScriptDialogs::confirm(
            dialogParent(), ScriptDialogs::caption(m_scriptName), message, &m_openBox);
    });
}

bool PreviewPage::javaScriptPrompt(
    const QUrl& securityOrigin, const QString& message, const QString& defaultValue, QString* result)
{
    Q_UNUSED(securityOrigin);
    return mayShowDialog() && withBox([&] {
        return ScriptDialogs::prompt(
            dialogParent(), ScriptDialogs::caption(m_scriptName), message, defaultValue, result, &m_openBox);
    });
}
