// MODFLOW grids: DELR and DELC files, cell centres and the interpolation at them.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/apphooks.h"
#include "lib/dialog/dialog.h"
#include "lib/window/errors.h"
#include "platform/os_dialog.h"
#include "app/femread.h"
#include "app/griddef.h"
#include "app/interp.h"
#include "app/modflow.h"
#include "app/settings.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/window/text.h"
#include "tests/app/app_test.h"
#include "tests/app/interp_mesh.h"
#include "tools/femgen/femgen.h"

namespace {

struct Recorded {
    int plots = 0;
};
Recorded rec;


// The cell centres are marked on the recording screen device; the world
// units take in every grid of these tests.
class ModflowTest : public AppDrawTest {
protected:
    void SetUp() override {
        AppDrawTest::SetUp();
        igrcolourmodel(24);
        IGrUnits(-1000, -1000, 1000, 1000);
        rec = Recorded{};
        watch_redraws(driver, rec.plots);
        dat9 = {-1000, -1000, 1000, 1000};
    }
    // The circles the screen device received: solid, in the marking colour.
    std::vector<const DriverCall*> circles() const {
        std::vector<const DriverCall*> c;
        for (const DriverCall& call : driver.calls) {
            if (call.side != ScreenSide || (call.op != OpEllipse && call.op != OpEllipsePattern && call.op != OpEllipseSolid))
                continue;
            EXPECT_EQ(call.op, OpEllipseSolid);
            EXPECT_EQ(call.state.fill_style, 4);
            EXPECT_EQ(call.state.CurrentColour.rgb(), wrgb(0, 125, 0));
            c.push_back(&call);
        }
        return c;
    }
    // Reads the widths of a file holding the text; ierr returned.
    int read_widths(const std::string& text, int& n, ModflowArray& d, ModflowArray& c, float origin = 0) {
        const std::string name = dir_.file("widths.txt");
        write_file(name, text);
        int ierr = -1;
        delr_c(name, 1, n, d, origin, c, ierr);
        return ierr;
    }
    // A MODFLOW grid of the given widths and heights (heights from the bottom row up).
    void define(const std::vector<float>& widths, const std::vector<float>& heights, float gx0, float gy0,
                float degrees = 0) {
        dat8.gx0 = gx0;
        dat8.gy0 = gy0;
        dat12.rotang = degrees_to_rotang(degrees);
        dat16.ncol = static_cast<int>(widths.size());
        dat16.nrow = static_cast<int>(heights.size());
        for (int c = 1; c <= dat16.ncol; ++c) dat16.delr(c) = widths[static_cast<std::size_t>(c - 1)];
        for (int r = 1; r <= dat16.nrow; ++r) dat16.delc(r) = heights[static_cast<std::size_t>(r - 1)];
        int ierr = 0;
        delr_c("", 0, dat16.ncol, dat16.delr, gx0, dat16.xcen, ierr);
        delr_c("", 0, dat16.nrow, dat16.delc, gy0, dat16.ycen, ierr);
        dat8.gx1 = dat16.xcen(dat16.ncol) + 0.5f * dat16.delr(dat16.ncol);
        dat8.gy1 = dat16.ycen(dat16.nrow) + 0.5f * dat16.delc(dat16.nrow);
    }
    TempDir dir_;
};

void run() { modflow_grid(-1, 1, 0, 1, 1, 1, 1, 0); }

}  // namespace

TEST_F(ModflowTest, WidthsAndCentres) {
    int n = 0;
    ModflowArray d, c;
    ASSERT_EQ(read_widths("100 100 50\r\n", n, d, c), 0);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(c(1), 50.0f);
    EXPECT_EQ(c(2), 150.0f);
    EXPECT_EQ(c(3), 225.0f);
    // Values spread over lines of different length, blank lines between.
    int n2 = 0;
    ModflowArray d2, c2;
    ASSERT_EQ(read_widths("  100\n\n100      50  \n   \n", n2, d2, c2), 0);
    EXPECT_EQ(n2, 3);
    EXPECT_EQ(d2.a, d.a);
    EXPECT_EQ(c2.a, c.a);
    // Recomputing from another origin keeps the widths.
    int ierr = -1;
    delr_c("", 0, n, d, 1000, c, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(c(3), 1225.0f);
}

TEST_F(ModflowTest, BadFilesAreReportedAndLeaveTheGridAlone) {
    std::string many;
    for (int i = 0; i < 501; ++i) many += "1 ";
    const int bad = ExitInputError;
    struct Case { const char* name; std::string text; int ierr; } cases[] = {
        {"501 values", many, 24},     {"not a number", "10 x 20", bad}, {"comma", "10,20", bad},
        {"empty", "\n   \n", bad},   {"overflow", "1e39", bad},
        {"long line", std::string(45001, ' ') + "5", bad}};
    for (const auto& c : cases) {
        errors().clear();
        int n = 7;
        ModflowArray d, cen;
        d(1) = 3.0f;
        cen(1) = 4.0f;
        EXPECT_EQ(read_widths(c.text, n, d, cen), c.ierr) << c.name;
        EXPECT_EQ(n, 7) << c.name;
        EXPECT_EQ(d(1), 3.0f) << c.name;
        EXPECT_EQ(cen(1), 4.0f) << c.name;
        ASSERT_EQ(errors().size(), 1u) << c.name;
        if (c.ierr == 24) {
            EXPECT_EQ(errors()[0], "input error in file " + dir_.file("widths.txt") + ", line 1: max ncol/nrow 500");
        }
    }
    int n = 0, ierr = 0;
    ModflowArray d, cen;
    delr_c(dir_.file("missing.txt"), 1, n, d, 0, cen, ierr);
    EXPECT_EQ(ierr, ExitInputError);
}

TEST_F(ModflowTest, SettingsFileReadsTheGridThroughDelrC) {
    write_file(dir_.file("delr"), "100 100\n50\n");
    write_file(dir_.file("delc"), "10 20\n");
    const std::string ini = dir_.file("batch.ini");
    auto put_ini = [&](const std::string& delr) {
        write_file(ini, std::string(QUINDA_SOURCE_DIR) + "/samples/demo.fem\n    2    0\n" + delr + "\n" + dir_.file("delc") +
                            "\n        0.00000        0.00000    1\n         0\n    3\nmodflow.dat\n");
    };
    put_ini(dir_.file("delr"));
    SettingsRead r;
    ASSERT_EQ(read_settings_batch(ini, r), 0) << (errors().empty() ? "" : errors()[0]);
    EXPECT_EQ(dat16.ncol, 3);
    EXPECT_EQ(dat16.xcen(3), 225.0f);
    EXPECT_EQ(dat16.delc(1), 20.0f);   // listed from the top row down, turned round
    EXPECT_EQ(dat16.ycen(2), 25.0f);

    // More than 500 widths: the batch run ends with code 24.
    std::string many;
    for (int i = 0; i < 501; ++i) many += "2\n";
    write_file(dir_.file("many"), many);
    put_ini(dir_.file("many"));
    errors().clear();
    EXPECT_EQ(read_settings_batch(ini, r), ExitMaxColumnsRows);
    ASSERT_FALSE(errors().empty());
    EXPECT_EQ(errors().back(), "input error in file " + dir_.file("many") + ", line 501: max ncol/nrow 500");
}

TEST_F(ModflowTest, Keerom) {
    ModflowArray a;
    for (int i = 1; i <= 5; ++i) a(i) = static_cast<float>(i);
    keerom(4, a);
    EXPECT_EQ(a(1), 4.0f);
    EXPECT_EQ(a(4), 1.0f);
    EXPECT_EQ(a(5), 5.0f);
}

TEST_F(ModflowTest, LinearFieldAtCellCentres) {
    build_lattice({.nx = 11, .ny = 11, .h = 10, .jitter = 0.2f});
    set_field(3, linear);
    dat5.opton(3) = 'j';
    define({7, 13, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10}, {12, 8, 10, 10, 10, 10, 10, 10, 10, 10, 30}, 3, 2);
    // The progress bar of the progress dialog at each redraw.
    int progress = -1;
    watch_redraws(driver, rec.plots, [&progress] {
        const std::int32_t slot = yydialogfind(111);
        if (slot > 0)
            progress = static_cast<int>(os_send_message(os_get_dlg_item(dlgtab.hDialogList[static_cast<std::size_t>(slot)], 1001),
                                                        PBM_GETPOS, 0, 0));
    });
    run();
    int inside = 0;
    for (int r = 1; r <= dat16.nrow; ++r) {
        for (int c = 1; c <= dat16.ncol; ++c) {
            const float x = dat16.xcen(c), y = dat16.ycen(r), v = dat16.mfval(c, r);
            if (x > 100 || y > 100) {
                EXPECT_EQ(v, -9999.0f) << c << "," << r;
            } else {
                EXPECT_NEAR(v, linear(x, y), 2e-4f) << c << "," << r;
                ++inside;
            }
        }
    }
    EXPECT_EQ(inside, 10 * 10);
    EXPECT_EQ(static_cast<int>(circles().size()), inside);
    EXPECT_EQ(dat18.gridtype, GridModflow);
    EXPECT_EQ(dat8.nx, 100);
    EXPECT_EQ(dat8.ny, 100);
    EXPECT_NEAR(dat7.gridval(50, 50), linear(dat8.gx0 + 49 * dat8.dx, dat8.gy0 + 49 * dat8.dy), 2e-4f);
    EXPECT_EQ(leakage.iopt, 52);
    EXPECT_EQ(rec.plots, 1);
    EXPECT_EQ(progress, 100);                   // the progress dialog ran to the end
    EXPECT_EQ(yydialogfind(111), -1);           // and is gone
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(ModflowTest, LinearFieldOnRotatedCells) {
    build_lattice({.nx = 21, .ny = 21, .h = 10});
    set_field(0, linear);
    dat5.opton(0) = 'j';
    define(std::vector<float>(8, 10.0f), std::vector<float>(6, 15.0f), 60, 40, 30);
    run();
    for (int r = 1; r <= dat16.nrow; ++r) {
        for (int c = 1; c <= dat16.ncol; ++c) {
            float x = dat16.xcen(c), y = dat16.ycen(r);
            rotate(x, y, -1);
            EXPECT_NEAR(dat16.mfval(c, r), linear(x, y), 3e-4f) << c << "," << r;
        }
    }
    // The last circle sits at the last centre mapped back to the world, with
    // a quarter of the smaller cell side as its radius.
    const auto marks = circles();
    ASSERT_EQ(marks.size(), 48u);
    float x = dat16.xcen(8), y = dat16.ycen(6), xd = 0, yd = 0;
    rotate(x, y, -1);
    // In the units the circles were drawn in, before the map view's redraw.
    IGrArea(0, 0, 1, 1);
    IGrUnits(-1000, -1000, 1000, 1000);
    yye2i(x, y, xd, yd);
    EXPECT_EQ(marks.back()->args.X[0], xd);
    EXPECT_EQ(marks.back()->args.Y[0], yd);
    EXPECT_EQ(marks.back()->args.X[3], 2.5f);
}

TEST_F(ModflowTest, EveryCoveredCentreGetsItsValue) {
    // A large triangle first, under the lattice: its centres are covered
    // twice. Counting them twice would end the pass before the lattice
    // reaches the last centres.
    build_lattice({.nx = 11, .ny = 11, .h = 10});
    set_field(3, linear);
    add_triangle(1, 1, 99, 1, 1, 99, 3, 77.0f);
    // Make the large triangle element 1.
    for (int q = 1; q <= 3; ++q) {
        const int last = dat4.elnode(dat4.nelem, q);
        for (int e = dat4.nelem; e > 1; --e) dat4.elnode(e, q) = dat4.elnode(e - 1, q);
        dat4.elnode(1, q) = last;
    }
    dat5.opton(3) = 'j';
    define(std::vector<float>(9, 10.0f), std::vector<float>(9, 10.0f), 5, 5);
    run();
    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c) EXPECT_NE(dat16.mfval(c, r), -9999.0f) << c << "," << r;
    EXPECT_NEAR(dat16.mfval(9, 9), linear(90, 90), 1e-4f);
}

TEST_F(ModflowTest, ResistancesStayResistancesWithLeakanceOn) {
    build_lattice({.nx = 3, .ny = 3, .h = 10});
    set_field(0, [](float, float) { return 10.0f; });
    set_field(1, [](float, float) { return 4.0f; });
    set_field(3, [](float, float) { return 2.0f; });
    leakage.leak = 1;
    dat5.opton(1) = 'j';
    define({5, 5}, {5, 5}, 5, 5);
    run();
    EXPECT_EQ(dat16.mfval(1, 1), 4.0f);
}

TEST_F(ModflowTest, TopToBottomRowsAreWrittenTopRowFirst) {
    build_lattice({.nx = 5, .ny = 5, .h = 10});
    set_field(3, [](float, float y) { return y; });
    dat5.opton(3) = 'j';
    define({10}, {20, 10}, 0, 0);   // heights already turned: row 1 (20 high) at the bottom
    dat18.roworder = 1;
    EXPECT_EQ(dat16.ycen(1), 10.0f);
    EXPECT_EQ(dat16.ycen(2), 25.0f);
    const std::string home = dir_.path().string() + "/";
    dat19.home = txt_fixed(home, 80);
    dat19.lhome = static_cast<int>(home.size());
    modflow_grid(-1, 1, 0, 1, 1, 1, 1, 1);
    const auto lines = crlf_lines(read_file(dir_.file("h1.grd")));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "         1         2");
    EXPECT_EQ(std::stof(lines[1]), 25.0f);
    EXPECT_EQ(std::stof(lines[2]), 10.0f);
}

TEST_F(ModflowTest, NoGridIsReported) {
    build_lattice({});
    dat5.opton(3) = 'j';
    dat18.gridtype = GridModflow;
    run();
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_EQ(rec.plots, 0);
}

// ---- the covering pass against every triangle testing the centres ----

namespace {

struct MfCase {
    const char* name;
    Lattice mesh;
    std::vector<float> widths, heights;
    float gx0, gy0, degrees;
};

void PrintTo(const MfCase& c, std::ostream* os) { *os << c.name; }

class ModflowDifferential : public ModflowTest, public ::testing::WithParamInterface<MfCase> {
protected:
    // The case's mesh, three quantities and its MODFLOW grid.
    void define_case() {
        const MfCase& c = GetParam();
        build_lattice(c.mesh);
        add_awkward_triangles(3);
        set_field(0, linear);
        set_field(3, [](float x, float y) { return 0.3f * x - 7.0f * y + 1e5f; });
        set_field(4, [](float x, float y) { return std::sin(x) * y; });
        for (int k : {0, 3, 4}) dat5.opton(k) = 'j';
        define(c.widths, c.heights, c.gx0, c.gy0, c.degrees);
    }
};

}  // namespace

TEST_P(ModflowDifferential, FastEqualsPlainBitForBit) {
    define_case();
    const Dat8 grid_before = dat8;

    // The circles the device received. The plain form draws a centre again
    // for every triangle that covers it (on shared edges), and in another
    // order: the picture is the set of circles.
    const auto drawn = [this] {
        std::set<std::vector<double>> d;
        for (const DriverCall* call : circles()) {
            const DriverArguments& a = call->args;
            d.insert({double(call->op), double(a.IX[0]), double(a.IY[0]), double(a.IX[1]), double(a.IY[1]),
                      double(a.IY[2]), double(a.IY[3]), a.X[0], a.Y[0], a.X[1], a.Y[1], a.X[2], a.X[3]});
        }
        return d;
    };
    driver.clear();
    const GraphicsState graphics_before = gstate;
    modflow_grid_plain(-1, 1, 0, 1, 1, 1, 1, 0);
    const std::vector<float> mf(dat16.mfval.a.begin(), dat16.mfval.a.end());
    const std::vector<float> gv(dat7.gridval.a.begin(), dat7.gridval.a.end());
    const int plain_plots = rec.plots;
    const auto plain_circles = drawn();
    dat8 = grid_before;
    // The graphics state of the start again: the redraws set the view's units.
    gstate = graphics_before;
    dat16.mfval.a.fill(0.0f);
    dat7.gridval.a.fill(0.0f);
    rec = Recorded{};
    driver.clear();
    modflow_grid(-1, 1, 0, 1, 1, 1, 1, 0);
    ASSERT_EQ(std::memcmp(mf.data(), dat16.mfval.a.data(), mf.size() * sizeof(float)), 0);
    ASSERT_EQ(std::memcmp(gv.data(), dat7.gridval.a.data(), gv.size() * sizeof(float)), 0);
    EXPECT_EQ(rec.plots, plain_plots);
    EXPECT_FALSE(plain_circles.empty());
    EXPECT_TRUE(drawn() == plain_circles);
}

// With screen graphics off no device receives the centre circles, and the
// circle sets skip sending them: the values and the errors stay those of the
// plain pass.
TEST_P(ModflowDifferential, FastEqualsPlainWithTheScreenOff) {
    define_case();
    const Dat8 grid_before = dat8;
    const GraphicsState graphics_before = gstate;
    grlinks.screen_device = &yygapi;
    const auto pass = [&](bool plain) {
        dat8 = grid_before;
        gstate = graphics_before;
        gstate.screen_flag = 0;
        errors().clear();
        dat16.mfval.a.fill(0.0f);
        dat7.gridval.a.fill(0.0f);
        const bool done = plain ? modflow_grid_plain(-1, 1, 0, 1, 1, 1, 1, 0) : modflow_grid(-1, 1, 0, 1, 1, 1, 1, 0);
        EXPECT_TRUE(done);
        return std::make_tuple(std::vector<float>(dat16.mfval.a.begin(), dat16.mfval.a.end()),
                               std::vector<float>(dat7.gridval.a.begin(), dat7.gridval.a.end()), errors());
    };
    const auto plain = pass(true);
    const auto fast = pass(false);
    driver.attach();
    const auto& [mf, gv, plain_errors] = plain;
    ASSERT_EQ(std::memcmp(mf.data(), std::get<0>(fast).data(), mf.size() * sizeof(float)), 0);
    ASSERT_EQ(std::memcmp(gv.data(), std::get<1>(fast).data(), gv.size() * sizeof(float)), 0);
    EXPECT_EQ(plain_errors, std::get<2>(fast));
    EXPECT_TRUE(std::any_of(mf.begin(), mf.end(), [](float v) { return v != -9999.0f && v != 0.0f; }));
}

INSTANTIATE_TEST_SUITE_P(
    Meshes, ModflowDifferential,
    ::testing::Values(
        MfCase{"vertices", {.nx = 11, .ny = 11, .h = 10}, std::vector<float>(9, 10.0f), std::vector<float>(9, 10.0f),
               5, 5, 0},
        MfCase{"edges", {.nx = 9, .ny = 9, .h = 10, .alternate = true}, std::vector<float>(16, 5.0f),
               std::vector<float>(16, 5.0f), -2.5f, -2.5f, 0},
        MfCase{"beyond", {.nx = 8, .ny = 6, .h = 7, .jitter = 0.3f, .seed = 5}, {3, 9, 1, 14, 6, 30, 2, 8},
               {4, 4, 12, 5, 20, 3}, -10, -4, 0},
        MfCase{"rotated", {.nx = 12, .ny = 12, .h = 5, .jitter = 0.2f}, std::vector<float>(14, 3.5f),
               std::vector<float>(11, 4.0f), 20, 5, 35},
        MfCase{"unsorted", {.nx = 8, .ny = 8, .h = 10}, {10, 10, -15, 30, 10}, {10, 10, 10, 10}, 5, 5, 0},
        // Centres on the vertices and edges of a jittered mesh, and one float
        // step beside vertices and edges.
        MfCase{"jittered_on_centres", {.nx = 9, .ny = 9, .x0 = 600, .y0 = 700, .h = 4, .jitter = 0.35f, .seed = 11, .snap = 0.5f},
               std::vector<float>(65, 0.5f), std::vector<float>(65, 0.5f), 599.75f, 699.75f, 0},
        MfCase{"one_step_beside", {.nx = 9, .ny = 9, .x0 = 600, .y0 = 700, .h = 10}, std::vector<float>(16, 5.0f),
               std::vector<float>(16, 5.0f), std::nextafter(597.5f, 1000.0f), std::nextafter(697.5f, 0.0f), 0},
        MfCase{"jittered_rotated", {.nx = 9, .ny = 9, .h = 4, .jitter = 0.35f, .seed = 5, .snap = 0.5f},
               std::vector<float>(60, 0.5f), std::vector<float>(60, 0.5f), 1.0f, 1.0f, 30}),
    [](const ::testing::TestParamInfo<MfCase>& i) { return std::string(i.param.name); });

// Cell centres of a 10 km network of 500 unequal widths, from the file and
// recomputed: each is the exact sum of the origin, the widths before it and
// half its own, rounded once (summed in single precision the last ones were
// tenths of a metre off).
TEST_F(ModflowTest, CentresAreTheExactSumsRoundedOnce) {
    const std::vector<float> widths = femgen::spacings(500, 10007.3, true);
    const std::string file = dir_.file("delr_exact");
    ASSERT_TRUE(femgen::write_text(file, femgen::spacing_text(widths)));
    for (const float origin : {0.0f, 155000.5f}) {
        SCOPED_TRACE(origin);
        int n = 0, ierr = 0;
        ModflowArray d, cen;
        delr_c(file, 1, n, d, origin, cen, ierr);
        ASSERT_EQ(ierr, 0);
        ASSERT_EQ(n, 500);
        ModflowArray again;
        delr_c("", 0, n, d, origin, again, ierr);
        long double edge = origin;
        int off = 0;
        float single = 0;
        for (int i = 1; i <= n; ++i) {
            const auto exact = static_cast<float>(edge + static_cast<long double>(d(i)) / 2);
            EXPECT_EQ(cen(i), exact) << i;
            EXPECT_EQ(again(i), exact) << i;
            single = i == 1 ? origin + d(1) / 2 : (single + d(i - 1) / 2) + d(i) / 2;
            off += single != exact;
            edge += d(i);
        }
        // The widths are such that summing in single precision goes wrong.
        EXPECT_GT(off, 0);
    }
}
