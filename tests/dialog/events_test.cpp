#include "tests/dialog/dialog_fixture.h"

namespace {

class EventsTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        wmessageenable(MsgFieldChanged, 1);
        ASSERT_EQ(load_show(700), 0);
        settle();
    }
};

TEST_F(EventsTest, KeysOfTheDialogBecomePushButtons) {
    struct Case {
        const char* what;
        std::int32_t vk;
        std::uint32_t mods;
        std::int32_t button;
    } const cases[] = {
        {"Escape without a control 2", OS_VK_ESCAPE, 0, 2},
        {"F1 asks for help", OS_VK_F1, 0, 9},
        {"Enter presses the default button", OS_VK_RETURN, 0, 1},
        {"Alt and a mnemonic press its button", 'O', OS_IN_ALT, 7005},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        os_set_focus(item(7001));
        settle();
        key(c.vk, c.mods);
        WindowMessage m;
        ASSERT_EQ(next(m), MsgPushButton);
        EXPECT_EQ(m.WIN, 700);
        EXPECT_EQ(m.VALUE1, c.button);
        EXPECT_EQ(m.VALUE3, -1);
        EXPECT_TRUE(os_is_window_visible(dlg()));  // a modeless dialog stays up
    }
    // The close box answers as Escape (it arrives while a fetch waits).
    wmsg.wMessageType = 0;
    wmsg.wValidMessage = 1;
    os_input_close(dlg());
    WindowMessage c;
    ASSERT_EQ(next(c), MsgPushButton);
    EXPECT_EQ(c.VALUE1, 2);
}

TEST_F(EventsTest, TabMovesTheFocusAndTellsOldAndNewField) {
    os_set_focus(item(7001));
    settle();
    key(OS_VK_TAB);
    WindowMessage m;
    ASSERT_EQ(next(m), MsgFieldChanged);
    EXPECT_EQ(os_get_focus(), item(7002));
    EXPECT_EQ(m.WIN, 700);
    EXPECT_EQ(m.VALUE1, 7001);
    EXPECT_EQ(m.VALUE2, 7002);
    key(OS_VK_TAB, OS_IN_SHIFT);
    settle();
    EXPECT_EQ(os_get_focus(), item(7001));
    // Alt and the label's mnemonic puts the focus on the field after the label.
    os_set_focus(item(7003));
    key('N', OS_IN_ALT);
    settle();
    EXPECT_EQ(os_get_focus(), item(7001));
}

TEST_F(EventsTest, TypingPostsNothingAndFillsTheField) {
    os_set_focus(item(7002));
    settle();
    type("12.5");
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(text(item(7002)), "12.5");
    // Unless the field asks for its changes.
    yyfieldrecord(item(7002))->report_changes = 1;
    type("0");
    WindowMessage m;
    ASSERT_EQ(next(m), MsgFieldChanged);
    EXPECT_EQ(m.VALUE2, 7002);
}

TEST_F(EventsTest, ListDoubleClickPressesTheDefaultButtonUnlessItsFlagSaysNo) {
    const OsHandle list = item(7003);
    click(list, 10, 3, true);
    std::vector<std::string> got = messages();
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back().substr(0, 4), "3:1:");
    yyfieldrecord(list)->flags = 2;
    click(list, 10, 3, true);
    for (const std::string& s : messages()) EXPECT_NE(s.substr(0, 2), "3:");
}

TEST_F(EventsTest, ArrowsMoveWithinARadioGroup) {
    click(item(7006));
    settle();
    EXPECT_EQ(os_send_message(item(7006), BM_GETCHECK, 0, 0), 1);
    key(OS_VK_DOWN);
    settle();
    EXPECT_EQ(os_get_focus(), item(7007));
    EXPECT_EQ(os_send_message(item(7007), BM_GETCHECK, 0, 0), 1);
    EXPECT_EQ(os_send_message(item(7006), BM_GETCHECK, 0, 0), 0);
    key(OS_VK_UP);
    settle();
    key(OS_VK_UP);  // wraps within the group
    settle();
    EXPECT_EQ(os_get_focus(), item(7008));
}

TEST_F(EventsTest, ASubclassSeesInputBeforeTheControl) {
    // A subclass that swallows the digit 7 and turns a into b.
    static OsWndProc previous = nullptr;
    previous = os_set_window_proc(item(7001), [](OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
        if (m == OSM_CHAR && wp == '7') return std::intptr_t{0};
        if (m == OSM_CHAR && wp == 'a') wp = 'b';
        return previous(w, m, wp, lp);
    });
    os_set_focus(item(7001));
    type("a7a");
    settle();
    EXPECT_EQ(text(item(7001)), "bb");
}

TEST_F(EventsTest, AGraphicsDialogReportsTheMouseOnlyOnceSelected) {
    click(dlg(), 200, 150);
    for (const std::string& s : messages()) EXPECT_NE(s.substr(0, 2), "4:");
    record().item[DlgGraphicsArea] = 1;   // selected as drawing surface
    os_input_mouse(dlg(), OS_MOUSE_PRESS, 3, 200, 150);
    WindowMessage m;
    ASSERT_EQ(next(m), MsgMouseDown);
    EXPECT_EQ(m.WIN, 700);
    EXPECT_EQ(m.VALUE1, 3);   // the right button
    EXPECT_EQ(m.VALUE3, 1);   // from a dialog
    EXPECT_EQ(m.VALUE4, 0);   // the dialog itself is the graphics area
    EXPECT_EQ(m.X, 200);
    EXPECT_EQ(m.Y, 150);
    os_input_mouse(dlg(), OS_MOUSE_RELEASE, 3, 200, 150);
}

}  // namespace

namespace {

TEST_F(DialogTest, TabGoesIntoAnAttachedPage) {
    WDialogLoad(707);
    const OsHandle owner = dlg();
    // The page lies in the owner with the child and control styles, as attached pages do.
    std::int32_t status = 708;
    const OsHandle saved = wtab.hClient[1];
    wtab.hClient[1] = owner;
    yydialogload2(status, 708, 1, 0);
    wtab.hClient[1] = saved;
    const OsHandle page = dlg();
    os_set_style(page, os_get_style(page) | OS_DS_CONTROL);
    os_show_window(page, OS_SW_SHOWNOACTIVATE);
    const OsHandle tab = os_get_dlg_item(owner, 7701);
    os_set_style(tab, os_get_style(tab) | OS_WS_TABSTOP);
    const OsHandle field = os_get_dlg_item(page, 7801);
    EXPECT_EQ(os_next_tab_item(owner, tab, false), field);
    EXPECT_EQ(os_next_tab_item(owner, field, false), tab);
    EXPECT_EQ(os_next_tab_item(owner, tab, true), field);
}

}  // namespace
