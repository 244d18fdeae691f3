#pragma once

class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;
class TControlSubClass;
class TXPLook;

// What the look's walk installs on menus, tool bars and control bars, and the control painters
// the hook records run. The hooks decide how those widgets paint while installed; the painters
// draw over a control inside its paint event, after the control drew itself.
namespace XP {

void hookMainMenu(TXPLook& look, QMenuBar* menu, bool activate);
void hookPopupMenu(TXPLook& look, QMenu* menu, bool activate);
void hookToolBar(TXPLook& look, QToolBar* bar, bool activate);
void hookControlBar(TXPLook& look, QWidget* bar, bool activate);

void PaintEdit(TControlSubClass& record);
void PaintRichEdit(TControlSubClass& record);
void PaintComboBox(TControlSubClass& record);
// The combo box's text box paints over the combo box: the frame it covers is drawn again on it.
void PaintComboBoxOverTextBox(TControlSubClass& record);
void PaintCheckBox(TControlSubClass& record);
void PaintRadioButton(TControlSubClass& record);
void PaintBitButton(TControlSubClass& record);
void PaintButton(TControlSubClass& record);
void PaintSpeedButton(TControlSubClass& record);
void PaintPanel(TControlSubClass& record);
void PaintGroupBox(TControlSubClass& record);

} // namespace XP
