// The editor window's procedure is not built yet: the frame behaves as a
// plain child window and release frees the editor record.
#include "lib/grid/editor.h"
#include "lib/grid/window_kinds.h"

std::intptr_t yyEditWndProc(OsHandle, std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; }
bool yyeditkeyboard(OsHandle, const OsMsg&) { return false; }
std::int32_t yyeditextraheight(OsHandle) { return 0; }
void yyeditrelease(OsHandle frame) { yyeditdetach(frame); }
