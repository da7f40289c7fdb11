// The LISTBOX class: a list of texts with one selection, or with several
// (multiple: each click toggles; extended: Shift and Ctrl extend).
#include <QFontMetrics>

#include "platform/os_control_p.h"

namespace osw {

namespace {

struct ListData : ControlData {
    std::vector<std::string> items;
    std::vector<char> selected;
    std::int32_t caret = -1;    // the item with the focus rectangle
    std::int32_t anchor = -1;
    std::vector<std::int32_t> tabs;
};

bool multi(OsWindow w) { return (os_get_style(w) & (OS_LBS_MULTIPLESEL | OS_LBS_EXTENDEDSEL)) != 0; }
bool notify(OsWindow w) { return (os_get_style(w) & OS_LBS_NOTIFY) != 0; }

std::int32_t item_height(const WinRec& r) { return QFontMetrics(control_font(r)).height() + 1; }

void select_only(ListData* d, std::int32_t i) {
    std::fill(d->selected.begin(), d->selected.end(), 0);
    if (i >= 0 && i < static_cast<std::int32_t>(d->selected.size())) d->selected[static_cast<std::size_t>(i)] = 1;
}

void user_select(OsWindow w, std::int32_t i, bool shift, bool ctrl) {
    ListData* d = control_data<ListData>(w);
    const auto n = static_cast<std::int32_t>(d->items.size());
    if (i < 0 || i >= n) return;
    const std::uint32_t style = os_get_style(w);
    const auto ui = static_cast<std::size_t>(i);
    if (style & OS_LBS_EXTENDEDSEL) {
        if (shift && d->anchor >= 0) {
            if (!ctrl) std::fill(d->selected.begin(), d->selected.end(), 0);
            for (std::int32_t k = std::min(d->anchor, i); k <= std::max(d->anchor, i); ++k)
                d->selected[static_cast<std::size_t>(k)] = 1;
        } else if (ctrl) {
            d->selected[ui] = !d->selected[ui];
            d->anchor = i;
        } else {
            select_only(d, i);
            d->anchor = i;
        }
    } else if (style & OS_LBS_MULTIPLESEL) {
        d->selected[ui] = !d->selected[ui];
    } else {
        select_only(d, i);
    }
    d->caret = i;
    control_repaint(w);
    if (notify(w)) notify_parent(w, LBN_SELCHANGE);
}

std::intptr_t list_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    WinRec* r = rec(w);
    ListData* d = control_data<ListData>(w);
    if (!r || !d) return 0;
    const auto n = static_cast<std::int32_t>(d->items.size());
    const auto idx = static_cast<std::int32_t>(wp);
    switch (m) {
    case OSM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        std::int32_t at = m == LB_ADDSTRING || idx < 0 || idx > n ? n : idx;
        if (m == LB_INSERTSTRING && idx > n) return OS_LB_ERR;
        d->items.insert(d->items.begin() + at, lp ? std::string(reinterpret_cast<const char*>(lp)) : std::string());
        d->selected.insert(d->selected.begin() + at, 0);
        control_repaint(w);
        return at;
    }
    case LB_DELETESTRING:
        if (idx < 0 || idx >= n) return OS_LB_ERR;
        d->items.erase(d->items.begin() + idx);
        d->selected.erase(d->selected.begin() + idx);
        if (d->caret >= n - 1) d->caret = n - 2;
        control_repaint(w);
        return n - 1;
    case LB_RESETCONTENT:
        d->items.clear();
        d->selected.clear();
        d->caret = d->anchor = -1;
        control_repaint(w);
        return 0;
    case LB_GETCOUNT:
        return n;
    case LB_GETITEMHEIGHT:
        return item_height(*r);
    case LB_GETTEXT:
    case LB_GETTEXTLEN: {
        if (idx < 0 || idx >= n) return OS_LB_ERR;
        const std::string& s = d->items[static_cast<std::size_t>(idx)];
        if (m == LB_GETTEXT && lp) {
            std::copy(s.begin(), s.end(), reinterpret_cast<char*>(lp));
            reinterpret_cast<char*>(lp)[s.size()] = '\0';
        }
        return static_cast<std::intptr_t>(s.size());
    }
    case LB_SETCURSEL:
        if (multi(w)) return OS_LB_ERR;
        select_only(d, idx);
        d->caret = idx >= 0 && idx < n ? idx : -1;
        control_repaint(w);
        return idx >= 0 && idx < n ? idx : OS_LB_ERR;
    case LB_GETCURSEL:
        if (multi(w)) return d->caret;
        for (std::int32_t i = 0; i < n; ++i)
            if (d->selected[static_cast<std::size_t>(i)]) return i;
        return OS_LB_ERR;
    case LB_SETSEL: {
        if (!multi(w)) return OS_LB_ERR;
        const auto at = static_cast<std::int32_t>(lp);
        if (at == -1) {
            std::fill(d->selected.begin(), d->selected.end(), wp ? 1 : 0);
        } else {
            if (at < 0 || at >= n) return OS_LB_ERR;
            d->selected[static_cast<std::size_t>(at)] = wp ? 1 : 0;
        }
        control_repaint(w);
        return 0;
    }
    case LB_GETSEL:
        if (idx < 0 || idx >= n) return OS_LB_ERR;
        return d->selected[static_cast<std::size_t>(idx)] ? 1 : 0;
    case LB_GETSELCOUNT:
        if (!multi(w)) return OS_LB_ERR;
        return static_cast<std::intptr_t>(std::count(d->selected.begin(), d->selected.end(), 1));
    case LB_SETTABSTOPS: {
        const auto* a = reinterpret_cast<const std::int32_t*>(lp);
        d->tabs.assign(a, a + (a ? static_cast<std::ptrdiff_t>(wp) : 0));
        control_repaint(w);
        return 1;
    }
    case OSM_LBUTTONDOWN:
    case OSM_LBUTTONDBLCLK: {
        os_set_focus(w);
        const std::int32_t i = static_cast<std::int16_t>((lp >> 16) & 0xFFFF) / item_height(*r);
        if (m == OSM_LBUTTONDBLCLK) {
            if (i < n && notify(w)) notify_parent(w, LBN_DBLCLK);
            return 0;
        }
        user_select(w, i, (wp & OS_MK_SHIFT) != 0, (wp & OS_MK_CONTROL) != 0);
        return 0;
    }
    case OSM_KEYDOWN: {
        const bool shift = (os_get_key_state(OS_VK_SHIFT) & 0x8000) != 0;
        std::int32_t i = d->caret;
        if (wp == OS_VK_UP) i = std::max(0, i - 1);
        else if (wp == OS_VK_DOWN) i = std::min(n - 1, i + 1);
        else if (wp == OS_VK_HOME) i = 0;
        else if (wp == OS_VK_END) i = n - 1;
        else if (wp == OS_VK_SPACE && (os_get_style(w) & OS_LBS_MULTIPLESEL)) {
            user_select(w, i, false, false);
            return 0;
        } else return 0;
        if (os_get_style(w) & OS_LBS_MULTIPLESEL) {
            d->caret = i;
            control_repaint(w);
        } else {
            user_select(w, i, shift, false);
        }
        return 0;
    }
    case OSM_SETFOCUS:
    case OSM_KILLFOCUS:
        control_repaint(w);
        if (notify(w)) notify_parent(w, m == OSM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
        return 0;
    default:
        return control_default(w, m, wp, lp);
    }
}

void paint_list(WinRec& r, QWidget* wg, QPainter& p) {
    ListData* d = control_data<ListData>(r.h);
    std::uint32_t text = os_sys_colour(OS_COLOR_WINDOWTEXT), back = os_sys_colour(OS_COLOR_WINDOW);
    control_colours(r.h, OSM_CTLCOLORLISTBOX, text, back);
    const QRect all = wg->rect();
    p.fillRect(all, qcolour(back));
    p.setPen(QColor(128, 128, 128));
    p.drawRect(all.adjusted(0, 0, -1, -1));
    if (!d) return;
    p.setFont(control_font(r));
    const int h = item_height(r);
    for (std::size_t i = 0; i < d->items.size(); ++i) {
        const QRect row(1, static_cast<int>(i) * h, all.width() - 2, h);
        if (row.top() > all.bottom()) break;
        const bool sel = d->selected[i] != 0;
        if (sel) p.fillRect(row, QColor(0, 120, 215));
        p.setPen(sel ? QColor(Qt::white) : qcolour(text));
        p.drawText(row.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextExpandTabs, qtext(d->items[i]));
    }
}

}  // namespace

void register_listbox_class() { register_control_class("LISTBOX", list_proc, paint_list, OS_CS_DBLCLKS); }

}  // namespace osw
