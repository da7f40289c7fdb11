#pragma once
// A fixture for tests that open the root window and talk to it through the
// library's message fetch.
#include <gtest/gtest.h>

#include "lib/graphics/areas.h"
#include "lib/graphics/gstate.h"
#include "lib/window/fetch.h"
#include "lib/window/messages.h"
#include "lib/window/quinda_state.h"
#include "lib/window/rootwin.h"
#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

class WindowTest : public QuindaTest {
protected:
    // Root window with a client area of w x h, status bar, menu and tool bars as given.
    void open(std::int32_t w, std::int32_t h, std::int32_t menu = 0, std::array<std::int32_t, 4> bars = {},
              std::int32_t flags = 7 | 0x20) {
        WindowOpen(flags, 10, 10, w, h, menu, bars, 0, "Test");
        ASSERT_NE(wtab.wWindow[0], 0);
    }
    // Every message the fetch would take, until the queue is empty.
    std::int32_t peek(WindowMessage& m) {
        std::int32_t type = 0;
        wmessagepeek(type, m);
        return type;
    }
    // A plain child frame with a client window of w x h in a slot, inside the root's client area.
    void make_child(std::int32_t slot, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
        const auto s = static_cast<std::size_t>(slot);
        const OsHandle frame = os_create_window(0, "QUINCHILD", "Child", OS_WS_CHILD | OS_WS_VISIBLE, x, y, w, h,
                                                wtab.hClient[0], 0, 0);
        ASSERT_NE(frame, 0);
        wtab.wWindow[s] = frame;
        wtab.hClient[s] = os_create_window(0, "QUINCLIENT", "", OS_WS_CHILD | OS_WS_VISIBLE, 0, 0, w, h, frame, 0, 0xFFFF);
        ASSERT_NE(wtab.hClient[s], 0);
        quinda.open_flags[s] = 0;
    }
    // Empties the queue and the deferred table so a test starts from quiet.
    void settle() {
        WindowMessage m;
        for (int i = 0; i < 100 && peek(m) != -1; ++i) {
        }
    }
};
