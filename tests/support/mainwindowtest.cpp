#include "mainwindowtest.h"

#include "mainwindowfixture.h"
#include "userinput.h"

#include "main/categorytree.h"

LibraryFixture& MainWindowTest::newLibrary()
{
    m_library = std::make_unique<LibraryFixture>();
    return *m_library;
}

void MainWindowTest::start()
{
    m_form = startMainWindow(m_library->appDir());
}

void MainWindowTest::restartWith(const QStringList& categories, const QList<FixtureScript>& scripts)
{
    m_form.reset();
    newLibrary().create(categories, scripts);
    start();
}

void MainWindowTest::openScript(const QString& name)
{
    selectNode(form(), name, true);
    UserInput::focus(form().Treeclass);
}

void MainWindowTest::cleanup()
{
    // The window goes before the library it has open.
    m_form.reset();
    m_library.reset();
}
