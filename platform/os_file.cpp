#include "platform/os_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <signal.h>
#include <string>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/os_codepage.h"
#include "platform/os_error.h"
#include "platform/os_system.h"

namespace {

// One open file of the process.
struct OpenFile {
    int fd = -1;
    int access = 0;
    int share = 0;
    dev_t dev = 0;
    ino_t ino = 0;
};

// One wildcard search: its matches, read at the first call.
struct Search {
    bool used = false;
    std::vector<OsFileInfo> matches;
    std::size_t next = 0;
};

std::mutex g_mutex;
std::atomic<std::uint64_t> g_write_calls{0};
std::vector<OpenFile> g_files;     // handle = index + 1
std::vector<Search> g_searches;    // search handle = index + 1

std::string to_os(std::string_view name) { return os_cp1252_to_utf8(name); }
std::string from_os(std::string_view name) { return os_utf8_to_cp1252(name); }

OpenFile* file_of(std::int32_t handle) {
    if (handle <= 0 || static_cast<std::size_t>(handle) > g_files.size()) return nullptr;
    OpenFile& f = g_files[static_cast<std::size_t>(handle) - 1];
    return f.fd >= 0 ? &f : nullptr;
}

// The descriptor of an open handle that allows the access asked for (0: any).
int descriptor(std::int32_t handle, int need, int& fd) {
    std::lock_guard lock(g_mutex);
    OpenFile* f = file_of(handle);
    if (!f) return OS_ERROR_INVALID_HANDLE;
    if ((f->access & need) != need) return OS_ERROR_ACCESS_DENIED;
    fd = f->fd;
    return OS_OK;
}

// Two opens of one file get along when each shares what the other accesses.
bool compatible(const OpenFile& a, int access, int share) {
    if ((access & OS_ACCESS_READ) && !(a.share & OS_SHARE_READ)) return false;
    if ((access & OS_ACCESS_WRITE) && !(a.share & OS_SHARE_WRITE)) return false;
    if ((a.access & OS_ACCESS_READ) && !(share & OS_SHARE_READ)) return false;
    if ((a.access & OS_ACCESS_WRITE) && !(share & OS_SHARE_WRITE)) return false;
    return true;
}

void fill_time(OsFileInfo& info, std::time_t t) {
    info.write_time = t;
    const OsLocalTime lt = os_local_time_of(t);
    info.year = lt.year;
    info.month = lt.month;
    info.day = lt.day;
    info.hour = lt.hour;
    info.minute = lt.minute;
    info.second = lt.second;
    // A DOS date holds the years 1980..2107 and even seconds only.
    int y = info.year, mo = info.month, d = info.day, h = info.hour, mi = info.minute,
        s = info.second;
    if (y < 1980) y = 1980, mo = 1, d = 1, h = 0, mi = 0, s = 0;
    if (y > 2107) y = 2107, mo = 12, d = 31, h = 23, mi = 59, s = 58;
    info.dos_date = static_cast<std::uint16_t>(((y - 1980) << 9) | (mo << 5) | d);
    info.dos_time = static_cast<std::uint16_t>((h << 11) | (mi << 5) | (s / 2));
}

void fill_info(OsFileInfo& info, const struct stat& st, std::string_view name) {
    info.name = std::string(name);
    info.attributes = 0;
    if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))) info.attributes |= OS_ATTR_READONLY;
    if (!name.empty() && name[0] == '.') info.attributes |= OS_ATTR_HIDDEN;
    if (S_ISDIR(st.st_mode)) info.attributes |= OS_ATTR_DIRECTORY;
    if (info.attributes == 0) info.attributes = OS_ATTR_NORMAL;
    info.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::int64_t>(st.st_size);
    fill_time(info, st.st_mtime);
}

// stat that still describes a dangling link.
int stat_any(const std::string& path, struct stat& st) {
    if (::stat(path.c_str(), &st) == 0) return 0;
    return ::lstat(path.c_str(), &st);
}

int last_error(const std::string& path) { return os_error_from_errno(errno, path); }

std::string_view base_name(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool match_from(std::string_view p, std::string_view n) {
    // Iterative matcher with one back-track point for the last "*".
    std::size_t pi = 0, ni = 0, star = std::string_view::npos, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi, ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ni;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

}  // namespace

int os_file_open(std::string_view name, int access, int share, OsCreation creation,
                 std::int32_t& handle) {
    handle = -1;
    if (name.empty() || (access & ~(OS_ACCESS_READ | OS_ACCESS_WRITE)) || access == 0 ||
        (share & ~(OS_SHARE_READ | OS_SHARE_WRITE)) || creation < OS_CREATE_NEW ||
        creation > OS_TRUNCATE_EXISTING)
        return OS_ERROR_INVALID_PARAMETER;
    if (name.find('\0') != std::string_view::npos) return OS_ERROR_INVALID_NAME;
    const std::string path = to_os(name);
    int flags = O_CLOEXEC | O_NOCTTY;
    flags |= access == (OS_ACCESS_READ | OS_ACCESS_WRITE) ? O_RDWR
             : access == OS_ACCESS_WRITE                ? O_WRONLY
                                                        : O_RDONLY;
    if (creation == OS_CREATE_NEW) flags |= O_CREAT | O_EXCL;
    if (creation == OS_CREATE_ALWAYS || creation == OS_OPEN_ALWAYS) flags |= O_CREAT;
    bool truncate = creation == OS_CREATE_ALWAYS || creation == OS_TRUNCATE_EXISTING;
    if (creation == OS_TRUNCATE_EXISTING && !(access & OS_ACCESS_WRITE))
        return OS_ERROR_INVALID_PARAMETER;
    // Emptying a file only for reading needs a writable descriptor.
    if (truncate && !(access & OS_ACCESS_WRITE)) truncate = false;

    int fd;
    do fd = ::open(path.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return last_error(path);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return OS_ERROR_ACCESS_DENIED;
    }

    std::lock_guard lock(g_mutex);
    for (const OpenFile& f : g_files) {
        if (f.fd >= 0 && f.dev == st.st_dev && f.ino == st.st_ino && !compatible(f, access, share)) {
            ::close(fd);
            return OS_ERROR_SHARING_VIOLATION;
        }
    }
    if (truncate && S_ISREG(st.st_mode) && ::ftruncate(fd, 0) != 0) {
        const int err = os_error_from_errno(errno, path);
        ::close(fd);
        return err;
    }
    OpenFile entry{fd, access, share, st.st_dev, st.st_ino};
    auto free_slot = std::find_if(g_files.begin(), g_files.end(),
                                  [](const OpenFile& f) { return f.fd < 0; });
    if (free_slot == g_files.end()) {
        if (g_files.size() >= static_cast<std::size_t>(INT32_MAX - 1)) {
            ::close(fd);
            return OS_ERROR_TOO_MANY_OPEN_FILES;
        }
        g_files.push_back(entry);
        handle = static_cast<std::int32_t>(g_files.size());
    } else {
        *free_slot = entry;
        handle = static_cast<std::int32_t>(free_slot - g_files.begin() + 1);
    }
    return OS_OK;
}

int os_file_close(std::int32_t handle) {
    std::lock_guard lock(g_mutex);
    OpenFile* f = file_of(handle);
    if (!f) return OS_ERROR_INVALID_HANDLE;
    const int rc = ::close(f->fd);
    const int err = errno;
    *f = OpenFile{};
    return rc == 0 || err == EINTR ? OS_OK : os_error_from_errno(err);
}

namespace {

// Advice for the whole units (a power of two) within [block, block + bytes):
// the partial ones at the ends may hold other blocks.
void advise_whole_units(void* block, std::size_t bytes, std::uintptr_t unit, int advice) {
    const auto a = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t from = (a + unit - 1) & ~(unit - 1), to = (a + bytes) & ~(unit - 1);
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, advice);
}

}  // namespace

void os_prefer_large_pages(void* buffer, std::size_t bytes) {
    constexpr std::uintptr_t huge = std::uintptr_t{2} << 20;
    if (bytes >= 2 * huge) advise_whole_units(buffer, bytes, huge, MADV_HUGEPAGE);
}

void os_populate(void* block, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    advise_whole_units(block, bytes, static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE)), MADV_POPULATE_WRITE);
#else
    (void)block;
    (void)bytes;
#endif
}

void OsLargeBufferFree::operator()(char* p) const noexcept { std::free(p); }

OsLargeBuffer os_large_buffer(std::size_t n) {
    constexpr std::size_t huge = std::size_t{2} << 20;
    if (n < 4 * huge) return OsLargeBuffer(static_cast<char*>(std::malloc(n > 0 ? n : 1)));
    const std::size_t rounded = (n + huge - 1) / huge * huge;
    OsLargeBuffer p(static_cast<char*>(std::aligned_alloc(huge, rounded)));
    if (p) os_prefer_large_pages(p.get(), rounded);
    return p;
}

int os_file_read(std::int32_t handle, void* buffer, std::int32_t count, std::int32_t& done) {
    done = 0;
    int fd = -1;
    if (const int rc = descriptor(handle, OS_ACCESS_READ, fd); rc != OS_OK) return rc;
    if (count < 0 || (count > 0 && !buffer)) return OS_ERROR_INVALID_PARAMETER;
    auto* p = static_cast<char*>(buffer);
    std::int32_t got = 0;
    while (got < count) {
        const ssize_t n = ::read(fd, p + got, static_cast<std::size_t>(count - got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return os_error_from_errno(errno);
        }
        if (n == 0) break;
        got += static_cast<std::int32_t>(n);
    }
    done = got;
    return OS_OK;
}

std::uint64_t os_file_write_calls() { return g_write_calls.load(std::memory_order_relaxed); }

int os_file_write(std::int32_t handle, const void* buffer, std::int32_t count,
                  std::int32_t& done) {
    done = 0;
    int fd = -1;
    if (const int rc = descriptor(handle, OS_ACCESS_WRITE, fd); rc != OS_OK) return rc;
    if (count < 0 || (count > 0 && !buffer)) return OS_ERROR_INVALID_PARAMETER;
    const auto* p = static_cast<const char*>(buffer);
    std::int32_t put = 0;
    while (put < count) {
        g_write_calls.fetch_add(1, std::memory_order_relaxed);
        const ssize_t n = ::write(fd, p + put, static_cast<std::size_t>(count - put));
        if (n < 0) {
            if (errno == EINTR) continue;
            return os_error_from_errno(errno);
        }
        put += static_cast<std::int32_t>(n);
    }
    done = put;
    return OS_OK;
}

int os_file_seek(std::int32_t handle, std::int64_t offset, int origin, std::int64_t& position) {
    position = -1;
    int fd = -1;
    if (const int rc = descriptor(handle, 0, fd); rc != OS_OK) return rc;
    if (origin < OS_SEEK_BEGIN || origin > OS_SEEK_END) return OS_ERROR_INVALID_PARAMETER;
    std::int64_t base = 0;
    if (origin == OS_SEEK_CURRENT) base = ::lseek(fd, 0, SEEK_CUR);
    if (origin == OS_SEEK_END) {
        struct stat st {};
        base = ::fstat(fd, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
    }
    if (base < 0) return os_error_from_errno(errno);
    if ((offset < 0 && base + offset < 0) || (offset > 0 && base > INT64_MAX - offset))
        return offset < 0 ? OS_ERROR_NEGATIVE_SEEK : OS_ERROR_INVALID_PARAMETER;
    const off_t r = ::lseek(fd, static_cast<off_t>(base + offset), SEEK_SET);
    if (r < 0) return os_error_from_errno(errno);
    position = static_cast<std::int64_t>(r);
    return OS_OK;
}

int os_file_delete(std::string_view name) {
    if (name.empty()) return OS_ERROR_INVALID_NAME;
    const std::string path = to_os(name);
    if (::unlink(path.c_str()) != 0) return last_error(path);
    return OS_OK;
}

int os_file_copy(std::string_view source, std::string_view target, bool fail_if_exists) {
    std::int32_t in = -1, out = -1;
    int rc = os_file_open(source, OS_ACCESS_READ, OS_SHARE_READ, OS_OPEN_EXISTING, in);
    if (rc != OS_OK) return rc;
    // The target is created but emptied only after the sharing check, so
    // naming the source as target cannot destroy it.
    rc = os_file_open(target, OS_ACCESS_WRITE, OS_SHARE_NONE,
                      fail_if_exists ? OS_CREATE_NEW : OS_CREATE_ALWAYS, out);
    if (rc != OS_OK) {
        os_file_close(in);
        return rc;
    }
    std::vector<char> buf(1 << 16);
    for (;;) {
        std::int32_t got = 0, put = 0;
        rc = os_file_read(in, buf.data(), static_cast<std::int32_t>(buf.size()), got);
        if (rc != OS_OK || got == 0) break;
        rc = os_file_write(out, buf.data(), got, put);
        if (rc != OS_OK) break;
    }
    struct stat st {};
    int src_fd = -1, dst_fd = -1;
    descriptor(in, 0, src_fd);
    descriptor(out, 0, dst_fd);
    if (rc == OS_OK && ::fstat(src_fd, &st) == 0) {
        ::fchmod(dst_fd, st.st_mode & 07777);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(dst_fd, times);
    }
    os_file_close(in);
    const int close_rc = os_file_close(out);
    if (rc == OS_OK) rc = close_rc;
    if (rc != OS_OK) ::unlink(to_os(target).c_str());
    return rc;
}

int os_file_rename(std::string_view from, std::string_view to) {
    if (from.empty() || to.empty()) return OS_ERROR_INVALID_NAME;
    const std::string a = to_os(from), b = to_os(to);
    struct stat st {};
    if (::lstat(a.c_str(), &st) != 0) return last_error(a);
    if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_NOREPLACE) == 0) return OS_OK;
    int err = errno;
    if (err == EINVAL || err == ENOSYS) {
        // File systems without the no-replace rename: test, then rename.
        struct stat t {};
        if (::lstat(b.c_str(), &t) == 0) return OS_ERROR_ALREADY_EXISTS;
        if (::rename(a.c_str(), b.c_str()) == 0) return OS_OK;
        err = errno;
    }
    if (err == EEXIST) return OS_ERROR_ALREADY_EXISTS;
    if (err == EXDEV && S_ISREG(st.st_mode)) {
        const int rc = os_file_copy(from, to, true);
        if (rc != OS_OK) return rc;
        return os_file_delete(from);
    }
    return os_error_from_errno(err, err == ENOENT ? std::string_view(b) : std::string_view(a));
}

int os_dir_make(std::string_view name) {
    if (name.empty()) return OS_ERROR_INVALID_NAME;
    const std::string path = to_os(name);
    if (::mkdir(path.c_str(), 0777) != 0)
        return errno == EEXIST ? OS_ERROR_ALREADY_EXISTS : last_error(path);
    return OS_OK;
}

int os_dir_remove(std::string_view name) {
    if (name.empty()) return OS_ERROR_INVALID_NAME;
    const std::string path = to_os(name);
    if (::rmdir(path.c_str()) != 0) {
        if (errno == ENOTDIR) {
            struct stat st {};
            if (::stat(path.c_str(), &st) == 0) return OS_ERROR_DIRECTORY;
        }
        if (errno == EEXIST) return OS_ERROR_DIR_NOT_EMPTY;
        return last_error(path);
    }
    return OS_OK;
}

int os_dir_set_current(std::string_view name) {
    if (name.empty()) return OS_ERROR_INVALID_NAME;
    const std::string path = to_os(name);
    if (::chdir(path.c_str()) != 0) return errno == ENOTDIR ? OS_ERROR_DIRECTORY : last_error(path);
    return OS_OK;
}

int os_dir_current(std::string& directory) {
    directory.clear();
    std::vector<char> buf(256);
    for (;;) {
        if (::getcwd(buf.data(), buf.size())) break;
        if (errno != ERANGE || buf.size() > (1u << 20)) return os_error_from_errno(errno);
        buf.resize(buf.size() * 2);
    }
    directory = from_os(buf.data());
    return OS_OK;
}

int os_full_path(std::string_view name, std::string& full) {
    full.clear();
    if (name.empty()) return OS_ERROR_INVALID_NAME;
    std::string whole;
    if (name[0] != '/') {
        const int rc = os_dir_current(whole);
        if (rc != OS_OK) return rc;
        whole += '/';
    }
    whole += name;
    const bool trailing = whole.size() > 1 && whole.back() == '/';
    std::vector<std::string_view> parts;
    std::string_view rest(whole);
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (std::string_view p : parts) out.append("/").append(p);
    if (out.empty() || trailing) out.push_back('/');
    full = out;
    return OS_OK;
}

int os_file_info(std::string_view name, OsFileInfo& info) {
    info = OsFileInfo{};
    if (name.empty()) return OS_ERROR_INVALID_NAME;
    const std::string path = to_os(name);
    struct stat st {};
    if (stat_any(path, st) != 0) return last_error(path);
    fill_info(info, st, from_os(base_name(path)));
    return OS_OK;
}

OsPathKind os_path_kind(std::string_view name) {
    if (name.empty()) return OsPathKind::Absent;
    const std::string path = to_os(name);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? OsPathKind::Absent : OsPathKind::Other;
    if (S_ISREG(st.st_mode)) return OsPathKind::File;
    if (S_ISDIR(st.st_mode)) return OsPathKind::Directory;
    return OsPathKind::Other;
}

int os_file_set_attributes(std::string_view name, std::uint32_t attributes) {
    if (name.empty()) return OS_ERROR_INVALID_NAME;
    const std::string path = to_os(name);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return last_error(path);
    mode_t mode = st.st_mode & 07777;
    if (attributes & OS_ATTR_READONLY) mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    else mode |= S_IWUSR;
    if (mode != (st.st_mode & 07777) && ::chmod(path.c_str(), mode) != 0) return last_error(path);
    return OS_OK;
}

bool os_wildcard_match(std::string_view pattern, std::string_view name) {
    if (match_from(pattern, name)) return true;
    // "name.*" also stands for "name" without an extension.
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
        return match_from(pattern.substr(0, pattern.size() - 2), name);
    return false;
}

int os_find_first(std::string_view pattern, OsFileInfo& found, std::int32_t& search) {
    search = -1;
    found = OsFileInfo{};
    const std::size_t slash = pattern.rfind('/');
    const std::string_view dir_part =
        slash == std::string_view::npos ? std::string_view() : pattern.substr(0, slash + 1);
    const std::string_view name_part =
        slash == std::string_view::npos ? pattern : pattern.substr(slash + 1);
    const std::string dir = dir_part.empty() ? std::string(".") : to_os(dir_part);
    DIR* d = ::opendir(dir.c_str());
    if (!d) {
        const int err = errno;
        return err == ENOENT || err == ENOTDIR ? OS_ERROR_PATH_NOT_FOUND : os_error_from_errno(err);
    }
    Search s;
    s.used = true;
    while (struct dirent* e = ::readdir(d)) {
        const std::string_view os_name(e->d_name);
        if (os_name == "." || os_name == "..") continue;
        const std::string name = from_os(os_name);
        if (name_part.empty() || !os_wildcard_match(name_part, name)) continue;
        struct stat st {};
        const std::string path = dir + "/" + std::string(os_name);
        if (stat_any(path, st) != 0) continue;
        OsFileInfo info;
        fill_info(info, st, name);
        s.matches.push_back(std::move(info));
    }
    ::closedir(d);
    if (s.matches.empty()) return OS_ERROR_FILE_NOT_FOUND;
    std::sort(s.matches.begin(), s.matches.end(),
              [](const OsFileInfo& a, const OsFileInfo& b) { return a.name < b.name; });
    found = s.matches[0];
    s.next = 1;
    std::lock_guard lock(g_mutex);
    auto free_slot = std::find_if(g_searches.begin(), g_searches.end(),
                                  [](const Search& x) { return !x.used; });
    if (free_slot == g_searches.end()) {
        g_searches.push_back(std::move(s));
        search = static_cast<std::int32_t>(g_searches.size());
    } else {
        *free_slot = std::move(s);
        search = static_cast<std::int32_t>(free_slot - g_searches.begin() + 1);
    }
    return OS_OK;
}

int os_find_next(std::int32_t search, OsFileInfo& found) {
    std::lock_guard lock(g_mutex);
    if (search <= 0 || static_cast<std::size_t>(search) > g_searches.size() ||
        !g_searches[static_cast<std::size_t>(search) - 1].used)
        return OS_ERROR_INVALID_HANDLE;
    Search& s = g_searches[static_cast<std::size_t>(search) - 1];
    if (s.next >= s.matches.size()) return OS_ERROR_NO_MORE_FILES;
    found = s.matches[s.next++];
    return OS_OK;
}

void os_find_close(std::int32_t search) {
    std::lock_guard lock(g_mutex);
    if (search <= 0 || static_cast<std::size_t>(search) > g_searches.size()) return;
    g_searches[static_cast<std::size_t>(search) - 1] = Search{};
}

std::string os_temp_dir() {
    std::string value;
    if (os_env_get("TEMP", value) && !value.empty()) return value;
    if (os_env_get("TMP", value) && !value.empty()) return value;
    return "/tmp";
}

namespace {
bool valid_env_name(std::string_view name) {
    return !name.empty() && name.find('=') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}
}  // namespace

bool os_env_get(std::string_view name, std::string& value) {
    value.clear();
    if (!valid_env_name(name)) return false;
    const char* v = std::getenv(to_os(name).c_str());
    if (!v) return false;
    value = from_os(v);
    return true;
}

int os_env_set(std::string_view name, std::string_view value) {
    if (!valid_env_name(name) || value.find('\0') != std::string_view::npos)
        return OS_ERROR_INVALID_PARAMETER;
    if (::setenv(to_os(name).c_str(), to_os(value).c_str(), 1) != 0)
        return os_error_from_errno(errno);
    return OS_OK;
}

int os_env_unset(std::string_view name) {
    if (!valid_env_name(name)) return OS_ERROR_INVALID_PARAMETER;
    if (::unsetenv(to_os(name).c_str()) != 0) return os_error_from_errno(errno);
    return OS_OK;
}

namespace {
// The file a save to a name replaces: symbolic links followed to the end,
// also a link to a file that does not exist yet; the name itself when it is
// not a link and does not exist.
std::string save_target(std::string_view name) {
    std::string path = to_os(name);
    for (int hop = 0; hop < 40; ++hop) {
        char buf[PATH_MAX];
        if (::realpath(path.c_str(), buf)) return buf;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char link[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), link, sizeof link - 1);
        if (n <= 0) return path;
        std::string next(link, static_cast<std::size_t>(n));
        if (next[0] != '/') {
            const std::size_t slash = path.rfind('/');
            if (slash != std::string::npos) next = path.substr(0, slash + 1) + next;
        }
        path = next;
    }
    return path;
}

// The temporary file of a save: "." + name + "." + pid + "." + n + ".tmp".
std::string save_temp_name(const std::string& dir, const std::string& base, int n) {
    return dir + "." + base + "." + std::to_string(::getpid()) + "." + std::to_string(n) + ".tmp";
}

// The process that made the temporary file of a save named entry; false
// when entry is not named as one.
bool save_temp_owner(std::string_view entry, pid_t& pid) {
    constexpr std::string_view Tail = ".tmp";
    if (entry.size() < 1 + Tail.size() || entry[0] != '.' || !entry.ends_with(Tail)) return false;
    entry.remove_suffix(Tail.size());
    const auto digits = [](std::string_view d, std::size_t most) {
        return !d.empty() && d.size() <= most && std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const std::size_t n_dot = entry.rfind('.');
    if (n_dot == std::string_view::npos || !digits(entry.substr(n_dot + 1), 2)) return false;
    const std::size_t pid_dot = entry.rfind('.', n_dot - 1);
    if (pid_dot == std::string_view::npos || pid_dot < 2 || !digits(entry.substr(pid_dot + 1, n_dot - pid_dot - 1), 9))
        return false;
    pid = static_cast<pid_t>(std::strtol(std::string(entry.substr(pid_dot + 1, n_dot - pid_dot - 1)).c_str(), nullptr, 10));
    return pid > 0;
}

// A save that was killed before its rename leaves its temporary file behind
// (the file it was to replace is whole). Once that process is gone no one
// will finish or remove it: such files in the directory are removed. A
// process that still runs, or that this one may not signal, keeps its file.
void remove_stale_save_temps(const std::string& dir) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        pid_t pid = 0;
        if (!save_temp_owner(e->d_name, pid) || pid == ::getpid()) continue;
        if (::kill(pid, 0) == 0 || errno != ESRCH) continue;
        const std::string path = dir + e->d_name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
    }
    ::closedir(d);
}
}  // namespace

int os_file_save_begin(std::string_view name, std::string& temp, std::int32_t& handle) {
    handle = -1;
    temp.clear();
    if (name.empty() || name.find('\0') != std::string_view::npos) return OS_ERROR_INVALID_NAME;
    const std::string target = save_target(name);
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    // Renaming over a device, a FIFO or a directory would put a plain file in
    // its place; a file this process may not write is not replaced either.
    if (exists && !S_ISREG(st.st_mode))
        return S_ISDIR(st.st_mode) ? os_error_noted(OS_ERROR_ACCESS_DENIED, "Is a directory")
                                   : os_error_noted(OS_ERROR_ACCESS_DENIED, "not a regular file");
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        const int err = errno;
        return err == EROFS ? os_error_noted(OS_ERROR_ACCESS_DENIED, "Read-only file system")
                            : os_error_noted(OS_ERROR_ACCESS_DENIED, "Permission denied");
    }
    remove_stale_save_temps(dir);
    for (int k = 0; k < 100; ++k) {
        const std::string os_temp = save_temp_name(dir, base, k);
        temp = from_os(os_temp);
        const int err = os_file_open(temp, OS_ACCESS_WRITE, OS_SHARE_NONE, OS_CREATE_NEW, handle);
        if (err == OS_ERROR_FILE_EXISTS) continue;
        if (err != OS_OK) { temp.clear(); return err; }
        if (exists) {
            // The new file takes the old one's owner (where this process may
            // give it) and its permission bits.
            int fd = -1;
            if (descriptor(handle, 0, fd) == OS_OK) {
                (void)!::fchown(fd, st.st_uid, st.st_gid);
                (void)::fchmod(fd, st.st_mode & 07777);
            }
        }
        return OS_OK;
    }
    temp.clear();
    return OS_ERROR_FILE_EXISTS;
}

int os_file_save_finish(std::int32_t handle, std::string_view temp, bool sync) {
    const std::string os_temp = to_os(temp);
    int err = OS_OK;
    if (sync) {
        std::lock_guard lock(g_mutex);
        if (handle >= 1 && static_cast<std::size_t>(handle) <= g_files.size() && g_files[static_cast<std::size_t>(handle - 1)].fd >= 0 &&
            ::fsync(g_files[static_cast<std::size_t>(handle - 1)].fd) != 0)
            err = os_error_from_errno(errno, os_temp);
    }
    const int cerr = os_file_close(handle);
    if (err == OS_OK) err = cerr;
    if (err != OS_OK) ::unlink(os_temp.c_str());
    return err;
}

int os_file_save_rename(std::string_view temp, std::string_view name) {
    const std::string os_temp = to_os(temp);
    if (::rename(os_temp.c_str(), save_target(name).c_str()) == 0) return OS_OK;
    const int err = last_error(os_temp);
    ::unlink(os_temp.c_str());
    return err;
}

int os_file_save_commit(std::int32_t handle, std::string_view temp, std::string_view name, bool sync) {
    if (const int err = os_file_save_finish(handle, temp, sync); err != OS_OK) return err;
    return os_file_save_rename(temp, name);
}

namespace {
// Where a name leads: the file itself when it exists (links followed), else
// the directory it would be made in and its name there.
struct Place {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    std::string base;
};

bool place_of(std::string_view name, Place& p) {
    if (name.empty() || name.find('\0') != std::string_view::npos) return false;
    const std::string target = save_target(name);
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        p = Place{true, st.st_dev, st.st_ino, {}};
        return true;
    }
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    if (::stat(dir.c_str(), &st) != 0) return false;
    p = Place{false, st.st_dev, st.st_ino, slash == std::string::npos ? target : target.substr(slash + 1)};
    return true;
}
}  // namespace

bool os_same_file(std::string_view saved, std::string_view other) {
    Place a, b;
    if (!place_of(saved, a) || !place_of(other, b)) return false;
    return a.exists == b.exists && a.dev == b.dev && a.ino == b.ino && a.base == b.base;
}

void os_file_save_abandon(std::int32_t handle, std::string_view temp) {
    os_file_close(handle);
    if (!temp.empty()) ::unlink(to_os(temp).c_str());
}

int os_lock_acquire(std::string_view name, std::int32_t& lock) {
    lock = -1;
    if (name.empty() || name.find('\0') != std::string_view::npos) return OS_ERROR_INVALID_NAME;
    const std::string path = to_os(name);
    struct stat st {};
    const bool dir = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    int fd;
    do fd = dir ? ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                : ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return last_error(path);
    int rc;
    do rc = ::flock(fd, LOCK_EX);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int err = os_error_from_errno(errno, path);
        ::close(fd);
        return err;
    }
    lock = fd;
    return OS_OK;
}

void os_lock_release(std::int32_t lock) {
    if (lock < 0) return;
    (void)::flock(lock, LOCK_UN);
    ::close(lock);
}
