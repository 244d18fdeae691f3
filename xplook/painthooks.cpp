// Placeholders until the painters land: every hook and painter leaves the widget as Qt draws it.

#include "painthooks.h"

namespace XP {

void hookMainMenu(TXPLook&, QMenuBar*, bool) { }
void hookPopupMenu(TXPLook&, QMenu*, bool) { }
void hookToolBar(TXPLook&, QToolBar*, bool) { }
void hookControlBar(TXPLook&, QWidget*, bool) { }

void PaintEdit(TControlSubClass&) { }
void PaintRichEdit(TControlSubClass&) { }
void PaintComboBox(TControlSubClass&) { }
void PaintCheckBox(TControlSubClass&) { }
void PaintRadioButton(TControlSubClass&) { }
void PaintBitButton(TControlSubClass&) { }
void PaintButton(TControlSubClass&) { }
void PaintSpeedButton(TControlSubClass&) { }
void PaintPanel(TControlSubClass&) { }
void PaintGroupBox(TControlSubClass&) { }

} // namespace XP
