#include "macros/frmRunMcr.h"

#include "core/LazyWindow.h"
#include "core/Sounds.h"
#include "core/services/ConsoleServices.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/MacroPlayer.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "logic/Transmitter.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace qelt {

namespace {

frmRunMcr *g_window = nullptr;

QWidget *MainWidget()
{
    MainWindowService *main = MainWindow();
    return main ? main->widget() : nullptr;
}

void FocusMainWindow()
{
    if (QWidget *w = MainWidget())
        w->activateWindow();
}

void FocusMainWindowIfVisible()
{
    if (QWidget *w = MainWidget(); w && w->isVisible())
        w->activateWindow();
}

class LazyRunner : public MacroRunnerService {
public:
    void showRunner() override { RunMcrWindow()->showRunner(); }
    void unload() override
    {
        if (g_window)
            g_window->unload();
    }
};

} // namespace

QStringList MacroFileNames(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    // Name filters of QDir ignore letter case, as the file list of the
    // original platform did, so "LIGHTS.CRO" is listed too.
    return QDir(folder).entryList({QStringLiteral("*.cro")}, QDir::Files | QDir::Readable,
                                  QDir::Name | QDir::IgnoreCase);
}

frmRunMcr::frmRunMcr(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("frmRunMcr"));
    setWindowTitle(QStringLiteral(" Run"));
    // Hiding the pop-up while the console sits in the tray must not end
    // the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    File1 = new QListWidget(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setSelectionMode(QAbstractItemView::SingleSelection);
    File1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Long names end in "..." rather than needing a sideways scroll bar.
    File1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    File1->setTextElideMode(Qt::ElideRight);
    File1->setMouseTracking(true);
    File1->viewport()->setMouseTracking(true);
    File1->installEventFilter(this);
    File1->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(File1);
    resize(200, 240);
    setMinimumSize(120, 100);
}

void frmRunMcr::Form_Load()
{
    m_folder = ProgramFolder();
    m_loaded = true;
    File1_Refresh();
}

void frmRunMcr::Form_Unload()
{
    FocusMainWindowIfVisible();
}

void frmRunMcr::showRunner()
{
    if (!m_loaded)
        Form_Load();
    else
        File1_Refresh();
    if (!isVisible())
        placeNearCursor();
    show();
    raise();
    activateWindow();
    File1->setFocus(Qt::ActiveWindowFocusReason);
}

void frmRunMcr::unload()
{
    if (!m_loaded)
        return;
    Form_Unload();
    hide();
    m_loaded = false;
}

void frmRunMcr::closeEvent(QCloseEvent *event)
{
    // The close box unloads the pop-up; it stays in memory for the next use.
    unload();
    event->accept();
}

void frmRunMcr::File1_Refresh()
{
    const QString keep = selectedFileName();
    File1->clear();
    File1->addItems(MacroFileNames(m_folder));
    if (!keep.isEmpty()) {
        const QList<QListWidgetItem *> found = File1->findItems(keep, Qt::MatchExactly);
        if (!found.isEmpty())
            File1->setCurrentItem(found.first());
    }
}

QString frmRunMcr::selectedFileName() const
{
    const QList<QListWidgetItem *> selected = File1->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void frmRunMcr::CroSend()
{
    // Once exit has begun nothing more goes out.
    if (AbortSend)
        return;
    const QString name = selectedFileName();
    if (name.isEmpty()) {
        // Without a file only the lead-in is sent.
        SendBits(QLatin1String(kLeadIn));
        return;
    }
    const bool tick = SchedulerSoundOn(QStringLiteral("TimerMsound"));

    MacroPlayHooks hooks;
    hooks.minimumPause = 0.05;
    hooks.moduleName = QStringLiteral("frmRunMcr");
    hooks.lamp = [](bool lit) {
        if (MainWindowService *main = MainWindow())
            main->setLamp(lit);
    };
    hooks.tick = [tick] {
        if (SoundsOn && tick)
            PlayWav(TickSound);
    };
    hooks.closingPattern = [] {
        if (MainWindowService *main = MainWindow())
            main->frmReturn();
    };
    // The player sends the lead-in, skips and logs lines that are not
    // commands, stops at a pause that is not a number and after every wait
    // once exit has begun.
    const MacroPlayResult result = PlayMacroFile(m_folder + QLatin1Char('/') + name, hooks);
    if (result == MacroPlayResult::Played && !MinOnStart && MainView)
        FocusMainWindow();
}

void frmRunMcr::File1_DblClick()
{
    if (!MinOnStart && MainView)
        FocusMainWindow();
    hide();
    CroSend();
}

void frmRunMcr::File1_KeyPress(int KeyAscii)
{
    if (KeyAscii != 13)
        return;
    CroSend();
    hide();
}

void frmRunMcr::File1_MouseDown(Qt::MouseButton Button)
{
    if (Button != Qt::RightButton)
        return;
    hide();
    FocusMainWindowIfVisible();
}

void frmRunMcr::File1_LostFocus()
{
    hide();
}

void frmRunMcr::File1_MouseMove()
{
    MainWindowService *main = MainWindow();
    const QString tip =
        main && main->toolTipsOn()
            ? LangTip(QStringLiteral("Double Click macro to run, right click to close"))
            : QString();
    // The item view shows the tip of the area under the mouse, so both get it.
    if (File1->toolTip() != tip) {
        File1->setToolTip(tip);
        File1->viewport()->setToolTip(tip);
    }
}

bool frmRunMcr::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == File1) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                File1_KeyPress(13);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            File1_LostFocus();
        }
    } else if (watched == File1->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
            if (button == Qt::RightButton) {
                File1_MouseDown(button);
                return true;
            }
            break;
        }
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                File1_DblClick();
                return true;
            }
            break;
        case QEvent::MouseMove:
            File1_MouseMove();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmRunMcr::placeNearCursor()
{
    // A pop-up opens where the user just clicked, whole on that screen.
    const QPoint at = QCursor::pos();
    QScreen *screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = frameGeometry().size().expandedTo(this->size());
    const int x =
        std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - size.width()));
    const int y =
        std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - size.height()));
    move(x, y);
}

frmRunMcr *RunMcrWindow()
{
    return LazyWindow(g_window);
}

MacroRunnerService *RunMcrService()
{
    static LazyRunner runner;
    return &runner;
}

} // namespace qelt
