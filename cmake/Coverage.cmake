# TARN_COVERAGE: every target instrumented for gcov line coverage (use with a
# Debug build). tools/coverage.sh runs the tests and reports the coverage of
# matrix/, attitude/, calibration/ and api/.
option(TARN_COVERAGE "Instrument the build for gcov line coverage" OFF)

if(TARN_COVERAGE)
  add_compile_options(--coverage)
  add_link_options(--coverage)
endif()
