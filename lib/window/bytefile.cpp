// Byte-stream files and the library's text units.
#include "lib/window/bytefile.h"

#include <climits>

#include "lib/window/errors.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "lib/window/strings.h"
#include "lib/window/text.h"
#include "platform/os_error.h"
#include "platform/os_file.h"

TextUnitState text_units;

namespace {

constexpr int ErrOpen = 1;
constexpr int ErrReadWrite = 2;

void file_failure(int error, int code, std::string_view routine) {
    quinda.io_status = code;
    quinda.status_kind = StatusKindOs;
    yyerror(error, routine);
}

void read_bytes(std::int32_t handle, std::span<std::uint8_t> buffer, std::int32_t count, std::int32_t& done) {
    int status = 0;
    yyread(handle, buffer, count, done, status);
    if (status != OS_OK) {
        file_failure(ErrReadWrite, status, "IFileReadChar");
        done = -1;
    }
}

void write_bytes(std::int32_t handle, std::span<const std::uint8_t> buffer, std::int32_t count, std::int32_t& done) {
    int status = 0;
    yywrit(handle, buffer, count, done, status);
    if (status != OS_OK) {
        file_failure(ErrReadWrite, status, "IFileWriteChar");
        done = -1;
    }
}

std::span<std::uint8_t> bytes_of(std::string& s) {
    return {reinterpret_cast<std::uint8_t*>(s.data()), s.size()};
}

std::span<const std::uint8_t> bytes_of(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

}  // namespace

void IFileOpen(std::string_view name, int mode, std::int32_t& handle) {
    const int first = ilocatechar(name);
    if (mode < 0 || mode > 2 || first == 0) {
        handle = -1;
        return file_failure(ErrOpen, 0, "IFileOpen");
    }
    std::string_view n = txt_trim(name).substr(static_cast<std::size_t>(first - 1));
    // The system takes the name up to its first NUL.
    n = n.substr(0, n.find('\0'));
    int status = 0;
    yyopen(n, mode, handle, status);
    if (status != OS_OK) {
        handle = -1;
        file_failure(ErrOpen, status, "IFileOpen");
    }
}

void ifileclose(std::int32_t handle) { yyclos(handle); }

void IFileReadChar(std::int32_t handle, std::span<std::uint8_t> buffer, std::int32_t count, std::int32_t& done) {
    read_bytes(handle, buffer, count, done);
}

void IFileReadChar(std::int32_t handle, std::string& buffer, std::int32_t count, std::int32_t& done) {
    read_bytes(handle, bytes_of(buffer), count, done);
}

void IFileWriteChar(std::int32_t handle, std::span<const std::uint8_t> buffer, std::int32_t count,
                    std::int32_t& done) {
    write_bytes(handle, buffer, count, done);
}

void IFileWriteChar(std::int32_t handle, std::string_view buffer, std::int32_t count, std::int32_t& done) {
    write_bytes(handle, bytes_of(buffer), count, done);
}

void IFileSeek(std::int32_t handle, std::int32_t& position, int method) {
    if (method < 0 || method > 2) return;
    int status = 0;
    yyseek(handle, position, method, status);
    if (status != OS_OK) {
        file_failure(ErrReadWrite, status, "IFileSeek");
        position = -1;
    }
}

void ifilereadchar1(std::int32_t handle, std::string& buffer, std::int32_t count, std::int32_t& done) {
    IFileReadChar(handle, buffer, count, done);
}
void ifilereadchar2(std::int32_t handle, std::string& buffer, std::int32_t count, std::int32_t& done) {
    IFileReadChar(handle, buffer, count, done);
}
void ifilewritechar1(std::int32_t handle, std::string_view buffer, std::int32_t count, std::int32_t& done) {
    IFileWriteChar(handle, buffer, count, done);
}
void ifilewritechar2(std::int32_t handle, std::string_view buffer, std::int32_t count, std::int32_t& done) {
    IFileWriteChar(handle, buffer, count, done);
}

void yywrite(std::string_view text, int& status) {
    if (status != 0) return;
    status = yyunitwrite(quinda.LFNGEN, text);
}

// ---------------------------------------------------------------- text units

int yyunitopen(std::int32_t unit, std::string_view name, TextUnitMode mode) {
    yyunitclose(unit);
    TextUnit u;
    u.mode = mode;
    const int rc = mode == TextUnitWrite
                       ? os_file_open(name, OS_ACCESS_WRITE, OS_SHARE_READ, OS_CREATE_ALWAYS, u.handle)
                       : os_file_open(name, OS_ACCESS_READ, OS_SHARE_READ | OS_SHARE_WRITE, OS_OPEN_EXISTING,
                                      u.handle);
    if (rc != OS_OK) return rc;
    text_units.units[unit] = u;
    return OS_OK;
}

int yyunitopensave(std::int32_t unit, std::string_view name) {
    yyunitclose(unit);
    TextUnit u;
    u.mode = TextUnitWrite;
    u.target = std::string(name);
    const int rc = os_file_save_begin(name, u.temp, u.handle);
    if (rc != OS_OK) return rc;
    text_units.units[unit] = u;
    return OS_OK;
}

int yyunitcommit(std::int32_t unit) {
    const auto it = text_units.units.find(unit);
    if (it == text_units.units.end() || it->second.temp.empty()) return OS_ERROR_INVALID_HANDLE;
    const TextUnit u = it->second;
    text_units.units.erase(it);
    return os_file_save_commit(u.handle, u.temp, u.target);
}

int yyunitread(std::int32_t unit, std::string& line) {
    line.clear();
    const auto it = text_units.units.find(unit);
    if (it == text_units.units.end() || it->second.mode != TextUnitRead) return OS_ERROR_INVALID_HANDLE;
    TextUnit& u = it->second;
    for (;;) {
        const std::size_t lf = u.pending.find('\n');
        if (lf != std::string::npos || (u.at_end && !u.pending.empty())) {
            const std::size_t n = lf == std::string::npos ? u.pending.size() : lf;
            line = u.pending.substr(0, n);
            u.pending.erase(0, lf == std::string::npos ? n : n + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return OS_OK;
        }
        if (u.at_end) return OS_ERROR_HANDLE_EOF;
        char chunk[4096];
        std::int32_t got = 0;
        const int rc = os_file_read(u.handle, chunk, sizeof chunk, got);
        if (rc != OS_OK) return rc;
        if (got == 0) u.at_end = true;
        u.pending.append(chunk, static_cast<std::size_t>(got));
    }
}

int yyunitwrite(std::int32_t unit, std::string_view line) {
    const auto it = text_units.units.find(unit);
    if (it == text_units.units.end() || it->second.mode != TextUnitWrite) return OS_ERROR_INVALID_HANDLE;
    if (line.size() >= static_cast<std::size_t>(INT32_MAX)) return OS_ERROR_INVALID_PARAMETER;
    std::string record(line);
    record += '\n';
    std::int32_t done = 0;
    return os_file_write(it->second.handle, record.data(), static_cast<std::int32_t>(record.size()), done);
}

TextUnitCloseFn text_unit_close_hook = &os_file_close;

int yyunitclose(std::int32_t unit) {
    const auto it = text_units.units.find(unit);
    if (it == text_units.units.end()) return OS_OK;
    int code = OS_OK;
    if (!it->second.temp.empty()) os_file_save_abandon(it->second.handle, it->second.temp);
    else code = text_unit_close_hook ? text_unit_close_hook(it->second.handle) : os_file_close(it->second.handle);
    text_units.units.erase(it);
    return code;
}

bool yyunitopened(std::int32_t unit) { return text_units.units.count(unit) != 0; }

void reset_text_units() {
    for (auto& [unit, u] : text_units.units) {
        if (!u.temp.empty()) os_file_save_abandon(u.handle, u.temp);
        else os_file_close(u.handle);
    }
    text_units = TextUnitState{};
    text_unit_close_hook = &os_file_close;
}
