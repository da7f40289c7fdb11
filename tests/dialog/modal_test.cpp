#include "tests/dialog/dialog_fixture.h"

#include <functional>
#include <vector>

#include "platform/os_dc.h"
#include "platform/os_gdi.h"

namespace {

class ModalTest : public DialogTest {
protected:
    // Steps the user takes in the modal copy, one each time its loop waits.
    void script(std::vector<std::function<void(OsWindow)>> steps) {
        steps_ = std::move(steps);
        at_ = 0;
        os_dialog_set_script([this](OsWindow copy) {
            if (at_ < steps_.size()) steps_[at_++](copy);
        });
    }
    static void press(std::int32_t vk, std::uint32_t mods = 0) { os_input_key(os_get_focus(), vk, mods); }
    static void typing(const std::string& s) {
        for (char c : s) os_input_key(os_get_focus(), c, 0, std::string(1, c));
    }
    std::vector<std::function<void(OsWindow)>> steps_;
    std::size_t at_ = 0;
};

TEST_F(ModalTest, ExitsCopyTheFieldsBackAndTellHowTheyEnded) {
    struct Case {
        const char* what;
        std::function<void(OsWindow)> end;
        int exit_button;
        int exit_field;
    };
    const Case cases[] = {
        {"Cancel clicked", [](OsWindow c) { os_input_mouse(os_get_dlg_item(c, 2), OS_MOUSE_PRESS, 1, 3, 3);
                                             os_input_mouse(os_get_dlg_item(c, 2), OS_MOUSE_RELEASE, 1, 3, 3); },
         2, 0},  // the click took the focus to the button: the exit field stays as it was
        {"Escape", [](OsWindow) { press(OS_VK_ESCAPE); }, 2, 7202},
        {"Enter", [](OsWindow) { press(OS_VK_RETURN); }, 1, 7202},
    };
    WDialogLoad(702);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        os_set_window_text(item(7202), "");
        script({[](OsWindow copy) { os_set_focus(os_get_dlg_item(copy, 7202)); typing("42"); }, c.end});
        WDialogShow(-1, -1, 7202, 1);
        EXPECT_EQ(infoerror(1), 0);
        EXPECT_EQ(text(item(7202)), "42");   // typed values are in the loaded dialog whatever ended it
        EXPECT_EQ(dialog_state.exit_button, c.exit_button);
        EXPECT_EQ(dialog_state.exit_field, c.exit_field);
        EXPECT_EQ(dialog_state.last_modal, 702);
        EXPECT_EQ(record().item[DlgCurrentField], c.exit_button);
        EXPECT_EQ(record().item[DlgPreviousField], c.exit_field);
        EXPECT_EQ(dlgtab.hDialogList[0], 0);
        EXPECT_FALSE(os_is_window_visible(dlg()));
        EXPECT_EQ(wtab.wBlitOn, 0);
        EXPECT_TRUE(os_is_window_enabled(wtab.wWindow[0]));
    }
}

TEST_F(ModalTest, AMultipleSelectionListKeepsItsSelection) {
    WDialogLoad(702);
    const OsHandle list = item(7201);
    os_send_message(list, LB_SETSEL, 1, 1);
    os_send_message(list, LB_SETSEL, 1, 3);
    bool seen = false;
    script({[&seen](OsWindow copy) {
                const OsHandle l = os_get_dlg_item(copy, 7201);
                seen = os_send_message(l, LB_GETSEL, 1, 0) > 0 && os_send_message(l, LB_GETSEL, 3, 0) > 0 &&
                       os_send_message(l, LB_GETSEL, 0, 0) == 0;
                // The user adds the first item.
                os_input_mouse(l, OS_MOUSE_PRESS, 1, 5, 2);
                os_input_mouse(l, OS_MOUSE_RELEASE, 1, 5, 2);
            },
            [](OsWindow) { press(OS_VK_RETURN); }});
    WDialogShow(-1, -1, 0, 1);
    EXPECT_TRUE(seen);
    EXPECT_EQ(os_send_message(list, LB_GETSEL, 0, 0), 1);
    EXPECT_EQ(os_send_message(list, LB_GETSEL, 1, 0), 1);
    EXPECT_EQ(os_send_message(list, LB_GETSEL, 2, 0), 0);
    EXPECT_EQ(os_send_message(list, LB_GETSEL, 3, 0), 1);
}

TEST_F(ModalTest, OnlyTheSemiModelessDialogIsEnabledAfterwards) {
    WDialogLoad(705);
    WDialogShow(-1, -1, 0, 3);
    const OsHandle semi = dlg();
    WDialogLoad(700);
    WDialogShow(-1, -1, 0, 2);   // becomes semi-modeless too
    EXPECT_EQ(infoerror(1), 1014);
    const OsHandle other = dlg();
    WDialogLoad(702);
    script({[](OsWindow) { press(OS_VK_ESCAPE); }});
    WDialogShow(-1, -1, 0, 1);
    EXPECT_EQ(dialog_state.exit_button, 2);
    EXPECT_TRUE(os_is_window_enabled(other));   // the last semi-modeless one
    EXPECT_FALSE(os_is_window_enabled(semi));
    EXPECT_FALSE(os_is_window_enabled(wtab.wWindow[0]));
    // Hiding the semi-modeless dialogs enables everything again.
    WDialogSelect(700);
    WDialogHide();
    WDialogSelect(705);
    WDialogHide();
    EXPECT_EQ(dlgtab.nSemi, 0);
    EXPECT_TRUE(os_is_window_enabled(wtab.wWindow[0]));
}

TEST_F(ModalTest, AWindowRepaintsFromItsSnapshotWithoutAnExpose) {
    const OsHandle client = wtab.hClient[0];
    os_surface_fill(client, {0, 0, 50, 50}, 0x0000FF);
    wmessageenable(MsgExpose, 1);
    settle();
    WDialogLoad(702);
    bool painted_while_up = false;
    script({[&](OsWindow) {
                // Something spoils the window while the dialog is up.
                os_surface_fill(client, {0, 0, 50, 50}, 0x00FF00);
                os_invalidate_rect(client, nullptr, true);
            },
            [&](OsWindow) {
                painted_while_up = os_surface_pixel(client, 10, 10) == 0x0000FF;
                press(OS_VK_ESCAPE);
            }});
    WDialogShow(-1, -1, 0, 1);
    EXPECT_TRUE(painted_while_up);
    EXPECT_EQ(os_surface_pixel(client, 10, 10), 0x0000FF);
    for (const std::string& s : messages()) EXPECT_NE(s.substr(0, 2), "7:");
    EXPECT_EQ(wtab.hImage[0], 0);
}

TEST_F(ModalTest, SnapshotsNest) {
    std::int32_t status = -1;
    yygetwindowbitmap(1, -1, status);
    EXPECT_EQ(status, 0);
    const OsHandle first = wtab.hImage[0];
    ASSERT_NE(first, 0);
    yygetwindowbitmap(1, -1, status);
    EXPECT_EQ(wtab.hImage[0], first);
    EXPECT_EQ(wtab.nImage[0], 2);
    yygetwindowbitmap(0, -1, status);
    EXPECT_EQ(wtab.hImage[0], first);
    EXPECT_EQ(wtab.wBlitOn, 1);
    yygetwindowbitmap(0, -1, status);
    EXPECT_EQ(wtab.hImage[0], 0);
    EXPECT_EQ(wtab.nImage[0], 0);
    EXPECT_EQ(wtab.wBlitOn, 0);
    // A window left out keeps no picture.
    yygetwindowbitmap(1, 0, status);
    EXPECT_EQ(wtab.hImage[0], 0);
    yygetwindowbitmap(0, 0, status);
}

TEST_F(ModalTest, ADialogLoadedUnderAnIdOfItsOwnShowsItsOwnTemplate) {
    WDialogLoad(702, 7777);
    os_send_message(item(7201), LB_SETSEL, 1, 2);
    OsWindow seen = 0;
    script({[&seen](OsWindow copy) {
        seen = os_get_dlg_item(copy, 7201);
        press(OS_VK_RETURN);
    }});
    WDialogShow(-1, -1, 0, 1);
    EXPECT_NE(seen, 0);
    EXPECT_EQ(dialog_state.exit_button, 1);
    EXPECT_EQ(dialog_state.last_modal, 7777);
    EXPECT_EQ(os_send_message(item(7201), LB_GETSEL, 2, 0), 1);
}

TEST_F(ModalTest, ACopyTakesTheTrackbarAndComboBoxOverWithoutTicks) {
    WDialogLoad(703);
    const OsHandle t = item(7306);
    os_set_style(t, os_get_style(t) | OS_TBS_NOTICKS);   // reports no ticks at all
    os_send_message(t, TBM_SETRANGE, 0, os_make_lparam(0, 20));
    os_send_message(t, TBM_SETPOS, 1, 7);
    os_send_message(item(7303), CB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>("one"));
    os_send_message(item(7303), CB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>("two"));
    os_send_message(item(7303), CB_SETCURSEL, 1, 0);
    std::intptr_t pos = -1, max = -1, sel = -1;
    script({[&](OsWindow copy) {
        pos = os_send_message(os_get_dlg_item(copy, 7306), TBM_GETPOS, 0, 0);
        max = os_send_message(os_get_dlg_item(copy, 7306), TBM_GETRANGEMAX, 0, 0);
        sel = os_send_message(os_get_dlg_item(copy, 7303), CB_GETCURSEL, 0, 0);
        press(OS_VK_ESCAPE);
    }});
    WDialogShow(-1, -1, 0, 1);
    EXPECT_EQ(pos, 7);
    EXPECT_EQ(max, 20);
    EXPECT_EQ(sel, 1);
    EXPECT_EQ(dialog_state.exit_button, 2);
}

TEST_F(ModalTest, NobodyToAnswerCancels) {
    // Offscreen with no script: the modal loop cannot wait for a user.
    WDialogLoad(702);
    WDialogShow(-1, -1, 0, 1);
    EXPECT_EQ(dialog_state.exit_button, 2);
    EXPECT_EQ(dlgtab.hDialogList[0], 0);
}

}  // namespace
