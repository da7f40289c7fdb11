# The program's tests also run the program itself (the batch conversion and
# its exit codes), so they know where it is built and build it first.
add_dependencies(test_app zeltramo)
target_compile_definitions(test_app PRIVATE ZELTRAMO_PROGRAM="$<TARGET_FILE:zeltramo>")

# Dialogs above the map under a real X server, with a window manager and
# without, driven by real X input (the default build only: it is the same
# program and the same windows in the others).
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  add_test(NAME DialogsStayAboveTheMap
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/app/dialogs_above_map.sh $<TARGET_FILE:zeltramo>
                   ${PROJECT_SOURCE_DIR}/samples ${PROJECT_BINARY_DIR}/person-grabs)
  set_tests_properties(DialogsStayAboveTheMap PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 LABELS app)
endif()
