#include "prefs/frmBrowser.h"

#include "core/services/PrefsServices.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "tests/support/Bounds.h"
#include "tests/support/FakeWaitClock.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QToolBar>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

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

// Runs a script in the shown page and waits (bounded) for its result.
QVariant Js(frmBrowser *w, const QString &script)
{
    bool done = false;
    QVariant result;
    w->brwWebBrowser->page()->runJavaScript(script, [&](const QVariant &v) {
        result = v;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, test::kPageLoadMs))
        qWarning("script did not finish: %s", qPrintable(script));
    return result;
}

void ClickTool(frmBrowser *w, QAction *action)
{
    QTest::mouseClick(w->BrwToolB->widgetForAction(action), Qt::LeftButton);
}

// The contact page, its first form in the element order the feedback
// report addresses by position; `without` names fields left out.
QByteArray ContactPage(const QStringList &without = {})
{
    QByteArray form = "<form action=\"/send\">";
    const QList<QByteArray> elements = {
        "<input name=\"recipient\" value=\"\">",                                  // 0
        "<input name=\"realname\">",                                              // 1
        "<input name=\"UserAddress\">",                                           // 2
        "<input name=\"Email\">",                                                 // 3
        "<textarea name=\"Comments\"></textarea>",                                // 4
        "<input name=\"UserTel\">",                                               // 5
        "<input type=\"hidden\" name=\"ContactRequested\">",                      // 6
        "<input type=\"radio\" name=\"MessageType\" value=\"Question\" checked>", // 7
        "<input type=\"radio\" name=\"MessageType\" value=\"Comment\">",          // 8
        "<input type=\"radio\" name=\"MessageType\" value=\"Bug\">",              // 9
        "<input type=\"checkbox\" name=\"copy\">",                                // 10
        "<input name=\"spare\">",                                                 // 11
        "<input name=\"subject\">",                                               // 12
    };
    for (const QByteArray &e : elements) {
        const QByteArray name = e.mid(e.indexOf("name=\"") + 6).split('"').value(0);
        if (!without.contains(QString::fromLatin1(name)))
            form += e;
    }
    return "<html><head><title>Contact</title></head><body>" + form + "</form></body></html>";
}

// Reads the form back: the fields by name and the checked radio.
QVariantMap FormValues(frmBrowser *w)
{
    return Js(w, QStringLiteral(R"JS(
        (function () {
            var f = document.forms[0], r = {};
            for (var i = 0; i < f.elements.length; ++i) {
                var e = f.elements[i];
                if (e.type === "radio") { if (e.checked) r.MessageType = e.value; }
                else if (e.type === "checkbox") r[e.name] = e.checked;
                else r[e.name] = e.value;
            }
            r.count = f.elements.length;
            return r;
        })())JS"))
        .toMap();
}

QByteArray LogEntry(int n, const QByteArray &text)
{
    return "\"\r\nLogged:  1/" + QByteArray::number(n % 28 + 1) + "/2026 10:00:00 AM\"\r\n\"\t" +
           text + "\"\r\n";
}

LocalHttpServer::Route HtmlRoute(int status, const QByteArray &body)
{
    LocalHttpServer::Route route{status, body};
    route.contentType = "text/html";
    return route;
}

// The settings file as a user's file holds it.
void WriteSettingsFile(const QByteArray &text)
{
    QFile f(SettingsFilePath());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(text), qint64(text.size()));
}

// The web engine's page processes of this program: the processes its
// helper processes (started by this one) have started in turn.
QList<int> PageProcesses()
{
    QHash<int, int> parentOf;
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool isPid = false;
        const int pid = entry.toInt(&isPid);
        QFile stat("/proc/" + entry + "/stat");
        if (!isPid || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (rest.size() > 1)
            parentOf.insert(pid, rest[1].toInt());
    }
    QList<int> pages;
    for (auto it = parentOf.cbegin(); it != parentOf.cend(); ++it) {
        if (parentOf.value(it.value()) == int(QCoreApplication::applicationPid()))
            pages << it.key();
    }
    return pages;
}

} // namespace

class TestFrmBrowser : public QObject {
    Q_OBJECT

    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<test::InstalledDialogs> dialogs;
    std::unique_ptr<test::FakeWaitClock> clock;
    QString programFolder;

    // Opens the help window on a page of the program folder.
    frmBrowser *openAt(const QString &page, const QString &anchor = {})
    {
        BrowserService()->open(Page(page) + (anchor.isEmpty() ? "" : "#" + anchor));
        frmBrowser *w = BrowserWindow();
        [&] {
            QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), FileUrl(page, anchor), test::kPageLoadMs);
        }();
        waitIdle(w);
        return w;
    }

    // Waits until the page has finished loading.
    static void waitIdle(frmBrowser *w)
    {
        QTRY_VERIFY_WITH_TIMEOUT(Js(w, "document.readyState").toString() == "complete",
                                 test::kPageLoadMs);
    }

    // Types an address over the one in the address box and presses Enter,
    // the keys going where the window system sends them: to the box, which
    // has the focus (its text field does not take it).
    static void typeAddress(frmBrowser *w, const QString &address)
    {
        w->cboAddress->setFocus();
        QTest::keyClick(w->cboAddress, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w->cboAddress, address);
        QTest::keyClick(w->cboAddress, Qt::Key_Return);
    }

    // The feedback start as the user makes it: "FB", then "Send Feedback",
    // answered Yes. Waits run on a clock that moves 5 ms for each real
    // millisecond, so the page has time to arrive and a page that never
    // comes ends the wait quickly.
    void sendFeedback(frmBrowser *w, bool realTime = true)
    {
        QTest::mouseClick(w->Label2, Qt::LeftButton);
        QVERIFY(w->cmdExit->isVisible());
        dialogs->answers = {1};
        clock->onProcessEvents = [realTime] {
            if (realTime)
                QThread::msleep(1);
        };
        QTest::mouseClick(w->cmdExit, Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        programFolder = ProgramFolder();
        // The view is made on the first opening, not with the window.
        frmBrowser fresh;
        QVERIFY(!fresh.brwWebBrowser);
    }

    void cleanupTestCase()
    {
        // The program's end, which lets the help window go before the web
        // engine's profile does.
        QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection));
    }

    void init()
    {
        SetProgramFolder(programFolder);
        CopyHelpPages(true);
        QFile::remove(Page("error.log"));
        for (const char *key : {"HelpLeft", "HelpTop", "HelpWidth", "HelpHeight"})
            DeleteSet(QStringLiteral("Settings"), QLatin1String(key));
        BrowserService()->unload();
        server = std::make_unique<LocalHttpServer>();
        qputenv("QELT_FEEDBACK_URL", server->baseUrl().toUtf8());
        dialogs = std::make_unique<test::InstalledDialogs>();
        clock = std::make_unique<test::FakeWaitClock>();
    }

    void cleanup()
    {
        BrowserService()->unload();
        clock.reset();
        dialogs.reset();
        server.reset();
        SetProgramFolder(programFolder);
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
        frmBrowser *w = openAt("zyvHelp.html", "Timer");
        QVERIFY(w->isVisible());
        QCOMPARE(w->StartingAddress, Page("zyvHelp.html#Timer"));
        QCOMPARE(w->LocationURL(), FileUrl("zyvHelp.html", "Timer"));
        QTRY_COMPARE_WITH_TIMEOUT(
            w->windowTitle(), QStringLiteral("Help Topics   Orvendale ( Help)"), test::kPageLoadMs);
        QCOMPARE(AddressList(*w), QStringList{FileUrl("zyvHelp.html", "Timer")});
        QVERIFY(w->cmdEditor->isVisible());
        QVERIFY(w->spacer1->isVisible());
        for (QWidget *hidden :
             {static_cast<QWidget *>(w->txtSecure), static_cast<QWidget *>(w->cmdExit),
              static_cast<QWidget *>(w->Command1)})
            QVERIFY(!hidden->isVisible());
        QCOMPARE(w->Label2->text(), QStringLiteral("FB"));
        QCOMPARE(w->btnHome->text(), QStringLiteral("Main"));
        QCOMPARE(w->btnSnap->text(), QStringLiteral("Snap Back"));
        BrowserService()->unload();
        QVERIFY(!w->isVisible());
    }

    void editorButtonOnlyWithEditorPage()
    {
        CopyHelpPages(false);
        frmBrowser *w = openAt("zyvHelp.html");
        QVERIFY(!w->cmdEditor->isVisible());
        QVERIFY(!w->spacer1->isVisible());
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

    // Closed without being moved, the window stores the place and size it
    // was opened with, not the pixels they came to. A place stored off the
    // screen and a size larger than it come back wholly on the screen.
    void unmovedWindowStoresItsPlaceAndStaysOnTheScreen()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 800));
        WriteSettingsFile("[Settings]\n");
        frmBrowser *w = openAt("zyvHelp.html");
        QCOMPARE(w->pos(), QPoint(100 / 15, 100 / 15));
        QCOMPARE(w->size(), QSize(10750 / 15, 8000 / 15));
        QVERIFY(w->close());
        QVERIFY(!w->isVisible());
        QCOMPARE(GetSet("Settings", "HelpLeft"), QStringLiteral("100"));
        QCOMPARE(GetSet("Settings", "HelpTop"), QStringLiteral("100"));
        QCOMPARE(GetSet("Settings", "HelpWidth"), QStringLiteral("10750"));
        QCOMPARE(GetSet("Settings", "HelpHeight"), QStringLiteral("8000"));

        // Left by a larger screen: 2000 x 1333 pixels at 2000, 2000.
        WriteSettingsFile("[Settings]\nHelpLeft=30000\nHelpTop=30000\nHelpWidth=30000\n"
                          "HelpHeight=20000\n");
        w = openAt("zyvHelp.html");
        // The offscreen screen's window frame is 2 pixels wide on every side.
        QCOMPARE(w->frameGeometry(), QRect(0, 0, 800, 800));
        QCOMPARE(w->geometry(), QRect(2, 2, 796, 796));
        QVERIFY(w->close());
        QCOMPARE(GetSet("Settings", "HelpLeft"), QStringLiteral("0"));
        QCOMPARE(GetSet("Settings", "HelpTop"), QStringLiteral("0"));
        QCOMPARE(GetSet("Settings", "HelpWidth"), QStringLiteral("11940"));
        QCOMPARE(GetSet("Settings", "HelpHeight"), QStringLiteral("11940"));
    }

    // "Send Feedback" and "Fill form" appearing leave the window as wide as
    // it was, with both buttons wholly inside it.
    void feedbackButtonsDoNotWidenTheWindow()
    {
        server->routes["/beta/contact.htm"] = HtmlRoute(200, ContactPage());
        frmBrowser *w = openAt("zyvHelp.html");
        QCOMPARE(w->width(), 716);
        QSignalSpy filled(w, &frmBrowser::formFilled);
        sendFeedback(w);
        QTRY_COMPARE_WITH_TIMEOUT(filled.size(), 1, test::kPageLoadMs);
        QVERIFY(w->cmdExit->isVisible());
        QVERIFY(w->Command1->isVisible());
        QCOMPARE(w->width(), 716);
        for (QWidget *b : {static_cast<QWidget *>(w->cmdExit), static_cast<QWidget *>(w->Command1),
                           static_cast<QWidget *>(w->Label2)})
            QVERIFY2(w->rect().contains(QRect(b->mapTo(w, QPoint(0, 0)), b->size())),
                     qPrintable(b->objectName()));
        QVERIFY(w->close());
        QCOMPARE(GetSet("Settings", "HelpWidth"), QStringLiteral("10750"));
    }

    // Closing the window lets its page and the page's process go; opened
    // again it shows its pages as before.
    void closingLetsThePageAndItsProcessGo()
    {
        frmBrowser *w = openAt("zyvHelp.html");
        QTRY_VERIFY_WITH_TIMEOUT(!PageProcesses().isEmpty(), test::kPageLoadMs);
        const QPointer<QWebEnginePage> page = w->brwWebBrowser->page();
        QVERIFY(w->close());
        QTRY_VERIFY_WITH_TIMEOUT(page.isNull(), test::kPageLoadMs);
        QTRY_COMPARE_WITH_TIMEOUT(PageProcesses(), QList<int>(), test::kPageLoadMs);

        w = openAt("zyvHelp.html", "Timer");
        QCOMPARE(Js(w, "document.title").toString(), QStringLiteral("Help Topics"));
        QTRY_VERIFY_WITH_TIMEOUT(!PageProcesses().isEmpty(), test::kPageLoadMs);
        ClickTool(w, w->btnExit);
        QTRY_COMPARE_WITH_TIMEOUT(PageProcesses(), QList<int>(), test::kPageLoadMs);

        // Closed while the feedback start waits for its page: the wait ends
        // quietly and the page goes; the next opening sends feedback again.
        server->routes["/beta/contact.htm"] = {200, {}, -1, true};
        w = openAt("zyvHelp.html");
        const QPointer<QWebEnginePage> waitedOn = w->brwWebBrowser->page();
        bool closed = false;
        QTest::mouseClick(w->Label2, Qt::LeftButton);
        dialogs->answers = {1};
        clock->onProcessEvents = [&] {
            QThread::msleep(1);
            if (!closed && !server->requests.isEmpty()) {
                closed = true;
                w->close();
            }
        };
        QTest::mouseClick(w->cmdExit, Qt::LeftButton);
        QVERIFY(closed);
        QVERIFY(!w->isVisible());
        QCOMPARE(dialogs->calls.size(), 1); // the question only
        QTRY_VERIFY_WITH_TIMEOUT(waitedOn.isNull(), test::kPageLoadMs);

        clock->onProcessEvents = {};
        server->routes["/beta/contact.htm"] = HtmlRoute(200, ContactPage());
        w = openAt("zyvHelp.html");
        QSignalSpy filled(w, &frmBrowser::formFilled);
        sendFeedback(w);
        QTRY_COMPARE_WITH_TIMEOUT(filled.size(), 1, test::kPageLoadMs);
        QCOMPARE(FormValues(w).value("Email").toString(), QStringLiteral("your@address"));
    }

    // Topic buttons, the toolbar and the address list, clicked as a user does.
    void topicsToolbarAndAddressList()
    {
        frmBrowser *w = openAt("zyvHelp.html", "MainFormWindow");
        const struct {
            QPushButton *button;
            QString page;
            QString anchor;
        } topics[] = {
            {w->cmdMainWindow, "zyvHelp.html", "MainFormWindow"},
            {w->cmdComPort, "zyvHelp.html", "CommunicationPortSetup"},
            {w->cmdRecGroup, "zyvHelp.html", "GroupRecorder"},
            {w->cmdTimers, "zyvHelp.html", "Timer"},
            {w->cmdRecMacro, "editorhelp.html", "Create"},
            {w->cmdEditor, "editorhelp.html", ""},
        };
        for (const auto &t : topics) {
            QTest::mouseClick(t.button, Qt::LeftButton);
            QCOMPARE(w->StartingAddress, Page(t.page + (t.anchor.isEmpty() ? "" : "#" + t.anchor)));
            QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), FileUrl(t.page, t.anchor),
                                      test::kPageLoadMs);
            waitIdle(w);
        }
        // One entry per address, newest first; the opening page was the
        // main window's topic, visited again by its button.
        QCOMPARE(
            AddressList(*w),
            QStringList({FileUrl("editorhelp.html"), FileUrl("editorhelp.html", "Create"),
                         FileUrl("zyvHelp.html", "Timer"), FileUrl("zyvHelp.html", "GroupRecorder"),
                         FileUrl("zyvHelp.html", "CommunicationPortSetup"),
                         FileUrl("zyvHelp.html", "MainFormWindow")}));
        QCOMPARE(w->cboAddress->currentIndex(), 0);

        // Snap returns to the last topic, not to the page the window opened on.
        QTest::mouseClick(w->cmdRecGroup, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), FileUrl("zyvHelp.html", "GroupRecorder"),
                                  test::kPageLoadMs);
        ClickTool(w, w->btnHome);
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), FileUrl("zyvHelp.html"), test::kPageLoadMs);
        waitIdle(w);
        ClickTool(w, w->btnSnap);
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), FileUrl("zyvHelp.html", "GroupRecorder"),
                                  test::kPageLoadMs);
        waitIdle(w);
        QCOMPARE(AddressList(*w).size(), 7);
        QCOMPARE(AddressList(*w).first(), FileUrl("zyvHelp.html", "GroupRecorder"));

        // Back and forward walk the pages seen; the tool tips come with the press.
        ClickTool(w, w->btnBack);
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), FileUrl("zyvHelp.html"), test::kPageLoadMs);
        QCOMPARE(AddressList(*w).first(), FileUrl("zyvHelp.html"));
        QCOMPARE(w->btnHome->toolTip(), QStringLiteral(" Top Level "));
        QCOMPARE(w->btnSnap->toolTip(), QStringLiteral(" Snap Back to Last Topic "));
        waitIdle(w);
        ClickTool(w, w->btnForward);
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), FileUrl("zyvHelp.html", "GroupRecorder"),
                                  test::kPageLoadMs);
        waitIdle(w);

        // Choosing an entry of the list with the keyboard opens it and
        // moves it to the top; typing an address and Enter opens that.
        w->cboAddress->setFocus();
        QTest::keyClick(w->cboAddress, Qt::Key_Down);
        const QString chosen = AddressList(*w).value(1);
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), chosen, test::kPageLoadMs);
        QCOMPARE(AddressList(*w).first(), chosen);
        QCOMPARE(AddressList(*w).size(), 7);
        waitIdle(w);
        typeAddress(w, Page("editorhelp.html#Create"));
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), FileUrl("editorhelp.html", "Create"),
                                  test::kPageLoadMs);
        waitIdle(w);

        ClickTool(w, w->btnExit);
        QVERIFY(!w->isVisible());
    }

    // Until "Fill form" shows, only pages in the program folder open: typed
    // web addresses and links to the web are refused, the page stays.
    void gateRefusesWebPagesUntilFillFormShows()
    {
        server->routes["/beta/contact.htm"] = HtmlRoute(200, ContactPage());
        server->routes["/program/x.html"] = HtmlRoute(200, "<html>web</html>");
        QTemporaryDir elsewhere;
        QVERIFY(QFile::copy(Page("zyvHelp.html"), elsewhere.path() + "/zyvHelp.html"));
        frmBrowser *w = openAt("zyvHelp.html");
        const QString shown = w->LocationURL();
        QSignalSpy finished(w->brwWebBrowser->page(), &QWebEnginePage::loadFinished);
        const QStringList refused = {
            server->baseUrl() + "/program/x.html",
            server->baseUrl() + "/beta/contact.htm",
            elsewhere.path() + "/zyvHelp.html",
        };
        for (const QString &a : refused) {
            finished.clear();
            typeAddress(w, a);
            QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), test::kPageLoadMs);
            QCOMPARE(finished.first().value(0).toBool(), false);
            QCOMPARE(w->LocationURL(), shown);
            // The address box shows the page that stayed, not the refused address.
            QCOMPARE(w->cboAddress->currentText(), shown);
        }
        // A link on the page is refused the same way.
        finished.clear();
        Js(w, QStringLiteral("var a = document.createElement('a'); a.href = '%1';"
                             "document.body.appendChild(a); a.click();")
                  .arg(server->baseUrl() + "/program/x.html"));
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), test::kPageLoadMs);
        QCOMPARE(w->LocationURL(), shown);
        QVERIFY(server->requests.isEmpty());
        QCOMPARE(AddressList(*w), QStringList{shown});

        // With "Fill form" shown, the web opens.
        sendFeedback(w);
        QVERIFY(w->Command1->isVisible());
        QCOMPARE(w->LocationURL(), server->baseUrl() + "/beta/contact.htm");
        QCOMPARE(AddressList(*w).first(), server->baseUrl() + "/beta/contact.htm");
        QVERIFY(!w->txtSecure->isVisible()); // plain http is not secure
        QCOMPARE(dialogs->calls.size(), 1);
        QVERIFY(dialogs->calls.first().startsWith("questions Connect to Secure Server?"));
    }

    // The feedback report fills the form with its values; the error log is
    // folded once and its last 121 lines go into the comment.
    void feedbackFillsTheForm()
    {
        server->routes["/beta/contact.htm"] = HtmlRoute(200, ContactPage());
        QByteArray log;
        for (int i = 0; i < 50; ++i)
            log += LogEntry(i, "text " + QByteArray::number(i) + " \"quoted\" \\ </script>");
        for (int i = 50; i < 54; ++i)
            log += LogEntry(i, "repeated");
        {
            QFile f(Page("error.log"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(log);
        }
        // Folded: each entry's time and text lines and an empty line; the
        // four equal entries become the last one, marked with their count.
        QByteArray folded;
        for (int i = 0; i < 50; ++i)
            folded += "Logged:  1/" + QByteArray::number(i % 28 + 1) +
                      "/2026 10:00:00 AM\"\r\n\"\ttext " + QByteArray::number(i) +
                      " \"quoted\" \\ </script>\"\r\n\r\n";
        folded += "Logged:  1/26/2026 10:00:00 AM\" ( x 4 )\r\n\"\trepeated\"\r\n\r\n\r\n";

        frmBrowser *w = openAt("zyvHelp.html");
        QSignalSpy filled(w, &frmBrowser::formFilled);
        sendFeedback(w);
        QTRY_COMPARE_WITH_TIMEOUT(filled.size(), 1, test::kPageLoadMs);
        QVERIFY(w->FeedbackPageLoaded);
        QCOMPARE(w->StartingAddress, server->baseUrl() + "/beta/contact.htm");

        // Folded exactly once.
        QFile f(Page("error.log"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString onDisk = QString::fromLatin1(f.readAll());
        QCOMPARE(onDisk, QString::fromLatin1(folded));
        const QStringList lines = onDisk.split("\r\n");
        QVERIFY(lines.size() > 121);
        const QString tail = lines.mid(lines.size() - 121).join("\n") + "\n";

        const QVariantMap v = FormValues(w);
        QCOMPARE(v.value("recipient").toString(), QLatin1String(frmBrowser::kFeedbackEmail));
        QCOMPARE(v.value("copy").toBool(), true);
        QCOMPARE(v.value("MessageType").toString(), QStringLiteral("Comment"));
        QCOMPARE(v.value("subject").toString(), QStringLiteral("Error Report "));
        QCOMPARE(v.value("realname").toString(), QString());
        QCOMPARE(v.value("UserAddress").toString(), QStringLiteral("city & state"));
        QCOMPARE(v.value("Email").toString(), QStringLiteral("your@address"));
        QCOMPARE(v.value("UserTel").toString(), QStringLiteral("not required"));
        QCOMPARE(v.value("ContactRequested").toString(), QStringLiteral("false"));
        QCOMPARE(v.value("spare").toString(), QString());
        // A text area reports its line ends as LF.
        const QString comments = v.value("Comments").toString();
        const QString head =
            "\n\n\nThe last 30 to 40 entries from your error log may be listed below.  Please "
            "add comments above this message.  Thank you\n\n\nver. 1.70.1050\n\n\n\n"
            "old = 162, new = 150, diff = 12\n";
        QCOMPARE(comments.left(head.size()), head);
        QCOMPARE(comments.mid(head.size()), tail);
        int pageRequests = 0;
        for (const auto &r : server->requests)
            pageRequests += r.target == "/beta/contact.htm";
        QCOMPARE(pageRequests, 1);
    }

    // Each missing field skips only its own assignment; without an error
    // log the comment asks for a message and carries the version.
    void pageLackingFieldsGetsTheOthers()
    {
        server->routes["/beta/contact.htm"] =
            HtmlRoute(200, ContactPage({"realname", "UserTel", "spare", "subject"}));
        frmBrowser *w = openAt("zyvHelp.html");
        QSignalSpy filled(w, &frmBrowser::formFilled);
        sendFeedback(w);
        QTRY_COMPARE_WITH_TIMEOUT(filled.size(), 1, test::kPageLoadMs);
        const QVariantMap v = FormValues(w);
        QCOMPARE(v.value("count").toInt(), 9);
        QVERIFY(!v.contains("realname") && !v.contains("UserTel"));
        QCOMPARE(v.value("recipient").toString(), QLatin1String(frmBrowser::kFeedbackEmail));
        QCOMPARE(v.value("MessageType").toString(), QStringLiteral("Comment"));
        QCOMPARE(v.value("UserAddress").toString(), QStringLiteral("city & state"));
        QCOMPARE(v.value("Email").toString(), QStringLiteral("your@address"));
        QCOMPARE(v.value("ContactRequested").toString(), QStringLiteral("false"));
        QCOMPARE(v.value("Comments").toString(),
                 QStringLiteral("\n\n\nPlease enter message here.\n\n\nVer. 1.70.1050\n\n"));
        QVERIFY(!QFile::exists(Page("error.log")));

        // "Fill form" by hand fills again.
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(filled.size(), 2, test::kPageLoadMs);
    }

    // A page that completed before a feedback start is not its page: a start
    // made the moment another page of the site finished still waits for the
    // feedback page, and ends with a message when it never comes.
    void earlierPageDoesNotCountForTheFeedbackStart()
    {
        server->routes["/beta/contact.htm"] = HtmlRoute(200, ContactPage());
        server->routes["/beta/other.htm"] = HtmlRoute(200, "<html>other</html>");
        frmBrowser *w = openAt("zyvHelp.html");
        QSignalSpy filled(w, &frmBrowser::formFilled);
        sendFeedback(w);
        QTRY_COMPARE_WITH_TIMEOUT(filled.size(), 1, test::kPageLoadMs);

        server->routes["/beta/contact.htm"] = {200, {}, -1, true};
        bool started = false;
        const QMetaObject::Connection startOnLoad =
            connect(w->brwWebBrowser->page(), &QWebEnginePage::loadFinished, w, [&](bool ok) {
                if (started || !ok)
                    return;
                started = true;
                dialogs->calls.clear();
                dialogs->answers = {1};
                clock->onProcessEvents = {};
                QTest::mouseClick(w->cmdExit, Qt::LeftButton);
            });
        Js(w, QStringLiteral("location.href = '%1/beta/other.htm';").arg(server->baseUrl()));
        QTRY_VERIFY_WITH_TIMEOUT(started, test::kPageLoadMs);
        disconnect(startOnLoad);
        QVERIFY(!w->FeedbackPageLoaded);
        QCOMPARE(filled.size(), 1);
        QCOMPARE(dialogs->calls.size(), 2);
        QVERIFY2(dialogs->calls[1].contains(QLatin1String("did not load within")),
                 qPrintable(dialogs->calls[1]));
    }

    // A feedback page that never comes ends the wait with a message; the
    // window stays usable. Answering No does nothing.
    void feedbackPageThatNeverLoads()
    {
        frmBrowser *w = openAt("zyvHelp.html");
        QTest::mouseClick(w->Label2, Qt::LeftButton);
        dialogs->answers = {2};
        QTest::mouseClick(w->cmdExit, Qt::LeftButton);
        QVERIFY(w->Command1->isHidden());
        QVERIFY(server->requests.isEmpty());

        const struct {
            const char *name;
            LocalHttpServer::Route route;
            bool closed;
            const char *reason;
        } cases[] = {
            {"no answer", {200, {}, -1, true}, false, "did not load within 30 seconds"},
            {"not found", HtmlRoute(404, "<html>gone</html>"), false, "404"},
            {"refused", {}, true, nullptr},
        };
        for (const auto &c : cases) {
            server = std::make_unique<LocalHttpServer>();
            qputenv("QELT_FEEDBACK_URL", server->baseUrl().toUtf8());
            server->routes["/beta/contact.htm"] = c.route;
            if (c.closed)
                server->close();
            dialogs->calls.clear();
            // A page that never answers ends on the clock alone.
            sendFeedback(w, QByteArray(c.name) != "no answer");
            QCOMPARE(dialogs->calls.size(), 2);
            QVERIFY2(dialogs->calls[1].startsWith("info Send Feedback The feedback page could "
                                                  "not be opened ("),
                     qPrintable(dialogs->calls[1]));
            // A refused connection names its own reason, not the clock's.
            if (c.reason)
                QVERIFY2(dialogs->calls[1].contains(QLatin1String(c.reason)),
                         qPrintable(dialogs->calls[1]));
            else
                QVERIFY2(!dialogs->calls[1].contains(QLatin1String("did not load within")),
                         qPrintable(dialogs->calls[1]));
            QVERIFY(!w->FeedbackPageLoaded);
            QVERIFY(w->isVisible());

            // Still usable: the main page opens.
            ClickTool(w, w->btnHome);
            QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), FileUrl("zyvHelp.html"), test::kPageLoadMs);
            waitIdle(w);
            QVERIFY(w->Command1->isHidden());
        }
    }

    // A program folder named with "#", blanks and non-ASCII letters opens
    // its help pages and anchors.
    void programFolderWithHashAndBlanks()
    {
        QTemporaryDir root;
        const QString folder =
            root.path() + QStringLiteral("/my #1 http files/Qelt # \u00fc\u00e9 2");
        QVERIFY(QDir().mkpath(folder));
        SetProgramFolder(folder);
        CopyHelpPages(true);
        frmBrowser *w = openAt("zyvHelp.html", "Timer");
        QCOMPARE(w->LocationURL(), FileUrl("zyvHelp.html", "Timer"));
        QCOMPARE(Js(w, "document.title").toString(), QStringLiteral("Help Topics"));
        QTest::mouseClick(w->cmdRecMacro, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), FileUrl("editorhelp.html", "Create"),
                                  test::kPageLoadMs);
        waitIdle(w);
        QVERIFY(Js(w, "document.getElementsByName('Create').length").toInt() > 0);
        ClickTool(w, w->btnHome);
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), FileUrl("zyvHelp.html"), test::kPageLoadMs);
        waitIdle(w);
        QCOMPARE(Js(w, "document.title").toString(), QStringLiteral("Help Topics"));
    }
};

QELT_TEST_MAIN(TestFrmBrowser)
#include "tst_frmBrowser.moc"
