#include "console/EventControls.h"

#include <QEvent>
#include <QMouseEvent>

namespace qelt {

void PressButton::mousePressEvent(QMouseEvent *event)
{
    const Qt::MouseButton button = event->button();
    // The base class marks the button down first, so that a mouse-up that
    // arrives while the mouse-down handler still runs (a repeat loop that
    // lets events run) ends in a normal click.
    QPushButton::mousePressEvent(event);
    emit mouseDown(button);
    event->accept();
}

void PressButton::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseUp(event->button());
    QPushButton::mouseReleaseEvent(event);
    event->accept();
}

void PressButton::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved();
    QPushButton::mouseMoveEvent(event);
}

bool PressButton::event(QEvent *event)
{
    // The tool tip is set on mouse-over, as it depends on the tips switch.
    if (event->type() == QEvent::Enter || event->type() == QEvent::ToolTip)
        emit mouseMoved();
    return QPushButton::event(event);
}

void EventLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    emit mouseDown(event->button());
    event->accept();
}

void EventLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool inside = rect().contains(event->position().toPoint());
    emit mouseUp(event->button());
    if (m_pressed && event->button() == Qt::LeftButton && inside)
        emit clicked();
    m_pressed = false;
    event->accept();
}

void EventLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    event->accept();
}

void EventLabel::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved();
    QLabel::mouseMoveEvent(event);
}

bool EventLabel::event(QEvent *event)
{
    if (event->type() == QEvent::Enter || event->type() == QEvent::ToolTip)
        emit mouseMoved();
    return QLabel::event(event);
}

} // namespace qelt
