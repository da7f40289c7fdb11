#include "lib/window/exitprog.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "lib/window/startup.h"
#include "lib/window/text.h"

ExitProgramFn exit_program_hook = iosexitprogram;

void exit_program(std::string_view message, int code) {
    if (exit_program_hook) exit_program_hook(message, code);
    else exit_program_default(message, code);
}

void exit_program_default(std::string_view message, int code) {
    if (!txt_blank(message)) {
        const std::string m = txt_c(message);
        std::fprintf(stderr, "%s\n", m.c_str());
    }
    std::fflush(nullptr);
    std::exit(code);
}
