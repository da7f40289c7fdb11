// The trackbar ("msctls_trackbar32"): a range with a position, line and
// page sizes, tick marks and an optional selection range. Moves are
// reported to the parent as OSM_HSCROLL (OSM_VSCROLL when vertical),
// followed by the end-of-tracking code 8.
#include "platform/os_control_p.h"

namespace osw {

namespace {

struct TrackData : ControlData {
    std::int32_t min = 0, max = 100, pos = 0, line = 1, page = 20, freq = 1;
    std::int32_t sel_start = 0, sel_end = 0;
};

void report(OsWindow w, std::int32_t code, std::int32_t pos) {
    WinRec* r = rec(w);
    if (!r || !r->parent) return;
    const std::uint32_t msg = (r->style & OS_TBS_VERT) ? OSM_VSCROLL : OSM_HSCROLL;
    os_send_message(r->parent, msg, static_cast<std::uintptr_t>((code & 0xFFFF) | ((pos & 0xFFFF) << 16)), w);
}

void move_to(OsWindow w, TrackData* d, std::int32_t v, std::int32_t code) {
    d->pos = std::clamp(v, d->min, std::max(d->min, d->max));
    control_repaint(w);
    report(w, code, d->pos);
    if (rec(w)) report(w, SB_ENDSCROLL, 0);
}

std::intptr_t track_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    TrackData* d = control_data<TrackData>(w);
    if (!d) return 0;
    const auto v = static_cast<std::int32_t>(lp);
    switch (m) {
    case OSM_GETDLGCODE: return DLGC_WANTARROWS;
    case TBM_GETPOS: return d->pos;
    case TBM_GETRANGEMIN: return d->min;
    case TBM_GETRANGEMAX: return d->max;
    case TBM_SETPOS:
        d->pos = std::clamp(v, d->min, std::max(d->min, d->max));
        if (wp) control_repaint(w);
        return 0;
    case TBM_SETRANGE:
        d->min = static_cast<std::int16_t>(lp & 0xFFFF);
        d->max = static_cast<std::int16_t>((lp >> 16) & 0xFFFF);
        d->pos = std::clamp(d->pos, d->min, std::max(d->min, d->max));
        if (wp) control_repaint(w);
        return 0;
    case TBM_SETSEL:
        d->sel_start = static_cast<std::int16_t>(lp & 0xFFFF);
        d->sel_end = static_cast<std::int16_t>((lp >> 16) & 0xFFFF);
        if (wp) control_repaint(w);
        return 0;
    case TBM_GETSELSTART: return d->sel_start;
    case TBM_GETSELEND: return d->sel_end;
    case TBM_CLEARSEL:
        d->sel_start = d->sel_end = 0;
        if (wp) control_repaint(w);
        return 0;
    case TBM_SETTICFREQ:
        d->freq = std::max<std::int32_t>(1, static_cast<std::int32_t>(wp));
        control_repaint(w);
        return 0;
    case TBM_GETNUMTICS:
        if (os_get_style(w) & OS_TBS_NOTICKS) return 0;
        if (!(os_get_style(w) & OS_TBS_AUTOTICKS)) return 2;
        return (d->max - d->min) / d->freq + 1 + ((d->max - d->min) % d->freq ? 1 : 0);
    case TBM_SETPAGESIZE: {
        const std::int32_t old = d->page;
        d->page = v;
        return old;
    }
    case TBM_GETPAGESIZE: return d->page;
    case TBM_SETLINESIZE: {
        const std::int32_t old = d->line;
        d->line = v;
        return old;
    }
    case TBM_GETLINESIZE: return d->line;
    case OSM_KEYDOWN:
        switch (wp) {
        case OS_VK_LEFT: case OS_VK_UP: move_to(w, d, d->pos - d->line, SB_LINEUP); break;
        case OS_VK_RIGHT: case OS_VK_DOWN: move_to(w, d, d->pos + d->line, SB_LINEDOWN); break;
        case OS_VK_PRIOR: move_to(w, d, d->pos - d->page, SB_PAGEUP); break;
        case OS_VK_NEXT: move_to(w, d, d->pos + d->page, SB_PAGEDOWN); break;
        case OS_VK_HOME: move_to(w, d, d->min, SB_TOP); break;
        case OS_VK_END: move_to(w, d, d->max, SB_BOTTOM); break;
        default: break;
        }
        return 0;
    case OSM_LBUTTONDOWN: {
        os_set_focus(w);
        OsRect r;
        os_get_client_rect(w, r);
        const bool vert = (os_get_style(w) & OS_TBS_VERT) != 0;
        const std::int32_t at = vert ? static_cast<std::int16_t>((lp >> 16) & 0xFFFF) : static_cast<std::int16_t>(lp & 0xFFFF);
        const std::int32_t len = std::max(1, (vert ? r.height() : r.width()) - 10);
        move_to(w, d, d->min + static_cast<std::int32_t>((static_cast<std::int64_t>(at - 5) * (d->max - d->min) + len / 2) / len),
                SB_THUMBPOSITION);
        return 0;
    }
    case OSM_SETFOCUS:
    case OSM_KILLFOCUS:
        control_repaint(w);
        return 0;
    default:
        return control_default(w, m, wp, lp);
    }
}

void paint_track(WinRec& r, QWidget* wg, QPainter& p) {
    TrackData* d = control_data<TrackData>(r.h);
    const QRect all = wg->rect();
    p.fillRect(all, qcolour(os_sys_colour(OS_COLOR_BTNFACE)));
    if (!d) return;
    const int len = std::max(1, all.width() - 10);
    const int span = std::max(1, d->max - d->min);
    auto x_of = [&](int v) { return 5 + (v - d->min) * len / span; };
    const int y = all.height() / 2;
    p.setPen(QColor(128, 128, 128));
    p.drawRect(QRect(5, y - 2, len, 4));
    if ((r.style & OS_TBS_ENABLESELRANGE) && d->sel_end > d->sel_start)
        p.fillRect(QRect(x_of(d->sel_start), y - 1, x_of(d->sel_end) - x_of(d->sel_start), 3), QColor(0, 120, 215));
    if (!(r.style & OS_TBS_NOTICKS))
        for (int v = d->min; v <= d->max; v += d->freq) p.drawLine(x_of(v), all.height() - 4, x_of(v), all.height() - 1);
    p.fillRect(QRect(x_of(d->pos) - 3, y - 7, 7, 14), QColor(0, 120, 215));
}

}  // namespace

void register_trackbar_class() { register_control_class("msctls_trackbar32", track_proc, paint_track); }

}  // namespace osw
