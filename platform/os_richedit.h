#pragma once
// The rich-edit control, class "RichEdit20A": formatted text over the
// toolkit's text document, answering as version 3 (one position per line
// break, redo, search up, zoom). Text crosses the interface as Windows-1252;
// RTF is read and written by our own code (os_rtf.h).
#include <cstdint>
#include <string>

#include "platform/os_dialog.h"
#include "platform/os_gdi.h"
#include "platform/os_menu.h"
#include "platform/os_window.h"

enum : std::uint32_t {
    OS_EM_EXGETSEL = OSM_USER + 52,
    OS_EM_EXLIMITTEXT = OSM_USER + 53,
    OS_EM_EXLINEFROMCHAR = OSM_USER + 54,
    OS_EM_EXSETSEL = OSM_USER + 55,
    OS_EM_FINDTEXTEX = OSM_USER + 79,
    OS_EM_FORMATRANGE = OSM_USER + 57,
    OS_EM_GETCHARFORMAT = OSM_USER + 58,
    OS_EM_GETEVENTMASK = OSM_USER + 59,
    OS_EM_GETPARAFORMAT = OSM_USER + 61,
    OS_EM_GETTEXTRANGE = OSM_USER + 75,
    OS_EM_SETCHARFORMAT = OSM_USER + 68,
    OS_EM_SETEVENTMASK = OSM_USER + 69,
    OS_EM_SETPARAFORMAT = OSM_USER + 71,
    OS_EM_STREAMIN = OSM_USER + 73,
    OS_EM_STREAMOUT = OSM_USER + 74,
    OS_EM_REDO = OSM_USER + 84,
    OS_EM_CANREDO = OSM_USER + 85,
    OS_EM_STOPGROUPTYPING = OSM_USER + 88,
    OS_EM_GETZOOM = OSM_USER + 224,
    OS_EM_SETZOOM = OSM_USER + 225,
    OS_EM_GETTEXTLENGTH = OSM_USER + 95,  // characters, one per line break
    // Classic edit messages the control also answers.
    OS_EM_CANUNDO = 0x00C6,
    OS_EM_UNDO = 0x00C7,
    OS_EM_LINEINDEX = 0x00BB,
    OS_EM_LINELENGTH = 0x00C1,
    OS_EM_GETLINE = 0x00C4,
    OS_EM_GETLINECOUNT = 0x00BA,
    OS_EM_LINEFROMCHAR = 0x00C9,
    OS_EM_GETFIRSTVISIBLELINE = 0x00CE,
    OS_EM_LINESCROLL = 0x00B6,
    OS_EM_EMPTYUNDOBUFFER = 0x00CD,
    OS_EM_HIDESELECTION = OSM_USER + 63,
    OS_EM_POSFROMCHAR = 0x00D6,
    // Clipboard: cut, copy, paste (formats kept between our controls), clear.
    OS_EM_CUT = 0x0300,
    OS_EM_COPY = 0x0301,
    OS_EM_PASTE = 0x0302,
    OS_EM_CLEAR = 0x0303,
};

// Notifications: OS_EN_CHANGE through OSM_COMMAND, the rest through OSM_NOTIFY.
enum : std::int32_t {
    OS_EN_MSGFILTER = 0x0700,
    OS_EN_SELCHANGE = 0x0702,
    OS_EN_PROTECTED = 0x0704,
};
enum : std::uint32_t {
    OS_ENM_CHANGE = 0x1,
    OS_ENM_SCROLL = 0x4,
    OS_ENM_KEYEVENTS = 0x10000,
    OS_ENM_MOUSEEVENTS = 0x20000,
    OS_ENM_SELCHANGE = 0x80000,
    OS_ENM_PROTECTED = 0x200000,
};

struct OsCharRange {
    std::int32_t cpMin = 0, cpMax = 0;  // cpMax -1: to the end
};
struct OsTextRange {
    OsCharRange chrg;
    char* text = nullptr;  // room for the range and a NUL
};

// Streams: the callback moves up to cb bytes and tells how many in *done;
// a non-zero result stops the stream and is kept in error.
using OsEditStreamCallback = std::int32_t (*)(std::intptr_t cookie, unsigned char* buf, std::int32_t cb, std::int32_t* done);
struct OsEditStream {
    std::intptr_t cookie = 0;
    std::int32_t error = 0;
    OsEditStreamCallback callback = nullptr;
};
enum : std::uint32_t { OS_SF_TEXT = 0x1, OS_SF_RTF = 0x2, OS_SFF_SELECTION = 0x8000 };

// Finding: flags in wParam.
enum : std::uint32_t { OS_FR_DOWN = 0x1, OS_FR_WHOLEWORD = 0x2, OS_FR_MATCHCASE = 0x4 };
struct OsFindText {
    OsCharRange chrg;        // where to search; cpMax below cpMin searches up
    const char* text = nullptr;
    OsCharRange found;
};

// Character format. In a GET the mask tells which members are the same over
// the whole selection.
enum : std::uint32_t {
    OS_CFM_BOLD = 0x1, OS_CFM_ITALIC = 0x2, OS_CFM_UNDERLINE = 0x4, OS_CFM_STRIKEOUT = 0x8,
    OS_CFM_PROTECTED = 0x10, OS_CFM_BACKCOLOR = 0x04000000, OS_CFM_CHARSET = 0x08000000,
    OS_CFM_FACE = 0x20000000, OS_CFM_COLOR = 0x40000000, OS_CFM_SIZE = 0x80000000,
};
enum : std::uint32_t {
    OS_CFE_BOLD = 0x1, OS_CFE_ITALIC = 0x2, OS_CFE_UNDERLINE = 0x4, OS_CFE_STRIKEOUT = 0x8,
    OS_CFE_PROTECTED = 0x10, OS_CFE_AUTOBACKCOLOR = 0x04000000, OS_CFE_AUTOCOLOR = 0x40000000,
};
enum : std::uint32_t { OS_SCF_SELECTION = 0x1, OS_SCF_WORD = 0x2, OS_SCF_ALL = 0x4 };
struct OsCharFormat {
    std::uint32_t mask = 0, effects = 0;
    std::int32_t height = 0;       // twips
    std::uint32_t colour = 0;      // 0x00BBGGRR
    std::uint8_t charset = 0;
    std::uint8_t pitch_family = 0;  // family in the high nibble: 1 roman, 2 swiss, 3 modern, 4 script, 5 decor
    char face[32] = {};
    std::uint32_t back = 0;
};

enum : std::uint32_t {
    OS_PFM_STARTINDENT = 0x1, OS_PFM_RIGHTINDENT = 0x2, OS_PFM_OFFSET = 0x4, OS_PFM_ALIGNMENT = 0x8,
    OS_PFM_TABSTOPS = 0x10, OS_PFM_NUMBERING = 0x20,
};
enum : std::uint16_t { OS_PFA_LEFT = 1, OS_PFA_RIGHT = 2, OS_PFA_CENTER = 3 };
enum : std::uint16_t { OS_PFN_BULLET = 1 };
struct OsParaFormat {
    std::uint32_t mask = 0;
    std::uint16_t numbering = 0;
    std::int32_t start_indent = 0, right_indent = 0, offset = 0;  // twips
    std::uint16_t alignment = OS_PFA_LEFT;
    std::int16_t tab_count = 0;
    std::int32_t tabs[32] = {};
};

// Notification blocks (OSM_NOTIFY).
struct OsSelChange {
    OsNotifyHeader hdr;
    OsCharRange chrg;
};
struct OsProtected {
    OsNotifyHeader hdr;
    std::uint32_t msg = 0;  // the message that would change protected text
    OsCharRange chrg;
};
struct OsMsgFilter {
    OsNotifyHeader hdr;
    std::uint32_t msg = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// Rendering into a device context: rc and page in twips; chrg the range;
// the result is the first character not drawn.
struct OsFormatRange {
    OsDC dc = 0;
    OsRect rc;
    OsRect page;
    OsCharRange chrg;
};

// Plain text (1252, CR LF line breaks) on the clipboard: whether there is
// some, reading it, and putting text there.
bool os_clipboard_has_text();
std::string os_clipboard_text();
void os_clipboard_set_text(const std::string& text);

// Registers "RichEdit20A" (os_register_controls calls it).
void os_register_richedit();
