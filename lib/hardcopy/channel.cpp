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

OutputChannel* channel(int unit) {
    if (unit < 1 || unit > ChannelCount) return nullptr;
    return &hcstate.channels[static_cast<std::size_t>(unit - 1)];
}

void report_os(int code, int error) {
    quinda.io_status = code;
    quinda.status_kind = StatusKindOs;
    yyerror(error, kChannelName);
    hcstate.HardcopyErrorFlag = 1;
}

// One write to the file. A failure sets the flag at once, so the writers
// that test it stop early, and is kept for the close to report: the first
// one, with the code that explains it.
bool write_out(OutputChannel& c, std::string_view bytes) {
    if (bytes.empty()) return true;
    std::int32_t written = 0;
    int status = OS_OK;
    const auto count = static_cast<std::int32_t>(bytes.size());
    yywritc(c.handle, bytes, count, written, status);
    if (written == count) return true;
    if (c.write_status == OS_OK) c.write_status = status == OS_OK ? OS_ERROR_DISK_FULL : status;
    hcstate.HardcopyErrorFlag = 1;
    return false;
}

// The gathered bytes out; they are gone whether or not they were written.
bool drain(OutputChannel& c) {
    const bool ok = write_out(c, c.pending);
    c.pending.clear();
    return ok;
}

// HEAD and TAIL, one after the other, onto the channel: gathered while
// they fit its block, else written at once in one write, after what was
// gathered. False when a write of this call failed.
bool put(int unit, std::string_view head, std::string_view tail = {}) {
    OutputChannel* c = channel(unit);
    if (!c || c->handle < 0) {
        report_os(OS_ERROR_INVALID_HANDLE, 2);
        return false;
    }
    const std::size_t block = hcstate.channel_block;
    const std::size_t n = head.size() + tail.size();
    bool ok = true;
    if (c->pending.size() + n > block) ok = drain(*c);
    if (n < block) {
        if (c->pending.capacity() < block) c->pending.reserve(block);
        c->pending.append(head).append(tail);
        return ok;
    }
    if (tail.empty()) return write_out(*c, head) && ok;
    std::string joined;
    joined.reserve(n);
    joined.append(head).append(tail);
    return write_out(*c, joined) && ok;
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
    OutputChannel* c = channel(unit);
    const std::size_t last = txt_len(DriverText);
    if (last == 0 || !c) {
        quinda.io_status = 0;
        quinda.status_kind = StatusKindNone;
        yyerror(1, kChannelName);
        hcstate.HardcopyErrorFlag = 1;
        return;
    }
    // A channel a driver left open is closed, not leaked.
    yyprcl(unit);
    hcstate.HardcopyErrorFlag = 0;
    const std::string name(std::string_view(DriverText).substr(0, last));
    std::int32_t handle = -1;
    std::string temp;
    int status = os_file_save_begin(name, temp, handle);
    // No file can stand beside a device or a FIFO (nor, as it happens,
    // beside a file in a directory this process may not add to): such a
    // target is written itself, as it always was.
    if (status == OS_ERROR_ACCESS_DENIED) {
        temp.clear();
        yyopen(name, 1, handle, status);
    }
    if (status != OS_OK) return report_os(status, 1);
    c->handle = handle;
    c->temp = std::move(temp);
    c->target = name;
    c->write_status = OS_OK;
    c->pending.clear();
}

void yyprwl(int unit, std::string_view text) { put(unit, text, "\r\n"); }

void yyprou(int unit, std::string_view buffer) { put(unit, buffer); }

void yyprbu(int unit, int n, int crlf) {
    const auto size = static_cast<int>(WorkBlock::byte_size());
    n = std::clamp(n, 0, size);
    const std::string_view bytes(reinterpret_cast<const char*>(quin01.bytes()), static_cast<std::size_t>(n));
    if (!put(unit, bytes)) return;
    if (crlf != 0) put(unit, "\r\n");
}

void yyprcl(int unit) {
    OutputChannel* c = channel(unit);
    if (!c || c->handle < 0) return;
    drain(*c);
    if (c->temp.empty()) {
        yyclos(c->handle);
    } else if (c->write_status == OS_OK && hcstate.HardcopyErrorFlag == 0) {
        // Only a whole file takes the target's place. A picture is made
        // again in a moment, and a sync of tens of megabytes would take
        // longer than drawing it: the system writes it at its own pace.
        c->write_status = os_file_save_commit(c->handle, c->temp, c->target, false);
    } else {
        os_file_save_abandon(c->handle, c->temp);
    }
    const int status = c->write_status;
    c->handle = -1;
    c->temp.clear();
    c->target.clear();
    c->write_status = OS_OK;
    if (status != OS_OK) report_os(status, 2);
}

void yyprfh(int unit, std::int32_t& handle) {
    OutputChannel* c = channel(unit);
    handle = c ? c->handle : -1;
    // Whoever takes the handle writes after what the channel gathered.
    if (handle >= 0) drain(*c);
}

int channel_write_status(int unit) {
    const OutputChannel* c = channel(unit);
    return c ? c->write_status : OS_OK;
}

void discard_output_channels() {
    for (OutputChannel& c : hcstate.channels) {
        if (c.handle < 0) continue;
        if (c.temp.empty()) yyclos(c.handle);
        else os_file_save_abandon(c.handle, c.temp);
        c = OutputChannel{};
    }
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
