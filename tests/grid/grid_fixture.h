#pragma once
// A fixture for grid tests: the root window open and a dialog of the test
// resources (ids 8800..8899) loaded and shown, its grid fields set up.
#include <gtest/gtest.h>

#include <string>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fieldrec.h"
#include "lib/grid/grid.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/rootwin.h"
#include "platform/os_dialog.h"
#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

class GridTest : public QuindaTest {
protected:
    void SetUp() override;
    // Lets go of the clipboard and the menu responder a test took.
    void TearDown() override;

public:
    static constexpr std::int32_t Grid = 8850;
    // Loads and shows a dialog modeless; the error it reports, 0 for none.
    int load(std::int32_t id);
    OsHandle dlg() const { return yycurrentdialog(); }
    OsHandle grid(std::int32_t id = Grid) const { return os_get_dlg_item(dlg(), id); }
    GridData& data(std::int32_t id = Grid) const { return *yygriddata(grid(id)); }
    // The last error, cleared.
    static int err() { return infoerror(1); }
    // A cell's display text through the public routine, trailing blanks cut.
    std::string cell(std::int32_t col, std::int32_t row, std::int32_t id = Grid) const;
    // Queued input through the dialog keyboard, as a modeless dialog's fetch
    // takes it; keys and characters typed into the focus window.
    void run();
    void key(std::int32_t vk, std::uint32_t mods = 0);
    void type(const std::string& s);
    // The user puts the focus into a cell of the grid.
    void enter(std::int32_t col, std::int32_t row);
};
