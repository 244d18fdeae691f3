#pragma once

#include "xpkinds.h"
#include "xppalette.h"

#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QPaintDevice;
class QWidget;
class TControlSubClass;

// A font together with the colour its text is drawn in.
struct TXPFont
{
    QFont font;
    XP::TColor Color = XP::clMenuText;
};
Q_DECLARE_METATYPE(TXPFont)

// The look component a window carries to give its tool bars, standard controls and (where it
// hooks them) menus the XP look. It has no widget of its own. Activating it walks the window
// once and hooks what exists at that moment; the painters read its properties and palette.
//
// The owner must be a form (a top-level window), a frame (TFrame) or a scroll box (QScrollArea);
// anything else makes construction throw. Without an owner there is nothing to walk.
class TXPLook : public QObject
{
    Q_OBJECT
    // Published properties, in the order a window description applies them.
    Q_PROPERTY(int DimLevel READ DimLevel WRITE setDimLevel)
    Q_PROPERTY(int GrayLevel READ GrayLevel WRITE setGrayLevel)
    Q_PROPERTY(TXPFont Font READ Font WRITE setFont)
    Q_PROPERTY(quint32 Color READ Color WRITE setColor)
    Q_PROPERTY(quint32 IconBackColor READ IconBackColor WRITE setIconBackColor)
    Q_PROPERTY(quint32 MenuBarColor READ MenuBarColor WRITE setMenuBarColor)
    Q_PROPERTY(quint32 SelectColor READ SelectColor WRITE setSelectColor)
    Q_PROPERTY(quint32 SelectBorderColor READ SelectBorderColor WRITE setSelectBorderColor)
    Q_PROPERTY(quint32 SelectFontColor READ SelectFontColor WRITE setSelectFontColor)
    Q_PROPERTY(quint32 DisabledColor READ DisabledColor WRITE setDisabledColor)
    Q_PROPERTY(quint32 SeparatorColor READ SeparatorColor WRITE setSeparatorColor)
    Q_PROPERTY(quint32 CheckedColor READ CheckedColor WRITE setCheckedColor)
    Q_PROPERTY(int IconWidth READ IconWidth WRITE setIconWidth)
    Q_PROPERTY(bool DrawSelect READ DrawSelect WRITE setDrawSelect)
    Q_PROPERTY(bool UseSystemColors READ UseSystemColors WRITE setUseSystemColors)
    Q_PROPERTY(bool OverrideOwnerDraw READ OverrideOwnerDraw WRITE setOverrideOwnerDraw)
    Q_PROPERTY(bool Gradient READ Gradient WRITE setGradient)
    Q_PROPERTY(bool FlatMenu READ FlatMenu WRITE setFlatMenu)
    Q_PROPERTY(bool AutoDetect READ AutoDetect WRITE setAutoDetect)
    Q_PROPERTY(quint32 XPContainers READ XPContainers WRITE setXPContainers)
    Q_PROPERTY(quint32 XPControls READ XPControls WRITE setXPControls)
    Q_PROPERTY(bool Active READ Active WRITE setActive)
    Q_PROPERTY(bool ControlUseTrueXPStyle READ ControlUseTrueXPStyle WRITE setControlUseTrueXPStyle)
    Q_PROPERTY(int BtnRoundArc READ BtnRoundArc WRITE setBtnRoundArc)
    Q_PROPERTY(quint32 BtnOutLineBorderColor MEMBER m_BtnOutLineBorderColor)
    Q_PROPERTY(quint32 BtnInnerBorderMoveColor MEMBER m_BtnInnerBorderMoveColor)
    Q_PROPERTY(quint32 BtnInnerBorderFocusColor MEMBER m_BtnInnerBorderFocusColor)
    Q_PROPERTY(quint32 BtnSurfaceNormalColor MEMBER m_BtnSurfaceNormalColor)
    Q_PROPERTY(quint32 BtnSurfaceDownColor MEMBER m_BtnSurfaceDownColor)
    Q_PROPERTY(quint32 BtnSurfaceBottomLineColor MEMBER m_BtnSurfaceBottomLineColor)
    Q_PROPERTY(quint32 BtnSurfaceDownBottomLineColor MEMBER m_BtnSurfaceDownBottomLineColor)
    Q_PROPERTY(quint32 RdoChkControlChkColor MEMBER m_RdoChkControlChkColor)
    Q_PROPERTY(quint32 ComboBoxChkColor MEMBER m_ComboBoxChkColor)
    Q_PROPERTY(quint32 ComboboxSurfaceMoveColor MEMBER m_ComboboxSurfaceMoveColor)
    Q_PROPERTY(quint32 ControlDisabledBorderColor MEMBER m_ControlDisabledBorderColor)

public:
    using TColor = XP::TColor;

    explicit TXPLook(QObject* owner);
    ~TXPLook() override;

    // Plain properties: stored, read at the next paint.
    int DimLevel() const { return m_DimLevel; }
    void setDimLevel(int value) { m_DimLevel = value & 0xFF; }
    int GrayLevel() const { return m_GrayLevel; }
    void setGrayLevel(int value) { m_GrayLevel = value & 0xFF; }
    TColor Color() const { return m_colors.Color; }
    void setColor(TColor value) { m_colors.Color = value; }
    TColor IconBackColor() const { return m_colors.IconBackColor; }
    void setIconBackColor(TColor value) { m_colors.IconBackColor = value; }
    TColor SelectColor() const { return m_colors.SelectColor; }
    void setSelectColor(TColor value) { m_colors.SelectColor = value; }
    TColor SelectBorderColor() const { return m_colors.SelectBorderColor; }
    void setSelectBorderColor(TColor value) { m_colors.SelectBorderColor = value; }
    TColor SelectFontColor() const { return m_colors.SelectFontColor; }
    void setSelectFontColor(TColor value) { m_colors.SelectFontColor = value; }
    TColor DisabledColor() const { return m_colors.DisabledColor; }
    void setDisabledColor(TColor value) { m_colors.DisabledColor = value; }
    TColor SeparatorColor() const { return m_colors.SeparatorColor; }
    void setSeparatorColor(TColor value) { m_colors.SeparatorColor = value; }
    TColor CheckedColor() const { return m_colors.CheckedColor; }
    void setCheckedColor(TColor value) { m_colors.CheckedColor = value; }
    int IconWidth() const { return m_IconWidth; }
    void setIconWidth(int value) { m_IconWidth = value; }
    bool DrawSelect() const { return m_DrawSelect; }
    void setDrawSelect(bool value) { m_DrawSelect = value; }
    bool Gradient() const { return m_Gradient; }
    void setGradient(bool value) { m_Gradient = value; }
    bool FlatMenu() const { return m_FlatMenu; }
    void setFlatMenu(bool value) { m_FlatMenu = value; }
    bool AutoDetect() const { return m_AutoDetect; }
    void setAutoDetect(bool value) { m_AutoDetect = value; }
    int BtnRoundArc() const { return m_BtnRoundArc; }
    void setBtnRoundArc(int value) { m_BtnRoundArc = value; }

    // Properties whose setters do more than store.
    const TXPFont& Font() const { return m_Font; }
    void setFont(const TXPFont& value);
    TColor MenuBarColor() const { return m_colors.MenuBarColor; }
    void setMenuBarColor(TColor value);
    bool UseSystemColors() const { return m_colors.UseSystemColors; }
    void setUseSystemColors(bool value);
    bool OverrideOwnerDraw() const { return m_OverrideOwnerDraw; }
    void setOverrideOwnerDraw(bool value);
    XP::TXPContainers XPContainers() const { return m_XPContainers; }
    void setXPContainers(XP::TXPContainers value);
    XP::TXPControls XPControls() const { return m_XPControls; }
    void setXPControls(XP::TXPControls value);
    bool Active() const { return m_Active; }
    void setActive(bool value);
    bool ControlUseTrueXPStyle() const { return m_ControlUseTrueXPStyle; }
    void setControlUseTrueXPStyle(bool value);

    // The true-XP colours of controls and buttons (plain stores).
    TColor BtnOutLineBorderColor() const { return m_BtnOutLineBorderColor; }
    TColor BtnInnerBorderMoveColor() const { return m_BtnInnerBorderMoveColor; }
    TColor BtnInnerBorderFocusColor() const { return m_BtnInnerBorderFocusColor; }
    TColor BtnSurfaceNormalColor() const { return m_BtnSurfaceNormalColor; }
    TColor BtnSurfaceDownColor() const { return m_BtnSurfaceDownColor; }
    TColor BtnSurfaceBottomLineColor() const { return m_BtnSurfaceBottomLineColor; }
    TColor BtnSurfaceDownBottomLineColor() const { return m_BtnSurfaceDownBottomLineColor; }
    TColor RdoChkControlChkColor() const { return m_RdoChkControlChkColor; }
    TColor ComboBoxChkColor() const { return m_ComboBoxChkColor; }
    TColor ComboboxSurfaceMoveColor() const { return m_ComboboxSurfaceMoveColor; }
    TColor ControlDisabledBorderColor() const { return m_ControlDisabledBorderColor; }
    void setBtnOutLineBorderColor(TColor value) { m_BtnOutLineBorderColor = value; }

    // Kept besides the published properties.
    QWidget* OwnerForm() const { return m_OwnerForm; }
    TColor ComboDroppedColor = XP::RGB(140, 162, 247);
    // Whether the device of the last palette refresh had 16 or more bits per pixel.
    bool HighColour = true;
    // Derived by RefreshPalette before every paint.
    XP::TXPPalette Palette;

    // Colour arithmetic on the device of a canvas (the widget or image being painted).
    void RefreshPalette(const QPaintDevice* canvas);
    TColor Darken(const QPaintDevice* canvas, TColor color, int amount) const;
    TColor Lighten(const QPaintDevice* canvas, TColor color, int percent) const;
    TColor GrayTone(TColor color, int level) const;
    TColor ContrastText(const QPaintDevice* canvas, TColor color) const;
    // Glyph filters; they change the image in place.
    void GrayBitmap(QImage& bitmap, int level) const;
    void DimBitmap(QImage& bitmap, int percent) const;
    // Replaces the font with the platform's menu font in the menu text colour.
    static void LoadSystemMenuFont(TXPFont& font);

    // Installs (Activate) or removes the hooks of what the container holds, and with Repaint
    // asks the hooked widgets to paint again.
    void HookComponents(QObject* container, bool activate, bool repaint);

    // Whether the control is painted in the true-XP style (the classic tag opts out).
    bool UsesTrueXPStyle(const QObject* control) const;
    // The hook records this component owns, in the order they were made.
    const std::vector<QPointer<TControlSubClass>>& hookRecords() const { return m_records; }
    // The menus, tool bars and control bars whose hooks are installed.
    const std::vector<QPointer<QWidget>>& hookedBars() const { return m_hookedBars; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hookBar(QWidget* bar, bool activate);
    void unhookBar(QWidget* bar);
    void hookControl(QWidget* control, QWidget* parent, bool activate, bool repaint);
    // The remove-and-reinstall cycle, for changes that decide what is hooked.
    void rehook(const std::function<void()>& change = {});
    void redrawMenuBar();
    void resetTrueXPColors();

    QWidget* m_OwnerForm = nullptr;
    int m_DimLevel = 30;
    int m_GrayLevel = 10;
    TXPFont m_Font;
    XP::TXPColorSettings m_colors;
    int m_IconWidth = 24;
    bool m_DrawSelect = true;
    bool m_OverrideOwnerDraw = false;
    bool m_Gradient = false;
    bool m_FlatMenu = false;
    bool m_AutoDetect = false;
    XP::TXPContainers m_XPContainers = 0;
    XP::TXPControls m_XPControls = 0;
    bool m_Active = false;
    bool m_ControlUseTrueXPStyle = false;
    int m_BtnRoundArc = 5;
    TColor m_BtnOutLineBorderColor = 0;
    TColor m_BtnInnerBorderMoveColor = 0;
    TColor m_BtnInnerBorderFocusColor = 0;
    TColor m_BtnSurfaceNormalColor = 0;
    TColor m_BtnSurfaceDownColor = 0;
    TColor m_BtnSurfaceBottomLineColor = 0;
    TColor m_BtnSurfaceDownBottomLineColor = 0;
    TColor m_RdoChkControlChkColor = 0;
    TColor m_ComboBoxChkColor = 0;
    TColor m_ComboboxSurfaceMoveColor = 0;
    TColor m_ControlDisabledBorderColor = 0;
    std::vector<QPointer<TControlSubClass>> m_records;
    std::vector<QPointer<QWidget>> m_hookedBars;
    bool m_rehookPending = false;
};

// The settings both of the program's windows store for their look component, applied in the
// published order as loading a window description does (so Active comes before the true-XP
// colours are reset and read).
void applyStoredLookSettings(TXPLook& look);
