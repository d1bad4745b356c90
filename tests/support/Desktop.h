#pragma once

// A test's hands and eyes on a real desktop (see under_window_manager.sh):
// mouse and keys go through the X server as a user's would, so the window
// manager and the toolkit's modality see them; window states are read back
// as the window manager reports them.

#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace qelt::test::desktop {

// Runs a desktop tool to its end and returns what it printed; the
// application's events keep running meanwhile.
inline QString Run(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForStarted())
        qFatal("cannot start %s", qPrintable(program));
    QElapsedTimer waited;
    waited.start();
    while (tool.state() != QProcess::NotRunning && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        tool.waitForFinished(5);
    }
    if (tool.state() != QProcess::NotRunning)
        qFatal("%s did not end", qPrintable(program));
    QCoreApplication::processEvents();
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

inline QString Id(const QWidget *w)
{
    return QString::number(w->window()->winId());
}

// Lets the toolkit take in what the X server sent after an action.
inline void Settle(int ms = 100)
{
    QTest::qWait(ms);
}

// xdotool's arguments that move the mouse to a point of the screen and wait
// until it is there. A move to where the mouse already is would wait for
// ever (no motion comes), so then there is none.
inline QStringList MoveTo(QPoint global)
{
    if (QCursor::pos() == global)
        return {};
    return {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(global.x()),
            QString::number(global.y())};
}

// A click of the mouse button (1 left, 3 right) at a point of the screen.
inline void Click(QPoint global, int button = 1)
{
    Run(QStringLiteral("xdotool"),
        MoveTo(global) + QStringList{QStringLiteral("click"), QString::number(button)});
    Settle();
}

// A click on a widget, in its middle unless a point of its own is given.
inline void Click(const QWidget *w, int button = 1, QPoint local = {-1, -1})
{
    if (local == QPoint(-1, -1))
        local = w->rect().center();
    Click(w->mapToGlobal(local), button);
}

inline void DoubleClick(const QWidget *w, QPoint local = {-1, -1})
{
    if (local == QPoint(-1, -1))
        local = w->rect().center();
    const QPoint at = w->mapToGlobal(local);
    Run(QStringLiteral("xdotool"),
        MoveTo(at) + QStringList{QStringLiteral("click"), QStringLiteral("--repeat"),
                                 QStringLiteral("2"), QStringLiteral("--delay"),
                                 QStringLiteral("80"), QStringLiteral("1")});
    Settle();
}

// Keys by their X names ("Return", "Escape", "Tab", "a", "ctrl+s"), to the
// window that has the keyboard.
inline void Key(const QString &keys)
{
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
    Settle();
}

inline void Type(const QString &text)
{
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
    Settle();
}

// The close button of the window manager's frame around w (openbox puts it
// at the right end of the title bar).
inline void ClickCloseBox(const QWidget *w)
{
    const QWidget *top = w->window();
    const QRect frame = top->frameGeometry();
    const int titleHeight = top->geometry().top() - frame.top();
    Click(QPoint(frame.right() - titleHeight / 2, frame.top() + titleHeight / 2));
}

// Asks the window manager to make w's window the active one, as a click on
// its task bar entry does: a minimised window comes back.
inline void Activate(const QWidget *w)
{
    Run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), Id(w)});
    Settle();
}

// Asks the window manager to minimise w's window, as its title bar's button
// does.
inline void Minimise(const QWidget *w)
{
    Run(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), Id(w)});
    Settle();
}

// Where the tray (trayer's panel, which holds the icons) is on the screen.
inline QRect TrayArea()
{
    const QString id =
        Run(QStringLiteral("xdotool"),
            {QStringLiteral("search"), QStringLiteral("--classname"), QStringLiteral("^panel$")})
            .section(QLatin1Char('\n'), 0, 0)
            .trimmed();
    if (id.isEmpty())
        return {};
    QRect area;
    const QString shell = Run(QStringLiteral("xdotool"),
                              {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id});
    for (const QString &line : shell.split(QLatin1Char('\n'))) {
        const int v = line.section(QLatin1Char('='), 1).toInt();
        if (line.startsWith(QLatin1String("X=")))
            area.moveLeft(v);
        else if (line.startsWith(QLatin1String("Y=")))
            area.moveTop(v);
        else if (line.startsWith(QLatin1String("WIDTH=")))
            area.setWidth(v);
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            area.setHeight(v);
    }
    return area;
}

// WM_STATE as the window manager set it: "Normal", "Iconic", "Withdrawn", or
// "" for a window it never managed.
inline QString WmState(const QWidget *w)
{
    const QString out =
        Run(QStringLiteral("xprop"), {QStringLiteral("-id"), Id(w), QStringLiteral("WM_STATE")});
    const int at = out.indexOf(QLatin1String("window state: "));
    return at < 0 ? QString() : out.mid(at + 14).section(QLatin1Char('\n'), 0, 0).trimmed();
}

// The _NET_WM_STATE atoms the window manager set (e.g. "_NET_WM_STATE_HIDDEN").
inline QStringList NetWmState(const QWidget *w)
{
    const QString out = Run(QStringLiteral("xprop"),
                            {QStringLiteral("-id"), Id(w), QStringLiteral("_NET_WM_STATE")});
    const int at = out.indexOf(QLatin1Char('='));
    if (at < 0)
        return {};
    QStringList atoms;
    for (const QString &a : out.mid(at + 1).split(QLatin1Char(',')))
        if (!a.trimmed().isEmpty())
            atoms << a.trimmed();
    return atoms;
}

// Whether the window manager calls w's window the active one.
inline bool IsActive(const QWidget *w)
{
    const QString out = Run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")});
    return out.trimmed() == Id(w);
}

// Whether the window is on the screen for the user: mapped, not iconic.
inline bool OnScreen(const QWidget *w)
{
    return WmState(w) == QLatin1String("Normal") &&
           !NetWmState(w).contains(QLatin1String("_NET_WM_STATE_HIDDEN"));
}

} // namespace qelt::test::desktop
