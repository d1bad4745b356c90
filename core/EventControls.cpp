#include "core/EventControls.h"

#include "core/WindowHelpers.h"

#include <QEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

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
    if (event->type() == QEvent::ToolTip && isElided()) {
        // A shortened caption shows in full in the tool tip, above the hint
        // (if any) that the tips switch allows.
        // It wraps (a long name too) rather than reaching past the screen.
        auto *help = static_cast<QHelpEvent *>(event);
        const QString hint = toolTip().trimmed();
        const QString whole = hint.isEmpty() ? text() : text() + u'\n' + hint;
        QToolTip::showText(help->globalPos(),
                           QStringLiteral("<p style='white-space:pre-wrap'>") +
                               BreakableText(whole).toHtmlEscaped() + QStringLiteral("</p>"),
                           this, QRect());
        return true;
    }
    return QLabel::event(event);
}

void EventLabel::setElideLongText(bool on, Qt::TextElideMode mode)
{
    m_elide = on;
    m_elideMode = mode;
    update();
}

QRect EventLabel::textRoom() const
{
    QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    int indentPx = indent();
    if (indentPx < 0 && frameWidth() > 0)
        indentPx = fontMetrics().horizontalAdvance(u'x') / 2;
    if (indentPx > 0) {
        const Qt::Alignment a = QStyle::visualAlignment(layoutDirection(), alignment());
        if (a & Qt::AlignLeft)
            room.setLeft(room.left() + indentPx);
        else if (a & Qt::AlignRight)
            room.setRight(room.right() - indentPx);
    }
    return room;
}

bool EventLabel::isElided() const
{
    return m_elide && textFormat() != Qt::RichText && pixmap().isNull() && !wordWrap() &&
           fontMetrics().horizontalAdvance(captionLine()) > textRoom().width();
}

QString EventLabel::shownText() const
{
    if (!isElided())
        return captionLine();
    return fontMetrics().elidedText(captionLine(), m_elideMode, textRoom().width());
}

void EventLabel::paintEvent(QPaintEvent *event)
{
    if (!isElided() && captionLine() == text()) {
        QLabel::paintEvent(event);
        return;
    }
    QFrame::paintEvent(event); // the frame alone
    QPainter painter(this);
    style()->drawItemText(&painter, textRoom(),
                          int(QStyle::visualAlignment(layoutDirection(), alignment())) |
                              Qt::TextSingleLine,
                          palette(), isEnabled(), shownText(), foregroundRole());
}

} // namespace qelt
