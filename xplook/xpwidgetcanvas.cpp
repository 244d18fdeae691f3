#include "xpwidgetcanvas.h"

#include "systemcolors.h"

#include <QPainter>
#include <QWidget>

XPWidgetCanvas::XPWidgetCanvas(QWidget* widget)
    : target(widget)
    , image(widget->size(), QImage::Format_ARGB32_Premultiplied)
    , drawing((image.fill(Qt::transparent), image))
{
    drawing.setFont(widget->font());
}

XPWidgetCanvas::XPWidgetCanvas(QWidget* widget, QWidget* child)
    : XPWidgetCanvas(widget)
{
    target = child;
    offset = child->mapFrom(widget, QPoint(0, 0));
}

XPWidgetCanvas::~XPWidgetCanvas()
{
    QPainter painter(target);
    painter.drawImage(offset, image);
}

namespace XP {
QColor qcolor(TColor color)
{
    return toQColor(color);
}

TColor pixelColor(const XPCanvas& canvas, int x, int y)
{
    return fromQColor(canvas.pixel(x, y));
}

TColor parentColor(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget() ? widget->parentWidget() : widget;
    return fromQColor(parent->palette().color(parent->backgroundRole()));
}

TColor controlColor(const QWidget* widget)
{
    return fromQColor(widget->palette().color(widget->backgroundRole()));
}
} // namespace XP
