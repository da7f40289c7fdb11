#include "lib/window/strings.h"

#include <algorithm>
#include <cstring>

#include "lib/window/convert.h"
#include "lib/window/text.h"

void ilowercase(std::string& text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
}

void iuppercase(std::string& text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
}

void ilocatestring(std::string_view text, int& first, int& last) {
    first = 0;
    last = 0;
    const std::size_t f = text.find_first_not_of(' ');
    if (f == std::string_view::npos) return;
    const std::size_t blank = text.find(' ', f);
    first = static_cast<int>(f + 1);
    last = static_cast<int>(blank == std::string_view::npos ? text.size() : blank);
}

int ilocatechar(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != ' ' && text[i] != '\0') return static_cast<int>(i + 1);
    return 0;
}

namespace {

// The letter occurs in the option in either case.
bool has_option(std::string_view option, char capital) {
    const char small = static_cast<char>(capital + 32);
    return option.find(capital) != std::string_view::npos || option.find(small) != std::string_view::npos;
}

}  // namespace

void ijustifystring(std::string& text, std::string_view option) {
    const auto L = static_cast<long>(text.size());
    const auto n = static_cast<long>(txt_len(text));
    if (n == 0) return;
    const long f = ilocatechar(text);
    if (f == 0) return;   // nothing but blanks and NULs before the end: nothing to move
    const long w = n - f + 1;
    if (w == L) return;

    long target;
    if (has_option(option, 'L')) {
        if (f == 1) return;
        target = 1;
    } else if (has_option(option, 'R')) {
        if (n == L) return;
        target = L - w + 1;
    } else {
        target = (L - w) / 2 + 1;
    }
    if (target == f) return;
    // Copy one character at a time in the direction that never overwrites a
    // character still to be moved; each source becomes a blank first.
    auto at = [&](long pos) -> char& { return text[static_cast<std::size_t>(pos - 1)]; };
    if (target < f) {
        for (long i = 0; i < w; ++i) {
            const char c = at(f + i);
            at(f + i) = ' ';
            at(target + i) = c;
        }
    } else {
        for (long i = w - 1; i >= 0; --i) {
            const char c = at(f + i);
            at(f + i) = ' ';
            at(target + i) = c;
        }
    }
}

int indexnocase(std::string_view text, std::string_view sub, bool back) {
    if (sub.empty()) return back ? static_cast<int>(text.size()) + 1 : 1;
    if (text.size() < sub.size()) return 0;
    std::string t(text);
    std::string s(sub);
    iuppercase(t);
    iuppercase(s);
    const std::size_t pos = back ? t.rfind(s) : t.find(s);
    return pos == std::string::npos ? 0 : static_cast<int>(pos + 1);
}

int yyichar(std::string_view text) { return text.empty() ? 0 : static_cast<unsigned char>(text[0]); }

namespace {

// Positions (0-based, half-open) of the line's first word; a blank line
// gives its first position, a single blank.
void take_word(std::string& line, std::string& word) {
    int first = 0;
    int last = 0;
    ilocatestring(line, first, last);
    if (first == 0) {
        word.assign(1, ' ');
        if (!line.empty()) line[0] = ' ';
        return;
    }
    const auto b = static_cast<std::size_t>(first - 1);
    const auto e = static_cast<std::size_t>(last);
    word = line.substr(b, e - b);
    std::fill(line.begin() + static_cast<std::ptrdiff_t>(b), line.begin() + static_cast<std::ptrdiff_t>(e), ' ');
}

}  // namespace

void inextstring(std::string& line, std::string& word) {
    std::string w;
    take_word(line, w);
    txt_set(word, w);
}

void inextinteger(std::string& line, int& value) {
    std::string w;
    take_word(line, w);
    IStringToInteger(w, value);
}

void inextreal(std::string& line, float& value) {
    std::string w;
    take_word(line, w);
    IStringToReal(w, value);
}

void inextdouble(std::string& line, double& value) {
    std::string w;
    take_word(line, w);
    istringtodouble(w, value);
}

int yystrlen(const char* text) {
    if (!text) return 0;
    return static_cast<int>(txt_len(std::string_view(text)));
}

int yysubstrlen(const char* text) {
    if (!text) return 0;
    int n = 0;
    while (text[n] != '\0' && text[n] != ' ') ++n;
    return n;
}

void yystrctof(const char* source, char* dest, int length) {
    if (!dest || length <= 0) return;
    const auto L = static_cast<std::size_t>(length);
    const std::size_t n = source ? strnlen(source, L) : 0;
    if (n) std::memcpy(dest, source, n);
    std::memset(dest + n, ' ', L - n);
}

void yystrctof(const char* source, std::string& dest) {
    if (dest.empty()) return;
    yystrctof(source, dest.data(), static_cast<int>(dest.size()));
}
