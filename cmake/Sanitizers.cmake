# Sanitizer builds. Each option instruments every target of the build.
#  - TARN_SANITIZE_THREAD: ThreadSanitizer, for the tests of calibrators
#    used from several threads at once.
#  - TARN_SANITIZE: AddressSanitizer (leaks included) and
#    UndefinedBehaviorSanitizer, gcc or clang. Every report stops the program
#    (-fno-sanitize-recover=all), so a test that triggers one fails.
#  - TARN_BUILD_FUZZERS (clang only): the same sanitizers plus libFuzzer's
#    coverage instrumentation; tests/fuzz links the fuzz targets with the
#    libFuzzer driver.
option(TARN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TARN_BUILD_FUZZERS "Build the libFuzzer targets (clang)" OFF)
option(TARN_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)

if(TARN_SANITIZE_THREAD)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(TARN_SANITIZE OR TARN_BUILD_FUZZERS)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  # GCC's -Wmaybe-uninitialized misfires inside instrumented standard
  # headers (std::regex, std::function); the plain builds keep the warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
endif()

if(TARN_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TARN_BUILD_FUZZERS needs clang (libFuzzer)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
