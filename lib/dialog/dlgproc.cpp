// The one dialog procedure of every library dialog, its modal copy and its
// tab pages: field records at initialisation, the record's bookkeeping,
// colours, and the library messages the user's actions become.
#include "lib/dialog/dialog.h"

#include "lib/dialog/fields.h"
#include "lib/grid/grid.h"
#include "lib/window/messages.h"
#include "lib/window/quinda_state.h"
#include "lib/window/window_hooks.h"
#include "lib/window/wininfo.h"
#include "platform/os_dc.h"
#include "platform/os_dialog.h"
#include "platform/os_gdi.h"

OsHandle yymodalsource();  // modal.cpp

namespace {

bool atom_is(OsHandle w, std::int32_t atom) { return atom != 0 && os_window_class_atom(w) == atom; }

bool is_modal_copy(OsHandle d) { return d != 0 && d == dlgtab.hDialogList[0]; }

void post(std::int32_t code, OsHandle d, std::uintptr_t wp = 0, std::intptr_t lp = 0) {
    yyinterpretmessage(code, 0, wp, lp, d);
}


std::intptr_t push_button(OsHandle d, DialogRecord* r, std::int32_t id) {
    // 1.
    const OsHandle focus = os_get_focus();
    if (os_is_child(d, focus) && yyoutofrange(focus, focus, 0)) dlgtab.hBadVal = focus;
    // 2.
    if (dlgtab.hBadVal && id == 1) {
        if (quinda.bell) os_message_beep(0);
        os_set_focus(dlgtab.hBadVal);
        os_send_message(dlgtab.hBadVal, EM_SETSEL, 0, -1);
        dlgtab.hBadVal = 0;
        return 1;
    }
    // 3.
    if (dlgtab.hBadVal) {
        yyrestorevalid(dlgtab.hBadVal);
        dlgtab.StoreVal = 1;
        dlgtab.hBadVal = 0;
    }
    // 4.
    if (is_modal_copy(d)) {
        dlgtab.iDlgAct = r->item[DlgId];
        r->item[DlgCurrentField] = id;
        const OsHandle button = os_get_dlg_item(d, id);
        if (os_is_child(d, focus) && focus != button) r->item[DlgPreviousField] = os_get_control_id(focus);
        yytabdialogend(d);
        dlgtab.creating = true;
        if (const OsHandle source = yymodalsource()) yydialogcopy(source, d);
        dlgtab.hDlgCur = 0;
        os_set_window_user(d, 0);
        delete r;
        os_end_dialog(d, id);
        dlgtab.creating = false;
        return 1;
    }
    // 5.
    if (os_get_control_id(focus) != id || !os_is_child(d, focus)) r->item[DlgPreviousField] = r->item[DlgCurrentField];
    post(MsgPushButton, d, static_cast<std::uintptr_t>(id));
    return 1;
}

void field_notification(OsHandle d, DialogRecord* r, OsHandle ctl, std::int32_t id, std::int32_t code) {
    if (dlgtab.creating) return;
    FieldRecord* f = yyfieldrecord(ctl);
    // 1.
    if (code == 6 && !atom_is(ctl, dlgtab.atomButton)) return;
    // 2.
    if ((code == 768 || code == 5) && !(f && f->report_changes)) return;
    // 3.
    if (!is_modal_copy(d) && !yyismodaldialog(d)) {
        r->item[DlgPreviousField] = r->item[DlgCurrentField];
        r->item[DlgCurrentField] = id;
        const bool focus_code = code == 3 || code == 4 || code == 6 || code == 256;
        if (!(focus_code && r->item[DlgPreviousField] == r->item[DlgCurrentField])) post(MsgFieldChanged, d);
    }
    // 4.
    yyUpdateLast(d, ctl);
}

std::intptr_t command(OsHandle d, DialogRecord* r, std::uintptr_t wp, std::intptr_t lp) {
    const std::int32_t id = os_loword(wp);
    const std::int32_t code = os_hiword(wp);
    const auto ctl = static_cast<OsHandle>(lp);
    if (code == 0) {
        const std::uint32_t style = ctl ? os_get_style(ctl) : 0;
        if (!ctl || (style & 0xF) <= 1) return push_button(d, r, static_cast<std::int16_t>(id));
        field_notification(d, r, ctl, id, code);
        return 0;
    }
    if (code == 2) {
        const FieldRecord* f = yyfieldrecord(ctl);
        if (!(f && (f->flags & 2))) yyDefaultButton(ctl ? ctl : d);
        return 0;
    }
    if (code == 1 || code == 3 || code == 4 || code == 5 || code == 6 || code == 256 || code == 768)
        field_notification(d, r, ctl, id, code);
    return 0;
}

void scroll(OsHandle d, DialogRecord* r, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    const auto ctl = static_cast<OsHandle>(lp);
    const std::int32_t code = os_loword(wp);
    if (code == SB_ENDSCROLL || !ctl) return;
    if (atom_is(ctl, dlgtab.atomTrackbar)) {
        if ((os_get_style(ctl) & OS_TBS_ENABLESELRANGE) && (os_get_key_state(OS_VK_SHIFT) & 0x8000)) {
            const auto pos = static_cast<std::int32_t>(os_send_message(ctl, TBM_GETPOS, 0, 0));
            const std::int32_t a = std::min(dlgtab.iSelStart, pos), b = std::max(dlgtab.iSelStart, pos);
            os_send_message(ctl, TBM_SETSEL, 1, os_make_lparam(a, b));
        }
        if (is_modal_copy(d)) return;
        r->item[DlgPreviousField] = r->item[DlgCurrentField];
        r->item[DlgCurrentField] = os_get_control_id(ctl);
        yyUpdateLast(d, ctl);
        post(MsgFieldChanged, d);
        return;
    }
    if (msg == OSM_VSCROLL && atom_is(ctl, dlgtab.atomUpDown) && !is_modal_copy(d)) {
        const auto buddy = static_cast<OsHandle>(os_send_message(ctl, UDM_GETBUDDY, 0, 0));
        r->item[DlgPreviousField] = r->item[DlgCurrentField] = os_get_control_id(buddy);
        yyUpdateLast(d, buddy);
        const FieldRecord* f = yyfieldrecord(ctl);
        if (!(f && f->report_changes)) post(MsgFieldChanged, d);
    }
}

std::intptr_t mouse(OsHandle d, DialogRecord* r, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    if (!r->item[DlgGraphicsArea] || is_modal_copy(d)) return 0;
    r->item[DlgGraphicsSource] = 0;
    switch (msg) {
    case OSM_MOUSEMOVE:
        r->item[DlgMouseButton] = 0;
        post(106, d, wp, lp);
        return 1;
    case OSM_LBUTTONDOWN: case OSM_RBUTTONDOWN: case OSM_MBUTTONDOWN:
    case OSM_LBUTTONDBLCLK: case OSM_RBUTTONDBLCLK: case OSM_MBUTTONDBLCLK: {
        const bool dbl = msg == OSM_LBUTTONDBLCLK || msg == OSM_RBUTTONDBLCLK || msg == OSM_MBUTTONDBLCLK;
        r->item[DlgMouseButton] = (msg == OSM_LBUTTONDOWN || msg == OSM_LBUTTONDBLCLK) ? 1
                                  : (msg == OSM_RBUTTONDOWN || msg == OSM_RBUTTONDBLCLK) ? 3 : 2;
        os_set_capture(d);
        std::int32_t on = 0;
        post(dbl && yyinfomessage(MsgDoubleClick, on) ? 116 : 104, d, wp, lp);
        return 1;
    }
    case OSM_LBUTTONUP: case OSM_RBUTTONUP: case OSM_MBUTTONUP:
        r->item[DlgMouseButton] = msg == OSM_LBUTTONUP ? 1 : (msg == OSM_RBUTTONUP ? 3 : 2);
        os_release_capture();
        post(105, d, wp, lp);
        return 1;
    default:
        return 0;
    }
}

// A click in an embedded dialog of a library window makes it the dialog the
// next message box, common dialog or dialog is owned by, and the one the
// focus comes back to.
void mouse_activate(OsHandle d, const DialogRecord& r) {
    if (!(os_get_style(d) & OS_WS_CHILD) || os_window_class_atom(os_get_parent(d)) != wtab.atomClient) return;
    const OsHandle combined = r.item[DlgCombined];
    if (!combined) {
        os_set_window_pos(d, OS_HWND_TOP, 0, 0, 0, 0, OS_SWP_NOMOVE | OS_SWP_NOSIZE | OS_SWP_SHOWWINDOW);
        const OsHandle f = os_get_focus();
        if (f != d && !os_is_child(d, f)) os_set_focus(d);
        dlgtab.hDlgCur = d;
        yytitlecolour(d);
    } else if (combined != os_get_active_window()) {
        yytitlecolour(combined);
    }
}

// Every child but up-down controls, embedded dialogs and the size grip moves by its anchors.
void resize_fields(OsHandle d, DialogRecord* r, std::int32_t cw, std::int32_t ch, bool maximised) {
    for (OsHandle c : os_child_windows(d)) {
        if (atom_is(c, dlgtab.atomScrollbar) && os_get_control_id(c) == 0xFFFF) {
            // The grip stays in the corner; a maximised dialog cannot be sized.
            os_set_window_pos(c, 0, 0, 0, cw, ch,
                              OS_SWP_NOZORDER | OS_SWP_NOACTIVATE |
                                  (maximised ? OS_SWP_HIDEWINDOW : OS_SWP_SHOWWINDOW));
            continue;
        }
        if (atom_is(c, dlgtab.atomUpDown) || atom_is(c, dlgtab.atomDialog)) continue;
        const FieldRecord* f = yyfieldrecord(c);
        if (!f || !f->anchors) continue;
        OsRect wr;
        os_get_window_rect(c, wr);
        OsPoint tl{wr.left, wr.top}, br{wr.right, wr.bottom};
        os_screen_to_client(d, tl);
        os_screen_to_client(d, br);
        std::int32_t right = br.x, bottom = br.y;
        std::int32_t buddy_w = 0;
        if (f->buddy) {
            OsRect b;
            os_get_window_rect(f->buddy, b);
            buddy_w = b.width();
            right += buddy_w;
        }
        const std::int32_t dx = cw - right - f->right_distance, dy = ch - bottom - f->bottom_distance;
        OsRect n{tl.x, tl.y, br.x, br.y};
        if (f->anchors & 1) n.left += dx;
        if (f->anchors & 2) n.right += dx;
        if (f->anchors & 4) n.top += dy;
        if (f->anchors & 8) n.bottom += dy;
        os_set_window_pos(c, 0, n.left, n.top, n.width(), n.height(), OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
        if (f->buddy)
            os_set_window_pos(f->buddy, 0, n.right, n.top, buddy_w, n.height(), OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
    }
    if (r->item[DlgGraphicsArea] && !is_modal_copy(d)) {
        r->item[DlgGraphicsSource] = 0;
        os_update_window(d);
        post(108, d, 0, os_make_lparam(cw, ch));
    }
}

void release_fields(OsHandle d) {
    const bool copy = is_modal_copy(d);
    for (OsHandle c : os_child_windows(d)) {
        FieldRecord* f = yyfieldrecord(c);
        if (f) {
            if (f->previous_proc) os_set_window_proc(c, f->previous_proc);
            if (!copy) delete f->format;
            os_set_window_user(c, 0);
            delete f;
        }
        if (copy) continue;
        // Fonts of their own and images go with the control.
        const auto font = static_cast<OsObject>(os_send_message(c, OSM_GETFONT, 0, 0));
        const auto dfont = static_cast<OsObject>(os_send_message(d, OSM_GETFONT, 0, 0));
        const std::intptr_t image = control_image(c).handle;
        if (font && font != dfont && font != os_get_stock_object(OS_SYSTEM_FONT) &&
            font != os_get_stock_object(OS_SYSTEM_FIXED_FONT) && font != os_get_stock_object(OS_DEFAULT_GUI_FONT))
            os_delete_object(font);
        if (image) os_delete_object(static_cast<OsObject>(image));
    }
}

}  // namespace

bool yyismodaldialog(OsHandle w) {
    const OsHandle copy = dlgtab.hDialogList[0];
    if (!copy) return false;
    for (int guard = 0; w && guard < 64; ++guard) {
        if (w == copy) return true;
        if (!(os_get_style(w) & OS_WS_CHILD)) return false;
        w = os_get_parent(w);
    }
    return false;
}

bool yyIsResizableDialog(OsHandle dialog) {
    const DialogRecord* r = yydialogrecord(dialog);
    return r && r->item[DlgResizeField] != 0;
}

void yyDialogCreateSizeGrip(OsHandle d) {
    DialogRecord* r = yydialogrecord(d);
    if (!r || !r->item[DlgResizeField]) return;
    // No grip where the window the dialog is combined with has a status bar or
    // is the first pane of a split window, whose corner belongs to its frame.
    for (OsHandle w = r->item[DlgCombined]; w;) {
        const std::int32_t slot = yygetwindowindex(w);
        if (slot >= 0 && slot <= MaxChildWindows && wtab.wMessLine[static_cast<std::size_t>(slot)]) return;
        if (!(os_get_style(w) & OS_WS_CHILD)) break;
        const OsHandle up = os_get_parent(os_get_parent(w));
        if (yyspecialkind(up) != WindowKindSplit) break;
        if (os_child_windows(os_get_parent(w)).front() == w) return;
        w = up;
    }
    OsRect c;
    os_get_client_rect(d, c);
    os_create_window(0, "SCROLLBAR", " ",
                     OS_WS_CHILD | OS_WS_VISIBLE | OS_SBS_SIZEBOX | OS_SBS_SIZEBOXBOTTOMRIGHTALIGN, 0, 0, c.width(),
                     c.height(), d, 0, 0xFFFF);
}

bool yyCheckUserDrawn(OsHandle d) {
    const DialogRecord* r = yydialogrecord(d);
    if (r && r->item[DlgGraphicsArea]) return true;
    for (OsHandle c : os_child_windows(d)) {
        const FieldRecord* f = yyfieldrecord(c);
        if (f && f->graphics_field) return true;
        if (atom_is(c, dlgtab.atomTab)) {
            const auto cur = os_send_message(c, TCM_GETCURSEL, 0, 0);
            OsTabItem item;
            if (cur >= 0 && os_send_message(c, TCM_GETITEM, static_cast<std::uintptr_t>(cur), reinterpret_cast<std::intptr_t>(&item))) {
                const std::int32_t s = yydialogfind(item.data[0]);
                if (s > 0 && yyCheckUserDrawn(dlgtab.hDialogList[static_cast<std::size_t>(s)])) return true;
            }
        }
    }
    return false;
}

std::intptr_t yyProcessColour(OsHandle d, std::uint32_t, OsHandle dc, OsHandle ctl) {
    // 1.
    if (dlgtab.hBrushDlg) os_delete_object(dlgtab.hBrushDlg);
    dlgtab.hBrushDlg = 0;
    // 2.
    if (atom_is(ctl, dlgtab.atomTree)) return 0;
    // 3.
    OsHandle owner = ctl;
    for (int up = 0; up < 3 && owner && os_get_parent(owner) != d; ++up) owner = os_get_parent(owner);
    if (!owner || os_get_parent(owner) != d) return 0;
    const FieldRecord* f = yyfieldrecord(owner);
    if (!f) return 0;
    const bool button = atom_is(owner, dlgtab.atomButton) || atom_is(owner, dlgtab.atomStatic);
    // 4.
    if (f->text_colour != -1) os_set_text_color(dc, static_cast<std::uint32_t>(f->text_colour));
    else if (f->background_colour != -1) os_set_text_color(dc, os_sys_colour(OS_COLOR_WINDOWTEXT));
    // 5.
    if (f->background_colour != -1) {
        os_set_bk_color(dc, static_cast<std::uint32_t>(f->background_colour));
        dlgtab.hBrushDlg = os_create_solid_brush(static_cast<std::uint32_t>(f->background_colour));
        return dlgtab.hBrushDlg;
    }
    // 6.
    if (f->text_colour == -1) return 0;
    const std::uint32_t face = os_sys_colour(button ? OS_COLOR_BTNFACE : OS_COLOR_WINDOW);
    os_set_bk_color(dc, face);
    dlgtab.hBrushDlg = os_create_solid_brush(face);
    return dlgtab.hBrushDlg;
}

std::intptr_t yydialoginitialise(OsHandle d, DialogRecord* record) {
    dlgtab.creating = true;
    // 1.
    for (OsHandle c : os_child_windows(d)) {
        if (!(yynumerickind(c) && yyfieldrecord(c))) {
            auto* f = new FieldRecord;
            os_set_window_user(c, reinterpret_cast<std::intptr_t>(f));
        }
        FieldRecord* f = yyfieldrecord(c);
        std::uint32_t style = os_get_style(c);
        if (atom_is(c, dlgtab.atomEdit)) {
            f->text_limit = (style & OS_ES_MULTILINE) ? 65535 : 32767;
            os_send_message(c, EM_LIMITTEXT, static_cast<std::uintptr_t>(f->text_limit), 0);
        } else if (atom_is(c, dlgtab.atomButton)) {
            const std::uint32_t k = style & OS_BS_TYPEMASK;
            if (k == OS_BS_CHECKBOX || k == OS_BS_3STATE || k == OS_BS_AUTO3STATE)
                style = (style & ~OS_BS_TYPEMASK) | OS_BS_AUTOCHECKBOX;
            else if (k == OS_BS_RADIOBUTTON)
                style = (style & ~OS_BS_TYPEMASK) | OS_BS_AUTORADIOBUTTON;
            if (style & (OS_BS_BITMAP | OS_BS_ICON)) {
                // The image is the bitmap resource of the control's id.
                OsImage img;
                OsObject bmp = 0;
                if (os_resource_image(OS_RT_BITMAP, os_get_control_id(c), img) ||
                    os_resource_image(OS_RT_ICON, os_get_control_id(c), img))
                    bmp = os_create_bitmap_from_image(img);
                if (bmp) {
                    const auto old = static_cast<OsObject>(os_send_message(c, BM_SETIMAGE, OS_IMAGE_BITMAP, bmp));
                    if (old) os_delete_object(old);
                } else {
                    style &= ~(OS_BS_BITMAP | OS_BS_ICON);
                }
            }
        } else if (atom_is(c, dlgtab.atomStatic)) {
            const std::uint32_t k = style & OS_SS_TYPEMASK;
            if ((k == OS_SS_BITMAP || k == OS_SS_ICON) && !os_send_message(c, STM_GETIMAGE, OS_IMAGE_BITMAP, 0)) {
                OsImage img;
                if (os_resource_image(k == OS_SS_BITMAP ? OS_RT_BITMAP : OS_RT_ICON, os_get_control_id(c), img))
                    if (const OsObject bmp = os_create_bitmap_from_image(img))
                        os_send_message(c, STM_SETIMAGE, OS_IMAGE_BITMAP, bmp);
            }
        } else if (atom_is(c, dlgtab.atomTab)) {
            os_send_message(c, TCM_SETITEMEXTRA, 8, 0);
        } else if (atom_is(c, dlgtab.atomTree)) {
            style |= OS_TVS_HASBUTTONS | OS_TVS_HASLINES | OS_TVS_LINESATROOT | OS_TVS_SHOWSELALWAYS |
                     OS_TVS_DISABLEDRAGDROP;
        }
        os_set_style(c, style);
        yysubclass(c);
        // The dialog hears of every click in its controls.
        os_set_ex_style(c, os_get_ex_style(c) & ~static_cast<std::uint32_t>(OS_WS_EX_NOPARENTNOTIFY));
        f->previous_proc = os_get_window_proc(c);
        os_set_window_proc(c, yysubpaint);
    }
    std::intptr_t result = 0;
    if (record) {
        // 2.
        os_set_window_user(d, reinterpret_cast<std::intptr_t>(record));
        // The program's icon, which its task-bar button shows.
        if (wtab.wWindow[0]) os_set_window_icon(d, true, os_get_class_icon(wtab.wWindow[0]));
        OsRect wr;
        os_get_window_rect(d, wr);
        record->item[DlgMinWidth] = wr.width();
        record->item[DlgMinHeight] = wr.height();
    } else {
        // 3.
        dlgtab.hDialogList[0] = d;
        os_set_window_user(d, reinterpret_cast<std::intptr_t>(new DialogRecord));
        if (const OsHandle source = yymodalsource()) yydialogcopy(d, source);
        yytabdialoginit(d);
        yydialogcentre(d);
        os_set_window_pos(d, 0, dlgtab.pending_x, dlgtab.pending_y, 0, 0,
                          OS_SWP_NOSIZE | OS_SWP_NOZORDER | OS_SWP_NOREDRAW | OS_SWP_NOACTIVATE);
        result = 1;
    }
    // 4.
    os_set_ex_style(d, os_get_ex_style(d) | OS_WS_EX_APPWINDOW);
    // 5.
    if (dlgtab.pending_focus) {
        if (const OsHandle f = os_get_dlg_item(d, dlgtab.pending_focus)) {
            os_set_focus(f);
            yyDialogSelectAll(f);
            result = 0;
        }
    }
    dlgtab.creating = false;
    return result;
}

std::intptr_t yydialogproc(OsHandle d, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    if (msg == OSM_INITDIALOG) return yydialoginitialise(d, reinterpret_cast<DialogRecord*>(lp));
    DialogRecord* r = yydialogrecord(d);
    // A grid's current cell moved or its value changed: the grid becomes the
    // current field and, outside the modal copy, the program hears of it
    // with the cell as Y.
    if (msg != 0 && msg == grid_state.GM_CELLCHANGE) {
        if (!r || dlgtab.creating) return 1;
        r->item[DlgPreviousField] = r->item[DlgCurrentField];
        r->item[DlgCurrentField] = static_cast<std::int32_t>(wp);
        yyUpdateLast(d, os_get_dlg_item(d, static_cast<std::int32_t>(wp)));
        if (!is_modal_copy(d)) post(MsgFieldChanged, d, 0, lp);
        return 1;
    }
    switch (msg) {
    case OSM_DESTROY:
        release_fields(d);
        // A modal copy that ends without a push button still owns its record.
        if (is_modal_copy(d) && r) {
            os_set_window_user(d, 0);
            delete r;
        }
        return 0;
    case OSM_SIZE:
        if (r && (wp == OS_SIZE_RESTORED || wp == OS_SIZE_MAXIMIZED) && yyIsResizableDialog(d))
            resize_fields(d, r, os_loword(static_cast<std::uintptr_t>(lp)), os_hiword(static_cast<std::uintptr_t>(lp)),
                          wp == OS_SIZE_MAXIMIZED);
        return 0;
    case OSM_ACTIVATE:
        if (os_loword(wp) != OS_WA_INACTIVE) {
            dlgtab.hDlgCur = d;
        } else {
            if (dlgtab.hDlgCur == d) dlgtab.hDlgCur = 0;
            wtab.hWinCur = d;
        }
        return 0;
    case OSM_SETFOCUS:
        if (r && (os_get_style(d) & OS_WS_CHILD) && os_window_class_atom(os_get_parent(d)) == wtab.atomClient &&
            r->item[DlgLastActive] && os_is_window(r->item[DlgLastActive])) {
            os_set_focus(r->item[DlgLastActive]);
            return 1;
        }
        return 0;
    case OSM_MOUSEACTIVATE:
        if (r) mouse_activate(d, *r);
        return 0;
    case OSM_PAINT: {
        if (is_modal_copy(d)) return 0;
        std::int32_t slot = -1;
        for (std::int32_t s = 1; s <= dlgtab.nDialogs; ++s)
            if (dlgtab.hDialogList[static_cast<std::size_t>(s)] == d) slot = s;
        if (wtab.wBlitOn && slot > 0 && dlgtab.snapshot[static_cast<std::size_t>(slot)]) {
            os_snapshot_paint(d, dlgtab.snapshot[static_cast<std::size_t>(slot)]);
            os_validate_rect(d, nullptr);
            return 1;
        }
        if (r && r->item[DlgGraphicsArea] && !wtab.wBlitOn) {
            r->item[DlgGraphicsSource] = 0;
            post(107, d);
        }
        return 0;
    }
    case OSM_GETMINMAXINFO:
        if (r && yyIsResizableDialog(d) && lp) {
            reinterpret_cast<OsMinMaxInfo*>(lp)->min_track = {r->item[DlgMinWidth], r->item[DlgMinHeight]};
            return 1;
        }
        return 0;
    case OSM_HELP:
        if (!r || is_modal_copy(d)) return 1;
        if (os_get_control_id(os_get_focus()) != 9) r->item[DlgPreviousField] = r->item[DlgCurrentField];
        post(MsgPushButton, d, 9);
        return 1;
    case OSM_COMMAND:
        return r ? command(d, r, wp, lp) : 0;
    case OSM_HSCROLL:
    case OSM_VSCROLL:
        if (r) scroll(d, r, msg, wp, lp);
        return 0;
    case OSM_CTLCOLOREDIT:
    case OSM_CTLCOLORLISTBOX:
    case OSM_CTLCOLORBTN:
    case OSM_CTLCOLORSTATIC:
        return yyProcessColour(d, msg, static_cast<OsHandle>(wp), static_cast<OsHandle>(lp));
    case OSM_NOTIFY: {
        const auto* h = reinterpret_cast<const OsNotifyHeader*>(lp);
        if (!h || dlgtab.creating) return 0;
        if (atom_is(h->from, dlgtab.atomTab)) return yytabnotify(d, lp);
        if (atom_is(h->from, dlgtab.atomTree)) return yytreenotify(d, lp);
        if (h->code == OS_UDN_DELTAPOS) return yyspinchange(d, lp);
        return 0;
    }
    default:
        if (msg >= OSM_MOUSEMOVE && msg <= OSM_MBUTTONDBLCLK && r) return mouse(d, r, msg, wp, lp);
        return 0;
    }
}

// What the event layer reads of a dialog when it builds a message.
bool yydialogeventinfo(OsHandle window, DialogEventInfo& info) {
    const DialogRecord* r = yydialogrecord(window);
    if (!r) return false;
    info.dialog_id = r->item[DlgId];
    info.previous_field = r->item[DlgPreviousField];
    info.current_field = r->item[DlgCurrentField];
    info.previous_tab = r->item[DlgPreviousTab];
    info.current_tab = r->item[DlgCurrentTab];
    info.previous_changed = r->item[DlgLastChanged];
    info.mouse_button = r->item[DlgMouseButton];
    info.graphics_field = r->item[DlgGraphicsSource];
    return true;
}

void yydialogsetlastchanged(OsHandle window, std::int32_t value) {
    if (DialogRecord* r = yydialogrecord(window)) r->item[DlgLastChanged] = value;
}
