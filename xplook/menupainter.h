// Menu items in the flat retro look, and the glyph, caption and selection drawing that the
// tool bar and button painters share with them. Everything draws on an XPCanvas and reads the
// look's palette, refreshed for that canvas.

#pragma once

#include "xpcanvas.h"
#include "xpcolors.h"

#include <QImage>
#include <QSize>
#include <QString>

class TXPLook;
struct TXPFont;

namespace XP {

// Who asks for a glyph or caption: placement, shadow and the disabled caption differ by it.
enum class XPHost { MenuItem, ToolButton, Button };

// A menu item as the painter sees it.
struct MenuItemFace
{
    QString caption; // exactly "-" makes a separator
    QString shortcutText;
    bool checked = false;
    bool radioItem = false;
    bool enabled = true;
    bool isDefault = false;
    // One of the top-level items of a main menu (drawing), and of the form's own main menu
    // (measuring); the two notions differ.
    bool barItem = false;
    bool formBarItem = false;
    bool rightToLeft = false;
    // The item's image or bitmap, already taken out of its list; null when it has none.
    QImage glyph;
};

bool isSeparator(const MenuItemFace& item);

// The size the item's image takes: the glyph's, with the width raised to the icon column
// except for items of the form's menu bar.
QSize GetItemImageSize(const TXPLook& look, const MenuItemFace& item);
// Adjusts the size the toolkit proposes for the item. ntFamily: the platform widens bar items.
void MenuMeasureItem(
    TXPLook& look, XPCanvas& canvas, const MenuItemFace& item, int& width, int& height, bool ntFamily = true);
void MenuDrawItem(TXPLook& look, XPCanvas& canvas, const MenuItemFace& item, XPRect rect, bool selected);

void DrawCheckMark(
    TXPLook& look, XPCanvas& canvas, const MenuItemFace& item, bool selected, XPRect r, bool hasGlyph);
// The glyph, washed, greyed, lifted and shadowed by the item's state. G is a private copy.
void DrawGlyph(TXPLook& look, XPHost host, XPCanvas& canvas, bool rightToLeft, bool bar, bool checked,
    bool enabled, bool pressed, bool hot, XPRect r, QImage glyph);
// Sets every canvas pixel under a glyph pixel that differs from its bottom-left pixel.
void DrawGlyphShadow(const QImage& glyph, XPCanvas& canvas, int x0, int y0, TColor color);
// Format flags are XPText's. Callers without a shortcut pass an empty one.
void DrawCaption(TXPLook& look, XPHost host, const QString& text, unsigned format, const TXPFont& font,
    bool rightToLeft, bool bar, bool isDefault, bool enabled, bool selected, XPRect r, XPCanvas& canvas,
    const QString& shortcut);
void DrawBarSelection(
    TXPLook& look, XPHost host, XPCanvas& canvas, bool rightToLeft, TColor barColor, XPRect r);
void FillGradient(TXPLook& look, XPCanvas& canvas, XPRect r, bool rightToLeft);
// The flat frame of a pop-up menu: a thin outline, the icon column carried up to the edge and
// a two-pixel shadow along the bottom and the right, drawn over the whole menu window, whose
// rectangle on the canvas is `window`.
void DrawFlatFrame(TXPLook& look, XPCanvas& canvas, XPRect window, bool rightToLeft);

// Halves go to the even neighbour, as the platform's rounding does.
int roundHalfEven(double value);

} // namespace XP
