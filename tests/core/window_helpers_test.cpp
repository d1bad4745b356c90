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
    MoveOnScreenTwips(nullptr, 0, 0); // no widget, nothing moved
}

// The whole window is kept on the screen it belongs to, in a desktop of
// several screens: a 1280 x 1024 primary, a 1920 x 1080 one to its right
// reaching 200 pixels higher, a 1024 x 768 one to its left. The console's
// frame is 286 x 372 pixels.
TEST(WindowHelpers, WholeWindowIsKeptOnItsScreen)
{
    const QRect primary(0, 0, 1280, 1024);
    const QRect right(1280, -200, 1920, 1080);
    const QRect left(-1024, 0, 1024, 768);
    const QList<QRect> desktop{primary, right, left};
    const QSize console(286, 372);
    const struct {
        const char *what;
        double leftTw, topTw;
        QSize frame;
        QList<QRect> screens;
        QRect expected;
    } cases[] = {
        {"on the screen: kept", 1500, 3000, console, {primary}, {100, 200, 286, 372}},
        {"twips that are no whole pixel", 1507, 3014, console, {primary}, {100, 200, 286, 372}},
        {"touching the bottom-right corner: kept",
         994 * 15,
         652 * 15,
         console,
         {primary},
         {994, 652, 286, 372}},
        // The stored margins alone would leave it at 1146,857, mostly off.
        {"far past the bottom-right corner",
         30000,
         30000,
         console,
         {primary},
         {994, 652, 286, 372}},
        {"right edge sticking out", 1100 * 15, 3000, console, {primary}, {994, 200, 286, 372}},
        {"bottom edge sticking out", 1500, 800 * 15, console, {primary}, {100, 652, 286, 372}},
        {"left of the screen", -30000, 3000, console, {primary}, {0, 200, 286, 372}},
        {"above the screen", 1500, -30000, console, {primary}, {100, 85 / 15, 286, 372}},
        {"a top less than 50 twips below the edge",
         1500,
         20,
         console,
         {primary},
         {100, 85 / 15, 286, 372}},
        {"larger than the screen: as large as it",
         100,
         100,
         {2000, 1200},
         {primary},
         {0, 0, 1280, 1024}},
        {"wider than the screen, lower down",
         100,
         6000,
         {1500, 300},
         {primary},
         {0, 400, 1280, 300}},
        {"on the right screen: kept", 1400 * 15, 0, console, desktop, {1400, 0, 286, 372}},
        {"on the right screen above the primary: kept",
         1500 * 15,
         -150 * 15,
         console,
         desktop,
         {1500, -150, 286, 372}},
        {"on the left screen: kept", -800 * 15, 300 * 15, console, desktop, {-800, 300, 286, 372}},
        {"mostly on the right screen: moved onto it",
         1200 * 15,
         3000,
         console,
         desktop,
         {1280, 200, 286, 372}},
        {"mostly on the primary: moved onto it",
         1100 * 15,
         3000,
         console,
         desktop,
         {994, 200, 286, 372}},
        {"beyond the right screen", 60000, 3000, console, desktop, {2914, 200, 286, 372}},
        {"below the right screen", 2000 * 15, 30000, console, desktop, {2000, 508, 286, 372}},
        {"beyond the left screen", -60000, 3000, console, desktop, {-1024, 200, 286, 372}},
        {"below the left screen", -700 * 15, 900 * 15, console, desktop, {-700, 396, 286, 372}},
        {"below the left screen, nearer to the primary",
         -300 * 15,
         900 * 15,
         console,
         desktop,
         {0, 652, 286, 372}},
        {"a screen whose usable area starts below a panel",
         1500,
         0,
         console,
         {QRect(0, 30, 1280, 994)},
         {100, 30 + 85 / 15, 286, 372}},
        {"no screens: the stored place", 30000, 30000, console, {}, {2000, 2000, 286, 372}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PlaceOnScreens(c.leftTw, c.topTw, c.frame, c.screens), c.expected) << c.what;
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
