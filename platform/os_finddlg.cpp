// The find and replace dialogs, built from templates of our own.
#include "platform/os_finddlg.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace {

std::map<OsWindow, OsFindReplace*> g_requests;

OsDialogControl ctl(const char* cls, int id, const char* text, int x, int y, int cx, int cy, std::uint32_t style) {
    OsDialogControl c;
    c.class_name = cls;
    c.id = id;
    c.text = text;
    c.x = x;
    c.y = y;
    c.cx = cx;
    c.cy = cy;
    c.style = OS_WS_CHILD | OS_WS_VISIBLE | style;
    return c;
}

OsDialogTemplate make_template(bool replace) {
    OsDialogTemplate t;
    t.caption = replace ? "Replace" : "Find";
    t.style = OS_WS_POPUP | OS_WS_CAPTION | OS_WS_SYSMENU | OS_DS_MODALFRAME;
    const std::uint32_t edit = OS_WS_BORDER | OS_WS_TABSTOP | OS_ES_AUTOHSCROLL;
    const std::uint32_t check = OS_BS_AUTOCHECKBOX | OS_WS_TABSTOP;
    t.controls.push_back(ctl("STATIC", -1, "Fi&nd what:", 4, 8, 48, 8, OS_SS_LEFT));
    t.controls.push_back(ctl("EDIT", OS_FIND_EDIT, "", 54, 7, 114, 12, edit | OS_WS_GROUP));
    if (replace) {
        t.cx = 230;
        t.cy = 94;
        t.controls.push_back(ctl("STATIC", -1, "Re&place with:", 4, 26, 48, 8, OS_SS_LEFT));
        t.controls.push_back(ctl("EDIT", OS_REPLACE_EDIT, "", 54, 24, 114, 12, edit | OS_WS_GROUP));
        t.controls.push_back(ctl("BUTTON", OS_FIND_WHOLEWORD, "Match &whole word only", 5, 46, 104, 12, check | OS_WS_GROUP));
        t.controls.push_back(ctl("BUTTON", OS_FIND_MATCHCASE, "Match &case", 5, 62, 59, 12, check));
        t.controls.push_back(ctl("BUTTON", OS_FIND_NEXT, "&Find Next", 174, 4, 50, 14, OS_BS_DEFPUSHBUTTON | OS_WS_TABSTOP | OS_WS_GROUP));
        t.controls.push_back(ctl("BUTTON", OS_FIND_REPLACE, "&Replace", 174, 21, 50, 14, OS_WS_TABSTOP));
        t.controls.push_back(ctl("BUTTON", OS_FIND_REPLACEALL, "Replace &All", 174, 38, 50, 14, OS_WS_TABSTOP));
        t.controls.push_back(ctl("BUTTON", OS_FIND_CANCEL, "Cancel", 174, 55, 50, 14, OS_WS_TABSTOP));
    } else {
        t.cx = 236;
        t.cy = 62;
        t.controls.push_back(ctl("BUTTON", OS_FIND_WHOLEWORD, "Match &whole word only", 4, 26, 100, 12, check | OS_WS_GROUP));
        t.controls.push_back(ctl("BUTTON", OS_FIND_MATCHCASE, "Match &case", 4, 42, 64, 12, check));
        t.controls.push_back(ctl("BUTTON", -1, "Direction", 107, 26, 68, 28, OS_BS_GROUPBOX | OS_WS_GROUP));
        t.controls.push_back(ctl("BUTTON", OS_FIND_UP, "&Up", 111, 38, 25, 12, OS_BS_AUTORADIOBUTTON | OS_WS_GROUP | OS_WS_TABSTOP));
        t.controls.push_back(ctl("BUTTON", OS_FIND_DOWN, "&Down", 138, 38, 35, 12, OS_BS_AUTORADIOBUTTON));
        t.controls.push_back(ctl("BUTTON", OS_FIND_NEXT, "&Find Next", 182, 5, 50, 14, OS_BS_DEFPUSHBUTTON | OS_WS_TABSTOP | OS_WS_GROUP));
        t.controls.push_back(ctl("BUTTON", OS_FIND_CANCEL, "Cancel", 182, 23, 50, 14, OS_WS_TABSTOP));
    }
    return t;
}

void read_text(OsWindow dlg, int id, char* buf, std::int32_t room) {
    if (!buf || room <= 0) return;
    const OsWindow e = os_get_dlg_item(dlg, id);
    const std::string s = e ? os_get_window_text(e) : std::string();
    const std::size_t n = std::min(s.size(), static_cast<std::size_t>(room - 1));
    std::memcpy(buf, s.data(), n);
    buf[n] = 0;
}

bool checked(OsWindow dlg, int id) {
    const OsWindow b = os_get_dlg_item(dlg, id);
    return b && os_send_message(b, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void set_check(OsWindow dlg, int id, bool on) {
    if (const OsWindow b = os_get_dlg_item(dlg, id)) os_send_message(b, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Tells the owner what the user asked for.
void notify(OsWindow dlg, OsFindReplace& q, std::uint32_t what) {
    read_text(dlg, OS_FIND_EDIT, q.find_what, q.find_length);
    read_text(dlg, OS_REPLACE_EDIT, q.replace_with, q.replace_length);
    std::uint32_t f = q.flags & ~(FR_DOWN | FR_WHOLEWORD | FR_MATCHCASE | FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL | FR_DIALOGTERM);
    if (checked(dlg, OS_FIND_WHOLEWORD)) f |= FR_WHOLEWORD;
    if (checked(dlg, OS_FIND_MATCHCASE)) f |= FR_MATCHCASE;
    // The replace dialog always searches down; the find dialog as chosen.
    if (!os_get_dlg_item(dlg, OS_FIND_UP) || !checked(dlg, OS_FIND_UP)) f |= FR_DOWN;
    q.flags = f | what;
    if (q.owner) os_send_message(q.owner, os_register_window_message(OS_FINDMSGSTRING), 0, reinterpret_cast<std::intptr_t>(&q));
}

std::intptr_t find_proc(OsWindow dlg, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    if (msg == OSM_INITDIALOG) {
        auto* q = reinterpret_cast<OsFindReplace*>(lp);
        g_requests[dlg] = q;
        if (const OsWindow e = os_get_dlg_item(dlg, OS_FIND_EDIT); e && q->find_what) os_set_window_text(e, q->find_what);
        if (const OsWindow e = os_get_dlg_item(dlg, OS_REPLACE_EDIT); e && q->replace_with) os_set_window_text(e, q->replace_with);
        set_check(dlg, OS_FIND_WHOLEWORD, q->flags & FR_WHOLEWORD);
        set_check(dlg, OS_FIND_MATCHCASE, q->flags & FR_MATCHCASE);
        set_check(dlg, OS_FIND_DOWN, q->flags & FR_DOWN);
        set_check(dlg, OS_FIND_UP, !(q->flags & FR_DOWN));
        for (int id : {OS_FIND_UP, OS_FIND_DOWN})
            if (const OsWindow b = os_get_dlg_item(dlg, id)) {
                if (q->flags & FR_NOUPDOWN) os_enable_window(b, false);
                if (q->flags & FR_HIDEUPDOWN) os_show_window(b, OS_SW_HIDE);
            }
        if ((q->flags & FR_ENABLEHOOK) && q->hook) return q->hook(dlg, msg, wp, lp);
        return 1;
    }
    auto it = g_requests.find(dlg);
    if (it == g_requests.end()) return 0;
    OsFindReplace& q = *it->second;
    if ((q.flags & FR_ENABLEHOOK) && q.hook && q.hook(dlg, msg, wp, lp)) return 1;
    switch (msg) {
    case OSM_COMMAND:
        switch (os_loword(wp)) {
        case OS_FIND_NEXT: notify(dlg, q, FR_FINDNEXT); return 1;
        case OS_FIND_REPLACE: notify(dlg, q, FR_REPLACE); return 1;
        case OS_FIND_REPLACEALL: notify(dlg, q, FR_REPLACEALL); return 1;
        case OS_FIND_CANCEL:
            notify(dlg, q, FR_DIALOGTERM);
            os_destroy_window(dlg);
            return 1;
        default: return 0;
        }
    case OSM_CLOSE:
        os_send_message(dlg, OSM_COMMAND, OS_FIND_CANCEL, 0);
        return 1;
    case OSM_DESTROY:
        g_requests.erase(dlg);
        return 0;
    default: return 0;
    }
}

}  // namespace

OsWindow os_find_dialog(OsFindReplace& request, bool replace) {
    const OsWindow dlg = os_create_dialog_indirect(make_template(replace), request.owner, find_proc,
                                                   reinterpret_cast<std::intptr_t>(&request));
    if (!dlg) return 0;
    os_show_window(dlg, OS_SW_SHOWNORMAL);
    return dlg;
}
