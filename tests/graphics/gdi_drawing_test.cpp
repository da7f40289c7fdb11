// The drawing layer on the root window's surface, shown on small golden
// images: '.' white, '#' black, 'r' red, 'b' blue, 'x' any other colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "lib/graphics/driver.h"
#include "lib/graphics/gdi.h"
#include "lib/graphics/grinfo.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/screen.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/errors.h"
#include "lib/window/rootwin.h"
#include "platform/os_gdi.h"
#include "tests/support/quinda_test.h"

namespace {

constexpr std::int32_t kWhite = 0xFFFFFF, kBlack = 0, kRed = 0x0000FF, kBlue = 0xFF0000;

class GdiDrawingTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        windowopen2(WinHiddenFlag(), CentredPosition, CentredPosition, 40, 20);
        ASSERT_NE(wtab.gDC, 0);
        // The window selection sizes the drawable; here by hand.
        yyresn(1, 0, 40, 20);
        colours(kWhite, kBlack);
    }
    static std::int32_t WinHiddenFlag() { return 7 | 0x80; }
    void colours(std::int32_t previous, std::int32_t current) {
        yywincolour(0, previous);
        yywincolour(0, current);
    }
    void wipe() { yywinclear(40, 20, kWhite); }
    std::vector<std::string> picture(int w, int y0, int y1) const {
        std::vector<std::string> rows;
        for (int y = y0; y <= y1; ++y) {
            std::string r;
            for (int x = 0; x < w; ++x) {
                const std::uint32_t c = os_get_pixel(wtab.gDC, x, y);
                r += c == kWhite ? '.' : c == kBlack ? '#' : c == kRed ? 'r' : c == kBlue ? 'b' : 'x';
            }
            rows.push_back(r);
        }
        return rows;
    }
    std::vector<std::uint32_t> all_pixels() const {
        std::vector<std::uint32_t> v;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) v.push_back(os_get_pixel(wtab.gDC, x, y));
        return v;
    }
};

TEST_F(GdiDrawingTest, SolidLineCoversItsEndPixelDashedOnesLeaveIt) {
    struct Case {
        std::int32_t line_type;
        const char* want;
    };
    for (const Case& c : {Case{0, "###########."}, Case{2, "########...."}, Case{1, "#....#......"},
                          Case{6, "####....##.."}}) {
        SCOPED_TRACE(c.line_type);
        wipe();
        yywinlinetype(c.line_type);
        yywinline(0, 0, 10, 0);
        EXPECT_EQ(picture(12, 0, 0), std::vector<std::string>{c.want});
    }
}

// Pens of colours used before are put aside and selected again instead of
// made anew; after any run of colours, line types, widths and set-ups a
// line looks as it does with a pen made for the state of that moment.
TEST_F(GdiDrawingTest, PensPutAsideDrawAsPensMadeAnew) {
    struct Step {
        const char* name;
        void (*change)();
        bool colour = true;  // a colour: the only change that makes a pen
    };
    const Step steps[] = {
        {"red", [] { yywincolour(0, kRed); }},
        {"blue", [] { yywincolour(0, kBlue); }},
        {"red again", [] { yywincolour(0, kRed); }},
        {"dash-dot", [] { yywinlinetype(3); }, false},
        {"blue dash-dot", [] { yywincolour(0, kBlue); }},
        {"red dash-dot", [] { yywincolour(0, kRed); }},
        {"wide", [] { yywinlinewidth(3); }, false},
        {"blue wide", [] { yywincolour(0, kBlue); }},
        {"red wide", [] { yywincolour(0, kRed); }},
        {"dotted", [] { yywinlinetype(1); }, false},
        {"blue dotted", [] { yywincolour(0, kBlue); }},
        // The set-up makes the style solid without a new pen: the next
        // colour must not bring back a dotted one.
        {"set up", [] { yywinsetup(); }, false},
        {"red after the set-up", [] { yywincolour(0, kRed); }},
        {"blue after the set-up", [] { yywincolour(0, kBlue); }},
        {"black", [] { yywincolour(0, kBlack); }},
    };
    auto run = [&](bool fresh) {
        yywinsetup();
        yywinlinewidth(1);
        yywincreatepen();
        std::vector<std::vector<std::uint32_t>> pictures;
        int k = 0;
        for (const Step& s : steps) {
            s.change();
            if (fresh && s.colour) yywincreatepen();
            EXPECT_EQ(os_current_object(wtab.gDC, 1), wtab.gPen) << s.name;
            wipe();
            yywinline(1, 2 + k % 7, 38, 17 - k % 5);
            yywinline(3, 18, 30, 1);
            ++k;
            pictures.push_back(all_pixels());
        }
        return pictures;
    };
    const auto put_aside = run(false), made_anew = run(true);
    wipe();
    const std::vector<std::uint32_t> blank = all_pixels();
    for (std::size_t i = 0; i < put_aside.size(); ++i) {
        SCOPED_TRACE(steps[i].name);
        EXPECT_NE(put_aside[i], blank);
        EXPECT_EQ(put_aside[i], made_anew[i]);
    }
    // Going back and forth between two colours makes no pen after the first
    // round.
    yywinsetup();
    yywinlinewidth(1);
    yywincolour(0, kRed);
    yywincolour(0, kBlue);
    const std::int32_t objects = os_object_count();
    for (int i = 0; i < 10; ++i) {
        yywincolour(0, kRed);
        yywinline(0, 0, 10, 0);
        yywincolour(0, kBlue);
        yywinline(0, 1, 10, 1);
    }
    EXPECT_EQ(os_object_count(), objects);
    EXPECT_EQ(picture(2, 0, 1), (std::vector<std::string>{"rr", "bb"}));
}

// Solid polygons on the screen are drawn in their colour without selecting
// a pen and a brush; the pixels are those of the tools selected (as they are
// while a metafile records), the objects selected stay, and the clip region
// goes as it does after any shape.
TEST_F(GdiDrawingTest, SolidPolygonsInTheirColourAsWithToolsSelected) {
    struct Case {
        const char* name;
        std::int32_t plotmode;  // 0 copy, 1 merge, 2 mask, 3 exclusive or
        bool clip;
    };
    const Case cases[] = {
        {"copy", 0, false}, {"copy clipped", 0, true}, {"merge", 1, false},
        {"mask clipped", 2, true}, {"exclusive or", 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint32_t> ways[2];
        for (int recording = 0; recording < 2; ++recording) {
            wipe();
            colours(kWhite, kBlack);
            yywinline(0, 7, 39, 12);
            std::uint32_t seed = 99;
            auto next = [&seed](int n) {
                seed = seed * 1664525u + 1013904223u;
                return static_cast<std::int32_t>((seed >> 8) % static_cast<std::uint32_t>(n));
            };
            yywinplotmode(c.plotmode);
            const OsObject brush = os_current_object(wtab.gDC, 2);
            for (int i = 0; i < 60; ++i) {
                wtab.hGraphicsMetafile = recording;
                yywincolour(0, (i % 3 == 0) ? kRed : (i % 3 == 1) ? kBlue : 0x20C040);
                if (c.clip) yywinclip(3 + next(5), 2 + next(4), 30 + next(8), 12 + next(7));
                const int n = 2 + next(5), x = next(40), y = next(20);
                for (int k = 0; k < n; ++k) yywinpolpoint(x + next(9) - 4, y + next(9) - 4, k);
                yywinpolygon(n, 4);
                wtab.hGraphicsMetafile = 0;
                EXPECT_EQ(os_current_object(wtab.gDC, 1), wtab.gPen);
                EXPECT_EQ(os_current_object(wtab.gDC, 2), brush);
                OsRect box;
                EXPECT_FALSE(os_get_clip_box(wtab.gDC, box));
            }
            yywinclip(0, 0, 0, -1);
            yywinplotmode(0);
            ways[recording] = all_pixels();
        }
        EXPECT_EQ(ways[0], ways[1]);
    }
}

TEST_F(GdiDrawingTest, WideLinesLengthenEveryDashGap) {
    yywinlinewidth(3);
    EXPECT_EQ(gdi.ScaledDashArrays[1], (std::vector<std::uint32_t>{8, 8}));
    EXPECT_EQ(gdi.ScaledDashArrays[6], (std::vector<std::uint32_t>{8, 6, 4, 6, 4, 6}));
    yywinlinewidth(1);
    EXPECT_EQ(gdi.ScaledDashArrays[1], (std::vector<std::uint32_t>{8, 6}));
}

TEST_F(GdiDrawingTest, PolygonHasABorderExceptInExclusiveOr) {
    struct Case {
        std::int32_t mode;
        std::vector<std::string> want;
    };
    const std::vector<Case> cases = {
        {0, {"......", ".rrrrr", ".rrrrr", ".rrrrr", ".rrrrr", "......"}},
        {3, {"......", ".xxxx.", ".xxxx.", ".xxxx.", "......", "......"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        yywinplotmode(0);
        wipe();
        colours(kWhite, kRed);
        yywinplotmode(c.mode);
        const std::int32_t pts[4][2] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
        for (int i = 0; i < 4; ++i) yywinpolpoint(pts[i][0], pts[i][1], i);
        yywinpolygon(4, 4);
        EXPECT_EQ(picture(6, 0, 5), c.want);
    }
}

TEST_F(GdiDrawingTest, RectangleCoversItsCornersInclusive) {
    yywinrectangle(2, 1, 5, 3, 4);
    EXPECT_EQ(picture(7, 0, 4), (std::vector<std::string>{".......", "..####.", "..####.", "..####.", "......."}));
}

TEST_F(GdiDrawingTest, EllipseVariantsShareTheirBox) {
    struct Case {
        std::int32_t style, kind;
        const char* name;
    };
    std::vector<std::array<int, 4>> boxes;
    for (const Case& c : {Case{4, 0, "outline"}, Case{5, 3, "pattern"}, Case{6, 4, "solid"}}) {
        SCOPED_TRACE(c.name);
        wipe();
        yywinellipse(10, 8, 4, 2, c.style, c.kind);
        std::array<int, 4> b{99, 99, -1, -1};
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                if (os_get_pixel(wtab.gDC, x, y) != static_cast<std::uint32_t>(kWhite)) {
                    b = {std::min(b[0], x), std::min(b[1], y), std::max(b[2], x), std::max(b[3], y)};
                }
        boxes.push_back(b);
        EXPECT_EQ(os_get_pixel(wtab.gDC, 10, 8) == static_cast<std::uint32_t>(kWhite), c.style == 4);
    }
    for (const auto& b : boxes) EXPECT_EQ(b, (std::array<int, 4>{5, 5, 15, 11}));
}

TEST_F(GdiDrawingTest, SmallSectorWithItsEndsOnOnePixelIsNudgedIntoASliver) {
    gstate.screen_flag = 1;
    struct Case {
        float start, sweep;
        bool whole;
    };
    auto count = [&] {
        int n = 0;
        for (std::uint32_t c : all_pixels()) n += c != static_cast<std::uint32_t>(kWhite);
        return n;
    };
    wipe();
    yywinellipse(20, 10, 6, 6, 6, 4);
    const int whole = count();
    // Both radials land on the same pixel; only a sweep of at most 10
    // degrees is nudged.
    for (const Case& c : {Case{30.0f, 5.0f, false}, Case{-330.0f, 5.0f, false}, Case{200.0f, 10.0f, false},
                          Case{30.0f, 360.0f, true}}) {
        SCOPED_TRACE(c.start);
        wipe();
        drvargs.IX[0] = 20;
        drvargs.IY[0] = 9;  // row 10
        drvargs.X[1] = drvargs.Y[1] = 6.0f;
        const float a = c.start * 3.14159265f / 180.0f;
        drvargs.X[2] = a;
        drvargs.Y[2] = a + 0.0001f;
        drvargs.X[3] = c.start;
        drvargs.Y[3] = c.sweep;
        yygapi(OpSectorSolid);
        if (c.whole) {
            EXPECT_EQ(count(), whole);
        } else {
            EXPECT_GT(count(), 0);
            EXPECT_LT(count(), whole / 4);
        }
    }
}

TEST_F(GdiDrawingTest, TwoColourPatternIsACheckerboardOrTheAverageOnAMetafile) {
    colours(kRed, kBlue);
    yywinrectangle(0, 0, 5, 1, 3);
    EXPECT_EQ(picture(7, 0, 2), (std::vector<std::string>{"brbrbr.", "rbrbrb.", "......."}));
    // A metafile gets one solid colour, the average of the two.
    wtab.hGraphicsMetafile = 1;
    colours(0x000064, 0x0000C8);
    yywinrectangle(0, 0, 1, 0, 3);
    wtab.hGraphicsMetafile = 0;
    EXPECT_EQ(os_get_pixel(wtab.gDC, 0, 0), 0x000096u);
}

TEST_F(GdiDrawingTest, ExclusiveOrTwiceLeavesTheSurfaceUnchanged) {
    colours(kWhite, kRed);
    yywinline(0, 5, 39, 5);
    const std::vector<std::uint32_t> before = all_pixels();
    yywinplotmode(3);
    colours(kWhite, kBlue);
    for (int round = 0; round < 2; ++round) {
        yywinrectangle(2, 2, 12, 8, 4);
        yywinellipse(20, 10, 5, 4, 6, 4);
        yywinarc(30, 10, 6, 6, 36, 10, 30, 4, 4);
        const std::int32_t pts[3][2] = {{5, 12}, {15, 19}, {2, 18}};
        for (int i = 0; i < 3; ++i) yywinpolpoint(pts[i][0], pts[i][1], i);
        yywinpolygon(3, 4);
        if (round == 0) {
            EXPECT_NE(all_pixels(), before);
        }
    }
    EXPECT_EQ(all_pixels(), before);
}

TEST_F(GdiDrawingTest, ClipRegionHoldsForShapesUntilRemoved) {
    yywinclip(0, 0, 3, 20);  // columns 0..2
    yywinellipse(3, 3, 2, 2, 6, 4);
    EXPECT_EQ(picture(6, 3, 3), (std::vector<std::string>{"###..."}));
    yywinclip(0, 0, 0, -1);
    EXPECT_EQ(wtab.gRegion, 0);
    yywinellipse(3, 3, 2, 2, 6, 4);
    EXPECT_EQ(picture(6, 3, 3), (std::vector<std::string>{"######"}));
}

TEST_F(GdiDrawingTest, CopyFillsTheUncoveredPartOfTheSource) {
    colours(kWhite, kBlue);
    yywinrectangle(0, 0, 3, 2, 4);
    yywinblit(0, 0, 2, 1, 4, 3, 1, kRed);
    EXPECT_EQ(picture(7, 0, 4), (std::vector<std::string>{"rrrr...", "rrbbbb.", "rrbbbb.", "..bbbb.", "......."}));
}

TEST_F(GdiDrawingTest, PixelsAndFonts) {
    yywinpointrgb(1, 1, kRed);
    std::int32_t r = 0, g = 0, b = 0;
    yywingetpixelrgb(1, 1, r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    yywingetpixelrgb(-1, 1, r, g, b);
    EXPECT_EQ(r, -1);
    std::int32_t w = 0, h = 12, asc = 0;
    yywintextsize(w, h, asc, 0, 2, 0, "");
    EXPECT_GE(h, 12);
    EXPECT_GT(asc, 0);
    EXPECT_GT(w, 52 * 3);
    std::int32_t one = 0, two = 0;
    yywintextlength(one, "W", 1);
    yywintextlength(two, "WW", 5);
    EXPECT_EQ(two, 2 * one);
}

TEST_F(GdiDrawingTest, ScreenQueries) {
    yygapi(OpInitialise);
    EXPECT_EQ(InfoGrScreen(20), 0);
    EXPECT_EQ(InfoGrScreen(24), 0);
    EXPECT_EQ(InfoGrScreen(1), 1);
    EXPECT_EQ(InfoGrScreen(0), 0);
    EXPECT_EQ(InfoGrScreen(50), 0);
    EXPECT_EQ(InfoGrScreen(32), 200);
    EXPECT_EQ(InfoGrScreen(40), 360);
    EXPECT_EQ(InfoGrScreen(43), 1);
    gstate.DrawableType = 4;
    yygapi(OpInitialise);
    EXPECT_EQ(InfoGrScreen(29), 0);
    std::string name(20, 'x');
    iprinter(35);   // "HP Color LaserJet"
    iplotter(2);
    InfoDeviceName(3, name);   // "HP DJet 1200C/1600C, Color LJet", derived from the printer
    EXPECT_EQ(name, "HP DJet 1200C/1600C,");
    EXPECT_EQ(infoerror(1), 1023);
    name.assign(27, 'x');
    InfoDeviceName(2, name);
    EXPECT_EQ(infoerror(1), 0);
    InfoDeviceName(4, name);
    EXPECT_EQ(name, std::string(27, ' '));
    EXPECT_EQ(infoerror(1), 0);
}

// Lines drawn through many points in one call are the lines drawn one by
// one: the same pixels, positions (the library's and the device
// context's) and operands, in every state; with a solid
// thin pen copying, the screen takes the lines as one call. Points repeat,
// fall into one pixel, leave the window and come back; a long chain goes on
// from block to block.
TEST_F(GdiDrawingTest, LinesInOneCallArePixelForPixelTheLinesOneByOne) {
    igrinit();
    yyresn(1, 0, 40, 20);
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    // Whole world units are not whole pixels, so truncation counts.
    IGrUnits(-3.3f, -2.1f, 17.7f, 9.4f);
    struct Case {
        const char* name;
        int line_type, width;
        const char* plot_mode;
        bool one_call;
    };
    const Case cases[] = {
        {"solid", 0, 1, "N", true},        {"dashed", 2, 1, "N", false},
        {"exclusive or", 0, 1, "E", false}, {"wide", 0, 3, "N", false},
    };
    std::uint32_t seed = 12345;
    auto next = [&seed](float lo, float hi) {
        seed = seed * 1103515245u + 12345u;
        return lo + (hi - lo) * static_cast<float>((seed >> 8) & 0xFFFF) / 65535.0f;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        igrlinetype(c.line_type);
        igrlinewidth(c.width);
        IGrPlotMode(c.plot_mode);
        for (int round = 0; round < 40; ++round) {
            std::vector<float> x, y;
            // The last round longer than the blocks the screen is given.
            const int n = round == 39 ? 700 : 2 + round % 13;
            for (int i = 0; i < n; ++i) {
                const int kind = static_cast<int>(next(0.0f, 9.99f));
                if (kind == 0 && !x.empty()) {
                    x.push_back(x.back());  // the same point again
                    y.push_back(y.back());
                } else if (kind == 1 && !x.empty()) {
                    x.push_back(x.back() + 0.1f);  // most likely the same pixel
                    y.push_back(y.back());
                } else if (kind == 2) {
                    x.push_back(next(-12.0f, 27.0f));  // anywhere, often outside
                    y.push_back(next(-8.0f, 16.0f));
                } else {
                    x.push_back(next(-3.3f, 17.7f));
                    y.push_back(next(-2.1f, 9.4f));
                }
            }
            const float start_x = next(-5.0f, 19.0f), start_y = next(-3.0f, 10.0f);
            std::vector<std::uint32_t> pictures[2];
            DriverArguments operands[2];
            float ends[2][2];
            OsPoint dc_pos[2];
            for (int way = 0; way < 2; ++way) {
                wipe();
                colours(kWhite, round % 2 == 0 ? kRed : kBlue);
                igrmoveto(start_x, start_y);
                if (way == 0)
                    for (int i = 0; i < n; ++i) igrlineto(x[static_cast<std::size_t>(i)], y[static_cast<std::size_t>(i)]);
                else
                    igrlinesto(x.data(), y.data(), n);
                pictures[way] = all_pixels();
                operands[way] = drvargs;
                ends[way][0] = gstate.pos_x;
                ends[way][1] = gstate.pos_y;
                ASSERT_TRUE(os_get_current_position(wtab.gDC, dc_pos[way]));
            }
            ASSERT_EQ(pictures[0], pictures[1]) << "round " << round;
            EXPECT_TRUE(operands[0] == operands[1]);
            EXPECT_EQ(ends[0][0], ends[1][0]);
            EXPECT_EQ(ends[0][1], ends[1][1]);
            EXPECT_EQ(dc_pos[0].x, dc_pos[1].x);
            EXPECT_EQ(dc_pos[0].y, dc_pos[1].y);
        }
        // Whether the screen took them as one call: ends of the pen's colour
        // (red); ends of another colour never.
        const std::vector<OsPoint> pts = {{1, 1}, {30, 7}, {30, 7}, {5, 18}};
        wipe();
        colours(kWhite, kRed);
        EXPECT_FALSE(os_lines_with_ends(wtab.gDC, pts, kBlue));
        EXPECT_EQ(all_pixels(), std::vector<std::uint32_t>(800, kWhite));
        EXPECT_EQ(os_lines_with_ends(wtab.gDC, pts, kRed), c.one_call);
        if (c.one_call) {
            EXPECT_EQ(os_get_pixel(wtab.gDC, 30, 7), static_cast<std::uint32_t>(kRed));
            EXPECT_EQ(os_get_pixel(wtab.gDC, 5, 18), static_cast<std::uint32_t>(kRed));
        } else {
            EXPECT_EQ(all_pixels(), std::vector<std::uint32_t>(800, kWhite));
        }
    }
    igrlinetype(0);
    igrlinewidth(1);
    IGrPlotMode("N");
}

// Short polylines where world units are pixels: ends on pixel centres, on
// pixel edges and a hair either side of them, steps below a pixel, of one
// pixel and of a few in all sixteen directions, no step at all, and runs
// leaving the window by each edge and coming back. Drawn through the lines
// in one call, against each line drawn alone the plain way: the same
// pixels, operands and positions.
TEST_F(GdiDrawingTest, ShortLinesInOneCallOnPixelEdgesAndCentresAsOneByOne) {
    igrinit();
    yyresn(1, 0, 40, 20);
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    IGrUnits(0.0f, 0.0f, 40.0f, 20.0f);
    const float offsets[] = {0.0f, 0.5f, 0.25f, 0.999f, std::nextafter(1.0f, 0.0f), 1e-6f};
    const float steps[] = {0.0f, 0.3f, 1.0f, 1.5f, 2.0f, 3.7f};
    std::uint32_t seed = 99;
    auto pick = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
    };
    for (int round = 0; round < 300; ++round) {
        const float off = offsets[pick(6)];
        // Starts anywhere from beyond the left or bottom edge to beyond the right or top one.
        std::vector<float> x{static_cast<float>(pick(46) - 3) + off}, y{static_cast<float>(pick(26) - 3) + off};
        const int n = 1 + pick(12);
        for (int i = 0; i < n; ++i) {
            const double a = pick(16) * std::acos(-1.0) / 8;
            const float s = steps[pick(6)];
            x.push_back(x.back() + s * static_cast<float>(std::cos(a)));
            y.push_back(y.back() + s * static_cast<float>(std::sin(a)));
        }
        std::vector<std::uint32_t> pictures[2];
        DriverArguments operands[2];
        float ends[2][2];
        for (int way = 0; way < 2; ++way) {
            wipe();
            colours(kWhite, round % 2 == 0 ? kRed : kBlue);
            os_plain_drawing(way == 0);
            igrmoveto(x[0], y[0]);
            if (way == 0)
                for (std::size_t i = 1; i < x.size(); ++i) igrlineto(x[i], y[i]);
            else
                igrlinesto(x.data() + 1, y.data() + 1, n);
            os_plain_drawing(false);
            pictures[way] = all_pixels();
            operands[way] = drvargs;
            ends[way][0] = gstate.pos_x;
            ends[way][1] = gstate.pos_y;
        }
        ASSERT_EQ(pictures[0], pictures[1]) << "round " << round;
        EXPECT_TRUE(operands[0] == operands[1]) << "round " << round;
        EXPECT_EQ(ends[0][0], ends[1][0]);
        EXPECT_EQ(ends[0][1], ends[1][1]);
    }
}

}  // namespace
