// A drawing surface with the rules the look's painters are written against: rectangles with
// exclusive right and bottom edges, lines that leave out their end point, a pen and a brush
// kept between calls (assigning a brush colour makes a clear brush solid again), text drawn
// over a transparent background, and bitmaps drawn transparently keyed by their bottom-left pixel.
//
// The canvas draws into a QImage it does not own, so every pixel can be read back; a painter
// that works over a widget draws into an image the size of the widget and lays it over the
// widget's own drawing (see XPWidgetCanvas).

#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>

#include <initializer_list>

// Left, Top, Right, Bottom; Right and Bottom are exclusive.
struct XPRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    XPRect inflated(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
    XPRect deflated(int dx, int dy) const { return inflated(-dx, -dy); }
    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }
    static XPRect fromQRect(const QRect& r)
    {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    bool operator==(const XPRect&) const = default;
};

// Text output flags; combine with |. Without VCenter the text stands at the top of the rectangle.
namespace XPText {
enum Format : unsigned {
    Left = 0x0,
    Center = 0x1,
    Right = 0x2,
    VCenter = 0x4,
    RtlReading = 0x20000,
};
}

class XPCanvas
{
public:
    explicit XPCanvas(QImage& image);

    QImage& image() { return target; }
    int width() const { return target.width(); }
    int height() const { return target.height(); }

    void setPenColor(const QColor& color) { pen = color; }
    QColor penColor() const { return pen; }
    void setPenWidth(int width) { penWidthPixels = width < 1 ? 1 : width; }
    int penWidth() const { return penWidthPixels; }

    void setBrushColor(const QColor& color);
    void setBrushClear() { brushIsClear = true; }
    QColor brushColor() const { return brush; }
    bool brushClear() const { return brushIsClear; }

    void setFont(const QFont& f) { currentFont = f; }
    const QFont& font() const { return currentFont; }
    void setFontColor(const QColor& color) { textColor = color; }
    QColor fontColor() const { return textColor; }

    // Fills [left, right) x [top, bottom) with the brush colour, clear or not.
    void fillRect(const XPRect& r);
    void fillRect(const XPRect& r, const QColor& color);
    // A one-pixel border on the rectangle's outermost pixels, in the brush colour.
    void frameRect(const XPRect& r);
    void frameRect(const XPRect& r, const QColor& color);
    // Outline on x = left..right-1, y = top..bottom-1 in the pen; the inside in the brush unless clear.
    void rectangle(const XPRect& r);
    // As rectangle, corners rounded by an ellipse `diameter` wide and high.
    void roundRect(const XPRect& r, int diameter);
    // The ellipse inscribed in the rectangle, outlined in the pen and filled with the brush.
    void ellipse(const XPRect& r);
    // Top and left edges in one colour, bottom and right in another, `width` pixels thick on the
    // rectangle's outermost pixels; the rectangle shrinks by the width.
    void frame3D(XPRect& r, const QColor& topLeft, const QColor& bottomRight, int width);

    void moveTo(int x, int y) { penPos = QPoint(x, y); }
    // Draws from the pen position to (x, y) without (x, y) itself, then moves there.
    void lineTo(int x, int y);
    // moveTo the first point, lineTo each of the others.
    void polyline(std::initializer_list<QPoint> points);

    QColor pixel(int x, int y) const;
    void setPixel(int x, int y, const QColor& color);

    int textWidth(const QString& text) const;
    int textHeight(const QString& text) const;
    // Draws text in the font colour over a transparent background; an ampersand underlines the
    // character after it. Clipped to the rectangle.
    void drawText(const XPRect& r, const QString& text, unsigned format);

    // Copies every pixel of the bitmap whose colour differs from its bottom-left pixel.
    void drawTransparent(int x, int y, const QImage& bitmap);
    // Copies the bitmap as it is, clipped to the canvas.
    void drawBitmap(int x, int y, const QImage& bitmap);

private:
    void plot(int x, int y, QRgb rgb);

    QImage& target;
    QColor pen = Qt::black;
    int penWidthPixels = 1;
    QColor brush = Qt::white;
    bool brushIsClear = false;
    QFont currentFont;
    QColor textColor = Qt::black;
    QPoint penPos;
};
