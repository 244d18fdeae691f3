#pragma once

#include <functional>

// A last step run when the process ends without its window closing: through exit(), as Qt's
// X11 connection ends it when the display goes away, or through a crash. The step runs only on
// the application's thread. After a crash it is a try in a process that is going down, cut short
// if it hangs; the crash then takes its course as before. One step is set at a time, for as long
// as the object lives.
class UnaskedEnd
{
public:
    explicit UnaskedEnd(std::function<void()> lastStep);
    ~UnaskedEnd();
    UnaskedEnd(const UnaskedEnd&) = delete;
    UnaskedEnd& operator=(const UnaskedEnd&) = delete;
};
