#include "app/editfast.h"

#include <charconv>
#include <cmath>
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
    char sci[64];
    const auto r = std::to_chars(sci, sci + sizeof sci, std::fabs(v), std::chars_format::scientific, d - 1);
    const char* e = static_cast<const char*>(std::memchr(sci, 'e', static_cast<std::size_t>(r.ptr - sci)));
    int nd = 0;
    for (const char* p = sci; p < e; ++p)
        if (*p != '.') digits[nd++] = *p;
    int x = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), r.ptr, x);
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
