// The built-in window classes: the status bar ("msctls_statusbar32") and the
// plain "STATIC" window. A status bar keeps itself at the bottom of its
// parent's client area whenever it is told of a size change.
#include <QApplication>
#include <QPainter>

#include <algorithm>
#include <cstring>

#include "platform/os_codepage_qt.h"
#include "platform/os_config.h"
#include "platform/os_dialog.h"
#include "platform/os_menu.h"
#include "platform/os_window_p.h"

namespace osw {

namespace {

std::intptr_t static_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    return os_def_window_proc(w, m, wp, lp);
}

constexpr std::int32_t kMaxParts = 256;

}  // namespace

void ensure_builtin_classes() {
    auto& c = st().classes;
    if (c.count("msctls_statusbar32")) return;
    ClassRec sb;
    sb.cls.name = "msctls_statusbar32";
    sb.cls.proc = statusbar_proc;
    sb.cls.background = os_sys_colour(OS_COLOR_BTNFACE);
    sb.atom = st().next_atom++;
    sb.builtin = true;
    c[sb.cls.name] = sb;
    ClassRec stc;
    stc.cls.name = "STATIC";
    stc.cls.proc = static_proc;
    stc.atom = st().next_atom++;
    stc.builtin = true;
    c[stc.cls.name] = stc;
    ClassRec tb;
    tb.cls.name = "ToolbarWindow32";
    tb.cls.proc = toolbar_proc;
    tb.atom = st().next_atom++;
    tb.builtin = true;
    c[tb.cls.name] = tb;
    os_register_controls();
}

std::intptr_t statusbar_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    WinRec* r = rec(w);
    if (!r) return 0;
    switch (m) {
    case OSM_SIZE: {
        // Full width of the parent, its own height, at the bottom.
        WinRec* pr = rec(r->parent);
        if (!pr) return 0;
        const OsPoint pc = client_size(*pr);
        const std::int32_t h = os_config().status_bar_height;
        const OsRect want{0, pc.y - h, pc.x, pc.y};
        if (!(want == r->rect))
            os_set_window_pos(w, 0, want.left, want.top, want.width(), want.height(),
                              OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
        if (WinRec* r2 = rec(w); r2 && r2->widget) r2->widget->update();
        return 0;
    }
    case OSM_SB_SETPARTS: {
        const auto n = static_cast<std::int32_t>(wp);
        const auto* edges = reinterpret_cast<const std::int32_t*>(lp);
        if (n < 1 || n >= kMaxParts || !edges) return 0;
        r->parts.assign(edges, edges + n);
        r->part_text.resize(static_cast<std::size_t>(n));
        r->part_style.resize(static_cast<std::size_t>(n), 0);
        if (r->widget) r->widget->update();
        return 1;
    }
    case OSM_SB_GETPARTS: {
        const auto n = static_cast<std::int32_t>(wp);
        auto* out = reinterpret_cast<std::int32_t*>(lp);
        for (std::int32_t i = 0; out && i < n && i < static_cast<std::int32_t>(r->parts.size()); ++i)
            out[i] = r->parts[static_cast<std::size_t>(i)];
        return static_cast<std::intptr_t>(r->parts.size());
    }
    case OSM_SB_SIMPLE:
        r->simple = wp != 0;
        if (r->widget) r->widget->update();
        return 1;
    case OSM_SB_ISSIMPLE:
        return r->simple ? 1 : 0;
    case OSM_SB_SETTEXT: {
        const std::size_t part = wp & 0xFF;
        const char* t = reinterpret_cast<const char*>(lp);
        if (part == OS_SB_SIMPLEID) {
            r->simple_text = t ? std::string(t) : std::string();
            r->simple_style = static_cast<std::int32_t>(wp & 0xFF00);
            if (r->widget && r->simple) r->widget->update();
            return 1;
        }
        if (part >= r->parts.size()) return 0;
        r->part_text[part] = t ? std::string(t) : std::string();
        r->part_style[part] = static_cast<std::int32_t>(wp & 0xFF00);
        if (r->widget) r->widget->update();
        return 1;
    }
    case OSM_SB_GETTEXT:
    case OSM_SB_GETTEXTLENGTH: {
        const std::size_t part = wp & 0xFF;
        if (part != OS_SB_SIMPLEID && part >= r->parts.size()) return 0;
        const std::string& t = part == OS_SB_SIMPLEID ? r->simple_text : r->part_text[part];
        const std::int32_t style = part == OS_SB_SIMPLEID ? r->simple_style : r->part_style[part];
        if (m == OSM_SB_GETTEXT && lp) std::memcpy(reinterpret_cast<char*>(lp), t.c_str(), t.size() + 1);
        return static_cast<std::intptr_t>((t.size() & 0xFFFF) |
                                          (static_cast<std::uint32_t>(style) << 16));
    }
    case OSM_SB_GETRECT: {
        const std::size_t part = wp;
        auto* out = reinterpret_cast<OsRect*>(lp);
        if (part >= r->parts.size() || !out) return 0;
        const OsPoint cs = client_size(*r);
        const std::int32_t left = part == 0 ? 0 : std::max(0, r->parts[part - 1]);
        const std::int32_t right = r->parts[part] < 0 ? cs.x : std::min(cs.x, r->parts[part]);
        *out = {left, 0, right, cs.y};
        return 1;
    }
    default:
        return os_def_window_proc(w, m, wp, lp);
    }
}

void paint_statusbar(WinRec& r, QWidget* w, QPainter& p) {
    const QColor face = qcolour(os_sys_colour(OS_COLOR_BTNFACE));
    const QColor dark(160, 160, 160), light(255, 255, 255);
    p.fillRect(w->rect(), face);
    const int h = w->height();
    int left = 0;
    const std::size_t n = r.simple ? 1 : r.parts.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int right = r.simple || r.parts[i] < 0 ? w->width() : std::min(w->width(), r.parts[i]);
        const QRect box(left, 2, std::max(0, right - left - 2), h - 3);
        const int style = r.simple ? r.simple_style : r.part_style[i];
        if (style != 0x100) {
            const bool raised = style == 0x200;
            p.setPen(raised ? light : dark);
            p.drawLine(box.topLeft(), box.topRight());
            p.drawLine(box.topLeft(), box.bottomLeft());
            p.setPen(raised ? dark : light);
            p.drawLine(box.bottomLeft(), box.bottomRight());
            p.drawLine(box.topRight(), box.bottomRight());
        }
        p.setPen(Qt::black);
        const std::string& t = r.simple ? r.simple_text : r.part_text[i];
        p.drawText(box.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   os_qstring(t));
        left = right;
    }
    if (r.style & OS_SBARS_SIZEGRIP) {
        p.setPen(dark);
        for (int k = 4; k <= 12; k += 4) p.drawLine(w->width() - k, h - 1, w->width() - 1, h - k);
    }
}

}  // namespace osw
