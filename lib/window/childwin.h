#pragma once
// Child windows (slots 1 to 50): free-standing frames, optionally owned by
// their parent, and frames inside a parent's client area; their closing,
// which takes along everything that lives in them.
#include <array>
#include <cstdint>
#include <string_view>

#include "lib/window/quinda_state.h"
#include "lib/window/rootwin.h"

void windowopenchild1(const WindowOpenRecord& rec, std::int32_t& child);
void windowopenchild2(std::int32_t& child, std::int32_t flags = DefaultWindowFlags, std::int32_t x = CentredPosition,
                      std::int32_t y = CentredPosition, std::int32_t width = 0, std::int32_t height = 0,
                      std::int32_t menu = 0, const std::array<std::int32_t, 4>& toolbars = {},
                      std::int32_t dialog = 0, std::string_view title = {}, std::int32_t parent = 0);

inline void WindowOpenChild(const WindowOpenRecord& rec, std::int32_t& child) { windowopenchild1(rec, child); }
inline void WindowOpenChild(std::int32_t& child, std::int32_t flags = DefaultWindowFlags,
                            std::int32_t x = CentredPosition, std::int32_t y = CentredPosition,
                            std::int32_t width = 0, std::int32_t height = 0, std::int32_t menu = 0,
                            const std::array<std::int32_t, 4>& toolbars = {}, std::int32_t dialog = 0,
                            std::string_view title = {}, std::int32_t parent = 0) {
    windowopenchild2(child, flags, x, y, width, height, menu, toolbars, dialog, title, parent);
}

// child: the new slot or a status (-1 no slot or not created, -2 parent
// hidden, -3 parent combined with a dialog, -4 parent of a special kind,
// -5 bad parent); dialog: a status on failure of the combination.
void yyopenchild(std::int32_t x, std::int32_t y, std::int32_t& width, std::int32_t& height, std::int32_t& child,
                 std::int32_t flags, std::int32_t menu, const std::array<std::int32_t, 4>& toolbars,
                 std::int32_t& dialog, std::int32_t parent, const char* title);
std::int32_t yygetnextfree();

void windowclosechild(std::int32_t child);
inline void WindowCloseChild(std::int32_t child) { windowclosechild(child); }
// child: -1 on return when it named no open child; dialog: the current
// dialog id, cleared when the closed window's dialog was current.
void yyclosechild(std::int32_t& child, std::int32_t& dialog);
// Closes a slot after its panes when it is itself split.
void yyCloseChild2(std::int32_t slot, std::int32_t& dialog);
// Closes one slot.
void yyCloseChild3(std::int32_t slot, std::int32_t& dialog);
// parent: the slot of the current window's parent when it lies inside one, else -1.
void yywindowcheckinside(std::int32_t& parent);

// A dialog to combine with a child window or pane: 0 usable (with its
// size and whether it has a resize field), -5 loaded already, -3 too many
// dialogs loaded, else the statuses of yydialogprobe.
std::int32_t yychilddialogcheck(std::int32_t id, OsHandle owner, std::int32_t& width, std::int32_t& height,
                                bool& resizable);
// Styles of a pane or child frame for its WindowOpenFlags bits.
std::uint32_t yychildstyle(std::int32_t flags, bool inside);
// Menu, its companion ids, accelerators and prompt resource of a slot.
void yyslotmenu(std::int32_t slot, OsHandle menu, std::int32_t id);
// Gives back the window device context when the slot is the current one
// (the graphics' hold on it first).
void yyreleaseslotdc(std::int32_t slot);
// Forgets a slot whose windows are gone or going: every handle cleared,
// the placement unset, its editor buffers released.
void yyclearslot(std::int32_t slot);
