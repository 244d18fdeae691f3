#pragma once

#include <QUrl>

#include <functional>

// The desktop's "open" service: a file or a web address goes to its default handler (normally
// the default browser), in a normally shown window; the outcome is not checked. Every caller
// goes through here, so a test can put an observer in its place and no browser opens.
namespace ShellOpen {
using Handler = std::function<void(const QUrl&)>;

void open(const QUrl& url);
// Puts a handler in the desktop's place and returns the one it replaced; an empty handler
// gives the desktop its place back.
Handler setHandler(Handler handler);
} // namespace ShellOpen
