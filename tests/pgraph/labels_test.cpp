// Text labels in the places of the numbers, the cell row of plot type 9,
// and the graphics state every scale and text routine leaves as it found it.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "lib/graphics/colours.h"
#include "tests/pgraph/pg_draw_fixture.h"

namespace {

class PgLabelsTest : public PgDrawTest {
protected:
    static constexpr float X1 = 100, X2 = 300, Y1 = 60, Y2 = 240, Tol = 0.05f;

    // Labels that are not blank.
    std::vector<SeenText> inked() const {
        std::vector<SeenText> v;
        for (const SeenText& t : texts())
            if (t.text.find_first_not_of(' ') != std::string::npos) v.push_back(t);
        return v;
    }
};

TEST_F(PgLabelsTest, TextsTakeTheNumbersPlacesInOrder) {
    const std::array<std::string_view, 13> many{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m"};
    struct Case {
        std::int32_t n;
        std::vector<std::string> shown;
    };
    for (const Case& c : {Case{13, {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"}}, Case{3, {"a", "b", "c"}},
                          Case{0, {}}}) {
        SCOPED_TRACE(c.n);
        ipgunits(0, 0, 10, 10);
        driver.clear();
        ipgxtext(many, c.n);
        EXPECT_TRUE(lines().empty());  // no ticks
        const auto t = inked();
        EXPECT_EQ(strings(t), c.shown);
        for (std::size_t i = 0; i < t.size(); ++i) EXPECT_NEAR(t[i].x, X1 + 20 * static_cast<float>(i), Tol);
    }
}

TEST_F(PgLabelsTest, TextsOfOneBufferStandAtTheCategoryCentres) {
    ipgnewplot1(1, 1, 4);
    ipgunits(0.5f, 0, 4.5f, 1);
    ipgxtext(std::string_view("Jan Feb Mar Apr "), 4, 4);
    const auto t = inked();
    EXPECT_EQ(strings(t), (std::vector<std::string>{"Jan", "Feb", "Mar", "Apr"}));
    for (std::size_t i = 0; i < t.size(); ++i) EXPECT_NEAR(t[i].x, yyp2x(static_cast<float>(i + 1)), Tol);
    // A buffer shorter than it says holds only its whole texts.
    driver.clear();
    ipgytextleft(std::string_view("ab cd e"), 3, 4);
    EXPECT_EQ(strings(inked()), (std::vector<std::string>{"ab", "cd"}));
}

TEST_F(PgLabelsTest, TextsOnALogarithmicAxisReplaceTheDecadeLabels) {
    ipgscaling("LOG", " ");
    ipgunits(1, 0, 1000, 1);
    const std::array<std::string_view, 4> t{"one", "ten", "hundred", "thousand"};
    ipgxtext(t, 4);
    const auto s = inked();
    EXPECT_EQ(strings(s), (std::vector<std::string>{"one", "ten", "hundred", "thousand"}));
    EXPECT_NEAR(s[1].x, yyp2x(10), Tol);
    EXPECT_EQ(s[1].just, 1);
    ipgscaling(" ", " ");
}

TEST_F(PgLabelsTest, LongTextsAreCutToTheLabelBuffer) {
    ipgunits(0, 0, 1, 1);
    const std::string longer(250, 'x');
    const std::array<std::string_view, 1> t{longer};
    yychsize(0.001f, 0.01f);  // small enough for the whole label to stay in the window
    ipgytextright(t, 1);
    const auto s = inked();
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s[0].text, std::string(200, 'x'));
    EXPECT_EQ(pgstate.PGLABELBUF.size(), static_cast<std::size_t>(PgLabelBufSize));
    // The cell row draws its texts whole.
    ipgnewplot1(9, 1, 1);
    driver.clear();
    ipgxtext(t, 1);
    ASSERT_EQ(texts().size(), 1u);
    EXPECT_EQ(texts()[0].text, longer);
}

TEST_F(PgLabelsTest, CellRowOfFourSets) {
    ipgnewplot1(9, 4, 1);
    const std::array<std::string_view, 4> t{"one ", "two", "three", "four"};
    ipgxscale("NT");  // scales draw nothing on such a plot
    EXPECT_TRUE(driver.calls.empty() || (lines().empty() && texts().empty()));
    ipgxtext(t, 4);
    const auto s = texts();
    EXPECT_EQ(strings(s), (std::vector<std::string>{"one", "two", "three", "four"}));
    const float h = 1.5f * 300 / 25;  // 1.5 character heights
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(s[i].x, X1 + 50 * (static_cast<float>(i) + 0.5f), Tol);
        EXPECT_NEAR(s[i].y, Y1 - h / 2, Tol);
        EXPECT_EQ(s[i].just, 1);
    }
    const auto l = lines();
    ASSERT_EQ(l.size(), 2u + 5u);
    EXPECT_NEAR(l[0].y1, Y1, Tol);
    EXPECT_NEAR(l[1].y1, Y1 - h, Tol);
    for (std::size_t j = 0; j < 5; ++j) {
        EXPECT_NEAR(l[2 + j].x1, X1 + 50 * static_cast<float>(j), Tol);
        EXPECT_NEAR(l[2 + j].y2 - l[2 + j].y1, -h, Tol);
    }
    EXPECT_TRUE(driver.find(ScreenSide, OpRectangleSolid).empty());
}

TEST_F(PgLabelsTest, FilledCellRowUsesThePreviousColourAndKeepsTheCurrentOne) {
    ipgnewplot1(9, 4, 3, 8);
    ASSERT_EQ(pgstate.PGFLAG3, 1);
    IGrColourN(40);
    IGrColourN(7);
    driver.clear();
    const std::array<std::string_view, 3> t{"a", "b", "c"};
    ipgytextleft(t, 3);
    std::vector<const DriverCall*> fills;
    for (const DriverCall& c : driver.calls)
        if (c.op == OpRectangleSolid || c.op == OpRectanglePattern) fills.push_back(&c);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(fills[0]->state.CurrentColour.index(), 40);
    EXPECT_EQ(fills[0]->state.fill_style, 4);
    EXPECT_EQ(gstate.CurrentColour.index(), 7);
    for (const DriverCall* c : driver.find(ScreenSide, OpLine)) EXPECT_EQ(c->state.CurrentColour.index(), 7);
    // A column left of the area: texts left-justified, one row per value.
    const auto s = texts();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].just, 0);
    EXPECT_NEAR(s[0].y, Y2 - 60 * 0.5f, Tol);
    EXPECT_LT(s[0].x, X1);
}

TEST_F(PgLabelsTest, NarrowMarginLimitsTheRowAndShrinksTheCharacters) {
    ipgnewplot1(9, 2, 1);
    IPgArea(0.25f, 0.01f, 0.75f, 0.8f);  // 3 graphics units below the area
    const std::array<std::string_view, 2> t{"a", "b"};
    ipgxtext(t, 2);
    const auto l = lines();
    ASSERT_GE(l.size(), 2u);
    EXPECT_NEAR(l[1].y1, l[0].y1 - 3, Tol);
    const auto s = texts();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_NEAR(s[0].height, 3.0f / (300 * 1.5f), 1e-4);
    EXPECT_FLOAT_EQ(gstate.text.char_height, 1.0f / 25);
}

// Every routine, on every kind of plot, gives back the text state, the fill
// style and the output flag it found.
TEST_F(PgLabelsTest, EveryRoutineRestoresTheGraphicsState) {
    const std::array<std::string_view, 3> t{"alpha", "beta", "gamma"};
    const std::vector<std::pair<const char*, std::function<void()>>> routines = {
        {"ipgxscale", [] { ipgxscale("NT"); }},
        {"ipgxscaletop", [] { ipgxscaletop("NI"); }},
        {"ipgyscaleleft", [] { ipgyscaleleft(""); }},
        {"ipgyscaleright", [] { ipgyscaleright("N"); }},
        {"ipgzscale", [] { ipgzscale("NT"); }},
        {"ipgxtext", [&] { ipgxtext(t, 3); }},
        {"ipgxtexttop", [&] { ipgxtexttop(t, 3); }},
        {"ipgytextleft", [&] { ipgytextleft(t, 3); }},
        {"ipgytextright", [&] { ipgytextright(t, 3); }},
        {"ipgztext", [&] { ipgztext(t, 3); }},
    };
    const std::vector<std::pair<const char*, std::function<void()>>> plots = {
        {"2-D", [] { ipgnewplot1(4, 1, 1); }},
        {"log", [] { ipgnewplot1(4, 1, 1); ipgscaling("LOG", "LOG"); ipgunits(1, 1, 1e4f, 100); }},
        {"3-D", [] { const std::array<std::int32_t, 2> n{5, 4}; ipgnewplot1(5, 1, n, 1, 1); }},
        {"polar", [] { ipgnewplot1(4, 1, 1, 64); }},
        {"cells", [] { ipgnewplot1(9, 3, 3, 8); }},
    };
    for (const auto& [plot, declare] : plots) {
        for (const auto& [name, call] : routines) {
            SCOPED_TRACE(testing::Message() << plot << " " << name);
            ipgscaling(" ", " ");
            ipgunits(0, 0, 1e5f, 1e5f);
            declare();
            yychrot(30);
            yychsize(0.05f, 0.02f);
            TextState& s = gstate.text;
            s.justification = 2;
            s.direction = 1;
            gstate.fill_style = 3;
            gstate.hardcopy_flag = 1;
            const TextState before = s;
            call();
            EXPECT_EQ(s.justification, 2);
            EXPECT_EQ(s.direction, 1);
            EXPECT_FLOAT_EQ(s.angle, before.angle);
            EXPECT_FLOAT_EQ(s.cos_angle, before.cos_angle);
            EXPECT_FLOAT_EQ(s.sin_r, before.sin_r);
            EXPECT_FLOAT_EQ(s.char_width, 0.05f);
            EXPECT_FLOAT_EQ(s.char_height, 0.02f);
            EXPECT_EQ(gstate.fill_style, 3);
            EXPECT_EQ(gstate.screen_flag, 1);
            EXPECT_EQ(gstate.hardcopy_flag, 1);
            gstate.hardcopy_flag = 0;
        }
    }
    ipgscaling(" ", " ");
}

}  // namespace
