#include "toolbarpainter.h"

#include "xplook.h"
#include "xpwidgetcanvas.h"

#include <QFontMetrics>

namespace XP {

namespace {
QColor cellBackground(TXPLook& look, XPCanvas& canvas, const XPToolBarInfo& bar)
{
    return qcolor(look.HighColour ? look.Lighten(&canvas.image(), bar.color, 16) : bar.color);
}
} // namespace

void DrawButtonFrame(TXPLook& look, XPCanvas& canvas, XPRect bounds, bool dropDown)
{
    canvas.setPenColor(qcolor(look.Palette.SelectBorder));
    canvas.setPenWidth(1);
    canvas.setBrushClear();
    const int top = bounds.top + 1;
    const int bottom = bounds.bottom - 1;
    if (!dropDown) {
        canvas.rectangle({bounds.left, top, bounds.right - 1, bottom});
        return;
    }
    canvas.rectangle({bounds.left, top, bounds.right - 14, bottom});
    canvas.rectangle({bounds.right - 14, top, bounds.right - 1, bottom});
}

void DrawDropDownArrow(XPCanvas& canvas, XPRect bounds)
{
    const int x = bounds.right - 10;
    const int y = bounds.top + (bounds.height() - 3) / 2 + 1;
    const QColor black(Qt::black);
    canvas.fillRect({x, y, x + 5, y + 1}, black);
    canvas.fillRect({x + 1, y + 1, x + 4, y + 2}, black);
    canvas.setPixel(x + 2, y + 2, black);
}

void ToolBarDrawButton(TXPLook& look, XPCanvas& canvas, const XPToolBarInfo& bar,
    const XPToolButtonInfo& button, XPToolDrawState state)
{
    const XPRect br = button.bounds;
    XPRect r = br;
    look.RefreshPalette(&canvas.image());
    const TXPPalette& pal = look.Palette;
    const TColor hotFace = look.HighColour && !look.UseSystemColors()
        ? look.Lighten(&canvas.image(), look.SelectColor(), 68)
        : pal.SelectFace;

    canvas.setBrushColor(cellBackground(look, canvas, bar));
    if (!bar.transparent)
        canvas.fillRect(r);

    bool frame = false;
    bool fill = false;
    if (state.hot) {
        canvas.setBrushColor(
            qcolor(state.checked || state.selected || button.down ? pal.CheckedSelectedFace : hotFace));
        frame = fill = true;
    } else if (state.checked) {
        canvas.setBrushColor(qcolor(pal.CheckedFace));
        frame = fill = true;
    } else if (state.indeterminate) {
        canvas.setBrushColor(qcolor(hotFace));
        fill = true;
    } else if (button.hasMenuItem && state.isEmpty()) {
        canvas.setBrushColor(qcolor(bar.color));
        fill = !bar.transparent;
    }
    r.top += 1;
    if (fill)
        canvas.fillRect(r);
    const bool dropDown = button.style == XPToolButtonStyle::DropDown;
    if (frame) {
        const QColor brush = canvas.brushColor();
        DrawButtonFrame(look, canvas, br, dropDown);
        canvas.setBrushColor(brush);
    }
    if ((button.hasMenuItem || button.hasDropDownMenu) && state.selected)
        DrawBarSelection(look, XPHost::ToolButton, canvas, false, bar.color, r);

    r = br;
    if (dropDown)
        DrawDropDownArrow(canvas, br);

    int gw = 0;
    if (!button.glyph.isNull()) {
        gw = button.glyph.width();
        if (dropDown)
            r.right -= 12;
        if (!bar.list)
            r.left = roundHalfEven((r.right - r.left - gw) / 2.0 + r.left);
        else if (button.rightToLeft) {
            r.right -= 3;
            r.left = r.right - gw;
        } else {
            r.left += 3;
            r.right = r.left + gw;
        }
        r.top += 2;
        r.bottom = button.glyph.height() + r.top + 6;
        DrawGlyph(look, XPHost::ToolButton, canvas, false, false, state.checked, button.enabled,
            state.selected, state.hot, r, button.glyph);
    }

    r = br;
    if (!bar.showCaptions)
        return;
    unsigned format = XPText::Left;
    if (dropDown)
        r.right -= 12;
    if (!bar.list) {
        format = XPText::Center;
        r.top = r.bottom - QFontMetrics(bar.font).height() - 6;
    } else {
        format = XPText::VCenter;
        if (button.rightToLeft) {
            format |= XPText::Right;
            r.right -= gw + 7;
        } else if (gw > 0)
            r.left += gw;
    }
    if (button.hasMenuItem)
        format = XPText::Center;
    if (button.rightToLeft)
        format |= XPText::RtlReading;
    DrawCaption(look, XPHost::ToolButton, button.caption, format, look.Font(), button.rightToLeft,
        button.hasMenuItem, false, button.enabled, state.selected, r, canvas, QString());
}

void DrawToolBarSeparator(TXPLook& look, XPCanvas& canvas, const XPToolBarInfo& bar, XPRect bounds, int tag)
{
    look.RefreshPalette(&canvas.image());
    if (!bar.transparent)
        canvas.fillRect(bounds, cellBackground(look, canvas, bar));
    if (tag <= 0)
        return;
    const int x = bounds.left + bounds.width() / 2;
    canvas.setPenColor(qcolor(look.Darken(&canvas.image(), bar.color, 30)));
    canvas.setPenWidth(1);
    canvas.polyline({{x, bounds.top + 2}, {x, bounds.bottom - 1}});
}

void ControlBarPaintBand(TXPLook& look, XPCanvas& canvas, TColor barColor, XPRect band)
{
    look.RefreshPalette(&canvas.image());
    const QPaintDevice* device = &canvas.image();
    canvas.fillRect(band, qcolor(look.HighColour ? look.Lighten(device, barColor, 6) : barColor));
    int shade = 30;
    canvas.setPenWidth(1);
    for (int y = band.top + 5; y <= band.bottom - 5; ++y) {
        if (y % 2 != 0)
            continue;
        canvas.setPenColor(qcolor(look.Darken(device, barColor, shade)));
        canvas.polyline({{band.left + 3, y}, {band.left + 6, y}});
        shade += 7;
    }
}

} // namespace XP
