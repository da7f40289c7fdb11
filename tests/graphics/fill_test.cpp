#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "lib/graphics/colours.h"
#include "lib/graphics/lines.h"
#include "tests/graphics/fill_fixture.h"

// ---------------------------------------------------------------- attributes

TEST_F(FillTest, FillPatternTakesDefaultsForOutOfRangeValues) {
    struct Case {
        int style;
        std::optional<int> density, angle;
        int want_style, want_outline, want_density, want_angle;
    };
    const Case cases[] = {
        {-2, 3, 4, 2, 0, 3, 4},           {-1, {}, {}, 1, 0, 2, 3}, {5, 1, 1, 0, 1, 1, 1},
        {-3, 5, 2, 0, 1, 5, 2},           {4, 0, 7, 4, 1, 2, 3},    {3, 6, 0, 3, 1, 2, 3},
        {0, std::nullopt, 4, 0, 1, 2, 4},
    };
    for (const auto& c : cases) {
        gstate.outline_flag = 7;
        igrfillpattern(c.style, c.density, c.angle);
        EXPECT_EQ(gstate.fill_style, c.want_style) << c.style;
        EXPECT_EQ(gstate.outline_flag, c.want_outline) << c.style;
        EXPECT_EQ(gstate.fill_density, c.want_density) << c.style;
        EXPECT_EQ(gstate.fill_angle, c.want_angle) << c.style;
    }
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(FillTest, SpacingPerSideAndDensity) {
    use_drawable(1000, 900);
    igrfillpattern(1);
    const int ydiv[] = {30, 40, 60, 100, 180}, xdiv[] = {30, 50, 90, 170, 330};
    for (int d = 1; d <= 5; ++d) {
        float sx = 0, sy = 0, off = 9;
        int ix = 0, iy = 0, alt = 9;
        yystep(1, d, sx, sy, ix, iy, off, alt);
        EXPECT_EQ(iy, std::max(900 / ydiv[d - 1], 2)) << d;
        EXPECT_EQ(ix, std::max(1000 / xdiv[d - 1], 2)) << d;
        EXPECT_FLOAT_EQ(sy, static_cast<float>(iy));
        EXPECT_EQ(off, 0.0f);
        EXPECT_EQ(alt, 0);
        yystep(2, d, sx, sy, ix, iy, off, alt);
        EXPECT_FLOAT_EQ(sy, 899.99f / static_cast<float>(ydiv[d - 1])) << d;
        EXPECT_FLOAT_EQ(sx, 999.99f / static_cast<float>(xdiv[d - 1])) << d;
        EXPECT_EQ(iy, static_cast<int>(std::max(sy, 1.0f)));
        EXPECT_EQ(alt, 1);
    }
    // Plot modes other than copy pull screen lines in by one unit.
    gstate.PlotMode = 3;
    float sx = 0, sy = 0, off = 0;
    int ix = 0, iy = 0, alt = 0;
    yystep(1, 2, sx, sy, ix, iy, off, alt);
    EXPECT_EQ(off, 1.0f);
    yystep(2, 2, sx, sy, ix, iy, off, alt);
    EXPECT_EQ(off, 0.0f);

    // Emulated solid and pattern fills: every row, every other row for a
    // two-colour request, the driver's spacing on the hardcopy side; the x
    // outputs stay as they were.
    igrfillpattern(3);
    gstate.FillEmulationRequest = {2, 0};
    sx = -5.0f, ix = -5;
    yystep(1, 2, sx, sy, ix, iy, off, alt);
    EXPECT_EQ(iy, 2);
    EXPECT_EQ(sx, -5.0f);
    EXPECT_EQ(ix, -5);
    igrfillpattern(4);
    yystep(1, 2, sx, sy, ix, iy, off, alt);
    EXPECT_EQ(iy, 1);
    gstate.hc.HardcopyFillSpacing = 0.25f;
    yystep(2, 2, sx, sy, ix, iy, off, alt);
    EXPECT_FLOAT_EQ(sy, 0.25f);
    EXPECT_EQ(iy, 1);
    EXPECT_EQ(alt, 0);
}

TEST_F(FillTest, PatternBecomesSolidOnlyForEqualColours) {
    igrfillpattern(3);
    gstate.colour_count = 16;
    gstate.PreviousColour = ColourTriple{{4, 10, 111}};
    gstate.CurrentColour = ColourTriple{{4, 20, 222}};
    int op = 9;
    yyfact(10, op);
    EXPECT_EQ(op, 10);  // above two colours the device numbers decide
    gstate.colour_count = 2;
    op = 9;
    yyfact(10, op);
    EXPECT_EQ(op, 9);  // otherwise the colours of the model
    gstate.ColourModel = 2;
    gstate.CurrentColour.rgb() = 111;
    yyfact(10, op);
    EXPECT_EQ(op, 10);
    igrfillpattern(4);
    op = 9;
    yyfact(10, op);
    EXPECT_EQ(op, 9);
}

TEST_F(FillTest, SaveAndRestoreAttributesAndClipWindow) {
    IGrColourN(5);
    igrlinetype(2);
    igrfillpattern(2, 4, 1);
    gstate.text.direction = 1;
    yysav(0);
    IGrColourN(7);
    IGrColourN(9);
    igrlinetype(0);
    igrfillpattern(4);
    gstate.text.direction = 0;
    start_hardcopy();
    yysav(1);
    EXPECT_EQ(gstate.PreviousColour.index(), 223);
    EXPECT_EQ(gstate.CurrentColour.index(), 5);
    EXPECT_EQ(gstate.LineType, 2);
    EXPECT_EQ(gstate.fill_style, 2);
    EXPECT_EQ(gstate.fill_density, 4);
    EXPECT_EQ(gstate.fill_angle, 1);
    EXPECT_EQ(gstate.text.direction, 1);
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpColour, OpColour, OpLineType}));
    EXPECT_EQ(driver.ops(HardcopySide), (Ops{OpColour, OpColour, OpLineType}));

    // Area fractions saved, the clip window opened and put back.
    IGrArea(0.25f, 0.5f, 0.75f, 1.0f);
    yysav(4);
    EXPECT_EQ(gstate.ix1, 0);
    EXPECT_EQ(gstate.iy2, 299);
    EXPECT_FLOAT_EQ(gstate.wx2, 399.99f);
    yysav(3);
    EXPECT_FLOAT_EQ(gstate.wx1, 0.25f * 399.99f);
    EXPECT_FLOAT_EQ(gstate.wy1, 0.5f * 299.99f);
    EXPECT_FLOAT_EQ(gstate.wx2, 0.75f * 399.99f);
}

TEST(FillRows, RowCrossingOfAnEdge) {
    EXPECT_EQ(yyxini(0, 0, 10, 5, 2), 4);
    EXPECT_EQ(yyxini(10, 5, 0, 0, 2), 4);
    EXPECT_EQ(yyxini(3, 7, 9, 7, 7), 32767);
    EXPECT_EQ(yyxini(10, 0, 0, 10, 3), 7);
    EXPECT_EQ(yyxini(0, 0, -10, 4, 1), -2);  // toward zero
}

// ---------------------------------------------------------------- polygons

namespace {
const float SqX[] = {100, 200, 200, 100, 100};
const float SqY[] = {100, 100, 200, 200, 100};
}  // namespace

TEST_F(FillTest, SolidSquareIsOneDeviceOperation) {
    igrfillpattern(4);
    IGrPolygonComplex(SqX, SqY, 5);
    ASSERT_EQ(driver.ops(ScreenSide), (Ops{OpPolygonSolid}));
    const DriverCall& c = driver.calls[0];
    EXPECT_EQ(c.args.N, 4);  // the closing point is dropped
    EXPECT_EQ(c.px, (std::vector<float>{100, 200, 200, 100}));
    EXPECT_EQ(c.args.IX[1], 100);
    EXPECT_EQ(c.args.IY[2], 200);

    // A pattern of two equal colours is a solid fill as well.
    driver.clear();
    igrfillpattern(3);
    IGrColourN(5);
    IGrColourN(5);
    driver.clear();
    IGrPolygonComplex(SqX, SqY, 4);
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpPolygonSolid}));
    IGrColourN(100);  // another device colour of the 16
    driver.clear();
    IGrPolygonComplex(SqX, SqY, 4);
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpPolygonPattern}));
}

TEST_F(FillTest, OutlineDropsTheClosingPoint) {
    IGrPolygonComplex(SqX, SqY, 5);
    const auto l = lines(ScreenSide);
    ASSERT_EQ(l.size(), 4u);
    EXPECT_EQ(l[3].x1, 100.0f);
    EXPECT_EQ(l[3].y1, 200.0f);
    EXPECT_EQ(l[3].x2, 100.0f);
    EXPECT_EQ(l[3].y2, 100.0f);
    EXPECT_FLOAT_EQ(gstate.pos_x, 100.0f);

    // Without outline and fill nothing is drawn; one point draws nothing
    // either but moves the position.
    driver.clear();
    igrfillpattern(-1);
    const float px[] = {7.0f}, py[] = {8.0f};
    IGrPolygonComplex(px, py, 1);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(gstate.pos_x, 7.0f);
    EXPECT_EQ(gstate.pos_y, 8.0f);
}

TEST_F(FillTest, PolygonOutsideSendsNothingButMovesThePosition) {
    start_hardcopy();
    igrfillpattern(2);
    const float x[] = {500, 600, 600}, y[] = {10, 10, 50};
    IGrPolygonComplex(x, y, 3);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(gstate.pos_x, 500.0f);
    EXPECT_EQ(gstate.pos_y, 10.0f);
}

TEST_F(FillTest, StarHasAnEmptyCentre) {
    igrfillpattern(-1, 5);  // hatch lines 2 units apart, no outline
    float x[5], y[5];
    for (int k = 0; k < 5; ++k) {
        const double a = std::numbers::pi / 2 + k * 4 * std::numbers::pi / 5;
        x[k] = static_cast<float>(200 + 100 * std::cos(a));
        y[k] = static_cast<float>(150 + 100 * std::sin(a));
    }
    IGrPolygonComplex(x, y, 5);
    int near_centre = 0, arms = 0;
    for (const Seg& s : lines(ScreenSide)) {
        EXPECT_EQ(s.y1, s.y2);
        EXPECT_LT(s.x1, s.x2);
        if (std::fabs(s.y1 - 150.0f) < 10.0f) {
            ++near_centre;
            EXPECT_FALSE(s.x1 < 200.0f && 200.0f < s.x2) << s.y1 << ": " << s.x1 << ".." << s.x2;
        }
        if (s.y1 < 170.0f && s.y1 > 160.0f && s.x1 < 130.0f) ++arms;
    }
    EXPECT_GT(near_centre, 0);
    EXPECT_GT(arms, 0);
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(FillTest, TouchingSpansAreJoinedOnceOnTheScreen) {
    // Two narrow notches from below: on rows below y = 40 the crossings are
    // 10, 50, 50.3, 70, 70.4, 90. Screen rows are 7 apart from 10.5.
    const float x[] = {10, 50, 50, 50.3f, 50.3f, 70, 70, 70.4f, 70.4f, 90, 90, 10};
    const float y[] = {10, 10, 40, 40, 10, 10, 40, 40, 10, 10, 60, 60};
    igrfillpattern(-1, 2);
    start_hardcopy();
    IGrPolygonComplex(x, y, 12);
    std::vector<Seg> row;
    for (const Seg& s : lines(ScreenSide))
        if (s.y1 == 24.5f) row.push_back(s);
    // 10..50 and 50.3..70 touch at pixel 50 and become one line; the
    // absorbed span does not take 70.4..90 as well.
    ASSERT_EQ(row.size(), 2u);
    EXPECT_EQ(row[0].x1, 10.0f);
    EXPECT_FLOAT_EQ(row[0].x2, 70.0f);
    EXPECT_FLOAT_EQ(row[1].x1, 70.4f);
    EXPECT_FLOAT_EQ(row[1].x2, 90.0f);

    // The hardcopy side joins only exactly touching spans: none here.
    const auto hc = lines(HardcopySide);
    ASSERT_FALSE(hc.empty());
    int first_row = 0;
    for (const Seg& s : hc)
        if (s.y1 == hc[0].y1) ++first_row;
    EXPECT_EQ(hc[0].y1, 10.0f);  // the hardcopy scan starts at the minimum
    EXPECT_EQ(first_row, 3);
}

TEST_F(FillTest, FlatPolygonHatchesAsOneLine) {
    igrfillpattern(1);
    const float x[] = {50, 150, 120}, y[] = {80, 80, 80};
    IGrPolygonComplex(x, y, 3);
    const auto l = lines(ScreenSide);
    ASSERT_EQ(l.size(), 4u);  // three outline lines and the one hatch line
    EXPECT_EQ(l[3].x1, 50.0f);
    EXPECT_EQ(l[3].x2, 150.0f);
    EXPECT_EQ(l[3].y1, 80.0f);
}

TEST_F(FillTest, ScreenEmulationStartsHalfwayBetweenRows) {
    // A screen device that asks for its solid fills as lines.
    driver.on_call = [](DriverCall& c) {
        if (c.side == ScreenSide && c.op == OpPolygonSolid) gstate.FillEmulationRequest[ScreenSide] = 1;
    };
    igrfillpattern(4);
    const float x[] = {20, 60, 60, 20}, y[] = {10.7f, 10.7f, 14.2f, 14.2f};
    IGrPolygonComplex(x, y, 4);
    EXPECT_EQ(driver.ops(ScreenSide)[0], OpPolygonSolid);
    std::vector<float> rows;
    for (const Seg& s : lines(ScreenSide)) rows.push_back(s.y1);
    // The scan starts at 10.5, which crosses nothing.
    EXPECT_EQ(rows, (std::vector<float>{11.5f, 12.5f, 13.5f}));
    EXPECT_EQ(gstate.FillEmulationRequest[ScreenSide], 0);
}

TEST_F(FillTest, CrossHatchDrawsRowsThenColumns) {
    igrfillpattern(-2, 1);
    IGrPolygonComplex(SqX, SqY, 4);
    const auto l = lines(ScreenSide);
    ASSERT_FALSE(l.empty());
    size_t k = 0;
    while (k < l.size() && l[k].y1 == l[k].y2) ++k;
    EXPECT_GT(k, 0u);
    for (size_t i = k; i < l.size(); ++i) EXPECT_EQ(l[i].x1, l[i].x2);
    EXPECT_LT(k, l.size());
    // Vertical-only hatch.
    driver.clear();
    igrfillpattern(-1, 1, 4);
    IGrPolygonComplex(SqX, SqY, 4);
    for (const Seg& s : lines(ScreenSide)) EXPECT_EQ(s.x1, s.x2);
}

TEST_F(FillTest, OnlyTheFirst5000PointsAreUsed) {
    std::vector<float> x(6000), y(6000);
    for (int i = 0; i < 6000; ++i) {
        x[static_cast<size_t>(i)] = 10.5f + static_cast<float>(i % 100);
        y[static_cast<size_t>(i)] = i < 5000 ? 20.25f + static_cast<float>(i % 7) : 250.0f;
    }
    igrfillpattern(4);
    IGrPolygonComplex(x.data(), y.data(), 6000);
    ASSERT_EQ(driver.ops(ScreenSide), (Ops{OpPolygonSolid}));
    const DriverArguments& a = driver.calls[0].args;
    EXPECT_EQ(a.N, 5000);
    EXPECT_EQ(a.IX[0], 10);
    EXPECT_EQ(a.IY[0], 20);
    EXPECT_EQ(a.IX[1], 10);
    EXPECT_EQ(a.IY[1], 20);
    EXPECT_EQ(a.IX[2], 109);
    EXPECT_EQ(a.IY[2], 26);  // point 5001 at y = 250 is not part of it
    EXPECT_EQ(infoerror(1), 0);
}

// A comb: a top edge at y = 250, then M teeth points alternating between
// y = 20 and y = 200; every edge but the top one crosses the rows between.
static void comb(int m, std::vector<float>& x, std::vector<float>& y) {
    x = {10.0f};
    y = {250.0f};
    for (int i = 0; i < m; ++i) {
        x.push_back(10.0f + 3.0f * static_cast<float>(i));
        y.push_back(i % 2 == 0 ? 20.0f : 200.0f);
    }
    x.push_back(x.back());
    y.push_back(250.0f);
}

TEST_F(FillTest, TooManyActiveEdgesStopsTheFillOnBothSides) {
    std::vector<float> x, y;
    igrfillpattern(1, 1);
    start_hardcopy();

    // 98 active edges are still filled.
    comb(97, x, y);
    IGrPolygonComplex(x.data(), y.data(), static_cast<int>(x.size()));
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_GT(lines(ScreenSide).size(), x.size());

    // 100 are too many: error 49; each side keeps its outline and gets no
    // fill lines, and the hardcopy side gets its end notification.
    driver.clear();
    comb(99, x, y);
    IGrPolygonComplex(x.data(), y.data(), static_cast<int>(x.size()));
    EXPECT_EQ(infoerror(1), 49);
    EXPECT_EQ(lines(ScreenSide).size(), x.size());
    EXPECT_EQ(lines(HardcopySide).size(), x.size());
    EXPECT_EQ(notifications(OpPolygonPattern), (std::vector<std::int32_t>{1, -1}));
    EXPECT_EQ(gstate.screen_flag, 1);
    EXPECT_EQ(gstate.hardcopy_flag, 1);
    EXPECT_EQ(gstate.pos_x, 10.0f);
    EXPECT_EQ(gstate.pos_y, 250.0f);
}

TEST_F(FillTest, HardcopyEmulationNotificationsAndFlags) {
    driver.hardcopy.fill_request = 1;
    driver.hardcopy.fill_spacing = 25.0f;
    igrfillpattern(4);
    start_hardcopy();
    IGrPolygonComplex(SqX, SqY, 4);
    // The screen fills by itself; the hardcopy side gets begin, lines and end.
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpPolygonSolid}));
    const Ops hc = driver.ops(HardcopySide);
    ASSERT_GE(hc.size(), 3u);
    EXPECT_EQ(hc.front(), OpPolygonPattern);
    EXPECT_EQ(hc.back(), OpPolygonPattern);
    EXPECT_EQ(notifications(OpPolygonPattern), (std::vector<std::int32_t>{1, -1}));
    std::vector<float> rows;
    for (const DriverCall* c : driver.find(HardcopySide, OpLine)) {
        rows.push_back(c->args.Y[0]);
        EXPECT_EQ(c->state.screen_flag, 0);
        EXPECT_EQ(c->state.hardcopy_flag, 1);
    }
    // A row at the top edge crosses no edge: edges are active below their
    // upper end only.
    EXPECT_EQ(rows, (std::vector<float>{100, 125, 150, 175}));
    EXPECT_EQ(gstate.FillEmulationRequest, (std::array<std::int32_t, 2>{0, 0}));
}

TEST_F(FillTest, TwoColourHardcopyGetsASecondPassInColourZero) {
    driver.hardcopy.fill_request = 2;
    driver.hardcopy.fill_spacing = 10.0f;
    start_hardcopy();
    gstate.hc.colour_count = 2;
    IGrColourN(5);
    igrfillpattern(3);
    driver.clear();
    const ColourTriple previous = gstate.PreviousColour, current = gstate.CurrentColour;
    const float x[] = {100, 140, 140, 100}, y[] = {100, 100, 130, 130};
    IGrPolygonComplex(x, y, 4);

    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpPolygonPattern}));
    std::vector<std::pair<float, int>> first, second;
    int colour_ops = 0;
    for (const DriverCall& c : driver.calls) {
        if (c.side != HardcopySide) continue;
        if (c.op == OpColour) ++colour_ops;
        if (c.op != OpLine) continue;
        (colour_ops == 0 ? first : second).push_back({c.args.Y[0], c.state.CurrentColour.index()});
    }
    EXPECT_EQ(colour_ops, 2);
    EXPECT_EQ(first, (std::vector<std::pair<float, int>>{{100, 5}, {110, 5}, {120, 5}}));
    EXPECT_EQ(second, (std::vector<std::pair<float, int>>{{105, 0}, {115, 0}, {125, 0}}));
    EXPECT_EQ(gstate.PreviousColour, previous);
    EXPECT_EQ(gstate.CurrentColour, current);
}

TEST_F(FillTest, DeviceUnitPolygonLeavesThePositionAlone) {
    gstate.pos_x = 3.0f;
    igrfillpattern(4);
    yyplygon(SqX, SqY, 4, 1);
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpPolygonSolid}));
    EXPECT_EQ(gstate.pos_x, 3.0f);
    yyplygon(nullptr, SqY, 4, 0);
    EXPECT_EQ(gstate.pos_x, 3.0f);
}
