# tarn_host_headers(<target> <folder> [<definition>...])
#   The imported target <target> of a header-only library of the build
#   machine (Debian's package, headers in /usr/include/<folder>) for a cross
#   build: its headers are seen through a directory of the build tree that
#   holds nothing but such folders (the host's /usr/include itself must not
#   reach the cross compiler). The definitions go to every user.
function(tarn_host_headers target folder)
  set(include ${CMAKE_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${include})
  file(CREATE_LINK /usr/include/${folder} ${include}/${folder} SYMBOLIC)
  if(NOT TARGET ${target})
    add_library(${target} INTERFACE IMPORTED)
    set_target_properties(${target} PROPERTIES
      INTERFACE_INCLUDE_DIRECTORIES ${include}
      INTERFACE_COMPILE_DEFINITIONS "${ARGN}")
  endif()
endfunction()
