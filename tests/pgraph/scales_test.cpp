// Numeric scales of 2-D plots, as the recording driver receives them.
#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "tests/pgraph/pg_draw_fixture.h"

namespace {

class PgScalesTest : public PgDrawTest {
protected:
    // Graphics units of the plot area: x 100..300, y 60..240; the X labels
    // stand at 38 % of the 60 units below it.
    static constexpr float X1 = 100, X2 = 300, Y1 = 60, Y2 = 240, XLabelY = 60 - 0.38f * 60;
    static constexpr float Tol = 0.05f;
    static constexpr float DefaultWidth = 1.0f / 75, DefaultHeight = 1.0f / 25;

    // Tick lengths, in the order drawn.
    std::vector<float> tick_lengths() const {
        std::vector<float> v;
        for (const SeenLine& l : lines()) v.push_back(l.length());
        return v;
    }
};

TEST_F(PgScalesTest, InwardTicksAndCentredNumbersBelowTheArea) {
    ipgunits(0, 0, 10, 10);
    ipgxscale("ni");
    const auto l = lines();
    ASSERT_EQ(l.size(), 11u);
    const auto t = texts();
    ASSERT_EQ(t.size(), 11u);
    for (std::size_t i = 0; i < 11; ++i) {
        const float x = X1 + 20.0f * static_cast<float>(i);
        EXPECT_NEAR(l[i].x1, x, Tol);
        EXPECT_NEAR(l[i].y1, Y1, Tol);
        EXPECT_NEAR(l[i].y2 - l[i].y1, 0.0125f * 180, Tol);  // inward: up into the area
        EXPECT_EQ(t[i].text, std::to_string(i));
        EXPECT_NEAR(t[i].x, x, Tol);
        EXPECT_NEAR(t[i].y, XLabelY, Tol);
        EXPECT_EQ(t[i].just, 1);
    }
}

TEST_F(PgScalesTest, TicksStandOnTheZeroLineLabelsStayInTheMargin) {
    ipgunits(0, -5, 10, 5);
    ipgxscale("NT");
    for (const SeenLine& l : lines()) {
        EXPECT_NEAR(l.y1, 150, Tol);
        EXPECT_NEAR(l.y2, 150 - 0.0125f * 180, Tol);
    }
    for (const SeenText& t : texts()) EXPECT_NEAR(t.y, XLabelY, Tol);
    // Scale lines placed by the caller win over the zero line.
    driver.clear();
    ipgxtickpos(-5, 5);
    ipgxscaletop("T");
    ipgxscale("T");
    const auto l = lines();
    ASSERT_EQ(l.size(), 22u);
    EXPECT_NEAR(l[0].y1, Y2, Tol);
    EXPECT_GT(l[0].y2, Y2);  // outward from the top
    EXPECT_NEAR(l[11].y1, Y1, Tol);
}

TEST_F(PgScalesTest, OptionLetters) {
    struct Case {
        const char* options;
        std::size_t ticks;
        float direction;  // sign of the tick below the area, 0 without ticks
        std::size_t labels;
    };
    for (const Case& c : {Case{"", 11, -1, 11}, Case{"N", 0, 0, 11}, Case{"X", 0, 0, 0}, Case{"NT", 11, -1, 11},
                          Case{"ni", 11, 1, 11}, Case{"t", 11, -1, 0}, Case{"IT", 11, 1, 0}}) {
        SCOPED_TRACE(c.options);
        ipgunits(0, 0, 10, 10);
        driver.clear();
        ipgxscale(c.options);
        const auto l = lines();
        EXPECT_EQ(l.size(), c.ticks);
        if (!l.empty()) {
            EXPECT_EQ((l[0].y2 > l[0].y1) ? 1.0f : -1.0f, c.direction);
        }
        EXPECT_EQ(texts().size(), c.labels);
    }
}

TEST_F(PgScalesTest, LeftScaleJustificationFollowsTheTextAngle) {
    struct Case {
        float angle;
        std::int32_t just;
    };
    for (const Case& c : {Case{0, 2}, Case{90, 1}, Case{135, 0}, Case{224, 0}, Case{-30, 2}, Case{270, 1}}) {
        SCOPED_TRACE(c.angle);
        ipgunits(0, 0, 10, 10);
        ipgyscaleangle(0, c.angle);
        driver.clear();
        ipgyscaleleft("N");
        const auto t = texts();
        ASSERT_FALSE(t.empty());
        EXPECT_EQ(t[0].just, c.just);
        EXPECT_NEAR(t[0].angle, c.angle < 0 ? c.angle + 360 : c.angle, 1e-3);
    }
}

TEST_F(PgScalesTest, LogarithmicAxisWithDecadesAndSubTicks) {
    ipgscaling("LOG", " ");
    ipgunits(0.3f, 0, 1000, 1);
    ipgxscale("NT");
    const auto len = tick_lengths();
    const float full = 0.0125f * 180;
    // Seven sub-ticks below the first whole decade (0.3 .. 0.9), then each
    // decade with its eight sub-ticks; none beyond 1000.
    ASSERT_EQ(len.size(), 7u + 4u + 24u);
    EXPECT_EQ(std::count_if(len.begin(), len.end(), [&](float v) { return std::fabs(v - full) < Tol; }), 4);
    EXPECT_EQ(std::count_if(len.begin(), len.end(), [&](float v) { return std::fabs(v - full / 2) < Tol; }), 31);
    EXPECT_NEAR(lines()[0].x1, yyp2x(0.3f), Tol);
    EXPECT_EQ(strings(texts()), (std::vector<std::string>{"10", "0", "10", "1", "10", "2", "10", "3"}));
    const auto t = texts();
    EXPECT_NEAR(t[2].x, yyp2x(10), Tol);  // "10" ends at the tick,
    EXPECT_EQ(t[2].just, 2);
    EXPECT_EQ(t[3].just, 0);              // its exponent starts there, raised and smaller
    EXPECT_GT(t[3].y, t[2].y);
    EXPECT_NEAR(t[3].width, 0.6f * t[2].width, 1e-6);
}

TEST_F(PgScalesTest, LogarithmicAxisOverManyDecadesOrInsideOne) {
    struct Case {
        float low, high;
        std::size_t ticks;
        float length;  // every tick: whole decades, or sub-ticks inside one
        std::vector<std::string> labels;
    };
    for (const Case& c : {Case{0.01f, 1e6f, 9, 2.25f, {"10", "-2", "10", "-1", "10", "0", "10", "1", "10", "2", "10", "3",
                                                 "10", "4", "10", "5", "10", "6"}},
                          Case{2, 8, 7, 1.125f, {"2*10", "0", "3*10", "0", "4*10", "0", "5*10", "0", "6*10", "0", "7*10", "0",
                                         "8*10", "0"}}}) {
        SCOPED_TRACE(c.low);
        ipgscaling("log", "");
        ipgunits(c.low, 0, c.high, 1);
        driver.clear();
        ipgxscale("");
        EXPECT_EQ(lines().size(), c.ticks);
        for (const SeenLine& l : lines()) EXPECT_NEAR(l.length(), c.length, Tol);
        EXPECT_EQ(strings(texts()), c.labels);
        // Labels at several places keep a readable size.
        EXPECT_GT(texts().at(0).width, 0.2f * DefaultWidth);
    }
}

TEST_F(PgScalesTest, ValuesNextToZeroAreLabelledZero) {
    ipgunits(-0.5f, 0, 0.5f, 1);
    ipgxscale("N");
    EXPECT_EQ(strings(texts()),
              (std::vector<std::string>{"-.5", "-.4", "-.3", "-.2", "-.1", "0", ".1", ".2", ".3", ".4", ".5"}));
}

TEST_F(PgScalesTest, UserTicksStandAtTheirValues) {
    const std::array<float, 3> u{9, 3, 4};
    ipgunits(0, 0, 10, 10);
    ipgxuserscale(u, 3);
    ipgxscale("NT");
    const auto l = lines();
    ASSERT_EQ(l.size(), 3u);
    const std::array<float, 3> sorted{3, 4, 9};
    for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(l[i].x1, X1 + 20 * sorted[i], Tol);
    EXPECT_EQ(strings(texts()), (std::vector<std::string>{"3", "4", "9"}));
}

TEST_F(PgScalesTest, TickLengthZeroPutsYLabelsAtTheEdge) {
    ipgunits(0, 0, 10, 10);
    ipgyticklength(0);
    ipgyscaleleft("NT");
    for (const SeenLine& l : lines()) EXPECT_NEAR(l.length(), 0, 1e-3);
    const auto t = texts();
    ASSERT_EQ(t.size(), 11u);
    for (const SeenText& s : t) EXPECT_NEAR(s.x, X1, Tol);
    // With the default length the labels stand 1.5 tick lengths left of it.
    driver.clear();
    ipgyticklength(1);
    ipgyscaleleft("NT");
    EXPECT_NEAR(texts().at(0).x, X1 - 1.5f * 0.0125f * 200, Tol);
    EXPECT_NEAR(texts().at(3).y, Y1 + 3 * 18, Tol);
}

TEST_F(PgScalesTest, ZScaleKeepsTheSideOfThePreviousCallStartingLeft) {
    ipgunits(0, 0, 10, 10);
    struct Step {
        std::function<void()> before;
        bool left;
    };
    for (const Step& st : {Step{[] {}, true}, Step{[] { ipgyscaleright("N"); }, false},
                           Step{[] { ipgyscaleleft("N"); }, true}}) {
        st.before();
        driver.clear();
        ipgzscale("N");
        const auto t = texts();
        ASSERT_EQ(t.size(), 6u);  // the vertical axis never takes steps of 1
        if (st.left)
            EXPECT_LT(t[0].x, X1);
        else
            EXPECT_GT(t[0].x, X2);
    }
}

// Labels shrink exactly when they would overlap, whatever the graphics
// units; a scale with one label keeps the size.
TEST_F(PgScalesTest, LabelsShrinkOnlyWhenTheyWouldOverlap) {
    struct Case {
        float high;
        int users;  // one user tick, or the computed ones
        bool shrinks;
    };
    for (float units : {0.01f, 400.0f, 4e6f}) {
        float shrunk = 0;
        for (const Case& c : {Case{10, 0, false}, Case{1.2e6f, 0, true}, Case{1.2e6f, 1, false}}) {
            SCOPED_TRACE(testing::Message() << units << " " << c.high << " " << c.users);
            IGrUnits(0, 0, units, units * 0.75f);
            const std::array<float, 1> one{600000};
            ipgunits(0, 0, c.high, 1);
            ipgxuserscale(one, c.users);
            driver.clear();
            ipgxscale("N");
            const auto t = texts();
            ASSERT_FALSE(t.empty());
            if (!c.shrinks) {
                EXPECT_FLOAT_EQ(t[0].width, DefaultWidth);
                continue;
            }
            EXPECT_LT(t[0].width, DefaultWidth);
            if (shrunk == 0) shrunk = t[0].width;
            EXPECT_NEAR(t[0].width, shrunk, 1e-4 * shrunk);
            // Neighbouring labels just meet.
            const float length = wgrtextlength(t[0].text) * t[0].width * 400;
            EXPECT_LE(length, t[1].x - t[0].x + Tol);
            EXPECT_FLOAT_EQ(gstate.text.char_width, DefaultWidth);
        }
    }
}

}  // namespace
