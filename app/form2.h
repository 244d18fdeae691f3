#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QTimer;

// The splash window: borderless, 400 × 294, centred, shown modally for two seconds while the
// main window's deferred load runs inside its event loop. When its timer fires it closes itself
// and shows the main window maximized.
class TForm2 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm2(QWidget* mainWindow);

    // The program shows the splash before the main window exists, so that opening a slow or
    // locked library happens in front of it; the window it then shows is given here.
    void setMainWindow(QWidget* mainWindow) { m_mainWindow = mainWindow; }
    // Shows the splash and lets the window system draw it before the caller blocks.
    void showAtOnce();

    void Timer1Timer();

    QLabel* Image1 = nullptr;
    QTimer* Timer1 = nullptr;

    static constexpr int kShowTimeMs = 2000;

private:
    QPointer<QWidget> m_mainWindow;
};
