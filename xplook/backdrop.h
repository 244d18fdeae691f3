#pragma once

#include <QImage>

class QWidget;
class XPCanvas;

namespace XP {
// What shows where a widget stands when the widget itself is not drawn: the siblings beneath it
// (a header picture, say) over its parent's background. A null image when no sibling lies under
// it: then the parent's colour is all that is behind it.
QImage backdropOf(const QWidget* widget);
// Puts the backdrop back where a painter cleared the ring to the parent's colour (`cleared`):
// on the outermost pixel all round and `topRows` rows at the top, those pixels that still hold
// that colour.
void showBackdropInRing(XPCanvas& canvas, const QImage& backdrop, int topRows, const QColor& cleared);
} // namespace XP
