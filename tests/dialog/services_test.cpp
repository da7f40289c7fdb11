#include "tests/dialog/dialog_fixture.h"

#include <array>

#include "platform/os_menu.h"

namespace {

using ServicesTest = DialogTest;

std::pair<std::int32_t, std::int32_t> selection(OsHandle edit) {
    std::int32_t a = -1, b = -1;
    os_send_message(edit, EM_GETSEL, reinterpret_cast<std::uintptr_t>(&a), reinterpret_cast<std::intptr_t>(&b));
    return {a, b};
}

TEST_F(ServicesTest, TitleAndIcon) {
    WDialogTitle("Caption");
    EXPECT_EQ(infoerror(1), 1005);
    WDialogLoad(702);
    WDialogTitle("New title   ", 0);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(text(dlg()), "New title");
    EXPECT_NE(os_get_window_icon(dlg(), true), 0);
    // No such icon: reported, but the title given with it is set.
    WDialogTitle("Other", 4321);
    EXPECT_EQ(infoerror(1), 1015);
    EXPECT_EQ(text(dlg()), "Other");
    // A page without a caption names its tab instead.
    WDialogLoad(707);
    const OsHandle tab = item(7701);
    OsTabItem t;
    t.text = "old";
    t.data[0] = 708;
    os_send_message(tab, TCM_INSERTITEM, 0, reinterpret_cast<std::intptr_t>(&t));
    WDialogLoad(708);
    WDialogTitle("Page");
    OsTabItem got;
    os_send_message(tab, TCM_GETITEM, 0, reinterpret_cast<std::intptr_t>(&got));
    EXPECT_EQ(got.text, "Page");
}

// A dialog starts with the program's icon and the style that gives it a
// task-bar button; a new icon replaces both sizes and destroys the old ones,
// never the program's shared icon.
TEST_F(ServicesTest, IconsOfADialogAndItsTaskBarStyle) {
    WDialogLoad(702);
    const OsHandle d = dlg();
    const OsIcon program = os_get_class_icon(wtab.wWindow[0]);
    ASSERT_NE(program, 0);
    EXPECT_EQ(os_get_window_icon(d, true), program);
    EXPECT_NE(os_get_ex_style(d) & OS_WS_EX_APPWINDOW, 0u);
    const OsIcon small = os_load_icon("icon1");
    os_set_window_icon(d, false, small);
    WDialogTitle(std::nullopt, 0);
    const OsIcon big = os_get_window_icon(d, true);
    EXPECT_NE(big, 0);
    EXPECT_NE(big, program);
    EXPECT_EQ(os_get_window_icon(d, false), 0);
    EXPECT_FALSE(os_destroy_icon(small));   // gone already
    EXPECT_EQ(os_get_class_icon(wtab.wWindow[0]), program);
    WDialogTitle(std::nullopt, 0);
    EXPECT_FALSE(os_destroy_icon(big));
    EXPECT_NE(os_get_window_icon(d, true), big);
}

// The size grip of a resizable dialog stays in its corner and is hidden
// while the dialog is maximised.
TEST_F(ServicesTest, TheSizeGripHidesWhileMaximised) {
    ASSERT_EQ(load_show(704), 0);
    const OsHandle grip = os_get_dlg_item(dlg(), 0xFFFF);
    ASSERT_NE(grip, 0);
    EXPECT_TRUE(os_is_window_visible(grip));
    os_show_window(dlg(), OS_SW_SHOWMAXIMIZED);
    EXPECT_FALSE(os_is_window_visible(grip));
    os_show_window(dlg(), OS_SW_RESTORE);
    EXPECT_TRUE(os_is_window_visible(grip));
    OsRect c, g;
    os_get_client_rect(dlg(), c);
    os_get_client_rect(grip, g);
    EXPECT_EQ(g.width(), c.width());
    EXPECT_EQ(g.height(), c.height());
}

TEST_F(ServicesTest, SetFieldSelectsOrPlacesTheCaret) {
    WDialogLoad(703);
    os_set_window_text(item(7301), "abcdef");
    os_set_window_text(item(7308), "multi");
    // A hidden dialog is left alone, without a report.
    WDialogSetField(7301);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_NE(os_get_focus(), item(7301));
    WDialogShow();
    WDialogSetField(4444);
    EXPECT_EQ(infoerror(1), 1006);
    WDialogSetField(7301);
    EXPECT_EQ(os_get_focus(), item(7301));
    EXPECT_EQ(selection(item(7301)), std::make_pair(0, 6));
    EXPECT_EQ(record().item[DlgCurrentField], 7301);
    EXPECT_EQ(record().item[DlgLastActive], item(7301));
    WDialogSetField(7301, 1);
    EXPECT_EQ(selection(item(7301)), std::make_pair(0, 0));
    WDialogSetField(7301, 3);
    EXPECT_EQ(selection(item(7301)), std::make_pair(2, 2));
    // A multi-line field shows no selection when the library gives it the focus.
    os_send_message(item(7308), EM_SETSEL, 0, 3);
    WDialogSetField(7308);
    const auto s = selection(item(7308));
    EXPECT_EQ(s.first, s.second);
}

TEST_F(ServicesTest, SizeHidesFieldsThatNoLongerFitAndBringsThemBack) {
    WDialogLoad(703);
    OsRect before;
    os_get_client_rect(dlg(), before);
    std::int32_t status = -1;
    // Width 0 keeps the width; the height shrinks to 50 units.
    yydialogsize(0, 50, status);
    EXPECT_EQ(status, 0);
    OsRect after;
    os_get_client_rect(dlg(), after);
    EXPECT_EQ(after.width(), before.width());
    EXPECT_EQ(after.height(), 50 * 13 / 8 + (50 * 13 % 8 >= 4 ? 1 : 0));
    EXPECT_FALSE(os_get_style(item(7306)) & OS_WS_VISIBLE);   // the trackbar lay below
    EXPECT_TRUE(os_get_style(item(7301)) & OS_WS_VISIBLE);
    EXPECT_LE(record().item[DlgMinHeight], before.height());
    yydialogsize(0, 140, status);
    EXPECT_TRUE(os_get_style(item(7306)) & OS_WS_VISIBLE);
}

TEST_F(ServicesTest, TabStopsAndTheirCount) {
    WDialogLoad(703);
    const std::array<std::int32_t, 3> stops{8, 16, 24};
    struct Case {
        std::int32_t field;
        std::int32_t count;
        std::int32_t status;
    } const cases[] = {
        {7308, 3, 7308},   // multi-line edit
        {7302, 2, 7302},   // list
        {7301, 1, -1},     // single-line edit
        {7307, 1, -1},     // static
        {7302, 4, -1},     // more than the array holds
        {7302, -1, -1},
        {9999, 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        std::int32_t f = c.field;
        yydialogtabstops(f, stops, c.count);
        EXPECT_EQ(f, c.status);
        if (c.status > 0) {
            EXPECT_EQ(yyfieldrecord(item(c.field))->tab_count, c.count);
            EXPECT_EQ(yyfieldrecord(item(c.field))->tabs.size(), static_cast<std::size_t>(c.count));
        }
    }
}

TEST_F(ServicesTest, FieldColoursAndLastActiveControl) {
    WDialogLoad(703);
    const OsHandle c = item(7301);
    struct Case {
        int which, red, green, blue, text, back;
    } const cases[] = {
        {1, 300, 0, 0, 44, -1},
        {2, 1, 2, 3, 44, 1 + 512 + 3 * 65536},
        {1, -1, 9, 9, 44, 1 + 512 + 3 * 65536},
        {1, 256, 0, 0, -1, 1 + 512 + 3 * 65536},
    };
    for (const Case& k : cases) {
        yyFieldColour2(c, k.which, k.red, k.green, k.blue);
        EXPECT_EQ(yyfieldrecord(c)->text_colour, k.text);
        EXPECT_EQ(yyfieldrecord(c)->background_colour, k.back);
    }
    yyfieldrange2(c, 2.0, 1.0);
    EXPECT_EQ(yyfieldrecord(c)->range_min, 2.0);
    yyUpdateLast(dlg(), c);
    EXPECT_EQ(record().item[DlgLastActive], c);
    yyFieldColour2(dlg(), 1, 1, 1, 1);  // a window without a field record: nothing
}

}  // namespace
