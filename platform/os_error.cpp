#include "platform/os_error.h"

#include <cerrno>
#include <string>
#include <system_error>
#include <sys/stat.h>

namespace {

struct CodeText {
    int code;
    const char* text;
};

constexpr CodeText kTexts[] = {
    {OS_OK, "The operation completed successfully."},
    {OS_ERROR_INVALID_FUNCTION, "Incorrect function."},
    {OS_ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {OS_ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {OS_ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file."},
    {OS_ERROR_ACCESS_DENIED, "Access is denied."},
    {OS_ERROR_INVALID_HANDLE, "The handle is invalid."},
    {OS_ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {OS_ERROR_CURRENT_DIRECTORY, "The directory cannot be removed."},
    {OS_ERROR_NOT_SAME_DEVICE, "The system cannot move the file to a different disk drive."},
    {OS_ERROR_NO_MORE_FILES, "There are no more files."},
    {OS_ERROR_WRITE_PROTECT, "The media is write protected."},
    {OS_ERROR_GEN_FAILURE, "A device attached to the system is not functioning."},
    {OS_ERROR_SHARING_VIOLATION,
     "The process cannot access the file because it is being used by another process."},
    {OS_ERROR_HANDLE_EOF, "Reached the end of the file."},
    {OS_ERROR_NOT_SUPPORTED, "The request is not supported."},
    {OS_ERROR_FILE_EXISTS, "The file exists."},
    {OS_ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {OS_ERROR_BROKEN_PIPE, "The pipe has been ended."},
    {OS_ERROR_DISK_FULL, "There is not enough space on the disk."},
    {OS_ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
    {OS_ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect."},
    {OS_ERROR_NEGATIVE_SEEK,
     "An attempt was made to move the file pointer before the beginning of the file."},
    {OS_ERROR_DIR_NOT_EMPTY, "The directory is not empty."},
    {OS_ERROR_BUSY, "The requested resource is in use."},
    {OS_ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
    {OS_ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
    {OS_ERROR_FILE_TOO_LARGE, "The file size exceeds the limit allowed and cannot be saved."},
    {OS_ERROR_MORE_DATA, "More data is available."},
    {OS_ERROR_WAIT_TIMEOUT, "The wait operation timed out."},
    {OS_ERROR_DIRECTORY, "The directory name is invalid."},
    {OS_ERROR_IO_DEVICE, "The request could not be performed because of an I/O device error."},
    {OS_ERROR_NO_ASSOCIATION, "No application is associated with the specified file for this operation."},
    {OS_ERROR_CANT_RESOLVE_FILENAME, "The name of the file cannot be resolved by the system."},
};

// True when the directory part of the path exists as a directory (a path
// without a directory part lies in the current directory, which exists).
bool parent_exists(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos || slash == 0) return true;
    const std::string parent(path.substr(0, slash));
    struct stat st {};
    return ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// This thread's last failure: its code and its reason.
thread_local int t_code = OS_OK;
thread_local std::string t_reason;

int map_errno(int err, std::string_view path) {
    switch (err) {
        case 0: return OS_OK;
        case ENOENT: return parent_exists(path) ? OS_ERROR_FILE_NOT_FOUND : OS_ERROR_PATH_NOT_FOUND;
        case ENOTDIR: return OS_ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR: return OS_ERROR_ACCESS_DENIED;
        case EROFS: return OS_ERROR_WRITE_PROTECT;
        case EEXIST: return OS_ERROR_FILE_EXISTS;
        case ENOTEMPTY: return OS_ERROR_DIR_NOT_EMPTY;
        case EBUSY: return OS_ERROR_BUSY;
        case ETXTBSY: return OS_ERROR_SHARING_VIOLATION;
        case EMFILE:
        case ENFILE: return OS_ERROR_TOO_MANY_OPEN_FILES;
        case EBADF: return OS_ERROR_INVALID_HANDLE;
        case ENOMEM: return OS_ERROR_NOT_ENOUGH_MEMORY;
        case ENOSPC:
        case EDQUOT: return OS_ERROR_DISK_FULL;
        case EFBIG: return OS_ERROR_FILE_TOO_LARGE;
        case EXDEV: return OS_ERROR_NOT_SAME_DEVICE;
        case ENAMETOOLONG: return OS_ERROR_FILENAME_EXCED_RANGE;
        case EINVAL: return OS_ERROR_INVALID_PARAMETER;
        case ELOOP: return OS_ERROR_CANT_RESOLVE_FILENAME;
        case EIO: return OS_ERROR_IO_DEVICE;
        case EPIPE: return OS_ERROR_BROKEN_PIPE;
        case ENOSYS:
        case EOPNOTSUPP: return OS_ERROR_NOT_SUPPORTED;
        default: return OS_ERROR_GEN_FAILURE;
    }
}

}  // namespace

std::string os_error_text(int code) {
    for (const CodeText& t : kTexts)
        if (t.code == code) return t.text;
    return {};
}

int os_error_from_errno(int err, std::string_view path) {
    const int code = map_errno(err, path);
    // The system's text, which tells apart what one code stands for
    // (a full disk from a full quota, a directory from a denied access).
    if (code != OS_OK) os_error_noted(code, std::error_code(err, std::generic_category()).message());
    return code;
}

int os_error_noted(int code, std::string_view reason) {
    t_code = code;
    t_reason = reason;
    return code;
}

std::string os_error_reason(int code) {
    if (code == t_code && !t_reason.empty()) return t_reason;
    std::string text = os_error_text(code);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}
