#pragma once

#include <QtGlobal>

class QObject;
class QWidget;

// The component and parent kinds the look tells apart, and which Qt class stands for which kind.
//
// Controls (the kinds a hook record can be attached to):
//   combo box            QComboBox and descendants (TDBComboBox)
//   labelled edit        no Qt counterpart: widgets whose class is named TCustomLabeledEdit
//   edit                 QLineEdit and descendants, except the mask edits below
//   mask edit            exact class name "TMaskEdit" or "TDBEdit" (the data-aware edit)
//   memo                 QPlainTextEdit and QTextEdit and their descendants (TDBMemo)
//   rich edit            QTextEdit and descendants
//   check box            QCheckBox
//   radio button         QRadioButton
//   bit button           exact class name "TBitBtn" (a push button with a glyph and a kind)
//   button               exact class name "QPushButton"
//   up-down              exact class name "TUpDown" (no Qt counterpart; hooked, never painted)
//   speed button         QToolButton that is not a tool bar's own button
//   panel                TPanel
//   group box            QGroupBox
//
// Containers (tested on a control's parent):
//   tool bar             QToolBar
//   cool bar             widgets whose class is named TCoolBar
//   panel                TPanel
//   control bar          widgets whose class is named TControlBar
//   scroll box           QScrollArea
//   group box            QGroupBox
//   tab sheet            a page of a QTabWidget
//   frame                TFrame
//   form                 a top-level window other than a menu
//
// A Qt window nests its controls in helpers that the described windows do not have: the central
// widget of a QMainWindow and QSplitter, whose children are laid out side by side. A control's
// parent, for the look, is its nearest ancestor that is not such a helper.
namespace XP {

// Bits of TXPControls, in the published order.
enum TXPControl : quint32 {
    xcMainMenu = 1u << 0,
    xcPopupMenu = 1u << 1,
    xcToolbar = 1u << 2,
    xcControlbar = 1u << 3,
    xcCombo = 1u << 4,
    xcEdit = 1u << 5,
    xcMaskEdit = 1u << 6,
    xcMemo = 1u << 7,
    xcRichEdit = 1u << 8,
    xcCheckBox = 1u << 9,
    xcRadioButton = 1u << 10,
    xcButton = 1u << 11,
    xcBitBtn = 1u << 12,
    xcSpeedButton = 1u << 13,
    xcPanel = 1u << 14,
    xcGroupBox = 1u << 15,
};
using TXPControls = quint32;
constexpr TXPControls kAllXPControls = (1u << 16) - 1;

// Bits of TXPContainers, in the published order.
enum TXPContainer : quint32 {
    xccForm = 1u << 0,
    xccFrame = 1u << 1,
    xccToolbar = 1u << 2,
    xccCoolbar = 1u << 3,
    xccControlbar = 1u << 4,
    xccPanel = 1u << 5,
    xccScrollBox = 1u << 6,
    xccGroupBox = 1u << 7,
    xccTabSheet = 1u << 8,
    xccPageScroller = 1u << 9,
};
using TXPContainers = quint32;
constexpr TXPContainers kAllXPContainers = (1u << 10) - 1;

// The control kinds the object matches (several rows can match, e.g. a rich edit is a memo too).
TXPControls controlKinds(const QObject* object);
// The container kinds the widget matches as a parent.
TXPContainers containerKinds(const QWidget* widget);
// The control's parent as the look sees it, skipping layout helpers; nullptr for a window.
QWidget* lookParent(const QWidget* control);

bool isForm(const QObject* object);
bool isFrame(const QObject* object);
// The kinds painted by the painters; tests of the dispatcher use the same.
bool isEditControl(const QObject* object); // edits and memos, data-aware ones included
bool isRichEdit(const QObject* object);
bool isPushButton(const QObject* object); // bit buttons included
bool isSpeedButton(const QObject* object);
// Controls that have no window of their own and get their painting through their parent.
bool isGraphicControl(const QObject* object);
// True when the object's class, or one of its base classes, carries the name.
bool inheritsClassName(const QObject* object, const char* className);
bool hasExactClassName(const QObject* object, const char* className);

} // namespace XP
