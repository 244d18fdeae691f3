#include "form2.h"
#include "main/form1.h"
#include "widgets/messageboxes.h"

#include <QApplication>
#include <QDir>
#include <QPointer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Not the display name: the desktop would append it to every window's caption.
    QApplication::setApplicationName(MessageBoxes::kApplicationTitle);

    // The splash is up before the library is opened: a library that is slow to open, or held
    // locked by another program, is waited for in front of it rather than with nothing shown.
    QPointer<TForm2> splash = new TForm2(nullptr);
    splash->showAtOnce();

    const QString appDir = QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
    TForm1 form(AppPlaces::forProgram(appDir, UserFolders::fromEnvironment()));

    // A failed open shows its boxes while the window is created; the splash's time may have
    // run out inside them, and then it has already closed.
    if (splash && splash->Timer1) {
        splash->setMainWindow(&form);
        splash->exec();
    }
    // However the splash ended, the main window is up when the ordinary loop starts.
    if (!form.isVisible())
        form.showAsRemembered();
    return app.exec();
}
