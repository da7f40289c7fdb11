// Binary CGM: the encoding, hardcopy driver 9 through the front end and the
// drawing routines, and LibreOffice reading what it wrote.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/hardcopy/cgm.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "tests/hardcopy/cgm_support.h"
#include "tests/hardcopy/vector_support.h"
#include "tests/support/cgm_walker.h"

namespace {

std::string bytes(std::initializer_list<int> v) {
    std::string s;
    for (int b : v) s += static_cast<char>(b);
    return s;
}

TEST(CgmEncoding, GoldenOctets) {
    struct Case {
        const char* what;
        std::string got, want;
    };
    auto el = [](int c, int i, std::string p) {
        std::string o;
        cgm::element(o, c, i, p);
        return o;
    };
    auto str = [](std::string_view t) {
        std::string o;
        cgm::string(o, t, true);
        return o;
    };
    auto num = [](std::int64_t v) {
        std::string o;
        cgm::integer(o, v);
        return o;
    };
    std::string colour;
    cgm::colour_element(colour, 5, 4, 255, 128, 0);
    std::string raw_minus;
    cgm::word(raw_minus, -1);
    const std::string eight(8, '\0');
    const Case cases[] = {
        {"BEGIN PICTURE BODY", el(0, 4, ""), bytes({0x00, 0x80})},
        {"END METAFILE", el(0, 2, ""), bytes({0x00, 0x40})},
        {"END PICTURE", el(0, 5, ""), bytes({0x00, 0xA0})},
        {"two-point POLYLINE", el(4, 1, eight).substr(0, 2), bytes({0x40, 0x28})},
        {"long POLYGON", el(4, 7, std::string(40, '\0')).substr(0, 4), bytes({0x40, 0xFF, 0x00, 0x28})},
        {"-1", num(-1), bytes({0xFF, 0xFF})},
        {"raw -1", raw_minus, bytes({0xFF, 0xFF})},
        {"300", num(300), bytes({0x01, 0x2C})},
        // Values beyond 16 bits stay at their edge instead of wrapping.
        {"40000", num(40000), bytes({0x7F, 0xFF})},
        {"-40000", num(-40000), bytes({0x80, 0x00})},
        {"colour", colour, bytes({0x50, 0x84, 0xFF, 0x80, 0x00, 0x00})},
        {"QDX CGM File", str("QDX CGM File"), bytes({12}) + "QDX CGM File" + bytes({0})},
        {"QDX CGM driver v4", str("QDX CGM driver v4"), bytes({17}) + "QDX CGM driver v4"},
        {"odd parameters", el(1, 1, "abc"), bytes({0x10, 0x23}) + "abc" + bytes({0})},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
    EXPECT_EQ(str("QDX CGM File").size(), 14u);
    EXPECT_EQ(str("QDX CGM driver v4").size(), 18u);

    // 255 characters and more take the long string form.
    const std::string t300(300, 'x');
    EXPECT_EQ(str(t300), bytes({0xFF, 0x01, 0x2C}) + t300 + bytes({0}));
    EXPECT_EQ(str(std::string(254, 'y')).substr(0, 1), bytes({254}));
    // A parameter list beyond one partition is split, never a wrapped length.
    const std::string big(70000, 'p');
    const CgmWalk w = walk_cgm(el(4, 7, big) + el(0, 2, ""));
    ASSERT_EQ(w.error, "");
    ASSERT_EQ(w.elements.size(), 2u);
    EXPECT_EQ(w.elements[0].params, big);
    EXPECT_EQ(w.elements[0].parts, (std::vector<int>{32768 + 32766, 32768 + 32766, 70000 - 2 * 32766}));
}

TEST(CgmEncoding, FontListLengthsAndVdcExtents) {
    for (auto [option, length] : {std::pair{0, 204u}, {1, 204u}, {2, 260u}, {7, 260u}, {-1, 260u}}) {
        const std::string p = cgm::font_list(option);
        const std::size_t want = option == 1 ? 204u : length;
        EXPECT_EQ(p.size(), want) << option;
        if (option == 1) {
            EXPECT_EQ(p.back(), '\0');
        }
    }
    EXPECT_EQ(cgm::font_list(7), cgm::font_list(2));
    EXPECT_EQ((cgm::vdc_extent(756, 540, 600, 600)), (std::array<std::int32_t, 2>{6300, 4500}));
    EXPECT_EQ((cgm::vdc_extent(4000, 3000, 600, 600)), (std::array<std::int32_t, 2>{32767, 24575}));
}

TEST(CgmEncoding, ColourModeSwapsOnlyBlackAndWhite) {
    struct Case {
        int mode;
        Rgb in, out;
    };
    const Case cases[] = {{2, {5, 5, 5}, {250, 250, 250}}, {2, {100, 5, 5}, {100, 5, 5}},
                          {2, {250, 250, 250}, {5, 5, 5}}, {1, {100, 5, 5}, {155, 250, 250}},
                          {0, {5, 5, 5}, {5, 5, 5}}};
    for (const Case& c : cases) {
        gstate.hc.options.set(6, c.mode);
        Rgb v = c.in;
        yycgm1(v.r, v.g, v.b);
        EXPECT_EQ(v, c.out) << c.mode << ": " << c.in.r;
    }
    gstate.hc.options.set(6, 0);
}

class Cgm : public CgmFileTest {};

TEST_F(Cgm, DefaultPageHeaderAndLineWidth) {
    const CgmWalk w = run("page.cgm", [] { igrjoin(0, 0, gstate.extent_x, gstate.extent_y); });
    ASSERT_TRUE(w.whole()) << w.error;
    // BEGIN METAFILE names the file when there is no title.
    EXPECT_EQ(w.elements[0].params, bytes({12}) + "QDX CGM File");
    const auto extent = w.all(2, 6);
    ASSERT_EQ(extent.size(), 1u);
    EXPECT_EQ(extent[0]->params, bytes({0, 0, 0, 0, 0x18, 0x9C, 0x11, 0x94}));
    const auto width = w.all(5, 3);
    ASSERT_FALSE(width.empty());
    EXPECT_EQ(cgm_int(width[0]->params, 0), 4);
    const auto fonts = w.all(1, 13);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0]->parts, (std::vector<int>{260}));
    // The line goes corner to corner of the picture, truncated.
    const auto lines = w.all(4, 1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->params, bytes({0, 0, 0, 0, 0x18, 0x9B, 0x11, 0x93}));
    identification_reads("page.cgm", 6300.0f / 4500.0f);
    libreoffice_reads("page.cgm");
}

TEST_F(Cgm, LargePageAndFontListOptions) {
    igrhardcopyoptions(1, 4000);
    igrhardcopyoptions(2, 3000);
    igrhardcopyoptions(28, 1);
    CgmWalk w = run("large.cgm", [] { igrjoin(0, 0, 10, 10); });
    ASSERT_TRUE(w.whole()) << w.error;
    identification_reads("large.cgm", 32767.0f / 24575.0f);
    EXPECT_EQ(w.all(2, 6)[0]->params, bytes({0, 0, 0, 0, 0x7F, 0xFF, 0x5F, 0xFF}));
    EXPECT_EQ(w.all(1, 13)[0]->parts, (std::vector<int>{204}));
    EXPECT_EQ(w.all(1, 13)[0]->params.back(), '\0');
    // A value outside 0..2 writes the driver's default list, not a bare
    // header.
    igrhardcopyoptions(28, 5);
    w = run("odd.cgm", [] { igrjoin(0, 0, 10, 10); });
    ASSERT_TRUE(w.whole()) << w.error;
    EXPECT_EQ(w.all(1, 13)[0]->params, cgm::font_list(2));
}

TEST_F(Cgm, LineColourOnlyWhenItChangesAndAgainAfterABegin) {
    auto draw = [] {
        IGrColourN(0x0000ff);
        igrjoin(0, 0, 10, 10);
        igrjoin(10, 10, 20, 0);
        IGrColourN(0x00ff00);
        igrjoin(0, 5, 20, 5);
    };
    for (const char* name : {"one.cgm", "two.cgm"}) {
        const CgmWalk w = run(name, draw);
        ASSERT_TRUE(w.whole()) << w.error;
        const auto colours = w.all(5, 4);
        ASSERT_EQ(colours.size(), 2u) << name;
        EXPECT_EQ(colours[0]->params, bytes({0xFF, 0, 0, 0}));
        EXPECT_EQ(colours[1]->params, bytes({0, 0xFF, 0, 0}));
    }
}

TEST_F(Cgm, FillsAndTheirColours) {
    IGrColourN(0x0000ff);
    IGrColourN(0xff0000);
    igrfillpattern(3);
    CgmWalk w = run("mean.cgm", [] { IGrRectangle(10, 10, 100, 100); });
    ASSERT_TRUE(w.whole()) << w.error;
    ASSERT_EQ(w.all(5, 23).size(), 1u);
    EXPECT_EQ(w.all(5, 23)[0]->params, bytes({127, 0, 127, 0}));
    EXPECT_EQ(w.all(4, 11).size(), 1u);

    // A hatched quadrilateral is drawn by the core: the driver writes
    // nothing for it, but the page has content.
    igrhardcopy("hatch.cgm");
    igrfillpattern(1);
    const std::size_t before = written_so_far().size();
    gstate.hc.page_in_progress = 0;
    drvargs.K = 1;
    yyhdrv(OpQuadPattern);
    EXPECT_EQ(written_so_far().size(), before);
    EXPECT_EQ(gstate.hc.page_in_progress, 1);
    igrhardcopy("S");
    EXPECT_TRUE(walk_cgm(read_file("hatch.cgm")).whole());
}

TEST_F(Cgm, TitlesAndRestrictedText) {
    igrhardcopy("title.cgm", std::string(10, ' '));
    auto text = [](int n) {
        txt_set(DriverText, std::string(static_cast<std::size_t>(n), 'a' + static_cast<char>(n % 26)));
        drvargs.IX[0] = n;
        drvargs.IX[1] = 3;
        yyhdrv(OpText);
    };
    for (int n : {19, 20, 260}) text(n);
    igrhardcopy("S");
    const std::string file = read_file("title.cgm");
    // A title of blanks: length 1, the octets 00 00.
    EXPECT_EQ(file.substr(0, 4), bytes({0x00, 0x21, 0x00, 0x00}));
    const CgmWalk w = walk_cgm(file);
    ASSERT_TRUE(w.whole()) << w.error;
    const auto texts = w.all(4, 5);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0]->declared, 30);
    EXPECT_EQ(texts[1]->declared, 31);
    EXPECT_EQ(texts[1]->parts, (std::vector<int>{31}));
    // 260 characters: the long string form after the fixed parameters.
    EXPECT_EQ(texts[2]->params.substr(10, 3), bytes({0xFF, 0x01, 0x04}));
    EXPECT_EQ(texts[2]->params.size(), 10u + 3u + 260u);
}

TEST_F(Cgm, CellArrayRowsAsPartitions) {
    write_bmp("three.bmp", 3, 1, {0x0000ff, 0x0000ff, 0xff0000});
    // 7000 alternating pixels: one row over more than one partition.
    std::vector<std::int32_t> wide(7000);
    for (std::size_t i = 0; i < wide.size(); ++i) wide[i] = i % 2 ? 0xffffff : 0;
    write_bmp("wide.bmp", 7000, 1, wide);
    igrhardcopy("image.cgm");
    auto image = [](const char* name, int w, int h) {
        txt_set(DriverText, name);
        drvargs.IX[1] = w;
        drvargs.IY[1] = h;
        yyhdrv(OpImageFile);
        return drvargs.K;
    };
    EXPECT_EQ(image("three.bmp", 3, 1), 0);
    EXPECT_EQ(image("wide.bmp", 7000, 1), 0);
    quinda.last_error = 0;
    EXPECT_NE(image("missing.bmp", 3, 1), 0);
    igrhardcopy("S");
    const std::string file = read_file("image.cgm");
    const CgmWalk w = walk_cgm(file);
    ASSERT_TRUE(w.whole()) << w.error;
    identification_reads("image.cgm", 6300.0f / 4500.0f);
    const auto cells = w.all(4, 9);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0]->parts, (std::vector<int>{32788, 10}));
    EXPECT_EQ(cells[0]->params.substr(20), bytes({0, 2, 0xFF, 0, 0, 0, 1, 0, 0, 0xFF}));
    const auto at = file.find(bytes({0x00, 0x0A, 0x00, 0x02, 0xFF, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0xFF}));
    EXPECT_NE(at, std::string::npos);
    ASSERT_EQ(cells[1]->parts.size(), 3u);
    EXPECT_EQ(cells[1]->parts[1], 32768 + 32766);
    EXPECT_EQ(cells[1]->parts[2], 35000 - 32766);
}

TEST_F(Cgm, BeginWithoutOutputAndRunsWithoutDrawing) {
    igrhardcopy("empty.cgm");
    const std::size_t before = written_so_far().size();
    drvargs.K = 0;
    yyhdrv(OpBeginPicture);
    EXPECT_EQ(written_so_far().size(), before);
    igrhardcopy("S");
    const CgmWalk w = walk_cgm(read_file("empty.cgm"));
    ASSERT_TRUE(w.whole()) << w.error;
    identification_reads("empty.cgm", 6300.0f / 4500.0f);
    const std::size_t n = w.elements.size();
    EXPECT_EQ(w.elements[n - 2].id, 5);
    EXPECT_EQ(w.elements[n - 1].id, 2);
}

TEST_F(Cgm, FarCoordinatesAndRunawaySectorsStayBounded) {
    const CgmWalk w = run("far.cgm", [] {
        drvargs = {};
        drvargs.X = {-1.0e6f, 1.0e6f, 0, 0};
        yyhdrv(OpLine);
        drvargs.K = 1;
        gstate.fill_style = 4;
        drvargs.X = {100, 1.0e30f, 0.0f, 1.0e30f};
        drvargs.Y = {100, 50, 0, 0};
        yyhdrv(OpSectorPattern);
        drvargs.X = {100, 50, NAN, NAN};
        yyhdrv(OpSectorPattern);
    });
    ASSERT_TRUE(w.whole()) << w.error;
    const auto lines = w.all(4, 1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(cgm_int(lines[0]->params, 0), -32768);
    EXPECT_EQ(cgm_int(lines[0]->params, 4), 32767);
    for (const CgmElement* p : w.all(4, 7)) EXPECT_LT(p->params.size(), 40000u);
}

TEST_F(Cgm, PictureLibreOffice) {
    const CgmWalk w = run("picture.cgm", draw_test_picture);
    ASSERT_TRUE(w.whole()) << w.error;
    libreoffice_finds_test_picture("picture.cgm");
}

// Texts of the three alignments, read back from what LibreOffice makes of
// the file: each whole (in one piece, not broken into lines) and in the
// order they stand on the page, top to bottom.
TEST_F(Cgm, LibreOfficeReadsTheTextsWhole) {
    const CgmWalk w = run("texts.cgm", [] {
        IGrColourN(0x000000);
        // Characters as wide as the reader's face draws them: it breaks a
        // text wider than its restricted box into lines.
        igrcharsize(2.5f, 1.5f);
        for (int j = 0; j < 3; ++j) {
            gstate.text.justification = j;
            wgrtextstring(320, static_cast<float>(200 + 60 * j), j == 0 ? "LEFT" : j == 1 ? "CENTRED" : "RIGHT");
        }
        gstate.text.justification = 0;
    });
    ASSERT_TRUE(w.whole()) << w.error;
    if (!have_program("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
    if (!have_program("pdftotext")) GTEST_SKIP() << "poppler-utils is not installed";
    libreoffice_reads("texts.cgm");
    const ReaderRun r = run_reader("pdftotext -bbox texts.pdf -");
    ASSERT_EQ(r.status, 0) << r.err;
    // The top of each word, from its bounding box; -1 when it is not there.
    auto top = [&](const std::string& word) {
        const std::size_t at = r.out.find(">" + word + "</word>");
        if (at == std::string::npos) return -1.0;
        const std::size_t open = r.out.rfind("<word", at);
        double x1 = 0, y1 = 0;
        if (std::sscanf(r.out.c_str() + open, "<word xMin=\"%lf\" yMin=\"%lf\"", &x1, &y1) != 2) return -1.0;
        return y1;
    };
    const double left = top("LEFT"), centred = top("CENTRED"), right = top("RIGHT");
    ASSERT_GE(left, 0) << r.out;
    ASSERT_GE(centred, 0) << r.out;
    ASSERT_GE(right, 0) << r.out;
    EXPECT_LT(right, centred);
    EXPECT_LT(centred, left);
}

}  // namespace
