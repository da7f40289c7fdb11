#include <array>
#include <cmath>
#include <vector>

#include "lib/graphics/colours.h"
#include "tests/pgraph/pg_fixture.h"

class PgStateTest : public PgTest {};

TEST_F(PgStateTest, InitialisationGivesTheDefaultPlot) {
    const PgState& s = pgstate;
    EXPECT_FLOAT_EQ(s.PGXLEFT, 0.1f);
    EXPECT_FLOAT_EQ(s.PGXRIGHT, 0.9f);
    EXPECT_FLOAT_EQ(s.PGYLOWER, 0.1f);
    EXPECT_FLOAT_EQ(s.PGYUPPER, 0.9f);
    EXPECT_EQ(s.PGXMIN, 0.0f);
    EXPECT_EQ(s.PGXMAX, 1.0f);
    EXPECT_EQ(s.PGWIDTH, 1.0f);
    EXPECT_EQ(s.PGHEIGHT, 1.0f);
    EXPECT_EQ(s.PGXHIGH, 1.0f);
    EXPECT_EQ(s.PGZRANGE, 1.0f);
    EXPECT_EQ(s.PGRADIUS, 1.0f);
    EXPECT_EQ(s.PGTYPE, 4);
    EXPECT_EQ(s.PGNSETS, 500);
    EXPECT_EQ(s.PGNVALUE[0], 1);
    EXPECT_EQ(s.PGNVALUE[1], 0);
    EXPECT_EQ(s.PGRNVALUE[0], 1.0f);
    EXPECT_EQ(s.PGRNSTEP[0], 0.0f);
    EXPECT_EQ(s.PGCATWIDTH, 0.25f);
    EXPECT_EQ(s.PG3D + s.PG3DAXES + s.PGPOLAR + s.PGMODE + s.PGSTYLE, 0);
    EXPECT_EQ(s.PGENDCAPACITY, 500);
    EXPECT_EQ(s.XPGEND.size(), 500u);
    EXPECT_EQ(s.PGPIECAPACITY, 0);
    // cos of the single-precision 45 degrees, not the exact root of one half.
    EXPECT_EQ(s.PGCOSROTM, 0.70710677f);
    EXPECT_EQ(s.PGCOSROTP, 0.70710677f);
    EXPECT_EQ(s.PGELEVATION, 0.5f);
    EXPECT_EQ(s.PGGRIDDIRECTION, 3);
    EXPECT_EQ(s.PGXSCALEPOS, 0.38f);
    EXPECT_EQ(s.PGYSCALEPOS, 1.5f);
    EXPECT_EQ(s.PGXLABELPOS, 0.7f);
    EXPECT_EQ(s.PGYLABELPOS, 0.8f);
    EXPECT_EQ(s.PGZLABELPOS, 0.8f);
    EXPECT_EQ(s.PGTITLEPOS, 0.5f);
    EXPECT_EQ(s.PGKEYPOS, 0.7f);
    EXPECT_EQ(s.PGDECIMALS, -1);
    EXPECT_EQ(s.PGOUTLINE, 223);
    EXPECT_EQ(s.PGSUPSIZE, 0.6f);
    EXPECT_EQ(s.PGTEXTGAP, 0.4f);
    for (float l : s.PGTICKLENGTH) EXPECT_EQ(l, 1.0f);
    EXPECT_EQ(s.PGMARKERFREQ, (std::array<std::int32_t, 2>{1, 1}));
    EXPECT_EQ(s.PGSETSTYLE[0], (std::array<std::int32_t, 3>{4, 2, 0}));
    EXPECT_EQ(s.PGSETCOLOUR[0], (std::array<std::int32_t, 2>{64, 96}));
    EXPECT_EQ(s.PGSETCOLOUR[5], (std::array<std::int32_t, 2>{32, 64}));
    EXPECT_EQ(s.PGSETMARKER[499], -1);
    EXPECT_EQ(s.PGLABELBUF.size(), 200u);
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(PgStateTest, RequestedLogAxesSurviveReinitialisation) {
    ipgunits(1.0f, 1.0f, 1000.0f, 100.0f);
    ipgscaling("LOG", "LOG");
    ipgtitlepos(0.2f);
    pg_initialise();
    EXPECT_EQ(pgstate.PGXLOGREQ, 1);
    EXPECT_EQ(pgstate.PGYLOGREQ, 1);
    EXPECT_EQ(pgstate.PGXLOG, 1);   // type 4 admits it again at once
    EXPECT_EQ(pgstate.PGLOGXMIN, -38.0f);
    EXPECT_EQ(pgstate.PGTITLEPOS, 0.5f);
}

struct UnitsCase {
    float xmin, ymin, xmax, ymax;
    float exmin, exmax, eymin, eymax, width, height, xlow, xhigh, ylow, yhigh;
    int reports;
};

TEST_F(PgStateTest, UnitsTakeReversedAxesAndRefuseEqualLimits) {
    const UnitsCase cases[] = {
        {5, 0, 5, 10, 0, 1, 0, 10, 1, 10, 0, 1, 0, 10, 1},
        {10, 0, 0, 1, 10, 0, 0, 1, -10, 1, 0, 10, 0, 1, 0},
        {-1, 2, 4, -6, -1, 4, 2, -6, 5, -8, -1, 4, -6, 2, 0},
        {3, 7, 3, 7, 0, 1, 0, 1, 1, 1, 0, 1, 0, 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.xmin << "," << c.ymin << "," << c.xmax << "," << c.ymax);
        infoerror(1);
        ipgunits(c.xmin, c.ymin, c.xmax, c.ymax);
        const PgState& s = pgstate;
        EXPECT_EQ(s.PGXMIN, c.exmin);
        EXPECT_EQ(s.PGXMAX, c.exmax);
        EXPECT_EQ(s.PGYMIN, c.eymin);
        EXPECT_EQ(s.PGYMAX, c.eymax);
        EXPECT_EQ(s.PGWIDTH, c.width);
        EXPECT_EQ(s.PGHEIGHT, c.height);
        EXPECT_EQ(s.PGXLOW, c.xlow);
        EXPECT_EQ(s.PGXHIGH, c.xhigh);
        EXPECT_EQ(s.PGYLOW, c.ylow);
        EXPECT_EQ(s.PGYHIGH, c.yhigh);
        EXPECT_EQ(infoerror(1), c.reports > 0 ? 16 : 0);
    }
}

TEST_F(PgStateTest, EqualUnitsAreReportedUnderIPgAreaOncePerPair) {
    const std::string out = captured_reports([] { ipgunits(3, 7, 3, 7); });
    ASSERT_FALSE(out.empty()) << "no list-directed report";
    EXPECT_EQ(occurrences(out, "IPgArea"), 2);
}

TEST_F(PgStateTest, ZUnitsAndPolarRadiusRefuseBadValues) {
    struct Z { float zmin, zmax, emin, emax, range; int err; };
    for (const Z& c : {Z{2, 2, 0, 1, 1, 16}, Z{3, 2, 0, 1, 1, 16}, Z{-5, 5, -5, 5, 10, 0}}) {
        infoerror(1);
        IPgUnitsZ(c.zmin, c.zmax);
        EXPECT_EQ(pgstate.PGZMIN, c.emin);
        EXPECT_EQ(pgstate.PGZMAX, c.emax);
        EXPECT_EQ(pgstate.PGZRANGE, c.range);
        EXPECT_EQ(infoerror(1), c.err);
    }
    struct R { float r, stored; int err; };
    for (const R& c : {R{0, 1, 16}, R{-2, 1, 16}, R{3, 3, 0}}) {
        infoerror(1);
        IPgUnitsPolar(c.r);
        EXPECT_EQ(pgstate.PGRADIUS, c.stored);
        EXPECT_EQ(infoerror(1), c.err);
    }
}

TEST_F(PgStateTest, AreaTakesEachEdgeOnItsOwn) {
    struct A { float l, b, r, t, el, eb, er, et; };
    const A cases[] = {
        {1.0f, 0.2f, 0.0f, 0.8f, 0.1f, 0.2f, 0.9f, 0.8f},
        {0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f},
        {-0.1f, 1.0f, 1.1f, 0.0f, 0.1f, 0.1f, 0.9f, 0.9f},
        // Left and right are not compared with each other.
        {0.7f, 0.1f, 0.3f, 0.9f, 0.7f, 0.1f, 0.3f, 0.9f},
    };
    for (const auto& c : cases) {
        yypgdefaults1();
        IPgArea(c.l, c.b, c.r, c.t);
        EXPECT_EQ(pgstate.PGXLEFT, c.el);
        EXPECT_EQ(pgstate.PGYLOWER, c.eb);
        EXPECT_EQ(pgstate.PGXRIGHT, c.er);
        EXPECT_EQ(pgstate.PGYUPPER, c.et);
    }
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(PgStateTest, SettersClampOrIgnoreOutOfRangeValues) {
    struct Case { void (*set)(float); float in; const float* item; float stored; };
    const PgState& s = pgstate;
    const Case cases[] = {
        {ipgelevation, 60.0f, &s.PGELEVATION, 1.0f},
        {ipgelevation, -5.0f, &s.PGELEVATION, 0.0f},
        {ipgelevation, 22.5f, &s.PGELEVATION, 0.5f},
        {ipgrotation, -90.0f, &s.PGROTATION, 270.0f},
        {ipgrotation, 360.0f, &s.PGROTATION, 0.0f},
        {ipgrotation, -360.0f, &s.PGROTATION, 0.0f},
        {ipgrotation, 359.5f, &s.PGROTATION, 359.5f},
        {ipgyscalepos, 2.5f, &s.PGYSCALEPOS, 2.5f},
        {ipgyscalepos, -1.0f, &s.PGYSCALEPOS, 0.0f},
        {ipgxscalepos, 2.5f, &s.PGXSCALEPOS, 1.0f},
        {ipgxscalepos, -1.0f, &s.PGXSCALEPOS, 0.0f},
        {ipgxlabelpos, 0.3f, &s.PGXLABELPOS, 0.3f},
        {ipgylabelpos, 1.5f, &s.PGYLABELPOS, 1.0f},
        {ipgzlabelpos, -0.5f, &s.PGZLABELPOS, 0.0f},
        {ipgtitlepos, 2.0f, &s.PGTITLEPOS, 1.0f},
        {ipgxkeypos, -0.5f, &s.PGKEYPOS, 0.0f},
        {ipgxticklength, -2.0f, &s.PGTICKLENGTH[0], 0.0f},
        {ipgyticklength, 0.5f, &s.PGTICKLENGTH[1], 0.5f},
        {ipgzticklength, 0.0f, &s.PGTICKLENGTH[2], 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        c.set(c.in);
        EXPECT_EQ(*c.item, c.stored);
    }
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(PgStateTest, RotationKeepsItsCosines) {
    ipgrotation(-90.0f);
    EXPECT_NEAR(pgstate.PGCOSROTM, std::cos((270.0 - 45.0) * M_PI / 180.0), 1e-6);
    EXPECT_NEAR(pgstate.PGCOSROTP, std::cos((270.0 + 45.0) * M_PI / 180.0), 1e-6);
    ipgrotation(0.0f);
    EXPECT_EQ(pgstate.PGCOSROTM, 0.70710677f);
}

TEST_F(PgStateTest, IntegerSettersAndTickPositions) {
    ipgmarkerfrequency(0, -4);
    EXPECT_EQ(pgstate.PGMARKERFREQ, (std::array<std::int32_t, 2>{1, 1}));
    ipgmarkerfrequency(3, 7);
    EXPECT_EQ(pgstate.PGMARKERFREQ, (std::array<std::int32_t, 2>{3, 7}));
    ipgconfill2granul(0);
    EXPECT_EQ(pgstate.PGGRANUL, 1);
    ipgconfill2granul(5);
    EXPECT_EQ(pgstate.PGGRANUL, 5);
    ipgmarker(501, 7);
    ipgmarker(0, 7);
    for (int m : pgstate.PGSETMARKER) ASSERT_EQ(m, -1);
    ipgmarker(500, 7);
    EXPECT_EQ(pgstate.PGSETMARKER[499], 7);
    ipggriddirection(-2);
    EXPECT_EQ(pgstate.PGGRIDDIRECTION, -2);
    ipgdecimalplaces(4);
    EXPECT_EQ(pgstate.PGDECIMALS, 4);

    ipgxtickpos(3.0f, 3.0f);
    EXPECT_EQ(pgstate.PGTICKPOSON[0], 1);
    EXPECT_EQ(pgstate.PGTICKPOS[0], (std::array<float, 2>{3.0f, 3.0f}));
    ipgxtickpos(1.0f, -1.0f);
    EXPECT_EQ(pgstate.PGTICKPOSON[0], 0);
    EXPECT_EQ(pgstate.PGTICKPOS[0], (std::array<float, 2>{3.0f, 3.0f}));
    ipgytickpos(-2.0f, 5.0f);
    EXPECT_EQ(pgstate.PGTICKPOSON[1], 1);
    EXPECT_EQ(pgstate.PGTICKPOS[1], (std::array<float, 2>{-2.0f, 5.0f}));

    ipgxscaleangle(90.0f, 30.0f);
    EXPECT_EQ(pgstate.PGSCALEANGLE[0], 90.0f * 0.017453292f);
    EXPECT_EQ(pgstate.PGTEXTANGLE[0], 30.0f);
    ipgzscaleangle(-45.0f, 10.0f);
    EXPECT_EQ(pgstate.PGTEXTANGLE[2], 10.0f);
    EXPECT_EQ(pgstate.PGTEXTANGLE[1], 0.0f);
}

TEST_F(PgStateTest, OutlineColourFollowsTheColourModel) {
    Core::defaults();
    yypali();
    // Palette model: the number, and the palette's colour of it.
    std::int32_t rgb = -1, index = -1;
    yypalg(5, rgb);
    ipgstyleoutline(5);
    EXPECT_EQ(pgstate.PGOUTLINE, 5);
    EXPECT_EQ(pgstate.PGOUTLINERGB, rgb);
    // Packed RGB model: the colour, and the nearest palette entry to it.
    Core::model = 2;
    yyrgbto8(0x0102FF, index);
    ipgstyleoutline(0x0102FF);
    EXPECT_EQ(pgstate.PGOUTLINERGB, 0x0102FF);
    EXPECT_EQ(pgstate.PGOUTLINE, index);
}

TEST_F(PgStateTest, UserTicksAreSortedAndBounded) {
    const std::vector<float> v = {5, 1, 3};
    ipgxuserscale(v, 3);
    EXPECT_EQ(pgstate.PGUSERTICKCOUNT[0], 3);
    EXPECT_EQ(pgstate.PGUSERTICK[0][0], 1.0f);
    EXPECT_EQ(pgstate.PGUSERTICK[0][1], 3.0f);
    EXPECT_EQ(pgstate.PGUSERTICK[0][2], 5.0f);
    ipgxuserscale({}, 0);
    EXPECT_EQ(pgstate.PGUSERTICKCOUNT[0], 0);
    ipgxuserscale(v, -3);
    EXPECT_LE(pgstate.PGUSERTICKCOUNT[0], 0);
    EXPECT_EQ(pgstate.PGUSERTICK[0][2], 5.0f);

    // More than 100: the first 100 are kept; the Z row and counts stay intact.
    std::vector<float> many(150);
    for (int i = 0; i < 150; ++i) many[static_cast<std::size_t>(i)] = static_cast<float>(150 - i);
    ipgzuserscale(std::vector<float>{7}, 1);
    ipgyuserscale(many, 150);
    EXPECT_EQ(pgstate.PGUSERTICKCOUNT[1], 100);
    EXPECT_EQ(pgstate.PGUSERTICK[1][0], 51.0f);
    EXPECT_EQ(pgstate.PGUSERTICK[1][99], 150.0f);
    EXPECT_EQ(pgstate.PGUSERTICKCOUNT[2], 1);
    EXPECT_EQ(pgstate.PGUSERTICK[2][0], 7.0f);

    // A count beyond the values handed over reads no further than they go.
    ipgxuserscale(v, 50);
    EXPECT_EQ(pgstate.PGUSERTICKCOUNT[0], 3);
}

TEST_F(PgStateTest, LogScalingFollowsThePlotType) {
    struct Case { const char* xs; const char* ys; int type; int style; int xlog; int ylog; };
    const Case cases[] = {
        {"LOG", "LIN", 1, 0, 0, 0},
        {"LOG", "", 4, 0, 1, 0},
        {"log", "Logarithmic", 4, 0, 1, 1},
        {"LO", "lOgX", 4, 0, 0, 1},
        {"LOG", "LOG", 2, 0, 1, 0},
        {"LOG", "LOG", 5, 1, 0, 0},   // 3-D: neither
        {"LOG", "LOG", 4, 64, 0, 1},  // polar: the radius only
    };
    const std::array<std::int32_t, 2> counts = {3, 3};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.xs << "/" << c.ys << " type " << c.type);
        ipgnewplot1(c.type, 1, counts, c.style);
        ipgunits(1.0f, 1.0f, 1000.0f, 100.0f);
        ipgscaling(c.xs, c.ys);
        EXPECT_EQ(pgstate.PGXLOG, c.xlog);
        EXPECT_EQ(pgstate.PGYLOG, c.ylog);
    }
    ipgnewplot1(4, 1, 1);
    ipgscaling("LOG", "LOG");
    EXPECT_EQ(pgstate.PGLOGXMIN, 0.0f);
    EXPECT_EQ(pgstate.PGLOGXMAX, 3.0f);
    EXPECT_EQ(pgstate.PGLOGXRANGE, 3.0f);
    EXPECT_EQ(pgstate.PGLOGYRANGE, 2.0f);
    EXPECT_EQ(pgstate.PGLOGRADIUS, 0.0f);
    EXPECT_EQ(pgstate.PGLOGRSPAN, 38.0f);
    // Linear again: the log limits keep their last values.
    ipgscaling("LIN", "LIN");
    ipgunits(0.0f, 0.0f, 5.0f, 5.0f);
    EXPECT_EQ(pgstate.PGXLOG, 0);
    EXPECT_EQ(pgstate.PGLOGXMAX, 3.0f);
    // The z units do not recompute the log state.
    ipgscaling("LOG", "LOG");
    ipgunits(1.0f, 1.0f, 10.0f, 10.0f);
    IPgUnitsZ(1.0f, 2.0f);
    EXPECT_EQ(pgstate.PGLOGXMAX, 1.0f);
}
