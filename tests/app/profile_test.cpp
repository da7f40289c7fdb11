// Profiles: the results file, the pen-plot file, points off the mesh, the
// commands with their dialog and settings file, the drag, the curves, the
// profile window's close request and the indexed search against the plain one.
#include "app/profile.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/apphooks.h"
#include "app/femread.h"
#include "app/intersect.h"
#include "app/mainprog.h"
#include "app/mainstate.h"
#include "app/records.h"
#include "lib/dialog/dialog.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/window/exitprog.h"
#include "lib/window/fetch.h"
#include "lib/window/quinda_state.h"
#include "lib/window/rootwin.h"
#include "lib/window/startup.h"
#include "lib/window/text.h"
#include "platform/os_msgbox.h"
#include "platform/os_window.h"
#include "tests/app/app_test.h"
#include "tests/app/dialog_script.h"
#include "tests/app/small_mesh.h"

namespace {

// A strip 0..100 by -10..10 of two triangles; plane 0 holds x - 5 (below
// -3.0 for x < 2), plane 1 holds 12.35, plane 2 one million.
void strip_model() {
    small_mesh({{-1, -10}, {100, -10}, {100, 10}, {-1, 10}}, {{1, 2, 3}, {1, 3, 4}});
    for (int n = 1; n <= 4; ++n) {
        dat7.value(n, 0) = dat4.xnode(n) - 5;
        dat7.value(n, 1) = 12.35f;
        dat7.value(n, 2) = 1.0e6f;
    }
}

void line(float x1, float y1, float x2, float y2) {
    dat30.px1 = x1;
    dat30.py1 = y1;
    dat30.px2 = x2;
    dat30.py2 = y2;
}

class ProfileTest : public AppDrawTest {
protected:
    TempDir dir{true};
    std::string home;
    void SetUp() override {
        AppDrawTest::SetUp();
        home = dir.path().string() + "/";
        dat19.home = txt_fixed(home, TextLength);
        dat19.lhome = static_cast<int>(home.size());
        strip_model();
    }
    static std::vector<std::string> file_lines(const std::string& name) { return crlf_lines(read_file(name)); }
};

}  // namespace

TEST_F(ProfileTest, HundredPointsAlongALine) {
    dat5.opton(1) = 'j';
    line(0, 0, 99, 0);
    std::string name(TextLength, ' ');
    ASSERT_TRUE(calcprof(100, name));
    EXPECT_EQ(txt_trim(name), home + "profile.res");
    const auto res = file_lines(home + "profile.res");
    ASSERT_EQ(res.size(), 101u);
    EXPECT_EQ(res[0], " 100");
    for (int i = 1; i <= 100; ++i) {
        const float x = static_cast<float>(i - 1);
        EXPECT_EQ(res[static_cast<std::size_t>(i)], edit_f(x, 12, 2) + edit_f(0, 12, 2) + edit_f(x, 12, 2) + "      12.35")
            << i;
    }
    EXPECT_EQ(dat30.plen, 99.0f);
    EXPECT_EQ(dat30.pmin, 12.35f);
    EXPECT_EQ(dat30.pmax, 12.35f);
    EXPECT_EQ(leakage.iopt, 52);
}

TEST_F(ProfileTest, ValuesTextAndMarks) {
    struct Case {
        const char* name;
        std::vector<int> active;
        std::string values;   // of the first point, (0, 0)
        std::size_t pen_lines;
    } cases[] = {
        {"fixed then exponent form", {1, 2}, "      12.35     0.1000E+07", 3},
        {"exponent forms follow each other", {2, 2}, "     0.1000E+07", 3},
        {"no active option", {}, "", 3},
        // x - 5 is -5.0 at the first point and -4.0 at the second: eight mark
        // lines each.
        {"values below -3", {0}, "     -5.000    ", 3 + 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dat5.opton.a.fill(' ');
        for (int k : c.active) dat5.opton(k) = 'j';
        line(0, 0, 99, 0);
        std::string name = txt_fixed("out.res", TextLength);
        ASSERT_TRUE(calcprof(100, name));
        const auto res = file_lines("out.res");
        ASSERT_EQ(res.size(), 101u);
        EXPECT_EQ(res[1], edit_f(0, 12, 2) + edit_f(0, 12, 2) + edit_f(0, 12, 2) + std::string(txt_trim(c.values)));
        const auto plt = file_lines(home + "profile.plt");
        ASSERT_EQ(plt.size(), c.pen_lines);
        EXPECT_EQ(plt[0], "sp    1");
        EXPECT_EQ(plt[1], "ma        0.00        0.00");
        EXPECT_EQ(plt[2], "pa       99.00        0.00");
        if (c.active.empty()) {
            EXPECT_EQ(dat30.pmin, 1.0E10f);
            EXPECT_EQ(dat30.pmax, -1.0E10f);
        }
        if (c.pen_lines > 3) {
            // The triangle that gave the value, closed, then the point as a dot.
            const std::vector<std::string> want{"sp    1", "ma       -1.00      -10.00", "pa      100.00       10.00",
                                                "pa       -1.00       10.00", "pa       -1.00      -10.00", "sp    3",
                                                "ma        0.00        0.00", "pa        0.00        0.00"};
            EXPECT_EQ(std::vector<std::string>(plt.begin() + 3, plt.begin() + 11), want);
        }
    }
}

TEST_F(ProfileTest, PointsOffTheMeshAreBlank) {
    dat5.opton(1) = 'j';
    // An earlier profile left values everywhere.
    for (int i = 1; i <= MaxProfilePoints; ++i) dat30.prof(i, 1) = 7.0f;
    line(-31, 0, 109, 0);
    std::string name = txt_fixed("out.res", TextLength);
    ASSERT_TRUE(calcprof(8, name));
    const float want[] = {BlankValue, BlankValue, 12.35f, 12.35f, 12.35f, 12.35f, 12.35f, BlankValue};
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(dat30.prof(i, 1), want[i - 1]) << i;
    EXPECT_EQ(dat30.pmin, 12.35f);
    EXPECT_EQ(dat30.pmax, 12.35f);
    const auto res = file_lines("out.res");
    // The blank with the digits that read back as the blank itself.
    EXPECT_EQ(res[1].substr(36), "   0.170141E+39");
    float back = 0;
    ASSERT_TRUE(read_f(res[1].substr(36), 0, back));
    EXPECT_EQ(back, BlankValue);
    // Counts outside 2..5000 are held there.
    ASSERT_TRUE(calcprof(1, name));
    EXPECT_EQ(file_lines("out.res").size(), 3u);
}

TEST_F(ProfileTest, IndexedSearchEqualsThePlainOne) {
    lattice_mesh(20, 15, 10.0f, 0.3f);
    for (int n = 1; n <= dat4.nnode; ++n)
        for (int k = 0; k < 8; ++k) dat7.value(n, k) = (k + 1) * 0.05f * dat4.xnode(n) - 2 * dat4.ynode(n) / (k + 1) + 3;
    for (int k : {0, 1, 3, 4, 7}) dat5.opton(k) = 'j';
    struct Case {
        float x1, y1, x2, y2;
        int n, leak;
    } cases[] = {{-20, -5, 210, 160, 333, 0}, {0, 0, 190, 140, 500, 1}, {50, -30, 50, 170, 77, 0}, {10, 20, 10, 20, 5, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        leakage.leak = c.leak;
        line(c.x1, c.y1, c.x2, c.y2);
        std::string name = txt_fixed("plain.res", TextLength);
        ASSERT_TRUE(calcprof_plain(c.n, name));
        const std::string plt = read_file(home + "profile.plt");
        name = txt_fixed("indexed.res", TextLength);
        ASSERT_TRUE(calcprof(c.n, name));
        EXPECT_EQ(read_file("indexed.res"), read_file("plain.res"));
        EXPECT_EQ(read_file(home + "profile.plt"), plt);
        EXPECT_GT(plt.size(), 3u * 27u);
    }
}

TEST_F(ProfileTest, CurvesWithGaps) {
    igrcolourmodel(24);
    dat5.opton.a.fill(' ');
    dat5.opton(3) = 'j';
    dat5.opton(5) = 'j';
    const float v3[] = {BlankValue, 1, 2, 3, 1.5e10f, 5};
    for (int i = 1; i <= 6; ++i) {
        dat30.prof(i, 3) = v3[i - 1];
        dat30.prof(i, 5) = 4;
    }
    // The frame and scales are drawn in the curves' colour too: the curves
    // are what a profile with active options adds.
    auto red_lines = [this] {
        driver.clear();
        draw_profile(0, 1, 10, 5, 6, dat30.prof);
        std::size_t red = 0;
        for (const DriverCall* c : driver.find(ScreenSide, OpLine)) red += c->state.CurrentColour.rgb() == 170;
        return red;
    };
    const std::size_t with = red_lines();
    dat5.opton.a.fill(' ');
    const std::size_t without = red_lines();
    // Option 3: 2-3, 3-4 (points 2..4), a gap, then only a move to point 6;
    // option 5: a zero-length first line and five segments.
    EXPECT_EQ(with - without, 2u + 6u);
    dat5.opton(5) = 'j';
    // A constant curve and a line of length 0 still get a frame.
    driver.clear();
    draw_profile(0, 4, 0, 4, 6, dat30.prof);
    EXPECT_FALSE(driver.find(ScreenSide, OpLine).empty());
    EXPECT_EQ(gstate.ux1, -1.0f);
    EXPECT_EQ(gstate.ux2, 1.0f);
    EXPECT_EQ(gstate.uy1, 3.0f);
    EXPECT_EQ(gstate.uy2, 5.0f);
    // No value at all: the reversed range draws no curve and does not hang.
    draw_profile(0, 1.0E10f, 5, -1.0E10f, 2, dat30.prof);
}

namespace {

std::vector<int> exits;
void record_exit(std::string_view, int code) { exits.push_back(code); }

// The program's root window, and the profile window as its child.
class ProfileCommandTest : public AppTest {
protected:
    TempDir dir{true};
    std::vector<OsMessageBoxRequest> boxes;
    void SetUp() override {
        AppTest::SetUp();
        exits.clear();
        exit_program_hook = record_exit;
        os_message_box_set_responder([this](const OsMessageBoxRequest& r) {
            boxes.push_back(r);
            return OS_IDOK;
        });
        ASSERT_EQ(main_startup(), 0);
        mainstate.femname.assign(TextLength, ' ');
        strip_model();
        dat5.opton(1) = 'j';
        mainstate.loaded = 1;
        dat9 = Dat9{-10, -50, 110, 50};
    }
    void TearDown() override {
        exit_program_hook = iosexitprogram;
        os_message_box_set_responder({});
        AppTest::TearDown();
    }
    static void mouse(OsMouseAction action, float wx, float wy) {
        float xd = 0, yd = 0;
        yye2i(wx, wy, xd, yd);
        os_input_mouse(wtab.hClient[0], action, action == OS_MOUSE_MOVE ? 0 : 1, static_cast<int>(std::floor(xd)),
                       gstate.height_max - static_cast<int>(std::floor(yd)));
    }
};

}  // namespace

TEST_F(ProfileCommandTest, NumericalWithTheSettingsFile) {
    struct Case {
        const char* count;
        int held;
        const char* box;
    } cases[] = {{"100", 100, ""}, {"1", 2, "Minimal 2 points!"}, {"9000", 5000, "Maximal 5000 points!"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        boxes.clear();
        profile_texts.ptx1 = txt_fixed("0", TextLength);
        profile_texts.pty1 = txt_fixed("0,5", TextLength);   // a decimal comma
        profile_texts.ptx2 = txt_fixed("99", TextLength);
        profile_texts.pty2 = txt_fixed("no number", TextLength);
        profile_texts.ptn = txt_fixed(c.count, TextLength);
        dat30.py2 = 0.5f;
        std::filesystem::remove("zeltramo.pro");
        ScopedDialogScript user({{1}});
        cmd_profile_numerical();
        EXPECT_EQ(mainstate.nprofpts, c.held);
        EXPECT_EQ(dat30.py1, 0.5f);
        EXPECT_EQ(dat30.py2, 0.5f);
        EXPECT_EQ(dat30.px2, 99.0f);
        if (*c.box) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, c.box);
        } else {
            EXPECT_TRUE(boxes.empty());
        }
        EXPECT_EQ(mainstate.profwin, 1);
        const auto res = crlf_lines(read_file(txt_c(mainstate.profname)));
        EXPECT_EQ(res.size(), static_cast<std::size_t>(c.held) + 1);
        const auto pro = crlf_lines(read_file("zeltramo.pro"));
        ASSERT_EQ(pro.size(), 6u);
        for (const std::string& l : pro) EXPECT_EQ(l.size(), 80u);
        EXPECT_EQ(txt_trim(pro[4]), c.count);
        EXPECT_EQ(txt_trim(pro[5]), txt_trim(mainstate.profname));
    }
    // The next command starts from the settings file.
    profile_texts = ProfileTexts{};
    ScopedDialogScript user({{2}});
    cmd_profile_numerical();
    EXPECT_EQ(txt_trim(profile_texts.ptx2), "99");
    EXPECT_EQ(txt_trim(profile_texts.pty1), "0.5");
}

// End points that make no line (fields left empty, the same point twice, a
// difference that vanishes in the length) are refused with a message; the
// dialog stays up with what was typed, and the line in force is kept until
// a corrected OK, or for good after Cancel.
TEST_F(ProfileCommandTest, NumericalRefusesALineWithoutLength) {
    const char* const NoLength = "The profile has no length: give two different end points!";
    struct Case {
        const char* name;
        const char *x1, *y1, *x2, *y2;
    } cases[] = {
        {"empty fields", "", "", "", ""},
        {"the same point twice", "5", "7", "5,0", "7"},
        {"a difference lost in the length", "0", "0", "1e-30", "0"},
    };
    for (const Case& c : cases) {
        for (const bool cancel : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (cancel ? ", then Cancel" : ", then corrected"));
            boxes.clear();
            profile_texts = ProfileTexts{};
            std::filesystem::remove("zeltramo.pro");
            std::filesystem::remove(txt_c(mainstate.profname));
            line(0, 0, 0, 0);
            const DialogStep refused(1, {{1034, c.x1}, {1036, c.y1}, {1035, c.x2}, {1037, c.y2}, {1009, "10"}});
            const DialogStep corrected(1, {{1035, "99"}});
            ScopedDialogScript user({refused, cancel ? DialogStep(2) : corrected});
            cmd_profile_numerical();
            ASSERT_EQ(user.waits(), 2) << "the dialog stays up after the refusal";
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, NoLength);
            if (cancel) {
                EXPECT_EQ(dat30.px1, 0.0f);
                EXPECT_EQ(dat30.px2, 0.0f);
                EXPECT_EQ(mainstate.profwin, 0);
                EXPECT_FALSE(std::filesystem::exists(txt_c(mainstate.profname)));
                EXPECT_FALSE(std::filesystem::exists("zeltramo.pro"));
                continue;
            }
            EXPECT_EQ(dat30.px2, 99.0f);
            EXPECT_GT(dat30.plen, 0.0f);
            EXPECT_EQ(mainstate.profwin, 1);
            EXPECT_EQ(crlf_lines(read_file(txt_c(mainstate.profname))).size(), 11u);
            close_profile_window();
        }
    }
}

TEST_F(ProfileCommandTest, GraphicalTakesWholeUnits) {
    IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
    IGrUnits(dat9.vxmin, dat9.vymin, dat9.vxmax, dat9.vymax);
    mouse(OS_MOUSE_MOVE, 1, 1);          // the first message only sets P
    mouse(OS_MOUSE_MOVE, -3.7f, 2.6f);
    mouse(OS_MOUSE_PRESS, -3.7f, 2.6f);
    mouse(OS_MOUSE_MOVE, 40.2f, 3.3f);
    mouse(OS_MOUSE_MOVE, 88.9f, -4.6f);
    mouse(OS_MOUSE_RELEASE, 88.9f, -4.6f);
    cmd_profile_graphical();
    EXPECT_EQ(dat30.px1, -3.0f);
    EXPECT_EQ(dat30.py1, 2.0f);
    EXPECT_EQ(dat30.px2, 88.0f);
    EXPECT_EQ(dat30.py2, -4.0f);
    const auto pro = crlf_lines(read_file("zeltramo.pro"));
    ASSERT_EQ(pro.size(), 6u);
    EXPECT_EQ(pro[0], edit_f(-3, 12, 2) + std::string(68, ' '));
    EXPECT_EQ(pro[3], edit_f(-4, 12, 2) + std::string(68, ' '));
    EXPECT_EQ(pro[4], edit_i(100, 12) + std::string(68, ' '));
    EXPECT_EQ(mainstate.profwin, 1);
    // Back to normal drawing.
    const int mode = gstate.PlotMode;
    IGrPlotMode("N");
    EXPECT_EQ(mode, gstate.PlotMode);
}

// A click without a drag makes no line: the command waits for one.
TEST_F(ProfileCommandTest, GraphicalWaitsAfterAClickWithoutADrag) {
    IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
    IGrUnits(dat9.vxmin, dat9.vymin, dat9.vxmax, dat9.vymax);
    mouse(OS_MOUSE_MOVE, 1, 1);
    mouse(OS_MOUSE_MOVE, 20.5f, 10.5f);
    mouse(OS_MOUSE_PRESS, 20.5f, 10.5f);
    mouse(OS_MOUSE_RELEASE, 20.5f, 10.5f);
    mouse(OS_MOUSE_MOVE, 30.5f, 10.5f);
    mouse(OS_MOUSE_PRESS, 30.5f, 10.5f);
    mouse(OS_MOUSE_MOVE, 40.5f, 20.5f);
    mouse(OS_MOUSE_MOVE, 30.5f, 10.5f);   // back to the start, released there
    mouse(OS_MOUSE_RELEASE, 30.5f, 10.5f);
    mouse(OS_MOUSE_MOVE, 50.5f, 10.5f);
    mouse(OS_MOUSE_PRESS, 50.5f, 10.5f);
    mouse(OS_MOUSE_MOVE, 80.5f, -19.5f);
    mouse(OS_MOUSE_RELEASE, 80.5f, -19.5f);
    cmd_profile_graphical();
    EXPECT_EQ(dat30.px1, 50.0f);
    EXPECT_EQ(dat30.py1, 10.0f);
    EXPECT_EQ(dat30.px2, 80.0f);
    EXPECT_EQ(dat30.py2, -19.0f);
    EXPECT_EQ(mainstate.profwin, 1);
}

TEST_F(ProfileCommandTest, CloseRequestOfTheProfileWindowClosesOnlyIt) {
    line(0, 0, 99, 0);
    std::string name = txt_fixed("p.res", TextLength);
    ASSERT_TRUE(calcprof(100, name));
    run_command(7);
    EXPECT_EQ(mainstate.profwin, 0) << "no window is opened by a redraw";
    plprof(mainstate.profslot, mainstate.profwin, 0, dat30.pmin, dat30.plen, dat30.pmax, 100, dat30.prof, "profile");
    EXPECT_EQ(mainstate.profwin, 1);
    const int slot = mainstate.profslot;
    ASSERT_GE(slot, 1);
    EXPECT_NE(wtab.wWindow[static_cast<std::size_t>(slot)], 0);
    EXPECT_EQ(os_get_window_text(wtab.wWindow[static_cast<std::size_t>(slot)]), "profile");
    // Redraws draw into the open window and leave the root window current.
    run_command(7);
    EXPECT_EQ(mainstate.profslot, slot);
    EXPECT_EQ(quinda.current_slot, 0);
    // A close request while it is open, its own or the main window's,
    // closes only the profile window; the next one ends the program.
    WindowMessage m{};
    m.WIN = slot;
    handle_message(MsgClose, m);
    EXPECT_EQ(mainstate.profwin, 0);
    EXPECT_EQ(wtab.wWindow[static_cast<std::size_t>(slot)], 0);
    EXPECT_TRUE(exits.empty());
    plprof(mainstate.profslot, mainstate.profwin, 0, dat30.pmin, dat30.plen, dat30.pmax, 100, dat30.prof, "profile");
    ASSERT_EQ(mainstate.profwin, 1);
    m.WIN = 0;
    handle_message(MsgClose, m);
    EXPECT_EQ(mainstate.profwin, 0);
    EXPECT_TRUE(exits.empty());
    handle_message(MsgClose, m);
    EXPECT_EQ(exits, std::vector<int>{0});
}

TEST_F(ProfileCommandTest, DialogsLoadFromTheResources) {
    for (int d : {107, 108, 110}) {
        SCOPED_TRACE(d);
        WDialogLoad(d);
        EXPECT_GT(yydialogfind(d), 0);
        WDialogUnload();
    }
}

TEST_F(ProfileCommandTest, PictureOfAProfile) {
    const std::string samples = std::string(QUINDA_SOURCE_DIR) + "/samples/";
    ASSERT_EQ(leesfem(samples + "demo.fem"), FemLoaded);
    dat5.opton.a.fill(' ');
    dat5.opton(3) = 'j';
    dat5.opton(6) = 'j';
    line(dat11.extr(3), dat11.extr(4), dat11.extr(1), dat11.extr(2));
    std::string name = txt_fixed("p.res", TextLength);
    ASSERT_TRUE(calcprof(400, name));
    igrcolourmodel(24);
    mainstate.nprofpts = 400;
    plprof(mainstate.profslot, mainstate.profwin, 0, dat30.pmin, dat30.plen, dat30.pmax, 400, dat30.prof, "profile");
    ASSERT_EQ(mainstate.profwin, 1);
    const char* keep = std::getenv("QUINDA_WRITE_PICTURES");
    const std::string png = (keep ? std::string(keep) : dir.path().string()) + "/profile.png";
    ASSERT_TRUE(os_grab_window_png(wtab.wWindow[static_cast<std::size_t>(mainstate.profslot)], png));
    EXPECT_FALSE(read_file(png).empty());
}

TEST_F(ProfileCommandTest, PictureOfNodalAreasAndRivers) {
    const std::string samples = std::string(QUINDA_SOURCE_DIR) + "/samples/";
    ASSERT_EQ(leesfem(samples + "demo.fem"), FemLoaded);
    intersect_state.riverfile = txt_fixed(samples + "demo.ung", TextLength);
    intersect_state.attrfile = txt_fixed(samples + "demo.att", TextLength);
    dat9 = Dat9{dat11.extr(3), dat11.extr(4), dat11.extr(1), dat11.extr(2)};
    RiverResultChoice choose_river_results;
    ScopedDialogScript user({{1054}, {1055}, {1056}, {1}});
    cmd_intersect();
    ASSERT_TRUE(errors().empty()) << errors()[0];
    map_bln.mapwidth(4) = 2;
    map_bln.mapcol(4) = wrgb(0, 0, 200);
    redraw_view();
    const char* keep = std::getenv("QUINDA_WRITE_PICTURES");
    const std::string png = (keep ? std::string(keep) : dir.path().string()) + "/nodal-areas.png";
    ASSERT_TRUE(os_grab_window_png(wtab.wWindow[0], png));
    EXPECT_FALSE(read_file(png).empty());
}
