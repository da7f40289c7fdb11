// Windows and window classes over Qt widgets. The record of each window is
// the authority on its geometry and state; the widget follows it. Geometry
// the window system changes on its own (the user drags a border) comes back
// through the widget and is reported to the window procedure.
#include <QApplication>
#include <QCoreApplication>
#include <QPainter>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/os_file.h"
#include "platform/os_codepage_qt.h"
#include "platform/os_app.h"
#include "platform/os_config.h"
#include "platform/os_dialog.h"
#include "platform/os_window_p.h"

namespace osw {

State& st() {
    // Never destroyed: the toolkit may still deliver events to our widgets
    // while it shuts down at process exit.
    static State* s = new State;
    return *s;
}

namespace {

// The window last looked up: drawing asks for the same one per primitive.
// Forgotten whenever the table gains or loses an entry.
OsWindow remembered_window = 0;
WinRec* remembered_rec = nullptr;

void forget_window() {
    remembered_window = 0;
    remembered_rec = nullptr;
}

}  // namespace

WinRec* rec(OsWindow h) {
    WinRec* r = nullptr;
    if (remembered_rec && remembered_window == h) {
        r = remembered_rec;
    } else {
        auto& w = st().windows;
        auto it = w.find(h);
        if (it == w.end()) return nullptr;
        r = it->second.get();
        remembered_window = h;
        remembered_rec = r;
    }
    return r->destroying ? nullptr : r;
}

Insets insets_of(std::uint32_t style, std::uint32_t ex_style, bool menu) {
    const OsConfig& c = os_config();
    Insets in;
    std::int32_t b = 0;
    if (style & OS_WS_THICKFRAME)
        b = c.sizing_border;
    else if ((style & OS_WS_CAPTION) == OS_WS_CAPTION || (style & OS_WS_DLGFRAME))
        b = c.fixed_border;
    else if (style & OS_WS_BORDER)
        b = c.thin_border;
    std::int32_t cap = 0;
    if ((style & OS_WS_CAPTION) == OS_WS_CAPTION)
        cap = (ex_style & OS_WS_EX_TOOLWINDOW) ? c.small_caption_height : c.caption_height;
    in.menu = (menu && !(style & OS_WS_CHILD)) ? c.menu_height : 0;
    in.l = in.r = in.b = b;
    in.t = b + cap + in.menu;
    return in;
}

Insets insets_of(const WinRec& r) {
    Insets in = insets_of(r.style, r.ex_style, r.menu != 0);
    add_scroll_bars(r, in);
    return in;
}

OsPoint client_size(const WinRec& r) {
    if (r.state == 1) return {0, 0};
    const Insets in = insets_of(r);
    return {std::max(0, r.rect.width() - in.l - in.r), std::max(0, r.rect.height() - in.t - in.b)};
}

QPoint client_origin_in_widget(const WinRec& r) {
    const Insets in = insets_of(r);
    if (r.child()) return {in.l, in.t};
    return {0, in.menu};
}

OsPoint client_origin_on_screen(const WinRec& r) {
    const Insets in = insets_of(r);
    OsPoint p{r.rect.left + in.l, r.rect.top + in.t};
    if (r.child()) {
        if (WinRec* pr = rec(r.parent)) {
            const OsPoint o = client_origin_on_screen(*pr);
            p.x += o.x;
            p.y += o.y;
        }
    }
    return p;
}

QColor qcolour(std::uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

namespace {

QRect widget_geometry(const WinRec& r) {
    if (r.child()) {
        QPoint base;
        if (WinRec* pr = rec(r.parent)) base = client_origin_in_widget(*pr);
        return QRect(base.x() + r.rect.left, base.y() + r.rect.top, std::max(0, r.rect.width()),
                     std::max(0, r.rect.height()));
    }
    const Insets in = insets_of(r);
    const std::int32_t top = in.t - in.menu;
    return QRect(r.rect.left + in.l, r.rect.top + top, std::max(0, r.rect.width() - in.l - in.r),
                 std::max(0, r.rect.height() - top - in.b));
}

// Keeps the retained image at the client size; what was drawn stays, new
// room gets the class background.
void resize_surface(WinRec& r) {
    if (r.background == OS_NO_BRUSH && !r.retained) return;
    const OsPoint cs = client_size(r);
    if (r.surface.width() == cs.x && r.surface.height() == cs.y && !r.surface.isNull()) return;
    if (cs.x <= 0 || cs.y <= 0) return;  // a minimised window keeps its picture
    QImage img(cs.x, cs.y, QImage::Format_RGB32);
    // Filled whole at once: its pages in one request, not a fault per 4 KB.
    if (!img.isNull()) os_populate(img.bits(), static_cast<std::size_t>(img.sizeInBytes()));
    img.fill(qcolour(r.background == OS_NO_BRUSH ? os_sys_colour(OS_COLOR_BTNFACE) : static_cast<std::uint32_t>(r.background)));
    if (!r.surface.isNull()) {
        QPainter p(&img);
        p.drawImage(0, 0, r.surface);
    }
    r.surface = img;
}

OsRect maximised_rect(const WinRec& r) {
    const Insets in = insets_of(r);
    if (r.child()) {
        OsPoint pc{0, 0};
        if (WinRec* pr = rec(r.parent)) pc = client_size(*pr);
        return {-in.l, -in.t + in.menu, pc.x + in.r, pc.y + in.b};
    }
    const OsConfig& c = os_config();
    return {-in.l, -in.l, c.screen_width + in.r, c.screen_height + in.b};
}

OsRect minimised_rect(const WinRec& r) {
    const OsConfig& c = os_config();
    const std::int32_t h = c.caption_height + 2 * c.sizing_border;
    if (r.child()) {
        OsPoint pc{0, 0};
        if (WinRec* pr = rec(r.parent)) pc = client_size(*pr);
        return {0, pc.y - h, 160, pc.y};
    }
    return {-32000, -32000, -32000 + 160, -32000 + h};
}

void invalidate_all(WinRec& r) {
    const OsPoint cs = client_size(r);
    if (cs.x <= 0 || cs.y <= 0) return;
    r.has_update = true;
    r.update = {0, 0, cs.x, cs.y};
    if (r.widget) r.widget->update();
}

void invalidate_tree(OsWindow h) {
    if (WinRec* r = rec(h)) invalidate_all(*r);
    for (OsWindow c : os_child_windows(h)) {
        WinRec* cr = rec(c);
        if (cr && (cr->style & OS_WS_VISIBLE)) invalidate_tree(c);
    }
}

void refit(OsWindow h, OsPoint before, std::int32_t oldstate, bool redraw);

// Applies a new rectangle and state; tells the window when its client size changed.
void apply_geometry(OsWindow h, const OsRect& nr, std::int32_t nstate, bool redraw) {
    WinRec* r = rec(h);
    if (!r) return;
    const OsPoint before = client_size(*r);
    const OsRect old = r->rect;
    const std::int32_t oldstate = r->state;
    r->rect = nr;
    r->state = nstate;
    refit(h, before, oldstate, redraw);
    if (rec(h) && (old.left != nr.left || old.top != nr.top)) {
        const OsPoint o = rec(h) ? OsPoint{nr.left, nr.top} : OsPoint{};
        os_send_message(h, OSM_MOVE, 0, os_make_lparam(o.x, o.y));
    }
}

// After a change of rectangle, state or scroll bars: the surface and widgets
// follow, the uncovered room is repainted and the window told its new size.
void refit(OsWindow h, OsPoint before, std::int32_t oldstate, bool redraw) {
    WinRec* r = rec(h);
    if (!r) return;
    const std::int32_t nstate = r->state;
    resize_surface(*r);
    sync_widget(*r);
    for (OsWindow c : os_child_windows(h))
        if (WinRec* cr = rec(c)) sync_widget(*cr);
    const OsPoint after = client_size(*r);
    if (redraw && (after.x != before.x || after.y != before.y)) {
        if (r->class_style & (OS_CS_HREDRAW | OS_CS_VREDRAW))
            invalidate_all(*r);
        else if (after.x > 0 && after.y > 0) {
            // Only the newly uncovered strips need painting.
            const OsRect right{before.x, 0, after.x, after.y};
            const OsRect bottom{0, before.y, after.x, after.y};
            if (after.x > before.x) os_invalidate_rect(h, &right, true);
            if (after.y > before.y) os_invalidate_rect(h, &bottom, true);
        }
    }
    if (after.x != before.x || after.y != before.y || nstate != oldstate) {
        const std::uintptr_t kind =
            nstate == 1 ? OS_SIZE_MINIMIZED : (nstate == 2 ? OS_SIZE_MAXIMIZED : OS_SIZE_RESTORED);
        os_send_message(h, OSM_SIZE, kind, os_make_lparam(after.x, after.y));
    }
}

void collect_tree(OsWindow h, std::vector<OsWindow>& out) {
    // Owned windows go first, then the window, then its children.
    for (auto& [k, v] : st().windows)
        if (!v->destroying && !v->child() && v->owner == h && k != h) collect_tree(k, out);
    out.push_back(h);
    for (OsWindow c : os_child_windows(h)) collect_tree(c, out);
}

void delete_widget(QPointer<OsWidget>& w) {
    if (!w) return;
    w->hide();
    if (st().handler_depth > 0)
        w->deleteLater();
    else
        delete w.data();
    w = nullptr;
}

}  // namespace

void client_refit(OsWindow h, OsPoint before) {
    if (WinRec* r = rec(h)) refit(h, before, r->state, true);
}

void user_geometry(OsWindow h, const QRect& g) {
    WinRec* r = rec(h);
    if (!r || r->child()) return;
    const Insets in = insets_of(*r);
    const std::int32_t top = in.t - in.menu;
    OsRect nr{g.x() - in.l, g.y() - top, g.x() + g.width() + in.r, g.y() + g.height() + in.b};
    // The window keeps within its tracking sizes.
    OsMinMaxInfo limits;
    limits.max_track = {32767, 32767};
    os_send_message(h, OSM_GETMINMAXINFO, 0, reinterpret_cast<std::intptr_t>(&limits));
    if (!(r = rec(h))) return;
    nr.right = nr.left + std::clamp(nr.width(), limits.min_track.x, std::max(limits.min_track.x, limits.max_track.x));
    nr.bottom = nr.top + std::clamp(nr.height(), limits.min_track.y, std::max(limits.min_track.y, limits.max_track.y));
    if (nr == r->rect) {
        sync_widget(*r);
        return;
    }
    if (r->state == 0) r->normal = nr;
    apply_geometry(h, nr, r->state, true);
}

void sync_widget(WinRec& r) {
    if (!r.widget) return;
    const QRect g = widget_geometry(r);
    if (r.widget->geometry() != g) {
        if (!r.child()) {
            r.expected_sizes.push_back(g.size());
            if (r.expected_sizes.size() > 16) r.expected_sizes.erase(r.expected_sizes.begin());
        }
        r.widget->setGeometry(g);
    }
    const bool vis = (r.style & OS_WS_VISIBLE) != 0;
    if (r.widget->isVisibleTo(r.widget->parentWidget() ? r.widget->parentWidget() : r.widget) != vis ||
        r.widget->isHidden() == vis) {
        r.widget->setVisible(vis);
    }
    r.widget->setEnabled(!(r.style & OS_WS_DISABLED));
}

}  // namespace osw

using namespace osw;

// ---- classes ------------------------------------------------------------------

namespace osw {

ClassRec* find_class(std::string_view name) {
    auto& c = st().classes;
    auto it = c.find(std::string(name));
    if (it != c.end()) return &it->second;
    for (auto& [n, r] : c)
        if (n.size() == name.size() &&
            std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
                return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
            }))
            return &r;
    return nullptr;
}

OsWindow top_level_of(OsWindow h) {
    for (int guard = 0; guard < 64; ++guard) {
        WinRec* r = rec(h);
        if (!r || !r->child()) break;
        h = r->parent;
    }
    return h;
}

QWidget* toolkit_dialog_owner() {
    State& s = st();
    auto shown_top = [](OsWindow h) -> QWidget* {
        WinRec* r = rec(top_level_of(h));
        return r && r->widget && r->widget->isVisible() ? r->widget : nullptr;
    };
    if (QWidget* w = shown_top(s.active)) return w;
    if (QWidget* w = shown_top(s.focus)) return w;
    for (auto& [h, r] : s.windows)
        if (!r->child() && !r->owner && r->widget && r->widget->isVisible()) return r->widget;
    return nullptr;
}

}  // namespace osw

std::int32_t os_register_class(const OsWndClass& cls) {
    ensure_builtin_classes();
    if (cls.name.empty() || !cls.proc) return 0;
    auto& c = st().classes;
    if (find_class(cls.name)) return 0;
    ClassRec r;
    r.cls = cls;
    r.atom = st().next_atom++;
    c[cls.name] = r;
    if (!cls.drawn_as.empty()) {
        auto upper = [](std::string k) {
            for (char& ch : k) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            return k;
        };
        auto& painters = st().painters;
        if (auto it = painters.find(upper(cls.drawn_as)); it != painters.end()) painters[upper(cls.name)] = it->second;
    }
    return r.atom;
}

bool os_get_class_info(std::string_view name, OsWndClass& cls) {
    ensure_builtin_classes();
    os_register_controls();
    const ClassRec* c = find_class(name);
    if (!c) return false;
    cls = c->cls;
    cls.drawn_as = c->cls.name;
    return true;
}

bool os_unregister_class(std::string_view name) {
    auto& c = st().classes;
    auto it = c.find(std::string(name));
    if (it == c.end() || it->second.builtin) return false;
    for (auto& [h, w] : st().windows)
        if (!w->destroying && w->atom == it->second.atom) return false;
    c.erase(it);
    return true;
}

std::int32_t os_class_atom(std::string_view name) {
    ensure_builtin_classes();
    const ClassRec* c = find_class(name);
    return c ? c->atom : 0;
}

std::int32_t os_window_class_atom(OsWindow w) {
    WinRec* r = rec(w);
    return r ? r->atom : 0;
}

std::uint32_t os_register_window_message(std::string_view name) {
    if (name.empty()) return 0;
    auto& m = st().registered_names;
    auto it = m.find(std::string(name));
    if (it != m.end()) return it->second;
    return m[std::string(name)] = st().next_registered++;
}

std::uint32_t os_register_clipboard_format(std::string_view name) { return os_register_window_message(name); }

std::int32_t os_module_instance() { return 1; }

// ---- windows ---------------------------------------------------------------------

OsWindow os_create_window(std::uint32_t ex_style, std::string_view class_name, std::string_view title,
                          std::uint32_t style, std::int32_t x, std::int32_t y, std::int32_t width,
                          std::int32_t height, OsWindow parent, std::int32_t menu, std::int32_t id) {
    if (!os_app_gui()) return 0;
    ensure_builtin_classes();
    const ClassRec* found = find_class(class_name);
    if (!found) return 0;
    const ClassRec* cit = found;
    const bool is_child = (style & OS_WS_CHILD) != 0;
    if (is_child && !rec(parent)) return 0;
    if (!is_child && parent != 0 && !rec(parent)) return 0;

    auto r = std::make_unique<WinRec>();
    State& s = st();
    r->h = s.next_handle++;
    if (s.next_handle <= 0) s.next_handle = 1;
    r->z = ++s.next_z;
    r->atom = cit->atom;
    r->class_name = cit->cls.name;
    r->proc = cit->cls.proc;
    r->class_style = cit->cls.style;
    r->background = cit->cls.background;
    r->cursor = os_load_cursor(cit->cls.cursor);
    r->style = style & ~OS_WS_VISIBLE;
    r->ex_style = ex_style;
    if (is_child) {
        r->parent = parent;
    } else {
        // The owner of a window is always a top-level window.
        r->owner = top_level_of(parent);
    }
    r->id = id;
    r->title = std::string(title);
    r->menu = is_child ? 0 : menu;
    if (is_child) r->menu = 0;
    r->rect = {x, y, x + std::max(0, width), y + std::max(0, height)};
    r->normal = r->rect;
    const OsWindow h = r->h;
    WinRec& rr = *r;
    forget_window();
    s.windows[h] = std::move(r);

    // An owned window is a dialog of its owner for the window manager
    // (transient for it), so that it stays above its owner.
    Qt::WindowFlags f = is_child ? Qt::Widget : rec(rr.owner) ? Qt::Dialog : Qt::Window;
    if (!is_child) {
        if (ex_style & OS_WS_EX_TOOLWINDOW) f = Qt::Tool;
        if (ex_style & OS_WS_EX_TOPMOST) f |= Qt::WindowStaysOnTopHint;
        if (!(style & OS_WS_CAPTION) && (style & OS_WS_POPUP)) f |= Qt::FramelessWindowHint;
    }
    QWidget* pw = nullptr;
    if (is_child) {
        pw = rec(parent)->widget;
    } else if (WinRec* ow = rec(rr.owner)) {
        pw = ow->widget;
    }
    rr.widget = new OsWidget(h, pw, f);
    rr.widget->setWindowTitle(os_qstring(rr.title));
    if (style & OS_WS_MAXIMIZE) {
        rr.state = 2;
        rr.rect = maximised_rect(rr);
    } else if (style & OS_WS_MINIMIZE) {
        rr.state = 1;
        rr.rect = minimised_rect(rr);
    }
    resize_surface(rr);
    sync_widget(rr);

    if (os_send_message(h, OSM_CREATE, 0, 0) == -1) {
        os_destroy_window(h);
        return 0;
    }
    WinRec* cr = rec(h);
    if (!cr) return 0;
    const OsPoint cs = client_size(*cr);
    const std::uintptr_t kind =
        cr->state == 1 ? OS_SIZE_MINIMIZED : (cr->state == 2 ? OS_SIZE_MAXIMIZED : OS_SIZE_RESTORED);
    os_send_message(h, OSM_SIZE, kind, os_make_lparam(cs.x, cs.y));
    if (!rec(h)) return 0;
    os_send_message(h, OSM_MOVE, 0, os_make_lparam(rec(h)->rect.left, rec(h)->rect.top));
    if (!rec(h)) return 0;
    if (style & OS_WS_VISIBLE) os_show_window(h, OS_SW_SHOWNOACTIVATE);
    return rec(h) ? h : 0;
}

bool os_destroy_window(OsWindow w) {
    if (!rec(w)) return false;
    std::vector<OsWindow> tree;
    collect_tree(w, tree);
    State& s = st();
    // The keyboard and the activation do not die with the window that held
    // them: they go to what it lived in, its parent or its owner, so that
    // keys still reach the program after a child window closes.
    OsWindow heir = 0;
    if (WinRec* r = rec(w)) heir = r->child() ? r->parent : r->owner;
    bool focus_lost = false, active_lost = false;
    for (OsWindow h : tree) {
        if (s.focus == h) s.focus = 0, focus_lost = true;
        if (s.active == h) s.active = 0, active_lost = true;
        if (s.capture == h) s.capture = 0;
    }
    for (OsWindow h : tree) {
        if (WinRec* r = rec(h)) {
            os_send_message(h, OSM_DESTROY, 0, 0);
            if (WinRec* r2 = rec(h)) r2->destroying = true;
            (void)r;
        }
    }
    // Widgets of children go with their parent's widget; delete the outermost
    // ones only, owned top-levels first.
    for (OsWindow h : tree) {
        auto it = s.windows.find(h);
        if (it == s.windows.end()) continue;
        WinRec& r = *it->second;
        bool parent_goes = false;
        if (r.child())
            parent_goes = std::find(tree.begin(), tree.end(), r.parent) != tree.end();
        if (!parent_goes) delete_widget(r.widget);
    }
    for (OsWindow h : tree) {
        drop_window_messages(h);
        forget_window();
        s.windows.erase(h);
    }
    if (active_lost && s.active == 0) {
        const OsWindow top = top_level_of(heir);
        if (rec(top) && os_is_window_visible(top)) os_set_active_window(top);
    }
    if (focus_lost && s.focus == 0 && rec(heir) && os_is_window_visible(heir)) os_set_focus(heir);
    return true;
}

bool os_is_window(OsWindow w) { return rec(w) != nullptr; }

bool os_is_window_visible(OsWindow w) {
    for (WinRec* r = rec(w); r; r = r->child() ? rec(r->parent) : nullptr) {
        if (!(r->style & OS_WS_VISIBLE)) return false;
        if (!r->child()) return true;
    }
    return false;
}

bool os_is_iconic(OsWindow w) {
    WinRec* r = rec(w);
    return r && r->state == 1;
}

bool os_is_zoomed(OsWindow w) {
    WinRec* r = rec(w);
    return r && r->state == 2;
}

bool os_is_window_enabled(OsWindow w) {
    WinRec* r = rec(w);
    return r && !(r->style & OS_WS_DISABLED);
}

bool os_enable_window(OsWindow w, bool enable) {
    WinRec* r = rec(w);
    if (!r) return false;
    const bool was_disabled = (r->style & OS_WS_DISABLED) != 0;
    if (enable)
        r->style &= ~OS_WS_DISABLED;
    else
        r->style |= OS_WS_DISABLED;
    sync_widget(*r);
    return was_disabled;
}

OsWindow os_get_parent(OsWindow w) {
    WinRec* r = rec(w);
    return r && r->child() ? r->parent : 0;
}

OsWindow os_get_owner(OsWindow w) {
    WinRec* r = rec(w);
    return r && !r->child() ? r->owner : 0;
}

bool os_is_child(OsWindow parent, OsWindow w) {
    for (WinRec* r = rec(w); r && r->child(); r = rec(r->parent))
        if (r->parent == parent) return true;
    return false;
}

std::uint32_t os_get_style(OsWindow w) {
    WinRec* r = rec(w);
    return r ? r->style : 0;
}

std::uint32_t os_get_ex_style(OsWindow w) {
    WinRec* r = rec(w);
    return r ? r->ex_style : 0;
}

void os_set_ex_style(OsWindow w, std::uint32_t ex_style) {
    if (WinRec* r = rec(w)) r->ex_style = ex_style;
}

void os_set_style(OsWindow w, std::uint32_t style) {
    WinRec* r = rec(w);
    if (!r) return;
    // Visibility and the child bit change only through their own calls.
    r->style = (style & ~(OS_WS_VISIBLE | OS_WS_CHILD)) | (r->style & (OS_WS_VISIBLE | OS_WS_CHILD));
    sync_widget(*r);
    if (r->widget) r->widget->update();
}

std::int32_t os_get_control_id(OsWindow w) {
    WinRec* r = rec(w);
    return r ? r->id : 0;
}

std::string os_get_class_name(OsWindow w) {
    WinRec* r = rec(w);
    return r ? r->class_name : std::string();
}

std::string os_get_window_text(OsWindow w) {
    WinRec* r = rec(w);
    return r ? r->title : std::string();
}

void os_set_window_text(OsWindow w, std::string_view text) {
    WinRec* r = rec(w);
    if (!r) return;
    if (r->control && r->class_name != "#32770") {
        // A control hears of its new text (and a subclass of it), as from the user.
        const std::string t(text);
        os_send_message(w, OSM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(t.c_str()));
        return;
    }
    r->title = std::string(text);
    if (r->widget) {
        r->widget->setWindowTitle(os_qstring(r->title));
        r->widget->update();
    }
}

std::intptr_t os_get_window_user(OsWindow w) {
    WinRec* r = rec(w);
    return r ? r->user : 0;
}

std::intptr_t os_set_window_user(OsWindow w, std::intptr_t value) {
    WinRec* r = rec(w);
    if (!r) return 0;
    const std::intptr_t old = r->user;
    r->user = value;
    return old;
}

std::int32_t os_get_menu(OsWindow w) {
    WinRec* r = rec(w);
    return r ? r->menu : 0;
}

void os_set_menu(OsWindow w, std::int32_t menu) {
    WinRec* r = rec(w);
    if (!r || r->child()) return;
    // The menu bar takes its room from the client area; the frame keeps its size.
    const bool had = r->menu != 0;
    r->menu = menu;
    if (had != (menu != 0)) apply_geometry(w, r->rect, r->state, true);
    else if (r->widget) r->widget->update();
}

void os_set_proc_paints(OsWindow w, bool on) {
    if (WinRec* r = rec(w)) {
        r->proc_paints = on;
        if (r->widget) r->widget->update();
    }
}

bool os_set_retained(OsWindow w) {
    WinRec* r = rec(w);
    if (!r) return false;
    if (r->retained) return true;
    r->retained = true;
    resize_surface(*r);
    // The image starts as the window looks now.
    if (!r->surface.isNull() && r->widget) {
        std::string key = r->class_name;
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (auto it = st().painters.find(key); it != st().painters.end()) {
            QPainter p(&r->surface);
            p.translate(-client_origin_in_widget(*r));
            it->second(*r, r->widget, p);
        }
    }
    return true;
}

OsWindow os_set_parent(OsWindow w, OsWindow parent) {
    WinRec* r = rec(w);
    WinRec* p = rec(parent);
    if (!r || !p || !r->child() || w == parent || os_is_child(w, parent)) return 0;
    const OsWindow old = r->parent;
    r->parent = parent;
    if (r->widget && p->widget) r->widget->setParent(p->widget);
    sync_widget(*r);
    return old;
}

std::vector<OsWindow> os_child_windows(OsWindow parent) {
    std::vector<WinRec*> found;
    for (auto& [h, r] : st().windows)
        if (!r->destroying && r->child() && r->parent == parent) found.push_back(r.get());
    std::stable_sort(found.begin(), found.end(), [](const WinRec* a, const WinRec* b) { return a->z < b->z; });
    std::vector<OsWindow> out;
    out.reserve(found.size());
    for (const WinRec* r : found) out.push_back(r->h);
    return out;
}

namespace {

// Places a child right after a sibling in the z-order.
bool place_after(OsWindow w, OsWindow after) {
    WinRec* r = rec(w);
    WinRec* a = rec(after);
    if (!r || !a || w == after || !r->child() || !a->child() || a->parent != r->parent) return false;
    std::vector<OsWindow> order = os_child_windows(r->parent);
    order.erase(std::find(order.begin(), order.end(), w));
    order.insert(std::find(order.begin(), order.end(), after) + 1, w);
    for (OsWindow h : order) rec(h)->z = ++st().next_z;
    return true;
}

}  // namespace

std::vector<OsWindow> os_top_level_windows() {
    std::vector<OsWindow> out;
    for (auto& [h, r] : st().windows)
        if (!r->destroying && !r->child()) out.push_back(h);
    return out;
}

std::intptr_t os_send_message(OsWindow w, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    WinRec* r = rec(w);
    if (!r || !r->proc) return 0;
    // What a procedure makes of it while the toolkit delivers an event (a
    // paint, a resize) is seen only when the waiting loop wakes.
    if (st().handler_depth > 0) st().toolkit_sent = true;
    return r->proc(w, msg, wp, lp);
}

OsWndProc os_set_window_proc(OsWindow w, OsWndProc proc) {
    WinRec* r = rec(w);
    if (!r || !proc) return nullptr;
    const OsWndProc old = r->proc;
    r->proc = proc;
    return old;
}

OsWndProc os_get_window_proc(OsWindow w) {
    WinRec* r = rec(w);
    return r ? r->proc : nullptr;
}

std::intptr_t os_def_window_proc(OsWindow w, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    WinRec* r = rec(w);
    if (!r) return 0;
    switch (msg) {
    case OSM_CLOSE:
        os_destroy_window(w);
        return 0;
    case OSM_PAINT:
        os_validate_rect(w, nullptr);
        return 0;
    case OSM_SETCURSOR:
        if (os_loword(static_cast<std::uintptr_t>(lp)) == OS_HTCLIENT) {
            os_set_cursor(r->cursor);
            return 1;
        }
        return 0;
    case OSM_NCACTIVATE:
        if (r->widget) r->widget->update();
        return 1;
    case OSM_NCLBUTTONDOWN: {
        const std::int32_t hit = static_cast<std::int32_t>(wp);
        os_set_active_window(top_level_of(w));
        if (hit == OS_HTMENU && st().menu_bar_click && r->menu)
            st().menu_bar_click(w, {os_loword(static_cast<std::uintptr_t>(lp)), os_hiword(static_cast<std::uintptr_t>(lp))});
        else if (hit == OS_HTCLOSE && (r->style & OS_WS_SYSMENU))
            os_send_message(w, OSM_CLOSE, 0, 0);
        else if (hit == OS_HTMINBUTTON && (r->style & OS_WS_MINIMIZEBOX))
            os_show_window(w, OS_SW_MINIMIZE);
        else if (hit == OS_HTMAXBUTTON && (r->style & OS_WS_MAXIMIZEBOX))
            os_show_window(w, r->state == 2 ? OS_SW_RESTORE : OS_SW_SHOWMAXIMIZED);
        else if (hit == OS_HTHSCROLL || hit == OS_HTVSCROLL)
            scroll_click(w, hit, {os_loword(static_cast<std::uintptr_t>(lp)), os_hiword(static_cast<std::uintptr_t>(lp))});
        return 0;
    }
    case OSM_RBUTTONUP: {
        OsPoint p{static_cast<std::int16_t>(os_loword(static_cast<std::uintptr_t>(lp))),
                  static_cast<std::int16_t>(os_hiword(static_cast<std::uintptr_t>(lp)))};
        os_client_to_screen(w, p);
        os_send_message(w, OSM_CONTEXTMENU, static_cast<std::uintptr_t>(w), os_make_lparam(p.x, p.y));
        return 0;
    }
    case OSM_CONTEXTMENU:
        if (r->child() && r->parent) return os_send_message(r->parent, OSM_CONTEXTMENU, wp, lp);
        return 0;
    case OSM_MOUSEACTIVATE:
        // A child lets its parents decide; without an answer the click activates.
        if (r->child() && r->parent)
            if (const std::intptr_t a = os_send_message(r->parent, OSM_MOUSEACTIVATE, wp, lp)) return a;
        return OS_MA_ACTIVATE;
    case OSM_NCHITTEST:
        return geometric_hit(w, {static_cast<std::int16_t>(os_loword(static_cast<std::uintptr_t>(lp))),
                                 static_cast<std::int16_t>(os_hiword(static_cast<std::uintptr_t>(lp)))});
    default:
        return 0;
    }
}

// ---- geometry ------------------------------------------------------------------

bool os_get_window_rect(OsWindow w, OsRect& out) {
    WinRec* r = rec(w);
    if (!r) return false;
    out = r->rect;
    if (r->child()) {
        if (WinRec* pr = rec(r->parent)) {
            const OsPoint o = client_origin_on_screen(*pr);
            out.left += o.x;
            out.right += o.x;
            out.top += o.y;
            out.bottom += o.y;
        }
    }
    return true;
}

bool os_get_client_rect(OsWindow w, OsRect& out) {
    WinRec* r = rec(w);
    if (!r) return false;
    const OsPoint cs = client_size(*r);
    out = {0, 0, cs.x, cs.y};
    return true;
}

bool os_client_to_screen(OsWindow w, OsPoint& p) {
    WinRec* r = rec(w);
    if (!r) return false;
    const OsPoint o = client_origin_on_screen(*r);
    p.x += o.x;
    p.y += o.y;
    return true;
}

bool os_screen_to_client(OsWindow w, OsPoint& p) {
    WinRec* r = rec(w);
    if (!r) return false;
    const OsPoint o = client_origin_on_screen(*r);
    p.x -= o.x;
    p.y -= o.y;
    return true;
}

void os_adjust_window_rect(OsRect& r, std::uint32_t style, bool menu, std::uint32_t ex_style) {
    // A menu bar belongs to a top-level window only, but the adjustment adds
    // it for any style asked with one, as callers combine two adjustments.
    Insets in = insets_of(style & ~OS_WS_CHILD, ex_style, menu);
    r.left -= in.l;
    r.top -= in.t;
    r.right += in.r;
    r.bottom += in.b;
}

namespace {

// Raises a window; a top-level window's owned windows come back over it,
// in their order, since an owner never lies above what it owns.
void raise_window(OsWindow w) {
    WinRec* r = rec(w);
    if (!r || !r->widget) return;
    r->widget->raise();
    if (r->child()) return;
    std::vector<WinRec*> owned;
    for (auto& [h, o] : st().windows)
        if (!o->child() && o->owner == w && o->widget && o->widget->isVisible()) owned.push_back(o.get());
    std::sort(owned.begin(), owned.end(), [](const WinRec* a, const WinRec* b) { return a->z < b->z; });
    for (WinRec* o : owned) raise_window(o->h);
}

}  // namespace

bool os_set_window_pos(OsWindow w, OsWindow insert_after, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height, std::uint32_t flags) {
    WinRec* r = rec(w);
    if (!r) return false;
    if (flags & OS_SWP_HIDEWINDOW) os_show_window(w, OS_SW_HIDE);
    r = rec(w);
    if (!r) return false;
    if (!(flags & OS_SWP_NOMOVE) || !(flags & OS_SWP_NOSIZE)) {
        OsRect nr = r->rect;
        if (!(flags & OS_SWP_NOMOVE)) {
            nr.right += x - nr.left;
            nr.bottom += y - nr.top;
            nr.left = x;
            nr.top = y;
        }
        if (!(flags & OS_SWP_NOSIZE)) {
            nr.right = nr.left + std::max(0, width);
            nr.bottom = nr.top + std::max(0, height);
        }
        if (r->state == 0) r->normal = nr;
        apply_geometry(w, nr, r->state, !(flags & OS_SWP_NOREDRAW));
    }
    // A window placed after a sibling takes the place after it in the order
    // of the children; on the screen it is still drawn over what it overlaps
    // (a tab page over its tab field).
    if (!(flags & OS_SWP_NOZORDER) && insert_after != OS_HWND_TOP) place_after(w, insert_after);
    if (!(flags & OS_SWP_NOZORDER) && rec(w) && rec(w)->widget && (rec(w)->child() || !os_app_headless()))
        raise_window(w);
    if ((flags & OS_SWP_SHOWWINDOW) && rec(w))
        os_show_window(w, (flags & OS_SWP_NOACTIVATE) ? OS_SW_SHOWNOACTIVATE : OS_SW_SHOW);
    return rec(w) != nullptr;
}

bool os_move_window(OsWindow w, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                    bool repaint) {
    return os_set_window_pos(w, 0, x, y, width, height, OS_SWP_NOZORDER | OS_SWP_NOACTIVATE |
                                                            (repaint ? 0u : OS_SWP_NOREDRAW));
}

OsPoint os_work_area_offset() { return {0, 0}; }

OsRect os_work_area() {
    const OsPoint off = os_work_area_offset();
    return {off.x, off.y, os_config().screen_width, os_config().screen_height};
}

bool os_get_window_placement(OsWindow w, OsPlacement& p) {
    WinRec* r = rec(w);
    if (!r) return false;
    p.show = r->state == 1 ? OS_SW_SHOWMINIMIZED : (r->state == 2 ? OS_SW_SHOWMAXIMIZED : OS_SW_SHOWNORMAL);
    p.normal = r->state == 0 ? r->rect : r->normal;
    if (!r->child()) {
        const OsPoint off = os_work_area_offset();
        p.normal.left -= off.x;
        p.normal.right -= off.x;
        p.normal.top -= off.y;
        p.normal.bottom -= off.y;
    }
    return true;
}

bool os_set_window_placement(OsWindow w, const OsPlacement& p) {
    WinRec* r = rec(w);
    if (!r) return false;
    OsRect n = p.normal;
    if (!r->child()) {
        const OsPoint off = os_work_area_offset();
        n.left += off.x;
        n.right += off.x;
        n.top += off.y;
        n.bottom += off.y;
    }
    r->normal = n;
    if (r->state == 0 && p.show != OS_SW_SHOWMINIMIZED && p.show != OS_SW_SHOWMAXIMIZED &&
        p.show != OS_SW_MINIMIZE && p.show != OS_SW_SHOWMINNOACTIVE) {
        apply_geometry(w, n, 0, true);
        if (p.show != OS_SW_HIDE && rec(w)) os_show_window(w, p.show);
        return rec(w) != nullptr;
    }
    return os_show_window(w, p.show), rec(w) != nullptr;
}

// ---- showing, activation, focus -------------------------------------------------

bool os_show_window(OsWindow w, std::int32_t cmd) {
    WinRec* r = rec(w);
    if (!r) return false;
    const bool was = (r->style & OS_WS_VISIBLE) != 0;
    std::int32_t nstate = r->state;
    bool show = true, activate = false;
    switch (cmd) {
    case OS_SW_HIDE: show = false; break;
    case OS_SW_SHOWNORMAL:
    case OS_SW_RESTORE: nstate = 0; activate = true; break;
    case OS_SW_SHOWMINIMIZED:
    case OS_SW_MINIMIZE:
    case OS_SW_SHOWMINNOACTIVE: nstate = 1; break;
    case OS_SW_SHOWMAXIMIZED: nstate = 2; activate = true; break;
    case OS_SW_SHOW: activate = true; break;
    default: break;  // OS_SW_SHOWNOACTIVATE and others: show as it is
    }
    if (cmd == OS_SW_RESTORE && r->state == 0) nstate = 0;
    if (!show) {
        r->style &= ~OS_WS_VISIBLE;
        sync_widget(*r);
        if (was) os_send_message(w, OSM_SHOWWINDOW, 0, 0);
        if (st().focus && (st().focus == w || os_is_child(w, st().focus))) st().focus = 0;
        return was;
    }
    if (nstate != r->state) {
        if (r->state == 0) r->normal = r->rect;
        const OsRect nr = nstate == 0 ? r->normal : (nstate == 2 ? maximised_rect(*r) : minimised_rect(*r));
        apply_geometry(w, nr, nstate, true);
        r = rec(w);
        if (!r) return was;
    }
    if (!was) {
        r->style |= OS_WS_VISIBLE;
        sync_widget(*r);
        os_send_message(w, OSM_SHOWWINDOW, 1, 0);
        invalidate_tree(w);
    }
    r = rec(w);
    if (r && r->widget && !r->child()) {
        if (r->state == 2 && !os_app_headless())
            r->widget->showMaximized();
        else if (r->state == 1 && !os_app_headless())
            r->widget->showMinimized();
    }
    if (activate && r && !r->child()) os_set_active_window(w);
    return was;
}

bool os_bring_window_to_top(OsWindow w) {
    WinRec* r = rec(w);
    if (!r) return false;
    if (r->widget && (r->child() || !os_app_headless())) raise_window(w);
    if (!r->child()) os_set_active_window(w);
    return true;
}

OsWindow os_get_active_window() { return rec(st().active) ? st().active : 0; }

OsWindow os_set_active_window(OsWindow w) {
    State& s = st();
    WinRec* r = rec(w);
    if (!r || r->child()) return 0;
    const OsWindow old = rec(s.active) ? s.active : 0;
    if (old == w) return old;
    s.active = w;
    if (old) {
        os_send_message(old, OSM_NCACTIVATE, 0, 0);
        os_send_message(old, OSM_ACTIVATE, OS_WA_INACTIVE, w);
    }
    if (rec(w)) {
        os_send_message(w, OSM_NCACTIVATE, 1, 0);
        os_send_message(w, OSM_ACTIVATE, OS_WA_ACTIVE, old);
        if (WinRec* r2 = rec(w); r2 && r2->widget && r2->widget->isVisible() && os_app_interactive()) r2->widget->activateWindow();
    }
    return old;
}

OsWindow os_get_focus() { return rec(st().focus) ? st().focus : 0; }

OsWindow os_set_focus(OsWindow w) {
    State& s = st();
    const OsWindow old = rec(s.focus) ? s.focus : 0;
    if (w != 0 && !rec(w)) return old;
    if (old == w) return old;
    s.focus = w;
    if (old) os_send_message(old, OSM_KILLFOCUS, static_cast<std::uintptr_t>(w), 0);
    if (w && rec(w) && s.focus == w) {
        os_send_message(w, OSM_SETFOCUS, static_cast<std::uintptr_t>(old), 0);
        if (WinRec* r = rec(w); r && r->widget && r->widget->isVisible()) r->widget->setFocus();
    }
    return old;
}

void os_set_app_active(bool active) {
    State& s = st();
    if (s.app_active == active) return;
    s.app_active = active;
    for (OsWindow h : os_top_level_windows()) os_send_message(h, OSM_ACTIVATEAPP, active ? 1 : 0, 0);
}

// ---- painting ------------------------------------------------------------------

bool os_invalidate_rect(OsWindow w, const OsRect* r0, bool) {
    WinRec* r = rec(w);
    if (!r) return false;
    const OsPoint cs = client_size(*r);
    OsRect a = r0 ? *r0 : OsRect{0, 0, cs.x, cs.y};
    a.left = std::max(a.left, 0);
    a.top = std::max(a.top, 0);
    a.right = std::min(a.right, cs.x);
    a.bottom = std::min(a.bottom, cs.y);
    if (a.empty()) return true;
    if (r->has_update) {
        r->update.left = std::min(r->update.left, a.left);
        r->update.top = std::min(r->update.top, a.top);
        r->update.right = std::max(r->update.right, a.right);
        r->update.bottom = std::max(r->update.bottom, a.bottom);
    } else {
        r->update = a;
        r->has_update = true;
    }
    if (r->widget) r->widget->update();
    return true;
}

bool os_validate_rect(OsWindow w, const OsRect* r0) {
    WinRec* r = rec(w);
    if (!r) return false;
    if (!r0) {
        r->has_update = false;
        r->update = {};
        return true;
    }
    // The update area is kept as one box: validating it whole clears it, a
    // validated band across a whole side trims it, anything else leaves it.
    OsRect& u = r->update;
    if (!r->has_update) return true;
    if (r0->left <= u.left && r0->top <= u.top && r0->right >= u.right && r0->bottom >= u.bottom) {
        r->has_update = false;
        u = {};
    } else if (r0->left <= u.left && r0->right >= u.right) {
        if (r0->top <= u.top && r0->bottom > u.top) u.top = r0->bottom;
        else if (r0->bottom >= u.bottom && r0->top < u.bottom) u.bottom = r0->top;
    } else if (r0->top <= u.top && r0->bottom >= u.bottom) {
        if (r0->left <= u.left && r0->right > u.left) u.left = r0->right;
        else if (r0->right >= u.right && r0->left < u.right) u.right = r0->left;
    }
    if (r->has_update && u.empty()) {
        r->has_update = false;
        u = {};
    }
    return true;
}

bool os_get_update_rect(OsWindow w, OsRect& out, bool) {
    // The image is retained, so nothing is lost and no background is erased.
    WinRec* r = rec(w);
    if (!r || !r->has_update) {
        out = {};
        return false;
    }
    out = r->update;
    return true;
}

bool os_update_window(OsWindow w) {
    WinRec* r = rec(w);
    if (!r) return false;
    if (r->has_update && os_is_window_visible(w)) os_send_message(w, OSM_PAINT, 0, 0);
    return true;
}

// ---- display --------------------------------------------------------------------

std::int32_t os_get_system_metrics(std::int32_t index) {
    const OsConfig& c = os_config();
    switch (index) {
    case OS_SM_CXSCREEN: return c.screen_width;
    case OS_SM_CYSCREEN: return c.screen_height;
    case OS_SM_CXVSCROLL:
    case OS_SM_CYHSCROLL: return c.scroll_bar_size;
    case OS_SM_CYCAPTION: return c.caption_height;
    case OS_SM_CXBORDER:
    case OS_SM_CYBORDER: return c.thin_border;
    case OS_SM_CXDLGFRAME:
    case OS_SM_CYDLGFRAME: return c.fixed_border;
    case OS_SM_CYMENU: return c.menu_height;
    case OS_SM_CXFRAME:
    case OS_SM_CYFRAME: return c.sizing_border;
    case OS_SM_CMOUSEBUTTONS: return c.mouse_buttons;
    case OS_SM_CYSMCAPTION: return c.small_caption_height;
    default: return 0;
    }
}

std::uint32_t os_sys_colour(std::int32_t index) {
    switch (index) {
    case OS_COLOR_WINDOW: return 0xFFFFFF;
    case OS_COLOR_WINDOWTEXT: return 0x000000;
    case OS_COLOR_BTNFACE: return 0xF0F0F0;
    case OS_COLOR_HIGHLIGHT: return 0xD77800;  // blue, as 0x00BBGGRR
    case OS_COLOR_HIGHLIGHTTEXT: return 0xFFFFFF;
    case OS_COLOR_BTNSHADOW: return 0xA0A0A0;
    case OS_COLOR_BTNHIGHLIGHT: return 0xFFFFFF;
    case OS_COLOR_GRAYTEXT: return 0x6D6D6D;
    case OS_COLOR_BTNTEXT: return 0x000000;
    default: return 0xC0C0C0;
    }
}

OsDisplayInfo os_display_info() {
    os_app_gui();
    const OsConfig& c = os_config();
    OsDisplayInfo d;
    d.width = c.screen_width;
    d.height = c.screen_height;
    d.dpi = c.dpi;
    d.planes = 1;
    d.bits = c.colour_bits;
    // The library asks for the major version of its original platform family.
    d.os_major = 6;
    d.nt = true;
    return d;
}

void os_message_beep(std::uint32_t) {
    ++st().beeps;
    if (!os_app_headless()) QApplication::beep();
}

std::int32_t os_beep_count() { return st().beeps; }

// ---- retained surfaces ----------------------------------------------------------

OsPoint os_surface_size(OsWindow w) {
    WinRec* r = rec(w);
    if (!r || r->surface.isNull()) return {0, 0};
    return {r->surface.width(), r->surface.height()};
}

bool os_surface_fill(OsWindow w, const OsRect& a, std::uint32_t colour) {
    WinRec* r = rec(w);
    if (!r || r->surface.isNull()) return false;
    QPainter p(&r->surface);
    p.fillRect(QRect(a.left, a.top, a.width(), a.height()), qcolour(colour));
    if (r->widget) r->widget->update();
    return true;
}

std::int64_t os_surface_pixel(OsWindow w, std::int32_t x, std::int32_t y) {
    WinRec* r = rec(w);
    if (!r || r->surface.isNull() || !r->surface.valid(x, y)) return -1;
    const QRgb c = r->surface.pixel(x, y);
    return static_cast<std::int64_t>(qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16));
}

bool os_grab_window_png(OsWindow w, const std::string& file) {
    WinRec* r = rec(w);
    if (!r || !r->widget) return false;
    const QPixmap pm = r->widget->grab();
    return pm.save(QString::fromUtf8(file.c_str()), "PNG");
}
