// The SCROLLBAR class: a plain bar with a range and a position, or the size
// grip (size-box style) that a resizable dialog keeps in its bottom-right
// corner; dragging the grip sizes the top-level window it belongs to.
#include "platform/os_control_p.h"

namespace osw {

namespace {

enum : std::uint32_t { SBM_SETPOS = 0xE0, SBM_GETPOS = 0xE1, SBM_SETRANGE = 0xE2, SBM_GETRANGE = 0xE3 };

struct ScrollData : ControlData {
    std::int32_t min = 0, max = 100, pos = 0;
    bool dragging = false;
    OsPoint from;
    OsRect start;
};

OsWindow top_of(OsWindow w) {
    while (os_get_style(w) & OS_WS_CHILD) w = os_get_parent(w);
    return w;
}

bool grip(OsWindow w) { return (os_get_style(w) & (OS_SBS_SIZEBOX | OS_SBS_SIZEGRIP)) != 0; }

std::intptr_t scroll_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    ScrollData* d = control_data<ScrollData>(w);
    if (!d) return 0;
    switch (m) {
    case SBM_SETPOS: {
        const std::int32_t old = d->pos;
        d->pos = std::clamp(static_cast<std::int32_t>(wp), d->min, std::max(d->min, d->max));
        if (lp) control_repaint(w);
        return old;
    }
    case SBM_GETPOS: return d->pos;
    case SBM_SETRANGE:
        d->min = static_cast<std::int32_t>(wp);
        d->max = static_cast<std::int32_t>(lp);
        return 0;
    case OSM_LBUTTONDOWN:
        if (!grip(w)) return 0;
        d->dragging = true;
        os_get_cursor_pos(d->from);
        os_get_window_rect(top_of(w), d->start);
        os_set_capture(w);
        return 0;
    case OSM_MOUSEMOVE:
        if (d->dragging) {
            OsPoint p;
            os_get_cursor_pos(p);
            const OsWindow t = top_of(w);
            os_set_window_pos(t, 0, 0, 0, d->start.width() + p.x - d->from.x, d->start.height() + p.y - d->from.y,
                              OS_SWP_NOMOVE | OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
        }
        return 0;
    case OSM_LBUTTONUP:
        if (d->dragging) {
            d->dragging = false;
            os_release_capture();
        }
        return 0;
    default:
        return control_default(w, m, wp, lp);
    }
}

void paint_scroll(WinRec& r, QWidget* wg, QPainter& p) {
    const QRect all = wg->rect();
    if (r.style & (OS_SBS_SIZEBOX | OS_SBS_SIZEGRIP)) {
        // Only the corner box is drawn; the rest of the bounding box shows what lies beneath.
        const int s = 14;
        const QRect box(all.width() - s, all.height() - s, s, s);
        p.fillRect(box, qcolour(os_sys_colour(OS_COLOR_BTNFACE)));
        p.setPen(QColor(128, 128, 128));
        for (int k = 4; k <= 12; k += 4) p.drawLine(box.right() - k, box.bottom(), box.right(), box.bottom() - k);
        return;
    }
    p.fillRect(all, QColor(240, 240, 240));
    ScrollData* d = control_data<ScrollData>(r.h);
    if (!d || d->max <= d->min) return;
    const bool vert = (r.style & 1) != 0;
    const int len = (vert ? all.height() : all.width()) - 16;
    const int at = (d->pos - d->min) * len / (d->max - d->min);
    p.fillRect(vert ? QRect(0, at, all.width(), 16) : QRect(at, 0, 16, all.height()), QColor(192, 192, 192));
}

}  // namespace

void register_scrollbar_class() { register_control_class("SCROLLBAR", scroll_proc, paint_scroll); }

}  // namespace osw
