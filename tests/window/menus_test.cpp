#include "lib/window/menus.h"

#include <filesystem>

#include "lib/window/errors.h"
#include "lib/window/wininfo.h"
#include "lib/window/winops.h"
#include "platform/os_menu.h"
#include "tests/window/window_fixture.h"

namespace {

class MenusTest : public WindowTest {
protected:
    OsHandle bar(int pos) const { return wtab.hToolbar[0][static_cast<std::size_t>(pos)]; }
    OsTbButton button(OsHandle tb, int i) {
        OsTbButton b;
        EXPECT_TRUE(os_send_message(tb, OSM_TB_GETBUTTON, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&b)));
        return b;
    }
    std::string simple_text() {
        char buf[600] = {};
        os_send_message(wtab.wMessLine[0], OSM_SB_GETTEXT, OS_SB_SIMPLEID, reinterpret_cast<std::intptr_t>(buf));
        return buf;
    }
    // The status-bar prompt shown while an item of the root menu is highlighted.
    std::string prompt_for(const std::vector<int>& path) {
        os_input_menu(wtab.wWindow[0], {path, false});
        return last_prompt;
    }
    void SetUp() override {
        WindowTest::SetUp();
        last_prompt.clear();
    }
    static std::string last_prompt;
};
std::string MenusTest::last_prompt;

TEST_F(MenusTest, CompanionResourceGivesIdsByPosition) {
    open(300, 200, 601);
    const OsHandle m = wtab.hMenuRoot[0];
    ASSERT_NE(m, 0);
    EXPECT_EQ(os_get_menu(wtab.wWindow[0]), m);
    EXPECT_EQ(os_get_menu_item_id(m, 0), 620);
    EXPECT_EQ(os_get_menu_item_id(m, 1), 622);
    EXPECT_EQ(os_get_menu_item_id(os_get_sub_menu(m, 0), 3), 621);
    EXPECT_EQ(os_get_menu_item_id(m, 2), 617);
    // The record without positions changed nothing.
    OsHandle owner = 0;
    EXPECT_EQ(yymngetpos(m, 623, owner), -1);
    // An item only disabled in the resource is greyed.
    EXPECT_TRUE(os_get_menu_state(m, 616, OS_MF_BYCOMMAND) & OS_MF_GRAYED);
    // Accelerators and prompts came with the menu.
    EXPECT_NE(wtab.hAccel[0], 0);
    EXPECT_EQ(wtab.hQDXMenuString[0], 601);
    // The depth-first search finds the pop-up item by its id, with its owner.
    EXPECT_EQ(yymngetpos(m, 621, owner), 3);
    EXPECT_EQ(owner, os_get_sub_menu(m, 0));
}

TEST_F(MenusTest, ToolBarOfButtonSeparatorButton) {
    open(300, 200, 0, {603, 0, 0, 0});
    const OsHandle tb = bar(0);
    ASSERT_NE(tb, 0);
    ASSERT_EQ(os_send_message(tb, OSM_TB_BUTTONCOUNT, 0, 0), 3);
    const OsTbButton b0 = button(tb, 0), b1 = button(tb, 1), b2 = button(tb, 2);
    EXPECT_EQ(b0.command, 1);
    EXPECT_EQ(b0.image, 0);
    EXPECT_EQ(b1.style, OS_TBSTYLE_SEP);
    EXPECT_EQ(b2.command, 2);
    EXPECT_EQ(b2.image, 1);
    EXPECT_TRUE(b0.state & OS_TBSTATE_ENABLED);  // unknown to the menu: enabled
    EXPECT_EQ(wtab.nTooltip[0], 3);
    // Placement: full width, image height + 12, at the top.
    OsRect r;
    os_get_window_rect(tb, r);
    EXPECT_EQ(r.height(), 16 + 12);
    OsRect cr;
    os_get_client_rect(wtab.wWindow[0], cr);
    EXPECT_EQ(r.width(), cr.width());
    // The client window still has the size asked for, below the bar.
    os_get_client_rect(wtab.hClient[0], cr);
    EXPECT_EQ(cr.width(), 300);
    EXPECT_EQ(cr.height(), 200);
}

TEST_F(MenusTest, ButtonsMirrorTheMenuAndGreyingReachesBars) {
    open(300, 200, 601, {602, 0, 0, 0});
    const OsHandle tb = bar(0);
    ASSERT_EQ(os_send_message(tb, OSM_TB_BUTTONCOUNT, 0, 0), 6);
    EXPECT_TRUE(os_send_message(tb, OSM_TB_ISBUTTONCHECKED, 615, 0));
    EXPECT_FALSE(os_send_message(tb, OSM_TB_ISBUTTONENABLED, 616, 0));

    struct Case {
        std::int32_t id, kind, state, status;
    };
    // Menu and bar: 0 then 1 for the bar; bar only: 1; neither: -1.
    for (const Case c : {Case{611, 1, 0, 1}, Case{618, 1, 0, 1}, Case{613, 1, 0, 0}, Case{699, 1, 0, -1},
                         Case{612, 2, 1, 1}}) {
        std::int32_t status = c.id;
        if (c.kind == 1)
            yymngrey(status, c.state);
        else
            yymnchck(status, c.state);
        EXPECT_EQ(status, c.status) << c.id;
    }
    std::int32_t flag = -2;
    yymngflg(611, 1, flag);
    EXPECT_EQ(flag, 0);
    yymngflg(618, 1, flag);
    EXPECT_EQ(flag, 0);
    EXPECT_FALSE(os_send_message(tb, OSM_TB_ISBUTTONENABLED, 618, 0));
    yymngflg(612, 2, flag);
    EXPECT_EQ(flag, 1);
    yymngflg(699, 1, flag);
    EXPECT_EQ(flag, -1);

    WMenuSetState(618, 1, 1);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_TRUE(os_send_message(tb, OSM_TB_ISBUTTONENABLED, 618, 0));
    WMenuSetState(699, 2, 1);
    EXPECT_EQ(infoerror(1), 1001);
    WMenuSetState(699, 3, 1);  // other kinds are ignored
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(MenusTest, TallerBarShrinksTheClientAndReportsTheSize) {
    open(300, 200, 0, {603, 0, 0, 0});
    settle();
    windowselect(0);
    WMenuToolbar(604, 0, 1);
    EXPECT_EQ(infoerror(1), 0);
    OsRect cr;
    os_get_client_rect(wtab.hClient[0], cr);
    EXPECT_EQ(cr.width(), 300);
    EXPECT_EQ(cr.height(), 200 - (24 - 16));
    EXPECT_EQ(quinda.window_size[1], 192);
    EXPECT_EQ(gstate.height, 192);
    std::int32_t id = 603, w = 0, h = 0;
    yymntbar(id, 0, 0, w, h);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 200);
    // The same height again: nothing to report.
    id = 603;
    yymntbar(id, 0, 0, w, h);
    EXPECT_EQ(w, -1);
    EXPECT_EQ(h, -1);
}

TEST_F(MenusTest, LeftBarAndErrors) {
    open(300, 200);
    settle();
    std::int32_t id = 603, w = 0, h = 0;
    yymntbar(id, 0, 1, w, h);
    ASSERT_EQ(id, 0);
    EXPECT_EQ(w, 300 - (16 + 9));
    EXPECT_EQ(h, 200);
    EXPECT_EQ(os_get_window_user(bar(1)), 16 + 9);
    OsTbButton b;
    os_send_message(bar(1), OSM_TB_GETBUTTON, 0, reinterpret_cast<std::intptr_t>(&b));
    EXPECT_TRUE(b.state & OS_TBSTATE_WRAP);
    WMenuToolbar(698);
    EXPECT_EQ(infoerror(1), 1002);
    WMenuToolbar(603, 51);
    EXPECT_EQ(infoerror(1), 1003);
    WMenuToolbar(603, 5);
    EXPECT_EQ(infoerror(1), 1003);
    // Removing the bar leaves no tooltip table.
    WMenuToolbar(0, 0, 2);
    EXPECT_EQ(bar(1), 0);
    EXPECT_EQ(wtab.nTooltip[0], 0);
}

TEST_F(MenusTest, TooltipsFromTheTableThenTheStringTable) {
    open(300, 200, 601, {602, 0, 0, 0});
    const OsHandle tb = bar(0);
    EXPECT_EQ(os_input_tooltip(tb, 0), "Open");     // string 611
    EXPECT_EQ(os_input_tooltip(tb, 1), "");         // 612: nothing anywhere
    EXPECT_EQ(os_input_tooltip(tb, 2), "");         // a separator
    std::int32_t id = 612;
    yytooltip(id, "Save it   ");
    EXPECT_EQ(id, 612);
    EXPECT_EQ(os_input_tooltip(tb, 1), "Save it   ");
    id = 611;
    yytooltip(id, std::string(100, 'y'));
    EXPECT_EQ(os_input_tooltip(tb, 0), std::string(79, 'y'));
    id = 611;
    yytooltip(id, " ");  // frees the entry: the string table again
    EXPECT_EQ(os_input_tooltip(tb, 0), "Open");
    id = 613;            // in the menu, not on a bar
    yytooltip(id, "x y");
    EXPECT_EQ(id, -1);
    // The table is as long as the bar; when it is full, texts are dropped.
    for (std::int32_t c : {611, 612, 615, 616, 618}) {
        id = c;
        yytooltip(id, "t");
        id = c;
        yytooltip(id, "tip");
    }
    EXPECT_EQ(os_input_tooltip(tb, 5), "tip");
}

TEST_F(MenusTest, TextInsertDeleteAndPrompts) {
    open(300, 200, 601);
    const OsHandle m = wtab.hMenuRoot[0];
    std::int32_t id = 611;
    yymntext(id, "&Load   ");
    EXPECT_EQ(id, 0);
    std::string t;
    os_get_menu_item_text(m, 611, OS_MF_BYCOMMAND, t);
    EXPECT_EQ(t, "&Load");
    id = 699;
    yymntext(id, "x");
    EXPECT_EQ(id, -1);

    // Place 1 before, 2 after; beyond the end appends.
    id = 612;
    yymnins(id, 2, 630, "After save");
    EXPECT_EQ(id, 0);
    OsHandle owner = 0;
    EXPECT_EQ(yymngetpos(m, 630, owner), 2);
    id = 611;
    yymnins(id, 1, 0, "");
    EXPECT_EQ(os_get_menu_item_id(owner, 0), 0);  // a separator before Open
    id = 614;
    yymnins(id, 9, 631, "Last");
    EXPECT_EQ(os_get_menu_item_id(owner, os_menu_item_count(owner) - 1), 631);

    id = 612;
    yymenuprompt(id, "Run-time save");
    EXPECT_EQ(wtab.nMenuString[0], 1);
    id = 612;
    yymenuprompt(id, "Replaced");
    EXPECT_EQ(wtab.nMenuString[0], 1);
    id = 613;
    yymenuprompt(id, "WMF");
    EXPECT_EQ(wtab.nMenuString[0], 2);
    id = 612;
    yymenuprompt(id, "   ");
    EXPECT_EQ(wtab.nMenuString[0], 1);
    // Deleting the pop-up takes its item's prompt along.
    id = 621;
    yymndel(id);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(wtab.nMenuString[0], 0);
    EXPECT_EQ(yymngetpos(m, 613, owner), -1);
    id = 621;
    yymndel(id);
    EXPECT_EQ(id, -1);
}

// Captures the simple-mode text of the status bar at each highlight.
std::intptr_t spy_proc(OsHandle w, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
OsWndProc real_frame_proc = nullptr;
std::string* spy_target = nullptr;
std::intptr_t spy_proc(OsHandle w, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    const std::intptr_t r = real_frame_proc(w, msg, wp, lp);
    if (msg == OSM_MENUSELECT && os_hiword(wp) != 0xFFFF && spy_target) {
        char buf[600] = {};
        os_send_message(wtab.wMessLine[0], OSM_SB_GETTEXT, OS_SB_SIMPLEID, reinterpret_cast<std::intptr_t>(buf));
        *spy_target = buf;
    }
    return r;
}

TEST_F(MenusTest, PromptLookupOrder) {
    open(300, 200, 601);
    real_frame_proc = os_set_window_proc(wtab.wWindow[0], spy_proc);
    spy_target = &last_prompt;
    // From the menu's prompt resource, also for a pop-up item (by its companion id).
    EXPECT_EQ(prompt_for({0, 0}), "Open a model file");
    EXPECT_EQ(prompt_for({0}), "File commands");
    EXPECT_EQ(prompt_for({0, 4}), "");  // no prompt anywhere
    // A run-time prompt comes before the resource.
    std::int32_t id = 611;
    yymenuprompt(id, "Run-time open");
    EXPECT_EQ(prompt_for({0, 0}), "Run-time open");
    // While tracking, the status bar is in simple mode; after it, not.
    EXPECT_EQ(os_send_message(wtab.wMessLine[0], OSM_SB_ISSIMPLE, 0, 0), 0);
    // The floating menu's own prompts come last: 616 has none in the main menu.
    std::vector<std::string> seen;
    os_menu_set_responder([&](OsMenu) {
        return OsMenuChoice{{0}, false};
    });
    id = 605;
    yymnflot(id, 5, 5, 1);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(last_prompt, "Floating zoom");
    os_menu_set_responder([&](OsMenu) { return OsMenuChoice{{1}, true}; });
    id = 605;
    yymnflot(id, 5, 5, 1);
    EXPECT_EQ(last_prompt, "Pan the view");
    EXPECT_EQ(menustate.hFloatPrompt, 0);
    WindowMessage msg;
    ASSERT_EQ(peek(msg), MsgMenu);
    EXPECT_EQ(msg.VALUE1, 619);
    EXPECT_EQ(msg.WIN, 0);
    // A system-menu item.
    os_send_message(wtab.wWindow[0], OSM_MENUSELECT,
                    static_cast<std::uintptr_t>(OS_SC_CLOSE) | (static_cast<std::uintptr_t>(OS_MF_SYSMENU) << 16), 0);
    EXPECT_EQ(last_prompt, "Closes the window");
    spy_target = nullptr;
}

TEST_F(MenusTest, FloatingMenuMirrorsTheMainMenu) {
    open(300, 200, 601);
    std::int32_t id = 616;
    yymngrey(id, 1);  // enable Zoom in the main menu
    std::string text;
    os_menu_set_responder([&](OsMenu m) {
        os_get_menu_item_text(m, 0, OS_MF_BYPOSITION, text);
        return OsMenuChoice{{0}, true};
    });
    id = 605;
    yymnflot(id, 0, 0, 0);
    EXPECT_EQ(text, "&Zoom");
    WindowMessage msg;
    ASSERT_EQ(peek(msg), MsgMenu);
    EXPECT_EQ(msg.VALUE1, 616);
    id = 698;
    yymnflot(id, 0, 0, 0);
    EXPECT_EQ(id, -1);
}

TEST_F(MenusTest, MenuChange) {
    open(300, 200, 601);
    std::int32_t id = 606;
    yymenuchange(id, 0);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(wtab.hAccel[0], 0);
    EXPECT_EQ(wtab.hQDXMenuString[0], 0);
    EXPECT_EQ(os_get_menu(wtab.wWindow[0]), wtab.hMenuRoot[0]);
    EXPECT_EQ(os_get_menu_item_id(wtab.hMenuRoot[0], 0), 624);
    id = 698;
    yymenuchange(id, 0);
    EXPECT_EQ(id, -1);
    EXPECT_NE(wtab.hMenuRoot[0], 0);
    id = 0;
    yymenuchange(id, 0);
    EXPECT_EQ(os_get_menu(wtab.wWindow[0]), 0);
    EXPECT_EQ(wtab.hMenuRoot[0], 0);
    id = 601;
    yymenuchange(id, 9);
    EXPECT_EQ(id, -2);
    make_child(1, 0, 0, 50, 50);
    id = 601;
    yymenuchange(id, 1);  // an ordinary child frame carries no menu
    EXPECT_EQ(id, -2);
}

TEST_F(MenusTest, ToolBarClickGivesAMenuCommand) {
    open(300, 200, 601, {602, 0, 0, 0});
    settle();
    os_input_toolbar_click(bar(0), 1);
    WindowMessage m;
    ASSERT_EQ(peek(m), MsgMenu);
    EXPECT_EQ(m.VALUE1, 612);
    EXPECT_EQ(m.WIN, 0);
    // A greyed button gives nothing.
    os_input_toolbar_click(bar(0), 4);  // 616 is greyed
    EXPECT_EQ(peek(m), -1);
}

TEST_F(MenusTest, GrabOfAWindowWithMenuToolBarAndStatusBar) {
    open(320, 160, 601, {602, 0, 0, 0});
    const std::array<std::int32_t, 3> widths{3000, 3000, -1};
    windowstatusbarparts(3, widths);
    windowoutstatusbar(1, "Ready");
    windowoutstatusbar(2, "x=12.5");
    windowclear(std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0xF0E0D0);
    std::int32_t id = 611;
    yymnchck(id, 1);
    const std::string dir = std::filesystem::temp_directory_path().string();
    ASSERT_TRUE(os_grab_window_png(wtab.wWindow[0], dir + "/quinda-menus-grab.png"));
}

}  // namespace
