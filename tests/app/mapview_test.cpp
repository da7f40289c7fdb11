// The map view: what plot draws, in which order, and the view it leaves.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/contour.h"
#include "app/griddef.h"
#include "app/legend.h"
#include "app/mapview.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/grinfo.h"
#include "lib/graphics/gstate.h"
#include "lib/pgraph/pgstate.h"
#include "lib/window/rootwin.h"
#include "tests/app/app_test.h"

namespace {

class MapViewTest : public AppDrawTest {
protected:
    void SetUp() override {
        AppDrawTest::SetUp();
        igrcolourmodel(24);
        square_model();
        driver.clear();
    }
    // The packed colour of each colour change on the screen side, in order,
    // with repeats of the same colour dropped.
    std::vector<std::int32_t> colours() const {
        std::vector<std::int32_t> c;
        for (const DriverCall* call : driver.find(ScreenSide, OpColour)) {
            const std::int32_t v = call->state.CurrentColour.rgb();
            if (c.empty() || c.back() != v) c.push_back(v);
        }
        return c;
    }
    std::size_t first(std::int32_t colour) const {
        const auto c = colours();
        return static_cast<std::size_t>(std::find(c.begin(), c.end(), colour) - c.begin());
    }
    std::size_t count_ops(std::int32_t op, std::int32_t colour) const {
        std::size_t n = 0;
        for (const DriverCall* c : driver.find(ScreenSide, op))
            if (c->state.CurrentColour.rgb() == colour) ++n;
        return n;
    }
};

TEST_F(MapViewTest, NothingLoadedDrawsNothing) {
    const Dat9 before = dat9;
    plot(1, 1, 1, 1, 1, 0, 0, 0, 0);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(dat9.vxmax, before.vxmax);
}

TEST_F(MapViewTest, OrderOfComposition) {
    plot(1, 1, 0, 1, 1, 0, 1, 0, 0);
    const std::int32_t outline = wrgb(90, 90, 90), mesh = wrgb(200, 190, 30), points = 245, frame = 0;
    const auto c = colours();
    ASSERT_LT(first(outline), c.size());
    EXPECT_LT(first(outline), first(mesh));
    // Contours in the ramp's colours and the legend's grey come after the mesh.
    EXPECT_LT(first(mesh), first(wrgb(200, 200, 200)));
    EXPECT_LT(first(wrgb(200, 200, 200)), first(points));
    EXPECT_LT(first(points), c.size());
    EXPECT_EQ(c.back(), frame);
    // The outline is four lines and the mesh two triangles of three.
    EXPECT_EQ(count_ops(OpLine, outline), 4u);
    EXPECT_EQ(count_ops(OpLine, mesh), 6u);
    EXPECT_EQ(count_ops(OpPoint, points), 25u);
    // The map's area and units stay set for the commands.
    EXPECT_FLOAT_EQ(gstate.ux1, dat9.vxmin);
    EXPECT_FLOAT_EQ(gstate.ux2, dat9.vxmax);
}

TEST_F(MapViewTest, SquareModelInWideWindow) {
    // The window is 200 x 100: the view grows to twice as wide as high.
    plot(0, 1, 0, 0, 0, 0, 1, 0, 0);
    EXPECT_EQ(dat9.vxmin, 0.0f);
    EXPECT_EQ(dat9.vymin, 0.0f);
    EXPECT_EQ(dat9.vymax, 100.0f);
    EXPECT_EQ(dat9.vxmax, 200.0f);
    // The axes cover the model only: the left half of the 0.1..0.9 span.
    EXPECT_FLOAT_EQ(pgstate.PGXRIGHT, 0.5f);
    EXPECT_FLOAT_EQ(pgstate.PGXMAX, 100.0f);
    EXPECT_FLOAT_EQ(pgstate.PGYUPPER, 0.9f);
    // A second redraw in the same window keeps the view.
    plot(0, 1, 0, 0, 0, 0, 1, 0, 0);
    EXPECT_EQ(dat9.vxmax, 200.0f);
    EXPECT_EQ(dat9.vymax, 100.0f);
}

TEST_F(MapViewTest, DrawableTooNarrowForItsRatio) {
    // 1 x 300 pixels: the ratio reads as 0 and counts as 1 (a = 100).
    surfaces.open_window(0, 1, 300);
    IGrSelect(1, 0);
    plot(0, 1, 0, 0, 0, 0, 1, 0, 0);
    EXPECT_EQ(dat9.vxmax, 100.0f);
    EXPECT_EQ(dat9.vymax, 10000.0f);
}

TEST_F(MapViewTest, NoContoursNoLegend) {
    plot(1, 1, 0, 0, 0, 0, 1, 0, 0);
    // The logo's ribbons are filled in palette colours; the map draws in packed RGB.
    for (const DriverCall& call : driver.calls)
        if (call.op == OpPolygonPattern || call.op == OpPolygonSolid) {
            EXPECT_NE(call.state.ColourModel, 2);
        }
    EXPECT_EQ(count_ops(OpLine, wrgb(200, 200, 200)), 0u);
}

TEST_F(MapViewTest, ContourPassesPerStyle) {
    struct Case {
        int plotmode;
        bool fills, white, ramp_lines;
    } cases[] = {{1, true, true, false}, {-1, false, false, true}, {0, false, true, false}};
    for (const Case& c : cases) {
        driver.clear();
        dat9 = {0, 0, 100, 100};
        plot(c.plotmode, 0, 0, 1, 0, 0, 1, 0, 0);
        // Fills of the bands (the legend's boxes and bars are fills too: look
        // at the band colour of a cell that no legend bar has, level 0's).
        std::size_t band_fills = 0, white = 0, ramp = 0, last_fill = 0, first_white = driver.calls.size();
        for (std::size_t i = 0; i < driver.calls.size(); ++i) {
            const DriverCall& call = driver.calls[i];
            if (call.state.ColourModel != 2) continue;  // the logo, in palette colours
            const std::int32_t col = call.state.CurrentColour.rgb();
            if (call.op == OpPolygonPattern || call.op == OpPolygonSolid) {
                ++band_fills;
                last_fill = i;
            }
            if (call.op == OpLine && col == wrgb(255, 255, 255)) {
                ++white;
                first_white = std::min(first_white, i);
            }
            if (call.op == OpLine && col != wrgb(255, 255, 255) && col != wrgb(90, 90, 90) &&
                col != wrgb(200, 200, 200) && col != 0)
                ++ramp;
        }
        EXPECT_EQ(white > 0, c.white) << c.plotmode;
        EXPECT_EQ(ramp > 0, c.ramp_lines) << c.plotmode;
        EXPECT_EQ(band_fills > 20, c.fills) << c.plotmode;
        // With filled contours the white lines come after the filled pass and its legend.
        if (c.fills) {
            EXPECT_GT(first_white, last_fill) << c.plotmode;
        }
    }
}

TEST_F(MapViewTest, ModflowCellsOnlyWithBothFlags) {
    dat16.ncol = 2;
    dat16.nrow = 3;
    for (int i = 1; i <= 2; ++i) {
        dat16.delr(i) = 50;
        dat16.xcen(i) = 25 + 50 * static_cast<float>(i - 1);
    }
    for (int j = 1; j <= 3; ++j) {
        dat16.delc(j) = 20;
        dat16.ycen(j) = 10 + 20 * static_cast<float>(j - 1);
    }
    struct Case {
        int showgridpts, mfgrid;
        std::size_t cell_lines, centres, grid_points;
    } cases[] = {{1, 1, 24, 6, 0}, {1, 0, 0, 0, 25}, {0, 1, 0, 0, 0}};
    for (const Case& c : cases) {
        driver.clear();
        plot(0, 0, 0, 0, c.showgridpts, c.mfgrid, 1, 0, 0);
        EXPECT_EQ(count_ops(OpLine, 240), c.cell_lines) << c.showgridpts << c.mfgrid;
        EXPECT_EQ(count_ops(OpPoint, 16), c.centres) << c.showgridpts << c.mfgrid;
        EXPECT_EQ(count_ops(OpPoint, 245), c.grid_points) << c.showgridpts << c.mfgrid;
    }
}

TEST(MapViewHelpers, LineReset) {
    float x1 = 1, y1 = 2, x2 = 3, y2 = 4;
    linereset(7, 8, x1, y1, x2, y2);
    EXPECT_EQ(x1, 7.0f);
    EXPECT_EQ(y1, 8.0f);
    EXPECT_EQ(x2, 7.0f);
    EXPECT_EQ(y2, 8.0f);
}

}  // namespace
