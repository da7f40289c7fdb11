# The platform tests carry a resource script of their own (ids 900..999,
# which the program's scripts leave free) and run the resource compiler on
# faulty scripts.
quinda_add_resources(test_platform ${CMAKE_CURRENT_LIST_DIR}/resources/test.qrs)
target_compile_definitions(test_platform PRIVATE QUINDA_RC="$<TARGET_FILE:quinda_rc>")
add_dependencies(test_platform quinda_rc)
