// A canvas over a widget, for painters that run inside the widget's paint event after the
// widget drew itself: they draw into a transparent image the size of the widget, which is laid
// over the widget's own drawing when the canvas goes out of scope. Pixels the painter did not
// touch keep what the widget drew.

#pragma once

#include "xpcanvas.h"
#include "xpcolors.h"

#include <QImage>
#include <QPoint>

class QWidget;

class XPWidgetCanvas
{
public:
    explicit XPWidgetCanvas(QWidget* widget);
    // A canvas over `widget` laid over `child`, a child of it that paints over it: only what the
    // painter draws where the child stands shows, on the child.
    XPWidgetCanvas(QWidget* widget, QWidget* child);
    ~XPWidgetCanvas();
    XPWidgetCanvas(const XPWidgetCanvas&) = delete;
    XPWidgetCanvas& operator=(const XPWidgetCanvas&) = delete;

    XPCanvas& canvas() { return drawing; }
    XPCanvas* operator->() { return &drawing; }
    XPRect clientRect() const { return {0, 0, image.width(), image.height()}; }

private:
    QWidget* target;
    QPoint offset; // of the widget in the target
    QImage image;
    XPCanvas drawing;
};

// The colour a canvas draws for a look colour (system colours resolved).
namespace XP {
QColor qcolor(TColor color);
// The look colour of a pixel read from a canvas.
TColor pixelColor(const XPCanvas& canvas, int x, int y);
// The background (brush) colour of a widget's parent, or of the widget when it has none.
TColor parentColor(const QWidget* widget);
// A widget's own background colour.
TColor controlColor(const QWidget* widget);
} // namespace XP
