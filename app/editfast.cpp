#include "app/editfast.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "app/records.h"

namespace {

// text right-aligned in w characters; false when it does not fit.
bool put_right(std::string& out, const char* text, std::size_t n, int w) {
    if (n > static_cast<std::size_t>(w)) return false;
    out.append(static_cast<std::size_t>(w) - n, ' ');
    out.append(text, n);
    return true;
}

// The fixed form of Fw.d from the significant digits of the value: sign,
// the digits before the point (a 0 when there are none), the point and the
// rest; without the leading 0 when the text is too wide with it.
bool put_fixed(std::string& out, bool neg, const char* digits, int before, int after, int w) {
    char text[64];
    std::size_t n = 0;
    if (neg) text[n++] = '-';
    const bool zero_lead = before == 0;
    if (zero_lead) text[n++] = '0';
    std::memcpy(text + n, digits, static_cast<std::size_t>(before + after));
    std::memmove(text + n + before + 1, text + n + before, static_cast<std::size_t>(after));
    text[n + static_cast<std::size_t>(before)] = '.';
    n += static_cast<std::size_t>(before + after + 1);
    if (n > static_cast<std::size_t>(w) && zero_lead) {
        // Drop the 0 before the point.
        const std::size_t at = neg ? 1 : 0;
        std::memmove(text + at, text + at + 1, n - at - 1);
        --n;
    }
    return put_right(out, text, n, w);
}

}  // namespace

void append_i(std::string& out, long long v, int w) {
    if (w <= 0) return;
    char text[24];
    const auto r = std::to_chars(text, text + sizeof text, v);
    if (!put_right(out, text, static_cast<std::size_t>(r.ptr - text), w)) out.append(static_cast<std::size_t>(w), '*');
}

namespace {

// |v| to d decimals as "digits.digits" at text, for a v that a float holds
// and d <= 9: |v| times 10^d is then exact in double precision (24 bits of
// the float and at most 21 of 5^d), and rounding it to a whole number, half
// way to the even one, gives the digits the fixed form rounds to. The end of
// the text, or nullptr for other values.
char* fixed_of_float(double v, int d, char* text) {
    static constexpr double p10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (d > 9 || static_cast<double>(static_cast<float>(v)) != v) return nullptr;
    const double y = std::fabs(v) * p10[d];
    if (!(y < 0x1p53)) return nullptr;
    const double whole = std::floor(y), rest = y - whole;
    auto m = static_cast<std::uint64_t>(whole);
    if (rest > 0.5 || (rest == 0.5 && (m & 1) != 0)) ++m;
    // The digits, with zeros before them up to one before the point.
    char digits[32];
    int n = 0;
    const std::size_t count = std::to_chars(digits + 16, digits + sizeof digits, m).ptr - (digits + 16);
    for (int k = static_cast<int>(count); k <= d; ++k) digits[n++] = '0';
    std::memmove(digits + n, digits + 16, count);
    n += static_cast<int>(count);
    const int before = n - d;
    std::memcpy(text, digits, static_cast<std::size_t>(before));
    text[before] = '.';
    std::memcpy(text + before + 1, digits + before, static_cast<std::size_t>(d));
    return text + n + 1;
}

constexpr std::uint64_t Pow10[] = {1ULL,
                                   10ULL,
                                   100ULL,
                                   1000ULL,
                                   10000ULL,
                                   100000ULL,
                                   1000000ULL,
                                   10000000ULL,
                                   100000000ULL,
                                   1000000000ULL,
                                   10000000000ULL,
                                   100000000000ULL,
                                   1000000000000ULL,
                                   10000000000000ULL,
                                   100000000000000ULL,
                                   1000000000000000ULL,
                                   10000000000000000ULL,
                                   100000000000000000ULL,
                                   1000000000000000000ULL,
                                   10000000000000000000ULL};

// |v| rounded to d significant digits (half way to the even one), for a
// nonzero v that a float holds and d <= 9: the digits as an integer q of d
// digits and the decimal exponent x of the rounded value, what the scientific
// form gives. |v| = m 2^e exactly with m below 2^24, so |v| 10^(d-1-x) is a
// quotient of two integers, worked out exactly while they stay within 64
// bits (values from about 1e-15 to 1e19). False for the rest.
bool float_digits(double v, int d, std::uint64_t& q, int& x) {
    if (d < 1 || d > 9 || v == 0 || static_cast<double>(static_cast<float>(v)) != v) return false;
    int exp = 0;
    const double frac = std::frexp(std::fabs(v), &exp);   // in [0.5, 1)
    const auto m = static_cast<std::uint64_t>(std::ldexp(frac, 24));
    const int e = exp - 24;
    // log10 |v| lies in [(exp - 1) log10 2, exp log10 2): x is this or one more.
    x = static_cast<int>(std::floor((exp - 1) * 0.30102999566398120));
    for (int tries = 0; tries < 3; ++tries) {
        const int k = d - 1 - x;   // |v| 10^k = num / den, to be rounded
        std::uint64_t num = 0, den = 1;
        if (k >= 0) {
            if (k > 12) return false;
            num = m * Pow10[k];   // below 2^24 10^12 < 2^64
            if (e >= 0) {
                if (e >= 64 || std::bit_width(num) + e > 64) return false;
                num <<= e;
            } else {
                if (-e >= 64) return false;
                den = std::uint64_t{1} << -e;
            }
        } else {
            if (-k > 19) return false;
            if (e >= 0) {
                if (e > 40) return false;
                num = m << e;
                den = Pow10[-k];
            } else {
                if (-e >= 64 || Pow10[-k] > (UINT64_MAX >> -e)) return false;
                num = m;
                den = Pow10[-k] << -e;
            }
        }
        q = num / den;
        const std::uint64_t r = num % den;
        if (q >= Pow10[d]) {
            ++x;
            continue;
        }
        if (q < Pow10[d - 1]) {
            --x;
            continue;
        }
        if (r > den - r || (r == den - r && (q & 1) != 0)) ++q;
        if (q == Pow10[d]) {
            // Rounded up into the next decade.
            q = Pow10[d - 1];
            ++x;
        }
        return true;
    }
    return false;
}

}  // namespace

void append_f(std::string& out, double v, int w, int d) {
    // Everything the files never meet takes the general writer.
    if (!std::isfinite(v) || d < 0 || d > 30 || w <= 0 || w > 60) {
        out += edit_f(v, w, d);
        return;
    }
    char text[80];
    char* const digits = text + 1;   // room for the sign before them
    char* end = fixed_of_float(v, d, digits);
    if (!end) {
        const auto r = std::to_chars(digits, text + sizeof text - 1, std::fabs(v), std::chars_format::fixed, d);
        if (r.ec != std::errc()) {
            out += edit_f(v, w, d);   // far too wide: asterisks
            return;
        }
        end = r.ptr;
        if (d == 0) *end++ = '.';
    }
    // A value that rounds to zero is written without a sign.
    bool nonzero = false;
    for (const char* c = digits; c < end; ++c) nonzero |= *c >= '1' && *c <= '9';
    const bool neg = std::signbit(v) && nonzero;
    char* begin = digits;
    if (neg) *--begin = '-';
    auto n = static_cast<std::size_t>(end - begin);
    if (n > static_cast<std::size_t>(w) && digits[0] == '0' && digits[1] == '.') {
        // Without the 0 before the point.
        begin = digits + 1;
        if (neg) *--begin = '-';
        --n;
    }
    if (!put_right(out, begin, n, w)) out.append(static_cast<std::size_t>(w), '*');
}

void append_g(std::string& out, double v, int w, int d) {
    constexpr int pad = 4;  // the blanks after the fixed form
    // Everything the grid layouts never meet takes the general writer.
    if (!std::isfinite(v) || d <= 0 || d > 30 || w - pad <= 0 || w > 60) {
        out += edit_g(v, w, d);
        return;
    }
    const std::size_t mark = out.size();
    char digits[40];
    if (v == 0) {
        // A zero (either sign) in the fixed form with d - 1 decimals.
        std::memset(digits, '0', static_cast<std::size_t>(d));
        if (put_fixed(out, false, digits, 0, d - 1, w - pad)) {
            out.append(pad, ' ');
            return;
        }
        out.resize(mark);
        out += edit_g(v, w, d);
        return;
    }
    // The d significant digits and the decimal exponent of |v| rounded to
    // them, as the scientific form gives them: "D.DDDDDe+XX".
    int x = 0;
    std::uint64_t q = 0;
    if (float_digits(v, d, q, x)) {
        for (int k = d - 1; k >= 0; --k, q /= 10) digits[k] = static_cast<char>('0' + q % 10);
    } else {
        char sci[64];
        const auto r = std::to_chars(sci, sci + sizeof sci, std::fabs(v), std::chars_format::scientific, d - 1);
        const char* e = static_cast<const char*>(std::memchr(sci, 'e', static_cast<std::size_t>(r.ptr - sci)));
        int nd = 0;
        for (const char* p = sci; p < e; ++p)
            if (*p != '.') digits[nd++] = *p;
        std::from_chars(e + (e[1] == '+' ? 2 : 1), r.ptr, x);
    }
    const bool neg = v < 0;
    if (x >= -1 && x <= d - 1) {
        // Fixed form F(w-4).(d-k), k the digits before the point. Rounding
        // to d-k decimals gives the same digits as rounding to d significant
        // ones, also where the rounding carried into a new decade.
        const int k = x + 1;
        if (put_fixed(out, neg, digits, k, d - k, w - pad)) {
            out.append(pad, ' ');
            return;
        }
    } else {
        // Exponent form: 0.DDDDDDE+XX (E dropped for three exponent digits).
        const int xe = x + 1;
        const int ax = xe < 0 ? -xe : xe;
        char text[64];
        std::size_t n = 0;
        if (neg) text[n++] = '-';
        text[n++] = '0';
        text[n++] = '.';
        std::memcpy(text + n, digits, static_cast<std::size_t>(d));
        n += static_cast<std::size_t>(d);
        if (ax <= 999) {
            if (ax <= 99) text[n++] = 'E';
            text[n++] = xe < 0 ? '-' : '+';
            if (ax > 99) text[n++] = static_cast<char>('0' + ax / 100);
            text[n++] = static_cast<char>('0' + ax / 10 % 10);
            text[n++] = static_cast<char>('0' + ax % 10);
            if (n > static_cast<std::size_t>(w)) {
                // Without the 0 before the point.
                const std::size_t at = neg ? 1 : 0;
                std::memmove(text + at, text + at + 1, n - at - 1);
                --n;
            }
            if (put_right(out, text, n, w)) return;
        }
    }
    // Too wide for the field: the general writer's asterisks.
    out.resize(mark);
    out += edit_g(v, w, d);
}

void append_g_record(std::string& out, const float* v, int count, int n, int w, int d) {
    for (int i = 0; i < count; ++i) {
        append_g(out, v[i], w, d);
        if ((i + 1) % n == 0 || i + 1 == count) out += "\r\n";
    }
}
