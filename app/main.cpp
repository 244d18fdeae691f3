#include "endrequests.h"
#include "form2.h"
#include "main/form1.h"
#include "unaskedend.h"
#include "widgets/messageboxes.h"

#include <QApplication>
#include <QDir>
#include <QPointer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Not the display name: the desktop would append it to every window's caption.
    QApplication::setApplicationName(MessageBoxes::kApplicationTitle);

    // From here on, a request to end (a signal, the end of the desktop session) keeps the work
    // and ends the program with success, whatever window or box is up at the time.
    QPointer<TForm1> window;
    EndRequests endRequests;
    QObject::connect(&endRequests, &EndRequests::endRequested, &app, [&window] {
        if (window)
            window->keepWorkUnattended();
        // Leaves every running event loop, the boxes' too; the window and its library are then
        // closed as main returns.
        QCoreApplication::exit(0);
    });

    // The splash is up before the library is opened: a library that is slow to open, or held
    // locked by another program, is waited for in front of it rather than with nothing shown.
    QPointer<TForm2> splash = new TForm2(nullptr);
    splash->showAtOnce();

    const QString appDir = QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
    TForm1 form(AppPlaces::forProgram(appDir, UserFolders::fromEnvironment()));
    window = &form;
    // An end nobody asks for, a crash or the display going away, keeps the work as far as it can.
    const UnaskedEnd lastStep([&form] { form.keepWorkUnattended(); });

    // A failed open shows its boxes while the window is created; the splash's time may have
    // run out inside them, and then it has already closed.
    if (splash && splash->Timer1 && !endRequests.isEnding()) {
        splash->setMainWindow(&form);
        splash->exec();
    }
    if (endRequests.isEnding()) {
        // Asked to end before the ordinary loop ran: its request may have come before the
        // window was made.
        form.keepWorkUnattended();
        return 0;
    }
    // However the splash ended, the main window is up when the ordinary loop starts.
    if (!form.isVisible())
        form.showAsRemembered();
    return app.exec();
}
