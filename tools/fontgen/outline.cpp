// Outline fonts: read a TrueType face with FreeType, flatten each glyph to
// closed polygons on the integer glyph grid, join holes to their outline
// along a cut, and choose the points of all glyphs together so the font's
// glyph string has exactly the wanted length.
#include "tools/fontgen/fontgen.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <queue>
#include <set>

namespace {

struct FPt { double x, y; };
struct IPt {
    int x, y;
    bool operator==(const IPt& o) const { return x == o.x && y == o.y; }
};

// ---- FreeType outline to dense float contours ----------------------------

struct Flattener {
    std::vector<std::vector<FPt>> contours;
    FPt cur{};
    double scale = 1, dx = 0, dy = 0;
    FPt map(const FT_Vector* v) const { return {dx + v->x * scale, dy + v->y * scale}; }
};

int ft_move(const FT_Vector* to, void* u) {
    auto& f = *static_cast<Flattener*>(u);
    f.contours.emplace_back();
    f.cur = f.map(to);
    f.contours.back().push_back(f.cur);
    return 0;
}
int ft_line(const FT_Vector* to, void* u) {
    auto& f = *static_cast<Flattener*>(u);
    f.cur = f.map(to);
    f.contours.back().push_back(f.cur);
    return 0;
}
// Curves are cut into pieces of about a tenth of a glyph unit, far finer
// than the grid, so the choice of points happens later on the grid alone.
int pieces_for(double len) { return std::max(2, static_cast<int>(std::ceil(len / 0.1))); }
int ft_conic(const FT_Vector* c, const FT_Vector* to, void* u) {
    auto& f = *static_cast<Flattener*>(u);
    const FPt p0 = f.cur, p1 = f.map(c), p2 = f.map(to);
    const int n = pieces_for(std::hypot(p1.x - p0.x, p1.y - p0.y) +
                             std::hypot(p2.x - p1.x, p2.y - p1.y));
    for (int i = 1; i <= n; ++i) {
        const double t = double(i) / n, a = (1 - t) * (1 - t), b = 2 * t * (1 - t), d = t * t;
        f.contours.back().push_back({a * p0.x + b * p1.x + d * p2.x, a * p0.y + b * p1.y + d * p2.y});
    }
    f.cur = p2;
    return 0;
}
int ft_cubic(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* u) {
    auto& f = *static_cast<Flattener*>(u);
    const FPt p0 = f.cur, p1 = f.map(c1), p2 = f.map(c2), p3 = f.map(to);
    const int n = pieces_for(std::hypot(p1.x - p0.x, p1.y - p0.y) +
                             std::hypot(p2.x - p1.x, p2.y - p1.y) +
                             std::hypot(p3.x - p2.x, p3.y - p2.y));
    for (int i = 1; i <= n; ++i) {
        const double t = double(i) / n, s = 1 - t;
        const double a = s * s * s, b = 3 * t * s * s, cc = 3 * t * t * s, d = t * t * t;
        f.contours.back().push_back({a * p0.x + b * p1.x + cc * p2.x + d * p3.x,
                                     a * p0.y + b * p1.y + cc * p2.y + d * p3.y});
    }
    f.cur = p3;
    return 0;
}

double signed_area(const std::vector<FPt>& c) {
    double a = 0;
    for (std::size_t i = 0; i < c.size(); ++i) {
        const FPt& p = c[i];
        const FPt& q = c[(i + 1) % c.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return a / 2;
}

bool inside(const std::vector<FPt>& poly, FPt p) {
    bool in = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const FPt& a = poly[i];
        const FPt& b = poly[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

// ---- one glyph's contours on the grid ------------------------------------

struct Contour {
    std::vector<IPt> pts;       // dense rounded points, no repeats
    std::vector<int> kept;      // indices kept, in contour order
    int stroke = 0;             // stroke of the glyph it belongs to
    int depth = 0;
};

struct Glyph {
    int code = 0;
    std::vector<Contour> contours;
    std::vector<std::vector<int>> strokes;  // contour indices; first is the outline
    std::vector<int> stroke_points;         // current points per stroke (joins included)
    bool empty() const { return strokes.empty(); }
};

double seg_dist(IPt p, IPt a, IPt b) {
    const double vx = b.x - a.x, vy = b.y - a.y, wx = p.x - a.x, wy = p.y - a.y;
    const double l2 = vx * vx + vy * vy;
    if (l2 == 0) return std::hypot(wx, wy);
    double t = (wx * vx + wy * vy) / l2;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(wx - t * vx, wy - t * vy);
}

int clampi(long v) { return static_cast<int>(std::clamp(v, 0L, 55L)); }

// Builds a glyph's contours and strokes; returns false when the face has no
// outline for it.
bool build_glyph(FT_Face face, unsigned long uni, const OutlineFont& font, double scale,
                 Glyph& g, int& clamped) {
    const FT_UInt gi = FT_Get_Char_Index(face, uni);
    if (gi == 0) return false;
    if (FT_Load_Glyph(face, gi, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) return false;
    if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return false;
    Flattener f;
    f.scale = scale;
    f.dx = 27.5 - face->glyph->metrics.horiAdvance * scale / 2;
    f.dy = font.baseline;
    FT_Outline_Funcs funcs{ft_move, ft_line, ft_conic, ft_cubic, 0, 0};
    FT_Outline_Decompose(&face->glyph->outline, &funcs, &f);

    std::vector<std::vector<FPt>> dense;
    for (auto& c : f.contours) {
        if (c.size() > 1 && std::hypot(c.front().x - c.back().x, c.front().y - c.back().y) < 1e-9)
            c.pop_back();
        Contour k;
        for (const FPt& p : c) {
            const long rx = std::lround(p.x), ry = std::lround(p.y);
            if (rx < 0 || rx > 55 || ry < 0 || ry > 55) ++clamped;
            const IPt q{clampi(rx), clampi(ry)};
            if (k.pts.empty() || !(k.pts.back() == q)) k.pts.push_back(q);
        }
        while (k.pts.size() > 1 && k.pts.front() == k.pts.back()) k.pts.pop_back();
        if (k.pts.size() < 3 || std::fabs(signed_area(c)) < 0.5) continue;
        g.contours.push_back(std::move(k));
        dense.push_back(c);
    }
    // Nesting: a contour inside an odd number of others is a hole of the
    // smallest one around it.
    const int n = static_cast<int>(dense.size());
    std::vector<int> parent(n, -1);
    for (int i = 0; i < n; ++i) {
        const FPt probe{(dense[i][0].x + dense[i][1].x) / 2, (dense[i][0].y + dense[i][1].y) / 2};
        double best = 1e300;
        for (int j = 0; j < n; ++j) {
            if (i == j || !inside(dense[j], probe)) continue;
            ++g.contours[i].depth;
            const double a = std::fabs(signed_area(dense[j]));
            if (a < best) { best = a; parent[i] = j; }
        }
    }
    std::map<int, int> stroke_of;
    for (int i = 0; i < n; ++i)
        if (g.contours[i].depth % 2 == 0) {
            stroke_of[i] = static_cast<int>(g.strokes.size());
            g.strokes.push_back({i});
        }
    for (int i = 0; i < n; ++i)
        if (g.contours[i].depth % 2 == 1 && parent[i] >= 0 && stroke_of.count(parent[i]))
            g.strokes[stroke_of[parent[i]]].push_back(i);
    // More than three outlines: join the smallest ones into their neighbours
    // along cuts; the even-odd fill keeps them apart.
    while (g.strokes.size() > 3) {
        auto size_of = [&](const std::vector<int>& s) {
            std::size_t t = 0;
            for (int c : s) t += g.contours[c].pts.size();
            return t;
        };
        std::size_t a = 0;
        for (std::size_t s = 1; s < g.strokes.size(); ++s)
            if (size_of(g.strokes[s]) < size_of(g.strokes[a])) a = s;
        const std::size_t b = a + 1 < g.strokes.size() ? a + 1 : a - 1;
        auto& dst = g.strokes[std::min(a, b)];
        const auto src = g.strokes[std::max(a, b)];
        dst.insert(dst.end(), src.begin(), src.end());
        g.strokes.erase(g.strokes.begin() + static_cast<long>(std::max(a, b)));
    }
    for (std::size_t s = 0; s < g.strokes.size(); ++s)
        for (int c : g.strokes[s]) g.contours[c].stroke = static_cast<int>(s);
    // Drop holes that lost their outline (should not happen in sane faces).
    return true;
}

// Initial three points of a closed contour: the lowest-left point, the point
// farthest from it, and the point farthest from the line through both.
bool seed(Contour& c) {
    const int m = static_cast<int>(c.pts.size());
    int a = 0;
    for (int i = 1; i < m; ++i)
        if (c.pts[i].x < c.pts[a].x || (c.pts[i].x == c.pts[a].x && c.pts[i].y < c.pts[a].y)) a = i;
    int b = -1;
    double db = 0;
    for (int i = 0; i < m; ++i) {
        const double d = std::hypot(c.pts[i].x - c.pts[a].x, c.pts[i].y - c.pts[a].y);
        if (d > db) { db = d; b = i; }
    }
    if (b < 0) return false;
    int cc = -1;
    double dc = 0;
    for (int i = 0; i < m; ++i) {
        const double d = seg_dist(c.pts[i], c.pts[a], c.pts[b]);
        if (d > dc) { dc = d; cc = i; }
    }
    if (cc < 0) return false;
    c.kept = {a, b, cc};
    std::sort(c.kept.begin(), c.kept.end());
    return true;
}

struct Cand {
    double dist;
    int glyph, contour, index;  // index into the dense points
    int from, to;               // kept neighbours spanned (dense indices)
    bool operator<(const Cand& o) const {
        if (dist != o.dist) return dist < o.dist;
        if (glyph != o.glyph) return glyph > o.glyph;
        if (contour != o.contour) return contour > o.contour;
        return index > o.index;
    }
};

// Best point between kept dense indices `from` and `to` (walking forward).
bool best_between(const Contour& c, int from, int to, int& best, double& dist) {
    const int m = static_cast<int>(c.pts.size());
    best = -1;
    dist = 0;
    for (int i = (from + 1) % m; i != to; i = (i + 1) % m) {
        const double d = seg_dist(c.pts[i], c.pts[from], c.pts[to]);
        if (d > dist + 1e-12) { dist = d; best = i; }
    }
    return best >= 0;
}

// Join the holes (and extra outlines) of a stroke to its outline along the
// shortest cut, giving one closed point list.
std::vector<IPt> join_stroke(const Glyph& g, const std::vector<int>& members) {
    auto kept_pts = [&](int ci) {
        std::vector<IPt> v;
        for (int i : g.contours[ci].kept) v.push_back(g.contours[ci].pts[i]);
        return v;
    };
    std::vector<IPt> poly = kept_pts(members[0]);
    for (std::size_t h = 1; h < members.size(); ++h) {
        const std::vector<IPt> hole = kept_pts(members[h]);
        std::size_t bi = 0, bj = 0;
        long bd = -1;
        for (std::size_t i = 0; i < poly.size(); ++i)
            for (std::size_t j = 0; j < hole.size(); ++j) {
                const long dx = poly[i].x - hole[j].x, dy = poly[i].y - hole[j].y;
                const long d = dx * dx + dy * dy;
                if (bd < 0 || d < bd) { bd = d; bi = i; bj = j; }
            }
        std::vector<IPt> out(poly.begin(), poly.begin() + static_cast<long>(bi) + 1);
        for (std::size_t k = 0; k <= hole.size(); ++k) out.push_back(hole[(bj + k) % hole.size()]);
        out.insert(out.end(), poly.begin() + static_cast<long>(bi), poly.end());
        poly = std::move(out);
    }
    return poly;
}

}  // namespace

bool make_outline_font(const OutlineFont& font, const std::vector<CodeSource>& codes,
                       FontOutput& out) {
    FT_Library lib;
    if (FT_Init_FreeType(&lib) != 0) return false;
    std::map<std::string, FT_Face> faces;
    auto face_of = [&](const std::string& path) -> FT_Face {
        auto it = faces.find(path);
        if (it != faces.end()) return it->second;
        FT_Face f = nullptr;
        if (FT_New_Face(lib, path.c_str(), 0, &f) != 0) {
            std::fprintf(stderr, "cannot open %s\n", path.c_str());
            std::exit(1);
        }
        faces[path] = f;
        return f;
    };

    // The scale puts the capital H of the main face on the wanted lines.
    FT_Face main = face_of(font.face);
    FT_Load_Glyph(main, FT_Get_Char_Index(main, 'H'), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING);
    FT_BBox hb;
    FT_Outline_Get_CBox(&main->glyph->outline, &hb);
    const double scale = (font.cap_top - font.baseline) / double(hb.yMax - hb.yMin);

    std::vector<Glyph> glyphs;
    int clamped = 0;
    for (const CodeSource& cs : codes) {
        Glyph g;
        g.code = cs.code;
        if (cs.unicode != 0) {
            bool got = false;
            for (const std::string& path : cs.faces.empty() ? std::vector<std::string>{font.face}
                                                            : cs.faces) {
                FT_Face f = face_of(path);
                // A fallback face is scaled to the main face's em.
                const double s = scale * main->units_per_EM / f->units_per_EM;
                g = Glyph{};
                g.code = cs.code;
                if (build_glyph(f, cs.unicode, font, s, g, clamped)) { got = true; break; }
            }
            if (!got) std::fprintf(stderr, "%s: no outline for code %d (U+%04lX)\n",
                                   font.name.c_str(), cs.code, cs.unicode);
        }
        glyphs.push_back(std::move(g));
    }
    if (clamped) std::fprintf(stderr, "%s: %d points clamped to the grid\n", font.name.c_str(), clamped);

    // Seed every contour, count the fixed cost of the string.
    long points = 0, penups = 0;
    for (Glyph& g : glyphs) {
        for (std::size_t s = 0; s < g.strokes.size();) {
            auto& mem = g.strokes[s];
            mem.erase(std::remove_if(mem.begin(), mem.end(),
                                     [&](int c) { return !seed(g.contours[c]); }),
                      mem.end());
            if (mem.empty()) g.strokes.erase(g.strokes.begin() + static_cast<long>(s));
            else ++s;
        }
        for (std::size_t s = 0; s < g.strokes.size(); ++s)
            for (int c : g.strokes[s]) g.contours[c].stroke = static_cast<int>(s);
        g.stroke_points.assign(g.strokes.size(), 0);
        for (std::size_t s = 0; s < g.strokes.size(); ++s) {
            int n = 0;
            for (int c : g.strokes[s]) n += static_cast<int>(g.contours[c].kept.size());
            n += 2 * (static_cast<int>(g.strokes[s].size()) - 1);
            g.stroke_points[s] = n;
            points += n;
        }
        if (!g.strokes.empty()) penups += static_cast<long>(g.strokes.size()) - 1;
    }

    // The room between the code-127 place and code 161: blanks that belong
    // to no glyph, used to make the length's parity come out right. Fonts
    // without that room end one glyph with a pen-up mark instead, which
    // draws nothing.
    const long fixed = penups + font.place127_blanks;
    long gap = 0, trailing = 0;
    if ((font.target - fixed) % 2 != 0) {
        if (font.gap_allowed) gap = 1; else trailing = 1;
    }
    const long want_points = (font.target - fixed - gap - trailing) / 2;
    if (want_points < points) {
        std::fprintf(stderr, "%s: %ld points needed at least, %ld allowed\n", font.name.c_str(),
                     points, want_points);
        return false;
    }

    // Refine all glyphs together: always add the point that lies farthest
    // from the outline drawn so far, anywhere in the font.
    std::priority_queue<Cand> pq;
    auto push_span = [&](int gi, int ci, int from, int to) {
        int best;
        double d;
        if (best_between(glyphs[gi].contours[ci], from, to, best, d))
            pq.push({d, gi, ci, best, from, to});
    };
    for (int gi = 0; gi < static_cast<int>(glyphs.size()); ++gi)
        for (const auto& mem : glyphs[gi].strokes)
            for (int ci : mem) {
                const auto& k = glyphs[gi].contours[ci].kept;
                for (std::size_t i = 0; i < k.size(); ++i) push_span(gi, ci, k[i], k[(i + 1) % k.size()]);
            }
    double last = 0;
    while (points < want_points) {
        if (pq.empty()) {
            std::fprintf(stderr, "%s: only %ld points available, %ld wanted\n", font.name.c_str(),
                         points, want_points);
            return false;
        }
        const Cand c = pq.top();
        pq.pop();
        Glyph& g = glyphs[c.glyph];
        Contour& ct = g.contours[c.contour];
        if (g.stroke_points[ct.stroke] >= font.max_stroke_points) continue;
        auto pos = std::find(ct.kept.begin(), ct.kept.end(), c.from);
        ct.kept.insert(pos + 1, c.index);
        ++g.stroke_points[ct.stroke];
        ++points;
        last = c.dist;
        push_span(c.glyph, c.contour, c.from, c.index);
        push_span(c.glyph, c.contour, c.index, c.to);
    }
    std::fprintf(stderr, "%s: last point added at a distance of %.3f units\n", font.name.c_str(), last);

    // Encode.
    out.glyph_text.clear();
    for (std::size_t gi = 0; gi < glyphs.size(); ++gi) {
        const Glyph& g = glyphs[gi];
        std::string s;
        for (std::size_t st = 0; st < g.strokes.size(); ++st) {
            if (st) s += font.penup;
            for (const IPt& p : join_stroke(g, g.strokes[st])) {
                s += GlyphAlphabetGen[p.x];
                s += GlyphAlphabetGen[p.y];
            }
        }
        if (trailing && gi + 1 == glyphs.size()) s += font.penup;
        out.glyph_text.push_back(s);
    }
    out.gap = static_cast<int>(gap);
    for (auto& [p, f] : faces) FT_Done_Face(f);
    FT_Done_FreeType(lib);
    return true;
}
