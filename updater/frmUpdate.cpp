#include "updater/frmUpdate.h"

#include "core/FileActions.h"
#include "core/WindowHelpers.h"
#include "logic/BoundedRead.h"
#include "logic/FileHelpers.h"
#include "logic/Lang.h"
#include "logic/SafeSave.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "logic/VersionFile.h"
#include "updater/HTTPClass.h"
#include "updater/InstallerKind.h"
#include "updater/modUpdate.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace qelt::updater {

namespace {

const QString kSettings = QStringLiteral("Settings");

void pump()
{
    CurrentWaitClock().processEvents();
}

// A stored whole number, or fallback when the text is not one.
int wholeNumber(const QString &text, int fallback)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : fallback;
}

// Why a transfer's result was not used, in words for the user ("" where
// the window's general connection error says it all).
QString failureReason(HTTPClass::Failure failure, qint64 maxBytes, int stallMs)
{
    using F = HTTPClass::Failure;
    switch (failure) {
    case F::Insecure:
        return LangCap(
            QStringLiteral("The secure connection to the update server could not be verified."));
    case F::Redirect:
        return LangCap(QStringLiteral(
            "The update server sent the request on to another address, which was not followed."));
    case F::TooLarge:
        return LangCap(QStringLiteral("The update server sent more than %1, far more than "
                                      "expected."))
            .arg(maxBytes >= 1024 * 1024 ? QStringLiteral("%1 MB").arg(maxBytes / (1024 * 1024))
                                         : QStringLiteral("%1 KB").arg(maxBytes / 1024));
    case F::Stalled:
        return LangCap(QStringLiteral("The download made no progress for %1 seconds."))
            .arg(stallMs / 1000.0);
    case F::Incomplete:
        return LangCap(QStringLiteral("The download ended before the whole file had arrived."));
    case F::Malformed:
        return LangCap(QStringLiteral("The update server's reply was not well formed."));
    default:
        return {};
    }
}

void removeIfThere(const QString &path)
{
    if (FileExists(path))
        QFile::remove(path);
}

} // namespace

frmUpdate::frmUpdate(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Update Orvendale"));
    setMouseTracking(true);

    buildControls();
    layOutControls();
    connectControls();

    startProgram = [](const QString &path) { return OpenDoc(path); };
    timeText = [] {
        return QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat);
    };
}

void frmUpdate::buildControls()
{
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setWordWrap(true);
    QFont bold = Label3->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    Label3->setFont(bold);
    // Room for the longest title (the installer hint: four lines in the
    // normal font), so that no text is cut and the window does not jump.
    Label3->setMinimumHeight(
        qMax(2 * QFontMetrics(bold).lineSpacing(), 4 * fontMetrics().lineSpacing() + 4));
    Label2 = new QLabel(QStringLiteral("attempting to establish a connection ..."), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setWordWrap(true);
    Label2->setMinimumHeight(Label2->fontMetrics().lineSpacing() * 3);
    lblVer = new QLabel(this);
    lblVer->setObjectName(QStringLiteral("lblVer"));
    lblRev = new QLabel(this);
    lblRev->setObjectName(QStringLiteral("lblRev"));
    lblRev->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
    cmdDownload = new QPushButton(QStringLiteral("&Download"), this);
    cmdDownload->setObjectName(QStringLiteral("cmdDownload"));
    cmdExit = new QPushButton(QStringLiteral("&Close"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    // The exit button keeps the normal pointer while the window shows the
    // hourglass.
    cmdExit->setCursor(Qt::ArrowCursor);
    cmdRetry = new QPushButton(QStringLiteral("Retry Installer Manually"), this);
    cmdRetry->setObjectName(QStringLiteral("cmdRetry"));
    cmdRetry->hide();
    chkAutoUpdate = new QCheckBox(this);
    chkAutoUpdate->setObjectName(QStringLiteral("chkAutoUpdate"));
    Label7 = new QLabel(QStringLiteral("Automatically check for updates once a week."), this);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setBuddy(chkAutoUpdate);
    Label4 = new QLabel(QStringLiteral("Check every"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItems({QStringLiteral("- - - - - - - -"), QStringLiteral("Sunday"),
                      QStringLiteral("Monday"), QStringLiteral("Tuesday"),
                      QStringLiteral("Wednesday"), QStringLiteral("Thursday"),
                      QStringLiteral("Friday"), QStringLiteral("Saturday")});
    Label5 = new QLabel(QStringLiteral("at"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Combo2 = new QComboBox(this);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->setMinimumContentsLength(8);
    for (QWidget *w : {static_cast<QWidget *>(Label4), static_cast<QWidget *>(Label5),
                       static_cast<QWidget *>(Combo1), static_cast<QWidget *>(Combo2)})
        w->setEnabled(false);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
}

// The window's layout, top to bottom, and the tab order of its controls.
void frmUpdate::layOutControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label3);
    layout->addWidget(Label2);
    auto *versions = new QHBoxLayout;
    versions->addWidget(lblVer);
    versions->addStretch();
    versions->addWidget(lblRev);
    layout->addLayout(versions);
    layout->addWidget(ProgressBar1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdDownload);
    buttons->addWidget(cmdRetry);
    buttons->addStretch();
    buttons->addWidget(cmdExit);
    layout->addLayout(buttons);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    auto *auto1 = new QHBoxLayout;
    auto1->addWidget(chkAutoUpdate);
    auto1->addWidget(Label7, 1);
    layout->addLayout(auto1);
    auto *auto2 = new QHBoxLayout;
    auto2->addWidget(Label4);
    auto2->addWidget(Combo1);
    auto2->addWidget(Label5);
    auto2->addWidget(Combo2);
    auto2->addStretch();
    layout->addLayout(auto2);
    setFixedWidth(6000 / kTwipsPerPixel);

    setTabOrder(cmdDownload, cmdRetry);
    setTabOrder(cmdRetry, cmdExit);
    setTabOrder(cmdExit, chkAutoUpdate);
    setTabOrder(chkAutoUpdate, Combo1);
    setTabOrder(Combo1, Combo2);
}

void frmUpdate::connectControls()
{
    connect(cmdDownload, &QPushButton::clicked, this, [this] { cmdDownload_Click(); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
    connect(cmdRetry, &QPushButton::clicked, this, [this] { cmdRetry_Click(); });
    // Set from code, the check box runs its handler only when its value changes.
    connect(chkAutoUpdate, &QCheckBox::toggled, this, [this] { chkAutoUpdate_Click(); });
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(Combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, [this] {
        if (cmdExit->isEnabled())
            cmdExit_Click();
    });
}

frmUpdate::~frmUpdate() = default;

QStringList frmUpdate::HourList(bool twelveHour)
{
    QStringList hours;
    if (twelveHour) {
        for (const char *half : {" AM", " PM"}) {
            hours << QStringLiteral("12:00") + QLatin1String(half);
            for (int h = 1; h <= 11; ++h)
                hours << QString::number(h) + QStringLiteral(":00") + QLatin1String(half);
        }
    } else {
        for (int h = 0; h <= 23; ++h)
            hours << QString::number(h) + QStringLiteral(":00");
    }
    return hours;
}

bool frmUpdate::TwelveHourTime(const QString &timeText)
{
    const QString tail = timeText.trimmed().toUpper().right(2);
    return tail == u"AM" || tail == u"PM";
}

void frmUpdate::Load()
{
    if (m_loaded)
        return;
    Form_Load();
}

void frmUpdate::Unload()
{
    if (!m_loaded || m_unloading)
        return;
    m_unloading = true;
    Form_Unload();
    Timer1->stop();
    m_loaded = false;
    m_unloading = false;
    hide();
    emit unloaded();
}

std::shared_ptr<HTTPClass> frmUpdate::newClient()
{
    auto client = std::make_shared<HTTPClass>();
    client->onPieceRead = [this] { advanceProgress(); };
    return client;
}

void frmUpdate::closeClient()
{
    if (WebClient)
        WebClient->CloseHTTP();
    WebClient.reset();
}

void frmUpdate::setTitle(const QString &text, bool bold, const char *colour)
{
    // A title naming the program's folder wraps it within the window's width.
    Label3->setText(BreakableText(text));
    QFont f = Label3->font();
    f.setBold(bold);
    Label3->setFont(f);
    Label3->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(colour)));
}

void frmUpdate::advanceProgress()
{
    // At its maximum the bar simply stays full.
    if (ProgressBar1->value() < ProgressBar1->maximum())
        ProgressBar1->setValue(ProgressBar1->value() + 1);
}

void frmUpdate::Form_Load()
{
    m_loaded = true;
    for (QLabel *l : {Label7, Label4, Label5, Label2})
        l->setText(LangCap(l->text()));
    if (UpdateMode != u"autocheck")
        show();

    loadSchedule();

    ExeFolder = GetSet(QStringLiteral("Database16"), QStringLiteral("CurrentExePath"), OwnFolder());
    const QString versionFile = ExeFolder + QStringLiteral("/version.txt");
    RequestPath = QStringLiteral("/beta/betaver.txt");
    removeIfThere(versionFile);
    TransferDone = false;
    WaitTicks = 0;

    QString failure;
    if (!fetchVersionFile(versionFile, &failure))
        return;

    QByteArray bytes;
    if (FileExists(versionFile)) {
        ReadFileWhole(versionFile, kMaxVersionBytes, &bytes);
        QFile::remove(versionFile);
    }
    const QStringList items = ReadVersionItems(bytes);
    const QString webItem = items[0];
    ProgressMax = items[1];
    const auto web = VersionNumber(webItem);

    if (!web || *web == 0) {
        connectionError(failure);
        if (UpdateMode == u"autocheck")
            Unload();
        return;
    }

    const QString local = NormaliseVersion(LocalVersion);
    lblVer->setText(LangCap(QStringLiteral("Local Version")) + u' ' + local);
    lblRev->setText(LangCap(QStringLiteral("Web Version")) + u' ' + ShortestNumber(*web));

    ProgressBar1->setValue(0);
    bool okMax = false;
    const int max = ProgressMax.trimmed().toInt(&okMax);
    if (okMax && max > 0)
        ProgressBar1->setMaximum(max);

    if (IsNewer(webItem, LocalVersion)) {
        show();
        setTitle(LangCap(QStringLiteral("Update Available")), true, "red");
        Label2->setText(LangCap(QStringLiteral(
            "Click the Download button to download and install the update.  Click Close if you "
            "do not want to install the update at this time.")));
    } else {
        setTitle(LangCap(QStringLiteral("There are no updates at this time")), true, "black");
        Label2->clear();
        cmdDownload->setText(LangCap(QStringLiteral("Get Prev.")));
        cmdDownload->setToolTip(LangTip(QStringLiteral("Download the most recent version")));
        if (UpdateMode == u"autocheck") {
            TransferDone = true;
            SaveSet(kSettings, QStringLiteral("CheckedUpdate"), QStringLiteral("True"));
            SaveSet(kSettings, QStringLiteral("ChkType"), QStringLiteral("manual"));
            Unload();
            return;
        }
    }

    if (!items[2].isEmpty())
        Label2->setText(items[2] + items[3]);
    removeIfThere(versionFile);
    PutOnTop(this);
    if (isVisible()) {
        SaveSet(kSettings, QStringLiteral("CheckedUpdate"), QStringLiteral("True"));
        SaveSet(kSettings, QStringLiteral("ChkType"), QStringLiteral("manual"));
    }
}

// The weekly check's day, hour and switch as stored, the captions, and the
// window's place on the screen.
void frmUpdate::loadSchedule()
{
    // Stored choices outside the lists' ranges fall back to the defaults:
    // today and the current hour.
    const int today = QDate::currentDate().dayOfWeek() % 7 + 1;
    int day = wholeNumber(GetSet(kSettings, QStringLiteral("ChkUpdtsDay"), QString::number(today)),
                          today);
    if (day < 0 || day > 7)
        day = today;
    Combo1->setCurrentIndex(day);
    Combo1_Click();

    Combo2->clear();
    Combo2->addItems(HourList(TwelveHourTime(timeText ? timeText() : QString())));
    const int nowHour = QTime::currentTime().hour();
    int hour = wholeNumber(GetSet(kSettings, QStringLiteral("ChkUpdtsTime"),
                                  QStringLiteral("%1").arg(nowHour, 2, 10, QLatin1Char('0'))),
                           nowHour);
    if (hour < 0 || hour > 23)
        hour = nowHour;
    Combo2->setCurrentIndex(hour);
    Combo2_Click();

    chkAutoUpdate->setChecked(
        wholeNumber(GetSet(kSettings, QStringLiteral("ChkForUpdts"), QStringLiteral("0")), 0) == 1);

    cmdRetry->setText(LangCap(QStringLiteral("Retry Installer Manually")));
    cmdDownload->setText(LangCap(QStringLiteral("&Download")));
    cmdExit->setText(LangCap(QStringLiteral("&Close")));

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->availableGeometry();
        move(r.x() + r.width() / 2 - 3000 / kTwipsPerPixel,
             r.y() + qMax(0, (r.height() - sizeHint().height()) / 2));
    }
}

// Fetches the version file from the update server into versionFile. False
// when the load must end here: the window was closed during the request, or
// the request timed out (the texts then stay). A failed fetch is no such end:
// it leaves no file, with its reason in failure.
bool frmUpdate::fetchVersionFile(const QString &versionFile, QString *failure)
{
    const auto client = newClient();
    WebClient = client;
    if (client->OpenHTTP(UpdateServer())) {
        pump();
        setCursor(Qt::WaitCursor);
        Timer1->start();
        client->maxBodyBytes = kMaxVersionBytes;
        const QByteArray reply = client->SendRequest(RequestPath, QStringLiteral("GET"), {}, true);
        // Closed while the request ran: the unload has ended everything.
        if (!m_loaded)
            return false;
        // Only a complete, successful reply is a version file; an error page,
        // a cut-off or oversized reply is not stored.
        if (client->lastSucceeded())
            SaveFileBytes(versionFile, reply);
        else
            *failure = failureReason(client->lastFailure(), kMaxVersionBytes, 0);
        TransferDone = true;
        Timer1->stop();
        unsetCursor();
        if (CancelRequest) {
            // Timed out: the texts stay. A hidden automatic check has
            // nobody to show them to and ends.
            if (UpdateMode == u"autocheck")
                Unload();
            return false;
        }
        client->CloseHTTP();
    }
    WebClient.reset();
    return true;
}

void frmUpdate::connectionError(const QString &reason)
{
    setTitle(LangCap(QStringLiteral("Error connecting to web site")), true, "black");
    Label2->setText((reason.isEmpty()
                         ? LangCap(QStringLiteral("There seems to be a problem with your "
                                                  "connection to the internet, or the web site."))
                         : reason) +
                    QStringLiteral("  ") +
                    LangCap(QStringLiteral("Please check your connection and try again")));
    cmdDownload->hide();
}

void frmUpdate::downloadFailed(const QString &reason)
{
    setTitle(LangCap(QStringLiteral("Error")), true, "black");
    Label2->setText(reason + QStringLiteral("  ") +
                    LangCap(QStringLiteral("Nothing was saved or started.")));
    cmdExit->setEnabled(true);
    cmdExit->setText(LangCap(QStringLiteral("&Close")));
}

void frmUpdate::cmdDownload_Click()
{
    RequestPath = QStringLiteral("/beta/Upgrade Qelt.exe");
    const QString target = ExeFolder + u'/' + InstallerName();
    TransferDone = false;
    removeIfThere(target);

    const auto client = newClient();
    WebClient = client;
    Label3->setStyleSheet(QStringLiteral("color: black;"));
    Label2->setText(LangCap(QStringLiteral("Please wait while the update is downloaded")));
    // Why the download was not kept, when it was not ("" for the general
    // connection error).
    QString rejected;
    if (client->OpenHTTP(UpdateServer()) && !downloadInstaller(*client, target, &rejected))
        return;
    if (WebClient == client)
        WebClient.reset();
    pump();
    if (!m_loaded)
        return;

    finishDownload(target, rejected);
}

// Downloads the installer over the open connection into target. False when
// the window was closed during the download (the writer then drops the
// file). Why a download was not kept goes to rejected.
bool frmUpdate::downloadInstaller(HTTPClass &client, const QString &target, QString *rejected)
{
    // A retry after a failed transfer starts from an empty bar.
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    setCursor(Qt::WaitCursor);
    cmdDownload->hide();
    cmdExit->setText(LangCap(QStringLiteral("&Cancel")));

    // The installer goes to its file as it arrives (never whole in
    // memory), and becomes the target only when it arrived complete and
    // is an installer for this system.
    SafeFileWriter writer(target);
    bool kindChecked = false;
    bool notInstaller = false;
    bool storeFailed = false;
    qint64 received = 0;
    client.maxBodyBytes = maxInstallerBytes;
    client.stallTimeoutMs = downloadStallMs;
    client.onBody = [&](const QByteArray &piece) {
        // Pieces are whole (1024 bytes) but for the last, so the first
        // holds the file's head whenever the file has one.
        if (!kindChecked) {
            kindChecked = true;
            if (!IsInstallerForThisSystem(piece)) {
                notInstaller = true;
                return false;
            }
            if (!writer.open()) {
                storeFailed = true;
                return false;
            }
        }
        received += piece.size();
        if (!writer.write(piece)) {
            storeFailed = true;
            return false;
        }
        return true;
    };
    client.SendRequest(RequestPath, QStringLiteral("GET"), {}, true);
    client.onBody = nullptr;
    if (!m_loaded)
        return false; // closed during the download: the writer drops the file
    const HTTPClass::Failure failure = client.lastFailure();
    client.CloseHTTP();
    ProgressBar1->hide();
    unsetCursor();
    cmdExit->setEnabled(true);
    if (CancelRequest) {
        // Cancelled: the transfer is over (the pointer goes back to
        // normal), and nothing was kept.
        writer.cancel();
        TransferDone = true;
    } else if (storeFailed) {
        writer.cancel();
        TransferDone = true; // arrived, but could not be stored
    } else if (failure == HTTPClass::Failure::None && received == 0) {
        *rejected = LangCap(QStringLiteral("The update server sent an empty file."));
    } else if (notInstaller) {
        *rejected =
            LangCap(QStringLiteral("The file received is not an installer for this system."));
    } else if (failure != HTTPClass::Failure::None) {
        *rejected = failureReason(failure, maxInstallerBytes, downloadStallMs);
    } else if (writer.commit()) {
        QFile::setPermissions(target,
                              QFile::permissions(target) | QFile::ExeOwner | QFile::ExeUser);
        setTitle(LangCap(QStringLiteral("Download complete")), true, "black");
        TransferDone = true;
        Label2->clear();
    } else {
        TransferDone = true; // arrived, but could not be stored
    }
    if (!TransferDone) {
        // Failed: nothing was kept, and it may be tried again.
        writer.cancel();
        cmdDownload->show();
    }
    return true;
}

// What the user sees after a download: cancelled, the installer started,
// the file not found, or why it failed.
void frmUpdate::finishDownload(const QString &target, const QString &rejected)
{
    if (CancelRequest) {
        removeIfThere(target);
        setTitle(LangCap(QStringLiteral("Download Canceled")), true, "black");
        Label2->clear();
        return;
    }
    if (TransferDone && FileExists(target)) {
        cmdDownload->hide();
        cmdExit->setText(LangCap(QStringLiteral("&Close")));
        Delay(1.0);
        if (!m_loaded)
            return;
        Label2->clear();
        setTitle(
            QStringLiteral("If the installer does not automatically start, please browse to ") +
                QStringLiteral("\r\n") + OwnFolder() + QStringLiteral("\r\n") +
                QStringLiteral(" and double click 'Upgrade'."),
            false, "black");
        if (startProgram)
            startProgram(target);
        cmdExit->setEnabled(true);
        NotOnTop(this);
        Delay(10.0);
        if (!m_loaded)
            return;
        cmdRetry->setText(LangCap(QStringLiteral("Retry Installer Manually")));
        cmdRetry->show();
    } else if (TransferDone) {
        Label2->clear();
        setTitle(QStringLiteral("Path error.  Please try searching for the file 'Upgrade' in ") +
                     OwnFolder() + QStringLiteral(" manually, or try downloading it again later."),
                 false, "black");
        cmdExit->setEnabled(true);
        cmdExit->setText(LangCap(QStringLiteral("&Close")));
    } else if (!rejected.isEmpty()) {
        downloadFailed(rejected);
    } else {
        setTitle(LangCap(QStringLiteral("Error")), true, "black");
        Label2->setText(QStringLiteral("An error has occured with the internet connection, or the "
                                       "path") +
                        QStringLiteral(" to Brindlecast was not found.  Please try downloading "
                                       "again later."));
        cmdExit->setEnabled(true);
        cmdExit->setText(LangCap(QStringLiteral("&Close")));
    }
    if (FileExists(target)) {
        cmdRetry->setText(LangCap(QStringLiteral("Retry Installer Manually")));
        cmdRetry->show();
    }
}

void frmUpdate::cmdExit_Click()
{
    const QString caption = cmdExit->text();
    if (caption == LangCap(QStringLiteral("&Cancel"))) {
        CancelRequest = true;
        pump();
        Delay(0.2);
        if (!TransferDone)
            closeClient();
        cmdExit->setText(LangCap(QStringLiteral("&Close")));
    } else if (caption == LangCap(QStringLiteral("&Close"))) {
        Unload();
    }
}

void frmUpdate::cmdRetry_Click()
{
    const QString target = ExeFolder + u'/' + InstallerName();
    if (FileExists(target) && startProgram)
        startProgram(target);
}

void frmUpdate::chkAutoUpdate_Click()
{
    const bool on = chkAutoUpdate->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(Label4), static_cast<QWidget *>(Label5),
                       static_cast<QWidget *>(Combo1), static_cast<QWidget *>(Combo2)})
        w->setEnabled(on);
    SaveSet(kSettings, QStringLiteral("ChkForUpdts"),
            on ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmUpdate::Combo1_Click()
{
    if (Combo1->currentIndex() == 0)
        Combo1->setCurrentIndex(1);
    SaveSet(kSettings, QStringLiteral("ChkUpdtsDay"), QString::number(Combo1->currentIndex()));
}

void frmUpdate::Combo2_Click()
{
    SaveSet(kSettings, QStringLiteral("ChkUpdtsTime"), QString::number(Combo2->currentIndex()));
}

void frmUpdate::Timer1_Timer()
{
    if (TransferDone) {
        Timer1->stop();
        return;
    }
    if (++WaitTicks <= 59)
        return;
    // Stopped first: the waits below run events, and the watchdog must not
    // fire again inside them.
    Timer1->stop();
    if (WebClient)
        WebClient->CloseHTTP();
    Delay(0.5);
    if (WebClient)
        WebClient->CloseHTTP();
    setTitle(LangCap(QStringLiteral("Connection Timed Out")), true, "black");
    Label2->setText(LangCap(QStringLiteral(
                        "The time limit to make a connection to the web server has expired.")) +
                    QStringLiteral("  ") +
                    LangCap(QStringLiteral("Please check your connection and try again.")));
    TransferDone = true;
    cmdDownload->hide();
    cmdExit->setText(LangCap(QStringLiteral("&Close")));
    CancelRequest = true;
}

void frmUpdate::Form_Unload()
{
    if (!TransferDone)
        closeClient();
    SaveSet(kSettings, QStringLiteral("ChkType"), QStringLiteral("manual"));
}

void frmUpdate::closeEvent(QCloseEvent *event)
{
    Unload();
    event->accept();
}

void frmUpdate::mouseMoveEvent(QMouseEvent *event)
{
    if (TransferDone)
        unsetCursor();
    else
        setCursor(Qt::WaitCursor);
    QWidget::mouseMoveEvent(event);
}

} // namespace qelt::updater
