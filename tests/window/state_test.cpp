#include <gtest/gtest.h>

#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "tests/support/quinda_test.h"

class LibraryStateTest : public QuindaTest {};

TEST_F(LibraryStateTest, ResetGivesFixedDefaults) {
    quinda.last_error = 44;
    quinda.LFNGEN = 7;
    quinda.undefined.integer = 1;
    wtab.wWindow[3] = 9;
    reset_window_state();

    // The library's documented start values: the undefined value -999, the
    // general and plot file units 40 and 42, no error, report mode or status.
    const struct {
        const char* name;
        double value;
        double expected;
    } words[] = {
        {"last_error", static_cast<double>(quinda.last_error), 0},
        {"io_status", static_cast<double>(quinda.io_status), 0},
        {"os_status", static_cast<double>(quinda.os_status), 0},
        {"report_mode", static_cast<double>(quinda.report_mode), 0},
        {"status_kind", static_cast<double>(quinda.status_kind), 0},
        {"once_flag", static_cast<double>(quinda.once_flag), 0},
        {"window_open", static_cast<double>(quinda.window_open), 0},
        {"undefined.integer", static_cast<double>(quinda.undefined.integer), -999},
        {"undefined.real", static_cast<double>(quinda.undefined.real), -999},
        {"undefined.dbl", quinda.undefined.dbl, -999},
        {"LFNGEN", static_cast<double>(quinda.LFNGEN), 40},
        {"LFNPLOT", static_cast<double>(quinda.LFNPLOT), 42},
    };
    for (const auto& w : words) EXPECT_EQ(w.value, w.expected) << w.name;
    EXPECT_EQ(quinda.separator, '/');
    EXPECT_EQ(quinda.CHARSET.size(), 260u);
    EXPECT_EQ(txt_trim(quinda.CHARSET), "standard.chr");
    EXPECT_TRUE(txt_blank(quinda.CHARDIR));
    EXPECT_EQ(quinda.window_text.tag, ' ');
    for (int v : quinda.window_text.last_font) EXPECT_EQ(v, -1);
    EXPECT_EQ(quinda.EDITBUF.entries.size(), 51u * 20u);
    for (const auto& e : quinda.EDITBUF.entries) {
        EXPECT_EQ(e.name_present, 0);
        EXPECT_EQ(e.text_present, 0);
    }
    EXPECT_EQ(wtab.wWindow[3], 0);
    EXPECT_EQ(wtab.wChildRect[5].left, -999);
}

TEST_F(LibraryStateTest, ChildTakesLowestFreeSlot) {
    wtab.wWindow[0] = 1;
    EXPECT_EQ(wtab.lowest_free_child(), 1);
    wtab.wWindow[1] = 2;
    wtab.wWindow[3] = 3;
    EXPECT_EQ(wtab.lowest_free_child(), 2);
    wtab.wWindow[1] = wtab.wWindow[3] = 0;
    EXPECT_EQ(wtab.lowest_free_child(), 1);
    for (int s = 1; s <= 50; ++s) wtab.wWindow[static_cast<std::size_t>(s)] = s + 10;
    EXPECT_EQ(wtab.lowest_free_child(), -1);
}

TEST_F(LibraryStateTest, SlotValidOnlyInRangeAndHoldingAFrame) {
    wtab.wWindow[0] = 1;
    EXPECT_TRUE(wtab.slot_valid(0));
    EXPECT_FALSE(wtab.slot_valid(1));
    EXPECT_FALSE(wtab.slot_valid(-1));
    EXPECT_FALSE(wtab.slot_valid(51));
}

TEST_F(LibraryStateTest, EditBufferIndexingAndRelease) {
    EXPECT_EQ(quinda.EDITBUF.at(0, 0), nullptr);
    EXPECT_EQ(quinda.EDITBUF.at(51, 1), nullptr);
    EXPECT_EQ(quinda.EDITBUF.at(0, 21), nullptr);
    EditBufEntry* e = quinda.EDITBUF.at(50, 20);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e, &quinda.EDITBUF.entries.back());
    EditBufEntry* f = quinda.EDITBUF.at(4, 2);
    f->text_present = 1;
    f->DATA = {1, 2, 3};
    f->text_length = 3;
    quinda.EDITBUF.at(5, 2)->text_present = 1;
    quinda.EDITBUF.release_window(4);
    EXPECT_EQ(f->text_present, 0);
    EXPECT_TRUE(f->DATA.empty());
    EXPECT_EQ(quinda.EDITBUF.at(5, 2)->text_present, 1);
}

TEST(FixedText, FillsBlankPaddedOrCut) {
    struct Case { std::string_view value; std::size_t len; std::string_view out; };
    const Case cases[] = {
        {"abc", 5, "abc  "}, {"abcdef", 3, "abc"}, {"", 2, "  "}, {"ab  ", 4, "ab  "},
    };
    for (const auto& c : cases) {
        std::string out(c.len, 'x');
        txt_set(out, c.value);
        EXPECT_EQ(out, c.out) << c.value;
    }
    EXPECT_EQ(txt_len("ab  "), 2u);
    EXPECT_EQ(txt_len("   "), 0u);
    EXPECT_EQ(txt_trim(" a b "), " a b");
}
