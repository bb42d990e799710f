// The main of the test programs that need an application object: it exists
// before the first test and lives until the last one ends.

#include "TestApplication.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    TestApplication();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
