#include "core/Dialogs.h"
#include "core/MessageDialog.h"
#include "core/Splash.h"
#include "tests/support/Bounds.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ShownDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace qelt;

namespace {

frmInfo *dialogTitled(const QString &title)
{
    for (frmInfo *d : test::ShownDialogs())
        if (d->windowTitle() == title)
            return d;
    return nullptr;
}

// Runs action once, as soon as ready() holds, from inside whatever wait the
// code under test is in.
void whenReady(std::function<bool()> ready, std::function<void()> action)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, ready, action] {
        if (!ready())
            return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start();
}

void answerQuestion(const QString &title, std::function<void(frmInfo *)> action)
{
    whenReady([title] { return dialogTitled(title) != nullptr; },
              [title, action] { action(dialogTitled(title)); });
}

} // namespace

class MessageDialogTest : public QObject {
    Q_OBJECT

    test::FakeWaitClock clock; // the 0.2 s wait of Info passes at once

private slots:
    void cleanup()
    {
        for (frmInfo *d : test::ShownDialogs())
            delete d;
    }

    void modalInfoWaitsForOkAndHidesSplash()
    {
        ShowSplash();
        SplashWindow().tmr1->stop();
        QVERIFY(SplashWindow().isVisible());

        bool splashHiddenWhileWaiting = false;
        bool okPressed = false;
        whenReady(
            [] {
                frmInfo *d = dialogTitled("Modal");
                return d && d->okTag() == "hold";
            },
            [&] {
                frmInfo *d = dialogTitled("Modal");
                QCOMPARE(d->lbl1->text(), QString("Line one\nLine two\nthree"));
                QCOMPARE(d->cmdOK->text(), QString("Go"));
                QVERIFY(d->lbl1->alignment() & Qt::AlignLeft);
                splashHiddenWhileWaiting = !SplashWindow().isVisible();
                okPressed = true;
                d->cmdOK->click();
            });
        Info("Line one\r\nLine two\rthree", true, true, "Modal", "Go", true);
        QVERIFY(okPressed); // the call came back only after OK
        QVERIFY(splashHiddenWhileWaiting);
        QVERIFY(dialogTitled("Modal") == nullptr);
    }

    void modelessInfoReturnsAtOnceAndOkCloses()
    {
        Info("Saved", false, false, "Modeless", "OK", false);
        frmInfo *d = dialogTitled("Modeless");
        QVERIFY(d);
        QCOMPARE(d->okTag(), QString("close"));
        QPointer<frmInfo> guard(d);
        d->cmdOK->click();
        QVERIFY(!d->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(),
                                 test::kStepMs); // each call's window goes away with it

        // Closed through its frame while no other window shows (the console
        // in the tray), it goes away without ending the program.
        Info("Tray", false, false, "Modeless", "OK", false);
        guard = dialogTitled("Modeless");
        QVERIFY(!guard->testAttribute(Qt::WA_QuitOnClose));
        guard->close();
        QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), test::kStepMs);
    }

    // OK pressed in the short wait right after the window appears closes
    // it, modal or not (the press is not lost).
    void okDuringTheShortWaitCloses_data()
    {
        QTest::addColumn<bool>("modal");
        QTest::newRow("modeless") << false;
        QTest::newRow("modal") << true;
    }

    void okDuringTheShortWaitCloses()
    {
        QFETCH(bool, modal);
        QPointer<frmInfo> pressed;
        clock.onProcessEvents = [&] {
            if (frmInfo *d = dialogTitled("Quick"); d && !pressed) {
                pressed = d;
                d->cmdOK->click();
            }
        };
        Info("Done", false, false, "Quick", "OK", modal);
        clock.onProcessEvents = {};
        QVERIFY(pressed);
        QVERIFY(!pressed->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(pressed.isNull(), test::kStepMs);
    }

    void modalInfoClosedThroughFrameCountsAsOk()
    {
        answerQuestion("Frame", [](frmInfo *d) { d->close(); });
        Info("Closing", false, false, "Frame", "OK", true);
        QVERIFY(dialogTitled("Frame") == nullptr);
    }

    void questionAnswers_data()
    {
        QTest::addColumn<int>("buttonSet");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("expected");
        QTest::newRow("2 yes") << 2 << "yes" << 1;
        QTest::newRow("2 no") << 2 << "no" << 2;
        QTest::newRow("2 enter") << 2 << "enter" << 1;
        QTest::newRow("2 enter on No") << 2 << "enter on no" << 2;
        QTest::newRow("2 escape") << 2 << "escape" << 2;
        QTest::newRow("2 frame") << 2 << "frame" << 2;
        QTest::newRow("3 cancel") << 3 << "cancel" << 3;
        QTest::newRow("3 escape") << 3 << "escape" << 3;
        QTest::newRow("3 frame") << 3 << "frame" << 3;
        QTest::newRow("3 no") << 3 << "no" << 2;
        QTest::newRow("3 enter on Cancel") << 3 << "enter on cancel" << 3;
        QTest::newRow("other set asks yes/no") << 7 << "escape" << 2;
        QTest::newRow("4 ok") << 4 << "yes" << 1;
        QTest::newRow("4 cancel") << 4 << "no" << 2;
        QTest::newRow("4 escape") << 4 << "escape" << 2;
    }

    void questionAnswers()
    {
        QFETCH(int, buttonSet);
        QFETCH(QString, action);
        QFETCH(int, expected);
        QList<int> visibleLefts;
        answerQuestion("Ask", [&](frmInfo *d) {
            QVERIFY(!d->cmdOK->isVisible());
            // The OK/Cancel form of the question says so on its two buttons.
            QCOMPARE(d->cmdYes->text(), buttonSet == 4 ? "OK" : "Yes");
            QCOMPARE(d->cmdNo->text(), buttonSet == 4 ? "Cancel" : "No");
            for (QPushButton *b : {d->cmdYes, d->cmdNo, d->cmdCancel})
                if (b->isVisible())
                    visibleLefts << b->x();
            if (action == "yes")
                d->cmdYes->click();
            else if (action == "no")
                d->cmdNo->click();
            else if (action == "cancel")
                d->cmdCancel->click();
            else if (action == "enter")
                QTest::keyClick(d, Qt::Key_Return);
            else if (action == "enter on no") // Enter answers with the button that has the focus
                QTest::keyClick(d->cmdNo, Qt::Key_Return);
            else if (action == "enter on cancel")
                QTest::keyClick(d->cmdCancel, Qt::Key_Return);
            else if (action == "escape")
                QTest::keyClick(d, Qt::Key_Escape);
            else
                d->close();
        });
        QCOMPARE(Questions("Save the timers?", buttonSet, "Ask"), expected);
        // Yes/No stand at 1200 and 2550 twips; the three buttons at their own places.
        const QList<int> lefts = buttonSet == 3 ? QList<int>{518 / 15, 1868 / 15, 3233 / 15}
                                                : QList<int>{1200 / 15, 2550 / 15};
        QCOMPARE(visibleLefts, lefts);
    }

    // A question opened by a timer while another waits gets its own window
    // and answer; the outer call returns its own answer afterwards.
    void nestedQuestionKeepsOwnAnswers()
    {
        int inner = 0;
        answerQuestion("Outer", [&](frmInfo *outer) {
            answerQuestion("Inner", [outer](frmInfo *innerDlg) {
                outer->cmdYes->click(); // answered first, but the inner wait is on top
                innerDlg->cmdNo->click();
            });
            inner = Questions("Inner?", 2, "Inner");
        });
        QCOMPARE(Questions("Outer?", 3, "Outer"), 1);
        QCOMPARE(inner, 2);
        QVERIFY(test::ShownDialogs().isEmpty());
    }

    // A window destroyed under a waiting caller (the program closing) ends
    // the wait with the frame's answer instead of leaving the caller stuck.
    void destroyedWhileWaitingEndsTheWait()
    {
        answerQuestion("Gone", [](frmInfo *d) { delete d; });
        QCOMPARE(Questions("Still there?", 3, "Gone"), 3);
        whenReady(
            [] { return dialogTitled("GoneInfo") && dialogTitled("GoneInfo")->okTag() == "hold"; },
            [] { delete dialogTitled("GoneInfo"); });
        Info("Bye", false, false, "GoneInfo", "OK", true);
        QVERIFY(test::ShownDialogs().isEmpty());
    }

    void timersRunWhileWaiting()
    {
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(1);
        answerQuestion("Busy", [&](frmInfo *d) {
            whenReady([&] { return ticks >= 5; }, [d] { d->cmdYes->click(); });
        });
        QCOMPARE(Questions("Wait?", 2, "Busy"), 1);
        QVERIFY(ticks >= 5);
    }

    // Each kind of message and question shows its picture left of the text.
    void pictureBesideTheText_data()
    {
        QTest::addColumn<MsgIcon>("icon");
        QTest::addColumn<bool>("question");
        QTest::newRow("plain message") << MsgIcon::None << false;
        QTest::newRow("information") << MsgIcon::Information << false;
        QTest::newRow("critical") << MsgIcon::Critical << false;
        QTest::newRow("plain question") << MsgIcon::None << true;
        QTest::newRow("question") << MsgIcon::Question << true;
        QTest::newRow("exclamation") << MsgIcon::Exclamation << true;
    }

    void pictureBesideTheText()
    {
        QFETCH(MsgIcon, icon);
        QFETCH(bool, question);
        QImage shown;
        int textLeft = 0;
        int pictureRight = -1;
        answerQuestion("Picture", [&](frmInfo *d) {
            if (d->lblIcon->isVisible()) {
                shown = d->lblIcon->pixmap().toImage();
                pictureRight = d->lblIcon->geometry().right();
            }
            textLeft = d->lbl1->x();
            (question ? d->cmdYes : d->cmdOK)->click();
        });
        if (question)
            QCOMPARE(Questions("Delete it?", 2, "Picture", icon), 1);
        else
            Info("Could not", false, false, "Picture", "OK", true, icon);
        QCOMPARE(shown.isNull(), icon == MsgIcon::None);
        if (icon == MsgIcon::None)
            return;
        QVERIFY(shown.width() >= 16);
        QVERIFY(textLeft > pictureRight);
        // Each kind has its own picture.
        const QStyle::StandardPixmap kinds[] = {
            QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxQuestion,
            QStyle::SP_MessageBoxWarning, QStyle::SP_MessageBoxCritical};
        const QStyle::StandardPixmap kind = kinds[int(icon) - 1];
        QCOMPARE(shown, test::StylePicture(kind, shown));
    }

    // A folder of 240 characters wraps inside the box, which stays on the
    // screen; the file name stays whole on its line.
    void longFolderWrapsInsideTheBox()
    {
        const QString folder = "/home/user/" + QString(229, u'f');
        QCOMPARE(folder.size(), 240);
        const QString message = "The commands in the editor have not been saved.\r\n"
                                "Click Yes to save changes to\r\n" +
                                folder + "/evening.cro\r\n\r\nSave changes before closing?";
        QStringList lines;
        QStringList tooWide;
        QRect box;
        bool tallEnough = false;
        answerQuestion("Long", [&](frmInfo *d) {
            d->cmdCancel->click();
            const QRect room = d->lbl1->contentsRect();
            box = d->frameGeometry();
            tallEnough = d->lbl1->height() >= d->lbl1->heightForWidth(d->lbl1->width());
            // The lines as the label lays them out.
            for (const QString &paragraph : d->lbl1->text().split(u'\n')) {
                QTextLayout layout(paragraph, d->lbl1->font());
                QTextOption option;
                option.setWrapMode(QTextOption::WordWrap);
                layout.setTextOption(option);
                layout.beginLayout();
                for (QTextLine line = layout.createLine(); line.isValid();
                     line = layout.createLine()) {
                    line.setLineWidth(room.width());
                    QString text = paragraph.mid(line.textStart(), line.textLength());
                    text.remove(QChar(0x200B));
                    if (line.naturalTextWidth() > room.width())
                        tooWide << text;
                    lines << text;
                }
                layout.endLayout();
            }
        });
        QCOMPARE(Questions(message, 3, "Long", MsgIcon::Exclamation), 3);
        QCOMPARE(tooWide, QStringList());
        QVERIFY(tallEnough);
        QVERIFY(lines.size() > 6);
        QCOMPARE(lines.join(QString()).remove(u' '),
                 QString(message).remove(u' ').remove(u'\r').remove(u'\n'));
        QVERIFY(std::any_of(lines.cbegin(), lines.cend(),
                            [](const QString &l) { return l.contains("/evening.cro"); }));
        QVERIFY(QApplication::primaryScreen()->availableGeometry().contains(box));
    }

    void callsGoThroughTheInstalledProvider()
    {
        test::ScriptedDialogs script;
        script.answer = 3;
        SetDialogProvider(&script);
        Info("Hello", false, false, "T", "OK", true);
        const int answer = Questions("Sure?", 3, "Q");
        SetDialogProvider(nullptr);
        QCOMPARE(answer, 3);
        QCOMPARE(script.calls, (QStringList{"info T Hello 1", "questions Q Sure? 3"}));
        QVERIFY(test::ShownDialogs().isEmpty());
        QCOMPARE(&Dialogs(), &RealDialogs());
    }
};

QELT_TEST_MAIN(MessageDialogTest)
#include "tst_message_dialog.moc"
