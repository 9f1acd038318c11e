# The project's version reaches the code through one generated header,
# so both programs report the same version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${CMAKE_BINARY_DIR}/generated/Version.h @ONLY)
add_library(vellmar-version INTERFACE)
target_include_directories(vellmar-version INTERFACE ${CMAKE_BINARY_DIR}/generated)
