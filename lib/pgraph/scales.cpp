// Scales and text labels along one side of the current plot: the common
// set-up of the ten scale and text routines, the numeric scales of 2-D
// plots (linear, category, logarithmic), the vertical and base scales of
// 3-D plots, the radius and angle scales of polar plots, and the boxed cell
// row of plot type 9.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

#include "lib/graphics/colours.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/pgraph/pg_core.h"
#include "lib/pgraph/pg_internal.h"
#include "lib/pgraph/pgraph.h"
#include "lib/pgraph/pgstate.h"
#include "lib/window/convert.h"
#include "lib/window/osservices.h"
#include "lib/window/text.h"

namespace {

constexpr std::int32_t JustLeft = 0, JustCentre = 1, JustRight = 2;
// No scale of this system has more ticks than this; a count beyond it can
// only come from a range that has lost its meaning.
constexpr std::int32_t MaxTicks = 10000;
constexpr float DegPerRad = 180.0f / std::numbers::pi_v<float>;

// Side and axis of the last scale call; ipgzscale keeps the side.
std::int32_t last_side = 0;
std::int32_t last_axis = 0;

// One scale or text call: the request and the working values of the set-up.
struct Call {
    std::int32_t side = 1, axis = 1;
    float sign = 1.0f;  // +1 side 1, -1 side 2
    bool text = false;
    std::vector<std::string_view> texts;
    bool ticks = true, labels = true, outward = true;
    float t = 0.0f;     // text angle, degrees
    std::int32_t q = 0;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    float aspect = 1.0f;
    float cos_s = 1, sin_s = 0, cos_t = 1, sin_t = 0;
    float tx = 0, ty = 0;
    float d = 0, ylabx = 0;  // Y-label offset and x
    float g = 0, xlaby = 0;  // X-label gap and y
    float cw = 1, chref = 1;  // graphics-unit width and height character sizes refer to
    float e = 0;              // superscript gap
    // What the call restores at its end.
    std::int32_t just = 0, direction = 0, fill = 0, screen = 0, hardcopy = 0;
    float angle = 0, width = 0, height = 0;
};

GraphicsState& gs() { return gstate; }
float char_w() { return gstate.text.char_width; }
float char_h() { return gstate.text.char_height; }
void justify(std::int32_t j) { gstate.text.justification = j; }

// ---------------------------------------------------------------- labels

// The label of one place: text j of the caller (trimmed, at most the 200
// characters of the label buffer, a blank when there is no text j) or the
// number through yyr2s. Either way it stands in PGLABELBUF.
std::string_view make_label(const Call& c, std::int32_t j, float value, std::int32_t expo,
                            std::int32_t extra) {
    std::string& buf = pgstate.PGLABELBUF;
    if (buf.size() != PgLabelBufSize) buf.assign(PgLabelBufSize, ' ');
    if (c.text) {
        std::string_view t = " ";
        if (j >= 1 && static_cast<std::size_t>(j) <= c.texts.size()) {
            t = txt_trim(c.texts[static_cast<std::size_t>(j - 1)]);
            if (t.empty()) t = " ";
        }
        t = t.substr(0, PgLabelBufSize);
        txt_set(buf, t);
        return std::string_view(buf).substr(0, t.size());
    }
    std::int32_t first = 0, last = 0;
    yyr2s(value, expo, extra, first, last);
    if (first < 1 || first > last) return {};
    return std::string_view(buf).substr(static_cast<std::size_t>(first - 1),
                                        static_cast<std::size_t>(last - first + 1));
}

// The exponent of a decade label: the integer written with "(I3)" from its
// first non-blank character.
std::string exponent_text(std::int32_t i) {
    std::string t(3, ' ');
    IntegerToString(i, t, "(I3)");
    const std::size_t p = t.find_first_not_of(' ');
    return p == std::string::npos ? std::string() : t.substr(p);
}

// The base of a decade label: "10", or inside one decade the sub-tick
// counter before it ("2*10").
std::string decade_base(bool within, std::int32_t counter) {
    if (!within) return "10";
    std::string t(11, ' ');
    IntegerToString(counter, t, "(I11)");
    const std::size_t p = std::min(t.find_first_not_of(' '), t.size());
    return std::string(txt_trim(std::string_view(t).substr(p))) + "*10";
}

// Shrink the character width so that labels of `length` character widths
// fit a spacing of `dist` graphics units, where `unit` is the graphics-unit
// extent to which the character width refers (times the aspect for a
// vertical spacing). Without a spacing the size stays.
void fit_width(float dist, float length, float unit) {
    if (!(length > 0.0f) || !(dist > 0.0f) || !(unit > 0.0f)) return;
    const float f = dist / (length * unit);
    if (std::isfinite(f) && f < char_w()) yychsize(f, char_h());
}

void draw(float x, float y, std::string_view label) {
    if (!label.empty()) wgrtextstring(x, y, label);
}

// "10" (or "k*10") placed by `just` at (x, y) and the exponent, smaller, at
// (x, y) plus the superscript offset; the justification and the size that
// were in force come back.
void draw_decade(const Call& c, float x, float y, std::int32_t just, const std::string& base,
                 std::int32_t expo, float sizew, float sizeh) {
    const std::int32_t was = gstate.text.justification;
    justify(just);
    wgrtextstring(x, y, base);
    const PgState& s = pgstate;
    yychsize(s.PGSUPSIZE * sizew, s.PGSUPSIZE * sizeh);
    justify(JustLeft);
    wgrtextstring(x - c.sin_t * c.aspect * c.e, y + c.cos_t * c.e, exponent_text(expo));
    justify(was);
    yychsize(sizew, sizeh);
}

// Length in character widths that a decade label takes: the exponent at
// its reduced size, the base and the sideways part of the superscript.
float decade_length(const Call& c, float exponent_length, bool within) {
    const float sup = char_w() * c.cw > 0.0f ? std::fabs(c.sin_t * c.aspect * c.e) / (char_w() * c.cw) : 0.0f;
    return exponent_length * pgstate.PGSUPSIZE + wgrtextlength(within ? "1*10" : "10") + sup;
}

// ---------------------------------------------------------------- 2-D scales

struct Mark {
    float pos = 0, value = 0;
    std::int32_t decade = 0, counter = 1, j = 0;
    bool half = false, labelled = false;
};

void flat_scale(Call& c) {
    const PgState& s = pgstate;
    const bool isx = c.axis == 1;
    const std::size_t ai = static_cast<std::size_t>(c.axis - 1);
    const bool log = isx ? s.PGXLOG == 1 : s.PGYLOG == 1;
    const float low = isx ? s.PGXLOW : s.PGYLOW;
    const float high = isx ? s.PGXHIGH : s.PGYHIGH;
    const bool cat = s.PGTYPE == (isx ? 1 : 2);
    const float extent = isx ? s.PGWIDTH : s.PGHEIGHT;
    const std::int32_t catfreq = c.axis <= 2 ? s.PGCATFREQ[ai] : 0;
    const std::int32_t users = s.PGUSERTICKCOUNT[ai];
    const auto to_g = [isx](float v) { return isx ? yyp2x(v) : yyp2y(v); };

    float step = 0, first = 0, vstep = 0, vfirst = 0;
    std::int32_t count = 0, expo = 0, k = 1, dcount = 0, start = 1, last = 0, nidx = 0;
    if (!log) {
        yyscal(low, high, cat ? 1 : 0, s.PGNVALUE[0], c.axis, step, first, count, expo, vstep, vfirst);
        nidx = count;
    } else {
        yyslog(low, high, k, dcount, start, last);
        k = std::max(k, 1);
        nidx = std::max((k + last - start) / k, 0);
    }
    nidx = std::min(nidx, MaxTicks);

    // Where the scale line stands.
    float line = c.side == 2 ? (isx ? c.y2 : c.x2) : (isx ? c.y1 : c.x1);
    if (s.PG3D == 0) {
        const std::size_t ti = isx ? 0 : 1;
        if (s.PGTICKPOSON[ti] != 0) {
            const float v = s.PGTICKPOS[ti][static_cast<std::size_t>(c.side - 1)];
            line = isx ? yyp2y(v) : yyp2x(v);
        } else if (isx ? (s.PGYMIN < 0.0f && 0.0f < s.PGYMAX) : (s.PGXMIN < 0.0f && 0.0f < s.PGXMAX)) {
            line = isx ? yyp2y(0.0f) : yyp2x(0.0f);
        }
    }
    float labx = c.ylabx, laby = c.xlaby;
    if (c.side == 2) {
        if (isx) {
            c.ty = -c.ty;
            c.g = (gs().uy2 - c.y2) * s.PGXSCALEPOS;
            laby = c.y2 + c.g;
        } else {
            c.tx = -c.tx;
            labx = c.x2 + c.d;
        }
        if (s.PG3D != 0) first += s.PGCATWIDTH * extent;
    }
    const float length = isx ? c.ty : c.tx;
    float dispx = 0, dispy = 0;
    if (c.outward) {
        if (isx) {
            dispx = c.g * c.sign * c.sin_s / c.aspect;
            dispy = c.g * c.sign * (1.0f - c.cos_s);
        } else {
            dispx = c.d * c.sign * (1.0f - c.cos_s);
            dispy = -c.d * c.sign * c.sin_s * c.aspect;
        }
    }

    // The places of the ticks, in plot units.
    std::vector<Mark> marks;
    float began = 0, prev_began = 0, computed = 0;
    std::int32_t nlabels = 0;
    float pos = first, value = vfirst;
    for (std::int32_t n = 0; n < nidx; ++n) {
        prev_began = began;
        if (!log) {
            const std::int32_t i = n + 1;
            if (catfreq > 0 && cat) {
                const std::int32_t idx = std::clamp(i, 1, PgMaxUserTicks);
                const float cc = static_cast<float>(s.PGCATLIST[ai][static_cast<std::size_t>(idx - 1)] - 1);
                pos = first + cc * step;
                value = vfirst + cc * vstep;
            } else if (users > 0 && !cat) {
                value = s.PGUSERTICK[ai][static_cast<std::size_t>(std::clamp(i, 1, PgMaxUserTicks) - 1)];
                pos = value;
                if (s.PG3D > 0) {
                    pos = (1.0f - s.PGCATWIDTH) * value;
                    if (c.side == 2) pos += s.PGCATWIDTH * extent;
                }
            } else if (n > 0) {
                const float prev = value;
                pos += step;
                value += vstep;
                if (prev != 0.0f && std::fabs(value / prev) < 0.01f) value = 0.0f;
            }
            began = computed = pos;
            if (pos >= low) {
                const bool lab = c.labels;
                marks.push_back({pos, value, 0, 1, i, false, lab});
                nlabels += lab ? 1 : 0;
            }
            continue;
        }
        const std::int32_t i = start + n * k;
        const float decade = pg_pow10(i);
        std::int32_t counter = 1;
        pos = began = decade;
        for (;;) {
            if (pos >= low) {
                const bool lab = c.labels && (counter == 1 || dcount == 0);
                if (lab) ++nlabels;
                marks.push_back({pos, 0.0f, i, counter, nlabels, counter > 1, lab});
            }
            if (dcount > 5 || counter >= 9) break;
            ++counter;
            pos = static_cast<float>(counter) * decade;
            if (pos > high) break;
        }
        computed = pos;
    }

    // Pass 1: ticks, and the longest label.
    float longest = 0.0f;
    for (const Mark& m : marks) {
        const float gp = to_g(m.pos);
        if (c.ticks) {
            const float len = m.half ? 0.5f * length : length;
            if (isx)
                igrjoin(gp, line, gp - c.sin_s / c.aspect * len, line + c.cos_s * len);
            else
                igrjoin(line, gp, line + c.cos_s * len, gp + c.sin_s * c.aspect * len);
        }
        if (!m.labelled) continue;
        if (log && !c.text)
            longest = std::max(longest, wgrtextlength(exponent_text(m.decade)));
        else
            longest = std::max(longest, wgrtextlength(make_label(c, m.j, m.value, expo, cat ? 1 : 0)));
    }
    if (!c.labels) return;

    // Fit the labels to their spacing: the distance from the start of the
    // last index to the position computed last, or where that is nothing,
    // the distance between the starts of the last two indices.
    const bool decades = log && !c.text;
    float len = decades ? decade_length(c, longest, dcount == 0) : longest;
    float dist = std::fabs(to_g(computed) - to_g(began));
    if (dist == 0.0f && nidx >= 2) dist = std::fabs(to_g(began) - to_g(prev_began));
    if (nlabels >= 2) {
        if (isx)
            fit_width(dist, len * std::fabs(c.cos_t), c.cw);
        else
            fit_width(dist, len * std::fabs(c.sin_t), c.aspect * c.chref);
    }
    const float sizew = char_w(), sizeh = char_h();

    // Shift of "10" on the Y scale, so that the exponent lands beside the
    // scale line whatever the justification.
    float shx = 0, shy = 0;
    if (decades && !isx) {
        float w = 0.0f;
        if (gs().text.justification == JustLeft) {
            w = wgrtextlength("10");
        } else if (gs().text.justification == JustRight) {
            const std::int32_t a = std::abs(start);
            const char* widest = a < 10 ? "-9" : a < 100 ? "-99" : a < 1000 ? "-999" : "-9999";
            w = -s.PGSUPSIZE * wgrtextlength(widest);
        }
        shx = c.cw * sizew * c.cos_t * w;
        shy = c.cw * sizew * c.sin_t * c.aspect * w;
    }

    // Pass 2: the labels.
    for (const Mark& m : marks) {
        if (!m.labelled) continue;
        const float gp = to_g(m.pos);
        const float px = (isx ? gp : labx) + dispx;
        const float py = (isx ? laby : gp) + dispy;
        if (decades)
            draw_decade(c, px + shx, py + shy, JustRight,
                        decade_base(dcount == 0, m.counter), m.decade, sizew, sizeh);
        else
            draw(px, py, make_label(c, m.j, m.value, expo, cat ? 1 : 0));
    }
}

// ---------------------------------------------------------------- 3-D scales

void vertical_scale(Call& c) {
    const PgState& s = pgstate;
    std::array<float, 4> gx{}, gy{};
    std::int32_t ileft = 1;
    float yleft = 0;
    yycorn(gx, gy, ileft, yleft);
    float ax, bx, by, ay, zf, x0, y0;
    yy3dxy(ax, bx, by, ay, zf, x0, y0);

    float step = 0, first = 0, vstep = 0, vfirst = 0;
    std::int32_t count = 0, expo = 0;
    yyscal(s.PGZMIN, s.PGZMAX, 0, 0, 3, step, first, count, expo, vstep, vfirst);
    const std::int32_t users = s.PGUSERTICKCOUNT[2];
    const float sx0 = gx[static_cast<std::size_t>(ileft - 1)];
    const float labx = sx0 - c.cos_s * c.d;
    float value = users > 0 ? s.PGUSERTICK[2][0] : first;
    float hstep = zf * step;
    float h = (value - s.PGZMIN) * zf + yleft;
    if (s.PGTYPE == 10) {
        const float n3 = static_cast<float>(std::max(s.PGNVALUE[2], 1));
        hstep = hstep * (n3 - 1.0f) / n3;
        h += zf * 0.5f * s.PGZRANGE / n3;
        if (users <= 0 && first + vstep * static_cast<float>(count) <= vstep * 0.00001f + s.PGZMAX) ++count;
    }
    count = std::min(count, MaxTicks);

    struct Tick {
        float h, value;
    };
    std::vector<Tick> ticks;
    float next_h = h;
    for (std::int32_t i = 0; i < count; ++i) {
        ticks.push_back({h, value});
        if (users > 0) {
            const std::size_t n = static_cast<std::size_t>(std::min(i + 1, PgMaxUserTicks - 1));
            const float next = s.PGUSERTICK[2][n];
            hstep = (next - value) * zf;
            value = next;
        } else {
            const float prev = value;
            value += vstep;
            if (prev != 0.0f && std::fabs(value / prev) < 0.01f) value = 0.0f;
        }
        h += hstep;
        next_h = h;
    }
    const std::int32_t extra = s.PGTYPE == 2 ? 1 : 0;
    float longest = 0;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const float gyv = yyp2y(ticks[i].h);
        if (c.ticks) igrjoin(sx0, gyv, sx0 + c.cos_s * c.tx, gyv + c.sin_s * c.aspect * c.tx);
        if (c.labels)
            longest = std::max(longest, wgrtextlength(make_label(c, static_cast<std::int32_t>(i) + 1,
                                                                 ticks[i].value, expo, extra)));
    }
    if (!c.labels || ticks.empty()) return;
    if (ticks.size() >= 2)
        fit_width(std::fabs(yyp2y(next_h) - yyp2y(ticks.back().h)), longest * std::fabs(c.sin_t),
                  c.aspect * c.chref);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const float gyv = yyp2y(ticks[i].h);
        draw(labx, gyv - c.sin_s * c.aspect * c.d,
             make_label(c, static_cast<std::int32_t>(i) + 1, ticks[i].value, expo, extra));
    }
}

// Angle in degrees reduced into [0, 180).
float half_turn(float a) {
    float r = std::fmod(a, 180.0f);
    if (r < 0.0f) r += 180.0f;
    return r >= 180.0f ? 0.0f : r;
}

void base_scale(Call& c) {
    const PgState& s = pgstate;
    const bool isx = c.axis == 1;
    std::array<float, 4> gx{}, gy{};
    std::int32_t ileft = 1;
    float yleft = 0;
    yycorn(gx, gy, ileft, yleft);
    const auto corner = [](std::int32_t n) { return static_cast<std::size_t>((n - 1) % 4); };

    const float r = s.PGROTATION;
    const std::int32_t quad = (r < 45.0f || r >= 315.0f) ? 1 : r < 135.0f ? 4 : r < 225.0f ? 3 : 2;

    // Labels that run along the edge are fitted to the tick spacing.
    const std::size_t qa = corner(quad + 1), qc = corner(quad + 3);
    const std::size_t f = gy[qa] < gy[qc] ? qa : qc;
    const bool far_end = (isx && quad % 2 == 1) || (!isx && quad % 2 == 0);
    const std::size_t to = far_end ? corner(quad + 2) : corner(quad);
    // One graphics y unit expressed in graphics x units as they look.
    const float yx = c.chref * c.aspect > 0.0f ? c.cw / (c.chref * c.aspect) : 1.0f;
    const float edge_angle = std::atan2((gy[to] - gy[f]) * yx, gx[to] - gx[f]) * DegPerRad;
    const float diff = std::fabs(half_turn(edge_angle) - half_turn(c.t));
    const bool parallel = std::min(diff, 180.0f - diff) < 15.0f;

    struct Edge {
        int from, to;
        float sx, sy;
    };
    static constexpr std::array<Edge, 4> xedges = {Edge{4, 3, 1, 1}, Edge{1, 2, -1, 1}, Edge{1, 2, 1, 1},
                                                   Edge{4, 3, -1, 1}};
    static constexpr std::array<Edge, 4> yedges = {Edge{1, 4, -1, -1}, Edge{1, 4, 1, -1}, Edge{2, 3, -1, -1},
                                                   Edge{2, 3, 1, -1}};
    const Edge& edge = (isx ? xedges : yedges)[static_cast<std::size_t>(quad - 1)];
    if (quad == 2 || quad == 4) {
        std::int32_t& j = gs().text.justification;
        if (j == JustLeft)
            j = JustRight;
        else if (j == JustRight)
            j = JustLeft;
    }
    float sx0 = gx[corner(edge.from)], sy0 = gy[corner(edge.from)];
    const float ex = gx[corner(edge.to)] - sx0, ey = gy[corner(edge.to)] - sy0;

    const std::size_t ai = isx ? 0 : 1;
    const float vmin = isx ? s.PGXMIN : s.PGYMIN;
    const float extent = isx ? s.PGWIDTH : s.PGHEIGHT;
    const std::int32_t users = s.PGUSERTICKCOUNT[ai];
    const bool category = s.PGTYPE == 10 || (s.PGTYPE == 8 && s.PGFLAG7 != 0);
    const std::int32_t nval = std::max(s.PGNVALUE[ai], 1);

    std::int32_t count = 0, expo = 0;
    float step = 0, rsteps = 1, first = 0, offset = 0, vx = 0, vy = 0;
    if (users <= 0) {
        yyscal3d(vmin, isx ? s.PGXMAX : s.PGYMAX, step, count, rsteps, expo, first, offset);
        if (rsteps != 0.0f) {
            vx = ex / rsteps;
            vy = ey / rsteps;
        }
    } else {
        expo = pg_trunc(yylog1(extent));
        count = std::min(users, PgMaxUserTicks);
        if (extent != 0.0f) {
            vx = ex / extent;
            vy = ey / extent;
        }
    }
    if (category) {
        const float m = s.PGRNVALUE[ai] != 0.0f ? s.PGRNSTEP[ai] / s.PGRNVALUE[ai] : 1.0f;
        vx *= m;
        vy *= m;
        const float nf = static_cast<float>(nval);
        if (users <= 0) {
            if (nval < 4) {
                count = nval;
                first = vmin;
                step = nval > 1 ? extent / (nf - 1.0f) : 0.0f;
                offset = 0;
                vx = ex / nf;
                vy = ey / nf;
            }
            sx0 += 0.5f * ex / nf;
            sy0 += 0.5f * ey / nf;
        } else {
            sx0 += 0.5f * vx;
            sy0 += 0.5f * vy;
        }
    }
    count = std::min(count, MaxTicks);

    struct Tick {
        float x, y, value;
    };
    std::vector<Tick> ticks;
    for (std::int32_t i = 0; i < count; ++i) {
        if (users <= 0) {
            const float a = static_cast<float>(i) + offset;
            ticks.push_back({sx0 + a * vx, sy0 + a * vy, first + static_cast<float>(i) * step});
        } else {
            const float u = s.PGUSERTICK[ai][static_cast<std::size_t>(i)];
            ticks.push_back({sx0 + (u - vmin) * vx, sy0 + (u - vmin) * vy, u});
        }
    }
    const float dtx = -2.0f * edge.sx * c.tx * c.cos_s / c.aspect;
    const float dty = -2.0f * edge.sy * c.tx * c.sin_s;
    const float lx = 4.0f * edge.sx * std::fabs(c.tx) * c.cos_s / c.aspect;
    const float ly = 4.0f * edge.sy * std::fabs(c.tx) * c.sin_s;
    const auto label = [&](std::size_t i) {
        return make_label(c, static_cast<std::int32_t>(i) + 1, ticks[i].value, expo, 1);
    };
    // Length along the edge as it looks, in graphics x units.
    const auto along = [yx](float dx, float dy) { return std::hypot(dx, dy * yx); };

    if (!parallel) {
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            if (c.ticks) igrjoin(ticks[i].x, ticks[i].y, ticks[i].x + dtx, ticks[i].y + dty);
            if (c.labels) draw(ticks[i].x + lx, ticks[i].y + ly, label(i));
        }
        return;
    }
    float longest = 0;
    float fit = 1.7E38f;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        if (c.ticks) igrjoin(ticks[i].x, ticks[i].y, ticks[i].x + dtx, ticks[i].y + dty);
        if (!c.labels) continue;
        const float l = wgrtextlength(label(i));
        longest = std::max(longest, l);
        if (users > 0 && l > 0.0f && c.cw > 0.0f) {
            const bool next = gs().text.justification == JustLeft;
            if (next ? i + 1 < ticks.size() : i > 0) {
                const Tick& o = ticks[next ? i + 1 : i - 1];
                fit = std::min(fit, along(o.x - ticks[i].x, o.y - ticks[i].y) / (l * c.cw));
            }
        }
    }
    if (!c.labels) return;
    if (ticks.size() >= 2) {
        if (users <= 0) {
            fit_width(along(vx, vy), longest, c.cw);
        } else if (fit < char_w()) {
            yychsize(fit, char_h());
        }
    }
    for (std::size_t i = 0; i < ticks.size(); ++i) draw(ticks[i].x + lx, ticks[i].y + ly, label(i));
}

// ---------------------------------------------------------------- polar scales

void radius_scale(Call& c, float aspect) {
    const PgState& s = pgstate;
    float xc, yc, rx, ry;
    yypol(xc, yc, rx, ry);
    const bool log = s.PGYLOG == 1;
    struct Tick {
        float dist, value;
        std::int32_t decade;
        bool half, labelled;
    };
    std::vector<Tick> ticks;
    std::int32_t expo = 0, dcount = 0;
    const auto radial = [&](float v) {
        return log ? (s.PGLOGRSPAN != 0.0f ? rx * (yylog1(v) + 38.0f) / s.PGLOGRSPAN : 0.0f)
                   : (s.PGRADIUS != 0.0f ? rx * v / s.PGRADIUS : 0.0f);
    };
    if (!log) {
        float step = 0;
        std::int32_t count = 0;
        yyscpol(s.PGRADIUS, step, count, expo);
        const std::int32_t users = s.PGUSERTICKCOUNT[1];
        if (users > 0) {
            for (std::int32_t i = 0; i < std::min(users, PgMaxUserTicks); ++i) {
                const float v = s.PGUSERTICK[1][static_cast<std::size_t>(i)];
                ticks.push_back({radial(v), v, 0, false, true});
            }
        } else {
            for (std::int32_t i = 2; i <= std::min(count, MaxTicks); ++i) {
                const float v = static_cast<float>(i - 1) * step;
                ticks.push_back({radial(v), v, 0, false, true});
            }
        }
    } else {
        std::int32_t k = 1, start = 0, last = 0;
        yyslpol(s.PGRADIUS, k, dcount, start, last);
        k = std::max(k, 1);
        for (std::int32_t i = start; i <= last && ticks.size() < static_cast<std::size_t>(MaxTicks); i += k) {
            const float decade = pg_pow10(i);
            ticks.push_back({radial(decade), decade, i, false, true});
            if (dcount > 5) continue;
            for (std::int32_t m = 2; m <= 9; ++m) {
                const float v = static_cast<float>(m) * decade;
                if (v > s.PGRADIUS) break;
                ticks.push_back({radial(v), v, i, true, false});
            }
        }
    }

    const float dir = c.side == 2 ? 1.0f : -1.0f;
    float dispx = 0, dispy = 0;
    if (c.outward) {
        dispx = c.sign * c.d * c.sin_s / aspect;
        dispy = c.sign * c.d * (1.0f - c.cos_s);
    }
    const bool decades = log && !c.text;
    float longest = 0;
    float spacing = rx;
    float prev = 0.0f;
    std::int32_t j = 0;
    std::vector<std::int32_t> index(ticks.size(), 0);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const Tick& t = ticks[i];
        const float px = xc + dir * t.dist;
        if (c.ticks) {
            const float len = t.half ? 0.5f * c.ty : c.ty;
            igrjoin(px, yc, px - c.sin_s / aspect * len, yc + c.cos_s * len);
        }
        if (!c.labels || !t.labelled) continue;
        index[i] = ++j;
        spacing = std::min(spacing, std::fabs(t.dist - prev));
        prev = t.dist;
        longest = std::max(longest, decades ? wgrtextlength(exponent_text(t.decade))
                                             : wgrtextlength(make_label(c, j, t.value, expo, 0)));
    }
    if (!c.labels) return;
    const float len = decades ? decade_length(c, longest, false) : longest;
    if (j >= 2) fit_width(spacing, len * std::fabs(c.cos_t), c.cw);
    const float sizew = char_w(), sizeh = char_h();
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const Tick& t = ticks[i];
        if (!t.labelled) continue;
        const float px = xc + dir * t.dist + dispx;
        const float py = yc - c.d + dispy;
        if (decades)
            draw_decade(c, px, py, JustRight, "10", t.decade, sizew, sizeh);
        else
            draw(px, py, make_label(c, index[i], t.value, expo, 0));
    }
}

void angle_scale(Call& c, float aspect) {
    const PgState& s = pgstate;
    float xc, yc, rx, ry;
    yypol(xc, yc, rx, ry);
    std::vector<float> angles;
    const std::int32_t users = s.PGUSERTICKCOUNT[0];
    if (users > 0) {
        for (std::int32_t i = 0; i < std::min(users, PgMaxUserTicks); ++i)
            angles.push_back(s.PGUSERTICK[0][static_cast<std::size_t>(i)]);
    } else {
        for (int a = 0; a < 360; a += 30) angles.push_back(static_cast<float>(a));
    }
    for (std::size_t i = 0; i < angles.size(); ++i) {
        const float th = angles[i] / DegPerRad;
        const float ca = std::cos(th), sa = std::sin(th);
        if (c.labels)
            draw(xc + ca * (c.g / aspect + rx), yc + sa * (c.g + ry),
                 make_label(c, static_cast<std::int32_t>(i) + 1, angles[i], 0, 0));
        if (c.ticks)
            igrjoin(xc + rx * ca, yc + ry * sa, xc + (rx - c.tx / aspect) * ca, yc + (ry - c.tx) * sa);
    }
}

// Each polar scale is drawn once per device that is on, with that device's
// aspect ratio: the screen first, then hardcopy.
void polar_scale(Call& c) {
    pg_polar_passes([&c](float aspect) {
        if (c.axis == 1)
            angle_scale(c, aspect);
        else
            radius_scale(c, aspect);
    });
}

// ---------------------------------------------------------------- cell row

void cell_row(Call& c) {
    const PgState& s = pgstate;
    GraphicsState& g = gs();
    yychrot(0.0f);
    float m = 0.0f;
    for (std::string_view t : c.texts) m = std::max(m, wgrtextlength(txt_trim(t)));
    m += 1.0f;
    const bool isx = c.axis == 1;
    const float uw = g.ux2 - g.ux1, uh = g.uy2 - g.uy1;
    float w, h, near;
    if (isx) {
        w = (c.x2 - c.x1) / static_cast<float>(std::max(s.PGNSETS, 1));
        const float margin = c.side == 1 ? c.y1 - g.uy1 : g.uy2 - c.y2;
        h = std::min(c.chref * 1.5f * char_h(), std::max(margin, 0.0f));
        near = c.side == 1 ? c.y1 : c.y2;
        if (c.side == 1) h = -h;
    } else {
        const float margin = c.side == 1 ? c.x1 - g.ux1 : g.ux2 - c.x2;
        w = std::min(m * c.cw * char_w(), std::max(margin, 0.0f));
        h = (c.y2 - c.y1) / static_cast<float>(std::max(s.PGNVALUE[0], 1));
        near = c.side == 1 ? c.x1 : c.x2;
        if (c.side == 1) w = -w;
    }
    const float far = near + (isx ? h : w);

    const float fw = uw > 0.0f ? std::fabs(w) / (m * uw) : char_w();
    const float fh = uh > 0.0f ? std::fabs(h) / (uh * 1.5f) : char_h();
    if (char_w() > fw || char_h() > fh) yychsize(std::min(fw, char_w()), std::min(fh, char_h()));

    if (s.PGFLAG3 != 0) {
        g.fill_style = 4;
        IGrColourN(g.PreviousColour.in_model(g.ColourModel));
        if (near != far) {
            if (isx)
                IGrRectangle(c.x1, near, c.x2, far);
            else
                IGrRectangle(near, c.y1, far, c.y2);
        }
        IGrColourN(g.PreviousColour.in_model(g.ColourModel));
    }

    const float halfchar = 0.5f * c.cw * char_w();
    for (std::size_t i = 0; i < c.texts.size(); ++i) {
        const std::string_view t = txt_trim(c.texts[i]);
        const float at = static_cast<float>(i) + 0.5f;
        if (isx) {
            justify(JustCentre);
            draw(c.x1 + w * at, near + h / 2.0f, t);
        } else {
            justify(JustLeft);
            draw((c.side == 1 ? far : near) + halfchar, c.y2 - h * at, t);
        }
    }

    if (isx) {
        igrjoin(c.x1, near, c.x2, near);
        igrjoin(c.x1, far, c.x2, far);
        for (std::int32_t j = 0; j <= std::clamp(s.PGNSETS, 0, PgMaxSets); ++j) {
            const float x = c.x1 + w * static_cast<float>(j);
            igrjoin(x, near, x, far);
        }
    } else {
        igrjoin(near, c.y1, near, c.y2);
        igrjoin(far, c.y1, far, c.y2);
        for (std::int32_t j = 0; j <= std::clamp(s.PGNVALUE[0], 0, MaxTicks); ++j) {
            const float y = c.y1 + h * static_cast<float>(j);
            igrjoin(near, y, far, y);
        }
    }
}

// ---------------------------------------------------------------- the body

void scale_body(std::int32_t side, std::int32_t axis, bool text, std::string_view options,
                std::vector<std::string_view> texts) {
    const PgState& s = pgstate;
    GraphicsState& g = gs();
    TextState& ts = g.text;
    Call c;
    if (side == 0) side = last_side != 0 ? last_side : 1;
    last_side = side;
    last_axis = axis;
    c.axis = axis;
    c.text = text;
    c.texts = std::move(texts);
    if (text) {
        c.ticks = false;
    } else if (!txt_blank(options)) {
        const bool in = yyopt(options, 'I') != 0;
        c.ticks = in || yyopt(options, 'T') != 0;
        c.outward = !in;
        c.labels = yyopt(options, 'N') != 0;
    }
    if (axis == 1 && s.PG3DAXES != 0) side = 2;
    c.side = side;
    c.sign = side == 1 ? 1.0f : -1.0f;

    c.just = ts.justification;
    c.direction = ts.direction;
    c.angle = ts.angle;
    c.width = ts.char_width;
    c.height = ts.char_height;
    c.fill = g.fill_style;
    c.screen = g.screen_flag;
    c.hardcopy = g.hardcopy_flag;
    ts.direction = 0;

    const std::size_t ai = static_cast<std::size_t>(axis - 1);
    c.t = s.PGTEXTANGLE[ai];
    yychrot(c.t);
    float a = c.t < 0.0f ? c.t + 360.0f : c.t;
    if (axis == 3 || s.PG3DAXES == 0) a += 45.0f;
    c.q = std::clamp(pg_trunc((a - 360.0f * std::trunc(a / 360.0f)) / 90.0f), 0, 3);

    static constexpr std::int32_t L = JustLeft, C = JustCentre, R = JustRight;
    static constexpr std::array<std::array<std::int32_t, 4>, 7> table = {{
        {R, C, L, C},  // axis Z
        {L, L, L, L},  // 3-D, axis X
        {R, R, R, R},  // 3-D, axis Y
        {R, C, L, C},  // axis Y, side 1
        {L, C, R, C},  // axis Y, side 2
        {C, R, C, L},  // axis X, side 1
        {C, L, C, R},  // axis X, side 2
    }};
    std::int32_t just = JustCentre;
    if (s.PGPOLAR == 0) {
        std::size_t row = axis == 3 ? 0 : s.PG3DAXES != 0 ? (axis == 1 ? 1 : 2) : axis == 2 ? (side == 1 ? 3 : 4)
                                                                                         : (side == 1 ? 5 : 6);
        just = table[row][static_cast<std::size_t>(c.q)];
    }
    ts.justification = just;

    ipgunitstogrunits(s.PGXMIN, s.PGYMIN, c.x1, c.y1);
    ipgunitstogrunits(s.PGXMAX, s.PGYMAX, c.x2, c.y2);

    c.aspect = g.aspect_ratio > 0.0f ? g.aspect_ratio : 1.0f;
    const float sa = s.PGSCALEANGLE[ai];
    c.cos_s = std::cos(sa);
    c.sin_s = std::sin(sa);
    c.cos_t = std::cos(c.t / DegPerRad);
    c.sin_t = std::sin(c.t / DegPerRad);

    const float f = s.PGTICKLENGTH[ai] * (c.outward ? 1.0f : -1.0f);
    c.tx = (c.x1 - c.x2) * f * 0.0125f;
    c.ty = (c.y1 - c.y2) * f * 0.0125f;
    c.d = std::fabs(c.tx) * (just == JustCentre ? s.PGYSCALEPOS + 1.0f : s.PGYSCALEPOS);
    c.ylabx = c.x1 - c.d;
    c.g = (c.y1 - g.uy1) * s.PGXSCALEPOS;
    c.xlaby = c.y1 - c.g;
    c.cw = g.text_ref_range_x;
    c.chref = g.text_ref_range_y;
    c.e = c.chref * ts.char_height * s.PGTEXTGAP;

    if (s.PG3DAXES != 0) {
        if (axis == 3)
            vertical_scale(c);
        else
            base_scale(c);
    } else if (s.PGTYPE == 9) {
        if (text) cell_row(c);
    } else if (s.PGPOLAR != 0) {
        polar_scale(c);
    } else {
        flat_scale(c);
    }

    g.screen_flag = c.screen;
    g.hardcopy_flag = c.hardcopy;
    ts.direction = c.direction;
    ts.justification = c.just;
    if (ts.angle != c.angle) yychrot(c.angle);
    if (ts.char_width != c.width || ts.char_height != c.height) yychsize(c.width, c.height);
    g.fill_style = c.fill;
}

std::vector<std::string_view> texts_of(std::span<const std::string_view> texts, std::int32_t n) {
    const std::size_t k = std::min(texts.size(), static_cast<std::size_t>(std::max(n, 0)));
    return {texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(k)};
}

// n texts of `length` characters each, one after the other in the buffer;
// texts the buffer does not hold whole are not there.
std::vector<std::string_view> texts_of(std::string_view buffer, std::size_t length, std::int32_t n) {
    std::vector<std::string_view> v;
    const std::size_t held = length > 0 ? buffer.size() / length : static_cast<std::size_t>(MaxTicks);
    const std::size_t k = std::min(held, static_cast<std::size_t>(std::max(n, 0)));
    for (std::size_t i = 0; i < k; ++i) v.push_back(buffer.substr(i * length, length));
    return v;
}

}  // namespace

void ipgxscale(std::string_view options) { scale_body(1, 1, false, options, {}); }
void ipgxscaletop(std::string_view options) { scale_body(2, 1, false, options, {}); }
void ipgyscaleleft(std::string_view options) { scale_body(1, 2, false, options, {}); }
void ipgyscaleright(std::string_view options) { scale_body(2, 2, false, options, {}); }
void ipgzscale(std::string_view options) { scale_body(0, 3, false, options, {}); }

void ipgxtext(std::span<const std::string_view> texts, std::int32_t n) { scale_body(1, 1, true, {}, texts_of(texts, n)); }
void ipgxtexttop(std::span<const std::string_view> texts, std::int32_t n) { scale_body(2, 1, true, {}, texts_of(texts, n)); }
void ipgytextleft(std::span<const std::string_view> texts, std::int32_t n) { scale_body(1, 2, true, {}, texts_of(texts, n)); }
void ipgytextright(std::span<const std::string_view> texts, std::int32_t n) { scale_body(2, 2, true, {}, texts_of(texts, n)); }
void ipgztext(std::span<const std::string_view> texts, std::int32_t n) { scale_body(1, 3, true, {}, texts_of(texts, n)); }

void ipgxtext(std::string_view buffer, std::size_t length, std::int32_t n) { scale_body(1, 1, true, {}, texts_of(buffer, length, n)); }
void ipgxtexttop(std::string_view buffer, std::size_t length, std::int32_t n) { scale_body(2, 1, true, {}, texts_of(buffer, length, n)); }
void ipgytextleft(std::string_view buffer, std::size_t length, std::int32_t n) { scale_body(1, 2, true, {}, texts_of(buffer, length, n)); }
void ipgytextright(std::string_view buffer, std::size_t length, std::int32_t n) { scale_body(2, 2, true, {}, texts_of(buffer, length, n)); }
void ipgztext(std::string_view buffer, std::size_t length, std::int32_t n) { scale_body(1, 3, true, {}, texts_of(buffer, length, n)); }

void reset_pgraph_scales() {
    last_side = 0;
    last_axis = 0;
}
