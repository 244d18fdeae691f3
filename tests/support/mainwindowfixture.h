#pragma once

#include <QString>

#include <memory>

struct AppPlaces;
class TForm1;

// Starts the main window on a program directory as the program does, minus the splash: the
// window is shown and activated and the deferred load has run when this returns.
std::unique_ptr<TForm1> startMainWindow(const QString& appDir);
std::unique_ptr<TForm1> startMainWindow(const AppPlaces& places);
// Everything beside the program directory, and the user's settings file in configDir, as an
// installed program remembers them.
AppPlaces placesRemembering(const QString& appDir, const QString& configDir);
// Selects the node found by name and level, as a click would.
void selectNode(TForm1& form, const QString& name, bool scriptLevel);
// Runs the event loop until it has nothing left to do, so that the commands work out their
// enabled state as they do whenever the program goes idle. QTest::qWait never gets there.
void letProgramGoIdle();
