#pragma once
// Windows, window classes, the message queue and the display, in the shape
// the library was written for. Handles are small non-zero integers (0 is
// none); message numbers, style bits and key codes have the values the
// library relies on. Every window with a background brush keeps a retained
// image of its client area; the screen only ever shows a copy of it.
//
// Sent messages (create, size, destroy, close, focus, activation, cursor)
// call the window procedure at once; posted and input messages wait in our
// own queue; paint and timer messages are made only when the queue is empty.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

using OsWindow = std::int32_t;

struct OsRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool operator==(const OsRect&) const = default;
};

struct OsPoint {
    std::int32_t x = 0, y = 0;
};

// Window procedure: window, message, wParam, lParam; the result is the
// message's answer.
using OsWndProc = std::intptr_t (*)(OsWindow, std::uint32_t, std::uintptr_t, std::intptr_t);

// Answers to OSM_MOUSEACTIVATE: whether the click itself is delivered ("eat"
// drops it). The top-level window is active by then whatever the answer, as
// a window manager activates a window clicked in.
enum : std::intptr_t { OS_MA_ACTIVATE = 1, OS_MA_ACTIVATEANDEAT = 2, OS_MA_NOACTIVATE = 3, OS_MA_NOACTIVATEANDEAT = 4 };

// ---- message numbers -------------------------------------------------------
enum : std::uint32_t {
    OSM_NULL = 0x0000,
    OSM_CREATE = 0x0001,
    OSM_DESTROY = 0x0002,
    OSM_MOVE = 0x0003,
    OSM_SIZE = 0x0005,
    OSM_ACTIVATE = 0x0006,
    OSM_SETFOCUS = 0x0007,
    OSM_KILLFOCUS = 0x0008,
    OSM_SETTEXT = 0x000C,        // lp: the NUL-terminated text
    OSM_GETTEXT = 0x000D,        // wp: room with the NUL, lp: the buffer; answers the length
    OSM_GETTEXTLENGTH = 0x000E,
    OSM_PAINT = 0x000F,
    OSM_CLOSE = 0x0010,
    OSM_QUIT = 0x0012,
    OSM_ERASEBKGND = 0x0014,
    OSM_SHOWWINDOW = 0x0018,
    OSM_ACTIVATEAPP = 0x001C,
    OSM_SETCURSOR = 0x0020,
    // Sent to the window a mouse button goes down in, once its top-level
    // window is active and before the click is queued: wp the top-level window, lp the hit-test code (low word) and the
    // mouse message (high word). A child passes it on to its parent; the
    // answer is one of OS_MA_*.
    OSM_MOUSEACTIVATE = 0x0021,
    OSM_GETMINMAXINFO = 0x0024,  // lp: OsPoint, the minimum tracking size the window may set
    OSM_NOTIFY = 0x004E,
    OSM_NCHITTEST = 0x0084,
    // The user asks for a context menu (a right click released): wp the
    // window clicked, lp the screen point. A child passes it on to its parent.
    OSM_CONTEXTMENU = 0x007B,
    OSM_NCACTIVATE = 0x0086,
    OSM_NCLBUTTONDOWN = 0x00A1,
    OSM_NCLBUTTONUP = 0x00A2,
    OSM_NCLBUTTONDBLCLK = 0x00A3,
    OSM_NCRBUTTONDOWN = 0x00A4,
    OSM_NCRBUTTONUP = 0x00A5,
    OSM_NCMBUTTONDOWN = 0x00A7,
    OSM_NCMBUTTONUP = 0x00A8,
    OSM_KEYDOWN = 0x0100,
    OSM_KEYUP = 0x0101,
    OSM_CHAR = 0x0102,
    OSM_SYSKEYDOWN = 0x0104,
    OSM_SYSKEYUP = 0x0105,
    OSM_SYSCHAR = 0x0106,
    OSM_COMMAND = 0x0111,
    OSM_SYSCOMMAND = 0x0112,
    OSM_TIMER = 0x0113,
    OSM_INITMENUPOPUP = 0x0117,
    OSM_MENUSELECT = 0x011F,
    OSM_MOUSEMOVE = 0x0200,
    OSM_LBUTTONDOWN = 0x0201,
    OSM_LBUTTONUP = 0x0202,
    OSM_LBUTTONDBLCLK = 0x0203,
    OSM_RBUTTONDOWN = 0x0204,
    OSM_RBUTTONUP = 0x0205,
    OSM_RBUTTONDBLCLK = 0x0206,
    OSM_MBUTTONDOWN = 0x0207,
    OSM_MBUTTONUP = 0x0208,
    OSM_MBUTTONDBLCLK = 0x0209,
    OSM_MOUSEWHEEL = 0x020A,
    OSM_ENTERMENULOOP = 0x0211,
    OSM_EXITMENULOOP = 0x0212,
    OSM_SIZING = 0x0214,
    OSM_MOVING = 0x0216,
    OSM_ENTERSIZEMOVE = 0x0231,
    OSM_EXITSIZEMOVE = 0x0232,
    OSM_PALETTECHANGED = 0x0311,
    OSM_USER = 0x0400,
    OSM_MCINOTIFY = 0x03B9,
    // Status bar (class "msctls_statusbar32").
    OSM_SB_SETTEXT = OSM_USER + 1,
    OSM_SB_GETTEXT = OSM_USER + 2,
    OSM_SB_GETTEXTLENGTH = OSM_USER + 3,
    OSM_SB_SETPARTS = OSM_USER + 4,
    OSM_SB_GETPARTS = OSM_USER + 6,
    OSM_SB_GETRECT = OSM_USER + 10,
};

// Size limits a window is asked for (OSM_GETMINMAXINFO, lParam points to it).
struct OsMinMaxInfo {
    OsPoint reserved, max_size, max_position, min_track, max_track;
};

// Edges of OSM_SIZING.
enum : std::uintptr_t {
    OS_WMSZ_LEFT = 1, OS_WMSZ_RIGHT = 2, OS_WMSZ_TOP = 3, OS_WMSZ_TOPLEFT = 4, OS_WMSZ_TOPRIGHT = 5,
    OS_WMSZ_BOTTOM = 6, OS_WMSZ_BOTTOMLEFT = 7, OS_WMSZ_BOTTOMRIGHT = 8,
};

// WM_SIZE kinds.
enum : std::uintptr_t { OS_SIZE_RESTORED = 0, OS_SIZE_MINIMIZED = 1, OS_SIZE_MAXIMIZED = 2 };
// WM_ACTIVATE states.
enum : std::uintptr_t { OS_WA_INACTIVE = 0, OS_WA_ACTIVE = 1, OS_WA_CLICKACTIVE = 2 };

// Mouse key-state flags of mouse messages.
enum : std::uint32_t {
    OS_MK_LBUTTON = 0x01,
    OS_MK_RBUTTON = 0x02,
    OS_MK_SHIFT = 0x04,
    OS_MK_CONTROL = 0x08,
    OS_MK_MBUTTON = 0x10,
};

// Hit-test codes of non-client messages.
enum : std::int32_t {
    OS_HTNOWHERE = 0,
    OS_HTCLIENT = 1,
    OS_HTCAPTION = 2,
    OS_HTSYSMENU = 3,
    OS_HTMENU = 5,
    OS_HTHSCROLL = 6,
    OS_HTVSCROLL = 7,
    OS_HTMINBUTTON = 8,
    OS_HTMAXBUTTON = 9,
    OS_HTLEFT = 10,
    OS_HTRIGHT = 11,
    OS_HTTOP = 12,
    OS_HTTOPLEFT = 13,
    OS_HTTOPRIGHT = 14,
    OS_HTBOTTOM = 15,
    OS_HTBOTTOMLEFT = 16,
    OS_HTBOTTOMRIGHT = 17,
    OS_HTBORDER = 18,
    OS_HTCLOSE = 20,
};

// ---- styles -----------------------------------------------------------------
enum : std::uint32_t {
    OS_WS_OVERLAPPED = 0x00000000,
    OS_WS_POPUP = 0x80000000,
    OS_WS_CHILD = 0x40000000,
    OS_WS_MINIMIZE = 0x20000000,
    OS_WS_VISIBLE = 0x10000000,
    OS_WS_DISABLED = 0x08000000,
    OS_WS_CLIPSIBLINGS = 0x04000000,
    OS_WS_CLIPCHILDREN = 0x02000000,
    OS_WS_MAXIMIZE = 0x01000000,
    OS_WS_CAPTION = 0x00C00000,  // border and title bar
    OS_WS_BORDER = 0x00800000,
    OS_WS_DLGFRAME = 0x00400000,
    OS_WS_SYSMENU = 0x00080000,
    OS_WS_THICKFRAME = 0x00040000,
    OS_WS_MINIMIZEBOX = 0x00020000,
    OS_WS_MAXIMIZEBOX = 0x00010000,
    OS_WS_VSCROLL = 0x00200000,
    OS_WS_HSCROLL = 0x00100000,
    // Dialog items: the first of a group, and a stop of the Tab key (the
    // same bits as the minimise and maximise boxes of frames).
    OS_WS_GROUP = 0x00020000,
    OS_WS_TABSTOP = 0x00010000,
    // Dialog styles.
    OS_DS_SETFONT = 0x0040,
    OS_DS_MODALFRAME = 0x0080,
    OS_DS_CONTROL = 0x0400,
    // Extended styles.
    OS_WS_EX_DLGMODALFRAME = 0x00000001,
    OS_WS_EX_NOPARENTNOTIFY = 0x00000004,
    OS_WS_EX_TOPMOST = 0x00000008,
    OS_WS_EX_CLIENTEDGE = 0x00000200,
    OS_WS_EX_CONTROLPARENT = 0x00010000,
    OS_WS_EX_TOOLWINDOW = 0x00000080,
    OS_WS_EX_APPWINDOW = 0x00040000,
    // Status bar.
    OS_SBARS_SIZEGRIP = 0x0100,
};

// Class styles.
enum : std::uint32_t {
    OS_CS_VREDRAW = 0x0001,
    OS_CS_HREDRAW = 0x0002,
    OS_CS_DBLCLKS = 0x0008,
    OS_CS_PARENTDC = 0x0080,
};

// Show commands.
enum : std::int32_t {
    OS_SW_HIDE = 0,
    OS_SW_SHOWNORMAL = 1,
    OS_SW_SHOWMINIMIZED = 2,
    OS_SW_SHOWMAXIMIZED = 3,
    OS_SW_SHOWNOACTIVATE = 4,
    OS_SW_SHOW = 5,
    OS_SW_MINIMIZE = 6,
    OS_SW_SHOWMINNOACTIVE = 7,
    OS_SW_RESTORE = 9,
};

// os_set_window_pos flags.
enum : std::uint32_t {
    OS_SWP_NOSIZE = 0x0001,
    OS_SWP_NOMOVE = 0x0002,
    OS_SWP_NOZORDER = 0x0004,
    OS_SWP_NOREDRAW = 0x0008,
    OS_SWP_NOACTIVATE = 0x0010,
    OS_SWP_SHOWWINDOW = 0x0040,
    OS_SWP_HIDEWINDOW = 0x0080,
};
// Z-order positions for os_set_window_pos.
constexpr OsWindow OS_HWND_TOP = 0;

// Virtual keys the library names.
enum : std::int32_t {
    OS_VK_LBUTTON = 0x01,
    OS_VK_RBUTTON = 0x02,
    OS_VK_MBUTTON = 0x04,
    OS_VK_BACK = 0x08,
    OS_VK_TAB = 0x09,
    OS_VK_CLEAR = 0x0C,
    OS_VK_RETURN = 0x0D,
    OS_VK_SHIFT = 0x10,
    OS_VK_CONTROL = 0x11,
    OS_VK_MENU = 0x12,
    OS_VK_PAUSE = 0x13,
    OS_VK_CAPITAL = 0x14,
    OS_VK_ESCAPE = 0x1B,
    OS_VK_SPACE = 0x20,
    OS_VK_PRIOR = 0x21,
    OS_VK_NEXT = 0x22,
    OS_VK_END = 0x23,
    OS_VK_HOME = 0x24,
    OS_VK_LEFT = 0x25,
    OS_VK_UP = 0x26,
    OS_VK_RIGHT = 0x27,
    OS_VK_DOWN = 0x28,
    OS_VK_SELECT = 0x29,
    OS_VK_SNAPSHOT = 0x2C,
    OS_VK_INSERT = 0x2D,
    OS_VK_DELETE = 0x2E,
    OS_VK_NUMPAD0 = 0x60,
    OS_VK_MULTIPLY = 0x6A,
    OS_VK_ADD = 0x6B,
    OS_VK_SEPARATOR = 0x6C,
    OS_VK_SUBTRACT = 0x6D,
    OS_VK_DECIMAL = 0x6E,
    OS_VK_DIVIDE = 0x6F,
    OS_VK_F1 = 0x70,
    OS_VK_F24 = 0x87,
    OS_VK_NUMLOCK = 0x90,
    OS_VK_SCROLL = 0x91,
};

// System metrics (values as the library names them).
enum : std::int32_t {
    OS_SM_CXSCREEN = 0,
    OS_SM_CYSCREEN = 1,
    OS_SM_CXVSCROLL = 2,   // width of a vertical scroll bar
    OS_SM_CYHSCROLL = 3,   // height of a horizontal scroll bar
    OS_SM_CYCAPTION = 4,
    OS_SM_CXBORDER = 5,
    OS_SM_CYBORDER = 6,
    OS_SM_CXDLGFRAME = 7,
    OS_SM_CYDLGFRAME = 8,
    OS_SM_CYMENU = 15,
    OS_SM_CXFRAME = 32,
    OS_SM_CYFRAME = 33,
    OS_SM_CMOUSEBUTTONS = 43,
    OS_SM_CYSMCAPTION = 51,
};

// System colour indices.
enum : std::int32_t {
    OS_COLOR_WINDOW = 5,
    OS_COLOR_WINDOWTEXT = 8,
    OS_COLOR_HIGHLIGHT = 13,
    OS_COLOR_HIGHLIGHTTEXT = 14,
    OS_COLOR_BTNFACE = 15,
    OS_COLOR_BTNSHADOW = 16,
    OS_COLOR_GRAYTEXT = 17,
    OS_COLOR_BTNTEXT = 18,
    OS_COLOR_BTNHIGHLIGHT = 20,
};

// System cursors.
enum : std::int32_t {
    OS_IDC_ARROW = 32512,
    OS_IDC_IBEAM = 32513,
    OS_IDC_WAIT = 32514,
    OS_IDC_CROSS = 32515,
    OS_IDC_UPARROW = 32516,
    OS_IDC_SIZENWSE = 32642,
    OS_IDC_SIZENESW = 32643,
    OS_IDC_SIZEWE = 32644,
    OS_IDC_SIZENS = 32645,
    OS_IDC_SIZEALL = 32646,
    OS_IDC_NO = 32648,
    OS_IDC_APPSTARTING = 32650,
};

// Background of a class: none, or a COLORREF (0x00BBGGRR).
constexpr std::int64_t OS_NO_BRUSH = -1;

// ---- packing helpers -------------------------------------------------------
inline std::intptr_t os_make_lparam(std::int32_t lo, std::int32_t hi) {
    return static_cast<std::intptr_t>(static_cast<std::uint32_t>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
inline std::int32_t os_loword(std::uintptr_t v) { return static_cast<std::int32_t>(v & 0xFFFF); }
inline std::int32_t os_hiword(std::uintptr_t v) { return static_cast<std::int32_t>((v >> 16) & 0xFFFF); }

// ---- window classes --------------------------------------------------------
struct OsWndClass {
    std::string name;
    OsWndProc proc = nullptr;
    std::uint32_t style = 0;
    std::string icon;            // resource name; empty = none
    std::int32_t cursor = OS_IDC_ARROW;
    std::int64_t background = OS_NO_BRUSH;   // COLORREF, or a system colour via os_sys_colour
    // A class registered from another's attributes (os_get_class_info) draws
    // its windows as that class does.
    std::string drawn_as;
};

// Registers a class; returns its atom (non-zero), 0 when the name is taken or empty.
std::int32_t os_register_class(const OsWndClass& cls);
// The attributes of a registered class (procedure, style, icon, cursor,
// background), ready to register a new class over it; false when unknown.
bool os_get_class_info(std::string_view name, OsWndClass& cls);
// Removes a class; false when it is unknown or windows of it still exist.
bool os_unregister_class(std::string_view name);
// Atom of a registered class, 0 when none.
std::int32_t os_class_atom(std::string_view name);
// Atom of a window's class, 0 for a bad window.
std::int32_t os_window_class_atom(OsWindow w);
// Registered window-message and clipboard-format numbers (0xC000 upwards; same name, same number).
std::uint32_t os_register_window_message(std::string_view name);
std::uint32_t os_register_clipboard_format(std::string_view name);
// The module instance (always 1: the program is one module).
std::int32_t os_module_instance();

// ---- windows ----------------------------------------------------------------
// Creates a window. For a child, x and y are in the parent's client area;
// otherwise screen pixels. Sends OSM_CREATE and OSM_SIZE. 0 on failure.
OsWindow os_create_window(std::uint32_t ex_style, std::string_view class_name, std::string_view title,
                          std::uint32_t style, std::int32_t x, std::int32_t y, std::int32_t width,
                          std::int32_t height, OsWindow parent, std::int32_t menu, std::int32_t id);
// Destroys a window, its children and the windows it owns (OSM_DESTROY to each).
bool os_destroy_window(OsWindow w);
bool os_is_window(OsWindow w);
bool os_is_window_visible(OsWindow w);  // it and all its parents shown
bool os_is_iconic(OsWindow w);
bool os_is_zoomed(OsWindow w);
bool os_is_window_enabled(OsWindow w);
bool os_enable_window(OsWindow w, bool enable);
OsWindow os_get_parent(OsWindow w);       // parent of a child, 0 otherwise
// Makes a window a retained image: device contexts of it draw into its
// image, and its paint only copies that image. False for a bad window.
bool os_set_retained(OsWindow w);
// Gives a child window another parent (keeping its position in the new
// parent's client area); returns the old parent, 0 when w or parent is no
// child window and window respectively, or parent lies inside w.
OsWindow os_set_parent(OsWindow w, OsWindow parent);
// A control whose procedure was replaced gets OSM_PAINT and paints itself
// through os_get_dc when its procedure answers non-zero; 0 leaves the
// painting to the control's class.
void os_set_proc_paints(OsWindow w, bool on);
OsWindow os_get_owner(OsWindow w);
bool os_is_child(OsWindow parent, OsWindow w);  // w is a descendant of parent
std::uint32_t os_get_style(OsWindow w);
std::uint32_t os_get_ex_style(OsWindow w);
void os_set_style(OsWindow w, std::uint32_t style);
void os_set_ex_style(OsWindow w, std::uint32_t ex_style);
std::int32_t os_get_control_id(OsWindow w);
std::string os_get_class_name(OsWindow w);
std::string os_get_window_text(OsWindow w);
void os_set_window_text(OsWindow w, std::string_view text);
std::intptr_t os_get_window_user(OsWindow w);
std::intptr_t os_set_window_user(OsWindow w, std::intptr_t value);  // returns the previous value
std::int32_t os_get_menu(OsWindow w);
void os_set_menu(OsWindow w, std::int32_t menu);
// Direct children, in creation order.
std::vector<OsWindow> os_child_windows(OsWindow parent);
// Every top-level window, in creation order.
std::vector<OsWindow> os_top_level_windows();

std::intptr_t os_send_message(OsWindow w, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
// Replaces a window's procedure (subclassing); returns the previous one, nullptr for a bad window.
OsWndProc os_set_window_proc(OsWindow w, OsWndProc proc);
OsWndProc os_get_window_proc(OsWindow w);
std::intptr_t os_def_window_proc(OsWindow w, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);

// ---- geometry ---------------------------------------------------------------
// Window rectangle in screen pixels.
bool os_get_window_rect(OsWindow w, OsRect& r);
// Client rectangle: 0, 0, width, height.
bool os_get_client_rect(OsWindow w, OsRect& r);
bool os_client_to_screen(OsWindow w, OsPoint& p);
bool os_screen_to_client(OsWindow w, OsPoint& p);
// Grows a client rectangle to the window rectangle of the style.
void os_adjust_window_rect(OsRect& r, std::uint32_t style, bool menu, std::uint32_t ex_style = 0);
// Moves and sizes; x, y as for os_create_window. Sends OSM_SIZE when the client size changes.
bool os_set_window_pos(OsWindow w, OsWindow insert_after, std::int32_t x, std::int32_t y,
                       std::int32_t width, std::int32_t height, std::uint32_t flags);
bool os_move_window(OsWindow w, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                    bool repaint);

struct OsPlacement {
    std::int32_t show = OS_SW_SHOWNORMAL;   // OS_SW_SHOWNORMAL, OS_SW_SHOWMINIMIZED or OS_SW_SHOWMAXIMIZED
    OsRect normal;                         // restored rectangle: work-area coordinates for top-level windows
};
bool os_get_window_placement(OsWindow w, OsPlacement& p);
bool os_set_window_placement(OsWindow w, const OsPlacement& p);
// Offset of the work area from the screen origin (the task bar's room); 0, 0 here.
OsPoint os_work_area_offset();
// The work area: the part of the screen windows are given (the whole screen here).
OsRect os_work_area();

// ---- showing, activation, focus ---------------------------------------------
bool os_show_window(OsWindow w, std::int32_t cmd);  // true when it was visible before
bool os_bring_window_to_top(OsWindow w);
OsWindow os_get_active_window();
OsWindow os_set_active_window(OsWindow w);
OsWindow os_get_focus();
OsWindow os_set_focus(OsWindow w);  // returns the previous focus window
// Whether the application is the active one (for OSM_ACTIVATEAPP).
void os_set_app_active(bool active);

// ---- painting -----------------------------------------------------------------
// Marks an area (nullptr = all) of the client as needing repaint.
bool os_invalidate_rect(OsWindow w, const OsRect* r, bool erase);
bool os_validate_rect(OsWindow w, const OsRect* r);
// Bounding box of the pending update area; false when there is none.
bool os_get_update_rect(OsWindow w, OsRect& r, bool erase);
// Sends OSM_PAINT at once when the window has something to repaint.
bool os_update_window(OsWindow w);
// Puts on the screen now what is waiting to be drawn: the place of a dialog
// that just closed, our windows' repaints and what was drawn on them. Takes
// no input. For work that keeps the loop away for a while.
void os_show_now();

// ---- message queue --------------------------------------------------------------
struct OsMsg {
    OsWindow hwnd = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::int32_t time = 0;
    OsPoint pt;                  // pointer position, screen pixels
    std::int32_t character = 0;  // key-down only: the character it produces (0 none)
    std::uint32_t keystate = 0;  // Shift/Ctrl/Alt and buttons when it was made (OS_KS_*)
};
enum : std::uint32_t {
    OS_KS_SHIFT = 1,
    OS_KS_CONTROL = 2,
    OS_KS_ALT = 4,
    OS_KS_LBUTTON = 8,
    OS_KS_MBUTTON = 16,
    OS_KS_RBUTTON = 32,
};
enum : std::uint32_t { OS_PM_NOREMOVE = 0, OS_PM_REMOVE = 1 };

// Waits for the next message; false when it is OSM_QUIT.
bool os_get_message(OsMsg& m);
// The next message if any (posted and input first, then paint, then timers).
// With filter_window / msg range set, only matching posted messages count.
bool os_peek_message(OsMsg& m, OsWindow filter_window, std::uint32_t msg_min, std::uint32_t msg_max,
                     std::uint32_t remove);
bool os_post_message(OsWindow w, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
void os_post_quit_message(std::int32_t code);
// Posts the character message of a key-down that produces one, as next in the queue.
bool os_translate_message(const OsMsg& m);
std::intptr_t os_dispatch_message(const OsMsg& m);
// Time of the last message taken from the queue.
std::int32_t os_get_message_time();
// Milliseconds from the configurable clock.
std::uint32_t os_tick_count();
// State of a key when the last message was taken (high bit set = down).
std::int16_t os_get_key_state(std::int32_t vk);
// Number of messages waiting in the queue (posted and input).
std::size_t os_queue_length();
// Drops every queued message, timer and pending repaint (tests, shutdown of the toolkit side).
void os_queue_clear();

// ---- scroll bars ------------------------------------------------------------------
// A child window with OS_WS_HSCROLL or OS_WS_VSCROLL has a horizontal bar at
// the bottom and a vertical one at the right of its client area, each shown
// only while its range (maximum - minimum) is at least its page (or, with no
// page, above 0); showing or hiding one changes the client size, and the
// window is sent OSM_SIZE. A click on a bar's arrows or trough sends the
// window OSM_HSCROLL or OSM_VSCROLL with the line or page code (SB_*,
// platform/os_dialog.h) in the low word of wParam, then SB_ENDSCROLL. A
// dragged thumb sends SB_THUMBTRACK with the position it shows in the high
// word as it moves, SB_THUMBPOSITION where it is let go, then SB_ENDSCROLL.
enum : std::int32_t { OS_SB_HORZ = 0, OS_SB_VERT = 1 };
enum : std::uint32_t { OS_SIF_RANGE = 1, OS_SIF_PAGE = 2, OS_SIF_POS = 4, OS_SIF_ALL = 7 };
struct OsScrollInfo {
    std::uint32_t mask = OS_SIF_ALL;   // which of the fields below to set
    std::int32_t min = 0, max = 100;
    std::int32_t page = 0;
    std::int32_t pos = 0;
};
// Sets the fields the mask names; the page is kept within 0..max - min + 1
// and the position within min..max - max(page - 1, 0). Returns the
// position, 0 for a bad window or bar.
std::int32_t os_set_scroll_info(OsWindow w, std::int32_t bar, const OsScrollInfo& info);
bool os_get_scroll_info(OsWindow w, std::int32_t bar, OsScrollInfo& info);

// ---- timers and capture ----------------------------------------------------------
std::uintptr_t os_set_timer(OsWindow w, std::uintptr_t id, std::uint32_t ms);
bool os_kill_timer(OsWindow w, std::uintptr_t id);
OsWindow os_set_capture(OsWindow w);
bool os_release_capture();
OsWindow os_get_capture();

// ---- pointer and cursors -------------------------------------------------------
bool os_get_cursor_pos(OsPoint& p);
bool os_set_cursor_pos(std::int32_t x, std::int32_t y);
// A system cursor (OS_IDC_*) or a cursor resource by number; 0 when unknown.
std::int32_t os_load_cursor(std::int32_t id);
std::int32_t os_set_cursor(std::int32_t cursor);  // returns the previous cursor
std::int32_t os_get_cursor();
// Window under a screen point (the deepest visible one), 0 when none.
OsWindow os_window_from_point(OsPoint p);

// ---- display ----------------------------------------------------------------------
std::int32_t os_get_system_metrics(std::int32_t index);
std::uint32_t os_sys_colour(std::int32_t index);  // COLORREF
struct OsDisplayInfo {
    std::int32_t width = 0, height = 0, dpi = 0, planes = 1, bits = 0;
    std::int32_t os_major = 0;
    bool nt = true;
};
OsDisplayInfo os_display_info();
void os_message_beep(std::uint32_t type);
std::int32_t os_beep_count();   // beeps sounded since start (there may be no sound device)

// ---- retained surfaces -----------------------------------------------------------
// Size of a window's retained image (its client size), 0 x 0 when it has none.
OsPoint os_surface_size(OsWindow w);
// Fills a rectangle of the retained image with a COLORREF (used by clears).
bool os_surface_fill(OsWindow w, const OsRect& r, std::uint32_t colour);
// Colour of one pixel of the retained image, -1 outside.
std::int64_t os_surface_pixel(OsWindow w, std::int32_t x, std::int32_t y);
// Writes what the user would see of a top-level window (its client area with
// menu, tool bars, status bar and children) to a PNG file.
bool os_grab_window_png(OsWindow w, const std::string& utf8_file);

// ---- input, as the window system delivers it --------------------------------------
// These go through the same handlers as real input from the toolkit; tests
// use them to type, click and resize.
enum : std::uint32_t { OS_IN_SHIFT = 1, OS_IN_CONTROL = 2, OS_IN_ALT = 4, OS_IN_KEYPAD = 8 };
// A key press and release; text is what the keyboard layout produces ("" = derive it).
void os_input_key(OsWindow w, std::int32_t vk, std::uint32_t mods, std::string_view text = {});
// Tests script the program's own waits: called whenever os_get_message or
// os_peek_message finds nothing queued; it may give input. An empty
// function ends the script.
void os_set_wait_script(std::function<void()> script);
// True while os_get_message waits for input with nothing queued or due, or
// a program polling for input found none: the moment a person's next action
// is taken in the tests of what a person does.
bool os_waiting_for_input();
enum OsMouseAction : std::int32_t { OS_MOUSE_PRESS, OS_MOUSE_RELEASE, OS_MOUSE_DOUBLE, OS_MOUSE_MOVE };
// button 1 left, 2 middle, 3 right (0 for a move); x, y in client pixels of w.
void os_input_mouse(OsWindow w, OsMouseAction action, std::int32_t button, std::int32_t x, std::int32_t y,
                    std::uint32_t mods = 0);
// notches > 0: away from the user.
void os_input_wheel(OsWindow w, std::int32_t x, std::int32_t y, std::int32_t notches, std::uint32_t mods = 0);
// The user drags a top-level window's border until the window rectangle has this size.
void os_input_resize(OsWindow w, std::int32_t width, std::int32_t height);
// The user clicks the close box of a top-level window.
void os_input_close(OsWindow w);
// Destroys every window and empties the queue, timers, focus and capture;
// registered classes stay. For tests.
void os_window_reset();
// Lets the toolkit deliver what it has pending (input, geometry) without waiting.
void os_pump_events();
