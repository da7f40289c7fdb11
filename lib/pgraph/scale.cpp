// Scale arithmetic: tick steps, first ticks and counts of linear, 3-D,
// polar and logarithmic axes, and tick values turned into label text.
#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "lib/pgraph/pg_internal.h"
#include "lib/pgraph/pgstate.h"
#include "lib/window/convert.h"
#include "lib/window/strings.h"

std::int32_t pg_trunc(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<std::int32_t>(v);
}

float pg_pow10(std::int32_t n) { return static_cast<float>(std::pow(10.0L, static_cast<long double>(n))); }

namespace {

// The axis range as a mantissa 1 <= |r| < 10 and a power of ten. A zero or
// non-finite range has no such form: it stays as it is with exponent 0, so
// the loop always ends (the guard only backs that up).
void normalise(float range, float& r, std::int32_t& e) {
    r = range;
    e = 0;
    if (r == 0.0f || !std::isfinite(r)) return;
    for (int guard = 0; guard < 400; ++guard) {
        if (std::fabs(r) >= 10.0f) {
            r *= 0.1f;
            ++e;
        } else if (std::fabs(r) < 1.0f) {
            r *= 10.0f;
            --e;
        } else {
            break;
        }
    }
}

// Step multiplier of a 2-D axis: 1, 2, 5 or 10 by the mantissa; the
// vertical axis of a 3-D plot (`one` false) never takes 1.
float multiplier(float r, bool one) {
    const float m = std::fabs(r);
    if (one && m < 1.3f) return 1.0f;
    if (m < 2.6f) return 2.0f;
    if (m < 6.5f) return 5.0f;
    return 10.0f;
}

// The coarser multiplier of 3-D base axes and polar radii: 2, 5 or 10.
float coarse_multiplier(float r) {
    const float m = std::fabs(r);
    if (m < 1.3f) return 2.0f;
    if (m < 2.6f) return 5.0f;
    return 10.0f;
}

// The first multiple of the step at or above low (toward zero for negative
// low); low itself when it lies within eps of a multiple.
float first_tick(float low, float step, float eps) {
    const float a = std::fabs(low);
    const float q = a / step;
    const float t = std::trunc(q);
    const float rem = a - step * t;
    if (std::fabs(rem) < eps || std::fabs(step) - std::fabs(rem) < eps) return low;
    return low < 0.0f ? low + rem : low - rem + step;
}

float minus_one(std::int32_t n) { return static_cast<float>(static_cast<double>(n) - 1.0); }
// A step of zero (a range of a few denormal units, whose power of ten
// underflows) places every tick at the same value and counts without end.
bool step_usable(float step) { return step != 0.0f; }

std::int32_t plus1(std::int32_t n) { return n < INT_MAX ? n + 1 : n; }
std::int32_t minus1(std::int32_t n) { return n > INT_MIN ? n - 1 : n; }
std::int32_t absolute(std::int32_t n) { return n == INT_MIN ? INT_MAX : std::abs(n); }

std::int32_t axis_user_count(std::int32_t axis) {
    return axis >= 1 && axis <= 3 ? pgstate.PGUSERTICKCOUNT[static_cast<std::size_t>(axis - 1)] : 0;
}

std::int32_t axis_cat_freq(std::int32_t axis) {
    return axis >= 1 && axis <= 2 ? pgstate.PGCATFREQ[static_cast<std::size_t>(axis - 1)] : 0;
}

// log10 of a logarithmic axis limit for the decade arithmetic, kept inside
// what single-precision values can have so the decade counts stay bounded.
float decade_log(float x) {
    const float l = yylog1(x);
    if (std::isnan(l)) return -38.0f;
    return std::clamp(l, -45.0f, 39.0f);
}

void numeric_scale(float low, float high, std::int32_t axis, float& step, float& first,
                   std::int32_t& count, std::int32_t& exponent, float& vstep, float& vfirst) {
    const float range = high - low;
    float r;
    normalise(range, r, exponent);
    step = multiplier(r, axis != 3) * pg_pow10(exponent - 1);
    const float eps = step * 0.00001f;
    first = first_tick(low, step, eps);
    vfirst = first;
    vstep = step;
    const std::int32_t user = axis_user_count(axis);
    if (user > 0) {
        count = user;
        return;
    }
    count = pg_trunc((high - low + eps) / step);
    if ((high + eps) - (vfirst + vstep * minus_one(count)) >= vstep) count = plus1(count);
    // Limits beyond single precision, or a range so small that its step
    // underflows to zero, give no ticks rather than billions.
    if (!std::isfinite(range) || !step_usable(step)) count = 0;
}

void category_scale(float low, float high, std::int32_t catcount, std::int32_t axis, float& step,
                    float& first, std::int32_t& count, std::int32_t& exponent, float& vstep,
                    float& vfirst) {
    exponent = 0;
    const float range = high - low;
    // Declarations never leave fewer than one category.
    const std::int32_t n = std::max(catcount, 1);
    const float fn = static_cast<float>(n);
    const std::int32_t freq = axis_cat_freq(axis);
    if (freq > 0) {
        step = range / fn;
        first = low + 0.5f * step;
        vfirst = low;
        vstep = n > 1 ? range / static_cast<float>(n - 1) : 0.0f;
        count = freq;
    } else {
        float u = 1.0f;
        if (n > 12) {
            float v = fn;
            std::int32_t e = 0;
            while (v > 10.0f) {
                v *= 0.1f;
                ++e;
            }
            if (v < 3.0f)
                u = 2.0f * pg_pow10(e - 1);
            else if (v < 7.0f)
                u = 5.0f * pg_pow10(e - 1);
            else
                u = pg_pow10(e);
        }
        const std::int32_t k = std::max(pg_trunc(u), 1);
        step = u * range / fn;
        first = low + 0.5f * range / fn;
        vfirst = low;
        vstep = 0.0f;
        if (n > 1) {
            vstep = u * range / static_cast<float>(n - 1);
            const float q = std::fabs(low) / vstep;
            const float i = std::fabs(low) - vstep * std::trunc(q);
            if (i >= range / fn) {
                if (low < 0.0f) {
                    vfirst = low + i;
                } else {
                    const float q2 = low / vstep;
                    vfirst = vstep * std::trunc(q2) + vstep;
                }
                first = first + (vfirst - low) * step / vstep;
            }
        }
        count = n / k;
    }
    if (range != 0.0f) exponent = pg_trunc(std::trunc(decade_log(range)));
    if (freq <= 0 && high - (vfirst + vstep * minus_one(count)) >= vstep) count = plus1(count);
    if (!std::isfinite(range)) count = 0;
}

}  // namespace

void yyscal(float low, float high, std::int32_t catflag, std::int32_t catcount, std::int32_t axis,
            float& step, float& first, std::int32_t& count, std::int32_t& exponent, float& vstep,
            float& vfirst) {
    if (catflag == 0)
        numeric_scale(low, high, axis, step, first, count, exponent, vstep, vfirst);
    else
        category_scale(low, high, catcount, axis, step, first, count, exponent, vstep, vfirst);
    // Bars of a 3-D category plot take only part of their slot.
    const PgState& s = pgstate;
    if (s.PG3D > 0 && (s.PGTYPE == 1 || s.PGTYPE == 2)) {
        const float w = s.PGCATWIDTH;
        step = step * (1.0f - w);
        first = low + (1.0f - w) * (first - low);
    }
    count = absolute(count);
}

void yyscal3d(float low, float high, float& step, std::int32_t& count, float& rangesteps,
              std::int32_t& exponent, float& first, float& firstoffset) {
    const float range = high - low;
    float r;
    normalise(range, r, exponent);
    step = coarse_multiplier(r) * pg_pow10(exponent - 1);
    const float eps = step * 0.00001f;
    first = first_tick(low, step, eps);
    std::int32_t n = pg_trunc((high - low + eps) / step);
    if ((high + eps) - (first + step * minus_one(n)) > step) n = plus1(n);
    count = std::isfinite(range) && step_usable(step) ? absolute(n) : 0;
    rangesteps = (high - low) / step;
    firstoffset = (first - low) / step;
}

void yyscpol(float radius, float& step, std::int32_t& count, std::int32_t& exponent) {
    float r;
    normalise(radius, r, exponent);
    step = coarse_multiplier(r) * pg_pow10(exponent - 1);
    const float eps = step * 0.00001f;
    const std::int32_t user = pgstate.PGUSERTICKCOUNT[1];
    if (user > 0) {
        count = user;
        return;
    }
    std::int32_t n = pg_trunc((radius + eps) / step);
    if (radius + eps - step * minus_one(n) >= step) n = plus1(n);
    if (step * minus_one(n) >= radius) n = minus1(n);
    count = std::isfinite(radius) && step_usable(step) ? absolute(n) : 0;
}

void yyslog(float low, float high, std::int32_t& labelstep, std::int32_t& count,
            std::int32_t& lowest, std::int32_t& highest) {
    const float l1 = decade_log(low);
    const std::int32_t n = pg_trunc(l1 - 0.0001f);
    lowest = l1 > 0.0f ? n + 1 : n;
    const float l2 = decade_log(high);
    const std::int32_t m = pg_trunc(l2 + 0.0001f);
    highest = l2 < 0.0f ? m - 1 : m;
    count = highest - lowest + 1;
    labelstep = std::max(count / 10 + (count % 10 != 0 ? 1 : 0), 1);
    lowest = std::max(lowest - labelstep, -38);
}

void yyslpol(float radius, std::int32_t& labelstep, std::int32_t& count, std::int32_t& lowest,
             std::int32_t& highest) {
    const float l = decade_log(radius);
    const std::int32_t m = pg_trunc(l + 0.0001f);
    highest = l < 0.0f ? m - 1 : m;
    count = highest + 39;
    labelstep = std::max(count / 5 + (count % 5 != 0 ? 1 : 0), 1);
    lowest = labelstep - 38;
}

void yyr2s(float value, std::int32_t exponent, std::int32_t extra, std::int32_t& first,
           std::int32_t& last) {
    PgState& s = pgstate;
    const std::int32_t dec = s.PGDECIMALS;
    int form = 4;
    if (value == 0.0f)
        form = 1;
    else if (exponent >= -4 && exponent <= 0)
        form = 2;
    else if (exponent >= 1 && exponent <= 5)
        form = dec > 0 ? 2 : 3;

    std::string& buf = s.PGLABELBUF;
    buf.assign(PgLabelBufSize, ' ');
    // Decimals go into the format as one digit.
    auto digit = [](std::int32_t d) { return static_cast<char>('0' + std::clamp(d, 0, 9)); };
    switch (form) {
        case 1:
            buf[0] = '0';
            break;
        case 2: {
            std::int32_t d = dec;
            if (dec < 0) d = std::abs(exponent) + 1 + (extra != 0 ? 1 : 0);
            std::string fmt = "(F9. )";
            fmt[4] = digit(d);
            std::string text(9, ' ');
            IRealToString(value, text, fmt);
            buf.replace(0, 9, text);
            // The extra decimal is shown only when it says something.
            if (dec < 0 && extra != 0 && buf[8] == '0') buf[8] = ' ';
            break;
        }
        case 3: {
            std::string text(9, ' ');
            IntegerToString(pg_trunc(value), text, "(I9)");
            buf.replace(0, 9, text);
            break;
        }
        default: {
            std::int32_t d = 1;
            if (exponent < 0) {
                const float q = std::fabs(yylog1(value) - static_cast<float>(exponent));
                d = q < 6.0f ? pg_trunc(q) + 1 : 6;
            }
            const std::int32_t w = d + 7;
            std::string fmt = "(1PE  . )";
            std::string width(2, ' ');
            IntegerToString(w, width, "(I2.2)");
            fmt.replace(4, 2, width);
            if (dec >= 0) d = dec;
            fmt[7] = digit(d);
            std::string text(13, ' ');
            IRealToString(value, text, fmt);
            buf.replace(0, 13, text);
            break;
        }
    }

    ilocatestring(std::string_view(buf).substr(0, 13), first, last);
    if (first == 0) return;
    std::size_t f = static_cast<std::size_t>(first - 1);
    std::size_t l = static_cast<std::size_t>(last - 1);
    const std::size_t len = l - f + 1;
    if (len == 3 && buf.compare(f, 3, "0.0") == 0) {
        f = l;
    } else if (buf[f] == '0') {
        // .25 rather than 0.25; a lone 0. becomes 0.
        if (len >= 3)
            ++f;
        else
            l = f;
    } else if (len >= 2 && buf[f] == '-' && buf[f + 1] == '0') {
        ++f;
        buf[f] = '-';
    } else if (len >= 2 && buf.compare(l - 1, 2, ".0") == 0 && dec != 1) {
        if (len == 2)
            f = l;
        else
            l -= 2;
    }
    first = static_cast<std::int32_t>(f) + 1;
    last = static_cast<std::int32_t>(l) + 1;
}
