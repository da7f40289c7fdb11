#pragma once
// Memory metafiles: the 20 slots a program can draw into instead of a
// window, and the recorder of CGM byte streams (kind 6).
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

constexpr int MemoryMetafileSlots = 20;
constexpr std::int32_t MetafileEmpty = 0, MetafileEnhanced = 3, MetafileCgm = 6;

struct MemoryMetafile {
    std::int32_t PagePointsX = 0, PagePointsY = 0;  // page in points, given at creation
    std::int32_t ExtentX = 0, ExtentY = 0;          // drawable size when selected
    std::int32_t MetafileKind = MetafileEmpty;
    std::int32_t InUse = 0;
    std::int32_t Capacity = 0;    // octets of DATA (kind 6)
    std::int32_t UsedLength = 0;  // octets written (kind 6)
    std::vector<unsigned char> DATA;
};
// Slots 1..20 in entries 0..19.
extern std::array<MemoryMetafile, MemoryMetafileSlots> MemoryMetafileTable;

// Select slot ID (1..20) as the drawing target: STATUS 0 with its size, or
// 1 for a slot that cannot be drawn into. A CGM slot makes the recorder
// the screen-side device.
void yymetafileselect(int id, int& status, int& width, int& height);
// Free slot ID; error 1060 for a number outside 1..20 or an empty slot.
// The extents stay.
void WMetafileDestroy(int id);
// Every slot in use freed (the library's shut-down).
void destroy_memory_metafiles();
// Start-up: every slot empty.
void clear_memory_metafile_kinds();

// The recorder: the graphics driver of a CGM slot.
void yygcgm(std::int32_t op);
// Appends N octets to the current slot; error 1062 under "YYGCGM1" when
// they do not fit, and after one refusal every later append is refused
// too. Four octets stay free for END PICTURE and END METAFILE.
void yygcgm1(std::string_view bytes, std::int32_t n);
void yygcgm2(std::int32_t cls, std::int32_t id, std::int32_t length);
void yygcgm4(std::int32_t cls, std::int32_t id, std::int32_t r, std::int32_t g, std::int32_t b);
void yygcgm5(std::int32_t value);
void yygcgm6(std::int32_t a, std::int32_t b);
void yygcgm7(std::string_view text, std::int32_t n);
void yygcgm8(std::string_view text, std::int32_t n);
void yygcgm9(const std::int32_t* x, const std::int32_t* y, const std::int32_t* rgb, const std::int32_t* tri,
             std::int32_t n, std::int32_t t, std::int32_t& status);

// Fills the links of the graphics core and window layer to this subsystem.
void install_memory_metafiles();
// Back to a fresh process. For tests.
void reset_memory_metafiles();
