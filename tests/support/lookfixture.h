#pragma once

#include "xplook/xpcolors.h"

#include <QImage>
#include <QWidget>

#include <memory>

class TXPLook;

// Classic desktop colours, pinned in the application palette so that painted figures are exact:
// button face RGB(212,208,200), highlight RGB(10,36,106), button shadow RGB(128,128,128),
// window white, menu text black.
void pinClassicSystemColors();

// A look component as the program's windows set it up, active on an empty owner window.
class LookFixture
{
public:
    LookFixture();
    ~LookFixture();

    TXPLook& look() { return *m_look; }
    QWidget& owner() { return m_owner; }

private:
    QWidget m_owner;
    std::unique_ptr<TXPLook> m_look;
};

// A blank image to paint on, filled with one colour.
QImage blankImage(int w, int h, XP::TColor fill = XP::RGB(255, 0, 255));
// The colour of an image pixel as a look colour, for QCOMPARE.
XP::TColor at(const QImage& image, int x, int y);
// A look colour as RGB, system colours resolved.
XP::TColor rgb(XP::TColor color);
// How many pixels of the rectangle have exactly this colour.
int countColor(const QImage& image, const QRect& area, XP::TColor color);
// A readable name of a colour, for failure messages.
QString colorName(XP::TColor color);
