// The BMP, PCX and PNG writers byte by byte on small pages.
#include <zlib.h>

#include "lib/hardcopy/hardcopy.h"
#include "lib/raster/imagefiles.h"
#include "platform/os_file.h"
#include "tests/raster/image_tools.h"
#include "tests/raster/raster_fixture.h"

namespace {

class PageWriters : public RasterTest {
protected:
    // The bytes WRITER puts out for the page now drawn.
    std::string written(void (*writer)()) {
        writer();
        yyprcl(DriverChannel);
        return read_file(output_file());
    }
    static std::string slice(const std::string& s, std::size_t at, std::size_t n) { return s.substr(at, n); }
    static std::uint32_t le(const std::string& s, std::size_t at, int n) {
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
        return v;
    }
    static std::uint32_t be(const std::string& s, std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
        return v;
    }
    // The inflated IDAT data of a PNG with one IDAT chunk.
    static std::string png_raw(const std::string& png, std::size_t expected) {
        std::size_t at = png.find("IDAT");
        EXPECT_NE(at, std::string::npos);
        if (at == std::string::npos) return {};
        const std::uint32_t n = be(png, at - 4);
        std::string out(expected + 16, '\0');
        uLongf len = out.size();
        EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &len,
                             reinterpret_cast<const Bytef*>(png.data() + at + 4), n),
                  Z_OK);
        out.resize(len);
        return out;
    }
};

TEST_F(PageWriters, BmpHeadersTablesAndRows) {
    // One bit, width 100: rows of 13 bytes padded to 16, white then black.
    page(100, 2, 1);
    yyvra1(1, 0, 0);
    yyvra1(1, 99, 1);
    std::string f = written(yybmp1);
    ASSERT_EQ(f.size(), 62u + 16 * 2);
    EXPECT_EQ(slice(f, 0, 2), "BM");
    EXPECT_EQ(le(f, 2, 4), 94u);
    EXPECT_EQ(le(f, 10, 4), 62u);
    EXPECT_EQ(le(f, 14, 4), 40u);
    EXPECT_EQ(le(f, 18, 4), 100u);
    EXPECT_EQ(le(f, 22, 4), 2u);
    EXPECT_EQ(le(f, 26, 2), 1u);
    EXPECT_EQ(le(f, 28, 2), 1u);
    EXPECT_EQ(le(f, 30, 4), 0u);
    EXPECT_EQ(slice(f, 54, 8), bytes_of({255, 255, 255, 0, 0, 0, 0, 0}));
    // Raster row 0 first; its leftmost pixel in the top bit.
    EXPECT_EQ(static_cast<unsigned char>(f[62]), 0x80);
    EXPECT_EQ(slice(f, 75, 3), std::string(3, '\0'));
    EXPECT_EQ(static_cast<unsigned char>(f[78 + 12]), 0x10);  // pixel 99: bit 3 of byte 12

    // 24 bits: no table, blue green red.
    page(3, 1, 24);
    yyvra4(0x123456, 0, 0, 0);
    f = written(yybmp1);
    ASSERT_EQ(f.size(), 54u + 12);
    EXPECT_EQ(le(f, 10, 4), 54u);
    EXPECT_EQ(slice(f, 54, 3), bytes_of({0x12, 0x34, 0x56}));
    EXPECT_EQ(slice(f, 57, 3), bytes_of({255, 255, 255}));

    // Four bits: the planes give the file's colour index 1 x plane 2 +
    // 2 x plane 1 + 4 x plane 0 + 8 x plane 3.
    page(10, 1, 4);
    yyvra4(1, 0, 0, 0);   // plane 0
    yyvra4(4, 1, 0, 1);   // plane 2
    yyvra4(8, 2, 0, 2);   // plane 3
    f = written(yybmp1);
    ASSERT_EQ(f.size(), 54u + 64 + 8);
    EXPECT_EQ(le(f, 10, 4), 118u);
    EXPECT_EQ(slice(f, 118, 2), bytes_of({0x41, 0x80}));
}

TEST_F(PageWriters, BmpLargeFieldsAndLongRows) {
    // Width above 65535 and a row longer than the work block: whole 32-bit
    // fields, and the row written from a buffer of its own.
    page(70001, 1, 8);
    yyvra4(3, 69999, 0, 70000);
    const std::string f = written(yybmp1);
    const std::uint32_t stride = 70004;
    ASSERT_EQ(f.size(), 54u + 1024 + stride);
    EXPECT_EQ(le(f, 2, 4), 54u + 1024 + stride);
    EXPECT_EQ(le(f, 18, 4), 70001u);
    EXPECT_EQ(slice(f, 1078 + 69998, 6), bytes_of({0, 3, 3, 0, 0, 0}));
}

TEST_F(PageWriters, RunLengthBmp) {
    gstate.hc.options.set(26, 2);
    // 600 equal pixels: runs of 252, 252 and 96, the end of the line and
    // the end of the bitmap.
    page(600, 1, 8);
    yyvra4(9, 0, 0, 599);
    std::string f = written(yybmp1);
    EXPECT_EQ(le(f, 30, 4), 1u);
    EXPECT_EQ(f.substr(1078), bytes_of({252, 9, 252, 9, 96, 9, 0, 0, 0, 1}));
    yybmp2(output_file());
    f = read_file(output_file());
    EXPECT_EQ(le(f, 2, 4), f.size());
    EXPECT_EQ(le(f, 34, 4), 10u);

    // Unequal groups are absolute packets of their own; the last group of a
    // width that is no multiple of four is completed with zeros.
    page(6, 2, 8);
    yyvra4(7, 0, 0, 5);
    yyvra1(1, 1, 1);
    f = written(yybmp1);
    EXPECT_EQ(f.substr(1078), bytes_of({4, 7, 0, 4, 7, 7, 0, 0, 0, 0,  //
                                        0, 4, 0, 1, 0, 0, 4, 0, 0, 0, 0, 1}));

    // RLE4: a group of 8 equal pixels is a run of 8; mixed nibbles are absolute.
    page(16, 1, 4);
    yyvra4(1, 0, 0, 7);
    yyvra4(1, 8, 0, 8);
    f = written(yybmp1);
    EXPECT_EQ(le(f, 30, 4), 2u);
    EXPECT_EQ(f.substr(118), bytes_of({8, 0x44, 0, 8, 0x40, 0, 0, 0, 0, 0, 0, 1}));

    // One bit is never encoded.
    page(8, 1, 1);
    f = written(yybmp1);
    EXPECT_EQ(le(f, 30, 4), 0u);
    EXPECT_EQ(f.size(), 62u + 4);
}

TEST_F(PageWriters, PcxHeadersAndRuns) {
    // 100 zero bytes: a run of 63 and one of 37; the palette trailer.
    page(100, 1, 8);
    std::string f = written(yypcx1);
    ASSERT_EQ(f.size(), 128u + 4 + 769);
    EXPECT_EQ(slice(f, 0, 4), bytes_of({10, 5, 1, 8}));
    EXPECT_EQ(le(f, 8, 2), 99u);
    EXPECT_EQ(le(f, 10, 2), 0u);
    EXPECT_EQ(le(f, 12, 2), 75u);
    EXPECT_EQ(f[65], 1);
    EXPECT_EQ(le(f, 66, 2), 100u);
    EXPECT_EQ(le(f, 70, 2), 100u);
    EXPECT_EQ(le(f, 72, 2), 1u);
    EXPECT_EQ(slice(f, 16, 48), std::string(48, '\0'));
    EXPECT_EQ(slice(f, 128, 4), bytes_of({255, 0, 229, 0}));
    EXPECT_EQ(f[132], 12);

    // Single bytes: 200 needs a count, 191 does not; equal pairs run.
    page(4, 1, 8);
    yyvra1(200, 0, 0);
    yyvra1(191, 1, 0);
    yyvra4(5, 2, 0, 3);
    f = written(yypcx1);
    EXPECT_EQ(slice(f, 128, 5), bytes_of({193, 200, 191, 194, 5}));

    // One bit: ink goes out as clear bits, so readers see black on white;
    // the line is raised to an even length.
    page(8, 1, 1);
    yyvra1(1, 0, 0);
    f = written(yypcx1);
    EXPECT_EQ(f[1], 3);
    EXPECT_EQ(le(f, 66, 2), 2u);
    EXPECT_EQ(f.substr(128), bytes_of({0x7F, 193, 255}));

    // 24 bits, width 5: L = 6, three planes red, green, blue per row.
    page(5, 1, 24);
    yyvra4(0x030201, 0, 0, 4);
    f = written(yypcx1);
    EXPECT_EQ(f[1], 5);
    EXPECT_EQ(f[65], 3);
    EXPECT_EQ(le(f, 66, 2), 6u);
    EXPECT_EQ(f.substr(128, 4), bytes_of({197, 1, 193, 255}));

    // Four bits: the header palette and four planes.
    page(20, 1, 4);
    f = written(yypcx1);
    EXPECT_EQ(f[1], 5);
    EXPECT_EQ(f[65], 4);
    EXPECT_EQ(le(f, 66, 2), 4u);
    std::int32_t rgb = 0;
    yypalg16(15, rgb);
    EXPECT_EQ(static_cast<unsigned char>(f[16 + 45]), rgb & 0xFF);
}

TEST_F(PageWriters, PngChunks) {
    // 1 x 1, one bit, ink: raw bytes 0, 128, a palette of white then black.
    page(1, 1, 1);
    yyvra1(1, 0, 0);
    std::string f = written(yypng1);
    EXPECT_EQ(slice(f, 0, 8), bytes_of({137, 80, 78, 71, 13, 10, 26, 10}));
    EXPECT_EQ(slice(f, 8, 8), bytes_of({0, 0, 0, 13}) + "IHDR");
    EXPECT_EQ(slice(f, 16, 13), bytes_of({0, 0, 0, 1, 0, 0, 0, 1, 1, 3, 0, 0, 0}));
    EXPECT_EQ(be(f, 29), yypngcrc2(reinterpret_cast<const std::uint8_t*>(f.data() + 12), 17));
    EXPECT_EQ(slice(f, 33, 14), bytes_of({0, 0, 0, 6}) + "PLTE" + bytes_of({255, 255, 255, 0, 0, 0}));
    EXPECT_EQ(png_raw(f, 2), bytes_of({0, 128}));
    EXPECT_EQ(f.substr(f.size() - 12), bytes_of({0, 0, 0, 0, 73, 69, 78, 68, 174, 66, 96, 130}));

    // Eight bits, width 3: rows of 4 raw bytes, a 780-byte palette chunk.
    page(3, 2, 8);
    yyvra1(7, 2, 1);
    f = written(yypng1);
    EXPECT_EQ(be(f, 33), 768u);
    EXPECT_EQ(slice(f, 33 + 780, 8).substr(4), "IDAT");
    EXPECT_EQ(png_raw(f, 8), bytes_of({0, 0, 0, 7, 0, 0, 0, 0}));

    // Four bits: colour code 1 (plane 0) is nibble 4, code 4 (plane 2) nibble 1.
    page(2, 1, 4);
    yyvra1(1, 0, 0);
    yyvra1(4, 1, 0);
    f = written(yypng1);
    EXPECT_EQ(png_raw(f, 2), bytes_of({0, 0x41}));

    // 24 bits: red, green, blue.
    page(1, 1, 24);
    yyvra1(0x030201, 0, 0);
    f = written(yypng1);
    EXPECT_EQ(f[25], 2);
    EXPECT_EQ(png_raw(f, 4), bytes_of({0, 1, 2, 3}));
}

TEST_F(PageWriters, FailedWritesStopTheWriters) {
    struct Case {
        const char* what;
        void (*writer)();
    };
    // Each write goes out as it comes, so the writers see a failure at once.
    hcstate.channel_block = 0;
    for (const Case& c : {Case{"bmp", yybmp1}, Case{"pcx", yypcx1}, Case{"png", yypng1}}) {
        txt_set(DriverText, "/dev/full");
        page(40, 40, 8);
        reported_errors().clear();
        const std::uint64_t before = os_file_write_calls();
        c.writer();
        EXPECT_EQ(hcstate.HardcopyErrorFlag, 1) << c.what;
        // No more writes after the failed one, and one report of it.
        EXPECT_EQ(os_file_write_calls() - before, 1u) << c.what;
        yyprcl(DriverChannel);
        EXPECT_EQ(reported_errors().size(), 1u) << c.what;
    }
}

}  // namespace
