# CLI11::CLI11 for cross builds: the host's header-only library (Debian's
# libcli11-dev).
include(${CMAKE_CURRENT_LIST_DIR}/../HostHeaders.cmake)
tarn_host_headers(CLI11::CLI11 CLI)
