#include "platform/os_config.h"

#include <chrono>
#include <memory>

namespace {

OsConfig machine_default() {
    OsConfig c;
    c.tick_ms = [] {
        using namespace std::chrono;
        return static_cast<std::int64_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
    c.now = [] { return std::time(nullptr); };
    return c;
}

OsConfig& current() {
    static OsConfig cfg = machine_default();
    return cfg;
}

}  // namespace

OsConfig& os_config() { return current(); }

OsConfig os_config_test_profile() {
    OsConfig c;
    c.deterministic = true;
    auto tick = std::make_shared<std::int64_t>(0);
    c.tick_ms = [tick] { return *tick += 10; };
    c.now = [] { return static_cast<std::time_t>(1704164645); };  // 2024-01-02 03:04:05 UTC
    return c;
}

void os_config_set(const OsConfig& cfg) { current() = cfg; }

int os_screen_colours() {
    int bits = current().colour_bits;
    if (bits >= 24) return 16777216;
    if (bits <= 0) return 2;
    return 1 << bits;
}
