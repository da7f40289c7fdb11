// Processes, environment, command line, registry and system information.
#include <algorithm>
#include <climits>
#include <cstdio>

#include "lib/window/errors.h"
#include "lib/window/messages.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "platform/os_app.h"
#include "platform/os_config.h"
#include "platform/os_error.h"
#include "platform/os_file.h"
#include "platform/os_msgbox.h"
#include "platform/os_process.h"
#include "platform/os_registry.h"
#include "platform/os_system.h"

namespace {

// Status of a command run: it ended, or the wait ran out.
constexpr int CommandEnded = 32;
constexpr int CommandTimedOut = -1;
// A started program, as the start call counts success (above 31).
constexpr int ProgramStarted = 33;

// The one root drive: its letter and its path.
constexpr char RootDriveLetter = 'C';
constexpr std::string_view RootDrivePath = "/";

}  // namespace

void process_exit_default(int code) { os_process_exit(code); }

ProcessExitFn process_exit_hook = process_exit_default;
void (*command_wait_hook)() = nullptr;

// ---------------------------------------------------------------- OS layer

void yywinmessagebox(std::string_view caption, std::string_view text) {
    const int answer = os_message_box(std::string(text), std::string(caption),
                                      OS_MB_OK | OS_MB_ICONSTOP | OS_MB_TASKMODAL);
    if (answer == 0) {
        // Nobody can see a box here (no display): the text goes to standard
        // error so that it is not lost.
        const std::string t(text);
        std::fprintf(stderr, "%s\n", t.c_str());
        std::fflush(stderr);
    }
}

void yywinver(int& major, int& minor) { os_system_version(major, minor); }

void yywinvariant(int& variant) { variant = 4; }

void yygetenv(int& length, std::string_view name, std::string& buffer, int buffer_length) {
    std::string value;
    length = 0;
    if (!os_env_get(name, value) || value.empty()) return;
    const int n = static_cast<int>(std::min<std::size_t>(value.size(), INT_MAX - 1));
    if (n + 1 > buffer_length) {
        length = n + 1;
        return;
    }
    buffer = value;
    length = n;
}

void yyputenv(std::string_view name, std::string_view value) { os_env_set(name, value); }

void yyexec(int& status, std::string_view command) {
    std::int32_t process = -1;
    status = os_process_start(command, process);
    if (status != OS_OK) return;
    os_process_close(process);
    status = ProgramStarted;
}

void yycmnd(std::string_view command, int /*hidden: no console windows here*/, int process_flag,
            int wait_seconds, int& status) {
    if (process_flag == 0) return yyexec(status, command);
    std::int32_t process = -1;
    status = os_process_start(command, process);
    if (status != OS_OK) return;
    int exit_code = 0;
    if (wait_seconds >= 0) {
        const int ms = wait_seconds > INT_MAX / 1000 ? INT_MAX : wait_seconds * 1000;
        const int rc = os_process_wait(process, ms, exit_code);
        status = rc == OS_OK ? CommandEnded : rc == OS_ERROR_WAIT_TIMEOUT ? CommandTimedOut : rc;
    } else {
        for (;;) {
            if (command_wait_hook) command_wait_hook();
            const int rc = os_process_wait(process, 100, exit_code);
            if (rc == OS_ERROR_WAIT_TIMEOUT) continue;
            status = rc == OS_OK ? CommandEnded : rc;
            break;
        }
    }
    os_process_close(process);
}

void yydate(int& year, int& month, int& day) {
    const OsLocalTime t = os_local_time();
    year = t.year, month = t.month, day = t.day;
}

void yytime(int& hour, int& minute, int& second, int& millisecond) {
    const OsLocalTime t = os_local_time();
    hour = t.hour, minute = t.minute, second = t.second, millisecond = t.millisecond;
}

void yyexit(int code) { process_exit_hook(code); }

void yysysdir(std::string& buffer, int& status, int buffer_length) {
    std::string dir;
    status = os_system_dir(dir);
    if (status != OS_OK) return;
    if (static_cast<long>(dir.size()) >= buffer_length) {
        status = OS_ERROR_INSUFFICIENT_BUFFER;
        return;
    }
    buffer = dir;
}

void yyregkeydel(std::int32_t root, int& status, std::string_view subkey) { status = os_reg_delete_key(root, subkey); }

void yyregvaldel(std::int32_t root, int& status, std::string_view subkey, std::string_view value_name) {
    if (os_reg_open(root, subkey) != OS_OK) {
        status = OS_ERROR_FILE_NOT_FOUND;
        return;
    }
    status = os_reg_delete_value(root, subkey, value_name);
}

void yyregkeyget(std::int32_t root, std::int32_t& type, std::int32_t& size, std::string_view subkey,
                 std::string_view value_name, std::string& buffer) {
    if (os_reg_open(root, subkey) != OS_OK) return;
    // The caller's size is the room of the buffer; 0 asks for type and size.
    const std::size_t capacity = size <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(size), buffer.size());
    std::uint32_t t = 0;
    std::string data;
    std::size_t n = 0;
    const int rc = os_reg_get(root, subkey, value_name, capacity, t, data, n);
    if (rc != OS_OK && rc != OS_ERROR_MORE_DATA) {
        type = -2;
        size = 0;
        return;
    }
    if (rc == OS_OK && capacity > 0) std::copy(data.begin(), data.end(), buffer.begin());
    type = static_cast<std::int32_t>(t);
    size = static_cast<std::int32_t>(std::min<std::size_t>(n, INT32_MAX));
}

void yyregkeyput(std::int32_t root, std::int32_t type, int& status, std::string_view subkey,
                 std::string_view value_name, std::string_view data, std::int32_t data_length) {
    if (data_length < 0 || static_cast<std::size_t>(data_length) > data.size()) {
        status = OS_ERROR_INVALID_PARAMETER;
        return;
    }
    status = os_reg_put(root, subkey, value_name, static_cast<std::uint32_t>(type),
                        data.substr(0, static_cast<std::size_t>(data_length)));
}

void yyusername(int& status, int& truncated, std::string& buffer, int buffer_length) {
    std::string name = os_config().user_name.substr(0, 256);
    truncated = 0;
    status = OS_OK;
    if (buffer_length < 1) {
        truncated = 1;
        buffer.clear();
        return;
    }
    if (static_cast<long>(name.size()) > buffer_length - 1) {
        truncated = 1;
        name.resize(static_cast<std::size_t>(buffer_length - 1));
    }
    buffer = name;
}

int yyerrorstr(int code, std::string& buffer, int buffer_length) {
    std::string text = os_error_text(code);
    if (buffer_length < 1) return 0;
    if (static_cast<long>(text.size()) > buffer_length - 1) text.resize(static_cast<std::size_t>(buffer_length - 1));
    buffer = text;
    return static_cast<int>(text.size());
}

void yygetcl(std::string& buffer) { buffer = os_command_line(); }

void yygetexe(std::string& buffer, int buffer_length) {
    std::string path;
    buffer.clear();
    if (os_executable_path(path) != OS_OK || buffer_length < 1) return;
    if (static_cast<long>(path.size()) > buffer_length - 1) path.resize(static_cast<std::size_t>(buffer_length - 1));
    buffer = path;
}

void yyassocexe(int& status, std::string_view file, std::string& buffer, int buffer_length) {
    std::string program;
    const int rc = os_associated_program(file, program);
    if (rc == OS_ERROR_FILE_NOT_FOUND) status = 1;
    else if (rc != OS_OK) status = -1;
    else if (static_cast<long>(program.size()) >= buffer_length) status = 1023;
    else {
        status = 0;
        buffer = program;
    }
}

// ---------------------------------------------------------------- public

void IOsVariable(std::string_view name, std::string& value) {
    txt_set(value, "");
    int length = 0;
    std::string buffer;
    yygetenv(length, txt_trim(name), buffer, static_cast<int>(value.size()) + 1);
    if (length > static_cast<int>(value.size())) return yyerror(1023, "IOsVariable");
    if (length > 0) txt_set(value, buffer);
}

void iosargument(int n, std::string& text) {
    txt_set(text, "");
    if (n < 0) return;
    std::string token(text.size(), ' ');
    if (yyargs(n, token) == n) text = token;
}

void iosdate(int& year, int& month, int& day) { yydate(year, month, day); }

std::int32_t yyargs(int n, std::string& text) {
    OsServicesState& s = os_services;
    if (!s.command_line_made) {
        std::string line;
        yygetcl(line);
        const std::size_t nul = line.find('\0');
        if (nul != std::string::npos) line.resize(nul);
        s.command_line = txt_fixed(line, CommandLineLength);
        s.command_line_made = true;
    }
    const std::string_view c = s.command_line;
    const std::size_t end = c.size();
    std::size_t pos = 0;
    std::int32_t token = -1;
    while (pos < end) {
        while (pos < end && c[pos] == ' ') ++pos;
        if (pos >= end) break;
        std::string_view word;
        std::size_t next;
        bool counts = true;
        if (c[pos] == '"') {
            const std::size_t close = c.find('"', pos + 1);
            const std::size_t stop = close == std::string_view::npos ? end : close;
            const std::string_view quoted = c.substr(pos + 1, stop - pos - 1);
            if (pos + 1 < end && !txt_blank(quoted)) {
                word = quoted;
                next = close == std::string_view::npos ? end : close + 2;
            } else {
                // An empty pair of quotes (or a quote with only blanks after
                // it) is no argument: its word is passed over.
                counts = false;
                next = c.find(' ', pos);
                if (next == std::string_view::npos) next = end;
            }
        } else {
            next = c.find(' ', pos);
            if (next == std::string_view::npos) next = end;
            word = c.substr(pos, next - pos);
        }
        pos = next;
        if (!counts) continue;
        ++token;
        if (token == n) {
            if (n == 0) {
                std::string exe;
                yygetexe(exe, static_cast<int>(MaxPath));
                const std::size_t nul = exe.find('\0');
                txt_set(text, nul == std::string::npos ? exe : exe.substr(0, nul));
            } else {
                txt_set(text, word);
            }
            return token;
        }
    }
    txt_set(text, "");
    return token;
}

std::int32_t yyopt(std::string_view options, char letter) {
    if (options.find(letter) != std::string_view::npos) return 1;
    const char lower = letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
    return options.find(lower) != std::string_view::npos ? 1 : 0;
}

std::int32_t infoopsystem(int item) {
    std::int32_t& r = os_services.last_infoopsystem;
    switch (item) {
        case 1: r = 6; break;
        case 2: {
            std::string unused(1, ' ');
            r = yyargs(-1, unused);
            break;
        }
        case 3: {
            int major = 0, minor = 0;
            yywinver(major, minor);
            r = major * 100 + minor;
            break;
        }
        case 4: r = '*'; break;
        case 5: r = '?'; break;
        case 6: r = DirectorySeparator; break;
        case 7: case 19: r = 0; break;
        case 8: case 12: case 13: case 14: case 18: r = 1; break;
        case 9: {
            std::string dir;
            r = os_dir_current(dir) == OS_OK && dir == RootDrivePath ? 1 : 0;
            break;
        }
        case 10: case 11: r = 0; break;   // no drives A: and B:
        case 15: yycurrenttime(r); break;
        case 16: yywinvariant(r); break;
        case 17: yydspace(r); break;
        case 20: r = static_cast<unsigned char>(quinda.decimal_char); break;
        case 21: yydspacemb(r); break;
        default:
            if (item >= 'A' && item <= 'Z') {
                int type = OS_DRIVE_UNKNOWN;
                if (item == RootDriveLetter) yydrivetype(type, RootDrivePath);
                r = std::max(type - 1, 0);
            } else if (item >= 100 + 'A' && item <= 100 + 'Z') {
                std::uint32_t serial = 0;
                if (item - 100 == RootDriveLetter) yydisk(serial, RootDrivePath);
                r = static_cast<std::int32_t>(serial);
            }
            break;
    }
    return r;
}
