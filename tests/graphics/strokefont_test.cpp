// Stroke fonts: glyph decoding, code mapping, drawing geometry and the
// eight built-in fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "lib/graphics/strokefont.h"
#include "lib/graphics/strokefont_data.h"

namespace {

struct Emitted {
    StrokeDraw kind;
    std::vector<float> x, y;
};

void collect(void* ctx, StrokeDraw kind, const float* x, const float* y, int n) {
    static_cast<std::vector<Emitted>*>(ctx)->push_back(
        {kind, std::vector<float>(x, x + n), std::vector<float>(y, y + n)});
}

void collect_glyph(void* ctx, const GlyphStroke& s) {
    std::vector<std::pair<int, int>> pts;
    for (int i = 0; i < s.count; ++i) pts.emplace_back(s.x[i], s.y[i]);
    static_cast<std::vector<std::vector<std::pair<int, int>>>*>(ctx)->push_back(pts);
}

std::vector<std::vector<std::pair<int, int>>> decode(std::string_view g, bool* ok = nullptr) {
    std::vector<std::vector<std::pair<int, int>>> out;
    const bool r = yychdecode(g, collect_glyph, &out);
    if (ok) *ok = r;
    return out;
}

std::unique_ptr<StrokeFont> installed(const StrokeFontData& d) {
    auto f = std::make_unique<StrokeFont>();
    EXPECT_EQ(yychsfont_into(*f, d), StrokeFontStatus::ok);
    return f;
}

// Text frame for horizontal text at (x, y) with character size w x h.
StrokeTextFrame frame(float x, float y, float w, float h, int pitch) {
    StrokeTextFrame f;
    f.x = x;
    f.y = y;
    f.w = w;
    f.h = h;
    f.along_x = w;
    f.pitch = pitch;
    return f;
}

std::vector<Emitted> draw(const StrokeFont& font, const StrokeTextFrame& f, std::string_view s) {
    std::vector<Emitted> out;
    yychdraw_geometry(font, kBuiltinCharacterWidths, f, s, collect, &out);
    return out;
}

std::string glyph_of(const StrokeFont& f, int code) {
    int s = 0, e = 0;
    if (!yychglyphrange(f, yychmapcode(f, code), s, e)) return {};
    return std::string(f.glyphs + s - 1, static_cast<std::size_t>(e - s));
}

}  // namespace

// ---- encoding -------------------------------------------------------------

TEST(StrokeFontDecode, AlphabetValues) {
    EXPECT_EQ(GlyphAlphabet.size(), 56u);
    EXPECT_EQ(yychvalue('0'), 0);
    EXPECT_EQ(yychvalue('A'), 10);
    EXPECT_EQ(yychvalue('a'), 36);
    EXPECT_EQ(yychvalue('t'), 55);
    for (char c : {'u', 'v', ' ', 'z', '\0', '\xff', '-'}) EXPECT_EQ(yychvalue(c), -1) << c;
}

TEST(StrokeFontDecode, StrokesAndPenUps) {
    using P = std::vector<std::pair<int, int>>;
    bool ok = false;
    auto a = decode("023B62u1555", &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0], (P{{0, 2}, {3, 11}, {6, 2}}));
    EXPECT_EQ(a[1], (P{{1, 5}, {5, 5}}));
    // Any character outside the alphabet ends a stroke.
    EXPECT_EQ(decode("023B62-1555"), a);
    EXPECT_EQ(decode("023B62 1555"), a);
    // A pen-up mark at the very end changes nothing.
    EXPECT_EQ(decode("023B62u1555u", &ok), a);
    EXPECT_TRUE(ok);
    // An empty glyph draws nothing.
    EXPECT_TRUE(decode("", &ok).empty());
    EXPECT_TRUE(ok);
}

TEST(StrokeFontDecode, MalformedGlyphsStopWithoutReadingPastTheEnd) {
    const char* bad[] = {"02", "023", "023B6", "02u1555", "023Buu1555", "uu"};
    for (const char* g : bad) {
        bool ok = true;
        decode(g, &ok);
        EXPECT_FALSE(ok) << g;
    }
    // 150 points fit the buffer, 151 do not.
    std::string full;
    for (int i = 0; i < kStrokePointLimit; ++i) full += "12";
    bool ok = false;
    auto s = decode(full, &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].size(), 150u);
    decode(full + "12", &ok);
    EXPECT_FALSE(ok);
}

// ---- code mapping and widths ---------------------------------------------

TEST(StrokeFontCodes, MappingByFlagAndCharacterSet) {
    StrokeFont f{};
    f.charset_bits = 8;
    f.code128_flag = 1;
    struct Case { int code, with128, without128, charset7; };
    const Case cases[] = {
        {0, 32, 32, 32},     {31, 32, 32, 32},    {32, 32, 32, 32},    {33, 33, 33, 33},
        {126, 126, 126, 126}, {127, 32, 32, 32},  {128, 127, 32, 127}, {129, 32, 32, 32},
        {160, 32, 32, 32},   {161, 161, 161, 32}, {233, 233, 233, 32}, {255, 255, 255, 32},
    };
    for (const Case& c : cases) {
        f.code128_flag = 1;
        f.charset_bits = 8;
        EXPECT_EQ(yychmapcode(f, c.code), c.with128) << c.code;
        f.code128_flag = 0;
        EXPECT_EQ(yychmapcode(f, c.code), c.without128) << c.code;
        f.code128_flag = 1;
        f.charset_bits = 7;
        EXPECT_EQ(yychmapcode(f, c.code), c.charset7) << c.code;
    }
}

TEST(StrokeFontCodes, BuiltinWidthTable) {
    const auto& w = kBuiltinCharacterWidths;
    struct Case { int code; float width; };
    const Case cases[] = {{32, 0.7f},  {37, 1.39f}, {48, 0.84f}, {57, 0.84f}, {64, 1.54f},
                          {87, 1.5f},  {97, 0.74f}, {98, 0.84f}, {105, 0.46f}, {124, 0.33f},
                          {127, 0.74f}, {161, 0.55f}, {191, 0.74f}, {192, 1.2f}, {198, 1.49f},
                          {215, 0.94f}, {223, 0.83f}, {230, 1.11f}, {247, 0.94f}, {255, 0.83f}};
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(w[static_cast<std::size_t>(yychwidthindex(c.code))], c.width) << c.code;
    // Sums of both halves guard against a lost or shifted entry.
    float low = 0, high = 0;
    for (std::size_t i = 0; i < 96; ++i) low += w[i];
    for (std::size_t i = 96; i < w.size(); ++i) high += w[i];
    EXPECT_NEAR(low, 81.52f, 0.001f);
    EXPECT_NEAR(high, 82.36f, 0.001f);

    StrokeFont f{};
    f.charset_bits = 8;
    f.code128_flag = 1;
    EXPECT_FLOAT_EQ(yychstrokelength(f, w, 1, "abc"), 2.32f);
    EXPECT_FLOAT_EQ(yychstrokelength(f, w, 0, "abc"), 3.0f);
    EXPECT_FLOAT_EQ(yychstrokelength(f, w, 2, "ab "), 0.74f + 0.84f + 0.7f);
    // Code 128 measures as 127's entry with a glyph, as a blank without.
    EXPECT_FLOAT_EQ(yychstrokelength(f, w, 1, "\x80"), 0.74f);
    f.code128_flag = 0;
    EXPECT_FLOAT_EQ(yychstrokelength(f, w, 1, "\x80"), 0.7f);
}

// ---- installing ------------------------------------------------------------

TEST(StrokeFontInstall, CopiesConstantsAndKeepsWhatTheFontDoesNotSupply) {
    auto f = std::make_unique<StrokeFont>();
    std::fill(std::begin(f->glyphs), std::end(f->glyphs), '#');
    std::fill(std::begin(f->low), std::end(f->low), 777);
    std::int32_t low[96], high[96];
    // A tiny font: "!" is a line, every other glyph empty.
    for (int k = 0; k < 96; ++k) low[k] = k == 0 ? 1 : 5;
    for (int k = 0; k < 96; ++k) high[k] = 5;
    ASSERT_EQ(yychsfont_into(*f, 4, 5, 3, 4, 7, 1, 1, "tiny.chr", "3233", low, high),
              StrokeFontStatus::ok);
    EXPECT_EQ(f->line_flag, 1);
    EXPECT_EQ(f->code128_flag, 0);
    EXPECT_EQ(f->charset_bits, 7);
    EXPECT_EQ(f->default_pitch, 1);
    EXPECT_EQ(std::string(f->name, 10), "tiny.chr  ");
    EXPECT_EQ(f->name[259], ' ');
    EXPECT_EQ(std::string(f->glyphs, 6), "3233##");
    // Without a code-128 glyph the last low entry stays the previous font's.
    EXPECT_EQ(f->low[94], 5);
    EXPECT_EQ(f->low[95], 777);
    ASSERT_EQ(yychsfont_into(*f, 4, 5, 3, 4, 8, 3, 0, "tiny.chr", "3233", low, high),
              StrokeFontStatus::ok);
    EXPECT_EQ(f->low[95], 5);
    EXPECT_EQ(f->line_flag, 1);
    EXPECT_EQ(f->code128_flag, 1);
}

TEST(StrokeFontInstall, RejectsFontsThatWouldOverrunTheStores) {
    auto f = installed(wgrvfontstandard_data());
    const std::string before(f->glyphs, 40);
    std::int32_t low[96], high[96];
    for (int k = 0; k < 96; ++k) low[k] = high[k] = 1;
    const std::string big(kGlyphStoreLength + 1, '1');
    EXPECT_EQ(yychsfont_into(*f, 1, 1, 1, 1, 8, 0, 0, "x", big, low, high),
              StrokeFontStatus::glyphs_too_long);
    low[10] = 0;  // runs backwards
    EXPECT_EQ(yychsfont_into(*f, 1, 1, 1, 1, 8, 0, 0, "x", "1212", low, high),
              StrokeFontStatus::bad_offsets);
    low[10] = 1;
    high[95] = 99;  // beyond the string
    EXPECT_EQ(yychsfont_into(*f, 1, 1, 1, 1, 8, 0, 0, "x", "1212", low, high),
              StrokeFontStatus::bad_offsets);
    std::string longstroke;
    for (int i = 0; i <= kStrokePointLimit; ++i) longstroke += "12";
    for (int k = 1; k < 96; ++k) low[k] = static_cast<int>(longstroke.size()) + 1;
    for (int k = 0; k < 96; ++k) high[k] = static_cast<int>(longstroke.size()) + 1;
    EXPECT_EQ(yychsfont_into(*f, 1, 1, 1, 1, 8, 0, 0, "x", longstroke, low, high),
              StrokeFontStatus::bad_glyph);
    EXPECT_EQ(std::string(f->glyphs, 40), before);
    EXPECT_EQ(std::string(f->name, 12), "standard.chr");
}

// ---- drawing geometry ----------------------------------------------------

TEST(StrokeFontDraw, CapitalAOfTheStandardFont) {
    auto font = installed(wgrvfontstandard_data());
    const auto out = draw(*font, frame(0, 0, 7.68f, 11.88f, 0), "A");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].kind, StrokeDraw::polyline);
    const float px[] = {0.84f, 3.84f, 6.84f}, py[] = {-3.94f, 5.06f, -3.94f};
    ASSERT_EQ(out[0].x.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(out[0].x[i], px[i], 1e-5f);
        EXPECT_NEAR(out[0].y[i], py[i], 1e-5f);
    }
    EXPECT_EQ(out[1].kind, StrokeDraw::line);
    ASSERT_EQ(out[1].x.size(), 2u);
    EXPECT_NEAR(out[1].x[0], 1.84f, 1e-5f);
    EXPECT_NEAR(out[1].x[1], 5.84f, 1e-5f);
    EXPECT_NEAR(out[1].y[0], -0.94f, 1e-5f);
    EXPECT_NEAR(out[1].y[1], -0.94f, 1e-5f);
}

TEST(StrokeFontDraw, Code127IsBlankAndCode128FollowsTheFlag) {
    auto standard = installed(wgrvfontstandard_data());
    auto symbol = installed(wgrofontsymbol_data());
    const auto f = frame(0, 0, 7.68f, 11.88f, 0);
    EXPECT_TRUE(draw(*standard, f, "\x7f").empty());
    EXPECT_TRUE(draw(*symbol, f, "\x7f").empty());
    EXPECT_TRUE(draw(*symbol, f, "\x80").empty());
    // The euro of the standard font: three strokes, the arc first.
    const auto euro = draw(*standard, f, "\x80");
    ASSERT_EQ(euro.size(), 3u);
    EXPECT_EQ(euro[0].x.size(), 8u);
    // A blank still advances: the A after code 127 sits one cell on.
    const auto a = draw(*standard, f, "\x7f" "A");
    ASSERT_FALSE(a.empty());
    EXPECT_NEAR(a[0].x[0], 7.68f + 0.84f, 1e-4f);
    // Character-set bits 7 turn the upper half into blanks.
    auto seven = installed(wgrvfontstandard_data());
    seven->charset_bits = 7;
    EXPECT_FALSE(draw(*standard, f, "\xe9").empty());
    EXPECT_TRUE(draw(*seven, f, "\xe9").empty());
}

TEST(StrokeFontDraw, ProportionalLineFontIsNarrowedAndCentredInItsCell) {
    auto font = installed(wgrvfontstandard_data());
    // Two characters: the second cell starts after the first's width.
    const auto out = draw(*font, frame(0, 0, 7.68f, 11.88f, 1), "AA");
    ASSERT_EQ(out.size(), 4u);
    const float wa = 1.11f * 7.68f;      // advance of A
    const float box = 6 * 0.75f;         // the box at three quarters width
    EXPECT_NEAR(out[0].x[0], (wa - box) / 2, 1e-4f);
    EXPECT_NEAR(out[0].x[2], (wa + box) / 2, 1e-4f);
    EXPECT_NEAR(out[2].x[0], wa + (wa - box) / 2, 1e-4f);
    // The outline fonts keep their width in proportional pitch.
    auto swiss = installed(yyofswiss_data());
    const auto s1 = draw(*swiss, frame(0, 0, 36.3f, 55, 1), "H");
    const auto s0 = draw(*swiss, frame(0, 0, 36.3f, 55, 0), "H");
    ASSERT_EQ(s1.size(), s0.size());
    float span1 = 0, span0 = 0;
    for (std::size_t i = 0; i < s1.size(); ++i) {
        auto [a, b] = std::minmax_element(s1[i].x.begin(), s1[i].x.end());
        auto [c, d] = std::minmax_element(s0[i].x.begin(), s0[i].x.end());
        span1 = std::max(span1, *b - *a);
        span0 = std::max(span0, *d - *c);
    }
    EXPECT_FLOAT_EQ(span1, span0);
}

TEST(StrokeFontDraw, RotationSlantAndUnderline) {
    auto font = installed(wgrvfontstandard_data());
    // 90 degrees with r = 1: the text runs upwards, glyph x goes up, glyph y
    // goes left.
    StrokeTextFrame f = frame(10, 20, 7.68f, 11.88f, 0);
    f.cos = 0;
    f.sin_r = 1;
    f.sin_over_r = 1;
    f.along_x = 0;
    f.along_y = 7.68f;
    const auto up = draw(*font, f, "A");
    ASSERT_EQ(up.size(), 2u);
    EXPECT_NEAR(up[0].x[0], 10 + 3.94f, 1e-4f);
    EXPECT_NEAR(up[0].y[0], 20 + 0.84f, 1e-4f);
    EXPECT_NEAR(up[0].x[1], 10 - 5.06f, 1e-4f);
    EXPECT_NEAR(up[0].y[1], 20 + 3.84f, 1e-4f);
    // Slant shears by glyph height: the apex moves right by slant * 11 units.
    StrokeTextFrame s = frame(0, 0, 7.68f, 11.88f, 0);
    s.slant = 0.4663f;
    const auto it = draw(*font, s, "A");
    EXPECT_NEAR(it[0].x[1], 3.84f + 0.4663f * 7.68f / 11.88f * 11, 1e-4f);
    EXPECT_NEAR(it[0].x[0], 0.84f + 0.4663f * 7.68f / 11.88f * 2, 1e-4f);
    // Underline: last, a line 0.45 heights below the reference line over the
    // measured length (blanks included).
    s.slant = 0;
    s.underline = true;
    s.pitch = 1;
    const auto ul = draw(*font, s, "ab ");
    ASSERT_FALSE(ul.empty());
    const Emitted& u = ul.back();
    EXPECT_EQ(u.kind, StrokeDraw::line);
    EXPECT_NEAR(u.x[0], 0, 1e-5f);
    EXPECT_NEAR(u.y[0], -0.45f * 11.88f, 1e-4f);
    EXPECT_NEAR(u.x[1], (0.74f + 0.84f + 0.7f) * 7.68f, 1e-4f);
}

TEST(StrokeFontDraw, OutlineFontsEmitPolygonsAndTrailingPenUpDrawsTheSame) {
    auto roman = installed(yyofroman_data());
    const auto bang = draw(*roman, frame(0, 0, 36.3f, 55, 0), "!");
    ASSERT_EQ(bang.size(), 2u);
    for (const auto& e : bang) EXPECT_EQ(e.kind, StrokeDraw::polygon);

    auto f = std::make_unique<StrokeFont>();
    std::int32_t low[96], high[96];
    for (int k = 0; k < 96; ++k) low[k] = k == 0 ? 1 : 13;
    for (int k = 0; k < 96; ++k) high[k] = 13;
    ASSERT_EQ(yychsfont_into(*f, 7.68f, 11.88f, 6, 11, 8, 3, 0, "t", "023B62u1555u", low, high),
              StrokeFontStatus::ok);
    const auto a = draw(*f, frame(0, 0, 7.68f, 11.88f, 0), "!");
    auto std_font = installed(wgrvfontstandard_data());
    const auto b = draw(*std_font, frame(0, 0, 7.68f, 11.88f, 0), "A");
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].x, b[i].x);
        EXPECT_EQ(a[i].y, b[i].y);
    }
}

// ---- the built-in fonts -----------------------------------------------------

namespace {

struct FontCase {
    const StrokeFontData& (*routine)();
    const char* name;
    int length;
    float cellw, cellh, boxw, boxh;
    int flags, pitch, glyphs;
    int cap_bottom, cap_top;  // capital H
};

const FontCase kFonts[] = {
    {yyoffixed_data, "fixed.chr", 12553, 36.3f, 55, 55, 55, 2, 0, 190, 16, 42},
    {yyoffixedbold_data, "fixedbld.chr", 12257, 36.3f, 55, 55, 55, 2, 0, 190, 16, 42},
    {yyofroman_data, "roman.chr", 14243, 36.3f, 55, 55, 55, 2, 1, 190, 14, 44},
    {yyofromanbold_data, "romanbld.chr", 14155, 36.3f, 55, 55, 55, 2, 1, 190, 12, 44},
    {yyofswiss_data, "swiss.chr", 11281, 36.3f, 55, 55, 55, 2, 1, 190, 11, 44},
    {yyofswissbold_data, "swissbld.chr", 11174, 36.3f, 55, 55, 55, 2, 1, 190, 12, 45},
    {wgrofontsymbol_data, "symbol.chr", 11312, 30.25f, 55, 55, 55, 0, 1, 189, 12, 42},
    {wgrvfontstandard_data, "standard.chr", 3455, 7.68f, 11.88f, 6, 11, 3, 0, 190, 2, 11},
};

// Low and high glyph slots of a font, in code order.
std::vector<int> codes_of(const StrokeFontData& d) {
    std::vector<int> v;
    for (int c = 33; c <= ((d.flags & 2) ? 127 : 126); ++c) v.push_back(c);
    for (int c = 161; c <= 255; ++c) v.push_back(c);
    return v;
}

}  // namespace

class StrokeFontBuiltin : public ::testing::TestWithParam<FontCase> {};

TEST_P(StrokeFontBuiltin, MetricsFlagsAndLayout) {
    const FontCase& c = GetParam();
    const StrokeFontData& d = c.routine();
    EXPECT_EQ(d.name, c.name);
    EXPECT_EQ(static_cast<int>(d.glyphs.size()), c.length);
    EXPECT_FLOAT_EQ(d.cell_width, c.cellw);
    EXPECT_FLOAT_EQ(d.cell_height, c.cellh);
    EXPECT_FLOAT_EQ(d.box_width, c.boxw);
    EXPECT_FLOAT_EQ(d.box_height, c.boxh);
    EXPECT_EQ(d.charset_bits, 8);
    EXPECT_EQ(d.flags, c.flags);
    EXPECT_EQ(d.default_pitch, c.pitch);
    EXPECT_EQ(static_cast<int>(codes_of(d).size()), c.glyphs);

    const bool has128 = (d.flags & 2) != 0;
    const int nlow = has128 ? 96 : 95;
    EXPECT_EQ(d.low[0], 1);
    for (int k = 1; k < nlow; ++k) EXPECT_GE(d.low[k], d.low[k - 1]) << k;
    for (int k = 1; k < 96; ++k) EXPECT_GE(d.high[k], d.high[k - 1]) << k;
    EXPECT_EQ(d.high[95], c.length + 1);
    // Between the place of 127 and code 161: at most three blanks (none in
    // the swiss fonts); in the symbol font the place of 127 holds blanks.
    const int gap_from = has128 ? d.low[95] : d.low[94];
    const std::string_view gap = d.glyphs.substr(static_cast<std::size_t>(gap_from - 1),
                                                 static_cast<std::size_t>(d.high[0] - gap_from));
    EXPECT_EQ(gap.find_first_not_of(' '), std::string_view::npos);
    if (has128) {
        EXPECT_LE(gap.size(), 3u);
    } else {
        EXPECT_LE(gap.size(), 6u);
    }
    if (std::string_view(c.name).starts_with("swiss")) {
        EXPECT_EQ(gap.size(), 0u);
    }

    // Only the font's own pen-up mark appears besides coordinates.
    const char mark = (d.flags & 1) ? 'u' : 'v';
    std::set<char> others;
    for (char ch : d.glyphs.substr(0, static_cast<std::size_t>(gap_from - 1)))
        if (yychvalue(ch) < 0) others.insert(ch);
    for (char ch : d.glyphs.substr(static_cast<std::size_t>(d.high[0] - 1)))
        if (yychvalue(ch) < 0) others.insert(ch);
    EXPECT_EQ(others, std::set<char>{mark});
}

TEST_P(StrokeFontBuiltin, GlyphsDecodeWithinTheDesign) {
    const FontCase& c = GetParam();
    const StrokeFontData& d = c.routine();
    auto font = installed(d);
    const bool line = (d.flags & 1) != 0;
    int nonempty = 0, longest = 0;
    int hmin = 99, hmax = -1;
    for (int code : codes_of(d)) {
        int s = 0, e = 0;
        ASSERT_TRUE(yychglyphrange(*font, code, s, e)) << code;
        bool ok = false;
        const auto strokes = decode(std::string_view(font->glyphs + s - 1,
                                                     static_cast<std::size_t>(e - s)), &ok);
        ASSERT_TRUE(ok) << code;
        if (!strokes.empty()) ++nonempty;
        if (!line) {
            EXPECT_LE(strokes.size(), 3u) << code;
        }
        for (const auto& st : strokes) {
            longest = std::max(longest, static_cast<int>(st.size()));
            if (!line) {
                EXPECT_GE(st.size(), 3u) << code;
            }
            for (auto [x, y] : st) {
                if (line) {
                    EXPECT_LE(x, 6) << code;
                    EXPECT_LE(y, 11) << code;
                }
                if (code == 'H') {
                    hmin = std::min(hmin, y);
                    hmax = std::max(hmax, y);
                }
            }
        }
    }
    EXPECT_LE(longest, 100);
    // Every code has a glyph, except the two the Symbol layout leaves empty.
    EXPECT_EQ(nonempty, d.name == "symbol.chr" ? c.glyphs - 2 : c.glyphs);
    if (d.name != "symbol.chr") {
        EXPECT_EQ(hmin, c.cap_bottom);
        EXPECT_EQ(hmax, c.cap_top);
    }
}

TEST_P(StrokeFontBuiltin, DescendersStayInTheirBand) {
    const FontCase& c = GetParam();
    const StrokeFontData& d = c.routine();
    auto font = installed(d);
    int low = 99;
    // The symbol font's letters with descenders are beta, gamma, rho, phi.
    const std::vector<int> codes = d.name == "symbol.chr" ? std::vector<int>{'b', 'g', 'r', 'f'}
                                                          : std::vector<int>{'g', 'j', 'p', 'q', 'y'};
    for (int code : codes)
        for (const auto& st : decode(glyph_of(*font, code)))
            for (auto [x, y] : st) low = std::min(low, y);
    if (d.flags & 1) {
        EXPECT_EQ(low, 0);
    } else {
        EXPECT_GE(low, 1);
        EXPECT_LE(low, 10);
    }
}

INSTANTIATE_TEST_SUITE_P(All, StrokeFontBuiltin, ::testing::ValuesIn(kFonts),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             return n.substr(0, n.find('.'));
                         });

TEST(StrokeFontBuiltinGlyphs, ExamplesOfTheStandardFont) {
    auto f = installed(wgrvfontstandard_data());
    EXPECT_EQ(glyph_of(*f, 'A'), "023B62u1555");
    EXPECT_EQ(glyph_of(*f, '!'), "3233u363B");
    EXPECT_EQ(glyph_of(*f, '0'), "1204091B5B696452125B");
    EXPECT_EQ(glyph_of(*f, 128), "63522214192B5B6Au0656u0767");
    EXPECT_EQ(std::string(f->name, 12), "standard.chr");
    EXPECT_EQ(f->line_flag, 1);
    EXPECT_EQ(f->default_pitch, 0);
}

TEST(StrokeFontBuiltinGlyphs, SymbolFontPutsGreekOnLatinLetters) {
    auto sym = installed(wgrofontsymbol_data());
    auto swiss = installed(yyofswiss_data());
    // Capital sigma and small pi, not the text font's S and p.
    EXPECT_NE(glyph_of(*sym, 'S'), glyph_of(*swiss, 'S'));
    EXPECT_NE(glyph_of(*sym, 'p'), glyph_of(*swiss, 'p'));
    // Digits and punctuation stay what they are: one outline with a hole
    // for the zero, i.e. a single stroke.
    EXPECT_EQ(decode(glyph_of(*sym, '0')).size(), 1u);
    EXPECT_EQ(decode(glyph_of(*sym, ':')).size(), 2u);
    EXPECT_EQ(decode(glyph_of(*sym, 0xBC)).size(), 3u);  // the ellipsis
}
