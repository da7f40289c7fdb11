// The HP-GL/2 driver and its line encoders through the front end and the
// drawing routines, and hp2xx reading what it wrote.
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
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcdriver.h"
#include "lib/hardcopy/hpgl2.h"
#include "lib/raster/imagefiles.h"
#include "tests/hardcopy/hpgl_support.h"

namespace {

const std::string Scale = "SC0 32760 0 32760";

std::ptrdiff_t count(const Lines& l, const std::string& s) { return std::count(l.begin(), l.end(), s); }
std::ptrdiff_t count_starting(const Lines& l, const std::string& s) {
    return std::count_if(l.begin(), l.end(), [&](const std::string& x) { return x.starts_with(s); });
}

class Hpgl2 : public HpglFileTest {
protected:
    void SetUp() override {
        HpglFileTest::SetUp();
        device(1);
    }
    void device(int d) {
        iprinter2(d);
        select(DriverHpgl2);
    }
};

TEST_F(Hpgl2, HeadOfDeviceTypeOne) {
    const Lines l = run("head.plt", [] {});
    ASSERT_GE(l.size(), 11u);
    EXPECT_EQ(Lines(l.begin(), l.begin() + 10),
              (Lines{"\x1b%0B", "IN; IP 0 0 10851 7916", "RO90; IP 0 0 10851 7916", "DT\x04", "DI1. 0.", "TR0",
                     "CO\"13 1 1.5 9\";", "CO\"2 0\";", Scale, "PW0.142"}));
    EXPECT_EQ(l.back(), "\x1b%0A");
    EXPECT_EQ(gstate.hc.options.get(1), 769);
    EXPECT_EQ(gstate.hc.options.get(2), 561);
}

TEST_F(Hpgl2, PlotterFilesHoldNoEscapes) {
    device(4);
    const std::string bytes = run_bytes("plotter.plt", [] {
        igrjoin(0, 0, 10, 10);
        end_page();
        igrjoin(0, 0, 10, 10);
    });
    EXPECT_EQ(bytes.find('\x1b'), std::string::npos);
    const Lines l = split_crlf(bytes);
    EXPECT_EQ(count(l, "PG"), 2);
    EXPECT_EQ(count(l, "AD1,14;SA"), 1);
    EXPECT_EQ(count(l, "NP256"), 1);
    EXPECT_EQ(count_starting(l, "RO0; IP"), 1);
}

TEST_F(Hpgl2, PageEndOfThePagePrinters) {
    igrhardcopyoptions(8, 1);
    const Lines l = run("page.plt", [] { igrjoin(0, 0, 10, 10); });
    const auto end = std::find(l.begin(), l.end(), "CO\"3 32\";");
    ASSERT_NE(end, l.end());
    EXPECT_EQ(end[1], std::string("\x1b%1A\x1b&l01X\f\x1b%0B"));
    EXPECT_EQ(end[1].size(), 15u);
}

TEST_F(Hpgl2, BlackAndWhitePens) {
    igrcolourmodel(8);
    const struct {
        int mode, index;
        const char* pen;
    } cases[] = {{0, 0, "PU;SP0"}, {0, 223, "PU;SP1"}, {0, 5, "PU;SP1"},
                 {1, 0, "PU;SP1"}, {1, 223, "PU;SP0"}, {2, 223, "PU;SP0"}};
    for (const auto& c : cases) {
        igrhardcopyoptions(6, c.mode);
        const Lines l = run("bw.plt", [&] {
            IGrColourN(c.index == 5 ? 0 : 5);
            IGrColourN(c.index);
        });
        const auto last = std::find_if(l.rbegin(), l.rend(), [](const std::string& s) {
            return s.starts_with("PU;SP");
        });
        ASSERT_NE(last, l.rend());
        EXPECT_EQ(*last, c.pen) << "mode " << c.mode << " index " << c.index;
    }
}

TEST_F(Hpgl2, DitheredFillsAndTheirPatterns) {
    const Lines l = after_head(run("dither.plt", [] {
        IGrColourN(wrgb(128, 128, 128));
        igrfillpattern(4);
        IGrRectangle(10, 10, 100, 100);
        IGrRectangle(200, 10, 300, 100);
        IGrColourN(wrgb(255, 255, 255));
        igrfillpattern(3);
        IGrColourN(wrgb(0, 0, 0));
        IGrRectangle(400, 10, 500, 100);
    }));
    EXPECT_EQ(count(l, "RF1,8,4,"), 1);
    EXPECT_EQ(count(l, "FT11 1"), 1);
    EXPECT_EQ(count(l, "RF2,8,4,"), 1);
    EXPECT_EQ(count(l, "FT11 2"), 1);
    EXPECT_EQ(count_starting(l, "RA"), 3);
    // White and black mixed: every other pixel, rows shifted by one.
    const auto mix = std::find(l.begin(), l.end(), "RF2,8,4,");
    ASSERT_NE(mix, l.end());
    EXPECT_EQ(mix[1], "0,1,0,1,0,1,0,1,1,0,1,0,1,0,1,0,");
    EXPECT_EQ(mix[2], "0,1,0,1,0,1,0,1,1,0,1,0,1,0,1,0;");
}

TEST_F(Hpgl2, ColourDeviceBorrowsAPenForAMixedFill) {
    device(2);
    igrcolourmodel(8);
    igrpalettergb(10, 255, 0, 0);
    igrpalettergb(20, 0, 0, 255);
    const Lines l = after_head(run("mixed.plt", [] {
        IGrColourN(10);
        igrfillpattern(3);
        IGrColourN(20);
        IGrRectangle(10, 10, 100, 100);
        igrjoin(0, 0, 10, 10);
    }));
    const auto borrowed = std::find(l.begin(), l.end(), "PC235 127 0 127");
    ASSERT_NE(borrowed, l.end());
    EXPECT_EQ(borrowed[1], "PU;SP235");
    // The end of the figure selects the current pen again.
    const auto end = std::find(borrowed, l.end(), "CO\" 6 -1\";");
    ASSERT_NE(end, l.end());
    EXPECT_EQ(end[1], "PU;SP 20");
}

TEST_F(Hpgl2, EveryFigureEndSelectsTheCurrentPen) {
    igrhardcopy("ends.plt");
    const Lines head = split_crlf(written_so_far());
    const auto pen = std::find_if(head.rbegin(), head.rend(), [](const std::string& s) {
        return s.starts_with("PU;SP");
    });
    ASSERT_NE(pen, head.rend());
    // Figure, fill style, the end record written before the pen selection.
    const struct {
        std::int32_t op, style;
        const char* record;
    } cases[] = {{OpEllipsePattern, 1, "CO\" 5 -1\";"}, {OpSectorPattern, 0, "CO\" 4 -1\";"},
                 {OpRectanglePattern, 1, nullptr},        {OpRectanglePattern, 4, "CO\" 6 -1\";"},
                 {OpQuadPattern, 3, "CO\" 8 -1\";"},     {OpTrianglePattern, 2, nullptr},
                 {OpPolygonPattern, 4, "CO\"11 -1\";"}};
    for (const auto& c : cases) {
        const std::size_t before = split_crlf(written_so_far()).size();
        gstate.fill_style = c.style;
        drvargs.K = -1;
        yyhdrv(c.op);
        const Lines all = split_crlf(written_so_far());
        const Lines l(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
        Lines expected;
        if (c.record) expected.push_back(c.record);
        expected.push_back(*pen);
        EXPECT_EQ(l, expected) << "operation " << c.op << " style " << c.style;
    }
    gstate.fill_style = 0;
    igrhardcopy("S");
}

TEST_F(Hpgl2, RecordValuesTooWideKeepTheirDigits) {
    const Lines l = run("wide.plt", [] {
        gstate.fill_style = 4;
        gstate.fill_density = 12;
        gstate.fill_angle = -5;
        drvargs = DriverArguments{};
        drvargs.X = {10, 20, 0, 0};
        drvargs.Y = {10, 20, 0, 0};
        drvargs.K = 1;
        yyhdrv(OpRectanglePattern);
        gstate.fill_style = 0;
    });
    EXPECT_EQ(count(l, "CO\" 6 4 12 -5 1\";"), 1);
    for (const std::string& s : l) EXPECT_EQ(s.find('*'), std::string::npos) << s;
}

// The record of a hatched arc ends like every other record: without the
// ";" a reader takes what follows for part of it.
TEST_F(Hpgl2, HatchedArcRecordEndsItsCommand) {
    const Lines l = run("arc.plt", [] {
        gstate.fill_style = 1;
        gstate.fill_density = 2;
        gstate.fill_angle = 3;
        drvargs = DriverArguments{};
        drvargs.X = {300, 100, 0, 1.5f};
        drvargs.Y = {300, 100, 0, 0};
        drvargs.K = 1;
        yyhdrv(OpArc);
        gstate.fill_style = 0;
    });
    int records = 0;
    for (const std::string& s : l)
        if (s.starts_with("CO\"4 ")) {
            ++records;
            EXPECT_TRUE(s.ends_with("\";")) << s;
        }
    EXPECT_EQ(records, 1);
}

TEST_F(Hpgl2, LabelsInRoman8WithTheirOrigins) {
    WGrTextFont(101);
    igrcharsize(1.5f, 1.5f);
    const Lines l = after_head(run("labels.plt", [] {
        gstate.text.justification = 0;
        wgrtextstring(100, 300, "\xf6\xdf\x04");
        gstate.text.justification = 1;
        wgrtextstring(100, 400, "c");
        gstate.text.justification = 2;
        wgrtextstring(100, 500, "r");
        gstate.text.justification = 2;
        wgrtextstring(100, 600, "s");
    }));
    EXPECT_EQ(count(l, "LB\xce\xde \x04"), 1);
    Lines origins;
    for (const std::string& s : l)
        if (s.starts_with("LO")) origins.push_back(s);
    EXPECT_EQ(origins, (Lines{"LO1", "LO4", "LO7"}));
}

TEST_F(Hpgl2, EncodedPolylines) {
    igrhardcopy("pe.plt");
    const std::size_t head = split_crlf(written_so_far()).size();
    gstate.hc.x_scale = gstate.hc.y_scale = 1.0f;
    const struct {
        std::vector<float> x, y;
        std::string line;
    } cases[] = {
        {{100, 100}, {100, 99}, "PE7_b;"},
        {{100, 116}, {100, 84}, "PE7?`@`;"},
        {{100, 200}, {100, 100}, "PE7Ge_;"},
    };
    for (const auto& c : cases) {
        drvargs.N = static_cast<std::int32_t>(c.x.size());
        std::copy(c.x.begin(), c.x.end(), quin01.X.begin());
        std::copy(c.y.begin(), c.y.end(), quin01.Y.begin());
        yyhpgl2a();
    }
    // 200 points of steps of 16 (two characters each way) split before
    // column 247.
    drvargs.N = 200;
    for (int i = 0; i < 200; ++i) {
        quin01.X[static_cast<std::size_t>(i)] = 16.0f * static_cast<float>(i);
        quin01.Y[static_cast<std::size_t>(i)] = 0.0f;
    }
    yyhpgl2a();
    yyhpgl2c(0);
    igrhardcopy("S");
    const Lines all = split_crlf(read_file("pe.plt"));
    const Lines l(all.begin() + static_cast<std::ptrdiff_t>(head), all.end());
    ASSERT_GE(l.size(), 6u);
    EXPECT_EQ(l[0], "PE7_b;");
    EXPECT_EQ(l[1], "PE7?`@`;");
    EXPECT_EQ(l[2], "PE7Ge_;");
    std::size_t values = 0;
    std::size_t i = 3;
    for (; i < l.size() && l[i].starts_with("PE7"); ++i) {
        EXPECT_LE(l[i].size(), 255u);
        EXPECT_TRUE(l[i].ends_with(";"));
        values += (l[i].size() - 4) / 3;
    }
    EXPECT_GT(i, 4u);
    EXPECT_EQ(values, 199u);
    ASSERT_GE(l.size(), i + 2);
    EXPECT_EQ(l[i], "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,");
    EXPECT_EQ(l[i + 1], "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1;");
}

TEST_F(Hpgl2, PenColoursUnderTheColourModes) {
    const struct {
        int mode, r, g, b;
        const char* line;
    } cases[] = {{0, 255, 0, 0, "PC12 255 0 0"},    {1, 255, 0, 0, "PC12 0 255 255"},
                 {2, 0, 0, 0, "PC12 255 255 255"},  {2, 255, 255, 255, "PC12 0 0 0"},
                 {2, 128, 128, 128, "PC12 128 128 128"}, {2, 5, 5, 200, "PC12 5 5 200"}};
    igrhardcopy("pc.plt");
    const std::size_t head = split_crlf(written_so_far()).size();
    for (const auto& c : cases) {
        gstate.hc.options.set(6, c.mode);
        yyhpgl2d(12, c.r, c.g, c.b);
    }
    igrhardcopy("S");
    const Lines all = split_crlf(read_file("pc.plt"));
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(all[head + i], cases[i].line);
}

// A title is a comment a device skips: the letters of "LB" or "PG" in it
// are no instructions, a double quote or a semicolon in it does not end it.
TEST_F(Hpgl2, TitleIsAWellFormedCommentHp2xx) {
    const std::string title = "PG; LB the \"Wadi\" model, layer 3 of 12 with a title well beyond fifty columns";
    auto draw = [] { igrjoin(100, 100, 900, 600); };
    const Lines l = run("titled.plt", draw, title.c_str());
    ASSERT_GE(l.size(), 2u);
    EXPECT_EQ(l[1], "CO\": PG, LB the 'Wadi' model, layer 3 of 12 with a title well beyond fifty columns\";");
    run("plain.plt", draw);
    if (!have_program("hp2xx")) GTEST_SKIP() << "hp2xx is not installed";
    // hp2xx draws the same picture with the title as without it.
    for (const char* f : {"titled", "plain"}) {
        const ReaderRun r = run_reader(std::string("hp2xx -q -m png -f ") + f + ".png " + f + ".plt");
        EXPECT_EQ(r.status, 0) << r.err;
    }
    EXPECT_GT(png_size("plain.png").first, 0);
    EXPECT_EQ(read_file("titled.png"), read_file("plain.png"));
}

TEST_F(Hpgl2, PageCounterCountsPagesNotTheTitle) {
    const char* title = "3 pages";
    run("counted.plt", [] {
        igrjoin(0, 0, 10, 10);
        end_page();
        igrjoin(0, 0, 10, 10);
    }, title);
    std::int32_t pages = 0;
    yycnthpg("counted.plt", pages);
    EXPECT_EQ(pages, 2);
}

TEST_F(Hpgl2, TerminatorInALabelBecomesABlank) {
    WGrTextFont(101);
    igrcharsize(1.5f, 1.5f);
    const Lines l = run("label.plt", [] { wgrtextstring(100, 300, "a\x04PG;b"); });
    EXPECT_EQ(count(l, "LBa PG;b\x04"), 1);
}

TEST_F(Hpgl2, PicturesHp2xx) {
    for (int d : {1, 2}) {
        device(d);
        const std::string name = "picture" + std::to_string(d) + ".plt";
        run(name, [] { draw_hpgl_scene(); }, "Scene of the HP-GL/2 picture");
        expect_hp2xx_draws(name, "hpgl2-" + std::to_string(d));
    }
}

}  // namespace
