// The library's start-up: the input's first line as the command line, the
// rest as the library settings file, read by winitialise; then the command
// line's words taken as the program takes them. A version request ends the
// program through its process end, replaced here by one that returns.
#include <cstdint>
#include <string>

#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "lib/window/startup.h"
#include "lib/window/text.h"
#include "tests/fuzz/fuzz_target.h"

namespace {
void stay(int) {}
}  // namespace

FUZZ_TARGET(startup) {
    const std::string_view text = fuzz_text(data, size);
    const std::size_t nl = text.find('\n');
    const std::string_view line = text.substr(0, nl);
    os_services.command_line = txt_fixed(line.substr(0, std::min(line.size(), CommandLineLength)), CommandLineLength);
    os_services.command_line_made = true;
    const std::string ini = fuzz_file("quinda.ini", nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1));
    const ProcessExitFn exit_before = process_exit_hook;
    process_exit_hook = stay;
    reset_startup();
    quinda.once_flag = 0;
    winitialise(ini);
    fuzz_check(quinda.once_flag == OnceFlagDone, "start-up is done once");
    std::string word(80, ' ');
    for (int n = -1; n <= 6; ++n) {
        const std::int32_t got = yyargs(n, word);
        fuzz_check(got >= -1, "a word count");
        fuzz_check(word.size() == 80, "a word keeps its declared length");
    }
    process_exit_hook = exit_before;
}
