// Dialog windows from templates, the modal dialog box as our own loop, the
// dialog keyboard, snapshots, and what every standard control shares.
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

#include "platform/os_app.h"
#include "platform/os_codepage_qt.h"
#include "platform/os_config.h"
#include "platform/os_control_p.h"
#include "platform/os_richedit.h"
#include "platform/os_dc.h"
#include "platform/os_dc_p.h"

namespace osw {

namespace {

struct DialogData : ControlData {
    OsDlgProc proc = nullptr;
    OsPoint base{6, 13};
    bool modal = false;
    bool ended = false;
    std::intptr_t result = 0;
    std::int32_t defid = -1;      // set by DM_SETDEFID; -1: the default push button decides
    OsWindow focus_item = 0;      // the control that gets the focus when the dialog does
    std::int32_t own_font = 0;    // font made for the template's own face
};

std::function<void(OsWindow)>& script() {
    static std::function<void(OsWindow)> s;
    return s;
}

std::map<std::int32_t, QImage>& snapshots() {
    static std::map<std::int32_t, QImage> s;
    return s;
}
std::int32_t next_snapshot = 1;

std::int32_t mul_div(std::int32_t v, std::int32_t num, std::int32_t den) {
    const double q = static_cast<double>(v) * num / den;
    return static_cast<std::int32_t>(q < 0 ? -std::floor(-q + 0.5) : std::floor(q + 0.5));
}

bool is_dialog(OsWindow w) {
    WinRec* r = rec(w);
    return r && dynamic_cast<DialogData*>(r->control.get()) != nullptr;
}

bool can_take_tab(OsWindow w) {
    const std::uint32_t s = os_get_style(w);
    return (s & OS_WS_TABSTOP) && (s & OS_WS_VISIBLE) && !(s & OS_WS_DISABLED);
}

// The controls in keyboard order: children in creation order, descending
// into child windows with the control-parent style.
void walk_items(OsWindow parent, std::vector<OsWindow>& out) {
    for (OsWindow c : os_child_windows(parent)) {
        const std::uint32_t s = os_get_style(c);
        if (!(s & OS_WS_VISIBLE) || (s & OS_WS_DISABLED)) continue;
        // A child dialog with the control style (an attached page) lends its controls to the order.
        if ((os_get_ex_style(c) & OS_WS_EX_CONTROLPARENT) || (is_dialog(c) && (s & OS_DS_CONTROL))) {
            walk_items(c, out);
            continue;
        }
        out.push_back(c);
    }
}

std::intptr_t dlgcode(OsWindow w, const OsMsg* m) {
    return os_send_message(w, OSM_GETDLGCODE, m ? m->wParam : 0, reinterpret_cast<std::intptr_t>(m));
}

void focus_item(OsWindow w) {
    os_set_focus(w);
    if (dlgcode(w, nullptr) & DLGC_HASSETSEL) os_send_message(w, EM_SETSEL, 0, -1);
}

// The controls of w's group, in order.
std::vector<OsWindow> group_of(OsWindow w) {
    const OsWindow parent = os_get_parent(w);
    const std::vector<OsWindow> all = os_child_windows(parent);
    auto it = std::find(all.begin(), all.end(), w);
    if (it == all.end()) return {w};
    auto first = it;
    while (first != all.begin() && !(os_get_style(*first) & OS_WS_GROUP)) --first;
    auto last = it + 1;
    while (last != all.end() && !(os_get_style(*last) & OS_WS_GROUP)) ++last;
    return {first, last};
}

void press(OsWindow dialog, std::int32_t id, OsWindow control) {
    os_send_message(dialog, OSM_COMMAND, static_cast<std::uintptr_t>(id & 0xFFFF), control);
}

// The control whose text carries the mnemonic &c.
OsWindow mnemonic_item(OsWindow dialog, char c) {
    std::vector<OsWindow> all;
    walk_items(dialog, all);
    const int want = std::toupper(static_cast<unsigned char>(c));
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::string t = os_get_window_text(all[i]);
        for (std::size_t k = 0; k + 1 < t.size(); ++k) {
            if (t[k] != '&') continue;
            if (t[k + 1] == '&') {
                ++k;
                continue;
            }
            if (std::toupper(static_cast<unsigned char>(t[k + 1])) != want) break;
            // A label hands the focus to the control after it.
            if (os_get_class_name(all[i]) == "STATIC" && i + 1 < all.size()) return all[i + 1];
            return all[i];
        }
    }
    return 0;
}

std::intptr_t dialog_wndproc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    DialogData* d = control_data<DialogData>(w);
    if (!d) return 0;
    if (d->proc && m != OSM_CREATE) {
        const std::intptr_t r = d->proc(w, m, wp, lp);
        if (r) return r;
        if (!rec(w)) return 0;
        d = control_data<DialogData>(w);
    }
    switch (m) {
    case OSM_CLOSE:
        // The close box answers as Escape does: command 2 without a control.
        press(w, 2, 0);
        return 0;
    case DM_GETDEFID: {
        if (d->defid >= 0) return os_make_lparam(d->defid, DC_HASDEFID);
        for (OsWindow c : os_child_windows(w))
            if (os_get_class_name(c) == "BUTTON" && (os_get_style(c) & OS_BS_TYPEMASK) == OS_BS_DEFPUSHBUTTON)
                return os_make_lparam(os_get_control_id(c), DC_HASDEFID);
        return 0;
    }
    case DM_SETDEFID: {
        const std::int32_t id = static_cast<std::int32_t>(wp);
        for (OsWindow c : os_child_windows(w)) {
            if (os_get_class_name(c) != "BUTTON") continue;
            const std::uint32_t t = os_get_style(c) & OS_BS_TYPEMASK;
            if (t == OS_BS_DEFPUSHBUTTON && os_get_control_id(c) != id)
                os_send_message(c, BM_SETSTYLE, OS_BS_PUSHBUTTON, 1);
            else if (t == OS_BS_PUSHBUTTON && os_get_control_id(c) == id)
                os_send_message(c, BM_SETSTYLE, OS_BS_DEFPUSHBUTTON, 1);
        }
        d->defid = id;
        return 1;
    }
    case OSM_SETFOCUS: {
        OsWindow f = os_is_child(w, d->focus_item) ? d->focus_item : os_next_tab_item(w, 0, false);
        if (f) focus_item(f);
        return 0;
    }
    case OSM_KILLFOCUS:
        return 0;
    case OSM_DESTROY:
        if (d->own_font) os_delete_object(d->own_font);
        d->own_font = 0;
        return 0;
    default:
        return os_def_window_proc(w, m, wp, lp);
    }
}

void paint_dialog(WinRec& r, QWidget* w, QPainter& p) {
    p.fillRect(w->rect(), qcolour(os_sys_colour(OS_COLOR_BTNFACE)));
    const QPoint co = client_origin_in_widget(r);
    if (!r.surface.isNull()) p.drawImage(co, r.surface);
    const Insets in = insets_of(r);
    if (r.child() && in.t > in.l) {
        p.fillRect(QRect(in.l, in.l, w->width() - 2 * in.l, in.t - in.l), QColor(0, 84, 166));
        p.setPen(Qt::white);
        p.setFont(control_font(r));
        p.drawText(QRect(in.l + 4, in.l, w->width() - 2 * in.l - 8, in.t - in.l), Qt::AlignVCenter | Qt::AlignLeft,
                   qtext(r.title));
    }
    if (r.child() && in.l > 0) {
        p.setPen(QColor(64, 64, 64));
        p.drawRect(w->rect().adjusted(0, 0, -1, -1));
    }
}

OsWindow create_from_template(const OsDialogTemplate& t, OsWindow parent, OsDlgProc proc, std::intptr_t param,
                              bool modal) {
    os_register_controls();
    const OsPoint base = os_dialog_base_units(t);
    auto px = [&](int v) { return mul_div(v, base.x, 4); };
    auto py = [&](int v) { return mul_div(v, base.y, 8); };
    const std::uint32_t style = t.style & ~OS_WS_VISIBLE;
    OsRect outer{0, 0, px(t.cx), py(t.cy)};
    os_adjust_window_rect(outer, style, false, t.exstyle);
    std::int32_t x = px(t.x), y = py(t.y);
    if (!(style & OS_WS_CHILD)) {
        // A top-level dialog's position is counted from its owner's client area.
        if (WinRec* o = rec(parent)) {
            const OsPoint org = client_origin_on_screen(*o);
            x += org.x;
            y += org.y;
        }
    }
    const OsWindow dlg = os_create_window(t.exstyle, "#32770", t.caption, style, x, y, outer.width(), outer.height(),
                                          parent, 0, 0);
    if (!dlg) return 0;
    DialogData* d = control_data<DialogData>(dlg);
    d->proc = proc;
    d->base = base;
    d->modal = modal;
    if (!t.font.empty() && t.point_size > 0) {
        OsLogFont lf;
        lf.height = -mul_div(t.point_size, os_config().dpi, 72);
        lf.face = t.font;
        d->own_font = os_create_font(lf);
        rec(dlg)->font = d->own_font;
    }
    for (const OsDialogControl& c : t.controls) {
        const OsWindow cw = os_create_window(c.exstyle, c.class_name, c.text, c.style | OS_WS_CHILD, px(c.x), py(c.y),
                                             px(c.cx), py(c.cy), dlg, 0, c.id);
        if (!cw) {
            os_destroy_window(dlg);
            return 0;
        }
        if (d->own_font) os_send_message(cw, OSM_SETFONT, static_cast<std::uintptr_t>(d->own_font), 0);
    }
    const OsWindow first = os_next_tab_item(dlg, 0, false);
    const std::intptr_t r = proc ? proc(dlg, OSM_INITDIALOG, static_cast<std::uintptr_t>(first), param) : 1;
    if (!rec(dlg)) return 0;
    // The dialog keeps the control that gets the focus once it is shown;
    // a dialog that set the focus itself keeps that.
    const OsWindow f = os_get_focus();
    d = control_data<DialogData>(dlg);
    d->focus_item = (r && first) ? first : (os_is_child(dlg, f) ? f : first);
    return dlg;
}

}  // namespace

QFont control_font(const WinRec& r) {
    if (r.font)
        if (osg::Object* o = osg::object_of(r.font, osg::KindFont)) return o->font.face();
    if (osg::Object* o = osg::object_of(os_get_stock_object(OS_DEFAULT_GUI_FONT), osg::KindFont)) return o->font.face();
    return QFont();
}

QString qtext(const std::string& s) { return os_qstring(s); }

void notify_parent(OsWindow control, std::int32_t code) {
    WinRec* r = rec(control);
    if (!r || !r->parent) return;
    os_send_message(r->parent, OSM_COMMAND,
                    static_cast<std::uintptr_t>((r->id & 0xFFFF) | ((code & 0xFFFF) << 16)), control);
}

void control_repaint(OsWindow w) {
    if (WinRec* r = rec(w); r && r->widget) r->widget->update();
}

bool control_common(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp, std::intptr_t& out) {
    WinRec* r = rec(w);
    if (!r) return false;
    switch (m) {
    case OSM_SETTEXT:
        r->title = lp ? std::string(reinterpret_cast<const char*>(lp)) : std::string();
        control_repaint(w);
        out = 1;
        return true;
    case OSM_GETTEXT: {
        // wp: room including the terminating NUL; lp: the buffer.
        if (!lp || wp == 0) {
            out = 0;
            return true;
        }
        const std::size_t n = std::min<std::size_t>(wp - 1, r->title.size());
        auto* buf = reinterpret_cast<char*>(lp);
        std::copy_n(r->title.data(), n, buf);
        buf[n] = '\0';
        out = static_cast<std::intptr_t>(n);
        return true;
    }
    case OSM_GETTEXTLENGTH:
        out = static_cast<std::intptr_t>(r->title.size());
        return true;
    case OSM_SETFONT:
        r->font = static_cast<std::int32_t>(wp);
        if (lp) control_repaint(w);
        out = 0;
        return true;
    case OSM_GETFONT:
        out = r->font;
        return true;
    case OSM_ENABLE:
        control_repaint(w);
        out = 0;
        return true;
    default:
        return false;
    }
}

std::intptr_t control_default(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    std::intptr_t out = 0;
    if (control_common(w, m, wp, lp, out)) return out;
    return os_def_window_proc(w, m, wp, lp);
}

bool control_colours(OsWindow w, std::uint32_t msg, std::uint32_t& text, std::uint32_t& back) {
    WinRec* r = rec(w);
    if (!r || !r->parent) return false;
    const OsDC dc = os_get_dc(w);
    if (!dc) return false;
    const std::intptr_t brush = os_send_message(r->parent, msg, static_cast<std::uintptr_t>(dc), w);
    bool given = false;
    if (brush) {
        if (osg::Dc* d = osg::dc_of(dc)) {
            text = d->text_colour;
            back = d->bk_colour;
            if (osg::Object* o = osg::object_of(static_cast<OsObject>(brush), osg::KindBrush)) back = o->brush.colour;
            given = true;
        }
    }
    os_release_dc(w, dc);
    return given;
}

void register_control_class(const char* name, OsWndProc proc, PaintFn paint, std::uint32_t class_style,
                            std::int64_t background) {
    auto& c = st().classes;
    ClassRec cr;
    cr.cls.name = name;
    cr.cls.proc = proc;
    cr.cls.style = class_style;
    cr.cls.background = background;
    cr.builtin = true;
    if (auto it = c.find(name); it != c.end()) {
        cr.atom = it->second.atom;  // keeps the atom the plain class had
    } else {
        cr.atom = st().next_atom++;
    }
    c[name] = cr;
    std::string key(name);
    for (char& ch : key) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (paint) st().painters[key] = paint;
}

void register_dialog_class() {
    register_control_class("#32770", dialog_wndproc, paint_dialog, OS_CS_DBLCLKS, os_sys_colour(OS_COLOR_BTNFACE));
}

}  // namespace osw

using namespace osw;

void os_register_controls() {
    static bool busy = false;
    ensure_builtin_classes();
    if (busy || st().classes.count("#32770")) return;
    busy = true;
    register_dialog_class();
    register_button_class();
    register_static_class();
    register_edit_class();
    register_listbox_class();
    register_combobox_class();
    register_progress_class();
    register_trackbar_class();
    register_updown_class();
    register_scrollbar_class();
    register_tab_class();
    register_tree_class();
    register_header_class();
    os_register_richedit();
    busy = false;
}

OsPoint os_dialog_base_units(const OsDialogTemplate& t) {
    const OsConfig& c = os_config();
    if (t.font.empty() || t.point_size <= 0) return {c.dialog_base_x, c.dialog_base_y};
    OsLogFont lf;
    lf.height = -mul_div(t.point_size, c.dpi, 72);
    lf.face = t.font;
    const osg::Font f = osg::make_font(lf);
    // The average width of the 52 letters, rounded, and the character height.
    QFontMetrics fm(f.face());
    const int w = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {std::max(1, (w / 26 + 1) / 2), std::max(1, f.tm.height)};
}

bool os_map_dialog_rect(OsWindow dialog, OsRect& r) {
    WinRec* w = rec(dialog);
    DialogData* d = w ? dynamic_cast<DialogData*>(w->control.get()) : nullptr;
    if (!d) return false;
    r.left = mul_div(r.left, d->base.x, 4);
    r.right = mul_div(r.right, d->base.x, 4);
    r.top = mul_div(r.top, d->base.y, 8);
    r.bottom = mul_div(r.bottom, d->base.y, 8);
    return true;
}

OsWindow os_create_dialog(OsResName id, OsWindow parent, OsDlgProc proc, std::intptr_t param) {
    OsDialogTemplate t;
    if (!os_resource_dialog(id, t)) return 0;
    return create_from_template(t, parent, proc, param, false);
}

OsWindow os_create_dialog_indirect(const OsDialogTemplate& t, OsWindow parent, OsDlgProc proc, std::intptr_t param) {
    return create_from_template(t, parent, proc, param, false);
}

std::intptr_t os_dialog_box(OsResName id, OsWindow owner, OsDlgProc proc, std::intptr_t param) {
    OsDialogTemplate t;
    if (!os_resource_dialog(id, t)) return -1;
    const OsWindow dlg = create_from_template(t, owner, proc, param, true);
    if (!dlg) return -1;
    if (!control_data<DialogData>(dlg)->ended) {
        os_show_window(dlg, OS_SW_SHOWNORMAL);
        os_set_active_window(dlg);
        os_set_focus(dlg);
    }
    std::intptr_t result = -1;
    for (;;) {
        DialogData* d = rec(dlg) ? control_data<DialogData>(dlg) : nullptr;
        if (!d) break;
        if (d->ended) {
            result = d->result;
            break;
        }
        OsMsg m;
        if (!os_peek_message(m, 0, 0, 0, OS_PM_REMOVE)) {
            if (script()) script()(dlg);
            if (!rec(dlg) || control_data<DialogData>(dlg)->ended) continue;
            if (os_peek_message(m, 0, 0, 0, OS_PM_NOREMOVE)) continue;
            if (!os_app_interactive()) {
                // No one can answer: the dialog is cancelled.
                press(dlg, 2, 0);
                if (rec(dlg) && !control_data<DialogData>(dlg)->ended) os_end_dialog(dlg, 2);
                continue;
            }
            if (!os_get_message(m)) {
                os_post_quit_message(static_cast<std::int32_t>(m.wParam));
                break;
            }
        } else if (m.message == OSM_QUIT) {
            os_post_quit_message(static_cast<std::int32_t>(m.wParam));
            break;
        }
        if (!os_is_dialog_message(dlg, m)) {
            os_translate_message(m);
            os_dispatch_message(m);
        }
    }
    if (rec(dlg)) os_destroy_window(dlg);
    if (rec(owner)) os_set_active_window(owner);
    return result;
}

bool os_end_dialog(OsWindow dialog, std::intptr_t result) {
    WinRec* r = rec(dialog);
    DialogData* d = r ? dynamic_cast<DialogData*>(r->control.get()) : nullptr;
    if (!d) return false;
    d->ended = true;
    d->result = result;
    if (d->modal) os_show_window(dialog, OS_SW_HIDE);
    return true;
}

OsDlgProc os_dialog_proc(OsWindow dialog) {
    WinRec* r = rec(dialog);
    DialogData* d = r ? dynamic_cast<DialogData*>(r->control.get()) : nullptr;
    return d ? d->proc : nullptr;
}

bool os_dialog_is_modal(OsWindow dialog) {
    WinRec* r = rec(dialog);
    DialogData* d = r ? dynamic_cast<DialogData*>(r->control.get()) : nullptr;
    return d && d->modal;
}

void os_dialog_set_script(std::function<void(OsWindow)> s) { script() = std::move(s); }

OsWindow os_get_dlg_item(OsWindow dialog, std::int32_t id) {
    for (OsWindow c : os_child_windows(dialog))
        if (os_get_control_id(c) == id) return c;
    return 0;
}

OsWindow os_next_tab_item(OsWindow dialog, OsWindow from, bool previous) {
    std::vector<OsWindow> all;
    walk_items(dialog, all);
    std::vector<OsWindow> stops;
    for (OsWindow w : all)
        if (can_take_tab(w) || w == from) stops.push_back(w);
    if (stops.empty()) return 0;
    auto it = std::find(stops.begin(), stops.end(), from);
    if (it == stops.end()) {
        // From a control that is no stop: the first stop after it in order.
        for (std::size_t i = 0; i < stops.size(); ++i)
            if (can_take_tab(stops[i])) return previous ? stops[stops.size() - 1 - i] : stops[i];
        return 0;
    }
    const std::size_t n = stops.size();
    std::size_t i = static_cast<std::size_t>(it - stops.begin());
    for (std::size_t k = 0; k < n; ++k) {
        i = previous ? (i + n - 1) % n : (i + 1) % n;
        if (can_take_tab(stops[i])) return stops[i];
    }
    return 0;
}

bool os_is_dialog_message(OsWindow dialog, const OsMsg& m) {
    if (!is_dialog(dialog)) return false;
    if (m.hwnd != dialog && !os_is_child(dialog, m.hwnd)) return false;
    const OsWindow ctl = m.hwnd;
    if (m.message == OSM_KEYDOWN || m.message == OSM_SYSKEYDOWN) {
        const std::intptr_t code = dlgcode(ctl, &m);
        const auto vk = static_cast<std::int32_t>(m.wParam);
        const bool ctrl = (m.keystate & OS_KS_CONTROL) != 0;
        const bool shift = (m.keystate & OS_KS_SHIFT) != 0;
        if (m.message == OSM_SYSKEYDOWN) {
            if (vk >= '0' && vk <= 'Z') {
                if (OsWindow t = mnemonic_item(dialog, static_cast<char>(vk))) {
                    const std::intptr_t tc = dlgcode(t, nullptr);
                    if (tc & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_RADIOBUTTON | DLGC_BUTTON))
                        os_send_message(t, BM_CLICK, 0, 0);
                    else
                        focus_item(t);
                    return true;
                }
            }
        } else if (!(code & DLGC_WANTALLKEYS)) {
            switch (vk) {
            case OS_VK_TAB:
                if (ctrl || (code & DLGC_WANTTAB)) break;
                if (OsWindow t = os_next_tab_item(dialog, ctl == dialog ? 0 : ctl, shift)) focus_item(t);
                return true;
            case OS_VK_LEFT:
            case OS_VK_UP:
            case OS_VK_RIGHT:
            case OS_VK_DOWN: {
                if (code & DLGC_WANTARROWS) break;
                if (ctl == dialog) return true;
                const bool back = vk == OS_VK_LEFT || vk == OS_VK_UP;
                std::vector<OsWindow> g = group_of(ctl);
                auto it = std::find(g.begin(), g.end(), ctl);
                const std::size_t n = g.size();
                std::size_t i = static_cast<std::size_t>(it - g.begin());
                for (std::size_t k = 0; k + 1 < n; ++k) {
                    i = back ? (i + n - 1) % n : (i + 1) % n;
                    const std::uint32_t s = os_get_style(g[i]);
                    if (!(s & OS_WS_VISIBLE) || (s & OS_WS_DISABLED)) continue;
                    focus_item(g[i]);
                    if (dlgcode(g[i], nullptr) & DLGC_RADIOBUTTON) os_send_message(g[i], BM_CLICK, 0, 0);
                    break;
                }
                return true;
            }
            case OS_VK_RETURN: {
                std::int32_t id = 1;
                const std::intptr_t def = os_send_message(dialog, DM_GETDEFID, 0, 0);
                if (os_hiword(static_cast<std::uintptr_t>(def)) == DC_HASDEFID) id = os_loword(static_cast<std::uintptr_t>(def));
                // A push button with the focus is the one Enter presses.
                if (dlgcode(ctl, nullptr) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) id = os_get_control_id(ctl);
                const OsWindow b = os_get_dlg_item(dialog, id);
                if (b && !os_is_window_enabled(b)) return true;
                press(dialog, id, b);
                return true;
            }
            case OS_VK_ESCAPE:
                press(dialog, 2, 0);
                return true;
            case 0x70:  // F1
                os_send_message(dialog, OSM_HELP, 0, 0);
                return true;
            default:
                break;
            }
        }
    }
    if (m.message == OSM_CHAR && !(dlgcode(ctl, &m) & (DLGC_WANTALLKEYS | DLGC_WANTCHARS))) {
        // Characters of keys the dialog took produce nothing.
        if (m.wParam == 9 || m.wParam == 13 || m.wParam == 27) return true;
    }
    os_translate_message(m);
    os_dispatch_message(m);
    return true;
}

std::int32_t os_snapshot_take(OsWindow w) {
    WinRec* r = rec(w);
    if (!r) return 0;
    const OsPoint cs = client_size(*r);
    if (cs.x <= 0 || cs.y <= 0) return 0;
    QImage img;
    if (r->widget) {
        const QPoint co = client_origin_in_widget(*r);
        img = r->widget->grab(QRect(co.x(), co.y(), cs.x, cs.y)).toImage().convertToFormat(QImage::Format_RGB32);
    }
    if (img.isNull() || img.size() != QSize(cs.x, cs.y)) {
        img = r->surface.isNull() ? QImage(cs.x, cs.y, QImage::Format_RGB32) : r->surface.copy();
        if (r->surface.isNull()) img.fill(qcolour(os_sys_colour(OS_COLOR_BTNFACE)));
    }
    const std::int32_t h = next_snapshot++;
    snapshots()[h] = img;
    return h;
}

bool os_snapshot_paint(OsWindow w, std::int32_t snapshot) {
    WinRec* r = rec(w);
    auto it = snapshots().find(snapshot);
    if (!r || it == snapshots().end()) return false;
    if (!r->surface.isNull()) {
        QPainter p(&r->surface);
        p.drawImage(0, 0, it->second);
    }
    if (r->widget) r->widget->update();
    return true;
}

void os_snapshot_free(std::int32_t snapshot) { snapshots().erase(snapshot); }

std::int64_t os_snapshot_pixel(std::int32_t snapshot, std::int32_t x, std::int32_t y) {
    auto it = snapshots().find(snapshot);
    if (it == snapshots().end() || x < 0 || y < 0 || x >= it->second.width() || y >= it->second.height()) return -1;
    return osg::to_rgb(it->second.pixel(x, y));
}

OsObject os_create_bitmap_from_image(const OsImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
        return 0;
    osg::Object o;
    o.kind = osg::KindBitmap;
    o.bitmap = QImage(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            o.bitmap.setPixel(x, y, image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)]);
    return osg::add_object(std::move(o));
}
