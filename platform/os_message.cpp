// The message queue over Qt's event loop, timers, capture, the pointer and
// cursors, and the widget that turns Qt's input into queued messages.
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/os_codepage_qt.h"
#include "platform/os_app.h"
#include "platform/os_config.h"
#include "platform/os_menu.h"
#include "platform/os_window_p.h"

namespace osw {

void enqueue(const OsMsg& m) { st().queue.push_back(m); }

void drop_window_messages(OsWindow h) {
    auto& q = st().queue;
    q.erase(std::remove_if(q.begin(), q.end(), [h](const OsMsg& m) { return m.hwnd == h; }), q.end());
    auto& t = st().timers;
    t.erase(std::remove_if(t.begin(), t.end(), [h](const Timer& x) { return x.hwnd == h; }), t.end());
}

std::uint32_t keystate_from_qt(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
    std::uint32_t k = 0;
    if (mods & Qt::ShiftModifier) k |= OS_KS_SHIFT;
    if (mods & Qt::ControlModifier) k |= OS_KS_CONTROL;
    if (mods & Qt::AltModifier) k |= OS_KS_ALT;
    if (buttons & Qt::LeftButton) k |= OS_KS_LBUTTON;
    if (buttons & Qt::MiddleButton) k |= OS_KS_MBUTTON;
    if (buttons & Qt::RightButton) k |= OS_KS_RBUTTON;
    return k;
}

namespace {

std::uint32_t mk_flags(std::uint32_t ks) {
    std::uint32_t f = 0;
    if (ks & OS_KS_LBUTTON) f |= OS_MK_LBUTTON;
    if (ks & OS_KS_RBUTTON) f |= OS_MK_RBUTTON;
    if (ks & OS_KS_SHIFT) f |= OS_MK_SHIFT;
    if (ks & OS_KS_CONTROL) f |= OS_MK_CONTROL;
    if (ks & OS_KS_MBUTTON) f |= OS_MK_MBUTTON;
    return f;
}

// Keys whose virtual key differs from the toolkit's code, both directions.
struct KeyPair {
    int qt;
    std::int32_t vk;
};
constexpr std::array<KeyPair, 44> kKeys{{
    {Qt::Key_Backspace, OS_VK_BACK},   {Qt::Key_Tab, OS_VK_TAB},          {Qt::Key_Backtab, OS_VK_TAB},
    {Qt::Key_Clear, OS_VK_CLEAR},      {Qt::Key_Return, OS_VK_RETURN},    {Qt::Key_Enter, OS_VK_RETURN},
    {Qt::Key_Shift, OS_VK_SHIFT},      {Qt::Key_Control, OS_VK_CONTROL},  {Qt::Key_Alt, OS_VK_MENU},
    {Qt::Key_Pause, OS_VK_PAUSE},      {Qt::Key_CapsLock, OS_VK_CAPITAL}, {Qt::Key_Escape, OS_VK_ESCAPE},
    {Qt::Key_Space, OS_VK_SPACE},      {Qt::Key_PageUp, OS_VK_PRIOR},     {Qt::Key_PageDown, OS_VK_NEXT},
    {Qt::Key_End, OS_VK_END},          {Qt::Key_Home, OS_VK_HOME},        {Qt::Key_Left, OS_VK_LEFT},
    {Qt::Key_Up, OS_VK_UP},            {Qt::Key_Right, OS_VK_RIGHT},      {Qt::Key_Down, OS_VK_DOWN},
    {Qt::Key_Select, OS_VK_SELECT},    {Qt::Key_Print, OS_VK_SNAPSHOT},   {Qt::Key_Insert, OS_VK_INSERT},
    {Qt::Key_Delete, OS_VK_DELETE},    {Qt::Key_NumLock, OS_VK_NUMLOCK},  {Qt::Key_ScrollLock, OS_VK_SCROLL},
    {Qt::Key_Meta, 0x5B},              {Qt::Key_Semicolon, 0xBA},         {Qt::Key_Equal, 0xBB},
    {Qt::Key_Comma, 0xBC},             {Qt::Key_Minus, 0xBD},             {Qt::Key_Period, 0xBE},
    {Qt::Key_Slash, 0xBF},             {Qt::Key_QuoteLeft, 0xC0},         {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC},         {Qt::Key_BracketRight, 0xDD},      {Qt::Key_Apostrophe, 0xDE},
    {Qt::Key_Asterisk, OS_VK_MULTIPLY}, {Qt::Key_Plus, OS_VK_ADD},        {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},                 {Qt::Key_NumberSign, '3'},
}};

std::int32_t vk_from_qt(int key, Qt::KeyboardModifiers mods) {
    const bool keypad = (mods & Qt::KeypadModifier) != 0;
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return OS_VK_NUMPAD0 + (key - Qt::Key_0);
        switch (key) {
        case Qt::Key_Asterisk: return OS_VK_MULTIPLY;
        case Qt::Key_Plus: return OS_VK_ADD;
        case Qt::Key_Comma: return OS_VK_SEPARATOR;
        case Qt::Key_Minus: return OS_VK_SUBTRACT;
        case Qt::Key_Period: return OS_VK_DECIMAL;
        case Qt::Key_Slash: return OS_VK_DIVIDE;
        default: break;
        }
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return OS_VK_F1 + (key - Qt::Key_F1);
    for (const KeyPair& k : kKeys)
        if (k.qt == key) return k.vk;
    return key > 0 && key < 0x100 ? 0xDF : 0;  // some other key of the layout
}

int qt_from_vk(std::int32_t vk, bool& keypad) {
    keypad = false;
    if (vk >= OS_VK_NUMPAD0 && vk <= OS_VK_NUMPAD0 + 9) {
        keypad = true;
        return Qt::Key_0 + (vk - OS_VK_NUMPAD0);
    }
    switch (vk) {
    case OS_VK_MULTIPLY: keypad = true; return Qt::Key_Asterisk;
    case OS_VK_ADD: keypad = true; return Qt::Key_Plus;
    case OS_VK_SEPARATOR: keypad = true; return Qt::Key_Comma;
    case OS_VK_SUBTRACT: keypad = true; return Qt::Key_Minus;
    case OS_VK_DECIMAL: keypad = true; return Qt::Key_Period;
    case OS_VK_DIVIDE: keypad = true; return Qt::Key_Slash;
    default: break;
    }
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
    if (vk >= OS_VK_F1 && vk <= OS_VK_F24) return Qt::Key_F1 + (vk - OS_VK_F1);
    for (const KeyPair& k : kKeys)
        if (k.vk == vk) return k.qt;
    return 0;
}

// The character a key produces, in the library's single-byte set; 0 none.
std::int32_t key_character(int key, std::int32_t vk, Qt::KeyboardModifiers mods, const QString& text) {
    const bool ctrl = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
    if (ctrl && vk >= 'A' && vk <= 'Z') return vk - 'A' + 1;  // control characters
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return ctrl ? 0 : 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    default: break;
    }
    if (text.size() != 1) return 0;
    const char16_t u = text.at(0).unicode();
    if (u < 32 && !ctrl) return 0;
    if (u == 0x7F) return 0;
    const int byte = os_unicode_to_cp1252(u);
    return byte > 0 ? byte : 0;
}

// Derives the text a US keyboard gives for a synthetic key.
QString default_text(std::int32_t vk, std::uint32_t mods) {
    const bool shift = mods & OS_IN_SHIFT;
    if (mods & OS_IN_CONTROL) {
        if (vk >= 'A' && vk <= 'Z') return QString(QChar(vk - 'A' + 1));
        return {};
    }
    if (vk >= 'A' && vk <= 'Z') return QString(QChar(shift ? vk : vk + 32));
    if (vk >= '0' && vk <= '9' && !shift) return QString(QChar(vk));
    if (vk >= OS_VK_NUMPAD0 && vk <= OS_VK_NUMPAD0 + 9) return QString(QChar('0' + vk - OS_VK_NUMPAD0));
    switch (vk) {
    case OS_VK_SPACE: return QStringLiteral(" ");
    case OS_VK_TAB: return QStringLiteral("\t");
    case OS_VK_RETURN: return QStringLiteral("\r");
    case OS_VK_BACK: return QStringLiteral("\b");
    case OS_VK_ESCAPE: return QString(QChar(27));
    case OS_VK_MULTIPLY: return QStringLiteral("*");
    case OS_VK_ADD: return QStringLiteral("+");
    case OS_VK_SUBTRACT: return QStringLiteral("-");
    case OS_VK_DECIMAL: return QStringLiteral(".");
    case OS_VK_DIVIDE: return QStringLiteral("/");
    default: return {};
    }
}

Qt::KeyboardModifiers qt_mods(std::uint32_t mods) {
    Qt::KeyboardModifiers m;
    if (mods & OS_IN_SHIFT) m |= Qt::ShiftModifier;
    if (mods & OS_IN_CONTROL) m |= Qt::ControlModifier;
    if (mods & OS_IN_ALT) m |= Qt::AltModifier;
    if (mods & OS_IN_KEYPAD) m |= Qt::KeypadModifier;
    return m;
}

std::int32_t hit_test(const WinRec& r, QPoint local) {
    const Insets in = insets_of(r);
    const QPoint co = client_origin_in_widget(r);
    const OsPoint cs = client_size(r);
    if (local.x() >= co.x() && local.y() >= co.y() && local.x() < co.x() + cs.x && local.y() < co.y() + cs.y)
        return OS_HTCLIENT;
    if (const std::int32_t bar = scroll_hit(r, local)) return bar;
    if (!r.child()) return in.menu && local.y() < in.menu ? OS_HTMENU : OS_HTNOWHERE;
    const std::int32_t b = in.l;
    const std::int32_t cap = in.t - b;
    const std::int32_t w = r.rect.width(), h = r.rect.height();
    if (local.x() < 0 || local.y() < 0 || local.x() >= w || local.y() >= h) return OS_HTNOWHERE;
    if (cap > 0 && local.y() >= b && local.y() < b + cap && local.x() >= b && local.x() < w - b) {
        const std::int32_t btn = cap;  // square buttons at the right end
        const std::int32_t fromright = w - b - local.x();
        if ((r.style & OS_WS_SYSMENU) && fromright <= btn) return OS_HTCLOSE;
        if ((r.style & OS_WS_MAXIMIZEBOX) && fromright <= 2 * btn) return OS_HTMAXBUTTON;
        if ((r.style & OS_WS_MINIMIZEBOX) && fromright <= 3 * btn) return OS_HTMINBUTTON;
        if ((r.style & OS_WS_SYSMENU) && local.x() < b + btn) return OS_HTSYSMENU;
        return OS_HTCAPTION;
    }
    if (!(r.style & OS_WS_THICKFRAME) || r.state != 0) return OS_HTBORDER;
    // Sizing borders; a corner reaches a caption's height along each side.
    const std::int32_t corner = std::max(b, cap);
    const bool left = local.x() < b, right = local.x() >= w - b;
    const bool top = local.y() < b, bottom = local.y() >= h - b;
    const bool near_top = local.y() < corner, near_bottom = local.y() >= h - corner;
    const bool near_left = local.x() < corner, near_right = local.x() >= w - corner;
    if ((top && near_left) || (left && near_top)) return OS_HTTOPLEFT;
    if ((top && near_right) || (right && near_top)) return OS_HTTOPRIGHT;
    if ((bottom && near_left) || (left && near_bottom)) return OS_HTBOTTOMLEFT;
    if ((bottom && near_right) || (right && near_bottom)) return OS_HTBOTTOMRIGHT;
    if (left) return OS_HTLEFT;
    if (right) return OS_HTRIGHT;
    if (top) return OS_HTTOP;
    if (bottom) return OS_HTBOTTOM;
    return OS_HTBORDER;
}

OsPoint widget_to_screen(const WinRec& r, QPoint local) {
    const QPoint co = client_origin_in_widget(r);
    const OsPoint origin = client_origin_on_screen(r);
    return {origin.x + local.x() - co.x(), origin.y + local.y() - co.y()};
}

struct HandlerScope {
    HandlerScope() { ++st().handler_depth; }
    ~HandlerScope() { --st().handler_depth; }
};

// One step of the toolkit's own loop, without waiting.
void pump() {
    if (!QCoreApplication::instance()) return;
    if (st().handler_depth == 0) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool matches(const OsMsg& m, OsWindow hwnd, std::uint32_t lo, std::uint32_t hi) {
    if (hwnd && m.hwnd != hwnd && !os_is_child(hwnd, m.hwnd)) return false;
    if ((lo || hi) && (m.message < lo || m.message > hi)) return false;
    return true;
}

void take(OsMsg& m) {
    st().message_time = m.time;
    st().keystate = m.keystate;
}

bool make_paint(OsMsg& m, OsWindow hwnd, std::uint32_t lo, std::uint32_t hi) {
    if ((lo || hi) && (OSM_PAINT < lo || OSM_PAINT > hi)) return false;
    for (auto& [h, r] : st().windows) {
        if (r->destroying || !r->has_update) continue;
        if (hwnd && h != hwnd && !os_is_child(hwnd, h)) continue;
        if (!os_is_window_visible(h)) continue;
        m = OsMsg{};
        m.hwnd = h;
        m.message = OSM_PAINT;
        m.time = static_cast<std::int32_t>(os_tick_count());
        m.pt = st().cursor_pos;
        m.keystate = st().live_keystate;
        return true;
    }
    return false;
}

bool make_timer(OsMsg& m, OsWindow hwnd, std::uint32_t lo, std::uint32_t hi, bool remove) {
    if ((lo || hi) && (OSM_TIMER < lo || OSM_TIMER > hi)) return false;
    auto& ts = st().timers;
    if (ts.empty()) return false;
    const std::int64_t now = os_config().tick_ms ? os_config().tick_ms() : 0;
    for (Timer& t : ts) {
        if (hwnd && t.hwnd != hwnd) continue;
        if (t.due > now) continue;
        m = OsMsg{};
        m.hwnd = t.hwnd;
        m.message = OSM_TIMER;
        m.wParam = t.id;
        m.time = static_cast<std::int32_t>(static_cast<std::uint32_t>(now));
        m.pt = st().cursor_pos;
        m.keystate = st().live_keystate;
        if (remove) t.due = now + t.interval;
        return true;
    }
    return false;
}

OsWindow key_target(OsWindow h);

bool is_key_message(std::uint32_t m) {
    return m == OSM_KEYDOWN || m == OSM_KEYUP || m == OSM_SYSKEYDOWN || m == OSM_SYSKEYUP || m == OSM_CHAR ||
           m == OSM_SYSCHAR;
}

bool next_message(OsMsg& m, OsWindow hwnd, std::uint32_t lo, std::uint32_t hi, bool remove) {
    auto& q = st().queue;
    for (auto it = q.begin(); it != q.end(); ++it) {
        // A key goes where the focus is when the program takes it: a click
        // taken before it may have moved the focus.
        if (is_key_message(it->message) && it->hwnd) it->hwnd = key_target(it->hwnd);
        if (!matches(*it, hwnd, lo, hi)) continue;
        m = *it;
        if (remove) q.erase(it);
        return true;
    }
    if (make_paint(m, hwnd, lo, hi)) return true;
    return make_timer(m, hwnd, lo, hi, remove);
}

// The move/size loop of a window inside a parent: the caption moves it, a
// sizing border sizes it; the window may change the rectangle on its way.
void drag_begin(OsWindow h, std::int32_t hit, OsPoint screen) {
    Drag d;
    d.h = h;
    d.hit = hit;
    d.start = screen;
    os_get_window_rect(h, d.rect);
    d.limits.min_track = {0, 0};
    d.limits.max_track = {32767, 32767};
    os_send_message(h, OSM_GETMINMAXINFO, 0, reinterpret_cast<std::intptr_t>(&d.limits));
    st().drag = d;
    os_send_message(h, OSM_ENTERSIZEMOVE, 0, 0);
}

std::uintptr_t sizing_edge(std::int32_t hit) {
    switch (hit) {
    case OS_HTLEFT: return OS_WMSZ_LEFT;
    case OS_HTRIGHT: return OS_WMSZ_RIGHT;
    case OS_HTTOP: return OS_WMSZ_TOP;
    case OS_HTTOPLEFT: return OS_WMSZ_TOPLEFT;
    case OS_HTTOPRIGHT: return OS_WMSZ_TOPRIGHT;
    case OS_HTBOTTOM: return OS_WMSZ_BOTTOM;
    case OS_HTBOTTOMLEFT: return OS_WMSZ_BOTTOMLEFT;
    default: return OS_WMSZ_BOTTOMRIGHT;
    }
}

void drag_step(int kind, OsPoint screen) {
    Drag d = st().drag;
    if (!rec(d.h)) {
        st().drag = Drag{};
        return;
    }
    if (kind == OS_MOUSE_RELEASE) {
        st().drag = Drag{};
        os_send_message(d.h, OSM_EXITSIZEMOVE, 0, 0);
        return;
    }
    if (kind != OS_MOUSE_MOVE) return;
    const std::int32_t dx = screen.x - d.start.x, dy = screen.y - d.start.y;
    OsRect r = d.rect;
    if (d.hit == OS_HTCAPTION) {
        r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
        os_send_message(d.h, OSM_MOVING, 0, reinterpret_cast<std::intptr_t>(&r));
    } else {
        const std::uintptr_t edge = sizing_edge(d.hit);
        const bool left = edge == OS_WMSZ_LEFT || edge == OS_WMSZ_TOPLEFT || edge == OS_WMSZ_BOTTOMLEFT;
        const bool right = edge == OS_WMSZ_RIGHT || edge == OS_WMSZ_TOPRIGHT || edge == OS_WMSZ_BOTTOMRIGHT;
        const bool top = edge == OS_WMSZ_TOP || edge == OS_WMSZ_TOPLEFT || edge == OS_WMSZ_TOPRIGHT;
        const bool bottom = edge == OS_WMSZ_BOTTOM || edge == OS_WMSZ_BOTTOMLEFT || edge == OS_WMSZ_BOTTOMRIGHT;
        const OsMinMaxInfo& m = d.limits;
        auto clamp = [](std::int32_t v, std::int32_t lo, std::int32_t hi) { return std::max(lo, std::min(v, hi)); };
        if (left) r.left = r.right - clamp(r.width() - dx, m.min_track.x, m.max_track.x);
        if (right) r.right = r.left + clamp(r.width() + dx, m.min_track.x, m.max_track.x);
        if (top) r.top = r.bottom - clamp(r.height() - dy, m.min_track.y, m.max_track.y);
        if (bottom) r.bottom = r.top + clamp(r.height() + dy, m.min_track.y, m.max_track.y);
        os_send_message(d.h, OSM_SIZING, edge, reinterpret_cast<std::intptr_t>(&r));
    }
    WinRec* w = rec(d.h);
    if (!w) return;
    OsPoint origin{0, 0};
    if (w->child())
        if (WinRec* pr = rec(w->parent)) origin = client_origin_on_screen(*pr);
    os_set_window_pos(d.h, 0, r.left - origin.x, r.top - origin.y, r.width(), r.height(),
                      OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
}

}  // namespace

std::int32_t geometric_hit(OsWindow h, OsPoint screen) {
    WinRec* r = rec(h);
    if (!r) return OS_HTNOWHERE;
    // Widget coordinates: the inverse of widget_to_screen.
    const QPoint co = client_origin_in_widget(*r);
    const OsPoint origin = client_origin_on_screen(*r);
    return hit_test(*r, QPoint(screen.x - origin.x + co.x(), screen.y - origin.y + co.y()));
}

namespace {

// The window a disabled top-level window waits for: the last raised of the
// shown, enabled top-level windows that it owns, directly or through other
// owners; else the last raised shown, enabled top-level window of all.
OsWindow modal_front(OsWindow clicked) {
    WinRec* c = rec(top_level_of(clicked));
    if (!c || !(c->style & OS_WS_DISABLED)) return 0;
    const OsWindow top = c->h;
    auto owned_by_top = [&](const WinRec* r) {
        for (int guard = 0; r && guard < 64; ++guard, r = rec(r->owner))
            if (r->owner == top) return true;
        return false;
    };
    WinRec* best_owned = nullptr;
    WinRec* best_any = nullptr;
    for (auto& [h, r] : st().windows) {
        if (r->child() || !r->widget || !r->widget->isVisible() || (r->style & OS_WS_DISABLED) || h == top) continue;
        if (!best_any || r->z > best_any->z) best_any = r.get();
        if (owned_by_top(r.get()) && (!best_owned || r->z > best_owned->z)) best_owned = r.get();
    }
    WinRec* best = best_owned ? best_owned : best_any;
    return best ? best->h : 0;
}

}  // namespace

// ---- the widget --------------------------------------------------------------

OsWidget::OsWidget(OsWindow h, QWidget* parent, Qt::WindowFlags f) : QWidget(parent, f), h_(h) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

bool OsWidget::event(QEvent* e) {
    HandlerScope scope;
    switch (e->type()) {
    case QEvent::WindowActivate:
        if (os_app_interactive() && isWindow() && rec(h_)) os_set_active_window(h_);
        break;
    case QEvent::MouseButtonPress:
        // A click on a window that a modal phase disabled brings what the
        // phase waits for to the front, so that it is never lost behind.
        if (!isEnabled()) {
            if (const OsWindow front = modal_front(h_)) {
                os_bring_window_to_top(front);
                return true;
            }
        }
        break;
    case QEvent::ApplicationStateChange:
        break;
    case QEvent::ToolTip:
        if (WinRec* r = rec(h_); r && r->class_name == "ToolbarWindow32") {
            const QPoint at = static_cast<QHelpEvent*>(e)->pos();
            const int i = toolbar_button_at(h_, at);
            if (i >= 0) os_input_tooltip(h_, i);
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::event(e);
}

void OsWidget::paintEvent(QPaintEvent*) {
    WinRec* r = rec(h_);
    QPainter p(this);
    if (!r) return;
    r->repaint_asked = false;
    if (r->class_name == "msctls_statusbar32") {
        paint_statusbar(*r, this, p);
        return;
    }
    if (r->class_name == "ToolbarWindow32") {
        paint_toolbar(*r, this, p);
        return;
    }
    if (r->proc_paints && r->proc) {
        const OsPoint cs = client_size(*r);
        if (cs.x > 0 && cs.y > 0) {
            if (r->surface.width() != cs.x || r->surface.height() != cs.y) {
                r->surface = QImage(cs.x, cs.y, QImage::Format_RGB32);
                r->surface.fill(qcolour(os_sys_colour(OS_COLOR_WINDOW)));
            }
            // Drawing during the paint asks for no further paint.
            r->repaint_asked = true;
            const std::intptr_t painted = r->proc(h_, OSM_PAINT, 0, 0);
            r = rec(h_);
            if (!r) return;
            r->repaint_asked = false;
            if (painted) {
                // Like the class painters, the whole widget: what lies outside the client area is window colour.
                p.fillRect(rect(), qcolour(os_sys_colour(OS_COLOR_WINDOW)));
                p.drawImage(client_origin_in_widget(*r), r->surface);
                return;
            }
        }
    }
    if (r->retained && !r->surface.isNull()) {
        p.fillRect(rect(), qcolour(os_sys_colour(OS_COLOR_BTNFACE)));
        p.drawImage(client_origin_in_widget(*r), r->surface);
        return;
    }
    if (!st().painters.empty()) {
        std::string key = r->class_name;
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (auto it = st().painters.find(key); it != st().painters.end()) {
            it->second(*r, this, p);
            return;
        }
    }
    const QColor face = qcolour(os_sys_colour(OS_COLOR_BTNFACE));
    const QPoint co = client_origin_in_widget(*r);
    const OsPoint cs = client_size(*r);
    const QRect client(co.x(), co.y(), cs.x, cs.y);
    if (!r->surface.isNull()) {
        p.fillRect(rect(), face);
        p.drawImage(co, r->surface);
    } else if (r->background != OS_NO_BRUSH) {
        p.fillRect(rect(), face);
        p.fillRect(client, qcolour(static_cast<std::uint32_t>(r->background)));
    } else {
        p.fillRect(rect(), face);
    }
    paint_scroll_bars(*r, p);
    const Insets in = insets_of(*r);
    if (r->child() && in.t > 0) {
        // A caption inside a parent's client area is ours to draw.
        const int b = in.l;
        p.setPen(QColor(64, 64, 64));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        const bool active = st().active == top_level_of(h_);
        const int cap = in.t - b;
        p.fillRect(QRect(b, b, width() - 2 * b, cap), active ? QColor(0, 84, 166) : QColor(128, 128, 128));
        // The caption's buttons, where the hit test finds them: square, at
        // the right end, close outermost.
        int buttons = 0;
        auto button = [&](int index, auto&& glyph) {
            const QRect box(width() - b - (index + 1) * cap + 2, b + 2, cap - 3, cap - 4);
            p.fillRect(box, face);
            p.setPen(QColor(64, 64, 64));
            p.drawRect(box.adjusted(0, 0, -1, -1));
            p.setPen(QPen(Qt::black, 1.5));
            glyph(box.adjusted(4, 3, -4, -4));
            buttons = index + 1;
        };
        if (r->style & OS_WS_SYSMENU)
            button(0, [&](QRect g) {
                p.drawLine(g.topLeft(), g.bottomRight());
                p.drawLine(g.topRight(), g.bottomLeft());
            });
        if (r->style & OS_WS_MAXIMIZEBOX) button(1, [&](QRect g) { p.drawRect(g); });
        if (r->style & OS_WS_MINIMIZEBOX)
            button(2, [&](QRect g) { p.drawLine(g.bottomLeft(), g.bottomRight()); });
        p.setPen(Qt::white);
        p.drawText(QRect(b + 4, b, width() - 2 * b - 8 - buttons * cap, cap), Qt::AlignVCenter | Qt::AlignLeft,
                   os_qstring(r->title));
    } else if (!r->child() && in.menu > 0) {
        p.fillRect(QRect(0, 0, width(), in.menu), face);
        if (st().paint_menu_bar) st().paint_menu_bar(h_, p, QRect(0, 0, width(), in.menu));
    }
}

namespace {

// Keys go to the window that holds the keyboard focus, wherever in its
// window the toolkit delivered them (often the frame, which the window
// manager activated): the focus is ours, not the toolkit's.
OsWindow key_target(OsWindow h) {
    const OsWindow f = st().focus;
    if (f && f != h && rec(f) && top_level_of(f) == top_level_of(h)) return f;
    return h;
}

}  // namespace

void OsWidget::keyPressEvent(QKeyEvent* e) { key(e, true); }
void OsWidget::keyReleaseEvent(QKeyEvent* e) { key(e, false); }

// A key down carries its character, so the translation step can post it
// right behind the key; a key up never does.
void OsWidget::key(QKeyEvent* e, bool down) {
    HandlerScope scope;
    if (!rec(h_)) return;
    const std::int32_t vk = vk_from_qt(e->key(), e->modifiers());
    if (!vk) return;
    st().live_keystate = keystate_from_qt(e->modifiers(), QGuiApplication::mouseButtons());
    const bool alt = (e->modifiers() & Qt::AltModifier) != 0;
    OsMsg m;
    m.hwnd = key_target(h_);
    m.wParam = static_cast<std::uintptr_t>(vk);
    if (down) {
        m.message = alt ? OSM_SYSKEYDOWN : OSM_KEYDOWN;
        m.lParam = 1 | (e->isAutoRepeat() ? (1 << 30) : 0);
        m.character = key_character(e->key(), vk, e->modifiers(), e->text());
    } else {
        m.message = alt ? OSM_SYSKEYUP : OSM_KEYUP;
        m.lParam = static_cast<std::intptr_t>(0xC0000001u);
    }
    m.time = static_cast<std::int32_t>(os_tick_count());
    m.pt = st().cursor_pos;
    m.keystate = st().live_keystate;
    enqueue(m);
}

void OsWidget::mousePressEvent(QMouseEvent* e) { mouse(e, OS_MOUSE_PRESS); }
void OsWidget::mouseReleaseEvent(QMouseEvent* e) { mouse(e, OS_MOUSE_RELEASE); }
void OsWidget::mouseDoubleClickEvent(QMouseEvent* e) { mouse(e, OS_MOUSE_DOUBLE); }
void OsWidget::mouseMoveEvent(QMouseEvent* e) { mouse(e, OS_MOUSE_MOVE); }

void OsWidget::mouse(QMouseEvent* e, int kind) {
    HandlerScope scope;
    WinRec* r = rec(h_);
    if (!r) return;
    const OsPoint screen = widget_to_screen(*r, e->position().toPoint());
    State& s = st();
    s.cursor_pos = screen;
    s.live_keystate = keystate_from_qt(e->modifiers(), e->buttons());

    if (s.drag.h) {
        drag_step(kind, screen);
        return;
    }
    if (scroll_thumb_step(kind, screen)) return;
    OsWindow target = h_;
    std::int32_t hit = static_cast<std::int32_t>(os_send_message(h_, OSM_NCHITTEST, 0, os_make_lparam(screen.x, screen.y)));
    if (!rec(h_)) return;
    if (s.capture && rec(s.capture)) {
        target = s.capture;
        hit = OS_HTCLIENT;
    }
    WinRec* tr = rec(target);
    if (!tr) return;
    const OsPoint to = client_origin_on_screen(*tr);
    const std::int32_t cx = screen.x - to.x, cy = screen.y - to.y;

    int button = 0;
    switch (e->button()) {
    case Qt::LeftButton: button = 1; break;
    case Qt::MiddleButton: button = 2; break;
    case Qt::RightButton: button = 3; break;
    default: break;
    }
    if (kind != OS_MOUSE_MOVE && button == 0) return;
    std::uint32_t msg = 0;
    const bool dbl = kind == OS_MOUSE_DOUBLE && (tr->class_style & OS_CS_DBLCLKS);
    if (hit == OS_HTCLIENT) {
        static constexpr std::uint32_t down[] = {OSM_LBUTTONDOWN, OSM_MBUTTONDOWN, OSM_RBUTTONDOWN};
        static constexpr std::uint32_t up[] = {OSM_LBUTTONUP, OSM_MBUTTONUP, OSM_RBUTTONUP};
        static constexpr std::uint32_t dc[] = {OSM_LBUTTONDBLCLK, OSM_MBUTTONDBLCLK, OSM_RBUTTONDBLCLK};
        if (kind == OS_MOUSE_MOVE)
            msg = OSM_MOUSEMOVE;
        else if (kind == OS_MOUSE_RELEASE)
            msg = up[button - 1];
        else
            msg = dbl ? dc[button - 1] : down[button - 1];
    } else {
        if (kind == OS_MOUSE_MOVE) return;
        static constexpr std::uint32_t down[] = {OSM_NCLBUTTONDOWN, OSM_NCMBUTTONDOWN, OSM_NCRBUTTONDOWN};
        static constexpr std::uint32_t up[] = {OSM_NCLBUTTONUP, OSM_NCMBUTTONUP, OSM_NCRBUTTONUP};
        msg = kind == OS_MOUSE_RELEASE ? up[button - 1]
                                       : (kind == OS_MOUSE_DOUBLE && button == 1 ? OSM_NCLBUTTONDBLCLK
                                                                                  : down[button - 1]);
    }
    // Mouse activation: the top-level window clicked in becomes active, as
    // a window manager makes it on a click; then the window clicked (and its
    // parents) may act on the click before it is queued, and may eat it.
    if ((kind == OS_MOUSE_PRESS || kind == OS_MOUSE_DOUBLE) && target == h_ && !(s.capture && rec(s.capture))) {
        const OsWindow top = top_level_of(target);
        if (os_get_active_window() != top) os_set_active_window(top);
        if (!rec(target)) return;
        const std::intptr_t answer =
            os_send_message(target, OSM_MOUSEACTIVATE, static_cast<std::uintptr_t>(top), os_make_lparam(hit, static_cast<std::int32_t>(msg)));
        if (!rec(target) || answer == OS_MA_ACTIVATEANDEAT || answer == OS_MA_NOACTIVATEANDEAT) return;
    }
    if (kind != OS_MOUSE_RELEASE)
        os_send_message(target, OSM_SETCURSOR, static_cast<std::uintptr_t>(target), os_make_lparam(hit, static_cast<std::int32_t>(msg)));
    if (!rec(target)) return;
    if (kind == OS_MOUSE_PRESS && button == 1 && tr->child() &&
        (hit == OS_HTCAPTION || (hit >= OS_HTLEFT && hit <= OS_HTBOTTOMRIGHT)))
        drag_begin(target, hit, screen);
    OsMsg m;
    m.hwnd = target;
    m.message = msg;
    if (hit == OS_HTCLIENT) {
        m.wParam = mk_flags(s.live_keystate);
        m.lParam = os_make_lparam(cx, cy);
    } else {
        m.wParam = static_cast<std::uintptr_t>(hit);
        m.lParam = os_make_lparam(screen.x, screen.y);
    }
    m.time = static_cast<std::int32_t>(os_tick_count());
    m.pt = screen;
    m.keystate = s.live_keystate;
    enqueue(m);
}

void OsWidget::wheelEvent(QWheelEvent* e) {
    HandlerScope scope;
    WinRec* r = rec(h_);
    if (!r) return;
    const OsPoint screen = widget_to_screen(*r, e->position().toPoint());
    st().cursor_pos = screen;
    st().live_keystate = keystate_from_qt(e->modifiers(), e->buttons());
    const std::int32_t delta = e->angleDelta().y();
    if (delta == 0) return;
    OsMsg m;
    m.hwnd = h_;
    m.message = OSM_MOUSEWHEEL;
    m.wParam = static_cast<std::uintptr_t>((mk_flags(st().live_keystate) & 0xFFFF) |
                                           ((static_cast<std::uint32_t>(delta) & 0xFFFF) << 16));
    m.lParam = os_make_lparam(screen.x, screen.y);
    m.time = static_cast<std::int32_t>(os_tick_count());
    m.pt = screen;
    m.keystate = st().live_keystate;
    enqueue(m);
}

void OsWidget::resizeEvent(QResizeEvent*) {
    HandlerScope scope;
    WinRec* r = rec(h_);
    if (!r || r->child()) return;
    auto& ex = r->expected_sizes;
    auto it = std::find(ex.begin(), ex.end(), size());
    if (it != ex.end()) {
        ex.erase(ex.begin(), it + 1);
        return;
    }
    user_geometry(h_, geometry());
}

void OsWidget::moveEvent(QMoveEvent*) {
    HandlerScope scope;
    WinRec* r = rec(h_);
    if (!r || r->child() || os_app_headless()) return;
    user_geometry(h_, geometry());
}

// The close box is input like any other: it is queued, so that the loop
// waiting for input sees it when it arrives, whatever that loop is.
void OsWidget::closeEvent(QCloseEvent* e) {
    HandlerScope scope;
    e->ignore();
    if (rec(h_)) os_post_message(h_, OSM_CLOSE, 0, 0);
}

void OsWidget::changeEvent(QEvent* e) {
    HandlerScope scope;
    QWidget::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange || os_app_headless()) return;
    WinRec* r = rec(h_);
    if (!r || r->child()) return;
    const Qt::WindowStates ws = windowState();
    const std::int32_t ns = (ws & Qt::WindowMinimized) ? 1 : ((ws & Qt::WindowMaximized) ? 2 : 0);
    if (ns == r->state) return;
    if (r->state == 0) r->normal = r->rect;
    r->state = ns;
    const OsPoint cs = client_size(*r);
    os_send_message(h_, OSM_SIZE, ns == 1 ? OS_SIZE_MINIMIZED : (ns == 2 ? OS_SIZE_MAXIMIZED : OS_SIZE_RESTORED),
                    os_make_lparam(cs.x, cs.y));
}

}  // namespace osw

using namespace osw;

// ---- queue ---------------------------------------------------------------------

namespace {

std::function<void()>& wait_script() {
    static std::function<void()> s;
    return s;
}

// A toolkit event handled while the loop waited (a close box, a resize, a
// paint) went straight to a window procedure, and what the procedure made
// of it waits for the loop that asked. Nothing is queued for it, so the
// loop is woken with an empty message, as the window system would wake it
// with the input that caused it.
bool wake_message(OsMsg& m) {
    if (!st().toolkit_sent) return false;
    m = OsMsg{};
    m.message = OSM_NULL;
    m.time = static_cast<std::int32_t>(os_tick_count());
    m.pt = st().cursor_pos;
    m.keystate = st().live_keystate;
    return true;
}

// Runs the test's wait script once; true when it gave something.
bool run_wait_script() {
    if (!wait_script()) return false;
    const std::function<void()> s = wait_script();
    s();
    pump();
    return true;
}

}  // namespace

void os_set_wait_script(std::function<void()> script) { wait_script() = std::move(script); }

bool os_waiting_for_input() { return st().waiting || st().polled_empty; }

bool os_get_message(OsMsg& m) {
    os_app_gui();
    for (;;) {
        pump();
        if (next_message(m, 0, 0, 0, true) || wake_message(m) ||
            (run_wait_script() && (next_message(m, 0, 0, 0, true) || wake_message(m)))) {
            st().toolkit_sent = false;
            st().polled_empty = false;
            take(m);
            return m.message != OSM_QUIT;
        }
        if (!st().timers.empty() && os_config().deterministic) continue;  // the test clock moves per read
        std::int64_t wait_ms = -1;
        if (!st().timers.empty()) {
            const std::int64_t now = os_config().tick_ms();
            wait_ms = INT64_MAX;
            for (const Timer& t : st().timers) wait_ms = std::min<std::int64_t>(wait_ms, std::max<std::int64_t>(0, t.due - now));
        }
        QEventLoop loop;
        if (wait_ms >= 0) QTimer::singleShot(static_cast<int>(std::min<std::int64_t>(wait_ms, 1000)), &loop, [] {});
        st().waiting = true;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        st().waiting = false;
    }
}

bool os_peek_message(OsMsg& m, OsWindow hwnd, std::uint32_t lo, std::uint32_t hi, std::uint32_t remove) {
    if (QCoreApplication::instance()) pump();
    const bool any = hwnd == 0 && lo == 0 && hi == 0;
    auto found = [&] {
        if (next_message(m, hwnd, lo, hi, remove & OS_PM_REMOVE)) return true;
        if (!any || !wake_message(m)) return false;
        if (remove & OS_PM_REMOVE) st().toolkit_sent = false;
        return true;
    };
    if (!found() && !(run_wait_script() && found())) {
        // A program that polls for input and finds none waits for it too.
        if (any) st().polled_empty = true;
        return false;
    }
    if (any) st().polled_empty = false;
    if (remove & OS_PM_REMOVE) take(m);
    return true;
}

bool os_post_message(OsWindow w, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    if (w != 0 && !rec(w)) return false;
    OsMsg m;
    m.hwnd = w;
    m.message = msg;
    m.wParam = wp;
    m.lParam = lp;
    m.time = static_cast<std::int32_t>(os_tick_count());
    m.pt = st().cursor_pos;
    m.keystate = st().live_keystate;
    enqueue(m);
    return true;
}

void os_post_quit_message(std::int32_t code) {
    OsMsg m;
    m.message = OSM_QUIT;
    m.wParam = static_cast<std::uintptr_t>(code);
    m.time = static_cast<std::int32_t>(os_tick_count());
    enqueue(m);
}

bool os_translate_message(const OsMsg& m) {
    if ((m.message != OSM_KEYDOWN && m.message != OSM_SYSKEYDOWN) || m.character == 0) return false;
    OsMsg c = m;
    c.message = m.message == OSM_KEYDOWN ? OSM_CHAR : OSM_SYSCHAR;
    c.wParam = static_cast<std::uintptr_t>(m.character);
    c.character = 0;
    st().queue.push_front(c);
    return true;
}

std::intptr_t os_dispatch_message(const OsMsg& m) {
    if (!m.hwnd) return 0;
    return os_send_message(m.hwnd, m.message, m.wParam, m.lParam);
}

std::int32_t os_get_message_time() { return st().message_time; }

std::uint32_t os_tick_count() {
    const OsConfig& c = os_config();
    return c.tick_ms ? static_cast<std::uint32_t>(c.tick_ms()) : 0u;
}

std::int16_t os_get_key_state(std::int32_t vk) {
    const std::uint32_t k = st().keystate;
    bool down = false;
    switch (vk) {
    case OS_VK_SHIFT: down = k & OS_KS_SHIFT; break;
    case OS_VK_CONTROL: down = k & OS_KS_CONTROL; break;
    case OS_VK_MENU: down = k & OS_KS_ALT; break;
    case OS_VK_LBUTTON: down = k & OS_KS_LBUTTON; break;
    case OS_VK_MBUTTON: down = k & OS_KS_MBUTTON; break;
    case OS_VK_RBUTTON: down = k & OS_KS_RBUTTON; break;
    case OS_VK_NUMLOCK: return 1;  // toggled on
    default: break;
    }
    return down ? static_cast<std::int16_t>(-32768) : 0;
}

std::size_t os_queue_length() { return st().queue.size(); }

void os_queue_clear() {
    st().queue.clear();
    st().timers.clear();
    for (auto& [h, r] : st().windows) r->has_update = false;
}

// ---- timers and capture ---------------------------------------------------------

std::uintptr_t os_set_timer(OsWindow w, std::uintptr_t id, std::uint32_t ms) {
    if (!rec(w)) return 0;
    const std::int64_t now = os_config().tick_ms ? os_config().tick_ms() : 0;
    const std::uint32_t iv = std::max<std::uint32_t>(ms, 10);
    for (Timer& t : st().timers)
        if (t.hwnd == w && t.id == id) {
            t.interval = iv;
            t.due = now + iv;
            return id ? id : 1;
        }
    st().timers.push_back({w, id, iv, now + iv});
    return id ? id : 1;
}

bool os_kill_timer(OsWindow w, std::uintptr_t id) {
    auto& t = st().timers;
    const auto n = t.size();
    t.erase(std::remove_if(t.begin(), t.end(), [&](const Timer& x) { return x.hwnd == w && x.id == id; }), t.end());
    return t.size() != n;
}

OsWindow os_set_capture(OsWindow w) {
    const OsWindow old = rec(st().capture) ? st().capture : 0;
    st().capture = rec(w) ? w : 0;
    return old;
}

bool os_release_capture() {
    st().capture = 0;
    return true;
}

OsWindow os_get_capture() { return rec(st().capture) ? st().capture : 0; }

// ---- pointer and cursors --------------------------------------------------------

namespace {
constexpr std::array<std::pair<std::int32_t, Qt::CursorShape>, 12> kCursors{{
    {OS_IDC_ARROW, Qt::ArrowCursor},     {OS_IDC_IBEAM, Qt::IBeamCursor},
    {OS_IDC_WAIT, Qt::WaitCursor},       {OS_IDC_CROSS, Qt::CrossCursor},
    {OS_IDC_UPARROW, Qt::UpArrowCursor}, {OS_IDC_SIZENWSE, Qt::SizeFDiagCursor},
    {OS_IDC_SIZENESW, Qt::SizeBDiagCursor}, {OS_IDC_SIZEWE, Qt::SizeHorCursor},
    {OS_IDC_SIZENS, Qt::SizeVerCursor},  {OS_IDC_SIZEALL, Qt::SizeAllCursor},
    {OS_IDC_NO, Qt::ForbiddenCursor},    {OS_IDC_APPSTARTING, Qt::BusyCursor},
}};
}  // namespace

bool os_get_cursor_pos(OsPoint& p) {
    p = st().cursor_pos;
    return true;
}

bool os_set_cursor_pos(std::int32_t x, std::int32_t y) {
    st().cursor_pos = {x, y};
    if (!os_app_headless() && QCoreApplication::instance()) QCursor::setPos(x, y);
    return true;
}

std::int32_t os_load_cursor(std::int32_t id) {
    for (std::size_t i = 0; i < kCursors.size(); ++i)
        if (kCursors[i].first == id) return static_cast<std::int32_t>(i + 1);
    return 0;  // no cursor resources are compiled in
}

std::int32_t os_set_cursor(std::int32_t cursor) {
    State& s = st();
    const std::int32_t old = s.cursor;
    s.cursor = cursor;
    if (cursor >= 1 && cursor <= static_cast<std::int32_t>(kCursors.size())) {
        const OsWindow w = os_window_from_point(s.cursor_pos);
        if (WinRec* r = rec(w); r && r->widget) r->widget->setCursor(kCursors[static_cast<std::size_t>(cursor - 1)].second);
    }
    return old;
}

std::int32_t os_get_cursor() { return st().cursor; }

OsWindow os_window_from_point(OsPoint p) {
    auto inside = [&](OsWindow h) {
        OsRect r;
        return os_is_window_visible(h) && os_get_window_rect(h, r) && p.x >= r.left && p.x < r.right &&
               p.y >= r.top && p.y < r.bottom;
    };
    std::vector<OsWindow> tops = os_top_level_windows();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if (!inside(*it)) continue;
        OsWindow cur = *it;
        for (;;) {
            std::vector<OsWindow> kids = os_child_windows(cur);
            OsWindow found = 0;
            for (auto k = kids.rbegin(); k != kids.rend(); ++k)
                if (inside(*k)) {
                    found = *k;
                    break;
                }
            if (!found) return cur;
            cur = found;
        }
    }
    return 0;
}

// ---- input, as the window system delivers it -----------------------------------

void os_pump_events() {
    if (QCoreApplication::instance()) pump();
}

void os_show_now() {
    if (!QCoreApplication::instance()) return;
    for (int round = 0; round < 2; ++round) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        OsMsg m;
        while (os_peek_message(m, 0, OSM_PAINT, OSM_PAINT, OS_PM_REMOVE)) os_dispatch_message(m);
    }
}

namespace osw {

bool toolkit_key(std::int32_t vk, std::uint32_t mods, std::string_view text, ToolkitKey& k) {
    bool keypad = false;
    k.key = qt_from_vk(vk, keypad);
    if (!k.key) return false;
    if (keypad) mods |= OS_IN_KEYPAD;
    if (vk == OS_VK_TAB && (mods & OS_IN_SHIFT)) k.key = Qt::Key_Backtab;
    k.text = text.empty() ? default_text(vk, mods) : os_qstring(text);
    k.mods = qt_mods(mods);
    return true;
}

}  // namespace osw

void os_input_key(OsWindow w, std::int32_t vk, std::uint32_t mods, std::string_view text) {
    WinRec* r = rec(w);
    ToolkitKey k;
    if (!r || !r->widget || !toolkit_key(vk, mods, text, k)) return;
    QKeyEvent press(QEvent::KeyPress, k.key, k.mods, k.text);
    QCoreApplication::sendEvent(r->widget, &press);
    if (WinRec* r2 = rec(w); r2 && r2->widget) {
        QKeyEvent release(QEvent::KeyRelease, k.key, k.mods, k.text);
        QCoreApplication::sendEvent(r2->widget, &release);
    }
}

void os_input_mouse(OsWindow w, OsMouseAction action, std::int32_t button, std::int32_t x, std::int32_t y,
                    std::uint32_t mods) {
    WinRec* r = rec(w);
    if (!r || !r->widget) return;
    const QPoint co = client_origin_in_widget(*r);
    const QPointF local(co.x() + x, co.y() + y);
    const OsPoint so = client_origin_on_screen(*r);
    const QPointF global(so.x + x, so.y + y);
    const Qt::MouseButton b = button == 1 ? Qt::LeftButton
                              : button == 2 ? Qt::MiddleButton
                              : button == 3 ? Qt::RightButton
                                            : Qt::NoButton;
    Qt::MouseButtons held = QGuiApplication::mouseButtons();
    if (st().live_keystate & OS_KS_LBUTTON) held |= Qt::LeftButton;
    if (st().live_keystate & OS_KS_MBUTTON) held |= Qt::MiddleButton;
    if (st().live_keystate & OS_KS_RBUTTON) held |= Qt::RightButton;
    QEvent::Type type = QEvent::MouseMove;
    switch (action) {
    case OS_MOUSE_PRESS: type = QEvent::MouseButtonPress; held |= b; break;
    case OS_MOUSE_DOUBLE: type = QEvent::MouseButtonDblClick; held |= b; break;
    case OS_MOUSE_RELEASE: type = QEvent::MouseButtonRelease; held &= ~Qt::MouseButtons(b); break;
    case OS_MOUSE_MOVE: type = QEvent::MouseMove; break;
    }
    QMouseEvent e(type, local, local, global, action == OS_MOUSE_MOVE ? Qt::NoButton : b, held, qt_mods(mods));
    QCoreApplication::sendEvent(r->widget, &e);
}

void os_input_wheel(OsWindow w, std::int32_t x, std::int32_t y, std::int32_t notches, std::uint32_t mods) {
    WinRec* r = rec(w);
    if (!r || !r->widget) return;
    const QPoint co = client_origin_in_widget(*r);
    const QPointF local(co.x() + x, co.y() + y);
    const OsPoint so = client_origin_on_screen(*r);
    const QPointF global(so.x + x, so.y + y);
    QWheelEvent e(local, global, QPoint(), QPoint(0, 120 * notches), Qt::NoButton, qt_mods(mods),
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(r->widget, &e);
}

void os_input_resize(OsWindow w, std::int32_t width, std::int32_t height) {
    WinRec* r = rec(w);
    if (!r || !r->widget || r->child()) return;
    const Insets in = insets_of(*r);
    const std::int32_t top = in.t - in.menu;
    r->widget->resize(std::max(0, width - in.l - in.r), std::max(0, height - top - in.b));
    pump();
}

void os_input_close(OsWindow w) {
    WinRec* r = rec(w);
    if (!r || !r->widget || r->child()) return;
    r->widget->close();
}

void os_window_reset() {
    for (OsWindow h : os_top_level_windows()) os_destroy_window(h);
    State& s = st();
    s.queue.clear();
    s.timers.clear();
    s.focus = s.active = s.capture = 0;
    s.cursor_pos = {};
    s.cursor = 0;
    s.keystate = s.live_keystate = 0;
    s.message_time = 0;
    s.app_active = true;
    s.drag = Drag{};
    pump();
}
