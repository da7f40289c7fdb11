// Split windows: splitting, the bar the user drags, the layout of the panes
// when the split window changes size, the rule of fixed panes with the size
// limits and sizing borders it gives, and the close check.
#include "lib/window/splitwin.h"

#include <algorithm>
#include <string>

#include "lib/dialog/dialog_window.h"
#include "lib/window/childwin.h"
#include "lib/window/menus.h"
#include "lib/window/messages.h"
#include "lib/window/rootwin.h"
#include "lib/window/text.h"
#include "lib/grid/editor.h"
#include "lib/grid/grid_window.h"
#include "lib/grid/grid_window.h"
#include "lib/window/window_hooks.h"
#include "lib/window/wininfo.h"
#include "platform/os_menu.h"
#include "platform/os_window.h"


namespace {

constexpr std::int32_t NoDrag = -999;

std::int32_t bar_thickness() { return os_get_system_metrics(OS_SM_CXFRAME); }
bool stacked(SplitWindowRecord& r) { return (r.flags() & SplitStacked) != 0; }
// The axis the bar moves along: 1 (y) for stacked panes, 0 (x) side by side.
std::int32_t split_axis(SplitWindowRecord& r) { return stacked(r) ? 1 : 0; }

OsHandle pane_frame(SplitWindowRecord& r, std::int32_t pane) {
    const std::int32_t s = pane == 0 ? r.pane1_slot() : r.pane2_slot();
    return valid_slot(s) ? wtab.wWindow[ix(s)] : 0;
}

// A rectangle of a window in its parent's client coordinates.
OsRect rect_in_parent(OsHandle w) {
    OsRect r;
    os_get_window_rect(w, r);
    OsPoint o{0, 0};
    os_client_to_screen(os_get_parent(w), o);
    return {r.left - o.x, r.top - o.y, r.right - o.x, r.bottom - o.y};
}

std::int32_t along(const OsRect& r, bool st) { return st ? r.height() : r.width(); }

// What a window's frame adds to its client along the split direction.
std::int32_t frame_thickness(OsHandle w, bool st) {
    OsRect wr, cr;
    os_get_window_rect(w, wr);
    os_get_client_rect(w, cr);
    return along(wr, st) - along(cr, st);
}

// The split window itself counts as fixed along an axis by the rule of its panes.
std::int32_t split_self_fixed(SplitWindowRecord& r, std::int32_t axis) {
    if (axis == split_axis(r))
        return !(r.flags() & SplitProportional) && yySplitFixed(r, 0, axis) && yySplitFixed(r, 1, axis) ? 1 : 0;
    return yySplitFixed(r, 0, axis) || yySplitFixed(r, 1, axis) ? 1 : 0;
}

// Places pane 1, the bar and pane 2 along the split direction: pane 1 from
// 0 to len1, the bar, pane 2 to the end; all across the full client.
void place(SplitWindowRecord& r, std::int32_t len1, std::int32_t total, std::int32_t across) {
    const bool st = stacked(r);
    const std::int32_t bt = bar_thickness();
    len1 = std::clamp(len1, 0, std::max(0, total - bt));
    const std::int32_t len2 = std::max(0, total - bt - len1);
    auto put = [st, across](OsHandle w, std::int32_t at, std::int32_t len) {
        if (!w) return;
        if (st)
            os_set_window_pos(w, 0, 0, at, across, len, OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
        else
            os_set_window_pos(w, 0, at, 0, len, across, OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
    };
    put(pane_frame(r, 0), 0, len1);
    // The bar's own move must not count as a drag.
    const std::int32_t origin = r.bar_moving();
    r.bar_moving() = NoDrag;
    put(r.bar_handle(), len1, bt);
    r.bar_moving() = origin;
    put(pane_frame(r, 1), len1 + bt, len2);
}

// The client lengths of both panes along the split direction, as recorded by a drag.
void record_lengths(SplitWindowRecord& r) {
    const bool st = stacked(r);
    for (std::int32_t p = 0; p < 2; ++p) {
        const OsHandle f = pane_frame(r, p);
        if (!f) continue;
        OsRect cr;
        os_get_client_rect(f, cr);
        (p == 0 ? r.pane1_extent() : r.pane2_extent()) = along(cr, st);
    }
}

// Makes one pane: its frame inside the split window's client, its tool
// bars, status bar and client window.
OsHandle make_pane(std::int32_t slot, std::int32_t flags, const std::array<std::int32_t, 4>& toolbars,
                   const std::string& title, OsHandle parent_client, const OsRect& r, bool visible) {
    std::uint32_t style = OS_WS_CHILD | OS_WS_CLIPSIBLINGS | OS_WS_CLIPCHILDREN | OS_WS_CAPTION;
    if (flags & PaneNoCaption) style &= ~OS_WS_CAPTION;
    if (visible) style |= OS_WS_VISIBLE;
    if (wtab.hLastSemi && os_is_window_visible(wtab.hLastSemi)) style |= OS_WS_DISABLED;
    const OsHandle f = os_create_window(0, "QUINCHILD", title, style, r.left, r.top, r.width(), r.height(),
                                        parent_client, 0, 0);
    wtab.wWindow[ix(slot)] = f;
    if (!f) return 0;
    std::int32_t x = r.left, y = r.top, fw = r.width(), fh = r.height();
    OsRect cr;
    os_get_client_rect(f, cr);
    yyframeparts(slot, f, flags & ~(WinMaximised), toolbars, cr.width(), false, false, x, y, fw, fh,
                 OS_WS_CHILD | OS_WS_VISIBLE, false);
    wtab.wChildRect[ix(slot)].left = -999;
    return f;
}

// The frame of the nearest top-level window holding w.
OsHandle top_frame(OsHandle w) {
    while (w && (os_get_style(w) & OS_WS_CHILD)) w = os_get_parent(w);
    return w;
}

struct PaneDialog {
    bool present = false;    // a dialog passed its checks
    bool fixed = false;      // it has no resize field
    std::int32_t width = 0, height = 0;
};

PaneDialog check_pane_dialog(std::int32_t& id, OsHandle owner) {
    PaneDialog d;
    if (id == 0) return d;
    bool resizable = false;
    const std::int32_t status = yychilddialogcheck(id, owner, d.width, d.height, resizable);
    if (status != 0) {
        id = status;
        return PaneDialog{};
    }
    d.present = true;
    d.fixed = !resizable;
    return d;
}

}  // namespace

// ---- the record -----------------------------------------------------------------

SplitWindowRecord* yysplitrecord(OsHandle frame) {
    std::int32_t* r = yyspecialrecord(frame);
    return r && r[0] == WindowKindSplit ? reinterpret_cast<SplitWindowRecord*>(r) : nullptr;
}

std::int32_t yysplitofpane(std::int32_t slot) {
    if (!valid_slot(slot) || !wtab.wWindow[ix(slot)]) return -1;
    const OsHandle outer = os_get_parent(os_get_parent(wtab.wWindow[ix(slot)]));
    SplitWindowRecord* r = yysplitrecord(outer);
    if (!r || (r->pane1_slot() != slot && r->pane2_slot() != slot)) return -1;
    return r->slot();
}

std::int32_t yysplitactivepane(std::int32_t slot) {
    if (!valid_slot(slot)) return -1;
    SplitWindowRecord* r = yysplitrecord(wtab.wWindow[ix(slot)]);
    if (!r) return -1;
    const std::int32_t s = yygetwindowindex(r->pane1_frame());
    return s >= 0 ? s : r->pane1_slot();
}

void yysplitdetach(OsHandle frame) {
    SplitWindowRecord* r = yysplitrecord(frame);
    if (!r) return;
    os_set_window_user(frame, 0);
    const OsHandle bar = r->bar_handle();
    if (bar && os_is_window(bar)) {
        os_set_window_user(bar, 0);
        os_destroy_window(bar);
    }
    delete r;
}

// ---- splitting --------------------------------------------------------------------

void yywindowsplit(std::int32_t& pane1, std::int32_t& pane2, std::int32_t flags, std::int32_t flags1,
                   std::int32_t flags2, std::int32_t size, std::int32_t menu1, std::int32_t menu2,
                   const std::array<std::int32_t, 4>& toolbars1, const std::array<std::int32_t, 4>& toolbars2,
                   std::int32_t& dialog1, std::int32_t& dialog2, std::string_view title1, std::string_view title2) {
    const std::int32_t slot = wtab.wIndex;
    const OsHandle frame = valid_slot(slot) ? wtab.wWindow[ix(slot)] : 0;
    const OsHandle client = valid_slot(slot) ? wtab.hClient[ix(slot)] : 0;
    if (!frame || !client) {
        pane1 = pane2 = -1;
        return;
    }
    // 1. Refusals.
    const std::int32_t kind = yyspecialkind(frame);
    if (kind != 0) {
        pane1 = pane2 = kind == WindowKindDialog ? -3 : -4;
        return;
    }
    for (std::int32_t s = 1; s <= MaxChildWindows; ++s)
        if (wtab.wWindow[ix(s)] && os_get_parent(wtab.wWindow[ix(s)]) == client) {
            pane1 = pane2 = -6;
            return;
        }
    // 2. The record and two slots.
    auto* rec = new SplitWindowRecord();
    rec->slot() = slot;
    rec->bar_moving() = NoDrag;
    rec->sizing() = 0;
    os_set_window_user(frame, reinterpret_cast<std::intptr_t>(rec));
    std::int32_t s1 = -1, s2 = -1;
    for (std::int32_t s = 1; s <= MaxChildWindows && s2 < 0; ++s) {
        if (wtab.wWindow[ix(s)]) continue;
        (s1 < 0 ? s1 : s2) = s;
    }
    auto give_up = [&] {
        os_set_window_user(frame, 0);
        delete rec;
        pane1 = pane2 = -1;
    };
    if (s2 < 0) return give_up();
    // 3.
    rec->pane1_slot() = s1;
    rec->pane2_slot() = s2;
    rec->flags() = flags;
    OsRect wr;
    os_get_window_rect(frame, wr);
    rec->split_width() = wr.width();
    rec->split_height() = wr.height();
    std::int32_t S = size;
    const bool st = (flags & SplitStacked) != 0;
    // 4. Pane dialogs; a fixed dialog fixes its pane and gives its size.
    const PaneDialog d1 = check_pane_dialog(dialog1, frame);
    const PaneDialog d2 = check_pane_dialog(dialog2, frame);
    if (d1.present && d1.fixed) {
        flags1 |= PaneFixed;
        rec->flags() &= ~(SplitProportional | SplitKeepSecond);
    }
    const bool second_rules = d2.present && d2.fixed && !(d1.present && d1.fixed);
    if (second_rules) {
        flags2 |= PaneFixed;
        rec->flags() &= ~SplitProportional;
    }
    if (d1.present) S = st ? d1.height : d1.width;
    if (d2.present && (second_rules || !d1.present)) S = st ? d2.height : d2.width;
    rec->pane1_flags() = flags1;
    rec->pane2_flags() = flags2;
    // 5. Menus; pane 1's becomes the menu of the enclosing top-level frame.
    const OsHandle m1 = menu1 ? yymnload(menu1) : 0;
    const OsHandle m2 = menu2 ? yymnload(menu2) : 0;
    yyslotmenu(s1, m1, menu1);
    yyslotmenu(s2, m2, menu2);
    if (m1) os_set_menu(top_frame(frame), m1);
    // 7. The sized pane and the rectangles.
    const bool sized_second = (rec->flags() & SplitKeepSecond) || second_rules || (d2.present && !d1.present);
    OsRect cr;
    os_get_client_rect(client, cr);
    const std::int32_t total = st ? cr.height() : cr.width();
    const std::int32_t across = st ? cr.width() : cr.height();
    const std::int32_t bt = bar_thickness();
    const std::int32_t sized_flags = sized_second ? flags2 : flags1;
    std::int32_t sized_len = 0;
    if (S >= 0) {
        std::uint32_t pst = OS_WS_CHILD | OS_WS_CAPTION;
        if (sized_flags & PaneNoCaption) pst &= ~OS_WS_CAPTION;
        OsRect a{0, 0, S, S};
        os_adjust_window_rect(a, pst, false, 0);
        sized_len = st ? a.height() : a.width();
    } else {
        sized_len = (total - bt) / 2;
    }
    sized_len = std::clamp(sized_len, 0, std::max(0, total - bt));
    const std::int32_t len1 = sized_second ? std::max(0, total - bt - sized_len) : sized_len;
    auto rect_at = [&](std::int32_t at, std::int32_t len) {
        return st ? OsRect{0, at, across, at + len} : OsRect{at, 0, at + len, across};
    };
    const OsRect r1 = rect_at(0, len1), r2 = rect_at(len1 + bt, std::max(0, total - bt - len1));
    // 8, 9. The panes, sized one first, with their parts and client windows.
    const bool visible = S >= 0;
    const std::string t1 = txt_c(title1), t2 = txt_c(title2);
    OsHandle f1 = 0, f2 = 0;
    if (sized_second) {
        f2 = make_pane(s2, flags2, toolbars2, t2, client, r2, visible);
        f1 = make_pane(s1, flags1, toolbars1, t1, client, r1, visible);
    } else {
        f1 = make_pane(s1, flags1, toolbars1, t1, client, r1, visible);
        f2 = make_pane(s2, flags2, toolbars2, t2, client, r2, visible);
    }
    auto pane_len = [&](OsHandle f) {
        OsRect c;
        os_get_client_rect(f, c);
        return S < 0 ? 1 : along(c, st);
    };
    if (f1) rec->pane1_extent() = pane_len(f1);
    if (f2) rec->pane2_extent() = pane_len(f2);
    OsHandle dlg1 = 0, dlg2 = 0;
    if (f1 && d1.present) dlg1 = yycombinedialog(s1, f1, dialog1, true);
    if (f2 && d2.present) dlg2 = yycombinedialog(s2, f2, dialog2, true);
    // 10. The bar.
    const OsRect rb = rect_at(len1, bt);
    const OsHandle bar = f1 && f2 ? os_create_window(OS_WS_EX_TOPMOST, st ? "QUINSPLITH" : "QUINSPLITV", "",
                                                     OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_CLIPSIBLINGS, rb.left,
                                                     rb.top, rb.width(), rb.height(), client, 0, 0)
                                  : 0;
    rec->bar_handle() = bar;
    if (bar) os_bring_window_to_top(bar);
    // 11. Done, or everything undone.
    if (f1 && f2 && bar && wtab.hClient[ix(s1)] && wtab.hClient[ix(s2)]) {
        os_set_window_user(bar, reinterpret_cast<std::intptr_t>(rec));
        rec->pane1_frame() = f1;
        if (S < 0) {
            const std::int32_t keep = rec->flags();
            rec->flags() |= SplitProportional;
            yysplitlayout(client);
            rec->flags() = keep;
            os_show_window(f1, OS_SW_SHOWNOACTIVATE);
            os_show_window(f2, OS_SW_SHOWNOACTIVATE);
        }
        os_validate_rect(wtab.hClient[ix(s1)], nullptr);
        os_validate_rect(wtab.hClient[ix(s2)], nullptr);
        for (auto [f, dlg] : {std::pair{f1, dlg1}, std::pair{f2, dlg2}}) {
            if (!dlg) continue;
            OsRect c;
            os_get_client_rect(f, c);
            os_send_message(f, OSM_SIZE, OS_SIZE_RESTORED, os_make_lparam(c.width(), c.height()));
            yydialogrepaint(dlg);
        }
        if (os_get_focus() == client) {
            os_set_focus(wtab.hClient[ix(s1)]);
            yytitlecolour(f1);
        }
        pane1 = s1;
        pane2 = s2;
        return;
    }
    std::int32_t dialog = 0;
    for (std::int32_t s : {s1, s2}) {
        yyuncombinedialog(wtab.wWindow[ix(s)], dialog);
        yyreleasemenus(s);
        if (wtab.wWindow[ix(s)]) os_destroy_window(wtab.wWindow[ix(s)]);
        yyclearslot(s);
    }
    if (bar) os_destroy_window(bar);
    if (m1) os_set_menu(top_frame(frame), wtab.hMenuRoot[ix(slot)]);
    give_up();
}

// ---- the bar --------------------------------------------------------------------

std::intptr_t yySplitProc(OsHandle bar, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    auto* r = reinterpret_cast<SplitWindowRecord*>(os_get_window_user(bar));
    if (!r) return os_def_window_proc(bar, msg, wp, lp);
    const bool st = stacked(*r);
    const std::int32_t axis = split_axis(*r);
    const bool fixed = yySplitFixed(*r, 0, axis) || yySplitFixed(*r, 1, axis);
    switch (msg) {
    case OSM_NCHITTEST:
        return fixed ? OS_HTBORDER : OS_HTCAPTION;
    case OSM_SETCURSOR:
        if (!fixed) os_set_cursor(os_load_cursor(st ? OS_IDC_SIZENS : OS_IDC_SIZEWE));
        return 1;
    case OSM_ENTERSIZEMOVE: {
        OsRect b;
        os_get_window_rect(bar, b);
        r->bar_moving() = st ? b.left : b.top;
        return 0;
    }
    case OSM_EXITSIZEMOVE:
        r->bar_moving() = NoDrag;
        return 0;
    case OSM_MOVING: {
        auto* rect = reinterpret_cast<OsRect*>(lp);
        if (!rect || r->bar_moving() == NoDrag) return 0;
        // Only along the split direction, and within the split window's client.
        OsRect cr;
        const OsHandle client = os_get_parent(bar);
        os_get_client_rect(client, cr);
        OsPoint o{0, 0};
        os_client_to_screen(client, o);
        if (st) {
            const std::int32_t h = rect->height();
            rect->left = r->bar_moving();
            rect->right = rect->left + cr.width();
            rect->top = std::clamp(rect->top, o.y, o.y + std::max(0, cr.height() - h));
            rect->bottom = rect->top + h;
        } else {
            const std::int32_t w = rect->width();
            rect->top = r->bar_moving();
            rect->bottom = rect->top + cr.height();
            rect->left = std::clamp(rect->left, o.x, o.x + std::max(0, cr.width() - w));
            rect->right = rect->left + w;
        }
        return 0;
    }
    case OSM_MOVE: {
        if (r->bar_moving() == NoDrag) return 0;
        // Pane 1 ends at the bar, pane 2 starts after it.
        const OsRect b = rect_in_parent(bar);
        OsRect cr;
        os_get_client_rect(os_get_parent(bar), cr);
        place(*r, st ? b.top : b.left, st ? cr.height() : cr.width(), st ? cr.width() : cr.height());
        record_lengths(*r);
        return 0;
    }
    case OSM_SETFOCUS: {
        const std::int32_t s = yygetwindowindex(r->pane1_frame());
        if (valid_slot(s) && wtab.hClient[ix(s)]) os_set_focus(wtab.hClient[ix(s)]);
        return 0;
    }
    case OSM_NCLBUTTONDOWN:
    case OSM_NCMBUTTONDOWN:
    case OSM_NCRBUTTONDOWN: {
        const std::int32_t b = msg == OSM_NCLBUTTONDOWN ? 1 : (msg == OSM_NCMBUTTONDOWN ? 2 : 3);
        if (valid_slot(r->slot())) yyinterpretmessage(MsgFrameClick, b, wp, lp, wtab.wWindow[ix(r->slot())]);
        return 0;
    }
    default:
        return os_def_window_proc(bar, msg, wp, lp);
    }
}

// ---- the rule of fixed panes ---------------------------------------------------------

std::int32_t yySplitFixed(SplitWindowRecord& rec, std::int32_t pane, std::int32_t axis) {
    const std::int32_t pflags = pane == 0 ? rec.pane1_flags() : rec.pane2_flags();
    if (axis == split_axis(rec) && (pflags & PaneFixed)) return 1;
    // A pane split in its turn is fixed by the rule of its own panes.
    static thread_local int depth = 0;
    if (depth > MaxChildWindows) return 0;
    SplitWindowRecord* inner = yysplitrecord(pane_frame(rec, pane));
    if (!inner || inner == &rec) return 0;
    ++depth;
    const std::int32_t f = split_self_fixed(*inner, axis);
    --depth;
    return f;
}

void yysplitminmax(OsHandle frame, std::intptr_t lp) {
    SplitWindowRecord* r = yysplitrecord(frame);
    auto* mm = reinterpret_cast<OsMinMaxInfo*>(lp);
    if (!r || !mm || r->sizing() != 0) return;
    if (split_self_fixed(*r, 0)) mm->max_size.x = mm->min_track.x = mm->max_track.x = r->split_width();
    if (split_self_fixed(*r, 1)) mm->max_size.y = mm->min_track.y = mm->max_track.y = r->split_height();
}

std::intptr_t yysplithittest(OsHandle frame, std::intptr_t lp) {
    SplitWindowRecord* own = yysplitrecord(frame);
    const bool pane = yysplitofpane(yygetwindowindex(frame)) >= 0;
    if (!own && !pane) return -1;
    auto hit = static_cast<std::int32_t>(os_def_window_proc(frame, OSM_NCHITTEST, 0, lp));
    // Panes cannot be dragged out of their split.
    if (pane && hit == OS_HTCAPTION) hit = OS_HTBORDER;
    if (own) {
        if (split_self_fixed(*own, 0)) {
            if (hit == OS_HTLEFT || hit == OS_HTRIGHT) hit = OS_HTBORDER;
            else if (hit == OS_HTTOPLEFT || hit == OS_HTTOPRIGHT) hit = OS_HTTOP;
            else if (hit == OS_HTBOTTOMLEFT || hit == OS_HTBOTTOMRIGHT) hit = OS_HTBOTTOM;
        }
        if (split_self_fixed(*own, 1)) {
            if (hit == OS_HTTOP || hit == OS_HTBOTTOM) hit = OS_HTBORDER;
            else if (hit == OS_HTTOPLEFT || hit == OS_HTBOTTOMLEFT) hit = OS_HTLEFT;
            else if (hit == OS_HTTOPRIGHT || hit == OS_HTBOTTOMRIGHT) hit = OS_HTRIGHT;
        }
    }
    return hit;
}

// ---- layout ---------------------------------------------------------------------------

void yysplitlayout(OsHandle client) {
    SplitWindowRecord* r = yysplitrecord(os_get_parent(client));
    if (!r) return;
    const OsHandle f1 = pane_frame(*r, 0), f2 = pane_frame(*r, 1);
    if (!f1 || !f2 || !r->bar_handle()) return;
    const bool st = stacked(*r);
    OsRect cr;
    os_get_client_rect(client, cr);
    const std::int32_t total = along(cr, st), across = st ? cr.width() : cr.height();
    const std::int32_t t1 = frame_thickness(f1, st), t2 = frame_thickness(f2, st);
    const std::int32_t bt = bar_thickness();
    const std::int32_t l1 = along(rect_in_parent(f1), st), l2 = along(rect_in_parent(f2), st);
    std::int32_t len1 = 0;
    if (r->flags() & SplitProportional) {
        const std::int32_t avail = std::max(0, total - t1 - t2 - bt);
        const std::int64_t a = r->pane1_extent(), b = r->pane2_extent();
        // Two empty panes share the room equally.
        const std::int64_t c1 = a + b > 0 ? avail * a / (a + b) : avail / 2;
        len1 = static_cast<std::int32_t>(c1) + t1;
    } else if ((r->flags() & SplitKeepSecond) || yySplitFixed(*r, 1, split_axis(*r))) {
        len1 = total - bt - l2;
    } else {
        len1 = l1;
    }
    place(*r, len1, total, across);
    os_validate_rect(client, nullptr);
}

bool yysplitpanesize(std::int32_t slot, std::int32_t width, std::int32_t height) {
    const std::int32_t split = yysplitofpane(slot);
    if (split < 0) return false;
    SplitWindowRecord* r = yysplitrecord(wtab.wWindow[ix(split)]);
    const bool st = stacked(*r);
    const std::int32_t wanted = st ? height : width;
    const OsHandle client = wtab.hClient[ix(split)];
    OsRect cr;
    os_get_client_rect(client, cr);
    const std::int32_t total = along(cr, st);
    const bool first = r->pane1_slot() == slot;
    const OsHandle f = wtab.wWindow[ix(slot)];
    const std::int32_t len = wanted + frame_thickness(f, st);
    place(*r, first ? len : total - bar_thickness() - len, total, st ? cr.width() : cr.height());
    record_lengths(*r);
    return true;
}

// ---- focus and menus ------------------------------------------------------------------

void yysplitpanefocus(std::int32_t slot) {
    if (yysplitofpane(slot) < 0) return;
    OsHandle f = wtab.wWindow[ix(slot)];
    // The pane is the active one of every split around it.
    OsHandle menu = wtab.hMenuRoot[ix(slot)];
    for (int guard = 0; guard <= MaxChildWindows; ++guard) {
        const OsHandle outer = os_get_parent(os_get_parent(f));
        SplitWindowRecord* r = yysplitrecord(outer);
        if (!r) break;
        r->pane1_frame() = f;
        if (!menu && valid_slot(r->slot())) menu = wtab.hMenuRoot[ix(r->slot())];
        f = outer;
    }
    const OsHandle top = top_frame(f);
    if (menu && top && os_get_menu(top) != menu) os_set_menu(top, menu);
}

// ---- closing ------------------------------------------------------------------------

std::int32_t yyCloseCheck(std::int32_t slot) {
    if (!valid_slot(slot)) return 1;
    SplitWindowRecord* r = yysplitrecord(wtab.wWindow[ix(slot)]);
    if (!r) return 1;
    std::int32_t allowed = 1;
    for (std::int32_t p = 0; p < 2 && allowed; ++p) {
        const std::int32_t s = p == 0 ? r->pane1_slot() : r->pane2_slot();
        const OsHandle f = pane_frame(*r, p);
        switch (yyspecialkind(f)) {
        case WindowKindEditor:
            if (EditorWindowData* e = yyeditrecord(f)) {
                allowed = yyEditCheckSave(f, *e);
                // Every other modified file of the pane is shown and asked about in turn.
                for (std::int32_t b = 1; allowed && e->bMultiFile && b <= e->nBuffers; ++b) {
                    if (b == e->iBuffer) continue;
                    std::int32_t saved = 1;
                    yyeditgetsave(s, b, saved);
                    if (saved != 0) continue;
                    yyeditswap(s, e->iBuffer, b);
                    yyeditstorebuffername(s, e->iBuffer, e->szFileName, sizeof e->szFileName);
                    e->iBuffer = b;
                    std::string name;
                    yyeditgetbuffername(s, b, name, 259);
                    std::snprintf(e->szFileName, sizeof e->szFileName, "%s", name.c_str());
                    yyEditTitle(f);
                    allowed = yyEditCheckSave(f, *e);
                }
            }
            break;
        case WindowKindGrid:
            allowed = yygridwinmayclose(f);
            break;
        case WindowKindSplit:
            allowed = yyCloseCheck(s);
            break;
        default:
            break;
        }
    }
    return allowed;
}

void yysplitclosepanes(std::int32_t slot, std::int32_t& dialog) {
    SplitWindowRecord* r = valid_slot(slot) ? yysplitrecord(wtab.wWindow[ix(slot)]) : nullptr;
    if (!r) return;
    const std::int32_t p1 = r->pane1_slot(), p2 = r->pane2_slot();
    // The record goes first, so the panes close as plain windows.
    yysplitdetach(wtab.wWindow[ix(slot)]);
    for (std::int32_t p : {p1, p2})
        if (valid_slot(p) && p > 0) yyCloseChild2(p, dialog);
}

void yysplitundo(std::int32_t slot, std::int32_t& dialog) {
    if (!valid_slot(slot) || !yysplitrecord(wtab.wWindow[ix(slot)])) return;
    const OsHandle frame = wtab.wWindow[ix(slot)];
    // The split window's own menu again on its top-level frame, before the
    // panes' menus go.
    const OsHandle top = top_frame(frame);
    const std::int32_t ts = yygetwindowindex(top);
    const OsHandle own = wtab.hMenuRoot[ix(slot)] ? wtab.hMenuRoot[ix(slot)] : (valid_slot(ts) ? wtab.hMenuRoot[ix(ts)] : 0);
    if (top) os_set_menu(top, own);
    yysplitclosepanes(slot, dialog);
    if (wtab.hClient[ix(slot)]) os_invalidate_rect(wtab.hClient[ix(slot)], nullptr, true);
}
