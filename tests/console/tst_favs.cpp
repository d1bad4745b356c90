#include "console/frmFavs.h"

#include "core/EventControls.h"
#include "core/Tray.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "tests/support/Bounds.h"
#include "tests/support/DropFiles.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace qelt;

namespace {

QString Frame(const QString &code)
{
    return "1101010110101010" + code + "10101101";
}

int Rec(char house, int unit)
{
    return (house - 'A') * 16 + unit;
}

void ClearDevices()
{
    for (int r = 1; r <= 256; ++r)
        PutRec(r, QString());
}

} // namespace

class FavouritesTest : public QObject {
    Q_OBJECT

private:
    RecordingSerialLink link;
    frmFavs *favs = nullptr;

    QStringList Items(const QListWidget *list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

private slots:
    void initTestCase()
    {
        SoundsOn = false;
        QVERIFY(OpenDataFile(InProgramFolder("db.zvd")));
        link.setPortOpen(true);
        SetCommLink(&link);
        favs = &FavsWindow();
    }
    void cleanupTestCase()
    {
        SetCommLink(nullptr);
        CloseDataFile();
    }
    void init()
    {
        ClearDevices();
        PutRec(277, QString());
        link.clear();
        favs->tag.clear();
    }
    void cleanup()
    {
        if (favs->isLoaded())
            favs->Unload();
    }

    void listsFollowTheRecords_data()
    {
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("addresses");
        QTest::newRow("sorted") << true << QStringList{"Hall", "porch", "Porch"}
                                << QStringList{"A3", "B1", "C12"};
        QTest::newRow("record order")
            << false << QStringList{"porch", "Hall", "Porch"} << QStringList{"B1", "A3", "C12"};
    }
    void listsFollowTheRecords()
    {
        QFETCH(bool, sorted);
        QFETCH(QStringList, names);
        QFETCH(QStringList, addresses);
        // Deliberately out of house order: entries go by record number.
        PutRec(1, "B1## porch");
        PutRec(2, "A3## Hall");
        PutRec(3, "C12## Porch");
        PutRec(4, "D1## ");        // no name: not listed
        PutRec(5, "no separator"); // not listed
        PutRec(277, QString("10,0,%1").arg(sorted ? 1 : 0));
        favs->Load();
        QCOMPARE(favs->FavSorted, sorted);
        QCOMPARE(Items(sorted ? favs->lstFavs : favs->lstFavsUS), names);
        QCOMPARE(favs->lstFavsHC, addresses);
        QCOMPARE(favs->lstFavs->isVisible(), sorted);
        QCOMPARE(favs->lstFavsUS->isVisible(), !sorted);

        // Switching the order rebuilds the addresses for the other list.
        favs->chkSort->setChecked(!sorted);
        QCOMPARE(favs->FavSorted, !sorted);
        QCOMPARE(GetRec(277), QString("10,0,%1").arg(sorted ? 0 : 1));
    }

    void rowsFollowMaxVisible()
    {
        for (int i = 0; i < 25; ++i)
            PutRec(i + 1, QString("A%1## Device %2").arg(i % 16 + 1).arg(i, 2, 10, QChar('0')));
        PutRec(277, "10,0,1");
        favs->Load();
        QCOMPARE(favs->cmdON.size(), 10);
        QCOMPARE(favs->cmdOFF.size(), 10);
        QCOMPARE(favs->listHeightTwips(), 11 * 240);
        favs->txtMaxVis->setText("4");
        QCOMPARE(GetRec(277), QString("4,0,1"));
        favs->SetFavs();
        QCOMPARE(favs->cmdON.size(), 4);
        QCOMPARE(favs->listHeightTwips(), 5 * 240);
        favs->txtMaxVis->setText("10");
        favs->SetFavs();
        QCOMPARE(favs->cmdON.size(), 10);
        for (PressButton *b : favs->cmdON)
            QVERIFY(b->isVisible());
    }

    void noDevicesKeepTheDesignRow()
    {
        PutRec(277, "10,0,1");
        favs->Load();
        QCOMPARE(favs->lstFavs->count(), 0);
        QCOMPARE(favs->listHeightTwips(), 240);
        QCOMPARE(favs->cmdON.size(), 1);
    }

    void optionRecordIsReadAndRepaired_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("maxVis");
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("first open") << ""
                                    << "10" << true << "10,0,0";
        QTest::newRow("stored") << "7,0,0"
                                << "7" << false << "7,0,0";
        QTest::newRow("garbage") << "abc,x,yy"
                                 << "10" << true << "abc,x,yy";
        QTest::newRow("short") << "5"
                               << "5" << true << "10,0,0";
        QTest::newRow("too many rows") << "5000,0,1"
                                       << "10" << true << "5000,0,1";
    }
    void optionRecordIsReadAndRepaired()
    {
        QFETCH(QString, record);
        QFETCH(QString, maxVis);
        QFETCH(bool, sorted);
        QFETCH(QString, storedAfter);
        favs->txtMaxVis->setText("10");
        PutRec(277, record);
        favs->Load();
        QCOMPARE(favs->txtMaxVis->text(), maxVis);
        QCOMPARE(favs->FavSorted, sorted);
        QCOMPARE(GetRec(277), storedAfter);
    }

    void optionPartsThatAreNoOptionAreSkipped()
    {
        const FavOptions a = ParseFavOptions("12,1,0");
        QVERIFY(a.hasMaxVisible);
        QCOMPARE(a.maxVisible, QString("12"));
        QCOMPARE(a.onTop, 1);
        QCOMPARE(a.sort, 0);
        const FavOptions b = ParseFavOptions("x,2,");
        QVERIFY(!b.hasMaxVisible);
        QCOMPARE(b.onTop, -1);
        QCOMPARE(b.sort, -1);
        const FavOptions c = ParseFavOptions("-3");
        QVERIFY(!c.hasMaxVisible);
        QCOMPARE(c.onTop, -1);
    }

    void onOffAndBrightDimFrames()
    {
        test::FakeWaitClock clock;
        PutRec(Rec('C', 12), "C12## Porch");
        PutRec(Rec('A', 3), "A3## Hall");
        PutRec(1, "Z9## Broken");
        PutRec(277, "10,0,1");
        favs->Load();
        QCOMPARE(favs->lstFavsHC, QStringList({"Z9", "A3", "C12"}));

        // DIM and BRIGHT before any device was switched send nothing.
        clock.onProcessEvents = [&] { favs->FavHold = false; };
        favs->cmdBriDim_MouseDown(true);
        QVERIFY(link.changes.isEmpty());

        // A row whose address is no house and unit sends nothing.
        favs->cmdON_Click(0);
        QVERIFY(link.changes.isEmpty());
        QCOMPARE(favs->FavHouse, QString());

        favs->cmdON_Click(2);
        const QString c12On = CmdToCode("C", "12", "ON");
        QCOMPARE(link.decodedBits(), Frame(c12On));
        QCOMPARE(favs->FavHouse, QString("C"));
        QCOMPARE(favs->FavUnit, QString("12"));
        QCOMPARE(favs->FavHouseBits, c12On.left(8));
        QCOMPARE(favs->FavHouseBits.at(5), QChar('1'));

        link.clear();
        favs->cmdOFF_Click(1);
        QCOMPARE(link.decodedBits(), Frame(CmdToCode("A", "3", "OFF")));

        // A short press of BRIGHT sends exactly one frame, without the bank bit.
        link.clear();
        favs->cmdON_Click(2);
        link.clear();
        favs->cmdBriDim_MouseDown(false);
        QCOMPARE(link.decodedBits(),
                 "1101010110101010" + c12On.left(5) + "000" + UnitCodes(8, 0) + "10101101");
        // Held: one more frame for each 0.35 s wait, all the same.
        link.clear();
        const qint64 start = clock.now;
        clock.onProcessEvents = [&] {
            if (clock.now - start > 1'000'000'000)
                favs->FavHold = false;
        };
        favs->cmdBriDim_MouseDown(true);
        const QString dim =
            "1101010110101010" + c12On.left(5) + "000" + UnitCodes(8, 1) + "10101101";
        const QString bits = link.decodedBits();
        QVERIFY(bits.size() >= 2 * dim.size());
        QCOMPARE(bits, dim.repeated(bits.size() / dim.size()));
    }

    void buttonsFollowTheFirstVisibleRow()
    {
        test::FakeWaitClock clock;
        for (int i = 0; i < 12; ++i)
            PutRec(Rec('B', i + 1), QString("B%1## Name %2").arg(i + 1).arg(i, 2, 10, QChar('0')));
        PutRec(277, "3,0,1");
        favs->Load();
        QCOMPARE(favs->cmdON.size(), 3);
        favs->lstFavs->scrollToItem(favs->lstFavs->item(5), QAbstractItemView::PositionAtTop);
        QCoreApplication::processEvents();
        QCOMPARE(favs->firstVisibleRow(), 5);
        favs->cmdON_Click(0);
        QCOMPARE(link.decodedBits(), Frame(CmdToCode("B", "6", "ON")));
    }

    // The whole window, frame included, stays on the screen: its right
    // edge at the screen's right edge, not 2000 twips in from it.
    void positionIsKeptOnTheScreen()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 800));
        SaveSet("Settings", "FavLeft", "17000");
        SaveSet("Settings", "FavTop", "10");
        favs->Load();
        QCOMPARE(favs->frameGeometry().right(), 799);
        QCOMPARE(favs->y(), 85 / 15);
        favs->Unload();
        QCOMPARE(GetSet("Settings", "FavTop"), QString::number(favs->y() * 15));
        QVERIFY(!FavsView);
        QVERIFY(MainView);
    }

    void closingByTheUserBringsTheMainWindowBack()
    {
        int favsEnabled = 0;
        favs->hooks.setMnuFavsEnabled = [&](bool on) { favsEnabled += on ? 1 : 0; };
        // The only window on the screen (the console hides in this view):
        // closing it does not end the program. Closed inside the
        // application's own loop, where a last window's close quits.
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        favs->Load();
        favs->FavHouse = "C";
        QTimer::singleShot(0, favs, [this] {
            favs->close();
            QTimer::singleShot(20, qApp, [] { QCoreApplication::exit(0); });
        });
        QCoreApplication::exec();
        QCOMPARE(lastClosed.count(), 0);
        QVERIFY(!favs->isVisible());
        QVERIFY(!favs->isLoaded());
        QCOMPARE(favsEnabled, 1);
        QCOMPARE(favs->FavHouse, QString());

        favs->Load();
        favs->FavHouse = "C";
        favs->tag = "Unload";
        favs->close();
        QVERIFY(!favs->isLoaded());
        QCOMPARE(favsEnabled, 1);
        QCOMPARE(favs->FavHouse, QString("C"));

        // A close is never refused (the application's quit asks every window).
        favs->Load();
        QCloseEvent event;
        QApplication::sendEvent(favs, &event);
        QVERIFY(event.isAccepted());
        QVERIFY(!favs->isLoaded());
        favs->hooks = {};
    }

    void minimisedToTheTrayItStaysReachable()
    {
        favs->hooks.mnuMinToTrayChecked = [] { return true; };
        MinOnStart = false;
        favs->Load();
        QVERIFY(QTest::qWaitForWindowExposed(favs, test::kFirstWindowMs));
        favs->showMinimized();
        QVERIFY(MinOnStart);
        QVERIFY(TrayShown());
        QCoreApplication::processEvents(); // the deferred hide
        // Hidden behind the tray icon; where there is no tray, minimised on
        // the task bar rather than hidden for good.
        if (TrayAvailable())
            QVERIFY(!favs->isVisible());
        else
            QVERIFY(favs->isVisible() && favs->isMinimized());
        favs->hooks = {};
        TrayDelete();
        MinOnStart = false;
        favs->showNormal();
    }

    // A file dragged onto the favourites is answered as a copy, whatever
    // the dragging program proposes; its name goes to the console.
    void droppedFileIsTakenAsACopy_data() { test::AddDragRows(); }
    void droppedFileIsTakenAsACopy()
    {
        QFETCH(bool, taken);
        test::FakeMainWindow main;
        SetMainWindow(&main);
        const QString notes = InProgramFolder("notes.txt");
        test::DragFilesOfRow(favs, {notes});
        SetMainWindow(nullptr);
        QCOMPARE(main.received, taken ? QStringList{notes} : QStringList());
    }

    void addressesAreChecked()
    {
        QString h, u;
        QVERIFY(SplitFavAddress("C12", &h, &u));
        QCOMPARE(h + "|" + u, QString("C|12"));
        QVERIFY(SplitFavAddress(" p 16", &h, &u));
        for (const char *bad : {"", "Q1", "A0", "A17", "A", "AB", "A1x", "12", "A 012"})
            QVERIFY2(!SplitFavAddress(bad, &h, &u), bad);
    }
};

QELT_TEST_MAIN(FavouritesTest)
#include "tst_favs.moc"
