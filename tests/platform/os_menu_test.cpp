#include "platform/os_menu.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/os_app.h"
#include "platform/os_stdimages.h"

namespace {

std::vector<std::uint32_t> seen;
std::intptr_t recorder(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    if (m == OSM_ENTERMENULOOP || m == OSM_MENUSELECT || m == OSM_EXITMENULOOP || m == OSM_COMMAND ||
        m == OSM_INITMENUPOPUP)
        seen.push_back(m);
    return os_def_window_proc(w, m, wp, lp);
}

class OsMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        os_app_gui();
        os_window_reset();
        os_menu_set_responder({});
        seen.clear();
        if (!os_class_atom("MENUTESTFRAME")) {
            OsWndClass c;
            c.name = "MENUTESTFRAME";
            c.proc = recorder;
            os_register_class(c);
        }
    }
};

TEST_F(OsMenuTest, ModelByCommandAndPosition) {
    const OsMenu m = os_load_menu(902);
    ASSERT_NE(m, 0);
    EXPECT_EQ(os_menu_item_count(m), 3);
    const OsMenu file = os_get_sub_menu(m, 0);
    EXPECT_EQ(os_get_menu_item_id(file, 0), 40001);
    EXPECT_EQ(os_get_menu_item_id(file, 1), 0);  // separator
    EXPECT_EQ(os_get_menu_state(m, 40002, OS_MF_BYCOMMAND), static_cast<std::int32_t>(OS_MF_GRAYED));
    EXPECT_EQ(os_enable_menu_item(m, 40002, OS_MF_ENABLED), static_cast<std::int32_t>(OS_MF_GRAYED));
    EXPECT_EQ(os_get_menu_state(m, 40002, OS_MF_BYCOMMAND), 0);
    EXPECT_EQ(os_check_menu_item(m, 40004, OS_MF_CHECKED), 0);  // found deep inside View/Zoom
    EXPECT_EQ(os_get_menu_state(m, 40004, OS_MF_BYCOMMAND), static_cast<std::int32_t>(OS_MF_CHECKED));
    EXPECT_EQ(os_get_menu_state(m, 49999, OS_MF_BYCOMMAND), -1);
    EXPECT_TRUE(os_insert_menu_item(file, 99, 40009, "End"));
    EXPECT_EQ(os_get_menu_item_id(file, 3), 40009);
    const OsMenu view = os_get_sub_menu(m, 1);
    EXPECT_TRUE(os_delete_menu_item(m, 1, OS_MF_BYPOSITION));
    EXPECT_FALSE(os_is_menu(view));
    EXPECT_TRUE(os_destroy_menu(m));
    EXPECT_FALSE(os_is_menu(file));
    EXPECT_EQ(os_load_menu(999), 0);
}

TEST_F(OsMenuTest, AcceleratorsByKeyAndModifiers) {
    const OsWindow f = os_create_window(0, "MENUTESTFRAME", "", OS_WS_CAPTION, 0, 0, 100, 100, 0, 0, 0);
    const OsAccel a = os_load_accelerators(902);
    ASSERT_NE(a, 0);
    OsMsg m;
    m.hwnd = f;
    m.message = OSM_KEYDOWN;
    m.wParam = 'O';
    EXPECT_FALSE(os_translate_accelerator(f, a, m));  // needs Ctrl
    m.keystate = OS_KS_CONTROL;
    EXPECT_TRUE(os_translate_accelerator(f, a, m));
    m.message = OSM_CHAR;
    m.wParam = 'x';
    m.keystate = 0;
    EXPECT_TRUE(os_translate_accelerator(f, a, m));
    m.wParam = 'X';
    EXPECT_FALSE(os_translate_accelerator(f, a, m));
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{OSM_COMMAND, OSM_COMMAND}));
    EXPECT_EQ(os_load_accelerators(999), 0);
}

TEST_F(OsMenuTest, TrackingTellsTheOwnerAndPostsTheChoice) {
    const OsWindow f = os_create_window(0, "MENUTESTFRAME", "", OS_WS_CAPTION, 0, 0, 100, 100, 0, 0, 0);
    const OsMenu m = os_load_menu(902);
    os_set_menu(f, m);
    os_input_menu(f, {{1, 1, 0}, true});  // View, Zoom, In
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{OSM_ENTERMENULOOP, OSM_MENUSELECT, OSM_INITMENUPOPUP, OSM_MENUSELECT,
                                                OSM_INITMENUPOPUP, OSM_MENUSELECT, OSM_MENUSELECT, OSM_EXITMENULOOP}));
    OsMsg msg;
    ASSERT_TRUE(os_peek_message(msg, 0, 0, 0, OS_PM_REMOVE));
    EXPECT_EQ(msg.message, OSM_COMMAND);
    EXPECT_EQ(msg.wParam, 40004u);
    // A greyed item cannot be chosen; without a responder nothing is picked offscreen.
    os_input_menu(f, {{0, 2}, true});
    EXPECT_FALSE(os_peek_message(msg, 0, 0, 0, OS_PM_REMOVE));
    EXPECT_EQ(os_track_popup_menu(os_get_sub_menu(m, 0), 0, 0, f), 0);
    os_menu_set_responder([](OsMenu) { return OsMenuChoice{{0}, true}; });
    EXPECT_EQ(os_track_popup_menu(os_get_sub_menu(m, 0), 0, 0, f), 40001);
}

TEST_F(OsMenuTest, StatusBarSimpleMode) {
    const OsWindow f = os_create_window(0, "MENUTESTFRAME", "", OS_WS_CAPTION, 0, 0, 200, 100, 0, 0, 0);
    const OsWindow sb = os_create_window(0, "msctls_statusbar32", "", OS_WS_CHILD | OS_WS_VISIBLE, 0, 0, 200, 20, f, 0, 1);
    os_send_message(sb, OSM_SB_SETTEXT, 0, reinterpret_cast<std::intptr_t>("part"));
    os_send_message(sb, OSM_SB_SETTEXT, OS_SB_SIMPLEID | OS_SBT_NOBORDERS, reinterpret_cast<std::intptr_t>("simple"));
    EXPECT_EQ(os_send_message(sb, OSM_SB_ISSIMPLE, 0, 0), 0);
    os_send_message(sb, OSM_SB_SIMPLE, 1, 0);
    EXPECT_EQ(os_send_message(sb, OSM_SB_ISSIMPLE, 0, 0), 1);
    char buf[32] = {};
    const auto r = os_send_message(sb, OSM_SB_GETTEXT, OS_SB_SIMPLEID, reinterpret_cast<std::intptr_t>(buf));
    EXPECT_STREQ(buf, "simple");
    EXPECT_EQ(static_cast<std::uint32_t>(r) >> 16, OS_SBT_NOBORDERS);
    os_send_message(sb, OSM_SB_GETTEXT, 0, reinterpret_cast<std::intptr_t>(buf));
    EXPECT_STREQ(buf, "part");
}

TEST_F(OsMenuTest, ToolBarButtonsAndImages) {
    const OsWindow f = os_create_window(0, "MENUTESTFRAME", "", OS_WS_CAPTION, 0, 0, 200, 100, 0, 0, 0);
    const OsWindow tb = os_create_window(0, "ToolbarWindow32", "", OS_WS_CHILD | OS_WS_VISIBLE, 0, 0, 200, 28, f, 0, 905);
    const OsTbAddBitmap add{1, 907};
    EXPECT_EQ(os_send_message(tb, OSM_TB_ADDBITMAP, 2, reinterpret_cast<std::intptr_t>(&add)), 0);
    const OsTbAddBitmap missing{1, 999};
    EXPECT_EQ(os_send_message(tb, OSM_TB_ADDBITMAP, 2, reinterpret_cast<std::intptr_t>(&missing)), -1);
    const OsTbButton b[3] = {{0, 7, OS_TBSTATE_ENABLED, 0}, {0, 0, 0, OS_TBSTYLE_SEP}, {1, 8, 0, OS_TBSTYLE_CHECK}};
    os_send_message(tb, OSM_TB_ADDBUTTONS, 3, reinterpret_cast<std::intptr_t>(b));
    EXPECT_EQ(os_send_message(tb, OSM_TB_COMMANDTOINDEX, 8, 0), 2);
    EXPECT_EQ(os_send_message(tb, OSM_TB_COMMANDTOINDEX, 0, 0), -1);  // separators have no command
    EXPECT_EQ(os_send_message(tb, OSM_TB_ISBUTTONENABLED, 8, 0), 0);
    EXPECT_EQ(os_send_message(tb, OSM_TB_ENABLEBUTTON, 8, 1), 1);
    EXPECT_EQ(os_send_message(tb, OSM_TB_ENABLEBUTTON, 9, 1), 0);
    // A click on a check button toggles it and tells the parent.
    os_input_toolbar_click(tb, 2);
    OsMsg m;
    while (os_peek_message(m, 0, 0, 0, OS_PM_REMOVE)) os_dispatch_message(m);
    EXPECT_EQ(os_send_message(tb, OSM_TB_ISBUTTONCHECKED, 8, 0), 1);
    EXPECT_EQ(seen, std::vector<std::uint32_t>{OSM_COMMAND});
    // Without the tooltip style the bar has no tooltip control.
    EXPECT_EQ(os_send_message(tb, OSM_TB_GETTOOLTIPS, 0, 0), 0);
    EXPECT_EQ(os_input_tooltip(tb, 0), "");
}

TEST_F(OsMenuTest, StandardSmallImagesComeFromTheLibrarysStrip) {
    const OsWindow f = os_create_window(0, "MENUTESTFRAME", "", OS_WS_CAPTION, 0, 0, 260, 100, 0, 0, 0);
    const OsWindow tb = os_create_window(0, "ToolbarWindow32", "", OS_WS_CHILD | OS_WS_VISIBLE, 0, 0, 260, 28, f, 0, 905);
    os_send_message(tb, OSM_TB_SETBITMAPSIZE, 0, os_make_lparam(16, 15));
    os_send_message(tb, OSM_TB_SETBUTTONSIZE, 0, os_make_lparam(22, 21));
    // The standard strip brings all its images whatever count is asked, so a
    // bitmap added after it starts behind them.
    const OsTbAddBitmap std_small{OS_HINST_COMMCTRL, OS_IDB_STD_SMALL_COLOR};
    EXPECT_EQ(os_send_message(tb, OSM_TB_ADDBITMAP, 11, reinterpret_cast<std::intptr_t>(&std_small)), 0);
    const OsTbAddBitmap own{1, 907};
    EXPECT_EQ(os_send_message(tb, OSM_TB_ADDBITMAP, 2, reinterpret_cast<std::intptr_t>(&own)), OS_STD_IMAGE_COUNT);
    const OsTbAddBitmap other{OS_HINST_COMMCTRL, 1};   // a standard set we do not have
    EXPECT_EQ(os_send_message(tb, OSM_TB_ADDBITMAP, 11, reinterpret_cast<std::intptr_t>(&other)), -1);
    std::vector<OsTbButton> b;
    for (std::int32_t image : {OS_STD_FILENEW, OS_STD_FILEOPEN, OS_STD_FILESAVE, OS_STD_PRINT, OS_STD_FIND, OS_STD_CUT,
                               OS_STD_COPY, OS_STD_PASTE, OS_STD_UNDO, OS_STD_REDOW})
        b.push_back({image, 100 + image, OS_TBSTATE_ENABLED, 0});
    os_send_message(tb, OSM_TB_ADDBUTTONS, b.size(), reinterpret_cast<std::intptr_t>(b.data()));
    os_show_window(f, OS_SW_SHOW);
    const std::string png = ::testing::TempDir() + "std_small_bar.png";
    ASSERT_TRUE(os_grab_window_png(f, png));
    // The picture, read by ImageMagick as plain PPM.
    const std::string ppm = png + ".ppm";
    if (std::system(("convert '" + png + "' -compress none 'ppm:" + ppm + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "ImageMagick convert is not installed";
    std::ifstream in(ppm);
    std::string magic;
    int w = 0, h = 0, maxval = 0;
    in >> magic >> w >> h >> maxval;
    ASSERT_EQ(magic, "P3");
    std::vector<int> px(static_cast<std::size_t>(w * h * 3));
    for (int& v : px) in >> v;
    // Where the bar lies in the frame: its top-left corner in frame pixels.
    OsPoint at{0, 0}, origin{0, 0};
    os_client_to_screen(tb, at);
    os_client_to_screen(f, origin);
    const int bx = at.x - origin.x, by = at.y - origin.y;
    // Every button shows a picture: dark pixels inside each 22-pixel box.
    for (std::size_t i = 0; i < b.size(); ++i) {
        int dark = 0;
        for (int y = by + 3; y < by + 24 && y < h; ++y)
            for (int x = bx + 3 + 22 * static_cast<int>(i); x < bx + 25 + 22 * static_cast<int>(i) && x < w; ++x) {
                const std::size_t k = static_cast<std::size_t>((y * w + x) * 3);
                if (px[k] + px[k + 1] + px[k + 2] < 200) ++dark;
            }
        EXPECT_GT(dark, 10) << "button " << i;
    }
}

}  // namespace
