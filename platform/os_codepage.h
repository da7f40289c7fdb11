#pragma once
// Single-byte text of the library (Windows-1252) and its conversion to
// Unicode and UTF-8, with a table of our own. Bytes below 0x80 and from 0xA0
// are their own code points; 0x80..0x9F carry the typographic characters
// (0x80 is the euro sign), except 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which
// have no character of their own and map to themselves, so every byte has a
// code point and survives a round trip.
#include <string>
#include <string_view>

// The code point of a 1252 byte.
char32_t os_cp1252_to_unicode(unsigned char byte);

// The 1252 byte of a code point, or -1 when 1252 has no such character.
int os_unicode_to_cp1252(char32_t code_point);

// 1252 text to UTF-8.
std::string os_cp1252_to_utf8(std::string_view text);

// UTF-8 text to 1252. A character 1252 does not have, and every byte of a
// malformed UTF-8 sequence, becomes the replacement byte.
std::string os_utf8_to_cp1252(std::string_view text, char replacement = '?');

// Appends the UTF-8 form of a code point (U+0000..U+10FFFF; others are
// written as U+FFFD).
void os_append_utf8(std::string& out, char32_t code_point);

// Decodes one UTF-8 character at text[pos], advancing pos. Returns the code
// point, or -1 for a malformed sequence (pos then advances by one byte).
long os_next_utf8(std::string_view text, std::size_t& pos);
