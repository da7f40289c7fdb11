#pragma once
// Byte-stream files over the system's file handles, and the numbered text
// units on which the library's own text files are read and written.
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

// mode 0 read (others may read and write; the file must exist), 1 write
// (others may read; created or emptied), 2 read and write (others may read;
// the file must exist). handle -1 on failure.
void IFileOpen(std::string_view name, int mode, std::int32_t& handle);
void ifileclose(std::int32_t handle);
// done: bytes transferred, -1 on failure. A count beyond the buffer is a
// failure (invalid parameter), never a read or write outside it.
void IFileReadChar(std::int32_t handle, std::span<std::uint8_t> buffer, std::int32_t count, std::int32_t& done);
void IFileReadChar(std::int32_t handle, std::string& buffer, std::int32_t count, std::int32_t& done);
void IFileWriteChar(std::int32_t handle, std::span<const std::uint8_t> buffer, std::int32_t count,
                    std::int32_t& done);
void IFileWriteChar(std::int32_t handle, std::string_view buffer, std::int32_t count, std::int32_t& done);
// method 0 start, 1 current, 2 end (others do nothing); position receives
// the new position, -1 on failure.
void IFileSeek(std::int32_t handle, std::int32_t& position, int method);

// Further entry points of the same behaviour.
void ifilereadchar1(std::int32_t handle, std::string& buffer, std::int32_t count, std::int32_t& done);
void ifilereadchar2(std::int32_t handle, std::string& buffer, std::int32_t count, std::int32_t& done);
void ifilewritechar1(std::int32_t handle, std::string_view buffer, std::int32_t count, std::int32_t& done);
void ifilewritechar2(std::int32_t handle, std::string_view buffer, std::int32_t count, std::int32_t& done);

// Writes the text (its whole length) as one line on the unit LFNGEN when
// status is 0; status becomes the write's status. Otherwise does nothing.
void yywrite(std::string_view text, int& status);

// ---------------------------------------------------------------- text units

// A line ends in LF; a CR before it is dropped when reading.
enum TextUnitMode : int { TextUnitRead = 0, TextUnitWrite = 1 };

// Opens a text file on a unit (read: an existing file; write: created or
// emptied). A unit in use is closed first. Returns the system's code.
int yyunitopen(std::int32_t unit, std::string_view name, TextUnitMode mode);
// Opens a unit for writing a new file beside the named one (through links,
// with its permissions); yyunitcommit puts it in the file's place, closing
// the unit, and returns the system's code. Closing the unit otherwise
// removes the new file and leaves the old one.
int yyunitopensave(std::int32_t unit, std::string_view name);
int yyunitcommit(std::int32_t unit);
// The next line without its line end; OS_ERROR_HANDLE_EOF at the end.
int yyunitread(std::int32_t unit, std::string& line);
int yyunitwrite(std::int32_t unit, std::string_view line);
// Closes the unit; the system's code of the close (OS_OK for a unit that
// is not open).
int yyunitclose(std::int32_t unit);
// Test seam for closing a text unit's file: os_file_close unless a test
// replaces it.
using TextUnitCloseFn = int (*)(std::int32_t handle);
extern TextUnitCloseFn text_unit_close_hook;
bool yyunitopened(std::int32_t unit);

struct TextUnit {
    std::int32_t handle = -1;
    TextUnitMode mode = TextUnitRead;
    std::string pending;   // bytes read but not yet handed out
    bool at_end = false;
    std::string temp, target;   // a unit that replaces its file when committed
};

struct TextUnitState {
    std::map<std::int32_t, TextUnit> units;
};
extern TextUnitState text_units;

// Closes every unit. For tests.
void reset_text_units();
