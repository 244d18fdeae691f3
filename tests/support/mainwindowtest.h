#pragma once

#include "libraryfixture.h"
#include "main/form1.h"

#include <QObject>

#include <memory>

// The base of the tests that drive the main window. Each test function makes a library of its
// own and starts the window on it; both are gone after the function.
class MainWindowTest : public QObject
{
    Q_OBJECT

protected:
    TForm1& form() { return *m_form; }
    // A fresh library in a fresh program directory, for the test to fill before start().
    LibraryFixture& newLibrary();
    // Starts the window on the library, as the program starts minus the splash.
    void start();
    // Closes the window, then starts it again on a new library holding just these rows.
    void restartWith(const QStringList& categories, const QList<FixtureScript>& scripts);
    // Selects the script's node, as a click would, and leaves the focus in the tree.
    void openScript(const QString& name);

    std::unique_ptr<LibraryFixture> m_library;
    std::unique_ptr<TForm1> m_form;

protected slots:
    void cleanup();
};
