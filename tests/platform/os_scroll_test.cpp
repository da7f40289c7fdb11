// Scroll bars of child windows: ranges, pages and positions, the client room
// they take, and clicks on their arrows and troughs.
#include <gtest/gtest.h>

#include <vector>

#include "platform/os_dialog.h"
#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

namespace {

struct Seen {
    std::uint32_t msg;
    std::uintptr_t wp;
    std::intptr_t lp;
};
std::vector<Seen> g_seen;

std::intptr_t scroll_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    if (m == OSM_SIZE || m == OSM_HSCROLL || m == OSM_VSCROLL) g_seen.push_back({m, wp, lp});
    return os_def_window_proc(w, m, wp, lp);
}

class OsScrollTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        g_seen.clear();
        if (!os_class_atom("SCROLLWIN")) {
            OsWndClass c;
            c.name = "SCROLLWIN";
            c.proc = scroll_proc;
            c.background = 0xFFFFFF;
            ASSERT_NE(os_register_class(c), 0);
        }
        top = os_create_window(0, "SCROLLWIN", "t", OS_WS_POPUP | OS_WS_VISIBLE, 0, 0, 300, 200, 0, 0, 0);
        ASSERT_NE(top, 0);
    }
    static OsPoint client(OsWindow w) {
        OsRect r;
        os_get_client_rect(w, r);
        return {r.width(), r.height()};
    }
    static void set(OsWindow w, int bar, int min, int max, int page, int pos) {
        OsScrollInfo si;
        si.min = min;
        si.max = max;
        si.page = page;
        si.pos = pos;
        os_set_scroll_info(w, bar, si);
    }
    static void dispatch() {
        OsMsg m;
        while (os_peek_message(m, 0, 0, 0, OS_PM_REMOVE)) os_dispatch_message(m);
    }
    OsWindow top = 0;
};

TEST_F(OsScrollTest, BarsShowWhileTheRangeExceedsThePage) {
    const int s = os_get_system_metrics(OS_SM_CXVSCROLL);
    EXPECT_EQ(s, os_config().scroll_bar_size);
    EXPECT_EQ(os_get_system_metrics(OS_SM_CYHSCROLL), s);
    const OsWindow w =
        os_create_window(0, "SCROLLWIN", "", OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_HSCROLL | OS_WS_VSCROLL, 0, 0, 100, 80, top, 0, 1);
    ASSERT_NE(w, 0);
    // A new bar has the range 0..100 and shows.
    EXPECT_EQ(client(w).x, 100 - s);
    EXPECT_EQ(client(w).y, 80 - s);
    struct Case {
        int bar, min, max, page;
        int width, height;  // client size afterwards
    } cases[] = {
        {OS_SB_HORZ, 0, 49, 50, 100 - s, 80},      // the page covers the range: hidden
        {OS_SB_VERT, 0, 49, 50, 100, 80},
        {OS_SB_HORZ, 0, 50, 50, 100, 80 - s},      // range 50 >= page 50: shown
        {OS_SB_HORZ, 0, 0, 0, 100, 80},
        {OS_SB_VERT, 0, 10, 0, 100 - s, 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bar << " " << c.max << " " << c.page);
        g_seen.clear();
        const OsPoint before = client(w);
        set(w, c.bar, c.min, c.max, c.page, 0);
        EXPECT_EQ(client(w).x, c.width);
        EXPECT_EQ(client(w).y, c.height);
        const bool changed = before.x != c.width || before.y != c.height;
        ASSERT_EQ(g_seen.size(), changed ? 1u : 0u);
        if (changed) {
            EXPECT_EQ(g_seen[0].msg, OSM_SIZE);
            EXPECT_EQ(os_loword(static_cast<std::uintptr_t>(g_seen[0].lp)), c.width);
            EXPECT_EQ(os_hiword(static_cast<std::uintptr_t>(g_seen[0].lp)), c.height);
        }
        EXPECT_EQ(os_surface_size(w).x, c.width);
    }
    // A top-level window shows no bars.
    const OsWindow t = os_create_window(0, "SCROLLWIN", "", OS_WS_POPUP | OS_WS_VSCROLL, 0, 0, 60, 60, 0, 0, 0);
    EXPECT_EQ(client(t).x, 60);
}

TEST_F(OsScrollTest, PageAndPositionStayInTheRange) {
    const OsWindow w = os_create_window(0, "SCROLLWIN", "", OS_WS_CHILD | OS_WS_VSCROLL, 0, 0, 50, 50, top, 0, 1);
    struct Case {
        int min, max, page, pos;
        int got_page, got_pos;
    } cases[] = {
        {0, 99, 30, 50, 30, 50}, {0, 99, 30, 90, 30, 70}, {0, 99, 30, -5, 30, 0},
        {0, 99, 500, 40, 100, 0}, {10, 20, 0, 25, 0, 20},  {0, 99, -4, 99, 0, 99},
    };
    for (const Case& c : cases) {
        set(w, OS_SB_VERT, c.min, c.max, c.page, c.pos);
        OsScrollInfo si;
        ASSERT_TRUE(os_get_scroll_info(w, OS_SB_VERT, si));
        EXPECT_EQ(si.page, c.got_page) << c.page;
        EXPECT_EQ(si.pos, c.got_pos) << c.pos;
    }
    // Only the fields the mask names change.
    OsScrollInfo pos_only;
    pos_only.mask = OS_SIF_POS;
    pos_only.min = 500;
    pos_only.pos = 15;
    EXPECT_EQ(os_set_scroll_info(w, OS_SB_VERT, pos_only), 15);
    OsScrollInfo si;
    os_get_scroll_info(w, OS_SB_VERT, si);
    EXPECT_EQ(si.min, 0);
    EXPECT_EQ(si.max, 99);
    EXPECT_EQ(os_set_scroll_info(w, 2, pos_only), 0);
    EXPECT_FALSE(os_get_scroll_info(w, 5, si));
    EXPECT_FALSE(os_get_scroll_info(0, OS_SB_VERT, si));
}

TEST_F(OsScrollTest, ClicksOnArrowsAndTroughs) {
    const OsWindow w =
        os_create_window(0, "SCROLLWIN", "", OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_VSCROLL | OS_WS_HSCROLL, 0, 0, 120, 120, top, 0, 1);
    set(w, OS_SB_VERT, 0, 399, 100, 0);
    set(w, OS_SB_HORZ, 0, 399, 100, 200);
    const int s = os_get_system_metrics(OS_SM_CXVSCROLL);
    const OsPoint c = client(w);
    struct Case {
        int x, y;
        std::uint32_t msg;
        std::int32_t code;
    } cases[] = {
        {c.x + 3, 2, OSM_VSCROLL, SB_LINEUP},
        {c.x + 3, c.y - 2, OSM_VSCROLL, SB_LINEDOWN},
        {c.x + 3, c.y - s - 3, OSM_VSCROLL, SB_PAGEDOWN},
        {s + 2, c.y + 3, OSM_HSCROLL, SB_PAGEUP},
        {c.x - s - 2, c.y + 3, OSM_HSCROLL, SB_PAGEDOWN},
        {2, c.y + 3, OSM_HSCROLL, SB_LINEUP},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.x << "," << k.y);
        g_seen.clear();
        os_input_mouse(w, OS_MOUSE_PRESS, 1, k.x, k.y);
        os_input_mouse(w, OS_MOUSE_RELEASE, 1, k.x, k.y);
        dispatch();
        ASSERT_EQ(g_seen.size(), 2u);
        EXPECT_EQ(g_seen[0].msg, k.msg);
        EXPECT_EQ(os_loword(g_seen[0].wp), k.code);
        EXPECT_EQ(os_loword(g_seen[1].wp), SB_ENDSCROLL);
    }
    // The thumb: pressing sends nothing, dragging tracks, letting go sets
    // the position. The trough of the vertical bar is c.y - 2 s long and
    // its thumb a quarter of it (page 100 of 400), so each pixel of the
    // mouse moves the position by 300 / (three quarters of the trough).
    g_seen.clear();
    os_input_mouse(w, OS_MOUSE_PRESS, 1, c.x + 3, s + 3);
    dispatch();
    EXPECT_TRUE(g_seen.empty());
    const int room = (c.y - 2 * s) - (c.y - 2 * s) * 100 / 400;
    os_input_mouse(w, OS_MOUSE_MOVE, 0, c.x + 3, s + 3 + 20);
    os_input_mouse(w, OS_MOUSE_MOVE, 0, c.x + 3, s + 3 + 5000);
    os_input_mouse(w, OS_MOUSE_RELEASE, 1, c.x + 3, s + 3 + 5000);
    dispatch();
    ASSERT_EQ(g_seen.size(), 4u);
    EXPECT_EQ(os_loword(g_seen[0].wp), SB_THUMBTRACK);
    EXPECT_EQ(os_hiword(g_seen[0].wp), 20 * 300 / room);
    EXPECT_EQ(os_loword(g_seen[1].wp), SB_THUMBTRACK);
    EXPECT_EQ(os_hiword(g_seen[1].wp), 300);  // the end of the travel
    EXPECT_EQ(os_loword(g_seen[2].wp), SB_THUMBPOSITION);
    EXPECT_EQ(os_hiword(g_seen[2].wp), 300);
    EXPECT_EQ(os_loword(g_seen[3].wp), SB_ENDSCROLL);
    EXPECT_EQ(os_get_capture(), 0);
    // The window decides: the bar keeps its position until it is set.
    OsScrollInfo si;
    os_get_scroll_info(w, OS_SB_VERT, si);
    EXPECT_EQ(si.pos, 0);
}

}  // namespace
