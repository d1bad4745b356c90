#include "tests/support/ResetGlobalsListener.h"
#include "tests/support/TestEnv.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// Main for the logic library's tests: temporary folders and a Qt Core
// application, nothing that needs a display.
int main(int argc, char **argv)
{
    qelt::test::TestEnv env;
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new qelt::test::ResetGlobalsEachTest);
    return RUN_ALL_TESTS();
}
