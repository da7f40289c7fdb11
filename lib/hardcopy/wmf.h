#pragma once
// The metafile layer's own members: opening and closing the recording of
// the Windows metafile driver, and playing a metafile into a device context.
#include <cstdint>
#include <string_view>

// Opens the recording. WIDTH and HEIGHT in tenths of a point (for an
// enhanced metafile they come back in reference-device pixels); MODE 0
// plain, 1 placeable, 2 enhanced (others are placeable); RIGHT, BOTTOM,
// CHECKSUM and INCH make the placeable header; CLIPBOARD 1 records in memory
// for the clipboard. ERR 1 and the OS code when nothing could be opened.
void yywmfopen(std::int32_t& width, std::int32_t& height, std::int32_t mode, std::int32_t sysdash,
               std::int32_t right, std::int32_t bottom, std::int32_t checksum, std::int32_t inch,
               std::int32_t clipboard, std::int32_t& err, std::int32_t& oserr, std::string_view filename,
               std::string_view description);
// Ends the recording: the file completed or the clipboard filled. ERR 0,
// 1094 when the clipboard cannot be opened, 2 when the file cannot be
// written (nothing is left of it then).
void yywmfclose(std::int32_t& err);
// Plays metafile NAME (TYPE 1 placeable, 2 enhanced, others plain; a
// one-character NAME: the clipboard's enhanced metafile) into the rectangle
// on TARGET 0 (the graphics target), 10 (the printer) or 11 (the metafile
// being recorded). ERR 1 file not opened, 2 no metafile of that type or
// bad arguments, 1094, 1095 clipboard.
void yywmfplaymetafile(std::int32_t type, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                       std::int32_t target, std::int32_t& err, std::string_view name);
