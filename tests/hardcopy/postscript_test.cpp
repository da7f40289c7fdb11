// The PostScript and EPS driver through the front end and the drawing
// routines, and Ghostscript reading what it wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/pending.h"
#include "lib/hardcopy/ps.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "tests/hardcopy/vector_support.h"

namespace {

using Lines = std::vector<std::string>;

const std::int32_t Black = 0, White = 0xffffff, Red = 0x0000ff, Blue = 0xff0000;

// A drawable of the default page's size, so that both scale factors are 1
// to the written precision.
class PostScript : public VectorFileTest {
protected:
    PostScript() : VectorFileTest(756, 540) {}
    void SetUp() override {
        VectorFileTest::SetUp();
        select(DriverPostScript);
        IGrColourN(Black);
    }
    // Ghostscript reads the file without a word.
    void ghostscript_reads(const std::string& name) {
        if (!have_program("gs")) GTEST_SKIP() << "ghostscript is not installed";
        const ReaderRun r = run_reader("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=nullpage " + name);
        EXPECT_EQ(r.status, 0) << name << "\n" << r.out << r.err;
        EXPECT_EQ(r.err, "") << name;
    }
    // Runs DRAW in a hardcopy run to NAME and returns the file's lines.
    template <class F>
    Lines run(const std::string& name, F draw) {
        igrhardcopy(name);
        draw();
        igrhardcopy("S");
        ghostscript_reads(name);
        return crlf_lines(name);
    }
    static std::size_t find(const Lines& l, const std::string& line, std::size_t from = 0) {
        const auto it = std::find(l.begin() + static_cast<std::ptrdiff_t>(std::min(from, l.size())), l.end(), line);
        return static_cast<std::size_t>(it - l.begin());
    }
    // The lines after "%%Page: 1 1", the page set-up and the drawing state
    // (width, join, cap and clip) written at the start of every run.
    static Lines drawing(const Lines& l) {
        std::size_t at = find(l, "%%Page: 1 1") + 1;
        at = find(l, "newpath", at) + 1;  // the clip's
        return Lines(l.begin() + static_cast<std::ptrdiff_t>(std::min(at, l.size())), l.end());
    }
};

TEST_F(PostScript, DefaultRunLineByLine) {
    const Lines l = run("default.ps", [] { igrjoin(0, 0, 100, 50); });
    const Lines head = {"%!PS-Adobe-3.0", "%%Creator: Q.D.X. PostScript driver", "%%EndComments"};
    EXPECT_EQ(Lines(l.begin(), l.begin() + 3), head);
    const std::size_t page = find(l, "%%Page: 1 1");
    ASSERT_LT(page, l.size());
    EXPECT_EQ(Lines(l.begin() + static_cast<std::ptrdiff_t>(page) - 3, l.begin() + static_cast<std::ptrdiff_t>(page)),
              (Lines{"90.0 ro", "42.0 -560.0 translate", "newpath"}));
    // The drawing state of the start: width, join, cap and clip; solid lines
    // and black write nothing yet.
    const Lines state(l.begin() + static_cast<std::ptrdiff_t>(page) + 1, l.begin() + static_cast<std::ptrdiff_t>(page) + 12);
    EXPECT_EQ(state, (Lines{"0.50 w", "0 setlinejoin", "5.0 setmiterlimit", "0 setlinecap", "initclip",
                            "0.0 0.0 m", "756.01 0.0 l", "756.01 540.01 l", "0.0 540.01 l", "clip", "newpath"}));
    // The first paint of a run writes its colour; the end eject and trailer.
    EXPECT_EQ(drawing(l), (Lines{"0.0 0.0 m", "100.0 50.0 l", "0.0 0.0 0.0 g", "s", "/#copies 1 def",
                                 "gsave showpage grestore", "%%EOF", "initgraphics", " \x04"}));
    const std::string bytes = read_file("default.ps");
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n \x04");
    ghostscript_reads("default.ps");
}

TEST_F(PostScript, EncapsulatedHeadAndBoxGhostscriptCrops) {
    igrhardcopyoptions(22, 1);
    EXPECT_EQ(txt_c(gstate.hc.output_name), "derizure.eps");
    if (!have_program("gs")) GTEST_SKIP() << "Ghostscript is not installed";
    const Lines l = run("box.eps", [] {
        igrjoin(0, 0, 755.99f, 539.99f);
        igrfillpattern(4);
        IGrRectangle(-50, -50, 100, 100);  // limited to the drawable in EPS
    });
    EXPECT_EQ(l[0], "%!PS-Adobe-3.0 EPSF-3.0");
    EXPECT_EQ(l[1], "%%BoundingBox: 0 0 540 756");
    const std::size_t page = find(l, "%%Page: 1 1");
    EXPECT_EQ(l[page - 2], "0.0 -540.0 translate");
    EXPECT_EQ(l[page - 3], "90.0 ro");
    for (const char* absent : {"initclip", "gsave showpage grestore", "initgraphics"})
        EXPECT_EQ(find(l, absent), l.size()) << absent;
    EXPECT_EQ(std::count_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("/#copies"); }), 0);
    EXPECT_LT(find(l, "0.0 0.0 m"), find(l, "100.0 100.0 l"));
    EXPECT_EQ(l.back(), "%%EOF");
    ghostscript_reads("box.eps");
    if (have_program("gs")) {
        const ReaderRun r = run_reader("gs -q -dNOPAUSE -dBATCH -dSAFER -dEPSCrop -sDEVICE=png16m -r72 "
                                       "-sOutputFile=box.png box.eps");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(png_size("box.png"), (std::pair{540, 756}));
    }
}

TEST_F(PostScript, PathLimitStrokesAndGoesOn) {
    const Lines l = drawing(run("limit.ps", [] {
        for (int i = 0; i < 300; ++i) igrjoin(static_cast<float>(i), 10, static_cast<float>(i + 1), 10);
    }));
    EXPECT_EQ(std::count(l.begin(), l.end(), "s"), 2);
    // Line 256 strokes the 255 before it, then starts anew at its start.
    ASSERT_GE(l.size(), 260u);
    EXPECT_EQ(l[0], "0.0 10.0 m");
    EXPECT_EQ(l[255], "255.0 10.0 l");
    EXPECT_EQ(Lines(l.begin() + 256, l.begin() + 260), (Lines{"0.0 0.0 0.0 g", "s", "255.0 10.0 m", "256.0 10.0 l"}));
    EXPECT_EQ(std::count_if(l.begin(), l.end(), [](const std::string& s) { return s.ends_with(" m"); }), 2);
    // A smaller limit from option 16 also cuts polylines, each new path
    // starting where the last one stopped.
    igrhardcopyoptions(16, 10);
    const Lines p = drawing(run("polylimit.ps", [] {
        float x[25], y[25];
        for (int i = 0; i < 25; ++i) x[i] = static_cast<float>(i), y[i] = static_cast<float>(i % 2);
        igrpolyline(x, y, 25);
    }));
    EXPECT_EQ(std::count(p.begin(), p.end(), "s"), 3);
    EXPECT_EQ(find(p, "10.0 0.0 m"), find(p, "s") + 1);
    ghostscript_reads("limit.ps");
}

TEST_F(PostScript, StyleChangesStrokeTheOpenPath) {
    const Lines l = drawing(run("styles.ps", [] {
        IGrColourN(Red);
        igrjoin(0, 0, 10, 0);
        IGrColourN(Red);  // the same colour again keeps the path open
        igrjoin(10, 0, 20, 0);
        IGrColourN(Blue);
        igrjoin(20, 0, 30, 0);
        igrlinetype(1);
        igrjoin(30, 0, 40, 0);
        igrlinetype(1);
        igrlinewidth(0, 10);
        igrjoin(40, 0, 50, 0);
    }));
    EXPECT_EQ(l, (Lines{"0.0 0.0 m", "10.0 0.0 l", "20.0 0.0 l", "1.0 0.0 0.0 g", "s",
                        "20.0 0.0 m", "30.0 0.0 l", "0.0 0.0 1.0 g", "s", "[1 5] 4 d",
                        "30.0 0.0 m", "40.0 0.0 l", "s", "1.0 w",
                        "40.0 0.0 m", "50.0 0.0 l", "s", "/#copies 1 def", "gsave showpage grestore",
                        "%%EOF", "initgraphics", " \x04"}));
}

// A point is a dot of its own, round-capped and without dashes, in its
// colour; the open path around it goes on as if it were not there, and
// Ghostscript paints it.
TEST_F(PostScript, PointIsADotBesideTheOpenPath) {
    const Lines l = drawing(run("point.ps", [] {
        IGrColourN(Red);
        igrlinetype(2);
        igrjoin(0, 0, 10, 0);
        igrpoint(30, 20);
        igrjoin(10, 0, 20, 0);
        igrjoin(20, 0, 30, 0);
        igrpoint(5, 5);
    }));
    EXPECT_EQ(l, (Lines{"[6 6] 3 d", "0.0 0.0 m", "10.0 0.0 l", "gsave newpath 1 setlinecap [] 0 d", "30.0 20.0 m",
                        "30.0 20.0 l", "1.0 0.0 0.0 g", "s grestore", "20.0 0.0 l", "30.0 0.0 l",
                        "gsave newpath 1 setlinecap [] 0 d", "5.0 5.0 m", "5.0 5.0 l", "1.0 0.0 0.0 g",
                        "s grestore", "1.0 0.0 0.0 g", "s",
                        "/#copies 1 def", "gsave showpage grestore", "%%EOF", "initgraphics", " \x04"}));
}

TEST_F(PostScript, DashTable) {
    const Lines dashes = {"[1 5] 4 d", "[6 6] 3 d", "[1 3 4 4] 0 d", "[1 2 1 2 4 2] 0 d",
                          "[5 2 3 2] 2 d", "[3 3] 1 d", "[5 2 3 2 3 2] 0 d", "[] 0 d"};
    const Lines l = drawing(run("dashes.ps", [] {
        for (int t : {1, 2, 3, 4, 5, 6, 7, 0}) igrlinetype(t);
    }));
    EXPECT_EQ(Lines(l.begin(), l.begin() + 8), dashes);
    ghostscript_reads("dashes.ps");
}

TEST_F(PostScript, FillsAndTheirColours) {
    struct Case {
        const char* what;
        int style;
        std::int32_t previous, current;
        int colour_mode;
        Lines expected;  // the lines of the shape, from the stroke of the open line on
    };
    const std::vector<Case> cases = {
        {"solid polygon after open lines", 4, White, Red, 0,
         {"0.0 0.0 0.0 g", "s", "10.0 10.0 m", "20.0 10.0 l", "20.0 20.0 l", "1.0 0.0 0.0 g", "cf"}},
        {"two-colour pattern fills with the mean", 3, White, Black, 0,
         {"0.0 0.0 0.0 g", "s", "10.0 10.0 m", "20.0 10.0 l", "20.0 20.0 l", "0.50 0.50 0.50 g", "cf"}},
        {"colour mode 2: white fills black", 4, Black, White, 2,
         {"1.0 1.0 1.0 g", "s", "10.0 10.0 m", "20.0 10.0 l", "20.0 20.0 l", "0.0 0.0 0.0 g", "cf"}},
        {"colour mode 2: red stays red", 4, Black, Red, 2,
         {"1.0 1.0 1.0 g", "s", "10.0 10.0 m", "20.0 10.0 l", "20.0 20.0 l", "1.0 0.0 0.0 g", "cf"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        igrhardcopyoptions(6, c.colour_mode);
        const Lines l = drawing(run("fill.ps", [&] {
            IGrColourN(Black);
            igrjoin(0, 0, 5, 5);
            igrfillpattern(c.style);
            IGrColourN(c.previous);
            IGrColourN(c.current);
            const float x[3] = {10, 20, 20}, y[3] = {10, 10, 20};
            IGrPolygonComplex(x, y, 3);
        }));
        ASSERT_GE(l.size(), 2 + c.expected.size());
        EXPECT_EQ(Lines(l.begin() + 2, l.begin() + 2 + static_cast<std::ptrdiff_t>(c.expected.size())), c.expected);
        ghostscript_reads("fill.ps");
        igrfillpattern(0);
    }
}

TEST_F(PostScript, HatchedRectangleOnlyColoursTheCoreLines) {
    const Lines l = drawing(run("hatch.ps", [] {
        igrfillpattern(1);
        IGrColourN(Red);
        IGrRectangle(10, 10, 100, 100);
        igrcircle(200, 200, 50);
    }));
    // No closed path of its own: the hatch and outline lines of the core.
    EXPECT_EQ(find(l, "cf"), l.size());
    EXPECT_GT(std::count_if(l.begin(), l.end(), [](const std::string& s) { return s.ends_with(" l"); }), 10);
    // The circle is drawn (stroked) by the driver.
    const std::size_t circle = find(l, "200.0 200.0 50.0 90. 450. arc");
    ASSERT_LT(circle, l.size());
    EXPECT_EQ(l[circle - 1], "gsave 1.0 1.0000 scale newpath");
    EXPECT_EQ(l[circle + 1], "s");
    EXPECT_EQ(l[circle + 2], "grestore");
    ghostscript_reads("hatch.ps");
}

TEST_F(PostScript, Strings) {
    WGrTextFont(102);
    gstate.text.justification = 0;  // left; the graphics initialisation centres
    const Lines l = drawing(run("text.ps", [] {
        wgrtextstring(100, 100, "a(b)\\c");
        yychrot(30.7f);
        wgrtextstring(100, 200, "turned");
        yychrot(0);
        gstate.text.justification = 2;
        igrcharsize(0.2f, 0.2f);  // the whole string on the drawable
        wgrtextstring(600, 300, std::string(200, '('));
    }));
    const std::size_t first = find(l, "(a\\(b\\)\\\\c) lsh");
    ASSERT_LT(first, l.size()) << ::testing::PrintToString(l);
    EXPECT_TRUE(l[first - 2].starts_with("/Helvetica-1 ff [")) << l[first - 2];
    EXPECT_TRUE(l[first - 1].ends_with(" m"));
    const std::size_t turned = find(l, "(turned) lsh");
    ASSERT_LT(turned, l.size());
    EXPECT_EQ(l[turned - 1], "30.0 ro");
    EXPECT_EQ(l[turned + 1], "330.0 ro");
    // 200 parentheses escape to 400 characters: cut at 248 (124 pairs), the
    // closing parenthesis and the show word kept.
    const auto longest = std::find_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("(\\(\\("); });
    ASSERT_NE(longest, l.end());
    std::string pairs;
    for (int i = 0; i < 124; ++i) pairs += "\\(";
    EXPECT_EQ(*longest, "(" + pairs + ") rsh");
    EXPECT_LE(longest->size(), 255u);
    ghostscript_reads("text.ps");
}

TEST_F(PostScript, PageComments) {
    // N = 0 announces another page; the front end's stop sends N = 1.
    igrhardcopy("pages.ps");
    igrjoin(0, 0, 10, 10);
    drvargs.N = 0;
    yyhdrv(OpEndPage);
    igrjoin(0, 0, 10, 10);
    igrhardcopy("S");
    const Lines l = crlf_lines("pages.ps");
    const std::size_t eject = find(l, "gsave showpage grestore");
    EXPECT_EQ(l[eject + 1], "%%Page: 2 2");
    const std::size_t second = find(l, "gsave showpage grestore", eject + 1);
    ASSERT_LT(second, l.size());
    EXPECT_EQ(l[second + 1], "%%EOF");
    ghostscript_reads("pages.ps");
}

TEST_F(PostScript, LineModeKeepsCommentsInTheFirstColumn) {
    igrhardcopyoptions(17, 1);
    const Lines l = run("linemode.ps", [] { igrjoin(0, 0, 100, 50); });
    ASSERT_GT(l.size(), 20u);
    EXPECT_EQ(l[0], "%!PS-Adobe-3.0");
    for (const std::string& s : l) {
        ASSERT_FALSE(s.empty());
        if (s == " \x04") continue;
        if (s[0] == '%') continue;
        EXPECT_EQ(s[0], ' ') << s;
        EXPECT_NE(s[1], ' ') << s;
    }
    EXPECT_LT(find(l, " 100.0 50.0 l"), l.size());
    EXPECT_LT(find(l, "%%EOF"), l.size());
    EXPECT_EQ(find(l, " %%EOF"), l.size());
    ghostscript_reads("linemode.ps");
}

TEST_F(PostScript, TallLandscapePageStaysOnA4PaperInGhostscript) {
    igrhardcopyoptions(2, 570);
    igrlinewidth(0, 20);
    igrhardcopy("tall.ps");
    igrjoin(0, 0, 755.99f, 0);
    igrjoin(755.99f, 0, 755.99f, 539.99f);
    igrjoin(755.99f, 539.99f, 0, 539.99f);
    igrjoin(0, 539.99f, 0, 0);
    igrhardcopy("S");
    const Lines l = crlf_lines("tall.ps");
    EXPECT_LT(find(l, "42.0 -590.0 translate"), l.size());
    if (!have_program("gs")) GTEST_SKIP() << "Ghostscript is not installed";
    const ReaderRun r = run_reader("gs -q -dNOPAUSE -dBATCH -dSAFER -sPAPERSIZE=a4 -dFIXEDMEDIA -sDEVICE=pnggray -r72 "
                                   "-sOutputFile=tall.png tall.ps");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(png_size("tall.png"), (std::pair{595, 842}));
    // The frame's sides on the paper: rotated, the page's bottom is on the
    // right at x = 590, its top on the left at x = 20, its sides at the
    // heights 842 - 42 and 842 - 798 from the top.
    if (!have_python_modules("PIL")) GTEST_SKIP() << "python3-pil is not installed";
    const ReaderRun dark = run_reader(
        std::string(DebianPython) +
        " -c \"from PIL import Image; im = Image.open('tall.png').convert('L'); w, h = im.size\n"
        "def col(x): return sum(im.getpixel((x, y)) < 128 for y in range(60, 780))\n"
        "def row(y): return sum(im.getpixel((x, y)) < 128 for x in range(40, 570))\n"
        "print(max(col(x) for x in range(17, 24)), max(col(x) for x in range(587, 594)), "
        "max(row(y) for y in range(41, 48)), max(row(y) for y in range(796, 803)))\"");
    ASSERT_EQ(dark.status, 0) << dark.err;
    int left = 0, right = 0, top = 0, bottom = 0;
    ASSERT_EQ(std::sscanf(dark.out.c_str(), "%d %d %d %d", &left, &right, &top, &bottom), 4) << dark.out;
    EXPECT_GT(left, 600);
    EXPECT_GT(right, 600);
    EXPECT_GT(top, 450);
    EXPECT_GT(bottom, 450);
}

TEST_F(PostScript, HugeFontAndCoordinatesKeepTheirDigits) {
    // A page of a hundred million points: coordinates beyond F9.2 and a
    // font beyond F5.1.
    igrhardcopyoptions(1, 100000000);
    WGrTextFont(103);
    const Lines l = drawing(run("huge.ps", [] {
        wgrtextstring(100, 100, "big");
        igrjoin(0, 0, 755.99f, 10);
    }));
    for (const std::string& s : l) EXPECT_EQ(s.find('*'), std::string::npos) << s;
    const auto font = std::find_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("/Times-1"); });
    ASSERT_NE(font, l.end());
    EXPECT_TRUE(font->starts_with("/Times-1 ff [1718.3 0 0 ")) << *font;
    const auto end = std::find_if(l.begin(), l.end(), [](const std::string& s) { return s.ends_with(" 10.0 l"); });
    ASSERT_NE(end, l.end());
    EXPECT_EQ(end->find(' '), 11u) << *end;  // nine digits, the point and one decimal
    ghostscript_reads("huge.ps");
}

// A 24-bit BMP of 41 x 2 pixels: the first red, the 82nd ABCDEF (packed),
// the others black.
void picture_41_by_2(const std::string& name) {
    std::string bmp = "BM";
    auto word = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bmp += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    word(54 + 2 * 124, 4), word(0, 4), word(54, 4), word(40, 4), word(41, 4), word(2, 4), word(1, 2), word(24, 2);
    word(0, 4), word(0, 4), word(0, 4), word(0, 4), word(0, 4), word(0, 4);
    std::string bottom(124, '\0'), top(124, '\0');
    bottom[120] = static_cast<char>(0xab), bottom[121] = static_cast<char>(0xcd), bottom[122] = static_cast<char>(0xef);
    top[2] = static_cast<char>(0xff);
    write_file(name, bmp + bottom + top);
}

TEST_F(PostScript, ImageBlocks) {
    picture_41_by_2("picture.bmp");
    auto image = [](int w, int h, const char* name = "picture.bmp") {
        txt_set(DriverText, name);
        drvargs.IX[1] = w;
        drvargs.IY[1] = h;
        yyhdrv(OpImageFile);
    };
    igrhardcopy("image.ps");
    image(41, 2);
    EXPECT_EQ(drvargs.K, 0);
    quinda.last_error = 0;
    image(41, 2, "missing.bmp");
    EXPECT_EQ(drvargs.K, 27);
    EXPECT_EQ(quinda.last_error, 27);
    // Sizes that overflow or exceed what a picture can hold load nothing.
    for (auto [w, h] : {std::pair{0, 5}, {-1, 5}, {65536, 65536}, {2147483647, 2147483647}}) {
        image(w, h);
        EXPECT_EQ(drvargs.K, 27) << w << " x " << h;
    }
    igrhardcopy("S");
    const Lines l = crlf_lines("image.ps");
    const std::size_t at = find(l, "colorimage");
    ASSERT_LT(at, l.size());
    EXPECT_EQ(l[at - 3], "41 2 8 [41 0 0 -2 0 2]");
    EXPECT_EQ(find(l, "/picstr 123 string def"), at - 6);
    EXPECT_EQ(l[at + 1].size(), 240u);
    EXPECT_TRUE(l[at + 1].starts_with("ff0000000000"));
    EXPECT_EQ(l[at + 2].size(), 240u);
    EXPECT_EQ(l[at + 3], "000000efcdab");
    EXPECT_EQ(l[at + 4], "grestore");
    EXPECT_EQ(std::count(l.begin(), l.end(), "colorimage"), 1);
    ghostscript_reads("image.ps");
}

TEST_F(PostScript, ImageFromTheRasterReader) {
    // A BMP of two pixels, red and blue, 24 bits, one row padded to 8 bytes.
    std::string bmp = "BM";
    auto word = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bmp += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    word(62, 4), word(0, 4), word(54, 4), word(40, 4), word(2, 4), word(1, 4), word(1, 2), word(24, 2);
    word(0, 4), word(8, 4), word(2835, 4), word(2835, 4), word(0, 4), word(0, 4);
    bmp += std::string("\x00\x00\xff\xff\x00\x00\x00\x00", 8);
    write_file("two.bmp", bmp);
    igrhardcopy("raster.ps");
    txt_set(DriverText, "two.bmp");
    drvargs.IX[1] = 2;
    drvargs.IY[1] = 1;
    yyhdrv(OpImageFile);
    EXPECT_EQ(drvargs.K, 0);
    igrhardcopy("S");
    const Lines l = crlf_lines("raster.ps");
    const std::size_t at = find(l, "colorimage");
    ASSERT_LT(at + 1, l.size());
    EXPECT_EQ(l[at + 1], "ff00000000ff");
    ghostscript_reads("raster.ps");
}

}  // namespace
