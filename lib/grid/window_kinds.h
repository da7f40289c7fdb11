#pragma once
// Editor (kind 1) and grid (kind 4) windows take some of their frame's
// messages, keys, height and release themselves. The window layer calls
// these by kind; each forwards to the window's own procedure.
#include <cstdint>

#include "lib/window/quinda_state.h"

struct OsMsg;

// A frame message for an editor or grid window; 0 for any other window.
std::intptr_t yyspecialmessage(OsHandle frame, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
// Keyboard handling ahead of translation; true when the window took the message.
bool yyspecialkeyboard(OsHandle frame, const OsMsg& m);
// Height the window adds below its client (the editor's command line), 0 when none.
std::int32_t yyspecialextraheight(OsHandle frame);

// ---- what each kind provides ----
std::intptr_t yyEditWndProc(OsHandle frame, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
bool yyeditkeyboard(OsHandle frame, const OsMsg& m);
std::int32_t yyeditextraheight(OsHandle frame);
// Releases menus, accelerators, windows, font and files an editor conversion made.
void yyeditrelease(OsHandle frame);

std::intptr_t yyGridWindowWndProc(OsHandle frame, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
bool yygridwinkeyboard(OsHandle frame, const OsMsg& m);
// Releases what a grid window conversion made.
void yygridwinrelease(OsHandle frame);
