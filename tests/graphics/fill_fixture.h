#pragma once
// Fixture of the filled-shape tests: graphics initialised on a window of a
// chosen size whose whole area is the drawing area, with one world unit per
// device unit, and helpers to read back the lines a side received.
#include <gtest/gtest.h>

#include <vector>

#include "lib/graphics/areas.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/window/errors.h"
#include "tests/support/graphics_test.h"

using Ops = std::vector<std::int32_t>;

struct Seg {
    float x1, y1, x2, y2;
};

class FillTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        igrinit();
        use_drawable(400, 300);
    }

    // A window of W x H pixels becomes the drawable, all of it the area,
    // world units equal to device units.
    void use_drawable(int w, int h) {
        surfaces.open_window(1, w, h);
        IGrSelect(1, 1);
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrUnits(0.0f, 0.0f, static_cast<float>(w) - 0.01f, static_cast<float>(h) - 0.01f);
        infoerror(1);
        driver.clear();
    }

    // Hardcopy output active with the recording driver, as after a start.
    void start_hardcopy() {
        gstate.hardcopy_flag = 1;
        driver.clear();
    }

    std::vector<Seg> lines(int side) const {
        std::vector<Seg> v;
        for (const DriverCall* c : driver.find(side, OpLine))
            v.push_back({c->args.X[0], c->args.Y[0], c->args.X[1], c->args.Y[1]});
        return v;
    }

    // The K word of each call of operation OP on the hardcopy side.
    std::vector<std::int32_t> notifications(std::int32_t op) const {
        std::vector<std::int32_t> v;
        for (const DriverCall* c : driver.find(HardcopySide, op)) v.push_back(c->args.K);
        return v;
    }
};
