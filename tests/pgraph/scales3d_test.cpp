// Scales of 3-D and polar plots, as the recording driver receives them.
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "tests/pgraph/pg_draw_fixture.h"

namespace {

class PgScales3dTest : public PgDrawTest {
protected:
    static constexpr float Tol = 0.05f;
    static constexpr float DefaultWidth = 1.0f / 75;

    // A 3-D plot of type `type` with the per-type defaults.
    void declare(std::int32_t type, std::array<std::int32_t, 3> counts) {
        ipgnewplot1(type, 1, counts, 1, 1);
        ASSERT_EQ(pgstate.PG3DAXES, 1);
        driver.clear();
    }
    struct Corners {
        std::array<float, 4> x{}, y{};
        std::int32_t left = 0;
        float yleft = 0;
    };
    static Corners corners() {
        Corners c;
        yycorn(c.x, c.y, c.left, c.yleft);
        return c;
    }
    // Whether (x, y) lies on the segment from corner a to corner b (1..4).
    static bool on_edge(const Corners& c, int a, int b, float x, float y) {
        const float ax = c.x[static_cast<std::size_t>(a - 1)], ay = c.y[static_cast<std::size_t>(a - 1)];
        const float bx = c.x[static_cast<std::size_t>(b - 1)], by = c.y[static_cast<std::size_t>(b - 1)];
        const float len = std::hypot(bx - ax, by - ay);
        const float cross = ((x - ax) * (by - ay) - (y - ay) * (bx - ax)) / len;
        const float along = ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / (len * len);
        return std::fabs(cross) < Tol && along > -1e-3f && along < 1 + 1e-3f;
    }
    static float edge_angle(const Corners& c, int a, int b) {
        return std::atan2(c.y[static_cast<std::size_t>(b - 1)] - c.y[static_cast<std::size_t>(a - 1)],
                          c.x[static_cast<std::size_t>(b - 1)] - c.x[static_cast<std::size_t>(a - 1)]) *
               180.0f / std::numbers::pi_v<float>;
    }
};

TEST_F(PgScales3dTest, RotationChoosesTheEdgesAndMirrorsTheJustification) {
    struct Case {
        float rotation;
        int x_from, x_to, y_from, y_to;
        std::int32_t x_just, y_just;
    };
    for (const Case& c : {Case{0, 4, 3, 1, 4, 0, 2}, Case{90, 4, 3, 2, 3, 2, 0}}) {
        SCOPED_TRACE(c.rotation);
        declare(5, {5, 4, 0});
        ipgunits(0, 0, 40, 30);
        ipgrotation(c.rotation);
        const Corners k = corners();
        for (int axis = 1; axis <= 2; ++axis) {
            driver.clear();
            if (axis == 1)
                ipgxscale("NT");
            else
                ipgyscaleleft("NT");
            const auto l = lines();
            ASSERT_GE(l.size(), 3u);
            for (const SeenLine& s : l)
                EXPECT_TRUE(axis == 1 ? on_edge(k, c.x_from, c.x_to, s.x1, s.y1)
                                      : on_edge(k, c.y_from, c.y_to, s.x1, s.y1))
                    << axis << ": " << s.x1 << " " << s.y1;
            const auto t = texts();
            ASSERT_EQ(t.size(), l.size());
            for (const SeenText& s : t) EXPECT_EQ(s.just, axis == 1 ? c.x_just : c.y_just);
            // The scale starts at the low end of the edge: the first label is 0.
            EXPECT_EQ(t.front().text, "0");
        }
        EXPECT_EQ(gstate.text.justification, 1);
    }
}

TEST_F(PgScales3dTest, LabelsAlongTheEdgeShrinkToTheSpacing) {
    declare(5, {5, 4, 0});
    ipgunits(0, 0, 1e6f, 30);
    const Corners k = corners();
    const float edge = edge_angle(k, 4, 3);
    struct Case {
        float off;
        bool shrinks;
    };
    for (const Case& c : {Case{0, true}, Case{10, true}, Case{-14.9f, true}, Case{185, true}, Case{15.01f, false},
                          Case{-15.01f, false}, Case{60, false}}) {
        SCOPED_TRACE(c.off);
        ipgxscaleangle(-45, edge + c.off);
        driver.clear();
        ipgxscale("NT");
        const auto t = texts();
        ASSERT_EQ(t.size(), 6u);
        if (c.shrinks) {
            EXPECT_LT(t[0].width, DefaultWidth);
            // The labels just fill their spacing along the edge.
            const float spacing = std::hypot(t[1].x - t[0].x, t[1].y - t[0].y);
            float longest = 0;
            for (const SeenText& s : t) longest = std::max(longest, wgrtextlength(s.text));
            EXPECT_NEAR(longest * t[0].width * 400, spacing, 0.01f * spacing);
        } else {
            EXPECT_FLOAT_EQ(t[0].width, DefaultWidth);
        }
    }
}

TEST_F(PgScales3dTest, CategoryBaseLabelsEachCategoryAtItsCentre) {
    declare(10, {3, 3, 3});
    ipgunits(0, 0, 2, 2);
    const Corners k = corners();
    ipgxscale("NT");
    const auto l = lines();
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(strings(texts()), (std::vector<std::string>{"0", "1", "2"}));
    for (std::size_t i = 0; i < 3; ++i) {
        const float f = (static_cast<float>(i) + 0.5f) / 3;
        EXPECT_NEAR(l[i].x1, k.x[3] + f * (k.x[2] - k.x[3]), Tol);
        EXPECT_NEAR(l[i].y1, k.y[3] + f * (k.y[2] - k.y[3]), Tol);
    }
}

TEST_F(PgScales3dTest, VerticalScaleStandsAtTheLeftmostCorner) {
    declare(5, {5, 4, 0});
    ipgunits(0, 0, 40, 30);
    IPgUnitsZ(0, 100);
    const Corners k = corners();
    float ax, bx, by, ay, zf, x0, y0;
    yy3dxy(ax, bx, by, ay, zf, x0, y0);
    ipgzscale("NT");
    const auto l = lines();
    ASSERT_EQ(l.size(), 6u);
    const auto t = texts();
    EXPECT_EQ(strings(t), (std::vector<std::string>{"0", "20", "40", "60", "80", "100"}));
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(l[i].x1, k.x[static_cast<std::size_t>(k.left - 1)], Tol);
        EXPECT_NEAR(l[i].y1, yyp2y(20.0f * static_cast<float>(i) * zf + k.yleft), Tol);
        EXPECT_LT(l[i].x2, l[i].x1);
        EXPECT_EQ(t[i].just, 2);
    }
}

TEST_F(PgScales3dTest, PolarRadiusAndAngleScales) {
    ipgnewplot1(4, 1, 1, 64);
    IPgUnitsPolar(10);
    float xc, yc, rx, ry;
    yypol(xc, yc, rx, ry);
    ipgyscaleleft("NT");
    const auto t = texts();
    EXPECT_EQ(strings(t), (std::vector<std::string>{"2", "4", "6", "8"}));
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(t[i].x, xc - rx * 0.2f * static_cast<float>(i + 1), Tol);
        EXPECT_LT(t[i].y, yc);
        EXPECT_EQ(t[i].just, 1);
    }
    driver.clear();
    ipgxscale("NT");
    std::vector<std::string> angles;
    for (int a = 0; a < 360; a += 30) angles.push_back(std::to_string(a));
    EXPECT_EQ(strings(texts()), angles);
    const auto l = lines();
    ASSERT_EQ(l.size(), 12u);
    EXPECT_NEAR(l[0].x1, xc + rx, Tol);
    EXPECT_GT(l[0].x2, l[0].x1);  // outward
    EXPECT_NEAR(l[3].y1, yc + ry, Tol);
}

TEST_F(PgScales3dTest, LogarithmicPolarRadius) {
    ipgnewplot1(4, 1, 1, 64);
    ipgscaling(" ", "LOG");
    IPgUnitsPolar(1000);
    float xc, yc, rx, ry;
    yypol(xc, yc, rx, ry);
    ipgyscaleright("NT");
    const auto l = lines();
    ASSERT_EQ(l.size(), 4u);  // more than five decades: no sub-ticks
    const std::array<float, 4> powers{-29, -20, -11, -2};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(l[i].x1, xc + rx * (powers[i] + 38) / 41, Tol);
    EXPECT_EQ(strings(texts()),
              (std::vector<std::string>{"10", "-29", "10", "-20", "10", "-11", "10", "-2"}));
    ipgscaling(" ", " ");
}

}  // namespace
