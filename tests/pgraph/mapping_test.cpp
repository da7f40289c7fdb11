#include <algorithm>
#include <array>
#include <cmath>

#include "tests/pgraph/pg_fixture.h"

class PgMappingTest : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        Core::defaults();
    }
};

TEST_F(PgMappingTest, LinearMappingInsideTheGraphicsUnits) {
    struct Case { float ux1, uy1, ux2, uy2; float x, y, gx, gy; };
    const Case cases[] = {
        {0, 0, 1, 1, 0.5f, 0.5f, 0.5f, 0.5f},
        {0, 0, 1, 1, 0.0f, 1.0f, 0.1f, 0.9f},
        {0, 10, 200, 20, 0.5f, 0.0f, 100.0f, 11.0f},
        {0, 0, 1, 1, 2.0f, -1.0f, 1.7f, -0.7f},   // outside the plot area: no clipping
    };
    for (const auto& c : cases) {
        Core::ux1 = c.ux1;
        Core::uy1 = c.uy1;
        Core::ux2 = c.ux2;
        Core::uy2 = c.uy2;
        float gx = 0, gy = 0;
        ipgunitstogrunits(c.x, c.y, gx, gy);
        EXPECT_FLOAT_EQ(gx, c.gx);
        EXPECT_FLOAT_EQ(gy, c.gy);
        EXPECT_FLOAT_EQ(yyp2x(c.x), c.gx);
        EXPECT_FLOAT_EQ(yyp2y(c.y), c.gy);
    }
    // A reversed axis mirrors the plot.
    Core::defaults();
    ipgunits(10.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(yyp2x(10.0f), 0.1f);
    EXPECT_FLOAT_EQ(yyp2x(0.0f), 0.9f);
}

TEST_F(PgMappingTest, LogarithmicMapping) {
    ipgunits(1.0f, 0.01f, 1000.0f, 100.0f);
    ipgscaling("LOG", "LOG");
    struct Case { float v; float t; };
    for (const Case c : {Case{1, 0}, Case{10, 1.0f / 3}, Case{1000, 1}, Case{0, -38.0f / 3}, Case{-100, 2.0f / 3}}) {
        EXPECT_NEAR(yyp2x(c.v), 0.1f + c.t * 0.8f, 1e-5) << c.v;
    }
    EXPECT_NEAR(yyp2y(1.0f), 0.5f, 1e-6);
    // Limits with the same absolute value give a log range of 0: the start.
    ipgunits(-10.0f, 1.0f, 10.0f, 10.0f);
    EXPECT_EQ(pgstate.PGLOGXRANGE, 0.0f);
    EXPECT_FLOAT_EQ(yyp2x(5.0f), 0.1f);
}

TEST_F(PgMappingTest, Log10OfTheAbsoluteValue) {
    const std::array<std::array<float, 2>, 5> cases = {
        {{-100.0f, 2.0f}, {0.0f, -38.0f}, {1000.0f, 3.0f}, {0.01f, -2.0f}, {1.0f, 0.0f}}};
    for (const auto& c : cases) EXPECT_EQ(yylog1(c[0]), c[1]) << c[0];
}

TEST_F(PgMappingTest, PolarCircleLooksRoundOnTheDevice) {
    Core::aspect = 2.0f;   // drawable twice as wide as high
    pgstate.PGXLOG = 1;
    pgstate.PGYLOG = 1;
    float xc, yc, rx, ry;
    yypol(xc, yc, rx, ry);
    EXPECT_FLOAT_EQ(xc, 0.5f);
    EXPECT_FLOAT_EQ(yc, 0.5f);
    EXPECT_FLOAT_EQ(rx, 0.2f);
    EXPECT_FLOAT_EQ(ry, 0.4f);
    EXPECT_EQ(pgstate.PGXLOG, 1);
    EXPECT_EQ(pgstate.PGYLOG, 1);

    // Screen output off: the page proportions decide.
    Core::screen = 0;
    Core::page_w = 3000;
    Core::page_h = 1000;
    yypol(xc, yc, rx, ry);
    EXPECT_FLOAT_EQ(ry, 0.4f);
    EXPECT_NEAR(rx, 0.4f / 3.0f, 1e-6);
    // A page without a height counts as square.
    Core::page_h = 0;
    yypol(xc, yc, rx, ry);
    EXPECT_FLOAT_EQ(rx, 0.4f);
    EXPECT_FLOAT_EQ(ry, 0.4f);
}

TEST_F(PgMappingTest, LeftmostCornerOfThe3DBase) {
    const std::array<std::int32_t, 2> counts = {3, 3};
    ipgnewplot1(5, 1, counts, 1);
    struct Case { float rotation; int left; };
    for (const Case c : {Case{0, 1}, Case{120, 4}, Case{200, 3}, Case{300, 2}}) {
        SCOPED_TRACE(c.rotation);
        ipgrotation(c.rotation);
        std::array<float, 4> gx{}, gy{};
        std::int32_t left = 0;
        float yleft = 0;
        yycorn(gx, gy, left, yleft);
        EXPECT_EQ(left, c.left);
        const auto k = static_cast<std::size_t>(left - 1);
        EXPECT_EQ(gx[k], *std::min_element(gx.begin(), gx.end()));
        EXPECT_FLOAT_EQ(yyp2y(yleft), gy[k]);
    }
}

TEST_F(PgMappingTest, ProjectionAtRotationZero) {
    const std::array<std::int32_t, 2> counts = {3, 3};
    ipgnewplot1(5, 1, counts, 1);
    float ax, bx, by, ay, zf, x0, y0;
    yy3dxy(ax, bx, by, ay, zf, x0, y0);
    // sx = sy = 1.4142 * 0.70710677 = 0.99999; d = 0.5, e = 0.5, W = H = 1.
    EXPECT_NEAR(ax, 0.99999f * 0.25f, 1e-6);
    EXPECT_NEAR(bx, 0.99999f * 0.25f, 1e-6);
    EXPECT_NEAR(ay, 0.99999f * 0.125f, 1e-6);
    EXPECT_NEAR(by, 0.99999f * 0.125f, 1e-6);
    EXPECT_FLOAT_EQ(zf, 0.5f);
    EXPECT_NEAR(x0, 0.5f * (1.0f - 2 * ax - 2 * bx), 1e-6);
    // Base height (a hair under 0.5) plus the z range 0.5: the lowest corner
    // sits above the bottom edge by half the height that is left over.
    const float t = 0.5f + 2 * ay + 2 * by;
    EXPECT_LT(t, 1.0f);
    EXPECT_NEAR(y0, 2 * by + 0.5f * (1.0f - t), 1e-6);
    // A taller base puts the lowest corner on the bottom edge.
    ipgelevation(45.0f);
    yy3dxy(ax, bx, by, ay, zf, x0, y0);
    EXPECT_NEAR(y0, 2 * by, 1e-6);
}

TEST_F(PgMappingTest, BroadBaseIsScaledToTheWidthAndCentred) {
    const std::array<std::int32_t, 2> counts = {19, 2};
    ipgunits(2.0f, 0.0f, 6.0f, 1.0f);
    ipgnewplot1(5, 1, counts, 1 + 512);   // depth ratio 1 - 0.5 * 2 / 19
    ipgrotation(45.0f);
    float ax, bx, by, ay, zf, x0, y0;
    yy3dxy(ax, bx, by, ay, zf, x0, y0);
    const float nx = 18, ny = 1;
    const std::array<float, 4> xs = {x0, x0 + nx * ax, x0 + nx * ax + ny * bx, x0 + ny * bx};
    EXPECT_NEAR(*std::min_element(xs.begin(), xs.end()), 2.0f, 1e-5);
    EXPECT_NEAR(*std::max_element(xs.begin(), xs.end()), 6.0f, 1e-5);
    // The four steps keep their proportions.
    EXPECT_NEAR(ay / ax, 1.4142f * pgstate.PGCOSROTP * 0.5f * 0.5f / (1.4142f * pgstate.PGCOSROTM * pgstate.PGDEPTHRATIO * 4.0f), 1e-5);
}
