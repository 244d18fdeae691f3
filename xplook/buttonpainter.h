// XP push, bit and speed buttons: the rounded true-XP surface with its focus, pointer and
// pressed marks, or the classic face with 3-D edges; then glyph and caption laid out together.

#pragma once

#include "xpcanvas.h"
#include "xpcolors.h"
#include "xpstate.h"

#include <QFont>
#include <QImage>
#include <QString>

class TXPLook;

namespace XP {

enum class XPGlyphLayout { GlyphLeft, GlyphRight, GlyphTop, GlyphBottom };

using XPButtonState = XPControlState;

struct XPButtonInfo
{
    XPRect client; // (0, 0, W, H)
    TColor parentColor = 0;
    QString caption;
    QFont font;
    TColor fontColor = 0;
    bool rightToLeft = false;
    bool trueXP = true;
    bool isDefault = false;
    // Bit and speed buttons: a strip of numGlyphs equal frames side by side.
    QImage glyph;
    int numGlyphs = 1;
    XPGlyphLayout layout = XPGlyphLayout::GlyphLeft;
    int spacing = 4;
    // Speed buttons only.
    bool down = false;
    bool flat = false;
    bool transparent = false;
};

struct XPButtonLayout
{
    XPRect glyph;
    XPRect text;
};

// Places the group of glyph, spacing and caption in the centre of a W x H button.
XPButtonLayout ButtonLayout(XPGlyphLayout layout, int w, int h, int gw, int gh, int tw, int th, int spacing);

// The rounded surface every true-XP button starts from; its first outline is in the pen the
// caller set.
void DrawTrueXPBaseSurface(TXPLook& look, XPCanvas& canvas, XPRect r, TColor parentColor, bool enabled);
// Focus ring (when focusRing), pointer ring and pressed surface of an enabled true-XP button.
void DrawTrueXPStateMarks(
    TXPLook& look, XPCanvas& canvas, XPRect r, const XPButtonState& state, bool focusRing);

void DrawBitButton(TXPLook& look, XPCanvas& canvas, const XPButtonInfo& button, const XPButtonState& state);
void DrawPushButton(TXPLook& look, XPCanvas& canvas, const XPButtonInfo& button, const XPButtonState& state);
void DrawSpeedButton(TXPLook& look, XPCanvas& canvas, const XPButtonInfo& button, const XPButtonState& state);

} // namespace XP
