#include "app/intersect.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/apphooks.h"
#include "app/filecmds.h"
#include "lib/dialog/fields.h"
#include "app/interp.h"
#include "app/interp_internal.h"
#include "app/mainstate.h"
#include "app/nodal.h"
#include "app/onemoment.h"
#include "app/records.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/lines.h"
#include "lib/window/fetch.h"
#include "lib/window/menus.h"
#include "lib/window/text.h"
#include "lib/window/winops.h"
#include "lib/window/wintext.h"

RiverWork river_work;
IntersectState intersect_state;

namespace {

constexpr int DialogIntersect = 108;

struct Pt {
    float x = 0, y = 0;
};

long double dist(float ax, float ay, float bx, float by) {
    const long double dx = static_cast<long double>(ax) - bx, dy = static_cast<long double>(ay) - by;
    return std::sqrt(dx * dx + dy * dy);
}

// One river line's seven attributes.
struct Attr {
    std::int32_t id = 0;
    float a[7] = {};
};

// The polygon of node i as inpol takes it.
int node_polygon(int i, std::vector<float>& poly) {
    const int np = std::clamp(dat40.npoly(i), 0, MaxPolygonPoints - 1);
    poly.resize(static_cast<std::size_t>(2 * np));
    for (int j = 1; j <= np; ++j) {
        poly[static_cast<std::size_t>(2 * j - 2)] = dat40.polyxy(1, i, j);
        poly[static_cast<std::size_t>(2 * j - 1)] = dat40.polyxy(2, i, j);
    }
    return np;
}

bool inside(float x, float y, const std::vector<float>& poly, int np) {
    int in = 0;
    inpol(x, y, poly.data(), in, np);
    return in == 1;
}

void hit(int i, const std::vector<float>& poly, int np) {
    dat40.hitcol(i) = wrgb(0, 220, 255);
    IGrColourN(dat40.hitcol(i));
    igrfillpattern(4, 3, 3);
    std::vector<float> x(static_cast<std::size_t>(np)), y(static_cast<std::size_t>(np));
    for (int j = 0; j < np; ++j) {
        x[static_cast<std::size_t>(j)] = poly[static_cast<std::size_t>(2 * j)];
        y[static_cast<std::size_t>(j)] = poly[static_cast<std::size_t>(2 * j + 1)];
    }
    IGrPolygonComplex(x.data(), y.data(), np);
}

// Buckets of a regular lattice over the nodes. The candidates of a box are
// the nodes of the buckets it meets that lie in the box, in node order:
// exactly the nodes the plain scan finds, since the bucket of a coordinate
// never decreases as the coordinate grows.
struct NodeIndex {
    float x0 = 0, y0 = 0, cw = 1, ch = 1;
    int nx = 1, ny = 1;
    std::vector<std::int32_t> start, nodes;

    int cell(float v, float o, float w, int n) const {
        const float f = std::floor((v - o) / w);
        if (!(f >= 0.0f)) return 0;
        return f >= static_cast<float>(n) ? n - 1 : static_cast<int>(f);
    }
    void build(int nnode) {
        float xmin = 0, xmax = 0, ymin = 0, ymax = 0;
        bool any = false;
        for (int i = 1; i <= nnode; ++i) {
            const float x = dat4.xnode(i), y = dat4.ynode(i);
            if (!std::isfinite(x) || !std::isfinite(y)) continue;
            if (!any) xmin = xmax = x, ymin = ymax = y;
            xmin = std::min(xmin, x), xmax = std::max(xmax, x);
            ymin = std::min(ymin, y), ymax = std::max(ymax, y);
            any = true;
        }
        const int side = std::clamp(static_cast<int>(std::sqrt(nnode / 2.0)) + 1, 1, 1024);
        nx = ny = side;
        x0 = xmin;
        y0 = ymin;
        cw = (xmax - xmin) / static_cast<float>(side);
        ch = (ymax - ymin) / static_cast<float>(side);
        if (!(cw > 0.0f) || !std::isfinite(cw)) cw = 1.0f, nx = 1;
        if (!(ch > 0.0f) || !std::isfinite(ch)) ch = 1.0f, ny = 1;
        const std::size_t cells = static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny);
        start.assign(cells + 1, 0);
        auto at = [&](int i) {
            return static_cast<std::size_t>(cell(dat4.ynode(i), y0, ch, ny)) * static_cast<std::size_t>(nx) +
                   static_cast<std::size_t>(cell(dat4.xnode(i), x0, cw, nx));
        };
        for (int i = 1; i <= nnode; ++i) ++start[at(i) + 1];
        for (std::size_t c = 0; c < cells; ++c) start[c + 1] += start[c];
        nodes.assign(static_cast<std::size_t>(nnode), 0);
        std::vector<std::int32_t> fill(start.begin(), start.end() - 1);
        for (int i = 1; i <= nnode; ++i) nodes[static_cast<std::size_t>(fill[at(i)]++)] = i;
    }
    template <class Test>
    void candidates(float xlo, float ylo, float xhi, float yhi, Test&& in_box, std::vector<int>& out) const {
        out.clear();
        if (std::isnan(xlo) || std::isnan(ylo) || std::isnan(xhi) || std::isnan(yhi)) return;
        const int i1 = cell(xlo, x0, cw, nx), i2 = cell(xhi, x0, cw, nx);
        const int j1 = cell(ylo, y0, ch, ny), j2 = cell(yhi, y0, ch, ny);
        for (int j = j1; j <= j2; ++j)
            for (int i = i1; i <= i2; ++i) {
                const std::size_t c = static_cast<std::size_t>(j) * static_cast<std::size_t>(nx) + static_cast<std::size_t>(i);
                for (std::int32_t p = start[c]; p < start[c + 1]; ++p) {
                    const int n = nodes[static_cast<std::size_t>(p)];
                    if (in_box(n)) out.push_back(n);
                }
            }
        std::sort(out.begin(), out.end());
    }
};

struct Outputs {
    TextOut echo, wl, bl, rs;
};

bool read_attributes(std::string_view attr, std::vector<Attr>& list) {
    TextIn in;
    if (!in.open(attr)) {
        app_io_error("cannot open", in);
        return false;
    }
    std::string_view heading;
    if (!in.next_line(heading)) {
        app_input_error("the heading line is missing from " + txt_c(attr));
        return false;
    }
    for (;;) {
        Attr a;
        FreeRead r(in);
        r.i(a.id);
        for (float& v : a.a) r.r(v);
        if (r.end() != RecStatus::Ok) break;
        list.push_back(a);
    }
    return true;
}

bool open_output(TextOut& out, std::string_view name) {
    if (out.create(name)) return true;
    app_io_error("cannot create", out);
    return false;
}

bool run(std::string_view riverfile, std::string_view wlevel, std::string_view blevel, std::string_view resist,
         std::string_view attr, int format, bool indexed) {
    clear_river_results();
    RiverWork& w = river_work;
    Dat40& d = dat40;
    const int nnode = std::clamp(dat4.nnode, 0, MaxNodes);
    auto fail = [] {
        clear_river_results();
        return false;
    };

    TextIn in;
    if (!in.open(riverfile)) {
        app_io_error("cannot open", in);
        return fail();
    }
    std::vector<Attr> attrs;
    if (!read_attributes(attr, attrs)) return fail();
    Outputs out;
    if (!open_output(out.echo, std::string(txt_trim(dat19.home)) + "zeltramo.wat")) return fail();

    NodeIndex index;
    if (indexed) index.build(nnode);
    std::vector<int> cand, touched;
    std::vector<float> poly;
    std::vector<std::int32_t> skipped;

    for (;;) {
        std::int32_t id = 0;
        {
            FreeRead r(in);
            r.i(id);
            if (r.end() != RecStatus::Ok) break;
        }
        const Attr* found = nullptr;
        for (const Attr& a : attrs)
            if (a.id == id) found = &a;
        float a[7] = {};
        if (found) std::copy(found->a, found->a + 7, a);

        std::vector<Pt> pts;
        long double len = 0;
        for (;;) {
            Pt p;
            FreeRead r(in);
            r.r(p.x).r(p.y);
            const RecStatus st = r.end();
            if (st == RecStatus::End) {
                app_read_error(in, st, "point x y or the END of river line " + std::to_string(id));
                return fail();
            }
            if (st != RecStatus::Ok) break;
            if (!pts.empty()) len += static_cast<float>(dist(pts.back().x, pts.back().y, p.x, p.y));
            pts.push_back(p);
        }
        if (pts.size() < 2) {
            app_read_error(in, RecStatus::Bad, "at least two points in river line " + std::to_string(id));
            return fail();
        }
        FreeWrite(out.echo).i(static_cast<long long>(pts.size())).end();
        for (const Pt& p : pts) FreeWrite(out.echo).r(p.x).r(p.y).end();

        if (!found || !(a[6] > 0.0f) || !(len > 0)) {
            skipped.push_back(id);
            continue;
        }

        if (indexed) {
            for (int i : touched) w.inlen(i) = w.atdist(i) = 0;
            touched.clear();
        } else {
            for (int i = 1; i <= nnode; ++i) w.inlen(i) = w.atdist(i) = 0;
        }
        long double cum = 0;
        float x1 = pts[0].x, y1 = pts[0].y;
        for (std::size_t s = 1; s < pts.size(); ++s) {
            const float x2 = pts[s].x, y2 = pts[s].y;
            onemoment("intersecting");
            cum += dist(x1, y1, x2, y2);
            const float r = d.maxrad;
            const float bxlo = std::min(x1, x2) - r, bxhi = std::max(x1, x2) + r;
            const float bylo = std::min(y1, y2) - r, byhi = std::max(y1, y2) + r;
            auto in_box = [&](int i) {
                const float x = dat4.xnode(i), y = dat4.ynode(i);
                return bxlo <= x && x <= bxhi && bylo <= y && y <= byhi;
            };
            if (indexed) {
                index.candidates(bxlo, bylo, bxhi, byhi, in_box, cand);
            } else {
                cand.clear();
                for (int i = 1; i <= nnode; ++i)
                    if (in_box(i)) cand.push_back(i);
            }
            for (int i : cand) {
                const int np = node_polygon(i, poly);
                int c = 0;
                float s1x = 0, s1y = 0, s2x = 0, s2y = 0;
                for (int k = 1; k <= np; ++k) {
                    float ex1 = d.polyxy(1, i, k), ey1 = d.polyxy(2, i, k);
                    const float ex2 = d.polyxy(1, i, k + 1), ey2 = d.polyxy(2, i, k + 1);
                    float xs = 0, ys = 0;
                    int flag = 0;
                    snijlijn(x1, y1, x2, y2, ex1, ey1, ex2, ey2, xs, ys, flag);
                    if (flag == 1) {
                        if (c == 0) s1x = xs, s1y = ys;
                        else if (c == 1) s2x = xs, s2y = ys;
                    }
                    c += flag;
                }
                if (c >= 1) hit(i, poly, np);
                if (c == 1) {
                    if (inside(x1, y1, poly, np)) {
                        w.inlen(i) = static_cast<float>(w.inlen(i) + dist(x1, y1, s1x, s1y));
                        w.atdist(i) = static_cast<float>(cum - dist(x2, y2, s1x, s1y));
                    } else if (inside(x2, y2, poly, np)) {
                        w.inlen(i) = static_cast<float>(w.inlen(i) + dist(x2, y2, s1x, s1y));
                        w.atdist(i) = static_cast<float>(cum);
                    }
                } else if (c >= 2) {
                    w.inlen(i) = static_cast<float>(w.inlen(i) + dist(s2x, s2y, s1x, s1y));
                    w.atdist(i) = static_cast<float>(cum - std::min(dist(x2, y2, s1x, s1y), dist(x2, y2, s2x, s2y)));
                }
                if (c >= 1 && indexed) touched.push_back(i);
            }
            for (int i : cand) {
                const int np = node_polygon(i, poly);
                if (inside(x1, y1, poly, np) && inside(x2, y2, poly, np)) {
                    hit(i, poly, np);
                    w.inlen(i) = static_cast<float>(w.inlen(i) + dist(x2, y2, x1, y1));
                    w.atdist(i) = static_cast<float>(cum);
                    if (indexed) touched.push_back(i);
                }
            }
            x1 = x2;
            y1 = y2;
        }
        auto weigh = [&](int i) {
            if (!(w.inlen(i) > 0)) return;
            const long double L = w.inlen(i), D = w.atdist(i), p = D - 0.5L * L;
            const long double width = a[4] + (a[5] - static_cast<long double>(a[4])) * p / len;
            const long double W = L * width / a[6];
            w.sumw(i) = static_cast<float>(w.sumw(i) + W);
            w.sumwl(i) = static_cast<float>(w.sumwl(i) + W * (a[0] + (a[1] - static_cast<long double>(a[0])) * p / len));
            w.sumwb(i) = static_cast<float>(w.sumwb(i) + W * (a[2] + (a[3] - static_cast<long double>(a[2])) * p / len));
        };
        if (indexed) {
            std::sort(touched.begin(), touched.end());
            touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
            for (int i : touched) weigh(i);
        } else {
            for (int i = 1; i <= nnode; ++i) weigh(i);
        }
    }

    if (!open_output(out.wl, wlevel) || !open_output(out.bl, blevel) || !open_output(out.rs, resist)) return fail();
    const char* fmt = format == 1 ? "(G15.6)" : "(3G15.6)";
    for (int i = 1; i <= nnode; ++i) {
        float vl = 0, vb = 0, vr = 0;
        if (w.sumw(i) > 0) {
            vl = w.sumwl(i) / w.sumw(i);
            vb = w.sumwb(i) / w.sumw(i);
            vr = d.nodarea(i) / w.sumw(i);
        }
        const float v[3] = {vl, vb, vr};
        TextOut* files[3] = {&out.wl, &out.bl, &out.rs};
        for (int f = 0; f < 3; ++f) {
            FormWrite fw(*files[f], fmt);
            if (format != 1) fw.r(dat4.xnode(i)).r(dat4.ynode(i));
            fw.r(v[f]);
            fw.end();
        }
    }
    // The four results replace their files together, or none does.
    if (!commit_outputs({&out.wl, &out.bl, &out.rs, &out.echo})) return fail();
    if (!skipped.empty()) {
        std::string list;
        for (std::int32_t id : skipped) list += (list.empty() ? "" : ", ") + std::to_string(id);
        app_input_error("river lines without attributes, with a resistance of 0 or less or of length 0 were "
                        "skipped: " + list);
    }
    return true;
}

}  // namespace

void clear_river_results() {
    dat40.hitcol.clear();
    river_work.sumw.clear();
    river_work.sumwl.clear();
    river_work.sumwb.clear();
    river_work.inlen.clear();
    river_work.atdist.clear();
}

void snijlijn(float& x1, float& y1, float x2, float y2, float& x3, float& y3, float x4, float y4, float& xs,
              float& ys, int& flag) {
    flag = 0;
    if (x1 == x2) x1 = x1 + 0.1f;
    if (y1 == y2) y1 = y1 + 0.1f;
    if (x3 == x4) x3 = x3 + 0.1f;
    if (y3 == y4) y3 = y3 + 0.1f;
    const float a = (y1 - y2) / (x1 - x2);
    const float b = y1 - a * x1;
    const float c = (y3 - y4) / (x3 - x4);
    // Parallel segments have no single crossing.
    if (a == c || !std::isfinite(a) || !std::isfinite(c)) return;
    xs = ((y3 - b) - c * x3) / (a - c);
    ys = a * xs + b;
    if (!std::isfinite(xs) || !std::isfinite(ys)) return;
    const long double l1 = dist(x1, y1, x2, y2), l2 = dist(x3, y3, x4, y4);
    if (dist(xs, ys, x1, y1) + dist(xs, ys, x2, y2) <= 1.001L * l1 &&
        dist(xs, ys, x3, y3) + dist(xs, ys, x4, y4) <= 1.001L * l2)
        flag = 1;
}

bool snijden(std::string_view riverfile, std::string_view wlevel, std::string_view blevel, std::string_view resist,
             std::string_view attr, int format) {
    return run(riverfile, wlevel, blevel, resist, attr, format, true);
}

bool snijden_plain(std::string_view riverfile, std::string_view wlevel, std::string_view blevel,
                   std::string_view resist, std::string_view attr, int format) {
    return run(riverfile, wlevel, blevel, resist, attr, format, false);
}

void draw_intersect() {
    const int nnode = std::clamp(dat4.nnode, 0, MaxNodes);
    std::vector<float> x, y;
    for (int i = 1; i <= nnode; ++i) {
        if (dat40.hitcol(i) == 0) continue;
        const int np = std::clamp(dat40.npoly(i), 0, MaxPolygonPoints - 1);
        x.resize(static_cast<std::size_t>(np));
        y.resize(static_cast<std::size_t>(np));
        for (int j = 1; j <= np; ++j) {
            x[static_cast<std::size_t>(j - 1)] = dat40.polyxy(1, i, j);
            y[static_cast<std::size_t>(j - 1)] = dat40.polyxy(2, i, j);
        }
        IGrColourN(dat40.hitcol(i));
        igrfillpattern(4, 3, 3);
        IGrPolygonComplex(x.data(), y.data(), np);
    }
}

void prompt_line(std::string_view text) {
    windowcleararea(0, 0, 9999, 500);
    if (!text.empty()) windowoutstring(500, 400, text);
}

void onemoment(std::string_view text) {
    static int counter = 0;
    if (++counter > 15) counter = 0;
    std::string line = "one moment" + std::string(static_cast<std::size_t>(counter), '.') +
                       std::string(static_cast<std::size_t>(15 - counter), ' ');
    line += txt_trim(text.substr(0, std::min<std::size_t>(text.size(), 55)));
    line.resize(TextLength, ' ');
    windowoutstring(500, 400, line);
}

void cmd_intersect() {
    IntersectState& st = intersect_state;
    MainState& m = mainstate;
    wmessageenable(MsgResize, 0);
    wmessageenable(MsgExpose, 0);
    WDialogLoad(DialogIntersect);
    WDialogPutString(1101, st.riverfile);
    WDialogPutString(1105, st.attrfile);
    WDialogShow(-1, -1, 0, 2);
    struct Browse {
        int button;
        std::string* name;
        const char* ext;
        const char* title;
        int field;
        FileUse use;
    };
    const Browse browse[] = {
        {1053, &st.riverfile, "ung", "Read ungenerate file", 1101, FileUse::Read},
        {1054, &st.wlevelfile, "*", "Name waterlevel file", 1102, FileUse::Write},
        {1055, &st.blevelfile, "*", "Name waterbottom file", 1103, FileUse::Write},
        {1056, &st.resistfile, "*", "Name water-resistance file", 1104, FileUse::Write},
        {1057, &st.attrfile, "att", "Name atribute file", 1105, FileUse::Read},
    };
    for (;;) {
        const int v = app_wait_message();
        if (v == 2) {
            app_unload_dialog(DialogIntersect);
            redraw_view();
            return;
        }
        if (v == 1) break;
        for (const Browse& b : browse)
            if (v == b.button) selfile(*b.name, b.ext, b.title, b.field, b.use);
    }
    WMenuSetState(40037, 2, 1);
    WDialogGetString(1101, st.riverfile);
    WDialogGetString(1102, st.wlevelfile);
    WDialogGetString(1103, st.blevelfile);
    WDialogGetString(1104, st.resistfile);
    WDialogGetString(1105, st.attrfile);
    int fmt = st.crossfmt;
    app_radio_position(1106, fmt);
    st.crossfmt = fmt;
    app_unload_dialog(DialogIntersect);
    float total = 0;
    nodal_area(0, 0, total);
    // The echo of the river lines lies beside the program's other files,
    // wherever the file dialogs have been browsing.
    map_bln.mapfile(4) = txt_fixed(std::string(txt_trim(dat19.home)) + "zeltramo.wat", TextLength);
    m.showriver = m.shownodal = m.showmaps = 1;
    snijden(st.riverfile, st.wlevelfile, st.blevelfile, st.resistfile, st.attrfile, st.crossfmt);
    prompt_line("");
    IGrColourN(wrgb(200, 190, 30));
    const int nelem = std::clamp(dat4.nelem, 0, MaxElements);
    const int nnode = std::clamp(dat4.nnode, 0, MaxNodes);
    for (int e = 1; e <= nelem; ++e) {
        int n[3];
        for (int q = 0; q < 3; ++q) n[q] = dat4.elnode(e, q + 1);
        if (std::any_of(n, n + 3, [nnode](int k) { return k < 1 || k > nnode; })) continue;
        igrmoveto(dat4.xnode(n[0]), dat4.ynode(n[0]));
        igrlineto(dat4.xnode(n[1]), dat4.ynode(n[1]));
        igrlineto(dat4.xnode(n[2]), dat4.ynode(n[2]));
        igrlineto(dat4.xnode(n[0]), dat4.ynode(n[0]));
    }
}
