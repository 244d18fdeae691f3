#include "backdrop.h"

#include "xpcanvas.h"

#include <QPainter>
#include <QWidget>

namespace XP {
QImage backdropOf(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget();
    if (!parent || widget->isWindow())
        return {};
    QImage backdrop;
    const QRect area = widget->geometry();
    // The parent's children in stacking order, lowest first: those before the widget lie under it.
    for (const QObject* child : parent->children()) {
        if (child == widget)
            break;
        const auto* sibling = qobject_cast<const QWidget*>(child);
        if (!sibling || sibling->isWindow() || !sibling->isVisible() || !sibling->geometry().intersects(area))
            continue;
        if (backdrop.isNull()) {
            backdrop = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
            backdrop.fill(parent->palette().color(parent->backgroundRole()));
        }
        const QRect shared = sibling->geometry().intersected(area);
        QPainter painter(&backdrop);
        painter.drawPixmap(shared.topLeft() - area.topLeft(),
            const_cast<QWidget*>(sibling)->grab(shared.translated(-sibling->pos())));
    }
    return backdrop;
}

void showBackdropInRing(XPCanvas& canvas, const QImage& backdrop, int topRows, const QColor& cleared)
{
    QImage& image = canvas.image();
    const int width = std::min(image.width(), backdrop.width());
    const int height = std::min(image.height(), backdrop.height());
    if (width < 2 || height < 2)
        return;
    const QRgb clearedPixel = cleared.rgba();
    const auto copy = [&](int x, int y) {
        if (image.pixel(x, y) == clearedPixel)
            image.setPixel(x, y, backdrop.pixel(x, y));
    };
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < std::min(topRows, height); ++y)
            copy(x, y);
        copy(x, height - 1);
    }
    for (int y = 0; y < height; ++y) {
        copy(0, y);
        copy(width - 1, y);
    }
}
} // namespace XP
