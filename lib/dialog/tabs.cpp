// Tab fields whose pages are loaded dialogs: building them from the
// companion text, attaching the pages to the dialog that holds the tab
// while it is shown, the user's page changes with the numeric check, and
// selecting or disabling a page by program.
#include "lib/dialog/fields.h"
#include "lib/window/messages.h"
#include "platform/os_dialog.h"

namespace {

bool atom_is(OsHandle w, std::int32_t atom) { return atom != 0 && os_window_class_atom(w) == atom; }

OsHandle page_window(std::int32_t page) {
    const std::int32_t s = yydialogfind(page);
    return s > 0 ? dlgtab.hDialogList[static_cast<std::size_t>(s)] : 0;
}

bool item_of(OsHandle tab, std::intptr_t i, OsTabItem& item) {
    return i >= 0 && os_send_message(tab, TCM_GETITEM, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&item)) != 0;
}

std::int32_t item_count(OsHandle tab) { return static_cast<std::int32_t>(os_send_message(tab, TCM_GETITEMCOUNT, 0, 0)); }

// A page may be neither the dialog itself nor one the dialog lies in:
// attaching it would have no end.
bool usable_page(OsHandle owner, OsHandle page) { return page && page != owner && !os_is_child(page, owner); }

// The tab's display area in its parent's client coordinates.
OsRect display_area(OsHandle tab) {
    OsRect r;
    os_get_window_rect(tab, r);
    OsPoint tl{r.left, r.top}, br{r.right, r.bottom};
    const OsHandle p = os_get_parent(tab);
    os_screen_to_client(p, tl);
    os_screen_to_client(p, br);
    OsRect a{tl.x, tl.y, br.x, br.y};
    os_send_message(tab, TCM_ADJUSTRECT, 0, reinterpret_cast<std::intptr_t>(&a));
    return a;
}

void place_pages(OsHandle owner, OsHandle tab) {
    const OsRect a = display_area(tab);
    for (std::int32_t i = 0, n = item_count(tab); i < n; ++i) {
        OsTabItem item;
        if (!item_of(tab, i, item)) continue;
        const OsHandle p = page_window(item.data[0]);
        if (!usable_page(owner, p)) continue;
        os_set_window_pos(p, 0, a.left, a.top, a.width(), a.height(), OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
    }
}

std::int32_t read_int(std::string_view t, std::size_t& p) {
    while (p < t.size() && (t[p] == ' ' || t[p] == '\t')) ++p;
    bool minus = false;
    if (p < t.size() && t[p] == '-') minus = true, ++p;
    std::int64_t v = 0;
    while (p < t.size() && t[p] >= '0' && t[p] <= '9') {
        if (v < 100000000000LL) v = v * 10 + (t[p] - '0');
        ++p;
    }
    while (p < t.size() && t[p] != ' ' && t[p] != '\n') ++p;
    while (p < t.size() && t[p] == ' ') ++p;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(minus ? -v : v, INT32_MIN, INT32_MAX));
}

// Right after its tab field in the z-order, so that Tab goes from the tab
// field into the page's fields before the dialog's other fields.
void show_page(OsHandle tab, OsHandle page) {
    os_set_window_pos(page, tab, 0, 0, 0, 0, OS_SWP_NOMOVE | OS_SWP_NOSIZE | OS_SWP_NOACTIVATE | OS_SWP_SHOWWINDOW);
}

void hide_page(OsHandle page) {
    if (page) os_show_window(page, OS_SW_HIDE);
}

bool focus_on(OsHandle w) { return os_get_focus() == w; }

}  // namespace

std::int32_t yytabbuild(OsHandle d, OsHandle tab, const char* text, std::int32_t index) {
    const std::string_view t(text ? text : "");
    std::size_t p = 0;
    const std::int32_t count = read_int(t, p);
    const std::int32_t first = read_int(t, p);
    std::size_t used = p;
    // The page lines follow.
    std::size_t q = t.find('\n', p);
    const std::int32_t saved = dlgtab.iDlgCur;
    for (std::int32_t i = 0; i < count && q != std::string_view::npos && q + 1 < t.size(); ++i) {
        std::size_t a = q + 1;
        const std::size_t end = std::min(t.find('\n', a), t.size());
        const std::int32_t page = read_int(t.substr(0, end), a);
        std::string_view caption = t.substr(a, std::min<std::size_t>(end - std::min(a, end), 1024));
        if (!caption.empty()) caption.remove_suffix(1);
        OsTabItem item;
        item.text = std::string(caption);
        item.data[0] = page;
        item.data[1] = 0;
        os_send_message(tab, TCM_INSERTITEM, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&item));
        // A probe of the dialog loads nothing into the table.
        if (index != -1) {
            std::int32_t res = page;
            yydialogload2(res, page, 0, 0);
        }
        used = end;
        q = end < t.size() ? end : std::string_view::npos;
    }
    if (index != -1) dlgtab.iDlgCur = saved;
    place_pages(d, tab);
    std::int32_t select = 0;
    for (std::int32_t i = 0, n = item_count(tab); i < n; ++i) {
        OsTabItem item;
        if (item_of(tab, i, item) && item.data[0] == first) {
            select = i;
            break;
        }
    }
    os_send_message(tab, TCM_SETCURSEL, static_cast<std::uintptr_t>(select), 0);
    return static_cast<std::int32_t>(used);
}

void yytabdialoginit(OsHandle d) {
    for (OsHandle tab : os_child_windows(d)) {
        if (!atom_is(tab, dlgtab.atomTab)) continue;
        const OsRect a = display_area(tab);
        const auto cur = os_send_message(tab, TCM_GETCURSEL, 0, 0);
        for (std::int32_t i = 0, n = item_count(tab); i < n; ++i) {
            OsTabItem item;
            if (!item_of(tab, i, item)) continue;
            // 1.
            const OsHandle page = page_window(item.data[0]);
            if (!usable_page(d, page)) continue;
            // 2.
            std::uint32_t style = os_get_style(page);
            style &= ~(OS_WS_POPUP | OS_WS_BORDER | OS_WS_DLGFRAME | OS_WS_SYSMENU | OS_DS_MODALFRAME);
            style |= OS_WS_CHILD | OS_DS_CONTROL;
            os_set_style(page, style);
            // 3.
            if (yyIsResizableDialog(page))
                for (OsHandle c : os_child_windows(page))
                    if (atom_is(c, dlgtab.atomScrollbar) && os_get_control_id(c) == 0xFFFF) os_destroy_window(c);
            // 4.
            os_set_parent(page, d);
            // 5.
            const bool show = i == cur && (os_get_style(tab) & OS_WS_VISIBLE);
            os_set_window_pos(page, tab, a.left, a.top, 0, 0,
                              OS_SWP_NOSIZE | OS_SWP_NOACTIVATE | (show ? OS_SWP_SHOWWINDOW : 0u));
            // 6.
            os_enable_window(page, true);
            yytabdialoginit(page);
        }
    }
}

void yytabdialogend(OsHandle d) {
    if (!d) return;
    const OsHandle client = wtab.hClient[0];
    // The pages of the dialog's tab fields; a dialog loaded into the dialog
    // as into a window stays with it.
    for (OsHandle tab : os_child_windows(d)) {
        if (!atom_is(tab, dlgtab.atomTab)) continue;
        for (std::int32_t i = 0, n = item_count(tab); i < n; ++i) {
            OsTabItem item;
            if (!item_of(tab, i, item)) continue;
            const OsHandle c = page_window(item.data[0]);
            if (!c || os_get_parent(c) != d) continue;
            if (client) os_set_parent(c, client);
            os_show_window(c, OS_SW_HIDE);
            yyDialogCreateSizeGrip(c);
        }
    }
}

void yytabdialogsetfocus(OsHandle tab, OsHandle page, std::int32_t focus) {
    OsHandle target = tab;
    for (OsHandle c : os_child_windows(page)) {
        const std::uint32_t s = os_get_style(c);
        if ((s & OS_WS_TABSTOP) && (s & OS_WS_VISIBLE) && !(s & OS_WS_DISABLED)) {
            target = c;
            break;
        }
    }
    if (focus) os_set_focus(target);
    yyDialogSelectAll(target);
}

std::intptr_t yytabnotify(OsHandle d, std::intptr_t lp) {
    const auto* h = reinterpret_cast<const OsNotifyHeader*>(lp);
    DialogRecord* r = yydialogrecord(d);
    if (!h || !r) return 0;
    const OsHandle tab = h->from;
    const auto sel = os_send_message(tab, TCM_GETCURSEL, 0, 0);
    OsTabItem item;
    item_of(tab, sel, item);
    const OsHandle page = page_window(item.data[0]);
    // 1.
    const OsHandle focus = os_get_focus();
    if (focus != tab && yynumerickind(focus) && yyoutofrange(focus, focus, 0)) dlgtab.hBadTab = focus;
    if (h->code == OS_TCN_SELCHANGING) {
        // 2.
        if (dlgtab.hBadTab || dlgtab.hBadVal) {
            dlgtab.iBadTab = static_cast<std::int32_t>(sel);
            if (quinda.bell) os_message_beep(0);
            return 0;
        }
        hide_page(page);
        if (!dlgtab.creating) r->item[DlgPreviousTab] = item.data[0];
        return 0;
    }
    if (h->code != OS_TCN_SELCHANGE) return 0;
    // 3.
    const OsHandle bad = dlgtab.hBadTab ? dlgtab.hBadTab : dlgtab.hBadVal;
    if (bad) {
        os_send_message(tab, TCM_SETCURSEL, static_cast<std::uintptr_t>(dlgtab.iBadTab), 0);
        os_set_focus(bad);
        os_send_message(bad, EM_SETSEL, 0, -1);
        return 0;
    }
    if (page) show_page(tab, page);
    os_update_window(tab);
    if (page) {
        if (!focus_on(tab)) yytabdialogsetfocus(tab, page, 1);
        os_update_window(page);
    }
    if (!dlgtab.creating) {
        r->item[DlgCurrentTab] = item.data[0];
        if (d != dlgtab.hDialogList[0]) yyinterpretmessage(MsgTabChanged, 0, 0, 0, d);
    }
    return 0;
}

void yydialogsettab(std::int32_t& field, std::int32_t& page) {
    const OsHandle tab = yyfieldwindow(field);
    if (!atom_is(tab, dlgtab.atomTab)) {
        field = -1;
        return;
    }
    std::int32_t found = -1;
    for (std::int32_t i = 0, n = item_count(tab); i < n; ++i) {
        OsTabItem item;
        if (item_of(tab, i, item) && item.data[0] == page && item.data[1] == 0) {
            found = i;
            break;
        }
    }
    if (found < 0) {
        page = -1;
        return;
    }
    const auto cur = os_send_message(tab, TCM_GETCURSEL, 0, 0);
    if (cur == found || !(os_get_style(tab) & OS_WS_VISIBLE)) return;
    OsTabItem old;
    if (item_of(tab, cur, old)) hide_page(page_window(old.data[0]));
    os_send_message(tab, TCM_SETCURSEL, static_cast<std::uintptr_t>(found), 0);
    if (const OsHandle p = page_window(page)) {
        show_page(tab, p);
        const DialogRecord* r = yydialogrecord(yycurrentdialog());
        yytabdialogsetfocus(tab, p, r ? r->item[DlgShown] : 0);
    }
    os_update_window(tab);
}

void yytabenable(std::int32_t& field, std::int32_t& page, std::int32_t flag) {
    const OsHandle tab = yyfieldwindow(field);
    if (!atom_is(tab, dlgtab.atomTab)) {
        field = -1;
        return;
    }
    for (std::int32_t i = 0, n = item_count(tab); i < n; ++i) {
        OsTabItem item;
        if (!item_of(tab, i, item) || item.data[0] != page) continue;
        const std::int32_t disabled = flag == 0 ? 1 : 0;
        if (item.data[1] != disabled) {
            item.data[1] = disabled;
            item.embossed = disabled != 0;
            os_send_message(tab, TCM_SETITEM, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&item));
            if (os_get_style(tab) & OS_WS_VISIBLE) {
                OsRect ir;
                os_send_message(tab, TCM_GETITEMRECT, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&ir));
                os_invalidate_rect(tab, &ir, true);
            }
            os_update_window(tab);
        }
        return;
    }
    page = -1;
}
