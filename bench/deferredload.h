#pragma once

#include <QtGlobal>

class TForm1;

// Runs the window's deferred load now, as its timer does, once what making the window posted is
// handled; returns the nanoseconds from the timer's start to the load's end.
qint64 runDeferredLoad(TForm1& form);
