// The batch conversion, run as a user runs it: the program with a settings
// file as its argument, in a copy of the sample directory.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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
