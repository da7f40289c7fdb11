#pragma once
// Operating-system error codes of the platform layer. The library relies on
// the Win32 numbers (it stores them, compares them and prints them), so the
// codes keep those numbers; the layer maps POSIX errno values onto them.
#include <string>
#include <string_view>

enum : int {
    OS_OK = 0,
    OS_ERROR_INVALID_FUNCTION = 1,
    OS_ERROR_FILE_NOT_FOUND = 2,
    OS_ERROR_PATH_NOT_FOUND = 3,
    OS_ERROR_TOO_MANY_OPEN_FILES = 4,
    OS_ERROR_ACCESS_DENIED = 5,
    OS_ERROR_INVALID_HANDLE = 6,
    OS_ERROR_NOT_ENOUGH_MEMORY = 8,
    OS_ERROR_CURRENT_DIRECTORY = 16,
    OS_ERROR_NOT_SAME_DEVICE = 17,
    OS_ERROR_NO_MORE_FILES = 18,
    OS_ERROR_WRITE_PROTECT = 19,
    OS_ERROR_GEN_FAILURE = 31,
    OS_ERROR_SHARING_VIOLATION = 32,
    OS_ERROR_HANDLE_EOF = 38,
    OS_ERROR_NOT_SUPPORTED = 50,
    OS_ERROR_FILE_EXISTS = 80,
    OS_ERROR_INVALID_PARAMETER = 87,
    OS_ERROR_BROKEN_PIPE = 109,
    OS_ERROR_DISK_FULL = 112,
    OS_ERROR_INSUFFICIENT_BUFFER = 122,
    OS_ERROR_INVALID_NAME = 123,
    OS_ERROR_NEGATIVE_SEEK = 131,
    OS_ERROR_DIR_NOT_EMPTY = 145,
    OS_ERROR_BUSY = 170,
    OS_ERROR_ALREADY_EXISTS = 183,
    OS_ERROR_FILENAME_EXCED_RANGE = 206,
    OS_ERROR_FILE_TOO_LARGE = 223,
    OS_ERROR_MORE_DATA = 234,
    OS_ERROR_WAIT_TIMEOUT = 258,
    OS_ERROR_DIRECTORY = 267,
    OS_ERROR_IO_DEVICE = 1117,
    OS_ERROR_NO_ASSOCIATION = 1155,
    OS_ERROR_CANT_RESOLVE_FILENAME = 1921,
};

// The English text of an operating-system code, one sentence ending in a
// full stop and without a line end; empty for a code the layer does not know.
std::string os_error_text(int code);

// The code for a POSIX errno value. For "no such file or directory" the path
// (UTF-8, as handed to the system) decides between file not found (its
// directory exists) and path not found (it does not).
int os_error_from_errno(int err, std::string_view path = {});

// The reason of a failure with the given code in the system's own words, for
// messages that say why a file could not be read or written: the text of
// the POSIX error that this thread's last failure mapped onto that code
// ("No space left on device", "Read-only file system"), else the code's own
// text without its full stop.
std::string os_error_reason(int code);
// Returns code, and makes reason the reason of this thread's last failure:
// for a refusal of the layer itself that no POSIX error describes.
int os_error_noted(int code, std::string_view reason);
