// Contour colours and the legend.
#include <cmath>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/contour.h"
#include "app/legend.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "tests/app/app_test.h"

namespace {

std::int32_t rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

TEST(ContourColours, RampOfTwentyLevels) {
    reset_legend_state();
    numberiso.niso = 20;
    const int table[21][3] = {{255, -23, 0}, {255, 0, 0},     {255, 23, 0},   {255, 46, 0},   {255, 69, 0},
                              {255, 92, 0},  {255, 115, 0},   {255, 139, 0},  {255, 162, 0},  {255, 185, 0},
                              {255, 208, 0}, {255, 231, 0},   {255, 255, 0},  {0, 255, 0},    {0, 255, 85},
                              {0, 255, 170}, {0, 255, 255},   {0, 192, 255},  {0, 128, 255},  {0, 64, 255},
                              {0, 0, 255}};
    for (int i = 0; i <= 20; ++i)
        EXPECT_EQ(ncolor(i), rgb(table[i][0], table[i][1], table[i][2])) << i;
    EXPECT_EQ(ncolor(0), -5633);
    // Past the last level the previous call's colour comes back.
    ncolor(7);
    EXPECT_EQ(ncolor(21), rgb(255, 139, 0));
}

TEST(ContourColours, FewLevels) {
    reset_legend_state();
    numberiso.niso = 1;
    EXPECT_EQ(ncolor(0), rgb(255, 255, 0));
    EXPECT_EQ(ncolor(1), rgb(0, 0, 255));
    // Two and three levels: the first ramp segment has no length; every colour
    // stays a proper colour and the last level is blue.
    for (int n : {2, 3}) {
        numberiso.niso = n;
        for (int i = 1; i <= n; ++i) {
            const std::int32_t c = ncolor(i);
            std::int32_t r = 0, g = 0, b = 0;
            wrgbsplit(c, &r, &g, &b);
            EXPECT_TRUE(c >= 0 && r >= 0 && g >= 0 && b >= 0) << n << " " << i;
        }
        EXPECT_EQ(ncolor(n), rgb(0, 0, 255)) << n;
    }
}

// The legend in window fractions on a 200 x 100 window.
class LegendTest : public AppDrawTest {
protected:
    void SetUp() override {
        AppDrawTest::SetUp();
        igrcolourmodel(24);
        dat9 = {0, 0, 100, 50};
        dat8.gx0 = 150000;   // far from the window fractions the legend uses
        dat12.rotang = 0.3f;
    }
    // Fills in window fractions: lowest and highest y of each.
    std::vector<std::pair<float, float>> fills() const {
        std::vector<std::pair<float, float>> f;
        for (const DriverCall& c : driver.calls) {
            if (c.side != ScreenSide || (c.op != OpPolygonPattern && c.op != OpPolygonSolid)) continue;
            float lo = 1e9f, hi = -1e9f;
            for (float y : c.py) {
                lo = std::min(lo, y / 100.0f);
                hi = std::max(hi, y / 100.0f);
            }
            f.emplace_back(lo, hi);
        }
        return f;
    }
    std::vector<std::string> labels() const {
        std::vector<std::string> t;
        for (const DriverCall* c : driver.find(ScreenSide, OpText)) t.push_back(c->text.substr(0, 10));
        return t;
    }
    void draw(int n, int style, float zmin, float step) {
        numberiso.niso = n;
        level_table[0] = zmin;
        for (int k = 1; k <= n; ++k) level_table[k] = zmin + (static_cast<float>(k) - 0.5f) * step;
        driver.clear();
        legenda(n, level_table, zmin, zmin + static_cast<float>(n - 1) * step, style);
    }
};

TEST_F(LegendTest, BoxesForFilledBands) {
    draw(20, 1, 1.0f, 1.0f);
    const auto f = fills();
    ASSERT_EQ(f.size(), 20u);
    EXPECT_NEAR(f.front().first, 0.10f, 0.011f);
    EXPECT_NEAR(f.back().second, 0.70f, 0.011f);
    const auto t = labels();
    // zmin at the bottom, then the twenty levels; the top one half a step above zmax.
    ASSERT_GE(t.size(), 21u);
    const std::vector<std::string> last(t.end() - 21, t.end());
    EXPECT_EQ(last[0], "      1.00");
    EXPECT_EQ(last[1], "      1.50");
    EXPECT_EQ(last[20], "     20.50");
    EXPECT_EQ(dat12.rotang, 0.3f);
}

TEST_F(LegendTest, BarsForIsoLines) {
    draw(20, -1, 1.0f, 1.0f);
    const auto f = fills();
    ASSERT_EQ(f.size(), 19u);
    // No bar at the bottom position; each bar 0.005 high.
    EXPECT_NEAR(f.front().first, 0.13f, 0.011f);
    EXPECT_NEAR(f.front().second - f.front().first, 0.005f, 0.011f);
    const auto t = labels();
    ASSERT_GE(t.size(), 20u);
    const std::vector<std::string> last(t.end() - 20, t.end());
    EXPECT_EQ(last[0], "      1.50");
    EXPECT_EQ(last[18], "     19.50");
    EXPECT_EQ(last[19], std::string(10, ' '));
}

TEST_F(LegendTest, ConstantGridHasOneBlueBox) {
    draw(1, 1, 4.0f, 0.1f);
    const auto f = fills();
    ASSERT_EQ(f.size(), 1u);
    const DriverCall* fill = nullptr;
    for (const DriverCall& c : driver.calls)
        if (c.op == OpPolygonPattern || c.op == OpPolygonSolid) fill = &c;
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->state.CurrentColour.rgb(), rgb(0, 0, 255));
    EXPECT_EQ(labels().back(), "      4.05");
}

TEST_F(LegendTest, DecimalsFollowLeakanceAndOption) {
    struct Case {
        int leak, iopt;
        const char* label;
    } cases[] = {{1, 4, "    1.5000"}, {1, 52, "    1.5000"}, {1, 3, "      1.50"}, {0, 52, "      1.50"},
                 {0, 4, "      1.50"}};
    for (const Case& c : cases) {
        leakage.leak = c.leak;
        leakage.iopt = c.iopt;
        draw(2, 1, 1.0f, 1.0f);
        const auto t = labels();
        ASSERT_GE(t.size(), 3u);
        EXPECT_EQ(t[t.size() - 2], c.label) << c.leak << " " << c.iopt;
    }
}

TEST_F(LegendTest, ValuesTooWideAreAsterisks) {
    draw(2, 1, 1.0e7f, 10.0f);
    const auto t = labels();
    ASSERT_GE(t.size(), 3u);
    EXPECT_EQ(t[t.size() - 3], std::string(10, '*'));
}

}  // namespace
