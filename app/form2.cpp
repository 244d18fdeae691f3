#include "form2.h"

#include "main/form1.h"
#include "widgets/afterboxes.h"
#include "widgets/errorguard.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QWindow>

static void initResources()
{
    Q_INIT_RESOURCE(app);
}

TForm2::TForm2(QWidget* mainWindow)
    : QDialog(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_mainWindow(mainWindow)
{
    initResources();
    setObjectName(QStringLiteral("Form2"));
    // A closed splash is destroyed, not merely hidden.
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(400, 294);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/app/images/splash.png")));
    Image1->setGeometry(rect());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, guard([this] { Timer1Timer(); }));
    Timer1->start(kShowTimeMs);
}

void TForm2::showAtOnce()
{
    // Modal from the start: modality cannot change once the window is up.
    setWindowModality(Qt::ApplicationModal);
    show();
    QElapsedTimer waited;
    waited.start();
    // Drawn means exposed and painted; a window system that never says so is not waited for long.
    constexpr int kLongestWaitMs = 300;
    while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < kLongestWaitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    repaint();
    QCoreApplication::processEvents();
}

void TForm2::Timer1Timer()
{
    // A box shown over the splash (a failed open, a damaged library) runs its own loop on the
    // stack and may be the splash's child: closing now would destroy it under that loop. The
    // splash goes once the boxes are answered.
    if (QWidget* box = QApplication::activeModalWidget(); box && box != this) {
        runAfterOpenBoxes(
            this, [this] { Timer1Timer(); }, this);
        return;
    }
    delete Timer1;
    Timer1 = nullptr;
    close();
    if (auto* form = qobject_cast<TForm1*>(m_mainWindow.data()))
        form->showAsRemembered();
    else if (m_mainWindow)
        m_mainWindow->showMaximized();
}
