#pragma once

// What the engine is told at start-up so that a previewed page stays small and off the network.
namespace EngineSwitches {
// The most memory a preview page's process may hold before it is ended, and the part of it the
// page's script objects may take; a few hundred megabytes is plenty for an effect.
inline constexpr int kPageProcessLimitMb = 512;
inline constexpr int kScriptHeapLimitMb = 256;

// Adds the engine's start-up switches to the ones the user gave it. Must run before the engine's
// first object is made; later calls change nothing.
void apply();
} // namespace EngineSwitches
