#pragma once
// Dialog windows (class "#32770") made from dialog templates, the modal
// dialog box as our own loop, the dialog keyboard, and the standard controls
// a template may hold. Each control is a window of this layer with its own
// procedure, driven by messages; its notifications reach the parent as
// OSM_COMMAND (notification code in the high word, control id in the low
// word, the control as second value) or OSM_NOTIFY. Input reaches a
// control's window procedure before the control acts on it, so a subclass
// can swallow or change any input.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/os_constants.h"
#include "platform/os_menu.h"
#include "platform/os_resource.h"
#include "platform/os_window.h"

// ---- messages -----------------------------------------------------------------
enum : std::uint32_t {
    OSM_ENABLE = 0x000A,
    OSM_NEXTDLGCTL = 0x0028,
    OSM_SETFONT = 0x0030,
    OSM_GETFONT = 0x0031,
    OSM_HELP = 0x0053,
    OSM_GETDLGCODE = 0x0087,
    OSM_INITDIALOG = 0x0110,
    OSM_HSCROLL = 0x0114,
    OSM_VSCROLL = 0x0115,
    OSM_CTLCOLOREDIT = 0x0133,
    OSM_CTLCOLORLISTBOX = 0x0134,
    OSM_CTLCOLORBTN = 0x0135,
    OSM_CTLCOLORDLG = 0x0136,
    OSM_CTLCOLORSTATIC = 0x0138,
    OSM_SETREDRAW = 0x000B,
    // Dialog.
    DM_GETDEFID = OSM_USER + 0,
    DM_SETDEFID = OSM_USER + 1,
    // Button.
    BM_GETCHECK = 0x00F0,
    BM_SETCHECK = 0x00F1,
    BM_GETSTATE = 0x00F2,
    BM_SETSTATE = 0x00F3,
    BM_SETSTYLE = 0x00F4,
    BM_CLICK = 0x00F5,
    BM_GETIMAGE = 0x00F6,
    BM_SETIMAGE = 0x00F7,
    // Static.
    STM_SETICON = 0x0170,
    STM_GETICON = 0x0171,
    STM_SETIMAGE = 0x0172,
    STM_GETIMAGE = 0x0173,
    // Edit.
    EM_GETSEL = 0x00B0,
    EM_SETSEL = 0x00B1,
    EM_SCROLLCARET = 0x00B7,
    EM_GETMODIFY = 0x00B8,
    EM_SETMODIFY = 0x00B9,
    EM_REPLACESEL = 0x00C2,
    EM_LIMITTEXT = 0x00C5,
    EM_SETTABSTOPS = 0x00CB,
    EM_SETREADONLY = 0x00CF,
    EM_GETLIMITTEXT = 0x00D5,
    EM_GETRECT = 0x00B2,        // lp OsRect*: the formatting rectangle in the client area
    EM_CANUNDO = 0x00C6,
    EM_UNDO = 0x00C7,
    EM_POSFROMCHAR = 0x00D6,    // wp character: its top-left, x in the low word, y in the high word
    // Clipboard commands of edit controls (text format).
    OSM_CUT = 0x0300,
    OSM_COPY = 0x0301,
    OSM_PASTE = 0x0302,
    OSM_CLEAR = 0x0303,
    // List box.
    LB_ADDSTRING = 0x0180,
    LB_INSERTSTRING = 0x0181,
    LB_DELETESTRING = 0x0182,
    LB_RESETCONTENT = 0x0184,
    LB_SETSEL = 0x0185,
    LB_SETCURSEL = 0x0186,
    LB_GETSEL = 0x0187,
    LB_GETCURSEL = 0x0188,
    LB_GETTEXT = 0x0189,
    LB_GETTEXTLEN = 0x018A,
    LB_GETCOUNT = 0x018B,
    LB_GETSELCOUNT = 0x0190,
    LB_SETTABSTOPS = 0x0192,
    LB_GETITEMHEIGHT = 0x01A1,
    // Combo box.
    CB_GETEDITSEL = 0x0140,
    CB_LIMITTEXT = 0x0141,
    CB_SETEDITSEL = 0x0142,
    CB_ADDSTRING = 0x0143,
    CB_DELETESTRING = 0x0144,
    CB_GETCOUNT = 0x0146,
    CB_GETCURSEL = 0x0147,
    CB_GETLBTEXT = 0x0148,
    CB_GETLBTEXTLEN = 0x0149,
    CB_INSERTSTRING = 0x014A,
    CB_RESETCONTENT = 0x014B,
    CB_SETCURSEL = 0x014E,
    CB_SHOWDROPDOWN = 0x014F,
    CB_GETDROPPEDSTATE = 0x0157,
    CB_FINDSTRINGEXACT = 0x0158,
    CB_FINDSTRING = 0x014C,              // the first item from wp + 1 that begins with the text, no case
    CB_GETDROPPEDCONTROLRECT = 0x0152,   // lp: OsRect, the box with its list on the screen
    CB_GETITEMHEIGHT = 0x0154,           // wp -1: the selection field's height
    // Header.
    HDM_GETITEMCOUNT = 0x1200,
    HDM_INSERTITEM = 0x1201,   // wp: position, lp: OsHeaderItem; answers the index, -1 on failure
    HDM_DELETEITEM = 0x1202,
    HDM_GETITEM = 0x1203,      // wp: index, lp: OsHeaderItem (the mask says what to fill)
    HDM_SETITEM = 0x1204,
    // Progress bar.
    PBM_SETRANGE = OSM_USER + 1,
    PBM_SETPOS = OSM_USER + 2,
    PBM_DELTAPOS = OSM_USER + 3,
    PBM_SETSTEP = OSM_USER + 4,
    PBM_STEPIT = OSM_USER + 5,
    PBM_GETRANGE = OSM_USER + 7,
    PBM_GETPOS = OSM_USER + 8,
    // Trackbar.
    TBM_GETPOS = OSM_USER + 0,
    TBM_GETRANGEMIN = OSM_USER + 1,
    TBM_GETRANGEMAX = OSM_USER + 2,
    TBM_SETPOS = OSM_USER + 5,
    TBM_SETRANGE = OSM_USER + 6,
    TBM_SETSEL = OSM_USER + 10,
    TBM_GETSELSTART = OSM_USER + 17,
    TBM_GETSELEND = OSM_USER + 18,
    TBM_CLEARSEL = OSM_USER + 19,
    TBM_SETTICFREQ = OSM_USER + 20,
    TBM_SETPAGESIZE = OSM_USER + 21,
    TBM_GETPAGESIZE = OSM_USER + 22,
    TBM_SETLINESIZE = OSM_USER + 23,
    TBM_GETLINESIZE = OSM_USER + 24,
    TBM_GETNUMTICS = OSM_USER + 16,
    // Up-down.
    UDM_SETRANGE = OSM_USER + 101,
    UDM_GETRANGE = OSM_USER + 102,
    UDM_SETPOS = OSM_USER + 103,
    UDM_GETPOS = OSM_USER + 104,
    UDM_SETBUDDY = OSM_USER + 105,
    UDM_GETBUDDY = OSM_USER + 106,
    UDM_SETACCEL = OSM_USER + 107,
    UDM_GETACCEL = OSM_USER + 108,
    // Tab control.
    TCM_GETITEMCOUNT = 0x1304,
    TCM_GETITEM = 0x1305,
    TCM_SETITEM = 0x1306,
    TCM_INSERTITEM = 0x1307,
    TCM_DELETEALLITEMS = 0x1309,
    TCM_GETCURSEL = 0x130B,
    TCM_SETCURSEL = 0x130C,
    TCM_ADJUSTRECT = 0x1328,
    TCM_SETITEMEXTRA = 0x130E,
    TCM_GETITEMRECT = 0x130A,        // wp item, lp OsRect*: its rectangle in the control
    TCM_HITTEST = 0x130D,            // lp OsPoint* in the control: the item there, -1 none
    TCM_SETCURFOCUS = 0x1330,        // selects an item as a click would (with both notifications)
    // Tree view: items by handle.
    TVM_INSERTITEM = 0x1100,         // lp OsTreeInsert*; the new item, 0 on failure
    TVM_DELETEITEM = 0x1101,         // lp item (OS_TVI_ROOT: all); false for a bad item
    TVM_EXPAND = 0x1102,             // wp OS_TVE_*, lp item
    TVM_GETCOUNT = 0x1105,
    TVM_SELECTITEM = 0x110B,         // wp OS_TVGN_CARET, lp item (0: none)
    TVM_GETITEM = 0x110C,            // lp OsTreeItem* with its item set
    TVM_SETITEM = 0x110D,            // lp OsTreeItem*: what its mask names
    TVM_GETNEXTITEM = 0x110A,        // wp OS_TVGN_*, lp item
};

// Answers of DM_GETDEFID: the id in the low word, this in the high word.
constexpr std::int32_t DC_HASDEFID = 0x534B;  // 21323

// OSM_GETDLGCODE answers.
enum : std::int32_t {
    DLGC_WANTARROWS = 0x0001,
    DLGC_WANTTAB = 0x0002,
    DLGC_WANTALLKEYS = 0x0004,
    DLGC_HASSETSEL = 0x0008,
    DLGC_DEFPUSHBUTTON = 0x0010,
    DLGC_UNDEFPUSHBUTTON = 0x0020,
    DLGC_RADIOBUTTON = 0x0040,
    DLGC_WANTCHARS = 0x0080,
    DLGC_STATIC = 0x0100,
    DLGC_BUTTON = 0x2000,
};

// Styles beyond those of platform/os_constants.h.
enum : std::uint32_t {
    OS_SS_ENHMETAFILE = 0x000F,
    OS_SBS_SIZEBOXBOTTOMRIGHTALIGN = 0x0004,
    OS_SBS_SIZEBOX = 0x0008,
    OS_SBS_SIZEGRIP = 0x0010,
};

// Notification codes (high word of OSM_COMMAND).
enum : std::int32_t {
    BN_CLICKED = 0,
    BN_DOUBLECLICKED = 5,
    BN_SETFOCUS = 6,
    BN_KILLFOCUS = 7,
    STN_CLICKED = 0,
    STN_DBLCLK = 1,
    EN_SETFOCUS = 0x100,
    EN_KILLFOCUS = 0x200,
    EN_CHANGE = 0x300,
    LBN_SELCHANGE = 1,
    LBN_DBLCLK = 2,
    LBN_SETFOCUS = 4,
    LBN_KILLFOCUS = 5,
    CBN_SELCHANGE = 1,
    CBN_DBLCLK = 2,
    CBN_SETFOCUS = 3,
    CBN_KILLFOCUS = 4,
    CBN_EDITCHANGE = 5,
    CBN_DROPDOWN = 7,
    CBN_CLOSEUP = 8,
};
// Scroll codes (low word of OSM_HSCROLL / OSM_VSCROLL).
enum : std::int32_t {
    SB_LINEUP = 0,
    SB_LINEDOWN = 1,
    SB_PAGEUP = 2,
    SB_PAGEDOWN = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_BOTTOM = 7,
    SB_ENDSCROLL = 8,
};
// Check states.
enum : std::int32_t { BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2 };
// Image kinds of BM_SETIMAGE / STM_SETIMAGE.
enum : std::int32_t { OS_IMAGE_BITMAP = 0, OS_IMAGE_ICON = 1, OS_IMAGE_ENHMETAFILE = 3 };
constexpr std::intptr_t OS_LB_ERR = -1;

// OSM_NOTIFY codes of the controls (the header is in platform/os_menu.h).
enum : std::int32_t {
    OS_TCN_SELCHANGE = -551,
    OS_TCN_SELCHANGING = -552,
    OS_UDN_DELTAPOS = -722,
};
// The up-down's spin request (OSM_NOTIFY with OS_UDN_DELTAPOS): a non-zero
// answer refuses it; the receiver may change delta.
struct OsUpDownNotify {
    OsNotifyHeader hdr;
    std::int32_t pos = 0;
    std::int32_t delta = 0;
};
// Tree items: handles that are not 0; the insertion places.
constexpr std::int32_t OS_TVI_ROOT = -0x10000;
constexpr std::int32_t OS_TVI_FIRST = -0x0FFFF;
constexpr std::int32_t OS_TVI_LAST = -0x0FFFE;
enum : std::int32_t { OS_TVGN_ROOT = 0, OS_TVGN_NEXT = 1, OS_TVGN_PREVIOUS = 2, OS_TVGN_PARENT = 3, OS_TVGN_CHILD = 4, OS_TVGN_CARET = 9 };
enum : std::int32_t { OS_TVE_COLLAPSE = 1, OS_TVE_EXPAND = 2, OS_TVE_TOGGLE = 3 };
enum : std::uint32_t { OS_TVIF_TEXT = 1, OS_TVIF_PARAM = 4, OS_TVIF_STATE = 8, OS_TVIF_CHILDREN = 0x40 };
// A tree item as read or written: with OS_TVIF_STATE, expanded and
// selected; children is 1 when the item shows an expand button.
struct OsTreeItem {
    std::uint32_t mask = 0;
    std::int32_t item = 0;
    std::string text;
    std::intptr_t param = 0;
    bool expanded = false;
    bool selected = false;
    std::int32_t children = 0;
};
struct OsTreeInsert {
    std::int32_t parent = OS_TVI_ROOT;
    std::int32_t after = OS_TVI_LAST;
    OsTreeItem item;
};
// OSM_NOTIFY of a tree: the selection moved (old, new item), an item was
// expanded or collapsed (new item, action OS_TVE_*), a double click.
enum : std::int32_t { OS_NM_DBLCLK = -3, OS_TVN_SELCHANGED = -402, OS_TVN_ITEMEXPANDED = -406 };
struct OsTreeNotify {
    OsNotifyHeader hdr;
    std::int32_t old_item = 0;
    std::int32_t new_item = 0;
    std::int32_t action = 0;
};
struct OsUpDownAccel {
    std::uint32_t seconds = 0;
    std::uint32_t increment = 1;
};
// Header styles, item masks, formats and notifications (OSM_NOTIFY, lp OsHeaderNotify).
enum : std::uint32_t { OS_HDS_BUTTONS = 0x0002 };
enum : std::uint32_t { HDI_WIDTH = 0x0001, HDI_TEXT = 0x0002, HDI_FORMAT = 0x0004 };
enum : std::int32_t { HDF_LEFT = 0, HDF_RIGHT = 1, HDF_CENTER = 2, HDF_JUSTIFYMASK = 3, HDF_STRING = 0x4000 };
enum : std::int32_t {
    HDN_ITEMCLICK = -302,
    HDN_BEGINTRACK = -306,
    HDN_ENDTRACK = -307,
    HDN_TRACK = -308,
};
// A header item: which parts count (mask), its width, text (cut to
// text_max - 1 characters when read) and format.
struct OsHeaderItem {
    std::uint32_t mask = 0;
    std::int32_t cxy = 0;
    std::string text;
    std::int32_t text_max = 32767;
    std::int32_t fmt = 0;
};
// Click (button 0 left, 1 right) and divider drag of a header item; a
// non-zero answer to HDN_BEGINTRACK or HDN_TRACK refuses the drag.
struct OsHeaderNotify {
    OsNotifyHeader hdr;
    std::int32_t item = 0;
    std::int32_t button = 0;
    OsHeaderItem* pitem = nullptr;
};
// A tab item (TCM_INSERTITEM, TCM_GETITEM, TCM_SETITEM): the text and up to
// 8 bytes of item data (two integers).
struct OsTabItem {
    std::string text;
    std::int32_t data[2] = {0, 0};
    // Drawn with an embossed caption: a highlight one pixel right and down
    // over the button face, the shadow colour on top.
    bool embossed = false;
};

// ---- dialogs --------------------------------------------------------------------
// A dialog procedure: answers non-zero when it handled the message (for
// colour requests, the brush; for OSM_INITDIALOG, non-zero asks for the
// default focus), 0 for the dialog window's default handling.
using OsDlgProc = std::intptr_t (*)(OsWindow, std::uint32_t, std::uintptr_t, std::intptr_t);

// Base units of a template: those of its font when it names one, else the
// dialog base units of os_config.
OsPoint os_dialog_base_units(const OsDialogTemplate& t);
// Dialog units to pixels of a dialog window (with its template's base units).
bool os_map_dialog_rect(OsWindow dialog, OsRect& r);
// Creates a modeless dialog from a template resource, hidden whatever its
// styles say, as a child of parent (child style) or owned by it; sends
// OSM_INITDIALOG with param. 0 when there is no such template or creation fails.
OsWindow os_create_dialog(OsResName id, OsWindow parent, OsDlgProc proc, std::intptr_t param);
// The same from a template the caller built.
OsWindow os_create_dialog_indirect(const OsDialogTemplate& t, OsWindow parent, OsDlgProc proc, std::intptr_t param);
// The modal dialog box: creates the dialog owned by owner, shows it and runs
// our own loop until os_end_dialog; returns that result, -1 when it could
// not be created. A quit message ends it with -1 and stays in the queue.
std::intptr_t os_dialog_box(OsResName id, OsWindow owner, OsDlgProc proc, std::intptr_t param);
bool os_end_dialog(OsWindow dialog, std::intptr_t result);
// The dialog keyboard for a message of the dialog or its controls: Tab and
// Shift+Tab move over the tab-stop controls (into child dialogs with the
// control-parent style), arrows within a group, Enter presses the default
// button (else id 1), Escape sends command 2 without a control, F1 asks for
// help, Alt+letter goes to the control of that mnemonic. Any other message of
// the dialog is translated and dispatched. False when the message is not
// the dialog's.
bool os_is_dialog_message(OsWindow dialog, const OsMsg& m);
// The control with that id among a window's children, 0 when none.
OsWindow os_get_dlg_item(OsWindow dialog, std::int32_t id);
// The next (or previous) tab-stop control after from, in the dialog and the
// child dialogs it holds; 0 when there is none.
OsWindow os_next_tab_item(OsWindow dialog, OsWindow from, bool previous);
// The dialog procedure of a dialog window.
OsDlgProc os_dialog_proc(OsWindow dialog);
// Whether a dialog window runs as a modal dialog box.
bool os_dialog_is_modal(OsWindow dialog);

// Tests script a modal dialog box: called with the dialog whenever its loop
// has nothing to do; it may give input (os_input_key, os_input_mouse). When
// the loop still has nothing to do afterwards and no one can see the screen
// (offscreen), the dialog ends with 2 (cancelled) instead of waiting forever.
void os_dialog_set_script(std::function<void(OsWindow)> script);

// ---- snapshots ---------------------------------------------------------------------
// A picture of a window's client area with its child controls; 0 when the
// window is bad or has no area.
std::int32_t os_snapshot_take(OsWindow w);
// Puts the picture back onto the window's client area (its retained image
// and the screen); false for a bad window or snapshot.
bool os_snapshot_paint(OsWindow w, std::int32_t snapshot);
void os_snapshot_free(std::int32_t snapshot);
// Colour of a pixel of a snapshot, -1 outside.
std::int64_t os_snapshot_pixel(std::int32_t snapshot, std::int32_t x, std::int32_t y);

// A bitmap object made from a decoded resource image; 0 for an empty image.
std::int32_t os_create_bitmap_from_image(const OsImage& image);

// Registers the standard control classes and the dialog class (done on first use).
void os_register_controls();
