#pragma once
// Files and directories of the platform layer, over POSIX. Shaped like the
// Win32 file interface the library was designed for: names are library text
// (Windows-1252, converted to UTF-8 for the system), handles are 32-bit
// integers (-1 none), and every call returns an operating-system code
// (os_error.h; 0 success) instead of reporting.
//
// Sharing modes are kept between the opens of this process: an open is
// refused with OS_ERROR_SHARING_VIOLATION when it asks for an access that an
// earlier open of the same file does not share, or does not share an access
// that an earlier open holds. Other processes are not restricted.
#include <cstdint>
#include <memory>
#include <ctime>
#include <string>
#include <string_view>

// Access and sharing bits of os_file_open.
enum : int { OS_ACCESS_READ = 1, OS_ACCESS_WRITE = 2 };
enum : int { OS_SHARE_NONE = 0, OS_SHARE_READ = 1, OS_SHARE_WRITE = 2 };

// What os_file_open does with an existing or missing file.
enum OsCreation : int {
    OS_CREATE_NEW = 1,         // create; OS_ERROR_FILE_EXISTS when it exists
    OS_CREATE_ALWAYS = 2,      // create, or empty an existing file
    OS_OPEN_EXISTING = 3,      // open; not found when missing
    OS_OPEN_ALWAYS = 4,        // open, or create when missing
    OS_TRUNCATE_EXISTING = 5,  // open and empty; not found when missing
};

// Seek origins.
enum : int { OS_SEEK_BEGIN = 0, OS_SEEK_CURRENT = 1, OS_SEEK_END = 2 };

// Attribute bits, numbered as the library stores them.
enum : std::uint32_t {
    OS_ATTR_READONLY = 0x01,   // nobody may write (no write permission bit)
    OS_ATTR_HIDDEN = 0x02,     // the name begins with "."
    OS_ATTR_DIRECTORY = 0x10,
    OS_ATTR_NORMAL = 0x80,     // none of the others
};

// Opens a file. The handle is -1 on failure. A directory cannot be opened
// (access denied). An emptied file is emptied only after the sharing check.
int os_file_open(std::string_view name, int access, int share, OsCreation creation,
                 std::int32_t& handle);
// Closes a handle; OS_ERROR_INVALID_HANDLE for one that is not open.
int os_file_close(std::int32_t handle);
// Reads up to count bytes at the current position; done < count only at the
// end of the file. done is 0 on failure.
int os_file_read(std::int32_t handle, void* buffer, std::int32_t count, std::int32_t& done);
// A hint that a large buffer about to be filled for the first time may be
// backed by large pages: a whole file read or converted then costs a few
// page faults instead of one per 4 KB. Nothing happens where the system
// does not offer them.
void os_prefer_large_pages(void* buffer, std::size_t bytes);
// A hint that a large block about to be written for the first time be
// given all its pages at once: one request instead of a page fault per 4 KB,
// which costs a fresh process much of its time. Pages already there stay as
// they are; nothing happens where the system does not offer it.
void os_populate(void* block, std::size_t bytes);
// The standard allocator, except that a block of a megabyte or more is
// given its pages at once (os_populate) before its elements are made: for
// the large scratch arrays of a run, written from start to end.
template <class T>
struct OsPopulatedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = OsPopulatedAllocator<U>;
    };
    OsPopulatedAllocator() = default;
    template <class U>
    OsPopulatedAllocator(const OsPopulatedAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        T* p = std::allocator<T>::allocate(n);
        if (n * sizeof(T) >= (std::size_t{1} << 20)) os_populate(p, n * sizeof(T));
        return p;
    }
};
// A buffer of n bytes, not cleared, for a whole file or its conversion: a
// large one starts on a large-page boundary and is asked for in large pages.
// Empty when the memory cannot be had.
struct OsLargeBufferFree {
    void operator()(char* p) const noexcept;
};
using OsLargeBuffer = std::unique_ptr<char[], OsLargeBufferFree>;
OsLargeBuffer os_large_buffer(std::size_t n);
// Writes count bytes at the current position; done is 0 on failure.
int os_file_write(std::int32_t handle, const void* buffer, std::int32_t count,
                  std::int32_t& done);
// The system write calls os_file_write has made in this process: how a
// test or benchmark sees in how many pieces a file went out.
std::uint64_t os_file_write_calls();
// Moves the position by offset from the origin; position receives the new
// position from the start, or -1 on failure (a position before the start is
// OS_ERROR_NEGATIVE_SEEK and leaves the position where it was).
int os_file_seek(std::int32_t handle, std::int64_t offset, int origin, std::int64_t& position);

// Deletes a file (a directory is access denied).
int os_file_delete(std::string_view name);
// Copies a file with its contents, permission bits and last-write time,
// replacing an existing target unless fail_if_exists. The target is opened
// like any other open, so copying a file onto itself is a sharing violation
// and leaves it intact. A copy that fails half-way removes the target.
int os_file_copy(std::string_view source, std::string_view target, bool fail_if_exists = false);
// Renames or moves a file or directory; an existing target is
// OS_ERROR_ALREADY_EXISTS. A file moves across file systems by copying.
int os_file_rename(std::string_view from, std::string_view to);

// Safe replacement of a file's contents, the one way every file of the
// system is saved: os_file_save_begin creates a new file beside the file
// that name stands for (through symbolic links, also to a file not there
// yet), with its permission bits and owner, open for writing; a target that
// exists and is not a regular file (a device, a FIFO, a directory) or that
// this process may not write is refused (access denied) and left alone.
// os_file_save_commit syncs the data to the disk, closes the file and renames
// it over the target only then, so a failed write leaves the old contents;
// os_file_save_abandon closes and removes it. Without SYNC the data is left
// to the system's own pace: for output made again in a moment, whose sync
// would cost more than writing it.
int os_file_save_begin(std::string_view name, std::string& temp, std::int32_t& handle);
int os_file_save_commit(std::int32_t handle, std::string_view temp, std::string_view name, bool sync = true);
// The two halves of os_file_save_commit, for files that must replace their
// targets together: finish syncs (with SYNC) and closes the new file
// (removing it on failure); rename then puts it in the target's place
// (removing it on failure). Once all of them are finished (written and on
// the disk), only a fault of the file system itself can still stop their
// renames.
int os_file_save_finish(std::int32_t handle, std::string_view temp, bool sync = true);
int os_file_save_rename(std::string_view temp, std::string_view name);
void os_file_save_abandon(std::int32_t handle, std::string_view temp);
// True when a save to the name saved would replace the file that other
// names: one file by device and inode (through links, hard links, "." and
// ".." alike), or, for a file not there yet, the same name in one directory.
bool os_same_file(std::string_view saved, std::string_view other);

// An exclusive lock between processes on a directory, or on a file (made,
// empty, when missing), held until os_lock_release; waits while another
// process holds it. Two locks of one name in one process exclude each other too.
int os_lock_acquire(std::string_view name, std::int32_t& lock);
void os_lock_release(std::int32_t lock);

int os_dir_make(std::string_view name);     // OS_ERROR_ALREADY_EXISTS when it exists
int os_dir_remove(std::string_view name);   // empty directories only
int os_dir_set_current(std::string_view name);
int os_dir_current(std::string& directory);
// The absolute form of a name, from the current directory, with "." and ".."
// resolved by text (the name need not exist; links are not followed). A
// trailing "/" is kept.
int os_full_path(std::string_view name, std::string& full);

// What the layer knows of a file or a search match.
struct OsFileInfo {
    std::string name;              // name without directory (search matches)
    std::uint32_t attributes = 0;
    std::int64_t size = 0;         // bytes; 0 for a directory
    std::time_t write_time = 0;    // last write, seconds since 1970 UTC
    // The last write in local time, and as a DOS date and time (even seconds;
    // clamped to 1980-01-01 00:00:00 .. 2107-12-31 23:59:58).
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::uint16_t dos_date = 0, dos_time = 0;
};

int os_file_info(std::string_view name, OsFileInfo& info);

// What a name itself is, a symbolic link not followed.
enum class OsPathKind { Absent, File, Directory, Other };
OsPathKind os_path_kind(std::string_view name);
// Sets the attributes: OS_ATTR_READONLY clears every write permission bit,
// its absence gives the owner write permission again; other bits are ignored.
int os_file_set_attributes(std::string_view name, std::uint32_t attributes);

// Wildcard search. The pattern is a directory part (up to the last "/") and
// a name part with "*" (any characters) and "?" (one character); a trailing
// ".*" also matches a name without that dot, so "*.*" matches every name.
// Matches come in byte order of their names, directories included (with
// OS_ATTR_DIRECTORY); "." and ".." are never reported. Names match case
// sensitively, as the file system names them.
// First: 0 and the first match; OS_ERROR_FILE_NOT_FOUND when nothing
// matches; OS_ERROR_PATH_NOT_FOUND when the directory does not exist. The
// search handle is -1 unless a match was found.
int os_find_first(std::string_view pattern, OsFileInfo& found, std::int32_t& search);
// Next: 0 and the next match; OS_ERROR_NO_MORE_FILES at the end.
int os_find_next(std::int32_t search, OsFileInfo& found);
void os_find_close(std::int32_t search);
// The name part matching rule of the search.
bool os_wildcard_match(std::string_view pattern, std::string_view name);

// The temporary directory: the environment variable TEMP, else TMP, else
// "/tmp" (empty values count as unset), without a trailing "/" added.
std::string os_temp_dir();

// Environment of the process (texts in 1252). Get returns false when the
// variable is not set. A name that is empty or holds "=" is invalid.
bool os_env_get(std::string_view name, std::string& value);
int os_env_set(std::string_view name, std::string_view value);
int os_env_unset(std::string_view name);
