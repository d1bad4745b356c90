#include "core/WindowHelpers.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QWidget>
#include <QWindow>

namespace qelt {

namespace {

// Moves a window with the mouse until the button is released, for window
// systems that do not offer a move of their own. Deletes itself at the end.
class ManualDrag : public QObject {
public:
    ManualDrag(QWidget *window, const QPoint &grabOffset)
        : m_window(window), m_offset(grabOffset)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (!m_window) {
            finish();
            return false;
        }
        switch (event->type()) {
        case QEvent::MouseMove: {
            auto *me = static_cast<QMouseEvent *>(event);
            if (me->buttons() == Qt::NoButton) {
                finish();
                return false;
            }
            m_window->move(me->globalPosition().toPoint() - m_offset);
            return true;
        }
        case QEvent::MouseButtonRelease:
            finish();
            return false;
        default:
            return false;
        }
    }

private:
    void finish()
    {
        qApp->removeEventFilter(this);
        deleteLater();
    }

    QPointer<QWidget> m_window;
    QPoint m_offset;
};

void setOnTop(QWidget *w, bool onTop)
{
    if (!w)
        return;
    QWidget *win = w->window();
    if (win->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    // Changing a window flag re-creates the native window and hides it; put
    // back where, how large and in which state it was.
    const QRect geometry = win->geometry();
    const bool visible = win->isVisible();
    const Qt::WindowStates state = win->windowState();
    win->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    win->setGeometry(geometry);
    win->setWindowState(state);
    if (visible)
        win->show();
}

} // namespace

void FormDrag(QWidget *w)
{
    if (!w)
        return;
    QWidget *win = w->window();
    // Release the implicit grab of the widget that got the press.
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    if (QWindow *handle = win->windowHandle(); handle && handle->startSystemMove())
        return;
    new ManualDrag(win, QCursor::pos() - win->pos());
}

void SelectAll()
{
    QWidget *w = QApplication::focusWidget();
    if (!w)
        return;
    if (auto *le = qobject_cast<QLineEdit *>(w))
        le->selectAll();
    else if (auto *te = qobject_cast<QTextEdit *>(w))
        te->selectAll();
    else if (auto *pe = qobject_cast<QPlainTextEdit *>(w))
        pe->selectAll();
    else if (auto *sb = qobject_cast<QAbstractSpinBox *>(w))
        sb->selectAll();
    else if (auto *cb = qobject_cast<QComboBox *>(w); cb && cb->lineEdit())
        cb->lineEdit()->selectAll();
}

void PutOnTop(QWidget *w) { setOnTop(w, true); }
void NotOnTop(QWidget *w) { setOnTop(w, false); }

} // namespace qelt
