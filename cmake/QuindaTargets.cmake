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

# Compiles resource scripts into one resource bundle of a target: the
# generated source registers the bundle before main runs, so the target's
# program finds the resources with the platform loader. Give it the target
# that is linked last (an executable, or an OBJECT library that executables
# link), as a static library would let the linker drop the unreferenced
# bundle. Script paths are relative to the calling CMakeLists.
function(quinda_add_resources target)
  set(scripts)
  foreach(script ${ARGN})
    get_filename_component(abs ${script} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND scripts ${abs})
  endforeach()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND quinda_rc --bundle ${target} --output ${out} --depfile ${out}.d ${scripts}
    DEPENDS quinda_rc ${scripts}
    DEPFILE ${out}.d
    COMMENT "Compiling the resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
