// The tab control ("SysTabControl32"): items with a text and 8 bytes of item
// data, the current item, and the display area below the tabs. A click on
// another tab asks the parent (OS_TCN_SELCHANGING, non-zero refuses) and
// then tells it (OS_TCN_SELCHANGE), both as OSM_NOTIFY.
#include <QFontMetrics>

#include "platform/os_control_p.h"

namespace osw {

namespace {

struct TabData : ControlData {
    std::vector<OsTabItem> items;
    std::int32_t cur = -1;
};

std::int32_t strip_height(const WinRec& r) { return QFontMetrics(control_font(r)).height() + 8; }

std::intptr_t tell(OsWindow w, std::int32_t code) {
    WinRec* r = rec(w);
    if (!r || !r->parent) return 0;
    OsNotifyHeader h{w, static_cast<std::uintptr_t>(r->id), code};
    return os_send_message(r->parent, OSM_NOTIFY, static_cast<std::uintptr_t>(r->id), reinterpret_cast<std::intptr_t>(&h));
}

std::int32_t tab_width(const WinRec& r, const OsTabItem& t) {
    return QFontMetrics(control_font(r)).horizontalAdvance(qtext(t.text)) + 12;
}

void user_select(OsWindow w, TabData* d, std::int32_t i) {
    if (i < 0 || i >= static_cast<std::int32_t>(d->items.size()) || i == d->cur) return;
    if (tell(w, OS_TCN_SELCHANGING)) return;
    if (!rec(w)) return;
    d->cur = i;
    control_repaint(w);
    tell(w, OS_TCN_SELCHANGE);
}

std::intptr_t tab_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    WinRec* r = rec(w);
    TabData* d = control_data<TabData>(w);
    if (!r || !d) return 0;
    const auto n = static_cast<std::int32_t>(d->items.size());
    const auto idx = static_cast<std::int32_t>(wp);
    switch (m) {
    case OSM_GETDLGCODE: return DLGC_WANTARROWS;
    case TCM_SETITEMEXTRA: return wp <= 8 ? 1 : 0;
    case TCM_GETITEMCOUNT: return n;
    case TCM_INSERTITEM: {
        const auto* it = reinterpret_cast<const OsTabItem*>(lp);
        if (!it || idx < 0) return -1;
        const std::int32_t at = std::min(idx, n);
        d->items.insert(d->items.begin() + at, *it);
        if (d->cur < 0) d->cur = 0;
        else if (d->cur >= at && n > 0) ++d->cur;
        control_repaint(w);
        return at;
    }
    case TCM_GETITEM:
    case TCM_SETITEM: {
        auto* it = reinterpret_cast<OsTabItem*>(lp);
        if (!it || idx < 0 || idx >= n) return 0;
        if (m == TCM_GETITEM) *it = d->items[static_cast<std::size_t>(idx)];
        else d->items[static_cast<std::size_t>(idx)] = *it;
        control_repaint(w);
        return 1;
    }
    case TCM_DELETEALLITEMS:
        d->items.clear();
        d->cur = -1;
        control_repaint(w);
        return 1;
    case TCM_GETCURSEL: return d->cur;
    case TCM_SETCURSEL: {
        const std::int32_t old = d->cur;
        if (idx < 0 || idx >= n) return -1;
        d->cur = idx;
        control_repaint(w);
        return old;
    }
    case TCM_GETITEMRECT: {
        auto* rc = reinterpret_cast<OsRect*>(lp);
        if (!rc || idx < 0 || idx >= n) return 0;
        std::int32_t left = 2;
        for (std::int32_t i = 0; i < idx; ++i) left += tab_width(*r, d->items[static_cast<std::size_t>(i)]);
        // The current tab stands 2 pixels higher, as it is drawn.
        *rc = {left, idx == d->cur ? 0 : 2, left + tab_width(*r, d->items[static_cast<std::size_t>(idx)]), strip_height(*r)};
        return 1;
    }
    case TCM_HITTEST: {
        const auto* pt = reinterpret_cast<const OsPoint*>(lp);
        if (!pt || pt->y < 0 || pt->y >= strip_height(*r)) return -1;
        std::int32_t left = 2;
        for (std::int32_t i = 0; i < n; ++i) {
            const std::int32_t wdt = tab_width(*r, d->items[static_cast<std::size_t>(i)]);
            if (pt->x >= left && pt->x < left + wdt) return i;
            left += wdt;
        }
        return -1;
    }
    case TCM_SETCURFOCUS:
        user_select(w, d, idx);
        return 0;
    case TCM_ADJUSTRECT: {
        // wp 0: from the window rectangle to the display area; else the reverse.
        auto* rc = reinterpret_cast<OsRect*>(lp);
        if (!rc) return 0;
        const std::int32_t h = strip_height(*r);
        if (wp == 0) {
            rc->left += 4;
            rc->right -= 4;
            rc->top += h + 2;
            rc->bottom -= 4;
        } else {
            rc->left -= 4;
            rc->right += 4;
            rc->top -= h + 2;
            rc->bottom += 4;
        }
        return 0;
    }
    case OSM_LBUTTONDOWN: {
        os_set_focus(w);
        const std::int32_t x = static_cast<std::int16_t>(lp & 0xFFFF), y = static_cast<std::int16_t>((lp >> 16) & 0xFFFF);
        if (y >= strip_height(*r)) return 0;
        std::int32_t left = 2;
        for (std::int32_t i = 0; i < n; ++i) {
            const std::int32_t wdt = tab_width(*r, d->items[static_cast<std::size_t>(i)]);
            if (x >= left && x < left + wdt) {
                user_select(w, d, i);
                break;
            }
            left += wdt;
        }
        return 0;
    }
    case OSM_KEYDOWN:
        if (wp == OS_VK_LEFT) user_select(w, d, d->cur - 1);
        else if (wp == OS_VK_RIGHT) user_select(w, d, d->cur + 1);
        return 0;
    case OSM_SETFOCUS:
    case OSM_KILLFOCUS:
        control_repaint(w);
        return 0;
    default:
        return control_default(w, m, wp, lp);
    }
}

void paint_tab(WinRec& r, QWidget* wg, QPainter& p) {
    TabData* d = control_data<TabData>(r.h);
    const QRect all = wg->rect();
    p.fillRect(all, qcolour(os_sys_colour(OS_COLOR_BTNFACE)));
    const int h = strip_height(r);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(QRect(0, h, all.width() - 1, all.height() - h - 1));
    if (!d) return;
    p.setFont(control_font(r));
    int left = 2;
    for (std::size_t i = 0; i < d->items.size(); ++i) {
        const int wdt = tab_width(r, d->items[i]);
        const bool cur = static_cast<std::int32_t>(i) == d->cur;
        const QRect tab(left, cur ? 0 : 2, wdt, h - (cur ? 0 : 2));
        p.setPen(QColor(128, 128, 128));
        p.drawRect(tab);
        const QString caption = qtext(d->items[i].text);
        if (d->items[i].embossed) {
            // In the tab shrunk by 2, centred, 3 pixels below its top.
            const QRect in = tab.adjusted(2, 2, -2, -2);
            const QRect line(in.left(), tab.top() + 3, in.width(), QFontMetrics(p.font()).height());
            p.save();
            p.setClipRect(in);
            p.setBackgroundMode(Qt::OpaqueMode);
            p.setBackground(qcolour(os_sys_colour(OS_COLOR_BTNFACE)));
            p.setPen(qcolour(os_sys_colour(OS_COLOR_BTNHIGHLIGHT)));
            p.drawText(line.translated(1, 1), Qt::AlignHCenter | Qt::AlignTop, caption);
            p.setBackgroundMode(Qt::TransparentMode);
            p.setPen(qcolour(os_sys_colour(OS_COLOR_BTNSHADOW)));
            p.drawText(line, Qt::AlignHCenter | Qt::AlignTop, caption);
            p.restore();
        } else {
            p.setPen(Qt::black);
            p.drawText(tab, Qt::AlignCenter, caption);
        }
        left += wdt;
    }
}

}  // namespace

void register_tab_class() { register_control_class("SysTabControl32", tab_proc, paint_tab); }

}  // namespace osw
