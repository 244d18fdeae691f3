#include "pageengineloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include <unistd.h>

namespace {
const char* const kModuleName = "feylume_pageengine";

QString& chosenProgramFolder()
{
    static QString folder;
    return folder;
}

// Only places that move with the program: beside it, then the library folder of an installed
// layout (<prefix>/lib/feylume/ for <prefix>/bin/). A module found anywhere else, where some
// build once put one, say, could belong to another version of the program.
QStringList moduleCandidates()
{
    const QString& chosen = chosenProgramFolder();
    const QDir folder(chosen.isEmpty() ? QCoreApplication::applicationDirPath() : chosen);
    return {folder.filePath(QLatin1String(kModuleName)),
        QDir::cleanPath(
            folder.filePath(QStringLiteral("../lib/feylume/%1").arg(QLatin1String(kModuleName))))};
}

QtMessageHandler outerHandler = nullptr;

void dropLateAttributeWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QLatin1String("AA_ShareOpenGLContexts")) && outerHandler)
        outerHandler(type, context, message);
}

// The engine draws through an OpenGL context that the windows made after it share. Setting
// this before the application object would make that context, and load the system's OpenGL
// driver, at every start; Qt warns about the late setting, which here is meant.
void shareOpenGlContexts()
{
    outerHandler = qInstallMessageHandler(dropLateAttributeWarning);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qInstallMessageHandler(outerHandler);
}

CreatePageEngine loadFactory(QString* reason)
{
    shareOpenGlContexts();
    // Chromium ends the whole process, and the user's unsaved work with it, when the superuser
    // starts it with its sandbox; the page still cannot reach files or the network without it.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QStringList failures;
    for (const QString& candidate : moduleCandidates()) {
        // Never unloaded: the engine's threads outlive any point where that would be safe.
        auto* module = new QLibrary(candidate);
        module->setLoadHints(QLibrary::PreventUnloadHint);
        if (auto create = reinterpret_cast<CreatePageEngine>(module->resolve(kCreatePageEngineSymbol)))
            return create;
        failures << module->errorString();
        delete module;
    }
    *reason = QStringLiteral("无法启动网页预览组件：%1").arg(failures.join(QStringLiteral("；")));
    return nullptr;
}
} // namespace

void PageEngineLoader::setProgramFolder(const QString& folder)
{
    chosenProgramFolder() = folder;
}

CreatePageEngine PageEngineLoader::factory(QString* reason)
{
    // A failure is not kept: the next preview tries again.
    static CreatePageEngine loaded = nullptr;
    if (!loaded)
        loaded = loadFactory(reason);
    return loaded;
}
