// The pixel tests of the printer dump: the dot-to-pixel mappings of both
// orientations, the plane and colour rules, and the word fetches of the
// sequential tests.
#include "tests/raster/raster_fixture.h"

namespace {

using RasterPixelTests = RasterTest;

// A page whose pixels are a fixed scatter of values.
std::int32_t scatter(int x, int y, int planes) { return ((x * 7 + y * 13 + x * y) % 11) & ((1 << planes) - 1); }

void fill_scatter(int planes) {
    for (int y = 0; y <= raster.rasterMaxY; ++y)
        for (int x = 0; x <= raster.rasterMaxX; ++x) yyvra1(scatter(x, y, planes), x, y);
}

struct Mapping {
    const char* name;
    PixelTest test;
    bool rotated;
    bool colour_rule;
    bool reads_selected_plane;
};

// What the dump prints for the pixel of value V in pass PLANE.
std::int32_t expected_dot(const Mapping& m, std::int32_t v, std::int32_t plane) {
    if (!m.colour_rule) return (v >> (m.reads_selected_plane ? plane : 0)) & 1;
    const bool black = (v & 7) == 7;
    if (plane < 0) return black ? 1 : 0;
    if (((v >> plane) & 1) == 0) return 0;
    return black ? 0 : 1;
}

TEST_F(RasterPixelTests, EveryTestWalksThePictureInItsOrientation) {
    const std::vector<Mapping> mappings = {
        {"yyras1", yyras1, true, false, false},  {"yyras2", yyras2, true, false, true},
        {"yyras3 upright", yyras3, false, true, true}, {"yyras3 rotated", yyras3, true, true, true},
        {"yyras4", yyras4, false, false, true}, {"yyras5", yyras5, false, false, false},
        {"yyras6", yyras6, false, false, false}, {"yyras7", yyras7, true, false, false},
        {"yyras8", yyras8, false, true, true},  {"yyras9", yyras9, true, true, true},
    };
    // 70 x 5 pixels: rows of three words, the last one partly used.
    page(70, 5, 1);
    RasterState one_plane = raster;
    std::vector<std::int32_t> one_plane_words;
    fill_scatter(1);
    one_plane_words = IRBUFF;
    // The same page with three planes.
    raster.planeCount = 3;
    raster.lastPlane = 2;
    raster.pixelDepth = 3;
    raster.storageMode = StoragePlanes;
    raster.totalWords = 3 * raster.wordsPerPlane;
    IRBUFF.assign(static_cast<std::size_t>(raster.totalWords) + 1, 0);
    fill_scatter(3);
    const RasterState three_planes = raster;
    const std::vector<std::int32_t> three_plane_words = IRBUFF;

    for (const Mapping& m : mappings) {
        SCOPED_TRACE(m.name);
        const bool planar = m.colour_rule || m.reads_selected_plane;
        raster = planar ? three_planes : one_plane;
        IRBUFF = planar ? three_plane_words : one_plane_words;
        gstate.hc.options.set(5, m.rotated ? 1 : 0);
        const int dots = m.rotated ? 5 : 70;    // along a printer line
        const int lines = m.rotated ? 70 : 5;   // printer lines
        const std::vector<std::int32_t> passes = m.colour_rule ? std::vector<std::int32_t>{-1, 0, 1, 2}
                                                 : m.reads_selected_plane ? std::vector<std::int32_t>{0, 1, 2}
                                                                          : std::vector<std::int32_t>{0};
        for (std::int32_t pass : passes) {
            raster.selectedPlane = pass;
            int wrong = 0;
            for (std::int32_t j = 0; j < lines; ++j) {
                for (std::int32_t i = 0; i < dots; ++i) {
                    const int x = m.rotated ? 69 - j : i;
                    const int y = m.rotated ? 4 - i : 4 - j;
                    std::int32_t ii = i, jj = j;
                    if (m.test(ii, jj) != expected_dot(m, scatter(x, y, planar ? 3 : 1), pass)) ++wrong;
                }
            }
            EXPECT_EQ(wrong, 0) << "pass " << pass;
        }
    }
}

TEST_F(RasterPixelTests, CornerDotsAndDotsOffThePicture) {
    // Not rotated, 99 rows: dot (0, 0) is pixel (0, 99), dot (5, 99) pixel (5, 0).
    page(10, 100, 1);
    yyvra1(1, 0, 99);
    yyvra1(1, 5, 0);
    struct Dot {
        std::int32_t i, j, printed;
    };
    for (const Dot& d : {Dot{0, 0, 1}, Dot{5, 99, 1}, Dot{0, 1, 0}, Dot{5, 98, 0}, Dot{10, 0, 0}, Dot{0, 100, 0}, Dot{-1, 0, 0}}) {
        std::int32_t i = d.i, j = d.j;
        EXPECT_EQ(yyras5(i, j), d.printed) << d.i << "," << d.j;
    }
    // Rotated 200 x 100: dot (0, 0) is pixel (199, 99), dot (99, 199) pixel (0, 0).
    page(200, 100, 1);
    yyvra1(1, 199, 99);
    yyvra1(1, 0, 0);
    for (const Dot& d : {Dot{0, 0, 1}, Dot{99, 199, 1}, Dot{1, 0, 0}, Dot{98, 199, 0}, Dot{100, 0, 0}, Dot{0, 200, 0}}) {
        std::int32_t i = d.i, j = d.j;
        EXPECT_EQ(yyras1(i, j), d.printed) << d.i << "," << d.j;
    }
    // Sequential tests walked past the end of the line answer 0 too.
    page(33, 2, 1);
    std::fill(IRBUFF.begin(), IRBUFF.end(), -1);
    std::int32_t j = 0, got = 0;
    for (std::int32_t i = 0; i < 40; ++i) got = yyras6(i, j);
    EXPECT_EQ(got, 0);
    for (std::int32_t i = 0; i < 3; ++i) got = yyras7(i, j);
    EXPECT_EQ(got, 0);
}

TEST_F(RasterPixelTests, RowTestFetchesOneWordPer32Dots) {
    page(64, 3, 1);
    raster.selectedPlane = 0;
    raster.testWordsFetched = 0;
    std::int32_t j = 1;
    for (std::int32_t i = 0; i < 64; ++i) yyras4(i, j);
    EXPECT_EQ(raster.testWordsFetched, 2);
}

TEST_F(RasterPixelTests, ColourRuleOfThreeInkPages) {
    struct Case {
        std::int32_t planes_set;  // bit p: set in plane p
        std::int32_t black, plane0, plane1, plane2;
    };
    const std::vector<Case> cases = {
        {7, 1, 0, 0, 0},  // all three inks: the black pass only
        {3, 0, 1, 1, 0},
        {4, 0, 0, 0, 1},
        {0, 0, 0, 0, 0},
    };
    page(8, 1, 4);
    raster.lastPlane = 2;
    for (const Case& c : cases) {
        yyvra1(c.planes_set, 3, 0);
        const std::array<std::int32_t, 4> want = {c.black, c.plane0, c.plane1, c.plane2};
        for (std::int32_t pass = -1; pass <= 2; ++pass) {
            raster.selectedPlane = pass;
            std::int32_t i = 3, j = 0;
            gstate.hc.options.set(5, 0);
            EXPECT_EQ(yyras3(i, j), want[static_cast<std::size_t>(pass + 1)]) << c.planes_set << " pass " << pass;
            std::int32_t got = 0;
            for (std::int32_t k = 0; k <= 3; ++k) got = yyras8(k, j);
            EXPECT_EQ(got, want[static_cast<std::size_t>(pass + 1)]) << c.planes_set << " pass " << pass;
        }
    }
}

}  // namespace
