// The plot declaration: plot type, data sets, value counts, style bits and,
// on request, the per-type defaults of the per-set data and the view.
#include <algorithm>
#include <cmath>
#include <new>

#include "lib/pgraph/pg_core.h"
#include "lib/pgraph/pg_internal.h"
#include "lib/pgraph/pgraph.h"
#include "lib/pgraph/pgstate.h"

namespace {

bool bit(std::int32_t word, int n) { return ((word >> n) & 1) != 0; }

std::int32_t value_count(std::span<const std::int32_t> nvalue, std::size_t k) {
    return k < nvalue.size() ? nvalue[k] : 0;
}

// Grows a per-set array to hold nsets sets of `per` values; the old contents
// are not kept. Storage that cannot be obtained leaves the array empty.
void grow(std::vector<float>& a, std::int32_t nsets, std::size_t per) {
    a.clear();
    a.shrink_to_fit();
    try {
        a.assign(static_cast<std::size_t>(nsets) * per, 0.0f);
    } catch (const std::bad_alloc&) {
        a.clear();
    }
}

void grow_storage() {
    PgState& s = pgstate;
    if (s.PGTYPE == 3 && s.PGPIECAPACITY < s.PGNSETS) {
        grow(s.PGPIE, s.PGNSETS, 4);
        s.PGPIECAPACITY = s.PGPIE.empty() ? 0 : s.PGNSETS;
    }
    if ((s.PGTYPE == 4 || s.PGTYPE == 6) && s.PGENDCAPACITY < s.PGNSETS) {
        grow(s.XPGEND, s.PGNSETS, 1);
        grow(s.YPGEND, s.PGNSETS, 1);
        const bool ok = !s.XPGEND.empty() && !s.YPGEND.empty();
        if (!ok) {
            s.XPGEND.clear();
            s.YPGEND.clear();
        }
        s.PGENDCAPACITY = ok ? s.PGNSETS : 0;
    }
}

// Marker frequency of a line plot: one label interval for every so many values.
std::int32_t marker_frequency(std::int32_t nvalue) {
    if (nvalue <= 12) return 1;
    std::int32_t n = nvalue;
    std::int32_t k = 0;
    while (n > 10) {
        n /= 10;
        ++k;
    }
    std::int32_t p = 1;  // 10^(k-1)
    for (std::int32_t i = 1; i < k; ++i) p *= 10;
    if (n < 3) return 2 * p;
    if (n < 7) return 5 * p;
    return 10 * p;
}

std::array<std::int32_t, 3>& style(int i) { return pgstate.PGSETSTYLE[static_cast<std::size_t>(i - 1)]; }
std::array<std::int32_t, 2>& colour(int i) { return pgstate.PGSETCOLOUR[static_cast<std::size_t>(i - 1)]; }
std::int32_t& marker(int i) { return pgstate.PGSETMARKER[static_cast<std::size_t>(i - 1)]; }

void general_colours(int sets, std::int32_t model) {
    std::int32_t c = 0;
    for (int i = 1; i <= sets; ++i) {
        if (model == 1) {
            colour(i) = {c + 32, c + 64};
            c = (c + 36 + (i % 4)) % 176;
        } else {
            const std::int32_t r = 223 - 32 * (i % 4) + (256 - i) / 32;
            const std::int32_t g = 127 + 16 * (i % 9);
            const std::int32_t b = 127 + 32 * (i % 5);
            colour(i) = {r + 256 * g + 65536 * b, (255 - r) + 256 * g + 65536 * b};
        }
    }
}

void apply_scheme(int scheme, int sets, std::int32_t model) {
    bool general = true;
    switch (scheme) {
        case 1:
            for (int i = 1; i <= sets; ++i) style(i)[0] = 4;
            break;
        case 2:
            for (int i = 1; i <= sets; ++i) {
                style(i) = {-((i - 1) % 7), 1, 0};
                marker(i) = i;
            }
            break;
        case 3:
            // Two sets only, whatever the set count.
            style(1)[0] = 4;
            style(2)[0] = 4;
            colour(1)[0] = model == 1 ? 31 : 255;
            colour(2)[0] = model == 1 ? 63 : 65535;
            general = false;
            break;
        case 4:
            for (int i = 1; i <= sets; ++i) style(i) = {-((i - 1) % 7), 0, 0};
            break;
        case 5:
            for (int i = 1; i <= sets; ++i) {
                const int m = (i - 1) % 92;
                if (m < 40) {
                    style(i)[1] = 3;
                    marker(i) = m + 1;
                } else {
                    style(i)[1] = 2;
                    marker(i) = m - 39;
                }
            }
            break;
        case 6:
            for (int i = 1; i <= sets; ++i) {
                style(i) = {3, 3, 1};
                marker(i) = (i % 14) + 13;
            }
            break;
        case 7:
            for (int i = 1; i <= sets; ++i) {
                style(i)[0] = 0;
                style(i)[1] = 2;
                colour(i)[0] = model == 1 ? 223 : 0;
            }
            general = false;
            break;
        case 8:
            for (int i = 1; i <= sets; ++i) {
                style(i)[0] = 0;
                style(i)[1] = 5;
            }
            break;
        case 9:
            for (int i = 1; i <= sets; ++i) {
                style(i)[0] = 4;
                style(i)[1] = 0;
            }
            break;
        default:
            general = false;
            break;
    }
    if (general) general_colours(sets, model);
}

// The 3-D defaults shared by types 5 and 8: scheme and set count.
void surface_3d(int& scheme, int& sets) {
    PgState& s = pgstate;
    s.PGGRIDDIRECTION = 3;
    if (s.PGMODE == 3) {
        scheme = 3;
        s.PGKEYPOS = 0.6f;
    } else {
        scheme = 1;
        s.PGKEYPOS = 0.7f;
        if (s.PGFLAG5 == 0) sets = 2;
    }
}

void type_defaults() {
    PgState& s = pgstate;
    const std::int32_t model = pg_colour_model();
    int sets = s.PGNSETS;
    int scheme = 0;
    switch (s.PGTYPE) {
        case 1:
        case 2:
        case 3:
            scheme = 1;
            s.PGOUTLINE = 223;
            s.PGOUTLINERGB = 0;
            break;
        case 4:
            scheme = 2;
            s.PGMARKERFREQ.fill(marker_frequency(s.PGNVALUE[0]));
            break;
        case 5:
            if (s.PG3D == 1)
                surface_3d(scheme, sets);
            else
                scheme = 2;
            break;
        case 6:
            scheme = 4;
            break;
        case 7:
            scheme = s.PG3D == 1 ? 6 : 5;
            break;
        case 8:
            if (s.PG3D == 1) {
                surface_3d(scheme, sets);
            } else {
                const std::int32_t g =
                    std::max<std::int32_t>(150 / std::max(s.PGNVALUE[0], s.PGNVALUE[1]), 1);
                if (s.PGMODE == 3) {
                    scheme = 3;
                    s.PGGRANUL = g;
                } else if (s.PGFLAG3 == 0) {
                    scheme = 8;
                } else {
                    scheme = 1;
                    if (s.PGMODE == 0) s.PGGRANUL = g;
                }
            }
            break;
        case 9:
            scheme = 7;
            break;
        case 10:
            scheme = 1;
            break;
        case 11:
            scheme = 9;
            break;
        default:
            break;
    }
    apply_scheme(scheme, sets, model);

    // View defaults.
    const float quarter = 0.78539819f;
    if (s.PG3D == 1 && s.PGTYPE >= 5) {
        s.PGTEXTANGLE = {-45.0f, 45.0f, 0.0f};
        s.PGSCALEANGLE = {-quarter, quarter, 0.0f};
        s.PGELEVATION = 0.5f;
        s.PGROTATION = 0.0f;
        s.PGCOSROTM = static_cast<float>(std::cos(static_cast<double>(-quarter)));
        s.PGCOSROTP = static_cast<float>(std::cos(static_cast<double>(quarter)));
        s.PGXLABELPOS = 0.6f;
        s.PGYLABELPOS = 0.6f;
        if (s.PGTYPE == 5 || s.PGTYPE == 8 || s.PGTYPE == 10) {
            s.PGWALLFILL = 4;
            const std::int32_t grey = model == 1 ? 255 : 8618883;
            for (auto& wall : s.PGWALLCOLOUR) wall[0] = grey;
        } else if (s.PGTYPE == 6 || s.PGTYPE == 7) {
            s.PGWALLFILL = 0;
        }
    } else {
        s.PGTEXTANGLE[0] = s.PGTEXTANGLE[1] = 0.0f;
        s.PGSCALEANGLE[0] = s.PGSCALEANGLE[1] = 0.0f;
        s.PGXLABELPOS = 0.7f;
        s.PGYLABELPOS = 0.8f;
    }
    if (s.PGTYPE == 9)
        s.PGTITLEPOS = 0.75f;
    else if (s.PGPOLAR == 1)
        s.PGTITLEPOS = 0.65f;
    else
        s.PGTITLEPOS = 0.5f;
}

}  // namespace

void ipgnewplot1(std::int32_t itype, std::int32_t nsets, std::span<const std::int32_t> nvalue,
                 std::optional<std::int32_t> istyle, std::optional<std::int32_t> idef) {
    PgState& s = pgstate;
    s.PGNSETS = std::clamp(nsets, 1, PgMaxSets);
    s.PGNVALUE[0] = std::max(value_count(nvalue, 0), 1);
    s.PGTYPE = (itype >= 1 && itype <= 11) ? itype : 4;
    grow_storage();

    const std::int32_t st = istyle.value_or(0);
    s.PGSTYLE = st;
    s.PG3D = bit(st, 0) ? 1 : 0;
    const bool axes_type = s.PGTYPE == 5 || s.PGTYPE == 6 || s.PGTYPE == 7 || s.PGTYPE == 8 ||
                           s.PGTYPE == 10;
    s.PG3DAXES = (s.PG3D == 1 && axes_type) ? 1 : 0;
    // Types 1 and 2 may be 3-D without category axes in depth; 3, 4, 9 and 11 never.
    if (s.PGTYPE > 2 && s.PG3DAXES == 0) s.PG3D = 0;
    s.PGFLAG3 = bit(st, 3) ? 1 : 0;
    s.PGFLAG5 = bit(st, 5) ? 1 : 0;
    s.PGFLAG7 = bit(st, 7) ? 1 : 0;
    s.PGPOLAR = bit(st, 6) ? 1 : 0;
    s.PGMODE = bit(st, 2) ? 1 : bit(st, 8) ? 2 : bit(st, 4) ? 3 : 0;
    if (s.PGTYPE == 1 && s.PGFLAG5 == 1) s.PG3D = 0;
    if (s.PG3D == 1) s.PGPOLAR = 0;

    if (s.PGTYPE == 8 || s.PGTYPE == 10 || s.PG3DAXES == 1) {
        s.PGNVALUE[0] = std::max(value_count(nvalue, 0), 2);
        if (s.PGTYPE == 6 || s.PGTYPE == 7)
            s.PGNVALUE[1] = s.PGNVALUE[0];
        else
            s.PGNVALUE[1] = std::max(value_count(nvalue, 1), 2);
        if (s.PGTYPE == 10) s.PGNVALUE[2] = std::max(value_count(nvalue, 2), 2);
    }
    for (std::size_t k = 0; k < 2; ++k) {
        s.PGRNVALUE[k] = static_cast<float>(s.PGNVALUE[k]);
        s.PGRNSTEP[k] = static_cast<float>(s.PGNVALUE[k] - 1);
    }
    if (s.PG3D == 1) {
        if (!bit(st, 9)) {
            s.PGDEPTHRATIO = 0.5f;
        } else {
            const float a = s.PGRNVALUE[0];
            const float b = s.PGRNVALUE[1];
            s.PGDEPTHRATIO = a <= b ? 0.5f * a / b : 1.0f - 0.5f * b / a;
        }
    }
    s.PGCATWIDTH = std::min(0.6f / s.PGRNVALUE[0], 0.25f);
    yyplog();

    if (idef.value_or(0) == 0) return;
    type_defaults();
}

void ipgnewplot2(std::int32_t itype, std::int32_t nsets, std::span<const std::int32_t> nvalue,
                 std::optional<std::int32_t> istyle, std::optional<std::int32_t> idef) {
    ipgnewplot1(itype, nsets, nvalue, istyle, idef);
}

void ipgnewplot1(int itype, int nsets, int nvalue, std::optional<int> istyle, std::optional<int> idef) {
    const std::int32_t counts[1] = {nvalue};
    ipgnewplot1(itype, nsets, std::span<const std::int32_t>(counts), istyle, idef);
}

void ipgnewplot2(int itype, int nsets, int nvalue, std::optional<int> istyle, std::optional<int> idef) {
    ipgnewplot1(itype, nsets, nvalue, istyle, idef);
}
