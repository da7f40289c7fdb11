#include "platform/os_codepage.h"

#include <array>

namespace {

// Code points of the bytes 0x80..0x9F.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

}  // namespace

char32_t os_cp1252_to_unicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHigh[byte - 0x80];
    return byte;
}

int os_unicode_to_cp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
    return -1;
}

void os_append_utf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

long os_next_utf8(std::string_view s, std::size_t& pos) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b = at(pos);
    int extra;
    char32_t cp;
    char32_t min;
    if (b < 0x80) {
        ++pos;
        return b;
    } else if (b >= 0xC2 && b <= 0xDF) {
        extra = 1, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        extra = 2, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        extra = 3, cp = b & 0x07, min = 0x10000;
    } else {
        ++pos;
        return -1;
    }
    if (pos + static_cast<std::size_t>(extra) >= s.size()) {  // cut short
        ++pos;
        return -1;
    }
    for (int i = 1; i <= extra; ++i) {
        const unsigned char c = at(pos + static_cast<std::size_t>(i));
        if ((c & 0xC0) != 0x80) {
            ++pos;
            return -1;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are malformed.
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return -1;
    }
    pos += static_cast<std::size_t>(extra) + 1;
    return static_cast<long>(cp);
}

std::string os_cp1252_to_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) os_append_utf8(out, os_cp1252_to_unicode(static_cast<unsigned char>(c)));
    return out;
}

std::string os_utf8_to_cp1252(std::string_view text, char replacement) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const long cp = os_next_utf8(text, pos);
        const int byte = cp < 0 ? -1 : os_unicode_to_cp1252(static_cast<char32_t>(cp));
        out.push_back(byte < 0 ? replacement : static_cast<char>(byte));
    }
    return out;
}
