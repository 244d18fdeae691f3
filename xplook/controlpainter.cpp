#include "controlpainter.h"

#include "xplook.h"
#include "xpwidgetcanvas.h"

#include <QPainter>

namespace XP {

TColor EditOutlineColor(
    TXPLook& look, const QPaintDevice* device, bool hotOrFocused, bool savedSingleBorder, TColor parentColor)
{
    if (hotOrFocused)
        return look.Lighten(device, look.Palette.SelectBorder, savedSingleBorder ? 60 : 80);
    return savedSingleBorder ? look.Darken(device, parentColor, 60) : parentColor;
}

void DrawEditOutline(QPainter& painter, const QRect& client, TColor outline)
{
    if (client.isEmpty())
        return;
    painter.setPen(qcolor(outline));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(client.adjusted(0, 0, -1, -1));
}

namespace {
// A focused combo box without a text box shows its entry selected, as a focused list does.
void drawComboField(XPCanvas& canvas, const XPControlInfo& combo, const XPControlState& state,
    bool droppedDown, const XPComboField& field, XPRect r)
{
    if (!field.paint)
        return;
    canvas.fillRect(r, qcolor(combo.color));
    if (field.ownTextBox || field.text.isEmpty())
        return;
    XPRect text = field.textRect;
    text.left = std::max(text.left, r.left);
    text.right = std::min(text.right, r.right);
    text.top = std::max(text.top, r.top);
    text.bottom = std::min(text.bottom, r.bottom);
    const bool selected = state.focused && !droppedDown && state.enabled;
    if (selected)
        canvas.fillRect(r.deflated(1, 1), qcolor(clHighlight));
    canvas.setFont(field.font);
    canvas.setFontColor(qcolor(selected ? clHighlightText : field.textColor));
    canvas.drawText(text, field.text,
        (combo.rightToLeft ? XPText::Right | XPText::RtlReading : XPText::Left) | XPText::VCenter);
}
} // namespace

void DrawComboBox(TXPLook& look, XPCanvas& canvas, const XPControlInfo& combo, const XPControlState& state,
    bool droppedDown, const XPComboField& field)
{
    const QPaintDevice* device = &canvas.image();
    look.RefreshPalette(device);
    const TXPPalette& pal = look.Palette;
    const XPRect cr = combo.client;
    const bool classicActive = !combo.trueXP && (state.hot || state.focused);
    QColor arrow = state.enabled ? QColor(Qt::black) : QColor(Qt::white);
    TColor border = state.hot ? pal.SelectBorder : combo.color;
    TColor face = state.hot ? pal.SelectFace : clBtnFace;
    if (!state.hot && state.focused) {
        border = look.Lighten(device, pal.SelectBorder, 60);
        face = pal.CheckedFace;
    }

    XPRect r = cr;
    canvas.frameRect(r, qcolor(combo.parentColor));
    r = r.deflated(1, 1);
    canvas.setPenColor(qcolor(combo.parentColor));
    canvas.setPenWidth(1);
    canvas.polyline({{r.left, r.top}, {r.right, r.top}});
    r = r.deflated(0, 1);
    if (classicActive)
        r = r.inflated(1, 1);
    canvas.frameRect(r, qcolor(combo.color));
    r.bottom += 1;
    canvas.frameRect(r, qcolor(combo.trueXP && state.enabled ? look.BtnOutLineBorderColor() : border));
    if (droppedDown) {
        border = pal.SelectBorder;
        arrow = Qt::white;
        face = pal.CheckedSelectedFace;
    }

    r = r.deflated(1, 1);
    XPRect b = r;
    if (combo.rightToLeft) {
        b.right = r.left + combo.thumb + 1;
        if (classicActive)
            b.right += 2;
    } else {
        b.left = r.right - combo.thumb - 1;
        if (classicActive)
            b.left -= 1;
    }

    XPRect fieldRect = r;
    if (combo.rightToLeft)
        fieldRect.left = b.right;
    else
        fieldRect.right = b.left;
    drawComboField(canvas, combo, state, droppedDown, field, fieldRect);

    if (combo.trueXP) {
        canvas.fillRect(b, qcolor(look.BtnSurfaceNormalColor()));
        const XPRect inner = b.deflated(1, 1);
        TColor innerFace = state.mouseDown ? look.BtnSurfaceDownColor() : look.BtnInnerBorderFocusColor();
        if (state.hot)
            innerFace = look.ComboboxSurfaceMoveColor();
        if (droppedDown)
            innerFace = look.ComboDroppedColor;
        canvas.fillRect(inner, qcolor(innerFace));
        const int cx = inner.left + (inner.width() - 8) / 2;
        const int cy = inner.top + (inner.height() - 4) / 2;
        canvas.setPenColor(qcolor(look.ComboBoxChkColor()));
        canvas.setPenWidth(2);
        canvas.polyline({{cx, cy}, {cx + 4, cy + 4}, {cx + 8, cy}});
        canvas.setPenWidth(1);
        return;
    }
    canvas.fillRect(b, qcolor(face));
    const XPRect strip = combo.rightToLeft ? XPRect {b.right - 5, b.top, b.right, b.bottom}
                                           : XPRect {b.left, b.top, b.left + 5, b.bottom};
    canvas.fillRect(strip, qcolor(combo.color));
    const int x = combo.rightToLeft ? b.right - 5 : b.left + 5;
    canvas.setPenColor(qcolor(border));
    canvas.polyline({{x, b.top}, {x, b.bottom}});

    const int ax = combo.rightToLeft ? cr.left + 5 : cr.right - 10;
    canvas.fillRect({ax, cr.top + 10, ax + 4, cr.top + 11}, arrow);
    canvas.fillRect({ax + 1, cr.top + 11, ax + 3, cr.top + 12}, arrow);
    canvas.setPixel(ax + 2, cr.top + 12, arrow);
}

void DrawCheckTick(XPCanvas& canvas, int x, int y)
{
    for (int i = 0; i < 3; ++i)
        canvas.polyline({{x + 2, y - 5 - i}, {x + 4, y - 3 - i}, {x + 9, y - 8 - i}});
}

namespace {
// The square of a check or radio mark, on the side away from the caption.
XPRect placeMark(XPRect r, int height, bool captionLeft, int thumb)
{
    r.top += (r.height() - thumb) / 2;
    r.bottom = r.top + height;
    if (captionLeft)
        r.left = r.right - thumb + 1;
    else
        r.right = r.left + thumb - 1;
    return r;
}

// Clears the mark's square to the control's colour and sets the pen and brush of the mark in
// it: the classic face and outline, or the true-XP surfaces. Returns the mark's rectangle.
XPRect prepareMark(TXPLook& look, XPCanvas& canvas, const XPControlInfo& control, const XPControlState& state,
    XPRect r, TColor face, TColor outline)
{
    canvas.fillRect(r, qcolor(control.color));
    canvas.setPenWidth(1);
    if (!control.trueXP) {
        canvas.setBrushColor(qcolor(face));
        canvas.setPenColor(qcolor(outline));
    } else if (state.mouseDown) {
        canvas.setBrushColor(qcolor(look.BtnSurfaceDownColor()));
        canvas.setPenColor(qcolor(look.BtnOutLineBorderColor()));
    } else {
        canvas.setBrushColor(qcolor(look.BtnSurfaceNormalColor()));
        canvas.setPenColor(
            qcolor(state.enabled ? look.BtnOutLineBorderColor() : look.ControlDisabledBorderColor()));
    }
    return r.deflated(2, 2);
}
} // namespace

void DrawCheckBox(TXPLook& look, XPCanvas& canvas, const XPControlInfo& box, const XPControlState& state,
    XPCheckState check, bool captionLeft)
{
    look.RefreshPalette(&canvas.image());
    const TXPPalette& pal = look.Palette;
    const bool held = state.spaceDown || state.mouseDown;
    TColor face = state.hot ? pal.SelectFace : clWindow;
    TColor outline = state.hot ? pal.SelectBorder : clBtnShadow;
    if (state.focused) {
        face = pal.SelectFace;
        outline = pal.SelectBorder;
    }
    if (held)
        face = pal.CheckedSelectedFace;
    if (check == XPCheckState::Grayed)
        face = RGB(192, 192, 192);

    const int t = box.thumb;
    XPRect r = placeMark(box.client.deflated(0, 3), t, captionLeft, t);
    if (box.trueXP)
        r.right += 1;
    r = prepareMark(look, canvas, box, state, r, face, outline);
    canvas.rectangle(r);
    if (box.trueXP && state.hot) {
        canvas.setPenColor(qcolor(look.BtnInnerBorderMoveColor()));
        canvas.rectangle(r.deflated(1, 1));
    }

    if (check == XPCheckState::Unchecked)
        return;
    TColor mark = clHighlight;
    if (!state.enabled)
        mark = pal.DisabledText;
    else if (held)
        mark = clWindow;
    else if (check == XPCheckState::Grayed)
        mark = RGB(128, 128, 128);
    if (box.trueXP) {
        mark = look.RdoChkControlChkColor();
        r.left += 1;
    }
    if (check == XPCheckState::Grayed) {
        canvas.fillRect(
            {r.left + 2, r.top + 3, r.right - 3, r.bottom - 3}, qcolor(look.RdoChkControlChkColor()));
        return;
    }
    canvas.setPenColor(qcolor(mark));
    DrawCheckTick(canvas, r.left, r.bottom);
}

void DrawRadioButton(TXPLook& look, XPCanvas& canvas, const XPControlInfo& radio, const XPControlState& state,
    bool checked, bool captionLeft)
{
    look.RefreshPalette(&canvas.image());
    const TXPPalette& pal = look.Palette;
    TColor face = state.hot || state.focused ? pal.SelectFace : clWindow;
    const TColor outline = state.hot ? pal.SelectBorder : clBtnShadow;

    const int t = radio.thumb;
    XPRect r = placeMark(radio.client.deflated(0, 4), t - 1, captionLeft, t);
    if (radio.trueXP) {
        r.right += 2;
        r.bottom += 2;
    }
    r = prepareMark(look, canvas, radio, state, r, face, outline);
    canvas.ellipse(r);
    if (radio.trueXP && state.hot) {
        canvas.setBrushClear();
        canvas.setPenColor(qcolor(look.BtnInnerBorderMoveColor()));
        canvas.ellipse(r.deflated(1, 1));
    }
    if (!checked)
        return;
    r = r.deflated(radio.trueXP ? 4 : 2, radio.trueXP ? 4 : 2);
    const TColor dot
        = radio.trueXP ? look.RdoChkControlChkColor() : (state.enabled ? clHighlight : pal.DisabledText);
    canvas.setBrushColor(qcolor(dot));
    canvas.setPenColor(qcolor(dot));
    canvas.ellipse(r);
}

void DrawPanelBevels(TXPLook& look, XPCanvas& canvas, const XPControlInfo& panel, XPBevel outer,
    XPBevel inner, int bevelWidth, int borderWidth)
{
    const QPaintDevice* device = &canvas.image();
    const QColor dark = qcolor(look.Darken(device, panel.color, 60));
    const QColor light = qcolor(look.Lighten(device, panel.color, 60));
    XPRect r = panel.client;
    auto bevel = [&](XPBevel kind) {
        if (kind == XPBevel::Lowered)
            canvas.frame3D(r, dark, light, bevelWidth);
        else
            canvas.frame3D(r, light, dark, bevelWidth);
    };
    if (outer != XPBevel::None)
        bevel(outer);
    if (inner != XPBevel::None) {
        r = r.deflated(borderWidth, borderWidth);
        bevel(inner);
    }
}

void DrawGroupBox(TXPLook& look, XPCanvas& canvas, const XPControlInfo& group, const XPGroupBoxInfo& box)
{
    const QPaintDevice* device = &canvas.image();
    canvas.setFont(box.font);
    const int th = canvas.textHeight(box.caption.isEmpty() ? QStringLiteral(" ") : box.caption);
    const int tw = canvas.textWidth(box.caption);
    const QColor own = qcolor(group.color);
    const QColor dark = qcolor(look.Darken(device, group.color, 60));
    const QColor light = qcolor(look.Lighten(device, group.color, 60));
    const XPRect cr = group.client;

    // The toolkit's own frame and title stand elsewhere than the platform's: clear them all. The
    // group's children are painted after it, so they are not touched.
    canvas.fillRect(cr, own);

    XPRect r = cr;
    r.top += th / 2 - 1;
    if (box.ctl3D)
        canvas.frame3D(r, light, dark, 1);
    else
        canvas.frame3D(r, dark, dark, 1);

    canvas.fillRect({cr.left, cr.top, cr.right, cr.top + th / 2 + 2}, qcolor(group.parentColor));

    XPRect t;
    unsigned format = XPText::Left;
    if (group.rightToLeft) {
        t.right = cr.right - 9;
        t.left = t.right - tw;
        format |= XPText::RtlReading;
    } else {
        t.left = cr.left + 9;
        t.right = t.left + tw;
    }
    t.top = cr.top;
    t.bottom = t.top + th;

    const int bandTop = cr.top + th / 2 + 2;
    canvas.fillRect({t.left, bandTop, t.right, bandTop + th / 2 + 1}, own);
    canvas.setPenColor(own);
    canvas.setPenWidth(1);
    canvas.polyline({{cr.right - 2, bandTop}, {cr.right - 2, t.bottom}});

    canvas.setFontColor(qcolor(box.fontColor));
    canvas.drawText(t, box.caption, format);

    const int y = cr.top + th / 2 + 1;
    canvas.setPenColor(box.ctl3D ? light : dark);
    canvas.polyline({{cr.left, y}, {t.left, y}});
    canvas.polyline({{t.right, y}, {cr.right - 1, y}});
}

} // namespace XP
