#pragma once

#include <QLabel>
#include <QPushButton>

namespace qelt {

// A command button that reports mouse-down and mouse-up for every mouse
// button (the right button included) besides the usual click of the left
// one. Order for one press: mouseDown, then mouseUp, then clicked.
class PressButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

signals:
    void mouseDown(Qt::MouseButton button);
    void mouseUp(Qt::MouseButton button);
    void mouseMoved();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;
};

// A label (or picture) that reports mouse-down, mouse-up, click and double
// click, as the window's labels act as buttons and drag handles.
class EventLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // A one-line caption wider than the label is cut with "…" and shown in
    // full in the tool tip, rather than cut off at the edge. mode says where
    // the "…" goes: in the middle keeps both ends of a file name or path
    // (its folder's start, its name and extension) readable.
    void setElideLongText(bool on, Qt::TextElideMode mode = Qt::ElideRight);
    bool isElided() const;
    // The caption as drawn (shortened when it is elided).
    QString shownText() const;

signals:
    void mouseDown(Qt::MouseButton button);
    void mouseUp(Qt::MouseButton button);
    void clicked();
    void doubleClicked();
    void mouseMoved();

protected:
    // The one line the elide mode draws; the text itself by default.
    virtual QString captionLine() const { return text(); }
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textRoom() const;

    bool m_pressed = false;
    bool m_elide = false;
    Qt::TextElideMode m_elideMode = Qt::ElideRight;
};

} // namespace qelt
