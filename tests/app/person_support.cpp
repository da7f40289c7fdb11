#include "tests/app/person_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/mainprog.h"
#include "app/mainstate.h"
#include "lib/dialog/dialog.h"
#include "lib/window/exitprog.h"
#include "lib/window/startup.h"
#include "lib/window/quinda_state.h"
#include "platform/os_dialog.h"
#include "platform/os_window.h"

namespace {

std::vector<int>* exits_seen = nullptr;
void record_exit(std::string_view, int code) {
    if (exits_seen) exits_seen->push_back(code);
}

// How long a person waits for the program before giving up.
constexpr int PatienceMs = 30000;

std::string& current_test() {
    static std::string name;
    return name;
}

}  // namespace

std::string PersonTest::grab_dir() {
    const std::string d = std::string(QUINDA_BINARY_DIR) + "/person-grabs";
    std::filesystem::create_directories(d);
    return d;
}

void PersonTest::SetUp() {
    AppTest::SetUp();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    current_test() = std::string(info->test_suite_name()) + "." + info->name();
    for (const auto& f : std::filesystem::directory_iterator(std::string(QUINDA_SOURCE_DIR) + "/samples"))
        std::filesystem::copy_file(f.path(), f.path().filename());
    exits_seen = &exits;
    exit_program_hook = record_exit;
    os_user_begin();
}

void PersonTest::TearDown() {
    os_user_end();
    exit_program_hook = iosexitprogram;
    exits_seen = nullptr;
    AppTest::TearDown();
}

void PersonTest::run(std::vector<OsUserStep> steps) {
    os_user_session(std::move(steps), PatienceMs, [](const std::string& what) {
        const std::string png = grab_dir() + "/" + current_test() + "-stuck.png";
        os_user_grab_screen(png);
        std::fprintf(stderr, "%s: the program never became ready for: %s (screen: %s)\n", current_test().c_str(),
                     what.c_str(), png.c_str());
        std::fflush(stderr);
        std::_Exit(3);
    });
    // The end of the program is recorded, never the end of the test program.
    exit_program_hook = record_exit;
    ASSERT_EQ(main_startup(), 0);
    // The test program's own arguments are not the program's.
    mainstate.femname.assign(TextLength, ' ');
    interactive_start();
    main_loop();
    EXPECT_EQ(os_user_steps_left(), 0u);
    os_user_session_end();
}

void PersonTest::restart() {
    reset_all_state();
    exits.clear();
    exit_program_hook = record_exit;
    os_user_begin();
}

OsUserStep PersonTest::idle(std::string what, std::function<void()> act) {
    return {std::move(what), true, [act = std::move(act)] {
                act();
                return true;
            }};
}

OsUserStep PersonTest::answer(std::string says, std::string button) {
    std::string what = "answer " + button + " to \"" + says + "\"";
    return {std::move(what), false, [says = std::move(says), button = std::move(button)] {
                std::string text;
                if (!os_user_message_box_up(&text)) return false;
                EXPECT_NE(text.find(says), std::string::npos) << "the message box says: " << text;
                return os_user_answer_message_box(button);
            }};
}

OsUserStep PersonTest::answer_if_asked(std::string says, std::string button) {
    std::string what = "answer " + button + " if asked \"" + says + "\"";
    return {std::move(what), false, [says = std::move(says), button = std::move(button)] {
                std::string text;
                if (os_user_message_box_up(&text) && text.find(says) != std::string::npos)
                    return os_user_answer_message_box(button);
                return os_waiting_for_input();
            }};
}

OsUserStep PersonTest::menu(std::vector<std::string> path) {
    std::string what = "menu";
    for (const auto& p : path) what += " > " + p;
    return {what, true, [path = std::move(path), what] {
                const bool found = os_user_menu(frame(), path);
                EXPECT_TRUE(found) << what;
                return true;
            }};
}

OsUserStep PersonTest::toolbar(int index) {
    return {"tool-bar button " + std::to_string(index), true, [index] {
                const OsWindow bar = wtab.hToolbar[0][0] ? wtab.hToolbar[0][0] : 0;
                OsWindow any = bar;
                for (OsWindow t : wtab.hToolbar[0])
                    if (t) any = t;
                EXPECT_TRUE(os_user_toolbar(any, index));
                return true;
            }};
}

OsUserStep PersonTest::file(std::string name, std::string button) {
    std::string what = "file dialog: " + name;
    return {std::move(what), false, [name = std::move(name), button = std::move(button)] {
                std::string accept;
                if (!os_user_file_dialog_up(&accept)) return false;
                if (!button.empty()) {
                    EXPECT_EQ(accept, button);
                }
                return os_user_answer_file_dialog(name);
            }};
}

OsUserStep PersonTest::key(std::int32_t vk, std::uint32_t mods) {
    return idle("key " + std::to_string(vk), [vk, mods] { os_user_key(vk, mods); });
}

OsUserStep PersonTest::click_map(std::int32_t x, std::int32_t y, std::int32_t button) {
    return idle("click in the map at " + std::to_string(x) + "," + std::to_string(y),
                [x, y, button] { os_user_click(map(), x, y, button); });
}

OsUserStep PersonTest::click_field(int dialog, int field) {
    return {"click field " + std::to_string(field) + " of dialog " + std::to_string(dialog), true, [dialog, field] {
                const OsWindow f = dialog_field(dialog, field);
                if (!f || !os_is_window_visible(f)) return false;
                os_user_click_window(f);
                return true;
            }};
}

OsUserStep PersonTest::type_field(int dialog, int field, std::string text) {
    return {"type " + text + " into field " + std::to_string(field) + " of dialog " + std::to_string(dialog), true,
            [dialog, field, text = std::move(text)] {
                const OsWindow f = dialog_field(dialog, field);
                if (!f || !os_is_window_visible(f)) return false;
                os_user_click_window(f);
                os_user_key(OS_VK_HOME);
                os_user_key(OS_VK_END, OS_IN_SHIFT);
                os_user_key(OS_VK_DELETE);
                os_user_type(text);
                return true;
            }};
}

namespace {

// A modal toolkit dialog other than a message box or a file dialog is up.
bool other_toolkit_dialog_up() {
    return os_user_modal_up() && !os_user_message_box_up() && !os_user_file_dialog_up();
}

}  // namespace

OsUserStep PersonTest::toolkit_dialog(std::string title, std::string button) {
    return {"toolkit dialog " + title, false, [title, button] {
                std::string t;
                if (!other_toolkit_dialog_up() || !os_user_modal_up(&t)) return false;
                EXPECT_NE(t.find(title), std::string::npos) << t;
                return os_user_press_button(button);
            }};
}

OsUserStep PersonTest::choose(std::string label, std::string item) {
    return {"choose " + item + " for " + label, false, [label, item] {
                if (!other_toolkit_dialog_up()) return false;
                return os_user_choose(label, item) && os_user_choice(label).rfind(item, 0) == 0;
            }};
}

OsUserStep PersonTest::tick(std::string button) {
    return {"tick " + button, false, [button] {
                if (!other_toolkit_dialog_up()) return false;
                return os_user_press_button(button) && os_user_checked(button);
            }};
}

OsUserStep PersonTest::grab(std::string name) {
    return idle("grab " + name, [name] { os_user_grab_screen(grab_dir() + "/" + current_test() + "-" + name + ".png"); });
}

OsUserStep PersonTest::close_main() {
    return idle("close box of the main window", [] { os_user_close(frame()); });
}

OsWindow PersonTest::frame() { return wtab.wWindow[0]; }
OsWindow PersonTest::map() { return wtab.hClient[0]; }

OsWindow PersonTest::dialog_field(int dialog, int field) {
    const std::int32_t slot = yydialogfind(dialog);
    if (slot <= 0) return 0;
    const OsWindow d = dlgtab.hDialogList[static_cast<std::size_t>(slot)];
    return d ? os_get_dlg_item(d, field) : 0;
}

bool PersonTest::dialog_up(int dialog) {
    const std::int32_t slot = yydialogfind(dialog);
    if (slot <= 0) return false;
    const OsWindow d = dlgtab.hDialogList[static_cast<std::size_t>(slot)];
    return d && os_is_window_visible(d);
}
