// The painters the hook records run: each reads its control and the record's flags and paints
// over the control through the pure painters, on a canvas laid over the control's own drawing.
// An edit's outline, a single line round its edge, is drawn on the control itself.

#include "paintrecords.h"

#include "backdrop.h"
#include "buttonpainter.h"
#include "controlpainter.h"
#include "controlsubclass.h"
#include "systemcolors.h"
#include "widgets/bitbtn.h"
#include "xpkinds.h"
#include "xplook.h"
#include "xpwidgetcanvas.h"

#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace XP {

namespace {
XPControlState stateOf(const TControlSubClass& record)
{
    XPControlState state;
    state.hot = record.Hot;
    state.mouseDown = record.MouseDown;
    state.spaceDown = record.SpaceDown;
    state.focused = record.Focused;
    state.enabled = record.Control->isEnabled();
    return state;
}

// In a dialog Qt lends the default to whichever auto-default button has the focus and gives it
// back to the window's own choice when the focus leaves the buttons.
bool defaultLentToFocus(const QPushButton* button)
{
    const auto* dialog = qobject_cast<const QDialog*>(button->window());
    const auto* focused = qobject_cast<const QPushButton*>(QApplication::focusWidget());
    return dialog && focused && focused->window() == dialog && focused->autoDefault();
}

// The button the window named its default, not the one that has the default on loan.
bool namedDefault(TControlSubClass& record, const QPushButton* button)
{
    if (!defaultLentToFocus(button))
        record.NamedDefault = button->isDefault();
    return record.NamedDefault;
}

XPButtonInfo infoOf(TXPLook& look, QAbstractButton* control, const XPCanvas& canvas)
{
    XPButtonInfo info;
    info.caption = control->text();
    info.client = {0, 0, canvas.width(), canvas.height()};
    info.parentColor = parentColor(control);
    info.font = control->font();
    info.fontColor = fromQColor(control->palette().color(QPalette::ButtonText));
    info.rightToLeft = control->layoutDirection() == Qt::RightToLeft;
    info.trueXP = look.UsesTrueXPStyle(control);
    return info;
}

XPGlyphLayout layoutOf(TBitBtn::TButtonLayout layout)
{
    switch (layout) {
    case TBitBtn::blGlyphRight:
        return XPGlyphLayout::GlyphRight;
    case TBitBtn::blGlyphTop:
        return XPGlyphLayout::GlyphTop;
    case TBitBtn::blGlyphBottom:
        return XPGlyphLayout::GlyphBottom;
    case TBitBtn::blGlyphLeft:
        break;
    }
    return XPGlyphLayout::GlyphLeft;
}
} // namespace

void PaintBitButton(TControlSubClass& record)
{
    auto* button = qobject_cast<QPushButton*>(record.Control.data());
    if (!button || !record.Painter)
        return;
    XPWidgetCanvas canvas(button);
    XPButtonInfo info = infoOf(*record.Painter, button, canvas.canvas());
    info.isDefault = namedDefault(record, button);
    if (auto* bitButton = qobject_cast<TBitBtn*>(button)) {
        info.glyph = bitButton->Glyph().toImage();
        info.numGlyphs = bitButton->NumGlyphs();
        info.layout = layoutOf(bitButton->Layout());
        info.spacing = bitButton->Spacing();
    }
    DrawBitButton(*record.Painter, canvas.canvas(), info, stateOf(record));
}

void PaintButton(TControlSubClass& record)
{
    auto* button = qobject_cast<QPushButton*>(record.Control.data());
    if (!button || !record.Painter)
        return;
    XPWidgetCanvas canvas(button);
    XPButtonInfo info = infoOf(*record.Painter, button, canvas.canvas());
    info.isDefault = namedDefault(record, button);
    DrawPushButton(*record.Painter, canvas.canvas(), info, stateOf(record));
}

void PaintSpeedButton(TControlSubClass& record)
{
    auto* button = qobject_cast<QToolButton*>(record.Control.data());
    if (!button || !record.Painter)
        return;
    XPWidgetCanvas canvas(button);
    XPButtonInfo info = infoOf(*record.Painter, button, canvas.canvas());
    if (!button->icon().isNull())
        info.glyph = button->icon().pixmap(button->iconSize()).toImage();
    info.down = button->isCheckable() && button->isChecked();
    info.flat = button->autoRaise();
    XPButtonState state = stateOf(record);
    state.focused = false; // a speed button has no window of its own
    DrawSpeedButton(*record.Painter, canvas.canvas(), info, state);
}

} // namespace XP

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

namespace XP {

namespace {
// Text boxes and lists show their contents on the base colour; the other controls on the window colour.
TColor ownColor(const QWidget* control)
{
    const bool textBox = qobject_cast<const QComboBox*>(control) || isEditControl(control);
    return fromQColor(control->palette().color(textBox ? QPalette::Base : control->backgroundRole()));
}

XPControlInfo controlInfoOf(TXPLook& look, QWidget* control, const XPCanvas& canvas)
{
    XPControlInfo info;
    info.client = {0, 0, canvas.width(), canvas.height()};
    info.color = ownColor(control);
    info.parentColor = parentColor(control);
    info.trueXP = look.UsesTrueXPStyle(control);
    info.rightToLeft = control->layoutDirection() == Qt::RightToLeft;
    // The scroll-thumb width sizes the marks; styles with thin scroll bars would make them too
    // small to read, so the platform's usual 16 pixels is the least.
    info.thumb = std::max(16, control->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, control));
    return info;
}

// The control's background becomes the true-XP surface colour; set only when it differs, since
// a palette change asks for another paint.
void useSurfaceColor(TXPLook& look, QWidget* control)
{
    const QColor surface = qcolor(look.BtnSurfaceNormalColor());
    if (control->palette().color(QPalette::Base) == surface)
        return;
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, surface);
    control->setPalette(palette);
}

void paintEditFrame(TControlSubClass& record, bool rich)
{
    QWidget* control = record.Control;
    TXPLook& look = *record.Painter;
    const bool single = record.SavedBorderStyle == TControlSubClass::TBorderStyle::bsSingle;
    if (look.UsesTrueXPStyle(control))
        useSurfaceColor(look, control);
    // A rich edit loses its border instead of its 3-D flag; both keep the hook through the
    // re-making of the control's frame that follows.
    if (rich && single && borderStyle(control) == TControlSubClass::TBorderStyle::bsSingle) {
        record.KeepHook = true;
        setBorderStyle(control, TControlSubClass::TBorderStyle::bsNone);
    } else if (!rich && ctl3D(control)) {
        record.KeepHook = true;
        setCtl3D(control, false);
    }
    // The colours are worked out for a full-colour device, as on the look's canvases.
    const QPaintDevice* fullColour = nullptr;
    look.RefreshPalette(fullColour);
    const bool active = record.Hot || record.Focused;
    const TColor outline = rich && active
        ? look.Lighten(fullColour, look.Palette.SelectBorder, 60)
        : EditOutlineColor(look, fullColour, active, single, parentColor(control));
    QPainter painter(control);
    DrawEditOutline(painter, control->rect(), outline);
}
} // namespace

void PaintEdit(TControlSubClass& record)
{
    if (record.Control && record.Painter)
        paintEditFrame(record, false);
}

// The rich edit's frame is drawn on its own edge: this toolkit lets a control paint only itself.
void PaintRichEdit(TControlSubClass& record)
{
    if (record.Control && record.Painter)
        paintEditFrame(record, true);
}

namespace {
XPComboField comboFieldOf(QComboBox* combo)
{
    XPComboField field;
    field.ownTextBox = combo->lineEdit() != nullptr;
    field.text = combo->currentText();
    field.font = combo->font();
    field.textColor = fromQColor(
        combo->palette().color(combo->isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    option.currentText = field.text;
    const QRect edit
        = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    field.textRect = XPRect::fromQRect(edit.adjusted(1, 0, -1, 0));
    return field;
}

void paintComboBox(TControlSubClass& record, QComboBox* combo, XPWidgetCanvas& canvas, bool overTextBox)
{
    const bool dropped = combo->view() && combo->view()->isVisible();
    XPComboField field = comboFieldOf(combo);
    field.paint = !overTextBox;
    DrawComboBox(*record.Painter, canvas.canvas(), controlInfoOf(*record.Painter, combo, canvas.canvas()),
        stateOf(record), dropped, field);
}
} // namespace

void PaintComboBox(TControlSubClass& record)
{
    auto* combo = qobject_cast<QComboBox*>(record.Control.data());
    if (!combo || !record.Painter)
        return;
    XPWidgetCanvas canvas(combo);
    paintComboBox(record, combo, canvas, false);
    // The ring the painter clears to the parent's colour would stand out as a second outline
    // where the combo box sits on a picture.
    if (const QImage behind = backdropOf(combo); !behind.isNull())
        showBackdropInRing(canvas.canvas(), behind, kComboClearedTopRows, qcolor(parentColor(combo)));
}

void PaintComboBoxOverTextBox(TControlSubClass& record)
{
    auto* combo = qobject_cast<QComboBox*>(record.Control.data());
    if (!combo || !combo->lineEdit() || !record.Painter)
        return;
    XPWidgetCanvas canvas(combo, combo->lineEdit());
    paintComboBox(record, combo, canvas, true);
}

namespace {
// The toolkit's own mark stands where its style puts it, which the XP mark need not cover:
// clear it to the control's colour first.
void clearToolkitMark(XPCanvas& canvas, QWidget* control, QStyle::SubElement element, TColor color)
{
    QStyleOptionButton option;
    option.initFrom(control);
    const QRect mark = control->style()->subElementRect(element, &option, control);
    canvas.fillRect(XPRect::fromQRect(mark.adjusted(-1, -1, 1, 1)), qcolor(color));
}
} // namespace

void PaintCheckBox(TControlSubClass& record)
{
    auto* box = qobject_cast<QCheckBox*>(record.Control.data());
    if (!box || !record.Painter)
        return;
    XPWidgetCanvas canvas(box);
    const XPCheckState check = box->checkState() == Qt::Checked ? XPCheckState::Checked
        : box->checkState() == Qt::PartiallyChecked             ? XPCheckState::Grayed
                                                                : XPCheckState::Unchecked;
    const XPControlInfo info = controlInfoOf(*record.Painter, box, canvas.canvas());
    clearToolkitMark(canvas.canvas(), box, QStyle::SE_CheckBoxIndicator, info.color);
    DrawCheckBox(*record.Painter, canvas.canvas(), info, stateOf(record), check, info.rightToLeft);
}

void PaintRadioButton(TControlSubClass& record)
{
    auto* radio = qobject_cast<QRadioButton*>(record.Control.data());
    if (!radio || !record.Painter)
        return;
    XPWidgetCanvas canvas(radio);
    const XPControlInfo info = controlInfoOf(*record.Painter, radio, canvas.canvas());
    clearToolkitMark(canvas.canvas(), radio, QStyle::SE_RadioButtonIndicator, info.color);
    DrawRadioButton(
        *record.Painter, canvas.canvas(), info, stateOf(record), radio->isChecked(), info.rightToLeft);
}

// The program's panels have no bevels; a panel says otherwise through its BevelOuter and
// BevelInner properties (0 none, 1 lowered, 2 raised, 3 space).
void PaintPanel(TControlSubClass& record)
{
    QWidget* panel = record.Control;
    if (!panel || !record.Painter || record.LastMessage != QEvent::Paint)
        return;
    const auto bevel = [panel](const char* name) { return XPBevel(panel->property(name).toInt() & 3); };
    const XPBevel outer = bevel("BevelOuter");
    const XPBevel inner = bevel("BevelInner");
    if (outer == XPBevel::None && inner == XPBevel::None)
        return;
    XPWidgetCanvas canvas(panel);
    const int bevelWidth = std::max(1, panel->property("BevelWidth").toInt());
    DrawPanelBevels(*record.Painter, canvas.canvas(), controlInfoOf(*record.Painter, panel, canvas.canvas()),
        outer, inner, bevelWidth, panel->property("BorderWidth").toInt());
}

void PaintGroupBox(TControlSubClass& record)
{
    auto* group = qobject_cast<QGroupBox*>(record.Control.data());
    if (!group || !record.Painter || record.LastMessage != QEvent::Paint)
        return;
    XPWidgetCanvas canvas(group);
    XPGroupBoxInfo box;
    box.caption = group->title();
    box.font = group->font();
    box.fontColor = fromQColor(group->palette().color(QPalette::WindowText));
    box.ctl3D = ctl3D(group);
    DrawGroupBox(
        *record.Painter, canvas.canvas(), controlInfoOf(*record.Painter, group, canvas.canvas()), box);
}

} // namespace XP
