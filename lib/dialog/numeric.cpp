// The six numeric field classes over the edit class: character filtering,
// the value in the field record, reformatting when the focus leaves, the
// range check that keeps the focus in a field with an invalid value, the
// default button, and the spin fields with their up-down.
#include "lib/dialog/fields.h"
#include "lib/window/convert.h"
#include "lib/window/text.h"
#include "platform/os_dialog.h"

namespace {

constexpr const char* DefaultFormat = "(G15.5E2)";
constexpr const char* ClassNames[6] = {"INTEGEREDIT", "INTEGERSPIN", "REALEDIT", "REALSPIN", "DOUBLEEDIT", "DOUBLESPIN"};

// The edit and up-down procedures the classes forward to, recorded once.
OsWndProc lpNormalEditProc = nullptr;
OsWndProc lpNormalUpDownProc = nullptr;

bool atom_is(OsHandle w, std::int32_t atom) { return atom != 0 && os_window_class_atom(w) == atom; }

std::intptr_t edit(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    return lpNormalEditProc ? lpNormalEditProc(w, m, wp, lp) : os_def_window_proc(w, m, wp, lp);
}

std::string text_of(OsHandle w, std::size_t room) {
    std::string buf(room + 1, '\0');
    const auto n = os_send_message(w, OSM_GETTEXT, room + 1, reinterpret_cast<std::intptr_t>(buf.data()));
    buf.resize(static_cast<std::size_t>(std::clamp<std::intptr_t>(n, 0, static_cast<std::intptr_t>(room))));
    return buf;
}

void set_text(OsHandle w, const std::string& t) {
    os_send_message(w, OSM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(t.c_str()));
}

void beep() {
    if (quinda.bell) os_message_beep(0);
}

bool is_push_button(OsHandle w) {
    return atom_is(w, dlgtab.atomButton) && (os_get_style(w) & OS_BS_TYPEMASK) <= OS_BS_DEFPUSHBUTTON;
}

// The dialog a control lies in.
OsHandle dialog_of(OsHandle w) {
    for (int guard = 0; w && guard < 64; ++guard) {
        if (atom_is(w, dlgtab.atomDialog)) return w;
        w = os_get_parent(w);
    }
    return 0;
}

std::int32_t default_id(OsHandle d) {
    const std::intptr_t def = os_send_message(d, DM_GETDEFID, 0, 0);
    return os_hiword(static_cast<std::uintptr_t>(def)) == DC_HASDEFID ? os_loword(static_cast<std::uintptr_t>(def)) : 0;
}

// ---- the common procedure --------------------------------------------------------------

// kind 1 integer, 2 real, 3 double.
bool accepted(std::int32_t kind, std::uintptr_t& c) {
    const char decimal = conversion_state.bDecimal ? conversion_state.wDecimal : '.';
    if ((c >= '0' && c <= '9') || c == '+' || c == '-') return true;
    if (kind == 1) return false;
    if (c == 'e') c = 'E';
    if (kind == 3 && c == 'd') c = 'D';
    if (c == 'E' || (kind == 3 && c == 'D')) return true;
    return c == static_cast<unsigned char>(decimal);
}

std::intptr_t yynumericproc(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp, std::int32_t kind,
                            bool& refused) {
    refused = false;
    switch (m) {
    case OSM_CREATE: {
        // 1.
        auto* f = new FieldRecord;
        f->spin_small = 1.0;
        f->spin_large = 5.0;
        os_set_window_user(w, reinterpret_cast<std::intptr_t>(f));
        const std::intptr_t r = edit(w, m, wp, lp);
        std::string t = text_of(w, 254);
        if (conversion_state.bDecimal)
            for (char& ch : t)
                if (ch == '.') ch = conversion_state.wDecimal;
        set_text(w, t);
        yyst2dbl(f->value, t);
        f->defined = t.empty() ? 0 : 1;
        edit(w, EM_SETMODIFY, 0, 0);
        if (kind == 1) {
            f->text_limit = 11;
            edit(w, EM_LIMITTEXT, 11, 0);
        }
        return r;
    }
    case OSM_SETFOCUS: {
        // 2.
        FieldRecord* f = yyfieldrecord(w);
        if (dlgtab.StoreVal == 1) {
            dlgtab.StoreVal = 0;
            dlgtab.saved_text = text_of(w, 254);
            dlgtab.saved_value = f ? f->value : 0.0;
        }
        if (f) f->tab_pressed = 0;
        edit(w, EM_SETMODIFY, 0, 0);
        return edit(w, m, wp, lp);
    }
    case OSM_KEYDOWN:
        // 3.
        if (wp == OS_VK_TAB) {
            if (FieldRecord* f = yyfieldrecord(w)) f->tab_pressed = 1;
        } else if (wp == OS_VK_RETURN && !(os_get_key_state(OS_VK_CONTROL) & 0x8000) &&
                   !(os_get_key_state(OS_VK_MENU) & 0x8000)) {
            yyDefaultButton(w);
            return 0;
        }
        return edit(w, m, wp, lp);
    case OSM_KILLFOCUS:
        // 4.
        if (yyoutofrange(w, static_cast<OsHandle>(wp), 0)) {
            refused = true;
            return 0;
        }
        return edit(w, m, wp, lp);
    default:
        return edit(w, m, wp, lp);
    }
}

// The up-down of a spin field, made beside it.
void make_updown(OsHandle w, std::int32_t kind) {
    FieldRecord* f = yyfieldrecord(w);
    const OsHandle parent = os_get_parent(w);
    if (!f || !parent) return;
    const std::uint32_t fs = os_get_style(w);
    std::uint32_t style = OS_WS_CHILD | OS_WS_BORDER | OS_UDS_ALIGNRIGHT | OS_UDS_ARROWKEYS;
    if (kind != 1) style |= OS_UDS_NOTHOUSANDS;
    if (fs & OS_WS_VISIBLE) style |= OS_WS_VISIBLE;
    if (fs & OS_ES_READONLY) style |= OS_WS_DISABLED;
    const OsHandle ud = os_create_window(0, "msctls_updown32", "", style, 0, 0, 1, 1, parent, 0, 0xFFFF);
    if (!ud) return;
    os_send_message(ud, UDM_SETBUDDY, static_cast<std::uintptr_t>(w), 0);
    os_send_message(ud, UDM_SETRANGE, 0, os_make_lparam(100, -100));
    OsUpDownAccel acc[2] = {{0, 1}, {2, 5}};
    os_send_message(ud, UDM_SETACCEL, 2, reinterpret_cast<std::intptr_t>(acc));
    const std::string t = text_of(w, 254);
    if (kind == 1) {
        std::size_t i = 0;
        const bool minus = !t.empty() && t[0] == '-';
        if (minus) ++i;
        std::int32_t n = 0;
        for (; i < t.size() && t[i] >= '0' && t[i] <= '9' && n < 100000; ++i) n = n * 10 + (t[i] - '0');
        os_send_message(ud, UDM_SETPOS, 0, os_make_lparam(minus ? -n : n, 0));
    }
    set_text(w, t);
    edit(w, EM_SETMODIFY, 0, 0);
    f->buddy = ud;
    if (!lpNormalUpDownProc) lpNormalUpDownProc = os_get_window_proc(ud);
    os_set_window_proc(ud, yysubupdown);
}

std::intptr_t class_proc(std::int32_t index, OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    const std::int32_t kind = index / 2 + 1;
    const bool spin = index % 2 == 1;
    if (m == OSM_CHAR) {
        std::uintptr_t c = wp;
        if (c == 1) {
            // Ctrl+A selects the whole text.
            edit(w, EM_SETSEL, 0, -1);
            edit(w, EM_SCROLLCARET, 0, 0);
            return 0;
        }
        const bool control = c == 3 || c == 8 || c == 9 || c == 13 || c == 22 || c == 24 || c == 26 || c == 27;
        if (!control && !accepted(kind, c)) {
            beep();
            return 0;
        }
        return edit(w, m, c, lp);
    }
    if (m == OSM_GETDLGCODE) {
        // Tab is the dialog's, but the field notes it leaves by Tab; Return is the field's own.
        const auto* msg = reinterpret_cast<const OsMsg*>(lp);
        std::intptr_t code = edit(w, m, wp, lp);
        if (msg && msg->message == OSM_KEYDOWN && msg->wParam == OS_VK_TAB)
            if (FieldRecord* f = yyfieldrecord(w)) f->tab_pressed = 1;
        if (msg && msg->message == OSM_KEYDOWN && msg->wParam == OS_VK_RETURN) code |= DLGC_WANTALLKEYS;
        return code;
    }
    if (m == OSM_SHOWWINDOW && spin) {
        // The up-down shows and hides with its field (a field made visible
        // is shown only after it was created).
        if (const FieldRecord* f = yyfieldrecord(w); f && f->buddy) os_show_window(f->buddy, wp ? OS_SW_SHOWNOACTIVATE : OS_SW_HIDE);
        return edit(w, m, wp, lp);
    }
    if (m != OSM_CREATE && m != OSM_SETFOCUS && m != OSM_KEYDOWN && m != OSM_KILLFOCUS) return edit(w, m, wp, lp);
    bool refused = false;
    const std::intptr_t r = yynumericproc(w, m, wp, lp, kind, refused);
    if (m == OSM_CREATE && spin) make_updown(w, kind);
    if (m != OSM_KILLFOCUS || refused) return r;
    // Focus loss of an accepted value: the text in the field's format.
    FieldRecord* f = yyfieldrecord(w);
    if (!f) return r;
    if (kind == 1 || edit(w, EM_GETMODIFY, 0, 0)) {
        std::string t = text_of(w, 254);
        if (txt_blank(t)) {
            f->value = 0.0;
        } else {
            yyst2dbl(f->value, t);
            f->defined = 1;
            t.resize(std::max<std::size_t>(t.size(), 100), ' ');
            const std::string fmt = f->format && !txt_blank(*f->format) ? *f->format : DefaultFormat;
            if (kind == 1) yyformi(t);
            else if (kind == 2) yyformr(t, fmt);
            else yyformd(t, fmt);
            set_text(w, std::string(txt_trim(txt_until_nul(t))));
        }
        edit(w, EM_SETMODIFY, 0, 0);
    }
    return r;
}

std::intptr_t yyintegersupercls(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) { return class_proc(0, w, m, wp, lp); }
std::intptr_t yyintegerspinsupercls(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) { return class_proc(1, w, m, wp, lp); }
std::intptr_t yyrealsupercls(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) { return class_proc(2, w, m, wp, lp); }
std::intptr_t yyrealspinsupercls(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) { return class_proc(3, w, m, wp, lp); }
std::intptr_t yydoublesupercls(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) { return class_proc(4, w, m, wp, lp); }
std::intptr_t yydoublespinsupercls(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) { return class_proc(5, w, m, wp, lp); }

}  // namespace

std::intptr_t yysubupdown(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    // The buddy's check runs before the spin.
    if (m == OSM_LBUTTONDOWN) {
        const auto buddy = static_cast<OsHandle>(os_send_message(w, UDM_GETBUDDY, 0, 0));
        if (buddy && os_get_focus() != buddy) os_set_focus(buddy);
        if (os_get_focus() != buddy) return 0;
    }
    return lpNormalUpDownProc ? lpNormalUpDownProc(w, m, wp, lp) : os_def_window_proc(w, m, wp, lp);
}

void yyregistersuperclass() {
    OsWndClass base;
    if (!os_get_class_info("EDIT", base)) return;
    dlgtab.atomEdit = os_class_atom("EDIT");
    if (os_class_atom(ClassNames[0]) == 0) {
        lpNormalEditProc = base.proc;
        constexpr OsWndProc procs[6] = {yyintegersupercls, yyintegerspinsupercls, yyrealsupercls,
                                        yyrealspinsupercls, yydoublesupercls,     yydoublespinsupercls};
        for (std::size_t i = 0; i < 6; ++i) {
            OsWndClass c = base;
            c.name = ClassNames[i];
            c.proc = procs[i];
            os_register_class(c);
        }
    }
    for (std::size_t i = 0; i < 6; ++i) dlgtab.atomNumeric[i] = os_class_atom(ClassNames[i]);
}

std::int32_t yynumerickind(OsHandle c) {
    if (!c) return 0;
    const std::int32_t atom = os_window_class_atom(c);
    for (std::size_t i = 0; i < 6; ++i)
        if (atom != 0 && dlgtab.atomNumeric[i] == atom) return static_cast<std::int32_t>(i / 2 + 1);
    return 0;
}

bool yyisspinfield(OsHandle c) {
    const std::int32_t atom = c ? os_window_class_atom(c) : 0;
    return atom != 0 && (atom == dlgtab.atomNumeric[1] || atom == dlgtab.atomNumeric[3] || atom == dlgtab.atomNumeric[5]);
}

std::int32_t yyoutofrange(OsHandle field, OsHandle target, std::int32_t flag) {
    // 1.
    if (dlgtab.validating || dlgtab.bOverride == 1 || !yynumerickind(field)) return 0;
    if (target && (target == wtab.wWindow[0] || target == wtab.hClient[0])) return 0;
    FieldRecord* f = yyfieldrecord(field);
    if (!f) return 0;
    // 2.
    dlgtab.hBadTab = 0;
    if (target != field) {
        dlgtab.hBadVal = 0;
        if (f->tab_pressed == 0 && is_push_button(target) && os_get_control_id(target) != 1) dlgtab.hBadVal = field;
        else if (atom_is(target, dlgtab.atomTab)) dlgtab.hBadTab = field;
    }
    // 3.
    const std::string t = text_of(field, 255);
    const bool ranged = f->range_min <= f->range_max;
    bool invalid = false;
    double v = 0.0;
    int valid = 0;
    yyst2dblcheck(v, valid, t);
    if (valid) invalid = ranged && (v < f->range_min || v > f->range_max);
    else if (!t.empty()) invalid = target != field || flag != 0;
    else invalid = f->defined == 1 && ranged;
    // 4.
    if (invalid) {
        if (dlgtab.hBadVal) return 0;
        dlgtab.validating = true;
        yyselectinvalid(target, field, f->tab_pressed);
        dlgtab.validating = false;
        return 1;
    }
    // 5.
    if (target != field) {
        dlgtab.hBadVal = 0;
        dlgtab.hBadTab = 0;
        dlgtab.StoreVal = 1;
    }
    return 0;
}

void yyselectinvalid(OsHandle target, OsHandle field, std::int32_t tab) {
    // 1.
    if (target != field) beep();
    os_set_focus(field);
    // The field has the focus again: it is not left by Tab.
    if (FieldRecord* f = yyfieldrecord(field)) f->tab_pressed = 0;
    os_send_message(field, EM_SETSEL, 0, -1);
    // 2. The button the focus was going to does not stay the default one.
    if (!is_push_button(target)) return;
    const OsHandle d = dialog_of(field);
    const std::int32_t def = d ? default_id(d) : 0;
    if (os_get_control_id(target) == def) return;
    os_send_message(target, BM_SETSTYLE, tab ? OS_BS_DEFPUSHBUTTON : OS_BS_PUSHBUTTON, 1);
    if (def) {
        if (const OsHandle b = os_get_dlg_item(d, def))
            os_send_message(b, BM_SETSTYLE, tab ? OS_BS_PUSHBUTTON : OS_BS_DEFPUSHBUTTON, 1);
    }
}

void yyrestorevalid(OsHandle field) {
    set_text(field, dlgtab.saved_text);
    if (FieldRecord* f = yyfieldrecord(field)) f->value = dlgtab.saved_value;
    os_send_message(field, EM_SETMODIFY, 0, 0);
}

void yyDefaultButton(OsHandle window) {
    // 1.
    OsHandle d = dialog_of(window);
    if (!d) return;
    const std::int32_t reported = default_id(d);
    // 2. A page passes the press to the dialog that holds it.
    while ((os_get_style(d) & OS_WS_CHILD) && atom_is(os_get_parent(d), dlgtab.atomDialog)) d = os_get_parent(d);
    // 3.
    const std::int32_t id = reported ? reported : 1;
    // 4.
    const OsHandle b = os_get_dlg_item(d, id);
    if (b && !os_is_window_enabled(b)) return;
    os_send_message(d, OSM_COMMAND, static_cast<std::uintptr_t>(id & 0xFFFF), b);
}

std::intptr_t yyspinchange(OsHandle, std::intptr_t notify) {
    auto* n = reinterpret_cast<OsUpDownNotify*>(notify);
    if (!n) return 0;
    const auto buddy = static_cast<OsHandle>(os_send_message(n->hdr.from, UDM_GETBUDDY, 0, 0));
    if (!yyisspinfield(buddy)) return 0;
    FieldRecord* f = yyfieldrecord(buddy);
    if (!f) return 0;
    // 1.
    if (os_send_message(buddy, EM_GETMODIFY, 0, 0)) {
        const std::string t = text_of(buddy, 254);
        if (txt_blank(t)) f->value = 0.0;
        else yyst2dbl(f->value, t);
    }
    // 2. Any other change than the four steps moves by the small step its way.
    const double step = (n->delta <= -5 || n->delta >= 5) ? f->spin_large : f->spin_small;
    double v = f->value + (n->delta < 0 ? -step : (n->delta > 0 ? step : 0.0));
    // 3.
    bool clamped = false;
    if (f->range_min <= f->range_max) {
        if (v < f->range_min) v = f->range_min, clamped = true;
        else if (v > f->range_max) v = f->range_max, clamped = true;
    }
    std::string text;
    if (yynumerickind(buddy) == 1) {
        // 4. A step that truncates to 0 keeps the grid of whole numbers.
        std::int64_t istep = yytruncint(step);
        if (istep == 0) istep = 1;
        if (istep < 0) istep = -istep;
        std::int64_t k = yytruncint(v);
        if (!clamped) k = f->spin_offset + ((k - f->spin_offset) / istep) * istep;
        k = std::clamp<std::int64_t>(k, INT32_MIN, INT32_MAX);
        f->value = static_cast<double>(k);
        std::string t(100, ' ');
        yyint2st(static_cast<std::int32_t>(k), t);
        text = t;
    } else {
        // 5.
        f->value = v;
        std::string t(100, ' ');
        yydbl2st(v, t, f->format && !txt_blank(*f->format) ? std::string_view(*f->format) : DefaultFormat);
        text = t;
    }
    // 6.
    set_text(buddy, std::string(txt_trim(txt_until_nul(text))));
    os_send_message(buddy, EM_SETMODIFY, 0, 0);
    f->defined = 1;
    n->delta = 0;
    return 0;
}

namespace {

FieldRecord* spin_record(std::int32_t& field, std::int32_t index) {
    const OsHandle c = yyfieldwindow(field);
    if (!c || os_window_class_atom(c) != dlgtab.atomNumeric[static_cast<std::size_t>(index)]) {
        field = -1;
        return nullptr;
    }
    return yyfieldrecord(c);
}

}  // namespace

void yyfieldspinstepi(std::int32_t& field, std::int32_t small, std::int32_t large, std::int32_t offset) {
    if (FieldRecord* f = spin_record(field, 1)) {
        f->spin_small = small;
        f->spin_large = large == 0 ? small : large;
        f->spin_offset = offset;
    }
}

void yyfieldspinstepr(std::int32_t& field, float small, float large) {
    if (FieldRecord* f = spin_record(field, 3)) {
        f->spin_small = small;
        f->spin_large = large;
    }
}

void yyfieldspinstepd(std::int32_t& field, double small, double large) {
    if (FieldRecord* f = spin_record(field, 5)) {
        f->spin_small = small;
        f->spin_large = large;
    }
}
