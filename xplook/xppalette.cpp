#include "xppalette.h"

namespace XP {

bool isHighColour(const ColorDevice& device)
{
    return device.bitsPerPixel >= 16;
}

TXPPalette DerivePalette(const TXPColorSettings& settings, TColor fontColor, const ColorDevice& device)
{
    const bool high = isHighColour(device);
    TXPPalette p;
    p.MenuFace = settings.Color;
    p.IconFace = settings.IconBackColor;
    p.SelectFace = high ? Lighten(device, settings.SelectColor, 68) : settings.SelectColor;
    p.CheckedFace = high ? Lighten(device, settings.SelectColor, 80) : clWhite;
    p.CheckedSelectedFace = high ? Lighten(device, settings.SelectColor, 50) : RGB(192, 192, 192);
    p.ShadowOuter = high ? Darken(device, clBtnFace, 90) : clBtnShadow;
    p.ShadowInner = high ? Darken(device, clBtnFace, 76) : clBtnShadow;
    p.SelectBorder = settings.SelectBorderColor;
    p.SelectFont = settings.SelectFontColor;
    p.MenuBarFace = settings.MenuBarColor;
    p.DisabledText = settings.DisabledColor;
    p.CheckMark = settings.CheckedColor;
    p.SeparatorLine = settings.SeparatorColor;
    if (!settings.UseSystemColors)
        return p;

    p.SelectFont = fontColor;
    p.MenuFace = high ? Lighten(device, clBtnFace, 86) : clWhite;
    p.IconFace = high ? Lighten(device, clBtnFace, 16) : clBtnFace;
    p.SelectFace = high ? Lighten(device, clHighlight, 68) : clWhite;
    p.SelectBorder = clHighlight;
    p.MenuBarFace = clBtnFace;
    p.DisabledText = high ? Lighten(device, clBtnShadow, 10) : clBtnShadow;
    p.SeparatorLine = high ? Lighten(device, clBtnShadow, 25) : clBtnShadow;
    p.CheckMark = clHighlight;
    p.CheckedFace = high ? Lighten(device, clHighlight, 80) : clWhite;
    p.CheckedSelectedFace = high ? Lighten(device, clHighlight, 50) : clWhite;
    return p;
}

} // namespace XP
