// The map view as drawn into the root window: band colours where the values
// are, the "calculate grid" note, and a picture of the sample model.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/contour.h"
#include "app/femread.h"
#include "app/griddef.h"
#include "app/interp.h"
#include "app/legend.h"
#include "app/mainstate.h"
#include "app/mapview.h"
#include "app/modflow.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/window/quinda_state.h"
#include "lib/window/rootwin.h"
#include "lib/window/text.h"
#include "lib/window/winops.h"
#include "platform/os_gdi.h"
#include "platform/os_window.h"
#include "tests/app/app_test.h"
#include "tests/app/small_mesh.h"

namespace {

class MapPictureTest : public AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        open();
        igrcolourmodel(24);
    }
    // A model of two triangles over 0..w x 0..h with the view on it.
    static void frame_model(float w, float h) {
        const float xs[4] = {0, w, w, 0}, ys[4] = {0, 0, h, h};
        for (int n = 1; n <= 4; ++n) {
            dat4.xnode(n) = xs[n - 1];
            dat4.ynode(n) = ys[n - 1];
        }
        const int el[2][3] = {{1, 2, 3}, {1, 3, 4}};
        for (int e = 1; e <= 2; ++e)
            for (int c = 1; c <= 3; ++c) dat4.elnode(e, c) = el[e - 1][c - 1];
        dat4.nelem = 2;
        dat4.nnode = 4;
        dat11.extr(1) = w;
        dat11.extr(2) = h;
        dat11.extr(3) = 0;
        dat11.extr(4) = 0;
        dat9 = {0, 0, w, h};
    }
    static std::int32_t pixel_rgb(int x, int y) {
        // The surface's colour is a COLORREF: red in the low byte, as packed RGB.
        return static_cast<std::int32_t>(pixel(x, y) & 0xFFFFFF);
    }
};

// z = a x + b y on a rotated grid, filled: a pixel well inside a band has
// the colour of the band that holds its value.
TEST_F(MapPictureTest, FilledBandsHaveTheColoursOfTheirValues) {
    const float a = 0.8f, b = 0.3f;
    frame_model(100, 100);
    dat8.gx0 = 20;
    dat8.gy0 = 10;
    dat8.nx = 31;
    dat8.ny = 31;
    dat8.dx = 2;
    dat8.dy = 2;
    dat8.gx1 = 80;
    dat8.gy1 = 70;
    dat12.rotang = degrees_to_rotang(20);
    for (int i = 1; i <= 31; ++i)
        for (int j = 1; j <= 31; ++j) {
            float x = 20 + 2 * static_cast<float>(i - 1), y = 10 + 2 * static_cast<float>(j - 1);
            rotate(x, y, 2);
            dat7.gridval(i, j) = a * x + b * y;
        }
    plot(1, 0, 0, 1, 0, 0, 1, 0, 0);
    const int n = numberiso.niso;
    ASSERT_EQ(n, 20);
    const float step = level_table[2] - level_table[1];
    const int height = quinda.window_size[1];
    int checked = 0, wrong = 0;
    for (float u = 22; u < 78; u += 1.7f)
        for (float v = 12; v < 68; v += 1.3f) {
            float x = u, y = v;
            rotate(x, y, 2);
            const float value = a * x + b * y;
            int k = 1;
            while (k < n && value > level_table[k]) ++k;
            // Away from the band's edges, where the white lines and rounding are.
            if (std::fabs(value - level_table[k]) < 0.25f * step || std::fabs(value - level_table[k - 1]) < 0.25f * step)
                continue;
            float xd = 0, yd = 0;
            yye2i(x, y, xd, yd);
            const int px = static_cast<int>(xd), py = height - 1 - static_cast<int>(yd);
            ++checked;
            if (pixel_rgb(px, py) != ncolor(k)) ++wrong;
        }
    EXPECT_GT(checked, 200);
    EXPECT_EQ(wrong, 0) << checked;
}

// The rasteriser's short way for the copy operation leaves the map view as
// its plain way does, pixel for pixel: filled bands with their white lines,
// iso-lines, the mesh and grid points, on a rotated grid with blank values
// and values equal to levels, and the mosaic of an Arc-Info grid.
TEST_F(MapPictureTest, ShortDrawingWayLeavesTheViewAsThePlainWay) {
    auto fill = [](int gridtype) {
        // The view as the model has it: each redraw fits it to the window.
        frame_model(100, 100);
        dat18.gridtype = gridtype;
        dat8.gx0 = 10;
        dat8.gy0 = 5;
        dat8.nx = 47;
        dat8.ny = 39;
        dat8.dx = 1.7f;
        dat8.dy = 2.1f;
        dat8.gx1 = 10 + 46 * 1.7f;
        dat8.gy1 = 5 + 38 * 2.1f;
        dat8.xll = 10;
        dat8.yll = 5;
        dat8.cellsize = 1.7f;
        dat12.rotang = gridtype == GridArcInfo ? 0.0f : degrees_to_rotang(17);
        for (int i = 1; i <= 47; ++i)
            for (int j = 1; j <= 39; ++j) {
                const float x = static_cast<float>(i), y = static_cast<float>(j);
                dat7.gridval(i, j) = std::sin(x * 0.21f) * 30 + y * y * 0.05f + (i % 9 == 0 ? 7.0f : 0.0f);
            }
        // Blank corners, and a run of values on one level.
        dat7.gridval(5, 5) = 1.7E38f;
        dat7.gridval(30, 20) = -1.7E38f;
        for (int j = 25; j <= 30; ++j) dat7.gridval(20, j) = 12.0f;
    };
    struct Case {
        const char* name;
        int gridtype, plotmode, showmesh, showgridpts;
        int coloured;  // at least so many pixels not white
    };
    const Case cases[] = {
        {"filled bands and white lines", GridSurfer, 1, 1, 0, 30000},
        {"iso-lines and grid points", GridSurfer, -1, 1, 1, 5000},
        {"white lines alone", GridSurfer, 0, 0, 0, 1000},
        {"Arc-Info mosaic", GridArcInfo, 1, 1, 0, 30000},
    };
    const int w = quinda.window_size[0], h = quinda.window_size[1];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint32_t> ways[2];
        // Once before, so that both ways find the logo's text as drawn before.
        fill(c.gridtype);
        plot(c.plotmode, c.showmesh, 0, 1, c.showgridpts, 0, 1, 0, 0);
        for (int plain = 0; plain < 2; ++plain) {
            fill(c.gridtype);
            os_plain_drawing(plain == 1);
            plot(c.plotmode, c.showmesh, 0, 1, c.showgridpts, 0, 1, 0, 0);
            os_plain_drawing(false);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) ways[plain].push_back(pixel(x, y));
        }
        ASSERT_EQ(ways[0].size(), ways[1].size());
        int differ = 0, coloured = 0;
        for (std::size_t i = 0; i < ways[0].size(); ++i) {
            if (ways[0][i] != ways[1][i]) ++differ;
            if ((ways[1][i] & 0xFFFFFF) != 0xFFFFFF) ++coloured;
        }
        EXPECT_EQ(differ, 0);
        EXPECT_GT(coloured, c.coloured);
    }
}

// The mesh and the nodal-area outlines of a jittered lattice, whose lines
// are a few pixels long, drawn the short way (each outline as one call)
// and the plain way (line by line, each pixel gathered): the same pixels.
TEST_F(MapPictureTest, MeshAndNodalOutlinesTheShortWayAsThePlainWay) {
    lattice_mesh(41, 33, 2.5f, 0.3f);
    const float w = 100, h = 80;
    dat11.extr(1) = w;
    dat11.extr(2) = h;
    dat11.extr(3) = 0;
    dat11.extr(4) = 0;
    const int ww = quinda.window_size[0], wh = quinda.window_size[1];
    std::vector<std::uint32_t> ways[2];
    // Half the view beyond the model, so that outlines leave the window.
    dat9 = {-w / 2, -h / 2, w / 2, h / 2};
    // Once before, so that both ways find the logo's text as drawn before.
    plot(1, 1, 0, 0, 0, 0, 1, 1, 0);
    for (int plain = 0; plain < 2; ++plain) {
        dat9 = {-w / 2, -h / 2, w / 2, h / 2};
        os_plain_drawing(plain == 1);
        plot(1, 1, 0, 0, 0, 0, 1, 1, 0);
        os_plain_drawing(false);
        for (int y = 0; y < wh; ++y)
            for (int x = 0; x < ww; ++x) ways[plain].push_back(pixel(x, y));
    }
    int differ = 0, grey = 0;
    for (std::size_t i = 0; i < ways[0].size(); ++i) {
        if (ways[0][i] != ways[1][i]) ++differ;
        if ((ways[1][i] & 0xFFFFFF) == 0xC8C8C8) ++grey;
    }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(grey, 2000);
}

// A MODFLOW network, not turned, whose cells are at most two pixels across
// is drawn as the lines between its columns and rows: grabbed before (every
// cell's outline) and after, the pictures look the same, every block of
// 4 x 4 pixels holding nearly the same number of network pixels. Larger or
// turned cells are drawn as outlines, the same pixels.
TEST_F(MapPictureTest, SmallNetworkCellsDrawnAsLinesLookLikeTheirOutlines) {
    struct Case {
        const char* name;
        int n;
        float degrees;
        bool varied, lines;
    } cases[] = {
        {"square cells", 160, 0, false, true},
        {"unequal widths", 250, 0, true, true},
        // Turned lines drawn whole take other pixels than their pieces.
        {"turned", 200, 25, false, false},
        {"cells of several pixels", 30, 10, true, false},
    };
    const int w = quinda.window_size[0], h = quinda.window_size[1];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frame_model(100, 100);
        const std::vector<float> widths = [&] {
            std::vector<float> v;
            const float pattern[4] = {1, 2, 3, 2};
            for (int k = 0; k < c.n; ++k) v.push_back((c.varied ? pattern[k % 4] / 2 : 1.0f) * 100.0f / c.n);
            return v;
        }();
        dat16.ncol = dat16.nrow = c.n;
        for (int k = 1; k <= c.n; ++k) dat16.delr(k) = dat16.delc(k) = widths[static_cast<std::size_t>(k - 1)];
        dat8.gx0 = dat8.gy0 = 0;
        dat12.rotang = degrees_to_rotang(c.degrees);
        int ierr = 0;
        delr_c("", 0, dat16.ncol, dat16.delr, dat8.gx0, dat16.xcen, ierr);
        delr_c("", 0, dat16.nrow, dat16.delc, dat8.gy0, dat16.ycen, ierr);
        // The view and its units, as a redraw leaves them.
        plot(0, 0, 0, 0, 0, 1, 1, 0, 0);
        EXPECT_EQ(network_drawn_as_lines(), c.lines);
        std::vector<std::uint32_t> ways[2];
        for (int plain = 0; plain < 2; ++plain) {
            windowcleararea(0, 0, 9999, 9999);
            if (plain == 1) pltnetw_plain();
            else pltnetw();
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) ways[plain].push_back(pixel(x, y) & 0xFFFFFF);
        }
        const std::uint32_t background = ways[1][0];
        int differ = 0, network = 0, worst = 0;
        for (int by = 0; by + 4 <= h; by += 4)
            for (int bx = 0; bx + 4 <= w; bx += 4) {
                int count[2] = {0, 0};
                for (int y = by; y < by + 4; ++y)
                    for (int x = bx; x < bx + 4; ++x)
                        for (int k = 0; k < 2; ++k)
                            count[k] += ways[k][static_cast<std::size_t>(y * w + x)] != background;
                worst = std::max(worst, std::abs(count[0] - count[1]));
            }
        for (std::size_t i = 0; i < ways[0].size(); ++i) {
            differ += ways[0][i] != ways[1][i];
            network += ways[1][i] != background;
        }
        EXPECT_GT(network, 10000);
        if (!c.lines) {
            EXPECT_EQ(differ, 0);
            continue;
        }
        EXPECT_LE(worst, 2) << differ << " pixels differ";
        EXPECT_LT(differ, network / 100);
    }
}

TEST_F(MapPictureTest, WithoutContoursTheViewAsksForAGrid) {
    frame_model(100, 100);
    plot(1, 1, 0, 0, 0, 0, 1, 0, 0);
    std::int32_t px = 0, py = 0;
    windowunitstopixels(500, 400, px, py);
    int dark = 0;
    for (int x = px; x < px + 80; ++x)
        for (int y = py - 20; y < py + 20; ++y)
            if (pixel_rgb(x, y) == 0) ++dark;
    EXPECT_GT(dark, 20);
}

// The sample model in a root window of a common screen size.
class SamplePictureTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WindowOpen(DefaultWindowFlags | WinStatusBar, 0, 0, 1024, 768, 0, {}, 0, "Zeltramo");
        igrcolourmodel(24);
    }
};

// The sample model with filled contours, iso-lines, mesh, grid points and a
// map layer, grabbed from the root window. QUINDA_WRITE_PICTURES names a
// directory to keep the pictures in.
TEST_F(SamplePictureTest, SampleModelPictures) {
    const std::string samples = std::string(QUINDA_SOURCE_DIR) + "/samples/";
    ASSERT_EQ(leesfem(samples + "demo.fem"), FemLoaded) << (errors().empty() ? "" : errors()[0]);
    TempDir dir;
    const char* keep = std::getenv("QUINDA_WRITE_PICTURES");
    const std::string out = keep ? std::string(keep) : dir.path().string();
    // A layer of two polygons over parts of the model, filled, and one of a line.
    const float x0 = dat11.extr(3), y0 = dat11.extr(4), x1 = dat11.extr(1), y1 = dat11.extr(2);
    const float w = x1 - x0, h = y1 - y0;
    auto pt = [&](float fx, float fy) { return std::to_string(x0 + fx * w) + " " + std::to_string(y0 + fy * h); };
    write_file(dir.file("lake.bln"), "4 1\n" + pt(0.1f, 0.1f) + " " + pt(0.3f, 0.15f) + " " + pt(0.25f, 0.35f) + " " +
                                         pt(0.1f, 0.3f) + "\n");
    write_file(dir.file("river.bln"), "5 1\n" + pt(0, 0.6f) + "\n" + pt(0.3f, 0.7f) + "\n" + pt(0.5f, 0.55f) + "\n" +
                                          pt(0.8f, 0.8f) + "\n" + pt(1, 0.75f) + "\n");
    map_bln.mapon(1) = 1;
    map_bln.mapfile(1) = txt_fixed(dir.file("lake.bln"), TextLength);
    map_bln.mapcol(1) = wrgb(0, 90, 200);
    map_bln.mapwidth(1) = 0;
    map_bln.mapon(2) = 1;
    map_bln.mapfile(2) = txt_fixed(dir.file("river.bln"), TextLength);
    map_bln.mapcol(2) = wrgb(20, 20, 160);
    map_bln.mapwidth(2) = 3;

    dat8.gx0 = x0;
    dat8.gy0 = y0;
    dat8.gx1 = x1;
    dat8.gy1 = y1;
    dat8.nx = 40;
    dat8.ny = 30;
    ASSERT_TRUE(checkgrid(0));
    dat5.opton(6) = 'j';
    mainstate = MainState{};
    mainstate.loaded = 1;
    ASSERT_TRUE(grid(1, 1, 1, 1, 1, 0, 1, 0));
    for (int plotmode : {1, -1}) {
        plot(plotmode, 1, 1, 1, 1, 0, 1, 0, 0);
        const std::string png = out + "/map-" + (plotmode == 1 ? "filled" : "lines") + ".png";
        ASSERT_TRUE(os_grab_window_png(wtab.wWindow[0], png));
        EXPECT_FALSE(read_file(png).empty());
    }
    // The MODFLOW cells of the sample's DELR and DELC files, with their centres.
    int ierr = 0;
    dat8.gx0 = x0;
    dat8.gy0 = y0;
    delr_c(samples + "demo.delr", 1, dat16.ncol, dat16.delr, x0, dat16.xcen, ierr);
    ASSERT_EQ(ierr, 0);
    delr_c(samples + "demo.delc", 1, dat16.nrow, dat16.delc, y0, dat16.ycen, ierr);
    ASSERT_EQ(ierr, 0);
    modflow_grid(1, 0, 1, 1, 1, 1, 1, 0);
    plot(1, 0, 1, 1, 1, 1, 1, 0, 0);
    ASSERT_TRUE(os_grab_window_png(wtab.wWindow[0], out + "/map-modflow.png"));

    // The layer's fill: the middle of the lake polygon has the layer's colour.
    float lx = x0 + 0.2f * w, ly = y0 + 0.22f * h, xd = 0, yd = 0;
    yye2i(lx, ly, xd, yd);
    const std::int64_t p = os_surface_pixel(wtab.hClient[0], static_cast<int>(xd), quinda.window_size[1] - 1 - static_cast<int>(yd));
    EXPECT_EQ(p & 0xFFFFFF, wrgb(0, 90, 200));
}

}  // namespace
