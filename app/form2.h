#pragma once

#include <QDialog>

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

    void Timer1Timer();

    QLabel* Image1 = nullptr;
    QTimer* Timer1 = nullptr;

    static constexpr int kShowTimeMs = 2000;

private:
    QWidget* m_mainWindow;
};
