// The header control ("SysHeader32"): a strip of items, each with a text,
// a width and a format, drawn as buttons with HDS_BUTTONS. A click on an item
// tells the parent (HDN_ITEMCLICK); dragging a divider asks the parent first
// (HDN_BEGINTRACK), asks again at every step (HDN_TRACK) and stops when
// refused, then ends with HDN_ENDTRACK. Input reaches the window procedure
// first, so a subclass sees every message.
#include <QFontMetrics>

#include "platform/os_control_p.h"

namespace osw {

namespace {

struct HeaderItem {
    std::int32_t width = 0;
    std::string text;
    std::int32_t fmt = HDF_LEFT | HDF_STRING;
};

struct HeaderData : ControlData {
    std::vector<HeaderItem> items;
    std::int32_t pressed = -1;       // item held down by the mouse
    std::int32_t tracking = -1;      // item whose divider is dragged
    std::int32_t track_start_x = 0, track_start_width = 0;
};

constexpr std::int32_t DividerSlop = 3;

// The item under x, and whether x lies on its right divider.
std::int32_t hit_item(const HeaderData& d, std::int32_t x, bool& divider) {
    divider = false;
    std::int32_t left = 0;
    for (std::size_t k = 0; k < d.items.size(); ++k) {
        const std::int32_t right = left + d.items[k].width;
        if (x >= right - DividerSlop && x <= right + DividerSlop) {
            divider = true;
            return static_cast<std::int32_t>(k);
        }
        if (x >= left && x < right) return static_cast<std::int32_t>(k);
        left = right;
    }
    return -1;
}

std::intptr_t tell_parent(OsWindow w, std::int32_t code, std::int32_t item, std::int32_t button, HeaderItem* it) {
    const OsWindow parent = os_get_parent(w);
    if (!parent) return 0;
    OsHeaderItem info;
    if (it) {
        info.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
        info.cxy = it->width;
        info.text = it->text;
        info.fmt = it->fmt;
    }
    OsHeaderNotify n;
    n.hdr.from = w;
    n.hdr.id = static_cast<std::uintptr_t>(os_get_control_id(w));
    n.hdr.code = code;
    n.item = item;
    n.button = button;
    n.pitem = it ? &info : nullptr;
    return os_send_message(parent, OSM_NOTIFY, n.hdr.id, reinterpret_cast<std::intptr_t>(&n));
}

void apply_item(HeaderItem& it, const OsHeaderItem& in) {
    if (in.mask & HDI_WIDTH) it.width = std::max(0, in.cxy);
    if (in.mask & HDI_TEXT) it.text = in.text;
    if (in.mask & HDI_FORMAT) it.fmt = in.fmt;
}

std::intptr_t header_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    HeaderData* d = control_data<HeaderData>(w);
    if (!d) return 0;
    const auto n = static_cast<std::int32_t>(d->items.size());
    const auto idx = static_cast<std::int32_t>(wp);
    switch (m) {
    case HDM_GETITEMCOUNT:
        return n;
    case HDM_INSERTITEM: {
        const auto* in = reinterpret_cast<const OsHeaderItem*>(lp);
        if (!in) return -1;
        HeaderItem it;
        apply_item(it, *in);
        const std::int32_t at = idx < 0 || idx > n ? n : idx;
        d->items.insert(d->items.begin() + at, it);
        control_repaint(w);
        return at;
    }
    case HDM_DELETEITEM:
        if (idx < 0 || idx >= n) return 0;
        d->items.erase(d->items.begin() + idx);
        control_repaint(w);
        return 1;
    case HDM_GETITEM: {
        auto* out = reinterpret_cast<OsHeaderItem*>(lp);
        if (!out || idx < 0 || idx >= n) return 0;
        const HeaderItem& it = d->items[static_cast<std::size_t>(idx)];
        if (out->mask & HDI_WIDTH) out->cxy = it.width;
        if (out->mask & HDI_TEXT)
            out->text = it.text.substr(0, static_cast<std::size_t>(std::max(0, out->text_max - 1)));
        if (out->mask & HDI_FORMAT) out->fmt = it.fmt;
        return 1;
    }
    case HDM_SETITEM: {
        const auto* in = reinterpret_cast<const OsHeaderItem*>(lp);
        if (!in || idx < 0 || idx >= n) return 0;
        apply_item(d->items[static_cast<std::size_t>(idx)], *in);
        control_repaint(w);
        return 1;
    }
    case OSM_LBUTTONDOWN:
    case OSM_LBUTTONDBLCLK: {
        const auto x = static_cast<std::int16_t>(lp & 0xFFFF);
        bool divider = false;
        const std::int32_t i = hit_item(*d, x, divider);
        if (i < 0) return 0;
        if (divider) {
            if (tell_parent(w, HDN_BEGINTRACK, i, 0, &d->items[static_cast<std::size_t>(i)])) return 0;
            d->tracking = i;
            d->track_start_x = x;
            d->track_start_width = d->items[static_cast<std::size_t>(i)].width;
        } else if (os_get_style(w) & OS_HDS_BUTTONS) {
            d->pressed = i;
            control_repaint(w);
        }
        os_set_capture(w);
        return 0;
    }
    case OSM_MOUSEMOVE: {
        if (d->tracking < 0 || d->tracking >= n) return 0;
        const auto x = static_cast<std::int16_t>(lp & 0xFFFF);
        HeaderItem& it = d->items[static_cast<std::size_t>(d->tracking)];
        HeaderItem proposed = it;
        proposed.width = std::max(0, d->track_start_width + x - d->track_start_x);
        if (tell_parent(w, HDN_TRACK, d->tracking, 0, &proposed)) {
            // Refused: the drag stops where it is.
            const std::int32_t item = d->tracking;
            d->tracking = -1;
            os_release_capture();
            tell_parent(w, HDN_ENDTRACK, item, 0, &it);
            return 0;
        }
        it.width = proposed.width;
        control_repaint(w);
        return 0;
    }
    case OSM_LBUTTONUP: {
        os_release_capture();
        if (d->tracking >= 0) {
            const std::int32_t item = d->tracking;
            d->tracking = -1;
            if (item < n) tell_parent(w, HDN_ENDTRACK, item, 0, &d->items[static_cast<std::size_t>(item)]);
            return 0;
        }
        const std::int32_t was = d->pressed;
        d->pressed = -1;
        if (was < 0 || was >= n) return 0;
        control_repaint(w);
        const auto x = static_cast<std::int16_t>(lp & 0xFFFF);
        bool divider = false;
        if (hit_item(*d, x, divider) == was)
            tell_parent(w, HDN_ITEMCLICK, was, 0, &d->items[static_cast<std::size_t>(was)]);
        return 0;
    }
    default:
        return control_default(w, m, wp, lp);
    }
}

void paint_header(WinRec& r, QWidget* wg, QPainter& p) {
    HeaderData* d = control_data<HeaderData>(r.h);
    const QRect all = wg->rect();
    p.fillRect(all, qcolour(os_sys_colour(OS_COLOR_BTNFACE)));
    p.setFont(control_font(r));
    if (!d) return;
    const bool buttons = (r.style & OS_HDS_BUTTONS) != 0;
    std::int32_t left = 0;
    for (std::size_t k = 0; k < d->items.size(); ++k) {
        const HeaderItem& it = d->items[k];
        const QRect cell(left, 0, it.width, all.height());
        left += it.width;
        if (cell.width() <= 0) continue;
        const bool down = buttons && d->pressed == static_cast<std::int32_t>(k);
        // Raised (or pressed) button edges: light top-left, shadow bottom-right.
        p.setPen(down ? QColor(128, 128, 128) : QColor(255, 255, 255));
        p.drawLine(cell.topLeft(), cell.topRight());
        p.drawLine(cell.topLeft(), cell.bottomLeft());
        p.setPen(down ? QColor(255, 255, 255) : QColor(128, 128, 128));
        p.drawLine(cell.bottomLeft(), cell.bottomRight());
        p.drawLine(cell.topRight(), cell.bottomRight());
        const int just = it.fmt & HDF_JUSTIFYMASK;
        const Qt::Alignment a = just == HDF_CENTER ? Qt::AlignHCenter : just == HDF_RIGHT ? Qt::AlignRight : Qt::AlignLeft;
        p.setPen(qcolour(os_sys_colour(OS_COLOR_WINDOWTEXT)));
        const QRect text = cell.adjusted(4 + (down ? 1 : 0), down ? 1 : 0, -4, 0);
        p.setClipRect(cell.adjusted(1, 1, -1, -1));
        p.drawText(text, a | Qt::AlignVCenter, qtext(it.text));
        p.setClipping(false);
    }
}

}  // namespace

void register_header_class() { register_control_class("SysHeader32", header_proc, paint_header); }

}  // namespace osw
