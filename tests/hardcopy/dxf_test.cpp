// The DXF driver through the front end and the drawing routines, and
// ezdxf reading what it wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/hardcopy/dxf.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/text.h"
#include "tests/hardcopy/vector_support.h"

namespace {

using Lines = std::vector<std::string>;

// One entity: its type and its group code and value pairs.
struct Entity {
    std::string type;
    std::vector<std::pair<std::string, std::string>> groups;
    std::string get(const std::string& code) const {
        for (const auto& [c, v] : groups)
            if (c == code) return v;
        return "";
    }
    bool has(const std::string& code) const {
        return std::any_of(groups.begin(), groups.end(), [&](const auto& g) { return g.first == code; });
    }
};

class Dxf : public VectorFileTest {
protected:
    Dxf() : VectorFileTest(400, 300) {}
    void SetUp() override {
        VectorFileTest::SetUp();
        select(DriverDxf);
    }
    template <class F>
    Lines run(const std::string& name, F draw) {
        igrhardcopy(name);
        draw();
        igrhardcopy("S");
        ezdxf_audits(name);
        return crlf_lines(name);
    }
    // The entities of the ENTITIES section.
    static std::vector<Entity> entities(const Lines& l) {
        std::vector<Entity> out;
        auto at = std::find(l.begin(), l.end(), "ENTITIES");
        if (at == l.end()) return out;
        for (++at; at + 1 < l.end(); at += 2) {
            if (*at == "0") {
                if (at[1] == "ENDSEC") break;
                out.push_back({at[1], {}});
            } else if (!out.empty()) {
                out.back().groups.emplace_back(*at, at[1]);
            }
        }
        return out;
    }
    // ezdxf's audit finds nothing to complain about.
    void ezdxf_audits(const std::string& name) {
        if (!have_program("ezdxf")) GTEST_SKIP() << "ezdxf is not installed";
        const ReaderRun r = run_reader("ezdxf audit " + name);
        EXPECT_NE(r.out.find("No errors found."), std::string::npos) << name << "\n" << r.out << r.err;
    }
};

TEST_F(Dxf, HeaderOfTheDefaultPageEzdxfAudit) {
    const Lines l = run("empty.dxf", [] {});
    const Lines head = {"0",        "SECTION", "2",  "HEADER",    "9",  "$EXTMIN",   "10", "0.000000", "20",
                        "0.000000", "9",       "$EXTMAX", "10",   "10.500000", "20", "7.500000", "9",  "$CECOLOR",
                        "62",       "7",       "9",  "$CELTYPE",  "6",  "DASHDOT",   "9",  "$VIEWCTR", "10",
                        "5.250000", "20",      "3.750000", "9",   "$LIMMIN",   "10", "0",        "20", "0",
                        "9",        "$LIMMAX", "10", "10.500000", "20", "7.500000",  "0",  "ENDSEC",   "0"};
    ASSERT_GE(l.size(), head.size());
    EXPECT_EQ(Lines(l.begin(), l.begin() + static_cast<std::ptrdiff_t>(head.size())), head);
    const auto dashed = std::find(l.begin(), l.end(), "DASHED");
    ASSERT_NE(dashed, l.end());
    EXPECT_EQ(Lines(dashed + 1, dashed + 16),
              (Lines{"70", "0", "3", std::string(45, ' ').replace(0, 45, [] {
                         std::string s;
                         for (int i = 0; i < 15; ++i) s += "__ ";
                         return s;
                     }()) + " ",
                     "72", "65", "73", "2", "40", "0.75", "49", "0.5", "49", "-0.25", "0"}));
    EXPECT_EQ(Lines(l.end() - 4, l.end()), (Lines{"0", "ENDSEC", "0", "EOF"}));
    EXPECT_TRUE(entities(l).empty());
}

TEST_F(Dxf, NumbersAndTheFarCornerEzdxf) {
    const std::pair<float, const char*> numbers[] = {{0.25f, "0.25"}, {3.0f, "3."}, {0.0f, "0."}, {1.5f, "1.5"},
                                                     {-0.25f, "-0.25"}, {123456789.0f, "123456792."}};
    txt_set(DriverText, "numbers.txt");
    yyprop(DriverChannel);
    for (auto [v, text] : numbers) yydxf5("40", v);
    yyprcl(DriverChannel);
    Lines expected;
    for (auto [v, text] : numbers) expected.insert(expected.end(), {"40", text});
    EXPECT_EQ(crlf_lines("numbers.txt"), expected);

    const auto e = entities(run("corner.dxf", [] { igrpoint(gstate.extent_x, gstate.extent_y); }));
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].type, "POINT");
    EXPECT_EQ(e[0].get("8"), "1");
    EXPECT_EQ(e[0].get("10"), "10.5");
    EXPECT_EQ(e[0].get("20"), "7.5");
    if (have_python_modules("ezdxf")) {
        const ReaderRun r = run_reader(std::string(DebianPython) +
                                       " -c \"import ezdxf; d = ezdxf.readfile('corner.dxf'); "
                                       "p = list(d.modelspace()); "
                                       "print(p[0].dxftype(), p[0].dxf.layer, p[0].dxf.location.x, p[0].dxf.location.y)\"");
        EXPECT_EQ(r.out, "POINT 1 10.5 7.5\n") << r.err;
    }
}

TEST_F(Dxf, ColourIndices) {
    struct Case {
        int depth;  // option 23
        int model;  // colour model
        std::int32_t colour;
        const char* index;
    };
    const std::vector<Case> cases = {
        {8, 24, wrgb(255, 0, 0), "1"},   {8, 24, wrgb(255, 255, 255), "7"}, {8, 24, wrgb(255, 159, 127), "21"},
        {8, 24, wrgb(250, 2, 3), "1"},   {8, 24, wrgb(84, 84, 84), "250"},  {3, 1, 0, "7"},
        // The colour index table holds no black: the nearest is 19, the
        // darkest half-saturated red (38, 19, 19), ahead of the other
        // groups' equally near entries.
        {8, 24, wrgb(0, 0, 0), "19"},
        {3, 1, 16, "1"},                 {3, 1, 240, "7"},                 {4, 1, 0, "8"},
        {4, 1, 40, "9"},                 {4, 1, 255, "8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.depth) + " " + std::to_string(c.colour));
        igrhardcopyoptions(23, c.depth);
        igrcolourmodel(c.model);
        const auto e = entities(run("colour.dxf", [&] {
            IGrColourN(c.colour);
            igrjoin(0, 0, 10, 10);
        }));
        ASSERT_EQ(e.size(), 1u);
        EXPECT_EQ(e[0].get("62"), c.index);
    }
    igrhardcopyoptions(23, 24);  // not a DXF depth: ignored
    EXPECT_EQ(gstate.hc.options.get(23), 4);
}

TEST_F(Dxf, EntitiesOfTheShapes) {
    gstate.text.justification = 0;
    const auto e = entities(run("shapes.dxf", [] {
        quin01.X[0] = 5;
        quin01.Y[0] = 6;
        drvargs.N = 1;
        yyhdrv(OpPolyline);
        drvargs.X = {100, 20, 0, 30};
        drvargs.Y = {100, 20, 0, -90};
        drvargs.K = 0;
        yyhdrv(OpArc);
        EXPECT_EQ(drvargs.K, 1);
        igrcircle(200, 150, 30);
        // Fixed-pitch text below the size at which the core draws strokes.
        WGrTextFont(101);
        igrcharsize(0.5f, 0.5f);
        wgrtextstring(50, 50, "left");
        gstate.text.justification = 1;
        wgrtextstring(50, 100, "centre");
    }));
    std::vector<std::string> types;
    for (const Entity& x : e) types.push_back(x.type);
    EXPECT_EQ(types, (std::vector<std::string>{"POLYLINE", "VERTEX", "SEQEND", "ARC", "CIRCLE", "TEXT", "TEXT"}));
    EXPECT_EQ(e[1].get("10"), "0.131253");  // 5 x 756 / (72 x 399.99)
    EXPECT_FALSE(e[1].has("62"));
    // A negative sweep is written counter-clockwise from its end.
    EXPECT_EQ(e[3].get("50"), "-60.");
    EXPECT_EQ(e[3].get("51"), "30.");
    EXPECT_EQ(e[4].get("40"), "0.78752");
    EXPECT_EQ(e[5].get("1"), "left");
    EXPECT_EQ(e[5].get("72"), "0");
    EXPECT_FALSE(e[5].has("11"));
    EXPECT_FALSE(e[5].has("21"));
    EXPECT_EQ(e[6].get("72"), "1");
    EXPECT_TRUE(e[6].has("11") && e[6].has("21"));
    // The alignment point of centred text is the middle of the string,
    // half its six characters from the start.
    const float half = 0.5f * 6 * gstate.text_ref_size_x * gstate.text.char_width * gstate.hc.x_scale;
    EXPECT_NEAR(std::stof(e[6].get("11")) - std::stof(e[6].get("10")), half, 1e-4f);
    EXPECT_EQ(e[6].get("21"), e[6].get("20"));
    EXPECT_EQ(e[6].get("7"), "STANDARD");
}

TEST_F(Dxf, ShapesLeftToTheCore) {
    struct Case {
        const char* what;
        int style;
        bool circle;  // else a polygon
        float area;   // width of the graphics area
        std::vector<std::string> types;
    };
    const std::vector<Case> cases = {
        {"solid rectangle", 4, false, 1.0f, {"SOLID"}},
        {"outlined polygon", 0, false, 1.0f, {"LINE", "LINE", "LINE"}},
        {"circle in a square area", 0, true, 1.0f, {"CIRCLE"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        igrfillpattern(c.style);
        const auto e = entities(run("left.dxf", [&] {
            if (c.circle) igrcircle(100, 100, 20);
            else if (c.style == 4) IGrRectangle(10, 10, 50, 40);
            else {
                const float x[3] = {10, 50, 50}, y[3] = {10, 10, 40};
                IGrPolygonComplex(x, y, 3);
            }
        }));
        std::vector<std::string> types;
        for (const Entity& x : e) types.push_back(x.type);
        EXPECT_EQ(types, c.types);
    }
    // An ellipse is handed back: the core draws it as lines.
    igrfillpattern(0);
    const auto e = entities(run("ellipse.dxf", [] { igrellipse(100, 100, 20, 0.5f); }));
    EXPECT_GT(e.size(), 8u);
    EXPECT_TRUE(std::all_of(e.begin(), e.end(), [](const Entity& x) { return x.type == "LINE"; }));
}

TEST_F(Dxf, DashedLineAfterAFilledPolygonKeepsItsType) {
    const auto e = entities(run("dashed.dxf", [] {
        igrlinetype(2);
        igrfillpattern(1);
        const float x[3] = {10, 50, 50}, y[3] = {10, 10, 40};
        IGrPolygonComplex(x, y, 3);
        igrjoin(100, 100, 200, 100);
    }));
    ASSERT_GE(e.size(), 2u);
    // The core's outline and hatch lines of the polygon go without a line
    // type; the line drawn afterwards is dashed again.
    for (std::size_t i = 0; i + 1 < e.size(); ++i) EXPECT_FALSE(e[i].has("6")) << i;
    EXPECT_EQ(e.back().get("6"), "DASHED");
    EXPECT_EQ(e.back().get("10"), "2.625066");
}

}  // namespace
