#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/window/errors.h"
#include "tests/support/graphics_test.h"

using Ops = std::vector<std::int32_t>;

TEST(ColourPacking, PacksWithoutClampingAndSplitsOnlyWhatIsAsked) {
    EXPECT_EQ(wrgb(255, 255, 255), 16777215);
    EXPECT_EQ(wrgb(256, 0, 0), 256);
    EXPECT_EQ(wrgb(0, 1, 0), 256);
    EXPECT_EQ(wrgb(10, 20, 30), 10 + 256 * 20 + 65536 * 30);
    std::int32_t r = -7, g = -7, b = -7;
    wrgbsplit(wrgb(10, 20, 30), nullptr, nullptr, &b);
    EXPECT_EQ(r, -7);
    EXPECT_EQ(g, -7);
    EXPECT_EQ(b, 30);
    wrgbsplit(wrgb(10, 20, 30), &r, &g, &b);
    EXPECT_EQ(r, 10);
    EXPECT_EQ(g, 20);
    // Truncating division: a negative value splits into non-positive parts.
    wrgbsplit(-1, &r, &g, &b);
    EXPECT_EQ(r, -1);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
}

TEST(ColourNumbers, DeviceColourNumberPerColourCount) {
    struct Case {
        int n, index, expected;
    };
    const Case cases[] = {
        {16, 31, 12}, {16, 47, 4},  {16, 223, 15}, {16, 239, 7}, {16, 240, 8}, {16, 159, 9}, {16, 175, 1},
        {8, 150, 1},  {8, 31, 4},   {4, 100, 2},   {64, 255, 63}, {32, 9, 1},  {128, 200, 100},
        {256, 77, 77}, {2, 77, 1},  {1, 5, 1},
    };
    for (const auto& c : cases) {
        gstate.colour_count = c.n;
        EXPECT_EQ(yycnum(c.index), c.expected) << "n=" << c.n << " i=" << c.index;
    }
    for (int n : {1, 2, 4, 8, 16, 32, 64, 128, 256}) {
        gstate.colour_count = n;
        EXPECT_EQ(yycnum(0), 0) << n;
        EXPECT_EQ(yycnum(-1), -1) << n;
    }
    // A count that does not occur gives the previous result.
    gstate.colour_count = 16;
    EXPECT_EQ(yycnum(31), 12);
    gstate.colour_count = 5;
    EXPECT_EQ(yycnum(100), 12);
}

TEST(ColourNumbers, HueGroups) {
    EXPECT_EQ(yycoln(0, 0), 0);
    EXPECT_EQ(yycoln(1, 0), 4);
    EXPECT_EQ(yycoln(7, 1), 7);
    EXPECT_EQ(yycoln(9, 0), 12);
    EXPECT_EQ(yycoln(15, 0), 15);
    EXPECT_EQ(yycoln(-1, 0), -1);
    EXPECT_EQ(yycoln(16, 0), -1);
    EXPECT_EQ(yycoln(3, 2), -1);
}

TEST(ColourConversion, HueSaturationValue) {
    constexpr float pi = std::numbers::pi_v<float>;
    struct Case {
        int r, g, b;
        float h, s, v;
    };
    const Case cases[] = {
        {128, 128, 128, 0.0f, 0.0f, 128.0f / 255.0f},
        {0, 0, 0, 0.0f, 0.0f, 0.0f},
        {255, 0, 0, 2 * pi, 1.0f, 1.0f},
        {250, 255, 0, pi / 3, 1.0f, 1.0f},   // red within the tolerance of the maximum
        {255, 255, 0, pi / 3, 1.0f, 1.0f},
        {0, 255, 0, 2 * pi / 3, 1.0f, 1.0f},
        {0, 255, 255, pi, 1.0f, 1.0f},
        {0, 0, 255, 4 * pi / 3, 1.0f, 1.0f},
        {255, 0, 255, 5 * pi / 3, 1.0f, 1.0f},
        {200, 100, 0, pi / 6 * 1.0f, 1.0f, 200.0f / 255.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.r << "," << c.g << "," << c.b);
        float h = -1, s = -1, v = -1;
        yyrgbhsv(wrgb(c.r, c.g, c.b), h, s, v);
        EXPECT_NEAR(h, c.h, 1e-5f);
        EXPECT_NEAR(s, c.s, 1e-6f);
        EXPECT_NEAR(v, c.v, 1e-6f);
    }
}

TEST(ColourConversion, HexText) {
    std::string t(6, 'x');
    yyrgbhex(255, 128, 0, t);
    EXPECT_EQ(t, "ff8000");
    yyrgbhex(0, 0, 0, t);
    EXPECT_EQ(t, "000000");
    yyrgbhex(1, 171, 16, t);
    EXPECT_EQ(t, "01ab10");
    std::string longer(8, 'x');
    yyrgbhex(300, -4, 15, longer);
    EXPECT_EQ(longer, "ff000f  ");
}

class ColourSelection : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        gstate.chosen_palette_size = 16;
        igrinit();
        driver.clear();
    }
};

TEST_F(ColourSelection, PaletteNumberKeepsThePreviousColour) {
    IGrColourN(5);
    EXPECT_EQ(gstate.PreviousColour, (ColourTriple{{15, 223, 0}}));
    EXPECT_EQ(gstate.CurrentColour.index(), 5);
    EXPECT_EQ(gstate.CurrentColour.rgb(), wrgb(235, 235, 235));
    EXPECT_EQ(gstate.CurrentColour.device(), yycnum(5));
    EXPECT_EQ(driver.ops(ScreenSide), (Ops{OpColour}));
    EXPECT_TRUE(driver.ops(HardcopySide).empty());
    gstate.hardcopy_flag = 1;
    IGrColourN(31);
    EXPECT_EQ(driver.ops(HardcopySide), (Ops{OpColour}));
    EXPECT_EQ(driver.find(HardcopySide, OpColour)[0]->state.CurrentColour, (ColourTriple{{12, 31, 255}}));
}

TEST_F(ColourSelection, OutOfRangeNumberChangesNothing) {
    const ColourTriple prev = gstate.PreviousColour, cur = gstate.CurrentColour;
    for (int n : {256, -1, 100000}) {
        IGrColourN(n);
        EXPECT_EQ(infoerror(1), 42) << n;
    }
    EXPECT_EQ(gstate.PreviousColour, prev);
    EXPECT_EQ(gstate.CurrentColour, cur);
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(ColourSelection, PackedColoursOnATrueColourScreen) {
    igrcolourmodel(24);
    EXPECT_EQ(gstate.ColourModel, 2);
    ASSERT_EQ(gstate.device[ScreenSide].true_colour, 1);
    IGrColourN(wrgb(10, 20, 30));
    EXPECT_EQ(gstate.CurrentColour, (ColourTriple{{-1, -1, wrgb(10, 20, 30)}}));
    EXPECT_EQ(gstate.PreviousColour, (ColourTriple{{15, 223, 0}}));
    EXPECT_EQ(driver.find(ScreenSide, OpColour)[0]->state.CurrentColour.in_model(2), wrgb(10, 20, 30));
    igrcolourmodel(8);
    EXPECT_EQ(gstate.ColourModel, 1);
    std::int32_t nearest = 0;
    yyrgbto8(wrgb(10, 20, 30), nearest);
    EXPECT_EQ(gstate.CurrentColour, (ColourTriple{{-1, nearest, wrgb(10, 20, 30)}}));
    EXPECT_EQ(gstate.PreviousColour, (ColourTriple{{15, 223, 0}}));
}

TEST_F(ColourSelection, PackedColoursOnAPaletteDeviceGetAnIndex) {
    igrcolourmodel(24);
    gstate.device[ScreenSide].true_colour = 0;
    IGrColourN(wrgb(254, 0, 0));
    EXPECT_EQ(gstate.CurrentColour, (ColourTriple{{12, 31, wrgb(254, 0, 0)}}));
    // A palette hardcopy device alone is enough.
    gstate.device[ScreenSide].true_colour = 1;
    gstate.hardcopy_flag = 1;
    gstate.device[HardcopySide].true_colour = 0;
    IGrColourN(0);
    EXPECT_EQ(gstate.CurrentColour, (ColourTriple{{15, 223, 0}}));
}

TEST_F(ColourSelection, StoringAColourByTarget) {
    gstate.hardcopy_flag = 1;
    const std::pair<int, Ops> cases[] = {{1, Ops{OpColour}}, {2, Ops{}}, {0, Ops{OpColour}}};
    const std::pair<int, Ops> hardcopy[] = {{1, Ops{}}, {2, Ops{OpColour}}, {0, Ops{OpColour}}};
    for (int i = 0; i < 3; ++i) {
        driver.clear();
        const ColourTriple before = gstate.CurrentColour;
        yycon(7, 123, 4, cases[i].first);
        EXPECT_EQ(gstate.PreviousColour, before);
        EXPECT_EQ(gstate.CurrentColour, (ColourTriple{{4, 7, 123}}));
        EXPECT_EQ(driver.ops(ScreenSide), cases[i].second) << cases[i].first;
        EXPECT_EQ(driver.ops(HardcopySide), hardcopy[i].second) << cases[i].first;
    }
}
