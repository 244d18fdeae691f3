#pragma once

#include <functional>

class QObject;
class QWidget;

// Runs `action` from the event loop once no modal window but `besides` is open. A box runs its
// own loop on the stack: what follows it must neither be shown under it nor destroy its parent
// while it waits for an answer. Nothing runs once `context` is gone.
void runAfterOpenBoxes(QObject* context, std::function<void()> action, const QWidget* besides = nullptr);
