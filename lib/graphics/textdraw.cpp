// Drawing a string at a world position: placement by the justification, the
// current position behind the text, the screen and the hardcopy pass as
// hardware or stroke text, substitution, clipping of hardware text to whole
// characters, underline and background box.
#include <algorithm>
#include <string>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/window/text.h"

namespace {

constexpr int StyleItalic = 2;
constexpr int StyleUnderline = 4;
constexpr int StyleBackground = 8;
constexpr float ItalicSlant = 0.4663f;

struct Vec {
    float x = 0, y = 0;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(float s, Vec a) { return {s * a.x, s * a.y}; }

// Scratch of one wgrtextstring call: sizes and layout of the current pass.
struct Layout {
    float w = 0, h = 0;    // character size of the pass
    float wn = 0, hn = 0;  // nominal character size
    Vec start, nominal_end, end, next;
};

// Hardcopy vertical correction of character-by-character hardcopy text: the
// page's height per width over the drawable's. A page or drawable without a
// size has none.
float hardcopy_ratio() {
    const GraphicsState& g = gstate;
    const std::int32_t o2 = g.hc.options.get(2);
    const float ratio = o2 != 0 ? static_cast<float>(g.hc.options.get(1)) / static_cast<float>(o2) : 1.0f;
    return g.aspect_ratio != 0 ? ratio / g.aspect_ratio : ratio;
}

// Characters of a whole string as the device may read them: no more than
// the text operand holds.
std::int32_t whole_count(int k) { return std::min(k, static_cast<int>(DriverTextLength)); }

std::string_view character(std::string_view s, int i) { return s.substr(static_cast<std::size_t>(i - 1), 1); }

// Steps 3 to 5: character size, vectors and layout of a pass.
void lay_out(Layout& l, std::string_view s, float xd, float yd, int side, bool stroke, int subst) {
    GraphicsState& g = gstate;
    TextState& t = g.text;
    const float n = static_cast<float>(s.size());
    const float j = 0.5f * static_cast<float>(t.justification);
    l.wn = g.text_ref_size_x * t.char_width;
    l.hn = g.text_ref_size_y * t.char_height;
    l.w = l.wn;
    l.h = l.hn;
    // Hardware text on the screen takes the size of the font the screen
    // device really got; until it has reported one, the nominal size.
    if (side == ScreenSide && !stroke && subst == 0) {
        if (t.cells_across > 0) l.w = g.extent_x / t.cells_across;
        if (t.cells_down > 0) l.h = g.extent_y / t.cells_down;
    }
    t.along_down[0] = t.cos_angle * l.w;
    t.along_down[1] = t.sin_r * l.w;
    t.along_down[2] = t.cos_angle * l.h;
    t.along_down[3] = t.sin_over_r * l.h;

    const float tl = t.TextPitch != 0 ? wgrtextlength(s, 0) : n;
    const float lpx = tl * l.w;
    const float lnom = tl * l.wn;
    const Vec dir{t.cos_angle, t.sin_r};
    const Vec ref{xd, yd};
    l.start = ref - (j * lpx) * dir;
    l.nominal_end = ref + ((1 - j) * lnom) * dir;
    l.end = l.start + lpx * dir;
    l.next = ref + ((1 - j) * lnom + j * l.wn) * dir;
}

// Steps 10 to 12: hardware text on one side. False when no character cell
// lies wholly inside the clip box, so that nothing is drawn on any side.
bool hardware_text(const Layout& l, std::string_view s, int side, int screenpass) {
    GraphicsState& g = gstate;
    const TextState& t = g.text;
    const int n = static_cast<int>(s.size());
    if (n <= 0) return false;
    const Vec along{t.along_down[0], t.along_down[1]};
    const Vec up{-t.sin_over_r, t.cos_angle};
    const Vec half_up = (0.5f * l.h) * up;

    // Device fonts draw proportional glyphs with side bearings; the probes
    // start inside them.
    Vec d1, d2;
    if (t.TextPitch == 1 || t.TextPitch == 2) {
        d1 = (0.14f * wgrtextlength(character(s, 1), 0)) * along;
        d2 = (0.14f * wgrtextlength(character(s, n), 0)) * along;
    }
    auto inside = [&](Vec p) { return yybox((p + half_up).x, (p + half_up).y) != 0 && yybox((p - half_up).x, (p - half_up).y) != 0; };

    Vec S = l.start + d1;
    int first = 0;
    for (int i = 1; i <= n; ++i) {
        if (inside(S)) {
            first = i;
            break;
        }
        S = S + wgrtextlength(character(s, i), 0) * along;
    }
    if (first == 0) return false;

    Vec probe = l.start + d1 + wgrtextlength(s, 0) * along;
    Vec nominal_end = l.nominal_end, end = l.end;
    int last = 0;
    for (int i = n; i >= first; --i) {
        if (inside(probe)) {
            last = i;
            break;
        }
        const Vec back = wgrtextlength(character(s, i), 0) * along;
        probe = probe - back;
        nominal_end = nominal_end - back;
        end = end - back;
    }
    if (last == 0) return false;
    const int k = last - first + 1;
    const std::string_view visible = s.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(k));

    const bool background = (t.TextStyle & StyleBackground) != 0;
    if (background && (t.TextPitch == 1 || (side == HardcopySide && g.hc.own_text_background == 0)))
        yychback(S.x, S.y, visible, 1, screenpass, side, k);

    DriverArguments& a = drvargs;
    a.X[0] = S.x;
    a.Y[0] = S.y;
    a.X[1] = l.w;
    a.Y[1] = l.h;
    a.X[2] = (nominal_end - d2).x;
    a.Y[2] = (nominal_end - d2).y;
    a.X[3] = (end - d2).x;
    a.Y[3] = (end - d2).y;
    txt_set(DriverText, visible);

    // The page's shape counts on the hardcopy side only.
    const float ratio = side == HardcopySide ? hardcopy_ratio() : 1.0f;
    bool by_character = false;
    if (side == HardcopySide) {
        if (t.TextPitch == 1 || (t.TextPitch == 2 && g.hc.whole_strings == 0)) {
            by_character = true;
            a.IX[0] = 1;
            for (int i = first; i <= last; ++i) {
                DriverText[0] = s[static_cast<std::size_t>(i - 1)];
                a.IX[1] = i == first ? 1 : (i == last ? 2 : 0);
                yyhdrv(OpText);
                const float lc = wgrtextlength(character(s, i), 1);
                a.X[0] += lc * along.x;
                a.Y[0] += lc * along.y * ratio;
            }
        } else {
            a.IX[0] = whole_count(k);
            a.IX[1] = 3;
            a.IX[3] = 1;
            yyhdrv(OpText);
        }
    } else {
        if (t.TextPitch == 1) {
            by_character = true;
            a.IX[0] = 1;
            for (int i = first; i <= last; ++i) {
                DriverText[0] = s[static_cast<std::size_t>(i - 1)];
                yygdrv(OpText);
                const float lc = wgrtextlength(character(s, i), 1);
                a.X[0] += lc * along.x;
                a.Y[0] += lc * along.y;
            }
        } else {
            a.IX[0] = whole_count(k);
            a.IX[3] = 1;
            yygdrv(OpText);
        }
    }

    // The device did not underline the text itself: one line under the
    // visible characters, placed as the device placed them.
    if ((t.TextStyle & StyleUnderline) != 0 && (by_character || a.IX[3] == 1)) {
        const Vec end_op{a.X[2], a.Y[2]};
        const std::int32_t screen = g.screen_flag, hardcopy = g.hardcopy_flag;
        g.screen_flag = screenpass;
        g.hardcopy_flag = side;
        const float lv = wgrtextlength(visible, 0) * l.w;
        const Vec v = side == ScreenSide ? Vec{t.cos_angle, t.sin_r} : Vec{t.cos_angle, t.sin_r * ratio};
        const Vec d = (0.45f * l.h) * Vec{t.sin_over_r, -t.cos_angle};
        Vec p;
        switch (t.justification) {
            case 0: p = S + d; break;
            case 2: p = end_op + d - lv * v; break;
            default: p = 0.5f * (S + end_op - lv * v) + d; break;
        }
        const Vec q = p + lv * v;
        yylini(p.x, p.y, q.x, q.y);
        g.screen_flag = screen;
        g.hardcopy_flag = hardcopy;
    }
    return true;
}

}  // namespace

void wgrtextstring(std::optional<float> x, std::optional<float> y, std::string_view s) {
    GraphicsState& g = gstate;
    TextState& t = g.text;
    const int n = static_cast<int>(s.size());

    float xd = 0, yd = 0;
    yye2i(x.value_or(g.pos_x), y.value_or(g.pos_y), xd, yd);

    bool stroke = t.stroke_mode != 0;
    int subst = 0;
    const std::int32_t line_type = g.LineType;
    bool line_type_changed = false;
    int screenpass = g.screen_flag;
    int side = g.screen_flag != 0 ? ScreenSide : (g.hardcopy_flag > 0 ? HardcopySide : ScreenSide);

    Layout l;
    bool relayout = true;
    while (true) {
        if (relayout) {
            lay_out(l, s, xd, yd, side, stroke, subst);

            // Strokes, boxes and underlines are drawn solid.
            if (g.LineType != 0 && (stroke || subst != 0 || (t.TextStyle & StyleUnderline) != 0)) {
                igrlinetype(0);
                line_type_changed = true;
            }
            if (screenpass != 0 || (g.screen_flag == 0 && side > 0))
                yyi2e(l.next.x, l.next.y, g.pos_x, g.pos_y);

            if (stroke || subst != 0) {
                float slant = t.slant;
                if (subst != 0) t.slant = (t.TextStyle & StyleItalic) != 0 ? ItalicSlant : 0.0f;
                const std::int32_t screen = g.screen_flag, hardcopy = g.hardcopy_flag;
                if (subst == 2) g.screen_flag = 0;
                if (subst == 1) g.hardcopy_flag = 0;
                if ((t.TextStyle & StyleBackground) != 0)
                    yychback(l.start.x, l.start.y, s, 1, g.screen_flag, g.hardcopy_flag, n);
                yychdraw(l.start.x, l.start.y, s, l.w, l.h);
                g.screen_flag = screen;
                g.hardcopy_flag = hardcopy;
                if (subst != 0) {
                    yychsave(0);
                    t.slant = slant;
                }
                if (subst == 1 && g.hardcopy_flag > 0) {
                    // The screen got strokes; the hardcopy side still gets
                    // its own turn with the layout as it stands.
                    subst = 0;
                    stroke = false;
                    screenpass = 0;
                    side = HardcopySide;
                } else {
                    break;
                }
            }
        }
        relayout = true;

        // Substitution of hardware text by stroke text on this side.
        const DeviceDescription& dev = g.device[static_cast<std::size_t>(side)];
        if (dev.TextSizeThreshold < NoTextSizeThreshold) {
            int result = 0;
            yychsubst(side, l.w, l.h, result);
            if (result == 1) {
                yychsave(1);
                switch (t.substitute_font) {
                    case 1: wgrofontfixed(); break;
                    case 2: wgrofontswiss(); break;
                    case 3: wgrofontroman(); break;
                    case 4: wgrofontsymbol(); break;
                    default: break;
                }
                t.stroke_mode = 1;
                subst = side == ScreenSide ? 1 : 2;
                continue;
            }
        }

        if (!hardware_text(l, s, side, screenpass)) break;

        if (side == ScreenSide && g.hardcopy_flag > 0) {
            screenpass = 0;
            side = HardcopySide;
            continue;
        }
        break;
    }

    if (line_type_changed) igrlinetype(line_type);
}

void igrcharout(float x, float y, std::string_view s) { wgrtextstring(x, y, s); }

void igrcharoutrel(std::string_view s) { wgrtextstring(std::nullopt, std::nullopt, s); }

void yychback(float x, float y, std::string_view s, int measure, int screen, int hardcopy, int n) {
    GraphicsState& g = gstate;
    const TextState& t = g.text;
    const std::int32_t fill_style = g.fill_style;
    const ColourTriple current = g.CurrentColour;
    const ColourTriple previous = g.PreviousColour;
    const std::int32_t target = screen == 0 ? 2 : (hardcopy == 0 ? 1 : 0);
    yycon(previous.index(), previous.rgb(), previous.device(), target);

    const std::size_t count = static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(s.size())));
    const float len = wgrtextlength(s.substr(0, count), measure);
    const Vec along{t.along_down[0], t.along_down[1]};
    // One character height towards the bottom of the text.
    const Vec down{t.along_down[3], -t.along_down[2]};
    const Vec p1 = Vec{x, y} + 0.5f * down;
    const Vec p2 = p1 + len * along;
    const Vec p3 = p2 - down;
    const Vec p4 = p3 - len * along;
    const float px[5] = {p1.x, p2.x, p3.x, p4.x, p1.x};
    const float py[5] = {p1.y, p2.y, p3.y, p4.y, p1.y};

    g.fill_style = 4;
    const std::int32_t saved_screen = g.screen_flag, saved_hardcopy = g.hardcopy_flag;
    g.screen_flag = screen;
    g.hardcopy_flag = hardcopy;
    yyplygon(px, py, 5, 1);
    g.screen_flag = saved_screen;
    g.hardcopy_flag = saved_hardcopy;
    yycon(current.index(), current.rgb(), current.device(), target);
    g.fill_style = fill_style;
}
