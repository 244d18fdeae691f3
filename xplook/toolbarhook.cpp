#include "toolbarhook.h"

#include "componenttag.h"
#include "toolbarpainter.h"
#include "xplook.h"
#include "xpwidgetcanvas.h"

#include <QAction>
#include <QChildEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>

namespace {
const char* const kToolBarHookName = "XPToolBarHook";
const char* const kControlBarHookName = "XPControlBarHook";
// The bar's own overflow button, which is no button of the bar's.
const char* const kExtensionButtonName = "qt_toolbar_ext_button";

XP::XPToolBarInfo barInfo(const QToolBar* bar)
{
    XP::XPToolBarInfo info;
    info.color = XP::controlColor(bar);
    info.transparent = false;
    info.list = bar->toolButtonStyle() == Qt::ToolButtonTextBesideIcon;
    info.showCaptions = bar->toolButtonStyle() != Qt::ToolButtonIconOnly;
    info.font = bar->font();
    return info;
}

XP::XPToolButtonStyle styleOf(const QToolButton* button)
{
    if (button->popupMode() == QToolButton::MenuButtonPopup)
        return XP::XPToolButtonStyle::DropDown;
    return button->isCheckable() ? XP::XPToolButtonStyle::Check : XP::XPToolButtonStyle::Button;
}

// The separator action a separator widget stands for, and whether a button follows it.
QAction* separatorActionOf(const QToolBar* bar, const QWidget* widget, bool* buttonAfter)
{
    QAction* found = nullptr;
    *buttonAfter = false;
    for (QAction* action : bar->actions()) {
        if (found && !action->isSeparator() && action->isVisible()) {
            *buttonAfter = true;
            break;
        }
        if (!found && action->isSeparator() && bar->widgetForAction(action) == widget)
            found = action;
    }
    return found;
}
} // namespace

XPToolBarHook* XPToolBarHook::installedOn(const QToolBar* bar)
{
    return bar->findChild<XPToolBarHook*>(QLatin1String(kToolBarHookName), Qt::FindDirectChildrenOnly);
}

XPToolBarHook::XPToolBarHook(TXPLook* lookComponent, QToolBar* toolBar)
    : QObject(toolBar)
    , look(lookComponent)
    , bar(toolBar)
{
    setObjectName(QLatin1String(kToolBarHookName));
    bar->installEventFilter(this);
    for (QObject* child : bar->children())
        if (child->isWidgetType())
            watch(static_cast<QWidget*>(child));
    bar->update();
}

void XPToolBarHook::watch(QWidget* child)
{
    child->installEventFilter(this);
    child->update();
}

bool XPToolBarHook::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == bar) {
        if (event->type() == QEvent::ChildAdded) {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child->isWidgetType())
                watch(static_cast<QWidget*>(child));
        }
        return false;
    }
    if (!look)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->parentWidget() != bar)
        return false;
    // The bar's own overflow button is no button of the bar's.
    auto* button = widget->objectName() == QLatin1String("qt_toolbar_ext_button")
        ? nullptr
        : qobject_cast<QToolButton*>(widget);
    switch (event->type()) {
    case QEvent::Paint:
        if (button) {
            paintButton(button);
            return true;
        }
        if (widget->metaObject()->className() == QByteArray("QToolBarSeparator")) {
            paintSeparator(widget);
            return true;
        }
        return false;
    case QEvent::Enter:
    case QEvent::Leave:
        if (button)
            button->update();
        return false;
    default:
        return false;
    }
}

void XPToolBarHook::paintButton(QToolButton* button)
{
    XPWidgetCanvas canvas(button);
    XP::XPToolButtonInfo info;
    info.bounds = canvas.clientRect();
    info.caption = button->text();
    info.style = styleOf(button);
    info.down = button->isCheckable() && button->isChecked();
    info.hasDropDownMenu = button->menu() != nullptr;
    info.enabled = button->isEnabled();
    info.rightToLeft = button->layoutDirection() == Qt::RightToLeft;
    if (!button->icon().isNull() && button->toolButtonStyle() != Qt::ToolButtonTextOnly) {
        QImage glyph(button->iconSize(), QImage::Format_ARGB32);
        glyph.fill(canvas->brushColor());
        const QPixmap pixmap = button->icon().pixmap(
            button->iconSize(), button->isEnabled() ? QIcon::Normal : QIcon::Disabled);
        QPainter(&glyph).drawPixmap(0, 0, pixmap);
        info.glyph = glyph;
    }
    XP::XPToolDrawState state;
    state.hot = button->isEnabled() && button->underMouse();
    state.checked = button->isChecked();
    state.selected = button->isDown();
    state.disabled = !button->isEnabled();
    XP::ToolBarDrawButton(*look, canvas.canvas(), barInfo(bar), info, state);
}

void XPToolBarHook::paintSeparator(QWidget* separator)
{
    bool buttonAfter = false;
    QAction* action = separatorActionOf(bar, separator, &buttonAfter);
    if (!action || !buttonAfter)
        return;
    XPWidgetCanvas canvas(separator);
    XP::DrawToolBarSeparator(*look, canvas.canvas(), barInfo(bar), canvas.clientRect(), XP::tagOf(action));
}

XPControlBarHook* XPControlBarHook::installedOn(const QWidget* bar)
{
    return bar->findChild<XPControlBarHook*>(QLatin1String(kControlBarHookName), Qt::FindDirectChildrenOnly);
}

XPControlBarHook::XPControlBarHook(TXPLook* lookComponent, QWidget* controlBar)
    : QObject(controlBar)
    , look(lookComponent)
    , bar(controlBar)
{
    setObjectName(QLatin1String(kControlBarHookName));
    bar->installEventFilter(this);
    bar->update();
}

bool XPControlBarHook::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != bar || event->type() != QEvent::Paint || !look)
        return false;
    XPWidgetCanvas canvas(bar);
    const XP::TColor color = XP::controlColor(bar);
    for (QObject* child : bar->children())
        if (auto* band = qobject_cast<QWidget*>(child); band && band->isVisible())
            XP::ControlBarPaintBand(*look, canvas.canvas(), color, XPRect::fromQRect(band->geometry()));
    return true;
}

namespace XP {

void hookToolBar(TXPLook& look, QToolBar* bar, bool activate)
{
    // The flat flag stays on after deactivation too.
    for (QToolButton* button : bar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        button->setAutoRaise(true);
    XPToolBarHook* hook = XPToolBarHook::installedOn(bar);
    if (!activate) {
        delete hook;
        bar->update();
        return;
    }
    const QList<QToolButton*> buttons = bar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly);
    const bool hasButtons = std::any_of(buttons.begin(), buttons.end(), [](const QToolButton* button) {
        return button->objectName() != QLatin1String(kExtensionButtonName);
    });
    if (!hook && hasButtons)
        new XPToolBarHook(&look, bar);
}

void hookControlBar(TXPLook& look, QWidget* bar, bool activate)
{
    XPControlBarHook* hook = XPControlBarHook::installedOn(bar);
    if (!activate) {
        delete hook;
        bar->update();
        return;
    }
    if (!hook)
        new XPControlBarHook(&look, bar);
}

} // namespace XP
