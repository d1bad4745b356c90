// The console's Exit on a real desktop while the macro editor holds a row
// typed in and not saved: the editor's question comes up over the editor,
// active, before anything closes, and Cancel keeps the program running.

#include "console/frmFire.h"
#include "core/Dialogs.h"
#include "core/MessageDialog.h"
#include "macros/InstallMacroWindows.h"
#include "macros/frmMcrSetup.h"
#include "tests/console/ConsoleTestSupport.h"
#include "tests/support/Desktop.h"
#include "tests/support/ShownDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>

using namespace qelt;
using test::desktop::Script;
namespace desk = qelt::test::desktop;

namespace {

frmInfo *shownQuestion()
{
    const QList<frmInfo *> shown = test::ShownDialogs();
    return shown.isEmpty() ? nullptr : shown.last();
}

// The windows the window manager stacks, bottom first.
QStringList Stacking()
{
    const QString out =
        desk::Run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("-notype"),
                                            QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    QStringList ids;
    for (const QString &hex : out.section(QLatin1Char('#'), 1).split(QLatin1Char(',')))
        ids << QString::number(hex.trimmed().toULong(nullptr, 16));
    return ids;
}

} // namespace

class DeskExitQuestionTest : public QObject, private test::ConsoleOnFakeLink {
    Q_OBJECT

private slots:
    void questionComesUpOverTheEditor()
    {
        startConsole();
        SetDialogProvider(nullptr); // the program's own question window
        link.setCommPort(QStringLiteral("1"));
        QCOMPARE(link.setPortOpen(true), PortError::None);
        InstallMacroWindows();
        frmMcrSetup *editor = McrSetupWindow();
        QVERIFY(desk::ShowActive(fire));

        desk::Click(fire->cmdMacroSetup);
        QVERIFY(desk::WaitOnScreen(editor));
        QTRY_VERIFY_WITH_TIMEOUT(desk::IsActive(editor), desk::kStepMs);
        desk::Click(editor->lblLid);
        QTRY_VERIFY_WITH_TIMEOUT(editor->FrameLid->isHidden(), desk::kStepMs);
        desk::Click(editor->txtHouse);
        QTRY_VERIFY_WITH_TIMEOUT(editor->txtHouse->hasFocus(), desk::kStepMs);
        for (const char *typed : {"a", "1", "on", "5"}) {
            desk::Type(QString::fromLatin1(typed));
            desk::Key(QStringLiteral("Return"));
        }
        desk::Click(editor->Command3);
        QTRY_VERIFY_WITH_TIMEOUT(editor->MacroChanged, desk::kStepMs);
        QCOMPARE(editor->rows().size(), 1);
        QCOMPARE(editor->rows().first()[ColHouse], QStringLiteral("A"));
        QCOMPARE(editor->rows().first()[ColUnit], QStringLiteral("1"));
        QCOMPARE(editor->rows().first()[ColAction], QStringLiteral("ON"));

        // The console comes to the front, as from its task bar entry; the
        // editor may lie over its menu label.
        desk::Activate(fire);
        QTRY_VERIFY_WITH_TIMEOUT(desk::IsActive(fire) && fire->isActiveWindow(), desk::kStepMs);
        desk::Click(fire->lblMenu);
        QTRY_VERIFY_WITH_TIMEOUT(fire->Popup1->isVisible(), desk::kStepMs);
        const QPoint exitAt =
            fire->Popup1->mapToGlobal(fire->Popup1->actionGeometry(fire->mnuExit).center());

        QSignalSpy ended(fire, &frmFire::programEnded);
        QString title;
        bool active = false;
        QString questionId;
        QStringList stack; // the console, the editor and the question as stacked, bottom first
        Script s;
        s.then([&] { s.click(exitAt); })
            .then([&] { return shownQuestion() && shownQuestion()->isActiveWindow(); },
                  [&] {
                      frmInfo *q = shownQuestion();
                      title = q->windowTitle();
                      questionId = desk::Id(q);
                      active = desk::IsActive(q);
                      const QStringList ours{desk::Id(q), desk::Id(editor), desk::Id(fire)};
                      for (const QString &id : Stacking())
                          if (ours.contains(id))
                              stack << id;
                      s.click(q->cmdCancel);
                  })
            .then([] { return test::ShownDialogs().isEmpty(); }, [] {});
        QVERIFY(s.run([] {
            for (frmInfo *d : test::ShownDialogs())
                d->cmdCancel->click();
        }));
        QCOMPARE(title, QStringLiteral("Save Changes to Macro?"));
        QVERIFY(active);
        // The editor, with the rows asked about, came up in front of the
        // console whose menu was used, and the question above both.
        QCOMPARE(stack, QStringList({desk::Id(fire), desk::Id(editor), questionId}));

        // Cancelled: nothing of the exit has run.
        QCOMPARE(ended.count(), 0);
        QVERIFY(!fire->isUnloaded());
        QVERIFY(link.portOpen());
        QVERIFY(desk::OnScreen(fire));
        QVERIFY(desk::OnScreen(editor));
        QVERIFY(editor->MacroChanged);
        QCOMPARE(editor->rows().first()[ColHouse], QStringLiteral("A"));

        editor->cmdClearAll_Click();
        editor->unload();
    }
};

QELT_DESKTOP_TEST_MAIN(DeskExitQuestionTest)
#include "desk_exit_question.moc"
