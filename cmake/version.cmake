# The version is set once, in project(). This makes it a header that the
# core (the scan log's heading) and the resource scripts (the version block)
# include; the manifest takes the same numbers.

# Windows wants every part as a number: a part project() was not given is 0.
foreach(part IN ITEMS MAJOR MINOR PATCH)
  set(FOXBANE_VERSION_${part} "${PROJECT_VERSION_${part}}")
  if(FOXBANE_VERSION_${part} STREQUAL "")
    set(FOXBANE_VERSION_${part} 0)
  endif()
endforeach()

configure_file("${CMAKE_CURRENT_LIST_DIR}/foxbane_version.h.in"
               "${PROJECT_BINARY_DIR}/generated/foxbane_version.h" @ONLY)
add_library(foxbane_version INTERFACE)
target_include_directories(foxbane_version INTERFACE "${PROJECT_BINARY_DIR}/generated")
