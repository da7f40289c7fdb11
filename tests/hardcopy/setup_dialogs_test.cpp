// The library's hardcopy set-up dialog resources: every dialog loads from
// the program's resources with the fields its routine reads and writes, and
// shows (grabbed to a picture to look at).
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/dialog/dialog_fixture.h"

namespace {

class SetupDialogs : public DialogTest {};

TEST_F(SetupDialogs, ResourcesHoldTheFieldsTheRoutinesUse) {
    const std::vector<std::int32_t> page = {1, 2, 1001, 1002};
    struct Case {
        std::int32_t id;
        std::vector<std::int32_t> fields;
    };
    const std::vector<Case> cases = {
        {32098, {1, 2, 1201, 1202, 1203, 3002, 1206, 1001, 1002, 1003, 1004, 1208, 1209, 1207}},
        {32001, {1, 2, 1006, 1009}},
        {32002, {1, 2, 1006, 1007, 1008, 1009, 1010, 1011, 1015, 1016}},
        {32012, {1, 2, 1008, 1009}},
        {32021, {1, 2, 1013, 1019, 1024}},
        {32022, {1, 2, 1013, 1019, 1024}},
        {32023, {1, 2, 1013, 1019}},
        {32024, {1, 2, 1013, 1019, 1024}},
        {32025, {1, 2, 1013, 1019, 1024}},
        {32003, {1, 2, 1201, 1202, 1001, 1002}},
        {32006, {1, 2, 1201, 1202, 1001, 1002, 1023, 1026}},
        {32008, {1, 2, 1201, 1202, 1001, 1002, 2001, 2002, 1023}},
        {32009, {1, 2, 1201, 1202, 1001, 1002, 2001, 2002, 1028}},
        {32011, {1, 2, 1201, 1202, 1001, 1002, 2001, 2002, 1014, 4001, 1027, 1029}},
    };
    const char* keep = std::getenv("QUINDA_WRITE_PICTURES");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_EQ(load_show(c.id), 0);
        for (std::int32_t f : c.fields) EXPECT_NE(item(f), 0) << f;
        // No field of an option the dialog does not offer: option 14 is the
        // metafile dialog's file button alone.
        if (c.id != 32011) {
            EXPECT_EQ(item(1014), 0);
        }
        const std::string png = keep && *keep ? std::string(keep) + "/setup_" + std::to_string(c.id) + ".png"
                                              : (std::filesystem::temp_directory_path() / "setup_dialog.png").string();
        EXPECT_TRUE(os_grab_window_png(dlg(), png));
        EXPECT_GT(std::filesystem::file_size(png), 1000u);
        WDialogUnload();
    }
}

}  // namespace
