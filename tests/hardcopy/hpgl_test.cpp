// The HP-GL plotter driver and the command line writer it shares with the
// HP-GL/2 driver, through the front end and the drawing routines, and
// hp2xx reading what they wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
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
#include "lib/hardcopy/hpgl.h"
#include "tests/hardcopy/hpgl_support.h"

namespace {

const std::string Scale = "SC0 32760 0 32760";

class Hpgl : public HpglFileTest {
protected:
    void SetUp() override {
        HpglFileTest::SetUp();
        iplotter(1);
        select(DriverHpgl);
    }
    // Selects plotter model M again.
    void model(int m) {
        iplotter(m);
        select(DriverHpgl);
    }
};

TEST_F(Hpgl, HeadOfModelOneWithTheDefaultsHp2xx) {
    const Lines l = run("head.plt", [] {});
    ASSERT_GE(l.size(), 8u);
    EXPECT_EQ(Lines(l.begin(), l.begin() + 8),
              (Lines{"IN; IP 395 0 10865 7478", "RO0; IP 395 0 10865 7478", "DT\x04", "DI1. 0.", "SC-2 9 0 32760",
                     "SC-13 1 0 32760", Scale, "PW0.142"}));
    EXPECT_EQ(gstate.hc.options.get(1), 742);
    EXPECT_EQ(gstate.hc.options.get(2), 530);
    EXPECT_EQ(gstate.hc.options.get(3), 28);
}

TEST_F(Hpgl, PenOfEveryPaletteGroup) {
    igrcolourmodel(8);
    // Index, pen with 4 pens (model 1), pen with 8 pens (model 6).
    const struct {
        int index;
        char four, eight;
    } cases[] = {{0, '1', '1'},   {15, '1', '1'},  {240, '1', '1'}, {255, '1', '1'}, {16, '3', '3'},
                 {48, '1', '5'},  {96, '2', '2'},  {128, '2', '6'}, {192, '3', '7'}, {224, '4', '8'}};
    for (int m : {1, 6}) {
        model(m);
        igrcolourmodel(8);
        for (const auto& c : cases) {
            const Lines l = run("pens.plt", [&] {
                IGrColourN(c.index == 0 ? 1 : 0);
                IGrColourN(c.index);
                igrjoin(1, 1, 2, 2);
            });
            const char pen = m == 1 ? c.four : c.eight;
            const auto last_pen = std::find_if(l.rbegin(), l.rend(), [](const std::string& s) {
                return s.starts_with("PU;SP") && s != "PU;SP0 ;";
            });
            ASSERT_NE(last_pen, l.rend());
            EXPECT_EQ(*last_pen, std::string("PU;SP") + pen) << "model " << m << " index " << c.index;
        }
    }
}

TEST_F(Hpgl, JoinedLinesAndLabelsMoveThePenOnlyWhereNeeded) {
    WGrTextFont(101);
    const Lines l = after_head(run("lines.plt", [] {
        igrjoin(0, 0, 100, 100);
        igrjoin(100, 100, 200, 50);
        wgrtextstring(100, 300, "A");
        igrjoin(200, 50, 300, 50);
    }));
    EXPECT_EQ(std::count_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("PU") &&
                                                                                 !s.starts_with("PU;"); }),
              3);  // the first line, the label, the line after the label
    const auto label = std::find_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("LB"); });
    ASSERT_NE(label, l.end());
    EXPECT_EQ(*label, "LBA\x04");
    EXPECT_TRUE(label[1].starts_with("PU")) << label[1];
}

TEST_F(Hpgl, WithoutMetadataNoRecordsNoPenWidths) {
    igrhardcopyoptions(18, 0);
    const Lines l = run("plain.plt", [] {
        igrfillpattern(4);
        IGrRectangle(10, 10, 100, 100);
        const float x[3] = {10, 50, 90}, y[3] = {10, 90, 10};
        IGrPolygonComplex(x, y, 3);
        igrfillpattern(0);
        igrlinewidth(3);
        igrjoin(0, 0, 10, 10);
    });
    for (const std::string& s : l) {
        EXPECT_FALSE(s.starts_with("SC-")) << s;
        EXPECT_FALSE(s.starts_with("PW")) << s;
    }
    EXPECT_EQ(std::count(l.begin(), l.end(), Scale), 2);  // begin and clip
}

TEST_F(Hpgl, SheetFeedersAdvanceThePage) {
    for (int m : {1, 7, 8}) {
        model(m);
        const Lines l = run("pages.plt", [] {
            igrjoin(0, 0, 10, 10);
            end_page();
            igrjoin(0, 0, 10, 10);
        });
        const auto end = std::find(l.begin(), l.end(), "PU;SP0 ;");
        ASSERT_NE(end, l.end());
        if (m == 1) {
            EXPECT_EQ(std::count(l.begin(), l.end(), "PG;"), 0);
            EXPECT_TRUE(end[1].starts_with("SP")) << end[1];
        } else {
            EXPECT_EQ(end[1], "PG;");
            EXPECT_TRUE(end[2].starts_with("SP")) << end[2];
        }
        EXPECT_EQ(end[-1], "SC-3 32 0 32760 ;SC0 32760 0 32760");
    }
}

TEST_F(Hpgl, PlotterFillsWithOptionTwentyFive) {
    model(2);
    igrhardcopyoptions(25, 1);
    const Lines l = after_head(run("solid.plt", [] {
        igrfillpattern(4);
        IGrRectangle(10, 10, 100, 100);
        const float x[3] = {10, 50, 90}, y[3] = {10, 90, 10};
        IGrPolygonComplex(x, y, 3);
        drvargs = DriverArguments{};
        drvargs.X = {200, 50, 0, 0};
        drvargs.Y = {200, 0, 0, 90};
        yyhdrv(OpSectorPattern);
    }));
    EXPECT_EQ(std::count(l.begin(), l.end(), "FT2;PT 0.28"), 1);
    EXPECT_EQ(std::count(l.begin(), l.end(), "PM0"), 1);
    EXPECT_EQ(std::count(l.begin(), l.end(), "PM2;FP"), 1);
    EXPECT_EQ(std::count_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("RA"); }), 1);
    EXPECT_EQ(std::count_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("WG"); }), 1);
    for (const std::string& s : l) EXPECT_FALSE(s.starts_with("SC-6") || s.starts_with("SC-11")) << s;
}

// An HP plotter does not fill a polygon of more than 127 points; it is
// announced and closed with its records like any figure the graphics core
// fills, and the core's hatch lines follow.
TEST_F(Hpgl, LongPolygonOnAnHpPlotterIsAnnouncedAndClosed) {
    model(2);
    igrhardcopyoptions(25, 1);
    std::vector<float> x(128), y(128);
    for (int i = 0; i < 128; ++i) {
        x[static_cast<std::size_t>(i)] = 300.0f + 200.0f * std::cos(i * 0.049f);
        y[static_cast<std::size_t>(i)] = 300.0f + 200.0f * std::sin(i * 0.049f);
    }
    const Lines l = after_head(run("long.plt", [&] {
        igrfillpattern(4);
        IGrPolygonComplex(x.data(), y.data(), 128);
    }));
    EXPECT_EQ(std::count(l.begin(), l.end(), "PM0"), 0);
    const auto start = std::find(l.begin(), l.end(), "SC-11 4 2 32773");
    ASSERT_NE(start, l.end());
    EXPECT_EQ(start[1], "SC-12 128 0 32760");
    EXPECT_TRUE(start[2].starts_with("SC-9 "));
    EXPECT_EQ(start[130], Scale);
    const auto end = std::find(l.begin(), l.end(), "SC-11 -1 0 32760 ;SC0 32760 0 32760");
    ASSERT_NE(end, l.end());
    EXPECT_GT(end, start);
    EXPECT_GT(std::count_if(start + 131, end, [](const std::string& s) { return s.starts_with("PD"); }), 10);
}

TEST_F(Hpgl, ColourRecordsGoOnAfterAFigureTheCoreFilled) {
    const Lines l = after_head(run("records.plt", [] {
        igrfillpattern(1);
        IGrRectangle(10, 10, 100, 100);
        igrfillpattern(0);
        IGrColourN(wrgb(0, 0, 255));
        igrjoin(0, 0, 10, 10);
    }));
    const auto end = std::find(l.begin(), l.end(), "SC-6 -1 0 32760 ;SC0 32760 0 32760");
    ASSERT_NE(end, l.end());
    EXPECT_NE(std::find(end, l.end(), "SC-1 16711680 0 32760 ;SC0 32760 0 32760"), l.end());
}

TEST_F(Hpgl, TerminatorInALabelBecomesABlank) {
    WGrTextFont(101);
    const Lines l = run("label.plt", [] { wgrtextstring(100, 300, "a\x04PG;b"); });
    EXPECT_NE(std::find(l.begin(), l.end(), "LBa PG;b\x04"), l.end());
}

TEST_F(Hpgl, LineModePutsOneBlankBeforeEveryLine) {
    igrhardcopyoptions(17, 1);
    WGrTextFont(101);
    const std::string bytes = run_bytes("mode.plt", [] {
        igrjoin(0, 0, 10, 10);
        wgrtextstring(100, 300, "x");
    });
    const Lines l = split_crlf(bytes);
    ASSERT_GT(l.size(), 10u);
    for (const std::string& s : l) EXPECT_TRUE(s.size() >= 2 && s[0] == ' ' && s[1] != ' ') << s;
    EXPECT_NE(std::find(l.begin(), l.end(), " LBx\x04"), l.end());
}

// ---------------------------------------------------------------- writer

class HpglWriter : public Hpgl {
protected:
    // The lines the writer calls wrote, inside a run, with one user unit
    // per device unit.
    template <class F>
    Lines written(F calls) {
        igrhardcopy("writer.plt");
        const std::size_t head = split_crlf(written_so_far()).size();
        gstate.hc.x_scale = gstate.hc.y_scale = 1.0f;
        calls();
        igrhardcopy("S");
        const Lines l = crlf_lines("writer.plt");
        return Lines(l.begin() + static_cast<std::ptrdiff_t>(head), l.end());
    }
};

TEST_F(HpglWriter, Squeeze) {
    const std::pair<std::string, std::string> cases[] = {
        {"IN; IP    395      0  10865   7478", "IN; IP 395 0 10865 7478"},
        {"PU;SP0 ;", "PU;SP0 ;"},
        {"PA   123  4567", "PA123 4567"},
        {"PD     0     0", "PD0 0"},
        {"SC      ", "SC"},
        {"PU   -12   300", "PU-12 300"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(hpgl_squeezed(in), out) << in;
    const Lines l = written([] {
        yyhpg1("PU", 0.9f, -0.9f);
        yyhpg1("PA", 123, 4567);
        yyhpg3("PU;SP0 ;");
        HpglLineBuffer = "SC" + std::string(48, ' ');
        yyhpg7();
    });
    EXPECT_EQ(l, (Lines{"PU0 0", "PA123 4567", "PU;SP0 ;", "SC"}));
}

TEST_F(HpglWriter, Records) {
    const Lines l = written([] {
        yyhpg6(1, 1, 16777215, 0, 0);
        yyhpg6(1, 0, 255, 0, 0);
        yyhpg6(3, 1, 32, 0, 0);
        yyhpg6(3, 0, 32, 0, 0);
        yyhpg6(13, 1, 4, 0, 0);
        yyhpg6(13, 0, 4, 0, 0);
        yyhpg4(1200, 3400);
        yyhpg5(1.5708f, 3.1416f);
        yyhpg6(5, 0, -1, 2, 3);
    });
    EXPECT_EQ(l, (Lines{"SC-1 16777215 0 32760 ;SC0 32760 0 32760", "SC-1 255 0 32760",
                        "SC-3 32 0 32760 ;SC0 32760 0 32760", "SC-3 32 0 32760",
                        "SC-13 4 0 32760 ;SC0 32760 0 32760", "SC-13 4 0 32760", "SC-9 1200 3400 0",
                        "SC-9 1.5708 3.1416 0", "SC-5 -1 2 32763"}));
}

TEST_F(HpglWriter, ArcsAndWedgesForEveryAspect) {
    // Page width and height give N = 32760 x height / width.
    const struct {
        int width, height, op, density;
        Lines expected;
    } cases[] = {
        {530, 742, OpSectorPattern, 2,
         {"PU1000 2000", "SC0 23400 0 32760", "WG71 0.0 90.0", Scale}},
        {742, 530, OpArc, 3,
         {"SC0 32760 0 23400", "PU1100 1428", "PD", "AA1000 1428 90.0", Scale}},
        {600, 600, OpArc, 3, {Scale, "PU1100 2000", "PD", "AA1000 2000 90.0", Scale}},
        {600, 600, OpArc, 2, {"PU1000 2000", Scale, "EW100 0.0 90.0", Scale}},
    };
    for (const auto& c : cases) {
        const Lines l = written([&] {
            gstate.hc.options.set(1, c.width);
            gstate.hc.options.set(2, c.height);
            gstate.fill_density = c.density;
            drvargs.X = {1000, 100, 0, 0};
            drvargs.Y = {2000, 0, 0, 90};
            yyhpg0(c.op, Scale);
        });
        EXPECT_EQ(l, c.expected) << c.width << " " << c.height << " " << c.op;
    }
}

TEST_F(HpglWriter, NumbersTooWideKeepTheirDigits) {
    const Lines l = written([] {
        gstate.fill_density = 2;
        drvargs.X = {1000, 2000000, 0, 123456.0f};
        drvargs.Y = {2000, 0, 0, -1234567.0f};
        yyhpg0(OpSectorPattern, Scale);
        yyhpg6(5, 0, -12345678, 0, 0);
    });
    ASSERT_EQ(l.size(), 5u);
    EXPECT_EQ(l[2], "WG2000000 123456.0 -1234567.0");
    EXPECT_EQ(l[4], "SC-5 -12345678 0 32760");
}

// ---------------------------------------------------------------- hp2xx

TEST_F(Hpgl, PictureHp2xx) {
    run("picture.plt", [] { draw_hpgl_scene(); });
    expect_hp2xx_draws("picture.plt", "hpgl");
}

}  // namespace
