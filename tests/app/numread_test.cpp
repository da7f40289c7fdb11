// Reading numbers: the direct decimal conversion of the free-format and
// field readers against from_chars, and free-format records whose items the
// direct path must hand on to the general one.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/records.h"

namespace {

std::uint32_t bits_of(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

// Decimal texts of every length up to 20 digits, with the point anywhere,
// and texts near the points halfway between two floats, where a value
// rounded twice would come out one step off.
std::vector<std::string> decimal_texts() {
    std::vector<std::string> t = {"0", "-0", "0.0", "-0.0", ".5", "-.5", "5.", "007", "1234.5677", "0.1",
                                  "16777216", "16777217", "16777218", "16777219", "9999999999999999999",
                                  "99999999999999999999", "0.00000000000000000001", "3.4028235e38",
                                  "340282350000000000000000000000000000000", "1e-45", "0.000000000000000000000000000000000000000000001"};
    std::uint32_t s = 7;
    const auto next = [&s] {
        s = s * 1664525u + 1013904223u;
        return s;
    };
    for (int i = 0; i < 200000; ++i) {
        const int digits = 1 + static_cast<int>(next() % 20);
        const int point = static_cast<int>(next() % (digits + 2));
        std::string d;
        if (next() % 3 == 0) d.push_back('-');
        for (int k = 0; k < digits; ++k) {
            if (k == point) d.push_back('.');
            d.push_back(static_cast<char>('0' + next() % 10));
        }
        if (point == digits) d.push_back('.');
        t.push_back(d);
    }
    for (int i = 0; i < 200000; ++i) {
        float f;
        const std::uint32_t b = next() & 0x7fffffffu;
        std::memcpy(&f, &b, sizeof f);
        if (!std::isfinite(f) || f == 0) continue;
        const double mid = (static_cast<double>(f) + static_cast<double>(std::nextafter(f, INFINITY))) / 2;
        for (const int prec : {9, 12, 15, 17, 19}) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.*f", prec, mid);
            if (std::strlen(buf) <= 22) t.push_back(buf);
            std::snprintf(buf, sizeof buf, "%.*g", prec, mid);
            if (!std::strchr(buf, 'e')) t.push_back(buf);
        }
    }
    return t;
}

}  // namespace

TEST(NumberReading, DecimalsReadAsFromCharsReadsThem) {
    for (const std::string& text : decimal_texts()) {
        float want = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), want);
        const bool ok = r.ec == std::errc() && r.ptr == text.data() + text.size();
        float got = -1;
        const bool read = read_f(text, 0, got);
        // Out of range: from_chars refuses; the general reader takes what
        // rounds to zero and refuses an overflow.
        if (!ok) continue;
        ASSERT_TRUE(read) << text;
        ASSERT_EQ(bits_of(got), bits_of(want)) << text;
        // The same text as an item of a free-format record, after a first
        // item, between blanks, tabs and commas.
        TextIn in;
        std::string record = "1 ";
        for (const char* sep : {"\t", ",", " 2\n"}) {
            record += text;
            record += sep;
        }
        in.open_text(record);
        float a = 0, b = 0, c = 0;
        std::int32_t one = 0, two = 0;
        FreeRead rec(in);
        rec.i(one).r(a).r(b).r(c).i(two);
        ASSERT_EQ(rec.end(), RecStatus::Ok) << text;
        ASSERT_EQ(bits_of(a), bits_of(want)) << text;
        ASSERT_EQ(bits_of(b), bits_of(want)) << text;
        ASSERT_EQ(bits_of(c), bits_of(want)) << text;
        ASSERT_EQ(two, 2);
    }
}

// Items the direct path must leave to the general reader: exponents, a plus
// sign, a number run into other characters, an item continued on the next
// line, and an item that is not a number.
TEST(NumberReading, FreeFormatItemsOfEveryForm) {
    const struct {
        const char* text;
        std::vector<float> want;
        RecStatus status;
    } cases[] = {
        {"0 1.5E2 -2.5e-1 +3", {150.0f, -0.25f, 3.0f}, RecStatus::Ok},
        {"0 7. -.5 .25", {7.0f, -0.5f, 0.25f}, RecStatus::Ok},
        {"0 1.5D2,,2 ,\t3", {150.0f, 2.0f, 3.0f}, RecStatus::Ok},
        {"0 1\n2\n\n3 9 9", {1.0f, 2.0f, 3.0f}, RecStatus::Ok},
        {"0 12.5x 3 4", {}, RecStatus::Bad},
        {"0 1.2.3 3 4", {}, RecStatus::Bad},
        {"0 - 3 4", {}, RecStatus::Bad},
        {"0 . 3 4", {}, RecStatus::Bad},
        {"0 1 2", {1.0f, 2.0f}, RecStatus::End},
        {"0 1e39 2 3", {}, RecStatus::Bad},
    };
    for (const auto& c : cases) {
        TextIn in;
        in.open_text(c.text);
        std::int32_t first = -1;
        float v[3] = {-1, -1, -1};
        FreeRead rec(in);
        rec.i(first).r(v[0]).r(v[1]).r(v[2]);
        EXPECT_EQ(rec.end(), c.status) << c.text;
        EXPECT_EQ(first, 0);
        for (std::size_t k = 0; k < c.want.size(); ++k) EXPECT_EQ(v[k], c.want[k]) << c.text << " item " << k;
    }
}

// Integer items: the direct path takes up to nine digits; longer ones, a
// plus sign and numbers out of range go the general way with its answer.
TEST(NumberReading, FreeFormatIntegers) {
    const struct {
        const char* text;
        std::int32_t want;
        RecStatus status;
    } cases[] = {
        {"-0", 0, RecStatus::Ok},           {"0012", 12, RecStatus::Ok},
        {"+5", 5, RecStatus::Ok},           {"123456789", 123456789, RecStatus::Ok},
        {"1234567890", 1234567890, RecStatus::Ok}, {"-2147483648", -2147483647 - 1, RecStatus::Ok},
        {"2147483648", 0, RecStatus::Bad},  {"12x", 0, RecStatus::Bad},
        {"1.5", 0, RecStatus::Bad},         {"-", 0, RecStatus::Bad},
    };
    for (const auto& c : cases) {
        TextIn in;
        std::string text = "7 ";
        text += c.text;
        text += ",3";
        in.open_text(text);
        std::int32_t first = 0, v = -1, last = 0;
        FreeRead rec(in);
        rec.i(first).i(v).i(last);
        EXPECT_EQ(rec.end(), c.status) << c.text;
        if (c.status != RecStatus::Ok) continue;
        EXPECT_EQ(v, c.want) << c.text;
        EXPECT_EQ(last, 3) << c.text;
    }
}
