// The map view: what plot draws, in which order, and the view it leaves.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/contour.h"
#include "app/filecmds.h"
#include "app/griddef.h"
#include "app/legend.h"
#include "app/mainstate.h"
#include "app/mapview.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/grinfo.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/pgraph/pgstate.h"
#include "lib/window/rootwin.h"
#include "platform/os_commondlg.h"
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

// The view grows to the window's proportions, and the axes cover the model
// only: where the view reaches past it to the right, at the top, or both.
TEST_F(MapViewTest, ViewFitsTheWindowAndTheAxesTheModel) {
    struct Case {
        const char* what;
        int window_w, window_h;
        Dat9 view, fitted;
        float right, top;  // end of the axes in the 0.1..0.9 span
    };
    const Case cases[] = {
        {"square model, window twice as wide: the left half of the span", 200, 100, {0, 0, 100, 100},
         {0, 0, 200, 100}, 0.5f, 0.9f},
        {"a view past the model both ways", 200, 200, {0, 0, 160, 160}, {0, 0, 160, 160}, 0.6f, 0.6f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        surfaces.open_window(0, c.window_w, c.window_h);
        IGrSelect(1, 0);
        dat9 = c.view;
        // A second redraw in the same window keeps the view.
        for (int round = 0; round < 2; ++round) {
            plot(0, 1, 0, 0, 0, 0, 1, 0, 0);
            EXPECT_EQ(dat9.vxmin, c.fitted.vxmin);
            EXPECT_EQ(dat9.vymin, c.fitted.vymin);
            EXPECT_EQ(dat9.vxmax, c.fitted.vxmax);
            EXPECT_EQ(dat9.vymax, c.fitted.vymax);
        }
        EXPECT_FLOAT_EQ(pgstate.PGXRIGHT, c.right);
        EXPECT_FLOAT_EQ(pgstate.PGYUPPER, c.top);
        EXPECT_FLOAT_EQ(pgstate.PGXMAX, 100.0f);
        EXPECT_FLOAT_EQ(pgstate.PGYMAX, 100.0f);
    }
}

TEST_F(MapViewTest, DrawableTooNarrowForItsRatio) {
    // 1 x 300 pixels: the ratio reads as 0 and counts as 1 (a = 100).
    surfaces.open_window(0, 1, 300);
    IGrSelect(1, 0);
    plot(0, 1, 0, 0, 0, 0, 1, 0, 0);
    EXPECT_EQ(dat9.vxmax, 100.0f);
    EXPECT_EQ(dat9.vymax, 10000.0f);
}

// Extents on the printed page, as fractions of the drawable: the mesh (the
// model's extent) and the axes' frame (its longest black lines, drawn over
// the whole drawable, whose device window they carry).
struct PageExtent {
    float mesh_x0 = 1, mesh_y0 = 1, mesh_x1 = 0, mesh_y1 = 0;
    float frame_w = 0, frame_h = 0;
};

PageExtent page_extent(const RecordingDriver& driver) {
    std::array<float, 4> page{};
    float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f, frame_w = 0, frame_h = 0;
    for (const DriverCall* c : driver.find(HardcopySide, OpLine)) {
        const float xa = c->args.X[0], xb = c->args.X[1], ya = c->args.Y[0], yb = c->args.Y[1];
        const std::int32_t colour = c->state.CurrentColour.rgb();
        if (colour == wrgb(200, 190, 30)) {
            x0 = std::min({x0, xa, xb});
            x1 = std::max({x1, xa, xb});
            y0 = std::min({y0, ya, yb});
            y1 = std::max({y1, ya, yb});
        } else if (colour == 0) {
            page = c->state.window;
            if (ya == yb) frame_w = std::max(frame_w, std::fabs(xb - xa));
            if (xa == xb) frame_h = std::max(frame_h, std::fabs(yb - ya));
        }
    }
    const float w = page[2] - page[0], h = page[3] - page[1];
    if (w <= 0 || h <= 0) return {};
    return {(x0 - page[0]) / w, (y0 - page[1]) / h, (x1 - page[0]) / w, (y1 - page[1]) / h, frame_w / w, frame_h / h};
}

// Print draws the map for its page: the view as last set, not as the window
// widened it, fitted to the page's proportions. The model then fills the
// page's map area in one direction, and the axes end with the model; the
// screen's view is as before, and printing again gives the same page.
TEST_F(MapViewTest, PrintFitsTheModelToThePage) {
    struct Case {
        const char* what;
        int window_w, window_h;  // pixels
        int page_w, page_h;      // points
        float model_w, model_h;  // fractions of the page a fit to the model fills
    };
    const Case cases[] = {
        {"wide window, portrait page", 200, 100, 600, 800, 0.8f, 0.6f},
        {"tall window, landscape page", 100, 200, 800, 600, 0.6f, 0.8f},
        {"window and page of one shape", 200, 100, 800, 400, 0.4f, 0.8f},
        {"square window, wide page", 200, 200, 900, 300, 0.8f / 3, 0.8f},
    };
    MainState& m = mainstate;
    m.loaded = 1;
    m.showmesh = 1;
    hcstate.PrinterAvailable = 1;
    int page_w = 0, page_h = 0;
    os_common_dialog_set_responder([&](const OsCommonDialogRequest& r) {
        OsCommonDialogAnswer a;
        a.ok = r.kind == OsCommonDialogKind::PageSetup;
        a.page = r.page;
        const double unit = r.page.units == 0 ? 1000.0 / 72.0 : 2540.0 / 72.0;
        a.page.paper_width = static_cast<int>(page_w * unit);
        a.page.paper_height = static_cast<int>(page_h * unit);
        a.page.left = a.page.top = a.page.right = a.page.bottom = 0;
        return a;
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        surfaces.open_window(0, c.window_w, c.window_h);
        IGrSelect(1, 0);
        square_model();
        redraw_view();
        const Dat9 screen = dat9;
        page_w = c.page_w;
        page_h = c.page_h;
        for (int round = 1; round <= 2; ++round) {
            SCOPED_TRACE(round);
            driver.clear();
            igrhardcopyselect(1, DriverWindowsPrinter);
            cmd_print();
            const PageExtent e = page_extent(driver);
            EXPECT_NEAR(e.mesh_x0, 0.1f, 0.01f);
            EXPECT_NEAR(e.mesh_y0, 0.1f, 0.01f);
            EXPECT_NEAR(e.mesh_x1 - e.mesh_x0, c.model_w, 0.01f);
            EXPECT_NEAR(e.mesh_y1 - e.mesh_y0, c.model_h, 0.01f);
            EXPECT_NEAR(e.frame_w, e.mesh_x1 - e.mesh_x0, 0.005f);
            EXPECT_NEAR(e.frame_h, e.mesh_y1 - e.mesh_y0, 0.005f);
            EXPECT_EQ(dat9.vxmin, screen.vxmin);
            EXPECT_EQ(dat9.vymin, screen.vymin);
            EXPECT_EQ(dat9.vxmax, screen.vxmax);
            EXPECT_EQ(dat9.vymax, screen.vymax);
        }
    }
    os_common_dialog_set_responder({});
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
