#include "enginepreparation.h"

#include "engineswitches.h"
#include "previewpage.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QPointer>
#include <QUrl>

// Qt's own modules set the context that every other context shares with through this; it is not
// in the public headers. A program that links the engine has it made at start-up; loaded later,
// the engine finds none and must be given one before its first view.
void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace {
enum class Part { OpenGl, Profile, Page, Done };

Part nextPart = Part::OpenGl;
QStringList refusedSwitches;
QOpenGLContext* sharedContext = nullptr;
// Made aside and not yet shared; the application's thread shares it in its first part.
QOpenGLContext* contextMadeAside = nullptr;
QPointer<PreviewPage> readyPage;
bool readyPageLoaded = false;

void dropReadyPage()
{
    delete readyPage.data();
}

void dropSharedContext()
{
    qt_gl_set_global_share_context(nullptr);
    delete sharedContext;
    sharedContext = nullptr;
}

QOpenGLContext* makeContext()
{
    auto* context = new QOpenGLContext;
    context->setFormat(QSurfaceFormat::defaultFormat());
    context->create();
    return context;
}

void shareOpenGlContext()
{
    QOpenGLContext* made = std::exchange(contextMadeAside, nullptr);
    if (QOpenGLContext::globalShareContext()) {
        delete made;
        return;
    }
    sharedContext = made ? made : makeContext();
    qt_gl_set_global_share_context(sharedContext);
    qAddPostRoutine(dropSharedContext);
}

// The engine's first page starts a renderer process; loading about:blank has it start now, and
// the page's first address is shown in the same process.
void startRenderer()
{
    auto* page = new PreviewPage(PreviewPage::sharedProfile(), nullptr);
    readyPage = page;
    QObject::connect(page, &QWebEnginePage::loadFinished, page, [page](bool ok) {
        if (page == readyPage)
            readyPageLoaded = ok;
    });
    page->load(QUrl(QStringLiteral("about:blank")));
    // A page left over goes before the profile it belongs to, which the application deletes.
    qAddPostRoutine(dropReadyPage);
}
} // namespace

void EnginePreparation::prepareAside()
{
    if (contextMadeAside || nextPart != Part::OpenGl || !QOpenGLContext::supportsThreadedOpenGL())
        return;
    QOpenGLContext* context = makeContext();
    if (!context->isValid()) {
        // The application's thread tries again, as it would have without this.
        delete context;
        return;
    }
    context->moveToThread(QCoreApplication::instance()->thread());
    contextMadeAside = context;
}

bool EnginePreparation::prepareNextPart()
{
    switch (nextPart) {
    case Part::OpenGl:
        shareOpenGlContext();
        nextPart = Part::Profile;
        return true;
    case Part::Profile:
        // The switches stand in the environment only while the engine starts and reads them, so
        // that no program started meanwhile gets them.
        refusedSwitches = EngineSwitches::apply();
        PreviewPage::sharedProfile();
        EngineSwitches::restoreUserEnvironment();
        nextPart = Part::Page;
        return true;
    case Part::Page:
        startRenderer();
        nextPart = Part::Done;
        return false;
    case Part::Done:
        break;
    }
    return false;
}

void EnginePreparation::prepareAll()
{
    // Only what a view needs before it can show anything; a page the engine makes with its view
    // starts its own renderer at once.
    while (nextPart != Part::Done && nextPart != Part::Page)
        prepareNextPart();
}

QStringList EnginePreparation::takeRefusedSwitches()
{
    return std::exchange(refusedSwitches, {});
}

PreviewPage* EnginePreparation::takeReadyPage(QObject* parent)
{
    PreviewPage* page = readyPage.data();
    readyPage = nullptr;
    if (!page)
        return nullptr;
    // Its first load would otherwise end after the engine took it, and tell of about:blank.
    if (!readyPageLoaded) {
        page->deleteLater();
        return nullptr;
    }
    page->setParent(parent);
    return page;
}
