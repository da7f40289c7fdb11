// Services the grid needs of the layer: text clipped to and filled over a
// rectangle, scrolling with child windows, a control painted into a memory
// bitmap, the Wingdings check mark and cross, the edit control's layout
// answers and clipboard commands, and the context-menu request.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os_cliptext.h"
#include "platform/os_dialog.h"
#include "platform/os_gdi.h"
#include "platform/os_gridpaint.h"
#include "platform/os_metafile.h"
#include "platform/os_symbol.h"
#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kRed = 0x0000FF;

class GridServicesTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        os_dc_reset();
        if (!os_class_atom("GSTEST")) {
            OsWndClass c;
            c.name = "GSTEST";
            c.proc = [](OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) -> std::intptr_t {
                if (m == OSM_CONTEXTMENU) {
                    heard.push_back(static_cast<std::int32_t>(wp));
                    return 0;
                }
                return os_def_window_proc(w, m, wp, lp);
            };
            c.background = kWhite;
            ASSERT_NE(os_register_class(c), 0);
        }
        heard.clear();
        win = os_create_window(0, "GSTEST", "", OS_WS_POPUP | OS_WS_VISIBLE, 0, 0, 120, 60, 0, 0, 0);
        ASSERT_NE(win, 0);
        dc = os_get_dc(win);
    }
    void TearDown() override {
        os_release_dc(win, dc);
        os_destroy_window(win);
        while (os_clipboard_is_open()) os_close_clipboard();
    }
    int count(std::uint32_t colour, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (os_get_pixel(dc, x, y) == colour) ++n;
        return n;
    }
    static inline std::vector<std::int32_t> heard;
    OsWindow win = 0;
    OsDC dc = 0;
};

TEST_F(GridServicesTest, ExtTextOutClipsAndFills) {
    os_set_bk_mode(dc, OS_TRANSPARENT);
    os_set_text_color(dc, kRed);
    os_set_bk_color(dc, 0x00FF00);
    const OsRect box{10, 10, 30, 30};
    ASSERT_TRUE(os_ext_text_out(dc, 12, 12, OS_ETO_CLIPPED | OS_ETO_OPAQUE, &box, "WWWWWWWWWW"));
    EXPECT_EQ(count(kRed, 30, 0, 120, 60) + count(0x00FF00, 30, 0, 120, 60), 0);
    EXPECT_GT(count(kRed, 10, 10, 30, 30), 5);
    EXPECT_EQ(os_get_pixel(dc, 29, 29), 0x00FF00u);   // filled to its last pixel
    EXPECT_EQ(os_get_pixel(dc, 10, 10), 0x00FF00u);
    // The same text unclipped runs past the box; the clip region in force is kept after.
    ASSERT_TRUE(os_ext_text_out(dc, 12, 40, 0, &box, "WWWWWWWWWW"));
    EXPECT_GT(count(kRed, 30, 38, 120, 60), 5);
    OsRect clip;
    EXPECT_FALSE(os_get_clip_box(dc, clip));
}

TEST_F(GridServicesTest, ScrollingTakesTheChildrenAlong) {
    const OsWindow child = os_create_window(0, "EDIT", "x", OS_WS_CHILD | OS_WS_VISIBLE, 20, 20, 30, 12, win, 0, 1);
    ASSERT_TRUE(os_scroll_window_ex(win, -5, 7, OS_SW_SCROLLCHILDREN | OS_SW_INVALIDATE));
    OsRect r;
    os_get_window_rect(child, r);
    OsPoint p{r.left, r.top};
    os_screen_to_client(win, p);
    EXPECT_EQ(p.x, 15);
    EXPECT_EQ(p.y, 27);
    ASSERT_TRUE(os_scroll_window_ex(win, 0, -7, OS_SW_INVALIDATE));
    os_get_window_rect(child, r);
    p = {r.left, r.top};
    os_screen_to_client(win, p);
    EXPECT_EQ(p.y, 27);
    EXPECT_FALSE(os_scroll_window_ex(4711, 1, 1, 0));
}

TEST_F(GridServicesTest, ACheckBoxPaintsItselfIntoAMemoryBitmap) {
    const OsWindow box = os_create_window(0, "BUTTON", "", OS_WS_CHILD | OS_BS_AUTOCHECKBOX, -200, -200, 20, 16, win, 0, 2);
    const OsDC mem = os_create_compatible_dc(dc);
    const OsObject off = os_create_compatible_bitmap(dc, 20, 16), on = os_create_compatible_bitmap(dc, 20, 16);
    os_select_object(mem, off);
    ASSERT_TRUE(os_paint_window_into(box, mem));
    const std::uint32_t a = os_get_pixel(mem, 7, 8);
    os_send_message(box, BM_SETCHECK, BST_CHECKED, 0);
    os_select_object(mem, on);
    ASSERT_TRUE(os_paint_window_into(box, mem));
    int differ = 0;
    const OsDC other = os_create_compatible_dc(dc);
    os_select_object(other, off);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 20; ++x)
            if (os_get_pixel(mem, x, y) != os_get_pixel(other, x, y)) ++differ;
    EXPECT_GT(differ, 3);
    EXPECT_EQ(a, 0xFFFFFFu);   // inside the empty box
    // A window that draws through device contexts cannot.
    EXPECT_FALSE(os_paint_window_into(win, mem));
    os_delete_dc(other);
    os_delete_dc(mem);
}

TEST_F(GridServicesTest, WingdingsGivesTheCheckMarkAndTheCross) {
    EXPECT_EQ(os_wingdings_to_unicode(0xFC), U'\u2714');
    EXPECT_EQ(os_wingdings_to_unicode(0xFB), U'\u2718');
    EXPECT_EQ(os_wingdings_to_unicode('A'), 0u);
    OsLogFont lf;
    lf.height = -20;
    lf.charset = OS_SYMBOL_CHARSET;
    lf.face = "Wingdings";
    const OsObject wing = os_create_font(lf);
    lf.face = "Symbol";
    const OsObject symbol = os_create_font(lf);
    os_select_object(dc, wing);
    os_set_text_color(dc, kRed);
    os_set_bk_mode(dc, OS_TRANSPARENT);
    os_text_out(dc, 2, 2, "\xFC");
    EXPECT_GT(count(kRed, 0, 0, 40, 40), 10);
    // Another glyph than the Symbol face's character at that code.
    os_select_object(dc, symbol);
    os_text_out(dc, 60, 2, "\xFC");
    int differ = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            if ((os_get_pixel(dc, x + 2, y) == kRed) != (os_get_pixel(dc, x + 60, y) == kRed)) ++differ;
    EXPECT_GT(differ, 10);
}

TEST_F(GridServicesTest, EditLayoutUndoAndClipboardCommands) {
    const OsWindow e = os_create_window(0, "EDIT", "", OS_WS_CHILD | OS_WS_VISIBLE | OS_ES_RIGHT, 0, 0, 100, 20, win, 0, 3);
    os_set_window_text(e, "abc");
    OsRect fmt;
    os_send_message(e, EM_GETRECT, 0, reinterpret_cast<std::intptr_t>(&fmt));
    EXPECT_EQ(fmt.left, 3);
    EXPECT_EQ(fmt.right, 97);
    const auto p0 = os_send_message(e, EM_POSFROMCHAR, 0, 0), p3 = os_send_message(e, EM_POSFROMCHAR, 3, 0);
    EXPECT_GT(os_loword(static_cast<std::uintptr_t>(p0)), 50);   // right-aligned
    EXPECT_EQ(os_loword(static_cast<std::uintptr_t>(p3)), fmt.right - 1);   // ends at the last pixel
    EXPECT_EQ(os_send_message(e, EM_POSFROMCHAR, 4, 0), -1);
    // Copy and paste go through the clipboard's text; undo takes back one change.
    os_send_message(e, EM_SETSEL, 1, 3);
    os_send_message(e, OSM_COPY, 0, 0);
    EXPECT_EQ(os_get_clipboard_text().value_or(""), "bc");
    EXPECT_EQ(os_send_message(e, EM_CANUNDO, 0, 0), 0);
    os_send_message(e, EM_SETSEL, 0, 0);
    os_send_message(e, OSM_PASTE, 0, 0);
    EXPECT_EQ(os_get_window_text(e), "bcabc");
    EXPECT_EQ(os_send_message(e, EM_CANUNDO, 0, 0), 1);
    os_send_message(e, EM_UNDO, 0, 0);
    EXPECT_EQ(os_get_window_text(e), "abc");
    os_send_message(e, EM_SETSEL, 0, 1);
    os_send_message(e, OSM_CUT, 0, 0);
    EXPECT_EQ(os_get_window_text(e), "bc");
    EXPECT_EQ(os_get_clipboard_text().value_or(""), "a");
    os_send_message(e, EM_SETSEL, 0, -1);
    os_send_message(e, OSM_CLEAR, 0, 0);
    EXPECT_EQ(os_get_window_text(e), "");
    // Ctrl+V and Ctrl+Z typed.
    os_clipboard_foreign_text("xy");
    os_send_message(e, OSM_CHAR, 22, 0);
    EXPECT_EQ(os_get_window_text(e), "xy");
    os_send_message(e, OSM_CHAR, 26, 0);
    EXPECT_EQ(os_get_window_text(e), "");
    // Text from another program: characters 1252 lacks become "?".
    os_clipboard_foreign_text("\xE2\x82\xAC \xCE\xA9");
    EXPECT_EQ(os_get_clipboard_text().value_or(""), "\x80 ?");
}

TEST_F(GridServicesTest, ARightClickAsksForAContextMenuUpTheParents) {
    const OsWindow e = os_create_window(0, "EDIT", "", OS_WS_CHILD | OS_WS_VISIBLE, 10, 10, 60, 20, win, 0, 3);
    os_input_mouse(e, OS_MOUSE_PRESS, 3, 5, 5);
    os_input_mouse(e, OS_MOUSE_RELEASE, 3, 5, 5);
    OsMsg m;
    while (os_peek_message(m, 0, 0, 0, OS_PM_REMOVE)) os_dispatch_message(m);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0], e);
}

}  // namespace
