#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "lib/graphics/areas.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "tests/support/graphics_test.h"

// The whole 400 x 300 window is the drawing area and one world unit is one
// device unit, so the clip window is (0, 0)-(399.99, 299.99) in both.
class Lines : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        igrinit();
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrUnits(0.0f, 0.0f, 399.99f, 299.99f);
        driver.clear();
    }

    struct Seg {
        float x1, y1, x2, y2;
    };
    static Seg sent(const DriverCall& c) { return {c.args.X[0], c.args.Y[0], c.args.X[1], c.args.Y[1]}; }
};

constexpr float Tol = 2e-3f;

#define EXPECT_SEG(s, ex1, ey1, ex2, ey2)  \
    do {                                   \
        EXPECT_NEAR((s).x1, (ex1), Tol);   \
        EXPECT_NEAR((s).y1, (ey1), Tol);   \
        EXPECT_NEAR((s).x2, (ex2), Tol);   \
        EXPECT_NEAR((s).y2, (ey2), Tol);   \
    } while (0)

// ---------------------------------------------------------------- inside tests

TEST_F(Lines, InsideMeansTheClipBoxWithBorders) {
    struct Case {
        float x, y;
        int inside;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 1},          {399.99f, 299.99f, 1},   {-0.001f, 10.0f, 1},  {399.991f, 10.0f, 1},
        {10.0f, -0.001f, 1},      {10.0f, 299.991f, 1},
        {-0.002f, 10.0f, 0},      {399.992f, 10.0f, 0},    {10.0f, -0.002f, 0},  {10.0f, 299.992f, 0},
        {std::nanf(""), 1.0f, 0}, {1.0f, INFINITY, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(yybox(c.x, c.y), c.inside) << c.x << ", " << c.y;

    // yylin also wants the point within the segment's bounding box.
    EXPECT_EQ(yylin(50.0f, 50.0f, 0.0f, 0.0f, 100.0f, 100.0f), 1);
    EXPECT_EQ(yylin(50.0f, 50.0f, 100.0f, 100.0f, 0.0f, 0.0f), 1);
    EXPECT_EQ(yylin(150.0f, 50.0f, 0.0f, 0.0f, 100.0f, 100.0f), 0);
    EXPECT_EQ(yylin(50.0f, 150.0f, 0.0f, 0.0f, 100.0f, 100.0f), 0);
    EXPECT_EQ(yylin(-1.0f, -1.0f, -2.0f, -2.0f, 0.0f, 0.0f), 0);
}

TEST_F(Lines, PointOnTheBorderIsDrawnJustOutsideIsNot) {
    gstate.hardcopy_flag = 1;
    igrpoint(399.99f, 299.99f);
    ASSERT_EQ(driver.ops(ScreenSide), (std::vector<std::int32_t>{OpPoint}));
    ASSERT_EQ(driver.ops(HardcopySide), (std::vector<std::int32_t>{OpPoint}));
    const DriverCall& c = *driver.find(ScreenSide, OpPoint)[0];
    EXPECT_EQ(c.args.IX[0], 399);
    EXPECT_EQ(c.args.IY[0], 299);
    EXPECT_FLOAT_EQ(driver.find(HardcopySide, OpPoint)[0]->args.X[0], 399.99f);

    driver.clear();
    igrpoint(-0.002f, 100.0f);
    igrpoint(100.0f, 299.992f);
    EXPECT_TRUE(driver.calls.empty());
    // The position moves all the same.
    EXPECT_FLOAT_EQ(gstate.pos_x, 100.0f);
    EXPECT_FLOAT_EQ(gstate.pos_y, 299.992f);
}

// ---------------------------------------------------------------- clipper

TEST_F(Lines, ClipperCases) {
    struct Case {
        const char* what;
        Seg in;
        int visible;
        Seg out;
    };
    const Case cases[] = {
        {"both ends inside", {10.9f, 20.5f, 30.0f, 40.0f}, 1, {10.9f, 20.5f, 30.0f, 40.0f}},
        {"steep line through top and bottom", {100.0f, -50.0f, 120.0f, 350.0f}, 1, {102.5f, 0.0f, 117.4995f, 299.99f}},
        {"the same drawn downwards", {120.0f, 350.0f, 100.0f, -50.0f}, 1, {117.4995f, 299.99f, 102.5f, 0.0f}},
        {"missing every edge", {-50.0f, 50.0f, 50.0f, -150.0f}, 0, {}},
        {"wholly right of the window", {450.0f, 10.0f, 600.0f, 200.0f}, 0, {}},
        {"leaving through the right", {200.0f, 150.0f, 500.0f, 250.0f}, 1, {200.0f, 150.0f, 399.99f, 216.6633f}},
        {"entering from the right", {500.0f, 250.0f, 200.0f, 150.0f}, 1, {399.99f, 216.6633f, 200.0f, 150.0f}},
        {"leaving through the left", {200.0f, 150.0f, -100.0f, 0.0f}, 1, {200.0f, 150.0f, 0.0f, 50.0f}},
        {"leaving through the bottom", {200.0f, 150.0f, 250.0f, -150.0f}, 1, {200.0f, 150.0f, 225.0f, 0.0f}},
        {"leaving through the top", {200.0f, 150.0f, 100.0f, 350.0f}, 1, {200.0f, 150.0f, 125.005f, 299.99f}},
        {"across the top right corner", {300.0f, 350.0f, 450.0f, 200.0f}, 1, {350.01f, 299.99f, 399.99f, 250.01f}},
        {"across the bottom left corner", {-20.0f, 60.0f, 60.0f, -20.0f}, 1, {0.0f, 40.0f, 40.0f, 0.0f}},
        {"across left and right", {-100.0f, 10.0f, 500.0f, 70.0f}, 1, {0.0f, 20.0f, 399.99f, 59.999f}},
        {"one column, cut in y", {50.2f, -20.0f, 50.7f, 400.0f}, 1, {50.2f, 0.0f, 50.7f, 299.99f}},
        {"one column, downwards", {50.7f, 400.0f, 50.2f, -20.0f}, 1, {50.7f, 299.99f, 50.2f, 0.0f}},
        {"one column, first end left of the window", {-0.5f, 10.0f, 0.4f, 20.0f}, 0, {}},
        {"one column, above the window", {50.0f, 320.0f, 50.5f, 400.0f}, 0, {}},
        {"one row, cut in x", {-30.0f, 100.2f, 500.0f, 100.9f}, 1, {0.0f, 100.2f, 399.99f, 100.9f}},
        {"one row, below the window", {-30.0f, -5.0f, 500.0f, -5.5f}, 0, {}},
        {"not a number", {std::nanf(""), 10.0f, 500.0f, 70.0f}, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Seg s = c.in;
        int visible = -1;
        yyclip(s.x1, s.y1, s.x2, s.y2, visible);
        EXPECT_EQ(visible, c.visible);
        if (c.visible == 1) {
            EXPECT_SEG(s, c.out.x1, c.out.y1, c.out.x2, c.out.y2);
            // What is left lies in the clip box.
            EXPECT_EQ(yybox(s.x1, s.y1), 1);
            EXPECT_EQ(yybox(s.x2, s.y2), 1);
        }

        // The line routine sends exactly the clipped segment, or nothing.
        driver.clear();
        yylini(c.in.x1, c.in.y1, c.in.x2, c.in.y2);
        if (c.visible == 1) {
            ASSERT_EQ(driver.ops(ScreenSide), (std::vector<std::int32_t>{OpLine}));
            EXPECT_SEG(sent(driver.calls[0]), c.out.x1, c.out.y1, c.out.x2, c.out.y2);
        } else {
            EXPECT_TRUE(driver.calls.empty());
        }
    }
}

TEST_F(Lines, ClipperUsesAnInnerWindow) {
    yywing(100.0f, 100.0f, 200.0f, 200.0f);
    Seg s{50.0f, 50.0f, 250.0f, 150.0f};
    int visible = 0;
    yyclip(s.x1, s.y1, s.x2, s.y2, visible);
    EXPECT_EQ(visible, 1);
    // Cut first at the bottom, returned at the right edge.
    EXPECT_SEG(s, 150.0f, 100.0f, 200.0f, 125.0f);
    EXPECT_EQ(yybox(99.9992f, 150.0f), 1);
    EXPECT_EQ(yybox(99.998f, 150.0f), 0);
    EXPECT_EQ(yybox(150.0f, 200.0009f), 1);
    EXPECT_EQ(yybox(150.0f, 200.002f), 0);
}

// ---------------------------------------------------------------- lines

TEST_F(Lines, LineOperandsTruncatedOnScreenRealOnHardcopy) {
    gstate.hardcopy_flag = 1;
    yylini(10.9f, 20.5f, -0.0005f, 299.5f);
    ASSERT_EQ(driver.ops(ScreenSide), (std::vector<std::int32_t>{OpLine}));
    ASSERT_EQ(driver.ops(HardcopySide), (std::vector<std::int32_t>{OpLine}));
    const DriverArguments& s = driver.calls[0].args;
    EXPECT_EQ(s.IX[0], 10);
    EXPECT_EQ(s.IY[0], 20);
    EXPECT_EQ(s.IX[1], 0);
    EXPECT_EQ(s.IY[1], 299);
    EXPECT_SEG(sent(driver.calls[1]), 10.9f, 20.5f, -0.0005f, 299.5f);

    // Screen graphics off: only the hardcopy side, and no integer operands
    // are made for it.
    driver.clear();
    drvargs.IX = {-7, -7, -7, -7};
    gstate.screen_flag = 0;
    yylini(1.5f, 2.5f, 3.5f, 4.5f);
    EXPECT_TRUE(driver.ops(ScreenSide).empty());
    ASSERT_EQ(driver.ops(HardcopySide), (std::vector<std::int32_t>{OpLine}));
    EXPECT_EQ(driver.calls[0].args.IX[0], -7);
}

TEST_F(Lines, WorldLinesGoThroughTheTransform) {
    IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
    yyline(0.25f, 0.5f, 0.75f, 2.0f);
    ASSERT_EQ(driver.ops(ScreenSide), (std::vector<std::int32_t>{OpLine}));
    // Cut at the top of the window.
    EXPECT_SEG(sent(driver.calls[0]), 0.25f * 399.99f, 0.5f * 299.99f, 0.25f * 399.99f + 1.0f / 3.0f * 199.995f,
               299.99f);
    EXPECT_FLOAT_EQ(gstate.pos_x, 0.0f);  // yyline leaves the position alone
}

TEST_F(Lines, CurrentPositionAfterEachRoutine) {
    igrmoveto(10.0f, 20.0f);
    igrlinetorel(5.0f, 5.0f);  // (10, 20)-(15, 25)
    igrlineto(30.0f, 25.0f);   // (15, 25)-(30, 25)
    igrmovetorel(0.0f, 10.0f);
    igrpointrel(1.0f, 1.0f);   // point at (31, 36)
    igrjoinrel(1.0f, 2.0f, 3.0f, 4.0f);  // (1, 2)-(4, 6)
    EXPECT_FLOAT_EQ(gstate.pos_x, 4.0f);
    EXPECT_FLOAT_EQ(gstate.pos_y, 6.0f);
    igrjoin(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(gstate.pos_x, 1.0f);
    EXPECT_FLOAT_EQ(gstate.pos_y, 1.0f);

    ASSERT_EQ(driver.ops(ScreenSide), (std::vector<std::int32_t>{OpLine, OpLine, OpPoint, OpLine, OpLine}));
    EXPECT_SEG(sent(driver.calls[0]), 10.0f, 20.0f, 15.0f, 25.0f);
    EXPECT_SEG(sent(driver.calls[1]), 15.0f, 25.0f, 30.0f, 25.0f);
    EXPECT_EQ(driver.calls[2].args.IX[0], 31);
    EXPECT_EQ(driver.calls[2].args.IY[0], 36);
    EXPECT_SEG(sent(driver.calls[3]), 1.0f, 2.0f, 4.0f, 6.0f);
    EXPECT_SEG(sent(driver.calls[4]), 0.0f, 0.0f, 1.0f, 1.0f);

    // A line to a point far outside draws nothing and still moves there.
    driver.clear();
    igrmoveto(-100.0f, -100.0f);
    igrlineto(-5000.0f, 9000.0f);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_FLOAT_EQ(gstate.pos_x, -5000.0f);
    EXPECT_FLOAT_EQ(gstate.pos_y, 9000.0f);
}

// ---------------------------------------------------------------- polylines

TEST_F(Lines, PolylineLeavingAndReenteringGivesTwoRunsAndAChord) {
    gstate.hardcopy_flag = 1;
    const std::vector<float> x{10, 100, 500, 500, 300, 100, -50, 150, 50};
    const std::vector<float> y{10, 10, 10, 100, 100, 200, 150, -50, 50};
    igrpolyline(x.data(), y.data(), static_cast<int>(x.size()));

    const std::vector<std::int32_t> expected{OpPolyline, OpPolyline, OpLine, OpPolyline};
    ASSERT_EQ(driver.ops(ScreenSide), expected);
    ASSERT_EQ(driver.ops(HardcopySide), expected);
    const auto runs = driver.find(ScreenSide, OpPolyline);
    struct Run {
        std::vector<float> px, py;
    };
    const Run want[] = {
        {{10, 100, 399.99f}, {10, 10, 10}},                          // exit point cut at the right edge
        {{399.99f, 300, 100, 0}, {100, 100, 200, 166.6667f}},        // entry and exit points
        {{100, 50}, {0, 50}},                                        // entry through the bottom
    };
    for (std::size_t r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        ASSERT_EQ(runs[r]->args.N, static_cast<int>(want[r].px.size()));
        ASSERT_EQ(runs[r]->px.size(), want[r].px.size());
        for (std::size_t i = 0; i < want[r].px.size(); ++i) {
            EXPECT_NEAR(runs[r]->px[i], want[r].px[i], Tol);
            EXPECT_NEAR(runs[r]->py[i], want[r].py[i], Tol);
        }
        EXPECT_EQ(driver.find(HardcopySide, OpPolyline)[r]->px, runs[r]->px);
    }
    // The segment with both ends outside crossing the window is one line.
    EXPECT_SEG(sent(*driver.find(ScreenSide, OpLine)[0]), 0.0f, 100.0f, 100.0f, 0.0f);
    EXPECT_FLOAT_EQ(gstate.pos_x, 50.0f);
    EXPECT_FLOAT_EQ(gstate.pos_y, 50.0f);
}

TEST_F(Lines, PolylineLimitsAndModes) {
    // More than 5000 points: the first 5000 in one run.
    std::vector<float> x(6000), y(6000);
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = 10.0f + static_cast<float>(i % 3) * 100.0f;
        y[i] = 10.0f + static_cast<float>(i) * 0.04f;
    }
    igrpolyline(x.data(), y.data(), 6000);
    auto runs = driver.find(ScreenSide, OpPolyline);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0]->args.N, 5000);
    EXPECT_FLOAT_EQ(runs[0]->py.back(), y[4999]);
    EXPECT_FLOAT_EQ(gstate.pos_x, x[4999]);
    EXPECT_FLOAT_EQ(gstate.pos_y, y[4999]);

    // One point or none: nothing, position unchanged.
    driver.clear();
    igrmoveto(7.0f, 8.0f);
    igrpolyline(x.data(), y.data(), 1);
    igrpolyline(x.data(), y.data(), 0);
    igrpolyline(x.data(), y.data(), -3);
    igrpolyline(nullptr, nullptr, 4);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_FLOAT_EQ(gstate.pos_x, 7.0f);

    // Device units: no transform and the position stays.
    IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
    const float dx[] = {20.0f, 30.0f, 40.0f};
    const float dy[] = {50.0f, 60.0f, 50.0f};
    yypline(dx, dy, 3, 1);
    runs = driver.find(ScreenSide, OpPolyline);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0]->px, (std::vector<float>{20.0f, 30.0f, 40.0f}));
    EXPECT_FLOAT_EQ(gstate.pos_x, 7.0f);

    // All outside, nothing crossing: nothing at all.
    driver.clear();
    const float ox[] = {500.0f, 600.0f, 700.0f};
    const float oy[] = {10.0f, 200.0f, 10.0f};
    yypline(ox, oy, 3, 1);
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(Lines, PolylineRunNeverHoldsALonePoint) {
    // The first point lies in the clip box's margin above the window; the
    // segment to the next point has nothing inside the window, so no run
    // of one point goes out.
    const float x[] = {10.0f, 200.0f};
    const float y[] = {299.9905f, 400.0f};
    yypline(x, y, 2, 1);
    for (const auto* c : driver.find(ScreenSide, OpPolyline)) EXPECT_GE(c->args.N, 2);
}

// ---------------------------------------------------------------- rectangle outline

TEST_F(Lines, RectangleOutlineSides) {
    struct Case {
        int plot_mode;
        std::vector<Seg> screen;
    };
    const std::vector<Seg> plain{{10, 10, 20, 10}, {20, 10, 20, 30}, {20, 30, 10, 30}, {10, 30, 10, 10}};
    const Case cases[] = {
        {0, plain},
        {3, {{11, 10, 20, 10}, {20, 11, 20, 30}, {19, 30, 10, 30}, {10, 29, 10, 10}}},
        {1, {{11, 10, 20, 10}, {20, 11, 20, 30}, {19, 30, 10, 30}, {10, 29, 10, 10}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plot_mode);
        igrplotmode2(c.plot_mode);
        gstate.hardcopy_flag = 2;
        driver.clear();
        yyrect(10.0f, 10.0f, 20.0f, 30.0f);
        const auto s = driver.find(ScreenSide, OpLine);
        const auto h = driver.find(HardcopySide, OpLine);
        ASSERT_EQ(s.size(), 4u);
        ASSERT_EQ(h.size(), 4u);
        ASSERT_EQ(driver.calls.size(), 8u);
        for (std::size_t i = 0; i < 4; ++i) {
            const Seg& w = c.screen[i];
            EXPECT_SEG(sent(*s[i]), w.x1, w.y1, w.x2, w.y2);
            EXPECT_SEG(sent(*h[i]), plain[i].x1, plain[i].y1, plain[i].x2, plain[i].y2);
            // Each side sees only its own lines.
            EXPECT_EQ(s[i]->state.hardcopy_flag, 0);
            EXPECT_EQ(h[i]->state.screen_flag, 0);
            EXPECT_EQ(h[i]->state.hardcopy_flag, 1);
        }
        EXPECT_EQ(gstate.screen_flag, 1);
        EXPECT_EQ(gstate.hardcopy_flag, 2);
    }

    // A reversed rectangle steps the other way.
    igrplotmode2(3);
    gstate.hardcopy_flag = 0;
    driver.clear();
    yyrect(20.0f, 30.0f, 10.0f, 10.0f);
    const auto s = driver.find(ScreenSide, OpLine);
    ASSERT_EQ(s.size(), 4u);
    EXPECT_SEG(sent(*s[0]), 19.0f, 30.0f, 10.0f, 30.0f);
    EXPECT_SEG(sent(*s[1]), 10.0f, 29.0f, 10.0f, 10.0f);
    EXPECT_TRUE(driver.find(HardcopySide, OpLine).empty());

    // Screen graphics off: only the hardcopy side, flags restored.
    gstate.screen_flag = 0;
    gstate.hardcopy_flag = 1;
    driver.clear();
    yyrect(10.0f, 10.0f, 20.0f, 30.0f);
    EXPECT_TRUE(driver.find(ScreenSide, OpLine).empty());
    EXPECT_EQ(driver.find(HardcopySide, OpLine).size(), 4u);
    EXPECT_EQ(gstate.screen_flag, 0);
}

// ---------------------------------------------------------------- attributes

TEST_F(Lines, LineTypeOutsideTheRangeIsSolid) {
    gstate.hardcopy_flag = 1;
    struct Case {
        int given;
        int stored;
    };
    const Case cases[] = {{3, 3}, {7, 7}, {9, 0}, {-1, 0}, {8, 0}};
    for (const auto& c : cases) {
        igrlinetype(5);
        driver.clear();
        igrlinetype(c.given);
        EXPECT_EQ(gstate.LineType, c.stored) << c.given;
        ASSERT_EQ(driver.ops(ScreenSide), (std::vector<std::int32_t>{OpLineType}));
        ASSERT_EQ(driver.ops(HardcopySide), (std::vector<std::int32_t>{OpLineType}));
        EXPECT_EQ(driver.calls[0].state.LineType, c.stored);
    }
    igrlinetype(5);
    igrlinetype();
    EXPECT_EQ(gstate.LineType, 0);
}

TEST_F(Lines, LineWidthsEachGoToTheirSide) {
    gstate.hardcopy_flag = 1;
    const std::int32_t screen = gstate.screen_line_width;
    const std::int32_t metafile = gstate.metafile_line_width;

    igrlinewidth(0, 4);
    EXPECT_EQ(gstate.screen_line_width, screen);
    EXPECT_EQ(gstate.metafile_line_width, metafile);
    EXPECT_EQ(gstate.hc.options.get(9), 4);
    EXPECT_TRUE(driver.ops(ScreenSide).empty());
    ASSERT_EQ(driver.ops(HardcopySide), (std::vector<std::int32_t>{OpLineWidth}));
    EXPECT_EQ(driver.calls[0].state.line_thickness, 4);

    // Widths of 0 or less are ignored.
    driver.clear();
    igrlinewidth(-2, 0, -1);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(gstate.hc.options.get(9), 4);

    // In a window the third width is only stored.
    driver.clear();
    igrlinewidth(3, 0, 12);
    EXPECT_EQ(gstate.screen_line_width, 3);
    EXPECT_EQ(gstate.metafile_line_width, 12);
    ASSERT_EQ(driver.ops(ScreenSide), (std::vector<std::int32_t>{OpLineWidth}));
    EXPECT_EQ(driver.calls[0].state.screen_line_width, 3);

    // In a memory metafile it is the other way round.
    surfaces.add_metafile(1, 200, 100);
    IGrSelect(4, 1);
    ASSERT_EQ(gstate.DrawableType, 4);
    driver.clear();
    igrlinewidth(2);
    EXPECT_EQ(gstate.screen_line_width, 2);
    EXPECT_TRUE(driver.calls.empty());
    igrlinewidth(0, 0, 20);
    ASSERT_EQ(driver.ops(ScreenSide), (std::vector<std::int32_t>{OpLineWidth}));
    EXPECT_EQ(driver.calls[0].state.metafile_line_width, 20);
    EXPECT_TRUE(driver.ops(HardcopySide).empty());
}
