#pragma once

#include <QString>

#include <memory>

class TForm1;

// Starts the main window on a program directory as the program does, minus the splash: the
// window is shown and activated and the deferred load has run when this returns.
std::unique_ptr<TForm1> startMainWindow(const QString& appDir);
// Selects the node found by name and level, as a click would.
void selectNode(TForm1& form, const QString& name, bool scriptLevel);
// Runs the event loop until it has nothing left to do, so that the commands work out their
// enabled state as they do whenever the program goes idle. QTest::qWait never gets there.
void letProgramGoIdle();
