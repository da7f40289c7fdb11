#include "lib/graphics/colours.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/window/errors.h"
#include "lib/window/text.h"

const std::array<std::array<std::int32_t, 8>, 2> HueGroupTable = {{
    {0, 4, 6, 2, 3, 1, 5, 7},
    {0, 5, 3, 4, 1, 6, 2, 7},
}};

std::int32_t wrgb(std::int32_t r, std::int32_t g, std::int32_t b) {
    // Unsigned arithmetic so that out-of-range components wrap instead of
    // overflowing; the packed layout is the same.
    const std::uint32_t v = static_cast<std::uint32_t>(r) + 256u * static_cast<std::uint32_t>(g) +
                            65536u * static_cast<std::uint32_t>(b);
    return static_cast<std::int32_t>(v);
}

void wrgbsplit(std::int32_t rgb, std::int32_t* r, std::int32_t* g, std::int32_t* b) {
    // Truncating division: a negative value splits into components that are
    // zero or negative.
    if (r) *r = rgb % 256;
    if (g) *g = (rgb / 256) % 256;
    if (b) *b = (rgb / 65536) % 256;
}

namespace {

// A palette device is in use on a side that is on and not true-colour.
bool palette_device_in_use() {
    const GraphicsState& g = gstate;
    return (g.screen_flag != 0 && g.device[ScreenSide].true_colour == 0) ||
           (g.hardcopy_flag > 0 && g.device[HardcopySide].true_colour == 0);
}

// A missing palette index of a colour becomes its nearest palette entry.
void complete_index(ColourTriple& c) {
    if (c.index() == -1) yyrgbto8(c.rgb(), c.index());
}

}  // namespace

void igrcolourmodel(std::int32_t bits) {
    if (bits == 24) {
        gstate.ColourModel = 2;
        return;
    }
    gstate.ColourModel = 1;
    complete_index(gstate.PreviousColour);
    complete_index(gstate.CurrentColour);
}

void IGrColourN(std::int32_t n) {
    std::int32_t index = -1;
    std::int32_t rgb = 0;
    if (gstate.ColourModel == 2) {
        rgb = n;
        if (palette_device_in_use()) yyrgbto8(rgb, index);
    } else {
        if (n < 0 || n > 255) {
            yyerror(42, "IGrColourN");
            return;
        }
        index = n;
        yypalg(n, rgb);
    }
    yycon(index, rgb, yycnum(index), 0);
}

void yycon(std::int32_t index, std::int32_t rgb, std::int32_t device, std::int32_t target) {
    gstate.PreviousColour = gstate.CurrentColour;
    gstate.CurrentColour.device() = device;
    gstate.CurrentColour.index() = index;
    gstate.CurrentColour.rgb() = rgb;
    if (target != 2) yygdrv(OpColour);
    if (target != 1) yyhdrv(OpColour);
}

std::int32_t yycnum(std::int32_t i) {
    std::int32_t& last = palettes.last_cnum;
    if (i == 0) return last = 0;
    // -1 is "not determined"; no caller passes another negative index.
    if (i < 0) return last = -1;
    const std::int32_t n = gstate.colour_count;
    const std::int32_t group = ((i + 16) / 32) % 8;
    switch (n) {
        case 1:
        case 2: return last = 1;
        case 4:
        case 8: return last = HueGroupTable[0][static_cast<std::size_t>(group)];
        case 16: return last = HueGroupTable[0][static_cast<std::size_t>(group)] + ((i / 16) % 2 == 1 ? 8 : 0);
        case 32:
        case 64:
        case 128: return last = (i * n) / 256;
        case 256: return last = i % 256;
        default: return last;
    }
}

std::int32_t yycoln(std::int32_t k, std::int32_t row) {
    if (k < 0 || k > 15 || row < 0 || row > 1) return -1;
    return HueGroupTable[static_cast<std::size_t>(row)][static_cast<std::size_t>(k % 8)] + (k >= 8 ? 8 : 0);
}

void yyrgbhsv(std::int32_t rgb, float& h, float& s, float& v) {
    const std::int32_t r = rgb % 256, g = (rgb / 256) % 256, b = (rgb / 65536) % 256;
    const std::int32_t mx = std::max({r, g, b}), mn = std::min({r, g, b});
    constexpr float inv255 = 1.0f / 255.0f;
    const float V = static_cast<float>(mx) * inv255;
    v = V;
    if (mx == mn) {
        s = 0.0f;
        h = 0.0f;
        return;
    }
    const float rp = static_cast<float>(r) / 255.0f;
    const float gp = static_cast<float>(g) / 255.0f;
    const float bp = static_cast<float>(b) / 255.0f;
    const float m = static_cast<float>(mn) / 255.0f;
    const float d = V - m;
    // Components within the tolerance of the maximum or minimum count as it.
    constexpr float tol = 0.039f;
    auto is_max = [&](float c) { return std::fabs(c - V) < tol; };
    auto is_min = [&](float c) { return std::fabs(c - m) < tol; };
    float sector;
    if (is_max(rp))
        sector = is_min(gp) ? 5.0f + (V - bp) / d : 1.0f - (V - gp) / d;
    else if (is_max(gp))
        sector = is_min(bp) ? 1.0f + (V - rp) / d : 3.0f - (V - bp) / d;
    else
        sector = is_min(rp) ? 3.0f + (V - gp) / d : 5.0f - (V - rp) / d;
    s = d / V;
    h = static_cast<float>(sector * 60.0f * (std::numbers::pi_v<float> / 180.0f));
}

void yyrgbhex(std::int32_t r, std::int32_t g, std::int32_t b, std::string& text) {
    constexpr std::string_view digits = "0123456789abcdef";
    std::string hex;
    for (std::int32_t c : {r, g, b}) {
        c = std::clamp(c, 0, 255);
        hex += digits[static_cast<std::size_t>(c / 16)];
        hex += digits[static_cast<std::size_t>(c % 16)];
    }
    txt_set(text, hex);
}
