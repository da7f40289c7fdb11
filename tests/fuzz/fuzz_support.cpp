#include "tests/fuzz/fuzz_target.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <csignal>
#include <string>
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

// The run's scratch directory. The first process of a run makes it and
// names it in QUINDA_FUZZ_SCRATCH; the processes it starts (libFuzzer's fork
// and minimise modes) inherit the name and work in directories of their own
// inside it, so that the first process removes all of them when it ends,
// even those of a child that crashed. A crash of the process itself
// (a failed check, a fatal signal) removes its directory on the way down.
struct ScratchDir {
    std::filesystem::path path;
    bool outermost = false;
    ScratchDir() {
        const std::string pid = std::to_string(::getpid());
        std::error_code ec;
        const char* outer = std::getenv("QUINDA_FUZZ_SCRATCH");
        if (outer && *outer && std::filesystem::is_directory(outer, ec)) {
            path = std::filesystem::path(outer) / ("p" + pid);
        } else {
            path = std::filesystem::temp_directory_path() / ("quinda-fuzz-" + pid);
            outermost = true;
        }
        std::filesystem::create_directories(path);
        if (outermost) setenv("QUINDA_FUZZ_SCRATCH", path.c_str(), 1);
    }
    ~ScratchDir() { remove(); }
    void remove() const {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

ScratchDir& scratch() {
    static ScratchDir dir;
    return dir;
}

#ifdef QUINDA_LIBFUZZER
// The handlers found when the first input ran (libFuzzer's own by then):
// ours removes the scratch directory and hands the signal on to them.
constexpr int kDeadly[] = {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL};
struct sigaction g_before[sizeof kDeadly / sizeof kDeadly[0]];

void on_deadly_signal(int sig, siginfo_t* info, void* context) {
    scratch().remove();
    for (std::size_t k = 0; k < sizeof kDeadly / sizeof kDeadly[0]; ++k) {
        if (kDeadly[k] != sig) continue;
        const struct sigaction& b = g_before[k];
        if ((b.sa_flags & SA_SIGINFO) && b.sa_sigaction) {
            b.sa_sigaction(sig, info, context);
        } else if (b.sa_handler != SIG_DFL && b.sa_handler != SIG_IGN) {
            b.sa_handler(sig);
        }
        sigaction(sig, &b, nullptr);
        raise(sig);
        return;
    }
}

void watch_deadly_signals() {
    static const bool done = [] {
        for (std::size_t k = 0; k < sizeof kDeadly / sizeof kDeadly[0]; ++k) {
            struct sigaction a {};
            a.sa_sigaction = on_deadly_signal;
            a.sa_flags = SA_SIGINFO | SA_NODEFER;
            sigemptyset(&a.sa_mask);
            sigaction(kDeadly[k], &a, &g_before[k]);
        }
        return true;
    }();
    (void)done;
}
#endif

}  // namespace

std::string fuzz_path(const std::string& name) {
#ifdef QUINDA_LIBFUZZER
    watch_deadly_signals();
#endif
    return (scratch().path / name).string();
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
    // Made before any input runs, so that the processes this one starts
    // work inside it.
    scratch();
    return 0;
}
#endif
