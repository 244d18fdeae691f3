#include "engineswitches.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

#include <optional>

#include <unistd.h>

namespace {
const char* const kFlagsVariable = "QTWEBENGINE_CHROMIUM_FLAGS";
const char* const kNoSandboxVariable = "QTWEBENGINE_DISABLE_SANDBOX";

struct UserValue
{
    const char* name;
    std::optional<QByteArray> value;
};
QList<UserValue>& changedVariables()
{
    static QList<UserValue> changed;
    return changed;
}

void setForEngine(const char* name, const QByteArray& value)
{
    changedVariables().append(
        {name, qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name)) : std::nullopt});
    qputenv(name, value);
}

QStringList previewSwitches()
{
    return {
        // Peer connections send their packets past the request filter: with no proxy, this lets
        // them gather no address and send no UDP at all.
        QStringLiteral("--force-webrtc-ip-handling-policy=disable_non_proxied_udp"),
        // Every name and address a connection would resolve, including the TCP relays peer
        // connections fall back to, is unknown.
        QStringLiteral("--host-resolver-rules=\"MAP * ~NOTFOUND\""),
        // Ordinary script objects stop at this; everything else the page holds is watched from
        // outside (RendererMemoryLimit).
        QStringLiteral("--js-flags=--max-old-space-size=%1").arg(EngineSwitches::kScriptHeapLimitMb),
        // The engine's start waits, on the window's thread, for every process it starts pages and
        // helpers from; pages need only the sandboxed one, and helpers start well without theirs.
        QStringLiteral("--no-unsandboxed-zygote"),
    };
}

bool runsPagesInProcess(const QString& argument)
{
    // The engine takes a switch with one dash as with two.
    static const QRegularExpression inProcess(QStringLiteral("^\"?--?single-process(=.*)?\"?$"));
    return inProcess.match(argument).hasMatch();
}

QString quoted(const QString& argument)
{
    return argument.contains(QLatin1Char(' ')) && !argument.startsWith(QLatin1Char('"'))
        ? QLatin1Char('"') + argument + QLatin1Char('"')
        : argument;
}
} // namespace

QStringList EngineSwitches::withoutInProcessSwitches(const QStringList& switches, QStringList* refused)
{
    QStringList kept;
    for (const QString& argument : switches) {
        if (runsPagesInProcess(argument))
            refused->append(argument);
        else
            kept.append(quoted(argument));
    }
    return kept;
}

QStringList EngineSwitches::apply()
{
    static bool applied = false;
    if (applied)
        return {};
    applied = true;
    // The engine reads its switches from the program's arguments only when this variable is
    // unset, so the user's arguments move into it rather than being dropped.
    const QString flags = qEnvironmentVariable(kFlagsVariable);
    const QStringList user
        = flags.isEmpty() ? QCoreApplication::arguments().mid(1) : QProcess::splitCommand(flags);
    QStringList refused;
    // Later switches win over earlier ones of the same name.
    const QStringList all = withoutInProcessSwitches(user, &refused) + previewSwitches();
    setForEngine(kFlagsVariable, all.join(QLatin1Char(' ')).toLocal8Bit());
    // Chromium ends the whole process, and the user's unsaved work with it, when the superuser
    // starts it with its sandbox; the page still cannot reach files or the network without it.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty(kNoSandboxVariable))
        setForEngine(kNoSandboxVariable, "1");
    return refused;
}

void EngineSwitches::restoreUserEnvironment()
{
    for (const UserValue& variable : std::exchange(changedVariables(), {})) {
        if (variable.value)
            qputenv(variable.name, *variable.value);
        else
            qunsetenv(variable.name);
    }
}
