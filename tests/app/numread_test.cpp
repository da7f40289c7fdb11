// Reading numbers: the direct decimal conversion of the free-format and
// field readers against from_chars, and free-format records whose items the
// direct path must hand on to the general one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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

namespace {

// A small fixed generator, so that a failure repeats.
struct Lcg {
    std::uint64_t s;
    std::uint32_t next() {
        s = s * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(s >> 33);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
};

std::string digits(Lcg& g, int n) {
    std::string d;
    for (int k = 0; k < n; ++k) d.push_back(static_cast<char>('0' + g.below(10)));
    return d;
}

// Decimal texts: the forms the files hold most ("[-]d.ddddddd" with one to
// eight digits on either side), points halfway between two floats written
// exactly and one unit of their last digit off, and every other length
// from 1 to 19 digits with the point anywhere.
std::vector<std::string> reader_decimals(Lcg& g, int count) {
    std::vector<std::string> t;
    for (int i = 0; i < count; ++i) {
        std::string s = g.below(4) == 0 ? "-" : "";
        switch (g.below(4)) {
            case 0:
            case 1:
                s += digits(g, g.below(9)) + "." + digits(g, g.below(9));
                if (s == "." || s == "-.") s += "5";
                break;
            case 2: {
                // A point halfway between two floats with at most eight
                // decimals: floats from 2^16 on have spacings of 2^-7 or more.
                const int e = 16 + g.below(9);
                const float f = std::ldexp(1.0f + static_cast<float>(g.below(1 << 23)) / 8388608.0f, e);
                const double mid = (static_cast<double>(f) + static_cast<double>(std::nextafter(f, INFINITY))) / 2;
                char buf[64];
                std::snprintf(buf, sizeof buf, "%.8f", mid);
                std::string m = buf;
                while (m.back() == '0') m.pop_back();
                if (m.back() == '.' && g.below(2)) m.pop_back();
                // One unit of the last digit up or down, or the tie itself.
                const int step = g.below(3) - 1;
                if (step != 0 && std::isdigit(static_cast<unsigned char>(m.back()))) {
                    char& c = m.back();
                    if ((step > 0 && c < '9') || (step < 0 && c > '0')) c = static_cast<char>(c + step);
                }
                s += m;
                break;
            }
            default: {
                const int n = 1 + g.below(19);
                const int point = g.below(n + 2);
                std::string d = digits(g, n);
                if (point <= n) d.insert(static_cast<std::size_t>(point), ".");
                s += d;
                break;
            }
        }
        t.push_back(s);
    }
    return t;
}

// The plain reference: the whole text by from_chars, else (exponents,
// other signs, texts that are not numbers) the field reader.
bool plain_float(const std::string& t, float& v) {
    const std::size_t p = !t.empty() && t[0] == '-' ? 1 : 0;
    const bool plain = p < t.size() && t.find_first_not_of("0123456789.", p) == std::string::npos &&
                       std::count(t.begin(), t.end(), '.') <= 1 && t.find_first_of("0123456789") != std::string::npos;
    if (!plain) return read_f(t, 0, v);
    float got = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), got);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return read_f(t, 0, v);
    v = got;
    return true;
}

bool plain_int(const std::string& t, std::int32_t& v) {
    std::int32_t got = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), got);
    if (!t.empty() && t[0] != '+' && r.ec == std::errc() && r.ptr == t.data() + t.size()) {
        v = got;
        return true;
    }
    return read_i(t, v);
}

// Free-format records read item by item as the plain reader reads them:
// the lines split at blanks, tabs and commas, each item converted by itself.
struct PlainRecords {
    std::vector<std::vector<std::string>> lines;
    std::vector<std::string> texts;   // the lines as written, without their ends
    std::size_t next_line = 0;

    struct Record {
        PlainRecords& in;
        std::size_t line = 0, item = 0;
        bool have = false, fetched = false;
        RecStatus status = RecStatus::Ok;
        int items = 0;
        const std::string* token() {
            if (status != RecStatus::Ok) return nullptr;
            for (;;) {
                if (!have) {
                    if (in.next_line >= in.lines.size()) {
                        status = RecStatus::End;
                        return nullptr;
                    }
                    line = in.next_line++;
                    item = 0;
                    have = fetched = true;
                }
                if (item < in.lines[line].size()) return &in.lines[line][item++];
                have = false;
            }
        }
        template <class T, class F>
        void read(T& v, F convert) {
            if (const std::string* t = token()) {
                T got{};
                if (convert(*t, got)) {
                    v = got;
                    ++items;
                } else {
                    status = RecStatus::Bad;
                }
            }
        }
        RecStatus end() {
            if (status == RecStatus::Ok && !fetched && in.next_line++ >= in.lines.size()) status = RecStatus::End;
            return status;
        }
    };
};

std::uint32_t bits_or_nan(float f) { return std::isnan(f) ? 0x7fc00000u : bits_of(f); }

}  // namespace

TEST(NumberReading, FreeFormatReaderMatchesThePlainReader) {
    Lcg g{12345};
    const std::vector<std::string> decimals = reader_decimals(g, 4000);
    const char* const odd[] = {"+5", "1e5", "-2.5E-3", "1.5D2", "1.2.3", "x", ".", "-", "12x", "0", "-0", "-0.0",
                               "99999999999", "1234567890123456789012", "3.4028235e38", "1e39", "7.",
                               ".25", "00000000.00000001", "123456789", "-12345678", "2147483648"};
    const char* const seps[] = {" ", " ", " ", "  ", ",", "\t", " , ", ",,", "\t "};
    for (int trial = 0; trial < 3000; ++trial) {
        // A text of a few lines; some long, so that items cross the blocks
        // the reader scans and outnumber what it finds at once.
        PlainRecords plain;
        std::string text;
        const int nlines = 1 + g.below(4);
        for (int l = 0; l < nlines; ++l) {
            std::vector<std::string> items;
            const int n = g.below(5) == 0 ? 60 + g.below(100) : g.below(12);
            std::string line = g.below(3) == 0 ? seps[g.below(9)] : "";
            for (int k = 0; k < n; ++k) {
                std::string item;
                const int kind = g.below(10);
                if (kind < 6) item = decimals[static_cast<std::size_t>(g.below(static_cast<int>(decimals.size())))];
                else if (kind < 8) item = std::to_string(static_cast<int>(g.next() % 200000) - 100000);
                else item = odd[g.below(sizeof odd / sizeof odd[0])];
                items.push_back(item);
                line += item;
                if (k + 1 < n || g.below(3) == 0) line += seps[g.below(9)];
            }
            plain.lines.push_back(items);
            plain.texts.push_back(line);
            text += line;
            text += g.below(2) ? "\r\n" : "\n";
        }
        // The last line without its line end, or with its CR alone (an
        // empty last line without its line end is no line).
        if (g.below(2) && text.size() >= 2 && text[text.size() - 2] != '\n') text.pop_back();
        TextIn in;
        in.open_text(text);
        // Records of a few items each, read alike from both until the text ends.
        while (plain.next_line < plain.lines.size()) {
            FreeRead fast(in);
            PlainRecords::Record ref{plain};
            const int nitems = 1 + g.below(40);
            for (int k = 0; k < nitems;) {
                const int kind = g.below(6);
                if (kind == 0) {
                    std::int32_t a = -7, b = -7;
                    fast.i(a);
                    ref.read(b, plain_int);
                    ASSERT_EQ(a, b) << text;
                    ++k;
                } else if (kind == 1) {
                    float a = -7, b = -7;
                    fast.r(a);
                    ref.read(b, plain_float);
                    ASSERT_EQ(bits_or_nan(a), bits_or_nan(b)) << text;
                    ++k;
                } else if (kind == 2) {
                    // Pairs of an integer and a real in one call.
                    const int n = 1 + g.below(20);
                    std::vector<std::int32_t> ia(static_cast<std::size_t>(n), -7), ib(ia);
                    std::vector<float> fa(static_cast<std::size_t>(n), -7), fb(fa);
                    fast.pairs(ia.data(), fa.data(), n);
                    for (std::size_t j = 0; j < ib.size(); ++j) {
                        ref.read(ib[j], plain_int);
                        ref.read(fb[j], plain_float);
                    }
                    ASSERT_EQ(ia, ib) << text;
                    for (std::size_t j = 0; j < fb.size(); ++j)
                        ASSERT_EQ(bits_or_nan(fa[j]), bits_or_nan(fb[j])) << text << " pair " << j;
                    k += 2 * n;
                } else if (kind == 3) {
                    // A run of integers in one call.
                    const int n = 1 + g.below(30);
                    std::vector<std::int32_t> a(static_cast<std::size_t>(n), -7), b(a);
                    fast.i(a.data(), n);
                    for (std::int32_t& v : b) ref.read(v, plain_int);
                    ASSERT_EQ(a, b) << text;
                    k += n;
                } else {
                    // A run of reals in one call.
                    const int n = 1 + g.below(40);
                    std::vector<float> a(static_cast<std::size_t>(n), -7), b(static_cast<std::size_t>(n), -7);
                    fast.r(a.data(), n);
                    for (float& v : b) ref.read(v, plain_float);
                    for (int j = 0; j < n; ++j)
                        ASSERT_EQ(bits_or_nan(a[static_cast<std::size_t>(j)]), bits_or_nan(b[static_cast<std::size_t>(j)]))
                            << text << " run item " << j;
                    k += n;
                }
                ASSERT_EQ(fast.status(), ref.status) << text;
                ASSERT_EQ(fast.items(), ref.items) << text;
            }
            ASSERT_EQ(fast.end(), ref.end()) << text;
            if (ref.fetched) {
                ASSERT_EQ(fast.line(), plain.texts[ref.line]) << text;
            }
            ASSERT_EQ(in.line_number(), static_cast<long>(plain.next_line)) << ::testing::PrintToString(text) << " items " << nitems;
        }
    }
}

// The fields of a line as argstr finds them, counted.
TEST(NumberReading, FieldCountIsWhatArgstrFinds) {
    Lcg g{99};
    const char chars[] = {' ', ' ', ' ', 'a', '1', '\t', ',', '.', '\r'};
    for (int trial = 0; trial < 20000; ++trial) {
        std::string line;
        const int n = g.below(90);
        for (int k = 0; k < n; ++k) line.push_back(chars[g.below(sizeof chars)]);
        for (const int l : {static_cast<int>(line.size()), g.below(100) - 5}) {
            int fields = 0;
            for (int f = 1;; ++f) {
                int ib = 0, ie = 0;
                argstr(f, line, ib, ie, l);
                if (ib <= 0 || ie < ib) break;
                fields = f;
            }
            ASSERT_EQ(nveld(line, l), fields) << '"' << line << "\" " << l;
        }
    }
}
