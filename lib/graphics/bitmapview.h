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
