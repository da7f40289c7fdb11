// The frame lines of 2-D, 3-D and polar plots.
#include <array>
#include <optional>

#include "lib/graphics/colours.h"
#include "tests/pgraph/pg_draw_fixture.h"

namespace {

class PgAxesTest : public PgDrawTest {
protected:
    // Graphics units of the plot area: x 100..300, y 60..240.
    static constexpr float X1 = 100, X2 = 300, Y1 = 60, Y2 = 240;
    static constexpr float Tol = 0.05f;

    std::vector<const DriverCall*> fills(int side = ScreenSide) const {
        std::vector<const DriverCall*> v;
        for (const DriverCall& c : driver.calls)
            if (c.side == side && (c.op == OpPolygonPattern || c.op == OpPolygonSolid)) v.push_back(&c);
        return v;
    }
    int ellipses(int side) const {
        int n = 0;
        for (const DriverCall& c : driver.calls)
            if (c.side == side && c.op >= OpEllipse && c.op <= OpEllipseSolid) ++n;
        return n;
    }
};

TEST_F(PgAxesTest, CrossingsInsideTheRangeAreUsedOthersFallBackToTheMinimum) {
    struct Case {
        std::optional<float> x, y;
        float vx, hy;  // graphics x of the vertical axis, graphics y of the horizontal one
    };
    // Plot x 100..200 over graphics 100..300, y -5..5 over 60..240.
    for (const Case& c : {Case{std::nullopt, std::nullopt, 100, 150}, Case{200, -5, 300, 60},
                          Case{100, 5, 100, 240}, Case{150, 2.5f, 200, 195}, Case{99.9f, 5.1f, 100, 60},
                          Case{std::nullopt, -6, 100, 60}}) {
        SCOPED_TRACE(testing::Message() << c.x.value_or(-1) << " " << c.y.value_or(-1));
        ipgunits(100, -5, 200, 5);
        driver.clear();
        ipgaxes(c.x, c.y);
        const auto l = lines();
        ASSERT_EQ(l.size(), 2u);
        EXPECT_NEAR(l[0].x1, c.vx, Tol);
        EXPECT_NEAR(l[0].x2, c.vx, Tol);
        EXPECT_NEAR(l[0].y1, Y1, Tol);
        EXPECT_NEAR(l[0].y2, Y2, Tol);
        EXPECT_NEAR(l[1].y1, c.hy, Tol);
        EXPECT_NEAR(l[1].y2, c.hy, Tol);
        EXPECT_NEAR(l[1].x1, X1, Tol);
        EXPECT_NEAR(l[1].x2, X2, Tol);
    }
}

TEST_F(PgAxesTest, PolarAxesAreDrawnOncePerDeviceWithItsAspect) {
    ipgnewplot1(4, 1, 1, 64);
    IPgUnitsPolar(10);
    gstate.fill_style = 2;
    // Screen alone: once, a circle on a drawable of aspect 4:3.
    ipgaxes();
    EXPECT_EQ(lines(ScreenSide).size(), 2u);
    EXPECT_EQ(ellipses(ScreenSide), 1);
    EXPECT_TRUE(driver.find(HardcopySide, OpLine).empty());
    const DriverCall* e = driver.find(ScreenSide, OpEllipse).at(0);
    EXPECT_NEAR(e->args.X[2], 90.0f * 0.75f / 90.0f, 1e-4);  // ry / (aspect * rx)

    // Both outputs on: the screen with its aspect, then the page (2:1) with
    // its own; a page without a height counts as square.
    struct Case {
        std::int32_t w, h;
        float rx;  // radius in graphics x on the page
    };
    for (const Case& c : {Case{2000, 1000, 60}, Case{2000, 0, 100}}) {
        driver.clear();
        gstate.hardcopy_flag = 1;
        gstate.hc.options.set(1, c.w);
        gstate.hc.options.set(2, c.h);
        ipgaxes();
        EXPECT_EQ(lines(ScreenSide).size(), 2u);
        EXPECT_EQ(ellipses(ScreenSide), 1);
        const auto hl = lines(HardcopySide);
        ASSERT_EQ(hl.size(), 2u);
        EXPECT_NEAR(hl[0].x2 - hl[0].x1, 2 * c.rx, Tol);
        EXPECT_GE(ellipses(HardcopySide), 1);
        for (const DriverCall& call : driver.calls) EXPECT_EQ(call.state.fill_style, 0);
        EXPECT_EQ(gstate.screen_flag, 1);
        EXPECT_EQ(gstate.hardcopy_flag, 1);
        EXPECT_EQ(gstate.fill_style, 2);
    }
}

TEST_F(PgAxesTest, BoxWithoutWallFillDrawsOnlyItsNineLines) {
    ipgnewplot1(1, 1, 4, 1);  // 3-D bars without a projected base
    ASSERT_EQ(pgstate.PG3D, 1);
    ASSERT_EQ(pgstate.PG3DAXES, 0);
    ASSERT_EQ(pgstate.PGWALLFILL, 0);
    ipgaxes();
    EXPECT_EQ(lines().size(), 9u);
    EXPECT_TRUE(fills().empty());
    // The back frame is shifted by the category width (0.15 of 0.6 / 4).
    const float dx = (X2 - X1) * pgstate.PGCATWIDTH, dy = (Y2 - Y1) * pgstate.PGCATWIDTH;
    const SeenLine b = lines().at(0);
    EXPECT_NEAR(b.x1, X1 + dx, Tol);
    EXPECT_NEAR(b.y1, Y1 + dy, Tol);
    EXPECT_NEAR(b.x2, X2, Tol);
}

TEST_F(PgAxesTest, BoxWallsAreFilledInTheirColoursAndTheAttributesComeBack) {
    ipgnewplot1(1, 1, 4, 1);
    pgstate.PGWALLFILL = 4;
    pgstate.PGWALLCOLOUR = {{{10, 11}, {20, 21}, {30, 31}}};
    IGrColourN(5);
    IGrColourN(7);
    gstate.fill_style = 1;
    driver.clear();
    ipgaxes();
    const auto f = fills();
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0]->state.CurrentColour.index(), 30);  // back wall
    EXPECT_EQ(f[1]->state.CurrentColour.index(), 10);  // floor
    EXPECT_EQ(f[2]->state.CurrentColour.index(), 20);  // left wall
    for (const auto* c : f) EXPECT_EQ(c->state.fill_style, 4);
    EXPECT_EQ(lines().size(), 9u);
    EXPECT_EQ(gstate.CurrentColour.index(), 7);
    EXPECT_EQ(gstate.PreviousColour.index(), 5);
    EXPECT_EQ(gstate.fill_style, 1);

    // The two-colour pattern selects each wall's second colour after its first.
    pgstate.PGWALLFILL = 3;
    driver.clear();
    ipgaxes();
    const auto f3 = fills();
    ASSERT_FALSE(f3.empty());
    EXPECT_EQ(f3[0]->state.PreviousColour.index(), 30);
    EXPECT_EQ(f3[0]->state.CurrentColour.index(), 31);
}

TEST_F(PgAxesTest, ProjectedWallColoursSwapWithTheParityOfTheLeftmostCorner) {
    const std::array<std::int32_t, 2> counts{4, 5};
    ipgnewplot1(5, 1, counts, 1, 1);
    ASSERT_EQ(pgstate.PG3DAXES, 1);
    ASSERT_EQ(pgstate.PGWALLFILL, 4);
    pgstate.PGWALLCOLOUR = {{{10, 0}, {20, 0}, {30, 0}}};
    struct Case {
        float rotation;
        std::int32_t left;
        std::array<std::int32_t, 3> colours;  // floor, wall A, wall B
    };
    for (const Case& c : {Case{0, 1, {30, 10, 20}}, Case{120, 4, {30, 20, 10}}}) {
        SCOPED_TRACE(c.rotation);
        ipgrotation(c.rotation);
        std::array<float, 4> gx{}, gy{};
        std::int32_t left = 0;
        float yleft = 0;
        yycorn(gx, gy, left, yleft);
        ASSERT_EQ(left, c.left);
        driver.clear();
        ipgaxes();
        const auto f = fills();
        ASSERT_EQ(f.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(f[i]->state.CurrentColour.index(), c.colours[i]);
        // Wall A stands on the leftmost corner.
        EXPECT_NEAR(f[1]->px.at(0), gx[static_cast<std::size_t>(left - 1)], Tol);
        // The outline of the base, then the two vertical edges of 3 and 2 lines.
        const auto outline = driver.find(ScreenSide, OpPolyline);
        ASSERT_EQ(outline.size(), 1u);
        EXPECT_EQ(outline[0]->px.size(), 5u);
        EXPECT_EQ(lines().size(), 5u);
    }
}

}  // namespace
