#pragma once

#include <functional>

// Runs a last step when the process ends without its window closing: through exit(), as Qt's
// X11 connection ends it when the display goes away, or through a crash. The step runs only on
// the application's thread. After a crash it is a try in a process that is going down, cut short
// if it hangs; the crash then takes its course as before.
namespace UnaskedEnd {
// The step to run, in place of any other; the owner is who may clear it.
void setLastStep(const void* owner, std::function<void()> step);
// No step any more, if the owner's is the one set.
void clearLastStep(const void* owner);
} // namespace UnaskedEnd
