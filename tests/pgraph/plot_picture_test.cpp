// Plot frames drawn on the real root window through the screen device. Each
// picture must put ink in the frame and in the margins where its scales
// belong; with QUINDA_WRITE_PICTURES set to a directory the pictures are
// also written there as PNG files to look at.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/text.h"
#include "lib/pgraph/pgraph.h"
#include "lib/window/rootwin.h"
#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

namespace {

constexpr int W = 480, H = 360;

class PlotPictureTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        WindowOpen(DefaultWindowFlags | WinHidden, 0, 0, W, H);
        ASSERT_NE(wtab.wWindow[0], 0);
        igrcolourmodel(24);
        IGrColourN(0);
    }
    static int ink(int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (os_surface_pixel(wtab.hClient[0], x, y) != 0xFFFFFF) ++n;
        return n;
    }
    void keep(const std::string& name) {
        const char* dir = std::getenv("QUINDA_WRITE_PICTURES");
        if (dir == nullptr) return;
        EXPECT_TRUE(os_grab_window_png(wtab.wWindow[0], std::string(dir) + "/" + name + ".png"));
    }
    // Ink on the plot frame, in the margin below it and left of it (pixel
    // rows count from the top).
    void expect_frame_and_margins() {
        EXPECT_GT(ink(W / 10 - 1, H / 10, W * 9 / 10, H * 9 / 10 + 1), 0);
        EXPECT_GT(ink(W / 10, H * 9 / 10 + 2, W * 9 / 10, H), 0);
        EXPECT_GT(ink(0, H / 10, W / 10 - 2, H * 9 / 10), 0);
    }
};

TEST_F(PlotPictureTest, MapStyleScalesOverWorldUnits) {
    IGrUnits(121000, 440000, 135000, 451000);
    ipgunits(121000, 440000, 135000, 451000);
    ipgaxes();
    ipgxscale("ni");
    ipgyscaleleft("Ni");
    expect_frame_and_margins();
    keep("map");
}

TEST_F(PlotPictureTest, ProfileStyleScales) {
    IGrUnits(0, 0, 1, 1);
    ipgunits(0, -12.5f, 4800, 3.2f);
    ipgaxes();
    ipgxtickpos(1, -1);
    ipgxscale("NT");
    ipgyscaleleft("NT");
    expect_frame_and_margins();
    keep("profile");
}

TEST_F(PlotPictureTest, LogarithmicAxis) {
    ipgscaling("LOG", "LOG");
    ipgunits(1, 0.01f, 1000, 100);
    ipgaxes();
    ipgxscale("NT");
    ipgyscaleleft("NT");
    ipgscaling("LIN", "LIN");
    expect_frame_and_margins();
    keep("log");
}

TEST_F(PlotPictureTest, BoxWithFilledWallsAndItsScales) {
    const std::array<std::int32_t, 2> counts{5, 4};
    ipgnewplot1(5, 1, counts, 1, 1);
    ipgunits(0, 0, 40, 30);
    IPgUnitsZ(0, 100);
    ipgaxes();
    ipgxscale("NT");
    ipgyscaleleft("NT");
    ipgzscale("NT");
    EXPECT_GT(ink(W / 10, H / 10, W * 9 / 10, H * 9 / 10), 1000);
    keep("box3d");
}

TEST_F(PlotPictureTest, PolarPlot) {
    ipgnewplot1(4, 1, 1, 64);
    IPgUnitsPolar(10);
    ipgunits(-10, -10, 10, 10);
    ipgaxes();
    ipgxscale("NT");
    ipgyscaleleft("NT");
    EXPECT_GT(ink(W / 10, H / 10, W * 9 / 10, H * 9 / 10), 0);
    keep("polar");
}

TEST_F(PlotPictureTest, CellRow) {
    ipgnewplot1(9, 4, 3, 8);
    IGrColourN(wrgb(200, 220, 255));
    IGrColourN(0);
    ipgaxes();
    const std::array<std::string_view, 4> sets{"Head", "Leakance", "Transm.", "Flux"};
    const std::array<std::string_view, 3> rows{"Layer 1", "Layer 2", "Layer 3"};
    ipgxtext(sets, 4);
    ipgytextleft(rows, 3);
    expect_frame_and_margins();
    keep("cellrow");
}

}  // namespace
