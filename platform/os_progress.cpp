// The progress bar ("msctls_progress32"): a range, a position and a step.
#include "platform/os_control_p.h"

namespace osw {

namespace {

struct ProgressData : ControlData {
    std::int32_t low = 0, high = 100, pos = 0, step = 10;
};

std::intptr_t progress_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    ProgressData* d = control_data<ProgressData>(w);
    if (!d) return 0;
    // The bar is painted again only when it changes: a long computation
    // sets the same position many times over.
    auto held = [d](std::int32_t v) { return std::clamp(v, std::min(d->low, d->high), std::max(d->low, d->high)); };
    auto set = [&](std::int32_t v) {
        const std::int32_t old = d->pos;
        d->pos = held(v);
        if (d->pos != old) control_repaint(w);
        return old;
    };
    switch (m) {
    case PBM_SETRANGE: {
        const std::intptr_t old = os_make_lparam(d->low, d->high);
        d->low = static_cast<std::int32_t>(lp & 0xFFFF);
        d->high = static_cast<std::int32_t>((lp >> 16) & 0xFFFF);
        d->pos = held(d->pos);
        control_repaint(w);
        return old;
    }
    case PBM_SETPOS: return set(static_cast<std::int32_t>(wp));
    case PBM_DELTAPOS: return set(d->pos + static_cast<std::int32_t>(wp));
    case PBM_SETSTEP: {
        const std::int32_t old = d->step;
        d->step = static_cast<std::int32_t>(wp);
        return old;
    }
    case PBM_STEPIT: {
        std::int32_t v = d->pos + d->step;
        if (v > d->high) v = d->low + (v - d->high);  // wraps as the system's bar does
        return set(v);
    }
    case PBM_GETRANGE: return wp ? d->low : d->high;
    case PBM_GETPOS: return d->pos;
    default:
        return control_default(w, m, wp, lp);
    }
}

void paint_progress(WinRec& r, QWidget* wg, QPainter& p) {
    ProgressData* d = control_data<ProgressData>(r.h);
    const QRect all = wg->rect();
    p.fillRect(all, qcolour(os_sys_colour(OS_COLOR_BTNFACE)));
    p.setPen(QColor(128, 128, 128));
    p.drawRect(all.adjusted(0, 0, -1, -1));
    if (!d || d->high == d->low) return;
    const double f = static_cast<double>(d->pos - d->low) / (d->high - d->low);
    p.fillRect(QRect(2, 2, static_cast<int>((all.width() - 4) * f), all.height() - 4), QColor(6, 176, 37));
}

}  // namespace

void register_progress_class() { register_control_class("msctls_progress32", progress_proc, paint_progress); }

}  // namespace osw
