#include "tests/dialog/dialog_fixture.h"

#include <cstdlib>
#include <filesystem>

#include "app/apphooks.h"

namespace {

using ProgramDialogTest = DialogTest;

TEST_F(ProgramDialogTest, TheWaitTakesOnlyPushButtonsOfTheDialog) {
    WDialogLoad(101);
    WDialogShow(-1, -1, 0, 2);
    ASSERT_EQ(dialog_state.current_id, 101);
    // A left click in the map (type 4, value 1) and Ctrl+A (type 1, value 1)
    // carry the number of OK; neither is OK.
    os_input_mouse(wtab.hClient[0], OS_MOUSE_PRESS, 1, 20, 20);
    os_input_mouse(wtab.hClient[0], OS_MOUSE_RELEASE, 1, 20, 20);
    os_input_key(wtab.hClient[0], 'A', OS_IN_CONTROL);
    // Enter in a field of the dialog presses OK.
    os_input_key(item(1001), OS_VK_RETURN, 0);
    EXPECT_EQ(app_wait_message(), 1);
    // The polling form answers -1 for what is no push button of the dialog.
    os_input_key(wtab.hClient[0], 'A', OS_IN_CONTROL);
    EXPECT_EQ(app_peek_message(), -1);
    EXPECT_EQ(app_peek_message(), -1);  // nothing waiting
    const OsHandle ok = item(1);
    os_input_mouse(ok, OS_MOUSE_PRESS, 1, 5, 5);
    os_input_mouse(ok, OS_MOUSE_RELEASE, 1, 5, 5);
    EXPECT_EQ(app_wait_message(), 1);
    os_input_mouse(item(1117), OS_MOUSE_PRESS, 1, 5, 5);
    os_input_mouse(item(1117), OS_MOUSE_RELEASE, 1, 5, 5);
    EXPECT_EQ(app_wait_message(), 1117);
    app_unload_dialog(101);
    EXPECT_EQ(dialog_state.current_id, 0);
    // No dialog up: nothing could answer.
    EXPECT_EQ(app_wait_message(), 2);
    app_unload_dialog(101);  // the main loop unloads what is not loaded: no report
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(ProgramDialogTest, GridAndProgressDialogsLoadWithTheirFields) {
    struct Case {
        int id;
        std::vector<int> fields;
        const char* caption;
    } const cases[] = {
        {101, {1001, 1004, 1006, 1007, 1009, 1012, 1027, 1013, 1014, 1029, 1, 2, 1117}, "Surfer grid"},
        {103, {1034, 1036, 1039, 1035, 1037, 1041, 1013, 1014, 1029, 1, 2, 1117}, "Arc-Info grid"},
        {104, {1047, 1053, 1048, 1054, 1049, 1050, 1051, 1055, 1056, 1013, 1}, "Modflow network"},
        {111, {1001}, "Calculating"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        WDialogLoad(c.id);
        ASSERT_EQ(infoerror(1), 0);
        EXPECT_EQ(text(dlg()), c.caption);
        for (int f : c.fields) EXPECT_NE(item(f), 0) << f;
        WDialogUnload();
    }
    // The companion texts: both row-order buttons clear, the progress bar 0..100 at 0.
    WDialogLoad(104);
    EXPECT_EQ(os_send_message(item(1055), BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(os_send_message(item(1056), BM_GETCHECK, 0, 0), 0);
    WDialogLoad(111);
    EXPECT_EQ(os_send_message(item(1001), PBM_GETRANGE, 1, 0), 0);
    EXPECT_EQ(os_send_message(item(1001), PBM_GETRANGE, 0, 0), 100);
    EXPECT_EQ(os_send_message(item(1001), PBM_GETPOS, 0, 0), 0);
    OsRect r;
    os_get_client_rect(dlg(), r);
    EXPECT_EQ(r.width(), 202 * 6 / 4);
    EXPECT_EQ(r.height(), (10 * 13 + 4) / 8);
}

TEST_F(ProgramDialogTest, SurferDialogFilledInAsTheUserSeesIt) {
    WDialogLoad(101);
    const std::pair<int, const char*> texts[] = {{1001, "0.00"}, {1004, "0.00"},   {1006, "1000.00"},
                                                 {1007, "500.00"}, {1009, "500"},  {1012, "500"},
                                                 {1027, "30"}};
    for (const auto& [f, t] : texts) os_set_window_text(item(f), t);
    WDialogShow(-1, -1, 1009, 2);
    EXPECT_EQ(os_get_focus(), item(1009));
    const char* keep = std::getenv("QUINDA_KEEP_GRAB");
    TempDir dir;
    const std::string file = keep && *keep ? std::string(keep) : dir.file("dialog101.png");
    ASSERT_TRUE(os_grab_window_png(dlg(), file));
    EXPECT_GT(std::filesystem::file_size(file), 1000u);
}

}  // namespace
