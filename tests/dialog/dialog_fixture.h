#pragma once
// A fixture for dialog tests: the root window open, dialogs of the test
// resources (ids 700..799) loaded and driven by scripted input.
#include <gtest/gtest.h>

#include <string>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fieldrec.h"
#include "lib/window/errors.h"
#include "lib/window/fetch.h"
#include "lib/window/messages.h"
#include "lib/window/quinda_state.h"
#include "lib/window/rootwin.h"
#include "platform/os_dialog.h"
#include "platform/os_msgbox.h"
#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

class DialogTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        WindowOpen(7 | 0x20, 10, 10, 400, 300, 0, {}, 0, "Test");
        ASSERT_NE(wtab.wWindow[0], 0);
        settle();
    }

public:
    OsHandle dlg() const { return yycurrentdialog(); }
    OsHandle item(std::int32_t id) const { return os_get_dlg_item(dlg(), id); }
    DialogRecord& record() const { return *yydialogrecord(dlg()); }
    // Loads and shows a dialog modeless; the error it reports, 0 for none.
    int load_show(std::int32_t id, std::int32_t mode = 2) {
        infoerror(1);
        WDialogLoad(id);
        WDialogShow(-1, -1, 0, mode);
        return infoerror(1);
    }
    // A key as the user types it on the window with the focus.
    void key(std::int32_t vk, std::uint32_t mods = 0) {
        const OsHandle f = os_get_focus();
        os_input_key(f ? f : dlg(), vk, mods);
    }
    void type(const std::string& text) {
        for (char c : text) {
            const OsHandle f = os_get_focus();
            os_input_key(f, c >= 'a' && c <= 'z' ? c - 32 : c, 0, std::string(1, c));
        }
    }
    void click(OsHandle w, std::int32_t x = 4, std::int32_t y = 4, bool twice = false) {
        os_input_mouse(w, OS_MOUSE_PRESS, 1, x, y);
        os_input_mouse(w, OS_MOUSE_RELEASE, 1, x, y);
        if (!twice) return;
        os_input_mouse(w, OS_MOUSE_DOUBLE, 1, x, y);
        os_input_mouse(w, OS_MOUSE_RELEASE, 1, x, y);
    }
    // The next library message, type -1 when none comes.
    std::int32_t next(WindowMessage& m) {
        std::int32_t type = -1;
        for (int i = 0; i < 50 && type == -1; ++i) wmessagepeek(type, m);
        return type;
    }
    // Every library message until the queue is quiet, as "type:value1:value2".
    std::vector<std::string> messages() {
        std::vector<std::string> out;
        WindowMessage m;
        for (int i = 0; i < 50; ++i) {
            std::int32_t type = -1;
            wmessagepeek(type, m);
            if (type == -1) continue;
            out.push_back(std::to_string(type) + ":" + std::to_string(m.VALUE1) + ":" + std::to_string(m.VALUE2));
        }
        return out;
    }
    void settle() { messages(); }
    std::string text(OsHandle w) const { return os_get_window_text(w); }
};
