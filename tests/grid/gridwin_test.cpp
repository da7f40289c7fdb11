// Grid windows: conversion, menus, tool bar and status bar, the current
// cell as a library message, the modal loop and the commands.
#include <cstdio>
#include <filesystem>

#include "lib/dialog/commondlg.h"
#include "lib/grid/grid_files.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/window/splitwin.h"
#include "lib/dialog/fieldrec.h"
#include "lib/window/bytefile.h"
#include "lib/window/messages.h"
#include "platform/os_config.h"
#include "platform/os_dialog.h"
#include "tests/app/dialog_script.h"
#include "tests/grid/gridwin_fixture.h"
#include "tests/grid/picture.h"

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

// An inside child cannot be modal: the snapshots of the modal phase go
// at once, the root window's too, and the window runs modeless.
TEST_F(GridWindowTest, AnInsideChildAskedToBeModalReleasesTheSnapshots) {
    ASSERT_EQ(load(8901), 0);
    WindowOpenChild(child, 0x10 | 7 | 0x20, 10, 10, 300, 200, 0, {}, 0, "Inside");
    std::int32_t s = 0;
    yygetwindowbitmap(1, NoWindowLeftOut, s);
    ASSERT_NE(wtab.hImage[0], 0);
    std::int32_t status = 0, mode = 1;
    yygridedit(status, Field, mode, 0, 0, -1, "", "");
    EXPECT_EQ(status, GridWindowModeInside);
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(wtab.hImage[0], 0);
    EXPECT_EQ(wtab.nImage[0], 0);
    EXPECT_EQ(wtab.wBlitOn, 0);
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
    const Picture pic = grab_picture(frame(), png);
    ASSERT_GT(pic.width, 0);
    // The selected cells (columns 2 to 4 of rows 2 and 3) are one highlighted
    // block of their size; the cell left of them above holds "Lake", the one
    // two rows below it nothing.
    GridData& g = gd();
    const auto hl = static_cast<std::int32_t>(os_sys_colour(OS_COLOR_HIGHLIGHT));
    const Picture::Box sel = pic.box_of(hl);
    const int pitch_y = g.nRowHeight - 1;
    int wide = 0;
    for (int c = 1; c <= 3; ++c) wide += g.column(c).nWidth - 1;
    EXPECT_NEAR(sel.width(), wide, 3);
    EXPECT_NEAR(sel.height(), 2 * pitch_y, 3);
    EXPECT_GT(pic.count(hl, sel.x0, sel.y0, sel.x1, sel.y1), sel.width() * sel.height() * 8 / 10);
    const int x0 = sel.x0 - (g.column(0).nWidth - 1), x1 = sel.x0 - 1;
    const auto ink = static_cast<std::int32_t>(os_sys_colour(OS_COLOR_WINDOWTEXT));
    EXPECT_GT(pic.count(ink, x0 + 1, sel.y0 - pitch_y + 1, x1, sel.y0 - 1), 15);  // "Lake"
    EXPECT_EQ(pic.count(ink, x0 + 1, sel.y0 + pitch_y + 1, x1, sel.y0 + 2 * pitch_y - 1), 0);
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

namespace {

// A library message the window made for the program, cleared.
struct Seen {
    std::int32_t type, value1;
};

class GridCommandTest : public GridWindowTest {
protected:
    void SetUp() override {
        GridWindowTest::SetUp();
        open();
        ASSERT_EQ(convert(GWF_BACKUP | GWF_ADDROWS), 0);
        windowselect(child);
    }
    Seen seen() {
        WindowMessage m;
        const std::int32_t t = take_message(m);
        return {t, m.VALUE1};
    }
    void change() {
        WGridPutCellInteger(0, 2, 1, 7);
        gd().bUnsaved = 1;
    }
    std::vector<std::string> box_texts() const {
        std::vector<std::string> out;
        for (const auto& b : boxes) out.push_back(b.caption + ": " + b.text);
        return out;
    }
};

TEST_F(GridCommandTest, ClosingAsksAboutUnsavedChanges) {
    struct Case {
        const char* what;
        bool changed;
        std::string name;
        std::deque<int> answers;
        std::deque<std::string> files;
        std::vector<std::string> asked;
        bool closes;
        std::size_t file_dialogs;
    };
    const std::string named = dir.file("named.csv");
    const Case cases[] = {
        {"unchanged: nothing asked", false, "", {}, {}, {}, true, 0},
        {"changed, unnamed, Yes, the save dialog cancelled", true, "", {OS_IDYES}, {""},
         {"Quindarolex Grid Editor: Do you want to save changes?"}, false, 1},
        {"changed, unnamed, Yes, saved", true, "", {OS_IDYES}, {dir.file("new.csv")},
         {"Quindarolex Grid Editor: Do you want to save changes?"}, true, 1},
        {"changed, named, No", true, named, {OS_IDNO}, {},
         {"Quindarolex Grid Editor: Do you want to save changes to " + named + "?"}, true, 0},
        {"Cancel", true, "", {OS_IDCANCEL}, {}, {"Quindarolex Grid Editor: Do you want to save changes?"}, false, 0},
        {"a box that cannot be shown counts as Cancel", true, "", {0}, {},
         {"Quindarolex Grid Editor: Do you want to save changes?"}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        file_dialogs.clear();
        box_answers = c.answers;
        file_answers = c.files;
        std::snprintf(rec().szFileName, sizeof rec().szFileName, "%s", c.name.c_str());
        gd().bUnsaved = 0;
        if (c.changed) change();
        seen();
        command(GridWinExit);
        EXPECT_EQ(box_texts(), c.asked);
        EXPECT_EQ(file_dialogs.size(), c.file_dialogs);
        const Seen s = seen();
        EXPECT_EQ(s.type == MsgClose, c.closes);
    }
    EXPECT_TRUE(std::filesystem::exists(dir.file("new.csv")));
    // Without Save the window closes without asking; New clears without asking.
    WindowCloseChild(child);
    WindowOpenChild(child, 7 | 0x20, 30, 30, 520, 320, 0, {}, 0, "Wells");
    ASSERT_EQ(convert(GWF_NOSAVE), 0);
    change();
    boxes.clear();
    command(GridWinNew);
    EXPECT_EQ(text_of(2, 1), "");
    EXPECT_EQ(seen().value1, GridWinNew);
    change();
    os_send_message(frame(), OSM_CLOSE, 0, 0);
    EXPECT_EQ(seen().type, MsgClose);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(GridCommandTest, SaveAndOpen) {
    // Save of an unnamed grid asks for a name; the backup of a new file fails
    // and the file is written all the same.
    const std::string file = dir.file("wells.csv");
    file_answers = {file};
    put(1, 1, "first");
    command(GridWinSave);
    ASSERT_EQ(file_dialogs.size(), 1u);
    EXPECT_EQ(file_dialogs[0].kind, OsCommonDialogKind::Save);
    EXPECT_EQ(file_dialogs[0].filters.size(), 2u);
    EXPECT_EQ(read_file(file).substr(0, 9), "\"first\",,");
    EXPECT_FALSE(std::filesystem::exists(file + ".bak"));
    EXPECT_EQ(os_get_window_text(frame()), "Wells - [" + file + "]");
    EXPECT_EQ(seen().value1, GridWinSave);
    EXPECT_EQ(gd().bUnsaved, 0);
    // Saving again keeps the old file as ".bak".
    const std::string before = read_file(file);
    put(1, 1, "second");
    command(GridWinSave);
    EXPECT_EQ(read_file(file + ".bak"), before);
    EXPECT_EQ(read_file(file).substr(0, 10), "\"second\",,");
    // A file that cannot be written: "Error opening file", and the error stays.
    std::int32_t result = 1, type = 1;
    char name[260] = {};
    std::snprintf(name, sizeof name, "%s", dir.file("no/such/dir/x.csv").c_str());
    yygridwinsave(child, 0, result, type, 0, name, "");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(box_texts().back(), "File Error: Error opening file");
    EXPECT_EQ(infoerror(1), 1);
    // Opening files with data errors: the message, the part read stays, the
    // current cell goes to the first one.
    struct Case {
        const char* what;
        std::string bytes;
        std::string message;
        std::string cell_1_2;
    };
    const Case cases[] = {
        {"text in a number column", "\"a\",12\r\n\"b\",x1\r\n", "Data Error: Non-numeric data found for numeric cell", "b"},
        {"number out of range", "\"a\",12\r\n\"b\",5000\r\n", "Data Error: Out of range value found for numeric cell", "b"},
        {"too many columns", "\"a\",12\r\n\"b\",1,,,,,,,,,\r\n", "Data Error: File contains too many rows/columns", ""},
        {"no such menu option", "\"a\",12\r\n\"b\",1,,,,\"zz\"\r\n", "Data Error: Non-matching data found for menu cell", "b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string in = dir.file("in.csv");
        write_file(in, c.bytes);
        boxes.clear();
        file_answers = {in};
        WGridSetCell(0, 3, 4);
        gd().bUnsaved = 0;
        yyseterror(77);
        command(GridWinOpen);
        EXPECT_EQ(infoerror(1), 77);   // the error from before the command comes back
        EXPECT_EQ(box_texts(), (std::vector<std::string>{c.message}));
        EXPECT_EQ(text_of(1, 1), "a");
        EXPECT_EQ(text_of(1, 2), c.cell_1_2);
        EXPECT_EQ((Ids{gd().iCurrentColumn, gd().iCurrentRow}), (Ids{0, 0}));
        EXPECT_EQ(os_get_window_text(frame()), "Wells - [" + in + "]");
        EXPECT_EQ(seen().value1, GridWinOpen);
        EXPECT_EQ(file_dialogs.back().kind, OsCommonDialogKind::Open);
    }
    // A file that cannot be read keeps the name and reports.
    boxes.clear();
    std::snprintf(name, sizeof name, "%s", dir.file("missing.csv").c_str());
    yygridwinload(child, 0, 0, result, type, name, nullptr);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(box_texts(), (std::vector<std::string>{"File Error: Error opening file"}));
}

// A backup copy that fails (there is no file yet) does not stop the save and
// stays the last error; otherwise the error from before the command is back.
TEST_F(GridCommandTest, AFailedBackupCopyStaysTheLastErrorOfADoneSave) {
    struct Case {
        const char* what;
        std::int32_t backup;
        bool exists;
        int error;
    };
    const Case cases[] = {{"backup of a new file", 1, false, 13},
                          {"backup of a file", 1, true, 7},
                          {"no backup", 0, false, 7}};
    int k = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = dir.file("save" + std::to_string(k++) + ".csv");
        if (c.exists) write_file(file, "old\r\n");
        char name[260] = {};
        std::snprintf(name, sizeof name, "%s", file.c_str());
        std::int32_t result = 0, type = 1;
        yyseterror(7);
        yygridwinsave(child, 0, result, type, c.backup, name, "");
        EXPECT_EQ(result, 1);
        EXPECT_EQ(infoerror(1), c.error);
        EXPECT_EQ(read_file(file).substr(0, 3), "\"\",");  // the grid written, its first cell empty
        EXPECT_EQ(std::filesystem::exists(file + ".bak"), c.exists);
        EXPECT_TRUE(boxes.empty());
    }
    // Save As HTML copies the same way.
    const std::string page = dir.file("new.htm");
    os_set_wait_script([&] {
        const OsHandle d = yycurrentdialog();
        DialogScript::type_into(os_get_dlg_item(d, 1002), page);
        DialogScript::click(os_get_dlg_item(d, 1));
    });
    std::int32_t result = 0;
    yyseterror(7);
    yygridwinsavehtml(child, -1, -1, -1, -1, result, 1, "");
    os_set_wait_script({});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(infoerror(1), 13);
    EXPECT_NE(read_file(page).find("<table"), std::string::npos);
}

TEST_F(GridCommandTest, SaveAsHtmlProposesANameAndChecksIt) {
    struct Case {
        std::string grid_name, proposed;
    };
    const std::string sub = dir.file("v1.2");
    std::filesystem::create_directory(sub);
    const Case cases[] = {{sub + "/table.csv", sub + "/table.htm"},
                          {sub + "/table", sub + "/table.htm"},
                          {"", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grid_name);
        std::string shown;
        bool selection_enabled = true;
        os_set_wait_script([&] {
            const OsHandle d = yycurrentdialog();
            shown = os_get_window_text(os_get_dlg_item(d, 1002));
            selection_enabled = os_is_window_enabled(os_get_dlg_item(d, 1018));
            DialogScript::click(os_get_dlg_item(d, 2));
        });
        std::int32_t result = 1;
        yygridwinsavehtml(child, -1, -1, -1, -1, result, 0, c.grid_name.c_str());
        os_set_wait_script({});
        EXPECT_EQ(shown, c.proposed);
        EXPECT_FALSE(selection_enabled);
        EXPECT_EQ(result, 0);
    }
    // A blank name is refused, an existing file asked about; then saved with
    // the choices, which are kept.
    const std::string page = dir.file("page.htm");
    write_file(page, "old");
    box_answers = {OS_IDOK, OS_IDNO, OS_IDYES};
    int step = 0;
    os_set_wait_script([&] {
        const OsHandle d = yycurrentdialog();
        switch (step++) {
        case 0: DialogScript::type_into(os_get_dlg_item(d, 1002), ""); DialogScript::click(os_get_dlg_item(d, 1)); break;
        case 1: DialogScript::type_into(os_get_dlg_item(d, 1002), page); DialogScript::click(os_get_dlg_item(d, 1)); break;
        case 2:
            DialogScript::click(os_get_dlg_item(d, 1006));
            DialogScript::type_into(os_get_dlg_item(d, 1013), "Wells");
            DialogScript::click(os_get_dlg_item(d, 1));
            break;
        default: DialogScript::click(os_get_dlg_item(d, 2)); break;
        }
    });
    command(GridWinSaveHtml);
    os_set_wait_script({});
    EXPECT_EQ(box_texts(), (std::vector<std::string>{"Select File: You must enter a filename",
                                                     "Select File: " + page + " already exists\rDo you want to replace it?",
                                                     "Select File: " + page + " already exists\rDo you want to replace it?"}));
    EXPECT_EQ(boxes[1].style, OS_MB_YESNO | OS_MB_ICONEXCLAMATION | OS_MB_DEFBUTTON2);
    const std::string html = read_file(page);
    EXPECT_EQ(html.substr(0, 14), "<h2>Wells</h2>");
    EXPECT_EQ(seen().value1, GridWinSaveHtml);
    EXPECT_EQ(grid_window_choices.html_table_only, 1);
    EXPECT_EQ(grid_window_choices.html_title, "Wells");
    EXPECT_FALSE(yyunitopened(quinda.LFNGEN));
}

}  // namespace

namespace {

// While a dialog is up next to the grid window, the other windows, the
// program's own root window included, are painted from their snapshots;
// the grid window itself goes on drawing. Afterwards no snapshot is left.
TEST_F(GridCommandTest, DialogsNearTheWindowSnapshotEveryOtherWindow) {
    ASSERT_NE(wtab.wWindow[0], 0);
    ASSERT_TRUE(os_is_window_visible(wtab.wWindow[0]));
    const auto slot = static_cast<std::size_t>(child);
    bool root = false, own = true, blit = false;
    os_set_wait_script([&] {
        root = wtab.hImage[0] != 0 && wtab.nImage[0] == 1;
        own = wtab.hImage[slot] != 0;
        blit = wtab.wBlitOn == 1;
        DialogScript::click(os_get_dlg_item(yycurrentdialog(), 2));
    });
    command(GridWinFind);
    os_set_wait_script({});
    EXPECT_TRUE(root);
    EXPECT_FALSE(own);
    EXPECT_TRUE(blit);
    EXPECT_EQ(wtab.hImage[0], 0);
    EXPECT_EQ(wtab.nImage[0], 0);
    EXPECT_EQ(wtab.wBlitOn, 0);
}

TEST_F(GridCommandTest, FindSortAndGoto) {
    for (int r = 1; r <= 4; ++r) put(1, r, std::string("well ") + static_cast<char>('a' + r));
    WGridPutCellInteger(0, 2, 3, 42);
    // Find: the dialog with the kept text; an empty text only rings.
    const std::int32_t beeps = os_beep_count();
    int step = 0;
    std::string numbers_shown;
    os_set_wait_script([&] {
        const OsHandle d = yycurrentdialog();
        if (step++ == 0) {
            numbers_shown = os_is_window_visible(os_get_dlg_item(d, 1004)) ? "shown" : "hidden";
            DialogScript::type_into(os_get_dlg_item(d, 1002), "");
        } else {
            DialogScript::type_into(os_get_dlg_item(d, 1002), "WELL D");
        }
        DialogScript::click(os_get_dlg_item(d, 1));
    });
    command(GridWinFind);
    os_set_wait_script({});
    EXPECT_EQ(os_beep_count(), beeps + 1);
    EXPECT_EQ(numbers_shown, "shown");
    EXPECT_STREQ(rec().szFindText, "WELL D");
    EXPECT_EQ((Ids{gd().iCurrentColumn, gd().iCurrentRow}), (Ids{0, 2}));
    // Find Next goes on from there without a dialog, and says when it is through.
    boxes.clear();
    command(GridWinFindNext);
    EXPECT_EQ(box_texts(), (std::vector<std::string>{"Find: End of grid reached"}));
    EXPECT_EQ(boxes[0].style, OS_MB_OK | OS_MB_ICONINFORMATION);

    // Sort: captions, "Column n" where there is none; the choices are kept.
    std::vector<std::string> offered;
    os_dialog_set_script([&](OsWindow copy) {
        const OsHandle list = os_get_dlg_item(copy, 1002);
        offered.clear();
        const auto n = os_send_message(list, CB_GETCOUNT, 0, 0);
        for (std::intptr_t i = 0; i < n; ++i) {
            char buf[64] = {};
            os_send_message(list, CB_GETLBTEXT, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(buf));
            offered.push_back(buf);
        }
        os_send_message(list, CB_SETCURSEL, 0, 0);
        DialogScript::click(os_get_dlg_item(copy, 1005));
        DialogScript::click(os_get_dlg_item(copy, 1006));
        DialogScript::click(os_get_dlg_item(copy, 1));
    });
    command(GridWinSort);
    EXPECT_EQ(offered, (Texts{"Text", "Count", "Depth", "Head", "Column 5", "plain", "Column 7"}));
    EXPECT_EQ(seen().value1, GridWinSort);
    EXPECT_EQ((Texts{text_of(1, 1), text_of(1, 2), text_of(1, 6)}), (Texts{"well e", "well d", ""}));
    bool descending = false, match = false;
    os_dialog_set_script([&](OsWindow copy) {
        descending = os_send_message(os_get_dlg_item(copy, 1005), BM_GETCHECK, 0, 0) == 1;
        match = os_send_message(os_get_dlg_item(copy, 1006), BM_GETCHECK, 0, 0) == 1;
        DialogScript::click(os_get_dlg_item(copy, 2));
    });
    command(GridWinSort);
    EXPECT_TRUE(descending);
    EXPECT_TRUE(match);
    EXPECT_EQ(seen().type, 0);   // cancelled: no report

    // Goto Row: caption, label, range; the column stays.
    WGridSetCell(0, 2, 1);
    std::string caption, label;
    os_dialog_set_script([&](OsWindow copy) {
        caption = os_get_window_text(yycurrentdialog());
        label = os_get_window_text(os_get_dlg_item(yycurrentdialog(), 1001));
        DialogScript::type_into(os_get_dlg_item(copy, 1002), "4");
        DialogScript::click(os_get_dlg_item(copy, 1));
    });
    command(GridWinGotoRow);
    EXPECT_EQ(caption, "Goto Row");
    EXPECT_EQ(label, "&Row");
    EXPECT_EQ((Ids{gd().iCurrentColumn, gd().iCurrentRow}), (Ids{1, 3}));
    os_dialog_set_script({});
}

TEST_F(GridWindowTest, FindOnlyWhereThereIsSomethingToSearch) {
    open(8906);
    ASSERT_EQ(convert(), 0);
    WGridPutCellDouble(0, 2, 3, 2.5);
    std::string numbers_box = "?";
    os_set_wait_script([&] {
        const OsHandle d = yycurrentdialog();
        numbers_box = os_is_window_visible(os_get_dlg_item(d, 1004)) ? "shown" : "hidden";
        DialogScript::type_into(os_get_dlg_item(d, 1002), "2.5");
        DialogScript::click(os_get_dlg_item(d, 1));
    });
    command(GridWinFind);
    os_set_wait_script({});
    EXPECT_EQ(numbers_box, "hidden");
    EXPECT_EQ(rec().bFindNumbers, 1);
    EXPECT_EQ((Ids{gd().iCurrentColumn, gd().iCurrentRow}), (Ids{1, 2}));
    WindowCloseChild(child);
    WDialogUnload();
    open(8905);
    ASSERT_EQ(convert(), 0);
    command(GridWinFind);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Grid contains no searchable columns");
    EXPECT_EQ(boxes[0].caption, "Find");
}

TEST_F(GridWindowTest, RowCommandsAtTheLastAndOnlyRow) {
    struct Case {
        const char* what;
        std::int32_t flags;
        std::int32_t rows_in_use;
        std::int32_t command;
        std::int32_t rows_after;
        bool after_greyed;   // Insert Row After grey before the command
    };
    const Case cases[] = {
        {"insert after the last row, adding rows", GWF_ADDROWS, 3, GridWinInsertAfter, 4, false},
        {"insert after the last row, rows fixed", 0, 3, GridWinInsertAfter, 3, true},
        {"insert after the last allocated row", GWF_ADDROWS, 6, GridWinInsertAfter, 6, true},
        {"delete the only row, adding rows: emptied", GWF_ADDROWS | GWF_MOVELABELS, 1, GridWinDeleteRow, 1, false},
    };
    ASSERT_EQ(load(8901), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowOpenChild(child, 7 | 0x20, 30, 30, 520, 320, 0, {}, 0, "Wells");
        ASSERT_EQ(convert(c.flags), 0);
        windowselect(child);
        WGridRows(0, c.rows_in_use);
        for (int r = 1; r <= c.rows_in_use; ++r) {
            WGridPutCellInteger(0, 2, r, r);
            WGridPutCellOption(0, 6, r, 3);
        }
        WGridSetCell(0, 1, c.rows_in_use);
        gd().bUnsaved = gd().bChanged = 0;
        os_send_message(frame(), OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(rec().hEditMenu), 1);
        EXPECT_EQ((os_get_menu_state(rec().hEditMenu, GridWinInsertAfter, OS_MF_BYCOMMAND) & OS_MF_GRAYED) != 0,
                  c.after_greyed);
        take_message(*std::make_unique<WindowMessage>());
        command(c.command);
        WindowMessage m;
        EXPECT_EQ(take_message(m), MsgMenu);
        EXPECT_EQ(m.VALUE1, c.command);
        EXPECT_EQ(gd().nRows, c.rows_after);
        EXPECT_EQ((Ids{gd().bUnsaved, gd().bChanged}), (Ids{1, 1}));
        if (c.command == GridWinInsertAfter && c.rows_after > c.rows_in_use) {
            std::int32_t option = 0;
            WGridGetCellMenu(0, 6, c.rows_after, option);
            EXPECT_EQ(option, 1);
            EXPECT_EQ(text_of(2, c.rows_after), "");
        }
        if (c.command == GridWinDeleteRow) {
            EXPECT_EQ(text_of(2, 1), "");
            std::int32_t option = 0;
            WGridGetCellMenu(0, 6, 1, option);
            EXPECT_EQ(option, 1);
        }
        WindowCloseChild(child);
    }
}

TEST_F(GridWindowTest, SizeLimitsFollowTheGridAndTheFrameNeverGrows) {
    open();
    ASSERT_EQ(convert(), 0);
    OsRect fitted;
    os_get_window_rect(frame(), fitted);
    OsMinMaxInfo mm;
    mm.max_size = mm.max_track = {5000, 5000};
    os_send_message(frame(), OSM_GETMINMAXINFO, 0, reinterpret_cast<std::intptr_t>(&mm));
    // The conversion fitted the frame to the whole grid, which is what it may grow to.
    EXPECT_EQ(mm.max_track.x, fitted.width());
    EXPECT_EQ(mm.max_track.y, fitted.height());
    EXPECT_EQ(mm.max_size.x, mm.max_track.x);
    EXPECT_LT(mm.min_track.x, mm.max_track.x);
    EXPECT_LT(mm.min_track.y, mm.max_track.y);
    // Smaller in both directions: left as it is; larger: back to the fit.
    windowselect(child);
    struct Case {
        std::int32_t w, h, want_w, want_h;
    };
    const Case cases[] = {{200, 100, 200, 100},
                          {fitted.width() + 300, 100, fitted.width(), 100},
                          {200, fitted.height() + 50, 200, fitted.height()},
                          {fitted.width() + 10, fitted.height() + 10, fitted.width(), fitted.height()}};
    for (const Case& c : cases) {
        os_set_window_pos(frame(), 0, 0, 0, c.w, c.h, OS_SWP_NOMOVE | OS_SWP_NOZORDER);
        yyGridWinSize(rec());
        OsRect r;
        os_get_window_rect(frame(), r);
        EXPECT_EQ((Ids{r.width(), r.height()}), (Ids{c.want_w, c.want_h})) << c.w << " x " << c.h;
    }
    // Fewer rows in use fit the frame to them.
    WGridRows(0, 2);
    OsRect r;
    os_get_window_rect(frame(), r);
    EXPECT_EQ(r.width(), fitted.width());
    EXPECT_EQ(r.height(), fitted.height() - 4 * (gd().nRowHeight - 1));
}

TEST_F(GridWindowTest, SpinStepsSnapToTheBase) {
    open(8904);
    ASSERT_EQ(convert(), 0);
    windowselect(child);
    struct Case {
        const char* what;
        std::int32_t small, large, base;
        const char* text;
        std::int32_t delta;
        const char* after;
    };
    const Case cases[] = {
        {"10 + 5 = 15, snapped to base 3: 13", 5, 20, 3, "10", 1, "13"},
        {"down by the large step, snapped by it: 10 to 3", 5, 20, 3, "30", -5, "3"},
        {"clamped at the maximum, not snapped", 5, 20, 3, "38", 1, "40"},
        {"clamped at the minimum", 5, 20, 3, "2", -1, "0"},
        {"a step of 0 snaps by 1", 0, 0, 3, "10", 1, "10"},
        {"a blank text counts as 0", 5, 20, 0, "", 1, "5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::int32_t s = 0;
        yygridspinstepi(s, 0, c.small, c.large, c.base);
        WGridSetCell(0, 2, 1);
        WGridSetCell(0, 1, 1);
        const OsHandle editor = gd().hEditor;
        FieldRecord* f = yyfieldrecord(editor);
        ASSERT_NE(f, nullptr);
        // The editor's spin button, as the frame hears of it.
        const OsHandle updown = os_create_window(0, "msctls_updown32", "", OS_WS_CHILD, 0, 0, 10, 10, gd().hCellArea, 0, 1);
        os_send_message(updown, UDM_SETBUDDY, static_cast<std::uintptr_t>(editor), 0);
        os_set_window_text(editor, c.text);
        os_send_message(editor, EM_SETMODIFY, 1, 0);
        OsUpDownNotify n;
        n.hdr = {updown, 0, OS_UDN_DELTAPOS};
        n.delta = c.delta;
        EXPECT_EQ(os_send_message(frame(), OSM_NOTIFY, 0, reinterpret_cast<std::intptr_t>(&n)), 0);
        EXPECT_EQ(os_get_window_text(editor), c.after);
        EXPECT_EQ(n.delta, 0);
        EXPECT_EQ(f->defined, 1);
        os_destroy_window(updown);
    }
    // Notifications of other up-downs go on to the frame procedure.
    const OsHandle stray = os_create_window(0, "msctls_updown32", "", OS_WS_CHILD, 0, 0, 10, 10, frame(), 0, 1);
    OsUpDownNotify n;
    n.hdr = {stray, 0, OS_UDN_DELTAPOS};
    n.delta = 1;
    os_send_message(frame(), OSM_NOTIFY, 0, reinterpret_cast<std::intptr_t>(&n));
    EXPECT_EQ(n.delta, 1);
}

}  // namespace

namespace {

TEST_F(GridCommandTest, MenuStatesPromptsTooltipsAndKeys) {
    // Without a selection, with nothing selected in the editor and an empty
    // clipboard, the editing commands are grey; Find Next waits for a text.
    os_send_message(frame(), OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(rec().hEditMenu), 1);
    os_send_message(frame(), OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(rec().hFileMenu), 0);
    os_send_message(frame(), OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(rec().hSearchMenu), 2);
    const auto grey = [](OsMenu m, std::int32_t id) {
        return (os_get_menu_state(m, static_cast<std::uint32_t>(id), OS_MF_BYCOMMAND) & OS_MF_GRAYED) != 0;
    };
    EXPECT_TRUE(grey(rec().hFileMenu, GridWinPrintSelection));
    EXPECT_TRUE(grey(rec().hEditMenu, GridWinCut));
    EXPECT_TRUE(grey(rec().hEditMenu, GridWinCopy));
    EXPECT_FALSE(grey(rec().hEditMenu, GridWinSort));
    EXPECT_TRUE(grey(rec().hSearchMenu, GridWinFindNext));
    // A selection lights them up; Select All makes one.
    command(GridWinSelectAll);
    EXPECT_EQ((Ids{gd().iSelFirstRow, gd().iSelLastRow, gd().iSelFirstColumn, gd().iSelLastColumn}), (Ids{0, 5, 0, 6}));
    os_send_message(frame(), OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(rec().hEditMenu), 1);
    os_send_message(frame(), OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(rec().hFileMenu), 0);
    EXPECT_FALSE(grey(rec().hFileMenu, GridWinPrintSelection));
    EXPECT_FALSE(grey(rec().hEditMenu, GridWinCut));
    EXPECT_FALSE(grey(rec().hEditMenu, GridWinCopy));
    // A disabled cell greys Sort and the row commands unless told to ignore it.
    std::int32_t s = 0;
    yygridcellstate(s, 1, 4, 0);
    WGridSetCell(0, 1, 2);
    os_send_message(frame(), OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(rec().hEditMenu), 1);
    EXPECT_TRUE(grey(rec().hEditMenu, GridWinSort));
    EXPECT_TRUE(grey(rec().hEditMenu, GridWinInsertBefore));
    EXPECT_TRUE(grey(rec().hEditMenu, GridWinDeleteRow));
    rec().iIgnoreDisabled = GWF_IGNOREDISABLED;
    os_send_message(frame(), OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(rec().hEditMenu), 1);
    EXPECT_FALSE(grey(rec().hEditMenu, GridWinSort));
    EXPECT_FALSE(grey(rec().hEditMenu, GridWinDeleteRow));

    // Prompts in the status bar's simple mode while the menu is open.
    os_send_message(frame(), OSM_ENTERMENULOOP, 0, 0);
    EXPECT_EQ(os_send_message(rec().hStatusBar, OSM_SB_ISSIMPLE, 0, 0), 1);
    struct Prompt {
        std::uintptr_t wp;
        std::intptr_t lp;
        const char* text;
    };
    const std::uintptr_t popup = static_cast<std::uintptr_t>(OS_MF_POPUP) << 16;
    const Prompt prompts[] = {
        {popup | 0, os_get_menu(frame()), "Commands to Load and Save files"},
        {popup | 2, os_get_menu(frame()), "Commands for Searching and Navigation"},
        {GridWinSaveHtml, rec().hFileMenu, "Saves the grid as an HTML document"},
        {GridWinInsertAfter, rec().hEditMenu, "Inserts a row into the grid, after the current row"},
        {GridWinGotoColumn, rec().hSearchMenu, "Moves to the specified column"},
    };
    for (const Prompt& p : prompts) {
        os_send_message(frame(), OSM_MENUSELECT, p.wp, p.lp);
        EXPECT_EQ(status_text(OS_SB_SIMPLEID), p.text);
    }
    os_send_message(frame(), OSM_EXITMENULOOP, 0, 0);
    EXPECT_EQ(os_send_message(rec().hStatusBar, OSM_SB_ISSIMPLE, 0, 0), 0);

    // Tooltips of the window's own bar.
    Texts tips;
    for (int i : {0, 1, 2, 4, 6, 8, 9, 10}) tips.push_back(os_input_tooltip(rec().hGridToolbar, i));
    EXPECT_EQ(tips, (Texts{"New", "Open", "Save", "Print", "Find", "Cut", "Copy", "Paste"}));

    // The program's keys reach the window's commands through the fetch:
    // Ctrl+E deletes the current row.
    rec().iIgnoreDisabled = 0;
    yygridcellstate(s, 1, 4, 1);
    WGridSetCell(0, 1, 2);
    put(1, 2, "gone");
    put(1, 3, "stays");
    os_input_key(gd().hEditor, 'E', OS_IN_CONTROL);
    WindowMessage m;
    std::int32_t type = 0;
    wmessagepeek(type, m);
    EXPECT_EQ(type, MsgMenu);
    EXPECT_EQ(m.VALUE1, GridWinDeleteRow);
    EXPECT_EQ(text_of(1, 2), "stays");
}

TEST_F(GridCommandTest, PrintNeedsAPrinterAndKeepsItsChoices) {
    hcstate.PrinterAvailable = 0;
    command(GridWinPrint);
    EXPECT_EQ(box_texts(), (std::vector<std::string>{"Error: No printer installed"}));
    EXPECT_EQ(boxes[0].style, OS_MB_OK | OS_MB_ICONSTOP);
    EXPECT_EQ(seen().type, 0);
    // With a printer: the dialog shows option set 2; the choices go back to it.
    hcstate.PrinterAvailable = 1;
    TempDir out;
    os_config().print_directory = out.path().string();
    os_config().printer_name.clear();
    std::snprintf(rec().szFileName, sizeof rec().szFileName, "%s", "/data/wells.csv");
    std::int32_t rows = 0, cols = 0, repeat = 0, text = 0, back = 0, scale = 0;
    yygridprintsetopt(1, 1, 1, 1, 1, 100, 2);
    // The user turns row lines off, headers to once, text colours only, 80 %, and ends with a button.
    bool shown_rows = false;
    const auto choose = [&](std::int32_t button) {
        os_set_wait_script([&, button] {
            const OsHandle d = yycurrentdialog();
            shown_rows = os_send_message(os_get_dlg_item(d, 1002), BM_GETCHECK, 0, 0) == 1;
            for (std::int32_t id : {1002, 1005, 1009}) DialogScript::click(os_get_dlg_item(d, id));
            DialogScript::type_into(os_get_dlg_item(d, 1012), "80");
            DialogScript::click(os_get_dlg_item(d, button));
        });
        command(GridWinPrint);
        os_set_wait_script({});
    };
    choose(2);
    yygridprintgetopt(rows, cols, repeat, text, back, scale, 2);
    EXPECT_TRUE(shown_rows);
    EXPECT_EQ((Ids{rows, cols, repeat, text, back, scale}), (Ids{1, 1, 1, 1, 1, 100}));   // cancelled: unchanged
    choose(1);
    yygridprintgetopt(rows, cols, repeat, text, back, scale, 2);
    EXPECT_EQ((Ids{rows, cols, repeat, text, back, scale}), (Ids{0, 1, 0, 1, 0, 80}));
    EXPECT_FALSE(os_is_window(yycurrentdialog()) && dialog_state.current_id == GridPrintDialog);
    // The printed document is named after the window's file.
    EXPECT_TRUE(std::filesystem::exists(out.file("_data_wells.csv.pdf")));
    EXPECT_FALSE(std::filesystem::exists(out.file("Untitled Grid.pdf")));
}

TEST_F(GridWindowTest, ASplitPaneAsksBeforeItsSplitWindowCloses) {
    ASSERT_EQ(load(8901), 0);
    windowselect(0);
    std::int32_t p1 = 0, p2 = 0, d1 = 0, d2 = 0;
    yywindowsplit(p1, p2, 0, 0, 0, -1, 0, 0, {}, {}, d1, d2, "Grid", "Other");
    ASSERT_GT(p1, 0);
    child = p1;
    windowselect(p1);
    ASSERT_EQ(convert(), 0);
    EXPECT_EQ(yyCloseCheck(0), 1);   // unchanged
    gd().bUnsaved = 1;
    box_answers = {OS_IDCANCEL, OS_IDNO};
    EXPECT_EQ(yyCloseCheck(0), 0);
    EXPECT_EQ(yyCloseCheck(0), 1);
    EXPECT_EQ(boxes.size(), 2u);
}

}  // namespace

namespace {

TEST_F(GridWindowTest, TheUsersMenuItsKeysAndPromptsStayTheProgramsOwn) {
    open();
    ASSERT_EQ(convert(0, 2, 8920), 0);
    windowselect(child);
    EXPECT_EQ(wtab.hQDXMenuString[static_cast<std::size_t>(child)], 8920);
    // Its command, by menu or by its key, reaches the program as a menu message.
    command(8931);
    WindowMessage m;
    EXPECT_EQ(take_message(m), MsgMenu);
    EXPECT_EQ(m.VALUE1, 8931);
    os_input_key(gd().hEditor, 'K', OS_IN_CONTROL);
    std::int32_t type = 0;
    wmessagepeek(type, m);
    EXPECT_EQ(type, MsgMenu);
    EXPECT_EQ(m.VALUE1, 8931);
    // Its prompt comes from the program's prompt resource.
    os_send_message(frame(), OSM_ENTERMENULOOP, 0, 0);
    const OsMenu tools = os_get_sub_menu(os_get_menu(frame()), 3);
    os_send_message(frame(), OSM_MENUSELECT, 8931, tools);
    EXPECT_EQ(status_text(OS_SB_SIMPLEID), "Counts the wells");
    os_send_message(frame(), OSM_EXITMENULOOP, 0, 0);
}

}  // namespace

namespace {

TEST_F(GridWindowTest, SemiModelessWindowsHoldTheOthersUntilTheyGo) {
    open();
    ASSERT_EQ(convert(0, 3), 0);
    EXPECT_EQ(dlgtab.nSemi, 1);
    EXPECT_FALSE(os_is_window_enabled(wtab.wWindow[0]));
    EXPECT_TRUE(os_is_window_enabled(frame()));
    WindowCloseChild(child);
    EXPECT_EQ(dlgtab.nSemi, 0);
    EXPECT_TRUE(os_is_window_enabled(wtab.wWindow[0]));
}

TEST_F(GridWindowTest, RevertingGivesThePlainWindowBack) {
    open();
    const OsMenu before = os_get_menu(frame());
    ASSERT_EQ(convert(), 0);
    const OsHandle grid = rec().hGrid, bar = rec().hGridToolbar;
    windowselect(child);
    std::int32_t dialog = 0, status = -1;
    yywindowrevert(dialog, 0, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(yyspecialkind(frame()), 0);
    EXPECT_FALSE(os_is_window(grid));
    EXPECT_FALSE(os_is_window(bar));
    EXPECT_TRUE(os_is_window_visible(wtab.hClient[static_cast<std::size_t>(child)]));
    EXPECT_EQ(os_get_window_proc(frame()), yyWndProc);
    EXPECT_EQ(os_get_menu(frame()), before);
    // It may be converted again.
    ASSERT_EQ(convert(), 0);
}

}  // namespace
