#pragma once
// The modeless find and replace dialogs. The dialog tells its owner what the
// user asked for by sending the registered message "commdlg_FindReplace"
// (OS_FINDMSGSTRING) with the request block in lParam: the block's flags say
// which button was pressed (find next, replace, replace all, or the dialog
// ending) and its choices (down, whole word, match case); its buffers hold
// the texts. A hook, when the request enables one, sees the dialog's
// initialisation and commands first and answers non-zero to take them.
// The dialogs are ordinary windows of the layer, so tests press their
// buttons as a user would (BM_CLICK) offscreen.
#include <cstdint>

#include "platform/os_dialog.h"
#include "platform/os_window.h"

inline constexpr const char* OS_FINDMSGSTRING = "commdlg_FindReplace";

enum : std::uint32_t {
    FR_DOWN = 0x1, FR_WHOLEWORD = 0x2, FR_MATCHCASE = 0x4, FR_FINDNEXT = 0x8,
    FR_REPLACE = 0x10, FR_REPLACEALL = 0x20, FR_DIALOGTERM = 0x40, FR_ENABLEHOOK = 0x100,
    FR_NOUPDOWN = 0x400, FR_HIDEUPDOWN = 0x4000,
};

// Control ids of the dialogs.
enum : std::int32_t {
    OS_FIND_EDIT = 1152, OS_REPLACE_EDIT = 1153, OS_FIND_WHOLEWORD = 1040, OS_FIND_MATCHCASE = 1041,
    OS_FIND_UP = 1056, OS_FIND_DOWN = 1057, OS_FIND_NEXT = 1, OS_FIND_CANCEL = 2,
    OS_FIND_REPLACE = 1024, OS_FIND_REPLACEALL = 1025,
};

struct OsFindReplace {
    OsWindow owner = 0;
    std::uint32_t flags = 0;
    char* find_what = nullptr;       // room for find_length characters with the NUL
    char* replace_with = nullptr;
    std::int32_t find_length = 0, replace_length = 0;
    OsDlgProc hook = nullptr;        // called when FR_ENABLEHOOK is set
};

// Shows the find (or, with replace, the replace) dialog owned by
// request.owner; the block must live as long as the dialog. 0 when it could
// not be made.
OsWindow os_find_dialog(OsFindReplace& request, bool replace);
