// Placeholders until the painters land: every hook and painter leaves the widget as Qt draws it.

#include "painthooks.h"

namespace XP {

void hookMainMenu(TXPLook&, QMenuBar*, bool) { }
void hookPopupMenu(TXPLook&, QMenu*, bool) { }

} // namespace XP
