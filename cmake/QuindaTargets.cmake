# One static library per folder under lib/. Sources are globbed so that new
# files need no edit of a shared list.
function(quinda_library name)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/lib/${name}/*.cpp)
  add_library(quinda_${name} STATIC ${srcs})
  target_include_directories(quinda_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(quinda_${name} PUBLIC quinda_platform)
endfunction()

# Every library, in link order (upper layers first).
set(QUINDA_LIBS quinda_grid quinda_raster quinda_hardcopy quinda_pgraph
    quinda_dialog quinda_graphics quinda_window)

function(quinda_link_all target)
  # The libraries call each other in both directions within the library
  # layer (the error reporter and the graphics core are used everywhere),
  # so link them as one group.
  target_link_libraries(${target} PRIVATE
    -Wl,--start-group ${QUINDA_LIBS} -Wl,--end-group quinda_resources quinda_platform)
endfunction()
