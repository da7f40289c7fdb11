#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "lib/graphics/areas.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/window/errors.h"
#include "tests/support/graphics_test.h"

class Areas : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        igrinit();
        driver.clear();
    }
};

TEST_F(Areas, WholeDrawableOf400By300) {
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    const GraphicsState& g = gstate;
    EXPECT_FLOAT_EQ(g.wx1, 0.0f);
    EXPECT_FLOAT_EQ(g.wy1, 0.0f);
    EXPECT_FLOAT_EQ(g.wx2, 399.99f);
    EXPECT_FLOAT_EQ(g.wy2, 299.99f);
    EXPECT_EQ(g.ix1, 0);
    EXPECT_EQ(g.iy1, 0);
    EXPECT_EQ(g.ix2, 399);
    EXPECT_EQ(g.iy2, 299);
    EXPECT_EQ(g.iclip_width, 400);
    EXPECT_EQ(g.iclip_height, 300);
    EXPECT_FLOAT_EQ(g.clip_box[0], -0.001f);
    EXPECT_FLOAT_EQ(g.clip_box[1], -0.001f);
    EXPECT_FLOAT_EQ(g.clip_box[2], 399.991f);
    EXPECT_FLOAT_EQ(g.clip_box[3], 299.991f);
    EXPECT_FLOAT_EQ(g.area_size_x, 399.99f);
    EXPECT_FLOAT_EQ(g.aspect_ratio, 400.0f / 300.0f);
    // The screen clips at once; the hardcopy side is told by the area only
    // while hardcopy output is active. The text angle and font follow the
    // new area on both sides.
    EXPECT_EQ(driver.ops(ScreenSide), (std::vector<std::int32_t>{OpClip, OpTextAngle, OpFont}));
    EXPECT_EQ(driver.find(ScreenSide, OpClip)[0]->state.iclip, (std::array<std::int32_t, 4>{0, 0, 399, 299}));
    gstate.hardcopy_flag = 1;
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(driver.ops(HardcopySide), (std::vector<std::int32_t>{OpClip, OpTextAngle, OpFont}));
}

TEST_F(Areas, PartialAreaMapsWorldUnits) {
    IGrArea(0.25f, 0.0f, 0.75f, 1.0f);
    IGrUnits(0.0f, 0.0f, 10.0f, 10.0f);
    EXPECT_EQ(infoerror(1), 0);
    const float wd = 399.99f, hd = 299.99f;
    float xd = 0, yd = 0;
    yye2i(5.0f, 5.0f, xd, yd);
    EXPECT_FLOAT_EQ(xd, 0.25f * wd + 0.5f * (0.5f * wd));
    EXPECT_FLOAT_EQ(yd, 0.5f * hd);
    yye2i(0.0f, 0.0f, xd, yd);
    EXPECT_FLOAT_EQ(xd, 0.25f * wd);
    EXPECT_FLOAT_EQ(yd, 0.0f);
    EXPECT_FLOAT_EQ(gstate.area_width_x, 0.5f);
    EXPECT_FLOAT_EQ(gstate.text_ref_range_x, 10.0f);
}

TEST_F(Areas, InvalidAxesBecomeWholeWithOneErrorEach) {
    struct Case {
        float x1, y1, x2, y2;
        bool error;
        float ex1, ey1, ex2, ey2;
    };
    const Case cases[] = {
        {0.5f, 0.2f, 0.5f, 0.8f, true, 0.0f, 0.2f, 1.0f, 0.8f},
        {-0.1f, 1.2f, 0.5f, 0.4f, true, 0.0f, 0.0f, 1.0f, 1.0f},
        {0.1f, 0.0f, 1.0f, 1.0001f, true, 0.1f, 0.0f, 1.0f, 1.0f},
        {1.0f, 0.0f, 1.0f, 0.0f, true, 0.0f, 0.0f, 1.0f, 1.0f},
        {0.0f, 0.0f, 0.0f, 1.0f, true, 0.0f, 0.0f, 1.0f, 1.0f},
        {std::nanf(""), 0.3f, 0.5f, 0.6f, true, 0.0f, 0.3f, 1.0f, 0.6f},
        {0.0f, 0.999f, 0.001f, 1.0f, false, 0.0f, 0.999f, 0.001f, 1.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << "," << c.x2 << "," << c.y2);
        IGrArea(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(infoerror(1), c.error ? 44 : 0);
        EXPECT_EQ(gstate.x1, c.ex1);
        EXPECT_EQ(gstate.y1, c.ey1);
        EXPECT_EQ(gstate.x2, c.ex2);
        EXPECT_EQ(gstate.y2, c.ey2);
    }
}

TEST_F(Areas, UnitsWithoutRangeBecomeZeroToOne) {
    struct Case {
        float x1, y1, x2, y2;
        bool error;
        float ex1, ey1, ex2, ey2;
    };
    const Case cases[] = {
        {0.0f, 10.0f, 1.0f, 0.0f, true, 0.0f, 0.0f, 1.0f, 1.0f},
        {5.0f, -3.0f, 5.0f, 3.0f, true, 0.0f, -3.0f, 1.0f, 3.0f},
        {-100.0f, 1e6f, 100.0f, 2e6f, false, -100.0f, 1e6f, 100.0f, 2e6f},
        {2.0f, 2.0f, 1.0f, 1.0f, true, 0.0f, 0.0f, 1.0f, 1.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << "," << c.x2 << "," << c.y2);
        IGrUnits(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(infoerror(1), c.error ? 16 : 0);
        EXPECT_EQ(gstate.ux1, c.ex1);
        EXPECT_EQ(gstate.uy1, c.ey1);
        EXPECT_EQ(gstate.ux2, c.ex2);
        EXPECT_EQ(gstate.uy2, c.ey2);
        EXPECT_FLOAT_EQ(gstate.sx, gstate.area_size_x / (c.ex2 - c.ex1));
        EXPECT_FLOAT_EQ(gstate.sy, gstate.area_size_y / (c.ey2 - c.ey1));
    }
    // Units send nothing to any device.
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(Areas, WorldDeviceWorldRoundTrip) {
    IGrArea(0.1f, 0.2f, 0.9f, 0.7f);
    IGrUnits(155000.0f, 460000.0f, 162500.0f, 466000.0f);
    const std::pair<float, float> points[] = {
        {155000.0f, 460000.0f}, {162500.0f, 466000.0f}, {158123.4f, 463210.9f}, {150000.0f, 470000.0f}};
    for (auto [x, y] : points) {
        float xd = 0, yd = 0, bx = 0, by = 0;
        yye2i(x, y, xd, yd);
        yyi2e(xd, yd, bx, by);
        // Within what one single-precision device unit spans in world units.
        EXPECT_NEAR(bx, x, std::max(std::abs(x) * 2e-7f, 1.0f / gstate.sx)) << x;
        EXPECT_NEAR(by, y, std::max(std::abs(y) * 2e-7f, 1.0f / gstate.sy)) << y;
    }
    float xd = 0, yd = 0;
    yye2i(155000.0f, 460000.0f, xd, yd);
    EXPECT_FLOAT_EQ(xd, 0.1f * 399.99f);
    EXPECT_FLOAT_EQ(yd, 0.2f * 299.99f);
}

TEST_F(Areas, AnAreaBeyondTheDrawableIsAnchoredAtTheClampedCorner) {
    yywing(-50.0f, -20.0f, 500.0f, 400.0f);
    EXPECT_EQ(gstate.wx1, 0.0f);
    EXPECT_EQ(gstate.wy1, 0.0f);
    EXPECT_FLOAT_EQ(gstate.wx2, 399.99f);
    EXPECT_FLOAT_EQ(gstate.wy2, 299.99f);
    yywing(10.7f, 20.2f, 30.9f, 40.5f);
    EXPECT_EQ(gstate.ix1, 10);
    EXPECT_EQ(gstate.iy1, 20);
    EXPECT_EQ(gstate.ix2, 30);
    EXPECT_EQ(gstate.iy2, 40);
    EXPECT_EQ(gstate.iclip_width, 21);
    EXPECT_FLOAT_EQ(gstate.area_size_x, 20.2f);
}

TEST_F(Areas, ASizeChangeKeepsTheFractionsAndTheUnits) {
    IGrArea(0.5f, 0.5f, 1.0f, 1.0f);
    IGrUnits(0.0f, 0.0f, 2.0f, 2.0f);
    gstate.hardcopy_flag = 1;
    driver.clear();
    yyresn(1, 0, 800, 0);
    EXPECT_EQ(gstate.width, 800);
    EXPECT_EQ(gstate.height_max, -1);
    EXPECT_EQ(gstate.aspect_ratio, 1.0f);
    EXPECT_FLOAT_EQ(gstate.wx1, 0.5f * 799.99f);
    EXPECT_EQ(gstate.ux2, 2.0f);
    EXPECT_FLOAT_EQ(gstate.sx, 0.5f * 799.99f / 2.0f);
    const auto begin = driver.find(HardcopySide, OpBeginPicture);
    ASSERT_EQ(begin.size(), 1u);
    EXPECT_EQ(begin[0]->args.K, -1);
    // A drawable without height still converts positions without NaN.
    float x = 0, y = 0;
    yyi2e(10.0f, 10.0f, x, y);
    EXPECT_FALSE(std::isnan(y));
    EXPECT_FALSE(std::isinf(y));
    // Another drawable's size does not touch this one.
    yyresn(2, 1, 10, 10);
    yyresn(1, 3, 10, 10);
    EXPECT_EQ(gstate.width, 800);
}

TEST_F(Areas, TemporarySelectionLeavesHardcopyAndTextAlone) {
    gstate.hardcopy_flag = 1;
    gstate.temporary_selection = 1;
    const float ref = gstate.text_ref_size_x;
    IGrArea(0.0f, 0.0f, 0.5f, 0.5f);
    EXPECT_TRUE(driver.ops(HardcopySide).empty());
    EXPECT_EQ(gstate.text_ref_size_x, ref);
    EXPECT_EQ(gstate.area_width_x, 1.0f);
    EXPECT_FLOAT_EQ(gstate.wx2, 0.5f * 399.99f);
    gstate.temporary_selection = 0;
}

TEST(FloatingPointControlWord, SaveAndRestore) {
    std::uint16_t original = 0;
    yygetcw(original);
    yysavefp();
    // Round toward zero (rounding field 3 in bits 10 and 11).
    yysetcw(static_cast<std::uint16_t>(original | 0x0C00));
    std::uint16_t now = 0;
    yygetcw(now);
    EXPECT_EQ(now & 0x0C00, 0x0C00);
    yyrestfp();
    yygetcw(now);
    EXPECT_EQ(now, original);
}

TEST(DeviceUnits, TruncateTowardZeroWhateverTheRoundingMode) {
    const int saved = std::fegetround();
    for (int mode : {FE_TONEAREST, FE_DOWNWARD, FE_UPWARD}) {
        std::fesetround(mode);
        EXPECT_EQ(yytrunc(2.9f), 2);
        EXPECT_EQ(yytrunc(-2.9f), -2);
        EXPECT_EQ(yytrunc(399.99f), 399);
    }
    std::fesetround(saved);
    EXPECT_EQ(yytrunc(std::nanf("")), 0);
    EXPECT_EQ(yytrunc(1e20f), 2147483647);
    EXPECT_EQ(yytrunc(-1e20f), -2147483647 - 1);
}
