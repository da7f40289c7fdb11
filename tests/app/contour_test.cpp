// Contouring of the grid: levels, bands, iso-lines and the pass that skips
// the cells with nothing to draw.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/contour.h"
#include "app/griddef.h"
#include "app/legend.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "tests/app/app_test.h"

namespace {

class ContourTest : public AppDrawTest {
protected:
    void SetUp() override {
        AppDrawTest::SetUp();
        igrcolourmodel(24);
        reset_legend_state();
    }
    // An nx x ny grid from (x0, y0) with spacing d, rotated by degrees, filled from f.
    static void grid_of(int nx, int ny, float x0, float y0, float d, float degrees,
                        const std::function<float(float, float)>& f) {
        dat8.gx0 = x0;
        dat8.gy0 = y0;
        dat8.nx = nx;
        dat8.ny = ny;
        dat8.dx = d;
        dat8.dy = d;
        dat8.gx1 = x0 + static_cast<float>(nx - 1) * d;
        dat8.gy1 = y0 + static_cast<float>(ny - 1) * d;
        dat12.rotang = degrees_to_rotang(degrees);
        for (int i = 1; i <= nx; ++i)
            for (int j = 1; j <= ny; ++j)
                dat7.gridval(i, j) = f(x0 + static_cast<float>(i - 1) * d, y0 + static_cast<float>(j - 1) * d);
    }
    // The world rectangle onto the whole window.
    static void units(float x1, float y1, float x2, float y2) {
        IGrArea(0, 0, 1, 1);
        IGrUnits(x1, y1, x2, y2);
    }
    std::vector<const DriverCall*> fills() const {
        std::vector<const DriverCall*> f;
        for (const DriverCall& c : driver.calls)
            if (c.side == ScreenSide && (c.op == OpPolygonPattern || c.op == OpPolygonSolid)) f.push_back(&c);
        return f;
    }
    // Lines drawn before the legend, which begins with its texts.
    std::vector<const DriverCall*> contour_lines() const {
        std::vector<const DriverCall*> l;
        for (const DriverCall& c : driver.calls) {
            if (c.side != ScreenSide) continue;
            if (c.op == OpText) break;
            if (c.op == OpLine) l.push_back(&c);
        }
        return l;
    }
};

// z = a x + b y: every iso-line segment lies on a level line, in world
// coordinates, on a regular and on a rotated grid.
TEST_F(ContourTest, IsoLinesLieOnTheirLevels) {
    const float a = 0.37f, b = -1.21f;
    for (float degrees : {0.0f, 30.0f}) {
        driver.clear();
        grid_of(12, 9, 1000, 2000, 10, degrees, [&](float x, float y) { return a * (x - 1000) + b * (y - 2000); });
        units(900, 1900, 1200, 2100);
        iso_lines(20, -1);
        ASSERT_EQ(numberiso.niso, 20);
        // The legend leaves the view's units; back to those the lines were drawn in.
        units(900, 1900, 1200, 2100);
        const auto lines = contour_lines();
        ASSERT_GT(lines.size(), 50u);
        for (const DriverCall* c : lines) {
            float x[2], y[2];
            for (int e = 0; e < 2; ++e) {
                yyi2e(c->args.X[e], c->args.Y[e], x[e], y[e]);
                // Back into the grid's frame, where the field is defined.
                rotate(x[e], y[e], 1);
            }
            const float v0 = a * (x[0] - 1000) + b * (y[0] - 2000);
            const float v1 = a * (x[1] - 1000) + b * (y[1] - 2000);
            // Both ends on one level: the nearest level to the first (level 0,
            // zmin itself, where a corner at zmin is moved just below it).
            int k = 0;
            for (int l = 1; l <= 20; ++l)
                if (std::fabs(v0 - level_table[l]) < std::fabs(v0 - level_table[k])) k = l;
            EXPECT_NEAR(v0, level_table[k], 2e-3) << degrees;
            EXPECT_NEAR(v1, level_table[k], 2e-3) << degrees;
        }
        EXPECT_EQ(dat12.rotang, degrees_to_rotang(degrees));
    }
}

TEST_F(ContourTest, ConstantGridIsOneBlueBand) {
    grid_of(4, 3, 0, 0, 1, 0, [](float, float) { return 7.0f; });
    units(0, 0, 10, 10);
    iso_lines(20, 1);
    EXPECT_EQ(numberiso.niso, 1);
    EXPECT_EQ(level_table[1], static_cast<float>(7.0L + 0.05L));
    const auto f = fills();
    // The six cells filled whole, then the legend's one box.
    ASSERT_EQ(f.size(), 7u);
    for (const DriverCall* c : f) EXPECT_EQ(c->state.CurrentColour.rgb(), wrgb(0, 0, 255));
}

TEST_F(ContourTest, GridWithoutValuesDrawsOnlyTheLegend) {
    grid_of(3, 3, 0, 0, 1, 0, [](float, float) { return BlankValue; });
    units(0, 0, 10, 10);
    iso_lines(20, 1);
    EXPECT_EQ(dat7.zmin, 1.0E10f);
    EXPECT_EQ(dat7.zmax, -1.0E10f);
    EXPECT_EQ(fills().size(), 20u);
    EXPECT_TRUE(contour_lines().empty());
}

TEST_F(ContourTest, CellWithOneBlankCornerDrawsNothing) {
    grid_of(2, 2, 0, 0, 1, 0, [](float x, float y) { return x + 2 * y; });
    dat7.gridval(2, 2) = BlankValue;
    units(0, 0, 10, 10);
    for (int style : {1, -1, 0}) {
        driver.clear();
        iso_lines(20, style);
        EXPECT_TRUE(contour_lines().empty()) << style;
        EXPECT_EQ(fills().size(), style == 1 ? 20u : style == -1 ? 19u : 0u) << style;
    }
}

TEST_F(ContourTest, ValueOnALevelIsNudgedOnlyInTheCopy) {
    // Values 0..19 along x give levels k - 0.5; the value 2.5 lies on level 3.
    grid_of(20, 2, 0, 0, 1, 0, [](float x, float) { return x; });
    dat7.gridval(4, 1) = 2.5f;
    units(0, 0, 20, 2);
    iso_lines(20, -1);
    ASSERT_EQ(level_table[3], 2.5f);
    EXPECT_EQ(dat7.gridval(4, 1), 2.5f);
    EXPECT_FALSE(contour_lines().empty());
}

TEST_F(ContourTest, ArcInfoGridIsAMosaicInEveryStyle) {
    dat18.gridtype = GridArcInfo;
    grid_of(3, 2, 0, 0, 1, 0, [](float x, float y) { return x + 3 * y; });
    for (int style : {1, -1}) {
        units(-1, -1, 3, 3);
        driver.clear();
        iso_lines(20, style);
        // Six cells, one fill each (every value lies in one band), the cell
        // at zmin once more in the pass of zmin itself, then the legend.
        EXPECT_EQ(fills().size(), 7u + (style == 1 ? 20u : 19u)) << style;
        EXPECT_TRUE(contour_lines().empty()) << style;
    }
}

// The same operations, one for one: kind, colour, points, line ends.
void expect_same_calls(const std::vector<DriverCall>& plain, const std::vector<DriverCall>& calls,
                       const std::string& name) {
    EXPECT_EQ(calls.size(), plain.size()) << name;
    if (calls.size() != plain.size()) return;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const DriverCall& p = plain[i];
        const DriverCall& q = calls[i];
        ASSERT_EQ(p.op, q.op) << name << " " << i;
        ASSERT_EQ(p.state.CurrentColour, q.state.CurrentColour) << name << " " << i;
        ASSERT_EQ(p.px, q.px) << name << " " << i;
        ASSERT_EQ(p.py, q.py) << name << " " << i;
        for (int e = 0; e < 2 && p.op == OpLine; ++e) {
            ASSERT_EQ(p.args.X[e], q.args.X[e]) << name << " " << i;
            ASSERT_EQ(p.args.Y[e], q.args.Y[e]) << name << " " << i;
        }
    }
}

// The pass that passes over cells without anything to draw sends the same
// operations, one for one, as the pass that visits every cell.
TEST_F(ContourTest, SkippingPassEqualsThePlainPass) {
    struct Case {
        const char* name;
        int gridtype;
        float degrees;
        std::function<float(float, float)> f;
        std::function<void()> edit;
    } cases[] = {
        {"levels", 0, 0, [](float x, float y) { return std::floor(x / 3) + 0.5f * y; }, [] {}},
        {"blank corners", 0, 0, [](float x, float y) { return std::sin(x / 5) * y; },
         [] {
             dat7.gridval(3, 3) = BlankValue;
             dat7.gridval(10, 1) = BlankValue;
         }},
        {"rotated", 0, 25, [](float x, float y) { return x * x - y; }, [] {}},
        {"arc-info", 1, 0, [](float x, float y) { return x - y; }, [] {}},
        {"constant", 0, 0, [](float, float) { return -3.0f; }, [] {}},
    };
    for (const Case& c : cases) {
        for (int style : {1, -1, 0}) {
            dat18.gridtype = c.gridtype;
            grid_of(15, 11, 0, 0, 1, c.degrees, c.f);
            c.edit();
            units(-5, -5, 20, 20);
            driver.clear();
            reset_legend_state();
            iso_lines_plain(20, style);
            const auto plain = driver.calls;
            units(-5, -5, 20, 20);
            driver.clear();
            reset_legend_state();
            iso_lines(20, style);
            expect_same_calls(plain, driver.calls, std::string(c.name) + " " + std::to_string(style));
        }
    }
}

// A pass after another takes over the value range and the cells of each
// level only for the same grid to the bit and the same level count: after
// any change it draws as the plain pass does.
TEST_F(ContourTest, PassAfterAnotherSeesEveryChange) {
    struct Case {
        const char* name;
        int nx, levels;
        std::function<void()> edit;
    } cases[] = {
        {"nothing changed", 15, 20, [] {}},
        {"one value", 15, 20, [] { dat7.gridval(7, 5) += 0.75f; }},
        {"a value blanked", 15, 20, [] { dat7.gridval(2, 9) = BlankValue; }},
        {"a new largest value", 15, 20, [] { dat7.gridval(15, 11) = 500.0f; }},
        {"fewer levels", 15, 7, [] {}},
        {"one column less", 14, 20, [] {}},
    };
    auto f = [](float x, float y) { return std::sin(x / 4) * 10 + y; };
    for (const Case& c : cases) {
        grid_of(15, 11, 0, 0, 1, 0, f);
        units(-5, -5, 20, 20);
        iso_lines(20, 1);
        c.edit();
        dat8.nx = c.nx;
        for (int style : {0, 1}) {
            units(-5, -5, 20, 20);
            driver.clear();
            reset_legend_state();
            iso_lines_plain(c.levels, style);
            const auto plain = driver.calls;
            const float zmax = dat7.zmax;
            units(-5, -5, 20, 20);
            driver.clear();
            reset_legend_state();
            iso_lines(c.levels, style);
            EXPECT_EQ(dat7.zmax, zmax) << c.name;
            expect_same_calls(plain, driver.calls, std::string(c.name) + " " + std::to_string(style));
        }
    }
}

}  // namespace
