# nlohmann_json::nlohmann_json for cross builds: the host's header-only
# library (Debian's nlohmann-json3-dev).
include(${CMAKE_CURRENT_LIST_DIR}/../HostHeaders.cmake)
tarn_host_headers(nlohmann_json::nlohmann_json nlohmann)
