// Nodal areas: the polygon and area of single nodes, their independence of
// the neighbour order, the sum over whole models, the drawing, the Plot >
// Nodal areas toggle and the nearest-node read-out.
#include "app/nodal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/femread.h"
#include "app/mainprog.h"
#include "app/mainstate.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/window/exitprog.h"
#include "lib/window/quinda_state.h"
#include "lib/window/startup.h"
#include "platform/os_menu.h"
#include "tests/app/app_test.h"
#include "tests/app/small_mesh.h"
#include "tools/femgen/femgen.h"

namespace {

// Reorders the neighbour list of node i (entries 2..m) by the permutation
// kind: 0 as built, 1 reversed, 2 rotated by one.
void reorder(int i, int kind) {
    const int m = std::abs(dat6.nnb(i));
    std::vector<int> l;
    for (int k = 2; k <= m; ++k) l.push_back(dat6.nb(i, k));
    if (kind == 1) std::reverse(l.begin(), l.end());
    if (kind == 2) std::rotate(l.begin(), l.begin() + 1, l.end());
    for (int k = 2; k <= m; ++k) dat6.nb(i, k) = l[static_cast<std::size_t>(k - 2)];
}

std::vector<MeshPoint> polygon_of(int i) {
    std::vector<MeshPoint> p;
    for (int j = 1; j <= dat40.npoly(i); ++j) p.push_back({dat40.polyxy(1, i, j), dat40.polyxy(2, i, j)});
    return p;
}

class NodalAreaTest : public AppDrawTest {};

}  // namespace

TEST_F(NodalAreaTest, AreasOfSingleNodesWhateverTheNeighbourOrder) {
    const float r = 10;
    std::vector<MeshPoint> hex{{0, 0}};
    std::vector<std::array<int, 3>> hex_el;
    for (int k = 0; k < 6; ++k) {
        const double a = k * std::acos(-1.0) / 3;
        hex.push_back({static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a))});
        hex_el.push_back({1, k + 2, (k + 1) % 6 + 2});
    }
    struct Case {
        const char* name;
        std::vector<MeshPoint> nodes;
        std::vector<std::array<int, 3>> elements;
        float area;
        int npoly;
    } cases[] = {
        {"hexagon", hex, hex_el, 86.60f, 12},
        {"four neighbours", {{0, 0}, {10, 0}, {0, 10}, {-10, 0}, {0, -10}},
         {{1, 2, 3}, {1, 3, 4}, {1, 4, 5}, {1, 5, 2}}, 66.67f, 8},
        {"boundary, two neighbours", {{0, 0}, {10, 0}, {0, 10}}, {{1, 2, 3}}, 16.67f, 4},
    };
    for (const Case& c : cases) {
        for (int kind = 0; kind < 3; ++kind) {
            SCOPED_TRACE(std::string(c.name) + " order " + std::to_string(kind));
            small_mesh(c.nodes, c.elements);
            reorder(1, kind);
            float total = 0;
            nodal_area(1, 0, total);
            EXPECT_NEAR(total, c.area, 0.005f);
            EXPECT_EQ(dat40.nodarea(1), total);
            ASSERT_EQ(dat40.npoly(1), c.npoly);
            // Closed by a repeat of the first point.
            EXPECT_EQ(dat40.polyxy(1, 1, c.npoly + 1), dat40.polyxy(1, 1, 1));
            EXPECT_EQ(dat40.polyxy(2, 1, c.npoly + 1), dat40.polyxy(2, 1, 1));
        }
    }
    // The quadrilateral of a corner node's one triangle runs through the node.
    const std::vector<MeshPoint> quad = polygon_of(1);
    const MeshPoint want[] = {{5, 0}, {3.3333f, 3.3333f}, {0, 5}, {0, 0}};
    for (int j = 0; j < 4; ++j) {
        EXPECT_NEAR(quad[static_cast<std::size_t>(j)].x, want[j].x, 1e-3) << j;
        EXPECT_NEAR(quad[static_cast<std::size_t>(j)].y, want[j].y, 1e-3) << j;
    }
}

TEST_F(NodalAreaTest, AreasOfAModelSumToItsArea) {
    struct Case {
        const char* name;
        int nx, ny, cut_i, cut_j;
    } cases[] = {
        {"jittered lattice", 12, 10, 1 << 20, 1 << 20},
        {"L shape with a concave corner", 10, 9, 5, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lattice_mesh(c.nx, c.ny, 10.0f, 0.3f, c.cut_i, c.cut_j);
        float total = 0;
        nodal_area(0, 0, total);
        const double want = element_area_sum();
        EXPECT_NEAR(total / want, 1.0, 1e-5);
        double sum = 0, maxrad = 0;
        for (int i = 1; i <= dat4.nnode; ++i) {
            sum += dat40.nodarea(i);
            for (const MeshPoint& p : polygon_of(i))
                maxrad = std::max(maxrad, std::hypot(double(p.x) - dat4.xnode(i), double(p.y) - dat4.ynode(i)));
        }
        EXPECT_NEAR(sum / want, 1.0, 1e-5);
        EXPECT_NEAR(dat40.maxrad, maxrad, 1e-4);
    }
}

TEST_F(NodalAreaTest, NodeWithoutTwoNeighboursHasNoPolygon) {
    small_mesh({{0, 0}, {10, 0}, {0, 10}, {50, 50}}, {{1, 2, 3}});
    dat40.npoly(4) = 7;
    dat40.nodarea(4) = 3;
    float total = -1;
    nodal_area(4, 1, total);
    EXPECT_EQ(total, 0.0f);
    EXPECT_EQ(dat40.npoly(4), 0);
    EXPECT_EQ(dat40.nodarea(4), 0.0f);
    EXPECT_TRUE(driver.find(ScreenSide, OpLine).empty());
    // A node number outside the model is ignored.
    nodal_area(9, 1, total);
    EXPECT_EQ(total, 0.0f);
}

TEST_F(NodalAreaTest, FillCoversTheOutline) {
    small_mesh({{0, 0}, {10, 0}, {0, 10}, {-10, 0}, {0, -10}}, {{1, 2, 3}, {1, 3, 4}, {1, 4, 5}, {1, 5, 2}});
    IGrArea(0, 0, 1, 1);
    IGrUnits(-20, -10, 20, 10);
    igrcolourmodel(24);
    for (int fill : {0, 1}) {
        SCOPED_TRACE(fill);
        driver.clear();
        float total = 0;
        nodal_area(1, fill, total);
        int last_line = -1, polygon = -1;
        for (std::size_t k = 0; k < driver.calls.size(); ++k) {
            const DriverCall& c = driver.calls[k];
            if (c.op == OpLine) last_line = static_cast<int>(k);
            if ((c.op == OpPolygonSolid || c.op == OpPolygonPattern) && polygon < 0) polygon = static_cast<int>(k);
        }
        EXPECT_GE(last_line, 0);
        if (fill == 0) {
            EXPECT_LT(polygon, 0);
        } else {
            ASSERT_GT(polygon, last_line);
            EXPECT_EQ(driver.calls[static_cast<std::size_t>(polygon)].px.size(), 8u);
            EXPECT_EQ(driver.calls[static_cast<std::size_t>(polygon)].state.CurrentColour.rgb(), wrgb(0, 255, 0));
        }
    }
}

TEST(NodalSort, HeapsortMovesPointsWithTheirKeys) {
    float key[] = {270, 0, 90, 180, 45};
    float pts[] = {2.7f, -2.7f, 0, 0, 0.9f, -0.9f, 1.8f, -1.8f, 0.45f, -0.45f};
    sort(5, key, pts);
    const float want[] = {0, 45, 90, 180, 270};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(key[k], want[k]);
        EXPECT_FLOAT_EQ(pts[2 * k], want[k] / 100);
        EXPECT_FLOAT_EQ(pts[2 * k + 1], -want[k] / 100);
    }
}

namespace {

std::vector<int> exits;
void record_exit(std::string_view, int code) { exits.push_back(code); }

// The program's own root window, menus and four-part status bar.
class NodalCommandTest : public AppTest {
protected:
    TempDir dir{true};
    void SetUp() override {
        AppTest::SetUp();
        exit_program_hook = record_exit;
        ASSERT_EQ(main_startup(), 0);
        mainstate.femname.assign(TextLength, ' ');
    }
    void TearDown() override {
        exit_program_hook = iosexitprogram;
        AppTest::TearDown();
    }
    static bool checked(int item) {
        return (os_get_menu_state(wtab.hMenuRoot[0], static_cast<std::uint32_t>(item), OS_MF_BYCOMMAND) &
                OS_MF_CHECKED) != 0;
    }
    static void press_at(float x, float y) {
        WindowMessage m{};
        m.GX = x;
        m.GY = y;
        mainstate.msg = m;
        handle_message(MsgMouseDown, m);
    }
};

}  // namespace

TEST_F(NodalCommandTest, ToggleAndNearestNodeReadout) {
    // Nodes 2 and 3 lie equally near (5, 0); the lower number wins.
    small_mesh({{0, 0}, {10, 0}, {0, 10}, {-10, 0}, {0, -10}, {20, 0}},
               {{1, 2, 3}, {1, 3, 4}, {1, 4, 5}, {1, 5, 2}, {2, 6, 3}});
    mainstate.loaded = 1;
    dat9 = Dat9{-20, -20, 30, 20};
    // Nodal areas off: a press leaves status part 4 alone.
    press_at(5, 0.1f);
    EXPECT_EQ(AppWindowTest::status_text(4), "");
    run_command(40037);
    EXPECT_EQ(mainstate.shownodal, 1);
    EXPECT_TRUE(checked(40037));
    press_at(5, 0);
    float area = 0;
    nodal_area(1, 0, area);
    EXPECT_NEAR(area, 66.67, 0.01);
    // Equally near: node 1 at distance 5, node 2 at distance 5.
    EXPECT_EQ(AppWindowTest::status_text(4), "nodal area:     1             66");
    press_at(19, 1);
    EXPECT_EQ(AppWindowTest::status_text(4).substr(0, 17), "nodal area:     6");
    run_command(40037);
    EXPECT_EQ(mainstate.shownodal, 0);
    EXPECT_FALSE(checked(40037));
}

TEST_F(NodalAreaTest, SampleModelAreasSumToItsArea) {
    ASSERT_EQ(leesfem(std::string(QUINDA_SOURCE_DIR) + "/samples/demo.fem"), FemLoaded);
    float total = 0;
    nodal_area(0, 0, total);
    EXPECT_NEAR(total / element_area_sum(), 1.0, 1e-5);
    for (int i = 1; i <= dat4.nnode; ++i) EXPECT_GT(dat40.nodarea(i), 0.0f) << i;
}

// The areas with each point's length and direction computed once, against
// every side computing its own: the same areas, polygons, largest radius
// and total to the bit, over the sample model and jittered models near and
// far from the origin (boundary polygons run through their node, so sides
// with a zero vector are among them).
TEST_F(NodalAreaTest, SharedLengthsAndDirectionsGiveThePlainAreasBitForBit) {
    struct Case {
        const char* name;
        double x0, y0, spacing, jitter;
    } cases[] = {{"near the origin", 0, 0, 10, 0.15}, {"far from it", 155000.3, 463000.7, 2.5, 0.12},
                 {"regular", -500, -500, 100, 0},
                 // Tiny and huge lengths.
                 {"tiny", 0, 0, 0x1p-60, 0.1}, {"huge", 0, 0, 0x1p60, 0.1}};
    std::vector<std::string> models{std::string(QUINDA_SOURCE_DIR) + "/samples/demo.fem"};
    TempDir dir;
    for (const Case& c : cases) {
        femgen::Options o;
        o.nx = 23;
        o.ny = 17;
        o.x0 = c.x0;
        o.y0 = c.y0;
        o.dx = o.dy = c.spacing;
        o.jitter = c.jitter;
        o.seed = 9;
        models.push_back(dir.file(std::string(c.name) + ".fem"));
        ASSERT_TRUE(femgen::write_model(o, models.back()));
    }
    for (const std::string& name : models) {
        SCOPED_TRACE(name);
        ASSERT_EQ(leesfem(name), FemLoaded);
        float plain_total = 0, total = 0;
        nodal_area_plain(0, 0, plain_total);
        const auto plain = std::make_unique<Dat40>(dat40);
        dat40.npoly.a.fill(-1);
        dat40.nodarea.a.fill(-1);
        dat40.maxrad = -1;
        nodal_area(0, 0, total);
        for (int i = 1; i <= dat4.nnode; ++i) {
            ASSERT_EQ(plain->npoly(i), dat40.npoly(i)) << i;
            ASSERT_EQ(std::memcmp(&plain->nodarea(i), &dat40.nodarea(i), sizeof(float)), 0) << i;
        }
        EXPECT_EQ(std::memcmp(&plain->maxrad, &dat40.maxrad, sizeof(float)), 0);
        EXPECT_EQ(std::memcmp(&plain_total, &total, sizeof total), 0);
        for (int i = 1; i <= dat4.nnode; ++i)
            for (int j = 1; j <= dat40.npoly(i) + 1; ++j)
                for (int c = 1; c <= 2; ++c) ASSERT_EQ(plain->polyxy(c, i, j), dat40.polyxy(c, i, j)) << i << " " << j;
        EXPECT_GT(total, 0.0f);
        for (int i = 1; i <= dat4.nnode; i += 37) {
            float one = 0, one_plain = 0;
            nodal_area_plain(i, 1, one_plain);
            nodal_area(i, 1, one);
            EXPECT_EQ(std::memcmp(&one_plain, &one, sizeof one), 0) << i;
        }
    }
}

namespace {

// A random number generator of the tests below, the same sequence on every
// machine.
struct Draw {
    std::uint64_t state;
    std::uint64_t next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return state >> 11;
    }
    double unit() { return static_cast<double>(next()) / static_cast<double>(1ull << 53); }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    // 10 to a power between lo and hi.
    double ten(double lo, double hi) { return std::pow(10.0, lo + (hi - lo) * unit()); }
};

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

// The float length against hypot's: random vectors over the whole range,
// vectors along an axis, Pythagorean triples scaled to put the length on a
// midpoint between floats or next to one, subnormal and huge components.
TEST(NodalLength, IsHypotRoundedToFloat) {
    Draw d{12345};
    auto check = [](float x, float y) {
        const float want = static_cast<float>(std::hypot(static_cast<double>(x), static_cast<double>(y)));
        ASSERT_TRUE(same_bits(nodal_length(x, y), want)) << x << " " << y;
    };
    for (int k = 0; k < 400000; ++k) {
        const float x = static_cast<float>((d.unit() - 0.5) * d.ten(-45, 38));
        const float y = static_cast<float>((d.unit() - 0.5) * d.ten(-45, 38));
        check(x, y);
        // Lengths of similar components, as the nodal polygons have.
        check(x, static_cast<float>(x * (d.unit() * 4 - 2)));
    }
    for (const float v : {0.0f, -0.0f, 1e-45f, 1e-40f, 1.17549435e-38f, 1.0f, 3.0e38f, 3.4028235e38f}) {
        check(v, 0);
        check(0, v);
        check(v, v);
        check(-v, v);
    }
    // (3k, 4k, 5k) with 5k an odd number of 25 bits: the length is a
    // midpoint; its float neighbours around.
    for (std::uint32_t k = (1u << 22) + 1; k < (1u << 22) + 4001; k += 2) {
        for (int e : {-140, -60, 0, 40, 100}) {
            const float x = std::ldexp(3.0f * static_cast<float>(k), e), y = std::ldexp(4.0f * static_cast<float>(k), e);
            check(x, y);
            check(std::nextafter(x, 0.0f), y);
            check(x, std::nextafter(y, 1e38f));
        }
    }
    // x² + y² = k (k + 1), k in [2^23, 2^24): the length lies an eighth of a
    // unit below the midpoint k + 1/2, where the plain root is not trusted.
    // The product of k = a² + b² and k + 1 = c² + d² is such a sum.
    int near = 0;
    for (int t = 0; t < 3000 && near < 100; ++t) {
        const std::int64_t a = 2048 + d.below(850), b = d.below(2048);
        const std::int64_t k = a * a + b * b;
        if (k < (1 << 23) || k >= (1 << 24)) continue;
        for (std::int64_t c = 0; c * c <= k + 1; ++c) {
            const auto dd = static_cast<std::int64_t>(std::llround(std::sqrt(static_cast<double>(k + 1 - c * c))));
            if (dd * dd != k + 1 - c * c) continue;
            const std::int64_t x = std::llabs(a * c - b * dd), y = a * dd + b * c;
            ASSERT_EQ(x * x + y * y, k * (k + 1));
            for (int e : {-100, 0, 77}) check(std::ldexp(static_cast<float>(x), e), std::ldexp(static_cast<float>(y), e));
            ++near;
            break;
        }
    }
    EXPECT_GT(near, 50);
}

// Stars of neighbours around a node, laid out to test ordering them by
// direction without their keys: random directions; a neighbour in nearly
// or exactly the direction of another, or the opposite one; directions a
// hair above and below the negative and the positive x axis; along the y
// axis; a neighbour listed twice; the node among its own neighbours; tiny,
// huge and far-off stars. Each node's polygon, area, and the largest radius,
// against the plain way's, bit for bit.
TEST_F(NodalAreaTest, NeighboursInDirectionOrderGiveThePlainPolygonsBitForBit) {
    Draw d{2718};
    std::vector<MeshPoint> nodes;
    struct Star {
        int centre;
        std::vector<int> around;
        bool boundary;
    };
    std::vector<Star> stars;
    const double scales[] = {1, 1e-3, 1e5, 1e-20, 1e25};
    const double offsets[] = {0, 155000.3, -463000.7};
    while (nodes.size() + 30 < static_cast<std::size_t>(MaxNodes) / 2) {
        const double scale = scales[d.below(5)];
        const double cx = offsets[d.below(3)] + scale * (d.unit() - 0.5), cy = offsets[d.below(3)] + scale * (d.unit() - 0.5);
        Star s{static_cast<int>(nodes.size()) + 1, {}, d.below(10) == 0};
        nodes.push_back({static_cast<float>(cx), static_cast<float>(cy)});
        const int n = 2 + d.below(d.below(4) == 0 ? 23 : 7);
        std::vector<std::array<double, 2>> dirs;
        for (int k = 0; k < n; ++k) {
            const double r = scale * d.ten(-3, 1);
            double a = 2 * std::acos(-1.0) * d.unit();
            double vx = r * std::cos(a), vy = r * std::sin(a);
            const int kind = d.below(11);
            if (kind == 1 && !dirs.empty()) {  // parallel to another
                const auto& o = dirs[static_cast<std::size_t>(d.below(static_cast<int>(dirs.size())))];
                const double f = d.below(2) ? 2.0 : d.ten(-2, 2);
                vx = o[0] * f;
                vy = o[1] * f;
            } else if ((kind == 2 || kind == 3) && !dirs.empty()) {  // turned a little, or opposite
                const auto& o = dirs[static_cast<std::size_t>(d.below(static_cast<int>(dirs.size())))];
                const double t = (d.below(2) ? 1 : -1) * d.ten(-9, -1) + (kind == 3 ? std::acos(-1.0) : 0);
                vx = o[0] * std::cos(t) - o[1] * std::sin(t);
                vy = o[0] * std::sin(t) + o[1] * std::cos(t);
            } else if (kind == 4 || kind == 5) {  // next to the x axis, either side
                const double tiny = d.below(4) == 0 ? 0.0 : d.ten(-44, -2);
                vx = kind == 4 ? -r : r;
                vy = (d.below(2) ? tiny : -tiny) * r;
            } else if (kind == 6) {  // along the y axis
                vx = 0;
                vy = d.below(2) ? r : -r;
            }
            dirs.push_back({vx, vy});
            if (kind == 7 && !s.around.empty()) {
                s.around.push_back(s.around[static_cast<std::size_t>(d.below(static_cast<int>(s.around.size())))]);
            } else if (kind == 8) {
                s.around.push_back(s.centre);
            } else {
                s.around.push_back(static_cast<int>(nodes.size()) + 1);
                nodes.push_back({static_cast<float>(cx + vx), static_cast<float>(cy + vy)});
            }
        }
        stars.push_back(std::move(s));
    }
    small_mesh(nodes, {{1, 2, 3}});
    for (int i = 1; i <= dat4.nnode; ++i) dat6.nnb(i) = 0;
    for (const Star& s : stars) {
        const int m = static_cast<int>(s.around.size()) + 1;
        dat6.nnb(s.centre) = s.boundary ? -m : m;
        dat6.nb(s.centre, 1) = s.centre;
        for (int k = 0; k < m - 1; ++k) dat6.nb(s.centre, k + 2) = s.around[static_cast<std::size_t>(k)];
    }
    float plain_total = 0, total = 0;
    nodal_area_plain(0, 0, plain_total);
    const auto plain = std::make_unique<Dat40>(dat40);
    nodal_area(0, 0, total);
    EXPECT_TRUE(same_bits(plain_total, total));
    EXPECT_TRUE(same_bits(plain->maxrad, dat40.maxrad));
    int polygons = 0;
    for (const Star& s : stars) {
        const int i = s.centre;
        ASSERT_EQ(plain->npoly(i), dat40.npoly(i)) << i;
        ASSERT_TRUE(same_bits(plain->nodarea(i), dat40.nodarea(i))) << i;
        for (int j = 1; j <= dat40.npoly(i) + 1 && dat40.npoly(i) > 0; ++j)
            for (int c = 1; c <= 2; ++c) ASSERT_TRUE(same_bits(plain->polyxy(c, i, j), dat40.polyxy(c, i, j))) << i << " " << j;
        polygons += dat40.npoly(i) > 0;
        // The largest radius of each polygon alone.
        float one = 0, one_plain = 0;
        nodal_area_plain(i, 0, one_plain);
        const float rad_plain = dat40.maxrad;
        nodal_area(i, 0, one);
        ASSERT_TRUE(same_bits(rad_plain, dat40.maxrad)) << i;
    }
    EXPECT_GT(polygons, 1000);
}
