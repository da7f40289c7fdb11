#pragma once
// The bitmap viewer: a child window turned into a scrolling view of a
// memory bitmap.
#include <array>
#include <cstdint>

#include "lib/window/quinda_state.h"

// The viewer's record, stored as the user data of its frame and of its
// viewer window: twenty words, zero when made.
struct BitmapViewerData {
    std::array<std::int32_t, 20> w{};
    BitmapViewerData() { w[0] = WindowKindBitmapViewer; }
    // Tool bars of the slot (top, left, right, bottom) when it was made.
    std::int32_t& toolbar(int i) { return w[static_cast<std::size_t>(1 + i)]; }
    std::int32_t& viewer() { return w[5]; }
    std::int32_t& statusbar() { return w[6]; }
    std::int32_t& mode() { return w[7]; }        // 1 modal, 2 modeless, 3 semi-modeless
    std::int32_t& done() { return w[8]; }
    std::int32_t& bitmap() { return w[9]; }
    std::int32_t& width() { return w[10]; }
    std::int32_t& height() { return w[11]; }
    std::int32_t& fit_width() { return w[12]; }   // -999 while not known
    std::int32_t& fit_height() { return w[13]; }
    std::int32_t& flags() { return w[14]; }       // 1 keyboard scrolling, 2 drag scrolling
    std::int32_t& dragging() { return w[15]; }
    std::int32_t& drag_x() { return w[16]; }
    std::int32_t& drag_y() { return w[17]; }
    std::int32_t& drag_h() { return w[18]; }
    std::int32_t& drag_v() { return w[19]; }
};

// The viewer record of a frame or viewer window, nullptr when it has none.
BitmapViewerData* yybitmapviewerrecord(OsHandle window);

// A slot's bitmap was replaced (rotated or resized): every viewer showing
// the old bitmap takes the slot's new one at once, keeping its scroll
// positions, and never paints the released one.
void yybitmapviewerreplaced(OsHandle old, std::int32_t slot);

// The window class of viewer windows.
constexpr const char* BitmapViewerClass = "QDXBITMAP";
constexpr std::int32_t BitmapViewerChildId = 1001;

// Shows bitmap SLOT in the current window as a viewer scrolled to (X, Y);
// MODE 1 modal (returns when the viewer is closed), 2 modeless, 3
// semi-modeless; FLAGS bit 0 keyboard scrolling, bit 1 mouse-drag scrolling.
// STATUS (0 from the caller) becomes 1 root window, 2 bad slot, 3 bitmap in
// use, 4 a special window of another kind, 5 shown modelessly instead (MODE
// := 2), 6 the viewer could not be made, 9 the client area has windows.
// On a window that is a viewer already only the bitmap and the positions
// change; a negative X or Y keeps that position. Other modes are modeless.
void yybitmapview(std::int32_t slot, std::int32_t x, std::int32_t y, std::int32_t& mode, std::int32_t flags,
                  std::int32_t& status);
// Loads a bitmap into a viewer: fits the frame, sets the scroll bars.
void yyBitmapViewerInit(BitmapViewerData& rec, std::int32_t slot, std::int32_t x, std::int32_t y);
// Items of the viewer in window slot WINDOW: 3 bitmap number shown, 4 and 5
// the scroll positions, 101 and 102 the bitmap size, 103 the vertical
// position plus page (plus a horizontal bar's height while it shows); 0
// for a window that is no viewer and for other items.
void yybitmapinfo(std::int32_t window, std::int32_t item, std::int32_t& value);
// A viewer pixel position (x from the left edge, y upwards from the bottom)
// in world units: the bitmap is the drawable of the window's area and units.
void yybvi2e(float px, float py, float& wx, float& wy, std::int32_t window);
std::intptr_t yyBitmapWndProc(OsHandle hwnd, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
std::intptr_t yyBitmapWndProcClient(OsHandle hwnd, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
// A window that stops being a viewer: its frame gets the library's frame
// procedure back and the record is released.
void yybitmapviewerrelease(OsHandle frame);
