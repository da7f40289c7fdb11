#pragma once
// The root window (slot 0): opening it also sets up the library's window
// classes and the process-wide window-layer state.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "lib/window/quinda_state.h"

// WindowOpenFlags bits the root window reads.
enum WindowOpenFlags : std::int32_t {
    WinSysMenu = 0x1,
    WinMinBox = 0x2,
    WinMaxBox = 0x4,
    WinMaximised = 0x8,
    WinInside = 0x10,      // child windows only
    WinStatusBar = 0x20,
    WinFixedSize = 0x40,
    WinHidden = 0x80,
    WinOwned = 0x100,      // child windows only
    WinTopmost = 0x200,
    WinToolWindow = 0x10000,  // child windows only
};
constexpr std::int32_t DefaultWindowFlags = 7;
constexpr std::int32_t CentredPosition = -999999;

// The argument of the short form: flags, x, y, width, height, menu, title (80).
struct WindowOpenRecord {
    std::int32_t flags = DefaultWindowFlags;
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    std::int32_t menu = 0;
    std::string title = std::string(80, ' ');
};

void windowopen1(const WindowOpenRecord& rec, std::int32_t palette = 16);
void windowopen2(std::int32_t flags = DefaultWindowFlags, std::int32_t x = CentredPosition,
                 std::int32_t y = CentredPosition, std::int32_t width = 0, std::int32_t height = 0,
                 std::int32_t menu = 0, const std::array<std::int32_t, 4>& toolbars = {},
                 std::int32_t dialog = 0, std::string_view title = {}, std::int32_t palette = 16);

inline void WindowOpen(const WindowOpenRecord& rec, std::int32_t palette = 16) { windowopen1(rec, palette); }
inline void WindowOpen(std::int32_t flags = DefaultWindowFlags, std::int32_t x = CentredPosition,
                       std::int32_t y = CentredPosition, std::int32_t width = 0, std::int32_t height = 0,
                       std::int32_t menu = 0, const std::array<std::int32_t, 4>& toolbars = {},
                       std::int32_t dialog = 0, std::string_view title = {}, std::int32_t palette = 16) {
    windowopen2(flags, x, y, width, height, menu, toolbars, dialog, title, palette);
}

void yycreaterootwindow(std::int32_t x, std::int32_t y, std::int32_t& width, std::int32_t& height,
                        std::int32_t flags, std::int32_t menu, const std::array<std::int32_t, 4>& toolbars,
                        std::int32_t palette, std::int32_t& dialog, const char* title);
// Tool bars, status bar (of the given style), growth of the frame, maximised
// placement and the client window of a slot's new frame; x, y and fw, fh are
// the frame's position and size, moved for centring when xc, yc; without
// grow the frame keeps its size and the parts take room from the client.
// False when the client window could not be made.
bool yyframeparts(std::int32_t slot, OsHandle frame, std::int32_t flags, const std::array<std::int32_t, 4>& toolbars,
                  std::int32_t width, bool xc, bool yc, std::int32_t& x, std::int32_t& y, std::int32_t& fw,
                  std::int32_t& fh, std::uint32_t status_style, bool grow);
// Loads a dialog into a slot's client (shown unless show is false) and
// attaches the record of a window combined with it; its window.
OsHandle yycombinedialog(std::int32_t slot, OsHandle frame, std::int32_t dialog, bool show);
// Hides and unloads a frame's combined dialog and frees the record;
// dialog (the current dialog id) is cleared when it named that dialog.
void yyuncombinedialog(OsHandle frame, std::int32_t& dialog);
std::intptr_t yyWindowSizeDlgProc(OsHandle dlg, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
void yywindowtest(std::int32_t slot, std::int32_t& result);

// The 16 window-text colours followed by the window-text and window system colours.
constexpr std::array<std::uint32_t, 16> WindowTextColours{
    0x000000, 0x0000BF, 0x00BFBF, 0x00BF00, 0xBFBF00, 0xBF0000, 0xBF00BF, 0xBFBFBF,
    0x404040, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF, 0xFFFFFF,
};
