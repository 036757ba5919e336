# Compiles every public header on its own, so headers stay self-contained.
# Each header gets a one-line source that includes it; backend headers are
# included too (they must not pull Qt in).
function(add_header_check)
  set(_sources)
  foreach(dir platform/rtl platform/win platform/backend platform/forms support grid ui app)
    file(GLOB_RECURSE _headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    foreach(h ${_headers})
      file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${h})
      string(MAKE_C_IDENTIFIER ${rel} id)
      set(src ${CMAKE_BINARY_DIR}/header_check/${id}.cpp)
      file(CONFIGURE OUTPUT ${src} CONTENT "#include \"${rel}\"\n")
      list(APPEND _sources ${src})
    endforeach()
  endforeach()
  add_library(header_check OBJECT ${_sources})
endfunction()
add_header_check()
