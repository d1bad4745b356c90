#include "console/frmFire.h"
#include "console/UnitRecords.h"
#include "core/DataFile.h"
#include "core/Lang.h"
#include "core/Globals.h"
#include "core/ProgramFolder.h"
#include "platform/SerialLink.h"
#include "tests/support/TestEnv.h"
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QTest>
using namespace qelt;
class Shot : public QObject {
    Q_OBJECT
private slots:
    void shot()
    {
        QFile::copy("/work/main/resources/language.ini", InProgramFolder("language.ini"));
        LangFile = InProgramFolder("language.ini");
        OpenDataFile(InProgramFolder("db.zvd"));
        PutRec(270, "1");
        PutRec(282, "x");
        PutRec(271, "2");
        PutRec(DeviceRec(2, 1), DeviceRecText("C", 1, "Porch light"));
        PutRec(DeviceRec(2, 3), DeviceRecText("C", 3, "Living room lamp"));
        platform::RecordingSerialLink link;
        frmFire w(&link);
        w.Form_Load();
        w.afterStart_Timer();
        w.setTimerIndicator(true);
        w.tmrTindicate_Timer();
        w.grab().save("/tmp/h5_main.png");
        w.ckbGroups->setChecked(true);
        QTest::qWait(50);
        w.grab().save("/tmp/h5_groups.png");
        w.ImageSlide_Click();
        w.lblDescription_DblClick(1);
        w.grab().save("/tmp/h5_bank.png");
    }
};
QELT_TEST_MAIN(Shot)
#include "tst_h5shot.moc"
