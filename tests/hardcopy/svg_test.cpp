// The SVG driver through the front end and the drawing routines, and
// librsvg and xmllint reading what it wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/svg.h"
#include "lib/window/text.h"
#include "tests/hardcopy/vector_support.h"

namespace {

using Lines = std::vector<std::string>;

const std::int32_t Black = 0, Red = 0x0000ff, Blue = 0xff0000;
const std::string Head[3] = {"<?xml version=\"1.0\"?>", "<!DOCTYPE svg SYSTEM \"\">",
                             "<svg width=\"640\" height=\"480\" xmlns=\"http://www.w3.org/2000/svg\">"};
const std::string RedGroup =
    "<g style=\"fill:none;stroke:#ff0000;stroke-dasharray:none;stroke-width:1;stroke-linejoin:miter;"
    "stroke-linecap:butt\">";

// A drawable of the default page's size: both scale factors are 1 to the
// written precision.
class Svg : public VectorFileTest {
protected:
    Svg() : VectorFileTest(640, 480) {}
    void SetUp() override {
        VectorFileTest::SetUp();
        select(DriverSvg);
        IGrColourN(Red);
    }
    template <class F>
    Lines run(const std::string& name, F draw) {
        igrhardcopy(name);
        draw();
        igrhardcopy("S");
        readers_accept(name);
        return crlf_lines(name);
    }
    // The lines after the head and the first stroke group.
    static Lines body(const Lines& l) { return Lines(l.begin() + std::min<std::ptrdiff_t>(4, l.size()), l.end()); }
    static std::ptrdiff_t count(const Lines& l, const std::string& s) { return std::count(l.begin(), l.end(), s); }

    // librsvg draws it and xmllint finds it well formed, in the SVG
    // namespace.
    void readers_accept(const std::string& name) {
        if (have_program("rsvg-convert")) {
            const ReaderRun r = run_reader("rsvg-convert -o reader.png " + name);
            EXPECT_EQ(r.status, 0) << name << ": " << r.err;
            EXPECT_GT(png_size("reader.png").first, 0);
        }
        if (have_program("xmllint")) {
            const ReaderRun r = run_reader("xmllint --noout " + name);
            EXPECT_EQ(r.status, 0) << name << ": " << r.err;
            EXPECT_EQ(r.err, "");
            const ReaderRun ns = run_reader("xmllint --xpath 'namespace-uri(/*)' " + name);
            EXPECT_EQ(ns.out.substr(0, 26), "http://www.w3.org/2000/svg") << ns.out;
        }
    }
};

TEST_F(Svg, OneRedLineExactlyRsvgXmllint) {
    const Lines l = run("line.svg", [] { igrjoin(0, 0, gstate.extent_x, gstate.extent_y); });
    EXPECT_EQ(l, (Lines{Head[0], Head[1], Head[2], RedGroup, "<line x1=\"0\" y1=\"480\" x2=\"640\" y2=\"0\"/>",
                        "</g></svg>"}));
}

TEST_F(Svg, NumberTexts) {
    const std::pair<float, const char*> cases[] = {
        {12.0f, "12"}, {12.5f, "12.5"}, {3.14159f, "3.14"}, {-2.5f, "-2.5"}, {100.1f, "100.1"},
        {0.0f, "0"},   {3.05f, "3.05"}, {-0.001f, "0"},     {12345678.9f, "12345679"}, {-1234567.25f, "-1234567.25"},
    };
    for (auto [v, text] : cases) EXPECT_EQ(yysvg1(v), text) << v;
}

TEST_F(Svg, StyleGroupsOnlyOnChange) {
    const Lines l = body(run("styles.svg", [] {
        IGrColourN(Blue);
        IGrColourN(Blue);
        igrjoin(0, 0, 10, 10);
        igrlinetype(3);
        igrlinewidth(0, 12);
        igrhardcopyoptions(10, 1);
        igrhardcopyoptions(11, 2);
        igrjoin(0, 0, 10, 10);
    }));
    const std::string blue = "<g style=\"fill:none;stroke:#0000ff;stroke-dasharray:none;stroke-width:1;"
                             "stroke-linejoin:miter;stroke-linecap:butt\">";
    const std::string line = "<line x1=\"0\" y1=\"480\" x2=\"10\" y2=\"470\"/>";
    const std::string prefix = "<g style=\"fill:none;stroke:#0000ff;stroke-dasharray:1 3 4 4;stroke-width:";
    EXPECT_EQ(l, (Lines{"</g>", blue, line, "</g>", prefix + "1;stroke-linejoin:miter;stroke-linecap:butt\">", "</g>",
                        prefix + "3;stroke-linejoin:miter;stroke-linecap:butt\">", "</g>",
                        prefix + "3;stroke-linejoin:round;stroke-linecap:butt\">", "</g>",
                        prefix + "3;stroke-linejoin:round;stroke-linecap:square\">", line, "</g></svg>"}));
}

TEST_F(Svg, ColourModeAndTwoColourFill) {
    struct Case {
        int mode;
        std::int32_t colour;
        const char* text;
    };
    for (const Case& c : {Case{2, Black, "#ffffff"}, Case{2, wrgb(5, 5, 5), "#fafafa"}, Case{2, wrgb(5, 5, 20), "#050514"},
                          Case{1, wrgb(255, 0, 0), "#00ffff"}, Case{0, Black, "#000000"}}) {
        igrhardcopyoptions(6, c.mode);
        IGrColourN(c.colour);
        const Lines l = run("mode.svg", [] {});
        ASSERT_GE(l.size(), 4u);
        EXPECT_NE(l[3].find(std::string("stroke:") + c.text + ";"), std::string::npos) << l[3];
    }
    igrhardcopyoptions(6, 0);
    const Lines l = body(run("pattern.svg", [] {
        igrfillpattern(3);
        IGrColourN(Blue);
        IGrColourN(Red);
        IGrRectangle(10, 10, 20, 30);
    }));
    EXPECT_EQ(count(l, "<g style=\"stroke:none;fill:#7f007f\">"), 1);
    EXPECT_EQ(count(l, "<polygon points=\"10,470 20,470 20,450 10,450\"/>"), 1);
}

TEST_F(Svg, LongPolygonSpansLines) {
    const Lines l = body(run("poly.svg", [] {
        igrfillpattern(4);
        float x[40], y[40];
        // Short numbers: mapped, x and y stay within 10..90 and 10..50
        for (int i = 0; i < 40; ++i) {
            x[i] = 50.0f + 39.0f * std::cos(static_cast<float>(i) * 0.157f);
            y[i] = 450.0f + 19.0f * std::sin(static_cast<float>(i) * 0.157f);
        }
        IGrPolygonComplex(x, y, 40);
    }));
    const auto first = std::find_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("<polygon points=\""); });
    ASSERT_NE(first, l.end());
    const std::string& second = *(first + 1);
    EXPECT_LE(first->size(), 256u);
    EXPECT_TRUE(second.ends_with("\"/>")) << second;
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(second[0])) != 0) << second;
    EXPECT_EQ(second.find("  "), std::string::npos);
    // Forty points, one comma each.
    EXPECT_EQ(std::count(first->begin(), first->end(), ',') + std::count(second.begin(), second.end(), ','), 40);
    EXPECT_EQ(*(first + 2), "</g>");
}

TEST_F(Svg, ArcFlags) {
    struct Case {
        std::int32_t op;
        float end;
        int style, density;
        const char* large;
        bool closed;
    };
    const Case cases[] = {{OpArc, 3.1415927f, 0, 3, "1", false}, {OpArc, 3.0f, 0, 3, "0", false},
                          {OpArc, 3.0f, 0, 2, "0", true},        {OpArc, 3.0f, 1, 3, "0", true},
                          {OpSectorPattern, 1.0f, 4, 3, "0", true}};
    igrhardcopy("arcs.svg");
    for (const Case& c : cases) {
        igrfillpattern(c.style, c.density);
        drvargs.X = {100, 50, 0, 0};
        drvargs.Y = {100, 50, c.end, 0};
        drvargs.K = 1;
        yyhdrv(c.op);
    }
    igrhardcopy("S");
    readers_accept("arcs.svg");
    Lines l;
    for (const std::string& line : crlf_lines("arcs.svg"))
        if (line.starts_with("<path ")) l.push_back(line);
    ASSERT_EQ(l.size(), std::size(cases));
    for (std::size_t i = 0; i < l.size(); ++i) {
        SCOPED_TRACE(l[i]);
        EXPECT_TRUE(l[i].starts_with("<path d=\"M 150,380 A 50,50 0 " + std::string(cases[i].large) + " 0 "));
        EXPECT_EQ(l[i].find(" L 100,380 L 150,380\"/>") != std::string::npos, cases[i].closed);
    }
}

TEST_F(Svg, TextEscapes) {
    gstate.text.justification = 0;
    const Lines l = body(run("text.svg", [] {
        WGrTextFont(102);
        wgrtextstring(100, 100, "a<b & c");
        wgrtextstring(100, 150, "\xe9\x80\x81\x9f\xa0\x01\x7f");
        yychrot(90);
        wgrtextstring(300, 100, "up");
    }));
    std::vector<std::string> texts;
    for (const std::string& s : l) {
        const std::size_t open = s.find("\">"), close = s.find("</text>");
        if (s.starts_with("<text ") && open != std::string::npos && close != std::string::npos)
            texts.push_back(s.substr(open + 2, close - open - 2));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"a&#60;b &#38; c", "&#233;&#8364;&#129;&#376;&#160; \x7f", "up"}));
    const auto up = std::find_if(l.begin(), l.end(), [](const std::string& s) { return s.ends_with(">up</text>"); });
    ASSERT_NE(up, l.end());
    EXPECT_NE(up->find(")rotate(-90)\">"), std::string::npos) << *up;
    const auto group = std::find_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("<g style=\"fill:#"); });
    ASSERT_NE(group, l.end());
    EXPECT_TRUE(group->starts_with("<g style=\"fill:#ff0000;stroke:none;font-family:Arial,Helvetica;font-size:")) << *group;
}

TEST_F(Svg, ClipPaths) {
    const Lines l = body(run("clip.svg", [] {
        igrfillpattern(4);
        IGrRectangle(10, 10, 20, 20);
        IGrArea(0.25f, 0.25f, 0.75f, 0.75f);
        IGrArea(0.5f, 0.0f, 1.0f, 0.5f);
        IGrUnits(0, 0, 100, 100);
        IGrRectangle(10, 10, 20, 20);
    }));
    EXPECT_EQ(count(l, "<g style=\"stroke:none;fill:#ff0000\">"), 1);
    EXPECT_EQ(count(l, "<defs><clipPath id=\"clip1\"><rect width=\"320\" height=\"240\" x=\"160\" y=\"120\"/>"
                       "</clipPath></defs>"),
              1);
    EXPECT_EQ(count(l, "<defs><clipPath id=\"clip2\"><rect width=\"320\" height=\"240\" x=\"320\" y=\"240\"/>"
                       "</clipPath></defs>"),
              1);
    EXPECT_EQ(count(l, "<g style=\"stroke:none;fill:#ff0000;clip-path:url(#clip2)\">"), 1);
}

TEST_F(Svg, DocumentStaysBalanced) {
    // Group ends without their begins, and a run ended with a fill and a
    // text group still open.
    igrhardcopy("balance.svg");
    igrfillpattern(4);
    drvargs.K = -1;
    yyhdrv(OpPolygonPattern);
    txt_set(DriverText, "x");
    drvargs.IX = {1, 2, 0, 0};
    yyhdrv(OpText);
    drvargs.K = 1;
    drvargs.N = 0;
    yyhdrv(OpPolygonPattern);
    drvargs.IX = {1, 1, 0, 0};
    yyhdrv(OpText);
    igrhardcopy("S");
    readers_accept("balance.svg");
    // A run whose stroke group never opened (the file without the state
    // operations of a start).
    txt_set(DriverText, "bare.svg");
    drvargs.K = 1;
    xxsvg(OpBeginPicture);
    xxsvg(OpEndOutput);
    EXPECT_EQ(crlf_lines("bare.svg"), (Lines{Head[0], Head[1], Head[2], "</svg>"}));
    readers_accept("bare.svg");
}

TEST_F(Svg, NothingForOtherOperations) {
    igrhardcopy("quiet.svg");
    for (std::int32_t op : {20, 21, 25, 35, 38, 40, 0, 41}) {
        drvargs.K = 1;
        yyhdrv(op);
    }
    igrhardcopy("S");
    readers_accept("quiet.svg");
    EXPECT_EQ(crlf_lines("quiet.svg"), (Lines{Head[0], Head[1], Head[2], RedGroup, "</g></svg>"}));
}

}  // namespace
