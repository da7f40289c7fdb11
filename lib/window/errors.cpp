#include "lib/window/errors.h"

#include <algorithm>
#include <cstdio>

#include "lib/window/convert.h"
#include "lib/window/errorbox.h"
#include "lib/window/errortable.h"
#include "lib/window/exitprog.h"
#include "lib/window/quinda_state.h"
#include "lib/window/startup.h"
#include "lib/window/text.h"

DebugFileState debug_file;
StatusBarReportFn error_statusbar_hook = &report_to_statusbar;

namespace {

// Fill positions first..L of line (1-based, inclusive) like an assignment to
// that substring: the value blank-padded or cut.
void fill_from(std::string& line, std::size_t first, std::string_view value) {
    if (first < 1 || first > line.size()) return;
    const std::size_t room = line.size() - (first - 1);
    std::string part(room, ' ');
    txt_set(part, value);
    line.replace(first - 1, room, part);
}

// Substring of positions first..last (1-based, inclusive); empty when the
// range is empty or outside the line.
std::string_view piece(std::string_view line, std::size_t first, std::size_t last) {
    if (first < 1 || last > line.size() || first > last) return {};
    return line.substr(first - 1, last - first + 1);
}

bool internal_name(std::string_view name) {
    if (name.size() < 2) return false;
    const std::string_view p = name.substr(0, 2);
    return p == "YY" || p == "yy" || p == "XX" || p == "xx";
}

}  // namespace

std::string yyerrorline(int code, std::string_view name, int* name_end_out, int* colon_out) {
    std::string line(ReportLineLength, ' ');
    const bool internal = internal_name(name);
    const std::string_view prefix = internal ? "Internal routine:" : "Routine:";
    const std::size_t name_room = internal ? 183 : 192;
    std::string head(prefix);
    head.append(name.substr(0, std::min(name.size(), name_room)));
    txt_set(line, head);
    const std::size_t name_end = txt_len(line);

    fill_from(line, name_end + 1, " Error=    :");
    const std::size_t colon = txt_len(line);
    // The number field: four characters before the colon, right-justified.
    std::string number = std::to_string(code);
    if (number.size() > 4) number = "****";
    number.insert(0, 4 - number.size(), ' ');
    if (colon >= 5) line.replace(colon - 5, 4, number);

    std::string text(colon < line.size() ? line.size() - colon : 0, ' ');
    winfoerrormessage(code, text, ErrorTextLibrary);
    fill_from(line, colon + 1, text);

    const bool file_status = (code == 1 || code == 2) && quinda.status_kind == StatusKindOs;
    if (file_status || code == 13 || code == 1044) {
        const std::size_t p = txt_len(line);
        if (p < ReportLineLength - 2) {
            line[p] = ':';
            const int status = file_status ? quinda.io_status : quinda.os_status;
            const int kind = code == 1044 ? ErrorTextCompression : ErrorTextOs;
            std::string extra(line.size() - (p + 2), ' ');
            winfoerrormessage(status, extra, kind);
            fill_from(line, p + 3, extra);
        }
    }
    if (name_end_out) *name_end_out = static_cast<int>(name_end);
    if (colon_out) *colon_out = static_cast<int>(colon);
    return line;
}

void yyerror(int code, std::string_view name) {
    quinda.last_error = code;
    if (quinda.report_mode <= ReportNone) return;

    // Errors raised while the report is delivered are recorded, never reported.
    const int mode = quinda.report_mode;
    const int kept_error = quinda.last_error;
    quinda.report_mode = ReportNone;

    int name_end = 0;
    int colon = 0;
    const std::string line = yyerrorline(code, name, &name_end, &colon);
    const std::string trimmed = txt_c(line);

    switch (mode) {
        case ReportStdout:
            std::fprintf(stdout, "%s\n", trimmed.c_str());
            std::fflush(stdout);
            break;
        case ReportDebugFile:
            idebug(trimmed);
            break;
        case ReportStatusBar:
            if (error_statusbar_hook) error_statusbar_hook(trimmed);
            break;
        case ReportMessageBox: {
            const auto ne = static_cast<std::size_t>(name_end);
            const auto cp = static_cast<std::size_t>(colon);
            std::string box(piece(line, 1, ne));
            box += '\r';
            box += piece(line, ne + 2, cp - 1);
            box += '\r';
            box += piece(line, cp + 1, trimmed.size());
            quinda.last_error = 0;
            yywmessagebox(1, 3, 1, box, "Library Error");
            if (quinda.last_error == 1004) {
                // The box could not be shown: nobody can answer OK or Cancel,
                // so the report goes to standard error and the program goes on.
                std::fprintf(stderr, "%s\n", trimmed.c_str());
                std::fflush(stderr);
            } else if (yywmessageboxresult() == 0) {
                exit_program(" ", 0);
            }
            break;
        }
        default:
            break;
    }

    quinda.report_mode = mode;
    quinda.last_error = kept_error;
}

void yyseterror(int code) { quinda.last_error = code; }

void idebuglevel(int level) {
    if (level >= ReportNone && level <= ReportMessageBox) quinda.report_mode = level;
}

int infoerror(int item) {
    int v = 0;
    switch (item) {
        case 1: v = quinda.last_error; quinda.last_error = 0; break;
        case 2: v = quinda.io_status; quinda.io_status = 0; break;
        case 3: v = quinda.os_status; quinda.os_status = 0; break;
        case 4: v = quinda.report_mode; break;
        case 5: v = quinda.status_kind; break;
        default: break;
    }
    return v;
}

void yydebugopen() {
    if (debug_file.opened_once) return;
    for (const char* name : {"debug", "debug.txt", "debug.dat"}) {
        debug_file.file = std::fopen(name, "wb");
        if (debug_file.file) break;
    }
    debug_file.opened_once = true;
}

namespace {

void debug_write(const char* bytes, std::size_t n) {
    yydebugopen();
    if (!debug_file.file) return;
    std::fwrite(bytes, 1, n, debug_file.file);
    // Each line reaches the file at once, so a crash loses nothing written.
    std::fflush(debug_file.file);
}

}  // namespace

void yydebugc(const char* text) {
    std::string rec(text ? text : "");
    rec += "\r\n";
    debug_write(rec.data(), rec.size());
}

void yydebug(const char* text, int) { yydebugc(text); }

void yydebugi(const char* name, int value) {
    // The line is formatted in 100 characters; a long name is cut so that
    // the value and the line end always fit.
    std::string v(1, '=');
    v.append(std::to_string(value));
    v.append("\r\n");
    std::string n(name ? name : "");
    if (n.size() + v.size() > 99) n.resize(99 - v.size());
    const std::string rec = n + v;
    debug_write(rec.data(), rec.size());
}

void idebug(std::string_view text) {
    const std::string buffer(text);   // c_str() adds the terminating NUL
    yydebug(buffer.c_str(), static_cast<int>(buffer.size()));
}

void reset_error_services() {
    if (debug_file.file) std::fclose(debug_file.file);
    debug_file = DebugFileState{};
    error_statusbar_hook = &report_to_statusbar;
    exit_program_hook = iosexitprogram;
    reset_conversion_state();
}
