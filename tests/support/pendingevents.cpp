#include "pendingevents.h"

#include <QCoreApplication>
#include <QTimer>

void letPendingEventsRun()
{
    // Two rounds: a handler of the first may post or start a zero timer of its own.
    for (int round = 0; round < 2; ++round) {
        bool reached = false;
        QTimer::singleShot(0, [&reached] { reached = true; });
        while (!reached)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}
