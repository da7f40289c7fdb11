// The dialog table and the life of a dialog: load, select, show, hide,
// unload, centring, the owner of new dialogs and the class atoms.
#include "lib/dialog/dialog.h"

#include <algorithm>

#include "lib/dialog/dialog_window.h"
#include "lib/dialog/fields.h"
#include "lib/window/errors.h"
#include "lib/window/messages.h"
#include "lib/window/wininfo.h"
#include "lib/window/winops.h"
#include "platform/os_dialog.h"

DialogTable dlgtab;
DialogState dialog_state;

namespace {


bool is_child(OsHandle w) { return (os_get_style(w) & OS_WS_CHILD) != 0; }

// Whether a dialog is a page of a tab control of a loaded dialog other than the current one.
bool is_foreign_tab_page(OsHandle d, std::int32_t id) {
    const OsHandle cur = yycurrentdialog();
    for (std::int32_t s = 1; s <= dlgtab.nDialogs; ++s) {
        const OsHandle o = dlgtab.hDialogList[ix(s)];
        if (!o || o == cur || o == d) continue;
        for (OsHandle c : os_child_windows(o)) {
            if (os_window_class_atom(c) != dlgtab.atomTab) continue;
            const auto n = os_send_message(c, TCM_GETITEMCOUNT, 0, 0);
            for (std::intptr_t i = 0; i < n; ++i) {
                OsTabItem item;
                if (os_send_message(c, TCM_GETITEM, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&item)) &&
                    item.data[0] == id)
                    return true;
            }
        }
    }
    return false;
}

std::int32_t slot_of(OsHandle d) {
    for (std::int32_t s = 1; s <= dlgtab.nDialogs; ++s)
        if (dlgtab.hDialogList[ix(s)] == d) return s;
    return -1;
}

// Whether e is owned by d directly or through other owners.
bool owned_by(OsHandle e, OsHandle d) {
    for (OsHandle o = os_get_owner(e); o; o = os_get_owner(o))
        if (o == d) return true;
    return false;
}

}  // namespace

void reset_dialog_state() {
    yydialogshutdown();
    dlgtab = DialogTable{};
    dialog_state = DialogState{};
    reset_dialog_info();
    os_dialog_set_script({});
}

DialogRecord* yydialogrecord(OsHandle dialog) {
    if (!dialog || os_window_class_atom(dialog) != os_class_atom("#32770")) return nullptr;
    return reinterpret_cast<DialogRecord*>(os_get_window_user(dialog));
}

OsHandle yycurrentdialog() {
    if (dlgtab.iDlgCur <= 0 || dlgtab.iDlgCur > dlgtab.nDialogs) return 0;
    return dlgtab.hDialogList[ix(dlgtab.iDlgCur)];
}

std::int32_t yydialogfind(std::int32_t dialog_id) {
    for (std::int32_t s = 0; s <= dlgtab.nDialogs; ++s) {
        const DialogRecord* r = yydialogrecord(dlgtab.hDialogList[ix(s)]);
        if (r && r->item[DlgId] == dialog_id) return s;
    }
    return -1;
}

void yygetatoms() {
    os_register_controls();
    yyregistersubclass();
    yyregistersuperclass();
    dlgtab.atomDialog = os_class_atom("#32770");
    dlgtab.atomList = os_class_atom("LISTBOX");
    dlgtab.atomCombo = os_class_atom("COMBOBOX");
    dlgtab.atomProgress = os_class_atom("msctls_progress32");
    dlgtab.atomUpDown = os_class_atom("MSCTLS_UPDOWN32");
    dlgtab.atomHeader = os_class_atom("SysHeader32");
    dlgtab.atomScrollbar = os_class_atom("SCROLLBAR");
    dlgtab.atomButton = os_class_atom("BUTTON");
    dlgtab.atomStatic = os_class_atom("STATIC");
    dlgtab.atomEdit = os_class_atom("EDIT");
    dlgtab.atomTrackbar = os_class_atom("msctls_trackbar32");
    dlgtab.atomTab = os_class_atom("SysTabControl32");
    dlgtab.atomTree = os_class_atom("SysTreeView32");
    dlgtab.StoreVal = 1;
    dlgtab.hBrushDlg = 0;
}

void yydialogload(std::int32_t& resource, std::int32_t dialog_id, std::int32_t window) {
    yydialogload2(resource, dialog_id, window, 0);
}

void yydialogload2(std::int32_t& resource, std::int32_t dialog_id, std::int32_t window, std::int32_t combine) {
    if (dlgtab.atomDialog == 0) yygetatoms();
    // 1.
    if (const std::int32_t i = yydialogfind(dialog_id); i >= 0) {
        dlgtab.iDlgCur = i;
        return;
    }
    // 2.
    if (dlgtab.nDialogs >= MaxDialogs) {
        resource = -1;
        return;
    }
    // 3.
    OsDialogTemplate t;
    if (!os_resource_dialog(resource, t)) {
        resource = -2;
        return;
    }
    // 4. The record keeps the resource the dialog came from (item 1), so a
    // modal show makes its copy from that template and never another.
    auto* record = new DialogRecord;
    record->item[DlgId] = dialog_id;
    record->item[1] = resource;
    record->item[DlgLastChanged] = 262145;
    if (combine && valid_slot(window)) record->item[DlgCombined] = wtab.wWindow[ix(window)];
    dlgtab.pending_focus = dlgtab.pending_x = dlgtab.pending_y = 0;
    // 5.
    dlgtab.creating = true;
    OsHandle parent = 0;
    if (window == -1) parent = yyactivewindlg();
    else if (valid_slot(window)) parent = wtab.hClient[ix(window)];
    const OsHandle saved = dlgtab.hDlgCur;
    // 6.
    const OsHandle h = os_create_dialog(resource, parent, yydialogproc, reinterpret_cast<std::intptr_t>(record));
    dlgtab.creating = false;
    // 7.
    if (!h) {
        delete record;
        resource = -3;
        return;
    }
    ++dlgtab.nDialogs;
    dlgtab.hDialogList[ix(dlgtab.nDialogs)] = h;
    // 8.
    dlgtab.iDlgCur = dlgtab.nDialogs;
    yydialogqdx(h, resource, dlgtab.nDialogs);
    bool after_spin = false;
    for (OsHandle c : os_child_windows(h)) {
        FieldRecord* f = yyfieldrecord(c);
        const bool updown = os_window_class_atom(c) == dlgtab.atomUpDown;
        if (f && !(updown && after_spin)) f->state = yyfieldstateof(c);
        after_spin = yyisspinfield(c) && f && f->buddy;
    }
    dlgtab.hDlgCur = saved;
}

void WDialogLoad(std::int32_t resource, OptInt dialog_id, OptInt window) {
    std::int32_t status = resource;
    const std::int32_t id = dialog_id.value_or(resource);
    yydialogload2(status, id, window.value_or(0), 0);
    if (status == -1) return yyerror(1087, "WDialogLoad");
    if (status == -2) return yyerror(1007, "WDialogLoad");
    if (status == -3) return yyerror(1088, "WDialogLoad");
    dialog_state.current_id = id;
}

void yydialogselect(std::int32_t& dialog_id) {
    const std::int32_t i = yydialogfind(dialog_id);
    if (i < 0) {
        dialog_id = -1;
        return;
    }
    dlgtab.iDlgCur = i;
}

void WDialogSelect(std::int32_t dialog_id) {
    std::int32_t s = dialog_id;
    yydialogselect(s);
    if (s < 0) return yyerror(1008, "WDialogSelect");
    dialog_state.current_id = dialog_id;
}

void yydialogparent(std::int32_t& slot) {
    slot = 0;
    const OsHandle d = yycurrentdialog();
    if (!d) return;
    const OsHandle p = is_child(d) ? os_get_parent(d) : os_get_owner(d);
    for (std::int32_t s = 0; s <= MaxChildWindows; ++s)
        if (p && (wtab.hClient[ix(s)] == p || wtab.wWindow[ix(s)] == p)) {
            slot = s;
            return;
        }
}

void yydialogcentre(OsHandle dialog) {
    OsRect dr;
    os_get_window_rect(dialog, dr);
    std::int32_t w = os_get_system_metrics(OS_SM_CXSCREEN), h = os_get_system_metrics(OS_SM_CYSCREEN);
    if (is_child(dialog)) {
        OsRect pr;
        os_get_client_rect(os_get_parent(dialog), pr);
        w = pr.width();
        h = pr.height();
    }
    if (dlgtab.pending_x == -1) dlgtab.pending_x = (w - dr.width()) / 2;
    if (dlgtab.pending_y == -1) dlgtab.pending_y = (h - dr.height()) / 2;
}

OsHandle yyactivewindlg() {
    const OsHandle a = dlgtab.hDlgCur;
    if (a && os_is_window_visible(a)) {
        const DialogRecord* r = yydialogrecord(a);
        return r && r->item[DlgCombined] ? r->item[DlgCombined] : a;
    }
    return wtab.hWinCur;
}

void yymodalshow(OsHandle dialog);  // modal.cpp

void yydialogshow(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, std::int32_t& mode,
                  std::int32_t focus, std::int32_t combine) {
    const OsHandle d = yycurrentdialog();
    DialogRecord* r = yydialogrecord(d);
    if (!r) {
        mode = -1;
        return;
    }
    const bool embedded = is_child(d);
    // 1.
    bool parent_hidden = false, parent_combined = false;
    if (embedded) {
        const OsHandle frame = os_get_parent(os_get_parent(d));
        parent_hidden = frame && !os_is_window_visible(frame);
        parent_combined = frame && yyspecialkind(frame) == WindowKindDialog;
    }
    // 2.
    if (r->item[DlgCombined] && combine == 0) {
        mode = -4;
        return;
    }
    // 3. Already on the screen: to the front only. A modal show cannot be
    // had of a dialog that is already up, which is reported as a changed mode.
    if (r->item[DlgShown]) {
        if (os_is_iconic(d)) os_show_window(d, OS_SW_RESTORE);
        os_bring_window_to_top(d);
        os_show_window(d, OS_SW_SHOW);
        os_update_window(d);
        if (embedded) {
            os_set_focus(d);
            os_set_active_window(d);
            dlgtab.hDlgCur = d;
            yytitlecolour(d);
        }
        mode = mode == DialogModal ? -1 : 0;
        return;
    }
    std::int32_t status = 0;
    // 4.
    if (mode == DialogModeless && dlgtab.nSemi != 0) {
        mode = DialogSemiModeless;
        status = -1;
    }
    // 5. (The snapshots a modal request took go in WDialogShow, whatever became of it.)
    if (embedded && mode != DialogModeless) {
        mode = DialogModeless;
        status = -1;
    }
    // 6.
    dlgtab.pending_focus = focus;
    dlgtab.pending_x = embedded ? cx : x;
    dlgtab.pending_y = embedded ? cy : y;
    // 7.
    if (dlgtab.hDlgCur && os_is_window_visible(dlgtab.hDlgCur)) {
        const DialogRecord* a = yydialogrecord(dlgtab.hDlgCur);
        r->item[DlgOwner] = a && a->item[DlgCombined] ? a->item[DlgCombined] : dlgtab.hDlgCur;
    } else {
        r->item[DlgOwner] = wtab.hWinCur;
    }
    r->item[DlgReenable] = wtab.hLastSemi ? wtab.hLastSemi : r->item[DlgOwner];
    r->item[DlgMode] = mode;
    // 8.
    if (mode == DialogModal) {
        yymodalshow(d);
        mode = status;
        return;
    }
    // 9.
    if (mode == DialogSemiModeless) {
        ++dlgtab.nSemi;
        wtab.hLastSemi = d;
        yyDisableDialogs(0, false);
        for (std::int32_t s = 0; s <= MaxChildWindows; ++s)
            if (wtab.wWindow[ix(s)]) os_enable_window(wtab.wWindow[ix(s)], false);
    }
    // 10.
    if (embedded && (parent_hidden || parent_combined) && combine == 0) {
        mode = parent_hidden ? -2 : -3;
        return;
    }
    // 11.
    yytabdialoginit(d);
    yydialogcentre(d);
    os_set_window_pos(d, 0, dlgtab.pending_x, dlgtab.pending_y, 0, 0,
                      OS_SWP_NOSIZE | OS_SWP_NOZORDER | OS_SWP_NOREDRAW | OS_SWP_NOACTIVATE);
    if (embedded) {
        os_bring_window_to_top(d);
        os_show_window(d, OS_SW_SHOW);
        yytitlecolour(d);
        dlgtab.hDlgCur = d;
    }
    // 12.
    if (combine != 2) {
        const OsHandle f = dlgtab.pending_focus ? os_get_dlg_item(d, dlgtab.pending_focus) : 0;
        os_set_focus(f ? f : d);
        yyDialogSelectAll(os_get_focus());
    }
    // 13.
    os_show_window(d, OS_SW_SHOWNORMAL);
    if (!embedded) {
        os_set_active_window(d);
        dlgtab.hDlgCur = d;
    }
    os_update_window(d);
    const OsHandle f = os_get_focus();
    r->item[DlgPreviousField] = os_is_child(d, f) ? os_get_control_id(f) : 0;
    r->item[DlgShown] = 1;
    mode = status;
}

void yydialogshowexit(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, std::int32_t& mode,
                      std::int32_t focus) {
    const bool modal = mode == DialogModal;
    const std::int32_t modal_before = dlgtab.iDlgAct;
    dlgtab.iDlgAct = -1;
    yydialogshow(x, y, cx, cy, mode, focus, 0);
    const bool modal_ran = dlgtab.iDlgAct != -1;
    if (!modal_ran) dlgtab.iDlgAct = modal_before;
    // The exit values only after a modal show that ran.
    if (!modal || !modal_ran) return;
    if (const DialogRecord* r = yydialogrecord(yycurrentdialog())) {
        dialog_state.exit_button = r->item[DlgCurrentField];
        dialog_state.exit_field = r->item[DlgPreviousField];
    }
    dialog_state.last_modal = dlgtab.iDlgAct;
}

void WDialogShow(OptInt x0, OptInt y0, OptInt focus0, OptInt mode0) {
    // 1.
    if (!yycurrentdialog()) return yyerror(1005, "WDialogShow");
    // 2.
    const std::int32_t x = x0.value_or(-1), y = y0.value_or(-1), focus = focus0.value_or(0);
    const std::int32_t mode = mode0.value_or(DialogModeless);
    // 3, 4.
    std::int32_t slot = 0;
    yydialogparent(slot);
    const std::int32_t former = quinda.current_slot;
    if (slot != former) yywinsel(slot, 0);
    std::int32_t cx = x, cy = y, px = 0, py = 0;
    windowunitstopixels(x, y, px, py);
    if (x != -1) cx = px;
    if (y != -1) cy = py;
    if (slot != former) yywinsel(former, 0);
    // 5.
    std::int32_t s = 0;
    if (mode == DialogModal) yygetwindowbitmap(1, -1, s);
    // 6, 7. The snapshots go in every case.
    std::int32_t status = mode;
    yydialogshowexit(x, y, cx, cy, status, focus);
    if (mode == DialogModal) yygetwindowbitmap(0, -1, s);
    // 8.
    switch (status) {
    case -1: return yyerror(1014, "WDialogShow");
    case -2: return yyerror(1016, "WDialogShow");
    case -3: return yyerror(1046, "WDialogShow");
    case -4: return yyerror(1047, "WDialogShow");
    default: return;
    }
}

void yydialoghide(std::int32_t& index) {
    const OsHandle d = index == -1 ? yycurrentdialog()
                                   : (index >= 0 && index <= dlgtab.nDialogs ? dlgtab.hDialogList[ix(index)] : 0);
    DialogRecord* r = yydialogrecord(d);
    if (!r) return;
    // 3.
    if (index == -1 && r->item[DlgCombined]) return;
    // 4.
    if (is_child(d) && is_foreign_tab_page(d, r->item[DlgId])) {
        index = -2;
        return;
    }
    // 5.
    const bool active = dlgtab.hDlgCur == d;
    // 6.
    if (r->item[DlgShown] && r->item[DlgMode] == DialogSemiModeless) {
        --dlgtab.nSemi;
        yyEnableDialogs(active ? r->item[DlgReenable] : 0, true);
    }
    // 7.
    for (std::int32_t s = 1; s <= dlgtab.nDialogs; ++s) {
        DialogRecord* o = yydialogrecord(dlgtab.hDialogList[ix(s)]);
        if (!o || o == r) continue;
        if (o->item[DlgOwner] == d) o->item[DlgOwner] = r->item[DlgOwner];
        if (o->item[DlgReenable] == d) o->item[DlgReenable] = r->item[DlgReenable];
    }
    // 8.
    for (std::int32_t s = 1; s <= MaxChildWindows; ++s)
        if (wtab.hPrevious[ix(s)] == d) wtab.hPrevious[ix(s)] = r->item[DlgOwner];
    // 9.
    if (active) dlgtab.hDlgCur = 0;
    // 10.
    os_set_window_pos(d, 0, 0, 0, 0, 0,
                      OS_SWP_HIDEWINDOW | OS_SWP_NOACTIVATE | OS_SWP_NOMOVE | OS_SWP_NOSIZE | OS_SWP_NOZORDER);
    r->item[DlgShown] = 0;
    // 11.
    if (wtab.hLastSemi == d) wtab.hLastSemi = dlgtab.nSemi == 0 ? 0 : r->item[DlgReenable];
    // 12.
    if (active) {
        const OsHandle owner = r->item[DlgOwner];
        if (owner && os_is_window(owner)) {
            os_set_active_window(is_child(owner) ? owner : owner);
            os_set_focus(owner);
            yytitlecolour(owner);
            if (yydialogrecord(owner)) dlgtab.hDlgCur = owner;
        }
    }
    // 13.
    if (index == -1) index = 0;
}

void WDialogHide() {
    if (!yycurrentdialog()) return;
    std::int32_t s = -1;
    yydialoghide(s);
    if (s == -2) return yyerror(1069, "WDialogHide");
    if (s == -1) return yyerror(1047, "WDialogHide");
}

void yydialogunload(std::int32_t keep_pages, std::int32_t index) {
    const OsHandle d = index == -1 ? yycurrentdialog()
                                   : (index >= 0 && index <= dlgtab.nDialogs ? dlgtab.hDialogList[ix(index)] : 0);
    if (!d) return;
    yytabdialogend(d);
    yydialogunload2(d, keep_pages, index);
}

void yydialogunload2(OsHandle d, std::int32_t keep_pages, std::int32_t index) {
    DialogRecord* r = yydialogrecord(d);
    if (!r) return;
    // 3.
    if (keep_pages == 0) {
        for (OsHandle c : os_child_windows(d)) {
            if (os_window_class_atom(c) != dlgtab.atomTab) continue;
            const auto n = os_send_message(c, TCM_GETITEMCOUNT, 0, 0);
            for (std::intptr_t i = 0; i < n; ++i) {
                OsTabItem item;
                if (!os_send_message(c, TCM_GETITEM, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&item)))
                    continue;
                const std::int32_t s = yydialogfind(item.data[0]);
                if (s > 0 && dlgtab.hDialogList[ix(s)] != d) yydialogunload2(dlgtab.hDialogList[ix(s)], 0, 0);
            }
        }
    }
    // 4.
    for (std::int32_t s = dlgtab.nDialogs; s >= 1; --s) {
        if (s > dlgtab.nDialogs) continue;
        const OsHandle e = dlgtab.hDialogList[ix(s)];
        if (!e || e == d) continue;
        if (!os_is_child(d, e) && (is_child(e) || !owned_by(e, d))) continue;
        std::int32_t st = s;
        yydialoghide(st);
        if (st != -2) yydialogunload2(e, 0, s);
    }
    // 5, 6.
    const std::int32_t slot = slot_of(d);
    os_destroy_window(d);
    delete r;
    if (slot > 0) {
        for (std::int32_t s = slot; s < dlgtab.nDialogs; ++s) {
            dlgtab.hDialogList[ix(s)] = dlgtab.hDialogList[ix(s + 1)];
            dlgtab.snapshot[ix(s)] = dlgtab.snapshot[ix(s + 1)];
            dlgtab.snapshot_count[ix(s)] = dlgtab.snapshot_count[ix(s + 1)];
        }
        dlgtab.hDialogList[ix(dlgtab.nDialogs)] = 0;
        dlgtab.snapshot[ix(dlgtab.nDialogs)] = dlgtab.snapshot_count[ix(dlgtab.nDialogs)] = 0;
        // 7. The current dialog stays the same dialog when the slots below it move.
        if (index == -1 || index == 0 || slot == dlgtab.iDlgCur) dlgtab.iDlgCur = 0;
        else if (slot < dlgtab.iDlgCur) --dlgtab.iDlgCur;
        // 8.
        --dlgtab.nDialogs;
    } else if (index == -1 || index == 0) {
        dlgtab.iDlgCur = 0;
    }
    if (dlgtab.hDlgCur == d) dlgtab.hDlgCur = 0;
    if (dlgtab.nDialogs == 0) {
        bool any = false;
        for (std::int32_t s = 0; s <= MaxChildWindows; ++s)
            if (wtab.wWindow[ix(s)] && os_is_window_visible(wtab.wWindow[ix(s)])) any = true;
        if (!any) wtab.hWinCur = wtab.wWindow[0];
    }
}

void WDialogUnload(OptInt keep_pages) {
    if (!yycurrentdialog()) return yyerror(1005, "WDialogUnload");
    std::int32_t s = -1;
    yydialoghide(s);
    if (s == -2) return yyerror(1069, "WDialogUnload");
    if (s == -1) return yyerror(1047, "WDialogUnload");
    yydialogunload(keep_pages.value_or(0), -1);
    dialog_state.current_id = 0;
}
