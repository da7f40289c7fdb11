#pragma once
// The program driven as a person drives it: started as from the command
// line without an argument, in a copy of the samples, with every action
// given as real input to its windows (platform/testinput/os_user.h) and
// nothing else: no posted library messages, no command called directly.
// A session that waits too long for a step grabs the screen, names the
// step and ends the test program.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/testinput/os_user.h"
#include "tests/app/app_test.h"

class PersonTest : public AppTest {
public:
    // The screen grabs are kept here (under the build tree).
    static std::string grab_dir();

protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program and runs its loop until it ends, the steps taken
    // in turn as it waits.
    void run(std::vector<OsUserStep> steps);
    // Everything back to a fresh process, for a second run of the program.
    void restart();

    // Steps.
    static OsUserStep idle(std::string what, std::function<void()> act);
    static OsUserStep check(std::string what, std::function<void()> assertions) { return idle(std::move(what), std::move(assertions)); }
    // Answers the message box with the button; its text must contain `says`.
    static OsUserStep answer(std::string says, std::string button);
    // The same when such a box comes up; nothing when the program waits for
    // input without one.
    static OsUserStep answer_if_asked(std::string says, std::string button);
    // Chooses a menu item of the main window's menu bar by its path of texts.
    static OsUserStep menu(std::vector<std::string> path);
    // Clicks the index-th button of the main window's tool bar.
    static OsUserStep toolbar(int index);
    // Types the name into the file dialog that is up and accepts it; the
    // dialog's accept button must read `button` when it is not empty.
    static OsUserStep file(std::string name, std::string button = {});
    static OsUserStep key(std::int32_t vk, std::uint32_t mods = 0);
    // A click in the map at client pixels.
    static OsUserStep click_map(std::int32_t x, std::int32_t y, std::int32_t button = 1);
    // A field of the dialog that is up (by dialog id and field id): a click
    // on it, then typing that replaces its text.
    static OsUserStep click_field(int dialog, int field);
    static OsUserStep type_field(int dialog, int field, std::string text);
    // Waits for a modal dialog of the toolkit whose title holds `title`,
    // then presses its button.
    static OsUserStep toolkit_dialog(std::string title, std::string button);
    // Chooses the item (by the start of its text) of the list box labelled
    // `label` in the modal toolkit dialog that is up.
    static OsUserStep choose(std::string label, std::string item);
    // Clicks the radio button or check box with this text in the modal
    // toolkit dialog that is up, until it is checked.
    static OsUserStep tick(std::string button);
    static OsUserStep grab(std::string name);
    // The main window's close box.
    static OsUserStep close_main();

    // The program's windows.
    static OsWindow frame();
    static OsWindow map();
    static OsWindow dialog_field(int dialog, int field);
    static bool dialog_up(int dialog);

    std::vector<int> exits;
    TempDir dir{true};
};
