#include "core/Tray.h"

#include "core/Sounds.h"
#include "core/services/ConsoleServices.h"
#include "logic/Globals.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QWidget>

namespace qelt {

namespace {

struct TrayState {
    QPointer<QSystemTrayIcon> icon;
    QPointer<QWidget> window;
    QString tip;
    bool shown = false;
    bool minimisedStandIn = false;   // no tray: a window was minimised instead
    QPointer<QWidget> standInWindow; // the window minimised in the icon's place
};

TrayState &state()
{
    static TrayState s;
    return s;
}

bool mainWindowVisible()
{
    MainWindowService *main = MainWindow();
    return main && main->widget() && main->widget()->isVisible();
}

int messageFor(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return kTrayLeftDown;
    case QSystemTrayIcon::DoubleClick:
        return kTrayLeftDouble;
    case QSystemTrayIcon::Context:
        return kTrayRightDown;
    default:
        return 0;
    }
}

QSystemTrayIcon *trayIcon()
{
    TrayState &s = state();
    if (!s.icon) {
        s.icon = new QSystemTrayIcon(&TrayEventSource());
        QObject::connect(s.icon, &QSystemTrayIcon::activated, &TrayEventSource(),
                         [](QSystemTrayIcon::ActivationReason reason) {
                             if (const int msg = messageFor(reason))
                                 emit TrayEventSource().mouseMessage(msg);
                         });
    }
    return s.icon;
}

// An icon is needed for the tray to show anything (a window hidden behind
// an empty icon could not be brought back); fall back to the program's own,
// then to a stock one.
QIcon usableIcon(const QIcon &icon)
{
    if (!icon.isNull())
        return icon;
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return icon;
    if (!QApplication::windowIcon().isNull())
        return QApplication::windowIcon();
    return QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
}

void remember(const QIcon &icon, const QString &tip, QWidget *window)
{
    TrayState &s = state();
    s.tip = tip;
    s.window = window;
    if (s.icon && QSystemTrayIcon::isSystemTrayAvailable()) {
        s.icon->setIcon(usableIcon(icon));
        s.icon->setToolTip(tip);
    }
}

} // namespace

TrayEvents &TrayEventSource()
{
    static QPointer<TrayEvents> events;
    if (!events)
        events = new TrayEvents(QCoreApplication::instance());
    return *events;
}

bool TrayEvents::eventFilter(QObject *watched, QEvent *event)
{
    TrayState &s = state();
    if (event->type() == QEvent::WindowStateChange && s.shown && s.minimisedStandIn &&
        watched == s.standInWindow.data() &&
        !(s.standInWindow->windowState() & Qt::WindowMinimized)) {
        emit mouseMessage(kTrayLeftDown);
    }
    return QObject::eventFilter(watched, event);
}

bool TrayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayHideWindow(QWidget *window)
{
    if (!window)
        return;
    if (TrayAvailable()) {
        window->hide();
    } else {
        // Without a tray a hidden window could not be reached again: keep it
        // on the task bar instead.
        window->showMinimized();
        state().standInWindow = window;
        window->removeEventFilter(&TrayEventSource());
        window->installEventFilter(&TrayEventSource());
    }
}

void TrayAdd(const QIcon &icon, const QString &tip, QWidget *window)
{
    if (mainWindowVisible() && SoundsOn && MinOnStart)
        PlayWav(ZoomSound);
    TrayState &s = state();
    if (TrayAvailable()) {
        trayIcon();
        remember(icon, tip, window);
        s.icon->show();
    } else {
        remember(icon, tip, window);
    }
    s.minimisedStandIn = !TrayAvailable();
    s.shown = true;
    TrayHideWindow(window);
}

void TrayModify(const QIcon &icon, const QString &tip, QWidget *window)
{
    remember(icon, tip, window);
}

void TrayDelete()
{
    if (SoundsOn && (!mainWindowVisible() || !FavsView))
        PlayWav(ZoomSound);
    TrayState &s = state();
    if (s.icon)
        s.icon->hide();
    s.shown = false;
    s.minimisedStandIn = false;
}

int TrayMsg(int message)
{
    switch (message) {
    case kTrayLeftDown:
    case kTrayLeftDouble:
        return 1;
    case kTrayRightDown:
        if (SoundsOn)
            PlayWav(ClickSound);
        return 2;
    case kTrayRightUp:
    case kTrayRightDouble:
        return 2;
    default:
        return 0;
    }
}

bool TrayShown()
{
    return state().shown;
}
QString TrayTip()
{
    return state().tip;
}
QWidget *TrayWindow()
{
    return state().window;
}

} // namespace qelt
