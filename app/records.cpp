#include "app/records.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <charconv>
#include <ctime>
#include <optional>
#include <system_error>
#include <type_traits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "app/editfast.h"
#include "lib/window/text.h"
#include "platform/os_app.h"
#include "platform/os_codepage.h"
#include "platform/os_config.h"
#include "platform/os_error.h"
#include "platform/os_file.h"

namespace {

std::string stars(int w) { return std::string(static_cast<std::size_t>(std::max(w, 0)), '*'); }

std::string right(std::string s, int w) {
    if (static_cast<int>(s.size()) > w) return stars(w);
    s.insert(0, static_cast<std::size_t>(w) - s.size(), ' ');
    return s;
}

// NaN and infinities, in the words readers of these files know.
std::string special(double v, int w) {
    std::string s;
    if (std::isnan(v)) {
        s = "NaN";
    } else {
        s = w >= (v < 0 ? 9 : 8) ? "Infinity" : "Inf";
        if (v < 0) s = std::string(1, '-') + s;
    }
    return right(s, w);
}

// printf's "%.*f" or "%.*e" text of v; to_chars gives the same characters
// without printf's cost, which the large output files feel.
std::string printf_text(const char* fmt, int prec, double v) {
    const std::chars_format f = fmt[3] == 'e' ? std::chars_format::scientific : std::chars_format::fixed;
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, f, prec);
    if (r.ec == std::errc()) return std::string(buf, r.ptr);
    const int n = std::snprintf(nullptr, 0, fmt, prec, v);
    std::string s(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) std::snprintf(s.data(), s.size() + 1, fmt, prec, v);
    return s;
}

// The decimal exponent X of |v| rounded to p significant digits (v = a.bc.. 10^X),
// and those p digits.
void rounded_digits(double v, int p, std::string& digits, int& x) {
    const std::string s = printf_text("%.*e", p - 1, std::fabs(v));
    const std::size_t epos = s.find('e');
    digits.clear();
    for (std::size_t i = 0; i < epos; ++i)
        if (s[i] != '.') digits += s[i];
    x = std::atoi(s.c_str() + epos + 1);
}

}  // namespace

// ---- output descriptors ----

std::string edit_i(long long v, int w, int m) {
    if (w <= 0) return std::string();
    const unsigned long long mag = v < 0 ? 0ULL - static_cast<unsigned long long>(v)
                                         : static_cast<unsigned long long>(v);
    std::string digits = std::to_string(mag);
    if (m == 0 && v == 0) digits.clear();
    if (m > 0 && static_cast<int>(digits.size()) < m)
        digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
    if (v < 0) digits = std::string(1, '-') + digits;
    return right(digits, w);
}

std::string edit_f(double v, int w, int d) {
    if (w <= 0) return std::string();
    if (d < 0) return stars(w);
    if (!std::isfinite(v)) return special(v, w);
    const std::string s = printf_text("%.*f", d, std::fabs(v));
    const std::size_t dot = s.find('.');
    const std::string ip = dot == std::string::npos ? s : s.substr(0, dot);
    const std::string fp = dot == std::string::npos ? std::string() : s.substr(dot + 1);
    // A value that rounds to zero is written without a sign.
    const bool neg = std::signbit(v) && s.find_first_of("123456789") != std::string::npos;
    const std::string sign = neg ? "-" : "";
    std::string out = sign + ip + "." + fp;
    if (static_cast<int>(out.size()) > w && ip == "0") out = sign + "." + fp;
    return right(out, w);
}

std::string edit_e(double v, int w, int d, int e) {
    if (w <= 0) return std::string();
    if (d <= 0) return stars(w);
    if (!std::isfinite(v)) return special(v, w);
    std::string digits;
    int x = 0;
    if (v == 0) {
        digits.assign(static_cast<std::size_t>(d), '0');
    } else {
        rounded_digits(v, d, digits, x);
        x += 1;   // 0.ddd form
    }
    const int ax = std::abs(x);
    const char esign = x < 0 ? '-' : '+';
    std::string ex;
    if (e > 0) {
        std::string xd = std::to_string(ax);
        if (static_cast<int>(xd.size()) > e) return stars(w);
        xd.insert(0, static_cast<std::size_t>(e) - xd.size(), '0');
        ex = std::string("E") + esign + xd;
    } else if (ax <= 99) {
        ex = std::string("E") + esign + (ax < 10 ? "0" : "") + std::to_string(ax);
    } else if (ax <= 999) {
        ex = std::string(1, esign) + std::to_string(ax);
    } else {
        return stars(w);
    }
    const std::string sign = (v < 0) ? "-" : "";
    std::string out = sign + "0." + digits + ex;
    if (static_cast<int>(out.size()) > w) out = sign + "." + digits + ex;
    return right(out, w);
}

std::string edit_g(double v, int w, int d, int e) {
    if (w <= 0) return std::string();
    if (d <= 0) return stars(w);
    if (!std::isfinite(v)) return special(v, w);
    const int n = e > 0 ? e + 2 : 4;
    const std::string pad(static_cast<std::size_t>(n), ' ');
    if (w - n <= 0) return edit_e(v, w, d, e);
    if (v == 0) {
        const std::string f = edit_f(0.0, w - n, d - 1);
        return f[0] == '*' ? stars(w) : f + pad;
    }
    std::string digits;
    int x = 0;
    rounded_digits(v, d, digits, x);
    if (x >= -1 && x <= d - 1) {
        const int k = x + 1;   // digits before the decimal point
        const std::string f = edit_f(v, w - n, d - k);
        return f[0] == '*' ? stars(w) : f + pad;
    }
    return edit_e(v, w, d, e);
}

namespace {

// Significant digits of the shortest text that reads back as v (finite);
// 0 for an infinity or a NaN.
int shortest_digits(float v) {
    if (!std::isfinite(v)) return 0;
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    int n = 0;
    for (const char* c = buf; c < r.ptr && *c != 'e'; ++c) n += *c >= '0' && *c <= '9';
    return n;
}

// v rounded to p significant digits reads back as v: what reading the Gw.p
// text of v gives, when that text holds its digits (no asterisks), without
// the text. Both readings round correctly; a text beyond the single range
// reads as no value.
bool reads_back(float v, int p) {
    if (!std::isfinite(v)) return false;
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::scientific, p - 1);
    float back = 0;
    const auto got = std::from_chars(buf, r.ptr, back, std::chars_format::scientific);
    return got.ec == std::errc() && back == v;
}

}  // namespace

std::string edit_g_exact(float v, int w, int d) {
    // Good: no asterisks, a blank before the digits (so that fields read by
    // words stay apart), and the value itself read back.
    std::string s;
    const auto good = [v, &s](int width, int p) {
        s.clear();
        append_g(s, v, width, p);
        return !s.empty() && s[0] == ' ' && s.find('*') == std::string::npos && reads_back(v, p);
    };
    // Fewer significant digits than the shortest text that reads back as v
    // never read back as v: the search starts at that many, a single try for
    // nearly every value. The texts tried from there are those of a search
    // from d digits up.
    const int first = std::max(d, shortest_digits(v));
    if (good(w, first)) return s;
    for (int p = first; p <= 9; ++p) {
        if (p > first && good(w, p)) return s;
        // The digits do not fit the field: widened just enough (a field
        // that needs no widening has just failed).
        if (p > d && p + 8 > w && good(p + 8, p)) return s;
    }
    return s;
}

std::string edit_a(std::string_view t, int w) {
    if (w <= 0) return std::string(t);
    if (static_cast<int>(t.size()) >= w) return std::string(t.substr(0, static_cast<std::size_t>(w)));
    return std::string(static_cast<std::size_t>(w) - t.size(), ' ') + std::string(t);
}

// ---- input conversion ----

bool read_i(std::string_view field, std::int32_t& v) {
    // The common case, an optional minus and up to nine digits, directly.
    if (!field.empty() && field.size() <= 10) {
        const bool neg = field[0] == '-';
        const std::size_t p = neg ? 1 : 0;
        if (p < field.size() && field.size() - p <= 9) {
            std::int32_t acc = 0;
            std::size_t q = p;
            for (; q < field.size() && field[q] >= '0' && field[q] <= '9'; ++q) acc = acc * 10 + (field[q] - '0');
            if (q == field.size()) {
                v = neg ? -acc : acc;
                return true;
            }
        }
    }
    std::string s;
    for (char c : field)
        if (c != ' ') s += c;
    if (s.empty()) {
        v = 0;
        return true;
    }
    std::size_t p = 0;
    bool neg = false;
    if (s[0] == '+' || s[0] == '-') {
        neg = s[0] == '-';
        p = 1;
    }
    if (p >= s.size()) return false;
    long long acc = 0;
    for (; p < s.size(); ++p) {
        if (s[p] < '0' || s[p] > '9') return false;
        acc = acc * 10 + (s[p] - '0');
        if (acc > 2147483648LL) return false;
    }
    if (neg) acc = -acc;
    if (acc > 2147483647LL || acc < -2147483648LL) return false;
    v = static_cast<std::int32_t>(acc);
    return true;
}

namespace {

// The field as digits with a decimal exponent ("12345e-2"), or nothing when it
// is not a number. Blanks are ignored; no point means d implied decimals.
std::optional<std::string> normal_real(std::string_view field, int d) {
    std::string s;
    for (char c : field)
        if (c != ' ') s += c;
    if (s.empty()) return std::string("0");
    std::size_t p = 0;
    std::string out;
    if (s[p] == '+' || s[p] == '-') out += s[p++];
    std::string mant;
    int frac = 0;
    bool point = false;
    for (; p < s.size(); ++p) {
        const char c = s[p];
        if (c >= '0' && c <= '9') {
            mant += c;
            if (point) ++frac;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (mant.empty()) return std::nullopt;
    long long ex = 0;
    if (p < s.size()) {
        const char c = s[p];
        if (c == 'E' || c == 'e' || c == 'D' || c == 'd' || c == 'Q' || c == 'q') ++p;
        else if (c != '+' && c != '-') return std::nullopt;
        bool eneg = false;
        if (p < s.size() && (s[p] == '+' || s[p] == '-')) eneg = s[p++] == '-';
        if (p >= s.size()) return std::nullopt;
        for (; p < s.size(); ++p) {
            if (s[p] < '0' || s[p] > '9') return std::nullopt;
            if (ex < 100000) ex = ex * 10 + (s[p] - '0');
        }
        if (eneg) ex = -ex;
    }
    if (!point) frac = d;
    out += mant;
    out += 'e';
    out += std::to_string(ex - frac);
    return out;
}

}  // namespace

namespace {

// The parts of "[-]digits[.digits]" at the start of text, the digits
// gathered into their integer value while they are scanned (one pass over
// the characters): false when text does not start with one of at most 19
// digits; end is where it stops.
struct DecimalParts {
    bool neg = false;
    std::uint64_t m = 0;   // the digits as one integer, the point left out
    int nfrac = 0;         // digits after the point
    const char* end = nullptr;
};

// The digits from c on into m (wrapping past 19 digits; such texts are
// refused by the caller); where they stop.
[[gnu::always_inline]] inline const char* digit_run(const char* c, const char* const end, std::uint64_t& m) {
    for (; c < end; ++c) {
        const unsigned digit = static_cast<unsigned>(*c - '0');
        if (digit > 9) break;
        m = m * 10 + digit;
    }
    return c;
}

[[gnu::always_inline]] inline bool decimal_parts(const char* c, const char* const end, DecimalParts& d) {
    d.neg = c < end && *c == '-';
    if (d.neg) ++c;
    const char* const first = c;
    std::uint64_t m = 0;
    c = digit_run(c, end, m);
    int digits = static_cast<int>(c - first);
    d.nfrac = 0;
    if (c < end && *c == '.') {
        const char* const frac = ++c;
        c = digit_run(c, end, m);
        d.nfrac = static_cast<int>(c - frac);
        digits += d.nfrac;
    }
    d.m = m;
    d.end = c;
    // At most 19 digits in all, so that their value cannot overflow.
    return digits > 0 && digits <= 19;
}

// q, a double within a few double steps (up to margin) of the exact value x
// of a decimal, rounded to single precision: the nearest float to x, unless
// q lies within margin steps of a point halfway between two floats (its 29
// bits dropped near 2^28), where x may lie on the other side: false.
[[gnu::always_inline]] inline bool single_near(double q, std::uint64_t margin, float& f) {
    std::uint64_t bits;
    std::memcpy(&bits, &q, sizeof bits);
    const std::uint64_t dropped = bits & ((std::uint64_t{1} << 29) - 1);
    constexpr std::uint64_t half = std::uint64_t{1} << 28;
    if (dropped - (half - margin) <= 2 * margin) return false;
    f = static_cast<float>(q);
    return true;
}

// A decimal "[-]digits[.digits]" (at least one digit, no exponent) as the
// nearest single-precision value, exactly what from_chars gives, for the
// values that need no more than a division of exact operands: false for every
// other field. Up to 2^24 over 10^k (k <= 10) the operands are exact floats
// and the quotient is rounded once. Up to 2^53 over 10^k (k <= 22) the
// double quotient is rounded once (half a step from the exact one); those
// near a halfway point, and results outside the normal single range, are
// left to from_chars.
[[gnu::always_inline]] inline bool decimal_value(const DecimalParts& d, float& v) {
    const std::uint64_t m = d.m;
    const bool neg = d.neg;
    const int decimals = d.nfrac;
    if (m == 0) {
        v = neg ? -0.0f : 0.0f;
        return true;
    }
    static constexpr float p10f[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    static constexpr double p10d[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    float f;
    if (m <= (1u << 24) && decimals <= 10) {
        f = static_cast<float>(m) / p10f[decimals];
    } else if (m < (std::uint64_t{1} << 53) && decimals <= 22) {
        const double q = static_cast<double>(m) / p10d[decimals];
        if (!(q >= 0x1p-126 && q < 0x1p127) || !single_near(q, 1, f)) return false;
    } else {
        return false;
    }
    v = neg ? -f : f;
    return true;
}

bool decimal_float(std::string_view field, float& v) {
    DecimalParts d;
    return decimal_parts(field.data(), field.data() + field.size(), d) && d.end == field.data() + field.size() &&
           decimal_value(d, v);
}

// Digits of the first k (0..8) characters of the eight in x (the first in
// the lowest byte) as their integer value; the rest of x does not count.
[[gnu::always_inline]] inline std::uint64_t leading_digits(std::uint64_t x, int k) {
    // Shifted in two steps so that k = 0 (a shift by 64) clears it all.
    const int s = 32 - 4 * k;
    x = (x << s) << s;
    x = ((x & 0x0F0F0F0F0F0F0F0FULL) * 2561) >> 8;
    x = ((x & 0x00FF00FF00FF00FFULL) * 6553601) >> 16;
    return ((x & 0x0000FFFF0000FFFFULL) * 42949672960001ULL) >> 32;
}

[[gnu::always_inline]] inline std::uint64_t load8(const char* p) {
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    return x;
}

// Bit i set where character i of the 16 at p is a decimal digit.
[[gnu::always_inline]] inline unsigned digit_bits16(const char* p) {
#if defined(__SSE2__)
    const __m128i d = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi8('0'));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d)));
#else
    unsigned bits = 0;
    for (int i = 0; i < 16; ++i) bits |= static_cast<unsigned>(static_cast<unsigned char>(p[i] - '0') <= 9) << i;
    return bits;
#endif
}

// Bit i set where character i of the 64 at p separates free-format items
// (a blank, a tab or a comma).
[[gnu::always_inline]] inline std::uint64_t separator_bits64(const char* p) {
    std::uint64_t bits = 0;
#if defined(__SSE2__)
    for (int k = 0; k < 4; ++k) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const __m128i sep = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(c, _mm_set1_epi8(' ')),
                                                      _mm_cmpeq_epi8(c, _mm_set1_epi8('\t'))),
                                         _mm_cmpeq_epi8(c, _mm_set1_epi8(',')));
        bits |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(sep))) << (16 * k);
    }
#else
    for (int i = 0; i < 64; ++i)
        bits |= static_cast<std::uint64_t>(p[i] == ' ' || p[i] == '\t' || p[i] == ',') << i;
#endif
    return bits;
}

// A whole free-format item of len characters at p, "[-]digits[.digits]"
// with at most eight digits on either side, as the nearest float, exactly
// what from_chars gives: its digits and point found by one comparison of 16
// characters and each side's digits converted eight at a time, without a
// branch on how many there are. Reads 24 characters from p on, whatever
// they hold; false, having decided nothing, for any other item and where
// the value lies too near a point halfway between two floats.
[[gnu::always_inline]] inline bool item_float(const char* p, std::size_t len, float& v) {
    if (len > 16) return false;
    const unsigned neg = p[0] == '-';
    const unsigned in_item = (1u << len) - 1;
    // The characters other than digits and a leading minus: only the point.
    const unsigned rest = ~digit_bits16(p) & in_item & ~neg;
    if (rest & (rest - 1)) return false;
    const int pt = rest ? __builtin_ctz(rest) : static_cast<int>(len);
    if (rest && p[pt] != '.') return false;
    const int ni = pt - static_cast<int>(neg);
    const int nf = static_cast<int>(len) - pt - (rest ? 1 : 0);
    if (ni > 8 || nf > 8 || ni + nf == 0) return false;
    static constexpr std::uint64_t p10u[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    const std::uint64_t m = leading_digits(load8(p + neg), ni) * p10u[nf] + leading_digits(load8(p + pt + 1), nf);
    // m (at most 15 digits, exact in double precision) times the double
    // nearest 10^-nf: a multiplication instead of a division, within two
    // double steps of m / 10^nf (one rounding of the factor, one of the
    // product; four allowed), and within the normal single range (or 0,
    // which stays 0).
    static constexpr double p10inv[] = {1e0, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8};
    float f;
    if (!single_near(static_cast<double>(static_cast<std::int64_t>(m)) * p10inv[nf], 4, f)) return false;
    v = neg ? -f : f;
    return true;
}

// A whole free-format item of len characters at p, an optional minus and one
// to eight digits, as its value. Reads 16 characters from p on; false for
// any other item.
[[gnu::always_inline]] inline bool item_int(const char* p, std::size_t len, std::int32_t& v) {
    if (len > 9) return false;
    const unsigned neg = p[0] == '-';
    if ((~digit_bits16(p) & ((1u << len) - 1)) != neg) return false;
    const int nd = static_cast<int>(len - neg);
    if (nd == 0 || nd > 8) return false;
    const auto got = static_cast<std::int32_t>(leading_digits(load8(p + neg), nd));
    v = neg ? -got : got;
    return true;
}

// The common case, a plain number without blanks, implied decimals or the
// older exponent forms, converted directly; anything else goes the long way.
template <class T>
bool plain_real(std::string_view field, int d, T& v) {
    if (d != 0 || field.empty()) return false;
    if constexpr (std::is_same_v<T, float>)
        if (decimal_float(field, v)) return true;
    std::size_t p = field[0] == '-' ? 1 : 0;
    if (p >= field.size() || !((field[p] >= '0' && field[p] <= '9') || field[p] == '.')) return false;
    T got = 0;
    const auto res = std::from_chars(field.data(), field.data() + field.size(), got);
    if (res.ec != std::errc() || res.ptr != field.data() + field.size()) return false;
    v = got;
    return true;
}

template <class T>
bool any_real(std::string_view field, int d, T& v) {
    if (plain_real(field, d, v)) return true;
    const auto n = normal_real(field, d);
    if (!n) return false;
    T r;
    if constexpr (std::is_same_v<T, float>) r = std::strtof(n->c_str(), nullptr);
    else r = std::strtod(n->c_str(), nullptr);
    if (std::isinf(r)) return false;
    v = r;
    return true;
}

}  // namespace

bool read_f(std::string_view field, int d, double& v) { return any_real(field, d, v); }

bool read_f(std::string_view field, int d, float& v) { return any_real(field, d, v); }

// ---- TextIn ----

namespace {
std::string system_error_text(int err) { return std::error_code(err, std::generic_category()).message(); }
std::string larger_than(std::size_t max_bytes) { return "larger than " + std::to_string(max_bytes) + " bytes"; }
}  // namespace

bool TextIn::open(std::string_view name, std::size_t max_bytes) {
    *this = TextIn();
    name_ = txt_c(name);
    if (name_.empty()) {
        error_ = "no file named";
        return false;
    }
    // Not blocking: opening a FIFO without a writer would wait for one.
    const int fd = ::open(os_cp1252_to_utf8(name_).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error_ = system_error_text(errno);
        return false;
    }
    // A device or a FIFO can deliver without end; only regular files are texts.
    struct stat st {};
    const bool stated = ::fstat(fd, &st) == 0;
    if (!stated || !S_ISREG(st.st_mode) || static_cast<std::uintmax_t>(st.st_size) > max_bytes) {
        error_ = !stated                   ? system_error_text(errno)
                 : S_ISDIR(st.st_mode)     ? system_error_text(EISDIR)
                 : !S_ISREG(st.st_mode)    ? std::string("not a regular file")
                                           : larger_than(max_bytes);
        ::close(fd);
        return false;
    }
    // Read straight into a buffer of the file's size (a few more bytes are
    // taken as they come, should it grow meanwhile). The buffer is not
    // cleared first: every byte kept is one read.
    std::size_t have = 0, room = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 65536;
    OsLargeBuffer bytes = os_large_buffer(room + Slack);
    if (!bytes) error_ = system_error_text(ENOMEM);
    while (error_.empty()) {
        if (have == room) {
            OsLargeBuffer more = os_large_buffer(2 * room + Slack);
            if (!more) {
                error_ = system_error_text(ENOMEM);
                break;
            }
            std::memcpy(more.get(), bytes.get(), have);
            bytes = std::move(more);
            room *= 2;
        }
        const ssize_t got = ::read(fd, bytes.get() + have, room - have);
        if (got < 0) {
            if (errno == EINTR) continue;
            error_ = system_error_text(errno);
            break;
        }
        if (got == 0) break;
        // A file that grows while it is read still stops at the bound.
        if (static_cast<std::size_t>(got) > max_bytes - have) {
            error_ = larger_than(max_bytes);
            break;
        }
        have += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (!error_.empty()) return false;
    bytes_ = std::move(bytes);
    buf_ = std::string_view(bytes_.get(), have);
    open_ = true;
    return true;
}

void TextIn::open_text(std::string text, std::string name) {
    *this = TextIn();
    bytes_ = os_large_buffer(text.size() + Slack);
    std::memcpy(bytes_.get(), text.data(), text.size());
    buf_ = std::string_view(bytes_.get(), text.size());
    name_ = std::move(name);
    open_ = true;
}

bool TextIn::next_line(std::string_view& line) {
    if (pos_ >= buf_.size()) return false;
    const std::size_t nl = buf_.find('\n', pos_);
    std::size_t end = nl == std::string::npos ? buf_.size() : nl;
    const std::size_t start = pos_;
    pos_ = nl == std::string::npos ? buf_.size() : nl + 1;
    if (end > start && buf_[end - 1] == '\r') --end;
    line = buf_.substr(start, end - start);
    last_ = start;
    ++line_no_;
    return true;
}

void TextIn::back() {
    if (pos_ == 0) return;
    std::size_t q = pos_;
    if (buf_[q - 1] == '\n') --q;
    const std::size_t nl = q == 0 ? std::string::npos : buf_.rfind('\n', q - 1);
    pos_ = nl == std::string::npos ? 0 : nl + 1;
    if (line_no_ > 0) --line_no_;
}

void TextIn::rewind() {
    pos_ = 0;
    line_no_ = 0;
    last_ = std::string::npos;
}

// ---- TextOut ----

TextOut::~TextOut() { discard(); }

bool TextOut::create(std::string_view name) {
    discard();
    buf_.clear();
    failed_ = false;
    finished_ = false;
    in_memory_ = false;
    error_.clear();
    name_ = txt_c(name);
    if (name_.empty()) {
        error_ = "no file named";
        return false;
    }
    // The platform's save: through a link to its target, keeping the
    // target's mode, refusing a device or anything else not a regular file.
    if (const int rc = os_file_save_begin(name_, tmp_, handle_); rc != OS_OK) {
        error_ = os_error_reason(rc);
        tmp_.clear();
        handle_ = -1;
        return false;
    }
    // Room for what is pending and the record that passes the mark.
    buf_.reserve(FlushBytes + FlushBytes / 2);
    open_ = true;
    return true;
}

void TextOut::memory() {
    discard();
    buf_.clear();
    name_ = "(memory)";
    failed_ = false;
    in_memory_ = true;
    open_ = true;
}

void TextOut::line(std::string_view text) {
    if (!open_) return;
    buf_.append(text);
    buf_.append("\r\n");
    appended();
}

void TextOut::appended() {
    if (!in_memory_ && buf_.size() >= FlushBytes) flush_some();
}

void TextOut::flush_some() {
    std::size_t done = 0;
    while (done < buf_.size() && !failed_) {
        const auto chunk = static_cast<std::int32_t>(std::min<std::size_t>(buf_.size() - done, 1u << 30));
        std::int32_t put = 0;
        if (const int rc = os_file_write(handle_, buf_.data() + done, chunk, put); rc != OS_OK || put <= 0) {
            error_ = os_error_reason(rc != OS_OK ? rc : OS_ERROR_GEN_FAILURE);
            failed_ = true;
            break;
        }
        done += static_cast<std::size_t>(put);
    }
    buf_.clear();
}

bool TextOut::finish() {
    if (finished_) return true;
    if (!open_) return false;
    if (in_memory_) return true;
    open_ = false;
    flush_some();
    if (failed_) {
        discard();
        return false;
    }
    const int rc = os_file_save_finish(handle_, tmp_);
    handle_ = -1;
    if (rc != OS_OK) {
        error_ = os_error_reason(rc);
        tmp_.clear();
        return false;
    }
    finished_ = true;
    return true;
}

bool TextOut::commit() {
    if (in_memory_) return open_;
    if (!finish()) return false;
    finished_ = false;
    const int rc = os_file_save_rename(tmp_, name_);
    tmp_.clear();
    if (rc != OS_OK) error_ = os_error_reason(rc);
    return rc == OS_OK;
}

bool commit_outputs(std::initializer_list<TextOut*> outs) {
    for (TextOut* o : outs)
        if (!o->finish()) {
            app_io_error("cannot write", *o);
            for (TextOut* d : outs) d->discard();
            return false;
        }
    for (TextOut* o : outs)
        if (!o->commit()) {
            app_io_error("cannot write", *o);
            for (TextOut* d : outs) d->discard();
            return false;
        }
    return true;
}

void TextOut::discard() {
    if (handle_ >= 0 || !tmp_.empty()) os_file_save_abandon(handle_, tmp_);
    handle_ = -1;
    tmp_.clear();
    open_ = false;
    finished_ = false;
}

// ---- formats ----

namespace {

// Bounds of a format: numbers (repeat counts, widths) above kMaxFormatNumber,
// expansions above kMaxFormatItems descriptors, groups nested deeper than
// kMaxFormatDepth and passes wider than kMaxFormatColumns make a format
// invalid. The program's own formats stay far
// below them; a format from a file cannot exhaust memory or the stack.
constexpr long long kMaxFormatNumber = 100000;
constexpr std::size_t kMaxFormatItems = 100000;
constexpr int kMaxFormatDepth = 32;
// The columns of one pass through a format (field widths and blanks): a line
// written in it stays within this many characters (texts aside).
constexpr long long kMaxFormatColumns = 1000000;

// One parser walks the text for every level; a group's descriptors are
// parsed into the end of `out` and then repeated in place.
struct FormatParser {
    std::string_view s;
    std::size_t p = 0;
    bool ok = true;
    std::vector<EditDesc> out;
    std::size_t last_group = 0;
    bool has_top_group = false;

    void skip() {
        while (p < s.size() && s[p] == ' ') ++p;
    }
    bool number(int& v) {
        skip();
        if (p >= s.size() || s[p] < '0' || s[p] > '9') return false;
        long long acc = 0;
        while (p < s.size() && s[p] >= '0' && s[p] <= '9') {
            // Past the bound the value is bad; the digits are still consumed.
            if (acc <= kMaxFormatNumber) acc = acc * 10 + (s[p] - '0');
            ++p;
        }
        if (acc > kMaxFormatNumber) ok = false;
        v = static_cast<int>(std::min(acc, kMaxFormatNumber + 1));
        return true;
    }
    // Appends `n` copies of the `count` descriptors ending `out` (n >= 1
    // copies already there), within the expansion bound.
    void repeat(std::size_t start, int n) {
        const std::size_t count = out.size() - start;
        if (n < 1 || (count > 0 && static_cast<std::size_t>(n - 1) > (kMaxFormatItems - out.size()) / count)) {
            ok = false;
            return;
        }
        for (int r = 1; r < n; ++r)
            for (std::size_t i = 0; i < count; ++i) out.push_back(out[start + i]);
    }
    // list := item {',' item} up to ')'
    void list(int depth) {
        for (;;) {
            skip();
            if (p >= s.size()) {
                ok = false;
                return;
            }
            if (s[p] == ')') {
                ++p;
                return;
            }
            if (s[p] == ',') {
                ++p;
                continue;
            }
            item(depth);
            if (!ok) return;
        }
    }
    void item(int depth) {
        int rep = 1;
        const bool counted = number(rep);
        skip();
        if (!ok || p >= s.size()) {
            ok = false;
            return;
        }
        char c = s[p];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c == '(') {
            ++p;
            if (depth + 1 > kMaxFormatDepth) {
                ok = false;
                return;
            }
            const std::size_t start = out.size();
            if (depth == 0) {
                last_group = start;
                has_top_group = true;
            }
            list(depth + 1);
            if (ok) repeat(start, rep);
            return;
        }
        ++p;
        EditDesc d;
        d.kind = c;
        switch (c) {
            case '/':
                break;
            case 'X':
                if (!counted) rep = 1;
                d.w = rep;
                rep = 1;
                break;
            case 'A': {
                int w = 0;
                if (number(w)) {
                    if (w < 1) ok = false;
                    d.w = w;
                }
                break;
            }
            case 'I': {
                if (!number(d.w) || d.w < 1) ok = false;
                skip();
                if (p < s.size() && s[p] == '.') {
                    ++p;
                    if (!number(d.m)) ok = false;
                }
                break;
            }
            case 'F':
            case 'E':
            case 'G': {
                if (!number(d.w) || d.w < 1) ok = false;
                skip();
                if (p < s.size() && s[p] == '.') {
                    ++p;
                    if (!number(d.d)) ok = false;
                }
                skip();
                if (c != 'F' && p < s.size() && (s[p] == 'E' || s[p] == 'e')) {
                    ++p;
                    if (!number(d.e) || d.e < 1) ok = false;
                }
                break;
            }
            default:
                ok = false;
                return;
        }
        if (!ok || out.size() >= kMaxFormatItems) {
            ok = false;
            return;
        }
        out.push_back(d);
        repeat(out.size() - 1, rep);
    }
};

bool is_data(const EditDesc& d) { return d.kind != 'X' && d.kind != '/'; }

}  // namespace

Format parse_format(std::string_view text) {
    Format f;
    FormatParser ps;
    ps.s = text;
    ps.skip();
    if (ps.p >= ps.s.size() || ps.s[ps.p] != '(') return f;
    ++ps.p;
    ps.list(0);
    ps.skip();
    if (!ps.ok || ps.p != ps.s.size()) return f;
    long long columns = 0;
    for (const EditDesc& d : ps.out) columns += d.w;
    if (columns > kMaxFormatColumns) return f;
    f.items = std::move(ps.out);
    f.reversion = ps.has_top_group ? ps.last_group : 0;
    for (std::size_t i = 0; i < f.items.size(); ++i) {
        if (is_data(f.items[i])) {
            f.has_data = true;
        }
    }
    // A reversion point with no data descriptor after it would never take an item.
    bool data_after = false;
    for (std::size_t i = f.reversion; i < f.items.size(); ++i) data_after |= is_data(f.items[i]);
    if (!data_after) f.reversion = 0;
    f.valid = true;
    return f;
}

// ---- FormWrite ----

FormWrite::FormWrite(TextOut& out, std::string_view format) : out_(out), fmt_(parse_format(format)) {}

FormWrite::~FormWrite() { end(); }

const EditDesc* FormWrite::next_data() {
    if (!fmt_.valid || !fmt_.has_data || ended_) return nullptr;
    for (;;) {
        if (at_ >= fmt_.items.size()) {
            out_.line(line_);
            line_.clear();
            at_ = fmt_.reversion;
            continue;
        }
        const EditDesc& d = fmt_.items[at_++];
        if (d.kind == 'X') {
            line_.append(static_cast<std::size_t>(d.w), ' ');
        } else if (d.kind == '/') {
            out_.line(line_);
            line_.clear();
        } else {
            return &d;
        }
    }
}

void FormWrite::put(const std::string& field) { line_ += field; }

FormWrite& FormWrite::i(long long v) {
    if (const EditDesc* d = next_data()) {
        if (d->kind == 'I' || d->kind == 'G') put(edit_i(v, d->w, d->m));
        else put(stars(d->w > 0 ? d->w : 1));
    }
    return *this;
}

FormWrite& FormWrite::r(double v) {
    if (const EditDesc* d = next_data()) {
        switch (d->kind) {
            case 'F': put(edit_f(v, d->w, d->d)); break;
            case 'E': put(edit_e(v, d->w, d->d, d->e)); break;
            case 'G': put(edit_g(v, d->w, d->d, d->e)); break;
            default: put(stars(d->w > 0 ? d->w : 1)); break;
        }
    }
    return *this;
}

FormWrite& FormWrite::a(std::string_view t) {
    if (const EditDesc* d = next_data()) {
        if (d->kind == 'A') put(edit_a(t, d->w));
        else put(stars(d->w));
    }
    return *this;
}

void FormWrite::end() {
    if (ended_) return;
    ended_ = true;
    if (!fmt_.valid) return;
    // Line ends of the format up to its next data descriptor still count;
    // blanks after the last item do not lengthen the line.
    while (at_ < fmt_.items.size() && !is_data(fmt_.items[at_])) {
        if (fmt_.items[at_].kind == '/') {
            out_.line(line_);
            line_.clear();
        }
        ++at_;
    }
    out_.line(line_);
}

std::string format_text(std::string_view format, double v) {
    TextOut out;
    out.memory();
    FormWrite(out, format).r(v).end();
    const std::string& s = out.str();
    return s.substr(0, s.find("\r\n"));
}

std::string format_text(std::string_view format, long long v) {
    TextOut out;
    out.memory();
    FormWrite(out, format).i(v).end();
    const std::string& s = out.str();
    return s.substr(0, s.find("\r\n"));
}

// ---- FormRead ----

FormRead::FormRead(TextIn& in, std::string_view format) : in_(in), fmt_(parse_format(format)) {
    if (!fmt_.valid) status_ = RecStatus::Bad;
}

FormRead::~FormRead() { end(); }

bool FormRead::fetch() {
    if (!in_.next_line(line_)) {
        status_ = RecStatus::End;
        have_line_ = false;
        return false;
    }
    have_line_ = true;
    col_ = 0;
    return true;
}

const EditDesc* FormRead::next_data() {
    if (status_ != RecStatus::Ok || ended_ || !fmt_.has_data) {
        if (status_ == RecStatus::Ok && !fmt_.has_data) status_ = RecStatus::Bad;
        return nullptr;
    }
    if (!have_line_ && !fetch()) return nullptr;
    for (;;) {
        if (at_ >= fmt_.items.size()) {
            if (!fetch()) return nullptr;
            at_ = fmt_.reversion;
            continue;
        }
        const EditDesc& d = fmt_.items[at_++];
        if (d.kind == 'X') {
            col_ += static_cast<std::size_t>(d.w);
        } else if (d.kind == '/') {
            if (!fetch()) return nullptr;
        } else {
            return &d;
        }
    }
}

std::string_view FormRead::take(int w) {
    std::string_view f;
    if (col_ < line_.size()) f = line_.substr(col_, static_cast<std::size_t>(w));
    col_ += static_cast<std::size_t>(w);
    return f;
}

FormRead& FormRead::i(std::int32_t& v) {
    if (const EditDesc* d = next_data()) {
        std::int32_t got = 0;
        if (d->kind == 'I' || d->kind == 'G') {
            if (read_i(take(d->w), got)) v = got;
            else status_ = RecStatus::Bad;
        } else {
            status_ = RecStatus::Bad;
        }
    }
    return *this;
}

template <class T>
FormRead& FormRead::real(T& v) {
    if (const EditDesc* d = next_data()) {
        T got = 0;
        if ((d->kind == 'F' || d->kind == 'E' || d->kind == 'G') && read_f(take(d->w), d->d, got)) v = got;
        else status_ = RecStatus::Bad;
    }
    return *this;
}

FormRead& FormRead::r(float& v) { return real(v); }
FormRead& FormRead::r(double& v) { return real(v); }

FormRead& FormRead::a(std::string& t) {
    if (const EditDesc* d = next_data()) {
        if (d->kind != 'A') {
            status_ = RecStatus::Bad;
            return *this;
        }
        const std::size_t len = t.size();
        const std::size_t w = d->w > 0 ? static_cast<std::size_t>(d->w) : len;
        std::string field(take(static_cast<int>(w)));
        field.resize(w, ' ');
        // Aw wider than the text keeps its rightmost characters.
        if (w >= len) txt_set(t, std::string_view(field).substr(w - len));
        else txt_set(t, field);
    }
    return *this;
}

RecStatus FormRead::end() {
    if (!ended_) {
        ended_ = true;
        if (status_ == RecStatus::Ok && !have_line_) fetch();
    }
    return status_;
}

// ---- FreeRead ----

FreeRead::~FreeRead() { end(); }

bool FreeRead::fetch_line() {
    if (!in_.next_line(line_)) {
        status_ = RecStatus::End;
        return false;
    }
    have_line_ = true;
    fetched_ = true;
    col_ = 0;
    items_found_ = next_item_ = 0;
    return true;
}

namespace {

// The columns at + i of the bits i set in bits, in order, into out; their
// number. Eight are written whatever the number (the arrays have room):
// a loop that stops at the last bit would mispredict its end at each block.
// (Counted as they are taken: the processors the program is built for need
// not count bits in one instruction.)
[[gnu::always_inline]] inline int bit_columns(std::uint64_t bits, std::size_t at, std::uint32_t* out) {
    const auto base = static_cast<std::uint32_t>(at);
    int n = 0;
    for (int k = 0; k < 8; ++k) {
        out[k] = base + static_cast<std::uint32_t>(std::countr_zero(bits));
        n += bits != 0;
        bits &= bits - 1;
    }
    for (; bits != 0; bits &= bits - 1) out[n++] = base + static_cast<std::uint32_t>(std::countr_zero(bits));
    return n;
}

}  // namespace

void FreeRead::find_items() {
    next_item_ = items_found_ = 0;
    const char* const text = line_.data();
    const std::size_t n = line_.size();
    if (n > UINT32_MAX) return;
    // Blocks of 64 characters (TextIn keeps that many readable past its
    // text); bit i of a mask stands for the character at + i.
    std::size_t at = col_;
    std::uint64_t carry = 0;   // an item runs into the block
    int starts = 0, ends = 0;
    while (at < n && ends < ItemsFound) {
        std::uint64_t sep = separator_bits64(text + at);
        if (n - at < 64) sep |= ~std::uint64_t{0} << (n - at);
        const std::uint64_t prev = (~sep << 1) | carry;   // the character before is part of an item
        starts += bit_columns(~sep & ~prev, at, item_begin_ + starts);
        ends += bit_columns(sep & prev, at, item_end_ + ends);
        carry = ~sep >> 63;
        at += 64;
    }
    // An item that ends with the line on a block's last character.
    if (at >= n && carry) item_end_[ends++] = static_cast<std::uint32_t>(n);
    items_found_ = ends;
}

[[gnu::always_inline]] inline bool FreeRead::item_ready() {
    if (status_ != RecStatus::Ok || ended_) return false;
    if (!have_line_ && !fetch_line()) return false;
    if (next_item_ >= items_found_) find_items();
    return next_item_ < items_found_;
}

bool FreeRead::token(std::string_view& tok) {
    if (status_ != RecStatus::Ok || ended_) return false;
    // Items found ahead no longer follow where this one ends.
    items_found_ = next_item_ = 0;
    for (;;) {
        if (!have_line_ && !fetch_line()) return false;
        // Blank, tab or comma; everything above the blank is part of a value.
        auto sep = [](char c) { return static_cast<unsigned char>(c) <= ' ' ? c == ' ' || c == '\t' : c == ','; };
        while (col_ < line_.size() && sep(line_[col_])) ++col_;
        if (col_ >= line_.size()) {
            have_line_ = false;
            continue;
        }
        const std::size_t start = col_;
        while (col_ < line_.size() && !sep(line_[col_])) ++col_;
        tok = line_.substr(start, col_ - start);
        return true;
    }
}

template <class T, class Convert>
FreeRead& FreeRead::item(T& v, Convert convert) {
    std::string_view tok;
    if (token(tok)) {
        T got = 0;
        if (convert(tok, got)) {
            v = got;
            ++items_;
        } else {
            status_ = RecStatus::Bad;
        }
    }
    return *this;
}

// The common items, found with the rest of their line and converted
// directly; anything else (an item continued on the next line too) the
// general way.
FreeRead& FreeRead::i(std::int32_t& v) {
    if (item_ready()) {
        const std::uint32_t b = item_begin_[next_item_], e = item_end_[next_item_];
        if (item_int(line_.data() + b, e - b, v)) {
            ++items_;
            ++next_item_;
            col_ = e;
            return *this;
        }
    }
    return item(v, [](std::string_view t, std::int32_t& g) { return read_i(t, g); });
}

FreeRead& FreeRead::r(float& v) {
    if (item_ready()) {
        const std::uint32_t b = item_begin_[next_item_], e = item_end_[next_item_];
        if (item_float(line_.data() + b, e - b, v)) {
            ++items_;
            ++next_item_;
            col_ = e;
            return *this;
        }
    }
    return item(v, [](std::string_view t, float& g) { return read_f(t, 0, g); });
}

template <class Fast, class Slow>
FreeRead& FreeRead::run(int n, Fast fast, Slow slow) {
    int k = 0;
    while (k < n) {
        if (item_ready()) {
            // A run of found items taken directly, without the per-item checks.
            const char* const text = line_.data();
            const int first = next_item_, found = items_found_;
            int at = first;
            for (; k < n && at < found; ++k, ++at)
                if (!fast(text + item_begin_[at], item_end_[at] - item_begin_[at], k)) break;
            if (at > first) {
                items_ += at - first;
                next_item_ = at;
                col_ = item_end_[at - 1];
            }
            if (k == n || at == found) continue;
        }
        slow(k++);
    }
    return *this;
}

FreeRead& FreeRead::r(float* v, int n) {
    return run(
        n, [v](const char* p, std::size_t len, int k) { return item_float(p, len, v[k]); },
        [this, v](int k) { r(v[k]); });
}

FreeRead& FreeRead::i(std::int32_t* v, int n) {
    return run(
        n, [v](const char* p, std::size_t len, int k) { return item_int(p, len, v[k]); },
        [this, v](int k) { i(v[k]); });
}

FreeRead& FreeRead::pairs(std::int32_t* iv, float* fv, int n) {
    return run(
        2 * n,
        [iv, fv](const char* p, std::size_t len, int k) {
            return k % 2 == 0 ? item_int(p, len, iv[k / 2]) : item_float(p, len, fv[k / 2]);
        },
        [this, iv, fv](int k) {
            if (k % 2 == 0) i(iv[k / 2]);
            else r(fv[k / 2]);
        });
}

FreeRead& FreeRead::r(double& v) {
    return item(v, [](std::string_view t, double& g) { return read_f(t, 0, g); });
}

FreeRead& FreeRead::a(std::string& t) {
    std::string_view tok;
    if (token(tok)) {
        txt_set(t, tok);
        ++items_;
    }
    return *this;
}

RecStatus FreeRead::end() {
    if (!ended_) {
        ended_ = true;
        // A record with no items still takes its line.
        if (status_ == RecStatus::Ok && !fetched_) {
            std::string_view skip;
            if (!in_.next_line(skip)) status_ = RecStatus::End;
        }
    }
    return status_;
}

// ---- FreeWrite ----

namespace {
template <class T>
std::string shortest(T v) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}
}  // namespace

FreeWrite::~FreeWrite() { end(); }

FreeWrite& FreeWrite::i(long long v) {
    line_ += ' ';
    line_ += std::to_string(v);
    return *this;
}

FreeWrite& FreeWrite::r(float v) {
    line_ += ' ';
    line_ += shortest(v);
    return *this;
}

FreeWrite& FreeWrite::r(double v) {
    line_ += ' ';
    line_ += shortest(v);
    return *this;
}

FreeWrite& FreeWrite::a(std::string_view t) {
    line_ += ' ';
    line_ += t;
    return *this;
}

void FreeWrite::end() {
    if (ended_) return;
    ended_ = true;
    out_.line(line_);
}

// ---- errors ----

namespace {
void to_stderr(std::string_view message) {
    // The program's text, in the system's characters.
    const std::string text = os_cp1252_to_utf8(message);
    std::fprintf(stderr, "zeltramo: %.*s\n", static_cast<int>(text.size()), text.data());
}
AppErrorSink error_sink = to_stderr;
}  // namespace

void app_set_error_sink(AppErrorSink sink) { error_sink = sink ? sink : to_stderr; }

void app_input_error(std::string_view message) { error_sink(message); }

void app_file_error(const std::string& file, long line, std::string_view why) {
    std::string m = "input error in file " + file;
    if (line > 0) m += ", line " + std::to_string(line);
    m += ": ";
    m += why;
    app_input_error(m);
}

void app_file_error(const TextIn& in, std::string_view why) { app_file_error(in.name(), in.line_number(), why); }

namespace {
void io_error(std::string_view action, const std::string& name, const std::string& reason) {
    std::string m(action);
    m += " file " + name;
    if (!reason.empty()) m += ": " + reason;
    app_input_error(m);
}
}  // namespace

void app_io_error(std::string_view action, const TextIn& in) { io_error(action, in.name(), in.error()); }
void app_io_error(std::string_view action, const TextOut& out) { io_error(action, out.name(), out.error()); }

std::string name_from_utf8(std::string_view utf8, std::string& name) {
    name.clear();
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const long c = os_next_utf8(utf8, at);
        if (c < 0) return "it is not UTF-8 text";
        const int b = os_unicode_to_cp1252(static_cast<char32_t>(c));
        if (b < 0) {
            char code[24];
            std::snprintf(code, sizeof code, "U+%04lX", static_cast<unsigned long>(c));
            return std::string("it holds ") + code + ", a character the program's file names cannot hold";
        }
        out.push_back(static_cast<char>(b));
    }
    name = std::move(out);
    return {};
}

std::string name_to_utf8(std::string_view name) { return os_cp1252_to_utf8(name); }

void app_read_error(const TextIn& in, RecStatus st, std::string_view what) {
    std::string m = st == RecStatus::End ? "unexpected end of file " : "input error in file ";
    m += in.name();
    if (st != RecStatus::End || in.line_number() > 0) m += ", line " + std::to_string(in.line_number());
    m += ": ";
    m += what;
    m += " expected";
    app_input_error(m);
}

// ---- fields of a line ----

namespace {

char char_at(std::string_view line, int l, int c) {
    if (c < 1 || c > l || c > static_cast<int>(line.size())) return ' ';
    return line[static_cast<std::size_t>(c - 1)];
}

// Field-start markers: position 0, then every blank that precedes a non-blank.
std::vector<int> field_markers(std::string_view line, int l, bool drop_leading) {
    l = std::max(0, std::min(l, static_cast<int>(line.size())));
    const int t = static_cast<int>(txt_len(line.substr(0, static_cast<std::size_t>(l))));
    std::vector<int> m{0};
    for (int c = 1; c <= t + 1; ++c)
        if (char_at(line, l, c) == ' ' && char_at(line, l, c + 1) != ' ') m.push_back(c);
    if (drop_leading && char_at(line, l, 1) == ' ') m.erase(m.begin());
    m.push_back(t + 1);   // the end marker, at index F
    return m;
}

bool field_bounds(const std::vector<int>& m, int n, int& ib, int& ie) {
    const int f = static_cast<int>(m.size()) - 1;
    if (n < 1 || n > f) return false;
    ib = m[static_cast<std::size_t>(n - 1)] + 1;
    ie = m[static_cast<std::size_t>(n)] - 1;
    return true;
}

}  // namespace

void argstr(int n, std::string_view line, int& ib, int& ie, int l) {
    field_bounds(field_markers(line, l, true), n, ib, ie);
}

void argstr(int n, std::string_view line, int& ib, int& ie) {
    argstr(n, line, ib, ie, static_cast<int>(line.size()));
}

int nveld(std::string_view line, int l) {
    // The runs of non-blank characters, counted where they start (what
    // argstr finds field by field, without listing the fields).
    const auto n = static_cast<std::size_t>(std::max(0, std::min(l, static_cast<int>(line.size()))));
    int fields = 0;
    char before = ' ';
    for (std::size_t c = 0; c < n; ++c) {
        fields += before == ' ' && line[c] != ' ';
        before = line[c];
    }
    return fields;
}

int nveld(std::string_view line) { return nveld(line, static_cast<int>(line.size())); }

bool datstr(int n, std::string_view line, float& value, int l) {
    int ib = 0, ie = 0;
    argstr(n, line, ib, ie, l);
    if (ib <= 0 || ie < ib) return false;
    return read_f(line.substr(static_cast<std::size_t>(ib - 1), static_cast<std::size_t>(ie - ib + 1)), 0,
                  value);
}

bool datstr(int n, std::string_view line, float& value) {
    return datstr(n, line, value, static_cast<int>(line.size()));
}

void waarde(std::string& text, float& value, int& ierr, int l) {
    ierr = 0;
    l = std::max(0, std::min(l, static_cast<int>(text.size())));
    const std::size_t comma = text.substr(0, static_cast<std::size_t>(l)).find(',');
    if (comma != std::string::npos) text[comma] = '.';
    const std::string_view t = txt_trim(std::string_view(text).substr(0, static_cast<std::size_t>(l)));
    if (t.empty()) return;
    float got = 0;
    if (read_f(t, 0, got)) value = got;
    else ierr = 1;
}

void waarde(std::string& text, float& value, int& ierr) {
    waarde(text, value, ierr, static_cast<int>(text.size()));
}

void argv_of(std::string_view cmdline, std::string& word, int n) {
    word.assign(80, ' ');
    cmdline = cmdline.substr(0, std::min<std::size_t>(cmdline.size(), 80));
    int ib = 0, ie = 0;
    if (!field_bounds(field_markers(cmdline, static_cast<int>(cmdline.size()), false), n, ib, ie)) return;
    if (ie < ib) return;
    txt_set(word, cmdline.substr(static_cast<std::size_t>(ib - 1), static_cast<std::size_t>(ie - ib + 1)));
}

void argv(std::string& word, int n) {
    const auto& args = os_app_args();
    std::string line;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (i > 1) line += ' ';
        line += args[i];
    }
    // The arguments are the system's text; the words the program's.
    argv_of(os_utf8_to_cp1252(line), word, n);
}

void small(std::string& text, int l) {
    l = std::max(0, std::min(l, static_cast<int>(text.size())));
    const std::size_t t = txt_len(std::string_view(text).substr(0, static_cast<std::size_t>(l)));
    for (std::size_t i = 0; i < t; ++i)
        if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
}

void small(std::string& text) { small(text, static_cast<int>(text.size())); }

namespace {
std::tm local_now() {
    const OsConfig& cfg = os_config();
    const std::time_t now = cfg.now ? cfg.now() : std::time(nullptr);
    std::tm tm {};
    if (cfg.deterministic) gmtime_r(&now, &tm);
    else localtime_r(&now, &tm);
    return tm;
}
}  // namespace

void gettime(int& hour, int& minute, int& second, int& hundredths) {
    const std::tm tm = local_now();
    hour = tm.tm_hour;
    minute = tm.tm_min;
    second = tm.tm_sec;
    const OsConfig& cfg = os_config();
    hundredths = cfg.tick_ms ? static_cast<int>((cfg.tick_ms() / 10) % 100) : 0;
}

void getdat(int& month, int& day, int& year) {
    const std::tm tm = local_now();
    month = tm.tm_mon + 1;
    day = tm.tm_mday;
    year = (tm.tm_year + 1900) % 100;
}
