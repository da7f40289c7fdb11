// Files, directories, file names, the command line and system information.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "lib/graphics/gstate.h"
#include "lib/graphics/text.h"
#include "lib/window/errors.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "lib/window/startup.h"
#include "lib/window/text.h"
#include "platform/os_app.h"
#include "platform/os_config.h"
#include "platform/os_system.h"
#include "tests/support/quinda_test.h"

namespace fs = std::filesystem;

namespace {

class OsFilesTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        write_file("a.dat", "alpha");
        write_file("b.dat", "beta");
        write_file("c.txt", "gamma");
        fs::create_directory("d.dat");
        fs::create_directory("out");
    }
    TempDir dir_{true};
};

// The last error and the OS status, both read (and so cleared).
std::pair<int, int> errors() {
    const int e = infoerror(1);
    return {e, infoerror(3)};
}

}  // namespace

TEST_F(OsFilesTest, WildcardDeleteSkipsDirectories) {
    IOsDeleteFile("*.dat    ");
    EXPECT_EQ(errors(), std::make_pair(0, 0));
    EXPECT_FALSE(fs::exists("a.dat"));
    EXPECT_FALSE(fs::exists("b.dat"));
    EXPECT_TRUE(fs::exists("c.txt"));
    EXPECT_TRUE(fs::is_directory("d.dat"));

    write_file("out/x.dat", "x");
    IOsDeleteFile(dir_.file("out") + "/?.dat");
    EXPECT_FALSE(fs::exists("out/x.dat"));

    IOsDeleteFile("*.nothing");
    EXPECT_EQ(errors(), std::make_pair(13, 2));
    IOsDeleteFile("missing/*.dat");
    EXPECT_EQ(errors(), std::make_pair(13, 3));
    IOsDeleteFile("   ");
    EXPECT_EQ(errors(), std::make_pair(0, 0));
}

TEST_F(OsFilesTest, CopyOneFile) {
    IOsCopyFile("a.dat", "out/");
    EXPECT_EQ(read_file("out/a.dat"), "alpha");
    IOsCopyFile("b.dat", "out/renamed.dat");
    EXPECT_EQ(read_file("out/renamed.dat"), "beta");
    IOsCopyFile("b.dat", "a.dat");   // replaces
    EXPECT_EQ(read_file("a.dat"), "beta");
    EXPECT_EQ(errors(), std::make_pair(0, 0));

    IOsCopyFile("c.txt", "c.txt   ");
    EXPECT_EQ(errors(), std::make_pair(55, 0));
    EXPECT_EQ(read_file("c.txt"), "gamma");
    // The comparison is by text: another spelling of the same file reaches
    // the system, which refuses it and leaves the file intact.
    IOsCopyFile("c.txt", "./c.txt");
    EXPECT_EQ(errors(), std::make_pair(13, 32));
    EXPECT_EQ(read_file("c.txt"), "gamma");
    // Case counts: C.TXT is another name, and it does not exist.
    IOsCopyFile("C.TXT", "c.txt");
    EXPECT_EQ(errors(), std::make_pair(13, 2));
    IOsCopyFile("a.dat", "nowhere/a.dat");
    EXPECT_EQ(errors(), std::make_pair(13, 3));
    IOsCopyFile(" ", "out/");
    EXPECT_EQ(errors(), std::make_pair(0, 0));
    IOsCopyFile("a.dat", std::string(300, 'n'));
    EXPECT_EQ(errors(), std::make_pair(13, 206));
}

TEST_F(OsFilesTest, WildcardCopySkipsDirectories) {
    IOsCopyFile("*.dat", "out");
    EXPECT_EQ(errors(), std::make_pair(0, 0));
    EXPECT_EQ(read_file("out/a.dat"), "alpha");
    EXPECT_EQ(read_file("out/b.dat"), "beta");
    EXPECT_FALSE(fs::exists("out/d.dat"));
    EXPECT_FALSE(fs::exists("out/c.txt"));
    IOsCopyFile(dir_.file("") + "*.txt", "out/");
    EXPECT_EQ(read_file("out/c.txt"), "gamma");
    IOsCopyFile("*.none", "out");
    EXPECT_EQ(errors(), std::make_pair(13, 2));
}

TEST_F(OsFilesTest, PathsAndCurrentDirectory) {
    const std::string cwd = fs::current_path().string();
    std::string full(300, '#');
    IOsFullPathname("x/../y.dat  ", full);
    EXPECT_EQ(txt_c(full), cwd + "/y.dat");
    IOsFullPathname("   ", full);
    EXPECT_TRUE(txt_blank(full));
    EXPECT_EQ(errors(), std::make_pair(0, 0));

    std::string d(cwd.size(), '#');
    IOsDirName(d);
    EXPECT_EQ(d, cwd);
    EXPECT_EQ(errors(), std::make_pair(0, 0));
    std::string small(cwd.size() - 1, '#');
    IOsDirName(small);
    EXPECT_TRUE(txt_blank(small));
    EXPECT_EQ(errors(), std::make_pair(1023, 0));
}

TEST_F(OsFilesTest, OperatingSystemLayer) {
    int status = -1, too_small = -1;
    std::string buffer;
    yydirn(buffer, status, too_small, 3);
    EXPECT_EQ(too_small, 1);
    EXPECT_TRUE(buffer.empty());

    std::string name = "*.dat";
    std::uint32_t attr = 0;
    std::int32_t when = 0, size = 0;
    std::vector<std::string> found;
    for (yyfind(0, name, attr, when, size, status); status == 0; yyfind(1, name, attr, when, size, status))
        found.push_back(name + (attr & 0x10 ? "/" : ""));
    EXPECT_EQ(status, 1);
    yyfindclose();
    EXPECT_EQ(found, (std::vector<std::string>{"a.dat", "b.dat", "d.dat/"}));
    name = "*.none";
    yyfind(0, name, attr, when, size, status);
    EXPECT_EQ(status, 2);

    write_file("k.bin", std::string(1025, 'k'));
    int y, mo, da, h, mi, s;
    std::int32_t kib = 0;
    yyfileinfo(size, y, mo, da, h, mi, s, attr, kib, "k.bin");
    EXPECT_EQ(size, 1025);
    EXPECT_EQ(kib, 2);
    yyfileinfo(size, y, mo, da, h, mi, s, attr, kib, "none.bin");
    EXPECT_EQ(size, -1);
}

TEST_F(OsFilesTest, StoredAndTemporaryNames) {
    txt_set(quinda.CHARSET, "standard.chr");
    txt_set(quinda.LibraryHomeDirectory, "/opt/quin/");
    txt_set(gstate.hc.output_name, "plot.ps");
    struct Case {
        int item;
        std::size_t room;
        std::string value;
        int error;
    };
    const std::vector<Case> cases = {
        {2, 10, "plot.ps   ", 0},   {3, 12, "standard.chr", 0}, {3, 8, "standard", 1023},
        {7, 12, "/opt/quin/  ", 0}, {4, 3, "   ", 0},          {6, 3, "   ", 0},
        {9, 3, "   ", 0},           {1, 3, "   ", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        std::string v(c.room, '#');
        WInfoFilename(c.item, v);
        EXPECT_EQ(v, c.value);
        EXPECT_EQ(infoerror(1), c.error);
    }
    {
        // Item 9 names the stroke font the text state holds.
        igrinit();
        std::string v(14, '#');
        WInfoFilename(9, v);
        EXPECT_EQ(v, "standard.chr  ");
        yyofswiss();
        WInfoFilename(9, v);
        EXPECT_EQ(v, "swiss.chr     ");
        std::string shorter(8, '#');
        WInfoFilename(9, shorter);
        EXPECT_EQ(shorter, "swiss.ch");
        EXPECT_EQ(infoerror(1), 1023);
    }

    {
        ScopedEnv t("TEMP", std::nullopt);
        ScopedEnv t2("TMP", std::nullopt);
        std::string v(6, '#');
        WInfoFilename(10, v);
        EXPECT_EQ(v, "/tmp/ ");
        std::string four(4, '#');
        WInfoFilename(10, four);
        EXPECT_EQ(four, "/tmp");
    }
    ScopedEnv t("TEMP", dir_.path().string());
    std::string tdir(200, ' ');
    WInfoFilename(10, tdir);
    EXPECT_EQ(txt_c(tdir), dir_.path().string() + "/");

    // A clock that stands still: two requests in one millisecond.
    OsConfig cfg = os_config_test_profile();
    cfg.tick_ms = [] { return std::int64_t{5000}; };
    os_config_set(cfg);
    write_file("xx0000005000.tmp", "in use");
    std::string first(200, ' '), second(200, ' ');
    WInfoFilename(11, first);
    WInfoFilename(11, second);
    EXPECT_EQ(txt_c(first), dir_.path().string() + "/xx0000005001.tmp");
    EXPECT_EQ(txt_c(second), dir_.path().string() + "/xx0000005002.tmp");
}

namespace {

class CommandLineTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        saved_ = os_app_args();
    }
    void TearDown() override { start(saved_); }
    static void start(const std::vector<std::string>& args) {
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        os_app_start(static_cast<int>(argv.size()), argv.data());
        reset_os_services();
    }
    std::vector<std::string> saved_;
};

}  // namespace

TEST_F(CommandLineTest, Tokenizer) {
    struct Case {
        std::vector<std::string> argv;
        int n;
        std::string text;
        int result;
    };
    const std::vector<Case> cases = {
        {{"prog", "two words", "last"}, 1, "two words", 1},
        {{"prog", "two words", "last"}, 2, "last", 2},
        {{"prog", "two words", "last"}, -1, "", 2},
        {{"prog", "two words", "last"}, 3, "", 2},
        {{"prog", "", "x"}, 1, "x", 1},              // empty quotes are no argument
        {{"prog", "", "x"}, -1, "", 1},
        {{"prog", "a", "\"b c"}, 2, "b c", 2},      // unterminated quote: rest of the line
        {{"prog", "ab\"cd"}, 1, "ab\"cd", 1},       // quotes inside a word are ordinary
        {{"prog", "\"x\"y", "z"}, 1, "x", 1},       // the character after the quote is skipped
        {{"prog", "\"x\"y", "z"}, 2, "z", 2},
        {{"prog"}, -1, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(os_command_line() + " n=" + std::to_string(c.n));
        start(c.argv);
        std::string text(20, '#');
        EXPECT_EQ(yyargs(c.n, text), c.result);
        EXPECT_EQ(txt_c(text), c.text);
    }

    start({"./relative/prog", "one"});
    std::string exe;
    ASSERT_EQ(os_executable_path(exe), 0);
    std::string arg0(300, ' ');
    iosargument(0, arg0);
    EXPECT_EQ(txt_c(arg0), exe);
    EXPECT_EQ(arg0[0], '/');
    std::string arg(10, '#');
    iosargument(-1, arg);
    EXPECT_TRUE(txt_blank(arg));
    iosargument(2, arg);
    EXPECT_TRUE(txt_blank(arg));
    iosargument(1, arg);
    EXPECT_EQ(txt_c(arg), "one");
    EXPECT_EQ(infoopsystem(2), 1);
}

TEST_F(QuindaTest, OptionLetters) {
    EXPECT_EQ(yyopt("xlz", 'L'), 1);
    EXPECT_EQ(yyopt("XLZ", 'L'), 1);
    EXPECT_EQ(yyopt("XLZ", 'l'), 0);
    EXPECT_EQ(yyopt("", 'H'), 0);
}

TEST_F(QuindaTest, EnvironmentValues) {
    ScopedEnv v("QUINDA_TEST_VAR", "abcdef");
    std::string value(6, '#');
    IOsVariable("QUINDA_TEST_VAR  ", value);
    EXPECT_EQ(value, "abcdef");
    EXPECT_EQ(infoerror(1), 0);
    std::string small(5, '#');
    IOsVariable("QUINDA_TEST_VAR", small);
    EXPECT_EQ(small, "     ");
    EXPECT_EQ(infoerror(1), 1023);
    IOsVariable("QUINDA_TEST_UNSET", value);
    EXPECT_EQ(value, "      ");
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(QuindaTest, SystemInformationItems) {
    quinda.decimal_char = ',';
    const std::vector<std::pair<int, int>> fixed = {
        {1, 6},  {4, 42}, {5, 63}, {6, 47}, {7, 0},  {8, 1},  {10, 0}, {11, 0}, {12, 1}, {13, 1},
        {14, 1}, {16, 4}, {18, 1}, {19, 0}, {20, 44}, {'A', 0}, {'Z', 0}, {100 + 'A', 0},
    };
    for (const auto& [item, value] : fixed) EXPECT_EQ(infoopsystem(item), value) << "item " << item;
    // Unknown items give the previous result again.
    EXPECT_EQ(infoopsystem(16), 4);
    EXPECT_EQ(infoopsystem(999), 4);
    EXPECT_EQ(infoopsystem(0), 4);

    int major = 0, minor = 0;
    os_system_version(major, minor);
    EXPECT_EQ(infoopsystem(3), major * 100 + minor);
    EXPECT_GE(infoopsystem('C'), 1);   // the one root drive
    EXPECT_EQ(static_cast<std::uint32_t>(infoopsystem(100 + 'C')), os_volume_serial("/"));
    // The test clock ticks 10 ms a read.
    const int tick = infoopsystem(15);
    EXPECT_EQ(infoopsystem(15), tick + 10);

    {
        TempDir t(true);
        EXPECT_EQ(infoopsystem(9), 0);
        std::filesystem::current_path("/");
        EXPECT_EQ(infoopsystem(9), 1);
        std::filesystem::current_path(t.path());
    }

    // Free space: the bytes up to what 32 bits hold, the megabytes in full.
    std::uint64_t free = 0;
    ASSERT_EQ(os_disk_free(".", free), 0);
    const std::int64_t bytes = infoopsystem(17);
    const std::int64_t mb = infoopsystem(21);
    const auto expected = static_cast<std::int64_t>(std::min<std::uint64_t>(free, 2147483647u));
    EXPECT_NEAR(static_cast<double>(bytes), static_cast<double>(expected), 64.0 * 1048576);
    EXPECT_NEAR(static_cast<double>(mb), static_cast<double>(free / 1048576), 64.0);
    if (free >= 2147483648u) {
        EXPECT_EQ(bytes, 2147483647);
    }
}

TEST_F(QuindaTest, CommandsRunThroughTheShell) {
    TempDir t(true);
    int status = 0;
    yycmnd("echo ran > out.txt", 1, 1, -1, status);
    EXPECT_EQ(status, 32);
    EXPECT_EQ(read_file("out.txt"), "ran\n");
    yycmnd("exit 3", 0, 1, 5, status);
    EXPECT_EQ(status, 32);   // ended, whatever its exit code
    yycmnd("sleep 5", 0, 1, 0, status);
    EXPECT_EQ(status, -1);
    yyexec(status, "true");
    EXPECT_GT(status, 31);

    static int waits = 0;
    waits = 0;
    command_wait_hook = [] { ++waits; };
    yycmnd("true", 0, 1, -1, status);
    EXPECT_EQ(status, 32);
    EXPECT_GE(waits, 1);
}

TEST_F(QuindaTest, DateTimeUserAndErrorTexts) {
    int y, mo, d, h, mi, s, ms;
    iosdate(y, mo, d);
    yytime(h, mi, s, ms);
    const std::time_t t = os_config().now();
    struct tm lt {};
    localtime_r(&t, &lt);
    EXPECT_EQ(std::vector<int>({y, mo, d, h, mi, s, ms}),
              std::vector<int>({lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday, lt.tm_hour, lt.tm_min, lt.tm_sec, 0}));

    OsConfig cfg = os_config_test_profile();
    cfg.user_name = "hydrologist";
    os_config_set(cfg);
    int status = -1, truncated = -1;
    std::string name;
    yyusername(status, truncated, name, 20);
    EXPECT_EQ(std::make_tuple(status, truncated, name), std::make_tuple(0, 0, std::string("hydrologist")));
    yyusername(status, truncated, name, 5);
    EXPECT_EQ(std::make_tuple(truncated, name), std::make_tuple(1, std::string("hydr")));

    std::string text;
    EXPECT_EQ(yyerrorstr(2, text, 300), 42);
    EXPECT_EQ(text, "The system cannot find the file specified.");
    EXPECT_EQ(yyerrorstr(99999, text, 300), 0);
}
