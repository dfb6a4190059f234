# Included by the cross toolchain files: the header-only libraries of the
# build machine (nlohmann-json for the tests, CLI11 and fmt for tarn-replay)
# serve cross builds too, through the packages beside this file.
foreach(_tarn_package nlohmann_json CLI11 fmt)
  set(${_tarn_package}_DIR ${CMAKE_CURRENT_LIST_DIR}/${_tarn_package} CACHE PATH "")
endforeach()
