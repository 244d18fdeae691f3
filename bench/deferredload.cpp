#include "deferredload.h"

#include "main/form1.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

qint64 runDeferredLoad(TForm1& form)
{
    if (!form.Timer1)
        return 0;
    form.Timer1->stop();
    QCoreApplication::sendPostedEvents();
    QElapsedTimer timer;
    timer.start();
    form.Timer1->start(0);
    while (form.Timer1)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return timer.nsecsElapsed();
}
