#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QWidget;

namespace qelt {

// The program's one icon in the desktop's notification area. Where the
// desktop has none, TrayAdd minimises the window instead of hiding it, so
// that it can still be reached from the task bar.

// Mouse message numbers the icon reports (those of a window's mouse events).
inline constexpr int kTrayLeftDown = 513;
inline constexpr int kTrayLeftUp = 514;
inline constexpr int kTrayLeftDouble = 515;
inline constexpr int kTrayRightDown = 516;
inline constexpr int kTrayRightUp = 517;
inline constexpr int kTrayRightDouble = 518;

// Adds the icon with its tip and hides window (plays the zoom sound when the
// main window is visible, sounds are on and MinOnStart is set).
void TrayAdd(const QIcon &icon, const QString &tip, QWidget *window);
// Replaces icon and tip of the icon already shown; nothing else changes.
void TrayModify(const QIcon &icon, const QString &tip, QWidget *window);
// Removes the icon (zoom sound when sounds are on and either the main window
// is hidden or the favourites view is off).
void TrayDelete();
// 1 for a left press or double click, 2 for any right-button message (the
// press plays the click sound when sounds are on), 0 otherwise.
int TrayMsg(int message);

// Whether the desktop offers a tray. Callers that hide a window into the
// tray themselves use TrayHideWindow, which minimises it where there is none.
bool TrayAvailable();
void TrayHideWindow(QWidget *window);

// True while the icon is in the tray (or, without a tray, while TrayAdd's
// minimised stand-in is in force).
bool TrayShown();
QString TrayTip();
// The window last passed to TrayAdd/TrayModify.
QWidget *TrayWindow();

// Clicks on the icon arrive as mouseMessage(number): a left click as
// kTrayLeftDown, a double click as kTrayLeftDouble, a right click (context
// request) as kTrayRightDown. Connect it to the window's handler, which
// passes the number to TrayMsg. Without a tray, restoring the minimised
// window from the task bar counts as a left click on the icon, so that the
// window comes back the same way.
class TrayEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
signals:
    void mouseMessage(int message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
TrayEvents &TrayEventSource();

} // namespace qelt
