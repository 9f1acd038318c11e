# The hardening Debian builds its own programs with: fortified libc calls
# where the optimiser runs, stack protection, a read-only global offset table.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
  add_compile_options(-fstack-protector-strong
                      "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
