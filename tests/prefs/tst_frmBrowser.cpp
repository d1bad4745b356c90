#include "prefs/frmBrowser.h"

#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "prefs/PrefsServices.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

using namespace qelt;

namespace {

const QString kResources = QStringLiteral(QT_TESTCASE_SOURCEDIR "/../resources/");

QString Page(const QString &page)
{
    return InProgramFolder(page);
}

void CopyHelpPages(bool withEditorPage)
{
    for (const char *name : {"zyvHelp.html", "editorhelp.html"}) {
        QFile::remove(Page(QLatin1String(name)));
        if (withEditorPage || QLatin1String(name) != QLatin1String("editorhelp.html"))
            QVERIFY(QFile::copy(kResources + QLatin1String(name), Page(QLatin1String(name))));
    }
}

QStringList AddressList(const frmBrowser &w)
{
    QStringList items;
    for (int i = 0; i < w.cboAddress->count(); ++i)
        items << w.cboAddress->itemText(i);
    return items;
}

QString FileUrl(const QString &page, const QString &anchor = {})
{
    QUrl url = QUrl::fromLocalFile(Page(page));
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    return url.toString();
}

} // namespace

class TestFrmBrowser : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        CopyHelpPages(true);
        for (const char *key : {"HelpLeft", "HelpTop", "HelpWidth", "HelpHeight"})
            DeleteSet(QStringLiteral("Settings"), QLatin1String(key));
        if (frmBrowser *w = BrowserWindow())
            w->Form_Unload();
    }

    // Every page and anchor the program opens exists in the shipped pages.
    void shippedPagesHoldEveryAnchor()
    {
        const struct {
            const char *page;
            QStringList anchors;
        } pages[] = {
            {"zyvHelp.html",
             {"MainFormWindow", "CommunicationPortSetup", "GroupRecorder", "Timer", "TimersMnu",
              "Preferences", "SetupPanicButton", "Location", "Sounds", "Advanced", "RecordGroup"}},
            {"editorhelp.html", {"Create"}},
        };
        for (const auto &p : pages) {
            QFile f(kResources + QLatin1String(p.page));
            QVERIFY2(f.open(QIODevice::ReadOnly), p.page);
            const QString html = QString::fromUtf8(f.readAll());
            for (const QString &a : p.anchors)
                QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(a)),
                         qPrintable(QLatin1String(p.page) + "#" + a));
        }
    }

    void opensOnStartingAddressWithTitle()
    {
        HelpService *help = BrowserService();
        help->open(Page("zyvHelp.html#Timer"));
        frmBrowser *w = BrowserWindow();
        QVERIFY(w->isVisible());
        QCOMPARE(w->StartingAddress, Page("zyvHelp.html#Timer"));
        QCOMPARE(w->LocationURL(), FileUrl("zyvHelp.html", "Timer"));
        QCOMPARE(w->brwWebBrowser->source().adjusted(QUrl::RemoveFragment),
                 QUrl::fromLocalFile(Page("zyvHelp.html")));
        QCOMPARE(w->windowTitle(), QStringLiteral("Help Topics   Orvendale ( Help)"));
        QCOMPARE(AddressList(*w), QStringList{FileUrl("zyvHelp.html", "Timer")});
        QVERIFY(w->cmdEditor->isVisible());
        QVERIFY(w->spacer1->isVisible());
        QVERIFY(!w->txtSecure->isVisible());
        help->unload();
        QVERIFY(!w->isVisible());
    }

    void editorButtonOnlyWithEditorPage()
    {
        CopyHelpPages(false);
        BrowserService()->open(Page("zyvHelp.html"));
        QVERIFY(!BrowserWindow()->cmdEditor->isVisible());
        QVERIFY(!BrowserWindow()->spacer1->isVisible());
    }

    void positionKeptOnScreenAndSaved()
    {
        SaveSet("Settings", "HelpTop", "20");
        SaveSet("Settings", "HelpLeft", "-300");
        SaveSet("Settings", "HelpWidth", "10500");
        SaveSet("Settings", "HelpHeight", "4500");
        frmBrowser *w = BrowserWindow();
        BrowserService()->open(Page("zyvHelp.html"));
        QCOMPARE(w->pos(), QPoint(0, 85 / 15));
        QCOMPARE(w->size(), QSize(700, 300));

        w->move(30, 40);
        w->resize(750, 350);
        w->Form_Unload();
        QCOMPARE(GetSet("Settings", "HelpLeft"), QStringLiteral("450"));
        QCOMPARE(GetSet("Settings", "HelpTop"), QStringLiteral("600"));
        QCOMPARE(GetSet("Settings", "HelpWidth"), QStringLiteral("11250"));
        QCOMPARE(GetSet("Settings", "HelpHeight"), QStringLiteral("5250"));

        // Maximised or minimised: the stored place stays.
        for (Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowMinimized}) {
            BrowserService()->open(Page("zyvHelp.html"));
            w->setWindowState(state);
            QVERIFY(w->windowState() & state);
            BrowserService()->unload();
            QCOMPARE(GetSet("Settings", "HelpLeft"), QStringLiteral("450"));
            QCOMPARE(GetSet("Settings", "HelpTop"), QStringLiteral("600"));
        }
    }

    void addressListNewestFirstWithoutRepeats()
    {
        BrowserService()->open(Page("zyvHelp.html"));
        frmBrowser *w = BrowserWindow();
        w->cmdTimers->click();
        w->cmdComPort->click();
        w->cmdTimers->click();
        QCOMPARE(AddressList(*w), QStringList({FileUrl("zyvHelp.html", "Timer"),
                                               FileUrl("zyvHelp.html", "CommunicationPortSetup"),
                                               FileUrl("zyvHelp.html")}));
        QCOMPARE(w->cboAddress->currentIndex(), 0);

        // Choosing an entry opens it.
        w->cboAddress->setCurrentIndex(1);
        w->cboAddress_Click();
        QCOMPARE(w->LocationURL(), FileUrl("zyvHelp.html", "CommunicationPortSetup"));
        QCOMPARE(AddressList(*w).first(), FileUrl("zyvHelp.html", "CommunicationPortSetup"));
        QCOMPARE(AddressList(*w).size(), 3);
    }

    void topicsToolbarAndSnap()
    {
        BrowserService()->open(Page("zyvHelp.html#MainFormWindow"));
        frmBrowser *w = BrowserWindow();
        const struct {
            QPushButton *button;
            QString address;
        } topics[] = {
            {w->cmdMainWindow, Page("zyvHelp.html#MainFormWindow")},
            {w->cmdComPort, Page("zyvHelp.html#CommunicationPortSetup")},
            {w->cmdRecGroup, Page("zyvHelp.html#GroupRecorder")},
            {w->cmdTimers, Page("zyvHelp.html#Timer")},
            {w->cmdRecMacro, Page("editorhelp.html#Create")},
            {w->cmdEditor, Page("editorhelp.html")},
        };
        for (const auto &t : topics) {
            t.button->click();
            QCOMPARE(w->StartingAddress, t.address);
            QCOMPARE(w->brwWebBrowser->source().toLocalFile(), t.address.section('#', 0, 0));
        }
        // Snap returns to the last topic, not to the opening page.
        w->cmdRecGroup->click();
        w->BrwToolB_ButtonClick("Home");
        QCOMPARE(w->LocationURL(), FileUrl("zyvHelp.html"));
        w->BrwToolB_ButtonClick("Snap");
        QCOMPARE(w->LocationURL(), FileUrl("zyvHelp.html", "GroupRecorder"));

        // Back and forward walk the pages seen.
        w->cmdEditor->click();
        w->BrwToolB_ButtonClick("Back");
        QCOMPARE(w->brwWebBrowser->source(), QUrl(FileUrl("zyvHelp.html", "GroupRecorder")));
        QCOMPARE(AddressList(*w).first(), w->brwWebBrowser->source().toString());
        w->BrwToolB_ButtonClick("Forward");
        QCOMPARE(w->brwWebBrowser->source(), QUrl::fromLocalFile(Page("editorhelp.html")));

        w->BrwToolB_MouseDown();
        QCOMPARE(w->btnHome->toolTip(), QStringLiteral(" Top Level "));
        QCOMPARE(w->btnSnap->toolTip(), QStringLiteral(" Snap Back to Last Topic "));
        w->BrwToolB_ButtonClick("Exit");
        QVERIFY(!w->isVisible());
    }

    // Only pages in the program folder open; web addresses never do.
    void navigationGate()
    {
        BrowserService()->open(Page("zyvHelp.html"));
        frmBrowser *w = BrowserWindow();
        const QString shown = w->LocationURL();
        const QStringList refused = {
            QStringLiteral("http://example.invalid/program/x.html"),
            QStringLiteral("https://example.invalid/beta/contact.htm"),
            QStringLiteral("/etc/hostname"),
            Page("zyvHelp.html").replace("/program/", "/program/http/"),
        };
        for (const QString &a : refused) {
            QVERIFY2(!w->Navigate(a), qPrintable(a));
            QCOMPARE(w->LocationURL(), shown);
        }
        // A link clicked on a page goes through the same gate.
        emit w->brwWebBrowser->anchorClicked(QUrl("http://example.invalid/program/"));
        QCOMPARE(w->LocationURL(), shown);
        emit w->brwWebBrowser->anchorClicked(QUrl("editorhelp.html#Create"));
        QCOMPARE(w->LocationURL(), FileUrl("editorhelp.html", "Create"));
        emit w->brwWebBrowser->anchorClicked(QUrl("#Backup"));
        QCOMPARE(w->LocationURL(), FileUrl("editorhelp.html", "Backup"));
    }

    void missingPageShowsAMessage()
    {
        QFile::remove(Page("zyvHelp.html"));
        BrowserService()->open(Page("zyvHelp.html#Timer"));
        frmBrowser *w = BrowserWindow();
        QVERIFY(w->isVisible());
        QVERIFY(w->brwWebBrowser->toPlainText().contains(Page("zyvHelp.html")));
        QCOMPARE(AddressList(*w), QStringList{FileUrl("zyvHelp.html", "Timer")});
    }
};

QELT_TEST_MAIN(TestFrmBrowser)
#include "tst_frmBrowser.moc"
