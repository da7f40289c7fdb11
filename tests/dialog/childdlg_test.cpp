// Child windows combined with dialogs, and the dialogs of a child that closes.
#include "tests/dialog/dialog_fixture.h"

#include "lib/dialog/dialog_window.h"
#include "lib/dialog/commondlg.h"
#include "lib/window/childwin.h"
#include "lib/window/splitwin.h"
#include "lib/window/winops.h"

namespace {

class ChildDialogTest : public DialogTest {};

TEST_F(ChildDialogTest, DialogStatusesOfAChild) {
    struct Case {
        const char* what;
        std::int32_t dialog;
        int loaded_before;   // dialogs loaded first: 1 the same one, 100 a full table
        int error;
    };
    const Case cases[] = {
        {"combined", 701, 0, 0},
        {"not in the resources", 799, 0, 1007},
        {"a top-level template", 702, 0, 1045},
        {"already loaded", 701, 1, 1091},
        {"too many dialogs", 701, 100, 1087},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.loaded_before == 1) WDialogLoad(701);
        for (int i = 0; c.loaded_before == 100 && i < 100; ++i) WDialogLoad(705, 1000 + i);
        infoerror(1);
        std::int32_t child = 0;
        WindowOpenChild(child, 7, 10, 10, 0, 0, 0, {}, c.dialog, "Combined");
        EXPECT_EQ(infoerror(1), c.error);
        ASSERT_EQ(child, 1);   // a failed combination leaves the child open
        if (c.error == 0) {
            EXPECT_EQ(dialog_state.current_id, 701);
            EXPECT_EQ(yydialogcombinedframe(dlg()), wtab.wWindow[1]);
            EXPECT_EQ(os_get_parent(dlg()), wtab.hClient[1]);
            OsRect dr, cr;
            os_get_window_rect(dlg(), dr);
            os_get_client_rect(wtab.hClient[1], cr);
            EXPECT_EQ(cr.width(), dr.width());
        }
        WindowCloseChild(1);
        EXPECT_EQ(infoerror(1), 0);
        if (c.error == 0) {
            EXPECT_EQ(yydialogfind(701), -1);   // its dialog went with it
        }
        while (dlgtab.nDialogs > 0) {
            WDialogSelect(yydialogrecord(dlgtab.hDialogList[static_cast<std::size_t>(dlgtab.nDialogs)])->item[DlgId]);
            WDialogUnload();
        }
    }
}

TEST_F(ChildDialogTest, DialogsOfAClosingChildGoOrTakeItsPrevious) {
    std::int32_t child = 0;
    WindowOpenChild(child, 7, 20, 20, 200, 150);
    ASSERT_EQ(child, 1);
    const OsHandle frame = wtab.wWindow[1], root = wtab.wWindow[0];
    EXPECT_EQ(wtab.hPrevious[1], root);
    WDialogLoad(705, 705, 1);    // owned by the child
    WDialogLoad(700);            // shown from the child: it gives the focus back there
    record().item[DlgOwner] = frame;
    record().item[DlgReenable] = frame;
    WindowCloseChild(1);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(yydialogfind(705), -1);
    ASSERT_GE(yydialogfind(700), 1);
    WDialogSelect(700);
    EXPECT_EQ(record().item[DlgOwner], root);
    EXPECT_EQ(record().item[DlgReenable], root);
}

}  // namespace

namespace {

class PlacedDialogTest : public DialogTest {};

TEST_F(PlacedDialogTest, LibraryDialogNextToAWindow) {
    std::int32_t child = 0;
    WindowOpenChild(child, 0x10 | 7, 1000, 1000, 5000, 5000);
    ASSERT_EQ(child, 1);
    OsPoint origin{0, 0};
    os_client_to_screen(wtab.hClient[1], origin);
    std::int32_t x = 0, y = 0;
    yygetwindlgpos(1, 0, 0, x, y);
    EXPECT_EQ(x, origin.x);
    EXPECT_EQ(y, origin.y);
    // From the inside child, up to the window it lies in.
    OsPoint root{0, 0};
    os_client_to_screen(wtab.hClient[0], root);
    yygetwindlgpos(-1, 0, 0, x, y);
    EXPECT_EQ(x, root.x);
    EXPECT_EQ(y, root.y);
    WDialogLoad(700);
    yyshowcd(0, 2, 1);
    OsRect r;
    os_get_window_rect(dlg(), r);
    EXPECT_EQ(r.left, origin.x);
    EXPECT_EQ(r.top, origin.y);
    EXPECT_TRUE(os_is_window_visible(dlg()));
}

}  // namespace

namespace {

class PaneDialogTest : public DialogTest {};

TEST_F(PaneDialogTest, AFixedDialogFixesItsPaneAndGivesItsSize) {
    windowselect(0);
    std::int32_t p1 = 0, p2 = 0, d1 = 701, d2 = 0;
    yywindowsplit(p1, p2, SplitStacked | SplitProportional | SplitKeepSecond, 0, 0, 50, 0, 0, {}, {}, d1, d2, "Form",
                  "View");
    ASSERT_EQ(p1, 1);
    SplitWindowRecord* rec = yysplitrecord(wtab.wWindow[0]);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->pane1_flags() & PaneFixed, PaneFixed);
    EXPECT_EQ(rec->flags(), SplitStacked);
    // The pane's client is the dialog's height, and the dialog sits in it.
    const OsHandle d = dlg();
    OsRect dr, cr;
    os_get_window_rect(d, dr);
    os_get_client_rect(wtab.hClient[1], cr);
    EXPECT_EQ(cr.height(), dr.height());
    EXPECT_EQ(yydialogcombinedframe(d), wtab.wWindow[1]);
    // A pane whose dialog is fixed cannot be dragged.
    EXPECT_EQ(os_send_message(rec->bar_handle(), OSM_NCHITTEST, 0, 0), OS_HTBORDER);
    // A dialog that cannot be combined leaves the pane without one.
    windowselect(2);
    std::int32_t q1 = 0, q2 = 0, e1 = 799, e2 = 0;
    yywindowsplit(q1, q2, 0, 0, 0, -1, 0, 0, {}, {}, e1, e2, "", "");
    EXPECT_EQ(e1, -1);
    EXPECT_EQ(q1, 3);
}

}  // namespace
