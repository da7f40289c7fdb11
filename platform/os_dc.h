#pragma once
// Device contexts and the drawing objects the window layer makes when a
// window opens. A window's device context draws into the window's retained
// image. Handles are small non-zero integers; 0 is none.
#include <cstdint>
#include <vector>

#include "platform/os_window.h"

using OsDC = std::int32_t;
using OsObject = std::int32_t;

enum : std::int32_t { OS_TRANSPARENT = 1, OS_OPAQUE = 2 };
enum : std::uint32_t {
    OS_TA_LEFT = 0,
    OS_TA_TOP = 0,
    OS_TA_UPDATECP = 1,
    OS_TA_RIGHT = 2,
    OS_TA_CENTER = 6,
    OS_TA_BOTTOM = 8,
    OS_TA_BASELINE = 24,
};

// The device context of a window's client area; 0 for a bad window.
OsDC os_get_dc(OsWindow w);
// Gives a window's device context back; false when it was not given out.
bool os_release_dc(OsWindow w, OsDC dc);
OsWindow os_dc_window(OsDC dc);
std::int32_t os_set_bk_mode(OsDC dc, std::int32_t mode);        // returns the previous mode, 0 on failure
std::uint32_t os_set_text_align(OsDC dc, std::uint32_t align);  // returns the previous alignment
std::int32_t os_get_bk_mode(OsDC dc);
std::uint32_t os_get_text_align(OsDC dc);
// Number of device contexts given out and not yet released.
std::int32_t os_dc_count();

// A logical palette of COLORREF entries.
OsObject os_create_palette(const std::vector<std::uint32_t>& entries);
// A bitmap of the given size for drawing with a device context.
OsObject os_create_compatible_bitmap(OsDC dc, std::int32_t width, std::int32_t height);
bool os_delete_object(OsObject obj);
// Number of live drawing objects.
std::int32_t os_object_count();
