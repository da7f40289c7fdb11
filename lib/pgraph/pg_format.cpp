#include "lib/pgraph/pg_format.h"

#include <cmath>
#include <cstdio>

#include "lib/window/errors.h"
#include "lib/window/text.h"

namespace {

constexpr int ErrConversion = 18;

struct Descriptor {
    bool ok = false;
    bool onep = false;   // 1P scale factor
    char kind = ' ';     // F, E or I
    int w = 0;
    int d = -1;          // decimals (or minimum digits); -1 when absent
};

bool read_number(std::string_view f, std::size_t& i, int& n) {
    const std::size_t start = i;
    n = 0;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9' && n < 1000) n = n * 10 + (f[i++] - '0');
    return i > start;
}

Descriptor parse(std::string_view format) {
    Descriptor r;
    std::string_view f = txt_trim(format);
    if (f.size() < 3 || f.front() != '(' || f.back() != ')') return r;
    f = f.substr(1, f.size() - 2);
    std::size_t i = 0;
    if (f.substr(0, 2) == "1P") {
        r.onep = true;
        i = 2;
    }
    if (i >= f.size()) return r;
    r.kind = f[i++];
    if (r.kind != 'F' && r.kind != 'E' && r.kind != 'I') return r;
    if (r.onep && r.kind != 'E') return r;
    if (!read_number(f, i, r.w) || r.w == 0) return r;
    if (i < f.size() && f[i] == '.') {
        ++i;
        if (!read_number(f, i, r.d)) return r;
    }
    if (i != f.size()) return r;
    if (r.kind != 'I' && r.d < 0) return r;
    r.ok = true;
    return r;
}

void failure(std::string& text, std::string_view name) {
    txt_set(text, "**********");
    yyerror(ErrConversion, name);
}

// Puts the field right-aligned into w characters at the start of the text.
void place(std::string& text, const std::string& field, int w, std::string_view name) {
    const auto width = static_cast<std::size_t>(w);
    if (field.size() > width) {
        // A value that does not fit its field: asterisks, as a failed write.
        failure(text, name);
        return;
    }
    std::string out(width - field.size(), ' ');
    out += field;
    txt_set(text, out);
}

// Exact decimal digits of |v|: integer digits and 160 fraction digits, more
// than any single-precision value has.
void exact_digits(float v, std::string& whole, std::string& frac) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "%.160Lf", static_cast<long double>(std::fabs(v)));
    std::string s(buf);
    const std::size_t dot = s.find('.');
    whole = s.substr(0, dot);
    frac = s.substr(dot + 1);
}

// Adds one unit in the last place of a digit string; true when it carried
// out of the first digit.
bool increment(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            return false;
        }
    }
    digits.insert(digits.begin(), '1');
    return true;
}

std::string non_finite(float v, int w) {
    if (std::isnan(v)) return "NaN";
    const std::string sign = v < 0 ? "-" : "";
    return sign + (w >= 8 + static_cast<int>(sign.size()) ? "Infinity" : "Inf");
}

// Fixed point with d decimals, rounded half away from zero; the zero before
// the point is left out when only it does not fit.
std::string fixed(float v, int w, int d) {
    std::string whole, frac;
    exact_digits(v, whole, frac);
    std::string digits = whole + frac.substr(0, static_cast<std::size_t>(d));
    if (frac[static_cast<std::size_t>(d)] >= '5') increment(digits);
    const std::size_t nwhole = digits.size() - static_cast<std::size_t>(d);
    std::string body = digits.substr(0, nwhole) + "." + digits.substr(nwhole);
    const std::string sign = v < 0 ? "-" : "";
    if (static_cast<int>(sign.size() + body.size()) == w + 1 && body.compare(0, 2, "0.") == 0)
        body.erase(0, 1);
    return sign + body;
}

// Exponent form: with 1P one digit before the point, otherwise "0." and d
// significant digits.
std::string exponent_form(float v, bool onep, int d) {
    std::string whole, frac;
    exact_digits(v, whole, frac);
    const std::string all = whole + frac;
    const int nwhole = static_cast<int>(whole.size());
    const std::size_t lead = all.find_first_not_of('0');
    const int sig = onep ? d + 1 : d;
    std::string mant;
    int x = 0;   // decimal exponent of the first significant digit
    if (lead == std::string::npos) {
        mant.assign(static_cast<std::size_t>(sig), '0');
        x = onep ? 0 : -1;
    } else {
        x = nwhole - 1 - static_cast<int>(lead);
        mant = all.substr(lead, static_cast<std::size_t>(sig));
        mant.resize(static_cast<std::size_t>(sig), '0');
        const std::size_t next = lead + static_cast<std::size_t>(sig);
        if (next < all.size() && all[next] >= '5' && increment(mant)) {
            mant.pop_back();
            ++x;
        }
    }
    std::string body;
    int shown = 0;
    if (onep) {
        body = mant.substr(0, 1) + "." + mant.substr(1);
        shown = x;
    } else {
        body = "0." + mant;
        shown = x + 1;
    }
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%c%02d", shown < 0 ? '-' : '+', shown < 0 ? -shown : shown);
    const std::string sign = v < 0 ? "-" : "";
    return sign + body + exp;
}

}  // namespace

void pg_real_to_string(float value, std::string& text, std::string_view format) {
    const Descriptor f = parse(format);
    if (!f.ok || f.kind == 'I' || static_cast<std::size_t>(f.w) > text.size()) {
        failure(text, "IRealToString");
        return;
    }
    if (f.d >= f.w) {
        // No room even for the point and the decimals.
        failure(text, "IRealToString");
        return;
    }
    std::string field;
    if (!std::isfinite(value))
        field = non_finite(value, f.w);
    else if (f.kind == 'F')
        field = fixed(value, f.w, f.d);
    else
        field = exponent_form(value, f.onep, f.d);
    place(text, field, f.w, "IRealToString");
}

void pg_integer_to_string(std::int32_t value, std::string& text, std::string_view format) {
    const Descriptor f = parse(format);
    if (!f.ok || f.kind != 'I' || static_cast<std::size_t>(f.w) > text.size()) {
        failure(text, "IntegerToString");
        return;
    }
    const long long v = value;
    std::string digits = std::to_string(v < 0 ? -v : v);
    if (f.d > 0 && digits.size() < static_cast<std::size_t>(f.d))
        digits.insert(0, static_cast<std::size_t>(f.d) - digits.size(), '0');
    place(text, (v < 0 ? "-" : "") + digits, f.w, "IntegerToString");
}

void pg_locate_string(std::string_view text, std::int32_t& first, std::int32_t& last) {
    first = 0;
    last = 0;
    const std::size_t a = text.find_first_not_of(' ');
    if (a == std::string_view::npos) return;
    first = static_cast<std::int32_t>(a) + 1;
    last = static_cast<std::int32_t>(text.find_last_not_of(' ')) + 1;
}
