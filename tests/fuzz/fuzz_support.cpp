#include "tests/fuzz/fuzz_target.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#ifdef QUINDA_LIBFUZZER
#include "app/records.h"
#include "platform/os_app.h"
#include "platform/os_config.h"
#include "tests/support/quinda_test.h"
#endif

std::vector<std::pair<std::string, FuzzFunction>>& fuzz_targets() {
    static std::vector<std::pair<std::string, FuzzFunction>> list;
    return list;
}

bool fuzz_register(const char* name, FuzzFunction f) {
    fuzz_targets().emplace_back(name, f);
    return true;
}

void fuzz_check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

namespace {

struct ScratchDir {
    std::filesystem::path path;
    ScratchDir() {
        path = std::filesystem::temp_directory_path() / ("quinda-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

}  // namespace

std::string fuzz_path(const std::string& name) {
    static ScratchDir dir;
    return (dir.path / name).string();
}

std::string fuzz_file(const std::string& name, std::string_view bytes) {
    const std::string p = fuzz_path(name);
    std::ofstream(p, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

#ifdef QUINDA_LIBFUZZER
namespace {
void quiet(std::string_view) {}
}  // namespace

// The program's state as a test starts it: offscreen toolkit, the fixed
// machine profile, fresh subsystems; reports are dropped.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    os_app_start(*argc, *argv);
    os_config_set(os_config_test_profile());
    reset_all_state();
    app_set_error_sink(quiet);
    return 0;
}
#endif
