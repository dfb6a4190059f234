# The version of the host's nlohmann-json package.
include(/usr/share/cmake/nlohmann_json/nlohmann_jsonConfigVersion.cmake)
