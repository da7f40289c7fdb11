#include "tests/dialog/dialog_fixture.h"

#include "lib/dialog/dialog_window.h"
#include "lib/window/winclose.h"

namespace {

class CombinedTest : public QuindaTest {};

TEST_F(CombinedTest, ARootWindowCombinedWithADialogShowsItInItsClientArea) {
    WindowOpen(7 | 0x20, 10, 10, 0, 0, 0, {}, 701, "Combined");
    ASSERT_NE(wtab.wWindow[0], 0);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(wtab.bDlgRoot, 1);
    const OsHandle d = yycurrentdialog();
    ASSERT_NE(d, 0);
    EXPECT_EQ(dialog_state.current_id, 701);
    EXPECT_EQ(os_get_parent(d), wtab.hClient[0]);
    EXPECT_EQ(yydialogcombinedframe(d), wtab.wWindow[0]);
    EXPECT_TRUE(os_is_window_visible(d));
    // A dialog combined with a window is not hidden or shown by the program.
    WDialogHide();
    EXPECT_EQ(infoerror(1), 1047);
    EXPECT_TRUE(os_is_window_visible(d));
    // The window's client takes the dialog's size.
    OsRect dr, cr;
    os_get_window_rect(d, dr);
    os_get_client_rect(wtab.hClient[0], cr);
    EXPECT_EQ(cr.width(), dr.width());
    windowclose();
    EXPECT_FALSE(os_is_window(d));
    EXPECT_EQ(dlgtab.nDialogs, 0);
}

TEST_F(CombinedTest, ATopLevelTemplateCannotBeCombined) {
    WindowOpen(7 | 0x20, 10, 10, 200, 100, 0, {}, 702, "Combined");
    ASSERT_NE(wtab.wWindow[0], 0);
    EXPECT_EQ(infoerror(1), 1045);
    EXPECT_EQ(dlgtab.nDialogs, 0);
}

}  // namespace
