#include "buttonpainter.h"

#include "menupainter.h"
#include "xplook.h"
#include "xpwidgetcanvas.h"

namespace XP {

namespace {
// A line from (x0, y) up to but without (x1, y).
void hline(XPCanvas& canvas, TColor color, int x0, int x1, int y)
{
    canvas.setPenColor(qcolor(color));
    canvas.polyline({{x0, y}, {x1, y}});
}

struct Surface
{
    TColor face;
    TColor edge;
};

// Face and edge of push and bit buttons, and the surface and state drawn with them.
Surface drawPushSurface(TXPLook& look, XPCanvas& canvas, const XPButtonInfo& button,
    const XPButtonState& state, int classicDiameter)
{
    const QPaintDevice* device = &canvas.image();
    const TXPPalette& pal = look.Palette;
    Surface s;
    if (state.hot || state.spaceDown) {
        s.face = look.Lighten(device, clBtnFace, 60);
        s.edge = look.Lighten(device, pal.SelectBorder, 60);
    } else {
        s.face = pal.IconFace;
        s.edge = clBtnShadow;
    }
    if (!state.hot && state.focused)
        s.edge = look.Lighten(device, pal.SelectBorder, 60);

    const XPRect r = button.client;
    canvas.fillRect(r, qcolor(button.parentColor));
    canvas.setBrushColor(qcolor(s.face));
    canvas.setPenColor(qcolor(look.Lighten(device, s.edge, 30)));
    canvas.setPenWidth(1);
    if (button.trueXP)
        DrawTrueXPBaseSurface(look, canvas, r, button.parentColor, state.enabled);
    else
        canvas.roundRect(r, classicDiameter);

    if (!state.enabled)
        return s;
    if (button.trueXP) {
        DrawTrueXPStateMarks(look, canvas, r, state, true);
        return s;
    }
    const int w = r.width();
    const int h = r.height();
    canvas.setPenColor(qcolor(look.Darken(device, s.edge, 50)));
    if ((state.mouseDown && state.hot) || state.spaceDown)
        canvas.polyline({{0, h - 2}, {0, 1}, {1, 0}, {w - 1, 0}});
    else
        canvas.polyline({{w - 1, 1}, {w - 1, h - 2}, {w - 2, h - 1}, {0, h - 1}});
    return s;
}

TXPFont captionFont(const XPButtonInfo& button)
{
    TXPFont font;
    font.font = button.font;
    font.Color = button.fontColor;
    return font;
}

QImage glyphFrame(const XPButtonInfo& button, int frame)
{
    if (button.glyph.isNull() || button.numGlyphs < 1)
        return QImage();
    const int gw = button.glyph.width() / button.numGlyphs;
    if (gw <= 0)
        return QImage();
    return button.glyph.copy((frame - 1) * gw, 0, gw, button.glyph.height());
}
} // namespace

XPButtonLayout ButtonLayout(XPGlyphLayout layout, int w, int h, int gw, int gh, int tw, int th, int spacing)
{
    XPButtonLayout out;
    XPRect& g = out.glyph;
    XPRect& t = out.text;
    switch (layout) {
    case XPGlyphLayout::GlyphLeft:
        g.left = (w - (spacing + gw + tw)) / 2;
        g.top = (h - gh) / 2;
        g.right = g.left + gw;
        g.bottom = g.top + gh;
        t = {g.right + spacing, 0, g.right + spacing + tw, h};
        break;
    case XPGlyphLayout::GlyphRight:
        g.right = (spacing + gw + tw + w) / 2;
        g.left = g.right - gw;
        g.top = (h - gh) / 2;
        g.bottom = g.top + gh;
        t = {g.left - spacing - tw, 0, g.left - spacing, h};
        break;
    case XPGlyphLayout::GlyphTop:
        g.left = (w - gw) / 2;
        g.right = g.left + gw;
        g.top = (h - (spacing + gh + th)) / 2;
        g.bottom = g.top + gh;
        t.left = (w - tw) / 2;
        t.right = t.left + tw;
        t.top = g.bottom + spacing;
        t.bottom = t.top + th;
        break;
    case XPGlyphLayout::GlyphBottom:
        g.left = (w - gw) / 2;
        g.right = g.left + gw;
        g.bottom = (spacing + gh + th + h) / 2;
        g.top = g.bottom - gh;
        t.left = (w - tw) / 2;
        t.right = t.left + tw;
        t.bottom = g.top - spacing;
        t.top = t.bottom - th;
        break;
    }
    return out;
}

void DrawTrueXPBaseSurface(TXPLook& look, XPCanvas& canvas, XPRect r, TColor parentColor, bool enabled)
{
    const int d = look.BtnRoundArc();
    canvas.fillRect(r, qcolor(parentColor));
    canvas.setBrushColor(qcolor(look.BtnSurfaceNormalColor()));
    canvas.roundRect(r, d);
    if (enabled) {
        canvas.setBrushClear();
        canvas.setPenColor(qcolor(look.BtnOutLineBorderColor()));
        canvas.roundRect(r, d);
    }
    hline(canvas, look.BtnSurfaceBottomLineColor(), d, r.width() - d, r.height() - 2);
}

void DrawTrueXPStateMarks(
    TXPLook& look, XPCanvas& canvas, XPRect r, const XPButtonState& state, bool focusRing)
{
    if (!state.enabled)
        return;
    const int d = look.BtnRoundArc();
    const int w = r.width();
    const int h = r.height();
    const bool held = state.mouseDown || state.spaceDown;
    auto ring = [&](TColor outer, TColor inner) {
        canvas.setBrushClear();
        canvas.setPenColor(qcolor(outer));
        canvas.roundRect({1, 1, w - 1, h - 1}, d / 2);
        canvas.setPenColor(qcolor(inner));
        canvas.roundRect({1, 1, w - 1, h - 2}, d / 2);
    };
    // The second ring colour is a sum on the whole colour value: a carry runs into the next channel.
    if (focusRing && state.focused && !state.hot && !held)
        ring(look.BtnInnerBorderFocusColor(), look.BtnInnerBorderFocusColor() + 0x020202);
    if (state.hot && !held)
        ring(look.BtnInnerBorderMoveColor(), look.BtnInnerBorderMoveColor() + 0x020200);
    if (held) {
        canvas.setBrushColor(qcolor(look.BtnSurfaceDownColor()));
        canvas.setPenColor(qcolor(look.BtnOutLineBorderColor()));
        canvas.roundRect(r, d);
        hline(canvas, look.BtnSurfaceDownBottomLineColor(), d, w - d, h - 2);
    }
}

void DrawBitButton(TXPLook& look, XPCanvas& canvas, const XPButtonInfo& button, const XPButtonState& state)
{
    look.RefreshPalette(&canvas.image());
    drawPushSurface(look, canvas, button, state, 4);

    canvas.setFont(button.font);
    const int tw = canvas.textWidth(button.caption);
    const int th = canvas.textHeight(button.caption);
    const unsigned format = button.rightToLeft ? XPText::RtlReading : XPText::Left;
    const QImage glyph = glyphFrame(button, 1);
    const int spacing = button.caption.trimmed().isEmpty() ? 0 : button.spacing;
    const XPButtonLayout layout = ButtonLayout(button.layout, button.client.width(), button.client.height(),
        glyph.width(), glyph.height(), tw, th, spacing);
    DrawGlyph(look, XPHost::Button, canvas, button.rightToLeft, false, false, state.enabled, state.focused,
        state.hot, layout.glyph, glyph);
    DrawCaption(look, XPHost::Button, button.caption, format, captionFont(button), button.rightToLeft, false,
        button.isDefault, state.enabled, false, layout.text, canvas, QString());
}

void DrawPushButton(TXPLook& look, XPCanvas& canvas, const XPButtonInfo& button, const XPButtonState& state)
{
    look.RefreshPalette(&canvas.image());
    drawPushSurface(look, canvas, button, state, look.BtnRoundArc());
    canvas.setFont(button.font);
    const int tw = canvas.textWidth(button.caption);
    const unsigned format = button.rightToLeft ? XPText::RtlReading : XPText::Left;
    XPRect text = button.client;
    text.left = (button.client.width() - tw) / 2;
    DrawCaption(look, XPHost::Button, button.caption, format, captionFont(button), button.rightToLeft, false,
        button.isDefault, state.enabled, false, text, canvas, QString());
}

void DrawSpeedButton(TXPLook& look, XPCanvas& canvas, const XPButtonInfo& button, const XPButtonState& state)
{
    const QPaintDevice* device = &canvas.image();
    look.RefreshPalette(device);
    const TXPPalette& pal = look.Palette;
    const XPRect r = button.client;
    const int w = r.width();
    const int h = r.height();

    TColor face = state.hot ? pal.SelectFace : pal.IconFace;
    TColor edge = state.hot ? pal.SelectBorder : clBtnShadow;
    if (button.down) {
        face = state.hot ? pal.CheckedSelectedFace : pal.CheckedFace;
        edge = pal.SelectBorder;
    }
    if (!state.enabled)
        edge = clBtnShadow;

    if ((button.down || state.hot) && button.transparent) {
        // The parent's background shows through, tinted by a bitwise AND.
        const QColor tint
            = qcolor(look.Lighten(device, pal.SelectFace, canvas.image().depth() > 16 ? 20 : 40));
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const QColor under = canvas.pixel(x, y);
                canvas.setPixel(x, y,
                    QColor(
                        under.red() & tint.red(), under.green() & tint.green(), under.blue() & tint.blue()));
            }
    }
    canvas.setBrushColor(qcolor(face));
    canvas.setPenColor(qcolor(look.Lighten(device, edge, 30)));
    canvas.setPenWidth(1);
    if (button.flat && !button.transparent && !button.down && !state.hot)
        canvas.setPenColor(qcolor(face));
    if (button.transparent)
        canvas.setBrushClear();
    if (!(button.transparent && button.flat && !state.hot && !button.down))
        canvas.rectangle(r);

    if (button.trueXP) {
        DrawTrueXPBaseSurface(look, canvas, r, button.parentColor, state.enabled);
        DrawTrueXPStateMarks(look, canvas, r, state, false);
    } else if (!button.flat && state.enabled) {
        canvas.setPenColor(qcolor(look.Darken(device, edge, 50)));
        if (state.mouseDown || button.down)
            canvas.polyline({{0, h - 1}, {0, 0}, {w, 0}});
        else
            canvas.polyline({{w - 1, 0}, {w - 1, h - 1}, {0, h - 1}});
    }

    canvas.setFont(button.font);
    const int tw = canvas.textWidth(button.caption);
    const int th = canvas.textHeight(button.caption);
    const unsigned format = button.rightToLeft ? XPText::RtlReading : XPText::Left;
    const int spacing = button.caption.isEmpty() ? 0 : button.spacing;
    int frame = 1;
    if (!state.enabled && button.numGlyphs > 1)
        frame = 2;
    if (state.mouseDown && button.numGlyphs > 2)
        frame = 3;
    if (button.down && button.numGlyphs > 3)
        frame = 4;
    const QImage glyph = glyphFrame(button, frame);
    XPGlyphLayout layout = button.layout;
    if (button.rightToLeft && layout == XPGlyphLayout::GlyphLeft)
        layout = XPGlyphLayout::GlyphRight;
    else if (button.rightToLeft && layout == XPGlyphLayout::GlyphRight)
        layout = XPGlyphLayout::GlyphLeft;
    XPButtonLayout place = ButtonLayout(layout, w, h, glyph.width(), glyph.height(), tw, th, spacing);
    if (layout == XPGlyphLayout::GlyphLeft) {
        place.glyph.top -= 1;
        place.glyph.bottom -= 1;
    }
    DrawGlyph(look, XPHost::Button, canvas, button.rightToLeft, false, button.down || state.mouseDown,
        state.enabled, state.focused, state.hot, place.glyph, glyph);
    DrawCaption(look, XPHost::Button, button.caption, format, captionFont(button), button.rightToLeft, false,
        false, state.enabled, false, place.text, canvas, QString());
}

} // namespace XP
