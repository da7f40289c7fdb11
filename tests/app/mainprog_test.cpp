// The main program: start-up, the interactive start with and without the
// settings file, the message loop's keys, read-out and close request, the
// display toggles and the view commands, driven by input as the window
// system delivers it.
#include "app/mainprog.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/apphooks.h"
#include "app/femread.h"
#include "app/filecmds.h"
#include "app/logo.h"
#include "app/griddef.h"
#include "app/interp_internal.h"
#include "app/logo.h"
#include "app/mainstate.h"
#include "app/readout.h"
#include "app/settings.h"
#include "app/viewcmds.h"
#include "lib/dialog/dialog.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/gstate.h"
#include "lib/window/exitprog.h"
#include "lib/window/fetch.h"
#include "lib/window/help.h"
#include "lib/window/menus.h"
#include "lib/window/quinda_state.h"
#include "lib/window/startup.h"
#include "lib/window/text.h"
#include "lib/window/winops.h"
#include "platform/os_app.h"
#include "platform/os_commondlg.h"
#include "platform/os_dialog.h"
#include "platform/os_menu.h"
#include "platform/os_msgbox.h"
#include "platform/os_window.h"
#include "tests/app/app_test.h"
#include "tests/app/dialog_script.h"
#include "tools/femgen/femgen.h"

namespace {

std::vector<int> exit_codes;
void record_exit(std::string_view, int code) { exit_codes.push_back(code); }

class MainProgramTest : public AppTest {
protected:
    TempDir dir{true};
    std::vector<OsMessageBoxRequest> boxes;
    int answer = OS_IDNO;

    void SetUp() override {
        AppTest::SetUp();
        exit_codes.clear();
        exit_program_hook = record_exit;
        os_message_box_set_responder([this](const OsMessageBoxRequest& r) {
            boxes.push_back(r);
            return answer;
        });
    }
    void TearDown() override {
        exit_program_hook = iosexitprogram;
        os_message_box_set_responder({});
        AppTest::TearDown();
    }

    static void copy_samples() {
        for (const auto& f : std::filesystem::directory_iterator(std::string(QUINDA_SOURCE_DIR) + "/samples"))
            std::filesystem::copy_file(f.path(), f.path().filename());
    }

    // Start-up and the interactive start; the test program's own arguments
    // are not the program's.
    void start() {
        ASSERT_EQ(main_startup(), 0);
        mainstate.femname.assign(TextLength, ' ');
        interactive_start();
    }

    static OsHandle root() { return wtab.wWindow[0]; }
    static OsHandle client() { return wtab.hClient[0]; }

    // Takes the waiting messages through the loop's handling, as its
    // passes would, until none is left.
    static void run_queue() {
        os_pump_events();
        while (!mainstate.ended) {
            wmessageenable(MsgMouseMove, 1);
            std::int32_t type = -1;
            WindowMessage m;
            wmessagepeek(type, m);
            if (type == -1) break;
            mainstate.msgtype = type;
            mainstate.msg = m;
            handle_message(type, m);
        }
    }

    static std::string status(int part) { return AppWindowTest::status_text(part); }
    static bool checked(int item) {
        return (os_get_menu_state(wtab.hMenuRoot[0], static_cast<std::uint32_t>(item), OS_MF_BYCOMMAND) &
                OS_MF_CHECKED) != 0;
    }
    static bool enabled(int item) {
        return (os_get_menu_state(wtab.hMenuRoot[0], static_cast<std::uint32_t>(item), OS_MF_BYCOMMAND) &
                (OS_MF_GRAYED | OS_MF_DISABLED)) == 0;
    }
};

constexpr int ModelSet[] = {40014, 40005, 40006, 40033, 40038, 40002, 40003, 40007, 40040};

}  // namespace

TEST_F(MainProgramTest, StartWithoutSettingsFileAsksNothing) {
    start();
    EXPECT_TRUE(boxes.empty());
    for (int id : ModelSet) EXPECT_FALSE(enabled(id)) << id;
    EXPECT_TRUE(enabled(40001));
    // The status bar shows its texts without their trailing blanks.
    EXPECT_EQ(status(2), "value:");
    EXPECT_EQ(status(3), "option:");
    // The working directory with its separator, and the files named from it.
    const std::string here = std::filesystem::current_path().string() + "/";
    EXPECT_EQ(txt_trim(dat19.home), here);
    EXPECT_EQ(dat19.lhome, static_cast<int>(here.size()));
    EXPECT_EQ(txt_trim(mainstate.profname), here + "profile.res");
    EXPECT_EQ(dat8.nx, 100);
    // The first pass of the loop sets the title.
    os_input_key(client(), 'a', 0);
    run_queue();
    EXPECT_EQ(main_title(), "Zeltramo 2.1  ");
    EXPECT_EQ(os_get_window_text(root()), "Zeltramo 2.1");
}

TEST_F(MainProgramTest, SettingsFileOfferedAtStart) {
    struct Case {
        int answer;
        bool loaded;
    } cases[] = {{OS_IDYES, true}, {OS_IDNO, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        QuindaTest::SetUp();
        reset_main_state();
        std::filesystem::remove_all(std::filesystem::current_path() / "zeltramo.ini");
        for (const auto& f : std::filesystem::directory_iterator(std::filesystem::current_path()))
            std::filesystem::remove(f.path());
        copy_samples();
        boxes.clear();
        answer = c.answer;
        start();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Read default settings from ini file?");
        EXPECT_EQ(boxes[0].caption, "Input");
        EXPECT_EQ(boxes[0].style, OS_MB_YESNO | OS_MB_ICONQUESTION | OS_MB_DEFBUTTON2);
        const MainState& m = mainstate;
        for (int id : ModelSet) EXPECT_EQ(enabled(id), c.loaded) << id;
        EXPECT_EQ(checked(40011), c.loaded);
        if (!c.loaded) {
            EXPECT_EQ(dat4.nnode, 0);
            EXPECT_EQ(m.loaded, 0);
            EXPECT_EQ(status(3), "option:");
            continue;
        }
        EXPECT_EQ(dat4.nnode, 336);
        EXPECT_EQ(txt_trim(m.femname), "demo.fem");
        EXPECT_EQ(txt_trim(m.gridname), "surfer.grd");
        EXPECT_EQ(m.plotmode, 1);
        EXPECT_EQ(m.showcontour + m.showgridpts + m.loaded + m.showmaps + m.showmesh, 5);
        EXPECT_EQ(m.optstate[3], 1);
        EXPECT_EQ(m.mfgrid, 0);
        EXPECT_EQ(dat8.nx, 50);
        EXPECT_EQ(txt_trim(status(3)), "option: " + txt_c(txt_trim(dat5.optitle(3))));
        // The grid was interpolated: a point inside the model has a value.
        EXPECT_NE(dat7.gridval(25, 25), BlankValue);
        os_input_key(client(), 'a', 0);
        run_queue();
        EXPECT_EQ(os_get_window_text(root()), "Zeltramo 2.1  demo.fem");
    }
}

TEST_F(MainProgramTest, MainWindowWithTheSampleLoaded) {
    copy_samples();
    answer = OS_IDYES;
    start();
    // The pointer over the model: its position and the head under it.
    const float x = 156000.0f, y = 463700.0f;
    value_readout(x, y);
    EXPECT_EQ(status(2).substr(0, 7), "value: ");
    EXPECT_NE(status(2), "value:");
    windowoutstatusbar(1, "x,y:" + edit_f(x, 12, 2) + edit_f(y, 12, 2));
    // The whole window as the user sees it, for a look.
    const std::string png = std::filesystem::temp_directory_path().string() + "/zeltramo-main-window.png";
    ASSERT_TRUE(os_grab_window_png(root(), png));
    EXPECT_GT(std::filesystem::file_size(png), 1000u);
}

// Loading the print system costs every run: the start and a batch
// conversion (the closing redraw included) never ask for the printer.
TEST_F(MainProgramTest, StartAndBatchRunAskNothingOfThePrinter) {
    copy_samples();
    const int before = os_app_printer_name_asks();
    ASSERT_EQ(main_startup(), 0);
    EXPECT_EQ(os_app_printer_name_asks(), before);
    txt_set(mainstate.femname, "zeltramo.ini");
    ASSERT_EQ(batch_run(), 0);
    EXPECT_TRUE(std::filesystem::exists("surfer.grd"));
    EXPECT_EQ(os_app_printer_name_asks(), before);
}

TEST_F(MainProgramTest, SettingsFileThatFailsStartsAsWithoutIt) {
    write_file("zeltramo.ini", "demo.fem\n0 0\n");
    answer = OS_IDYES;
    start();
    // The question, then the reader's message in a box of its own.
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1].text.find("unexpected end of file"), std::string::npos) << boxes[1].text;
    EXPECT_EQ(mainstate.loaded, 0);
    EXPECT_FALSE(enabled(40005));
    boxes.clear();
    // A model that is not there is said, and nothing of the file is taken
    // either: not the leakance switch, the grid, its rotation, the quantity
    // nor the map layers.
    write_file("zeltramo.ini", "gone.fem\n1 1\n0 0 10 10\n11 11\n30\n6\ns.grd\n1 5 2 a.bln\n");
    QuindaTest::SetUp();
    reset_main_state();
    const int gridtype = dat18.gridtype;
    start();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1].text.find("gone.fem not found"), std::string::npos);
    EXPECT_EQ(mainstate.loaded, 0);
    EXPECT_FALSE(enabled(40005));
    EXPECT_EQ(leakage.leak, 0);
    EXPECT_EQ(dat18.gridtype, gridtype);
    EXPECT_NE(dat8.gx1, 10.0f);
    EXPECT_EQ(dat8.nx, 100);   // as start-up set it
    EXPECT_EQ(dat12.rotang, 0.0f);
    EXPECT_NE(dat5.opton(6), 'j');
    EXPECT_EQ(mainstate.optstate[6], 0);
    EXPECT_EQ(map_bln.mapon(1), 0);
    EXPECT_TRUE(txt_blank(map_bln.mapfile(1)));
    EXPECT_EQ(status(3), "option:");
}

TEST_F(MainProgramTest, CloseRequestRunsEnd) {
    copy_samples();
    answer = OS_IDYES;
    start();
    std::filesystem::remove("zeltramo.ini");
    dat8.nx = 40;
    // The close box, clicked while the loop waits.
    os_post_message(root(), OSM_CLOSE, 0, 0);
    run_queue();
    EXPECT_TRUE(mainstate.ended);
    ASSERT_EQ(exit_codes, std::vector<int>{0});
    // The settings file is written from the state at the end.
    const std::string ini = read_file("zeltramo.ini");
    EXPECT_EQ(ini.substr(0, 10), "demo.fem\r\n");
    EXPECT_NE(ini.find("   40   50\r\n"), std::string::npos) << ini;
}

TEST_F(MainProgramTest, EndThatCannotWriteTheSettingsFileSaysSo) {
    start();
    dat19.home = txt_fixed("/nonexistent-dir/", TextLength);
    dat19.lhome = 17;
    run_command(40004);
    ASSERT_EQ(exit_codes, std::vector<int>{2});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("zeltramo.ini"), std::string::npos);
}

TEST_F(MainProgramTest, ZoomAndPanKeys) {
    start();
    struct Case {
        std::int32_t code;
        float x1, y1, x2, y2;   // the view after the key, from 0..100 x 0..50
    } cases[] = {
        {292, 10, 5, 90, 45},
        {290, -5, -2.5f, 105, 52.5f},
        {258, 0, -5, 100, 45},
        {259, 0, 5, 100, 55},
        {260, -10, 0, 90, 50},
        {261, 10, 0, 110, 50},
    };
    for (const Case& c : cases) {
        dat9 = Dat9{0, 0, 100, 50};
        EXPECT_TRUE(view_key(c.code));
        EXPECT_FLOAT_EQ(dat9.vxmin, c.x1) << c.code;
        EXPECT_FLOAT_EQ(dat9.vymin, c.y1) << c.code;
        EXPECT_FLOAT_EQ(dat9.vxmax, c.x2) << c.code;
        EXPECT_FLOAT_EQ(dat9.vymax, c.y2) << c.code;
    }
    dat9 = Dat9{0, 0, 100, 50};
    EXPECT_FALSE(view_key('a'));
    EXPECT_EQ(dat9.vxmax, 100.0f);
    // Through the loop from the keyboard: three times keypad + narrows the
    // view to 0.8^3 about its centre, keypad - then widens it 1.1 times.
    dat9 = Dat9{-100, -50, 100, 50};
    for (int i = 0; i < 3; ++i) os_input_key(client(), OS_VK_ADD, OS_IN_KEYPAD);
    run_queue();
    EXPECT_NEAR(dat9.vxmax - dat9.vxmin, 200 * 0.512f, 1e-3);
    EXPECT_NEAR(dat9.vymax - dat9.vymin, 100 * 0.512f, 1e-3);
    EXPECT_NEAR(dat9.vxmin + dat9.vxmax, 0.0f, 1e-4);
    os_input_key(client(), OS_VK_SUBTRACT, OS_IN_KEYPAD);
    run_queue();
    EXPECT_NEAR(dat9.vxmax - dat9.vxmin, 200 * 0.512f * 1.1f, 1e-3);
}

TEST_F(MainProgramTest, TogglesAndAutoSave) {
    start();
    struct Case {
        int id;
        std::int32_t* flag;
    } toggles[] = {{40023, &mainstate.showmesh}, {40025, &mainstate.showgridpts}, {40028, &mainstate.autosave}};
    for (const Case& c : toggles) {
        run_command(c.id);
        EXPECT_EQ(*c.flag, 1) << c.id;
        EXPECT_TRUE(checked(c.id)) << c.id;
        run_command(c.id);
        EXPECT_EQ(*c.flag, 0) << c.id;
        EXPECT_FALSE(checked(c.id)) << c.id;
    }
    run_command(40016);
    EXPECT_EQ(mainstate.plotmode, -1);
    EXPECT_TRUE(checked(40016));
    EXPECT_FALSE(checked(40015));
    run_command(40015);
    EXPECT_EQ(mainstate.plotmode, 1);
    EXPECT_TRUE(checked(40015));
    EXPECT_FALSE(checked(40016));
    // Filled contours are greyed while the grid is an Arc-Info grid.
    dat18.gridtype = GridArcInfo;
    os_input_key(client(), 'a', 0);
    run_queue();
    EXPECT_FALSE(enabled(40015));
    dat18.gridtype = GridSurfer;
    os_input_key(client(), 'a', 0);
    run_queue();
    EXPECT_TRUE(enabled(40015));
    // Commands come from the menu bar as well: Plot > Network.
    os_input_menu(root(), {{9, 3}, true});
    run_queue();
    EXPECT_EQ(mainstate.showmesh, 1);
}

TEST_F(MainProgramTest, WhatRedrawsTheView) {
    start();
    int redraws = 0;
    {
        // The recording device takes the screen's place; each redraw begins
        // with the grid's grey outline.
        square_model();
        mainstate.loaded = 1;
        RecordingDriver driver;
        driver.attach();
        watch_redraws(driver, redraws);
        struct Case {
            int command;
            int redraws;
        } cases[] = {{7, 1},     {8, 1},     {40023, 1}, {40025, 1}, {40015, 1},
                     {40016, 1}, {40028, 0}, {40002, 0}, {99, 0}};
        for (const Case& c : cases) {
            redraws = 0;
            run_command(c.command);
            EXPECT_EQ(redraws, c.redraws) << c.command;
        }
        EXPECT_EQ(mainstate.plotmode, -1);
    }
    // A window that changes size is cleared in the background colour and drawn again.
    windowclear(std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0x123456);
    os_input_resize(root(), 700, 500);
    run_queue();
    EXPECT_EQ(AppWindowTest::pixel(3, 3), 0xFFFFFFu);
}

TEST_F(MainProgramTest, ReadOutShowsTheHighestActiveOptionUnderThePointer) {
    start();
    // Two triangles over the square 0..10, values x + y (option 0) and
    // 2x (option 3).
    const float xy[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    dat4.nnode = 4;
    dat4.naq = 1;
    for (int n = 1; n <= 4; ++n) {
        dat4.xnode(n) = xy[n - 1][0];
        dat4.ynode(n) = xy[n - 1][1];
        dat7.value(n, 0) = xy[n - 1][0] + xy[n - 1][1];
        dat7.value(n, 3) = 2 * xy[n - 1][0];
    }
    const int el[2][3] = {{1, 2, 3}, {1, 3, 4}};
    for (int e = 1; e <= 2; ++e)
        for (int c = 1; c <= 3; ++c) dat4.elnode(e, c) = el[e - 1][c - 1];
    dat4.nelem = 2;
    ++mesh_generation;
    dat5.opton(0) = 'j';
    dat5.opton(3) = 'j';
    value_readout(7, 2);
    EXPECT_EQ(status(2), "value: " + std::string("       14.00"));
    EXPECT_EQ(leakage.iopt, 52);
    // Off the mesh the last value stays.
    value_readout(20, 2);
    EXPECT_EQ(status(2), "value:        14.00");
    // Small values get four decimals.
    value_readout(0.004f, 1);
    EXPECT_EQ(status(2), "value:       0.0080");
    // With no active option the part is not written.
    dat5.opton(0) = dat5.opton(3) = ' ';
    windowoutstatusbar(2, "value: ");
    value_readout(7, 2);
    EXPECT_EQ(status(2), "value:");
}

TEST(ReadOutIndex, FindsTheTriangleThePlainScanFinds) {
    TempDir dir(true);
    reset_app_data();
    femgen::Options o;
    o.nx = 23;
    o.ny = 17;
    o.x0 = 155000;
    o.y0 = 463000;
    o.dx = 37;
    o.dy = 29;
    o.jitter = 0.15;
    o.seed = 7;
    ASSERT_TRUE(femgen::write_model(o, "m.fem"));
    ASSERT_EQ(leesfem("m.fem"), FemLoaded);
    std::vector<std::pair<float, float>> points;
    // Every node and every edge's midpoint: points that lie on the border
    // of several triangles.
    for (int e = 1; e <= dat4.nelem; ++e)
        for (int c = 1; c <= 3; ++c) {
            const int a = dat4.elnode(e, c), b = dat4.elnode(e, c % 3 + 1);
            points.emplace_back(dat4.xnode(a), dat4.ynode(a));
            points.emplace_back(0.5f * (dat4.xnode(a) + dat4.xnode(b)), 0.5f * (dat4.ynode(a) + dat4.ynode(b)));
        }
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> ux(dat11.ext(1) - 50, dat11.ext(3) + 50), uy(dat11.ext(2) - 50, dat11.ext(4) + 50);
    for (int i = 0; i < 20000; ++i) points.emplace_back(ux(rng), uy(rng));
    int inside = 0;
    for (const auto& [x, y] : points) {
        const int want = readout_triangle_plain(x, y);
        ASSERT_EQ(readout_triangle(x, y), want) << x << ", " << y;
        inside += want > 0;
    }
    EXPECT_GT(inside, static_cast<int>(points.size()) / 2);
    // A new model is indexed anew.
    o.nx = 5;
    o.ny = 4;
    ASSERT_TRUE(femgen::write_model(o, "m.fem"));
    ASSERT_EQ(leesfem("m.fem"), FemLoaded);
    for (const auto& [x, y] : points) ASSERT_EQ(readout_triangle(x, y), readout_triangle_plain(x, y));
}

TEST(MainProgramTables, OptionCaptionsAndFields) {
    struct Case {
        int k;
        int field;
        const char* caption;
    } cases[] = {
        {0, 1042, "reference head"},        {1, 1015, "aquitard 1, resistance/leak"},
        {2, 1016, "aquifer 1, transmissivity"}, {3, 1017, "aquifer 1, head"},
        {18, 1032, "aquifer 6, head"},      {19, 1068, "aquitard 7, resistance/leak"},
        {28, 1077, "aquitard 10, resistance/leak"}, {51, 1100, "aquifer 17, head"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(optfield(c.k), c.field) << c.k;
        EXPECT_EQ(optcaption(c.k), txt_fixed(c.caption, 28)) << c.k;
    }
}

TEST_F(MainProgramTest, WorkingDirectoryTooLongToNameFilesStops) {
    // 68 characters with the separator still fit; one more does not.
    std::string d = dir.path().string() + "/";
    const std::size_t room = 68;
    ASSERT_LT(d.size(), room - 1);
    std::string fits = d + std::string(room - d.size() - 1, 'a');
    std::filesystem::create_directory(fits);
    std::filesystem::current_path(fits);
    EXPECT_TRUE(find_home());
    EXPECT_EQ(dat19.lhome, 68);
    const std::string longer = fits + "/b";
    std::filesystem::create_directory(longer);
    std::filesystem::current_path(longer);
    EXPECT_FALSE(find_home());
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors()[0].find("longer than 68"), std::string::npos) << errors()[0];
    EXPECT_EQ(main_startup(), 2);
    std::filesystem::current_path(dir.path());
}

namespace {

// The view commands on a root window whose world units are square, about
// 0.3 units a pixel, with 0, 0 in the middle; pointer input is given in
// world units and lands on the pixel whose centre is nearest.
class ViewCommandTest : public MainProgramTest {
protected:
    void SetUp() override {
        MainProgramTest::SetUp();
        start();
        const OsPoint size = os_surface_size(client());
        const float s = 100.0f / static_cast<float>(std::min(size.x, size.y));
        IGrArea(0, 0, 1, 1);
        IGrUnits(-0.5f * s * static_cast<float>(size.x), -0.5f * s * static_cast<float>(size.y),
                 0.5f * s * static_cast<float>(size.x), 0.5f * s * static_cast<float>(size.y));
        dat9 = Dat9{-40, -30, 40, 30};
    }
    static void mouse(OsMouseAction action, float wx, float wy) {
        float xd = 0, yd = 0;
        yye2i(wx, wy, xd, yd);
        os_input_mouse(client(), action, action == OS_MOUSE_MOVE ? 0 : 1, static_cast<int>(std::floor(xd)),
                       gstate.height_max - static_cast<int>(std::floor(yd)));
    }
    static void move(float x, float y) { mouse(OS_MOUSE_MOVE, x, y); }
    static int normal_mode() {
        const int now = gstate.PlotMode;
        IGrPlotMode("N");
        const int normal = gstate.PlotMode;
        gstate.PlotMode = now;
        return normal;
    }
    static void press() { mouse(OS_MOUSE_PRESS, mainstate.msg.GX, mainstate.msg.GY); }
    static void click(float x, float y) {
        mouse(OS_MOUSE_PRESS, x, y);
        mouse(OS_MOUSE_RELEASE, x, y);
    }
    // A regular grid 100 x 50 at the origin, 11 x 6 points, not rotated.
    static void regular_grid() {
        dat18.gridtype = GridSurfer;
        dat8.gx0 = dat8.gy0 = 0;
        dat8.gx1 = 100;
        dat8.gy1 = 50;
        dat8.nx = 11;
        dat8.ny = 6;
        dat8.dx = dat8.dy = 10;
        dat12.rotang = 0;
    }
};

}  // namespace

TEST_F(ViewCommandTest, ZoomTakesWholeUnitsAndWaitsForItsFirstCorner) {
    struct Case {
        bool release_first;
    } cases[] = {{false}, {true}};
    for (const Case& c : cases) {
        dat9 = Dat9{-40, -30, 40, 30};
        if (c.release_first) {
            move(1.5f, 1.5f);
            mouse(OS_MOUSE_RELEASE, 1.5f, 1.5f);
        }
        move(10.7f, 20.2f);
        mouse(OS_MOUSE_PRESS, 10.7f, 20.2f);
        move(-3.4f, 5.9f);
        mouse(OS_MOUSE_RELEASE, -3.4f, 5.9f);
        cmd_zoom();
        EXPECT_EQ(dat9.vxmin, -3.0f) << c.release_first;
        EXPECT_EQ(dat9.vxmax, 10.0f);
        EXPECT_EQ(dat9.vymin, 5.0f);
        EXPECT_EQ(dat9.vymax, 20.0f);
        EXPECT_TRUE(enabled(40009));
        EXPECT_EQ(gstate.PlotMode, normal_mode()) << "plot mode back to normal";
    }
    // A rectangle without width keeps the view.
    move(10.7f, 20.2f);
    mouse(OS_MOUSE_PRESS, 10.7f, 20.2f);
    move(10.2f, 5.9f);
    mouse(OS_MOUSE_RELEASE, 10.2f, 5.9f);
    cmd_zoom();
    EXPECT_EQ(dat9.vxmin, -3.0f);
    EXPECT_EQ(dat9.vymax, 20.0f);
}

TEST_F(ViewCommandTest, CenterKeepsTheViewSize) {
    move(5, 5);
    click(12.3f, -7.7f);
    cmd_center();
    const float px = mainstate.px, py = mainstate.py;
    EXPECT_NEAR(px, 12.3f, 0.3f);
    EXPECT_NEAR(py, -7.7f, 0.3f);
    EXPECT_FLOAT_EQ(dat9.vxmin, px - 40);
    EXPECT_FLOAT_EQ(dat9.vxmax, px + 40);
    EXPECT_FLOAT_EQ(dat9.vymin, py - 30);
    EXPECT_FLOAT_EQ(dat9.vymax, py + 30);
}

TEST_F(ViewCommandTest, OriginalAndZoom2Grid) {
    dat11.ext(1) = 1;
    dat11.ext(2) = 2;
    dat11.ext(3) = 3;
    dat11.ext(4) = 4;
    run_command(40008);
    EXPECT_EQ(dat9.vxmin, 1.0f);
    EXPECT_EQ(dat9.vymax, 4.0f);
    regular_grid();
    dat12.rotang = degrees_to_rotang(90);
    run_command(40017);
    EXPECT_NEAR(dat9.vxmin, -50, 1e-3);
    EXPECT_NEAR(dat9.vxmax, 0, 1e-3);
    EXPECT_NEAR(dat9.vymin, 0, 1e-3);
    EXPECT_NEAR(dat9.vymax, 100, 1e-3);
}

TEST_F(ViewCommandTest, RotationByThePointer) {
    struct Case {
        float x, y;        // pointer, whole units once truncated
        int degrees;       // chosen, shown in txrot
        int corner;        // the corner that becomes the origin: 1 none, 2 C2, 3 C3, 4 C4
        float angle;       // rotang after re-anchoring, degrees
    } cases[] = {
        {29.5f, 30.5f, 45, 1, 45},
        {-35.5f, 34.5f, 135, 4, 45},
        {-8.5f, -3.5f, 200, 3, 20},
        {100.5f, -20.5f, 348, 2, 78},
        {3.5f, -30.5f, 275, 2, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        regular_grid();
        mainstate.mfgrid = 0;
        move(c.x, c.y);
        press();
        cmd_rotation();
        EXPECT_EQ(mainstate.gridtexts[TxRot], edit_i(c.degrees, 12));
        EXPECT_NEAR(dat12.rotang, c.angle * MainPi / 180, 1e-5);
        const double a = c.degrees * MainPi / 180;
        // Where the old corners went: C2 = (100, 0), C3 = (100, 50), C4 = (0, 50)
        // turned by the angle chosen.
        const double ux = c.corner == 2 || c.corner == 3 ? 100 : 0, vy = c.corner == 3 || c.corner == 4 ? 50 : 0;
        EXPECT_NEAR(dat8.gx0, ux * std::cos(a) - vy * std::sin(a), 1e-3);
        EXPECT_NEAR(dat8.gy0, ux * std::sin(a) + vy * std::cos(a), 1e-3);
        EXPECT_EQ(dat8.xll, dat8.gx0);
        // A quarter or three-quarter turn trades the axes; at any angle the
        // grid keeps its extent and its spacing of 10.
        const bool swapped = c.corner == 2 || c.corner == 4;
        EXPECT_EQ(dat8.nx, swapped ? 6 : 11);
        EXPECT_EQ(dat8.ny, swapped ? 11 : 6);
        EXPECT_NEAR(dat8.gx1 - dat8.gx0, swapped ? 50 : 100, 1e-3);
        EXPECT_NEAR(dat8.gy1 - dat8.gy0, swapped ? 100 : 50, 1e-3);
        EXPECT_NEAR(dat8.dx, 10, 1e-3);
        EXPECT_NEAR(dat8.dy, 10, 1e-3);
        EXPECT_EQ(mainstate.showcontour, 0);
        EXPECT_EQ(gstate.PlotMode, normal_mode());
    }
    // A pointer straight above the origin leaves the angle as it was.
    regular_grid();
    dat12.rotang = degrees_to_rotang(30);
    move(0.5f, 20.5f);
    press();
    cmd_rotation();
    EXPECT_EQ(dat12.rotang, degrees_to_rotang(30));
    // A MODFLOW grid keeps its origin and angle past a quarter turn.
    regular_grid();
    mainstate.mfgrid = 1;
    move(-35.5f, 34.5f);
    press();
    cmd_rotation();
    EXPECT_EQ(dat12.rotang, degrees_to_rotang(135));
    EXPECT_EQ(dat8.gx0, 0.0f);
    EXPECT_EQ(dat8.nx, 11);
}

TEST_F(ViewCommandTest, LocationSizeDragsTheGridInItsRotatedFrame) {
    regular_grid();
    const float a = degrees_to_rotang(30);
    dat12.rotang = a;
    // From the upper right to the lower left of the rectangle in the
    // rotated frame.
    const float p1[2] = {30, 25}, p2[2] = {5, 3};
    move(p1[0] + 0.5f, p1[1] + 0.5f);
    press();
    move(p2[0] + 0.5f, p2[1] + 0.5f);
    mouse(OS_MOUSE_RELEASE, p2[0] + 0.5f, p2[1] + 0.5f);
    cmd_location_size();
    // The corners in the rotated frame; its lower left is the new origin.
    auto u = [a](const float* p) { return p[0] * std::cos(a) + p[1] * std::sin(a); };
    auto v = [a](const float* p) { return p[1] * std::cos(a) - p[0] * std::sin(a); };
    const double u0 = std::min(u(p1), u(p2)), v0 = std::min(v(p1), v(p2));
    EXPECT_NEAR(dat8.gx0, u0 * std::cos(a) - v0 * std::sin(a), 1e-3);
    EXPECT_NEAR(dat8.gy0, u0 * std::sin(a) + v0 * std::cos(a), 1e-3);
    const double w = std::fabs(u(p1) - u(p2)), h = std::fabs(v(p1) - v(p2));
    EXPECT_NEAR(dat8.gx1 - dat8.gx0, w, 1e-3);
    EXPECT_NEAR(dat8.gy1 - dat8.gy0, h, 1e-3);
    EXPECT_NEAR(dat8.cellsize, std::max(w / 10, h / 5), 1e-4);
    EXPECT_EQ(dat8.nx, 11);
    EXPECT_NEAR(dat8.dx, w / 10, 1e-4);
    EXPECT_EQ(txt_trim(mainstate.gridtexts[TxX0]), txt_trim(edit_f(dat8.gx0, 12, 2)));
    EXPECT_EQ(dat12.rotang, a);
    // An Arc-Info grid from a drag too flat for two rows keeps its grid.
    regular_grid();
    dat18.gridtype = GridArcInfo;
    move(0.5f, 0.5f);
    press();
    move(20.5f, 1.5f);
    mouse(OS_MOUSE_RELEASE, 20.5f, 1.5f);
    cmd_location_size();
    EXPECT_EQ(dat8.gx1, 100.0f);
    EXPECT_EQ(dat8.ny, 6);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("at least 2 points"), std::string::npos) << boxes[0].text;
}

TEST_F(ViewCommandTest, LocationSizeMovesAModflowGridByItsLowerLeftCorner) {
    mainstate.mfgrid = 1;
    dat18.gridtype = GridModflow;
    dat17.delrfile = txt_fixed("delr.txt", TextLength);
    dat17.delcfile = txt_fixed("delc.txt", TextLength);
    dat16.ncol = 2;
    dat16.delr(1) = 10;
    dat16.delr(2) = 20;
    dat16.nrow = 1;
    dat16.delc(1) = 5;
    dat8.gx0 = dat8.gy0 = 0;
    dat8.gx1 = 30;
    dat8.gy1 = 5;
    dat12.rotang = 0;
    move(5.5f, 7.5f);
    move(10.5f, 12.5f);
    press();
    cmd_location_size();
    EXPECT_EQ(dat8.gx0, 10.0f);
    EXPECT_EQ(dat8.gy0, 12.0f);
    // The centres follow the origin; the widths stay.
    EXPECT_EQ(dat16.xcen(1), 15.0f);
    EXPECT_EQ(dat16.xcen(2), 30.0f);
    EXPECT_EQ(dat16.ycen(1), 14.5f);
    EXPECT_EQ(dat8.gx1, 40.0f);
    EXPECT_EQ(dat8.gy1, 17.0f);
    EXPECT_EQ(mainstate.gridtexts[TxX0], edit_f(10, 12, 2));
    EXPECT_EQ(mainstate.showcontour, 0);
}

namespace {

// The commands of the File, Save and Help menus, with a user who answers
// the file dialog with `choice` (an empty choice cancels it).
class FileCommandTest : public MainProgramTest {
protected:
    std::vector<OsCommonDialogRequest> selections;
    std::string choice;

    void SetUp() override {
        MainProgramTest::SetUp();
        os_common_dialog_set_responder([this](const OsCommonDialogRequest& r) {
            selections.push_back(r);
            OsCommonDialogAnswer a;
            a.ok = !choice.empty();
            if (a.ok) a.files = {choice};
            return a;
        });
        start();
        // A name that is not there yet is offered to be created: yes.
        answer = OS_IDYES;
    }
    // The name the dialog gives back: the full path.
    static std::string here(const std::string& name) {
        return (std::filesystem::current_path() / name).string();
    }
    void TearDown() override {
        os_common_dialog_set_responder({});
        MainProgramTest::TearDown();
    }

    // A model of w x h with its lower-left corner at (1000, 2000).
    static void write_model(const std::string& name, int nx, double dx, int ny, double dy) {
        femgen::Options o;
        o.nx = nx;
        o.ny = ny;
        o.x0 = 1000;
        o.y0 = 2000;
        o.dx = dx;
        o.dy = dy;
        ASSERT_TRUE(femgen::write_model(o, name));
    }
};

}  // namespace

TEST_F(FileCommandTest, FemFileLoadsTheModelWithADefaultArcInfoGrid) {
    struct Case {
        int nx;          // lattice of the model
        double dx;
        int ny;
        double dy;
        float cellsize;  // the default grid
        int gnx, gny;
    } cases[] = {
        // The smaller spacing of 100 x 100 points over 1000 x 300.
        {11, 100, 4, 100, 300.0f / 99.0f, 330, 99},
        // 10000 x 100 would need 3300 cells along x: the cell size that
        // keeps within 500 x 500.
        {11, 1000, 2, 100, 20.0f, 500, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gnx);
        write_model("m.fem", c.nx, c.dx, c.ny, c.dy);
        // Left from before: a rotated MODFLOW grid and iso-lines.
        dat8.nx = dat8.ny = 100;
        dat12.rotang = 0.5f;
        mainstate.mfgrid = 1;
        mainstate.plotmode = -1;
        dat18.gridtype = GridModflow;
        choice = "m.fem";
        selections.clear();
        run_command(40001);
        ASSERT_EQ(selections.size(), 1u);
        EXPECT_EQ(selections[0].title, "Read FEM file");
        ASSERT_EQ(selections[0].filters.size(), 1u);
        EXPECT_EQ(selections[0].filters[0].pattern, "*.fem");
        const MainState& m = mainstate;
        EXPECT_EQ(txt_trim(m.femname), here("m.fem"));
        EXPECT_EQ(m.loaded, 1);
        EXPECT_EQ(dat4.nnode, c.nx * c.ny);
        const float w = static_cast<float>((c.nx - 1) * c.dx), h = static_cast<float>((c.ny - 1) * c.dy);
        EXPECT_FLOAT_EQ(dat8.cellsize, c.cellsize);
        EXPECT_EQ(dat8.nx, c.gnx);
        EXPECT_EQ(dat8.ny, c.gny);
        // The grid's points are the cell centres the Arc-Info header gives:
        // xll + (c - 1/2) cellsize along x, yll + (r - 1/2) cellsize along y.
        EXPECT_EQ(dat8.xll, 1000.0f);
        EXPECT_EQ(dat8.yll, 2000.0f);
        EXPECT_FLOAT_EQ(dat8.dx, c.cellsize);
        EXPECT_FLOAT_EQ(dat8.dy, c.cellsize);
        for (int i = 1; i <= c.gnx; ++i)
            ASSERT_NEAR(grid_x(i), 1000.0 + (i - 0.5) * c.cellsize, 1e-3 * c.cellsize) << i;
        for (int j = 1; j <= c.gny; ++j)
            ASSERT_NEAR(grid_y(j), 2000.0 + (j - 0.5) * c.cellsize, 1e-3 * c.cellsize) << j;
        // Within the model, as the view it was made from.
        EXPECT_LE(grid_x(c.gnx), 1000.0f + w);
        EXPECT_LE(grid_y(c.gny), 2000.0f + h);
        EXPECT_EQ(dat12.rotang, 0.0f);
        EXPECT_EQ(m.gridtexts[TxX0], "     1000.00");
        EXPECT_EQ(m.gridtexts[TxNx], "         100");
        EXPECT_EQ(m.gridtexts[TxCell], edit_f(c.cellsize, 12, 2));
        EXPECT_EQ(m.gridtexts[TxRot], "           0");
        // An Arc-Info grid with filled contours, the mesh shown, the head of
        // the first aquifer active.
        EXPECT_EQ(dat18.gridtype, GridArcInfo);
        EXPECT_EQ(m.mfgrid, 0);
        EXPECT_EQ(m.plotmode, 1);
        EXPECT_EQ(m.showcontour, 0);
        EXPECT_EQ(m.showmesh, 1);
        EXPECT_EQ(m.optstate[3], 1);
        EXPECT_EQ(dat5.opton(3), 'j');
        struct Mark {
            int item;
            bool on;
        } marks[] = {{40012, true}, {40011, false}, {40010, false}, {40015, true}, {40016, false}, {40023, true}};
        for (const Mark& k : marks) EXPECT_EQ(checked(k.item), k.on) << k.item;
        for (int id : ModelSet) EXPECT_TRUE(enabled(id)) << id;
        EXPECT_EQ(os_get_window_text(root()), "Zeltramo 2.1  " + here("m.fem"));
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileCommandTest, FemFileThatLoadsNothingKeepsTheModel) {
    write_model("m.fem", 5, 100, 5, 100);
    write_file("bad.fem", "not a model\n");
    choice = "m.fem";
    run_command(40001);
    ASSERT_EQ(mainstate.loaded, 1);
    dat8.nx = 40;
    dat18.gridtype = GridSurfer;
    WMenuSetState(40011, 2, 1);
    const std::uint32_t mesh = mesh_generation;
    struct Case {
        const char* choice;   // "" cancels
        const char* message;  // the box that reports it, "" none
        const char* caption;  // its caption
    } cases[] = {{"", "", ""},
                 // A model that is not there is refused by the file dialog
                 // itself: it is never offered to be created.
                 {"gone.fem", "File not found.", "Read FEM file"},
                 {"bad.fem", "", "Zeltramo"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        choice = c.choice;
        boxes.clear();
        run_command(40001);
        EXPECT_EQ(txt_trim(mainstate.femname), here("m.fem"));
        EXPECT_EQ(mesh_generation, mesh);
        EXPECT_EQ(dat4.nnode, 25);
        EXPECT_EQ(dat8.nx, 40);
        EXPECT_EQ(dat18.gridtype, GridSurfer);
        EXPECT_TRUE(checked(40011));
        EXPECT_TRUE(enabled(40005));
        if (*c.choice == 0) {
            EXPECT_TRUE(boxes.empty());
        } else {
            ASSERT_FALSE(boxes.empty());
            for (const auto& b : boxes) EXPECT_EQ(b.text.find("create it"), std::string::npos) << b.text;
            if (*c.message) {
                EXPECT_NE(boxes.back().text.find(c.message), std::string::npos) << boxes.back().text;
            }
            EXPECT_EQ(boxes.back().caption, c.caption);
        }
    }
    // Nothing loaded before: a cancelled selection leaves the program
    // without a model.
    QuindaTest::SetUp();
    reset_main_state();
    reset_app_data();
    start();
    choice.clear();
    run_command(40001);
    EXPECT_EQ(mainstate.loaded, 0);
    EXPECT_FALSE(enabled(40005));
    EXPECT_TRUE(txt_blank(mainstate.femname));
}

TEST_F(FileCommandTest, FemFileOnAModelTooFlatForAGridKeepsTheGrid) {
    // 100000 x 100: at most 500 cells along x leaves none along y.
    write_model("flat.fem", 11, 10000, 2, 100);
    dat8.nx = dat8.ny = 100;
    dat8.gx1 = 77;
    choice = "flat.fem";
    run_command(40001);
    EXPECT_EQ(mainstate.loaded, 1);
    EXPECT_EQ(dat4.nnode, 22);
    EXPECT_EQ(dat8.nx, 100);
    EXPECT_EQ(dat8.gx1, 77.0f);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("fewer than 2 grid points"), std::string::npos) << boxes[0].text;
}

TEST_F(FileCommandTest, TwoFileWritesOnlyWhatWasCalculatedForThisModelAndGrid) {
    write_model("m.fem", 5, 100, 5, 100);
    choice = "m.fem";
    run_command(40001);
    // Nothing calculated yet: said, and no file is asked for or written.
    choice = "out.grd";
    selections.clear();
    run_command(40027);
    EXPECT_TRUE(selections.empty());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("Calculation"), std::string::npos) << boxes[0].text;
    EXPECT_FALSE(std::filesystem::exists("out.grd"));
    // Calculated: the Arc-Info grid is written under the chosen name.
    run_command(40006);
    run_command(40027);
    ASSERT_EQ(selections.size(), 1u);
    EXPECT_EQ(selections[0].title, "Save grid");
    EXPECT_EQ(selections[0].filters[0].pattern, "*.grd");
    EXPECT_EQ(txt_trim(mainstate.gridname), here("out.grd"));
    ASSERT_TRUE(std::filesystem::exists("out.grd"));
    EXPECT_EQ(read_file("out.grd").substr(0, 5), "NCOLS");
    // A cancelled selection keeps the name and writes nothing.
    std::filesystem::remove("out.grd");
    choice.clear();
    run_command(40027);
    EXPECT_EQ(txt_trim(mainstate.gridname), here("out.grd"));
    EXPECT_FALSE(std::filesystem::exists("out.grd"));
    // A grid changed since: the values are of the grid before.
    struct Change {
        const char* what;
        std::function<void()> make;
    } changes[] = {
        {"count", [] { dat8.nx -= 1; }},
        {"rotation", [] { dat12.rotang = 0.1f; }},
        {"type", [] { dat18.gridtype = GridSurfer; }},
        {"model", [] { ++mesh_generation; }},
    };
    choice = "out.grd";
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        run_command(40006);
        c.make();
        boxes.clear();
        run_command(40027);
        EXPECT_EQ(boxes.size(), 1u);
        EXPECT_FALSE(std::filesystem::exists("out.grd"));
    }
}

TEST_F(FileCommandTest, TwoFileOfAModflowGridSaysSoWhileItWrites) {
    write_model("m.fem", 5, 100, 5, 100);
    choice = "m.fem";
    run_command(40001);
    // Three columns and two rows over the model.
    mainstate.mfgrid = 1;
    dat18.gridtype = GridModflow;
    dat18.roworder = 2;
    dat8.gx0 = 1000;
    dat8.gy0 = 2000;
    dat16.ncol = 3;
    dat16.nrow = 2;
    for (int i = 1; i <= 3; ++i) {
        dat16.delr(i) = 100;
        dat16.xcen(i) = 1000 + 100 * (i - 0.5f);
    }
    for (int j = 1; j <= 2; ++j) {
        dat16.delc(j) = 100;
        dat16.ycen(j) = 2000 + 100 * (j - 0.5f);
    }
    run_command(40006);
    // Without a model shown the notice stays in the window for a look.
    mainstate.loaded = 0;
    backcol(15, 1);
    choice = "mf.txt";
    run_command(40027);
    ASSERT_TRUE(std::filesystem::exists("mf.txt"));
    const auto lines = crlf_lines(read_file("mf.txt"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "         3         2");
    const std::string png = std::filesystem::temp_directory_path().string() + "/zeltramo-2file-notice.png";
    ASSERT_TRUE(os_grab_window_png(root(), png));
    // The notice's text is dark on the white window, its base line at
    // (500, 400) of 0..9999 from the top left.
    const OsPoint size = os_surface_size(client());
    int dark = 0;
    for (int y = size.y * 4 / 100 - 15; y < size.y * 4 / 100 + 5; ++y)
        for (int x = size.x / 20; x < size.x / 20 + 150; ++x)
            if ((AppWindowTest::pixel(x, y) & 0xFF) < 100) ++dark;
    EXPECT_GT(dark, 20);
}

TEST_F(FileCommandTest, HelpNeedsAModelNameAndTheHelpFile) {
    struct Case {
        const char* femname;
        bool help_file;
        bool box;
    } cases[] = {{"", true, true}, {"m.fem", false, true}, {"m.fem", true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.femname << c.help_file);
        std::filesystem::remove("zeltramo.hlp");
        if (c.help_file) write_file("zeltramo.hlp", "?_\x03\x00");
        mainstate.femname = txt_fixed(c.femname, TextLength);
        boxes.clear();
        help_state.last_mode = 0;
        // As the loop runs commands: with lname taken from the model name.
        os_input_menu(root(), {{12, 0}, true});
        run_queue();
        if (c.box) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, "No help available");
            EXPECT_EQ(boxes[0].caption, "Missing ZELTRAMO.HLP");
            EXPECT_EQ(boxes[0].style, OS_MB_OK);
            EXPECT_EQ(help_state.last_mode, 0);
        } else {
            // The help file at its contents (there is no contents file).
            EXPECT_EQ(help_state.last_mode, HelpContentsOnly);
            for (const auto& b : boxes) EXPECT_NE(b.caption, "Missing ZELTRAMO.HLP");
        }
    }
}

TEST_F(FileCommandTest, AboutEndsOnItsOkButtonNotOnAClickInTheMap) {
    // While the box is up the user clicks the map (first value 1, as the OK
    // button's id), types a key, then presses OK.
    static std::string line;
    static int waits = 0;
    line.clear();
    waits = 0;
    os_set_wait_script([] {
        const OsHandle d = yycurrentdialog();
        if (!d || waits++ > 0) return;
        line = os_get_window_text(os_get_dlg_item(d, 1044));
        os_grab_window_png(d, std::filesystem::temp_directory_path().string() + "/zeltramo-about.png");
        DialogScript::click(wtab.hClient[0]);
        os_input_key(wtab.hClient[0], 'a', 0);
        DialogScript::click(os_get_dlg_item(d, 1));
    });
    run_command(40031);
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(line, "maximum number of nodes 45000");
    EXPECT_LE(yydialogfind(105), 0) << "unloaded";
    // The button press was what ended it: the key pressed between the
    // click and the press was passed over, not left waiting.
    for (;;) {
        std::int32_t type = -1;
        WindowMessage m;
        wmessagepeek(type, m);
        if (type == -1) break;
        EXPECT_NE(type, MsgKey);
    }
    os_set_wait_script({});
}

TEST_F(FileCommandTest, GridMenuMarksFollowEachGridCommand) {
    write_model("m.fem", 5, 100, 5, 100);
    choice = "m.fem";
    run_command(40001);
    write_file("delr", "100 100 100\n");
    write_file("delc", "100 100\n");
    struct Case {
        const char* what;
        int popup_item;          // in Grid (position 4), 0-based; -1: Plot > Iso-lines
        int button;
        std::function<void()> before;
        int gridtype;
        int marked;              // the grid type's item that is checked
        bool filled, iso, iso_enabled;
        std::size_t boxes;
    } cases[] = {
        {"Surfer", 0, 1, {}, GridSurfer, 40011, true, false, true, 0},
        {"Iso-lines", -1, 0, {}, GridSurfer, 40011, false, true, true, 0},
        {"Arc-Info", 1, 1, {}, GridArcInfo, 40012, true, false, false, 0},
        // Without DELR and DELC files there is no MODFLOW grid: said, and
        // the marks stay with the grid that stays.
        {"MODFLOW without files", 2, 1, {}, GridArcInfo, 40012, true, false, false, 1},
        {"MODFLOW", 2, 1,
         [] {
             dat17.delrfile = txt_fixed("delr", TextLength);
             dat17.delcfile = txt_fixed("delc", TextLength);
         },
         GridModflow, 40010, true, false, false, 0},
        // Cancel keeps what the command did before its dialog.
        {"Surfer cancelled", 0, 2, {}, GridSurfer, 40011, true, false, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.before) c.before();
        boxes.clear();
        ScopedDialogScript user({{c.button}});
        if (c.popup_item < 0) os_input_menu(root(), {{9, 1}, true});
        else os_input_menu(root(), {{3, c.popup_item}, true});
        run_queue();
        EXPECT_EQ(dat18.gridtype, c.gridtype);
        EXPECT_EQ(mainstate.mfgrid, c.gridtype == GridModflow ? 1 : 0);
        for (int item : {40010, 40011, 40012}) EXPECT_EQ(checked(item), item == c.marked) << item;
        EXPECT_EQ(checked(40015), c.filled);
        EXPECT_EQ(checked(40016), c.iso);
        EXPECT_EQ(enabled(40016), c.iso_enabled);
        EXPECT_EQ(boxes.size(), c.boxes);
    }
}

namespace {

// The user at the Options dialog: at every wait the boxes are looked at,
// the boxes of `ticks` for that wait are ticked by hand and the next button
// is pressed (OK once they are used up).
struct OptionsUser {
    std::vector<int> answers;
    std::vector<std::vector<int>> ticks;              // GridOptions, per wait
    std::vector<std::vector<int>> checked_after;      // checked GridOptions at each wait
    std::vector<int> hidden;                          // GridOptions hidden at the first wait

    void step() {
        const OsHandle d = yycurrentdialog();
        if (!d) return;
        auto box = [d](int k) { return os_get_dlg_item(d, optfield(k)); };
        std::vector<int> on;
        for (int k = 0; k < 52; ++k)
            if (os_send_message(box(k), BM_GETCHECK, 0, 0) == 1) on.push_back(k);
        if (checked_after.empty())
            for (int k = 0; k < 52; ++k)
                if (!os_is_window_visible(box(k))) hidden.push_back(k);
        const std::size_t at = checked_after.size();
        checked_after.push_back(on);
        if (at < ticks.size())
            for (int k : ticks[at])
                if (os_send_message(box(k), BM_GETCHECK, 0, 0) != 1) DialogScript::click(box(k));
        DialogScript::click(os_get_dlg_item(d, at < answers.size() ? answers[at] : 1));
    }
    void run() {
        os_set_wait_script([this] { step(); });
        run_command(40005);
        os_set_wait_script({});
    }
};

std::vector<int> every(int first, int step, int last) {
    std::vector<int> v;
    for (int k = first; k <= last; k += step) v.push_back(k);
    return v;
}

}  // namespace

TEST_F(MainProgramTest, OptionsButtonsSetTheBoxesOfTheModelsAquifers) {
    start();
    struct Case {
        int naq, button;
        std::vector<int> checked;
    } cases[] = {
        {17, 1060, every(0, 1, 51)}, {17, 1062, every(0, 3, 51)}, {17, 1063, every(2, 3, 50)},
        {17, 1064, every(1, 3, 49)}, {2, 1060, every(0, 1, 6)},   {2, 1062, {0, 3, 6}},
        {2, 1063, {2, 5}},           {2, 1064, {1, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.naq << " " << c.button);
        dat4.naq = c.naq;
        OptionsUser user;
        // The button, then its "No" twin, which clears what the first set.
        const int twin = c.button == 1060 ? 1061 : c.button + 3;
        user.answers = {c.button, twin, 1};
        user.run();
        ASSERT_EQ(user.checked_after.size(), 3u);
        EXPECT_TRUE(user.checked_after[0].empty());
        EXPECT_EQ(user.checked_after[1], c.checked);
        EXPECT_TRUE(user.checked_after[2].empty());
        EXPECT_EQ(user.hidden, every(3 * c.naq + 1, 1, 51));
        EXPECT_LE(yydialogfind(102), 0) << "unloaded";
    }
}

TEST_F(MainProgramTest, OptionsOkTakesTheBoxesAndTheLeakageSwitch) {
    start();
    // FEM file made the head of the first aquifer active; the dialog opens
    // with every box clear, so OK alone switches it off.
    dat4.naq = 2;
    dat5.opton(3) = 'j';
    mainstate.optstate[3] = 1;
    dat5.opton(20) = 'j';   // beyond the model's aquifers: kept
    mainstate.showcontour = 1;
    OptionsUser ok;
    ok.answers = {1};
    ok.run();
    EXPECT_EQ(dat5.opton(3), 'n');
    EXPECT_EQ(dat5.opton(20), 'j');
    EXPECT_EQ(mainstate.showcontour, 0);
    EXPECT_EQ(mainstate.selflags, 2);
    // "All heads active", a box ticked by hand that the next refill clears,
    // then the box of the first aquifer's transmissivity ticked and OK.
    OptionsUser heads;
    heads.answers = {1062, 1};
    heads.ticks = {{1}, {2}};
    heads.run();
    for (int k = 0; k <= 6; ++k) {
        const bool on = k == 0 || k == 2 || k == 3 || k == 6;
        EXPECT_EQ(dat5.opton(k), on ? 'j' : 'n') << k;
        EXPECT_EQ(mainstate.optstate[static_cast<std::size_t>(k)], on ? 1 : 0) << k;
    }
    EXPECT_EQ(heads.checked_after[1], (std::vector<int>{0, 3, 6}));
    // The leakage box shows the switch and OK takes it back.
    leakage.leak = 1;
    std::int32_t shown = -1;
    os_set_wait_script([&shown] {
        const OsHandle d = yycurrentdialog();
        if (!d) return;
        const OsHandle leak = os_get_dlg_item(d, 1113);
        shown = static_cast<std::int32_t>(os_send_message(leak, BM_GETCHECK, 0, 0));
        DialogScript::click(leak);
        DialogScript::click(os_get_dlg_item(d, 1));
    });
    run_command(40005);
    os_set_wait_script({});
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(leakage.leak, 0);
    // No aquifers: nothing is hidden, OK reads box 0 and the leakage box.
    dat4.naq = 0;
    dat5.opton(3) = 'j';
    OptionsUser none;
    none.ticks = {{0}};
    none.run();
    EXPECT_TRUE(none.hidden.empty());
    EXPECT_EQ(dat5.opton(0), 'j');
    EXPECT_EQ(dat5.opton(3), 'j');
}

TEST_F(FileCommandTest, ModflowBrowseButtonsChooseTheFiles) {
    write_model("m.fem", 5, 100, 5, 100);
    choice = "m.fem";
    run_command(40001);
    write_file("widths.txt", "100 100 100\n");
    write_file("heights.txt", "50 50\n");
    dat17.delrfile = txt_fixed("old-delr", TextLength);
    // Browse for the widths, Browse for the heights but cancel, then OK.
    std::vector<std::string> answers = {"widths.txt", "heights.txt", ""};
    os_common_dialog_set_responder([&](const OsCommonDialogRequest& r) {
        selections.push_back(r);
        OsCommonDialogAnswer a;
        const std::string f = answers.front();
        answers.erase(answers.begin());
        a.ok = !f.empty();
        if (a.ok) a.files = {f};
        return a;
    });
    selections.clear();
    ScopedDialogScript user({{1053}, {1054}, {1054}, {1}});
    run_command(40010);
    ASSERT_EQ(selections.size(), 3u);
    EXPECT_EQ(selections[0].title, "Read DELR file");
    EXPECT_EQ(selections[1].title, "Read DELC file");
    EXPECT_EQ(selections[0].filters[0].pattern, "*.*");
    // The names the dialog showed went into its fields and back.
    EXPECT_EQ(txt_trim(dat17.delrfile), here("widths.txt"));
    // The cancelled second choice keeps the first.
    EXPECT_EQ(txt_trim(dat17.delcfile), here("heights.txt"));
    EXPECT_EQ(dat16.ncol, 3);
    EXPECT_EQ(dat16.nrow, 2);
    EXPECT_EQ(dat18.gridtype, GridModflow);
}

TEST_F(FileCommandTest, MakeWmfThenPrint) {
    write_model("m.fem", 5, 100, 5, 100);
    choice = "m.fem";
    run_command(40001);
    // A cancelled name makes no metafile.
    choice.clear();
    run_command(40013);
    EXPECT_FALSE(std::filesystem::exists("map.wmf"));
    choice = "map.wmf";
    selections.clear();
    run_command(40013);
    ASSERT_EQ(selections.size(), 1u);
    EXPECT_EQ(selections[0].title, "Name of WMF file");
    ASSERT_TRUE(std::filesystem::exists("map.wmf"));
    EXPECT_GT(std::filesystem::file_size("map.wmf"), 100u);
    // The printer is selected again: Print confirmed makes a print job of
    // its own (the PDF printer), not a picture on the clipboard.
    os_common_dialog_set_responder([](const OsCommonDialogRequest& r) {
        OsCommonDialogAnswer a;
        a.ok = true;
        a.page = r.page;
        return a;
    });
    run_command(40041);
    EXPECT_TRUE(std::filesystem::exists("Zeltramo Print.pdf"));
}
