#pragma once

#include <QStringList>

// What the engine is told at start-up so that a previewed page stays small, off the network and
// in a process of its own.
namespace EngineSwitches {
// The most memory a preview page's process may hold before it is ended, and the part of it the
// page's script objects may take; a few hundred megabytes is plenty for an effect.
inline constexpr int kPageProcessLimitMb = 512;
inline constexpr int kScriptHeapLimitMb = 256;

// The user's switches less those that would run pages inside the program's own process, where
// a page's memory or crash would take the program and the unsaved work with it. Quoted switches
// stay quoted. The refused ones are added to *refused.
QStringList withoutInProcessSwitches(const QStringList& switches, QStringList* refused);

// Hands the engine its start-up switches, the user's own among them, through the environment it
// reads them from, and returns the user's switches it refused. Must run before the engine's first
// object is made; later calls change nothing and return nothing.
QStringList apply();
// Gives the program's environment back the values the user started it with, once the engine has
// read its own: programs started from here (the desktop's browser) get the user's environment.
void restoreUserEnvironment();
} // namespace EngineSwitches
