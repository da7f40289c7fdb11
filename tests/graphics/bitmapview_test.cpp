// The bitmap viewer, driven by keys, clicks, drags and the wheel as the
// user would, with the library's messages fetched as a program fetches them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <filesystem>
#include <vector>

#include "lib/dialog/dialog.h"
#include "lib/graphics/bitmaps.h"
#include "lib/graphics/bitmapview.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/lines.h"
#include "lib/window/childwin.h"
#include "lib/window/errors.h"
#include "lib/window/wininfo.h"
#include "lib/window/winops.h"
#include "platform/os_dialog.h"
#include "platform/os_gdi.h"
#include "tests/window/window_fixture.h"

namespace {

class BitmapViewer : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        open(400, 300);
        settle();
    }
    // A free-standing child whose client area is W x H; its slot.
    static std::int32_t child(std::int32_t w, std::int32_t h, std::int32_t flags = 7) {
        std::int32_t c = 0;
        WindowOpenChild(c, flags, 20, 20, w, h);
        EXPECT_GT(c, 0);
        return c;
    }
    // A W x H bitmap whose pixel (x, y) has the colour x + 256 * y (blue 0).
    static std::int32_t gradient_bitmap(std::int32_t w, std::int32_t h) {
        std::int32_t n = 0, status = -1;
        yybitmapcreate(n, w, h, 0);
        EXPECT_NE(n, 0);
        std::vector<std::int32_t> px(static_cast<std::size_t>(w * h));
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x) px[static_cast<std::size_t>(y * w + x)] = (x & 0xFF) | ((y & 0xFF) << 8);
        yybitmapgetdata(n - 1, px, 0, 0, w - 1, h - 1, status);
        return n;
    }
    static std::int32_t view(std::int32_t n, std::int32_t x = 0, std::int32_t y = 0, std::int32_t mode = 2,
                             std::int32_t flags = 3) {
        std::int32_t status = 0;
        yybitmapview(n - 1, x, y, mode, flags, status);
        return status;
    }
    static BitmapViewerData* rec(std::int32_t slot) { return yybitmapviewerrecord(wtab.wWindow[static_cast<std::size_t>(slot)]); }
    static OsHandle viewer(std::int32_t slot) { return rec(slot) ? rec(slot)->viewer() : 0; }
    static std::int32_t info(std::int32_t slot, std::int32_t item) {
        std::int32_t v = -1;
        yybitmapinfo(slot, item, v);
        return v;
    }
    static OsPoint client_of(OsHandle w) {
        OsRect r;
        os_get_client_rect(w, r);
        return {r.width(), r.height()};
    }
    static OsPoint frame_of(std::int32_t slot) {
        OsRect r;
        os_get_window_rect(wtab.wWindow[static_cast<std::size_t>(slot)], r);
        return {r.width(), r.height()};
    }
    // Every queued message to its window procedure.
    static void pump() {
        OsMsg m;
        for (int i = 0; i < 1000 && os_peek_message(m, 0, 0, 0, OS_PM_REMOVE); ++i) {
            os_translate_message(m);
            os_dispatch_message(m);
        }
    }
};

TEST_F(BitmapViewer, Statuses) {
    const std::int32_t n = gradient_bitmap(50, 40);
    // 1: the root window.
    EXPECT_EQ(view(n), 1);
    const std::int32_t c = child(100, 80);
    // 2: a bad or free slot.
    for (std::int32_t bad : {0, -1, 21, 5}) EXPECT_EQ(view(bad), 2) << bad;
    // 3: the bitmap is the drawing surface.
    IGrSelect(2, n);
    EXPECT_EQ(view(n), 3);
    IGrSelect(1, c);
    // 4: a window of another kind.
    std::array<std::int32_t, 20> editor{WindowKindEditor};
    os_set_window_user(wtab.wWindow[static_cast<std::size_t>(c)], reinterpret_cast<std::intptr_t>(editor.data()));
    EXPECT_EQ(view(n), 4);
    os_set_window_user(wtab.wWindow[static_cast<std::size_t>(c)], 0);
    // 9: windows in the client area.
    const OsHandle inner = os_create_window(0, "QUINCLIENT", "", OS_WS_CHILD | OS_WS_VISIBLE, 0, 0, 10, 10,
                                            wtab.hClient[static_cast<std::size_t>(c)], 0, 7);
    EXPECT_EQ(view(n), 9);
    os_destroy_window(inner);
    EXPECT_EQ(rec(c), nullptr);
    // 5: inside its parent a modal or semi-modeless viewer is modeless.
    for (std::int32_t asked : {1, 3}) {
        std::int32_t inside = 0;
        WindowOpenChild(inside, 0x10 | 7, 0, 0, 5000, 5000);
        std::int32_t mode = asked, status = 0;
        yybitmapview(n - 1, 0, 0, mode, 0, status);
        EXPECT_EQ(status, 5);
        EXPECT_EQ(mode, 2);
        ASSERT_NE(rec(inside), nullptr);
        EXPECT_EQ(rec(inside)->mode(), 2);
        EXPECT_EQ(dlgtab.nSemi, 0);
        EXPECT_TRUE(os_is_window_enabled(wtab.wWindow[0]));
        WindowCloseChild(inside);
    }
    // A mode without a meaning is modeless and disables nothing.
    windowselect(c);
    std::int32_t mode = 7, status = 0;
    yybitmapview(n - 1, 0, 0, mode, 0, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(mode, 2);
    EXPECT_TRUE(os_is_window_enabled(wtab.wWindow[0]));
    EXPECT_EQ(info(c, 3), n);
    // The viewer window counts as the slot's window.
    EXPECT_EQ(yygetwindowindex(viewer(c)), c);
    EXPECT_EQ(wtab.atomBitmap, os_class_atom(BitmapViewerClass));
}

TEST_F(BitmapViewer, InformationAndANewBitmap) {
    const std::int32_t c = child(100, 80);
    const std::int32_t n = gradient_bitmap(300, 200);
    ASSERT_EQ(view(n, 30, 40), 0);
    const OsPoint vc = client_of(viewer(c));
    EXPECT_EQ(info(c, 3), n);
    EXPECT_EQ(info(c, 4), 30);
    EXPECT_EQ(info(c, 5), 40);
    EXPECT_EQ(info(c, 101), 300);
    EXPECT_EQ(info(c, 102), 200);
    // Both bars show: the page plus the horizontal bar's height.
    EXPECT_EQ(info(c, 103), 40 + vc.y + os_get_system_metrics(OS_SM_CYHSCROLL));
    for (std::int32_t item : {0, 1, 6, 100, 104}) EXPECT_EQ(info(c, item), 0) << item;
    // Windows that are no viewers, and slots out of range.
    for (std::int32_t w : {0, 2, -1, 51, 1000}) {
        for (std::int32_t item : {3, 4, 5, 101, 102, 103}) EXPECT_EQ(info(w, item), 0) << w << " " << item;
    }
    // A second bitmap with negative positions keeps the scroll positions.
    const std::int32_t m = gradient_bitmap(400, 250);
    ASSERT_EQ(view(m, -1, -5), 0);
    EXPECT_EQ(info(c, 3), m);
    EXPECT_EQ(info(c, 4), 30);
    EXPECT_EQ(info(c, 5), 40);
    EXPECT_EQ(info(c, 101), 400);
    ASSERT_EQ(view(m, 7, -1), 0);
    EXPECT_EQ(info(c, 4), 7);
    EXPECT_EQ(info(c, 5), 40);
    // A bitmap gone from the table is number 0.
    std::int32_t status = 0;
    yybitmapdestroy(m - 1, status);
    EXPECT_EQ(status, BitmapErrInViewer);
}

TEST_F(BitmapViewer, KeysWheelAndDragging) {
    const std::int32_t c = child(150, 100 + os_get_system_metrics(OS_SM_CYHSCROLL));
    const std::int32_t n = gradient_bitmap(400, 300);
    ASSERT_EQ(view(n), 0);
    const OsHandle v = viewer(c);
    ASSERT_EQ(client_of(v).y, 100);
    struct Step {
        const char* what;
        std::function<void()> act;
        std::int32_t h, y;
    } steps[] = {
        {"Page Down", [&] { os_input_key(v, OS_VK_NEXT, 0); }, 0, 50},
        {"arrow down", [&] { os_input_key(v, OS_VK_DOWN, 0); }, 0, 51},
        {"Ctrl+Page Down to the bottom", [&] { os_input_key(v, OS_VK_NEXT, OS_IN_CONTROL); }, 0, 200},
        {"a wheel notch forward", [&] { os_input_wheel(v, 5, 5, 1); }, 0, 150},
        {"a wheel notch back", [&] { os_input_wheel(v, 5, 5, -1); }, 0, 200},
        {"Page Up", [&] { os_input_key(v, OS_VK_PRIOR, 0); }, 0, 150},
        {"End", [&] { os_input_key(v, OS_VK_END, 0); }, client_of(v).x / 2, 150},
        {"Ctrl+End", [&] { os_input_key(v, OS_VK_END, OS_IN_CONTROL); }, 400 - client_of(v).x, 150},
        {"Ctrl+Home", [&] { os_input_key(v, OS_VK_HOME, OS_IN_CONTROL); }, 0, 150},
        {"arrow right", [&] { os_input_key(v, OS_VK_RIGHT, 0); }, 1, 150},
        {"Ctrl+Page Up", [&] { os_input_key(v, OS_VK_PRIOR, OS_IN_CONTROL); }, 1, 0},
        // The picture follows the mouse: dragging up and left scrolls down and right.
        {"drag", [&] {
             os_input_mouse(v, OS_MOUSE_PRESS, 1, 60, 60);
             os_input_mouse(v, OS_MOUSE_MOVE, 0, 50, 30);
             os_input_mouse(v, OS_MOUSE_MOVE, 0, 40, 20);
         }, 21, 40},
        {"drag back past the edge", [&] { os_input_mouse(v, OS_MOUSE_MOVE, 0, 90, 90); }, 0, 0},
        {"release", [&] { os_input_mouse(v, OS_MOUSE_RELEASE, 1, 90, 90); os_input_mouse(v, OS_MOUSE_MOVE, 0, 10, 10); }, 0, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        pump();
        EXPECT_EQ(info(c, 4), s.h);
        EXPECT_EQ(info(c, 5), s.y);
    }
    // Scroll-bar clicks page by half the client as well.
    const OsPoint vc = client_of(v);
    os_input_mouse(v, OS_MOUSE_PRESS, 1, vc.x + 3, vc.y - 30);
    os_input_mouse(v, OS_MOUSE_RELEASE, 1, vc.x + 3, vc.y - 30);
    pump();
    EXPECT_EQ(info(c, 5), 50);
    // The thumb dragged to the end of its bar: the view shows the bottom
    // once it is let go, and tells the program.
    wmessageenable(MsgBitmapScroll, 1);
    settle();
    const int s = os_get_system_metrics(OS_SM_CYHSCROLL);
    os_input_mouse(v, OS_MOUSE_PRESS, 1, vc.x + 3, s + 2 + 50 * (vc.y - 2 * s) / 300);
    pump();
    os_input_mouse(v, OS_MOUSE_MOVE, 0, vc.x + 3, 5000);
    pump();
    EXPECT_EQ(info(c, 5), 50);
    os_input_mouse(v, OS_MOUSE_RELEASE, 1, vc.x + 3, 5000);
    os_pump_events();
    EXPECT_EQ(wmsg.wMessageType, MsgBitmapScroll);
    EXPECT_EQ(wmsg.wMessageValue2, 200);
    EXPECT_EQ(info(c, 5), 200);
}

TEST_F(BitmapViewer, WithoutItsFlagsKeysAndClicksReachTheProgram) {
    const std::int32_t c = child(150, 117);
    const std::int32_t n = gradient_bitmap(400, 300);
    ASSERT_EQ(view(n, 0, 0, 2, 0), 0);
    const OsHandle v = viewer(c);
    settle();
    os_input_key(v, OS_VK_NEXT, 0);
    WindowMessage m;
    EXPECT_EQ(peek(m), MsgKey);
    EXPECT_EQ(m.WIN, c);
    EXPECT_EQ(info(c, 5), 0);
    os_input_mouse(v, OS_MOUSE_PRESS, 1, 10, 10);
    EXPECT_EQ(peek(m), MsgMouseDown);
    EXPECT_EQ(m.VALUE1, 1);
    EXPECT_EQ(m.VALUE3, 2);
    os_input_mouse(v, OS_MOUSE_RELEASE, 1, 10, 10);
    settle();
    // The wheel scrolls whatever the flags.
    os_input_wheel(v, 5, 5, -1);
    settle();
    EXPECT_EQ(info(c, 5), client_of(v).y / 2);
}

TEST_F(BitmapViewer, ScrollMessageWithPositionsAndWorldUnits) {
    const std::int32_t c = child(200, 150);
    const std::int32_t n = gradient_bitmap(500, 400);
    IGrUnits(0.0f, 0.0f, 500.0f, 400.0f);
    wmessageenable(MsgBitmapScroll, 1);
    ASSERT_EQ(view(n, 10, 20), 0);
    settle();
    const OsHandle v = viewer(c);
    os_input_key(v, OS_VK_RIGHT, 0);
    WindowMessage m;
    ASSERT_EQ(peek(m), MsgBitmapScroll);
    EXPECT_EQ(m.WIN, c);
    EXPECT_EQ(m.VALUE1, 11);
    EXPECT_EQ(m.VALUE2, 20);
    // The top-left corner of the view in world units: x 11 pixels in, y 20
    // pixels below the top of the bitmap's 400.
    float wx = 0, wy = 0;
    yybvi2e(0.0f, static_cast<float>(gstate.height), wx, wy, c);
    EXPECT_NEAR(m.GX, 11.5f, 0.01f);
    EXPECT_NEAR(wx, 11.0f, 0.01f);
    // The bottom edge of the view, seen from the bottom of the drawing area.
    const std::int32_t b = info(c, 103);
    yybvi2e(3.0f, 0.0f, wx, wy, c);
    EXPECT_NEAR(wx, 14.0f, 0.01f);
    EXPECT_NEAR(wy, static_cast<float>(400 - b), 0.01f);
    // Mouse positions of the viewer come back in the bitmap's world units.
    os_input_mouse(v, OS_MOUSE_PRESS, 3, 5, 5);
    ASSERT_EQ(peek(m), MsgMouseDown);
    EXPECT_EQ(m.VALUE1, 3);
    EXPECT_NEAR(m.GX, 16.5f, 0.01f);
    // No viewer: the corner of the world range, nothing divided by zero.
    yybvi2e(3.0f, 4.0f, wx, wy, 0);
    EXPECT_EQ(wx, 0.0f);
    EXPECT_EQ(wy, 0.0f);
}

TEST_F(BitmapViewer, TheFrameShrinksToTheBitmapAndNeverGrows) {
    struct Case {
        const char* what;
        std::int32_t cw, ch, bw, bh;
        bool width_shrinks, height_shrinks;
    } cases[] = {
        {"both fit", 300, 250, 120, 90, true, true},
        {"only the width fits", 300, 100, 120, 400, true, false},
        {"only the height fits", 100, 250, 400, 90, false, true},
        {"neither fits", 100, 80, 400, 300, false, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const std::int32_t c = child(k.cw, k.ch);
        const OsPoint before = frame_of(c);
        const std::int32_t n = gradient_bitmap(k.bw, k.bh);
        ASSERT_EQ(view(n), 0);
        const OsPoint after = frame_of(c);
        const OsPoint vc = client_of(viewer(c));
        const std::int32_t bar = os_get_system_metrics(OS_SM_CXVSCROLL);
        if (k.width_shrinks && k.height_shrinks) {
            EXPECT_EQ(vc.x, k.bw);
            EXPECT_EQ(vc.y, k.bh);
        } else if (k.width_shrinks) {
            EXPECT_EQ(vc.x, k.bw);  // beside the vertical bar
            EXPECT_EQ(after.x, before.x - (k.cw - k.bw - bar));
        } else if (k.height_shrinks) {
            EXPECT_EQ(vc.y, k.bh);
        }
        if (!k.width_shrinks) {
            EXPECT_EQ(after.x, before.x);
        }
        if (!k.height_shrinks) {
            EXPECT_EQ(after.y, before.y);
        }
        EXPECT_LE(after.x, before.x);
        EXPECT_LE(after.y, before.y);
        // A larger bitmap later does not make it grow.
        const std::int32_t big = gradient_bitmap(900, 700);
        ASSERT_EQ(view(big), 0);
        EXPECT_EQ(frame_of(c).x, after.x);
        EXPECT_EQ(frame_of(c).y, after.y);
        WindowCloseChild(c);
        std::int32_t status = 0;
        yybitmapdestroy(n - 1, status);
        yybitmapdestroy(big - 1, status);
        EXPECT_EQ(status, 0);
    }
}

// The largest frame is the one that shows the whole bitmap, and never more
// than the work area of the screen with the frame's edges.
TEST_F(BitmapViewer, MaximumSizeIsTheFitOrTheWorkArea) {
    const std::int32_t edge = os_get_system_metrics(OS_SM_CXFRAME);
    const OsRect desk = os_work_area();
    EXPECT_EQ(desk.width(), os_config().screen_width);
    EXPECT_EQ(desk.height(), os_config().screen_height);
    // The layer reports a current system version, so no frame or page
    // makes room for bars the oldest systems kept.
    EXPECT_EQ(os_display_info().os_major, 6);
    struct Case {
        std::int32_t bw, bh;
        bool fits;
    } cases[] = {{200, 150, true}, {3000, 2000, false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.bw);
        const std::int32_t c = child(100, 80);
        const std::int32_t n = gradient_bitmap(k.bw, k.bh);
        ASSERT_EQ(view(n), 0);
        const OsHandle frame = wtab.wWindow[static_cast<std::size_t>(c)];
        OsMinMaxInfo mm;
        os_send_message(frame, OSM_GETMINMAXINFO, 0, reinterpret_cast<std::intptr_t>(&mm));
        if (k.fits) {
            // Growing the frame to it leaves a viewer of the bitmap's size
            // without bars.
            EXPECT_EQ(rec(c)->fit_width(), mm.max_track.x);
            os_set_window_pos(frame, 0, 0, 0, mm.max_track.x, mm.max_track.y, OS_SWP_NOMOVE | OS_SWP_NOZORDER);
            EXPECT_EQ(client_of(viewer(c)).x, k.bw);
            EXPECT_EQ(client_of(viewer(c)).y, k.bh);
        } else {
            EXPECT_EQ(rec(c)->fit_width(), -999);
            EXPECT_EQ(mm.max_track.x, desk.width() + 2 * edge);
            EXPECT_EQ(mm.max_track.y, desk.height() + 2 * edge);
        }
        EXPECT_EQ(mm.max_size.x, mm.max_track.x);
        WindowCloseChild(c);
    }
}

TEST_F(BitmapViewer, ModesAndClosing) {
    const std::int32_t n = gradient_bitmap(60, 50);
    // Modeless: closing gives message 9 and destroys nothing.
    const std::int32_t a = child(100, 80);
    ASSERT_EQ(view(n, 0, 0, 2), 0);
    EXPECT_TRUE(os_is_window_enabled(wtab.wWindow[0]));
    settle();
    os_input_close(wtab.wWindow[static_cast<std::size_t>(a)]);
    WindowMessage m;
    EXPECT_EQ(peek(m), MsgClose);
    EXPECT_EQ(m.WIN, a);
    EXPECT_NE(rec(a), nullptr);
    WindowCloseChild(a);
    EXPECT_EQ(wtab.wWindow[static_cast<std::size_t>(a)], 0);

    // Semi-modeless: the others are disabled and it is counted until destroyed.
    const std::int32_t b = child(100, 80);
    ASSERT_EQ(view(n, 0, 0, 3), 0);
    EXPECT_EQ(dlgtab.nSemi, 1);
    EXPECT_FALSE(os_is_window_enabled(wtab.wWindow[0]));
    EXPECT_TRUE(os_is_window_enabled(wtab.wWindow[static_cast<std::size_t>(b)]));
    WindowCloseChild(b);
    EXPECT_EQ(dlgtab.nSemi, 0);
    EXPECT_TRUE(os_is_window_enabled(wtab.wWindow[0]));

    // Modal: returns when closed; meanwhile the others are disabled. A
    // window of the test's own class looks at them from inside the loop
    // and then closes the viewer.
    const std::int32_t c = child(100, 80, 7 | 0x20);
    const OsHandle frame = wtab.wWindow[static_cast<std::size_t>(c)];
    static bool root_enabled = true, caret_seen = false;
    static OsHandle viewer_frame = 0;
    viewer_frame = frame;
    if (!os_class_atom("VIEWERPROBE")) {
        OsWndClass k;
        k.name = "VIEWERPROBE";
        k.proc = [](OsWindow w, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) -> std::intptr_t {
            if (msg == OSM_USER + 1) {
                root_enabled = os_is_window_enabled(wtab.wWindow[0]);
                os_input_close(viewer_frame);
                return 0;
            }
            if (msg == 0x118 && wp == 0xFFF6) caret_seen = true;
            return os_def_window_proc(w, msg, wp, lp);
        };
        os_register_class(k);
    }
    const OsHandle probe = os_create_window(0, "VIEWERPROBE", "", OS_WS_POPUP, 0, 0, 1, 1, 0, 0, 0);
    // The system's caret timer is held back while block118 says so.
    wmsg.block118 = 1;
    os_post_message(probe, 0x118, 0xFFF6, 0);
    os_post_message(probe, OSM_USER + 1, 0, 0);
    std::int32_t mode = 1, status = 0;
    yybitmapview(n - 1, 0, 0, mode, 0, status);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(root_enabled);
    EXPECT_FALSE(caret_seen);
    wmsg.block118 = 0;
    EXPECT_TRUE(os_is_window_enabled(wtab.wWindow[0]));
    EXPECT_FALSE(os_is_window(frame));
    EXPECT_EQ(wtab.wWindow[static_cast<std::size_t>(c)], 0);
    EXPECT_EQ(wtab.hClient[static_cast<std::size_t>(c)], 0);
    EXPECT_EQ(wtab.wMessLine[static_cast<std::size_t>(c)], 0);
    os_destroy_window(probe);
    // The bitmap is free to go again.
    yybitmapdestroy(n - 1, status);
    EXPECT_EQ(status, 0);
}

TEST_F(BitmapViewer, RevertingAndReplacingTheBitmap) {
    const std::int32_t c = child(120, 100);
    const std::int32_t n = gradient_bitmap(300, 60);
    ASSERT_EQ(view(n, 40, 0), 0);
    // Rotating it: the viewer shows the new bitmap at once.
    std::int32_t viewer_slot = 0, status = -1;
    yybitmaprotate(n - 1, 90, viewer_slot, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(viewer_slot, c);
    EXPECT_EQ(rec(c)->bitmap(), wtab.hBitmap[static_cast<std::size_t>(n - 1)]);
    EXPECT_EQ(info(c, 101), 60);
    EXPECT_EQ(info(c, 102), 300);
    EXPECT_EQ(info(c, 3), n);
    // The view shows the rotated picture: old pixel (299 - y, x) at (x, y).
    const OsHandle v = viewer(c);
    const std::int32_t h = info(c, 4), y0 = info(c, 5);
    EXPECT_EQ(os_surface_pixel(v, 0, 0), static_cast<std::int64_t>(((299 - y0) & 0xFF) | ((h & 0xFF) << 8)));
    // Reverting: the client is back, the frame has its own procedure.
    std::int32_t dialog = 0;
    yywindowrevert(dialog, 0, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(rec(c), nullptr);
    EXPECT_FALSE(os_is_window(v));
    EXPECT_TRUE(os_is_window_visible(wtab.hClient[static_cast<std::size_t>(c)]));
    yybitmapdestroy(n - 1, status);
    EXPECT_EQ(status, 0);
}

TEST_F(BitmapViewer, AScrolledViewShowsTheBitmapAtItsPosition) {
    const std::int32_t c = child(160, 120, 7 | 0x20);
    std::int32_t n = 0;
    yybitmapcreate(n, 320, 240, 0xFFFFFF);
    ASSERT_NE(n, 0);
    // A picture drawn into the bitmap.
    IGrSelect(2, n);
    IGrUnits(0.0f, 0.0f, 320.0f, 240.0f);
    igrcolourmodel(24);
    for (int i = 0; i < 12; ++i) {
        IGrColourN(wrgb(20 * i, 255 - 20 * i, 128));
        igrjoin(0.0f, 20.0f * i, 320.0f, 240.0f - 20.0f * i);
        igrjoin(26.0f * i, 0.0f, 26.0f * i, 240.0f);
    }
    IGrSelect(1, c);
    ASSERT_EQ(view(n, 70, 50), 0);
    const OsHandle v = viewer(c);
    pump();
    const char* keep = std::getenv("QUINDA_KEEP_GRAB");
    TempDir dir;
    const std::string file = keep && *keep ? std::string(keep) : dir.file("viewer.png");
    ASSERT_TRUE(os_grab_window_png(wtab.wWindow[static_cast<std::size_t>(c)], file));
    EXPECT_GT(std::filesystem::file_size(file), 500u);
    const OsPoint vc = client_of(v);
    std::vector<std::int32_t> px(static_cast<std::size_t>(vc.x * vc.y));
    std::int32_t status = -1;
    yybitmapputdata(n - 1, px, 70, 50, 70 + vc.x - 1, 50 + vc.y - 1, status);
    ASSERT_EQ(status, 0);
    int differ = 0;
    for (int y = 0; y < vc.y; ++y)
        for (int x = 0; x < vc.x; ++x)
            differ += os_surface_pixel(v, x, y) != px[static_cast<std::size_t>(y * vc.x + x)];
    EXPECT_EQ(differ, 0);
}

// A click in a viewer that lies inside the program's window brings its frame
// forward and gives the viewer the keyboard, taking it from another window.
TEST_F(BitmapViewer, AClickActivatesAViewerInsideItsParent) {
    const std::int32_t a = child(100, 80, 7 | 0x10), b = child(100, 80, 7 | 0x10);
    windowselect(a);
    const std::int32_t n = gradient_bitmap(60, 50);
    ASSERT_EQ(view(n), 0);
    const OsHandle frame = wtab.wWindow[static_cast<std::size_t>(a)];
    os_set_focus(wtab.hClient[static_cast<std::size_t>(b)]);
    pump();
    ASSERT_EQ(wtab.hWinCur, wtab.wWindow[static_cast<std::size_t>(b)]);
    os_input_mouse(viewer(a), OS_MOUSE_PRESS, 1, 5, 5);
    os_input_mouse(viewer(a), OS_MOUSE_RELEASE, 1, 5, 5);
    pump();
    EXPECT_EQ(os_get_focus(), viewer(a));
    EXPECT_EQ(wtab.hWinCur, frame);
}

}  // namespace
