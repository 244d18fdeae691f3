// XP frames, surfaces and marks of standard controls, drawn over what the controls drew:
// edits and memos, combo boxes, check boxes, radio buttons, panels and group boxes.

#pragma once

#include "xpcanvas.h"
#include "xpcolors.h"
#include "xpstate.h"

#include <QFont>
#include <QString>

class QPainter;
class TXPLook;

namespace XP {

// What every control painter reads of its control.
struct XPControlInfo
{
    XPRect client;
    TColor color = 0; // the control's own background
    TColor parentColor = 0;
    bool trueXP = true;
    bool rightToLeft = false;
    int thumb = 16; // the scroll-thumb width of the platform
};

// The outline colour of an edit from the record's flags and the border style saved at hooking.
TColor EditOutlineColor(
    TXPLook& look, const QPaintDevice* device, bool hotOrFocused, bool savedSingleBorder, TColor parentColor);
// The outline is drawn straight on the control's own painter: an edit's frame is one line round
// its edge, and a canvas the size of a large memo would be filled and laid over it on every paint.
void DrawEditOutline(QPainter& painter, const QRect& client, TColor outline);

// The field of a combo box, left of its button: flat in the control's colour, as the edits are.
// A combo box without a text box of its own shows its entry there; one with a text box lets
// the text box draw over the field.
struct XPComboField
{
    bool ownTextBox = false;
    bool paint = true; // false when drawing over the text box, which keeps what it shows
    QString text;
    XPRect textRect; // where the toolkit puts the entry's text
    QFont font;
    TColor textColor = 0;
};
// DrawComboBox clears the outermost pixel all round, and this many rows at the top, to the
// parent's colour.
inline constexpr int kComboClearedTopRows = 2;
void DrawComboBox(TXPLook& look, XPCanvas& canvas, const XPControlInfo& combo, const XPControlState& state,
    bool droppedDown, const XPComboField& field = {});

enum class XPCheckState { Unchecked, Checked, Grayed };
// captionLeft: the caption stands left of the mark, which then goes to the right.
void DrawCheckBox(TXPLook& look, XPCanvas& canvas, const XPControlInfo& box, const XPControlState& state,
    XPCheckState check, bool captionLeft);
void DrawCheckTick(XPCanvas& canvas, int x, int y);
void DrawRadioButton(TXPLook& look, XPCanvas& canvas, const XPControlInfo& radio, const XPControlState& state,
    bool checked, bool captionLeft);

enum class XPBevel { None, Lowered, Raised, Space };
void DrawPanelBevels(TXPLook& look, XPCanvas& canvas, const XPControlInfo& panel, XPBevel outer,
    XPBevel inner, int bevelWidth, int borderWidth);

struct XPGroupBoxInfo
{
    QString caption;
    QFont font;
    TColor fontColor = 0;
    bool ctl3D = true;
};
void DrawGroupBox(TXPLook& look, XPCanvas& canvas, const XPControlInfo& group, const XPGroupBoxInfo& box);

} // namespace XP
