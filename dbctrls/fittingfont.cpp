#include "fittingfont.h"

#include <QFontInfo>
#include <QFontMetricsF>

#include <algorithm>

namespace {
constexpr qreal kSmallestPointSize = 6.0;
constexpr qreal kPointStep = 0.5;

qreal runWidth(const QFont& font, const QString& text)
{
    const QFontMetricsF metrics(font);
    // Glyphs that reach past their advance at either end are drawn too.
    return metrics.horizontalAdvance(text) + std::max<qreal>(0, -metrics.minLeftBearing())
        + std::max<qreal>(0, -metrics.minRightBearing());
}
} // namespace

QFont fittingFont(const QFont& base, const QString& text, qreal width)
{
    QFont font = base;
    if (runWidth(font, text) <= width)
        return font;
    // A font sized in pixels is measured in points all the same.
    qreal size = base.pointSizeF() > 0 ? base.pointSizeF() : QFontInfo(base).pointSizeF();
    while (size - kPointStep >= kSmallestPointSize) {
        size -= kPointStep;
        font.setPointSizeF(size);
        if (runWidth(font, text) <= width)
            break;
    }
    return font;
}
