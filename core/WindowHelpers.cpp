#include "core/WindowHelpers.h"

#include "logic/Settings.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qelt {

namespace {

// Moves a window with the mouse until the button is released, for window
// systems that do not offer a move of their own. Deletes itself at the end.
class ManualDrag : public QObject {
public:
    ManualDrag(QWidget *window, const QPoint &grabOffset) : m_window(window), m_offset(grabOffset)
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
    Qt::WindowFlags flags = win->windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    // setWindowFlags() would re-create the native window and hide it (which
    // also ends a dialog's exec()); tell the widget and the window system
    // separately instead, so position, size and visibility stay as they are.
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    win->overrideWindowFlags(flags);
    if (QWindow *handle = win->windowHandle())
        handle->setFlags(flags);
}

// The text a caption shows: "&" marks the access key, "&&" is one "&".
QString ShownText(QString text)
{
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(1), QLatin1Char('&'));
    return text;
}

// The width a control leaves for its caption, or -1 for controls whose
// caption is not fitted (pictures, wrapped or style-sheet sized texts,
// controls that size themselves).
int CaptionRoom(const QWidget *w)
{
    // A control never given a size takes the size its caption asks for.
    if (!w->styleSheet().isEmpty() || !w->testAttribute(Qt::WA_Resized))
        return -1;
    const QStyle *st = w->style();
    if (qobject_cast<const QCheckBox *>(w))
        return w->width() - st->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) -
               st->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w) - 2;
    if (qobject_cast<const QRadioButton *>(w))
        return w->width() - st->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) -
               st->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w) - 2;
    if (qobject_cast<const QPushButton *>(w))
        return w->width() - 6;
    if (const auto *l = qobject_cast<const QLabel *>(w)) {
        // A status line cuts its own text to its width.
        if (dynamic_cast<const StatusLabel *>(l))
            return -1;
        if (!l->pixmap().isNull() || l->wordWrap())
            return -1;
        return l->contentsRect().width() - std::max(l->indent(), 0);
    }
    return -1;
}

void FitCaptionsOf(QWidget *window)
{
    constexpr qreal kSmallest = 6.0;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        QString text;
        if (const auto *b = qobject_cast<const QAbstractButton *>(w))
            text = ShownText(b->text());
        else if (const auto *l = qobject_cast<const QLabel *>(w))
            text = l->textFormat() == Qt::RichText ? QString() : ShownText(l->text());
        const int room = CaptionRoom(w);
        if (text.isEmpty() || room <= 0)
            continue;
        const QFont own = OwnFont(w);
        if (own.pointSizeF() <= 0)
            continue;
        const QFont font = ShrinkFontToFit(own, kSmallest, [&](const QFont &f) {
            return QFontMetrics(f).horizontalAdvance(text) <= room;
        });
        if (font != w->font())
            w->setFont(font);
    }
}

QString OneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

constexpr int kLongRun = 24;
const QChar kBreak(0x200B); // zero-width space

// A part of a long run: broken after every character where it is long too.
QString BreakablePart(const QString &part)
{
    if (part.size() <= kLongRun)
        return part;
    QString out;
    out.reserve(part.size() * 2);
    for (const QChar c : part) {
        out += c;
        out += kBreak;
    }
    return out;
}

QString BreakableRun(const QString &run)
{
    QString out;
    QString part;
    for (const QChar c : run) {
        if (c == u'/' || c == u'\\') {
            out += BreakablePart(part) + c + kBreak;
            part.clear();
        } else {
            part += c;
        }
    }
    return out + BreakablePart(part);
}

} // namespace

QString BreakableText(const QString &text)
{
    static const QRegularExpression longRun(QStringLiteral("\\S{%1,}").arg(kLongRun + 1));
    QString out;
    qsizetype done = 0;
    for (auto it = longRun.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(done, m.capturedStart() - done);
        out += BreakableRun(m.captured());
        done = m.capturedEnd();
    }
    out += QStringView(text).mid(done);
    return out;
}

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

void PutOnTop(QWidget *w)
{
    setOnTop(w, true);
}
void NotOnTop(QWidget *w)
{
    setOnTop(w, false);
}

namespace {

// On X the toolkit writes the "start iconic" hint when it minimises a window
// and the normal one only when it restores the window itself. A window the
// window manager restored keeps the iconic hint, so mapping it again after
// it was hidden (in the tray) would put it straight back on the task bar.
// The hint is made normal before the window is shown.
void StartNormalOnX(QWidget *w)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        !w->testAttribute(Qt::WA_WState_Created))
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return;
    const auto window = xcb_window_t(w->winId());
    // WM_HINTS: flags, input, initial state, then icon and group fields.
    constexpr uint32_t kStateHint = 1u << 1;
    constexpr uint32_t kNormalState = 1;
    uint32_t hints[9] = {};
    const xcb_get_property_cookie_t asked =
        xcb_get_property(c, 0, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, 9);
    if (xcb_get_property_reply_t *reply = xcb_get_property_reply(c, asked, nullptr)) {
        if (reply->format == 32) {
            const int n = std::min<int>(9, xcb_get_property_value_length(reply) / 4);
            std::copy_n(static_cast<const uint32_t *>(xcb_get_property_value(reply)), n, hints);
        }
        free(reply);
    }
    hints[0] |= kStateHint;
    hints[2] = kNormalState;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                        9, hints);
    xcb_flush(c);
}

} // namespace

void ShowRestored(QWidget *w)
{
    StartNormalOnX(w);
    if (w->isMinimized())
        w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
}

void FitCaptions(QWidget *window)
{
    if (window)
        FitCaptionsOf(window);
}

QFont OwnFont(QWidget *w)
{
    const char *const kOwnFont = "qeltOwnFont";
    if (!w->property(kOwnFont).isValid())
        w->setProperty(kOwnFont, w->font());
    return w->property(kOwnFont).value<QFont>();
}

QFont ShrinkFontToFit(QFont font, qreal smallest, const std::function<bool(const QFont &)> &fits)
{
    while (!fits(font) && font.pointSizeF() - 0.5 >= smallest)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

QPoint KeepOnScreenTwips(double leftTw, double topTw, const QRect &screenPx)
{
    const double screenW = screenPx.width() * double(kTwipsPerPixel);
    const double screenH = screenPx.height() * double(kTwipsPerPixel);
    if (topTw < 50)
        topTw = 85;
    if (topTw > screenH - 1000)
        topTw = screenH - 2500;
    if (leftTw > screenW - 1500)
        leftTw = screenW - 2000;
    if (leftTw < 0)
        leftTw = 0;
    return QPoint(int(leftTw / kTwipsPerPixel), int(topTw / kTwipsPerPixel));
}

namespace {

// How far apart two rectangles are (0 when they touch or overlap), squared.
qint64 SquaredGap(const QRect &a, const QRect &b)
{
    const qint64 dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const qint64 dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

qint64 OverlapArea(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

// The usable areas of the screens, the primary one first.
QList<QRect> UsableScreens()
{
    QList<QRect> screens;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        screens << primary->availableGeometry();
    for (const QScreen *s : QGuiApplication::screens()) {
        if (s != QGuiApplication::primaryScreen())
            screens << s->availableGeometry();
    }
    if (screens.isEmpty())
        screens << QRect(0, 0, 1024, 768);
    return screens;
}

bool FrameKnown(const QWidget *w)
{
    return w->frameGeometry() != w->geometry();
}

// Places a window again once the window system has put its frame around
// it. The frame is not known before a window's first showing, so the window
// was kept on the screen by its own size, and its frame may stick out.
//
// Until the frame is known, a move of a native window (the toolkit's own,
// made when it shows a window whose layout grew it) places the window's
// inside, and the window manager then puts the frame above and left of it;
// the toolkit learns the frame's size later, at times without any move or
// resize to place the window again on. A window that stores its frame's
// place would come back a title bar higher with each start. So the native
// window is mapped asking for its frame's place, which the window manager
// gives the frame at once.
class PlaceAgainWhenFramed : public QObject {
public:
    static constexpr const char *kName = "qeltPlaceAgainWhenFramed";

    PlaceAgainWhenFramed(QWidget *w, double leftTw, double topTw)
        : QObject(w), m_widget(w), m_leftTw(leftTw), m_topTw(topTw)
    {
        setObjectName(QLatin1String(kName));
        w->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type t = event->type();
        if (watched != m_widget) {
            // The native window's show comes after the widget's own show and
            // its last resize, just before the window is mapped.
            if (t == QEvent::Show) {
                watched->removeEventFilter(this);
                if (!FrameKnown(m_widget))
                    static_cast<QWindow *>(watched)->setFramePosition(
                        PlaceOnScreens(m_leftTw, m_topTw, m_widget->size(), UsableScreens())
                            .topLeft());
            }
            return false;
        }
        if ((t == QEvent::Show || t == QEvent::Move || t == QEvent::Resize) &&
            m_widget->isVisible() && FrameKnown(m_widget)) {
            m_widget->removeEventFilter(this);
            if (QWindow *handle = m_widget->windowHandle())
                handle->removeEventFilter(this);
            setParent(nullptr);
            deleteLater();
            MoveOnScreenTwips(m_widget, m_leftTw, m_topTw);
        } else if (t == QEvent::Show) {
            if (QWindow *handle = m_widget->windowHandle())
                handle->installEventFilter(this);
        }
        return false;
    }

private:
    QWidget *m_widget;
    double m_leftTw;
    double m_topTw;
};

// The screen a window at rect belongs to: the one it overlaps most, else
// the nearest; the earlier one on a tie.
QRect ScreenOf(const QRect &rect, const QList<QRect> &screens)
{
    QRect best = screens.first();
    qint64 bestOverlap = OverlapArea(rect, best);
    qint64 bestGap = SquaredGap(rect, best);
    for (const QRect &s : screens) {
        const qint64 overlap = OverlapArea(rect, s);
        const qint64 gap = SquaredGap(rect, s);
        if (overlap > bestOverlap || (bestOverlap == 0 && overlap == 0 && gap < bestGap)) {
            best = s;
            bestOverlap = overlap;
            bestGap = gap;
        }
    }
    return best;
}

} // namespace

QRect PlaceOnScreens(double leftTw, double topTw, const QSize &frameSize,
                     const QList<QRect> &screens)
{
    // A single pixel stands for an empty window, so that it still lies on
    // one screen or another.
    const QSize size = frameSize.expandedTo(QSize(1, 1));
    const QRect stored(QPoint(PixelOfTwips(leftTw), PixelOfTwips(topTw)), size);
    if (screens.isEmpty())
        return QRect(stored.topLeft(), frameSize);
    const QRect screen = ScreenOf(stored, screens);
    const QPoint corner =
        screen.topLeft() + KeepOnScreenTwips(leftTw - screen.left() * double(kTwipsPerPixel),
                                             topTw - screen.top() * double(kTwipsPerPixel),
                                             QRect(QPoint(0, 0), screen.size()));
    const QSize fitted = frameSize.boundedTo(screen.size());
    const int x = std::clamp(corner.x(), screen.left(), screen.right() + 1 - fitted.width());
    const int y = std::clamp(corner.y(), screen.top(), screen.bottom() + 1 - fitted.height());
    return QRect(QPoint(x, y), fitted);
}

int PixelOfTwips(double twips)
{
    return int(twips / kTwipsPerPixel);
}

double TwipsToStore(int pixel, double placedFromTwips)
{
    if (std::isfinite(placedFromTwips) && PixelOfTwips(placedFromTwips) == pixel)
        return placedFromTwips;
    return double(pixel) * kTwipsPerPixel;
}

void SaveTwipsSetting(const QString &key, int pixels, double defaultTwips)
{
    SaveSet(QStringLiteral("Settings"), key,
            QString::number(TwipsToStore(pixels, ReadTwipsSetting(key, defaultTwips))));
}

double ReadTwipsSetting(const QString &key, double defaultTwips)
{
    bool ok = false;
    const double stored =
        GetSet(QStringLiteral("Settings"), key, QString::number(defaultTwips)).toDouble(&ok);
    return ok ? stored : defaultTwips;
}

StatusLabel::StatusLabel(QWidget *parent, Qt::TextElideMode mode) : EventLabel(parent)
{
    setWordWrap(false);
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setElideLongText(true, mode);
}

QSize StatusLabel::sizeHint() const
{
    const QMargins m = contentsMargins();
    const int h = fontMetrics().height() + 2 * margin() + m.top() + m.bottom();
    return QSize(fontMetrics().averageCharWidth() * 10, std::max(h, minimumHeight()));
}

QSize StatusLabel::minimumSizeHint() const
{
    return QSize(0, sizeHint().height());
}

QString StatusLabel::captionLine() const
{
    return OneLine(text());
}

void MoveOnScreenTwips(QWidget *w, double leftTw, double topTw)
{
    if (!w)
        return;
    // The frame's size is known once the window has been shown; before that
    // it is the window's own size, and the window is placed again when it
    // gets its frame.
    const QSize frame = w->frameGeometry().size();
    // An earlier placing that still waits for the frame gives way to this one.
    delete w->findChild<QObject *>(QLatin1String(PlaceAgainWhenFramed::kName),
                                   Qt::FindDirectChildrenOnly);
    if (!w->isVisible() && !FrameKnown(w) && !(w->windowFlags() & Qt::FramelessWindowHint))
        new PlaceAgainWhenFramed(w, leftTw, topTw);
    const QRect placed = PlaceOnScreens(leftTw, topTw, frame, UsableScreens());
    if (placed.size() != frame)
        w->resize(w->size() - (frame - placed.size()));
    w->move(placed.topLeft());
}

} // namespace qelt
