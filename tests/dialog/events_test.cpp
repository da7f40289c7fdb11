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

// A click in a dialog embedded in the program's window, on its background or
// on one of its fields, makes it the dialog that owns what comes next: a
// message box leaves it enabled (and the other dialog disabled) and gives
// the focus back into it.
TEST_F(DialogTest, AClickMakesAnEmbeddedDialogTheActiveOne) {
    for (const bool on_field : {false, true}) {
        SCOPED_TRACE(on_field ? "a field" : "the background");
        WDialogLoad(701);
        WDialogShow(0, 0, 0, 2);
        const OsHandle embedded = dlg();
        const OsHandle edit = item(7101);
        WDialogLoad(700);
        WDialogShow(-1, -1, 0, 2);
        const OsHandle top = dlg();
        settle();
        ASSERT_EQ(dlgtab.hDlgCur, top);
        OsRect c;
        os_get_client_rect(embedded, c);
        if (on_field)
            click(edit, 3, 3);
        else
            click(embedded, c.width() - 3, c.height() - 3);
        settle();
        EXPECT_EQ(dlgtab.hDlgCur, embedded);
        EXPECT_EQ(yyactivewindlg(), embedded);
        EXPECT_EQ(os_get_focus(), edit);

        bool embedded_enabled = false, top_enabled = true;
        os_message_box_set_responder([&](const OsMessageBoxRequest&) {
            embedded_enabled = os_is_window_enabled(embedded);
            top_enabled = os_is_window_enabled(top);
            os_set_focus(0);  // the box has the keyboard while it is up
            return OS_IDOK;
        });
        WMessageBox(0, 0, 1, "Go on", "Question");
        os_message_box_set_responder({});
        EXPECT_TRUE(embedded_enabled);
        EXPECT_FALSE(top_enabled);
        EXPECT_EQ(os_get_focus(), edit);

        WDialogUnload();
        WDialogSelect(701);
        WDialogUnload();
    }
}

// The page shown lies right after its tab field: Tab from the tab field
// walks the page's fields before OK and Cancel, for the first page, for a
// page the user turns to, and in the modal copy.
TEST_F(DialogTest, TabGoesIntoAnAttachedPage) {
    ASSERT_EQ(load_show(764), 0);
    const OsHandle owner = dlg();
    const OsHandle tab = item(7660);
    auto page_field = [](std::int32_t page, std::int32_t id) {
        WDialogSelect(page);
        const OsHandle f = os_get_dlg_item(yycurrentdialog(), id);
        WDialogSelect(764);
        return f;
    };
    // The focus after each Tab from the tab field, then Shift+Tab back from it.
    auto walk = [&](std::vector<OsHandle> expected) {
        os_set_focus(tab);
        settle();
        for (const OsHandle want : expected) {
            key(OS_VK_TAB);
            settle();
            EXPECT_EQ(os_get_focus(), want) << "field " << os_get_control_id(want);
        }
        os_set_focus(tab);
        settle();
        key(OS_VK_TAB, OS_IN_SHIFT);
        settle();
        EXPECT_EQ(os_get_focus(), expected.back() == tab ? expected[expected.size() - 2] : expected.back());
    };
    const OsHandle ok = os_get_dlg_item(owner, 1), cancel = os_get_dlg_item(owner, 2);
    {
        SCOPED_TRACE("first page");
        walk({page_field(765, 7661), page_field(765, 7662), page_field(765, 7663), ok, cancel, tab});
    }
    {
        SCOPED_TRACE("the page turned to");
        os_set_focus(tab);
        os_send_message(tab, TCM_SETCURFOCUS, 1, 0);
        settle();
        walk({page_field(766, 7664), page_field(766, 7665), ok, cancel, tab});
    }
    {
        SCOPED_TRACE("modal copy");
        WDialogHide();
        std::vector<std::int32_t> seen;
        int step = 0;
        // Each call comes when the copy's loop has handled the key before.
        os_dialog_set_script([&](OsWindow copy) {
            if (step == 0) os_set_focus(os_get_dlg_item(copy, 7660));
            else seen.push_back(os_get_control_id(os_get_focus()));
            os_input_key(os_get_focus(), step++ < 3 ? OS_VK_TAB : OS_VK_ESCAPE, 0);
        });
        WDialogShow(-1, -1, 0, 1);
        os_dialog_set_script({});
        EXPECT_EQ(seen, (std::vector<std::int32_t>{7664, 7665, 1}));
    }
    WDialogUnload();
}

}  // namespace
