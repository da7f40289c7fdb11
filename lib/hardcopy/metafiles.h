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

// Enhanced metafiles (kind 3), by slot index 0..19: the recording context
// becomes the drawing target (STATUS 1 for none or a closed recording).
void yymetafileselect2(int index, int width, int height, int& status);
// A recording in memory for a page of WPT x HPT points on the printer's
// information context or the screen; its size in the reference device's
// pixels.
void yymetafilecreate(int index, int wpt, int hpt, int& wpix, int& hpix);
void yymetafiledestroy(int index);
// A metafile file of SIZE octets into the slot: STATUS 1 when it cannot be
// opened, 2 when it is shorter or no enhanced metafile (the slot stays
// empty then), each with the operating-system error.
void yymetafileload(int index, int size, int& status, int& oserror, std::string_view name);
// Plays the metafile into the current drawing target's rectangle.
void yymetafileplay(int index, int left, int top, int right, int bottom);
// Writes the metafile to the file NAME: STATUS 0, or 1 with the error.
void yymetafilesave(int index, int& status, int& oserror, std::string_view name);

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
