// The grid window's procedure is not built yet: the frame behaves as a
// plain child window.
#include "lib/grid/window_kinds.h"

std::intptr_t yyGridWindowWndProc(OsHandle, std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; }
bool yygridwinkeyboard(OsHandle, const OsMsg&) { return false; }
void yygridwinrelease(OsHandle) {}
