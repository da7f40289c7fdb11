#pragma once
// Number-to-text writing for scale labels, under the library's edit
// descriptors: "(Fw.d)", "(1PEw.d)", "(Ew.d)", "(Iw)", "(Iw.m)". The field is
// written right-aligned at the start of the text and the rest is blank; a
// value that does not fit its field gives w asterisks. A format that cannot
// be applied (not one of these, or a field longer than the text) fills the
// text with ten asterisks and reports error 18 under the routine's name, as
// the library's conversions do; so does a value that did not fit.
#include <cstdint>
#include <string>
#include <string_view>

void pg_real_to_string(float value, std::string& text, std::string_view format);
void pg_integer_to_string(std::int32_t value, std::string& text, std::string_view format);
// 1-based positions of the first and last non-blank character; 0, 0 when blank.
void pg_locate_string(std::string_view text, std::int32_t& first, std::int32_t& last);
