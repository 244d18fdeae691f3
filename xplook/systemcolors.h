#pragma once

#include "xpcolors.h"

#include <QColor>

class QPaintDevice;
class QPalette;

// System colours on this toolkit: each platform colour number is read from one role of the
// application palette (table in systemcolors.cpp), so a palette change shows at the next paint.
namespace XP {

SystemColorTable systemColorsFromPalette(const QPalette& palette);
// The table from the current application palette.
const SystemColorTable& currentSystemColors();

// The device a painter paints on: its depth, and the system colours of the moment.
ColorDevice deviceOf(const QPaintDevice* canvas);

TColor resolveColor(TColor color);
QColor toQColor(TColor color);
TColor fromQColor(const QColor& color);

} // namespace XP
