# -DSANITIZE=ON builds every target with AddressSanitizer and
# UndefinedBehaviorSanitizer. Use a build directory of its own (build-asan):
# the objects do not mix with an uninstrumented tree.
#
# Every executable (tests, tools run at build time, the probe the display
# test starts, the converter stand-in) gets the same runtime defaults
# compiled in, so a sanitized program behaves the same whether ctest,
# test.sh, a build step or a developer's shell starts it. Variables such as
# ASAN_OPTIONS still override them.
include(${CMAKE_CURRENT_LIST_DIR}/build_targets.cmake)
option(SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(SANITIZE)
  if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE Sanitize)
  endif()
  # Optimised enough to keep the suite fast, not so much that reports lose
  # their lines; assertions stay on. Line tables are all a sanitizer report
  # needs, and they compile and link far faster than full debug information.
  set(CMAKE_CXX_FLAGS_SANITIZE "-O1 -g1" CACHE STRING "Flags of the Sanitize build type")
  set(CMAKE_EXE_LINKER_FLAGS_SANITIZE "" CACHE STRING "Linker flags of the Sanitize build type")
  set(CMAKE_SHARED_LINKER_FLAGS_SANITIZE "" CACHE STRING "Linker flags of the Sanitize build type")
  set(CMAKE_STATIC_LINKER_FLAGS_SANITIZE "" CACHE STRING "Linker flags of the Sanitize build type")
  mark_as_advanced(CMAKE_CXX_FLAGS_SANITIZE CMAKE_EXE_LINKER_FLAGS_SANITIZE
    CMAKE_SHARED_LINKER_FLAGS_SANITIZE CMAKE_STATIC_LINKER_FLAGS_SANITIZE)

  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)

  # The runtime defaults and the leak suppressions, compiled from the
  # committed file so that no path to the source tree is needed at run time.
  file(READ ${CMAKE_CURRENT_LIST_DIR}/lsan.supp _lsan_supp)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/lsan.supp)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/sanitizer_defaults.cpp.in
    ${CMAKE_BINARY_DIR}/sanitizer_defaults.cpp @ONLY)
endif()

# Links the defaults into every executable defined so far, in every folder.
# Called once, after the last add_subdirectory().
function(sanitize_executables)
  if(NOT SANITIZE)
    return()
  endif()
  add_library(sanitizer_defaults OBJECT ${CMAKE_BINARY_DIR}/sanitizer_defaults.cpp)
  all_build_targets(_targets)
  foreach(_t ${_targets})
    get_target_property(_type ${_t} TYPE)
    if(_type STREQUAL "EXECUTABLE")
      target_link_libraries(${_t} PRIVATE sanitizer_defaults)
    endif()
  endforeach()
endfunction()
