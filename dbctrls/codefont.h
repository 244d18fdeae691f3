#pragma once

#include <QFont>

// The code editor's face: one advance for every Latin character, and every Chinese character
// exactly two of them, so mixed lines keep their columns. The first such face present is taken,
// at the pixel size nearest the one asked for at which its halves come out whole; without one,
// the first fixed-width face present, and never a proportional one.
QFont codeFont(int pixelSize);

// Whether every printable ASCII character of the font has one advance.
bool hasEvenColumns(const QFont& font);
// Whether a run of Chinese characters is exactly twice as wide as as many ASCII ones.
bool hasDoubleWidthChinese(const QFont& font);
