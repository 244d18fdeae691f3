#include "app/form2.h"
#include "main/form1.h"
#include "main/messageboxes.h"

#include <QApplication>
#include <QDir>
#include <QPointer>

int main(int argc, char** argv)
{
    // The page view shares its rendering context with the rest of the program.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // Not the display name: the desktop would append it to every window's caption.
    QApplication::setApplicationName(MessageBoxes::kApplicationTitle);

    const QString appDir = QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
    TForm1 form(appDir);

    auto* splash = new TForm2(&form);
    splash->exec();
    // However the splash ended, the main window is up when the ordinary loop starts.
    if (!form.isVisible())
        form.showMaximized();
    return app.exec();
}
