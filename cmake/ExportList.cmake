# A shared library exports exactly the functions of its public header.
# api/<name>.map (Linux) and api/<name>.def (Windows) list them; the build
# uses them so nothing else can leak out, and tests compare the built symbol
# tables against them.
#
# tarn_restrict_exports(<target> <name>)
function(tarn_restrict_exports target name)
  if(WIN32)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/api/${name}.def)
  elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_link_options(${target} PRIVATE
      "-Wl,--version-script=${PROJECT_SOURCE_DIR}/api/${name}.map"
      "-Wl,--exclude-libs,ALL")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
      ${PROJECT_SOURCE_DIR}/api/${name}.map)
  endif()
endfunction()
