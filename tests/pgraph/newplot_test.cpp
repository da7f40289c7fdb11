#include <array>
#include <vector>

#include "tests/pgraph/pg_fixture.h"

class PgNewPlotTest : public PgTest {
protected:
    void declare(int type, int nsets, std::vector<std::int32_t> counts, int style = 0, int idef = 0) {
        ipgnewplot1(type, nsets, counts, style, idef);
    }
    static std::array<std::int32_t, 3> style_of(int set) { return pgstate.PGSETSTYLE[static_cast<std::size_t>(set - 1)]; }
    static std::array<std::int32_t, 2> colour_of(int set) { return pgstate.PGSETCOLOUR[static_cast<std::size_t>(set - 1)]; }
    static std::int32_t marker_of(int set) { return pgstate.PGSETMARKER[static_cast<std::size_t>(set - 1)]; }
};

TEST_F(PgNewPlotTest, TypeSetsAndStyleBits) {
    struct Case {
        int type, nsets;
        std::vector<std::int32_t> counts;
        int style;
        int etype, esets, e3d, eaxes, epolar, emode;
    };
    const Case cases[] = {
        {0, 0, {1}, 0, 4, 1, 0, 0, 0, 0},
        {12, 600, {1}, 0, 4, 500, 0, 0, 0, 0},
        {4, 3, {3}, 1, 4, 3, 0, 0, 0, 0},       // type 4 is never 3-D
        {2, 3, {3}, 1, 2, 3, 1, 0, 0, 0},       // 3-D without category axes in depth
        {2, 3, {3}, 65, 2, 3, 1, 0, 0, 0},      // 3-D wins over polar
        {4, 3, {3}, 65, 4, 3, 0, 0, 1, 0},      // 2-D and polar
        {1, 3, {3}, 33, 1, 3, 0, 0, 0, 0},      // bit 5 keeps type 1 flat
        {5, 3, {3, 3}, 1, 5, 3, 1, 1, 0, 0},
        {3, 3, {3}, 1, 3, 3, 0, 0, 0, 0},
        {4, 3, {3}, 260, 4, 3, 0, 0, 0, 1},     // bits 2 and 8
        {4, 3, {3}, 272, 4, 3, 0, 0, 0, 2},     // bits 4 and 8
        {4, 3, {3}, 16, 4, 3, 0, 0, 0, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " style " << c.style);
        declare(c.type, c.nsets, c.counts, c.style);
        EXPECT_EQ(pgstate.PGTYPE, c.etype);
        EXPECT_EQ(pgstate.PGNSETS, c.esets);
        EXPECT_EQ(pgstate.PG3D, c.e3d);
        EXPECT_EQ(pgstate.PG3DAXES, c.eaxes);
        EXPECT_EQ(pgstate.PGPOLAR, c.epolar);
        EXPECT_EQ(pgstate.PGMODE, c.emode);
        EXPECT_EQ(pgstate.PGSTYLE, c.style);
    }
    declare(4, 1, {1}, 8 + 32 + 128);
    EXPECT_EQ(pgstate.PGFLAG3 + pgstate.PGFLAG5 + pgstate.PGFLAG7, 3);
    ipgnewplot1(4, 1, 1);   // style absent
    EXPECT_EQ(pgstate.PGSTYLE, 0);
    EXPECT_EQ(pgstate.PGFLAG3, 0);
}

TEST_F(PgNewPlotTest, ValueCountsAndCategoryWidth) {
    struct Case {
        int type;
        std::vector<std::int32_t> counts;
        int style;
        std::array<std::int32_t, 3> nvalue;
        float catwidth;
    };
    // Each case starts from counts (1, 7, 9) left by a type 10 declaration.
    const Case cases[] = {
        {4, {0}, 0, {1, 7, 9}, 0.25f},
        {4, {5}, 0, {5, 7, 9}, 0.12f},
        {8, {1, 1}, 0, {2, 2, 9}, 0.25f},
        {10, {1, 1, 1}, 0, {2, 2, 2}, 0.25f},
        {6, {4, 9}, 1, {4, 4, 9}, 0.15f},    // types 6 and 7 take the first count twice
        {5, {4, 9}, 1, {4, 9, 9}, 0.15f},
        {5, {4, 9}, 0, {4, 7, 9}, 0.15f},    // 2-D type 5 reads one count
        {8, {}, 0, {2, 2, 9}, 0.25f},        // counts not handed over count as 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type);
        declare(10, 1, {1, 7, 9});
        ASSERT_EQ(pgstate.PGNVALUE, (std::array<std::int32_t, 3>{2, 7, 9}));
        pgstate.PGNVALUE[0] = 1;
        declare(c.type, 1, c.counts, c.style);
        EXPECT_EQ(pgstate.PGNVALUE, c.nvalue);
        EXPECT_EQ(pgstate.PGRNVALUE[0], static_cast<float>(c.nvalue[0]));
        EXPECT_EQ(pgstate.PGRNSTEP[1], static_cast<float>(c.nvalue[1] - 1));
        EXPECT_FLOAT_EQ(pgstate.PGCATWIDTH, c.catwidth);
    }
}

TEST_F(PgNewPlotTest, DepthRatio) {
    declare(5, 1, {3, 6}, 1 + 512);
    EXPECT_EQ(pgstate.PGDEPTHRATIO, 0.25f);
    declare(5, 1, {6, 3}, 1 + 512);
    EXPECT_EQ(pgstate.PGDEPTHRATIO, 0.75f);
    declare(5, 1, {6, 3}, 1);
    EXPECT_EQ(pgstate.PGDEPTHRATIO, 0.5f);
    // A 2-D declaration leaves it alone.
    declare(5, 1, {3, 6}, 1 + 512);
    declare(4, 1, {3}, 512);
    EXPECT_EQ(pgstate.PGDEPTHRATIO, 0.25f);
}

TEST_F(PgNewPlotTest, StorageGrowsAndNeverShrinks) {
    struct Step { int type, sets, pie, ends; };
    const Step steps[] = {{3, 10, 10, 500}, {3, 20, 20, 500}, {3, 5, 20, 500}, {4, 100, 20, 500}};
    for (const auto& st : steps) {
        declare(st.type, st.sets, {1});
        EXPECT_EQ(pgstate.PGPIECAPACITY, st.pie);
        EXPECT_EQ(pgstate.PGPIE.size(), static_cast<std::size_t>(4 * st.pie));
        EXPECT_EQ(pgstate.PGENDCAPACITY, st.ends);
    }
    reset_pgraph_state();
    declare(6, 30, {1});
    EXPECT_EQ(pgstate.PGENDCAPACITY, 30);
    EXPECT_EQ(pgstate.YPGEND.size(), 30u);
    EXPECT_EQ(pgstate.PGPIECAPACITY, 0);
}

TEST_F(PgNewPlotTest, LinePlotDefaultsUnderPaletteColours) {
    declare(4, 9, {1}, 0, 1);
    const std::array<std::array<std::int32_t, 2>, 6> colours = {
        {{32, 64}, {69, 101}, {107, 139}, {146, 178}, {182, 214}, {43, 75}}};
    for (int i = 1; i <= 9; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(style_of(i), (std::array<std::int32_t, 3>{-((i - 1) % 7), 1, 0}));
        EXPECT_EQ(marker_of(i), i);
        if (i <= 6) {
            EXPECT_EQ(colour_of(i), colours[static_cast<std::size_t>(i - 1)]);
        }
    }
    // Set 10 and beyond keep the initial values.
    EXPECT_EQ(style_of(10), (std::array<std::int32_t, 3>{4, 2, 0}));
    EXPECT_EQ(marker_of(10), -1);
    EXPECT_EQ(pgstate.PGXLABELPOS, 0.7f);
    EXPECT_EQ(pgstate.PGTITLEPOS, 0.5f);
}

TEST_F(PgNewPlotTest, LinePlotMarkerFrequency) {
    const std::array<std::array<int, 2>, 10> cases = {
        {{12, 1}, {13, 2}, {29, 2}, {30, 5}, {69, 5}, {70, 10}, {109, 10}, {110, 20}, {300, 50}, {1100, 200}}};
    for (const auto& c : cases) {
        declare(4, 1, {c[0]}, 0, 1);
        EXPECT_EQ(pgstate.PGMARKERFREQ, (std::array<std::int32_t, 2>{c[1], c[1]})) << c[0];
    }
    // Without defaults nothing changes.
    ipgmarkerfrequency(3, 3);
    declare(4, 1, {700});
    EXPECT_EQ(pgstate.PGMARKERFREQ[0], 3);
}

TEST_F(PgNewPlotTest, SurfaceIn3DInitialisesTwoSets) {
    declare(5, 10, {4, 4}, 1, 1);
    for (int i = 1; i <= 2; ++i) EXPECT_EQ(style_of(i)[0], 4);
    EXPECT_EQ(colour_of(1), (std::array<std::int32_t, 2>{32, 64}));
    EXPECT_EQ(colour_of(2), (std::array<std::int32_t, 2>{69, 101}));
    EXPECT_EQ(style_of(3), (std::array<std::int32_t, 3>{4, 2, 0}));
    EXPECT_EQ(colour_of(3), (std::array<std::int32_t, 2>{128, 160}));
    const PgState& s = pgstate;
    EXPECT_EQ(s.PGGRIDDIRECTION, 3);
    EXPECT_EQ(s.PGKEYPOS, 0.7f);
    EXPECT_EQ(s.PGTEXTANGLE, (std::array<float, 3>{-45.0f, 45.0f, 0.0f}));
    EXPECT_EQ(s.PGSCALEANGLE, (std::array<float, 3>{-0.78539819f, 0.78539819f, 0.0f}));
    EXPECT_EQ(s.PGCOSROTP, 0.70710677f);
    EXPECT_EQ(s.PGXLABELPOS, 0.6f);
    EXPECT_EQ(s.PGYLABELPOS, 0.6f);
    EXPECT_EQ(s.PGWALLFILL, 4);
    for (const auto& wall : s.PGWALLCOLOUR) EXPECT_EQ(wall[0], 255);

    // Mode 3: the two-colour scheme and the key further left.
    declare(5, 10, {4, 4}, 1 + 16, 1);
    EXPECT_EQ(colour_of(1)[0], 31);
    EXPECT_EQ(colour_of(2)[0], 63);
    EXPECT_EQ(s.PGKEYPOS, 0.6f);
}

TEST_F(PgNewPlotTest, ContourGranularity) {
    struct Case { std::vector<std::int32_t> counts; int style; int granul; };
    const Case cases[] = {
        {{10, 30}, 8, 5},          // bit 3, mode 0
        {{100, 200}, 16, 1},       // mode 3, at least 1
        {{10, 30}, 8 + 4, 1},      // bit 3 but mode 1: unchanged
        {{10, 30}, 0, 1},          // no bit 3: scheme without granularity
    };
    for (const auto& c : cases) {
        ipgconfill2granul(1);
        declare(8, 3, c.counts, c.style, 1);
        EXPECT_EQ(pgstate.PGGRANUL, c.granul) << c.style;
    }
    declare(8, 3, {10, 30}, 0, 1);
    EXPECT_EQ(style_of(1), (std::array<std::int32_t, 3>{0, 5, 0}));
}

TEST_F(PgNewPlotTest, PackedRgbColours) {
    Core::defaults();
    Core::model = 2;
    declare(1, 3, {1}, 0, 1);
    // Set 1: r = 223 - 32 + 7, g = 143, b = 159.
    const int g = 143, b = 159;
    EXPECT_EQ(colour_of(1)[0], 198 + 256 * g + 65536 * b);
    EXPECT_EQ(colour_of(1)[1], 57 + 256 * g + 65536 * b);
    for (int i = 1; i <= 3; ++i) {
        for (int c : colour_of(i)) {
            EXPECT_GE(c, 0);
            EXPECT_LT(c, 1 << 24);
        }
    }
    EXPECT_EQ(pgstate.PGOUTLINE, 223);
    EXPECT_EQ(pgstate.PGOUTLINERGB, 0);
    declare(5, 2, {2, 2}, 1, 1);
    EXPECT_EQ(pgstate.PGWALLCOLOUR[2][0], 8618883);
    declare(5, 2, {2, 2}, 1 + 16, 1);
    EXPECT_EQ(colour_of(1)[0], 255);
    EXPECT_EQ(colour_of(2)[0], 65535);
}

TEST_F(PgNewPlotTest, OtherSchemesAndTitlePosition) {
    declare(9, 2, {1}, 0, 1);
    EXPECT_EQ(style_of(1), (std::array<std::int32_t, 3>{0, 2, 0}));
    EXPECT_EQ(colour_of(1), (std::array<std::int32_t, 2>{223, 96}));
    EXPECT_EQ(pgstate.PGTITLEPOS, 0.75f);

    declare(7, 93, {3}, 0, 1);
    EXPECT_EQ(style_of(40)[1], 3);
    EXPECT_EQ(marker_of(40), 40);
    EXPECT_EQ(style_of(41)[1], 2);
    EXPECT_EQ(marker_of(41), 1);
    EXPECT_EQ(marker_of(92), 52);
    EXPECT_EQ(marker_of(93), 1);

    pgstate.PGWALLFILL = 4;
    declare(7, 2, {3, 3}, 1, 1);
    EXPECT_EQ(style_of(1), (std::array<std::int32_t, 3>{3, 3, 1}));
    EXPECT_EQ(marker_of(1), 14);
    EXPECT_EQ(pgstate.PGWALLFILL, 0);

    declare(6, 8, {3}, 0, 1);
    EXPECT_EQ(style_of(8), (std::array<std::int32_t, 3>{0, 0, 0}));
    declare(11, 1, {3}, 0, 1);
    EXPECT_EQ(style_of(1), (std::array<std::int32_t, 3>{4, 0, 0}));

    declare(4, 1, {3}, 64, 1);
    EXPECT_EQ(pgstate.PGTITLEPOS, 0.65f);
    // 3-D type 2 keeps the flat view angles.
    pgstate.PGTEXTANGLE = {5.0f, 5.0f, 5.0f};
    declare(2, 1, {3}, 1, 1);
    EXPECT_EQ(pgstate.PGTEXTANGLE, (std::array<float, 3>{0.0f, 0.0f, 5.0f}));
    EXPECT_EQ(pgstate.PGYLABELPOS, 0.8f);
}

TEST_F(PgNewPlotTest, SecondNameBehavesTheSame) {
    const std::array<std::int32_t, 2> counts = {6, 3};
    ipgnewplot2(5, 7, counts, 1 + 512, 1);
    const PgState a = pgstate;
    pg_initialise();
    ipgnewplot1(5, 7, counts, 1 + 512, 1);
    EXPECT_EQ(a.PGDEPTHRATIO, pgstate.PGDEPTHRATIO);
    EXPECT_EQ(a.PGSETCOLOUR, pgstate.PGSETCOLOUR);
    EXPECT_EQ(a.PGNVALUE, pgstate.PGNVALUE);
    EXPECT_EQ(infoerror(1), 0);
}
