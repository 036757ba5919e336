# The compiler cache, shared by every clone and work tree on the machine:
# paths under the source tree are hashed relative to it and the build
# folder's own path is left out, so a fresh clone in another folder (CI
# right after a developer's run) finds the objects already compiled. The
# size holds the plain, the sanitized and the fuzzing builds together.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(_launcher ${CMAKE_BINARY_DIR}/ccache-launcher)
  file(CONFIGURE OUTPUT ${_launcher} CONTENT [=[#!/bin/sh
CCACHE_BASEDIR='@CMAKE_SOURCE_DIR@'
CCACHE_NOHASHDIR=1
CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-25G}
export CCACHE_BASEDIR CCACHE_NOHASHDIR CCACHE_MAXSIZE
exec '@CCACHE_PROGRAM@' "$@"
]=] @ONLY)
  file(CHMOD ${_launcher} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${_launcher})
endif()
