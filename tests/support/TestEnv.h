#pragma once

#include "core/FileDrops.h"
#include "logic/Globals.h"

#include <QString>
#include <QTemporaryDir>
#include <QTest>

namespace qelt::test {

// Points HOME, the XDG folders, the settings store and the program folder at
// fresh temporary folders, so that no test sees the user's files or another
// test binary's. Call before anything reads settings or paths.
class TestEnv {
public:
    TestEnv();
    QString root() const { return m_dir.path(); }
    QString programFolder() const;

    // A path below the running test binary's own temporary folder, outside the
    // program folder, for files a test needs elsewhere than the program folder.
    static QString ScratchPath(const QString &name);

    // Makes the headless platform show one screen of width x height pixels
    // (at 96 dots an inch) instead of its own; call before the application
    // is made.
    void UseScreen(int width, int height);

private:
    QTemporaryDir m_dir;
};

} // namespace qelt::test

// Main for a Qt Test binary: the headless environment and the program-wide
// state of a fresh start, the drop rule both programs hold to, then the test
// object.
#define QELT_TEST_MAIN(TestObject)                                                                 \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                   \
        qelt::test::TestEnv env;                                                                   \
        qelt::ResetGlobals();                                                                      \
        QApplication app(argc, argv);                                                              \
        qelt::InstallDropRule();                                                                   \
        TestObject tc;                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

// The same, on a screen of width x height pixels.
#define QELT_TEST_MAIN_ON_SCREEN(TestObject, width, height)                                        \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        qelt::test::TestEnv env;                                                                   \
        env.UseScreen(width, height);                                                              \
        qelt::ResetGlobals();                                                                      \
        QApplication app(argc, argv);                                                              \
        qelt::InstallDropRule();                                                                   \
        TestObject tc;                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

// The same, for a test run on a desktop of its own (under_window_manager.sh):
// the real window system, its window manager and tray.
#define QELT_DESKTOP_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        if (qgetenv("QT_QPA_PLATFORM") != "xcb" || qEnvironmentVariableIsEmpty("DISPLAY"))         \
            qFatal("run under tests/support/under_window_manager.sh");                             \
        qelt::test::TestEnv env;                                                                   \
        qelt::ResetGlobals();                                                                      \
        QApplication app(argc, argv);                                                              \
        qelt::InstallDropRule();                                                                   \
        TestObject tc;                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
