// The output channel every file driver writes through, the spool file
// names and the print command runner.
#include <algorithm>
#include <cstdio>

#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/errors.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "platform/os_error.h"
#include "platform/os_file.h"

namespace {

constexpr std::string_view kChannelName = "YYPROU";

// yycmnd's status for a command that ran to its end.
constexpr int CommandEnded = 32;

std::int32_t* channel(int unit) {
    if (unit < 1 || unit > ChannelCount) return nullptr;
    return &hcstate.channels[static_cast<std::size_t>(unit - 1)];
}

void report_os(int code, int error) {
    quinda.io_status = code;
    quinda.status_kind = StatusKindOs;
    yyerror(error, kChannelName);
    hcstate.HardcopyErrorFlag = 1;
}

// One write; a short one is reported and flagged. False when it fell short.
bool write_all(int unit, std::string_view bytes) {
    std::int32_t* h = channel(unit);
    std::int32_t written = 0;
    int status = OS_ERROR_INVALID_HANDLE;
    const auto count = static_cast<std::int32_t>(bytes.size());
    if (h && *h >= 0) yywritc(*h, bytes, count, written, status);
    if (h && *h >= 0 && written == count) return true;
    report_os(status == OS_OK ? OS_ERROR_DISK_FULL : status, 2);
    return false;
}

bool exists(const std::string& name) {
    OsFileInfo info;
    return os_file_info(name, info) == OS_OK;
}

// The directory followed by "qdx$$NN" and the extension, NN the first
// number whose file exists, else 99.
void spool_name(std::string& out, const std::string& dir, std::string_view extension) {
    std::string name;
    for (int nn = 0; nn <= 99; ++nn) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02d", nn);
        name = dir + "qdx$$" + digits + std::string(extension);
        if (exists(name.substr(0, std::min(name.size(), HardcopyNameLength)))) break;
    }
    txt_set(out, name);
}

}  // namespace

void yyprop(int unit) {
    std::int32_t* h = channel(unit);
    const std::size_t last = txt_len(DriverText);
    if (last == 0 || !h) {
        quinda.io_status = 0;
        quinda.status_kind = StatusKindNone;
        yyerror(1, kChannelName);
        hcstate.HardcopyErrorFlag = 1;
        return;
    }
    // A channel a driver left open is closed, not leaked.
    if (*h >= 0) {
        yyclos(*h);
        *h = -1;
    }
    hcstate.HardcopyErrorFlag = 0;
    int status = OS_OK;
    std::int32_t handle = -1;
    yyopen(std::string_view(DriverText).substr(0, last), 1, handle, status);
    if (status != OS_OK) return report_os(status, 1);
    *h = handle;
}

void yyprwl(int unit, std::string_view text) {
    std::string line(text);
    line += "\r\n";
    write_all(unit, line);
}

void yyprou(int unit, std::string_view buffer) { write_all(unit, buffer); }

void yyprbu(int unit, int n, int crlf) {
    const auto size = static_cast<int>(WorkBlock::byte_size());
    n = std::clamp(n, 0, size);
    const std::string_view bytes(reinterpret_cast<const char*>(quin01.bytes()), static_cast<std::size_t>(n));
    if (!write_all(unit, bytes)) return;
    if (crlf != 0) write_all(unit, "\r\n");
}

void yyprcl(int unit) {
    std::int32_t* h = channel(unit);
    if (!h || *h < 0) return;
    yyclos(*h);
    *h = -1;
}

void yyprfh(int unit, std::int32_t& handle) {
    const std::int32_t* h = channel(unit);
    handle = h ? *h : -1;
}

void yytmpprn() {
    std::string dir(HardcopyNameLength, ' ');
    IOsVariable("TEMP", dir);
    if (txt_blank(dir)) IOsVariable("TMP", dir);
    if (txt_blank(dir)) WInfoFilename(10, dir);
    std::string d = txt_c(dir);
    if (d.empty() || d.back() != DirectorySeparator) d += DirectorySeparator;
    spool_name(hcstate.SpoolPlotName, d, ".plt");
    spool_name(hcstate.SpoolDumpName, d, ".dmp");
}

void yyprncmd(std::string_view line) {
    // The shell reads the line as it stands; no interpreter is put in front.
    int status = 0;
    yycmnd(line, 1, 1, -1, status);
    if (status > 0 && status != CommandEnded) {
        quinda.os_status = status;
        yyerror(13, "YYPRNCMD");
    }
}
