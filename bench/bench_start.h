#pragma once
// The start of a benchmark program that draws: the toolkit offscreen, the
// fixed machine profile of the tests, the library and the program's
// start-up defaults.
#include <cstdlib>

#include "app/appdata.h"
#include "lib/window/startup.h"
#include "platform/os_app.h"
#include "platform/os_config.h"

inline void bench_start_offscreen(int& argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    os_app_start(argc, argv);
    os_config_set(os_config_test_profile());
    winitialise(" ");
    app_data_startup_defaults();
}
