// Services on a whole loaded dialog: caption and icon, the focus field, the
// text selection as the library puts the focus on a field, resizing by
// program, tab stops, the undefined trackbar value and graphics resizes of
// invisible dialogs.
#include "lib/dialog/dialog.h"

#include "lib/dialog/fields.h"
#include "lib/graphics/gstate.h"
#include "lib/window/errors.h"
#include "lib/window/text.h"
#include "lib/window/wintext.h"
#include "lib/window/wininfo.h"
#include "platform/os_dialog.h"
#include "platform/os_menu.h"

namespace {

bool atom_is(OsHandle w, std::int32_t atom) { return atom != 0 && os_window_class_atom(w) == atom; }

bool edit_like(OsHandle c) { return atom_is(c, dlgtab.atomEdit) || yynumerickind(c) != 0; }


}  // namespace

void yyDialogSelectAll(OsHandle c) {
    if (!c) return;
    if (atom_is(c, dlgtab.atomEdit) && (os_get_style(c) & OS_ES_MULTILINE)) {
        os_send_message(c, EM_SETSEL, static_cast<std::uintptr_t>(-1), 0);
        os_send_message(c, EM_SCROLLCARET, 0, 0);
    } else if (edit_like(c)) {
        os_send_message(c, EM_SETSEL, 0, -1);
        os_send_message(c, EM_SCROLLCARET, 0, 0);
    } else if (atom_is(c, dlgtab.atomCombo)) {
        os_send_message(c, CB_SETEDITSEL, 0, os_make_lparam(-1, 0));
    } else if (atom_is(os_get_parent(c), dlgtab.atomCombo)) {
        os_send_message(c, EM_SETSEL, static_cast<std::uintptr_t>(-1), 0);
    }
}

void yydialogtitle(std::int32_t& icon, std::int32_t title_flag, std::string_view title) {
    const OsHandle d = yycurrentdialog();
    const DialogRecord* r = yydialogrecord(d);
    if (!r) return;
    const std::uint32_t style = os_get_style(d);
    const bool framed = (style & (OS_WS_BORDER | OS_WS_DLGFRAME)) != 0;
    if (title_flag == 1) {
        if (framed) {
            os_set_window_text(d, title);
        } else if (style & OS_WS_CHILD) {
            for (std::int32_t s = 1; s <= dlgtab.nDialogs; ++s) {
                const OsHandle o = dlgtab.hDialogList[static_cast<std::size_t>(s)];
                if (!o || o == d) continue;
                for (OsHandle c : os_child_windows(o)) {
                    if (!atom_is(c, dlgtab.atomTab)) continue;
                    const auto n = os_send_message(c, TCM_GETITEMCOUNT, 0, 0);
                    for (std::intptr_t i = 0; i < n; ++i) {
                        OsTabItem item;
                        os_send_message(c, TCM_GETITEM, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&item));
                        if (item.data[0] != r->item[DlgId]) continue;
                        item.text = std::string(title);
                        os_send_message(c, TCM_SETITEM, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&item));
                        os_update_window(c);
                    }
                }
            }
        }
    }
    if (!framed || icon == -1) return;
    const OsIcon loaded = icon == 0 ? os_load_icon("icon1") : os_load_icon(icon);
    if (!loaded) {
        icon = -2;
        return;
    }
    const OsIcon old_big = os_set_window_icon(d, true, loaded);
    if (old_big && old_big != loaded) os_destroy_icon(old_big);
    // The new icon stands for both sizes.
    const OsIcon old_small = os_set_window_icon(d, false, 0);
    if (old_small && old_small != loaded && old_small != old_big) os_destroy_icon(old_small);
}

void WDialogTitle(std::optional<std::string_view> title, OptInt icon) {
    if (!yycurrentdialog()) return yyerror(1005, "WDialogTitle");
    std::int32_t i = icon.value_or(-1);
    yydialogtitle(i, title ? 1 : 0, title ? txt_trim(*title) : std::string_view());
    if (i == -2) yyerror(1015, "WDialogTitle");
}

void yydialogfocus(std::int32_t& field, std::int32_t caret) {
    const OsHandle d = yycurrentdialog();
    DialogRecord* r = yydialogrecord(d);
    const OsHandle c = os_get_dlg_item(d, field);
    if (!r || !c) {
        field = -1;
        return;
    }
    // 3.
    if (!os_is_window_visible(d)) return;
    // 4.
    os_set_focus(c);
    if (caret >= 0 && (edit_like(c) || atom_is(c, dlgtab.atomCombo))) {
        if (atom_is(c, dlgtab.atomCombo)) {
            os_send_message(c, CB_SETEDITSEL, 0, os_make_lparam(caret, caret));
        } else {
            os_send_message(c, EM_SETSEL, static_cast<std::uintptr_t>(caret), caret);
            os_send_message(c, EM_SCROLLCARET, 0, 0);
        }
    } else {
        yyDialogSelectAll(c);
    }
    // 5.
    r->item[DlgCurrentField] = field;
    yyUpdateLast(d, c);
    // 6.
    if ((os_get_style(d) & OS_WS_CHILD) && os_window_class_atom(os_get_parent(d)) == wtab.atomClient) {
        os_bring_window_to_top(d);
        os_show_window(d, OS_SW_SHOW);
        os_set_active_window(d);
        dlgtab.hDlgCur = d;
        yytitlecolour(d);
    }
}

void WDialogSetField(std::int32_t field, OptInt caret) {
    const std::int32_t p = caret ? *caret - 1 : -1;
    if (!yycurrentdialog()) return yyerror(1005, "WDialogSetField");
    std::int32_t f = field;
    yydialogfocus(f, p);
    if (f == -1) yyerror(1006, "WDialogSetField");
}

void yydialogsize(std::int32_t width, std::int32_t height, std::int32_t& status) {
    status = 0;
    const OsHandle d = yycurrentdialog();
    DialogRecord* r = yydialogrecord(d);
    if (!r) return;
    // 1.
    if (r->item[DlgCombined]) {
        status = -1;
        return;
    }
    // 2.
    OsRect old_client;
    os_get_client_rect(d, old_client);
    OsRect nc{0, 0, width, height};
    os_map_dialog_rect(d, nc);
    if (width <= 0) nc.right = old_client.right;
    if (height <= 0) nc.bottom = old_client.bottom;
    const bool fixed = !yyIsResizableDialog(d);
    auto fields = [&]() {
        std::vector<OsHandle> out;
        bool after_spin = false;
        for (OsHandle c : os_child_windows(d)) {
            const bool skip = atom_is(c, dlgtab.atomDialog) ||
                              (atom_is(c, dlgtab.atomScrollbar) && os_get_control_id(c) == 0xFFFF) ||
                              (after_spin && atom_is(c, dlgtab.atomUpDown));
            const FieldRecord* f = yyfieldrecord(c);
            after_spin = f && f->buddy;
            if (!skip) out.push_back(c);
        }
        return out;
    };
    // 3.
    if (fixed) {
        const OsHandle focus = os_get_focus();
        bool focus_hidden = false;
        for (OsHandle c : fields()) {
            if (yyFieldInRect(c, old_client) != 1 || yyFieldInRect(c, nc) == 1) continue;
            FieldRecord* f = yyfieldrecord(c);
            const std::int32_t kept = f ? f->state : 0;
            yyfieldapply(c, 3, 0);
            if (f) f->state = kept;
            if (c == focus) focus_hidden = true;
        }
        if (focus_hidden)
            if (const OsHandle next = os_next_tab_item(d, focus, false)) os_set_focus(next);
    }
    // 4.
    OsRect outer = nc;
    os_adjust_window_rect(outer, os_get_style(d), false, os_get_ex_style(d));
    r->item[DlgMinWidth] = std::min(r->item[DlgMinWidth], outer.width());
    r->item[DlgMinHeight] = std::min(r->item[DlgMinHeight], outer.height());
    // 5.
    os_set_window_pos(d, 0, 0, 0, outer.width(), outer.height(), OS_SWP_NOMOVE | OS_SWP_NOACTIVATE | OS_SWP_NOZORDER);
    // 6.
    if (fixed) {
        for (OsHandle c : fields()) {
            if (yyFieldInRect(c, nc) != 1 || yyFieldInRect(c, old_client) == 1) continue;
            const FieldRecord* f = yyfieldrecord(c);
            yyfieldapply(c, f ? f->state : 1, 1);
        }
    }
}

void yydialogtabstops(std::int32_t& field, std::span<const std::int32_t> stops, std::int32_t count) {
    const OsHandle d = yycurrentdialog();
    const OsHandle c = os_get_dlg_item(d, field);
    FieldRecord* f = yyfieldrecord(c);
    // A count outside the array would read past it.
    if (!c || count < 0 || static_cast<std::size_t>(count) > stops.size()) {
        field = -1;
        return;
    }
    const bool multi_edit = atom_is(c, dlgtab.atomEdit) && (os_get_style(c) & OS_ES_MULTILINE);
    if (!multi_edit && !atom_is(c, dlgtab.atomList)) {
        field = -1;
        return;
    }
    os_send_message(c, multi_edit ? EM_SETTABSTOPS : LB_SETTABSTOPS, static_cast<std::uintptr_t>(count),
                    reinterpret_cast<std::intptr_t>(stops.data()));
    os_update_window(c);
    if (f) {
        f->tabs.assign(stops.begin(), stops.begin() + count);
        f->tab_count = count;
    }
}

void yydialogundefined(std::int32_t value) { dlgtab.iUndef = value; }

void yyresizefield(std::int32_t dialog_id, std::int32_t source, std::int32_t width, std::int32_t height) {
    const GraphicsState& g = gstate;
    if (g.DrawableType != 3 || g.drawable_id != source || g.dialog_id != dialog_id) return;
    yyfntsiz();
    yyresn(3, source, width, height);
}
