#pragma once
// The progress line that long conversions write into the current window.
#include <string_view>

// Writes, at window position (500, 400), "one moment", a row of 1, 2, ...,
// 15 full stops (then none, then 1 again at the next call) and the text
// (at most 55 characters), 80 characters in all.
void onemoment(std::string_view text);

// Writes a prompt or notice at window position (500, 400) of the current
// window, first clearing the strip above the map so that no part of an
// earlier, longer line stays beside it. An empty text only clears.
void prompt_line(std::string_view text);
