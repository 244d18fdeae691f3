#pragma once

class QWidget;

// The window a box, prompt or dialog is shown for: the modal box already up, else the active
// window, else the window that holds the keyboard focus, else the program's main window (shown
// or not). A splash never owns a box. A box
// parented to it stays above it and centred over it under a window manager; a box with no owner
// may open behind a maximised window and leave the program looking frozen.
QWidget* ownerWindow();
// The window that owns boxes when no other window of the program is active (for instance while
// another program has the focus, or before the main window is shown).
void setMainOwnerWindow(QWidget* window);
