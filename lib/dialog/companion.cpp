// The companion text of a dialog: what its template cannot say (ranges,
// list items, check states, tab pages, grids, colours, trackbar steps, text
// limits, resizing, formats, trees, fonts, flags), read once when the
// dialog is made. The scan never reads past the text: a value ends at a
// blank, a line feed or the end.
#include "lib/dialog/dialog.h"

#include <cmath>
#include <string>
#include <string_view>

#include "lib/dialog/fields.h"
#include "lib/grid/grid.h"
#include "lib/window/convert.h"
#include "platform/os_dialog.h"
#include "platform/os_gdi.h"

namespace {

constexpr std::size_t WorkBuffer = 1024;
constexpr std::size_t FaceLimit = 31;

struct Scan {
    std::string_view t;
    std::size_t p = 0;
    bool fresh = false;  // already at the start of the next line
    bool end() const { return p >= t.size(); }
    char at() const { return end() ? '\0' : t[p]; }
    void blanks() {
        while (!end() && t[p] == ' ') ++p;
    }
    // Past the value: to the next blank (or line feed, or the end), then over the blanks.
    void next() {
        while (!end() && t[p] != ' ' && t[p] != '\n') ++p;
        blanks();
    }
    std::int32_t integer() {
        std::size_t q = p;
        bool neg = false;
        if (q < t.size() && t[q] == '-') {
            neg = true;
            ++q;
        }
        std::int64_t v = 0;
        while (q < t.size() && t[q] >= '0' && t[q] <= '9') {
            v = std::min<std::int64_t>(v * 10 + (t[q] - '0'), 0x7FFFFFFF);
            ++q;
        }
        const std::int32_t r = static_cast<std::int32_t>(neg ? -v : v);
        next();
        return r;
    }
    double real() {
        std::size_t q = p;
        while (q < t.size() && t[q] != ' ' && t[q] != '\n') ++q;
        double v = 0.0;
        yyst2dbl(v, t.substr(p, q - p));
        next();
        return v;
    }
    void skip_line() {
        while (!end() && t[p] != '\n') ++p;
        if (!end()) ++p;
    }
    // The rest of the line (without its line feed).
    std::string_view rest() const {
        std::size_t q = p;
        while (q < t.size() && t[q] != '\n') ++q;
        return t.substr(p, q - p);
    }
};

const char* const kHeaders[] = {"[Ranges]", "[Menus]",  "[Checks]", "[Tabs]",      "[Grids]",
                                "[Colours]", "[Trackbars]", "[Lengths]", "[Dialog]", "[Formats]",
                                "[Treeviews]", "[Fonts]", "[Flags]"};

bool atom_is(OsHandle w, std::int32_t atom) { return atom != 0 && os_window_class_atom(w) == atom; }

// Integer value of a control's template text (its first 17 characters).
std::int32_t text_value(OsHandle c) {
    std::string t = os_get_window_text(c).substr(0, 17);
    Scan s{t};
    s.blanks();
    return s.integer();
}

// A field's rectangle in the dialog's client coordinates, reaching to the
// right edge of its buddy up-down.
OsRect field_rect(OsHandle d, OsHandle c) {
    OsRect r;
    os_get_window_rect(c, r);
    if (const FieldRecord* f = yyfieldrecord(c); f && f->buddy) {
        OsRect b;
        os_get_window_rect(f->buddy, b);
        r.right = b.right;
    }
    OsPoint tl{r.left, r.top}, br{r.right, r.bottom};
    os_screen_to_client(d, tl);
    os_screen_to_client(d, br);
    return {tl.x, tl.y, br.x, br.y};
}

bool encloses(const OsRect& o, const OsRect& f) {
    return o.left <= f.left && o.top <= f.top && o.right >= f.right && o.bottom >= f.bottom;
}

bool takes_anchor(OsHandle c) {
    if (atom_is(c, dlgtab.atomUpDown) || atom_is(c, dlgtab.atomDialog)) return false;
    if (atom_is(c, dlgtab.atomScrollbar) && os_get_control_id(c) == 0xFFFF) return false;
    return yyfieldrecord(c) != nullptr;
}

void derive_anchors(OsHandle d, OsHandle resize, std::int32_t mode) {
    const OsRect R = field_rect(d, resize);
    OsRect C;
    os_get_client_rect(d, C);
    const std::vector<OsHandle> all = os_child_windows(d);
    for (OsHandle c : all) {
        if (!takes_anchor(c)) continue;
        FieldRecord* fr = yyfieldrecord(c);
        OsRect F = field_rect(d, c);
        const OsRect F0 = F;
        fr->right_distance = C.right - F.right;
        fr->bottom_distance = C.bottom - F.bottom;
        for (OsHandle o : all) {
            if (o == c || !takes_anchor(o)) continue;
            const OsRect O = field_rect(d, o);
            if (!encloses(O, F0)) continue;
            if (c == resize) yyfieldrecord(o)->anchors |= 2 | 8;
            else if (!encloses(O, R)) F = O;
        }
        if (c == resize) {
            fr->anchors |= 2 | 8;
            continue;
        }
        if (mode != 0 && F.right == R.right) {
            if (F.left != R.left || F0.left == R.left) {
                fr->anchors |= 2;
                if (F0.left != R.left) fr->anchors |= 1;
            }
        } else if (F.left >= R.right) {
            fr->anchors |= 1 | 2;
        }
        if (mode != 0 && F.bottom == R.bottom) {
            if (F.top != R.top || F0.top == R.top) {
                fr->anchors |= 8;
                if (F0.top != R.top) fr->anchors |= 4;
            }
        } else if (F.top >= R.bottom) {
            fr->anchors |= 4 | 8;
        }
        if (atom_is(c, dlgtab.atomStatic)) {
            const std::uint32_t k = os_get_style(c) & OS_SS_TYPEMASK;
            if (k == OS_SS_ETCHEDHORZ && !(fr->anchors & 4)) fr->anchors &= ~8;
            if (k == OS_SS_ETCHEDVERT && !(fr->anchors & 1)) fr->anchors &= ~2;
        }
    }
}

void apply(OsHandle d, std::int32_t index, int section, OsHandle c, Scan& s, std::int32_t id) {
    FieldRecord* f = yyfieldrecord(c);
    switch (section) {
    case 1: {  // [Ranges]
        const double lo = s.real(), hi = s.real();
        if (!c) return;
        if (atom_is(c, dlgtab.atomProgress)) {
            os_send_message(c, PBM_SETRANGE, 0, os_make_lparam(static_cast<std::int32_t>(lo), static_cast<std::int32_t>(hi)));
            os_send_message(c, PBM_SETPOS, static_cast<std::uintptr_t>(text_value(c)), 0);
        } else if (atom_is(c, dlgtab.atomTrackbar)) {
            os_send_message(c, TBM_SETRANGE, 0, os_make_lparam(static_cast<std::int32_t>(lo), static_cast<std::int32_t>(hi)));
            os_send_message(c, TBM_SETPOS, 1, text_value(c));
        } else {
            yyfieldrange2(c, lo, hi);
        }
        return;
    }
    case 2: {  // [Menus]
        const std::int32_t count = s.integer();
        std::int32_t select = 1;
        if (index != -1) select = s.integer();
        s.skip_line();
        const bool list = atom_is(c, dlgtab.atomList);
        if (c) os_send_message(c, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
        for (std::int32_t i = 0; i < count && !s.end(); ++i) {
            std::string_view line = s.rest();
            while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
            const std::string item(line.substr(0, WorkBuffer));
            if (c) os_send_message(c, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>(item.c_str()));
            s.skip_line();
        }
        if (c && select != 0)
            os_send_message(c, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<std::uintptr_t>(select - 1), 0);
        s.fresh = true;
        return;
    }
    case 3: {  // [Checks]
        const std::int32_t state = s.integer();
        if (c) os_send_message(c, BM_SETCHECK, static_cast<std::uintptr_t>(state), 0);
        return;
    }
    case 4: {  // [Tabs]
        if (c) {
            const std::string rest(s.t.substr(s.p));
            const std::int32_t used = yytabbuild(d, c, rest.c_str(), index);
            s.p = std::min(s.t.size(), s.p + static_cast<std::size_t>(std::max(0, used)));
        }
        return;
    }
    case 5: {  // [Grids]
        if (c && yygriddata(c)) {
            const std::string rest(s.t.substr(s.p));
            const std::int32_t used = yygridinitialise(c, rest.c_str());
            s.p = std::min(s.t.size(), s.p + static_cast<std::size_t>(std::max(0, used)));
        }
        return;
    }
    case 6: {  // [Colours]
        const std::int32_t r1 = s.integer(), g1 = s.integer(), b1 = s.integer();
        const std::int32_t r2 = s.integer(), g2 = s.integer(), b2 = s.integer();
        yyFieldColour2(c, 1, r1, g1, b1);
        yyFieldColour2(c, 2, r2, g2, b2);
        return;
    }
    case 7: {  // [Trackbars]
        const std::int32_t tic = s.integer(), line = s.integer(), page = s.integer();
        const std::int32_t a = s.integer(), b = s.integer();
        if (!atom_is(c, dlgtab.atomTrackbar)) return;
        os_send_message(c, TBM_SETTICFREQ, static_cast<std::uintptr_t>(tic), 0);
        os_send_message(c, TBM_SETLINESIZE, 0, line);
        os_send_message(c, TBM_SETPAGESIZE, 0, page);
        if (os_get_style(c) & OS_TBS_ENABLESELRANGE) {
            if (a == b) os_send_message(c, TBM_CLEARSEL, 1, 0);
            else os_send_message(c, TBM_SETSEL, 0, os_make_lparam(a, b));
        }
        return;
    }
    case 8: {  // [Lengths]
        const std::int32_t len = s.integer();
        if (!c) return;
        if (atom_is(c, dlgtab.atomEdit) || yynumerickind(c))
            os_send_message(c, EM_LIMITTEXT, static_cast<std::uintptr_t>(std::max(0, len)), 0);
        else if (atom_is(c, dlgtab.atomCombo))
            os_send_message(c, CB_LIMITTEXT, static_cast<std::uintptr_t>(std::max(0, len)), 0);
        if (f) f->text_limit = len;
        return;
    }
    case 9: {  // [Dialog]
        DialogRecord* r = yydialogrecord(d);
        if (r) r->item[DlgFlag] = id != 0 ? 1 : 0;
        if (s.end() || s.at() == '\n') return;
        const std::int32_t field = s.integer();
        const std::int32_t mode = s.integer();
        const OsHandle rf = field ? os_get_dlg_item(d, field) : 0;
        if (!rf || !r) return;
        r->item[DlgResizeField] = rf;
        derive_anchors(d, rf, mode);
        yyDialogCreateSizeGrip(d);
        return;
    }
    case 10: {  // [Formats]
        const std::string_view rest = s.rest();
        if (rest.empty() || !f) return;
        delete f->format;
        f->format = new std::string(rest);
        return;
    }
    case 11: {  // [Treeviews]
        const std::int32_t menu = s.integer(), sel = s.integer();
        if (c) yyTreeViewInit(c, menu, sel);
        return;
    }
    case 12: {  // [Fonts]
        const std::int32_t points = s.integer();
        std::string face;
        while (!s.end() && s.at() != ',' && s.at() != '\n' && face.size() < FaceLimit) face += s.t[s.p++];
        while (!s.end() && s.at() != ',' && s.at() != '\n') ++s.p;
        std::int32_t weight = 400, italic = 0;
        if (s.at() == ',') {
            ++s.p;
            s.blanks();
            weight = s.integer();
            italic = s.integer();
        }
        if (!c) return;
        OsLogFont lf;
        const int dpi = wtab.wScreenDPI > 0 ? wtab.wScreenDPI : 96;
        lf.height = -static_cast<std::int32_t>(std::lround(points * static_cast<double>(dpi) / 72.0));
        lf.weight = weight;
        lf.italic = italic == 1;
        lf.out_precision = OS_OUT_TT_PRECIS;
        lf.pitch_and_family = OS_VARIABLE_PITCH | OS_FF_MODERN;
        lf.face = face;
        os_send_message(c, OSM_SETFONT, static_cast<std::uintptr_t>(os_create_font(lf)), 0);
        return;
    }
    case 13: {  // [Flags]
        const std::int32_t v = s.integer();
        if (f) f->flags = v;
        return;
    }
    default:
        return;
    }
}

}  // namespace

int strcmpqdx(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (*a != *b) return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
    return 0;
}

void yydialogqdx(OsHandle d, std::int32_t resource, std::int32_t index) {
    std::string_view bytes;
    if (!os_resource_data(OS_RT_RCDATA, resource, bytes)) return;
    // The text ends at its first NUL, or with the resource.
    if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    const std::string text(bytes);
    Scan s{text};
    int section = 0;
    const std::int32_t saved_current = dlgtab.iDlgCur;
    while (!s.end()) {
        s.blanks();
        bool header = false;
        for (int h = 0; h < 13; ++h) {
            const std::string_view name = kHeaders[h];
            if (s.t.substr(s.p, name.size()) == name) {
                section = h + 1;
                header = true;
                break;
            }
        }
        if (!header && !s.end() && s.at() != '\n') {
            const std::int32_t id = s.integer();
            const OsHandle c = os_get_dlg_item(d, id);
            if (section != 0) apply(d, index, section, c, s, id);
        }
        if (!s.fresh) s.skip_line();
        s.fresh = false;
    }
    dlgtab.iDlgCur = saved_current;
}
