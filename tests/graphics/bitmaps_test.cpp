// Memory bitmaps on the root window's surface. Small pictures are written
// as rows of letters: '.' white, '#' black, 'r' red, 'g' green, 'b' blue,
// 'x' any other colour.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/graphics/areas.h"
#include "lib/graphics/bitmaps.h"
#include "lib/graphics/bitmapview.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/window/errors.h"
#include "lib/window/rootwin.h"
#include "lib/window/winclose.h"
#include "platform/os_gdi.h"
#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

namespace {

constexpr std::int32_t White = 0xFFFFFF, Black = 0, Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000;

std::int32_t colour_of(char c) {
    switch (c) {
        case '.': return White;
        case '#': return Black;
        case 'r': return Red;
        case 'g': return Green;
        case 'b': return Blue;
        default: return 0x808080;
    }
}

char letter_of(std::int32_t c) {
    switch (c) {
        case White: return '.';
        case Black: return '#';
        case Red: return 'r';
        case Green: return 'g';
        case Blue: return 'b';
        default: return 'x';
    }
}

using Picture = std::vector<std::string>;

class Bitmaps : public QuindaTest {
protected:
    static constexpr int W = 40, H = 30;
    void SetUp() override {
        QuindaTest::SetUp();
        windowopen2(7 | 0x80, CentredPosition, CentredPosition, W, H);
        ASSERT_NE(wtab.gDC, 0);
        IGrSelect(1, 0);
    }

    // A new bitmap holding a picture; its number.
    static int make(const Picture& p) {
        const int w = static_cast<int>(p[0].size()), h = static_cast<int>(p.size());
        std::int32_t n = 0;
        yybitmapcreate(n, w, h, White);
        EXPECT_NE(n, 0);
        std::vector<std::int32_t> px;
        for (const auto& row : p)
            for (char c : row) px.push_back(colour_of(c));
        std::int32_t status = -1;
        yybitmapgetdata(n - 1, px, 0, 0, w - 1, h - 1, status);
        EXPECT_EQ(status, 0);
        return n;
    }
    // The picture of bitmap number N.
    static Picture picture(int n) {
        std::int32_t w = 0, h = 0;
        yybitmapsize(n - 1, w, h);
        if (w == 0) return {};
        std::vector<std::int32_t> px(static_cast<std::size_t>(w * h));
        std::int32_t status = -1;
        yybitmapputdata(n - 1, px, 0, 0, w - 1, h - 1, status);
        EXPECT_EQ(status, 0);
        Picture p;
        for (int y = 0; y < h; ++y) {
            std::string row;
            for (int x = 0; x < w; ++x) row += letter_of(px[static_cast<std::size_t>(y * w + x)]);
            p.push_back(row);
        }
        return p;
    }
    // The top-left corner of the drawing surface.
    static Picture surface(int w, int h) {
        Picture p;
        for (int y = 0; y < h; ++y) {
            std::string row;
            for (int x = 0; x < w; ++x) row += letter_of(static_cast<std::int32_t>(os_get_pixel(wtab.gDC, x, y)));
            p.push_back(row);
        }
        return p;
    }
    // The surface filled with white, then a picture at its top-left corner.
    static void paint_surface(const Picture& p) {
        const OsObject brush = os_create_solid_brush(White);
        const OsObject old = os_select_object(wtab.gDC, brush);
        const OsObject pen = os_select_object(wtab.gDC, os_get_stock_object(OS_NULL_PEN));
        os_rectangle(wtab.gDC, 0, 0, 1000, 1000);
        os_select_object(wtab.gDC, pen);
        os_select_object(wtab.gDC, old);
        os_delete_object(brush);
        for (int y = 0; y < static_cast<int>(p.size()); ++y)
            for (int x = 0; x < static_cast<int>(p[0].size()); ++x)
                os_set_pixel(wtab.gDC, x, y, static_cast<std::uint32_t>(colour_of(p[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])));
    }
};

TEST_F(Bitmaps, CreateTakesTheLowestFreeSlotUpToTwenty) {
    std::vector<std::int32_t> numbers;
    for (int i = 0; i < 21; ++i) {
        std::int32_t n = -1;
        yybitmapcreate(n, 4, 3, Red);
        numbers.push_back(n);
    }
    for (int i = 0; i < 20; ++i) EXPECT_EQ(numbers[static_cast<std::size_t>(i)], i + 1);
    EXPECT_EQ(numbers[20], 0);
    std::int32_t status = -1;
    yybitmapdestroy(4, status);
    EXPECT_EQ(status, 0);
    std::int32_t n = -1;
    yybitmapcreate(n, 2, 2, Blue);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(picture(5), (Picture{"bb", "bb"}));
    EXPECT_EQ(picture(1), (Picture{"rrrr", "rrrr", "rrrr"}));
}

TEST_F(Bitmaps, SlotsAndSizesOutOfRange) {
    make({"rgb", "..."});
    // Sizes that cannot be made give number 0 and take no slot.
    struct Create {
        int w, h;
    } bad_sizes[] = {{0, 5}, {5, 0}, {-3, 4}, {100000, 100000}};
    for (auto c : bad_sizes) {
        std::int32_t n = -1;
        yybitmapcreate(n, c.w, c.h, White);
        EXPECT_EQ(n, 0) << c.w << "x" << c.h;
        EXPECT_EQ(yybitmapcreate2(c.w, c.h, White), 0);
    }
    EXPECT_EQ(wtab.hBitmap[1], 0);

    std::vector<std::int32_t> px(6, 0);
    for (int slot : {-1, 20, 1, 1000}) {
        SCOPED_TRACE(slot);
        std::int32_t w = 9, h = 9, status = 0, viewer = 77;
        yybitmapsize(slot, w, h);
        EXPECT_EQ(w, 0);
        EXPECT_EQ(h, 0);
        yybitmapselect(slot, status, w, h);
        EXPECT_EQ(status, 1);
        // Every other operation answers 1021 and touches nothing.
        auto expect_1021 = [&](auto&& call) {
            status = 0;
            call();
            EXPECT_EQ(status, BitmapErrHandle);
        };
        expect_1021([&] { yybitmapdestroy(slot, status); });
        expect_1021([&] { yybitmapget(slot, 0, 0, 2, 2, status); });
        expect_1021([&] { yybitmapput(slot, 1, 0, 0, 2, 2, status); });
        expect_1021([&] { yybitmappart(slot, 0, 0, 0, 0, 2, 2, 1, status); });
        expect_1021([&] { yybitmapgetdata(slot, px, 0, 0, 2, 1, status); });
        expect_1021([&] { yybitmapputdata(slot, px, 0, 0, 2, 1, status); });
        expect_1021([&] { yybitmapgetresource(slot, 701, status); });
        expect_1021([&] { yybitmapmirror(slot, 0, viewer, status); });
        expect_1021([&] { yybitmaprotate(slot, 90, viewer, status); });
        expect_1021([&] { yybitmapresize(slot, 2, 2, viewer, status); });
        EXPECT_EQ(yybitmapisviewer(slot), 0);
    }
    EXPECT_EQ(picture(1), (Picture{"rgb", "..."}));
    std::int32_t w = 0, h = 0, status = 1;
    yybitmapsize(0, w, h);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    yybitmapselect(0, status, w, h);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(wtab.hGraphicsBitmap, wtab.hBitmap[0]);
}

TEST_F(Bitmaps, PixelArraysAndTheirRectangles) {
    const int n = make({"....", "....", "...."});
    // X1 = 10, X2 = 12, Y1 = 5: pixel (11, 6) is element 4.
    {
        std::int32_t m = 0;
        yybitmapcreate(m, 14, 8, White);
        std::vector<std::int32_t> px(9, White);
        px[4] = Red;
        std::int32_t status = -1;
        yybitmapgetdata(m - 1, px, 10, 5, 12, 7, status);
        EXPECT_EQ(status, 0);
        std::vector<std::int32_t> back(9, 0);
        yybitmapputdata(m - 1, back, 10, 5, 12, 7, status);
        EXPECT_EQ(back, px);
        std::vector<std::int32_t> one(1, 0);
        yybitmapputdata(m - 1, one, 11, 6, 11, 6, status);
        EXPECT_EQ(one[0], Red);
    }
    // A short array or corners the wrong way round: 1066, nothing read or
    // written.
    struct Case {
        int x1, y1, x2, y2;
        std::size_t size;
    } cases[] = {{0, 0, 3, 2, 11}, {2, 0, 1, 2, 12}, {0, 2, 3, 1, 12}, {0, 0, 3, 2, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << "," << c.x2 << "," << c.y2 << " size " << c.size);
        std::vector<std::int32_t> px(c.size, Black);
        std::int32_t status = 0;
        yybitmapgetdata(n - 1, px, c.x1, c.y1, c.x2, c.y2, status);
        EXPECT_EQ(status, BitmapErrTransfer);
        EXPECT_EQ(picture(n), (Picture{"....", "....", "...."}));
        std::vector<std::int32_t> out(c.size + 4, 12345);
        std::vector<std::int32_t> guard = out;
        status = 0;
        yybitmapputdata(n - 1, std::span<std::int32_t>(out.data(), c.size), c.x1, c.y1, c.x2, c.y2, status);
        EXPECT_EQ(status, BitmapErrTransfer);
        EXPECT_EQ(out, guard);
    }
}

TEST_F(Bitmaps, MirrorRotateAndResizePixelByPixel) {
    struct Case {
        const char* name;
        Picture in;
        int op;  // 0 mirror, 1 rotate, 2 resize
        int a, b;
        Picture out;
    } cases[] = {
        {"mirror left-right keeps the middle column", {"rgb", "#.b"}, 0, 0, 0, {"bgr", "b.#"}},
        {"mirror top-bottom", {"rgb", "#.b", "ggg"}, 0, 1, 0, {"ggg", "#.b", "rgb"}},
        {"rotate 90: the old top-right is the new top-left", {"rgb", "#.."}, 1, 90, 0, {"b.", "g.", "r#"}},
        {"rotate 180 keeps the size", {"rgb", "#.."}, 1, 180, 0, {"..#", "bgr"}},
        {"rotate 270", {"rgb", "#.."}, 1, 270, 0, {"#r", ".g", ".b"}},
        {"resize 4 x 4 to 2 x 2 keeps every second pixel", {"r.g.", "....", "b.#.", "...."}, 2, 2, 2, {"rg", "b#"}},
        {"resize 2 x 1 to 4 x 2", {"rg"}, 2, 4, 2, {"rrgg", "rrgg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int n = make(c.in);
        std::int32_t viewer = -5, status = -1;
        if (c.op == 0) yybitmapmirror(n - 1, c.a, viewer, status);
        if (c.op == 1) yybitmaprotate(n - 1, c.a, viewer, status);
        if (c.op == 2) yybitmapresize(n - 1, c.a, c.b, viewer, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(viewer, 0);
        EXPECT_EQ(picture(n), c.out);
        yybitmapdestroy(n - 1, status);
    }
}

TEST_F(Bitmaps, RefusedChangesLeaveTheBitmapAlone) {
    const int n = make({"rgb", "#.."});
    const OsHandle h = wtab.hBitmap[static_cast<std::size_t>(n - 1)];
    for (int angle : {0, 45, -90, 360, 91}) {
        std::int32_t viewer = -1, status = 0;
        yybitmaprotate(n - 1, angle, viewer, status);
        EXPECT_EQ(status, BitmapErrAngle) << angle;
    }
    std::int32_t status = 0, viewer = 0;
    yybitmapresize(n - 1, 0, 4, viewer, status);
    EXPECT_EQ(status, BitmapErrCreate);
    yybitmapgetresource(n - 1, 799, status);
    EXPECT_EQ(status, BitmapErrNoResource);
    yybitmapgetresource(n - 1, 0, status);
    EXPECT_EQ(status, BitmapErrNoResource);
    EXPECT_EQ(wtab.hBitmap[static_cast<std::size_t>(n - 1)], h);
    EXPECT_EQ(picture(n), (Picture{"rgb", "#.."}));
}

TEST_F(Bitmaps, ResourcesAtTheirOwnSize) {
    std::int32_t w = -1, h = -1;
    yybitmapresourceinfo(701, w, h);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    yybitmapresourceinfo(799, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    // Copied over the bitmap's whole size; beyond the resource it is black.
    const int n = make({"gggg", "gggg", "gggg"});
    std::int32_t status = -1;
    yybitmapgetresource(n - 1, 701, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(picture(n), (Picture{"rgb#", ".#x#", "####"}));
}

TEST_F(Bitmaps, TransfersInTheFourModes) {
    // Source 2 x 1: red, blue; the surface under it: green, blue.
    struct Case {
        int mode;
        std::string row;
    } cases[] = {{0, "rb"}, {1, "xb"}, {2, "#b"}, {3, "x#"}};
    const int n = make({"rb"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        yybitmapmode(c.mode);
        for (int onto_bitmap = 0; onto_bitmap <= 1; ++onto_bitmap) {
            std::int32_t target = 0, status = -1;
            if (onto_bitmap) {
                target = make({"gb.."});
                IGrSelect(2, target);
                ASSERT_EQ(wtab.hGraphicsBitmap, wtab.hBitmap[static_cast<std::size_t>(target - 1)]);
            } else {
                IGrSelect(1, 0);
                paint_surface({"gb.."});
            }
            yybitmapput(n - 1, 0, 0, 0, 2, 1, status);
            EXPECT_EQ(status, 0);
            EXPECT_EQ(surface(4, 1)[0], c.row + "..");
            const std::uint32_t mixed = os_get_pixel(wtab.gDC, 0, 0);
            if (c.mode == 1) {
                EXPECT_EQ(mixed, static_cast<std::uint32_t>(Red | Green));
            } else if (c.mode == 3) {
                EXPECT_EQ(mixed, static_cast<std::uint32_t>(Red ^ Green));
            }
            IGrSelect(1, 0);
            if (target) yybitmapdestroy(target - 1, status);
        }
    }
    // Mode 7 leaves exclusive or in force: a bitmap put twice at the same
    // place leaves the surface as it was.
    yybitmapmode(3);
    yybitmapmode(7);
    EXPECT_EQ(wtab.BitmapBlitMode, 3);
    paint_surface({"gb..", "#..r"});
    const Picture before = surface(4, 2);
    const int m = make({"rgb#", "..rb"});
    std::int32_t status = -1;
    yybitmapput(m - 1, 0, 1, 0, 3, 2, status);
    EXPECT_NE(surface(4, 2), before);
    yybitmapput(m - 1, 0, 1, 0, 3, 2, status);
    EXPECT_EQ(surface(4, 2), before);
}

TEST_F(Bitmaps, StretchGetAndPart) {
    const int n = make({"rg", "b#"});
    for (int onto_bitmap = 0; onto_bitmap <= 1; ++onto_bitmap) {
        SCOPED_TRACE(onto_bitmap);
        std::int32_t target = 0, status = -1;
        if (onto_bitmap) {
            target = make({"......", "......", "......", "......"});
            IGrSelect(2, target);
        } else {
            IGrSelect(1, 0);
            paint_surface({});
        }
        yybitmapput(n - 1, 1, 1, 0, 4, 4, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(surface(6, 4), (Picture{".rrgg.", ".rrgg.", ".bb##.", ".bb##."}));
        // Only the top-left part without stretching.
        yybitmapput(n - 1, 0, 4, 3, 1, 1, status);
        EXPECT_EQ(surface(6, 4)[3], ".bb#r.");
        IGrSelect(1, 0);
        if (target) yybitmapdestroy(target - 1, status);
    }
    // From the surface into a bitmap, whole and in part.
    paint_surface({"rgb", "#.r"});
    const int m = make({"...", "...", "..."});
    std::int32_t status = -1;
    yybitmapget(m - 1, 1, 0, 2, 2, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(picture(m), (Picture{"gb.", ".r.", "..."}));
    yybitmappart(m - 1, 0, 1, 1, 2, 2, 1, 0, status);
    EXPECT_EQ(picture(m), (Picture{"gb.", ".r.", ".#."}));
    yybitmappart(n - 1, 1, 1, 5, 5, 1, 1, 1, status);
    EXPECT_EQ(os_get_pixel(wtab.gDC, 5, 5), static_cast<std::uint32_t>(Black));
}

TEST_F(Bitmaps, DrawingIntoASelectedBitmap) {
    std::int32_t n = 0;
    yybitmapcreate(n, 20, 10, White);
    ASSERT_EQ(n, 1);
    IGrSelect(2, n);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(gstate.DrawableType, 2);
    EXPECT_EQ(gstate.width, 20);
    EXPECT_EQ(gstate.height, 10);
    IGrUnits(0.0f, 0.0f, 20.0f, 10.0f);
    igrcolourmodel(24);
    IGrColourN(Red);
    // Device y counts upwards: world y 2.5 is pixel row 7.
    igrjoin(2.5f, 2.5f, 15.5f, 2.5f);
    const Picture p = picture(n);
    EXPECT_EQ(p[7], "..rrrrrrrrrrrrrr....");
    for (int y = 0; y < 10; ++y)
        if (y != 7) {
            EXPECT_EQ(p[static_cast<std::size_t>(y)], std::string(20, '.')) << y;
        }
    // The window underneath was not drawn on.
    IGrSelect(1, 0);
    EXPECT_EQ(surface(20, 10)[2], std::string(20, '.'));
    // A free bitmap cannot be selected: drawing stays on the window.
    IGrSelect(2, 7);
    EXPECT_EQ(infoerror(1), 1019);
    EXPECT_EQ(gstate.DrawableType, 1);
    EXPECT_EQ(wtab.gDC, wtab.wDC);
}

TEST_F(Bitmaps, TheDrawingSurfaceDestroyedRotatedOrResized) {
    // Destroying it: drawing goes back to the current window.
    {
        const int n = make({"rg", "b#"});
        IGrSelect(2, n);
        std::int32_t status = -1;
        yybitmapdestroy(n - 1, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(wtab.hGraphicsBitmap, 0);
        EXPECT_EQ(gstate.DrawableType, 1);
        EXPECT_EQ(gstate.width, W);
        EXPECT_EQ(wtab.gDC, wtab.wDC);
        igrjoin(0.0f, 0.5f, 1.0f, 0.5f);
        EXPECT_EQ(infoerror(1), 0);
    }
    // Rotating or resizing it: the new bitmap is the surface, at its size.
    struct Case {
        int op, a, b, w, h;
    } cases[] = {{1, 90, 0, 2, 3}, {1, 180, 0, 3, 2}, {2, 6, 4, 6, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.op << " " << c.a);
        const int n = make({"rgb", "#.."});
        IGrSelect(2, n);
        std::int32_t viewer = -1, status = -1;
        if (c.op == 1) yybitmaprotate(n - 1, c.a, viewer, status);
        else yybitmapresize(n - 1, c.a, c.b, viewer, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(wtab.hGraphicsBitmap, wtab.hBitmap[static_cast<std::size_t>(n - 1)]);
        EXPECT_EQ(gstate.DrawableType, 2);
        EXPECT_EQ(gstate.width, c.w);
        EXPECT_EQ(gstate.height, c.h);
        EXPECT_EQ(os_dc_size(wtab.gDC).x, c.w);
        // Drawing goes on into the slot.
        os_set_pixel(wtab.gDC, 0, 0, Green);
        EXPECT_EQ(picture(n)[0][0], 'g');
        IGrSelect(1, 0);
        yybitmapdestroy(n - 1, status);
    }
}

// Closing the windows deletes every bitmap, the drawing surface too, and a
// new root window draws on itself again.
TEST_F(Bitmaps, ClosingTheWindowsDeletesThemAll) {
    make({"rg"});
    const int n = make({"b#"});
    IGrSelect(2, n);
    windowclose();
    for (OsHandle h : wtab.hBitmap) EXPECT_EQ(h, 0);
    EXPECT_EQ(wtab.hGraphicsBitmap, 0);
    // No device context is left holding the surface.
    EXPECT_EQ(os_dc_count(), 0);
    windowopen2(7 | 0x80, CentredPosition, CentredPosition, W, H);
    EXPECT_EQ(wtab.gDC, wtab.wDC);
    EXPECT_EQ(gstate.DrawableType, 1);
    std::int32_t m = 0;
    yybitmapcreate(m, 2, 2, Red);
    EXPECT_EQ(m, 1);
}

TEST_F(Bitmaps, ABitmapShownInAViewerIsKept) {
    const int n = make({"rg"});
    // A child frame carrying a viewer record of the bitmap.
    const OsHandle frame = os_create_window(0, "QUINCHILD", "V", OS_WS_CHILD, 0, 0, 20, 20, wtab.hClient[0], 0, 0);
    ASSERT_NE(frame, 0);
    wtab.wWindow[3] = frame;
    BitmapViewerData rec;
    rec.bitmap() = wtab.hBitmap[static_cast<std::size_t>(n - 1)];
    os_set_window_user(frame, reinterpret_cast<std::intptr_t>(&rec));
    EXPECT_EQ(yybitmapisviewer(n - 1), 3);
    std::int32_t status = -1, viewer = -1;
    yybitmapdestroy(n - 1, status);
    EXPECT_EQ(status, BitmapErrInViewer);
    EXPECT_EQ(picture(n), (Picture{"rg"}));
    yybitmapmirror(n - 1, 0, viewer, status);
    EXPECT_EQ(viewer, 3);
    // A new bitmap for the slot: the viewer takes it and its size.
    yybitmaprotate(n - 1, 90, viewer, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(viewer, 3);
    EXPECT_EQ(rec.bitmap(), wtab.hBitmap[static_cast<std::size_t>(n - 1)]);
    EXPECT_EQ(rec.width(), 1);
    EXPECT_EQ(rec.height(), 2);
    EXPECT_EQ(yybitmapisviewer(n - 1), 3);
    os_set_window_user(frame, 0);
    os_destroy_window(frame);
    wtab.wWindow[3] = 0;
}

// On a display of 256 colours every pixel written is the nearest entry of
// the graphics palette (elsewhere it is the colour asked for, as above).
using BitmapsOnAPaletteDisplay = QuindaTest;

TEST_F(BitmapsOnAPaletteDisplay, PixelsTakeTheNearestPaletteEntry) {
    OsConfig cfg = os_config_test_profile();
    cfg.colour_bits = 8;
    os_config_set(cfg);
    windowopen2(7 | 0x80, CentredPosition, CentredPosition, 20, 20);
    ASSERT_NE(wtab.gPal256, 0);
    const std::int32_t odd = 0x123456;
    const std::uint32_t nearest = wtab.gLogPal[os_get_nearest_palette_index(wtab.gPal256, odd)];
    ASSERT_NE(nearest, static_cast<std::uint32_t>(odd));
    std::int32_t n = 0, status = -1;
    yybitmapcreate(n, 2, 1, odd);
    // Pixel 0 from the fill, pixel 1 written from an array.
    const std::vector<std::int32_t> in = {odd};
    yybitmapgetdata(n - 1, in, 1, 0, 1, 0, status);
    std::vector<std::int32_t> px(2, 0);
    yybitmapputdata(n - 1, px, 0, 0, 1, 0, status);
    EXPECT_EQ(static_cast<std::uint32_t>(px[0]), nearest);
    EXPECT_EQ(static_cast<std::uint32_t>(px[1]), nearest);
}

}  // namespace
