#include "shellopen.h"

#include <QDesktopServices>

namespace {
ShellOpen::Handler& replacement()
{
    static ShellOpen::Handler handler;
    return handler;
}
} // namespace

void ShellOpen::open(const QUrl& url)
{
    if (replacement())
        replacement()(url);
    else
        QDesktopServices::openUrl(url);
}

ShellOpen::Handler ShellOpen::setHandler(Handler handler)
{
    return std::exchange(replacement(), std::move(handler));
}
