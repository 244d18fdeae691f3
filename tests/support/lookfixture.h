#pragma once

#include "xplook/xpcolors.h"

#include <QImage>
#include <QString>
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
// Hook record flags from words: "hot", "focused", "mouse" (left button held), "space" (space bar
// held), "disabled". Works for the button and the control painters' state records alike.
template<typename State> State stateFromWords(const QString& words)
{
    State state;
    state.hot = words.contains(QLatin1String("hot"));
    state.focused = words.contains(QLatin1String("focused"));
    state.mouseDown = words.contains(QLatin1String("mouse"));
    state.spaceDown = words.contains(QLatin1String("space"));
    state.enabled = !words.contains(QLatin1String("disabled"));
    return state;
}

// A readable name of a colour, for failure messages.
QString colorName(XP::TColor color);
