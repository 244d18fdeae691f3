#include "ownerwindow.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace {
QPointer<QWidget>& mainOwner()
{
    static QPointer<QWidget> window;
    return window;
}

// A splash closes by itself on a timer: a box over it would go with it unanswered.
bool canOwn(const QWidget* window)
{
    if (!window || !window->isVisible())
        return false;
    const Qt::WindowType type = window->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen;
}
} // namespace

void setMainOwnerWindow(QWidget* window)
{
    mainOwner() = window;
}

QWidget* ownerWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget(); canOwn(modal))
        return modal;
    if (QWidget* active = QApplication::activeWindow(); canOwn(active))
        return active;
    if (QWidget* focus = QApplication::focusWidget(); focus && canOwn(focus->window()))
        return focus->window();
    // While the start is under way the main window is still hidden; a box owned by it comes up
    // on its own and stays above the window once that is shown.
    return mainOwner();
}
