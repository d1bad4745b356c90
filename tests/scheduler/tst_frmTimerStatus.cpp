#include "tests/support/Bounds.h"
#include "tests/support/FileBytes.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include "core/Dialogs.h"
#include "core/EventControls.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SchedulerClock.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "scheduler/frmTimerStatus.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

using namespace qelt;

namespace {

class FixedWallClock : public WallClock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 8), QTime(19, 5, 9)); }
};

// Waits advance a counter instead of the real clock.
class InstantWaitClock : public WaitClock {
public:
    qint64 nowNs() const override { return m_ns; }
    void processEvents() override {}
    void sleepMs(int ms) override { m_ns += qint64(ms) * 1000000; }
    void holdNs(qint64 ns) override { m_ns += ns; }

private:
    qint64 m_ns = 0;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void sendEnter(QWidget *w)
{
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(w, &e);
}

} // namespace

class TimerStatusTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SetWallClock(&m_wall);
        SetWaitClock(&m_wait);
        m_dialogs.inputOk = true;
        SetDialogProvider(&m_dialogs);
        SoundsOn = false;
        LangFile = InProgramFolder("language.ini");
    }
    void cleanupTestCase()
    {
        SetDialogProvider(nullptr);
        SetWaitClock(nullptr);
        SetWallClock(nullptr);
    }

    void opensInStatusViewAndSwitches()
    {
        DeleteSet("Settings", "LogStatus");
        frmTimerStatus w;
        QVERIFY(w.statusView());
        QCOMPARE(w.Label4->text(), QString("Show Log"));
        QCOMPARE(w.lblLabel->text(), QString("Timer Status"));
        QVERIFY(w.Text1->isHidden());
        QVERIFY(w.lblSave->isHidden());
        QVERIFY(!w.txtLoopT->isHidden());

        w.Label4_Click();
        QVERIFY(!w.statusView());
        QCOMPARE(w.Label4->text(), QString("Show Status"));
        QCOMPARE(w.lblLabel->text(), QString("Timer Log"));
        QVERIFY(!w.Text1->isHidden());
        QVERIFY(!w.lblPrint->isHidden());
        QVERIFY(!w.Text2[0]->isHidden()); // the switch does not hide the status rows
        QCOMPARE(GetSet("Settings", "LogStatus"), QString("0"));

        frmTimerStatus again; // the view persists
        QVERIFY(!again.statusView());
        again.Label4_Click();
        QCOMPARE(GetSet("Settings", "LogStatus"), QString("1"));

        // The redraw switches twice, so the view stays; the click sound comes
        // back from its setting and the rows show from the top.
        ClickSound = "muted";
        again.iRefresh();
        QVERIFY(again.statusView());
        QCOMPARE(ClickSound, InProgramFolder("click.wav"));
        QCOMPARE(again.Text3.text(), QString("0"));
    }

    // Longer captions of another language neither cover each other nor pass
    // the window's edge; the English ones keep their places.
    void longerCaptionsStayReadableInTheirRows()
    {
        auto rowsOf = [](frmTimerStatus &w) {
            return QList<QList<QLabel *>>{{w.Label2, w.Label3},
                                          {w.Label4, w.lblSave, w.lblAppend, w.Label1, w.lblPrint}};
        };
        {
            frmTimerStatus english;
            QList<int> x;
            for (const auto &row : rowsOf(english))
                for (QLabel *l : row)
                    x << l->x();
            QCOMPARE(x, (QList<int>{175, 245, 9, 100, 158, 198, 260}));
        }
        const QString ini = InProgramFolder("language.ini");
        {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Labels & Captions]\r\nMinimize=Minimieren\r\nClose=Schlie\xdf"
                    "en\r\nShow Status=Protokoll\r\nShow Log=Protokoll\r\nSave As=Sichern\r\n"
                    "Clear=Leeren\r\nSelect All=Markieren\r\nPrint=Drucken\r\n");
        }
        auto cleanup = qScopeGuard([&] { QFile::remove(ini); });
        frmTimerStatus w;
        for (int view = 0; view < 2; ++view) {
            w.Label4_Click();
            for (const auto &row : rowsOf(w)) {
                for (qsizetype i = 0; i < row.size(); ++i) {
                    const QLabel *l = row[i];
                    QVERIFY2(l->x() >= 0 && l->x() + l->width() <= w.width(),
                             qPrintable(l->text()));
                    if (i > 0)
                        QVERIFY2(row[i - 1]->x() + row[i - 1]->width() <= l->x(),
                                 qPrintable(l->text()));
                }
            }
        }
        QCOMPARE(w.lblPrint->text(), QString("Drucken"));
    }

    // At the window's own size every line of a status row can be read: the
    // "Success" line after a long action as well as the action itself.
    void everyLineOfAStatusRowIsInView()
    {
        DeleteSet("Settings", "LogStatus");
        frmTimerStatus w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w, test::kFirstWindowMs));
        QVERIFY(w.statusView());
        const QStringList texts = {
            "Timer 1, Set For Everyday at 9:47:23 PM\r\n\t(Evening lights.cro)\r\n\tSuccess",
            "Timer 2, Set For Sun - Thu at 12:00:00 AM\r\n\t(Porch, garden and driveway "
            "lights.cro)\r\n\tERROR",
            "Timer 3, Set For Weekdays at SS-75\r\n\t(Group 8 Off)\r\n",
            "Timer 4, OFF \r\n",
        };
        for (int i = 0; i < texts.size(); ++i)
            w.setStatus(i, texts[i], QColor(0, 0xFF, 0));
        QCoreApplication::processEvents();
        for (int i = 0; i < texts.size(); ++i) {
            QPlainTextEdit *box = w.Text2[i];
            QVERIFY(w.statusRowVisible(i));
            QCOMPARE(box->verticalScrollBar()->value(), 0);
            for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next()) {
                if (b.text().isEmpty())
                    continue;
                for (const int at : {b.position(), b.position() + b.length() - 1}) {
                    QTextCursor c(box->document());
                    c.setPosition(at);
                    const QRect r = box->cursorRect(c);
                    QVERIFY2(r.top() >= 0 && r.bottom() <= box->viewport()->height() &&
                                 r.right() <= box->viewport()->width(),
                             qPrintable(QString("row %1, \"%2\"").arg(i).arg(b.text())));
                }
            }
        }
        w.hide();
    }

    void statusRowsScrollAndClamp()
    {
        frmTimerStatus w;
        QCOMPARE(w.statusRowCount(), 6);
        QVERIFY(!w.VSEvents->isEnabled());
        for (int i = 0; i < 6; ++i)
            QVERIFY(w.statusRowVisible(i));

        w.setStatus(2, "Timer 3, OFF \r\n", QColor(0xFF, 0xFF, 0));
        QCOMPARE(w.statusText(2), QString("Timer 3, OFF \r\n"));
        QCOMPARE(w.statusColor(2), QColor(0xFF, 0xFF, 0));
        w.setStatus(40, "ignored", Qt::red); // no such row: nothing happens

        for (int i = 0; i < 4; ++i)
            w.addStatusRow();
        QCOMPARE(w.statusRowCount(), 10);
        QCOMPARE(w.statusText(9), QString("Status not set!"));
        QCOMPARE(w.VSEvents->maximum(), 4);
        QVERIFY(w.VSEvents->isEnabled());

        w.VSEvents->setValue(4);
        QCOMPARE(w.Text3.text(), QString("4"));
        for (int i = 0; i < 10; ++i)
            QCOMPARE(w.statusRowVisible(i), i >= 4);
        QCOMPARE(w.Text2[4]->y(), 136);
        QCOMPARE(w.Text2[5]->y(), 136 + 47);

        w.Text3.setText("abc"); // not a number: nothing changes
        QVERIFY(w.statusRowVisible(9));
        w.Text3.setText("-3"); // negative: from the top, and the box reads "0"
        QCOMPARE(w.Text3.text(), QString("0"));
        for (int i = 0; i < 10; ++i)
            QCOMPARE(w.statusRowVisible(i), i < 6);

        w.removeLastStatusRow();
        QCOMPARE(w.statusRowCount(), 9);
        QCOMPARE(w.VSEvents->maximum(), 3);
        w.VSEvents->setValue(3);
        w.setStatusRowCount(3); // never fewer than six, shown from the top
        QCOMPARE(w.statusRowCount(), 6);
        QVERIFY(!w.VSEvents->isEnabled());
        QCOMPARE(w.VSEvents->value(), 0);
        QCOMPARE(w.Text3.text(), QString("0"));
    }

    void labelButtonColours()
    {
        frmTimerStatus w;
        w.Check1->setChecked(false); // log view: all label-buttons shown
        const QColor red(0xFF, 0, 0), green(0, 0xFF, 0), yellow(0xFF, 0xFF, 0);
        for (QLabel *l : {static_cast<QLabel *>(w.lblSave), static_cast<QLabel *>(w.Label3),
                          static_cast<QLabel *>(w.Label4)})
            QCOMPARE(frmTimerStatus::TextColorOf(l), red);

        sendEnter(w.lblSave);
        QCOMPARE(frmTimerStatus::TextColorOf(w.lblSave), green);
        sendEnter(w.Label4);
        QCOMPARE(frmTimerStatus::TextColorOf(w.Label4), yellow);
        QVERIFY(w.Label4->font().bold());
        QTest::mousePress(w.Label1, Qt::LeftButton);
        QCOMPARE(frmTimerStatus::TextColorOf(w.Label1), yellow);
        QTest::mouseRelease(w.Label1, Qt::LeftButton);
        sendEnter(w.chkSaveLog);
        QCOMPARE(frmTimerStatus::TextColorOf(w.lblSaveLog), green);

        // Moving over the window's free area puts them all back to red.
        QMouseEvent move(QEvent::MouseMove, QPointF(150, 424), QPointF(150, 424), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &move);
        for (QLabel *l : {static_cast<QLabel *>(w.lblSave), static_cast<QLabel *>(w.Label1),
                          static_cast<QLabel *>(w.Label4), static_cast<QLabel *>(w.lblSaveLog)})
            QCOMPARE(frmTimerStatus::TextColorOf(l), red);
        QVERIFY(!w.Label4->font().bold());
    }

    void logTextSelectAllAndClear()
    {
        frmTimerStatus w;
        w.logFile = TimerLogFile(InProgramFolder("clear.log"));
        QFile::remove(w.logFile.path());
        w.setLogText(QString());
        w.appendLog("\r\n12/8/2026 7:05:09 PM\r\nTimer 1: File Not Found!\r\n");
        w.appendLog("\r\n   Timer 1: Ended\r\n");
        const QString expected =
            "\r\n12/8/2026 7:05:09 PM\r\nTimer 1: File Not Found!\r\n\r\n   Timer 1: Ended\r\n";
        QCOMPARE(w.logText(), expected);

        w.Check1->setChecked(false); // log view
        w.Label1_Click();
        QCOMPARE(w.Text1->textCursor().selectionStart(), 0);
        QCOMPARE(w.Text1->textCursor().selectedText().size(), w.Text1->toPlainText().size());

        // Clear with auto-save off empties the log and writes nothing.
        w.chkSaveLog->setChecked(false);
        w.lblAppend_Click();
        QCOMPARE(w.logText(), QString());
        QVERIFY(readAll(w.logFile.path()).isEmpty());

        // With auto-save on the save block is appended after earlier content.
        QFile f(w.logFile.path());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\"earlier\"\r\n");
        f.close();
        w.chkSaveLog->setChecked(true);
        w.setLogText("entry");
        w.lblAppend_Click();
        QCOMPARE(w.logText(), QString());
        QCOMPARE(readAll(w.logFile.path()),
                 "\"earlier\"\r\n" + TimerLogFile::SaveBlock("entry", m_wall.now()).toUtf8());

        // When the file cannot be written the log stays and the user is told.
        m_dialogs.infos.clear();
        w.logFile = TimerLogFile(InProgramFolder("missing folder/TimerLog.log"));
        w.setLogText("keep me");
        w.lblAppend_Click();
        QCOMPARE(w.logText(), QString("keep me"));
        QCOMPARE(m_dialogs.infos.size(), 1);
    }

    void autosaveMovesOrKeepsLines()
    {
        SaveSet("Settings", "MaxLogSize", "3");
        SaveSet("Settings", "KeepLogSize", "1");
        SaveSet("Settings", "TrimTimerLog", "0");
        frmTimerStatus w;
        w.chkSaveLog->setChecked(true);
        w.logFile = TimerLogFile(InProgramFolder("auto.log"));
        QFile::remove(w.logFile.path());
        w.setLogText("a\r\nb\r\nc\r\nd\r\ne\r\nf");
        w.tmrLogWrite_Timer();
        QCOMPARE(w.logText(), QString("\r\ne\r\nf"));
        QCOMPARE(readAll(w.logFile.path()),
                 TimerLogFile::AutosaveBlock({"a", "b", "c", "d"}, m_wall.now()).toUtf8());
        QCOMPARE(frmTimerStatus::TextColorOf(w.lblSaveLog), QColor(0xFF, 0, 0));

        w.logFile = TimerLogFile(InProgramFolder("missing folder/TimerLog.log"));
        w.setLogText("a\r\nb\r\nc\r\nd\r\ne\r\nf");
        w.tmrLogWrite_Timer();
        QCOMPARE(w.logText(), QString("a\r\nb\r\nc\r\nd\r\ne\r\nf"));
        w.chkSaveLog->setChecked(false); // nothing to save: the old lines go anyway
        w.tmrLogWrite_Timer();
        QCOMPARE(w.logText(), QString("\r\ne\r\nf"));
        for (const char *k : {"MaxLogSize", "KeepLogSize", "TrimTimerLog"})
            DeleteSet("Settings", k);
    }

    void saveAsAndPrint()
    {
        frmTimerStatus w;
        w.setLogText("saved entry");
        m_dialogs.infos.clear();

        m_dialogs.inputAnswer = "../outside";
        w.lblSave_Click();
        QCOMPARE(m_dialogs.infos.size(), 1);
        QVERIFY(!QFile::exists(InProgramFolder("../outside.log")));

        m_dialogs.inputAnswer = "";
        w.lblSave_Click();
        QVERIFY(!QFile::exists(InProgramFolder(".log")));

        m_dialogs.inputAnswer = "Timer";
        w.lblSave_Click();
        QCOMPARE(readAll(InProgramFolder("Timer.log")),
                 TimerLogFile::SaveBlock("saved entry", m_wall.now()).toUtf8());

        // On a failing disk the earlier save stays whole and the user is told;
        // Clear keeps the log on screen and the log file as it was.
        const QByteArray saved = readAll(InProgramFolder("Timer.log"));
        w.show();
        w.logFile = TimerLogFile(InProgramFolder("TimerLog.log"));
        QVERIFY(test::WriteBytes(w.logFile.path(), "\"earlier\"\r\n"));
        w.chkSaveLog->setChecked(true);
        for (const auto kind : {SaveFault::DiskFull, SaveFault::Flush}) {
            test::ScopedSaveFault fault(kind, ".log", 20);
            m_dialogs.infos.clear();
            w.setLogText(QString(500, 'n'));
            QTest::mouseClick(w.lblSave, Qt::LeftButton);
            QCOMPARE(readAll(InProgramFolder("Timer.log")), saved);
            QTest::mouseClick(w.lblAppend, Qt::LeftButton);
            QCOMPARE(w.logText(), QString(500, 'n'));
            QCOMPARE(readAll(w.logFile.path()), QByteArray("\"earlier\"\r\n"));
            QCOMPARE(m_dialogs.infos.size(), 2);
            QVERIFY(m_dialogs.infos[0].startsWith("The log could not be saved:"));
        }
        {
            test::ScopedSaveFault fault(SaveFault::Rename, "Timer.log");
            QTest::mouseClick(w.lblSave, Qt::LeftButton);
            QCOMPARE(fault.hits(), 1);
            QCOMPARE(readAll(InProgramFolder("Timer.log")), saved);
        }
        w.setLogText("saved entry");

        // Without a printer the log goes to the PDF file the user names.
        m_dialogs.saveAnswer = InProgramFolder("log.pdf");
        w.lblPrint_Click();
        if (QPrinterInfo::defaultPrinter().isNull())
            QVERIFY(readAll(m_dialogs.saveAnswer).startsWith("%PDF-"));
    }

    // Twips are finer than pixels: a place read and written back unchanged
    // keeps its stored number instead of drifting to a multiple of 15, and
    // a place never stored stores its default. One left by a larger screen
    // brings the whole window back on this one.
    void unchangedPlaceKeepsItsStoredNumber()
    {
        const QRect screen(0, 0, 800, 800);
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), screen);
        const struct {
            const char *left, *top; // stored before, nullptr for none
            QPoint place;
            const char *storedLeft, *storedTop;
        } cases[] = {
            {"500", "100", {33, 6}, "500", "100"},
            {nullptr, nullptr, {33, 33}, "500", "500"},
            // The window is 294 x 428 pixels.
            {"30000", "30000", {800 - 294, 800 - 428}, "7590", "5580"},
        };
        for (const auto &c : cases) {
            for (const char *key : {"TimerLogL", "TimerLogT"})
                DeleteSet("Settings", key);
            if (c.left) {
                SaveSet("Settings", "TimerLogL", c.left);
                SaveSet("Settings", "TimerLogT", c.top);
            }
            frmTimerStatus w;
            w.logFile = TimerLogFile(InProgramFolder("place.log"));
            QCOMPARE(w.frameGeometry().topLeft(), c.place);
            QVERIFY(screen.contains(w.frameGeometry()));
            w.unload();
            QCOMPARE(GetSet("Settings", "TimerLogL"), QString(c.storedLeft));
            QCOMPARE(GetSet("Settings", "TimerLogT"), QString(c.storedTop));
        }
    }

    void unloadSavesLogAndPlace()
    {
        SaveSet("Settings", "TimerLogL", "-200");
        frmTimerStatus w;
        QCOMPARE(w.x(), 0); // pulled back onto the screen
        w.logFile = TimerLogFile(InProgramFolder("unload.log"));
        QFile::remove(w.logFile.path());
        w.chkSaveLog->setChecked(true);
        w.setLogText("last words");
        w.unload();
        QVERIFY(w.isHidden());
        QCOMPARE(GetSet("Settings", "TimerLogS"), QString("1"));
        QCOMPARE(GetSet("Settings", "TimerLogL"), QString("0"));
        QCOMPARE(readAll(w.logFile.path()),
                 TimerLogFile::SaveBlock("last words", m_wall.now()).toUtf8());

        // A second unload does not append the log again; the autosave has ended.
        w.unload();
        QCOMPARE(readAll(w.logFile.path()),
                 TimerLogFile::SaveBlock("last words", m_wall.now()).toUtf8());
        QVERIFY(!w.tmrLogWrite->isActive());

        frmTimerStatus next;
        QVERIFY(next.chkSaveLog->isChecked());
    }

private:
    FixedWallClock m_wall;
    InstantWaitClock m_wait;
    test::ScriptedDialogs m_dialogs;
};

QELT_TEST_MAIN(TimerStatusTest)
#include "tst_frmTimerStatus.moc"
