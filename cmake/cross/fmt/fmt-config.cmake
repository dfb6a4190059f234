# fmt::fmt-header-only for cross builds: the host's headers (Debian's
# libfmt-dev) in fmt's header-only mode, as Debian's own package defines it.
include(${CMAKE_CURRENT_LIST_DIR}/../HostHeaders.cmake)
tarn_host_headers(fmt::fmt-header-only fmt FMT_HEADER_ONLY=1)
