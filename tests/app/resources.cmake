# The program's tests also run the program itself (the batch conversion and
# its exit codes), so they know where it is built and build it first.
add_dependencies(test_app zeltramo)
target_compile_definitions(test_app PRIVATE ZELTRAMO_PROGRAM="$<TARGET_FILE:zeltramo>")
