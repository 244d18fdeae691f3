#include "xpkinds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include <cstring>

namespace XP {

bool inheritsClassName(const QObject* object, const char* className)
{
    for (const QMetaObject* meta = object ? object->metaObject() : nullptr; meta; meta = meta->superClass()) {
        if (std::strcmp(meta->className(), className) == 0)
            return true;
    }
    return false;
}

bool hasExactClassName(const QObject* object, const char* className)
{
    return object && std::strcmp(object->metaObject()->className(), className) == 0;
}

namespace {
bool isMaskEdit(const QObject* object)
{
    return hasExactClassName(object, "TMaskEdit") || hasExactClassName(object, "TDBEdit");
}

// The described windows know neither of these: their children belong to the helper's parent.
bool isLayoutHelper(const QWidget* widget)
{
    if (qobject_cast<const QSplitter*>(widget))
        return true;
    // A scroll box's controls sit on the scrolled widget inside the viewport.
    if (auto* area = qobject_cast<const QScrollArea*>(widget->parentWidget());
        area && area->viewport() == widget)
        return true;
    if (auto* area = qobject_cast<const QScrollArea*>(
            widget->parentWidget() ? widget->parentWidget()->parentWidget() : nullptr);
        area && area->widget() == widget)
        return true;
    auto* mainWindow = qobject_cast<const QMainWindow*>(widget->parentWidget());
    return mainWindow && mainWindow->centralWidget() == widget;
}

bool isTabSheet(const QWidget* widget)
{
    auto* stack = qobject_cast<const QStackedWidget*>(widget->parentWidget());
    return stack && qobject_cast<const QTabWidget*>(stack->parentWidget());
}
} // namespace

bool isForm(const QObject* object)
{
    auto* widget = qobject_cast<const QWidget*>(object);
    if (!widget || !widget->isWindow())
        return false;
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog;
}

bool isFrame(const QObject* object)
{
    return inheritsClassName(object, "TFrame");
}

bool isEditControl(const QObject* object)
{
    return qobject_cast<const QLineEdit*>(object) || qobject_cast<const QPlainTextEdit*>(object)
        || qobject_cast<const QTextEdit*>(object);
}

bool isRichEdit(const QObject* object)
{
    return qobject_cast<const QTextEdit*>(object);
}

bool isPushButton(const QObject* object)
{
    return qobject_cast<const QPushButton*>(object);
}

bool isSpeedButton(const QObject* object)
{
    auto* button = qobject_cast<const QToolButton*>(object);
    return button && !qobject_cast<const QToolBar*>(button->parentWidget());
}

bool isGraphicControl(const QObject* object)
{
    return isSpeedButton(object);
}

TXPControls controlKinds(const QObject* object)
{
    TXPControls kinds = 0;
    if (qobject_cast<const QComboBox*>(object))
        kinds |= xcCombo;
    if (inheritsClassName(object, "TCustomLabeledEdit"))
        kinds |= xcEdit;
    if (qobject_cast<const QLineEdit*>(object) && !isMaskEdit(object))
        kinds |= xcEdit;
    if (isMaskEdit(object))
        kinds |= xcMaskEdit;
    if (qobject_cast<const QPlainTextEdit*>(object) || qobject_cast<const QTextEdit*>(object))
        kinds |= xcMemo;
    if (qobject_cast<const QTextEdit*>(object))
        kinds |= xcRichEdit;
    if (qobject_cast<const QCheckBox*>(object))
        kinds |= xcCheckBox;
    if (qobject_cast<const QRadioButton*>(object))
        kinds |= xcRadioButton;
    if (hasExactClassName(object, "TBitBtn"))
        kinds |= xcBitBtn;
    if (hasExactClassName(object, "QPushButton") || hasExactClassName(object, "TUpDown"))
        kinds |= xcButton;
    if (isSpeedButton(object))
        kinds |= xcSpeedButton;
    if (inheritsClassName(object, "TPanel"))
        kinds |= xcPanel;
    if (qobject_cast<const QGroupBox*>(object))
        kinds |= xcGroupBox;
    return kinds;
}

TXPContainers containerKinds(const QWidget* widget)
{
    TXPContainers kinds = 0;
    if (!widget)
        return kinds;
    if (qobject_cast<const QToolBar*>(widget))
        kinds |= xccToolbar;
    if (inheritsClassName(widget, "TCoolBar"))
        kinds |= xccCoolbar;
    if (inheritsClassName(widget, "TPanel"))
        kinds |= xccPanel;
    if (inheritsClassName(widget, "TControlBar"))
        kinds |= xccControlbar;
    if (qobject_cast<const QScrollArea*>(widget))
        kinds |= xccScrollBox;
    if (qobject_cast<const QGroupBox*>(widget))
        kinds |= xccGroupBox;
    if (isTabSheet(widget) || hasExactClassName(widget, "TdxTabSheet"))
        kinds |= xccTabSheet;
    if (inheritsClassName(widget, "TPageScroller"))
        kinds |= xccPageScroller;
    if (isFrame(widget) || hasExactClassName(widget, "TDBCtrlPanel"))
        kinds |= xccFrame;
    if (isForm(widget))
        kinds |= xccForm;
    return kinds;
}

QWidget* lookParent(const QWidget* control)
{
    if (!control || control->isWindow())
        return nullptr;
    QWidget* parent = control->parentWidget();
    while (parent && !parent->isWindow() && isLayoutHelper(parent))
        parent = parent->parentWidget();
    return parent;
}

} // namespace XP
