#include "lib/window/convert.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

#include "lib/window/errors.h"
#include "lib/window/fmtwrite.h"
#include "lib/window/quinda_state.h"
#include "lib/window/strings.h"
#include "lib/window/text.h"
#include "platform/os_config.h"

ConversionState conversion_state;

void reset_conversion_state() { conversion_state = ConversionState{}; }

namespace {

constexpr int ErrTooLarge = 4;
constexpr int ErrNoSubstring = 10;
constexpr int ErrTwoPoints = 11;
constexpr int ErrBadCharacter = 12;
constexpr int ErrNumberToString = 18;

constexpr long double LargestReal = 3.4028234663852886E38L;

std::string_view first_word(std::string_view text) {
    int first = 0;
    int last = 0;
    ilocatestring(text, first, last);
    if (first == 0) return {};
    return text.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1));
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// x * 10^p in extended precision without overflowing intermediate powers.
long double scale10(long double x, long p) {
    if (x == 0) return 0;
    if (p > 6000) p = 6000;
    if (p < -6000) p = -6000;
    return p >= 0 ? x * powl(10.0L, static_cast<long double>(p)) : x / powl(10.0L, static_cast<long double>(-p));
}

// One part of a number text (mantissa or exponent) after its checks:
// value = sign * digits * 10^scale.
struct Part {
    bool negative = false;
    long double digits = 0;     // at most 40 significant digits
    long scale = 0;
    long before_point = 0;      // digits before the point, leading zeros included
    long double value() const { return (negative ? -1 : 1) * scale10(digits, scale); }
};

// Checks a part and collects its digits; 0 or an error number.
int read_part(std::string_view s, bool mantissa, Part& part) {
    std::size_t points = 0;
    for (char c : s)
        if (c == '.') ++points;
    if (!mantissa && points > 0) return ErrBadCharacter;
    if (points > 1) return ErrTwoPoints;
    std::size_t i = 0;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        part.negative = s[0] == '-';
        i = 1;
    }
    for (std::size_t j = i; j < s.size(); ++j)
        if (!is_digit(s[j]) && s[j] != '.') return ErrBadCharacter;

    bool after_point = false;
    int significant = 0;
    for (; i < s.size(); ++i) {
        if (s[i] == '.') {
            after_point = true;
            continue;
        }
        const int d = s[i] - '0';
        if (!after_point) ++part.before_point;
        if (significant < 40) {
            if (part.digits != 0 || d != 0) {
                part.digits = part.digits * 10 + d;
                ++significant;
            }
            if (after_point) --part.scale;
        } else if (!after_point) {
            ++part.scale;
        }
    }
    return 0;
}

// Text to real (largest exponent 38) or double (308). 0 or an error number.
int text_to_float(std::string_view text, bool dbl, long double& result) {
    result = 0;
    const std::string_view word = first_word(text);
    if (word.empty()) return ErrNoSubstring;
    const long X = dbl ? 308 : 38;

    std::size_t mark = std::string_view::npos;
    bool letter = false;
    for (char l : std::string_view(dbl ? "EeDd" : "Ee")) {
        mark = word.find(l);
        if (mark != std::string_view::npos) {
            letter = true;
            break;
        }
    }
    // Without a letter, a sign four characters from the end (not the first
    // character) starts a three-digit exponent: 1.234-100.
    if (!letter && word.size() >= 5) {
        const std::size_t at = word.size() - 4;
        if (word[at] == '+' || word[at] == '-') mark = at;
    }
    const std::string_view mant_text = word.substr(0, mark);

    Part mant;
    if (int err = read_part(mant_text, true, mant)) return err;
    if (mant.before_point > X + 1) return ErrTooLarge;
    const long double m = mant.value();
    if (mark == std::string_view::npos) {
        result = m;
    } else {
        const std::string_view exp_text = word.substr(letter ? mark + 1 : mark);
        Part ex;
        if (int err = read_part(exp_text, false, ex)) return err;
        if (m == 0) return 0;
        if (ex.before_point > X + 1) return ErrTooLarge;
        // Normalise the mantissa to one or two digits before the point and
        // check the exponent that results.
        const long double e = ex.value();
        const long shift = static_cast<long>(truncl(log10l(fabsl(m)) - 1));
        const long double exponent = e + static_cast<long double>(shift);
        if (exponent > X) return ErrTooLarge;
        // Value from all kept digits at once, for one rounding only.
        const long double e_clamped = e < -100000 ? -100000 : e;
        result = (mant.negative ? -1 : 1) * scale10(mant.digits, mant.scale + static_cast<long>(e_clamped));
    }
    if (!dbl && fabsl(result) > LargestReal) {
        result = 0;
        return ErrTooLarge;
    }
    if (dbl && !(fabsl(result) <= static_cast<long double>(DBL_MAX))) {
        result = 0;
        return ErrTooLarge;
    }
    return 0;
}

// Integer of a real result truncated toward zero; beyond the range the
// nearest end of the range.
int truncate_to_int(long double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0L) return std::numeric_limits<int>::max();
    if (v <= -2147483648.0L) return std::numeric_limits<int>::min();
    return static_cast<int>(truncl(v));
}

// Keeps the last error and the report mode, and silences both while alive.
class Silent {
public:
    Silent() : error_(quinda.last_error), mode_(quinda.report_mode) {
        quinda.last_error = 0;
        quinda.report_mode = 0;
    }
    ~Silent() {
        quinda.last_error = error_;
        quinda.report_mode = mode_;
    }
    Silent(const Silent&) = delete;
    Silent& operator=(const Silent&) = delete;

private:
    int error_;
    int mode_;
};

// The significant text of a field: up to its first NUL, else trimmed.
std::string_view field_text(std::string_view text) {
    const std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? txt_trim(text) : text.substr(0, nul);
}

// After a failed field write: asterisks, a NUL when there is room, blanks.
void field_stars(std::string& text, std::size_t count) {
    const std::size_t n = std::min(text.size(), count);
    std::fill(text.begin(), text.end(), ' ');
    std::fill_n(text.begin(), n, '*');
    if (n < text.size()) text[n] = '\0';
}

// Moves the significant characters to the start and ends them with a NUL
// when there is room.
void field_left(std::string& text) {
    const std::size_t n = txt_len(text);
    const int f = ilocatechar(text);
    std::string sig = f == 0 ? std::string() : text.substr(static_cast<std::size_t>(f - 1), n - static_cast<std::size_t>(f - 1));
    std::fill(text.begin(), text.end(), ' ');
    std::copy(sig.begin(), sig.end(), text.begin());
    if (sig.size() < text.size()) text[sig.size()] = '\0';
}

bool has_star(std::string_view s) { return s.find('*') != std::string_view::npos; }

// Ten asterisks and error 18 when the write failed or overflowed its field.
void finish_public(int status, std::string& text, std::string_view format, std::string_view name) {
    if (status != FormatWriteOk || (has_star(text) && !has_star(format))) {
        txt_set(text, "**********");
        yyerror(ErrNumberToString, name);
    }
}

void justify_nul(std::string& text) {
    ijustifystring(text, "L");
    const std::size_t n = txt_len(text);
    if (n < text.size()) text[n] = '\0';
}

}  // namespace

void IStringToInteger(std::string_view text, int& value) {
    value = 0;
    const std::string_view word = first_word(text);
    if (word.empty()) {
        yyerror(ErrNoSubstring, "IStringToInteger");
        return;
    }
    const bool negative = word[0] == '-';
    const std::string_view digits = (word[0] == '-' || word[0] == '+') ? word.substr(1) : word;
    for (char c : digits)
        if (!is_digit(c)) {
            yyerror(ErrBadCharacter, "IStringToInteger");
            return;
        }
    if (digits.size() > 10 || (digits.size() == 10 && digits[0] > '2')) {
        yyerror(ErrTooLarge, "IStringToInteger");
        return;
    }
    std::int64_t v = 0;
    std::int64_t place = 1;
    for (std::size_t i = 1; i < digits.size(); ++i) place *= 10;
    for (char c : digits) {
        const std::int64_t add = (c - '0') * place;
        if (2147483647 - v < add) {
            value = 0;
            yyerror(ErrTooLarge, "IStringToInteger");
            return;
        }
        v += add;
        place /= 10;
    }
    value = static_cast<int>(negative ? -v : v);
}

void IStringToReal(std::string_view text, float& value) {
    long double r = 0;
    const int err = text_to_float(text, false, r);
    value = err ? 0.0f : static_cast<float>(r);
    if (err) yyerror(err, "IStringToReal");
}

void istringtodouble(std::string_view text, double& value) {
    long double r = 0;
    const int err = text_to_float(text, true, r);
    value = err ? 0.0 : static_cast<double>(r);
    if (err) yyerror(err, "IStringToReal");
}

void IntegerToString(int value, std::string& text, std::string_view format) {
    finish_public(yyfmtwriteint(value, text, format), text, format, "IntegerToString");
}

void IRealToString(float value, std::string& text, std::string_view format) {
    finish_public(yyfmtwritereal(value, text, format), text, format, "IRealToString");
}

void IDoubleToString(double value, std::string& text, std::string_view format) {
    finish_public(yyfmtwritereal(value, text, format), text, format, "IDoubleToString");
}

void yyst2dbl(double& value, std::string_view text) {
    Silent s;
    istringtodouble(field_text(text), value);
}

void yyst2rea(float& value, std::string_view text) {
    Silent s;
    IStringToReal(field_text(text), value);
}

void yyst2int(int& value, std::string_view text) {
    Silent s;
    float r = 0;
    IStringToReal(field_text(text), r);
    value = truncate_to_int(r);
}

void yyst2dblcheck(double& value, int& valid, std::string_view text) {
    Silent s;
    istringtodouble(field_text(text), value);
    valid = quinda.last_error == 0 ? 1 : 0;
}

namespace {

void real_field(double value, std::string& text, std::string_view format, std::string_view name) {
    const int status = yyfmtwritereal(value, text, format);
    quinda.io_status = status;
    quinda.status_kind = StatusKindRunTime;
    if (status != FormatWriteOk) {
        field_stars(text, 10);
        yyerror(ErrNumberToString, name);
        return;
    }
    field_left(text);
}

}  // namespace

void yydbl2st(double value, std::string& text, std::string_view format) { real_field(value, text, format, "yydbl2st"); }

void yyrea2st(float value, std::string& text, std::string_view format) { real_field(value, text, format, "yyrea2st"); }

void yyint2st(int value, std::string& text) {
    if (yyfmtwriteint(value, text, "(I11)") != FormatWriteOk) {
        field_stars(text, 11);
        yyerror(ErrNumberToString, "yyint2st");
        return;
    }
    field_left(text);
}

namespace {

// A field text read as a T and written back in the format.
template <class T, void (*Read)(std::string_view, T&), void (*Write)(T, std::string&, std::string_view)>
void reformat(std::string& text, std::string_view format) {
    Silent s;
    T v = 0;
    Read(field_text(text), v);
    Write(v, text, format);
    justify_nul(text);
}

}  // namespace

void yyformd(std::string& text, std::string_view format) {
    reformat<double, istringtodouble, IDoubleToString>(text, format);
}

void yyformr(std::string& text, std::string_view format) { reformat<float, IStringToReal, IRealToString>(text, format); }

void yyformi(std::string& text) {
    Silent s;
    double v = 0;
    istringtodouble(field_text(text), v);
    IntegerToString(truncate_to_int(v), text, "(I11)");
    justify_nul(text);
}

void yygetdecimal(char& decimal) {
    decimal = os_config().locale_decimal;
    conversion_state.wDecimal = decimal;
}

void yydecimal(std::uint8_t flag) { conversion_state.bDecimal = flag == 1 ? 1 : 0; }

void yygradfilltype(int& type) { type = conversion_state.pGradientFill != 0 ? 2 : 1; }
