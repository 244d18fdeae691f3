#pragma once

#include <QtGlobal>

#include <array>

// Colour values and the arithmetic every XP painter shares. Colours keep the platform's
// 0x00BBGGRR layout (red in the low byte) so that the look's figures read as they are written;
// a value 0x80000000 + n names the system colour number n and is resolved through a
// SystemColorTable wherever an RGB value is needed. Nothing here needs a widget.
namespace XP {

using TColor = quint32;

constexpr TColor kSystemColorFlag = 0x80000000u;
constexpr int kSystemColorCount = 31;

constexpr TColor clInactiveCaption = kSystemColorFlag + 3;
constexpr TColor clWindow = kSystemColorFlag + 5;
constexpr TColor clMenuText = kSystemColorFlag + 7;
constexpr TColor clHighlight = kSystemColorFlag + 13;
constexpr TColor clHighlightText = kSystemColorFlag + 14;
constexpr TColor clBtnFace = kSystemColorFlag + 15;
constexpr TColor clBtnShadow = kSystemColorFlag + 16;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor RGB(int r, int g, int b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr int red(TColor c)
{
    return int(c & 0xFF);
}
constexpr int green(TColor c)
{
    return int((c >> 8) & 0xFF);
}
constexpr int blue(TColor c)
{
    return int((c >> 16) & 0xFF);
}
constexpr bool isSystemColor(TColor c)
{
    return (c & kSystemColorFlag) != 0;
}

// The current RGB value of every system colour, by number. The widget side fills it from the
// application palette (systemcolors.h); tests fill it by hand so that figures are exact.
class SystemColorTable
{
public:
    SystemColorTable();
    void set(int number, TColor rgb);
    TColor get(int number) const;
    // A system colour becomes its RGB value; an RGB value stays; an unknown system number
    // resolves to black, as the platform does.
    TColor resolve(TColor color) const;

private:
    std::array<TColor, kSystemColorCount> m_values;
};

// What a painter needs to know of the device it paints on.
struct ColorDevice
{
    int bitsPerPixel = 32;
    const SystemColorTable* systemColors = nullptr;

    TColor resolve(TColor color) const;
};

// The colour the device can show nearest to an RGB value: the value itself from 16 bits per
// pixel up, otherwise the nearest of the fixed colours a palette device always carries.
TColor NearestColor(const ColorDevice& device, TColor rgb);

// R - v, G - v + 2, B - v, clamped to 0..255; not matched to the device. A negative v brightens.
TColor Darken(const ColorDevice& device, TColor color, int amount);
// Each channel moves towards 255 by percent / 100 of the way (percent capped at 100), rounded
// half to even, then matched to the device.
TColor Lighten(const ColorDevice& device, TColor color, int percent);
// The grey of the channels' mean plus level, capped at 240.
TColor GrayTone(const ColorDevice& device, TColor color, int level);
// A caption colour readable on the background: the font colour on light backgrounds, the
// background lightened by 90 % otherwise.
TColor ContrastText(const ColorDevice& device, TColor background, TColor fontColor);

} // namespace XP
