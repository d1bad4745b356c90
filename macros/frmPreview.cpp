#include "macros/frmPreview.h"

#include "core/Dialogs.h"
#include "core/Sounds.h"
#include "core/WindowHelpers.h"
#include "logic/Globals.h"
#include "logic/Lang.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextOption>
#include <QVBoxLayout>

#include <algorithm>

namespace qelt {

namespace {

frmPreview *g_preview = nullptr;
QString g_printFile;

QFont ListingFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(10);
    return font;
}

// Room for the listing's columns: eight TAB stops must hold the widest
// cells ("Running Pause" totals and "error").
constexpr int kTabStopChars = 7;

} // namespace

void SetPrintToFile(const QString &pdfPath)
{
    g_printFile = pdfPath;
}

void PrepareListingDocument(QTextDocument &document, const QString &text, QPagedPaintDevice *device)
{
    // Laid out for the page itself, so that what is measured here is what
    // is printed.
    document.documentLayout()->setPaintDevice(device);
    document.setPageSize(QSizeF(device->width(), device->height()));
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    // The listing's font, made smaller where a line (the "=" rule is the
    // widest) would not fit the page's width and wrap.
    // The document is left laid out in the last font tried, the one chosen.
    ShrinkFontToFit(ListingFont(), 5, [&](const QFont &font) {
        document.setDefaultFont(font);
        QTextOption option = document.defaultTextOption();
        option.setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char('0')) *
                                  kTabStopChars);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        document.setDefaultTextOption(option);
        document.setPlainText(plain);
        document.documentLayout()->documentSize(); // lays the text out
        bool fits = true;
        for (QTextBlock b = document.begin(); fits && b.isValid(); b = b.next())
            fits = !b.layout() || b.layout()->lineCount() <= 1;
        return fits;
    });
}

bool PrintText(const QString &text, QString *error)
{
    const auto fail = [error](int number, const QString &description) {
        if (error)
            *error = LangCap(QStringLiteral("Error")) + QStringLiteral(" ") +
                     QString::number(number) + QStringLiteral("\r\n") + description;
        return false;
    };
    QPrinter printer(QPrinter::HighResolution);
    if (!g_printFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(g_printFile);
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
        return fail(482, LangCap(QStringLiteral("No printer is set up.")));
    }
    if (!printer.isValid())
        return fail(482, LangCap(QStringLiteral("Printer error")));

    QTextDocument document;
    PrepareListingDocument(document, text, &printer);
    document.print(&printer);
    // A printer or file that cannot be written shows only once the job ran.
    if (printer.printerState() == QPrinter::Error ||
        (!g_printFile.isEmpty() && !QFileInfo::exists(g_printFile)))
        return fail(482, LangCap(QStringLiteral("Printer error")));
    return true;
}

frmPreview *PreviewWindow()
{
    if (!g_preview)
        g_preview = new frmPreview;
    if (!g_preview->loaded())
        g_preview->Form_Load();
    return g_preview;
}

frmPreview::frmPreview(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Print Preview"));
    txtPreview = new QPlainTextEdit(this);
    txtPreview->setObjectName(QStringLiteral("txtPreview"));
    txtPreview->setFont(ListingFont());
    txtPreview->setTabStopDistance(
        QFontMetricsF(ListingFont()).horizontalAdvance(QLatin1Char('0')) * kTabStopChars);
    txtPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    Command1 = new QPushButton(QStringLiteral("&Print"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("&Close"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    // The text box follows the window's size; the buttons stay below it.
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtPreview, 1);
    layout->addLayout(buttons);
    resize(720, 520);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void frmPreview::Form_Load()
{
    m_loaded = true;
    Command1->setText(LangCap(QStringLiteral("&Print")));
    Command2->setText(LangCap(QStringLiteral("&Close")));
    if (SoundsOn)
        PlayWav(ZoomSound);
}

void frmPreview::Form_Unload()
{
    if (SoundsOn)
        PlayWav(ClickSound);
    m_loaded = false;
    hide();
}

void frmPreview::Command1_Click()
{
    QString error;
    const bool printed = PrintText(txtPreview->toPlainText(), &error);
    if (SoundsOn)
        PlayWav(ZoomSound);
    if (!printed)
        Info(error, true, false, QStringLiteral("Orvendale"), QStringLiteral("OK"), true);
    Form_Unload();
}

void frmPreview::Command2_Click()
{
    Form_Unload();
}

void frmPreview::showEvent(QShowEvent *event)
{
    // Placed before it appears, so that the window manager does not put it
    // where part of it is off the screen.
    if (!event->spontaneous())
        placeOnScreen();
    QWidget::showEvent(event);
}

// The whole window, its frame included, on the available part of the
// screen: the first time in the middle of the screen of the active window,
// later where the user left it, pulled back (and made smaller) where it
// would reach past an edge.
void frmPreview::placeOnScreen()
{
    const QWidget *active = QApplication::activeWindow();
    const QScreen *screen =
        m_placed ? this->screen() : (active ? active->screen() : QGuiApplication::primaryScreen());
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    // The frame is known once the window was shown; before that, room for a
    // title bar and thin borders is kept.
    QMargins frame(geometry().left() - frameGeometry().left(),
                   geometry().top() - frameGeometry().top(),
                   frameGeometry().right() - geometry().right(),
                   frameGeometry().bottom() - geometry().bottom());
    if (frame.isNull()) {
        const int border = 4;
        frame = QMargins(border, style()->pixelMetric(QStyle::PM_TitleBarHeight) + border, border,
                         border);
    }
    const QRect inner = room.marginsRemoved(frame);
    resize(std::min(width(), inner.width()), std::min(height(), inner.height()));
    QPoint at = m_placed ? pos() + QPoint(frame.left(), frame.top())
                         : inner.center() - QPoint(width() / 2, height() / 2);
    at.setX(std::clamp(at.x(), inner.left(), inner.right() + 1 - width()));
    at.setY(std::clamp(at.y(), inner.top(), inner.bottom() + 1 - height()));
    move(at - QPoint(frame.left(), frame.top()));
    m_placed = true;
}

void frmPreview::closeEvent(QCloseEvent *event)
{
    event->accept();
    Form_Unload();
}

} // namespace qelt
