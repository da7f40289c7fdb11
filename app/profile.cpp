#include "app/profile.h"

#include <algorithm>
#include <array>
#include <utility>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "app/apphooks.h"
#include "app/editfast.h"
#include "app/filecmds.h"
#include "lib/dialog/fields.h"
#include "app/interp.h"
#include "app/interp_internal.h"
#include "app/logo.h"
#include "app/mainstate.h"
#include "app/onemoment.h"
#include "app/readout.h"
#include "app/records.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/pgraph/pgraph.h"
#include "lib/window/childwin.h"
#include "lib/window/errorbox.h"
#include "lib/window/fetch.h"
#include "lib/window/text.h"
#include "lib/window/wininfo.h"
#include "lib/window/winops.h"
#include "lib/window/wintext.h"

ProfileTexts profile_texts;

namespace {

constexpr int DialogProfile = 107, DialogProgress = 111;
constexpr int ChildFlags = 23;
constexpr float Gap = 1.0E10f;

std::string home() { return std::string(txt_trim(dat19.home)); }

struct Box {
    float xlo, xhi, ylo, yhi;
    // All three corners beyond one side of the line's box.
    bool rejects(const float* t) const {
        return (t[0] < xlo && t[2] < xlo && t[4] < xlo) || (t[0] > xhi && t[2] > xhi && t[4] > xhi) ||
               (t[1] < ylo && t[3] < ylo && t[5] < ylo) || (t[1] > yhi && t[3] > yhi && t[5] > yhi);
    }
};

// Pen-plot lines: (A2,2F12.2) and (A2,I5).
void pen(TextOut& plt, std::string_view cmd, float x, float y) {
    plt.put([&](std::string& s) {
        s += cmd;
        append_f(s, x, 12, 2);
        append_f(s, y, 12, 2);
        s += "\r\n";
    });
}
void pen(TextOut& plt, std::string_view cmd, int n) {
    plt.put([&](std::string& s) {
        s += cmd;
        append_i(s, n, 5);
        s += "\r\n";
    });
}

// The value of element e (corners t) at (x, y) for quantity k, the mark
// lines of a value below -3.0 added.
float sample(int e, int k, const float* t, float x, float y, TextOut& plt) {
    float z[3];
    triangle_values(e, k, z);
    for (int q = 0; q < 6; ++q) dat3.trixy(q + 1) = t[q];
    for (int q = 0; q < 3; ++q) dat3.triz(q + 1) = z[q];
    const float v = fixy(x, y);
    if (v < -3.0f) {
        pen(plt, "sp", 1);
        pen(plt, "ma", t[0], t[1]);
        pen(plt, "pa", t[2], t[3]);
        pen(plt, "pa", t[4], t[5]);
        pen(plt, "pa", t[0], t[1]);
        pen(plt, "sp", 3);
        pen(plt, "ma", x, y);
        pen(plt, "pa", x, y);
    }
    return v;
}

// The length of the line from (x1, y1) to (x2, y2), in single precision.
float line_length(float x1, float y1, float x2, float y2) {
    const float dx = x1 - x2, dy = y1 - y2;
    return std::sqrt(dx * dx + dy * dy);
}

bool compute(int n, std::string& name, bool indexed) {
    n = std::clamp(n, 2, MaxProfilePoints);
    Dat30& p = dat30;
    p.pmin = 1.0E10f;
    p.pmax = -1.0E10f;
    p.plen = line_length(p.px1, p.py1, p.px2, p.py2);
    if (txt_blank(name)) txt_set(name, home() + "profile.res");
    TextOut res, plt;
    if (!res.create(name)) {
        app_input_error("cannot create file " + txt_c(name));
        return false;
    }
    const std::string plt_name = home() + "profile.plt";
    if (!plt.create(plt_name)) {
        app_input_error("cannot create file " + plt_name);
        return false;
    }
    FreeWrite(res).i(n).end();
    pen(plt, "sp", 1);
    pen(plt, "ma", p.px1, p.py1);
    pen(plt, "pa", p.px2, p.py2);
    const Box box{std::min(p.px1, p.px2), std::max(p.px1, p.px2), std::min(p.py1, p.py2), std::max(p.py1, p.py2)};

    std::vector<float> xs(static_cast<std::size_t>(n)), ys(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) {
        const long double f = static_cast<long double>(i - 1) / (n - 1);
        xs[static_cast<std::size_t>(i - 1)] = static_cast<float>(p.px1 + f * (static_cast<long double>(p.px2) - p.px1));
        ys[static_cast<std::size_t>(i - 1)] = static_cast<float>(p.py1 + f * (static_cast<long double>(p.py2) - p.py1));
    }
    // Indexed: each point's containing triangles, found once for all
    // quantities, in element order (the last one's value stands).
    std::vector<std::int32_t> start, hits;
    if (indexed) {
        start.assign(static_cast<std::size_t>(n) + 1, 0);
        for (int i = 1; i <= n; ++i) {
            const float x = xs[static_cast<std::size_t>(i - 1)], y = ys[static_cast<std::size_t>(i - 1)];
            for (const std::int32_t e : readout_candidates(x, y)) {
                float t[6];
                if (!world_corners(e, t) || box.rejects(t)) continue;
                if (inpol3(x, y, t) == 1) hits.push_back(e);
            }
            start[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(hits.size());
        }
    }

    WDialogLoad(DialogProgress);
    WDialogShow(-1, -1, 0, 2);
    const int nelem = std::clamp(dat4.nelem, 0, MaxElements);
    for (int k = 0; k < NumGridOptions; ++k) {
        if (dat5.opton(k) != 'j') continue;
        leakage.iopt = k;
        WDialogRangeProgressBar(1001, 1, 100);
        int shown = -1;   // the bar's position as last set
        for (int i = 1; i <= n; ++i) {
            const float x = xs[static_cast<std::size_t>(i - 1)], y = ys[static_cast<std::size_t>(i - 1)];
            // A point off the mesh has no value: the blank, never what an
            // earlier profile left there.
            float v = BlankValue;
            if (indexed) {
                for (std::int32_t h = start[static_cast<std::size_t>(i - 1)]; h < start[static_cast<std::size_t>(i)]; ++h) {
                    const int e = hits[static_cast<std::size_t>(h)];
                    float t[6];
                    world_corners(e, t);
                    v = sample(e, k, t, x, y, plt);
                }
            } else {
                for (int e = 1; e <= nelem; ++e) {
                    float t[6];
                    if (!world_corners(e, t) || box.rejects(t)) continue;
                    float copy[6];
                    std::copy(t, t + 6, copy);
                    int inside = 0;
                    inpol(x, y, copy, inside, 3);
                    if (inside == 1) v = sample(e, k, t, x, y, plt);
                }
            }
            p.prof(i, k) = v;
            if (std::fabs(v) < Gap) {
                p.pmin = std::min(p.pmin, v);
                p.pmax = std::max(p.pmax, v);
            }
            // Set again only when it moves: setting the position it has
            // changes nothing, and the points of a profile are many.
            if (100 * i / n != shown) {
                shown = 100 * i / n;
                WDialogPutProgressBar(1001, shown);
            }
        }
    }
    app_unload_dialog(DialogProgress);

    std::string values;
    for (int i = 1; i <= n; ++i) {
        const float x = xs[static_cast<std::size_t>(i - 1)], y = ys[static_cast<std::size_t>(i - 1)];
        const float dx = p.px1 - x, dy = p.py1 - y;
        const float d = std::sqrt(dx * dx + dy * dy);
        // Each value starts right after the last non-blank character of
        // the text so far.
        values.clear();
        std::size_t used = 0;
        for (int k = 0; k < NumGridOptions; ++k) {
            if (dat5.opton(k) != 'j') continue;
            values.resize(used);
            // The digits a value needs to read back, in its 15 columns.
            values += edit_g_exact(p.prof(i, k), 15, 4);
            const std::size_t last = values.find_last_not_of(' ');
            used = last == std::string::npos ? 0 : last + 1;
        }
        values.resize(used);
        res.put([&](std::string& s) {
            append_f(s, x, 12, 2);
            append_f(s, y, 12, 2);
            append_f(s, d, 12, 2);
            s += values;
            s += "\r\n";
        });
    }
    leakage.iopt = NumGridOptions;
    for (TextOut* o : {&res, &plt})
        if (!o->commit()) {
            app_input_error("cannot write file " + o->name());
            return false;
        }
    return true;
}

// The count the user asked for, held to what a profile can have.
int held_count(int n) {
    if (n > MaxProfilePoints) {
        yywmessagebox(0, 0, 1, "Maximal 5000 points!", " ");
        return MaxProfilePoints;
    }
    if (n < 2) {
        yywmessagebox(0, 0, 1, "Minimal 2 points!", " ");
        return 2;
    }
    return n;
}

// The six texts in the order of the settings file, with their dialog fields.
std::array<std::pair<int, std::string*>, 6> dialog_texts() {
    ProfileTexts& t = profile_texts;
    return {{{1034, &t.ptx1}, {1036, &t.pty1}, {1035, &t.ptx2}, {1037, &t.pty2}, {1009, &t.ptn},
             {1108, &mainstate.profname}}};
}

}  // namespace

void read_profile_settings() {
    TextIn in;
    if (!in.open(profile_settings_name())) return;
    for (const auto& [field, s] : dialog_texts()) {
        std::string_view line;
        if (!in.next_line(line)) return;
        txt_set(*s, line.substr(0, std::min<std::size_t>(line.size(), TextLength)));
    }
}

namespace {

void profile_window() {
    MainState& m = mainstate;
    const Dat30& p = dat30;
    plprof(m.profslot, m.profwin, 0.0f, p.pmin, p.plen, p.pmax, m.nprofpts, p.prof, "profile");
}

// The profile window lies over the middle of the map. While a new line is
// drawn on the map it is out of sight; it comes back as it was (normal,
// minimised or maximised) once it shows the new profile.
class ProfileWindowAside {
public:
    ProfileWindowAside() {
        const MainState& m = mainstate;
        if (m.profwin != 1) return;
        windowselect(m.profslot);
        shown_as_ = winfowindow(WindowShowState);
        if (shown_as_ != Hidden) show_as(Hidden);
        else shown_as_ = -1;
        windowselect(0);
    }
    ProfileWindowAside(const ProfileWindowAside&) = delete;
    ProfileWindowAside& operator=(const ProfileWindowAside&) = delete;
    ~ProfileWindowAside() { back(); }

    void back() {
        const MainState& m = mainstate;
        if (shown_as_ < 0 || m.profwin != 1) return;
        windowselect(m.profslot);
        show_as(shown_as_);
        shown_as_ = -1;
        windowselect(0);
    }

private:
    static constexpr std::int32_t WindowShowState = 9, Hidden = 3;
    static void show_as(std::int32_t state) {
        std::int32_t w = KeepValue, h = KeepValue;
        yywindowsizepos(KeepValue, KeepValue, w, h, state);
    }
    std::int32_t shown_as_ = -1;   // its state before it was put aside
};

void compute_and_show() {
    MainState& m = mainstate;
    m.nprofpts = std::clamp(m.nprofpts, 2, MaxProfilePoints);
    calcprof(m.nprofpts, m.profname);
    windowcleararea(0, 0, 9999, 500);
    profile_window();
    write_profile_settings();
}

}  // namespace

bool calcprof(int n, std::string& name) { return compute(n, name, true); }
bool calcprof_plain(int n, std::string& name) { return compute(n, name, false); }

void draw_profile(float x0, float ylo, float xhi, float yhi, int n,
                  const Arr2<float, MaxProfilePoints, NumGridOptions, 1, 0>& values) {
    n = std::clamp(n, 0, MaxProfilePoints);
    backcol(10, 1);
    // A constant profile, or a line of length 0, would give a frame
    // without height or width: one unit each side lets the curve show.
    float ux0 = x0, ux1 = xhi, uy0 = ylo, uy1 = yhi;
    if (ux0 == ux1) ux0 -= 1.0f, ux1 += 1.0f;
    if (uy0 == uy1) uy0 -= 1.0f, uy1 += 1.0f;
    IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
    IGrUnits(ux0, uy0, ux1, uy1);
    IGrColourN(170);
    for (int k = 0; k < NumGridOptions; ++k) {
        if (dat5.opton(k) != 'j' || n < 1) continue;
        const float first = values(1, k);
        bool gap = !(std::fabs(first) < Gap);
        if (!gap) igrmoveto(x0, first);
        for (int i = 1; i <= n; ++i) {
            const float v = values(i, k);
            if (!(std::fabs(v) < Gap)) {
                gap = true;
                continue;
            }
            const long double f = n > 1 ? static_cast<long double>(i - 1) / (n - 1) : 0.0L;
            const float x = static_cast<float>(x0 + f * (static_cast<long double>(xhi) - x0));
            if (gap) {
                igrmoveto(x, v);
                gap = false;
            } else {
                igrlineto(x, v);
            }
        }
    }
    IGrArea(0, 0, 1, 1);
    IPgArea(0.1f, 0.1f, 0.9f, 0.9f);
    ipgunits(ux0, uy0, ux1, uy1);
    ipgaxes();
    // Numeric scales, the scale lines at their default places, automatic
    // decimals, no user ticks, level texts.
    struct Axis {
        void (*tickpos)(float, float);
        void (*ticklength)(float);
        void (*userscale)(std::span<const float>, std::int32_t);
        void (*angle)(float, float);
        void (*scale)(std::string_view);
    };
    for (const Axis& a : {Axis{ipgxtickpos, ipgxticklength, ipgxuserscale, ipgxscaleangle, ipgxscale},
                          Axis{ipgytickpos, ipgyticklength, ipgyuserscale, ipgyscaleangle, ipgyscaleleft}}) {
        a.tickpos(1.0f, -1.0f);
        a.ticklength(1.0f);
        ipgdecimalplaces(-1);
        a.userscale({}, 0);
        a.angle(0.0f, 0.0f);
        a.scale("NT");
    }
}

void plprof(int& slot, int& open, float x0, float ylo, float xhi, float yhi, int n,
            const Arr2<float, MaxProfilePoints, NumGridOptions, 1, 0>& values, std::string_view title) {
    if (open == 0) {
        // Place and size are the library's choice.
        WindowOpenRecord rec;
        rec.flags = ChildFlags;
        rec.x = rec.y = -1;
        rec.width = rec.height = 0;
        rec.menu = 0;
        rec.title = txt_fixed(title, TextLength);
        std::int32_t s = -1;
        WindowOpenChild(rec, s);
        if (s < 1) return;   // no child could be opened: nothing to draw into
        slot = s;
        open = 1;
    }
    windowselect(slot);
    draw_profile(x0, ylo, xhi, yhi, n, values);
    windowselect(0);
    // The profile's background is the window text's; the main window's own
    // comes back, or the line above the map would be cleared in it.
    backcol(MapBackground, 0);
    const Dat9& v = dat9;
    IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
    IGrUnits(v.vxmin, v.vymin, v.vxmax, v.vymax);
}

std::string profile_settings_name() { return home() + "zeltramo.pro"; }

void write_profile_settings() {
    TextOut out;
    const std::string name = profile_settings_name();
    if (!out.create(name)) {
        app_input_error("cannot create file " + name);
        return;
    }
    for (const auto& [field, s] : dialog_texts()) out.line(txt_fixed(*s, TextLength));
    if (!out.commit()) app_input_error("cannot write file " + name);
}

void cmd_profile_numerical() {
    ProfileTexts& t = profile_texts;
    MainState& m = mainstate;
    Dat30& p = dat30;
    read_profile_settings();
    WDialogLoad(DialogProfile);
    WDialogShow(-1, -1, 0, 2);
    for (const auto& [field, text] : dialog_texts()) WDialogPutString(field, *text);
    for (;;) {
        const int v = app_wait_message();
        if (v == 2) {
            app_unload_dialog(DialogProfile);
            return;
        }
        if (v == 1053) {
            selfile(m.profname, "*", "Write profile data", 1108, FileUse::Write);
            continue;
        }
        if (v != 1) continue;
        for (const auto& [field, text] : dialog_texts()) WDialogGetString(field, *text);
        int ierr = 0;
        float x1 = p.px1, y1 = p.py1, x2 = p.px2, y2 = p.py2;
        waarde(t.ptx1, x1, ierr);
        waarde(t.pty1, y1, ierr);
        waarde(t.ptx2, x2, ierr);
        waarde(t.pty2, y2, ierr);
        // A line without length samples one point a hundred times and has
        // no axis to plot along: the dialog stays up for the end points.
        if (!(line_length(x1, y1, x2, y2) > 0)) {
            yywmessagebox(0, 0, 1, "The profile has no length: give two different end points!", " ");
            continue;
        }
        p.px1 = x1;
        p.py1 = y1;
        p.px2 = x2;
        p.py2 = y2;
        float r = static_cast<float>(m.nprofpts);
        waarde(t.ptn, r, ierr);
        const double whole = std::trunc(std::clamp(static_cast<double>(r), -1.0e9, 1.0e9));
        m.nprofpts = held_count(std::isnan(r) ? 0 : static_cast<int>(whole));
        app_unload_dialog(DialogProfile);
        break;
    }
    IGrColourN(72);
    igrmoveto(p.px1, p.py1);
    igrlineto(p.px2, p.py2);
    compute_and_show();
}

void cmd_profile_graphical() {
    MainState& m = mainstate;
    Dat30& p = dat30;
    ProfileWindowAside aside;
    IGrPlotMode("EOR");
    IGrColourN(wrgb(255, 255, 255));
    prompt_line("left mousebutton to define profile");
    wmessageenable(MsgMouseMove, 1);
    wmessageenable(MsgMouseUp, 1);
    auto whole = [](float v) { return std::trunc(v); };
    wmessage(m.msgtype, m.msg);
    float pxp = whole(m.msg.GX), pyp = whole(m.msg.GY);
    float cx = m.px, cy = m.py;
    bool started = false;
    float sx = 0, sy = 0;
    for (;;) {
        wmessage(m.msgtype, m.msg);
        const std::int32_t type = m.msgtype;
        if (type == MsgMouseMove) {
            cx = whole(m.msg.GX);
            cy = whole(m.msg.GY);
            m.px = cx;
            m.py = cy;
            windowoutstring(7000, 400, (edit_f(cx, 12, 2) + edit_f(cy, 12, 2)).substr(0, 24));
        } else if (type == MsgMouseDown && !started) {
            started = true;
            sx = p.px1 = cx;
            sy = p.py1 = cy;
            pxp = cx;
            pyp = cy;
        } else if (type == MsgMouseUp && started) {
            if (cx != sx || cy != sy) {
                p.px2 = cx;
                p.py2 = cy;
                break;
            }
            // A click without a drag gives a line without length: the
            // command waits for a line. The band, back at its start, has
            // removed itself.
            started = false;
        }
        if (started && (cx != pxp || cy != pyp)) {
            igrmoveto(sx, sy);
            igrlineto(pxp, pyp);
            pxp = cx;
            pyp = cy;
            igrmoveto(sx, sy);
            igrlineto(cx, cy);
        }
    }
    ProfileTexts& t = profile_texts;
    txt_set(t.ptx1, edit_f(p.px1, 12, 2));
    txt_set(t.pty1, edit_f(p.py1, 12, 2));
    txt_set(t.ptx2, edit_f(p.px2, 12, 2));
    txt_set(t.pty2, edit_f(p.py2, 12, 2));
    txt_set(t.ptn, edit_i(m.nprofpts, 12));
    wmessageenable(MsgMouseMove, 0);
    wmessageenable(MsgMouseUp, 0);
    IGrPlotMode("N");
    compute_and_show();
    aside.back();
}

void profile_overlay() {
    MainState& m = mainstate;
    if (m.profwin != 1) return;
    profile_window();
    IGrColourN(wrgb(0, 0, 0));
    igrmoveto(dat30.px1, dat30.py1);
    igrlineto(dat30.px2, dat30.py2);
}

bool close_profile_window() {
    MainState& m = mainstate;
    if (m.profwin != 1) return false;
    m.profwin = 0;
    WindowCloseChild(m.profslot);
    wmessageenable(MsgMouseMove, 0);
    windowselect(0);
    redraw_view();
    return true;
}
