#pragma once
// Menus, accelerator tables, tool bars, window icons and scrolling, in the
// shape the library was written for. Menus and accelerator tables are small
// non-zero integer handles of the layer's own tables (0 is none). A frame
// shows its menu bar (os_set_menu); pop-ups are tracked by the layer, which
// tells the owner window what the user highlights (OSM_ENTERMENULOOP,
// OSM_INITMENUPOPUP, OSM_MENUSELECT, OSM_EXITMENULOOP) and posts the chosen
// command as OSM_COMMAND.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os_resource.h"
#include "platform/os_window.h"

using OsMenu = std::int32_t;
using OsAccel = std::int32_t;
using OsIcon = std::int32_t;

// ---- menus ------------------------------------------------------------------
// Item flags: how an item is named (by command id, searched depth-first over
// the pop-ups, or by 0-based position) and the state bits of os_resource.h
// (OS_MF_GRAYED, OS_MF_DISABLED, OS_MF_CHECKED).
constexpr std::uint32_t OS_MF_BYCOMMAND = 0x0000;
constexpr std::uint32_t OS_MF_BYPOSITION = 0x0400;
constexpr std::uint32_t OS_MF_ENABLED = 0x0000;
constexpr std::uint32_t OS_MF_UNCHECKED = 0x0000;
constexpr std::uint32_t OS_MF_POPUP = 0x0010;
constexpr std::uint32_t OS_MF_SEPARATOR = 0x0800;
constexpr std::uint32_t OS_MF_SYSMENU = 0x2000;
// Flags word of OSM_MENUSELECT when the menu closes (with menu 0).
constexpr std::uint32_t OS_MENU_CLOSED = 0xFFFF;
// System-menu commands.
enum : std::int32_t {
    OS_SC_SIZE = 0xF000,
    OS_SC_MOVE = 0xF010,
    OS_SC_MINIMIZE = 0xF020,
    OS_SC_MAXIMIZE = 0xF030,
    OS_SC_CLOSE = 0xF060,
    OS_SC_RESTORE = 0xF120,
};

struct OsMenuItemInfo {
    int kind = OS_MENU_ITEM;    // OS_MENU_ITEM, OS_MENU_POPUP, OS_MENU_SEPARATOR
    int id = 0;                 // command id (pop-ups may carry one too)
    std::uint32_t state = 0;    // OS_MF_GRAYED | OS_MF_DISABLED | OS_MF_CHECKED
    std::string text;
    OsMenu submenu = 0;
    std::intptr_t data = 0;     // the owner's item data
};

OsMenu os_create_menu();        // an empty menu bar
OsMenu os_create_popup_menu();  // an empty pop-up menu
// A menu resource as a menu bar; 0 when the resource does not exist.
OsMenu os_load_menu(OsResName id);
// Destroys a menu and its pop-ups; false for a bad handle.
bool os_destroy_menu(OsMenu m);
bool os_is_menu(OsMenu m);
// Number of items, -1 for a bad handle.
int os_menu_item_count(OsMenu m);
bool os_get_menu_item(OsMenu m, int pos, OsMenuItemInfo& info);
// The pop-up at a position, 0 when the item is none.
OsMenu os_get_sub_menu(OsMenu m, int pos);
// Command id of the item at a position; 0 for separators, -1 when there is no such item.
std::int32_t os_get_menu_item_id(OsMenu m, int pos);
bool os_set_menu_item_id(OsMenu m, int pos, int id);
// Finds an item by command id (depth-first by position) or position: the
// menu that holds it and its position there. False when absent.
bool os_find_menu_item(OsMenu m, std::uint32_t item, std::uint32_t flags, OsMenu& owner, int& pos);
// State bits of an item, -1 when absent.
std::int32_t os_get_menu_state(OsMenu m, std::uint32_t item, std::uint32_t flags);
// Enable (OS_MF_ENABLED, OS_MF_GRAYED, OS_MF_DISABLED) or check
// (OS_MF_CHECKED, OS_MF_UNCHECKED) an item; the previous state, -1 when absent.
std::int32_t os_enable_menu_item(OsMenu m, std::uint32_t item, std::uint32_t flags);
std::int32_t os_check_menu_item(OsMenu m, std::uint32_t item, std::uint32_t flags);
bool os_set_menu_item_text(OsMenu m, std::uint32_t item, std::uint32_t flags, std::string_view text);
bool os_get_menu_item_text(OsMenu m, std::uint32_t item, std::uint32_t flags, std::string& text);
bool os_set_menu_item_data(OsMenu m, std::uint32_t item, std::uint32_t flags, std::intptr_t data);
bool os_get_menu_item_data(OsMenu m, std::uint32_t item, std::uint32_t flags, std::intptr_t& data);
// Makes an item's state, kind-independent type (separator or not) and text those given.
bool os_set_menu_item_look(OsMenu m, int pos, std::uint32_t state, bool separator, std::string_view text);
// Inserts an item before position pos (at the end when pos lies beyond it);
// id 0 makes a separator.
bool os_insert_menu_item(OsMenu m, int pos, int id, std::string_view text);
// Inserts a pop-up item (with a command id of its own) before position pos;
// the menu then owns the pop-up.
bool os_insert_menu_popup(OsMenu m, int pos, int id, std::string_view text, OsMenu popup);
// Deletes an item; a pop-up item destroys its pop-up.
bool os_delete_menu_item(OsMenu m, std::uint32_t item, std::uint32_t flags);
// Repaints a frame's menu bar.
bool os_draw_menu_bar(OsWindow frame);
// Height of the menu bar of a frame (0 without one).
std::int32_t os_menu_bar_height(OsWindow frame);

// ---- tracking ------------------------------------------------------------------
// What the user does in a menu being tracked: the 0-based positions
// highlighted one after the other, each inside the pop-up of the one
// before, and whether the last is chosen (a command) or the menu dismissed.
struct OsMenuChoice {
    std::vector<int> path;
    bool choose = false;
};
// Answers menu tracking instead of the user (tests; the offscreen platform).
// Gets the menu shown; an empty function removes the responder.
using OsMenuResponder = std::function<OsMenuChoice(OsMenu menu)>;
void os_menu_set_responder(OsMenuResponder responder);
// Shows a pop-up menu at a screen point, owned by a window, and waits while
// the user picks; the chosen command comes to the owner as a posted
// OSM_COMMAND. Returns the chosen command, 0 when none. Without a display
// and without a responder nothing can be picked.
std::int32_t os_track_popup_menu(OsMenu menu, std::int32_t x, std::int32_t y, OsWindow owner);
// The user opens the menu bar of a frame and goes the given way, as a click
// on the bar followed by the clicks of the choice would.
void os_input_menu(OsWindow frame, const OsMenuChoice& choice);
// Where the index-th item of a frame's menu bar is drawn, in the frame's
// window coordinates (from its top-left corner): what a person aims at.
bool os_menu_bar_item_rect(OsWindow frame, int index, OsRect& r);
// Where the index-th button of a tool bar is drawn, in its client coordinates.
bool os_toolbar_button_rect(OsWindow toolbar, int index, OsRect& r);

// ---- accelerators ------------------------------------------------------------------
// An accelerator resource; 0 when it does not exist.
OsAccel os_load_accelerators(OsResName id);
bool os_destroy_accelerators(OsAccel a);
// When the message is a key that the table maps, sends the frame
// OSM_COMMAND (command id, 1) and answers true.
bool os_translate_accelerator(OsWindow frame, OsAccel a, const OsMsg& m);

// ---- tool bars (class "ToolbarWindow32") ------------------------------------------
enum : std::uint32_t {
    OSM_TB_ENABLEBUTTON = OSM_USER + 1,     // wp command, lp enable; true when the button exists
    OSM_TB_CHECKBUTTON = OSM_USER + 2,      // wp command, lp check
    OSM_TB_INDETERMINATE = OSM_USER + 5,    // wp command, lp on: neither on nor off (drawn greyed)
    OSM_TB_ISBUTTONENABLED = OSM_USER + 9,
    OSM_TB_ISBUTTONCHECKED = OSM_USER + 10,
    OSM_TB_ISBUTTONINDETERMINATE = OSM_USER + 13,
    OSM_TB_ADDBITMAP = OSM_USER + 19,       // wp number of images, lp const OsTbAddBitmap*; first image index
    OSM_TB_ADDBUTTONS = OSM_USER + 20,      // wp count, lp const OsTbButton*
    OSM_TB_GETBUTTON = OSM_USER + 23,       // wp index, lp OsTbButton*
    OSM_TB_BUTTONCOUNT = OSM_USER + 24,
    OSM_TB_COMMANDTOINDEX = OSM_USER + 25,  // -1 when absent
    OSM_TB_BUTTONSTRUCTSIZE = OSM_USER + 30,
    OSM_TB_SETBUTTONSIZE = OSM_USER + 31,   // lp width, height
    OSM_TB_SETBITMAPSIZE = OSM_USER + 32,   // lp width, height
    OSM_TB_AUTOSIZE = OSM_USER + 33,
    OSM_TB_GETTOOLTIPS = OSM_USER + 35,     // the bar's tooltip control, 0 without TBSTYLE_TOOLTIPS
};
enum : std::uint32_t { OS_TBSTYLE_TOOLTIPS = 0x0100 };
enum : std::uint8_t {
    OS_TBSTATE_CHECKED = 0x01,
    OS_TBSTATE_PRESSED = 0x02,
    OS_TBSTATE_ENABLED = 0x04,
    OS_TBSTATE_HIDDEN = 0x08,
    OS_TBSTATE_INDETERMINATE = 0x10,
    OS_TBSTATE_WRAP = 0x20,   // the next button starts a new row
    OS_TBSTYLE_BUTTON = 0x00,
    OS_TBSTYLE_SEP = 0x01,
    OS_TBSTYLE_CHECK = 0x02,
};
struct OsTbButton {
    std::int32_t image = 0;     // index into the bar's images
    std::int32_t command = 0;
    std::uint8_t state = 0;
    std::uint8_t style = 0;
};
struct OsTbAddBitmap {
    std::int32_t instance = 0;  // module instance
    std::int32_t id = 0;        // bitmap resource: the images side by side
};

// OSM_NOTIFY record; code OS_TTN_NEEDTEXT asks the parent of a tool bar for a
// button's tooltip, which it writes into text (at most 79 characters and a NUL).
constexpr std::int32_t OS_TTN_NEEDTEXT = -520;
struct OsNotifyHeader {
    OsWindow from = 0;          // the control that asks
    std::uintptr_t id = 0;      // for tooltips: the button's command id
    std::int32_t code = 0;
};
struct OsToolTipText {
    OsNotifyHeader hdr;
    char text[80] = {};
};
// The pointer rests on button `index` of a tool bar: the tooltip text it
// gets from its parent (empty when none), shown on a display.
std::string os_input_tooltip(OsWindow toolbar, int index);
// The user clicks button `index` of a tool bar.
void os_input_toolbar_click(OsWindow toolbar, int index);

// ---- status bar simple mode (class "msctls_statusbar32") ---------------------------
enum : std::uint32_t {
    OSM_SB_SIMPLE = OSM_USER + 9,     // wp true: show one part (part 255), false: the parts again
    OSM_SB_ISSIMPLE = OSM_USER + 14,
};
constexpr std::int32_t OS_SB_SIMPLEID = 255;
// Border styles of a part's text (high byte of SB_SETTEXT's wParam).
enum : std::uint32_t { OS_SBT_SUNKEN = 0, OS_SBT_NOBORDERS = 0x100, OS_SBT_POPOUT = 0x200 };

// ---- icons ---------------------------------------------------------------------------
// An icon resource; 0 when it does not exist.
OsIcon os_load_icon(OsResName id);
// Destroys an icon; a class's icon is shared and stays (false).
bool os_destroy_icon(OsIcon icon);
// The icon of the window's class (its icon resource), loaded once per class
// and shared; 0 when the class has none.
OsIcon os_get_class_icon(OsWindow w);
// Sets a frame's large (big true) or small icon; returns the previous one.
OsIcon os_set_window_icon(OsWindow w, bool big, OsIcon icon);
OsIcon os_get_window_icon(OsWindow w, bool big);

// ---- scrolling --------------------------------------------------------------------------
// Moves a window's retained picture by dx, dy pixels and marks the
// uncovered strips for repainting; false for a bad window.
bool os_scroll_window(OsWindow w, std::int32_t dx, std::int32_t dy);
