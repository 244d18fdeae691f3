#include "windowcomposition.h"

#include <QBackingStore>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformbackingstore.h>

void WindowComposition::prepare(QWidget* window)
{
    QBackingStore* store = window->backingStore();
    QWindow* native = window->windowHandle();
    if (!store || !native || !native->handle() || store->handle()->rhi())
        return;
    // Qt makes the native window again only when its kind differs from the kind the view needs.
    // An OpenGL context draws into the window's native window as it is: the window was made with
    // the screen's own visual, which OpenGL draws into as well. Loading OpenGL to make the window
    // of that kind from the start would cost every start the driver's memory.
    const QSurface::SurfaceType made = native->surfaceType();
    native->setSurfaceType(QSurface::OpenGLSurface);
    // What Qt gives a window it makes for such a view: a compositor whose context shares the
    // engine's, which draws the textures.
    store->handle()->setRhiConfig(QPlatformBackingStoreRhiConfig(QPlatformBackingStoreRhiConfig::OpenGL));
    if (!store->handle()->rhi())
        native->setSurfaceType(made);
}
