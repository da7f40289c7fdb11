// River-line intersection: two segments, river pieces inside, entering,
// leaving, crossing and touching nodal areas, the weighted parameter files,
// the echo file as map layer 4, the command, bad input, and the indexed
// search against the plain one.
#include "app/intersect.h"

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/apphooks.h"
#include "app/femread.h"
#include "app/flowlines.h"
#include "app/mainprog.h"
#include "app/mainstate.h"
#include "app/maplayers.h"
#include "app/nodal.h"
#include "app/records.h"
#include "lib/graphics/areas.h"
#include "lib/window/text.h"
#include "tests/app/app_test.h"
#include "tests/app/dialog_script.h"
#include "tests/app/small_mesh.h"

namespace {

struct River {
    int id;
    std::vector<MeshPoint> pts;
};

std::string river_text(const std::vector<River>& rivers) {
    std::string t;
    for (const River& r : rivers) {
        t += std::to_string(r.id) + " river\n";
        for (const MeshPoint& p : r.pts) t += std::to_string(p.x) + " " + std::to_string(p.y) + "\n";
        t += "END\n";
    }
    return t + "END\n";
}

// Constant attributes: levels 5 and 3, width 10, resistance 2.
std::string constant_attributes(std::vector<int> ids) {
    std::string t = "id wl1 wl2 bl1 bl2 w1 w2 c\n";
    for (int id : ids) t += std::to_string(id) + " 5 5 3 3 10 10 2\n";
    return t;
}

class IntersectTest : public AppDrawTest {
protected:
    TempDir dir{true};
    void SetUp() override {
        AppDrawTest::SetUp();
        dat19.home = txt_fixed(dir.path().string() + "/", TextLength);
        dat19.lhome = static_cast<int>(txt_len(dat19.home));
        // 5 x 5 nodes 10 apart: node 13 at (20, 20) in the middle.
        lattice_mesh(5, 5, 10.0f, 0.0f);
        float total = 0;
        nodal_area(0, 0, total);
    }
    bool run(const std::vector<River>& rivers, const std::string& attributes, int format = 1, bool plain = false) {
        write_file("river.ung", river_text(rivers));
        write_file("river.att", attributes);
        return plain ? snijden_plain("river.ung", "wl.par", "bl.par", "rs.par", "river.att", format)
                     : snijden("river.ung", "wl.par", "bl.par", "rs.par", "river.att", format);
    }
    static void write_file(const std::string& name, const std::string& text) {
        TextOut o;
        ASSERT_TRUE(o.create(name));
        o.line(text.substr(0, text.size() - 1));
        ASSERT_TRUE(o.commit());
    }
    static std::vector<std::string> file_lines(const std::string& name) { return crlf_lines(read_file(name)); }
};

}  // namespace

TEST(Snijlijn, CrossingsOfTwoSegments) {
    struct Case {
        const char* name;
        float s[8];
        int flag;
        float xs, ys;
        float x1_after;
    } cases[] = {
        {"crossing", {0, 0, 10, 10, 0, 10, 10, 0}, 1, 5, 5, 0},
        {"missing", {0, 0, 1, 1, 0, 10, 10, 0}, 0, 0, 0, 0},
        {"parallel", {0, 0, 10, 10, 0, 1, 10, 11}, 0, 0, 0, 0},
        {"on one line", {0, 0, 10, 10, 5, 5, 15, 15}, 0, 0, 0, 0},
        {"vertical first", {3, -5, 3, 5, 0, 0, 10, 1}, 1, 3.04695f, 0.304695f, 3.1f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        float x1 = c.s[0], y1 = c.s[1], x3 = c.s[4], y3 = c.s[5], xs = 0, ys = 0;
        int flag = -1;
        snijlijn(x1, y1, c.s[2], c.s[3], x3, y3, c.s[6], c.s[7], xs, ys, flag);
        EXPECT_EQ(flag, c.flag);
        if (flag == 1) {
            EXPECT_NEAR(xs, c.xs, 1e-4);
            EXPECT_NEAR(ys, c.ys, 1e-4);
            EXPECT_EQ(x1, c.x1_after == 0 ? c.s[0] : c.x1_after);
        }
        EXPECT_TRUE(std::isfinite(xs) && std::isfinite(ys));
    }
}

TEST_F(IntersectTest, RiverPiecesInNodalAreas) {
    const RiverWork& w = river_work;
    struct Case {
        const char* name;
        std::vector<MeshPoint> pts;
    } cases[] = {
        {"inside", {{19, 19}, {21, 20.5f}}},
        {"entering and leaving", {{12, 21}, {19, 21.5f}}},
        {"crossing twice", {{12, 21}, {28, 22}}},
        {"touching", {{-5, 5}, {5, -5}}},
        {"vertical", {{20, 17}, {20, 23}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(run({{1, c.pts}}, constant_attributes({1}))) << (errors().empty() ? "" : errors()[0]);
        const float len = std::hypot(c.pts[1].x - c.pts[0].x, c.pts[1].y - c.pts[0].y);
        const std::string n = c.name;
        // Crossings come from single-precision slopes: good to about 1e-4 of a length.
        const float tol = 1e-4f * len;
        if (n == "inside") {
            EXPECT_FLOAT_EQ(w.inlen(13), len);
            EXPECT_FLOAT_EQ(w.atdist(13), len);
            EXPECT_NE(dat40.hitcol(13), 0);
            EXPECT_EQ(dat40.hitcol(12), 0);
        } else if (n == "entering and leaving") {
            // Node 12 (10, 20) is left at the crossing, node 13 entered.
            EXPECT_GT(w.inlen(12), 2.0f);
            EXPECT_NEAR(w.inlen(12) + w.inlen(13), len, tol);
            EXPECT_NEAR(w.atdist(12), w.inlen(12), tol);
            EXPECT_FLOAT_EQ(w.atdist(13), len);
        } else if (n == "crossing twice") {
            EXPECT_NEAR(w.inlen(12) + w.inlen(13) + w.inlen(14), len, tol);
            EXPECT_NEAR(w.atdist(13) - w.inlen(13), w.atdist(12), tol);
            EXPECT_GT(w.inlen(13), 8.0f);
            EXPECT_FLOAT_EQ(w.atdist(14), len);
        } else if (n == "touching") {
            // The corner node's area is met in its corner only.
            EXPECT_NE(dat40.hitcol(1), 0);
            EXPECT_LT(w.inlen(1), 1e-3f);
        } else {
            // From its first edge test on, the segment starts 0.1 to the right.
            EXPECT_FLOAT_EQ(w.inlen(13), std::sqrt(0.01f + 36.0f));
            EXPECT_FLOAT_EQ(w.atdist(13), 6.0f);
        }
    }
}

TEST_F(IntersectTest, ParameterFilesOfConstantAttributes) {
    for (int format : {1, 2}) {
        SCOPED_TRACE(format);
        ASSERT_TRUE(run({{7, {{1, 21}, {12, 21}, {28, 22}, {39, 38}}}}, constant_attributes({7}), format));
        const auto wl = file_lines("wl.par"), bl = file_lines("bl.par"), rs = file_lines("rs.par");
        ASSERT_EQ(wl.size(), 25u);
        int hit = 0;
        for (int i = 1; i <= 25; ++i) {
            const std::size_t k = static_cast<std::size_t>(i - 1);
            const std::string xy = format == 1 ? "" : edit_g(dat4.xnode(i), 15, 6) + edit_g(dat4.ynode(i), 15, 6);
            const float L = river_work.inlen(i);
            if (river_work.sumw(i) > 0) {
                ++hit;
                EXPECT_EQ(wl[k], xy + edit_g(5.0, 15, 6)) << i;
                EXPECT_EQ(bl[k], xy + edit_g(3.0, 15, 6)) << i;
                float v = 0;
                ASSERT_TRUE(read_f(rs[k].substr(xy.size()), 0, v));
                EXPECT_NEAR(v, dat40.nodarea(i) / (5 * L), 1e-5 * v) << i;
            } else {
                // A node without river: 0.0, in xyz format after its coordinates.
                EXPECT_EQ(wl[k], xy + edit_g(0.0, 15, 6)) << i;
                EXPECT_EQ(rs[k], xy + edit_g(0.0, 15, 6)) << i;
            }
        }
        EXPECT_GE(hit, 6);
    }
}

TEST_F(IntersectTest, EchoFileAndReadingEnds) {
    // A non-integer identifier ends the reading as the end of the file does.
    write_file("river.ung", "3\n1 21\n12 21\nEND\nabc\n4\n20 0\n20 40\nEND\nEND\n");
    write_file("river.att", constant_attributes({3, 4}));
    ASSERT_TRUE(snijden("river.ung", "wl.par", "bl.par", "rs.par", "river.att", 1));
    const auto echo = file_lines("zeltramo.wat");
    ASSERT_EQ(echo.size(), 3u);
    EXPECT_EQ(txt_trim(echo[0]), " 2");
    EXPECT_EQ(river_work.sumw(18), 0.0f);
    EXPECT_GT(river_work.sumw(12), 0.0f);
    // A second run starts afresh.
    const std::string first = read_file("rs.par");
    ASSERT_TRUE(snijden("river.ung", "wl.par", "bl.par", "rs.par", "river.att", 1));
    EXPECT_EQ(read_file("rs.par"), first);
}

TEST_F(IntersectTest, BadInputWritesNothing) {
    struct Case {
        const char* name;
        std::string river, attributes;
        const char* message;
    } cases[] = {
        {"one point", "1\n1 21\nEND\nEND\n", constant_attributes({1}), "line 3"},
        {"end of file in a line", "1\n1 21\n12 21\n", constant_attributes({1}), "river.ung"},
        {"no heading", "1\n1 21\n12 21\nEND\n", "", "heading"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove("wl.par");
        errors().clear();
        write_file("river.ung", c.river);
        if (c.attributes.empty())
            std::filesystem::resize_file(std::filesystem::path("river.att"), 0);
        else
            write_file("river.att", c.attributes);
        EXPECT_FALSE(snijden("river.ung", "wl.par", "bl.par", "rs.par", "river.att", 1));
        ASSERT_EQ(errors().size(), 1u);
        EXPECT_NE(errors()[0].find(c.message), std::string::npos) << errors()[0];
        EXPECT_FALSE(std::filesystem::exists("wl.par"));
        EXPECT_EQ(dat40.hitcol(2), 0);
    }
    // Lines without attributes, with a resistance of 0 or of length 0 are
    // skipped and named once; the others count.
    errors().clear();
    ASSERT_TRUE(run({{1, {{1, 21}, {12, 21}}}, {2, {{1, 21}, {12, 21}}}, {3, {{5, 5}, {5, 5}}}, {4, {{12, 21}, {28, 21}}}},
                    "h\n2 5 5 3 3 10 10 0\n3 5 5 3 3 10 10 2\n4 5 5 3 3 10 10 2\n"));
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors()[0].find("1, 2, 3"), std::string::npos) << errors()[0];
    EXPECT_EQ(river_work.sumw(11), 0.0f);
    EXPECT_GT(river_work.sumw(13), 0.0f);
    for (int i = 1; i <= 25; ++i) EXPECT_TRUE(std::isfinite(river_work.sumw(i)));
}

TEST_F(IntersectTest, IndexedSearchEqualsThePlainOne) {
    lattice_mesh(30, 25, 10.0f, 0.3f);
    float total = 0;
    nodal_area(0, 0, total);
    std::vector<MeshPoint> pts;
    for (int k = 0; k <= 120; ++k)
        pts.push_back({-15.0f + 2.7f * k, 120.0f + 90.0f * std::sin(0.11f * k)});
    pts.push_back({pts.back().x, 10});   // a vertical piece
    const std::vector<River> rivers{{1, pts}, {2, {{0, 0}, {290, 240}}}, {3, {{150, -20}, {150, 260}}}};
    for (int format : {1, 2}) {
        SCOPED_TRACE(format);
        driver.clear();
        ASSERT_TRUE(run(rivers, constant_attributes({1, 2, 3}), format, true));
        const std::string wl = read_file("wl.par"), bl = read_file("bl.par"), rs = read_file("rs.par");
        const std::size_t ops = driver.calls.size();
        const auto hit = dat40.hitcol;
        driver.clear();
        ASSERT_TRUE(run(rivers, constant_attributes({1, 2, 3}), format, false));
        EXPECT_EQ(read_file("wl.par"), wl);
        EXPECT_EQ(read_file("bl.par"), bl);
        EXPECT_EQ(read_file("rs.par"), rs);
        EXPECT_EQ(driver.calls.size(), ops);
        EXPECT_TRUE(dat40.hitcol.a == hit.a);
    }
}

TEST_F(IntersectTest, CommandMakesTheEchoMapLayer4) {
    write_file("river.ung", river_text({{1, {{1, 21}, {12, 21}, {28, 22}}}}));
    write_file("river.att", constant_attributes({1}));
    intersect_state.riverfile = txt_fixed("river.ung", TextLength);
    intersect_state.attrfile = txt_fixed("river.att", TextLength);
    RiverResultChoice choose_river_results;
    ScopedDialogScript user({{1054}, {1055}, {1056}, {1}});
    cmd_intersect();
    EXPECT_TRUE(errors().empty()) << errors()[0];
    EXPECT_EQ(file_lines("wl.par").size(), 25u);
    EXPECT_EQ(mainstate.shownodal, 1);
    EXPECT_EQ(mainstate.showriver, 1);
    EXPECT_EQ(mainstate.showmaps, 1);
    EXPECT_EQ(txt_trim(map_bln.mapfile(4)), dir.path().string() + "/zeltramo.wat");
    // The command leaves the layer's switch as the user set it; switched
    // on, the echo is drawn as layer 4: a line of three points, two segments.
    EXPECT_EQ(map_bln.mapon(4), 0);
    for (int l = 1; l <= 3; ++l) map_bln.mapon(l) = 0;
    map_bln.mapon(4) = 1;
    map_bln.mapwidth(4) = 1;
    IGrArea(0, 0, 1, 1);
    IGrUnits(0, 0, 40, 40);
    driver.clear();
    EXPECT_EQ(mapbln(), "");
    EXPECT_EQ(AppDrawTest::lines().size(), 2u);
    // Cancel changes nothing more.
    user.start({{2}});
    std::filesystem::remove("wl.par");
    cmd_intersect();
    EXPECT_FALSE(std::filesystem::exists("wl.par"));
}

TEST_F(IntersectTest, SampleRiversOverTheSampleModel) {
    const std::string samples = std::string(QUINDA_SOURCE_DIR) + "/samples/";
    ASSERT_EQ(leesfem(samples + "demo.fem"), FemLoaded);
    float total = 0;
    nodal_area(0, 0, total);
    ASSERT_TRUE(snijden(samples + "demo.ung", "wl.par", "bl.par", "rs.par", samples + "demo.att", 2));
    EXPECT_TRUE(errors().empty()) << errors()[0];
    int hit = 0;
    for (int i = 1; i <= dat4.nnode; ++i) hit += river_work.sumw(i) > 0;
    EXPECT_GT(hit, 20);
    EXPECT_EQ(file_lines("rs.par").size(), static_cast<std::size_t>(dat4.nnode));
    // The flowlines of the samples convert too.
    ASSERT_TRUE(flow2bln(samples + "demo.flw", "flow.bln", 0));
    EXPECT_FALSE(read_file("flow.bln").empty());
}
