#include "lib/pgraph/pgstate.h"

#include <cmath>

#include "lib/pgraph/pg_internal.h"
#include "lib/pgraph/pgraph.h"

PgState pgstate;

void reset_pgraph_state() {
    pgstate = PgState{};
    reset_pgraph_scales();
}

// First step of the graphics initialisation: what must stand before the
// plot units and the default plot are declared.
void yypgdefaults1() {
    PgState& s = pgstate;
    s.PGXLEFT = 0.1f;
    s.PGXRIGHT = 0.9f;
    s.PGYLOWER = 0.1f;
    s.PGYUPPER = 0.9f;
    s.PGZMIN = 0.0f;
    s.PGZMAX = 1.0f;
    s.PGZRANGE = 1.0f;
    s.PGRADIUS = 1.0f;
}

// Second step: every other value the graphics initialisation resets. Items
// kept from program start (requested log flags, log limits, depth ratio, tick
// positions, user tick values, category lists, wall colours) stay as they are.
void yypgdefaults2() {
    PgState& s = pgstate;
    // 45 degrees in radians as the single-precision constant.
    const float quarter = 0.78539819f;
    s.PGCOSROTM = static_cast<float>(std::cos(static_cast<double>(-quarter)));
    s.PGCOSROTP = static_cast<float>(std::cos(static_cast<double>(quarter)));
    s.PGGRIDDIRECTION = 3;
    s.PGELEVATION = 0.5f;
    s.PGROTATION = 0.0f;
    s.PGGRANUL = 1;
    s.PGXSCALEPOS = 0.38f;
    s.PGYSCALEPOS = 1.5f;
    s.PGXLABELPOS = 0.7f;
    s.PGYLABELPOS = 0.8f;
    s.PGZLABELPOS = 0.8f;
    s.PGTITLEPOS = 0.5f;
    s.PGKEYPOS = 0.7f;
    s.PGDECIMALS = -1;
    s.PGTICKPOSON = {0, 0};
    for (int i = 1; i <= PgMaxSets; ++i) {
        auto k = static_cast<std::size_t>(i - 1);
        s.PGSETSTYLE[k] = {4, 2, 0};
        s.PGSETCOLOUR[k] = {32 * ((i % 6) + 1), 32 * ((i % 6) + 2)};
        s.PGSETMARKER[k] = -1;
    }
    s.PGUSERTICKCOUNT = {0, 0, 0};
    s.PGSCALEANGLE = {0.0f, 0.0f, 0.0f};
    s.PGTICKLENGTH = {1.0f, 1.0f, 1.0f};
    s.PGTEXTANGLE = {0.0f, 0.0f, 0.0f};
    s.PGCATFREQ = {0, 0};
    s.PGOUTLINE = 223;
    s.PGOUTLINERGB = 0;
    s.PGWALLFILL = 0;
    s.PGMARKERFREQ = {1, 1};
    s.PGSUPSIZE = 0.6f;
    s.PGTEXTGAP = 0.4f;
}
