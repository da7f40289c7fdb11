#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "lib/graphics/colours.h"
#include "lib/graphics/lines.h"
#include "tests/graphics/fill_fixture.h"

class Ellipses : public FillTest {
protected:
    void SetUp() override {
        FillTest::SetUp();
        use_drawable(800, 600);
    }
};

TEST_F(Ellipses, BadRadiusOrRatioIsErrorTwenty) {
    gstate.pos_x = 3.0f;
    gstate.pos_y = 4.0f;
    struct Case {
        float r, ratio;
    };
    const Case cases[] = {{0.0f, 1.0f}, {-5.0f, 1.0f}, {10.0f, -1.0f}, {10.0f, 0.0f},
                          {std::numeric_limits<float>::quiet_NaN(), 1.0f}};
    for (const auto& c : cases) {
        igrellipse(100, 100, c.r, c.ratio);
        EXPECT_EQ(infoerror(1), 20) << c.r << " " << c.ratio;
    }
    igrcircle(100, 100, 0.0f);
    EXPECT_EQ(infoerror(1), 20);
    igrcirclerel(-1.0f);
    EXPECT_EQ(infoerror(1), 20);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(gstate.pos_x, 3.0f);
    EXPECT_EQ(gstate.pos_y, 4.0f);
}

TEST_F(Ellipses, ScreenOperationPerStyle) {
    struct Case {
        int style;
        bool equal_colours;
        Ops want;
    };
    const Case cases[] = {
        {0, false, {OpEllipse}},
        {-1, false, {}},  // hatch lines only, below
        {4, false, {OpEllipseSolid}},
        {3, true, {OpEllipseSolid}},
        {3, false, {OpEllipsePattern}},
    };
    for (const auto& c : cases) {
        IGrColourN(5);
        IGrColourN(c.equal_colours ? 5 : 100);
        igrfillpattern(c.style);
        driver.clear();
        igrcircle(400, 300, 50);
        Ops ops;
        for (const std::int32_t op : driver.ops(ScreenSide))
            if (op != OpLine) ops.push_back(op);
        EXPECT_EQ(ops, c.want) << c.style;
        EXPECT_EQ(infoerror(1), 0);
    }
    const DriverArguments& a = driver.calls[0].args;
    EXPECT_EQ(a.IX[0], 400);
    EXPECT_EQ(a.IX[1], 50);
    EXPECT_FLOAT_EQ(a.X[2], 1.0f);
    EXPECT_FLOAT_EQ(a.X[3], 50.0f);
}

TEST_F(Ellipses, ScreenHatchIsHorizontalWithWholeHalfWidths) {
    for (const int angle : {1, 2, 3}) {
        driver.clear();
        igrfillpattern(1, 2, angle);
        igrellipse(400.3f, 300.0f, 80.0f, 0.5f);
        const Ops ops = driver.ops(ScreenSide);
        ASSERT_GT(ops.size(), 2u);
        EXPECT_EQ(ops[0], OpEllipse);
        const auto l = lines(ScreenSide);
        for (const Seg& s : l) {
            EXPECT_EQ(s.y1, s.y2);
            EXPECT_NEAR((s.x1 + s.x2) / 2.0f, 400.3f, 1e-3f);
            const float half = std::fabs(s.x2 - s.x1) / 2.0f;
            EXPECT_NEAR(half, std::round(half), 1e-3f);
            // Lines on multiples of 15 (600 div 40), inside the ellipse.
            EXPECT_EQ(std::fmod(s.y1, 15.0f), 0.0f);
            EXPECT_LE(std::fabs(s.y1 - 300.0f), 40.1f);
        }
        EXPECT_EQ(l.size(), 5u) << angle;  // 270, 285, 300, 315, 330
    }
    // Angle 4 gives columns, 800 div 50 = 16 apart.
    driver.clear();
    igrfillpattern(-1, 2, 4);
    igrcircle(400, 300, 40);
    const auto l = lines(ScreenSide);
    ASSERT_FALSE(l.empty());
    for (const Seg& s : l) {
        EXPECT_EQ(s.x1, s.x2);
        EXPECT_EQ(std::fmod(s.x1, 16.0f), 0.0f);
    }
}

TEST_F(Ellipses, HardcopyOutlineAsLinesWhenTheDriverAsks) {
    start_hardcopy();
    driver.hardcopy.ellipse_outline_as_lines = true;
    float spacing_at_begin = 0;
    driver.on_call = [&](DriverCall& c) {
        if (c.side == HardcopySide && c.op == OpEllipsePattern && c.args.K == 1)
            spacing_at_begin = gstate.hc.HardcopyFillSpacing;
    };
    igrcircle(400, 300, 100);
    // n = (100 * 75) div 800 + 25 = 34 per half.
    const auto l = lines(HardcopySide);
    EXPECT_EQ(l.size(), 68u);
    EXPECT_EQ(spacing_at_begin, 100.0f);
    EXPECT_EQ(notifications(OpEllipsePattern), (std::vector<std::int32_t>{1, -1}));
    ASSERT_EQ(l.size(), 68u);
    // Two halves from the top point down: left first, then right.
    EXPECT_FLOAT_EQ(l[0].x1, 400.0f);
    EXPECT_LT(l[0].x2, 400.0f);
    EXPECT_GT(l[34].x2, 400.0f);
    EXPECT_NEAR(l[33].y2, 300.0f - l[0].y1 + 300.0f, 0.01f);
    for (const Seg& s : l) EXPECT_NEAR(std::hypot(s.x2 - 400.0f, (s.y2 - 300.0f)), 100.0f, 0.1f);
    // The screen draws its own outline.
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpEllipse}));

    // A driver that keeps K gets no lines from the ellipse.
    driver.clear();
    driver.hardcopy.ellipse_outline_as_lines = false;
    igrcircle(400, 300, 100);
    EXPECT_TRUE(lines(HardcopySide).empty());
    EXPECT_EQ(notifications(OpEllipsePattern), (std::vector<std::int32_t>{1, -1}));
}

TEST_F(Ellipses, HardcopyUsesThePageRatio) {
    start_hardcopy();
    gstate.hc.options.set(1, 2000);
    gstate.hc.options.set(2, 1000);
    igrfillpattern(-1, 5);
    igrcircle(400, 300, 100);
    float screen_top = 0, page_top = 0;
    for (const Seg& s : lines(ScreenSide)) screen_top = std::max(screen_top, s.y1);
    for (const Seg& s : lines(HardcopySide)) page_top = std::max(page_top, s.y1);
    // y radius 100 on the screen (600 * 800/600 = 800 over 800 units), 150 on
    // a page twice as wide as high.
    EXPECT_NEAR(screen_top, 400.0f, 4.0f);
    EXPECT_NEAR(page_top, 450.0f, 4.0f);
    EXPECT_GT(page_top, 440.0f);
    // Hardcopy hatch lines alternate.
    const auto l = lines(HardcopySide);
    ASSERT_GE(l.size(), 2u);
    EXPECT_LT(l[0].x2, l[0].x1);
    EXPECT_GT(l[1].x2, l[1].x1);
}

TEST_F(Ellipses, CircleIsRoundOnTheDrawableAndFollowsTheAreaShape) {
    // Whole drawable as the area: round whatever the drawable's proportions.
    igrcircle(400, 300, 100);
    const DriverArguments a = driver.calls.back().args;
    EXPECT_NEAR(a.X[1], a.Y[1], 0.01f);

    // The y radius follows the shape of the drawing area: an area half as
    // wide as high turns the circle into an ellipse twice as high as wide.
    IGrArea(0.0f, 0.0f, 0.5f, 1.0f);
    IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
    driver.clear();
    igrcircle(0.5f, 0.5f, 0.2f);
    const DriverArguments b = driver.calls.back().args;
    EXPECT_NEAR(b.X[1], 0.2f * 399.995f, 0.05f);
    EXPECT_NEAR(b.Y[1] / b.X[1], 2.0f, 0.001f);
}

TEST_F(Ellipses, PositionIsTheCentreEvenWhenNothingIsDrawn) {
    igrcircle(2000, 300, 10);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(gstate.pos_x, 2000.0f);
    EXPECT_EQ(gstate.pos_y, 300.0f);
    igrmovetorel(-1900.0f, 0.0f);
    igrellipserel(10, 2);
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpEllipse}));
    EXPECT_FLOAT_EQ(driver.calls[0].args.X[0], 100.0f);
    EXPECT_EQ(gstate.pos_x, 100.0f);
}

TEST_F(Ellipses, EmulatedSolidOnHardcopyUsesTheDefaultSpacing) {
    start_hardcopy();
    driver.hardcopy.fill_request = 1;
    igrfillpattern(4);
    igrcircle(400, 300, 250);
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpEllipseSolid}));
    std::vector<float> rows;
    for (const Seg& s : lines(HardcopySide)) rows.push_back(s.y1);
    // Spacing 100 as stored before the begin notification; rows from the
    // multiple of 100 below the cut extent 50..550.
    EXPECT_EQ(rows, (std::vector<float>{100, 200, 300, 400, 500}));
    EXPECT_EQ(gstate.FillEmulationRequest[HardcopySide], 0);
}

// A set of circles drawn again and again must reach the devices exactly as
// the same circles drawn one by one, whatever the fill attributes, the sides
// active, a device asking for lines, or a mapping changed between draws.
TEST_F(Ellipses, CircleSetDrawsWhatSingleCirclesDraw) {
    struct Case {
        const char* name;
        int style;
        bool equal_colours, hardcopy, screen_asks_lines;
    };
    const Case cases[] = {
        {"solid", 4, false, false, false},         {"two colours", 3, false, false, false},
        {"two equal colours", 3, true, false, false}, {"outline", 0, false, false, false},
        {"hatch", 1, false, false, false},         {"solid with hardcopy", 4, false, true, false},
        {"screen asks for lines", 4, false, false, true},
    };
    CircleSet set;
    // Inside, partly and wholly outside the window, a bad radius, a radius
    // that is not a number, one that is only a fraction of a pixel.
    set.x = {400, 10, -500, 300, 200, 250, 640.5f};
    set.y = {300, 590, 300, 100, 200, 250, 20.25f};
    set.r = {50, 30, 20, -1, std::numeric_limits<float>::quiet_NaN(), 0.3f, 12.7f};
    const std::size_t n = set.x.size();
    const auto run = [&](const Case& c, bool batched, float units) {
        IGrUnits(0.0f, 0.0f, units, units * 0.75f);
        IGrColourN(5);
        IGrColourN(c.equal_colours ? 5 : 100);
        igrfillpattern(c.style);
        gstate.hardcopy_flag = c.hardcopy ? 1 : 0;
        driver.on_call = [&](DriverCall& call) {
            if (c.screen_asks_lines && call.side == ScreenSide && call.op == OpEllipseSolid)
                gstate.FillEmulationRequest[ScreenSide] = 2;
        };
        drvargs = DriverArguments{};
        driver.clear();
        std::vector<int> errors;
        std::vector<float> pos;
        for (std::size_t i = 0; i < n; ++i) {
            if (batched) igrcircleset(set, i, i + 1);
            else igrcircle(set.x[i], set.y[i], set.r[i]);
            errors.push_back(infoerror(1));
            pos.push_back(gstate.pos_x);
            pos.push_back(gstate.pos_y);
        }
        // And the whole set at once.
        if (batched) igrcircleset(set, 0, n);
        else for (std::size_t i = 0; i < n; ++i) igrcircle(set.x[i], set.y[i], set.r[i]);
        errors.push_back(infoerror(1));
        gstate.hardcopy_flag = 0;
        std::vector<std::tuple<int, std::int32_t, DriverArguments>> calls;
        for (const DriverCall& call : driver.calls) calls.emplace_back(call.side, call.op, call.args);
        return std::make_tuple(calls, errors, pos);
    };
    for (const Case& c : cases) {
        for (const float units : {799.99f, 1600.0f, 799.99f}) {
            const auto one = run(c, false, units);
            const auto set_of = run(c, true, units);
            EXPECT_FALSE(std::get<0>(one).empty()) << c.name;
            EXPECT_TRUE(std::get<0>(one) == std::get<0>(set_of)) << c.name << " units " << units;
            EXPECT_EQ(std::get<1>(one), std::get<1>(set_of)) << c.name;
            EXPECT_EQ(std::get<2>(one), std::get<2>(set_of)) << c.name;
        }
    }
}

// While no device receives circles, a set of them must leave the operands,
// the position and the errors exactly as the same circles drawn one by one:
// whatever the run covers (circles outside the window, refused radii at its
// start, inside or at its end) and whichever way nothing receives them.
TEST_F(Ellipses, CircleSetUnseenLeavesWhatSingleCirclesLeave) {
    struct Case {
        const char* name;
        GraphicsDriver screen;
        int recorder;
    };
    const Case cases[] = {
        {"screen graphics off", &yygapi, 0}, {"no screen device", nullptr, 0}, {"no recorder", &yygapi, 1}};
    CircleSet set;
    set.x = {400, 10, -500, 300, 200, 250, 640.5f, 100, 5000, 120};
    set.y = {300, 590, 300, 100, 200, 250, 20.25f, 100, 100, 80};
    set.r = {50, 30, 20, -1, std::numeric_limits<float>::quiet_NaN(), 0.3f, 12.7f, 8, 3, 0};
    const std::size_t n = set.x.size();
    // Single circles, runs starting and ending anywhere, the whole set.
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    for (std::size_t from = 0; from <= n; ++from)
        for (std::size_t to = from; to <= n + 1; ++to) ranges.emplace_back(from, to);
    const auto run = [&](const Case& c, bool batched, float units) {
        IGrUnits(0.0f, 0.0f, units, units * 0.75f);
        igrfillpattern(4);
        IGrColourN(5);
        gstate.screen_flag = 0;
        gstate.recorder_flag = c.recorder;
        grlinks.screen_device = c.screen;
        std::vector<std::tuple<DriverArguments, float, float, int>> after;
        for (const auto& [from, to] : ranges) {
            drvargs = DriverArguments{};
            gstate.pos_x = -7.0f;
            gstate.pos_y = -9.0f;
            if (batched) igrcircleset(set, from, to);
            else
                for (std::size_t i = from; i < std::min(to, n); ++i) igrcircle(set.x[i], set.y[i], set.r[i]);
            after.emplace_back(drvargs, gstate.pos_x, gstate.pos_y, infoerror(1));
        }
        gstate.recorder_flag = 0;
        gstate.screen_flag = 1;
        driver.attach();
        return after;
    };
    for (const Case& c : cases) {
        for (const float units : {799.99f, 1600.0f, 799.99f}) {
            const auto one = run(c, false, units);
            const auto set_of = run(c, true, units);
            ASSERT_EQ(one.size(), set_of.size());
            for (std::size_t k = 0; k < one.size(); ++k)
                EXPECT_TRUE(one[k] == set_of[k]) << c.name << " units " << units << " circles " << ranges[k].first
                                                 << ".." << ranges[k].second;
        }
    }
}
