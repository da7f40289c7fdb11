# The grid target works on the grid tests' dialog of every cell type.
quinda_add_resources(test_fuzz ${CMAKE_CURRENT_LIST_DIR}/../grid/resources/gridwin.qrs)
