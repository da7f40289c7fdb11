# The graphics tests carry resources of their own (ids 700..799).
quinda_add_resources(test_graphics ${CMAKE_CURRENT_LIST_DIR}/resources/graphics.qrs)
