// Common main of every test executable: the toolkit runs offscreen and the
// machine profile is the fixed test profile, so results do not depend on the
// machine the suite runs on.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/os_app.h"
#include "platform/os_config.h"
#include "tests/support/quinda_test.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    os_app_start(argc, argv);
    os_config_set(os_config_test_profile());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
