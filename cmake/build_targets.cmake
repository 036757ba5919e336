# The targets defined so far in every folder, parents before their
# subfolders, each folder's in the order they were made; for the passes
# that run once after the last add_subdirectory().
function(all_build_targets out)
  set(_all)
  set(_dirs ${CMAKE_SOURCE_DIR})
  while(_dirs)
    list(POP_FRONT _dirs _dir)
    get_property(_subdirs DIRECTORY ${_dir} PROPERTY SUBDIRECTORIES)
    list(APPEND _dirs ${_subdirs})
    get_property(_targets DIRECTORY ${_dir} PROPERTY BUILDSYSTEM_TARGETS)
    list(APPEND _all ${_targets})
  endwhile()
  set(${out} ${_all} PARENT_SCOPE)
endfunction()
