#pragma once

class TControlSubClass;

// The control painters a hook record runs: each draws over its control inside the control's
// paint event, after the control drew itself.
namespace XP {
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
