// The batch conversion, run as a user runs it: the program with a settings
// file as its argument, in a copy of the sample directory.
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/app/app_test.h"

namespace {

class BatchTest : public AppTest {
protected:
    TempDir dir{true};
    void SetUp() override {
        AppTest::SetUp();
        for (const auto& f : std::filesystem::directory_iterator(std::string(QUINDA_SOURCE_DIR) + "/samples"))
            std::filesystem::copy_file(f.path(), f.path().filename());
    }
    // Runs the program here with the argument; its exit code, and what it
    // wrote on standard error into err.
    static int run(const std::string& arg, std::string& err) {
        const std::string cmd = std::string("'") + ZELTRAMO_PROGRAM + "' '" + arg + "' 2>stderr.txt >/dev/null";
        const int st = std::system(cmd.c_str());
        err = read_file("stderr.txt");
        std::filesystem::remove("stderr.txt");
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
};

}  // namespace

TEST_F(BatchTest, SampleConversionWritesTheGridAndTheSettingsFile) {
    std::string err;
    ASSERT_EQ(run("zeltramo.ini", err), 0) << err;
    ASSERT_TRUE(std::filesystem::exists("surfer.grd"));
    EXPECT_EQ(read_file("surfer.grd").substr(0, 6), "DSAA\r\n");
    // The settings file is written again, by the program's own writer.
    const std::string ini = read_file("zeltramo.ini");
    EXPECT_EQ(ini.substr(0, 10), "demo.fem\r\n");
    EXPECT_NE(ini.find("surfer.grd\r\n"), std::string::npos);
    if (!have_program("gdalinfo")) GTEST_SKIP() << "gdalinfo not installed";
    const std::string info = run_command("gdalinfo surfer.grd");
    EXPECT_NE(info.find("Size is 50, 50"), std::string::npos) << info;
}

TEST_F(BatchTest, FailingConversionWritesNothingAndSaysWhy) {
    write_file("bad.fem", "one title line only\n");
    write_file("big.fem", [] {
        std::string t;
        for (int k = 0; k < 15; ++k) t += "t\n";
        return t + "1 0 18 0\n1 0\n1 0\n0 0\n";
    }());
    struct Case {
        const char* ini;
        int code;
        const char* message;
    } cases[] = {
        {"gone.fem\n0 0\n154991 462991 157010 464510\n50 50\n0\n3\nsurfer.grd\n", 2, "gone.fem not found"},
        {"bad.fem\n0 0\n154991 462991 157010 464510\n50 50\n0\n3\nsurfer.grd\n", 2, "bad.fem"},
        {"big.fem\n0 0\n154991 462991 157010 464510\n50 50\n0\n3\nsurfer.grd\n", 21, "maximum 17 aquifers"},
        {"demo.fem\n0 0\n154991 462991 157010 464510\n50 50\n0\n-1\nsurfer.grd\n", 2, "no quantity"},
        {"demo.fem\n0 0\n154991 462991 157010 464510\n50 50\n0\n3\nno-such-dir/surfer.grd\n", 2, "surfer.grd"},
        {"demo.fem\n0 0\n", 2, "unexpected end of file"},
    };
    const std::string before = read_file("zeltramo.ini");
    for (const Case& c : cases) {
        write_file("run.ini", c.ini);
        std::string err;
        EXPECT_EQ(run("run.ini", err), c.code) << c.ini;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_FALSE(std::filesystem::exists("surfer.grd")) << c.ini;
        EXPECT_EQ(read_file("zeltramo.ini"), before) << c.ini;
    }
    // A settings file that is not there.
    std::string err;
    EXPECT_EQ(run("none.ini", err), 2);
    EXPECT_NE(err.find("none.ini"), std::string::npos);
}

TEST_F(BatchTest, AnotherSettingsFileAndAnOversizedGrid) {
    // A grid larger than the program holds is made at the largest size it
    // holds, and the user is told so; the rewritten settings name the grid
    // file that was written.
    write_file("other.ini", "demo.fem\n0 0\n154991 462991 157010 464510\n2000 2000\n0\n3\nother.grd\n");
    std::string err;
    ASSERT_EQ(run("other.ini", err), 0) << err;
    EXPECT_NE(err.find("2000 x 2000 points is larger than the program holds"), std::string::npos) << err;
    EXPECT_NE(err.find("500 x 500"), std::string::npos) << err;
    ASSERT_TRUE(std::filesystem::exists("other.grd"));
    EXPECT_FALSE(std::filesystem::exists("surfer.grd"));
    const std::string ini = read_file("zeltramo.ini");
    EXPECT_NE(ini.find("other.grd\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("  500  500\r\n"), std::string::npos) << ini;
    // The settings left behind run the same conversion again, without a word.
    std::filesystem::remove("other.grd");
    ASSERT_EQ(run("zeltramo.ini", err), 0) << err;
    EXPECT_TRUE(err.find("larger") == std::string::npos) << err;
    EXPECT_TRUE(std::filesystem::exists("other.grd"));
}

// Grids that make no grid, or one without a value in the model: a message,
// a failing exit, no grid file and the settings file as it was.
TEST_F(BatchTest, GridsOutsideTheModelOrWithoutExtentWriteNothing) {
    write_file("zero.delr", "0 0 0 0\n");
    write_file("minus.delr", "10 -20 30\n");
    struct Case {
        const char* name;
        const char* ini;
        const char* grid;
        const char* message;
    } cases[] = {
        {"widths all 0", "demo.fem\n2 0\nzero.delr\ndemo.delc\n154991 462991\n0\n3\nmf.dat\n", "mf.dat", "no extent"},
        {"origin at the end of the numbers", "demo.fem\n2 0\ndemo.delr\ndemo.delc\n3.4e38 462991\n0\n3\nmf.dat\n",
         "mf.dat", "no extent"},
        {"negative widths", "demo.fem\n2 0\nminus.delr\ndemo.delc\n154991 462991\n0\n3\nmf.dat\n", "mf.dat",
         "widths must be positive"},
        {"MODFLOW grid beside the model", "demo.fem\n2 0\ndemo.delr\ndemo.delc\n0 0\n0\n3\nmf.dat\n", "mf.dat",
         "does not overlap the model"},
        {"Surfer grid beside the model", "demo.fem\n0 0\n0 0 1000 1000\n50 50\n0\n3\nout.grd\n", "out.grd",
         "does not overlap the model"},
        {"Arc-Info grid beside the model", "demo.fem\n1 0\n0 0 50 50\n10\n0\n3\nout.grd\n", "out.grd",
         "does not overlap the model"},
    };
    const std::string before = read_file("zeltramo.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_file("run.ini", c.ini);
        std::string err;
        EXPECT_EQ(run("run.ini", err), 2);
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_FALSE(std::filesystem::exists(c.grid));
        EXPECT_EQ(read_file("zeltramo.ini"), before);
    }
}

// The grid is saved as every file is: through a link to its target, with
// the target's mode, never in place of a device or a FIFO.
TEST_F(BatchTest, GridSavedThroughLinksKeepsModesAndSparesDevices) {
    const auto grid_ini = [](const std::string& name) {
        return "demo.fem\n0 0\n154991 462991 157010 464510\n20 20\n0\n3\n" + name + "\n";
    };
    std::string err;
    // A link to a grid elsewhere: the link stays, its target is rewritten.
    std::filesystem::create_directory("real");
    write_file("real/target.grd", "old");
    std::filesystem::create_symlink("real/target.grd", "link.grd");
    write_file("run.ini", grid_ini("link.grd"));
    ASSERT_EQ(run("run.ini", err), 0) << err;
    EXPECT_TRUE(std::filesystem::is_symlink("link.grd"));
    EXPECT_EQ(read_file("real/target.grd").substr(0, 6), "DSAA\r\n");
    // A link to a file not there yet makes that file.
    std::filesystem::create_symlink("real/new.grd", "dangling.grd");
    write_file("run.ini", grid_ini("dangling.grd"));
    ASSERT_EQ(run("run.ini", err), 0) << err;
    EXPECT_TRUE(std::filesystem::is_symlink("dangling.grd"));
    EXPECT_EQ(read_file("real/new.grd").substr(0, 6), "DSAA\r\n");

    // A file that only its owner's group may read keeps that mode; without
    // the right to write it (not root), it is not replaced at all.
    write_file("ro.grd", "old");
    std::filesystem::permissions("ro.grd", std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    write_file("run.ini", grid_ini("ro.grd"));
    const bool root = ::geteuid() == 0;
    EXPECT_EQ(run("run.ini", err), root ? 0 : 2) << err;
    EXPECT_EQ(std::filesystem::status("ro.grd").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    EXPECT_EQ(read_file("ro.grd").substr(0, 3), root ? "DSA" : "old");

    // A FIFO and device nodes like /dev/null and /dev/full are refused and
    // stay what they are (root makes nodes of its own, so that a fault
    // cannot replace the system's).
    ASSERT_EQ(::mkfifo("fifo.grd", 0644), 0);
    std::vector<std::string> specials{"fifo.grd"};
    if (root) {
        ASSERT_EQ(::mknod("null.grd", S_IFCHR | 0666, makedev(1, 3)), 0);
        ASSERT_EQ(::mknod("full.grd", S_IFCHR | 0666, makedev(1, 7)), 0);
        specials.push_back("null.grd");
        specials.push_back("full.grd");
    } else {
        // The system's own nodes, which another user cannot replace.
        specials.push_back("/dev/null");
        specials.push_back("/dev/full");
    }
    const std::string before = read_file("zeltramo.ini");
    for (const std::string& s : specials) {
        SCOPED_TRACE(s);
        write_file("run.ini", grid_ini(s));
        EXPECT_EQ(run("run.ini", err), 2);
        EXPECT_NE(err.find(s), std::string::npos) << err;
        struct stat st {};
        ASSERT_EQ(::lstat(s.c_str(), &st), 0);
        EXPECT_FALSE(S_ISREG(st.st_mode));
        EXPECT_EQ(read_file("zeltramo.ini"), before);
    }
    for (const auto& e : std::filesystem::directory_iterator("."))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

// Two batch runs in one directory: the grid and the settings file left
// behind come from the same run.
TEST_F(BatchTest, TwoRunsInOneDirectoryLeaveOneRunsGridAndSettings) {
    write_file("a.ini", "demo.fem\n0 0\n154991 462991 157010 464510\n31 31\n0\n3\nout.grd\n");
    write_file("b.ini", "demo.fem\n0 0\n154991 462991 157010 464510\n47 47\n0\n3\nout.grd\n");
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        const std::string cmd = std::string("'") + ZELTRAMO_PROGRAM + "' a.ini 2>/dev/null >/dev/null & '" +
                                ZELTRAMO_PROGRAM + "' b.ini 2>/dev/null >/dev/null & wait";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        const auto grid = crlf_lines(read_file("out.grd"));
        const auto ini = crlf_lines(read_file("zeltramo.ini"));
        ASSERT_GT(grid.size(), 2u);
        ASSERT_GT(ini.size(), 3u);
        const std::string n = grid[1].find("31") != std::string::npos ? "31" : "47";
        EXPECT_EQ(ini[3], "   " + n + "   " + n) << grid[1];
    }
}
