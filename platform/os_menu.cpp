// Menus and accelerator tables: the layer's own menu model, the menu bar a
// frame draws, and the tracking of pop-ups (by the user on a display, by a
// responder otherwise).
#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>

#include <algorithm>
#include <map>

#include "platform/os_codepage_qt.h"
#include "platform/os_app.h"
#include "platform/os_menu.h"
#include "platform/os_window_p.h"

namespace {

struct Item {
    int kind = OS_MENU_ITEM;
    int id = 0;
    std::uint32_t state = 0;
    std::string text;
    OsMenu sub = 0;
    std::intptr_t data = 0;
};

struct MenuRec {
    bool popup = false;
    std::vector<Item> items;
};

struct MenuState {
    std::map<OsMenu, MenuRec> menus;
    OsMenu next_menu = 1;
    std::map<OsAccel, std::vector<OsAccelerator>> accels;
    OsAccel next_accel = 1;
    OsMenuResponder responder;
};

MenuState& ms() {
    static MenuState* s = new MenuState;
    return *s;
}

MenuRec* menu(OsMenu m) {
    auto it = ms().menus.find(m);
    return it == ms().menus.end() ? nullptr : &it->second;
}

QString qtext(const std::string& s) { return os_qstring(s); }

// What a menu item shows: "&" marks the mnemonic ("&&" is a plain "&");
// the text after a tab is the key shown at the right.
QString shown_text(const std::string& s, QString* key = nullptr) {
    std::string t = s, k;
    if (auto tab = t.find('\t'); tab != std::string::npos) {
        k = t.substr(tab + 1);
        t.resize(tab);
    }
    std::string out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '&' && i + 1 < t.size()) ++i;
        out += t[i];
    }
    if (key) *key = qtext(k);
    return qtext(out);
}

void install_frame_hooks();

OsMenu new_menu(bool popup) {
    install_frame_hooks();
    const OsMenu h = ms().next_menu++;
    ms().menus[h].popup = popup;
    return h;
}

OsMenu build(const std::vector<OsMenuItem>& items, bool popup) {
    const OsMenu h = new_menu(popup);
    std::vector<Item> out;
    for (const OsMenuItem& src : items) {
        Item it;
        it.kind = src.kind;
        it.id = src.kind == OS_MENU_SEPARATOR ? 0 : src.id;
        it.state = src.state & (OS_MF_GRAYED | OS_MF_DISABLED | OS_MF_CHECKED);
        it.text = src.text;
        if (src.kind == OS_MENU_POPUP) it.sub = build(src.items, true);
        out.push_back(it);
    }
    menu(h)->items = std::move(out);
    return h;
}

// Depth-first search by position for a command id.
bool find_command(OsMenu m, int id, OsMenu& owner, int& pos) {
    MenuRec* r = menu(m);
    if (!r) return false;
    for (std::size_t i = 0; i < r->items.size(); ++i) {
        if (r->items[i].kind != OS_MENU_SEPARATOR && r->items[i].id == id) {
            owner = m;
            pos = static_cast<int>(i);
            return true;
        }
        if (r->items[i].sub && find_command(r->items[i].sub, id, owner, pos)) return true;
    }
    return false;
}

Item* find_item(OsMenu m, std::uint32_t item, std::uint32_t flags) {
    OsMenu owner = 0;
    int pos = -1;
    if (!os_find_menu_item(m, item, flags, owner, pos)) return nullptr;
    return &menu(owner)->items[static_cast<std::size_t>(pos)];
}

// ---- menu bar ---------------------------------------------------------------

// Left and right edges of each item of a menu bar, in widget pixels.
std::vector<std::pair<int, int>> bar_layout(const MenuRec& r, const QFontMetrics& fm) {
    std::vector<std::pair<int, int>> out;
    int x = 2;
    for (const Item& it : r.items) {
        const int w = it.kind == OS_MENU_SEPARATOR ? 6 : fm.horizontalAdvance(shown_text(it.text)) + 14;
        out.emplace_back(x, x + w);
        x += w;
    }
    return out;
}

void paint_bar(OsWindow frame, QPainter& p, const QRect& area) {
    osw::WinRec* w = osw::rec(frame);
    MenuRec* r = w ? menu(w->menu) : nullptr;
    if (!r) return;
    const QFontMetrics fm(p.font());
    const auto lay = bar_layout(*r, fm);
    for (std::size_t i = 0; i < r->items.size(); ++i) {
        const Item& it = r->items[i];
        if (it.kind == OS_MENU_SEPARATOR) continue;
        const QRect box(lay[i].first, area.top(), lay[i].second - lay[i].first, area.height());
        const bool grey = (it.state & (OS_MF_GRAYED | OS_MF_DISABLED)) != 0;
        p.setPen(grey ? QColor(160, 160, 160) : QColor(0, 0, 0));
        p.drawText(box, Qt::AlignCenter, shown_text(it.text));
        if (it.state & OS_MF_CHECKED) p.drawRect(box.adjusted(1, 2, -2, -3));
    }
}

// ---- tracking -------------------------------------------------------------------

std::uintptr_t select_word(const Item& it, int pos) {
    std::uint32_t flags = it.state;
    if (it.kind == OS_MENU_POPUP) flags |= OS_MF_POPUP;
    if (it.kind == OS_MENU_SEPARATOR) flags |= OS_MF_SEPARATOR;
    const std::uint32_t lo = it.kind == OS_MENU_POPUP ? static_cast<std::uint32_t>(pos) : static_cast<std::uint32_t>(it.id);
    return (lo & 0xFFFF) | ((flags & 0xFFFF) << 16);
}

void highlight(OsWindow owner, OsMenu m, int pos) {
    MenuRec* r = menu(m);
    if (!r || pos < 0 || pos >= static_cast<int>(r->items.size())) return;
    const Item it = r->items[static_cast<std::size_t>(pos)];
    os_send_message(owner, OSM_MENUSELECT, select_word(it, pos), m);
    if (it.sub && os_is_window(owner)) os_send_message(owner, OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(it.sub), pos);
}

// Goes the responder's (or test's) way through a menu; the chosen command or 0.
std::int32_t walk(OsWindow owner, OsMenu m, const OsMenuChoice& c) {
    OsMenu cur = m;
    std::int32_t chosen = 0;
    for (std::size_t i = 0; i < c.path.size() && cur; ++i) {
        MenuRec* r = menu(cur);
        const int pos = c.path[i];
        if (!r || pos < 0 || pos >= static_cast<int>(r->items.size())) break;
        const Item it = r->items[static_cast<std::size_t>(pos)];
        highlight(owner, cur, pos);
        if (!os_is_window(owner)) return 0;
        const bool last = i + 1 == c.path.size();
        if (last && c.choose && it.kind == OS_MENU_ITEM && !(it.state & (OS_MF_GRAYED | OS_MF_DISABLED)))
            chosen = it.id;
        cur = it.sub;
    }
    return chosen;
}

// A toolkit menu mirroring one of ours; highlighting reports to the owner.
QMenu* qt_menu(OsMenu m, OsWindow owner, QWidget* parent) {
    auto* qm = new QMenu(parent);
    MenuRec* r = menu(m);
    if (!r) return qm;
    for (std::size_t i = 0; i < r->items.size(); ++i) {
        const Item& it = r->items[i];
        const int pos = static_cast<int>(i);
        if (it.kind == OS_MENU_SEPARATOR) {
            qm->addSeparator();
            continue;
        }
        QString key;
        QString label = shown_text(it.text, &key);
        if (!key.isEmpty()) label += QLatin1Char('\t') + key;
        QAction* a = nullptr;
        if (it.kind == OS_MENU_POPUP) {
            QMenu* sub = qt_menu(it.sub, owner, qm);
            sub->setTitle(label);
            a = qm->addMenu(sub);
        } else {
            a = qm->addAction(label);
            a->setData(it.id);
        }
        a->setEnabled(!(it.state & (OS_MF_GRAYED | OS_MF_DISABLED)));
        if (it.state & OS_MF_CHECKED) {
            a->setCheckable(true);
            a->setChecked(true);
        }
        QObject::connect(a, &QAction::hovered, [owner, m, pos] { highlight(owner, m, pos); });
    }
    return qm;
}

std::int32_t track(OsMenu m, OsWindow owner, bool popup_loop, const OsMenuChoice* scripted, OsPoint at) {
    if (!menu(m) || !os_is_window(owner)) return 0;
    os_send_message(owner, OSM_ENTERMENULOOP, popup_loop ? 1 : 0, 0);
    if (popup_loop && os_is_window(owner)) os_send_message(owner, OSM_INITMENUPOPUP, static_cast<std::uintptr_t>(m), 0);
    std::int32_t chosen = 0;
    if (scripted) {
        chosen = walk(owner, m, *scripted);
    } else if (ms().responder) {
        chosen = walk(owner, m, ms().responder(m));
    } else if (os_app_interactive() && QApplication::instance()) {
        osw::WinRec* w = osw::rec(owner);
        QMenu* qm = qt_menu(m, owner, w ? w->widget.data() : nullptr);
        if (QAction* a = qm->exec(QPoint(at.x, at.y))) chosen = a->data().toInt();
        qm->deleteLater();
    }
    if (os_is_window(owner)) os_send_message(owner, OSM_MENUSELECT, os_make_lparam(0, static_cast<std::int32_t>(OS_MENU_CLOSED)), 0);
    if (os_is_window(owner)) os_send_message(owner, OSM_EXITMENULOOP, popup_loop ? 1 : 0, 0);
    if (chosen && os_is_window(owner)) os_post_message(owner, OSM_COMMAND, static_cast<std::uint32_t>(chosen) & 0xFFFF, 0);
    return chosen;
}

// A click on a frame's menu bar (screen position).
void bar_click(OsWindow frame, OsPoint screen) {
    osw::WinRec* w = osw::rec(frame);
    MenuRec* r = w ? menu(w->menu) : nullptr;
    if (!r || !w->widget) return;
    const QPoint local = w->widget->mapFromGlobal(QPoint(screen.x, screen.y));
    const auto lay = bar_layout(*r, QFontMetrics(w->widget->font()));
    for (std::size_t i = 0; i < lay.size(); ++i) {
        if (local.x() < lay[i].first || local.x() >= lay[i].second) continue;
        const Item it = r->items[i];
        if (it.kind == OS_MENU_SEPARATOR || (it.state & (OS_MF_GRAYED | OS_MF_DISABLED))) return;
        if (it.kind == OS_MENU_ITEM) {
            os_post_message(frame, OSM_COMMAND, static_cast<std::uint32_t>(it.id) & 0xFFFF, 0);
            return;
        }
        const OsMenu bar = w->menu;
        os_send_message(frame, OSM_ENTERMENULOOP, 0, 0);
        highlight(frame, bar, static_cast<int>(i));
        std::int32_t chosen = 0;
        if (os_is_window(frame) && os_app_interactive()) {
            QMenu* qm = qt_menu(it.sub, frame, w->widget);
            const QPoint below = w->widget->mapToGlobal(QPoint(lay[i].first, os_menu_bar_height(frame)));
            if (QAction* a = qm->exec(below)) chosen = a->data().toInt();
            qm->deleteLater();
        }
        if (os_is_window(frame)) os_send_message(frame, OSM_MENUSELECT, os_make_lparam(0, static_cast<std::int32_t>(OS_MENU_CLOSED)), 0);
        if (os_is_window(frame)) os_send_message(frame, OSM_EXITMENULOOP, 0, 0);
        if (chosen && os_is_window(frame)) os_post_message(frame, OSM_COMMAND, static_cast<std::uint32_t>(chosen) & 0xFFFF, 0);
        return;
    }
}

void install_frame_hooks() {
    osw::State& s = osw::st();
    s.paint_menu_bar = paint_bar;
    s.menu_bar_click = bar_click;
}

}  // namespace

// ---- menus ---------------------------------------------------------------------

OsMenu os_create_menu() { return new_menu(false); }
OsMenu os_create_popup_menu() { return new_menu(true); }

OsMenu os_load_menu(OsResName id) {
    OsMenuTemplate t;
    if (!os_resource_menu(id, t)) return 0;
    return build(t.items, false);
}

bool os_destroy_menu(OsMenu m) {
    MenuRec* r = menu(m);
    if (!r) return false;
    const std::vector<Item> items = r->items;
    ms().menus.erase(m);
    for (const Item& it : items)
        if (it.sub) os_destroy_menu(it.sub);
    return true;
}

bool os_is_menu(OsMenu m) { return menu(m) != nullptr; }

int os_menu_item_count(OsMenu m) {
    MenuRec* r = menu(m);
    return r ? static_cast<int>(r->items.size()) : -1;
}

bool os_get_menu_item(OsMenu m, int pos, OsMenuItemInfo& info) {
    MenuRec* r = menu(m);
    if (!r || pos < 0 || pos >= static_cast<int>(r->items.size())) return false;
    const Item& it = r->items[static_cast<std::size_t>(pos)];
    info.kind = it.kind;
    info.id = it.id;
    info.state = it.state;
    info.text = it.text;
    info.submenu = it.sub;
    info.data = it.data;
    return true;
}

OsMenu os_get_sub_menu(OsMenu m, int pos) {
    OsMenuItemInfo i;
    return os_get_menu_item(m, pos, i) ? i.submenu : 0;
}

std::int32_t os_get_menu_item_id(OsMenu m, int pos) {
    OsMenuItemInfo i;
    return os_get_menu_item(m, pos, i) ? i.id : -1;
}

bool os_set_menu_item_id(OsMenu m, int pos, int id) {
    MenuRec* r = menu(m);
    if (!r || pos < 0 || pos >= static_cast<int>(r->items.size())) return false;
    Item& it = r->items[static_cast<std::size_t>(pos)];
    if (it.kind == OS_MENU_SEPARATOR) return false;
    it.id = id;
    return true;
}

bool os_find_menu_item(OsMenu m, std::uint32_t item, std::uint32_t flags, OsMenu& owner, int& pos) {
    MenuRec* r = menu(m);
    if (!r) return false;
    if (flags & OS_MF_BYPOSITION) {
        if (item >= r->items.size()) return false;
        owner = m;
        pos = static_cast<int>(item);
        return true;
    }
    return find_command(m, static_cast<int>(item & 0xFFFF), owner, pos);
}

std::int32_t os_get_menu_state(OsMenu m, std::uint32_t item, std::uint32_t flags) {
    const Item* it = find_item(m, item, flags);
    return it ? static_cast<std::int32_t>(it->state) : -1;
}

std::int32_t os_enable_menu_item(OsMenu m, std::uint32_t item, std::uint32_t flags) {
    Item* it = find_item(m, item, flags);
    if (!it) return -1;
    const auto old = static_cast<std::int32_t>(it->state & (OS_MF_GRAYED | OS_MF_DISABLED));
    it->state = (it->state & ~(OS_MF_GRAYED | OS_MF_DISABLED)) | (flags & (OS_MF_GRAYED | OS_MF_DISABLED));
    return old;
}

std::int32_t os_check_menu_item(OsMenu m, std::uint32_t item, std::uint32_t flags) {
    Item* it = find_item(m, item, flags);
    if (!it) return -1;
    const auto old = static_cast<std::int32_t>(it->state & OS_MF_CHECKED);
    it->state = (it->state & ~OS_MF_CHECKED) | (flags & OS_MF_CHECKED);
    return old;
}

bool os_set_menu_item_text(OsMenu m, std::uint32_t item, std::uint32_t flags, std::string_view text) {
    Item* it = find_item(m, item, flags);
    if (!it || it->kind == OS_MENU_SEPARATOR) return false;
    it->text = std::string(text);
    return true;
}

bool os_get_menu_item_text(OsMenu m, std::uint32_t item, std::uint32_t flags, std::string& text) {
    const Item* it = find_item(m, item, flags);
    if (!it) return false;
    text = it->text;
    return true;
}

bool os_set_menu_item_data(OsMenu m, std::uint32_t item, std::uint32_t flags, std::intptr_t data) {
    Item* it = find_item(m, item, flags);
    if (!it) return false;
    it->data = data;
    return true;
}

bool os_get_menu_item_data(OsMenu m, std::uint32_t item, std::uint32_t flags, std::intptr_t& data) {
    const Item* it = find_item(m, item, flags);
    if (!it) return false;
    data = it->data;
    return true;
}

bool os_set_menu_item_look(OsMenu m, int pos, std::uint32_t state, bool separator, std::string_view text) {
    MenuRec* r = menu(m);
    if (!r || pos < 0 || pos >= static_cast<int>(r->items.size())) return false;
    Item& it = r->items[static_cast<std::size_t>(pos)];
    it.state = state & (OS_MF_GRAYED | OS_MF_DISABLED | OS_MF_CHECKED);
    if (separator && it.kind == OS_MENU_ITEM) {
        it.kind = OS_MENU_SEPARATOR;
        it.id = 0;
    } else if (!separator && it.kind == OS_MENU_SEPARATOR) {
        it.kind = OS_MENU_ITEM;
    }
    if (it.kind != OS_MENU_SEPARATOR) it.text = std::string(text);
    return true;
}

bool os_insert_menu_item(OsMenu m, int pos, int id, std::string_view text) {
    MenuRec* r = menu(m);
    if (!r) return false;
    Item it;
    it.kind = id == 0 ? OS_MENU_SEPARATOR : OS_MENU_ITEM;
    it.id = id;
    if (id != 0) it.text = std::string(text);
    const std::size_t at = pos < 0 ? r->items.size() : std::min(static_cast<std::size_t>(pos), r->items.size());
    r->items.insert(r->items.begin() + static_cast<std::ptrdiff_t>(at), it);
    return true;
}

bool os_insert_menu_popup(OsMenu m, int pos, int id, std::string_view text, OsMenu popup) {
    MenuRec* r = menu(m);
    if (!r || !menu(popup) || popup == m) return false;
    Item it;
    it.kind = OS_MENU_POPUP;
    it.id = id;
    it.text = std::string(text);
    it.sub = popup;
    const std::size_t at = pos < 0 ? r->items.size() : std::min(static_cast<std::size_t>(pos), r->items.size());
    r->items.insert(r->items.begin() + static_cast<std::ptrdiff_t>(at), it);
    return true;
}

bool os_delete_menu_item(OsMenu m, std::uint32_t item, std::uint32_t flags) {
    OsMenu owner = 0;
    int pos = -1;
    if (!os_find_menu_item(m, item, flags, owner, pos)) return false;
    auto& items = menu(owner)->items;
    const OsMenu sub = items[static_cast<std::size_t>(pos)].sub;
    items.erase(items.begin() + pos);
    if (sub) os_destroy_menu(sub);
    return true;
}

bool os_draw_menu_bar(OsWindow frame) {
    osw::WinRec* w = osw::rec(frame);
    if (!w) return false;
    if (w->widget) w->widget->update();
    return true;
}

std::int32_t os_menu_bar_height(OsWindow frame) {
    osw::WinRec* w = osw::rec(frame);
    return w ? osw::insets_of(*w).menu : 0;
}

// ---- tracking --------------------------------------------------------------------

void os_menu_set_responder(OsMenuResponder responder) { ms().responder = std::move(responder); }

std::int32_t os_track_popup_menu(OsMenu m, std::int32_t x, std::int32_t y, OsWindow owner) {
    return track(m, owner, true, nullptr, {x, y});
}

bool os_menu_bar_item_rect(OsWindow frame, int index, OsRect& r) {
    osw::WinRec* w = osw::rec(frame);
    MenuRec* m = w ? menu(w->menu) : nullptr;
    if (!m || !w->widget || index < 0 || index >= static_cast<int>(m->items.size())) return false;
    const auto lay = bar_layout(*m, QFontMetrics(w->widget->font()));
    const auto& [x0, x1] = lay[static_cast<std::size_t>(index)];
    r = {x0, 0, x1, os_menu_bar_height(frame)};
    return true;
}

void os_input_menu(OsWindow frame, const OsMenuChoice& choice) {
    osw::WinRec* w = osw::rec(frame);
    if (!w || !menu(w->menu)) return;
    track(w->menu, frame, false, &choice, {});
}

// ---- accelerators ------------------------------------------------------------------

OsAccel os_load_accelerators(OsResName id) {
    std::vector<OsAccelerator> t;
    if (!os_resource_accelerators(id, t)) return 0;
    const OsAccel h = ms().next_accel++;
    ms().accels[h] = std::move(t);
    return h;
}

bool os_destroy_accelerators(OsAccel a) { return ms().accels.erase(a) != 0; }

bool os_translate_accelerator(OsWindow frame, OsAccel a, const OsMsg& m) {
    auto it = ms().accels.find(a);
    if (it == ms().accels.end() || !os_is_window(frame)) return false;
    const bool keydown = m.message == OSM_KEYDOWN || m.message == OSM_SYSKEYDOWN;
    const bool character = m.message == OSM_CHAR || m.message == OSM_SYSCHAR;
    if (!keydown && !character) return false;
    const bool shift = m.keystate & OS_KS_SHIFT, ctrl = m.keystate & OS_KS_CONTROL, alt = m.keystate & OS_KS_ALT;
    for (const OsAccelerator& e : it->second) {
        bool hit = false;
        if (e.flags & OS_FVIRTKEY) {
            hit = keydown && m.wParam == e.key && shift == ((e.flags & OS_FSHIFT) != 0) &&
                  ctrl == ((e.flags & OS_FCONTROL) != 0) && alt == ((e.flags & OS_FALT) != 0);
        } else {
            hit = character && m.wParam == e.key && alt == ((e.flags & OS_FALT) != 0);
        }
        if (!hit) continue;
        os_send_message(frame, OSM_COMMAND, static_cast<std::uintptr_t>(e.command) | (1u << 16), 0);
        return true;
    }
    return false;
}
