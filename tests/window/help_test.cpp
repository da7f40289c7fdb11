// Help viewers, with a recording program as the desktop's viewer of every
// help file type.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "lib/window/errors.h"
#include "lib/window/help.h"
#include "lib/window/osservices.h"
#include "tests/support/quinda_test.h"

namespace fs = std::filesystem;

namespace {

class HelpTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        fs::create_directories(dir.path() / "config");
        fs::create_directories(dir.path() / "data/applications");
        fs::create_directories(dir.path() / "bin");
        fs::create_directories(dir.path() / "tmp");
        write_file(dir.file("bin/recorder"), "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$HELP_RECORD.part\"\n"
                                             "mv \"$HELP_RECORD.part\" \"$HELP_RECORD\"\n");
        fs::permissions(dir.path() / "bin/recorder", fs::perms::owner_all);
        write_file(dir.file("data/applications/recorder.desktop"),
                   "[Desktop Entry]\nName=Recorder\nExec=recorder %u\n");
        associate(true);
        infoerror(1);
    }
    // The recorder opens every type, or nothing opens anything.
    void associate(bool on) {
        std::string list = "[Default Applications]\n";
        if (on)
            for (const char* t : {"text/plain", "text/html", "application/pdf", "application/octet-stream",
                                  "application/vnd.ms-htmlhelp", "application/winhlp", "application/x-winhelp"})
                list += std::string(t) + "=recorder.desktop;\n";
        write_file(dir.file("config/mimeapps.list"), list);
    }
    // The arguments the viewer got; empty when it was not started.
    std::vector<std::string> recorded() {
        for (int i = 0; i < 500 && !fs::exists(record); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::vector<std::string> out;
        if (!fs::exists(record)) return out;
        const std::string bytes = read_file(record);
        std::size_t start = 0;
        for (std::size_t k = bytes.find('\0'); k != std::string::npos; k = bytes.find('\0', start)) {
            out.push_back(bytes.substr(start, k - start));
            start = k + 1;
        }
        fs::remove(record);
        return out;
    }
    // Nothing is started: the record stays absent a while.
    bool nothing_started() {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return !fs::exists(record);
    }

    TempDir dir{true};
    std::string record = dir.file("record");
    ScopedEnv c{"XDG_CONFIG_HOME", dir.file("config")};
    ScopedEnv cd{"XDG_CONFIG_DIRS", dir.file("none")};
    ScopedEnv d{"XDG_DATA_HOME", dir.file("data")};
    ScopedEnv dd{"XDG_DATA_DIRS", dir.file("none")};
    ScopedEnv p{"PATH", dir.file("bin") + ":/usr/bin:/bin"};
    ScopedEnv r{"HELP_RECORD", dir.file("record")};
    ScopedEnv t{"TEMP", dir.file("tmp")};
};

}  // namespace

TEST_F(HelpTest, ViewerByTheFilesType) {
    for (const char* f : {"HELP.CHM", "guide.hlp", "other.hlp", "other.cnt", "page.htm", "doc.pdf", "notes.txt"})
        write_file(dir.file(f), "x");
    const std::string here = fs::current_path().string();
    struct Case {
        const char* name;
        std::int32_t topic;
        std::vector<std::string> args;   // what the viewer got; empty: not started
        int error;
        std::int32_t mode;               // of the WinHelp and HTML help viewers
    };
    const std::vector<Case> cases = {
        {"HELP.CHM", -1, {here + "/HELP.CHM"}, 0, HelpContents},
        {"  HELP.CHM", 7, {here + "/HELP.CHM"}, 0, HelpTopic},
        {"guide.hlp", -1, {here + "/guide.hlp"}, 0, HelpContentsOnly},   // no contents file
        {"other.hlp", -1, {here + "/other.hlp"}, 0, HelpContents},
        {"http://example.org/a b", 3, {"http://example.org/a b#3"}, 0, 0},   // not looked for
        {"HTTP://example.org/", 0, {"HTTP://example.org/"}, 0, 0},           // topic only from 1
        {"page.htm", 2, {"file://" + here + "/page.htm#2"}, 0, 0},
        {"file://page.htm", -1, {"file://" + here + "/page.htm"}, 0, 0},
        {"doc.pdf", 4, {here + "/doc.pdf"}, 0, 0},
        {"notes.txt", -1, {}, 1031, 0},
        {"missing.pdf", -1, {}, 1, 0},
        {"   ", -1, {}, 0, 0},                                              // closes help: nothing to close
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        help_state.last_mode = 0;
        WHelpFile(k.name, k.topic);
        EXPECT_EQ(infoerror(1), k.error);
        if (k.args.empty())
            EXPECT_TRUE(nothing_started());
        else
            EXPECT_EQ(recorded(), (std::vector<std::string>{k.args}));
        EXPECT_EQ(help_state.last_mode, k.mode);
    }
    // The redirect file of the web addresses is gone.
    EXPECT_TRUE(fs::is_empty(dir.path() / "tmp"));
}

TEST_F(HelpTest, NameWithQuotesBlanksAndCommandsIsOneArgument) {
    const std::string name = "it's a \"$(touch pwned)\" `touch pwned2`.htm";
    write_file(dir.file(name), "x");
    WHelpFile(name, 1);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(recorded(), (std::vector<std::string>{"file://" + dir.file(name) + "#1"}));
    EXPECT_FALSE(fs::exists("pwned"));
    EXPECT_FALSE(fs::exists("pwned2"));
    WHelpFile("http://example.org/$(touch pwned)", -1);
    EXPECT_EQ(recorded(), (std::vector<std::string>{"http://example.org/$(touch pwned)"}));
    EXPECT_FALSE(fs::exists("pwned"));
}

TEST_F(HelpTest, ProgramDirectoryIsTheSecondPlace) {
    std::string exe(512, ' ');
    iosargument(0, exe);
    const fs::path beside = fs::path(std::string(exe.substr(0, exe.find_last_not_of(' ') + 1))).parent_path();
    const std::string name = "help-fallback-" + std::to_string(::getpid()) + ".pdf";
    write_file((beside / name).string(), "x");
    WHelpFile(name);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(recorded(), (std::vector<std::string>{(beside / name).string()}));
    fs::remove(beside / name);
}

TEST_F(HelpTest, WithoutAViewerEachHelpSystemGivesItsStatus) {
    associate(false);
    for (const char* f : {"guide.hlp", "guide.chm", "guide.col", "page.htm", "doc.pdf"}) write_file(dir.file(f), "x");
    const std::pair<const char*, int> cases[] = {
        {"guide.hlp", 1030}, {"guide.chm", 1081}, {"guide.col", 1081}, {"page.htm", 1030}, {"doc.pdf", 1030},
    };
    for (auto [name, error] : cases) {
        WHelpFile(name);
        EXPECT_EQ(infoerror(1), error) << name;
    }
    EXPECT_TRUE(nothing_started());
}

TEST_F(HelpTest, RedirectFileIsNeverWrittenThroughALink) {
    write_file(dir.file("victim"), "keep");
    fs::create_symlink(dir.path() / "victim", dir.path() / "tmp/$$tmp$$.htm");
    WHelpFile("http://example.org/");
    EXPECT_EQ(infoerror(1), 1030);
    EXPECT_EQ(read_file(dir.file("victim")), "keep");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "tmp/$$tmp$$.htm"));
    EXPECT_TRUE(nothing_started());
    // A directory in its place is no redirect file either.
    fs::remove(dir.path() / "tmp/$$tmp$$.htm");
    fs::create_directory(dir.path() / "tmp/$$tmp$$.htm");
    WHelpFile("http://example.org/");
    EXPECT_EQ(infoerror(1), 1030);
    // A stale plain file is replaced and removed.
    fs::remove(dir.path() / "tmp/$$tmp$$.htm");
    write_file(dir.file("tmp/$$tmp$$.htm"), "old");
    WHelpFile("http://example.org/");
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(recorded(), (std::vector<std::string>{"http://example.org/"}));
    EXPECT_FALSE(fs::exists(dir.path() / "tmp/$$tmp$$.htm"));
}
