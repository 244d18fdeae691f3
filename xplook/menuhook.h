// The menu hooks on this toolkit: a proxy style set on each hooked menu bar and pop-up menu
// (and the menus below their items) measures and draws the items through the menu painter.
// Items added later are drawn by the same style, as the platform's hooks pick up siblings at
// their next draw. Items tagged 999 keep the toolkit's own drawing.

#pragma once

#include <QPointer>
#include <QProxyStyle>

class QMenu;
class QMenuBar;
class TXPLook;

class MenuFaceStyle : public QProxyStyle
{
    Q_OBJECT
public:
    MenuFaceStyle(TXPLook* look, QWidget* menu);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contentsSize,
        const QWidget* widget = nullptr) const override;

private:
    void drawFlatFrame(QPainter* painter, const QWidget* menu) const;

    QPointer<TXPLook> look;
};

namespace XP {
// Installs (activate) or removes the style on a menu bar or pop-up menu and the menus below.
void hookMainMenu(TXPLook& look, QMenuBar* menu, bool activate);
void hookPopupMenu(TXPLook& look, QMenu* menu, bool activate);
} // namespace XP
