// Files, directories and file names.
#include <algorithm>
#include <climits>

#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/window/errors.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "lib/window/startup.h"
#include "lib/window/text.h"
#include "platform/os_config.h"
#include "platform/os_error.h"
#include "platform/os_file.h"
#include "platform/os_system.h"

OsServicesState os_services;

namespace {

constexpr int ErrOs = 13;
constexpr int ErrSameCopy = 55;
constexpr int ErrTooSmall = 1023;

void report_os(int code, std::string_view routine) {
    quinda.os_status = code;
    yyerror(ErrOs, routine);
}

// The directory part of a name: up to and including its last separator.
std::size_t dir_part_length(std::string_view name) {
    const std::size_t k = name.rfind(DirectorySeparator);
    return k == std::string_view::npos ? 0 : k + 1;
}

bool has_wildcard(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

bool ends_with_separator(std::string_view name) { return !name.empty() && name.back() == DirectorySeparator; }

// The sharing a mode of yyopen grants and the rule it opens by.
struct OpenRule {
    int access, share;
    OsCreation creation;
};
constexpr OpenRule kOpenRules[3] = {
    {OS_ACCESS_READ, OS_SHARE_READ | OS_SHARE_WRITE, OS_OPEN_EXISTING},
    {OS_ACCESS_WRITE, OS_SHARE_READ, OS_CREATE_ALWAYS},
    {OS_ACCESS_READ | OS_ACCESS_WRITE, OS_SHARE_READ, OS_OPEN_EXISTING},
};

}  // namespace

void reset_os_services() {
    if (os_services.search > 0) os_find_close(os_services.search);
    os_services = OsServicesState{};
    process_exit_hook = process_exit_default;
    command_wait_hook = nullptr;
}

// ---------------------------------------------------------------- OS layer

void yyopen(std::string_view name, int mode, std::int32_t& handle, int& status) {
    if (mode < 0 || mode > 2) {
        status = OS_ERROR_INVALID_PARAMETER;
        return;
    }
    const OpenRule& r = kOpenRules[mode];
    status = os_file_open(name, r.access, r.share, r.creation, handle);
}

void yyclos(std::int32_t handle) { os_file_close(handle); }

void yyread(std::int32_t handle, std::span<std::uint8_t> buffer, std::int32_t count, std::int32_t& done,
            int& status) {
    done = 0;
    if (count < 0 || static_cast<std::size_t>(count) > buffer.size()) {
        status = OS_ERROR_INVALID_PARAMETER;
        return;
    }
    status = os_file_read(handle, buffer.data(), count, done);
}

void yyreadc(std::int32_t handle, std::string& buffer, std::int32_t count, std::int32_t& done, int& status) {
    yyread(handle, std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(buffer.data()), buffer.size()), count,
           done, status);
}

void yywrit(std::int32_t handle, std::span<const std::uint8_t> buffer, std::int32_t count, std::int32_t& done,
            int& status) {
    done = 0;
    if (count < 0 || static_cast<std::size_t>(count) > buffer.size()) {
        status = OS_ERROR_INVALID_PARAMETER;
        return;
    }
    status = os_file_write(handle, buffer.data(), count, done);
}

void yywritc(std::int32_t handle, std::string_view buffer, std::int32_t count, std::int32_t& done, int& status) {
    yywrit(handle, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(buffer.data()), buffer.size()),
           count, done, status);
}

void yyseek(std::int32_t handle, std::int32_t& offset, int origin, int& status) {
    std::int64_t before = 0, position = -1;
    status = os_file_seek(handle, 0, OS_SEEK_CURRENT, before);
    if (status == OS_OK) status = os_file_seek(handle, offset, origin, position);
    if (status == OS_OK && position > INT32_MAX) {
        // Files are addressed in 31 bits; leave the position where it was.
        os_file_seek(handle, before, OS_SEEK_BEGIN, position);
        status = OS_ERROR_INVALID_PARAMETER;
        position = -1;
    }
    offset = status == OS_OK ? static_cast<std::int32_t>(position) : -1;
}

void yydirc(std::string_view path, int& status) { status = os_dir_set_current(path); }
void yydird(std::string_view path, int& status) { status = os_dir_remove(path); }
void yydirm(std::string_view path, int& status) { status = os_dir_make(path); }

void yydirn(std::string& buffer, int& status, int& too_small, int length) {
    buffer.clear();
    too_small = 0;
    std::string dir;
    status = os_dir_current(dir);
    if (status != OS_OK) return;
    if (static_cast<long>(dir.size()) > static_cast<long>(length) - 1) {
        too_small = 1;
        return;
    }
    buffer = dir;
}

void yydelf(std::string_view name, int& status) { status = os_file_delete(name); }
void yyrename(int& status, std::string_view old_name, std::string_view new_name) {
    status = os_file_rename(old_name, new_name);
}
void yycopyf(std::string_view source, std::string_view target, int& status) {
    status = os_file_copy(source, target, false);
}
void yyfileattr(std::uint32_t attributes, int& status, std::string_view name) {
    status = os_file_set_attributes(name, attributes);
}

void yyfileinfo(std::int32_t& size, int& year, int& month, int& day, int& hour, int& minute, int& second,
                std::uint32_t& attributes, std::int32_t& size_kib, std::string_view name) {
    size = -1;
    OsFileInfo info;
    std::int32_t search = -1;
    if (os_find_first(name, info, search) != OS_OK) return;
    os_find_close(search);
    size = static_cast<std::int32_t>(static_cast<std::uint32_t>(info.size & 0xFFFFFFFF));
    year = info.year, month = info.month, day = info.day;
    hour = info.hour, minute = info.minute, second = info.second;
    attributes = info.attributes;
    const std::int64_t kib = (info.size + 1023) / 1024;
    size_kib = static_cast<std::int32_t>(std::min<std::int64_t>(kib, INT32_MAX));
}

void yyfind(int next, std::string& name, std::uint32_t& attributes, std::int32_t& date_time, std::int32_t& size,
            int& status) {
    OsFileInfo info;
    if (next == 0) {
        // A new search replaces the previous one; the layer closes it so
        // that no search is lost.
        if (os_services.search > 0) os_find_close(os_services.search);
        os_services.search = -1;
        status = os_find_first(name, info, os_services.search);
    } else {
        status = os_find_next(os_services.search, info);
        if (status != OS_OK) status = 1;
    }
    if (status != OS_OK) return;
    name = info.name;
    attributes = info.attributes;
    date_time = static_cast<std::int32_t>((static_cast<std::uint32_t>(info.dos_date) << 16) | info.dos_time);
    size = static_cast<std::int32_t>(static_cast<std::uint32_t>(info.size & 0xFFFFFFFF));
}

void yyfindclose() {
    if (os_services.search > 0) os_find_close(os_services.search);
    os_services.search = -1;
}

void yyfullpathname(int& status, std::string_view name, std::string& buffer, int length) {
    buffer.clear();
    std::string full;
    status = os_full_path(name, full);
    if (status != OS_OK) return;
    if (static_cast<long>(full.size()) >= length) {
        status = OS_ERROR_FILENAME_EXCED_RANGE;
        return;
    }
    buffer = full;
}

void yydisk(std::uint32_t& serial, std::string_view root) { serial = os_volume_serial(root); }
void yydrivetype(int& type, std::string_view root) { type = os_drive_type(root); }

void yydspace(std::int32_t& bytes) {
    // The free space of a large disk does not fit the 32-bit result: it is
    // given as the largest value that does, never less than what is free.
    std::uint64_t free = 0;
    bytes = 0;
    if (os_disk_free(".", free) != OS_OK) return;
    bytes = static_cast<std::int32_t>(std::min<std::uint64_t>(free, INT32_MAX));
}

void yydspacemb(std::int32_t& megabytes) {
    std::uint64_t free = 0;
    megabytes = 0;
    if (os_disk_free(".", free) != OS_OK) return;
    megabytes = static_cast<std::int32_t>(std::min<std::uint64_t>(free / 1048576u, INT32_MAX));
}

// ---------------------------------------------------------------- public

void IOsDeleteFile(std::string_view name) {
    const std::string_view n = txt_trim(name);
    if (n.empty()) return;
    // A name longer than a path can be is refused rather than cut, so that
    // a shortened name never deletes other files.
    if (n.size() > MaxPath) return report_os(OS_ERROR_FILENAME_EXCED_RANGE, "IOsDeleteFile");
    const std::string_view dir = n.substr(0, dir_part_length(n));
    OsFileInfo found;
    std::int32_t search = -1;
    int rc = os_find_first(n, found, search);
    if (rc != OS_OK) return report_os(rc, "IOsDeleteFile");
    do {
        if (found.attributes & OS_ATTR_DIRECTORY) continue;
        const int del = os_file_delete(std::string(dir) + found.name);
        if (del != OS_OK) report_os(del, "IOsDeleteFile");
    } while (os_find_next(search, found) == OS_OK);
    os_find_close(search);
}

void IOsCopyFile(std::string_view source, std::string_view target) {
    const std::string_view src = txt_trim(source);
    if (src.empty()) return;
    std::string tgt(txt_trim(target));
    if (src.size() > MaxPath || tgt.size() > MaxPath)
        return report_os(OS_ERROR_FILENAME_EXCED_RANGE, "IOsCopyFile");
    const std::size_t k = dir_part_length(src);
    if (!has_wildcard(src)) {
        if (tgt.empty() || ends_with_separator(tgt)) tgt += src.substr(k);
        if (tgt == src) return yyerror(ErrSameCopy, "IOsCopyFile");
        const int rc = os_file_copy(src, tgt, false);
        if (rc != OS_OK) report_os(rc, "IOsCopyFile");
        return;
    }
    if (!ends_with_separator(tgt)) tgt += DirectorySeparator;
    OsFileInfo found;
    std::int32_t search = -1;
    const int rc = os_find_first(src, found, search);
    if (rc != OS_OK) return report_os(rc, "IOsCopyFile");
    const std::string dir(src.substr(0, k));
    do {
        if (found.attributes & OS_ATTR_DIRECTORY) continue;
        const int c = os_file_copy(dir + found.name, tgt + found.name, false);
        if (c != OS_OK) {
            report_os(c, "IOsCopyFile");
            break;
        }
    } while (os_find_next(search, found) == OS_OK);
    os_find_close(search);
}

void IOsFullPathname(std::string_view name, std::string& full) {
    txt_set(full, "");
    const std::string_view n = txt_trim(name);
    if (n.empty()) return;
    int status = 0;
    std::string buffer;
    yyfullpathname(status, n, buffer, 1024);
    if (status != OS_OK) return report_os(status, "IOsFullPathname");
    txt_set(full, buffer);
}

void IOsDirName(std::string& directory) {
    int status = 0, too_small = 0;
    std::string buffer;
    yydirn(buffer, status, too_small, static_cast<int>(directory.size()) + 1);
    txt_set(directory, "");
    if (status != OS_OK) return report_os(status, "IOsDirName");
    if (too_small) return yyerror(ErrTooSmall, "IOsDirName");
    txt_set(directory, buffer);
}

namespace {

// The temporary directory, with a separator appended when there is room.
void temporary_directory(std::string& name) {
    const std::string dir = os_temp_dir();
    txt_set(name, dir);
    const std::size_t n = txt_len(name);
    if (n < name.size() && (n == 0 || name[n - 1] != DirectorySeparator)) name[n] = DirectorySeparator;
}

}  // namespace

void WInfoFilename(int item, std::string& name) {
    std::string value;
    switch (item) {
        case 1: value = hcstate.PrintImageFileName; break;
        case 2: value = gstate.hc.output_name; break;
        case 3: value = quinda.CHARSET; break;
        case 5: value = quinda.CHARDIR; break;
        case 7: value = quinda.LibraryHomeDirectory; break;
        case 8: value = quinda.system_directory; break;
        case 9: {
            // The name of the current stroke font; a record that no font
            // was ever installed into holds no name.
            const std::string_view stored(gstate.text.stroke_font.name, kStrokeFontNameLength);
            value = txt_trim(stored.substr(0, stored.find('\0')));
            if (value.empty()) value.assign(1, ' ');
            break;
        }
        case 10: return temporary_directory(name);
        case 11: {
            std::string dir(MaxPath, ' ');
            temporary_directory(dir);
            const std::string d = txt_c(dir);
            // Numbers go up from the tick count and never repeat within the
            // process, so two requests in one millisecond differ; a number
            // whose file exists in the temporary directory is passed over.
            std::int64_t number = infoopsystem(15);
            if (number <= os_services.last_temp_number) number = os_services.last_temp_number + 1;
            std::string candidate;
            for (;;) {
                number %= 10000000000LL;
                std::string digits = std::to_string(number);
                digits.insert(0, 10 - digits.size(), '0');
                candidate = "xx" + digits + ".tmp";
                OsFileInfo info;
                if (os_file_info(d + candidate, info) != OS_OK) break;
                ++number;
            }
            os_services.last_temp_number = number;
            txt_set(name, d + candidate);
            return;
        }
        default: break;
    }
    txt_set(name, value);
    if (txt_len(value) > name.size()) yyerror(ErrTooSmall, "WInfoFilename");
}
