#include "platform/os_system.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <QString>
#include <QStringList>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

// Builds with the leak checker (AddressSanitizer brings it) check before
// the process ends, since _Exit skips the check made at exit.
#if defined(__SANITIZE_ADDRESS__)
#define QUINDA_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define QUINDA_LEAK_CHECK 1
#endif
#endif
#ifdef QUINDA_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

#include "platform/os_codepage.h"
#include "platform/os_config.h"

namespace {

std::string to_os(std::string_view text) { return os_cp1252_to_utf8(text); }

// File system magic numbers not every kernel header names.
constexpr long kCifsMagic = 0xFF534D42;
constexpr long kSmb2Magic = 0xFE534D42;
constexpr long kUdfMagic = 0x15013346;
constexpr long kFuseMagic = 0x65735546;

std::string env_or(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

std::vector<std::string> split_colon(const std::string& list) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = list.find(':', start);
        const std::string part = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!part.empty()) out.push_back(part);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

// The XDG configuration and data directories, most important first.
std::vector<std::string> config_dirs() {
    const std::string home = env_or("HOME", "");
    std::vector<std::string> dirs{env_or("XDG_CONFIG_HOME", home + "/.config")};
    for (const std::string& d : split_colon(env_or("XDG_CONFIG_DIRS", "/etc/xdg"))) dirs.push_back(d);
    return dirs;
}

std::vector<std::string> data_dirs() {
    const std::string home = env_or("HOME", "");
    std::vector<std::string> dirs{env_or("XDG_DATA_HOME", home + "/.local/share")};
    for (const std::string& d : split_colon(env_or("XDG_DATA_DIRS", "/usr/local/share:/usr/share")))
        dirs.push_back(d);
    return dirs;
}

// The value of key in [section] of a desktop-style file; empty when absent.
std::string ini_value(const std::string& file, const std::string& section, const std::string& key) {
    std::ifstream in(file);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        if (inside && line.compare(0, key.size() + 1, key + "=") == 0) return line.substr(key.size() + 1);
    }
    return {};
}

bool executable_file(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The program an application entry starts: the first word of its Exec line,
// found on the PATH when it has no directory.
std::string program_of_entry(const std::string& desktop_id) {
    for (const std::string& dir : data_dirs()) {
        const std::string file = dir + "/applications/" + desktop_id;
        if (::access(file.c_str(), R_OK) != 0) continue;
        std::string exec = ini_value(file, "Desktop Entry", "Exec");
        std::size_t p = exec.find_first_not_of(' ');
        if (p == std::string::npos) return {};
        std::string word;
        if (exec[p] == '"') {
            const std::size_t q = exec.find('"', p + 1);
            word = exec.substr(p + 1, q == std::string::npos ? std::string::npos : q - p - 1);
        } else {
            word = exec.substr(p, exec.find(' ', p) - p);
        }
        if (word.find('/') != std::string::npos) return executable_file(word) ? word : std::string();
        for (const std::string& bin : split_colon(env_or("PATH", "/usr/bin:/bin"))) {
            const std::string candidate = bin + "/" + word;
            if (executable_file(candidate)) return candidate;
        }
        return {};
    }
    return {};
}

// The first entry of a ";"-separated list that names a program.
std::string first_program(const std::string& list) {
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = list.find(';', start);
        const std::string id = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!id.empty()) {
            const std::string program = program_of_entry(id);
            if (!program.empty()) return program;
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return {};
}

std::string program_for_type(const std::string& type) {
    std::vector<std::string> lists;
    for (const std::string& d : config_dirs()) lists.push_back(d + "/mimeapps.list");
    for (const std::string& d : data_dirs()) lists.push_back(d + "/applications/mimeapps.list");
    for (const std::string& list : lists) {
        const std::string program = first_program(ini_value(list, "Default Applications", type));
        if (!program.empty()) return program;
    }
    for (const std::string& d : data_dirs()) {
        const std::string program =
            first_program(ini_value(d + "/applications/mimeinfo.cache", "MIME Cache", type));
        if (!program.empty()) return program;
    }
    return {};
}

}  // namespace

std::uint32_t os_volume_serial(std::string_view path) {
    struct statvfs vfs {};
    if (path.empty() || ::statvfs(to_os(path).c_str(), &vfs) != 0) return 0;
    const auto id = static_cast<std::uint64_t>(vfs.f_fsid);
    return static_cast<std::uint32_t>(id ^ (id >> 32));
}

int os_drive_type(std::string_view path) {
    struct statfs fs {};
    if (path.empty() || ::statfs(to_os(path).c_str(), &fs) != 0) return OS_DRIVE_NO_ROOT_DIR;
    switch (static_cast<long>(fs.f_type)) {
        case NFS_SUPER_MAGIC:
        case SMB_SUPER_MAGIC:
        case kCifsMagic:
        case kSmb2Magic:
        case kFuseMagic: return OS_DRIVE_REMOTE;
        case ISOFS_SUPER_MAGIC:
        case kUdfMagic: return OS_DRIVE_CDROM;
        case TMPFS_MAGIC:
        case RAMFS_MAGIC: return OS_DRIVE_RAMDISK;
        default: return OS_DRIVE_FIXED;
    }
}

int os_disk_free(std::string_view path, std::uint64_t& bytes) {
    bytes = 0;
    struct statvfs vfs {};
    const std::string p = to_os(path);
    if (::statvfs(p.c_str(), &vfs) != 0) return os_error_from_errno(errno, p);
    bytes = static_cast<std::uint64_t>(vfs.f_bavail) * static_cast<std::uint64_t>(vfs.f_frsize);
    return OS_OK;
}

void os_system_version(int& major, int& minor) {
    major = minor = 0;
    struct utsname u {};
    if (::uname(&u) != 0) return;
    std::sscanf(u.release, "%d.%d", &major, &minor);
}

int os_system_dir(std::string& directory) {
    directory.clear();
    struct stat st {};
    if (::stat("/usr/bin", &st) != 0) return os_error_from_errno(errno, "/usr/bin");
    directory = "/usr/bin";
    return OS_OK;
}

int os_executable_path(std::string& path) {
    path.clear();
    std::vector<char> buf(1024);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return os_error_from_errno(errno);
        if (static_cast<std::size_t>(n) < buf.size()) {
            path = os_utf8_to_cp1252(std::string_view(buf.data(), static_cast<std::size_t>(n)));
            return OS_OK;
        }
        if (buf.size() > (1u << 16)) return OS_ERROR_FILENAME_EXCED_RANGE;
        buf.resize(buf.size() * 2);
    }
}

OsLocalTime os_local_time_of(std::time_t t) {
    struct tm lt {};
    localtime_r(&t, &lt);
    OsLocalTime r;
    r.year = lt.tm_year + 1900;
    r.month = lt.tm_mon + 1;
    r.day = lt.tm_mday;
    r.hour = lt.tm_hour;
    r.minute = lt.tm_min;
    r.second = lt.tm_sec;
    return r;
}

OsLocalTime os_local_time() {
    const OsConfig& cfg = os_config();
    OsLocalTime r = os_local_time_of(cfg.now ? cfg.now() : std::time(nullptr));
    if (!cfg.deterministic) {
        using namespace std::chrono;
        r.millisecond = static_cast<int>(
            duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count() % 1000);
    }
    return r;
}

int os_associated_program(std::string_view file, std::string& program) {
    program.clear();
    const std::string path = to_os(file);
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return OS_ERROR_FILE_NOT_FOUND;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QString::fromStdString(path));
    QStringList types{type.name()};
    types += type.allAncestors();
    for (const QString& t : types) {
        const std::string found = program_for_type(t.toStdString());
        if (!found.empty()) {
            program = os_utf8_to_cp1252(found);
            return OS_OK;
        }
    }
    return OS_ERROR_NO_ASSOCIATION;
}

void os_process_exit(int code) {
    std::fflush(nullptr);
#ifdef QUINDA_LEAK_CHECK
    // What is still reachable now (the window system's objects, the data
    // blocks) is not a leak; memory no longer reachable is. A leak found
    // ends the process here with the checker's report and exit code.
    __lsan_do_leak_check();
#endif
    std::_Exit(code);
}
