#pragma once

#include <QEvent>
#include <QFrame>
#include <QObject>
#include <QPointer>

class QWidget;
class TXPLook;

// The hook record of one control: an event filter that lets the control handle every event
// first, keeps the pointer, focus, mouse and space-bar state, and on the events that change the
// control's look asks for a repaint; in the control's paint event it runs the painter over what
// the control drew. The painters only draw: all state lives here.
//
// Events standing for the platform's messages:
//   focus in / focus out              Hot on / off, paint
//   paint                             KeepHook off, the painter runs after the control painted
//   check state changed               Hot off, paint
//   pressed / released (button state) paint
//   space key down / up               SpaceDown (one repaint per hold) / SpaceDown off, paint
//   left button down / up             MouseDown on / off, paint
//   left double click                 on push, bit, speed buttons and plain check boxes: a
//                                     second press (Qt already delivers it as a press)
//   focus moved anywhere              paint
//   palette changed (parent colour)   paint
//   enabled changed                   paint
//   style changed (border re-made)    KeepHook on
//   text changed                      paint (not on a memo: its frame holds no text)
//   pointer entered / left            on an enabled control: Hot on / off, paint
// "Paint" asks the control for a repaint; the painter draws inside the paint event that follows.
// A combo box's text box paints over the combo box: the record draws the combo box's look
// again over the text box, in the text box's own paint event.
class TControlSubClass : public QObject
{
    Q_OBJECT
public:
    enum class TBorderStyle { bsNone, bsSingle };

    // Attaches a record to the control: installed unless the control already has one.
    static TControlSubClass* attach(TXPLook* painter, QWidget* control);
    // The record installed on the control, or nullptr.
    static TControlSubClass* installedOn(const QWidget* control);

    ~TControlSubClass() override;

    QPointer<QWidget> Control;
    bool KeepHook = false;
    bool Hot = false;
    bool MouseDown = false;
    bool SpaceDown = false;
    bool SpaceRepeat = false;
    bool Focused = false;
    TXPLook* Painter = nullptr;
    bool SavedCtl3D = false;
    TBorderStyle SavedBorderStyle = TBorderStyle::bsNone;
    QEvent::Type LastMessage = QEvent::None;
    // Push buttons: whether the window named this button its default, as last seen while no
    // button held the default by having the focus (the painters' emboss follows this).
    bool NamedDefault = false;

    bool isInstalled() const { return m_installed; }
    // The control was asked to repaint: the record keeps its hook through what follows, or
    // takes itself off when its component is inactive.
    void notifyInvalidate();
    // Runs the painter matching the control's kind, on the control's paint event.
    void PaintControl();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TControlSubClass(TXPLook* painter, QWidget* control);
    void install();
    // Puts the control back as it was and removes the record.
    void unhook();
    // Every event and signal the record acts on passes here first: false when the record is
    // not installed, or has just taken itself off because its component is inactive.
    bool takeMessage(QEvent::Type type);
    // Asks the control to paint again; the painter runs in that paint event. Controls with and
    // without a window of their own are asked alike here: every Qt widget gets paint events.
    void paint();
    void connectControlSignals();
    void onCheckStateChanged();
    void onTextChanged();

    // Paints the control's look again over a combo box's text box, after the text box painted.
    bool paintOverTextBox(QEvent* event);

    bool m_installed = false;
    bool m_inPaint = false;
    // A combo box's own text box, which paints over the combo box's frame.
    QPointer<QWidget> m_textBox;
};

// The 3-D border flag and border style of edits and memos, as the edit painters switch them.
namespace XP {
bool ctl3D(const QWidget* edit);
void setCtl3D(QWidget* edit, bool on);
TControlSubClass::TBorderStyle borderStyle(const QWidget* edit);
void setBorderStyle(QWidget* edit, TControlSubClass::TBorderStyle style);
} // namespace XP
