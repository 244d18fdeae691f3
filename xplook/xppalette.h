#pragma once

#include "xpcolors.h"

// The thirteen colours every XP painter derives from the look's colour properties before it
// paints, and the rule that derives them.
namespace XP {

// The colour properties the palette reads; names as the look component publishes them.
struct TXPColorSettings
{
    TColor Color = clBtnFace;
    TColor IconBackColor = clBtnFace;
    TColor MenuBarColor = clBtnFace;
    TColor SelectColor = clHighlight;
    TColor SelectBorderColor = clHighlight;
    TColor SelectFontColor = clMenuText;
    TColor DisabledColor = clInactiveCaption;
    TColor SeparatorColor = clBtnFace;
    TColor CheckedColor = clHighlight;
    bool UseSystemColors = true;
};

struct TXPPalette
{
    TColor MenuFace = 0;
    TColor IconFace = 0;
    TColor SelectFace = 0;
    TColor SelectBorder = 0;
    TColor SelectFont = 0;
    TColor CheckedFace = 0;
    TColor CheckedSelectedFace = 0;
    TColor CheckMark = 0;
    TColor MenuBarFace = 0;
    TColor DisabledText = 0;
    TColor SeparatorLine = 0;
    TColor ShadowOuter = 0;
    TColor ShadowInner = 0;

    bool operator==(const TXPPalette&) const = default;
};

// True when the device has 16 or more bits per pixel.
bool isHighColour(const ColorDevice& device);

// fontColor is the colour of the look's font as it stands after the font was reloaded (the
// caller reloads it when UseSystemColors is on); it becomes SelectFont in that case.
TXPPalette DerivePalette(const TXPColorSettings& settings, TColor fontColor, const ColorDevice& device);

} // namespace XP
