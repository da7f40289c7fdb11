#include "lib/window/fmtwrite.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Descriptor {
    char kind = 0;      // 'I', 'F', 'E' or 'G'
    int w = 0;
    int d = -1;         // digits after the point (I: minimum digits m)
    int e = -1;         // exponent digits; -1 absent
    int scale = 0;      // kP
};

constexpr int MaxFieldNumber = 100000;

bool read_number(const std::string& s, std::size_t& i, int& out) {
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
    long v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        v = v * 10 + (s[i] - '0');
        if (v > MaxFieldNumber) return false;
        ++i;
    }
    out = static_cast<int>(v);
    return true;
}

// Blanks inside a format do not count and letters count in either case.
bool parse(std::string_view format, Descriptor& desc) {
    std::string s;
    for (char c : format) {
        if (c == ' ') continue;
        s += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    if (s.size() < 3 || s.front() != '(' || s.back() != ')') return false;
    s = s.substr(1, s.size() - 2);
    std::size_t i = 0;

    // Optional scale factor: [sign] digits P [,]
    {
        std::size_t j = i;
        int sign = 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) sign = s[j++] == '-' ? -1 : 1;
        int k = 0;
        if (read_number(s, j, k) && j < s.size() && s[j] == 'P') {
            desc.scale = sign * k;
            i = j + 1;
            if (i < s.size() && s[i] == ',') ++i;
        }
    }
    if (i >= s.size()) return false;
    desc.kind = s[i++];
    if (desc.kind != 'I' && desc.kind != 'F' && desc.kind != 'E' && desc.kind != 'G') return false;
    if (!read_number(s, i, desc.w)) return false;
    if (i < s.size() && s[i] == '.') {
        ++i;
        if (!read_number(s, i, desc.d)) return false;
    }
    if (i < s.size() && s[i] == 'E' && (desc.kind == 'E' || desc.kind == 'G')) {
        ++i;
        if (!read_number(s, i, desc.e) || desc.e == 0) return false;
    }
    if (i != s.size()) return false;
    if (desc.kind != 'I' && desc.d < 0) return false;
    if ((desc.kind == 'E' || desc.kind == 'G') && desc.w == 0) return false;
    return true;
}

// a = 0.digits x 10^exp10 (digits may be empty: zero).
struct Decimal {
    std::string digits;
    int exp10 = 0;
    // The digit that stands for 10^q.
    char at(int q) const {
        const int idx = exp10 - 1 - q;
        return (idx >= 0 && idx < static_cast<int>(digits.size())) ? digits[static_cast<std::size_t>(idx)] : '0';
    }
    bool zero() const { return digits.find_first_not_of('0') == std::string::npos; }
};

// Scientific digits of a > 0: d0.d1d2... x 10^x with p digits after the point.
struct Sci {
    std::string digits;
    int x = 0;
};

Sci scientific(double a, int p) {
    std::vector<char> buf(static_cast<std::size_t>(p) + 40);
    std::snprintf(buf.data(), buf.size(), "%.*e", p, a);
    Sci s;
    const char* b = buf.data();
    s.digits.push_back(b[0]);
    const char* q = b + 1;
    if (*q == '.') ++q;
    while (*q >= '0' && *q <= '9') s.digits.push_back(*q++);
    if (*q == 'e') s.x = std::atoi(q + 1);
    return s;
}

// Keeps n >= 0 significant digits of s, rounding halves away from zero.
Decimal round_digits(const Sci& s, int n) {
    Decimal r;
    r.exp10 = s.x + 1;
    if (n < 0) return Decimal{};
    const bool up = s.digits[static_cast<std::size_t>(n)] >= '5';
    r.digits = s.digits.substr(0, static_cast<std::size_t>(n));
    if (up) {
        int i = n - 1;
        while (i >= 0 && r.digits[static_cast<std::size_t>(i)] == '9') r.digits[static_cast<std::size_t>(i--)] = '0';
        if (i >= 0) {
            ++r.digits[static_cast<std::size_t>(i)];
        } else {
            r.digits.insert(r.digits.begin(), '1');
            r.digits.pop_back();
            if (n == 0) r.digits.assign(1, '1');
            ++r.exp10;
        }
    }
    return r;
}

// Digits printed at a precision past the rounding digit are themselves
// rounded; only "5" followed by nothing but zeros can hide a value just
// below the half, so that case is printed again exactly.
bool looks_like_half(const Sci& s, int n) {
    if (n < 0 || static_cast<std::size_t>(n) >= s.digits.size() || s.digits[static_cast<std::size_t>(n)] != '5') return false;
    return s.digits.find_first_not_of('0', static_cast<std::size_t>(n) + 1) == std::string::npos;
}

constexpr int ExactPrecision = 800;   // every double's expansion is shorter

// The precision at which a > 0, of decimal exponent x, prints exactly: as
// m x 2^e with m odd it has at most x - e digits after its leading one
// (x when it is a whole number). Most values need far fewer than 800.
int exact_precision(double a, int x, int at_least) {
    int k = 0;
    const double f = std::frexp(a, &k);
    auto m = static_cast<std::uint64_t>(std::ldexp(f, 53));
    int e = k - 53;
    if (m == 0) return std::max(ExactPrecision, at_least);
    while (!(m & 1)) {
        m >>= 1;
        ++e;
    }
    return std::max(at_least, std::min(ExactPrecision, x - std::min(e, 0)));
}

// a > 0 rounded to n >= 1 significant digits.
Decimal round_significant(double a, int n) {
    Sci s = scientific(a, n + 24);
    if (looks_like_half(s, n)) s = scientific(a, exact_precision(a, s.x, n + 24));
    return round_digits(s, n);
}

// a > 0 rounded to `places` digits after the point.
Decimal round_places(double a, int places) {
    Sci s = scientific(a, 40);
    int n = s.x + 1 + places;
    if (n + 24 > 40) {
        s = scientific(a, std::max(n + 24, 0));
        n = s.x + 1 + places;
    }
    if (n < 0) return Decimal{};
    if (looks_like_half(s, n)) {
        s = scientific(a, exact_precision(a, s.x, n + 24));
        n = s.x + 1 + places;
    }
    return round_digits(s, n);
}

std::string stars(int w) { return std::string(static_cast<std::size_t>(std::max(w, 0)), '*'); }

std::string right(const std::string& s, int w) {
    if (w == 0) return s;
    if (static_cast<int>(s.size()) > w) return stars(w);
    return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

std::string edit_integer(std::int64_t v, int w, int m) {
    if (m == 0 && v == 0) return std::string(static_cast<std::size_t>(std::max(w, 1)), ' ');
    std::string digits = std::to_string(v < 0 ? -static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v));
    if (m > 0 && static_cast<int>(digits.size()) < m) digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
    if (v < 0) digits.insert(0, 1, '-');
    return right(digits, w);
}

std::string edit_special(double v, int w) {
    std::string s;
    if (std::isnan(v)) {
        s = "NaN";
    } else {
        const bool neg = v < 0;
        const int room = w - (neg ? 1 : 0);
        s = (w == 0 || room >= 8) ? "Infinity" : "Inf";
        if (neg) s.insert(0, 1, '-');
    }
    return right(s, w);
}

std::string edit_fixed(double v, int w, int d, int scale) {
    if (!std::isfinite(v)) return edit_special(v, w);
    const double a = std::fabs(v);
    Decimal r = a == 0 ? Decimal{} : round_places(a, d + scale);
    r.exp10 += scale;
    std::string ip;
    for (int q = r.exp10 - 1; q >= 0; --q) ip += r.at(q);
    std::string fp;
    for (int q = -1; q >= -d; --q) fp += r.at(q);
    const bool neg = v < 0 && !r.zero();
    std::string body = ip + "." + fp;
    if (neg) body.insert(0, 1, '-');
    if (!ip.empty()) return right(body, w);
    // The zero before the point is written when there is room for it, and
    // always when it would be the only digit.
    std::string with_zero = (neg ? "-0." : "0.") + fp;
    if (w == 0 || static_cast<int>(with_zero.size()) <= w || d == 0) return right(with_zero, w);
    return right(body, w);
}

std::string edit_exponent(double v, int w, int d, int e, int k) {
    if (!std::isfinite(v)) return edit_special(v, w);
    const int n = k > 0 ? d + 1 : d + k;   // significant digits
    const double a = std::fabs(v);
    Decimal r;
    if (a == 0) {
        r.digits.assign(static_cast<std::size_t>(n), '0');
        r.exp10 = k;   // printed exponent 0
    } else {
        r = round_significant(a, n);
    }
    const int ex = r.exp10 - k;
    std::string mant;
    if (k > 0) {
        mant = r.digits.substr(0, static_cast<std::size_t>(k)) + "." + r.digits.substr(static_cast<std::size_t>(k));
    } else {
        mant.assign(1, '.');
        mant.append(static_cast<std::size_t>(-k), '0');
        mant.append(r.digits);
    }
    const unsigned mag = static_cast<unsigned>(std::abs(ex));
    std::string expo;
    const char sign = ex < 0 ? '-' : '+';
    if (e < 0) {
        if (mag <= 99) {
            char b[8];
            std::snprintf(b, sizeof b, "E%c%02u", sign, mag);
            expo = b;
        } else if (mag <= 999) {
            char b[8];
            std::snprintf(b, sizeof b, "%c%03u", sign, mag);
            expo = b;
        } else {
            return stars(w);
        }
    } else {
        std::string dg = std::to_string(mag);
        if (static_cast<int>(dg.size()) > e) return stars(w);
        expo = std::string("E") + sign + std::string(static_cast<std::size_t>(e) - dg.size(), '0') + dg;
    }
    const bool neg = v < 0 && !r.zero();
    const std::string sg = neg ? "-" : "";
    if (k <= 0) {
        const std::string with_zero = sg + "0" + mant + expo;
        if (static_cast<int>(with_zero.size()) <= w) return right(with_zero, w);
    }
    return right(sg + mant + expo, w);
}

bool scale_allowed(int k, int d) { return k <= 0 ? -d < k : k < d + 2; }

std::string edit_general(double v, int w, int d, int e, int k, bool& ok) {
    ok = true;
    if (!std::isfinite(v)) return edit_special(v, w);
    const int blanks = e < 0 ? 4 : e + 2;
    const double a = std::fabs(v);
    int s = 0;
    if (a == 0) {
        s = 1;   // written as F(w-n).(d-1)
    } else {
        s = round_significant(a, d).exp10;
    }
    if (s >= 0 && s <= d) {
        const int fw = w - blanks;
        if (fw <= 0) return stars(w);
        const std::string f = edit_fixed(v, fw, d - s, 0);
        if (f.find('*') != std::string::npos) return stars(w);
        return f + std::string(static_cast<std::size_t>(blanks), ' ');
    }
    if (!scale_allowed(k, d)) {
        ok = false;
        return {};
    }
    return edit_exponent(v, w, d, e, k);
}

int put(std::string& text, const std::string& field) {
    if (field.size() > text.size()) return FormatWriteOverflow;
    std::fill(text.begin(), text.end(), ' ');
    std::copy(field.begin(), field.end(), text.begin());
    return FormatWriteOk;
}

}  // namespace

int yyfmtwriteint(std::int64_t value, std::string& text, std::string_view format) {
    Descriptor desc;
    if (!parse(format, desc)) return FormatWriteSyntax;
    if (desc.kind != 'I' && desc.kind != 'G') return FormatWriteTypeMismatch;
    const int m = desc.kind == 'I' ? desc.d : -1;
    if (desc.w > 0 && m > desc.w) return FormatWriteSyntax;
    if (desc.w > static_cast<int>(text.size())) return FormatWriteOverflow;
    return put(text, edit_integer(value, desc.w, m));
}

int yyfmtwritereal(double value, std::string& text, std::string_view format) {
    Descriptor desc;
    if (!parse(format, desc)) return FormatWriteSyntax;
    if (desc.kind == 'I') return FormatWriteTypeMismatch;
    if (desc.w > static_cast<int>(text.size())) return FormatWriteOverflow;
    std::string field;
    switch (desc.kind) {
        case 'F':
            field = edit_fixed(value, desc.w, desc.d, desc.scale);
            break;
        case 'E':
            if (!scale_allowed(desc.scale, desc.d)) return FormatWriteSyntax;
            field = edit_exponent(value, desc.w, desc.d, desc.e, desc.scale);
            break;
        default: {
            if (desc.d == 0) return FormatWriteSyntax;
            bool ok = true;
            field = edit_general(value, desc.w, desc.d, desc.e, desc.scale, ok);
            if (!ok) return FormatWriteSyntax;
            break;
        }
    }
    return put(text, field);
}
