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
    return RUN_ALL_TESTS();
}
