#pragma once

// Where the window manager put a window's frame, read from the X server
// (not from the toolkit, whose idea of the frame is what is under test), and
// the ways a user closes a window through the window manager.

#include "logic/Settings.h"
#include "tests/support/Desktop.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QList>
#include <QMargins>
#include <QRect>
#include <QRegularExpression>
#include <QScreen>
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

// The frame of w once the window manager shows it framed and has stopped
// moving it; a null rectangle when that does not happen within timeoutMs
// (a first window may take many seconds to come up on a loaded machine).
inline QRect SettledWmFrame(const QWidget *w, int timeoutMs = kFirstWindowMs)
{
    QRect last;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs) {
        const QRect now = OnScreen(w) ? WmFrame(w) : QRect();
        if (!now.isNull() && now == last)
            return now;
        last = now;
        Settle(kSettleMs);
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
        // The keys go to the active window: wait until it is w.
        (void)QTest::qWaitFor(
            [&] {
                Activate(w);
                return IsActive(w);
            },
            kStepMs);
        Key(QStringLiteral("alt+F4"));
    }
}

// One start of the program's life of a window that stores its place: made
// from the stored settings, shown as the program shows it, and unloaded as
// the program's exit unloads it (after it was closed, which may only have
// hidden it).
struct StartedWindow {
    std::function<QWidget *()> open;
    std::function<void()> unload;
    std::function<void()> drop;
};

// A way a user closes a window.
using Close = std::function<void(QWidget *)>;

inline void AltF4(QWidget *w)
{
    CloseThroughWm(w, false);
}

inline void CloseBox(QWidget *w)
{
    CloseThroughWm(w, true);
}

// Starts the window that start makes five times; between the starts it is
// closed in each of the ways in closes in turn, and unloaded. Every time its
// frame must be at expected (within 2 pixels), title bar on the screen.
// leftKey and topKey name the stored place, shown when it is not.
inline void ComesBackInPlace(const std::function<StartedWindow()> &start,
                             const QList<Close> &closes, QPoint expected, const QString &leftKey,
                             const QString &topKey)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (int n = 1; n <= 5; ++n) {
        StartedWindow window = start();
        QWidget *w = window.open();
        const QRect frame = SettledWmFrame(w);
        QVERIFY2(!frame.isNull(), "the window did not come up");
        const QString where = QStringLiteral("start %1: frame at %2,%3, stored %4,%5")
                                  .arg(n)
                                  .arg(frame.x())
                                  .arg(frame.y())
                                  .arg(GetSet(QStringLiteral("Settings"), leftKey))
                                  .arg(GetSet(QStringLiteral("Settings"), topKey));
        QVERIFY2((frame.topLeft() - expected).manhattanLength() <= 2, qPrintable(where));
        QVERIFY2(frame.top() >= area.top(), qPrintable(where));
        // A key or click may be lost on a loaded desktop: tried again.
        bool closed = false;
        for (int attempt = 0; attempt < 3 && !closed; ++attempt) {
            closes[(n - 1) % closes.size()](w);
            closed = QTest::qWaitFor([&] { return !w->isVisible(); }, kStepMs);
        }
        QVERIFY2(closed, qPrintable(where));
        // Let the window manager's unmapping reach the hidden window.
        Settle(kSettleMs);
        window.unload();
        window.drop();
    }
}

} // namespace qelt::test::desktop
