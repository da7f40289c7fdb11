#pragma once
// The standard small button images (16 x 15): a strip of our own drawing,
// resources/std_small.bmp, served to a tool bar that adds the common-controls
// standard bitmap (OSM_TB_ADDBITMAP with OS_HINST_COMMCTRL and
// OS_IDB_STD_SMALL_COLOR). The strip always adds all its images, whatever
// count is asked; the buttons name them by the OS_STD_* numbers.
#include <cstdint>

constexpr std::int32_t OS_HINST_COMMCTRL = -1;
constexpr std::int32_t OS_IDB_STD_SMALL_COLOR = 0;
// The bitmap resource that holds the strip.
constexpr const char* OS_STD_SMALL_RESOURCE = "QDXSTDSMALL";

enum : std::int32_t {
    OS_STD_CUT = 0,
    OS_STD_COPY = 1,
    OS_STD_PASTE = 2,
    OS_STD_UNDO = 3,
    OS_STD_REDOW = 4,
    OS_STD_DELETE = 5,
    OS_STD_FILENEW = 6,
    OS_STD_FILEOPEN = 7,
    OS_STD_FILESAVE = 8,
    OS_STD_PRINTPRE = 9,
    OS_STD_PROPERTIES = 10,
    OS_STD_HELP = 11,
    OS_STD_FIND = 12,
    OS_STD_REPLACE = 13,
    OS_STD_PRINT = 14,
    OS_STD_IMAGE_COUNT = 15,
};
