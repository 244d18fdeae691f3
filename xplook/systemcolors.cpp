#include "systemcolors.h"

#include <QApplication>
#include <QPaintDevice>
#include <QPalette>

namespace XP {

namespace {
struct SystemColorSource
{
    int number;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Which palette role stands for which platform colour number. The one table every resolution
// goes through.
constexpr SystemColorSource kSystemColorSources[] = {
    {0, QPalette::Active, QPalette::Button}, // scroll bar
    {1, QPalette::Active, QPalette::Dark}, // desktop
    {2, QPalette::Active, QPalette::Highlight}, // active caption
    {3, QPalette::Active, QPalette::Mid}, // inactive caption
    {4, QPalette::Active, QPalette::Window}, // menu
    {5, QPalette::Active, QPalette::Base}, // window background
    {6, QPalette::Active, QPalette::Shadow}, // window frame
    {7, QPalette::Active, QPalette::WindowText}, // menu text
    {8, QPalette::Active, QPalette::Text}, // window text
    {9, QPalette::Active, QPalette::HighlightedText}, // caption text
    {10, QPalette::Active, QPalette::Window}, // active border
    {11, QPalette::Active, QPalette::Window}, // inactive border
    {12, QPalette::Active, QPalette::Dark}, // application workspace
    {13, QPalette::Active, QPalette::Highlight}, // highlight
    {14, QPalette::Active, QPalette::HighlightedText}, // highlighted text
    {15, QPalette::Active, QPalette::Button}, // button face
    {16, QPalette::Active, QPalette::Dark}, // button shadow
    {17, QPalette::Disabled, QPalette::Text}, // grey text
    {18, QPalette::Active, QPalette::ButtonText}, // button text
    {19, QPalette::Inactive, QPalette::WindowText}, // inactive caption text
    {20, QPalette::Active, QPalette::Light}, // button highlight
    {21, QPalette::Active, QPalette::Shadow}, // 3-D dark shadow
    {22, QPalette::Active, QPalette::Midlight}, // 3-D light
    {23, QPalette::Active, QPalette::ToolTipText}, // tooltip text
    {24, QPalette::Active, QPalette::ToolTipBase}, // tooltip background
    {25, QPalette::Active, QPalette::Button}, // (unused number)
    {26, QPalette::Active, QPalette::Link}, // hot-tracked item
    {27, QPalette::Active, QPalette::Highlight}, // active caption gradient
    {28, QPalette::Active, QPalette::Mid}, // inactive caption gradient
    {29, QPalette::Active, QPalette::Highlight}, // menu highlight
    {30, QPalette::Active, QPalette::Window}, // menu bar
};
static_assert(std::size(kSystemColorSources) == kSystemColorCount);
} // namespace

SystemColorTable systemColorsFromPalette(const QPalette& palette)
{
    SystemColorTable table;
    for (const SystemColorSource& source : kSystemColorSources)
        table.set(source.number, fromQColor(palette.color(source.group, source.role)));
    return table;
}

const SystemColorTable& currentSystemColors()
{
    // Read afresh each time so that a palette change shows at the next paint.
    static SystemColorTable table;
    table = systemColorsFromPalette(QApplication::palette());
    return table;
}

ColorDevice deviceOf(const QPaintDevice* canvas)
{
    ColorDevice device;
    device.bitsPerPixel = canvas ? canvas->depth() : 32;
    device.systemColors = &currentSystemColors();
    return device;
}

TColor resolveColor(TColor color)
{
    return currentSystemColors().resolve(color);
}

QColor toQColor(TColor color)
{
    const TColor rgb = resolveColor(color);
    return QColor(red(rgb), green(rgb), blue(rgb));
}

TColor fromQColor(const QColor& color)
{
    return RGB(color.red(), color.green(), color.blue());
}

} // namespace XP
