// The quick-edit panel beside the macro grid (four boxes with pickers, three
// insert modes, "Enter", the code palette and the sliding lid), the grid's
// own cell events and the small recording aids of the macro page.

#include "macros/frmMcrSetup.h"

#include "core/Dialogs.h"
#include "logic/Lang.h"
#include "logic/QuickEditRules.h"
#include "logic/Transmitter.h"
#include "macros/EditorEvents.h"
#include "macros/NamedControls.h"
#include "macros/frmMDelay.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace qelt {

namespace {

constexpr int kLidClosed = 985;  // twips
constexpr int kLidGripGap = 250; // the grip's top lies this far above the lid's edge
constexpr int kLidStep = 25;

const QColor kItemNumBack(0xFF, 0xF4, 0xE0); // the panel colours FixGrid gives the grid
const QColor kIPauseBack(0xE0, 0xE0, 0xFF);

QuickBox BoxKind(const frmMcrSetup *w, const QObject *box)
{
    if (box == w->txtHouse)
        return QuickBox::House;
    if (box == w->txtUnit)
        return QuickBox::Unit;
    if (box == w->txtAction)
        return QuickBox::Action;
    return QuickBox::Pause;
}

bool IsEnter(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// Keys the boxes leave to the widget: moving, deleting, shortcuts.
bool IsEditingKey(const QKeyEvent *key)
{
    return key->text().isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
           key->key() == Qt::Key_Delete || key->key() == Qt::Key_Escape ||
           (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

QLineEdit *CentredBox(QWidget *parent, const char *name, int width)
{
    auto *b = new QLineEdit(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAlignment(Qt::AlignCenter);
    b->setFixedWidth(width);
    return b;
}

} // namespace

void frmMcrSetup::buildQuickEdit()
{
    QWidget *page = sTab->widget(0);
    buildQuickFields(page);
    QWidget *palette = buildPalette(page);
    placeQuickEdit(page, palette);
    connectQuickBoxes();
    connectQuickPanel();
    connectGridEvents();
    placeLid();
}

// The panel Frame1: the four code boxes with their heads, the insert modes,
// "Enter", the row number and pause, the hidden pickers and the lid.
void frmMcrSetup::buildQuickFields(QWidget *page)
{
    Frame1 = new QFrame(page);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setMouseTracking(true);
    txtHouse = CentredBox(Frame1, "txtHouse", 34);
    txtHouse->setMaxLength(1);
    txtUnit = CentredBox(Frame1, "txtUnit", 40);
    txtAction = CentredBox(Frame1, "txtAction", 40);
    txtAction->setMaxLength(3);
    txtPause = CentredBox(Frame1, "txtPause", 46);
    txtItemNum = CentredBox(Frame1, "txtItemNum", 40);
    txtItemNum->setReadOnly(true);
    txtItemNum->setStyleSheet(QStringLiteral("background: %1").arg(kItemNumBack.name()));
    txtIPause = NamedLabel(Frame1, "txtIPause", QString());
    txtIPause->setAlignment(Qt::AlignCenter);
    txtIPause->setAutoFillBackground(true);
    txtIPause->setStyleSheet(QStringLiteral("background: %1").arg(kIPauseBack.name()));
    txtIPause->setMinimumWidth(80);
    txtIPause->setFixedHeight(txtItemNum->sizeHint().height());
    Option1[0] = new QRadioButton(LangCap(QStringLiteral("Replace Selected")), Frame1);
    Option1[1] = new QRadioButton(LangCap(QStringLiteral("Add As Row Num")), Frame1);
    Option1[2] = new QRadioButton(LangCap(QStringLiteral("Add To End")), Frame1);
    for (int i = 0; i < 3; ++i)
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
    Option1[2]->setChecked(true);
    Command3 = new QPushButton(LangCap(QStringLiteral("Enter")), Frame1);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setEnabled(false);

    auto picker = [this](const char *name, const QStringList &items) {
        auto *c = new QComboBox(Frame1);
        c->setObjectName(QString::fromLatin1(name));
        c->addItems(items);
        c->hide();
        return c;
    };
    QStringList houses, units;
    for (int i = 0; i < 16; ++i) {
        houses << QString(QChar('A' + i));
        units << QString::number(i + 1);
    }
    units << QStringLiteral("ALL") << QStringLiteral("PRE");
    cbHouse = picker("cbHouse", houses);
    cbUnit = picker("cbUnit", units);
    cbAction =
        picker("cbAction", {QStringLiteral("ON"), QStringLiteral("OFF"), QStringLiteral("BRI"),
                            QStringLiteral("DIM"), QStringLiteral("ALN"), QStringLiteral("ALF"),
                            QStringLiteral("AUF")});

    auto *fields = new QGridLayout(Frame1);
    fields->setContentsMargins(6, 6, 6, 6);
    fields->setVerticalSpacing(2);
    const char *heads[] = {"House", "Unit", "Action", "Pause"};
    QLineEdit *boxes[] = {txtHouse, txtUnit, txtAction, txtPause};
    for (int i = 0; i < 4; ++i) {
        auto *head = new QLabel(LangCap(QString::fromLatin1(heads[i])), Frame1);
        head->setAlignment(Qt::AlignCenter);
        fields->addWidget(head, 0, i, Qt::AlignHCenter);
        fields->addWidget(boxes[i], 1, i, Qt::AlignHCenter);
    }
    fields->addWidget(Command3, 1, 4);
    fields->addWidget(Option1[0], 2, 0, 1, 3);
    fields->addWidget(Option1[1], 3, 0, 1, 3);
    fields->addWidget(Option1[2], 4, 0, 1, 3);
    auto *rowBox = new QVBoxLayout;
    rowBox->addWidget(txtItemNum, 0, Qt::AlignHCenter);
    rowBox->addWidget(txtIPause);
    fields->addLayout(rowBox, 2, 3, 3, 2);

    // The lid, its opening button and the closing grip sit over the fields.
    FrameLid = new QFrame(Frame1);
    FrameLid->setObjectName(QStringLiteral("FrameLid"));
    FrameLid->setAutoFillBackground(true);
    FrameLid->setStyleSheet(QStringLiteral("QFrame#FrameLid { background: #e0e0e0; }"));
    FrameLid->setMouseTracking(true);
    lblLid = new QPushButton(LangCap(QStringLiteral("Quick Edit")), Frame1);
    lblLid->setObjectName(QStringLiteral("lblLid"));
    lblCloseLid = NamedLabel(Frame1, "lblCloseLid", QStringLiteral("llllllll"));
    lblCloseLid->setCursor(Qt::PointingHandCursor);
    lblCloseLid->hide();
}

// The code palette: house letters, units, then the special units and actions.
QWidget *frmMcrSetup::buildPalette(QWidget *page)
{
    auto *palette = new QWidget(page);
    palette->setObjectName(QStringLiteral("palette"));
    auto *paletteLayout = new QGridLayout(palette);
    paletteLayout->setContentsMargins(0, 0, 0, 0);
    paletteLayout->setSpacing(1);
    for (int i = 0; i < kPaletteCount; ++i) {
        Label12[i] = NamedLabel(palette, "Label12", PaletteCaption(i));
        Label12[i]->setObjectName(QStringLiteral("Label12_%1").arg(i));
        Label12[i]->setAlignment(Qt::AlignCenter);
        Label12[i]->setStyleSheet(
            QStringLiteral("QLabel { border: 1px solid #a0a0a0; background: #f4f4f4; }"));
        Label12[i]->setMinimumWidth(22);
        Label12[i]->setCursor(Qt::PointingHandCursor);
        const int row = i < 16 ? 0 : i < 32 ? 1 : 2;
        const int col = i < 16 ? i : i < 32 ? i - 16 : i - 32;
        paletteLayout->addWidget(Label12[i], row, col);
    }
    Label1 = NamedLabel(
        page, "Label1",
        LangCap(QStringLiteral("Select a box in the editor and click a code below to enter")));
    Label3 = NamedLabel(page, "Label3", QString());
    return palette;
}

// The panel goes in the side column, the palette under the grid and the
// file name under the palette.
void frmMcrSetup::placeQuickEdit(QWidget *page, QWidget *palette)
{
    auto *macroLayout = qobject_cast<QGridLayout *>(page->layout());
    if (QLayoutItem *sideItem = macroLayout->itemAtPosition(0, 1)) {
        if (auto *side = qobject_cast<QBoxLayout *>(sideItem->layout()))
            side->insertWidget(side->count() - 1, Frame1);
    }
    macroLayout->removeWidget(txtFileName);
    auto *under = new QVBoxLayout;
    under->addWidget(Label1);
    under->addWidget(palette);
    macroLayout->addLayout(under, 1, 0, 1, 2);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(Label3);
    fileRow->addWidget(txtFileName, 1);
    macroLayout->addLayout(fileRow, 2, 0, 1, 2);
}

// The code boxes and their pickers: keys, focus, double click and status texts.
void frmMcrSetup::connectQuickBoxes()
{
    for (QLineEdit *b : {txtHouse, txtUnit, txtAction, txtPause}) {
        connect(b, &QLineEdit::textChanged, this, [this] { quickBox_Change(); });
        OnEvent(b, [this, b](QEvent *event) {
            switch (event->type()) {
            case QEvent::KeyPress: {
                auto *key = static_cast<QKeyEvent *>(event);
                if (IsEnter(key)) {
                    quickBox_KeyPress(b, QChar(13));
                    return true;
                }
                if (IsEditingKey(key))
                    return false;
                return !quickBox_KeyPress(b, key->text().at(0));
            }
            case QEvent::FocusIn:
                QTimer::singleShot(0, b, [b] { b->selectAll(); });
                return false;
            case QEvent::FocusOut:
                if (static_cast<QFocusEvent *>(event)->reason() == Qt::PopupFocusReason)
                    return false;
                if (b == txtUnit)
                    txtUnit_LostFocus();
                else if (b == txtAction)
                    txtAction_LostFocus();
                else if (b == txtPause)
                    txtPause_LostFocus();
                return false;
            case QEvent::MouseButtonDblClick:
                quickBox_DblClick(b);
                return true;
            case QEvent::Enter: {
                static const char *texts[] = {
                    "double click the 'House Code' edit box for a list of commands",
                    "double click the 'Unit Code' edit box for a list of commands",
                    "double click the 'Action' edit box for a list of commands",
                    "double click the 'Pause' edit box to open the seconds calculator"};
                lblStatus->setText(LangCap(QString::fromLatin1(texts[int(BoxKind(this, b))])));
                return false;
            }
            default:
                return false;
            }
        });
    }
    for (QComboBox *c : {cbHouse, cbUnit, cbAction}) {
        OnEvent(c, [this, c](QEvent *event) {
            if (event->type() == QEvent::KeyPress) {
                auto *key = static_cast<QKeyEvent *>(event);
                if (IsEnter(key)) {
                    (c == cbHouse ? txtUnit : c == cbUnit ? txtAction : txtPause)->setFocus();
                    picker_LostFocus(c);
                    return true;
                }
                if (c == cbUnit && !IsEditingKey(key))
                    return QuickEditKey(QuickBox::UnitPicker, key->text().at(0), {}).isNull();
                return false;
            }
            if (event->type() == QEvent::FocusOut &&
                static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
                QTimer::singleShot(0, c, [this, c] {
                    if (c->isVisible() && !c->hasFocus() && !c->view()->isVisible())
                        picker_LostFocus(c);
                });
            return false;
        });
    }
}

// The insert modes, "Enter", the palette, the lid and the status texts of the
// panel's other controls.
void frmMcrSetup::connectQuickPanel()
{
    for (int i = 0; i < 3; ++i) {
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
        OnEvent(Option1[i], [this](QEvent *event) {
            if (event->type() == QEvent::KeyPress && IsEnter(static_cast<QKeyEvent *>(event))) {
                (Command3->isEnabled() ? static_cast<QWidget *>(Command3) : txtHouse)->setFocus();
                return true;
            }
            return false;
        });
    }
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    for (int i = 0; i < kPaletteCount; ++i)
        OnEvent(Label12[i], [this, i](QEvent *event) {
            if (event->type() == QEvent::MouseButtonPress &&
                static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                Label12_MouseDown(i);
                return true;
            }
            if (event->type() == QEvent::Enter)
                lblStatus->setText(LangCap(PaletteStatus(i)));
            return false;
        });

    connect(lblLid, &QPushButton::clicked, this, [this] { lblLid_Click(); });
    OnEvent(lblLid, [this](QEvent *event) {
        if (event->type() == QEvent::Enter)
            lblStatus->setText(LangCap(QStringLiteral("Open Quick Edit")));
        return false;
    });
    OnEvent(lblCloseLid, [this](QEvent *event) {
        if (event->type() == QEvent::Enter) {
            lblCloseLid->setStyleSheet(QStringLiteral("color: #0000ff"));
            lblStatus->setText(LangCap(QStringLiteral("Close Quick Edit")));
        } else if (event->type() == QEvent::MouseButtonRelease) {
            mnuCloseLid_Click();
            return true;
        }
        return false;
    });
    OnEvent(FrameLid, [this](QEvent *event) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
            lblStatus->clear();
        return false;
    });
    OnEvent(Frame1, [this](QEvent *event) {
        if (event->type() == QEvent::Resize)
            placeLid();
        else if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter)
            lblCloseLid->setStyleSheet(QStringLiteral("color: #000000"));
        return false;
    });
    OnEvent(txtItemNum, [this](QEvent *event) {
        if (event->type() == QEvent::MouseButtonRelease)
            lblStatus->setText(LangCap(QStringLiteral("Click a Row to change the Row Num")));
        return false;
    });
    const char *pauseModeTexts[] = {"Enter pause times while recording",
                                    "5 second pause entered automatically for later editing"};
    for (int i = 0; i < 2; ++i) {
        const QString text = QString::fromLatin1(pauseModeTexts[i]);
        OnEvent(Option2[i], [this, text](QEvent *event) {
            if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
                lblStatus->setText(LangCap(text));
            return false;
        });
    }
}

// The grid's own cell events, its drop target and the file-name box.
void frmMcrSetup::connectGridEvents()
{
    disconnect(Grid1, &QTableWidget::cellDoubleClicked, this, nullptr);
    connect(Grid1, &QTableWidget::cellClicked, this, [this](int, int) { Grid1_Click(); });
    connect(Grid1, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int column) { Grid1_DblClick(row + 1, column); });
    Grid1->viewport()->setMouseTracking(true);
    AcceptFileDrops(Grid1->viewport());
    OnEvent(Grid1->viewport(), [this](QEvent *event) {
        if (event->type() == QEvent::MouseMove) {
            lblStatus->clear();
            return false;
        }
        return HandleFileDrop(event,
                              [this](const QStringList &files) { Grid1_OLEDragDrop(files); });
    });
    // Leaving the grid checks it; the pause editor inside it does not count.
    OnEvent(Grid1, [this](QEvent *event) {
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
            QTimer::singleShot(0, this, [this] {
                QWidget *now = QApplication::focusWidget();
                if (now == Grid1 || now == chPause || !m_loaded)
                    return;
                FixGrid();
                Delay(0.1);
            });
        return false;
    });

    // The file-name box: its label and the caret follow the text.
    connect(txtFileName, &QLineEdit::textChanged, this, [this](const QString &text) {
        txtFileName->setCursorPosition(int(text.size()));
        Label3->setText(text.isEmpty() ? QString() : LangCap(QStringLiteral("Open file:")));
    });
}

// ---- the lid ----

void frmMcrSetup::quickEditLoad()
{
    m_lidHeight = kLidClosed;
    FrameLid->show();
    lblLid->show();
    lblCloseLid->hide();
    for (QComboBox *picker : {cbHouse, cbUnit, cbAction})
        picker->hide();
    Option1[2]->setChecked(true);
    placeLid();
}

void frmMcrSetup::placeLid()
{
    if (!Frame1)
        return;
    // The lid's twips scale to the panel: closed, it covers the whole panel.
    const int h = Frame1->height();
    auto px = [h](int twips) { return twips * h / kLidClosed; };
    FrameLid->setGeometry(0, 0, Frame1->width(), std::max(0, px(m_lidHeight)));
    const int gripHeight = std::max(lblLid->sizeHint().height(), px(kLidGripGap));
    lblLid->setGeometry(8, px(m_lidHeight - kLidGripGap) + (px(kLidGripGap) - gripHeight) / 2,
                        Frame1->width() - 16, gripHeight);
    const QSize grip = lblCloseLid->sizeHint();
    lblCloseLid->setGeometry(Frame1->width() - grip.width() - 6, 1, grip.width(), grip.height());
    FrameLid->raise();
    lblLid->raise();
    lblCloseLid->raise();
}

void frmMcrSetup::lblLid_Click()
{
    if (m_lidMoving)
        return;
    m_lidMoving = true;
    Grid1->setFocus();
    WaitClock &clock = CurrentWaitClock();
    while (m_lidHeight >= 20) {
        m_lidHeight -= kLidStep;
        placeLid();
        clock.processEvents();
        clock.sleepMs(1);
    }
    FrameLid->hide();
    lblLid->hide();
    lblCloseLid->show();
    m_lidMoving = false;
}

void frmMcrSetup::mnuCloseLid_Click()
{
    if (m_lidMoving)
        return;
    m_lidMoving = true;
    FrameLid->show();
    lblLid->show();
    lblCloseLid->hide();
    WaitClock &clock = CurrentWaitClock();
    while (m_lidHeight <= 950) {
        m_lidHeight += kLidStep;
        placeLid();
        clock.processEvents();
        clock.sleepMs(1);
    }
    m_lidHeight = kLidClosed;
    placeLid();
    m_lidMoving = false;
}

// ---- the four boxes ----

void frmMcrSetup::quickBox_Change()
{
    Command3->setEnabled(!txtHouse->text().isEmpty() && !txtUnit->text().isEmpty() &&
                         !txtAction->text().isEmpty() && !txtPause->text().isEmpty());
}

bool frmMcrSetup::quickBox_KeyPress(QLineEdit *box, QChar key)
{
    const QuickBox kind = BoxKind(this, box);
    if (key.unicode() == 13) {
        const bool empty = box->text().isEmpty();
        switch (kind) {
        case QuickBox::House:
            empty ? showPicker(cbHouse, txtHouse, QStringLiteral("A")) : txtUnit->setFocus();
            break;
        case QuickBox::Unit:
            empty ? showPicker(cbUnit, txtUnit, QStringLiteral("1")) : txtAction->setFocus();
            break;
        case QuickBox::Action:
            empty ? showPicker(cbAction, txtAction, QStringLiteral("ON")) : txtPause->setFocus();
            break;
        case QuickBox::Pause:
        case QuickBox::UnitPicker:
            if (empty)
                quickBox_DblClick(txtPause);
            else
                Option1[2]->setFocus();
            break;
        }
        return false;
    }
    const QChar typed = QuickEditKey(kind, key, box->text(), int(box->selectedText().size()));
    if (typed.isNull())
        return false;
    if (typed != key) {
        box->insert(QString(typed));
        return false;
    }
    return true;
}

void frmMcrSetup::txtUnit_LostFocus()
{
    txtUnit->setText(CorrectUnit(txtUnit->text()));
}

void frmMcrSetup::txtAction_LostFocus()
{
    if (!cbAction->isHidden())
        return;
    QString action = txtAction->text();
    QString unit = txtUnit->text();
    CorrectAction(action, unit);
    txtAction->setText(action);
    txtUnit->setText(unit);
}

void frmMcrSetup::txtPause_LostFocus()
{
    txtPause->setText(CorrectPause(txtPause->text()));
}

void frmMcrSetup::showPicker(QComboBox *picker, QLineEdit *box, const QString &fallback)
{
    // Over the box; the unit and action pickers a little to its left.
    QRect place = box->geometry();
    if (picker != cbHouse)
        place.translate(-3, 0);
    place.setWidth(std::max(place.width() + 24, picker->sizeHint().width()));
    picker->setGeometry(place);
    const QString text = box->text().isEmpty() ? fallback : box->text();
    const int index = picker->findText(text);
    if (index >= 0)
        picker->setCurrentIndex(index);
    picker->show();
    picker->raise();
    picker->setFocus();
}

void frmMcrSetup::picker_LostFocus(QComboBox *picker)
{
    if (picker->isHidden())
        return;
    QLineEdit *box = picker == cbHouse ? txtHouse : picker == cbUnit ? txtUnit : txtAction;
    box->setText(picker->currentText());
    picker->hide();
    if (picker == cbAction) {
        // Through the unit box to the pause box, so the unit is corrected.
        txtUnit->setFocus();
        txtUnit_LostFocus();
        txtPause->setFocus();
    }
}

void frmMcrSetup::quickBox_DblClick(QLineEdit *box)
{
    if (box == txtHouse)
        showPicker(cbHouse, txtHouse, QStringLiteral("A"));
    else if (box == txtUnit)
        showPicker(cbUnit, txtUnit, QStringLiteral("1"));
    else if (box == txtAction)
        showPicker(cbAction, txtAction, QStringLiteral("ON"));
    else if (box == txtPause) {
        const QString pause = MDelayWindow()->askModal();
        if (!pause.isEmpty())
            txtPause->setText(pause);
        txtPause->setFocus();
    }
}

// ---- insert modes and "Enter" ----

void frmMcrSetup::Option1_Click(int index)
{
    if (index != 1)
        return;
    const int r = currentRow();
    if (r >= 1) {
        Grid1->setCurrentCell(r - 1, ColRowNum);
        txtItemNum->setText(m_rows.at(r - 1)[ColRowNum]);
    }
}

void frmMcrSetup::Command3_Click()
{
    m_editRow = currentRow();
    m_editCol = Grid1->currentColumn();
    const auto anyEmpty = [this] {
        return txtHouse->text().isEmpty() || txtUnit->text().isEmpty() ||
               txtAction->text().isEmpty() || txtPause->text().isEmpty();
    };
    const QString mustFill =
        LangCap(QStringLiteral("All edit boxes must be filled in before a command is entered"));
    if (anyEmpty()) {
        Info(mustFill, true, false, QString(), QStringLiteral("OK"), true);
        return;
    }
    // The corrections each box makes when it is left, in tab order.
    txtUnit_LostFocus();
    txtAction_LostFocus();
    txtPause_LostFocus();
    Command3->setFocus();
    CurrentWaitClock().processEvents();
    Delay(0.15);
    if (txtPause->text().isEmpty())
        txtPause->setText(QStringLiteral("0001"));
    // An action that empties its unit (ON with ALL) leaves nothing to write.
    if (anyEmpty()) {
        Info(mustFill, true, false, QString(), QStringLiteral("OK"), true);
        return;
    }

    InsertMode mode = InsertMode::AtEnd;
    if (Option1[1]->isChecked())
        mode = InsertMode::AtRowNum;
    else if (Option1[0]->isChecked())
        mode = InsertMode::Replace;
    const int written =
        QuickEnterRow(m_rows, mode, m_editRow,
                      {txtHouse->text(), txtUnit->text(), txtAction->text(), txtPause->text()});
    if (written == 0) {
        Info(LangCap(QStringLiteral("You must select a row first")), true, false, QString(),
             QStringLiteral("OK"), true);
        return;
    }
    QuickRenumber(m_rows);
    showRows();
    if (m_editRow >= 1)
        Grid1->setCurrentCell(std::min(m_editRow, int(m_rows.size())) - 1, std::max(0, m_editCol));
    chkCroRecord->setChecked(false);
    MacroChanged = true;
    showRowInPanel();
}

// ---- the code palette ----

void frmMcrSetup::Label12_MouseDown(int index)
{
    const int column = Grid1->currentColumn();
    const int r = currentRow();
    if (r >= 1 && r <= m_rows.size() && PaletteFitsColumn(index, column)) {
        m_rows[r - 1][column] = PaletteCaption(index);
        if (column == ColUnit)
            m_rows[r - 1].unitShade = CellShade::Plain;
        showRow(r - 1);
        Grid1->setCurrentCell(r - 1, column);
    }
    if (!m_rows.first()[ColHouse].isEmpty())
        MacroChanged = true;
}

// ---- grid cell events ----

void frmMcrSetup::showRowInPanel()
{
    const int r = currentRow();
    if (r < 1 || r > m_rows.size())
        return;
    txtIPause->setText(RunningPauseText(m_rows.at(r - 1)[ColRunning]));
    txtItemNum->setText(m_rows.at(r - 1)[ColRowNum]);
}

void frmMcrSetup::Grid1_Click()
{
    showRowInPanel();
}

void frmMcrSetup::Grid1_DblClick(int row, int column)
{
    if (row < 1 || row > m_rows.size())
        return;
    const MacroRow &cells = m_rows.at(row - 1);
    switch (column) {
    case ColRowNum:
        txtItemNum->setText(cells[ColRowNum]);
        txtPause->setText(cells[ColPause]);
        txtAction->setText(cells[ColAction]);
        txtUnit->setText(cells[ColUnit]);
        txtHouse->setText(cells[ColHouse]);
        break;
    case ColHouse:
        txtHouse->setText(cells[ColHouse]);
        break;
    case ColUnit:
        txtUnit->setText(cells[ColUnit]);
        break;
    case ColAction:
        txtAction->setText(cells[ColAction]);
        break;
    case ColPause:
        chPause_Show(row);
        if (cells[ColPause] == QLatin1String("error"))
            chPause->clear();
        return;
    default:
        break;
    }
    Grid1->setCurrentCell(row - 1, column);
}

void frmMcrSetup::Grid1_OLEDragDrop(const QStringList &files)
{
    if (files.isEmpty())
        return;
    const QString name = files.first();
    if (!name.endsWith(QLatin1String(".cro")))
        return;
    if (!mayReplaceRows())
        return;
    CroFileName = name;
    txtFileName->clear();
    txtFileName->setText(name);
}

} // namespace qelt
