#include "core/WindowHelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

using namespace qelt;

namespace {

template <typename W> W *focusOn(QWidget &window, W *w)
{
    window.show();
    QApplication::setActiveWindow(&window);
    w->setFocus();
    QApplication::processEvents();
    return w;
}

struct HideCounter : QObject {
    int count = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        count += e->type() == QEvent::Hide;
        return false;
    }
};

} // namespace

TEST(WindowHelpers, SelectAllSelectsTheFocusedField)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *edit = new QLineEdit("12");
    auto *empty = new QLineEdit;
    auto *text = new QPlainTextEdit("two\nlines");
    auto *button = new QPushButton("OK");
    for (QWidget *w : {static_cast<QWidget *>(edit), static_cast<QWidget *>(empty),
                       static_cast<QWidget *>(text), static_cast<QWidget *>(button)})
        layout->addWidget(w);

    focusOn(window, edit)->setCursorPosition(1);
    ASSERT_EQ(QApplication::focusWidget(), edit);
    SelectAll();
    EXPECT_EQ(edit->selectedText(), "12");
    EXPECT_EQ(edit->selectionStart(), 0);

    focusOn(window, empty);
    SelectAll();
    EXPECT_FALSE(empty->hasSelectedText());
    EXPECT_EQ(empty->cursorPosition(), 0);

    focusOn(window, text);
    SelectAll();
    EXPECT_EQ(text->textCursor().selectedText().size(), 9);

    // Nothing to select on a button, and the other fields are left alone.
    edit->deselect();
    focusOn(window, button);
    SelectAll();
    EXPECT_FALSE(edit->hasSelectedText());
}

TEST(WindowHelpers, OnTopKeepsPlaceSizeAndVisibility)
{
    QWidget shown;
    shown.setGeometry(120, 90, 300, 200);
    shown.show();
    QApplication::processEvents();
    const QRect before = shown.geometry();
    // The window is never hidden on the way (a hidden dialog would end its
    // exec(), and the user would see it flicker).
    HideCounter hides;
    shown.installEventFilter(&hides);

    PutOnTop(&shown);
    EXPECT_TRUE(shown.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(shown.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(shown.isVisible());
    EXPECT_EQ(shown.geometry(), before);
    NotOnTop(&shown);
    EXPECT_FALSE(shown.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(shown.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(shown.isVisible());
    EXPECT_EQ(shown.geometry(), before);
    EXPECT_EQ(hides.count, 0);

    // A hidden window stays hidden; a child widget acts on its window.
    QWidget hidden;
    hidden.setGeometry(10, 20, 200, 100);
    auto *child = new QPushButton("x", &hidden);
    PutOnTop(child);
    EXPECT_TRUE(hidden.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(hidden.isVisible());
    EXPECT_EQ(hidden.geometry(), QRect(10, 20, 200, 100));

    PutOnTop(nullptr); // ignored
    NotOnTop(nullptr);
}

TEST(WindowHelpers, FormDragFollowsTheMouseUntilRelease)
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    auto *label = new QLabel("drag me", &window);
    window.setGeometry(100, 100, 200, 100);
    window.show();
    QApplication::processEvents();
    const QPoint start = window.pos();

    // Where the window system moves windows itself, it does the dragging.
    if (window.windowHandle()->startSystemMove())
        GTEST_SKIP() << "the window system moves windows itself";
    QCursor::setPos(start + QPoint(50, 40));
    FormDrag(label);
    auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
        QMouseEvent ev(type, QPointF(label->mapFromGlobal(global)), QPointF(global), Qt::LeftButton,
                       buttons, Qt::NoModifier);
        QApplication::sendEvent(label, &ev);
    };
    send(QEvent::MouseMove, start + QPoint(80, 70), Qt::LeftButton);
    EXPECT_EQ(window.pos(), start + QPoint(30, 30));
    send(QEvent::MouseButtonRelease, start + QPoint(80, 70), Qt::NoButton);
    send(QEvent::MouseMove, start + QPoint(300, 300), Qt::LeftButton);
    EXPECT_EQ(window.pos(), start + QPoint(30, 30));
}

TEST(WindowHelpers, StoredPositionsAreKeptOnTheScreen)
{
    // A 1024 x 768 pixel screen is 15360 x 11520 twips.
    const QRect screen(0, 0, 1024, 768);
    const struct {
        const char *what;
        double left, top; // twips
        QPoint expected;  // pixels
    } cases[] = {
        {"on the screen", 500, 500, {33, 33}},
        {"fractions of a pixel drop", 509.9, 524.9, {33, 34}},
        {"above the top edge", 300, 49, {20, 85 / 15}},
        {"just at the top limit", 300, 50, {20, 50 / 15}},
        {"below the bottom", 0, 11000, {0, (11520 - 2500) / 15}},
        {"just at the bottom limit", 0, 11520 - 1000, {0, (11520 - 1000) / 15}},
        {"past the right edge", 14000, 500, {(15360 - 2000) / 15, 33}},
        {"just at the right limit", 15360 - 1500, 500, {(15360 - 1500) / 15, 33}},
        {"left of the screen", -300, 500, {0, 33}},
        {"off two sides at once", 1e6, -1e6, {(15360 - 2000) / 15, 85 / 15}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(KeepOnScreenTwips(c.left, c.top, screen), c.expected) << c.what;

    // The widget form uses the primary screen; no widget, nothing moved.
    QWidget w;
    MoveOnScreenTwips(&w, 1e6, 1e6);
    const QScreen *primary = QGuiApplication::primaryScreen();
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(w.pos(), KeepOnScreenTwips(1e6, 1e6, primary->geometry()));
    MoveOnScreenTwips(nullptr, 0, 0);
}

TEST(WindowHelpers, CaptionsTooWideForTheirControlGetASmallerFont)
{
    QWidget window;
    auto *narrow = new QPushButton("Dunkler", &window);
    narrow->setGeometry(0, 0, 42, 22);
    auto *wide = new QPushButton("OK", &window);
    wide->setGeometry(0, 30, 80, 22);
    auto *box = new QCheckBox("&Zeitschalter", &window);
    box->setGeometry(0, 60, 80, 20);
    auto *styled = new QLabel("Gruppe 1 with a long text", &window);
    styled->setStyleSheet("font-size: 7pt;");
    styled->setGeometry(0, 90, 20, 11);
    auto *clock = new QLabel("20:00:00", &window);
    QFont bold = clock->font();
    bold.setBold(true);
    clock->setFont(bold);
    clock->setGeometry(0, 110, 200, 24);
    const QFont base = window.font();
    const QFont styledFont = styled->font();

    FitCaptions(&window);
    EXPECT_LT(narrow->font().pointSizeF(), base.pointSizeF());
    EXPECT_LE(QFontMetrics(narrow->font()).horizontalAdvance("Dunkler"), narrow->width() - 4);
    EXPECT_LT(box->font().pointSizeF(), base.pointSizeF());
    EXPECT_LE(QFontMetrics(box->font()).horizontalAdvance("Zeitschalter"), box->width() - 16);
    EXPECT_EQ(wide->font(), base);
    EXPECT_EQ(styled->font(), styledFont); // sized by its style sheet
    EXPECT_EQ(clock->font(), bold);        // fits: its own font stays

    // A caption that fits again gets its own font back.
    narrow->setText("Dim");
    FitCaptions(&window);
    EXPECT_EQ(narrow->font(), base);
    FitCaptions(nullptr);
}
