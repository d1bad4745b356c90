#pragma once

#include "core/EventControls.h"

#include <QFont>
#include <QList>
#include <QPoint>
#include <QRect>

#include <functional>

class QWidget;

// Helpers for windows without a title bar, for the z-order and for stored
// window positions.
namespace qelt {

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

// Brings a window back from the tray or the task bar: on the screen in its
// normal state, in front and active, whatever minimised, restored or hid it
// before.
void ShowRestored(QWidget *w);

// Captions wider than their control (translated texts are often longer than
// the English ones a layout was made for) get a smaller font, down to a still
// readable size, instead of being cut off; captions that fit keep the
// window's font. Covers the push buttons, check boxes, radio buttons and
// text labels inside window that were given a size; style-sheet sized and
// wrapped texts are left alone. Run it after the captions are set.
void FitCaptions(QWidget *window);

// The font w had before its text was first fitted, so that a text that fits
// again gets that font back.
QFont OwnFont(QWidget *w);

// font, made smaller in half points (not below smallest) until fits says
// the text fits. fits is last called with the font returned.
QFont ShrinkFontToFit(QFont font, qreal smallest, const std::function<bool(const QFont &)> &fits);

// text with a break opportunity (a zero-width space) inside every run of
// more than 24 characters without a blank: after each slash and backslash,
// and after each character of a part between them that is that long too.
// A word-wrapped label then wraps a long folder or file name at its edge,
// instead of cutting it off or widening its window; short parts of a path
// (a file name) stay whole on their line.
QString BreakableText(const QString &text);

// Window positions and sizes are stored in twips.
inline constexpr int kTwipsPerPixel = 15;

// The pixel position of a window whose top-left corner is stored at
// (leftTw, topTw) twips, pulled back where it would sit off a screen the
// size of screenPx: too high goes to 85, too low to 2500 above the bottom,
// too far right to 2000 left of the right edge, left of the screen to 0.
QPoint KeepOnScreenTwips(double leftTw, double topTw, const QRect &screenPx);

// Where a window whose frame is frameSize pixels and whose top-left corner
// is stored at (leftTw, topTw) twips goes, as a frame rectangle in pixels.
// screens are the usable areas of the screens in the desktop's pixel
// coordinates, the primary one first. The window belongs to the screen it
// overlaps most (the nearest one when it overlaps none; the earlier one on a
// tie). There the rules of KeepOnScreenTwips apply from that screen's
// corner, and then the whole window is kept on that screen: moved in where
// it sticks out, and made as large as the screen where it is larger. A
// window that lies on a screen keeps its stored place (a top less than 50
// twips below the screen's top edge still goes to 85). No screens: the
// stored place.
QRect PlaceOnScreens(double leftTw, double topTw, const QSize &frameSize,
                     const QList<QRect> &screens);

// Moves w (its size already set) to its stored twips position, kept wholly
// on the screen it belongs to as PlaceOnScreens keeps it, and makes it
// smaller where it is larger than that screen.
void MoveOnScreenTwips(QWidget *w, double leftTw, double topTw);

// The pixel a stored twips coordinate puts a window at (whole pixels, cut
// toward zero as the positioning above does).
int PixelOfTwips(double twips);

// The twips value to store for a window coordinate now at pixel. Twips are
// finer than pixels, so a value the window was placed from that still names
// this pixel is kept as it was: a position read and written back unchanged
// stays the same number instead of drifting to a multiple of 15 (100 would
// become 90).
double TwipsToStore(int pixel, double placedFromTwips);

// Stores a window coordinate or size of pixels under "Settings"/key in
// twips, through TwipsToStore against the value the window was placed from:
// the number stored there, or defaultTwips where none is (as
// ReadTwipsSetting reads it). A window that was not moved thus stores its
// default, not the pixel it was put at.
void SaveTwipsSetting(const QString &key, int pixels, double defaultTwips);

// The twips stored under "Settings"/key, or defaultTwips where nothing or no
// number is stored there.
double ReadTwipsSetting(const QString &key, double defaultTwips);

// A one-line text (a status, a message, a file name or a folder) that never
// changes the size of its window: its size hints ignore the text's width,
// and a text wider than the label is cut as an eliding EventLabel cuts it,
// at the end or (for names and paths) in the middle, whole in the tool tip.
// Line breaks show as blanks.
class StatusLabel : public EventLabel {
public:
    explicit StatusLabel(QWidget *parent = nullptr, Qt::TextElideMode mode = Qt::ElideRight);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    QString captionLine() const override;
};

} // namespace qelt
