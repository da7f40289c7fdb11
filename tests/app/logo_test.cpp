#include "app/logo.h"

#include <algorithm>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/gstate.h"
#include "tests/app/app_test.h"
#include "tests/support/graphics_test.h"

namespace {
class LogoTest : public AppDrawTest {};
}  // namespace

// The drawable is twice as broad as high: 200 units across, 100 up; three
// ribbons and the word in the lower left corner, 3 units in.
TEST_F(LogoTest, RibbonsAndWordInTheLowerLeftCornerInSquareUnits) {
    logo();
    EXPECT_EQ(gstate.ux2, 200.0f);
    EXPECT_EQ(gstate.uy2, 100.0f);
    // Packed RGB colours from now on.
    EXPECT_EQ(gstate.ColourModel, 2);
    const auto polys = driver.find(ScreenSide, OpPolygonSolid);
    ASSERT_EQ(polys.size(), 3u);
    struct Extent {
        std::size_t n;
        float x1, y1, x2, y2;
    } want[] = {{45, 0, 1.76f, 5.28f, 3.5f}, {29, 0.88f, 0.01f, 4.40f, 1.75f}, {29, 0.88f, 3.51f, 4.40f, 5.25f}};
    for (std::size_t i = 0; i < 3; ++i) {
        const DriverCall& c = *polys[i];
        EXPECT_EQ(c.px.size(), want[i].n) << i;
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        yye2i(want[i].x1 + 3, want[i].y1 + 3, x1, y1);
        yye2i(want[i].x2 + 3, want[i].y2 + 3, x2, y2);
        EXPECT_NEAR(*std::min_element(c.px.begin(), c.px.end()), x1, 1e-3) << i;
        EXPECT_NEAR(*std::max_element(c.px.begin(), c.px.end()), x2, 1e-3) << i;
        EXPECT_NEAR(*std::min_element(c.py.begin(), c.py.end()), y1, 1e-3) << i;
        EXPECT_NEAR(*std::max_element(c.py.begin(), c.py.end()), y2, 1e-3) << i;
        EXPECT_EQ(c.state.ColourModel, 1) << i;   // palette colours
    }
}

TEST_F(LogoTest, DrawableWithoutHeightRatioKeepsFiniteUnits) {
    attach_fake_graphics(surfaces, driver, 1, 200);
    igrinit();
    IGrSelect(1, 0);
    logo();
    EXPECT_EQ(gstate.ux2, 200.0f);
    EXPECT_EQ(gstate.uy2, 20000.0f);
}
