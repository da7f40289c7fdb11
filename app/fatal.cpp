#include "app/fatal.h"

#include "app/records.h"
#include "lib/window/exitprog.h"

AppRunMode app_run_mode;

void app_stop(std::string_view message, int code) {
    if (app_run_mode.batch) exit_program(message, code);
    else app_input_error(message);
}

void reset_app_run_mode() { app_run_mode = AppRunMode{}; }
