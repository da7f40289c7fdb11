// The up-down control ("msctls_updown32"): a position in a range, a buddy
// window that may show it, and acceleration steps. A spin asks the parent
// first (OSM_NOTIFY with OS_UDN_DELTAPOS), which may refuse it or change the
// step; then the position moves and OSM_VSCROLL reports it.
#include "platform/os_control_p.h"

namespace osw {

namespace {

struct UpDownData : ControlData {
    std::int32_t lower = 100, upper = 0, pos = 0;  // the system's default range runs downwards
    OsWindow buddy = 0;
    std::vector<OsUpDownAccel> accel{{0, 1}};
    // A held button: its direction (0 none) and when it went down.
    std::int32_t held = 0;
    std::uint32_t pressed_at = 0;
};

constexpr std::uintptr_t RepeatTimer = 1;
constexpr std::uint32_t RepeatMs = 100;

// The increment of the acceleration stage reached after the button has been
// held so long (the configurable clock's milliseconds).
std::int32_t held_increment(const UpDownData* d) {
    const std::uint32_t seconds = (os_tick_count() - d->pressed_at) / 1000;
    std::int32_t inc = static_cast<std::int32_t>(d->accel.front().increment);
    for (const OsUpDownAccel& a : d->accel)
        if (a.seconds <= seconds) inc = static_cast<std::int32_t>(a.increment);
    return inc;
}

void spin(OsWindow w, UpDownData* d, std::int32_t delta) {
    WinRec* r = rec(w);
    if (!r) return;
    if (d->lower > d->upper) delta = -delta;
    OsUpDownNotify n;
    n.hdr = {w, static_cast<std::uintptr_t>(r->id), OS_UDN_DELTAPOS};
    n.pos = d->pos;
    n.delta = delta;
    if (r->parent && os_send_message(r->parent, OSM_NOTIFY, static_cast<std::uintptr_t>(r->id),
                                     reinterpret_cast<std::intptr_t>(&n)))
        return;
    if (!rec(w)) return;
    const std::int32_t lo = std::min(d->lower, d->upper), hi = std::max(d->lower, d->upper);
    d->pos = std::clamp(d->pos + n.delta, lo, hi);
    if ((os_get_style(w) & OS_UDS_SETBUDDYINT) && d->buddy) {
        const std::string t = std::to_string(d->pos);
        os_send_message(d->buddy, OSM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(t.c_str()));
    }
    if (WinRec* r2 = rec(w); r2 && r2->parent) {
        os_send_message(r2->parent, OSM_VSCROLL, static_cast<std::uintptr_t>(SB_THUMBPOSITION | ((d->pos & 0xFFFF) << 16)), w);
        if (rec(w)) os_send_message(r2->parent, OSM_VSCROLL, SB_ENDSCROLL, w);
    }
}

std::intptr_t updown_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    UpDownData* d = control_data<UpDownData>(w);
    if (!d) return 0;
    switch (m) {
    case OSM_CREATE:
        if (os_get_style(w) & OS_UDS_AUTOBUDDY) {
            // The control made just before it.
            const std::vector<OsWindow> sib = os_child_windows(os_get_parent(w));
            auto it = std::find(sib.begin(), sib.end(), w);
            if (it != sib.end() && it != sib.begin()) d->buddy = *(it - 1);
        }
        return 0;
    case OSM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case UDM_SETRANGE:
        d->upper = static_cast<std::int16_t>(lp & 0xFFFF);
        d->lower = static_cast<std::int16_t>((lp >> 16) & 0xFFFF);
        return 0;
    case UDM_GETRANGE: return os_make_lparam(d->upper, d->lower);
    case UDM_SETPOS: {
        const std::int32_t old = d->pos;
        d->pos = static_cast<std::int16_t>(lp & 0xFFFF);
        return old;
    }
    case UDM_GETPOS: return d->pos & 0xFFFF;
    case UDM_SETBUDDY: {
        const OsWindow old = d->buddy;
        d->buddy = static_cast<OsWindow>(wp);
        // Aligned right, the control takes the right end of its buddy, which
        // gives up that much of its width.
        if (d->buddy && (os_get_style(w) & OS_UDS_ALIGNRIGHT) && os_get_parent(d->buddy) == os_get_parent(w)) {
            OsRect b;
            os_get_window_rect(d->buddy, b);
            OsPoint tl{b.left, b.top};
            if (const OsWindow p = os_get_parent(w)) os_screen_to_client(p, tl);
            const std::int32_t width = std::min(b.width() / 2, std::max(12, b.height() * 3 / 4));
            os_set_window_pos(d->buddy, 0, 0, 0, b.width() - width, b.height(),
                              OS_SWP_NOMOVE | OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
            os_set_window_pos(w, 0, tl.x + b.width() - width, tl.y, width, b.height(),
                              OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
        }
        return old;
    }
    case UDM_GETBUDDY: return d->buddy;
    case UDM_SETACCEL: {
        const auto* a = reinterpret_cast<const OsUpDownAccel*>(lp);
        if (!a || wp == 0) return 0;
        d->accel.assign(a, a + wp);
        return 1;
    }
    case UDM_GETACCEL: {
        auto* a = reinterpret_cast<OsUpDownAccel*>(lp);
        const std::size_t n = std::min<std::size_t>(wp, d->accel.size());
        if (a) std::copy_n(d->accel.begin(), n, a);
        return static_cast<std::intptr_t>(d->accel.size());
    }
    case OSM_LBUTTONDOWN: {
        OsRect r;
        os_get_client_rect(w, r);
        const std::int32_t y = static_cast<std::int16_t>((lp >> 16) & 0xFFFF);
        const auto step = static_cast<std::int32_t>(d->accel.front().increment);
        // Shift asks for the larger, accelerated step.
        const std::int32_t big = d->accel.size() > 1 ? static_cast<std::int32_t>(d->accel[1].increment) : step;
        const std::int32_t s = (wp & OS_MK_SHIFT) ? big : step;
        // Held, the button repeats, faster once the next stage's time has come.
        d->held = y < r.height() / 2 ? 1 : -1;
        d->pressed_at = os_tick_count();
        os_set_capture(w);
        os_set_timer(w, RepeatTimer, RepeatMs);
        spin(w, d, d->held * s);
        return 0;
    }
    case OSM_TIMER:
        if (wp == RepeatTimer && d->held) spin(w, d, d->held * held_increment(d));
        return 0;
    case OSM_LBUTTONUP:
        if (d->held) {
            d->held = 0;
            os_kill_timer(w, RepeatTimer);
            if (os_get_capture() == w) os_release_capture();
        }
        return 0;
    case OSM_KEYDOWN:
        if (wp == OS_VK_UP) spin(w, d, static_cast<std::int32_t>(d->accel.front().increment));
        else if (wp == OS_VK_DOWN) spin(w, d, -static_cast<std::int32_t>(d->accel.front().increment));
        return 0;
    default:
        return control_default(w, m, wp, lp);
    }
}

void paint_updown(WinRec&, QWidget* wg, QPainter& p) {
    const QRect all = wg->rect();
    p.fillRect(all, QColor(225, 225, 225));
    p.setPen(QColor(128, 128, 128));
    p.drawRect(all.adjusted(0, 0, -1, all.height() / 2 - all.height()));
    p.drawRect(all.adjusted(0, all.height() / 2, -1, -1));
    p.setPen(Qt::black);
    const int cx = all.width() / 2, q = all.height() / 4;
    p.drawLine(cx - 2, q + 1, cx + 2, q + 1);
    p.drawLine(cx, q - 1, cx, q - 1);
    p.drawLine(cx - 2, 3 * q - 1, cx + 2, 3 * q - 1);
    p.drawLine(cx, 3 * q + 1, cx, 3 * q + 1);
}

}  // namespace

void register_updown_class() { register_control_class("msctls_updown32", updown_proc, paint_updown); }

}  // namespace osw
