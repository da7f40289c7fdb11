// Files, directories, search, environment and processes of the platform layer.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <set>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>
#include <vector>

#include "platform/os_codepage.h"
#include "platform/os_error.h"
#include "platform/os_file.h"
#include "platform/os_process.h"
#include "tests/support/quinda_test.h"

namespace {

// Every match of a search, in the order reported.
int find_all(const std::string& pattern, std::vector<OsFileInfo>& out) {
    out.clear();
    OsFileInfo info;
    std::int32_t search = -1;
    const int rc = os_find_first(pattern, info, search);
    if (rc != OS_OK) {
        EXPECT_EQ(search, -1);
        return rc;
    }
    do out.push_back(info);
    while (os_find_next(search, info) == OS_OK);
    EXPECT_EQ(os_find_next(search, info), OS_ERROR_NO_MORE_FILES);
    os_find_close(search);
    return rc;
}

// Sets an environment variable for the life of the object.
class EnvGuard {
public:
    explicit EnvGuard(const char* name) : name_(name) {
        if (const char* v = getenv(name)) had_ = true, old_ = v;
    }
    ~EnvGuard() {
        if (had_) setenv(name_.c_str(), old_.c_str(), 1);
        else unsetenv(name_.c_str());
    }

private:
    std::string name_, old_;
    bool had_ = false;
};

}  // namespace

TEST(OsWildcard, MatchRules) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.*", "abc", true},        {"*.*", "a.b.c", true},    {"*.*", ".hidden", true},
        {"*", "abc", true},          {"a?c", "abc", true},      {"a?c", "ac", false},
        {"a?c", "abcd", false},      {"*.grd", "x.grd", true},  {"*.grd", "x.grd.bak", false},
        {"*.grd", "x.GRD", false},   {"abc.*", "abc", true},    {"abc.*", "abc.t", true},
        {"abc.*", "abcd", false},    {"a*b*c", "aXbYbZc", true}, {"a*b*c", "aXbYbZ", false},
        {"??", "ab", true},          {"??", "a", false},        {"", "a", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(os_wildcard_match(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
}

TEST(OsFind, WildcardTableOverADirectory) {
    TempDir dir(true);
    for (const char* f : {"abc", "abc.grd", "a1c", "axc.txt", "b.grd", "ac"})
        write_file(f, "12345");
    ASSERT_EQ(os_dir_make("sub.grd"), OS_OK);
    ASSERT_EQ(os_dir_make("sub2"), OS_OK);
    struct Case {
        const char* pattern;
        int rc;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"*.*", OS_OK, {"a1c", "abc", "abc.grd", "ac", "axc.txt", "b.grd", "sub.grd", "sub2"}},
        {"a?c", OS_OK, {"a1c", "abc"}},
        {"*.grd", OS_OK, {"abc.grd", "b.grd", "sub.grd"}},
        {"sub2", OS_OK, {"sub2"}},
        {"*.xyz", OS_ERROR_FILE_NOT_FOUND, {}},
        {"nodir/*.*", OS_ERROR_PATH_NOT_FOUND, {}},
    };
    for (const Case& c : cases) {
        std::vector<OsFileInfo> found;
        EXPECT_EQ(find_all(c.pattern, found), c.rc) << c.pattern;
        std::vector<std::string> names;
        for (const OsFileInfo& f : found) {
            names.push_back(f.name);
            const bool is_dir = f.name.rfind("sub", 0) == 0;
            EXPECT_EQ((f.attributes & OS_ATTR_DIRECTORY) != 0, is_dir) << f.name;
            EXPECT_EQ(f.size, is_dir ? 0 : 5) << f.name;
        }
        EXPECT_EQ(names, c.names) << c.pattern;
    }
    // A directory part is searched in place of the current directory.
    std::vector<OsFileInfo> found;
    EXPECT_EQ(find_all(dir.file("*.grd"), found), OS_OK);
    EXPECT_EQ(found.size(), 3u);
}

TEST(OsFile, ErrorCodesForMissingFileAndMissingDirectory) {
    TempDir dir;
    std::int32_t h = 7;
    EXPECT_EQ(os_file_open(dir.file("none.dat"), OS_ACCESS_READ, OS_SHARE_READ, OS_OPEN_EXISTING, h),
              OS_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(os_file_open(dir.file("nodir/none.dat"), OS_ACCESS_READ, OS_SHARE_READ,
                           OS_OPEN_EXISTING, h),
              OS_ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(os_file_open(dir.file("nodir/new.dat"), OS_ACCESS_WRITE, OS_SHARE_READ,
                           OS_CREATE_ALWAYS, h),
              OS_ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(os_file_delete(dir.file("none.dat")), OS_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(os_dir_set_current(dir.file("nodir/deeper")), OS_ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(os_error_text(OS_ERROR_FILE_NOT_FOUND), "The system cannot find the file specified.");
    EXPECT_EQ(os_error_text(OS_ERROR_PATH_NOT_FOUND), "The system cannot find the path specified.");
    EXPECT_EQ(os_error_text(OS_ERROR_SHARING_VIOLATION),
              "The process cannot access the file because it is being used by another process.");
    EXPECT_EQ(os_error_text(OS_ERROR_FILE_EXISTS), "The file exists.");
    EXPECT_EQ(os_error_text(99999), "");
}

// Tests run as root, whom permission bits do not stop. Two protections hold
// for root as well: a directory cannot be opened as a file for writing, and
// the file system's immutable flag refuses every write.
TEST(OsFile, WriteProtectedTargetsAreAccessDenied) {
    TempDir dir;
    std::int32_t h = 0;
    EXPECT_EQ(os_file_open(dir.path().string(), OS_ACCESS_WRITE, OS_SHARE_READ, OS_OPEN_EXISTING, h),
              OS_ERROR_ACCESS_DENIED);
    EXPECT_EQ(os_file_open(dir.path().string(), OS_ACCESS_READ, OS_SHARE_READ, OS_OPEN_EXISTING, h),
              OS_ERROR_ACCESS_DENIED);
    EXPECT_EQ(os_error_text(OS_ERROR_ACCESS_DENIED), "Access is denied.");

    const std::string name = dir.file("locked.dat");
    write_file(name, "keep");
    bool locked = false;
    if (geteuid() != 0) {
        locked = chmod(name.c_str(), 0444) == 0;
    } else {
        const int fd = open(name.c_str(), O_RDONLY);
        int flags = 0;
        if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            locked = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        if (fd >= 0) close(fd);
    }
    if (!locked) GTEST_SKIP() << "this file system cannot write-protect a file against us";
    EXPECT_EQ(os_file_open(name, OS_ACCESS_WRITE, OS_SHARE_READ, OS_CREATE_ALWAYS, h),
              OS_ERROR_ACCESS_DENIED);
    EXPECT_EQ(os_file_open(name, OS_ACCESS_READ | OS_ACCESS_WRITE, OS_SHARE_READ, OS_OPEN_EXISTING, h),
              OS_ERROR_ACCESS_DENIED);
    EXPECT_EQ(os_file_delete(name), OS_ERROR_ACCESS_DENIED);
    EXPECT_EQ(read_file(name), "keep");
    if (geteuid() == 0) {
        const int fd = open(name.c_str(), O_RDONLY);
        int flags = 0;
        ioctl(fd, FS_IOC_GETFLAGS, &flags);
        flags &= ~FS_IMMUTABLE_FL;
        ioctl(fd, FS_IOC_SETFLAGS, &flags);
        close(fd);
    }
}

TEST(OsFile, ReadWriteSeek) {
    TempDir dir;
    const std::string name = dir.file("data.bin");
    std::int32_t h = -1, done = -5;
    ASSERT_EQ(os_file_open(name, OS_ACCESS_READ | OS_ACCESS_WRITE, OS_SHARE_READ, OS_CREATE_NEW, h),
              OS_OK);
    EXPECT_GT(h, 0);
    EXPECT_EQ(os_file_write(h, "0123456789", 10, done), OS_OK);
    EXPECT_EQ(done, 10);
    std::int64_t pos = 0;
    EXPECT_EQ(os_file_seek(h, 0, OS_SEEK_END, pos), OS_OK);
    EXPECT_EQ(pos, 10);
    EXPECT_EQ(os_file_seek(h, -4, OS_SEEK_CURRENT, pos), OS_OK);
    EXPECT_EQ(pos, 6);
    char buf[10] = {};
    EXPECT_EQ(os_file_read(h, buf, 10, done), OS_OK);
    EXPECT_EQ(done, 4);
    EXPECT_EQ(std::string(buf, 4), "6789");
    EXPECT_EQ(os_file_read(h, buf, 10, done), OS_OK);   // at the end: nothing, no failure
    EXPECT_EQ(done, 0);
    EXPECT_EQ(os_file_seek(h, -11, OS_SEEK_END, pos), OS_ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(pos, -1);
    EXPECT_EQ(os_file_seek(h, 0, OS_SEEK_CURRENT, pos), OS_OK);   // did not move
    EXPECT_EQ(pos, 10);
    EXPECT_EQ(os_file_seek(h, 0, 7, pos), OS_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(os_file_close(h), OS_OK);
    EXPECT_EQ(os_file_close(h), OS_ERROR_INVALID_HANDLE);
    EXPECT_EQ(os_file_read(h, buf, 1, done), OS_ERROR_INVALID_HANDLE);
    EXPECT_EQ(os_file_open(name, OS_ACCESS_WRITE, OS_SHARE_READ, OS_CREATE_NEW, h),
              OS_ERROR_FILE_EXISTS);
    // Emptying an existing file.
    ASSERT_EQ(os_file_open(name, OS_ACCESS_WRITE, OS_SHARE_READ, OS_CREATE_ALWAYS, h), OS_OK);
    EXPECT_EQ(os_file_read(h, buf, 1, done), OS_ERROR_ACCESS_DENIED);   // opened for writing only
    os_file_close(h);
    EXPECT_EQ(read_file(name), "");
}

TEST(OsFile, SharingBetweenOwnOpens) {
    TempDir dir;
    const std::string name = dir.file("shared.dat");
    write_file(name, "original");
    // The library's three byte-file modes: read sharing both, write sharing
    // read, read-write sharing read.
    struct Mode {
        int access, share;
        OsCreation creation;
    };
    const Mode read_mode{OS_ACCESS_READ, OS_SHARE_READ | OS_SHARE_WRITE, OS_OPEN_EXISTING};
    const Mode write_mode{OS_ACCESS_WRITE, OS_SHARE_READ, OS_CREATE_ALWAYS};
    const Mode update_mode{OS_ACCESS_READ | OS_ACCESS_WRITE, OS_SHARE_READ, OS_OPEN_EXISTING};
    auto open_as = [&](const Mode& m, std::int32_t& h) {
        return os_file_open(name, m.access, m.share, m.creation, h);
    };
    std::int32_t r1, r2, w1, w2;
    ASSERT_EQ(open_as(read_mode, r1), OS_OK);
    ASSERT_EQ(open_as(read_mode, r2), OS_OK);
    EXPECT_NE(r1, r2);
    os_file_close(r2);
    ASSERT_EQ(open_as(update_mode, w1), OS_OK);   // the reader shares writing
    EXPECT_EQ(open_as(write_mode, w2), OS_ERROR_SHARING_VIOLATION);
    EXPECT_EQ(w2, -1);
    EXPECT_EQ(open_as(update_mode, w2), OS_ERROR_SHARING_VIOLATION);
    EXPECT_EQ(read_file(name), "original");   // the refused write mode did not empty it
    os_file_close(w1);
    ASSERT_EQ(open_as(write_mode, w1), OS_OK);
    EXPECT_EQ(open_as(write_mode, w2), OS_ERROR_SHARING_VIOLATION);
    EXPECT_EQ(open_as(read_mode, r2), OS_OK);     // readers may still read
    os_file_close(r2);
    os_file_close(w1);
    os_file_close(r1);
    ASSERT_EQ(open_as(write_mode, w1), OS_OK);
    os_file_close(w1);
}

TEST(OsFile, CopyRenameDeleteAndDirectories) {
    TempDir dir(true);
    write_file("a.dat", "payload");
    struct utimbuf t {1000000000, 1000000000};
    ASSERT_EQ(utime("a.dat", &t), 0);
    EXPECT_EQ(os_file_copy("a.dat", "b.dat"), OS_OK);
    EXPECT_EQ(read_file("b.dat"), "payload");
    OsFileInfo info;
    ASSERT_EQ(os_file_info("b.dat", info), OS_OK);
    EXPECT_EQ(info.write_time, 1000000000);
    EXPECT_EQ(info.size, 7);
    EXPECT_EQ(info.name, "b.dat");
    EXPECT_EQ(info.attributes, OS_ATTR_NORMAL);
    write_file("b.dat", "old");
    EXPECT_EQ(os_file_copy("a.dat", "b.dat", true), OS_ERROR_FILE_EXISTS);
    EXPECT_EQ(read_file("b.dat"), "old");
    // Onto itself: refused, and the file is intact.
    EXPECT_EQ(os_file_copy("a.dat", "a.dat"), OS_ERROR_SHARING_VIOLATION);
    EXPECT_EQ(os_file_copy("./a.dat", dir.file("a.dat")), OS_ERROR_SHARING_VIOLATION);
    EXPECT_EQ(read_file("a.dat"), "payload");
    EXPECT_EQ(os_file_copy("a.dat", "nodir/a.dat"), OS_ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(os_file_copy("none.dat", "c.dat"), OS_ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(os_file_rename("b.dat", "a.dat"), OS_ERROR_ALREADY_EXISTS);
    EXPECT_EQ(os_file_rename("b.dat", "c.dat"), OS_OK);
    EXPECT_EQ(read_file("c.dat"), "old");
    EXPECT_EQ(os_file_rename("b.dat", "d.dat"), OS_ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(os_dir_make("sub"), OS_OK);
    EXPECT_EQ(os_dir_make("sub"), OS_ERROR_ALREADY_EXISTS);
    EXPECT_EQ(os_dir_make("nodir/sub"), OS_ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(os_file_delete("sub"), OS_ERROR_ACCESS_DENIED);
    write_file("sub/x", "x");
    EXPECT_EQ(os_dir_remove("sub"), OS_ERROR_DIR_NOT_EMPTY);
    EXPECT_EQ(os_dir_remove("c.dat"), OS_ERROR_DIRECTORY);
    EXPECT_EQ(os_file_delete("sub/x"), OS_OK);
    EXPECT_EQ(os_dir_remove("sub"), OS_OK);
    EXPECT_EQ(os_dir_remove("sub"), OS_ERROR_FILE_NOT_FOUND);

    std::string cwd;
    ASSERT_EQ(os_dir_current(cwd), OS_OK);
    EXPECT_EQ(cwd, std::filesystem::current_path().string());
    ASSERT_EQ(os_dir_make("deep"), OS_OK);
    ASSERT_EQ(os_dir_set_current("deep"), OS_OK);
    std::string now;
    os_dir_current(now);
    EXPECT_EQ(now, cwd + "/deep");
    EXPECT_EQ(os_dir_set_current(".."), OS_OK);
    EXPECT_EQ(os_dir_set_current("c.dat"), OS_ERROR_DIRECTORY);
}

TEST(OsFile, FullPathIsResolvedByText) {
    TempDir dir(true);
    std::string cwd, full;
    ASSERT_EQ(os_dir_current(cwd), OS_OK);
    const std::pair<const char*, std::string> cases[] = {
        {"a.dat", cwd + "/a.dat"},     {"x/./y/../z", cwd + "/x/z"}, {"/p//q/", "/p/q/"},
        {"/..", "/"},                  {"/a/b/../../..", "/"},       {".", cwd},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(os_full_path(name, full), OS_OK) << name;
        EXPECT_EQ(full, expected) << name;
    }
    EXPECT_EQ(os_full_path("", full), OS_ERROR_INVALID_NAME);
}

TEST(OsFile, AttributesAndDosDateTime) {
    TempDir dir(true);
    EnvGuard tz("TZ");
    setenv("TZ", "UTC", 1);
    tzset();
    write_file("t.dat", "x");
    write_file(".hidden", "");
    // 2024-01-02 03:04:05 UTC: DOS time keeps the second rounded down to even.
    struct utimbuf t {1704164645, 1704164645};
    ASSERT_EQ(utime("t.dat", &t), 0);
    OsFileInfo info;
    ASSERT_EQ(os_file_info("t.dat", info), OS_OK);
    EXPECT_EQ(info.year, 2024);
    EXPECT_EQ(info.month, 1);
    EXPECT_EQ(info.day, 2);
    EXPECT_EQ(info.hour, 3);
    EXPECT_EQ(info.minute, 4);
    EXPECT_EQ(info.second, 5);
    EXPECT_EQ(info.dos_date, (44 << 9) | (1 << 5) | 2);
    EXPECT_EQ(info.dos_time, (3 << 11) | (4 << 5) | 2);
    // Before 1980 a DOS date cannot say it: the earliest one stands in.
    struct utimbuf old {0, 0};
    ASSERT_EQ(utime("t.dat", &old), 0);
    ASSERT_EQ(os_file_info("t.dat", info), OS_OK);
    EXPECT_EQ(info.dos_date, (0 << 9) | (1 << 5) | 1);
    EXPECT_EQ(info.dos_time, 0);

    EXPECT_EQ(os_file_set_attributes("t.dat", OS_ATTR_READONLY), OS_OK);
    ASSERT_EQ(os_file_info("t.dat", info), OS_OK);
    EXPECT_EQ(info.attributes, OS_ATTR_READONLY);
    EXPECT_EQ(os_file_set_attributes("t.dat", OS_ATTR_NORMAL), OS_OK);
    ASSERT_EQ(os_file_info("t.dat", info), OS_OK);
    EXPECT_EQ(info.attributes, OS_ATTR_NORMAL);
    ASSERT_EQ(os_file_info(".hidden", info), OS_OK);
    EXPECT_EQ(info.attributes, OS_ATTR_HIDDEN);
    ASSERT_EQ(os_file_info(".", info), OS_OK);
    EXPECT_TRUE(info.attributes & OS_ATTR_DIRECTORY);
    EXPECT_EQ(os_file_set_attributes("none", 0), OS_ERROR_FILE_NOT_FOUND);
    unsetenv("TZ");
    tzset();
}

TEST(OsEnvironment, TempDirectoryOrderAndValues) {
    EnvGuard temp("TEMP"), tmp("TMP");
    struct Case {
        const char* temp;
        const char* tmp;
        const char* expected;
    };
    const Case cases[] = {
        {"/t1", "/t2", "/t1"}, {nullptr, "/t2", "/t2"}, {"", "/t2", "/t2"},
        {nullptr, nullptr, "/tmp"}, {"", "", "/tmp"},
    };
    for (const Case& c : cases) {
        if (c.temp) os_env_set("TEMP", c.temp);
        else os_env_unset("TEMP");
        if (c.tmp) os_env_set("TMP", c.tmp);
        else os_env_unset("TMP");
        EXPECT_EQ(os_temp_dir(), c.expected);
    }
    std::string v;
    ASSERT_EQ(os_env_set("QUINDA_TEST_VALUE", "caf\xE9"), OS_OK);
    EXPECT_STREQ(getenv("QUINDA_TEST_VALUE"), "caf\xC3\xA9");   // UTF-8 for the system
    EXPECT_TRUE(os_env_get("QUINDA_TEST_VALUE", v));
    EXPECT_EQ(v, "caf\xE9");
    EXPECT_EQ(os_env_unset("QUINDA_TEST_VALUE"), OS_OK);
    EXPECT_FALSE(os_env_get("QUINDA_TEST_VALUE", v));
    EXPECT_EQ(os_env_set("A=B", "x"), OS_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(os_env_set("", "x"), OS_ERROR_INVALID_PARAMETER);
}

TEST(OsProcess, RunsThroughTheShellAndWaits) {
    TempDir dir(true);
    std::int32_t p = -1;
    int code = -1;
    ASSERT_EQ(os_process_start("exit 3", p), OS_OK);
    EXPECT_GT(p, 0);
    EXPECT_EQ(os_process_wait(p, -1, code), OS_OK);
    EXPECT_EQ(code, 3);
    EXPECT_EQ(os_process_wait(p, 0, code), OS_OK);   // asked again
    EXPECT_EQ(code, 3);
    os_process_close(p);
    EXPECT_EQ(os_process_wait(p, 0, code), OS_ERROR_INVALID_HANDLE);

    // Shell syntax, inherited environment and current directory.
    os_env_set("QUINDA_TEST_WORD", "w\xE9");
    ASSERT_EQ(os_process_start("printf '%s' \"$QUINDA_TEST_WORD\" > out.txt && exit 0", p), OS_OK);
    EXPECT_EQ(os_process_wait(p, -1, code), OS_OK);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(read_file("out.txt"), "w\xC3\xA9");
    os_process_close(p);
    os_env_unset("QUINDA_TEST_WORD");

    // A process that is still running times out, then ends.
    ASSERT_EQ(os_process_start("sleep 0.3", p), OS_OK);
    EXPECT_EQ(os_process_wait(p, 0, code), OS_ERROR_WAIT_TIMEOUT);
    EXPECT_EQ(os_process_wait(p, -1, code), OS_OK);
    EXPECT_EQ(code, 0);
    os_process_close(p);

    ASSERT_EQ(os_process_start("kill -9 $$", p), OS_OK);
    EXPECT_EQ(os_process_wait(p, -1, code), OS_OK);
    EXPECT_EQ(code, 128 + 9);
    os_process_close(p);
}

// The one save of the system: through links (also to a file not there yet),
// keeping the target's mode, and never in place of a FIFO or a device.
TEST(OsFile, SaveFollowsLinksKeepsModeAndSparesSpecialFiles) {
    TempDir dir;
    const auto save = [](const std::string& name, const std::string& text) {
        std::string temp;
        std::int32_t h = -1;
        if (const int rc = os_file_save_begin(name, temp, h); rc != OS_OK) return rc;
        std::int32_t put = 0;
        EXPECT_EQ(os_file_write(h, text.data(), static_cast<std::int32_t>(text.size()), put), OS_OK);
        return os_file_save_commit(h, temp, name);
    };
    mkdir(dir.file("real").c_str(), 0755);
    write_file(dir.file("real/t.grd"), "old");
    ASSERT_EQ(symlink("real/t.grd", dir.file("link.grd").c_str()), 0);
    ASSERT_EQ(save(dir.file("link.grd"), "new"), OS_OK);
    struct stat st {};
    ASSERT_EQ(lstat(dir.file("link.grd").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(read_file(dir.file("real/t.grd")), "new");
    ASSERT_EQ(symlink("real/later.grd", dir.file("dangling.grd").c_str()), 0);
    ASSERT_EQ(save(dir.file("dangling.grd"), "made"), OS_OK);
    EXPECT_EQ(read_file(dir.file("real/later.grd")), "made");

    const std::string ro = dir.file("ro.grd");
    write_file(ro, "old");
    ASSERT_EQ(chmod(ro.c_str(), 0440), 0);
    if (geteuid() == 0) {
        ASSERT_EQ(save(ro, "new"), OS_OK);
        EXPECT_EQ(read_file(ro), "new");
    } else {
        EXPECT_EQ(save(ro, "new"), OS_ERROR_ACCESS_DENIED);
        EXPECT_EQ(read_file(ro), "old");
    }
    ASSERT_EQ(stat(ro.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0440u);

    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    std::vector<std::string> specials{fifo};
    // Root makes a device node of its own, so a fault cannot replace the
    // system's; another user tries the system's, which it cannot replace.
    if (geteuid() == 0) {
        ASSERT_EQ(mknod(dir.file("null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
        specials.push_back(dir.file("null"));
    } else {
        specials.push_back("/dev/null");
    }
    for (const std::string& s : specials) {
        EXPECT_EQ(save(s, "x"), OS_ERROR_ACCESS_DENIED) << s;
        ASSERT_EQ(lstat(s.c_str(), &st), 0);
        EXPECT_FALSE(S_ISREG(st.st_mode)) << s;
    }
    EXPECT_EQ(save(dir.path().string(), "x"), OS_ERROR_ACCESS_DENIED);
    // No temporary file is left behind.
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

// Whether a save to one name would replace the file another names: by
// device and inode for files that exist (through links and hard links,
// whatever the spelling), by directory and name for a file not there yet.
TEST(OsFile, SameFileByInodeNotBySpelling) {
    TempDir dir;
    write_file(dir.file("model.fem"), "m");
    write_file(dir.file("other.fem"), "o");
    mkdir(dir.file("sub").c_str(), 0755);
    ASSERT_EQ(link(dir.file("model.fem").c_str(), dir.file("hard.grd").c_str()), 0);
    ASSERT_EQ(symlink("model.fem", dir.file("soft.grd").c_str()), 0);
    ASSERT_EQ(symlink("later.ini", dir.file("dangling.grd").c_str()), 0);
    const struct {
        const char* saved;
        const char* other;
        bool same;
    } cases[] = {
        {"model.fem", "model.fem", true},        {"sub/../model.fem", "model.fem", true},
        {"./model.fem", "model.fem", true},      {"hard.grd", "model.fem", true},
        {"soft.grd", "model.fem", true},         {"other.fem", "model.fem", false},
        {"new.grd", "model.fem", false},         {"new.grd", "./new.grd", true},
        {"dangling.grd", "later.ini", true},     {"dangling.grd", "sub/../later.ini", true},
        {"Model.fem", "model.fem", false},       {"none/x.grd", "none/x.grd", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(os_same_file(dir.file(c.saved), dir.file(c.other)), c.same) << c.saved << " " << c.other;
    EXPECT_FALSE(os_same_file("", dir.file("model.fem")));
}

// A failure's reason in the system's words where the system gave it, the
// code's own text otherwise; a directory in the way says so.
TEST(OsFile, FailuresCarryTheSystemsReason) {
    TempDir dir;
    std::int32_t h = -1;
    const int missing = os_file_open(dir.file("none/x"), OS_ACCESS_READ, OS_SHARE_READ, OS_OPEN_EXISTING, h);
    EXPECT_EQ(missing, OS_ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(os_error_reason(missing), "No such file or directory");
    // A code this thread's last failure did not give: the code's own text.
    EXPECT_EQ(os_error_reason(OS_ERROR_DISK_FULL), "There is not enough space on the disk");
    mkdir(dir.file("d").c_str(), 0755);
    std::string temp;
    const int rc = os_file_save_begin(dir.file("d"), temp, h);
    EXPECT_EQ(rc, OS_ERROR_ACCESS_DENIED);
    EXPECT_EQ(os_error_reason(rc), "Is a directory");
}

// The two halves of a save: a finished file is whole on the disk under its
// temporary name while the target keeps its contents until the rename.
TEST(OsFile, FinishedSaveReplacesTheTargetOnlyWhenRenamed) {
    TempDir dir;
    const std::string target = dir.file("t.grd");
    write_file(target, "old");
    std::string temp;
    std::int32_t h = -1;
    ASSERT_EQ(os_file_save_begin(target, temp, h), OS_OK);
    std::int32_t put = 0;
    ASSERT_EQ(os_file_write(h, "new", 3, put), OS_OK);
    ASSERT_EQ(os_file_save_finish(h, temp), OS_OK);
    EXPECT_EQ(read_file(target), "old");
    EXPECT_EQ(read_file(os_cp1252_to_utf8(temp)), "new");
    ASSERT_EQ(os_file_save_rename(temp, target), OS_OK);
    EXPECT_EQ(read_file(target), "new");
    // A finished file abandoned goes, and the target stays.
    ASSERT_EQ(os_file_save_begin(target, temp, h), OS_OK);
    ASSERT_EQ(os_file_save_finish(h, temp), OS_OK);
    os_file_save_abandon(-1, temp);
    EXPECT_EQ(read_file(target), "new");
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

// A save killed before its rename leaves its temporary file; the next save
// into that directory removes those whose process is gone, and nothing else.
TEST(OsFile, SaveRemovesTemporaryFilesOfSavesThatWereKilled) {
    TempDir dir;
    // A process that has ended (and been waited for), and one that runs.
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    ASSERT_GT(dead, 0);
    ASSERT_EQ(waitpid(dead, nullptr, 0), dead);
    const std::string gone = std::to_string(dead), alive = std::to_string(getppid());
    const std::vector<std::string> removed{".surfer.grd." + gone + ".0.tmp", ".other.name.grd." + gone + ".17.tmp"};
    const std::vector<std::string> kept{
        ".surfer.grd." + alive + ".0.tmp",          // its save may still finish
        ".surfer.grd." + std::to_string(getpid()) + ".3.tmp",   // this process's own
        "surfer.grd." + gone + ".0.tmp",            // not hidden: not one of ours
        ".surfer.grd." + gone + ".x.tmp",
        ".surfer.grd." + gone + ".100.tmp",
        "." + gone + ".0.tmp",                      // no name before the process
        ".surfer.grd." + gone + ".0.tmp.bak",
        ".surfer.grd.0.0.tmp",
    };
    for (const auto& n : removed) write_file(dir.file(n), "partial");
    for (const auto& n : kept) write_file(dir.file(n), "partial");
    // A directory and a link named like a stale file are left alone.
    const std::string subdir = ".sub.grd." + gone + ".1.tmp", link = ".link.grd." + gone + ".2.tmp";
    ASSERT_EQ(mkdir(dir.file(subdir).c_str(), 0755), 0);
    ASSERT_EQ(symlink("surfer.grd", dir.file(link).c_str()), 0);
    // Another directory's stale files wait for a save there.
    mkdir(dir.file("elsewhere").c_str(), 0755);
    write_file(dir.file("elsewhere/" + removed[0]), "partial");

    write_file(dir.file("surfer.grd"), "old");
    std::string temp;
    std::int32_t h = -1;
    ASSERT_EQ(os_file_save_begin(dir.file("surfer.grd"), temp, h), OS_OK);
    std::int32_t put = 0;
    ASSERT_EQ(os_file_write(h, "new", 3, put), OS_OK);
    ASSERT_EQ(os_file_save_commit(h, temp, dir.file("surfer.grd")), OS_OK);
    EXPECT_EQ(read_file(dir.file("surfer.grd")), "new");
    for (const auto& n : removed) EXPECT_FALSE(std::filesystem::exists(dir.file(n))) << n;
    for (const auto& n : kept) EXPECT_EQ(read_file(dir.file(n)), "partial") << n;
    EXPECT_TRUE(std::filesystem::is_directory(dir.file(subdir)));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file(link)));
    EXPECT_TRUE(std::filesystem::exists(dir.file("elsewhere/" + removed[0])));
}

// Giving a block its pages at once is a hint only: what the block holds,
// and what lies beside it in the partial pages at its ends, stays as it was,
// whatever the block's alignment and size; the allocator that asks for it
// is the standard one otherwise.
TEST(OsMemory, PopulatingKeepsWhatBlocksHold) {
    std::vector<unsigned char> block((std::size_t{3} << 20) + 123);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<unsigned char>(i * 7 + 1);
    const std::vector<unsigned char> before = block;
    for (const std::size_t at : {std::size_t{0}, std::size_t{1}, std::size_t{4095}, std::size_t{5000}})
        for (const std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{4096}, std::size_t{2} << 20})
            os_populate(block.data() + at, n);
    EXPECT_EQ(block, before);

    std::vector<double, OsPopulatedAllocator<double>> big(std::size_t{1} << 18, 2.5), small(10, 1.5);
    big.resize(big.size() + 1000, -1.0);
    EXPECT_EQ(big.front(), 2.5);
    EXPECT_EQ(big[(std::size_t{1} << 18) - 1], 2.5);
    EXPECT_EQ(big.back(), -1.0);
    EXPECT_EQ(small.back(), 1.5);
}
