// Editor windows: converting a child window (statuses, menus, tool bar,
// status bar, title), the commands and what the program hears of them,
// multi-file View items, bookmarks, the command history, the find and font
// dialogs, the colouring painter and printing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "lib/dialog/dialog.h"
#include "lib/grid/editor.h"
#include "lib/window/childwin.h"
#include "lib/window/errors.h"
#include "platform/os_commondlg.h"
#include "platform/os_dialog.h"
#include "platform/os_fontdlg.h"
#include "platform/os_cliptext.h"
#include "platform/os_menu.h"
#include "platform/os_metafile.h"
#include "platform/os_msgbox.h"
#include "platform/os_resource.h"
#include "platform/os_richedit.h"
#include "tests/grid/picture.h"
#include "tests/window/window_fixture.h"

namespace {

std::intptr_t ptr(const void* p) { return reinterpret_cast<std::intptr_t>(p); }
std::string fname(int n) {
    char b[32];
    std::snprintf(b, sizeof b, "f%d.txt", n);
    return b;
}

class EditorWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        open(900, 700);
        infoerror(1);
        os_message_box_set_responder([this](const OsMessageBoxRequest& q) {
            boxes.push_back(q.caption + ": " + q.text);
            return answer;
        });
    }
    void TearDown() override {
        os_set_wait_script({});
        os_message_box_set_responder({});
        os_common_dialog_set_responder({});
        os_font_dialog_set_responder({});
        os_resource_hide(32101, false);
        edit_parse_callback = yyeditparsecallback;
    }
    // A child window with a caption and a status bar, made current.
    std::int32_t child(std::int32_t flags = 7 | 0x20, const char* title = "Ed") {
        std::int32_t c = 0;
        WindowOpenChild(c, flags, 20, 20, 600, 400, 0, {}, 0, title);
        EXPECT_GT(c, 0);
        wtab.wIndex = c;
        return c;
    }
    std::int32_t convert(std::int32_t flags, std::int32_t menu = 0, std::int32_t mode = 2, std::string_view file = {}) {
        std::int32_t status = 0;
        yyeditfile(status, mode, menu, flags, 4, 10, -1, file, {});
        return status;
    }
    EditorWindowData& ed() { return *yyeditcurrent(); }
    OsHandle frame() { return wtab.wWindow[static_cast<std::size_t>(wtab.wIndex)]; }
    void command(std::int32_t id) { os_send_message(frame(), OSM_COMMAND, static_cast<std::uintptr_t>(id), 0); }
    static std::vector<std::string> items(OsHandle menu) {
        std::vector<std::string> out;
        for (int i = 0; i < os_menu_item_count(menu); ++i) {
            OsMenuItemInfo it;
            os_get_menu_item(menu, i, it);
            out.push_back(it.kind == OS_MENU_SEPARATOR ? "-" : it.text);
        }
        return out;
    }
    static std::vector<int> buttons(OsHandle tb) {
        std::vector<int> out;
        if (!tb) return out;
        const auto n = os_send_message(tb, OSM_TB_BUTTONCOUNT, 0, 0);
        for (int i = 0; i < n; ++i) {
            OsTbButton b;
            os_send_message(tb, OSM_TB_GETBUTTON, static_cast<std::uintptr_t>(i), ptr(&b));
            out.push_back(b.command);
        }
        return out;
    }
    std::string status_part(int part) {
        char buf[512] = {};
        os_send_message(ed().hStatusBar, OSM_SB_GETTEXT, static_cast<std::uintptr_t>(part), ptr(buf));
        return buf;
    }
    void type(const char* text) {
        for (const char* p = text; *p; ++p) os_send_message(ed().hRichEdit, OSM_CHAR, static_cast<unsigned char>(*p), 0);
    }
    std::string text() {
        std::vector<char> buf(4096);
        std::int32_t st = 0;
        yyeditgettext(st, 4096, buf.data());
        return buf.data();
    }
    void select(std::int32_t a, std::int32_t b) {
        OsCharRange cr{a, b};
        os_send_message(ed().hRichEdit, OS_EM_EXSETSEL, 0, ptr(&cr));
    }
    // A picture of the window, kept where QUINDA_WRITE_PICTURES says to look at it.
    Picture grab(const std::string& name) {
        const char* keep = std::getenv("QUINDA_WRITE_PICTURES");
        const std::string file = keep && *keep ? std::string(keep) + "/" + name : name;
        Picture p = grab_picture(frame(), file);
        EXPECT_GT(p.width, 0) << name;
        return p;
    }
    std::vector<std::string> boxes;
    std::int32_t answer = OS_IDNO;
    TempDir dir{true};
};

}  // namespace

TEST_F(EditorWindowTest, ConversionStatuses) {
    // The root window.
    wtab.wIndex = 0;
    EXPECT_EQ(convert(0), 1);
    WEditFile(2, 0, 0, 4, 10, -1, "");
    EXPECT_EQ(infoerror(1), 1022);

    // A window with an inside child in its client area.
    const std::int32_t a = child();
    std::int32_t inner = 0;
    WindowOpenChild(inner, 0x10, 0, 0, 50, 50, 0, {}, 0, "", a);
    ASSERT_GT(inner, 0);
    wtab.wIndex = a;
    EXPECT_EQ(convert(0), 11);
    EXPECT_EQ(yyeditcurrent(), nullptr);
    WEditFile(2, 0, 0, 4, 10, -1, "");
    EXPECT_EQ(infoerror(1), 1057);
    WEditFile(4, 0, 0, 4, 10, -1, "");   // no such mode
    EXPECT_EQ(infoerror(1), 1024);
    WindowCloseChild(inner);

    // A window of another kind stays as it is.
    WindowKind3Record other;
    os_set_window_user(frame(), ptr(other.w.data()));
    EXPECT_EQ(convert(0), 8);
    WEditFile(2, 0, 0, 4, 10, -1, "");
    EXPECT_EQ(infoerror(1), 1038);
    os_set_window_user(frame(), 0);

    // A menu that is not in the resources: an empty bar with the editor's pop-ups.
    EXPECT_EQ(convert(0, 8899), 3);
    ASSERT_NE(yyeditcurrent(), nullptr);
    EXPECT_EQ(items(ed().hMenu), (std::vector<std::string>{"&File", "&Edit", "&Search"}));
    EXPECT_EQ(os_get_menu(frame()), ed().hMenu);
    WindowCloseChild(a);

    // The public routine reports the same as error 1002 and still builds the editor.
    child();
    WEditFile(2, 8899, 0, 4, 10, -1, "");
    EXPECT_EQ(infoerror(1), 1002);
    EXPECT_NE(yyeditcurrent(), nullptr);
    WindowCloseChild(wtab.wIndex);

    // The application's menu keeps its own pop-ups after the editor's.
    child();
    EXPECT_EQ(convert(0, 8890), 0);
    EXPECT_EQ(items(ed().hMenu), (std::vector<std::string>{"&File", "&Edit", "&Search", "&Tools"}));
    EXPECT_EQ(os_get_menu_item_id(ed().hMenu, 0), 32100);
    EXPECT_EQ(os_get_menu_item_id(ed().hMenu, 2), 32140);
    WindowCloseChild(wtab.wIndex);

    // Inside the root's client area: no menu in mode 2, mode 2 instead of 3.
    const std::int32_t in1 = child(0x10 | 0x20);
    EXPECT_EQ(convert(0, 8890, 2), 4);
    EXPECT_EQ(ed().hMenu, 0);
    WindowCloseChild(in1);
    child(0x10 | 0x20);
    std::int32_t status = 0, mode = 3;
    yyeditfile(status, mode, 0, 0, 4, 10, -1, "", "");
    EXPECT_EQ(status, 5);
    EXPECT_EQ(mode, 2);
    WindowCloseChild(wtab.wIndex);
    // Asked to be modal: the snapshots of the modal phase go at once, the
    // root window's too.
    child(0x10 | 0x20);
    std::int32_t snap = 0;
    yygetwindowbitmap(1, NoWindowLeftOut, snap);
    ASSERT_NE(wtab.hImage[0], 0);
    mode = 1;
    yyeditfile(status, mode, 0, 0, 4, 10, -1, "", "");
    EXPECT_EQ(status, 5);
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(wtab.hImage[0], 0);
    EXPECT_EQ(wtab.wBlitOn, 0);
    WindowCloseChild(wtab.wIndex);

    // Modal: no command field, no application menu; it returns when closed.
    for (const auto& [menu, flags, want] : std::vector<std::tuple<int, int, int>>{{0, EWF_COMMAND, 7}, {8890, 0, 2}}) {
        const std::int32_t m = child();
        const OsHandle f = frame();
        os_set_wait_script([f] { os_post_message(f, OSM_CLOSE, 0, 0); });
        EXPECT_EQ(convert(flags, menu, 1), want);
        os_set_wait_script({});
        EXPECT_EQ(wtab.wWindow[static_cast<std::size_t>(m)], 0);
    }

    // A twenty-first file.
    child();
    ASSERT_EQ(convert(EWF_MULTIFILE), 0);
    for (int n = 1; n <= 20; ++n) {
        write_file(fname(n), "file " + std::to_string(n));
        EXPECT_EQ(convert(EWF_MULTIFILE, 0, 2, fname(n)), 0);
    }
    EXPECT_EQ(ed().nBuffers, 20);
    write_file("f21.txt", "21");
    EXPECT_EQ(convert(EWF_MULTIFILE, 0, 2, "f21.txt"), 12);
    EXPECT_EQ(ed().nBuffers, 20);
    WEditFile(2, 0, EWF_MULTIFILE, 4, 10, -1, "f21.txt");
    EXPECT_EQ(infoerror(1), 1068);
}

TEST_F(EditorWindowTest, MenusAndToolBarFollowTheOptionsAndTheAcceleratorTable) {
    struct Case {
        std::int32_t flags;
        bool accel;
        std::vector<std::string> bar, file, edit, search;
        std::vector<int> tools;
    };
    const std::vector<Case> cases = {
        {0, true, {"&File", "&Edit", "&Search"},
         {"&New\tCtrl+N", "&Open\tCtrl+O", "&Save\tCtrl+S", "Save &As\tF12", "-", "&Print\tCtrl+P", "Prin&t Selection", "-", "E&xit"},
         {"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-", "Select &All\tCtrl+A"},
         {"&Find\tCtrl+F", "Find &Next\tF3", "&Replace\tCtrl+H", "-", "&Set Bookmark\tShift+F2", "Goto &Bookmark\tF2"},
         {32101, 32102, 32103, 0, 32105, 0, 32141, 0, 32122, 32123, 32124, 32121, 32127}},
        {0, false, {"&File", "&Edit", "&Search"},
         {"&New", "&Open", "&Save", "Save &As", "-", "&Print", "Prin&t Selection", "-", "E&xit"},
         {"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-", "Select &All\tCtrl+A"},
         {"&Find", "Find &Next", "&Replace", "-", "&Set Bookmark", "Goto &Bookmark"},
         {32101, 32102, 32103, 0, 32105, 0, 32141, 0, 32122, 32123, 32124, 32121, 32127}},
        {EWF_READONLY | EWF_MULTIFILE, false, {"&File", "&Edit", "&Search", "&View"},
         {"&Open", "&Close", "-", "&Print", "Prin&t Selection", "-", "E&xit"},
         {"&Copy\tCtrl+C", "-", "Select &All\tCtrl+A"},
         {"&Find", "Find &Next", "-", "&Set Bookmark", "Goto &Bookmark"},
         {32102, 0, 32105, 0, 32141, 0, 32123}},
        {EWF_MULTIFILE | EWF_NOCLOSE | EWF_NOPRINT, true, {"&File", "&Edit", "&Search", "&View"},
         {"&New\tCtrl+N", "&Open\tCtrl+O", "&Save\tCtrl+S", "Save &As\tF12", "-", "E&xit"},
         {"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-", "Select &All\tCtrl+A"},
         {"&Find\tCtrl+F", "Find &Next\tF3", "&Replace\tCtrl+H", "-", "&Set Bookmark\tShift+F2", "Goto &Bookmark\tF2"},
         {32101, 32102, 32103, 0, 32141, 0, 32122, 32123, 32124, 32121, 32127}},
        {EWF_RICHTEXT | EWF_NONEWOPEN | EWF_NOPRINT | EWF_NOSAVEAS, true, {"&File", "&Edit", "&Search", "F&ormat"},
         {"&Save\tCtrl+S", "-", "E&xit"},
         {"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-", "Select &All\tCtrl+A"},
         {"&Find\tCtrl+F", "Find &Next\tF3", "&Replace\tCtrl+H", "-", "&Set Bookmark\tShift+F2", "Goto &Bookmark\tF2"},
         {32103, 0, 32141, 0, 32122, 32123, 32124, 32121, 32127, 0, 32166, 32167, 32168, 0, 32163, 32164, 32165, 0, 32162}},
        {EWF_NOSAVE | EWF_NONEWOPEN, true, {"&File", "&Edit", "&Search"},
         {"&Print\tCtrl+P", "Prin&t Selection", "-", "E&xit"},
         {"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-", "Select &All\tCtrl+A"},
         {"&Find\tCtrl+F", "Find &Next\tF3", "&Replace\tCtrl+H", "-", "&Set Bookmark\tShift+F2", "Goto &Bookmark\tF2"},
         {32105, 0, 32141, 0, 32122, 32123, 32124, 32121, 32127}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << std::hex << c.flags << " accel " << c.accel);
        os_resource_hide(32101, !c.accel);
        const std::int32_t s = child();
        ASSERT_EQ(convert(c.flags), 0);
        EditorWindowData& r = ed();
        EXPECT_EQ(r.hEditAccel != 0, c.accel);
        EXPECT_EQ(items(r.hMenu), c.bar);
        EXPECT_EQ(items(r.hFileMenu), c.file);
        EXPECT_EQ(items(r.hEditMenu), c.edit);
        EXPECT_EQ(items(r.hSearchMenu), c.search);
        EXPECT_EQ(buttons(r.hEditToolbar), c.tools);
        // Cut, Copy, Undo and Redo start disabled; Align Left checked.
        for (int id : {32122, 32123, 32121}) {
            if (os_send_message(r.hEditToolbar, OSM_TB_COMMANDTOINDEX, static_cast<std::uintptr_t>(id), 0) < 0) continue;
            EXPECT_EQ(os_send_message(r.hEditToolbar, OSM_TB_ISBUTTONENABLED, static_cast<std::uintptr_t>(id), 0), 0) << id;
        }
        if (c.flags & EWF_RICHTEXT) {
            EXPECT_NE(os_send_message(r.hEditToolbar, OSM_TB_ISBUTTONCHECKED, 32163, 0), 0);
            EXPECT_EQ(items(r.hFormatMenu), (std::vector<std::string>{"&Font", "&Bullet Style"}));
        }
        // Goto Bookmark starts grayed.
        EXPECT_NE(os_get_menu_state(r.hSearchMenu, 32148, OS_MF_BYCOMMAND) & OS_MF_GRAYED, 0u);
        WindowCloseChild(s);
    }
    // Neither menus nor tool bar.
    const std::int32_t s = child();
    ASSERT_EQ(convert(EWF_NOMENU | EWF_NOTOOLBAR), 0);
    EXPECT_EQ(ed().hMenu, 0);
    EXPECT_EQ(os_get_menu(frame()), 0);
    EXPECT_EQ(ed().hEditToolbar, 0);
    WindowCloseChild(s);
}

TEST_F(EditorWindowTest, StatusPartsAndTitle) {
    write_file("notes.txt", "one\r\ntwo words\r\n");
    const std::string path = (std::filesystem::current_path() / "notes.txt").string();
    struct Case {
        bool caption;
        std::int32_t flags;
        const char* base;
        std::string title, part4;
    };
    const std::vector<Case> cases = {
        {true, EWF_MODIFIEDMARK, "Ed", "Ed - [" + path + "]", ""},
        {true, 0, "", path, ""},
        {true, EWF_HIDENAME, "Ed", "Ed", ""},
        {false, EWF_MODIFIEDMARK, "Ed", "Ed", path},
        {false, EWF_HIDENAME, "Ed", "Ed", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title + " | " + c.part4);
        const std::int32_t s = child(7 | 0x20, c.base);
        if (!c.caption) os_set_style(frame(), os_get_style(frame()) & ~OS_WS_CAPTION);
        ASSERT_EQ(convert(c.flags, 0, 2, "notes.txt"), 0);
        std::int32_t edges[8] = {};
        const auto n = os_send_message(ed().hStatusBar, OSM_SB_GETPARTS, 8, ptr(edges));
        EXPECT_EQ(n, c.caption ? 4 : 5);
        EXPECT_EQ(edges[0], 130);
        EXPECT_EQ(edges[3], 250);
        EXPECT_EQ(status_part(0), "Line:1   Col:1");
        EXPECT_EQ(status_part(3), "\tINS");
        if (c.caption) {
            EXPECT_EQ(os_get_window_text(frame()), c.title);
        } else {
            EXPECT_EQ(status_part(4), c.part4);
        }
        // Typing marks the name with " *" when asked to.
        select(5, 5);
        type("x");
        EXPECT_EQ(status_part(0), "Line:2   Col:3");
        const bool mark = (c.flags & EWF_MODIFIEDMARK) && !(c.flags & EWF_HIDENAME);
        if (c.caption) {
            EXPECT_EQ(os_get_window_text(frame()), mark ? "Ed - [" + path + " *]" : c.title);
        } else {
            EXPECT_EQ(status_part(4), mark ? path + " *" : c.part4);
        }
        // Insert toggles the mode shown.
        os_send_message(ed().hRichEdit, OSM_KEYDOWN, 0x2D, 0);
        EXPECT_EQ(status_part(3), "\tOVR");
        ed().bChanged = 0;
        os_send_message(ed().hRichEdit, EM_SETMODIFY, 0, 0);
        WindowCloseChild(s);
    }
}

TEST_F(EditorWindowTest, CommandsReachTheProgramAndPopupsFollowTheText) {
    child();
    ASSERT_EQ(convert(EWF_MULTIFILE, 8890), 0);
    EditorWindowData& r = ed();
    type("hello world");
    wmsg.wMessageType = 0;
    command(8891);  // the program's own item
    EXPECT_EQ(pending_message().type, MsgMenu);
    EXPECT_EQ(pending_message().value1, 8891);
    // New keeps the text as file 1 and starts file 2.
    answer = OS_IDNO;
    command(32101);
    EXPECT_EQ(pending_message().value1, 32101);
    EXPECT_EQ(r.nBuffers, 2);
    EXPECT_EQ(items(r.hViewMenu), (std::vector<std::string>{"&1\tUntitled", "&2\tUntitled"}));
    EXPECT_EQ(text(), "");
    type("x");
    command(32181);
    EXPECT_EQ(pending_message().value1, 32181);
    EXPECT_EQ(text(), "hello world");
    type("!");
    // Pop-ups when they open.
    select(3, 3);
    os_send_message(frame(), OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(r.hFileMenu), 0);
    EXPECT_NE(os_get_menu_state(r.hFileMenu, 32106, OS_MF_BYCOMMAND) & OS_MF_GRAYED, 0u);
    os_send_message(frame(), OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(r.hEditMenu), 0);
    EXPECT_NE(os_get_menu_state(r.hEditMenu, 32122, OS_MF_BYCOMMAND) & OS_MF_GRAYED, 0u);
    EXPECT_EQ(os_get_menu_state(r.hEditMenu, 32121, OS_MF_BYCOMMAND) & OS_MF_GRAYED, 0u);  // typing can be undone
    select(0, 5);
    os_send_message(frame(), OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(r.hFileMenu), 0);
    EXPECT_EQ(os_get_menu_state(r.hFileMenu, 32106, OS_MF_BYCOMMAND) & OS_MF_GRAYED, 0u);
    os_send_message(frame(), OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(r.hEditMenu), 0);
    EXPECT_EQ(os_get_menu_state(r.hEditMenu, 32122, OS_MF_BYCOMMAND) & OS_MF_GRAYED, 0u);
    EXPECT_NE(os_send_message(r.hEditToolbar, OSM_TB_ISBUTTONENABLED, 32123, 0), 0);
    // Tooltips and menu prompts come from the command table.
    EXPECT_EQ(os_input_tooltip(r.hEditToolbar, 0), "New");
    EXPECT_EQ(os_input_tooltip(r.hEditToolbar, 6), "Find");
    os_send_message(frame(), OSM_ENTERMENULOOP, 0, 0);
    os_send_message(frame(), OSM_MENUSELECT, os_make_lparam(32107, 0), static_cast<std::intptr_t>(r.hFileMenu));
    char buf[256] = {};
    os_send_message(r.hStatusBar, OSM_SB_GETTEXT, OS_SB_SIMPLEID, ptr(buf));
    EXPECT_STREQ(buf, "Closes the current document; prompts you to save changes");
    os_send_message(frame(), OSM_MENUSELECT, os_make_lparam(0, OS_MF_POPUP), static_cast<std::intptr_t>(r.hMenu));
    os_send_message(r.hStatusBar, OSM_SB_GETTEXT, OS_SB_SIMPLEID, ptr(buf));
    EXPECT_STREQ(buf, "Commands to Load, Save and Print files");
    os_send_message(frame(), OSM_EXITMENULOOP, 0, 0);
    // Exit asks about both files, then tells the program.
    boxes.clear();
    wmsg.wMessageType = 0;
    command(32108);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Ed: Do you want to save changes?", "Ed: Do you want to save changes?"}));
    EXPECT_EQ(pending_message().type, MsgClose);
    EXPECT_EQ(r.iBuffer, 2);  // the last file asked about stays shown
    // Cancel on the second file's question brings back the file shown before.
    command(32181);
    int asked = 0;
    os_message_box_set_responder([&](const OsMessageBoxRequest&) { return ++asked == 1 ? OS_IDNO : OS_IDCANCEL; });
    wmsg.wMessageType = 0;
    command(32108);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(wmsg.wMessageType, 0);
    EXPECT_EQ(r.iBuffer, 1);
    EXPECT_EQ(text(), "hello world!");
}

TEST_F(EditorWindowTest, KeysReachTheCommandsOnlyThroughTheAcceleratorTable) {
    for (bool accel : {true, false}) {
        SCOPED_TRACE(accel);
        os_resource_hide(32101, !accel);
        const std::int32_t s = child();
        ASSERT_EQ(convert(0), 0);
        os_set_focus(ed().hRichEdit);
        settle();
        os_input_key(ed().hRichEdit, 'F', OS_IN_CONTROL);
        settle();
        EXPECT_EQ(ed().hFindDialog != 0, accel);
        // Typing reaches the text either way.
        os_input_key(ed().hRichEdit, 'A', 0, "a");
        settle();
        EXPECT_EQ(text(), "a");
        WindowCloseChild(s);
    }
}

TEST_F(EditorWindowTest, ViewItemsOpeningAndClosingFiles) {
    child();
    ASSERT_EQ(convert(EWF_MULTIFILE), 0);
    const auto full = [](const std::string& n) { return (std::filesystem::current_path() / n).string(); };
    // The untouched first file is replaced, not kept beside the new one.
    for (int n = 1; n <= 11; ++n) {
        write_file(fname(n), "text " + std::to_string(n));
        ASSERT_EQ(convert(EWF_MULTIFILE, 0, 2, fname(n)), 0);
    }
    EditorWindowData& r = ed();
    EXPECT_EQ(r.nBuffers, 11);
    const auto v = items(r.hViewMenu);
    EXPECT_EQ(v[0], "&1\t" + full("f1.txt"));
    EXPECT_EQ(v[9], "&A\t" + full("f10.txt"));
    EXPECT_EQ(v[10], "&B\t" + full("f11.txt"));
    EXPECT_EQ(os_get_menu_item_id(r.hViewMenu, 10), 32191);
    // A file held already is switched to; a name differing in case is another file.
    ASSERT_EQ(convert(EWF_MULTIFILE, 0, 2, "f3.txt"), 0);
    EXPECT_EQ(r.iBuffer, 3);
    EXPECT_EQ(text(), "text 3");
    EXPECT_NE(os_get_menu_state(r.hViewMenu, 2, OS_MF_BYPOSITION) & OS_MF_CHECKED, 0u);
    write_file("F3.txt", "capital");
    ASSERT_EQ(convert(EWF_MULTIFILE, 0, 2, "F3.txt"), 0);
    EXPECT_EQ(r.nBuffers, 12);
    // Open through the dialog of a file already held reports the View item.
    os_common_dialog_set_responder([&](const OsCommonDialogRequest&) {
        OsCommonDialogAnswer a;
        a.ok = true;
        a.files = {full("f2.txt")};
        a.filter_index = 1;
        return a;
    });
    wmsg.wMessageType = 0;
    command(32102);
    EXPECT_EQ(r.iBuffer, 2);
    EXPECT_EQ(pending_message().value1, 32182);
    // Closing file 3 renumbers the rest.
    command(32183);
    command(32107);
    EXPECT_EQ(r.nBuffers, 11);
    EXPECT_EQ(r.iBuffer, 3);
    EXPECT_EQ(text(), "text 4");
    const auto w = items(r.hViewMenu);
    ASSERT_EQ(w.size(), 11u);
    EXPECT_EQ(w[2], "&3\t" + full("f4.txt"));
    EXPECT_EQ(w[9], "&A\t" + full("f11.txt"));
    command(32181);
    EXPECT_EQ(text(), "text 1");
}

TEST_F(EditorWindowTest, ClosingTheOnlyFileLeavesAnUntitledText) {
    child();
    write_file("a.txt", "alpha");
    ASSERT_EQ(convert(EWF_MULTIFILE, 0, 2, "a.txt"), 0);
    command(32107);
    EXPECT_EQ(items(ed().hViewMenu), (std::vector<std::string>{"&1\tUntitled"}));
    EXPECT_EQ(text(), "");
    EXPECT_EQ(ed().szFileName[0], 0);
}

TEST_F(EditorWindowTest, BookmarkMovesWithTypingBeforeItOnly) {
    child();
    ASSERT_EQ(convert(0), 0);
    type("abcdef");
    select(4, 4);
    command(32147);
    os_send_message(frame(), OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(ed().hSearchMenu), 0);
    EXPECT_EQ(os_get_menu_state(ed().hSearchMenu, 32148, OS_MF_BYCOMMAND) & OS_MF_GRAYED, 0u);
    select(1, 1);
    type("XY");  // before: the bookmark moves two on
    select(8, 8);
    type("Z");   // after: it stays
    select(0, 0);
    command(32148);
    OsCharRange cr;
    os_send_message(ed().hRichEdit, OS_EM_EXGETSEL, 0, ptr(&cr));
    EXPECT_EQ(cr.cpMin, 6);
    EXPECT_EQ(cr.cpMax, 6);
}

TEST_F(EditorWindowTest, CommandFieldHistory) {
    child();
    ASSERT_EQ(convert(EWF_HISTORY), 0);
    EditorWindowData& r = ed();
    ASSERT_NE(r.hCommand, r.hCommandEdit);
    std::int32_t st = -1;
    yyeditcheckhistory(st);
    EXPECT_EQ(st, 0);
    const OsHandle e = r.hCommandEdit;
    auto enter = [&](const std::string& t) {
        os_set_window_text(e, t);
        wmsg.wMessageType = 0;
        os_send_message(e, OSM_CHAR, 13, 0);
        EXPECT_EQ(wmsg.wMessageType, MsgEditReturn);
    };
    for (int i = 0; i < 105; ++i) enter("cmd " + std::to_string(i));
    enter("cmd 104");  // equal to the top: not added again
    enter("   ");      // blank: not added
    std::int32_t n = 0;
    yyeditinfo(wtab.wIndex, 10, n);
    EXPECT_EQ(n, 100);
    char top[16] = {}, last[16] = {};
    yyeditgethistory(0, top, sizeof top);
    yyeditgethistory(99, last, sizeof last);
    EXPECT_STREQ(top, "cmd 104");
    EXPECT_STREQ(last, "cmd 5");
    char small[4] = {'x', 'x', 'x', 'x'};
    yyeditgethistory(0, small, 3);
    EXPECT_STREQ(small, "cm");
    // Up and Down walk the list; Escape empties the field.
    os_send_message(r.hCommand, CB_SETCURSEL, static_cast<std::uintptr_t>(-1), 0);
    // Nothing selected: the first entry that begins with the field's text ("cmd 7" finds "cmd 79").
    os_set_window_text(e, "cmd 7");
    os_send_message(e, OSM_KEYDOWN, 0x26, 0);
    EXPECT_EQ(os_send_message(r.hCommand, CB_GETCURSEL, 0, 0), 25);
    os_send_message(e, OSM_KEYDOWN, 0x26, 0);
    EXPECT_EQ(os_send_message(r.hCommand, CB_GETCURSEL, 0, 0), 24);
    os_send_message(e, OSM_KEYDOWN, 0x28, 0);
    EXPECT_EQ(os_send_message(r.hCommand, CB_GETCURSEL, 0, 0), 25);
    EXPECT_EQ(os_get_window_text(e), "cmd 79");
    // Up stops at the first entry; Down past the last selects nothing.
    os_send_message(r.hCommand, CB_SETCURSEL, 0, 0);
    os_send_message(e, OSM_KEYDOWN, 0x26, 0);
    EXPECT_EQ(os_send_message(r.hCommand, CB_GETCURSEL, 0, 0), 0);
    os_send_message(r.hCommand, CB_SETCURSEL, 99, 0);
    os_send_message(e, OSM_KEYDOWN, 0x28, 0);
    EXPECT_EQ(os_send_message(r.hCommand, CB_GETCURSEL, 0, 0), -1);
    os_send_message(e, OSM_CHAR, 27, 0);
    EXPECT_EQ(os_get_window_text(e), "");
    // Page Down in the field scrolls the text a page.
    std::string lines;
    for (int i = 0; i < 200; ++i) lines += "line\r";
    yyeditputtext(st, lines.c_str());
    os_send_message(e, OSM_KEYDOWN, 0x22, 0);
    EXPECT_GT(os_send_message(r.hRichEdit, OS_EM_GETFIRSTVISIBLELINE, 0, 0), 5);
    // Command text in and out.
    yyeditputcommand(st, "run 42", 3);
    EXPECT_EQ(st, 0);
    char got[4];
    yyeditgetcommand(st, got, sizeof got);
    EXPECT_EQ(st, 2);
    EXPECT_STREQ(got, "run");
    yyeditprompt(st, "Command:", 8);
    EXPECT_EQ(st, 0);
    OsRect pr;
    os_get_window_rect(r.hPromptFrame, pr);
    EXPECT_GT(pr.width(), 20);
    yyeditclearhistory(st);
    yyeditinfo(wtab.wIndex, 10, n);
    EXPECT_EQ(n, 0);
}

TEST_F(EditorWindowTest, FindDialogDrivesTheSearch) {
    child();
    ASSERT_EQ(convert(0), 0);
    EditorWindowData& r = ed();
    type("one two one two");
    select(0, 0);
    command(32141);
    ASSERT_NE(r.hFindDialog, 0);
    os_set_window_text(os_get_dlg_item(r.hFindDialog, OS_FIND_EDIT), "two");
    os_send_message(os_get_dlg_item(r.hFindDialog, OS_FIND_NEXT), BM_CLICK, 0, 0);
    OsCharRange cr;
    os_send_message(r.hRichEdit, OS_EM_EXGETSEL, 0, ptr(&cr));
    EXPECT_EQ(cr.cpMin, 4);
    EXPECT_STREQ(r.szFindText, "two");
    command(32142);
    os_send_message(r.hRichEdit, OS_EM_EXGETSEL, 0, ptr(&cr));
    EXPECT_EQ(cr.cpMin, 12);
    // Up from there.
    os_send_message(os_get_dlg_item(r.hFindDialog, OS_FIND_UP), BM_CLICK, 0, 0);
    os_send_message(os_get_dlg_item(r.hFindDialog, OS_FIND_NEXT), BM_CLICK, 0, 0);
    os_send_message(r.hRichEdit, OS_EM_EXGETSEL, 0, ptr(&cr));
    EXPECT_EQ(cr.cpMin, 4);
    // Return in the dialog's field presses Find Next through the library's loop.
    os_send_message(os_get_dlg_item(r.hFindDialog, OS_FIND_DOWN), BM_CLICK, 0, 0);
    select(0, 0);
    settle();
    os_set_focus(os_get_dlg_item(r.hFindDialog, OS_FIND_EDIT));
    os_input_key(os_get_dlg_item(r.hFindDialog, OS_FIND_EDIT), 0x0D, 0);
    settle();
    os_send_message(r.hRichEdit, OS_EM_EXGETSEL, 0, ptr(&cr));
    EXPECT_EQ(cr.cpMin, 4);
    EXPECT_EQ(text(), "one two one two");
    os_send_message(os_get_dlg_item(r.hFindDialog, OS_FIND_CANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(r.hFindDialog, 0);
    // Replace All through the replace dialog ends at the end of the text.
    command(32143);
    ASSERT_NE(r.hFindDialog, 0);
    os_set_window_text(os_get_dlg_item(r.hFindDialog, OS_FIND_EDIT), "one");
    os_set_window_text(os_get_dlg_item(r.hFindDialog, OS_REPLACE_EDIT), "1");
    boxes.clear();
    os_send_message(os_get_dlg_item(r.hFindDialog, OS_FIND_REPLACEALL), BM_CLICK, 0, 0);
    EXPECT_EQ(text(), "1 two 1 two");
    EXPECT_EQ(boxes, (std::vector<std::string>{"Find: End of text reached"}));
    os_send_message(r.hFindDialog, OSM_CLOSE, 0, 0);
    EXPECT_EQ(r.hFindDialog, 0);
}

TEST_F(EditorWindowTest, FontDialogSetsTheSelectionsFormat) {
    child();
    ASSERT_EQ(convert(EWF_RICHTEXT), 0);
    EditorWindowData& r = ed();
    type("plain words");
    select(0, 5);
    OsChooseFont seen;
    os_font_dialog_set_responder([&](OsChooseFont& q) {
        seen = q;
        q.font.face = "Arial";
        q.font.height = -os_config().dpi * 20 / 72;
        q.font.weight = 700;
        q.font.italic = true;
        q.colour = 0x0000FF;
        return true;
    });
    command(32161);
    EXPECT_EQ(seen.font.weight, 400);
    EXPECT_EQ(seen.flags & OS_CF_NOSTYLESEL, 0u);
    OsCharFormat cf;
    os_send_message(r.hRichEdit, OS_EM_GETCHARFORMAT, 1, ptr(&cf));
    EXPECT_TRUE(cf.effects & OS_CFE_BOLD);
    EXPECT_TRUE(cf.effects & OS_CFE_ITALIC);
    const int px = os_config().dpi * 20 / 72;
    EXPECT_EQ(cf.height, static_cast<int>(std::lround(px * 720.0 / os_config().dpi)) * 2);
    EXPECT_STREQ(cf.face, "Arial");
    EXPECT_EQ(cf.colour, 0x0000FFu);
    EXPECT_NE(os_send_message(r.hEditToolbar, OSM_TB_ISBUTTONCHECKED, 32166, 0), 0);
    // "plain" selected: a highlighted box as high as its 20-point letters,
    // "words" in the editor's font beside it; unselected, "plain" is red.
    const auto hl = static_cast<std::int32_t>(os_sys_colour(OS_COLOR_HIGHLIGHT));
    const Picture rich = grab("editor-rich.png");
    const Picture::Box sel = rich.box_of(hl);
    EXPECT_GE(sel.height(), px);
    EXPECT_GE(sel.width(), px * 2);
    EXPECT_GT(rich.count(0, sel.x1 + 2, sel.y0, sel.x1 + 80, sel.y1), 20);  // "words"
    select(8, 8);
    const Picture unselected = grab("editor-rich-unselected.png");
    EXPECT_EQ(unselected.count(hl, sel.x0, sel.y0, sel.x1, sel.y1), 0);
    const Picture::Box red = unselected.box_of(0x0000FF);
    EXPECT_GT(unselected.count(0x0000FF, red.x0, red.y0, red.x1, red.y1), 40);
    EXPECT_GE(red.height(), px * 6 / 10);
    EXPECT_GE(red.x0, sel.x0);
    EXPECT_LE(red.x1, sel.x1);
    // Mixed bold: the Bold button is neither on nor off; the font dialog hides
    // the style choice and offers weight 0.
    select(0, 8);
    EXPECT_NE(os_send_message(r.hEditToolbar, OSM_TB_ISBUTTONINDETERMINATE, 32166, 0), 0);
    EXPECT_EQ(os_send_message(r.hEditToolbar, OSM_TB_ISBUTTONINDETERMINATE, 32163, 0), 0);
    command(32161);
    EXPECT_EQ(seen.font.weight, 0);
    EXPECT_NE(seen.flags & OS_CF_NOSTYLESEL, 0u);
}

TEST_F(EditorWindowTest, ModalEditorLeavesItsLastState) {
    child();
    write_file("m.txt", "line one\r\nline two");
    const OsHandle f = frame();
    int step = 0;
    os_set_wait_script([&] {
        if (step++ == 0) {
            EditorWindowData* r = yyeditrecord(f);
            OsCharRange cr{10, 14};
            os_send_message(r->hRichEdit, OS_EM_EXSETSEL, 0, ptr(&cr));
            os_post_message(f, OSM_CLOSE, 0, 0);
        }
    });
    EXPECT_EQ(convert(0, 0, 1, "m.txt"), 0);
    os_set_wait_script({});
    std::int32_t v = -5;
    const std::vector<std::pair<int, int>> want = {{1, 1}, {2, 18}, {3, 0}, {4, 12}, {5, 15}, {6, 1}, {7, 1}, {8, 3}, {10, 0}, {11, 4}, {12, 10}};
    for (const auto& [item, value] : want) {
        yyeditinfo(-1, item, v);
        EXPECT_EQ(v, value) << item;
    }
    char path[300];
    yyeditinfostring(-1, 3, path, sizeof path);
    EXPECT_EQ(std::string(path), (std::filesystem::current_path() / "m.txt").string());
}

TEST_F(EditorWindowTest, ColouringWithTheLibraryHookLooksLikePlainText) {
    child();
    ASSERT_EQ(convert(EWF_NOTOOLBAR), 0);
    EditorWindowData& r = ed();
    std::int32_t st = 0;
    yyeditputtext(st, "first line of text\rsecond\rthird line here");
    select(3, 9);
    // Pixels near a colour (text is smoothed at its edges).
    const auto count_in = [&](std::int32_t snap, std::uint32_t colour, int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const auto p = os_snapshot_pixel(snap, x, y);
                if (p < 0) continue;
                int d = 0;
                for (int k = 0; k < 24; k += 8) d = std::max(d, std::abs(static_cast<int>((p >> k) & 0xFF) - static_cast<int>((colour >> k) & 0xFF)));
                if (d <= 40) ++n;
            }
        return n;
    };
    const std::uint32_t hl = os_sys_colour(OS_COLOR_HIGHLIGHT);
    OsRect cr;
    os_get_client_rect(r.hRichEdit, cr);
    const auto dark_rows = [&](std::int32_t snap) {
        std::vector<int> rows;
        for (int y = 0; y < cr.bottom; ++y) {
            int n = 0;
            for (int x = 2; x < cr.right - 2; ++x) {
                const auto p = os_snapshot_pixel(snap, x, y);
                if (p >= 0 && ((p >> 16) & 0xFF) < 80 && ((p >> 8) & 0xFF) < 80 && (p & 0xFF) < 80) ++n;
            }
            rows.push_back(n);
        }
        return rows;
    };
    const std::int32_t plain = os_snapshot_take(r.hRichEdit);
    ASSERT_GT(plain, 0);
    grab("editor-plain.png");
    yyeditsetcallback();
    EXPECT_EQ(r.bColouring, 1);
    const std::int32_t coloured = os_snapshot_take(r.hRichEdit);
    grab("editor-coloured.png");
    // Text on the same rows, about as much of it, and the selection highlighted in both.
    const auto a = dark_rows(plain), b = dark_rows(coloured);
    int ta = 0, tb = 0, same = 0, rows_a = 0;
    for (std::size_t y = 0; y < a.size(); ++y) {
        ta += a[y];
        tb += b[y];
        if (a[y] > 0) {
            ++rows_a;
            if (b[y] > 0) ++same;
        }
    }
    EXPECT_GT(ta, 50);
    EXPECT_NEAR(tb, ta, ta * 0.4);
    EXPECT_GE(same, rows_a * 7 / 10);
    const int line_h = r.nLineHeight + 2;
    EXPECT_GT(count_in(plain, hl, 0, 0, cr.right, line_h), 20);
    EXPECT_GT(count_in(coloured, hl, 0, 0, cr.right, line_h), 20);
    EXPECT_EQ(count_in(coloured, hl, 0, line_h + 2, cr.right, cr.bottom), 0);
    // A program's hook: a red range on every line and a range of -1 drawn as selected.
    edit_parse_callback = [](std::int32_t, std::int32_t, std::int32_t, std::int32_t max, std::int32_t* s, std::int32_t* e,
                             std::int32_t* c, std::int32_t& n, const char*) -> std::int32_t {
        if (max < 3) return 0;
        s[0] = 1, e[0] = 3, c[0] = 0x0000FF;
        s[1] = 5, e[1] = 6, c[1] = -1;
        s[2] = 4, e[2] = 500, c[2] = 0x00FF00;  // overlaps and leaves the line: clipped
        n = 3;
        return 0;
    };
    select(0, 0);
    const std::int32_t hooked = os_snapshot_take(r.hRichEdit);
    grab("editor-hooked.png");
    EXPECT_GT(count_in(hooked, 0x0000FF, 0, line_h, cr.right, 2 * line_h + 2), 3);   // second line's red start
    EXPECT_GT(count_in(hooked, hl, 0, 2 * line_h, cr.right, 3 * line_h + 2), 10);  // third line's -1 range
    EXPECT_GT(count_in(hooked, 0x00FF00, 0, 0, cr.right, cr.bottom), 3);
    os_snapshot_free(plain);
    os_snapshot_free(coloured);
    os_snapshot_free(hooked);
}

TEST_F(EditorWindowTest, PrintsToThePdfPrinterReadByPdftotext) {
    os_config().printer_name = "Quindarolex PDF";
    os_config().print_directory = dir.path().string();
    os_common_dialog_set_responder([](const OsCommonDialogRequest& q) {
        OsCommonDialogAnswer a;
        a.ok = true;
        a.page = q.page;
        return a;
    });
    child();
    ASSERT_EQ(convert(EWF_RICHTEXT), 0);
    std::int32_t st = 0;
    // An empty text starts and ends a document without pages.
    strcpy(ed().szFileName, "empty");
    command(32105);
    EXPECT_EQ(pending_message().value1, 32105);
    EXPECT_FALSE(std::filesystem::exists(dir.file("empty.pdf")));  // a job without pages leaves no file
    std::string many;
    for (int i = 1; i <= 120; ++i) many += "Groundwater line " + std::to_string(i) + "\r";
    yyeditputtext(st, many.c_str());
    strcpy(ed().szFileName, "report");
    wmsg.wMessageType = 0;
    command(32105);
    EXPECT_EQ(pending_message().value1, 32105);
    const std::string pdf = dir.file("report.pdf");
    ASSERT_TRUE(std::filesystem::exists(pdf));
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext not installed";
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' out.txt").c_str()), 0);
    const std::string out = read_file("out.txt");
    EXPECT_NE(out.find("Groundwater line 1"), std::string::npos);
    EXPECT_NE(out.find("Groundwater line 120"), std::string::npos);
    EXPECT_NE(out.find('\f'), std::string::npos);  // more than one page
}

namespace {

// A right click in the text opens the Edit menu there; its choice is carried out.
TEST_F(EditorWindowTest, RightClickInTheTextOpensTheEditMenu) {
    child();
    ASSERT_EQ(convert(0), 0);
    EditorWindowData& r = ed();
    type("hello world");
    select(0, 5);
    std::vector<std::string> seen;
    os_menu_set_responder([&](OsMenu m) {
        seen = items(m);
        OsMenuChoice c;
        // "&Copy"
        for (int i = 0; i < os_menu_item_count(m); ++i)
            if (os_get_menu_item_id(m, i) == 32123) c.path = {i};
        c.choose = true;
        return c;
    });
    const auto pump = [] {
        OsMsg m;
        while (os_peek_message(m, 0, 0, 0, OS_PM_REMOVE)) {
            os_translate_message(m);
            os_dispatch_message(m);
        }
    };
    os_input_mouse(r.hRichEdit, OS_MOUSE_PRESS, 3, 20, 10, 0);
    pump();
    os_input_mouse(r.hRichEdit, OS_MOUSE_RELEASE, 3, 20, 10, 0);
    pump();
    os_menu_set_responder({});
    EXPECT_EQ(seen, items(r.hEditMenu));
    ASSERT_TRUE(os_open_clipboard());
    const std::optional<std::string> copied = os_get_clipboard_text();
    os_close_clipboard();
    EXPECT_EQ(copied.value_or(""), "hello");
}

}  // namespace
