#include "pageengineloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const char* const kModuleFile = "feylume_pageengine.so";

QString& chosenProgramFolder()
{
    static QString folder;
    return folder;
}

// Neither the file nor a folder it is in may be changed by anyone but its owner, the superuser or
// the user who runs the program.
bool onlyOwnerWrites(const QString& path)
{
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return false;
    const bool trustedOwner = status.st_uid == 0 || status.st_uid == ::geteuid();
    return trustedOwner && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

struct Candidate
{
    QString path;
    // Why the place is not used; empty when it is.
    QString distrust;
};

// Only places that move with the program: beside it, then the library folder of an installed
// layout (<prefix>/lib/feylume/ for <prefix>/bin/). A module found anywhere else, where some
// build once put one, say, could belong to another version of the program. The library folder
// counts only for a program that is installed (under a bin/ folder) and only while nobody else
// can write there: a program copied alone to a shared folder would otherwise load a module that
// anyone there may plant.
QList<Candidate> moduleCandidates()
{
    const QString& chosen = chosenProgramFolder();
    const QDir folder(chosen.isEmpty() ? QCoreApplication::applicationDirPath() : chosen);
    const QString libraryFolder = QDir::cleanPath(folder.filePath(QStringLiteral("../lib/feylume")));
    const QString installed = QDir(libraryFolder).filePath(QLatin1String(kModuleFile));
    QString distrust;
    if (QFileInfo(folder.absolutePath()).fileName() != QLatin1String("bin"))
        distrust = QStringLiteral("程序不在安装目录的 bin 文件夹中");
    else if (QFileInfo::exists(installed)
        && !(onlyOwnerWrites(installed) && onlyOwnerWrites(libraryFolder)
            && onlyOwnerWrites(QFileInfo(libraryFolder).absolutePath())))
        distrust = QStringLiteral("其他用户可以改写该文件或它所在的文件夹");
    return {{folder.filePath(QLatin1String(kModuleFile)), {}}, {installed, distrust}};
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

// The module's first trusted place, where one is.
QString trustedModule()
{
    for (const Candidate& candidate : moduleCandidates()) {
        if (QFileInfo::exists(candidate.path))
            return candidate.distrust.isEmpty() ? candidate.path : QString();
    }
    return {};
}

QThread*& backgroundLoad()
{
    static QThread* thread = nullptr;
    return thread;
}

void waitForBackgroundLoad()
{
    if (QThread* thread = std::exchange(backgroundLoad(), nullptr)) {
        thread->wait();
        delete thread;
    }
}

QLibrary*& loadedModule()
{
    static QLibrary* module = nullptr;
    return module;
}

CreatePageEngine loadFactory(QString* reason)
{
    shareOpenGlContexts();
    waitForBackgroundLoad();
    QStringList looked;
    QStringList failures;
    for (const Candidate& candidate : moduleCandidates()) {
        const QString shown = QDir::toNativeSeparators(candidate.path);
        if (!QFileInfo::exists(candidate.path)) {
            looked << shown;
            continue;
        }
        if (!candidate.distrust.isEmpty()) {
            failures << QStringLiteral("未使用 %1（%2）").arg(shown, candidate.distrust);
            continue;
        }
        // Never unloaded: the engine's threads outlive any point where that would be safe.
        auto* module = new QLibrary(candidate.path);
        module->setLoadHints(QLibrary::PreventUnloadHint);
        if (auto create = reinterpret_cast<CreatePageEngine>(module->resolve(kCreatePageEngineSymbol))) {
            loadedModule() = module;
            return create;
        }
        failures << QStringLiteral("%1 无法加载（%2）").arg(shown, module->errorString());
        delete module;
    }
    if (!looked.isEmpty())
        failures.prepend(QStringLiteral("找不到 %1").arg(looked.join(QStringLiteral(" 或 "))));
    *reason = QStringLiteral("无法启动网页预览组件：%1。").arg(failures.join(QStringLiteral("；")));
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

PreparePageEngine PageEngineLoader::preparer()
{
    QLibrary* module = loadedModule();
    return module ? reinterpret_cast<PreparePageEngine>(module->resolve(kPreparePageEngineSymbol)) : nullptr;
}

PageEngineLoader::BackgroundLoad PageEngineLoader::loadInBackground()
{
    if (loadedModule())
        return BackgroundLoad::Loaded;
    QThread* running = backgroundLoad();
    if (running) {
        if (!running->isFinished())
            return BackgroundLoad::Running;
        QString ignored;
        // Now only resolves what the thread loaded; a failure is told at the preview.
        return factory(&ignored) ? BackgroundLoad::Loaded : BackgroundLoad::Failed;
    }
    const QString path = trustedModule();
    if (path.isEmpty())
        return BackgroundLoad::Failed;
    // The engine's libraries look at this as they are loaded.
    shareOpenGlContexts();
    running = QThread::create([path] {
        QLibrary module(path);
        module.setLoadHints(QLibrary::PreventUnloadHint);
        if (auto prepareAside
            = reinterpret_cast<PreparePageEngineAside>(module.resolve(kPreparePageEngineAsideSymbol)))
            prepareAside();
    });
    backgroundLoad() = running;
    // A program that ends meanwhile waits for the thread rather than pull the libraries from under
    // it.
    qAddPostRoutine(waitForBackgroundLoad);
    running->start(QThread::LowPriority);
    return BackgroundLoad::Running;
}
