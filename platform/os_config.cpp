#include "platform/os_config.h"

#include <QLocale>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <pwd.h>
#include <unistd.h>

#include "platform/os_codepage.h"

namespace {

OsConfig machine_default() {
    OsConfig c;
    c.tick_ms = [] {
        using namespace std::chrono;
        return static_cast<std::int64_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
    c.now = [] { return std::time(nullptr); };
    c.measurement_system = QLocale::system().measurementSystem() == QLocale::MetricSystem ? 2 : 1;
    // The logged-on user, the machine's name and the registry store file of
    // this user's configuration.
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name && *pw->pw_name)
        c.user_name = os_utf8_to_cp1252(pw->pw_name);
    else if (const char* u = std::getenv("USER"); u && *u)
        c.user_name = os_utf8_to_cp1252(u);
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0 && host[0]) c.computer_name = os_utf8_to_cp1252(host);
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string base = config && *config ? config : std::string(home ? home : "") + "/.config";
    c.settings_store = os_utf8_to_cp1252(base + "/quindarolex/registry");
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
