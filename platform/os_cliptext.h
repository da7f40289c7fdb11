#pragma once
// Text on the clipboard, by format number: the system's plain text format.
// The library's text is Windows-1252; other programs see Unicode text. A
// character 1252 does not have becomes "?" on the way in.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The clipboard's text format (its number is the system's 1).
constexpr std::uint32_t OS_CF_TEXT = 1;

// Whether the clipboard holds text (opened or not).
bool os_clipboard_text_available();
// Puts text on the opened clipboard beside what it already holds (call
// os_empty_clipboard first to replace it); false when it is not open.
bool os_set_clipboard_text(std::string_view text);
// The clipboard's text as it is (line ends untouched); nothing when it holds none.
std::optional<std::string> os_get_clipboard_text();
// Text put on the clipboard by another program (UTF-8), replacing what it
// holds, whether or not the clipboard is open (tests use it as that program).
void os_clipboard_foreign_text(std::string_view utf8);
