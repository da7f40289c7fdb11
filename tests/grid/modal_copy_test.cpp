// A grid in the modal copy of its dialog shares the first instance's cells;
// the storage goes with the last grid that uses it.
#include "tests/grid/grid_fixture.h"

#include "platform/os_msgbox.h"

using ModalCopyTest = GridTest;

TEST_F(ModalCopyTest, TheCopySharesCellsAndLabels) {
    WDialogLoad(8802);
    ASSERT_EQ(err(), 0);
    WGridPutCellDouble(Grid, 5, 1, 2.5, "(F5.2)");
    bool shared = false;
    std::string label;
    os_dialog_set_script([&](OsWindow copy) {
        GridData* c = yygriddata(os_get_dlg_item(copy, Grid));
        if (!c) return;
        shared = c->pColumns == data().pColumns && c->pRowLabels == data().pRowLabels;
        if (!c->phRowHeaders.empty()) {
            OsHeaderItem it;
            it.mask = HDI_TEXT;
            os_send_message(c->phRowHeaders[0], HDM_GETITEM, 0, reinterpret_cast<std::intptr_t>(&it));
            label = it.text;
        }
        // A value entered in the copy lands in the shared cells.
        c->column(4).doubles[1] = 9.0;
        c->column(4).pStates[1] = CellDefined | CellNonBlank;
        os_input_key(os_get_focus() ? os_get_focus() : copy, OS_VK_ESCAPE, 0);
    });
    WDialogShow(-1, -1, 0, 1);
    os_dialog_set_script({});
    EXPECT_TRUE(shared);
    EXPECT_EQ(label, "Depth");
    EXPECT_EQ(dlgtab.hDialogList[0], 0);   // the copy is gone
    double d = 0.0;
    WGridGetCellDouble(Grid, 5, 1, d);
    EXPECT_EQ(d, 2.5);
    WGridGetCellDouble(Grid, 5, 2, d);
    EXPECT_EQ(d, 9.0);
    EXPECT_EQ(err(), 0);
}

TEST_F(ModalCopyTest, StorageLastsUntilTheLastGridUsingItGoes) {
    WDialogLoad(8801, 1);
    WDialogLoad(8801, 2);
    ASSERT_EQ(err(), 0);
    WDialogSelect(1);
    WGridPutCellInteger(Grid, 3, 4, 77);
    const OsHandle first = grid();
    WDialogSelect(2);
    const OsHandle second = grid();
    yygridcopy(second, first);
    EXPECT_EQ(yygriddata(second)->pColumns, yygriddata(first)->pColumns);
    // The first grid goes first: the second still reads and writes the cells.
    WDialogSelect(1);
    WDialogUnload();
    WDialogSelect(2);
    std::int32_t v = 0;
    WGridGetCellInteger(Grid, 3, 4, v);
    EXPECT_EQ(v, 77);
    WGridPutCellInteger(Grid, 3, 5, 78);
    WGridGetCellInteger(Grid, 3, 5, v);
    EXPECT_EQ(v, 78);
    EXPECT_EQ(err(), 0);
    EXPECT_EQ(yygriddata(second)->pColumns.use_count(), 1);
}
