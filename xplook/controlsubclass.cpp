#include "controlsubclass.h"

#include "componenttag.h"
#include "paintrecords.h"
#include "xpkinds.h"
#include "xplook.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace {
const char* const kRecordProperty = "xpHookRecord";
const char* const kCtl3DProperty = "Ctl3D";
const char* const kBorderStyleProperty = "BorderStyle";

bool isPlainCheckBox(const QObject* object)
{
    return XP::hasExactClassName(object, "QCheckBox");
}
} // namespace

TControlSubClass::TControlSubClass(TXPLook* painter, QWidget* control)
    : QObject(painter)
    , Control(control)
    , Painter(painter)
{ }

TControlSubClass* TControlSubClass::attach(TXPLook* painter, QWidget* control)
{
    auto* record = new TControlSubClass(painter, control);
    if (!installedOn(control))
        record->install();
    if (auto* button = qobject_cast<QPushButton*>(control))
        record->NamedDefault = button->isDefault();
    if (XP::isEditControl(control)) {
        record->SavedCtl3D = XP::ctl3D(control);
        record->SavedBorderStyle = XP::borderStyle(control);
    }
    return record;
}

TControlSubClass* TControlSubClass::installedOn(const QWidget* control)
{
    return control ? qobject_cast<TControlSubClass*>(control->property(kRecordProperty).value<QObject*>())
                   : nullptr;
}

TControlSubClass::~TControlSubClass()
{
    // A record that goes while installed gives the control back as it found it.
    if (m_installed && Control) {
        Control->removeEventFilter(this);
        Control->setProperty(kRecordProperty, QVariant());
    }
    if (m_installed && m_textBox)
        m_textBox->removeEventFilter(this);
}

void TControlSubClass::install()
{
    m_installed = true;
    Control->installEventFilter(this);
    Control->setProperty(kRecordProperty, QVariant::fromValue(static_cast<QObject*>(this)));
    if (auto* combo = qobject_cast<QComboBox*>(Control.data()); combo && combo->lineEdit()) {
        m_textBox = combo->lineEdit();
        m_textBox->installEventFilter(this);
    }
    connectControlSignals();
}

void TControlSubClass::connectControlSignals()
{
    QWidget* control = Control;
    // The window going: the record goes with it.
    connect(control, &QObject::destroyed, this, [this] {
        m_installed = false;
        deleteLater();
    });
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        connect(button, &QAbstractButton::toggled, this, &TControlSubClass::onCheckStateChanged);
        connect(button, &QAbstractButton::pressed, this, [this] {
            if (takeMessage(QEvent::None))
                paint();
        });
        connect(button, &QAbstractButton::released, this, [this] {
            if (takeMessage(QEvent::None))
                paint();
        });
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        connect(edit, &QLineEdit::textChanged, this, &TControlSubClass::onTextChanged);
    if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
        connect(memo, &QPlainTextEdit::textChanged, this, &TControlSubClass::onTextChanged);
    if (auto* rich = qobject_cast<QTextEdit*>(control))
        connect(rich, &QTextEdit::textChanged, this, &TControlSubClass::onTextChanged);
    if (auto* combo = qobject_cast<QComboBox*>(control))
        connect(combo, &QComboBox::currentTextChanged, this, &TControlSubClass::onTextChanged);
    // Focus moving anywhere in the program repaints every hooked control.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        if (takeMessage(QEvent::None))
            paint();
    });
}

void TControlSubClass::onCheckStateChanged()
{
    if (!takeMessage(QEvent::None))
        return;
    Hot = false;
    paint();
}

void TControlSubClass::onTextChanged()
{
    if (!takeMessage(QEvent::None))
        return;
    // A memo's text lies inside its frame, in a viewport that repaints what changed itself: the
    // look draws nothing that depends on the text, and repainting the frame on every key would
    // cost a memo more than the key itself.
    if (qobject_cast<QAbstractScrollArea*>(Control.data()))
        return;
    paint();
}

bool TControlSubClass::takeMessage(QEvent::Type type)
{
    if (!m_installed || !Control)
        return false;
    if (!Painter->Active()) {
        unhook();
        return false;
    }
    if (type != QEvent::None)
        LastMessage = type;
    return true;
}

void TControlSubClass::notifyInvalidate()
{
    if (takeMessage(QEvent::None))
        KeepHook = true;
}

void TControlSubClass::unhook()
{
    if (!m_installed)
        return;
    m_installed = false;
    QWidget* control = Control;
    if (control) {
        control->removeEventFilter(this);
        control->setProperty(kRecordProperty, QVariant());
        disconnect(control, nullptr, this, nullptr);
        if (XP::isRichEdit(control))
            XP::setBorderStyle(control, SavedBorderStyle);
        else if (XP::isEditControl(control))
            XP::setCtl3D(control, SavedCtl3D);
        if (XP::isGraphicControl(control))
            control->update();
    }
    if (m_textBox)
        m_textBox->removeEventFilter(this);
    disconnect(qApp, nullptr, this, nullptr);
    Control = nullptr;
    // Often called from inside this record's own event filter: go once the event is handled.
    deleteLater();
}

void TControlSubClass::paint()
{
    if (!Control)
        return;
    // A scroll area paints only its frame itself; updating all of it would also repaint the
    // text and both scroll bars inside, on every key typed into a memo.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(Control.data())) {
        area->update(QRegion(area->rect()).subtracted(area->contentsRect()));
        return;
    }
    Control->update();
}

bool TControlSubClass::paintOverTextBox(QEvent* event)
{
    if (!Painter->Active()) {
        unhook();
        return false;
    }
    if (m_inPaint || !Control || XP::tagOf(Control) < 0)
        return false;
    m_inPaint = true;
    static_cast<QObject*>(m_textBox.data())->event(event);
    m_inPaint = false;
    Focused = Control->hasFocus();
    XP::PaintComboBoxOverTextBox(*this);
    return true;
}

bool TControlSubClass::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_installed)
        return false;
    if (watched == m_textBox && m_textBox)
        return event->type() == QEvent::Paint && paintOverTextBox(event);
    if (watched != Control)
        return false;
    const QEvent::Type type = event->type();
    const bool graphic = XP::isGraphicControl(Control);

    if (type == QEvent::Paint) {
        if (!Painter->Active()) {
            unhook();
            return false;
        }
        LastMessage = type;
        KeepHook = false;
        // The control paints itself first (not a graphic control, whose painter draws it whole),
        // then the painter draws over it within the same paint event.
        if (!graphic && !m_inPaint) {
            m_inPaint = true;
            static_cast<QObject*>(Control.data())->event(event);
            m_inPaint = false;
        }
        if (Control)
            PaintControl();
        return true;
    }

    switch (type) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
    case QEvent::StyleChange:
    case QEvent::Enter:
    case QEvent::Leave:
        break;
    default:
        return false;
    }
    if (!takeMessage(type))
        return false;

    switch (type) {
    case QEvent::FocusIn:
        Hot = true;
        paint();
        break;
    case QEvent::FocusOut:
        Hot = false;
        paint();
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
            SpaceDown = true;
            if (!SpaceRepeat)
                paint();
            SpaceRepeat = true;
        }
        break;
    case QEvent::KeyRelease: {
        // An auto-repeated key sends a release before each repeat: the key is still held.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && !key->isAutoRepeat()) {
            SpaceDown = false;
            SpaceRepeat = false;
            paint();
        }
        break;
    }
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            MouseDown = true;
            paint();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            MouseDown = false;
            paint();
        }
        break;
    case QEvent::MouseButtonDblClick:
        // Buttons and plain check boxes take the second click as another press; Qt hands them
        // the double click as a press already, so only the state follows here.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton
            && (XP::isPushButton(Control) || XP::isSpeedButton(Control) || isPlainCheckBox(Control))) {
            MouseDown = true;
            paint();
        }
        break;
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
        paint();
        break;
    case QEvent::StyleChange:
        KeepHook = true;
        break;
    case QEvent::Enter:
    case QEvent::Leave:
        if (Control->isEnabled()) {
            Hot = type == QEvent::Enter;
            paint();
        }
        break;
    default:
        break;
    }
    return false;
}

void TControlSubClass::PaintControl()
{
    QWidget* control = Control;
    if (!control || XP::tagOf(control) < 0)
        return;
    Focused = !XP::isGraphicControl(control) && control->hasFocus();
    if (qobject_cast<QComboBox*>(control))
        XP::PaintComboBox(*this);
    if (XP::isRichEdit(control))
        XP::PaintRichEdit(*this);
    else if (XP::isEditControl(control))
        XP::PaintEdit(*this);
    if (qobject_cast<QCheckBox*>(control))
        XP::PaintCheckBox(*this);
    if (XP::controlKinds(control) & XP::xcRadioButton)
        XP::PaintRadioButton(*this);
    if (XP::inheritsClassName(control, "TBitBtn"))
        XP::PaintBitButton(*this);
    else if (XP::isPushButton(control))
        XP::PaintButton(*this);
    if (XP::hasExactClassName(control, "TUpDown"))
        return;
    if (XP::isSpeedButton(control) && control->isVisible())
        XP::PaintSpeedButton(*this);
    if (XP::controlKinds(control) & XP::xcPanel)
        XP::PaintPanel(*this);
    if (XP::controlKinds(control) & XP::xcGroupBox)
        XP::PaintGroupBox(*this);
}

namespace XP {

namespace {
bool isFramed(const QFrame* frame)
{
    return frame->frameShape() != QFrame::NoFrame;
}

// A frame of light and dark lines: the style's panel, a window panel, or any shape drawn with a
// sunken or raised shadow (a box so drawn is an etched double line).
bool hasThreeDFrame(const QFrame* frame)
{
    const QFrame::Shape shape = frame->frameShape();
    return shape == QFrame::StyledPanel || shape == QFrame::WinPanel || frame->frameShadow() != QFrame::Plain;
}

// A line edit's frame is the style's sunken one or none; a flat single border is drawn over it
// by the painter, so the edit itself shows none.
void showBorder(QWidget* edit)
{
    const bool single = borderStyle(edit) == TControlSubClass::TBorderStyle::bsSingle;
    const bool raised3D = ctl3D(edit);
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        line->setFrame(single && raised3D);
    } else if (auto* frame = qobject_cast<QFrame*>(edit)) {
        if (!single)
            frame->setFrameStyle(QFrame::NoFrame);
        else if (raised3D)
            frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        else {
            frame->setFrameStyle(QFrame::Box | QFrame::Plain);
            frame->setLineWidth(1);
        }
    }
}
} // namespace

bool ctl3D(const QWidget* edit)
{
    const QVariant stored = edit->property(kCtl3DProperty);
    if (stored.isValid())
        return stored.toBool();
    if (auto* line = qobject_cast<const QLineEdit*>(edit))
        return line->hasFrame();
    if (auto* frame = qobject_cast<const QFrame*>(edit))
        return !isFramed(frame) || hasThreeDFrame(frame);
    return true;
}

void setCtl3D(QWidget* edit, bool on)
{
    if (!edit->property(kBorderStyleProperty).isValid())
        edit->setProperty(kBorderStyleProperty, int(borderStyle(edit)));
    edit->setProperty(kCtl3DProperty, on);
    showBorder(edit);
}

TControlSubClass::TBorderStyle borderStyle(const QWidget* edit)
{
    const QVariant stored = edit->property(kBorderStyleProperty);
    if (stored.isValid())
        return TControlSubClass::TBorderStyle(stored.toInt());
    bool framed = true;
    if (auto* line = qobject_cast<const QLineEdit*>(edit))
        framed = line->hasFrame();
    else if (auto* frame = qobject_cast<const QFrame*>(edit))
        framed = isFramed(frame);
    return framed ? TControlSubClass::TBorderStyle::bsSingle : TControlSubClass::TBorderStyle::bsNone;
}

void setBorderStyle(QWidget* edit, TControlSubClass::TBorderStyle style)
{
    if (!edit->property(kCtl3DProperty).isValid())
        edit->setProperty(kCtl3DProperty, ctl3D(edit));
    edit->setProperty(kBorderStyleProperty, int(style));
    showBorder(edit);
}

} // namespace XP
