#pragma once
// Menus from menu resources with their two companions of the same id (a
// raw-data resource giving command ids to pop-up items, and a
// "QDXMENUSTRING" resource of prompt lines), floating menus, grey and check
// states mirrored to tool-bar buttons, tool bars built from a raw-data
// resource and the bitmap of the same id, tooltips, and menu prompts in the
// status bar.
//
// Menu routines act on the current window when it has a menu or a tool bar,
// otherwise on the root window. Statuses come back in the first argument:
// -1 failure, -2 refused.
#include <cstdint>
#include <optional>
#include <string_view>

#include "lib/window/quinda_state.h"

struct OsMsg;

// Process-wide menu state.
struct MenuState {
    std::int32_t hFloatPrompt = 0;     // prompt resource (its id) of the floating menu being tracked
    std::intptr_t (*lpNormalToolbarProc)(OsHandle, std::uint32_t, std::uintptr_t, std::intptr_t) = nullptr;
    std::int32_t popup_loop = 0;       // the current menu loop belongs to a pop-up menu
    std::int32_t forwarding_prompt = 0;  // guard: the prompt request is being passed on
};
extern MenuState menustate;
void reset_menu_state();

// The resource type of menu prompts.
constexpr const char* MenuPromptType = "QDXMENUSTRING";

OsHandle yymnload(std::int32_t id);
void yymenuloadrc(OsHandle menu, std::int32_t id);
void yymnconv(OsHandle menu);
void yymenuchange(std::int32_t& id, std::int32_t slot);
void yymnflot(std::int32_t& id, std::int32_t x, std::int32_t y, std::int32_t client);
void WMenuSetState(std::int32_t id, std::int32_t kind, std::int32_t state);
void yymngrey(std::int32_t& id, std::int32_t state);
void yymnchck(std::int32_t& id, std::int32_t state);
void yymngflg(std::int32_t id, std::int32_t kind, std::int32_t& result);
void yymntext(std::int32_t& id, std::string_view text);
void yymenuprompt(std::int32_t& id, std::string_view text);
void yymndel(std::int32_t& id);
void yymnins(std::int32_t& id, std::int32_t place, std::int32_t newid, std::string_view text);
std::int32_t yymngetpos(OsHandle menu, std::int32_t id, OsHandle& owner);
void yytooltip(std::int32_t& id, std::string_view text);
// Position 1 top, 2 left, 3 right, 4 bottom (others: top); slot absent means 0.
void WMenuToolbar(std::int32_t id, std::optional<std::int32_t> slot = std::nullopt,
                  std::optional<std::int32_t> position = std::nullopt);
// Position 0..3; width and height out: the new client size, or -1 and -1.
void yymntbar(std::int32_t& id, std::int32_t slot, std::int32_t position, std::int32_t& width, std::int32_t& height);
void yyRestackToolbars(std::int32_t slot);
void yyClearMenuPrompt(OsHandle menu, std::int32_t slot);
std::int32_t yyGetMainMenuWindow(std::int32_t slot);
bool yyHasMenu(std::int32_t slot);
void yyredrawmenu(std::int32_t id, std::int32_t slot);
void yymnmtch(OsHandle popup, OsHandle main);
std::intptr_t yySubToolbar(OsHandle bar, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);

// Frame procedure parts: menu prompts (OSM_ENTERMENULOOP, OSM_EXITMENULOOP,
// OSM_MENUSELECT) and tooltip texts (OSM_NOTIFY).
void yymenuprompthandler(OsHandle frame, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
std::intptr_t yytooltipnotify(OsHandle frame, std::uintptr_t wp, std::intptr_t lp);
// Releases what a slot's menu owns (prompts, the menu, its accelerators) and
// its tooltip table; the frame is going.
void yyreleasemenus(std::int32_t slot);
// The prompt text of a command in a prompt resource (its id); false when absent.
bool yypromptlookup(std::int32_t resource, std::int32_t command, std::string& text);
