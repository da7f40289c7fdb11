#pragma once
// Facts about the system and the process, for the library's operating-system
// services: volumes and free space, the system's version and directories,
// the program's own path, the local clock, the program that opens a file, and
// the end of the process. Texts are library text (1252); codes as in
// os_error.h (0 success).
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "platform/os_error.h"

// Drive type codes, numbered as the library stores them.
enum : int {
    OS_DRIVE_UNKNOWN = 0,
    OS_DRIVE_NO_ROOT_DIR = 1,
    OS_DRIVE_REMOVABLE = 2,
    OS_DRIVE_FIXED = 3,
    OS_DRIVE_REMOTE = 4,
    OS_DRIVE_CDROM = 5,
    OS_DRIVE_RAMDISK = 6,
};

// The volume serial number of the file system holding the path (its file
// system id folded to 32 bits); 0 when the path cannot be read.
std::uint32_t os_volume_serial(std::string_view path);

// The kind of file system holding the path: remote for network file
// systems, CD-ROM for optical media formats, RAM disk for memory file
// systems, fixed for every other one; no root directory when the path does
// not exist.
int os_drive_type(std::string_view path);

// Bytes available to the caller on the file system holding the path.
int os_disk_free(std::string_view path, std::uint64_t& bytes);

// The system's version: the kernel release's first two numbers.
void os_system_version(int& major, int& minor);

// The directory of the system's own programs ("/usr/bin").
int os_system_dir(std::string& directory);

// The full path of the running program.
int os_executable_path(std::string& path);

// The local date and time of the profile's clock (os_config). The
// milliseconds come from the system clock on a real machine; a frozen test
// clock has none.
struct OsLocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};
OsLocalTime os_local_time();
// A time of the system (seconds since 1970 UTC) in local time.
OsLocalTime os_local_time_of(std::time_t t);

// The program that opens the file, from the desktop's association of the
// file's type (mimeapps.list and the application entries of the XDG
// directories): 0 and its full path; OS_ERROR_FILE_NOT_FOUND when the file
// does not exist; OS_ERROR_NO_ASSOCIATION when nothing opens that type.
int os_associated_program(std::string_view file, std::string& program);

// Ends the process at once with the exit code: the standard streams are
// flushed, nothing else is torn down. A sanitizer build checks for leaks
// first (a leak ends the process with the checker's report and code).
[[noreturn]] void os_process_exit(int code);
