# The hardcopy tests carry a dialog resource of their own (id 860).
quinda_add_resources(test_hardcopy ${CMAKE_CURRENT_LIST_DIR}/resources/hardcopy_test.qrs)
