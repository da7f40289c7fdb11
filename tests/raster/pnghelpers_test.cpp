// The PNG byte helpers and the compression routines over zlib.
#include <gtest/gtest.h>

#include <zlib.h>

#include "lib/raster/imagefiles.h"
#include "lib/window/errors.h"
#include "tests/raster/image_tools.h"
#include "tests/support/quinda_test.h"

namespace {

using PngHelpers = QuindaTest;

TEST_F(PngHelpers, CrcOfKnownChunks) {
    EXPECT_EQ(yypngcrc2(reinterpret_cast<const std::uint8_t*>("IEND"), 4), 0xAE426082u);
    EXPECT_EQ(yypngcrc2(reinterpret_cast<const std::uint8_t*>("abc"), 3), 0x352441C2u);
    EXPECT_EQ(yypngcrc2(reinterpret_cast<const std::uint8_t*>("abc"), 0), 0u);
    std::int32_t crc = 0;
    yypngcrc(4, crc, "IEND");
    EXPECT_EQ(static_cast<std::uint32_t>(crc), 0xAE426082u);
    // A length beyond the text takes only the text.
    yypngcrc(99, crc, "abc");
    EXPECT_EQ(static_cast<std::uint32_t>(crc), 0x352441C2u);
}

TEST_F(PngHelpers, ByteOrders) {
    std::int32_t v = 0;
    yych2int(bytes_of({1, 2}), 2, v);
    EXPECT_EQ(v, 513);
    yych2int(bytes_of({0, 0, 1, 0}), 4, v);
    EXPECT_EQ(v, 65536);
    yych2int(bytes_of({0xFF, 0xFF, 0xFF, 0xFF}), 3, v);  // any other n: unsigned 16 bits
    EXPECT_EQ(v, 65535);
    yych2int(bytes_of({7}), 4, v);  // bytes the text lacks count as 0
    EXPECT_EQ(v, 7);
    yypngc2i(bytes_of({0x80, 0, 0, 0}), v);
    EXPECT_EQ(v, -2147483647 - 1);
    const std::uint8_t b[4] = {1, 2, 3, 4};
    EXPECT_EQ(yypngc2i(b), 0x01020304);
    std::uint8_t out[4] = {};
    yypngword(0x0A0B0C0D, out);
    EXPECT_EQ(out[0], 0x0A);
    EXPECT_EQ(out[3], 0x0D);
    std::string text;
    yypngwrd(-1, text);
    EXPECT_EQ(text, bytes_of({255, 255, 255, 255}));
    EXPECT_EQ(yypngcmp(reinterpret_cast<const std::uint8_t*>("IDAT"), "IDAT"), 1);
    EXPECT_EQ(yypngcmp(reinterpret_cast<const std::uint8_t*>("IDAt"), "IDAT"), 0);
}

struct FilterCase {
    const char* what;
    std::vector<std::uint8_t> in;
    std::int32_t stride, rows, bpp;
    std::vector<std::uint8_t> out;
};

TEST_F(PngHelpers, FiltersAreUndoneInPlace) {
    const std::vector<FilterCase> cases = {
        {"up on the first row leaves it", {2, 5, 6}, 3, 1, 1, {2, 5, 6}},
        {"unknown type leaves the row", {7, 5, 6}, 3, 1, 1, {7, 5, 6}},
        {"sub adds the left byte", {1, 5, 6, 250}, 4, 1, 1, {1, 5, 11, 5}},
        {"sub at two bytes a pixel", {1, 1, 2, 3, 4}, 5, 1, 2, {1, 1, 2, 4, 6}},
        {"average on the first row: half the left", {3, 10, 10}, 3, 1, 1, {3, 10, 15}},
        {"paeth on the first row is sub", {4, 10, 10}, 3, 1, 1, {4, 10, 20}},
        {"up adds the row above", {0, 1, 2, 2, 10, 20}, 3, 2, 1, {0, 1, 2, 2, 11, 22}},
        {"average with a row above", {0, 4, 8, 3, 2, 2}, 3, 2, 1, {0, 4, 8, 3, 4, 8}},
        // First bytes of a later row: Paeth(0, above, 0) picks the byte above.
        {"paeth first byte takes the byte above", {0, 9, 9, 4, 1, 0}, 3, 2, 1, {0, 9, 9, 4, 10, 10}},
        // a = b = c: a is taken.
        {"paeth ties pick the left", {0, 5, 5, 4, 0, 7}, 3, 2, 1, {0, 5, 5, 4, 5, 12}},
        {"a bpp below 1 counts as 1", {1, 5, 6}, 3, 1, 0, {1, 5, 11}},
        // Only whole rows inside the buffer: the second row is cut off.
        {"rows past the buffer are left", {1, 1, 1, 1, 1}, 3, 2, 1, {1, 1, 2, 1, 1}},
    };
    for (const FilterCase& c : cases) {
        std::vector<std::uint8_t> data = c.in;
        EXPECT_EQ(yypngfilter2(data, c.stride, c.rows, c.bpp), c.rows) << c.what;
        EXPECT_EQ(data, c.out) << c.what;
    }
    std::string text = bytes_of({1, 5, 6});
    yypngfilter(3, 1, 1, text);
    EXPECT_EQ(text, bytes_of({1, 5, 11}));
}

TEST_F(PngHelpers, CompressionRoundTripAndFailures) {
    const std::string source(5000, 'q');
    std::string packed(200, '\0');
    std::int32_t n = 200;
    WCompress(source, packed, 5000, n);
    ASSERT_GT(n, 0);
    EXPECT_EQ(infoerror(1), 0);
    std::string back(5000, '\0');
    std::int32_t m = 5000;
    WUnCompress(packed, back, n, m);
    EXPECT_EQ(m, 5000);
    EXPECT_EQ(back, source);

    // Too little room: zlib's buffer error, reported, nothing produced.
    std::string small(10, '\0');
    m = 10;
    WUnCompress(packed, small, n, m);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(infoerror(1), 1044);
    EXPECT_EQ(infoerror(3), Z_BUF_ERROR);

    // A room claimed beyond the buffer is cut to the buffer.
    m = 1000000;
    WUnCompress(packed, small, n, m);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(infoerror(1), 1044);

    // A source length beyond the source is refused, not read.
    m = 5000;
    WUnCompress(std::string_view(packed.data(), 4), back, 100, m);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(infoerror(1), 1044);
    EXPECT_EQ(infoerror(3), Z_STREAM_ERROR);

    // Not a zlib stream.
    m = 5000;
    WUnCompress(std::string(20, 'x'), back, 20, m);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(infoerror(1), 1044);
    EXPECT_EQ(infoerror(3), Z_DATA_ERROR);
}

}  // namespace
