#include "core/Globals.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

// Every test starts from the program-wide state of a fresh start.
class ResetGlobalsEachTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override { qelt::ResetGlobals(); }
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qelt::test::TestEnv env;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetGlobalsEachTest);
    return RUN_ALL_TESTS();
}
