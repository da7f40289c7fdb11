# The grid tests carry dialogs and row templates of their own (ids 8800..8899).
quinda_add_resources(test_grid ${CMAKE_CURRENT_LIST_DIR}/resources/grid.qrs)
