// The raster image buffer: where pixels live in each storage mode, sizing
// with its fall-backs when memory is short, and the clear.
#include <cmath>

#include <filesystem>

#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcstate.h"
#include "tests/raster/raster_fixture.h"

namespace {

using RasterBuffer = RasterTest;

struct LayoutCase {
    const char* name;
    int depth, width, x, y;
    std::int32_t value;
    std::int32_t fill;                               // every word before the write
    std::vector<std::pair<int, std::uint32_t>> words;  // word index -> value after
};

TEST_F(RasterBuffer, PixelsLandWhereTheLayoutPutsThem) {
    const std::vector<LayoutCase> cases = {
        {"1-bit pixel 32 of a 33-wide row", 1, 33, 32, 0, 1, 0, {{0, 0u}, {1, 1u}, {2, 0u}}},
        {"1-bit any non-zero value inks", 1, 33, 3, 1, 6, 0, {{2, 8u}}},
        {"1-bit zero clears", 1, 33, 3, 1, 0, -1, {{2, 0xFFFFFFF7u}}},
        // Planes of 2 words each (33 wide, 1 row): words 0, 2, 4, 6.
        {"4-bit code 5 sets planes 0 and 2", 4, 33, 0, 0, 5, -1,
         {{0, 0xFFFFFFFFu}, {2, 0xFFFFFFFEu}, {4, 0xFFFFFFFFu}, {6, 0xFFFFFFFEu}}},
        {"8-bit x = 6 is byte 2 of word 1", 8, 33, 6, 0, 127, static_cast<std::int32_t>(0xABABABABu),
         {{0, 0xABABABABu}, {1, 0xAB7FABABu}, {2, 0xABABABABu}}},
        {"8-bit value cut to its byte", 8, 33, 5, 0, 0x1FF, 0, {{1, 0x0000FF00u}}},
        {"24-bit stores the packed colour", 24, 3, 2, 1, 0x123456, 0, {{5, 0x123456u}, {4, 0u}}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        page(c.width, c.y + 1, c.depth);
        std::fill(IRBUFF.begin(), IRBUFF.end(), c.fill);
        yyvra1(c.value, c.x, c.y);
        for (const auto& [index, value] : c.words) EXPECT_EQ(static_cast<std::uint32_t>(IRBUFF.at(static_cast<std::size_t>(index))), value) << "word " << index;
    }
}

TEST_F(RasterBuffer, BitPixelsReadBackThroughThePixelTests) {
    // 33 x 2 page, 4 planes: pixel (32, 0) with code 5 is printed in the
    // passes of planes 0 and 2 only; the row is printer line 1.
    page(33, 2, 4);
    yyvra1(5, 32, 0);
    for (std::int32_t plane = 0; plane < 4; ++plane) {
        raster.selectedPlane = plane;
        std::int32_t j = 1, got = 0;
        for (std::int32_t i = 0; i <= 32; ++i) got = yyras4(i, j);
        EXPECT_EQ(got, plane == 0 || plane == 2 ? 1 : 0) << "plane " << plane;
    }
    page(33, 1, 1);
    yyvra1(1, 32, 0);
    std::int32_t i = 32, j = 0;
    EXPECT_EQ(yyras5(i, j), 1);
    EXPECT_EQ(IRBUFF[1], 1);
}

// Allocator that refuses the first FAILURES attempts and records every
// request.
struct ScriptedAllocator {
    int failures = 0;
    std::vector<std::int64_t> asked;
    std::vector<bool> held_before;  // whether the buffer was still held at the attempt
    RasterAllocator make() {
        return [this](std::vector<std::int32_t>& buffer, std::int64_t words) {
            asked.push_back(words);
            held_before.push_back(!buffer.empty());
            if (failures > 0) {
                --failures;
                return false;
            }
            return raster_default_allocate(buffer, words);
        };
    }
};

TEST_F(RasterBuffer, ImageFileShrinksByATenthOnEveryFailedAttempt) {
    ScriptedAllocator alloc;
    alloc.failures = 2;
    raster_allocator = alloc.make();
    gstate.hardcopy_flag = 1;
    gstate.hc.options.set(1, 640);
    gstate.hc.options.set(2, 480);
    gstate.hc.options.set(23, 1);
    ASSERT_TRUE(raster_size_image());

    // Sizes the shrink rule gives, attempt by attempt.
    int w = 640, h = 480;
    std::vector<std::int64_t> expected;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::int64_t total = std::int64_t{(w + 31) / 32} * h;
        expected.push_back(total + 1);
        const std::int64_t a = 9 * total / 10;
        const float f = std::sqrt(static_cast<float>(total) / static_cast<float>(a));
        if (attempt < 2) {
            w = static_cast<int>(static_cast<float>(w) / f);
            h = static_cast<int>(static_cast<float>(h) / f);
        }
    }
    EXPECT_EQ(alloc.asked, expected);
    EXPECT_EQ(raster.rasterWidth, w);
    EXPECT_EQ(raster.rasterHeight, h);
    EXPECT_EQ(expected[1], 19 * 455 + 1);  // 607 x 455 after the first shrink
    EXPECT_EQ(static_cast<std::int64_t>(IRBUFF.size()), expected.back());
    EXPECT_EQ(raster.clearLimit, raster.totalWords);
    ASSERT_EQ(reported_errors().size(), 2u);
    EXPECT_NE(reported_errors()[0].find("XXIMAG"), std::string::npos);
    EXPECT_NE(reported_errors()[0].find("34"), std::string::npos);
    EXPECT_EQ(gstate.hardcopy_flag, 1);
}

TEST_F(RasterBuffer, ImageFileShrinkAlwaysEnds) {
    // Pages that never fit, including pages with no pixels (a = 0) and one
    // whose word count does not fit the buffer's indices: each attempt asks
    // for less, the last for a single pixel, and then sizing gives up.
    struct Case {
        int w, h, depth;
        std::int64_t last_ask;
        int last_w, last_h;
    };
    const std::vector<Case> pages = {{640, 480, 24, 2, 1, 1},
                                     {1, 5, 8, 2, 1, 1},
                                     {2000000000, 2000000000, 24, 2, 1, 1},
                                     {0, 0, 1, 1, 0, 0}};
    for (const Case& c : pages) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        ScriptedAllocator alloc;
        alloc.failures = 1 << 30;
        raster_allocator = alloc.make();
        reported_errors().clear();
        gstate.hardcopy_flag = 1;
        gstate.hc.options.set(1, c.w);
        gstate.hc.options.set(2, c.h);
        gstate.hc.options.set(23, c.depth);
        EXPECT_FALSE(raster_size_image());
        EXPECT_FALSE(raster_allocated());
        EXPECT_EQ(gstate.hardcopy_flag, 0);
        ASSERT_FALSE(alloc.asked.empty());
        EXPECT_EQ(alloc.asked.back(), c.last_ask);
        for (std::size_t i = 1; i < alloc.asked.size(); ++i) EXPECT_LT(alloc.asked[i], alloc.asked[i - 1]);
        // Pages too large for the buffer's indices are refused without
        // asking; every failed attempt is reported all the same.
        EXPECT_GE(reported_errors().size(), alloc.asked.size());
        EXPECT_EQ(raster.rasterWidth, c.last_w);
        EXPECT_EQ(raster.rasterHeight, c.last_h);
    }
}

TEST_F(RasterBuffer, PrinterFallsBackToLowerResolutionsThenGivesUp) {
    const std::array<int, 3> dpi = {300, 150, 75};
    hcstate.models.PrinterPlanes = 3;
    hcstate.models.PrinterColourKind = 1;
    hcstate.models.ResolutionCount = 3;
    hcstate.models.DotsPerPass = 1;
    auto geometry = [&](std::int32_t index) {
        const int d = dpi[static_cast<std::size_t>(std::clamp(index, 1, 3) - 1)];
        raster.dotsPerInchX = raster.dotsPerInchY = static_cast<float>(d);
        raster.rasterWidth = raster.printRasterWidth = 8 * d;
        raster.rasterHeight = raster.printRasterHeight = 10 * d;
    };
    struct Case {
        int failures;
        bool sized;
        std::int32_t index_after;
        std::size_t errors;
        std::int32_t hardcopy_after;
    };
    for (const Case& c : {Case{0, true, 1, 0, 1}, Case{2, true, 3, 0, 1}, Case{3, false, 3, 1, 0}}) {
        SCOPED_TRACE(c.failures);
        ScriptedAllocator alloc;
        alloc.failures = c.failures;
        raster_allocator = alloc.make();
        reported_errors().clear();
        gstate.hardcopy_flag = 1;
        hcstate.ResolutionIndex = 1;
        EXPECT_EQ(raster_size_printer(geometry), c.sized);
        EXPECT_EQ(hcstate.ResolutionIndex, c.index_after);
        EXPECT_EQ(reported_errors().size(), c.errors);
        if (c.errors > 0) {
            EXPECT_NE(reported_errors()[0].find("XXRAST"), std::string::npos);
        }
        EXPECT_EQ(gstate.hardcopy_flag, c.hardcopy_after);
        EXPECT_EQ(raster_allocated(), c.sized);
        if (c.sized) {
            const int d = dpi[static_cast<std::size_t>(c.index_after - 1)];
            EXPECT_EQ(raster.wordsPerRow, (8 * d + 31) / 32);
            EXPECT_EQ(raster.totalWords, 3 * raster.wordsPerRow * 10 * d);
            EXPECT_EQ(raster.pixelDepth, 3);
            EXPECT_EQ(raster.clearWord, -1);
        }
    }
}

TEST_F(RasterBuffer, HeldBufferIsReleasedBeforeTheNextSizing) {
    ScriptedAllocator alloc;
    raster_allocator = alloc.make();
    gstate.hc.options.set(1, 64);
    gstate.hc.options.set(2, 8);
    gstate.hc.options.set(23, 8);
    ASSERT_TRUE(raster_size_image());
    ASSERT_TRUE(raster_allocated());
    // The begin could not open its output: hardcopy went off and the buffer
    // stayed. The next begin sizes afresh without a failed attempt.
    ASSERT_TRUE(raster_size_image());
    ASSERT_EQ(alloc.held_before.size(), 2u);
    EXPECT_FALSE(alloc.held_before[1]);
    EXPECT_TRUE(reported_errors().empty());

    hcstate.ResolutionIndex = 1;
    ASSERT_TRUE(raster_size_printer([](std::int32_t) { raster.rasterWidth = raster.rasterHeight = 10; }));
    EXPECT_FALSE(alloc.held_before.back());
    EXPECT_EQ(hcstate.ResolutionIndex, 1);
    yyvras(OpEndOutput);
    EXPECT_FALSE(raster_allocated());
}

TEST_F(RasterBuffer, ClearWritesEveryWordPastTheLastBand) {
    // A 3-bit page of an RGB printer with 24-dot column bands: 50 rows are
    // two whole bands and two rows.
    hcstate.models.PrinterPlanes = 3;
    hcstate.models.PrinterColourKind = 1;
    hcstate.models.DotsPerPass = 24;
    raster_allocator = [](std::vector<std::int32_t>& b, std::int64_t words) {
        b.assign(static_cast<std::size_t>(words), 0x12345678);  // what a previous page left
        return true;
    };
    ASSERT_TRUE(raster_size_printer([](std::int32_t) {
        raster.rasterWidth = 40;
        raster.rasterHeight = 50;
    }));
    EXPECT_EQ(raster.totalWords, 3 * 2 * 50);
    const std::int32_t band = 2 * 24 * 3;
    EXPECT_EQ(raster.clearLimit, (raster.totalWords / band) * band);
    EXPECT_LT(raster.clearLimit, raster.totalWords);
    yyvras(OpClear);
    for (std::size_t i = 0; i < IRBUFF.size(); ++i) ASSERT_EQ(IRBUFF[i], -1) << "word " << i;
    EXPECT_EQ(IRBUFF.size(), static_cast<std::size_t>(raster.totalWords) + 1);
}

}  // namespace

namespace {

TEST_F(RasterBuffer, BeginOpensTheOutputAndEndClosesIt) {
    page(8, 4, 8);
    std::int32_t handle = -1;
    yyprfh(DriverChannel, handle);
    EXPECT_GE(handle, 0);
    yyvras(OpEndOutput);
    yyprfh(DriverChannel, handle);
    EXPECT_EQ(handle, -1);
    EXPECT_TRUE(std::filesystem::exists(output_file()));
    EXPECT_FALSE(raster_allocated());

    // An output that cannot be opened: hardcopy goes off, the channel's
    // error stays the last error and the page is left as it was.
    page(8, 4, 8);
    yyvras(OpEndOutput);
    ASSERT_TRUE(raster_size_image());
    txt_set(DriverText, dir.file("no/such/dir/page.out"));
    gstate.hardcopy_flag = 1;
    gstate.hc.x_scale = 3.0f;
    raster.LastLineEnd = {1, 2};
    drvargs.K = 1;
    yyvras(OpBeginPicture);
    EXPECT_EQ(gstate.hardcopy_flag, 0);
    EXPECT_EQ(infoerror(1), 1);
    EXPECT_FLOAT_EQ(gstate.hc.x_scale, 3.0f);
    EXPECT_EQ(raster.LastLineEnd, (std::array<std::int32_t, 2>{1, 2}));
    // The buffer stays held until the next sizing gives it back.
    EXPECT_TRUE(raster_allocated());
}

}  // namespace
