#pragma once
// Metafiles written by our own record writers: plain metafiles (16-bit
// records, text in Windows-1252) and enhanced metafiles (32-bit records,
// text in UTF-16), recorded through a metafile device context that takes
// every drawing, state and object call of os_gdi.h; a player replays the
// records onto any device context. And the clipboard, by format number.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os_dc.h"

using OsMetafile = std::int32_t;

// A plain metafile context recording into memory (FILE empty) or into a
// file written when the recording closes. 0 when the file cannot be made.
OsDC os_create_metafile(std::string_view file);
// Ends the recording: the metafile's handle, 0 when its file could not be
// written (nothing is left of it then).
OsMetafile os_close_metafile(OsDC dc);
// An enhanced metafile context on a reference device context (0: the
// screen), recording into memory or a file, with the frame in hundredths
// of a millimetre (null: from the drawing) and the description (two texts
// ended by NULs, the second by two).
OsDC os_create_enh_metafile(OsDC reference, std::string_view file, const OsRect* frame, std::string_view description);
OsMetafile os_close_enh_metafile(OsDC dc);

bool os_delete_metafile(OsMetafile mf);
bool os_metafile_enhanced(OsMetafile mf);
// A copy in memory (FILE empty) or written to a file; 0 on failure.
OsMetafile os_copy_metafile(OsMetafile mf, std::string_view file);
// The records as stored.
std::vector<std::uint8_t> os_get_metafile_bits(OsMetafile mf);
// A metafile from its records; 0 when the data is no metafile of that kind.
OsMetafile os_set_metafile_bits(const std::vector<std::uint8_t>& bits);
OsMetafile os_set_enh_metafile_bits(const std::vector<std::uint8_t>& bits);
// Plays a plain metafile in the context's mapping (the metafile's window
// records set the window); an enhanced one stretched from its frame into
// the rectangle, in the context's logical units.
bool os_play_metafile(OsDC dc, OsMetafile mf);
bool os_play_enh_metafile(OsDC dc, OsMetafile mf, const OsRect& rect);

// Writes a file whole: beside the target first, renamed onto it when
// complete; false (last error set, nothing left) when it cannot be.
bool os_write_whole_file(std::string_view name, const std::vector<std::uint8_t>& bytes);

// ---- clipboard -----------------------------------------------------------------------
// Format numbers as the library knows them: 3 a metafile picture, 14 an
// enhanced metafile. Format 14 is also offered to other programs as
// image/x-emf, format 3 as a placeable metafile under image/x-wmf.
enum : std::uint32_t { OS_CF_METAFILEPICT = 3, OS_CF_ENHMETAFILE = 14 };
struct OsMetafilePict {
    std::int32_t mode = 8;  // mapping mode
    std::int32_t x_ext = 0, y_ext = 0;  // hundredths of a millimetre
    OsMetafile mf = 0;
};
// The clipboard is opened by one user at a time; a second open fails.
bool os_open_clipboard();
bool os_close_clipboard();
bool os_empty_clipboard();
bool os_clipboard_is_open();
// The clipboard takes over the metafile (the handle is the clipboard's then).
bool os_set_clipboard_enh_metafile(OsMetafile mf);
bool os_set_clipboard_metafile_pict(const OsMetafilePict& pict);
bool os_is_clipboard_format_available(std::uint32_t format);
// A metafile of the clipboard's (a copy the caller deletes); 0 when none.
OsMetafile os_get_clipboard_enh_metafile();
// The types the clipboard offers other programs ("image/x-emf", ...), and
// the bytes under one of them (empty when it has none).
std::vector<std::string> os_clipboard_types();
std::vector<std::uint8_t> os_clipboard_bytes(std::string_view type);
bool os_get_clipboard_metafile_pict(OsMetafilePict& pict);
// Test seam: the bytes put on the clipboard under the format as another
// program (or a damaged one) might have put them there.
void os_clipboard_foreign_format(std::uint32_t format, std::string_view bytes);
