// Grid definition: checkgrid, rotate, chk_origin and the three Grid commands
// (their dialogs answered by a script).
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "app/apphooks.h"
#include "tests/app/dialog_script.h"
#include "app/griddef.h"
#include "app/mainstate.h"
#include "app/modflow.h"
#include "lib/graphics/colours.h"
#include "lib/window/text.h"
#include "lib/window/quinda_state.h"
#include "platform/os_menu.h"
#include "tests/app/app_test.h"

namespace {

int plots = 0;
DialogScript script;

std::string shown(int field) { return script.shown(field); }

class GridDefTest : public AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        plots = 0;
        driver.attach();
        igrcolourmodel(24);
        watch_redraws(driver, plots);
        mainstate.loaded = 1;
        dat11.ext(1) = 0;
        dat11.ext(2) = 0;
        dat11.ext(3) = 1000;
        dat11.ext(4) = 500;
    }
    void TearDown() override {
        script.stop();
        AppWindowTest::TearDown();
    }
    // The user's answers at the command's dialog, which needs the root window.
    void answer(std::vector<DialogStep> steps) {
        if (!wtab.wWindow[0]) open();
        script.start(std::move(steps));
    }
    // The root window with the Grid menu's items: MODFLOW, Surfer and
    // Arc-Info checked, filled contours unchecked, contour lines greyed, so
    // that each command's changes show.
    // The root window; the recording device takes the screen side's place so
    // that the redraws are seen, with packed RGB colours as the map view has them.
    void open(const std::vector<int>& items = {}) {
        AppWindowTest::open(items);
        driver.attach();
        igrcolourmodel(24);
    }
    RecordingDriver driver;
    void open_grid_menu() {
        open({40010, 40011, 40012, 40015, 40016});
        for (int id : {40010, 40011, 40012}) os_check_menu_item(wtab.hMenuRoot[0], static_cast<std::uint32_t>(id), OS_MF_CHECKED);
        os_enable_menu_item(wtab.hMenuRoot[0], 40016, OS_MF_GRAYED);
    }
    TempDir dir_;
};

}  // namespace

TEST_F(GridDefTest, CheckgridForms) {
    dat8.gx0 = 0;
    dat8.gx1 = 100;
    dat8.gy0 = 0;
    dat8.gy1 = 50;
    dat8.nx = 600;
    dat8.ny = 11;
    ASSERT_TRUE(checkgrid(0));
    EXPECT_EQ(dat8.nx, 500);
    EXPECT_EQ(dat8.dx, 100.0f / 499.0f);
    EXPECT_EQ(dat8.dy, 5.0f);

    dat8.xll = 10;
    dat8.yll = 20;
    dat8.cellsize = 4;
    dat8.nx = 3;
    dat8.ny = 2;
    ASSERT_TRUE(checkgrid(1));
    EXPECT_EQ(dat8.gx0, 12.0f);
    EXPECT_EQ(dat8.gy0, 22.0f);
    EXPECT_EQ(dat8.gx1, 20.0f);
    EXPECT_EQ(dat8.gy1, 26.0f);
    EXPECT_EQ(dat8.dx, 4.0f);

    const Dat8 before = dat8;
    EXPECT_TRUE(checkgrid(2));
    dat8.nx = 1;
    EXPECT_FALSE(checkgrid(0));
    EXPECT_EQ(dat8.dx, before.dx);
    EXPECT_EQ(errors().size(), 1u);
}

TEST_F(GridDefTest, RotateThereAndBack) {
    dat8.gx0 = 100;
    dat8.gy0 = 50;
    dat12.rotang = degrees_to_rotang(90);
    float x = 100, y = 60;   // 10 above the origin in the world
    rotate(x, y, 1);
    EXPECT_NEAR(x, 110.0f, 1e-4f);   // turned clockwise into the grid frame
    EXPECT_NEAR(y, 50.0f, 1e-4f);
    rotate(x, y, -1);
    EXPECT_NEAR(x, 100.0f, 1e-4f);
    EXPECT_NEAR(y, 60.0f, 1e-4f);
}

TEST_F(GridDefTest, ChkOriginCases) {
    struct Case { float x0, y0, x1, y1, ex0, ey0, ex1, ey1; } cases[] = {
        {0, 0, 10, 20, 0, 0, 10, 20},     // already the lower-left corner
        {10, 10, 0, 0, 0, 0, 10, 10},     // exchanged
        {10, 10, 0, 20, 0, 10, 10, 20},   // far corner up and left
        {0, 10, 10, 0, 0, 0, 10, 10},     // far corner down and right
    };
    for (const auto& c : cases) {
        float x0 = c.x0, y0 = c.y0, x1 = c.x1, y1 = c.y1;
        chk_origin(x0, y0, x1, y1, 0);
        EXPECT_FLOAT_EQ(x0, c.ex0);
        EXPECT_FLOAT_EQ(y0, c.ey0);
        EXPECT_FLOAT_EQ(x1, c.ex1);
        EXPECT_FLOAT_EQ(y1, c.ey1);
    }
}

TEST_F(GridDefTest, SurferMaxGrid) {
    open_grid_menu();
    answer({{1117, {}}, {1, {}}});
    cmd_surfer();
    EXPECT_EQ(dat8.gx0, 0.0f);
    EXPECT_EQ(dat8.gy0, 0.0f);
    EXPECT_EQ(dat8.gx1, 1000.0f);
    EXPECT_EQ(dat8.gy1, 500.0f);
    EXPECT_EQ(dat8.nx, 500);
    EXPECT_EQ(dat8.ny, 500);
    EXPECT_EQ(dat8.dx, 1000.0f / 499.0f);
    EXPECT_EQ(dat8.dy, 500.0f / 499.0f);
    EXPECT_EQ(dat18.gridtype, GridSurfer);
    EXPECT_EQ(mainstate.mfgrid, 0);
    EXPECT_EQ(mainstate.showcontour, 0);
    EXPECT_EQ(plots, 1);
    EXPECT_EQ(dlgtab.nDialogs, 0);   // the dialog is gone
    // Surfer alone is checked; contour lines are available.
    EXPECT_FALSE(checked(40012));
    EXPECT_FALSE(checked(40010));
    EXPECT_TRUE(checked(40011));
    EXPECT_TRUE(enabled(40016));
    EXPECT_FALSE(checked(40015));
}

TEST_F(GridDefTest, SurferShowsCornersInOrderAndTakesEntries) {
    dat8.gx0 = 100;
    dat8.gx1 = 0;
    dat8.gy0 = 0;
    dat8.gy1 = 50;
    dat8.nx = 5;
    dat8.ny = 5;
    dat12.rotang = degrees_to_rotang(29.6f);
    answer({{1, {{1009, "12.9"}, {1012, "3,5"}, {1004, "abc"}}}});
    cmd_surfer();
    EXPECT_EQ(shown(1001), "        0.00");
    EXPECT_EQ(shown(1006), "      100.00");
    EXPECT_EQ(shown(1027), "          30");   // 29.6 shown in whole degrees
    EXPECT_EQ(dat8.gx0, 0.0f);
    EXPECT_EQ(dat8.gx1, 100.0f);
    EXPECT_EQ(dat8.gy0, 0.0f);   // "abc" leaves it unchanged
    EXPECT_EQ(dat8.nx, 13);      // 12.9 rounded
    EXPECT_EQ(dat8.ny, 4);       // 3.5 rounded away from zero
    EXPECT_EQ(mainstate.gridtexts[TxRot], "          30");
    EXPECT_EQ(dat12.rotang, degrees_to_rotang(30));
}

TEST_F(GridDefTest, SurferCancelAndBadCounts) {
    dat8.gx1 = 10;
    dat8.gy1 = 10;
    dat8.nx = 3;
    dat8.ny = 3;
    dat18.gridtype = GridArcInfo;
    mainstate.mfgrid = 1;
    answer({{2, {}}});
    cmd_surfer();
    EXPECT_EQ(dat18.gridtype, GridSurfer);   // the first steps stay done
    EXPECT_EQ(mainstate.mfgrid, 0);
    EXPECT_EQ(plots, 0);
    EXPECT_EQ(dlgtab.nDialogs, 0);   // the dialog is gone

    // Entries that make no grid are refused with the dialog still up; the
    // user's Cancel then leaves the grid as it was.
    dat18.gridtype = GridArcInfo;
    mainstate.mfgrid = 1;
    answer({{1, {{1009, "1"}, {1001, "7"}}}, {2, {}}});
    cmd_surfer();
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_EQ(dat8.nx, 3);                    // the grid as before the command
    EXPECT_EQ(dat8.gx0, 0.0f);
    EXPECT_EQ(dat8.dx, 5.0f);
    EXPECT_EQ(plots, 0);
    EXPECT_EQ(dlgtab.nDialogs, 0);

    // Or corrects them, and OK takes the corrected grid.
    errors().clear();
    answer({{1, {{1009, "1"}}}, {1, {{1009, "6"}}}});
    cmd_surfer();
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_EQ(dat8.nx, 6);
    EXPECT_EQ(dat8.dx, 2.0f);
    EXPECT_EQ(plots, 1);
    EXPECT_EQ(dlgtab.nDialogs, 0);
}

TEST_F(GridDefTest, ArcInfoMaxGridAndTruncatedCounts) {
    open_grid_menu();
    answer({{1117, {}}, {1, {}}});
    cmd_arcinfo();
    EXPECT_EQ(dat8.cellsize, 2.0f);
    EXPECT_EQ(dat8.nx, 500);
    EXPECT_EQ(dat8.ny, 250);
    EXPECT_EQ(dat8.gx0, 1.0f);
    EXPECT_EQ(dat8.gx1, 999.0f);
    EXPECT_EQ(dat8.gy0, 1.0f);
    EXPECT_EQ(dat8.gy1, 499.0f);
    EXPECT_EQ(dat18.gridtype, GridArcInfo);
    EXPECT_EQ(mainstate.plotmode, 1);
    EXPECT_EQ(plots, 1);
    // Arc-Info alone is checked, with filled contours; contour lines are greyed.
    EXPECT_TRUE(checked(40012));
    EXPECT_FALSE(checked(40011));
    EXPECT_FALSE(checked(40010));
    EXPECT_TRUE(checked(40015));
    EXPECT_FALSE(enabled(40016));

    answer({{1, {{1035, "12.9"}, {1037, "7"}}}});
    cmd_arcinfo();
    EXPECT_EQ(shown(1039), "        2.00");
    EXPECT_EQ(shown(1035), "         500");
    EXPECT_EQ(dat8.nx, 12);
    EXPECT_EQ(dat8.ny, 7);
    EXPECT_EQ(dat8.gx1, 23.0f);
}

TEST_F(GridDefTest, ModflowReadsWidthsAndTurnsTopDownRows) {
    open();
    write_file(dir_.file("delr"), "100 100\n50\n");
    write_file(dir_.file("delc"), "10 20\n");
    dat17.delrfile = txt_fixed(dir_.file("delr"), 80);
    dat17.delcfile = txt_fixed(dir_.file("delc"), 80);
    mainstate.gridtexts[TxX0] = "         0.0";
    mainstate.gridtexts[TxY0] = "         0.0";
    answer({{1, {}}});
    cmd_modflow();
    ASSERT_TRUE(errors().empty());
    EXPECT_EQ(dat18.roworder, 1);
    EXPECT_EQ(dat16.ncol, 3);
    EXPECT_EQ(dat16.xcen(3), 225.0f);
    EXPECT_EQ(dat8.gx1, 250.0f);
    EXPECT_EQ(dat16.nrow, 2);
    EXPECT_EQ(dat16.delc(1), 20.0f);
    EXPECT_EQ(dat16.delc(2), 10.0f);
    EXPECT_EQ(dat16.ycen(1), 10.0f);
    EXPECT_EQ(dat16.ycen(2), 25.0f);
    EXPECT_EQ(dat8.gy1, 30.0f);
    EXPECT_EQ(dat8.nx, 4);
    EXPECT_EQ(dat8.ny, 3);
    EXPECT_EQ(dat8.dx, 250.0f / 3.0f);
    EXPECT_EQ(mainstate.mfgrid, 1);
    EXPECT_EQ(dat18.gridtype, GridModflow);
    EXPECT_EQ(plots, 1);

    // Again without a DELC file: the heights kept are not turned a second time.
    dat17.delcfile = std::string(80, ' ');
    answer({{1, {}}});
    cmd_modflow();
    EXPECT_EQ(dat16.delc(1), 20.0f);
    EXPECT_EQ(dat16.ycen(2), 25.0f);

    // Bottom-up order.
    dat17.delcfile = txt_fixed(dir_.file("delc"), 80);
    answer({{2, {}, 1056}});
    cmd_modflow();
    EXPECT_EQ(dat18.roworder, 2);
    EXPECT_EQ(dat16.delc(1), 10.0f);
    EXPECT_EQ(dat16.ycen(2), 20.0f);
}

TEST_F(GridDefTest, ModflowWithBadFilesLeavesTheGridAsItWas) {
    answer({{1, {}}});
    cmd_modflow();   // no files named and no grid yet
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_EQ(mainstate.mfgrid, 0);

    write_file(dir_.file("delr"), "100 100 50");
    write_file(dir_.file("bad"), "10 twenty");
    dat17.delrfile = txt_fixed(dir_.file("delr"), 80);
    dat17.delcfile = txt_fixed(dir_.file("bad"), 80);
    dat8.gx0 = 7;
    dat18.gridtype = GridSurfer;
    errors().clear();
    answer({{1, {{1049, "300"}}}});
    cmd_modflow();
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_EQ(dat16.ncol, 0);
    EXPECT_EQ(dat16.xcen(1), 0.0f);
    EXPECT_EQ(dat8.gx0, 7.0f);
    EXPECT_EQ(dat18.gridtype, GridSurfer);
    EXPECT_EQ(mainstate.mfgrid, 0);
    EXPECT_EQ(plots, 0);
    EXPECT_EQ(dlgtab.nDialogs, 0);   // the dialog is gone
}
