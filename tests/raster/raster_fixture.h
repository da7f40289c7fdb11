#pragma once
// Fixture of the raster tests: a drawable of the page's own size (one device
// unit per page pixel), the raster device standing in the image-file
// driver's place, a page of a chosen size and depth begun and cleared, and
// readers that take pixels back out of IRBUFF by the layout alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/raster/raster.h"
#include "lib/window/text.h"
#include "lib/window/errors.h"
#include "tests/support/graphics_test.h"
#include "tests/support/test_raster.h"

// Error reports seen through the status-bar report mode.
inline std::vector<std::string>& reported_errors() {
    static std::vector<std::string> lines;
    return lines;
}

class RasterTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        igrinit();
        reported_errors().clear();
        idebuglevel(ReportStatusBar);
        error_statusbar_hook = [](std::string_view line) { reported_errors().emplace_back(line); };
        txt_set(DriverText, output_file());
    }

    // Where the begin opens its output.
    std::string output_file() const { return dir.file("page.out"); }
    TempDir dir;

    // A page of W x H pixels at DEPTH bits, begun, cleared and clipped to
    // the whole drawable; hardcopy output on with the raster device as the
    // selected driver.
    void page(int w, int h, int depth) {
        surfaces.open_window(1, w, h);
        IGrSelect(1, 1);
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrUnits(0.0f, 0.0f, static_cast<float>(w) - 0.01f, static_cast<float>(h) - 0.01f);
        grlinks.hardcopy_drivers[DriverImageFile] = yyvras;
        gstate.hc.selected_driver = DriverImageFile;
        yyvras(OpInitialise);
        gstate.hc.options.set(1, w);
        gstate.hc.options.set(2, h);
        gstate.hc.options.set(23, depth);
        ASSERT_TRUE(raster_size_image());
        begin_and_clear();
        gstate.hardcopy_flag = 1;
        infoerror(1);
        driver.clear();
    }

    static void begin_and_clear() {
        drvargs.K = 1;
        yyvras(OpBeginPicture);
        yyvras(OpClear);
        yyvras(OpClip);
        yyvras(OpLineType);
        yyvras(OpLineWidth);
    }

    // The value of pixel (X, Y) read by the layout of its storage mode.
    static std::int32_t pixel(int x, int y) {
        const RasterState& r = raster;
        const auto at = [](std::int64_t i) { return static_cast<std::uint32_t>(IRBUFF.at(static_cast<std::size_t>(i))); };
        const std::int64_t row = std::int64_t{y} * r.wordsPerRow;
        switch (r.storageMode) {
            case StorageBytes: return static_cast<std::int32_t>((at(row + x / 4) >> (8 * (x % 4))) & 0xFFu);
            case StorageRgb: return static_cast<std::int32_t>(at(row + x));
            default: {
                std::int32_t v = 0;
                for (int p = 0; p <= r.lastPlane; ++p)
                    v |= static_cast<std::int32_t>((at(std::int64_t{p} * r.wordsPerPlane + row + x / 32) >> (x % 32)) & 1u) << p;
                return v;
            }
        }
    }

    // The page as a one-bit picture: ink where the pixel differs from the
    // background.
    static TestBitmap picture() {
        const RasterState& r = raster;
        TestBitmap bm(r.rasterWidth, r.rasterHeight);
        const std::int32_t background = r.storageMode == StorageRgb ? r.clearWord : 0;
        for (int y = 0; y < r.rasterHeight; ++y)
            for (int x = 0; x < r.rasterWidth; ++x)
                if (pixel(x, y) != background) bm.set(x, y);
        return bm;
    }

    // The picture as text, top row first, for failure messages.
    static std::string art() {
        const RasterState& r = raster;
        std::string s;
        for (int y = r.rasterHeight - 1; y >= 0; --y) {
            for (int x = 0; x < r.rasterWidth; ++x) s += pixel(x, y) != (r.storageMode == StorageRgb ? r.clearWord : 0) ? '#' : '.';
            s += '\n';
        }
        return s;
    }

    static void colour(std::int32_t c) { IGrColourN(c); }

    static void line(float x1, float y1, float x2, float y2) {
        drvargs.X[0] = x1;
        drvargs.Y[0] = y1;
        drvargs.X[1] = x2;
        drvargs.Y[1] = y2;
        yyvras(OpLine);
    }

    static void polyline(const std::vector<std::pair<float, float>>& pts) {
        for (std::size_t i = 0; i < pts.size(); ++i) {
            quin01.X[i] = pts[i].first;
            quin01.Y[i] = pts[i].second;
        }
        drvargs.N = static_cast<std::int32_t>(pts.size());
        yyvras(OpPolyline);
    }

    // Line width WX x WY pixels through the resolutions and option 9.
    static void line_width(int wx, int wy) {
        raster.dotsPerInchY = 72.0f * static_cast<float>(wx);
        raster.dotsPerInchX = 72.0f * static_cast<float>(wy);
        gstate.hc.options.set(9, 10);
        yyvras(OpLineWidth);
    }

    static void line_type(int t) {
        gstate.LineType = t;
        yyvras(OpLineType);
    }
};
