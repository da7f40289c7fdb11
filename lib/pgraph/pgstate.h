#pragma once
// The plot description: one record for the whole process, shared by every
// window. Item names follow the library's own names; arrays are indexed from
// 0 (axis 0 = X, 1 = Y, 2 = Z; data set i at index i - 1).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int PgMaxSets = 500;
constexpr int PgMaxUserTicks = 100;
constexpr int PgLabelBufSize = 200;

// Plot types 1..11; any other number is declared as PgLinePlot.
enum PgPlotType : std::int32_t {
    PgCategoryXPlot = 1,   // bars along x: no logarithmic x
    PgCategoryYPlot = 2,   // bars along y: no logarithmic y
    PgPiePlot = 3,
    PgLinePlot = 4,
    PgPlotType5 = 5,
    PgPlotType6 = 6,
    PgPlotType7 = 7,
    PgContourPlot = 8,
    PgPlotType9 = 9,
    PgPlotType10 = 10,
    PgPlotType11 = 11,
};

// Bits of the style word of a plot declaration.
enum PgStyleFlags : std::int32_t {
    PgStyle3D = 1,            // bit 0
    PgStyleMode1 = 4,         // bit 2
    PgStyleFlag3 = 8,         // bit 3
    PgStyleMode3 = 16,        // bit 4
    PgStyleFlag5 = 32,        // bit 5
    PgStylePolar = 64,        // bit 6
    PgStyleFlag7 = 128,       // bit 7
    PgStyleMode2 = 256,       // bit 8
    PgStyleDepthRatio = 512,  // bit 9
};

struct PgState {
    // Plot area as fractions of the graphics-unit range, and plot units.
    float PGXLEFT = 0, PGXRIGHT = 0, PGYLOWER = 0, PGYUPPER = 0;
    float PGXMIN = 0, PGXMAX = 0, PGYMIN = 0, PGYMAX = 0;
    float PGWIDTH = 0, PGHEIGHT = 0;
    float PGXLOW = 0, PGXHIGH = 0, PGYLOW = 0, PGYHIGH = 0;
    float PGZMIN = 0, PGZMAX = 0, PGZRANGE = 0;
    float PGRADIUS = 0;

    // Logarithmic axes: requested, in use, and the log limits.
    std::int32_t PGXLOGREQ = 0, PGYLOGREQ = 0;
    std::int32_t PGXLOG = 0, PGYLOG = 0;
    float PGLOGXMIN = 0, PGLOGXMAX = 0, PGLOGYMIN = 0, PGLOGYMAX = 0;
    float PGLOGRADIUS = 0;
    float PGLOGXRANGE = 0, PGLOGYRANGE = 0;
    float PGLOGRSPAN = 0;

    // 3-D view.
    float PGELEVATION = 0;
    float PGROTATION = 0;
    float PGCOSROTM = 0, PGCOSROTP = 0;
    float PGDEPTHRATIO = 0;

    // Plot declaration.
    std::int32_t PGTYPE = 0;
    std::int32_t PGNSETS = 0;
    std::array<std::int32_t, 3> PGNVALUE{};
    std::array<float, 2> PGRNVALUE{};
    std::array<float, 2> PGRNSTEP{};
    float PGCATWIDTH = 0;
    std::int32_t PGSTYLE = 0;
    std::int32_t PG3D = 0, PG3DAXES = 0, PGPOLAR = 0;
    std::int32_t PGFLAG3 = 0, PGFLAG5 = 0, PGFLAG7 = 0;
    std::int32_t PGMODE = 0;

    // Per-set storage of some plot types, obtained on demand and kept.
    std::vector<float> XPGEND, YPGEND;   // one value per set
    std::vector<float> PGPIE;            // four values per set
    std::int32_t PGENDCAPACITY = 0;
    std::int32_t PGPIECAPACITY = 0;

    // Per-axis scale settings.
    std::array<float, 3> PGSCALEANGLE{};   // radians
    std::array<float, 3> PGTEXTANGLE{};    // degrees
    std::array<float, 3> PGTICKLENGTH{};
    std::array<std::array<float, 2>, 2> PGTICKPOS{};   // [axis X/Y][bottom-left, top-right]
    std::array<std::int32_t, 2> PGTICKPOSON{};
    std::array<std::array<float, PgMaxUserTicks>, 3> PGUSERTICK{};
    std::array<std::int32_t, 3> PGUSERTICKCOUNT{};
    std::array<std::int32_t, 2> PGCATFREQ{};
    std::array<std::array<std::int32_t, PgMaxUserTicks>, 2> PGCATLIST{};
    float PGXSCALEPOS = 0;
    float PGYSCALEPOS = 0;
    std::int32_t PGDECIMALS = 0;
    float PGSUPSIZE = 0;
    float PGTEXTGAP = 0;

    // Plot furniture.
    float PGXLABELPOS = 0, PGYLABELPOS = 0, PGZLABELPOS = 0;
    float PGTITLEPOS = 0;
    float PGKEYPOS = 0;
    std::int32_t PGGRIDDIRECTION = 0;
    std::int32_t PGGRANUL = 0;
    std::array<std::int32_t, 2> PGMARKERFREQ{};
    std::int32_t PGOUTLINE = 0, PGOUTLINERGB = 0;
    std::int32_t PGWALLFILL = 0;
    std::array<std::array<std::int32_t, 2>, 3> PGWALLCOLOUR{};   // [wall 1, wall 2, base][colour]

    // Per-set data.
    std::array<std::array<std::int32_t, 3>, PgMaxSets> PGSETSTYLE{};
    std::array<std::array<std::int32_t, 2>, PgMaxSets> PGSETCOLOUR{};
    std::array<std::int32_t, PgMaxSets> PGSETMARKER{};

    // Scale label text; other subsystems use it as scratch between calls.
    std::string PGLABELBUF = std::string(PgLabelBufSize, ' ');
};

extern PgState pgstate;

// Back to the values at program start (before any graphics initialisation).
void reset_pgraph_state();
