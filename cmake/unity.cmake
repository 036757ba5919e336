# Unity builds: most of the compile time here goes to parsing the same
# headers and generating the same inline code (the platform's API, the
# standard library, GoogleTest) in every source. Each library and test
# executable is compiled as batches of its sources, each batch one source
# that includes a few of them. CMake's own unity build writes absolute paths
# into its batch files, which would keep the compiler cache from sharing
# objects between clones; these batches name sources relative to the source
# tree, which is on the include path.
#
# CI builds this way (-DUNITY=ON, see .ci/run); the everyday build compiles
# every source on its own, so that touching one file recompiles one file. A
# source that cannot share a batch (it defines macros for what follows, or
# needs flags of its own) gets the source property NO_UNITY.
include(${CMAKE_CURRENT_LIST_DIR}/build_targets.cmake)
option(UNITY "Compile libraries and tests in batches of sources" OFF)
set(UNITY_BATCH_SIZE 8 CACHE STRING "Sources per unity batch")

function(_unity_target target)
  get_target_property(_srcs ${target} SOURCES)
  get_target_property(_dir ${target} SOURCE_DIR)
  set(_batched)
  foreach(_s ${_srcs})
    if(NOT _s MATCHES "\\.cpp$")
      continue()
    endif()
    if(NOT IS_ABSOLUTE ${_s})
      set(_s ${_dir}/${_s})
    endif()
    cmake_path(NORMAL_PATH _s)
    # Generated sources live in the build tree; leave them alone.
    cmake_path(IS_PREFIX CMAKE_SOURCE_DIR ${_s} NORMALIZE _inside)
    if(NOT _inside)
      continue()
    endif()
    get_source_file_property(_skip ${_s} TARGET_DIRECTORY ${target} NO_UNITY)
    if(_skip)
      continue()
    endif()
    list(APPEND _batched ${_s})
  endforeach()
  list(LENGTH _batched _n)
  if(_n LESS 2)
    return()
  endif()
  list(SORT _batched)
  set(_index 0)
  set(_count 0)
  set(_content "")
  set(_batches)
  foreach(_s ${_batched})
    file(RELATIVE_PATH _rel ${CMAKE_SOURCE_DIR} ${_s})
    string(APPEND _content "#include \"${_rel}\"\n")
    math(EXPR _count "${_count} + 1")
    if(_count EQUAL UNITY_BATCH_SIZE)
      set(_file ${CMAKE_BINARY_DIR}/unity/${target}_${_index}.cpp)
      file(CONFIGURE OUTPUT ${_file} CONTENT "${_content}")
      list(APPEND _batches ${_file})
      math(EXPR _index "${_index} + 1")
      set(_count 0)
      set(_content "")
    endif()
  endforeach()
  if(_count GREATER 0)
    set(_file ${CMAKE_BINARY_DIR}/unity/${target}_${_index}.cpp)
    file(CONFIGURE OUTPUT ${_file} CONTENT "${_content}")
    list(APPEND _batches ${_file})
  endif()
  set_source_files_properties(${_batched} TARGET_DIRECTORY ${target} PROPERTIES HEADER_FILE_ONLY ON)
  target_sources(${target} PRIVATE ${_batches})
endfunction()

# Batches every library of the code and every test executable. Called once,
# after the last add_subdirectory().
function(apply_unity)
  if(NOT UNITY)
    return()
  endif()
  all_build_targets(_targets)
  foreach(_t ${_targets})
    if(_t MATCHES "^(platform_.*|support|grid|ui|app_lib|test_.*)$")
      get_target_property(_type ${_t} TYPE)
      if(_type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
        _unity_target(${_t})
      endif()
    endif()
  endforeach()
endfunction()
