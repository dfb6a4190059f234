# Installs the build tree into a fresh prefix, then builds the host project
# in host/ against the installed files and runs its tests.
#   cmake -DBUILD_DIR=<build tree> -DWORK_DIR=<scratch dir> -DLIBDIR=<lib dir
#         under the prefix> [-DTOOLCHAIN=<file> -DWINE_PREFIX=<dir>]
#         -P run_consumer_test.cmake
set(prefix ${WORK_DIR}/install)
file(REMOVE_RECURSE ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} COMMAND_ECHO STDOUT COMMAND_ERROR_IS_FATAL ANY)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

set(configure -S ${CMAKE_CURRENT_LIST_DIR}/host -B ${WORK_DIR}/build -G Ninja
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=${prefix})
if(TOOLCHAIN)
  # A cross build looks for packages under its sysroot only: name the
  # package directory itself.
  list(APPEND configure -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -DTARN_WINE_PREFIX=${WINE_PREFIX}
    -DTarnHandCalibrationSDK_DIR=${prefix}/${LIBDIR}/cmake/TarnHandCalibrationSDK)
endif()
run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${prefix}/${LIBDIR}/pkgconfig ${CMAKE_COMMAND} ${configure})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${CMAKE_CTEST_COMMAND} --test-dir ${WORK_DIR}/build --output-on-failure)
