// Grid windows: conversion, menus, tool bar and status bar, the current
// cell as a library message, the modal loop and the commands.
#include <filesystem>

#include "lib/dialog/commondlg.h"
#include "lib/grid/grid_files.h"
#include "lib/window/messages.h"
#include "platform/os_dialog.h"
#include "tests/app/dialog_script.h"
#include "tests/grid/gridwin_fixture.h"

namespace {

using Texts = std::vector<std::string>;
using Ids = std::vector<std::int32_t>;

TEST_F(GridWindowTest, ConversionStatuses) {
    struct Case {
        const char* what;
        std::function<void(GridWindowTest&)> before;
        std::int32_t mode, menu, field;
        std::int32_t status;
        bool converted;
        std::int32_t mode_after;
    };
    const auto inside = [](GridWindowTest& t) {
        WindowOpenChild(t.child, 0x10 | 7 | 0x20, 10, 10, 300, 200, 0, {}, 0, "Inside");
    };
    const Case cases[] = {
        {"the root window", [](GridWindowTest&) { windowselect(0); }, 2, 0, 8950, GridWindowIsRoot, false, 2},
        {"a field that is no grid", nullptr, 2, 0, 8999, GridWindowNoField, false, 2},
        {"a client holding inside windows",
         [](GridWindowTest& t) {
             std::int32_t inner = 0;
             WindowOpenChild(inner, 0x10 | 7, 5, 5, 100, 80, 0, {}, 0, "", t.child);
             windowselect(t.child);
         },
         2, 0, 8950, GridWindowHasChildren, false, 2},
        {"an inside child asked to be modal", inside, 1, 0, 8950, GridWindowModeInside, true, 2},
        {"an inside child asked semi-modeless, with a menu", inside, 3, 8920, 8950, GridWindowMenuInside, true, 2},
        {"a user menu for a modal window", nullptr, 1, 8920, 8950, GridWindowModalMenu, true, 1},
        {"a user menu missing from the resources", nullptr, 2, 8999, 8950, GridWindowNoMenu, true, 2},
        {"done", nullptr, 2, 8920, 8950, GridWindowDone, true, 2},
    };
    ASSERT_EQ(load(8901), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowOpenChild(child, 7 | 0x20, 30, 30, 520, 320, 0, {}, 0, "Wells");
        if (c.before) c.before(*this);
        const std::int32_t slot = wtab.wIndex;
        std::int32_t status = 0, mode = c.mode;
        yygridedit(status, c.field, mode, c.menu, 0, -1, "", "");
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(mode, c.mode_after);
        const OsHandle f = wtab.wWindow[static_cast<std::size_t>(slot)];
        EXPECT_EQ(yygridwindata(f) != nullptr, c.converted);
        if (c.converted) {
            // A second conversion is refused and changes nothing.
            std::int32_t again = 0, m = 2;
            yygridedit(again, 8950, m, 0, 0, -1, "", "");
            EXPECT_EQ(again, GridWindowConverted);
            EXPECT_EQ(yygridwindata(f)->iMode, c.mode_after);
            // Menus: the three pop-ups first, the user's after them; none inside a child.
            const OsMenu menu = os_get_menu(f);
            if (c.status == GridWindowMenuInside || c.status == GridWindowModeInside) {
                EXPECT_EQ(menu, 0);
            } else {
                ASSERT_NE(menu, 0);
                Texts top = items(menu);
                EXPECT_EQ(Texts(top.begin(), top.begin() + 3), (Texts{"&File", "&Edit", "&Search"}));
                EXPECT_EQ((Ids{os_get_menu_item_id(menu, 0), os_get_menu_item_id(menu, 1), os_get_menu_item_id(menu, 2)}),
                          (Ids{32100, 32120, 32140}));
                EXPECT_EQ(top.size(), c.status == GridWindowDone ? 4u : 3u);
            }
        } else {
            EXPECT_EQ(yyspecialkind(f), 0);
        }
        for (std::int32_t s = 1; s <= MaxChildWindows; ++s)
            if (wtab.wWindow[static_cast<std::size_t>(s)]) WindowCloseChild(s);
        ASSERT_EQ(dialog_state.current_id, 8901);
    }
    // The public opener reports the statuses as errors.
    windowselect(0);
    WGridEdit(8950);
    EXPECT_EQ(err(), 1022);
    WindowOpenChild(child, 7 | 0x20, 30, 30, 520, 320, 0, {}, 0, "Wells");
    WGridEdit(8999);
    EXPECT_EQ(err(), 1006);
    WGridEdit(8950, 2, 8999);
    EXPECT_EQ(err(), 1002);
    EXPECT_NE(yygridwindata(frame()), nullptr);
    WGridEdit(8950);
    EXPECT_EQ(err(), 1038);
}

TEST_F(GridWindowTest, MenusAndToolBarFollowTheFieldTheFlagsAndTheKeys) {
    struct Case {
        const char* what;
        std::int32_t dialog, flags;
        bool keys;
        Texts file, edit, search;
        Ids bar;
    };
    const Texts search = {"&Find\tCtrl+F", "Find &Next\tF3", "-", "&Goto Cell", "Goto Ro&w", "Goto &Column"};
    const Texts edit = {"Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-", "Select &All", "-",
                        "&Sort", "&Insert Row Before Current\tCtrl+I", "&Insert Row After Current\tCtrl+Shift+I",
                        "D&elete Row\tCtrl+E"};
    const Case cases[] = {
        {"everything", 8901, 0, true,
         {"&New\tCtrl+N", "&Open\tCtrl+O", "&Save\tCtrl+S", "Save &As\tF12", "Save As &HTML", "-", "&Print\tCtrl+P",
          "Prin&t Selection", "-", "E&xit"},
         edit, search, {32101, 32102, 32103, 0, 32105, 0, 32141, 0, 32122, 32123, 32124}},
        {"a read-only field", 8903, 0, true, {"&Open\tCtrl+O", "-", "&Print\tCtrl+P", "Prin&t Selection", "-", "E&xit"},
         {"&Copy\tCtrl+C", "-", "Select &All"}, search, {32102, 0, 32105, 0, 32141, 0, 32123}},
        {"no save alone", 8901, GWF_NOSAVE, true,
         {"&New\tCtrl+N", "&Open\tCtrl+O", "-", "&Print\tCtrl+P", "Prin&t Selection", "-", "E&xit"}, edit, search,
         {32101, 32102, 0, 32105, 0, 32141, 0, 32122, 32123, 32124}},
        {"without the accelerator table", 8901, GWF_NOPRINT | GWF_NOFIND | GWF_NOROWEDIT | GWF_NOHTML, false,
         {"&New", "&Open", "&Save", "Save &As", "-", "E&xit"},
         {"Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-", "Select &All", "-", "&Sort"},
         {"&Goto Cell", "Goto Ro&w", "Goto &Column"}, {32101, 32102, 32103, 0, 32122, 32123, 32124}},
        {"no new and open, no save as", 8901, GWF_NONEWOPEN | GWF_NOSAVEAS | GWF_NOPRINT, false,
         {"&Save", "Save As &HTML", "-", "E&xit"}, edit, {"&Find", "Find &Next", "-", "&Goto Cell", "Goto Ro&w", "Goto &Column"},
         {32103, 0, 32141, 0, 32122, 32123, 32124}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        accelerators(c.keys);
        open(c.dialog);
        ASSERT_EQ(convert(c.flags), 0);
        EXPECT_EQ(items(rec().hFileMenu), c.file);
        EXPECT_EQ(items(rec().hEditMenu), c.edit);
        EXPECT_EQ(items(rec().hSearchMenu), c.search);
        EXPECT_EQ(toolbar(), c.bar);
        EXPECT_EQ(rec().hGridAccel != 0, c.keys);
        // Tooltips come from the window for its own bar.
        if (!c.bar.empty()) {
            EXPECT_EQ(os_input_tooltip(rec().hGridToolbar, 0), c.bar[0] == 32101 ? "New" : c.bar[0] == 32102 ? "Open" : "Save");
        }
        WindowCloseChild(child);
        WDialogUnload();
    }
    // No tool bar, no menus.
    accelerators(true);
    open();
    ASSERT_EQ(convert(GWF_NOTOOLBAR | GWF_NOMENU), 0);
    EXPECT_EQ(rec().hGridToolbar, 0);
    EXPECT_EQ(os_get_menu(frame()), 0);
}

TEST_F(GridWindowTest, StatusBarTitleAndThePicture) {
    open();
    std::int32_t s = 0;
    windowselect(child);
    ASSERT_EQ(convert(), 0);
    EXPECT_EQ(status_parts(), 4);
    EXPECT_EQ((Texts{status_text(0), status_text(1), status_text(2), status_text(3)}),
              (Texts{"Row", "\t\t1", "\tColumn", "\t\t1"}));
    EXPECT_EQ(os_get_window_text(frame()), "Wells");
    // A file loaded at conversion names the window.
    const std::string file = dir.file("wells.csv");
    write_file(file, "\"Lake\",12,1.5,2.5,Yes,\"plain\",\"ok\"\r\n\"River\",-3,,,No,\"a,b\",\r\n");
    WindowCloseChild(child);
    WindowOpenChild(child, 7 | 0x20, 30, 30, 520, 320, 0, {}, 0, "Wells");
    ASSERT_EQ(convert(0, 2, 0, file), 0);
    EXPECT_EQ(os_get_window_text(frame()), "Wells - [" + file + "]");
    EXPECT_EQ(text_of(1, 2), "River");
    s = 0;
    yygridsetselection(s, 1, 1, 3, 2);
    const char* keep = std::getenv("QUINDA_KEEP_GRAB");
    const std::string png = keep && *keep ? std::string(keep) : dir.file("gridwin.png");
    ASSERT_TRUE(os_grab_window_png(frame(), png));
    EXPECT_GT(std::filesystem::file_size(png), 1000u);
    // Without a caption: five parts, the name in the fifth.
    WindowCloseChild(child);
    WindowOpenChild(child, 7 | 0x20, 30, 30, 520, 320, 0, {}, 0, "Wells");
    os_set_style(frame(), os_get_style(frame()) & ~OS_WS_CAPTION);
    ASSERT_EQ(convert(0, 2, 0, file), 0);
    EXPECT_EQ(status_parts(), 5);
    EXPECT_EQ(status_text(4), file);
    EXPECT_EQ(os_get_window_text(frame()), "Wells");
}

TEST_F(GridWindowTest, CellMovesReachTheStatusBarAndTheProgram) {
    open();
    ASSERT_EQ(convert(), 0);
    wmessageenable(MsgFieldChanged, 1);
    const std::uint32_t cm = grid_state.GM_CELLCHANGE;
    // A move before the program waits, then two while it waits: one message,
    // from the cell current when the wait began to the last one.
    os_send_message(frame(), cm, 1002, pack_cell(2, 4));
    WindowMessage m;
    take_message(m);
    os_set_wait_script([&] {
        os_send_message(frame(), cm, 1002, pack_cell(1, 6));
        os_send_message(frame(), cm, 1002, pack_cell(3, 5));
        os_post_message(frame(), OSM_NULL, 0, 0);   // the fetch sees its loop step end
        os_set_wait_script({});
    });
    std::int32_t type = 0;
    wmessage(type, m);
    EXPECT_EQ(type, MsgFieldChanged);
    EXPECT_EQ((Ids{m.VALUE1, m.VALUE2, m.VALUE3, m.VALUE4, m.X, m.Y, m.WIN}),
              (Ids{0, 0, 0, -1, pack_cell(2, 4), pack_cell(3, 5), child}));
    EXPECT_EQ(status_text(1), "\t\t6");
    EXPECT_EQ(status_text(3), "\t\t4");
    // Not while the type is off.
    wmessageenable(MsgFieldChanged, 0);
    os_send_message(frame(), cm, 1002, pack_cell(0, 0));
    EXPECT_EQ(take_message(m), 0);
    EXPECT_EQ(status_text(1), "\t\t1");
}

TEST_F(GridWindowTest, AModalWindowRunsUntilItClosesAndLeavesItsResults) {
    open();
    wmessageenable(MsgFieldChanged, 1);
    std::int32_t mode = 1, status = 0;
    yygridedit(status, Field, mode, 0, 0, -1, "", "");
    ASSERT_EQ(status, 0);
    const OsHandle f = frame();
    os_send_message(f, grid_state.GM_CELLCHANGE, 1002, pack_cell(3, 3));
    WindowMessage m;
    EXPECT_EQ(take_message(m), 0) << m.VALUE1 << " " << m.VALUE2 << " " << m.VALUE3 << " " << m.X << " " << m.Y << " " << m.WIN;
    EXPECT_EQ(status_text(1), "\t\t1");
    EXPECT_EQ(status_text(3), "\t\t1");
    std::snprintf(rec().szFindText, sizeof rec().szFindText, "%s", "needle");
    // The user closes the window and does not save.
    box_answers = {OS_IDNO};
    int waits = 0;
    os_set_wait_script([&] {
        if (++waits != 1) return;
        WGridPutCellInteger(0, 2, 1, 5);   // a change the prompt asks about
        os_post_message(f, OSM_CLOSE, 0, 0);
    });
    yygridedit2();
    EXPECT_FALSE(os_is_window(f));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Do you want to save changes?");
    EXPECT_EQ(boxes[0].caption, "Quindarolex Grid Editor");
    EXPECT_EQ(boxes[0].style, OS_MB_YESNOCANCEL | OS_MB_ICONEXCLAMATION);
    EXPECT_EQ(wtab.wWindow[static_cast<std::size_t>(child)], 0);
    EXPECT_EQ(wtab.wIndex, 0);
    std::int32_t ref = -2, saved = 0, changed = 0;
    yygridgetinfo(ref, 6, saved);
    yygridgetinfo(ref, 7, changed);
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(changed, 1);
    std::string t;
    yygridgetinfostring(-1, 1, t, 100);
    EXPECT_EQ(t, "needle");
    yygridgetinfostring(-1, 3, t, 100);
    EXPECT_EQ(t, "");
    EXPECT_TRUE(os_is_window_enabled(wtab.wWindow[0]));
}

}  // namespace
