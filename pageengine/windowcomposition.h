#pragma once

class QWidget;

// The engine's view draws its frames as textures that the window it is in composes through
// OpenGL. Qt sets a window up for that only when a view of this kind is first put into it, by
// making the window's native window again as one meant for OpenGL: the window goes blank for a
// moment, and the window manager shows it as a new window, neither maximized nor in its place.
// Setting the window up beforehand, on the native window it has, spares it that.
namespace WindowComposition {
// Before the engine's first view is put into the window. A window whose native window is not made
// yet is left to Qt, which makes it of the right kind at once; so is one whose native window OpenGL
// cannot draw into.
void prepare(QWidget* window);
} // namespace WindowComposition
