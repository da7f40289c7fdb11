#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "lib/window/convert.h"
#include "tests/pgraph/pg_fixture.h"

class PgScaleTest : public PgTest {
protected:
    struct Result {
        float step = 0, first = 0, vstep = 0, vfirst = 0;
        std::int32_t count = -1, exponent = -99;
    };
    static Result scal(float low, float high, int catflag, int n, int axis) {
        Result r;
        yyscal(low, high, catflag, n, axis, r.step, r.first, r.count, r.exponent, r.vstep, r.vfirst);
        return r;
    }
    static std::string label(float value, int exponent, int extra = 0) {
        std::int32_t first = 0, last = 0;
        yyr2s(value, exponent, extra, first, last);
        if (first == 0) return "";
        return pgstate.PGLABELBUF.substr(static_cast<std::size_t>(first - 1),
                                         static_cast<std::size_t>(last - first + 1));
    }
};

TEST_F(PgScaleTest, NumericAxisSteps) {
    struct Case { float low, high; int axis; float step, first; int count, exponent; };
    const Case cases[] = {
        {0, 10, 1, 1, 0, 11, 1},
        {0.5f, 10, 1, 1, 1, 10, 0},
        {0, 13, 1, 2, 0, 7, 1},
        {-3.7f, 12.2f, 1, 2, -2, 8, 1},
        {0, 1, 3, 0.2f, 0, 6, 0},       // the vertical axis never takes 1
        {0, 1, 1, 0.1f, 0, 11, 0},
        {0.2f, 0.35f, 2, 0.02f, 0.2f, 8, -1},
        // Mantissas 1.3, 2.6 and 6.5 take the larger multiplier.
        {0, 1.3f, 1, 0.2f, 0, 7, 0},
        {0, 2.6f, 1, 0.5f, 0, 6, 0},
        {0, 6.5f, 1, 1, 0, 7, 0},
        // A low limit within 0.00001 steps of a multiple is the first tick.
        {1e-6f, 10, 1, 1, 1e-6f, 11, 0},
        {0.999999f, 10, 1, 1, 0.999999f, 10, 0},
        {-250, -20, 2, 20, -240, 12, 2},
        {20, 250, 2, 20, 20, 12, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.low << ".." << c.high << " axis " << c.axis);
        const Result r = scal(c.low, c.high, 0, 0, c.axis);
        EXPECT_FLOAT_EQ(r.step, c.step);
        EXPECT_NEAR(r.first, c.first, 1e-6f * std::max(1.0f, std::fabs(c.first)));
        EXPECT_EQ(r.count, c.count);
        EXPECT_EQ(r.exponent, c.exponent);
        EXPECT_EQ(r.vstep, r.step);
        EXPECT_EQ(r.vfirst, r.first);
    }
}

TEST_F(PgScaleTest, UserCountAndBarWidthAdjustments) {
    pgstate.PGUSERTICKCOUNT[0] = 4;
    Result r = scal(0, 10, 0, 0, 1);
    EXPECT_EQ(r.count, 4);
    EXPECT_EQ(r.step, 1.0f);
    r = scal(0, 10, 0, 0, 2);
    EXPECT_EQ(r.count, 11);

    // 3-D bars: the tick step shrinks to the bar, the printed values do not.
    ipgnewplot1(1, 1, 5, 1);
    ASSERT_EQ(pgstate.PG3D, 1);
    r = scal(2, 12, 0, 0, 2);
    EXPECT_FLOAT_EQ(r.step, 0.88f);
    EXPECT_FLOAT_EQ(r.first, 2.0f);
    EXPECT_EQ(r.vstep, 1.0f);
    r = scal(0.5f, 5.5f, 1, 5, 1);
    EXPECT_FLOAT_EQ(r.step, 0.88f);
    EXPECT_FLOAT_EQ(r.first, 0.5f + 0.88f * 0.5f);
}

TEST_F(PgScaleTest, CategoryAxisSteps) {
    struct Case { float low, high; int n; float step, first; int count, exponent; float vfirst, vstep; };
    const Case cases[] = {
        {0.5f, 12.5f, 12, 1, 1, 12, 1, 0.5f, 12.0f / 11},
        {0, 13, 13, 2, 0.5f, 6, 1, 0, 2.1666667f},
        {0, 100, 40, 12.5f, 1.25f, 8, 2, 0, 500.0f / 39},
        // The first value moves to a multiple of the value step.
        {1, 14, 13, 2, 1.5f + (2.1666667f - 1) * 2 / 2.1666667f, 6, 1, 2.1666667f, 2.1666667f},
        {0, 1, 1, 1, 0.5f, 2, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << " categories over " << c.low << ".." << c.high);
        const Result r = scal(c.low, c.high, 1, c.n, 1);
        EXPECT_FLOAT_EQ(r.step, c.step);
        EXPECT_FLOAT_EQ(r.first, c.first);
        EXPECT_EQ(r.count, c.count);
        EXPECT_EQ(r.exponent, c.exponent);
        EXPECT_FLOAT_EQ(r.vfirst, c.vfirst);
        EXPECT_FLOAT_EQ(r.vstep, c.vstep);
    }
    // Label intervals by category count.
    const std::array<std::array<int, 2>, 8> intervals = {
        {{12, 1}, {13, 2}, {29, 2}, {30, 5}, {69, 5}, {70, 10}, {100, 10}, {101, 20}}};
    for (const auto& iv : intervals) {
        const float n = static_cast<float>(iv[0]);
        const Result r = scal(0, n, 1, iv[0], 2);
        EXPECT_FLOAT_EQ(r.step, static_cast<float>(iv[1])) << iv[0];
    }
    // A fixed label frequency.
    pgstate.PGCATFREQ[0] = 3;
    const Result r = scal(0, 10, 1, 10, 1);
    EXPECT_EQ(r.count, 3);
    EXPECT_FLOAT_EQ(r.step, 1.0f);
    EXPECT_FLOAT_EQ(r.first, 0.5f);
    EXPECT_FLOAT_EQ(r.vstep, 10.0f / 9);
}

TEST_F(PgScaleTest, BaseAxesOf3DPlots) {
    struct Case { float low, high, step, first; int count; float range, offset; int exponent; };
    const Case cases[] = {
        {0, 10, 2, 0, 6, 5, 0, 1},
        {0.5f, 10, 1, 1, 10, 9.5f, 0.5f, 0},
        {0, 1.2f, 0.2f, 0, 7, 6, 0, 0},
        {0, 2, 0.5f, 0, 5, 4, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.low << ".." << c.high);
        float step, range, first, offset;
        std::int32_t count, exponent;
        yyscal3d(c.low, c.high, step, count, range, exponent, first, offset);
        EXPECT_FLOAT_EQ(step, c.step);
        EXPECT_FLOAT_EQ(first, c.first);
        EXPECT_EQ(count, c.count);
        EXPECT_FLOAT_EQ(range, c.range);
        EXPECT_FLOAT_EQ(offset, c.offset);
        EXPECT_EQ(exponent, c.exponent);
    }
}

TEST_F(PgScaleTest, PolarRadiusSteps) {
    struct Case { float radius, step; int count, exponent; };
    for (const Case c : {Case{10, 2, 5, 1}, Case{11, 2, 6, 1}, Case{1, 0.2f, 5, 0}, Case{0.35f, 0.1f, 4, -1}}) {
        float step;
        std::int32_t count, exponent;
        yyscpol(c.radius, step, count, exponent);
        EXPECT_FLOAT_EQ(step, c.step) << c.radius;
        EXPECT_EQ(count, c.count) << c.radius;
        EXPECT_EQ(exponent, c.exponent) << c.radius;
    }
    pgstate.PGUSERTICKCOUNT[1] = 3;
    float step;
    std::int32_t count, exponent;
    yyscpol(10, step, count, exponent);
    EXPECT_EQ(count, 3);
}

TEST_F(PgScaleTest, LogarithmicDecades) {
    struct Case { float low, high; int step, count, lowest, highest; };
    const Case cases[] = {
        {1, 1000, 1, 4, -1, 3},
        {2, 5, 1, 0, 0, 0},
        {0.01f, 1000000, 1, 9, -3, 6},
        {1e-30f, 1e30f, 7, 61, -37, 30},
        {0, 10, 4, 40, -38, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.low << ".." << c.high);
        std::int32_t step, count, lowest, highest;
        yyslog(c.low, c.high, step, count, lowest, highest);
        EXPECT_EQ(step, c.step);
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(lowest, c.lowest);
        EXPECT_EQ(highest, c.highest);
    }
    struct PolCase { float radius; int step, count, lowest, highest; };
    for (const PolCase c : {PolCase{1000, 9, 42, -29, 3}, PolCase{0.5f, 8, 38, -30, -1}, PolCase{1, 8, 39, -30, 0}}) {
        std::int32_t step, count, lowest, highest;
        yyslpol(c.radius, step, count, lowest, highest);
        EXPECT_EQ(step, c.step) << c.radius;
        EXPECT_EQ(count, c.count) << c.radius;
        EXPECT_EQ(lowest, c.lowest) << c.radius;
        EXPECT_EQ(highest, c.highest) << c.radius;
    }
}

// Ranges the normalisation cannot bring to a mantissa used to spin forever.
TEST_F(PgScaleTest, DegenerateRangesEndWithFewTicks) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Result r = scal(5, 5, 0, 0, 1);
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.first, 5.0f);
    EXPECT_TRUE(std::isfinite(r.step));
    EXPECT_EQ(scal(0, inf, 0, 0, 1).count, 0);
    EXPECT_EQ(scal(-3e38f, 3e38f, 0, 0, 2).count, 0);
    EXPECT_EQ(scal(nan, 1, 0, 0, 1).count, 0);
    EXPECT_EQ(scal(0, inf, 1, 10, 1).count, 0);
    EXPECT_EQ(scal(0, 10, 1, 0, 1).count, 2);   // no categories counts as one

    float step, range, first, offset;
    std::int32_t count, exponent;
    yyscal3d(2, 2, step, count, range, exponent, first, offset);
    EXPECT_LE(count, 1);
    yyscal3d(0, inf, step, count, range, exponent, first, offset);
    EXPECT_EQ(count, 0);
    yyscpol(0, step, count, exponent);
    EXPECT_EQ(count, 0);
    yyscpol(inf, step, count, exponent);
    EXPECT_EQ(count, 0);

    std::int32_t lstep, lcount, lowest, highest;
    yyslog(0, inf, lstep, lcount, lowest, highest);
    EXPECT_LE(lcount, 80);
    yyslpol(nan, lstep, lcount, lowest, highest);
    EXPECT_EQ(lcount, 1);

    // Tiny but ordinary ranges still get an ordinary layout.
    r = scal(1e-30f, 2e-30f, 0, 0, 1);
    EXPECT_GE(r.exponent, -31);
    EXPECT_LE(r.exponent, -30);
    EXPECT_GE(r.count, 10);
    EXPECT_LE(r.count, 12);
}

TEST_F(PgScaleTest, LabelsAreTrimmed) {
    struct Case { int decimals; float value; int exponent; int extra; const char* text; };
    const Case cases[] = {
        {-1, 0.25f, -1, 0, ".25"},
        {-1, 2.5f, 0, 0, "2.5"},
        {-1, 3.0f, 0, 0, "3"},
        {-1, -0.5f, 0, 0, "-.5"},
        {-1, -3.0f, 0, 0, "-3"},
        {-1, 150.0f, 2, 0, "150"},
        {-1, 0.25f, -1, 1, ".25"},
        {-1, 0.125f, -1, 1, ".125"},
        {-1, 0.0f, 7, 0, "0"},
        {-1, 0.0f, -3, 0, "0"},
        {-1, 0.01f, 0, 0, "0"},
        {-1, -0.01f, 0, 0, "0"},    // a negative value that rounds to zero has no sign
        {2, -0.001f, 0, 0, ".00"},
        {-1, 0.4f, 1, 0, "0"},
        {1, 2.0f, 0, 0, "2.0"},
        {2, 2.0f, 0, 0, "2.00"},
        {2, 150.0f, 2, 0, "150.00"},
        {-1, 1500000.0f, 6, 0, "1.5E+06"},
        {-1, 2.5e-7f, -7, 0, "2.5E-07"},
        {-1, 1e-9f, -7, 0, "1.000E-09"},
        {-1, -4e-6f, -5, 0, "-4.0E-06"},
        {-1, 5e-10f, -10, 0, "5.0E-10"},
        {-1, 1e-30f, -30, 0, "1.0E-30"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " e" << c.exponent << " d" << c.decimals);
        pgstate.PGDECIMALS = c.decimals;
        EXPECT_EQ(label(c.value, c.exponent, c.extra), c.text);
    }
    // The buffer is blank beyond the label.
    pgstate.PGDECIMALS = -1;
    label(0.25f, -1);
    EXPECT_EQ(pgstate.PGLABELBUF.size(), 200u);
    EXPECT_EQ(pgstate.PGLABELBUF.find_first_not_of(' ', 9), std::string::npos);
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(PgScaleTest, TheFormatsLabelsBuildAreWrittenByTheLibraryConversions) {
    // Exponent widths are written with a leading zero and read back with it.
    struct Case { float value; const char* format; std::size_t length; const char* text; };
    const Case cases[] = {
        {1500000.0f, "(1PE08.1)", 13, " 1.5E+06     "},
        {9.96f, "(1PE08.1)", 8, " 1.0E+01"},
        {0.0f, "(1PE08.1)", 8, " 0.0E+00"},
        {-123.456f, "(1PE13.6)", 13, "-1.234560E+02"},
        {3.0f, "(F9.0)", 9, "       3."},
        {-0.25f, "(F4.2)", 4, "-.25"},
    };
    for (const auto& c : cases) {
        std::string t(c.length, '?');
        IRealToString(c.value, t, c.format);
        EXPECT_EQ(t, c.text) << c.value << " " << c.format;
    }
    std::string w(2, '?');
    IntegerToString(7, w, "(I2.2)");
    EXPECT_EQ(w, "07");
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(PgScaleTest, DecimalsBeyondOneDigitGiveAValidFormat) {
    // Too many decimals for the field: the value does not fit, and the
    // label says so with asterisks instead of a broken format.
    pgstate.PGDECIMALS = 12;
    EXPECT_EQ(label(2.0f, -1), "*********");
    EXPECT_EQ(infoerror(1), 18);
    pgstate.PGDECIMALS = 15;
    EXPECT_EQ(label(1500000.0f, 6), "**********");
    // More decimals than the automatic exponent width holds.
    pgstate.PGDECIMALS = 3;
    EXPECT_EQ(label(1500000.0f, 6), "**********");
}

// A range so small that its step underflows to zero (or nearly) must not
// report an endless run of ticks; the scale body draws every one of them.
TEST_F(PgScaleTest, RangesWhoseStepUnderflowGiveFewTicks) {
    for (const float tiny : {std::numeric_limits<float>::denorm_min(), 1e-44f, 1e-42f, 1e-40f}) {
        const Result r = scal(0, tiny, 0, 0, 1);
        EXPECT_GE(r.count, 0) << tiny;
        EXPECT_LE(r.count, 12) << tiny;
        EXPECT_LE(scal(-tiny, 0, 0, 0, 3).count, 12) << tiny;

        float step, range, first, offset;
        std::int32_t count = -1, exponent;
        yyscal3d(0, tiny, step, count, range, exponent, first, offset);
        EXPECT_GE(count, 0) << tiny;
        EXPECT_LE(count, 12) << tiny;
        count = -1;
        yyscpol(tiny, step, count, exponent);
        EXPECT_GE(count, 0) << tiny;
        EXPECT_LE(count, 12) << tiny;
    }
}
