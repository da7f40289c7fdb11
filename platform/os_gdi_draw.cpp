// Our own rasteriser for lines, shapes, pixels and copies on the retained
// images, so the pixel rules stay the ones the library relies on (see
// os_gdi.h); Qt's aliased rules differ at line ends, box edges and arcs.
//
// Each primitive first gathers the pixels of its pen and of its brush, each
// pixel once, and then writes them through the raster operation; so an
// exclusive-or shape inverts each pixel once. Under the copy operation a
// pixel gathered twice, or given the brush and then the pen, ends in the
// colour written last either way: there the sorting and the sifting out of
// the pen's pixels from the brush's are left out (plain_gathering() keeps
// them, for comparing).
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <functional>
#include <optional>

#include "platform/os_dc_p.h"

using namespace osg;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Target {
    Dc* dc = nullptr;
    QImage* img = nullptr;
    OsRect box;              // where pixels may be written
    std::int64_t width = 0;  // of the image, asked once per primitive
    bool copy = false;       // the copy operation, and not kept plain
    // The rows of the image, made writable once per primitive (the
    // rasteriser draws on 32-bit images only).
    uchar* bits = nullptr;
    std::int64_t stride = 0;
    QRgb* row(std::int64_t y) const { return reinterpret_cast<QRgb*>(bits + y * stride); }
};

bool plain = false;

bool target(Dc* d, Target& t) {
    t.dc = d;
    if (!t.dc) return false;
    t.img = surface_of(*t.dc);
    if (!t.img) return false;
    t.box = drawable_box(*t.dc, *t.img);
    t.width = t.img->width();
    t.copy = !plain && t.dc->rop2 == OS_R2_COPYPEN;
    t.bits = nullptr;
    return true;
}

bool target(OsDC h, Target& t) { return target(dc_of(h), t); }

// The image's rows for writing, asked once a primitive has pixels to write.
void open_rows(Target& t) {
    if (t.bits) return;
    t.bits = t.img->bits();
    t.stride = t.img->bytesPerLine();
}

// 2 to the power of minus k, for k = 0..63, each exact.
constexpr std::array<double, 64> kHalves = [] {
    std::array<double, 64> a{};
    double v = 1.0;
    for (double& x : a) {
        x = v;
        v *= 0.5;
    }
    return a;
}();

// The vertex after i of a closed outline of n.
std::size_t next_index(std::size_t i, std::size_t n) { return i + 1 == n ? 0 : i + 1; }

// The least whole number not below v, for crossings of edges between
// 32-bit vertices (far inside the 64-bit range).
std::int64_t ceil_of(double v) {
    const std::int64_t c = static_cast<std::int64_t>(v);
    return static_cast<double>(c) < v ? c + 1 : c;
}

bool in_box(const OsRect& b, std::int64_t x, std::int64_t y) {
    return x >= b.left && x < b.right && y >= b.top && y < b.bottom;
}

// Binary raster operation r (1..16) of pen P over destination D: the code
// minus one is the truth table, bit 3 for (P, D) = (1, 1) down to bit 0 for
// (0, 0).
std::uint32_t rop2(std::int32_t r, std::uint32_t p, std::uint32_t d) {
    const std::uint32_t t = static_cast<std::uint32_t>(r - 1);
    std::uint32_t out = 0;
    if (t & 8) out |= p & d;
    if (t & 4) out |= p & ~d;
    if (t & 2) out |= ~p & d;
    if (t & 1) out |= ~p & ~d;
    return out & 0xFFFFFF;
}

// Pixel indices (y * width + x) of one layer of a primitive.
// A direct layer writes its one colour at once instead of gathering: for
// the copy operation where nothing drawn later in the primitive differs.
struct Layer {
    std::vector<std::int64_t> pix;
    bool direct = false;
    QRgb colour = 0;
    bool wrote = false;
    void add(const Target& t, std::int64_t x, std::int64_t y) {
        if (!in_box(t.box, x, y)) return;
        if (direct) {
            t.row(y)[x] = colour;
            wrote = true;
        } else {
            pix.push_back(y * t.width + x);
        }
    }
    void write_at_once(Target& t, std::uint32_t rgb);
    void unique() {
        std::sort(pix.begin(), pix.end());
        pix.erase(std::unique(pix.begin(), pix.end()), pix.end());
    }
    bool has(std::int64_t i) const { return std::binary_search(pix.begin(), pix.end(), i); }
};

// Two layers kept from one line or polygon to the next, emptied for each:
// a picture of many small primitives would otherwise spend more on making
// and freeing their lists than on their pixels. Drawing is single-threaded
// and no primitive draws another.
Layer& scratch_layer(int i) {
    static Layer layers[2];
    Layer& l = layers[i];
    l.pix.clear();
    l.direct = l.wrote = false;
    return l;
}

// What a layer is painted with: one colour, or an 8 x 8 pattern anchored at
// the surface origin.
struct Source {
    std::uint32_t rgb = 0;
    // The brush's own pattern, which outlives the primitive; none for a
    // colour.
    const std::array<std::uint32_t, 64>* pattern = nullptr;
    std::uint32_t at(std::int64_t x, std::int64_t y) const {
        return pattern ? (*pattern)[static_cast<std::size_t>((y & 7) * 8 + (x & 7))] : rgb;
    }
};

void write(Target& t, const Layer& l, const Source& src, std::int32_t rop) {
    if (l.pix.empty()) return;
    open_rows(t);
    const std::int64_t w = t.width;
    // The row of the last pixel is kept: the layers run row by row.
    std::int64_t row = -1, row_start = 0;
    QRgb* line = nullptr;
    // Copying the pen writes the colour as it is.
    const bool copy = rop == OS_R2_COPYPEN && !src.pattern;
    const QRgb copied = to_qrgb(src.rgb & 0xFFFFFF);
    for (std::int64_t i : l.pix) {
        if (!line || i < row_start || i - row_start >= w) {
            row = i / w;
            row_start = row * w;
            line = t.row(row);
        }
        const std::int64_t x = i - row_start;
        line[x] = copy ? copied : to_qrgb(rop2(rop, src.at(x, row), to_rgb(line[x])));
    }
    surface_changed(*t.dc);
}

Source solid(std::uint32_t rgb) { return Source{rgb, nullptr}; }

void Layer::write_at_once(Target& t, std::uint32_t rgb) {
    open_rows(t);
    direct = true;
    colour = to_qrgb(rgb & 0xFFFFFF);
}

// The brush selected in the device context; empty for the null brush.
std::optional<Source> brush_source(const Target& t) {
    Object* b = object_of(t.dc->selected[KindBrush], KindBrush);
    if (!b || b->brush.null) return std::nullopt;
    if (b->brush.pattern) return Source{0, &*b->brush.pattern};
    return solid(resolve(*t.dc, b->brush.colour));
}

const Pen* pen_of(const Target& t) {
    Object* p = object_of(t.dc->selected[KindPen], KindPen);
    if (!p || p->pen.style == OS_PS_NULL) return nullptr;
    return &p->pen;
}

// ---- lines --------------------------------------------------------------------

// Whether step k of a styled line is in a dash.
bool dash_on(const std::vector<std::uint32_t>& d, std::int64_t k) {
    if (d.empty()) return true;
    std::int64_t period = 0;
    for (std::uint32_t v : d) period += v;
    std::int64_t p = k % period;
    for (std::size_t i = 0; i < d.size(); ++i) {
        if (p < static_cast<std::int64_t>(d[i])) return i % 2 == 0;
        p -= d[i];
    }
    return false;
}

// Rows of spans a wide pen covers, gathered before they become pixels, so
// that a pen far wider than the surface costs one span per row and step
// instead of one pixel per point of its stamp.
// The rows are made at the first span: a thin pen, which adds none, costs
// nothing per line.
struct Spans {
    std::int64_t top = 0, height = 0;
    std::vector<std::vector<std::pair<std::int64_t, std::int64_t>>> rows;  // inclusive
    explicit Spans(const Target& t) : top(t.box.top), height(std::max<std::int64_t>(0, t.box.bottom - t.box.top)) {}
    void add(std::int64_t y, std::int64_t a, std::int64_t b) {
        if (rows.empty()) rows.resize(static_cast<std::size_t>(height));
        auto& row = rows[static_cast<std::size_t>(y - top)];
        // Successive stamps of a line overlap; merge with the last span.
        if (!row.empty() && a <= row.back().second + 1 && b >= row.back().first - 1) {
            row.back().first = std::min(row.back().first, a);
            row.back().second = std::max(row.back().second, b);
        } else {
            row.emplace_back(a, b);
        }
    }
    void into(const Target& t, Layer& l) const {
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (const auto& [a, b] : rows[i])
                for (std::int64_t x = a; x <= b; ++x) l.add(t, x, top + static_cast<std::int64_t>(i));
    }
};

// Pixels of a pen around a centre-line pixel, kept to the surface box.
void stamp(const Target& t, Layer& l, Spans& spans, const Pen& pen, std::int64_t x, std::int64_t y) {
    const int w = pen.width;
    if (w <= 1) {
        l.add(t, x, y);
        return;
    }
    const std::int64_t lo = -(w - 1) / 2, hi = w / 2;
    const double c = (w % 2 == 0) ? 0.5 : 0.0, r2 = (w / 2.0) * (w / 2.0);
    const std::int64_t dy0 = std::max(lo, t.box.top - y), dy1 = std::min(hi, t.box.bottom - 1 - y);
    const std::int64_t dxl = std::max(lo, t.box.left - x), dxr = std::min(hi, t.box.right - 1 - x);
    if (dxl > dxr) return;
    for (std::int64_t dy = dy0; dy <= dy1; ++dy) {
        std::int64_t a = lo, b = hi;
        // Geometric pens have square ends and bevel joins; the others are
        // round: the span of the row within the circle.
        if (!pen.geometric) {
            const double ry = static_cast<double>(dy) - c;
            auto in = [&](std::int64_t dx) {
                const double rx = static_cast<double>(dx) - c;
                return rx * rx + ry * ry <= r2 + 1e-9;
            };
            const double rem = r2 + 1e-9 - ry * ry;
            if (rem < 0) continue;
            const double s = std::sqrt(rem);
            a = std::max<std::int64_t>(lo, static_cast<std::int64_t>(std::ceil(c - s)));
            b = std::min<std::int64_t>(hi, static_cast<std::int64_t>(std::floor(c + s)));
            while (a <= b && !in(a)) ++a;
            while (a - 1 >= lo && in(a - 1)) --a;
            while (b >= a && !in(b)) --b;
            while (b + 1 <= hi && in(b + 1)) ++b;
            if (a > b) continue;
        }
        a = std::max(a, dxl);
        b = std::min(b, dxr);
        if (a <= b) spans.add(y + dy, x + a, x + b);
    }
}

// Steps of a thin line: count pixels from (x, y), each after the first a
// step along the major axis and, where the remainder carries, one along the
// minor axis too.
struct ThinSteps {
    std::int64_t x, y, rem, count, sx, sy, dminor, twice_n;
    bool xmajor;
};
template <class Put>
[[gnu::always_inline]] inline void thin_steps(ThinSteps s, Put put) {
    const std::int64_t step_major_x = s.xmajor ? s.sx : 0, step_major_y = s.xmajor ? 0 : s.sy;
    const std::int64_t step_minor_x = s.xmajor ? 0 : s.sx, step_minor_y = s.xmajor ? s.sy : 0;
    std::int64_t x = s.x, y = s.y, rem = s.rem;
    for (std::int64_t k = 0; k < s.count; ++k) {
        if (k > 0) {
            x += step_major_x;
            y += step_major_y;
            rem += 2 * s.dminor;
            if (rem >= s.twice_n) {
                rem -= s.twice_n;
                x += step_minor_x;
                y += step_minor_y;
            }
        }
        put(x, y);
    }
}

// One segment from (x0, y0) toward (x1, y1), leaving out the end pixel
// (a wide pen covers it with its end). phase counts the styled steps
// already drawn. Steps far outside the surface are skipped, so huge
// coordinates cost nothing.
// Inlined into its few callers: a polygon's edges and a line's segments are
// mostly a few pixels long, and the call cost as much as the pixels.
[[gnu::always_inline]] inline void segment(const Target& t, Layer& pen_l, Spans& spans, Layer* gap_l, const Pen& pen,
                                           std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                                           std::int64_t& phase) {
    const std::int64_t dx = std::llabs(x1 - x0), dy = std::llabs(y1 - y0);
    const std::int64_t sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
    const std::int64_t n = std::max(dx, dy);
    const std::int64_t last = pen.width > 1 ? n : n - 1;
    const bool xmajor = dx >= dy;
    const std::int64_t major0 = xmajor ? x0 : y0, smajor = xmajor ? sx : sy;
    // A stamp reaches half the pen's width from its centre.
    const std::int64_t margin = pen.width / 2 + 2;
    const std::int64_t lo = (xmajor ? t.box.left : t.box.top) - margin;
    const std::int64_t hi = (xmajor ? t.box.right : t.box.bottom) + margin;
    // Range of k whose major coordinate falls into [lo, hi).
    std::int64_t k0 = 0, k1 = last;
    if (smajor > 0) {
        k0 = std::max<std::int64_t>(k0, lo - major0);
        k1 = std::min<std::int64_t>(k1, hi - major0);
    } else {
        k0 = std::max<std::int64_t>(k0, major0 - hi);
        k1 = std::min<std::int64_t>(k1, major0 - lo);
    }
    // The minor step of k is (2 k d + n) div 2n (d the minor extent), kept as
    // quotient and remainder from one step to the next: d <= n, so each step
    // carries at most once.
    const std::int64_t dminor = xmajor ? dy : dx, twice_n = 2 * n;
    // From the first step (most segments start inside the surface) that is
    // 0 and n without dividing.
    std::int64_t q = 0, rem = n;
    if (n > 0 && k0 > 0 && k0 <= k1) {
        q = (2 * k0 * dminor + n) / twice_n;
        rem = (2 * k0 * dminor + n) % twice_n;
    }
    if (n > 0 && pen.width <= 1 && pen.dashes.empty()) {
        // A thin solid pen: one pixel a step, the steps as below.
        const std::int64_t x = xmajor ? x0 + sx * k0 : x0 + sx * q, y = xmajor ? y0 + sy * q : y0 + sy * k0;
        thin_steps({x, y, rem, k1 - k0 + 1, sx, sy, dminor, twice_n, xmajor},
                   [&](std::int64_t px, std::int64_t py) { pen_l.add(t, px, py); });
        phase += n;
        return;
    }
    for (std::int64_t k = k0; k <= k1; ++k) {
        std::int64_t x, y;
        if (n == 0) {
            x = x0;
            y = y0;
        } else {
            if (k > k0) {
                rem += 2 * dminor;
                if (rem >= twice_n) {
                    rem -= twice_n;
                    ++q;
                }
            }
            if (xmajor) {
                x = x0 + sx * k;
                y = y0 + sy * q;
            } else {
                y = y0 + sy * k;
                x = x0 + sx * q;
            }
        }
        if (pen.dashes.empty() || dash_on(pen.dashes, phase + k))
            stamp(t, pen_l, spans, pen, x, y);
        else if (gap_l)
            gap_l->add(t, x, y);
    }
    phase += n;
}

// One segment of a thin solid pen copied in colour c, both ends inside the
// box: the pixels of segment()'s thin steps (the first step at k = 0, the
// last at n - 1), which all lie between the ends and so inside the box,
// written without asking each.
[[gnu::always_inline]] inline void thin_segment_inside(Target& t, QRgb c, OsPoint a, OsPoint b) {
    const std::int64_t dx = std::llabs(std::int64_t{b.x} - a.x), dy = std::llabs(std::int64_t{b.y} - a.y);
    const std::int64_t n = std::max(dx, dy);
    if (n == 0) return;
    const std::int64_t sx = b.x >= a.x ? 1 : -1, sy = b.y >= a.y ? 1 : -1;
    const bool xmajor = dx >= dy;
    thin_steps({a.x, a.y, n, n, sx, sy, xmajor ? dy : dx, 2 * n, xmajor},
               [&](std::int64_t x, std::int64_t y) { t.row(y)[x] = c; });
}

// Thin solid lines through the n points copied onto a target found, each
// leaving out its end pixel as segment() does; segments with an end outside
// the box go through segment() itself. Whether a pixel was written.
bool thin_lines_copied(Target& t, const Pen& pen, const OsPoint* pts, std::size_t n) {
    Layer& pen_l = scratch_layer(0);
    pen_l.write_at_once(t, resolve(*t.dc, pen.colour));
    Spans spans(t);
    std::int64_t phase = 0;
    bool wrote = false;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const OsPoint a = pts[i], b = pts[i + 1];
        if (in_box(t.box, a.x, a.y) && in_box(t.box, b.x, b.y)) {
            thin_segment_inside(t, pen_l.colour, a, b);
            wrote = wrote || a.x != b.x || a.y != b.y;
        } else {
            segment(t, pen_l, spans, nullptr, pen, a.x, a.y, b.x, b.y, phase);
        }
    }
    return wrote || pen_l.wrote;
}

// A polyline in the selected pen; closed adds the segment back to the start.
// found, when given, receives the target, found whenever the call returns
// true.
bool draw_lines(Dc* d, const OsPoint* pts, std::size_t n, bool closed, Target* found = nullptr) {
    Target local;
    Target& t = found ? *found : local;
    if (!target(d, t)) return false;
    const Pen* pen = pen_of(t);
    if (!pen || n < 2) return true;
    Layer& pen_l = scratch_layer(0);
    Layer& gap_l = scratch_layer(1);
    Spans spans(t);
    const bool gaps = !pen->geometric && !pen->dashes.empty() && t.dc->bk_mode == OS_OPAQUE;
    if (t.copy && !gaps) pen_l.write_at_once(t, resolve(*t.dc, pen->colour));
    std::int64_t phase = 0;
    for (std::size_t i = 0; i + 1 < n + (closed ? 1 : 0); ++i) {
        const OsPoint a = pts[i], b = pts[next_index(i, n)];
        segment(t, pen_l, spans, gaps ? &gap_l : nullptr, *pen, a.x, a.y, b.x, b.y, phase);
    }
    spans.into(t, pen_l);
    // Copied, the pen written after the gaps covers them where both fall.
    if (!t.copy) {
        pen_l.unique();
        gap_l.unique();
        std::erase_if(gap_l.pix, [&](std::int64_t i) { return pen_l.has(i); });
    }
    write(t, gap_l, solid(resolve(*t.dc, t.dc->bk_colour)), t.dc->rop2);
    write(t, pen_l, solid(resolve(*t.dc, pen->colour)), t.dc->rop2);
    if (pen_l.wrote) surface_changed(*t.dc);
    return true;
}

// ---- shapes given by a predicate -------------------------------------------------

using Inside = std::function<bool(std::int64_t x, std::int64_t y)>;

// Fills the pixels of a shape inside [l, r] x [t, b]: the border (pixels
// of the shape within the pen's width of its outside) with the pen, the
// rest with the brush. With outline_only only the border is drawn; an
// extra test may keep the border to part of the shape (arcs).
//
// A pixel is border when a pixel within the pen's width (counted along the
// axes together) is outside. For a convex shape only the four farthest of
// those need looking at: the others lie between them. Otherwise a width
// reaching out of the shape's box from any pixel is as good as any wider.
// The shape's test is a template argument, called in place: a small shape
// (a circle of a pixel or two, by the hundred thousand) costs more in calls
// and lists made and freed than in its pixels.
template <class InsideTest>
void draw_shape(Target& t, std::int64_t l, std::int64_t tp, std::int64_t r, std::int64_t b, const InsideTest& inside,
                const Pen* pen, bool fill, bool convex, const Inside* border_filter = nullptr) {
    const std::optional<Source> brush = fill ? brush_source(t) : std::nullopt;
    if (!pen && !brush) return;
    const std::int64_t w = pen ? std::min<std::int64_t>(pen->width, std::min(r - l, b - tp) + 1) : 0;
    Layer& pen_l = scratch_layer(0);
    Layer& brush_l = scratch_layer(1);
    const std::int64_t x0 = std::max<std::int64_t>(l, t.box.left), x1 = std::min<std::int64_t>(r, t.box.right - 1);
    const std::int64_t y0 = std::max<std::int64_t>(tp, t.box.top), y1 = std::min<std::int64_t>(b, t.box.bottom - 1);
    for (std::int64_t y = y0; y <= y1; ++y)
        for (std::int64_t x = x0; x <= x1; ++x) {
            if (!inside(x, y)) continue;
            bool border = false;
            if (pen && convex) {
                border = !inside(x - w, y) || !inside(x + w, y) || !inside(x, y - w) || !inside(x, y + w);
                if (border && border_filter && !(*border_filter)(x, y)) border = false;
            } else if (pen) {
                for (std::int64_t dy = -w; dy <= w && !border; ++dy)
                    for (std::int64_t dx = -w; dx <= w && !border; ++dx) {
                        if (std::abs(dx) + std::abs(dy) > w || (dx == 0 && dy == 0)) continue;
                        if (!inside(x + dx, y + dy)) border = true;
                    }
                if (border && border_filter && !(*border_filter)(x, y)) border = false;
            }
            if (border)
                pen_l.add(t, x, y);
            else if (brush)
                brush_l.add(t, x, y);
        }
    if (brush) write(t, brush_l, *brush, t.dc->rop2);
    if (pen) write(t, pen_l, solid(resolve(*t.dc, pen->colour)), t.dc->rop2);
}

struct Box {
    std::int64_t l, t, r, b;  // inclusive
    bool empty() const { return r < l || b < t; }
};

// The pixels a box covers: its right column and bottom row are outside,
// and one more of each without a pen.
Box pixel_box(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, bool pen) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    const std::int64_t less = pen ? 1 : 2;
    return {l, t, r - less, b - less};
}

struct Ellipse {
    double cx, cy, a, b;
    explicit Ellipse(const Box& bx)
        : cx((bx.l + bx.r) / 2.0), cy((bx.t + bx.b) / 2.0), a((bx.r - bx.l) / 2.0 + 0.5), b((bx.b - bx.t) / 2.0 + 0.5) {}
    bool inside(std::int64_t x, std::int64_t y) const {
        const double u = (static_cast<double>(x) - cx) / a, v = (static_cast<double>(y) - cy) / b;
        return u * u + v * v <= 1.0 + 1e-9;
    }
    // Angle of a point seen from the centre, counter-clockwise on the screen.
    double angle(double x, double y) const { return std::atan2(cy - y, x - cx); }
};

// Counter-clockwise sector test from the radial through (x1, y1) to the
// radial through (x2, y2); the same radial twice means the whole turn.
struct Sweep {
    double start = 0.0, sweep = 2 * kPi;
    Sweep(const Ellipse& e, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
        start = e.angle(static_cast<double>(x1), static_cast<double>(y1));
        const double end = e.angle(static_cast<double>(x2), static_cast<double>(y2));
        double s = std::fmod(end - start + 4 * kPi, 2 * kPi);
        if (s < 1e-12) s = 2 * kPi;
        sweep = s;
    }
    bool covers(const Ellipse& e, std::int64_t x, std::int64_t y) const {
        const double dx = static_cast<double>(x) - e.cx, dy = static_cast<double>(y) - e.cy;
        if (std::fabs(dx) < 1.0 && std::fabs(dy) < 1.0) return true;  // the centre pixel
        const double d = std::fmod(e.angle(static_cast<double>(x), static_cast<double>(y)) - start + 4 * kPi, 2 * kPi);
        return d <= sweep + 1e-9;
    }
};

bool ellipse_like(OsDC h, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, int kind,
                  std::int32_t x1 = 0, std::int32_t y1 = 0, std::int32_t x2 = 0, std::int32_t y2 = 0) {
    // kind 0 ellipse, 1 pie, 2 arc
    Target t;
    if (!target(h, t)) return false;
    const Pen* pen = pen_of(t);
    if (kind == 2 && !pen) return true;
    const Box bx = pixel_box(left, top, right, bottom, pen != nullptr || kind == 2);
    if (bx.empty()) return true;
    const Ellipse e(bx);
    if (kind == 0) {
        draw_shape(t, bx.l, bx.t, bx.r, bx.b, [&](std::int64_t x, std::int64_t y) { return e.inside(x, y); }, pen, true,
                   true);
        return true;
    }
    const Sweep s(e, x1, y1, x2, y2);
    if (kind == 1) {
        draw_shape(t, bx.l, bx.t, bx.r, bx.b,
                   [&](std::int64_t x, std::int64_t y) { return e.inside(x, y) && s.covers(e, x, y); }, pen, true,
                   false);
    } else {
        const Inside on_arc = [&](std::int64_t x, std::int64_t y) { return s.covers(e, x, y); };
        draw_shape(t, bx.l, bx.t, bx.r, bx.b, [&](std::int64_t x, std::int64_t y) { return e.inside(x, y); }, pen,
                   false, true, &on_arc);
    }
    return true;
}

}  // namespace

namespace {

// A polygon in the pen and the brush selected, or in the ones given
// (colours is not null: a solid 1-pixel pen of colours[0] and a solid brush
// of colours[1]).
bool fill_polygon(Dc* d, const std::vector<OsPoint>& pts, const std::uint32_t* colours = nullptr) {
    Target t;
    if (!target(d, t)) return false;
    if (pts.size() < 2) return true;
    Pen given;
    const Pen* pen = nullptr;
    std::optional<Source> brush;
    if (colours) {
        given.colour = colours[0];
        pen = &given;
        brush = solid(resolve(*t.dc, colours[1]));
    } else {
        pen = pen_of(t);
        brush = brush_source(t);
    }
    Layer& pen_l = scratch_layer(0);
    Layer& brush_l = scratch_layer(1);
    // Copied, a pen of the brush's one colour may go first.
    const std::uint32_t pen_rgb = pen ? resolve(*t.dc, pen->colour) : 0;
    if (pen && t.copy && (!brush || (!brush->pattern && brush->rgb == pen_rgb))) pen_l.write_at_once(t, pen_rgb);
    // Copied, the brush's pixels are written as the rows are scanned.
    bool brush_wrote = false;
    if (pen) {
        std::int64_t phase = 0;
        Spans spans(t);
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const OsPoint a = pts[i], b = pts[next_index(i, pts.size())];
            segment(t, pen_l, spans, nullptr, *pen, a.x, a.y, b.x, b.y, phase);
        }
        spans.into(t, pen_l);
        if (!t.copy) pen_l.unique();
    }
    // Copied, the pen written after the brush covers it where both fall.
    const bool sift = pen && !t.copy;
    if (brush) {
        // Alternate rule: crossings counted along each row at the pixel
        // centres; a span covers ceil(xa) <= x < ceil(xb), so the right and
        // bottom edges stay outside.
        std::int64_t ymin = pts[0].y, ymax = pts[0].y;
        for (const OsPoint& p : pts) {
            ymin = std::min<std::int64_t>(ymin, p.y);
            ymax = std::max<std::int64_t>(ymax, p.y);
        }
        ymin = std::max<std::int64_t>(ymin, t.box.top);
        ymax = std::min<std::int64_t>(ymax, t.box.bottom);
        // The edges that cross rows, found once for all rows.
        // An edge that rises by a power of two multiplies by its exact
        // inverse instead of dividing: the same number, sooner (small
        // polygons have many such edges).
        struct Edge {
            std::int64_t lo, hi;
            OsPoint a, b;
            double inverse;  // 0 when the rise is no power of two
        };
        static std::vector<Edge> edges;
        edges.clear();
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const OsPoint a = pts[i], b = pts[next_index(i, pts.size())];
            if (a.y == b.y) continue;
            const std::int64_t rise = static_cast<std::int64_t>(b.y) - a.y;
            const std::uint64_t size = static_cast<std::uint64_t>(rise < 0 ? -rise : rise);
            double inverse = 0.0;
            if ((size & (size - 1)) == 0) {
                inverse = kHalves[static_cast<std::size_t>(std::countr_zero(size))];
                if (rise < 0) inverse = -inverse;
            }
            edges.push_back({std::min(a.y, b.y), std::max(a.y, b.y), a, b, inverse});
        }
        static std::vector<double> xs;
        std::size_t pen_at = 0;
        for (std::int64_t y = ymin; y < ymax; ++y) {
            xs.clear();
            for (const Edge& e : edges) {
                if (y < e.lo || y >= e.hi) continue;
                const OsPoint a = e.a, b = e.b;
                const double along = static_cast<double>(y - a.y) * (b.x - a.x);
                const double x =
                    a.x + (e.inverse != 0.0 ? along * e.inverse : along / static_cast<double>(b.y - a.y));
                // In order as they come: a row crosses few edges.
                std::size_t at = xs.size();
                xs.push_back(x);
                while (at > 0 && xs[at - 1] > x) {
                    xs[at] = xs[at - 1];
                    --at;
                }
                xs[at] = x;
            }
            for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
                const std::int64_t xa = std::max<std::int64_t>(ceil_of(xs[i]), t.box.left);
                const std::int64_t xb = std::min<std::int64_t>(ceil_of(xs[i + 1]), t.box.right);
                if (t.copy) {
                    if (xa >= xb) continue;
                    open_rows(t);
                    QRgb* line = t.row(y);
                    if (brush->pattern) {
                        for (std::int64_t x = xa; x < xb; ++x) line[x] = to_qrgb(brush->at(x, y) & 0xFFFFFF);
                    } else {
                        std::fill(line + xa, line + xb, to_qrgb(brush->rgb & 0xFFFFFF));
                    }
                    brush_wrote = true;
                    continue;
                }
                // The pen's pixels ascend, and so do these: one walk along both.
                for (std::int64_t x = xa; x < xb; ++x) {
                    const std::int64_t idx = y * t.width + x;
                    if (sift) {
                        while (pen_at < pen_l.pix.size() && pen_l.pix[pen_at] < idx) ++pen_at;
                        if (pen_at < pen_l.pix.size() && pen_l.pix[pen_at] == idx) continue;
                    }
                    brush_l.pix.push_back(idx);
                }
            }
        }
        write(t, brush_l, *brush, t.dc->rop2);
    }
    if (pen) write(t, pen_l, solid(pen_rgb), t.dc->rop2);
    if (brush_wrote || pen_l.wrote) surface_changed(*t.dc);
    return true;
}

bool draw_rectangle(OsDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    Target t;
    if (!target(dc, t)) return false;
    const Pen* pen = pen_of(t);
    const Box bx = pixel_box(left, top, right, bottom, pen != nullptr);
    if (bx.empty()) return true;
    draw_shape(t, bx.l, bx.t, bx.r, bx.b,
               [&](std::int64_t x, std::int64_t y) { return x >= bx.l && x <= bx.r && y >= bx.t && y <= bx.b; }, pen,
               true, true);
    return true;
}

}  // namespace

// ---- public ------------------------------------------------------------------------

namespace {

// The n points converted into device pixels, in a list kept from call to call.
const std::vector<OsPoint>& converted_points(const Dc& d, const OsPoint* pts, std::size_t n) {
    static std::vector<OsPoint> out;
    out.clear();
    for (std::size_t i = 0; i < n; ++i) out.push_back(to_device(d, pts[i].x, pts[i].y));
    return out;
}

// The points in device pixels: the points themselves under the identity
// mapping, otherwise converted.
const std::vector<OsPoint>& device_points(const Dc& d, const std::vector<OsPoint>& pts) {
    return d.map.identity() ? pts : converted_points(d, pts.data(), pts.size());
}

const OsPoint* device_points(const Dc& d, const OsPoint* pts, std::size_t n) {
    return d.map.identity() ? pts : converted_points(d, pts, n).data();
}

// A box's corners in device pixels, and the two radial points of arcs.
struct DeviceBox {
    std::int32_t l, t, r, b;
    OsPoint a, z;
};
DeviceBox device_box(const Dc& d, std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, OsPoint a = {},
                     OsPoint z = {}) {
    const OsPoint p = to_device(d, l, t), q = to_device(d, r, b);
    return {p.x, p.y, q.x, q.y, to_device(d, a.x, a.y), to_device(d, z.x, z.y)};
}

}  // namespace

bool os_move_to(OsDC dc, std::int32_t x, std::int32_t y) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    d->pos = {x, y};
    if (d->sink) d->sink->move_to(*d, {x, y});
    return true;
}

bool os_line_to(OsDC dc, std::int32_t x, std::int32_t y) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    const OsPoint from = d->pos;
    d->pos = {x, y};
    if (d->sink) {
        d->sink->line_to(*d, from, {x, y});
        return true;
    }
    const OsPoint pts[2] = {to_device(*d, from.x, from.y), to_device(*d, x, y)};
    return draw_lines(d, pts, 2, false);
}

namespace {

// A pixel written in the device colour c without the raster operation, on
// a target already found; false where it lies outside the box. The caller
// tells the surface it changed.
bool put_pixel_on(Target& t, OsPoint p, QRgb c) {
    if (!in_box(t.box, p.x, p.y)) return false;
    open_rows(t);
    t.row(p.y)[p.x] = c;
    return true;
}

// A pixel set without the raster operation, on a target already found.
std::uint32_t set_pixel_on(Target& t, OsPoint p, std::uint32_t colour) {
    if (!in_box(t.box, p.x, p.y)) return OS_CLR_INVALID;
    const std::uint32_t rgb = resolve(*t.dc, colour);
    put_pixel_on(t, p, to_qrgb(rgb));
    surface_changed(*t.dc);
    return rgb;
}

}  // namespace

bool os_line_to_with_end(OsDC dc, std::int32_t x, std::int32_t y, std::uint32_t colour) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    if (d->sink) {
        os_line_to(dc, x, y);
        os_set_pixel(dc, x, y, colour);
        return true;
    }
    const OsPoint from = d->pos;
    d->pos = {x, y};
    const OsPoint pts[2] = {to_device(*d, from.x, from.y), to_device(*d, x, y)};
    // Drawn, the line leaves the target it found for the pixel.
    Target t;
    if (!draw_lines(d, pts, 2, false, &t)) return false;
    set_pixel_on(t, pts[1], colour);
    return true;
}

bool os_lines_with_ends(OsDC dc, const std::vector<OsPoint>& points, std::uint32_t colour) {
    return os_lines_with_ends(dc, points.data(), points.size(), colour);
}

bool os_lines_with_ends(OsDC dc, const OsPoint* points, std::size_t count, std::uint32_t colour) {
    Dc* d = dc_of(dc);
    // The plain way, kept for comparing, draws the lines one by one.
    if (plain || !d || d->sink || d->information || d->rop2 != OS_R2_COPYPEN || count < 2) return false;
    Target t;
    if (!target(d, t)) return false;
    // A thin solid pen draws each line alone, whatever came before it, so
    // the lines as one are the same pixels; a pixel that two of them cover
    // is only copied twice. A dash pattern would run on from line to line.
    const Pen* pen = pen_of(t);
    if (!pen || pen->width > 1 || !pen->dashes.empty()) return false;
    // Ends of another colour than the pen's would show the order of the
    // writes: one by one, the next line covers the end it starts on.
    const std::uint32_t end_rgb = resolve(*d, colour);
    if (end_rgb != resolve(*d, pen->colour)) return false;
    const OsPoint* pts = device_points(*d, points, count);
    bool wrote = thin_lines_copied(t, *pen, pts, count);
    // Each line leaves out its end, which the next line starts on, unless
    // that one has no length; the last end has no next line. The colour and
    // the repaint are asked for once, not for each end.
    const QRgb end_colour = to_qrgb(end_rgb);
    for (std::size_t j = 1; j < count; ++j) {
        const OsPoint p = pts[j];
        if (j + 1 == count || (pts[j + 1].x == p.x && pts[j + 1].y == p.y))
            if (put_pixel_on(t, p, end_colour)) wrote = true;
    }
    if (wrote) surface_changed(*d);
    d->pos = points[count - 1];
    return true;
}

bool os_polyline(OsDC dc, const std::vector<OsPoint>& points) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    if (d->sink) {
        d->sink->poly(*d, points, false);
        return true;
    }
    const std::vector<OsPoint>& pts = device_points(*d, points);
    return draw_lines(d, pts.data(), pts.size(), false);
}

bool os_polygon(OsDC dc, const std::vector<OsPoint>& points) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    if (d->sink) {
        d->sink->poly(*d, points, true);
        return true;
    }
    return fill_polygon(d, device_points(*d, points));
}

bool os_polygon_in_colours(OsDC dc, const std::vector<OsPoint>& points, std::uint32_t pen_colour,
                           std::uint32_t brush_colour, OsObject region) {
    Dc* d = dc_of(dc);
    if (!d || d->sink || d->information) return false;
    // As os_select_clip_rgn(dc, region) would, and os_select_clip_rgn(dc, 0)
    // after.
    const Object* r = region ? object_of(region, KindRegion) : nullptr;
    if (r) d->clip = r->region;
    const std::uint32_t colours[2] = {pen_colour, brush_colour};
    fill_polygon(d, device_points(*d, points), colours);
    if (r) d->clip.reset();
    return true;
}

bool os_rectangle(OsDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    if (d->sink) {
        d->sink->rectangle(*d, {left, top, right, bottom});
        return true;
    }
    const DeviceBox b = device_box(*d, left, top, right, bottom);
    return draw_rectangle(dc, b.l, b.t, b.r, b.b);
}

namespace {

bool ellipse_call(OsDC dc, int kind, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                  OsPoint a, OsPoint z) {
    Dc* d = dc_of(dc);
    if (!d) return false;
    if (d->sink) {
        d->sink->ellipse(*d, kind, {left, top, right, bottom}, a, z);
        return true;
    }
    const DeviceBox b = device_box(*d, left, top, right, bottom, a, z);
    return ellipse_like(dc, b.l, b.t, b.r, b.b, kind, b.a.x, b.a.y, b.z.x, b.z.y);
}

}  // namespace

bool os_ellipse(OsDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    return ellipse_call(dc, 0, left, top, right, bottom, {}, {});
}

bool os_pie(OsDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, std::int32_t x1,
            std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    return ellipse_call(dc, 1, left, top, right, bottom, {x1, y1}, {x2, y2});
}

bool os_arc(OsDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, std::int32_t x1,
            std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    return ellipse_call(dc, 2, left, top, right, bottom, {x1, y1}, {x2, y2});
}

std::uint32_t os_set_pixel(OsDC dc, std::int32_t x, std::int32_t y, std::uint32_t colour) {
    Dc* d = dc_of(dc);
    if (!d) return OS_CLR_INVALID;
    if (d->sink) {
        const std::uint32_t rgb = resolve(*d, colour);
        d->sink->pixel(*d, {x, y}, rgb);
        return rgb;
    }
    Target t;
    if (!target(d, t)) return OS_CLR_INVALID;
    return set_pixel_on(t, to_device(*d, x, y), colour);
}

std::uint32_t os_get_pixel(OsDC dc, std::int32_t x, std::int32_t y) {
    Target t;
    if (!target(dc, t)) return OS_CLR_INVALID;
    const OsPoint p = to_device(*t.dc, x, y);
    if (!in_box(t.box, p.x, p.y)) return OS_CLR_INVALID;
    return to_rgb(t.img->pixel(p.x, p.y));
}

bool os_bit_blt(OsDC dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, OsDC src,
                std::int32_t sx, std::int32_t sy, std::uint32_t rop) {
    return transfer(dst, x, y, width, height, src, sx, sy, width, height, rop);
}

void os_plain_drawing(bool on) { plain = on; }
