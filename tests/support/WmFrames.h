#pragma once

// Where the window manager put a window's frame, read from the X server
// (not from the toolkit, whose idea of the frame is what is under test), and
// the ways a user closes a window through the window manager.

#include "tests/support/Desktop.h"

#include <QElapsedTimer>
#include <QMargins>
#include <QRect>
#include <QRegularExpression>
#include <QWidget>

#include <functional>
#include <optional>

namespace qelt::test::desktop {

// The _NET_FRAME_EXTENTS the window manager set on w's window (how far its
// frame reaches beyond the window on each side), or nothing while it has
// not framed the window.
inline std::optional<QMargins> WmExtents(const QWidget *w)
{
    const QString extents = Run(QStringLiteral("xprop"), {QStringLiteral("-id"), Id(w),
                                                          QStringLiteral("_NET_FRAME_EXTENTS")});
    static const QRegularExpression numbers(
        QStringLiteral("=\\s*(\\d+),\\s*(\\d+),\\s*(\\d+),\\s*(\\d+)"));
    const QRegularExpressionMatch m = numbers.match(extents);
    if (!m.hasMatch())
        return std::nullopt;
    // The property lists left, right, top, bottom.
    return QMargins(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(2).toInt(),
                    m.captured(4).toInt());
}

// The frame rectangle of w's window on the screen: the window's own place
// on the root window widened by its frame extents; a null rectangle while
// the window manager has not framed it.
inline QRect WmFrame(const QWidget *w)
{
    const std::optional<QMargins> extents = WmExtents(w);
    if (!extents)
        return {};
    QRect inner;
    const QString info = Run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), Id(w)});
    for (const QString &line : info.split(QLatin1Char('\n'))) {
        const QString l = line.trimmed();
        const int v = l.section(QLatin1Char(':'), 1).trimmed().toInt();
        if (l.startsWith(QLatin1String("Absolute upper-left X:")))
            inner.moveLeft(v);
        else if (l.startsWith(QLatin1String("Absolute upper-left Y:")))
            inner.moveTop(v);
        else if (l.startsWith(QLatin1String("Width:")))
            inner.setWidth(v);
        else if (l.startsWith(QLatin1String("Height:")))
            inner.setHeight(v);
    }
    return inner.marginsAdded(*extents);
}

// Waits up to timeoutMs until check holds, letting events run.
inline bool WaitFor(const std::function<bool()> &check, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!check()) {
        if (waited.elapsed() > timeoutMs)
            return false;
        Settle(50);
    }
    return true;
}

// The frame of w once the window manager shows it framed and has stopped
// moving it; a null rectangle when that does not happen within timeoutMs
// (a first window may take many seconds to come up on a loaded machine).
inline QRect SettledWmFrame(const QWidget *w, int timeoutMs = 30000)
{
    QRect last;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs) {
        const QRect now = OnScreen(w) ? WmFrame(w) : QRect();
        if (!now.isNull() && now == last)
            return now;
        last = now;
        Settle(200);
    }
    return {};
}

// Closes w's window as a user does through the window manager: Alt+F4 on
// the active window, or a click on the frame's close box.
inline void CloseThroughWm(const QWidget *w, bool closeBox)
{
    if (closeBox) {
        // openbox puts the close box at the right end of the title bar.
        const QRect frame = WmFrame(w);
        const int title = WmExtents(w).value_or(QMargins()).top();
        Click(QPoint(frame.right() - title / 2, frame.top() + title / 2));
    } else {
        Activate(w);
        Key(QStringLiteral("alt+F4"));
    }
}

} // namespace qelt::test::desktop
