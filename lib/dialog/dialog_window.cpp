// The dialog manager's side of the window layer: combined dialogs, the
// dialog keyboard and the globals at shutdown.
#include "lib/dialog/dialog_window.h"

#include "lib/dialog/dialog.h"
#include "lib/dialog/fields.h"
#include "platform/os_dc.h"
#include "platform/os_dialog.h"

std::int32_t yydialogprobe(std::int32_t id, OsHandle owner, std::int32_t& width, std::int32_t& height,
                           bool& resizable) {
    OsDialogTemplate t;
    if (!os_resource_dialog(id, t)) return -1;
    if (!(t.style & OS_WS_CHILD)) return -2;
    // A dialog of its own, outside the table, learns its size and resizing.
    auto* record = new DialogRecord;
    record->item[DlgId] = id;
    dlgtab.creating = true;
    const OsHandle d = os_create_dialog(id, owner, yydialogproc, reinterpret_cast<std::intptr_t>(record));
    dlgtab.creating = false;
    if (!d) {
        delete record;
        return -4;
    }
    yydialogqdx(d, id, -1);
    OsRect r;
    os_get_window_rect(d, r);
    width = r.width();
    height = r.height();
    resizable = record->item[DlgResizeField] != 0;
    os_destroy_window(d);
    delete record;
    return 0;
}

OsHandle yydialogcombine(std::int32_t id, std::int32_t slot, bool show) {
    std::int32_t status = id;
    yydialogload2(status, id, slot, 1);
    if (status < 0) return 0;
    const OsHandle d = yycurrentdialog();
    if (show) {
        std::int32_t mode = DialogModeless;
        yydialogshow(0, 0, 0, 0, mode, 0, 1);
    }
    return d;
}

void yydialogsetcombined(OsHandle dialog, OsHandle frame) {
    if (DialogRecord* r = yydialogrecord(dialog)) r->item[DlgCombined] = frame;
}

void yydialogmakecurrent(std::int32_t id) {
    std::int32_t s = id;
    yydialogselect(s);
    if (s >= 0) dialog_state.current_id = id;
}

void yydialogrepaint(OsHandle dialog) {
    os_invalidate_rect(dialog, nullptr, true);
    os_update_window(dialog);
}

void yydialogunloadwindow(OsHandle dialog) {
    for (std::int32_t s = 1; s <= dlgtab.nDialogs; ++s) {
        if (dlgtab.hDialogList[static_cast<std::size_t>(s)] != dialog) continue;
        std::int32_t st = s;
        yydialoghide(st);
        yydialogunload(0, s);
        return;
    }
}

void yydialogshutdown() {
    for (std::int32_t s = 1; s <= dlgtab.nDialogs; ++s)
        yytabdialogend(dlgtab.hDialogList[static_cast<std::size_t>(s)]);
    for (std::int32_t s = dlgtab.nDialogs; s >= 0; --s) {
        const OsHandle d = dlgtab.hDialogList[static_cast<std::size_t>(s)];
        if (!d) continue;
        DialogRecord* r = yydialogrecord(d);
        os_destroy_window(d);
        delete r;
    }
    for (std::int32_t snap : dlgtab.snapshot)
        if (snap) os_snapshot_free(snap);
    DialogTable fresh;
    fresh.atomDialog = dlgtab.atomDialog;
    fresh.atomList = dlgtab.atomList;
    fresh.atomCombo = dlgtab.atomCombo;
    fresh.atomProgress = dlgtab.atomProgress;
    fresh.atomUpDown = dlgtab.atomUpDown;
    fresh.atomHeader = dlgtab.atomHeader;
    fresh.atomScrollbar = dlgtab.atomScrollbar;
    fresh.atomButton = dlgtab.atomButton;
    fresh.atomStatic = dlgtab.atomStatic;
    fresh.atomEdit = dlgtab.atomEdit;
    fresh.atomTrackbar = dlgtab.atomTrackbar;
    fresh.atomTab = dlgtab.atomTab;
    fresh.atomTree = dlgtab.atomTree;
    fresh.atomNumeric = dlgtab.atomNumeric;
    if (dlgtab.hBrushDlg) os_delete_object(dlgtab.hBrushDlg);
    dlgtab = fresh;
}

void yydialogclearstate() { dialog_state = DialogState{}; }

void yydialogclearcurrent() { dlgtab.hDlgCur = 0; }

void yydialogtofront(OsHandle dialog) {
    os_bring_window_to_top(dialog);
    os_set_focus(dialog);
}

std::int32_t yydialogtypeof() {
    const OsHandle d = yycurrentdialog();
    if (!d) return 0;
    if (!(os_get_style(d) & OS_WS_CHILD)) return 1;
    const DialogRecord* r = yydialogrecord(d);
    if (r && r->item[DlgCombined]) return 4;
    return os_window_class_atom(os_get_parent(d)) == dlgtab.atomDialog ? 3 : 2;
}

OsHandle yydialogkeyboardwindow() {
    if (dlgtab.hDlgCur && yydialogrecord(dlgtab.hDlgCur)) return dlgtab.hDlgCur;
    return yycurrentdialog();
}

void yydialogtitles(OsHandle) {
    for (std::int32_t s = 1; s <= dlgtab.nDialogs; ++s) {
        const OsHandle d = dlgtab.hDialogList[static_cast<std::size_t>(s)];
        if (d && (os_get_style(d) & OS_WS_CHILD) && os_is_window_visible(d)) os_invalidate_rect(d, nullptr, false);
    }
}

std::int32_t yydialogidof(OsHandle dialog) {
    const DialogRecord* r = yydialogrecord(dialog);
    return r ? r->item[DlgId] : 0;
}

OsHandle yydialogcombinedframe(OsHandle dialog) {
    const DialogRecord* r = yydialogrecord(dialog);
    return r ? r->item[DlgCombined] : 0;
}

bool yydialogrootaccelerators(OsHandle dialog) {
    const DialogRecord* r = yydialogrecord(dialog);
    return r && r->item[DlgFlag] != 0;
}

bool yydialogkeyboard(OsHandle dialog, const OsMsg& m) { return os_is_dialog_message(dialog, m); }

int yycurrentdialogid() {
    const DialogRecord* r = yydialogrecord(yycurrentdialog());
    return r ? r->item[DlgId] : 0;
}
