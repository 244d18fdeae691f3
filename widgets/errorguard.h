#pragma once

#include <QString>

#include <type_traits>
#include <utility>

// Every event entry point (slot, timer, command, creation handler) runs its work through
// guarded(): an error that no handler caught ends that event and is shown in the default error
// box, and the program carries on. Nothing is rolled back.
void showDefaultErrorBox(const QString& message);
// The message as the box shows it: a full stop is added unless the text ends at or before ".".
QString defaultErrorText(const QString& message);

template<typename Work> void guarded(Work&& work)
{
    try {
        std::forward<Work>(work)();
    } catch (const std::exception& error) {
        showDefaultErrorBox(QString::fromStdString(error.what()));
    }
}

// Calls work with the arguments it takes: all of them, or none.
template<typename Work, typename... Args> void callWithArgumentsTaken(const Work& work, Args&&... args)
{
    if constexpr (std::is_invocable_v<const Work&, Args...>)
        work(std::forward<Args>(args)...);
    else
        work();
}

// Wraps a callable so that it can be connected to a signal and still never throw into Qt.
// Signal arguments the callable does not take are dropped.
template<typename Work> auto guard(Work work)
{
    return [work](auto&&... args) {
        guarded([&] { callWithArgumentsTaken(work, std::forward<decltype(args)>(args)...); });
    };
}
