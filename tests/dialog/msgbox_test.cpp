#include "tests/dialog/dialog_fixture.h"

#include <functional>

#include "lib/dialog/commondlg.h"
#include "lib/window/text.h"
#include "platform/os_commondlg.h"

namespace {

class MessageBoxTest : public DialogTest {
protected:
    void answer(int id) {
        os_message_box_set_responder([this, id](const OsMessageBoxRequest& r) {
            seen = r;
            return id;
        });
    }
    OsMessageBoxRequest seen;
};

TEST_F(MessageBoxTest, ButtonSetsAndTheirDefaultButtons) {
    // Per set: the button set's style and the default position for defaults 0, 1, 2.
    struct Case {
        int buttons;
        unsigned set;
        int position[3];
    } const cases[] = {
        {0, OS_MB_OK, {1, 1, 1}},
        {1, OS_MB_OKCANCEL, {2, 1, 2}},
        {2, OS_MB_RETRYCANCEL, {2, 1, 2}},
        {3, OS_MB_YESNO, {2, 1, 2}},
        {4, OS_MB_YESNOCANCEL, {3, 1, 2}},
        {5, OS_MB_ABORTRETRYIGNORE, {3, 2, 1}},
        {7, OS_MB_OK, {1, 1, 1}},
        {-1, OS_MB_OK, {1, 1, 1}},
    };
    answer(OS_IDOK);
    for (const Case& c : cases) {
        for (int def = 0; def <= 2; ++def) {
            SCOPED_TRACE(testing::Message() << "buttons " << c.buttons << " default " << def);
            WMessageBox(c.buttons, 2, def, "Question  ", "Title   ");
            EXPECT_EQ(seen.style & OS_MB_TYPEMASK, c.set);
            EXPECT_EQ(seen.style & OS_MB_ICONMASK, OS_MB_ICONQUESTION);
            EXPECT_EQ(static_cast<int>((seen.style & OS_MB_DEFMASK) >> 8) + 1, c.position[def]);
            EXPECT_EQ(seen.text, "Question");
            EXPECT_EQ(seen.caption, "Title");
        }
    }
}

TEST_F(MessageBoxTest, AnswersFailuresAndState) {
    struct Case {
        int buttons;
        int answer;
        int result;
    } const cases[] = {{1, OS_IDOK, 1}, {4, OS_IDYES, 1}, {2, OS_IDRETRY, 1}, {1, OS_IDCANCEL, 0},
                       {5, OS_IDIGNORE, 0}, {3, OS_IDNO, 2}, {5, OS_IDABORT, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        answer(c.answer);
        dialog_state.exit_field = 5;
        WMessageBox(c.buttons, 0, 1, "x", "y");
        EXPECT_EQ(dialog_state.last_result, c.result);
        EXPECT_EQ(dialog_state.exit_field, 0);
        EXPECT_EQ(infoerror(1), 0);
    }
    // Escape on a Yes/No/Cancel box is its Cancel.
    answer(OS_IDCANCEL);
    WMessageBox(4, 0, 1, "x", "y");
    EXPECT_EQ(dialog_state.last_result, 0);
    // A box that cannot be shown: 1004, the result stays.
    answer(OS_IDNO);
    WMessageBox(3, 0, 1, "x", "y");
    answer(0);
    WMessageBox(3, 0, 1, "x", "y");
    EXPECT_EQ(infoerror(1), 1004);
    EXPECT_EQ(dialog_state.last_result, 2);
    EXPECT_EQ(wtab.wBlitOn, 0);
    EXPECT_TRUE(os_is_window_enabled(wtab.wWindow[0]));
}

TEST_F(MessageBoxTest, DisablesAroundTheBoxAndLeavesTheSemiModelessDialogEnabled) {
    WDialogLoad(705);
    WDialogShow(-1, -1, 0, 3);
    const OsHandle semi = dlg();
    bool root_disabled = false, semi_disabled = false;
    os_message_box_set_responder([&](const OsMessageBoxRequest&) {
        root_disabled = !os_is_window_enabled(wtab.wWindow[0]);
        semi_disabled = !os_is_window_enabled(semi);
        return OS_IDOK;
    });
    WMessageBox(0, 0, 1, "x", "y");
    EXPECT_TRUE(root_disabled);
    EXPECT_FALSE(semi_disabled);  // the box is owned by it
    EXPECT_TRUE(os_is_window_enabled(semi));
    EXPECT_FALSE(os_is_window_enabled(wtab.wWindow[0]));
}

TEST_F(MessageBoxTest, ReportModeFourAsksThroughTheLibrarysBox) {
    idebuglevel(4);
    answer(OS_IDOK);
    yyerror(1005, "WDialogShow");
    EXPECT_EQ(seen.caption, "Library Error");
    EXPECT_EQ(seen.style & OS_MB_TYPEMASK, OS_MB_OKCANCEL);
    EXPECT_EQ(dialog_state.last_result, 1);
}

// Every modal phase over a top-level dialog: the program's window is shown
// from its snapshot while the box or common dialog is up, and afterwards
// the focus is back on the field that had it, though the system's dialog
// took the keyboard meanwhile.
TEST_F(MessageBoxTest, ModalPhasesSnapshotTheWindowAndGiveTheFocusBack) {
    ASSERT_EQ(load_show(700), 0);
    const OsHandle field = item(7002);
    bool snapshot = false;
    auto while_up = [&] {
        snapshot = wtab.hImage[0] != 0 && wtab.wBlitOn == 1;
        os_set_focus(0);
    };
    os_message_box_set_responder([&](const OsMessageBoxRequest&) {
        while_up();
        return OS_IDOK;
    });
    os_common_dialog_set_responder([&](const OsCommonDialogRequest&) {
        while_up();
        return OsCommonDialogAnswer{};
    });
    struct Case {
        const char* what;
        std::function<void()> run;
    } const cases[] = {
        {"message box", [] { WMessageBox(0, 0, 1, "Text", "Caption"); }},
        {"file", [] {
             std::string name = txt_fixed("a.fem", 40);
             WSelectFile("All|*|", 0, name, "Open");
         }},
        {"colour", [] {
             std::int32_t colour = 255;
             WSelectColour(colour);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        os_set_focus(field);
        settle();
        snapshot = false;
        c.run();
        EXPECT_TRUE(snapshot);
        EXPECT_EQ(wtab.hImage[0], 0);
        EXPECT_EQ(os_get_focus(), field);
    }
    os_message_box_set_responder({});
    os_common_dialog_set_responder({});
}

}  // namespace
