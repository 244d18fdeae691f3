#pragma once

#include <QStringList>

class PreviewPage;
class QObject;

// What the first engine needs before its view can show a page, readied in parts so that a
// program can spread them over moments the user leaves it idle: the OpenGL context the engine's
// frames share, the profile (the engine's own start with its switches, the longest part), and a
// page whose renderer process has started on about:blank. Making an engine readies whatever is
// left first. Everything here but prepareAside runs on the application's thread.
namespace EnginePreparation {
// Makes the shared OpenGL context on the calling thread, where the driver allows it, and hands
// it to the application's thread; the driver's loading and start then hold no window up. Called
// at most once, before any other part, and finished before the application's thread readies a
// part (the module's loading thread calls it, and that thread is waited for).
void prepareAside();
// Readies the next part; false once nothing is left.
bool prepareNextPart();
void prepareAll();
// The user's switches the engine was not given, once; empty after that.
QStringList takeRefusedSwitches();
// The page readied with its renderer, now the parent's; null when there is none ready, and the
// caller makes its own.
PreviewPage* takeReadyPage(QObject* parent);
} // namespace EnginePreparation
