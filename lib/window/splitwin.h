#pragma once
// Split windows: a window divided into two panes by a bar the user drags.
// The split record (SplitWindowRecord) hangs on the split window's frame
// and on its bar.
#include <array>
#include <cstdint>
#include <string_view>

#include "lib/window/quinda_state.h"

// Split flags (record word 9).
enum SplitFlags : std::int32_t {
    SplitStacked = 1,        // panes above each other, the bar moves vertically
    SplitProportional = 2,   // resizing keeps the panes' ratio
    SplitKeepSecond = 4,     // the second pane keeps its size
};
constexpr std::int32_t PaneFixed = 0x40;      // pane option: fixed along the split direction
constexpr std::int32_t PaneNoCaption = 0x400;

// Splits the current window. pane1, pane2: the slots, or statuses (-1 no
// slots or not created, -3 the window is combined with a dialog, -4 of
// another special kind, -6 it has inside children). size: the sized pane's
// client extent across the bar, below 0 for equal halves.
void yywindowsplit(std::int32_t& pane1, std::int32_t& pane2, std::int32_t flags, std::int32_t flags1,
                   std::int32_t flags2, std::int32_t size, std::int32_t menu1, std::int32_t menu2,
                   const std::array<std::int32_t, 4>& toolbars1, const std::array<std::int32_t, 4>& toolbars2,
                   std::int32_t& dialog1, std::int32_t& dialog2, std::string_view title1, std::string_view title2);

// Window procedure of the split bars.
std::intptr_t yySplitProc(OsHandle bar, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
// Non-zero when pane 0 or 1 of the record cannot change size along axis 0 (x) or 1 (y).
std::int32_t yySplitFixed(SplitWindowRecord& rec, std::int32_t pane, std::int32_t axis);
// 1 when the split window of the slot may close (always for other windows).
std::int32_t yyCloseCheck(std::int32_t slot);

// ---- what the window layer asks of a split --------------------------------

// The split record of a frame, nullptr when it is no split window.
SplitWindowRecord* yysplitrecord(OsHandle frame);
// The slot of the split window a slot is a pane of, -1 when it is none.
std::int32_t yysplitofpane(std::int32_t slot);
// The slot of the active pane of a split window, -1 when the slot is not split.
std::int32_t yysplitactivepane(std::int32_t slot);
// A pane got the keyboard: it becomes the active pane of every enclosing
// split and the top-level frame shows its menu.
void yysplitpanefocus(std::int32_t slot);
// Lays the panes out in a split window's client.
void yysplitlayout(OsHandle client);
// Size limits and sizing borders of panes and split frames; the hit test
// answers -1 for a window that is neither.
void yysplitminmax(OsHandle frame, std::intptr_t lp);
std::intptr_t yysplithittest(OsHandle frame, std::intptr_t lp);
// Gives a pane a client size by moving its bar; false when the slot is no pane.
bool yysplitpanesize(std::int32_t slot, std::int32_t width, std::int32_t height);
// Undoes the split of a slot: its own menu back, both panes closed, the bar gone.
void yysplitundo(std::int32_t slot, std::int32_t& dialog);
// Closes the panes of a split window (its record goes with the last).
void yysplitclosepanes(std::int32_t slot, std::int32_t& dialog);
// Takes the record off a frame and its bar, destroys the bar, frees the record.
void yysplitdetach(OsHandle frame);
