#pragma once
// Central error reporting. A failing library routine calls yyerror with its
// error number and its own name and returns normally; callers poll the last
// error through infoerror. This file also owns the debug file.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Record code as the last error and report it as the report mode says.
void yyerror(int code, std::string_view name);
// Record code as the last error without a report.
void yyseterror(int code);
// Report mode 0..4; other values change nothing.
void idebuglevel(int level);
// 1 last error (cleared), 2 I/O status (cleared), 3 OS status (cleared),
// 4 report mode, 5 status kind; 0 for any other item.
int infoerror(int item);

// Report modes.
constexpr int ReportNone = 0;
constexpr int ReportStdout = 1;
constexpr int ReportDebugFile = 2;
constexpr int ReportStatusBar = 3;
constexpr int ReportMessageBox = 4;

// Status kinds of the I/O status.
constexpr int StatusKindNone = 0;
constexpr int StatusKindRunTime = 1;
constexpr int StatusKindOs = 2;

constexpr std::size_t ReportLineLength = 200;

// The report line for code and name, blank-padded to 200 characters, built
// from the current error group (I/O and OS status, status kind). name_end
// and colon_pos receive the 1-based positions the message box splits at.
std::string yyerrorline(int code, std::string_view name, int* name_end = nullptr,
                        int* colon_pos = nullptr);

// Writes a report line into part 1 of the root window's status bar and
// leaves the current window as it was; the line is lost while no root
// window is open, as it is for a root window without a status bar.
// Defined by the window layer (winops.cpp).
void report_to_statusbar(std::string_view line);
// Test seam for the status-bar line of the reporter; report_to_statusbar
// unless a test replaces it.
using StatusBarReportFn = void (*)(std::string_view line);
extern StatusBarReportFn error_statusbar_hook;

// Debug file: "debug" in the current directory, else "debug.txt", else
// "debug.dat"; created by the first debug line of the process and kept open.
void idebug(std::string_view text);                 // whole text, trailing blanks included
void yydebug(const char* text, int length);         // length unused
void yydebugc(const char* text);                    // text and CR LF
void yydebugi(const char* name, int value);         // "name=value" and CR LF
void yydebugopen();

struct DebugFileState {
    std::FILE* file = nullptr;
    bool opened_once = false;
};
extern DebugFileState debug_file;

// Closes the debug file and puts the hooks and stand-ins of the error and
// conversion services back to their start state. For tests.
void reset_error_services();
