// Field records and the small field services the dialog manager uses.
#include "lib/dialog/fieldrec.h"

#include "lib/dialog/dialog.h"

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
