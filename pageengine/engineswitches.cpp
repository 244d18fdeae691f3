#include "engineswitches.h"

#include <QCoreApplication>
#include <QStringList>

namespace {
const char* const kFlagsVariable = "QTWEBENGINE_CHROMIUM_FLAGS";

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
    };
}
} // namespace

void EngineSwitches::apply()
{
    static bool applied = false;
    if (applied)
        return;
    applied = true;
    // The engine reads its switches from the program's arguments only when this variable is
    // unset, so the user's arguments move into it rather than being dropped.
    QString flags = qEnvironmentVariable(kFlagsVariable);
    if (flags.isEmpty()) {
        QStringList arguments = QCoreApplication::arguments().mid(1);
        for (QString& argument : arguments) {
            if (argument.contains(QLatin1Char(' ')))
                argument = QLatin1Char('"') + argument + QLatin1Char('"');
        }
        flags = arguments.join(QLatin1Char(' '));
    }
    // Later switches win over earlier ones of the same name.
    const QString all = (QStringList {flags} + previewSwitches()).join(QLatin1Char(' ')).trimmed();
    qputenv(kFlagsVariable, all.toLocal8Bit());
}
