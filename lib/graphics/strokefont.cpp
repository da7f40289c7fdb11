#include "lib/graphics/strokefont.h"

#include <algorithm>
#include <cstring>

namespace {

// Alphabet value by character, built once: decoding looks each character up
// by position without searching.
struct AlphabetIndex {
    std::int8_t value[256];
    constexpr AlphabetIndex() : value{} {
        for (int i = 0; i < 256; ++i) value[i] = -1;
        for (std::size_t i = 0; i < GlyphAlphabet.size(); ++i)
            value[static_cast<unsigned char>(GlyphAlphabet[i])] = static_cast<std::int8_t>(i);
    }
};
constexpr AlphabetIndex kAlphabet;

}  // namespace

int yychvalue(char c) { return kAlphabet.value[static_cast<unsigned char>(c)]; }

// Advance widths of codes 32..127, then 161..255, in character widths.
const CharacterWidthTable kBuiltinCharacterWidths = {
    // 32..47
    0.7f, 0.56f, 0.69f, 0.84f, 0.84f, 1.39f, 1.3f, 0.56f, 0.56f, 0.56f, 0.84f, 0.94f, 0.42f,
    0.56f, 0.42f, 0.47f,
    // 48..57
    0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f,
    // 58..64
    0.47f, 0.47f, 0.94f, 0.94f, 0.94f, 0.74f, 1.54f,
    // 65..90
    1.11f, 1.11f, 1.11f, 1.2f, 1.02f, 0.93f, 1.2f, 1.05f, 0.56f, 0.65f, 1.2f, 0.98f, 1.3f,
    1.2f, 1.2f, 0.93f, 1.2f, 1.11f, 0.93f, 1.02f, 1.11f, 1.02f, 1.5f, 1.2f, 1.2f, 1.02f,
    // 91..96
    0.56f, 0.47f, 0.56f, 0.78f, 0.84f, 0.56f,
    // 97..122
    0.74f, 0.84f, 0.74f, 0.84f, 0.74f, 0.56f, 0.84f, 0.84f, 0.46f, 0.46f, 0.84f, 0.46f, 1.3f,
    0.84f, 0.84f, 0.84f, 0.84f, 0.56f, 0.65f, 0.5f, 0.84f, 0.84f, 1.2f, 0.84f, 0.84f, 0.74f,
    // 123..127 (127 is the width of code 128)
    0.8f, 0.33f, 0.8f, 0.9f, 0.74f,
    // 161..191
    0.55f, 0.83f, 0.83f, 0.83f, 0.83f, 0.33f, 0.83f, 0.55f, 1.27f, 0.46f, 0.83f, 0.94f, 0.55f,
    1.27f, 0.55f, 0.67f, 0.94f, 0.5f, 0.5f, 0.55f, 0.83f, 0.75f, 0.42f, 0.55f, 0.5f, 0.52f,
    0.83f, 1.25f, 1.25f, 1.25f, 0.74f,
    // 192..199
    1.2f, 1.2f, 1.2f, 1.2f, 1.2f, 1.2f, 1.49f, 1.11f,
    // 200..207
    1.02f, 1.02f, 1.02f, 1.02f, 0.55f, 0.55f, 0.55f, 0.55f,
    // 208..215
    1.2f, 1.2f, 1.2f, 1.2f, 1.2f, 1.2f, 1.2f, 0.94f,
    // 216..223
    1.2f, 1.2f, 1.2f, 1.2f, 1.2f, 1.2f, 0.93f, 0.83f,
    // 224..231
    0.74f, 0.74f, 0.74f, 0.74f, 0.74f, 0.74f, 1.11f, 0.74f,
    // 232..239
    0.74f, 0.74f, 0.74f, 0.74f, 0.46f, 0.46f, 0.46f, 0.46f,
    // 240..247
    0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.94f,
    // 248..255
    0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f,
};

int yychmapcode(const StrokeFont& font, int code) {
    if (code >= 32 && code <= 126) return code;
    if (code == 128) return font.code128_flag == 1 ? 127 : 32;
    if (code >= 161 && code <= 255) return font.charset_bits == 7 ? 32 : code;
    return 32;
}

int yychwidthindex(int c) {
    if (c >= 32 && c <= 127) return c - 32;
    if (c >= 161 && c <= 255) return c - 161 + 96;
    return 0;  // anything else measures as a blank
}

float yychstrokelength(const StrokeFont& font, const CharacterWidthTable& widths, int pitch,
                       std::string_view s) {
    if (pitch == 0) return static_cast<float>(s.size());
    float sum = 0;
    for (char ch : s)
        sum += widths[static_cast<std::size_t>(
            yychwidthindex(yychmapcode(font, static_cast<unsigned char>(ch))))];
    return sum;
}

bool yychglyphrange(const StrokeFont& font, int c, int& start, int& end) {
    if (c >= 33 && c <= 127) {
        start = font.low[c - 33];
        end = font.low[c - 32];
    } else if (c >= 161 && c <= 255) {
        start = font.high[c - 161];
        end = font.high[c - 160];
    } else {
        return false;
    }
    return start >= 1 && end >= start && end - 1 <= kGlyphStoreLength;
}

bool yychdecode(std::string_view g, GlyphStrokeSink emit, void* ctx) {
    GlyphStroke st;
    std::size_t i = 0;
    const std::size_t n = g.size();
    while (i < n) {
        // A stroke begins with two points, read unconditionally.
        if (n - i < 4) return false;
        st.count = 0;
        for (int p = 0; p < 2; ++p) {
            const int gx = yychvalue(g[i]), gy = yychvalue(g[i + 1]);
            if (gx < 0 || gy < 0) return false;
            st.x[static_cast<std::size_t>(st.count)] = static_cast<std::int8_t>(gx);
            st.y[static_cast<std::size_t>(st.count)] = static_cast<std::int8_t>(gy);
            ++st.count;
            i += 2;
        }
        // Further points while the next character is a coordinate.
        while (i < n && yychvalue(g[i]) >= 0) {
            if (i + 1 >= n || yychvalue(g[i + 1]) < 0) return false;
            if (st.count == kStrokePointLimit) return false;
            st.x[static_cast<std::size_t>(st.count)] = static_cast<std::int8_t>(yychvalue(g[i]));
            st.y[static_cast<std::size_t>(st.count)] =
                static_cast<std::int8_t>(yychvalue(g[i + 1]));
            ++st.count;
            i += 2;
        }
        emit(ctx, st);
        // Skip the pen-up mark; one at the very end of the glyph is ignored.
        if (i < n) ++i;
    }
    return true;
}

namespace {

void ignore_stroke(void*, const GlyphStroke&) {}

// Offsets must start at 1, never run backwards and stay inside the string.
bool offsets_sound(const std::int32_t* t, int count, int first_min, int limit) {
    int prev = first_min;
    for (int k = 0; k < count; ++k) {
        if (t[k] < prev || t[k] > limit) return false;
        prev = t[k];
    }
    return true;
}

}  // namespace

StrokeFontStatus yychsfont_into(StrokeFont& font, float cellw, float cellh, float boxw,
                                float boxh, std::int32_t charset, std::int32_t flags,
                                std::int32_t defpitch, std::string_view name,
                                std::string_view glyphs, const std::int32_t* low,
                                const std::int32_t* high) {
    if (glyphs.size() > static_cast<std::size_t>(kGlyphStoreLength))
        return StrokeFontStatus::glyphs_too_long;
    const int L = static_cast<int>(glyphs.size());
    const bool has128 = (flags & kStrokeFlagCode128) != 0;
    const int nlow = has128 ? 96 : 95;
    if (low == nullptr || high == nullptr || !offsets_sound(low, nlow, 1, L + 1) ||
        !offsets_sound(high, 96, low[nlow - 1], L + 1))
        return StrokeFontStatus::bad_offsets;
    // Every reachable glyph must decode within the point buffer.
    auto glyph_ok = [&](int s, int e) {
        return yychdecode(glyphs.substr(static_cast<std::size_t>(s - 1),
                                        static_cast<std::size_t>(e - s)),
                          ignore_stroke, nullptr);
    };
    for (int k = 0; k < nlow - 1; ++k)
        if (!glyph_ok(low[k], low[k + 1])) return StrokeFontStatus::bad_glyph;
    for (int k = 0; k < 95; ++k)
        if (!glyph_ok(high[k], high[k + 1])) return StrokeFontStatus::bad_glyph;

    font.cell_width = cellw;
    font.cell_height = cellh;
    font.box_width = boxw;
    font.box_height = boxh;
    font.charset_bits = charset;
    font.line_flag = (flags & kStrokeFlagLine) != 0 ? 1 : 0;
    font.code128_flag = has128 ? 1 : 0;
    font.default_pitch = defpitch;
    const std::size_t nn = std::min(name.size(), static_cast<std::size_t>(kStrokeFontNameLength));
    std::memset(font.name, ' ', sizeof font.name);
    std::memcpy(font.name, name.data(), nn);
    std::memcpy(font.glyphs, glyphs.data(), glyphs.size());
    std::copy_n(low, nlow, font.low);
    std::copy_n(high, 96, font.high);
    return StrokeFontStatus::ok;
}

StrokeFontStatus yychsfont_into(StrokeFont& font, const StrokeFontData& d) {
    return yychsfont_into(font, d.cell_width, d.cell_height, d.box_width, d.box_height,
                          d.charset_bits, d.flags, d.default_pitch, d.name, d.glyphs, d.low,
                          d.high);
}

namespace {

// One drawing call's view of the glyph walk: where the glyph's origin lies
// and how glyph units turn into device units.
struct GlyphPlacement {
    float ox, oy;          // origin of the glyph's design box, device units
    float sx, sy, sl;      // scales and shear
    float cos, sin_r, sin_over_r;
    bool line_font;
    StrokeDeviceSink emit;
    void* ctx;
};

// The point buffer of one stroke; no allocation while drawing.
float g_px[kStrokePointLimit];
float g_py[kStrokePointLimit];

void place_stroke(void* ctx, const GlyphStroke& st) {
    const auto& p = *static_cast<const GlyphPlacement*>(ctx);
    for (int k = 0; k < st.count; ++k) {
        const float gx = st.x[static_cast<std::size_t>(k)];
        const float gy = st.y[static_cast<std::size_t>(k)];
        const float u = gx * p.sx + p.sl * gy * p.sy;
        const float v = gy * p.sy;
        g_px[k] = p.ox + u * p.cos + v * -p.sin_over_r;
        g_py[k] = p.oy + u * p.sin_r + v * p.cos;
    }
    StrokeDraw kind = StrokeDraw::polygon;
    if (p.line_font) kind = st.count == 2 ? StrokeDraw::line : StrokeDraw::polyline;
    p.emit(p.ctx, kind, g_px, g_py, st.count);
}

}  // namespace

void yychdraw_geometry(const StrokeFont& font, const CharacterWidthTable& widths,
                       const StrokeTextFrame& f, std::string_view s, StrokeDeviceSink emit,
                       void* ctx) {
    if (!(font.cell_width > 0) || !(font.cell_height > 0)) return;
    const bool prop = f.pitch != 0;

    // Scales from glyph units to device units; the narrow line font is
    // drawn at three quarters of its width when spaced proportionally.
    const float sy = f.h / font.cell_height;
    float sx = f.w / font.cell_width;
    if (font.box_width < 8 && prop) sx = 0.75f * sx;
    const float sl = f.h != 0 ? f.w * f.slant / f.h : 0.0f;

    const float lu = yychstrokelength(font, widths, f.pitch, s);

    GlyphPlacement gp{0, 0, sx, sy, sl, f.cos, f.sin_r, f.sin_over_r, font.line_flag == 1,
                      emit, ctx};
    float offx = 0, offy = 0;
    float dx = f.along_x, dy = f.along_y;
    float ox = 0, oy = 0;
    const float bw = font.box_width * sx;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int c = yychmapcode(font, static_cast<unsigned char>(s[i]));
        if (prop) {
            const float wc = widths[static_cast<std::size_t>(yychwidthindex(c))];
            dx = wc * f.along_x;
            dy = wc * f.along_y;
            offx = 0.5f * (1 - wc) * f.along_x;
            offy = 0.5f * (1 - wc) * f.along_y;
        }
        if (i == 0) {
            // The design box is centred in the first advance cell; the
            // glyph's y = 0 line lies half a character height below the
            // reference line.
            ox = f.x + offx + 0.5f * (dx - bw * f.cos + f.h * f.sin_over_r);
            oy = f.y + offy + 0.5f * (dy - bw * f.sin_r + f.h * -f.cos);
        }
        if (prop) {
            ox -= offx;
            oy -= offy;
        }
        int start = 0, end = 0;
        if (c > 32 && yychglyphrange(font, c, start, end)) {
            gp.ox = ox;
            gp.oy = oy;
            yychdecode(std::string_view(font.glyphs + start - 1,
                                        static_cast<std::size_t>(end - start)),
                       place_stroke, &gp);
        }
        ox += offx + dx;
        oy += offy + dy;
    }

    if (f.underline) {
        g_px[0] = f.x + 0.45f * f.h * f.sin_over_r;
        g_py[0] = f.y + 0.45f * f.h * -f.cos;
        g_px[1] = g_px[0] + lu * f.along_x;
        g_py[1] = g_py[0] + lu * f.along_y;
        emit(ctx, StrokeDraw::line, g_px, g_py, 2);
    }
}
