# Compiles every header on its own, so headers stay self-contained. Each
# header gets a one-line source that includes it. Headers other code may
# include are compiled without Qt, which keeps Qt out of them; the backend's
# private headers (*_internal.h) may use Qt and are compiled with it.
function(add_header_check)
  set(_plain)
  set(_qt)
  foreach(dir platform/rtl platform/win platform/backend platform/forms platform/testing support grid ui app)
    file(GLOB_RECURSE _headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    foreach(h ${_headers})
      file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${h})
      string(MAKE_C_IDENTIFIER ${rel} id)
      set(src ${CMAKE_BINARY_DIR}/header_check/${id}.cpp)
      file(CONFIGURE OUTPUT ${src} CONTENT "#include \"${rel}\"\n")
      if(rel MATCHES "^platform/backend/.*_internal\\.h$")
        list(APPEND _qt ${src})
      else()
        list(APPEND _plain ${src})
      endif()
    endforeach()
  endforeach()
  add_library(header_check OBJECT ${_plain})
  set(_checks header_check)
  if(_qt)
    find_package(Qt6 REQUIRED COMPONENTS Gui)
    add_library(header_check_qt OBJECT ${_qt})
    target_link_libraries(header_check_qt PRIVATE Qt6::Gui)
    list(APPEND _checks header_check_qt)
  endif()
  # The check is about compiling, not about code: no sanitizers, no
  # optimisation and no debug information, which makes it a fraction of
  # the cost of a real source.
  foreach(_t ${_checks})
    set_property(TARGET ${_t} PROPERTY COMPILE_OPTIONS -Wall -Wextra -O0 -g0)
  endforeach()
endfunction()
add_header_check()
