#pragma once
// Grid window tests: the grid dialog 8901 loaded, a child window open and
// current, the program's accelerator table 32103 served (or not), and the
// user's answers to message boxes, file dialogs and the program's dialogs
// scripted.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "lib/grid/grid_window.h"
#include "lib/window/childwin.h"
#include "lib/window/fetch.h"
#include "lib/window/winops.h"
#include "platform/os_commondlg.h"
#include "platform/os_menu.h"
#include "platform/os_msgbox.h"
#include "platform/os_resource.h"
#include "tests/grid/grid_fixture.h"

class GridWindowTest : public GridTest {
public:
    static constexpr std::int32_t Field = 8950;
    std::int32_t child = 0;
    TempDir dir;
    // Boxes shown (text, caption, style) and the answers to give, OK / Cancel when none are left.
    std::vector<OsMessageBoxRequest> boxes;
    std::deque<int> box_answers;
    // File dialogs shown and the files to choose ("" cancels), cancelled when none are left.
    std::vector<OsCommonDialogRequest> file_dialogs;
    std::deque<std::string> file_answers;

    void SetUp() override {
        GridTest::SetUp();
        accelerators(true);
        os_message_box_set_responder([this](const OsMessageBoxRequest& r) {
            boxes.push_back(r);
            if (!box_answers.empty()) {
                const int a = box_answers.front();
                box_answers.pop_front();
                return a;
            }
            return (r.style & OS_MB_TYPEMASK) == OS_MB_OK ? OS_IDOK : OS_IDCANCEL;
        });
        os_common_dialog_set_responder([this](const OsCommonDialogRequest& r) {
            file_dialogs.push_back(r);
            OsCommonDialogAnswer a;
            if (!file_answers.empty() && !file_answers.front().empty()) {
                a.ok = true;
                a.files = {file_answers.front()};
                a.filter_index = r.filter_index;
            }
            if (!file_answers.empty()) file_answers.pop_front();
            return a;
        });
    }
    void TearDown() override {
        os_message_box_set_responder({});
        os_common_dialog_set_responder({});
        os_dialog_set_script({});
        os_set_wait_script({});
        accelerators(false);
    }

    // Whether the program has accelerator table 32103: served from table 8921.
    static void accelerators(bool on) {
        static OsResourceEntry entry{};
        static OsResourceBundle bundle{"grid window keys", &entry, 0};
        static bool registered = false;
        if (!registered) {
            std::string_view bytes;
            os_resource_find(9, 8921, bytes);
            entry = {9, nullptr, GridAccelResource, nullptr, reinterpret_cast<const unsigned char*>(bytes.data()),
                     bytes.size()};
            os_resource_register(bundle);
            registered = true;
        }
        bundle.count = on ? 1 : 0;
    }

    // The grid dialog, then a child window (current) with a status bar.
    void open(std::int32_t dialog = 8901, std::int32_t flags = 7 | 0x20) {
        ASSERT_EQ(load(dialog), 0);
        WindowOpenChild(child, flags, 30, 30, 520, 320, 0, {}, 0, "Wells");
        ASSERT_GT(child, 0);
    }
    std::int32_t convert(std::int32_t flags = 0, std::int32_t mode = 2, std::int32_t menu = 0,
                         std::string_view name = {}, std::int32_t field = Field) {
        std::int32_t status = 0;
        yygridedit(status, field, mode, menu, flags, -1, name, "");
        // The second step of a window that runs without a loop of its own.
        if (mode != 1 && yygridwindata(frame())) yygridedit2();
        return status;
    }
    OsHandle frame() const { return wtab.wWindow[static_cast<std::size_t>(child)]; }
    GridWindowData& rec() const { return *yygridwindata(frame()); }
    GridData& gd() const { return *yygriddata(rec().hGrid); }

    // Texts of a pop-up's items ("-" a separator) and ids.
    static std::vector<std::string> items(OsMenu m) {
        std::vector<std::string> out;
        for (int i = 0; i < os_menu_item_count(m); ++i) {
            OsMenuItemInfo info;
            os_get_menu_item(m, i, info);
            out.push_back(info.kind == OS_MENU_SEPARATOR ? "-" : info.text);
        }
        return out;
    }
    static std::vector<std::int32_t> ids(OsMenu m) {
        std::vector<std::int32_t> out;
        for (int i = 0; i < os_menu_item_count(m); ++i) out.push_back(os_get_menu_item_id(m, i));
        return out;
    }
    std::vector<std::int32_t> toolbar() const {
        std::vector<std::int32_t> out;
        const auto n = os_send_message(rec().hGridToolbar, OSM_TB_BUTTONCOUNT, 0, 0);
        for (std::intptr_t i = 0; i < n; ++i) {
            OsTbButton b;
            os_send_message(rec().hGridToolbar, OSM_TB_GETBUTTON, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&b));
            out.push_back((b.style & OS_TBSTYLE_SEP) ? 0 : b.command);
        }
        return out;
    }
    std::string status_text(std::int32_t part) const {
        char buf[300] = {};
        os_send_message(rec().hStatusBar, OSM_SB_GETTEXT, static_cast<std::uintptr_t>(part), reinterpret_cast<std::intptr_t>(buf));
        return buf;
    }
    std::int32_t status_parts() const {
        return static_cast<std::int32_t>(os_send_message(rec().hStatusBar, OSM_SB_GETPARTS, 0, 0));
    }
    // A command of the window, as a menu choice or tool-bar click sends it.
    void command(std::int32_t id) { os_send_message(frame(), OSM_COMMAND, static_cast<std::uintptr_t>(id), 0); }
    // The last library message the window produced (type 0 when none), cleared.
    std::int32_t take_message(WindowMessage& m) {
        const std::int32_t type = wmsg.wMessageType;
        m.WIN = wmsg.wMessageWin;
        m.VALUE1 = wmsg.wMessageValue1;
        m.VALUE2 = wmsg.wMessageValue2;
        m.VALUE3 = wmsg.wMessageValue3;
        m.VALUE4 = wmsg.wMessageValue4;
        m.X = wmsg.wMessageX;
        m.Y = wmsg.wMessageY;
        wmsg.wMessageType = 0;
        return type;
    }
    void put(std::int32_t col, std::int32_t row, const std::string& t) {
        std::int32_t s = 0;
        windowselect(child);
        yygridputcellstring(s, col - 1, row - 1, 0.0, t, "", static_cast<std::int32_t>(t.size()) + 1, 1);
    }
    std::string text_of(std::int32_t col, std::int32_t row) {
        windowselect(child);
        std::int32_t s = 0;
        std::string t;
        yygridgetcellstring(s, col - 1, row - 1, t, 1000);
        return t;
    }
};
