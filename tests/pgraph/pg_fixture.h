#pragma once
// Plot state as the graphics initialisation leaves it, with the links to the
// graphics core restored after each test.
#include <gtest/gtest.h>

#include <string>

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
        saved_ = pg_core_links;
        pg_core_links = PgCoreLinks{};
        pg_initialise();
        infoerror(1);
    }
    void TearDown() override { pg_core_links = saved_; }

private:
    PgCoreLinks saved_;
};

// Values a fake graphics core answers with.
struct FakeCore {
    static inline float ux1 = 0, uy1 = 0, ux2 = 1, uy2 = 1;
    static inline float aw = 1, ah = 1;
    static inline int screen = 1;
    static inline float aspect = 1;
    static inline int page_w = 0, page_h = 0;
    static inline int model = 1;

    static void install() {
        pg_core_links.graphics_units = [](float& a, float& b, float& c, float& d) {
            a = ux1;
            b = uy1;
            c = ux2;
            d = uy2;
        };
        pg_core_links.area_fractions = [](float& w, float& h) {
            w = aw;
            h = ah;
        };
        pg_core_links.screen_output = [] { return screen; };
        pg_core_links.drawable_aspect = [] { return aspect; };
        pg_core_links.hardcopy_option = [](int k) { return k == 1 ? page_w : k == 2 ? page_h : 0; };
        pg_core_links.colour_model = [] { return model; };
        pg_core_links.yypalg = [](int index, int& colour) { colour = 1000 + index; };
        pg_core_links.yyrgbto8 = [](int colour, int& index) { index = colour % 256; };
    }
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
