#pragma once
// Plot state as the graphics initialisation leaves it.
#include <gtest/gtest.h>

#include <string>

#include "lib/graphics/gstate.h"
#include "lib/pgraph/pg_core.h"
#include "lib/pgraph/pg_internal.h"
#include "lib/pgraph/pgraph.h"
#include "lib/pgraph/pgstate.h"
#include "lib/window/errors.h"
#include "tests/support/quinda_test.h"

// The sequence the graphics initialisation runs.
inline void pg_initialise() {
    yypgdefaults1();
    ipgunits(0.0f, 0.0f, 1.0f, 1.0f);
    ipgnewplot1(4, 500, 1, 0, 0);
    yypgdefaults2();
}

class PgTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        pg_initialise();
        infoerror(1);
    }
};

// The graphics-core words presentation graphics reads, set in place.
struct Core {
    static inline float& ux1 = gstate.ux1;
    static inline float& uy1 = gstate.uy1;
    static inline float& ux2 = gstate.ux2;
    static inline float& uy2 = gstate.uy2;
    static inline float& aw = gstate.area_width_x;
    static inline float& ah = gstate.area_width_y;
    static inline std::int32_t& screen = gstate.screen_flag;
    static inline float& aspect = gstate.aspect_ratio;
    static inline std::int32_t& page_w = gstate.hc.options.slots[0];
    static inline std::int32_t& page_h = gstate.hc.options.slots[1];
    static inline std::int32_t& model = gstate.ColourModel;

    // Whole drawable of aspect 1 as the area, units 0..1, screen output on,
    // no page size, palette colours.
    static void defaults() {
        ux1 = uy1 = 0;
        ux2 = uy2 = 1;
        aw = ah = 1;
        screen = 1;
        aspect = 1;
        page_w = page_h = 0;
        model = 1;
    }
};

// Reports of the error reporter in list-directed mode, or empty when it
// writes none.
template <class F>
std::string captured_reports(F&& action) {
    idebuglevel(1);
    testing::internal::CaptureStdout();
    action();
    std::string out = testing::internal::GetCapturedStdout();
    idebuglevel(0);
    return out;
}

inline int occurrences(const std::string& text, const std::string& word) {
    int n = 0;
    for (std::size_t p = text.find(word); p != std::string::npos; p = text.find(word, p + 1)) ++n;
    return n;
}
