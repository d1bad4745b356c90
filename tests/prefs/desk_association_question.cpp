// The ".cro" association switch of the preferences on a real desktop: while
// it asks about administrative rights, a second click on the switch cannot
// change the association behind the question's back.

#include "core/FileTypes.h"
#include "core/MessageDialog.h"
#include "core/services/PrefsServices.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "prefs/FormSetup.h"
#include "prefs/SetupGeneralPage.h"
#include "tests/support/Desktop.h"
#include "tests/support/FakeMainWindow.h"
#include "tests/support/FakeTimers.h"
#include "tests/support/ShownDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>

using namespace qelt;
using test::desktop::Script;
namespace desk = qelt::test::desktop;

namespace {

class AssocMainWindow : public test::FakeMainWindow {
public:
    bool associate = false;
    bool mnuAssociateChecked() const override { return associate; }
    void setMnuAssociate(bool checked) override { associate = checked; }
};

void NoRefresh(const QString &, const QStringList &) {}

frmInfo *shownQuestion()
{
    const QList<frmInfo *> shown = test::ShownDialogs();
    return shown.isEmpty() ? nullptr : shown.last();
}

} // namespace

class AssociationQuestionTest : public QObject {
    Q_OBJECT

    AssocMainWindow main;
    test::FakeTimers timers;

private slots:
    void secondClickWhileAskingChangesNothing()
    {
        QVERIFY(OpenDataFile(InProgramFolder(QStringLiteral("db.zvd"))));
        SetMainWindow(&main);
        SetTimers(&timers);
        SetDesktopRefreshRunner(&NoRefresh);
        SetProgramExePath(QCoreApplication::applicationFilePath());
        SoundsOn = false;
        AssocOn = false;
        // A data folder that cannot be made: the switch asks first.
        const QByteArray oldData = qgetenv("XDG_DATA_HOME");
        const QString blocker = test::TestEnv::ScratchPath("assoc-blocker");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        qputenv("XDG_DATA_HOME", QFile::encodeName(blocker + "/data"));
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_DATA_HOME", oldData);
            UnAssocCro();
        });

        FormSetup f;
        f.Form_Load();
        QVERIFY(desk::ShowActive(&f));
        QPushButton *box = f.general->Check2[3];
        QVERIFY(!box->isChecked());
        const QPoint boxAt = box->mapToGlobal(QPoint(8, box->height() / 2));

        QString asked;
        int questionsShown = 0;
        Script s;
        s.then([&] { s.click(boxAt); })
            .then([&] { return shownQuestion() && shownQuestion()->isActiveWindow(); },
                  [&] {
                      asked = shownQuestion()->windowTitle();
                      s.click(boxAt); // the second click, while the question waits
                  })
            .then([&] {
                questionsShown = test::ShownDialogs().size();
                // Whichever question is on top is cancelled.
                s.click(shownQuestion()->cmdNo);
            })
            .then([&] { return test::ShownDialogs().isEmpty(); }, [] {});
        QVERIFY(s.run([] {
            for (frmInfo *d : test::ShownDialogs())
                d->cmdNo->click();
        }));
        QCOMPARE(asked, QStringLiteral("Administrative Rights"));
        QCOMPARE(questionsShown, 1);
        QVERIFY(!box->isChecked());
        QCOMPARE(box->text(), QStringLiteral("OFF"));
        QVERIFY(!CroAssociated());
        QVERIFY(!AssocOn);
        QVERIFY(!main.associate);
        QVERIFY(GetSet("Macro", "DoSet") != QLatin1String("True"));
        f.hide();
        SetMainWindow(nullptr);
        SetTimers(nullptr);
        CloseDataFile();
    }
};

QELT_DESKTOP_TEST_MAIN(AssociationQuestionTest)
#include "desk_association_question.moc"
