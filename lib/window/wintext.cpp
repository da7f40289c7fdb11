// Window text output and the window font.
#include "lib/window/wintext.h"

#include <algorithm>
#include <string>

#include "lib/window/text.h"
#include "lib/window/winops.h"
#include "platform/os_gdi.h"

WindowTextPlatform wintext;

namespace {

WindowTextState& state() { return quinda.window_text; }

// A colour of the window-text colour table as this screen shows it.
std::uint32_t text_colour(std::int32_t index) {
    return yyscreencolour(static_cast<std::uint32_t>(wtab.wColor[static_cast<std::size_t>(std::clamp(index, 0, 17))]));
}

// The window font, or the system font before any was made.
OsObject window_font() { return wintext.wFont ? wintext.wFont : os_get_stock_object(OS_SYSTEM_FONT); }

// Number of characters of a text that count - 1 asks for.
std::size_t text_count(std::string_view text, std::int32_t count) {
    return static_cast<std::size_t>(std::clamp<std::int64_t>(static_cast<std::int64_t>(count) - 1, 0,
                                                             static_cast<std::int64_t>(text.size())));
}

// A device context to measure fonts with: the window's, or a memory one
// made for the occasion while no window is open.
class MeasuringDC {
public:
    MeasuringDC() : dc_(wtab.wDC) {
        if (!dc_) dc_ = own_ = os_create_compatible_dc(0);
    }
    ~MeasuringDC() {
        if (own_) os_delete_dc(own_);
    }
    MeasuringDC(const MeasuringDC&) = delete;
    MeasuringDC& operator=(const MeasuringDC&) = delete;
    OsDC get() const { return dc_; }

private:
    OsDC dc_ = 0, own_ = 0;
};

OsObject make_family_font(std::int32_t family, std::int32_t bold, std::int32_t italic, std::int32_t width,
                          std::int32_t height) {
    OsLogFont lf;
    switch (family) {
        case WindowFontSystemFixed: return os_get_stock_object(OS_SYSTEM_FIXED_FONT);
        case WindowFontGui: return os_get_stock_object(OS_DEFAULT_GUI_FONT);
        case WindowFontTimes: lf.face = "Times New Roman"; lf.pitch_and_family = OS_FF_ROMAN; break;
        case WindowFontArial: lf.face = "Arial"; lf.pitch_and_family = OS_FF_SWISS; break;
        case WindowFontCourier: lf.face = "Courier New"; lf.pitch_and_family = OS_FF_MODERN; break;
        case WindowFontSymbol: lf.face = "Symbol"; break;
        case WindowFontWingdings: lf.face = "Wingdings"; break;
        default: return os_get_stock_object(OS_SYSTEM_FONT);
    }
    lf.pitch_and_family |= OS_VARIABLE_PITCH;
    lf.height = height;
    lf.width = width;
    lf.weight = bold ? 700 : 400;
    lf.italic = italic != 0;
    // Underline is drawn by the output itself, below the base line.
    lf.underline = false;
    lf.strike_out = false;
    lf.charset = OS_DEFAULT_CHARSET;
    lf.out_precision = OS_OUT_TT_PRECIS;
    lf.clip_precision = 0;
    lf.quality = OS_DEFAULT_QUALITY;
    return os_create_font(lf);
}

}  // namespace

// ---- the C side -------------------------------------------------------------------

void yycreatefont(std::int32_t family, std::int32_t bold, std::int32_t italic, std::int32_t& width,
                  std::int32_t& height) {
    const OsObject font = make_family_font(family, bold, italic, width, height);
    // Stock fonts refuse deletion, so only a font of our own goes.
    if (wintext.wFont && wintext.wFont != font) os_delete_object(wintext.wFont);
    wintext.wFont = font;
    MeasuringDC dc;
    const OsObject old = os_select_object(dc.get(), window_font());
    OsTextMetric tm;
    if (os_get_text_metrics(dc.get(), tm)) {
        width = tm.ave_char_width;
        height = tm.height;
    }
    if (old) os_select_object(dc.get(), old);
}

void yysetfontcolour(std::int32_t foreground, std::int32_t background) {
    wtab.wForeCol = foreground;
    wtab.wBackCol = background;
}

void yysetfontunderline(std::int32_t flag) { wtab.wUnderline = flag; }

void yysetfontcolourrgb(std::int32_t index, std::int32_t red, std::int32_t green, std::int32_t blue) {
    if (index < 0 || index >= static_cast<std::int32_t>(wtab.wColor.size())) return;
    // A component outside 0..255 would spill into its neighbour.
    auto byte = [](std::int32_t v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
    const std::uint32_t c = byte(red) | (byte(green) << 8) | (byte(blue) << 16);
    wtab.wColor[static_cast<std::size_t>(index)] = static_cast<std::int32_t>(c);
    if (wtab.wScreenCols == 256 && wtab.gPal256) {
        const std::int32_t entry = wtab.ngColours + index;
        os_set_palette_entries(wtab.gPal256, entry, {c});
        if (entry >= 0 && entry < static_cast<std::int32_t>(wtab.gLogPal.size()))
            wtab.gLogPal[static_cast<std::size_t>(entry)] = c;
    }
}

void yystringout(std::int32_t& x, std::int32_t& y, std::string_view text, std::int32_t count) {
    const OsDC dc = wtab.wDC;
    if (!dc) return;
    const std::string_view s = text.substr(0, text_count(text, count));
    const std::uint32_t fore = text_colour(wtab.wForeCol);
    const OsObject old_font = os_select_object(dc, window_font());
    const std::int32_t old_mode = os_set_bk_mode(dc, OS_OPAQUE);
    const std::uint32_t old_align = os_set_text_align(dc, OS_TA_BASELINE | OS_TA_LEFT | OS_TA_UPDATECP);
    const std::uint32_t old_fore = os_set_text_color(dc, fore);
    const std::uint32_t old_back = os_set_bk_color(dc, text_colour(wtab.wBackCol));
    os_move_to(dc, x, y);
    os_text_out(dc, x, y, s);
    OsPoint end{x, y};
    os_get_current_position(dc, end);
    if (wtab.wUnderline) {
        const OsObject pen = os_create_pen(OS_PS_SOLID, 1, fore);
        const OsObject old_pen = os_select_object(dc, pen);
        os_move_to(dc, x, y + 2);
        os_line_to(dc, end.x, y + 2);
        if (old_pen) os_select_object(dc, old_pen);
        os_delete_object(pen);
    }
    if (old_font) os_select_object(dc, old_font);
    os_set_text_color(dc, old_fore);
    os_set_bk_color(dc, old_back);
    if (old_mode) os_set_bk_mode(dc, old_mode);
    os_set_text_align(dc, old_align);
    x = end.x;
    y = end.y;
}

void yystringlen(std::int32_t& width, std::string_view text, std::int32_t count) {
    MeasuringDC dc;
    const OsObject old = os_select_object(dc.get(), window_font());
    OsPoint ext;
    width = os_get_text_extent(dc.get(), text.substr(0, text_count(text, count)), ext) ? ext.x : 0;
    if (old) os_select_object(dc.get(), old);
}

// ---- the steps of the window font ---------------------------------------------------

void yyfntcol(std::int32_t foreground, std::int32_t background) {
    WindowTextState& t = state();
    if (foreground >= 0 && foreground <= 16) t.fore_colour = foreground;
    if (background >= 0 && background <= 16) t.back_colour = background == 16 ? 17 : background;
    yysetfontcolour(t.fore_colour, t.back_colour);
}

void yyfntsiz() {
    WindowFontDescription& f = state().font;
    windowunitstopixels(f.width_units, f.height_units, f.width, f.height);
}

void yyfntcre() {
    WindowTextState& t = state();
    WindowFontDescription& f = t.font;
    const std::array<std::int32_t, 5> wanted{f.family, f.bold, f.italic, f.width, f.height};
    if (wanted == t.last_font) return;
    yycreatefont(f.family, f.bold, f.italic, f.width, f.height);
    t.last_font = {f.family, f.bold, f.italic, f.width, f.height};
}

void yyfntund(std::int32_t flag) {
    state().underline = flag != 0 ? 1 : 0;
    yysetfontunderline(state().underline);
}

// ---- public -------------------------------------------------------------------------

void windowfontcolour(std::int32_t foreground, std::int32_t background) { yyfntcol(foreground, background); }

void windowfontunderline(std::int32_t flag) { yyfntund(flag); }

void windowfontsize(std::int32_t width, std::int32_t height) {
    WindowFontDescription& f = state().font;
    f.width_units = width;
    f.height_units = height;
    yyfntsiz();
}

void windowfont(const WindowFontRecord& r) {
    if (r.family < 0 || r.family > 6) return;
    WindowFontDescription& f = state().font;
    f.family = r.family;
    f.bold = r.bold != 0 ? 1 : 0;
    f.italic = r.italic != 0 ? 1 : 0;
    f.width_units = r.width;
    f.height_units = r.height;
    yyfntsiz();
    yyfntcol(r.foreground, r.background);
    yyfntund(r.underline);
}

void windowoutstring(std::int32_t x, std::int32_t y, std::string_view text) {
    if (state().tag != ' ') {
        yytagstr(x, y, text);
        return;
    }
    std::int32_t px = 0, py = 0;
    windowunitstopixels(x, y, px, py);
    yyfntcre();
    yystringout(px, py, text, static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX - 1)) + 1);
}

void yytagstr(std::int32_t x, std::int32_t y, std::string_view text) {
    WindowTextState& t = state();
    WindowFontDescription& f = t.font;
    const std::int32_t bold = f.bold, italic = f.italic, underline = t.underline;
    const std::int32_t fore = t.fore_colour, back = t.back_colour;
    auto restore = [&] {
        f.bold = bold;
        f.italic = italic;
        yyfntund(underline);
        t.fore_colour = fore;
        t.back_colour = back;
        yysetfontcolour(fore, back);
    };

    std::int32_t px = 0, py = 0;
    windowunitstopixels(x, y, px, py);
    std::string run;
    auto flush = [&] {
        if (run.empty()) return;
        yyfntcre();
        yystringout(px, py, run, static_cast<std::int32_t>(run.size()) + 1);
        run.clear();
    };

    const std::string_view s = txt_trim(text);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != t.tag) {
            run += s[i];
            continue;
        }
        // A tag at the very end has no code and is dropped.
        if (i + 1 >= s.size()) break;
        const char code = s[++i];
        if (code == t.tag) {
            run += code;
            continue;
        }
        if (code == '1' || code == '3' || code == '5' || code == '0') {
            flush();
            if (code == '1') f.bold = 1;
            if (code == '3') f.italic = 1;
            if (code == '5') yyfntund(1);
            if (code == '0') restore();
        } else if (code >= 'A' && code <= 'Q') {
            flush();
            t.fore_colour = code - 'A';
            yysetfontcolour(t.fore_colour, t.back_colour);
        } else if (code >= 'a' && code <= 'q') {
            flush();
            t.back_colour = code - 'a' == 16 ? 17 : code - 'a';
            yysetfontcolour(t.fore_colour, t.back_colour);
        }
        // Any other code is ignored.
    }
    flush();
    restore();
}

// ---- opening and attachment -------------------------------------------------------

void yywintextopen() {
    WindowTextState& t = state();
    t.fore_colour = 0;
    t.back_colour = 15;
    t.underline = 0;
    yysetfontcolour(t.fore_colour, t.back_colour);
    yysetfontunderline(0);
    WindowFontDescription& f = t.font;
    f.family = WindowFontSystem;
    f.bold = 0;
    f.italic = 0;
    f.width = 0;
    f.height = 0;
    yycreatefont(f.family, f.bold, f.italic, f.width, f.height);
    windowunitsfrompixels(f.width, f.height, f.width_units, f.height_units);
    // The font just made is not entered as the last one, so the first output
    // makes its own font whatever a window opened before had left behind.
    t.last_font = {-1, -1, -1, -1, -1};
}

void reset_wintext_state() { wintext = WindowTextPlatform{}; }
