#include "unaskedend.h"

#include <QCoreApplication>
#include <QThread>

#include <array>
#include <csignal>
#include <cstdlib>
#include <unistd.h>
#include <utility>

namespace {
constexpr std::array kCrashSignals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
// How long the step may take after a crash before the process is ended all the same.
constexpr unsigned kCrashStepSeconds = 3;

// Never destroyed: exit() runs the step after static objects made later are gone.
std::function<void()>* const lastStep = new std::function<void()>;
std::array<struct sigaction, kCrashSignals.size()> previousActions {};
bool stepRan = false;

void runLastStep()
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (stepRan || !*lastStep || !app || QThread::currentThread() != app->thread())
        return;
    stepRan = true;
    (*lastStep)();
}

extern "C" void runAtExit()
{
    runLastStep();
}

extern "C" void runOnCrash(int signal)
{
    ::alarm(kCrashStepSeconds);
    runLastStep();
    // Whoever handled the signal before, or its default end, takes it from here once this
    // handler returns.
    for (size_t i = 0; i < kCrashSignals.size(); ++i) {
        if (kCrashSignals[i] == signal)
            ::sigaction(signal, &previousActions[i], nullptr);
    }
    ::raise(signal);
}

void install()
{
    static bool installed = false;
    if (std::exchange(installed, true))
        return;
    std::atexit(runAtExit);
    struct sigaction action = {};
    action.sa_handler = runOnCrash;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < kCrashSignals.size(); ++i)
        ::sigaction(kCrashSignals[i], &action, &previousActions[i]);
}
} // namespace

UnaskedEnd::UnaskedEnd(std::function<void()> step)
{
    install();
    *lastStep = std::move(step);
}

UnaskedEnd::~UnaskedEnd()
{
    *lastStep = nullptr;
}
