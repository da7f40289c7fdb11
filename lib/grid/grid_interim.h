#pragma once
// Clipboard and printing routines of the grid control, until they land.
#include <cstdint>
#include <string_view>

#include "lib/window/quinda_state.h"

std::int32_t yygridclipcopy(OsHandle grid);
void yygridclippaste(OsHandle grid);
void yygridclipdelete(OsHandle grid);
std::int32_t yygridcheckclipboard();
std::int32_t yygridcancut(OsHandle grid);
std::int32_t yygridcanpaste(OsHandle grid);
void yygridprint(std::int32_t ref, std::int32_t& result, std::int32_t row1, std::int32_t row2, std::int32_t col1,
                 std::int32_t col2, std::int32_t set, std::string_view title);
std::int32_t yygridprintsetup(std::int32_t units, std::int32_t set);
void yygridprintgetopt(std::int32_t& row_lines, std::int32_t& column_lines, std::int32_t& repeat, std::int32_t& text,
                       std::int32_t& back, std::int32_t& scale, std::int32_t set);
void yygridprintsetopt(std::int32_t row_lines, std::int32_t column_lines, std::int32_t repeat, std::int32_t text,
                       std::int32_t back, std::int32_t scale, std::int32_t set);
