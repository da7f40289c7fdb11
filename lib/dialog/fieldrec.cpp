// Field records and the small field services the dialog manager uses.
#include "lib/dialog/fieldrec.h"
#include "lib/grid/grid.h"

#include "lib/dialog/dialog.h"
#include "lib/dialog/fields.h"
#include "lib/graphics/gdi.h"
#include "platform/os_dc.h"
#include "platform/os_dialog.h"
#include "platform/os_gdi.h"

FieldRecord* yyfieldrecord(OsHandle control) {
    if (!control || !os_is_window(control) || os_window_class_atom(control) == os_class_atom("#32770")) return nullptr;
    return reinterpret_cast<FieldRecord*>(os_get_window_user(control));
}

void yyfieldrange2(OsHandle control, double min, double max) {
    if (FieldRecord* f = yyfieldrecord(control)) {
        f->range_min = min;
        f->range_max = max;
    }
}

void yyFieldColour2(OsHandle control, std::int32_t which, std::int32_t red, std::int32_t green, std::int32_t blue) {
    FieldRecord* f = yyfieldrecord(control);
    if (!f || red == -1) return;
    std::int32_t c = -1;
    if (red != 256) {
        auto m = [](std::int32_t v) { return ((v % 256) + 256) % 256; };
        c = m(red) + 256 * m(green) + 65536 * m(blue);
    }
    if (which == 1) f->text_colour = c;
    else if (which == 2) f->background_colour = c;
}

void yyUpdateLast(OsHandle dialog, OsHandle control) {
    for (int guard = 0; dialog && guard < 64; ++guard) {
        DialogRecord* r = yydialogrecord(dialog);
        if (!r) return;
        r->item[DlgLastActive] = control;
        if (!(os_get_style(dialog) & OS_WS_CHILD)) return;
        const OsHandle parent = os_get_parent(dialog);
        if (!parent || os_window_class_atom(parent) == wtab.atomClient) return;
        dialog = parent;
    }
}

// ---- types, states and geometry --------------------------------------------------------

namespace {

bool atom_is(OsHandle w, std::int32_t atom) { return atom != 0 && os_window_class_atom(w) == atom; }

// The control's window rectangle in its parent's client coordinates.
OsRect rect_in_parent(OsHandle c) {
    OsRect r;
    os_get_window_rect(c, r);
    const OsHandle p = os_get_parent(c);
    OsPoint tl{r.left, r.top}, br{r.right, r.bottom};
    if (p) {
        os_screen_to_client(p, tl);
        os_screen_to_client(p, br);
    }
    return {tl.x, tl.y, br.x, br.y};
}

}  // namespace

OsHandle yyfieldwindow(std::int32_t field) {
    const OsHandle d = yycurrentdialog();
    return d ? os_get_dlg_item(d, field) : 0;
}

bool yyeditlike(OsHandle c) {
    return atom_is(c, dlgtab.atomEdit) || yynumerickind(c) != 0 || atom_is(c, grid_state.atomGrid);
}

std::int32_t yyfieldtypeof(OsHandle c) {
    const std::uint32_t style = os_get_style(c);
    if (atom_is(c, dlgtab.atomStatic)) {
        const std::uint32_t low = style & 0xFF;
        return (low == OS_SS_LEFT || low == OS_SS_CENTER || low == OS_SS_SIMPLE) ? FieldLabel : FieldOtherStatic;
    }
    if (atom_is(c, dlgtab.atomButton)) {
        if ((style & 7) == 7) return FieldGroupBox;
        if ((style & 3) == 3) return FieldCheckBox;
        if ((style & 9) == 9) return FieldRadioButton;
        return FieldPushButton;
    }
    if (atom_is(c, dlgtab.atomEdit)) return FieldString;
    switch (yynumerickind(c)) {
    case 1: return FieldInteger;
    case 2: return FieldReal;
    case 3: return FieldDouble;
    default: break;
    }
    if (atom_is(c, dlgtab.atomCombo)) return FieldComboBox;
    if (atom_is(c, dlgtab.atomList)) return FieldListBox;
    if (atom_is(c, dlgtab.atomTab)) return FieldTab;
    if (atom_is(c, dlgtab.atomProgress)) return FieldProgressBar;
    if (atom_is(c, grid_state.atomGrid)) return FieldGrid;
    if (atom_is(c, dlgtab.atomTrackbar)) return FieldTrackbar;
    if (atom_is(c, dlgtab.atomTree)) return FieldTreeView;
    return FieldOther;
}

std::int32_t yyfieldstateof(OsHandle c) {
    const std::uint32_t style = os_get_style(c);
    if (!(style & OS_WS_VISIBLE)) return FieldHidden;
    if (style & OS_WS_DISABLED) return FieldDisabled;
    if (yyeditlike(c) && (style & OS_ES_READONLY)) return FieldReadOnly;
    return FieldEnabled;
}

std::int32_t yyFieldInRect(OsHandle c, const OsRect& area) {
    OsRect f = rect_in_parent(c);
    if (const FieldRecord* rec = yyfieldrecord(c); rec && rec->buddy) f.right = rect_in_parent(rec->buddy).right;
    if (f.left >= area.left && f.top >= area.top && f.right <= area.right && f.bottom <= area.bottom) return 1;
    if (f.right <= area.left || f.left >= area.right || f.bottom <= area.top || f.top >= area.bottom) return 0;
    return 2;
}

void yyfieldapply(OsHandle c, std::int32_t state, std::int32_t update) {
    FieldRecord* f = yyfieldrecord(c);
    // 1.
    if (f) f->state = state;
    // 2.
    const OsHandle d = os_get_parent(c);
    OsRect client;
    os_get_client_rect(d, client);
    if (yyFieldInRect(c, client) != 1 && !yyIsResizableDialog(d)) return;
    const OsHandle buddy = f ? f->buddy : 0;
    // 3. to 5.
    if (atom_is(c, grid_state.atomGrid)) {
        os_enable_window(c, state == 1 || state == 2);
        const std::uint32_t style = os_get_style(c) & ~static_cast<std::uint32_t>(OS_ES_READONLY);
        os_set_style(c, state == 2 ? (style | OS_ES_READONLY) : style);
        os_invalidate_rect(c, nullptr, false);
    } else if (yyeditlike(c)) {
        os_enable_window(c, state == 1 || state == 2);
        os_send_message(c, EM_SETREADONLY, state == 2 ? 1 : 0, 0);
        if (buddy) os_enable_window(buddy, state == 1);
    } else {
        os_enable_window(c, state == 1);
    }
    // 6.
    const std::int32_t show = state == 3 ? OS_SW_HIDE : OS_SW_SHOWNOACTIVATE;
    os_show_window(c, show);
    if (buddy) os_show_window(buddy, show);
    if (atom_is(c, dlgtab.atomTab)) {
        const auto cur = os_send_message(c, TCM_GETCURSEL, 0, 0);
        OsTabItem item;
        if (cur >= 0 && os_send_message(c, TCM_GETITEM, static_cast<std::uintptr_t>(cur), reinterpret_cast<std::intptr_t>(&item))) {
            const std::int32_t s = yydialogfind(item.data[0]);
            if (s > 0) os_show_window(dlgtab.hDialogList[static_cast<std::size_t>(s)], show);
        }
    }
    // 7.
    if (atom_is(c, dlgtab.atomStatic)) os_invalidate_rect(c, nullptr, false);
    // 8.
    if (!(update && f && f->graphics_field)) os_update_window(c);
}

void yygetfieldtype(std::int32_t& field, std::int32_t& type) {
    const OsHandle c = yyfieldwindow(field);
    if (!c) {
        field = -1;
        return;
    }
    type = yyfieldtypeof(c);
}

void yygetfieldstate(std::int32_t& field, std::int32_t& state) {
    const OsHandle c = yyfieldwindow(field);
    if (!c) {
        field = -1;
        return;
    }
    state = yyfieldstateof(c);
}

void yyfieldenable(std::int32_t& field, std::int32_t state, std::int32_t update) {
    const OsHandle c = yyfieldwindow(field);
    if (!c) {
        field = -1;
        return;
    }
    yyfieldapply(c, state, update);
}

void yygetfieldinfo(std::int32_t& field, std::int32_t& x, std::int32_t& y, std::int32_t& width,
                    std::int32_t& height, std::int32_t mode) {
    const OsHandle d = yycurrentdialog();
    const OsHandle c = yyfieldwindow(field);
    if (!c) {
        field = -1;
        return;
    }
    if (mode == 1) {
        OsRect r;
        os_get_client_rect(c, r);
        OsPoint p{0, 0};
        os_client_to_screen(c, p);
        os_screen_to_client(d, p);
        x = p.x;
        y = p.y;
        width = r.width();
        height = r.height();
        return;
    }
    OsRect r;
    os_get_window_rect(c, r);
    OsPoint p{r.left, r.top};
    os_screen_to_client(d, p);
    x = p.x;
    y = p.y;
    width = r.width();
    height = r.height();
}

void yygetdlgfactor(std::int32_t& width, std::int32_t& height) {
    OsRect r{0, 0, 4, 8};
    if (const OsHandle d = yycurrentdialog()) os_map_dialog_rect(d, r);
    width = r.right;
    height = r.bottom;
}

void yyfieldcolour(std::int32_t& field, std::int32_t tr, std::int32_t tg, std::int32_t tb, std::int32_t br,
                   std::int32_t bg, std::int32_t bb) {
    const OsHandle c = yyfieldwindow(field);
    if (!c) {
        field = -1;
        return;
    }
    yyFieldColour2(c, 1, tr, tg, tb);
    yyFieldColour2(c, 2, br, bg, bb);
    os_invalidate_rect(c, nullptr, true);
    for (OsHandle child : os_child_windows(c)) os_invalidate_rect(child, nullptr, true);
    os_update_window(c);
}

// ---- what the window layer asks of fields -----------------------------------------------

void yydialogfieldsize(std::int32_t field, std::int32_t& width, std::int32_t& height) {
    width = height = 0;
    const OsHandle d = yycurrentdialog();
    if (!d) return;
    if (field == 0) {
        OsRect r;
        os_get_client_rect(d, r);
        width = r.width();
        height = r.height();
        return;
    }
    std::int32_t s = field, x = 0, y = 0;
    yygetfieldinfo(s, x, y, width, height, 1);
    if (s == -1) width = height = 0;
}

bool yyfieldcursor(std::int32_t field, std::int32_t& number) {
    const FieldRecord* f = yyfieldrecord(yyfieldwindow(field));
    if (!f || !f->cursor) return false;
    number = f->cursor_number;
    return true;
}

void yysetfieldcursor(std::int32_t field, OsHandle cursor, std::int32_t number, bool show) {
    const OsHandle c = yyfieldwindow(field);
    FieldRecord* f = yyfieldrecord(c);
    if (!f) return;
    f->cursor = cursor;
    f->cursor_number = number;
    if (!show) return;
    OsPoint p;
    os_get_cursor_pos(p);
    if (os_window_from_point(p) == c) os_set_cursor(cursor);
}

void yyclearfieldcursors() {
    for (std::int32_t s = 0; s <= dlgtab.nDialogs; ++s) {
        const OsHandle d = dlgtab.hDialogList[static_cast<std::size_t>(s)];
        if (!d) continue;
        for (OsHandle c : os_child_windows(d))
            if (FieldRecord* f = yyfieldrecord(c)) f->cursor = f->cursor_number = 0;
    }
}

void yysetfieldcursorpos(std::int32_t x, std::int32_t y) {
    OsHandle w = wtab.hGraphicsField;
    if (!w || !os_is_window(w)) w = yycurrentdialog();
    OsPoint p{x, y};
    if (w && os_client_to_screen(w, p)) os_set_cursor_pos(p.x, p.y);
}

void yyfieldselect(std::int32_t& field, std::int32_t& width, std::int32_t& height) {
    // 1.
    const OsHandle d = yycurrentdialog();
    const OsHandle w = field == 0 ? d : yyfieldwindow(field);
    if (!w) {
        field = -1;
        return;
    }
    // 2. The window keeps what is drawn into it as its image.
    os_set_retained(w);
    const OsDC dc = os_get_dc(w);
    if (!dc) {
        field = -1;
        wtab.gDC = wtab.wDC;
        wtab.hGraphicsField = 0;
        return;
    }
    // 3.
    OsRect r;
    os_get_client_rect(w, r);
    width = r.width();
    height = r.height();
    wtab.hGraphicsField = w;
    // 4.
    wtab.gDC = dc;
    if (wtab.gBitmap) os_delete_object(wtab.gBitmap);
    wtab.gBitmap = os_create_compatible_bitmap(dc, 8, 8);
    os_set_text_align(dc, OS_TA_BASELINE);
    yywinselectcurrent();
    // 5.
    if (field == 0) {
        if (DialogRecord* rec = yydialogrecord(w)) rec->item[DlgGraphicsArea] = 1;
    } else if (FieldRecord* f = yyfieldrecord(w)) {
        f->graphics_field = 1;
    }
}
