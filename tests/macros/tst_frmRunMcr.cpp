#include "macros/frmRunMcr.h"

#include "logic/ErrorLog.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/MacroPlayer.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "logic/Transmitter.h"
#include "tests/support/Bounds.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FixedPatterns.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>

using namespace qelt;

namespace {

const QString kLead = QString::fromLatin1(test::kLeadInBits);
const QString kClose = QString::fromLatin1(test::kClosingBits);
const QString kOn = QStringLiteral("0110000000100000");  // A 1 ON
const QString kOff = QStringLiteral("0110000000100100"); // A 1 OFF
// The bit sender waits this long before every pattern it clocks out.
constexpr double kSenderWait = 0.07;

QString Frame(const QString &code)
{
    return QStringLiteral("1101010110101010") + code + QStringLiteral("10101101");
}

QByteArray Line(const QString &code, const char *pause)
{
    return "\"" + code.toLatin1() + pause + "\"\r\n";
}

// The recording link, with the fake time of every line change.
class TimedLink : public RecordingSerialLink {
public:
    explicit TimedLink(test::FakeWaitClock &clock) : m_clock(clock) {}
    void setRTSEnable(bool on) override
    {
        RecordingSerialLink::setRTSEnable(on);
        times << m_clock.now;
    }
    void setDTREnable(bool on) override
    {
        RecordingSerialLink::setDTREnable(on);
        times << m_clock.now;
    }
    // Seconds from the last change of bit `endBit` to the first of `startBit`.
    double gap(int endBit, int startBit) const
    {
        return double(times.at(4 * startBit) - times.at(4 * endBit + 3)) / 1e9;
    }
    void reset()
    {
        clear();
        times.clear();
    }
    QList<qint64> times;

private:
    test::FakeWaitClock &m_clock;
};

// The console as the pop-up sees it: the lamp and the closing pattern.
class RunnerMain : public test::FakeMainWindow {
public:
    explicit RunnerMain(test::FakeWaitClock &clock) : m_clock(clock) {}
    void setLamp(bool lit) override
    {
        lamp << (lit ? QStringLiteral("lit") : QStringLiteral("out"));
    }
    void frmReturn() override
    {
        returnTimes << m_clock.now;
        SendClosingPattern();
    }
    QStringList lamp;
    QList<qint64> returnTimes;

private:
    test::FakeWaitClock &m_clock;
};

} // namespace

class RunMcrTest : public QObject {
    Q_OBJECT

private:
    test::InstalledDialogs dialogs;
    test::FakeWaitClock clock;
    TimedLink link{clock};
    RunnerMain main{clock};
    frmRunMcr *popup = nullptr;

    void writeMacro(const QString &name, const QByteArray &bytes)
    {
        QVERIFY(test::WriteBytes(InProgramFolder(name), bytes));
    }
    void select(const QString &name)
    {
        const QList<QListWidgetItem *> found = popup->File1->findItems(name, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        popup->File1->setCurrentItem(found.first());
    }
    QRect itemRect(const QString &name)
    {
        const QList<QListWidgetItem *> found = popup->File1->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? QRect() : popup->File1->visualItemRect(found.first());
    }
    void sendMouse(QEvent::Type type, Qt::MouseButton button, const QPoint &at)
    {
        QWidget *vp = popup->File1->viewport();
        QMouseEvent e(type, at, vp->mapToGlobal(at), button,
                      type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
        QApplication::sendEvent(vp, &e);
    }
    void showPopup()
    {
        popup->showRunner();
        QVERIFY(QTest::qWaitForWindowExposed(popup, test::kFirstWindowMs));
    }

private slots:
    void initTestCase()
    {
        SetMainWindow(&main);
        SetCommLink(&link);
        popup = new frmRunMcr;
    }
    void cleanupTestCase()
    {
        delete popup;
        SetCommLink(nullptr);
        SetMainWindow(nullptr);
    }
    void init()
    {
        AbortSend = false;
        SoundsOn = false;
        MinOnStart = false;
        MainView = true;
        main.tips = false;
        main.lamp.clear();
        main.returnTimes.clear();
        clock.onProcessEvents = nullptr;
        dialogs.messages.clear();
        QDir folder(ProgramFolder());
        for (const QString &name : folder.entryList(QDir::Files))
            folder.remove(name);
        QFile::remove(ErrorLogPath());
        link.reset();
    }
    void cleanup()
    {
        popup->hide();
        AbortSend = false;
        clock.onProcessEvents = nullptr;
        // No error is ever put before the user.
        QCOMPARE(dialogs.messages, QStringList());
    }

    void listsTheMacroFilesOfTheProgramFolder()
    {
        writeMacro(QStringLiteral("b.cro"), {});
        writeMacro(QStringLiteral("A.cro"), {});
        writeMacro(QStringLiteral("LIGHTS.CRO"), {});
        writeMacro(QStringLiteral("notes.txt"), {});
        writeMacro(QStringLiteral("b.cro.bak"), {});
        QVERIFY(QDir(ProgramFolder()).mkpath(QStringLiteral("folder.cro")));
        showPopup();
        QCOMPARE(popup->windowTitle(), QStringLiteral(" Run"));
        QCOMPARE(popup->folder(), ProgramFolder());
        auto names = [this] {
            QStringList list;
            for (int i = 0; i < popup->File1->count(); ++i)
                list << popup->File1->item(i)->text();
            return list;
        };
        QCOMPARE(names(), (QStringList{"A.cro", "b.cro", "LIGHTS.CRO"}));

        // Showing it again reads the folder again and keeps the chosen file.
        select(QStringLiteral("b.cro"));
        writeMacro(QStringLiteral("c.cro"), {});
        QFile::remove(InProgramFolder(QStringLiteral("A.cro")));
        popup->showRunner();
        QCOMPARE(names(), (QStringList{"b.cro", "c.cro", "LIGHTS.CRO"}));
        QCOMPARE(popup->selectedFileName(), QStringLiteral("b.cro"));
        QDir(ProgramFolder()).rmdir(QStringLiteral("folder.cro"));
    }

    void doubleClickPlaysEveryLineWithItsPause_data()
    {
        QTest::addColumn<QStringList>("pauses");
        QTest::addColumn<QList<double>>("gaps"); // end of a frame to start of the next
        QTest::addColumn<double>("closing");     // end of the last frame to the closing pattern
        QTest::newRow("two lines") << QStringList{"0001", "0.50"} << QList<double>{1.0} << 0.45;
        QTest::newRow("three lines")
            << QStringList{"0001", "0.50", "0002"} << QList<double>{1.0, 0.5} << 1.95;
        QTest::newRow("fraction of 10 s and more")
            << QStringList{"12.5", "0003"} << QList<double>{12.5} << 2.95;
        // Pauses below 0.15 s keep frames 0.15 s apart.
        QTest::newRow("short pauses")
            << QStringList{"0000", "0.10", "0000"} << QList<double>{0.15, 0.15} << 0.1;
    }
    void doubleClickPlaysEveryLineWithItsPause()
    {
        QFETCH(QStringList, pauses);
        QFETCH(QList<double>, gaps);
        QFETCH(double, closing);
        QByteArray bytes;
        QString expected = kLead;
        for (int i = 0; i < pauses.size(); ++i) {
            const QString code = i % 2 ? kOff : kOn;
            bytes += Line(code, pauses.at(i).toLatin1().constData());
            expected += Frame(code);
        }
        writeMacro(QStringLiteral("play.cro"), bytes);
        showPopup();
        const QPoint at = itemRect(QStringLiteral("play.cro")).center();
        sendMouse(QEvent::MouseButtonPress, Qt::LeftButton, at);
        sendMouse(QEvent::MouseButtonRelease, Qt::LeftButton, at);
        sendMouse(QEvent::MouseButtonDblClick, Qt::LeftButton, at);
        sendMouse(QEvent::MouseButtonRelease, Qt::LeftButton, at);

        QCOMPARE(link.decodedBits(), expected + kClose + kClose);
        QVERIFY(!popup->isVisible());
        QStringList lamp;
        for (int i = 0; i < pauses.size(); ++i)
            lamp << "lit"
                 << "out";
        lamp << "out"; // and out once more at the end of the run
        QCOMPARE(main.lamp, lamp);

        // The first frame follows the lead-in after 0.05 s.
        QVERIFY(qAbs(link.gap(kLead.size() - 1, kLead.size()) - (0.05 + kSenderWait)) < 0.002);
        for (int i = 0; i < gaps.size(); ++i) {
            const int end = kLead.size() + 40 * (i + 1) - 1;
            const double gap = link.gap(end, end + 1) - kSenderWait;
            QVERIFY2(qAbs(gap - gaps.at(i)) < 0.002, qPrintable(QString::number(gap)));
        }
        const int lastEnd = kLead.size() + 40 * int(pauses.size()) - 1;
        QCOMPARE(main.returnTimes.size(), 1);
        const double toClose =
            double(main.returnTimes.first() - link.times.at(4 * lastEnd + 3)) / 1e9;
        QVERIFY2(qAbs(toClose - closing) < 0.002, qPrintable(QString::number(toClose)));
    }

    void runsThatEndEarlyOrSendNoFrame_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("pick"); // "" = nothing selected
        QTest::addColumn<bool>("removeFirst");
        QTest::addColumn<QString>("bits");
        QTest::newRow("empty macro") << QByteArray() << "m.cro" << false << kLead + kClose + kClose;
        QTest::newRow("nothing selected") << Line(kOn, "0001") << "" << false << kLead;
        QTest::newRow("file gone since listed") << Line(kOn, "0001") << "m.cro" << true << kLead;
        QTest::newRow("pause not a number")
            << Line(kOn, "0000") + Line(kOff, "soon") + Line(kOn, "0000") << "m.cro" << false
            << kLead + Frame(kOn);
    }
    void runsThatEndEarlyOrSendNoFrame()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, pick);
        QFETCH(bool, removeFirst);
        QFETCH(QString, bits);
        writeMacro(QStringLiteral("m.cro"), bytes);
        showPopup();
        popup->File1->clearSelection();
        if (!pick.isEmpty())
            select(pick);
        if (removeFirst)
            QFile::remove(InProgramFolder(pick));
        popup->CroSend();
        QCOMPARE(link.decodedBits(), bits);
        QCOMPARE(main.returnTimes.isEmpty(), !bits.endsWith(kClose));
        // The lamp is never left lit.
        QVERIFY(main.lamp.isEmpty() || main.lamp.last() == QStringLiteral("out"));
    }

    void malformedLinesAreSkippedAndLogged()
    {
        writeMacro(QStringLiteral("bad.cro"), Line(kOn, "0000") + "\"0100\"\r\n" +
                                                  Line(QStringLiteral("0110000000200000"), "0000") +
                                                  Line(kOff, "0000"));
        showPopup();
        select(QStringLiteral("bad.cro"));
        popup->CroSend();
        QCOMPARE(link.decodedBits(), kLead + Frame(kOn) + Frame(kOff) + kClose + kClose);
        QCOMPARE(test::ReadBytes(ErrorLogPath()).count("Logged:"), 2);
    }

    void exitDuringARunStopsIt()
    {
        writeMacro(QStringLiteral("long.cro"), Line(kOn, "0005") + Line(kOff, "0005"));
        showPopup();
        select(QStringLiteral("long.cro"));
        // Exit begins inside the pause after the first frame.
        clock.onProcessEvents = [this] {
            if (link.decodedBits().size() >= kLead.size() + 40)
                AbortSend = true;
        };
        const qint64 start = clock.now;
        popup->CroSend();
        QCOMPARE(link.decodedBits(), kLead + Frame(kOn));
        QVERIFY(main.returnTimes.isEmpty());
        QVERIFY(clock.elapsedSeconds(start) < 1.0);

        // After exit has begun a new run sends nothing at all.
        link.reset();
        popup->CroSend();
        QCOMPARE(link.decodedBits(), QString());
    }

    void enterPlaysThenHides()
    {
        writeMacro(QStringLiteral("one.cro"), Line(kOn, "0001"));
        showPopup();
        select(QStringLiteral("one.cro"));
        bool visibleWhilePlaying = false;
        clock.onProcessEvents = [&] { visibleWhilePlaying |= popup->isVisible(); };
        QTest::keyClick(popup->File1, Qt::Key_Return);
        QCOMPARE(link.decodedBits(), kLead + Frame(kOn) + kClose + kClose);
        QVERIFY(visibleWhilePlaying);
        QVERIFY(!popup->isVisible());
    }

    void rightClickOrLeavingTheListHides()
    {
        writeMacro(QStringLiteral("one.cro"), Line(kOn, "0001"));
        showPopup();
        sendMouse(QEvent::MouseButtonPress, Qt::RightButton, itemRect("one.cro").center());
        QVERIFY(!popup->isVisible());

        showPopup();
        QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(popup->File1, &out);
        QVERIFY(!popup->isVisible());
        QCOMPARE(link.decodedBits(), QString());
    }

    void theConsoleGetsTheFocusBackAfterARun_data()
    {
        QTest::addColumn<bool>("mainView");
        QTest::addColumn<bool>("minOnStart");
        QTest::addColumn<bool>("focused");
        QTest::newRow("console view") << true << false << true;
        QTest::newRow("favourites view") << false << false << false;
        QTest::newRow("kept in the tray") << true << true << false;
    }
    void theConsoleGetsTheFocusBackAfterARun()
    {
        QFETCH(bool, mainView);
        QFETCH(bool, minOnStart);
        QFETCH(bool, focused);
        writeMacro(QStringLiteral("one.cro"), Line(kOn, "0000"));
        main.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main.window, test::kFirstWindowMs));
        showPopup();
        QVERIFY(QTest::qWaitForWindowActive(popup, test::kFirstWindowMs));
        select(QStringLiteral("one.cro"));
        MainView = mainView;
        MinOnStart = minOnStart;
        QTest::keyClick(popup->File1, Qt::Key_Return);
        QCOMPARE(link.decodedBits(), kLead + Frame(kOn) + kClose + kClose);
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::activeWindow() == &main.window, focused);
        main.window.hide();
    }

    void toolTipFollowsTheConsoleTipsSwitch()
    {
        writeMacro(QStringLiteral("one.cro"), {});
        showPopup();
        main.tips = true;
        sendMouse(QEvent::MouseMove, Qt::NoButton, QPoint(5, 5));
        QCOMPARE(popup->File1->toolTip(),
                 LangTip(QStringLiteral("Double Click macro to run, right click to close")));
        main.tips = false;
        sendMouse(QEvent::MouseMove, Qt::NoButton, QPoint(6, 6));
        QCOMPARE(popup->File1->toolTip(), QString());
    }
};

QELT_TEST_MAIN(RunMcrTest)
#include "tst_frmRunMcr.moc"
