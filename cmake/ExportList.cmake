# The shared library exports exactly the functions of the public header.
# api/exports.map (Linux) and api/exports.def (Windows) list them; the build
# uses them so nothing else can leak out, and tests compare the built symbol
# tables against them.
function(tarn_restrict_exports target)
  if(WIN32)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/api/exports.def)
  elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_link_options(${target} PRIVATE
      "-Wl,--version-script=${PROJECT_SOURCE_DIR}/api/exports.map"
      "-Wl,--exclude-libs,ALL")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
      ${PROJECT_SOURCE_DIR}/api/exports.map)
  endif()
endfunction()
