#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/graphics/fill_fixture.h"

using Rectangles = FillTest;

TEST_F(Rectangles, ZeroWidthOrHeightIsErrorTwentyTwo) {
    igrfillpattern(4);
    gstate.pos_x = 1.0f;
    gstate.pos_y = 2.0f;
    IGrRectangle(10, 10, 10, 50);
    EXPECT_EQ(infoerror(1), 22);
    IGrRectangle(10, 10, 60, 10);
    EXPECT_EQ(infoerror(1), 22);
    igrrectanglerel(0.0f, 5.0f);
    EXPECT_EQ(infoerror(1), 22);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(gstate.pos_x, 1.0f);
    EXPECT_EQ(gstate.pos_y, 2.0f);

    // The relative form starts at the position and returns to it.
    igrrectanglerel(20.0f, -1.5f);
    EXPECT_EQ(infoerror(1), 0);
    ASSERT_EQ(driver.ops(ScreenSide), (Ops{OpRectangleSolid}));
    EXPECT_FLOAT_EQ(driver.calls[0].args.Y[0], 0.5f);
    EXPECT_FLOAT_EQ(driver.calls[0].args.X[1], 21.0f);
    EXPECT_EQ(gstate.pos_x, 1.0f);
    EXPECT_EQ(gstate.pos_y, 2.0f);
}

TEST_F(Rectangles, SolidRectangleOperandsCutToTheIntegerClipWindow) {
    igrfillpattern(4);
    IGrRectangle(350.5f, -20.0f, 450.0f, 100.7f);
    ASSERT_EQ(driver.ops(ScreenSide), (Ops{OpRectangleSolid}));
    const DriverArguments& a = driver.calls[0].args;
    EXPECT_EQ(a.IX[0], 350);
    EXPECT_EQ(a.IY[0], 0);
    EXPECT_EQ(a.IX[1], 399);
    EXPECT_EQ(a.IY[1], 100);
    EXPECT_FLOAT_EQ(a.X[0], 350.5f);
    EXPECT_FLOAT_EQ(a.Y[0], -20.0f);
    EXPECT_FLOAT_EQ(a.X[1], 450.0f);
    EXPECT_FLOAT_EQ(a.Y[1], 100.7f);
}

TEST_F(Rectangles, OutsideDrawsNothingButTheFirstCornerIsThePosition) {
    start_hardcopy();
    igrfillpattern(1);
    IGrRectangle(-5, -5, -50, -60);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(gstate.pos_x, -5.0f);
    EXPECT_EQ(gstate.pos_y, -5.0f);
    // The device routine never moves it.
    yyrecti(10, 10, 20, 20);
    EXPECT_FALSE(driver.calls.empty());
    EXPECT_EQ(gstate.pos_x, -5.0f);
}

TEST_F(Rectangles, HorizontalHatchLiesOnMultiplesOfTheSpacing) {
    use_drawable(800, 600);  // density 2: 600 div 40 = 15
    igrfillpattern(1);
    IGrRectangle(20, 10, 120, 50);
    const auto l = lines(ScreenSide);
    ASSERT_EQ(l.size(), 7u);  // outline and three hatch lines
    std::vector<float> rows;
    for (size_t i = 4; i < l.size(); ++i) {
        rows.push_back(l[i].y1);
        // Right to left, from edge to edge.
        EXPECT_EQ(l[i].x1, 120.0f);
        EXPECT_EQ(l[i].x2, 20.0f);
    }
    EXPECT_EQ(rows, (std::vector<float>{15, 30, 45}));
}

TEST_F(Rectangles, VerticalAndCrossedHatch) {
    igrfillpattern(-1, 2, 4);  // 400 div 50 = 8
    IGrRectangle(10, 10, 40, 30);
    std::vector<float> cols;
    for (const Seg& s : lines(ScreenSide)) {
        cols.push_back(s.x1);
        EXPECT_EQ(s.y1, 30.0f);  // top to bottom
        EXPECT_EQ(s.y2, 10.0f);
    }
    EXPECT_EQ(cols, (std::vector<float>{16, 24, 32}));

    driver.clear();
    igrfillpattern(-2, 2, 3);
    IGrRectangle(10, 10, 40, 30);
    int rows = 0, columns = 0;
    for (const Seg& s : lines(ScreenSide)) (s.y1 == s.y2 ? rows : columns) += 1;
    EXPECT_EQ(rows, 3);  // 300 div 40 = 7: y = 14, 21, 28
    EXPECT_EQ(columns, 3);
}

TEST_F(Rectangles, DiagonalsAreCutAtTheEdges) {
    const float x1 = 50, y1 = 40, x2 = 150, y2 = 100;
    for (const int angle : {1, 2}) {
        driver.clear();
        const float wx1 = gstate.wx1, wy2 = gstate.wy2;
        igrfillpattern(-1, 3, angle);
        IGrRectangle(x1, y1, x2, y2);
        const auto l = lines(ScreenSide);
        ASSERT_GT(l.size(), 5u) << angle;
        for (const Seg& s : l) {
            // A line through a corner only is cut to that corner.
            if (s.x1 != s.x2) {
                EXPECT_NEAR((s.y2 - s.y1) / (s.x2 - s.x1), angle == 1 ? 1.0f : -1.0f, 1e-3f);
            }
            for (const float x : {s.x1, s.x2}) EXPECT_TRUE(x >= x1 - 0.002f && x <= x2 + 0.002f) << x;
            for (const float y : {s.y1, s.y2}) EXPECT_TRUE(y >= y1 - 0.002f && y <= y2 + 0.002f) << y;
            // Each end lies on an edge of the rectangle.
            auto on_edge = [&](float x, float y) {
                return std::fabs(x - x1) < 2e-3f || std::fabs(x - x2) < 2e-3f || std::fabs(y - y1) < 2e-3f ||
                       std::fabs(y - y2) < 2e-3f;
            };
            EXPECT_TRUE(on_edge(s.x1, s.y1));
            EXPECT_TRUE(on_edge(s.x2, s.y2));
        }
        // The clip window is the drawing area's again.
        EXPECT_EQ(gstate.wx1, wx1);
        EXPECT_EQ(gstate.wy2, wy2);
        EXPECT_EQ(driver.ops(ScreenSide).back(), OpClip);
    }
    // Cross-hatch with a diagonal angle: both diagonals.
    driver.clear();
    igrfillpattern(-2, 3, 1);
    IGrRectangle(x1, y1, x2, y2);
    int rising = 0, falling = 0;
    for (const Seg& s : lines(ScreenSide)) ((s.y2 - s.y1) * (s.x2 - s.x1) > 0 ? rising : falling) += 1;
    EXPECT_GT(rising, 0);
    EXPECT_GT(falling, 0);
}

TEST_F(Rectangles, HardcopyHatchAlternatesDirection) {
    start_hardcopy();
    igrfillpattern(-1, 1);
    IGrRectangle(20, 20, 120, 80);
    EXPECT_EQ(notifications(OpRectanglePattern), (std::vector<std::int32_t>{1, -1}));
    const auto l = lines(HardcopySide);
    ASSERT_GE(l.size(), 3u);
    for (size_t i = 0; i < l.size(); ++i) {
        const bool left_to_right = i % 2 == 0;
        EXPECT_EQ(l[i].x1, left_to_right ? 20.0f : 120.0f) << i;
        EXPECT_EQ(l[i].x2, left_to_right ? 120.0f : 20.0f) << i;
    }
    // The screen side is not alternated.
    for (const Seg& s : lines(ScreenSide)) EXPECT_EQ(s.x1, 120.0f);
}

TEST_F(Rectangles, XorModeLinesStopShortOfTheEdges) {
    gstate.PlotMode = 3;
    igrfillpattern(-2, 2, 3);
    IGrRectangle(20, 20, 120, 80);
    for (const Seg& s : lines(ScreenSide)) {
        if (s.y1 == s.y2) {
            EXPECT_EQ(s.x1, 119.0f);
            EXPECT_EQ(s.x2, 21.0f);
        } else {
            EXPECT_EQ(s.y1, 79.0f);
            EXPECT_EQ(s.y2, 21.0f);
        }
    }
}

TEST_F(Rectangles, SolidEmulatedOnHardcopyWithTheDriversSpacing) {
    driver.hardcopy.fill_request = 1;
    driver.hardcopy.fill_spacing = 7.5f;
    start_hardcopy();
    igrfillpattern(4);
    IGrRectangle(10, 10, 40, 30);
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpRectangleSolid}));
    std::vector<float> rows;
    for (const Seg& s : lines(HardcopySide)) {
        rows.push_back(s.y1);
        EXPECT_EQ(s.x1, 40.0f);  // emulation lines do not alternate
    }
    // From the multiple of the whole spacing 7 below the bottom edge.
    EXPECT_EQ(rows, (std::vector<float>{14.5f, 22, 29.5f}));
}

// Corners that are not finite numbers give no shape and no endless run of
// hatch lines, like polygons and ellipses.
TEST_F(Rectangles, CornersThatAreNotFiniteDrawNothing) {
    const float nan = std::nanf("");
    const float inf = INFINITY;
    const struct {
        float x1, y1, x2, y2;
    } cases[] = {{10, nan, 50, 50}, {nan, 10, 50, 50}, {10, 10, inf, 50}, {10, -inf, 50, 50}};
    for (const int angle : {3, 4, 1}) {
        igrfillpattern(1, 2, angle);
        for (const auto& c : cases) {
            driver.clear();
            IGrRectangle(c.x1, c.y1, c.x2, c.y2);
            EXPECT_TRUE(driver.calls.empty()) << angle << " " << c.x1 << " " << c.y1 << " " << c.x2;
            driver.clear();
            yyrecti(c.x1, c.y1, c.x2, c.y2);
            EXPECT_TRUE(driver.calls.empty());
        }
    }
}
