#include "xplook.h"

#include "base/feylumeerror.h"
#include "componenttag.h"
#include "controlsubclass.h"
#include "menuhook.h"
#include "systemcolors.h"
#include "toolbarhook.h"

#include <QAction>
#include <QApplication>
#include <QChildEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {
QObject* checkedOwner(QObject* owner)
{
    if (owner && !XP::isForm(owner) && !XP::isFrame(owner) && !qobject_cast<QScrollArea*>(owner))
        throw FeylumeError(QStringLiteral("Invalid class typecast"));
    return owner;
}

// The components a container holds, parents before their children, in the order they were made.
// Windows and frames are listed but not entered: the walk enters them itself. Menus and tool
// bars keep their items to themselves.
void collectComponents(const QWidget* container, QList<QWidget*>& out)
{
    for (QObject* child : container->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget)
            continue;
        out << widget;
        if (widget->isWindow() || XP::isFrame(widget) || qobject_cast<QMenuBar*>(widget)
            || qobject_cast<QMenu*>(widget))
            continue;
        collectComponents(widget, out);
    }
}

bool isControlBar(const QObject* object)
{
    return XP::inheritsClassName(object, "TControlBar");
}
} // namespace

TXPLook::TXPLook(QObject* owner)
    : QObject(checkedOwner(owner))
{
    setObjectName(QStringLiteral("XPLook1"));
    setControlUseTrueXPStyle(true);
    m_BtnRoundArc = 5;
    LoadSystemMenuFont(m_Font);
    m_OwnerForm = qobject_cast<QWidget*>(owner);
    setUseSystemColors(true);
    m_colors.Color = XP::clBtnFace;
    m_colors.IconBackColor = XP::clBtnFace;
    m_colors.SelectColor = XP::clHighlight;
    m_colors.SelectBorderColor = XP::clHighlight;
    m_colors.MenuBarColor = XP::clBtnFace;
    m_colors.DisabledColor = XP::clInactiveCaption;
    m_colors.SeparatorColor = XP::clBtnFace;
    m_colors.CheckedColor = XP::clHighlight;
    m_colors.SelectFontColor = m_Font.Color;
    m_GrayLevel = 10;
    m_DimLevel = 30;
    m_IconWidth = 24;
    m_DrawSelect = true;
    setXPContainers(XP::kAllXPContainers);
    setXPControls(XP::kAllXPControls);
    if (m_OwnerForm)
        m_OwnerForm->installEventFilter(this);
}

TXPLook::~TXPLook()
{
    // Only the bars and menus need their hooks taken off here; controls lose theirs with the
    // records below. The owner is not walked again: it may be half-way through its destruction.
    for (const QPointer<QWidget>& bar : m_hookedBars) {
        if (bar)
            unhookBar(bar);
    }
    for (const QPointer<TControlSubClass>& record : m_records)
        delete record.data();
}

void TXPLook::setFont(const TXPFont& value)
{
    m_Font = value;
    redrawMenuBar();
}

void TXPLook::setMenuBarColor(TColor value)
{
    m_colors.MenuBarColor = value;
    redrawMenuBar();
}

void TXPLook::setUseSystemColors(bool value)
{
    m_colors.UseSystemColors = value;
    redrawMenuBar();
}

void TXPLook::setOverrideOwnerDraw(bool value)
{
    const bool changed = value != m_OverrideOwnerDraw;
    m_OverrideOwnerDraw = value;
    // A changed choice takes effect at once rather than at the next deactivation.
    if (changed && m_Active)
        rehook();
}

void TXPLook::setXPContainers(XP::TXPContainers value)
{
    if (value != m_XPContainers && m_Active)
        rehook([&] { m_XPContainers = value; });
    m_XPContainers = value;
}

void TXPLook::setXPControls(XP::TXPControls value)
{
    if (value != m_XPControls && m_Active)
        rehook([&] { m_XPControls = value; });
    m_XPControls = value;
}

void TXPLook::rehook(const std::function<void()>& change)
{
    // The active flag is flipped directly: the menu bar is not redrawn twice.
    m_Active = false;
    HookComponents(m_OwnerForm, false, true);
    m_Active = true;
    if (change)
        change();
    HookComponents(m_OwnerForm, true, true);
}

void TXPLook::setActive(bool value)
{
    if (value == m_Active)
        return;
    m_Active = value;
    HookComponents(m_OwnerForm, value, true);
    redrawMenuBar();
}

void TXPLook::setControlUseTrueXPStyle(bool value)
{
    m_ControlUseTrueXPStyle = value;
    if (value)
        resetTrueXPColors();
}

void TXPLook::resetTrueXPColors()
{
    m_BtnRoundArc = 5;
    m_BtnOutLineBorderColor = XP::RGB(0, 60, 115);
    m_BtnInnerBorderMoveColor = XP::RGB(255, 178, 49);
    m_BtnInnerBorderFocusColor = XP::RGB(140, 174, 231);
    m_BtnSurfaceNormalColor = XP::RGB(255, 251, 247);
    m_BtnSurfaceDownColor = XP::RGB(231, 231, 222);
    m_BtnSurfaceBottomLineColor = XP::RGB(231, 231, 222);
    m_BtnSurfaceDownBottomLineColor = XP::RGB(239, 235, 231);
    m_RdoChkControlChkColor = XP::RGB(0, 162, 0);
    m_ComboBoxChkColor = XP::RGB(74, 105, 140);
    m_ComboboxSurfaceMoveColor = XP::RGB(214, 231, 255);
    m_ControlDisabledBorderColor = XP::RGB(198, 199, 181);
    ComboDroppedColor = XP::RGB(140, 162, 247);
}

void TXPLook::redrawMenuBar()
{
    auto* window = qobject_cast<QMainWindow*>(m_OwnerForm ? m_OwnerForm->window() : nullptr);
    if (window && window->menuWidget())
        window->menuWidget()->update();
}

void TXPLook::RefreshPalette(const QPaintDevice* canvas)
{
    const XP::ColorDevice device = XP::deviceOf(canvas);
    HighColour = XP::isHighColour(device);
    if (m_colors.UseSystemColors)
        LoadSystemMenuFont(m_Font);
    Palette = XP::DerivePalette(m_colors, m_Font.Color, device);
}

XP::TColor TXPLook::Darken(const QPaintDevice* canvas, TColor color, int amount) const
{
    return XP::Darken(XP::deviceOf(canvas), color, amount);
}

XP::TColor TXPLook::Lighten(const QPaintDevice* canvas, TColor color, int percent) const
{
    return XP::Lighten(XP::deviceOf(canvas), color, percent);
}

XP::TColor TXPLook::GrayTone(TColor color, int level) const
{
    return XP::GrayTone(XP::deviceOf(nullptr), color, level);
}

XP::TColor TXPLook::ContrastText(const QPaintDevice* canvas, TColor color) const
{
    return XP::ContrastText(XP::deviceOf(canvas), color, m_Font.Color);
}

namespace {
// Walks the pixels row by row from the top, working the colour out again only where a pixel
// differs from the one before it. Alpha is kept as it is.
template<typename Convert> void filterPixels(QImage& bitmap, Convert convert)
{
    if (bitmap.format() != QImage::Format_ARGB32 && bitmap.format() != QImage::Format_RGB32)
        bitmap
            = bitmap.convertToFormat(bitmap.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    bool havePrevious = false;
    QRgb previousIn = 0;
    QRgb previousOut = 0;
    for (int y = 0; y < bitmap.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x) {
            const QRgb in = line[x];
            if (!havePrevious || in != previousIn) {
                const XP::TColor out = convert(XP::RGB(qRed(in), qGreen(in), qBlue(in)));
                previousOut = qRgba(XP::red(out), XP::green(out), XP::blue(out), qAlpha(in));
                previousIn = in;
                havePrevious = true;
            }
            line[x] = previousOut;
        }
    }
}
} // namespace

void TXPLook::GrayBitmap(QImage& bitmap, int level) const
{
    const XP::ColorDevice device = XP::deviceOf(&bitmap);
    filterPixels(bitmap, [&](XP::TColor pixel) { return XP::GrayTone(device, pixel, level); });
}

void TXPLook::DimBitmap(QImage& bitmap, int percent) const
{
    if (percent > 100)
        percent = 100;
    const XP::ColorDevice device = XP::deviceOf(&bitmap);
    filterPixels(bitmap, [&](XP::TColor pixel) { return XP::Lighten(device, pixel, percent); });
}

void TXPLook::LoadSystemMenuFont(TXPFont& font)
{
    font.font = QApplication::font("QMenu");
    font.Color = XP::clMenuText;
}

bool TXPLook::UsesTrueXPStyle(const QObject* control) const
{
    return m_ControlUseTrueXPStyle && XP::tagOf(control) != XP::kTagClassicLook;
}

void TXPLook::HookComponents(QObject* container, bool activate, bool repaint)
{
    auto* root = qobject_cast<QWidget*>(container);
    if (!root)
        return;
    QList<QWidget*> components;
    collectComponents(root, components);
    for (QWidget* component : components) {
        if (auto* menu = qobject_cast<QMenuBar*>(component)) {
            if ((m_XPControls & XP::xcMainMenu) && XP::tagOf(menu) != XP::kTagNeverHooked)
                hookBar(menu, activate);
        } else if (auto* popup = qobject_cast<QMenu*>(component)) {
            // Only the window's own pop-up menus: Qt's controls keep private menus of their own.
            if ((m_XPControls & XP::xcPopupMenu) && popup->parent() == root)
                hookBar(popup, activate);
        } else if (qobject_cast<QToolBar*>(component) || isControlBar(component)) {
            const XP::TXPControls kind
                = qobject_cast<QToolBar*>(component) ? XP::xcToolbar : XP::xcControlbar;
            if (m_XPControls & kind) {
                hookBar(component, activate);
                if (repaint)
                    component->update();
            }
        }
        if (m_XPControls & XP::controlKinds(component)) {
            QWidget* parent = XP::lookParent(component);
            if (parent && (m_XPContainers & XP::containerKinds(parent)))
                hookControl(component, parent, activate, repaint);
        }
        if ((XP::isFrame(component) && (m_XPContainers & XP::xccFrame)) || XP::isForm(component))
            HookComponents(component, activate, repaint);
    }
}

void TXPLook::hookBar(QWidget* bar, bool activate)
{
    if (auto* menuBar = qobject_cast<QMenuBar*>(bar))
        XP::hookMainMenu(*this, menuBar, activate);
    else if (auto* popup = qobject_cast<QMenu*>(bar))
        XP::hookPopupMenu(*this, popup, activate);
    else if (auto* toolBar = qobject_cast<QToolBar*>(bar))
        XP::hookToolBar(*this, toolBar, activate);
    else
        XP::hookControlBar(*this, bar, activate);
    std::erase_if(m_hookedBars, [bar](const QPointer<QWidget>& known) { return !known || known == bar; });
    if (activate)
        m_hookedBars.emplace_back(bar);
}

void TXPLook::unhookBar(QWidget* bar)
{
    hookBar(bar, false);
}

void TXPLook::hookControl(QWidget* control, QWidget* parent, bool activate, bool repaint)
{
    if (activate && XP::tagOf(control) != XP::kTagNeverHooked && XP::tagOf(parent) != XP::kTagNeverHooked) {
        std::erase_if(m_records, [](const QPointer<TControlSubClass>& record) { return !record; });
        m_records.emplace_back(TControlSubClass::attach(this, control));
    }
    if (!repaint)
        return;
    // Asking a windowed control to repaint reaches its hook record at once; an inactive
    // component's record takes itself off there.
    if (TControlSubClass* record = TControlSubClass::installedOn(control);
        record && record->Painter == this && !XP::isGraphicControl(control))
        record->notifyInvalidate();
    control->update();
}

bool TXPLook::eventFilter(QObject* watched, QEvent* event)
{
    // Components inserted after activation: with AutoDetect the walk runs again once the new
    // component is fully made, so menus, tool buttons and bars added later get the look too.
    if (watched == m_OwnerForm && event->type() == QEvent::ChildAdded && m_Active && m_AutoDetect
        && !m_rehookPending) {
        m_rehookPending = true;
        QTimer::singleShot(0, this, [this] {
            m_rehookPending = false;
            if (m_Active && m_AutoDetect)
                rehook();
        });
    }
    return false;
}

void applyStoredLookSettings(TXPLook& look)
{
    TXPFont font;
    font.font = QFont(QStringLiteral("Tahoma"));
    font.font.setPixelSize(11);
    font.Color = XP::clMenuText;

    const std::pair<const char*, QVariant> stored[] = {
        {"DimLevel", 30},
        {"GrayLevel", 10},
        {"Font", QVariant::fromValue(font)},
        {"Color", XP::clBtnFace},
        {"IconBackColor", XP::clBtnFace},
        {"MenuBarColor", XP::clBtnFace},
        {"SelectColor", XP::clHighlight},
        {"SelectBorderColor", XP::clHighlight},
        {"SelectFontColor", XP::clMenuText},
        {"DisabledColor", XP::clInactiveCaption},
        {"SeparatorColor", XP::clBtnFace},
        {"CheckedColor", XP::clHighlight},
        {"IconWidth", 24},
        {"DrawSelect", true},
        {"UseSystemColors", true},
        {"OverrideOwnerDraw", false},
        {"Gradient", false},
        {"FlatMenu", false},
        {"AutoDetect", false},
        {"XPContainers", XP::kAllXPContainers},
        {"XPControls", XP::kAllXPControls},
        {"Active", true},
        {"ControlUseTrueXPStyle", true},
        {"BtnRoundArc", 5},
        {"BtnOutLineBorderColor", XP::RGB(0, 60, 115)},
        {"BtnInnerBorderMoveColor", XP::RGB(255, 178, 49)},
        {"BtnInnerBorderFocusColor", XP::RGB(140, 174, 231)},
        {"BtnSurfaceNormalColor", XP::RGB(255, 251, 247)},
        {"BtnSurfaceDownColor", XP::RGB(231, 231, 222)},
        {"BtnSurfaceBottomLineColor", XP::RGB(231, 231, 222)},
        {"BtnSurfaceDownBottomLineColor", XP::RGB(239, 235, 231)},
        {"RdoChkControlChkColor", XP::RGB(0, 162, 0)},
        {"ComboBoxChkColor", XP::RGB(74, 105, 140)},
        {"ComboboxSurfaceMoveColor", XP::RGB(214, 231, 255)},
        {"ControlDisabledBorderColor", XP::RGB(198, 199, 181)},
    };
    for (const auto& [name, value] : stored)
        look.setProperty(name, value);
}
