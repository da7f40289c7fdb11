#pragma once
// Central error reporting. A failing library routine calls yyerror with its
// error number and its own name and returns normally; callers poll the last
// error through infoerror.
#include <cstdint>
#include <string_view>

// Record code as the last error and report it as the report mode says.
void yyerror(int code, std::string_view name);
// Record code as the last error without a report.
void yyseterror(int code);
// Report mode 0..4; other values change nothing.
void idebuglevel(int level);
// 1 last error (cleared), 2 I/O status (cleared), 3 OS status (cleared),
// 4 report mode, 5 status kind.
int infoerror(int item);
