#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

namespace {

std::vector<std::uint32_t> g_seen;

std::intptr_t recording_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    g_seen.push_back(m);
    return os_def_window_proc(w, m, wp, lp);
}

class OsWindowTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        g_seen.clear();
        if (!os_class_atom("TESTWIN")) {
            OsWndClass c;
            c.name = "TESTWIN";
            c.proc = recording_proc;
            c.background = 0xFFFFFF;
            ASSERT_NE(os_register_class(c), 0);
        }
    }
};

TEST_F(OsWindowTest, CreationSendsCreateAndSizeAndDestroyReachesChildren) {
    const OsWindow top = os_create_window(0, "TESTWIN", "t", OS_WS_CAPTION | OS_WS_THICKFRAME, 10, 20, 300, 200, 0, 0, 0);
    ASSERT_NE(top, 0);
    ASSERT_GE(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0], OSM_CREATE);
    EXPECT_EQ(g_seen[1], OSM_SIZE);
    OsRect cr;
    os_get_client_rect(top, cr);
    const OsConfig& c = os_config();
    EXPECT_EQ(cr.width(), 300 - 2 * c.sizing_border);
    EXPECT_EQ(cr.height(), 200 - 2 * c.sizing_border - c.caption_height);
    OsRect adj{0, 0, cr.width(), cr.height()};
    os_adjust_window_rect(adj, OS_WS_CAPTION | OS_WS_THICKFRAME, false);
    EXPECT_EQ(adj.width(), 300);
    EXPECT_EQ(adj.height(), 200);
    const OsWindow kid = os_create_window(0, "TESTWIN", "", OS_WS_CHILD | OS_WS_VISIBLE, 0, 0, 50, 50, top, 0, 5);
    ASSERT_NE(kid, 0);
    EXPECT_EQ(os_get_parent(kid), top);
    EXPECT_EQ(os_get_control_id(kid), 5);
    g_seen.clear();
    EXPECT_TRUE(os_destroy_window(top));
    EXPECT_EQ(std::count(g_seen.begin(), g_seen.end(), OSM_DESTROY), 2);
    EXPECT_FALSE(os_is_window(kid));
    EXPECT_FALSE(os_is_window(top));
    EXPECT_EQ(os_create_window(0, "NOSUCHCLASS", "", 0, 0, 0, 1, 1, 0, 0, 0), 0);
}

TEST_F(OsWindowTest, CharacterFollowsItsKeyAndPaintAndTimersWaitForIdle) {
    const OsWindow w = os_create_window(0, "TESTWIN", "", OS_WS_POPUP | OS_WS_VISIBLE, 0, 0, 40, 40, 0, 0, 0);
    OsMsg m;
    while (os_peek_message(m, 0, 0, 0, OS_PM_REMOVE)) os_dispatch_message(m);  // the first paint
    os_set_timer(w, 3, 10);
    os_invalidate_rect(w, nullptr, true);
    os_post_message(w, OSM_USER + 7, 1, 2);
    os_input_key(w, 'B', 0);
    ASSERT_TRUE(os_peek_message(m, 0, 0, 0, OS_PM_REMOVE));
    EXPECT_EQ(m.message, OSM_USER + 7u);
    ASSERT_TRUE(os_peek_message(m, 0, 0, 0, OS_PM_REMOVE));
    EXPECT_EQ(m.message, OSM_KEYDOWN);
    EXPECT_EQ(m.wParam, static_cast<std::uintptr_t>('B'));
    os_translate_message(m);
    ASSERT_TRUE(os_peek_message(m, 0, 0, 0, OS_PM_REMOVE));
    EXPECT_EQ(m.message, OSM_CHAR);
    EXPECT_EQ(m.wParam, static_cast<std::uintptr_t>('b'));
    ASSERT_TRUE(os_peek_message(m, 0, 0, 0, OS_PM_REMOVE));
    EXPECT_EQ(m.message, OSM_KEYUP);
    ASSERT_TRUE(os_peek_message(m, 0, 0, 0, OS_PM_REMOVE));
    EXPECT_EQ(m.message, OSM_PAINT);
    os_dispatch_message(m);  // validates
    bool timer = false;
    for (int i = 0; i < 10 && !timer; ++i) timer = os_peek_message(m, 0, 0, 0, OS_PM_REMOVE) && m.message == OSM_TIMER;
    EXPECT_TRUE(timer);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_TRUE(os_kill_timer(w, 3));
    EXPECT_FALSE(os_peek_message(m, 0, 0, 0, OS_PM_REMOVE));
}

TEST_F(OsWindowTest, SurfaceKeepsDrawingAcrossResize) {
    const OsWindow w = os_create_window(0, "TESTWIN", "", OS_WS_POPUP, 0, 0, 20, 10, 0, 0, 0);
    os_surface_fill(w, {0, 0, 5, 5}, 0x00FF00);
    os_set_window_pos(w, 0, 0, 0, 30, 15, OS_SWP_NOMOVE);
    EXPECT_EQ(os_surface_size(w).x, 30);
    EXPECT_EQ(os_surface_pixel(w, 2, 2), 0x00FF00);
    EXPECT_EQ(os_surface_pixel(w, 25, 12), 0xFFFFFF);
    EXPECT_EQ(os_surface_pixel(w, 30, 0), -1);
    EXPECT_EQ(os_set_window_user(w, 42), 0);
    EXPECT_EQ(os_get_window_user(w), 42);
}

TEST_F(OsWindowTest, ShowStatesAndPlacement) {
    const OsWindow w = os_create_window(0, "TESTWIN", "", OS_WS_CAPTION | OS_WS_THICKFRAME, 100, 50, 200, 100, 0, 0, 0);
    EXPECT_FALSE(os_is_window_visible(w));
    os_show_window(w, OS_SW_SHOWMAXIMIZED);
    EXPECT_TRUE(os_is_zoomed(w));
    OsPlacement p;
    os_get_window_placement(w, p);
    EXPECT_EQ(p.show, OS_SW_SHOWMAXIMIZED);
    EXPECT_EQ(p.normal, (OsRect{100, 50, 300, 150}));
    os_show_window(w, OS_SW_MINIMIZE);
    EXPECT_TRUE(os_is_iconic(w));
    OsRect cr;
    os_get_client_rect(w, cr);
    EXPECT_EQ(cr.width(), 0);
    os_show_window(w, OS_SW_RESTORE);
    OsRect r;
    os_get_window_rect(w, r);
    EXPECT_EQ(r, (OsRect{100, 50, 300, 150}));
}

}  // namespace

TEST_F(OsWindowTest, TypedCharactersArriveAsTheir1252Bytes) {
    const OsWindow w = os_create_window(0, "TESTWIN", "", OS_WS_POPUP | OS_WS_VISIBLE, 0, 0, 40, 40, 0, 0, 0);
    OsMsg m;
    while (os_peek_message(m, 0, 0, 0, OS_PM_REMOVE)) os_dispatch_message(m);
    struct Case { std::int32_t vk; const char* text; unsigned byte; };
    // Euro sign and the quotes live in 0x80..0x9F of 1252, where Latin-1 has controls.
    const Case cases[] = {{'E', "\x80", 0x80}, {'E', "\xE9", 0xE9}, {'Q', "\x93", 0x93}, {'A', "a", 'a'}};
    for (const Case& c : cases) {
        os_input_key(w, c.vk, 0, c.text);
        ASSERT_TRUE(os_peek_message(m, 0, 0, 0, OS_PM_REMOVE));
        ASSERT_EQ(m.message, OSM_KEYDOWN);
        os_translate_message(m);
        ASSERT_TRUE(os_peek_message(m, 0, 0, 0, OS_PM_REMOVE));
        EXPECT_EQ(m.message, OSM_CHAR);
        EXPECT_EQ(m.wParam, c.byte) << c.text;
        while (os_peek_message(m, 0, 0, 0, OS_PM_REMOVE)) os_dispatch_message(m);
    }
}
