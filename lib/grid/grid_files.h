#pragma once
// Grid cells to and from files: comma-separated text (read back by other
// programs and by WGridLoad) and an HTML table or page. Rows and columns
// count from 1; problems are left as the last library error.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lib/grid/grid.h"

void WGridSave(std::int32_t field, std::string_view filename, GridOptInt col1 = {}, GridOptInt col2 = {},
               GridOptInt row1 = {}, GridOptInt row2 = {});
// flag 1: more lines than rows in use add rows, up to the rows allocated.
void WGridLoad(std::int32_t field, std::string_view filename, GridOptInt flag = {});

// Doubles every quote of the text up to its last non-blank character; the
// string grows when the result does not fit.
void yyexpandquotes(std::string& text);
// Makes each pair of adjacent quotes one quote; the freed places up to the
// old last non-blank character become blanks.
void yycompressquotes(std::string& text);

// Bits of WGridSaveHTML's flags.
enum GridHtmlFlags : std::int32_t {
    GHF_TABLEONLY = 1,
    GHF_CENTRE = 2,
    GHF_YESNO = 4,
    GHF_NOCOLOURS = 8,
};

void WGridSaveHTML(std::int32_t field, std::string_view filename, GridOptInt col1 = {}, GridOptInt col2 = {},
                   GridOptInt row1 = {}, GridOptInt row2 = {}, GridOptInt flags = {},
                   std::optional<std::string_view> title = {}, GridOptInt border = {}, GridOptInt rgb = {});

// A file name as the library passes it: from its first non-blank character
// to its last, and never past a NUL.
std::string grid_file_name(std::string_view name);
