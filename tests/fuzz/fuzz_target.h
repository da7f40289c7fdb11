#pragma once
// One fuzz target per reader. A target is a function of the input bytes that
// must neither crash nor trip a sanitizer, and that aborts through
// fuzz_check when a property of the reader fails. Built with QUINDA_LIBFUZZER
// it is the entry point of a libFuzzer program; otherwise it registers
// itself, and the test suite replays its committed corpus through it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using FuzzFunction = void (*)(const std::uint8_t* data, std::size_t size);

// The registered targets (replay build), by name.
std::vector<std::pair<std::string, FuzzFunction>>& fuzz_targets();
bool fuzz_register(const char* name, FuzzFunction f);

// Aborts (a crash to libFuzzer, a failed test in the replay) when a reader
// breaks a promise of its own.
void fuzz_check(bool ok, const char* what);

// The input as text.
inline std::string_view fuzz_text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A path in the run's own scratch directory (made on first use).
std::string fuzz_path(const std::string& name);
// Writes the bytes as that file and returns its path.
std::string fuzz_file(const std::string& name, std::string_view bytes);

#ifdef QUINDA_LIBFUZZER
#define FUZZ_TARGET(name)                                                                   \
    static void fuzz_##name(const std::uint8_t* data, std::size_t size);                    \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {     \
        fuzz_##name(data, size);                                                            \
        return 0;                                                                           \
    }                                                                                       \
    static void fuzz_##name(const std::uint8_t* data, std::size_t size)
#else
#define FUZZ_TARGET(name)                                                                   \
    static void fuzz_##name(const std::uint8_t* data, std::size_t size);                    \
    [[maybe_unused]] static const bool fuzz_registered_##name = fuzz_register(#name, fuzz_##name); \
    static void fuzz_##name(const std::uint8_t* data, std::size_t size)
#endif
