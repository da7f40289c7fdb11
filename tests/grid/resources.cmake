# The grid tests carry dialogs and row templates of their own (ids 8800..8949)
# and the program resources of grid windows.
quinda_add_resources(test_grid ${CMAKE_CURRENT_LIST_DIR}/resources/grid.qrs ${CMAKE_CURRENT_LIST_DIR}/resources/gridwin.qrs)
