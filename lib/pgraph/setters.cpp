// Plot area, plot units, logarithmic scaling, user ticks and the small
// setters of the plot description.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "lib/pgraph/pg_core.h"
#include "lib/pgraph/pg_internal.h"
#include "lib/pgraph/pgraph.h"
#include "lib/pgraph/pgstate.h"
#include "lib/window/errors.h"

namespace {

constexpr int ErrUnitRange = 16;
// Degrees to radians as the single-precision constant the view uses.
constexpr float DegToRad = 0.017453292f;

// Value above b becomes b, then a value not above a becomes a.
float clamp_ab(float v, float a, float b) {
    if (v > b) v = b;
    if (!(v > a)) v = a;
    return v;
}

void userscale(int axis, std::span<const float> values, std::int32_t n) {
    PgState& s = pgstate;
    auto ax = static_cast<std::size_t>(axis);
    if (n <= 0) {
        s.PGUSERTICKCOUNT[ax] = n;
        return;
    }
    // Never read beyond what the caller handed over, never beyond the row.
    const std::size_t count = std::min({static_cast<std::size_t>(n),
                                        static_cast<std::size_t>(PgMaxUserTicks), values.size()});
    auto& row = s.PGUSERTICK[ax];
    std::copy_n(values.begin(), count, row.begin());
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t j = i; j < count; ++j)
            if (row[i] > row[j]) std::swap(row[i], row[j]);
    s.PGUSERTICKCOUNT[ax] = static_cast<std::int32_t>(count);
}

bool asks_log(std::string_view text) {
    char c[3] = {' ', ' ', ' '};
    for (std::size_t i = 0; i < 3 && i < text.size(); ++i)
        c[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    return c[0] == 'L' && c[1] == 'O' && c[2] == 'G';
}

void scaleangle(int axis, float angle, float textangle) {
    auto ax = static_cast<std::size_t>(axis);
    pgstate.PGSCALEANGLE[ax] = angle * DegToRad;
    pgstate.PGTEXTANGLE[ax] = textangle;
}

void tickpos(int axis, float vmin, float vmax) {
    auto ax = static_cast<std::size_t>(axis);
    if (vmax >= vmin) {
        pgstate.PGTICKPOS[ax] = {vmin, vmax};
        pgstate.PGTICKPOSON[ax] = 1;
    } else {
        pgstate.PGTICKPOSON[ax] = 0;
    }
}

void ticklength(int axis, float l) {
    pgstate.PGTICKLENGTH[static_cast<std::size_t>(axis)] = l > 0.0f ? l : 0.0f;
}

// One pair of plot-unit limits; equal limits become 0..1 with a report.
void take_limits(float vmin, float vmax, float& smin, float& smax) {
    if (vmin == vmax) {
        smin = 0.0f;
        smax = 1.0f;
        yyerror(ErrUnitRange, "IPgArea");
    } else {
        smin = vmin;
        smax = vmax;
    }
}

}  // namespace

void IPgArea(float xleft, float ylower, float xright, float yupper) {
    PgState& s = pgstate;
    if (xleft >= 0.0f && xleft < 1.0f) s.PGXLEFT = xleft;
    if (ylower >= 0.0f && ylower < 1.0f) s.PGYLOWER = ylower;
    if (xright > 0.0f && xright <= 1.0f) s.PGXRIGHT = xright;
    if (yupper > 0.0f && yupper <= 1.0f) s.PGYUPPER = yupper;
}

void ipgunits(float xmin, float ymin, float xmax, float ymax) {
    PgState& s = pgstate;
    // Only equal limits are refused: plot x and y may run backwards.
    take_limits(xmin, xmax, s.PGXMIN, s.PGXMAX);
    take_limits(ymin, ymax, s.PGYMIN, s.PGYMAX);
    s.PGWIDTH = s.PGXMAX - s.PGXMIN;
    s.PGHEIGHT = s.PGYMAX - s.PGYMIN;
    s.PGXLOW = std::min(s.PGXMIN, s.PGXMAX);
    s.PGXHIGH = std::max(s.PGXMIN, s.PGXMAX);
    s.PGYLOW = std::min(s.PGYMIN, s.PGYMAX);
    s.PGYHIGH = std::max(s.PGYMIN, s.PGYMAX);
    yyplog();
}

void IPgUnitsZ(float zmin, float zmax) {
    PgState& s = pgstate;
    if (zmin < zmax) {
        s.PGZMIN = zmin;
        s.PGZMAX = zmax;
    } else {
        s.PGZMIN = 0.0f;
        s.PGZMAX = 1.0f;
        yyerror(ErrUnitRange, "IPgUnitsZ");
    }
    s.PGZRANGE = s.PGZMAX - s.PGZMIN;
}

void IPgUnitsPolar(float r) {
    if (r > 0.0f) {
        pgstate.PGRADIUS = r;
    } else {
        pgstate.PGRADIUS = 1.0f;
        yyerror(ErrUnitRange, "IPgUnitsPolar");
    }
    yyplog();
}

void ipgscaling(std::string_view xscale, std::string_view yscale) {
    pgstate.PGXLOGREQ = asks_log(xscale) ? 1 : 0;
    pgstate.PGYLOGREQ = asks_log(yscale) ? 1 : 0;
    yyplog();
}

void yyplog() {
    PgState& s = pgstate;
    s.PGXLOG = (s.PGXLOGREQ == 1 && s.PGTYPE != 1 && s.PG3D == 0 && s.PGPOLAR == 0) ? 1 : 0;
    // A polar plot may have a logarithmic radius through the y flag.
    s.PGYLOG = (s.PGYLOGREQ == 1 && s.PGTYPE != 2 && s.PG3D == 0) ? 1 : 0;
    if (s.PGXLOG) {
        s.PGLOGXMIN = yylog1(s.PGXMIN);
        s.PGLOGXMAX = yylog1(s.PGXMAX);
        s.PGLOGXRANGE = s.PGLOGXMAX - s.PGLOGXMIN;
    }
    if (s.PGYLOG) {
        s.PGLOGYMIN = yylog1(s.PGYMIN);
        s.PGLOGYMAX = yylog1(s.PGYMAX);
        s.PGLOGYRANGE = s.PGLOGYMAX - s.PGLOGYMIN;
        s.PGLOGRADIUS = yylog1(s.PGRADIUS);
        s.PGLOGRSPAN = s.PGLOGRADIUS - (-38.0f);
    }
}

void ipgxuserscale(std::span<const float> values, std::int32_t n) { userscale(0, values, n); }
void ipgyuserscale(std::span<const float> values, std::int32_t n) { userscale(1, values, n); }
void ipgzuserscale(std::span<const float> values, std::int32_t n) { userscale(2, values, n); }

void ipgxscaleangle(float angle, float textangle) { scaleangle(0, angle, textangle); }
void ipgyscaleangle(float angle, float textangle) { scaleangle(1, angle, textangle); }
void ipgzscaleangle(float angle, float textangle) { scaleangle(2, angle, textangle); }

void ipgstyleoutline(std::int32_t colour) {
    if (pg_colour_model() == 1) {
        pgstate.PGOUTLINE = colour;
        pgstate.PGOUTLINERGB = pg_palette_rgb(colour);
    } else {
        pgstate.PGOUTLINERGB = colour;
        pgstate.PGOUTLINE = pg_rgb_to_palette(colour);
    }
}

void ipgmarker(std::int32_t iset, std::int32_t marker) {
    if (iset >= 1 && iset <= PgMaxSets) pgstate.PGSETMARKER[static_cast<std::size_t>(iset - 1)] = marker;
}

void ipggriddirection(std::int32_t code) { pgstate.PGGRIDDIRECTION = code; }

void ipgelevation(float angle) {
    pgstate.PGELEVATION = clamp_ab(angle, 0.0f, 45.0f) * 0.022222223f;
}

void ipgrotation(float angle) {
    if (angle >= 360.0f || angle <= -360.0f)
        angle = 0.0f;
    else if (angle < 0.0f)
        angle += 360.0f;
    PgState& s = pgstate;
    s.PGROTATION = angle;
    const float m = (angle - 45.0f) * DegToRad;
    const float p = (angle + 45.0f) * DegToRad;
    s.PGCOSROTM = static_cast<float>(std::cos(static_cast<double>(m)));
    s.PGCOSROTP = static_cast<float>(std::cos(static_cast<double>(p)));
}

void ipgxscalepos(float p) { pgstate.PGXSCALEPOS = clamp_ab(p, 0.0f, 1.0f); }
// No upper limit here: the default 1.5 already lies above 1.
void ipgyscalepos(float p) { pgstate.PGYSCALEPOS = p > 0.0f ? p : 0.0f; }
void ipgxlabelpos(float p) { pgstate.PGXLABELPOS = clamp_ab(p, 0.0f, 1.0f); }
void ipgylabelpos(float p) { pgstate.PGYLABELPOS = clamp_ab(p, 0.0f, 1.0f); }
void ipgzlabelpos(float p) { pgstate.PGZLABELPOS = clamp_ab(p, 0.0f, 1.0f); }
void ipgtitlepos(float p) { pgstate.PGTITLEPOS = clamp_ab(p, 0.0f, 1.0f); }
void ipgxtickpos(float vmin, float vmax) { tickpos(0, vmin, vmax); }
void ipgytickpos(float vmin, float vmax) { tickpos(1, vmin, vmax); }
void ipgxkeypos(float p) { pgstate.PGKEYPOS = clamp_ab(p, 0.0f, 1.0f); }

void ipgconfill2granul(std::int32_t n) {
    if (n > 0) pgstate.PGGRANUL = n;
}

void ipgmarkerfrequency(std::int32_t n1, std::int32_t n2) {
    pgstate.PGMARKERFREQ = {std::max(n1, 1), std::max(n2, 1)};
}

void ipgdecimalplaces(std::int32_t n) { pgstate.PGDECIMALS = n; }

void ipgxticklength(float l) { ticklength(0, l); }
void ipgyticklength(float l) { ticklength(1, l); }
void ipgzticklength(float l) { ticklength(2, l); }
