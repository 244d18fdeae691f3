#include "xpcolors.h"

#include <algorithm>
#include <cmath>

namespace XP {

namespace {
int clampChannel(int value)
{
    return std::clamp(value, 0, 255);
}

// The colours a palette device always carries, whatever the application asks for.
constexpr std::array<TColor, 20> kStaticPaletteColors = {
    RGB(0, 0, 0),
    RGB(128, 0, 0),
    RGB(0, 128, 0),
    RGB(128, 128, 0),
    RGB(0, 0, 128),
    RGB(128, 0, 128),
    RGB(0, 128, 128),
    RGB(192, 192, 192),
    RGB(192, 220, 192),
    RGB(166, 202, 240),
    RGB(255, 251, 240),
    RGB(160, 160, 164),
    RGB(128, 128, 128),
    RGB(255, 0, 0),
    RGB(0, 255, 0),
    RGB(255, 255, 0),
    RGB(0, 0, 255),
    RGB(255, 0, 255),
    RGB(0, 255, 255),
    RGB(255, 255, 255),
};

// factor * share rounded to the nearest integer, halves to even, judged on the exact product:
// 5 * 0.3 is 1.4999... and gives 1, as the look's figures were tuned with, although the
// product rounded to a double is exactly 1.5. The part the double lost is recovered by fma.
int roundProductHalfToEven(int factor, double share)
{
    const double product = factor * share;
    const double lost = std::fma(double(factor), share, -product);
    const double lower = std::floor(product);
    if (product - lower == 0.5 && lost != 0.0)
        return int(lost < 0.0 ? lower : lower + 1.0);
    return int(std::nearbyint(product));
}
} // namespace

SystemColorTable::SystemColorTable()
{
    m_values.fill(clBlack);
}

void SystemColorTable::set(int number, TColor rgb)
{
    if (number >= 0 && number < kSystemColorCount)
        m_values[size_t(number)] = rgb & 0xFFFFFF;
}

TColor SystemColorTable::get(int number) const
{
    return number >= 0 && number < kSystemColorCount ? m_values[size_t(number)] : clBlack;
}

TColor SystemColorTable::resolve(TColor color) const
{
    if (!isSystemColor(color))
        return color & 0xFFFFFF;
    return get(int(color & 0xFF));
}

TColor ColorDevice::resolve(TColor color) const
{
    if (!isSystemColor(color))
        return color & 0xFFFFFF;
    return systemColors ? systemColors->resolve(color) : clBlack;
}

TColor NearestColor(const ColorDevice& device, TColor rgb)
{
    rgb = device.resolve(rgb);
    if (device.bitsPerPixel >= 16)
        return rgb;
    const auto distance = [rgb](TColor candidate) {
        const int dr = red(candidate) - red(rgb);
        const int dg = green(candidate) - green(rgb);
        const int db = blue(candidate) - blue(rgb);
        return dr * dr + dg * dg + db * db;
    };
    return *std::min_element(kStaticPaletteColors.begin(), kStaticPaletteColors.end(),
        [&](TColor a, TColor b) { return distance(a) < distance(b); });
}

TColor Darken(const ColorDevice& device, TColor color, int amount)
{
    const TColor c = device.resolve(color);
    return RGB(
        clampChannel(red(c) - amount), clampChannel(green(c) - amount + 2), clampChannel(blue(c) - amount));
}

TColor Lighten(const ColorDevice& device, TColor color, int percent)
{
    if (percent > 100)
        percent = 100;
    const TColor c = device.resolve(color);
    const double share = percent / 100.0;
    const auto channel
        = [share](int value) { return clampChannel(value + roundProductHalfToEven(255 - value, share)); };
    return NearestColor(device, RGB(channel(red(c)), channel(green(c)), channel(blue(c))));
}

TColor GrayTone(const ColorDevice& device, TColor color, int level)
{
    const TColor c = device.resolve(color);
    const int gray = std::clamp((red(c) + green(c) + blue(c)) / 3 + level, 0, 240);
    return RGB(gray, gray, gray);
}

TColor ContrastText(const ColorDevice& device, TColor background, TColor fontColor)
{
    const TColor c = device.resolve(background);
    if ((red(c) + blue(c)) / 2 > 150 || green(c) > 200)
        return fontColor;
    return Lighten(device, c, 90);
}

} // namespace XP
