# nlohmann_json::nlohmann_json for cross builds: the host's header-only
# library, seen through a directory that holds nothing but its headers (the
# host's /usr/include itself must not reach the cross compiler).
set(_tarn_json_include ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${_tarn_json_include})
file(CREATE_LINK /usr/include/nlohmann ${_tarn_json_include}/nlohmann SYMBOLIC)
if(NOT TARGET nlohmann_json::nlohmann_json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${_tarn_json_include})
endif()
