#pragma once
// Plot frames drawn into the recording driver: a 400 x 300 window whose
// graphics units equal its device units, so that what the driver receives
// reads directly in graphics units.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "lib/graphics/areas.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/text.h"
#include "tests/pgraph/pg_fixture.h"
#include "tests/support/graphics_test.h"

struct SeenLine {
    float x1, y1, x2, y2;
    float length() const { return std::hypot(x2 - x1, y2 - y1); }
};

struct SeenText {
    std::string text;
    float x, y;  // the point the text was placed at by its justification
    std::int32_t just;
    float angle, width, height;
};

class PgDrawTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        igrinit();
        IGrSelect(1, 0);
        IGrUnits(0, 0, gstate.extent_x, gstate.extent_y);
        // A plot area of 100..300 by 60..240 graphics units.
        IPgArea(0.25f, 0.2f, 0.75f, 0.8f);
        driver.clear();
    }

    std::vector<SeenLine> lines(int side = ScreenSide) const {
        std::vector<SeenLine> v;
        for (const DriverCall* c : driver.find(side, OpLine))
            v.push_back({c->args.X[0], c->args.Y[0], c->args.X[1], c->args.Y[1]});
        return v;
    }
    std::vector<SeenText> texts(int side = ScreenSide) const {
        std::vector<SeenText> v;
        for (const DriverCall* c : driver.find(side, OpText)) {
            // The device gets the start of the text; the justification
            // placed it back from the given point by a half or a whole
            // length along its direction.
            const float j = 0.5f * static_cast<float>(c->state.justification);
            const float x = c->args.X[0] + j * (c->args.X[3] - c->args.X[0]);
            const float y = c->args.Y[0] + j * (c->args.Y[3] - c->args.Y[0]);
            const std::string t = c->text.substr(0, static_cast<std::size_t>(c->args.IX[0]));
            v.push_back({t, x, y, c->state.justification, c->state.angle, c->state.char_width,
                         c->state.char_height});
        }
        return v;
    }
    static std::vector<std::string> strings(const std::vector<SeenText>& t) {
        std::vector<std::string> v;
        for (const SeenText& s : t) v.push_back(s.text);
        return v;
    }
};
