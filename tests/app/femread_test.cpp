#include "app/femread.h"

#include <array>
#include <sys/resource.h>
#include <unistd.h>
#include <optional>
#include <string>
#include <vector>

#include "app/apphooks.h"
#include "app/femwrite.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/gstate.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "lib/window/winops.h"
#include "tests/app/app_test.h"
#include "tools/femgen/femgen.h"

namespace {

using Tri = std::array<std::int32_t, 3>;

// A model file built line by line: the header, then node groups.
struct ModelText {
    std::string s;
    ModelText(int nnode, int nelem, int naq, int nwell, const char* xr = "10 0", const char* yr = "10 0") {
        for (int t = 1; t <= 15; ++t) s += "title " + std::to_string(t) + "\n";
        s += std::to_string(nnode) + " " + std::to_string(nelem) + " " + std::to_string(naq) + " " +
             std::to_string(nwell) + "\n";
        s += std::string(xr) + "\n" + yr + "\n7 8\n";
    }
    // A node without aquifers: code, x, y and the neighbour line as given.
    ModelText& node(int code, float x, float y, const std::string& ring) {
        s += std::to_string(code) + " " + std::to_string(x) + " " + std::to_string(y) + " 1.5\n\n" + ring + "\n";
        return *this;
    }
    ModelText& raw(const std::string& t) {
        s += t;
        return *this;
    }
};

// The unit square split along 1-3, boundary rings counter-clockwise.
ModelText square() {
    ModelText m(4, 2, 0, 0, "1 0", "1 0");
    m.node(1, 0, 0, "4 1 2 3 4").node(1, 1, 0, "3 2 3 1").node(1, 1, 1, "4 3 4 1 2").node(1, 0, 1, "3 4 1 3");
    return m;
}

std::string labels(int n) {
    std::string t;
    for (int k = 0; k < n; ++k) t += "l\n";
    return t;
}

std::vector<Tri> triangles() {
    std::vector<Tri> t;
    for (int e = 1; e <= dat4.nelem; ++e) t.push_back({dat4.elnode(e, 1), dat4.elnode(e, 2), dat4.elnode(e, 3)});
    return t;
}

class FemReadTest : public AppTest {
protected:
    TempDir dir;
    void SetUp() override {
        AppTest::SetUp();
        igrcolourmodel(24);
    }
    std::string file(const std::string& name, const std::string& text) {
        const std::string p = (dir.path() / name).string();
        write_file(p, text);
        return p;
    }
    int load(const std::string& text) { return leesfem(file("m.fem", text)); }
};

}  // namespace

TEST_F(FemReadTest, ReadsEveryRecordOfASmallModel) {
    ModelText m(2, 1, 2, 2, "100 -5", "50 2.5");
    m.raw("0 1 2 3.5 11 4.25 12 5.5\n 6 7, 8 9\n3 0 2 2 1.5\n");
    m.raw("1 3 4 5 6 7 8 8.5\n9 10 11 12\n2 9 1 7\n");
    m.raw("1 2 -3.5\n2 5 4\n");
    m.raw("a label line\n" + std::string(90, 'x') + "\n");
    ASSERT_EQ(load(m.s), FemLoaded) << (errors().empty() ? "" : errors()[0]);
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(txt_trim(text.title(1)), "title 1");
    EXPECT_EQ(txt_trim(text.title(15)), "title 15");
    EXPECT_EQ(dat4.nnode, 2);
    EXPECT_EQ(dat4.nelemhdr, 1);
    EXPECT_EQ(dat4.naq, 2);
    EXPECT_EQ(dat4.nwell, 2);
    EXPECT_EQ(dat1.ihdr1, 7);
    EXPECT_EQ(dat1.ihdr2, 8);
    EXPECT_EQ(dat1.nodecode(1), 0);
    EXPECT_EQ(dat4.xnode(1), 1.0f);
    EXPECT_EQ(dat4.ynode(1), 2.0f);
    EXPECT_EQ(dat7.value(1, 0), 3.5f);
    EXPECT_EQ(dat7.value(1, 3), 4.25f);
    EXPECT_EQ(dat7.value(1, 6), 5.5f);
    EXPECT_EQ(dat1.nodeint(1), 12);   // the last of the integers before the heads
    EXPECT_EQ(dat7.value(1, 1), 6.0f);
    EXPECT_EQ(dat7.value(1, 2), 7.0f);
    EXPECT_EQ(dat7.value(1, 4), 8.0f);
    EXPECT_EQ(dat7.value(1, 5), 9.0f);
    EXPECT_EQ(dat6.nnb(1), 3);
    EXPECT_EQ(dat6.nb(1, 1), 0);
    EXPECT_EQ(dat6.nb(1, 2), 2);
    EXPECT_EQ(dat6.nb(1, 3), 2);
    EXPECT_EQ(dat6.nb(1, 4), 2);   // the closing copy of entry 2
    EXPECT_EQ(dat1.nodeextra(1), 1);   // 1.5 truncated
    EXPECT_EQ(dat1.nodecode(2), 1);
    EXPECT_EQ(dat6.nnb(2), -2);   // boundary: stored negated
    EXPECT_EQ(dat1.nodeextra(2), 7);
    EXPECT_EQ(dat2.wellint1(1), 1);
    EXPECT_EQ(dat2.wellint2(2), 5);
    EXPECT_EQ(dat2.wellval(1), -3.5f);
    EXPECT_EQ(dat4.nlabel, 2);
    EXPECT_EQ(txt_trim(label.labline(1)), "a label line");
    EXPECT_EQ(label.labline(2), std::string(80, 'x'));
    EXPECT_EQ(dat11.ext(1), -5.0f);
    EXPECT_EQ(dat11.ext(2), 2.5f);
    EXPECT_EQ(dat11.ext(3), 100.0f);
    EXPECT_EQ(dat11.ext(4), 50.0f);
    EXPECT_EQ(dat11.extr(1), 100.0f);
    EXPECT_EQ(dat11.extr(4), 2.5f);
    EXPECT_EQ(dat9.vxmin, -5.0f);
    EXPECT_EQ(dat9.vymax, 50.0f);
}

TEST_F(FemReadTest, EachMeshTriangleIsBuiltOnceFromItsLowestCorner) {
    ASSERT_EQ(load(square().s), FemLoaded);
    EXPECT_EQ(triangles(), (std::vector<Tri>{{1, 2, 3}, {1, 3, 4}}));
    EXPECT_EQ(dat4.nelem, 2);
}

TEST_F(FemReadTest, OrientationFollowsTheRingOfTheLowestNumberedCorner) {
    ModelText m(4, 2, 0, 0, "1 0", "1 0");
    // Node 1 lists its ring clockwise; the others counter-clockwise.
    m.node(1, 0, 0, "4 1 4 3 2").node(1, 1, 0, "3 2 3 1").node(1, 1, 1, "4 3 4 1 2").node(1, 0, 1, "3 4 1 3");
    ASSERT_EQ(load(m.s), FemLoaded);
    EXPECT_EQ(triangles(), (std::vector<Tri>{{1, 4, 3}, {1, 3, 2}}));
}

TEST_F(FemReadTest, CandidateCountsOfOpenAndClosedRings) {
    // A star: node 1 with entries 2..6 (n = 6) to fresh nodes, so no
    // candidate is a duplicate. Boundary: n - 2 triangles; interior: n - 1.
    struct Case {
        int code;
        std::vector<Tri> want;
    } cases[] = {
        {1, {{1, 2, 3}, {1, 3, 4}, {1, 4, 5}, {1, 5, 6}}},
        {0, {{1, 2, 3}, {1, 3, 4}, {1, 4, 5}, {1, 5, 6}, {1, 6, 2}}},
    };
    for (const Case& c : cases) {
        ModelText m(6, 0, 0, 0);
        m.node(c.code, 0, 0, "6 1 2 3 4 5 6");
        for (int i = 2; i <= 6; ++i) m.node(1, 1, 1, "0");
        ASSERT_EQ(load(m.s), FemLoaded);
        EXPECT_EQ(triangles(), c.want) << "code " << c.code;
    }
}

TEST_F(FemReadTest, ExtraValueOnTheNeighbourLine) {
    struct Case {
        std::string ring;
        int extra;
    } cases[] = {
        {"4 9 3 5 7 12", 12},
        {"4 9 3 5 7", 0},
        {"4 9 3 5 7 7.9", 7},
        {"4 9 3 5 7 -7.9", -7},
        {"4 9 3 5 7 1 2", 2},             // the last field counts
        {"4 9 3\n5 7 12", 0},             // continued: 3 fields on the last line, not more than n + 1
        {"5 9\n3 5 7 9 1 2", 0},          // n + 1 = 6 fields on the last line: no extra value
        {"5 9\n3 5 7 9 1 2 4", 4},        // more than n + 1: the last field
        // Twenty-five 10-character entries: far beyond 80 characters.
        {"        25" + [] {
             std::string t;
             for (int k = 1; k <= 25; ++k) t += "         9";
             return t;
         }() + "        33",
         33},
    };
    for (const Case& c : cases) {
        ModelText m(9, 0, 0, 0, "10 0", "10 0");
        for (int i = 1; i <= 9; ++i) m.node(1, 1, 1, i == 1 ? c.ring : "0");
        ASSERT_EQ(load(m.s), FemLoaded) << c.ring << (errors().empty() ? "" : errors()[0]);
        EXPECT_EQ(dat1.nodeextra(1), c.extra) << c.ring;
    }
}

TEST_F(FemReadTest, ModelWithoutAquifersStillTakesTheEmptyRecordLine) {
    ModelText m(1, 0, 0, 0);
    m.raw("0 1 2 3\nthis line is the empty record of resistances\n1 1\nlabel\n");
    ASSERT_EQ(load(m.s), FemLoaded) << (errors().empty() ? "" : errors()[0]);
    EXPECT_EQ(dat4.nlabel, 1);
    EXPECT_EQ(txt_trim(label.labline(1)), "label");
    EXPECT_EQ(dat6.nnb(1), 1);
}

TEST_F(FemReadTest, HeaderLimitsEndWithTheirCodes) {
    struct Case {
        const char* counts;
        int code;
        const char* message;
    } cases[] = {
        {"1 0 0 765001", ExitMaxWells, "maximum 765000 wells"},
        {"1 0 18 0", ExitMaxAquifers, "maximum 17 aquifers"},
        {"45001 0 0 0", ExitMaxNodes, "maximum nodes 45000"},
        {"1 90001 0 0", ExitMaxElements, "maximum elements 90000"},
        // Checked in that order.
        {"45001 90001 18 765001", ExitMaxWells, "maximum 765000 wells"},
        {"45001 90001 18 0", ExitMaxAquifers, "maximum 17 aquifers"},
        {"45001 90001 0 0", ExitMaxNodes, "maximum nodes 45000"},
    };
    for (const Case& c : cases) {
        errors().clear();
        std::string t;
        for (int k = 1; k <= 15; ++k) t += "t\n";
        t += std::string(c.counts) + "\n1 0\n1 0\n0 0\n";
        EXPECT_EQ(load(t), c.code) << c.counts;
        ASSERT_EQ(errors().size(), 1u);
        // The message, after the file and the line of the counts.
        EXPECT_EQ(errors()[0], "input error in file " + dir.file("m.fem") + ", line 16: " + c.message);
    }
    // The stated count passes at the limit, whatever the rings build.
    errors().clear();
    ModelText m(1, 90000, 0, 0);
    m.node(0, 0, 0, "0");
    EXPECT_EQ(load(m.s), FemLoaded);
    EXPECT_EQ(dat4.nelemhdr, 90000);
    EXPECT_EQ(dat4.nelem, 0);
}

// A large file whose header is over a limit is refused from its header: the
// same code and message, without the file being read whole (its 250 MB
// tail, a hole in the file, would raise the peak memory by as much). A
// header longer than the part read first is decided by the full read.
TEST_F(FemReadTest, LargeFileOverTheLimitsIsRefusedFromItsHeader) {
    struct Case {
        const char* counts;
        int code;
        const char* message;
        std::size_t title_length;
        off_t size;
    } cases[] = {
        {"180000 359000 17 0", ExitMaxNodes, "maximum nodes 45000", 1, off_t{250} << 20},
        {"1 0 0 765001", ExitMaxWells, "maximum 765000 wells", 1, off_t{250} << 20},
        {"1 0 18 0", ExitMaxAquifers, "maximum 17 aquifers", 1, off_t{250} << 20},
        {"1 90001 0 0", ExitMaxElements, "maximum elements 90000", 1, off_t{250} << 20},
        {"180000 359000 17 0", ExitMaxNodes, "maximum nodes 45000", 5000, off_t{200} << 10},
    };
    const auto peak_kb = [] {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        return u.ru_maxrss;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.counts);
        errors().clear();
        std::string t;
        for (int k = 1; k <= 15; ++k) t += std::string(c.title_length, 't') + "\n";
        t += std::string(c.counts) + "\n1000 0\n1000 0\n0 0\n1 5 5 1.5\n";
        const std::string name = file("big.fem", t);
        ASSERT_EQ(::truncate(name.c_str(), c.size), 0);
        const long before = peak_kb();
        EXPECT_EQ(leesfem(name), c.code);
        EXPECT_LT(peak_kb() - before, 64 * 1024);
        ASSERT_EQ(errors().size(), 1u);
        EXPECT_EQ(errors()[0], "input error in file " + name + ", line 16: " + c.message);
    }
}

TEST_F(FemReadTest, BadInputIsRejectedAndTheLoadedModelStays) {
    ASSERT_EQ(load(square().s), FemLoaded);
    const auto before = triangles();
    const std::string title = text.title(1);
    struct Case {
        std::string text;
        int code;
        std::string message_part;
    } cases[] = {
        {square().s.replace(square().s.find("4 3 4 1 2"), 9, "4 3 4 0 2"), ExitInputError, "node 3: neighbour 0"},
        {square().s.replace(square().s.find("4 3 4 1 2"), 9, "4 3 4 5 2"), ExitInputError, "node 3: neighbour 5"},
        {square().s.replace(square().s.find("4 3 4 1 2"), 9, "-1 3"), ExitInputError, "node 3: negative"},
        {ModelText(1, 0, 0, 0).node(0, 0, 0, "26 1").s, ExitInputError, "node 1: too many neighbours nodes max 25"},
        {ModelText(1, 0, 0, 0).raw("0 1 x 3\n\n0\n").s, ExitInputError, "input error"},
        {ModelText(2, 0, 0, 0).node(0, 0, 0, "0").s, ExitInputError, "unexpected end of file"},
        {ModelText(1, 0, 1, 0).raw("0 1 2 3 1\n").s, ExitInputError, "unexpected end of file"},
        {ModelText(1, 0, 0, 1).node(0, 0, 0, "0").s, ExitInputError, "well 1"},
        {ModelText(1, 0, 0, 0).node(0, 0, 0, "1 1 4.5e20").s, ExitInputError, "extra value"},
        {ModelText(1, 0, 0, 0).node(0, 0, 0, "1 1 zz").s, ExitInputError, "extra value"},
        {ModelText(1, 0, 0, 0).node(0, 0, 0, "1 1.5").s, ExitInputError, "neighbour list"},
        {ModelText(-1, 0, 0, 0).s, ExitInputError, "negative count"},
        {"title\n", ExitInputError, "title line"},
        {ModelText(1, 0, 0, 0).node(0, 0, 0, "0").s + labels(1001), ExitInputError, "more than 1000 label lines"},
    };
    for (const Case& c : cases) {
        errors().clear();
        EXPECT_EQ(load(c.text), c.code) << c.message_part;
        ASSERT_EQ(errors().size(), 1u) << c.message_part;
        EXPECT_NE(errors()[0].find(c.message_part), std::string::npos) << errors()[0];
        EXPECT_EQ(triangles(), before) << c.message_part;
        EXPECT_EQ(dat4.nnode, 4);
        EXPECT_EQ(text.title(1), title);
    }
}

TEST_F(FemReadTest, MissingFileChangesNothing) {
    ASSERT_EQ(load(square().s), FemLoaded);
    EXPECT_EQ(leesfem((dir.path() / "none.fem").string()), FemMissing);
    EXPECT_EQ(leesfem(std::string(80, ' ')), FemMissing);
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(dat4.nelem, 2);
}

TEST_F(FemReadTest, MoreBuiltTrianglesThanTheLimitRejectTheFile) {
    // 4000 interior nodes with full rings of 24 others: some 96,000
    // distinct candidates.
    const int n = 4000;
    ModelText m(n, 0, 0, 0);
    for (int i = 1; i <= n; ++i) {
        std::string ring = std::string("25 ") + std::to_string(i);
        for (int k = 1; k <= 24; ++k) {
            ring += ' ';
            ring += std::to_string(1 + (i + k * 37 + (i * k) % 13) % n);
        }
        m.node(0, static_cast<float>(i), 0, ring);
    }
    ASSERT_EQ(load(m.s), ExitMaxElements);
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors()[0].find("maximum elements 90000"), std::string::npos);
    EXPECT_EQ(errors()[0].rfind("input error in file " + dir.file("m.fem") + ": node ", 0), 0u) << errors()[0];
    EXPECT_EQ(dat4.nnode, 0);
}

namespace {

// The mesh drawing: the model read into a drawing area whose units keep the
// mesh undistorted on the drawable, each triangle drawn as it is built.
class FemDrawTest : public AppDrawTest {
protected:
    TempDir dir;
    void SetUp() override {
        AppDrawTest::SetUp();
        igrcolourmodel(24);
    }
};

}  // namespace

TEST_F(FemDrawTest, MeshIsDrawnAsItIsBuiltInUndistortedUnits) {
    const std::string name = (dir.path() / "m.fem").string();
    write_file(name, square().s);
    ASSERT_EQ(leesfem(name), FemLoaded);
    // The logo's three ribbons come first, once.
    EXPECT_EQ(driver.find(ScreenSide, OpPolygonSolid).size(), 3u);
    EXPECT_EQ(gstate.CurrentColour.rgb(), wrgb(200, 190, 30));
    // The drawable is twice as wide as high: the x range widens to twice the height.
    EXPECT_EQ(gstate.ux1, 0.0f);
    EXPECT_EQ(gstate.uy1, 0.0f);
    EXPECT_EQ(gstate.ux2, 2.0f);
    EXPECT_EQ(gstate.uy2, 1.0f);
    // Triangles 1-2-3 and 1-3-4, each closed at its first corner.
    const float segments[][4] = {{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 1, 0, 0}, {0, 0, 1, 1}, {1, 1, 0, 1}, {0, 1, 0, 0}};
    std::vector<std::array<float, 4>> want;
    for (const auto& g : segments) {
        std::array<float, 4> d{};
        yye2i(g[0], g[1], d[0], d[1]);
        yye2i(g[2], g[3], d[2], d[3]);
        want.push_back(d);
    }
    EXPECT_EQ(lines(), want);
    // The view is the extent as read.
    EXPECT_EQ(dat9.vxmax, 1.0f);
}

namespace {
class FemWindowTest : public AppWindowTest {};
}  // namespace

TEST_F(FemWindowTest, ReadingClearsTheWindowEvenForAMissingFile) {
    open();
    const std::uint32_t background = pixel(5, 5);
    windowclear(std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0x123456);
    ASSERT_EQ(pixel(5, 5), 0x123456u);
    ASSERT_EQ(pixel(quinda.window_size[0] - 1, quinda.window_size[1] - 1), 0x123456u);
    EXPECT_EQ(leesfem("no-such-file"), FemMissing);
    EXPECT_EQ(pixel(5, 5), background);
    // The logo's middle ribbon, which covers y 5.6 of its units along its
    // whole length, is drawn in the lower left corner.
    const float unit = static_cast<float>(quinda.window_size[0]) / 200.0f;
    EXPECT_EQ(pixel(static_cast<int>(6.0f * unit), quinda.window_size[1] - 1 - static_cast<int>(5.6f * unit)),
              static_cast<std::uint32_t>(wrgb(0, 128, 192)));
}

TEST_F(FemReadTest, WrittenModelsReadBackUnchanged) {
    femgen::Options o;
    o.nx = 9;
    o.ny = 7;
    o.jitter = 0.1;
    o.naq = 3;
    o.nwell = 4;
    o.nlabel = 3;
    o.extra_every = 2;
    ASSERT_EQ(leesfem(file("g.fem", femgen::model_text(o))), FemLoaded);
    const auto tri = triangles();
    EXPECT_EQ(dat4.nelem, 2 * 8 * 6);
    // Per node: the extra value, the ring with its count, the values.
    struct Nodes {
        std::vector<int> extra, rings;
        std::vector<float> values;
    };
    const auto nodes = [] {
        Nodes n;
        for (int i = 1; i <= dat4.nnode; ++i) {
            n.extra.push_back(dat1.nodeextra(i));
            n.rings.push_back(dat6.nnb(i));
            for (int e = 1; e <= std::abs(dat6.nnb(i)) + 1; ++e) n.rings.push_back(dat6.nb(i, e));
            for (int p = 0; p <= 9; ++p) n.values.push_back(dat7.value(i, p));
        }
        return n;
    };
    const Nodes first = nodes();
    // Interior nodes have 7 entries: the extra value follows them.
    EXPECT_EQ(dat1.nodeextra(7 * 3 + 4), 0);
    EXPECT_EQ(dat1.nodeextra(9 * 3 + 5), 10 * (9 * 3 + 5));

    const std::string again = (dir.path() / "again.fem").string();
    ASSERT_TRUE(savefem(again));
    reset_app_data();
    ASSERT_EQ(leesfem(again), FemLoaded) << (errors().empty() ? "" : errors()[0]);
    EXPECT_EQ(triangles(), tri);
    const Nodes second = nodes();
    EXPECT_EQ(second.extra, first.extra);
    EXPECT_EQ(second.rings, first.rings);
    EXPECT_EQ(second.values, first.values);
    EXPECT_EQ(dat4.nwell, 4);
    EXPECT_EQ(dat4.nlabel, 3);
    EXPECT_EQ(txt_trim(label.labline(3)), "label 3");
}

TEST_F(FemReadTest, LoadingASmallerModelKeepsEntriesBeyondTheNewCounts) {
    femgen::Options o;
    o.naq = 2;
    ASSERT_EQ(leesfem(file("a.fem", femgen::model_text(o))), FemLoaded);
    const float high = dat7.value(1, 6);
    o.naq = 1;
    o.nx = o.ny = 3;
    ASSERT_EQ(leesfem(file("b.fem", femgen::model_text(o))), FemLoaded);
    EXPECT_EQ(dat4.naq, 1);
    EXPECT_EQ(dat4.nnode, 9);
    EXPECT_EQ(dat7.value(1, 6), high);
}
