// Grid interpolation: the kernels, the regular grid and its fast covering pass.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/apphooks.h"
#include "app/griddef.h"
#include "app/interp.h"
#include "app/interp_internal.h"
#include "app/mainstate.h"
#include "lib/graphics/colours.h"
#include "lib/window/text.h"
#include "tests/app/app_test.h"
#include "tests/app/interp_mesh.h"

namespace {

struct Recorded {
    int plots = 0;
    std::vector<std::string> status;
};
Recorded rec;


class InterpTest : public AppWindowTest {
protected:
    RecordingDriver driver;
    void SetUp() override {
        AppWindowTest::SetUp();
        open();
        rec = Recorded{};
        // The recording device takes the screen side's place; each redraw also
        // records what status-bar part 3 shows at that moment.
        driver.attach();
        igrcolourmodel(24);
        watch_redraws(driver, rec.plots, [] { rec.status.push_back(AppWindowTest::status_text(3)); });
    }
};

void set_grid(float gx0, float gy0, float gx1, float gy1, int nx, int ny, float degrees = 0) {
    dat8.gx0 = gx0;
    dat8.gy0 = gy0;
    dat8.gx1 = gx1;
    dat8.gy1 = gy1;
    dat8.nx = nx;
    dat8.ny = ny;
    dat12.rotang = degrees_to_rotang(degrees);
    ASSERT_TRUE(checkgrid(0));
}

bool run_grid() { return grid(1, 1, 0, 1, 1, 0, 1, 0); }

}  // namespace

TEST(InterpKernels, ArgDirections) {
    struct Case { float x, y, deg; } cases[] = {{1, 0, 0}, {0, -1, 270}, {-1, 0, 180}, {0, 1, 90}, {-0.0f, 1, 90}};
    for (const auto& c : cases) EXPECT_EQ(arg(c.x, c.y), c.deg) << c.x << "," << c.y;
    // A negative zero component does not turn the direction to -180.
    EXPECT_EQ(arg(-1.0f, -0.0f), 180.0f);
}

TEST(InterpKernels, HoekSignedAngles) {
    struct Case { float ax, ay, bx, by, deg; } cases[] = {
        {1, 0, 0, 1, -90}, {0, 1, 1, 0, 90}, {1, 0, -1, 0, -180}, {1, 1, -1, -1, -180}};
    for (const auto& c : cases) {
        float a[2] = {c.ax, c.ay}, b[2] = {c.bx, c.by};
        EXPECT_EQ(hoek(a, b), c.deg);
    }
    float zero[2] = {0, 0}, up[2] = {0, 1};
    EXPECT_EQ(hoek(zero, up), -90.0f);
    EXPECT_EQ(zero[0], 0.1f);
    EXPECT_EQ(zero[1], 0.0f);
}

TEST(InterpKernels, InpolTriangleCases) {
    const float tri[6] = {0, 0, 10, 0, 0, 10};
    struct Case { float x, y; double s; int inside; } cases[] = {
        {1, 1, -360, 1}, {6, 6, 0, 0}, {5, 0, 0, 0}, {0, 5, -360, 1}, {20, 20, 0, 0}};
    for (const auto& c : cases) {
        int inside = -1;
        EXPECT_NEAR(inpol_sum(c.x, c.y, tri, 3), c.s, 1e-3) << c.x << "," << c.y;
        inpol(c.x, c.y, tri, inside, 3);
        EXPECT_EQ(inside, c.inside) << c.x << "," << c.y;
    }
}

TEST(InterpKernels, SharedEdgePointBelongsToOneTriangle) {
    // Two counter-clockwise triangles sharing the diagonal (0,0)-(10,10).
    const float lower[6] = {0, 0, 10, 0, 10, 10}, upper[6] = {0, 0, 10, 10, 0, 10};
    for (float t : {1.0f, 2.5f, 5.0f, 7.0f, 9.0f}) {
        int a = 0, b = 0;
        inpol(t, t, lower, a, 3);
        inpol(t, t, upper, b, 3);
        EXPECT_EQ(a + b, 1) << t;
    }
}

TEST(InterpKernels, FixyReproducesPlaneAndRefusesCollinearCorners) {
    const float xy[6] = {0, 0, 10, 0, 0, 10};
    for (int k = 0; k < 6; ++k) dat3.trixy(k + 1) = xy[k];
    for (int k = 0; k < 3; ++k) dat3.triz(k + 1) = linear(xy[2 * k], xy[2 * k + 1]);
    EXPECT_FLOAT_EQ(fixy(2, 3), linear(2, 3));
    EXPECT_FLOAT_EQ(fixy(-5, 20), linear(-5, 20));
    const float line[6] = {0, 0, 5, 5, 10, 10};
    for (int k = 0; k < 6; ++k) dat3.trixy(k + 1) = line[k];
    EXPECT_EQ(fixy(1, 1), BlankValue);
    FixyPlane p;
    EXPECT_FALSE(fixy_plane(line, xy, p));
}

TEST(InterpKernels, AutoSaveNames) {
    struct Case { int k; const char* name; } cases[] = {
        {0, "h0.grd"}, {1, "c1.grd"}, {2, "t1.grd"}, {3, "h1.grd"}, {28, "c10.grd"}, {35, "t12.grd"}, {51, "h17.grd"}};
    for (const auto& c : cases) EXPECT_EQ(autosave_name(c.k), c.name);
}

TEST_F(InterpTest, LinearFieldOnRegularGrid) {
    build_lattice({.nx = 6, .ny = 5, .h = 10});
    set_field(3, linear);
    dat5.opton(3) = 'j';
    set_grid(-5, -5, 55, 45, 13, 11);   // spacing 5: points on vertices, edges and outside
    ASSERT_TRUE(run_grid());
    for (int j = 1; j <= 11; ++j) {
        for (int i = 1; i <= 13; ++i) {
            const float x = -5 + 5.0f * static_cast<float>(i - 1), y = -5 + 5.0f * static_cast<float>(j - 1);
            const float v = dat7.gridval(i, j);
            if (x < 0 || y < 0 || x > 50 || y > 40) {
                EXPECT_EQ(v, BlankValue) << i << "," << j;
            } else if (x > 0 && y > 0 && x < 50 && y < 40) {
                EXPECT_NEAR(v, linear(x, y), 1e-4f) << i << "," << j;
            } else if (v != BlankValue) {
                EXPECT_NEAR(v, linear(x, y), 1e-4f) << i << "," << j;   // the mesh boundary
            }
        }
    }
    EXPECT_EQ(leakage.iopt, 52);
    EXPECT_EQ(rec.plots, 1);
    ASSERT_EQ(rec.status.size(), 1u);
    EXPECT_EQ(rec.status[0], "option: " + std::string(txt_trim(dat5.optitle(3))));
}

TEST_F(InterpTest, LinearFieldOnRotatedGrid) {
    build_lattice({.nx = 11, .ny = 11, .h = 10, .jitter = 0.2f});
    set_field(0, linear);
    dat5.opton(0) = 'j';
    set_grid(40, 10, 80, 50, 21, 21, 30);
    ASSERT_TRUE(run_grid());
    int inside = 0;
    for (int j = 1; j <= 21; ++j) {
        for (int i = 1; i <= 21; ++i) {
            const float v = dat7.gridval(i, j);
            if (v == BlankValue) continue;
            ++inside;
            float x = dat8.gx0 + static_cast<float>(i - 1) * dat8.dx, y = dat8.gy0 + static_cast<float>(j - 1) * dat8.dy;
            rotate(x, y, -1);
            EXPECT_NEAR(v, linear(x, y), 2e-4f) << i << "," << j;
        }
    }
    EXPECT_GT(inside, 200);
}

TEST_F(InterpTest, LaterTriangleWinsWhereTrianglesOverlap) {
    add_triangle(0, 0, 10, 0, 0, 10, 3, 1.0f);
    add_triangle(0, 0, 10, 0, 10, 10, 3, 2.0f);
    dat5.opton(3) = 'j';
    set_grid(0, 0, 10, 10, 11, 11);
    ASSERT_TRUE(run_grid());
    EXPECT_EQ(dat7.gridval(4, 2), 2.0f);   // (3, 1): in both
    EXPECT_EQ(dat7.gridval(2, 4), 1.0f);   // (1, 3): in the first only
    EXPECT_EQ(dat7.gridval(9, 8), 2.0f);   // (8, 7): in the second only
}

TEST_F(InterpTest, TrianglesLargerThanTheGridOrCrossingItAreNotSkipped) {
    // One triangle encloses the whole grid; another crosses a second grid as a band.
    add_triangle(-1000, -1000, 1000, -1000, 0, 1000, 3, 5.0f);
    dat5.opton(3) = 'j';
    set_grid(0, 0, 10, 10, 5, 5);
    ASSERT_TRUE(run_grid());
    for (int j = 1; j <= 5; ++j)
        for (int i = 1; i <= 5; ++i) EXPECT_EQ(dat7.gridval(i, j), 5.0f);

    reset_app_data();
    add_triangle(-100, 2, 100, 2, 0, 8, 3, 7.0f);   // wider than the grid, inside it in y
    dat5.opton(3) = 'j';
    set_grid(0, 0, 10, 10, 11, 11);
    ASSERT_TRUE(run_grid());
    EXPECT_EQ(dat7.gridval(6, 4), 7.0f);   // (5, 3)
    EXPECT_EQ(dat7.gridval(6, 1), BlankValue);
}

TEST_F(InterpTest, CollinearTrianglesAreSkipped) {
    add_triangle(0, 0, 10, 0, 0, 10, 3, 1.0f);
    add_triangle(0, 0, 5, 5, 10, 10, 3, 9.0f);   // no area
    dat5.opton(3) = 'j';
    set_grid(0, 0, 10, 10, 11, 11);
    ASSERT_TRUE(run_grid());
    EXPECT_EQ(dat7.gridval(2, 2), 1.0f);
    EXPECT_EQ(dat7.gridval(8, 8), BlankValue);
}

TEST_F(InterpTest, LeakanceOfTheResistanceOptions) {
    build_lattice({.nx = 3, .ny = 3, .h = 10});
    set_field(0, [](float, float) { return 10.0f; });   // reference level
    set_field(1, [](float, float) { return 4.0f; });    // resistance of the covering layer
    set_field(3, [](float, float) { return 2.0f; });    // head of aquifer 1
    leakage.leak = 1;
    dat5.opton(1) = 'j';
    set_grid(0, 0, 20, 20, 5, 5);
    ASSERT_TRUE(run_grid());
    EXPECT_FLOAT_EQ(dat7.gridval(3, 3), 2.0f);   // (10 - 2) / 4
    // A resistance of 0 at one corner gives 0 over the whole triangle.
    dat7.value(1, 1) = 0;
    ASSERT_TRUE(run_grid());
    EXPECT_EQ(dat7.gridval(2, 2), 0.0f);
    EXPECT_FLOAT_EQ(dat7.gridval(4, 4), 2.0f);
}

TEST_F(InterpTest, GridOfTooFewOrTooManyPointsIsReported) {
    build_lattice({});
    dat5.opton(3) = 'j';
    dat7.gridval(1, 1) = 42.0f;
    for (int n : {1, 0, 501}) {
        errors().clear();
        dat8.nx = n;
        dat8.ny = 5;
        EXPECT_FALSE(run_grid());
        ASSERT_EQ(errors().size(), 1u) << n;
        EXPECT_EQ(dat7.gridval(1, 1), 42.0f);
    }
    EXPECT_EQ(rec.plots, 0);

}

TEST_F(InterpTest, NoActiveOptionOnlyBlanks) {
    build_lattice({});
    set_grid(0, 0, 20, 20, 5, 5);
    dat7.gridval(2, 2) = 42.0f;
    ASSERT_TRUE(run_grid());
    EXPECT_EQ(dat7.gridval(2, 2), BlankValue);
    EXPECT_EQ(rec.plots, 0);
    EXPECT_TRUE(rec.status.empty());
}

TEST_F(InterpTest, AutoSaveWritesEachOptionToItsFile) {
    TempDir dir;
    build_lattice({});
    for (int k : {0, 28, 51}) {
        set_field(k, linear);
        dat5.opton(k) = 'j';
    }
    set_grid(0, 0, 20, 20, 5, 5);
    const std::string home = dir.path().string() + "/";
    dat19.home = txt_fixed(home, 80);
    dat19.lhome = static_cast<int>(home.size());
    ASSERT_TRUE(grid(1, 1, 0, 1, 1, 0, 1, 1));
    for (const char* name : {"h0.grd", "c10.grd", "h17.grd"}) {
        const std::string bytes = read_file(dir.file(name));
        EXPECT_EQ(bytes.substr(0, 6), "DSAA\r\n") << name;
    }
    EXPECT_EQ(rec.plots, 3);
}

TEST_F(InterpTest, CalculationChoosesTheInterpolation) {
    build_lattice({});
    set_field(3, linear);
    dat5.opton(3) = 'j';
    set_grid(0, 0, 20, 20, 5, 5);
    leakage.leak = 1;
    mainstate.mfgrid = 0;
    cmd_calculation();
    EXPECT_EQ(mainstate.showcontour, 1);
    EXPECT_EQ(dat5.optitle(4).substr(0, 8), "leakance");
    EXPECT_NEAR(dat7.gridval(3, 3), linear(10, 10), 1e-4f);
}

// ---- the fast covering pass against the plain triangle-by-triangle version ----

namespace {

struct DiffCase {
    const char* name;
    Lattice mesh;
    float gx0, gy0, gx1, gy1;
    int nx, ny;
    float degrees;
    // Some offset of a point from its triangle is not a double exactly: the
    // extended terms are held.
    bool wide = false;
};

void PrintTo(const DiffCase& c, std::ostream* os) { *os << c.name; }

class InterpDifferential : public InterpTest, public ::testing::WithParamInterface<DiffCase> {};

std::vector<float> snapshot() { return {dat7.gridval.a.begin(), dat7.gridval.a.end()}; }

// Slivers on the four sides of the second grid lines, each a few float steps
// thin, their boxes from one float step to a whole grid step beside the
// line: from the points of the line their ends subtend nearly 180 degrees.
// The covering skips lines beyond a triangle's box only where inpol refuses
// every point on them.
void add_slivers(int k) {
    const float x0 = grid_x(2), y0 = grid_y(2);
    const float hx = std::fabs(dat8.dx), hy = std::fabs(dat8.dy);
    const auto step = [](float v, float toward, int n) {
        for (int q = 0; q < n; ++q) v = std::nextafter(v, toward);
        return v;
    };
    const float inf = INFINITY;
    std::vector<float> offsets_x, offsets_y;
    for (int n : {1, 2, 5}) {
        offsets_x.push_back(step(x0, inf, n) - x0);
        offsets_y.push_back(step(y0, inf, n) - y0);
    }
    for (int e = 0; e <= 24; e += 2) {
        offsets_x.push_back(std::ldexp(hx, -e));
        offsets_y.push_back(std::ldexp(hy, -e));
    }
    for (const float d : offsets_x) {
        const float r = x0 + d, l = x0 - d;
        add_triangle(r, y0 - 2 * hy, step(r, inf, 4), y0, r, y0 + 2 * hy, k, 5.0f);
        add_triangle(l, y0 + 2 * hy, step(l, -inf, 4), y0, l, y0 - 2 * hy, k, 6.0f);
    }
    for (const float d : offsets_y) {
        const float b = y0 - d, t = y0 + d;
        add_triangle(x0 - 2 * hx, b, x0, step(b, -inf, 4), x0 + 2 * hx, b, k, 7.0f);
        add_triangle(x0 + 2 * hx, t, x0, step(t, inf, 4), x0 - 2 * hx, t, k, 8.0f);
    }
}

}  // namespace

TEST_P(InterpDifferential, FastEqualsPlainBitForBit) {
    const DiffCase& c = GetParam();
    build_lattice(c.mesh);
    add_awkward_triangles(3);
    set_field(0, linear);
    set_field(1, [](float x, float y) { return x > 25 ? 0.0f : 1.0f + 0.01f * x * y; });
    set_field(2, [](float x, float y) { return std::sin(x * 0.1f) + y; });
    set_field(3, [](float x, float y) { return 0.3f * x - 7.0f * y + 1e5f; });
    set_field(4, [](float x, float y) { return x * 1e-3f - y; });
    set_field(6, [](float, float y) { return y * y; });
    leakage.leak = 1;
    dat8.gx0 = c.gx0;
    dat8.gy0 = c.gy0;
    dat8.gx1 = c.gx1;
    dat8.gy1 = c.gy1;
    dat8.nx = c.nx;
    dat8.ny = c.ny;
    dat12.rotang = degrees_to_rotang(c.degrees);
    ASSERT_TRUE(checkgrid(0));
    // In the grid's own frame only: a rotation would move them off their lines.
    if (c.degrees == 0) add_slivers(3);

    // Several quantities share the covering; one alone is filled straight
    // from the covering triangles. Each set leaves its last quantity's grid.
    std::vector<float> fast;
    for (const std::vector<int>& options : std::vector<std::vector<int>>{{0, 1, 3, 4}, {0}, {1}, {3}, {4}}) {
        SCOPED_TRACE("options " + std::to_string(options.size()) + " from " + std::to_string(options[0]));
        for (int k = 0; k < NumGridOptions; ++k) dat5.opton(k) = 'n';
        for (int k : options) dat5.opton(k) = 'j';
        rec = Recorded{};
        ASSERT_TRUE(grid_plain(1, 1, 0, 1, 1, 0, 1, 0));
        const std::vector<float> plain = snapshot();
        const Recorded plain_rec = rec;
        rec = Recorded{};
        dat7.gridval.a.fill(0.0f);
        ASSERT_TRUE(grid(1, 1, 0, 1, 1, 0, 1, 0));
        fast = snapshot();
        ASSERT_EQ(std::memcmp(plain.data(), fast.data(), plain.size() * sizeof(float)), 0);
        EXPECT_EQ(rec.plots, plain_rec.plots);
        EXPECT_EQ(rec.status, plain_rec.status);
    }
    int covered = 0;
    for (float v : fast) covered += v != BlankValue;
    EXPECT_GT(covered, 0);

    // The covering triangle of every point, against inpol alone over every
    // triangle (the later one winning), not only the values.
    Coverage cov;
    cover_regular_grid(cov, c.nx, c.ny);
    Coverage::Scratch<std::int32_t> owner(cov.owner.size(), 0);
    const float cs = std::cos(dat12.rotang), sn = std::sin(dat12.rotang);
    for (int e = 1; e <= dat4.nelem; ++e) {
        float xy[6];
        if (!element_corners(e, xy, cs, sn) || !usable_triangle(xy)) continue;
        for (int j = 1; j <= c.ny; ++j)
            for (int i = 1; i <= c.nx; ++i) {
                float poly[6];
                std::copy(xy, xy + 6, poly);
                int inside = 0;
                inpol(grid_x(i), grid_y(j), poly, inside, 3);
                if (inside) owner[static_cast<std::size_t>((j - 1) * c.nx + (i - 1))] = e;
            }
    }
    EXPECT_EQ(cov.owner, owner);
    EXPECT_EQ(cov.is_wide, c.wide);
}

INSTANTIATE_TEST_SUITE_P(
    Meshes, InterpDifferential,
    ::testing::Values(
        // Grid points on every vertex, edge midpoint and diagonal of the lattice.
        DiffCase{"vertices", {.nx = 6, .ny = 6, .h = 10}, 0, 0, 50, 50, 21, 21, 0},
        DiffCase{"alternate", {.nx = 7, .ny = 5, .h = 10, .alternate = true}, -10, -10, 70, 50, 33, 25, 0},
        DiffCase{"jittered", {.nx = 9, .ny = 8, .h = 5, .jitter = 0.3f, .seed = 7}, 0, 0, 40, 35, 57, 41, 0},
        DiffCase{"rotated", {.nx = 8, .ny = 8, .h = 6, .jitter = 0.2f, .seed = 3}, 10, -5, 50, 30, 40, 37, 30},
        DiffCase{"quarter turn", {.nx = 6, .ny = 6, .h = 10}, 0, 0, 50, -50, 21, 21, 90},
        DiffCase{"reversed", {.nx = 6, .ny = 6, .h = 10}, 50, 50, 0, 0, 21, 21, 0},
        DiffCase{"coarse", {.nx = 12, .ny = 12, .h = 3, .jitter = 0.25f}, -3, -3, 40, 40, 4, 3, 0},
        DiffCase{"offset", {.nx = 10, .ny = 10, .x0 = 1000, .y0 = 2000, .h = 2.5f}, 1000, 2000, 1022.5f, 2022.5f, 46,
                 46, 12},
        // Jittered nodes on grid points, so that grid points lie on vertices
        // and on edges of an irregular mesh; then the same grid one float
        // step beside them, and rotated.
        DiffCase{"jittered on points", {.nx = 9, .ny = 9, .x0 = 1000, .y0 = 2000, .h = 4, .jitter = 0.35f, .seed = 11, .snap = 0.5f},
                 1000, 2000, 1032, 2032, 65, 65, 0},
        DiffCase{"one step beside", {.nx = 9, .ny = 9, .x0 = 1000, .y0 = 2000, .h = 4, .jitter = 0.35f, .seed = 11, .snap = 0.5f},
                 std::nextafter(1000.0f, 2000.0f), std::nextafter(2000.0f, 0.0f), std::nextafter(1032.0f, 2000.0f),
                 std::nextafter(2032.0f, 0.0f), 65, 65, 0},
        DiffCase{"one step below", {.nx = 9, .ny = 9, .x0 = 1000, .y0 = 2000, .h = 4, .jitter = 0.35f, .seed = 11, .snap = 0.5f},
                 std::nextafter(1000.0f, 0.0f), std::nextafter(2000.0f, 3000.0f), std::nextafter(1032.0f, 0.0f),
                 std::nextafter(2032.0f, 3000.0f), 65, 65, 0},
        DiffCase{"jittered rotated", {.nx = 9, .ny = 9, .h = 4, .jitter = 0.35f, .seed = 5, .snap = 0.5f}, 0, 0, 32, 32,
                 65, 65, 45},
        // A grid point at 2^-58 inside a triangle with corners at -0.5: its
        // offset from the corner needs more bits than a double has.
        DiffCase{"tiny origin", {.nx = 8, .ny = 8, .x0 = -20.5f, .y0 = -20.5f, .h = 5}, std::ldexp(1.0f, -58),
                 std::ldexp(1.0f, -58), 10, 10, 23, 23, 0, true}),
    [](const ::testing::TestParamInfo<DiffCase>& i) {
        std::string n = i.param.name;
        for (char& ch : n)
            if (ch == ' ') ch = '_';
        return n;
    });

// The quick decision of inpol3 against the angle sum alone, at the points
// where the two could part: vertices, points on edges (exactly, as far as
// single precision holds them), one float step beside each of these in every
// direction, and points near the edges, for triangles of every size, place
// and orientation.
TEST(InterpKernels, QuickPointTestAgreesWithTheAngleSum) {
    struct Tri {
        const char* name;
        float xy[6];
    };
    const Tri tris[] = {
        {"right angle", {0, 0, 10, 0, 0, 10}},
        {"clockwise", {0, 0, 0, 10, 10, 0}},
        {"far from the origin", {155000.3f, 463000.7f, 155010.3f, 463000.2f, 155004.1f, 463009.9f}},
        {"sliver", {0, 0, 100, 0.01f, 50, 0.02f}},
        {"tiny", {1e-20f, 1e-20f, 3e-20f, 1e-20f, 2e-20f, 4e-20f}},
        {"huge", {-1e25f, -1e25f, 3e25f, -1e25f, 1e25f, 2e25f}},
        {"near float limits", {-1e38f, -1e38f, 1e38f, -1e38f, 0, 1e38f}},
        {"jittered", {3.17f, 2.71f, 13.9f, 4.02f, 7.77f, 12.5f}},
    };
    std::uint32_t seed = 99;
    const auto random01 = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
    };
    int points = 0;
    for (const Tri& t : tris) {
        std::vector<std::pair<float, float>> at;
        for (int k = 0; k < 3; ++k) {
            const float ax = t.xy[2 * k], ay = t.xy[2 * k + 1];
            const float bx = t.xy[(2 * k + 2) % 6], by = t.xy[(2 * k + 3) % 6];
            at.emplace_back(ax, ay);
            for (int q = 1; q < 16; ++q) {
                const float f = static_cast<float>(q) / 16.0f;
                at.emplace_back(ax + f * (bx - ax), ay + f * (by - ay));
            }
            for (int q = 0; q < 40; ++q) {
                const float f = random01(), g = (random01() - 0.5f) * 1e-3f;
                at.emplace_back(ax + f * (bx - ax) - g * (by - ay), ay + f * (by - ay) + g * (bx - ax));
            }
        }
        at.emplace_back((t.xy[0] + t.xy[2] + t.xy[4]) / 3, (t.xy[1] + t.xy[3] + t.xy[5]) / 3);
        const std::size_t base = at.size();
        for (std::size_t p = 0; p < base; ++p) {
            const auto [x, y] = at[p];
            for (const float dx : {-1.0f, 0.0f, 1.0f})
                for (const float dy : {-1.0f, 0.0f, 1.0f})
                    at.emplace_back(dx == 0 ? x : std::nextafter(x, dx * INFINITY),
                                    dy == 0 ? y : std::nextafter(y, dy * INFINITY));
        }
        for (const auto& [x, y] : at) {
            float poly[6];
            std::copy(t.xy, t.xy + 6, poly);
            int slow = 0;
            inpol(x, y, poly, slow, 3);
            ASSERT_EQ(inpol3(x, y, t.xy), slow) << t.name << " at " << x << ", " << y;
            ++points;
        }
    }
    EXPECT_GT(points, 5000);
}

// Far from the origin the index of a grid line is rounded; a line lying
// exactly on a triangle's bounding box must still be in the range the
// triangle tests, or a covered grid point stays blank.
TEST(InterpKernels, IndexRangeHoldsLinesOnItsEnds) {
    const struct {
        float origin, step;
    } cases[] = {{0.0f, 0.7f}, {155000.3f, 0.7f}, {155000.3f, 2.5f}, {123456.789f, -1.3f}, {-98765.4f, 0.3f},
                 {2000.0f, 2.5f}};
    constexpr int n = 60;
    for (const auto& c : cases) {
        const auto line = [&](int k) { return c.origin + static_cast<float>(k - 1) * c.step; };
        for (int a = 1; a <= n; ++a)
            for (int b = a; b <= n; ++b) {
                const float lo = std::min(line(a), line(b)), hi = std::max(line(a), line(b));
                int k1 = 0, k2 = 0;
                ASSERT_TRUE(index_range(lo, hi, c.origin, c.step, n, k1, k2)) << c.origin << " " << a << " " << b;
                for (int k = 1; k <= n; ++k) {
                    if (line(k) >= lo && line(k) <= hi) {
                        ASSERT_TRUE(k >= k1 && k <= k2)
                            << "origin " << c.origin << " step " << c.step << " line " << k << " of " << a << ".." << b;
                    }
                }
            }
    }
}
