// XP tool bar buttons: flat cells on the lightened bar colour, the hot highlight with its
// outline, checked and pressed fills, glyphs and captions through the menu painter's routines,
// and separator lines switched on by the separator's tag. Control bar bands get their grip.

#pragma once

#include "menupainter.h"
#include "xpcanvas.h"
#include "xpcolors.h"

#include <QFont>
#include <QImage>
#include <QString>

class TXPLook;

namespace XP {

enum class XPToolButtonStyle { Button, Check, DropDown, Separator, Divider };

// The draw state the toolkit passes for a button.
struct XPToolDrawState
{
    bool hot = false;
    bool checked = false;
    bool selected = false; // pressed
    bool disabled = false;
    bool indeterminate = false;

    bool isEmpty() const { return !hot && !checked && !selected && !disabled && !indeterminate; }
};

struct XPToolBarInfo
{
    TColor color = 0;
    bool transparent = false;
    bool list = false;
    bool showCaptions = true;
    QFont font; // the bar's own font, which measures the caption's place
};

struct XPToolButtonInfo
{
    XPRect bounds;
    QString caption;
    // The image the usable list gives for the state, already drawn on the brush colour; null
    // when no list is usable.
    QImage glyph;
    XPToolButtonStyle style = XPToolButtonStyle::Button;
    bool down = false;
    bool hasMenuItem = false;
    bool hasDropDownMenu = false;
    bool enabled = true;
    bool rightToLeft = false;
};

// Paints the whole button; the toolkit draws nothing of it.
void ToolBarDrawButton(TXPLook& look, XPCanvas& canvas, const XPToolBarInfo& bar,
    const XPToolButtonInfo& button, XPToolDrawState state);
// A separator cell, painted on behalf of the button after it: the cell background, and a
// centred line when its tag is above 0.
void DrawToolBarSeparator(TXPLook& look, XPCanvas& canvas, const XPToolBarInfo& bar, XPRect bounds, int tag);
void DrawButtonFrame(TXPLook& look, XPCanvas& canvas, XPRect bounds, bool dropDown);
void DrawDropDownArrow(XPCanvas& canvas, XPRect bounds);
void ControlBarPaintBand(TXPLook& look, XPCanvas& canvas, TColor barColor, XPRect band);

} // namespace XP
