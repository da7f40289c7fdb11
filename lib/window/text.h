#pragma once
// Fixed-length texts. An input text is a string_view whose trailing blanks do
// not count; an output text is a std::string whose size is the caller's
// declared length and which a routine fills blank-padded or cut to that size.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

// Length without trailing blanks (the significant length).
inline std::size_t txt_len(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return n;
}

// The text without trailing blanks.
inline std::string_view txt_trim(std::string_view s) { return s.substr(0, txt_len(s)); }

// The text up to its first NUL (a NUL-terminated text inside a fixed one).
inline std::string_view txt_until_nul(std::string_view s) { return s.substr(0, s.find('\0')); }

// True when the text holds nothing but blanks.
inline bool txt_blank(std::string_view s) { return txt_len(s) == 0; }

// Fill an output text: the value, blank-padded or cut to out.size().
inline void txt_set(std::string& out, std::string_view value) {
    const std::size_t n = std::min(out.size(), value.size());
    std::copy_n(value.data(), n, out.begin());
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(n), out.end(), ' ');
}

// A new text of the given declared length holding the value.
inline std::string txt_fixed(std::string_view value, std::size_t length) {
    std::string s(length, ' ');
    txt_set(s, value);
    return s;
}

// The trimmed text as an owned string, for handing to the platform layer,
// which takes texts without padding (its NUL-terminated texts).
inline std::string txt_c(std::string_view s) { return std::string(txt_trim(s)); }
