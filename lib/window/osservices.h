#pragma once
// The library's operating-system services: files, directories and file
// names (osfiles.cpp); processes, environment, command line, registry and
// system information (osproc.cpp).
//
// The yy* routines form the operating-system layer: they return the system's
// code (0 success) in a status argument and never report. The public
// routines take blank-padded texts and report failures through yyerror.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// ---------------------------------------------------------------- state

struct OsServicesState {
    std::int32_t search = -1;            // the one open directory search of yyfind
    bool command_line_made = false;      // the command-line copy was taken
    std::string command_line;            // 1024 characters, blank-padded
    std::int32_t last_infoopsystem = 0;  // returned again for an unknown item
    std::int64_t last_temp_number = -1;  // number of the last temporary name handed out
};
extern OsServicesState os_services;

// Closes the search, forgets the command line and the remembered results
// and puts the process end and the command wait back. For tests.
void reset_os_services();

// Room of the library's path texts.
constexpr std::size_t MaxPath = 260;
constexpr std::size_t CommandLineLength = 1024;

// ---------------------------------------------------------------- files: OS layer

// mode 0 read an existing file (others may read and write), 1 create or
// empty for writing (others may read), 2 read and write an existing file
// (others may read); other modes leave the handle unchanged.
void yyopen(std::string_view name, int mode, std::int32_t& handle, int& status);
void yyclos(std::int32_t handle);
// count bytes into (from) the buffer; a count beyond the buffer is refused
// with the invalid-parameter code.
void yyread(std::int32_t handle, std::span<std::uint8_t> buffer, std::int32_t count, std::int32_t& done,
            int& status);
void yyreadc(std::int32_t handle, std::string& buffer, std::int32_t count, std::int32_t& done, int& status);
void yywrit(std::int32_t handle, std::span<const std::uint8_t> buffer, std::int32_t count, std::int32_t& done,
            int& status);
void yywritc(std::int32_t handle, std::string_view buffer, std::int32_t count, std::int32_t& done, int& status);
// origin 0 start, 1 current, 2 end; offset receives the new position (-1 on
// failure). Positions beyond 2^31 - 1 are refused.
void yyseek(std::int32_t handle, std::int32_t& offset, int origin, int& status);
void yydirc(std::string_view path, int& status);
void yydird(std::string_view path, int& status);
void yydirm(std::string_view path, int& status);
// The current directory into buffer (without padding); too_small is 1 and
// the buffer empty when it needs more than length - 1 characters.
void yydirn(std::string& buffer, int& status, int& too_small, int length);
void yydelf(std::string_view name, int& status);
void yyrename(int& status, std::string_view old_name, std::string_view new_name);
void yycopyf(std::string_view source, std::string_view target, int& status);
void yyfileattr(std::uint32_t attributes, int& status, std::string_view name);
// Size -1 when no file matches.
void yyfileinfo(std::int32_t& size, int& year, int& month, int& day, int& hour, int& minute, int& second,
                std::uint32_t& attributes, std::int32_t& size_kib, std::string_view name);
// next 0 starts a search with the pattern in name; the found name (without
// directory) replaces it. status 0 found, the system's code when a first
// search fails, 1 when a continued search has no more files.
void yyfind(int next, std::string& name, std::uint32_t& attributes, std::int32_t& date_time, std::int32_t& size,
            int& status);
void yyfindclose();
// The full path into buffer (without padding); a path of length characters
// or more does not fit (OS_ERROR_FILENAME_EXCED_RANGE).
void yyfullpathname(int& status, std::string_view name, std::string& buffer, int length);
// The drive's root path ("/" for the one root drive).
void yydisk(std::uint32_t& serial, std::string_view root);
void yydrivetype(int& type, std::string_view root);
void yydspace(std::int32_t& bytes);
void yydspacemb(std::int32_t& megabytes);

// ---------------------------------------------------------------- files: public

void IOsDeleteFile(std::string_view name);
void IOsCopyFile(std::string_view source, std::string_view target);
void IOsFullPathname(std::string_view name, std::string& full);
void IOsDirName(std::string& directory);
void WInfoFilename(int item, std::string& name);

// ---------------------------------------------------------------- processes: OS layer

// Task-modal stop box with an OK button, owned by no window.
void yywinmessagebox(std::string_view caption, std::string_view text);
void yywinver(int& major, int& minor);
void yywinvariant(int& variant);
// length: 0 when unset, the size needed (with the terminating NUL) when the
// buffer of buffer_length is too small, else the length of the value.
void yygetenv(int& length, std::string_view name, std::string& buffer, int buffer_length);
void yyputenv(std::string_view name, std::string_view value);
// Starts a command without waiting; status above 31 is success.
void yyexec(int& status, std::string_view command);
// Runs a command (process flag 0: as yyexec). With a wait of 0 or more
// seconds status is 32 when it ended, -1 on time-out; a negative wait waits
// until it ends.
void yycmnd(std::string_view command, int hidden, int process, int wait_seconds, int& status);
void yydate(int& year, int& month, int& day);
void yytime(int& hour, int& minute, int& second, int& millisecond);
// Ends the process with the code, through process_exit_hook.
void yyexit(int code);
void yysysdir(std::string& buffer, int& status, int buffer_length);
void yyregkeydel(std::int32_t root, int& status, std::string_view subkey);
void yyregvaldel(std::int32_t root, int& status, std::string_view subkey, std::string_view value_name);
// size in: capacity of the buffer (0: ask for type and size only).
void yyregkeyget(std::int32_t root, std::int32_t& type, std::int32_t& size, std::string_view subkey,
                 std::string_view value_name, std::string& buffer);
void yyregkeyput(std::int32_t root, std::int32_t type, int& status, std::string_view subkey,
                 std::string_view value_name, std::string_view data, std::int32_t data_length);
// At most 256 characters; truncated 1 and the name cut to length - 1 when
// it does not fit.
void yyusername(int& status, int& truncated, std::string& buffer, int buffer_length);
// The system's text for an error code; its length (0 when none).
int yyerrorstr(int code, std::string& buffer, int buffer_length);
void yygetcl(std::string& buffer);
void yygetexe(std::string& buffer, int buffer_length);
// status 0 and the program's path; 1 no such file; -1 no association or
// another failure; 1023 the path does not fit.
void yyassocexe(int& status, std::string_view file, std::string& buffer, int buffer_length);

// Ends the process (yyexit). Tests install a double that records and returns.
using ProcessExitFn = void (*)(int code);
extern ProcessExitFn process_exit_hook;
[[noreturn]] void process_exit_default(int code);

// While yycmnd waits without limit, called between waits of up to 100 ms:
// the window work dispatches the paint messages and discards input there.
extern void (*command_wait_hook)();

// ---------------------------------------------------------------- processes: public

void IOsVariable(std::string_view name, std::string& value);
void iosargument(int n, std::string& text);
void iosdate(int& year, int& month, int& day);
std::int32_t yyargs(int n, std::string& text);
std::int32_t yyopt(std::string_view options, char letter);
std::int32_t infoopsystem(int item);
