// Mapping modes, save and restore on a pixel surface, and a plain metafile
// recorded and played back through a mapping.
#include <gtest/gtest.h>

#include "platform/os_gdi.h"
#include "platform/os_metafile.h"
#include "tests/support/quinda_test.h"

namespace {

class OsMapping : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        os_dc_reset();
        dc = os_create_compatible_dc(0);
        os_select_object(dc, os_create_compatible_bitmap(dc, 40, 30));
        os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
        os_select_object(dc, os_get_stock_object(OS_WHITE_BRUSH));
    }
    // The box a filled rectangle (0, 0)..(10, 10) in logical units covers,
    // as left, top, right, bottom pixels (inclusive).
    std::array<int, 4> painted() {
        std::array<int, 4> b{99, 99, -1, -1};
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                if (os_get_pixel(dc, x, y) == 0xFFFFFFu) {
                    b[0] = std::min(b[0], x), b[1] = std::min(b[1], y);
                    b[2] = std::max(b[2], x), b[3] = std::max(b[3], y);
                }
        return b;
    }
    OsDC dc = 0;
};

TEST_F(OsMapping, WindowAndViewportPlaceTheDrawing) {
    struct Case {
        const char* what;
        int mode;
        OsPoint worg, wext, vorg, vext;
        std::array<int, 4> box;
    };
    const Case cases[] = {
        {"one to one", OS_MM_TEXT, {0, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 0, 8, 8}},
        {"origins move it", OS_MM_TEXT, {-5, 0}, {1, 1}, {0, 3}, {1, 1}, {5, 3, 13, 11}},
        {"extents count only when anisotropic", OS_MM_TEXT, {0, 0}, {10, 10}, {0, 0}, {20, 20}, {0, 0, 8, 8}},
        {"doubled", OS_MM_ANISOTROPIC, {0, 0}, {10, 10}, {0, 0}, {20, 20}, {0, 0, 18, 18}},
        {"x halved, y doubled", OS_MM_ANISOTROPIC, {0, 0}, {20, 10}, {2, 2}, {10, 20}, {2, 2, 5, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::int32_t level = os_save_dc(dc);
        ASSERT_GE(level, 1);
        os_set_map_mode(dc, c.mode);
        os_set_window_org(dc, c.worg.x, c.worg.y);
        os_set_window_ext(dc, c.wext.x, c.wext.y);
        os_set_viewport_org(dc, c.vorg.x, c.vorg.y);
        os_set_viewport_ext(dc, c.vext.x, c.vext.y);
        os_rectangle(dc, 0, 0, 10, 10);
        // Pixels are read in logical units too: back to one to one first.
        ASSERT_TRUE(os_restore_dc(dc, -1));
        EXPECT_EQ(os_get_map_mode(dc), OS_MM_TEXT);
        EXPECT_EQ(painted(), c.box);
        // Clear for the next case.
        os_select_object(dc, os_get_stock_object(OS_BLACK_BRUSH));
        os_rectangle(dc, 0, 0, 42, 32);
        os_select_object(dc, os_get_stock_object(OS_WHITE_BRUSH));
    }
    EXPECT_FALSE(os_restore_dc(dc, -1));   // nothing saved any more
    EXPECT_FALSE(os_set_window_ext(dc, 0, 5));
    EXPECT_FALSE(os_scale_viewport_ext(dc, 1, 0, 1, 1));
}

TEST_F(OsMapping, MetafilePlaysThroughTheMapping) {
    const OsDC rec = os_create_metafile("");
    os_set_map_mode(rec, OS_MM_ANISOTROPIC);
    os_set_window_ext(rec, 100, 100);
    os_select_object(rec, os_get_stock_object(OS_NULL_PEN));
    os_select_object(rec, os_get_stock_object(OS_WHITE_BRUSH));
    os_rectangle(rec, 50, 0, 102, 102);   // the right half
    const OsMetafile mf = os_close_metafile(rec);
    ASSERT_NE(mf, 0);
    // Bits out and in; data that is no metafile is refused.
    const std::vector<std::uint8_t> bits = os_get_metafile_bits(mf);
    EXPECT_EQ(os_set_enh_metafile_bits(bits), 0);
    EXPECT_EQ(os_set_metafile_bits({1, 2, 3}), 0);
    const OsMetafile copy = os_set_metafile_bits(bits);
    ASSERT_NE(copy, 0);
    os_set_map_mode(dc, OS_MM_ANISOTROPIC);
    os_set_viewport_ext(dc, 40, 30);
    EXPECT_TRUE(os_play_metafile(dc, copy));
    os_set_map_mode(dc, OS_MM_TEXT);
    EXPECT_EQ(os_get_pixel(dc, 30, 15), 0xFFFFFFu);
    EXPECT_EQ(os_get_pixel(dc, 10, 15), 0x000000u);
    EXPECT_TRUE(os_delete_metafile(mf));
    EXPECT_TRUE(os_delete_metafile(copy));
    EXPECT_FALSE(os_delete_metafile(copy));
}

}  // namespace
