#include "mainwindowfixture.h"

#include "main/categorytree.h"
#include "main/form1.h"

#include <QDir>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

std::unique_ptr<TForm1> startMainWindow(const QString& appDir)
{
    return startMainWindow(AppPlaces::beside(appDir));
}

AppPlaces placesRemembering(const QString& appDir, const QString& configDir)
{
    AppPlaces places = AppPlaces::beside(appDir);
    places.settingsPath = QDir(configDir).filePath(QStringLiteral("feylume/feylume.conf"));
    return places;
}

std::unique_ptr<TForm1> startMainWindow(const AppPlaces& places)
{
    auto form = std::make_unique<TForm1>(places);
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get()))
        qWarning("main window did not become active");
    if (!QTest::qWaitFor([&] { return form->Timer1 == nullptr; }, 5000))
        qWarning("deferred load did not finish");
    return form;
}

void selectNode(TForm1& form, const QString& name, bool scriptLevel)
{
    form.Treeclass->setCurrentNode(form.Treeclass->nodeAt(form.FindNodeIndex(name, scriptLevel)));
}

void letProgramGoIdle()
{
    QEventLoop loop;
    QTimer::singleShot(30, &loop, &QEventLoop::quit);
    loop.exec();
}
