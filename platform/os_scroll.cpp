// Scroll bars of child windows: their ranges, pages and positions, the room
// they take beside the client area, clicks on their arrows and troughs, and
// their drawing.
#include <algorithm>

#include "platform/os_config.h"
#include "platform/os_dialog.h"
#include "platform/os_window_p.h"

namespace osw {

namespace {

constexpr std::uint32_t BarStyle[2] = {OS_WS_HSCROLL, OS_WS_VSCROLL};

std::int32_t bar_size() { return os_config().scroll_bar_size; }

// A bar's rectangle in widget coordinates: along the client area's bottom
// (horizontal) or right edge (vertical).
QRect bar_rect(const WinRec& r, int bar) {
    const QPoint co = client_origin_in_widget(r);
    const OsPoint cs = client_size(r);
    if (bar == OS_SB_HORZ) return {co.x(), co.y() + cs.y, cs.x, bar_size()};
    return {co.x() + cs.x, co.y(), bar_size(), cs.y};
}

// Start and length of the thumb along the trough between the two arrows.
std::pair<int, int> thumb(const ScrollBar& b, int trough) {
    const std::int64_t range = std::int64_t{b.max} - b.min + 1;
    const int len = b.page > 0 ? static_cast<int>(std::max<std::int64_t>(8, trough * b.page / std::max<std::int64_t>(range, 1)))
                               : std::min(trough, bar_size());
    const int thumb_len = std::min(len, trough);
    const std::int64_t travel = range - std::max(b.page, 1);
    const int at = travel > 0 ? static_cast<int>((trough - thumb_len) * (std::int64_t{b.pos} - b.min) / travel) : 0;
    return {at, thumb_len};
}

void clamp(ScrollBar& b) {
    if (b.max < b.min) b.max = b.min;
    const std::int64_t range = std::int64_t{b.max} - b.min + 1;
    b.page = static_cast<std::int32_t>(std::clamp<std::int64_t>(b.page, 0, range));
    const std::int32_t last = static_cast<std::int32_t>(b.max - std::max(b.page - 1, 0));
    b.pos = std::clamp(b.pos, b.min, std::max(last, b.min));
}

}  // namespace

bool scroll_bar_shown(const WinRec& r, int bar) {
    if (!r.child() || !(r.style & BarStyle[bar])) return false;
    const ScrollBar& b = r.scroll[static_cast<std::size_t>(bar)];
    const std::int64_t range = std::int64_t{b.max} - b.min;
    return b.page > 0 ? range >= b.page : range > 0;
}

void add_scroll_bars(const WinRec& r, Insets& in) {
    if (scroll_bar_shown(r, OS_SB_VERT)) in.r += bar_size();
    if (scroll_bar_shown(r, OS_SB_HORZ)) in.b += bar_size();
}

std::int32_t scroll_hit(const WinRec& r, QPoint local) {
    if (scroll_bar_shown(r, OS_SB_HORZ) && bar_rect(r, OS_SB_HORZ).contains(local)) return OS_HTHSCROLL;
    if (scroll_bar_shown(r, OS_SB_VERT) && bar_rect(r, OS_SB_VERT).contains(local)) return OS_HTVSCROLL;
    return 0;
}

void scroll_click(OsWindow h, std::int32_t hit, OsPoint screen) {
    WinRec* r = rec(h);
    if (!r) return;
    const int bar = hit == OS_HTHSCROLL ? OS_SB_HORZ : OS_SB_VERT;
    if (!scroll_bar_shown(*r, bar)) return;
    // The click along the bar, from its start.
    const OsPoint origin = client_origin_on_screen(*r);
    const OsPoint cs = client_size(*r);
    const int along = bar == OS_SB_HORZ ? screen.x - origin.x : screen.y - origin.y;
    const int length = bar == OS_SB_HORZ ? cs.x : cs.y;
    const int arrow = std::min(bar_size(), length / 2);
    const int trough = length - 2 * arrow;
    std::int32_t code = -1;
    if (along < arrow) {
        code = SB_LINEUP;
    } else if (along >= length - arrow) {
        code = SB_LINEDOWN;
    } else {
        const auto [at, len] = thumb(r->scroll[static_cast<std::size_t>(bar)], trough);
        if (along < arrow + at) code = SB_PAGEUP;
        else if (along >= arrow + at + len) code = SB_PAGEDOWN;
    }
    if (code < 0) return;
    const std::uint32_t msg = bar == OS_SB_HORZ ? OSM_HSCROLL : OSM_VSCROLL;
    os_send_message(h, msg, static_cast<std::uintptr_t>(code), 0);
    if (rec(h)) os_send_message(h, msg, SB_ENDSCROLL, 0);
}

void paint_scroll_bars(const WinRec& r, QPainter& p) {
    const bool shown[2] = {scroll_bar_shown(r, OS_SB_HORZ), scroll_bar_shown(r, OS_SB_VERT)};
    for (int bar = 0; bar < 2; ++bar) {
        if (!shown[bar]) continue;
        const QRect q = bar_rect(r, bar);
        p.fillRect(q, QColor(232, 232, 232));
        const bool h = bar == OS_SB_HORZ;
        const int length = h ? q.width() : q.height();
        const int arrow = std::min(bar_size(), length / 2);
        const QColor button(200, 200, 200), mark(96, 96, 96);
        const QRect first = h ? QRect(q.left(), q.top(), arrow, q.height()) : QRect(q.left(), q.top(), q.width(), arrow);
        const QRect last = h ? QRect(q.right() + 1 - arrow, q.top(), arrow, q.height())
                             : QRect(q.left(), q.bottom() + 1 - arrow, q.width(), arrow);
        p.fillRect(first, button);
        p.fillRect(last, button);
        p.fillRect(first.adjusted(arrow / 3, arrow / 3, -arrow / 3, -arrow / 3), mark);
        p.fillRect(last.adjusted(arrow / 3, arrow / 3, -arrow / 3, -arrow / 3), mark);
        const auto [at, len] = thumb(r.scroll[static_cast<std::size_t>(bar)], length - 2 * arrow);
        const QRect t = h ? QRect(q.left() + arrow + at, q.top() + 2, len, q.height() - 4)
                          : QRect(q.left() + 2, q.top() + arrow + at, q.width() - 4, len);
        p.fillRect(t, QColor(160, 160, 160));
    }
    if (shown[0] && shown[1]) {
        const QRect hq = bar_rect(r, OS_SB_HORZ), vq = bar_rect(r, OS_SB_VERT);
        p.fillRect(QRect(vq.left(), hq.top(), vq.width(), hq.height()), qcolour(os_sys_colour(OS_COLOR_BTNFACE)));
    }
}

}  // namespace osw

using namespace osw;

std::int32_t os_set_scroll_info(OsWindow w, std::int32_t bar, const OsScrollInfo& info) {
    WinRec* r = rec(w);
    if (!r || (bar != OS_SB_HORZ && bar != OS_SB_VERT)) return 0;
    const OsPoint before = client_size(*r);
    const bool was_shown = scroll_bar_shown(*r, bar);
    ScrollBar& b = r->scroll[static_cast<std::size_t>(bar)];
    if (info.mask & OS_SIF_RANGE) {
        b.min = info.min;
        b.max = info.max;
    }
    if (info.mask & OS_SIF_PAGE) b.page = info.page;
    if (info.mask & OS_SIF_POS) b.pos = info.pos;
    clamp(b);
    const std::int32_t pos = b.pos;
    if (scroll_bar_shown(*r, bar) != was_shown)
        client_refit(w, before);
    else if (r->widget)
        r->widget->update();
    return pos;
}

bool os_get_scroll_info(OsWindow w, std::int32_t bar, OsScrollInfo& info) {
    WinRec* r = rec(w);
    if (!r || (bar != OS_SB_HORZ && bar != OS_SB_VERT)) return false;
    const ScrollBar& b = r->scroll[static_cast<std::size_t>(bar)];
    info.mask = OS_SIF_ALL;
    info.min = b.min;
    info.max = b.max;
    info.page = b.page;
    info.pos = b.pos;
    return true;
}
