#include "xpcanvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
QRgb premultiplied(const QColor& color)
{
    return qPremultiply(color.rgba());
}

// Glyphs with an alpha channel keep their smooth edges over what is already drawn.
QRgb sourceOver(QRgb source, QRgb destination)
{
    const int alpha = qAlpha(source);
    if (alpha == 255)
        return source;
    const int keep = 255 - alpha;
    auto channel = [&](int s, int d) { return s + (d * keep + 127) / 255; };
    return qRgba(channel(qRed(source), qRed(destination)), channel(qGreen(source), qGreen(destination)),
        channel(qBlue(source), qBlue(destination)), channel(alpha, qAlpha(destination)));
}

// A painter on the image that draws exact pixels: no smoothing, cosmetic one-pixel pens.
class PixelPainter : public QPainter
{
public:
    explicit PixelPainter(QImage& image)
        : QPainter(&image)
    {
        setRenderHint(QPainter::Antialiasing, false);
        setRenderHint(QPainter::TextAntialiasing, true);
    }
};
} // namespace

XPCanvas::XPCanvas(QImage& image)
    : target(image)
{
    if (target.format() != QImage::Format_ARGB32_Premultiplied)
        target.convertTo(QImage::Format_ARGB32_Premultiplied);
}

void XPCanvas::setBrushColor(const QColor& color)
{
    brush = color;
    brushIsClear = false;
}

void XPCanvas::fillRect(const XPRect& r)
{
    fillRect(r, brush);
}

void XPCanvas::fillRect(const XPRect& r, const QColor& color)
{
    if (r.isEmpty())
        return;
    const QRgb rgb = premultiplied(color);
    const QRect clipped = r.toQRect() & target.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            line[x] = rgb;
    }
}

void XPCanvas::frameRect(const XPRect& r)
{
    frameRect(r, brush);
}

void XPCanvas::frameRect(const XPRect& r, const QColor& color)
{
    if (r.isEmpty())
        return;
    fillRect({r.left, r.top, r.right, r.top + 1}, color);
    fillRect({r.left, r.bottom - 1, r.right, r.bottom}, color);
    fillRect({r.left, r.top, r.left + 1, r.bottom}, color);
    fillRect({r.right - 1, r.top, r.right, r.bottom}, color);
}

void XPCanvas::rectangle(const XPRect& r)
{
    if (r.isEmpty())
        return;
    if (!brushIsClear)
        fillRect(r.deflated(1, 1), brush);
    frameRect(r, pen);
}

namespace {
// How far in from its side the outline of a rounded corner stands on the row `j` rows from the
// top or bottom edge: at the first pixel whose centre lies inside the corner's ellipse. Every
// corner takes its insets from here, so the four corners are mirror images.
int cornerInset(int ellipseWidth, int ellipseHeight, int j)
{
    const double rx = ellipseWidth / 2.0;
    const double ry = ellipseHeight / 2.0;
    const double dy = ry - (j + 0.5);
    if (dy <= 0)
        return 0;
    const double half = rx * std::sqrt(std::max(0.0, 1.0 - (dy / ry) * (dy / ry)));
    return std::max(0, int(std::ceil(rx - half - 0.5 - 1e-9)));
}
} // namespace

void XPCanvas::roundRect(const XPRect& r, int diameter)
{
    if (r.isEmpty())
        return;
    if (diameter < 2) {
        rectangle(r);
        return;
    }
    const int ew = std::min(diameter, r.width());
    const int eh = std::min(diameter, r.height());
    const auto inset = [&](int j) { return j < (eh + 1) / 2 ? cornerInset(ew, eh, j) : 0; };
    for (int y = r.top; y < r.bottom; ++y) {
        const int j = std::min(y - r.top, r.bottom - 1 - y);
        const int in = inset(j);
        if (j == 0) {
            fillRect({r.left + in, y, r.right - in, y + 1}, pen);
            continue;
        }
        // The outline runs on until it meets the row nearer the edge, so it has no gaps.
        const int run = std::max(1, inset(j - 1) - in);
        fillRect({r.left + in, y, r.left + in + run, y + 1}, pen);
        fillRect({r.right - in - run, y, r.right - in, y + 1}, pen);
        if (!brushIsClear)
            fillRect({r.left + in + run, y, r.right - in - run, y + 1}, brush);
    }
}

void XPCanvas::ellipse(const XPRect& r)
{
    if (r.isEmpty())
        return;
    PixelPainter p(target);
    p.setPen(QPen(pen, 0));
    p.setBrush(brushIsClear ? QBrush(Qt::NoBrush) : QBrush(brush));
    p.drawEllipse(QRect(r.left, r.top, r.width() - 1, r.height() - 1));
}

void XPCanvas::frame3D(XPRect& r, const QColor& topLeft, const QColor& bottomRight, int width)
{
    for (int i = 0; i < width && !r.isEmpty(); ++i) {
        fillRect({r.left, r.top, r.right - 1, r.top + 1}, topLeft);
        fillRect({r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
        fillRect({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
        fillRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
        r = r.deflated(1, 1);
    }
}

void XPCanvas::plot(int x, int y, QRgb rgb)
{
    const int half = (penWidthPixels - 1) / 2;
    for (int dy = 0; dy < penWidthPixels; ++dy)
        for (int dx = 0; dx < penWidthPixels; ++dx) {
            const int px = x - half + dx;
            const int py = y - half + dy;
            if (target.valid(px, py))
                reinterpret_cast<QRgb*>(target.scanLine(py))[px] = rgb;
        }
}

void XPCanvas::lineTo(int x, int y)
{
    // Bresenham from the pen position, stopping one step short of the end point.
    const QRgb rgb = premultiplied(pen);
    int x0 = penPos.x();
    int y0 = penPos.y();
    const int dx = std::abs(x - x0);
    const int dy = -std::abs(y - y0);
    const int sx = x0 < x ? 1 : -1;
    const int sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    while (x0 != x || y0 != y) {
        plot(x0, y0, rgb);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    penPos = QPoint(x, y);
}

void XPCanvas::polyline(std::initializer_list<QPoint> points)
{
    bool first = true;
    for (const QPoint& point : points) {
        if (first)
            moveTo(point.x(), point.y());
        else
            lineTo(point.x(), point.y());
        first = false;
    }
}

QColor XPCanvas::pixel(int x, int y) const
{
    if (!target.valid(x, y))
        return QColor(Qt::black);
    return QColor::fromRgba(qUnpremultiply(reinterpret_cast<const QRgb*>(target.constScanLine(y))[x]));
}

void XPCanvas::setPixel(int x, int y, const QColor& color)
{
    if (target.valid(x, y))
        reinterpret_cast<QRgb*>(target.scanLine(y))[x] = premultiplied(color);
}

int XPCanvas::textWidth(const QString& text) const
{
    return QFontMetrics(currentFont).horizontalAdvance(text);
}

int XPCanvas::textHeight(const QString& text) const
{
    // One line of the font, whatever the characters, as the platform measures text height.
    Q_UNUSED(text);
    return QFontMetrics(currentFont).height();
}

void XPCanvas::drawText(const XPRect& r, const QString& text, unsigned format)
{
    if (r.isEmpty() || text.isEmpty())
        return;
    PixelPainter p(target);
    p.setClipRect(r.toQRect());
    p.setFont(currentFont);
    p.setPen(textColor);
    int flags = Qt::TextShowMnemonic | Qt::TextSingleLine;
    if (format & XPText::Center)
        flags |= Qt::AlignHCenter;
    else if (format & XPText::Right)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    flags |= (format & XPText::VCenter) ? Qt::AlignVCenter : Qt::AlignTop;
    if (format & XPText::RtlReading)
        p.setLayoutDirection(Qt::RightToLeft);
    p.drawText(r.toQRect(), flags, text);
}

void XPCanvas::drawTransparent(int x, int y, const QImage& bitmap)
{
    if (bitmap.isNull())
        return;
    const QImage source = bitmap.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb key = reinterpret_cast<const QRgb*>(source.constScanLine(source.height() - 1))[0];
    for (int row = 0; row < source.height(); ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(row));
        for (int column = 0; column < source.width(); ++column)
            if (line[column] != key && target.valid(x + column, y + row)) {
                QRgb& under = reinterpret_cast<QRgb*>(target.scanLine(y + row))[x + column];
                under = sourceOver(line[column], under);
            }
    }
}

void XPCanvas::drawBitmap(int x, int y, const QImage& bitmap)
{
    if (bitmap.isNull())
        return;
    PixelPainter p(target);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(x, y, bitmap);
}
