// The editor window: converting a child window into an editor (menus, tool
// bar, status-bar parts, command field, rich-edit control), its frame
// procedure with the command table, the command field with its history, the
// find dialog's hook, the keyboard and the teardown.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>

#include "lib/dialog/dialog.h"
#include "lib/dialog/dialog_window.h"
#include "lib/grid/editor.h"
#include "lib/grid/window_kinds.h"
#include "lib/window/childwin.h"
#include "lib/window/errors.h"
#include "lib/window/menus.h"
#include "lib/window/messages.h"
#include "lib/window/splitwin.h"
#include "lib/window/wininfo.h"
#include "platform/os_commondlg.h"
#include "platform/os_dc.h"
#include "platform/os_dialog.h"
#include "platform/os_file.h"
#include "platform/os_resource.h"
#include "platform/os_stdimages.h"
#include "platform/os_finddlg.h"
#include "platform/os_gdi.h"
#include "platform/os_menu.h"
#include "platform/os_richedit.h"
#include "platform/os_window.h"

namespace {

constexpr std::int32_t IdToolbar = 1001, IdRichEdit = 1002, IdCommand = 1004, IdPrompt = 1005;
constexpr std::int32_t AccelId = 32101, FormatBitmapId = 32101;
constexpr std::uint32_t VkCapital = 0x14, VkNumLock = 0x90, VkInsert = 0x2D, VkOemComma = 0xBC, VkOemPeriod = 0xBE;
constexpr std::uint32_t VkPrior = 0x21, VkNext = 0x22, VkUp = 0x26, VkDown = 0x28;
constexpr std::uint32_t WmContextMenu = 0x007B;
constexpr std::uint32_t EsReadOnly = 0x0800;

std::intptr_t send(OsHandle w, std::uint32_t m, std::uintptr_t wp = 0, std::intptr_t lp = 0) { return os_send_message(w, m, wp, lp); }
std::intptr_t ptr(const void* p) { return reinterpret_cast<std::intptr_t>(p); }

// ---- the command table -------------------------------------------------------

struct Command {
    std::int32_t id;
    const char* with_key;     // text when accelerator table 32101 exists
    const char* without_key;
    const char* tooltip;
    const char* prompt;
};

constexpr Command kCommands[] = {
    {32100, "&File", "&File", nullptr, "Commands to Load, Save and Print files"},
    {32101, "&New\tCtrl+N", "&New", "New", "Creates a new document"},
    {32102, "&Open\tCtrl+O", "&Open", "Open", "Opens an existing document"},
    {32107, "&Close", "&Close", nullptr, nullptr},
    {32103, "&Save\tCtrl+S", "&Save", "Save", "Saves the active document"},
    {32104, "Save &As\tF12", "Save &As", nullptr, "Saves the active document with a new name"},
    {32105, "&Print\tCtrl+P", "&Print", "Print", "Prints the active document"},
    {32106, "Prin&t Selection", "Prin&t Selection", "Print selected text", "Prints the selected text"},
    {32108, "E&xit", "E&xit", nullptr, nullptr},
    {32120, "&Edit", "&Edit", nullptr, "Commands for editing text"},
    {32121, "&Undo\tCtrl+Z", "&Undo\tCtrl+Z", "Undo", "Reverses the last action"},
    {32127, "&Redo\tCtrl+Y", "&Redo\tCtrl+Y", "Redo", "Redoes the last action that was undone"},
    {32122, "Cu&t\tCtrl+X", "Cu&t\tCtrl+X", "Cut", "Cuts the selected text and places it on the clipboard"},
    {32123, "&Copy\tCtrl+C", "&Copy\tCtrl+C", "Copy", "Copies the selected text and places it on the clipboard"},
    {32124, "&Paste\tCtrl+V", "&Paste\tCtrl+V", "Paste", "Inserts clipboard contents"},
    {32125, "&Delete\tDel", "&Delete\tDel", nullptr, "Deletes the selected text"},
    {32126, "Select &All\tCtrl+A", "Select &All\tCtrl+A", nullptr, "Selects the entire document"},
    {32140, "&Search", "&Search", nullptr, "Commands to locate and replace text"},
    {32141, "&Find\tCtrl+F", "&Find", "Find", "Finds the specified text"},
    {32142, "Find &Next\tF3", "Find &Next", nullptr, "Repeats the last find"},
    {32143, "&Replace\tCtrl+H", "&Replace", nullptr, "Replaces specific text with different text"},
    {32147, "&Set Bookmark\tShift+F2", "&Set Bookmark", nullptr, "Bookmarks the current cursor position"},
    {32148, "Goto &Bookmark\tF2", "Goto &Bookmark", nullptr, "Moves to a previously bookmarked position"},
    {32160, "F&ormat", "F&ormat", nullptr, "Commands to change the formatting of text"},
    {32161, "&Font", "&Font", nullptr, "Selects the font for the selected or new text"},
    {32162, "&Bullet Style", "&Bullet Style", "Bullets", "Inserts a bullet on this line"},
    {32163, nullptr, nullptr, "Align Left", nullptr},
    {32164, nullptr, nullptr, "Centre", nullptr},
    {32165, nullptr, nullptr, "Align Right", nullptr},
    {32166, nullptr, nullptr, "Bold", nullptr},
    {32167, nullptr, nullptr, "Italic", nullptr},
    {32168, nullptr, nullptr, "Underline", nullptr},
    {32180, "&View", "&View", nullptr, "Commands to switch between files"},
};

const Command* command(std::int32_t id) {
    for (const Command& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

std::string prompt_of(const EditorWindowData& r, std::int32_t id) {
    if (id == 32107)
        return !r.bReadOnly && r.bCanSave ? "Closes the current document; prompts you to save changes" : "Closes the current document";
    if (id == 32108) {
        if (r.bReadOnly) return "Closes the browser";
        return r.bCanSave ? "Closes the editor; prompts you to save changes" : "Closes the editor";
    }
    const Command* c = command(id);
    return c && c->prompt ? c->prompt : "";
}

// ---- small helpers ------------------------------------------------------------

OsCharRange selection(const EditorWindowData& r) {
    OsCharRange cr;
    send(r.hRichEdit, OS_EM_EXGETSEL, 0, ptr(&cr));
    return cr;
}

void set_selection(const EditorWindowData& r, std::int32_t a, std::int32_t b) {
    OsCharRange cr{a, b};
    send(r.hRichEdit, OS_EM_EXSETSEL, 0, ptr(&cr));
}

bool selection_unprotected(const EditorWindowData& r) {
    OsCharFormat cf;
    send(r.hRichEdit, OS_EM_GETCHARFORMAT, 1, ptr(&cf));
    return (cf.mask & OS_CFM_PROTECTED) && !(cf.effects & OS_CFE_PROTECTED);
}

std::int32_t slot_of(OsHandle frame) { return yygetwindowindex(frame); }

void status_text(const EditorWindowData& r, std::int32_t part, const std::string& text) {
    if (r.hStatusBar) send(r.hStatusBar, OSM_SB_SETTEXT, static_cast<std::uintptr_t>(part), ptr(text.c_str()));
}

void show_lock_keys(const EditorWindowData& r) {
    status_text(r, 1, (os_get_key_state(VkCapital) & 1) ? "\tCAPS" : "");
    status_text(r, 2, (os_get_key_state(VkNumLock) & 1) ? "\tNUM" : "");
}

void send_command(OsHandle frame, std::int32_t id) { yyinterpretmessage(MsgMenu, 0, static_cast<std::uintptr_t>(id), 0, frame); }

void copy_text(char* dst, std::size_t room, std::string_view src) {
    const std::size_t n = std::min(room - 1, src.size());
    std::memcpy(dst, src.data(), n);
    dst[n] = 0;
}

std::string full_path(std::string_view name) {
    if (name.empty()) return {};
    std::error_code ec;
    std::string p = std::filesystem::absolute(std::filesystem::path(std::string(name)), ec).lexically_normal().string();
    if (ec) p = std::string(name);
    if (p.size() > 259) p.resize(259);
    return p;
}

// Undo and Redo buttons follow what the control can do.
void undo_buttons(const EditorWindowData& r) {
    if (!r.hEditToolbar) return;
    send(r.hEditToolbar, OSM_TB_ENABLEBUTTON, 32121, send(r.hRichEdit, OS_EM_CANUNDO) != 0);
    if (wtab.iVerRTF >= 2) send(r.hEditToolbar, OSM_TB_ENABLEBUTTON, 32127, send(r.hRichEdit, OS_EM_CANREDO) != 0);
}

// The text is emptied as for New: protection off, formats reset, not modified.
void clear_text(EditorWindowData& r) {
    r.bProtect = 0;
    yyEditResetFormat(r);
    send(r.hRichEdit, EM_SETMODIFY, 0);
    undo_buttons(r);
    yyEditUpdateBIU(r);
    r.bChanged = 0;
    r.bProtect = 1;
}

// ---- building ---------------------------------------------------------------

void add_item(const EditorWindowData& r, OsHandle popup, std::int32_t id, bool accel, std::uint32_t state = 0) {
    const Command* c = command(id);
    os_insert_menu_item(popup, -1, id, accel ? c->with_key : c->without_key);
    if (state) os_enable_menu_item(popup, static_cast<std::uint32_t>(id), OS_MF_BYCOMMAND | state);
    (void)r;
}
void add_separator(OsHandle popup) { os_insert_menu_item(popup, -1, 0, ""); }

void build_popups(EditorWindowData& r) {
    const bool accel = r.hEditAccel != 0;
    const bool ro = r.bReadOnly != 0;
    r.hFileMenu = os_create_popup_menu();
    if (r.bCanNew) add_item(r, r.hFileMenu, 32101, accel);
    if (r.bCanOpen) add_item(r, r.hFileMenu, 32102, accel);
    if (r.bMultiFile && !r.bNoClose) {
        add_item(r, r.hFileMenu, 32107, accel);
        if (r.bCanSave || r.bCanSaveAs) add_separator(r.hFileMenu);
    }
    if (r.bCanSave) add_item(r, r.hFileMenu, 32103, accel);
    if (r.bCanSaveAs) add_item(r, r.hFileMenu, 32104, accel);
    if (r.bCanNew || r.bCanOpen || r.bCanSave || r.bCanSaveAs) add_separator(r.hFileMenu);
    if (r.bCanPrint) {
        add_item(r, r.hFileMenu, 32105, accel);
        add_item(r, r.hFileMenu, 32106, accel);
        add_separator(r.hFileMenu);
    }
    add_item(r, r.hFileMenu, 32108, accel);

    r.hEditMenu = os_create_popup_menu();
    if (!ro) {
        add_item(r, r.hEditMenu, 32121, accel);
        if (wtab.iVerRTF >= 2) add_item(r, r.hEditMenu, 32127, accel);
        add_separator(r.hEditMenu);
        add_item(r, r.hEditMenu, 32122, accel);
    }
    add_item(r, r.hEditMenu, 32123, accel);
    if (!ro) {
        add_item(r, r.hEditMenu, 32124, accel);
        add_item(r, r.hEditMenu, 32125, accel);
    }
    add_separator(r.hEditMenu);
    add_item(r, r.hEditMenu, 32126, accel);

    r.hSearchMenu = os_create_popup_menu();
    add_item(r, r.hSearchMenu, 32141, accel);
    add_item(r, r.hSearchMenu, 32142, accel);
    if (!ro) add_item(r, r.hSearchMenu, 32143, accel);
    add_separator(r.hSearchMenu);
    add_item(r, r.hSearchMenu, 32147, accel);
    add_item(r, r.hSearchMenu, 32148, accel, OS_MF_GRAYED);

    if (r.bRichText && !ro) {
        r.hFormatMenu = os_create_popup_menu();
        add_item(r, r.hFormatMenu, 32161, accel);
        add_item(r, r.hFormatMenu, 32162, accel);
    }
    if (r.bMultiFile) {
        r.hViewMenu = os_create_popup_menu();
        os_insert_menu_item(r.hViewMenu, -1, 32181, yyeditviewlabel(1, r.szFileName));
        os_check_menu_item(r.hViewMenu, 0, OS_MF_BYPOSITION | OS_MF_CHECKED);
    }
}

void build_menus(OsHandle frame, std::int32_t slot, EditorWindowData& r, std::int32_t menuId, std::int32_t mode,
                 std::int32_t& status) {
    build_popups(r);
    OsHandle bar = 0;
    if (menuId != 0 && mode == DialogModal) {
        status = EditorNoAppMenuModal;
    } else if (menuId != 0) {
        bar = yymnload(menuId);
        if (!bar) status = EditorMenuNotFound;
    }
    if (!bar) bar = os_create_menu();
    r.hMenu = bar;
    const Command* f = command(32100);
    int pos = 0;
    os_insert_menu_popup(bar, pos++, 32100, f->with_key, r.hFileMenu);
    os_insert_menu_popup(bar, pos++, 32120, command(32120)->with_key, r.hEditMenu);
    os_insert_menu_popup(bar, pos++, 32140, command(32140)->with_key, r.hSearchMenu);
    if (r.hFormatMenu) os_insert_menu_popup(bar, pos++, 32160, command(32160)->with_key, r.hFormatMenu);
    if (r.hViewMenu) os_insert_menu_popup(bar, pos++, 32180, command(32180)->with_key, r.hViewMenu);
    if (!(os_get_style(frame) & OS_WS_CHILD)) os_set_menu(frame, bar);
    if (const OsHandle old = wtab.hMenuRoot[ix(slot)]; old && old != bar) {
        yyClearMenuPrompt(old, slot);
        os_destroy_menu(old);
    }
    wtab.hAccel[ix(slot)] = 0;
    wtab.hQDXMenuString[ix(slot)] = 0;
    wtab.hMenuRoot[ix(slot)] = bar;
}

void add_button(OsHandle tb, std::int32_t image, std::int32_t id, std::uint8_t state = OS_TBSTATE_ENABLED) {
    OsTbButton b;
    b.image = image;
    b.command = id;
    b.state = state;
    b.style = id == 0 ? OS_TBSTYLE_SEP : OS_TBSTYLE_BUTTON;
    send(tb, OSM_TB_ADDBUTTONS, 1, ptr(&b));
}

void build_toolbar(OsHandle frame, EditorWindowData& r) {
    const OsHandle tb = os_create_window(0, "ToolbarWindow32", "",
                                         OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_CLIPSIBLINGS | OS_TBSTYLE_TOOLTIPS, 0, 0, 100,
                                         28, frame, 0, IdToolbar);
    if (!tb) return;
    r.hEditToolbar = tb;
    r.hTooltips = static_cast<OsHandle>(send(tb, OSM_TB_GETTOOLTIPS));
    send(tb, OSM_TB_BUTTONSTRUCTSIZE, sizeof(OsTbButton));
    send(tb, OSM_TB_SETBITMAPSIZE, 0, os_make_lparam(16, 15));
    send(tb, OSM_TB_SETBUTTONSIZE, 0, os_make_lparam(22, 21));
    OsTbAddBitmap std_strip{OS_HINST_COMMCTRL, OS_IDB_STD_SMALL_COLOR};
    const auto s = static_cast<std::int32_t>(send(tb, OSM_TB_ADDBITMAP, OS_STD_IMAGE_COUNT, ptr(&std_strip)));
    const std::int32_t base = s < 0 ? 0 : s;
    const std::uint8_t off = 0;
    if (r.bCanNew) add_button(tb, base + OS_STD_FILENEW, 32101);
    if (r.bCanOpen) add_button(tb, base + OS_STD_FILEOPEN, 32102);
    if (r.bCanSave) add_button(tb, base + OS_STD_FILESAVE, 32103);
    if (r.bCanNew || r.bCanOpen || r.bCanSave) add_button(tb, 0, 0);
    if (r.bCanPrint) {
        add_button(tb, base + OS_STD_PRINT, 32105);
        add_button(tb, 0, 0);
    }
    add_button(tb, base + OS_STD_FIND, 32141);
    add_button(tb, 0, 0);
    if (!r.bReadOnly) add_button(tb, base + OS_STD_CUT, 32122, off);
    add_button(tb, base + OS_STD_COPY, 32123, off);
    if (!r.bReadOnly) {
        add_button(tb, base + OS_STD_PASTE, 32124);
        add_button(tb, base + OS_STD_UNDO, 32121, off);
        if (wtab.iVerRTF >= 2) add_button(tb, base + OS_STD_REDOW, 32127, off);
    }
    if (r.bRichText && !r.bReadOnly) {
        OsTbAddBitmap fmt{os_module_instance(), FormatBitmapId};
        const auto f = static_cast<std::int32_t>(send(tb, OSM_TB_ADDBITMAP, 7, ptr(&fmt)));
        if (f >= 0) {
            add_button(tb, 0, 0);
            add_button(tb, f + 0, 32166);
            add_button(tb, f + 1, 32167);
            add_button(tb, f + 2, 32168);
            add_button(tb, 0, 0);
            add_button(tb, f + 3, 32163, OS_TBSTATE_ENABLED | OS_TBSTATE_CHECKED);
            add_button(tb, f + 4, 32164);
            add_button(tb, f + 5, 32165);
            add_button(tb, 0, 0);
            add_button(tb, f + 6, 32162);
        }
    }
    send(tb, OSM_TB_AUTOSIZE);
}

std::int32_t frame_height_of(std::int32_t inner, std::uint32_t style, std::uint32_t ex) {
    OsRect rc{0, 0, 100, inner};
    os_adjust_window_rect(rc, style, false, ex);
    return rc.height();
}

void build_command_field(OsHandle frame, EditorWindowData& r, std::int32_t flags) {
    const bool old_look = wtab.WinVer < 4;
    const std::uint32_t base = OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_CLIPSIBLINGS | (old_look ? OS_WS_BORDER : 0u);
    const std::uint32_t ex = old_look ? 0u : static_cast<std::uint32_t>(OS_WS_EX_CLIENTEDGE);
    r.nCommandHeight = r.nLineHeight + (frame_height_of(r.nLineHeight, base, ex) - r.nLineHeight) + (old_look ? 6 : 2);
    if ((flags & EWF_HISTORY) && !old_look) {
        r.hCommand = os_create_window(ex, "COMBOBOX", "", base | OS_CBS_DROPDOWN | OS_CBS_AUTOHSCROLL | OS_WS_VSCROLL, 0, 0,
                                      100, r.nCommandHeight * 10, frame, 0, IdCommand);
        r.hCommandEdit = r.hCommand ? os_get_dlg_item(r.hCommand, 1001) : 0;
        if (!r.hCommandEdit) r.hCommandEdit = r.hCommand;
        if (r.hCommand) {
            OsRect wr;
            os_get_window_rect(r.hCommand, wr);
            const auto item = static_cast<std::int32_t>(send(r.hCommand, CB_GETITEMHEIGHT, static_cast<std::uintptr_t>(-1)));
            if (item > 0) r.nCommandHeight = std::max(r.nCommandHeight, item + (frame_height_of(0, base, ex)));
        }
    } else {
        r.hCommand = os_create_window(ex, "EDIT", "", base | OS_ES_AUTOHSCROLL, 0, 0, 100, r.nCommandHeight, frame, 0,
                                      IdCommand);
        r.hCommandEdit = r.hCommand;
    }
    r.hPromptFrame = os_create_window(0, "STATIC", "", OS_WS_CHILD | OS_WS_VISIBLE | OS_SS_CENTER, 0, 0, 0,
                                      r.nCommandHeight, frame, 0, IdPrompt);
    r.nPromptOffset = (r.nCommandHeight - r.nLineHeight) / 2;
    r.hPromptText = os_create_window(0, "STATIC", "", OS_WS_CHILD | OS_WS_VISIBLE, 0, r.nPromptOffset, 0,
                                     r.nCommandHeight - r.nPromptOffset, r.hPromptFrame, 0, IdPrompt);
    for (OsHandle h : {r.hCommand, r.hPromptFrame, r.hPromptText})
        if (h) send(h, OSM_SETFONT, static_cast<std::uintptr_t>(r.hFont), 0);
    if (r.iFontOption == 1 && r.hCommandEdit != r.hCommand) send(r.hCommandEdit, OSM_SETFONT, static_cast<std::uintptr_t>(r.hFont), 0);
    if (r.hCommandEdit) {
        const OsWndProc old = os_set_window_proc(r.hCommandEdit, yyEditSubCommand);
        os_set_window_user(r.hCommandEdit, reinterpret_cast<std::intptr_t>(old));
    }
}

// Places the editor's parts within the frame's client area.
void layout(OsHandle frame, EditorWindowData& r) {
    const std::int32_t slot = slot_of(frame);
    OsRect cr;
    os_get_client_rect(frame, cr);
    std::int32_t top = 0, bottom = cr.bottom, left = 0, right = cr.right;
    if (r.hStatusBar) {
        send(r.hStatusBar, OSM_SIZE, 0, 0);
        OsRect sr;
        os_get_window_rect(r.hStatusBar, sr);
        os_move_window(r.hStatusBar, 0, bottom - sr.height(), cr.right, sr.height(), true);
        bottom -= sr.height();
    }
    if (r.hEditToolbar) {
        send(r.hEditToolbar, OSM_TB_AUTOSIZE);
        OsRect tr;
        os_get_window_rect(r.hEditToolbar, tr);
        os_move_window(r.hEditToolbar, 0, 0, cr.right, tr.height(), true);
        top += tr.height();
    }
    if (valid_slot(slot)) {
        const auto& tb = wtab.hToolbar[ix(slot)];
        if (tb[0] && tb[0] == r.hToolbarTop) {
            OsRect t;
            os_get_window_rect(tb[0], t);
            os_move_window(tb[0], 0, top, cr.right, t.height(), true);
            top += t.height();
        }
        if (tb[3] && tb[3] == r.hToolbarBottom) {
            OsRect t;
            os_get_window_rect(tb[3], t);
            os_move_window(tb[3], 0, bottom - t.height(), cr.right, t.height(), true);
            bottom -= t.height();
        }
        if (tb[1] && tb[1] == r.hToolbarLeft) {
            const auto w = static_cast<std::int32_t>(os_get_window_user(tb[1]));
            os_move_window(tb[1], 0, top, w, std::max(0, bottom - top), true);
            left += w;
        }
        if (tb[2] && tb[2] == r.hToolbarRight) {
            const auto w = static_cast<std::int32_t>(os_get_window_user(tb[2]));
            os_move_window(tb[2], right - w, top, w, std::max(0, bottom - top), true);
            right -= w;
        }
    }
    if (r.hCommand) {
        bottom -= r.nCommandHeight;
        OsRect pr;
        os_get_window_rect(r.hPromptFrame, pr);
        const std::int32_t pw = pr.width();
        os_move_window(r.hPromptFrame, left, bottom, pw, r.nCommandHeight, true);
        const std::int32_t h = r.hCommand != r.hCommandEdit ? r.nCommandHeight * 10 : r.nCommandHeight;
        os_move_window(r.hCommand, left + pw, bottom, std::max(0, right - left - pw), h, true);
    }
    const std::int32_t w = std::max(0, right - left), h = std::max(0, bottom - top);
    if (r.hRichEdit) os_move_window(r.hRichEdit, left, top, w, h, true);
    if (valid_slot(slot) && wtab.hClient[ix(slot)]) os_move_window(wtab.hClient[ix(slot)], left, top, w, h, false);
}

// The window counts as inside its parent when it, or the outermost split
// window that holds it as a pane, has the child style.
bool inside_parent(OsHandle frame) {
    OsHandle w = frame;
    for (int guard = 0; guard <= MaxChildWindows; ++guard) {
        const OsHandle outer = os_get_parent(os_get_parent(w));
        if (!outer || yyspecialkind(outer) != WindowKindSplit) break;
        w = outer;
    }
    return (os_get_style(w) & OS_WS_CHILD) != 0;
}

bool is_pane(OsHandle frame) {
    const OsHandle outer = os_get_parent(os_get_parent(frame));
    return outer && yyspecialkind(outer) == WindowKindSplit;
}

OsHandle outermost_split(OsHandle frame) {
    OsHandle w = frame;
    for (int guard = 0; guard <= MaxChildWindows; ++guard) {
        const OsHandle outer = os_get_parent(os_get_parent(w));
        if (!outer || yyspecialkind(outer) != WindowKindSplit) break;
        w = outer;
    }
    return w;
}

void append_view_item(EditorWindowData& r, std::int32_t n) {
    if (!r.hViewMenu) return;
    os_insert_menu_item(r.hViewMenu, -1, 32180 + n, yyeditviewlabel(n, r.szFileName));
    os_check_menu_item(r.hViewMenu, static_cast<std::uint32_t>(n - 1), OS_MF_BYPOSITION | OS_MF_CHECKED);
}

void check_view(EditorWindowData& r, std::int32_t n, bool on) {
    if (r.hViewMenu)
        os_check_menu_item(r.hViewMenu, static_cast<std::uint32_t>(n - 1), OS_MF_BYPOSITION | (on ? OS_MF_CHECKED : OS_MF_UNCHECKED));
}

void relabel_view(EditorWindowData& r, std::int32_t n, std::string_view path) {
    if (r.hViewMenu) os_set_menu_item_text(r.hViewMenu, static_cast<std::uint32_t>(n - 1), OS_MF_BYPOSITION, yyeditviewlabel(n, path));
}

// A multi-file editor whose only file is empty, unmodified, unnamed and not
// held is used as a single-file one: the next file replaces it.
bool untouched(const EditorWindowData& r) {
    return r.nBuffers == 1 && send(r.hRichEdit, OS_EM_GETTEXTLENGTH) == 0 && send(r.hRichEdit, EM_GETMODIFY) == 0 &&
           !r.szFileName[0] && r.hFile[0] == 0;
}

// Another file for an editor that exists.
void next_file(OsHandle frame, EditorWindowData& r, std::int32_t& status, std::int32_t fileType, const std::string& path) {
    const std::int32_t slot = slot_of(frame);
    if (!r.bMultiFile || untouched(r)) {
        copy_text(r.szFileName, sizeof r.szFileName, path);
        if (!path.empty()) {
            yyEditCloseFile(frame);
            if (!yyEditOpenFile(frame, 1)) r.szFileName[0] = 0;
            else relabel_view(r, 1, r.szFileName);
        }
    } else {
        yyeditstorebuffername(slot, r.iBuffer, r.szFileName, sizeof r.szFileName);
        for (std::int32_t n = 1; n <= r.nBuffers; ++n) {
            std::string name;
            if (n == r.iBuffer) name = r.szFileName;
            else yyeditgetbuffername(slot, n, name, 259);
            // Paths are compared exactly: names differing in case are different files here.
            if (!path.empty() && name == path) {
                if (n != r.iBuffer) yyEditSwitchBuffer(frame, n);
                r.iFileType[r.iBuffer - 1] = fileType == -1 ? 1 : fileType;
                yyEditTitle(frame);
                return;
            }
        }
        if (r.nBuffers >= EditBuffersPerWindow) {
            status = EditorBuffersFull;
            return;
        }
        check_view(r, r.iBuffer, false);
        yyeditstorebuffer(slot, r.iBuffer);
        yyeditstorebuffername(slot, r.iBuffer, r.szFileName, sizeof r.szFileName);
        copy_text(r.szFileName, sizeof r.szFileName, path);
        ++r.nBuffers;
        r.iBuffer = r.nBuffers;
        r.hFile[r.iBuffer - 1] = 0;
        r.iBookmark[r.iBuffer - 1] = -1;
        if (path.empty() || !yyEditOpenFile(frame, 1)) clear_text(r);
        yyeditstorebuffername(slot, r.iBuffer, r.szFileName, sizeof r.szFileName);
        append_view_item(r, r.iBuffer);
    }
    r.iFileType[r.iBuffer - 1] = fileType == -1 ? 1 : fileType;
    yyEditTitle(frame);
}

// Releases what the conversion made; the record goes unless a modal loop still needs it.
void teardown(OsHandle frame, bool free_record) {
    EditorWindowData* r = yyeditrecord(frame);
    if (!r) return;
    const std::int32_t slot = slot_of(frame);
    if (r->iMode == DialogSemiModeless) {
        if (dlgtab.nSemi > 0) --dlgtab.nSemi;
        const OsHandle back = valid_slot(slot) && wtab.hPrevious[ix(slot)] ? wtab.hPrevious[ix(slot)] : wtab.wWindow[0];
        if (back && back != frame) {
            yyEnableDialogs(back, true);
            os_set_active_window(back);
        }
    }
    if (r->hFindDialog && os_is_window(r->hFindDialog)) os_destroy_window(r->hFindDialog);
    r->hFindDialog = 0;
    if (r->hEditAccel) os_destroy_accelerators(r->hEditAccel);
    if (r->hUserAccel) os_destroy_accelerators(r->hUserAccel);
    r->hEditAccel = r->hUserAccel = 0;
    if (r->hFont && r->hFont != os_get_stock_object(OS_SYSTEM_FONT) && r->hFont != os_get_stock_object(OS_SYSTEM_FIXED_FONT))
        os_delete_object(r->hFont);
    r->hFont = 0;
    if (valid_slot(slot) && r->hMenu) yyClearMenuPrompt(r->hMenu, slot);
    for (std::int32_t& h : r->hFile)
        if (h > 0) os_file_close(h);
    std::fill(std::begin(r->hFile), std::end(r->hFile), 0);
    if (r->hCommandEdit && os_is_window(r->hCommandEdit)) {
        const auto old = reinterpret_cast<OsWndProc>(os_get_window_user(r->hCommandEdit));
        if (old) os_set_window_proc(r->hCommandEdit, old);
    }
    if (r->hRichEdit && os_is_window(r->hRichEdit) && r->bColouring) {
        const auto old = reinterpret_cast<OsWndProc>(os_get_window_user(r->hRichEdit));
        os_set_proc_paints(r->hRichEdit, false);
        if (old) os_set_window_proc(r->hRichEdit, old);
    }
    if (os_get_window_proc(frame) == yyEditWndProc) os_set_window_proc(frame, yyWndProc);
    os_set_window_user(frame, 0);
    if (free_record) delete r;
}

void fill_last_result(OsHandle frame, EditorWindowData& r) {
    const std::int32_t slot = slot_of(frame);
    LastEditorResult& l = last_editor_result;
    yyeditinfo(slot, 1, l.saved);
    // The length counts each line break as two characters.
    l.length = yyGetWindowTextLength(r.hRichEdit, r.bHidden);
    l.changed = r.bChanged;
    std::int32_t v = 0;
    yyeditinfo(slot, 4, v);
    l.sel_start = v - 1;
    yyeditinfo(slot, 5, l.sel_end);
    l.buffer = r.iBuffer;
    l.buffers = r.nBuffers;
    l.top_line = static_cast<std::int32_t>(send(r.hRichEdit, OS_EM_GETFIRSTVISIBLELINE));
    l.font_option = r.iFontOption;
    l.font_size = r.iFontSize;
    l.path = r.szFileName;
    l.find_text = r.szFindText;
    l.replace_text = r.szReplaceText;
}

// ---- the commands -------------------------------------------------------------

void new_file(OsHandle frame, EditorWindowData& r) {
    if (!r.bCanNew) return;
    const std::int32_t slot = slot_of(frame);
    if (!r.bMultiFile) {
        if (!yyEditCheckSave(frame, r)) return;
        yyEditCloseFile(frame);
        r.szFileName[0] = 0;
        clear_text(r);
        r.iBookmark[0] = -1;
        yyEditTitle(frame);
        send_command(frame, 32101);
        return;
    }
    if (r.nBuffers >= EditBuffersPerWindow) return;
    check_view(r, r.iBuffer, false);
    yyeditstorebuffer(slot, r.iBuffer);
    yyeditstorebuffername(slot, r.iBuffer, r.szFileName, sizeof r.szFileName);
    clear_text(r);
    send_command(frame, 32101);
    const std::int32_t type = r.iFileType[r.iBuffer - 1];
    ++r.nBuffers;
    r.iBuffer = r.nBuffers;
    r.iFileType[r.iBuffer - 1] = type;
    r.hFile[r.iBuffer - 1] = 0;
    r.iBookmark[r.iBuffer - 1] = -1;
    r.szFileName[0] = 0;
    yyeditstorebuffername(slot, r.iBuffer, r.szFileName, sizeof r.szFileName);
    yyEditTitle(frame);
    append_view_item(r, r.iBuffer);
}

void open_file(OsHandle frame, EditorWindowData& r) {
    if (!r.bCanOpen) return;
    const std::int32_t slot = slot_of(frame);
    if (!r.bMultiFile && !yyEditCheckSave(frame, r)) return;
    if (r.bMultiFile && r.nBuffers >= EditBuffersPerWindow) return;
    OsCommonDialogRequest q;
    q.kind = OsCommonDialogKind::Open;
    q.filters = yyeditfilters(r);
    q.filter_index = std::max(1, r.iFileType[r.iBuffer - 1]);
    q.flags = OS_OFN_HIDEREADONLY | OS_OFN_PATHMUSTEXIST | OS_OFN_FILEMUSTEXIST;
    q.name = r.szFileName;
    q.buffer_length = sizeof r.szFileName;
    std::string chosen;
    int index = q.filter_index;
    std::uint32_t err = 0;
    const bool modeless = r.iMode != DialogModal;
    if (modeless) yyDisableDialogs(frame, true);
    const bool ok = os_file_dialog(q, chosen, index, err);
    if (modeless) yyEnableDialogs(frame, true);
    if (os_get_style(frame) & OS_WS_CHILD) {
        os_set_focus(frame);
        yytitlecolour(frame);
    }
    if (!ok || chosen.empty() || chosen.size() >= sizeof r.szFileName) return;
    const bool multi = r.bMultiFile && !untouched(r);
    const std::int32_t old_buffer = r.iBuffer;
    std::string old_name = r.szFileName;
    if (!multi) {
        copy_text(r.szFileName, sizeof r.szFileName, chosen);
        yyEditCloseFile(frame);
    } else {
        yyeditstorebuffername(slot, r.iBuffer, r.szFileName, sizeof r.szFileName);
        for (std::int32_t n = 1; n <= r.nBuffers; ++n) {
            std::string name;
            yyeditgetbuffername(slot, n, name, 259);
            if (name == chosen) {
                if (n != r.iBuffer) yyEditSwitchBuffer(frame, n);
                send_command(frame, 32180 + n);
                return;
            }
        }
        check_view(r, r.iBuffer, false);
        yyeditstorebuffer(slot, r.iBuffer);
        ++r.nBuffers;
        r.iBuffer = r.nBuffers;
        r.hFile[r.iBuffer - 1] = 0;
        copy_text(r.szFileName, sizeof r.szFileName, chosen);
    }
    r.iFileType[r.iBuffer - 1] = index;
    if (!yyEditOpenFile(frame, 0)) {
        if (!multi) {
            copy_text(r.szFileName, sizeof r.szFileName, old_name);
        } else {
            --r.nBuffers;
            r.iBuffer = old_buffer;
            yyeditretrievebuffer(slot, r.iBuffer);
            std::string name;
            yyeditgetbuffername(slot, r.iBuffer, name, 259);
            copy_text(r.szFileName, sizeof r.szFileName, name);
            check_view(r, r.iBuffer, true);
        }
        yyEditTitle(frame);
        return;
    }
    yyeditstorebuffername(slot, r.iBuffer, r.szFileName, sizeof r.szFileName);
    if (multi) append_view_item(r, r.iBuffer);
    else relabel_view(r, 1, r.szFileName);
    send_command(frame, 32102);
}

void close_file(OsHandle frame, EditorWindowData& r) {
    if (!r.bMultiFile || !yyEditCheckSave(frame, r)) return;
    const std::int32_t slot = slot_of(frame);
    if (r.nBuffers == 1) {
        yyEditCloseFile(frame);
        r.szFileName[0] = 0;
        clear_text(r);
        r.iBookmark[0] = -1;
        relabel_view(r, 1, "");
    } else {
        const std::int32_t n = r.iBuffer;
        yyEditCloseFile(frame);
        yyeditclosebuffer(slot, n);
        for (std::int32_t k = n; k < EditBuffersPerWindow; ++k) {
            r.hFile[k - 1] = r.hFile[k];
            r.iFileType[k - 1] = r.iFileType[k];
            r.iBookmark[k - 1] = r.iBookmark[k];
            r.nBookmarkLength[k - 1] = r.nBookmarkLength[k];
        }
        r.hFile[EditBuffersPerWindow - 1] = 0;
        r.iBookmark[EditBuffersPerWindow - 1] = -1;
        for (std::int32_t k = n; k < r.nBuffers; ++k) {
            std::string name;
            yyeditgetbuffername(slot, k, name, 259);
            relabel_view(r, k, name);
        }
        if (r.hViewMenu) os_delete_menu_item(r.hViewMenu, static_cast<std::uint32_t>(r.nBuffers - 1), OS_MF_BYPOSITION);
        --r.nBuffers;
        r.iBuffer = std::min(r.iBuffer, r.nBuffers);
        check_view(r, r.iBuffer, true);
        yyeditretrievebuffer(slot, r.iBuffer);
        std::string name;
        yyeditgetbuffername(slot, r.iBuffer, name, 259);
        copy_text(r.szFileName, sizeof r.szFileName, name);
    }
    yyEditTitle(frame);
    send_command(frame, 32107);
}

void open_find(OsHandle frame, EditorWindowData& r, bool replace) {
    if (replace && r.bReadOnly) return;
    r.FindReplace.flags &= ~FR_DIALOGTERM;
    r.FindReplace.owner = frame;
    if (r.hFindDialog && os_is_window(r.hFindDialog)) os_destroy_window(r.hFindDialog);
    r.hFindDialog = os_find_dialog(r.FindReplace, replace);
}

void do_command(OsHandle frame, EditorWindowData& r, std::int32_t id) {
    switch (id) {
    case 32101: new_file(frame, r); return;
    case 32102: open_file(frame, r); return;
    case 32103:
    case 32104:
        if ((id == 32103 ? r.bCanSave : r.bCanSaveAs) && yyEditSaveFile(frame, id == 32103 ? 0 : 1)) send_command(frame, id);
        return;
    case 32105:
    case 32106:
        if (!r.bCanPrint) return;
        if (r.bAppPrints || yyEditPrint(frame, r, id == 32106 ? 1 : 0)) send_command(frame, id);
        return;
    case 32107: close_file(frame, r); return;
    case 32108: os_send_message(frame, OSM_CLOSE, 0, 0); return;
    case 32121: send(r.hRichEdit, OS_EM_UNDO); return;
    case 32127: send(r.hRichEdit, OS_EM_REDO); return;
    case 32122: send(r.hRichEdit, OS_EM_CUT); return;
    case 32123: send(r.hRichEdit, OS_EM_COPY); return;
    case 32125: send(r.hRichEdit, OS_EM_CLEAR); return;
    case 32124: yyEditPaste(r); return;
    case 32126:
        set_selection(r, 0, -1);
        send(r.hRichEdit, EM_SCROLLCARET);
        return;
    case 32141: open_find(frame, r, false); return;
    case 32143: open_find(frame, r, true); return;
    case 32142: yyEditFind(frame, r, r.FindReplace); return;
    case 32147: {
        r.iBookmark[r.iBuffer - 1] = selection(r).cpMax;
        r.nBookmarkLength[r.iBuffer - 1] = static_cast<std::int32_t>(send(r.hRichEdit, OS_EM_GETTEXTLENGTH));
        return;
    }
    case 32148: {
        const std::int32_t b = r.iBookmark[r.iBuffer - 1];
        if (b >= 0) {
            set_selection(r, b, b);
            send(r.hRichEdit, EM_SCROLLCARET);
        }
        return;
    }
    case 32161: yyEditFormatFont(frame, r); return;
    case 32162: yyEditFormatBullet(r); return;
    case 32163:
    case 32164:
    case 32165:
        if (r.bRichText && !r.bReadOnly) yyEditFormatLCR(r, id);
        return;
    case 32166:
    case 32167:
    case 32168:
        if (r.bRichText && !r.bReadOnly) yyEditFormatBIU(r, id);
        return;
    default:
        if (id >= 32181 && id <= 32200) {
            if (id - 32180 <= r.nBuffers) {
                yyEditSwitchBuffer(frame, id - 32180);
                send_command(frame, id);
            }
            return;
        }
        send_command(frame, id);
    }
}

// ---- notifications -------------------------------------------------------------

void text_changed(OsHandle frame, EditorWindowData& r) {
    undo_buttons(r);
    r.bChanged = 1;
    r.iCacheRichPos = r.iCacheFilePos = -1;
    if (r.bShowModified) yyEditTitle(frame);
    const std::int32_t b = r.iBuffer - 1;
    if (r.iBookmark[b] >= 0) {
        const std::int32_t cp = selection(r).cpMin;
        const auto len = static_cast<std::int32_t>(send(r.hRichEdit, OS_EM_GETTEXTLENGTH));
        const std::int32_t delta = len - r.nBookmarkLength[b];
        if (cp - delta <= r.iBookmark[b]) r.iBookmark[b] = std::max(0, r.iBookmark[b] + delta);
        r.nBookmarkLength[b] = len;
    }
}

void selection_changed(EditorWindowData& r) {
    if (!os_is_window_visible(r.hRichEdit)) return;
    const OsCharRange sel = selection(r);
    const bool empty = sel.cpMin == sel.cpMax;
    if (r.hEditToolbar) {
        if (empty) {
            send(r.hEditToolbar, OSM_TB_ENABLEBUTTON, 32122, 0);
            send(r.hEditToolbar, OSM_TB_ENABLEBUTTON, 32123, 0);
        } else {
            if (r.hEditMenu) os_enable_menu_item(r.hEditMenu, 32123, OS_MF_BYCOMMAND | OS_MF_ENABLED);
            send(r.hEditToolbar, OSM_TB_ENABLEBUTTON, 32123, 1);
            if (!r.bReadOnly) send(r.hEditToolbar, OSM_TB_ENABLEBUTTON, 32122, selection_unprotected(r));
        }
        yyEditUpdateBIU(r);
    }
    if (r.hToolbarTop) send(r.hToolbarTop, OSM_TB_ENABLEBUTTON, 32123, !empty);
    const auto line = static_cast<std::int32_t>(send(r.hRichEdit, OS_EM_EXLINEFROMCHAR, 0, sel.cpMax));
    const auto start = static_cast<std::int32_t>(send(r.hRichEdit, OS_EM_LINEINDEX, static_cast<std::uintptr_t>(line)));
    char buf[64];
    std::snprintf(buf, sizeof buf, "Line:%u   Col:%u", static_cast<unsigned>(line + 1), static_cast<unsigned>(sel.cpMax - start + 1));
    status_text(r, 0, buf);
}

// Key notifications of the rich-edit control; true takes the key away from it.
bool key_filter(EditorWindowData& r, const OsMsgFilter& mf) {
    if (mf.msg != OSM_KEYDOWN) return false;
    const bool shift = os_get_key_state(OS_VK_SHIFT) < 0, ctrl = os_get_key_state(OS_VK_CONTROL) < 0;
    const bool alt = os_get_key_state(OS_VK_MENU) < 0;
    switch (mf.wParam) {
    case VkNumLock:
    case VkCapital: show_lock_keys(r); return false;
    case VkInsert:
        if (!shift && !ctrl) {
            r.bInsert = !r.bInsert;
            status_text(r, 3, r.bInsert ? "\tINS" : "\tOVR");
            return false;
        }
        if (shift && !ctrl && !alt) {
            yyEditPaste(r);
            return true;
        }
        return false;
    case 'V':
        if (ctrl && !shift && !alt) {
            yyEditPaste(r);
            return true;
        }
        return false;
    case VkOemComma:
    case VkOemPeriod: return ctrl && shift && !r.bRichText;
    default: return false;
    }
}

void init_popup(EditorWindowData& r, OsHandle popup) {
    const OsCharRange sel = selection(r);
    const bool empty = sel.cpMin == sel.cpMax;
    auto state = [](bool on) { return OS_MF_BYCOMMAND | (on ? OS_MF_ENABLED : OS_MF_GRAYED); };
    if (popup == r.hFileMenu) {
        os_enable_menu_item(popup, 32106, state(!empty));
    } else if (popup == r.hEditMenu) {
        os_enable_menu_item(popup, 32121, state(send(r.hRichEdit, OS_EM_CANUNDO) != 0));
        if (wtab.iVerRTF >= 2) os_enable_menu_item(popup, 32127, state(send(r.hRichEdit, OS_EM_CANREDO) != 0));
        const bool free = selection_unprotected(r);
        os_enable_menu_item(popup, 32123, state(!empty));
        os_enable_menu_item(popup, 32122, state(!empty && free));
        os_enable_menu_item(popup, 32125, state(!empty && free));
        os_enable_menu_item(popup, 32124, state(os_clipboard_has_text() && free));
    } else if (popup == r.hSearchMenu) {
        os_enable_menu_item(popup, 32142, state(r.szFindText[0] != 0));
        os_enable_menu_item(popup, 32148, state(r.iBookmark[r.iBuffer - 1] >= 0));
    } else if (popup == r.hFormatMenu) {
        const bool free = selection_unprotected(r);
        os_enable_menu_item(popup, 32161, state(free));
        os_enable_menu_item(popup, 32162, state(free));
    }
}

bool menu_prompt(OsHandle frame, EditorWindowData& r, std::uintptr_t wp, std::intptr_t lp) {
    (void)frame;
    if (!r.hStatusBar) return false;
    const auto flags = static_cast<std::uint32_t>(os_hiword(wp));
    if (flags == OS_MENU_CLOSED || (flags & OS_MF_SYSMENU)) return false;
    const std::int32_t item = os_loword(wp);
    std::int32_t id = item;
    if (flags & OS_MF_POPUP) id = os_get_menu_item_id(static_cast<OsHandle>(lp), item);
    const bool ours = (id >= 32100 && id <= 32180) || (id > 32180 && id <= 32200);
    if (!ours) return false;
    const std::string text = id > 32180 ? std::string() : prompt_of(r, id);
    send(r.hStatusBar, OSM_SB_SETTEXT, OS_SB_SIMPLEID | OS_SBT_NOBORDERS, ptr(text.c_str()));
    return true;
}

void close_request(OsHandle frame, EditorWindowData& r) {
    const std::int32_t slot = slot_of(frame);
    const std::int32_t shown = r.iBuffer;
    std::int32_t go = yyEditCheckSave(frame, r);
    if (r.bMultiFile) {
        for (std::int32_t n = 1; n <= r.nBuffers && go; ++n) {
            if (n == r.iBuffer) continue;
            std::int32_t saved = 1;
            yyeditgetsave(slot, n, saved);
            if (saved != 0) continue;
            yyEditSwitchBuffer(frame, n);
            go = yyEditCheckSave(frame, r);
        }
        if (!go && r.iBuffer != shown) yyEditSwitchBuffer(frame, shown);
    }
    if (!go) return;
    if (r.iMode != DialogModal) {
        yyinterpretmessage(MsgClose, 0, 0, 0, frame);
        return;
    }
    r.bEndModal = 1;
    fill_last_result(frame, r);
    // The window goes; the modal loop then sees the editor ended.
    windowclosechild(slot);
}

void context_menu(OsHandle frame, EditorWindowData& r, std::intptr_t lp) {
    if (!r.hEditMenu) return;
    OsPoint at{static_cast<std::int16_t>(lp & 0xFFFF), static_cast<std::int16_t>((lp >> 16) & 0xFFFF)};
    if (lp == -1) {
        OsPoint p;
        yyEditPosFromChar(r.hRichEdit, selection(r).cpMax, p);
        std::int32_t h = r.nLineHeight, num = 0, den = 0;
        send(r.hRichEdit, OS_EM_GETZOOM, ptr(&num), ptr(&den));
        if (num > 0 && den > 0) h = h * num / den;
        p.y += h;
        os_client_to_screen(r.hRichEdit, p);
        at = p;
    }
    init_popup(r, r.hEditMenu);
    const std::int32_t id = os_track_popup_menu(r.hEditMenu, at.x, at.y, frame);
    if (id > 0) do_command(frame, r, id);
}

// A child window inside a library client area comes to the top and gets the focus.
void activate_inside(OsHandle frame, EditorWindowData& r, bool draw_active = true) {
    const OsHandle parent = os_get_parent(frame);
    if (!parent || !(os_get_style(frame) & OS_WS_CHILD) || os_get_class_name(parent) != "QUINCLIENT") return;
    os_set_window_pos(frame, OS_HWND_TOP, 0, 0, 0, 0, OS_SWP_NOMOVE | OS_SWP_NOSIZE | OS_SWP_NOACTIVATE);
    const OsHandle f = os_get_focus();
    if (!draw_active) return;
    if (f != frame && !os_is_child(frame, f)) os_set_focus(r.hFocus ? r.hFocus : frame);
    yytitlecolour(frame);
}

}  // namespace

// ---- the conversion -------------------------------------------------------------

void yyeditfile(std::int32_t& status, std::int32_t& mode, std::int32_t menuId, std::int32_t flags, std::int32_t fontOption,
                std::int32_t fontSize, std::int32_t fileType, std::string_view fileName, std::string_view filter) {
    const std::int32_t slot = wtab.wIndex;
    if (slot == 0) {
        status = EditorRootWindow;
        return;
    }
    if (!valid_slot(slot) || !wtab.wWindow[ix(slot)]) {
        status = EditorNoMemory;
        return;
    }
    const OsHandle frame = wtab.wWindow[ix(slot)];
    const std::string path = full_path(fileName);
    if (const std::int32_t* rec = yyspecialrecord(frame)) {
        if (rec[0] != WindowKindEditor) {
            status = EditorOtherKind;
            return;
        }
        next_file(frame, *yyeditrecord(frame), status, fileType, path);
        return;
    }
    const OsHandle client = wtab.hClient[ix(slot)];
    if (client && !os_child_windows(client).empty()) {
        status = EditorHasInsideChildren;
        return;
    }
    const bool inside = inside_parent(frame);
    if (inside) {
        if (mode == DialogModeless && menuId != 0) status = EditorNoMenuInside;
        if (mode == DialogModal || mode == DialogSemiModeless) {
            if (mode == DialogModal) {
                std::int32_t st = 0;
                yygetwindowbitmap(0, slot, st);
            }
            status = EditorModeChanged;
            mode = DialogModeless;
        }
    }
    // Client windows inside the outermost split that have nothing to repaint yet.
    std::array<bool, WindowSlots> clean{};
    const bool pane = is_pane(frame);
    if (pane)
        for (std::int32_t s = 0; s <= MaxChildWindows; ++s) {
            OsRect u;
            clean[ix(s)] = wtab.hClient[ix(s)] && !os_get_update_rect(wtab.hClient[ix(s)], u, false);
        }

    auto* r = new (std::nothrow) EditorWindowData;
    if (!r) {
        status = EditorNoMemory;
        return;
    }
    r->iMode = mode;
    yyeditflags(*r, flags);
    r->iFileType[0] = fileType == -1 ? 1 : fileType;
    os_set_window_user(frame, reinterpret_cast<std::intptr_t>(r));
    if (!filter.empty()) {
        const std::string_view f = filter.substr(0, std::min<std::size_t>(filter.size(), 1001));
        const char sep = filter.back();
        for (std::size_t i = 0; i < f.size(); ++i) r->szFilter[i] = f[i] == sep ? '\0' : f[i];
    }
    r->hEditAccel = os_load_accelerators(AccelId);
    if (client) os_show_window(client, OS_SW_HIDE);

    if (!inside && !(flags & EWF_NOMENU)) build_menus(frame, slot, *r, menuId, mode, status);

    auto& tb = wtab.hToolbar[ix(slot)];
    if (mode == DialogModal) {
        bool any = false;
        for (OsHandle& t : tb)
            if (t) {
                os_destroy_window(t);
                t = 0;
                any = true;
            }
        if (any) {
            wtab.pTooltip[ix(slot)].clear();
            wtab.nTooltip[ix(slot)] = 0;
            if (!os_is_iconic(frame)) {
                OsRect cr;
                os_get_client_rect(frame, cr);
                send(frame, OSM_SIZE, os_is_zoomed(frame) ? OS_SIZE_MAXIMIZED : OS_SIZE_RESTORED, os_make_lparam(cr.right, cr.bottom));
            }
        }
    } else {
        r->hToolbarTop = tb[0];
        r->hToolbarLeft = tb[1];
        r->hToolbarRight = tb[2];
        r->hToolbarBottom = tb[3];
    }
    if (mode != DialogModal && menuId != 0) {
        r->hUserAccel = os_load_accelerators(menuId);
        std::string_view b;
        if (os_resource_data(MenuPromptType, menuId, b)) wtab.hQDXMenuString[ix(slot)] = menuId;
    }

    if (!(flags & EWF_NOTOOLBAR)) build_toolbar(frame, *r);
    r->hStatusBar = wtab.wMessLine[ix(slot)];
    if (r->hStatusBar) {
        const bool caption = (os_get_style(frame) & OS_WS_CAPTION) == OS_WS_CAPTION;
        const std::int32_t edges[5] = {130, 170, 210, 250, -1};
        send(r->hStatusBar, OSM_SB_SETPARTS, caption ? 4 : 5, ptr(edges));
        status_text(*r, 0, "Line:1   Col:1");
        show_lock_keys(*r);
        status_text(*r, 3, "\tINS");
    }
    yyEditCreateFont(*r, fontOption, fontSize);
    if (flags & (EWF_COMMAND | EWF_HISTORY)) {
        if (mode == DialogModal) status = EditorNoCommandModal;
        else build_command_field(frame, *r, flags);
    }
    yyRestackToolbars(slot);

    std::uint32_t style = OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_VSCROLL | OS_ES_MULTILINE | OS_ES_AUTOVSCROLL | OS_ES_NOHIDESEL;
    if (flags & EWF_READONLY) style |= EsReadOnly;
    if (!(flags & EWF_WRAP)) style |= OS_WS_HSCROLL | OS_ES_AUTOHSCROLL;
    r->hRichEdit = os_create_window(OS_WS_EX_CLIENTEDGE, "RichEdit20A", "", style, 0, 0, 10, 10, frame, 0, IdRichEdit);
    if (!r->hRichEdit) {
        teardown(frame, true);
        status = EditorNoMemory;
        return;
    }
    send(r->hRichEdit, OSM_SETFONT, static_cast<std::uintptr_t>(r->hFont), 0);
    send(r->hRichEdit, OS_EM_EXLIMITTEXT, 0, r->nTextLimit);
    layout(frame, *r);

    if (!wtab.uFindMsgString) wtab.uFindMsgString = os_register_window_message(OS_FINDMSGSTRING);
    FINDREPLACEA& q = r->FindReplace;
    q.owner = frame;
    q.flags = FR_DOWN;
    if (os_get_style(frame) & OS_WS_CHILD) q.flags |= FR_ENABLEHOOK;
    if (wtab.iVerRTF == 1) q.flags |= FR_HIDEUPDOWN | FR_NOUPDOWN;
    q.find_what = r->szFindText;
    q.replace_with = r->szReplaceText;
    q.find_length = q.replace_length = 1024;
    q.hook = yyEditFindHook;

    std::uint32_t mask = OS_ENM_CHANGE | OS_ENM_SCROLL | OS_ENM_MOUSEEVENTS | OS_ENM_SELCHANGE | OS_ENM_PROTECTED;
    if (r->hStatusBar) mask |= OS_ENM_KEYEVENTS;
    send(r->hRichEdit, OS_EM_SETEVENTMASK, 0, static_cast<std::intptr_t>(mask));

    os_set_window_proc(frame, yyEditWndProc);
    copy_text(r->szBaseTitle, sizeof r->szBaseTitle, os_get_window_text(frame));
    copy_text(r->szFileName, sizeof r->szFileName, path);
    if (!path.empty()) {
        yyeditstorebuffername(slot, 1, r->szFileName, sizeof r->szFileName);
        yyEditOpenFile(frame, 1);
    }
    yyEditTitle(frame);
    r->hFocus = r->hCommand ? r->hCommandEdit : r->hRichEdit;
    os_set_focus(r->hFocus);
    send(r->hRichEdit, EM_SETMODIFY, 0);
    r->bChanged = 0;
    if (mode == DialogSemiModeless) ++dlgtab.nSemi;

    if (!os_is_window_enabled(frame)) {
        os_enable_window(frame, true);
        os_set_focus(r->hFocus);
    }
    os_show_window(frame, OS_SW_SHOW);
    yytitlecolour(frame);
    if (mode == DialogModal || mode == DialogSemiModeless) yyDisableDialogs(frame, true);
    if (pane) {
        const OsHandle outer = outermost_split(frame);
        for (std::int32_t s = 0; s <= MaxChildWindows; ++s)
            if (clean[ix(s)] && wtab.hClient[ix(s)] && os_is_child(outer, wtab.hClient[ix(s)]))
                os_validate_rect(wtab.hClient[ix(s)], nullptr);
    }

    if (mode != DialogModal) return;
    // The modal editor's own loop, until it is closed.
    OsMsg m;
    while (EditorWindowData* cur = yyeditrecord(frame)) {
        if (cur->bEndModal || !os_get_message(m)) break;
        if (cur->hEditAccel && os_translate_accelerator(frame, cur->hEditAccel, m)) continue;
        if (cur->hFindDialog && os_is_dialog_message(cur->hFindDialog, m)) continue;
        os_translate_message(m);
        if (!(m.message == 0x118 && m.wParam == 0xFFF6 && wmsg.block118)) os_dispatch_message(m);
    }
    if (yyeditrecord(frame)) {
        teardown(frame, true);
    }
    const OsHandle back = wtab.hLastSemi ? wtab.hLastSemi : wtab.wWindow[0];
    if (back) {
        yyEnableDialogs(back, true);
        os_set_active_window(back);
        os_set_focus(back);
    }
}

void WEditFile(std::int32_t mode, std::int32_t menuId, std::int32_t flags, std::int32_t fontOption, std::int32_t fontSize,
               std::int32_t fileType, std::string_view fileName, std::string_view filter) {
    static constexpr const char* name = "WEditFile";
    if (mode < DialogModal || mode > DialogSemiModeless) {
        yyerror(1024, name);
        return;
    }
    std::int32_t status = 0;
    yyeditfile(status, mode, menuId, flags, fontOption, fontSize, fileType, fileName, filter);
    switch (status) {
    case 0: break;
    case EditorRootWindow: yyerror(1022, name); break;
    case EditorNoAppMenuModal: yyerror(1026, name); break;
    case EditorMenuNotFound: yyerror(1002, name); break;
    case EditorNoMenuInside: yyerror(1025, name); break;
    case EditorModeChanged: yyerror(1024, name); break;
    case EditorNoMemory: yyerror(1027, name); break;
    case EditorNoCommandModal: yyerror(1033, name); break;
    case EditorOtherKind: yyerror(1038, name); break;
    case EditorHasInsideChildren: yyerror(1057, name); break;
    case EditorBuffersFull: yyerror(1068, name); break;
    default: yyerror(1027, name); break;
    }
}

// ---- the frame procedure ----------------------------------------------------------

std::intptr_t yyEditWndProc(OsHandle frame, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    EditorWindowData* r = yyeditrecord(frame);
    if (!r) return yyWndProc(frame, msg, wp, lp);
    if (msg != 0 && msg == wtab.uFindMsgString) {
        yyEditFindMessage(frame, *r);
        return 0;
    }
    switch (msg) {
    case OSM_COMMAND: {
        const std::int32_t id = os_loword(wp), code = os_hiword(wp);
        const auto from = static_cast<OsHandle>(lp);
        if (from && (from == r->hRichEdit || from == r->hCommandEdit || from == r->hCommand)) {
            if (code == EN_SETFOCUS || (from == r->hCommand && from != r->hCommandEdit && code == CBN_SETFOCUS)) {
                r->hFocus = from == r->hCommand ? r->hCommandEdit : from;
                // A control of the editor took the focus: the editor comes to the top.
                activate_inside(frame, *r, false);
                const std::int32_t slot = slot_of(frame);
                if (is_pane(frame)) {
                    yysplitpanefocus(slot);
                    const OsHandle outer = outermost_split(frame);
                    const OsHandle want = wtab.hMenuRoot[ix(slot)];
                    if (want && os_get_menu(outer) != want) {
                        os_set_menu(outer, want);
                        os_draw_menu_bar(outer);
                    }
                }
                return 0;
            }
            if (from == r->hRichEdit && code == EN_CHANGE) {
                text_changed(frame, *r);
                return 0;
            }
            if (code != 0 && code != 1) return 0;
        }
        do_command(frame, *r, id);
        return 0;
    }
    case OSM_NOTIFY: {
        const auto* h = reinterpret_cast<const OsNotifyHeader*>(lp);
        if (!h) return 0;
        if (h->from == r->hRichEdit) {
            switch (h->code) {
            case OS_EN_SELCHANGE: selection_changed(*r); return 0;
            case OS_EN_PROTECTED: {
                const auto* p = reinterpret_cast<const OsProtected*>(lp);
                return p->msg == OS_EM_COPY ? 0 : r->bProtect;
            }
            case OS_EN_MSGFILTER: return key_filter(*r, *reinterpret_cast<const OsMsgFilter*>(lp)) ? 1 : 0;
            default: return 0;
            }
        }
        if (h->code == OS_TTN_NEEDTEXT && r->hEditToolbar && (h->from == r->hTooltips || h->from == r->hEditToolbar)) {
            auto* t = reinterpret_cast<OsToolTipText*>(lp);
            const Command* c = command(static_cast<std::int32_t>(h->id));
            copy_text(t->text, sizeof t->text, c && c->tooltip ? c->tooltip : "");
            return 0;
        }
        return yyWndProc(frame, msg, wp, lp);
    }
    case OSM_INITMENUPOPUP:
        init_popup(*r, static_cast<OsHandle>(wp));
        return 0;
    case OSM_MENUSELECT:
        if (menu_prompt(frame, *r, wp, lp)) return 0;
        return yyWndProc(frame, msg, wp, lp);
    case OSM_SETFOCUS: {
        wtab.hWinCur = frame;
        yydialogclearcurrent();
        if (r->hFocus) os_set_focus(r->hFocus);
        return 0;
    }
    case OSM_MOUSEACTIVATE:
        activate_inside(frame, *r);
        return 1;
    case OSM_ERASEBKGND: return 1;
    case WmContextMenu:
        context_menu(frame, *r, lp);
        return 0;
    case OSM_SIZE:
        yyWndProc(frame, msg, wp, lp);
        if (wp != OS_SIZE_MINIMIZED) layout(frame, *r);
        return 0;
    case OSM_CLOSE:
        close_request(frame, *r);
        return 0;
    case OSM_DESTROY:
        teardown(frame, true);
        return yyWndProc(frame, msg, wp, lp);
    default: return yyWndProc(frame, msg, wp, lp);
    }
}

// ---- the command field ----------------------------------------------------------------

std::intptr_t yyEditSubCommand(OsHandle control, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    const auto old = reinterpret_cast<OsWndProc>(os_get_window_user(control));
    OsHandle frame = os_get_parent(control);
    if (frame && os_get_class_name(frame) == "COMBOBOX") frame = os_get_parent(frame);
    EditorWindowData* r = yyeditrecord(frame);
    // Other messages: the control's own procedure, put back for the call.
    auto pass = [&]() -> std::intptr_t {
        if (!old) return os_def_window_proc(control, msg, wp, lp);
        os_set_window_proc(control, old);
        const std::intptr_t res = os_send_message(control, msg, wp, lp);
        if (os_is_window(control) && os_get_window_proc(control) == old) os_set_window_proc(control, yyEditSubCommand);
        return res;
    };
    if (!r) return pass();
    const bool history = r->hCommand != r->hCommandEdit;
    const bool dropped = history && send(r->hCommand, CB_GETDROPPEDSTATE) != 0;
    if (msg == OSM_KEYDOWN) {
        switch (wp) {
        case VkUp:
        case VkDown:
            if (!history) {
                send(r->hRichEdit, OS_EM_LINESCROLL, 0, wp == VkUp ? -1 : 1);
                return 0;
            }
            if (!dropped) {
                const auto count = static_cast<std::int32_t>(send(r->hCommand, CB_GETCOUNT));
                auto sel = static_cast<std::int32_t>(send(r->hCommand, CB_GETCURSEL));
                if (sel < 0) {
                    // From the entry that begins with the field's text (the first when none does).
                    const std::string t = os_get_window_text(control);
                    sel = 0;
                    for (std::int32_t i = 0; i < count; ++i) {
                        const auto n = send(r->hCommand, CB_GETLBTEXTLEN, static_cast<std::uintptr_t>(i));
                        std::string e(static_cast<std::size_t>(std::max<std::intptr_t>(0, n)) + 1, '\0');
                        send(r->hCommand, CB_GETLBTEXT, static_cast<std::uintptr_t>(i), ptr(e.data()));
                        e.resize(std::strlen(e.c_str()));
                        if (!t.empty() && e.compare(0, t.size(), t) == 0) {
                            sel = i;
                            break;
                        }
                    }
                    send(r->hCommand, CB_SETCURSEL, static_cast<std::uintptr_t>(sel));
                    return 0;
                }
                sel = wp == VkUp ? std::max(0, sel - 1) : std::min(count, sel + 1);
                send(r->hCommand, CB_SETCURSEL, static_cast<std::uintptr_t>(sel >= count ? -1 : sel));
                if (sel >= count) os_set_window_text(control, "");
                return 0;
            }
            return pass();
        case VkPrior:
        case VkNext: {
            OsRect rc;
            os_get_client_rect(r->hRichEdit, rc);
            const std::int32_t page = std::max(1, rc.height() / std::max(1, r->nLineHeight));
            send(r->hRichEdit, OS_EM_LINESCROLL, 0, wp == VkPrior ? -page : page);
            return 0;
        }
        case VkCapital:
        case VkNumLock:
            show_lock_keys(*r);
            return pass();
        default: return pass();
        }
    }
    if (msg == OSM_CHAR) {
        if (wp == 1) {  // Ctrl+A
            send(control, EM_SETSEL, 0, -1);
            return 0;
        }
        if (wp == 13) {
            yyinterpretmessage(MsgEditReturn, 0, static_cast<std::uintptr_t>(-1), -1, frame);
            if (dropped) pass();
            if (history) {
                const std::string t = os_get_window_text(control);
                const bool blank = t.find_first_not_of(' ') == std::string::npos;
                const auto count = static_cast<std::int32_t>(send(r->hCommand, CB_GETCOUNT));
                bool differs = true;
                if (count > 0) {
                    const auto n = send(r->hCommand, CB_GETLBTEXTLEN, 0);
                    std::string e(static_cast<std::size_t>(std::max<std::intptr_t>(0, n)) + 1, '\0');
                    send(r->hCommand, CB_GETLBTEXT, 0, ptr(e.data()));
                    e.resize(std::strlen(e.c_str()));
                    differs = e != t;
                }
                if (!blank && differs) {
                    if (count >= 100) send(r->hCommand, CB_DELETESTRING, 99);
                    send(r->hCommand, CB_INSERTSTRING, 0, ptr(t.c_str()));
                }
                send(r->hCommand, CB_SETCURSEL, 0);
            }
            return 0;
        }
        if (wp == 27 && !dropped) {
            os_set_window_text(control, "");
            return 0;
        }
    }
    return pass();
}

std::intptr_t yyEditFindHook(OsHandle dialog, std::uint32_t msg, std::uintptr_t wp, std::intptr_t) {
    if (msg == OSM_INITDIALOG) return 1;
    if (msg == OSM_COMMAND && os_loword(wp) == 2) {
        const OsHandle owner = os_get_owner(dialog);
        if (owner) {
            os_set_focus(owner);
            yytitlecolour(owner);
        }
    }
    return 0;
}

// ---- what the window layer asks of an editor ---------------------------------------------------

bool yyeditkeyboard(OsHandle frame, const OsMsg& m) {
    EditorWindowData* r = yyeditrecord(frame);
    if (!r) return false;
    if (r->hFindDialog && os_is_window(r->hFindDialog) && (m.hwnd == r->hFindDialog || os_is_child(r->hFindDialog, m.hwnd)))
        return os_is_dialog_message(r->hFindDialog, m);
    // Keys of other windows the editor owns are not its commands.
    if (m.hwnd != frame && !os_is_child(frame, m.hwnd)) return false;
    if (r->hEditAccel && os_translate_accelerator(frame, r->hEditAccel, m)) return true;
    if (r->hUserAccel && os_translate_accelerator(frame, r->hUserAccel, m)) return true;
    return false;
}

std::int32_t yyeditextraheight(OsHandle frame) {
    const EditorWindowData* r = yyeditrecord(frame);
    return r && r->hCommand ? r->nCommandHeight : 0;
}

void yyeditrelease(OsHandle frame) { teardown(frame, true); }

void yyeditdetach(OsHandle frame) { teardown(frame, true); }

// ---- command field and history routines ----------------------------------------------------

namespace {
// The current editor when it has a command field: status 1 without an
// editor, 2 without the field.
EditorWindowData* command_editor(std::int32_t& status) {
    EditorWindowData* r = yyeditcurrent();
    status = !r ? 1 : (!r->hCommand ? 2 : 0);
    return status == 0 ? r : nullptr;
}
}  // namespace

void yyeditprompt(std::int32_t& status, const char* text, std::int32_t length) {
    EditorWindowData* r = command_editor(status);
    if (!r) return;
    const std::string t = text ? std::string(text, strnlen(text, static_cast<std::size_t>(std::max(0, length)))) : std::string();
    os_set_window_text(r->hPromptText, t);
    std::int32_t width = 0;
    if (!t.empty()) {
        const OsDC dc = os_get_dc(r->hPromptText);
        const OsObject old = os_select_object(dc, r->hFont);
        OsPoint ext{};
        os_get_text_extent(dc, t, ext);
        os_select_object(dc, old);
        os_release_dc(r->hPromptText, dc);
        OsRect fr{0, 0, ext.x, 10};
        os_adjust_window_rect(fr, os_get_style(r->hPromptFrame), false, os_get_ex_style(r->hPromptFrame));
        width = fr.width();
    }
    OsRect pr, cr;
    os_get_window_rect(r->hPromptFrame, pr);
    os_get_window_rect(r->hCommand, cr);
    const OsHandle frame = os_get_parent(r->hCommand);
    OsPoint at{pr.left, pr.top}, cend{cr.right, cr.top};
    os_screen_to_client(frame, at);
    os_screen_to_client(frame, cend);
    os_move_window(r->hPromptFrame, at.x, at.y, width, r->nCommandHeight, true);
    os_move_window(r->hPromptText, 0, r->nPromptOffset, width, r->nCommandHeight - r->nPromptOffset, true);
    const std::int32_t x = at.x + width;
    const std::int32_t h = r->hCommand != r->hCommandEdit ? r->nCommandHeight * 10 : r->nCommandHeight;
    os_move_window(r->hCommand, x, at.y, std::max(0, cend.x - x), h, true);
    os_invalidate_rect(r->hPromptFrame, nullptr, true);
    os_invalidate_rect(r->hCommand, nullptr, true);
    status = 0;
}

void yyeditputcommand(std::int32_t& status, const char* text, std::int32_t caret) {
    EditorWindowData* r = command_editor(status);
    if (!r) return;
    if (r->hCommand != r->hCommandEdit) send(r->hCommand, CB_SETCURSEL, static_cast<std::uintptr_t>(-1));
    const auto old = reinterpret_cast<OsWndProc>(os_get_window_user(r->hCommandEdit));
    if (old) os_set_window_proc(r->hCommandEdit, old);
    os_set_window_text(r->hCommandEdit, text ? text : "");
    send(r->hCommandEdit, EM_SETSEL, static_cast<std::uintptr_t>(caret), caret);
    send(r->hCommandEdit, EM_SCROLLCARET);
    if (old) os_set_window_proc(r->hCommandEdit, yyEditSubCommand);
    os_invalidate_rect(r->hCommand, nullptr, true);
    status = 0;
}

void yyeditgetcommand(std::int32_t& status, char* text, std::int32_t length) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) {
        status = 1;
        return;
    }
    if (!r->hCommand) {
        status = 3;
        return;
    }
    const std::string t = os_get_window_text(r->hCommandEdit);
    if (!text || length <= 0) {
        status = t.empty() ? 0 : 2;
        return;
    }
    copy_text(text, static_cast<std::size_t>(length), t);
    status = t.size() <= static_cast<std::size_t>(length - 1) ? 0 : 2;
}

void yyeditcheckhistory(std::int32_t& status) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) status = 1;
    else status = (!r->hCommand || r->hCommand == r->hCommandEdit) ? 2 : 0;
}

void yyeditclearhistory(std::int32_t& status) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) {
        status = 1;
        return;
    }
    if (!r->hCommand || r->hCommand == r->hCommandEdit) {
        status = 2;
        return;
    }
    send(r->hCommand, CB_RESETCONTENT);
    status = 0;
}

void yyeditputhistory(std::int32_t index, const char* text) {
    EditorWindowData* r = yyeditcurrent();
    if (!r || !r->hCommand || r->hCommand == r->hCommandEdit) return;
    send(r->hCommand, CB_INSERTSTRING, static_cast<std::uintptr_t>(index), ptr(text ? text : ""));
}

void yyeditgethistory(std::int32_t index, char* text, std::int32_t length) {
    EditorWindowData* r = yyeditcurrent();
    if (!r || !text || length <= 0 || !r->hCommand || r->hCommand == r->hCommandEdit) return;
    const auto n = send(r->hCommand, CB_GETLBTEXTLEN, static_cast<std::uintptr_t>(index));
    if (n < 0) return;
    std::string e(static_cast<std::size_t>(n) + 1, '\0');
    send(r->hCommand, CB_GETLBTEXT, static_cast<std::uintptr_t>(index), ptr(e.data()));
    e.resize(std::strlen(e.c_str()));
    copy_text(text, static_cast<std::size_t>(length), e);
}
