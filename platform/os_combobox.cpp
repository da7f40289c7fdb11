// The COMBOBOX class: simple, drop-down (both with an edit part, a child
// EDIT with id 1001) and drop-down list. The list is kept by the combo box;
// while it is dropped, Up and Down move its selection.
#include <QFontMetrics>

#include <algorithm>
#include <cctype>

#include "platform/os_control_p.h"

namespace osw {

namespace {

constexpr std::int32_t EditPartId = 1001;

struct ComboData : ControlData {
    std::vector<std::string> items;
    std::int32_t sel = -1;
    bool dropped = false;
    OsWindow edit = 0;
};

std::uint32_t kind(OsWindow w) { return os_get_style(w) & 3; }

void show_selection(OsWindow w, ComboData* d) {
    const std::string t = d->sel >= 0 ? d->items[static_cast<std::size_t>(d->sel)] : std::string();
    if (d->edit) os_send_message(d->edit, OSM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(t.c_str()));
    if (WinRec* r = rec(w)) r->title = t;
    control_repaint(w);
}

void user_select(OsWindow w, ComboData* d, std::int32_t i) {
    if (i < 0 || i >= static_cast<std::int32_t>(d->items.size()) || i == d->sel) return;
    d->sel = i;
    show_selection(w, d);
    notify_parent(w, CBN_SELCHANGE);
}

// Drops or closes the list, telling the parent.
void set_dropped(OsWindow w, ComboData* d, bool on) {
    if (d->dropped == on) return;
    d->dropped = on;
    notify_parent(w, on ? CBN_DROPDOWN : CBN_CLOSEUP);
}

std::intptr_t combo_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    WinRec* r = rec(w);
    ComboData* d = control_data<ComboData>(w);
    if (!r || !d) return 0;
    const auto n = static_cast<std::int32_t>(d->items.size());
    const auto idx = static_cast<std::int32_t>(wp);
    switch (m) {
    case OSM_CREATE:
        if (kind(w) != OS_CBS_DROPDOWNLIST) {
            const std::int32_t h = QFontMetrics(control_font(*r)).height() + 6;
            const std::int32_t width = r->rect.width() - (kind(w) == OS_CBS_SIMPLE ? 0 : 16);
            d->edit = os_create_window(0, "EDIT", r->title, OS_WS_CHILD | OS_WS_VISIBLE | OS_ES_AUTOHSCROLL, 0, 0,
                                       std::max(0, width), h, w, 0, EditPartId);
        }
        return 0;
    case OSM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (d->dropped ? DLGC_WANTALLKEYS : 0);
    case OSM_SETTEXT:
        r->title = lp ? std::string(reinterpret_cast<const char*>(lp)) : std::string();
        if (d->edit) return os_send_message(d->edit, m, wp, lp);
        break;
    case OSM_GETTEXT:
    case OSM_GETTEXTLENGTH:
        if (d->edit) return os_send_message(d->edit, m, wp, lp);
        break;
    case OSM_SETFONT:
        if (d->edit) os_send_message(d->edit, m, wp, lp);
        break;
    case OSM_ENABLE:
        if (d->edit) os_enable_window(d->edit, wp != 0);
        break;
    case CB_ADDSTRING:
    case CB_INSERTSTRING: {
        if (m == CB_INSERTSTRING && idx > n) return OS_LB_ERR;
        const std::int32_t at = m == CB_ADDSTRING || idx < 0 ? n : idx;
        d->items.insert(d->items.begin() + at, lp ? std::string(reinterpret_cast<const char*>(lp)) : std::string());
        if (d->sel >= at) ++d->sel;
        return at;
    }
    case CB_DELETESTRING:
        if (idx < 0 || idx >= n) return OS_LB_ERR;
        d->items.erase(d->items.begin() + idx);
        if (d->sel == idx) d->sel = -1;
        else if (d->sel > idx) --d->sel;
        return n - 1;
    case CB_RESETCONTENT:
        d->items.clear();
        d->sel = -1;
        show_selection(w, d);
        return 0;
    case CB_GETCOUNT:
        return n;
    case CB_GETCURSEL:
        return d->sel;
    case CB_SETCURSEL:
        d->sel = idx >= 0 && idx < n ? idx : -1;
        show_selection(w, d);
        return d->sel >= 0 ? d->sel : OS_LB_ERR;
    case CB_GETLBTEXT:
    case CB_GETLBTEXTLEN: {
        if (idx < 0 || idx >= n) return OS_LB_ERR;
        const std::string& s = d->items[static_cast<std::size_t>(idx)];
        if (m == CB_GETLBTEXT && lp) {
            std::copy(s.begin(), s.end(), reinterpret_cast<char*>(lp));
            reinterpret_cast<char*>(lp)[s.size()] = '\0';
        }
        return static_cast<std::intptr_t>(s.size());
    }
    case CB_LIMITTEXT:
        if (!d->edit) return 0;
        os_send_message(d->edit, EM_LIMITTEXT, wp, 0);
        return 1;
    case CB_SETEDITSEL:
        if (!d->edit) return OS_LB_ERR;
        os_send_message(d->edit, EM_SETSEL, static_cast<std::uintptr_t>(static_cast<std::int16_t>(lp & 0xFFFF)),
                        static_cast<std::int16_t>((lp >> 16) & 0xFFFF));
        return 1;
    case CB_GETEDITSEL:
        if (!d->edit) return OS_LB_ERR;
        return os_send_message(d->edit, EM_GETSEL, wp, lp);
    case CB_SHOWDROPDOWN:
        if (kind(w) != OS_CBS_SIMPLE) set_dropped(w, d, wp != 0);
        control_repaint(w);
        return 1;
    case CB_GETDROPPEDSTATE:
        return d->dropped ? 1 : 0;
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT: {
        // Whole texts (or, to find a string, their beginnings), letters
        // compared without case, from the item after wp.
        if (!lp || n == 0) return OS_LB_ERR;
        const std::string want(reinterpret_cast<const char*>(lp));
        const auto same = [&](const std::string& a) {
            if (m == CB_FINDSTRING ? a.size() < want.size() : a.size() != want.size()) return false;
            return std::equal(want.begin(), want.end(), a.begin(), [](char x, char y) {
                       return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
                   });
        };
        const std::int32_t from = idx < 0 || idx >= n ? 0 : idx + 1;
        for (std::int32_t k = 0; k < n; ++k) {
            const std::int32_t i = (from + k) % n;
            if (same(d->items[static_cast<std::size_t>(i)])) return i;
        }
        return OS_LB_ERR;
    }
    case CB_GETDROPPEDCONTROLRECT: {
        // The box with its list as created, on the screen.
        auto* out = reinterpret_cast<OsRect*>(lp);
        if (!out) return 0;
        os_get_window_rect(w, *out);
        return 1;
    }
    case CB_GETITEMHEIGHT:
        // wp -1: the selection field, whose height follows the font.
        if (static_cast<std::int32_t>(wp) == -1) return QFontMetrics(control_font(*r)).height() + 6;
        return QFontMetrics(control_font(*r)).height() + 1;
    case OSM_COMMAND: {
        // The edit part's notifications become the combo box's own.
        const std::int32_t code = os_hiword(wp);
        // The combo box's text is its edit part's.
        if (code == EN_CHANGE && d->edit) r->title = os_get_window_text(d->edit);
        if (code == EN_CHANGE) notify_parent(w, CBN_EDITCHANGE);
        else if (code == EN_SETFOCUS) notify_parent(w, CBN_SETFOCUS);
        else if (code == EN_KILLFOCUS) notify_parent(w, CBN_KILLFOCUS);
        return 0;
    }
    case OSM_SETFOCUS:
        if (d->edit) {
            os_set_focus(d->edit);
            return 0;
        }
        control_repaint(w);
        notify_parent(w, CBN_SETFOCUS);
        return 0;
    case OSM_KILLFOCUS:
        set_dropped(w, d, false);
        control_repaint(w);
        if (!d->edit) notify_parent(w, CBN_KILLFOCUS);
        return 0;
    case OSM_LBUTTONDOWN:
        os_set_focus(w);
        if (kind(w) != OS_CBS_SIMPLE) set_dropped(w, d, !d->dropped);
        control_repaint(w);
        return 0;
    case OSM_LBUTTONDBLCLK:
        if (kind(w) == OS_CBS_SIMPLE) notify_parent(w, CBN_DBLCLK);
        return 0;
    case OSM_KEYDOWN:
        if (wp == OS_VK_UP) user_select(w, d, d->sel - 1);
        else if (wp == OS_VK_DOWN) user_select(w, d, d->sel < 0 ? 0 : d->sel + 1);
        else if ((wp == OS_VK_RETURN || wp == OS_VK_ESCAPE) && d->dropped) set_dropped(w, d, false);
        control_repaint(w);
        return 0;
    default:
        break;
    }
    return control_default(w, m, wp, lp);
}

void paint_combo(WinRec& r, QWidget* wg, QPainter& p) {
    ComboData* d = control_data<ComboData>(r.h);
    const QRect all = wg->rect();
    p.fillRect(all, qcolour(os_sys_colour(OS_COLOR_BTNFACE)));
    p.setFont(control_font(r));
    const int h = QFontMetrics(control_font(r)).height() + 6;
    const QRect head(0, 0, all.width(), h);
    if (!d || !d->edit) {
        p.fillRect(head, qcolour(os_sys_colour(OS_COLOR_WINDOW)));
        p.setPen(QColor(128, 128, 128));
        p.drawRect(head.adjusted(0, 0, -1, -1));
        p.setPen(qcolour(os_sys_colour(OS_COLOR_WINDOWTEXT)));
        p.drawText(head.adjusted(3, 0, -18, 0), Qt::AlignLeft | Qt::AlignVCenter, qtext(r.title));
    }
    if ((r.style & 3) != OS_CBS_SIMPLE) {
        const QRect arrow(all.width() - 16, 0, 16, h);
        p.fillRect(arrow, QColor(225, 225, 225));
        p.setPen(Qt::black);
        const QPoint c = arrow.center();
        p.drawLine(c.x() - 3, c.y() - 1, c.x() + 3, c.y() - 1);
        p.drawLine(c.x() - 2, c.y(), c.x() + 2, c.y());
        p.drawLine(c.x() - 1, c.y() + 1, c.x() + 1, c.y() + 1);
    }
    if (d && (d->dropped || (r.style & 3) == OS_CBS_SIMPLE)) {
        const QRect list(0, h, all.width(), all.height() - h);
        p.fillRect(list, qcolour(os_sys_colour(OS_COLOR_WINDOW)));
        const int ih = QFontMetrics(control_font(r)).height() + 1;
        for (std::size_t i = 0; i < d->items.size(); ++i) {
            const QRect row(1, h + static_cast<int>(i) * ih, all.width() - 2, ih);
            if (static_cast<std::int32_t>(i) == d->sel) p.fillRect(row, QColor(0, 120, 215));
            p.setPen(static_cast<std::int32_t>(i) == d->sel ? QColor(Qt::white) : QColor(Qt::black));
            p.drawText(row.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, qtext(d->items[i]));
        }
    }
}

}  // namespace

void register_combobox_class() { register_control_class("COMBOBOX", combo_proc, paint_combo, OS_CS_DBLCLKS); }

}  // namespace osw
