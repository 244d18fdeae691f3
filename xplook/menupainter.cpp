#include "menupainter.h"

#include "xplook.h"
#include "xpwidgetcanvas.h"

#include <algorithm>
#include <cmath>

namespace XP {

int roundHalfEven(double value)
{
    return int(std::nearbyint(value)); // the default rounding mode rounds halves to even
}

bool isSeparator(const MenuItemFace& item)
{
    return item.caption == QStringLiteral("-");
}

QSize GetItemImageSize(const TXPLook& look, const MenuItemFace& item)
{
    QSize size = item.glyph.isNull() ? QSize(0, 0) : item.glyph.size();
    if (!item.formBarItem)
        size.setWidth(std::max(size.width(), look.IconWidth()));
    return size;
}

void MenuMeasureItem(
    TXPLook& look, XPCanvas& canvas, const MenuItemFace& item, int& width, int& height, bool ntFamily)
{
    if (!look.Active())
        return;
    QString text = isSeparator(item) ? QString() : item.caption;
    if (!item.shortcutText.trimmed().isEmpty())
        text
            += item.shortcutText + QStringLiteral("WWW"); // the three letters keep caption and shortcut apart
    canvas.setFont(look.Font().font);
    int w = canvas.textWidth(text) + 5;
    if (text.contains(QLatin1Char('&')))
        w -= canvas.textWidth(QStringLiteral("&"));
    const QSize image = GetItemImageSize(look, item);
    if (image.width() > 0)
        w += image.width();
    if (item.formBarItem && ntFamily)
        w += 8;
    width = std::max(width, w);
    if (isSeparator(item)) {
        height = 4;
        return;
    }
    const int th = canvas.textHeight(text);
    int h = th + roundHalfEven(th * 0.75);
    h = std::max(h, image.height() + 6);
    height = std::max(height, h);
}

namespace {
XPRect iconRectOf(const XPRect& item, int w, bool rtl)
{
    return rtl ? XPRect {item.right - w, item.top, item.right, item.bottom}
               : XPRect {item.left, item.top, item.left + w, item.bottom};
}

XPRect checkRectOf(const XPRect& icon, const QImage& glyph, int w, bool rtl, bool bar)
{
    XPRect r;
    if (!glyph.isNull())
        r = {icon.left + 1, icon.top + 2, icon.right - 3, icon.bottom - 2};
    else {
        r.left = icon.left + (icon.width() - 10) / 2;
        r.top = icon.top + (icon.height() - 10) / 2;
        r.right = r.left + 10;
        r.bottom = r.top + 10;
    }
    if (glyph.width() > w) {
        if (rtl)
            r.left = r.right - glyph.width();
        else
            r.right = r.left + glyph.width();
    }
    if (bar)
        r.top -= 1;
    return r;
}

XPRect textRectOf(const XPRect& item, const QImage& glyph, int w, bool rtl, bool bar)
{
    XPRect r {item.left, item.top, item.right, item.bottom};
    const int gw = glyph.isNull() ? 0 : glyph.width();
    if (rtl) {
        r.right = item.right - (bar ? 4 : w);
        if (item.right - gw < r.right)
            r.right = item.right - gw - 8;
    } else {
        r.left = item.left + (bar ? 4 : w);
        if (gw + item.left > r.left)
            r.left = gw + item.left + 4;
    }
    if (bar) {
        if (glyph.isNull())
            r = item;
        else if (rtl)
            r.right += 5;
        else
            r.left -= 5;
    }
    return r;
}
} // namespace

void MenuDrawItem(TXPLook& look, XPCanvas& canvas, const MenuItemFace& item, XPRect rect, bool selected)
{
    if (!look.Active())
        return;
    look.RefreshPalette(&canvas.image());
    const TXPPalette& pal = look.Palette;
    const int w = look.IconWidth();
    const bool rtl = item.rightToLeft;
    const bool separator = isSeparator(item);
    const bool bar = item.barItem;
    canvas.setFont(look.Font().font);

    XPRect itemRect = rect;
    itemRect.bottom += 1;
    const QString text = QStringLiteral(" ") + item.caption;
    const QImage glyph = item.glyph;
    const bool hasGlyph = !glyph.isNull() && glyph.width() > 0;

    const XPRect iconRect = iconRectOf(itemRect, w, rtl);
    const XPRect checkRect = checkRectOf(iconRect, glyph, w, rtl, bar);
    XPRect textRect = textRectOf(itemRect, glyph, w, rtl, bar);

    if (bar)
        canvas.fillRect(itemRect, qcolor(pal.MenuBarFace));
    else if (look.HighColour && look.Gradient())
        FillGradient(look, canvas, {itemRect.left, itemRect.top, itemRect.right + 2, itemRect.bottom}, rtl);
    else {
        canvas.fillRect(itemRect, qcolor(pal.MenuFace));
        canvas.fillRect(iconRect, qcolor(pal.IconFace));
    }

    if (selected && look.DrawSelect()) {
        if (bar)
            DrawBarSelection(look, XPHost::MenuItem, canvas, rtl, look.MenuBarColor(), itemRect);
        else if (item.enabled) {
            XPRect sel {itemRect.left, itemRect.top + 1, itemRect.right, itemRect.bottom - 1};
            if (look.FlatMenu())
                sel.right -= 1;
            canvas.setBrushColor(qcolor(pal.SelectFace));
            canvas.setPenColor(qcolor(pal.SelectBorder));
            canvas.rectangle(sel);
        }
    }

    DrawCheckMark(look, canvas, item, selected, checkRect, hasGlyph);
    DrawGlyph(look, XPHost::MenuItem, canvas, rtl, bar, item.checked, item.enabled, false, selected, iconRect,
        glyph);

    if (!separator) {
        unsigned format = XPText::Left;
        if (rtl) {
            format = XPText::Right | XPText::RtlReading;
            textRect.right -= 3;
        } else
            textRect.left += 3;
        DrawCaption(look, XPHost::MenuItem, text, format, look.Font(), rtl, bar, item.isDefault, item.enabled,
            selected, textRect, canvas, item.shortcutText);
    } else {
        const int y = textRect.top + roundHalfEven(textRect.height() / 2.0);
        canvas.setPenColor(qcolor(pal.SeparatorLine));
        canvas.setPenWidth(1);
        if (rtl)
            canvas.polyline({{textRect.left, y}, {textRect.right - 7, y}});
        else
            canvas.polyline({{textRect.left + 7, y}, {textRect.right, y}});
    }
}

void DrawCheckMark(
    TXPLook& look, XPCanvas& canvas, const MenuItemFace& item, bool selected, XPRect r, bool hasGlyph)
{
    if (!item.checked)
        return;
    const TXPPalette& pal = look.Palette;
    if (item.enabled)
        canvas.setBrushColor(qcolor(selected ? pal.CheckedSelectedFace : pal.CheckedFace));
    canvas.setPenWidth(1);
    const TColor boxOutline = item.enabled ? pal.SelectBorder : pal.DisabledText;
    if (item.radioItem) {
        canvas.setPenColor(qcolor(boxOutline));
        if (hasGlyph)
            canvas.roundRect(r, 6);
        else
            canvas.ellipse(r);
        return;
    }
    if (hasGlyph) {
        canvas.setPenColor(qcolor(boxOutline));
        canvas.rectangle(r);
        return;
    }
    canvas.setPenColor(qcolor(item.enabled ? pal.CheckMark : pal.DisabledText));
    canvas.rectangle(r);
    canvas.setPenColor(item.enabled ? QColor(Qt::black) : qcolor(pal.DisabledText));
    const int l = r.left, t = r.top, b = r.bottom, rt = r.right;
    canvas.polyline({{l + 1, t + 5}, {l + 4, b - 2}});
    canvas.polyline({{l + 2, t + 5}, {l + 4, b - 3}});
    canvas.polyline({{l + 2, t + 4}, {l + 5, b - 3}});
    canvas.polyline({{l + 4, b - 3}, {rt + 2, t - 1}});
    canvas.polyline({{l + 4, b - 2}, {rt - 2, t + 3}});
}

void DrawGlyphShadow(const QImage& glyph, XPCanvas& canvas, int x0, int y0, TColor color)
{
    if (glyph.isNull())
        return;
    const QColor shadow = qcolor(color);
    const QRgb key = glyph.pixel(0, glyph.height() - 1);
    for (int row = 0; row < glyph.height(); ++row)
        for (int column = 0; column < glyph.width(); ++column)
            if (glyph.pixel(column, row) != key)
                canvas.setPixel(x0 + column, y0 + row, shadow);
}

void DrawGlyph(TXPLook& look, XPHost host, XPCanvas& canvas, bool rightToLeft, bool bar, bool checked,
    bool enabled, bool pressed, bool hot, XPRect r, QImage glyph)
{
    if (glyph.isNull() || glyph.width() == 0)
        return;
    const int w = look.IconWidth();
    const int gw = glyph.width();
    int x = r.left;
    int y = r.top + 1;
    if (host == XPHost::MenuItem) {
        y += 2;
        if (gw < w)
            x = r.left + (w - gw) / 2 - 1;
        else if (rightToLeft)
            x = r.right - gw - 2;
        else
            x = r.left + 2;
    }
    if (bar)
        x = rightToLeft ? r.right - gw - 5 : r.left + 1;
    if (hot && !bar && enabled && !checked && !pressed) {
        x -= 1;
        y -= 1;
    }
    glyph.convertTo(QImage::Format_ARGB32);
    if (!hot && enabled && !checked && look.HighColour)
        look.DimBitmap(glyph, look.DimLevel());
    if (!enabled) {
        look.GrayBitmap(glyph, look.GrayLevel());
        look.DimBitmap(glyph, 40);
    }
    if (hot && enabled && !checked) {
        const bool ownSelectColor = look.HighColour && !look.UseSystemColors() && host == XPHost::ToolButton;
        const TColor base = ownSelectColor ? look.Lighten(&canvas.image(), look.SelectColor(), 68)
                                           : look.Palette.SelectFace;
        DrawGlyphShadow(glyph, canvas, x + 2, y + 2, look.Darken(&canvas.image(), base, 50));
    }
    canvas.drawTransparent(x, y, glyph);
}

void DrawCaption(TXPLook& look, XPHost host, const QString& text, unsigned format, const TXPFont& font,
    bool rightToLeft, bool bar, bool isDefault, bool enabled, bool selected, XPRect r, XPCanvas& canvas,
    const QString& shortcut)
{
    const QPaintDevice* device = &canvas.image();
    canvas.setFont(font.font);
    TColor color = font.Color;
    if (selected)
        color = look.Palette.SelectFont;
    if (!enabled)
        color = look.Palette.DisabledText;
    const unsigned horizontal = format & (XPText::Center | XPText::Right);

    if (!enabled && host == XPHost::ToolButton) {
        // Drawn on an opaque strip in the brush colour. The caption keeps its own font here
        // rather than falling back to the toolkit's default.
        r.top += (r.height() - canvas.textHeight(QStringLiteral("W"))) / 2;
        canvas.fillRect(r);
        canvas.setFontColor(qcolor(color));
        canvas.drawText(r, text, horizontal | (format & XPText::RtlReading));
        return;
    }
    if (bar && selected && look.UseSystemColors())
        color = look.ContrastText(device, look.Palette.IconFace);
    r.top += (r.height() - canvas.textHeight(QStringLiteral("W"))) / 2;

    if (isDefault && enabled) {
        struct Pass
        {
            XPRect rect;
            int amount;
        };
        const Pass passes[] = {
            {{r.left + 1, r.top, r.right, r.bottom}, 30},
            {{r.left + 1, r.top + 2, r.right + 1, r.bottom}, 30},
            {{r.left, r.top + 1, r.right, r.bottom}, 40},
            {{r.left + 1, r.top + 1, r.right + 1, r.bottom}, 60},
        };
        for (const Pass& pass : passes) {
            const TColor under = pixelColor(canvas, pass.rect.left, pass.rect.top);
            canvas.setFontColor(qcolor(look.Darken(device, under, pass.amount)));
            canvas.drawText(pass.rect, text, format);
        }
    }
    canvas.setFontColor(qcolor(color));
    canvas.drawText(r, text, format);

    const TColor shortcutColor = look.HighColour ? look.Darken(device, color, -40) : color;
    canvas.setFontColor(qcolor(shortcutColor));
    XPRect s = r;
    unsigned shortcutFormat;
    if (rightToLeft) {
        s.left += 10;
        shortcutFormat = XPText::Left;
    } else {
        s.right -= 10;
        shortcutFormat = XPText::Right;
    }
    canvas.drawText(s, shortcut + QStringLiteral(" "), shortcutFormat);
}

void DrawBarSelection(
    TXPLook& look, XPHost host, XPCanvas& canvas, bool rightToLeft, TColor barColor, XPRect r)
{
    const QPaintDevice* device = &canvas.image();
    const int l = r.left, t = r.top, rt = r.right, b = r.bottom;
    canvas.fillRect(r, qcolor(look.Palette.SelectFace));
    canvas.setPenColor(qcolor(look.Palette.SelectBorder));
    canvas.setPenWidth(1);
    if (rightToLeft || !look.HighColour || host != XPHost::MenuItem) {
        canvas.polyline({{l, b - 1}, {l, t}, {rt - 3, t}, {rt - 3, b}});
        canvas.fillRect({rt - 2, t + 2, rt, b}, qcolor(look.Darken(device, barColor, 70)));
        canvas.fillRect({rt - 2, t, rt, t + 2}, qcolor(barColor));
        return;
    }
    const TColor c = look.Palette.MenuBarFace;
    auto dark = [&](int amount) { return qcolor(look.Darken(device, c, amount)); };
    canvas.polyline({{l, b - 1}, {l, t}, {rt - 8, t}, {rt - 8, b}});
    canvas.fillRect({rt - 7, t, rt, b}, dark(10));
    canvas.fillRect({rt - 7, t + 3, rt - 2, b}, dark(30));
    canvas.fillRect({rt - 7, t + 5, rt - 3, b}, dark(60));
    canvas.fillRect({rt - 7, t + 6, rt - 5, b}, dark(100));
    canvas.setPenColor(qcolor(c));
    canvas.polyline({{rt - 5, t + 1}, {rt - 1, t + 1}, {rt - 1, t + 6}});
    canvas.polyline({{rt - 3, t + 2}, {rt - 2, t + 2}, {rt - 2, t + 3}, {rt - 3, t + 3}});
    canvas.setPenColor(dark(10));
    canvas.polyline({{rt - 6, t + 3}, {rt - 3, t + 3}, {rt - 3, t + 6}, {rt - 4, t + 6}, {rt - 4, t + 3}});
    canvas.setPenColor(dark(30));
    canvas.polyline({{rt - 5, t + 5}, {rt - 4, t + 5}, {rt - 4, t + 9}});
    canvas.setPenColor(dark(40));
    canvas.polyline({{rt - 6, t + 5}, {rt - 6, t + 7}});
}

void FillGradient(TXPLook& look, XPCanvas& canvas, XPRect r, bool rightToLeft)
{
    const QPaintDevice* device = &canvas.image();
    const int w = look.IconWidth();
    int step = 0;
    const int columns = r.width() + 1;
    for (int i = 0; i < columns; ++i) {
        const int x = rightToLeft ? r.right - 1 - i : r.left + i;
        const bool inIconZone
            = rightToLeft ? (r.right - w + 5 < x && x < r.right) : (r.left < x && x < r.left + w + 5);
        step = std::min(step + (inIconZone ? 3 : 1), 96);
        canvas.fillRect(
            {x, r.top, x + 1, r.bottom}, qcolor(look.Lighten(device, look.Palette.IconFace, step)));
    }
}

void DrawFlatFrame(TXPLook& look, XPCanvas& canvas, XPRect window, bool rightToLeft)
{
    const TXPPalette& pal = look.Palette;
    const int w = look.IconWidth();
    // The rectangle leaves the two-pixel shadow outside it.
    int l = window.left;
    int t = window.top;
    int r = window.right - 2;
    int b = window.bottom - 2;
    canvas.setBrushClear();
    canvas.setPenWidth(1);
    auto outline = [&canvas](TColor color, XPRect rect) {
        canvas.setPenColor(qcolor(color));
        canvas.rectangle(rect);
    };
    auto line = [&canvas](TColor color, QPoint from, QPoint to) {
        canvas.setPenColor(qcolor(color));
        canvas.polyline({from, to});
    };

    outline(pal.ShadowOuter, {l, t, r, b});
    if (rightToLeft) {
        outline(pal.MenuFace, {l + 1, t + 1, r - 2, t + 3});
        line(pal.MenuFace, {l + 2, t + 2}, {l + 2, b - 2});
        line(pal.IconFace, {r - 2, t + 2}, {r - 2, b - 2});
        line(pal.IconFace, {r - 2, t + 2}, {r - 1 - w, t + 2});
    } else {
        if (look.Gradient())
            FillGradient(look, canvas, {l + 1, t + 1, r - 3, t + 3}, false);
        else {
            outline(pal.MenuFace, {l + 1, t + 1, r - 1, t + 3});
            line(pal.IconFace, {l + 1, t + 2}, {l + 3 + w, t + 2});
        }
        canvas.setBrushClear();
        outline(pal.IconFace, {l + 1, t + 2, l + 3, b - 1});
    }

    r += 2;
    b += 2;
    outline(pal.ShadowInner, {l + 2, b - 2, r, b});
    outline(pal.ShadowInner, {r - 2, t + 2, r, b});
    // The two corners where the shadow starts show the desktop's face colour.
    outline(clBtnFace, {l, b - 2, l + 2, b});
    outline(clBtnFace, {r - 2, t, r, t + 2});
}

} // namespace XP
