// Library start-up: settings file, home directory, once flag, version and
// the orderly stop of the program.
#include <gtest/gtest.h>

#include <vector>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/window/errors.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "lib/window/startup.h"
#include "lib/window/text.h"
#include "platform/os_msgbox.h"
#include "tests/support/quinda_test.h"

namespace {

std::vector<int> exits;
std::vector<OsMessageBoxRequest> boxes;

void exit_double(int code) { exits.push_back(code); }

class StartupTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        exits.clear();
        boxes.clear();
        process_exit_hook = exit_double;
        os_message_box_set_responder([](const OsMessageBoxRequest& r) {
            boxes.push_back(r);
            return OS_IDOK;
        });
    }
    void TearDown() override { os_message_box_set_responder({}); }

    // A fresh process's start-up state, as every case begins.
    void fresh() {
        reset_window_state();
        quinda.LFNGEN = 0;
        quinda.LFNPLOT = 0;
        reset_startup();
        reset_hardcopy_state();
        exits.clear();
        boxes.clear();
    }

    ScopedEnv quinda_{"QUINDA", std::nullopt};
    ScopedEnv varn_{"VARN", std::nullopt};
    ScopedEnv init_{"QUININIT", std::nullopt};
    ScopedEnv debug_{"QUINDEBUG", std::nullopt};
};

}  // namespace

TEST_F(StartupTest, SettingsFileLines) {
    struct Case {
        const char* what;
        std::string file;
        int report_mode;
        int lfngen, lfnplot;
        int printer, plotter;
        std::string chardir;   // trimmed; empty: the default
        bool version;
    };
    const std::vector<Case> cases = {
        {"lower case key, blanks around =", "debug = 4\n", 4, 40, 42, 0, 0, "", false},
        {"tabs count as blanks", "\tDEBUG\t=\t2\n", 2, 40, 42, 0, 0, "", false},
        {"CR LF line ends", "DEBUG=3\r\nPRINTER=5\r\n", 3, 40, 42, 5, 0, "", false},
        {"DEBUG outside 0..4 ignored", "DEBUG=7\n", 0, 40, 42, 0, 0, "", false},
        {"two-character key ignored", "DE=4\n", 0, 40, 42, 0, 0, "", false},
        {"no = or = first ignored", "DEBUG 4\n=4\n", 0, 40, 42, 0, 0, "", false},
        {"nine characters compare on eight", "IPLOTTERX=3\n", 0, 40, 42, 0, 3, "", false},
        {"PRINTERS is no key", "PRINTERS=5\n", 0, 40, 42, 0, 0, "", false},
        {"LFNGEN equal to LFNPLOT refused", "LFNGEN=42\n", 0, 40, 42, 0, 0, "", false},
        {"LFNPLOT moved first", "LFNPLOT=43\nLFNGEN=42\n", 0, 42, 43, 0, 0, "", false},
        {"LFNPLOT equal to LFNGEN refused", "LFNPLOT=40\n", 0, 40, 42, 0, 0, "", false},
        {"later line wins", "PRINTER=1\nPRINTER=2\n", 0, 40, 42, 2, 0, "", false},
        {"value that does not convert", "PRINTER=abc\nDEBUG=\n", 0, 40, 42, 0, 0, "", false},
        {"CHARDIR gets its separator", "CHARDIR=  /fonts\n", 0, 40, 42, 0, 0, "/fonts/", false},
        {"text values after DEBUG=4 raise no box", "DEBUG=4\nCHARDIR=/f/\n", 4, 40, 42, 0, 0, "/f/", false},
        {"VER= with an empty value", "VER=\n", 0, 40, 42, 0, 0, "", true},
        {"any key beginning VER", "VERSION=1\n", 0, 40, 42, 0, 0, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir(true);
        fresh();
        write_file("quinda.ini", c.file);
        winitialise(" ");
        EXPECT_EQ(infoerror(4), c.report_mode);
        EXPECT_EQ(infoerror(1), 0) << "a settings line left a last error";
        EXPECT_EQ(quinda.LFNGEN, c.lfngen);
        EXPECT_EQ(quinda.LFNPLOT, c.lfnplot);
        // The keys reach the models: an unknown printer is model 28, an
        // unknown plotter model 1; the HP-GL/2 device follows the printer
        // and images print on the Windows printer.
        const int printer = c.printer >= 2 && c.printer <= 38 && c.printer != 27 ? c.printer : 28;
        EXPECT_EQ(hcstate.models.printer_model, printer);
        EXPECT_EQ(hcstate.models.plotter_model, c.plotter >= 1 && c.plotter <= 10 ? c.plotter : 1);
        EXPECT_EQ(hcstate.models.hpgl2_device, 1);
        EXPECT_EQ(hcstate.models.hpgl2_chosen, 0);
        EXPECT_EQ(hcstate.ImagePrintOptions.ImagePrintDriver, DriverWindowsPrinter);
        const std::string chardir = c.chardir.empty() ? "/quin/charsets/" : c.chardir;
        EXPECT_EQ(txt_c(quinda.CHARDIR), chardir);
        if (c.version) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, "Abnormal exit (code 0) : Quindarolex version 6.10");
            EXPECT_EQ(boxes[0].caption, "Quindarolex");
            EXPECT_EQ(exits, std::vector<int>{0});
        } else {
            EXPECT_TRUE(boxes.empty());
            EXPECT_TRUE(exits.empty());
        }
    }
}

TEST_F(StartupTest, SettingsFileSearchOrder) {
    TempDir dir(true);
    TempDir home;
    TempDir other;
    write_file(home.file("quinda.ini"), "PRINTER=1\n");
    write_file(other.file("named.ini"), "PRINTER=2\n");
    write_file(other.file("given.ini"), "PRINTER=4\n");
    ScopedEnv q("QUINDA", home.path().string());

    fresh();   // only the home directory's file
    winitialise();
    EXPECT_EQ(startup_state.PRINTER, 1);

    fresh();   // the current directory's before the home directory's
    write_file("quinda.ini", "PRINTER=3\n");
    winitialise();
    EXPECT_EQ(startup_state.PRINTER, 3);

    fresh();   // QUININIT before both
    ScopedEnv init("QUININIT", other.file("named.ini"));
    winitialise();
    EXPECT_EQ(startup_state.PRINTER, 2);

    fresh();   // the argument before everything; a missing one falls back
    winitialise(other.file("given.ini") + "   ");
    EXPECT_EQ(startup_state.PRINTER, 4);
    fresh();
    winitialise(other.file("missing.ini"));
    EXPECT_EQ(startup_state.PRINTER, 2);
}

TEST_F(StartupTest, HomeDirectoryRules) {
    struct Case {
        std::optional<std::string> quinda, varn;
        std::string home;
    };
    const std::vector<Case> cases = {
        {"/opt/q", std::nullopt, "/opt/q/"},
        {"/opt/q/", "/tools/varn/bin", "/opt/q/"},
        {std::nullopt, "/tools/varn/bin", "/tools/"},
        {std::nullopt, "/Tools/VaRn/varn2", "/Tools/VaRn/"},
        {std::nullopt, "/other/place", "/other/place"},
        {std::nullopt, std::nullopt, "/quin/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.home);
        ScopedEnv q("QUINDA", c.quinda);
        ScopedEnv v("VARN", c.varn);
        fresh();
        winitialise();
        EXPECT_EQ(txt_c(quinda.LibraryHomeDirectory), c.home);
        EXPECT_EQ(txt_c(quinda.CHARDIR), c.home + "charsets/");
        EXPECT_EQ(quinda.LFNGEN, 40);
    }
}

TEST_F(StartupTest, DefaultsAndEnvironment) {
    TempDir dir(true);
    fresh();
    ScopedEnv d("QUINDEBUG", "3");
    std::int32_t bell = -1;
    static std::int32_t* bell_seen = nullptr;
    bell_seen = &bell;
    startup_links.set_bell = [](std::int32_t on) { *bell_seen = on; };
    startup_links.display_info = [](std::int32_t& w, std::int32_t& h, std::int32_t& c, std::int32_t& p) {
        w = 800, h = 600, c = 256, p = 256;
    };
    quinda.last_error = 12;
    winitialise();
    EXPECT_EQ(quinda.once_flag, OnceFlagDone);
    EXPECT_EQ(infoerror(4), 3);
    EXPECT_EQ(quinda.last_error, 0);
    EXPECT_EQ(quinda.screen_width, 800);
    EXPECT_EQ(quinda.default_palette_size, 256);
    EXPECT_EQ(bell, 1);
    EXPECT_EQ(quinda.separator, '/');
    EXPECT_EQ(txt_c(quinda.CHARSET), "standard.chr");
    EXPECT_EQ(txt_c(quinda.system_directory), "/usr/bin");
    EXPECT_FLOAT_EQ(gstate.aspect_ratio, 1.32f);
    EXPECT_TRUE(quinda.EDITBUF.allocated());
    EXPECT_EQ(quinda.undefined.integer, -999);
    EXPECT_TRUE(os_services.command_line_made);

    fresh();
    ScopedEnv d9("QUINDEBUG", "9");
    winitialise();
    EXPECT_EQ(infoerror(4), 0);
}

// The report mode comes from the first character of QUINDEBUG, whatever
// follows it.
TEST_F(StartupTest, DebugVariableGivesItsFirstCharacter) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"3", 3}, {"0", 0}, {"9", 0}, {"2 ", 2}, {"12", 1}, {"4 # report in a box", 4}, {" 3", 0}, {"", 0},
    };
    for (const auto& [value, mode] : cases) {
        SCOPED_TRACE("QUINDEBUG=" + value);
        TempDir dir(true);
        fresh();
        ScopedEnv d("QUINDEBUG", value);
        winitialise();
        EXPECT_EQ(infoerror(4), mode);
        EXPECT_EQ(infoerror(1), 0);
    }
}

TEST_F(StartupTest, SecondCallChangesNothing) {
    TempDir dir(true);
    fresh();
    write_file("quinda.ini", "DEBUG=2\nLFNPLOT=50\n");
    write_file("other.ini", "DEBUG=1\nLFNPLOT=60\nVER=1\n");
    winitialise();
    quinda.LFNGEN = 77;
    idebuglevel(3);
    quinda.window_text.tag = 'x';
    winitialise();
    winitialise("other.ini");
    EXPECT_EQ(quinda.LFNGEN, 77);
    EXPECT_EQ(quinda.LFNPLOT, 50);
    EXPECT_EQ(infoerror(4), 3);
    EXPECT_EQ(quinda.window_text.tag, 'x');
    EXPECT_TRUE(exits.empty());
}

TEST_F(StartupTest, ExitProgramMessageAndCode) {
    iosexitprogram("  ", 5);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(exits, std::vector<int>{5});

    const std::vector<std::pair<int, std::string>> cases = {
        {3, "Abnormal exit (code 3) : maximum 17 aquifers"},
        {24, "Abnormal exit (code 24) : maximum 17 aquifers"},
        {-12, "Abnormal exit (code -12) : maximum 17 aquifers"},
        {12345, "Abnormal exit (code ****) : maximum 17 aquifers"},
    };
    for (const auto& [code, text] : cases) {
        boxes.clear();
        exits.clear();
        iosexitprogram("maximum 17 aquifers   ", code);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].caption, "Quindarolex");
        EXPECT_EQ(boxes[0].style, OS_MB_OK | OS_MB_ICONSTOP | OS_MB_TASKMODAL);
        EXPECT_EQ(exits, std::vector<int>{code});
    }
}

TEST_F(StartupTest, VersionTextAndEntry) {
    std::string v(6, '*');
    winfoversion(v);
    EXPECT_EQ(v, "6.10  ");
    std::string short_v(2, '*');
    winfoversion(short_v);
    EXPECT_EQ(short_v, "6.");

    static int ran = 0;
    ran = 0;
    EXPECT_EQ(WinMain([] { ++ran; }), 1);
    EXPECT_EQ(ran, 1);
}

TEST_F(StartupTest, ReporterCancelEndsThroughExitProgram) {
    os_message_box_set_responder([](const OsMessageBoxRequest& r) {
        boxes.push_back(r);
        return OS_IDCANCEL;
    });
    idebuglevel(4);
    yyerror(44, "IGrArea");
    EXPECT_EQ(exits, std::vector<int>{0});
    ASSERT_EQ(boxes.size(), 1u);   // the report; a blank exit message shows nothing
}

TEST_F(StartupTest, StopBoxNobodyCanSeeGoesToStandardError) {
    os_message_box_set_responder({});   // offscreen: the box cannot be shown
    testing::internal::CaptureStderr();
    iosexitprogram("maximum nodes 45000", 22);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Abnormal exit (code 22) : maximum nodes 45000\n");
    EXPECT_EQ(exits, std::vector<int>{22});
}
