// The EDIT class: single- and multi-line text with a selection, read-only
// state, a text limit, the modified flag, tab stops and want-return. Keys
// and characters arrive as messages, so a subclass sees them first.
#include <QFontMetrics>

#include <optional>

#include "platform/os_cliptext.h"
#include "platform/os_metafile.h"

#include "platform/os_control_p.h"

namespace osw {

namespace {

struct EditData : ControlData {
    std::int32_t start = 0, end = 0;   // selection; the caret is at end
    bool modified = false;
    std::int32_t limit = 30000;
    std::vector<std::int32_t> tabs;
    // One level of undo: the text and selection before the last change.
    bool can_undo = false;
    std::string undo_text;
    std::int32_t undo_start = 0, undo_end = 0;
};

std::int32_t text_size(const WinRec& r) { return static_cast<std::int32_t>(r.title.size()); }

void changed(OsWindow w) {
    control_repaint(w);
    notify_parent(w, EN_CHANGE);
}

// Replaces the selection with s, as far as the limit allows; false when nothing changed.
bool replace_selection(OsWindow w, const std::string& s) {
    WinRec* r = rec(w);
    EditData* d = control_data<EditData>(w);
    const std::int32_t a = std::min(d->start, d->end), b = std::max(d->start, d->end);
    const std::int32_t room = d->limit - (text_size(*r) - (b - a));
    const std::string put = s.substr(0, static_cast<std::size_t>(std::max(0, std::min<std::int32_t>(room, static_cast<std::int32_t>(s.size())))));
    if (put.empty() && a == b) return false;
    d->can_undo = true;
    d->undo_text = r->title;
    d->undo_start = d->start;
    d->undo_end = d->end;
    r->title.replace(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a), put);
    d->start = d->end = a + static_cast<std::int32_t>(put.size());
    d->modified = true;
    return true;
}

std::int32_t clamp_pos(const WinRec& r, std::intptr_t v) {
    if (v < 0 || v > text_size(r)) return text_size(r);
    return static_cast<std::int32_t>(v);
}

std::int32_t hit_char(const WinRec& r, std::int32_t x) {
    QFontMetrics fm(control_font(r));
    const QString s = qtext(r.title);
    for (int i = 0; i < s.size(); ++i)
        if (fm.horizontalAdvance(s.left(i + 1)) - fm.horizontalAdvance(s.at(i)) / 2 > x - 3) return i;
    return text_size(r);
}

// Formatting rectangle inside a client area of w x h.
QRect format_rect(int w, int h) { return QRect(0, 0, w, h).adjusted(3, 2, -3, -2); }

// Top-left of character i as painted.
QPoint char_pos(const WinRec& r, std::int32_t i) {
    const OsPoint cs = client_size(r);
    const QRect area = format_rect(cs.x, cs.y);
    const QFontMetrics fm(control_font(r));
    const QString s = qtext(r.title);
    const int adv = fm.horizontalAdvance(s.left(std::clamp(i, 0, static_cast<std::int32_t>(s.size()))));
    if (r.style & OS_ES_MULTILINE) return {area.left() + adv, area.top()};
    int x = area.left();
    if (r.style & OS_ES_RIGHT) x = area.right() - fm.horizontalAdvance(s);
    else if (r.style & OS_ES_CENTER) x = area.left() + (area.width() - fm.horizontalAdvance(s)) / 2;
    return {x + adv, area.top() + (area.height() - fm.height()) / 2};
}

}  // namespace

std::intptr_t edit_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    WinRec* r = rec(w);
    EditData* d = control_data<EditData>(w);
    if (!r || !d) return 0;
    const std::uint32_t style = r->style;
    const bool multi = (style & OS_ES_MULTILINE) != 0;
    const bool readonly = (style & OS_ES_READONLY) != 0;
    switch (m) {
    case OSM_CREATE:
        d->limit = multi ? 65535 : 30000;
        return 0;
    case OSM_SETTEXT: {
        r->title = lp ? std::string(reinterpret_cast<const char*>(lp)) : std::string();
        d->start = d->end = 0;
        d->modified = false;
        d->can_undo = false;
        changed(w);
        return 1;
    }
    case OSM_GETDLGCODE: {
        std::intptr_t code = DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
        const auto* msg = reinterpret_cast<const OsMsg*>(lp);
        if (multi) {
            const bool key = msg && msg->message == OSM_KEYDOWN;
            const bool ret = key && msg->wParam == OS_VK_RETURN;
            const bool esc = key && msg->wParam == OS_VK_ESCAPE;
            // Enter stays with the dialog unless the field wants it.
            if (!esc && (!ret || (style & OS_ES_WANTRETURN))) code |= DLGC_WANTALLKEYS;
        }
        return code;
    }
    case EM_GETSEL: {
        const std::int32_t a = std::min(d->start, d->end), b = std::max(d->start, d->end);
        if (wp) *reinterpret_cast<std::int32_t*>(wp) = a;
        if (lp) *reinterpret_cast<std::int32_t*>(lp) = b;
        return os_make_lparam(a, b);
    }
    case EM_SETSEL: {
        const auto s = static_cast<std::intptr_t>(static_cast<std::int32_t>(wp));
        if (s < 0) {
            d->start = d->end;  // no selection; the caret stays
        } else {
            d->start = clamp_pos(*r, s);
            d->end = clamp_pos(*r, lp);
        }
        control_repaint(w);
        return 0;
    }
    case EM_REPLACESEL:
        if (replace_selection(w, lp ? std::string(reinterpret_cast<const char*>(lp)) : std::string())) changed(w);
        return 0;
    case EM_SCROLLCARET:
        return 1;
    case EM_GETRECT: {
        if (!lp) return 0;
        const OsPoint cs = client_size(*r);
        const QRect a = format_rect(cs.x, cs.y);
        *reinterpret_cast<OsRect*>(lp) = {a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
        return 0;
    }
    case EM_POSFROMCHAR: {
        if (static_cast<std::intptr_t>(wp) > text_size(*r)) return -1;
        const QPoint at = char_pos(*r, static_cast<std::int32_t>(wp));
        return os_make_lparam(at.x(), at.y());
    }
    case EM_CANUNDO:
        return d->can_undo ? 1 : 0;
    case EM_UNDO: {
        if (!d->can_undo || readonly) return 0;
        std::swap(r->title, d->undo_text);
        std::swap(d->start, d->undo_start);
        std::swap(d->end, d->undo_end);
        d->start = clamp_pos(*r, d->start);
        d->end = clamp_pos(*r, d->end);
        d->modified = true;
        changed(w);
        return 1;
    }
    case OSM_COPY:
    case OSM_CUT: {
        const std::int32_t a = std::min(d->start, d->end), b = std::max(d->start, d->end);
        if (a == b) return 0;
        if (os_open_clipboard()) {
            os_empty_clipboard();
            os_set_clipboard_text(r->title.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a)));
            os_close_clipboard();
        }
        if (m == OSM_CUT && !readonly && replace_selection(w, "")) changed(w);
        return 0;
    }
    case OSM_PASTE: {
        if (readonly) return 0;
        const std::optional<std::string> t = os_get_clipboard_text();
        if (!t) return 0;
        std::string put = t->substr(0, t->find('\0'));
        if (!multi) put = put.substr(0, put.find_first_of("\r\n"));
        if (replace_selection(w, put)) changed(w);
        return 0;
    }
    case OSM_CLEAR:
        if (!readonly && replace_selection(w, "")) changed(w);
        return 0;
    case EM_GETMODIFY:
        return d->modified ? 1 : 0;
    case EM_SETMODIFY:
        d->modified = wp != 0;
        return 0;
    case EM_LIMITTEXT:
        d->limit = wp == 0 ? 0x7FFFFFFE : static_cast<std::int32_t>(std::min<std::uintptr_t>(wp, 0x7FFFFFFE));
        return 0;
    case EM_GETLIMITTEXT:
        return d->limit;
    case EM_SETREADONLY:
        os_set_style(w, wp ? (style | OS_ES_READONLY) : (style & ~OS_ES_READONLY));
        control_repaint(w);
        return 1;
    case EM_SETTABSTOPS: {
        if (!multi) return 0;
        const auto* a = reinterpret_cast<const std::int32_t*>(lp);
        d->tabs.assign(a, a + (a ? static_cast<std::ptrdiff_t>(wp) : 0));
        control_repaint(w);
        return 1;
    }
    case OSM_CHAR: {
        const auto c = static_cast<std::int32_t>(wp);
        // The clipboard keys arrive as their control characters.
        if (c == 3) return edit_proc(w, OSM_COPY, 0, 0);
        if (c == 22) return edit_proc(w, OSM_PASTE, 0, 0);
        if (c == 24) return edit_proc(w, OSM_CUT, 0, 0);
        if (c == 26) return edit_proc(w, EM_UNDO, 0, 0);
        if (readonly) return 0;
        bool did = false;
        if (c == 8) {
            if (d->start == d->end && d->end > 0) d->start = d->end - 1;
            did = replace_selection(w, "");
        } else if (c == 13) {
            if (multi) did = replace_selection(w, "\r\n");
        } else if (c == 9) {
            if (multi) did = replace_selection(w, "\t");
        } else if (c >= 32 && c != 127) {
            did = replace_selection(w, std::string(1, static_cast<char>(c)));
        }
        if (did) changed(w);
        return 0;
    }
    case OSM_KEYDOWN: {
        const bool shift = (os_get_key_state(OS_VK_SHIFT) & 0x8000) != 0;
        std::int32_t caret = d->end;
        switch (wp) {
        case OS_VK_LEFT: caret = std::max(0, caret - 1); break;
        case OS_VK_RIGHT: caret = std::min(text_size(*r), caret + 1); break;
        case OS_VK_HOME: caret = 0; break;
        case OS_VK_END: caret = text_size(*r); break;
        case OS_VK_DELETE:
            if (readonly) return 0;
            if (d->start == d->end && d->end < text_size(*r)) d->end += 1;
            if (replace_selection(w, "")) changed(w);
            return 0;
        default: return 0;
        }
        d->end = caret;
        if (!shift) d->start = caret;
        control_repaint(w);
        return 0;
    }
    case OSM_LBUTTONDOWN:
        os_set_focus(w);
        d->start = d->end = hit_char(*r, static_cast<std::int16_t>(lp & 0xFFFF));
        control_repaint(w);
        return 0;
    case OSM_LBUTTONDBLCLK:
        d->start = 0;
        d->end = text_size(*r);
        control_repaint(w);
        return 0;
    case OSM_SETFOCUS:
    case OSM_KILLFOCUS:
        control_repaint(w);
        notify_parent(w, m == OSM_SETFOCUS ? EN_SETFOCUS : EN_KILLFOCUS);
        return 0;
    default:
        return control_default(w, m, wp, lp);
    }
}

namespace {

void paint_edit(WinRec& r, QWidget* wg, QPainter& p) {
    EditData* d = control_data<EditData>(r.h);
    const bool enabled = !(r.style & OS_WS_DISABLED);
    const bool readonly = (r.style & OS_ES_READONLY) != 0;
    std::uint32_t text = os_sys_colour(OS_COLOR_WINDOWTEXT);
    std::uint32_t back = (readonly || !enabled) ? os_sys_colour(OS_COLOR_BTNFACE) : os_sys_colour(OS_COLOR_WINDOW);
    control_colours(r.h, (readonly || !enabled) ? OSM_CTLCOLORSTATIC : OSM_CTLCOLOREDIT, text, back);
    const QRect all = wg->rect();
    p.fillRect(all, qcolour(back));
    if ((r.style & OS_WS_BORDER) || (r.ex_style & OS_WS_EX_CLIENTEDGE)) {
        p.setPen(QColor(128, 128, 128));
        p.drawRect(all.adjusted(0, 0, -1, -1));
    }
    p.setFont(control_font(r));
    QFontMetrics fm = p.fontMetrics();
    const QRect area = all.adjusted(3, 2, -3, -2);
    const QString s = qtext(r.title);
    const bool focus = os_get_focus() == r.h;
    const int a = d ? std::min(d->start, d->end) : 0, b = d ? std::max(d->start, d->end) : 0;
    p.setClipRect(area);
    if (r.style & OS_ES_MULTILINE) {
        p.setPen(enabled ? qcolour(text) : QColor(128, 128, 128));
        QString t = s;
        t.remove(QLatin1Char('\r'));
        p.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs, t);
        return;
    }
    int x = area.left();
    const int y = area.top() + (area.height() - fm.height()) / 2;
    if (r.style & OS_ES_RIGHT) x = area.right() - fm.horizontalAdvance(s);
    else if (r.style & OS_ES_CENTER) x = area.left() + (area.width() - fm.horizontalAdvance(s)) / 2;
    if (focus && a != b) {
        const int x1 = x + fm.horizontalAdvance(s.left(a)), x2 = x + fm.horizontalAdvance(s.left(b));
        p.fillRect(QRect(x1, y, x2 - x1, fm.height()), QColor(0, 120, 215));
    }
    p.setPen(enabled ? qcolour(text) : QColor(128, 128, 128));
    p.drawText(QRect(x, y, fm.horizontalAdvance(s) + 2, fm.height()), Qt::AlignLeft | Qt::AlignVCenter, s);
    if (focus && a != b) {
        p.setPen(Qt::white);
        const int x1 = x + fm.horizontalAdvance(s.left(a));
        p.drawText(QRect(x1, y, fm.horizontalAdvance(s.mid(a, b - a)) + 2, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   s.mid(a, b - a));
    }
    if (focus && d) {
        const int cx = x + fm.horizontalAdvance(s.left(d->end));
        p.setPen(qcolour(text));
        p.drawLine(cx, y, cx, y + fm.height() - 1);
    }
}

}  // namespace

void register_edit_class() { register_control_class("EDIT", edit_proc, paint_edit, OS_CS_DBLCLKS); }

}  // namespace osw
