#include "tests/support/ResetGlobalsListener.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qelt::test::TestEnv env;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new qelt::test::ResetGlobalsEachTest);
    return RUN_ALL_TESTS();
}
