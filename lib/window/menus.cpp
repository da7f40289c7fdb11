// Menus, tool bars, tooltips and menu prompts.
#include "lib/grid/window_kinds.h"
#include "lib/window/menus.h"

#include <algorithm>
#include <string>
#include <vector>

#include "lib/graphics/gstate.h"
#include "lib/window/errors.h"
#include "lib/window/messages.h"
#include "lib/window/text.h"
#include "lib/window/splitwin.h"
#include "lib/window/window_hooks.h"
#include "lib/window/wintext.h"
#include "lib/window/wininfo.h"
#include "platform/os_menu.h"
#include "platform/os_window.h"

MenuState menustate;

void reset_menu_state() { menustate = MenuState{}; }

namespace {

constexpr std::size_t FloatTextMax = 100;

// Little-endian 16-bit words of a resource; a trailing odd byte is ignored.
std::vector<std::uint16_t> words_of(std::string_view bytes) {
    std::vector<std::uint16_t> w;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        w.push_back(static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[i]) |
                                               (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return w;
}

// The slot the menu routines act on.
std::int32_t menu_slot() { return yyHasMenu(wtab.wIndex) ? wtab.wIndex : 0; }

// The run-time prompt text of an item (its item data), nullptr when none.
std::string* item_prompt(OsHandle menu, std::uint32_t item, std::uint32_t flags) {
    std::intptr_t data = 0;
    if (!os_get_menu_item_data(menu, item, flags, data)) return nullptr;
    return reinterpret_cast<std::string*>(data);
}

// Frees the run-time prompts of a menu and its pop-ups; the number freed.
std::int32_t free_prompts(OsHandle menu) {
    std::int32_t n = 0;
    const int count = os_menu_item_count(menu);
    for (int i = 0; i < count; ++i) {
        if (std::string* p = item_prompt(menu, static_cast<std::uint32_t>(i), OS_MF_BYPOSITION)) {
            delete p;
            os_set_menu_item_data(menu, static_cast<std::uint32_t>(i), OS_MF_BYPOSITION, 0);
            ++n;
        }
        if (OsHandle sub = os_get_sub_menu(menu, i)) n += free_prompts(sub);
    }
    return n;
}

// The top-level frame around a slot's frame.
OsHandle top_frame(std::int32_t slot) {
    OsHandle w = valid_slot(slot) ? wtab.wWindow[ix(slot)] : 0;
    while (w && (os_get_style(w) & OS_WS_CHILD)) w = os_get_parent(w);
    return w;
}

// The slot whose frame holds a window (the frame itself, or a frame around it).
std::int32_t slot_of_frame_parent(OsHandle frame) {
    // A child frame lies in the client window of its parent slot.
    return yygetwindowindex(os_get_parent(frame));
}

bool is_pane(std::int32_t slot) {
    const OsHandle f = wtab.wWindow[ix(slot)];
    const OsHandle outer = os_get_parent(os_get_parent(f));
    return outer && yyspecialkind(outer) == WindowKindSplit;
}

std::int32_t toolbar_count(std::int32_t slot) {
    std::int32_t n = 0;
    for (OsHandle tb : wtab.hToolbar[ix(slot)])
        if (tb) n += static_cast<std::int32_t>(os_send_message(tb, OSM_TB_BUTTONCOUNT, 0, 0));
    return n;
}

bool has_toolbar(std::int32_t slot) {
    for (OsHandle tb : wtab.hToolbar[ix(slot)])
        if (tb) return true;
    return false;
}

void set_status_simple(OsHandle sb, const std::string& text) {
    os_send_message(sb, OSM_SB_SETTEXT, static_cast<std::uintptr_t>(OS_SB_SIMPLEID) | OS_SBT_NOBORDERS,
                    reinterpret_cast<std::intptr_t>(text.c_str()));
}

// Applies a state to the tool-bar buttons of a slot; true when a bar knows the command.
bool mirror_to_toolbars(std::int32_t slot, std::uint32_t msg, std::int32_t id, bool on) {
    bool known = false;
    for (OsHandle tb : wtab.hToolbar[ix(slot)]) {
        if (!tb) continue;
        if (os_send_message(tb, msg, static_cast<std::uintptr_t>(id), on ? 1 : 0)) {
            known = true;
            os_invalidate_rect(tb, nullptr, true);
        }
    }
    return known;
}

}  // namespace

// ---- loading -----------------------------------------------------------------------

void yymenuloadrc(OsHandle menu, std::int32_t id) {
    std::string_view bytes;
    if (!os_resource_data(OS_RT_RCDATA, id, bytes)) return;
    const std::vector<std::uint16_t> w = words_of(bytes);
    std::size_t i = 0;
    while (i < w.size() && w[i] != 0) {
        const std::int32_t command = w[i++];
        std::vector<int> path;
        while (i < w.size() && w[i] != 0) path.push_back(w[i++]);
        ++i;  // the record's closing 0
        if (path.empty()) continue;
        OsHandle cur = menu;
        for (std::size_t k = 0; k + 1 < path.size() && cur; ++k) cur = os_get_sub_menu(cur, path[k] - 1);
        if (cur) os_set_menu_item_id(cur, path.back() - 1, command);
    }
}

void yymnconv(OsHandle menu) {
    const int n = os_menu_item_count(menu);
    for (int i = 0; i < n; ++i) {
        OsMenuItemInfo it;
        if (!os_get_menu_item(menu, i, it)) continue;
        if ((it.state & OS_MF_DISABLED) && !(it.state & OS_MF_GRAYED))
            os_enable_menu_item(menu, static_cast<std::uint32_t>(i), OS_MF_BYPOSITION | OS_MF_GRAYED);
        if (it.submenu) yymnconv(it.submenu);
    }
}

OsHandle yymnload(std::int32_t id) {
    const OsHandle m = os_load_menu(id);
    if (!m) return 0;
    yymenuloadrc(m, id);
    yymnconv(m);
    return m;
}

bool yypromptlookup(std::int32_t resource, std::int32_t command, std::string& text) {
    std::string_view b;
    if (resource == 0 || !os_resource_data(MenuPromptType, resource, b)) return false;
    std::size_t i = 0;
    while (i + 1 < b.size()) {
        const std::int32_t id = static_cast<unsigned char>(b[i]) | (static_cast<unsigned char>(b[i + 1]) << 8);
        if (id == 0) return false;
        i += 2;
        const std::size_t end = b.find('\0', i);
        const std::size_t stop = end == std::string_view::npos ? b.size() : end;
        if (id == command) {
            text = std::string(b.substr(i, stop - i));
            return true;
        }
        i = stop + 1;
    }
    return false;
}

// ---- the window's menu -----------------------------------------------------------------

bool yyHasMenu(std::int32_t slot) {
    if (!valid_slot(slot)) return false;
    return wtab.hMenuRoot[ix(slot)] != 0 || has_toolbar(slot);
}

std::int32_t yyGetMainMenuWindow(std::int32_t slot) {
    for (int guard = 0; valid_slot(slot) && guard <= MaxChildWindows; ++guard) {
        const OsHandle f = wtab.wWindow[ix(slot)];
        if (!f || !(os_get_style(f) & OS_WS_CHILD)) break;
        const std::int32_t up = slot_of_frame_parent(f);
        if (!valid_slot(up)) break;
        slot = up;
    }
    return valid_slot(slot) && wtab.hMenuRoot[ix(slot)] ? slot : 0;
}

void yyClearMenuPrompt(OsHandle menu, std::int32_t slot) {
    if (menu) free_prompts(menu);
    if (valid_slot(slot)) wtab.nMenuString[ix(slot)] = 0;
}

namespace {

// A slot's menu goes: its prompts, the menu, its accelerators and the handles.
void drop_menu(std::int32_t slot) {
    const OsHandle m = wtab.hMenuRoot[ix(slot)];
    yyClearMenuPrompt(m, slot);
    if (m) os_destroy_menu(m);
    os_destroy_accelerators(wtab.hAccel[ix(slot)]);
    wtab.hMenuRoot[ix(slot)] = 0;
    wtab.hAccel[ix(slot)] = 0;
    wtab.hQDXMenuString[ix(slot)] = 0;
}

}  // namespace

void yyreleasemenus(std::int32_t slot) {
    if (!valid_slot(slot)) return;
    // The frame goes with it, so its menu bar is not taken down first.
    drop_menu(slot);
    wtab.hToolbar[ix(slot)] = {};
    wtab.pTooltip[ix(slot)].clear();
    wtab.nTooltip[ix(slot)] = 0;
}

void yymenuchange(std::int32_t& id, std::int32_t slot) {
    // 1. Refusals.
    if (!wtab.slot_valid(slot)) {
        id = -2;
        return;
    }
    const OsHandle frame = wtab.wWindow[ix(slot)];
    const bool child = (os_get_style(frame) & OS_WS_CHILD) != 0;
    if ((child && !is_pane(slot)) || yyspecialkind(frame) == WindowKindEditor) {
        id = -2;
        return;
    }
    // 2. The new menu.
    const std::int32_t menu_id = id;
    OsHandle fresh = 0;
    if (menu_id != 0) {
        fresh = yymnload(menu_id);
        if (!fresh) {
            id = -1;
            return;
        }
    }
    const OsHandle old = wtab.hMenuRoot[ix(slot)];
    // 3. What the top-level frame shows.
    const OsHandle top = top_frame(slot);
    const OsHandle shown = os_get_menu(top);
    OsHandle want = shown;
    if (!child && yyspecialkind(frame) != WindowKindSplit) {
        want = fresh;
    } else {
        std::int32_t supplier = -1;
        for (std::int32_t s = 0; s <= MaxChildWindows; ++s)
            if (wtab.wWindow[ix(s)] && wtab.hMenuRoot[ix(s)] && wtab.hMenuRoot[ix(s)] == shown) supplier = s;
        const bool inside =
            supplier >= 0 && (supplier == slot || os_is_child(wtab.wWindow[ix(supplier)], frame));
        if (inside || supplier < 0) {
            if (fresh) {
                want = fresh;
            } else {
                // The deepest window on the chain of active panes that has a menu.
                want = 0;
                std::int32_t s = yygetwindowindex(top);
                for (int guard = 0; valid_slot(s) && guard <= MaxChildWindows; ++guard) {
                    if (s != slot && wtab.hMenuRoot[ix(s)]) want = wtab.hMenuRoot[ix(s)];
                    if (yyspecialkind(wtab.wWindow[ix(s)]) != WindowKindSplit) break;
                    const std::int32_t next = yysplitactivepane(s);
                    if (next == s) break;
                    s = next;
                }
            }
        } else if (shown == old && old) {
            want = fresh;
        }
    }
    if (want != shown) os_set_menu(top, want);
    // 4. The old menu goes.
    drop_menu(slot);
    // 5. The new one with its accelerators and prompts.
    if (fresh) {
        wtab.hMenuRoot[ix(slot)] = fresh;
        wtab.hAccel[ix(slot)] = os_load_accelerators(menu_id);
        std::string_view b;
        if (os_resource_data(MenuPromptType, menu_id, b)) wtab.hQDXMenuString[ix(slot)] = menu_id;
    }
    // 6. A bitmap viewer keeps its frame and learns its client size.
    if (const std::int32_t* rec = yyspecialrecord(frame); rec && rec[0] == WindowKindBitmapViewer && rec[5]) {
        OsRect cr;
        os_get_client_rect(wtab.hClient[ix(slot)], cr);
        os_send_message(rec[5], OSM_SIZE, OS_SIZE_RESTORED, os_make_lparam(cr.width(), cr.height()));
    }
    id = 0;
}

void yymnmtch(OsHandle popup, OsHandle main) {
    const int n = os_menu_item_count(popup);
    for (int i = 0; i < n; ++i) {
        OsMenuItemInfo it;
        if (!os_get_menu_item(popup, i, it)) continue;
        if (it.submenu) {
            yymnmtch(it.submenu, main);
            continue;
        }
        if (it.kind == OS_MENU_SEPARATOR || it.id == 0 || !main) continue;
        OsHandle owner = 0;
        int pos = -1;
        if (!os_find_menu_item(main, static_cast<std::uint32_t>(it.id), OS_MF_BYCOMMAND, owner, pos)) continue;
        OsMenuItemInfo src;
        os_get_menu_item(owner, pos, src);
        std::string text = src.text;
        if (text.size() > FloatTextMax) text.resize(FloatTextMax);
        os_set_menu_item_look(popup, i, src.state, src.kind == OS_MENU_SEPARATOR, text);
    }
}

void yymnflot(std::int32_t& id, std::int32_t x, std::int32_t y, std::int32_t client) {
    const std::int32_t menu_id = id;
    const OsHandle m = yymnload(menu_id);
    if (!m) {
        id = -1;
        return;
    }
    const std::int32_t cur = valid_slot(wtab.wIndex) ? wtab.wIndex : 0;
    yymnmtch(m, wtab.hMenuRoot[ix(yyGetMainMenuWindow(cur))]);
    std::string_view b;
    menustate.hFloatPrompt = os_resource_data(MenuPromptType, menu_id, b) ? menu_id : 0;
    const OsHandle owner = wtab.hClient[ix(cur)];
    OsPoint p{x, y};
    if (client) os_client_to_screen(owner, p);
    // A floating menu resource holds its items in one pop-up; a menu
    // written as plain items is shown as it is.
    const OsHandle sub = os_menu_item_count(m) == 1 ? os_get_sub_menu(m, 0) : 0;
    os_track_popup_menu(sub ? sub : m, p.x, p.y, owner);
    os_destroy_menu(m);
    menustate.hFloatPrompt = 0;
    id = 0;
}

// ---- states, texts, prompts, insert and delete ----------------------------------------------

void yyredrawmenu(std::int32_t id, std::int32_t slot) {
    if (!valid_slot(slot)) return;
    const OsHandle m = wtab.hMenuRoot[ix(slot)];
    const int n = os_menu_item_count(m);
    for (int i = 0; i < n; ++i)
        if (os_get_menu_item_id(m, i) == id) {
            const OsHandle top = top_frame(slot);
            if (os_get_menu(top) == m) os_draw_menu_bar(top);
            return;
        }
}

void yymngrey(std::int32_t& id, std::int32_t state) {
    const std::int32_t slot = menu_slot();
    const std::int32_t command = id;
    const OsHandle m = wtab.hMenuRoot[ix(slot)];
    const std::int32_t r =
        m ? os_enable_menu_item(m, static_cast<std::uint32_t>(command), state ? OS_MF_ENABLED : std::uint32_t{OS_MF_GRAYED}) : -1;
    id = r == -1 ? -1 : 0;
    if (mirror_to_toolbars(slot, OSM_TB_ENABLEBUTTON, command, state != 0)) id = 1;
    yyredrawmenu(command, slot);
}

void yymnchck(std::int32_t& id, std::int32_t state) {
    const std::int32_t slot = menu_slot();
    const std::int32_t command = id;
    const OsHandle m = wtab.hMenuRoot[ix(slot)];
    const std::int32_t r =
        m ? os_check_menu_item(m, static_cast<std::uint32_t>(command), state ? std::uint32_t{OS_MF_CHECKED} : OS_MF_UNCHECKED) : -1;
    id = r == -1 ? -1 : 0;
    if (mirror_to_toolbars(slot, OSM_TB_CHECKBUTTON, command, state != 0)) id = 1;
}

void WMenuSetState(std::int32_t id, std::int32_t kind, std::int32_t state) {
    if ((kind != 1 && kind != 2) || (state != 0 && state != 1)) return;
    std::int32_t status = id;
    if (kind == 1)
        yymngrey(status, state);
    else
        yymnchck(status, state);
    if (status == -1) yyerror(1001, "WMenuSetState");
}

void yymngflg(std::int32_t id, std::int32_t kind, std::int32_t& result) {
    const std::int32_t slot = menu_slot();
    const std::int32_t st = os_get_menu_state(wtab.hMenuRoot[ix(slot)], static_cast<std::uint32_t>(id), OS_MF_BYCOMMAND);
    if (st != -1) {
        if (kind == 2)
            result = (st & OS_MF_CHECKED) ? 1 : 0;
        else
            result = (st & (OS_MF_GRAYED | OS_MF_DISABLED)) ? 0 : 1;
        return;
    }
    for (OsHandle tb : wtab.hToolbar[ix(slot)]) {
        if (!tb || os_send_message(tb, OSM_TB_COMMANDTOINDEX, static_cast<std::uintptr_t>(id), 0) < 0) continue;
        const std::uint32_t q = kind == 2 ? OSM_TB_ISBUTTONCHECKED : OSM_TB_ISBUTTONENABLED;
        result = os_send_message(tb, q, static_cast<std::uintptr_t>(id), 0) ? 1 : 0;
        return;
    }
    result = -1;
}

void yymntext(std::int32_t& id, std::string_view text) {
    const std::int32_t slot = menu_slot();
    const std::int32_t command = id;
    if (!os_set_menu_item_text(wtab.hMenuRoot[ix(slot)], static_cast<std::uint32_t>(command), OS_MF_BYCOMMAND,
                               txt_trim(text))) {
        id = -1;
        return;
    }
    id = 0;
    yyredrawmenu(command, slot);
}

namespace {

// Where command id sits in the current menu: its slot, the menu, and the
// (sub)menu that holds it with the position there. id becomes -1 when the
// menu has no such item.
struct MenuItemPlace {
    std::int32_t slot = 0;
    OsHandle menu = 0;
    OsHandle owner = 0;
    int pos = -1;
};

bool find_menu_item(std::int32_t& id, MenuItemPlace& place) {
    place.slot = menu_slot();
    place.menu = wtab.hMenuRoot[ix(place.slot)];
    if (os_find_menu_item(place.menu, static_cast<std::uint32_t>(id), OS_MF_BYCOMMAND, place.owner, place.pos))
        return true;
    id = -1;
    return false;
}

}  // namespace

void yymenuprompt(std::int32_t& id, std::string_view text) {
    MenuItemPlace place;
    if (!find_menu_item(id, place)) return;
    const auto [slot, m, owner, pos] = place;
    id = 0;
    const auto at = static_cast<std::uint32_t>(pos);
    std::string* had = item_prompt(owner, at, OS_MF_BYPOSITION);
    const std::string_view t = txt_trim(text);
    if (t.empty()) {
        if (had) {
            delete had;
            os_set_menu_item_data(owner, at, OS_MF_BYPOSITION, 0);
            --wtab.nMenuString[ix(slot)];
        }
        return;
    }
    if (had) {
        *had = std::string(t);
        return;
    }
    os_set_menu_item_data(owner, at, OS_MF_BYPOSITION, reinterpret_cast<std::intptr_t>(new std::string(t)));
    ++wtab.nMenuString[ix(slot)];
}

void yymndel(std::int32_t& id) {
    MenuItemPlace place;
    if (!find_menu_item(id, place)) return;
    const auto [slot, m, owner, pos] = place;
    const auto at = static_cast<std::uint32_t>(pos);
    std::int32_t freed = 0;
    if (std::string* p = item_prompt(owner, at, OS_MF_BYPOSITION)) {
        delete p;
        ++freed;
    }
    if (OsHandle sub = os_get_sub_menu(owner, pos)) freed += free_prompts(sub);
    wtab.nMenuString[ix(slot)] = std::max(0, wtab.nMenuString[ix(slot)] - freed);
    os_delete_menu_item(owner, at, OS_MF_BYPOSITION);
    id = 0;
    const OsHandle top = top_frame(slot);
    if (owner == m && os_get_menu(top) == m) os_draw_menu_bar(top);
}

void yymnins(std::int32_t& id, std::int32_t place, std::int32_t newid, std::string_view text) {
    const std::int32_t slot = menu_slot();
    const OsHandle m = wtab.hMenuRoot[ix(slot)];
    OsHandle owner = 0;
    const std::int32_t pos = yymngetpos(m, id, owner);
    if (pos < 0) {
        id = -1;
        return;
    }
    std::int32_t at = pos + place - 1;
    const int n = os_menu_item_count(owner);
    if (at > n || at < 0) at = n;
    os_insert_menu_item(owner, at, newid, txt_trim(text));
    id = 0;
    yyredrawmenu(newid, slot);
}

std::int32_t yymngetpos(OsHandle menu, std::int32_t id, OsHandle& owner) {
    int pos = -1;
    OsHandle o = 0;
    if (!os_find_menu_item(menu, static_cast<std::uint32_t>(id), OS_MF_BYCOMMAND, o, pos)) return -1;
    owner = o;
    return pos;
}

// ---- tool bars ------------------------------------------------------------------------------

std::intptr_t yySubToolbar(OsHandle bar, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    // The bar keeps the size the library gives it.
    if (msg == OSM_SIZE || !menustate.lpNormalToolbarProc) return os_def_window_proc(bar, msg, wp, lp);
    return menustate.lpNormalToolbarProc(bar, msg, wp, lp);
}

void yyRestackToolbars(std::int32_t slot) {
    if (!valid_slot(slot)) return;
    // Raised from the bottom of the order up, so the last raised is on top:
    // status bar, then the tool bars top, left, right, bottom.
    const auto& tb = wtab.hToolbar[ix(slot)];
    const OsHandle order[5] = {tb[3], tb[2], tb[1], tb[0], wtab.wMessLine[ix(slot)]};
    for (OsHandle w : order)
        if (w) os_set_window_pos(w, OS_HWND_TOP, 0, 0, 0, 0, OS_SWP_NOMOVE | OS_SWP_NOSIZE | OS_SWP_NOACTIVATE);
}

void yymntbar(std::int32_t& id, std::int32_t slot, std::int32_t position, std::int32_t& width, std::int32_t& height) {
    width = height = -1;
    // 1. A slot with a window and one of the four sides.
    if (!wtab.slot_valid(slot) || position < 0 || position > 3) {
        id = -2;
        return;
    }
    const OsHandle frame = wtab.wWindow[ix(slot)];
    auto& bars = wtab.hToolbar[ix(slot)];
    const std::size_t p = ix(position);
    const bool vertical = position == 1 || position == 2;
    // 2. The old bar goes.
    OsRect old_rect{0, 0, 0, 0};
    if (bars[p]) {
        os_get_window_rect(bars[p], old_rect);
        os_destroy_window(bars[p]);
        bars[p] = 0;
        if (!has_toolbar(slot)) {
            wtab.pTooltip[ix(slot)].clear();
            wtab.nTooltip[ix(slot)] = 0;
        }
    }
    // 3. Id 0 only removes the bar; otherwise the bar is made from its resource.
    const std::int32_t bar_id = id;
    if (bar_id == 0) {
        // Close the room the bar had.
        if (old_rect.width() > 0 && wtab.hClient[ix(slot)]) yylayoutframe(slot);
        id = 0;
        return;
    }
    std::string_view bytes;
    if (!os_resource_data(OS_RT_RCDATA, bar_id, bytes)) {
        id = -1;
        return;
    }
    const std::vector<std::uint16_t> w = words_of(bytes);
    if (w.size() < 2 || w[0] == 0 || w[1] == 0) {
        id = -1;
        return;
    }
    const std::int32_t iw = w[0], ih = w[1];
    const OsHandle bar = os_create_window(0, "ToolbarWindow32", "", OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_CLIPSIBLINGS | OS_TBSTYLE_TOOLTIPS,
                                          0, 0, 0, 0, frame, 0, bar_id);
    if (!bar) {
        id = -1;
        return;
    }
    bars[p] = bar;
    // 4. The bar's own window procedure, and the bars restacked.
    menustate.lpNormalToolbarProc = os_set_window_proc(bar, yySubToolbar);
    yyRestackToolbars(slot);
    // 5. Buttons, images and tooltips from the resource.
    os_send_message(bar, OSM_TB_BUTTONSTRUCTSIZE, sizeof(OsTbButton), 0);
    os_send_message(bar, OSM_TB_SETBITMAPSIZE, 0, os_make_lparam(iw, ih));
    os_send_message(bar, OSM_TB_SETBUTTONSIZE, 0, os_make_lparam(iw + 6, ih + 6));
    // 6. One button per word up to the double zero.
    std::vector<OsTbButton> buttons;
    std::int32_t image = 0;
    const OsHandle menu = wtab.hMenuRoot[ix(slot)];
    for (std::size_t i = 2; i < w.size(); ++i) {
        if (w[i] == 0 && (i + 1 >= w.size() || w[i + 1] == 0)) break;
        OsTbButton b;
        if (w[i] == 0) {
            b.style = OS_TBSTYLE_SEP;
        } else {
            b.command = w[i];
            b.image = image++;
            b.state = OS_TBSTATE_ENABLED;
            const std::int32_t st = os_get_menu_state(menu, w[i], OS_MF_BYCOMMAND);
            if (st != -1) {
                if (st & OS_MF_GRAYED) b.state = 0;
                if (st & OS_MF_CHECKED) b.state |= OS_TBSTATE_CHECKED;
            }
        }
        if (vertical) b.state |= OS_TBSTATE_WRAP;
        buttons.push_back(b);
    }
    const OsTbAddBitmap add{os_module_instance(), bar_id};
    os_send_message(bar, OSM_TB_ADDBITMAP, buttons.size(), reinterpret_cast<std::intptr_t>(&add));
    os_send_message(bar, OSM_TB_ADDBUTTONS, buttons.size(), reinterpret_cast<std::intptr_t>(buttons.data()));
    // 7. Placement in the frame's client area.
    OsRect cr;
    os_get_client_rect(frame, cr);
    std::int32_t status_h = 0;
    if (OsHandle sb = wtab.wMessLine[ix(slot)]) {
        OsRect r;
        os_get_window_rect(sb, r);
        status_h = r.height();
    }
    if (position == 0)
        os_move_window(bar, 0, 0, cr.width(), ih + 12, true);
    else if (position == 3)
        os_move_window(bar, 0, cr.height() - status_h - (ih + 12), cr.width(), ih + 12, true);
    else {
        os_set_window_user(bar, iw + 9);
        os_move_window(bar, position == 1 ? 0 : cr.width() - (iw + 9), 0, iw + 9, cr.height(), true);
    }
    // 8. The tooltip table covers every button of the window's bars.
    const std::int32_t n = toolbar_count(slot);
    auto& table = wtab.pTooltip[ix(slot)];
    if (static_cast<std::int32_t>(table.size()) < n) table.resize(ix(n));
    wtab.nTooltip[ix(slot)] = static_cast<std::int32_t>(table.size());
    // 9. Tell the window when its client area changes.
    OsRect nr;
    os_get_window_rect(bar, nr);
    const std::int32_t dw = vertical ? nr.width() - old_rect.width() : 0;
    const std::int32_t dh = vertical ? 0 : nr.height() - old_rect.height();
    id = 0;
    if ((dw != 0 || dh != 0) && !os_is_iconic(frame) && wtab.hClient[ix(slot)]) {
        os_send_message(frame, OSM_SIZE, os_is_zoomed(frame) ? OS_SIZE_MAXIMIZED : OS_SIZE_RESTORED,
                        os_make_lparam(cr.width(), cr.height()));
        OsRect c;
        os_get_client_rect(wtab.hClient[ix(slot)], c);
        width = c.width();
        height = c.height();
    }
}

void WMenuToolbar(std::int32_t id, std::optional<std::int32_t> slot, std::optional<std::int32_t> position) {
    const std::int32_t s = slot.value_or(0);
    if (s < 0 || s > MaxChildWindows) {
        yyerror(1003, "WMenuToolbar");
        return;
    }
    const std::int32_t p = position.value_or(1);
    const std::int32_t pos = (p >= 1 && p <= 4) ? p - 1 : 0;
    std::int32_t status = id, w = -1, h = -1;
    yymntbar(status, s, pos, w, h);
    if (status == -1) {
        yyerror(1002, "WMenuToolbar");
        return;
    }
    if (status == -2) {
        yyerror(1003, "WMenuToolbar");
        return;
    }
    if (w != -1 && s == quinda.current_slot) {
        quinda.window_size = {w, h};
        yyfntsiz();
        yyresn(1, s, w, h);
    }
}

// ---- tooltips -----------------------------------------------------------------------------------

void yytooltip(std::int32_t& id, std::string_view text) {
    const std::int32_t slot = valid_slot(wtab.wIndex) && has_toolbar(wtab.wIndex) ? wtab.wIndex : 0;
    bool known = false;
    for (OsHandle tb : wtab.hToolbar[ix(slot)])
        if (tb && os_send_message(tb, OSM_TB_COMMANDTOINDEX, static_cast<std::uintptr_t>(id), 0) >= 0) known = true;
    if (!known) {
        id = -1;
        return;
    }
    auto& table = wtab.pTooltip[ix(slot)];
    TooltipEntry* e = nullptr;
    for (auto& t : table)
        if (t.id == id) e = &t;
    if (!e)
        for (auto& t : table)
            if (t.id == 0) e = &t;
    if (!e) return;  // the table is full: the text is dropped
    if (text.size() == 1 || txt_blank(text)) {
        *e = TooltipEntry{};
        return;
    }
    e->id = id;
    e->text = std::string(text.substr(0, TooltipTextMax));
}

std::intptr_t yytooltipnotify(OsHandle, std::uintptr_t, std::intptr_t lp) {
    auto* tt = reinterpret_cast<OsToolTipText*>(lp);
    if (!tt || tt->hdr.code != OS_TTN_NEEDTEXT) return 0;
    for (std::int32_t s = 0; s <= MaxChildWindows; ++s) {
        bool owns = false;
        for (OsHandle tb : wtab.hToolbar[ix(s)])
            if (tb && os_send_message(tb, OSM_TB_GETTOOLTIPS, 0, 0) == tt->hdr.from) owns = true;
        if (!owns) continue;
        const auto command = static_cast<std::int32_t>(tt->hdr.id);
        std::string text;
        bool found = false;
        for (const auto& e : wtab.pTooltip[ix(s)])
            if (e.id != 0 && e.id == command) {
                text = e.text;
                found = true;
            }
        if (!found) found = os_resource_string(command, text);
        if (found) {
            const std::size_t n = std::min(text.size(), sizeof tt->text - 1);
            std::copy_n(text.data(), n, tt->text);
            tt->text[n] = '\0';
        }
        return 0;
    }
    return 0;
}

// ---- menu prompts ------------------------------------------------------------------------------

void yymenuprompthandler(OsHandle frame, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    const std::int32_t slot = yygetwindowindex(frame);
    const OsHandle sb = yyGetPromptWindow(slot);
    if (!sb) return;
    // The slot that owns the menu being shown.
    const OsHandle bar = os_get_menu(frame);
    std::int32_t owner = -1;
    if (menustate.popup_loop) {
        owner = yyGetMainMenuWindow(slot);
    } else {
        for (std::int32_t s = 0; s <= MaxChildWindows && owner < 0; ++s)
            if (bar && wtab.hMenuRoot[ix(s)] == bar) owner = s;
    }
    const bool has_owner = valid_slot(owner);
    const std::int32_t okind = has_owner ? yyspecialkind(wtab.wWindow[ix(owner)]) : 0;
    const bool special = okind == WindowKindEditor || okind == WindowKindGrid;
    const bool prompts = (has_owner && wtab.hQDXMenuString[ix(owner)]) || menustate.hFloatPrompt ||
                         (has_owner && wtab.nMenuString[ix(owner)] > 0);
    const bool handled = prompts || bar == 0 || special;

    if (msg == OSM_ENTERMENULOOP) {
        menustate.popup_loop = wp != 0 ? 1 : 0;
        if (handled) {
            set_status_simple(sb, "");
            os_send_message(sb, OSM_SB_SIMPLE, 1, 0);
        }
        return;
    }
    if (msg == OSM_EXITMENULOOP) {
        os_send_message(sb, OSM_SB_SIMPLE, 0, 0);
        return;
    }
    if (msg != OSM_MENUSELECT || !handled) return;
    const std::uint32_t flags = static_cast<std::uint32_t>(os_hiword(wp));
    const std::int32_t item = os_loword(wp);
    if (flags != OS_MENU_CLOSED && (flags & OS_MF_SYSMENU)) {
        const char* t = "";
        switch (item) {
        case OS_SC_SIZE: t = "Changes the window size"; break;
        case OS_SC_MOVE: t = "Changes the window position"; break;
        case OS_SC_MINIMIZE: t = "Reduces the window to an icon"; break;
        case OS_SC_MAXIMIZE: t = "Enlarges the window to full size"; break;
        case OS_SC_CLOSE: t = "Closes the window"; break;
        case OS_SC_RESTORE: t = "Restores the window to its normal size"; break;
        default: break;
        }
        set_status_simple(sb, t);
        return;
    }
    std::string text;
    bool found = false;
    if (prompts) {
        std::int32_t command = item;
        if (flags != OS_MENU_CLOSED && (flags & OS_MF_POPUP)) command = os_get_menu_item_id(static_cast<OsHandle>(lp), item);
        if (has_owner) {
            const OsHandle main = wtab.hMenuRoot[ix(yyGetMainMenuWindow(owner))];
            if (std::string* p = command > 0 ? item_prompt(main, static_cast<std::uint32_t>(command), OS_MF_BYCOMMAND) : nullptr) {
                text = *p;
                found = true;
            }
            if (!found && command > 0) found = yypromptlookup(wtab.hQDXMenuString[ix(owner)], command, text);
        }
        if (!found && command > 0) found = yypromptlookup(menustate.hFloatPrompt, command, text);
    }
    if (!found && special && !menustate.forwarding_prompt) {
        menustate.forwarding_prompt = 1;
        yyspecialmessage(wtab.wWindow[ix(owner)], msg, wp, lp);
        menustate.forwarding_prompt = 0;
        return;
    }
    set_status_simple(sb, found ? text : std::string());
}
