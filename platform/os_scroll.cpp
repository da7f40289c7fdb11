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

// The thumb being dragged: its window and bar, where along the bar the drag
// began, the position then and the position it shows now.
struct ThumbDrag {
    OsWindow h = 0;
    int bar = 0;
    int start = 0;
    std::int32_t start_pos = 0, pos = 0;
};
ThumbDrag& thumb_drag() {
    static ThumbDrag d;
    return d;
}

// Where a screen point lies along a bar, from the start of its client edge,
// and the bar's length.
std::pair<int, int> along_bar(const WinRec& r, int bar, OsPoint screen) {
    const OsPoint origin = client_origin_on_screen(r);
    const OsPoint cs = client_size(r);
    return bar == OS_SB_HORZ ? std::pair{screen.x - origin.x, cs.x} : std::pair{screen.y - origin.y, cs.y};
}

std::uint32_t bar_message(int bar) { return bar == OS_SB_HORZ ? OSM_HSCROLL : OSM_VSCROLL; }

std::uintptr_t code_at(std::int32_t code, std::int32_t pos) {
    return static_cast<std::uintptr_t>(code) | (static_cast<std::uintptr_t>(pos & 0xFFFF) << 16);
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
    const auto [along, length] = along_bar(*r, bar, screen);
    const int arrow = std::min(bar_size(), length / 2);
    const int trough = length - 2 * arrow;
    const ScrollBar& b = r->scroll[static_cast<std::size_t>(bar)];
    std::int32_t code = -1;
    if (along < arrow) {
        code = SB_LINEUP;
    } else if (along >= length - arrow) {
        code = SB_LINEDOWN;
    } else {
        const auto [at, len] = thumb(b, trough);
        if (along < arrow + at) {
            code = SB_PAGEUP;
        } else if (along >= arrow + at + len) {
            code = SB_PAGEDOWN;
        } else {
            // On the thumb: it follows the mouse until the button is let go.
            thumb_drag() = {h, bar, along, b.pos, b.pos};
            os_set_capture(h);
            return;
        }
    }
    os_send_message(h, bar_message(bar), static_cast<std::uintptr_t>(code), 0);
    if (rec(h)) os_send_message(h, bar_message(bar), SB_ENDSCROLL, 0);
}

bool scroll_thumb_step(int kind, OsPoint screen) {
    ThumbDrag& d = thumb_drag();
    if (!d.h) return false;
    WinRec* r = rec(d.h);
    if (!r || kind == OS_MOUSE_PRESS || kind == OS_MOUSE_DOUBLE) {
        if (r && os_get_capture() == d.h) os_release_capture();
        d.h = 0;
        return r != nullptr;
    }
    const OsWindow h = d.h;
    const int bar = d.bar;
    if (kind == OS_MOUSE_RELEASE) {
        d.h = 0;
        os_release_capture();
        os_send_message(h, bar_message(bar), code_at(SB_THUMBPOSITION, d.pos), 0);
        if (rec(h)) os_send_message(h, bar_message(bar), SB_ENDSCROLL, 0);
        return true;
    }
    // The thumb moves with the mouse over the trough; the position moves
    // the same share of its travel.
    const ScrollBar& b = r->scroll[static_cast<std::size_t>(bar)];
    const auto [along, length] = along_bar(*r, bar, screen);
    const int trough = length - 2 * std::min(bar_size(), length / 2);
    const int room = trough - thumb(b, trough).second;
    const std::int64_t travel = std::int64_t{b.max} - b.min + 1 - std::max(b.page, 1);
    const std::int64_t moved = room > 0 ? std::int64_t{along - d.start} * travel / room : 0;
    const std::int64_t last = std::int64_t{b.max} - std::max(b.page - 1, 0);
    const auto pos = static_cast<std::int32_t>(std::clamp<std::int64_t>(d.start_pos + moved, b.min, std::max<std::int64_t>(last, b.min)));
    if (pos != d.pos) {
        d.pos = pos;
        os_send_message(h, bar_message(bar), code_at(SB_THUMBTRACK, pos), 0);
    }
    return true;
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
