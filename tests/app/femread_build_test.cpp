// The indexed triangle building against the plain full search, and the
// generated meshes as the reader sees them.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/femread.h"
#include "app/settings.h"
#include "lib/window/text.h"
#include "lib/graphics/colours.h"
#include "tests/app/app_test.h"
#include "tools/femgen/femgen.h"

namespace {

// Rings of a generated lattice as the reader would hold them.
FemModel from_mesh(const femgen::Mesh& g) {
    FemModel m;
    m.nnode = g.nnode;
    m.x = g.x;
    m.y = g.y;
    m.nodecode.assign(g.code.begin(), g.code.end());
    m.nb.assign(static_cast<std::size_t>(g.nnode), {});
    m.nnb.assign(static_cast<std::size_t>(g.nnode), 0);
    for (int i = 1; i <= g.nnode; ++i) {
        const auto at = static_cast<std::size_t>(i - 1);
        const auto& r = g.ring[at];
        const int n = static_cast<int>(r.size()) + 1;
        m.nb[at][0] = i;
        for (std::size_t k = 0; k < r.size(); ++k) m.nb[at][k + 1] = r[k];
        if (n >= 2) m.nb[at][static_cast<std::size_t>(n)] = m.nb[at][1];
        m.nnb[at] = g.code[at] == 1 ? -n : n;
    }
    return m;
}

// Arbitrary rings: repeated entries, the node itself, stray codes; what a
// damaged or hand-edited file may hold within the checked bounds.
FemModel scrambled(int nnode, std::uint64_t seed) {
    FemModel m;
    m.nnode = nnode;
    m.x.assign(static_cast<std::size_t>(nnode), 0.0f);
    m.y.assign(static_cast<std::size_t>(nnode), 0.0f);
    m.nodecode.assign(static_cast<std::size_t>(nnode), 0);
    m.nb.assign(static_cast<std::size_t>(nnode), {});
    m.nnb.assign(static_cast<std::size_t>(nnode), 0);
    std::uint64_t s = seed;
    const auto next = [&](int range) {
        s = s * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((s >> 33) % static_cast<std::uint64_t>(range));
    };
    for (int i = 1; i <= nnode; ++i) {
        const auto at = static_cast<std::size_t>(i - 1);
        const int n = next(9);
        m.nodecode[at] = next(3);   // 0, 1 or 2: only 1 opens the ring
        for (int e = 1; e <= n; ++e) {
            // Mostly near neighbours, so that many candidates repeat.
            int v = i + next(7) - 3;
            if (next(10) == 0) v = i;
            m.nb[at][static_cast<std::size_t>(e - 1)] = std::clamp(v, 1, nnode);
        }
        if (n >= 2) m.nb[at][static_cast<std::size_t>(n)] = m.nb[at][1];
        m.nnb[at] = m.nodecode[at] == 1 ? -n : n;
    }
    return m;
}

void expect_same_building(FemModel m, const std::string& what) {
    FemModel plain = m;
    const int a = build_triangles(m);
    const int b = build_triangles_plain(plain);
    EXPECT_EQ(a, b) << what;
    EXPECT_EQ(m.elnode, plain.elnode) << what;
}

}  // namespace

TEST(FemReadBuild, IndexedBuildingEqualsTheFullSearchOnLattices) {
    struct Case {
        int nx, ny;
        double jitter;
    } cases[] = {{2, 2, 0}, {3, 2, 0}, {2, 5, 0.1}, {17, 11, 0}, {30, 40, 0.15}};
    for (const Case& c : cases) {
        femgen::Options o;
        o.nx = c.nx;
        o.ny = c.ny;
        o.jitter = c.jitter;
        FemModel m = from_mesh(femgen::make_mesh(o));
        expect_same_building(m, std::to_string(c.nx) + "x" + std::to_string(c.ny));
        build_triangles(m);
        EXPECT_EQ(static_cast<int>(m.elnode.size()), 2 * (c.nx - 1) * (c.ny - 1));
    }
}

TEST(FemReadBuild, IndexedBuildingEqualsTheFullSearchOnOddRings) {
    for (std::uint64_t seed = 1; seed <= 40; ++seed) expect_same_building(scrambled(60, seed), "seed " + std::to_string(seed));
    // With repeated corners the nine-pair count takes some candidates for
    // built ones that are not, and misses some that are; both builds must
    // still agree.
    FemModel m;
    m.nnode = 3;
    m.x.assign(3, 0.0f);
    m.y.assign(3, 0.0f);
    m.nodecode = {0, 0, 0};
    m.nb.assign(3, {});
    m.nb[0] = {{1, 2, 2, 3, 2}};   // n = 4: (1,2,2) (1,2,3) (1,3,2)
    m.nb[1] = {{2, 3, 3, 2, 3}};   // (2,3,3) (2,3,2) (2,2,3)
    m.nb[2] = {{3, 2, 2, 2}};      // n = 3: (3,2,2) (3,2,2)
    m.nnb = {4, 4, 3};
    expect_same_building(m, "degenerate");
}

TEST(FemReadBuild, LatticeTrianglesAreCounterClockwiseAndCoverTheModel) {
    femgen::Options o;
    o.nx = 25;
    o.ny = 18;
    o.jitter = 0.15;
    o.seed = 7;
    const femgen::Mesh g = femgen::make_mesh(o);
    FemModel m = from_mesh(g);
    ASSERT_EQ(build_triangles(m), 0);
    double area = 0;
    for (const auto& t : m.elnode) {
        const auto x = [&](int k) { return static_cast<double>(m.x[static_cast<std::size_t>(t[k] - 1)]); };
        const auto y = [&](int k) { return static_cast<double>(m.y[static_cast<std::size_t>(t[k] - 1)]); };
        const double a2 = (x(1) - x(0)) * (y(2) - y(0)) - (x(2) - x(0)) * (y(1) - y(0));
        EXPECT_GT(a2, 0);
        area += a2 / 2;
    }
    // The triangles tile the lattice: their areas add up to the polygon of
    // the boundary nodes.
    double poly = 0;
    std::vector<int> b;
    for (int a = 0; a < o.nx; ++a) b.push_back(a);
    for (int j = 1; j < o.ny; ++j) b.push_back(j * o.nx + o.nx - 1);
    for (int a = o.nx - 2; a >= 0; --a) b.push_back((o.ny - 1) * o.nx + a);
    for (int j = o.ny - 2; j >= 1; --j) b.push_back(j * o.nx);
    for (std::size_t k = 0; k < b.size(); ++k) {
        const auto p = static_cast<std::size_t>(b[k]), q = static_cast<std::size_t>(b[(k + 1) % b.size()]);
        poly += (static_cast<double>(g.x[p]) * g.y[q] - static_cast<double>(g.x[q]) * g.y[p]) / 2;
    }
    EXPECT_NEAR(area, poly, 1e-6 * poly);
}

class FemReadGenerated : public AppTest {
protected:
    TempDir dir;
    void SetUp() override {
        AppTest::SetUp();
        igrcolourmodel(24);
    }
};

TEST_F(FemReadGenerated, FullSizeLatticeReadsJustUnderTheLimits) {
    femgen::Options o;
    o.nx = o.ny = 212;
    o.naq = 0;
    const std::string p = (dir.path() / "big.fem").string();
    ASSERT_TRUE(femgen::write_model(o, p));
    ASSERT_EQ(leesfem(p), FemLoaded) << (errors().empty() ? "" : errors()[0]);
    EXPECT_EQ(dat4.nnode, 44944);
    EXPECT_EQ(dat4.nelem, 89042);
    EXPECT_EQ(dat4.nelemhdr, 89042);
}

TEST_F(FemReadGenerated, NodeValuesAreTheFieldsAtTheNodes) {
    for (const femgen::Field f : {femgen::Field::Linear, femgen::Field::Smooth}) {
        femgen::Options o;
        o.nx = 6;
        o.ny = 5;
        o.x0 = 155000;
        o.y0 = 463000;
        o.dx = 250;
        o.dy = 125;
        o.jitter = 0.12;
        o.naq = 17;
        o.field = f;
        const std::string p = (dir.path() / "f.fem").string();
        ASSERT_TRUE(femgen::write_model(o, p));
        ASSERT_EQ(leesfem(p), FemLoaded) << (errors().empty() ? "" : errors()[0]);
        EXPECT_EQ(dat4.naq, 17);
        for (int i = 1; i <= dat4.nnode; ++i)
            for (int pl = 0; pl < NumGridOptions; ++pl)
                ASSERT_EQ(dat7.value(i, pl),
                          static_cast<float>(femgen::field_value(f, pl, dat4.xnode(i), dat4.ynode(i))))
                    << i << " " << pl;
        EXPECT_EQ(dat11.ext(1), *std::min_element(dat4.xnode.a.begin(), dat4.xnode.a.begin() + dat4.nnode));
    }
}

TEST(FemGen, SpacingsCoverTheLength) {
    for (const bool varied : {false, true}) {
        const auto v = femgen::spacings(7, 700, varied);
        ASSERT_EQ(v.size(), 7u);
        double sum = 0;
        for (float w : v) sum += w;
        EXPECT_NEAR(sum, 700, 1e-3);
        EXPECT_EQ(v[0] == v[1], !varied);
    }
    const std::string t = femgen::spacing_text(femgen::spacings(12, 12, false));
    EXPECT_EQ(t, " 1 1 1 1 1 1 1 1 1 1\r\n 1 1\r\n");
}

TEST_F(FemReadGenerated, DemoModelAndItsSettingsLoad) {
    const std::string samples = std::string(QUINDA_SOURCE_DIR) + "/samples/";
    ASSERT_EQ(leesfem(samples + "demo.fem"), FemLoaded) << (errors().empty() ? "" : errors()[0]);
    EXPECT_EQ(dat4.nnode, 336);
    EXPECT_EQ(dat4.nelem, 600);
    EXPECT_EQ(dat4.naq, 3);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(samples);
    SettingsRead r;
    const int st = read_settings_batch("zeltramo.ini", r);
    std::filesystem::current_path(previous);
    ASSERT_EQ(st, 0) << (errors().empty() ? "" : errors()[0]);
    EXPECT_EQ(txt_trim(r.gridname), "surfer.grd");
    EXPECT_EQ(r.option, 3);
    EXPECT_EQ(dat8.nx, 50);
}
