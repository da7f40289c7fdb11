// The procedures the dialog manager puts in front of its controls: events of
// graphics fields, focus arrival of buttons and trackbars, the invalid-value
// protocol while a push button has the focus, embossed captions of disabled
// tabs that neither keys nor the mouse reach, Return in edit fields, the
// keyboard selection of trackbars; and images on buttons and statics.
#include "lib/dialog/fields.h"
#include "lib/window/messages.h"
#include "lib/window/wininfo.h"
#include "platform/os_dc.h"
#include "platform/os_dialog.h"
#include "platform/os_gdi.h"

namespace {

// The system procedures of the classes, recorded once per process.
OsWndProc lpNormalButtonProc = nullptr;
OsWndProc lpNormalStaticProc = nullptr;
OsWndProc lpNormalTrackProc = nullptr;
OsWndProc lpNormalTreeProc = nullptr;
OsWndProc lpNormalTabProc = nullptr;
OsWndProc lpNormalEditProc = nullptr;

bool atom_is(OsHandle w, std::int32_t atom) { return atom != 0 && os_window_class_atom(w) == atom; }

std::intptr_t call(OsWndProc p, OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    return p ? p(w, m, wp, lp) : os_def_window_proc(w, m, wp, lp);
}

bool graphics(OsHandle w) {
    const FieldRecord* f = yyfieldrecord(w);
    return f && f->graphics_field && !yyismodaldialog(w);
}

// An event of a graphics field: the dialog notes the field (and the button).
void deliver(OsHandle w, std::int32_t code, std::uintptr_t wp, std::intptr_t lp, std::int32_t button = -1) {
    const OsHandle d = os_get_parent(w);
    if (DialogRecord* r = yydialogrecord(d)) {
        r->item[DlgGraphicsSource] = os_get_control_id(w);
        if (button >= 0) r->item[DlgMouseButton] = button;
    }
    yyinterpretmessage(code, 0, wp, lp, d);
}

void command(OsHandle w, std::int32_t code) {
    os_send_message(os_get_parent(w), OSM_COMMAND,
                    static_cast<std::uintptr_t>((os_get_control_id(w) & 0xFFFF) | (code << 16)), w);
}

std::intptr_t yysubbutton(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    switch (m) {
    case OSM_SETFOCUS: {
        const std::intptr_t r = call(lpNormalButtonProc, w, m, wp, lp);
        command(w, BN_SETFOCUS);
        return r;
    }
    case OSM_KILLFOCUS: {
        const std::intptr_t r = call(lpNormalButtonProc, w, m, wp, lp);
        if (dlgtab.button_reentry && dlgtab.hBadVal && static_cast<OsHandle>(wp) != dlgtab.hBadVal)
            yyselectinvalid(w, dlgtab.hBadVal, 1);
        return r;
    }
    case BM_SETSTATE: {
        const bool was = (os_send_message(w, BM_GETSTATE, 0, 0) & 4) != 0;
        const std::intptr_t r = call(lpNormalButtonProc, w, m, wp, lp);
        if ((wp != 0) != was && graphics(w)) deliver(w, 107, 0, 0);
        return r;
    }
    case OSM_LBUTTONUP:
        if (dlgtab.hBadVal) {
            OsRect c;
            os_get_client_rect(w, c);
            const std::int32_t x = static_cast<std::int16_t>(lp & 0xFFFF), y = static_cast<std::int16_t>((lp >> 16) & 0xFFFF);
            if (x < c.left || x >= c.right || y < c.top || y >= c.bottom) {
                const std::intptr_t r = call(lpNormalButtonProc, w, m, wp, lp);
                dlgtab.button_reentry = false;
                yyselectinvalid(w, dlgtab.hBadVal, 0);
                dlgtab.button_reentry = true;
                return r;
            }
        }
        return call(lpNormalButtonProc, w, m, wp, lp);
    default:
        return call(lpNormalButtonProc, w, m, wp, lp);
    }
}

std::intptr_t yysubstatic(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    switch (m) {
    case OSM_ENABLE:
        return 0;
    case OSM_SETCURSOR:
        if (graphics(w) && os_loword(static_cast<std::uintptr_t>(lp)) == OS_HTCLIENT) {
            const FieldRecord* f = yyfieldrecord(w);
            os_set_cursor(f && f->cursor ? f->cursor : wtab.wCursor);
            return 1;
        }
        return call(lpNormalStaticProc, w, m, wp, lp);
    case OSM_MOUSEMOVE:
    case OSM_LBUTTONDOWN: case OSM_RBUTTONDOWN: case OSM_MBUTTONDOWN:
    case OSM_LBUTTONUP: case OSM_RBUTTONUP: case OSM_MBUTTONUP:
    case OSM_LBUTTONDBLCLK: case OSM_RBUTTONDBLCLK: case OSM_MBUTTONDBLCLK: {
        if (!graphics(w)) return 0;
        const std::int32_t button = (m == OSM_LBUTTONDOWN || m == OSM_LBUTTONUP || m == OSM_LBUTTONDBLCLK) ? 1
                                    : (m == OSM_RBUTTONDOWN || m == OSM_RBUTTONUP || m == OSM_RBUTTONDBLCLK) ? 3
                                    : m == OSM_MOUSEMOVE ? 0 : 2;
        if (m == OSM_MOUSEMOVE) {
            deliver(w, 106, wp, lp, 0);
        } else if (m == OSM_LBUTTONUP || m == OSM_RBUTTONUP || m == OSM_MBUTTONUP) {
            os_release_capture();
            deliver(w, 105, wp, lp, button);
        } else {
            os_set_capture(w);
            std::int32_t on = 0;
            const bool dbl = m == OSM_LBUTTONDBLCLK || m == OSM_RBUTTONDBLCLK || m == OSM_MBUTTONDBLCLK;
            deliver(w, dbl && yyinfomessage(MsgDoubleClick, on) ? 116 : 104, wp, lp, button);
        }
        return 0;
    }
    default:
        return call(lpNormalStaticProc, w, m, wp, lp);
    }
}

std::intptr_t yysubedit(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    const OsWndProc next = lpNormalEditProc;
    if (m == OSM_CHAR && wp == 1) {
        os_send_message(w, EM_SETSEL, 0, -1);
        os_send_message(w, EM_SCROLLCARET, 0, 0);
        return 0;
    }
    const bool want_return = (os_get_style(w) & OS_ES_WANTRETURN) != 0;
    if (m == OSM_GETDLGCODE) {
        // Return is the field's own: it presses the default button itself.
        const auto* msg = reinterpret_cast<const OsMsg*>(lp);
        std::intptr_t code = call(next, w, m, wp, lp);
        if (msg && msg->message == OSM_KEYDOWN && msg->wParam == OS_VK_RETURN && !want_return) code |= DLGC_WANTALLKEYS;
        return code;
    }
    if (m == OSM_KEYDOWN && wp == OS_VK_RETURN && !want_return && !(os_get_key_state(OS_VK_CONTROL) & 0x8000) &&
        !(os_get_key_state(OS_VK_MENU) & 0x8000)) {
        yyDefaultButton(w);
        return 0;
    }
    return call(next, w, m, wp, lp);
}

std::intptr_t yysubtrack(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    const bool ranged = (os_get_style(w) & OS_TBS_ENABLESELRANGE) != 0;
    switch (m) {
    case OSM_SETFOCUS: {
        const std::intptr_t r = call(lpNormalTrackProc, w, m, wp, lp);
        command(w, 256);
        return r;
    }
    case OSM_KILLFOCUS:
        dlgtab.iSelStart = 0;
        return call(lpNormalTrackProc, w, m, wp, lp);
    case OSM_KEYDOWN: {
        const bool first = ((lp >> 30) & 1) == 0;
        if (!ranged || !first) return call(lpNormalTrackProc, w, m, wp, lp);
        const bool ctrl = (os_get_key_state(OS_VK_CONTROL) & 0x8000) != 0;
        if (wp == OS_VK_SHIFT) {
            dlgtab.iSelStart = static_cast<std::int32_t>(os_send_message(w, TBM_GETPOS, 0, 0));
            return call(lpNormalTrackProc, w, m, wp, lp);
        }
        if (wp == OS_VK_DELETE) {
            os_send_message(w, TBM_CLEARSEL, 1, 0);
            dlgtab.iSelStart = 0;
        } else if (wp == 'A' && ctrl) {
            const auto lo = static_cast<std::int32_t>(os_send_message(w, TBM_GETRANGEMIN, 0, 0));
            const auto hi = static_cast<std::int32_t>(os_send_message(w, TBM_GETRANGEMAX, 0, 0));
            os_send_message(w, TBM_SETSEL, 1, os_make_lparam(lo, hi));
        } else {
            return call(lpNormalTrackProc, w, m, wp, lp);
        }
        const OsHandle d = os_get_parent(w);
        if (DialogRecord* r = yydialogrecord(d); r && !yyismodaldialog(d)) {
            r->item[DlgPreviousField] = r->item[DlgCurrentField];
            r->item[DlgCurrentField] = os_get_control_id(w);
            yyUpdateLast(d, w);
            yyinterpretmessage(MsgFieldChanged, 0, 0, 0, d);
        }
        return 0;
    }
    case OSM_KEYUP:
        if (ranged && wp == OS_VK_SHIFT) {
            if (os_send_message(w, TBM_GETSELSTART, 0, 0) == os_send_message(w, TBM_GETSELEND, 0, 0))
                os_send_message(w, TBM_CLEARSEL, 1, 0);
            dlgtab.iSelStart = 0;
        }
        return call(lpNormalTrackProc, w, m, wp, lp);
    default:
        return call(lpNormalTrackProc, w, m, wp, lp);
    }
}

bool tab_disabled(OsHandle tab, std::intptr_t i) {
    OsTabItem item;
    return i >= 0 && os_send_message(tab, TCM_GETITEM, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&item)) &&
           item.data[1] != 0;
}

std::int32_t tab_count(OsHandle tab) { return static_cast<std::int32_t>(os_send_message(tab, TCM_GETITEMCOUNT, 0, 0)); }

OsHandle page_of(OsHandle tab, std::intptr_t i) {
    OsTabItem item;
    if (i < 0 || !os_send_message(tab, TCM_GETITEM, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&item))) return 0;
    const std::int32_t s = yydialogfind(item.data[0]);
    return s > 0 ? dlgtab.hDialogList[static_cast<std::size_t>(s)] : 0;
}

std::intptr_t yysubtab(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    switch (m) {
    case OSM_SIZE:
    case OSM_MOVE: {
        const std::intptr_t r = call(lpNormalTabProc, w, m, wp, lp);
        if (m == OSM_SIZE && wp != OS_SIZE_RESTORED && wp != OS_SIZE_MAXIMIZED) return r;
        OsRect a;
        os_get_window_rect(w, a);
        OsPoint tl{a.left, a.top}, br{a.right, a.bottom};
        os_screen_to_client(os_get_parent(w), tl);
        os_screen_to_client(os_get_parent(w), br);
        a = {tl.x, tl.y, br.x, br.y};
        os_send_message(w, TCM_ADJUSTRECT, 0, reinterpret_cast<std::intptr_t>(&a));
        const OsHandle owner = os_get_parent(w);
        for (std::int32_t i = 0, n = tab_count(w); i < n; ++i) {
            const OsHandle p = page_of(w, i);
            if (p && p != owner && !os_is_child(p, owner) && os_get_parent(p) == owner)
                os_set_window_pos(p, 0, a.left, a.top, a.width(), a.height(), OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
        }
        return r;
    }
    case OSM_PAINT: {
        if (const OsHandle p = page_of(w, os_send_message(w, TCM_GETCURSEL, 0, 0))) os_invalidate_rect(p, nullptr, false);
        // The captions of disabled items are embossed by the control itself.
        return call(lpNormalTabProc, w, m, wp, lp);
    }
    case OSM_KEYDOWN:
        if (wp == OS_VK_LEFT || wp == OS_VK_RIGHT) {
            const auto cur = static_cast<std::int32_t>(os_send_message(w, TCM_GETCURSEL, 0, 0));
            const std::int32_t step = wp == OS_VK_LEFT ? -1 : 1;
            for (std::int32_t i = cur + step; i >= 0 && i < tab_count(w); i += step)
                if (!tab_disabled(w, i)) {
                    os_send_message(w, TCM_SETCURFOCUS, static_cast<std::uintptr_t>(i), 0);
                    break;
                }
            return 0;
        }
        if (wp == OS_VK_UP || wp == OS_VK_DOWN) {
            for (std::int32_t i = 0, n = tab_count(w); i < n; ++i)
                if (tab_disabled(w, i)) return 0;
        }
        return call(lpNormalTabProc, w, m, wp, lp);
    case OSM_LBUTTONDOWN: {
        OsPoint p{static_cast<std::int16_t>(lp & 0xFFFF), static_cast<std::int16_t>((lp >> 16) & 0xFFFF)};
        if (tab_disabled(w, os_send_message(w, TCM_HITTEST, 0, reinterpret_cast<std::intptr_t>(&p)))) return 0;
        return call(lpNormalTabProc, w, m, wp, lp);
    }
    default:
        return call(lpNormalTabProc, w, m, wp, lp);
    }
}

std::intptr_t yysubtree(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    if (m == OSM_SETFOCUS && !dlgtab.creating) {
        const OsHandle d = os_get_parent(w);
        const std::int32_t id = os_get_control_id(w);
        if (d == dlgtab.hDialogList[0]) {
            if (DialogRecord* r = yydialogrecord(yycurrentdialog())) {
                r->item[DlgPreviousField] = r->item[DlgCurrentField];
                r->item[DlgCurrentField] = id;
            }
        } else if (DialogRecord* r = yydialogrecord(d)) {
            r->item[DlgPreviousField] = r->item[DlgCurrentField];
            r->item[DlgCurrentField] = id;
            if (r->item[DlgPreviousField] != id) yyinterpretmessage(MsgFieldChanged, 0, 0, 0, d);
        }
    }
    return call(lpNormalTreeProc, w, m, wp, lp);
}

OsWndProc system_proc(const char* name, std::int32_t& atom) {
    OsWndClass c;
    if (!os_get_class_info(name, c)) return nullptr;
    atom = os_class_atom(name);
    return c.proc;
}

}  // namespace

std::intptr_t yysubpaint(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    const FieldRecord* f = yyfieldrecord(w);
    const std::intptr_t r = call(f ? f->previous_proc : nullptr, w, m, wp, lp);
    if (!graphics(w)) return r;
    if (m == OSM_PAINT) {
        deliver(w, 107, 0, 0);
    } else if (m == OSM_SIZE) {
        os_invalidate_rect(w, nullptr, true);
        os_update_window(w);
        deliver(w, 108, wp, lp);
    }
    return r;
}

void yyregistersubclass() {
    lpNormalButtonProc = system_proc("BUTTON", dlgtab.atomButton);
    lpNormalStaticProc = system_proc("STATIC", dlgtab.atomStatic);
    lpNormalTrackProc = system_proc("msctls_trackbar32", dlgtab.atomTrackbar);
    lpNormalTreeProc = system_proc("SysTreeView32", dlgtab.atomTree);
    lpNormalTabProc = system_proc("SYSTABCONTROL32", dlgtab.atomTab);
    lpNormalEditProc = system_proc("EDIT", dlgtab.atomEdit);
}

void yysubclass(OsHandle c) {
    OsWndProc p = nullptr;
    if (atom_is(c, dlgtab.atomEdit)) p = yysubedit;
    else if (atom_is(c, dlgtab.atomButton)) p = yysubbutton;
    else if (atom_is(c, dlgtab.atomStatic)) p = yysubstatic;
    else if (atom_is(c, dlgtab.atomTrackbar)) p = yysubtrack;
    else if (atom_is(c, dlgtab.atomTab)) p = yysubtab;
    else if (atom_is(c, dlgtab.atomTree)) p = yysubtree;
    if (p) os_set_window_proc(c, p);
}

void yymakebitmaptransparent(OsObject bitmap) {
    // Every pixel of the top-left pixel's colour becomes the button face.
    const OsDC screen = os_get_dc(0);
    const OsDC mem = os_create_compatible_dc(screen);
    os_release_dc(0, screen);
    if (!mem) return;
    const OsObject old = os_select_object(mem, bitmap);
    const OsPoint size = os_dc_size(mem);
    const std::uint32_t key = os_get_pixel(mem, 0, 0);
    const std::uint32_t face = os_sys_colour(OS_COLOR_BTNFACE);
    for (std::int32_t y = 0; y < size.y; ++y)
        for (std::int32_t x = 0; x < size.x; ++x)
            if (os_get_pixel(mem, x, y) == key) os_set_pixel(mem, x, y, face);
    if (old) os_select_object(mem, old);
    os_delete_dc(mem);
}

// A copy of a bitmap, drawn into a new one of the same size; 0 when there is none.
OsObject yycopybitmap(OsObject source) {
    if (!source) return 0;
    const OsDC screen = os_get_dc(0);
    const OsDC src = os_create_compatible_dc(screen);
    const OsDC dst = os_create_compatible_dc(screen);
    OsObject copy = 0;
    if (src && dst) {
        const OsObject old_src = os_select_object(src, source);
        const OsPoint size = os_dc_size(src);
        copy = size.x > 0 && size.y > 0 ? os_create_compatible_bitmap(screen, size.x, size.y) : 0;
        if (copy) {
            const OsObject old_dst = os_select_object(dst, copy);
            os_bit_blt(dst, 0, 0, size.x, size.y, src, 0, 0, OS_SRCCOPY);
            if (old_dst) os_select_object(dst, old_dst);
        }
        if (old_src) os_select_object(src, old_src);
    }
    if (src) os_delete_dc(src);
    if (dst) os_delete_dc(dst);
    os_release_dc(0, screen);
    return copy;
}

void yyfieldimage(std::int32_t& field, std::int32_t image, std::int32_t kind) {
    const OsHandle c = yyfieldwindow(field);
    const bool button = atom_is(c, dlgtab.atomButton), stat = atom_is(c, dlgtab.atomStatic);
    if (!c || (!button && !stat) || (button && kind == 4)) {
        field = -1;
        return;
    }
    OsObject handle = 0;
    std::int32_t type = OS_IMAGE_BITMAP;
    if (kind == 2) {
        OsImage img;
        if (image == 0 ? os_resource_image(OS_RT_ICON, "ICON1", img) : os_resource_image(OS_RT_ICON, image, img))
            handle = os_create_bitmap_from_image(img);
        type = OS_IMAGE_ICON;
    } else if (kind == 3) {
        // Memory bitmaps run from 1 to 20.
        if (image >= 1 && image <= 20) handle = yycopybitmap(wtab.hBitmap[static_cast<std::size_t>(image - 1)]);
    } else if (kind == 4) {
        // The memory-metafile table has no metafiles yet.
        handle = 0;
    } else {
        OsImage img;
        if (os_resource_image(OS_RT_BITMAP, image, img)) handle = os_create_bitmap_from_image(img);
    }
    if (!handle) {
        field = -2;
        return;
    }
    std::intptr_t previous = 0;
    std::uint32_t style = os_get_style(c);
    // A system of major version 3 has no images on buttons.
    if (button && wtab.WinVer == 3) {
        os_delete_object(handle);
        return;
    }
    if (button) {
        if (type == OS_IMAGE_BITMAP) yymakebitmaptransparent(handle);
        style = (style & ~static_cast<std::uint32_t>(OS_BS_BITMAP | OS_BS_ICON)) | (type == OS_IMAGE_ICON ? OS_BS_ICON : OS_BS_BITMAP);
        os_set_style(c, style);
        previous = os_send_message(c, BM_SETIMAGE, static_cast<std::uintptr_t>(type), handle);
    } else {
        style = (style & ~0x1Fu) | (type == OS_IMAGE_ICON ? OS_SS_ICON : OS_SS_BITMAP);
        os_set_style(c, style);
        previous = os_send_message(c, STM_SETIMAGE, static_cast<std::uintptr_t>(type), handle);
    }
    os_invalidate_rect(c, nullptr, true);
    os_update_window(c);
    if (previous) os_delete_object(static_cast<OsObject>(previous));
}
