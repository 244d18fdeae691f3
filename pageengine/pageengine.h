#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>

class QWidget;

// The HTML engine as the preview place sees it. The engine lives in a module of its own that is
// loaded at the first preview: linking it into the program would load it, and the system's
// OpenGL driver with it, at every start. Nothing here may need the engine's own headers, and no
// Qt meta-object crosses the boundary, so the module and the program share no code but this.
class PageEngine
{
public:
    struct Events
    {
        std::function<void(bool ok)> loadFinished;
        // Only real failures: a load cut short by the next one is not reported.
        std::function<void(const QUrl& url, const QString& message)> loadFailed;
        std::function<void(const QString& message, int line)> scriptError;
        // The page asked for more boxes than the number it may show; the rest go unseen until the
        // next load.
        std::function<void(int shown)> dialogsSilenced;
        // The process the page ran in ended before its time (a crash, or more memory than a
        // preview may use); the reason is in words for the user. The page shows nothing more.
        std::function<void(const QString& reason)> pageEnded;
        // Something about the engine itself the user should know, in words for the user (a
        // start-up switch it refused, say).
        std::function<void(const QString& message)> engineNotice;
    };

    virtual ~PageEngine() = default;

    // The view, a child of the parent the engine was made with.
    virtual QWidget* widget() = 0;
    // The script's name captions the boxes the page shows.
    virtual void load(const QUrl& url, const QString& scriptName) = 0;
    // Runs a script in the page shown; the answer comes once the page's scripts let it.
    virtual void evaluate(const QString& script, std::function<void(const QVariant&)> answer) = 0;
    // Drops the page shown, ending the renderer it runs in, for a fresh empty one.
    virtual void replacePage() = 0;
};

using CreatePageEngine = PageEngine* (*)(QWidget* parent, const PageEngine::Events& events);
// Readies the next part of what the first engine needs, ahead of it, and returns whether parts
// remain. Each part blocks the application's thread for a while (the longest, the engine's own
// start, a few hundred milliseconds on a slow machine): a program calls it only while the user
// leaves it idle. Making an engine readies whatever is left.
using PreparePageEngine = bool (*)();
// Readies what needs not the application's thread, on the thread that loaded the module, so that
// the parts left for the application's thread are fewer and shorter.
using PreparePageEngineAside = void (*)();

// The module's exported functions, of the types above.
inline constexpr char kCreatePageEngineSymbol[] = "feylumeCreatePageEngine";
inline constexpr char kPreparePageEngineSymbol[] = "feylumePreparePageEngine";
inline constexpr char kPreparePageEngineAsideSymbol[] = "feylumePreparePageEngineAside";
