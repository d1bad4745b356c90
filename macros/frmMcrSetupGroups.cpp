// The "Setup Groups" page of the editor: choosing a group, recording its ON
// commands from the console through the lblGrpSave mailbox, and saving,
// relabelling or deleting its file.

#include "macros/frmMcrSetup.h"

#include "core/Dialogs.h"
#include "core/Sounds.h"
#include "core/services/ConsoleServices.h"
#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/Globals.h"
#include "logic/GroupEditing.h"
#include "logic/GroupFile.h"
#include "logic/Lang.h"
#include "logic/RfFrame.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"
#include "macros/EditorEvents.h"
#include "macros/NamedControls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace qelt {

namespace {

void ClickIfSounds()
{
    if (SoundsOn)
        PlayWav(ClickSound);
}

} // namespace

void frmMcrSetup::buildGroupsPage()
{
    QWidget *page = sTab->widget(1);
    buildGroupControls(page);
    layOutGroupsPage(page);
    connectGroupsPage();
}

// The group selector, the saved group's name and contents, and the recorder.
void frmMcrSetup::buildGroupControls(QWidget *page)
{
    Label10 = NamedLabel(page, "Label10", LangCap(QStringLiteral("Select a Group to Record")));
    cbGroup = new QComboBox(page);
    cbGroup->setObjectName(QStringLiteral("cbGroup"));
    cbGroup->setMinimumContentsLength(24);
    txtGrName = new QLineEdit(page);
    txtGrName->setObjectName(QStringLiteral("txtGrName"));
    txtGrName->setMaxLength(30);
    lbl3 = NamedLabel(page, "lbl3",
                      LangCap(QStringLiteral("Items currently saved in Group")) +
                          QStringLiteral(" 1 "));
    txtGrpContents = new QPlainTextEdit(page);
    txtGrpContents->setObjectName(QStringLiteral("txtGrpContents"));
    txtGrpContents->setReadOnly(true);
    lstGrFix = new QListWidget(page);
    lstGrFix->setObjectName(QStringLiteral("lstGrFix"));

    chkRec = new QCheckBox(LangCap(QStringLiteral("&Rec")), page);
    chkRec->setObjectName(QStringLiteral("chkRec"));
    lblrecW = NamedLabel(page, "lblrecW", LangCap(QStringLiteral("Recording Group")));
    lblrecW->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
    lblrecW->hide();
    lstGrRecorded = new QListWidget(page);
    lstGrRecorded->setObjectName(QStringLiteral("lstGrRecorded"));
    lstGrp1 = new QListWidget(page);
    lstGrp1->setObjectName(QStringLiteral("lstGrp1"));
    lstGrp1->hide();
    lstGrphold = new QListWidget(page);
    lstGrphold->setObjectName(QStringLiteral("lstGrphold"));
    lstGrphold->hide();
    lblGrpCounter = NamedLabel(page, "lblGrpCounter", QStringLiteral("0"));
    lblGrpCounter->setMinimumWidth(24);
    cmdSaveGr = NamedButton(page, "cmdSaveGr", "&Save Group");
    cmdStartOver = NamedButton(page, "cmdStartOver", "Start &Over");
    cmdDelGrCmd = NamedButton(page, "cmdDelGrCmd", "Remove");
    cmdLabelOnly = NamedButton(page, "cmdLabelOnly", "Update &Label");
    cmdDeleteGroup = NamedButton(page, "cmdDeleteGroup", "Delete Group");
    for (QPushButton *b : {cmdSaveGr, cmdStartOver, cmdDelGrCmd})
        b->setEnabled(false);
}

// The saved group beside the recorder, the selector above them and the
// group delay row under them.
void frmMcrSetup::layOutGroupsPage(QWidget *page)
{
    auto *grid = qobject_cast<QGridLayout *>(page->layout());
    auto *saved = new QGroupBox(page);
    auto *savedLayout = new QVBoxLayout(saved);
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(LangCap(QStringLiteral("Label")), saved));
    nameRow->addWidget(txtGrName, 1);
    savedLayout->addLayout(nameRow);
    savedLayout->addWidget(lbl3);
    savedLayout->addWidget(txtGrpContents, 2);
    savedLayout->addWidget(lstGrFix, 1);
    auto *savedButtons = new QHBoxLayout;
    savedButtons->addWidget(cmdLabelOnly);
    savedButtons->addWidget(cmdDeleteGroup);
    savedLayout->addLayout(savedButtons);

    auto *record = new QGroupBox(page);
    auto *recordLayout = new QGridLayout(record);
    recordLayout->addWidget(chkRec, 0, 0);
    recordLayout->addWidget(lblrecW, 0, 1, 1, 2);
    recordLayout->addWidget(lstGrRecorded, 1, 0, 1, 3);
    recordLayout->addWidget(new QLabel(LangCap(QStringLiteral("Recorded Items")), record), 2, 0, 1,
                            2);
    recordLayout->addWidget(lblGrpCounter, 2, 2);
    recordLayout->addWidget(cmdDelGrCmd, 3, 0);
    recordLayout->addWidget(cmdStartOver, 3, 1, 1, 2);
    recordLayout->addWidget(cmdSaveGr, 4, 0, 1, 3);
    recordLayout->setRowStretch(1, 1);

    auto *selector = new QHBoxLayout;
    selector->addWidget(Label10);
    selector->addWidget(cbGroup, 1);
    auto *columns = new QHBoxLayout;
    columns->addWidget(saved, 3);
    columns->addWidget(record, 2);

    // The group delay row (built with the page) moves under the editor.
    for (QWidget *w : {static_cast<QWidget *>(Label14), static_cast<QWidget *>(HScroll2),
                       static_cast<QWidget *>(Label17)})
        grid->removeWidget(w);
    grid->setRowStretch(1, 0);
    grid->addLayout(selector, 0, 0, 1, 3);
    grid->addLayout(columns, 1, 0, 1, 3);
    grid->addWidget(Label14, 2, 0);
    grid->addWidget(HScroll2, 2, 1);
    grid->addWidget(Label17, 2, 2);
    grid->setRowStretch(1, 1);
}

void frmMcrSetup::connectGroupsPage()
{
    connect(cbGroup, &QComboBox::activated, this, [this](int) { cbGroup_Click(); });
    connect(chkRec, &QCheckBox::toggled, this, [this](bool) { chkRec_Click(); });
    connect(cmdSaveGr, &QPushButton::clicked, this, [this] { cmdSaveGr_Click(); });
    connect(cmdStartOver, &QPushButton::clicked, this, [this] { cmdStartOver_Click(); });
    connect(cmdDelGrCmd, &QPushButton::clicked, this, [this] { cmdDelGrCmd_Click(); });
    connect(cmdLabelOnly, &QPushButton::clicked, this, [this] { cmdLabelOnly_Click(); });
    connect(cmdDeleteGroup, &QPushButton::clicked, this, [this] { cmdDeleteGroup_Click(); });
    connect(lstGrRecorded, &QListWidget::itemClicked, this, [this] { lstGrRecorded_Click(); });
    m_lblGrpSave.setHandler([this](const QString &) { lblGrpSave_Change(); });

    // Macro recording and group recording exclude each other.
    connect(chkCroRecord, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            chkRec->setChecked(false);
        chkRec->setEnabled(!on);
        cmdStartOver->setEnabled(!on);
    });

    // The label box selects its text on focus and on a double click.
    OnEvent(txtGrName, [this](QEvent *event) {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonDblClick) {
            QTimer::singleShot(0, txtGrName, [this] { txtGrName->selectAll(); });
            return event->type() == QEvent::MouseButtonDblClick;
        }
        return false;
    });
    for (QWidget *w : {static_cast<QWidget *>(txtGrName), static_cast<QWidget *>(chkRec),
                       static_cast<QWidget *>(cmdSaveGr), static_cast<QWidget *>(cmdLabelOnly),
                       static_cast<QWidget *>(cmdStartOver), static_cast<QWidget *>(cmdDelGrCmd),
                       static_cast<QWidget *>(cmdDeleteGroup)})
        OnEvent(w, [this](QEvent *event) {
            if (event->type() == QEvent::Enter)
                setGroupToolTips();
            return false;
        });
}

// Tool tips of the page, set on mouse-over while the console's tool-tip
// switch is on and cleared while it is off.
void frmMcrSetup::setGroupToolTips()
{
    MainWindowService *main = MainWindow();
    const bool on = main && main->toolTipsOn();
    auto tip = [on](QWidget *w, const char *text) {
        w->setToolTip(on ? LangTip(QString::fromUtf8(text)) : QString());
    };
    tip(txtGrName, "Enter group description here (30 characters max).");
    tip(chkRec, chkRec->isChecked() ? "Cancel Recording" : "Start Recording ( ON commands ONLY )");
    tip(cmdSaveGr, "Save recorded commands and label to selected group number");
    tip(cmdLabelOnly, "Update group label without changing commands");
    tip(cmdStartOver, "Clear recorded commands");
    tip(cmdDelGrCmd, "Remove the selected item");
    tip(cmdDeleteGroup, "Delete the selected Group");
}

void frmMcrSetup::groupsLoad()
{
    MainWindowService *main = MainWindow();
    cbGroup->clear();
    for (int i = 0; i < kGroupCount; ++i)
        cbGroup->addItem(GroupSelectorText(i, main ? main->groupLabel(i) : QString()));
    cbGroup->setCurrentIndex(0);
    cbGroup_Click();
}

bool frmMcrSetup::groupRecording() const
{
    return chkRec && chkRec->isChecked();
}

void frmMcrSetup::clearGroupHold()
{
    if (lstGrphold)
        lstGrphold->clear();
}

void frmMcrSetup::cbGroup_Click()
{
    const int n = cbGroup->currentIndex();
    if (n < 0 || n >= kGroupCount)
        return;
    GroupIndex = n;
    MainWindowService *main = MainWindow();
    txtGrName->setText(main ? main->groupLabel(n) : QString());
    lbl3->setText(LangCap(QStringLiteral("Items currently saved in Group")) + QStringLiteral(" ") +
                  QString::number(n + 1) + QStringLiteral(" "));
    cbGroup->setItemText(n, GroupSelectorText(n, txtGrName->text()));

    txtGrpContents->clear();
    lstGrFix->clear();
    const QString path = GroupFilePath(ExePath, n);
    if (!FileExists(path))
        return;
    GroupListing listing;
    if (!ReadGroupListing(path, &listing)) {
        LogErr(QStringLiteral("cbGroup, 'loading group' "), QStringLiteral("frmMcrSetup"), 53,
               QStringLiteral("The group file cannot be read: ") + path);
        return;
    }
    if (txtGrName->text().isEmpty() && listing.hasLabel)
        txtGrName->setText(listing.label);
    txtGrpContents->setPlainText(listing.contents);
    lstGrFix->addItems(listing.lines);
}

void frmMcrSetup::setGroupCounter(const QString &text)
{
    if (lblGrpCounter->text() == text)
        return;
    lblGrpCounter->setText(text);
    if (SoundsOn)
        PlayWav(RecordSound);
}

void frmMcrSetup::chkRec_Click()
{
    MainWindowService *main = MainWindow();
    if (chkRec->isChecked()) {
        tmrFlashMain->start();
        if (lblGrpCounter->text() == QLatin1String("0"))
            ClickIfSounds();
        if (main)
            main->lblGrpSave().setText({});
        lstGrp1->clear();
        lstGrRecorded->clear();
        chkRec->setText(LangCap(QStringLiteral("Cancel Rec")));
        lblGrpCounter->setStyleSheet(QStringLiteral("color: #ff0000"));
        cmdSaveGr->setEnabled(true);
        cmdStartOver->setEnabled(true);
        chkCroRecord->setChecked(false);
        chkCroRecord->setEnabled(false);
        lblrecW->show();
        showMainForRecording();
    } else {
        tmrFlashMain->stop();
        chkRec->setText(LangCap(QStringLiteral("&Rec")));
        NoSend = false;
        lblGrpCounter->setStyleSheet(QStringLiteral("color: #000000"));
        if (lstGrRecorded->count() == 0) {
            cmdStartOver->setEnabled(false);
            cmdSaveGr->setEnabled(false);
            setGroupCounter(QStringLiteral("0"));
        }
        if (main) {
            main->setRecordingFlash(false);
            main->setLamp(false);
        }
        chkCroRecord->setEnabled(true);
        lblrecW->hide();
        ClickIfSounds();
    }
    setGroupToolTips();
}

void frmMcrSetup::lblGrpSave_Change()
{
    const QString code = m_lblGrpSave.text();
    if (!groupRecording() || !(code > QLatin1String("0")))
        return;
    lstGrp1->addItem(code);
    lstGrRecorded->addItem(HouseUnitText(code));
    setGroupCounter(QString::number(lstGrRecorded->count()));
}

void frmMcrSetup::cmdSaveGr_Click()
{
    ClickIfSounds();
    if (lstGrRecorded->count() == 0)
        return;
    if (txtGrName->text().isEmpty()) {
        bool ok = false;
        const QString name = Dialogs().inputText(
            this, QStringLiteral("Name Group"),
            QStringLiteral("Please name your Group.  Name should be a short description to "
                           "identify what the group contains."),
            QString(), &ok);
        txtGrName->setText(ok ? name.left(30) : QString());
    }
    const int n = GroupIndex;
    const QString path = GroupFilePath(ExePath, n);
    if (FileExists(path)) {
        const int answer = Questions(LangCap(QStringLiteral("OK to overwrite existing group?")), 4,
                                     LangCap(QStringLiteral("Group")) + QStringLiteral(" ") +
                                         QString::number(n + 1) + QStringLiteral(" ") +
                                         LangCap(QStringLiteral("Already Exists!")),
                                     MsgIcon::Question);
        if (answer != 1)
            return;
    }
    QStringList codes;
    for (int i = 0; i < lstGrp1->count(); ++i)
        codes << lstGrp1->item(i)->text();
    if (!SaveGroupFile(ExePath, n, txtGrName->text(), codes)) {
        // The recording stays, so it can be saved once the folder is writable.
        Info(LangCap(QStringLiteral("The group could not be saved:")) + QStringLiteral(" ") + path,
             true, false,
             LangCap(QStringLiteral("Group")) + QStringLiteral(" ") + QString::number(n + 1),
             QStringLiteral("OK"), true);
        return;
    }
    if (MainWindowService *main = MainWindow())
        main->setGroupLabel(n, txtGrName->text());
    chkRec->setChecked(false);
    cbGroup->setCurrentIndex(n);
    cbGroup_Click();
    cmdSaveGr->setEnabled(false);
    cmdStartOver->setEnabled(false);
    lstGrRecorded->clear();
    lstGrp1->clear();
    cmdDelGrCmd->setEnabled(false);
    setGroupCounter(QStringLiteral("0"));
}

void frmMcrSetup::cmdStartOver_Click()
{
    if (chkRec->isChecked() && lblGrpCounter->text() == QLatin1String("0"))
        ClickIfSounds();
    if (MainWindowService *main = MainWindow()) {
        main->lblGrpSave().setText({});
        main->lblGrp().setText({});
    }
    lstGrp1->clear();
    lstGrRecorded->clear();
    cmdDelGrCmd->setEnabled(false);
    chkRec->setChecked(true);
    cmdSaveGr->setEnabled(true);
    setGroupCounter(QStringLiteral("0"));
}

void frmMcrSetup::cmdDelGrCmd_Click()
{
    const int i = lstGrRecorded->currentRow();
    if (i < 0 || !lstGrRecorded->currentItem() || !lstGrRecorded->currentItem()->isSelected())
        return;
    delete lstGrRecorded->takeItem(i);
    if (i < lstGrp1->count())
        delete lstGrp1->takeItem(i);
    setGroupCounter(QString::number(lstGrRecorded->count()));
    if (lstGrRecorded->count() == 0) {
        cmdDelGrCmd->setEnabled(false);
    } else {
        lstGrRecorded->setCurrentRow(0);
    }
}

void frmMcrSetup::lstGrRecorded_Click()
{
    if (lstGrRecorded->count() >= 1)
        cmdDelGrCmd->setEnabled(true);
}

void frmMcrSetup::cmdLabelOnly_Click()
{
    ClickIfSounds();
    const int n = GroupIndex;
    const QString label = txtGrName->text();
    const QString path = GroupFilePath(ExePath, n);
    const QString stored = goGrLabel(QStringLiteral("g"), path);
    if (MainWindowService *main = MainWindow())
        main->setGroupLabel(n, label);
    cbGroup->setItemText(n, GroupSelectorText(n, label));
    chkRec->setChecked(false);

    // The label is rewritten in the file the console reads its labels from.
    QString error;
    const QString r = goGrLabel(QStringLiteral("p"), path, label, &error);
    if (!error.isEmpty()) {
        // The file keeps its old label, and so do the console and the
        // selector; the new one stays in the box to try again.
        if (MainWindowService *main = MainWindow())
            main->setGroupLabel(n, stored);
        cbGroup->setItemText(n, GroupSelectorText(n, stored));
        LogErr(QStringLiteral("cmdLabelOnly"), QStringLiteral("frmMcrSetup"), 75, error);
        Info(LangCap(QStringLiteral("The group label could not be saved:")) + QStringLiteral(" ") +
                 error,
             true, false, QStringLiteral("Group ") + QString::number(n + 1), QStringLiteral("OK"),
             true);
        return;
    }
    QString shown = r;
    if (shown.isEmpty())
        shown = label;
    if (shown.isEmpty())
        shown = LangCap(QStringLiteral("NOTHING!"));
    Info(LangCap(QStringLiteral("Group")) + QStringLiteral(" ") + QString::number(n + 1) +
             QStringLiteral("'s") + LangCap(QStringLiteral("label has been changed")) +
             QStringLiteral("\r\n to:   \"") + shown + QStringLiteral("\""),
         false, false, QStringLiteral("Group ") + QString::number(n + 1), QStringLiteral("OK"),
         true);
}

void frmMcrSetup::cmdDeleteGroup_Click()
{
    const int n = GroupIndex;
    const QString path = GroupFilePath(ExePath, n);
    if (!FileExists(path))
        return;
    const int answer = Questions(
        LangCap(QStringLiteral("This will delete all contents of group")) + QStringLiteral(" ") +
            QString::number(n + 1),
        4, LangCap(QStringLiteral("Delete Group")) + QStringLiteral(" ") + QString::number(n + 1),
        MsgIcon::Exclamation);
    if (answer != 1)
        return;
    if (!DeleteGroupFile(ExePath, n)) {
        Info(LangTip(QStringLiteral("Delete Failed")) + QStringLiteral(" 75: ") +
                 LangCap(QStringLiteral("Path/File access error")),
             true, false, QString(), QStringLiteral("OK"), true);
        LogErr(QStringLiteral("cmdDeleteGroup"), QStringLiteral("frmMcrSetup"), 75,
               QStringLiteral("Path/File access error"));
        return;
    }
    if (MainWindowService *main = MainWindow())
        main->setGroupLabel(n, QString());
    txtGrName->clear();
    txtGrpContents->clear();
}

void frmMcrSetup::test()
{
    SendBits(QLatin1String(kClosingPattern));
    CurrentWaitClock().sleepMs(250);
    for (int i = 0; i < lstGrphold->count(); ++i) {
        SendBits(RfFrame(lstGrphold->item(i)->text()));
        Delay(0.75);
    }
    if (MainWindowService *main = MainWindow())
        main->frmReturn();
}

} // namespace qelt
