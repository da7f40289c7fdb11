#include <gtest/gtest.h>

#include "platform/os_msgbox.h"

namespace {

struct ResponderGuard {
    ~ResponderGuard() { os_message_box_set_responder({}); }
};

}  // namespace

TEST(OsMessageBox, HeadlessWithoutResponderCannotBeShown) {
    os_message_box_set_responder({});
    EXPECT_EQ(os_message_box("text", "caption", OS_MB_OKCANCEL), 0);
}

TEST(OsMessageBox, ResponderAnswersOnlyWithButtonsOfTheSet) {
    ResponderGuard guard;
    int answer = 0;
    OsMessageBoxRequest seen;
    os_message_box_set_responder([&](const OsMessageBoxRequest& r) {
        seen = r;
        return answer;
    });
    struct Case {
        unsigned style;
        int answer, result;
    };
    const Case cases[] = {
        {OS_MB_OK, OS_IDOK, OS_IDOK},           {OS_MB_OK, OS_IDCANCEL, 0},
        {OS_MB_OKCANCEL, OS_IDCANCEL, OS_IDCANCEL}, {OS_MB_YESNO, OS_IDNO, OS_IDNO},
        {OS_MB_YESNO, OS_IDCANCEL, 0},          {OS_MB_ABORTRETRYIGNORE, OS_IDIGNORE, OS_IDIGNORE},
        {OS_MB_RETRYCANCEL, OS_IDRETRY, OS_IDRETRY}, {OS_MB_YESNOCANCEL, 0, 0},
    };
    for (const auto& c : cases) {
        answer = c.answer;
        EXPECT_EQ(os_message_box("a\rb", "cap", c.style | OS_MB_ICONSTOP), c.result) << c.style;
        EXPECT_EQ(seen.text, "a\rb");
        EXPECT_EQ(seen.caption, "cap");
        EXPECT_EQ(seen.style, c.style | OS_MB_ICONSTOP);
    }
}

TEST(OsMessageBox, DefaultButtonPosition) {
    EXPECT_EQ(os_message_box_default_position(OS_MB_OKCANCEL), 1);
    EXPECT_EQ(os_message_box_default_position(OS_MB_OKCANCEL | OS_MB_DEFBUTTON2), 2);
    EXPECT_EQ(os_message_box_default_position(OS_MB_OKCANCEL | OS_MB_DEFBUTTON3), 1);
    EXPECT_EQ(os_message_box_default_position(OS_MB_YESNOCANCEL | OS_MB_DEFBUTTON3), 3);
    EXPECT_EQ(os_message_box_default_position(OS_MB_OK | OS_MB_DEFBUTTON2), 1);
}
