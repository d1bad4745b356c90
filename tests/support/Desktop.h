#pragma once

// A test's hands and eyes on a real desktop (see under_window_manager.sh):
// mouse and keys go through the X server as a user's would, so the window
// manager and the toolkit's modality see them; window states are read back
// as the window manager reports them.

#include "tests/support/Bounds.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <memory>
#include <source_location>
#include <vector>

namespace qelt::test::desktop {

// The shared bounds (tests/support/Bounds.h) under the names desktop tests
// use.
using test::kFirstWindowMs;
using test::kPollMs;
using test::kStepMs;

// Runs a desktop tool to its end and returns what it printed; the
// application's events keep running meanwhile.
inline QString Run(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForStarted(kChildMs))
        qFatal("cannot start %s", qPrintable(program));
    QElapsedTimer waited;
    waited.start();
    while (tool.state() != QProcess::NotRunning && waited.elapsed() < kChildMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, kPollMs);
        tool.waitForFinished(kPollMs);
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
inline void Settle(int ms = kSettleMs)
{
    QTest::qWait(ms);
}

// xdotool's arguments that put the pointer on a point of the screen and wait
// until it is there. A synchronous move waits for the pointer to leave where
// it was, so it first steps beside the point: a move onto the point the
// pointer already rests on would wait for ever.
inline QStringList MoveTo(QPoint global)
{
    return {QStringLiteral("mousemove"), QString::number(global.x() + 1),
            QString::number(global.y()), QStringLiteral("mousemove"),
            QStringLiteral("--sync"),    QString::number(global.x()),
            QString::number(global.y())};
}

// A click of the mouse button (1 left, 3 right) at a point of the screen.
inline void Click(QPoint global, int button = 1)
{
    Run(QStringLiteral("xdotool"), MoveTo(global)
                                       << QStringLiteral("click") << QString::number(button));
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
        MoveTo(at) << QStringLiteral("click") << QStringLiteral("--repeat") << QStringLiteral("2")
                   << QStringLiteral("--delay") << QStringLiteral("80") << QStringLiteral("1"));
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

// Waits until w's window is exposed and the window manager has it on the
// screen (mapped, not iconic or hidden).
[[nodiscard]] inline bool WaitOnScreen(const QWidget *w, int timeoutMs = kFirstWindowMs)
{
    return QTest::qWaitFor(
        [w] {
            const QWindow *window = w->window()->windowHandle();
            return window && window->isExposed() && OnScreen(w);
        },
        timeoutMs);
}

// Shows w's window and waits until it is on the screen and active, for the
// window manager and for the toolkit, so that keys reach it. The window
// manager is asked to activate it again each second meanwhile: a request it
// gets before it manages the window comes to nothing.
[[nodiscard]] inline bool ShowActive(QWidget *w, int timeoutMs = kFirstWindowMs)
{
    constexpr int kAskAgainMs = 1000;
    w->window()->show();
    QElapsedTimer waited;
    waited.start();
    QElapsedTimer asked;
    for (;;) {
        if (!asked.isValid() || asked.elapsed() >= kAskAgainMs) {
            asked.start();
            Run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), Id(w)});
        }
        const QWindow *window = w->window()->windowHandle();
        if (window && window->isExposed() && OnScreen(w) && IsActive(w) && w->isActiveWindow())
            return true;
        if (waited.elapsed() > timeoutMs)
            return false;
        QTest::qWait(kPollMs);
    }
}

// A user's steps, run from timers so that they go on inside whatever wait a
// step starts (a modal window's loop): the helpers above would not return
// before that wait ends. Each step waits until its check holds and the mouse
// or keys of the step before were taken in, then acts; its mouse and keys
// return at once. A step that is not ready within a step's bound of the one
// before, or a run that does not get back as long after the last step from
// the waits its steps started, is rescued: the rescue ends those waits, so
// that the test fails instead of hanging, and the log names the step (by
// its line in the test) that was waited for.
class Script : public QObject {
public:
    using Check = std::function<bool()>;
    using Act = std::function<void()>;

    Script &then(Check ready, Act act, std::source_location at = std::source_location::current())
    {
        m_steps.push_back({std::move(ready), std::move(act), at});
        return *this;
    }
    Script &then(Act act, std::source_location at = std::source_location::current())
    {
        return then({}, std::move(act), at);
    }

    void click(QPoint global, int button = 1)
    {
        xdotool(MoveTo(global) << QStringLiteral("click") << QString::number(button));
    }
    void click(const QWidget *w) { click(w->mapToGlobal(w->rect().center())); }
    void clickCloseBox(const QWidget *w)
    {
        const QWidget *top = w->window();
        const QRect frame = top->frameGeometry();
        const int titleHeight = top->geometry().top() - frame.top();
        click(QPoint(frame.right() - titleHeight / 2, frame.top() + titleHeight / 2));
    }
    void key(const QString &keys)
    {
        xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
    }

    // Runs the steps; false (with the rescue run) when one did not come in
    // time.
    bool run(std::function<void()> rescue)
    {
        m_rescue = std::move(rescue);
        m_sinceStep.start();
        schedule();
        while (m_next < m_steps.size() && !m_rescued)
            QTest::qWait(kPollMs);
        m_back = true;
        // Let the last step's mouse or keys arrive before the caller looks.
        while (m_tool && m_tool->state() != QProcess::NotRunning)
            QTest::qWait(kPollMs);
        Settle(kSettleMs);
        return !m_rescued;
    }

private:
    struct Step {
        Check ready;
        Act act;
        std::source_location at;
    };

    void xdotool(const QStringList &arguments)
    {
        m_tool = std::make_unique<QProcess>();
        m_tool->start(QStringLiteral("xdotool"), arguments);
        m_tool->waitForStarted(kChildMs);
        m_toolEnded.invalidate();
    }

    // A fresh single-shot timer each turn: a timer does not fire again while
    // its own handler is still inside a wait.
    void schedule()
    {
        QTimer::singleShot(kPollMs, this, [this] { poll(); });
    }

    void poll()
    {
        if (m_back)
            return;
        if (m_sinceStep.elapsed() > kStepMs) {
            if (!m_rescued)
                qWarning("%s", qPrintable(waitedFor()));
            // Again each turn: ending one wait may uncover another.
            m_rescued = true;
            schedule();
            if (m_rescue)
                m_rescue();
            return;
        }
        schedule();
        if (m_next >= m_steps.size())
            return; // done; waiting for the caller to get back
        if (m_tool) {
            if (m_tool->state() != QProcess::NotRunning)
                return;
            if (!m_toolEnded.isValid())
                m_toolEnded.start();
            if (m_toolEnded.elapsed() < kToolTakenInMs)
                return;
        }
        Step &step = m_steps[m_next];
        if (step.ready && !step.ready())
            return;
        m_acting.push_back(m_next);
        ++m_next;
        m_sinceStep.start();
        step.act();
        m_acting.pop_back();
    }

    // What the run gave up waiting for.
    QString waitedFor() const
    {
        const auto line = [this](size_t n) {
            return QStringLiteral("the step at %1:%2 (%3 of %4)")
                .arg(QString::fromUtf8(m_steps[n].at.file_name()))
                .arg(m_steps[n].at.line())
                .arg(n + 1)
                .arg(m_steps.size());
        };
        QString what;
        if (m_next >= m_steps.size())
            what = line(m_acting.empty() ? m_steps.size() - 1 : m_acting.back()) +
                   QStringLiteral(" to return");
        else if (m_tool && m_tool->state() != QProcess::NotRunning)
            what = line(m_next - 1) + QStringLiteral(" to have its mouse or keys taken in");
        else
            what = line(m_next) + QStringLiteral(" to be ready");
        return QStringLiteral("Script gave up after %1 ms waiting for %2").arg(kStepMs).arg(what);
    }

    // How long a step's mouse or keys take to arrive after the tool ends.
    static constexpr int kToolTakenInMs = 150;

    std::vector<Step> m_steps;
    size_t m_next = 0;
    std::unique_ptr<QProcess> m_tool;
    QElapsedTimer m_toolEnded;
    QElapsedTimer m_sinceStep;
    std::vector<size_t> m_acting; // the steps whose act has not returned, innermost last
    bool m_rescued = false;
    bool m_back = false;
    std::function<void()> m_rescue;
};

} // namespace qelt::test::desktop
