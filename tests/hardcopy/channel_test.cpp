// The output channel, the spool file names and the print command, the
// last end to end through the shell.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/osservices.h"
#include "lib/window/text.h"
#include "platform/os_file.h"
#include "tests/hardcopy/sample_driver.h"
#include "tests/support/graphics_test.h"

namespace {

namespace fs = std::filesystem;

// Reports go to standard output, so a test sees which routine reported.
class Channel : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        idebuglevel(ReportStdout);
    }
    void TearDown() override { yyprcl(DriverChannel); }
    void open(const std::string& name) {
        txt_set(DriverText, name);
        yyprop(DriverChannel);
    }
    TempDir dir{true};
};

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

TEST_F(Channel, SpoolNames) {
    struct Case {
        const char* what;
        std::optional<std::string> temp, tmp;   // relative to the test directory
        std::vector<std::string> existing;
        std::string plot, dump;                 // relative to the test directory
    };
    const std::vector<Case> cases = {
        {"TMP only", std::nullopt, "t", {}, "t/qdx$$99.plt", "t/qdx$$99.dmp"},
        {"TEMP before TMP", "a", "t", {}, "a/qdx$$99.plt", "a/qdx$$99.dmp"},
        {"TEMP ending in the separator", "a/", std::nullopt, {}, "a/qdx$$99.plt", "a/qdx$$99.dmp"},
        {"the first existing number", "a", std::nullopt, {"a/qdx$$05.plt", "a/qdx$$03.plt"}, "a/qdx$$03.plt",
         "a/qdx$$99.dmp"},
        {"plot and dump apart", "a", std::nullopt, {"a/qdx$$07.dmp", "a/qdx$$00.pl"}, "a/qdx$$99.plt",
         "a/qdx$$07.dmp"},
        {"empty TEMP counts as unset", "", "t", {}, "t/qdx$$99.plt", "t/qdx$$99.dmp"},
    };
    const std::string base = dir.path().string() + "/";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir scratch;
        const std::string root = scratch.path().string() + "/";
        fs::create_directories(root + "a");
        fs::create_directories(root + "t");
        for (const std::string& f : c.existing) write_file(root + f, "old");
        ScopedEnv temp("TEMP", c.temp ? std::optional<std::string>(c.temp->empty() ? "" : root + *c.temp)
                                      : std::nullopt);
        ScopedEnv tmp("TMP", c.tmp ? std::optional<std::string>(root + *c.tmp) : std::nullopt);
        yytmpprn();
        EXPECT_EQ(txt_c(hcstate.SpoolPlotName), root + c.plot);
        EXPECT_EQ(txt_c(hcstate.SpoolDumpName), root + c.dump);
    }
    // Neither set: the system's temporary directory.
    ScopedEnv temp("TEMP", std::nullopt);
    ScopedEnv tmp("TMP", std::nullopt);
    yytmpprn();
    const std::string plot = txt_c(hcstate.SpoolPlotName);
    EXPECT_EQ(plot.substr(0, 10), "/tmp/qdx$$");
    EXPECT_EQ(plot.substr(plot.size() - 4), ".plt");
}

TEST_F(Channel, OpenAndWriteFailures) {
    fs::create_directory("sub");
    struct Case {
        const char* what;
        std::string name;
        bool write;
        int error, io_status;   // io_status -1: not looked at
    };
    const std::vector<Case> cases = {
        {"blank name", "   ", false, 1, -1},
        {"a directory", "sub", false, 1, 5},
        {"a missing directory", "none/x.out", false, 1, 3},
        {"a full device", "/dev/full", true, 2, 112},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        infoerror(1);
        hcstate.HardcopyErrorFlag = 0;
        testing::internal::CaptureStdout();
        open(c.name);
        if (c.write) {
            EXPECT_EQ(hcstate.HardcopyErrorFlag, 0);
            yyprwl(DriverChannel, "text");
            yyprcl(DriverChannel);
        }
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(count(out, "YYPROU"), 1) << out;
        EXPECT_EQ(quinda.last_error, c.error);
        if (c.io_status >= 0) {
            EXPECT_EQ(quinda.io_status, c.io_status);
            EXPECT_EQ(quinda.status_kind, StatusKindOs);
        }
        EXPECT_EQ(hcstate.HardcopyErrorFlag, 1);
        yyprcl(DriverChannel);
        // The next good open clears the flag.
        open("good.out");
        EXPECT_EQ(hcstate.HardcopyErrorFlag, 0);
        yyprcl(DriverChannel);
    }
}

TEST_F(Channel, WritesLinesBuffersAndWorkBlockBytes) {
    open("bytes.out");
    yyprwl(DriverChannel, "");
    yyprwl(DriverChannel, "ab ");
    yyprou(DriverChannel, "raw\n");
    const char bytes[] = "XYZ";
    std::copy(bytes, bytes + 3, quin01.bytes());
    yyprbu(DriverChannel, 3, 1);
    yyprbu(DriverChannel, 2, 0);
    yyprbu(DriverChannel, -4, 0);
    std::int32_t handle = -1;
    yyprfh(DriverChannel, handle);
    EXPECT_GT(handle, 0);
    yyprcl(DriverChannel);
    yyprfh(DriverChannel, handle);
    EXPECT_EQ(handle, -1);
    EXPECT_EQ(read_file("bytes.out"), "\r\nab \r\nraw\nXYZ\r\nXY");

    // A count beyond the work block writes the block, no more.
    open("block.out");
    yyprbu(DriverChannel, 1 << 20, 0);
    yyprcl(DriverChannel);
    EXPECT_EQ(fs::file_size("block.out"), 40000u);
}

TEST_F(Channel, DeviceNamesArePlainFiles) {
    for (const std::string name : {"PRN", "LPT1", "COM1"}) {
        open(name);
        yyprwl(DriverChannel, name);
        yyprcl(DriverChannel);
        EXPECT_EQ(read_file(name), name + "\r\n");
    }
}

TEST_F(Channel, ShortBlockWriteSkipsItsLineEnd) {
    // Written one call at a time, so the block's own write is the one that
    // fails.
    hcstate.channel_block = 0;
    open("/dev/full");
    testing::internal::CaptureStdout();
    const std::uint64_t before = os_file_write_calls();
    yyprbu(DriverChannel, 10, 1);
    EXPECT_EQ(os_file_write_calls() - before, 1u);
    yyprcl(DriverChannel);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(count(out, "YYPROU"), 1) << out;
    EXPECT_EQ(quinda.last_error, 2);
}

TEST_F(Channel, GathersBlocksAndWritesThemWhenFullAtTheHandleAndAtTheClose) {
    open("blocks.out");
    const std::string record(1000, 'r');
    const std::uint64_t start = os_file_write_calls();
    std::string expected;
    for (int i = 0; i < 200; ++i) {
        yyprwl(DriverChannel, record);
        expected += record + "\r\n";
    }
    // Three full blocks went out, the rest is gathered.
    EXPECT_EQ(os_file_write_calls() - start, expected.size() / ChannelBlockBytes);
    // Whoever takes the handle writes after everything before.
    std::int32_t handle = -1;
    yyprfh(DriverChannel, handle);
    std::int32_t done = 0;
    int status = 0;
    yywritc(handle, "direct", 6, done, status);
    expected += "direct";
    // A buffer of a block or more goes out at once, in one write.
    const std::string big(ChannelBlockBytes + 1, 'b');
    const std::uint64_t before_big = os_file_write_calls();
    yyprou(DriverChannel, big);
    EXPECT_EQ(os_file_write_calls() - before_big, 1u);
    expected += big;
    yyprwl(DriverChannel, "tail");
    expected += "tail\r\n";
    yyprcl(DriverChannel);
    EXPECT_EQ(read_file("blocks.out"), expected);
    EXPECT_LE(os_file_write_calls() - start, expected.size() / (32 << 10) + 10);
}

TEST_F(Channel, AFailedWriteIsReportedOnceAtTheClose) {
    open("/dev/full");
    testing::internal::CaptureStdout();
    const std::string record(1000, 'r');
    for (int i = 0; i < 300; ++i) yyprwl(DriverChannel, record);
    // The first full block failed: the flag tells the writers at once ...
    EXPECT_EQ(hcstate.HardcopyErrorFlag, 1);
    EXPECT_EQ(channel_write_status(DriverChannel), 112);
    const std::string during = testing::internal::GetCapturedStdout();
    EXPECT_EQ(count(during, "YYPROU"), 0) << during;
    // ... and the close reports the first failure, once.
    testing::internal::CaptureStdout();
    yyprcl(DriverChannel);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(count(out, "YYPROU"), 1) << out;
    EXPECT_EQ(quinda.last_error, 2);
    EXPECT_EQ(quinda.io_status, 112);
    EXPECT_EQ(quinda.status_kind, StatusKindOs);
}

std::vector<std::string> names_in(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(directory)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Files may grow to BYTES while the object lives; the signal such a write
// would raise is ignored, so the write fails instead.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

TEST_F(Channel, AFileTakesItsNameOnlyWhenWhole) {
    write_file("plot.out", "old");
    open("plot.out");
    yyprwl(DriverChannel, "new");
    std::int32_t handle = -1;
    yyprfh(DriverChannel, handle);
    // While the run writes, the old file stays whole under its name and the
    // new one grows beside it.
    EXPECT_EQ(read_file("plot.out"), "old");
    EXPECT_EQ(names_in(".").size(), 2u);
    yyprcl(DriverChannel);
    EXPECT_EQ(read_file("plot.out"), "new\r\n");
    EXPECT_EQ(names_in("."), std::vector<std::string>{"plot.out"});

    // A run whose file cannot be written whole leaves the last good file,
    // and a new name gets no file at all.
    for (const std::string name : {"plot.out", "fresh.out"}) {
        SCOPED_TRACE(name);
        testing::internal::CaptureStdout();
        {
            FileSizeLimit limit(100000);
            open(name);
            const std::string record(1000, 'r');
            for (int i = 0; i < 150; ++i) yyprwl(DriverChannel, record);
            yyprcl(DriverChannel);
        }
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(count(out, "YYPROU"), 1) << out;
        EXPECT_EQ(quinda.last_error, 2);
        EXPECT_EQ(quinda.io_status, 223);
        EXPECT_EQ(hcstate.HardcopyErrorFlag, 1);
        EXPECT_EQ(names_in("."), std::vector<std::string>{"plot.out"});
        EXPECT_EQ(read_file("plot.out"), "new\r\n");
    }
}

TEST_F(Channel, CommandFailures) {
    // A command that runs and fails is no operating-system error.
    testing::internal::CaptureStdout();
    yyprncmd("exit 3");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(quinda.last_error, 0);
    // One that cannot be started is.
    testing::internal::CaptureStdout();
    yyprncmd(std::string("echo a\0b", 8));
    EXPECT_EQ(count(testing::internal::GetCapturedStdout(), "YYPRNCMD"), 1);
    EXPECT_EQ(quinda.last_error, 13);
    EXPECT_EQ(quinda.os_status, 87);
}

// Runs through the sample driver, which spools.
class PrintCommand : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        install_sample_driver();
        igrinit();
        igrhardcopyselect(1, SampleDriverNumber);
    }
    void spool_in(const std::string& directory) {
        fs::create_directories(directory);
        temp_.emplace("TEMP", directory);
        yytmpprn();
    }
    std::string spool() const { return txt_c(hcstate.SpoolPlotName); }
    std::string out() const { return dir.file("out.plt"); }
    void draw_run(const std::string& name) {
        igrhardcopy(name);
        igrjoin(0.25f, 0.5f, 0.75f, 0.5f);
    }
    // The bytes of the same run written to a file directly.
    std::string direct_run() {
        draw_run("direct.out");
        igrhardcopy("S");
        return read_file("direct.out");
    }

    TempDir dir{true};
    std::optional<ScopedEnv> temp_;
};

TEST_F(PrintCommand, CopiesTheSpoolFileAndRemovesIt) {
    const std::string expected = direct_run();
    ASSERT_EQ(expected.substr(0, 12), "BEGIN\r\nLINE ");
    spool_in(dir.file("spool"));
    ASSERT_NE(spool().find("$$"), std::string::npos);
    draw_run("cp @ " + out());
    EXPECT_EQ(txt_c(DriverText), spool());
    EXPECT_EQ(hcstate.channels[DriverChannel - 1].target, spool());
    EXPECT_EQ(txt_c(hcstate.PrintCommand), "cp @ " + out());
    igrhardcopy("S");
    EXPECT_EQ(read_file(out()), expected);
    EXPECT_FALSE(fs::exists(spool()));
    EXPECT_TRUE(txt_blank(hcstate.PrintCommand));
}

TEST_F(PrintCommand, QuotesInTheSpoolDirectoryAndWildcardsInIt) {
    for (const std::string sub : {"it's here", "sp*o?l"}) {
        SCOPED_TRACE(sub);
        fs::remove(out());
        fs::create_directories(dir.file("spXoYl"));
        write_file(dir.file("spXoYl/qdx$$99.plt"), "other");
        spool_in(dir.file(sub));
        draw_run("cp @ " + out());
        igrhardcopy("S");
        EXPECT_EQ(read_file(out()).substr(0, 5), "BEGIN");
        EXPECT_FALSE(fs::exists(spool()));
        EXPECT_EQ(read_file(dir.file("spXoYl/qdx$$99.plt")), "other");
    }
}

TEST_F(PrintCommand, FailedSpoolOpenRunsNoCommand) {
    temp_.emplace("TEMP", dir.file("missing"));
    yytmpprn();
    const std::string ran = dir.file("ran");
    draw_run("touch " + ran + " @ x");
    EXPECT_EQ(gstate.hardcopy_flag, 0);
    EXPECT_EQ(infoerror(1), 1);
    igrhardcopy("S");
    EXPECT_FALSE(fs::exists(ran));
    EXPECT_TRUE(txt_blank(hcstate.PrintCommand));

    // The next spooled run that works prints again.
    spool_in(dir.file("spool"));
    draw_run("touch " + ran + " @ x");
    igrhardcopy("S");
    EXPECT_TRUE(fs::exists(ran));
}

TEST_F(PrintCommand, StaysPendingAcrossANewStartAndRunsAtTheStop) {
    const std::string expected = direct_run();
    spool_in(dir.file("spool"));
    draw_run("cp @ " + out());
    igrhardcopy("next.out");   // ends the spooled run; the command waits
    EXPECT_FALSE(fs::exists(out()));
    igrhardcopy("S");
    EXPECT_EQ(read_file(out()), expected);
    EXPECT_EQ(read_file("next.out"), "BEGIN\r\nEND\r\n");
}

TEST_F(PrintCommand, ADriverThatCannotSpoolTakesTheTextAsFileName) {
    spool_in(dir.file("spool"));
    hcstate.DriverCanSpool = 0;
    draw_run("cp @ out.plt");
    igrhardcopy("S");
    EXPECT_TRUE(fs::exists("cp @ out.plt"));
    EXPECT_FALSE(fs::exists(out()));
    EXPECT_TRUE(txt_blank(hcstate.PrintCommand));
}

}  // namespace
