// Modal display: a second instance of the template runs as the system's
// modal dialog box and is copied from and back into the loaded instance;
// meanwhile the other dialogs and windows are disabled and shown from
// snapshots.
#include "lib/dialog/dialog.h"

#include <vector>

#include "lib/dialog/fields.h"
#include "lib/grid/grid.h"
#include "lib/window/messages.h"
#include "lib/window/wininfo.h"
#include "platform/os_dialog.h"

namespace {


OsHandle modal_source = 0;  // the loaded instance while its modal copy runs

bool atom_is(OsHandle w, std::int32_t atom) { return atom != 0 && os_window_class_atom(w) == atom; }

bool library_window(OsHandle p) {
    if (!p) return true;
    const std::int32_t a = os_window_class_atom(p);
    return a == wtab.atomRoot || a == wtab.atomChild || a == wtab.atomClient;
}

// The dialogs that disabling and enabling act on: shown, and inside a
// library window or top-level.
bool takes_part(OsHandle d, const DialogRecord* r) {
    if (!r || !r->item[DlgShown]) return false;
    const OsHandle p = (os_get_style(d) & OS_WS_CHILD) ? os_get_parent(d) : 0;
    return library_window(p);
}

std::string text_of(OsHandle w, std::size_t room) {
    std::string buf(room + 1, '\0');
    const auto n = os_send_message(w, OSM_GETTEXT, room + 1, reinterpret_cast<std::intptr_t>(buf.data()));
    buf.resize(static_cast<std::size_t>(std::max<std::intptr_t>(0, n)));
    return buf;
}

void copy_items(OsHandle d, OsHandle s, std::uint32_t count, std::uint32_t get, std::uint32_t len,
                std::uint32_t reset, std::uint32_t add) {
    os_send_message(d, reset, 0, 0);
    const auto n = os_send_message(s, count, 0, 0);
    for (std::intptr_t i = 0; i < n; ++i) {
        const auto l = os_send_message(s, len, static_cast<std::uintptr_t>(i), 0);
        std::string t(static_cast<std::size_t>(std::max<std::intptr_t>(0, l)) + 1, '\0');
        os_send_message(s, get, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(t.data()));
        t.resize(static_cast<std::size_t>(std::max<std::intptr_t>(0, l)));
        os_send_message(d, add, 0, reinterpret_cast<std::intptr_t>(t.c_str()));
    }
}

void copy_control(OsHandle dc, OsHandle ss, OsHandle sc, DialogRecord* drec, const DialogRecord* srec) {
    FieldRecord* df = yyfieldrecord(dc);
    const FieldRecord* sf = yyfieldrecord(sc);
    if (drec && srec && srec->item[DlgResizeField] == sc) drec->item[DlgResizeField] = dc;
    // Style, position and size.
    os_set_style(dc, os_get_style(sc));
    OsRect r;
    os_get_window_rect(sc, r);
    OsPoint tl{r.left, r.top};
    os_screen_to_client(ss, tl);
    os_set_window_pos(dc, 0, tl.x, tl.y, r.width(), r.height(), OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
    if (atom_is(sc, dlgtab.atomUpDown) || (atom_is(sc, dlgtab.atomScrollbar) && os_get_control_id(sc) == 0xFFFF))
        return;
    if (df && sf) {
        df->value = sf->value;
        df->range_min = sf->range_min;
        df->range_max = sf->range_max;
        df->spin_small = sf->spin_small;
        df->spin_large = sf->spin_large;
        df->spin_offset = sf->spin_offset;
        df->defined = sf->defined;
        df->text_colour = sf->text_colour;
        df->background_colour = sf->background_colour;
        df->tab_pressed = sf->tab_pressed;
        df->text_limit = sf->text_limit;
        df->format = sf->format;
        df->right_distance = sf->right_distance;
        df->bottom_distance = sf->bottom_distance;
        df->anchors = sf->anchors;
        df->flags = sf->flags;
    }
    if (yygriddata(sc)) {
        yygridcopy(dc, sc);
    } else if (atom_is(sc, dlgtab.atomButton)) {
        os_send_message(dc, BM_SETCHECK, static_cast<std::uintptr_t>(os_send_message(sc, BM_GETCHECK, 0, 0)), 0);
        const ControlImage img = control_image(sc);
        os_send_message(dc, BM_SETIMAGE, static_cast<std::uintptr_t>(img.kind), img.handle);
    } else if (atom_is(sc, dlgtab.atomStatic)) {
        const ControlImage img = control_image(sc);
        os_send_message(dc, STM_SETIMAGE, static_cast<std::uintptr_t>(img.kind), img.handle);
    } else if (atom_is(sc, dlgtab.atomCombo)) {
        copy_items(dc, sc, CB_GETCOUNT, CB_GETLBTEXT, CB_GETLBTEXTLEN, CB_RESETCONTENT, CB_ADDSTRING);
        const auto sel = os_send_message(sc, CB_GETCURSEL, 0, 0);
        if (sel >= 0) os_send_message(dc, CB_SETCURSEL, static_cast<std::uintptr_t>(sel), 0);
        if (sf) os_send_message(dc, CB_LIMITTEXT, static_cast<std::uintptr_t>(sf->text_limit), 0);
    } else if (atom_is(sc, dlgtab.atomList)) {
        copy_items(dc, sc, LB_GETCOUNT, LB_GETTEXT, LB_GETTEXTLEN, LB_RESETCONTENT, LB_ADDSTRING);
        if (sf && sf->tab_count > 0)
            os_send_message(dc, LB_SETTABSTOPS, static_cast<std::uintptr_t>(sf->tab_count),
                            reinterpret_cast<std::intptr_t>(sf->tabs.data()));
        if (os_get_style(sc) & (OS_LBS_MULTIPLESEL | OS_LBS_EXTENDEDSEL)) {
            const auto n = os_send_message(sc, LB_GETCOUNT, 0, 0);
            for (std::intptr_t i = 0; i < n; ++i)
                os_send_message(dc, LB_SETSEL, os_send_message(sc, LB_GETSEL, static_cast<std::uintptr_t>(i), 0) > 0 ? 1 : 0, i);
        } else {
            os_send_message(dc, LB_SETCURSEL, static_cast<std::uintptr_t>(os_send_message(sc, LB_GETCURSEL, 0, 0)), 0);
        }
    } else if (atom_is(sc, dlgtab.atomTab)) {
        os_send_message(dc, TCM_DELETEALLITEMS, 0, 0);
        const auto n = os_send_message(sc, TCM_GETITEMCOUNT, 0, 0);
        for (std::intptr_t i = 0; i < n; ++i) {
            OsTabItem item;
            os_send_message(sc, TCM_GETITEM, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&item));
            if (item.text.size() > 1024) item.text.resize(1024);
            os_send_message(dc, TCM_INSERTITEM, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&item));
        }
        os_send_message(dc, TCM_SETCURSEL, static_cast<std::uintptr_t>(os_send_message(sc, TCM_GETCURSEL, 0, 0)), 0);
    } else if (atom_is(sc, dlgtab.atomProgress)) {
        os_send_message(dc, PBM_SETRANGE, 0,
                        os_make_lparam(static_cast<std::int32_t>(os_send_message(sc, PBM_GETRANGE, 1, 0)),
                                       static_cast<std::int32_t>(os_send_message(sc, PBM_GETRANGE, 0, 0))));
        os_send_message(dc, PBM_SETPOS, static_cast<std::uintptr_t>(os_send_message(sc, PBM_GETPOS, 0, 0)), 0);
    } else if (atom_is(sc, dlgtab.atomTrackbar)) {
        const auto lo = static_cast<std::int32_t>(os_send_message(sc, TBM_GETRANGEMIN, 0, 0));
        const auto hi = static_cast<std::int32_t>(os_send_message(sc, TBM_GETRANGEMAX, 0, 0));
        os_send_message(dc, TBM_SETRANGE, 0, os_make_lparam(lo, hi));
        if (os_get_style(sc) & OS_TBS_ENABLESELRANGE)
            os_send_message(dc, TBM_SETSEL, 0,
                            os_make_lparam(static_cast<std::int32_t>(os_send_message(sc, TBM_GETSELSTART, 0, 0)),
                                           static_cast<std::int32_t>(os_send_message(sc, TBM_GETSELEND, 0, 0))));
        os_send_message(dc, TBM_SETPAGESIZE, 0, os_send_message(sc, TBM_GETPAGESIZE, 0, 0));
        os_send_message(dc, TBM_SETLINESIZE, 0, os_send_message(sc, TBM_GETLINESIZE, 0, 0));
        // A trackbar with fewer than two ticks keeps one tick per unit.
        const auto ticks = os_send_message(sc, TBM_GETNUMTICS, 0, 0);
        const std::int32_t freq = ticks >= 2 ? static_cast<std::int32_t>((hi - lo) / (ticks - 1)) : 1;
        os_send_message(dc, TBM_SETTICFREQ, static_cast<std::uintptr_t>(std::max(1, freq)), 0);
        os_send_message(dc, TBM_SETPOS, 1, os_send_message(sc, TBM_GETPOS, 0, 0));
    } else if (atom_is(sc, dlgtab.atomEdit) || yynumerickind(sc)) {
        if (sf) os_send_message(dc, EM_LIMITTEXT, static_cast<std::uintptr_t>(sf->text_limit), 0);
        if (sf && sf->tab_count > 0)
            os_send_message(dc, EM_SETTABSTOPS, static_cast<std::uintptr_t>(sf->tab_count),
                            reinterpret_cast<std::intptr_t>(sf->tabs.data()));
        os_send_message(dc, EM_SETREADONLY, (os_get_style(sc) & OS_ES_READONLY) ? 1 : 0, 0);
    } else if (atom_is(sc, dlgtab.atomTree)) {
        yyTreeViewCopy(dc, 0, sc, 0);
    }
    if (!atom_is(sc, dlgtab.atomTab)) {
        const std::string t = text_of(sc, 65535);
        const bool edit = atom_is(sc, dlgtab.atomEdit) || yynumerickind(sc);
        const auto modified = edit ? os_send_message(sc, EM_GETMODIFY, 0, 0) : 0;
        os_send_message(dc, OSM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(t.c_str()));
        if (edit) os_send_message(dc, EM_SETMODIFY, static_cast<std::uintptr_t>(modified), 0);
    }
    // Both notifications reach the copy, ending in the source's state.
    const bool enabled = os_is_window_enabled(sc);
    os_enable_window(dc, !enabled);
    os_enable_window(dc, enabled);
    os_send_message(dc, OSM_SETFONT, static_cast<std::uintptr_t>(os_send_message(sc, OSM_GETFONT, 0, 0)), 0);
    if (df && df->buddy && sf && sf->buddy) {
        os_send_message(df->buddy, UDM_SETRANGE, 0, os_send_message(sf->buddy, UDM_GETRANGE, 0, 0));
        OsUpDownAccel acc[2];
        const auto n = os_send_message(sf->buddy, UDM_GETACCEL, 2, reinterpret_cast<std::intptr_t>(acc));
        os_send_message(df->buddy, UDM_SETACCEL, static_cast<std::uintptr_t>(std::min<std::intptr_t>(n, 2)),
                        reinterpret_cast<std::intptr_t>(acc));
    }
}

}  // namespace

OsHandle yymodalsource() { return modal_source; }

ControlImage control_image(OsHandle c) {
    const bool button = atom_is(c, dlgtab.atomButton);
    if (!button && !atom_is(c, dlgtab.atomStatic)) return {};
    for (const std::int32_t kind : {OS_IMAGE_BITMAP, OS_IMAGE_ICON, OS_IMAGE_ENHMETAFILE})
        if (const std::intptr_t h = os_send_message(c, button ? BM_GETIMAGE : STM_GETIMAGE, static_cast<std::uintptr_t>(kind), 0))
            return {kind, h};
    return {};
}

void yydialogcopy(OsHandle d, OsHandle s) {
    DialogRecord* dr = yydialogrecord(d);
    const DialogRecord* sr = yydialogrecord(s);
    // 1.
    if (dr && sr) dr->item = sr->item;
    // 2.
    os_set_window_text(d, text_of(s, 65535));
    os_set_window_icon(d, true, os_get_window_icon(s, true));
    OsRect r;
    os_get_window_rect(s, r);
    OsPoint tl{r.left, r.top};
    if (os_get_style(d) & OS_WS_CHILD) os_screen_to_client(os_get_parent(d), tl);
    os_set_window_pos(d, 0, tl.x, tl.y, r.width(), r.height(), OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
    // 3.
    if (d == dlgtab.hDialogList[0] && dr) yyDialogCreateSizeGrip(d);
    // 4. Only the controls of the template pair up: an attached page or the
    // size grip made afterwards is no control of the other instance.
    auto controls = [](OsHandle w) {
        std::vector<OsHandle> out;
        for (OsHandle c : os_child_windows(w)) {
            if (os_window_class_atom(c) == dlgtab.atomDialog) continue;
            if (os_window_class_atom(c) == dlgtab.atomScrollbar && os_get_control_id(c) == 0xFFFF) continue;
            out.push_back(c);
        }
        return out;
    };
    const std::vector<OsHandle> dc = controls(d), sc = controls(s);
    const std::size_t n = std::min(dc.size(), sc.size());
    for (std::size_t i = 0; i < n; ++i) copy_control(dc[i], s, sc[i], dr, sr);
}

void yyDisableDialogs(OsHandle spare, bool windows) {
    for (std::int32_t s = 1; s <= dlgtab.nDialogs; ++s) {
        const OsHandle d = dlgtab.hDialogList[ix(s)];
        const DialogRecord* r = yydialogrecord(d);
        if (!takes_part(d, r) || d == spare || (spare && r->item[DlgCombined] == spare)) continue;
        os_enable_window(d, false);
    }
    if (!windows) return;
    for (std::int32_t s = 0; s <= MaxChildWindows; ++s) {
        const OsHandle f = wtab.wWindow[ix(s)];
        if (f && f != spare && os_is_window_visible(f)) os_enable_window(f, false);
    }
}

void yyEnableDialogs(OsHandle enable, bool windows) {
    for (std::int32_t s = 1; s <= dlgtab.nDialogs; ++s) {
        const OsHandle d = dlgtab.hDialogList[ix(s)];
        if (!takes_part(d, yydialogrecord(d))) continue;
        if (dlgtab.nSemi == 0 || d == enable) os_enable_window(d, true);
    }
    if (!windows) return;
    for (std::int32_t s = 0; s <= MaxChildWindows; ++s) {
        const OsHandle f = wtab.wWindow[ix(s)];
        if (f && os_is_window_visible(f) && (dlgtab.nSemi == 0 || f == enable)) os_enable_window(f, true);
    }
}

void yygetwindowbitmap(std::int32_t mode, std::int32_t leave_out, std::int32_t& status) {
    status = 0;
    if (mode == 1) {
        // 1.
        for (std::int32_t s = 1; s <= dlgtab.nDialogs; ++s) {
            const OsHandle d = dlgtab.hDialogList[ix(s)];
            const DialogRecord* r = yydialogrecord(d);
            if (!r || !r->item[DlgShown]) continue;
            for (OsHandle c : os_child_windows(d)) os_update_window(c);
            os_update_window(d);
        }
        // 2.
        wtab.wBlitOn = 1;
        // 3.
        for (std::int32_t s = 0; s <= MaxChildWindows; ++s) {
            const OsHandle f = wtab.wWindow[ix(s)], c = wtab.hClient[ix(s)];
            if (s == leave_out || !f || !c || !os_is_window_visible(f) || (os_get_style(f) & OS_WS_CHILD)) continue;
            const std::int32_t kind = yyspecialkind(f);
            if (kind != 0 && kind != WindowKindSplit) continue;
            if (!wtab.hImage[ix(s)]) wtab.hImage[ix(s)] = os_snapshot_take(c);
            ++wtab.nImage[ix(s)];
        }
        // 4.
        for (std::int32_t s = 1; s <= dlgtab.nDialogs; ++s) {
            const OsHandle d = dlgtab.hDialogList[ix(s)];
            const DialogRecord* r = yydialogrecord(d);
            if (!r || !r->item[DlgShown] || !yyCheckUserDrawn(d)) continue;
            if (!dlgtab.snapshot[ix(s)]) dlgtab.snapshot[ix(s)] = os_snapshot_take(d);
            ++dlgtab.snapshot_count[ix(s)];
        }
        return;
    }
    // Release.
    wtab.wBlitOn = 0;
    for (std::int32_t s = 0; s <= MaxChildWindows; ++s) {
        if (s == leave_out || !wtab.hImage[ix(s)]) continue;
        if (--wtab.nImage[ix(s)] > 0) {
            wtab.wBlitOn = 1;
            continue;
        }
        wtab.nImage[ix(s)] = 0;
        const OsHandle c = wtab.hClient[ix(s)];
        os_snapshot_paint(c, wtab.hImage[ix(s)]);
        os_snapshot_free(wtab.hImage[ix(s)]);
        wtab.hImage[ix(s)] = 0;
        os_validate_rect(c, nullptr);
        for (const OsHandle tb : wtab.hToolbar[ix(s)])
            if (tb) os_update_window(tb);
    }
    for (std::int32_t s = 1; s <= dlgtab.nDialogs; ++s) {
        const OsHandle d = dlgtab.hDialogList[ix(s)];
        if (!dlgtab.snapshot[ix(s)]) {
            if (const DialogRecord* r = yydialogrecord(d); r && r->item[DlgShown]) os_update_window(d);
            continue;
        }
        if (--dlgtab.snapshot_count[ix(s)] > 0) {
            wtab.wBlitOn = 1;
            continue;
        }
        dlgtab.snapshot_count[ix(s)] = 0;
        os_snapshot_paint(d, dlgtab.snapshot[ix(s)]);
        os_snapshot_free(dlgtab.snapshot[ix(s)]);
        dlgtab.snapshot[ix(s)] = 0;
        os_validate_rect(d, nullptr);
    }
}

// A client window asks for its picture while snapshots are shown.
void yypaintsnapshot(OsHandle client) {
    for (std::int32_t s = 0; s <= MaxChildWindows; ++s)
        if (wtab.hClient[ix(s)] == client && wtab.hImage[ix(s)]) os_snapshot_paint(client, wtab.hImage[ix(s)]);
}

ModalFrame::ModalFrame() : owner_(yyactivewindlg()), focus_(os_get_focus()) { yyDisableDialogs(owner_, true); }

ModalFrame::~ModalFrame() {
    yyEnableDialogs(wtab.hLastSemi ? wtab.hLastSemi : owner_, true);
    if (owner_ && os_is_window(owner_) && (os_get_style(owner_) & OS_WS_CHILD)) {
        os_set_focus(owner_);
        yytitlecolour(owner_);
    }
    if (owner_ && focus_ && os_is_window(focus_) && os_is_child(owner_, focus_)) os_set_focus(focus_);
}

void yymodalshow(OsHandle d) {
    DialogRecord* r = yydialogrecord(d);
    if (!r) return;
    // 1.
    const OsHandle win_cur = wtab.hWinCur, dlg_cur = dlgtab.hDlgCur;
    const OsHandle owner = r->item[DlgOwner];
    // 2.
    yyDisableDialogs(owner, true);
    // 3.
    const OsHandle saved_source = modal_source;
    modal_source = d;
    dlgtab.creating = true;
    os_dialog_box(r->item[1] ? r->item[1] : r->item[DlgId], owner, yydialogproc, 0);
    dlgtab.creating = false;
    modal_source = saved_source;
    // 5.
    if (const OsHandle copy = dlgtab.hDialogList[0]) {
        // A copy that ended without a push button still owns its record.
        if (DialogRecord* cr = yydialogrecord(copy)) {
            os_set_window_user(copy, 0);
            delete cr;
        }
    }
    dlgtab.hDialogList[0] = 0;
    yyEnableDialogs(wtab.hLastSemi ? wtab.hLastSemi : owner, true);
    wtab.hWinCur = win_cur;
    dlgtab.hDlgCur = dlg_cur;
    // 6.
    if (owner && os_is_window(owner) && (os_get_style(owner) & OS_WS_CHILD)) {
        os_set_focus(owner);
        yytitlecolour(owner);
        if (yydialogrecord(owner)) dlgtab.hDlgCur = owner;
    }
}
