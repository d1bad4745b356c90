#pragma once

#include "console/frmFire.h"
#include "core/Dialogs.h"
#include "logic/DataFile.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/SerialLink.h"
#include "tests/support/ScriptedDialogs.h"

#include <QTest>

namespace qelt::test {

// The console on the recording stand-in for the serial port, with scripted
// dialogs, no sounds, and its data and language files in the program folder.
struct ConsoleOnFakeLink {
    ScriptedDialogs dialogs;
    RecordingSerialLink link;
    frmFire *fire = nullptr;

    // Creates the console; call once, from initTestCase.
    void startConsole()
    {
        SoundsOn = false;
        ExePath = ProgramFolder();
        LangFile = InProgramFolder("language.ini");
        SetDialogProvider(&dialogs);
        QVERIFY(OpenDataFile(InProgramFolder("db.zvd")));
        link.setPortOpen(true);
        fire = new frmFire(&link);
        SetMainWindow(fire);
    }
};

} // namespace qelt::test
