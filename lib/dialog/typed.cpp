// Values in and out of the fields of the current dialog: texts, numbers with
// their formats and ranges, check boxes, radio groups, list and combo menus,
// progress bars, trackbars, field states and options.
#include <cmath>
#include <limits>

#include "lib/dialog/fields.h"
#include "lib/grid/grid.h"
#include "lib/window/convert.h"
#include "lib/window/errors.h"
#include "lib/window/messages.h"
#include "lib/window/text.h"
#include "platform/os_dialog.h"

namespace {

bool atom_is(OsHandle w, std::int32_t atom) { return atom != 0 && os_window_class_atom(w) == atom; }

constexpr const char* DefaultFormat = "(G15.5E2)";

std::string window_text(OsHandle w, std::size_t room) {
    std::string buf(room + 1, '\0');
    const auto n = os_send_message(w, OSM_GETTEXT, room + 1, reinterpret_cast<std::intptr_t>(buf.data()));
    buf.resize(static_cast<std::size_t>(std::clamp<std::intptr_t>(n, 0, static_cast<std::intptr_t>(room))));
    return buf;
}

std::string item_text(OsHandle c, std::uint32_t get, std::uint32_t len, std::intptr_t index) {
    const auto l = os_send_message(c, len, static_cast<std::uintptr_t>(index), 0);
    if (l < 0) return {};
    std::string t(static_cast<std::size_t>(l) + 1, '\0');
    os_send_message(c, get, static_cast<std::uintptr_t>(index), reinterpret_cast<std::intptr_t>(t.data()));
    t.resize(static_cast<std::size_t>(l));
    return t;
}

// The index of the first combo item whose text equals the text, -1 when none.
std::intptr_t combo_find(OsHandle c, std::string_view text) {
    const auto n = os_send_message(c, CB_GETCOUNT, 0, 0);
    for (std::intptr_t i = 0; i < n; ++i)
        if (item_text(c, CB_GETLBTEXT, CB_GETLBTEXTLEN, i) == text) return i;
    return -1;
}

bool has_range(const FieldRecord* f) { return f && f->range_min <= f->range_max; }

std::uint32_t button_kind(OsHandle c) { return os_get_style(c) & OS_BS_TYPEMASK; }

// The radio group of a button: a run of sibling buttons in z-order.
std::vector<OsHandle> radio_group(OsHandle b) {
    const std::vector<OsHandle> sib = os_child_windows(os_get_parent(b));
    const auto at = std::find(sib.begin(), sib.end(), b);
    if (at == sib.end()) return {b};
    const auto i = static_cast<std::ptrdiff_t>(at - sib.begin());
    const std::int32_t atom = os_window_class_atom(b);
    auto same = [&](std::ptrdiff_t k) { return os_window_class_atom(sib[static_cast<std::size_t>(k)]) == atom; };
    auto grouped = [&](std::ptrdiff_t k) { return (os_get_style(sib[static_cast<std::size_t>(k)]) & OS_WS_GROUP) != 0; };
    std::ptrdiff_t j = i;
    while (j >= 0 && !grouped(j) && same(j)) --j;
    const std::ptrdiff_t first = (j >= 0 && same(j)) ? j : j + 1;
    std::ptrdiff_t k = first == i ? i + 1 : i;
    const auto n = static_cast<std::ptrdiff_t>(sib.size());
    while (k < n && !grouped(k) && same(k)) ++k;
    const std::ptrdiff_t last = std::max(k - 1, i);
    return {sib.begin() + first, sib.begin() + last + 1};
}

void report(std::int32_t code, std::string_view name) { yyerror(code, name); }

bool need_dialog(std::string_view name) {
    if (dialog_state.current_id != 0 && yycurrentdialog()) return true;
    report(1005, name);
    return false;
}

void repaint(OsHandle c) {
    os_invalidate_rect(c, nullptr, true);
    os_update_window(c);
}

}  // namespace

std::int32_t yytruncint(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(std::trunc(v));
}

// ---- back ends --------------------------------------------------------------------------

void yyfieldputtext(std::int32_t& field, double value, std::string_view text, std::string_view format) {
    const OsHandle c = yyfieldwindow(field);
    if (!c) {
        field = -1;
        return;
    }
    FieldRecord* f = yyfieldrecord(c);
    // 1. Setting the text is no change the user made.
    const std::int32_t report_changes = f ? f->report_changes : 0;
    if (f) f->report_changes = 0;
    // 2.
    const std::string t(text);
    os_send_message(c, OSM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(t.c_str()));
    if (f) {
        // 3.
        f->value = value;
        if (value == 0.0) {
            double v = 0.0;
            int valid = 0;
            yyst2dblcheck(v, valid, t);
            if (valid) f->value = v;
        }
        // 4.
        f->defined = txt_blank(t) ? 0 : 1;
        // 5. The text object stays: a modal copy may share it.
        if (f->format) f->format->assign(format);
        else if (!format.empty()) f->format = new std::string(format);
    }
    // 6.
    if (atom_is(c, dlgtab.atomEdit) || yynumerickind(c)) os_send_message(c, EM_SETMODIFY, 0, 0);
    // 7.
    os_update_window(c);
    if (f) f->report_changes = report_changes;
}

void yyfieldgetstring(std::int32_t& field, std::string& text, std::int32_t size) {
    const OsHandle c = yyfieldwindow(field);
    if (!c) {
        field = -1;
        return;
    }
    text = window_text(c, static_cast<std::size_t>(std::max(1, size) - 1));
}

void yyfieldgetlength(std::int32_t& field, std::int32_t& length) {
    const OsHandle c = yyfieldwindow(field);
    if (!c) {
        field = -1;
        return;
    }
    length = static_cast<std::int32_t>(os_send_message(c, OSM_GETTEXTLENGTH, 0, 0));
}

void yyfieldgetvalue(std::int32_t& field, double& value) {
    const OsHandle c = yyfieldwindow(field);
    if (!c) {
        field = -1;
        return;
    }
    // 1.
    const std::string t = window_text(c, 254);
    if (txt_blank(t)) {
        field = -2;
        return;
    }
    // 2. An untouched numeric field keeps the precision behind its text.
    const FieldRecord* f = yyfieldrecord(c);
    if (f && yynumerickind(c) && !os_send_message(c, EM_GETMODIFY, 0, 0)) {
        value = f->value;
        return;
    }
    // 3.
    yyst2dbl(value, t);
}

std::string yyfieldgetformat(std::int32_t field) {
    const OsHandle c = yyfieldwindow(field);
    const FieldRecord* f = yyfieldrecord(c);
    const std::int32_t kind = yynumerickind(c);
    if (f && f->format && !txt_blank(*f->format) && (kind == 2 || kind == 3) && !yyisspinfield(c))
        return *f->format;
    return DefaultFormat;
}

void yyfieldrange(std::int32_t& field, double minimum, double maximum) {
    FieldRecord* f = yyfieldrecord(yyfieldwindow(field));
    if (!f) {
        field = -1;
        return;
    }
    f->range_min = minimum;
    f->range_max = maximum;
}

void yyfieldrangecheck(std::int32_t& field, double value) {
    const OsHandle c = yyfieldwindow(field);
    if (!c) {
        field = -1;
        return;
    }
    const FieldRecord* f = yyfieldrecord(c);
    if (has_range(f) && (value < f->range_min || value > f->range_max)) field = -2;
}

void yyfieldputcheck(std::int32_t& field, std::int32_t state) {
    const OsHandle c = yyfieldwindow(field);
    if (!atom_is(c, dlgtab.atomButton) || (button_kind(c) != OS_BS_AUTOCHECKBOX && button_kind(c) != OS_BS_AUTORADIOBUTTON)) {
        field = -1;
        return;
    }
    os_send_message(c, BM_SETCHECK, static_cast<std::uintptr_t>(state), 0);
}

void yyfieldgetcheck(std::int32_t& field, std::int32_t& state) {
    const OsHandle c = yyfieldwindow(field);
    if (!atom_is(c, dlgtab.atomButton) || (button_kind(c) != OS_BS_AUTOCHECKBOX && button_kind(c) != OS_BS_AUTORADIOBUTTON)) {
        field = -1;
        return;
    }
    state = static_cast<std::int32_t>(os_send_message(c, BM_GETCHECK, 0, 0));
}

void yyfieldgroup(std::int32_t field, std::int32_t& first, std::int32_t& last) {
    const OsHandle c = yyfieldwindow(field);
    if (!c) return;
    const std::vector<OsHandle> g = radio_group(c);
    first = os_get_control_id(g.front());
    last = os_get_control_id(g.back());
}

void yyfieldputradio(std::int32_t& field) {
    const OsHandle c = yyfieldwindow(field);
    if (!atom_is(c, dlgtab.atomButton) || button_kind(c) != OS_BS_AUTORADIOBUTTON) {
        field = -1;
        return;
    }
    for (OsHandle b : radio_group(c)) os_send_message(b, BM_SETCHECK, b == c ? 1 : 0, 0);
}

void yyfieldgetradio(std::int32_t& field, std::int32_t& position) {
    const OsHandle c = yyfieldwindow(field);
    if (!atom_is(c, dlgtab.atomButton) || button_kind(c) != OS_BS_AUTORADIOBUTTON) {
        field = -1;
        return;
    }
    std::int32_t n = 0;
    for (OsHandle b : radio_group(c)) {
        ++n;
        if (os_send_message(b, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            position = n;
            return;
        }
    }
    field = -2;
}

void yygetmenutype(std::int32_t& field, std::int32_t& kind) {
    const OsHandle c = yyfieldwindow(field);
    const std::uint32_t style = os_get_style(c);
    if (atom_is(c, dlgtab.atomList)) kind = (style & (OS_LBS_MULTIPLESEL | OS_LBS_EXTENDEDSEL)) ? 4 : 1;
    else if (atom_is(c, dlgtab.atomCombo)) kind = (style & 3) == OS_CBS_DROPDOWNLIST ? 2 : 3;
    else field = -1;
}

void yyfieldputmenu(std::int32_t kind, std::int32_t field, std::string_view text) {
    const OsHandle c = yyfieldwindow(field);
    const std::string t(text);
    os_send_message(c, kind == 1 || kind == 4 ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>(t.c_str()));
}

void yyfieldputoption(std::int32_t kind, std::int32_t& field, std::int32_t index) {
    const OsHandle c = yyfieldwindow(field);
    const auto r = os_send_message(c, kind == 1 ? LB_SETCURSEL : CB_SETCURSEL, static_cast<std::uintptr_t>(index), 0);
    repaint(c);
    if (r == OS_LB_ERR) field = -1;
}

void yyfieldputcombo(std::int32_t field, std::string_view text) {
    const OsHandle c = yyfieldwindow(field);
    const std::intptr_t i = combo_find(c, text);
    if (i >= 0) {
        os_send_message(c, CB_SETCURSEL, static_cast<std::uintptr_t>(i), 0);
        return;
    }
    const std::string t(text);
    os_send_message(c, OSM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(t.c_str()));
}

void yyfieldgetlist(std::int32_t& field, std::int32_t& option, bool want_text, std::string& text) {
    const OsHandle c = yyfieldwindow(field);
    const auto sel = os_send_message(c, LB_GETCURSEL, 0, 0);
    if (sel < 0) {
        field = -1;
        return;
    }
    option = static_cast<std::int32_t>(sel) + 1;
    if (want_text) text = item_text(c, LB_GETTEXT, LB_GETTEXTLEN, sel);
}

void yyfieldgetcombo(std::int32_t& field, std::int32_t& option, bool want_text, std::string& text) {
    const OsHandle c = yyfieldwindow(field);
    const auto sel = os_send_message(c, CB_GETCURSEL, 0, 0);
    const std::string t = window_text(c, 32767);
    if (want_text) text = t;
    if (t.empty()) {
        if (sel < 0) field = -1;
        else option = static_cast<std::int32_t>(sel) + 1;
        return;
    }
    const std::intptr_t i = sel >= 0 ? sel : combo_find(c, t);
    option = static_cast<std::int32_t>(i) + 1;
}

void yyfieldclear(std::int32_t& field) {
    const OsHandle c = yyfieldwindow(field);
    FieldRecord* f = yyfieldrecord(c);
    bool radio = false;
    if (atom_is(c, dlgtab.atomEdit) || yynumerickind(c) || atom_is(c, dlgtab.atomStatic)) {
        os_send_message(c, OSM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(""));
        if (!atom_is(c, dlgtab.atomStatic)) os_send_message(c, EM_SETMODIFY, 0, 0);
    } else if (atom_is(c, dlgtab.atomButton)) {
        const std::uint32_t k = button_kind(c);
        if (k == OS_BS_AUTORADIOBUTTON || k == OS_BS_RADIOBUTTON) {
            for (OsHandle b : radio_group(c)) {
                os_send_message(b, BM_SETCHECK, 0, 0);
                repaint(b);
            }
            radio = true;
        } else if (k == OS_BS_AUTOCHECKBOX || k == OS_BS_CHECKBOX || k == OS_BS_3STATE || k == OS_BS_AUTO3STATE ||
                   k == OS_BS_OWNERDRAW) {
            os_send_message(c, BM_SETCHECK, 0, 0);
        } else {
            os_send_message(c, OSM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(""));
        }
    } else if (atom_is(c, dlgtab.atomCombo)) {
        os_send_message(c, CB_RESETCONTENT, 0, 0);
    } else if (atom_is(c, dlgtab.atomList)) {
        os_send_message(c, LB_RESETCONTENT, 0, 0);
    } else if (atom_is(c, dlgtab.atomProgress)) {
        const auto old = os_send_message(c, PBM_SETRANGE, 0, os_make_lparam(0, 65535));
        os_send_message(c, PBM_SETRANGE, 0, old);
        os_send_message(c, PBM_SETPOS, static_cast<std::uintptr_t>(old & 0xFFFF), 0);
    } else if (atom_is(c, grid_state.atomGrid)) {
        yyGridClear(c, 1);
    } else if (atom_is(c, dlgtab.atomTree)) {
        os_send_message(c, TVM_DELETEITEM, 0, OS_TVI_ROOT);
    } else {
        field = -1;
        return;
    }
    if (radio) return;
    if (f) {
        f->value = 0.0;
        f->defined = 0;
    }
    repaint(c);
}

void yyfieldputprogress(std::int32_t& field, std::int32_t position, std::int32_t increment) {
    const OsHandle c = yyfieldwindow(field);
    if (!atom_is(c, dlgtab.atomProgress)) {
        field = -1;
        return;
    }
    os_send_message(c, increment ? PBM_DELTAPOS : PBM_SETPOS, static_cast<std::uintptr_t>(position), 0);
}

void yyrangeprogress(std::int32_t& field, std::int32_t minimum, std::int32_t maximum) {
    const OsHandle c = yyfieldwindow(field);
    if (!atom_is(c, dlgtab.atomProgress)) {
        field = -1;
        return;
    }
    os_send_message(c, PBM_SETRANGE, 0, os_make_lparam(minimum, maximum));
}

void yyfieldoption(std::int32_t& field, std::int32_t option, std::int32_t value) {
    OsHandle c = 0;
    if (field == 0) {
        // The grid of the current window when it is a grid window.
        const std::int32_t slot = quinda.current_slot;
        const OsHandle w = wtab.slot_valid(slot) ? wtab.wWindow[static_cast<std::size_t>(slot)] : 0;
        const std::int32_t* data = w ? yyspecialrecord(w) : nullptr;
        if (data && data[0] == WindowKindGrid) c = data[5];
    } else {
        c = yyfieldwindow(field);
    }
    if (!c) {
        field = -1;
        return;
    }
    const bool grid = atom_is(c, grid_state.atomGrid);
    if (option == 1 || option == 2) {
        if (!grid) {
            field = -1;
            return;
        }
        const std::uint32_t bit = option == 1 ? 4096u : 16384u;
        const std::uint32_t style = os_get_style(c);
        os_set_style(c, value ? (style | bit) : (style & ~bit));
    } else if (option == 3) {
        FieldRecord* f = yyfieldrecord(c);
        if (!(yyeditlike(c) || atom_is(c, dlgtab.atomCombo)) || !f) {
            field = -1;
            return;
        }
        f->report_changes = value ? 1 : 0;
    }
}

void yyfieldputtrack(std::int32_t& field, std::int32_t position, std::int32_t start, std::int32_t end,
                     std::int32_t mode) {
    const OsHandle c = yyfieldwindow(field);
    if (!atom_is(c, dlgtab.atomTrackbar)) {
        field = -1;
        return;
    }
    os_send_message(c, TBM_SETPOS, 1, position);
    if (!(os_get_style(c) & OS_TBS_ENABLESELRANGE)) return;
    if (mode == 0) {
        os_send_message(c, TBM_SETSEL, 1, os_make_lparam(start, end));
    } else if (mode == 2) {
        os_send_message(c, TBM_CLEARSEL, 1, 0);
    }
}

void yyfieldgettrack(std::int32_t& field, std::int32_t& position, std::int32_t& start, std::int32_t& end) {
    const OsHandle c = yyfieldwindow(field);
    if (!atom_is(c, dlgtab.atomTrackbar)) {
        field = -1;
        return;
    }
    position = static_cast<std::int32_t>(os_send_message(c, TBM_GETPOS, 0, 0));
    const auto a = static_cast<std::int32_t>(os_send_message(c, TBM_GETSELSTART, 0, 0));
    const auto b = static_cast<std::int32_t>(os_send_message(c, TBM_GETSELEND, 0, 0));
    if ((os_get_style(c) & OS_TBS_ENABLESELRANGE) && a < b) {
        start = a;
        end = b;
    } else {
        start = end = dlgtab.iUndef;
    }
}

void yyrangetrack(std::int32_t& field, std::int32_t minimum, std::int32_t maximum, std::int32_t ticks) {
    const OsHandle c = yyfieldwindow(field);
    if (!atom_is(c, dlgtab.atomTrackbar)) {
        field = -1;
        return;
    }
    os_send_message(c, TBM_SETRANGE, 1, os_make_lparam(minimum, maximum));
    if (ticks > 0) os_send_message(c, TBM_SETTICFREQ, static_cast<std::uintptr_t>(ticks), 0);
}

void yyfieldtrackstep(std::int32_t& field, std::int32_t line, std::int32_t page) {
    const OsHandle c = yyfieldwindow(field);
    if (!atom_is(c, dlgtab.atomTrackbar)) {
        field = -1;
        return;
    }
    os_send_message(c, TBM_SETLINESIZE, 0, line);
    os_send_message(c, TBM_SETPAGESIZE, 0, page > 0 ? page : line);
}

void yygettrackrange(std::int32_t& field, std::int32_t& minimum, std::int32_t& maximum) {
    const OsHandle c = yyfieldwindow(field);
    if (!atom_is(c, dlgtab.atomTrackbar)) {
        field = -1;
        return;
    }
    minimum = static_cast<std::int32_t>(os_send_message(c, TBM_GETRANGEMIN, 0, 0));
    maximum = static_cast<std::int32_t>(os_send_message(c, TBM_GETRANGEMAX, 0, 0));
}

void yyfieldgettab(std::int32_t& field, std::int32_t& page) {
    const OsHandle c = yyfieldwindow(field);
    if (!atom_is(c, dlgtab.atomTab)) {
        field = -1;
        return;
    }
    OsTabItem item;
    const auto cur = os_send_message(c, TCM_GETCURSEL, 0, 0);
    if (cur >= 0 && os_send_message(c, TCM_GETITEM, static_cast<std::uintptr_t>(cur), reinterpret_cast<std::intptr_t>(&item)))
        page = item.data[0];
}

void yygetoptioncount(std::int32_t field, std::int32_t& count) {
    count = static_cast<std::int32_t>(os_send_message(yyfieldwindow(field), LB_GETCOUNT, 0, 0));
}

void yyfieldgetopt(std::int32_t field, std::int32_t index, std::int32_t& state) {
    state = static_cast<std::int32_t>(os_send_message(yyfieldwindow(field), LB_GETSEL, static_cast<std::uintptr_t>(index), 0));
}

void yyfieldputopt(std::int32_t field, std::int32_t index, std::int32_t state) {
    const OsHandle c = yyfieldwindow(field);
    const auto now = os_send_message(c, LB_GETSEL, static_cast<std::uintptr_t>(index), 0);
    if ((now > 0) != (state == 1)) os_send_message(c, LB_SETSEL, state == 1 ? 1 : 0, index);
}

void yyfieldputopt2(std::int32_t field, std::int32_t first, std::int32_t last, std::int32_t state) {
    // The list has no range request of its own: item by item in every case,
    // which selects the same items.
    for (std::int32_t i = first; i <= last; ++i) yyfieldputopt(field, i, state);
}

// ---- public routines ----------------------------------------------------------------------

void WDialogPutString(std::int32_t field, std::string_view text) {
    if (!need_dialog("WDialogPutString")) return;
    std::int32_t s = field;
    yyfieldputtext(s, 0.0, txt_trim(text), "");
    if (s == -1) report(1006, "WDialogPutString");
}

void WDialogGetString(std::int32_t field, std::string& text) {
    if (!need_dialog("WDialogGetString")) return;
    std::int32_t s = field;
    std::string t;
    yyfieldgetstring(s, t, static_cast<std::int32_t>(std::max<std::size_t>(text.size(), 1)) + 1);
    if (s == -1) {
        txt_set(text, "");
        return report(1006, "WDialogGetString");
    }
    txt_set(text, t);
}

void WDialogGetStringLength(std::int32_t field, std::int32_t& length) {
    if (!need_dialog("WDialogGetStringLength")) return;
    std::int32_t s = field;
    yyfieldgetlength(s, length);
    if (s == -1) report(1006, "WDialogGetStringLength");
}

namespace {

void put_number(std::int32_t field, double value, const std::string& text, const std::string& format,
                std::string_view name) {
    if (!need_dialog(name)) return;
    std::int32_t s = field;
    yyfieldrangecheck(s, value);
    if (s == -1) return report(1006, name);
    if (s == -2) return report(1009, name);
    s = field;
    yyfieldputtext(s, value, txt_trim(text), txt_trim(format));
}

std::string chosen_format(std::int32_t field, OptText format) {
    std::string f = format && !txt_blank(*format) ? std::string(txt_trim(*format)) : yyfieldgetformat(field);
    if (f.size() > 50) f.resize(50);
    return f;
}

std::string left(std::string t) {
    t = std::string(txt_until_nul(t));
    const std::size_t a = t.find_first_not_of(' ');
    return a == std::string::npos ? std::string() : std::string(txt_trim(t.substr(a)));
}

}  // namespace

void WDialogPutInteger(std::int32_t field, std::int32_t value) {
    std::string t(100, ' ');
    IntegerToString(value, t, "(I11)");
    put_number(field, value, left(t), "", "WDialogPutInteger");
}

void WDialogPutReal(std::int32_t field, float value, OptText format) {
    const std::string f = chosen_format(field, format);
    std::string t(100, ' ');
    IRealToString(value, t, f);
    put_number(field, value, left(t), f, "WDialogPutReal");
}

void WDialogPutDouble(std::int32_t field, double value, OptText format) {
    const std::string f = chosen_format(field, format);
    std::string t(100, ' ');
    IDoubleToString(value, t, f);
    put_number(field, value, left(t), f, "WDialogPutDouble");
}

void WDialogGetInteger(std::int32_t field, std::int32_t& value) {
    if (!need_dialog("WDialogGetInteger")) return;
    std::int32_t s = field;
    double v = 0.0;
    yyfieldgetvalue(s, v);
    if (s == -1) return report(1006, "WDialogGetInteger");
    if (s == -2) {
        value = -999;
        return report(1010, "WDialogGetInteger");
    }
    value = yytruncint(v);
}

void WDialogGetReal(std::int32_t field, float& value) {
    if (!need_dialog("WDialogGetReal")) return;
    std::int32_t s = field;
    double v = 0.0;
    yyfieldgetvalue(s, v);
    if (s == -1) return report(1006, "WDialogGetReal");
    if (s == -2) {
        value = -999.0f;
        return report(1010, "WDialogGetReal");
    }
    value = static_cast<float>(v);
}

void WDialogPutCheckBox(std::int32_t field, std::int32_t state) {
    if (!need_dialog("WDialogPutCheckBox")) return;
    std::int32_t s = field;
    yyfieldputcheck(s, state);
    if (s == -1) report(1006, "WDialogPutCheckBox");
}

void WDialogGetCheckBox(std::int32_t field, std::int32_t& state) {
    if (!need_dialog("WDialogGetCheckBox")) return;
    std::int32_t s = field;
    yyfieldgetcheck(s, state);
    if (s == -1) report(1006, "WDialogGetCheckBox");
}

void WDialogPutRadioButton(std::int32_t field) {
    if (!need_dialog("WDialogPutRadioButton")) return;
    std::int32_t s = field;
    yyfieldputradio(s);
    if (s == -1) report(1006, "WDialogPutRadioButton");
}

void WDialogGetRadioButton(std::int32_t field, std::int32_t& position) {
    if (!need_dialog("WDialogGetRadioButton")) return;
    std::int32_t s = field;
    yyfieldgetradio(s, position);
    if (s == -1) return report(1006, "WDialogGetRadioButton");
    if (s == -2) {
        position = -999;
        report(1010, "WDialogGetRadioButton");
    }
}

void WDialogPutMenu(std::int32_t field, std::span<const std::string> options, std::int32_t count,
                    std::int32_t selected, OptText text) {
    constexpr const char* name = "WDialogPutMenu";
    if (!need_dialog(name)) return;
    std::int32_t s = field, kind = 0;
    yygetmenutype(s, kind);
    if (s == -1 || kind == 4) return report(1006, name);
    s = field;
    yyfieldclear(s);
    // Only the texts given are appended, whatever the count says.
    const std::int32_t n = std::min<std::int32_t>(count, static_cast<std::int32_t>(options.size()));
    for (std::int32_t i = 0; i < n; ++i) yyfieldputmenu(kind, field, txt_trim(options[static_cast<std::size_t>(i)]));
    if (selected == 0 && kind == 3 && text) {
        yyfieldputcombo(field, txt_trim(*text));
        return;
    }
    s = field;
    yyfieldputoption(kind, s, selected - 1);
    if (s == -1) report(1011, name);
}

void WDialogPutOption(std::int32_t field, std::int32_t option) {
    constexpr const char* name = "WDialogPutOption";
    if (!need_dialog(name)) return;
    std::int32_t s = field, kind = 0;
    yygetmenutype(s, kind);
    if (s == -1 || kind == 4) return report(1006, name);
    yyfieldputoption(kind, s, option - 1);
    if (s == -1) report(1011, name);
}

void WDialogGetMenu(std::int32_t field, std::int32_t& option, std::string* text) {
    constexpr const char* name = "WDialogGetMenu";
    if (!need_dialog(name)) return;
    std::int32_t s = field, kind = 0;
    yygetmenutype(s, kind);
    if (s == -1 || kind == 4) return report(1006, name);
    std::string t;
    if (kind == 1) yyfieldgetlist(s, option, text != nullptr, t);
    else yyfieldgetcombo(s, option, text != nullptr, t);
    if (text && (s != -1 || kind != 1)) txt_set(*text, t);
    if (s == -1) {
        option = -999;
        report(1010, name);
    }
}

void WDialogPutProgressBar(std::int32_t field, std::int32_t position, OptInt increment) {
    if (!need_dialog("WDialogPutProgressBar")) return;
    std::int32_t s = field;
    yyfieldputprogress(s, position, increment.value_or(0));
    if (s == -1) report(1006, "WDialogPutProgressBar");
}

void WDialogRangeProgressBar(std::int32_t field, std::int32_t minimum, std::int32_t maximum) {
    constexpr const char* name = "WDialogRangeProgressBar";
    if (!need_dialog(name)) return;
    if (minimum < 0 || minimum >= 65536 || maximum < 0 || maximum >= 65536 || minimum >= maximum)
        return report(1013, name);
    std::int32_t s = field;
    yyrangeprogress(s, minimum, maximum);
    if (s == -1) report(1006, name);
}

void WDialogRangeInteger(std::int32_t field, OptInt minimum, OptInt maximum) {
    if (!need_dialog("WDialogRangeInteger")) return;
    double lo = 1000.0, hi = -1000.0;
    if (minimum || maximum) {
        lo = minimum ? *minimum : -2147483647.0;
        hi = maximum ? *maximum : 2147483647.0;
    }
    std::int32_t s = field;
    yyfieldrange(s, lo, hi);
    if (s == -1) report(1006, "WDialogRangeInteger");
}

void WDialogFieldState(std::int32_t field, std::int32_t state) {
    if (!need_dialog("WDialogFieldState")) return;
    std::int32_t s = field;
    yyfieldenable(s, state, 0);
    if (s == -1) report(1006, "WDialogFieldState");
}

void WDialogFieldOptions(std::int32_t field, std::int32_t option, std::int32_t value) {
    if (!need_dialog("WDialogFieldOptions")) return;
    std::int32_t s = field;
    yyfieldoption(s, option, value);
    if (s == -1) report(1006, "WDialogFieldOptions");
}
