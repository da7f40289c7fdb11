#include "lib/grid/window_kinds.h"

#include "lib/window/messages.h"

std::intptr_t yyspecialmessage(OsHandle frame, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    switch (yyspecialkind(frame)) {
    case WindowKindEditor: return yyEditWndProc(frame, msg, wp, lp);
    case WindowKindGrid: return yyGridWindowWndProc(frame, msg, wp, lp);
    default: return 0;
    }
}

bool yyspecialkeyboard(OsHandle frame, const OsMsg& m) {
    switch (yyspecialkind(frame)) {
    case WindowKindEditor: return yyeditkeyboard(frame, m);
    case WindowKindGrid: return yygridwinkeyboard(frame, m);
    default: return false;
    }
}

std::int32_t yyspecialextraheight(OsHandle frame) {
    return yyspecialkind(frame) == WindowKindEditor ? yyeditextraheight(frame) : 0;
}
