#include "tests/dialog/dialog_fixture.h"

#include <functional>

namespace {

class CompanionTest : public DialogTest {
public:
    void SetUp() override {
        DialogTest::SetUp();
        WDialogLoad(703);
        ASSERT_NE(dlg(), 0);
    }
    FieldRecord& field(std::int32_t id) { return *yyfieldrecord(item(id)); }
    std::intptr_t send(std::int32_t id, std::uint32_t m, std::uintptr_t wp = 0, std::intptr_t lp = 0) {
        return os_send_message(item(id), m, wp, lp);
    }
    std::string list_item(std::int32_t id, int i) {
        char buf[1100] = {};
        send(id, LB_GETTEXT, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(buf));
        return buf;
    }
};

TEST_F(CompanionTest, SectionsAndEdgesInOneTable) {
    struct Case {
        const char* what;
        int resource;
        std::function<void(CompanionTest&)> check;
    };
    const Case cases[] = {
        {"ranges: real limits, progress and trackbar ranges with the template position", 740,
         [](CompanionTest& t) {
             EXPECT_EQ(t.field(7301).range_min, 1.5);
             EXPECT_EQ(t.field(7301).range_max, 9.25);
             EXPECT_EQ(t.send(7305, PBM_GETRANGE, 1), 0);
             EXPECT_EQ(t.send(7305, PBM_GETRANGE, 0), 50);
             EXPECT_EQ(t.send(7305, PBM_GETPOS), 5);
             EXPECT_EQ(t.send(7306, TBM_GETRANGEMIN), -10);
             EXPECT_EQ(t.send(7306, TBM_GETRANGEMAX), 10);
             EXPECT_EQ(t.send(7306, TBM_GETPOS), 3);
         }},
        {"menus: a list refilled, blanks kept in front and cut behind, the scan goes on after the items", 741,
         [](CompanionTest& t) {
             EXPECT_EQ(t.send(7302, LB_GETCOUNT), 2);
             EXPECT_EQ(t.list_item(7302, 0), "  one");
             EXPECT_EQ(t.send(7302, LB_GETCURSEL), 1);
             // The line after the items is a data line of the section again: an
             // edit is taken as a combo box, which it is not, and nothing breaks.
             EXPECT_EQ(t.text(t.item(7301)), "");
         }},
        {"menus: a combo box with the first item selected", 742,
         [](CompanionTest& t) {
             EXPECT_EQ(t.send(7303, CB_GETCOUNT), 3);
             EXPECT_EQ(t.send(7303, CB_GETCURSEL), 0);
             EXPECT_EQ(t.text(t.item(7303)), "red");
         }},
        {"checks", 743, [](CompanionTest& t) { EXPECT_EQ(t.send(7304, BM_GETCHECK), 1); }},
        {"colours: 300 is 44, 256 restores the default, -1 leaves it", 744,
         [](CompanionTest& t) {
             EXPECT_EQ(t.field(7307).text_colour, 44);
             EXPECT_EQ(t.field(7307).background_colour, -1);
             EXPECT_EQ(t.field(7301).text_colour, -1);
             EXPECT_EQ(t.field(7301).background_colour, 1 + 256 * 2 + 65536 * 3);
         }},
        {"trackbars: steps and a selection", 745,
         [](CompanionTest& t) {
             EXPECT_EQ(t.send(7306, TBM_GETLINESIZE), 2);
             EXPECT_EQ(t.send(7306, TBM_GETPAGESIZE), 4);
             EXPECT_EQ(t.send(7306, TBM_GETSELSTART), -2);
             EXPECT_EQ(t.send(7306, TBM_GETSELEND), 6);
         }},
        {"trackbars: an empty selection clears it", 754,
         [](CompanionTest& t) {
             EXPECT_EQ(t.send(7306, TBM_GETSELSTART), 0);
             EXPECT_EQ(t.send(7306, TBM_GETSELEND), 0);
         }},
        {"lengths: edits and the edit part of combo boxes", 746,
         [](CompanionTest& t) {
             EXPECT_EQ(t.send(7301, EM_GETLIMITTEXT), 7);
             EXPECT_EQ(t.field(7301).text_limit, 7);
             EXPECT_EQ(t.field(7303).text_limit, 4);
             EXPECT_EQ(os_send_message(os_get_dlg_item(t.item(7303), 1001), EM_GETLIMITTEXT, 0, 0), 4);
         }},
        {"formats: the rest of the line with its final blank; an empty rest changes nothing", 747,
         [](CompanionTest& t) {
             ASSERT_NE(t.field(7301).format, nullptr);
             EXPECT_EQ(*t.field(7301).format, "(F8.3) ");
             EXPECT_EQ(t.field(7308).format, nullptr);
         }},
        {"fonts: face to the comma, weight 700 bold, italic only for 1", 748,
         [](CompanionTest& t) {
             EXPECT_NE(t.send(7307, OSM_GETFONT), 0);
             EXPECT_NE(t.send(7301, OSM_GETFONT), 0);
         }},
        {"fonts: a face without a comma stops at the line end, cut to 31 characters", 752,
         [](CompanionTest& t) { EXPECT_NE(t.send(7307, OSM_GETFONT), 0); }},
        {"flags", 749, [](CompanionTest& t) { EXPECT_EQ(t.field(7302).flags, 2); }},
        {"data before the first header do nothing; a header with words behind it opens its section", 750,
         [](CompanionTest& t) {
             EXPECT_EQ(t.field(7301).range_min, 3.0);
             EXPECT_EQ(t.field(7301).range_max, 4.0);
         }},
        {"a last value without a blank ends with the text", 751,
         [](CompanionTest& t) {
             EXPECT_EQ(t.field(7301).range_min, 1.0);
             EXPECT_EQ(t.field(7301).range_max, 2.0);
         }},
        {"a text without its NUL ends with the resource", 757,
         [](CompanionTest& t) {
             EXPECT_EQ(t.field(7301).range_min, 2.0);
             EXPECT_EQ(t.field(7301).range_max, 3.0);
         }},
        {"sections in turn; an unknown control is passed over", 753,
         [](CompanionTest& t) {
             EXPECT_EQ(t.field(7301).range_min, 5.0);
             EXPECT_EQ(t.send(7304, BM_GETCHECK), 1);  // an automatic two-state box has no third state
         }},
        {"menus that promise more items than the text holds", 755,
         [](CompanionTest& t) {
             EXPECT_EQ(t.send(7302, LB_GETCOUNT), 1);
             EXPECT_EQ(t.send(7302, LB_GETCURSEL), 0);
         }},
        {"a dialog line with only the flag sets it and leaves the dialog fixed", 756,
         [](CompanionTest& t) {
             EXPECT_EQ(t.record().item[DlgFlag], 1);
             EXPECT_FALSE(yyIsResizableDialog(t.dlg()));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WDialogUnload();
        WDialogLoad(703);
        yydialogqdx(dlg(), c.resource, dlgtab.iDlgCur);
        c.check(*this);
    }
}

TEST_F(CompanionTest, ATemporaryDialogSelectsTheFirstItem) {
    os_send_message(item(7302), LB_RESETCONTENT, 0, 0);
    yydialogqdx(dlg(), 741, -1);
    // "7302 2 2": the selection is not read for a temporary dialog.
    EXPECT_EQ(send(7302, LB_GETCURSEL), 0);
}

TEST(CompanionCompare, PrefixComparison) {
    EXPECT_EQ(strcmpqdx("[Ranges]", "[Ranges] \n"), 0);
    EXPECT_EQ(strcmpqdx("[Ran", "[Ranges]"), 0);
    EXPECT_LT(strcmpqdx("[Checks]", "[Menus]"), 0);
    EXPECT_EQ(strcmpqdx("", "x"), 0);
}

class ResizeTest : public DialogTest {};

TEST_F(ResizeTest, AnchorsInBothModesAndTheMinimumIsTheFirstSize) {
    struct Case {
        int id;
        int below_anchors;  // the edit below the list, as wide as it
    } const cases[] = {{704, 4 | 8}, {706, 2 | 4 | 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        WDialogLoad(c.id);
        ASSERT_TRUE(yyIsResizableDialog(dlg()));
        EXPECT_EQ(yyfieldrecord(item(7401))->anchors, 2 | 8);
        EXPECT_EQ(yyfieldrecord(item(7402))->anchors, 1 | 2);  // right of the list: moves right
        EXPECT_EQ(yyfieldrecord(item(7403))->anchors, c.below_anchors);
        WDialogShow();
        OsRect wr, lr, br, er;
        os_get_window_rect(dlg(), wr);
        os_get_window_rect(item(7401), lr);
        os_get_window_rect(item(7402), br);
        os_get_window_rect(item(7403), er);
        os_input_resize(dlg(), wr.width() + 40, wr.height() + 20);
        OsRect lr2, br2, er2;
        os_get_window_rect(item(7401), lr2);
        os_get_window_rect(item(7402), br2);
        os_get_window_rect(item(7403), er2);
        EXPECT_EQ(lr2.width(), lr.width() + 40);
        EXPECT_EQ(lr2.height(), lr.height() + 20);
        EXPECT_EQ(br2.left - br.left, 40);
        EXPECT_EQ(er2.top - er.top, 20);
        EXPECT_EQ(er2.width() - er.width(), c.id == 706 ? 40 : 0);
        // It cannot be made smaller than it was made.
        os_input_resize(dlg(), wr.width() - 30, wr.height() - 30);
        OsRect small;
        os_get_window_rect(dlg(), small);
        EXPECT_EQ(small.width(), wr.width());
        EXPECT_EQ(small.height(), wr.height());
        WDialogUnload();
    }
}

}  // namespace
