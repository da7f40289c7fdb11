# The dialog tests carry resources of their own (ids 700..799).
quinda_add_resources(test_dialog ${CMAKE_CURRENT_LIST_DIR}/resources/dialog.qrs)
