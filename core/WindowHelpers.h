#pragma once

class QWidget;

// Helpers for windows without a title bar and for the z-order.
namespace qelt
{

// Lets the user drag the window of w with the mouse button that is down
// (called from mouse-press handlers of a window's background and labels).
// Uses the window system's own move where it offers one, else follows the
// mouse until the button is released.
void FormDrag(QWidget *w);

// Selects the whole text of the focused field (line edit, text edit, spin
// box, editable combo box); does nothing for other widgets.
void SelectAll();

// Puts the window above all others, or back among them, keeping its
// position, size and visibility.
void PutOnTop(QWidget *w);
void NotOnTop(QWidget *w);

} // namespace qelt
