// Text settings, measuring, substitution of hardware text, and the stroke
// fonts as the current font of the text state.
#include "lib/graphics/text.h"

#include <cmath>
#include <numbers>

#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/strokefont_data.h"
#include "lib/window/errors.h"
#include "lib/window/text.h"

TextLayerState textlayer;

void reset_text_layer() { textlayer = TextLayerState{}; }

namespace {

constexpr float DefaultCharWidth = 0.01333333f;
constexpr float DefaultCharHeight = 0.04f;
constexpr float ItalicSlant = 0.4663f;

constexpr int StyleBold = 1;
constexpr int StyleItalic = 2;

// MOD(style, 2) as the loaded-bold state records it.
std::int32_t bold_of(std::int32_t style) { return style % 2; }

// Pitch a hardware family gets by default: fixed for family 1, the device's
// proportional spacing otherwise.
std::int32_t hardware_default_pitch(const TextState& t) { return t.HardwareFontFamily == 1 ? 0 : 2; }

}  // namespace

// ---------------------------------------------------------------- settings

void WGrTextFont(std::optional<int> family, std::optional<int> style, std::optional<float> width,
                 std::optional<float> height, std::optional<std::string_view> name,
                 std::optional<int> pitch) {
    TextState& t = gstate.text;
    bool changed = false;

    if (family) {
        switch (*family) {
            case 1:
                t.stroke_mode = 1;
                t.TextPitch = t.stroke_font.default_pitch;
                break;
            case 2:
                t.stroke_mode = 0;
                t.TextPitch = hardware_default_pitch(t);
                break;
            case 100:
            case 102:
            case 103:
            case 104:
                t.stroke_mode = 0;
                t.HardwareFontFamily = *family - 100;
                t.TextPitch = 2;
                changed = true;
                break;
            case 101:
                t.stroke_mode = 0;
                t.HardwareFontFamily = 1;
                t.TextPitch = 0;
                changed = true;
                break;
            default: break;
        }
    }
    if (width) {
        if (*width > 0) t.char_width = *width;
        changed = true;
    }
    if (height) {
        if (*height > 0) t.char_height = *height;
        changed = true;
    }
    if (style) {
        if ((*style & 7) != (t.TextStyle & 7) && t.stroke_mode == 0) changed = true;
        t.TextStyle = *style;
    }

    // A fixed, swiss or roman outline font follows the bold bit by loading
    // its other variant.
    if (t.stroke_mode == 1 && t.stroke_font.line_flag == 0 && bold_of(t.TextStyle) != t.loaded_bold) {
        const std::string_view head(t.stroke_font.name, 5);
        if (head == "fixed")
            wgrofontfixed();
        else if (head == "swiss")
            wgrofontswiss();
        else if (head == "roman")
            wgrofontroman();
    }

    if ((family || style) && t.stroke_mode == 1)
        t.slant = (t.TextStyle & StyleItalic) != 0 ? ItalicSlant : 0.0f;

    if (pitch) {
        const std::int32_t before = t.TextPitch;
        switch (*pitch) {
            case 0:
                t.TextPitch = t.stroke_mode == 1 ? t.stroke_font.default_pitch : hardware_default_pitch(t);
                break;
            case 1:
                if (t.stroke_mode == 1 || t.HardwareFontFamily == 0) t.TextPitch = 0;
                break;
            case 2:
                if (t.stroke_mode == 1 || t.HardwareFontFamily != 1) t.TextPitch = 1;
                break;
            default: break;
        }
        if (t.TextPitch != before && t.stroke_mode == 0) changed = true;
    }

    if (name && t.HardwareFontFamily == 0) {
        txt_set(t.font_name, *name);
        changed = true;
    }

    if (t.stroke_mode == 0 && t.HardwareFontFamily == 0 && txt_trim(t.font_name).empty()) {
        yyerror(1058, "WGrTextFont");
        t.substitute_font = t.TextPitch == 0 ? 1 : 2;
    }

    if (changed) yychdfont();
}

void yychdfont() {
    GraphicsState& g = gstate;
    TextState& t = g.text;
    t.substitute_font = t.HardwareFontFamily;
    if (t.substitute_font == 0) t.substitute_font = t.TextPitch == 0 ? 1 : 2;
    yyhdrv(OpFont);
    if (g.screen_flag == 0) {
        // Without a screen device nobody reports the font obtained: the
        // cells follow from the requested size.
        const float across = g.text_ref_size_x * t.char_width;
        const float down = g.text_ref_size_y * t.char_height;
        if (across > 0) t.cells_across = g.extent_x / across;
        if (down > 0) t.cells_down = g.extent_y / down;
    } else if (t.stroke_mode == 0) {
        yygdrv(OpFont);
    }
}

void yychsize(float width, float height) {
    TextState& t = gstate.text;
    t.char_width = width > 0 ? width : DefaultCharWidth;
    t.char_height = height > 0 ? height : DefaultCharHeight;
    yychdfont();
}

void igrcharsize(float width, float height) {
    const float w = width > 0 ? width : 1.0f;
    const float h = height > 0 ? height : 1.0f;
    yychsize(w / 75.0f, h / 25.0f);
}

void yychrot(float angle) {
    GraphicsState& g = gstate;
    TextState& t = g.text;
    // A non-finite angle has no direction; it is taken as 0.
    const double a0 = std::isfinite(angle) ? static_cast<double>(angle) : 0.0;
    // Shift by whole turns to a positive value, then reduce into [0, 360).
    const double turns = std::floor(std::trunc(std::fabs(a0)) / 360.0) + 1.0;
    const double a = a0 + 360.0 * turns;
    t.angle = static_cast<float>(a - 360.0 * std::trunc(a / 360.0));
    if (t.angle >= 360.0f) t.angle = 0.0f;

    // r corrects the sine terms for the shape of the drawing area and of
    // the drawable's pixels, so rotated text keeps its proportions.
    double r = 1.0;
    if (g.text_ref_size_x > 0 && g.area_width_y > 0 && g.text_ref_size_y > 0) {
        r = static_cast<double>(g.text_ref_size_y) / g.text_ref_size_x * g.aspect_ratio *
            (static_cast<double>(g.area_width_x) / g.area_width_y);
        if (!(r > 0) || !std::isfinite(r)) r = 1.0;
    }
    const double rad = a0 * std::numbers::pi / 180.0;
    const double s = std::sin(rad);
    t.cos_angle = static_cast<float>(std::cos(rad));
    t.sin_r = static_cast<float>(s * r);
    t.sin_over_r = static_cast<float>(s / r);
    yygdrv(OpTextAngle);
    yyhdrv(OpTextAngle);
}

float wgrtextlength(std::string_view string, int measure) {
    GraphicsState& g = gstate;
    const TextState& t = g.text;
    if (t.TextPitch != 1 && t.stroke_mode == 0 && measure == 0) {
        const std::size_t k = std::min(string.size(), DriverTextLength);
        drvargs.K = static_cast<std::int32_t>(k);
        drvargs.N = 0;
        txt_set(DriverText, string.substr(0, k));
        if (g.screen_flag != 0)
            yygdrv(OpTextWidth);
        else
            yyhdrv(OpTextWidth);
        if (drvargs.N != 0 && g.extent_x != 0) return drvargs.X[0] * t.cells_across / g.extent_x;
    }
    return yychstrokelength(t.stroke_font, t.widths, t.TextPitch, string);
}

void yychsubst(int side, float w, float h, int& result) {
    const GraphicsState& g = gstate;
    const TextState& t = g.text;
    const int s = side == HardcopySide ? HardcopySide : ScreenSide;
    const DeviceDescription& dev = g.device[static_cast<std::size_t>(s)];
    const bool enabled = t.substitution_enabled[static_cast<std::size_t>(s)] != 0;

    float p = w, q = h, u = 1.0f, v = 1.0f;
    if (s == HardcopySide) {
        p = g.hc.x_scale * w;
        q = g.hc.y_scale * h;
    } else {
        u = t.cells_across * t.char_width * g.area_width_x;
        v = t.cells_down * t.char_height * g.area_width_y;
    }

    bool ratio = (u > 1.3f || v > 1.3f || u < 0.8f || v < 0.8f) && enabled;
    bool cap = false;
    if (t.TextPitch != 0) {
        cap = dev.DeviceCapabilities.size() >= 27 && dev.DeviceCapabilities[26] == '0';
    } else {
        const float threshold = dev.TextSizeThreshold;
        if (threshold >= 0) cap = p > threshold && q > threshold && enabled;
        ratio = ratio && cap;
    }
    const bool rot = dev.TextRotationCapability == 0 ||
                     (dev.TextRotationCapability == 1 && std::fabs(t.angle) > 1.0f);
    result = (ratio || cap || rot) ? 1 : 0;
}

void yychsave(int mode) {
    TextState& t = gstate.text;
    if (mode != 0) {
        textlayer.saved_font = t.stroke_font;
        textlayer.saved_stroke_mode = t.stroke_mode;
        textlayer.saved = true;
    } else if (textlayer.saved) {
        // Nothing to restore before the first save: the current font stays.
        t.stroke_font = textlayer.saved_font;
        t.stroke_mode = textlayer.saved_stroke_mode;
    }
}

void yychspace(int code) {
    CharacterWidthTable& w = gstate.text.widths;
    if (code == 0) {
        w = kBuiltinCharacterWidths;
    } else if ((code >= 32 && code <= 126) || (code >= 161 && code <= 255)) {
        const auto i = static_cast<std::size_t>(yychwidthindex(code));
        w[i] = kBuiltinCharacterWidths[i];
    } else if (code == 128) {
        w[static_cast<std::size_t>(yychwidthindex(127))] = 0.74f;
    } else {
        yyerror(66, "YYCHSPACE");
    }
}

// ---------------------------------------------------------------- stroke fonts

void yychsfont(float cellw, float cellh, float boxw, float boxh, int charset, int flags,
               int defpitch, int slot, std::string_view name, std::string_view glyphs,
               const std::int32_t* low, const std::int32_t* high) {
    StrokeFont* target = nullptr;
    if (slot == 0)
        target = &gstate.text.stroke_font;
    else if (slot == 1)
        target = &textlayer.slot1_font;
    else
        return;
    const StrokeFontStatus st =
        yychsfont_into(*target, cellw, cellh, boxw, boxh, charset, flags, defpitch, name, glyphs, low, high);
    if (st == StrokeFontStatus::ok && slot == 0) gstate.text.loaded_bold = 0;
}

namespace {

void install(const StrokeFontData& d, int slot = 0) {
    yychsfont(d.cell_width, d.cell_height, d.box_width, d.box_height, d.charset_bits, d.flags,
              d.default_pitch, slot, d.name, d.glyphs, d.low, d.high);
}

// A family loader: the variant by the bold bit, then the loaded-bold state.
void load_family(void (*normal)(), void (*bold)()) {
    TextState& t = gstate.text;
    if ((t.TextStyle & StyleBold) != 0)
        bold();
    else
        normal();
    t.loaded_bold = bold_of(t.TextStyle);
}

}  // namespace

void yyoffixed() { install(yyoffixed_data()); }
void yyoffixedbold() { install(yyoffixedbold_data()); }
void yyofroman() { install(yyofroman_data()); }
void yyofromanbold() { install(yyofromanbold_data()); }
void yyofswiss() { install(yyofswiss_data()); }
void yyofswissbold() { install(yyofswissbold_data()); }
void wgrofontsymbol() { install(wgrofontsymbol_data()); }
void wgrvfontstandard(std::optional<int> slot) { install(wgrvfontstandard_data(), slot.value_or(0)); }

void wgrofontfixed() { load_family(yyoffixed, yyoffixedbold); }
void wgrofontroman() { load_family(yyofroman, yyofromanbold); }
void wgrofontswiss() { load_family(yyofswiss, yyofswissbold); }

namespace {

// Sends the strokes of stroke text to the primitives, in device units.
void draw_stroke(void*, StrokeDraw kind, const float* x, const float* y, int count) {
    switch (kind) {
        case StrokeDraw::line: yylini(x[0], y[0], x[1], y[1]); break;
        case StrokeDraw::polyline: yypline(x, y, count, 1); break;
        case StrokeDraw::polygon: yyplygon(x, y, count, 1); break;
    }
}

}  // namespace

void yychdraw(float x, float y, std::string_view string, float w, float h) {
    GraphicsState& g = gstate;
    const TextState& t = g.text;
    const bool outline = t.stroke_font.line_flag == 0;
    const bool bold_lines = !outline && (t.TextStyle & StyleBold) != 0;

    // Outline glyphs are filled solid, and the devices that fill in their
    // own way know it is text; bold line glyphs get doubled line widths.
    const std::int32_t fill_style = g.fill_style;
    const std::int32_t screen_width = g.screen_line_width;
    const std::int32_t thickness = g.hc.options.get(9);
    if (outline) {
        g.fill_style = 4;
        g.stroke_text_flag = 1;
    } else if (bold_lines) {
        g.screen_line_width = 2 * screen_width;
        g.hc.options.set(9, 2 * thickness);
        yygdrv(OpLineWidth);
        yyhdrv(OpLineWidth);
    }

    StrokeTextFrame f;
    f.x = x;
    f.y = y;
    f.w = w;
    f.h = h;
    f.cos = t.cos_angle;
    f.sin_r = t.sin_r;
    f.sin_over_r = t.sin_over_r;
    f.along_x = t.along_down[0];
    f.along_y = t.along_down[1];
    f.slant = t.slant;
    f.pitch = t.TextPitch;
    f.underline = (t.TextStyle & 4) != 0;
    yychdraw_geometry(t.stroke_font, t.widths, f, string, draw_stroke, nullptr);

    if (outline) {
        g.fill_style = fill_style;
        g.stroke_text_flag = 0;
    } else if (bold_lines) {
        g.screen_line_width = screen_width;
        g.hc.options.set(9, thickness);
        yygdrv(OpLineWidth);
        yyhdrv(OpLineWidth);
    }
}
