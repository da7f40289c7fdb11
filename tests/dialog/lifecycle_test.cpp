#include "tests/dialog/dialog_fixture.h"

#include "lib/window/winclose.h"

namespace {

using LifecycleTest = DialogTest;

TEST_F(LifecycleTest, TableHoldsAHundredDialogsAndRefusesTheNext) {
    // Distinct ids of one template: the table counts dialogs, not templates.
    for (int i = 0; i < 100; ++i) WDialogLoad(705, 1000 + i);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(dlgtab.nDialogs, 100);
    WDialogLoad(705, 2000);
    EXPECT_EQ(infoerror(1), 1087);
    EXPECT_EQ(dlgtab.nDialogs, 100);
    EXPECT_EQ(dialog_state.current_id, 1099);  // the failed load left the last one current
    EXPECT_EQ(yydialogfind(2000), -1);
}

TEST_F(LifecycleTest, LoadSelectAndErrors) {
    WDialogLoad(702);
    const OsHandle first = dlg();
    // No template: 1007, the previous dialog stays current.
    WDialogLoad(799);
    EXPECT_EQ(infoerror(1), 1007);
    EXPECT_EQ(dlg(), first);
    EXPECT_EQ(dialog_state.current_id, 702);
    // Reloading only makes current: the companion text is not applied again.
    WDialogLoad(700);
    os_send_message(item(7003), LB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>("added"));
    WDialogLoad(702);
    EXPECT_EQ(dlg(), first);
    WDialogLoad(700);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(os_send_message(item(7003), LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(dlgtab.nDialogs, 2);
    WDialogSelect(702);
    EXPECT_EQ(dlg(), first);
    WDialogSelect(777);
    EXPECT_EQ(infoerror(1), 1008);
    // Field records are made for every control, with their defaults.
    const FieldRecord* f = yyfieldrecord(item(7201));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->range_min, 1000.0);
    EXPECT_EQ(f->range_max, -1000.0);
    EXPECT_EQ(yyfieldrecord(item(7202))->text_limit, 32767);
}

TEST_F(LifecycleTest, ShowCentresAndModesAreChecked) {
    struct Case {
        const char* what;
        int id;
        int parent;   // window index of the load
        int mode;
        bool semi_first;
        int error;
        int shown_mode;
    };
    const Case cases[] = {
        {"modeless", 702, 0, 2, false, 0, 2},
        {"semi-modeless", 702, 0, 3, false, 0, 3},
        {"modeless under a semi-modeless dialog", 702, 0, 2, true, 1014, 3},
        {"embedded shown modal", 701, 0, 1, false, 1014, 2},
        {"embedded shown semi-modeless", 701, 0, 3, false, 1014, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.semi_first) {
            WDialogLoad(705);
            WDialogShow(-1, -1, 0, 3);
        }
        infoerror(1);
        WDialogLoad(c.id, c.id, c.parent);
        WDialogShow(-1, -1, 0, c.mode);
        EXPECT_EQ(infoerror(1), c.error);
        EXPECT_EQ(wtab.wBlitOn, 0);
        EXPECT_EQ(wtab.hImage[0], 0);
        EXPECT_EQ(record().item[DlgMode], c.shown_mode);
        EXPECT_EQ(record().item[DlgShown], 1);
        EXPECT_TRUE(os_is_window_visible(dlg()));
        // -1, -1 centres: on the screen, or in the parent's client area.
        OsRect r;
        os_get_window_rect(dlg(), r);
        if (os_get_style(dlg()) & OS_WS_CHILD) {
            OsRect pc;
            os_get_client_rect(wtab.hClient[0], pc);
            OsPoint tl{r.left, r.top};
            os_screen_to_client(wtab.hClient[0], tl);
            EXPECT_EQ(tl.x, (pc.width() - r.width()) / 2);
            EXPECT_EQ(tl.y, (pc.height() - r.height()) / 2);
        } else {
            EXPECT_EQ(r.left, (1024 - r.width()) / 2);
            EXPECT_EQ(r.top, (768 - r.height()) / 2);
        }
        // Unloading everything gives the next case a clean table.
        while (dlgtab.nDialogs > 0) {
            dlgtab.iDlgCur = dlgtab.nDialogs;
            WDialogUnload();
        }
        EXPECT_EQ(dlgtab.nSemi, 0);
        EXPECT_EQ(wtab.hLastSemi, 0);
    }
}

TEST_F(LifecycleTest, AlreadyShownOnlyComesForwardAndModalIsRefused) {
    WDialogLoad(702);
    WDialogShow(20, 30, 7202, 2);
    OsRect before;
    os_get_window_rect(dlg(), before);
    WDialogShow(-1, -1, 0, 3);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(record().item[DlgMode], 2);
    OsRect after;
    os_get_window_rect(dlg(), after);
    EXPECT_EQ(after, before);
    // A modal show of a dialog that is up does not run; it is reported and
    // leaves the exit values alone. An outer snapshot taken before stays.
    std::int32_t status = 0;
    yygetwindowbitmap(1, -1, status);
    dialog_state.exit_button = 77;
    WDialogShow(-1, -1, 0, 1);
    EXPECT_EQ(infoerror(1), 1014);
    EXPECT_EQ(dialog_state.exit_button, 77);
    EXPECT_EQ(wtab.wBlitOn, 1);
    EXPECT_EQ(wtab.nImage[0], 1);
    yygetwindowbitmap(0, -1, status);
    EXPECT_EQ(wtab.wBlitOn, 0);
}

TEST_F(LifecycleTest, HideAndUnloadAndWhatGoesAlong) {
    // No dialog: hide says nothing, show and unload report 1005.
    WDialogHide();
    EXPECT_EQ(infoerror(1), 0);
    WDialogShow();
    EXPECT_EQ(infoerror(1), 1005);
    WDialogUnload();
    EXPECT_EQ(infoerror(1), 1005);

    WDialogLoad(702);
    WDialogShow();
    const OsHandle owner = dlg();
    // A top-level dialog loaded while 702 is active is owned by it; an
    // embedded one lies in the root's client area.
    WDialogLoad(705, 705, -1);
    const OsHandle owned = dlg();
    EXPECT_EQ(os_get_owner(owned), owner);
    WDialogLoad(701);
    WDialogHide();
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(dlg(), yycurrentdialog());
    EXPECT_EQ(dialog_state.current_id, 701);
    WDialogSelect(702);
    WDialogUnload();
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_FALSE(os_is_window(owner));
    EXPECT_FALSE(os_is_window(owned));
    EXPECT_EQ(yydialogfind(705), -1);
    EXPECT_EQ(yydialogfind(701), 1);  // not owned: it stays
    EXPECT_EQ(dialog_state.current_id, 0);
    EXPECT_EQ(dlgtab.iDlgCur, 0);
}

TEST_F(LifecycleTest, UnloadingKeepsTheCurrentDialogWhenSlotsBelowItMove) {
    WDialogLoad(702);
    WDialogLoad(705);
    WDialogLoad(700);
    const OsHandle current = dlg();
    std::int32_t s = yydialogfind(702);
    yydialogunload2(dlgtab.hDialogList[static_cast<std::size_t>(s)], 0, s);
    EXPECT_EQ(dlg(), current);
    EXPECT_EQ(record().item[DlgId], 700);
}

TEST_F(LifecycleTest, UnloadTakesEmbeddedDialogsAlong) {
    WDialogLoad(702);
    const OsHandle outer = dlg();
    // A dialog whose parent is the dialog itself lies inside it.
    std::int32_t status = 701;
    const OsHandle saved = wtab.hClient[1];
    wtab.hClient[1] = outer;
    yydialogload2(status, 701, 1, 0);
    wtab.hClient[1] = saved;
    const OsHandle inner = dlg();
    EXPECT_TRUE(os_is_child(outer, inner));
    WDialogSelect(702);
    WDialogUnload();
    EXPECT_FALSE(os_is_window(inner));
    EXPECT_EQ(dlgtab.nDialogs, 0);
}

TEST_F(LifecycleTest, ClosingTheWindowsForgetsTheDialogs) {
    WDialogLoad(702);
    WDialogShow();
    const OsHandle d = dlg();
    windowclose();
    EXPECT_FALSE(os_is_window(d));
    EXPECT_EQ(dlgtab.nDialogs, 0);
    EXPECT_EQ(dialog_state.current_id, 0);
}

}  // namespace

namespace {

TEST_F(LifecycleTest, AnEmbeddedDialogInAHiddenWindowIsNotShown) {
    // A hidden child window in slot 1.
    const OsHandle frame = os_create_window(0, "QUINCHILD", "Child", OS_WS_CHILD, 0, 0, 200, 100, wtab.hClient[0], 0, 0);
    ASSERT_NE(frame, 0);
    wtab.wWindow[1] = frame;
    wtab.hClient[1] = os_create_window(0, "QUINCLIENT", "", OS_WS_CHILD | OS_WS_VISIBLE, 0, 0, 200, 100, frame, 0, 0xFFFF);
    quinda.open_flags[1] = 0;
    WDialogLoad(701, 701, 1);
    EXPECT_EQ(os_get_parent(dlg()), wtab.hClient[1]);
    WDialogShow();
    EXPECT_EQ(infoerror(1), 1016);
    EXPECT_EQ(record().item[DlgShown], 0);
    EXPECT_FALSE(os_get_style(dlg()) & OS_WS_VISIBLE);
}

}  // namespace
