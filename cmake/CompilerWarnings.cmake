# Warnings by compiler: GCC and Clang take -Wall -Wextra, MSVC its /W4 with
# the sources read as UTF-8 (they hold Chinese texts).
if(MSVC)
  add_compile_options(/W4 /utf-8 /permissive-)
else()
  add_compile_options(-Wall -Wextra)
endif()
