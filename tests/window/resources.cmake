# The window tests carry resources of their own (ids 600..699).
quinda_add_resources(test_window ${CMAKE_CURRENT_LIST_DIR}/resources/window.qrs)
