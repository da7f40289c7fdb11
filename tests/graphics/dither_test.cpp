#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <string>

#include "lib/graphics/colours.h"
#include "lib/graphics/dither.h"
#include "lib/graphics/gstate.h"
#include "tests/support/graphics_test.h"

namespace {

// The patterns of every level for red, green and blue: the four rows of
// the 8 x 4 cell, row 0 first, in hexadecimal.
const char* const Golden[33][3] = {
        {"00 00 00 00", "00 00 00 00", "00 00 00 00"},  // 0
        {"01 00 00 00", "01 00 00 00", "01 00 00 00"},  // 1
        {"08 00 40 00", "01 00 10 00", "01 00 20 00"},  // 2
        {"08 20 80 00", "10 40 00 01", "01 04 10 00"},  // 3
        {"01 08 40 02", "10 08 80 01", "20 40 08 04"},  // 4
        {"40 10 04 41", "10 04 41 01", "20 08 82 04"},  // 5
        {"04 42 08 21", "02 21 84 10", "20 84 10 42"},  // 6
        {"02 88 44 22", "01 44 88 11", "20 22 44 88"},  // 7
        {"44 22 11 88", "44 44 88 11", "44 88 11 22"},  // 8
        {"12 90 24 49", "12 90 24 49", "04 24 49 92"},  // 9
        {"92 84 24 49", "92 90 24 49", "24 84 49 92"},  // 10
        {"0A 80 AA 55", "01 50 AA 55", "00 54 55 AA"},  // 11
        {"55 01 54 AA", "AA 00 AA 55", "2A 80 AA 55"},  // 12
        {"55 05 54 AA", "AA 01 AA 55", "AA 80 55 AA"},  // 13
        {"AA 55 A0 AA", "AA 05 AA 55", "AA 82 55 AA"},  // 14
        {"AA 55 A2 AA", "AA AA 51 55", "AA 8A 55 AA"},  // 15
        {"55 AA 55 AA", "AA AA AA 55", "55 AA 55 AA"},  // 16
        {"55 AA 55 D5", "AA AA 55 D5", "55 AA 55 D5"},  // 17
        {"AB AA 55 EA", "57 AA 55 D5", "57 55 AA D5"},  // 18
        {"AF AA 55 EA", "57 AA 55 F5", "57 55 AA F5"},  // 19
        {"5F 55 AA F5", "5F AA 55 F5", "AF AA 55 FA"},  // 20
        {"5F 55 AA FD", "5F AA 55 FD", "BF AA 55 FA"},  // 21
        {"B7 6D DB B6", "6D DB B6 BD", "6D DB B6 B7"},  // 22
        {"B7 6D DB F6", "6F DB B6 BD", "6F DB B6 B7"},  // 23
        {"DD EE 77 BB", "DD DD BB 77", "DD BB 77 EE"},  // 24
        {"77 EE BB F7", "BB BB 77 F7", "DF DD BB 77"},  // 25
        {"EF F7 DE 7B", "EF BD F7 DE", "7B EF BD F7"},  // 26
        {"EF 7F FB BE", "FD 7D DF F7", "F7 7D DF FE"},  // 27
        {"F7 BF FD EF", "F7 FB BF 7F", "FB F7 FE 7F"},  // 28
        {"7F FF F7 DF", "FD DF 7F FF", "FE EF BF FF"},  // 29
        {"FF EF FF 7F", "7F FF F7 FF", "FB FF 7F FF"},  // 30
        {"FF EF FF FF", "7F FF FF FF", "FB FF FF FF"},  // 31
        {"FF FF FF FF", "FF FF FF FF", "FF FF FF FF"},  // 32
};

DitherPattern word_of(const char* rows) {
    unsigned b[4] = {};
    EXPECT_EQ(std::sscanf(rows, "%x %x %x %x", &b[0], &b[1], &b[2], &b[3]), 4);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (b[3] << 24);
}

}  // namespace

class Dithering : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        igrcolourmodel(24);
    }
    // Patterns of a colour with COUNT colours on the hardcopy device,
    // under colour mode MODE and printer colour kind KIND.
    std::array<DitherPattern, 3> dith(int r, int g, int b, int count, int mode = 0, int kind = 0) {
        IGrColourN(wrgb(r, g, b));
        gstate.hc.colour_count = count;
        gstate.hc.options.set(6, mode);
        std::int32_t pr = 7, pg = 7, pb = 7;
        yydith(kind, pr, pg, pb);
        return {static_cast<DitherPattern>(pr), static_cast<DitherPattern>(pg), static_cast<DitherPattern>(pb)};
    }
};

TEST_F(Dithering, PatternOfEveryLevelAndChannel) {
    for (int n = 0; n <= 32; ++n)
        for (int k = 1; k <= 3; ++k) {
            SCOPED_TRACE(testing::Message() << "level " << n << " channel " << k);
            const DitherPattern p = dither_pattern(n, false, k);
            EXPECT_EQ(p, word_of(Golden[n][k - 1]));
            EXPECT_EQ(std::popcount(p), n);
        }
}

TEST_F(Dithering, LevelsOfComponents) {
    for (int n = 1; n <= 30; ++n) {
        EXPECT_EQ(dither_level(8 * n - 4), n);
        EXPECT_EQ(dither_level(8 * n + 3), n);
    }
    // The edges: nothing up to 3, one bit at 4, 31 bits at 248, all from 249.
    const std::pair<int, int> bits[] = {{0, 0}, {3, 0}, {4, 1}, {243, 30}, {244, 31}, {248, 31}, {249, 32}, {255, 32}};
    for (auto [c, n] : bits) {
        const auto p = dith(c, c, c, 256);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(std::popcount(p[k]), n) << c;
    }
    EXPECT_EQ(dith(4, 4, 4, 256)[0], 1u);
}

TEST_F(Dithering, ColourDevice) {
    struct Case {
        int r, g, b, count, mode, kind;
        DitherPattern pr, pg, pb;
    } cases[] = {
        {0, 0, 0, 256, 0, 0, 0, 0, 0},
        {255, 255, 255, 8, 0, 0, ~0u, ~0u, ~0u},
        // A grey takes the red pattern for every channel.
        {128, 128, 131, 256, 0, 0, 0xAA55AA55u, 0xAA55AA55u, 0xAA55AA55u},
        {128, 128, 132, 256, 0, 0, 0xAA55AA55u, 0x55AAAAAAu, 0xD555AA55u},
        // Colour mode 1 complements, mode 2 only near black and near white.
        {255, 255, 255, 256, 1, 0, 0, 0, 0},
        {250, 250, 250, 256, 2, 0, 1, 1, 1},
        {245, 250, 255, 256, 2, 0, 0xFFFFEFFFu, ~0u, ~0u},
        // (246, 250, 255) becomes (9, 5, 0): levels 1, 1 and 0.
        {246, 250, 255, 256, 2, 0, 1, 1, 0},
        // Kind 2 complements on a colour device; with mode 1 they cancel.
        {0, 0, 0, 256, 0, 2, ~0u, ~0u, ~0u},
        {0, 0, 0, 256, 1, 2, 0, 0, 0},
        {0, 0, 0, 8, 0, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.r << "," << c.g << "," << c.b << " count " << c.count << " mode "
                                        << c.mode << " kind " << c.kind);
        const auto p = dith(c.r, c.g, c.b, c.count, c.mode, c.kind);
        EXPECT_EQ(p[0], c.pr);
        EXPECT_EQ(p[1], c.pg);
        EXPECT_EQ(p[2], c.pb);
    }
}

TEST_F(Dithering, TwoColourDeviceUsesTheLuminance) {
    struct Case {
        int r, g, b, mode, kind;
        DitherPattern p;
    } cases[] = {
        {255, 255, 255, 0, 0, ~0u},
        {0, 0, 0, 0, 0, 0},
        // Black complemented to white, then the pattern complemented.
        {0, 0, 0, 1, 0, 0},
        {128, 128, 128, 0, 0, 0xD555AA55u},
        {128, 128, 128, 1, 0, 0x2AAA55AAu},
        {128, 128, 128, 2, 0, 0x2AAA55AAu},
        // No complement for kind 2 on two colours.
        {0, 0, 0, 0, 2, 0},
        // Green weighs most: level (64 * 59 * 200 + 25500) div 51000 = 15.
        {0, 200, 0, 0, 0, 0},
    };
    cases[7].p = dither_pattern(15, false, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.r << "," << c.g << "," << c.b << " mode " << c.mode << " kind " << c.kind);
        const auto p = dith(c.r, c.g, c.b, 2, c.mode, c.kind);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(p[k], c.p);
    }
}

TEST_F(Dithering, PaletteColourModelReadsThePaletteEntry) {
    igrcolourmodel(8);
    IGrColourN(31);  // pure red
    gstate.hc.colour_count = 8;
    std::int32_t pr = 0, pg = 1, pb = 1;
    yydith(0, pr, pg, pb);
    EXPECT_EQ(static_cast<DitherPattern>(pr), ~0u);
    EXPECT_EQ(pg, 0);
    EXPECT_EQ(pb, 0);
}

TEST_F(Dithering, TablesOfTheFourBitColours) {
    for (DitherPattern p : dither_tables.red) ASSERT_EQ(p, 0u);
    yydith2();
    const DitherTables& t = dither_tables;
    EXPECT_EQ(t.red[0] | t.green[0] | t.blue[0], 0u);
    EXPECT_EQ(t.red[4095] & t.green[4095] & t.blue[4095], ~0u);
    EXPECT_EQ(t.red[1], 0x02400801u);
    EXPECT_EQ(t.green[1], 0u);
    EXPECT_EQ(t.blue[1], 0u);
    for (const auto* table : {&t.red, &t.green, &t.blue}) EXPECT_EQ((*table)[273], 0x02400801u);
    // Every entry is the pattern of its channel's level; greys take red's.
    for (int i = 0; i < DitherTableEntries; ++i) {
        const int r4 = i % 16, g4 = (i / 16) % 16, b4 = i / 256;
        const bool grey = r4 == g4 && g4 == b4;
        auto expected = [&](int c4, int k) {
            if (c4 == 15) return ~0u;
            return dither_pattern(c4 == 0 ? 0 : 2 * c4 + 2, false, grey ? 1 : k);
        };
        ASSERT_EQ(t.red[static_cast<std::size_t>(i)], expected(r4, 1)) << i;
        ASSERT_EQ(t.green[static_cast<std::size_t>(i)], expected(g4, 2)) << i;
        ASSERT_EQ(t.blue[static_cast<std::size_t>(i)], expected(b4, 3)) << i;
    }
    // Building again leaves the same content.
    const DitherTables before = t;
    yydith2();
    EXPECT_TRUE(before.red == t.red && before.green == t.green && before.blue == t.blue);
}
