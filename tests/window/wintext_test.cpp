// Window text: output in window units, the lazily made window font, tags,
// colours and underline, on the root window's retained surface.
#include "lib/window/wintext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/window/winops.h"
#include "platform/os_gdi.h"
#include "tests/window/window_fixture.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000;

class WinTextTest : public WindowTest {
protected:
    static constexpr std::int32_t W = 200, H = 60;
    void SetUp() override {
        WindowTest::SetUp();
        open(W, H);
        windowclear();
    }
    std::vector<std::uint32_t> surface() const {
        std::vector<std::uint32_t> v;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) v.push_back(os_get_pixel(wtab.wDC, x, y));
        return v;
    }
    // Rows y0..y1 of columns x0..x1: '.' white, '#' black, 'x' other.
    std::string rows(int x0, int x1, int y0, int y1) const {
        std::string s;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const std::uint32_t c = os_get_pixel(wtab.wDC, x, y);
                s += c == kWhite ? '.' : c == kBlack ? '#' : 'x';
            }
            s += '\n';
        }
        return s;
    }
    // Bounding rows of the pixels in a colour; {-1, -1} when none.
    std::pair<int, int> ink_rows(std::uint32_t colour) const {
        int top = -1, bottom = -1;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (os_get_pixel(wtab.wDC, x, y) == colour) {
                    if (top < 0) top = y;
                    bottom = y;
                }
        return {top, bottom};
    }
    static WindowFontRecord arial(std::int32_t height_units) {
        WindowFontRecord r;
        r.family = WindowFontArial;
        r.height = height_units;
        r.background = 15;
        return r;
    }
};

TEST_F(WinTextTest, OpeningSetsTheStateAndMakesTheSystemFont) {
    const WindowTextState& t = quinda.window_text;
    EXPECT_EQ(t.fore_colour, 0);
    EXPECT_EQ(t.back_colour, 15);
    EXPECT_EQ(t.underline, 0);
    EXPECT_EQ(t.font.family, 0);
    EXPECT_EQ(wintext.wFont, os_get_stock_object(OS_SYSTEM_FONT));
    // The size is the system font's real one, also in window units.
    const OsObject old = os_select_object(wtab.wDC, wintext.wFont);
    OsTextMetric tm;
    os_get_text_metrics(wtab.wDC, tm);
    os_select_object(wtab.wDC, old);
    EXPECT_EQ(t.font.width, tm.ave_char_width);
    EXPECT_EQ(t.font.height, tm.height);
    std::int32_t wu = 0, hu = 0;
    windowunitsfrompixels(tm.ave_char_width, tm.height, wu, hu);
    EXPECT_EQ(t.font.width_units, wu);
    EXPECT_EQ(t.font.height_units, hu);
    // Not entered as the last font: the first output makes it again.
    for (int v : t.last_font) EXPECT_EQ(v, -1);
    windowoutstring(0, 5000, "x");
    EXPECT_EQ(t.last_font[0], 0);
    EXPECT_EQ(t.last_font[4], tm.height);
}

TEST_F(WinTextTest, RepeatedOutputMakesTheFontOnce) {
    windowfont(arial(3000));
    EXPECT_EQ(wtab.wBackCol, 15);
    windowoutstring(500, 5000, "one");
    const OsHandle made = wintext.wFont;
    ASSERT_NE(made, os_get_stock_object(OS_SYSTEM_FONT));
    windowoutstring(500, 9000, "two");
    EXPECT_EQ(wintext.wFont, made);
    // Colours and underline do not touch the font; the same description set
    // again does not either.
    windowfontcolour(12, 3);
    windowfontunderline(1);
    windowoutstring(500, 5000, "three");
    EXPECT_EQ(wintext.wFont, made);
    // A new size does, and the font it replaces is gone.
    const std::int32_t objects = os_object_count();
    windowfontsize(0, 4000);
    windowoutstring(500, 5000, "four");
    EXPECT_NE(wintext.wFont, made);
    EXPECT_EQ(os_object_count(), objects);
    EXPECT_FALSE(os_delete_object(made));
}

TEST_F(WinTextTest, PlainOutputSitsOnItsBaseLineInItsColours) {
    WindowFontRecord r = arial(3000);
    r.foreground = 0;
    r.background = 9;  // red
    windowfont(r);
    std::int32_t px = 0, py = 0;
    windowunitstopixels(1000, 7000, px, py);
    windowoutstring(1000, 7000, "HH");
    const std::uint32_t red = static_cast<std::uint32_t>(wtab.wColor[9]);
    // Capitals stand on the base line; the opaque cell reaches below it.
    EXPECT_EQ(ink_rows(kBlack).second, py - 1);
    EXPECT_GT(ink_rows(red).second, py);
    std::int32_t width = 0;
    yystringlen(width, "HH", 3);
    EXPECT_EQ(os_get_pixel(wtab.wDC, px - 1, py - 2), kWhite);
    EXPECT_EQ(os_get_pixel(wtab.wDC, px + width - 1, py + 1), red);
    EXPECT_EQ(os_get_pixel(wtab.wDC, px + width, py + 1), kWhite);
    // The device context is left as the graphics side had it.
    EXPECT_EQ(os_get_bk_mode(wtab.wDC), OS_TRANSPARENT);
    EXPECT_EQ(os_get_text_align(wtab.wDC), static_cast<std::uint32_t>(OS_TA_BASELINE));
    EXPECT_NE(os_current_object(wtab.wDC, 3), wintext.wFont);
}

TEST_F(WinTextTest, TrailingBlanksPaintTheBackgroundOnlyWithoutTags) {
    WindowFontRecord r = arial(3000);
    r.background = 9;
    windowfont(r);
    const std::uint32_t red = static_cast<std::uint32_t>(wtab.wColor[9]);
    std::int32_t px = 0, py = 0;
    windowunitstopixels(0, 6000, px, py);
    auto red_width = [&] {
        int right = -1;
        for (int x = 0; x < W; ++x)
            if (os_get_pixel(wtab.wDC, x, py) == red) right = x;
        return right;
    };
    windowoutstring(0, 6000, "a   ");
    std::int32_t one = 0, four = 0;
    yystringlen(one, "a", 2);
    yystringlen(four, "a   ", 5);
    ASSERT_GT(four, one);
    EXPECT_EQ(red_width(), four - 1);
    windowclear(0, 0, W - 1, H - 1, 0xFFFFFF);
    quinda.window_text.tag = '~';
    windowoutstring(0, 6000, "a   ");
    EXPECT_EQ(red_width(), one - 1);
}

TEST_F(WinTextTest, UnderlineRunsTwoRowsBelowTheBaseLineToTheTextEnd) {
    WindowFontRecord r = arial(3000);
    r.underline = 1;
    r.foreground = 9;
    windowfont(r);
    std::int32_t px = 0, py = 0, width = 0;
    windowunitstopixels(1000, 6000, px, py);
    windowoutstring(1000, 6000, "ab");
    yystringlen(width, "ab", 3);
    const std::uint32_t red = static_cast<std::uint32_t>(wtab.wColor[9]);
    EXPECT_EQ(os_get_pixel(wtab.wDC, px, py + 2), red);
    EXPECT_EQ(os_get_pixel(wtab.wDC, px + width - 1, py + 2), red);
    // The line leaves out its end pixel, the end of the text.
    EXPECT_NE(os_get_pixel(wtab.wDC, px + width, py + 2), red);
    EXPECT_NE(os_get_pixel(wtab.wDC, px - 1, py + 2), red);
}

// Each tagged text against the same output done step by step without tags.
TEST_F(WinTextTest, TagsAgainstTheSameRunsWrittenPlainly) {
    struct Run {
        const char* text;
        std::int32_t bold, italic, underline, fore, back;
    };
    struct Case {
        const char* tagged;
        std::vector<Run> runs;
    };
    const std::vector<Case> cases = {
        {"a~1b~0c", {{"a", 0, 0, 0, 0, 15}, {"b", 1, 0, 0, 0, 15}, {"c", 0, 0, 0, 0, 15}}},
        {"~~", {{"~", 0, 0, 0, 0, 15}}},
        {"x~3y~5z", {{"x", 0, 0, 0, 0, 15}, {"y", 0, 1, 0, 0, 15}, {"z", 0, 1, 1, 0, 15}}},
        {"p~Jq~ar~0s", {{"p", 0, 0, 0, 0, 15}, {"q", 0, 0, 0, 9, 15}, {"r", 0, 0, 0, 9, 0}, {"s", 0, 0, 0, 0, 15}}},
        {"~Qe~qf", {{"e", 0, 0, 0, 16, 15}, {"f", 0, 0, 0, 16, 17}}},
        // Unknown codes vanish with their tag; a tag at the end is dropped.
        {"g~zh~", {{"gh", 0, 0, 0, 0, 15}}},
        {"1~~2", {{"1~2", 0, 0, 0, 0, 15}}},
    };
    windowfont(arial(3000));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tagged);
        windowclear();
        quinda.window_text.tag = '~';
        windowoutstring(500, 6000, c.tagged);
        const std::vector<std::uint32_t> tagged = surface();
        // Everything as it was before the text.
        EXPECT_EQ(quinda.window_text.font.bold, 0);
        EXPECT_EQ(quinda.window_text.font.italic, 0);
        EXPECT_EQ(wtab.wUnderline, 0);
        EXPECT_EQ(wtab.wForeCol, 0);
        EXPECT_EQ(wtab.wBackCol, 15);

        windowclear();
        quinda.window_text.tag = ' ';
        std::int32_t px = 0, py = 0;
        windowunitstopixels(500, 6000, px, py);
        for (const Run& r : c.runs) {
            quinda.window_text.font.bold = r.bold;
            quinda.window_text.font.italic = r.italic;
            yyfntund(r.underline);
            yysetfontcolour(r.fore, r.back);
            yyfntcre();
            yystringout(px, py, r.text, static_cast<std::int32_t>(std::string(r.text).size()) + 1);
        }
        EXPECT_EQ(tagged, surface());
        quinda.window_text.font.bold = quinda.window_text.font.italic = 0;
        yyfntund(0);
        yyfntcol(0, 15);
    }
    // The weights differ at all, so the comparison above means something.
    windowclear();
    windowoutstring(500, 6000, "abc");
    const std::vector<std::uint32_t> plain = surface();
    windowclear();
    quinda.window_text.tag = '~';
    windowoutstring(500, 6000, "a~1b~0c");
    EXPECT_NE(plain, surface());
}

TEST_F(WinTextTest, TaggedOutputMakesAFontOnlyWhenTheWeightChanges) {
    windowfont(arial(3000));
    quinda.window_text.tag = '~';
    windowoutstring(0, 5000, "plain");
    const OsHandle regular = wintext.wFont;
    // Colour tags and a reset without change keep the font.
    windowoutstring(0, 5000, "a~Jb~ac~0d");
    EXPECT_EQ(wintext.wFont, regular);
    windowoutstring(0, 5000, "a~1b");
    EXPECT_NE(wintext.wFont, regular);
    EXPECT_EQ(quinda.window_text.last_font[1], 1);
}

TEST_F(WinTextTest, SameSizeInWindowUnitsGrowsWithTheWindow) {
    windowfont(arial(3000));
    windowoutstring(0, 8000, "H");
    const auto small = ink_rows(kBlack);
    const std::int32_t small_height = quinda.window_text.font.height;
    settle();
    OsRect fr;
    os_get_window_rect(wtab.wWindow[0], fr);
    os_set_window_pos(wtab.wWindow[0], 0, 0, 0, fr.width(), fr.height() + 2 * H, OS_SWP_NOMOVE | OS_SWP_NOZORDER);
    settle();
    ASSERT_EQ(quinda.window_size[1], os_surface_size(wtab.hClient[0]).y);
    ASSERT_GT(quinda.window_size[1], H);
    EXPECT_GT(quinda.window_text.font.height, small_height);
    windowclear();
    windowoutstring(0, 3000, "H");
    const auto large = ink_rows(kBlack);
    EXPECT_GT(large.second - large.first, small.second - small.first);
}

TEST_F(WinTextTest, BadFamiliesAndColoursChangeNothing) {
    windowfont(arial(3000));
    windowfontcolour(3, 4);
    const WindowTextState before = quinda.window_text;
    for (std::int32_t family : {7, -1, -99}) {
        WindowFontRecord r = arial(5000);
        r.family = family;
        r.bold = 1;
        r.foreground = 9;
        r.background = 12;
        r.underline = 1;
        windowfont(r);
        EXPECT_EQ(quinda.window_text.font.family, before.font.family) << family;
        EXPECT_EQ(quinda.window_text.font.height, before.font.height) << family;
        EXPECT_EQ(quinda.window_text.font.bold, 0) << family;
        EXPECT_EQ(wtab.wForeCol, 3) << family;
        EXPECT_EQ(wtab.wBackCol, 4) << family;
        EXPECT_EQ(wtab.wUnderline, 0) << family;
    }
    struct Case {
        std::int32_t fore, back, want_fore, want_back;
    };
    for (const Case& c : {Case{5, 16, 5, 17}, Case{17, -1, 5, 17}, Case{16, 15, 16, 15}, Case{-1, 17, 16, 15},
                          Case{0, 0, 0, 0}}) {
        windowfontcolour(c.fore, c.back);
        EXPECT_EQ(wtab.wForeCol, c.want_fore) << c.fore << "," << c.back;
        EXPECT_EQ(wtab.wBackCol, c.want_back) << c.fore << "," << c.back;
        EXPECT_EQ(quinda.window_text.back_colour, c.want_back);
    }
}

TEST_F(WinTextTest, FamiliesServeTheirFaces) {
    struct Case {
        std::int32_t family;
        bool fixed;
    };
    auto fixed_pitch = [] {
        std::int32_t a = 0, b = 0;
        yystringlen(a, "iiii", 5);
        yystringlen(b, "WWWW", 5);
        return a == b;
    };
    for (const Case& c : {Case{0, false}, Case{1, true}, Case{2, false}, Case{3, false}, Case{4, true},
                          Case{5, false}, Case{6, false}}) {
        SCOPED_TRACE(c.family);
        WindowFontRecord r = arial(2500);
        r.family = c.family;
        windowfont(r);
        windowoutstring(0, 5000, "x");
        EXPECT_EQ(fixed_pitch(), c.fixed);
        // The description now holds the real size of what was made.
        const OsObject old = os_select_object(wtab.wDC, wintext.wFont);
        OsTextMetric tm;
        os_get_text_metrics(wtab.wDC, tm);
        os_select_object(wtab.wDC, old);
        EXPECT_EQ(quinda.window_text.font.height, tm.height);
        EXPECT_EQ(quinda.window_text.font.width, tm.ave_char_width);
    }
    // Families 0, 1 and -99 are the system's own fonts.
    std::int32_t w = 0, h = 0;
    yycreatefont(WindowFontGui, 0, 0, w, h);
    EXPECT_EQ(wintext.wFont, os_get_stock_object(OS_DEFAULT_GUI_FONT));
    yycreatefont(WindowFontSystemFixed, 1, 1, w, h);
    EXPECT_EQ(wintext.wFont, os_get_stock_object(OS_SYSTEM_FIXED_FONT));
    // Bold is drawn heavier than regular at the same size.
    auto ink = [&](std::int32_t bold) {
        windowclear();
        WindowFontRecord r = arial(4000);
        r.bold = bold;
        windowfont(r);
        windowoutstring(0, 8000, "HHH");
        int n = 0;
        for (std::uint32_t p : surface()) n += p == kBlack;
        return n;
    };
    EXPECT_GT(ink(1), ink(0));
}

TEST_F(WinTextTest, ColourTableEntriesByRgb) {
    yysetfontcolourrgb(2, 10, 20, 30);
    EXPECT_EQ(wtab.wColor[2], 10 + 256 * 20 + 65536 * 30);
    yysetfontcolourrgb(3, 300, -5, 255);
    EXPECT_EQ(wtab.wColor[3], 255 + 65536 * 255);
    const auto table = wtab.wColor;
    yysetfontcolourrgb(18, 1, 2, 3);
    yysetfontcolourrgb(-1, 1, 2, 3);
    EXPECT_EQ(wtab.wColor, table);
    // Written text takes the new colour.
    windowfontcolour(2, 15);
    windowfontsize(0, 4000);
    windowoutstring(0, 8000, "H");
    EXPECT_NE(ink_rows(static_cast<std::uint32_t>(wtab.wColor[2])).first, -1);
}

class WinTextClosedTest : public QuindaTest {};

TEST_F(WinTextClosedTest, NothingHappensWithoutAWindow) {
    windowoutstring(100, 100, "text");
    quinda.window_text.tag = '~';
    windowoutstring(100, 100, "a~1b");
    std::int32_t width = -1;
    yystringlen(width, "abc", 4);
    EXPECT_GT(width, 0);
    std::int32_t x = 7, y = 9;
    yystringout(x, y, "abc", 4);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 9);
    yystringlen(width, "abc", -5);
    EXPECT_EQ(width, 0);
}

class WinTextPaletteTest : public QuindaTest {};

TEST_F(WinTextPaletteTest, ColoursOnA256ColourScreenComeFromItsPalette) {
    OsConfig cfg = os_config_test_profile();
    cfg.colour_bits = 8;
    os_config_set(cfg);
    WindowOpen(7, 0, 0, 200, 60, 0, {}, 0, "", 16);
    ASSERT_NE(wtab.gPal256, 0);
    yysetfontcolourrgb(4, 1, 2, 250);
    const std::uint32_t c = 1 | (2 << 8) | (250u << 16);
    EXPECT_EQ(wtab.gLogPal[16 + 4], c);
    EXPECT_EQ(os_get_palette_entries(wtab.gPal256)[16 + 4], c);
    // Text in an off-palette colour is drawn in the nearest palette colour.
    yysetfontcolourrgb(5, 250, 2, 1);
    wtab.gLogPal[16 + 5] = 0xFFFFFF;
    windowfontcolour(5, 15);
    windowfontsize(0, 4000);
    windowclear();
    windowoutstring(0, 8000, "H");
    int red = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) red += os_get_pixel(wtab.wDC, x, y) == 0x0000FFu;
    EXPECT_GT(red, 0);
}

}  // namespace
