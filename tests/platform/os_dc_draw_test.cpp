// Pixel rules of the drawing layer, shown on small golden images: '.' is
// the white background, '#' black, 'r' red, 'b' blue, 'x' any other colour.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os_gdi.h"
#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0x0000FF, kBlue = 0xFF0000;

class OsDcDrawTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        os_dc_reset();
        if (!os_class_atom("DCTEST")) {
            OsWndClass c;
            c.name = "DCTEST";
            c.proc = os_def_window_proc;
            c.background = kWhite;
            ASSERT_NE(os_register_class(c), 0);
        }
        win = os_create_window(0, "DCTEST", "", OS_WS_POPUP, 0, 0, 24, 16, 0, 0, 0);
        ASSERT_NE(win, 0);
        dc = os_get_dc(win);
        ASSERT_NE(dc, 0);
    }

    // Rows y0..y1 of columns 0..w-1 as text, one string per row.
    std::vector<std::string> picture(int w, int y0, int y1) const {
        std::vector<std::string> rows;
        for (int y = y0; y <= y1; ++y) {
            std::string r;
            for (int x = 0; x < w; ++x) {
                const std::uint32_t c = os_get_pixel(dc, x, y);
                r += c == kWhite ? '.' : c == kBlack ? '#' : c == kRed ? 'r' : c == kBlue ? 'b' : 'x';
            }
            rows.push_back(r);
        }
        return rows;
    }
    void use_pen(std::uint32_t style, int width, std::uint32_t colour) {
        const OsObject p = os_create_pen(style, width, colour);
        ASSERT_NE(p, 0);
        os_delete_object(os_select_object(dc, p));
    }
    void use_brush(OsObject b) { os_delete_object(os_select_object(dc, b)); }

    OsWindow win = 0;
    OsDC dc = 0;
};

TEST_F(OsDcDrawTest, LinesLeaveOutTheirEndPixel) {
    struct Case {
        const char* name;
        std::uint32_t style;
        std::vector<std::uint32_t> dashes;  // geometric user style when not empty
        std::vector<std::string> want;
    };
    const std::vector<Case> cases = {
        {"solid", OS_PS_SOLID, {}, {"##########......"}},
        {"cosmetic dots", OS_PS_DOT, {}, {"###...###.......", }},
        {"geometric long dash", OS_PS_USERSTYLE, {8, 6}, {"########........"}},
        {"geometric dot", OS_PS_USERSTYLE, {1, 4}, {"#....#.........."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        os_select_object(dc, os_get_stock_object(OS_WHITE_BRUSH));
        os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
        os_rectangle(dc, 0, 0, 25, 17);
        os_set_bk_mode(dc, OS_TRANSPARENT);
        OsObject pen = c.dashes.empty()
                           ? os_create_pen(c.style, 1, kBlack)
                           : os_ext_create_pen(OS_PS_GEOMETRIC | OS_PS_USERSTYLE | OS_PS_ENDCAP_SQUARE | OS_PS_JOIN_BEVEL,
                                               1, kBlack, c.dashes);
        ASSERT_NE(pen, 0);
        os_select_object(dc, pen);
        os_move_to(dc, 0, 0);
        os_line_to(dc, 10, 0);
        EXPECT_EQ(picture(16, 0, 0), c.want);
        os_select_object(dc, os_get_stock_object(OS_BLACK_PEN));
        EXPECT_TRUE(os_delete_object(pen));
    }
}

TEST_F(OsDcDrawTest, RectangleAndEllipseBoxesExcludeRightColumnAndBottomRow) {
    use_pen(OS_PS_SOLID, 1, kBlack);
    use_brush(os_create_solid_brush(kRed));
    os_rectangle(dc, 1, 1, 5, 4);
    os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
    os_rectangle(dc, 7, 1, 11, 4);
    EXPECT_EQ(picture(12, 0, 4), (std::vector<std::string>{
                                     "............",
                                     ".####..rrr..",
                                     ".#rr#..rrr..",
                                     ".####.......",
                                     "............",
                                 }));
}

TEST_F(OsDcDrawTest, EllipseOutlineSolidAndNullPenCoverTheSamePixels) {
    // The three ways the screen side draws an ellipse of centre 3, 3 and
    // radii 1, 1: outline, solid with a pen of the fill colour, and the
    // null pen with a box one larger.
    struct Case {
        const char* name;
        bool pen, brush;
        int extra;
    };
    for (const Case& c : {Case{"outline", true, false, 2}, Case{"solid", true, true, 2}, Case{"null pen", false, true, 3}}) {
        SCOPED_TRACE(c.name);
        os_select_object(dc, os_get_stock_object(OS_WHITE_BRUSH));
        os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
        os_rectangle(dc, 0, 0, 25, 17);
        if (c.pen) use_pen(OS_PS_SOLID, 1, kBlack);
        use_brush(c.brush ? os_create_solid_brush(kBlack) : os_get_stock_object(OS_NULL_BRUSH));
        os_ellipse(dc, 3 - 1 - 1, 3 - 1 - 1, 3 + 1 + c.extra, 3 + 1 + c.extra);
        const std::vector<std::string> ring = {"........", "..###...", ".#...#..", ".#...#..", ".#...#..", "..###...", "........"};
        const std::vector<std::string> disc = {"........", "..###...", ".#####..", ".#####..", ".#####..", "..###...", "........"};
        EXPECT_EQ(picture(8, 0, 6), c.brush ? disc : ring);
    }
}

TEST_F(OsDcDrawTest, PieRunsCounterClockwiseAndSameRadialsGiveTheWholeEllipse) {
    use_pen(OS_PS_SOLID, 1, kBlack);
    use_brush(os_create_solid_brush(kBlack));
    // Quarter from the radial to the right (3 o'clock) counter-clockwise to
    // the one upwards (12 o'clock): the upper right quarter.
    os_pie(dc, 0, 0, 9, 9, 8, 4, 4, 0);
    EXPECT_EQ(picture(9, 0, 8), (std::vector<std::string>{
                                    "....###..",
                                    "....####.",
                                    "....#####",
                                    "....#####",
                                    "....#####",
                                    ".........",
                                    ".........",
                                    ".........",
                                    ".........",
                                }));
    os_select_object(dc, os_get_stock_object(OS_WHITE_BRUSH));
    os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
    os_rectangle(dc, 0, 0, 25, 17);
    use_pen(OS_PS_SOLID, 1, kBlack);
    os_pie(dc, 0, 0, 5, 5, 4, 2, 4, 2);
    EXPECT_EQ(picture(6, 0, 4), (std::vector<std::string>{
                                    ".###..",
                                    "#...#.",
                                    "#...#.",
                                    "#...#.",
                                    ".###..",
                                }));
}

TEST_F(OsDcDrawTest, XorPolygonDrawnTwiceLeavesTheSurfaceUnchanged) {
    use_pen(OS_PS_SOLID, 1, kRed);
    os_move_to(dc, 0, 2);
    os_line_to(dc, 12, 2);
    const std::vector<std::string> before = picture(12, 0, 6);
    os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
    use_brush(os_create_solid_brush(kBlue));
    os_set_rop2(dc, OS_R2_XORPEN);
    const std::vector<OsPoint> tri = {{1, 1}, {9, 1}, {1, 6}};
    os_polygon(dc, tri);
    const std::vector<std::string> once = picture(12, 0, 6);
    EXPECT_EQ(once, (std::vector<std::string>{
                        "............",
                        ".xxxxxxxx...",
                        "rxxxxxxxrrrr",
                        ".xxxxx......",
                        ".xxxx.......",
                        ".xx.........",
                        "............",
                    }));
    os_polygon(dc, tri);
    EXPECT_EQ(picture(12, 0, 6), before);
}

TEST_F(OsDcDrawTest, PatternBrushIsLaidFromTheSurfaceOrigin) {
    const OsDC mem = os_create_compatible_dc(dc);
    const OsObject bmp = os_create_compatible_bitmap(dc, 8, 8);
    os_select_object(mem, bmp);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) os_set_pixel(mem, x, y, (x + y) % 2 ? kRed : kBlue);
    const OsObject brush = os_create_pattern_brush(bmp);
    ASSERT_NE(brush, 0);
    os_select_object(dc, brush);
    os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
    os_rectangle(dc, 3, 0, 9, 3);
    EXPECT_EQ(picture(9, 0, 1), (std::vector<std::string>{"...rbrbr.", "...brbrb."}));
    os_select_object(dc, os_get_stock_object(OS_WHITE_BRUSH));
    EXPECT_TRUE(os_delete_object(brush));
    os_delete_dc(mem);
    EXPECT_TRUE(os_delete_object(bmp));
}

TEST_F(OsDcDrawTest, ClipRegionCopiesAndPixels) {
    EXPECT_EQ(os_set_pixel(dc, 2, 1, kRed), kRed);
    EXPECT_EQ(os_get_pixel(dc, 2, 1), kRed);
    EXPECT_EQ(os_get_pixel(dc, -1, 0), OS_CLR_INVALID);
    EXPECT_EQ(os_get_pixel(dc, 24, 0), OS_CLR_INVALID);
    // Copy to the right within the surface, overlapping the source.
    os_set_pixel(dc, 3, 1, kBlue);
    EXPECT_TRUE(os_bit_blt(dc, 3, 1, 3, 1, dc, 2, 1, OS_SRCCOPY));
    EXPECT_EQ(picture(8, 1, 1), (std::vector<std::string>{"..rrb..."}));
    // A clip region keeps the right column out.
    const OsObject rgn = os_create_rect_rgn(0, 0, 4, 16);
    ASSERT_TRUE(os_select_clip_rgn(dc, rgn));
    os_select_object(dc, os_get_stock_object(OS_BLACK_BRUSH));
    os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
    os_rectangle(dc, 0, 3, 8, 5);
    EXPECT_EQ(os_set_pixel(dc, 5, 0, kRed), OS_CLR_INVALID);
    EXPECT_EQ(os_get_pixel(dc, 5, 3), OS_CLR_INVALID);
    ASSERT_TRUE(os_select_clip_rgn(dc, 0));
    EXPECT_EQ(picture(8, 3, 3), (std::vector<std::string>{"####...."}));
    EXPECT_EQ(os_set_pixel(dc, 5, 0, kRed), kRed);
    os_delete_object(rgn);
}

TEST_F(OsDcDrawTest, PaletteIndicesFollowTheLastRealisation) {
    const OsObject pal = os_create_palette({kRed, kBlue});
    os_select_palette(dc, pal, false);
    os_realize_palette(dc);
    EXPECT_EQ(os_set_pixel(dc, 0, 0, os_palette_index(1)), kBlue);
    os_set_palette_entries(pal, 1, {kBlack});
    EXPECT_EQ(os_set_pixel(dc, 1, 0, os_palette_index(1)), kBlue);
    os_realize_palette(dc);
    EXPECT_EQ(os_set_pixel(dc, 2, 0, os_palette_index(1)), kBlack);
    EXPECT_EQ(os_get_nearest_palette_index(pal, 0x1010F0), 0u);
}

TEST_F(OsDcDrawTest, FontsByFaceWithMetricsAndText) {
    struct Case {
        const char* face;
        bool fixed;
    };
    for (const Case& c : {Case{"Arial", false}, Case{"Times New Roman", false}, Case{"Courier New", true}, Case{"Symbol", false}}) {
        SCOPED_TRACE(c.face);
        OsLogFont lf;
        lf.face = c.face;
        lf.height = -20;
        const OsObject f = os_create_font(lf);
        ASSERT_NE(f, 0);
        const OsObject old = os_select_object(dc, f);
        OsTextMetric tm;
        ASSERT_TRUE(os_get_text_metrics(dc, tm));
        EXPECT_GE(tm.height, 20);
        EXPECT_EQ(tm.internal_leading, tm.height - 20);
        EXPECT_GT(tm.ascent, tm.descent);
        OsPoint a, b;
        os_get_text_extent(dc, "iii", a);
        os_get_text_extent(dc, "WWW", b);
        EXPECT_EQ(a.x == b.x, c.fixed);
        EXPECT_EQ(a.y, tm.height);
        os_select_object(dc, old);
        EXPECT_TRUE(os_delete_object(f));
    }
    // A width asks for the average character width.
    OsLogFont lf;
    lf.face = "Arial";
    lf.height = -20;
    lf.width = 20;
    const OsObject wide = os_create_font(lf);
    os_select_object(dc, wide);
    OsTextMetric tm;
    os_get_text_metrics(dc, tm);
    EXPECT_NEAR(tm.ave_char_width, 20, 2);
}

TEST_F(OsDcDrawTest, TextSitsOnItsBaseLineAndAlignsAndFillsItsBackground) {
    OsLogFont lf;
    lf.face = "Arial";
    lf.height = -10;
    os_select_object(dc, os_create_font(lf));
    OsTextMetric tm;
    os_get_text_metrics(dc, tm);
    OsPoint ext;
    os_get_text_extent(dc, "I", ext);
    os_set_text_align(dc, OS_TA_BASELINE | OS_TA_LEFT);
    os_set_bk_mode(dc, OS_TRANSPARENT);
    os_text_out(dc, 2, 12, "I");
    // The capital stands on the base line: nothing below row 12, something
    // in row 11, nothing left of the reference point.
    int lowest = -1, leftmost = 99;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            if (os_get_pixel(dc, x, y) == kBlack) {
                lowest = std::max(lowest, y);
                leftmost = std::min(leftmost, x);
            }
    EXPECT_EQ(lowest, 11);
    EXPECT_GE(leftmost, 2);
    // Right-aligned opaque text fills its cell, ending left of the point.
    os_set_text_align(dc, OS_TA_BASELINE | OS_TA_RIGHT);
    os_set_bk_mode(dc, OS_OPAQUE);
    os_set_bk_color(dc, kRed);
    os_text_out(dc, 20, 12, "I");
    EXPECT_EQ(os_get_pixel(dc, 20 - ext.x, 12 - tm.ascent), kRed);
    EXPECT_EQ(os_get_pixel(dc, 19, 12 + tm.descent - 1), kRed);
    EXPECT_EQ(os_get_pixel(dc, 20, 12), kWhite);
}

TEST_F(OsDcDrawTest, TextAtTheCurrentPositionMovesItAlong) {
    OsLogFont lf;
    lf.face = "Arial";
    lf.height = -10;
    os_select_object(dc, os_create_font(lf));
    OsPoint ext;
    os_get_text_extent(dc, "II", ext);
    os_set_text_align(dc, OS_TA_BASELINE | OS_TA_LEFT | OS_TA_UPDATECP);
    os_set_bk_mode(dc, OS_OPAQUE);
    os_set_bk_color(dc, kRed);
    os_move_to(dc, 3, 12);
    // The point given is ignored; the text starts at the current position.
    os_text_out(dc, 15, 2, "II");
    OsPoint pos;
    ASSERT_TRUE(os_get_current_position(dc, pos));
    EXPECT_EQ(pos.x, 3 + ext.x);
    EXPECT_EQ(pos.y, 12);
    EXPECT_EQ(os_get_pixel(dc, 2, 11), kWhite);
    EXPECT_EQ(os_get_pixel(dc, 3, 11), kRed);
    EXPECT_EQ(os_get_pixel(dc, 15, 2), kWhite);
    // Right-aligned text goes back to its start, centred text stays put.
    os_set_text_align(dc, OS_TA_BASELINE | OS_TA_RIGHT | OS_TA_UPDATECP);
    os_text_out(dc, 0, 0, "II");
    os_get_current_position(dc, pos);
    EXPECT_EQ(pos.x, 3);
    os_set_text_align(dc, OS_TA_BASELINE | OS_TA_CENTER | OS_TA_UPDATECP);
    os_text_out(dc, 0, 0, "II");
    os_get_current_position(dc, pos);
    EXPECT_EQ(pos.x, 3);
}

TEST_F(OsDcDrawTest, StockFontsOfTheSystem) {
    struct Case {
        std::int32_t which;
        bool fixed;
    };
    for (const Case& c : {Case{OS_SYSTEM_FONT, false}, Case{OS_SYSTEM_FIXED_FONT, true}, Case{OS_DEFAULT_GUI_FONT, false}}) {
        SCOPED_TRACE(c.which);
        const OsObject f = os_get_stock_object(c.which);
        ASSERT_NE(f, 0);
        EXPECT_EQ(os_get_stock_object(c.which), f);
        const OsObject old = os_select_object(dc, f);
        OsPoint a, b;
        os_get_text_extent(dc, "iii", a);
        os_get_text_extent(dc, "WWW", b);
        EXPECT_EQ(a.x == b.x, c.fixed);
        os_select_object(dc, old);
        // A stock object is never deleted.
        EXPECT_FALSE(os_delete_object(f));
    }
}

}  // namespace

// A pen far wider than the surface covers it all and costs no more than a
// surface's worth of work, whatever its width.
TEST_F(OsDcDrawTest, PenWiderThanTheSurfaceCoversItQuickly) {
    struct Case {
        const char* name;
        bool geometric;
        int width;
    };
    const std::vector<std::string> black(16, std::string(24, '#')), white(16, std::string(24, '.'));
    for (const Case c : {Case{"round 3000", false, 3000}, Case{"square 3000", true, 3000},
                         Case{"round 100000", false, 100000}}) {
        SCOPED_TRACE(c.name);
        const OsObject pen = c.geometric ? os_ext_create_pen(OS_PS_GEOMETRIC | OS_PS_SOLID, c.width, kBlack, {})
                                         : os_create_pen(OS_PS_SOLID, c.width, kBlack);
        ASSERT_NE(pen, 0);
        // A white surface, then the wide pen with no brush.
        auto blank = [&] {
            os_select_object(dc, os_get_stock_object(OS_WHITE_BRUSH));
            os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
            os_rectangle(dc, 0, 0, 25, 17);
            os_select_object(dc, pen);
            os_select_object(dc, os_get_stock_object(OS_NULL_BRUSH));
        };
        blank();
        os_move_to(dc, -5, 8);
        os_line_to(dc, 30, 8);
        EXPECT_EQ(picture(24, 0, 15), black);
        // An ellipse outline in the same pen fills its box with the pen.
        blank();
        os_ellipse(dc, -10, -10, 40, 30);
        EXPECT_EQ(picture(24, 0, 15), black);
        // Deep inside a huge outline nothing is border.
        blank();
        os_ellipse(dc, -400000, -400000, 400000, 400000);
        os_rectangle(dc, -400000, -400000, 400000, 400000);
        EXPECT_EQ(picture(24, 0, 15), white);
        os_select_object(dc, os_get_stock_object(OS_BLACK_PEN));
        EXPECT_TRUE(os_delete_object(pen));
    }
}
