// The bitmap viewer: a child window whose client area is replaced by a
// scrolling view of a memory bitmap. The frame keeps its slot, status bar
// and tool bars; the slot's client window stays hidden underneath.
#include "lib/graphics/bitmapview.h"

#include <algorithm>
#include <new>

#include "lib/dialog/dialog.h"
#include "lib/dialog/dialog_window.h"
#include "lib/graphics/bitmaps.h"
#include "lib/graphics/gstate.h"
#include "lib/window/childwin.h"
#include "lib/window/fetch.h"
#include "lib/window/menus.h"
#include "lib/window/messages.h"
#include "lib/window/splitwin.h"
#include "lib/window/wininfo.h"
#include "platform/os_dialog.h"
#include "platform/os_gdi.h"
#include "platform/os_menu.h"

namespace {

constexpr std::int32_t NotFitted = -999;

BitmapViewerData* record_of(OsHandle window) { return yybitmapviewerrecord(window); }

bool modal(BitmapViewerData& v) { return v.mode() == 1; }

std::int32_t scroll_pos(OsHandle viewer, std::int32_t bar) {
    OsScrollInfo si;
    return os_get_scroll_info(viewer, bar, si) ? si.pos : 0;
}

OsPoint client_extent(OsHandle w) {
    OsRect r;
    os_get_client_rect(w, r);
    return {r.width(), r.height()};
}

OsPoint window_extent(OsHandle w) {
    OsRect r;
    if (!w || !os_get_window_rect(w, r)) return {0, 0};
    return {r.width(), r.height()};
}

// Library message 15 for the frame's slot with both positions.
void tell_scrolled(OsHandle viewer) {
    const OsHandle frame = os_get_parent(viewer);
    yyinterpretmessage(MsgBitmapScroll, 0, static_cast<std::uintptr_t>(scroll_pos(viewer, OS_SB_HORZ)),
                       scroll_pos(viewer, OS_SB_VERT), frame);
}

void repaint_now(OsHandle viewer) {
    os_invalidate_rect(viewer, nullptr, false);
    os_update_window(viewer);
}

// Adds DELTA to a position (the bar keeps it in its range), repaints and
// tells the program; a zero change does nothing.
void scroll_by(OsHandle viewer, std::int32_t bar, std::int64_t delta) {
    if (delta == 0) return;
    OsScrollInfo si;
    if (!os_get_scroll_info(viewer, bar, si)) return;
    si.mask = OS_SIF_POS;
    si.pos = static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{si.pos} + delta, INT32_MIN, INT32_MAX));
    os_set_scroll_info(viewer, bar, si);
    repaint_now(viewer);
    tell_scrolled(viewer);
}

void scroll_to(OsHandle viewer, std::int32_t bar, std::int64_t pos) {
    scroll_by(viewer, bar, pos - scroll_pos(viewer, bar));
}

// Half the client extent along a bar; an extent of -1..1 undivided.
std::int32_t half_page(OsHandle viewer, std::int32_t bar) {
    const OsPoint c = client_extent(viewer);
    const std::int32_t e = bar == OS_SB_HORZ ? c.x : c.y;
    return e >= -1 && e <= 1 ? e : e / 2;
}

// The change a scroll-bar code asks for.
std::int64_t scroll_change(OsHandle viewer, std::int32_t bar, std::uintptr_t wp) {
    switch (os_loword(wp)) {
        case SB_LINEUP: return -1;
        case SB_LINEDOWN: return 1;
        case SB_PAGEUP: return -half_page(viewer, bar);
        case SB_PAGEDOWN: return half_page(viewer, bar);
        case SB_THUMBPOSITION: return std::int64_t{os_hiword(wp)} - scroll_pos(viewer, bar);
        default: return 0;
    }
}

// The frame size at which the whole bitmap shows: the viewer's client of
// the bitmap's size with the status bar and the tool bars around it, in a
// frame of the frame's own style.
OsPoint needed_frame(OsHandle frame, BitmapViewerData& v) {
    OsRect r{0, 0, v.width(), v.height()};
    os_adjust_window_rect(r, OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_CLIPSIBLINGS | OS_WS_HSCROLL | OS_WS_VSCROLL, false);
    r.bottom += window_extent(v.statusbar()).y;
    r.bottom += window_extent(v.toolbar(0)).y + window_extent(v.toolbar(3)).y;
    r.right += window_extent(v.toolbar(1)).x + window_extent(v.toolbar(2)).x;
    os_adjust_window_rect(r, os_get_style(frame), os_get_menu(frame) != 0, os_get_ex_style(frame));
    return {r.width(), r.height()};
}

// Sizes of the scroll bars.
std::int32_t vbar_width() { return os_get_system_metrics(OS_SM_CXVSCROLL); }
std::int32_t hbar_height() { return os_get_system_metrics(OS_SM_CYHSCROLL); }

void set_frame_size(OsHandle frame, std::int32_t w, std::int32_t h) {
    os_set_window_pos(frame, 0, 0, 0, w, h, OS_SWP_NOMOVE | OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
}

void paint(OsHandle viewer, BitmapViewerData& v) {
    const OsDC dc = os_get_dc(viewer);
    const OsPoint c = client_extent(viewer);
    const std::int32_t h = scroll_pos(viewer, OS_SB_HORZ), y = scroll_pos(viewer, OS_SB_VERT);
    // Room the bitmap does not reach keeps the window colour.
    const OsObject brush = os_create_solid_brush(os_sys_colour(OS_COLOR_WINDOW));
    const OsObject old_brush = os_select_object(dc, brush);
    const OsObject old_pen = os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
    os_rectangle(dc, 0, 0, c.x + 1, c.y + 1);
    os_select_object(dc, old_pen);
    os_select_object(dc, old_brush);
    os_delete_object(brush);
    const OsDC mem = os_create_compatible_dc(dc);
    const OsObject old = v.bitmap() ? os_select_object(mem, v.bitmap()) : 0;
    if (old) {
        if (wtab.gPal256) {
            os_select_palette(dc, wtab.gPal256, false);
            os_realize_palette(dc);
            os_select_palette(mem, wtab.gPal256, false);
        }
        const std::int32_t w = std::min(c.x, v.width() - h), ht = std::min(c.y, v.height() - y);
        os_bit_blt(dc, 0, 0, w, ht, mem, h, y, OS_SRCCOPY);
        os_select_object(mem, old);
    }
    os_delete_dc(mem);
    os_release_dc(viewer, dc);
    os_validate_rect(viewer, nullptr);
}

// Page sizes follow the client, or the bitmap while the frame is large
// enough to show it whole. A page can show or hide a bar, which changes
// the client again: the size message that brings is taken in this loop
// instead of nesting, until the pages match the client.
void settle_pages(OsHandle viewer, BitmapViewerData& v) {
    static bool busy = false, again = false;
    if (busy) {
        again = true;
        return;
    }
    busy = true;
    const std::int32_t h0 = scroll_pos(viewer, OS_SB_HORZ), v0 = scroll_pos(viewer, OS_SB_VERT);
    for (int round = 0; round < 8; ++round) {
        again = false;
        const OsPoint f = window_extent(os_get_parent(viewer));
        const bool whole = v.fit_width() != NotFitted && f.x >= v.fit_width() && f.y >= v.fit_height();
        OsScrollInfo si;
        si.mask = OS_SIF_PAGE;
        si.page = whole ? v.width() : client_extent(viewer).x;
        os_set_scroll_info(viewer, OS_SB_HORZ, si);
        si.page = whole ? v.height() : client_extent(viewer).y;
        os_set_scroll_info(viewer, OS_SB_VERT, si);
        if (!again) break;
    }
    busy = false;
    if (scroll_pos(viewer, OS_SB_HORZ) != h0 || scroll_pos(viewer, OS_SB_VERT) != v0) tell_scrolled(viewer);
}

// Keys that scroll: true when the key was one of them.
bool scroll_key(OsHandle viewer, std::int32_t vk) {
    const bool ctrl = os_get_key_state(OS_VK_CONTROL) < 0;
    OsScrollInfo hs, vs;
    os_get_scroll_info(viewer, OS_SB_HORZ, hs);
    os_get_scroll_info(viewer, OS_SB_VERT, vs);
    switch (vk) {
        case OS_VK_PRIOR:
            if (ctrl) scroll_to(viewer, OS_SB_VERT, vs.min);
            else scroll_by(viewer, OS_SB_VERT, -half_page(viewer, OS_SB_VERT));
            return true;
        case OS_VK_NEXT:
            if (ctrl) scroll_to(viewer, OS_SB_VERT, vs.max);
            else scroll_by(viewer, OS_SB_VERT, half_page(viewer, OS_SB_VERT));
            return true;
        case OS_VK_HOME:
            if (ctrl) scroll_to(viewer, OS_SB_HORZ, hs.min);
            else scroll_by(viewer, OS_SB_HORZ, -half_page(viewer, OS_SB_HORZ));
            return true;
        case OS_VK_END:
            if (ctrl) scroll_to(viewer, OS_SB_HORZ, hs.max);
            else scroll_by(viewer, OS_SB_HORZ, half_page(viewer, OS_SB_HORZ));
            return true;
        case OS_VK_LEFT: scroll_by(viewer, OS_SB_HORZ, -1); return true;
        case OS_VK_RIGHT: scroll_by(viewer, OS_SB_HORZ, 1); return true;
        case OS_VK_UP: scroll_by(viewer, OS_SB_VERT, -1); return true;
        case OS_VK_DOWN: scroll_by(viewer, OS_SB_VERT, 1); return true;
        default: return false;
    }
}

std::int32_t mouse_x(std::intptr_t lp) { return static_cast<std::int16_t>(os_loword(static_cast<std::uintptr_t>(lp))); }
std::int32_t mouse_y(std::intptr_t lp) { return static_cast<std::int16_t>(os_hiword(static_cast<std::uintptr_t>(lp))); }

// The window that gets the keyboard and the enabled state back.
void activate(OsHandle w) {
    if (!w) return;
    os_set_active_window(w);
    os_set_focus(w);
}

// Clears a slot whose frame the modal viewer's close destroys, and the
// slots of windows owned by it.
void forget_modal_slots(OsHandle frame, std::int32_t slot) {
    yyreleaseslotdc(slot);
    for (std::int32_t s = 1; s <= MaxChildWindows; ++s) {
        const OsHandle f = wtab.wWindow[ix(s)];
        if (!f || s == slot || (os_get_style(f) & OS_WS_CHILD)) continue;
        for (OsHandle o = os_get_owner(f); o; o = os_get_owner(o))
            if (o == frame) {
                yyclearslot(s);
                break;
            }
    }
    yyclearslot(slot);
    if (wtab.hWinCur == frame) wtab.hWinCur = wtab.wWindow[0];
}

}  // namespace

BitmapViewerData* yybitmapviewerrecord(OsHandle window) {
    std::int32_t* rec = yyspecialrecord(window);
    if (!rec || rec[0] != WindowKindBitmapViewer) return nullptr;
    return reinterpret_cast<BitmapViewerData*>(rec);
}

void yybitmapviewerreplaced(OsHandle old, std::int32_t slot) {
    for (std::int32_t s = 1; s <= MaxChildWindows; ++s) {
        BitmapViewerData* v = yybitmapviewerrecord(wtab.wWindow[ix(s)]);
        if (!v || v->bitmap() != old) continue;
        yyBitmapViewerInit(*v, slot, -1, -1);
        if (v->viewer()) repaint_now(v->viewer());
    }
}

void yyBitmapViewerInit(BitmapViewerData& v, std::int32_t slot, std::int32_t x, std::int32_t y) {
    v.bitmap() = wtab.hBitmap[ix(slot)];
    v.width() = wtab.BitmapWidth[ix(slot)];
    v.height() = wtab.BitmapHeight[ix(slot)];
    v.fit_width() = v.fit_height() = NotFitted;
    v.dragging() = v.drag_x() = v.drag_y() = v.drag_h() = v.drag_v() = 0;
    const OsHandle viewer = v.viewer();
    const OsHandle frame = os_get_parent(viewer);
    // The frame shrinks to the bitmap where it can; it never grows or moves.
    const OsPoint need = needed_frame(frame, v);
    const OsPoint now = window_extent(frame);
    const bool wide = need.x <= now.x, tall = need.y <= now.y;
    if (wide && tall) {
        set_frame_size(frame, need.x, need.y);
    } else if (wide) {
        if (need.x + vbar_width() <= now.x) set_frame_size(frame, need.x + vbar_width(), now.y);
    } else if (tall) {
        if (need.y + hbar_height() <= now.y) set_frame_size(frame, now.x, need.y + hbar_height());
    }
    const OsPoint c = client_extent(viewer);
    OsScrollInfo si;
    si.mask = OS_SIF_RANGE | OS_SIF_PAGE | (x >= 0 ? std::uint32_t{OS_SIF_POS} : 0u);
    si.min = 0;
    si.max = v.width() - 1;
    si.page = std::min(c.x, v.width());
    si.pos = x;
    os_set_scroll_info(viewer, OS_SB_HORZ, si);
    si.mask = OS_SIF_RANGE | OS_SIF_PAGE | (y >= 0 ? std::uint32_t{OS_SIF_POS} : 0u);
    si.max = v.height() - 1;
    si.page = std::min(c.y, v.height());
    si.pos = y;
    os_set_scroll_info(viewer, OS_SB_VERT, si);
    const OsPoint settled = client_extent(viewer);
    os_send_message(viewer, OSM_SIZE, OS_SIZE_RESTORED, os_make_lparam(settled.x, settled.y));
}

void yybitmapview(std::int32_t slot, std::int32_t x, std::int32_t y, std::int32_t& mode, std::int32_t flags,
                  std::int32_t& status) {
    const std::int32_t w = wtab.wIndex;
    // 1. Root window, bad slot, bitmap held elsewhere.
    if (w == 0 || !wtab.slot_valid(w)) {
        status = 1;
        return;
    }
    if (slot < 0 || slot >= BitmapSlots || wtab.hBitmap[ix(slot)] == 0) {
        status = 2;
        return;
    }
    {
        const OsDC probe = os_create_compatible_dc(wtab.wDC);
        const OsObject old = os_select_object(probe, wtab.hBitmap[ix(slot)]);
        if (old) os_select_object(probe, old);
        os_delete_dc(probe);
        if (!old) {
            status = 3;
            return;
        }
    }
    const OsHandle frame = wtab.wWindow[ix(w)];
    const OsHandle client = wtab.hClient[ix(w)];
    // 2. A special window already.
    if (yyspecialrecord(frame)) {
        if (BitmapViewerData* v = yybitmapviewerrecord(frame)) {
            yyBitmapViewerInit(*v, slot, x, y);
            repaint_now(v->viewer());
        } else {
            status = 4;
        }
        return;
    }
    // 3. Windows in the client area.
    if (!os_child_windows(client).empty()) {
        status = 9;
        return;
    }
    // A mode without a meaning would disable everything for good.
    if (mode < 1 || mode > 3) mode = 2;
    // 4. Inside a parent only modeless.
    if ((os_get_style(frame) & OS_WS_CHILD) && mode != 2) {
        if (mode == 1) {
            std::int32_t ignored = 0;
            yygetwindowbitmap(0, -1, ignored);
        }
        status = 5;
        mode = 2;
    }
    // 5. The record.
    if (!wtab.atomBitmap) wtab.atomBitmap = os_class_atom(BitmapViewerClass);
    if (!wtab.atomBitmap) {
        OsWndClass c;
        c.name = BitmapViewerClass;
        c.proc = yyBitmapWndProcClient;
        c.cursor = OS_IDC_ARROW;
        c.background = os_sys_colour(OS_COLOR_WINDOW);
        wtab.atomBitmap = os_register_class(c);
    }
    auto* v = new (std::nothrow) BitmapViewerData;
    if (!v || !wtab.atomBitmap) {
        delete v;
        status = 6;
        return;
    }
    v->mode() = mode;
    v->statusbar() = wtab.wMessLine[ix(w)];
    v->flags() = flags;
    // 6. A modal viewer has no menu and no tool bars.
    if (mode == 1) {
        const bool bars = std::any_of(wtab.hToolbar[ix(w)].begin(), wtab.hToolbar[ix(w)].end(),
                                      [](OsHandle t) { return t != 0; });
        os_set_menu(frame, 0);
        for (OsHandle t : wtab.hToolbar[ix(w)])
            if (t) os_destroy_window(t);
        yyreleasemenus(w);
        if (bars && !os_is_iconic(frame)) {
            const OsPoint c = client_extent(frame);
            os_send_message(frame, OSM_SIZE, os_is_zoomed(frame) ? OS_SIZE_MAXIMIZED : OS_SIZE_RESTORED,
                            os_make_lparam(c.x, c.y));
        }
    } else {
        for (int i = 0; i < 4; ++i) v->toolbar(i) = wtab.hToolbar[ix(w)][static_cast<std::size_t>(i)];
    }
    // 7. The viewer window over the client.
    OsRect cr;
    os_get_window_rect(client, cr);
    OsPoint at{cr.left, cr.top};
    os_screen_to_client(frame, at);
    const OsHandle viewer = os_create_window(
        0, BitmapViewerClass, "", OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_CLIPSIBLINGS | OS_WS_HSCROLL | OS_WS_VSCROLL, at.x,
        at.y, cr.width(), cr.height(), frame, 0, BitmapViewerChildId);
    if (!viewer) {
        delete v;
        status = 6;
        return;
    }
    v->viewer() = viewer;
    os_set_window_user(viewer, reinterpret_cast<std::intptr_t>(v));
    os_set_window_user(frame, reinterpret_cast<std::intptr_t>(v));
    os_set_window_proc(frame, yyBitmapWndProc);
    // 8. The bitmap.
    yyBitmapViewerInit(*v, slot, std::max(x, 0), std::max(y, 0));
    // 9. Shown in place of the client.
    if (os_get_focus() == client) os_set_focus(viewer);
    os_show_window(client, OS_SW_HIDE);
    repaint_now(viewer);
    if (mode == 3) ++dlgtab.nSemi;
    if (!os_is_window_enabled(frame)) {
        os_enable_window(frame, true);
        os_set_focus(viewer);
    }
    os_show_window(frame, OS_SW_SHOW);
    // 10. Everything else waits while a modal or semi-modeless viewer is up.
    if (mode != 2) yyDisableDialogs(frame, true);
    if (mode != 1) return;
    // 11. The modal loop; the caret timer waits while it is held back.
    while (!v->done()) {
        OsMsg m;
        if (!os_get_message(m)) {
            os_post_quit_message(static_cast<std::int32_t>(m.wParam));
            break;
        }
        os_translate_message(m);
        dispatch_unless_held_back(m);
    }
    if (!v->done() && os_is_window(frame)) {
        // Left by a quit: the viewer stays until the program closes it.
        v->mode() = 2;
    } else {
        delete v;
    }
    const OsHandle back = wtab.hLastSemi ? wtab.hLastSemi : wtab.wWindow[0];
    yyEnableDialogs(back, true);
    activate(back);
}

void yybitmapviewerrelease(OsHandle frame) {
    BitmapViewerData* v = yybitmapviewerrecord(frame);
    if (!v) return;
    if (os_is_window(v->viewer())) os_set_window_user(v->viewer(), 0);
    os_set_window_user(frame, 0);
    os_set_window_proc(frame, yyWndProc);
    delete v;
}

void yybitmapinfo(std::int32_t window, std::int32_t item, std::int32_t& value) {
    value = 0;
    if (!valid_slot(window)) return;
    BitmapViewerData* v = yybitmapviewerrecord(wtab.wWindow[ix(window)]);
    if (!v) return;
    const OsHandle viewer = v->viewer();
    switch (item) {
        case 3:
            for (std::int32_t s = 0; s < BitmapSlots; ++s)
                if (v->bitmap() != 0 && wtab.hBitmap[ix(s)] == v->bitmap()) value = s + 1;
            break;
        case 4: value = scroll_pos(viewer, OS_SB_HORZ); break;
        case 5: value = scroll_pos(viewer, OS_SB_VERT); break;
        case 101: value = v->width(); break;
        case 102: value = v->height(); break;
        case 103: {
            OsScrollInfo hs, vs;
            os_get_scroll_info(viewer, OS_SB_HORZ, hs);
            os_get_scroll_info(viewer, OS_SB_VERT, vs);
            value = vs.pos + vs.page + (hs.max - hs.min >= hs.page ? hbar_height() : 0);
            break;
        }
        default: break;
    }
}

void yybvi2e(float px, float py, float& wx, float& wy, std::int32_t window) {
    const GraphicsState& g = gstate;
    std::int32_t w = 0, h = 0, p = 0, b = 0;
    yybitmapinfo(window, 101, w);
    yybitmapinfo(window, 102, h);
    yybitmapinfo(window, 4, p);
    yybitmapinfo(window, 103, b);
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);
    // No viewer (or an empty area): the corner of the world range.
    if (w == 0 || h == 0 || g.area_width_x == 0.0f || g.area_width_y == 0.0f) {
        wx = g.ux1;
        wy = g.uy1;
        return;
    }
    wx = g.ux1 + (static_cast<float>(p) + px - g.x1 * fw) * (g.ux2 - g.ux1) / (g.area_width_x * fw);
    wy = g.uy1 + (py + fh - static_cast<float>(b) - g.y1 * fh) * (g.uy2 - g.uy1) / (g.area_width_y * fh);
}

std::intptr_t yyBitmapWndProc(OsHandle hwnd, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    BitmapViewerData* v = record_of(hwnd);
    if (!v) return os_def_window_proc(hwnd, msg, wp, lp);
    const std::int32_t slot = yygetwindowindex(hwnd);
    switch (msg) {
        case OSM_CLOSE:
            if (modal(*v)) {
                v->done() = 1;
                return os_def_window_proc(hwnd, msg, wp, lp);
            }
            yyinterpretmessage(MsgClose, 0, wp, lp, hwnd);
            return 0;
        case OSM_DESTROY: {
            if (v->mode() == 3) {
                --dlgtab.nSemi;
                const OsHandle back = valid_slot(slot) && wtab.hPrevious[ix(slot)] ? wtab.hPrevious[ix(slot)]
                                                                                     : wtab.wWindow[0];
                yyEnableDialogs(back, true);
                activate(back);
            }
            const bool was_modal = modal(*v);
            if (valid_slot(slot)) {
                yyreleasemenus(slot);
                if (was_modal) forget_modal_slots(hwnd, slot);
            }
            if (os_is_window(v->viewer())) os_set_window_user(v->viewer(), 0);
            os_set_window_user(hwnd, 0);
            if (!was_modal) delete v;
            return os_def_window_proc(hwnd, msg, wp, lp);
        }
        case OSM_SETFOCUS:
            wtab.hWinCur = hwnd;
            yydialogclearcurrent();
            os_set_focus(v->viewer());
            return 0;
        case OSM_SIZE: {
            // The frame of a child window: placement kept for maximising,
            // status bar and tool bars laid out; then the viewer takes the
            // client's place. No resize message reaches the program.
            yyWndProc(hwnd, msg, wp, lp);
            if (wp == OS_SIZE_MINIMIZED || !valid_slot(slot) || !os_is_window(v->viewer())) return 0;
            OsRect cr;
            os_get_window_rect(wtab.hClient[ix(slot)], cr);
            OsPoint at{cr.left, cr.top};
            os_screen_to_client(hwnd, at);
            os_move_window(v->viewer(), at.x, at.y, cr.width(), cr.height(), true);
            return 0;
        }
        case OSM_GETMINMAXINFO: {
            auto* mm = reinterpret_cast<OsMinMaxInfo*>(lp);
            if (!mm) return 0;
            const OsPoint need = needed_frame(hwnd, *v);
            const OsRect desk = os_work_area();
            const std::int32_t edge = os_get_system_metrics(OS_SM_CXFRAME);
            OsPoint sys = mm->max_size;
            if (sys.x <= 0 || sys.y <= 0) sys = {desk.width() + 2 * edge, desk.height() + 2 * edge};
            const bool wide = need.x <= sys.x, tall = need.y <= sys.y;
            v->fit_width() = v->fit_height() = NotFitted;
            mm->max_size = sys;
            if (wide && tall) {
                mm->max_size = need;
                v->fit_width() = need.x;
                v->fit_height() = need.y;
            } else if (wide) {
                mm->max_size.x = std::min(sys.x, need.x + vbar_width());
            } else if (tall) {
                mm->max_size.y = std::min(sys.y, need.y + hbar_height());
            }
            mm->max_size.x = std::min(mm->max_size.x, desk.width() + 2 * edge);
            mm->max_size.y = std::min(mm->max_size.y, desk.height() + 2 * edge);
            mm->max_track = mm->max_size;
            return 0;
        }
        case OSM_NCHITTEST: {
            const std::intptr_t hit = yyWndProc(hwnd, msg, wp, lp);
            constexpr std::intptr_t SizeBox = 4;
            if (os_is_zoomed(hwnd) && ((hit >= OS_HTLEFT && hit <= OS_HTBOTTOMRIGHT) || hit == SizeBox))
                return OS_HTBORDER;
            return hit;
        }
        case OSM_MOUSEACTIVATE:
            // A viewer inside a library window comes forward with the click.
            if ((os_get_style(hwnd) & OS_WS_CHILD) && os_window_class_atom(os_get_parent(hwnd)) == wtab.atomClient) {
                os_set_window_pos(hwnd, OS_HWND_TOP, 0, 0, 0, 0, OS_SWP_NOMOVE | OS_SWP_NOSIZE | OS_SWP_NOACTIVATE);
                const OsHandle f = os_get_focus();
                if (f != hwnd && !os_is_child(hwnd, f)) os_set_focus(hwnd);
                yytitlecolour(hwnd);
            }
            return 0;
        case OSM_ACTIVATEAPP:
            if (wp != 0 && wtab.gPal256 && os_is_window(v->viewer())) {
                const OsDC dc = os_get_dc(v->viewer());
                os_select_palette(dc, wtab.gPal256, false);
                os_realize_palette(dc);
                os_release_dc(v->viewer(), dc);
            }
            return 0;
        case OSM_PALETTECHANGED:
            return os_send_message(v->viewer(), msg, wp, lp);
        case OSM_ACTIVATE:
        case OSM_KILLFOCUS:
        case OSM_NOTIFY:
        case OSM_COMMAND:
        case OSM_MENUSELECT:
        case OSM_ENTERMENULOOP:
        case OSM_EXITMENULOOP:
        case OSM_EXITSIZEMOVE:
            return yyWndProc(hwnd, msg, wp, lp);
        default:
            return os_def_window_proc(hwnd, msg, wp, lp);
    }
}

std::intptr_t yyBitmapWndProcClient(OsHandle hwnd, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    BitmapViewerData* v = record_of(hwnd);
    if (!v) return os_def_window_proc(hwnd, msg, wp, lp);
    const bool keys = modal(*v) || (v->flags() & 1) != 0;
    const bool drags = modal(*v) || (v->flags() & 2) != 0;
    switch (msg) {
        case OSM_PAINT:
            paint(hwnd, *v);
            return 0;
        case OSM_SIZE:
            settle_pages(hwnd, *v);
            return 0;
        case OSM_HSCROLL:
        case OSM_VSCROLL: {
            const std::int32_t bar = msg == OSM_HSCROLL ? OS_SB_HORZ : OS_SB_VERT;
            scroll_by(hwnd, bar, scroll_change(hwnd, bar, wp));
            return 0;
        }
        case OSM_KEYDOWN:
            if (keys && scroll_key(hwnd, static_cast<std::int32_t>(wp))) return 0;
            if (modal(*v)) return 0;
            return yyWndProcClient(hwnd, msg, wp, lp);
        case OSM_LBUTTONDOWN:
            if (!drags) return yyWndProcClient(hwnd, msg, wp, lp);
            os_set_capture(hwnd);
            v->dragging() = 1;
            v->drag_x() = mouse_x(lp);
            v->drag_y() = mouse_y(lp);
            v->drag_h() = scroll_pos(hwnd, OS_SB_HORZ);
            v->drag_v() = scroll_pos(hwnd, OS_SB_VERT);
            os_set_cursor(os_load_cursor(OS_IDC_SIZEALL));
            return 0;
        case OSM_MOUSEMOVE:
            if (!v->dragging()) return yyWndProcClient(hwnd, msg, wp, lp);
            {
                const std::int32_t mx = mouse_x(lp), my = mouse_y(lp);
                scroll_to(hwnd, OS_SB_HORZ, std::max<std::int64_t>(0, std::int64_t{v->drag_h()} + v->drag_x() - mx));
                scroll_to(hwnd, OS_SB_VERT, std::max<std::int64_t>(0, std::int64_t{v->drag_v()} + v->drag_y() - my));
                v->drag_x() = mx;
                v->drag_y() = my;
                v->drag_h() = scroll_pos(hwnd, OS_SB_HORZ);
                v->drag_v() = scroll_pos(hwnd, OS_SB_VERT);
            }
            return 0;
        case OSM_LBUTTONUP:
            if (!v->dragging()) return yyWndProcClient(hwnd, msg, wp, lp);
            {
                v->dragging() = 0;
                const std::int32_t slot = yygetwindowindex(hwnd);
                const OsHandle cur =
                    valid_slot(slot) && wtab.hCursorWin[ix(slot)] ? wtab.hCursorWin[ix(slot)] : wtab.wCursor;
                if (cur) os_set_cursor(cur);
                os_release_capture();
            }
            return 0;
        case OSM_MOUSEWHEEL: {
            const std::int32_t half = client_extent(hwnd).y / 2;
            const std::int32_t distance = std::clamp<std::int32_t>(static_cast<std::int16_t>(os_hiword(wp)), -half, half);
            scroll_to(hwnd, OS_SB_VERT, std::max<std::int64_t>(0, std::int64_t{scroll_pos(hwnd, OS_SB_VERT)} - distance));
            return 0;
        }
        case OSM_SETFOCUS:
            yysplitpanefocus(yygetwindowindex(hwnd));
            return os_def_window_proc(hwnd, msg, wp, lp);
        case OSM_PALETTECHANGED:
            if (wtab.gPal256 && static_cast<OsHandle>(wp) != hwnd) {
                const OsDC dc = os_get_dc(hwnd);
                os_select_palette(dc, wtab.gPal256, false);
                os_realize_palette(dc);
                os_release_dc(hwnd, dc);
            }
            return 0;
        case OSM_MBUTTONDOWN:
        case OSM_RBUTTONDOWN:
        case OSM_LBUTTONDBLCLK:
        case OSM_MBUTTONDBLCLK:
        case OSM_RBUTTONDBLCLK:
        case OSM_MBUTTONUP:
        case OSM_RBUTTONUP:
        case OSM_SETCURSOR:
        case OSM_CHAR:
            return yyWndProcClient(hwnd, msg, wp, lp);
        default:
            return os_def_window_proc(hwnd, msg, wp, lp);
    }
}
