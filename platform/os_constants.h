#pragma once
// Named numbers that resource scripts and the window layer share: window and
// control style bits, and virtual-key codes. The values are the ones the
// library's dialog templates and key handling were written against.
// Each list is an X-macro so the resource compiler can read the names.
#include <cstdint>

#include "platform/os_window.h"

#define OS_STYLE_CONSTANTS(X) OS_WINDOW_STYLE_CONSTANTS(X) OS_CONTROL_STYLE_CONSTANTS(X)

// Window, extended and dialog styles; platform/os_window.h gives their OS_ names.
#define OS_WINDOW_STYLE_CONSTANTS(X)                                                   \
    /* window styles */                                                                \
    X(WS_OVERLAPPED, 0x00000000) X(WS_POPUP, 0x80000000) X(WS_CHILD, 0x40000000)       \
    X(WS_MINIMIZE, 0x20000000) X(WS_VISIBLE, 0x10000000) X(WS_DISABLED, 0x08000000)    \
    X(WS_CLIPSIBLINGS, 0x04000000) X(WS_CLIPCHILDREN, 0x02000000)                      \
    X(WS_MAXIMIZE, 0x01000000) X(WS_CAPTION, 0x00C00000) X(WS_BORDER, 0x00800000)      \
    X(WS_DLGFRAME, 0x00400000) X(WS_VSCROLL, 0x00200000) X(WS_HSCROLL, 0x00100000)     \
    X(WS_SYSMENU, 0x00080000) X(WS_THICKFRAME, 0x00040000) X(WS_GROUP, 0x00020000)     \
    X(WS_TABSTOP, 0x00010000) X(WS_MINIMIZEBOX, 0x00020000)                            \
    X(WS_MAXIMIZEBOX, 0x00010000)                                                      \
    /* extended window styles */                                                       \
    X(WS_EX_DLGMODALFRAME, 0x00000001) X(WS_EX_NOPARENTNOTIFY, 0x00000004)             \
    X(WS_EX_TOPMOST, 0x00000008) X(WS_EX_TRANSPARENT, 0x00000020)                      \
    X(WS_EX_TOOLWINDOW, 0x00000080) X(WS_EX_WINDOWEDGE, 0x00000100)                    \
    X(WS_EX_CLIENTEDGE, 0x00000200) X(WS_EX_CONTEXTHELP, 0x00000400)                   \
    X(WS_EX_RIGHT, 0x00001000) X(WS_EX_CONTROLPARENT, 0x00010000)                      \
    X(WS_EX_STATICEDGE, 0x00020000)                                                    \
    /* dialog styles */                                                                \
    X(DS_ABSALIGN, 0x0001) X(DS_SYSMODAL, 0x0002) X(DS_3DLOOK, 0x0004)                 \
    X(DS_FIXEDSYS, 0x0008) X(DS_NOFAILCREATE, 0x0010) X(DS_SETFONT, 0x0040)            \
    X(DS_MODALFRAME, 0x0080) X(DS_NOIDLEMSG, 0x0100) X(DS_SETFOREGROUND, 0x0200)       \
    X(DS_CONTROL, 0x0400) X(DS_CENTER, 0x0800) X(DS_CENTERMOUSE, 0x1000)               \
    X(DS_CONTEXTHELP, 0x2000) X(SBARS_SIZEGRIP, 0x0100)                          \
    X(TBSTYLE_TOOLTIPS, 0x0100) X(TBSTYLE_WRAPABLE, 0x0200) X(TBSTYLE_FLAT, 0x0800)

#define OS_CONTROL_STYLE_CONSTANTS(X)                                                  \
    /* buttons */                                                                      \
    X(BS_PUSHBUTTON, 0x0000) X(BS_DEFPUSHBUTTON, 0x0001) X(BS_CHECKBOX, 0x0002)        \
    X(BS_AUTOCHECKBOX, 0x0003) X(BS_RADIOBUTTON, 0x0004) X(BS_3STATE, 0x0005)          \
    X(BS_AUTO3STATE, 0x0006) X(BS_GROUPBOX, 0x0007) X(BS_USERBUTTON, 0x0008)           \
    X(BS_AUTORADIOBUTTON, 0x0009) X(BS_OWNERDRAW, 0x000B) X(BS_TYPEMASK, 0x000F)       \
    X(BS_LEFTTEXT, 0x0020) X(BS_ICON, 0x0040) X(BS_BITMAP, 0x0080) X(BS_LEFT, 0x0100)  \
    X(BS_RIGHT, 0x0200) X(BS_CENTER, 0x0300) X(BS_TOP, 0x0400) X(BS_BOTTOM, 0x0800)    \
    X(BS_VCENTER, 0x0C00) X(BS_PUSHLIKE, 0x1000) X(BS_MULTILINE, 0x2000)               \
    X(BS_NOTIFY, 0x4000) X(BS_FLAT, 0x8000)                                            \
    /* edit fields */                                                                  \
    X(ES_LEFT, 0x0000) X(ES_CENTER, 0x0001) X(ES_RIGHT, 0x0002) X(ES_MULTILINE, 0x0004) \
    X(ES_UPPERCASE, 0x0008) X(ES_LOWERCASE, 0x0010) X(ES_PASSWORD, 0x0020)             \
    X(ES_AUTOVSCROLL, 0x0040) X(ES_AUTOHSCROLL, 0x0080) X(ES_NOHIDESEL, 0x0100)        \
    X(ES_OEMCONVERT, 0x0400) X(ES_READONLY, 0x0800) X(ES_WANTRETURN, 0x1000)           \
    X(ES_NUMBER, 0x2000)                                                               \
    /* statics */                                                                      \
    X(SS_LEFT, 0x0000) X(SS_CENTER, 0x0001) X(SS_RIGHT, 0x0002) X(SS_ICON, 0x0003)     \
    X(SS_BLACKRECT, 0x0004) X(SS_GRAYRECT, 0x0005) X(SS_WHITERECT, 0x0006)             \
    X(SS_BLACKFRAME, 0x0007) X(SS_GRAYFRAME, 0x0008) X(SS_WHITEFRAME, 0x0009)          \
    X(SS_SIMPLE, 0x000B) X(SS_LEFTNOWORDWRAP, 0x000C) X(SS_OWNERDRAW, 0x000D)          \
    X(SS_BITMAP, 0x000E) X(SS_ETCHEDHORZ, 0x0010) X(SS_ETCHEDVERT, 0x0011)             \
    X(SS_ETCHEDFRAME, 0x0012) X(SS_TYPEMASK, 0x001F) X(SS_NOPREFIX, 0x0080)            \
    X(SS_NOTIFY, 0x0100) X(SS_CENTERIMAGE, 0x0200) X(SS_SUNKEN, 0x1000)                \
    /* list boxes */                                                                   \
    X(LBS_NOTIFY, 0x0001) X(LBS_SORT, 0x0002) X(LBS_NOREDRAW, 0x0004)                  \
    X(LBS_MULTIPLESEL, 0x0008) X(LBS_OWNERDRAWFIXED, 0x0010) X(LBS_HASSTRINGS, 0x0040) \
    X(LBS_USETABSTOPS, 0x0080) X(LBS_NOINTEGRALHEIGHT, 0x0100)                         \
    X(LBS_MULTICOLUMN, 0x0200) X(LBS_WANTKEYBOARDINPUT, 0x0400)                        \
    X(LBS_EXTENDEDSEL, 0x0800) X(LBS_DISABLENOSCROLL, 0x1000) X(LBS_NOSEL, 0x4000)     \
    /* combo boxes */                                                                  \
    X(CBS_SIMPLE, 0x0001) X(CBS_DROPDOWN, 0x0002) X(CBS_DROPDOWNLIST, 0x0003)          \
    X(CBS_OWNERDRAWFIXED, 0x0010) X(CBS_AUTOHSCROLL, 0x0040) X(CBS_OEMCONVERT, 0x0080) \
    X(CBS_SORT, 0x0100) X(CBS_HASSTRINGS, 0x0200) X(CBS_NOINTEGRALHEIGHT, 0x0400)      \
    X(CBS_DISABLENOSCROLL, 0x0800) X(CBS_UPPERCASE, 0x2000) X(CBS_LOWERCASE, 0x4000)   \
    /* scroll bars */                                                                  \
    X(SBS_HORZ, 0x0000) X(SBS_VERT, 0x0001)                                            \
    /* trackbars */                                                                    \
    X(TBS_AUTOTICKS, 0x0001) X(TBS_VERT, 0x0002) X(TBS_HORZ, 0x0000) X(TBS_TOP, 0x0004) \
    X(TBS_BOTTOM, 0x0000) X(TBS_LEFT, 0x0004) X(TBS_RIGHT, 0x0000) X(TBS_BOTH, 0x0008) \
    X(TBS_NOTICKS, 0x0010) X(TBS_ENABLESELRANGE, 0x0020) X(TBS_FIXEDLENGTH, 0x0040)    \
    X(TBS_NOTHUMB, 0x0080) X(TBS_TOOLTIPS, 0x0100)                                     \
    /* progress bars, up-down controls, tabs, trees, tool bars */                      \
    X(PBS_SMOOTH, 0x0001) X(PBS_VERTICAL, 0x0004)                                      \
    X(UDS_WRAP, 0x0001) X(UDS_SETBUDDYINT, 0x0002) X(UDS_ALIGNRIGHT, 0x0004)           \
    X(UDS_ALIGNLEFT, 0x0008) X(UDS_AUTOBUDDY, 0x0010) X(UDS_ARROWKEYS, 0x0020)         \
    X(UDS_HORZ, 0x0040) X(UDS_NOTHOUSANDS, 0x0080) X(UDS_HOTTRACK, 0x0100)             \
    X(TCS_TABS, 0x0000) X(TCS_BUTTONS, 0x0100) X(TCS_MULTILINE, 0x0200)                \
    X(TCS_FIXEDWIDTH, 0x0400) X(TCS_TOOLTIPS, 0x4000) X(TCS_FOCUSNEVER, 0x8000)        \
    X(TVS_HASBUTTONS, 0x0001) X(TVS_HASLINES, 0x0002) X(TVS_LINESATROOT, 0x0004)       \
    X(TVS_EDITLABELS, 0x0008) X(TVS_DISABLEDRAGDROP, 0x0010)                           \
    X(TVS_SHOWSELALWAYS, 0x0020) X(TVS_CHECKBOXES, 0x0100) X(TVS_TRACKSELECT, 0x0200)  \
    X(CCS_TOP, 0x0001) X(CCS_NORESIZE, 0x0004) X(CCS_NODIVIDER, 0x0040)

#define OS_VK_CONSTANTS(X)                                                             \
    X(VK_BACK, 0x08) X(VK_TAB, 0x09) X(VK_CLEAR, 0x0C) X(VK_RETURN, 0x0D)              \
    X(VK_SHIFT, 0x10) X(VK_CONTROL, 0x11) X(VK_MENU, 0x12) X(VK_PAUSE, 0x13)           \
    X(VK_ESCAPE, 0x1B) X(VK_SPACE, 0x20) X(VK_PRIOR, 0x21) X(VK_NEXT, 0x22)            \
    X(VK_END, 0x23) X(VK_HOME, 0x24) X(VK_LEFT, 0x25) X(VK_UP, 0x26) X(VK_RIGHT, 0x27) \
    X(VK_DOWN, 0x28) X(VK_INSERT, 0x2D) X(VK_DELETE, 0x2E) X(VK_HELP, 0x2F)            \
    X(VK_NUMPAD0, 0x60) X(VK_NUMPAD1, 0x61) X(VK_NUMPAD2, 0x62) X(VK_NUMPAD3, 0x63)    \
    X(VK_NUMPAD4, 0x64) X(VK_NUMPAD5, 0x65) X(VK_NUMPAD6, 0x66) X(VK_NUMPAD7, 0x67)    \
    X(VK_NUMPAD8, 0x68) X(VK_NUMPAD9, 0x69) X(VK_MULTIPLY, 0x6A) X(VK_ADD, 0x6B)       \
    X(VK_SUBTRACT, 0x6D) X(VK_DECIMAL, 0x6E) X(VK_DIVIDE, 0x6F)                        \
    X(VK_F1, 0x70) X(VK_F2, 0x71) X(VK_F3, 0x72) X(VK_F4, 0x73) X(VK_F5, 0x74)         \
    X(VK_F6, 0x75) X(VK_F7, 0x76) X(VK_F8, 0x77) X(VK_F9, 0x78) X(VK_F10, 0x79)        \
    X(VK_F11, 0x7A) X(VK_F12, 0x7B)

#define OS_DECLARE_CONSTANT(name, value) inline constexpr std::uint32_t OS_##name = value;
OS_CONTROL_STYLE_CONSTANTS(OS_DECLARE_CONSTANT)
#undef OS_DECLARE_CONSTANT
