// The batch conversion, run as a user runs it: the program with a settings
// file as its argument, in a copy of the sample directory.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
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

// Names as the settings file spells them (UTF-8, after a byte-order mark),
// also on the command line: the model read and the grid written are those
// files, and the settings written name them so again.
TEST_F(BatchTest, NamesAreTheFilesTheSettingsFileSpells) {
    std::filesystem::copy_file("demo.fem", "d\xc3\xa9mo.fem");
    const std::string grid = "gr\xc3\xaf" "d\xe2\x82\xac\xc3\xbc.grd";
    write_file("r\xc3\xbcn.ini", "\xef\xbb\xbf" "d\xc3\xa9mo.fem\n0 0\n154991 462991 157010 464510\n20 20\n0\n9\n" +
                                     grid + "\n");
    std::string err;
    ASSERT_EQ(run("r\xc3\xbcn.ini", err), 0) << err;
    EXPECT_EQ(read_file(grid).substr(0, 6), "DSAA\r\n");
    const auto ini = crlf_lines(read_file("zeltramo.ini"));
    ASSERT_GE(ini.size(), 7u);
    EXPECT_EQ(ini[0], "d\xc3\xa9mo.fem");
    EXPECT_EQ(ini[5], "    9");   // the last quantity of a model of 3 aquifers
    EXPECT_EQ(ini[6], grid);
    for (const auto& e : std::filesystem::directory_iterator("."))
        EXPECT_EQ(e.path().filename().string().find("\xc3\x83"), std::string::npos) << e.path();
    // A name the program cannot hold on the command line is refused, not looked for as another.
    EXPECT_EQ(run("r\xe4\xb8\xad.ini", err), 2);
    EXPECT_NE(err.find("U+4E2D"), std::string::npos) << err;
}

// ---- bad batch input ----
//
// Each case is a run that must fail: its exit code, its message naming the
// file (and the line) at fault with the message's own text, and every file
// that was there before the run byte for byte as it was, with nothing added.

namespace {

// What lies in the run's directory: per name, its kind and its bytes (for
// a file of many megabytes, which the program only reads, its size, inode
// and time of change, which any write or replacement changes).
std::map<std::string, std::string> snapshot() {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(".")) {
        const std::string name = e.path().filename().string();
        const auto st = e.symlink_status();
        struct stat s {};
        if (std::filesystem::is_symlink(st)) files[name] = "link to " + std::filesystem::read_symlink(e.path()).string();
        else if (::lstat(name.c_str(), &s) == 0 && S_ISREG(s.st_mode) && s.st_size > (8 << 20))
            files[name] = "file of " + std::to_string(s.st_size) + " bytes, inode " + std::to_string(s.st_ino) +
                          ", changed " + std::to_string(s.st_ctim.tv_sec) + "." + std::to_string(s.st_ctim.tv_nsec);
        else if (std::filesystem::is_regular_file(st)) files[name] = read_file(name);
        else if (std::filesystem::is_directory(st)) files[name] = "directory";
        else files[name] = "other";
    }
    return files;
}

// The first n lines of a file.
std::string first_lines(const std::string& name, int n) {
    const std::string t = read_file(name);
    std::size_t at = 0;
    for (int k = 0; k < n && at != std::string::npos; ++k) {
        at = t.find('\n', at);
        if (at != std::string::npos) ++at;
    }
    return t.substr(0, at);
}

// The file with line n (1-based) replaced.
std::string with_line(const std::string& name, int n, const std::string& line) {
    const std::string t = read_file(name);
    const std::string head = first_lines(name, n - 1);
    const std::size_t end = t.find('\n', head.size());
    return head + line + (end == std::string::npos ? "" : t.substr(end));
}

// Runs the program with the argument here, each file it writes held to
// limit bytes (0: no limit); its exit code, and its standard error in err.
int run_limited(const std::string& arg, std::string& err, long limit) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open("/dev/null", O_WRONLY);
        const int errfd = ::open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || errfd < 0 || ::dup2(out, 1) < 0 || ::dup2(errfd, 2) < 0) ::_exit(127);
        if (limit > 0) {
            // A write past the limit fails (as on a full disk) instead of
            // ending the process.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit r{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
            ::setrlimit(RLIMIT_FSIZE, &r);
        }
        ::execl(ZELTRAMO_PROGRAM, ZELTRAMO_PROGRAM, arg.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int st = 0;
    ::waitpid(pid, &st, 0);
    err = read_file("stderr.txt");
    std::filesystem::remove("stderr.txt");
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

const std::string Model = "demo.fem\n";
const std::string Surfer = "0 0\n154991 462991 157010 464510\n50 50\n";
const std::string Rest = "0\n3\nsurfer.grd\n";
const std::string Modflow = "demo.fem\n2 0\ndemo.delr\ndemo.delc\n154991 462991\n0\n3\nmf.dat\n";

// A conversion of the model file made by setup.
std::string model_ini(const std::string& model) { return model + "\n" + Surfer + Rest; }
// A MODFLOW conversion with the DELR file made by setup.
std::string delr_ini(const std::string& delr) {
    return "demo.fem\n2 0\n" + delr + "\ndemo.delc\n154991 462991\n0\n3\nmf.dat\n";
}

struct BadBatch {
    std::string name;
    std::string ini;                       // run.ini
    int code;                              // exit code
    std::string where;                     // the file and line the message names
    std::string what;                      // the message's text
    std::function<void()> setup = {};      // files the case needs, made before the run
    long file_limit = 0;                   // bytes each file written may take
    std::string arg = "run.ini";
};

// Cases print as their names.
void PrintTo(const BadBatch& c, std::ostream* os) { *os << c.name; }

std::vector<BadBatch> bad_batches() {
    std::vector<BadBatch> v;
    const auto model_cut = [](int lines) { return [lines] { write_file("cut.fem", first_lines("demo.fem", lines)); }; };
    const auto model_line = [](int n, std::string line) {
        return [n, line] { write_file("bad.fem", with_line("demo.fem", n, line)); };
    };
    // The settings file ending at every line before the grid name.
    const char* expected[] = {"model file name",     "grid type and leakance switch", "gx0, gy0, gx1, gy1",
                              "nx, ny",              "rotation",                      "grid option",
                              "grid file name"};
    const std::string whole = Model + Surfer + Rest;
    for (int k = 0; k <= 6; ++k) {
        std::size_t at = 0;
        for (int i = 0; i < k; ++i) at = whole.find('\n', at) + 1;
        v.push_back({"settings_ending_after_line_" + std::to_string(k), whole.substr(0, at), 2,
                     k == 0 ? "run.ini:" : "run.ini, line " + std::to_string(k), std::string(expected[k]) + " expected"});
    }
    v.push_back({"arc_info_settings_without_cell_size", "demo.fem\n1 0\n154991 462991 50 50\n", 2, "run.ini, line 3",
                 "cell size expected"});
    v.push_back({"modflow_settings_without_delc", "demo.fem\n2 0\ndemo.delr\n", 2, "run.ini, line 3",
                 "DELC file name expected"});
    v.push_back({"grid_type_3", Model + "3 0\n", 2, "run.ini, line 2", "grid type 3 is not 0, 1 or 2"});
    v.push_back({"leakance_switch_2", Model + "0 2\n", 2, "run.ini, line 2", "leakance switch 2 is not 0 or 1"});
    v.push_back({"row_order_3", "demo.fem\n2 0\ndemo.delr\ndemo.delc\n154991 462991 3\n0\n3\nmf.dat\n", 2,
                 "run.ini, line 5", "row order 3 is not 1 or 2"});
    v.push_back({"option_52", Model + Surfer + "0\n52\nsurfer.grd\n", 2, "run.ini, line 6", "grid option 52 outside"});
    v.push_back({"option_20_of_3_aquifers", Model + Surfer + "0\n20\nsurfer.grd\n", 2, "run.ini, line 6",
                 "grid option 20 is beyond the 3 aquifers of model demo.fem (options 0..9)"});
    v.push_back({"option_10_of_3_aquifers", Model + Surfer + "0\n10\nsurfer.grd\n", 2, "run.ini, line 6",
                 "grid option 10 is beyond"});
    v.push_back({"nan_corner", Model + "0 0\nnan 462991 157010 464510\n50 50\n" + Rest, 2, "run.ini, line 3",
                 "field 1 not a number"});
    v.push_back({"nan_option", Model + Surfer + "0\nnan\nsurfer.grd\n", 2, "run.ini, line 6", "field 1 not a number"});
    v.push_back({"corners_without_extent", Model + "0 0\n5 5 5 5\n50 50\n" + Rest, 2, "run.ini, line 4",
                 "the grid has no extent"});
    v.push_back({"model_name_of_81_characters", std::string(81, 'm') + "\n" + Surfer + Rest, 2, "run.ini, line 1",
                 "name longer than 80 characters"});
    v.push_back({"settings_file_of_100_kib", "", 2, "cannot read file run.ini", "larger than 65536 bytes",
                 [] {
                     write_file("run.ini", Model + Surfer + Rest);
                     std::filesystem::resize_file("run.ini", 100 << 10);
                 }});
    v.push_back({"settings_file_a_directory", "", 2, "cannot read file dir.ini", "Is a directory",
                 [] { std::filesystem::create_directory("dir.ini"); }, 0, "dir.ini"});
    v.push_back({"settings_file_missing", "", 2, "cannot read file none.ini", "No such file or directory", {}, 0,
                 "none.ini"});

    // Grid names that are files of the run.
    v.push_back({"grid_named_as_the_settings_file", Model + Surfer + "0\n3\nzeltramo.ini\n", 2, "run.ini, line 7",
                 "is the settings file"});
    v.push_back({"grid_named_as_the_batch_file", Model + Surfer + "0\n3\nrun.ini\n", 2, "run.ini, line 7",
                 "run.ini is the settings file run.ini"});
    v.push_back({"grid_named_as_the_model", Model + Surfer + "0\n3\nsub/../demo.fem\n", 2, "run.ini, line 7",
                 "sub/../demo.fem is the model file demo.fem", [] { std::filesystem::create_directory("sub"); }});
    v.push_back({"grid_named_as_the_delr_file", "demo.fem\n2 0\ndemo.delr\ndemo.delc\n154991 462991\n0\n3\n./demo.delr\n",
                 2, "run.ini, line 8", "is the DELR file demo.delr"});
    v.push_back({"grid_a_hard_link_of_the_model", Model + Surfer + "0\n3\nhard.grd\n", 2, "run.ini, line 7",
                 "hard.grd is the model file demo.fem",
                 [] { std::filesystem::create_hard_link("demo.fem", "hard.grd"); }});
    v.push_back({"grid_a_link_to_the_settings_file_not_there_yet", Model + Surfer + "0\n3\nlink.grd\n", 2,
                 "run.ini, line 7", "link.grd is the settings file",
                 [] {
                     std::filesystem::remove("zeltramo.ini");
                     std::filesystem::create_symlink("zeltramo.ini", "link.grd");
                 }});
    v.push_back({"grid_name_outside_the_programs_characters", Model + Surfer + "0\n3\ngr\xe4\xb8\xad.grd\n", 2,
                 "run.ini, line 7", "U+4E2D, a character the program's file names cannot hold"});
    v.push_back({"grid_name_not_utf8", Model + Surfer + "0\n3\ngr\xfc.grd\n", 2, "run.ini, line 7",
                 "it is not UTF-8 text"});
    v.push_back({"model_name_not_utf8", "d\xe9mo.fem\n" + Surfer + Rest, 2, "run.ini, line 1", "it is not UTF-8 text"});

    // The model file ending in every section.
    const struct {
        int lines;
        const char* what;
    } cuts[] = {{3, "title line"},      {15, "the counts nnode, nelem, naq, nwell"}, {16, "xmax, xmin"},
                {17, "ymax, ymin"},     {18, "two integers"},    {19, "node 1: code, x, y"},
                {20, "node 1: resistances and transmissivities"}, {21, "node 1: neighbour list"},
                {1000, "node 328: code, x, y"}, {1027, "well 1"}, {1029, "well 3"}};
    for (const auto& c : cuts)
        v.push_back({"model_ending_after_line_" + std::to_string(c.lines), model_ini("cut.fem"), 2,
                     "unexpected end of file cut.fem, line " + std::to_string(c.lines), c.what, model_cut(c.lines)});
    v.push_back({"model_ending_within_the_counts", model_ini("cut.fem"), 2, "unexpected end of file cut.fem, line 16",
                 "the counts", [] { write_file("cut.fem", first_lines("demo.fem", 15) + "336 600"); }});
    v.push_back({"ring_entry_beyond_the_nodes", model_ini("bad.fem"), 2, "bad.fem, line 22",
                 "node 1: neighbour 9999 (entry 3) outside 1..336", model_line(22, " 4 1 2 9999 22")});
    v.push_back({"ring_entry_0", model_ini("bad.fem"), 2, "bad.fem, line 22", "neighbour 0 (entry 4) outside 1..336",
                 model_line(22, " 4 1 2 23 0")});
    v.push_back({"negative_neighbour_count", model_ini("bad.fem"), 2, "bad.fem, line 22",
                 "negative number of neighbours -1", model_line(22, " -1 1 2 23 22")});
    v.push_back({"26_neighbours", model_ini("bad.fem"), 2, "bad.fem, line 22", "too many neighbours nodes max 25",
                 model_line(22, " 26 1 2 23 22")});
    v.push_back({"nan_node_coordinate", model_ini("bad.fem"), 2, "bad.fem, line 20", "node 1: code, x, y",
                 model_line(20, " 1 nan 463004 387.49426 1 1549.977 2 934.9808 3 1477.4945")});
    v.push_back({"18_aquifers", model_ini("bad.fem"), 21, "bad.fem, line 16", "maximum 17 aquifers",
                 model_line(16, "336 600 18 3")});
    v.push_back({"45001_nodes", model_ini("bad.fem"), 22, "bad.fem, line 16", "maximum nodes 45000",
                 model_line(16, "45001 600 3 3")});
    v.push_back({"765001_wells", model_ini("bad.fem"), 20, "bad.fem, line 16", "maximum 765000 wells",
                 model_line(16, "336 600 3 765001")});
    v.push_back({"90001_elements", model_ini("bad.fem"), 23, "bad.fem, line 16", "maximum elements 90000",
                 model_line(16, "336 90001 3 3")});
    v.push_back({"1001_label_lines", model_ini("bad.fem"), 2, "bad.fem, line 2031", "more than 1000 label lines",
                 [] {
                     std::string t = read_file("demo.fem");
                     for (int k = 0; k < 999; ++k) t += "label\n";
                     write_file("bad.fem", t);
                 }});
    v.push_back({"model_larger_than_a_model_can_be", model_ini("huge.fem"), 2, "cannot read file huge.fem",
                 "larger than a model file can be",
                 [] {
                     write_file("huge.fem", read_file("demo.fem"));
                     std::filesystem::resize_file("huge.fem", (256 << 20) + 1);
                 }});
    v.push_back({"model_a_directory", model_ini("dir.fem"), 2, "cannot read file dir.fem", "not a regular file",
                 [] { std::filesystem::create_directory("dir.fem"); }});

    // DELR files.
    v.push_back({"501_widths", delr_ini("many.delr"), 24, "many.delr, line 501", "max ncol/nrow 500",
                 [] {
                     std::string t;
                     for (int k = 0; k < 501; ++k) t += "10\n";
                     write_file("many.delr", t);
                 }});
    v.push_back({"nan_width", delr_ini("bad.delr"), 2, "bad.delr, line 1", "field 2 is not a number",
                 [] { write_file("bad.delr", "10 nan 10\n"); }});
    v.push_back({"negative_width", delr_ini("bad.delr"), 2, "bad.delr, line 2", "widths must be positive",
                 [] { write_file("bad.delr", "10\n10 -5\n"); }});
    v.push_back({"widths_of_nothing", delr_ini("zero.delr"), 2, "run.ini, line 5", "the grid has no extent",
                 [] { write_file("zero.delr", "0 0 0\n"); }});
    v.push_back({"delr_without_widths", delr_ini("empty.delr"), 2, "empty.delr", "holds no widths",
                 [] { write_file("empty.delr", "\n\n"); }});
    v.push_back({"delr_line_of_45001_characters", delr_ini("long.delr"), 2, "long.delr, line 1",
                 "longer than 45000 characters", [] { write_file("long.delr", std::string(45001, ' ') + "5\n"); }});
    v.push_back({"delr_file_of_2_mib", delr_ini("big.delr"), 2, "cannot read file big.delr",
                 "larger than 1048576 bytes",
                 [] {
                     write_file("big.delr", "10 10\n");
                     std::filesystem::resize_file("big.delr", 2 << 20);
                 }});
    v.push_back({"delr_missing", delr_ini("gone.delr"), 2, "cannot read file gone.delr", "No such file or directory"});

    // Files that cannot be written: the grid and the settings stay as they were.
    v.push_back({"settings_file_a_directory_after_the_grid", Model + Surfer + Rest, 2, "/zeltramo.ini",
                 "Is a directory", [] {
                     std::filesystem::remove("zeltramo.ini");
                     std::filesystem::create_directory("zeltramo.ini");
                 }});
    // The grid (under 200 bytes) fits; the settings file naming it (over 300) does not, as on a disk that fills.
    v.push_back({"disk_full_after_the_grid",
                 Model + "0 0\n155500 463500 156000 464000\n2 2\n0\n3\n" + std::string(60, 'g') + ".grd\n", 2,
                 "cannot write file", "zeltramo.ini: File too large",
                 [] { write_file(std::string(60, 'g') + ".grd", "old grid\n"); }, 260});
    v.push_back({"grid_in_a_missing_directory", Model + Surfer + "0\n3\nno/such.grd\n", 2, "cannot create file no/such.grd",
                 "No such file or directory"});
    v.push_back({"grid_a_directory", Model + Surfer + "0\n3\ngrids\n", 2, "cannot create file grids", "Is a directory",
                 [] { std::filesystem::create_directory("grids"); }});
    return v;
}

class BadBatchTest : public BatchTest, public ::testing::WithParamInterface<BadBatch> {};

}  // namespace

TEST_P(BadBatchTest, FailsSayingWhereAndLeavesEveryFileAsItWas) {
    const BadBatch& c = GetParam();
    // A grid of an earlier run, which no failing run may replace.
    write_file("surfer.grd", "old grid\n");
    if (c.arg == "run.ini") write_file("run.ini", c.ini);
    if (c.setup) c.setup();
    const auto before = snapshot();
    std::string err;
    EXPECT_EQ(run_limited(c.arg, err, c.file_limit), c.code) << err;
    EXPECT_NE(err.find(c.where), std::string::npos) << err;
    EXPECT_NE(err.find(c.what), std::string::npos) << err;
    // Byte for byte, and no file more (no temporary file left behind).
    EXPECT_EQ(snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadBatchTest, ::testing::ValuesIn(bad_batches()),
                         [](const ::testing::TestParamInfo<BadBatch>& i) { return i.param.name; });
