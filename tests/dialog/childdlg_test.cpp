// Child windows combined with dialogs, and the dialogs of a child that closes.
#include "tests/dialog/dialog_fixture.h"

#include "lib/dialog/dialog_window.h"
#include "lib/dialog/commondlg.h"
#include "lib/window/childwin.h"
#include "lib/window/splitwin.h"
#include "lib/window/winops.h"

namespace {

class ChildDialogTest : public DialogTest {};

TEST_F(ChildDialogTest, StatusesBecomeErrors) {
    // Parents of every state: slot 1 hidden, slot 2 combined with a dialog, slot 3 split.
    std::int32_t c = 0;
    WindowOpenChild(c, 7 | 0x80, 10, 10, 100, 80);
    ASSERT_EQ(c, 1);
    WindowOpenChild(c, 7, 10, 10, 0, 0, 0, {}, 701, "Combined");
    ASSERT_EQ(c, 2);
    WindowOpenChild(c, 7, 10, 10, 200, 100);
    ASSERT_EQ(c, 3);
    std::int32_t p1 = 0, p2 = 0, d1 = 0, d2 = 0;
    yywindowsplit(p1, p2, 0, 0, 0, -1, 0, 0, {}, {}, d1, d2, "", "");
    ASSERT_EQ(p1, 4);
    const auto kept = quinda.window_size;
    struct Case {
        const char* what;
        std::int32_t flags, parent, dialog;
        int loaded_before;   // dialogs loaded first: 1 the same one, 100 a full table
        int error;
        bool opens;
    };
    const Case cases[] = {
        {"parent hidden", 0x10 | 7, 1, 0, 0, 1016, false},
        {"parent combined with a dialog", 0x10 | 7, 2, 0, 0, 1046, false},
        {"parent of another special kind", 0x10 | 7, 3, 0, 0, 1056, false},
        {"parent slot empty", 0x10 | 7, 9, 0, 0, 1003, false},
        {"parent slot out of range", 0x10 | 7, 51, 0, 0, 1003, false},
        {"parent slot below 0", 0x10 | 7, -1, 0, 0, 1003, false},
        {"combined", 7, 0, 701, 0, 0, true},
        {"dialog not in the resources", 7, 0, 799, 0, 1007, true},   // the child stays open
        {"a top-level template", 7, 0, 702, 0, 1045, true},
        {"too many dialogs", 7, 0, 701, 100, 1087, true},
        {"dialog cannot be made", 7, 0, 790, 0, 1088, true},
        {"already loaded", 7, 0, 701, 1, 1091, true},
    };
    WindowCloseChild(2);   // its dialog 701 goes with it
    WindowOpenChild(c, 7, 10, 10, 0, 0, 0, {}, 708, "Combined");
    ASSERT_EQ(c, 2);       // combined again, with another dialog
    ASSERT_EQ(infoerror(1), 0);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        if (k.loaded_before == 1) WDialogLoad(701);
        const int room = MaxDialogs - dlgtab.nDialogs;
        for (int i = 0; k.loaded_before == 100 && i < room; ++i) WDialogLoad(705, 1000 + i);
        infoerror(1);
        windowselect(0);
        quinda.window_size = kept;
        std::int32_t child = 0;
        WindowOpenChild(child, k.flags, 10, 10, 0, 0, 0, {}, k.dialog, "Child", k.parent);
        EXPECT_EQ(infoerror(1), k.error);
        EXPECT_EQ(child > 0, k.opens) << child;
        if (!k.opens) {
            EXPECT_EQ(child, -1);
            continue;
        }
        if (k.error == 0) {
            EXPECT_EQ(dialog_state.current_id, 701);
            EXPECT_EQ(yydialogcombinedframe(dlg()), wtab.wWindow[ix(child)]);
            EXPECT_EQ(os_get_parent(dlg()), wtab.hClient[ix(child)]);
            OsRect dr, cr;
            os_get_window_rect(dlg(), dr);
            os_get_client_rect(wtab.hClient[ix(child)], cr);
            EXPECT_EQ(cr.width(), dr.width());
        }
        WindowCloseChild(child);
        EXPECT_EQ(infoerror(1), 0);
        if (k.error == 0) {
            EXPECT_EQ(yydialogfind(701), -1);   // its dialog went with it, and is no longer current
            EXPECT_EQ(dialog_state.current_id, 0);
        }
        for (std::int32_t id : {701, 1000}) {
            if (yydialogfind(id) < 1) continue;
            WDialogSelect(id);
            WDialogUnload();
        }
        for (std::int32_t id = 1001; id < 1100; ++id)
            if (yydialogfind(id) >= 1) {
                WDialogSelect(id);
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
