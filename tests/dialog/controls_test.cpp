#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os_dialog.h"
#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

namespace {

// What the dialog heard: "command id code", "scroll code pos", "notify id code".
std::vector<std::string> heard;
int refuse_spin = 0;

std::intptr_t recorder(OsWindow, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    if (m == OSM_COMMAND) heard.push_back("command " + std::to_string(os_loword(wp)) + " " + std::to_string(os_hiword(wp)));
    if (m == OSM_HSCROLL || m == OSM_VSCROLL)
        heard.push_back("scroll " + std::to_string(os_loword(wp)) + " " + std::to_string(os_hiword(wp)));
    if (m == OSM_NOTIFY) {
        const auto* h = reinterpret_cast<const OsNotifyHeader*>(lp);
        heard.push_back("notify " + std::to_string(h->id) + " " + std::to_string(h->code));
        if (h->code == OS_UDN_DELTAPOS) {
            auto* n = reinterpret_cast<OsUpDownNotify*>(lp);
            if (refuse_spin) return 1;
            n->delta *= 2;  // the parent may change the step
        }
    }
    return 0;
}

class ControlsTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        heard.clear();
        refuse_spin = 0;
        dlg = os_create_dialog(709, 0, recorder, 0);
        ASSERT_NE(dlg, 0);
        os_show_window(dlg, OS_SW_SHOWNORMAL);
    }
    void TearDown() override { os_destroy_window(dlg); }
    OsWindow item(int id) const { return os_get_dlg_item(dlg, id); }
    // Input through the dialog keyboard, as a modeless dialog's fetch does it.
    void run() {
        OsMsg m;
        while (os_peek_message(m, 0, 0, 0, OS_PM_REMOVE))
            if (!os_is_dialog_message(dlg, m)) {
                os_translate_message(m);
                os_dispatch_message(m);
            }
    }
    void key(OsWindow w, std::int32_t vk, std::uint32_t mods = 0, std::string text = {}) {
        os_set_focus(w);
        os_input_key(w, vk, mods, text);
        run();
    }
    OsWindow dlg = 0;
};

TEST_F(ControlsTest, UpDownAsksItsParentAndShowsTheValueInItsBuddy) {
    const OsWindow ud = item(7902);
    EXPECT_EQ(os_send_message(ud, UDM_GETBUDDY, 0, 0), item(7901));
    os_send_message(ud, UDM_SETRANGE, 0, os_make_lparam(10, 0));
    os_send_message(ud, UDM_SETPOS, 0, 5);
    key(ud, OS_VK_UP);
    EXPECT_EQ(os_send_message(ud, UDM_GETPOS, 0, 0), 7);   // the parent doubled the step
    EXPECT_EQ(os_get_window_text(item(7901)), "7");
    // Asked first; then the buddy's text changes and the move and its end are told.
    const std::vector<std::string> want{"notify 7902 " + std::to_string(OS_UDN_DELTAPOS),
                                        "command 7901 " + std::to_string(EN_CHANGE), "scroll 4 7", "scroll 8 0"};
    EXPECT_EQ(heard, want);
    refuse_spin = 1;
    key(ud, OS_VK_UP);
    EXPECT_EQ(os_send_message(ud, UDM_GETPOS, 0, 0), 7);
    refuse_spin = 0;
    for (int i = 0; i < 5; ++i) key(ud, OS_VK_UP);
    EXPECT_EQ(os_send_message(ud, UDM_GETPOS, 0, 0), 10);  // held at the range
}

TEST_F(ControlsTest, ExtendedListSelectsWithShiftAndCtrl) {
    const OsWindow l = item(7903);
    for (const char* s : {"a", "b", "c", "d"}) os_send_message(l, LB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>(s));
    const auto h = static_cast<int>(os_send_message(l, LB_GETITEMHEIGHT, 0, 0));
    auto click = [&](int row, std::uint32_t mods) {
        os_input_mouse(l, OS_MOUSE_PRESS, 1, 5, row * h + 2, mods);
        os_input_mouse(l, OS_MOUSE_RELEASE, 1, 5, row * h + 2, mods);
        run();
    };
    click(0, 0);
    click(2, OS_IN_SHIFT);
    EXPECT_EQ(os_send_message(l, LB_GETSELCOUNT, 0, 0), 3);
    click(1, OS_IN_CONTROL);
    EXPECT_EQ(os_send_message(l, LB_GETSEL, 1, 0), 0);
    EXPECT_EQ(os_send_message(l, LB_GETSELCOUNT, 0, 0), 2);
    EXPECT_EQ(os_send_message(l, LB_SETCURSEL, 0, 0), OS_LB_ERR);  // not for several selections
    EXPECT_EQ(heard.back(), "command 7903 " + std::to_string(LBN_SELCHANGE));
}

TEST_F(ControlsTest, EditLimitReadOnlyModifiedAndWantReturn) {
    const OsWindow e = item(7905);
    os_send_message(e, EM_LIMITTEXT, 3, 0);
    key(e, 'A', 0, "a");
    key(e, OS_VK_RETURN, 0, "\r");   // wants Enter: a line break, no button
    key(e, 'B', 0, "b");
    key(e, 'C', 0, "c");
    EXPECT_EQ(os_get_window_text(e), "a\r\n");
    EXPECT_EQ(os_send_message(e, EM_GETMODIFY, 0, 0), 1);
    for (const std::string& s : heard) EXPECT_NE(s, "command 1 0");
    os_send_message(e, EM_SETREADONLY, 1, 0);
    os_send_message(e, EM_LIMITTEXT, 0, 0);
    key(e, 'D', 0, "d");
    EXPECT_EQ(os_get_window_text(e), "a\r\n");
    // A single-line field leaves Enter to the dialog: its default button.
    heard.clear();
    key(item(7901), OS_VK_RETURN, 0, "\r");
    EXPECT_EQ(heard.back(), "command 1 0");
    EXPECT_EQ(os_get_window_text(item(7901)), "5");
}

TEST_F(ControlsTest, TrackbarKeysAndTicksComboListAndThreeStates) {
    const OsWindow t = item(7904);
    os_send_message(t, TBM_SETRANGE, 0, os_make_lparam(0, 10));
    os_send_message(t, TBM_SETTICFREQ, 5, 0);
    EXPECT_EQ(os_send_message(t, TBM_GETNUMTICS, 0, 0), 3);
    os_send_message(t, TBM_SETPAGESIZE, 0, 4);
    key(t, OS_VK_NEXT);
    EXPECT_EQ(os_send_message(t, TBM_GETPOS, 0, 0), 4);
    EXPECT_EQ(heard[heard.size() - 2], "scroll 3 4");
    EXPECT_EQ(heard.back(), "scroll 8 0");
    const OsWindow c = item(7906);
    for (const char* s : {"x", "y"}) os_send_message(c, CB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>(s));
    key(c, OS_VK_DOWN);
    key(c, OS_VK_DOWN);
    EXPECT_EQ(os_send_message(c, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(os_get_window_text(c), "y");
    EXPECT_EQ(heard.back(), "command 7906 " + std::to_string(CBN_SELCHANGE));
    const OsWindow b = item(7907);
    for (int want : {1, 2, 0}) {
        key(b, OS_VK_SPACE, 0, " ");
        EXPECT_EQ(os_send_message(b, BM_GETCHECK, 0, 0), want);
    }
    EXPECT_EQ(os_send_message(dlg, DM_GETDEFID, 0, 0), os_make_lparam(1, DC_HASDEFID));
}

}  // namespace
