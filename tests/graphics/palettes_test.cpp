#include <gtest/gtest.h>

#include <algorithm>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "tests/support/graphics_test.h"

namespace {
std::int32_t entry(int i) {
    std::int32_t rgb = -1;
    yypalg(i, rgb);
    return rgb;
}
std::int32_t nearest(std::int32_t rgb) {
    std::int32_t i = -5;
    yyrgbto8(rgb, i);
    return i;
}
}  // namespace

class Palettes : public GraphicsTest {};

TEST_F(Palettes, DefaultPaletteEntries) {
    const std::pair<int, std::int32_t> cases[] = {
        {0, 16777215},          {15, wrgb(195, 195, 195)}, {16, wrgb(195, 0, 0)},   {31, wrgb(255, 0, 0)},
        {32, wrgb(131, 0, 0)},  {63, wrgb(255, 255, 0)},   {95, wrgb(0, 255, 0)},   {127, wrgb(0, 255, 255)},
        {128, wrgb(0, 131, 131)}, {159, wrgb(0, 0, 255)},  {191, wrgb(255, 0, 255)}, {207, wrgb(191, 0, 191)},
        {208, wrgb(60, 60, 60)}, {223, 0},                 {239, wrgb(64, 64, 64)}, {240, wrgb(191, 191, 191)},
        {255, wrgb(131, 131, 131)},
    };
    for (auto [i, rgb] : cases) EXPECT_EQ(entry(i), rgb) << i;
    // Black occurs once only.
    int blacks = 0;
    for (int i = 0; i < 256; ++i) blacks += entry(i) == 0;
    EXPECT_EQ(blacks, 1);
}

TEST_F(Palettes, DevicePalettes) {
    const std::int32_t sixteen[] = {16777215,           wrgb(0, 0, 191),     wrgb(0, 191, 0),   wrgb(0, 191, 191),
                                    wrgb(191, 0, 0),    wrgb(191, 0, 191),   wrgb(191, 191, 0), wrgb(64, 64, 64),
                                    wrgb(191, 191, 191), wrgb(0, 0, 255),    wrgb(0, 255, 0),   wrgb(0, 255, 255),
                                    wrgb(255, 0, 0),    wrgb(255, 0, 255),   wrgb(255, 255, 0), 0};
    for (int c = 0; c < 16; ++c) {
        std::int32_t rgb = -1;
        yypalg16(c, rgb);
        EXPECT_EQ(rgb, sixteen[c]) << c;
    }
    const std::int32_t eight[] = {16777215,         wrgb(0, 0, 255),   wrgb(0, 255, 0),   wrgb(0, 255, 255),
                                  wrgb(255, 0, 0), wrgb(255, 0, 255), wrgb(255, 255, 0), 0};
    for (int c = 0; c < 8; ++c) {
        std::int32_t rgb = -1;
        yypalg8(c, rgb);
        EXPECT_EQ(rgb, eight[c]) << c;
    }
    // Built before the colour count was known: no reduced palette yet.
    std::int32_t rgb = -1;
    yypalg32(1, rgb);
    EXPECT_EQ(rgb, 0);
    // Out of range numbers give 0 rather than reading beyond a table.
    yypalg16(16, rgb);
    EXPECT_EQ(rgb, 0);
    yypalg(-1, rgb);
    EXPECT_EQ(rgb, 0);
}

TEST_F(Palettes, ReducedPaletteFor32Colours) {
    gstate.colour_count = 32;
    yypali();
    const std::pair<int, int> from[] = {{0, 0}, {1, 8}, {2, 23}, {3, 31}, {29, 239}, {30, 240}, {31, 248}};
    for (auto [k, i] : from) {
        std::int32_t rgb = -1;
        yypalg32(k, rgb);
        EXPECT_EQ(rgb, entry(i)) << k;
    }
    igrpalette(9, wrgb(1, 2, 3));
    std::int32_t rgb = -1;
    yypalg32(1, rgb);
    EXPECT_EQ(rgb, wrgb(1, 2, 3));
}

TEST_F(Palettes, NearestEntry) {
    EXPECT_EQ(nearest(0), 223);
    EXPECT_EQ(nearest(16777215), 0);
    EXPECT_EQ(nearest(wrgb(254, 0, 0)), 31);
    EXPECT_EQ(nearest(wrgb(128, 128, 128)), 255);
    EXPECT_EQ(nearest(wrgb(0, 250, 3)), 94);  // (0, 251, 0)
    // A colour present twice gives the lower index.
    yypals(200, wrgb(255, 0, 0));
    EXPECT_EQ(nearest(wrgb(255, 0, 0)), 31);
    yypals(10, wrgb(255, 0, 0));
    EXPECT_EQ(nearest(wrgb(255, 0, 0)), 10);
}

TEST_F(Palettes, SettingAnEntryTellsTheDevicesFirst) {
    gstate.chosen_palette_size = 16;
    igrinit();
    gstate.hardcopy_flag = 1;
    driver.clear();
    igrpalettergb(100, 300, -5, 128, 1);
    ASSERT_EQ(driver.calls.size(), 2u);
    for (const DriverCall& c : driver.calls) {
        EXPECT_EQ(c.op, OpPaletteEntry);
        EXPECT_EQ(c.args.IX[0], wrgb(255, 0, 128));
        EXPECT_EQ(c.args.IX[3], 1);
        EXPECT_EQ(c.args.K, yycnum(100));
        EXPECT_EQ(c.args.N, 100);
    }
    EXPECT_EQ(driver.calls[0].side, ScreenSide);
    EXPECT_EQ(driver.calls[1].side, HardcopySide);
    EXPECT_EQ(entry(100), wrgb(255, 0, 128));
    igrpalette(5, 77);
    EXPECT_EQ(driver.calls.back().args.IX[3], 0);
    // The cone follows the entry: an exact match is found by value.
    EXPECT_EQ(nearest(wrgb(255, 0, 128)), 100);
    // Outside the palette nothing is told and nothing stored.
    driver.clear();
    igrpalette(256, 1);
    igrpalette(-1, 1);
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(Palettes, AnEntryRepresentsItsHueGroup) {
    struct Case {
        int index, c8, c16;
    };
    // -1: the device entry 0, the background, keeps palette entry 0's white.
    const Case cases[] = {{100, 2, 2}, {90, 2, 10}, {20, 4, 12}, {0, 0, 0}, {250, -1, 8}, {215, 7, 15},
                          {1, -1, -1}, {15, -1, -1}};
    for (const auto& c : cases) {
        yypali();
        const std::int32_t rgb = wrgb(c.index, 1, 2);
        yypals(c.index, rgb);
        std::int32_t got8 = -1, got16 = -1;
        yypalg8(std::max(c.c8, 0), got8);
        yypalg16(std::max(c.c16, 0), got16);
        EXPECT_EQ(got8, c.c8 < 0 ? 0xFFFFFF : rgb) << c.index;
        EXPECT_EQ(got16, c.c16 < 0 ? 0xFFFFFF : rgb) << c.index;
    }
}

TEST_F(Palettes, RestoringDiscardsChangesAndTellsBothSides) {
    igrinit();
    driver.clear();
    gstate.hardcopy_flag = 1;
    yypals(31, 5);
    igrpaletteinit();
    EXPECT_EQ(entry(31), wrgb(255, 0, 0));
    EXPECT_EQ(driver.ops(ScreenSide), (std::vector<std::int32_t>{OpPalette}));
    EXPECT_EQ(driver.ops(HardcopySide), (std::vector<std::int32_t>{OpPalette}));
}

TEST_F(Palettes, ComponentsInTheCurrentModel) {
    std::int32_t r = -1, g = -1, b = -1;
    yypalrgb(63, r, g, b);
    EXPECT_EQ(std::make_tuple(r, g, b), std::make_tuple(255, 255, 0));
    gstate.ColourModel = 2;
    yypalrgb(wrgb(1, 2, 3), r, g, b);
    EXPECT_EQ(std::make_tuple(r, g, b), std::make_tuple(1, 2, 3));
}
