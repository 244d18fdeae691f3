#include "menuhook.h"

#include "componenttag.h"
#include "menupainter.h"
#include "xplook.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace {
const char* const kMenuStyleName = "MenuFaceStyle";

// The action an item option stands for, found by the item's place in its menu.
const QAction* actionOf(const QStyleOption* option, const QWidget* widget)
{
    if (auto* menu = qobject_cast<const QMenu*>(widget))
        return menu->actionAt(option->rect.center());
    if (auto* bar = qobject_cast<const QMenuBar*>(widget))
        return bar->actionAt(option->rect.center());
    return nullptr;
}

bool leftToToolkit(const QStyleOption* option, const QWidget* widget)
{
    const QAction* action = actionOf(option, widget);
    return action && XP::tagOf(action) == XP::kTagNeverHooked;
}

XP::MenuItemFace itemOf(const QStyleOptionMenuItem& option, bool onBar, XP::TColor glyphBackground)
{
    XP::MenuItemFace item;
    if (option.menuItemType == QStyleOptionMenuItem::Separator)
        item.caption = QStringLiteral("-");
    else {
        item.caption = option.text.section(QLatin1Char('\t'), 0, 0);
        item.shortcutText = option.text.section(QLatin1Char('\t'), 1);
    }
    item.checked = option.checkType != QStyleOptionMenuItem::NotCheckable && option.checked;
    item.radioItem = option.checkType == QStyleOptionMenuItem::Exclusive;
    item.enabled = option.state & QStyle::State_Enabled;
    item.isDefault = option.menuItemType == QStyleOptionMenuItem::DefaultItem;
    item.barItem = onBar;
    item.formBarItem = onBar;
    item.rightToLeft = option.direction == Qt::RightToLeft;
    if (!option.icon.isNull()) {
        const QPixmap pixmap = option.icon.pixmap(16, 16);
        QImage glyph(pixmap.size(), QImage::Format_ARGB32);
        glyph.fill(QColor(XP::red(glyphBackground), XP::green(glyphBackground), XP::blue(glyphBackground)));
        QPainter(&glyph).drawPixmap(0, 0, pixmap);
        item.glyph = glyph;
    }
    return item;
}

MenuFaceStyle* styleOn(QWidget* menu)
{
    return menu->findChild<MenuFaceStyle*>(QLatin1String(kMenuStyleName), Qt::FindDirectChildrenOnly);
}

void setMenuStyle(TXPLook& look, QWidget* menu, bool activate)
{
    MenuFaceStyle* style = styleOn(menu);
    if (activate && !style)
        menu->setStyle(new MenuFaceStyle(&look, menu));
    else if (!activate && style) {
        menu->setStyle(nullptr);
        delete style;
    }
}

// The menu and every menu below its items, depth first.
void hookMenuTree(TXPLook& look, QMenu* menu, bool activate)
{
    if (activate && XP::tagOf(menu->menuAction()) == XP::kTagNeverHooked)
        return;
    setMenuStyle(look, menu, activate);
    for (QAction* action : menu->actions())
        if (action->menu())
            hookMenuTree(look, action->menu(), activate);
}

// A menu bar or pop-up menu and the menus below its items; one without items is left alone.
void hookMenuWithItems(TXPLook& look, QWidget* menu, bool activate)
{
    if (menu->actions().isEmpty())
        return;
    setMenuStyle(look, menu, activate);
    for (QAction* action : menu->actions())
        if (action->menu())
            hookMenuTree(look, action->menu(), activate);
}
} // namespace

MenuFaceStyle::MenuFaceStyle(TXPLook* lookComponent, QWidget* menu)
    : QProxyStyle(QApplication::style()->name())
    , look(lookComponent)
{
    setObjectName(QLatin1String(kMenuStyleName));
    setParent(menu);
}

void MenuFaceStyle::drawControl(
    ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    if (element == CE_MenuEmptyArea) {
        QProxyStyle::drawControl(element, option, painter, widget);
        // The last thing a menu paints: the flat frame goes over its border and items alike.
        if (look && look->FlatMenu() && qobject_cast<const QMenu*>(widget))
            drawFlatFrame(painter, widget);
        return;
    }
    const auto* menuOption = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    const bool onBar = element == CE_MenuBarItem;
    if (!look || !menuOption || (element != CE_MenuItem && !onBar) || leftToToolkit(option, widget)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const QRect r = option->rect;
    QImage image(r.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    look->RefreshPalette(&image);
    XPCanvas canvas(image);
    const XP::MenuItemFace item = itemOf(*menuOption, onBar, look->Palette.IconFace);
    const bool selected = option->state & State_Selected;
    // The painter grows the item's bottom by one, as the platform's rectangle excludes it.
    XP::MenuDrawItem(*look, canvas, item, {0, 0, r.width(), r.height() - 1}, selected);
    painter->drawImage(r.topLeft(), image);
}

void MenuFaceStyle::drawFlatFrame(QPainter* painter, const QWidget* menu) const
{
    QImage image(menu->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    look->RefreshPalette(&image);
    XPCanvas canvas(image);
    XP::DrawFlatFrame(*look, canvas, XPRect::fromQRect(menu->rect()), menu->layoutDirection() == Qt::RightToLeft);
    painter->save();
    painter->setClipping(false);
    painter->drawImage(0, 0, image);
    painter->restore();
}

QSize MenuFaceStyle::sizeFromContents(
    ContentsType type, const QStyleOption* option, const QSize& contentsSize, const QWidget* widget) const
{
    const auto* menuOption = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    const bool onBar = type == CT_MenuBarItem;
    if (!look || !menuOption || (type != CT_MenuItem && !onBar) || leftToToolkit(option, widget))
        return QProxyStyle::sizeFromContents(type, option, contentsSize, widget);
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    XPCanvas canvas(image);
    const XP::MenuItemFace item = itemOf(*menuOption, onBar, 0);
    // The toolkit's own size is the proposal the painter adjusts; it leaves room for the
    // caption as the toolkit lays it out, which the painter's own figure alone does not.
    const QSize proposed = QProxyStyle::sizeFromContents(type, option, contentsSize, widget);
    int width = proposed.width();
    int height = proposed.height();
    XP::MenuMeasureItem(*look, canvas, item, width, height);
    return QSize(width, height);
}

namespace XP {

void hookMainMenu(TXPLook& look, QMenuBar* menu, bool activate)
{
    hookMenuWithItems(look, menu, activate);
}

void hookPopupMenu(TXPLook& look, QMenu* menu, bool activate)
{
    hookMenuWithItems(look, menu, activate);
}

} // namespace XP
