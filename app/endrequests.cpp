#include "endrequests.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Written by the handler, read by the notifier; set before any handler is installed.
std::array<int, 2> g_pipe = {-1, -1};

extern "C" void onEndSignal(int /*signal*/)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

constexpr std::array kEndSignals = {SIGTERM, SIGINT, SIGHUP};
} // namespace

EndRequests::EndRequests(QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe.data()) == 0) {
        m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            char bytes[16];
            while (::read(g_pipe[0], bytes, sizeof bytes) > 0) { }
            request();
        });
        struct sigaction action = {};
        action.sa_handler = onEndSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signal : kEndSignals)
            ::sigaction(signal, &action, nullptr);
    }
    // Answered at once and without a box: the session is ending whatever the program says.
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(
            app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { request(); },
            Qt::DirectConnection);
        connect(
            app, &QGuiApplication::saveStateRequest, this, [this](QSessionManager&) { request(); },
            Qt::DirectConnection);
    }
}

EndRequests::~EndRequests()
{
    if (!m_notifier)
        return;
    for (const int signal : kEndSignals)
        ::signal(signal, SIG_DFL);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe = {-1, -1};
}

void EndRequests::request()
{
    if (m_ending)
        return;
    m_ending = true;
    emit endRequested();
}
