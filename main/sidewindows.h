#pragma once

#include <QObject>
#include <QPointer>

class TFmabout;
class TFmImport;
class QWidget;

// The windows beside the main one: the about box, the network import settings and the help
// page in the desktop's browser.
class SideWindows : public QObject
{
    Q_OBJECT
public:
    explicit SideWindows(QWidget* window);

    // The about box, modal.
    void showAbout();
    // The network import settings window, beside the main window.
    void showImportSettings();
    // The help page in the default browser.
    void openHelp();

private:
    QWidget* m_window;
    // The most recently made about box and settings window, while they exist.
    QPointer<TFmabout> m_about;
    QPointer<TFmImport> m_importSettings;
};
